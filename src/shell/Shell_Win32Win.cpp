#include "shell/Shell_Win32Win.h"

#include "hosting/Velmora.h"
#include "shell/OvandrelWin.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include <ole2.h>

#include <vector>

TShellRoutines ShellRoutines;
std::wstring ShellInFolderText;
std::wstring ShellNewFolderText;
bool Wow64RedirectionOff = false;

namespace {

int StartCount = 0;
bool OleStarted = false;
TModuleLoader ModuleLoader = nullptr;

const GUID CLSID_ShortcutObject = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID IID_ShellLinkW = {0x000214F9, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID IID_PersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
const GUID CLSID_ShellLibraryObject = {0xD9B3211D, 0xE57F, 0x4426,
                                       {0xAA, 0xEF, 0x30, 0xA8, 0x06, 0xAD, 0xD3, 0x97}};
const GUID IID_ShellLibraryIntf = {0x11A66EFA, 0x382E, 0x451A,
                                   {0x92, 0x34, 0x1E, 0x0E, 0x12, 0xEF, 0x30, 0x85}};
const GUID IID_ShellItemIntf = {0x43826D1E, 0xE718, 0x42EE,
                                {0xBC, 0x55, 0xA1, 0xE2, 0x61, 0xC3, 0x7B, 0xFE}};

HMODULE LoadModule(const char* Name)
{
    return ModuleLoader ? ModuleLoader(Name) : ::LoadLibraryA(Name);
}

template <typename T> void Bind(HMODULE Module, const char* Name, T& Slot)
{
    BindRoutine(Module, Name, Slot);
}

template <typename T> void BindExport(HMODULE Module, WORD Number, T& Slot)
{
    Bind(Module, MAKEINTRESOURCEA(Number), Slot);
}

std::wstring LoadShellText(HMODULE Module, UINT Id)
{
    std::vector<wchar_t> Buffer(32767);
    const int Len = ::LoadStringW(Module, Id, Buffer.data(), static_cast<int>(Buffer.size()));
    return Len > 0 ? std::wstring(Buffer.data(), static_cast<std::size_t>(Len)) : std::wstring();
}

void BindShell32(TShellRoutines& R)
{
    HMODULE M = R.Shell32;
    BindExport(M, 2, R.Shell2);
    BindExport(M, 4, R.Shell4);
    BindExport(M, 28, R.Shell28);
    BindExport(M, 83, R.Shell83);
    BindExport(M, 190, R.ILCreateFromPathW);
    Bind(M, "SHEmptyRecycleBinA", R.SHEmptyRecycleBinA);
    Bind(M, "SHQueryRecycleBinA", R.SHQueryRecycleBinA);
    Bind(M, "SHGetPathFromIDListEx", R.SHGetPathFromIDListEx);
    Bind(M, "SHDoDragDrop", R.SHDoDragDrop);
    Bind(M, "SHGetSetSettings", R.SHGetSetSettings);
    Bind(M, "SHCreateItemFromIDList", R.SHCreateItemFromIDList);
    BindExport(M, 727, R.SHGetImageList);
    Bind(M, "SHGetKnownFolderIDList", R.SHGetKnownFolderIDList);
    BindExport(M, 701, R.Shell701);
    BindExport(M, 660, R.Shell660);
    Bind(M, "IsUserAnAdmin", R.IsUserAnAdmin);
    BindExport(M, 24, R.ILFindChild);
    BindExport(M, 16, R.ILFindLastID);
    Bind(M, "SHBindToParent", R.SHBindToParent);
    BindExport(M, 152, R.Shell152);
    BindExport(M, 18, R.ILClone);
    BindExport(M, 153, R.ILGetNext);
    BindExport(M, 21, R.Shell21);
    BindExport(M, 25, R.ILCombine);
}

void BindShlwapi(TShellRoutines& R)
{
    HMODULE M = R.Shlwapi;
    Bind(M, "SHAutoComplete", R.SHAutoComplete);
    Bind(M, "PathCombineW", R.PathCombineW);
    Bind(M, "PathMatchSpecW", R.PathMatchSpecW);
    Bind(M, "PathMatchSpecExW", R.PathMatchSpecExW);
    Bind(M, "StrRetToStrW", R.StrRetToStrW);
    Bind(M, "StrCmpLogicalW", R.StrCmpLogicalW);
    Bind(M, "StrFormatByteSizeW", R.StrFormatByteSizeW);
    Bind(M, "StrFormatKBSizeW", R.StrFormatKBSizeW);
}

void BindKernel32(TShellRoutines& R)
{
    HMODULE M = R.Kernel32;
    Bind(M, "Wow64DisableWow64FsRedirection", R.Wow64DisableWow64FsRedirection);
    Bind(M, "Wow64RevertWow64FsRedirection", R.Wow64RevertWow64FsRedirection);
    Bind(M, "IsWow64Process", R.IsWow64Process);
    Bind(M, "GetSystemWindowsDirectoryA", R.GetSystemWindowsDirectoryA);
    Bind(M, "GetLongPathNameW", R.GetLongPathNameW);
}

// Undoes a start-up that a missing module stopped half-way.
[[noreturn]] void StopStartup(const char* Message)
{
    ShellWin32Shutdown();
    throw EOSError(Message);
}

HWND ApplicationWindow()
{
    return Application && Application->MainForm ? Application->MainForm->Handle() : nullptr;
}

}  // namespace

void SetShellModuleLoader(TModuleLoader Loader)
{
    ModuleLoader = Loader;
}

void ShellWin32Startup()
{
    if (StartCount++ > 0)
        return;
    const HRESULT Ole = ::OleInitialize(nullptr);
    OleStarted = SUCCEEDED(Ole);
    TShellRoutines& R = ShellRoutines;
    R = TShellRoutines();
    R.Shell32 = LoadModule("Shell32");
    if (!R.Shell32)
        StopStartup("Ovandrel Components: Cannot open SHELL32.DLL!");
    BindShell32(R);
    ShellInFolderText = LoadShellText(R.Shell32, 8977);
    if (ShellInFolderText.empty())
        ShellInFolderText = L"In Folder";
    ShellNewFolderText = LoadShellText(R.Shell32, 30320);
    if (ShellNewFolderText.empty())
        ShellNewFolderText = LoadShellText(R.Shell32, 30396);
    if (ShellNewFolderText.empty())
        ShellNewFolderText = L"New Folder";
    R.Shlwapi = LoadModule("shlwapi");
    if (!R.Shlwapi)
        StopStartup("Ovandrel Components: Cannot open SHLWAPI.DLL!");
    BindShlwapi(R);
    R.Kernel32 = LoadModule("kernel32.dll");
    if (R.Kernel32)
        BindKernel32(R);
}

FARPROC ShellVariantCompare()
{
    TShellRoutines& R = ShellRoutines;
    if (!R.Propsys && StartCount > 0) {
        R.Propsys = LoadModule("propsys");
        if (R.Propsys)
            Bind(R.Propsys, "VariantCompare", R.VariantCompare);
    }
    return R.VariantCompare;
}

void ShellWin32Shutdown()
{
    if (StartCount > 1) {
        --StartCount;
        return;
    }
    StartCount = 0;
    TShellRoutines& R = ShellRoutines;
    for (HMODULE M : {R.Shlwapi, R.Shell32, R.Kernel32, R.Propsys})
        if (M)
            ::FreeLibrary(M);
    R = TShellRoutines();
    ShellInFolderText.clear();
    ShellNewFolderText.clear();
    if (OleStarted)
        ::OleUninitialize();
    OleStarted = false;
}

std::wstring AnsiToWide(const std::string& S)
{
    if (S.empty())
        return std::wstring();
    const int N = ::MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0);
    std::wstring W(static_cast<std::size_t>(N), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, S.data(), static_cast<int>(S.size()), &W[0], N);
    return W;
}

std::string WideToAnsi(const std::wstring& S)
{
    if (S.empty())
        return std::string();
    const int N = ::WideCharToMultiByte(CP_ACP, 0, S.data(), static_cast<int>(S.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string A(static_cast<std::size_t>(N), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, S.data(), static_cast<int>(S.size()), &A[0], N, nullptr,
                          nullptr);
    return A;
}

std::string SysErrorText(DWORD Code)
{
    char Buffer[1024];
    const DWORD Len = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                       nullptr, Code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                       Buffer, sizeof Buffer - 1, nullptr);
    return Trim(std::string(Buffer, Len));
}

PIDLIST_ABSOLUTE PathToIDList(IShellFolder* Folder, const std::wstring& Path)
{
    PIDLIST_ABSOLUTE List = nullptr;
    if (Path.empty()) {
        if (FAILED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &List)))
            return nullptr;
        return List;
    }
    std::wstring P = Path;
    if (P.size() == 2 && P[1] == L':')
        P += L'\\';
    TErrorModeGuard ErrorMode;
    TWow64Guard Redirection;
    const HWND Owner = IsUncPath(P) ? ApplicationWindow() : nullptr;
    // Without the path routine the desktop folder parses instead.
    if (!Folder && !Owner && ShellRoutines.ILCreateFromPathW)
        return ShellRoutines.ILCreateFromPathW(P.c_str());
    IShellFolder* Parser = Folder ? Folder : DesktopShellFolder;
    if (!Parser)
        return nullptr;
    const HRESULT Hr = Parser->ParseDisplayName(Owner, nullptr, &P[0], nullptr,
                                                reinterpret_cast<PIDLIST_RELATIVE*>(&List), nullptr);
    if (FAILED(Hr)) {
        ::SetLastError(static_cast<DWORD>(Hr));
        return nullptr;
    }
    return List;
}

std::wstring StrRetToString(PCUITEMID_CHILD List, STRRET& Str)
{
    if (!ShellRoutines.StrRetToStrW) {
        if (!Application || !Application->Terminated()) {
            ::MessageBoxA(ApplicationWindow(),
                          "A Dll, which is needed to execute this program, is not installed. \r\n"
                          "Please install Internet Explorer 5.5 or higher to use this program.",
                          Application ? Application->Title().c_str() : "", MB_OK);
            if (Application)
                Application->Terminate();
        }
        return std::wstring();
    }
    LPWSTR Text = nullptr;
    if (FAILED(ShellRoutines.StrRetToStrW(&Str, List, &Text)) || !Text)
        return std::wstring();
    std::wstring Result = Text;
    ::CoTaskMemFree(Text);
    return Result;
}

std::wstring GetNetResourceName(IShellFolder* Folder, PCUITEMID_CHILD List)
{
    alignas(8) BYTE Buffer[1056] = {};
    if (!Folder || FAILED(::SHGetDataFromIDListW(Folder, List, SHGDFIL_NETRESOURCE, Buffer,
                                                 sizeof Buffer)))
        return std::wstring();
    const auto* Resource = reinterpret_cast<const NETRESOURCEW*>(Buffer);
    if ((Resource->dwDisplayType == RESOURCEDISPLAYTYPE_DOMAIN ||
         Resource->dwDisplayType == RESOURCEDISPLAYTYPE_SERVER) && Resource->lpRemoteName)
        return Resource->lpRemoteName;
    return std::wstring();
}

std::wstring ReadShellLinkPath(const std::wstring& FileName)
{
    IShellLinkW* Link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShortcutObject, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ShellLinkW, reinterpret_cast<void**>(&Link))))
        return std::wstring();
    std::wstring Result;
    IPersistFile* File = nullptr;
    if (SUCCEEDED(Link->QueryInterface(IID_PersistFile, reinterpret_cast<void**>(&File)))) {
        if (SUCCEEDED(File->Load(FileName.c_str(), STGM_READ))) {
            std::vector<wchar_t> Buffer(32767);
            // Flag 2: the target with its environment variables expanded,
            // so that callers can look it up on the disk.
            if (SUCCEEDED(Link->GetPath(Buffer.data(), static_cast<int>(Buffer.size()), nullptr,
                                        SLGP_UNCPRIORITY)))
                Result = Buffer.data();
        }
        File->Release();
    }
    Link->Release();
    return Result;
}

static bool ShellMatch(const std::wstring& Name, const std::wstring& Pattern)
{
    if (ShellRoutines.PathMatchSpecW)
        return ShellRoutines.PathMatchSpecW(Name.c_str(), Pattern.c_str()) != FALSE;
    return WildcardMatch(Name, Pattern);
}

bool MatchesSpec(const std::wstring& Name, const std::wstring& Pattern)
{
    if (Pattern == L"*.")
        return Name.find(L'.') == std::wstring::npos || ShellMatch(Name, Pattern);
    for (const std::wstring& Candidate : SpecCandidates(Pattern))
        if (ShellMatch(Name, Candidate))
            return true;
    return false;
}

bool DisableWow64Redirection()
{
    if (!Wow64RedirectionOff || !ShellRoutines.Wow64DisableWow64FsRedirection)
        return false;
    PVOID Old = nullptr;
    return ShellRoutines.Wow64DisableWow64FsRedirection(&Old) && Old != nullptr;
}

bool RevertWow64Redirection(bool Previous)
{
    if (!Wow64RedirectionOff || !ShellRoutines.Wow64RevertWow64FsRedirection)
        return false;
    PVOID Value = Previous ? reinterpret_cast<PVOID>(~static_cast<UINT_PTR>(0)) : nullptr;
    return ShellRoutines.Wow64RevertWow64FsRedirection(Value) != FALSE;
}

std::wstring GetTempDir()
{
    wchar_t Buffer[MAX_PATH + 1] = {};
    const DWORD Len = ::GetTempPathW(MAX_PATH, Buffer);
    return std::wstring(Buffer, Len <= MAX_PATH ? Len : 0);
}

HRESULT LoadShellLibraryFromItem(IShellItem* Item, DWORD Mode, REFIID Iid, void** Object)
{
    IShellLibrary* Library = nullptr;
    HRESULT Hr = ::CoCreateInstance(CLSID_ShellLibraryObject, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ShellLibraryIntf, reinterpret_cast<void**>(&Library));
    if (FAILED(Hr))
        return Hr;
    Hr = Library->LoadLibraryFromItem(Item, Mode);
    if (SUCCEEDED(Hr))
        Hr = Library->QueryInterface(Iid, Object);
    Library->Release();
    return Hr;
}

std::wstring GetLibrarySaveFolderPath(PCIDLIST_ABSOLUTE List)
{
    if (!ShellRoutines.SHCreateItemFromIDList)
        return std::wstring();
    IShellItem* Item = nullptr;
    if (FAILED(ShellRoutines.SHCreateItemFromIDList(List, IID_ShellItemIntf,
                                                    reinterpret_cast<void**>(&Item))))
        return std::wstring();
    std::wstring Result;
    IShellLibrary* Library = nullptr;
    if (SUCCEEDED(LoadShellLibraryFromItem(Item, 0, IID_ShellLibraryIntf,
                                           reinterpret_cast<void**>(&Library)))) {
        IShellItem* Folder = nullptr;
        if (SUCCEEDED(Library->GetDefaultSaveFolder(DSFT_DETECT, IID_ShellItemIntf,
                                                    reinterpret_cast<void**>(&Folder)))) {
            LPWSTR Path = nullptr;
            if (SUCCEEDED(Folder->GetDisplayName(static_cast<SIGDN>(0x80058000), &Path)) && Path) {
                Result = Path;
                ::CoTaskMemFree(Path);
            }
            Folder->Release();
        }
        Library->Release();
    }
    Item->Release();
    return Result;
}
