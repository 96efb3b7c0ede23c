// Item-identifier lists and special folders of the test prefix.
#include "ShellTestSupport.h"

#include "shell/KivItemIdListWin.h"
#include "shell/OvandrelWin.h"

namespace {

std::wstring Env(const wchar_t* Name)
{
    wchar_t Buffer[MAX_PATH] = {};
    ::GetEnvironmentVariableW(Name, Buffer, MAX_PATH);
    return Buffer;
}

std::wstring SystemFolder()
{
    wchar_t Buffer[MAX_PATH] = {};
    ::GetSystemDirectoryW(Buffer, MAX_PATH);
    return Buffer;
}

}  // namespace

TEST(SpecialFolders, PathsOfThePrefix)
{
    struct Case {
        TKivShellFolder Folder;
        std::wstring Path;
    } Cases[] = {
        {SF_PROGRAM_FILES, Env(L"ProgramFiles")},
        {SF_PROGRAM_FILESX86, Env(L"ProgramFiles")},
        {SF_SYSTEM, SystemFolder()},
        {SF_SYSTEMX86, SystemFolder()},
        {SF_INVALID, L""},
    };
    for (const Case& C : Cases) {
        std::wstring Path;
        GetSpecialFolderPath(C.Folder, Path);
        EXPECT_TRUE(SamePath(Path, C.Path)) << WideToAnsi(Path) << " / " << WideToAnsi(C.Path);
        const IItemIdList List = TKivItemIdList::CreateFromPath(C.Path);
        if (!C.Path.empty() && C.Folder != SF_PROGRAM_FILESX86 && C.Folder != SF_SYSTEMX86) {
            EXPECT_EQ(List->GetSpecialFolder(), C.Folder) << WideToAnsi(C.Path);
        }
    }
    EXPECT_EQ(TKivItemIdList::GetSpecialFolderList(SF_PROGRAM_FILES),
              TKivItemIdList::GetSpecialFolderList(SF_PROGRAM_FILES)) << "cached once";
    std::wstring Windows;
    GetWindowsDir(Windows);
    EXPECT_TRUE(SamePath(Windows, Env(L"windir")));
}

TEST(SpecialFolders, ListsFromPathsAndTheirItems)
{
    const IItemIdList Computer = TKivItemIdList::CreateFromPath(L"");
    EXPECT_TRUE(Computer->IsEqual(TKivItemIdList::GetSpecialFolderList(SF_DRIVES)));
    EXPECT_EQ(Computer->GetFileSystemPath(), L"");
    EXPECT_EQ(Computer->GetSpecialFolder(), SF_DRIVES);
    EXPECT_TRUE(TKivItemIdList::Create(PathToIDList(nullptr, L""), TIdListMode::Owned)
                    ->IsEqual(Computer));
    EXPECT_TRUE(TKivItemIdList::CreateFromPath(L"")->IsSpecialFolder(SF_DRIVES));
    EXPECT_FALSE(TKivItemIdList::CreateFromPath(L"C:\\")->IsSpecialFolder(SF_DRIVES));
    const IItemIdList Network = TKivItemIdList::CreateFromPath(L"\\\\");
    EXPECT_EQ(Network->IsEmpty(), TKivItemIdList::GetSpecialFolderList(SF_NETWORK)->IsEmpty());

    const IItemIdList Drive = TKivItemIdList::CreateFromPath(L"C:");
    EXPECT_TRUE(Drive->IsEqual(TKivItemIdList::CreateFromPath(L"C:\\")));
    const IItemIdList Windows = TKivItemIdList::CreateFromPath(Env(L"windir"));
    ASSERT_EQ(Windows->GetItemCount(), 3);
    struct Case {
        int First, Count;
    } Cases[] = {{0, 0}, {2, 2}, {3, 3}, {5, 3}};
    for (const Case& C : Cases)
        EXPECT_EQ(Windows->GetFirstItems(C.First)->GetItemCount(), C.Count) << C.First;
    EXPECT_TRUE(Windows->GetFirstItems(2)->IsEqual(Drive));
    EXPECT_TRUE(Drive->Combine(Windows->GetLastItem())->IsEqual(Windows));
    EXPECT_EQ(Windows->Combine(nullptr), Windows);
    EXPECT_EQ(TKivItemIdList::GetSpecialFolderList(SF_DESKTOP)->GetItemCount(), 0);
    EXPECT_FALSE(Windows->GetDisplayText().empty());
    EXPECT_FALSE(TKivItemIdList::IsInNetwork(Windows));
    EXPECT_FALSE(Windows->IsEqual(Drive));
    EXPECT_EQ(TKivItemIdList::CreateFromPath(L"Q:\\no\\such")->GetSpecialFolder(), SF_INVALID);

    TempFolder Dir(L"quorvan_ids");
    EXPECT_EQ(TKivItemIdList::CreateFromPath(Dir.Path())->GetSpecialFolder(), SF_FILESYSTEMFOLDER);
    // A borrowed or cloned object leaves the original list alone.
    PIDLIST_ABSOLUTE Raw = PathToIDList(nullptr, Env(L"windir"));
    TKivItemIdList::Create(Raw, TIdListMode::Borrowed).reset();
    const IItemIdList Clone = TKivItemIdList::Create(Raw, TIdListMode::Cloned);
    EXPECT_NE(Clone->GetIDList(), Raw);
    EXPECT_EQ(IdListItemCount(Raw), 3);
    ::CoTaskMemFree(Raw);
    EXPECT_TRUE(Clone->IsEqual(Windows));
}

TEST(SpecialFolders, MissingRoutinesFallBack)
{
    const TShellRoutines Saved = ShellRoutines;
    ShellRoutines.SHGetKnownFolderIDList = nullptr;
    EXPECT_TRUE(TKivItemIdList::GetSpecialFolderList(SF_LIBRARIES, false)->IsEmpty());
    ShellRoutines.ILCreateFromPathW = nullptr;
    ShellRoutines.ILGetNext = nullptr;
    ShellRoutines.ILClone = nullptr;
    ShellRoutines.ILCombine = nullptr;
    ShellRoutines.ILFindLastID = nullptr;
    const IItemIdList Windows = TKivItemIdList::CreateFromPath(Env(L"windir"));
    EXPECT_EQ(Windows->GetItemCount(), 3);
    EXPECT_EQ(Windows->GetFirstItems(2)->GetItemCount(), 2);
    EXPECT_TRUE(Windows->GetFirstItems(2)->Combine(Windows->GetLastItem())->IsEqual(Windows));
    ShellRoutines = Saved;
}

namespace {
PIDLIST_ABSOLUTE WithoutNetworkAndFonts(TKivShellFolder Folder)
{
    return Folder == SF_NETWORK || Folder == SF_FONTS ? nullptr : SpecialFolderIDList(Folder);
}
}  // namespace

TEST(SpecialFolders, FoldersThatDoNotResolve)
{
    // A fresh cache with the network and fonts folders missing.
    ShellLibraryShutdown();
    SetSpecialFolderSource(&WithoutNetworkAndFonts);
    ShellLibraryStartup();
    const IItemIdList Windows = TKivItemIdList::CreateFromPath(Env(L"windir"));
    EXPECT_FALSE(TKivItemIdList::IsInNetwork(Windows)) << "no network folder: nothing is in it";
    EXPECT_FALSE(TKivItemIdList::IsInNetwork(TKivItemIdList::CreateFromPath(L"\\\\")));
    EXPECT_EQ(TKivItemIdList::CreateFromPath(Env(L"ProgramFiles"))->GetSpecialFolder(),
              SF_PROGRAM_FILES) << "the unresolved ones are passed over";
    EXPECT_FALSE(Windows->IsSpecialFolder(SF_FONTS));
    ShellLibraryShutdown();
    SetSpecialFolderSource(nullptr);
    ShellLibraryStartup();
}
