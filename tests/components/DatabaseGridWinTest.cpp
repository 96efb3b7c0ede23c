#include "components/DatabaseGridWin.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

namespace {

class DatabaseGridWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FormArgs F;
        F.ClientWidth = 500;
        F.ClientHeight = 300;
        Main = new Form(&App, F);
        Main->Show();
        StringGridArgs A;
        A.Parent = Main;
        A.Width = 480;
        A.Height = 200;
        A.Editing = true;
        T = new TDatabaseGridWin(Main, A);
        TDatabaseGrid& M = T->Grid;
        M.SetDatabaseColumns("Id|Flags|Name|Kind|Path");
        M.SetPrimaryKeyColumn("Id");
        M.AddRecord("Id|Flags|Name|Kind|Path", "1|N|Alpha|k1|C:\\a.exe");
        M.AddRecord("Id|Flags|Name|Kind|Path", "2|C|Beta|k2|C:\\b.exe");
        ::SetFocus(T->Handle());
    }
    void TearDown() override { delete Main; }
    void Key(HWND To, WORD Vk) { ::SendMessageA(To, WM_KEYDOWN, Vk, 0); }
    // Paints, then dispatches what painting posted.
    void Settle()
    {
        ::UpdateWindow(T->Handle());
        App.ProcessMessages();
    }

    TApplication App;
    Form* Main = nullptr;
    TDatabaseGridWin* T = nullptr;
};

TEST_F(DatabaseGridWinTest, OwnerColumnsAreDrawnByTheEvents)
{
    TDatabaseGrid& M = T->Grid;
    M.SetOwnerDrawColumns("Flags|Kind");
    M.SetMarkedIds("2");
    std::vector<std::string> Log;
    // Every cell may be looked up: a lookup asked for shows that the grid
    // went on drawing after the owner.
    ComboBoxArgs CA;
    CA.Parent = Main;
    CA.OwnerDrawFixed = true;
    T->SetLookUpCombobox(new ComboBox(Main, CA));
    M.AlwaysPerformLookUp = true;
    M.OnLookUpColumnChange = [&](TDatabaseGrid& G, const std::string& Col, int, int R, TDatabaseGrid*&,
                                 std::string&) {
        if (G.IsOwnerDrawColumn(G.ColumnIndex(Col)))
            Log.push_back("look " + Col + std::to_string(R));
    };
    std::vector<std::pair<int, bool>> Colors;
    M.OnGetCellColor = [&](TDatabaseGrid&, int C, int R, bool Marked, TDatabaseGrid::TColor& Color) {
        if (C == 2 && R > 0)
            Colors.push_back({R, Marked});
        Color = Marked ? 0x00FF00 : Color;
    };
    struct Case {
        bool Plain, Ex;
        std::vector<std::string> Expect;
    } Cases[] = {
        {false, false, {}},  // no event: the base drawing alone
        {true, false, {"plain Flags1=N", "plain Kind1=k1", "plain Flags2=C", "plain Kind2=k2"}},
        {true, true, {"ex Flags1=N", "look Flags1", "ex Kind1=k1", "look Kind1", "ex Flags2=C",
                      "look Flags2", "ex Kind2=k2", "look Kind2"}},  // Ex comes first
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(::testing::Message() << K.Plain << K.Ex);
        if (K.Plain)
            T->OnOwnerDrawCell = [&](TDatabaseGridWin&, int, int R, const std::string& Col,
                                     const std::string& V, const RECT&, Canvas&) {
                Log.push_back("plain " + Col + std::to_string(R) + "=" + V);
            };
        if (K.Ex)
            T->OnOwnerDrawCellEx = [&](TDatabaseGridWin&, int, int R, const std::string& Col,
                                       const std::string& V, const RECT&, Canvas&, bool& Default) {
                Log.push_back("ex " + Col + std::to_string(R) + "=" + V);
                Default = true;
            };
        Log.clear();
        Colors.clear();
        ::InvalidateRect(T->Handle(), nullptr, FALSE);
        ::UpdateWindow(T->Handle());
        EXPECT_EQ(Log, K.Expect);
        // The Name column's colour was asked for each record, marked or not.
        EXPECT_EQ(Colors, (std::vector<std::pair<int, bool>>{{1, false}, {2, true}}));
    }
    // A change in the model repaints the window.
    ::ValidateRect(T->Handle(), nullptr);
    M.SetCell(2, 1, "Gamma");
    EXPECT_NE(::GetUpdateRect(T->Handle(), nullptr, FALSE), FALSE);
    EXPECT_EQ(T->RowCount(), 3);
}

TEST_F(DatabaseGridWinTest, EditingARefusedColumnLeavesItUnchanged)
{
    TDatabaseGrid& M = T->Grid;
    M.SetDeniedColumns("Kind");
    M.SetLookupColumns("Flags");
    M.AllowCellDeletion = true;
    struct Case {
        const char* Column;
        bool ReadOnly;
        const char* How;  // F2, char, Delete
        bool Editor;
        const char* After;
    } Cases[] = {
        {"Name", false, "F2", true, "typed"},
        {"Name", false, "char", true, "typed"},
        {"Kind", false, "F2", false, "k1"},   // denied
        {"Kind", false, "char", false, "k1"},
        {"Flags", false, "F2", false, "N"},   // a lookup column
        {"Name", true, "F2", false, "Alpha"}, // read-only grid
        {"Name", false, "Delete", false, ""},
        {"Kind", false, "Delete", false, "k1"},
        {"Name", true, "Delete", false, "Alpha"},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(std::string(K.Column) + " " + K.How + (K.ReadOnly ? " read-only" : ""));
        M.SetCell(2, 1, "Alpha");
        M.SetReadOnlyDatabase(K.ReadOnly);
        M.SetHasChanged(false);
        const int C = M.ColumnIndex(K.Column);
        ASSERT_TRUE(T->FocusCell(C, 1));
        ::SetFocus(T->Handle());
        const std::string How = K.How;
        if (How == "F2")
            Key(T->Handle(), VK_F2);
        else if (How == "char")
            ::SendMessageA(T->Handle(), WM_CHAR, 'q', 0);
        else
            Key(T->Handle(), VK_DELETE);
        EXPECT_EQ(T->EditorShowing(), K.Editor);
        if (How != "Delete") {
            EXPECT_EQ(M.EditRefused(), !K.Editor);
        }
        if (T->EditorShowing()) {
            ::SetWindowTextA(T->EditorHandle(), "typed");
            Key(T->EditorHandle(), VK_RETURN);
        }
        EXPECT_EQ(M.Cell(C, 1), K.After);
        EXPECT_EQ(M.HasChanged(), M.Cell(C, 1) != (C == 2 ? "Alpha" : C == 3 ? "k1" : "N"));
    }
}

TEST_F(DatabaseGridWinTest, TheComboBoxAndTheButtonFollowTheCurrentCell)
{
    TDatabaseGrid& M = T->Grid;
    ComboBoxArgs CA;
    CA.Parent = Main;
    CA.OwnerDrawFixed = true;
    auto* Combo = new ComboBox(Main, CA);
    ButtonArgs BA;
    BA.Parent = Main;
    BA.Caption = "...";
    BA.Width = 20;
    auto* Btn = new Button(Main, BA);
    // Kinds are looked up in a second table by key.
    TDatabaseGrid Kinds;
    Kinds.SetDatabaseColumns("Key|Text");
    Kinds.SetPrimaryKeyColumn("Key");
    Kinds.AddRecord("Key|Text", "k1|First kind");
    Kinds.AddRecord("Key|Text", "k2|Second kind");
    M.SetLookupColumns("Kind");
    M.SetButtonColumns("Path");
    M.OnLookUpColumnChange = [&](TDatabaseGrid&, const std::string&, int, int, TDatabaseGrid*& G,
                                 std::string& Result) {
        G = &Kinds;
        Result = "Text";
    };
    T->SetLookUpCombobox(Combo);
    T->SetCellButton(Btn);
    EXPECT_EQ(T->DefaultRowHeight(), Combo->Height());
    struct Case {
        const char* Column;
        bool ComboShown, ButtonShown;
    } Cases[] = {{"Kind", true, false}, {"Path", false, true}, {"Name", false, false}};
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Column);
        const int C = M.ColumnIndex(K.Column);
        ASSERT_TRUE(T->FocusCell(C, 2));
        Settle();
        EXPECT_EQ(Combo->Visible(), K.ComboShown);
        EXPECT_EQ(Btn->Visible(), K.ButtonShown);
        RECT Cell = T->CellRect(C, 2);
        ::MapWindowPoints(T->Handle(), Main->Handle(), reinterpret_cast<POINT*>(&Cell), 2);
        if (K.ComboShown) {
            const RECT R = Combo->BoundsRect();
            EXPECT_TRUE(R.left == Cell.left && R.top == Cell.top && R.right == Cell.right);
            EXPECT_EQ(Combo->Count(), 2);
            EXPECT_EQ(Combo->Item(Combo->ItemIndex()), "k2");
        }
        if (K.ButtonShown) {
            const RECT R = Btn->BoundsRect();
            EXPECT_TRUE(R.right == Cell.right && R.top == Cell.top && R.bottom == Cell.bottom);
        }
    }
    // Picking an item writes its key into the cell.
    ASSERT_TRUE(T->FocusCell(M.ColumnIndex("Kind"), 1));
    Combo->SetItemIndex(1);
    ::SendMessageA(Main->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(Combo->Handle()));
    EXPECT_EQ(M.CellByName("Kind", 1), "k2");
    EXPECT_EQ(::GetFocus(), T->Handle());
    // The button hides while the editor shows.
    ASSERT_TRUE(T->FocusCell(M.ColumnIndex("Path"), 1));
    Key(T->Handle(), VK_F2);
    ASSERT_TRUE(T->EditorShowing());
    EXPECT_FALSE(Btn->Visible());
    // Keys typed into the combo box pick by the looked-up text.
    Key(T->EditorHandle(), VK_ESCAPE);
    ASSERT_TRUE(T->FocusCell(M.ColumnIndex("Kind"), 1));
    for (char C : {'s', 'e'})
        ::SendMessageA(Combo->Handle(), WM_CHAR, static_cast<WPARAM>(C), 0);
    EXPECT_EQ(M.TypeAheadText, "SE");
    EXPECT_EQ(Combo->ItemIndex(), 1);
    Combo->SetDroppedDown(false);
    // A box the grid let go draws its own items; a grid gone leaves it none
    // of its handlers.
    T->SetLookUpCombobox(nullptr);
    ::ShowWindow(Combo->Handle(), SW_SHOW);
    ::InvalidateRect(Combo->Handle(), nullptr, TRUE);
    ::UpdateWindow(Combo->Handle());
    T->SetLookUpCombobox(Combo);
    delete T;
    EXPECT_FALSE(Combo->OnDrawItem || Combo->OnChange || Combo->OnDropDown || Combo->OnCloseUp ||
                 Combo->OnKeyPress);
}

TEST_F(DatabaseGridWinTest, FirstPaintSelectsAndFocusReportsTheEditor)
{
    std::vector<std::string> Log;
    TDatabaseGrid& M = T->Grid;
    M.OnCellPositionChanged = [&](TDatabaseGrid&, const std::string& Col, int, int R) {
        Log.push_back("position " + Col + std::to_string(R));
    };
    T->OnLostEditorFocus = [&](TDatabaseGridWin&, int, int R, const std::string& Col, HWND Editor,
                               HWND From) {
        Log.push_back("lost " + Col + std::to_string(R) + (From == Editor ? " from editor" : ""));
    };
    ::InvalidateRect(T->Handle(), nullptr, FALSE);
    Settle();
    Settle();  // later paints select nothing
    ::SetFocus(Main->Handle());
    ::SetFocus(T->Handle());  // no editor yet: nothing to report
    ASSERT_TRUE(T->FocusCell(2, 1));
    Key(T->Handle(), VK_F2);
    Key(T->EditorHandle(), VK_ESCAPE);
    EXPECT_EQ(Log, (std::vector<std::string>{"position Id1", "position Name1", "lost Name1 from editor"}));
    // The model moving the current cell brings it into view.
    M.SetRecordCount(40);
    ASSERT_TRUE(M.FocusCell(2, 40));
    EXPECT_EQ(T->Row(), 40);
    const RECT R = T->CellRect(2, 40);
    EXPECT_FALSE(::IsRectEmpty(&R));
}

}  // namespace
