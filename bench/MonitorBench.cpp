// monitor_bench: what the application monitor costs. scripts/bench.sh runs
// it; by hand, under Wine on a display with a window manager, next to
// tests/apps' hostee.exe:
//   wine monitor_bench.exe [opens] [idle seconds]
// 1. Open to bound: the time from OpenApplication to the bound event, over
//    several opens, beside hostee's own time from its start to showing its
//    window (which it logs).
// 2. Idle: quorvan.exe's own CPU time (its threads' as Linux counts them) over
//    [idle seconds] with the pointer off its window, over its main panel and
//    resting on a tool button, with nothing bound and with three programs
//    bound from its stored layout; the Wine server's CPU time (its /proc
//    entry, pid in QUORVAN_WINESERVER_PID, which scripts/bench.sh sets)
//    beside each.
#include "hosting/IdentifyWin.h"

#include "hosting/HosteeSupport.h"
#include "hosting/TestHost.h"

#include "BenchTiming.h"
#include "QuorvanDriver.h"

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
    std::printf("  %-14s %-24s quorvan.exe %6.1f ms (%.3f %%)  Wine server %6.1f ms (%.3f %%)\n",
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

// Applies the stored layout from the layouts button's menu; its three
// panels start their programs.
bool ApplyStoredLayout(const quorvan_driver::Program& P)
{
    RECT R;
    if (!P.ButtonRect(P.ToolBar(P.Main), 0, R))
        return false;
    quorvan_driver::Click({R.right - 5, (R.top + R.bottom) / 2});
    ::Sleep(500);
    quorvan_driver::Keys({VK_DOWN, VK_RETURN});
    const LARGE_INTEGER Start = Now();
    while (BoundWindows(P) < 3 && Ms(Start, Now()) < 20000)
        ::Sleep(100);
    return BoundWindows(P) >= 3;
}

}  // namespace

int main(int Argc, char** Argv)
{
    const int Opens = Argc > 1 ? std::atoi(Argv[1]) : 10;
    const int IdleSeconds = Argc > 2 ? std::atoi(Argv[2]) : 60;
    SetFileProbe(&Win32FileProbe);
    AddKnownApp(KnownApps, "Bench", "Plain Hostee", "", "", "bind", "hostee.exe", "", "", "", "",
                "", "");
    const std::string Exe = TestExeDir() + "hostee.exe";

    TestHost H;
    LARGE_INTEGER BoundAt = {};
    H.Monitor->OnBound = [&](TApplicationItem&) { BoundAt = Now(); };

    std::vector<double> ToBound, Shown;
    for (int N = 0; N < Opens; ++N) {
        const std::string Log = NewHosteeLogFile();
        BoundAt.QuadPart = 0;
        const LARGE_INTEGER Start = Now();
        {
            ScopedEnv E("HOSTEE_LOG", Log);
            if (!H.Open(Exe, 0)) {
                std::printf("open %d failed\n", N);
                return 1;
            }
        }
        if (!H.RunUntil([&] { return BoundAt.QuadPart != 0; }, 10000)) {
            std::printf("open %d never bound\n", N);
            return 1;
        }
        ToBound.push_back(Ms(Start, BoundAt));
        const std::vector<std::string> Line = ReadLogLines(Log, "shown ");
        if (!Line.empty())
            Shown.push_back(std::atof(Line[0].c_str() + 6));
        // Gone before the next open, or the next one would be asked about it.
        const std::uint32_t Pid = H.ItemIn(0)->ProcessId;
        H.Monitor->DeleteItem(H.ItemIn(0));
        if (HANDLE P = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Pid)) {
            ::TerminateProcess(P, 0);
            ::WaitForSingleObject(P, 5000);
            ::CloseHandle(P);
        }
        ::DeleteFileA(Log.c_str());
    }
    std::printf("Open to bound over %d opens:\n", Opens);
    Report("OpenApplication to bound", ToBound);
    if (!Shown.empty()) {
        Report("baseline: hostee's start to shown", Shown);
        std::printf("  %-34s %+7.1f ms  (ratio %.2fx)\n", "median over the baseline",
                    Median(ToBound) - Median(Shown), Median(ToBound) / Median(Shown));
    }

    H.Monitor->CloseAll();
    H.RunUntil([&] { return H.Monitor->Count() == 0; }, 10000);

    // Idle: quorvan.exe itself, started fresh, with its pointer resting at
    // each place, first with nothing bound, then with three programs bound
    // from its stored layout.
    const std::string ServerPid = quorvan_driver::WineServerPid();
    quorvan_driver::SeedRegistry({"bench_a", "bench_b", "bench_c"});
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
        if (!ApplyStoredLayout(P)) {
            std::printf("the stored layout's programs were not bound\n");
            quorvan_driver::ClearRegistry();
            return 1;
        }
        for (const PointerPlace& Place : Places(P))
            MeasureProgramIdle(P, "three bound", Place, IdleSeconds, ServerPid);
    }
    quorvan_driver::ClearRegistry();
    return 0;
}
