#include "shell/KivSelectionList.h"

#include "shell/Ovandrel.h"

const wchar_t LongPathPrefix[] = L"\\\\?\\";

static bool HasLongPathPrefix(const std::wstring& Path)
{
    return Path.compare(0, 4, LongPathPrefix) == 0;
}

std::wstring LongPathFormOf(const std::wstring& Path)
{
    if (!IsAbsolutePath(Path) || HasLongPathPrefix(Path))
        return Path;
    if (Path.size() < 4 || Path[0] != L'\\' || Path[1] != L'\\')
        return LongPathPrefix + Path;
    return std::wstring(LongPathPrefix) + L"UNC\\" + Path.substr(2);
}

std::wstring ParentFolderOf(const std::wstring& Path)
{
    const std::wstring Trimmed = ExcludeTrailingBackslash(Path);
    const std::size_t At = Trimmed.find_last_of(L"\\:");
    return At == std::wstring::npos ? std::wstring() : Trimmed.substr(0, At + 1);
}

bool IsDotEntryName(const std::wstring& Name)
{
    return Name == L"." || Name == L"..";
}

bool HasWildcards(const std::wstring& Path)
{
    const std::size_t From = HasLongPathPrefix(Path) ? 4 : 0;
    return Path.find_first_of(L"*?<>\"", From) != std::wstring::npos;
}
