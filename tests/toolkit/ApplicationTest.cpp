#include "toolkit/Application.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Form.h"
#include "toolkit/Timer.h"
#include "ShownMainForm.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

const UINT WM_TEST = WM_APP + 1;

TEST(ApplicationTest, IdleRunsOncePerEmptyQueueAndLoopSleeps)
{
    TApplication App;
    FormArgs A;
    Form Main(&App, A);
    App.MainForm = &Main;
    int Idle = 0, Seen = 0;
    App.OnMessage = [&](MSG& M, bool&) {
        if (M.message == WM_TEST)
            ++Seen;
    };
    // Post three messages at once, then a timer ends the run after 300 ms.
    for (int I = 0; I < 3; ++I)
        ::PostMessageA(Main.Handle(), WM_TEST, 0, 0);
    Timer Stop(&App, 300);
    Stop.OnTimer = [&] { App.Terminate(); };
    App.AddIdleHandler([&] { ++Idle; });
    App.Run();
    EXPECT_EQ(Seen, 3);
    // A spinning loop would call the handler thousands of times in 300 ms.
    EXPECT_GE(Idle, 1);
    EXPECT_LT(Idle, 50);
}

// A wake-up that runs none of the program's code (the system's mouse
// tracking, a tool tip's own timer) is followed by no idle pass; every
// other one is, once the queue is empty.
TEST(ApplicationTest, IdlePassFollowsOnlyWakeUpsThatCanChangeSomething)
{
    TApplication App;
    FormArgs A;
    Form Main(&App, A);
    // A window of a system class that the program does not wrap.
    HWND Foreign = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, Main.Handle(),
                                     nullptr, nullptr, nullptr);
    ASSERT_NE(Foreign, nullptr);
    const UINT WM_SYSTIMER = 0x0118;
    struct Row {
        const char* Name;
        UINT Message;
        bool ToProgramWindow;
        int Passes;
    };
    const Row Rows[] = {
        {"system timer (mouse tracking)", WM_SYSTIMER, false, 0},
        {"system timer to a window of ours", WM_SYSTIMER, true, 0},
        {"timer of a window not ours (tool tip)", WM_TIMER, false, 0},
        {"paint of a window not ours", WM_PAINT, false, 0},
        {"timer of ours", WM_TIMER, true, 1},
        {"paint of ours", WM_PAINT, true, 1},
        {"mouse move to a window not ours", WM_MOUSEMOVE, false, 1},
        {"message of another kind", WM_TEST, false, 1},
    };
    int Idle = 0, Seen = 0;
    App.AddIdleHandler([&] { ++Idle; });
    App.OnMessage = [&](MSG&, bool& Handled) {
        ++Seen;
        Handled = true;  // counted, not dispatched
    };
    // Runs until the posted messages are taken and the queue was found
    // empty once more (the loop then ran its idle step).
    const auto Drain = [&](int Posted) {
        int EmptyChecks = 0;
        App.RunModalLoop([&] { return Seen >= Posted && EmptyChecks++ >= 1; });
    };
    Drain(0);
    for (const Row& R : Rows) {
        Seen = Idle = 0;
        HWND Target = R.ToProgramWindow ? Main.Handle() : Foreign;
        for (int I = 0; I < 5; ++I)
            ::PostMessageA(Target, R.Message, 0x1234, 0);
        Drain(5);
        EXPECT_EQ(Seen, 5) << R.Name;
        EXPECT_EQ(Idle, R.Passes) << R.Name;
    }
    ::DestroyWindow(Foreign);
}

// A quiet timer's ticks run the idle handlers only when its handler asks.
TEST(ApplicationTest, QuietTimerTicksRunIdleHandlersOnlyWhenAsked)
{
    TApplication App;
    for (const bool Asks : {false, true}) {
        int Idle = 0, Ticks = 0;
        const int Id = App.AddIdleHandler([&] { ++Idle; });
        {
            int EmptyChecks = 0;
            App.RunModalLoop([&] { return EmptyChecks++ >= 1; });
        }
        Idle = 0;
        Timer T(&App, 20);
        T.QuietTicks = true;
        T.OnTimer = [&] {
            ++Ticks;
            if (Asks)
                App.IdleNeeded();
        };
        App.RunModalLoop([&] { return Ticks >= 5; });
        EXPECT_EQ(Idle, Asks ? 4 : 0) << Asks;
        App.RemoveIdleHandler(Id);
    }
}

TEST(ApplicationTest, IdleHandlerRemovedByAnotherDoesNotRun)
{
    TApplication App;
    int Second = 0, First = 0;
    int SecondId = 0;
    App.AddIdleHandler([&] {
        ++First;
        App.RemoveIdleHandler(SecondId);
        App.Terminate();
    });
    SecondId = App.AddIdleHandler([&] { ++Second; });
    App.Run();
    EXPECT_EQ(First, 1);
    EXPECT_EQ(Second, 0);
}

TEST(ApplicationTest, ProcessMessagesDispatchesWithoutIdle)
{
    TApplication App;
    FormArgs A;
    Form Main(&App, A);
    int Idle = 0, Seen = 0;
    App.AddIdleHandler([&] { ++Idle; });
    App.OnMessage = [&](MSG& M, bool&) {
        if (M.message == WM_TEST)
            ++Seen;
    };
    for (int I = 0; I < 5; ++I)
        ::PostMessageA(Main.Handle(), WM_TEST, 0, 0);
    App.ProcessMessages();
    EXPECT_EQ(Seen, 5);
    EXPECT_EQ(Idle, 0);
}

TEST(ApplicationTest, HookCanSwallowAMessage)
{
    TApplication App;
    FormArgs A;
    Form Main(&App, A);
    bool Closed = false;
    Main.OnClose = [&](TCloseAction&) { Closed = true; };
    App.OnMessage = [&](MSG& M, bool& Handled) { Handled = M.message == WM_CLOSE; };
    ::PostMessageA(Main.Handle(), WM_CLOSE, 0, 0);
    App.ProcessMessages();
    EXPECT_FALSE(Closed);
    App.OnMessage = nullptr;
    ::PostMessageA(Main.Handle(), WM_CLOSE, 0, 0);
    App.ProcessMessages();
    EXPECT_TRUE(Closed);
}

TEST(ApplicationTest, ModalLoopRunsIdleHandlersAndReturnsResult)
{
    ShownMainForm S;
    TApplication& App = S.App;
    Form& Main = S.Main;
    Form Dialog(&App, S.Args);
    int Idle = 0;
    bool MainDisabledDuringModal = false;
    App.AddIdleHandler([&] {
        ++Idle;
        MainDisabledDuringModal = !::IsWindowEnabled(Main.Handle());
    });
    Timer Answer(&App, 100);
    Answer.OnTimer = [&] { Dialog.ModalResult = mrYes; };
    EXPECT_EQ(Dialog.ShowModal(), mrYes);
    EXPECT_GE(Idle, 1);
    EXPECT_TRUE(MainDisabledDuringModal);
    EXPECT_TRUE(::IsWindowEnabled(Main.Handle()));
    EXPECT_FALSE(::IsWindowVisible(Dialog.Handle()));
}

TEST(ApplicationTest, ClosingMainFormEndsRunOtherFormsOnlyHide)
{
    TApplication App;
    FormArgs A;
    Form Main(&App, A);
    App.MainForm = &Main;
    Form Other(&App, A);
    Main.Show();
    Other.Show();
    ::PostMessageA(Other.Handle(), WM_CLOSE, 0, 0);
    App.ProcessMessages();
    EXPECT_FALSE(::IsWindowVisible(Other.Handle()));
    EXPECT_TRUE(::IsWindow(Other.Handle()));
    EXPECT_FALSE(App.Terminated());

    bool Asked = false;
    Main.OnCloseQuery = [&](bool& CanClose) {
        CanClose = Asked;
        Asked = true;
    };
    ::PostMessageA(Main.Handle(), WM_CLOSE, 0, 0);  // refused
    ::PostMessageA(Main.Handle(), WM_CLOSE, 0, 0);  // allowed
    Timer Guard(&App, 2000);
    Guard.OnTimer = [&] { App.Terminate(); };
    App.Run();
    EXPECT_TRUE(Asked);
    EXPECT_TRUE(App.Terminated());
}

TEST(ApplicationTest, TimerStopsWhenDisabledAndExceptionsAreCaught)
{
    TApplication App;
    std::string Caught;
    App.OnException = [&](const std::exception* E) { Caught = E ? E->what() : "?"; };
    int Ticks = 0;
    Timer T(&App, 20);
    T.OnTimer = [&] {
        if (++Ticks == 2) {
            T.SetEnabled(false);
            throw std::runtime_error("tick failed");
        }
    };
    // Until the failing tick, then a while longer: a disabled timer is quiet.
    DWORD Start = ::GetTickCount();
    while (Caught.empty() && ::GetTickCount() - Start < 10000)
        App.ProcessMessages(), ::Sleep(5);
    Start = ::GetTickCount();
    while (::GetTickCount() - Start < 200)
        App.ProcessMessages(), ::Sleep(5);
    EXPECT_EQ(Ticks, 2);
    EXPECT_EQ(Caught, "tick failed");
}

TEST(ApplicationTest, ModalLoopEndedByAnIdleHandlerReturnsWithoutAnotherMessage)
{
    TApplication App;
    bool Ended = false;
    App.AddIdleHandler([&] { Ended = true; });
    // Only this timer would wake a loop that went back to sleep.
    Timer Guard(&App, 3000);
    Guard.OnTimer = [&] { App.Terminate(); };
    const DWORD Start = ::GetTickCount();
    App.RunModalLoop([&] { return Ended; });
    EXPECT_TRUE(Ended);
    EXPECT_FALSE(App.Terminated());
    EXPECT_LT(::GetTickCount() - Start, 1500u);
}

TEST(ApplicationTest, MessageBoxesAreOwnedByTheMainFormNotTheActiveWindow)
{
    // Another program's window may be the active one; a box it owned (or one
    // without owner) would leave the main form enabled under the box.
    // Where the box is shown from: the main form only; a modal form of ours,
    // which then owns the box; a popup of the main form that was active last
    // but is disabled now, which must not own it.
    enum class From { Main, ModalForm, DisabledPopup };
    struct Case {
        const char* Name;
        std::function<void()> Show;
        From Place;
    };
    const std::runtime_error Failure("failed");
    const Case Cases[] = {
        {"ShowMessage", [] { ShowMessage("text"); }, From::Main},
        {"MessageDlg", [] { MessageDlg("question", MB_ICONQUESTION, MB_YESNO); }, From::Main},
        {"ShowException", [&] { Application->ShowException(&Failure); }, From::Main},
        {"ShowMessage over a modal form", [] { ShowMessage("text"); }, From::ModalForm},
        {"ShowMessage over a disabled popup", [] { ShowMessage("text"); }, From::DisabledPopup},
    };
    for (const Case& C : Cases) {
        ShownMainForm S;
        TApplication& App = S.App;
        Form& Main = S.Main;
        Form Dialog(&App, S.Args);
        if (C.Place == From::DisabledPopup) {
            Dialog.Show();
            ::SetActiveWindow(Dialog.Handle());
            ::EnableWindow(Dialog.Handle(), FALSE);
            ASSERT_EQ(::GetLastActivePopup(Main.Handle()), Dialog.Handle()) << C.Name;
        }
        HWND Other = ::CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                       200, 100, nullptr, nullptr, nullptr, nullptr);
        ::SetForegroundWindow(Other);
        ::SetActiveWindow(Other);
        ASSERT_EQ(::GetActiveWindow(), Other) << C.Name;
        HWND Owner = nullptr;
        bool MainEnabled = true, Seen = false;
        Timer Inspect(&App, 30);
        Inspect.OnTimer = [&] {
            HWND Box = MessageBoxWindow();
            if (!Box || Seen)
                return;
            Seen = true;
            Owner = ::GetWindow(Box, GW_OWNER);
            MainEnabled = ::IsWindowEnabled(Main.Handle()) != FALSE;
            ::PostMessageA(Box, WM_COMMAND, IDOK, 0);
            ::PostMessageA(Box, WM_COMMAND, IDNO, 0);
        };
        if (C.Place == From::ModalForm) {
            Timer Once(&App, 30);
            Once.OnTimer = [&] {
                Once.SetEnabled(false);
                C.Show();
                Dialog.ModalResult = mrOk;
            };
            Dialog.ShowModal();
        } else {
            C.Show();
        }
        EXPECT_TRUE(Seen) << C.Name;
        EXPECT_EQ(Owner, C.Place == From::ModalForm ? Dialog.Handle() : Main.Handle()) << C.Name;
        EXPECT_FALSE(MainEnabled) << C.Name;
        EXPECT_TRUE(::IsWindowEnabled(Main.Handle())) << C.Name;
        ::DestroyWindow(Other);
    }
}

}  // namespace
