#include "components/DatabaseGrid.h"
#include "hosting/AppInfoWin.h"
#include "hosting/IdentifyWin.h"
#include "hosting/appmonitor.h"

#include "hosting/HosteeSupport.h"
#include "hosting/TestHost.h"

#include <gtest/gtest.h>

namespace {

enum Entry {
    ePlain, eOnce, eMorvel, eCorval, eBrenmor, eBlank, eWinZ80, eOutside, eTwin, eTwinSecond,
    eNotepad, eMines, eRegedit,
};

std::string NoTrailingDelimiter(std::string Path)
{
    if (!Path.empty() && Path.back() == '\\')
        Path.pop_back();
    return Path;
}

std::string SystemFolder()
{
    char Dir[MAX_PATH] = {};
    ::GetSystemDirectoryA(Dir, MAX_PATH);
    return std::string(Dir) + "\\";
}

std::string WindowsFolder()
{
    char Dir[MAX_PATH] = {};
    ::GetWindowsDirectoryA(Dir, MAX_PATH);
    return std::string(Dir) + "\\";
}

bool Running(std::uint32_t Pid)
{
    HANDLE P = ::OpenProcess(SYNCHRONIZE, FALSE, Pid);
    if (!P)
        return false;
    const bool Alive = ::WaitForSingleObject(P, 0) == WAIT_TIMEOUT;
    ::CloseHandle(P);
    return Alive;
}

class MonitorTest : public ::testing::Test {
protected:
    // Copies of hostee under the names the entries below identify.
    static void SetUpTestSuite()
    {
        ::CreateDirectoryA(Dir().c_str(), nullptr);
        ::CreateDirectoryA((Dir() + "with blank").c_str(), nullptr);
        for (const char* Name : Copies)
            ::CopyFileA(HosteeExe().c_str(), (Dir() + Name).c_str(), FALSE);
    }
    static void TearDownTestSuite()
    {
        for (const char* Name : Copies)
            ::DeleteFileA((Dir() + Name).c_str());
        ::RemoveDirectoryA((Dir() + "with blank").c_str());
        ::RemoveDirectoryA(Dir().c_str());
    }
    void SetUp() override
    {
        SetFileProbe(&Win32FileProbe);
        KnownApps.Clear();
        AllowedWindows.Clear();
        ForbiddenWindows.Clear();
        Add("Plain Hostee", "", "bind", "hostee.exe");
        Add("Once Hostee", "", "bind; only 1x", "oncehost.exe");
        Add("Morvelindra", "", "bind", "morvel.exe");
        Add("Corvalimphena", "", "bind", "corval.exe");
        Add("Brenmoral Second Edition", "", "bind", "brenmor.exe");
        Add("Blank Hostee", "", "bind", "app.exe");
        Add("WinZ80", "", "bind; no title", "WinZ80.exe");
        Add("Outside Hostee", "", "external", "extern.exe");
        Add("Twin Hostee", "", "bind", "twin.exe", "", "", "1");
        Add("Twin Hostee Second", "", "bind", "twin.exe", "", "\"HosteeWindow\"", "2");
        Add("Notepad", "? 0", "bind", "notepad.exe");
        Add("Minesweeper", "? 0", "bind", "winemine.exe");
        Add("Registry Editor", ">= 5.2", "bind", "regedit.exe");
    }
    void TearDown() override
    {
        KnownApps.Clear();
        SetFileProbe(nullptr);
    }
    static void Add(const char* Name, const char* Version, const char* Method, const char* Files,
                    const char* Title = "", const char* Class = "", const char* WindowNo = "")
    {
        ASSERT_EQ(AddKnownApp(KnownApps, "Tests", Name, Version, "", Method, Files, "", "", "",
                              Title, Class, WindowNo),
                  ieOk)
            << Name;
    }
    static std::string Dir() { return TestExeDir() + "monitor_apps\\"; }
    static std::string HosteeExe() { return TestExeDir() + "hostee.exe"; }

    static constexpr const char* Copies[] = {
        "oncehost.exe", "morvel.exe", "corval.exe", "brenmor.exe", "extern.exe",
        "twin.exe",     "ntvdm.exe",  "with.exe",   "with blank\\app.exe",
    };
};
constexpr const char* MonitorTest::Copies[];

TEST_F(MonitorTest, OpenedProgramIsBoundAndLetGoWhenTheMonitorGoes)
{
    TestHost H;
    int BoundEvents = 0, MainEvents = 0;
    TApplicationItem* BoundItem = nullptr;
    H.Monitor->OnBound = [&](TApplicationItem& I) {
        ++BoundEvents;
        BoundItem = &I;
    };
    H.Monitor->OnMainWindowBound = [&](TApplicationItem&) { ++MainEvents; };
    H.CountTicks();
    const std::string Log = NewHosteeLogFile();
    {
        ScopedEnv E("HOSTEE_LOG", Log);
        ASSERT_TRUE(H.Open(HosteeExe(), 1));
    }
    TApplicationItem* I = H.ItemIn(1);
    ASSERT_NE(I, nullptr);
    EXPECT_EQ(I->KnownIndex(), ePlain);
    EXPECT_TRUE(SameText(I->ExeName, HosteeExe()));
    EXPECT_TRUE(H.Monitor->Timer->Enabled());
    // A window shown before the start's wait for input idle ended is bound
    // by the open itself, no tick needed (a start slower than that wait
    // leaves it to the ticks).
    if (!ReadLogLines(Log, "shown").empty()) {
        EXPECT_TRUE(I->Bound);
        EXPECT_EQ(H.TicksSince(), 0);
    }

    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(1); }, 10000));
    I = H.ItemIn(1);
    EXPECT_EQ(I->State, aisActive);
    EXPECT_EQ(BoundEvents, 1);
    EXPECT_EQ(BoundItem, I);
    EXPECT_EQ(MainEvents, 0);  // Window # 0
    const HWND W = I->Handle;
    EXPECT_EQ(::GetAncestor(W, GA_PARENT), H.Inner(1)->Handle());
    EXPECT_EQ(::GetWindowLongA(W, GWL_STYLE) & WS_THICKFRAME, 0);
    // Sized by requests the program takes when it gets to them.
    EXPECT_TRUE(H.RunUntil([&] { return SameRect(RectIn(W, H.Inner(1)->Handle()), RECT{0, 0, 310, 250}); }, 5000));
    EXPECT_TRUE(H.RunUntil([&] { return H.ItemIn(1)->Seconds == 0; }, 3000));

    ASSERT_EQ(HosteeExe().find_first_of(" \t"), std::string::npos);
    EXPECT_EQ(ReadLogLines(Log, "cmdline"), std::vector<std::string>{"cmdline " + HosteeExe()});
    EXPECT_EQ(ReadLogLines(Log, "cwd"),
              std::vector<std::string>{"cwd " + NoTrailingDelimiter(TestExeDir())});

    H.Monitor.reset();
    EXPECT_EQ(::GetAncestor(W, GA_PARENT), ::GetDesktopWindow());
    for (TAppPanel* P : H.Hosts)
        EXPECT_EQ(P->Monitor, nullptr);
}

TEST_F(MonitorTest, WhileAStartedProgramComesUpTheWindowPaints)
{
    TestHost H;
    H.App.ProcessMessages();
    // Not idle for input for the whole of the start's wait.
    ScopedEnv O("HOSTEE_OPTIONS", "/busy=1000");
    ::RedrawWindow(H.Main->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    const DWORD Start = ::GetTickCount();
    ASSERT_TRUE(H.Open(HosteeExe(), 1));
    EXPECT_GE(::GetTickCount() - Start, 400u);
    // Painted in the wait, with no message loop run since.
    EXPECT_FALSE(::GetUpdateRect(H.Main->Handle(), nullptr, FALSE));
}

TEST_F(MonitorTest, LoadingTextCountsTheSecondsOfALateWindow)
{
    TestHost H;
    {
        ScopedEnv O("HOSTEE_OPTIONS", "/delay=2600");
        ASSERT_TRUE(H.Open(HosteeExe(), 0));
    }
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
    std::vector<std::string> Loading;
    for (const std::string& T : H.PanelTexts[0])
        if (T.compare(0, 7, "Loading") == 0)
            Loading.push_back(T);
    ASSERT_GE(Loading.size(), 3u);
    for (std::size_t S = 0; S < Loading.size(); ++S)
        EXPECT_EQ(Loading[S], "Loading Plain Hostee (" + std::to_string(S + 1) + " sec.) ...");
    // Bound with its own caption: the panel says nothing.
    EXPECT_TRUE(H.RunUntil([&] { return H.PanelTexts[0].back().empty(); }, 2000));
}

// A bound program keeps the timer ticking every second; a tick that
// changes nothing the idle pass shows is followed by none, one after which
// the bound window has moved itself is, and the pass puts it back.
TEST_F(MonitorTest, TicksThatChangeNothingShownRunNoIdlePass)
{
    TestHost H;
    ASSERT_TRUE(H.Open(HosteeExe(), 0));
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
    H.Answerer->SetEnabled(false);
    int Passes = 0;
    const int Counter = H.App.AddIdleHandler([&] { ++Passes; });
    const auto RunFor = [&](DWORD Ms) { H.RunUntil([] { return false; }, Ms); };
    RunFor(6 * TestHost::TickMs);
    Passes = 0;
    RunFor(13 * TestHost::TickMs);
    EXPECT_EQ(Passes, 0);
    HWND Wnd = H.ItemIn(0)->Handle;
    RECT Before;
    ::GetWindowRect(Wnd, &Before);
    ::MapWindowPoints(HWND_DESKTOP, ::GetAncestor(Wnd, GA_PARENT), reinterpret_cast<POINT*>(&Before), 2);
    ::MoveWindow(Wnd, Before.left + 7, Before.top + 5, Before.right - Before.left,
                 Before.bottom - Before.top, TRUE);
    RunFor(6 * TestHost::TickMs);
    EXPECT_GE(Passes, 1);
    RECT After;
    ::GetWindowRect(Wnd, &After);
    ::MapWindowPoints(HWND_DESKTOP, ::GetAncestor(Wnd, GA_PARENT), reinterpret_cast<POINT*>(&After), 2);
    EXPECT_EQ(After.left, Before.left);
    EXPECT_EQ(After.top, Before.top);
    H.App.RemoveIdleHandler(Counter);
}

TEST_F(MonitorTest, TicksReadThePointerOnlyAfterInput)
{
    TestHost H;
    ASSERT_TRUE(H.Open(HosteeExe(), 0));
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
    H.Answerer->SetEnabled(false);
    H.RunUntil([] { return false; }, 5 * TestHost::TickMs);
    struct Case {
        const char* Name;
        int MoveBy;  // pixels the pointer moves before the ticks, as input
        bool Read;
    } Cases[] = {{"nothing moved", 0, false}, {"moved", 3, true}, {"moved back", -3, true},
                 {"still again", 0, false}};
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        if (C.MoveBy) {
            INPUT In = {};
            In.type = INPUT_MOUSE;
            In.mi.dx = C.MoveBy;
            In.mi.dwFlags = MOUSEEVENTF_MOVE;
            ASSERT_EQ(::SendInput(1, &In, sizeof(In)), 1u);
        }
        const unsigned Before = H.Monitor->PointerReads();
        H.RunUntil([] { return false; }, 9 * TestHost::TickMs);
        EXPECT_EQ(H.Monitor->PointerReads() > Before, C.Read);
    }
}

TEST_F(MonitorTest, SplashWindowMakesWayForTheMainWindow)
{
    struct Case {
        const char* Options;
        bool DisabledAtFirst;  // the rebind fails and is tried again
    } Cases[] = {
        {"/splash=2500 /splashclass=HosteeWindow", false},
        {"/splash=2500 /splashclass=HosteeWindow /disable=0,3500", true},
        // Passes run while both windows show: the splash still holds the
        // panel, and the main window, then no longer new, takes it over.
        {"/splash=2500 /splashclass=HosteeWindow /overlap=1500", false},
        // A splash of a class of its own, as most programs have.
        {"/splash=2500", false},
        {"/splash=2500 /overlap=1500", false},
        // No window for a while: the panel holds the gone splash meanwhile.
        {"/splash=2500 /delay=2000", false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Options);
        TestHost H;
        int BoundEvents = 0;
        H.Monitor->OnBound = [&](TApplicationItem&) { ++BoundEvents; };
        {
            ScopedEnv O("HOSTEE_OPTIONS", C.Options);
            ASSERT_TRUE(H.Open(HosteeExe(), 0));
        }
        ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
        const HWND Splash = H.ItemIn(0)->Handle;
        EXPECT_EQ(GetWindowTitle(Splash), "Hostee splash");
        const auto Replaced = [&] {
            const TApplicationItem* I = H.ItemIn(0);
            return I && I->Handle != Splash && GetWindowTitle(I->Handle) == "Hostee";
        };
        if (C.DisabledAtFirst) {
            ASSERT_TRUE(H.RunUntil(Replaced, 10000));
            EXPECT_FALSE(H.ItemIn(0)->Bound);
            EXPECT_EQ(H.ItemIn(0)->State, aisWaiting);
        }
        ASSERT_TRUE(H.RunUntil([&] { return Replaced() && H.BoundIn(0); }, 10000));
        EXPECT_EQ(H.Monitor->Count(), 1);
        EXPECT_EQ(H.ItemIn(0)->State, aisActive);
        EXPECT_EQ(::GetAncestor(H.ItemIn(0)->Handle, GA_PARENT), H.Inner(0)->Handle());
        EXPECT_EQ(BoundEvents, 2);
    }
}

// The held window went while its program runs: the close reaches the
// program through the window that took the item over, or through its own
// shown windows.
TEST_F(MonitorTest, CloseReachesAProgramWhoseHeldWindowWent)
{
    struct Case {
        const char* What;
        const char* Options;
        bool MainForbidden;
        int Askable;  // while the splash is gone
    } Cases[] = {
        {"its main window comes after the close", "/splash=2500 /delay=3000", false, 0},
        {"its main window is not for a panel", "/splash=2500", true, 1},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        ForbiddenWindows.Clear();
        if (C.MainForbidden) {
            ASSERT_EQ(AddWindowRule(ForbiddenWindows, "\"hostee.exe\"", "", "\"HosteeWindow\""), ieOk);
        }
        TestHost H;
        int AllClosed = 0;
        H.Monitor->OnAllClosed = [&](TApplicationMonitor&) { ++AllClosed; };
        const std::string Log = NewHosteeLogFile();
        {
            ScopedEnv O("HOSTEE_OPTIONS", C.Options);
            ScopedEnv E("HOSTEE_LOG", Log);
            ASSERT_TRUE(H.Open(HosteeExe(), 0));
        }
        ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
        const HWND Splash = H.ItemIn(0)->Handle;
        ASSERT_EQ(GetWindowTitle(Splash), "Hostee splash");
        ASSERT_TRUE(H.RunUntil([&] { return !::IsWindow(Splash); }, 10000));
        if (C.MainForbidden) {
            ASSERT_TRUE(H.RunUntil([] { return ::IsWindowVisible(::FindWindowA("HosteeWindow", nullptr)); }, 5000));
        }
        EXPECT_EQ(H.ItemIn(0)->Handle, Splash);
        EXPECT_EQ(H.Monitor->CountAskableItems(), C.Askable);

        EXPECT_FALSE(H.Monitor->CloseAll());
        ASSERT_TRUE(H.RunUntil([&] { return AllClosed > 0; }, 15000));
        EXPECT_EQ(ReadLogLines(Log, "main close"), std::vector<std::string>{"main close"});
        EXPECT_EQ(H.Monitor->Count(), 0);
    }
}

TEST_F(MonitorTest, EndedProgramIsDroppedAtTheSecondTickThatMissesIt)
{
    TestHost H;
    H.CountTicks();
    int Destroyed = 0;
    H.Monitor->OnItemDestroy = [&](TApplicationItem&) { ++Destroyed; };
    {
        ScopedEnv O("HOSTEE_OPTIONS", "/exit=1500");
        ASSERT_TRUE(H.Open(HosteeExe(), 0));
    }
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
    const std::uint32_t Pid = H.ItemIn(0)->ProcessId;
    ASSERT_TRUE(H.RunUntil([&] { return !Running(Pid); }, 10000));
    // A bound item outlives its window; only the process decides.
    ASSERT_TRUE(H.RunUntil([&] { return H.ItemIn(0) && H.ItemIn(0)->GraceTicks == 1; }, 5000));
    const int GraceTick = H.TicksSince();
    EXPECT_EQ(Destroyed, 0);
    ASSERT_TRUE(H.RunUntil([&] { return H.Monitor->Count() == 0; }, 5000));
    EXPECT_EQ(H.TicksSince(), GraceTick + 1);
    EXPECT_EQ(Destroyed, 1);
    EXPECT_FALSE(H.Monitor->Timer->Enabled());
}

TEST_F(MonitorTest, TicksAskTheProcessAndSnapshotOnlyForAnIdTheyCannotOpen)
{
    Hostee Other("");
    ASSERT_NE(Other.WaitWindow("HosteeWindow"), nullptr);
    std::uint32_t Ended = 0;
    {
        Hostee Gone("");
        Ended = Gone.Pid;
    }
    ASSERT_FALSE(Running(Ended));
    enum { Started, TakenById, NoSuchProcess };
    const struct {
        const char* What;
        int Source;
        int Snapshots;  // over two ticks
        int Items;      // after them
    } Cases[] = {
        {"started by the monitor", Started, 0, 1},
        {"a running program taken by its id", TakenById, 0, 1},
        {"an ended process's id", NoSuchProcess, 2, 0},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.What);
        TestHost H;
        H.CountTicks();
        H.Answer = caNo;
        if (C.Source == Started)
            ASSERT_TRUE(H.Open(HosteeExe(), 0));
        else if (C.Source == TakenById)
            H.Monitor->AddItem(HosteeExe(), Other.Pid, ePlain, H.Inner(0), false);
        else  // of a program with no window about, which no pass gives another id
            H.Monitor->AddItem(Dir() + "morvel.exe", Ended, eMorvel, H.Inner(0), false);
        const int Snapshots = H.Monitor->Windows->Windows.ProcessSnapshots();
        const int Ticks = H.TicksSince();
        ASSERT_TRUE(H.RunUntil([&] { return H.TicksSince() >= Ticks + 2; }, 5000));
        EXPECT_EQ(H.Monitor->Windows->Windows.ProcessSnapshots() - Snapshots, C.Snapshots);
        EXPECT_EQ(H.Monitor->Count(), C.Items);
    }
}

TEST_F(MonitorTest, CloseAllClosesBoundProgramsAndReportsOnce)
{
    TestHost H;
    int AllClosed = 0;
    H.Monitor->OnAllClosed = [&](TApplicationMonitor&) { ++AllClosed; };
    const std::string Logs[2] = {NewHosteeLogFile(), NewHosteeLogFile()};
    for (int P = 0; P < 2; ++P) {
        ScopedEnv E("HOSTEE_LOG", Logs[P]);
        ASSERT_TRUE(H.Open(HosteeExe(), P));
        ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(P); }, 10000));
    }
    EXPECT_FALSE(H.Monitor->CloseAll());
    EXPECT_TRUE(H.Monitor->Closing);
    ASSERT_TRUE(H.RunUntil([&] { return AllClosed > 0; }, 10000));
    for (const std::string& Log : Logs)
        EXPECT_EQ(ReadLogLines(Log, "main close"), std::vector<std::string>{"main close"});
    EXPECT_EQ(H.Monitor->Count(), 0);
    H.RunUntil([] { return false; }, 10 * TestHost::TickMs);
    EXPECT_EQ(AllClosed, 1);
    EXPECT_FALSE(H.Monitor->Timer->Enabled());
}

TEST_F(MonitorTest, OnlyAProgramThatDeclinesToCloseEndsTheShutdown)
{
    struct Case {
        const char* What;
        const char* Options;
        const char* Logged;
        bool Declines;
    } Cases[] = {
        {"its own question answered Cancel", "/askclose=1500", "main close asked", true},
        {"slow, its window enabled meanwhile", "/slowclose=3500", "main close later", false},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TestHost H;
        int AllClosed = 0;
        H.Monitor->OnAllClosed = [&](TApplicationMonitor&) { ++AllClosed; };
        const std::string Log = NewHosteeLogFile();
        ASSERT_TRUE(H.Open(HosteeExe(), 0));  // closes at once
        {
            ScopedEnv O("HOSTEE_OPTIONS", C.Options);
            ScopedEnv E("HOSTEE_LOG", Log);
            ASSERT_TRUE(H.Open(HosteeExe(), 1));
        }
        ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0) && H.BoundIn(1); }, 10000));
        const std::uint32_t Pid = H.ItemIn(1)->ProcessId;

        EXPECT_FALSE(H.Monitor->CloseAll());
        if (C.Declines) {
            ASSERT_TRUE(H.RunUntil([&] { return !H.Monitor->Closing; }, 8000));
            EXPECT_TRUE(::IsWindowEnabled(H.ItemIn(1)->Handle));
            // It ends much later, by other means: the host stays.
            HANDLE P = ::OpenProcess(PROCESS_TERMINATE, FALSE, Pid);
            ASSERT_NE(P, nullptr);
            ::TerminateProcess(P, 0);
            ::CloseHandle(P);
            ASSERT_TRUE(H.RunUntil([&] { return H.Monitor->Count() == 0; }, 8000));
        } else {
            // Reported as the last program ends, not at a tick after: no
            // tick comes meanwhile.
            H.Monitor->Timer->SetInterval(60000);
            H.CountTicks();
            ASSERT_TRUE(H.RunUntil([&] { return AllClosed > 0; }, 10000));
            EXPECT_EQ(H.TicksSince(), 0);
            EXPECT_TRUE(H.Monitor->Closing);
            EXPECT_EQ(H.Monitor->Count(), 0);
        }
        EXPECT_EQ(ReadLogLines(Log, "main close"), std::vector<std::string>{C.Logged});
        EXPECT_EQ(AllClosed, C.Declines ? 0 : 1);
    }
}

TEST_F(MonitorTest, CloseAllDropsWaitersAndLeavesASeparateWindowAlone)
{
    TestHost H;
    int AllClosed = 0;
    H.Monitor->OnAllClosed = [&](TApplicationMonitor&) { ++AllClosed; };
    {
        ScopedEnv O("HOSTEE_OPTIONS", "/delay=30000");
        ASSERT_TRUE(H.Open(HosteeExe(), 0));
    }
    EXPECT_TRUE(H.Monitor->CloseAll());
    EXPECT_EQ(H.Monitor->Count(), 0);

    // Started as a separate window the item never learns its window: no
    // close request reaches the program, the host waits until it ends.
    const std::string Log = NewHosteeLogFile();
    {
        ScopedEnv O("HOSTEE_OPTIONS", "/exit=3000");
        ScopedEnv E("HOSTEE_LOG", Log);
        ASSERT_TRUE(H.Open(Dir() + "extern.exe", -1, true));
    }
    ASSERT_EQ(H.Monitor->Count(), 1);
    const TApplicationItem* I = H.Monitor->Items(0);
    EXPECT_EQ(I->State, aisActive);
    EXPECT_EQ(I->Panel, nullptr);
    ASSERT_TRUE(H.RunUntil([&] { return !ReadLogLines(Log, "shown").empty(); }, 5000));
    H.RunUntil([] { return false; }, 5 * TestHost::TickMs);  // a pass sees the window
    ASSERT_EQ(H.Monitor->Count(), 1);
    EXPECT_EQ(H.Monitor->Items(0)->Handle, nullptr);
    EXPECT_EQ(H.Monitor->CountAskableItems(), 0);

    EXPECT_FALSE(H.Monitor->CloseAll());
    ASSERT_TRUE(H.RunUntil([&] { return AllClosed > 0; }, 10000));
    // A close posted before its end would have come before its timer.
    EXPECT_EQ(ReadLogLines(Log, "exit"), std::vector<std::string>{"exit"});
    EXPECT_TRUE(ReadLogLines(Log, "main close").empty());
    EXPECT_EQ(AllClosed, 1);
    EXPECT_TRUE(H.Messages.empty());
}

TEST_F(MonitorTest, AlreadyRunningQuestionDecides)
{
    const std::string Once = Dir() + "oncehost.exe";
    const std::string OnceQuestion =
        "There's already an app. \"Once Hostee\" running.\rDo you want to bind this application?";
    const std::string ManyQuestion =
        "There's already an app. \"Plain Hostee\" running.\rDo you want to bind this "
        "application\rinstead of starting a new one?";
    const std::string Refusal = "\"Once Hostee\" can only be opened 1 times!";
    struct Case {
        const char* What;
        bool OnlyOnce;
        std::uint8_t Answer, Remembered;
        bool Asked, Refused, Started, TakenOver;
        bool NoDialog = false;
    } Cases[] = {
        {"once: yes", true, caYes, 0, true, false, false, true},
        {"once: no", true, caNo, 0, true, true, false, false},
        {"once: cancel", true, caCancelled, 0, true, true, false, false},
        {"many: no starts another", false, caNo, 0, true, false, true, false},
        {"many: cancel", false, caCancelled, 0, true, false, false, false},
        {"remembered yes", false, caCancelled, caYes, false, false, false, true},
        {"no dialog, remembered yes", false, caCancelled, caYes, false, false, false, true, true},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TestHost H;
        if (C.NoDialog)
            ConfirmationForm = nullptr;
        H.Answer = C.Answer;
        H.Monitor->Remembered = C.Remembered;
        const std::string Exe = C.OnlyOnce ? Once : HosteeExe();
        Hostee Running("", Exe);
        const HWND W = Running.WaitWindow("HosteeWindow");
        ASSERT_NE(W, nullptr);

        EXPECT_EQ(H.Open(Exe, 0), C.Started || C.TakenOver);
        const std::string Question = C.OnlyOnce ? OnceQuestion : ManyQuestion;
        EXPECT_EQ(H.Questions, C.Asked ? std::vector<std::string>{Question}
                                       : std::vector<std::string>{});
        EXPECT_EQ(H.Messages,
                  C.Refused ? std::vector<std::string>{Refusal} : std::vector<std::string>{});
        if (!C.Started && !C.TakenOver) {
            EXPECT_EQ(H.Monitor->Count(), 0);
            continue;
        }
        ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
        const TApplicationItem* I = H.ItemIn(0);
        EXPECT_EQ(I->ProcessId == Running.Pid, C.TakenOver);
        EXPECT_EQ(I->Handle == W, C.TakenOver);
    }
}

TEST_F(MonitorTest, OnlySiblingModulesGetTheStartSwitch)
{
    struct Case {
        std::string Exe;
        const char* Params;
    } Cases[] = {
        {Dir() + "morvel.exe", ""},
        {Dir() + "corval.exe", " /InQuorvan=yes"},
        {Dir() + "brenmor.exe", " /InQuorvan=yes"},
        {HosteeExe(), ""},
    };
    TestHost H(4);
    for (int P = 0; P < 4; ++P) {
        const Case& C = Cases[P];
        SCOPED_TRACE(C.Exe);
        const std::string Log = NewHosteeLogFile();
        {
            ScopedEnv E("HOSTEE_LOG", Log);
            ASSERT_TRUE(H.Open(C.Exe, P));
        }
        ASSERT_TRUE(H.RunUntil([&] { return !ReadLogLines(Log, "cwd").empty(); }, 5000));
        ASSERT_EQ(C.Exe.find_first_of(" \t"), std::string::npos);
        EXPECT_EQ(ReadLogLines(Log, "cmdline"),
                  std::vector<std::string>{"cmdline " + C.Exe + C.Params});
        EXPECT_EQ(ReadLogLines(Log, "cwd"),
                  std::vector<std::string>{"cwd " + NoTrailingDelimiter(ExtractFilePath(C.Exe))});
    }
}

TEST_F(MonitorTest, PathWithBlanksStartsTheNamedProgram)
{
    TestHost H;
    const std::string Exe = Dir() + "with blank\\app.exe";
    const std::string Log = NewHosteeLogFile();  // the decoy would log here too
    {
        ScopedEnv E("HOSTEE_LOG", Log);
        ASSERT_TRUE(H.Open(Exe, 0));
    }
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
    H.RunUntil([] { return false; }, 300);
    EXPECT_EQ(ReadLogLines(Log, "cmdline"), std::vector<std::string>{"cmdline \"" + Exe + "\""});
    EXPECT_EQ(ReadLogLines(Log, "cwd"),
              std::vector<std::string>{"cwd " + NoTrailingDelimiter(Dir() + "with blank")});
}

TEST_F(MonitorTest, EmulatorWindowKeepsItsItemsOwnEntry)
{
    TestHost H;
    // A DOS program's window belongs to the virtual DOS machine.
    const std::string Emulator = Dir() + "WinZ80.exe";
    // Its window up first: an item of no process is dropped at its second
    // tick, however slowly the program starts.
    Hostee Dos("/class=WinZ80", Dir() + "ntvdm.exe");
    ASSERT_NE(Dos.WaitWindow("WinZ80"), nullptr);
    TApplicationItem* I = H.Monitor->AddItem(Emulator, 0, eWinZ80, H.Inner(0), false);
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
    I = H.ItemIn(0);
    EXPECT_EQ(I->KnownIndex(), eWinZ80);
    EXPECT_EQ(I->ProcessId, Dos.Pid);
    // Its entry takes the caption away; the first entry's would not.
    EXPECT_EQ(::GetWindowLongA(I->Handle, GWL_STYLE) & WS_CAPTION, 0);

    TDatabaseGrid Grid;
    Grid.SetDatabaseColumns("Application|Location");
    Grid.AddRecord("Application|Location", "WinZ80 old|" + Dir() + "missing.exe");
    Grid.AddRecord("Application|Location", "winz80 v2|" + Dir() + "with.exe");
    struct Case {
        const char* What;
        const char* Class;
        bool WithItem, UseAppList, Grid;
        std::string Expect;  // empty: not resolved
    } Cases[] = {
        {"the item's executable", "WinZ80", true, false, false, Emulator},
        {"another class", "Other", true, true, true, ""},
        {"the application list", "winz80", false, true, true, Dir() + "with.exe"},
        {"list not wanted", "WinZ80", false, false, true, ""},
        {"no list", "WinZ80", false, true, false, ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        if (!C.WithItem && H.Monitor->Count() > 0)
            H.Monitor->DeleteItem(0);
        H.Monitor->AppListGrid = C.Grid ? &Grid : nullptr;
        std::string Exe = "C:\\WINDOWS\\system32\\NTVDM.EXE";
        EXPECT_EQ(H.Monitor->ResolveEmulatorExe(C.Class, Exe, C.UseAppList), !C.Expect.empty());
        EXPECT_EQ(Exe, C.Expect.empty() ? "C:\\WINDOWS\\system32\\NTVDM.EXE" : C.Expect);
    }
}

TEST_F(MonitorTest, FurtherWindowIsTakenFromTheRunningMainApplication)
{
    TestHost H;
    const std::string Twin = Dir() + "twin.exe";
    // Never started: without its main application nothing happens.
    EXPECT_FALSE(H.Open(Twin, 1, false, "Twin Hostee Second"));
    EXPECT_EQ(H.Monitor->Count(), 0);
    EXPECT_TRUE(H.Messages.empty());

    // As the main window does: its further panels open once the main
    // window is bound.
    int MainEvents = 0;
    H.Monitor->OnMainWindowBound = [&](TApplicationItem& I) {
        ++MainEvents;
        EXPECT_EQ(I.KnownIndex(), eTwin);
        EXPECT_TRUE(H.Open(Twin, 1, false, "Twin Hostee Second"));
    };
    {
        ScopedEnv O("HOSTEE_OPTIONS", "/second");
        ASSERT_TRUE(H.Open(Twin, 0, false, "Twin Hostee"));
    }
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0) && H.BoundIn(1); }, 10000));
    EXPECT_EQ(MainEvents, 1);
    const TApplicationItem* Main = H.ItemIn(0);
    const TApplicationItem* Further = H.ItemIn(1);
    EXPECT_EQ(Main->WindowNo, 1);
    EXPECT_EQ(Further->WindowNo, 2);
    EXPECT_EQ(Further->KnownIndex(), eTwinSecond);
    EXPECT_EQ(Further->ProcessId, Main->ProcessId);
    EXPECT_NE(Further->Handle, Main->Handle);
    EXPECT_EQ(::GetAncestor(Further->Handle, GA_PARENT), H.Inner(1)->Handle());
    EXPECT_EQ(H.Monitor->Count(), 2);
}

TEST_F(MonitorTest, WinesOwnProgramsAreBoundReleasedAndClosed)
{
    TestHost H;
    int AllClosed = 0;
    H.Monitor->OnAllClosed = [&](TApplicationMonitor&) { ++AllClosed; };
    const struct {
        std::string Exe;
        Entry Known;
    } Programs[] = {
        {SystemFolder() + "notepad.exe", eNotepad},
        {SystemFolder() + "winemine.exe", eMines},
        {WindowsFolder() + "regedit.exe", eRegedit},
    };
    for (int P = 0; P < 3; ++P) {
        SCOPED_TRACE(Programs[P].Exe);
        ASSERT_TRUE(H.Open(Programs[P].Exe, P));
        EXPECT_EQ(H.ItemIn(P)->KnownIndex(), Programs[P].Known);
    }
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0) && H.BoundIn(1) && H.BoundIn(2); }, 20000));
    EXPECT_TRUE(H.Messages.empty());
    std::vector<std::uint32_t> Pids;
    for (int P = 0; P < 3; ++P) {
        SCOPED_TRACE(Programs[P].Exe);
        TApplicationItem* I = H.ItemIn(P);
        const HWND W = I->Handle;
        Pids.push_back(I->ProcessId);
        EXPECT_EQ(::GetAncestor(W, GA_PARENT), H.Inner(P)->Handle());
        EXPECT_EQ(::GetWindowLongA(W, GWL_STYLE) & WS_THICKFRAME, 0);
        const RECT R = RectIn(W, H.Inner(P)->Handle());
        EXPECT_EQ(R.left, 0);
        EXPECT_EQ(R.top, 0);

        const LONG OldStyle = I->OldStyle;
        const RECT Original = I->OriginalRect;
        I->ReleaseWindow();
        EXPECT_EQ(::GetAncestor(W, GA_PARENT), ::GetDesktopWindow());
        EXPECT_EQ(::GetWindowLongA(W, GWL_STYLE), OldStyle);
        RECT Now = {};
        ::GetWindowRect(W, &Now);
        EXPECT_TRUE(SameRect(Now, Original));
        EXPECT_TRUE(Running(I->ProcessId));
    }
    EXPECT_FALSE(H.Monitor->CloseAll());
    ASSERT_TRUE(H.RunUntil([&] { return AllClosed > 0; }, 15000));
    for (const std::uint32_t Pid : Pids)
        EXPECT_TRUE(H.RunUntil([&] { return !Running(Pid); }, 5000));
    EXPECT_EQ(AllClosed, 1);
    EXPECT_EQ(H.Monitor->Count(), 0);
}

TEST_F(MonitorTest, AWindowThatGoesTakesOnlyItsOwnItem)
{
    // A splash, then no window for a while, then the main window: room for
    // a slow start and late ticks on either side.
    const char* Gap = "/splash=1500 /delay=6000";
    struct Case {
        const char* What;
        bool AsExternal;
        std::uint8_t State;
        std::vector<std::string> Messages;
    } Cases[] = {
        {"external entry opened without the flag", false, aisWaiting,
         {"\"Outside Hostee\" cannot be executed in a panel!\rBut you may start it as an external "
          "application."}},
        {"external start", true, aisActive, {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TestHost H;
        {
            ScopedEnv O("HOSTEE_OPTIONS", Gap);
            ASSERT_TRUE(H.Open(Dir() + "extern.exe", 0, C.AsExternal));
        }
        EXPECT_EQ(H.Messages, C.Messages);
        ASSERT_EQ(H.Monitor->Count(), 1);
        const TApplicationItem* I = H.Monitor->Items(0);
        EXPECT_EQ(I->State, C.State);
        EXPECT_EQ(I->Panel, nullptr);
        EXPECT_FALSE(I->Bound);
        const std::uint32_t Pid = I->ProcessId;
        // Its only window closes while the process lives on.
        ASSERT_TRUE(H.RunUntil([&] { return H.Monitor->Count() == 0; }, 6000));
        EXPECT_TRUE(Running(Pid));
        EXPECT_FALSE(::IsWindowVisible(::FindWindowA("HosteeWindow", nullptr)));
    }

    // Another instance closing its last window leaves a started item that
    // has no window yet alone.
    TestHost H;
    H.Answer = caNo;
    Hostee Other("");
    const HWND W = Other.WaitWindow("HosteeWindow");
    ASSERT_NE(W, nullptr);
    {
        ScopedEnv O("HOSTEE_OPTIONS", "/delay=2500");
        ASSERT_TRUE(H.Open(HosteeExe(), 0));
    }
    const std::uint32_t Pid = H.ItemIn(0)->ProcessId;
    ASSERT_NE(Pid, Other.Pid);
    ::PostMessageA(W, WM_CLOSE, 0, 0);
    ASSERT_TRUE(H.RunUntil([&] { return !Other.Running() || !H.ItemIn(0); }, 5000));
    ASSERT_TRUE(H.RunUntil([&] { return !H.ItemIn(0) || H.BoundIn(0); }, 10000));
    ASSERT_NE(H.ItemIn(0), nullptr);
    EXPECT_EQ(H.ItemIn(0)->ProcessId, Pid);
}

TEST_F(MonitorTest, KeptItemIsReusedWithoutAStart)
{
    TestHost H;
    ASSERT_TRUE(H.Open(HosteeExe(), 0));
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
    TApplicationItem* I = H.ItemIn(0);
    const std::uint32_t Pid = I->ProcessId;
    const HWND W = I->Handle;
    // Its layout went; the program stays for the next one.
    I->Kept = true;
    I->ReleaseWindow();
    ASSERT_EQ(I->Panel, nullptr);

    EXPECT_TRUE(H.Open(HosteeExe(), 1));
    EXPECT_TRUE(H.Questions.empty());
    ASSERT_EQ(H.Monitor->Count(), 1);
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(1); }, 5000));
    EXPECT_EQ(H.ItemIn(1), I);
    EXPECT_EQ(I->ProcessId, Pid);
    EXPECT_EQ(I->Handle, W);
    EXPECT_EQ(::GetAncestor(W, GA_PARENT), H.Inner(1)->Handle());
}

// An edit rebuilds the database in another order: the kept item follows its
// entry (name, title and class), and never takes the window of what now
// stands at its old index.
TEST_F(MonitorTest, KeptItemIsFoundByItsEntryNotItsOldIndex)
{
    const struct {
        const char* Name;
        bool OpenHostee;  // else a running morvel.exe is opened
        const char* Title;  // of the rebuilt hostee entry
        bool Reused;
    } Rows[] = {{"its entry moved", true, "", true},
                {"another entry at its index", false, "", false},
                {"its entry's title changed", true, "\"Hostee\"", false}};
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        SetUp();
        TestHost H;
        H.Answer = caNo;
        ASSERT_TRUE(H.Open(HosteeExe(), 0));
        ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
        TApplicationItem* I = H.ItemIn(0);
        ASSERT_EQ(I->KnownIndex(), ePlain);
        I->Kept = true;
        I->ReleaseWindow();

        KnownApps.Clear();
        Add("Morvelindra", "", "bind", "morvel.exe");
        Add("Plain Hostee", "", "bind", "hostee.exe", R.Title);
        Hostee Other("", Dir() + "morvel.exe");
        ASSERT_NE(Other.WaitWindow("HosteeWindow"), nullptr);

        H.Open(R.OpenHostee ? HosteeExe() : Dir() + "morvel.exe", 1);
        EXPECT_EQ(I->Panel == H.Inner(1), R.Reused);
        if (R.Reused) {
            EXPECT_EQ(I->KnownIndex(), 1);
            ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(1); }, 5000));
            EXPECT_EQ(H.ItemIn(1), I);
        } else {
            EXPECT_EQ(I->Panel, nullptr);
            EXPECT_NE(H.ItemIn(1), I);
        }
    }
}

TEST_F(MonitorTest, ABoundWindowCountsAsARunningInstance)
{
    TestHost H;
    const std::string Once = Dir() + "oncehost.exe";
    ASSERT_TRUE(H.Open(Once, 0));
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
    const struct {
        Entry Known;
        int Expect;
    } Cases[] = {{eOnce, 1}, {ePlain, 0}, {eOutside, 0}};
    for (const auto& C : Cases)
        EXPECT_EQ(H.Monitor->CountAppInstances(C.Known), C.Expect) << C.Known;
    // Its process is bound, so there is nothing to take over: refused.
    EXPECT_FALSE(H.Open(Once, 1));
    EXPECT_TRUE(H.Questions.empty());
    EXPECT_EQ(H.Messages, std::vector<std::string>{"\"Once Hostee\" can only be opened 1 times!"});
    EXPECT_EQ(H.Monitor->Count(), 1);
}

TEST_F(MonitorTest, ForbiddenWindowIsNeitherFoundNorTaken)
{
    ASSERT_EQ(AddWindowRule(ForbiddenWindows, "\"hostee.exe\"", "", "\"HosteeSplash\""), ieOk);
    TestHost H;
    int BoundEvents = 0;
    H.Monitor->OnBound = [&](TApplicationItem&) { ++BoundEvents; };
    {
        ScopedEnv O("HOSTEE_OPTIONS", "/splash=3000");
        ASSERT_TRUE(H.Open(HosteeExe(), 0));
    }
    // However slowly the program starts.
    ASSERT_TRUE(H.RunUntil([] { return ::IsWindowVisible(::FindWindowA("HosteeSplash", nullptr)); }, 10000));
    EXPECT_EQ(H.ItemIn(0)->Handle, nullptr);
    TWindowItem* Rec = nullptr;
    EXPECT_FALSE(H.Monitor->FindAppWindow(ePlain, HosteeExe(), Rec, true));
    ASSERT_TRUE(H.Monitor->FindAppWindow(ePlain, HosteeExe(), Rec, false));
    EXPECT_EQ(Rec->ClassName, "HosteeSplash");

    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 10000));
    EXPECT_EQ(GetWindowTitle(H.ItemIn(0)->Handle), "Hostee");
    EXPECT_EQ(BoundEvents, 1);
}

TEST_F(MonitorTest, TickLooksAgainAtAListedWindowWithTheItemsOwnRules)
{
    TestHost H;
    H.CountTicks();
    Hostee Shown("");
    const HWND W = Shown.WaitWindow("HosteeWindow");
    ASSERT_NE(W, nullptr);
    H.Monitor->RefreshWindows();
    H.Monitor->AddItem(HosteeExe(), Shown.Pid, ePlain, H.Inner(0), false);
    // Rebuilt since: the entry's title rule no longer fits the window.
    KnownApps.Clear();
    Add("Plain Hostee", "", "bind", "hostee.exe", "\"Elsewhere\"");
    // Listed and unchanged: a pass alone binds nothing.
    H.Monitor->RefreshWindows();
    EXPECT_FALSE(H.BoundIn(0));
    ASSERT_TRUE(H.RunUntil([&] { return H.BoundIn(0); }, 5000));
    EXPECT_GE(H.TicksSince(), 1);
    EXPECT_EQ(H.ItemIn(0)->Handle, W);
}

}  // namespace
