#include "dialogs/SearchForFilesWin.h"

#include "shell/Shell_Win32.h"

#include <windows.h>

void TWin32SearchFileSystem::ListFolder(const std::string& Folder,
                                        std::vector<TSearchEntry>& Entries)
{
    const std::string Pattern = Folder + "*.*";
    WIN32_FIND_DATAA Data;
    // The basic form skips the short names nobody here reads.
    HANDLE Find = ::FindFirstFileExA(Pattern.c_str(), FindExInfoBasic, &Data,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (Find == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_INVALID_PARAMETER)
        Find = ::FindFirstFileA(Pattern.c_str(), &Data);
    if (Find == INVALID_HANDLE_VALUE)
        return;
    do {
        const char* Name = Data.cFileName;
        if (Name[0] == '.' && (Name[1] == 0 || (Name[1] == '.' && Name[2] == 0)))
            continue;
        TSearchEntry E;
        E.Name = Name;
        E.Directory = (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        E.ReparsePoint = IsReparsePoint(Data.dwFileAttributes);
        Entries.push_back(std::move(E));
    } while (::FindNextFileA(Find, &Data));
    ::FindClose(Find);
}
