// The shell unit's start-up state, path routines that touch the disk or
// the shell, the folder component, the path list and the system image
// list. GUI thread only.
#pragma once

#include "shell/Ovandrel.h"
#include "shell/Shell_Win32Win.h"

#include <windows.h>
#include <shlobj.h>

#include <stdexcept>
#include <string>

// --- Start-up state ---
extern IShellFolder* DesktopShellFolder;
extern bool IsVistaOrLater;
extern bool IsWin7OrLater;
// The root of the Windows folder's drive with a trailing backslash.
extern std::wstring SystemDriveRoot;

// The library's own error.
class EOvandrelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the version flags, opens the desktop folder (EOvandrelError
// "Ovandrel Components: Cannot open Shell!" when it cannot), registers
// the clipboard format and finds the system drive root.
void OvandrelStartup();
void OvandrelShutdown();
// The desktop-folder source start-up uses; tests replace it.
using TDesktopFolderSource = HRESULT(WINAPI*)(IShellFolder** Folder);
void SetDesktopFolderSource(TDesktopFolderSource Source);  // nullptr: SHGetDesktopFolder

// --- Path routines ---
void GetWindowsDir(std::wstring& Dir);
