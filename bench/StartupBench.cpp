// startup_bench: start-up of a program to its first visible top-level
// window, started by CreateProcess and closed again by WM_CLOSE, for
// quorvan.exe and for a minimal window program of ours beside it, the
// baseline. scripts/bench.sh runs it; by hand, under Wine on a display with
// a window manager:
//   wine startup_bench.exe [runs]
// Prints the median, minimum and maximum of each and the ratio.
#include "BenchTiming.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD Pid;
    HWND Found;
};

BOOL CALLBACK FindShown(HWND Wnd, LPARAM Param)
{
    auto* S = reinterpret_cast<Search*>(Param);
    DWORD Pid = 0;
    ::GetWindowThreadProcessId(Wnd, &Pid);
    if (Pid == S->Pid && ::IsWindowVisible(Wnd) && !::GetWindow(Wnd, GW_OWNER)) {
        S->Found = Wnd;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds to the first shown window, or -1.
double TimeOne(const std::string& Exe)
{
    std::string Cmd = "\"" + Exe + "\"";
    STARTUPINFOA Si = {};
    Si.cb = sizeof(Si);
    PROCESS_INFORMATION Pi = {};
    const LARGE_INTEGER Start = Now();
    if (!::CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi))
        return -1;
    Search S = {Pi.dwProcessId, nullptr};
    double Result = -1;
    while (Ms(Start, Now()) < 20000) {
        ::EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&S));
        if (S.Found) {
            Result = Ms(Start, Now());
            break;
        }
        ::Sleep(1);
    }
    if (S.Found)
        ::PostMessageA(S.Found, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(Pi.hProcess, 10000) != WAIT_OBJECT_0)
        ::TerminateProcess(Pi.hProcess, 1);
    ::CloseHandle(Pi.hProcess);
    ::CloseHandle(Pi.hThread);
    return Result;
}

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    const std::size_t N = V.size();
    return N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
}

void Report(const char* Name, const std::vector<double>& V)
{
    std::printf("%-26s median %7.1f ms  min %7.1f  max %7.1f  (%u runs)\n", Name, Median(V),
                *std::min_element(V.begin(), V.end()), *std::max_element(V.begin(), V.end()),
                static_cast<unsigned>(V.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    const int Runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    char Path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Dir(Path);
    Dir.resize(Dir.find_last_of("\\/") + 1);
    const char* Programs[] = {"minimal_window.exe", "quorvan.exe"};
    // One start of each first: the loader's caches are warm for both.
    for (const char* P : Programs)
        TimeOne(Dir + P);
    // Taken in turns, so that a busy spell of the machine hits both.
    std::vector<double> Times[2];
    for (int I = 0; I < Runs; ++I)
        for (int P = 0; P < 2; ++P) {
            const double T = TimeOne(Dir + Programs[P]);
            if (T < 0) {
                std::printf("%s: no window\n", Programs[P]);
                return 1;
            }
            Times[P].push_back(T);
        }
    Report("baseline: minimal_window", Times[0]);
    Report(Programs[1], Times[1]);
    std::printf("%-26s %.2fx\n", "ratio of the medians", Median(Times[1]) / Median(Times[0]));
    return 0;
}
