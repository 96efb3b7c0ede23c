// Shared bits of the shell library's Win32 tests.
#pragma once

#include "shell/ShellLibrary.h"
#include "shell/Shell_Win32Win.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <shobjidl.h>

#include <string>

// Starts the shell library once for the test program.
class ShellLibraryEnvironment : public ::testing::Environment {
public:
    void SetUp() override { ShellLibraryStartup(); }
    void TearDown() override { ShellLibraryShutdown(); }
};

// A fresh folder under the temporary folder, removed with its tree.
class TempFolder {
public:
    explicit TempFolder(const std::wstring& Name) : FPath(GetTempDir() + Name + L"\\")
    {
        Remove();
        ::CreateDirectoryW(FPath.c_str(), nullptr);
    }
    ~TempFolder() { Remove(); }
    const std::wstring& Path() const { return FPath; }

private:
    // Our own walk on long-path forms: the shell's delete under Wine goes
    // astray on trees deeper than MAX_PATH (it emptied the working folder).
    void Remove() { RemoveTree(FPath.substr(0, FPath.size() - 1)); }
    static void RemoveTree(const std::wstring& Path)
    {
        const std::wstring Temp = GetTempDir();
        if (Path.size() <= Temp.size() || Path.compare(0, Temp.size(), Temp) != 0)
            return;
        const std::wstring Long = L"\\\\?\\" + Path;
        WIN32_FIND_DATAW Data;
        const HANDLE Find = ::FindFirstFileW((Long + L"\\*").c_str(), &Data);
        if (Find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring Name = Data.cFileName;
                if (Name == L"." || Name == L"..")
                    continue;
                // A link or junction is removed itself, never walked: its
                // target may lie outside the temporary folder.
                if ((Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                    !(Data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                    RemoveTree(Path + L"\\" + Name);
                else if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    ::RemoveDirectoryW((Long + L"\\" + Name).c_str());
                else
                    ::DeleteFileW((Long + L"\\" + Name).c_str());
            } while (::FindNextFileW(Find, &Data));
            ::FindClose(Find);
        }
        ::RemoveDirectoryW(Long.c_str());
    }
    std::wstring FPath;
};

inline void WriteFileW(const std::wstring& Path, const char* Text)
{
    const HANDLE F = ::CreateFileW(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD Written = 0;
    ::WriteFile(F, Text, static_cast<DWORD>(strlen(Text)), &Written, nullptr);
    ::CloseHandle(F);
}

// Saves a shortcut file Link pointing at Target; false when the shell refuses.
inline bool WriteShortcut(const std::wstring& Link, const std::wstring& Target)
{
    IShellLinkW* Shortcut = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&Shortcut))))
        return false;
    Shortcut->SetPath(Target.c_str());
    IPersistFile* File = nullptr;
    bool Saved = false;
    if (SUCCEEDED(Shortcut->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&File)))) {
        Saved = SUCCEEDED(File->Save(Link.c_str(), TRUE));
        File->Release();
    }
    Shortcut->Release();
    return Saved;
}
