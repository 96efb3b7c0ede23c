// first_use_bench: opening a window of quorvan.exe the first time, from the
// click on its button to the window shown and painted, beside opening it a
// second time in the same run, the baseline. Each run is a fresh start of
// the program; the two opens are timed in turn within it. scripts/bench.sh
// runs it; by hand, under Wine on a display with a window manager:
//   wine first_use_bench.exe [runs]
// QUORVAN_EXE names another build of the program to time instead.
#include "QuorvanDriver.h"

#include <cstdlib>

using namespace quorvan_driver;

namespace {

// Where the window's button lies: the main toolbar's button, or, for a
// window opened from the application list, the list's toolbar button too.
struct Case {
    const char* Name;
    int MainButton;
    int ListButton;  // -1: the window opens from the main toolbar
};

const Case Cases[] = {
    {"layout designer", 0, -1},
    {"known applications, editing", 3, -1},
    {"search location chooser", 1, 3},
};

// The point of a button to click: left of a drop-down arrow.
bool ButtonPoint(const Program& P, HWND Bar, int Index, POINT& Pt)
{
    RECT R;
    if (!Bar || !P.ButtonRect(Bar, Index, R))
        return false;
    Pt = {R.left + 12, (R.top + R.bottom) / 2};
    return true;
}

void CloseAndWait(HWND W)
{
    ::PostMessageA(W, WM_CLOSE, 0, 0);
    const LARGE_INTEGER Start = Now();
    while (::IsWindowVisible(W) && Ms(Start, Now()) < 5000)
        ::Sleep(5);
}

// One open of the case's window: ms from the click to painted, or -1.
double OpenOnce(Program& P, const Case& C, std::vector<HWND>& Opened)
{
    POINT Pt;
    HWND Window = nullptr;
    std::vector<HWND> Except{P.Main};
    if (!ButtonPoint(P, P.ToolBar(P.Main), C.MainButton, Pt))
        return -1;
    if (C.ListButton >= 0) {
        Click(Pt);
        if (TimeToPainted(P.Pid, Except, Now(), Window) < 0)
            return -1;
        Opened.push_back(Window);
        Except.push_back(Window);
        if (!ButtonPoint(P, P.ToolBar(Window), C.ListButton, Pt))
            return -1;
        MoveTo(Pt);
        P.Settle(200);
    } else {
        MoveTo(Pt);
        ::Sleep(200);
    }
    const LARGE_INTEGER Start = Now();
    PressLeft();
    const double T = TimeToPainted(P.Pid, Except, Start, Window);
    if (Window)
        Opened.push_back(Window);
    return T;
}

void CloseAll(std::vector<HWND>& Opened)
{
    for (auto W = Opened.rbegin(); W != Opened.rend(); ++W)
        CloseAndWait(*W);
    Opened.clear();
}

void Report(const char* What, const std::vector<double>& V)
{
    std::printf("  %-30s median %7.1f ms  min %7.1f  max %7.1f\n", What, Median(V),
                *std::min_element(V.begin(), V.end()), *std::max_element(V.begin(), V.end()));
}

}  // namespace

int main(int Argc, char** Argv)
{
    const int Runs = Argc > 1 ? std::max(1, std::atoi(Argv[1])) : 10;
    SeedRegistry({"bench_a"});
    int Status = 0;
    for (const Case& C : Cases) {
        std::vector<double> First, Second;
        for (int R = 0; R < Runs; ++R) {
            Program P;
            if (!P.Started()) {
                std::printf("%s: quorvan.exe did not start\n", C.Name);
                return 1;
            }
            std::vector<HWND> Opened;
            const double F = OpenOnce(P, C, Opened);
            CloseAll(Opened);
            P.Settle(300);
            const double S = OpenOnce(P, C, Opened);
            CloseAll(Opened);
            if (F < 0 || S < 0) {
                std::printf("%s: the window did not show (run %d)\n", C.Name, R);
                Status = 1;
                break;
            }
            First.push_back(F);
            Second.push_back(S);
        }
        if (First.empty())
            continue;
        std::printf("%s, click to painted, %u fresh starts:\n", C.Name,
                    static_cast<unsigned>(First.size()));
        Report("first use", First);
        Report("baseline: second use", Second);
        std::printf("  %-30s %+7.1f ms  (ratio %.2fx; goal: first use <= 100 ms)\n",
                    "first over second", Median(First) - Median(Second),
                    Median(First) / Median(Second));
    }
    ClearRegistry();
    return Status;
}
