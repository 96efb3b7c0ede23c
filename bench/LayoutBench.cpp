// Placing a layout of 8 x 8 x 8 nested panels (584 panels), one border drag
// step on it, and writing and reading a stored tree of 1,000 nodes through
// an in-memory registry key.
#include "mainwindow/LayoutBorders.h"
#include "mainwindow/LayoutGeometry.h"
#include "mainwindow/LayoutTree.h"

#include "hosting/Velmora.h"

#include "mainwindow/LayoutTestSupport.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>

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

// One drag step on the largest layout the limits allow: the border between
// the first two top-level panels, with every edge that follows it.
void BM_DragStep8x8x8(benchmark::State& State)
{
    TLayoutTree T;
    const TNodeId L = T.AddNode(NoNode, "Big", nkLayout);
    AddLevel(T, L, 0);
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

BENCHMARK(BM_LayoutPanels8x8x8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DragStep8x8x8)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SaveLayouts1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadLayouts1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
