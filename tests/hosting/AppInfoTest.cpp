#include "hosting/AppInfo.h"

#include "hosting/FakeDesktop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace {

class FakeTimer : public IIntervalTimer {
public:
    bool On = true;
    unsigned Ms = 0;
    int IntervalWrites = 0;
    bool Enabled() const override { return On; }
    void SetEnabled(bool E) override { On = E; }
    unsigned Interval() const override { return Ms; }
    void SetInterval(unsigned I) override
    {
        Ms = I;
        ++IntervalWrites;
    }
};

class AppInfoTest : public ::testing::Test {
protected:
    AppInfoTest()
    {
        Desktop.Modules[7] = {"C:\\Apps\\main.exe"};
        Desktop.Modules[8] = {"C:\\Apps\\other.exe"};
    }
    std::unique_ptr<TAppInfo> Make()
    {
        auto T = std::make_unique<FakeTimer>();
        Timer = T.get();
        return std::make_unique<TAppInfo>(Desktop, std::move(T));
    }
    void Pass(TAppInfo& Info, TWindowHandle Parent = NoParentWindow)
    {
        Info.UpdateList(Parent, true, true, true, true);
    }
    static TWindowItem* Find(TAppInfo& Info, TWindowHandle W)
    {
        for (int I = 0; I < Info.Windows.Count(); ++I)
            if (Info.Windows.Items(I)->Handle == W)
                return Info.Windows.Items(I);
        return nullptr;
    }
    FakeDesktop Desktop;
    FakeTimer* Timer = nullptr;
};

// Every row of the state table of one pass: the state before, what the
// pass sees, the state the after-update handler sees, and whether the
// record survives the purge.
TEST_F(AppInfoTest, EveryStateTransitionOfOnePass)
{
    enum Seen { Same, OtherTitle, TitleCase, ClassCase, Vanished };
    const int NoRecord = -1;
    struct Case {
        int Before;
        Seen What;
        std::uint8_t During;
        bool Kept;
    };
    std::vector<Case> Cases = {{NoRecord, Same, wisNew, true}};
    for (int B : {wisUnchanged, wisChanged, wisNew, wisGone}) {
        Cases.push_back({B, Same, wisUnchanged, true});
        Cases.push_back({B, TitleCase, wisUnchanged, true});
        Cases.push_back({B, OtherTitle, wisChanged, true});
        Cases.push_back({B, ClassCase, wisChanged, true});
        Cases.push_back({B, Vanished, wisGone, false});
    }
    for (Seen S : {Same, OtherTitle, ClassCase})
        Cases.push_back({wisRecheck, S, wisChanged, true});
    Cases.push_back({wisRecheck, Vanished, wisChanged, true});

    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "before " << C.Before << " seen " << C.What);
        Desktop.Windows.clear();
        auto Info = Make();
        if (C.Before != NoRecord) {
            Desktop.Windows[10] = FakeWindow();
            Pass(*Info);
            ASSERT_EQ(Info->Windows.Count(), 1);
            Info->Windows.Items(0)->State = static_cast<std::uint8_t>(C.Before);
        }
        Desktop.Windows[10] = FakeWindow();
        FakeWindow& W = Desktop.Windows[10];
        if (C.What == OtherTitle) W.Title = "Other";
        if (C.What == TitleCase) W.Title = "MAIN";
        if (C.What == ClassCase) {
            // The class is read again when the title changes.
            W.Class = "TMAINFORM";
            W.Title = "MAIN";
        }
        if (C.What == Vanished) Desktop.Windows.erase(10);

        int Seen = -1;
        Info->OnAfterUpdateList = [&](TAppInfo& Sender) {
            EXPECT_EQ(&Sender, Info.get());
            ASSERT_EQ(Sender.Windows.Count(), 1);
            Seen = Sender.Windows.Items(0)->State;
        };
        Pass(*Info);
        EXPECT_EQ(Seen, C.During);
        EXPECT_EQ(Info->Windows.Count(), C.Kept ? 1 : 0);
        if (C.Before == wisRecheck && C.What == Vanished) {
            Info->OnAfterUpdateList = nullptr;
            Pass(*Info);  // gone one pass later
            EXPECT_EQ(Info->Windows.Count(), 0);
        }
    }
}

// A listed window's class and process are read once, and again only when
// its title changes or it left the list; the title and size every pass.
TEST_F(AppInfoTest, ClassAndProcessAreReadOncePerListedWindow)
{
    enum Change { Nothing, Title, TitleAndClass, TitleAndProcess, OnlyClass, Replaced };
    struct Case {
        Change What;
        std::uint8_t State;
        int Reads;  // class and process reads in the last pass
        const char* Class;
        std::uint32_t Pid;
    };
    const Case Cases[] = {
        {Nothing, wisUnchanged, 0, "TMainForm", 7},
        {Title, wisChanged, 2, "TMainForm", 7},
        // Another class or process makes another record.
        {TitleAndClass, wisNew, 2, "TOther", 7},
        {TitleAndProcess, wisNew, 2, "TMainForm", 8},
        // A live window cannot change its class: nothing asks.
        {OnlyClass, wisUnchanged, 0, "TMainForm", 7},
        // Gone for a pass, then a window of another process under the handle.
        {Replaced, wisNew, 2, "TOther", 8},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(testing::Message() << "change " << C.What);
        Desktop.Windows.clear();
        Desktop.Windows[10] = FakeWindow();
        auto Info = Make();
        Pass(*Info);
        Pass(*Info);
        FakeWindow& W = Desktop.Windows[10];
        if (C.What == Title || C.What == TitleAndClass || C.What == TitleAndProcess)
            W.Title = "Other";
        if (C.What == TitleAndClass || C.What == OnlyClass || C.What == Replaced)
            W.Class = "TOther";
        if (C.What == TitleAndProcess || C.What == Replaced)
            W.Pid = 8;
        if (C.What == Replaced) {
            const FakeWindow Later = W;
            Desktop.Windows.erase(10);
            Pass(*Info);
            ASSERT_EQ(Info->Windows.Count(), 0);
            Desktop.Windows[10] = Later;
        }
        Desktop.FactReads = 0;
        Pass(*Info);
        EXPECT_EQ(Desktop.FactReads, C.Reads);
        ASSERT_EQ(Info->Windows.Count(), 1);
        const TWindowItem* R = Info->Windows.Items(0);
        EXPECT_EQ(R->State, C.State);
        EXPECT_EQ(R->ClassName, C.Class);
        EXPECT_EQ(R->ProcessId, C.Pid);
        EXPECT_EQ(R->Title, Desktop.Windows[10].Title);
    }
}

TEST_F(AppInfoTest, TheListsUserDecidesInTheAfterUpdateHandler)
{
    Desktop.Windows[10] = FakeWindow();
    Desktop.Windows[11] = FakeWindow();
    auto Info = Make();
    Pass(*Info);
    Desktop.Windows.erase(11);
    Info->OnAfterUpdateList = [&](TAppInfo& Sender) {
        Find(Sender, 10)->State = wisIgnored;  // dropped though still there
        Find(Sender, 11)->State = wisRecheck;  // kept though gone
    };
    Pass(*Info);
    EXPECT_EQ(Find(*Info, 10), nullptr);
    ASSERT_NE(Find(*Info, 11), nullptr);
    Info->OnAfterUpdateList = nullptr;
    Pass(*Info);
    EXPECT_EQ(Find(*Info, 11)->State, wisChanged);
    ASSERT_NE(Find(*Info, 10), nullptr);
    EXPECT_EQ(Find(*Info, 10)->State, wisNew);  // seen again: a new record
}

TEST_F(AppInfoTest, ACancelledPassTouchesNothing)
{
    Desktop.Windows[10] = FakeWindow();
    auto Info = Make();
    Pass(*Info);
    Info->Windows.Items(0)->State = wisRecheck;
    Info->Windows.LastUpdate = 1.5;
    Desktop.Windows.clear();
    bool After = false;
    Info->OnBeforeUpdateList = [](TAppInfo&, bool& Cancel) { Cancel = true; };
    Info->OnAfterUpdateList = [&](TAppInfo&) { After = true; };
    Pass(*Info);
    EXPECT_FALSE(After);
    ASSERT_EQ(Info->Windows.Count(), 1);
    EXPECT_EQ(Info->Windows.Items(0)->State, wisRecheck);
    EXPECT_EQ(Info->Windows.LastUpdate, 1.5);

    Info->OnBeforeUpdateList = [](TAppInfo&, bool&) {};
    Pass(*Info);
    EXPECT_TRUE(After);
    EXPECT_NE(Info->Windows.LastUpdate, 1.5);
}

TEST_F(AppInfoTest, FiltersByKindOfWindowAndOptions)
{
    struct Case {
        const char* Name;
        FakeWindow W;
        bool Tool, Owned, ZeroSize, Parented;
        bool Listed;
    };
    FakeWindow Hidden;          Hidden.Visible = false;
    FakeWindow Owned;           Owned.Owned = true;
    FakeWindow Parented;        Parented.Parented = true;
    FakeWindow Tool;            Tool.ExStyle = 0x80 | 0x100;
    FakeWindow ZeroApp;         ZeroApp.Class = "tapplication"; ZeroApp.Width = ZeroApp.Height = 0;
    FakeWindow NoRectApp;       NoRectApp.Class = "TApplication"; NoRectApp.SizeFails = true;
    FakeWindow WideApp;         WideApp.Class = "TApplication"; WideApp.Height = 0;
    FakeWindow ZeroOther;       ZeroOther.Width = ZeroOther.Height = 0;
    const Case Cases[] = {
        {"plain", FakeWindow(), false, false, false, false, true},
        {"hidden", Hidden, true, true, true, true, false},
        {"owned", Owned, false, false, false, false, false},
        {"owned, included", Owned, false, true, false, false, true},
        {"parented", Parented, false, false, false, false, false},
        {"parented, included", Parented, false, false, false, true, true},
        {"tool window", Tool, false, false, false, false, false},
        {"tool window, included", Tool, true, false, false, false, true},
        {"zero-size TApplication", ZeroApp, false, false, false, false, false},
        {"zero-size TApplication, included", ZeroApp, false, false, true, false, true},
        {"TApplication without rectangle", NoRectApp, false, false, false, false, false},
        {"TApplication of zero height only", WideApp, false, false, false, false, true},
        {"zero-size other class", ZeroOther, false, false, false, false, true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        Desktop.Windows.clear();
        Desktop.Windows[10] = C.W;
        auto Info = Make();
        Info->UpdateList(NoParentWindow, C.Tool, C.Owned, C.ZeroSize, C.Parented);
        EXPECT_EQ(Info->Windows.Count(), C.Listed ? 1 : 0);
        EXPECT_EQ(Info->Windows.IncludeToolWindows, C.Tool);
        EXPECT_EQ(Info->Windows.IncludeOwned, C.Owned);
        EXPECT_EQ(Info->Windows.IncludeZeroSize, C.ZeroSize);
        EXPECT_EQ(Info->Windows.IncludeParented, C.Parented);
    }
}

TEST_F(AppInfoTest, ChildPassListsDescendantsOfTheParentHiddenOnesToo)
{
    Desktop.Windows[10] = FakeWindow();      // the host's main window
    FakeWindow Bound;                         // a window taken into a panel
    Bound.Host = 10;
    Bound.Pid = 8;
    Bound.Visible = false;
    Desktop.Windows[20] = Bound;
    FakeWindow Inner = Bound;                 // its own child
    Inner.Host = 20;
    Desktop.Windows[21] = Inner;
    Desktop.Windows[30] = FakeWindow();
    Desktop.Windows[30].Visible = false;      // hidden top-level: never
    auto Info = Make();

    Pass(*Info, NoParentWindow);
    EXPECT_EQ(Info->Windows.Count(), 1);
    EXPECT_FALSE(Info->Windows.ChildPass);
    Pass(*Info, 10);
    EXPECT_EQ(Info->Windows.Count(), 3);
    EXPECT_TRUE(Info->Windows.ChildPass);
    ASSERT_NE(Find(*Info, 21), nullptr);
    EXPECT_EQ(Find(*Info, 21)->ExeName, "C:\\Apps\\other.exe");
    EXPECT_EQ(Find(*Info, 30), nullptr);
    Pass(*Info, NoParentWindow);  // without the parent they are gone
    EXPECT_EQ(Info->Windows.Count(), 1);
}

TEST_F(AppInfoTest, RecordsCarryWhatThePassRead)
{
    FakeWindow W;
    W.Title = "Editor";
    W.Class = "EdClass";
    W.Width = 640;
    W.Height = 480;
    W.Pid = 8;
    Desktop.Windows[10] = W;
    auto Info = Make();
    Pass(*Info);
    const TWindowItem* R = Find(*Info, 10);
    ASSERT_NE(R, nullptr);
    EXPECT_EQ(R->Title, "Editor");
    EXPECT_EQ(R->ClassName, "EdClass");
    EXPECT_EQ(R->ProcessId, 8u);
    EXPECT_EQ(R->ExeName, "C:\\Apps\\other.exe");
    EXPECT_EQ(R->Width, 640);
    EXPECT_EQ(R->Height, 480);
    Desktop.Windows[10].SizeFails = true;
    Pass(*Info);
    EXPECT_EQ(R->Width, 0);
    EXPECT_EQ(R->Height, 0);
    EXPECT_EQ(Find(*Info, 10), R);  // the same record, updated in place
}

TEST_F(AppInfoTest, ExecutableIsTheFirstExeOrComModule)
{
    struct Case {
        std::vector<std::string> Modules;
        const char* Expect;
    } Cases[] = {
        {{"C:\\W\\ntdll.dll", "  C:\\Apps\\Tool.EXE  ", "C:\\Apps\\x.exe"}, "C:\\Apps\\Tool.EXE"},
        {{"C:\\Dos\\run.com"}, "C:\\Dos\\run.com"},
        {{"C:\\a.exe.dll", "C:\\exe", "C:\\b.Com"}, "C:\\b.Com"},
        {{"C:\\a.dll"}, ""},
        {{}, ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Expect);
        Desktop.Windows.clear();
        Desktop.Windows[10] = FakeWindow();
        Desktop.Modules[7] = C.Modules;
        auto Info = Make();
        Pass(*Info);
        EXPECT_EQ(Info->Windows.Items(0)->ExeName, C.Expect);
    }
}

TEST_F(AppInfoTest, OneModuleSnapshotServesEveryWindowOfAProcess)
{
    for (TWindowHandle W = 10; W < 15; ++W)
        Desktop.Windows[W] = FakeWindow();
    auto Info = Make();
    Pass(*Info);
    Pass(*Info);
    EXPECT_EQ(Desktop.ModuleWalks, 1);
    for (int I = 0; I < Info->Windows.Count(); ++I)
        EXPECT_EQ(Info->Windows.Items(I)->ExeName, "C:\\Apps\\main.exe");
}

TEST_F(AppInfoTest, AProcessWithoutExeModuleIsAskedAgainEachPass)
{
    Desktop.Windows[10] = FakeWindow();
    Desktop.Modules[7] = {"C:\\W\\kernel32.dll"};
    auto Info = Make();
    Pass(*Info);
    Pass(*Info);
    EXPECT_EQ(Desktop.ModuleWalks, 2);
    Desktop.Modules[7].push_back("C:\\Apps\\late.exe");
    Pass(*Info);
    EXPECT_EQ(Info->Windows.Items(0)->ExeName, "C:\\Apps\\late.exe");
    EXPECT_EQ(Info->Windows.Items(0)->State, wisUnchanged);
}

TEST_F(AppInfoTest, AFailedModuleSnapshotIsTriedABoundedNumberOfTimes)
{
    const int Never = 100;
    struct Case {
        int Failures;       // snapshots that fail before one succeeds
        int ReadAtPass;     // 0: never read
    } Cases[] = {{0, 1}, {1, 2}, {2, 3}, {3, 0}, {Never, 0}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Failures);
        FakeDesktop D;
        D.Windows[10] = FakeWindow();
        D.Windows[10].Pid = 64;
        D.Modules[64] = {"C:\\Apps\\late.exe"};
        D.FailingWalks[64] = C.Failures;
        TAppInfo Info(D, std::make_unique<FakeTimer>());
        int ReadAt = 0;
        for (int P = 1; P <= 6; ++P) {
            Info.UpdateList(NoParentWindow, true, true, true, true);
            if (!ReadAt && !Info.Windows.Items(0)->ExeName.empty())
                ReadAt = P;
        }
        EXPECT_EQ(ReadAt, C.ReadAtPass);
        EXPECT_EQ(Info.Windows.ModuleSnapshots(), std::min(C.Failures + 1, TAppWindowCollection::ExeReadTries));
    }

    // Once its windows are gone the id may belong to another process.
    Desktop.Windows[10] = FakeWindow();
    Desktop.Windows[10].Pid = 64;
    auto Info = Make();
    for (int I = 0; I < 5; ++I)
        Pass(*Info);
    Desktop.Windows.clear();
    Pass(*Info);
    Desktop.Modules[64] = {"C:\\Apps\\reused.exe"};
    Desktop.Windows[11] = FakeWindow();
    Desktop.Windows[11].Pid = 64;
    Pass(*Info);
    EXPECT_EQ(Desktop.ModuleWalks, TAppWindowCollection::ExeReadTries + 1);
    EXPECT_EQ(Find(*Info, 11)->ExeName, "C:\\Apps\\reused.exe");
}

TEST_F(AppInfoTest, OnWindows9xExecutablesComeFromTheProcessSnapshot)
{
    Desktop.Platform = 1;
    TProcessItem P;
    P.ProcessId = 7;
    P.ExeFile = "  C:\\WINDOWS\\APP.EXE ";
    P.Threads = 3;
    Desktop.Processes = {P};
    Desktop.Windows[10] = FakeWindow();
    FakeWindow Unknown;
    Unknown.Pid = 99;
    Desktop.Windows[11] = Unknown;
    auto Info = Make();
    EXPECT_EQ(Info->Windows.PlatformId, 1);
    Pass(*Info);
    EXPECT_EQ(Desktop.ModuleWalks, 0);
    EXPECT_EQ(Find(*Info, 10)->ExeName, "C:\\WINDOWS\\APP.EXE");
    EXPECT_EQ(Find(*Info, 11)->ExeName, "");
    ASSERT_EQ(Info->Windows.Processes.size(), 1u);
    EXPECT_EQ(Info->Windows.Processes[0].Threads, 3u);

    // A failed snapshot keeps the last list.
    Desktop.ProcessSnapshotFails = true;
    Desktop.Processes.clear();
    Pass(*Info);
    EXPECT_EQ(Info->Windows.Processes.size(), 1u);
    EXPECT_EQ(Find(*Info, 10)->ExeName, "C:\\WINDOWS\\APP.EXE");
    // A taken one replaces it: the process is gone, so is its path.
    Desktop.ProcessSnapshotFails = false;
    Pass(*Info);
    EXPECT_TRUE(Info->Windows.Processes.empty());
    EXPECT_EQ(Find(*Info, 10)->ExeName, "");
    TProcessItem Out;
    EXPECT_FALSE(Info->Windows.FindProcessItem(7, Out));
}

TEST_F(AppInfoTest, NestedPassesPurgeOnlyWhenTheOutermostEnds)
{
    for (TWindowHandle W = 10; W < 14; ++W)
        Desktop.Windows[W] = FakeWindow();
    auto Info = Make();
    Pass(*Info);
    Desktop.Windows.erase(11);
    Desktop.Windows.erase(12);

    // Like the monitor: walk by index, and start another search from the
    // handler, which runs its own pass and handler.
    std::vector<int> Depths;
    int Inner = 0;
    Info->OnAfterUpdateList = [&](TAppInfo& Sender) {
        Depths.push_back(Sender.PassDepth());
        if (Inner++ > 0) {
            Find(Sender, 13)->State = wisIgnored;
            return;
        }
        TWindowItem* Gone = Find(Sender, 11);
        ASSERT_EQ(Gone->State, wisGone);
        for (int I = 0; I < Sender.Windows.Count(); ++I) {
            TWindowItem* R = Sender.Windows.Items(I);
            if (R->Handle == 10) {
                Desktop.Windows[15] = FakeWindow();  // appears meanwhile
                Sender.UpdateList(NoParentWindow, true, true, true, true);
            }
        }
        // The records survive the inner pass, in place.
        EXPECT_EQ(Find(Sender, 11), Gone);
        EXPECT_EQ(Gone->State, wisGone);
        EXPECT_EQ(Find(Sender, 13)->State, wisIgnored);
        EXPECT_EQ(Find(Sender, 15)->State, wisNew);
        EXPECT_EQ(Sender.Windows.Count(), 5);
    };
    Pass(*Info);
    EXPECT_EQ(Depths, (std::vector<int>{1, 2}));
    EXPECT_EQ(Info->PassDepth(), 0);
    EXPECT_EQ(Info->Windows.Count(), 2);  // 10 and 15
    EXPECT_NE(Find(*Info, 10), nullptr);
    EXPECT_NE(Find(*Info, 15), nullptr);
}

TEST_F(AppInfoTest, AnExceptionSkipsThePurgeAndLeavesNoPassOpen)
{
    Desktop.Windows[10] = FakeWindow();
    auto Info = Make();
    Pass(*Info);
    Desktop.Windows.clear();
    Info->OnAfterUpdateList = [](TAppInfo&) { throw std::runtime_error("handler"); };
    EXPECT_THROW(Pass(*Info), std::runtime_error);
    EXPECT_EQ(Info->PassDepth(), 0);
    EXPECT_EQ(Info->Windows.Count(), 1);  // gone, not purged

    Info->OnAfterUpdateList = nullptr;
    Info->Windows.LastUpdate = 0;
    Desktop.ThrowInEnumeration = true;
    EXPECT_THROW(Pass(*Info), std::runtime_error);
    EXPECT_NE(Info->Windows.LastUpdate, 0);  // the pass still closed
    Desktop.ThrowInEnumeration = false;
    Pass(*Info);
    EXPECT_EQ(Info->Windows.Count(), 0);
}

TEST_F(AppInfoTest, OwnTimerStartsOffAndRunsTheTopLevelPass)
{
    auto Info = Make();
    EXPECT_FALSE(Timer->Enabled());
    EXPECT_EQ(Info->UpdateInterval(), 1000u);
    const int Writes = Timer->IntervalWrites;
    Info->SetUpdateInterval(1000);
    EXPECT_EQ(Timer->IntervalWrites, Writes);
    Info->SetUpdateInterval(250);
    EXPECT_EQ(Timer->Interval(), 250u);
    Info->SetActive(true);
    EXPECT_TRUE(Timer->Enabled());

    // The tick lists zero-size windows but no tool, owned or parented ones,
    // and no children.
    FakeWindow ZeroApp;
    ZeroApp.Class = "TApplication";
    ZeroApp.Width = ZeroApp.Height = 0;
    Desktop.Windows[10] = ZeroApp;
    Desktop.Windows[11] = FakeWindow();
    Desktop.Windows[11].Owned = true;
    Desktop.Windows[12] = FakeWindow();
    Desktop.Windows[12].ExStyle = 0x80;
    Desktop.Windows[13] = FakeWindow();
    Desktop.Windows[13].Parented = true;
    Desktop.Windows[14] = FakeWindow();
    Desktop.Windows[14].Host = 10;
    ASSERT_TRUE(Timer->OnTimer);
    Timer->OnTimer();
    ASSERT_EQ(Info->Windows.Count(), 1);
    EXPECT_EQ(Info->Windows.Items(0)->Handle, 10u);
}

}  // namespace
