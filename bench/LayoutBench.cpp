// Placing a layout of 8 x 8 x 8 nested panels (584 panels), one border drag
// step on it, and writing and reading a stored tree of 1,000 nodes through
// an in-memory registry key. Baselines of the same amount of plain work: the
// same tree cut into equal strips, level by level, for placing and for the
// drag step (whose every step places the whole layout again); the same
// 1,000 values, made beforehand, written and read through the same key.
#include "mainwindow/LayoutBorders.h"
#include "mainwindow/LayoutGeometry.h"
#include "mainwindow/LayoutTree.h"

#include "hosting/Velmora.h"

#include "mainwindow/LayoutTestSupport.h"

#include "BenchRatios.h"

#include <map>
#include <string>
#include <vector>

namespace {

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

// Children share their parent's rectangle equally, rows and columns in turn.
void PlainSplit(const TLayoutTree& T, TNodeId Parent, const TLayoutRect& R, int Level,
                ILayoutVisitor& V)
{
    const std::vector<TNodeId>& Kids = T.Children(Parent);
    const int N = static_cast<int>(Kids.size());
    for (int I = 0; I < N; ++I) {
        TLayoutRect C = R;
        if (Level % 2 == 0) {
            C.Left = R.Left + (R.Right - R.Left) * I / N;
            C.Right = R.Left + (R.Right - R.Left) * (I + 1) / N;
        } else {
            C.Top = R.Top + (R.Bottom - R.Top) * I / N;
            C.Bottom = R.Top + (R.Bottom - R.Top) * (I + 1) / N;
        }
        V.VisitNode(Kids[static_cast<std::size_t>(I)], C);
        PlainSplit(T, Kids[static_cast<std::size_t>(I)], C, Level + 1, V);
    }
}

TNodeId BigLayout(TLayoutTree& T)
{
    const TNodeId L = T.AddNode(NoNode, "Big", nkLayout);
    AddLevel(T, L, 0);
    return L;
}

void PlaceBig(benchmark::State& State, bool Plain)
{
    TLayoutTree T;
    const TNodeId L = BigLayout(T);
    for (auto _ : State) {
        CountingVisitor V;
        if (Plain)
            PlainSplit(T, L, {0, 0, 1920, 1080}, 0, V);
        else
            LayoutPanels(T, L, {0, 0, 1920, 1080}, lmPlace, V);
        benchmark::DoNotOptimize(V.Sum);
    }
    State.counters["nodes"] = T.Count();
}

void BM_PlainSplit8x8x8(benchmark::State& State)
{
    PlaceBig(State, true);
}

void BM_LayoutPanels8x8x8(benchmark::State& State)
{
    PlaceBig(State, false);
}

// The drag step's baseline: the plain split stored into the same bounds.
void BM_PlainSplitStored8x8x8(benchmark::State& State)
{
    TLayoutTree T;
    const TNodeId L = BigLayout(T);
    FakePanelBounds B;
    B.Place(T, L, {0, 0, 1920, 1080});
    for (auto _ : State) {
        PlainSplit(T, L, {0, 0, 1920, 1080}, 0, B);
        benchmark::DoNotOptimize(B.Bounds.size());
    }
}

// One drag step on the largest layout the limits allow: the border between
// the first two top-level panels, with every edge that follows it.
void BM_DragStep8x8x8(benchmark::State& State)
{
    TLayoutTree T;
    const TNodeId L = BigLayout(T);
    const TLayoutRect Host{0, 0, 1920, 1080};
    FakePanelBounds B;
    B.Place(T, L, Host);
    TPanelBorderList Borders(T, B);
    const TLayoutRect First = B.Bounds[T.Children(L)[0]];
    if (!Borders.StartDrag(L, Host, First.Right + 1, 500))
        State.SkipWithError("no drag");
    int Dx = 1;
    for (auto _ : State) {
        bool OkY, OkX;
        Borders.CheckMove(Host, Dx, 0, OkY, OkX);
        Borders.ApplyMove(Host, OkX ? Dx : 0, 0);
        B.Place(T, L, Host);
        Dx = -Dx;
    }
    State.counters["borders"] = Borders.Count();
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

// The stored values of the tree, made once, for the baselines.
std::vector<std::pair<std::string, std::string>> StoredValues()
{
    TLayoutTree T;
    Fill1000(T);
    FakeRegistry R;
    T.SaveLayouts(R);
    return {R.Strings.begin(), R.Strings.end()};
}

void BM_PlainWrite1000(benchmark::State& State)
{
    const auto Values = StoredValues();
    for (auto _ : State) {
        FakeRegistry R;
        R.WriteInteger("LayoutsCount", static_cast<int>(Values.size()));
        for (const auto& [Name, Value] : Values)
            R.WriteString(Name, Value);
        benchmark::DoNotOptimize(R.Strings.size());
    }
}

void BM_PlainRead1000(benchmark::State& State)
{
    const auto Values = StoredValues();
    FakeRegistry R;
    for (const auto& [Name, Value] : Values)
        R.WriteString(Name, Value);
    R.WriteInteger("LayoutsCount", static_cast<int>(Values.size()));
    for (auto _ : State) {
        std::vector<std::string> Back;
        const int Count = R.ReadIntegerDef("LayoutsCount", 0);
        for (int I = 0; I < Count; ++I)
            Back.push_back(R.ReadStringDef("LayoutsNode" + IntToStr(I), ""));
        if (Back.size() != 1000 || Back.back().empty())
            State.SkipWithError("values not read back");
    }
}

void BM_SaveLayouts1000(benchmark::State& State)
{
    TLayoutTree T;
    Fill1000(T);
    for (auto _ : State) {
        FakeRegistry R;
        T.SaveLayouts(R);
        benchmark::DoNotOptimize(R.Strings.size());
    }
}

void BM_LoadLayouts1000(benchmark::State& State)
{
    TLayoutTree T;
    Fill1000(T);
    FakeRegistry R;
    T.SaveLayouts(R);
    for (auto _ : State) {
        TLayoutTree Back;
        Back.LoadLayouts(R);
        if (Back.Count() != 1000)
            State.SkipWithError("tree not read back");
    }
}

} // namespace

BENCHMARK(BM_PlainSplit8x8x8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LayoutPanels8x8x8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainSplitStored8x8x8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStep8x8x8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainWrite1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveLayouts1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainRead1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadLayouts1000)->Unit(benchmark::kMicrosecond);

int main(int Argc, char** Argv)
{
    return bench_ratios::Run(Argc, Argv,
                             {{"BM_LayoutPanels8x8x8", "BM_PlainSplit8x8x8"},
                              {"BM_DragStep8x8x8", "BM_PlainSplitStored8x8x8"},
                              {"BM_SaveLayouts1000", "BM_PlainWrite1000"},
                              {"BM_LoadLayouts1000", "BM_PlainRead1000"}});
}
