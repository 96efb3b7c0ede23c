// The main window with the layout designer: the Layouts action opens it
// modally, a layout applied there is the main window's, and a free panel
// dragged on the main window is stored through it.
#include "hosting/AppPanel.h"
#include "hosting/IdentifyWin.h"
#include "hosting/confirmation.h"
#include "mainwindow/LayoutDesignerWin.h"
#include "mainwindow/main.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

TEST(MainWindowDesigner, LayoutsActionAppliesAndADraggedFreePanelIsStored)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tessarine\\Quorvan");
    SetFileProbe(&Win32FileProbe);
    TApplication App;
    auto* Main = new Tmainform(&App);
    App.MainForm = Main;
    auto* Designer = new Tlayoutsform(&App);
    new TConfirmationForm(&App);
    Main->Show();
    PumpUntil([&] { return !Main->FirstActivate; }, 3000);
    Main->FormActivate();
    // The stored state is read in steps: all of it now.
    Main->CompleteStartup();
    ASSERT_NE(Designer->Designer(), nullptr);
    TLayoutTree& Tree = Main->Layouts->Tree;
    const TNodeId L = Tree.CreateLayoutNode("Free", nkLayout);
    Tree.AddNode(L, "Panel; Left; 30%", nkPanel);
    const TNodeId C = Tree.AddNode(L, "Panel; Centered; 50%; 50%", nkPanel);

    // In the designer: select the layout, then apply it (which closes it).
    int Step = 0;
    Timer Script(&App, 30);
    Script.OnTimer = [&] {
        if (!::IsWindowVisible(Designer->Handle()))
            return;
        if (Step++ == 0) {
            ::SendMessageA(Designer->LayoutsTreeView->Handle(), TVM_SELECTITEM, TVGN_CARET,
                           reinterpret_cast<LPARAM>(Designer->ItemOfNode(L)));
            return;
        }
        Designer->Actions[daApplyLayout]->Execute();
    };
    const RECT B = Main->LayoutsButton->ItemRect();
    const LPARAM P = MAKELPARAM(B.left + 5, (B.top + B.bottom) / 2);
    ::SendMessageA(Main->ToolBar1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, P);
    ::SendMessageA(Main->ToolBar1->Handle(), WM_LBUTTONUP, 0, P);
    ASSERT_TRUE(PumpUntil([&] { return Main->Layouts->AppliedLayout() == L; }, 5000));
    EXPECT_EQ(Main->Busy, 0);

    // The real pointer goes where each posted press or move goes. The X
    // server sends moves of its own (when the closing designer uncovers the
    // panels under the pointer, at any time under load); with the capture
    // on the host they are drag steps, which must then repeat the posted
    // point instead of dragging towards wherever the pointer happens to be.
    const auto PointerAt = [&](HWND Wnd, int X, int Y) {
        POINT P{X, Y};
        ::ClientToScreen(Wnd, &P);
        ::SetCursorPos(P.x, P.y);
        PumpUntil([&] {
            POINT Now;
            return ::GetCursorPos(&Now) && Now.x == P.x && Now.y == P.y;
        }, 2000);
        App.ProcessMessages();
    };

    // Drag the centred panel by (30, 20) from inside: stored as custom.
    TAppPanel* Panel = Tree.Data(C);
    ASSERT_NE(Panel, nullptr);
    const RECT Before = Panel->BoundsRect();
    // Pressed at (40, 40) of the inner panel: 45 from the host panel's corner.
    const int X = Before.left + 45 + 30, Y = Before.top + 45 + 20;
    HWND Host = Main->mainpanel->Handle();
    PointerAt(Panel->ClientPanel->Handle(), 40, 40);
    ::PostMessageA(Panel->ClientPanel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 40));
    App.ProcessMessages();
    EXPECT_TRUE(Main->Dragging);
    EXPECT_EQ(::GetCapture(), Host);
    PointerAt(Host, X, Y);
    ::PostMessageA(Host, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(X, Y));
    ::PostMessageA(Host, WM_LBUTTONUP, 0, MAKELPARAM(X, Y));
    App.ProcessMessages();
    EXPECT_FALSE(Main->Dragging);
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(Tree.Text(C).rfind("Panel; Custom;", 0), 0u) << Tree.Text(C);
    const RECT After = Panel->BoundsRect();
    // Stored in whole per cent of the client panel: within 1 % of the drop.
    const RECT Client = Main->mainpanel->ClientRect();
    EXPECT_NEAR(After.left, Before.left + 30, Client.right / 100 + 1);
    EXPECT_NEAR(After.top, Before.top + 20, Client.bottom / 100 + 1);
    EXPECT_NEAR(After.right - After.left, Before.right - Before.left, Client.right / 100 + 1);

    // The docked panel's inner edge dragged 40 to the right (above the
    // free panel); a larger window puts it back at its 30 %.
    TAppPanel* Docked = Tree.Data(Tree.Children(L)[0]);
    const RECT D = Docked->BoundsRect();
    PointerAt(Host, D.right + 38, 10);
    ::PostMessageA(Host, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(D.right - 2, 10));
    ::PostMessageA(Host, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(D.right + 38, 10));
    ::PostMessageA(Host, WM_LBUTTONUP, 0, MAKELPARAM(D.right + 38, 10));
    App.ProcessMessages();
    EXPECT_EQ(Docked->BoundsRect().right, D.right + 40);
    EXPECT_EQ(Tree.Text(Tree.Children(L)[0]), "Panel; Left; 30%");
    RECT W;
    ::GetWindowRect(Main->Handle(), &W);
    ::SetWindowPos(Main->Handle(), nullptr, 0, 0, W.right - W.left + 100, W.bottom - W.top,
                   SWP_NOMOVE | SWP_NOZORDER);
    App.ProcessMessages();
    const RECT Wider = Main->mainpanel->ClientRect();
    EXPECT_NEAR(Docked->BoundsRect().right, Wider.right * 3 / 10, 1);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tessarine\\Quorvan");
}
