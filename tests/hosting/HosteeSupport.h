// Starts tests/apps' hostee with a log file of its own, finds its windows
// and reads what it logged. The process is ended when the object goes.
#pragma once

#include "Win32TestSupport.h"

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

// A fresh log file name in the temporary folder.
inline std::string NewHosteeLogFile()
{
    static int Counter = 0;
    char Temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, Temp);
    const std::string File = std::string(Temp) + "hostee_" +
                             std::to_string(::GetCurrentProcessId()) + "_" +
                             std::to_string(++Counter) + ".log";
    ::DeleteFileA(File.c_str());
    return File;
}

// The lines of a hostee log that begin with Prefix, in order.
inline std::vector<std::string> ReadLogLines(const std::string& File, const std::string& Prefix)
{
    std::vector<std::string> Out;
    std::ifstream In(File);
    for (std::string L; std::getline(In, L);)
        if (L.compare(0, Prefix.size(), Prefix) == 0)
            Out.push_back(L);
    return Out;
}

class Hostee {
public:
    // Args are hostee options (see tests/apps/hostee.cpp) without /log=.
    // Exe: a copy of hostee under another name, or empty for hostee itself.
    explicit Hostee(const std::string& Args, const std::string& Exe = std::string())
    {
        LogFile = NewHosteeLogFile();
        ExePath = Exe.empty() ? TestExeDir() + "hostee.exe" : Exe;
        std::string Cmd = "\"" + ExePath + "\" " + Args + " \"/log=" + LogFile + "\"";
        STARTUPINFOA Si = {};
        Si.cb = sizeof(Si);
        PROCESS_INFORMATION Pi = {};
        if (::CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                             TestExeDir().c_str(), &Si, &Pi)) {
            Process = Pi.hProcess;
            Pid = Pi.dwProcessId;
            ::CloseHandle(Pi.hThread);
        }
    }
    ~Hostee()
    {
        if (Process) {
            if (Running())
                ::TerminateProcess(Process, 1);
            ::WaitForSingleObject(Process, 5000);
            ::CloseHandle(Process);
        }
        ::DeleteFileA(LogFile.c_str());
    }
    Hostee(const Hostee&) = delete;
    Hostee& operator=(const Hostee&) = delete;

    bool Running() const { return Process && ::WaitForSingleObject(Process, 0) == WAIT_TIMEOUT; }
    bool WaitExit(DWORD TimeoutMs)
    {
        return PumpUntil([this] { return !Running(); }, TimeoutMs);
    }

    // A visible top-level window of the process with that class.
    HWND WaitWindow(const std::string& Class, DWORD TimeoutMs = 10000)
    {
        HWND Found = nullptr;
        PumpUntil([&] { return (Found = FindWindowOf(Class)) != nullptr; }, TimeoutMs);
        return Found;
    }
    HWND FindWindowOf(const std::string& Class) const
    {
        Search S{Pid, Class, nullptr};
        ::EnumWindows(&Search::Visit, reinterpret_cast<LPARAM>(&S));
        return S.Found;
    }

    int VisibleWindows() const
    {
        Search S{Pid, std::string(), nullptr};
        ::EnumWindows(&Search::Count, reinterpret_cast<LPARAM>(&S));
        return S.Visible;
    }

    std::vector<std::string> Log() const { return ReadLogLines(LogFile, ""); }
    // Lines that begin with Prefix, in order.
    std::vector<std::string> LogLines(const std::string& Prefix) const
    {
        return ReadLogLines(LogFile, Prefix);
    }
    bool WaitLogLine(const std::string& Line, DWORD TimeoutMs = 10000) const
    {
        return PumpUntil(
            [&] {
                for (const std::string& L : Log())
                    if (L == Line)
                        return true;
                return false;
            },
            TimeoutMs);
    }
    // Posts a marker after whatever was posted to Wnd so far and waits until
    // the helper has handled it, so the log holds all those messages.
    bool Drain(HWND Wnd)
    {
        const int N = ++Marks;
        ::PostMessageA(Wnd, WM_APP, static_cast<WPARAM>(N), 0);
        if (!WaitLogLine("main mark " + std::to_string(N)))
            return false;
        // Its answers to what was sent before are with us: take them.
        MSG Msg;
        while (::PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&Msg);
            ::DispatchMessageA(&Msg);
        }
        return true;
    }

    std::string ExePath;
    std::string LogFile;
    HANDLE Process = nullptr;
    DWORD Pid = 0;

private:
    struct Search {
        DWORD Pid;
        const std::string& Class;
        HWND Found;
        int Visible = 0;
        static BOOL CALLBACK Count(HWND Wnd, LPARAM Param)
        {
            auto* S = reinterpret_cast<Search*>(Param);
            DWORD Pid = 0;
            ::GetWindowThreadProcessId(Wnd, &Pid);
            S->Visible += Pid == S->Pid && ::IsWindowVisible(Wnd);
            return TRUE;
        }
        static BOOL CALLBACK Visit(HWND Wnd, LPARAM Param)
        {
            auto* S = reinterpret_cast<Search*>(Param);
            DWORD Pid = 0;
            ::GetWindowThreadProcessId(Wnd, &Pid);
            char Class[256] = {};
            ::GetClassNameA(Wnd, Class, sizeof(Class));
            if (Pid != S->Pid || S->Class != Class || !::IsWindowVisible(Wnd))
                return TRUE;
            S->Found = Wnd;
            return FALSE;
        }
    };
    int Marks = 0;
};
