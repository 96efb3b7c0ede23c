#include "shell/OvandrelWin.h"

IShellFolder* DesktopShellFolder = nullptr;
bool IsVistaOrLater = false;
bool IsWin7OrLater = false;
std::wstring SystemDriveRoot;

namespace {

TDesktopFolderSource DesktopFolderSource = nullptr;

}  // namespace

void SetDesktopFolderSource(TDesktopFolderSource Source)
{
    DesktopFolderSource = Source;
}

void OvandrelStartup()
{
    OSVERSIONINFOA Info = {};
    Info.dwOSVersionInfoSize = sizeof Info;
    if (::GetVersionExA(&Info)) {
        IsVistaOrLater = Info.dwMajorVersion >= 6;
        IsWin7OrLater = (Info.dwMajorVersion >= 6 && Info.dwMinorVersion >= 1) ||
                        Info.dwMajorVersion >= 7;
    }
    IShellFolder* Desktop = nullptr;
    const HRESULT Hr = DesktopFolderSource ? DesktopFolderSource(&Desktop)
                                           : ::SHGetDesktopFolder(&Desktop);
    if (FAILED(Hr) || !Desktop)
        throw EOvandrelError("Ovandrel Components: Cannot open Shell!");
    DesktopShellFolder = Desktop;
    ::RegisterClipboardFormatA("Shell IDList Array");
    std::wstring Windows;
    GetWindowsDir(Windows);
    SystemDriveRoot = IncludeTrailingBackslash(ExtractFileDriveW(Windows));
}

void OvandrelShutdown()
{
    if (DesktopShellFolder)
        DesktopShellFolder->Release();
    DesktopShellFolder = nullptr;
    SystemDriveRoot.clear();
}

void GetWindowsDir(std::wstring& Dir)
{
    char Buffer[MAX_PATH + 1] = {};
    UINT Len = 0;
    if (ShellRoutines.GetSystemWindowsDirectoryA)
        Len = ShellRoutines.GetSystemWindowsDirectoryA(Buffer, MAX_PATH);
    if (Len == 0 || Len > MAX_PATH)
        Len = ::GetWindowsDirectoryA(Buffer, MAX_PATH);
    Dir = Len == 0 || Len > MAX_PATH ? L"C:\\Windows" : AnsiToWide(std::string(Buffer, Len));
}
