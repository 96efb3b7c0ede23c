#include "shell/KivSelectionListWin.h"

#include "shell/Ovandrel.h"
#include "shell/Shell_Win32Win.h"

#include <vector>

std::wstring FullPathOf(const std::wstring& Path)
{
    if (Path.empty() || Path.compare(0, 4, LongPathPrefix) == 0)
        return Path;
    const DWORD Need = ::GetFullPathNameW(Path.c_str(), 0, nullptr, nullptr);
    if (Need == 0)
        return Path;
    std::vector<wchar_t> Buffer(Need + 1);
    const DWORD Len = ::GetFullPathNameW(Path.c_str(), Need + 1, Buffer.data(), nullptr);
    return Len == 0 || Len > Need ? Path : std::wstring(Buffer.data(), Len);
}

std::wstring TKivSelectionList::GetLongPathForm(const std::wstring& Path)
{
    return LongPathFormOf(Path);
}

HANDLE TKivSelectionList::FindFirstFileLong(const std::wstring& Path, WIN32_FIND_DATAW& FindData)
{
    // The long form turns off the system's own clean-up of "..", so the
    // path is made whole first.
    const std::wstring Long = LongPathFormOf(FullPathOf(Path));
    TWow64Guard Redirection;
    return ::FindFirstFileW(Long.c_str(), &FindData);
}

// Looks Path up as one entry: false when it cannot be found.
static bool FindEntry(const std::wstring& Path, WIN32_FIND_DATAW& Data)
{
    const HANDLE Find = TKivSelectionList::FindFirstFileLong(Path, Data);
    if (Find == INVALID_HANDLE_VALUE)
        return false;
    ::FindClose(Find);
    return true;
}

bool TKivSelectionList::IsFolder(const std::wstring& Path)
{
    if (Path.empty() || HasWildcards(Path))
        return false;
    if (IsDriveRoot(Path))
        return true;
    if (Path.size() < MAX_PATH) {
        WIN32_FILE_ATTRIBUTE_DATA Data;
        if (!::GetFileAttributesExW(Path.c_str(), GetFileExInfoStandard, &Data))
            return false;
        return (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    }
    WIN32_FIND_DATAW Data;
    return FindEntry(ExcludeTrailingBackslash(Path), Data) &&
           (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool TKivSelectionList::IsFile(const std::wstring& Path)
{
    if (Path.empty() || HasWildcards(Path))
        return false;
    WIN32_FIND_DATAW Data;
    return FindEntry(Path, Data) && (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
