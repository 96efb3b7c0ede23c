// layout_apply_bench: applying a stored layout with its host panels on a
// real window, from the apply until the window has handled everything it
// was sent (done), and freeing it again by applying an empty layout. Cases:
// the largest layout the designer adds (8 x 8 x 8 panels, 584), and the
// 4,096-value cap as one layout 4,095 panels wide and as one chain 4,095
// deep. Each stored form is read from a registry key in memory as at
// start-up. The goal: every apply done within 2 s. Under Wine:
//   wine layout_apply_bench.exe [runs]
#include "mainwindow/LayoutsWin.h"

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Panel.h"

#include "mainwindow/LayoutTestSupport.h"

#include "BenchTiming.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double GoalMs = 2000;

struct Case {
    const char* Name;
    std::function<void(TLayoutTree&, TNodeId)> Make;
};

void AddLevels(TLayoutTree& T, TNodeId Parent, int Levels)
{
    static const char* const Texts[3] = {"Panel; Left", "Panel; Top", "Panel; Right"};
    for (int I = 0; Levels > 0 && I < MaxPanelChildren; ++I)
        AddLevels(T, T.AddNode(Parent, Texts[Levels % 3], nkPanel), Levels - 1);
}

const Case Cases[] = {
    {"4,096 values: 4,095 panels wide",
     [](TLayoutTree& T, TNodeId L) {
         while (T.Count() < MaxStoredNodes)
             T.AddNode(L, "Panel; Left", nkPanel);
     }},
    {"4,096 values: a chain 4,095 deep",
     [](TLayoutTree& T, TNodeId L) {
         while (T.Count() < MaxStoredNodes)
             L = T.AddNode(L, "Panel; Top", nkPanel);
     }},
    {"designer's largest (8 x 8 x 8)", [](TLayoutTree& T, TNodeId L) { AddLevels(T, L, MaxPanelLevel); }},
};

// Every message the window was sent handled.
void Drain(TApplication& App)
{
    App.ProcessMessages();
    MSG M;
    while (::PeekMessageA(&M, nullptr, 0, 0, PM_NOREMOVE))
        App.ProcessMessages();
}

int CountChildren(HWND Parent)
{
    int N = 0;
    for (HWND C = ::GetWindow(Parent, GW_CHILD); C; C = ::GetWindow(C, GW_HWNDNEXT))
        ++N;
    return N;
}

} // namespace

int main(int Argc, char** Argv)
{
    const int Runs = Argc > 1 ? std::max(1, std::atoi(Argv[1])) : 3;
    TApplication App;
    FormArgs FA;
    FA.Caption = "layout_apply_bench";
    FA.ClientWidth = 1000;
    FA.ClientHeight = 700;
    auto* Main = new Form(&App, FA);
    App.MainForm = Main;
    PanelArgs PA;
    PA.Parent = Main;
    PA.Width = 1000;
    PA.Height = 700;
    auto* Host = new Panel(Main, PA);
    Main->Show();
    Drain(App);

    // Medians, and the fastest run beside them: on a machine that other
    // work loads, that one shows what the program itself costs.
    std::printf("%-36s %16s %16s %8s %8s  %s\n", "case", "apply ms (min)", "free ms (min)", "panels",
                "goal ms", "message");
    int Status = 0;
    for (const Case& C : Cases) {
        std::vector<double> Apply, Free;
        int Panels = 0;
        std::string Message;
        for (int Run = 0; Run < Runs; ++Run) {
            TLayoutHostWin H;
            H.HostControl = Host;
            H.HomeParent = Main;
            H.OnMessage = [&](const std::string& Text) { Message = Text; };
            TLayouts L(H);
            L.HasHost = true;
            {
                TLayoutTree Made;
                C.Make(Made, Made.AddNode(NoNode, "Big", nkLayout));
                FakeRegistry Reg;
                Made.SaveLayouts(Reg);
                L.Tree.LoadLayouts(Reg);
            }
            const TNodeId Big = L.Tree.Roots().front();
            const TNodeId Empty = L.Tree.AddNode(NoNode, "Empty", nkLayout);
            Message.clear();
            LARGE_INTEGER T0 = Now();
            L.ApplyLayout(Big);
            Drain(App);
            Apply.push_back(Ms(T0, Now()));
            Panels = CountChildren(Host->Handle());
            T0 = Now();
            L.ApplyLayout(Empty);
            Drain(App);
            Free.push_back(Ms(T0, Now()));
        }
        std::sort(Apply.begin(), Apply.end());
        std::sort(Free.begin(), Free.end());
        const double A = Apply[Apply.size() / 2], F = Free[Free.size() / 2];
        std::printf("%-36s %8.1f (%5.0f) %8.1f (%5.0f) %8d %8.0f  %s\n", C.Name, A, Apply.front(), F,
                    Free.front(), Panels, GoalMs,
                    Message.empty() ? "(none)" : Message.c_str());
        if (A > GoalMs || F > GoalMs)
            Status = 1;
    }
    delete Main;
    return Status;
}
