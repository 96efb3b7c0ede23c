#include "shell/KivWorkItemsWin.h"

#include "shell/KivSelectionListWin.h"
#include "shell/Ovandrel.h"
#include "shell/OvandrelWin.h"
#include "shell/Shell_Win32.h"

#include <windows.h>

#include <vector>

const TWorkItemClass TKivFolderSizeWorkItem::ClassInfo = {"TKivFolderSizeWorkItem",
                                                          &TBasicWorkItem::ClassInfo};

TKivFolderSizeWorkItem::TKivFolderSizeWorkItem(const std::wstring& Path, bool IncludeSubfolders,
                                               bool FollowReparsePoints)
    : Path(Path), IncludeSubfolders(IncludeSubfolders), FollowReparsePoints(FollowReparsePoints),
      FLinks(Path)
{
}

void TKivFolderSizeWorkItem::Execute()
{
    const bool Root = IsDriveRoot(Path);
    // A folder given with its trailing backslash is found as well.
    const std::wstring Search =
        Root ? IncludeTrailingBackslash(Path) + L"*" : ExcludeTrailingBackslash(Path);
    WIN32_FIND_DATAW Data;
    const HANDLE Find = TKivSelectionList::FindFirstFileLong(Search, Data);
    if (Find == INVALID_HANDLE_VALUE)
        return;
    ::FindClose(Find);
    if (!(Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !Root) {
        Size += FindDataSize(Data);
        ++FileCount;
        return;
    }
    ++FolderCount;
    if (IncludeSubfolders) {
        Path = IncludeTrailingBackslash(Path);
        CountFolder(Path, (Data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0, 0);
    }
}

void TKivFolderSizeWorkItem::CountFolder(const std::wstring& Folder, bool ParentIsReparse,
                                         int LinkDepth)
{
    WIN32_FIND_DATAW Data;
    const HANDLE Find = TKivSelectionList::FindFirstFileLong(Folder + L"*", Data);
    if (Find == INVALID_HANDLE_VALUE)
        return;
    if (Size < 0)
        Size = 0;
    if (FileCount < 0)
        FileCount = 0;
    do {
        if (Cancelled())
            break;
        const std::wstring Name = Data.cFileName;
        const bool Reparse = IsReparsePoint(Data.dwFileAttributes);
        if (Reparse) {
            if (!FollowReparsePoints && !ParentIsReparse)
                continue;
            if (!FLinks.Follow(GetReparseTarget(Folder + Name), LinkDepth + 1))
                continue;
        }
        if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (TKivSelectionList::IsDotEntry(Name))
                continue;
            ++FolderCount;
            CountFolder(Folder + Name + L"\\", Reparse, LinkDepth + (Reparse ? 1 : 0));
        } else {
            Size += FindDataSize(Data);
            ++FileCount;
        }
    } while (::FindNextFileW(Find, &Data));
    ::FindClose(Find);
}

std::wstring TKivFolderSizeWorkItem::GetReparseTarget(const std::wstring& Path)
{
    const HANDLE File = ::CreateFileW(TKivSelectionList::GetLongPathForm(FullPathOf(Path)).c_str(),
                                      GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr);
    if (File == INVALID_HANDLE_VALUE)
        return {};
    std::vector<unsigned char> Buffer(16384);
    DWORD Returned = 0;
    std::wstring Target;
    if (::DeviceIoControl(File, FSCTL_GET_REPARSE_POINT, nullptr, 0, Buffer.data(),
                          static_cast<DWORD>(Buffer.size()), &Returned, nullptr))
        Target = ParseReparseTarget(Buffer.data(), Returned);
    ::CloseHandle(File);
    return Target;
}
