#include "mainwindow/BorderDragWin.h"
#include "mainwindow/LayoutDesignerWin.h"

#include "hosting/TestHost.h"
#include "HintSupport.h"
#include "../../bench/PngShot.h"

#include "HosteeLayoutSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

// The main window's part: its client panel with the applied layout's host
// panels, border dragging on them, and the designer over the same layouts.
class DesignerWinTest : public HosteeKnownTest {
protected:
    void SetUp() override
    {
        HosteeKnownTest::SetUp();
        for (TAppPanel* P : H.Hosts)
            delete P;
        H.Hosts.clear();
        H.PanelTexts.clear();
        PanelArgs A;
        A.Parent = H.Main;
        A.Width = 600;
        A.Height = 260;
        MainPanel = new Panel(H.Main, A);
        Host.HostControl = MainPanel;
        Host.HomeParent = H.Main;
        Host.Monitor = H.Monitor.get();
        Host.Confirmation = H.Confirm;
        Host.AppList = &Apps;
        Drag = std::make_unique<TBorderDragWin>(L.Tree, *MainPanel);
        Host.OnPanelCreated = [this](TAppPanel& P) {
            P.OnMouseDown = [this](Control& S, TMouseButton B, TShiftState, int X, int Y) {
                Drag->PanelMouseDown(S, B, X, Y);
            };
            P.OnMouseUp = [this](Control& S, TMouseButton B, TShiftState, int X, int Y) {
                Drag->PanelMouseUp(S, B, X, Y);
            };
        };
        MainPanel->OnMouseMove = [this](Control&, TShiftState, int X, int Y) {
            Drag->HostMouseMove(X, Y);
        };
        MainPanel->OnMouseUp = [this](Control&, TMouseButton B, TShiftState, int X, int Y) {
            Drag->HostMouseUp(B, X, Y);
        };
        L.HasHost = true;
        Designer = new Tlayoutsform(&H.App);
        Designer->Attach(L, &Apps);
        Drag->Dragger.OnStorePosition = [this](TNodeId N) {
            Designer->StorePanelPosition(N, Drag->Bounds);
        };
    }
    void TearDown() override
    {
        delete Designer;
        Drag.reset();
        HosteeKnownTest::TearDown();
    }
    // Runs the loop until the designer's idle pass has refreshed all.
    void Idle()
    {
        H.RunUntil([&] { return !L.RefreshEditor && !L.RefreshPreview; }, 2000);
    }
    TNodeId AddLayout(const char* Name, std::initializer_list<const char*> Panels)
    {
        const TNodeId N = L.Tree.AddNode(NoNode, Name, nkLayout);
        for (const char* P : Panels)
            L.Tree.AddNode(N, P, nkPanel);
        return N;
    }
    RECT Bounds(TNodeId N) const { return L.Tree.Data(N)->BoundsRect(); }
    void Select(TNodeId N)
    {
        ::SendMessageA(Designer->LayoutsTreeView->Handle(), TVM_SELECTITEM, TVGN_CARET,
                       reinterpret_cast<LPARAM>(Designer->ItemOfNode(N)));
        Idle();
    }
    void Press(ToolBar* Bar, TDesignerAction A)
    {
        for (int I = 0; I < Bar->ButtonCount(); ++I)
            if (&Bar->Button(I)->GetAction() == Designer->Actions[A]) {
                const RECT R = Bar->Button(I)->ItemRect();
                const LPARAM P = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
                ::SendMessageA(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, P);
                ::SendMessageA(Bar->Handle(), WM_LBUTTONUP, 0, P);
            }
        Idle();
    }
    void Post(HWND Wnd, UINT Msg, WPARAM Keys, int X, int Y)
    {
        ::PostMessageA(Wnd, Msg, Keys, MAKELPARAM(X, Y));
        H.App.ProcessMessages();
    }

    TestHost H{1};
    Panel* MainPanel = nullptr;
    ListedHostee Apps;
    TLayoutHostWin Host;
    TLayouts L{Host};
    std::unique_ptr<TBorderDragWin> Drag;
    Tlayoutsform* Designer = nullptr;
};

} // namespace

TEST_F(DesignerWinTest, PostedMouseMessagesDragBordersAndStoreFreePanels)
{
    // Press on a host panel (its own coordinates), move and release on the
    // client panel, which holds the capture meanwhile.
    struct Row {
        const char* Second;
        bool OnInner;  // press on the inner panel, not the bevel
        POINT Press, MoveTo;
        RECT First, SecondAfter;
        const char* SecondText;
    };
    const Row Rows[] = {
        // The border between two docked panels (second panel's left edge).
        {"Panel; Left", false, {1, 100}, {221, 120}, {0, 0, 220, 260}, {220, 0, 601, 260},
         "Panel; Left"},
        // A centred panel moved as a whole is stored as custom per cent.
        {"Panel; Centered; 50%; 50%", true, {100, 60}, {295, 160}, {0, 0, 180, 260},
         {186, 94, 487, 224}, "Panel; Custom; 31%; 36%; 50%; 50%"},
        // A plain click stores nothing.
        {"Panel; Centered; 50%; 50%", true, {100, 60}, {-1, -1}, {0, 0, 180, 260},
         {150, 65, 450, 195}, "Panel; Centered; 50%; 50%"},
    };
    for (const Row& R : Rows) {
        const TNodeId Layout = AddLayout("Drag", {"Panel; Left; 30%", R.Second});
        ASSERT_TRUE(L.ApplyLayout(Layout));
        const TNodeId First = L.Tree.Children(Layout)[0], Second = L.Tree.Children(Layout)[1];
        TAppPanel* P = L.Tree.Data(Second);
        Post(R.OnInner ? P->ClientPanel->Handle() : P->Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
             R.Press.x, R.Press.y);
        EXPECT_EQ(::GetCapture(), MainPanel->Handle()) << R.Second;
        if (R.MoveTo.x >= 0)
            Post(MainPanel->Handle(), WM_MOUSEMOVE, MK_LBUTTON, R.MoveTo.x, R.MoveTo.y);
        Post(MainPanel->Handle(), WM_LBUTTONUP, 0, R.MoveTo.x, R.MoveTo.y);
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_TRUE(SameRect(Bounds(First), R.First)) << R.Second;
        EXPECT_TRUE(SameRect(Bounds(Second), R.SecondAfter)) << R.Second;
        EXPECT_EQ(L.Tree.Text(Second), R.SecondText);
        L.SetAppliedLayout(NoNode);
        L.Tree.Delete(Layout);
    }
}

TEST_F(DesignerWinTest, TheDesignersEditsReachTheAppliedLayout)
{
    const TNodeId Layout = AddLayout("Work", {"Panel; Left"});
    ASSERT_TRUE(L.ApplyLayout(Layout));
    // Prepared in quiet moments, the application box too.
    while (Designer->PrepareStep()) {
    }
    EXPECT_EQ(Designer->AppComboBox->Count(), 2);
    Designer->FillAppCombo("");
    Designer->Show();
    // Up to date as it shows, before an idle pass: painted once.
    EXPECT_EQ(Designer->LayoutsTreeView->ItemText(Designer->ItemOfNode(Layout)), "Work");
    EXPECT_FALSE(L.RefreshEditor);
    Idle();
    Select(Layout);
    EXPECT_EQ(Designer->Actions[daApplyLayout]->Caption(), "Restore layout");
    Press(Designer->LayoutToolbar, daAddChildPanel);
    ASSERT_EQ(L.Tree.Children(Layout).size(), 2u);
    const TNodeId A = L.Tree.Children(Layout)[0], B = L.Tree.Children(Layout)[1];
    EXPECT_EQ(MainPanel->Controls().size(), 2u);
    EXPECT_TRUE(SameRect(Bounds(B), RECT{300, 0, 601, 260}));

    // Rotating turns the group; the host panels follow: (node, text, rect).
    Select(A);
    Press(Designer->PanelToolbar, daRotateClockwize);
    EXPECT_EQ(L.Tree.Text(A), "Panel; Top");
    EXPECT_TRUE(SameRect(Bounds(B), RECT{0, 130, 600, 261}));
    Press(Designer->PanelToolbar, daPercentage);
    ::PostMessageA(Designer->PercentUpDowns[peHeight]->Handle(), WM_LBUTTONDOWN, MK_LBUTTON,
                   MAKELPARAM(5, 3));
    ::PostMessageA(Designer->PercentUpDowns[peHeight]->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 3));
    H.RunUntil([&] { return L.Tree.Text(A) != "Panel; Top; 0%"; }, 2000);
    EXPECT_EQ(L.Tree.Text(A), "Panel; Top; 1%");
    EXPECT_EQ(Designer->PercentEdits[peHeight]->Text(), "1");

    // Renaming: the separator typed is dropped, and a message box tells why.
    Select(Layout);
    HWND Name = Designer->layoutname_edit->Handle();
    ::SendMessageA(Name, EM_SETSEL, 0, -1);
    const std::size_t Told = H.Messages.size();
    for (const char C : std::string("Ma|in"))
        ::PostMessageA(Name, WM_CHAR, static_cast<unsigned char>(C), 0);
    H.App.ProcessMessages();
    Idle();
    EXPECT_EQ(L.Tree.Text(Layout), "Main");
    EXPECT_EQ(std::vector<std::string>(H.Messages.begin() + static_cast<std::ptrdiff_t>(Told), H.Messages.end()),
              std::vector<std::string>{UnstorableLayoutNameMessage("Ma|")});
    EXPECT_EQ(Designer->LayoutsTreeView->ItemText(Designer->ItemOfNode(Layout)), "Main");

    // Choosing the application starts it into the panel.
    Select(B);
    ComboBox* Combo = Designer->AppComboBox;
    ASSERT_EQ(Combo->Count(), 2);
    ::SendMessageA(Combo->Handle(), CB_SETCURSEL, 1, 0);
    ::SendMessageA(::GetParent(Combo->Handle()), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Combo->Handle()));
    H.NoteProcesses();
    EXPECT_EQ(L.Tree.Text(B), "\"Plain Hostee\"; Top");
    EXPECT_EQ(L.Tree.Kind(B), nkApp);
    TAppPanel* Panel = L.Tree.Data(B);
    ASSERT_TRUE(H.RunUntil([&] {
        const TApplicationItem* I = H.Monitor->FindItemByPanel(Panel->ClientPanel);
        return I && I->Bound;
    }, 10000));
    H.NoteProcesses();
    EXPECT_EQ(::GetAncestor(H.Monitor->FindItemByPanel(Panel->ClientPanel)->Handle, GA_PARENT),
              Panel->ClientPanel->Handle());

    // A centred panel floats over the group, in the preview too.
    Select(A);
    Press(Designer->PanelToolbar, daCenter);
    EXPECT_EQ(L.Tree.Text(A), "Panel; Centered; 75%; 50%");
    EXPECT_TRUE(SameRect(Bounds(A), RECT{75, 65, 525, 195}));
    Press(Designer->PanelToolbar, daMoveDown);  // drawn and placed last: on top
    EXPECT_EQ(L.Tree.Children(Layout).back(), A);
    // The preview's paint request is validated and only asks for a redraw.
    HWND Preview = Designer->LayoutPreviewPaintBox->Handle();
    ::RedrawWindow(Designer->Handle(), nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_FALSE(::GetUpdateRect(Preview, nullptr, FALSE));
    EXPECT_TRUE(L.RefreshPreview);
    Idle();
    if (const char* Dir = std::getenv("QUORVAN_SHOT_DIR"))
        SaveWindowPng(Designer->Handle(), std::string(Dir) + "\\layout-designer.png");
    Designer->Hide();
}

TEST_F(DesignerWinTest, TheWindowHasTheSystemMenuOnlyAndTheSearchButtonItsHint)
{
    Designer->EnsureHandle();
    const LONG Style = ::GetWindowLongA(Designer->Handle(), GWL_STYLE);
    const struct {
        LONG Bit;
        bool Set;
    } Bits[] = {{WS_SYSMENU, true}, {WS_MINIMIZEBOX, false}, {WS_MAXIMIZEBOX, false}};
    for (const auto& B : Bits)
        EXPECT_EQ((Style & B.Bit) != 0, B.Set) << std::hex << B.Bit;
    // Resting on the search button (a panel chosen) shows its hint, and
    // nothing polls.
    const TNodeId Layout = AddLayout("Hint", {"Panel; Left"});
    Designer->FillAppCombo("");
    Designer->Show();
    Idle();
    Select(L.Tree.Children(Layout)[0]);
    ASSERT_TRUE(Designer->SearchAppButton->Enabled());
    int Polls = 0;
    EXPECT_EQ(HintAfterResting(H.App, Designer->SearchAppButton, Polls),
              "Search another application on your machine...");
    EXPECT_LE(Polls, 2);
    Designer->Hide();
}

TEST_F(DesignerWinTest, TreeNodesAreDraggedWithTheMouseCaptured)
{
    const TNodeId Layout = AddLayout("Tree", {"Panel; Left", "Panel; Top"});
    const TNodeId A = L.Tree.Children(Layout)[0], B = L.Tree.Children(Layout)[1];
    L.Tree.Find(Layout)->Expanded = true;
    Designer->Show();
    Idle();
    HWND Tv = Designer->LayoutsTreeView->Handle();
    // Dragged onto target: A becomes B's first child; B onto its own child
    // is refused.
    const struct {
        TNodeId Dragged, Target, Parent;
    } Rows[] = {{A, B, B}, {B, A, Layout}};
    for (const auto& R : Rows) {
        NMTREEVIEWA Nm = {};
        Nm.hdr.hwndFrom = Tv;
        Nm.hdr.code = TVN_BEGINDRAGA;
        Nm.itemNew.hItem = Designer->ItemOfNode(R.Dragged);
        ::SendMessageA(::GetParent(Tv), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&Nm));
        EXPECT_EQ(::GetCapture(), Tv);
        RECT Item = {};
        const HTREEITEM Target = Designer->ItemOfNode(R.Target);
        std::memcpy(&Item, &Target, sizeof Target);  // the item goes in, its rectangle out
        ASSERT_TRUE(::SendMessageA(Tv, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&Item)));
        const int X = (Item.left + Item.right) / 2, Y = (Item.top + Item.bottom) / 2;
        Post(Tv, WM_MOUSEMOVE, MK_LBUTTON, X, Y);
        Post(Tv, WM_LBUTTONUP, 0, X, Y);
        EXPECT_EQ(::GetCapture(), nullptr);
        EXPECT_EQ(L.Tree.Parent(R.Dragged), R.Parent);
        Idle();
    }
    Designer->Hide();
}
