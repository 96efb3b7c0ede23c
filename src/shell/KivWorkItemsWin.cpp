#include "shell/KivWorkItemsWin.h"

#include "shell/KivSelectionListWin.h"
#include "shell/Ovandrel.h"
#include "shell/OvandrelWin.h"
#include "shell/Shell_Win32.h"
#include "shell/Shell_Win32Win.h"

#include <windows.h>

#include <string>
#include <vector>

const TWorkItemClass TKivFolderSizeWorkItem::ClassInfo = {"TKivFolderSizeWorkItem",
                                                          &TBasicWorkItem::ClassInfo};

namespace {

TSizeEntry EntryOf(const WIN32_FIND_DATAW& Data)
{
    return {Data.cFileName, Data.dwFileAttributes, FindDataSize(Data)};
}

class DiskSizes : public ISizeFileSystem {
public:
    bool FindFirst(const std::wstring& Pattern, TSizeEntry& Entry) override
    {
        WIN32_FIND_DATAW Data;
        const HANDLE Find = TKivSelectionList::FindFirstFileLong(Pattern, Data);
        if (Find == INVALID_HANDLE_VALUE)
            return false;
        ::FindClose(Find);
        Entry = EntryOf(Data);
        return true;
    }
    void ForEach(const std::wstring& Pattern,
                 const std::function<bool(const TSizeEntry&)>& Visit) override
    {
        WIN32_FIND_DATAW Data;
        const HANDLE Find = TKivSelectionList::FindFirstFileLong(Pattern, Data);
        if (Find == INVALID_HANDLE_VALUE)
            return;
        struct Closer {
            HANDLE H;
            ~Closer() { ::FindClose(H); }
        } Close{Find};
        do
            if (!Visit(EntryOf(Data)))
                break;
        while (::FindNextFileW(Find, &Data));
    }
    std::wstring ReparseTarget(const std::wstring& Path) override
    {
        return TKivFolderSizeWorkItem::GetReparseTarget(Path);
    }
    // The volume and the file index: the same through every link.
    std::wstring FolderId(const std::wstring& Path) override
    {
        const std::wstring Long = TKivSelectionList::GetLongPathForm(FullPathOf(Path));
        TWow64Guard Redirection;
        const HANDLE Folder = ::CreateFileW(
            Long.c_str(), FILE_READ_ATTRIBUTES,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (Folder == INVALID_HANDLE_VALUE)
            return {};
        BY_HANDLE_FILE_INFORMATION Info;
        const bool Known = ::GetFileInformationByHandle(Folder, &Info) != 0;
        ::CloseHandle(Folder);
        if (!Known)
            return {};
        return std::to_wstring(Info.dwVolumeSerialNumber) + L":" +
               std::to_wstring(Info.nFileIndexHigh) + L":" + std::to_wstring(Info.nFileIndexLow);
    }
};

}  // namespace

TKivFolderSizeWorkItem::TKivFolderSizeWorkItem(const std::wstring& Path, bool IncludeSubfolders,
                                               bool FollowReparsePoints)
    : Path(Path), IncludeSubfolders(IncludeSubfolders), FollowReparsePoints(FollowReparsePoints)
{
}

void TKivFolderSizeWorkItem::Execute()
{
    DiskSizes Disk;
    TFolderSizeCounter Counter(Disk, [this] { return Cancelled(); });
    Counter.Count(Path, IncludeSubfolders, FollowReparsePoints);
    Size += Counter.Size;
    FileCount += Counter.FileCount;
    FolderCount += Counter.FolderCount;
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
