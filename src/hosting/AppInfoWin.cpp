#include "hosting/AppInfoWin.h"

#include "hosting/VelmoraWin.h"

#include <tlhelp32.h>

#include <cstring>
#include <exception>

// The ANSI Tool Help records.
static_assert(sizeof(MODULEENTRY32) == 548, "ANSI module entry");
static_assert(sizeof(PROCESSENTRY32) == 296, "ANSI process entry");

namespace {

std::string ReadBuffer(int (WINAPI *Read)(HWND, LPSTR, int), HWND Wnd)
{
    char Buf[256] = {};
    const int Len = Read(Wnd, Buf, sizeof(Buf));
    return Len < 1 ? std::string() : std::string(Buf, static_cast<std::size_t>(Len));
}

// An exception must not unwind through the system's enumeration frames:
// it is held, the enumeration stopped, and thrown again afterwards.
struct Enumeration {
    const std::function<void(TWindowHandle)>& Visit;
    std::exception_ptr Error;

    static BOOL CALLBACK Proc(HWND Wnd, LPARAM Param)
    {
        auto* Self = reinterpret_cast<Enumeration*>(Param);
        try {
            Self->Visit(FromHwnd(Wnd));
            return TRUE;
        } catch (...) {
            Self->Error = std::current_exception();
            return FALSE;
        }
    }
    void Rethrow() const
    {
        if (Error)
            std::rethrow_exception(Error);
    }
};

struct Snapshot {
    HANDLE Handle;
    ~Snapshot()
    {
        if (Handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(Handle);
    }
};

}  // namespace

std::string GetWindowTitle(HWND Wnd)
{
    return ReadBuffer(&::GetWindowTextA, Wnd);
}

std::string GetWindowClass(HWND Wnd)
{
    return ReadBuffer(&::GetClassNameA, Wnd);
}

int TDesktopWindowSource::PlatformId()
{
    return static_cast<int>(GetPlatformId());
}

void TDesktopWindowSource::EnumTopLevel(const std::function<void(TWindowHandle)>& Visit)
{
    Enumeration E{Visit, nullptr};
    ::EnumWindows(&Enumeration::Proc, reinterpret_cast<LPARAM>(&E));
    E.Rethrow();
}

void TDesktopWindowSource::EnumChildren(TWindowHandle Parent,
                                        const std::function<void(TWindowHandle)>& Visit)
{
    Enumeration E{Visit, nullptr};
    ::EnumChildWindows(ToHwnd(Parent), &Enumeration::Proc, reinterpret_cast<LPARAM>(&E));
    E.Rethrow();
}

bool TDesktopWindowSource::Size(TWindowHandle Wnd, std::int32_t& Width, std::int32_t& Height)
{
    RECT R;
    if (!::GetWindowRect(ToHwnd(Wnd), &R))
        return false;
    Width = R.right - R.left;
    Height = R.bottom - R.top;
    return true;
}

std::uint32_t TDesktopWindowSource::ProcessId(TWindowHandle Wnd)
{
    DWORD Pid = 0;
    ::GetWindowThreadProcessId(ToHwnd(Wnd), &Pid);
    return Pid;
}

// A 32-bit process cannot walk the modules of a 64-bit one, but the
// process's image name still names its executable.
static bool ImageNameOf(std::uint32_t ProcessId,
                        const std::function<bool(const std::string& Path)>& Visit)
{
    HANDLE Process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessId);
    if (!Process)
        return false;
    char Path[MAX_PATH * 2];
    DWORD Len = sizeof(Path);
    const bool Ok = ::QueryFullProcessImageNameA(Process, 0, Path, &Len) != 0;
    ::CloseHandle(Process);
    if (Ok)
        Visit(std::string(Path, Len));
    return Ok;
}

bool TDesktopWindowSource::WalkModules(std::uint32_t ProcessId,
                                       const std::function<bool(const std::string& Path)>& Visit)
{
    // The first module is the process's image: its name alone is one call
    // where a module list costs the program's start of a bound window a
    // walk through the other process's memory.
    bool Done = false;
    if (ImageNameOf(ProcessId, [&](const std::string& Path) { return Done = !Visit(Path); }) && Done)
        return true;
    // ERROR_BAD_LENGTH means the module list changed while it was read:
    // worth another try, unlike every other failure.
    Snapshot Snap{INVALID_HANDLE_VALUE};
    for (int Try = 0; Try < 5 && Snap.Handle == INVALID_HANDLE_VALUE; ++Try) {
        Snap.Handle = ::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, ProcessId);
        if (Snap.Handle == INVALID_HANDLE_VALUE && ::GetLastError() != ERROR_BAD_LENGTH)
            break;
    }
    if (Snap.Handle == INVALID_HANDLE_VALUE)
        return ImageNameOf(ProcessId, Visit);
    MODULEENTRY32 Entry;
    std::memset(&Entry, 0, sizeof(Entry));
    Entry.dwSize = sizeof(Entry);
    for (BOOL Ok = ::Module32First(Snap.Handle, &Entry); Ok;
         Ok = ::Module32Next(Snap.Handle, &Entry)) {
        if (!Visit(std::string(Entry.szExePath, ::strnlen(Entry.szExePath, MAX_PATH))))
            break;
    }
    return true;
}

bool TDesktopWindowSource::WalkProcesses(const std::function<void(const TProcessItem&)>& Visit)
{
    Snapshot Snap{::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0)};
    if (Snap.Handle == INVALID_HANDLE_VALUE)
        return false;
    PROCESSENTRY32 Entry;
    std::memset(&Entry, 0, sizeof(Entry));
    Entry.dwSize = sizeof(Entry);
    for (BOOL Ok = ::Process32First(Snap.Handle, &Entry); Ok;) {
        TProcessItem P;
        P.Size = Entry.dwSize;
        P.Usage = Entry.cntUsage;
        P.ProcessId = Entry.th32ProcessID;
        P.DefaultHeapId = Entry.th32DefaultHeapID;
        P.ModuleId = Entry.th32ModuleID;
        P.Threads = Entry.cntThreads;
        P.ParentProcessId = Entry.th32ParentProcessID;
        P.PriClassBase = Entry.pcPriClassBase;
        P.Flags = Entry.dwFlags;
        P.ExeFile.assign(Entry.szExeFile, ::strnlen(Entry.szExeFile, MAX_PATH));
        Visit(P);
        Entry.dwSize = sizeof(Entry);
        Ok = ::Process32Next(Snap.Handle, &Entry);
    }
    return true;
}

TToolkitIntervalTimer::TToolkitIntervalTimer() : FTimer(nullptr, 1000, false)
{
    FTimer.OnTimer = [this] {
        if (OnTimer)
            OnTimer();
    };
}

TDesktopWindowSource& DesktopWindowSource()
{
    static TDesktopWindowSource Source;
    return Source;
}

std::unique_ptr<TAppInfo> MakeDesktopAppInfo()
{
    return std::make_unique<TAppInfo>(DesktopWindowSource(),
                                      std::make_unique<TToolkitIntervalTimer>());
}
