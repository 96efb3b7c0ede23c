// appinfo_bench: the cost of one desktop window pass (TAppInfo::UpdateList)
// with about 50, 200 and 800 top-level windows, each pass taken in turn
// with its baseline. The windows come from hostee.exe (tests/apps), which
// must lie next to this program. scripts/bench.sh runs it; by hand, e.g.
// under Wine on a display with a window manager:
//   wine appinfo_bench.exe [passes]
#include "hosting/AppInfoWin.h"

#include "BenchTiming.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Count {
    DWORD Pid;  // 0: every process
    int Visible;
};

BOOL CALLBACK CountVisible(HWND Wnd, LPARAM Param)
{
    auto* C = reinterpret_cast<Count*>(Param);
    DWORD Pid = 0;
    ::GetWindowThreadProcessId(Wnd, &Pid);
    if ((C->Pid == 0 || C->Pid == Pid) && ::IsWindowVisible(Wnd))
        ++C->Visible;
    return TRUE;
}

int VisibleWindows(DWORD Pid)
{
    Count C{Pid, 0};
    ::EnumWindows(&CountVisible, reinterpret_cast<LPARAM>(&C));
    return C.Visible;
}

BOOL CALLBACK Nothing(HWND, LPARAM) { return TRUE; }

// Starts hostee with Extra further windows and waits until all show.
bool StartHostee(int Extra, PROCESS_INFORMATION& Pi)
{
    char Self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, Self, MAX_PATH);
    std::string Dir(Self);
    Dir.erase(Dir.find_last_of("\\/") + 1);
    std::string Cmd = "\"" + Dir + "hostee.exe\" /windows=" + std::to_string(Extra);
    STARTUPINFOA Si = {};
    Si.cb = sizeof(Si);
    if (!::CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, FALSE, 0, nullptr, Dir.c_str(), &Si,
                          &Pi)) {
        std::fprintf(stderr, "cannot start %s\n", Cmd.c_str());
        return false;
    }
    const DWORD Start = ::GetTickCount();
    while (VisibleWindows(Pi.dwProcessId) < Extra + 1) {
        if (::GetTickCount() - Start > 120000) {
            std::fprintf(stderr, "hostee did not show its windows\n");
            return false;
        }
        ::Sleep(50);
    }
    return true;
}

void StopHostee(PROCESS_INFORMATION& Pi)
{
    ::TerminateProcess(Pi.hProcess, 0);
    ::WaitForSingleObject(Pi.hProcess, 10000);
    ::CloseHandle(Pi.hProcess);
    ::CloseHandle(Pi.hThread);
    ::Sleep(200);  // let the desktop drop its windows
}

}  // namespace

int main(int argc, char** argv)
{
    const int Passes = argc > 1 ? std::max(1, std::atoi(argv[1])) : 40;
    // Times in ms; us/window from the median pass; reads: the pass's
    // window reads alone (median, taken in turns with the passes), the
    // baseline; ratio: median / reads; enum: EnumWindows alone.
    std::printf("%7s %7s %9s %9s %9s %9s %9s %9s %7s %9s\n", "target", "listed", "first", "min",
                "median", "max", "us/window", "reads", "ratio", "enum");
    for (int Target : {50, 200, 800}) {
        const int Others = VisibleWindows(0);
        PROCESS_INFORMATION Pi = {};
        if (!StartHostee(Target - Others - 1 > 0 ? Target - Others - 1 : 0, Pi))
            return 1;

        // The monitor's pass: a fresh list pays one module snapshot per
        // process; later passes find every window known.
        double First = 1e9;
        int Listed = 0;
        for (int I = 0; I < 5; ++I) {
            auto Fresh = MakeDesktopAppInfo();
            const LARGE_INTEGER T0 = Now();
            Fresh->UpdateList(NoParentWindow, true, true, false, true);
            First = std::min(First, Ms(T0, Now()));
            Listed = Fresh->Windows.Count();
        }
        auto Info = MakeDesktopAppInfo();
        Info->UpdateList(NoParentWindow, true, true, false, true);
        // The pass and its baseline, the same window reads without the
        // list's own work, taken in turns, so that a busy spell of the
        // machine hits both; medians of each.
        TDesktopWindowSource& D = DesktopWindowSource();
        const auto ReadAll = [&D] {
            D.EnumTopLevel([&D](TWindowHandle W) {
                if (!D.IsVisible(W))
                    return;
                // The reads the pass makes with the monitor's options:
                // owned, parented and tool windows are all taken.
                std::int32_t Width, Height;
                D.Size(W, Width, Height);
                (void)D.ClassName(W);
                (void)D.Title(W);
                (void)D.ProcessId(W);
            });
        };
        std::vector<double> Times, ReadTimes;
        for (int I = 0; I < Passes; ++I) {
            LARGE_INTEGER T0 = Now();
            Info->UpdateList(NoParentWindow, true, true, false, true);
            Times.push_back(Ms(T0, Now()));
            T0 = Now();
            ReadAll();
            ReadTimes.push_back(Ms(T0, Now()));
        }
        std::sort(Times.begin(), Times.end());
        std::sort(ReadTimes.begin(), ReadTimes.end());
        const double Median = Times[Times.size() / 2];
        const double Reads = ReadTimes[ReadTimes.size() / 2];

        // For comparison: the bare enumeration.
        const LARGE_INTEGER T0 = Now();
        for (int I = 0; I < Passes; ++I)
            ::EnumWindows(&Nothing, 0);
        const double Enum = Ms(T0, Now()) / Passes;

        std::printf("%7d %7d %9.2f %9.2f %9.2f %9.2f %9.1f %9.2f %6.2fx %9.2f\n", Target, Listed,
                    First, Times.front(), Median, Times.back(), 1000.0 * Median / Listed, Reads,
                    Median / Reads, Enum);
        std::fflush(stdout);
        StopHostee(Pi);
    }
    return 0;
}
