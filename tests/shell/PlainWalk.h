// The plain recursive FindFirstFileA walk that folder sizes are checked
// and timed against.
#pragma once

#include <windows.h>

#include <string>

struct TPlainCounts {
    long long Size = 0;
    int Files = 0;
    int Folders = 0;
};

// Counts Folder itself, every folder and file below it, and their bytes.
inline void PlainWalk(const std::string& Folder, TPlainCounts& C)
{
    ++C.Folders;
    WIN32_FIND_DATAA Data;
    const HANDLE Find = ::FindFirstFileA((Folder + "\\*").c_str(), &Data);
    if (Find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string Name = Data.cFileName;
        if (Name == "." || Name == "..")
            continue;
        if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            PlainWalk(Folder + "\\" + Name, C);
        } else {
            C.Size += (static_cast<long long>(Data.nFileSizeHigh) << 32) | Data.nFileSizeLow;
            ++C.Files;
        }
    } while (::FindNextFileA(Find, &Data));
    ::FindClose(Find);
}
