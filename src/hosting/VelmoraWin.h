// The Win32 side of the shared helpers: files, drives, platform, the
// settings registry and the program directory.
#pragma once

#include "hosting/Velmora.h"
#include "toolkit/Registry.h"

#include <windows.h>

#include <cstdint>
#include <string>

// Folder of the running executable, with a trailing '\'; set before main.
extern const std::string& ProgramDir;

// The module's full path, however long: the buffer starts at FirstSize
// characters and grows until the path fits. Empty on failure.
std::string ModuleFileName(HMODULE Module, DWORD FirstSize = MAX_PATH);

bool FileExists(const std::string& FileName);
void ClearReadOnly(const std::string& FileName);
// False, with Size 0, when the file cannot be opened or its size read.
bool GetFileSize64(const std::string& FileName, std::int64_t& Size, bool ClearReadOnlyFirst);
// A final '\' or '/' survives the shortening.
std::string ShortenFileName(const std::string& Path, HDC Canvas, int MaxWidth);
std::string GetDriveLetters();
bool GetOSVersionInfo(OSVERSIONINFOEXA& Info);
// 1 = Windows 95/98/ME, 2 = NT family, 0 = unknown.
DWORD GetPlatformId();

// The registry class for all of our own settings (current user, full
// access); its two reads answer the default instead of failing.
class TSafeRegistry : public Registry {
public:
    std::string ReadStringDef(const std::string& Name, const std::string& Default) const;
    int ReadIntegerDef(const std::string& Name, int Default) const;
};
