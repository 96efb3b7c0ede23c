#include "hosting/HelpRouting.h"

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Panel.h"
#include "toolkit/ToolbarHitTest.h"

#include <gtest/gtest.h>

namespace {

POINT CentreOnScreen(Control* C)
{
    RECT R;
    ::GetWindowRect(C->Handle(), &R);
    return POINT{(R.left + R.right) / 2, (R.top + R.bottom) / 2};
}

class HelpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        App.SetTitle("help test");
        FormArgs A;
        A.Caption = "help";
        A.ClientWidth = 300;
        A.ClientHeight = 200;
        Main = new Form(&App, A);
        PanelArgs P;
        P.Parent = Main;
        P.Width = 200;
        P.Height = 150;
        Outer = new Panel(Main, P);
        P.Parent = Outer;
        P.Left = 50;
        P.Top = 50;
        P.Width = 60;
        P.Height = 30;
        Button = new Panel(Outer, P);
        Main->Show();
    }
    void TearDown() override { delete Main; }

    TApplication App;
    Form* Main = nullptr;
    Panel* Outer = nullptr;
    Panel* Button = nullptr;
};

TEST_F(HelpTest, InnermostNonZeroContextWins)
{
    struct Case {
        int FormCtx, PanelCtx, ButtonCtx, Expect;
    } Cases[] = {
        {1, 2, 3, 3}, {1, 2, 0, 2}, {1, 0, 0, 1}, {0, 0, 0, 0}, {1, 0, 3, 3},
    };
    for (const Case& C : Cases) {
        Main->HelpContext = C.FormCtx;
        Outer->HelpContext = C.PanelCtx;
        Button->HelpContext = C.ButtonCtx;
        EXPECT_EQ(HelpContextAtPoint(Main, CentreOnScreen(Button)), C.Expect)
            << C.FormCtx << "/" << C.PanelCtx << "/" << C.ButtonCtx;
    }
    EXPECT_EQ(HelpContextAtPoint(nullptr, POINT{0, 0}), 0);
}

TEST_F(HelpTest, DisabledChildStillAnswersHiddenOneDoesNot)
{
    Main->HelpContext = 1;
    Outer->HelpContext = 2;
    Button->HelpContext = 3;
    const POINT P = CentreOnScreen(Button);
    Button->SetEnabled(false);
    EXPECT_EQ(HelpContextAtPoint(Main, P), 3);
    Button->SetVisible(false);
    EXPECT_EQ(HelpContextAtPoint(Main, P), 2);
}

class FakeToolbar : public Panel, public ToolbarHitTest {
public:
    FakeToolbar(Component* Owner, const PanelArgs& Args) : Panel(Owner, Args) {}
    bool ItemAtPoint(POINT, ToolbarItemInfo& Out) const override
    {
        Out = Info;
        return Viewer;
    }
    bool Viewer = true;
    ToolbarItemInfo Info;
};

TEST_F(HelpTest, ToolbarItemsAnswerForTheToolbar)
{
    PanelArgs P;
    P.Parent = Main;
    P.Left = 210;
    P.Width = 80;
    P.Height = 30;
    auto* Bar = new FakeToolbar(Main, P);
    PanelArgs HostedArgs;
    HostedArgs.Visible = false;
    Panel Hosted(Main, HostedArgs);
    Bar->HelpContext = 10;
    const POINT At = CentreOnScreen(Bar);
    struct Case {
        bool Viewer, HasItem, IsControl;
        Control* HostedControl;
        int HostedCtx, ItemCtx, Expect;
    } Cases[] = {
        {false, false, false, nullptr, 0, 0, 10},   // no viewer
        {true, false, false, nullptr, 0, 0, 10},    // viewer without an item
        {true, true, false, nullptr, 0, 22, 22},    // ordinary item
        {true, true, false, nullptr, 0, 0, 10},     // item without context
        {true, true, true, &Hosted, 33, 22, 33},    // control item: its control's context
        {true, true, true, &Hosted, 0, 22, 10},     // ... zero: the toolbar's, not the item's
        {true, true, true, nullptr, 0, 22, 10},     // control item hosting nothing
    };
    for (const Case& C : Cases) {
        Bar->Viewer = C.Viewer;
        Bar->Info.HasItem = C.HasItem;
        Bar->Info.IsControlItem = C.IsControl;
        Bar->Info.HostedControl = C.HostedControl;
        Bar->Info.HelpContext = C.ItemCtx;
        Hosted.HelpContext = C.HostedCtx;
        EXPECT_EQ(HelpContextAtPoint(Main, At), C.Expect);
    }
}

TEST_F(HelpTest, CursorReachesVisibleControlsOnly)
{
    PanelArgs P;
    P.Parent = Outer;
    P.Visible = false;
    auto* Hidden = new Panel(Outer, P);
    P.Parent = Hidden;
    P.Visible = true;
    auto* InsideHidden = new Panel(Hidden, P);
    HCURSOR Wait = ::LoadCursorA(nullptr, IDC_WAIT);
    SetCursorRecursive(Main, Wait);
    EXPECT_EQ(Main->Cursor, Wait);
    EXPECT_EQ(Outer->Cursor, Wait);
    EXPECT_EQ(Button->Cursor, Wait);
    EXPECT_EQ(Hidden->Cursor, nullptr);
    EXPECT_EQ(InsideHidden->Cursor, nullptr);
    SetCursorRecursive(nullptr, Wait);  // harmless
}

TEST_F(HelpTest, HelpFileExtensionChoosesTheHelpSystem)
{
    bool CallHelp = true;
    App.HelpFile = "C:\\nowhere\\quorvan.txt";
    EXPECT_FALSE(HandleHelpRequest(HELP_CONTEXT, 5, CallHelp));
    EXPECT_FALSE(CallHelp);
    EXPECT_EQ(::GetModuleHandleA("hhctrl.ocx"), nullptr);

    // Lower-case ".chm" still goes to HTML Help, which is loaded only now.
    CallHelp = true;
    App.HelpFile = "C:\\nowhere\\quorvan.chm";
    HandleHelpRequest(HELP_CONTEXT, 5, CallHelp);
    EXPECT_FALSE(CallHelp);
    EXPECT_NE(::GetModuleHandleA("hhctrl.ocx"), nullptr);
}

}  // namespace
