// Drives quorvan.exe from outside, as a user would: a registry state seeded
// before the start, the pointer placed with SetCursorPos and clicks sent
// with SendInput, the program's windows found by enumeration, and its CPU
// time read through its process handle. For the benchmarks only.
#pragma once

#include "BenchTiming.h"

#include <windows.h>
#include <commctrl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace quorvan_driver {

inline const char* const HostKey = "Software\\Tessarine\\Quorvan";

inline std::string ExeDir()
{
    char Path[MAX_PATH] = {};
    const DWORD Len = ::GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string S(Path, Len);
    return S.substr(0, S.find_last_of("\\/") + 1);
}

inline double Median(std::vector<double> V)
{
    if (V.empty())
        return 0;
    std::sort(V.begin(), V.end());
    const std::size_t N = V.size();
    return N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
}

inline void SetBinary(HKEY Key, const char* Name, const std::string& Text)
{
    ::RegSetValueExA(Key, Name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(Text.data()),
                     static_cast<DWORD>(Text.size()));
}

// The host's key as a first start with these applications finds it: each
// name is a known application bound from its own copy of tests/apps'
// hostee, listed with its location, and one stored layout holds a panel
// for each. Those in NoTitle are bound below a strip of the panel's.
// SpareLayouts further one-panel layouts follow it, named "Spare N".
inline void SeedRegistry(const std::vector<std::string>& Names,
                         const std::vector<std::string>& NoTitle = {}, int SpareLayouts = 0)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
    HKEY Apps = nullptr, Layouts = nullptr;
    const std::string Root(HostKey);
    ::RegCreateKeyExA(HKEY_CURRENT_USER, (Root + "\\Apps").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &Apps, nullptr);
    ::RegCreateKeyExA(HKEY_CURRENT_USER, (Root + "\\Layouts").c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &Layouts, nullptr);
    std::string Rules = "[Version]\r2099 January 1\r[Known Applications]\r Category: | Application "
                        "name: | Age: | Version: | Exe size: | Method: | Files needed: | URL: | "
                        "Problems: | Window #: | Window Title: | Window Class:\r";
    std::string Found = "| Flags | Category | Application | Version | Location |\r"
                        "+-------+----------+-------------+---------+----------+\r";
    for (const std::string& N : Names) {
        const bool Strip = std::find(NoTitle.begin(), NoTitle.end(), N) != NoTitle.end();
        Rules += " Bench | " + N + " | | | | bind" + (Strip ? "; no title" : "") + " | " + N +
                 ".exe | | | | |\r";
        Found += "| | Bench | " + N + " | | " + ExeDir() + N + ".exe |\r";
        ::CopyFileA((ExeDir() + "hostee.exe").c_str(), (ExeDir() + N + ".exe").c_str(), FALSE);
    }
    SetBinary(Apps, "KnownAppList", Rules);
    SetBinary(Apps, "FoundAppList", Found);
    std::vector<std::string> Nodes{"Layout|Bench|Base=Root"};
    for (const std::string& N : Names)
        Nodes.push_back("App|\"" + N + "\"; Left|Base=0");
    for (int I = 0; I < SpareLayouts; ++I) {
        Nodes.push_back("Layout|Spare " + std::to_string(I) + "|Base=Root");
        Nodes.push_back("Panel|Panel; Left|Base=" + std::to_string(Nodes.size() - 1));
    }
    const DWORD Count = static_cast<DWORD>(Nodes.size());
    ::RegSetValueExA(Layouts, "LayoutsCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Count),
                     sizeof(Count));
    for (std::size_t I = 0; I < Nodes.size(); ++I)
        ::RegSetValueExA(Layouts, ("LayoutsNode" + std::to_string(I)).c_str(), 0, REG_SZ,
                         reinterpret_cast<const BYTE*>(Nodes[I].c_str()),
                         static_cast<DWORD>(Nodes[I].size() + 1));
    ::RegCloseKey(Apps);
    ::RegCloseKey(Layouts);
}

inline void ClearRegistry()
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

struct WindowSearch {
    DWORD Pid;
    std::vector<HWND> Except;
    std::vector<HWND> Found;
};

inline BOOL CALLBACK CollectShown(HWND Wnd, LPARAM Param)
{
    auto* S = reinterpret_cast<WindowSearch*>(Param);
    DWORD Pid = 0;
    ::GetWindowThreadProcessId(Wnd, &Pid);
    char Class[64] = {};
    ::GetClassNameA(Wnd, Class, sizeof(Class));
    // Tool tips are top-level windows of the program too.
    if (Pid == S->Pid && ::IsWindowVisible(Wnd) &&
        std::find(S->Except.begin(), S->Except.end(), Wnd) == S->Except.end() &&
        lstrcmpiA(Class, TOOLTIPS_CLASSA) != 0 && lstrcmpiA(Class, "#32768") != 0)
        S->Found.push_back(Wnd);
    return TRUE;
}

// The program's shown top-level windows other than those in Except.
inline std::vector<HWND> ShownWindows(DWORD Pid, const std::vector<HWND>& Except)
{
    WindowSearch S{Pid, Except, {}};
    ::EnumWindows(&CollectShown, reinterpret_cast<LPARAM>(&S));
    return S.Found;
}

inline BOOL CALLBACK AnyUpdate(HWND Wnd, LPARAM Param)
{
    if (::IsWindowVisible(Wnd) && ::GetUpdateRect(Wnd, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(Param) = true;
        return FALSE;
    }
    return TRUE;
}

// Painted: no window of the tree waits for a paint, also after the
// program's thread has finished what it was dispatching.
inline bool Painted(HWND Top)
{
    for (int Pass = 0; Pass < 2; ++Pass) {
        bool Pending = ::GetUpdateRect(Top, nullptr, FALSE) != FALSE;
        if (!Pending)
            ::EnumChildWindows(Top, &AnyUpdate, reinterpret_cast<LPARAM>(&Pending));
        if (Pending)
            return false;
        DWORD_PTR Result = 0;
        if (!::SendMessageTimeoutA(Top, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &Result))
            return false;
    }
    return true;
}

// Finds a window of the program other than those in Except that is shown
// and painted; its time from Start, or -1 after TimeoutMs. Each look waits
// a millisecond: every window call of the program goes through the Wine
// server, and looking without a pause keeps the server busy with ours.
inline double TimeToPainted(DWORD Pid, const std::vector<HWND>& Except, LARGE_INTEGER Start, HWND& Window,
                            double TimeoutMs = 10000)
{
    Window = nullptr;
    while (Ms(Start, Now()) < TimeoutMs) {
        const std::vector<HWND> Shown = ShownWindows(Pid, Except);
        if (!Shown.empty() && Painted(Shown.front())) {
            Window = Shown.front();
            return Ms(Start, Now());
        }
        ::Sleep(1);
    }
    return -1;
}

// Runs Visit for each numbered entry of a /proc directory.
template <typename F> void ForEachNumbered(const std::string& Dir, F Visit)
{
    WIN32_FIND_DATAA D;
    HANDLE H = ::FindFirstFileA((Dir + "*").c_str(), &D);
    if (H == INVALID_HANDLE_VALUE)
        return;
    do {
        if (D.cFileName[0] >= '0' && D.cFileName[0] <= '9')
            Visit(std::string(D.cFileName));
    } while (::FindNextFileA(H, &D));
    ::FindClose(H);
}

inline std::string ReadProcFile(const std::string& Path)
{
    std::string Text;
    if (FILE* F = std::fopen(Path.c_str(), "rb")) {
        char Buf[4096];
        for (std::size_t N; (N = std::fread(Buf, 1, sizeof(Buf), F)) > 0;)
            Text.append(Buf, N);
        std::fclose(F);
    }
    return Text;
}

// The fields of a Linux process's stat line after its command's closing
// parenthesis (the name may hold blanks and parentheses): field 3 on.
inline std::string StatFieldsAfterName(const std::string& ProcDir)
{
    const std::string Stat = ReadProcFile(ProcDir + "stat");
    const std::size_t Close = Stat.rfind(')');
    return Close == std::string::npos || Close + 2 > Stat.size() ? "" : Stat.substr(Close + 2);
}

// CPU time of a Linux process's present threads as the scheduler counts it
// (in ns, where the process's times come in 10 ms ticks), in ms; -1 when it
// cannot be read.
inline double LinuxTaskCpuMs(const std::string& Pid)
{
    if (Pid.empty())
        return -1;
    const std::string Dir = "Z:\\proc\\" + Pid + "\\task\\";
    double Ns = 0;
    bool Any = false;
    ForEachNumbered(Dir, [&](const std::string& Task) {
        unsigned long long Run = 0;
        if (std::sscanf(ReadProcFile(Dir + Task + "\\schedstat").c_str(), "%llu", &Run) == 1) {
            Ns += static_cast<double>(Run);
            Any = true;
        }
    });
    return Any ? Ns / 1e6 : -1;
}

// The Linux process of the newest program of this Wine prefix whose command
// line names Exe; empty when there is none.
inline std::string LinuxPidOf(const std::string& Exe)
{
    char Prefix[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("WINEPREFIX", Prefix, MAX_PATH))
        return "";
    const std::string InPrefix = std::string("WINEPREFIX=") + Prefix;
    std::string Found;
    unsigned long long Newest = 0;
    ForEachNumbered("Z:\\proc\\", [&](const std::string& Pid) {
        const std::string Dir = "Z:\\proc\\" + Pid + "\\";
        std::string Cmd = ReadProcFile(Dir + "cmdline");
        std::replace(Cmd.begin(), Cmd.end(), '\0', ' ');
        if (Cmd.find(Exe) == std::string::npos)
            return;
        std::string Env = ReadProcFile(Dir + "environ");
        std::replace(Env.begin(), Env.end(), '\0', '\n');
        if ((Env + "\n").find(InPrefix + "\n") == std::string::npos)
            return;
        unsigned long long Started = 0;
        // The start time is field 22.
        if (std::sscanf(StatFieldsAfterName(Dir).c_str(),
                        "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %*u %*u %*d %*d %*d %*d %*d %*d %llu",
                        &Started) != 1)
            return;
        if (Found.empty() || Started >= Newest) {
            Found = Pid;
            Newest = Started;
        }
    });
    return Found;
}

// A toolbar button's rectangle in screen coordinates, read through the
// program's own memory (the control writes it there).
inline bool RemoteButtonRect(HANDLE Process, HWND Bar, int Index, RECT& R)
{
    void* Remote = ::VirtualAllocEx(Process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    if (!Remote)
        return false;
    const bool Ok = ::SendMessageA(Bar, TB_GETITEMRECT, Index, reinterpret_cast<LPARAM>(Remote)) &&
                    ::ReadProcessMemory(Process, Remote, &R, sizeof(R), nullptr);
    ::VirtualFreeEx(Process, Remote, 0, MEM_RELEASE);
    if (Ok)
        ::MapWindowPoints(Bar, HWND_DESKTOP, reinterpret_cast<POINT*>(&R), 2);
    return Ok;
}

// Settled: WM_NULL, sent every 5 ms, comes back within 5 ms for 150 ms in
// a row (as startup_bench counts it); false when it never does.
inline bool WaitSettled(HWND Wnd, double TimeoutMs = 60000)
{
    const LARGE_INTEGER Start = Now();
    double QuietSince = -1;
    while (Ms(Start, Now()) < TimeoutMs) {
        const LARGE_INTEGER Sent = Now();
        DWORD_PTR Answer = 0;
        if (!::SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &Answer))
            return false;
        const double At = Ms(Start, Sent), Took = Ms(Sent, Now());
        QuietSince = Took > 5 ? -1 : QuietSince < 0 ? At : QuietSince;
        if (QuietSince >= 0 && Ms(Start, Now()) - QuietSince >= 150)
            return true;
        const double Wait = 5 - Ms(Sent, Now());
        if (Wait >= 1)
            ::Sleep(static_cast<DWORD>(Wait));
    }
    return false;
}

class Program {
public:
    // Quiet: returns once the program has had nothing to do for a second;
    // else as soon as its main window has settled.
    explicit Program(bool Quiet = true)
    {
        // QUORVAN_EXE: another build of the program, for a figure by hand.
        char Other[MAX_PATH] = {};
        const std::string Exe = ::GetEnvironmentVariableA("QUORVAN_EXE", Other, MAX_PATH)
                                    ? std::string(Other)
                                    : ExeDir() + "quorvan.exe";
        std::string Cmd = "\"" + Exe + "\"";
        STARTUPINFOA Si = {};
        Si.cb = sizeof(Si);
        PROCESS_INFORMATION Pi = {};
        if (!::CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                              ExeDir().c_str(), &Si, &Pi))
            return;
        Process = Pi.hProcess;
        Pid = Pi.dwProcessId;
        ::CloseHandle(Pi.hThread);
        LinuxPid = LinuxPidOf("quorvan.exe");
        const LARGE_INTEGER Start = Now();
        while (!Main && Ms(Start, Now()) < 20000) {
            for (HWND W : ShownWindows(Pid, {}))
                if (!::GetWindow(W, GW_OWNER))
                    Main = W;
            ::Sleep(5);
        }
        if (Main && Quiet) {
            Settle();
            WaitQuiet();
        } else if (Main && !WaitSettled(Main)) {
            Main = nullptr;
        }
    }
    ~Program()
    {
        if (!Process)
            return;
        if (Main)
            ::PostMessageA(Main, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(Process, 10000) != WAIT_OBJECT_0)
            ::TerminateProcess(Process, 1);
        ::CloseHandle(Process);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return Main != nullptr; }

    // Waits until the program has done what it does after showing a window.
    void Settle(DWORD ExtraMs = 700) const
    {
        ::WaitForInputIdle(Process, 5000);
        DWORD_PTR Result = 0;
        ::SendMessageTimeoutA(Main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &Result);
        ::Sleep(ExtraMs);
    }

    // Waits until the process's CPU time stays put for a second: start-up
    // has finished, also what it leaves for quiet moments.
    void WaitQuiet() const
    {
        const LARGE_INTEGER Start = Now();
        double Last = CpuMs();
        for (int Still = 0; Still < 4 && Ms(Start, Now()) < 15000;) {
            ::Sleep(250);
            const double Cpu = CpuMs();
            Still = Cpu == Last ? Still + 1 : 0;
            Last = Cpu;
        }
    }

    // CPU time of the process's present threads, kernel and user, in ms.
    // Under Wine the Linux scheduler's count, in ns; else thread by thread,
    // in 10 ms ticks under Wine (a process's times reach only itself, while
    // a thread's are read from the system for any caller).
    double CpuMs() const
    {
        const double Exact = LinuxTaskCpuMs(LinuxPid);
        if (Exact >= 0)
            return Exact;
        HANDLE Snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        if (Snap == INVALID_HANDLE_VALUE)
            return 0;
        const auto Ticks = [](const FILETIME& F) {
            return (static_cast<long long>(F.dwHighDateTime) << 32) | F.dwLowDateTime;
        };
        long long Sum = 0;
        THREADENTRY32 E = {};
        E.dwSize = sizeof(E);
        for (BOOL More = ::Thread32First(Snap, &E); More; More = ::Thread32Next(Snap, &E)) {
            if (E.th32OwnerProcessID != Pid)
                continue;
            HANDLE T = ::OpenThread(THREAD_QUERY_INFORMATION, FALSE, E.th32ThreadID);
            FILETIME Created, Exited, Kernel, User;
            if (T && ::GetThreadTimes(T, &Created, &Exited, &Kernel, &User))
                Sum += Ticks(Kernel) + Ticks(User);
            if (T)
                ::CloseHandle(T);
        }
        ::CloseHandle(Snap);
        return static_cast<double>(Sum) / 10000.0;
    }

    // The toolbar of Parent whose buttons are searched, by order among
    // Parent's direct toolbar children.
    HWND ToolBar(HWND Parent, int Nth = 0) const
    {
        for (HWND C = ::GetWindow(Parent, GW_CHILD); C; C = ::GetWindow(C, GW_HWNDNEXT)) {
            char Class[64] = {};
            ::GetClassNameA(C, Class, sizeof(Class));
            if (lstrcmpiA(Class, TOOLBARCLASSNAMEA) == 0 && Nth-- == 0)
                return C;
        }
        return nullptr;
    }

    bool ButtonRect(HWND Bar, int Index, RECT& R) const { return RemoteButtonRect(Process, Bar, Index, R); }

    HANDLE Process = nullptr;
    DWORD Pid = 0;
    std::string LinuxPid;  // empty off Wine
    HWND Main = nullptr;
};

inline void MoveTo(POINT P)
{
    ::SetCursorPos(P.x, P.y);
    INPUT In = {};
    In.type = INPUT_MOUSE;
    In.mi.dx = P.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
    In.mi.dy = P.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
    In.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &In, sizeof(In));
}

// A left click where the pointer is.
inline void PressLeft()
{
    INPUT In[2] = {};
    In[0].type = In[1].type = INPUT_MOUSE;
    In[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    In[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, In, sizeof(INPUT));
}

inline void Click(POINT P)
{
    MoveTo(P);
    ::Sleep(30);
    PressLeft();
}

inline void Keys(std::initializer_list<WORD> Vk)
{
    for (WORD K : Vk) {
        INPUT In[2] = {};
        In[0].type = In[1].type = INPUT_KEYBOARD;
        In[0].ki.wVk = In[1].ki.wVk = K;
        In[1].ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(2, In, sizeof(INPUT));
        ::Sleep(50);
    }
}

inline POINT Center(const RECT& R)
{
    return {(R.left + R.right) / 2, (R.top + R.bottom) / 2};
}

// CPU time of a Linux process (the Wine server) from /proc, in ms; 0 when
// it cannot be read.
inline double LinuxCpuMs(const std::string& Pid)
{
    if (Pid.empty())
        return 0;
    const double Exact = LinuxTaskCpuMs(Pid);
    if (Exact >= 0)
        return Exact;
    // utime and stime are fields 14 and 15.
    unsigned long long U = 0, S = 0;
    if (std::sscanf(StatFieldsAfterName("Z:\\proc\\" + Pid + "\\").c_str(),
                    "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &U, &S) != 2)
        return 0;
    return static_cast<double>(U + S) * 10.0;  // 100 ticks a second
}

inline std::string WineServerPid()
{
    char Buf[32] = {};
    return ::GetEnvironmentVariableA("QUORVAN_WINESERVER_PID", Buf, sizeof(Buf)) ? Buf : "";
}

}  // namespace quorvan_driver
