// The path tests of the selection-list unit that the whole shell library
// probes the disk with. They need no selection-list object.
#pragma once

#include "shell/KivSelectionList.h"

#include <windows.h>

#include <string>

class TKivSelectionList {
public:
    // An existing folder; drive roots without touching the disk; paths of
    // 260 characters or more through the long form. Wildcards never match.
    static bool IsFolder(const std::wstring& Path);
    // The Part's pure form of the path (see LongPathFormOf).
    static std::wstring GetLongPathForm(const std::wstring& Path);
    // FindFirstFileW on the long form of the full path; the caller closes
    // the handle (INVALID_HANDLE_VALUE on failure).
    static HANDLE FindFirstFileLong(const std::wstring& Path, WIN32_FIND_DATAW& FindData);
    // An existing entry that is not a folder; wildcards never match.
    static bool IsFile(const std::wstring& Path);
    static std::wstring GetParentFolder(const std::wstring& Path) { return ParentFolderOf(Path); }
    static bool IsDotEntry(const std::wstring& Name) { return IsDotEntryName(Name); }
};

// The absolute path the system makes of Path (".." and "/" resolved);
// Path itself when that fails or it already carries the long prefix.
std::wstring FullPathOf(const std::wstring& Path);
