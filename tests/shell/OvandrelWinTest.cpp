// Path routines on the disk, the folder component, the path list and the
// icon queries under Wine.
#include "ShellTestSupport.h"

#include "shell/OvandrelWin.h"

#include <algorithm>

#include <tlhelp32.h>

TEST(PathRoutines, DiskProbes)
{
    TempFolder Dir(L"quorvan_probe");
    WriteFileW(Dir.Path() + L"one.txt", "abc");
    struct Case {
        std::wstring Path;
        bool Exists;
        std::int64_t Size;
    } Cases[] = {
        {Dir.Path() + L"one.txt", true, 3},
        {Dir.Path(), true, 0},
        {Dir.Path() + L"none.txt", false, -1},
        {Dir.Path() + L"*.txt", false, -1},
        {Dir.Path() + L"one.tx?", false, -1},
        {Dir.Path() + L"one.tx>", false, -1},
        {L"C:\\", true, -1},
        {L"Q:\\", false, -1},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(PathExists(C.Path), C.Exists) << WideToAnsi(C.Path);
        if (C.Size != 0) {
            EXPECT_EQ(GetFindFileSize(C.Path), C.Size) << WideToAnsi(C.Path);
        }
    }
    EXPECT_TRUE(IsDriveReady(L"C:\\Windows"));
    EXPECT_TRUE(IsNetworkPath(L"\\\\srv\\share\\x"));
    EXPECT_FALSE(IsNetworkPath(L"C:\\x"));
    EXPECT_FALSE(IsWow64());
}

TEST(PathRoutines, PlaceholdersAndShortcutTargets)
{
    wchar_t Windir[MAX_PATH];
    ::GetEnvironmentVariableW(L"windir", Windir, MAX_PATH);
    const std::wstring Date = ExpandPathPlaceholders(L"%date%|%TIME%");
    ASSERT_EQ(Date.size(), 19u) << WideToAnsi(Date);
    EXPECT_EQ(Date[4], L'-');
    EXPECT_EQ(Date[13], L'-');
    EXPECT_EQ(ExpandPathPlaceholders(L"%windir%\\x"), std::wstring(Windir) + L"\\x");
    EXPECT_EQ(ExpandPathPlaceholders(L"plain text"), L"plain text");
    std::wstring Docs;
    GetSpecialFolderPath(SF_PERSONAL, Docs);
    EXPECT_EQ(ExpandPathPlaceholders(L"%MyDocuments%"), Docs);

    TempFolder Dir(L"quorvan_target");
    ASSERT_TRUE(WriteShortcut(Dir.Path() + L"w.lnk", Windir));
    std::wstring Target;
    GetLinkTargetPath(Dir.Path() + L"w.lnk", Target);
    EXPECT_TRUE(SamePath(Target, Windir));
}

namespace {
BOOL WINAPI ReportsWow64(HANDLE, PBOOL Wow64)
{
    *Wow64 = TRUE;
    return TRUE;
}
}  // namespace

TEST(PathRoutines, ShortcutIntoThe32BitFolderFindsTheNativeProgram)
{
    // A fresh start forgets the program-files pair of earlier tests.
    ShellLibraryShutdown();
    ShellLibraryStartup();
    TempFolder Native(L"quorvan_native");
    ::CreateDirectoryW((Native.Path() + L"Emu").c_str(), nullptr);
    WriteFileW(Native.Path() + L"Emu\\emu.exe", "x");
    ::SetEnvironmentVariableW(L"ProgramW6432", Native.Path().substr(0, Native.Path().size() - 1).c_str());
    std::wstring Programs;
    GetSpecialFolderPath(SF_PROGRAM_FILESX86, Programs);
    struct Case {
        std::wstring Target;
        std::wstring Expected;
    } Cases[] = {
        {Programs + L"\\Emu\\emu.exe", Native.Path() + L"Emu\\emu.exe"},
        {Programs + L"\\Emu\\none.exe", Programs + L"\\Emu\\none.exe"},
    };
    const TShellRoutines Saved = ShellRoutines;
    ShellRoutines.IsWow64Process = &ReportsWow64;
    for (const Case& C : Cases) {
        ASSERT_TRUE(WriteShortcut(Native.Path() + L"t.lnk", C.Target));
        std::wstring Target;
        GetLinkTargetPath(Native.Path() + L"t.lnk", Target);
        EXPECT_TRUE(SamePath(Target, C.Expected)) << WideToAnsi(Target);
    }
    ShellRoutines = Saved;
    ::SetEnvironmentVariableW(L"ProgramW6432", nullptr);
}

TEST(FolderComponent, WalkWithFilter)
{
    TempFolder Dir(L"quorvan_walk");
    for (const wchar_t* Name : {L"a.exe", L"b.COM", L"c.txt", L"noext"})
        WriteFileW(Dir.Path() + Name, "x");
    ::CreateDirectoryW((Dir.Path() + L"sub.txt").c_str(), nullptr);
    // Stands for a compressed folder: a file to a file-system-only walk.
    ::CreateDirectoryW((Dir.Path() + L"arc.zip").c_str(), nullptr);
    struct Case {
        const wchar_t* Filter;
        bool FileSystemOnly;
        const wchar_t* ReadBack;
        std::vector<std::wstring> Names;
    } Cases[] = {
        {L"*.exe;*.com", false, L"*.exe;*.com", {L"a.exe", L"arc.zip", L"b.COM", L"sub.txt"}},
        {L"*.exe;*.com", true, L"*.exe;*.com", {L"a.exe", L"b.COM", L"sub.txt"}},
        {L"*.zip", true, L"*.zip", {L"arc.zip", L"sub.txt"}},
        {L"*", false, L"*", {L"a.exe", L"arc.zip", L"b.COM", L"c.txt", L"noext", L"sub.txt"}},
        {L"", false, L"*", {L"a.exe", L"arc.zip", L"b.COM", L"c.txt", L"noext", L"sub.txt"}},
        {L"*.", false, L"*.", {L"arc.zip", L"noext", L"sub.txt"}},
    };
    for (const Case& C : Cases) {
        TOvandrel Folder(nullptr);
        Folder.FileSystemOnly = C.FileSystemOnly;
        Folder.SetFolder(Dir.Path());
        EXPECT_TRUE(SamePath(Folder.Folder(), Dir.Path()));
        Folder.SetFilter(C.Filter);
        EXPECT_EQ(Folder.Filter(), C.ReadBack);
        std::vector<std::wstring> Names;
        while (Folder.NextObject())
            Names.push_back(Folder.ObjectPath());
        std::sort(Names.begin(), Names.end());
        EXPECT_EQ(Names, C.Names) << WideToAnsi(C.Filter);
    }
    TOvandrel Item(nullptr);
    Item.SetObjectIDList(TKivItemIdList::CreateFromPath(Dir.Path() + L"c.txt"));
    EXPECT_TRUE(SamePath(Item.Folder(), Dir.Path()));
    EXPECT_EQ(Item.ObjectPath(), L"c.txt");
    EXPECT_FALSE(Item.IsFolderObject());
    EXPECT_EQ(TOvandrel::Version(), "TOvandrel V8.1.0.648");
}

TEST(FolderComponent, ErrorTexts)
{
    TOvandrel Folder(nullptr);
    std::string Message;
    try {
        std::wstring Name;
        Folder.ObjectName(true, Name);
    } catch (const EInvalidOperation& E) {
        Message = E.what();
    }
    EXPECT_EQ(Message, "No valid folder is currently assigned");
    try {
        Folder.SetFolder(L"Q:\\no\\such");
    } catch (const EOvandrelError& E) {
        Message = E.what();
    }
    EXPECT_EQ(Message, SysErrorText(ERROR_PATH_NOT_FOUND) + "\r\nQ:\\no\\such");
    EXPECT_EQ(Folder.SpecialFolder(), SF_DRIVES) << "left on the computer folder";
    TempFolder Dir(L"quorvan_bind");
    WriteFileW(Dir.Path() + L"f.txt", "x");
    Message.clear();
    try {
        Folder.SetFolderIDList(TKivItemIdList::CreateFromPath(Dir.Path() + L"f.txt"));
    } catch (const EOvandrelError& E) {
        Message = E.what();
    }
    EXPECT_EQ(Message.rfind("TOvandrel.SetFolderIDList: Could not get IShellFolder interface. (", 0),
              0u) << Message;
}

TEST(PathList, NormalFormAndRefusal)
{
    TempFolder Dir(L"quorvan_list");
    TKivPathList List;
    std::vector<int> Added;
    List.OnAdded = [&Added](const std::wstring&, int Index) { Added.push_back(Index); };
    List.CheckExists = true;
    struct Case {
        std::wstring Path;
        int Index;
        std::wstring Stored;
    } Cases[] = {
        {L"C:", 0, L"C:\\"},
        {Dir.Path(), 1, Dir.Path().substr(0, Dir.Path().size() - 1)},
        {Dir.Path() + L"missing", -1, L""},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(List.Add(C.Path), C.Index) << WideToAnsi(C.Path);
        if (C.Index >= 0) {
            EXPECT_EQ(List[C.Index], C.Stored);
        }
    }
    EXPECT_EQ(Added, (std::vector<int>{0, 1}));
    EXPECT_FALSE(List.HasNetworkPaths);
}

TEST(SystemImageList, IconIndexes)
{
    TKivSystemImageList Images(nullptr);
    ASSERT_NE(Images.Handle(), nullptr);
    const int Exe = Images.GetExtensionIconIndex(L".exe", si_small, false);
    const int Txt = Images.GetExtensionIconIndex(L"txt", si_small, false);
    const int Open = Images.GetFolderIconIndex(true);
    const int Closed = Images.GetFolderIconIndex(false);
    struct Case {
        std::wstring Path;
        int Index;
    } Cases[] = {
        {L"C:\\no\\such.exe", Exe},
        {L"C:\\no\\such\\", Closed},
        {L"\\\\nosrv\\share\\dir\\file.txt", Txt},
        {L"\\\\nosrv\\share", Closed},
    };
    EXPECT_GE(Exe, 0);
    EXPECT_EQ(Images.GetExtensionIconIndex(L"exe", si_small, false), Exe);
    for (const Case& C : Cases)
        EXPECT_EQ(Images.GetFileIconIndex(C.Path, si_small, false), C.Index) << WideToAnsi(C.Path);
    EXPECT_EQ(Images.GetFolderIconIndex(true), Open);
    EXPECT_EQ(Images.GetFileIconIndex(GetTempDir(), si_small, false), Closed);
    EXPECT_GE(Images.GetSpecialFolderIconIndex(SF_DRIVES), 0);

    const int Count = ::ImageList_GetImageCount(Images.Handle());
    const HIMAGELIST Shared = Images.Handle();
    Images.SetShareImages(false);
    EXPECT_NE(Images.Handle(), Shared);
    EXPECT_EQ(::ImageList_GetImageCount(Images.Handle()), Count);
    Images.SetShareImages(true);
    EXPECT_EQ(Images.Handle(), Shared);
    EXPECT_GT(::ImageList_GetImageCount(Shared), 0) << "the shared list is never destroyed";

    // Before Vista the jumbo size falls back to the large list.
    const bool Vista = IsVistaOrLater;
    IsVistaOrLater = false;
    Images.SetSize(si_large);
    const HIMAGELIST Large = Images.Handle();
    Images.SetSize(si_jumbo);
    EXPECT_EQ(Images.Handle(), Large);
    IsVistaOrLater = Vista;
    Images.SetSize(si_small);
    EXPECT_EQ(Images.Handle(), Shared);
}

namespace {
// The system's first ask, as slow as Wine's.
HRESULT WINAPI SlowImageList(int, REFIID, void** List)
{
    ::Sleep(150);
    *List = nullptr;
    return E_FAIL;
}
}  // namespace

// The image lists asked for on a thread: asked twice, one thread; the
// library's end waits for it, so it never asks a shell that is gone.
TEST(SystemImageList, APrefetchStillRunningIsWaitedForAtShutdown)
{
    ShellLibraryShutdown();
    ShellLibraryStartup();
    const auto Threads = [] {
        HANDLE Snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        THREADENTRY32 T = {};
        T.dwSize = sizeof(T);
        int N = 0;
        for (BOOL More = ::Thread32First(Snap, &T); More; More = ::Thread32Next(Snap, &T))
            N += T.th32OwnerProcessID == ::GetCurrentProcessId();
        ::CloseHandle(Snap);
        return N;
    };
    const int Before = Threads();
    ShellRoutines.SHGetImageList = &SlowImageList;
    StartSystemImageListPrefetch();
    StartSystemImageListPrefetch();
    EXPECT_EQ(Threads(), Before + 1);
    ShellLibraryShutdown();
    EXPECT_EQ(Threads(), Before);
    ShellLibraryStartup();
    EXPECT_NE(TKivSystemImageList(nullptr).Handle(), nullptr);
}
