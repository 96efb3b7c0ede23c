#include "toolkit/ActionList.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/ToolBar.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records what the toolbar asks it to draw.
struct DrawLog : ImageList {
    using ImageList::ImageList;
    bool OwnerDraw() const override { return true; }
    void DrawState(HDC, int, int, int Index, bool Enabled, bool, bool Checked) const override
    {
        Calls.push_back({Index, Enabled, Checked});
    }
    struct Call {
        int Index;
        bool Enabled, Checked;
    };
    mutable std::vector<Call> Calls;
};

class ToolBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FormArgs F;
        F.ClientWidth = 500;
        Main = new Form(&App, F);
        Images = new DrawLog(Main, ImageListArgs());
        for (int I = 0; I < 3; ++I)
            Images->AddPainted(RGB(255, 0, 255), [](HDC, const RECT&) {});
        Actions = new ActionList(Main, Images, false);
        ToolBarArgs T;
        T.Parent = Main;
        T.Images = Images;
        T.ShowCaptions = true;
        T.ButtonWidth = 94;
        T.ButtonHeight = 39;
        Bar = new ToolBar(Main, T);
        for (int I = 0; I < 2; ++I) {
            ActionArgs A;
            A.Caption = I == 0 ? "Add App." : "Remove App.";
            A.Hint = I == 0 ? "adds" : "removes";
            A.ImageIndex = I;
            A.HelpContext = 20 + I;
            Act[I] = new Action(Actions, A);
            Act[I]->OnExecute = [this, I](Action&) { ++Runs[I]; };
            ToolButtonArgs B;
            B.Action = Act[I];
            Buttons[I] = Bar->AddButton(B);
        }
        Bar->AddSeparator();
        ToolButtonArgs D;
        D.Caption = "More";
        D.ImageIndex = 2;
        D.Style = TToolButtonStyle::WholeDropDown;
        Drop = Bar->AddButton(D);
        Drop->OnDropDown = [this](ToolButton&, const RECT& R) { DropRect = R; };
        Main->Show();
    }
    void TearDown() override { delete Main; }

    void ClickAt(ToolButton* B)
    {
        const RECT R = B->ItemRect();
        const LPARAM P = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
        ::SendMessageA(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, P);
        ::SendMessageA(Bar->Handle(), WM_LBUTTONUP, 0, P);
    }
    LRESULT State(ToolButton* B) { return ::SendMessageA(Bar->Handle(), TB_GETSTATE, B->Id(), 0); }

    TApplication App;
    Form* Main = nullptr;
    DrawLog* Images = nullptr;
    ActionList* Actions = nullptr;
    ToolBar* Bar = nullptr;
    Action* Act[2] = {};
    ToolButton* Buttons[2] = {};
    ToolButton* Drop = nullptr;
    int Runs[2] = {};
    RECT DropRect = {};
};

TEST_F(ToolBarTest, ButtonsFollowTheirActionAndRunItWhenClicked)
{
    struct Case {
        const char* Name;
        bool Enabled, Checked, Visible, AutoCheck;
        bool Disable;  // OnUpdate turns the action off before it runs
        int Runs;
        bool CheckedAfter;
    } Cases[] = {
        {"plain", true, false, true, false, false, 1, false},
        {"disabled", false, false, true, false, false, 0, false},
        {"checked", true, true, true, false, false, 1, true},
        {"auto check", true, false, true, true, false, 1, true},
        {"update disables", true, false, true, false, true, 0, false},
        {"hidden", true, false, false, false, false, 0, false},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        Action* A = Act[0];
        Runs[0] = 0;
        A->SetEnabled(K.Enabled);
        A->SetChecked(K.Checked);
        A->SetVisible(K.Visible);
        A->AutoCheck = K.AutoCheck;
        A->OnUpdate = [&K](Action& S) { if (K.Disable) S.SetEnabled(false); };
        const LRESULT S = State(Buttons[0]);
        EXPECT_EQ((S & TBSTATE_ENABLED) != 0, K.Enabled);
        EXPECT_EQ((S & TBSTATE_CHECKED) != 0, K.Checked);
        EXPECT_EQ((S & TBSTATE_HIDDEN) != 0, !K.Visible);
        if (K.Visible)
            ClickAt(Buttons[0]);
        EXPECT_EQ(Runs[0], K.Runs);
        EXPECT_EQ((State(Buttons[0]) & TBSTATE_CHECKED) != 0, K.CheckedAfter);
        A->OnUpdate = nullptr;
    }
    Act[1]->SetCaption("Drop App.");
    char Text[64] = {};
    ::SendMessageA(Bar->Handle(), TB_GETBUTTONTEXTA, Buttons[1]->Id(), reinterpret_cast<LPARAM>(Text));
    EXPECT_STREQ(Text, "Drop App.");
    EXPECT_EQ(Bar->ContentHeight(), Bar->Height());
    EXPECT_EQ(Buttons[1]->ItemRect().right - Buttons[1]->ItemRect().left, 94);

    // A check button of its own flips and tells OnClick.
    ToolButtonArgs C;
    C.Style = TToolButtonStyle::Check;
    ToolButton* Check = Bar->AddButton(C);
    int Clicks = 0;
    Check->OnClick = [&](ToolButton& B) { Clicks += B.Checked() ? 1 : 10; };
    ClickAt(Check);
    ClickAt(Check);
    EXPECT_EQ(Clicks, 11);
    EXPECT_FALSE(State(Check) & TBSTATE_CHECKED);
}

// A button's hint shows after the pointer rests on it and goes when it
// leaves. No tool tip runs timers of its own: the control's own tip polls
// the pointer with them, waking the program ten times a second.
TEST_F(ToolBarTest, HintShowsWhileThePointerRestsWithoutPolling)
{
    ASSERT_NE(Bar->Hint(), nullptr);
    ::SetForegroundWindow(Main->Handle());
    const auto MoveTo = [this](ToolButton* B) {
        const RECT R = B->ItemRect();
        // The pointer itself, so that a tool tip of the control would show.
        POINT P = {(R.left + R.right) / 2, (R.top + R.bottom) / 2};
        ::ClientToScreen(Bar->Handle(), &P);
        ::SetCursorPos(P.x, P.y);
    };
    const auto Pump = [this](DWORD Ms, int& Timers) {
        const DWORD End = ::GetTickCount() + Ms;
        while (::GetTickCount() < End) {
            MSG M;
            while (::PeekMessageA(&M, nullptr, 0, 0, PM_REMOVE)) {
                Timers += M.message == WM_TIMER && !IsProgramWindow(M.hwnd);
                ::DispatchMessageA(&M);
            }
            ::Sleep(5);
        }
    };
    struct Row {
        const char* Name;
        ToolButton* Over;  // nullptr: the pointer leaves the bar
        const char* Text;
    } Rows[] = {
        {"first button", Buttons[0], "adds"},
        {"second button", Buttons[1], "removes"},
        {"separator", Bar->Button(2), ""},
        {"first again", Buttons[0], "adds"},
        {"left the bar", nullptr, ""},
    };
    for (const Row& R : Rows) {
        if (R.Over)
            MoveTo(R.Over);
        else {
            ::SetCursorPos(0, 0);
            ::SendMessageA(Bar->Handle(), WM_MOUSELEAVE, 0, 0);
        }
        int Timers = 0;
        Pump(THoverHint::InitialDelay + 300, Timers);
        EXPECT_EQ(Bar->Hint()->Text(), R.Text) << R.Name;
        EXPECT_EQ(Bar->Hint()->Shown(), *R.Text != 0) << R.Name;
        if (*R.Text) {
            char Shown[80] = {};
            TOOLINFOA Ti = {};
            Ti.cbSize = sizeof(Ti);
            Ti.hwnd = Bar->Handle();
            Ti.uId = 1;
            Ti.lpszText = Shown;
            ::SendMessageA(Bar->Hint()->TipWindow(), TTM_GETTEXTA, sizeof(Shown),
                           reinterpret_cast<LPARAM>(&Ti));
            EXPECT_STREQ(Shown, R.Text) << R.Name;
            EXPECT_TRUE(::IsWindowVisible(Bar->Hint()->TipWindow())) << R.Name;
            Pump(400, Timers);
        }
        EXPECT_EQ(Timers, 0) << R.Name;
    }
}

// A pointer resting on the bar wakes the program only at the bar's slow
// leave check; moving over another window of ours ends the hot button at
// once, leaving every window of ours within the check.
TEST_F(ToolBarTest, ThePointerRestingOnTheBarIsCheckedSlowly)
{
    ::SetForegroundWindow(Main->Handle());
    int Checks = 0;
    App.OnMessage = [&](MSG& M, bool&) { Checks += M.message == 0x0118 && M.hwnd == Bar->Handle(); };
    const auto RunFor = [this](DWORD Ms, const std::function<bool()>& Done) {
        // A thread timer wakes the loop to look at the clock.
        const UINT_PTR Clock = ::SetTimer(nullptr, 0, 10, nullptr);
        const DWORD End = ::GetTickCount() + Ms;
        App.RunModalLoop([&] { return Done() || ::GetTickCount() >= End; });
        ::KillTimer(nullptr, Clock);
    };
    const RECT B = Buttons[1]->ItemRect();
    POINT OnButton = {(B.left + B.right) / 2, (B.top + B.bottom) / 2}, Below = {B.left, 150},
          Outside = {0, 0};
    ::ClientToScreen(Bar->Handle(), &OnButton);
    ::ClientToScreen(Main->Handle(), &Below);
    struct Row {
        const char* Name;
        POINT At;
        DWORD Ms;
        int Hot;        // hot button after Ms, -1 none
        int MaxChecks;  // system timer messages to the bar meanwhile
    } Rows[] = {
        {"rests on a button", OnButton, 2100, 1, 3},
        {"moves over the form below", Below, 600, -1, 0},
        {"back on the button", OnButton, 600, 1, 1},
        {"leaves every window", Outside, THoverHint::LeaveCheckMs + 600, -1, 2},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Name);
        ::SetCursorPos(R.At.x, R.At.y);
        Checks = 0;
        // A row shorter than the slow check ends once the bar is as it
        // should be: at once, without it.
        RunFor(R.Ms, [&] {
            return R.Ms < THoverHint::LeaveCheckMs &&
                   ::SendMessageA(Bar->Handle(), TB_GETHOTITEM, 0, 0) == R.Hot;
        });
        EXPECT_EQ(::SendMessageA(Bar->Handle(), TB_GETHOTITEM, 0, 0), R.Hot);
        EXPECT_LE(Checks, R.MaxChecks);
    }
    App.OnMessage = nullptr;
}

TEST_F(ToolBarTest, HintsHelpContextsDropDownsAndOwnImages)
{
    struct Case {
        ToolButton* B;
        bool Has;
        int Help;
    } Cases[] = {{Buttons[0], true, 20}, {Buttons[1], true, 21}, {Bar->Button(2), false, 0}};
    for (const Case& K : Cases) {
        const RECT R = K.B->ItemRect();
        ToolbarItemInfo Info;
        EXPECT_EQ(Bar->ItemAtPoint(POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2}, Info), K.Has);
        EXPECT_EQ(Info.HelpContext, K.Help);
    }
    ClickAt(Drop);
    RECT Expect = Drop->ItemRect();
    ::MapWindowPoints(Bar->Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&Expect), 2);
    EXPECT_EQ(DropRect.left, Expect.left);
    EXPECT_EQ(DropRect.bottom, Expect.bottom);

    Act[1]->SetEnabled(false);
    Images->Calls.clear();
    ::RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(Images->Calls.size(), 3u);
    const bool Enabled[] = {true, false, true};
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Images->Calls[I].Index, I);
        EXPECT_EQ(Images->Calls[I].Enabled, Enabled[I]);
    }
    // A button outlives its action with the state last shown.
    delete Act[1];
    EXPECT_EQ(Buttons[1]->Caption(), "Remove App.");
    EXPECT_FALSE(Buttons[1]->Enabled());
}

}  // namespace
