// Run-time binding of the optional shell, utility, kernel and
// property-system routines, and the small shell routines the rest of the
// library shares. Callers test a routine's pointer before use and fall
// back when it is missing.
#pragma once

#include "shell/Shell_Win32.h"

#include <windows.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdexcept>
#include <string>

// The toolkit-level error of a failed system step (start-up stops on it).
class EOSError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

using TILCreateFromPathW = PIDLIST_ABSOLUTE(WINAPI*)(PCWSTR Path);
using TSHGetPathFromIDListEx = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE List, PWSTR Path, DWORD Size,
                                             int Flags);
using TSHCreateItemFromIDList = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE List, REFIID Iid, void** Item);
using TSHGetImageList = HRESULT(WINAPI*)(int Kind, REFIID Iid, void** List);
using TSHGetKnownFolderIDList = HRESULT(WINAPI*)(REFGUID Id, DWORD Flags, HANDLE Token,
                                                 PIDLIST_ABSOLUTE* List);
using TIsUserAnAdmin = BOOL(WINAPI*)();
using TILFindChild = PUIDLIST_RELATIVE(WINAPI*)(PCIDLIST_ABSOLUTE Parent, PCIDLIST_ABSOLUTE Child);
using TILFindLastID = PUITEMID_CHILD(WINAPI*)(PCUIDLIST_RELATIVE List);
using TSHBindToParent = HRESULT(WINAPI*)(PCIDLIST_ABSOLUTE List, REFIID Iid, void** Parent,
                                         PCUITEMID_CHILD* Last);
using TILClone = PIDLIST_RELATIVE(WINAPI*)(PCUIDLIST_RELATIVE List);
using TILGetNext = PUIDLIST_RELATIVE(WINAPI*)(PCUIDLIST_RELATIVE List);
using TILCombine = PIDLIST_ABSOLUTE(WINAPI*)(PCIDLIST_ABSOLUTE First, PCUIDLIST_RELATIVE Second);
using TPathMatchSpecW = BOOL(WINAPI*)(LPCWSTR Name, LPCWSTR Pattern);
using TStrRetToStrW = HRESULT(WINAPI*)(STRRET* Str, PCUITEMID_CHILD List, LPWSTR* Text);
using TWow64DisableWow64FsRedirection = BOOL(WINAPI*)(PVOID* OldValue);
using TWow64RevertWow64FsRedirection = BOOL(WINAPI*)(PVOID OldValue);
using TIsWow64Process = BOOL(WINAPI*)(HANDLE Process, PBOOL Wow64);
using TGetSystemWindowsDirectoryA = UINT(WINAPI*)(LPSTR Buffer, UINT Size);
using TGetLongPathNameW = DWORD(WINAPI*)(LPCWSTR Short, LPWSTR Long, DWORD Size);

// Module handles and routines; 0 / nullptr when not loaded or missing.
// Routines nothing in the program calls are kept untyped.
struct TShellRoutines {
    HMODULE Propsys = nullptr, Shell32 = nullptr, Shlwapi = nullptr, Kernel32 = nullptr;

    FARPROC VariantCompare = nullptr;
    FARPROC Shell2 = nullptr, Shell4 = nullptr, Shell28 = nullptr, Shell83 = nullptr;
    TILCreateFromPathW ILCreateFromPathW = nullptr;
    FARPROC SHEmptyRecycleBinA = nullptr, SHQueryRecycleBinA = nullptr;
    TSHGetPathFromIDListEx SHGetPathFromIDListEx = nullptr;
    FARPROC SHDoDragDrop = nullptr, SHGetSetSettings = nullptr;
    TSHCreateItemFromIDList SHCreateItemFromIDList = nullptr;
    TSHGetImageList SHGetImageList = nullptr;
    TSHGetKnownFolderIDList SHGetKnownFolderIDList = nullptr;
    FARPROC Shell701 = nullptr, Shell660 = nullptr;
    TIsUserAnAdmin IsUserAnAdmin = nullptr;
    TILFindChild ILFindChild = nullptr;
    TILFindLastID ILFindLastID = nullptr;
    TSHBindToParent SHBindToParent = nullptr;
    FARPROC Shell152 = nullptr;
    TILClone ILClone = nullptr;
    TILGetNext ILGetNext = nullptr;
    FARPROC Shell21 = nullptr;
    TILCombine ILCombine = nullptr;

    FARPROC SHAutoComplete = nullptr, PathCombineW = nullptr;
    TPathMatchSpecW PathMatchSpecW = nullptr;
    FARPROC PathMatchSpecExW = nullptr;
    TStrRetToStrW StrRetToStrW = nullptr;
    FARPROC StrCmpLogicalW = nullptr, StrFormatByteSizeW = nullptr, StrFormatKBSizeW = nullptr;

    TWow64DisableWow64FsRedirection Wow64DisableWow64FsRedirection = nullptr;
    TWow64RevertWow64FsRedirection Wow64RevertWow64FsRedirection = nullptr;
    TIsWow64Process IsWow64Process = nullptr;
    TGetSystemWindowsDirectoryA GetSystemWindowsDirectoryA = nullptr;
    TGetLongPathNameW GetLongPathNameW = nullptr;
};
extern TShellRoutines ShellRoutines;
// Slot gets Module's routine Name, typed, or nullptr.
template <typename T> void BindRoutine(HMODULE Module, const char* Name, T& Slot)
{
    Slot = reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(Module, Name)));
}
// Binds VariantCompare at the first call after start-up: propsys brings the
// automation library with it, which start-up has no use for.
FARPROC ShellVariantCompare();

// Texts of the shell's string table, with our own fallbacks.
extern std::wstring ShellInFolderText;
extern std::wstring ShellNewFolderText;
// When true the library switches the WOW64 file-system redirection off
// around its file and shell calls; nothing in the program sets it.
extern bool Wow64RedirectionOff;

// Initializes OLE for the thread and binds the routines; throws EOSError
// "Ovandrel Components: Cannot open SHELL32.DLL!" (or SHLWAPI) when a
// required module does not load. Runs once; later calls only count.
void ShellWin32Startup();
// Frees the modules (shlwapi, Shell32, kernel32.dll, propsys), then ends
// OLE. Callers release their COM objects first.
void ShellWin32Shutdown();
// The loader start-up uses; tests replace it to see a module go missing.
using TModuleLoader = HMODULE (*)(const char* Name);
void SetShellModuleLoader(TModuleLoader Loader);  // nullptr: LoadLibraryA

std::wstring AnsiToWide(const std::string& S);
std::string WideToAnsi(const std::wstring& S);

// The system's message for a Windows error code, trimmed.
std::string SysErrorText(DWORD Code);
// Item-id list of a path, owned by the caller (CoTaskMemFree); nullptr on
// failure. Folder nullptr: the desktop folder.
PIDLIST_ABSOLUTE PathToIDList(IShellFolder* Folder, const std::wstring& Path);
std::wstring StrRetToString(PCUITEMID_CHILD List, STRRET& Str);
// Remote name of a network domain or server, else empty.
std::wstring GetNetResourceName(IShellFolder* Folder, PCUITEMID_CHILD List);
// The raw target path stored in a shortcut file, or empty.
std::wstring ReadShellLinkPath(const std::wstring& FileName);
bool MatchesSpec(const std::wstring& Name, const std::wstring& Pattern);
// Pair these around a file or shell call; revert also on failure.
bool DisableWow64Redirection();
bool RevertWow64Redirection(bool Previous);
// With its trailing backslash.
std::wstring GetTempDir();
HRESULT LoadShellLibraryFromItem(IShellItem* Item, DWORD Mode, REFIID Iid, void** Object);
std::wstring GetLibrarySaveFolderPath(PCIDLIST_ABSOLUTE List);

// Sets the process error mode and puts the previous one back when it goes,
// also when an exception passes.
class TErrorModeGuard {
public:
    explicit TErrorModeGuard(UINT Mode = SEM_FAILCRITICALERRORS) : FOld(::SetErrorMode(Mode)) {}
    ~TErrorModeGuard() { ::SetErrorMode(FOld); }
    TErrorModeGuard(const TErrorModeGuard&) = delete;
    TErrorModeGuard& operator=(const TErrorModeGuard&) = delete;

private:
    UINT FOld;
};

// DisableWow64Redirection for one scope.
class TWow64Guard {
public:
    TWow64Guard() : FPrevious(DisableWow64Redirection()) {}
    ~TWow64Guard() { RevertWow64Redirection(FPrevious); }
    TWow64Guard(const TWow64Guard&) = delete;
    TWow64Guard& operator=(const TWow64Guard&) = delete;

private:
    bool FPrevious;
};
