// monitor_bench: what the application monitor costs. scripts/bench.sh runs
// it; by hand, under Wine on a display with a window manager, next to
// tests/apps' hostee.exe:
//   wine monitor_bench.exe [opens] [idle seconds]
// 1. Open to bound: the time from OpenApplication to the bound event, over
//    several opens, beside hostee's own time from its start to showing its
//    window (which it logs).
// 2. Idle: the host's CPU time (GetProcessTimes) while three bound programs
//    sit in their panels and the loop runs the main window's idle
//    adjustment, beside the same loop with nothing bound.
#include "hosting/IdentifyWin.h"

#include "hosting/HosteeSupport.h"
#include "hosting/TestHost.h"

#include "BenchTiming.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double CpuMs()
{
    FILETIME Created, Exited, Kernel, User;
    ::GetProcessTimes(::GetCurrentProcess(), &Created, &Exited, &Kernel, &User);
    const auto Ticks = [](const FILETIME& F) {
        return (static_cast<long long>(F.dwHighDateTime) << 32) | F.dwLowDateTime;
    };
    return static_cast<double>(Ticks(Kernel) + Ticks(User)) / 10000.0;
}

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

struct IdleCost {
    double CpuMs;
    double WallMs;
    double Percent() const { return 100.0 * CpuMs / WallMs; }
};

// The host's own CPU while its loop idles for Seconds. A timer of a
// second ends the loop on time also when nothing else wakes it.
IdleCost MeasureIdle(TestHost& H, int Seconds)
{
    ::Timer Wake(nullptr, 1000);
    Wake.OnTimer = [] {};
    const double Cpu0 = CpuMs();
    const LARGE_INTEGER Start = Now();
    H.App.RunModalLoop([&] { return Ms(Start, Now()) >= Seconds * 1000.0; });
    return {CpuMs() - Cpu0, Ms(Start, Now())};
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

    // The same loop with nothing bound: the host's CPU without the monitor.
    H.Answerer->SetEnabled(false);
    const IdleCost Bare = MeasureIdle(H, IdleSeconds);
    H.Answerer->SetEnabled(true);

    for (int P = 0; P < 3; ++P) {
        if (!H.Open(Exe, P) || !H.RunUntil([&] { return H.BoundIn(P); }, 10000)) {
            std::printf("panel %d: not bound\n", P);
            return 1;
        }
    }
    // The plain loop: nothing but the monitor's own timer wakes it.
    H.Answerer->SetEnabled(false);
    const IdleCost Bound = MeasureIdle(H, IdleSeconds);
    std::printf("Idle over %.1f s, host process CPU:\n", Bound.WallMs / 1000.0);
    std::printf("  %-34s %7.0f ms  (%.3f %% of one core)\n", "three bound programs", Bound.CpuMs,
                Bound.Percent());
    std::printf("  %-34s %7.0f ms  (%.3f %% of one core)\n", "baseline: nothing bound",
                Bare.CpuMs, Bare.Percent());
    std::printf("  %-34s %+7.3f %% of one core\n", "over the baseline",
                Bound.Percent() - Bare.Percent());
    H.Monitor->CloseAll();
    H.RunUntil([&] { return H.Monitor->Count() == 0; }, 10000);
    return 0;
}
