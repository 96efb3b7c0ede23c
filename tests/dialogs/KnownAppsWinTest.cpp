#include "dialogs/MinSizeEditorWin.h"
#include "dialogs/PropertyEditorWin.h"
#include "dialogs/applicationlistWin.h"
#include "dialogs/knownapplistWin.h"
#include "hosting/FakeItemMonitor.h"
#include "hosting/RulesTestSupport.h"
#include "mainwindow/SettingsStoreWin.h"
#include "mainwindow/StoredState.h"
#include "mainwindow/main.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <sstream>

namespace {

const char* const Rules[] = {
    "Emulators|Spin (Paul)|?  0|12345|bind; no title|spin*.exe;spin.rom|3|http://spin.example/|||",
    "Emulators|Xeno||0|external|xeno.exe||https://xeno.example/x|||",
    "Tools|Packer||0|unsupported|pack.exe||c:\\windows\\notepad.exe|||",
};

void LoadDatabase()
{
    ClearDatabase();
    for (const char* Row : Rules) {
        StringList F;
        SplitToStrings(F, Row, '|');
        F.resize(12);
        ASSERT_EQ(AddKnownApp(KnownApps, F[0], F[1], F[2], F[3], F[4], F[5], F[6], F[7], F[8], F[9],
                              F[10], F[11]),
                  ieOk);
    }
    AllowedWindows.AddAppWindow("a.exe", NotGiven, "Cls");
    ForbiddenWindows.AddAppWindow(NotGiven, "Popup", NotGiven);
    KnownApps.RulesDate = 42000;
}

// The window with its editors, over a loaded database.
struct Fixture {
    TApplication App;
    TKnownAppsForm* Form;
    std::vector<std::string> Opened;
    Fixture()
    {
        LoadDatabase();
        Form = new TKnownAppsForm(&App);
        new TPropertyEditorForm(&App);
        new TMinSizeEditorForm(&App);
        Form->ListedApplications = [](StringList& L) { L = {"spin (paul)|1.0"}; };
        Form->OpenUrl = [this](const std::string& Url) { Opened.push_back(Url); };
    }
    // Runs Act once Shown is visible; Act ends what it opened.
    // Forms make their windows when first shown: the handle is read late.
    void WhenShown(const Control& Shown, const std::function<void()>& Act)
    {
        auto* T = new Timer(&App, 30);
        T->OnTimer = [T, &Shown, Act] {
            if (!Shown.Handle() || !::IsWindowVisible(Shown.Handle()))
                return;
            T->SetEnabled(false);
            Act();
        };
    }
    void Show(bool Editing, const std::function<void()>& Act)
    {
        WhenShown(*Form, Act);
        Form->ShowKnownApps(Editing, Editing ? 25 : 20);
    }
    void ClickTab(int Index)
    {
        const RECT R = Form->CategoriesTabSet->TabRect(Index);
        const LPARAM At = MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
        ::SendMessageA(Form->CategoriesTabSet->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At);
        ::SendMessageA(Form->CategoriesTabSet->Handle(), WM_LBUTTONUP, 0, At);
    }
    void ClickToolButton(Action* A)
    {
        for (int I = 0; I < Form->EditToolBar->ButtonCount(); ++I)
            if (&Form->EditToolBar->Button(I)->GetAction() == A)
                ::SendMessageA(Form->Handle(), WM_COMMAND, MAKEWPARAM(Form->EditToolBar->Button(I)->Id(), BN_CLICKED),
                               reinterpret_cast<LPARAM>(Form->EditToolBar->Handle()));
    }
    // The simple text; Wine answers it as part 0, Windows as SB_SIMPLEID.
    std::string Status() const
    {
        char Buf[512] = {};
        for (const WPARAM Part : {WPARAM(SB_SIMPLEID), WPARAM(0)})
            if (::SendMessageA(Form->StatusBar1->Handle(), SB_GETTEXTA, Part, reinterpret_cast<LPARAM>(Buf)) > 0)
                break;
        return Buf;
    }
    void MouseAt(TDatabaseGridWin* T, const char* Column, int Row, int Dx, UINT Msg)
    {
        const RECT R = T->CellRect(T->Grid.ColumnIndex(Column), Row);
        ::SendMessageA(T->Handle(), Msg, 0, MAKELPARAM(R.left + Dx, R.top + 6));
    }
    void Click(Button* B) { ::SendMessageA(B->Handle(), BM_CLICK, 0, 0); }
    // Answers the next message box, keeping its text.
    void AnswerMessageBox(std::string& Text, int Button)
    {
        auto* T = new Timer(&App, 30);
        T->OnTimer = [T, &Text, Button] {
            HWND Box = ::FindWindowA("#32770", nullptr);
            if (!Box || !::IsWindowVisible(Box))
                return;
            T->SetEnabled(false);
            char Buf[512] = {};
            ::GetDlgItemTextA(Box, 0xFFFF, Buf, sizeof(Buf));
            Text = Buf;
            ::PostMessageA(Box, WM_COMMAND, Button, 0);
        };
    }
};

TEST(KnownAppsWindow, ViewingByCategoryAndSwitchingTabs)
{
    Fixture F;
    struct Step {
        int Tab;
        TTableId Table;
        int Records;
        const char* FirstCell;
    };
    const Step Steps[] = {
        {1, TTableId::App, 1, "Packer"},
        {2, TTableId::Allowed, 1, "\"a.exe\""},
        {3, TTableId::Forbidden, 1, ""},
        {0, TTableId::App, 2, "Spin (Paul)"},
    };
    std::vector<std::string> Seen;
    F.Show(false, [&] {
        for (const Step& S : Steps) {
            F.ClickTab(S.Tab);
            TDatabaseGridWin* T = F.Form->CurrentTable();
            Seen.push_back(IntToStr(T == F.Form->AppTable ? 0 : T == F.Form->AllowedTable ? 1 : 2) + " " +
                           IntToStr(T->Grid.RecordCount()) + " " + T->Grid.Cell(0, 1) + " " +
                           IntToStr(::IsWindowVisible(T->Handle())) + IntToStr(T->Grid.ReadOnlyDatabase()));
        }
        Seen.push_back(F.Form->AppTable->Grid.CellByName("Found", 1));
        Seen.push_back(IntToStr(F.Form->ExportFileAction->Visible()) + IntToStr(F.Form->AddLineAction->Enabled()));
        F.Click(F.Form->cancelbutton);
    });
    ASSERT_EQ(Seen.size(), 6u);
    for (std::size_t I = 0; I < 4; ++I) {
        const Step& S = Steps[I];
        const int Id = S.Table == TTableId::App ? 0 : S.Table == TTableId::Allowed ? 1 : 2;
        EXPECT_EQ(Seen[I], IntToStr(Id) + " " + IntToStr(S.Records) + " " + S.FirstCell + " 11");
    }
    EXPECT_EQ(Seen[4], "F");
    EXPECT_EQ(Seen[5], "10");
    EXPECT_EQ(F.Form->CategoriesTabSet->Count(), 4);
    EXPECT_EQ(F.Form->CategoriesTabSet->Tab(2), "Allowed windows");
}

TEST(KnownAppsWindow, FoundLettersComeFromTheApplicationList)
{
    Fixture F;
    F.Form->ListedApplications = nullptr;
    auto* List = new TApplicationListForm(&F.App);
    // Its records are there before its window.
    List->AppGrid.AddRecord("Application|Version", "xeno|");
    std::string Found;
    F.Show(false, [&] {
        for (int R = 1; R <= F.Form->AppTable->Grid.RecordCount(); ++R)
            Found += F.Form->AppTable->Grid.CellByName("Application", R) + "=" +
                     F.Form->AppTable->Grid.CellByName("Found", R) + " ";
        F.Click(F.Form->cancelbutton);
    });
    EXPECT_EQ(Found, "Spin (Paul)= Xeno=F ");
}

TEST(KnownAppsWindow, EditingAddRemoveCellButtonAndOk)
{
    Fixture F;
    std::string Before, Props;
    F.Show(true, [&] {
        TDatabaseGridWin* T = F.Form->AppTable;
        F.ClickToolButton(F.Form->AddLineAction);
        // A new line alone is a change that OK takes back.
        Before = IntToStr(T->Grid.RecordCount()) + " " + T->Grid.Cell(0, 4) + " " + IntToStr(T->Row()) +
                 " " + IntToStr(F.Form->ModifiedFlags().App);
        F.ClickToolButton(F.Form->RemoveLineAction);
        Before += " " + IntToStr(T->Grid.RecordCount());
        // The property editor on Packer's cell: choose binding, tick one instance.
        T->FocusCell(T->Grid.ColumnIndex("Properties"), 3);
        F.WhenShown(*PropertyEditorForm, [&] {
            ::SendMessageA(PropertyEditorForm->BindingGroup->ItemHandle(0), BM_CLICK, 0, 0);
            ::SendMessageA(PropertyEditorForm->OneInstanceCheckBox->Handle(), BM_CLICK, 0, 0);
            F.Click(PropertyEditorForm->BitBtn1);
        });
        Props = IntToStr(::IsWindowVisible(F.Form->dbbutton->Handle()));
        F.Click(F.Form->dbbutton);
        Props += " " + T->Grid.CellByName("Properties", 3);
        // The size editor on Spin's empty MinSize cell: "minsize = start".
        T->FocusCell(T->Grid.ColumnIndex("MinSize"), 1);
        F.WhenShown(*MinSizeEditorForm, [&] {
            ::SendMessageA(MinSizeEditorForm->SizingRadioGroup->ItemHandle(msStart), BM_CLICK, 0, 0);
            F.Click(MinSizeEditorForm->BitBtn1);
        });
        F.Click(F.Form->dbbutton);
        Props += " " + T->Grid.CellByName("MinSize", 1);
        F.Click(F.Form->okbutton);
    });
    EXPECT_EQ(Before, "4 New application 4 1 3");
    EXPECT_EQ(Props, "1 B1 start");
    EXPECT_TRUE(KnownApps.Modified);
    ASSERT_EQ(KnownApps.Count(), 3);
    EXPECT_EQ(KnownApps.GetKnownApp(2)->Method, amBind);
    EXPECT_TRUE(KnownApps.GetKnownApp(2)->OnlyOnce);
    EXPECT_EQ(KnownApps.GetKnownApp(0)->MinWidth, -1);
    EXPECT_EQ(KnownApps.RulesDate, 42000);
    // Stored at exit as the main window does, and read back the same.
    const std::string Edited = DescribeDatabase();
    TRegistrySettingsStore Store;
    TShutdownHooks Hooks;
    Hooks.DatabaseHasEntries = [] { return KnownApps.Count() > 0; };
    Hooks.WriteApplicationRules = [] { return WrittenRules(); };
    WriteStoredState(Store, Hooks);
    StringList Stored;
    ASSERT_TRUE(Store.OpenKeyReadOnly(AppsKey()));
    ASSERT_TRUE(ReadTextListValue(Store, KnownAppListValue, Stored));
    Store.CloseKey();
    int Line = 0;
    ASSERT_EQ(ReadFresh(Stored, Line), 0);
    EXPECT_EQ(DescribeDatabase(), Edited);
}

TEST(KnownAppsWindow, OkWithoutChangeCopiesBackOnlyWhatWasMarkedModified)
{
    struct Case {
        bool Editing, MarkedBefore;
        bool Copied;
    };
    const Case Cases[] = {{true, false, false}, {true, true, true}, {false, true, false}};
    for (const Case& C : Cases) {
        Fixture F;
        KnownApps.Modified = C.MarkedBefore;
        const Tknownapp* First = KnownApps.GetKnownApp(0);
        F.Show(C.Editing, [&] { F.Click(F.Form->okbutton); });
        EXPECT_EQ(KnownApps.GetKnownApp(0) != First, C.Copied) << C.Editing << C.MarkedBefore;
        EXPECT_EQ(KnownApps.Modified, C.MarkedBefore);
        EXPECT_EQ(KnownApps.Count(), 3);
    }
}

TEST(KnownAppsWindow, BadRowKeepsTheWindowOpenWithItsMessage)
{
    Fixture F;
    const std::string Before = DescribeDatabase();
    std::string Message, Row;
    bool StillShown = false;
    F.Show(true, [&] {
        TDatabaseGridWin* T = F.Form->AppTable;
        T->FocusCell(T->Grid.ColumnIndex("Version"), 2);
        ::SetFocus(T->Handle());
        ::SendMessageA(T->Handle(), WM_CHAR, 'x', 0);
        ::SendMessageA(T->EditorHandle(), WM_KEYDOWN, VK_RETURN, 0);
        T->FocusCell(0, 1);
        F.AnswerMessageBox(Message, IDOK);
        F.Click(F.Form->okbutton);
        StillShown = ::IsWindowVisible(F.Form->Handle()) != 0;
        Row = IntToStr(T->Col()) + "," + IntToStr(T->Row()) + " " + T->Grid.CellByName("Version", 2);
        F.Click(F.Form->cancelbutton);
    });
    EXPECT_EQ(Message, "Error in line 2: Invalid version format!");
    EXPECT_TRUE(StillShown);
    EXPECT_EQ(Row, "0,2 x");
    EXPECT_EQ(DescribeDatabase(), Before);
}

// Keys come as the user's do: posted to the focused window and taken
// through the message loop's dialog handling.
TEST(KnownAppsWindow, EscapeCancelsAndInTheCellEditorEndsOnlyTheEdit)
{
    struct Key {
        UINT Msg;
        WPARAM Code;
    };
    const Key Type = {WM_CHAR, 'x'}, Enter = {WM_KEYDOWN, VK_RETURN}, Escape = {WM_KEYDOWN, VK_ESCAPE},
              F2 = {WM_KEYDOWN, VK_F2};
    const std::string New = "New application";
    const struct {
        const char* Name;
        bool Editing;
        std::vector<Key> Keys;
        std::vector<std::string> States;  // after each key, of the current row
        bool AddLine = false;  // "Add line" clicked first, not the table
    } Cases[] = {
        {"viewing", false, {Escape}, {"cancelled"}},
        {"editing, a cell changed", true, {Type, Enter, Escape}, {"editing x", "shown x", "cancelled"}},
        {"editing in the cell", true, {Type, Escape, Escape}, {"editing x", "shown Xeno", "cancelled"}},
        {"Enter opens the cell editor", true, {Enter, Escape, Escape},
         {"editing Xeno", "shown Xeno", "cancelled"}},
        {"Add line, then typing", true, {Type, Enter, Escape}, {"editing x", "shown x", "cancelled"}, true},
        {"Add line, then F2", true, {F2, Escape, Escape}, {"editing " + New, "shown " + New, "cancelled"}, true},
        {"Add line, then Enter", true, {Enter, Escape, Escape},
         {"editing " + New, "shown " + New, "cancelled"}, true},
    };
    for (const auto& C : Cases) {
        Fixture F;
        const std::string Before = DescribeDatabase();
        std::vector<std::string> States;
        F.Show(C.Editing, [&] {
            TDatabaseGridWin* T = F.Form->AppTable;
            if (C.AddLine) {
                F.ClickToolButton(F.Form->AddLineAction);
            } else {
                T->FocusCell(T->Grid.ColumnIndex("Application"), 2);
                ::SetFocus(T->Handle());
            }
            for (const Key& K : C.Keys) {
                ::PostMessageA(::GetFocus(), K.Msg, K.Code, 1);
                F.App.ProcessMessages();
                const int Result = F.Form->ModalResult;
                States.push_back(Result == mrCancel ? "cancelled"
                                 : Result != mrNone ? "closed " + IntToStr(Result)
                                                    : (T->EditorShowing() ? "editing " : "shown ") +
                                                          T->Grid.CellByName("Application", T->Row()));
            }
            if (F.Form->ModalResult == mrNone)
                F.Click(F.Form->cancelbutton);
        });
        EXPECT_EQ(States, C.States) << C.Name;
        EXPECT_EQ(DescribeDatabase(), Before) << C.Name;
    }
}

TEST(KnownAppsWindow, StatusLineLinksAndRestore)
{
    Fixture F;
    TRegistrySettingsStore Store;
    ASSERT_TRUE(Store.OpenKey(AppsKey(), true));
    ASSERT_TRUE(Store.WriteBinary(KnownAppListValue, JoinStringsChar(WrittenRules(), '\r')));
    Store.CloseKey();
    std::vector<std::string> Texts;
    F.Show(false, [&] {
        TDatabaseGridWin* T = F.Form->AppTable;
        struct Move {
            const char* Column;
            int Row, Dx;
            UINT Msg;
        } Moves[] = {{"URL", 1, 6, WM_MOUSEMOVE},        {"URL", 1, 250, WM_LBUTTONUP},
                     {"URL", 1, 600, WM_MOUSEMOVE},      {"Properties", 1, 4, WM_MOUSEMOVE},
                     {"Properties", 1, 22, WM_MOUSEMOVE}, {"Age", 1, 4, WM_MOUSEMOVE},
                     {"Age", 0, 4, WM_MOUSEMOVE},        {"Age", 1, 4, WM_MOUSEMOVE},
                     {"Age", 1, 4, WM_MOUSELEAVE}};
        for (const Move& M : Moves) {
            // Properties and Age lie right of the window: scroll them in.
            if (SameText(M.Column, "Properties"))
                T->SetTopLeft(T->TopRow(), T->Grid.ColumnIndex("Properties"));
            F.MouseAt(T, M.Column, M.Row, M.Dx, M.Msg);
            Texts.push_back(F.Status());
        }
        T->SetTopLeft(T->TopRow(), 1);
        F.MouseAt(T, "URL", 1, 6, WM_LBUTTONUP);
        F.MouseAt(T, "URL", 2, 6, WM_LBUTTONUP);
        F.ClickTab(1);
        F.MouseAt(F.Form->AppTable, "URL", 1, 6, WM_LBUTTONUP);
        std::string Asked;
        F.Form->AskUser = [&](const std::string& Q) { Asked = Q; return static_cast<int>(mrNo); };
        F.ClickToolButton(F.Form->RestoreAction);
        Texts.push_back(IntToStr(KnownApps.Count()) + " " + IntToStr(::IsWindowVisible(F.Form->Handle())));
        F.Form->AskUser = [](const std::string&) { return static_cast<int>(mrYes); };
        F.ClickToolButton(F.Form->RestoreAction);
    });
    const std::vector<std::string> Want = {
        "http://spin.example/",
        // A click right of the link's text opens nothing.
        "2 database entries",
        "2 database entries",
        "The application can be connected to a panel.",
        "The title bar of the application can be disabled when connected to a panel.",
        "Age:3",
        // The header row, then leaving the table.
        "2 database entries",
        "Age:3",
        "2 database entries",
        "3 1",
    };
    EXPECT_EQ(Texts, Want);
    // The local path of Packer's cell was never opened.
    EXPECT_EQ(F.Opened, (std::vector<std::string>{"http://spin.example/", "https://xeno.example/x"}));
    EXPECT_EQ(KnownApps.Count() + AllowedWindows.Count() + ForbiddenWindows.Count(), 0);
    EXPECT_EQ(KnownApps.RulesDate, 0);
    TValueKind Kind;
    std::size_t Size = 0;
    ASSERT_TRUE(Store.OpenKeyReadOnly(AppsKey()));
    EXPECT_FALSE(Store.GetValueInfo(KnownAppListValue, Kind, Size));
    Store.CloseKey();
}

TEST(KnownAppsWindow, ExportWritesRulesThatReadBackTheSame)
{
    Fixture F;
    const std::string File = TestExeDir() + "exported.def";
    ::DeleteFileA(File.c_str());
    F.Show(false, [&] {
        HWND Dialog = nullptr;
        auto* T = new Timer(&F.App, 50);
        T->OnTimer = [&, T] {
            Dialog = ::FindWindowA("#32770", nullptr);
            if (!Dialog || !::IsWindowVisible(Dialog))
                return;
            T->SetEnabled(false);
            // The file name box, then Save.
            ::SetDlgItemTextA(Dialog, 0x47C, File.c_str());
            ::SetDlgItemTextA(Dialog, 0x480, File.c_str());
            ::PostMessageA(Dialog, WM_COMMAND, IDOK, 0);
        };
        F.ClickToolButton(F.Form->ExportFileAction);
        F.Click(F.Form->cancelbutton);
    });
    const std::string Before = DescribeDatabase();
    std::ifstream In(File, std::ios::binary);
    std::stringstream Text;
    Text << In.rdbuf();
    StringList Lines;
    TextToLines(Text.str(), Lines);
    int Line = 0;
    ASSERT_EQ(ReadFresh(Lines, Line), 0) << Line;
    EXPECT_EQ(DescribeDatabase(), Before);
    ::DeleteFileA(File.c_str());
}

TEST(KnownAppsWindow, MainWindowActionsOpenItForViewingAndEditing)
{
    const struct {
        TMainAction Action;
        bool Editing;
        int HelpContext;
    } Cases[] = {{maViewKnownApps, false, 20}, {maEditKnownApps, true, 25}};
    for (const auto& C : Cases) {
        Fixture F;
        auto* Main = new Tmainform(&F.App);
        bool Editing = !C.Editing;
        int Help = 0;
        F.WhenShown(*F.Form, [&] {
            Editing = F.Form->IsEditing();
            Help = F.Form->HelpContext;
            F.Click(F.Form->cancelbutton);
        });
        Main->MainAction(C.Action).Execute();
        EXPECT_EQ(Editing, C.Editing);
        EXPECT_EQ(Help, C.HelpContext);
    }
}

TEST(KnownAppsWindow, EachShowingStartsAtTheNameColumn)
{
    const struct {
        bool FirstEditing, ThenEditing;
    } Cases[] = {{false, true}, {true, false}, {false, false}};
    for (const auto& C : Cases) {
        Fixture F;
        F.Form->EnsureHandle();  // its tables come with its window
        TDatabaseGridWin* T = F.Form->AppTable;
        int Scrolled = 0;
        F.Show(C.FirstEditing, [&] {
            T->SetTopLeft(T->FixedRows(), 6);
            Scrolled = T->LeftCol();
            F.Click(F.Form->cancelbutton);
        });
        RECT Name{};
        F.Show(C.ThenEditing, [&] {
            Name = T->CellRect(T->Grid.ColumnIndex("Application"), 1);
            F.Click(F.Form->cancelbutton);
        });
        EXPECT_GT(Scrolled, 1) << C.FirstEditing << C.ThenEditing;
        EXPECT_EQ(T->LeftCol(), T->FixedCols()) << C.FirstEditing << C.ThenEditing;
        EXPECT_FALSE(::IsRectEmpty(&Name)) << C.FirstEditing << C.ThenEditing;
    }
}

TEST(KnownAppsWindow, HostedItemsKeepTheirCopyWhenTheDatabaseIsRebuilt)
{
    LoadDatabase();
    FakeItemMonitor M;
    TApplicationItem* Item = M.Add();
    Item->SetKnownIndex(0);
    // The editing window's way back, with the first entry deleted.
    TDatabaseGrid App, Allowed, Forbidden;
    ConfigureAppTable(App);
    ConfigureWindowTable(Allowed, false);
    ConfigureWindowTable(Forbidden, true);
    FillKnownAppTable(App, KnownApps, nullptr, false);
    App.DeleteRecord(1);
    TCommitError Error;
    ASSERT_TRUE(CommitTables(App, Allowed, Forbidden, {true, true, true}, KnownApps, AllowedWindows,
                             ForbiddenWindows, Error));
    EXPECT_EQ(KnownApps.GetKnownApp(0)->Name, "Xeno");
    EXPECT_EQ(Item->Known().Name, "Spin (Paul)");
    EXPECT_EQ(Item->Known().Method, amBind);
    EXPECT_TRUE(Item->Known().NoTitle);
    EXPECT_EQ(Item->Known().WindowTitle, NotGiven);
}

}  // namespace
