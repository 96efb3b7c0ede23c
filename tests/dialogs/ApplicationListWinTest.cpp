#include "dialogs/applicationlistWin.h"

#include "DialogsWinTestSupport.h"
#include "Win32TestSupport.h"
#include "dialogs/ConfirmDuplicatesWin.h"
#include "dialogs/SearchForFilesWin.h"
#include "dialogs/progressesWin.h"
#include "hosting/IdentifyWin.h"
#include "hosting/RulesTestSupport.h"

#include <gtest/gtest.h>

#include <dlgs.h>

namespace {

const char* const Columns = "Flags|Category|Application|Version|Location";

class AppListWin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearDatabase();
        SetFileProbe(&Win32FileProbe);
        ASSERT_EQ(AddKnownApp(KnownApps, "Utilities", "Version App", ">= 1.0", "", "bind", "verapp_1_5.exe",
                              "", "", "", "", "", ""),
                  ieOk);
        ASSERT_EQ(AddKnownApp(KnownApps, "Emulators", "Hostee", "", "", "external", "hostee.exe", "",
                              "", "", "", "", ""),
                  ieOk);
        App.SetTitle("application list test");
        new TProgressbarForm(&App);
        new TConfirmDuplicatesForm(&App);
        Chooser = new TSearchForFilesForm(&App);
        List = new TApplicationListForm(&App);
        List->Show();
    }
    void TearDown() override
    {
        SetFileProbe(nullptr);
        ClearDatabase();
    }
    std::vector<std::string> RowCells(int Row) const
    {
        std::vector<std::string> Cells;
        for (int C = 0; C < 5; ++C)
            Cells.push_back(List->AppTable->Cell(C, Row));
        return Cells;
    }
    void ClickToolButton(int Index)
    {
        const RECT R = List->ToolBar2->Button(Index)->ItemRect();
        const LPARAM P = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
        ::SendMessageA(List->ToolBar2->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, P);
        ::SendMessageA(List->ToolBar2->Handle(), WM_LBUTTONUP, 0, P);
    }

    TApplication App;
    TApplicationListForm* List = nullptr;
    TSearchForFilesForm* Chooser = nullptr;
};

// Neither read nor changed, the list is not modified: so says its caption,
// and the shutdown leaves the stored list alone.
TEST_F(AppListWin, AnUntouchedListIsNotModified)
{
    EXPECT_EQ(List->Text(), "Application list");
    EXPECT_FALSE(List->ApplicationListModified());
}

// The records end after the table that shows them: at their end its
// window is gone.
TEST_F(AppListWin, TheRecordsEndAfterTheirTable)
{
    class EndProbe {
    public:
        EndProbe(HWND Table, bool& Shown) : FTable(Table), FShown(Shown) {}
        ~EndProbe() { FShown = ::IsWindow(FTable) != FALSE; }

    private:
        HWND FTable;
        bool& FShown;
    };
    bool TableAtTheirEnd = true;
    auto Probe = std::make_shared<EndProbe>(List->AppTable->Handle(), TableAtTheirEnd);
    List->AppGrid.OnHasChanged = [Probe](TDatabaseGrid&) {};
    Probe.reset();
    delete List;
    EXPECT_FALSE(TableAtTheirEnd);
}

TEST_F(AppListWin, ExecutablesAddedThroughTheListShowInTheTable)
{
    struct Case {
        const char* Exe;
        int Row;  // after sorting by name
        std::vector<std::string> Cells;
    } Cases[] = {
        {"verapp_1_5.exe", 1, {"N", "Utilities", "Version App", "1.5", ""}},
        {"hostee.exe", 1, {"N", "Emulators", "Hostee", "", ""}},
    };
    for (Case& K : Cases) {
        const std::string Exe = TestExeDir() + K.Exe;
        K.Cells[4] = Exe;
        TIdentifyInfo Info;
        TFileVersion Min;
        ASSERT_NE(IdentifyApplication("", Exe, Info, Min), irUnknown) << K.Exe;
        EXPECT_TRUE(List->AddApplication(Exe, Info));
        EXPECT_EQ(RowCells(K.Row), K.Cells);
        EXPECT_EQ(List->AppTable->Row(), K.Row);
        EXPECT_EQ(List->Text(), "Application list (modified)");
    }
    // The earlier add lost its "N" to the later one.
    EXPECT_EQ(List->AppTable->Cell(0, 2), "");
    std::string Path;
    EXPECT_TRUE(List->ApplicationLocation("version app", Path, false));
    EXPECT_EQ(Path, TestExeDir() + "verapp_1_5.exe");
    EXPECT_GE(List->ApplicationIconIndex("Version App"), 0);
    // The owner-drawn cells paint without complaint.
    ::RedrawWindow(List->AppTable->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    // No column is edited by hand: a typed text does not stay.
    for (int Col : {2, 3}) {
        ASSERT_TRUE(List->AppTable->FocusCell(Col, 1));
        const std::string Before = List->AppTable->Cell(Col, 1);
        ::SendMessageA(List->AppTable->Handle(), WM_KEYDOWN, VK_F2, 0);
        if (HWND Edit = ::GetFocus(); Edit && Edit != List->AppTable->Handle())
            ::SendMessageA(Edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("typed"));
        ::SendMessageA(::GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
        EXPECT_EQ(List->AppTable->Cell(Col, 1), Before);
        EXPECT_FALSE(List->AppTable->EditorShowing());
    }
    // Tab moves between the cells, not out of the table.
    ASSERT_TRUE(List->AppTable->FocusCell(1, 1));
    EXPECT_TRUE(::SendMessageA(List->AppTable->Handle(), WM_GETDLGCODE, VK_TAB, 0) & DLGC_WANTTAB);
    ::SendMessageA(List->AppTable->Handle(), WM_KEYDOWN, VK_TAB, 0);
    EXPECT_EQ(List->AppTable->Col(), 2);
}

TEST_F(AppListWin, RemovingAsksAndOnlyYesDeletes)
{
    List->AppTable->Grid.AddRecord(Columns, "|Emulators|Hostee||C:\\h.exe");
    List->AppTable->Grid.AddRecord(Columns, "|Utilities|Version App|1.5|C:\\v.exe");
    struct Case {
        int Answer;
        int Records;
        const char* Caption;
    } Cases[] = {
        {IDNO, 2, "Application list"},
        {IDCANCEL, 2, "Application list"},
        {IDYES, 1, "Application list (modified)"},
    };
    for (const Case& K : Cases) {
        List->SetListModified(false);
        ASSERT_TRUE(List->AppTable->FocusCell(2, 2));
        std::string Question;
        ModalScript Answer(&App, [] { return MessageBoxWindow() != nullptr; },
                           {[&] {
                               HWND Box = MessageBoxWindow();
                               char Text[64] = {};
                               ::GetDlgItemTextA(Box, 0xFFFF, Text, sizeof Text);
                               Question = Text;
                               ::PostMessageA(Box, WM_COMMAND, K.Answer, 0);
                           }});
        ClickToolButton(1);
        EXPECT_EQ(Answer.Done(), 1u);
        EXPECT_EQ(Question, "Are you sure?");
        EXPECT_EQ(List->AppTable->Grid.RecordCount(), K.Records);
        EXPECT_EQ(List->Text(), K.Caption);
    }
    EXPECT_EQ(List->AppTable->Cell(2, 1), "Hostee");
    StringList Lines;
    List->WriteApplicationList(Lines);
    EXPECT_EQ(Lines.size(), 3u);
}

TEST_F(AppListWin, ApplicationCombosListTheBindableNamesAfterTheLeadingItem)
{
    ComboBoxArgs A;
    A.Parent = List;
    ComboBox Combo(List, A);
    int Changes = 0;
    Combo.OnChange = [&] { ++Changes; };
    struct Case {
        const char* Record;  // added before the fill, if any
        const char* Current;
        std::vector<std::string> Items;
        int Index;
        int Changes;  // OnChange calls so far
    } Cases[] = {
        {nullptr, "", {"<select application>"}, -1, 0},
        {"|Utilities|Version App|1.5|C:\\v.exe", "version app", {"<select application>", "Version App"}, 1, 1},
        {"|Emulators|Hostee||C:\\h.exe", "Missing", {"<select application>", "Version App"}, -1, 2},
    };
    for (const Case& K : Cases) {
        if (K.Record)
            List->AppTable->Grid.AddRecord(Columns, K.Record);
        List->FillApplicationCombo(KindBit(akBind), Combo, K.Current, "<select application>");
        std::vector<std::string> Items;
        for (int I = 0; I < Combo.Count(); ++I)
            Items.push_back(Combo.Item(I));
        EXPECT_EQ(Items, K.Items) << K.Current;
        EXPECT_EQ(Combo.ItemIndex(), K.Index) << K.Current;
        EXPECT_EQ(Changes, K.Changes) << K.Current;
    }
}

TEST_F(AppListWin, AddAppAsksForAFileAndAddsAKnownOne)
{
    struct Case {
        const char* Exe;
        const char* Message;  // shown instead of adding
        int Records;
    } Cases[] = {
        {"verapp_none.exe", "*", 1},
        {"verapp_1_5.exe", "", 1},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Exe);
        const std::string Exe = TestExeDir() + K.Exe;
        std::string Shown;
        ModalScript Answer(&App, [] { return MessageBoxWindow() != nullptr; },
                           {[&] {
                                // The open dialog: the file name, then Open.
                                HWND Dialog = MessageBoxWindow();
                                ::SetDlgItemTextA(Dialog, cmb13, Exe.c_str());
                                ::PostMessageA(Dialog, WM_COMMAND, IDOK, 0);
                            },
                            [&] {
                                HWND Box = MessageBoxWindow();
                                char Text[256] = {};
                                ::GetDlgItemTextA(Box, 0xFFFF, Text, sizeof Text);
                                Shown = Text;
                                ::PostMessageA(Box, WM_COMMAND, IDOK, 0);
                            }},
                           true);
        ClickToolButton(0);
        EXPECT_EQ(List->AddApplicationAction->Dialog.FileName, Exe);
        EXPECT_EQ(Shown.empty(), *K.Message == 0) << Shown;
        EXPECT_EQ(List->AppTable->Grid.RecordCount(), K.Records);
    }
    EXPECT_EQ(List->AppTable->Cell(2, 1), "Version App");

    // Search Apps... asks for the locations; cancelled, nothing changes.
    List->SetListModified(false);
    ModalScript Cancel(&App, [&] { return Chooser->Visible(); },
                       {[&] { ::PostMessageA(Chooser->Handle(), WM_CLOSE, 0, 0); }});
    ClickToolButton(3);
    EXPECT_EQ(Cancel.Done(), 1u);
    EXPECT_EQ(List->AppTable->Grid.RecordCount(), 1);
    EXPECT_FALSE(List->ApplicationListModified());
}

}  // namespace
