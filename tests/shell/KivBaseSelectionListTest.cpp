#include "shell/KivBaseSelectionList.h"

#include "shell/KivSelectionList.h"
#include "shell/Ovandrel.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

using PathList = std::vector<std::wstring>;

// C:\data\{a.txt 10, b.txt 20, sub\c.txt 40}, C:\other\x.txt 80,
// C:\e\{f.txt 160, empty\}.
struct FakeDisk : ISelectionFileSystem {
    std::map<std::wstring, std::int64_t> Files = {{L"C:\\data\\a.txt", 10},
                                                  {L"C:\\data\\b.txt", 20},
                                                  {L"C:\\data\\sub\\c.txt", 40},
                                                  {L"C:\\other\\x.txt", 80},
                                                  {L"C:\\e\\f.txt", 160}};
    std::set<std::wstring> Folders = {L"C:\\data", L"C:\\data\\sub", L"C:\\other", L"C:\\e",
                                      L"C:\\e\\empty"};

    bool IsFile(const std::wstring& P) override { return Files.count(P) > 0; }
    bool IsFolder(const std::wstring& P) override
    {
        return IsDriveRoot(P) || Folders.count(ExcludeTrailingBackslash(P)) > 0;
    }
    bool Exists(const std::wstring& P) override { return IsFile(P) || IsFolder(P); }
    bool ListFolder(const std::wstring& Folder, std::vector<TSelectionEntry>& Entries) override
    {
        if (!IsFolder(Folder))
            return false;
        const std::wstring Prefix = IncludeTrailingBackslash(Folder);
        for (const auto& F : Files)
            if (ParentFolderOf(F.first) == Prefix)
                Entries.push_back({F.first.substr(Prefix.size()), false});
        for (const auto& D : Folders)
            if (ParentFolderOf(D) == Prefix)
                Entries.push_back({D.substr(Prefix.size()), true});
        return true;
    }
    std::int64_t FileSize(const std::wstring& P) override
    {
        return Files.count(P) ? Files[P] : -1;
    }
    bool IsDriveReady(const std::wstring&) override { return true; }
    std::wstring LinkTarget(const std::wstring&) override { return {}; }
};

// Counts sizes at once from the fake disk.
struct TestList : TKivBaseSelectionList {
    explicit TestList(FakeDisk& D) : TKivBaseSelectionList(D), Disk(D) {}
    void StartFolderSize(const std::wstring& Path, bool Subtract) override
    {
        Started.push_back((Subtract ? L"-" : L"+") + Path);
        std::int64_t Size = 0;
        int Files = 0, Folders = Disk.IsFolder(Path) ? 1 : 0;
        for (const auto& F : Disk.Files)
            if (F.first == Path || IsPathBelow(Path, F.first)) {
                Size += F.second;
                ++Files;
            }
        for (const auto& D : Disk.Folders)
            Folders += IsPathBelow(Path, D) ? 1 : 0;
        FolderSizeCompleted(false, Subtract ? -1 : 1, Size, Files, Folders);
    }
    void CancelSizeItems() override { ++Cancels; }
    FakeDisk& Disk;
    PathList Started;
    int Cancels = 0;
};

TEST(SelectionList, AddingConsolidatesCompleteFolders)
{
    struct Case {
        PathList Add;
        PathList Want;
        std::int64_t Size;
    } Cases[] = {
        {{L"C:\\data\\a.txt", L"C:\\data\\b.txt"}, {L"C:\\data\\a.txt", L"C:\\data\\b.txt"}, 30},
        {{L"C:\\data\\a.txt", L"C:\\data\\b.txt", L"C:\\data\\sub"}, {L"C:\\data\\*"}, 70},
        {{L"C:\\data\\sub\\c.txt"}, {L"C:\\data\\sub\\*"}, 40},
        {{L"C:\\data", L"C:\\data\\a.txt"}, {L"C:\\data\\*"}, 70},  // already selected
        {{L"C:\\data\\a.txt", L"C:\\data\\"}, {L"C:\\data\\*"}, 70},  // replaces its members
        {{L"C:\\e\\f.txt"}, {L"C:\\e\\f.txt"}, 160},  // an empty folder is never complete
        {{L"C:\\missing.txt", L""}, {}, 0},
    };
    for (const Case& C : Cases) {
        FakeDisk D;
        TestList L(D);
        int Invalid = 0;
        L.OnInvalidPath = [&](TKivBaseSelectionList&, const std::wstring&) { ++Invalid; };
        for (const std::wstring& P : C.Add)
            L.Add(P);
        EXPECT_EQ(C.Want, L.Paths()) << C.Add.size();
        EXPECT_EQ(C.Size, L.TotalSize) << C.Add.size();
        EXPECT_EQ(C.Want.empty() ? 1 : 0, Invalid);
    }
}

TEST(SelectionList, InvalidPathsAreReportedAsGivenAndKeptOnlyOnRequest)
{
    struct Case {
        std::wstring Add;
        bool Skip;
        PathList Want;
        int Files;
    } Cases[] = {
        {L"C:\\missing\\*", true, {}, 0},
        {L"C:\\missing\\*", false, {L"C:\\missing\\*"}, 0},
        {L"C:\\missing.txt", false, {L"C:\\missing.txt"}, 1},
    };
    for (const Case& C : Cases) {
        FakeDisk D;
        TestList L(D);
        L.SkipInvalidPaths = C.Skip;
        PathList Reported;
        L.OnInvalidPath = [&](TKivBaseSelectionList&, const std::wstring& P) { Reported.push_back(P); };
        L.Add(C.Add);
        EXPECT_EQ(PathList{C.Add}, Reported);
        EXPECT_EQ(C.Want, L.Paths()) << C.Add;
        EXPECT_EQ(C.Files, L.FileCount) << C.Add;
        EXPECT_EQ(0, L.TotalSize) << C.Add;
    }
}

TEST(SelectionList, RemovingExpandsSelectedFolders)
{
    struct Case {
        PathList Start;
        std::wstring Remove;
        PathList Want;
        std::int64_t Size;
    } Cases[] = {
        {{L"C:\\data\\*"}, L"C:\\data\\a.txt", {L"C:\\data\\b.txt", L"C:\\data\\sub\\*"}, 60},
        {{L"C:\\data\\*"}, L"C:\\data\\sub\\c.txt", {L"C:\\data\\a.txt", L"C:\\data\\b.txt"}, 30},
        {{L"C:\\data\\*"}, L"C:\\data\\sub\\", {L"C:\\data\\a.txt", L"C:\\data\\b.txt"}, 30},
        {{L"C:\\data\\a.txt", L"C:\\data\\b.txt"}, L"C:\\data\\a.txt", {L"C:\\data\\b.txt"}, 20},
        {{L"C:\\data\\a.txt", L"C:\\other\\*"}, L"C:\\data", {L"C:\\other\\*"}, 80},
        {{L"C:\\data\\a.txt"}, L"C:\\other", {L"C:\\data\\a.txt"}, 10},
        {{L"C:\\data\\a.txt"}, L"C:\\data\\a.txt", {}, 0},
    };
    for (const Case& C : Cases) {
        FakeDisk D;
        TestList L(D);
        L.SetPaths(C.Start);
        ASSERT_EQ(C.Start, L.Paths());
        L.Remove(C.Remove);
        EXPECT_EQ(C.Want, L.Paths()) << C.Remove;
        EXPECT_EQ(C.Size, L.TotalSize) << C.Remove;
    }
}

TEST(SelectionList, StatesRenameAndClear)
{
    FakeDisk D;
    TestList L(D);
    L.Add(L"C:\\data\\sub");
    L.Add(L"C:\\other\\x.txt");
    struct Case {
        std::wstring Path;
        std::uint8_t State;
        bool Inherited;
    } Cases[] = {
        {L"C:\\data", psPartlySelected, false},  {L"C:\\data\\sub", psSelected, false},
        {L"C:\\data\\sub\\c.txt", psSelected, true}, {L"C:\\data\\a.txt", psNotSelected, false},
        {L"C:\\missing", psInvalid, false},       {L"", psInvalid, false},
        {L"C:\\", psPartlySelected, false},
    };
    for (const Case& C : Cases) {
        bool Inherited = !C.Inherited;
        EXPECT_EQ(C.State, L.GetPathState(C.Path, Inherited)) << C.Path;
        EXPECT_EQ(C.Inherited, Inherited) << C.Path;
    }
    L.RenamePath(L"C:\\data", L"C:\\moved");
    EXPECT_EQ((PathList{L"C:\\moved\\sub\\*", L"C:\\other\\*"}), L.Paths());
    L.Started.clear();
    L.Clear();
    EXPECT_TRUE(L.Paths().empty());
    EXPECT_EQ((PathList{L"-C:\\moved\\sub", L"-C:\\other"}), L.Started);
    EXPECT_EQ(0, L.FolderCount);
}

}  // namespace
