#include "shell/GlobalWorkerPool.h"
#include "shell/KivSelectionListWin.h"
#include "shell/KivWorkItemsWin.h"
#include "shell/ShellLink.h"
#include "shell/UnitGlobals.h"

#include "components/UlaPalette.h"

#include "toolkit/Application.h"
#include "toolkit/Synchronize.h"

#include "Win32TestSupport.h"
#include "shell/PlainWalk.h"
#include "shell/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <new>
#include <thread>
#include <vector>
#include <string>

namespace {

const auto* const ShellEnvironment = ::testing::AddGlobalTestEnvironment(new ShellLibraryEnvironment);

std::string Narrow(const std::wstring& W)
{
    return std::string(W.begin(), W.end());
}

// Levels of 4 folders, each with Files files of growing sizes.
void MakeTree(const std::wstring& Root, int Levels, int Files)
{
    static const std::string Text(700, 'x');
    for (int F = 0; F < Files; ++F)
        WriteFileW(Root + L"f" + std::to_wstring(F) + L".bin", Text.substr(0, 7 * F).c_str());
    if (Levels == 0)
        return;
    for (int D = 0; D < 4; ++D) {
        const std::wstring Sub = Root + L"d" + std::to_wstring(D) + L"\\";
        ::CreateDirectoryW(Sub.c_str(), nullptr);
        MakeTree(Sub, Levels - 1, Files);
    }
}

class SelectionWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        CreateUnitGlobals();
        MakeTree(Tree.Path(), 2, 12);
    }
    void TearDown() override { FreeUnitGlobals(); }
    TApplication App;
    TempFolder Tree{L"quorvan-sizes"};
    // Else, in an empty temporary folder, the list would take that folder
    // for the tree as its only member.
    TempFolder Neighbour{L"quorvan-sizes-neighbour"};
};

TEST_F(SelectionWinTest, StartUpMakesThePoolThePaletteAndTheKeywords)
{
    ASSERT_NE(nullptr, GlobalWorkerPool);
    EXPECT_EQ(4 * GetProcessorCount(), GlobalWorkerPool->MinThreads());
    EXPECT_EQ(8 * GetProcessorCount(), GlobalWorkerPool->MaxThreads());
    EXPECT_EQ(0, GlobalWorkerPool->Count());  // no work, no worker
    ASSERT_NE(nullptr, ULAColorPalette);
    ASSERT_NE(nullptr, KeywordList);
    EXPECT_FALSE(KeywordList->empty());
}

TEST_F(SelectionWinTest, FolderSizesEqualAPlainWalk)
{
    const std::wstring Root = Tree.Path().substr(0, Tree.Path().size() - 1);
    TPlainCounts Whole, Sub, One;
    PlainWalk(Narrow(Root), Whole);
    PlainWalk(Narrow(Root + L"\\d2"), Sub);
    One.Size = 7 * 5;
    One.Files = 1;
    struct Case {
        std::wstring Path;
        bool Subfolders;
        TPlainCounts Want;
        bool FollowLinks = false;  // every folder is then told apart from the others
    } Cases[] = {
        {Root, true, Whole},
        {Root, true, Whole, true},
        {Root + L"\\d2\\", true, Sub},
        {Root + L"\\f5.bin", true, One},
        {Root, false, TPlainCounts{0, 0, 1}},
        {Root + L"\\none", true, TPlainCounts{}},
    };
    for (const Case& C : Cases) {
        TKivFolderSizeWorkItem Item(C.Path, C.Subfolders, C.FollowLinks);
        Item.Execute();
        EXPECT_EQ(C.Want.Size, Item.Size) << Narrow(C.Path);
        EXPECT_EQ(C.Want.Files, Item.FileCount) << Narrow(C.Path);
        EXPECT_EQ(C.Want.Folders, Item.FolderCount) << Narrow(C.Path);
    }
    EXPECT_EQ(21 * 12, Whole.Files);

    // The same through a selection list and the pool.
    TKivSelectionList List(nullptr);
    int Done = 0;
    List.OnCompletedCalculateFiles = [&](TKivBaseSelectionList&) { ++Done; };
    List.Add(Root);
    ASSERT_TRUE(PumpUntil([&] { return Done > 0 && GlobalWorkerPool->PendingCount() == 0; }, 10000));
    EXPECT_EQ(Whole.Size, List.TotalSize);
    EXPECT_EQ(Whole.Files, List.FileCount);
    EXPECT_EQ(Whole.Folders, List.FolderCount);
    // Deselecting a member subtracts just that member.
    List.Remove(Root + L"\\d2");
    ASSERT_TRUE(PumpUntil([&] { return GlobalWorkerPool->PendingCount() == 0; }, 10000));
    CheckSynchronize();
    EXPECT_EQ(Whole.Size - Sub.Size, List.TotalSize);
    EXPECT_EQ(Whole.Files - Sub.Files, List.FileCount);
}

TEST_F(SelectionWinTest, AListFreedWhileItsSizeItemRunsGetsNoCompletion)
{
    const std::wstring Root = Tree.Path().substr(0, Tree.Path().size() - 1);
    int Late = 0;
    // Freed memory is overwritten, so a late completion would crash.
    alignas(TKivSelectionList) static unsigned char Memory[sizeof(TKivSelectionList)];
    auto* List = new (Memory) TKivSelectionList(nullptr);
    List->OnCompletedCalculateFiles = [&](TKivBaseSelectionList&) { ++Late; };
    List->Add(Root);
    Late = 0;
    // Taken by a worker; nothing is pumped, so its completion waits for us.
    for (int I = 0; I < 500 && GlobalWorkerPool->WorkItemCount() > 0; ++I)
        ::Sleep(10);
    ::Sleep(200);
    List->~TKivSelectionList();
    for (std::size_t I = 0; I < sizeof Memory; ++I)
        Memory[I] = static_cast<unsigned char>(0x11 * I + 1);
    ASSERT_TRUE(PumpUntil([] { return GlobalWorkerPool->PendingCount() == 0; }, 10000));
    CheckSynchronize();
    EXPECT_EQ(0, Late);
}

// Keeps its size items for the test to run as a worker would.
struct HeldItemsList : TKivSelectionList {
    using TKivSelectionList::TKivSelectionList;
    std::vector<std::shared_ptr<TKivFolderSizeWorkItem>> Held;

protected:
    void QueueSizeItem(const std::shared_ptr<TKivFolderSizeWorkItem>& Item) override
    {
        Held.push_back(Item);
    }
};

TEST_F(SelectionWinTest, ACompletionFromAPausedWorkerCountsUnlessCancelled)
{
    const std::wstring Root = Tree.Path().substr(0, Tree.Path().size() - 1);
    TPlainCounts Whole;
    PlainWalk(Narrow(Root), Whole);
    struct Case {
        bool Cancel;
        TPlainCounts Want;
    } Cases[] = {{false, Whole}, {true, TPlainCounts{}}};
    for (const Case& C : Cases) {
        HeldItemsList List(nullptr);
        List.Add(Root);
        ASSERT_EQ(1u, List.Held.size());
        const std::shared_ptr<TKivFolderSizeWorkItem> Item = List.Held[0];
        // The worker was paused while it ran the item.
        Item->SetPaused(true);
        Item->Execute();
        if (C.Cancel)
            Item->Cancel();
        // Should the completion wait for a resumption, this ends the wait
        // with a cancel, and the totals stay 0.
        const HANDLE Done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        std::thread Watchdog([&] {
            if (::WaitForSingleObject(Done, 3000) == WAIT_TIMEOUT)
                Item->Cancel();
        });
        Item->GetSyncMethod()();
        ::SetEvent(Done);
        Watchdog.join();
        ::CloseHandle(Done);
        EXPECT_EQ(C.Want.Size, List.TotalSize) << C.Cancel;
        EXPECT_EQ(C.Want.Files, List.FileCount) << C.Cancel;
        EXPECT_EQ(C.Want.Folders, List.FolderCount) << C.Cancel;
    }
}

struct Control : IKivShellControl {
    void SetShellLink(TKivShellLink* L) override { Link = L; }
    void ChangeNotify(std::uint8_t Code, const IItemIdList&) override { Codes.push_back(Code); }
    TKivShellLink* Link = reinterpret_cast<TKivShellLink*>(1);
    std::vector<int> Codes;
};

TEST_F(SelectionWinTest, ShellLinkPassesChangesToTheOtherControls)
{
    TApplication Owner;
    auto* Link = new TKivShellLink(&Owner);
    auto A = std::make_shared<Control>(), B = std::make_shared<Control>();
    Link->AddControl(A);
    Link->AddControl(B);
    struct Case {
        bool Enabled;
        IKivShellControl* Sender;
        std::vector<int> A, B;
    } Cases[] = {
        {true, nullptr, {5}, {5}},
        {true, A.get(), {}, {5}},
        {false, nullptr, {}, {}},
    };
    for (const Case& C : Cases) {
        A->Codes.clear();
        B->Codes.clear();
        Link->SetEnabled(C.Enabled);
        Link->NotifyControls(C.Sender, 5, nullptr);
        EXPECT_EQ(C.A, A->Codes);
        EXPECT_EQ(C.B, B->Codes);
    }
    EXPECT_EQ("TKivShellLink V8.1.0.648", Link->Version());
    // The slot past the end still holds the control removed last.
    auto Gone = std::make_shared<Control>();
    Link->AddControl(Gone);
    Link->RemoveControl(Gone.get());
    const std::pair<int, IKivShellControl*> Indexed[] = {
        {0, A.get()}, {1, B.get()}, {2, nullptr}, {-1, nullptr}};
    for (const auto& [Index, Expected] : Indexed)
        EXPECT_EQ(Expected, Link->GetControl(Index).get()) << Index;

    // The link's own selection list reports its changes with code 2.
    Link->SetEnabled(true);
    A->Codes.clear();
    Link->SelectionList()->Add(Tree.Path() + L"f3.bin");
    EXPECT_EQ(std::vector<int>{2}, A->Codes);
    delete Link;
    EXPECT_EQ(nullptr, A->Link);
    EXPECT_EQ(nullptr, B->Link);
}

}  // namespace
