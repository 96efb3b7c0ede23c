#include "shell/KivSelectionListWin.h"

#include "shell/GlobalWorkerPool.h"
#include "shell/KivItemIdListWin.h"
#include "shell/KivWorkItemsWin.h"
#include "shell/Ovandrel.h"
#include "shell/OvandrelWin.h"
#include "shell/ShellLink.h"
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

// ------------------------------------------------------------ the list

namespace {

class Win32SelectionFileSystem : public ISelectionFileSystem {
public:
    bool IsFile(const std::wstring& Path) override { return TKivSelectionList::IsFile(Path); }
    bool IsFolder(const std::wstring& Path) override { return TKivSelectionList::IsFolder(Path); }
    bool Exists(const std::wstring& Path) override
    {
        WIN32_FIND_DATAW Data;
        return FindEntry(Path, Data);
    }
    bool ListFolder(const std::wstring& Folder, std::vector<TSelectionEntry>& Entries) override
    {
        WIN32_FIND_DATAW Data;
        const HANDLE Find = TKivSelectionList::FindFirstFileLong(Folder + L"\\*", Data);
        if (Find == INVALID_HANDLE_VALUE)
            return false;
        do
            if (!TKivSelectionList::IsDotEntry(Data.cFileName))
                Entries.push_back(
                    {Data.cFileName, (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
        while (::FindNextFileW(Find, &Data));
        ::FindClose(Find);
        return true;
    }
    std::int64_t FileSize(const std::wstring& Path) override { return GetFindFileSize(Path); }
    bool IsDriveReady(const std::wstring& Root) override { return ::IsDriveReady(Root); }
    std::wstring LinkTarget(const std::wstring& LinkFile) override
    {
        std::wstring Target;
        GetLinkTargetPath(LinkFile, Target);
        return Target;
    }
};

ISelectionFileSystem& DiskFileSystem()
{
    static Win32SelectionFileSystem Disk;
    return Disk;
}

}  // namespace

TKivSelectionList::TKivSelectionList(Component* Owner)
    : Component(Owner), TKivBaseSelectionList(DiskFileSystem())
{
}

TKivSelectionList::~TKivSelectionList()
{
    Destroying = true;
    CancelCalculation();
}

void TKivSelectionList::Changed(const std::wstring& Path)
{
    TKivBaseSelectionList::Changed(Path);
    auto* Link = dynamic_cast<TKivShellLink*>(Owner());
    if (!Link || SuppressLinkNotify)
        return;
    // The shell cannot parse a folder entry's "*".
    const std::wstring Plain =
        !Path.empty() && Path.back() == L'*' ? ExcludeTrailingBackslash(Path.substr(0, Path.size() - 1))
                                             : Path;
    Link->NotifyControls(nullptr, 2, Plain.empty() ? nullptr : TKivItemIdList::CreateFromPath(Plain));
}

void TKivSelectionList::StartFolderSize(const std::wstring& Path, bool Subtract)
{
    auto Item = std::make_shared<TKivFolderSizeWorkItem>(Path, true, FollowReparsePoints);
    Item->Sign = Subtract ? -1 : 1;
    Item->Key2 = static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(this));
    TKivFolderSizeWorkItem* Raw = Item.get();
    Item->SetOnCompleted([this, Raw](TBasicWorkItem&) { SizeItemCompleted(Raw); });
    FSizeItems.push_back(Item);
    QueueSizeItem(Item);
}

void TKivSelectionList::QueueSizeItem(const std::shared_ptr<TKivFolderSizeWorkItem>& Item)
{
    if (GlobalWorkerPool) {
        GlobalWorkerPool->AddWorkItem(Item);
    } else {
        // Without the pool (start-up has not run): counted here and now.
        Item->Execute();
        SizeItemCompleted(Item.get());
    }
}

void TKivSelectionList::SizeItemCompleted(TKivFolderSizeWorkItem* Item)
{
    // Keeps the item while its results are read.
    std::shared_ptr<TKivFolderSizeWorkItem> Held;
    for (auto It = FSizeItems.begin(); It != FSizeItems.end(); ++It)
        if (It->get() == Item) {
            Held = *It;
            FSizeItems.erase(It);
            break;
        }
    if (!Held)
        return;
    // A paused item is done all the same; waiting for its resumption here
    // would hold the thread that could resume it.
    FolderSizeCompleted(Item->Cancelled(), Item->Sign, Item->Size, Item->FileCount,
                        Item->FolderCount);
}

void TKivSelectionList::CancelSizeItems()
{
    // A cancelled item still running may finish before it sees its flag:
    // without its completion it cannot reach this list any more.
    for (const auto& Item : FSizeItems)
        Item->SetOnCompleted(nullptr);
    FSizeItems.clear();
    if (GlobalWorkerPool) {
        TWorkItemFilter Mine;
        Mine.Key2 = static_cast<std::int64_t>(reinterpret_cast<std::intptr_t>(this));
        GlobalWorkerPool->CancelWorkItems(Mine);
    }
}
