// The main window driven by messages: help mode, the layouts drop-down
// menu, the hover panel, moving, closing.
// Winsock before windows.h.
#include "mainwindow/TestHttpServer.h"

#include "components/ToolbarGlyphs.h"
#include "hosting/AppInfoWin.h"
#include "hosting/AppPanel.h"
#include "hosting/ApplicationItem.h"
#include "hosting/RulesFile.h"
#include "hosting/appmonitor.h"
#include "hosting/VelmoraWin.h"
#include "hosting/IdentifyWin.h"
#include "hosting/confirmation.h"
#include "dialogs/ConfirmDuplicatesWin.h"
#include "dialogs/MinSizeEditorWin.h"
#include "dialogs/PropertyEditorWin.h"
#include "dialogs/SearchForFilesWin.h"
#include "dialogs/applicationlistWin.h"
#include "dialogs/knownapplistWin.h"
#include "dialogs/progressesWin.h"
#include "mainwindow/LayoutDesignerWin.h"
#include "mainwindow/ProgramForms.h"
#include "toolkit/SpeedButton.h"
#include "mainwindow/RulesUpdateWin.h"
#include "mainwindow/main.h"
#include "toolkit/ActionList.h"
#include "toolkit/Application.h"
#include "toolkit/Hints.h"
#include "toolkit/InputBox.h"
#include "toolkit/Menus.h"
#include "toolkit/Panel.h"
#include "toolkit/Timer.h"
#include "toolkit/ToolBar.h"

#include "HintSupport.h"
#include "ScreenShotSupport.h"
#include "hosting/HosteeSupport.h"
#include "Win32TestSupport.h"
#include "mainwindow/RulesUpdateSupport.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <algorithm>
#include <vector>

namespace {

const char* const HostKey = "Software\\Tessarine\\Quorvan";

LPARAM Center(const RECT& R)
{
    return MAKELPARAM((R.left + R.right) / 2, (R.top + R.bottom) / 2);
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
        SetFileProbe(&Win32FileProbe);
        Main = new Tmainform(&App);
        App.MainForm = Main;
        new TApplicationListForm(&App);
        new TConfirmDuplicatesForm(&App);
        new TConfirmationForm(&App);
        Main->ShowHelpTopic = [this](int Context) {
            Topics.push_back(Context);
            return true;
        };
        ::SetWindowPos(Main->Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        Main->Show();
        // Under Wine the activation comes with the window manager's focus.
        PumpUntil([this] { return !Main->FirstActivate; }, 3000);
        Main->FormActivate();
        Idle();
    }
    void TearDown() override { ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey); }

    // Runs the loop until the idle pass has run once more.
    void Idle()
    {
        bool Ran = false;
        const int Id = App.AddIdleHandler([&] { Ran = true; });
        App.RunModalLoop([&] { return Ran; });
        App.RemoveIdleHandler(Id);
    }
    void Click(ToolBar* Bar, const ToolButton* B)
    {
        const LPARAM P = Center(B->ItemRect());
        ::SendMessageA(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, P);
        ::SendMessageA(Bar->Handle(), WM_LBUTTONUP, 0, P);
    }
    std::vector<TAppPanel*> HostPanels() const
    {
        std::vector<TAppPanel*> Out;
        for (Control* C : Main->mainpanel->Controls())
            if (auto* P = dynamic_cast<TAppPanel*>(C))
                Out.push_back(P);
        return Out;
    }
    // The mouse to the panel's middle and one idle pass.
    void HoverOver(TAppPanel* P)
    {
        RECT R;
        ::GetWindowRect(P->Handle(), &R);
        ::SetCursorPos((R.left + R.right) / 2, (R.top + R.bottom) / 2);
        Idle();
    }
    TNodeId MakeLayout(const std::string& Name, int Panels)
    {
        TLayoutTree& Tree = Main->Layouts->Tree;
        const TNodeId L = Tree.CreateLayoutNode(Name, nkLayout);
        for (int I = 0; I < Panels; ++I)
            Tree.AddChildPanel(L);
        Main->RefreshLayoutsMenu = true;
        return L;
    }

    TApplication App;
    Tmainform* Main = nullptr;
    std::vector<int> Topics;
};

TEST_F(MainWindowTest, HelpModeClickOpensTheTopicUnderItAndRunsNothing)
{
    struct Case {
        const char* Name;
        UINT Message;
        std::function<std::pair<HWND, LPARAM>()> Where;
        std::vector<int> WantTopics;
    };
    const auto OnButton = [this](ToolButton* B) {
        return [this, B] { return std::make_pair(Main->ToolBar1->Handle(), Center(B->ItemRect())); };
    };
    const Case Cases[] = {
        {"right click on Update", WM_RBUTTONDOWN, OnButton(Main->UpdateButton), {30}},
        {"left click on Layouts", WM_LBUTTONDOWN, OnButton(Main->LayoutsButton), {10}},
        {"toolbar gap", WM_LBUTTONDOWN,
         [this] {
             const RECT R = Main->HelpButton->ItemRect();
             return std::make_pair(Main->ToolBar1->Handle(), MAKELPARAM(R.right + 40, 5));
         },
         {}},
        {"client panel", WM_LBUTTONDOWN,
         [this] { return std::make_pair(Main->mainpanel->Handle(), MAKELPARAM(400, 300)); }, {1}},
    };
    for (const Case& C : Cases) {
        Topics.clear();
        Click(Main->ToolBar1, Main->HelpButton);
        ASSERT_TRUE(Main->MainAction(maHelpContext).Checked()) << C.Name;
        EXPECT_EQ(Main->Cursor, ::LoadCursorA(nullptr, IDC_HELP)) << C.Name;
        const auto W = C.Where();
        ::PostMessageA(W.first, C.Message, C.Message == WM_LBUTTONDOWN ? MK_LBUTTON : MK_RBUTTON, W.second);
        ::PostMessageA(W.first, C.Message + 1, 0, W.second);
        App.ProcessMessages();
        EXPECT_EQ(Topics, C.WantTopics) << C.Name;
        EXPECT_FALSE(Main->MainAction(maHelpContext).Checked()) << C.Name;
        EXPECT_EQ(Main->Cursor, nullptr) << C.Name;
        EXPECT_EQ(Main->Updater->Downloads().Count(), 0) << C.Name;
        EXPECT_FALSE(Main->Updater->Busy()) << C.Name;
        EXPECT_FALSE(::FindWindowA("#32768", nullptr) && ::IsWindowVisible(::FindWindowA("#32768", nullptr)));
    }
}

TEST_F(MainWindowTest, LayoutChosenFromTheDropDownIsAppliedAndChecked)
{
    MakeLayout("Two", 2);
    MakeLayout("Three", 3);
    Idle();
    ASSERT_EQ(Main->LayoutsPopupMenu->Count(), 2);
    // Tagged with the layout's absolute index.
    EXPECT_EQ(Main->LayoutsPopupMenu->Items(0).Tag, 0);
    EXPECT_EQ(Main->LayoutsPopupMenu->Items(1).Tag, 3);
    struct Case {
        std::vector<WPARAM> Keys;
        const char* WantLayout;
        std::size_t WantPanels;
    };
    const Case Cases[] = {
        {{VK_DOWN, VK_DOWN, VK_RETURN}, "Three", 3},
        {{VK_DOWN, VK_RETURN}, "Two", 2},
        {{VK_ESCAPE, VK_ESCAPE}, "Two", 2},
    };
    for (const Case& C : Cases) {
        std::vector<WPARAM> Keys = C.Keys;
        Timer Press(&App, 30);
        Press.OnTimer = [&] {
            HWND Menu = ::FindWindowA("#32768", nullptr);
            if (Menu && ::IsWindowVisible(Menu) && !Keys.empty()) {
                ::PostMessageA(Menu, WM_KEYDOWN, Keys.front(), 0);
                Keys.erase(Keys.begin());
            }
        };
        // The arrow part of the drop-down button.
        const RECT R = Main->LayoutsButton->ItemRect();
        const LPARAM Arrow = MAKELPARAM(R.right - 4, (R.top + R.bottom) / 2);
        ::SendMessageA(Main->ToolBar1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Arrow);
        ::SendMessageA(Main->ToolBar1->Handle(), WM_LBUTTONUP, 0, Arrow);
        Idle();
        const TLayoutTree& Tree = Main->Layouts->Tree;
        EXPECT_EQ(Tree.Text(Main->Layouts->AppliedLayout()), C.WantLayout);
        const auto Panels = HostPanels();
        EXPECT_EQ(Panels.size(), C.WantPanels) << C.WantLayout;
        for (TAppPanel* P : Panels) {
            const RECT B = P->BoundsRect();
            EXPECT_GT(B.right - B.left, 50);
            EXPECT_GT(B.bottom - B.top, 50);
        }
        for (int I = 0; I < Main->LayoutsPopupMenu->Count(); ++I)
            EXPECT_EQ(Main->LayoutsPopupMenu->Items(I).Checked,
                      Main->LayoutsPopupMenu->Items(I).Caption == C.WantLayout);
        EXPECT_EQ(Main->MainAction(maAddFirst).Caption(), "Add panel");
    }
}

TEST_F(MainWindowTest, PanelUnderTheMouseGetsTheToolPanelAndItsNodeActions)
{
    EXPECT_EQ(Main->MainAction(maAddFirst).Caption(), "Add layout");
    const TNodeId L = MakeLayout("Three", 3);
    Main->LayoutsMenuClick(L);
    Idle();
    const auto Panels = HostPanels();
    ASSERT_EQ(Panels.size(), 3u);
    for (TAppPanel* P : Panels) {
        HoverOver(P);
        ASSERT_EQ(Main->HoverPanel, P);
        EXPECT_EQ(Main->ToolBarPanel->Parent(), P->ClientPanel);
        EXPECT_TRUE(::IsWindowVisible(Main->ToolBarPanel->Handle()));
        const TNodeId N = Main->Layouts->Tree.FindNodeByPanel(P);
        EXPECT_EQ(Main->MainAction(maMoveBackwards).Enabled(), Main->Layouts->Tree.CanMoveUp(N));
        EXPECT_EQ(Main->MainAction(maMoveForward).Enabled(), Main->Layouts->Tree.CanMoveDown(N));
        EXPECT_TRUE(Main->MainAction(maReload).Visible());
    }
    // Off every panel: the hover panel lets its controls go.
    RECT Bar;
    ::GetWindowRect(Main->ToolBar1->Handle(), &Bar);
    ::SetCursorPos(Bar.right - 5, Bar.bottom - 5);
    Idle();
    EXPECT_EQ(Main->HoverPanel, nullptr);
    EXPECT_FALSE(::IsWindowVisible(Main->ToolBarPanel->Handle()));
}

TEST_F(MainWindowTest, ToolPanelLaysItsContentsOutToTheHostPanelsWidth)
{
    const TNodeId L = MakeLayout("One", 1);
    Main->LayoutsMenuClick(L);
    Idle();
    TAppPanel* P = HostPanels().front();
    for (const int Width : {400, 229, 120}) {
        const RECT B = P->BoundsRect();
        P->SetBounds(B.left, B.top, Width, 200);
        HoverOver(P);
        ASSERT_EQ(Main->HoverPanel, P) << Width;
        const HWND Inner = P->ClientPanel->Handle();
        const RECT Client = P->ClientPanel->ClientRect();
        const RECT Tool = RectIn(Main->ToolBarPanel->Handle(), Inner);
        const RECT Combo = RectIn(Main->BindAppComboBox->Handle(), Inner);
        const RECT Dots = RectIn(Main->BindAppButton->Handle(), Inner);
        const RECT Buttons = RectIn(Main->ToolbuttonBar->Handle(), Inner);
        EXPECT_LE(Tool.right, Client.right) << Width;
        EXPECT_EQ(Dots.right, Tool.right) << Width;
        EXPECT_EQ(Combo.right, Dots.left) << Width;
        EXPECT_EQ(Combo.left, Tool.left) << Width;
        EXPECT_EQ(Buttons.right, Tool.right) << Width;
    }
}

TEST_F(MainWindowTest, MiniButtonsDrawTheirSymbolsWithoutASymbolFont)
{
    // The hover tools are made for the first hovered panel.
    Main->EnsureToolPanel();
    struct Case { const char* Name; SpeedButton* Button; TPixelBuffer Glyph; bool Enabled; int Ink; };
    const Case Cases[] = {
        {"close", Main->MiniClosebutton, MiniCloseGlyph(), true, COLOR_BTNTEXT},
        {"unbind", Main->MiniUnbindbutton, MiniUnbindGlyph(), true, COLOR_BTNTEXT},
        {"unbind disabled", Main->MiniUnbindbutton, MiniUnbindGlyph(), false, COLOR_GRAYTEXT},
    };
    for (const Case& C : Cases) {
        C.Button->SetEnabled(C.Enabled);
        DibCanvas Cv(16, 16);
        ::SendMessageA(C.Button->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Cv.Dc()), PRF_CLIENT);
        int Wrong = 0;
        for (int Y = 0; Y < 16; ++Y)
            for (int X = 0; X < 16; ++X) {
                const std::uint32_t Want = C.Glyph.At(X, Y) == GlyphTransparent ? SysRgb(COLOR_BTNFACE) : SysRgb(C.Ink);
                Wrong += Cv.Pixel(X, Y) != Want;
            }
        EXPECT_EQ(Wrong, 0) << C.Name;
    }
}

TEST_F(MainWindowTest, DraggedBorderLeavesNoOldEdgesInEmptyPanels)
{
    const TNodeId L = MakeLayout("Two", 2);
    Main->LayoutsMenuClick(L);
    ::SetCursorPos(1270, 1010);
    Idle();
    const auto Panels = HostPanels();
    ASSERT_EQ(Panels.size(), 2u);
    for (const int Dy : {80, -140, 30}) {
        // Pressed on the bottom bevel of the upper panel, moved, let go.
        const RECT Upper = Panels[0]->BoundsRect();
        const int X = (Upper.right - Upper.left) / 2, Y = Upper.bottom - Upper.top - 2;
        ::PostMessageA(Panels[0]->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(X, Y));
        App.ProcessMessages();
        ASSERT_TRUE(Main->Dragging) << Dy;
        const POINT At = {Upper.left + X, Upper.top + Y + Dy};
        // In steps, as a hand moves, with no painting in between.
        for (int Step = 1; Step <= 8; ++Step)
            ::PostMessageA(Main->mainpanel->Handle(), WM_MOUSEMOVE, MK_LBUTTON,
                           MAKELPARAM(At.x, Upper.top + Y + Dy * Step / 8));
        ::PostMessageA(Main->mainpanel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(At.x, At.y));
        App.ProcessMessages();
        ASSERT_NE(Panels[0]->BoundsRect().bottom, Upper.bottom) << Dy;
        for (TAppPanel* P : Panels) {
            // The inner panel shows its colour only, the bevel around it
            // what the host panel paints now.
            RECT Area;
            const std::vector<std::uint32_t> Inner = SettledCapture(P->ClientPanel->Handle(), Area);
            const std::uint32_t Own = PixelOf(ColorToRGB(P->ClientPanel->Color()));
            EXPECT_EQ(std::count(Inner.begin(), Inner.end(), Own), static_cast<std::ptrdiff_t>(Inner.size())) << Dy;
            const std::vector<std::uint32_t> Shown = SettledCapture(P->Handle(), Area);
            const int W = Area.right - Area.left, H = Area.bottom - Area.top, Bevel = P->BevelWidth();
            DibCanvas Painted(W, H);
            ::SendMessageA(P->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(Painted.Dc()), PRF_CLIENT);
            // The layout may reach a pixel past the client panel.
            RECT Visible = Main->mainpanel->ClientRect();
            ::MapWindowPoints(Main->mainpanel->Handle(), HWND_DESKTOP, reinterpret_cast<POINT*>(&Visible), 2);
            int Stale = 0;
            for (int Y = 0; Y < H; ++Y)
                for (int X = 0; X < W; ++X)
                    if (X < Bevel || Y < Bevel || X >= W - Bevel || Y >= H - Bevel)
                        Stale += ::PtInRect(&Visible, {Area.left + X, Area.top + Y}) &&
                                 Shown[static_cast<std::size_t>(Y) * W + X] != Painted.Pixel(X, Y);
            EXPECT_EQ(Stale, 0) << Dy;
        }
    }
}

TEST_F(MainWindowTest, HoverPanelFreedElsewhereIsLetGoWithItsControls)
{
    struct Case {
        const char* Name;
        std::function<void(TNodeId Hovered, TNodeId Other)> Free;
    };
    // Not through the delete action, which lets the panel go itself.
    const Case Cases[] = {
        {"another layout applied", [this](TNodeId, TNodeId Other) { Main->LayoutsMenuClick(Other); }},
        {"its node deleted", [this](TNodeId Hovered, TNodeId) { Main->Layouts->DeleteNode(Hovered); }},
    };
    for (const Case& C : Cases) {
        const TNodeId L = MakeLayout("Two", 2);
        const TNodeId Other = MakeLayout("One", 1);
        Main->LayoutsMenuClick(L);
        Idle();
        TAppPanel* P = HostPanels().front();
        HoverOver(P);
        ASSERT_EQ(Main->HoverPanel, P) << C.Name;
        C.Free(Main->HoverNode(), Other);
        EXPECT_EQ(Main->HoverPanel, nullptr) << C.Name;
        EXPECT_EQ(Main->ToolBarPanel->Parent(), Main->mainpanel) << C.Name;
        Idle();
        Main->Layouts->DeleteNode(Other);
        if (Main->Layouts->Tree.Exists(L))
            Main->Layouts->DeleteNode(L);
    }
}

TEST_F(MainWindowTest, ApplicationComboItemsTakeTheBackgroundOfTheirState)
{
    Main->EnsureToolPanel();
    struct Case {
        const char* Name;
        UINT State;
        int WantColor;
    };
    const Case Cases[] = {{"selected", ODS_SELECTED, COLOR_HIGHLIGHT}, {"plain", 0, COLOR_WINDOW}};
    for (const Case& C : Cases) {
        HDC Dc = ::CreateCompatibleDC(nullptr);
        HBITMAP Bitmap = ::CreateBitmap(200, 17, 1, 32, nullptr);
        HGDIOBJ Old = ::SelectObject(Dc, Bitmap);
        const RECT Black = {0, 0, 200, 17};
        ::FillRect(Dc, &Black, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        DRAWITEMSTRUCT D = {};
        D.CtlType = ODT_COMBOBOX;
        D.CtlID = static_cast<UINT>(::GetDlgCtrlID(Main->BindAppComboBox->Handle()));
        D.itemID = 0;
        D.itemAction = ODA_DRAWENTIRE;
        D.itemState = C.State;
        D.hwndItem = Main->BindAppComboBox->Handle();
        D.hDC = Dc;
        D.rcItem = Black;
        ::SendMessageA(Main->ToolBarPanel->Handle(), WM_DRAWITEM, D.CtlID, reinterpret_cast<LPARAM>(&D));
        // Right of the text, where only the background can be.
        EXPECT_EQ(::GetPixel(Dc, 195, 8), ::GetSysColor(C.WantColor)) << C.Name;
        ::SelectObject(Dc, Old);
        ::DeleteObject(Bitmap);
        ::DeleteDC(Dc);
    }
}

// The rules update's status shows in front of the applied layout's panels,
// also when they are placed again or another layout comes.
TEST_F(MainWindowTest, UpdateStatusShowsInFrontOfTheLayout)
{
    const struct {
        const char* Name;
        std::function<void()> Step;
        bool Shown;  // the status is shown after the step
    } Rows[] = {
        {"a layout applied, then a status", [&] { Main->LayoutsMenuClick(MakeLayout("Two", 2)); }, true},
        {"its panels placed again", [&] { ::SetWindowPos(Main->Handle(), nullptr, 0, 0, 700, 500, SWP_NOMOVE | SWP_NOZORDER); }, false},
        {"another layout applied", [&] { Main->LayoutsMenuClick(MakeLayout("One", 1)); }, false},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        R.Step();
        if (R.Shown)
            Main->ShowStatus("Connecting to 127.0.0.1...");
        Idle();
        ASSERT_FALSE(HostPanels().empty());
        const HWND Bar = Main->StatusBar1->Handle();
        ASSERT_TRUE(::IsWindowVisible(Bar));
        const RECT B = RectIn(Bar, Main->mainpanel->Handle());
        const POINT Middle = {(B.left + B.right) / 2, (B.top + B.bottom) / 2};
        EXPECT_EQ(::ChildWindowFromPointEx(Main->mainpanel->Handle(), Middle, CWP_SKIPINVISIBLE), Bar);
    }
}

TEST_F(MainWindowTest, MovingMarksTheWindowUntilTheNextIdlePass)
{
    const RECT R = Main->BoundsRect();
    ::SetWindowPos(Main->Handle(), nullptr, R.left + 30, R.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    EXPECT_TRUE(Main->Moved);
    Idle();
    EXPECT_FALSE(Main->Moved);
}

// Runs the loop until Done or the time is up, on a quiet clock: the idle
// pass runs only when the code under test asks for it.
bool RunUntil(TApplication& App, const std::function<bool()>& Done, DWORD TimeoutMs)
{
    const DWORD Start = ::GetTickCount();
    Timer Wake(nullptr, 20);
    Wake.QuietTicks = true;
    Wake.OnTimer = [] {};
    App.RunModalLoop([&] { return Done() || ::GetTickCount() - Start > TimeoutMs; });
    return Done();
}

bool HostValueExists(const char* Name)
{
    HKEY K;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, HostKey, 0, KEY_READ, &K) != ERROR_SUCCESS)
        return false;
    const bool Found = ::RegQueryValueExA(K, Name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    ::RegCloseKey(K);
    return Found;
}

TEST_F(MainWindowTest, AllClosedClosesByPostingAndThenWritesTheState)
{
    // The close pending when the monitor reports, or the session's close
    // called off meanwhile (the session went on): only the pending one
    // closes.
    Main->CompleteStartup();
    for (const bool CalledOff : {true, false}) {
        SCOPED_TRACE(CalledOff ? "called off" : "pending");
        Main->SessionBeganClose = CalledOff;
        Main->Monitor->CloseAll();
        Main->MonitorAllClosed();
        if (CalledOff)
            Main->EndSession(false);
        EXPECT_FALSE(App.Terminated());
        EXPECT_FALSE(HostValueExists("Path"));
        App.ProcessMessages();
        EXPECT_EQ(App.Terminated(), !CalledOff);
        EXPECT_EQ(HostValueExists("Path"), !CalledOff);
    }
}

// Without its own title a bound hostee leaves the panel its small buttons.
void KnowHostee()
{
    const StringList Rules = {
        "[Version]", "2090 January 1", "[Known Applications]",
        " Category: | Application name: | Age: | Version: | Exe size: | Method: | Files needed: | "
        "URL: | Problems: | Window #: | Window Title: | Window Class:",
        " Tests | Plain Hostee | | | | bind; no title | hostee.exe | | | | |",
        " Tests | Outer Tool | | | | external | verapp_1_5.exe | | | | |",
        " Tests | Semi; Colon | | | | bind | semicolon.exe | | | | |"};
    int Line = 0;
    KnownApps.RulesDate = 0;  // any database an earlier test left is older
    ReadApplicationRules(Rules, Line);
}

// Known and in the application list, so the menus offer it.
void ListHostee()
{
    KnowHostee();
    const std::string Exe = TestExeDir() + "hostee.exe";
    TIdentifyInfo Info;
    std::string Message;
    ASSERT_EQ(CheckApplication("", Exe, Info, Message, false), irBind);
    ASSERT_TRUE(ApplicationListForm->AddApplication(Exe, Info));
}

// Closed, or asked whether the session may end: the programs are asked to
// close, and the window follows them.
class ClosingWithHostedPrograms : public MainWindowTest, public ::testing::WithParamInterface<UINT> {
protected:
    // Opened bound in P; it ends a while after it is asked, as one that
    // saves its work first.
    void OpenSlowClosing(TAppPanel* P, std::vector<HANDLE>& Processes)
    {
        ::SetEnvironmentVariableA("HOSTEE_OPTIONS", "/slowclose=1500");
        const bool Opened = Main->LayoutHost.OpenApplication("Plain Hostee", TestExeDir() + "hostee.exe", "", P);
        ::SetEnvironmentVariableA("HOSTEE_OPTIONS", nullptr);
        ASSERT_TRUE(Opened);
        TApplicationItem* Item = nullptr;
        ASSERT_TRUE(RunUntil(App, [&] {
            Item = Main->Monitor->FindItemByPanel(P->ClientPanel);
            return Item && Item->Bound;
        }, 15000));
        Processes.push_back(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, Item->ProcessId));
    }
    // A layout of Count panels, each with such a program.
    void HostSlowClosing(int Count, std::vector<HANDLE>& Processes)
    {
        // The monitor that opens the programs comes at the end of the reading.
        Main->CompleteStartup();
        KnowHostee();
        Main->LayoutsMenuClick(MakeLayout("Hosting", Count));
        Idle();
        const auto Panels = HostPanels();
        ASSERT_EQ(Panels.size(), static_cast<size_t>(Count));
        for (TAppPanel* P : Panels)
            ASSERT_NO_FATAL_FAILURE(OpenSlowClosing(P, Processes));
    }
    void ExpectEnded(const std::vector<HANDLE>& Processes)
    {
        for (HANDLE P : Processes) {
            EXPECT_EQ(::WaitForSingleObject(P, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
            ::TerminateProcess(P, 1);
            ::CloseHandle(P);
        }
    }
};

TEST_P(ClosingWithHostedPrograms, WaitsForThemAndWritesTheStateOnce)
{
    // The close has to wait for the ends, which do not come before the
    // close's first pass is over.
    std::vector<HANDLE> Processes;
    ASSERT_NO_FATAL_FAILURE(HostSlowClosing(2, Processes));
    if (GetParam() == WM_QUERYENDSESSION)
        EXPECT_EQ(::SendMessageA(Main->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
    else
        ::PostMessageA(Main->Handle(), WM_CLOSE, 0, 0);
    App.ProcessMessages();
    EXPECT_FALSE(App.Terminated());
    EXPECT_FALSE(HostValueExists("Path"));
    // The programs got their close request; the window follows them as
    // they end, not at a tick after: none comes meanwhile.
    Main->Monitor->Timer->SetInterval(60000);
    EXPECT_TRUE(RunUntil(App, [&] { return App.Terminated(); }, 15000));
    ExpectEnded(Processes);
    EXPECT_TRUE(HostValueExists("Path"));
    EXPECT_TRUE(HostValueExists("MainWindowLeftPos"));
}

// A close or the session's query between a layout's spaced starts: the
// starts still to come are not made. The query finds a program to ask and
// begins a close: the starts wait for it, and it drops them.
TEST_P(ClosingWithHostedPrograms, EndsTheLayoutsStartsStillToCome)
{
    Main->CompleteStartup();
    ASSERT_NO_FATAL_FAILURE(ListHostee());
    const TNodeId L = MakeLayout("Two", 2);
    for (const TNodeId N : Main->Layouts->Tree.Children(L))
        Main->Layouts->Tree.SetAppNode(N, "Plain Hostee");
    Main->LayoutsMenuClick(L);
    ASSERT_EQ(Main->Monitor->Count(), 1);
    ASSERT_EQ(Main->Layouts->PendingStarts(), 1);
    const std::uint32_t Pid = Main->Monitor->Items(0)->ProcessId;
    HANDLE Process = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, Pid);
    ASSERT_TRUE(RunUntil(App, [&] { return Main->Monitor->Items(0)->Bound; }, 15000));
    if (GetParam() == WM_QUERYENDSESSION)
        ::SendMessageA(Main->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    else
        ::SendMessageA(Main->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Main->Layouts->PendingStarts(), GetParam() == WM_CLOSE ? 0 : 1);
    int Most = 0;
    EXPECT_TRUE(RunUntil(App, [&] {
        Most = std::max(Most, Main->Monitor ? Main->Monitor->Count() : 0);
        return App.Terminated();
    }, 15000));
    EXPECT_EQ(Most, 1);
    EXPECT_EQ(::WaitForSingleObject(Process, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    ::TerminateProcess(Process, 1);
    ::CloseHandle(Process);
}

// The programs end while the user edits in a modal window of ours: the
// close waits for that window, then goes ahead.
TEST_P(ClosingWithHostedPrograms, WaitsForAModalWindowOpenMeanwhile)
{
    // It ends once the modal window is open.
    std::vector<HANDLE> Processes;
    ASSERT_NO_FATAL_FAILURE(HostSlowClosing(1, Processes));
    if (GetParam() == WM_QUERYENDSESSION)
        ::SendMessageA(Main->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
    else
        ::PostMessageA(Main->Handle(), WM_CLOSE, 0, 0);
    App.ProcessMessages();
    ASSERT_TRUE(Main->Monitor->Closing);
    Form Dialog(&App, FormArgs());
    // A tick after the program went, its report was handled: the window
    // must still be open; then the user presses OK.
    int TicksSinceGone = -1;
    bool OpenWhileModal = false;
    Timer Watch(&App, 50);
    Watch.OnTimer = [&] {
        if (App.Terminated() || !Main->Monitor)
            return;
        if (TicksSinceGone < 0 && Main->Monitor->CountActiveItems() == 0)
            TicksSinceGone = 0;
        else if (TicksSinceGone >= 0 && ++TicksSinceGone == 2) {
            OpenWhileModal = ::IsWindowVisible(Main->Handle()) != FALSE;
            Dialog.ModalResult = mrOk;
        }
    };
    EXPECT_EQ(Dialog.ShowModal(), mrOk);
    EXPECT_TRUE(OpenWhileModal);
    EXPECT_FALSE(HostValueExists("Path"));
    EXPECT_TRUE(RunUntil(App, [&] { return App.Terminated(); }, 15000));
    EXPECT_TRUE(HostValueExists("Path"));
    ExpectEnded(Processes);
}

INSTANTIATE_TEST_SUITE_P(MainWindowTest, ClosingWithHostedPrograms,
                         ::testing::Values(WM_CLOSE, WM_QUERYENDSESSION));

// The session's query answered yes between a layout's spaced starts (the
// program started first has no window to ask yet): no start comes while the
// session may end; its end drops them, its call-off (true: ends) lets them come.
class SessionQueryBetweenLayoutStarts : public MainWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SessionQueryBetweenLayoutStarts, HoldsThemUntilTheSessionEndsOrGoesOn)
{
    Main->CompleteStartup();
    ASSERT_NO_FATAL_FAILURE(ListHostee());
    const TNodeId L = MakeLayout("Two", 2);
    for (const TNodeId N : Main->Layouts->Tree.Children(L))
        Main->Layouts->Tree.SetAppNode(N, "Plain Hostee");
    ::SetEnvironmentVariableA("HOSTEE_OPTIONS", "/delay=1500");
    Main->LayoutsMenuClick(L);
    ::SetEnvironmentVariableA("HOSTEE_OPTIONS", nullptr);
    ASSERT_EQ(Main->Monitor->Count(), 1);
    ASSERT_EQ(Main->Layouts->PendingStarts(), 1);
    EXPECT_EQ(::SendMessageA(Main->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    // Past the first program's window, which comes after the pause.
    EXPECT_TRUE(RunUntil(App, [&] { return Main->Monitor->Items(0)->Bound; }, 15000));
    EXPECT_FALSE(RunUntil(App, [&] { return Main->Monitor->Count() > 1; }, 2 * StartPauseMs));
    EXPECT_EQ(Main->Layouts->PendingStarts(), 1);
    if (GetParam()) {
        Main->EndSession(true);  // what WM_ENDSESSION runs before the program halts
    } else {
        ::SendMessageA(Main->Handle(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        EXPECT_TRUE(RunUntil(App, [&] { return Main->Monitor->Count() > 1; }, 15000));
    }
    EXPECT_EQ(Main->Layouts->PendingStarts(), 0);
    for (int I = 0; I < Main->Monitor->Count(); ++I) {
        HANDLE Process = ::OpenProcess(PROCESS_TERMINATE, FALSE, Main->Monitor->Items(I)->ProcessId);
        ::TerminateProcess(Process, 1);
        ::CloseHandle(Process);
    }
}

INSTANTIATE_TEST_SUITE_P(MainWindowTest, SessionQueryBetweenLayoutStarts, ::testing::Bool());

std::string AppsValue(const char* Name)
{
    std::string Data(1 << 16, '\0');
    DWORD Size = static_cast<DWORD>(Data.size());
    if (::RegGetValueA(HKEY_CURRENT_USER, (std::string(HostKey) + "\\Apps").c_str(), Name,
                       RRF_RT_REG_BINARY, nullptr, Data.data(), &Size) != ERROR_SUCCESS)
        return "(none)";
    Data.resize(Size);
    return Data;
}

// Closed, the session ending, or a command given while the first activation
// still reads the stored lists step by step: the stored application list and
// database are there afterwards as they were. Before the first activation nothing was
// read, and nothing is written: the stored layouts stay too.
TEST_F(MainWindowTest, ClosingWhileTheStoredStateIsReadKeepsItWhole)
{
    // The list and the database as the program writes them.
    const auto Held = [] {
        StringList Found, Known;
        ApplicationListForm->WriteApplicationList(Found);
        WriteApplicationRules(Known);
        return std::pair{JoinStringsChar(Found, '\r'), JoinStringsChar(Known, '\r')};
    };
    ListHostee();
    const auto [Found, Known] = Held();
    // StepsRun -1: not activated yet. Close 0: a command instead (help mode
    // on and off), which reads the rest first.
    const struct { const char* Name; int StepsRun; UINT Close; } Cases[] = {
        {"layouts read, closed", 0, WM_CLOSE},
        {"layouts read, session ends", 0, WM_ENDSESSION},
        {"list read too, closed", 1, WM_CLOSE},
        {"database read too, session ends", 2, WM_ENDSESSION},
        {"nothing read yet, closed", -1, WM_CLOSE},
        {"nothing read yet, session ends", -1, WM_ENDSESSION},
        {"list read, a command", 1, 0},
    };
    // Nothing read yet, as in a program just started.
    const auto Forget = [] {
        KnownApps.Clear();
        KnownApps.RulesDate = 0;
        AllowedWindows.Clear();
        ForbiddenWindows.Clear();
        TDatabaseGrid& Listed = ApplicationListForm->List.Table();
        while (Listed.RecordCount() > 1)
            Listed.DeleteRecord(1);
        Listed.ClearRecord(1);
        ApplicationListForm->SetListModified(false);
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Forget();
        Main->LayoutHost.Monitor = nullptr;
        Main->Monitor.reset();
        HKEY K;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(HostKey) + "\\Apps").c_str(), 0, nullptr, 0,
                                    KEY_ALL_ACCESS, nullptr, &K, nullptr), ERROR_SUCCESS);
        for (const auto& [Name, Text] : {std::pair{"FoundAppList", &Found}, {"KnownAppList", &Known}})
            ::RegSetValueExA(K, Name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(Text->data()),
                             static_cast<DWORD>(Text->size()));
        ::RegCloseKey(K);
        TSafeRegistry Reg;
        ASSERT_TRUE(Reg.OpenKey(std::string(HostKey) + "\\Layouts", true));
        Reg.WriteInteger("LayoutsCount", 1);
        Reg.WriteString("LayoutsNode0", "Layout|Stored|Base=Root");
        Reg.CloseKey();
        Main->Layouts->Tree.Clear();  // what a program just started holds

        Main->FirstActivate = true;
        Main->StateStored = false;
        MSG M;
        if (C.StepsRun >= 0) {
            Main->FormActivate();
            for (int I = 0; I < C.StepsRun; ++I)
                if (::PeekMessageA(&M, Main->Handle(), WM_APP, 0xBFFF, PM_REMOVE))
                    ::DispatchMessageA(&M);
            ASSERT_TRUE(::PeekMessageA(&M, Main->Handle(), WM_APP, 0xBFFF, PM_NOREMOVE));  // still reading
        }
        if (C.Close == 0) {
            for (int I = 0; I < 2; ++I)
                Main->MainAction(maHelpContext).Execute();
        } else if (C.Close == WM_CLOSE) {
            ::SendMessageA(Main->Handle(), WM_CLOSE, 0, 0);
            // Taken back, or the loop would end for the rows that follow.
            EXPECT_TRUE(::PeekMessageA(&M, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        } else {
            EXPECT_EQ(::SendMessageA(Main->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
            Main->EndSession(true);  // what WM_ENDSESSION runs before the program halts
        }
        // Written from all that was stored, with nothing left to read later.
        if (C.StepsRun >= 0) {
            EXPECT_EQ(Held(), std::pair(Found, Known));
        }
        EXPECT_EQ(AppsValue("FoundAppList"), Found);
        EXPECT_EQ(AppsValue("KnownAppList"), Known);
        char Node[64] = "(none)";
        DWORD Size = sizeof(Node);
        ::RegGetValueA(HKEY_CURRENT_USER, (std::string(HostKey) + "\\Layouts").c_str(), "LayoutsNode0",
                       RRF_RT_REG_SZ, nullptr, Node, &Size);
        EXPECT_STREQ(Node, "Layout|Stored|Base=Root");
        Main->FirstActivate = false;
        App.ProcessMessages();
    }
    Forget();
}

// The stored lists are read in steps that let a waiting paint (and input)
// go first: the window is painted before the long reads, not after them.
TEST_F(MainWindowTest, StartUpPaintsBeforeReadingTheStoredLists)
{
    ListHostee();
    StringList Found;
    ApplicationListForm->WriteApplicationList(Found);
    const std::string Text = JoinStringsChar(Found, '\r');
    HKEY K;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(HostKey) + "\\Apps").c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &K, nullptr), ERROR_SUCCESS);
    ::RegSetValueExA(K, "FoundAppList", 0, REG_BINARY, reinterpret_cast<const BYTE*>(Text.data()),
                     static_cast<DWORD>(Text.size()));
    ::RegCloseKey(K);
    TDatabaseGrid& Listed = ApplicationListForm->List.Table();
    while (Listed.RecordCount() > 1)
        Listed.DeleteRecord(1);
    Listed.ClearRecord(1);
    Main->LayoutHost.Monitor = nullptr;
    Main->Monitor.reset();

    Main->FirstActivate = true;
    Main->FormActivate();
    ::InvalidateRect(Main->Handle(), nullptr, TRUE);  // as when just shown
    std::string ListedAtPaint = "(no paint)";
    auto Chained = App.OnMessage;
    App.OnMessage = [&](MSG& M, bool& Handled) {
        if (M.message == WM_PAINT && M.hwnd == Main->Handle() && ListedAtPaint == "(no paint)")
            ListedAtPaint = Listed.CellByName("Location", 1);
        Chained(M, Handled);
    };
    EXPECT_TRUE(RunUntil(App, [&] { return Main->Monitor != nullptr; }, 5000));
    App.OnMessage = Chained;
    EXPECT_EQ(ListedAtPaint, "");
    EXPECT_EQ(Listed.CellByName("Location", 1), TestExeDir() + "hostee.exe");
    // Menus that an idle pass built meanwhile offer what was read.
    Idle();
    ASSERT_EQ(Main->ApplicationsPopupMenu->Count(), 1);
    EXPECT_EQ(Main->ApplicationsPopupMenu->Items(0).Caption, "Plain Hostee");
}

// Answers this thread's message boxes with OK and keeps their texts.
class BoxAnswerer {
public:
    // Hold answers true for a box to leave open for now.
    explicit BoxAnswerer(TApplication& App, std::function<bool(HWND Box, const std::string& Text)> Hold = nullptr)
        : FTimer(&App, 50)
    {
        FTimer.OnTimer = [this, Hold] {
            for (HWND Box : MessageBoxWindows()) {
                const std::string Text = MessageBoxText(Box);
                if (Hold && Hold(Box, Text))
                    continue;
                Texts.push_back(Text);
                ::PostMessageA(Box, WM_COMMAND, IDOK, 0);
                return;
            }
        };
    }
    std::vector<std::string> Texts;

private:
    Timer FTimer;
};

// Stored layouts read in part are told at the first activation, in a box.
TEST_F(MainWindowTest, StoredLayoutsReadInPartAreToldAtStartUp)
{
    {
        TSafeRegistry Reg;
        ASSERT_TRUE(Reg.OpenKey(std::string(HostKey) + "\\Layouts", true));
        Reg.WriteString("LayoutsCount", "2");
        Reg.WriteString("LayoutsNode0", "Layout|Kept|Base=Root");
        Reg.WriteInteger("LayoutsNode1", 5);
    }
    Main->FirstActivate = true;
    BoxAnswerer Boxes(App);
    Main->FormActivate();
    ASSERT_TRUE(RunUntil(App, [&] { return !Boxes.Texts.empty(); }, 5000));
    TLayoutsReadReport Told;
    Told.CountUnreadable = true;
    Told.Stored = 2;
    Told.Read = 1;
    Told.Unreadable = 1;
    EXPECT_EQ(Boxes.Texts.front(), LayoutsReadMessage(Told));
    EXPECT_EQ(Main->Layouts->Tree.Roots().size(), 1u);
    EXPECT_EQ(Main->Layouts->Tree.Text(Main->Layouts->Tree.NodeAt(0)), "Kept");
}

TEST_F(MainWindowTest, ClosingIsRefusedWhileARulesDownloadRuns)
{
    TestHttpServer Server;
    Server.SetAnswer(UpdatePath, {200, RulesText("2099 January 1", "Served Tool", 4000), 5, 300});
    HKEY K;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, HostKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &K, nullptr), ERROR_SUCCESS);
    const std::string Host = "127.0.0.1:" + std::to_string(Server.Port);
    ::RegSetValueExA(K, "UpdateHost", 0, REG_SZ, reinterpret_cast<const BYTE*>(Host.c_str()), static_cast<DWORD>(Host.size() + 1));
    ::RegCloseKey(K);
    BoxAnswerer Boxes(App);
    Click(Main->ToolBar1, Main->UpdateButton);
    ASSERT_TRUE(RunUntil(App, [&] { return Main->Updater->Busy(); }, 5000));
    ::PostMessageA(Main->Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(RunUntil(App, [&] { return !Boxes.Texts.empty(); }, 5000));
    EXPECT_EQ(Boxes.Texts.front(), "Download in progress. Please wait!");
    EXPECT_FALSE(App.Terminated());
    EXPECT_FALSE(HostValueExists("Path"));
    // Once the download is over, closing goes ahead.
    ASSERT_TRUE(RunUntil(App, [&] { return !Main->Updater->Busy(); }, 10000));
    ::PostMessageA(Main->Handle(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(RunUntil(App, [&] { return App.Terminated(); }, 5000));
    EXPECT_TRUE(HostValueExists("Path"));
}

TEST_F(MainWindowTest, ClosingGoesAheadUnderAFinishedDownloadsBox)
{
    // The grabber stops while the import's box is up (its loop dispatches
    // the stop): no download runs any more, and a close then stores the
    // import and ends the box's loop with the program's. Another window is
    // active meanwhile: the box is still the main window's and disables it.
    KnownApps.RulesDate = 0;  // what the server has is newer
    TestHttpServer Server;
    Server.SetAnswer(UpdatePath, {200, RulesText("2099 January 1", "Served Tool", 4000)});
    HKEY K;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, HostKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &K, nullptr), ERROR_SUCCESS);
    const std::string Host = "127.0.0.1:" + std::to_string(Server.Port);
    ::RegSetValueExA(K, "UpdateHost", 0, REG_SZ, reinterpret_cast<const BYTE*>(Host.c_str()), static_cast<DWORD>(Host.size() + 1));
    ::RegCloseKey(K);
    const std::string Imported = "Application rules successfully imported!";
    HWND Owner = nullptr;
    bool MainEnabled = true, ClosePosted = false;
    BoxAnswerer Boxes(App, [&](HWND Box, const std::string& Text) {
        if (Text != Imported)
            return false;
        if (!ClosePosted && Main->Updater->Grabber.Status() == gsStopped) {
            Owner = ::GetWindow(Box, GW_OWNER);
            MainEnabled = ::IsWindowEnabled(Main->Handle()) != FALSE;
            ::PostMessageA(Main->Handle(), WM_CLOSE, 0, 0);
            ClosePosted = true;
        }
        return true;
    });
    Click(Main->ToolBar1, Main->UpdateButton);
    HWND Other = ::CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                                   100, nullptr, nullptr, nullptr, nullptr);
    ::SetForegroundWindow(Other);
    ::SetActiveWindow(Other);
    ASSERT_TRUE(RunUntil(App, [&] { return App.Terminated(); }, 10000));
    EXPECT_TRUE(ClosePosted);
    EXPECT_EQ(Boxes.Texts, std::vector<std::string>{});  // no "Download in progress"
    EXPECT_EQ(Owner, Main->Handle());
    EXPECT_FALSE(MainEnabled);
    EXPECT_NE(AppsValue("KnownAppList").find("Served Tool"), std::string::npos);
    ::DestroyWindow(Other);
}

// Writes a value under the program's key; Sub is "" or a subkey's "\\Name".
void SetHostValue(const std::string& Sub, const char* Name, DWORD Type, const std::string& Data)
{
    HKEY K;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(HostKey) + Sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &K, nullptr), ERROR_SUCCESS);
    ::RegSetValueExA(K, Name, 0, Type, reinterpret_cast<const BYTE*>(Data.c_str()),
                     static_cast<DWORD>(Data.size() + (Type == REG_SZ)));
    ::RegCloseKey(K);
}

void ForgetDatabase()
{
    for (Tappwindowlist* L : {&AllowedWindows, &ForbiddenWindows}) {
        L->Clear();
        L->Modified = false;
    }
    KnownApps.Clear();
    KnownApps.RulesDate = 0;
    KnownApps.Modified = false;
}

// A database, application list and monitor as before the first activation.
void ForgetStartup(Tmainform& Main)
{
    ForgetDatabase();
    TDatabaseGrid& Listed = ApplicationListForm->List.Table();
    while (Listed.RecordCount() > 1)
        Listed.DeleteRecord(1);
    Listed.ClearRecord(1);
    Main.LayoutHost.Monitor = nullptr;
    Main.Monitor.reset();
    Main.FirstActivate = true;
}

// A rules update that arrives while the known applications' editor is open
// waits for it: the user's change is taken first, the update imported once
// the editor has closed, and once only; the close stores both, also after a
// start that found the stored database damaged.
TEST_F(MainWindowTest, UpdateArrivingInTheEditorIsImportedOnceAfterItAndStored)
{
    new TKnownAppsForm(&App);
    TestHttpServer Server;
    Server.SetAnswer(UpdatePath, {200, RulesText("2099 January 1", "Served Tool", 4000), 5, 300});
    SetHostValue("", "UpdateHost", REG_SZ, "127.0.0.1:" + std::to_string(Server.Port));
    SetHostValue("\\Apps", "KnownAppList", REG_SZ, "not binary");
    ForgetStartup(*Main);
    const std::string Imported = "Application rules successfully imported!";
    const auto EditorShown = [] { return KnownAppsForm->Handle() && ::IsWindowVisible(KnownAppsForm->Handle()); };
    std::vector<std::string> ToldInTheEditor;
    BoxAnswerer Boxes(App, [&](HWND, const std::string& Text) {
        if (EditorShown())
            ToldInTheEditor.push_back(Text);
        return false;
    });
    Main->FormActivate();
    ASSERT_TRUE(RunUntil(App, [&] { return !Boxes.Texts.empty(); }, 5000));
    ASSERT_EQ(Boxes.Texts.front().rfind("The stored database of known applications is damaged", 0), 0u);
    Boxes.Texts.clear();

    const auto Cancel = [] { ::SendMessageA(KnownAppsForm->cancelbutton->Handle(), BM_CLICK, 0, 0); };
    // A download started first ends while the window is open; then the
    // window is worked in and closed.
    const struct {
        const char* Name;
        bool Update;
        ToolButton* Button;
        std::function<void()> InEditor;
        std::vector<std::string> WantTold;
    } Rows[] = {
        {"edited while the update came", true, Main->EditAppsButton,
         [&] {
             TDatabaseGridWin* T = KnownAppsForm->AppTable;
             T->FocusCell(T->Grid.ColumnIndex("Problems"), 1);
             ::SetFocus(T->Handle());
             ::SendMessageA(T->Handle(), WM_CHAR, 'x', 0);
             ::SendMessageA(T->EditorHandle(), WM_KEYDOWN, VK_RETURN, 0);
             ::SendMessageA(KnownAppsForm->okbutton->Handle(), BM_CLICK, 0, 0);
         },
         {Imported}},
        {"viewed again", false, Main->ViewAppsButton, Cancel, {}},
        {"viewed while the same update came", true, Main->ViewAppsButton, Cancel,
         {"Your application rules already are up-to-date!"}},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        if (R.Update) {
            Click(Main->ToolBar1, Main->UpdateButton);
            ASSERT_TRUE(RunUntil(App, [&] { return Main->Updater->Busy(); }, 5000));
        }
        bool Done = false;
        Timer InEditor(&App, 30);
        InEditor.OnTimer = [&] {
            if (Done || !EditorShown() || Main->Updater->Busy())
                return;
            Done = true;
            R.InEditor();
        };
        Click(Main->ToolBar1, R.Button);
        // What the editor's close brings is told before the loop sees it closed.
        ASSERT_TRUE(RunUntil(App, [&] { return Done && !EditorShown(); }, 10000));
        Idle();
        EXPECT_EQ(Boxes.Texts, R.WantTold);
        Boxes.Texts.clear();
    }
    EXPECT_EQ(ToldInTheEditor, std::vector<std::string>{});
    int Index = -1;
    EXPECT_TRUE(FindKnownAppByName("Served Tool", Index, false));
    ::PostMessageA(Main->Handle(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(RunUntil(App, [&] { return App.Terminated(); }, 5000));
    EXPECT_NE(AppsValue("KnownAppList").find("Served Tool"), std::string::npos);
    ForgetDatabase();
}

// A drop-down opened at the first paint, before the start-up's steps have
// read the stored lists, shows what they hold.
TEST_F(MainWindowTest, ApplicationsDropDownDuringTheStartUpListsTheStoredApplications)
{
    ASSERT_NO_FATAL_FAILURE(ListHostee());
    StringList Found, Known;
    ApplicationListForm->WriteApplicationList(Found);
    WriteApplicationRules(Known);
    SetHostValue("\\Apps", "FoundAppList", REG_BINARY, JoinStringsChar(Found, '\r'));
    SetHostValue("\\Apps", "KnownAppList", REG_BINARY, JoinStringsChar(Known, '\r'));
    const struct {
        const char* Name;
        int StepsRun;
    } Rows[] = {{"nothing but the layouts read", 0}, {"the database not read", 1}};
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        ForgetStartup(*Main);
        Main->RefreshApps = true;  // as made
        Main->FormActivate();
        MSG M;
        for (int I = 0; I < R.StepsRun; ++I)
            if (::PeekMessageA(&M, Main->Handle(), WM_APP, 0xBFFF, PM_REMOVE))
                ::DispatchMessageA(&M);
        ASSERT_TRUE(::PeekMessageA(&M, Main->Handle(), WM_APP, 0xBFFF, PM_NOREMOVE));  // still reading
        std::vector<std::string> Shown;
        Timer Look(&App, 30);
        Look.OnTimer = [&] {
            HWND Menu = ::FindWindowA("#32768", nullptr);
            if (!Menu || !::IsWindowVisible(Menu))
                return;
            HMENU H = reinterpret_cast<HMENU>(::SendMessageA(Menu, MN_GETHMENU, 0, 0));
            for (int I = 0; I < ::GetMenuItemCount(H) && I < Main->ApplicationsPopupMenu->Count(); ++I)
                Shown.push_back(Main->ApplicationsPopupMenu->Items(I).Caption);
            ::PostMessageA(Menu, WM_KEYDOWN, VK_ESCAPE, 0);
        };
        const RECT B = Main->AppsButton->ItemRect();
        const LPARAM Arrow = MAKELPARAM(B.right - 4, (B.top + B.bottom) / 2);
        ::SendMessageA(Main->ToolBar1->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, Arrow);
        ::SendMessageA(Main->ToolBar1->Handle(), WM_LBUTTONUP, 0, Arrow);
        Idle();
        EXPECT_EQ(Shown, std::vector<std::string>{"Plain Hostee"});
    }
}

// The layouts key refuses writing: a close tells it once with the system's
// reason and stores the rest; a close once the session's query was answered
// yes shows nothing, as the session's end does.
TEST_F(MainWindowTest, RefusedStoreIsToldAtACloseNotAfterTheSessionsYes)
{
    for (const bool QueriedFirst : {false, true}) {
        SCOPED_TRACE(QueriedFirst ? "after the session's yes" : "a close");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
        HKEY K;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(HostKey) + "\\Layouts").c_str(), 0, nullptr,
                                    0, KEY_ALL_ACCESS, nullptr, &K, nullptr), ERROR_SUCCESS);
        PSECURITY_DESCRIPTOR Sd = nullptr;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(D;;0x6;;;WD)(A;;KA;;;WD)",
                                                                           SDDL_REVISION_1, &Sd, nullptr));
        ::RegSetKeySecurity(K, DACL_SECURITY_INFORMATION, Sd);
        ::LocalFree(Sd);
        ::RegCloseKey(K);
        Main->StateStored = false;
        BoxAnswerer Boxes(App);
        if (QueriedFirst) {
            EXPECT_EQ(::SendMessageA(Main->Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
        }
        ::SendMessageA(Main->Handle(), WM_CLOSE, 0, 0);
        MSG M;
        // Taken back, or the loop would end for the row that follows.
        EXPECT_TRUE(::PeekMessageA(&M, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        EXPECT_TRUE(HostValueExists("Path"));
        ASSERT_EQ(Boxes.Texts.size(), QueriedFirst ? 0u : 1u);
        if (!QueriedFirst) {
            EXPECT_NE(Boxes.Texts[0].find("The layouts could not be stored"), std::string::npos) << Boxes.Texts[0];
        }
        Main->SessionMayEnd = false;
    }
}

// The idle pass builds the applications menu without the shell's icons
// (slow for every file): an item's icon is looked up when it is drawn, and
// is its listed executable's.
TEST_F(MainWindowTest, ApplicationsMenuLooksItsIconsUpWhenDrawn)
{
    ASSERT_NO_FATAL_FAILURE(ListHostee());
    Main->RefreshApps = true;
    Idle();
    PopupMenu& Menu = *Main->ApplicationsPopupMenu;
    ASSERT_EQ(Menu.Count(), 1);
    EXPECT_FALSE(ApplicationListForm->SystemImagesLinked());
    HDC Dc = ::GetDC(Main->Handle());
    Menu.DrawImage(Dc, Menu.Items(0).ImageIndex, 0, 0, true);
    ::ReleaseDC(Main->Handle(), Dc);
    EXPECT_EQ(Main->AppMenuIcon(Menu.Items(0).ImageIndex),
              ApplicationListForm->ApplicationIconIndex("Plain Hostee"));
}

TEST_F(MainWindowTest, HosteeFromTheComboIsBoundIntoTheHoverPanelThenUnboundOrClosed)
{
    // Made before: the idle pass fills the combo again.
    Main->EnsureToolPanel();
    ASSERT_NO_FATAL_FAILURE(ListHostee());
    Main->RefreshApps = true;
    Main->LayoutsMenuClick(MakeLayout("Two", 2));
    Idle();
    ASSERT_EQ(Main->BindAppComboBox->Item(1), "Plain Hostee");
    ASSERT_EQ(Main->ApplicationsPopupMenu->Count(), 1);
    EXPECT_EQ(Main->ApplicationsPopupMenu->Items(0).Caption, "Plain Hostee");
    struct Case {
        const char* Name;
        SpeedButton* Button;
        bool WantRunning;
        const char* Hint;
    };
    const Case Cases[] = {{"unbind", Main->MiniUnbindbutton, true, "unbind this application from the panel"},
                          {"close", Main->MiniClosebutton, false, "close this application"}};
    for (const Case& C : Cases) {
        TAppPanel* P = HostPanels().front();
        HoverOver(P);
        ASSERT_EQ(Main->HoverPanel, P) << C.Name;
        ::SendMessageA(Main->BindAppComboBox->Handle(), WM_KEYDOWN, VK_DOWN, 0);
        TApplicationItem* Item = nullptr;
        ASSERT_TRUE(RunUntil(App, [&] {
            Item = Main->Monitor->FindItemByPanel(P->ClientPanel);
            return Item && Item->Bound && C.Button->Parent() == P->ClientPanel;
        }, 15000)) << C.Name;
        std::string Name;
        EXPECT_TRUE(Main->Layouts->Tree.NodeAppName(Main->HoverNode(), Name));
        EXPECT_EQ(Name, "Plain Hostee");
        const HWND Wnd = Item->Handle;
        EXPECT_EQ(::GetAncestor(Wnd, GA_PARENT), P->ClientPanel->Handle()) << C.Name;
        // Resting on the button shows its hint, and nothing polls the pointer:
        // the monitor's ticks see it go onto the bound window, which tells
        // the main window nothing.
        int Polls = 0;
        EXPECT_EQ(HintAfterResting(App, C.Button, Polls), C.Hint) << C.Name;
        EXPECT_EQ(Polls, 0) << C.Name;
        RECT R;
        ::GetWindowRect(Wnd, &R);
        INPUT In = {};
        In.type = INPUT_MOUSE;
        In.mi.dx = (R.left + R.right) / 2 * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
        In.mi.dy = (R.top + R.bottom) / 2 * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
        In.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        ::SendInput(1, &In, sizeof(In));
        Main->Monitor->Timer->SetInterval(250);
        EXPECT_TRUE(RunUntil(App, [&] { return ShownHint(C.Button->Handle()).empty(); }, 2000))
            << C.Name;
        Main->Monitor->Timer->SetInterval(1000);
        HANDLE Process = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, Item->ProcessId);
        ::SendMessageA(C.Button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8));
        ::SendMessageA(C.Button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(8, 8));
        if (C.WantRunning) {
            EXPECT_EQ(Main->Monitor->FindItemByPanel(P->ClientPanel), nullptr) << C.Name;
            EXPECT_NE(::GetAncestor(Wnd, GA_PARENT), P->ClientPanel->Handle()) << C.Name;
            EXPECT_EQ(::WaitForSingleObject(Process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << C.Name;
            ::TerminateProcess(Process, 0);
        }
        EXPECT_TRUE(RunUntil(App, [&] { return ::WaitForSingleObject(Process, 0) == WAIT_OBJECT_0; },
                             10000)) << C.Name;
        ::CloseHandle(Process);
        RunUntil(App, [&] { return Main->Monitor->Count() == 0; }, 5000);
    }
}

// While the user works in the hosted programs the main window gets no
// input: what the panels, their strips and the hover tools show follows
// each change a program or the system makes, within a tick.
TEST_F(MainWindowTest, PanelsFollowTheirProgramsWithoutInput)
{
    // The monitor that opens the programs comes at the end of the reading.
    Main->CompleteStartup();
    KnowHostee();
    Main->LayoutsMenuClick(MakeLayout("Three", 3));
    Idle();
    const auto Panels = HostPanels();
    ASSERT_EQ(Panels.size(), 3u);
    Main->Monitor->Timer->SetInterval(250);
    int Ticks = 0;
    Main->Monitor->Timer->OnTimer = [&] {
        ++Ticks;
        Main->Monitor->TimerTick();
    };
    const auto Item = [&](int I) { return Main->Monitor->FindItemByPanel(Panels[I]->ClientPanel); };
    const auto Open = [&](int I) {
        return Main->LayoutHost.OpenApplication("Plain Hostee", TestExeDir() + "hostee.exe", "", Panels[I]);
    };
    std::vector<HANDLE> Processes;
    HWND Wnd[2] = {};
    for (int I = 0; I < 2; ++I) {
        ASSERT_TRUE(Open(I));
        ASSERT_TRUE(RunUntil(App, [&] { return Item(I) && Item(I)->Bound; }, 15000));
        Wnd[I] = Item(I)->Handle;
        Processes.push_back(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, Item(I)->ProcessId));
    }
    const RECT Place = RectIn(Wnd[0], Panels[0]->ClientPanel->Handle());
    // The user's pointer and clicks, as input to whatever lies under them.
    const auto Send = [](DWORD Flags, int X = 0, int Y = 0) {
        INPUT In = {};
        In.type = INPUT_MOUSE;
        In.mi.dx = X * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1);
        In.mi.dy = Y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1);
        In.mi.dwFlags = Flags;
        ::SendInput(1, &In, sizeof(In));
    };
    const auto PointInto = [&](HWND W) {
        RECT R;
        ::GetWindowRect(W, &R);
        Send(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, (R.left + R.right) / 2, (R.top + R.bottom) / 2);
    };
    const auto Click = [&] {
        Send(MOUSEEVENTF_LEFTDOWN);
        Send(MOUSEEVENTF_LEFTUP);
    };
    const auto Front = [&](int I) {
        return Panels[I]->ClientPanel->Color() == clActiveCaption &&
               Panels[1 - I]->ClientPanel->Color() == clInactiveCaption;
    };
    std::unique_ptr<Hostee> Other;
    int Seconds = 0;
    struct Row {
        const char* Name;
        std::function<void()> Change;
        std::function<bool()> Ready;  // what the change needs to have happened
        std::function<bool()> Shown;
    };
    const auto Always = [] { return true; };
    // A tick has read the pointer in the first program's window.
    PointInto(Wnd[0]);
    const int Start = Ticks;
    RunUntil(App, [&] { return Ticks >= Start + 2; }, 15000);
    const Row Rows[] = {
        {"pointer into the second program", [&] { PointInto(Wnd[1]); }, Always,
         [&] { return Main->HoverPanel == Panels[1] && Main->MiniClosebutton->Parent() == Panels[1]->ClientPanel; }},
        {"click into the second program", Click, Always, [&] { return Front(1); }},
        {"pointer back into the first", [&] { PointInto(Wnd[0]); }, Always,
         [&] { return Main->HoverPanel == Panels[0]; }},
        {"click into the first program", Click, Always, [&] { return Front(0); }},
        {"a program starts slowly",
         [&] {
             // It shows after 2.5 s and renames itself 5 s after it starts, then every 5 s.
             ::SetEnvironmentVariableA("HOSTEE_OPTIONS", "/delay=2500 /retitle=5000");
             Open(2);
             ::SetEnvironmentVariableA("HOSTEE_OPTIONS", nullptr);
             Processes.push_back(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, Item(2)->ProcessId));
             Seconds = Item(2)->Seconds;
         },
         Always,
         [&] {
             // The first tick may come with another change.
             return Item(2)->Seconds >= Seconds + 2 &&
                    Panels[2]->ClientPanel->Text() == LoadingText("Plain Hostee", Item(2)->Seconds);
         }},
        {"its window shows", [] {}, [&] { return Item(2)->Bound; },
         [&] { return Panels[2]->ClientPanel->Text() == "Hostee" && Panels[2]->Mode() == apmCloseUnbind; }},
        // Nothing else changes meanwhile: no input, no other window.
        {"it renames itself", [] {}, [&] { return GetWindowTitle(Item(2)->Handle) == "Retitle 1"; },
         [&] { return Panels[2]->ClientPanel->Text() == "Retitle 1"; }},
        {"it ends", [&] { ::TerminateProcess(Processes[2], 0); }, Always,
         [&] { return !Item(2) && Panels[2]->ClientPanel->Text().empty(); }},
        {"another program comes to the front",
         [&] { Other = std::make_unique<Hostee>("/title=Other"); },
         [&] {
             HWND W = ::FindWindowA("HosteeWindow", "Other");
             return W && ::SetForegroundWindow(W) && ::GetForegroundWindow() == W;
         },
         [&] { return Panels[0]->ClientPanel->Color() == clInactiveCaption; }},
        {"the first program moves itself",
         [&] { ::MoveWindow(Wnd[0], Place.left + 7, Place.top + 5, 100, 100, TRUE); }, Always,
         [&] { return SameRect(RectIn(Wnd[0], Panels[0]->ClientPanel->Handle()), Place); }},
        {"the first program ends", [&] { ::TerminateProcess(Processes[0], 0); }, Always,
         [&] { return !Item(0) && Panels[0]->ClientPanel->Text().empty() && Panels[0]->Mode() == apmTool; }},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Name);
        Idle();
        R.Change();
        ASSERT_TRUE(RunUntil(App, R.Ready, 15000));
        // The end takes two ticks: the first misses the process, the
        // second drops it.
        const int From = Ticks;
        RunUntil(App, [&] { return R.Shown() || Ticks >= From + 3; }, 15000);
        EXPECT_TRUE(R.Shown());
    }
    for (HANDLE P : Processes) {
        ::TerminateProcess(P, 0);
        ::WaitForSingleObject(P, 5000);
        ::CloseHandle(P);
    }
    RunUntil(App, [&] { return Main->Monitor->Count() == 0; }, 5000);
}

TEST_F(MainWindowTest, DotsButtonStartsOnlyABindableProgramIntoThePanelAndListsIt)
{
    KnowHostee();
    Main->LayoutsMenuClick(MakeLayout("One", 1));
    Idle();
    TAppPanel* P = HostPanels().front();
    struct Case {
        const char* Name;
        const char* Exe;  // nullptr: the dialog is cancelled
        const char* WantBox;  // the start of the message, nullptr: none
        const char* App;      // its name in the application list
        bool WantListed;
        bool WantBound;
    };
    const Case Cases[] = {
        {"cancelled", nullptr, nullptr, "Outer Tool", false, false},
        {"unknown", "verapp_none.exe", "\"verapp_none.exe\" is not a known application", "Outer Tool",
         false, false},
        {"external", "verapp_1_5.exe", "\"Outer Tool\" cannot be executed in a panel", "Outer Tool", true,
         false},
        // Its panel could not keep the name in the stored layouts: refused
        // before it is listed.
        {"bind, named with a ';'", "semicolon.exe", "\"Semi; Colon\" cannot be chosen for a panel",
         "Semi; Colon", false, false},
        {"bind", "hostee.exe", nullptr, "Plain Hostee", true, true},
    };
    ASSERT_TRUE(::CopyFileA((TestExeDir() + "hostee.exe").c_str(),
                            (TestExeDir() + "semicolon.exe").c_str(), FALSE));
    HoverOver(P);
    int Polls = 0;
    EXPECT_EQ(HintAfterResting(App, Main->BindAppButton, Polls), "start a new application in this panel");
    EXPECT_LE(Polls, 2);
    for (const Case& C : Cases) {
        HoverOver(P);
        ASSERT_EQ(Main->HoverPanel, P) << C.Name;
        Main->ChooseExecutable = [&C](std::string& File) {
            File = C.Exe ? TestExeDir() + C.Exe : "";
            return C.Exe != nullptr;
        };
        BoxAnswerer Boxes(App);
        ::SendMessageA(Main->BindAppButton->Handle(), BM_CLICK, 0, 0);
        App.ProcessMessages();
        if (C.WantBox) {
            ASSERT_EQ(Boxes.Texts.size(), 1u) << C.Name;
            EXPECT_EQ(Boxes.Texts.front().rfind(C.WantBox, 0), 0u) << C.Name << ": " << Boxes.Texts.front();
        } else {
            EXPECT_TRUE(Boxes.Texts.empty()) << C.Name;
        }
        EXPECT_EQ(ApplicationListForm->RowOfApplication(C.App) >= 1, C.WantListed) << C.Name;
        TApplicationItem* Item = nullptr;
        const bool Bound = RunUntil(App, [&] {
            Item = Main->Monitor->FindItemByPanel(P->ClientPanel);
            return Item && Item->Bound;
        }, C.WantBound ? 15000 : 300);
        EXPECT_EQ(Bound, C.WantBound) << C.Name;
        std::string Name;
        EXPECT_EQ(Main->Layouts->Tree.NodeAppName(Main->Layouts->Tree.FindNodeByPanel(P), Name),
                  C.WantBound) << C.Name;
        if (Bound) {
            EXPECT_EQ(Name, "Plain Hostee");
            HANDLE Process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, Item->ProcessId);
            ::TerminateProcess(Process, 0);
            ::WaitForSingleObject(Process, 5000);
            ::CloseHandle(Process);
            RunUntil(App, [&] { return Main->Monitor->Count() == 0; }, 5000);
        }
    }
    ::DeleteFileA((TestExeDir() + "semicolon.exe").c_str());
}

TEST_F(MainWindowTest, ApplicationChoicesStartOnlyWithSomewhereToGo)
{
    ASSERT_NO_FATAL_FAILURE(ListHostee());
    Main->RefreshApps = true;
    Main->LayoutsMenuClick(MakeLayout("One", 1));
    Idle();
    TAppPanel* P = HostPanels().front();
    struct Case {
        const char* Name;
        std::function<void()> Choose;
        bool WantStarted;
        const char* WantBox;  // the start of the message, nullptr: none
    };
    const Case Cases[] = {
        // Its panel could not keep the name in the stored layouts.
        {"combo item named with a ';' over a panel", [&] {
             const std::string Exe = TestExeDir() + "semicolon.exe";
             ASSERT_TRUE(::CopyFileA((TestExeDir() + "hostee.exe").c_str(), Exe.c_str(), FALSE));
             TIdentifyInfo Info;
             std::string Message;
             ASSERT_EQ(CheckApplication("", Exe, Info, Message, false), irBind);
             ASSERT_TRUE(ApplicationListForm->AddApplication(Exe, Info));
             Main->RefreshApps = true;
             Idle();
             HoverOver(P);
             ASSERT_EQ(Main->BindAppComboBox->Item(2), "Semi; Colon");
             Main->BindAppComboBox->SetItemIndex(2);
             Main->BindAppComboBoxChange();
             ::DeleteFileA(Exe.c_str());
         }, false, "\"Semi; Colon\" cannot be chosen for a panel"},
        {"combo item 0 over a panel", [&] {
             HoverOver(P);
             Main->BindAppComboBox->SetItemIndex(0);
             Main->BindAppComboBoxChange();
         }, false, nullptr},
        {"combo item 1 over no panel", [&] {
             Main->SetHoverPanel(nullptr);
             Main->BindAppComboBox->SetItemIndex(1);
             Main->BindAppComboBoxChange();
         }, false, nullptr},
        // The applications menu starts a separate window, in no panel.
        {"applications menu", [&] { Main->ApplicationsPopupMenu->Click(0); }, true, nullptr},
    };
    for (const Case& C : Cases) {
        BoxAnswerer Boxes(App);
        C.Choose();
        ASSERT_EQ(Boxes.Texts.size(), C.WantBox ? 1u : 0u) << C.Name;
        if (C.WantBox) {
            EXPECT_EQ(Boxes.Texts.front().rfind(C.WantBox, 0), 0u) << C.Name << ": " << Boxes.Texts.front();
        }
        ASSERT_EQ(Main->Monitor->Count(), C.WantStarted ? 1 : 0) << C.Name;
        EXPECT_EQ(Main->Monitor->FindItemByPanel(P->ClientPanel), nullptr) << C.Name;
        std::string Name;
        EXPECT_FALSE(Main->Layouts->Tree.NodeAppName(Main->Layouts->Tree.FindNodeByPanel(P), Name)) << C.Name;
        if (C.WantStarted) {
            HANDLE Process = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                           Main->Monitor->Items(0)->ProcessId);
            ASSERT_TRUE(Process) << C.Name;
            EXPECT_EQ(::WaitForSingleObject(Process, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << C.Name;
            ::TerminateProcess(Process, 0);
            ::WaitForSingleObject(Process, 5000);
            ::CloseHandle(Process);
            RunUntil(App, [&] { return Main->Monitor->Count() == 0; }, 5000);
        }
    }
}

TEST_F(MainWindowTest, AddPanelButtonAddsToTheAppliedLayoutOrAsksForANewOne)
{
    struct Case {
        const char* Name;
        bool Applied;       // a layout of two panels is applied first
        const char* Answer;  // typed into the name box; nullptr: cancelled
        bool WantAsked;
        const char* WantLayout;  // "": none applied
        std::size_t WantPanels;
    };
    const Case Cases[] = {
        {"applied layout takes a child", true, nullptr, false, "Two", 3},
        {"no layout: named", false, "Mine", true, "Mine", 1},
        {"no layout: cancelled", false, nullptr, true, "", 0},
    };
    for (const Case& C : Cases) {
        Main->Layouts->SetAppliedLayout(C.Applied ? MakeLayout("Two", 2) : NoNode);
        Idle();
        std::string Initial;
        bool Asked = false;
        Timer Answer(&App, 30);
        Answer.OnTimer = [&] {
            HWND Box = ::FindWindowA(nullptr, "Layout name ...");
            if (!Box || !::IsWindowVisible(Box))
                return;
            Asked = true;
            HWND Edit = ::FindWindowExA(Box, nullptr, "Edit", nullptr);
            char Buf[64] = {};
            ::GetWindowTextA(Edit, Buf, sizeof(Buf));
            Initial = Buf;
            if (C.Answer)
                ::SetWindowTextA(Edit, C.Answer);
            ::PostMessageA(::FindWindowExA(Box, nullptr, "Button", C.Answer ? "OK" : "Cancel"), BM_CLICK, 0, 0);
        };
        Click(Main->ToolBar2, Main->addfirstbutton);
        Idle();
        EXPECT_EQ(Asked, C.WantAsked) << C.Name;
        if (Asked) {
            EXPECT_EQ(Initial, "<new layout>") << C.Name;
        }
        const TNodeId L = Main->Layouts->AppliedLayout();
        EXPECT_EQ(L == NoNode ? "" : Main->Layouts->Tree.Text(L), C.WantLayout) << C.Name;
        EXPECT_EQ(HostPanels().size(), C.WantPanels) << C.Name;
        EXPECT_EQ(Main->MainAction(maAddFirst).Caption(), C.WantPanels ? "Add panel" : "Add layout") << C.Name;
    }
}

TEST_F(MainWindowTest, PanelToolButtonsWorkOnTheNodeUnderTheMouse)
{
    using Check = std::function<bool(const TLayoutTree& T, TNodeId L, TNodeId N, int Orientation)>;
    struct Case {
        const char* Name;
        ToolButton* Button;
        Check Want;
    };
    Main->EnsureToolPanel();
    const Case Cases[] = {
        {"add child", Main->addchildbutton,
         [](const TLayoutTree& T, TNodeId, TNodeId N, int) { return T.Children(N).size() == 1; }},
        {"add neighbour", Main->addneighbourbutton,
         [](const TLayoutTree& T, TNodeId L, TNodeId, int) { return T.Children(L).size() == 4; }},
        {"delete", Main->deletebutton,
         [this](const TLayoutTree& T, TNodeId L, TNodeId N, int) {
             return !T.Exists(N) && T.Children(L).size() == 2 && !Main->HoverPanel;
         }},
        {"rotate clockwise", Main->rotateclockwisebutton,
         [](const TLayoutTree& T, TNodeId, TNodeId N, int O) { return T.NodeOrientation(N, loNone) != O; }},
        {"rotate anti-clockwise", Main->rotateanticlockwisebutton,
         [](const TLayoutTree& T, TNodeId, TNodeId N, int O) { return T.NodeOrientation(N, loNone) != O; }},
        {"move forward", Main->moveforwardbutton,
         [](const TLayoutTree& T, TNodeId L, TNodeId N, int) { return T.Children(L)[2] == N; }},
        {"move backwards", Main->movebackwardsbutton,
         [](const TLayoutTree& T, TNodeId L, TNodeId N, int) { return T.Children(L)[0] == N; }},
    };
    for (const Case& C : Cases) {
        const TNodeId L = MakeLayout("Three", 3);
        Main->LayoutsMenuClick(L);
        Idle();
        const TLayoutTree& Tree = Main->Layouts->Tree;
        const TNodeId N = Tree.Children(L)[1];
        HoverOver(Tree.Data(N));
        ASSERT_EQ(Main->HoverNode(), N) << C.Name;
        ASSERT_TRUE(C.Button->GetAction().Enabled()) << C.Name;
        const int Before = Tree.NodeOrientation(N, loNone);
        Click(Main->ToolbuttonBar, C.Button);
        EXPECT_TRUE(C.Want(Tree, L, N, Before)) << C.Name;
        Idle();
    }
}

int PendingForms(TApplication& App)
{
    int N = 0;
    for (Component* C : App.Components())
        if (auto* F = dynamic_cast<Form*>(C))
            N += F->HandlePending();
    return N;
}

// Runs the loop until Done or Ms passed. The loop looks at the clock on a
// timer of a system window, whose ticks change nothing of the program's.
void RunWarmUpFor(TApplication& App, DWORD Ms, const std::function<bool()>& Done)
{
    const DWORD End = ::GetTickCount() + Ms;
    HWND Clock = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                   nullptr);
    ::SetTimer(Clock, 1, 20, nullptr);
    App.RunModalLoop([&] { return Done() || ::GetTickCount() >= End; });
    ::DestroyWindow(Clock);
}

// While the program keeps working in short spells (a timer of its own
// every 50 ms, as a moving mouse keeps it) the deferred forms are made all
// the same, one by one: a user who clicks early must not pay for them all.
TEST(ProgramFormsTest, DeferredFormsAreMadeWhileTheProgramWorks)
{
    TApplication App;
    CreateProgramForms(App);
    const auto Pending = [&App] { return PendingForms(App); };
    ASSERT_EQ(Pending(), 9);
    const auto RunFor = [&App](DWORD Ms, const std::function<bool()>& Done) { RunWarmUpFor(App, Ms, Done); };
    Timer Work(&App, 50);
    Work.OnTimer = [] {};
    RunFor(FormWarmUpQuietMs / 2, [] { return false; });
    EXPECT_EQ(Pending(), 9);
    // The windows of the main window's buttons come first.
    RunFor(FormWarmUpQuietMs + FormWarmUpNextMs + 5000, [&] { return Pending() <= 7; });
    EXPECT_FALSE(layoutsform->HandlePending());
    EXPECT_FALSE(KnownAppsForm->HandlePending());
    RunFor(FormWarmUpQuietMs + 9 * FormWarmUpNextMs + 5000, [&] { return Pending() == 0; });
    EXPECT_EQ(Pending(), 0);
    // Every form made, the warm-up wakes the program once more, to find
    // nothing left, and then no more.
    Work.SetEnabled(false);
    int Ticks = 0;
    App.OnMessage = [&Ticks](MSG& M, bool&) { Ticks += M.message == WM_TIMER && IsProgramWindow(M.hwnd); };
    RunFor(5 * FormWarmUpNextMs, [] { return false; });
    App.OnMessage = nullptr;
    EXPECT_LE(Ticks, 1);
}

// The steps' pauses as the order of events: a mark set at the end of a step
// comes before the next step, as the pause after a step, and after a modal
// window's opening, last longer than the mark. The modal window is the
// layout-name box, owned by nothing, open from the mark's start to the mark.
TEST(ProgramFormsTest, StepsWaitAfterAStepAndAfterAModalWindowOpens)
{
    const struct {
        const char* Name;
        bool Box;
        unsigned MarkMs;
    } Rows[] = {
        {"the pause after a step", false, FormWarmUpNextMs / 2},
        {"a modal window's first moments", true, (FormWarmUpNextMs + FormWarmUpOpeningMs) / 2},
    };
    for (const auto& R : Rows) {
        SCOPED_TRACE(R.Name);
        TApplication App;
        CreateProgramForms(App);
        const int Before = PendingForms(App);
        RunWarmUpFor(App, FormWarmUpQuietMs + 5000, [&] { return PendingForms(App) < Before; });
        const int AfterOne = PendingForms(App);
        ASSERT_EQ(AfterOne, Before - 1);
        // The next step makes a form too: the known applications' window.
        ASSERT_TRUE(KnownAppsForm->HandlePending());
        int StepsBeforeMark = -1;
        Timer Mark(nullptr, R.MarkMs);
        Mark.QuietTicks = true;
        Mark.OnTimer = [&] {
            Mark.SetEnabled(false);
            StepsBeforeMark = AfterOne - PendingForms(App);
            if (R.Box)
                ::PostMessageA(::FindWindowA(nullptr, "Layout name ..."), WM_CLOSE, 0, 0);
        };
        if (R.Box) {
            std::string Name = "<new layout>";
            EXPECT_FALSE(InputQuery("Layout name ...", "Please enter a layout name", Name));
        }
        RunWarmUpFor(App, 5000, [&] { return PendingForms(App) < AfterOne; });
        EXPECT_EQ(StepsBeforeMark, 0);
        EXPECT_EQ(PendingForms(App), AfterOne - 1) << "the next step came";
    }
}

// While the application list is open, the chooser its button opens is
// prepared, wholly, before the windows of the main window's buttons.
TEST(ProgramFormsTest, TheOpenListsChooserIsPreparedFirst)
{
    TApplication App;
    CreateProgramForms(App);
    ApplicationListForm->Show();
    const int Before = PendingForms(App);
    RunWarmUpFor(App, FormWarmUpQuietMs + FormWarmUpNextMs + 5000,
                 [&] { return PendingForms(App) < Before; });
    EXPECT_FALSE(SearchForFilesForm->HandlePending());
    EXPECT_FALSE(SearchForFilesForm->PrepareStep()) << "its shell icons too";
    EXPECT_TRUE(layoutsform->HandlePending());
}

// Quiet moments prepare a form in steps, each short enough not to keep the
// user waiting: the search chooser's shell icons come one per step after
// its window, the known applications' shell image list after its window.
TEST(ProgramFormsTest, FormsArePreparedInShortSteps)
{
    TApplication App;
    CreateProgramForms(App);
    const struct {
        const char* Name;
        Form* F;
        int Steps;
    } Forms[] = {{"main window", mainform, 0},     {"layout editor", layoutsform, 1},
                 {"duplicates", ConfirmDuplicatesForm, 1}, {"known applications", KnownAppsForm, 2},
                 {"search locations", SearchForFilesForm, 4}, {"properties", PropertyEditorForm, 1}};
    for (const auto& R : Forms) {
        SCOPED_TRACE(R.Name);
        int Steps = 0;
        while (Steps < 10 && R.F->PrepareStep())
            ++Steps;
        EXPECT_EQ(Steps, R.Steps);
        EXPECT_NE(R.F->Handle(), nullptr);
    }
}

// Freed forms leave no global behind, so a later user that reaches a form
// through its global finds none rather than a freed window.
TEST(ProgramFormsTest, FreedFormsLeaveNoGlobalBehind)
{
    { TApplication Gone; CreateProgramForms(Gone); }
    const Form* Globals[] = {mainform, layoutsform, ApplicationListForm, ProgressbarForm, ConfirmDuplicatesForm,
                             ConfirmationForm, KnownAppsForm, SearchForFilesForm, PropertyEditorForm, MinSizeEditorForm};
    for (std::size_t I = 0; I < std::size(Globals); ++I)
        EXPECT_EQ(Globals[I], nullptr) << "form " << I << " in the program's order";
    TApplication App;  // the known applications' window gone, its command
    App.MainForm = new Tmainform(&App);
    mainform->ViewKnownAppsActionExecute();
}

TEST(ProgramFormsTest, OnlyTheMainWindowIsMadeAtStartTheOthersAtTheirFirstUse)
{
    TApplication App;
    CreateProgramForms(App);
    ASSERT_EQ(App.MainForm, mainform);
    ASSERT_NE(mainform->Handle(), nullptr);
    // The hover tools wait for the first hovered panel.
    EXPECT_EQ(mainform->ToolBarPanel, nullptr);
    EXPECT_EQ(mainform->MiniClosebutton, nullptr);
    // What the main window reads at its first activation exists already.
    ASSERT_NE(ApplicationListForm, nullptr);
    EXPECT_GE(ApplicationListForm->AppGrid.ColumnIndex("Location"), 0);
    const struct {
        const char* Name;
        Form* Made;
    } Forms[] = {
        {"layout editor", layoutsform},
        {"application list", ApplicationListForm},
        {"progress", ProgressbarForm},
        {"duplicates", ConfirmDuplicatesForm},
        {"question", ConfirmationForm},
        {"known applications", KnownAppsForm},
        {"search locations", SearchForFilesForm},
        {"properties", PropertyEditorForm},
        {"minimum size", MinSizeEditorForm},
    };
    for (const auto& F : Forms) {
        SCOPED_TRACE(F.Name);
        ASSERT_NE(F.Made, nullptr);
        EXPECT_EQ(F.Made->Handle(), nullptr);
        EXPECT_TRUE(F.Made->Controls().empty());
    }
    for (const auto& F : Forms) {
        SCOPED_TRACE(F.Name);
        F.Made->EnsureHandle();
        ASSERT_NE(F.Made->Handle(), nullptr);
        EXPECT_FALSE(F.Made->Controls().empty());
        EXPECT_FALSE(::IsWindowVisible(F.Made->Handle()));
        EXPECT_EQ(::GetWindow(F.Made->Handle(), GW_OWNER), mainform->Handle());
    }
    EXPECT_EQ(&ApplicationListForm->AppTable->Grid, &ApplicationListForm->AppGrid);
    mainform->EnsureToolPanel();
    ASSERT_NE(mainform->ToolBarPanel, nullptr);
    EXPECT_EQ(mainform->ToolBarPanel->Parent(), mainform->mainpanel);
    EXPECT_FALSE(::IsWindowVisible(mainform->ToolBarPanel->Handle()));
    // The update's status bar waits for its first text, then lies in front
    // of the main panel's controls.
    EXPECT_EQ(mainform->StatusBar1, nullptr);
    mainform->HideStatus();
    const struct {
        const char* Text;
        bool Shown;
    } Steps[] = {{"Downloading", true}, {"", false}, {"Downloading again", true}};
    for (const auto& S : Steps) {
        SCOPED_TRACE(S.Text);
        if (S.Shown)
            mainform->ShowStatus(S.Text);
        else
            mainform->HideStatus();
        ASSERT_NE(mainform->StatusBar1, nullptr);
        const HWND Bar = mainform->StatusBar1->Handle();
        EXPECT_EQ((::GetWindowLongA(Bar, GWL_STYLE) & WS_VISIBLE) != 0, S.Shown);
        char Text[64] = {};
        ::SendMessageA(Bar, SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(Text));
        EXPECT_STREQ(Text, S.Text);
        EXPECT_EQ(::GetParent(Bar), mainform->mainpanel->Handle());
        EXPECT_EQ(::GetWindow(Bar, GW_HWNDPREV), nullptr);
    }
}

}  // namespace
