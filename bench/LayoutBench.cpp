// Placing a layout of 8 x 8 x 8 nested panels (584 panels), and writing and
// reading a stored tree of 1,000 nodes through an in-memory registry key.
#include "mainwindow/LayoutGeometry.h"
#include "mainwindow/LayoutTree.h"

#include "hosting/Velmora.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace {

class MemoryRegistry : public IRegistryValues {
public:
    int ReadIntegerDef(const std::string& Name, int Default) override
    {
        const auto It = Ints.find(Name);
        return It == Ints.end() ? Default : It->second;
    }
    std::string ReadStringDef(const std::string& Name, const std::string& Default) override
    {
        const auto It = Strings.find(Name);
        return It == Strings.end() ? Default : It->second;
    }
    void WriteInteger(const std::string& Name, int Value) override { Ints[Name] = Value; }
    void WriteString(const std::string& Name, const std::string& Value) override
    {
        Strings[Name] = Value;
    }
    std::map<std::string, int> Ints;
    std::map<std::string, std::string> Strings;
};

class CountingVisitor : public ILayoutVisitor {
public:
    void VisitNode(TNodeId, const TLayoutRect& R) override { Sum += R.Right - R.Left; }
    long long Sum = 0;
};

// Each level turns the group and mixes explicit percentages with shares.
void AddLevel(TLayoutTree& T, TNodeId Parent, int Level)
{
    static const char* const Texts[3][2] = {
        {"Panel; Left; 10%", "Panel; Left"},
        {"Panel; Top", "Panel; Top; 15%"},
        {"\"Tool\"; Right; 5%", "Panel; Right"},
    };
    for (int I = 0; I < 8; ++I) {
        const TNodeId C = T.AddNode(Parent, Texts[Level][I % 2], Level == 2 ? nkApp : nkPanel);
        if (Level < 2)
            AddLevel(T, C, Level + 1);
    }
}

void BM_LayoutPanels8x8x8(benchmark::State& State)
{
    TLayoutTree T;
    const TNodeId L = T.AddNode(NoNode, "Big", nkLayout);
    AddLevel(T, L, 0);
    for (auto _ : State) {
        CountingVisitor V;
        LayoutPanels(T, L, {0, 0, 1920, 1080}, lmPlace, V);
        benchmark::DoNotOptimize(V.Sum);
    }
    State.counters["nodes"] = T.Count();
}

void Fill1000(TLayoutTree& T)
{
    // 40 layouts of 24 panels each, two panel levels deep.
    while (T.Count() < 1000) {
        const TNodeId L = T.AddNode(NoNode, "Layout " + IntToStr(T.Count()), nkLayout);
        for (int I = 0; I < 4 && T.Count() < 1000; ++I) {
            const TNodeId P = T.AddNode(L, "Panel; Left; 25%", nkPanel);
            for (int J = 0; J < 5 && T.Count() < 1000; ++J)
                T.AddNode(P, "\"Some application\"; Top", nkApp);
        }
    }
}

void BM_SaveLayouts1000(benchmark::State& State)
{
    TLayoutTree T;
    Fill1000(T);
    for (auto _ : State) {
        MemoryRegistry R;
        T.SaveLayouts(R);
        benchmark::DoNotOptimize(R.Strings.size());
    }
}

void BM_LoadLayouts1000(benchmark::State& State)
{
    TLayoutTree T;
    Fill1000(T);
    MemoryRegistry R;
    T.SaveLayouts(R);
    for (auto _ : State) {
        TLayoutTree Back;
        Back.LoadLayouts(R);
        if (Back.Count() != 1000)
            State.SkipWithError("tree not read back");
    }
}

} // namespace

BENCHMARK(BM_LayoutPanels8x8x8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveLayouts1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadLayouts1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
