// monitor_bench: what the application monitor costs. scripts/bench.sh runs
// it; by hand, under Wine on a display with a window manager, next to
// tests/apps' hostee.exe:
//   wine monitor_bench.exe [opens] [idle seconds]
// 1. Open to bound on quorvan.exe, fresh for each open, with nothing else
//    stored and with 10,000 x 20,000 stored: its stored layout applied from
//    the layouts button's menu, from the Enter that chooses it to hostee's
//    window bound into the panel, beside hostee's own time from its start to
//    showing its window (which it logs), the baseline; then closing it
//    with that program bound, from the program's end to the window gone.
// 2. Applying a layout of one and of three programs from the menu, fresh
//    for each apply: from the Enter to all bound, to the window painted and
//    answering, and the longest it left a WM_NULL unanswered; then with
//    4 and with 2,048 one-panel layouts stored (the stored form's cap of
//    4,096 values): the start to settled, and an apply to settled.
//    "wine monitor_bench.exe apply [runs]" runs these alone, "layouts [runs]"
//    only those with layouts stored; "shots FOLDER" saves two pictures of
//    the window applying three programs.
// 3. Idle: quorvan.exe's own CPU time (its threads' as Linux counts them) over
//    [idle seconds] with the pointer off its window, over its main panel and
//    resting on a tool button, with nothing bound and with three programs
//    bound from its stored layout, then resting on the close button of the
//    panel of the one bound below a strip; the Wine server's CPU time (its /proc
//    entry, pid in QUORVAN_WINESERVER_PID, which scripts/bench.sh sets)
//    beside each.
#include "hosting/HosteeSupport.h"
#include "hosting/TestHost.h"

#include "BenchTiming.h"
#include "PngShot.h"
#include "QuorvanDriver.h"
#include "StartupData.h"

#include "mainwindow/LayoutTree.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    const std::size_t N = V.size();
    return N == 0 ? 0 : N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
}

void Report(const char* What, const std::vector<double>& V)
{
    std::printf("  %-34s median %7.1f ms  (min %7.1f, max %7.1f)\n", What, Median(V),
                *std::min_element(V.begin(), V.end()), *std::max_element(V.begin(), V.end()));
}

// Where the pointer rests while quorvan.exe idles.
struct PointerPlace {
    const char* Name;
    POINT At;
};

// quorvan.exe's CPU and the Wine server's over Seconds with the pointer at
// a place; both in ms.
void MeasureProgramIdle(const quorvan_driver::Program& P, const char* Bound,
                        const PointerPlace& Place, int Seconds, const std::string& ServerPid)
{
    quorvan_driver::MoveTo(Place.At);
    ::Sleep(2000);
    const double Cpu0 = P.CpuMs(), Server0 = quorvan_driver::LinuxCpuMs(ServerPid);
    const LARGE_INTEGER Start = Now();
    ::Sleep(static_cast<DWORD>(Seconds) * 1000);
    const double Wall = Ms(Start, Now());
    const double Cpu = P.CpuMs() - Cpu0, Server = quorvan_driver::LinuxCpuMs(ServerPid) - Server0;
    std::printf("  %-14s %-24s quorvan.exe %6.1f ms (%.3f %%, goal <= 0.1 %%)  Wine server %6.1f ms "
                "(%.3f %%)\n",
                Bound, Place.Name, Cpu, 100.0 * Cpu / Wall, Server, 100.0 * Server / Wall);
}

// The three places on the program's window as it now lies.
std::vector<PointerPlace> Places(const quorvan_driver::Program& P)
{
    RECT W, Button;
    ::GetWindowRect(P.Main, &W);
    const int Sx = ::GetSystemMetrics(SM_CXSCREEN), Sy = ::GetSystemMetrics(SM_CYSCREEN);
    POINT Off = {Sx - 3, Sy - 3};
    if (W.right >= Off.x && W.bottom >= Off.y)
        Off = {2, Sy - 3};
    RECT C;
    ::GetClientRect(P.Main, &C);
    ::MapWindowPoints(P.Main, HWND_DESKTOP, reinterpret_cast<POINT*>(&C), 2);
    P.ButtonRect(P.ToolBar(P.Main), 2, Button);
    return {{"pointer off the window", Off},
            {"pointer over main panel", {(C.left + C.right) / 2, (C.top + C.bottom) / 2 + 20}},
            {"pointer on a tool button", quorvan_driver::Center(Button)}};
}

// A shown small button of the program's own inside its window: the hover
// panel's close and unbind buttons.
BOOL CALLBACK FindSmallButton(HWND Wnd, LPARAM Param)
{
    auto* C = reinterpret_cast<std::pair<DWORD, HWND>*>(Param);
    DWORD Pid = 0;
    ::GetWindowThreadProcessId(Wnd, &Pid);
    RECT R;
    ::GetWindowRect(Wnd, &R);
    if (Pid != C->first || !::IsWindowVisible(Wnd) || R.right - R.left != 16 || R.bottom - R.top != 16)
        return TRUE;
    C->second = Wnd;
    return FALSE;
}

BOOL CALLBACK CollectForeign(HWND Wnd, LPARAM Param)
{
    auto* C = reinterpret_cast<std::pair<DWORD, std::vector<HWND>>*>(Param);
    DWORD Pid = 0, ParentPid = 0;
    ::GetWindowThreadProcessId(Wnd, &Pid);
    ::GetWindowThreadProcessId(::GetAncestor(Wnd, GA_PARENT), &ParentPid);
    if (Pid != C->first && ParentPid == C->first)
        C->second.push_back(Wnd);
    return TRUE;
}

// The pointer into each bound window until its panel shows its buttons;
// the first button's middle, false when none shows.
bool HoverPanelButton(const quorvan_driver::Program& P, POINT& At)
{
    std::pair<DWORD, std::vector<HWND>> Bound{P.Pid, {}};
    ::EnumChildWindows(P.Main, &CollectForeign, reinterpret_cast<LPARAM>(&Bound));
    for (HWND W : Bound.second) {
        RECT R;
        ::GetWindowRect(W, &R);
        quorvan_driver::MoveTo(quorvan_driver::Center(R));
        ::Sleep(1500);
        std::pair<DWORD, HWND> B{P.Pid, nullptr};
        ::EnumChildWindows(P.Main, &FindSmallButton, reinterpret_cast<LPARAM>(&B));
        if (B.second) {
            ::GetWindowRect(B.second, &R);
            At = quorvan_driver::Center(R);
            return true;
        }
    }
    return false;
}

// Windows of other processes bound into the program's window.
BOOL CALLBACK CountForeign(HWND Wnd, LPARAM Param)
{
    auto* C = reinterpret_cast<std::pair<DWORD, int>*>(Param);
    DWORD Pid = 0, ParentPid = 0;
    ::GetWindowThreadProcessId(Wnd, &Pid);
    ::GetWindowThreadProcessId(::GetAncestor(Wnd, GA_PARENT), &ParentPid);
    C->second += Pid != C->first && ParentPid == C->first;
    return TRUE;
}

int BoundWindows(const quorvan_driver::Program& P)
{
    std::pair<DWORD, int> C{P.Pid, 0};
    ::EnumChildWindows(P.Main, &CountForeign, reinterpret_cast<LPARAM>(&C));
    return C.second;
}

BOOL CALLBACK FindForeign(HWND Wnd, LPARAM Param)
{
    auto* C = reinterpret_cast<std::pair<DWORD, DWORD>*>(Param);
    DWORD Pid = 0;
    ::GetWindowThreadProcessId(Wnd, &Pid);
    if (Pid == C->first)
        return TRUE;
    C->second = Pid;
    return FALSE;
}

// Closes the program with one program bound: the ms from that program's
// end to the main window off the screen, or -1.
double CloseAfterBound(const quorvan_driver::Program& P)
{
    std::pair<DWORD, DWORD> C{P.Pid, 0};
    ::EnumChildWindows(P.Main, &FindForeign, reinterpret_cast<LPARAM>(&C));
    HANDLE Bound = C.second ? ::OpenProcess(SYNCHRONIZE, FALSE, C.second) : nullptr;
    if (!Bound)
        return -1;
    ::PostMessageA(P.Main, WM_CLOSE, 0, 0);
    const bool Ended = ::WaitForSingleObject(Bound, 10000) == WAIT_OBJECT_0;
    const LARGE_INTEGER EndedAt = Now();
    ::CloseHandle(Bound);
    while (Ended && ::IsWindowVisible(P.Main) && Ms(EndedAt, Now()) < 10000)
        ::Sleep(0);
    return Ended && !::IsWindowVisible(P.Main) ? Ms(EndedAt, Now()) : -1;
}

// Opens the layouts button's menu and chooses its first layout; the
// moment of the Enter that chooses it, or false.
bool ChooseFirstLayout(const quorvan_driver::Program& P, LARGE_INTEGER& Start)
{
    RECT R;
    if (!P.ButtonRect(P.ToolBar(P.Main), 0, R))
        return false;
    quorvan_driver::Click({R.right - 5, (R.top + R.bottom) / 2});
    ::Sleep(500);
    quorvan_driver::Keys({VK_DOWN});
    INPUT Enter[2] = {};
    Enter[0].type = Enter[1].type = INPUT_KEYBOARD;
    Enter[0].ki.wVk = Enter[1].ki.wVk = VK_RETURN;
    Enter[1].ki.dwFlags = KEYEVENTF_KEYUP;
    Start = Now();
    ::SendInput(2, Enter, sizeof(INPUT));
    return true;
}

// Applies the stored layout from the layouts button's menu until Count
// programs are bound; the ms from the Enter that chooses it, or -1.
double ApplyStoredLayout(const quorvan_driver::Program& P, int Count)
{
    LARGE_INTEGER Start;
    if (!ChooseFirstLayout(P, Start))
        return -1;
    while (BoundWindows(P) < Count && Ms(Start, Now()) < 20000)
        ::Sleep(0);
    return BoundWindows(P) >= Count ? Ms(Start, Now()) : -1;
}

// Applying the stored layout from the layouts button's menu, timed from the
// Enter that chooses it: until Count programs are bound, until then the
// window is painted and answers too, and the longest the window left a
// WM_NULL unanswered meanwhile (probed every ms or so). -1s when never.
struct TApplyTimes {
    double Bound = -1;
    double Painted = -1;
    double Longest = 0;
    // From then on every WM_NULL came back within 5 ms for 150 ms: what
    // the idle pass does after the apply (the menus' rebuild) counts too.
    double Settled = -1;
};

TApplyTimes ApplyToPainted(const quorvan_driver::Program& P, int Count)
{
    TApplyTimes T;
    LARGE_INTEGER Start;
    if (!ChooseFirstLayout(P, Start))
        return T;
    while (Ms(Start, Now()) < 30000) {
        const LARGE_INTEGER Sent = Now();
        DWORD_PTR Answer = 0;
        if (!::SendMessageTimeoutA(P.Main, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &Answer))
            break;
        T.Longest = std::max(T.Longest, Ms(Sent, Now()));
        if (T.Bound < 0 && BoundWindows(P) >= Count)
            T.Bound = Ms(Start, Now());
        if (T.Bound >= 0 && quorvan_driver::Painted(P.Main)) {
            T.Painted = Ms(Start, Now());
            break;
        }
        ::Sleep(1);
    }
    const LARGE_INTEGER From = Now();
    if (T.Painted >= 0 && quorvan_driver::WaitSettled(P.Main))
        T.Settled = T.Painted + Ms(From, Now()) - 150;
    return T;
}

// Applying a layout of Names' programs, fresh for each run, to painted and
// answering; false when one never bound.
bool ApplyRows(int Runs, const std::vector<std::string>& Names)
{
    std::vector<double> Bound, Painted, Longest, Settled;
    for (int N = 0; N < Runs; ++N) {
        quorvan_driver::SeedRegistry(Names);
        quorvan_driver::Program P;
        const TApplyTimes T = P.Started() ? ApplyToPainted(P, static_cast<int>(Names.size()))
                                          : TApplyTimes();
        if (T.Painted < 0) {
            std::printf("applying %d programs: run %d never bound and painted\n",
                        static_cast<int>(Names.size()), N);
            return false;
        }
        Bound.push_back(T.Bound);
        Painted.push_back(T.Painted);
        Settled.push_back(T.Settled);
        Longest.push_back(T.Longest);
    }
    std::printf("Applying a layout of %d program%s from the menu, %d fresh starts:\n",
                static_cast<int>(Names.size()), Names.size() == 1 ? "" : "s", Runs);
    Report("Enter to all bound", Bound);
    Report("Enter to painted and answering", Painted);
    Report("longest unanswered WM_NULL", Longest);
    Report("Enter to settled", Settled);
    // The starts follow each other 500 ms apart, each after its program
    // came up (about 150 ms for one here).
    const double Goal = 200.0 * static_cast<double>(Names.size()) +
                        500.0 * static_cast<double>(Names.size() - 1);
    std::printf("  %-34s %7.1f ms  (goal <= %.0f ms)\n", "median to painted and answering",
                Median(Painted), Goal);
    std::printf("  %-34s %7.1f ms  (goal <= 100 ms)\n", "median longest unanswered",
                Median(Longest));
    return true;
}

// Start-up and an apply with Spare one-panel layouts stored beside the
// bench layout: the start to settled, the apply to settled.
bool ManyLayoutsRow(int Runs, int Spare, double& Settled, double& Apply)
{
    std::vector<double> S, A;
    for (int N = 0; N < Runs; ++N) {
        quorvan_driver::SeedRegistry({"bench_a"}, {}, Spare);
        const LARGE_INTEGER Start = Now();
        // Not quiet: returns once the window has answered at once for 150 ms.
        quorvan_driver::Program P(false);
        if (!P.Started()) {
            std::printf("%d spare layouts: run %d never settled\n", Spare, N);
            return false;
        }
        S.push_back(Ms(Start, Now()) - 150);
        P.Settle(0);
        P.WaitQuiet();
        const TApplyTimes T = ApplyToPainted(P, 1);
        if (T.Settled < 0) {
            std::printf("%d spare layouts: run %d never bound and settled\n", Spare, N);
            return false;
        }
        A.push_back(T.Settled);
    }
    const int Values = 2 + 2 * Spare;
    std::printf("%d stored layout values (%d one-panel layouts), %d fresh starts:\n", Values,
                Spare + 1, Runs);
    Report("start to settled", S);
    Report("apply: Enter to settled", A);
    Settled = Median(S);
    Apply = Median(A);
    return true;
}

bool ManyLayouts(int Runs)
{
    double FewSettled = 0, FewApply = 0, ManySettled = 0, ManyApply = 0;
    // 4 layouts, and the cap: 4,096 values.
    if (!ManyLayoutsRow(Runs, 3, FewSettled, FewApply) ||
        !ManyLayoutsRow(Runs, MaxStoredNodes / 2 - 1, ManySettled, ManyApply))
        return false;
    std::printf("  %-44s %7.1f / %7.1f ms = %.2fx (goal <= 2.0x)\n",
                "start to settled, 4,096 values / 4 layouts", ManySettled, FewSettled,
                ManySettled / FewSettled);
    std::printf("  %-44s %7.1f / %7.1f ms = %.2fx (goal <= 2.0x)\n",
                "apply, 4,096 values / 4 layouts", ManyApply, FewApply, ManyApply / FewApply);
    return true;
}

// Open to bound on quorvan.exe with Stored (empty: only the bench program)
// known and listed; false when a program did not start or bind.
bool OpenToBound(int Opens, const char* Name, const TStoredTexts& Stored)
{
    std::vector<double> ToBound, Shown, Closed;
    for (int N = 0; N < Opens; ++N) {
        quorvan_driver::SeedRegistry({"bench_a"});
        if (!Stored.KnownAppList.empty()) {
            HKEY Apps = nullptr;
            ::RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(quorvan_driver::HostKey) + "\\Apps").c_str(),
                            0, KEY_ALL_ACCESS, &Apps);
            quorvan_driver::SetBinary(Apps, "KnownAppList", Stored.KnownAppList);
            quorvan_driver::SetBinary(Apps, "FoundAppList", Stored.FoundAppList);
            ::RegCloseKey(Apps);
        }
        const std::string Log = NewHosteeLogFile();
        ScopedEnv E("HOSTEE_LOG", Log);
        quorvan_driver::Program P;
        const double T = P.Started() ? ApplyStoredLayout(P, 1) : -1;
        if (T < 0) {
            std::printf("%s: open %d never bound\n", Name, N);
            return false;
        }
        ToBound.push_back(T);
        const std::vector<std::string> Line = ReadLogLines(Log, "shown ");
        if (!Line.empty())
            Shown.push_back(std::atof(Line[0].c_str() + 6));
        const double C = CloseAfterBound(P);
        if (C < 0) {
            std::printf("%s: close %d did not end\n", Name, N);
            return false;
        }
        Closed.push_back(C);
    }
    std::printf("Open to bound on quorvan.exe, %s, %d fresh starts:\n", Name, Opens);
    Report("Enter on the layout to bound", ToBound);
    if (!Shown.empty()) {
        Report("baseline: hostee's start to shown", Shown);
        std::printf("  %-34s %+7.1f ms  (goal <= +50 ms)\n", "median over the baseline",
                    Median(ToBound) - Median(Shown));
    }
    std::printf("Closing with it bound, %s:\n", Name);
    Report("its end to the window gone", Closed);
    std::printf("  %-34s %7.1f ms  (goal <= 100 ms)\n", "median", Median(Closed));
    return true;
}

}  // namespace

int main(int Argc, char** Argv)
{
    // "apply [runs]": only the applying rows; "layouts [runs]": only those
    // with many layouts stored.
    const std::string Only = Argc > 1 ? Argv[1] : "";
    // "shots FOLDER": the window while a layout of three programs is
    // applied, between its first two starts and once all are bound.
    if (Only == "shots" && Argc > 2) {
        quorvan_driver::SeedRegistry({"bench_a", "bench_b", "bench_c"});
        quorvan_driver::Program P;
        LARGE_INTEGER Start;
        if (!P.Started() || !ChooseFirstLayout(P, Start))
            return 1;
        ::Sleep(350);
        const bool Between = SaveWindowPng(P.Main, std::string(Argv[2]) + "\\apply_between.png");
        std::printf("between the starts: %d bound, painted %d\n", BoundWindows(P),
                    quorvan_driver::Painted(P.Main) ? 1 : 0);
        while (BoundWindows(P) < 3 && Ms(Start, Now()) < 20000)
            ::Sleep(10);
        quorvan_driver::WaitSettled(P.Main);
        const bool After = SaveWindowPng(P.Main, std::string(Argv[2]) + "\\apply_bound.png");
        quorvan_driver::ClearRegistry();
        return Between && After ? 0 : 1;
    }
    const std::vector<std::string> One = {"bench_a"}, Three = {"bench_a", "bench_b", "bench_c"};
    if (Only == "apply" || Only == "layouts") {
        const int Runs = Argc > 2 ? std::max(1, std::atoi(Argv[2])) : 5;
        const bool Ok = (Only == "layouts" || (ApplyRows(Runs, One) && ApplyRows(Runs, Three))) &&
                        ManyLayouts(Runs);
        quorvan_driver::ClearRegistry();
        return Ok ? 0 : 1;
    }
    const int Opens = Argc > 1 ? std::atoi(Argv[1]) : 10;
    const int IdleSeconds = Argc > 2 ? std::atoi(Argv[2]) : 60;
    const std::string DataDir = quorvan_driver::ExeDir() + "startup_data\\";
    if (!MakeGeneratedExecutables(DataDir, quorvan_driver::ExeDir() + "verapp_2_1.exe", 20000)) {
        std::printf("cannot make the generated programs in %s\n", DataDir.c_str());
        return 1;
    }
    if (!ApplyRows(Opens, One) || !ApplyRows(Opens, Three) ||
        !ManyLayouts(std::max(3, Opens / 4)) || !OpenToBound(Opens, "nothing else stored", {}) ||
        !OpenToBound(Opens, "10,000 x 20,000 stored",
                     GenerateStoredTexts(10000, 20000, DataDir,
                                         {{"bench_a", quorvan_driver::ExeDir() + "bench_a.exe"}}))) {
        quorvan_driver::ClearRegistry();
        return 1;
    }

    // Idle: quorvan.exe itself, started fresh, with its pointer resting at
    // each place, first with nothing bound, then with three programs bound
    // from its stored layout.
    const std::string ServerPid = quorvan_driver::WineServerPid();
    quorvan_driver::SeedRegistry({"bench_a", "bench_b", "bench_c"}, {"bench_c"});
    {
        quorvan_driver::Program P;
        if (!P.Started()) {
            std::printf("quorvan.exe did not start\n");
            return 1;
        }
        std::printf("Idle over %d s, CPU of quorvan.exe and of the Wine server%s "
                    "(goal: quorvan.exe <= 0.1 %% of one core; a shared machine: noisy):\n",
                    IdleSeconds, ServerPid.empty() ? " (its pid unknown: 0)" : "");
        for (const PointerPlace& Place : Places(P))
            MeasureProgramIdle(P, "nothing bound", Place, IdleSeconds, ServerPid);
        if (ApplyStoredLayout(P, 3) < 0) {
            std::printf("the stored layout's programs were not bound\n");
            quorvan_driver::ClearRegistry();
            return 1;
        }
        for (const PointerPlace& Place : Places(P))
            MeasureProgramIdle(P, "three bound", Place, IdleSeconds, ServerPid);
        POINT Button;
        if (!HoverPanelButton(P, Button)) {
            std::printf("no panel showed its close button\n");
            quorvan_driver::ClearRegistry();
            return 1;
        }
        MeasureProgramIdle(P, "three bound", {"pointer on a panel's close", Button}, IdleSeconds,
                           ServerPid);
    }
    quorvan_driver::ClearRegistry();
    return 0;
}
