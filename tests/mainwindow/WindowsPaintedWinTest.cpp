// Every window of the program shown on the display, captured, and looked
// over for unpainted areas: a 20 x 20 square of one colour that neither the
// window's background nor a control paints; and for texts that do not fit
// where they are drawn (captions of buttons, labels, tabs and tool buttons,
// and the tables' headings). The captures stay as PNG files in the build
// tree's shots folder.
#include "dialogs/ConfirmDuplicatesWin.h"
#include "dialogs/MinSizeEditorWin.h"
#include "dialogs/PropertyEditorWin.h"
#include "dialogs/SearchForFilesWin.h"
#include "dialogs/applicationlistWin.h"
#include "dialogs/knownapplistWin.h"
#include "dialogs/progressesWin.h"
#include "hosting/AppPanel.h"
#include "hosting/IdentifyWin.h"
#include "hosting/RulesTestSupport.h"
#include "hosting/confirmation.h"
#include "mainwindow/LayoutDesignerWin.h"
#include "mainwindow/main.h"
#include "shell/ShellTestSupport.h"
#include "toolkit/Application.h"
#include "toolkit/InputBox.h"
#include "toolkit/Panel.h"
#include "toolkit/StringGrid.h"
#include "toolkit/Timer.h"

#include "ScreenShotSupport.h"
#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

static ::testing::Environment* const Env =
    ::testing::AddGlobalTestEnvironment(new ShellLibraryEnvironment);

namespace {

// The colours that the window's panels paint as their own.
void AddPanelColours(const Control& C, std::set<std::uint32_t>& Colours)
{
    for (const Control* Child : C.Controls()) {
        if (const auto* P = dynamic_cast<const Panel*>(Child))
            if (P->Visible())
                Colours.insert(PixelOf(ColorToRGB(P->Color())));
        AddPanelColours(*Child, Colours);
    }
}

// The shots folder beside the test programs' bin folder.
std::string ShotsDir()
{
    const std::string Dir = TestExeDir() + "..\\shots\\";
    ::CreateDirectoryA(Dir.c_str(), nullptr);
    return Dir;
}

// Runs Act once Wnd is visible and the loop has been idle, from a timer
// (inside a modal loop too).
void WhenShown(const std::function<HWND()>& Wnd, const std::function<void()>& Act)
{
    auto* T = new Timer(Application, 30);
    auto IdleSeen = std::make_shared<bool>(false);
    const int Id = Application->AddIdleHandler([IdleSeen] { *IdleSeen = true; });
    T->OnTimer = [T, Wnd, Act, IdleSeen, Id] {
        const HWND W = Wnd();
        if (!W || !::IsWindowVisible(W) || !*IdleSeen)
            return;
        T->SetEnabled(false);
        Application->RemoveIdleHandler(Id);
        Act();
    };
}

void Rules()
{
    ClearDatabase();
    const char* Rows[][4] = {
        {"Emulators", "Spin (Paul)", "bind; no title", "spin.exe"},
        {"Emulators", "Xeno", "external", "xeno.exe"},
        {"Tools", "Packer", "unsupported", "pack.exe"},
    };
    for (const auto& R : Rows)
        AddKnownApp(KnownApps, R[0], R[1], "", "0", R[2], R[3], "", "", "", "", "", "");
}

// Text drawn in Wnd's font from x = 0: the width the font's measure gives
// and how far its ink reaches, which under Wine may be further.
struct TTextWidths {
    int Measure = 0, Ink = 0, Height = 0;
};
TTextWidths TextWidths(HWND Wnd, const std::string& Text, UINT Prefix = DT_NOPREFIX)
{
    HDC Screen = ::GetDC(Wnd);
    HDC Dc = ::CreateCompatibleDC(Screen);
    HGDIOBJ OldFont = ::SelectObject(Dc, reinterpret_cast<HFONT>(::SendMessageA(Wnd, WM_GETFONT, 0, 0)));
    RECT R = {0, 0, 0, 0};
    ::DrawTextA(Dc, Text.c_str(), -1, &R, DT_CALCRECT | DT_SINGLELINE | Prefix);
    TTextWidths T{R.right, 0, R.bottom};
    R.right = R.right * 2 + 20;
    R.bottom += 4;
    HBITMAP Bmp = ::CreateCompatibleBitmap(Screen, R.right, R.bottom);
    HGDIOBJ OldBmp = ::SelectObject(Dc, Bmp);
    ::FillRect(Dc, &R, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::SetBkMode(Dc, TRANSPARENT);
    ::DrawTextA(Dc, Text.c_str(), -1, &R, DT_SINGLELINE | Prefix);
    for (int X = 0; X < R.right; ++X)
        for (int Y = 0; Y < R.bottom; ++Y)
            if (::GetPixel(Dc, X, Y) != RGB(255, 255, 255))
                T.Ink = X + 1;
    ::SelectObject(Dc, OldFont);
    ::DeleteObject(::SelectObject(Dc, OldBmp));
    ::DeleteDC(Dc);
    ::ReleaseDC(Wnd, Screen);
    return T;
}

// Each text of a visible control of Top that its place cuts, as "text
// (needs N, has M)": captions of buttons, single-line labels, tabs, tool
// buttons, tables' headings and category names. The room around a text is
// what the system's drawing of the control leaves.
std::vector<std::string> CutTexts(HWND Top)
{
    std::vector<std::string> Cut;
    const auto Check = [&Cut](const std::string& Text, int Needs, int Has) {
        if (!Text.empty() && Needs > Has)
            Cut.push_back("\"" + Text + "\" (needs " + IntToStr(Needs) + ", has " + IntToStr(Has) + ")");
    };
    for (HWND W = ::GetWindow(Top, GW_CHILD); W; W = ::GetWindow(W, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(W))
            continue;
        std::vector<std::string> Inner = CutTexts(W);
        Cut.insert(Cut.end(), Inner.begin(), Inner.end());
        char Class[64] = {}, Text[512] = {};
        ::GetClassNameA(W, Class, sizeof Class);
        ::GetWindowTextA(W, Text, sizeof Text);
        const LONG Style = ::GetWindowLongA(W, GWL_STYLE);
        RECT R;
        ::GetClientRect(W, &R);
        const LONG Type = Style & BS_TYPEMASK;
        if (lstrcmpiA(Class, WC_BUTTONA) == 0 && Type != BS_OWNERDRAW &&
            !(Style & (BS_BITMAP | BS_ICON | BS_MULTILINE))) {
            const bool Box = Type >= BS_CHECKBOX && Type <= BS_AUTORADIOBUTTON && Type != BS_GROUPBOX;
            Check(Text, TextWidths(W, Text, 0).Ink + (Box ? 17 : Type == BS_GROUPBOX ? 16 : 6), R.right);
        } else if (lstrcmpiA(Class, WC_STATICA) == 0 && (Style & SS_TYPEMASK) <= SS_RIGHT) {
            // A label of one line's height; a taller one is meant to wrap.
            const TTextWidths Tw = TextWidths(W, Text, Style & SS_NOPREFIX ? DT_NOPREFIX : 0);
            if (R.bottom < 2 * Tw.Height)
                Check(Text, Tw.Ink, R.right);
        } else if (lstrcmpiA(Class, WC_TABCONTROLA) == 0) {
            for (int I = 0; I < ::SendMessageA(W, TCM_GETITEMCOUNT, 0, 0); ++I) {
                char Buf[256] = {};
                TCITEMA Item = {TCIF_TEXT, 0, 0, Buf, sizeof Buf, 0, 0};
                ::SendMessageA(W, TCM_GETITEMA, I, reinterpret_cast<LPARAM>(&Item));
                RECT T = {};
                ::SendMessageA(W, TCM_GETITEMRECT, I, reinterpret_cast<LPARAM>(&T));
                // Centred on its measure between edges of 2 pixels, 1 spare.
                const TTextWidths Tw = TextWidths(W, Buf, 0);
                const int Has = T.right - T.left;
                Check(Buf, 2 + (Has - 4 - Tw.Measure) / 2 + Tw.Ink + 3, Has);
            }
        } else if (lstrcmpiA(Class, TOOLBARCLASSNAMEA) == 0) {
            for (int I = 0; I < ::SendMessageA(W, TB_BUTTONCOUNT, 0, 0); ++I) {
                TBBUTTON B = {};
                char Buf[256] = {};
                ::SendMessageA(W, TB_GETBUTTON, I, reinterpret_cast<LPARAM>(&B));
                if ((B.fsState & TBSTATE_HIDDEN) ||
                    ::SendMessageA(W, TB_GETBUTTONTEXTA, B.idCommand, reinterpret_cast<LPARAM>(Buf)) <= 0)
                    continue;
                RECT T = {};
                ::SendMessageA(W, TB_GETITEMRECT, I, reinterpret_cast<LPARAM>(&T));
                int Image = 0, Cy = 0;  // beside the text in a list tool bar
                if (auto* L = reinterpret_cast<HIMAGELIST>(::SendMessageA(W, TB_GETIMAGELIST, 0, 0)))
                    if (Style & TBSTYLE_LIST)
                        ::ImageList_GetIconSize(L, &Image, &Cy);
                Check(Buf, TextWidths(W, Buf).Ink + Image + 4, T.right - T.left);
            }
        } else if (auto* G = dynamic_cast<StringGrid*>(Control::FromHandle(W))) {
            // Drawn 2 pixels in, the grid line after.
            for (int Col = 0; Col < G->ColCount(); ++Col)
                for (int Row = 0; Row < G->RowCount(); ++Row)
                    if (G->ColWidth(Col) > 0 && (Row < G->FixedRows() || G->Cell(Col, 0) == "Category:"))
                        Check(G->Cell(Col, Row), 2 + TextWidths(W, G->Cell(Col, Row)).Ink + 1, G->ColWidth(Col));
        }
    }
    return Cut;
}

struct Windows {
    TApplication App;
    Tmainform* Main = nullptr;
    Tlayoutsform* Designer = nullptr;
    TApplicationListForm* AppList = nullptr;
    TKnownAppsForm* KnownAppsWindow = nullptr;
    TPropertyEditorForm* Properties = nullptr;
    TMinSizeEditorForm* MinSize = nullptr;
    TSearchForFilesForm* Chooser = nullptr;
    TConfirmDuplicatesForm* Duplicates = nullptr;
    TProgressbarForm* Progress = nullptr;
    TConfirmationForm* Question = nullptr;
    TNodeId Layout = 0;

    Windows()
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tessarine\\Quorvan");
        SetFileProbe(&Win32FileProbe);
        Rules();
        App.SetTitle("Tessarine Quorvan");
        Main = new Tmainform(&App);
        App.MainForm = Main;
        Designer = new Tlayoutsform(&App);
        AppList = new TApplicationListForm(&App);
        KnownAppsWindow = new TKnownAppsForm(&App);
        Properties = new TPropertyEditorForm(&App);
        MinSize = new TMinSizeEditorForm(&App);
        Chooser = new TSearchForFilesForm(&App);
        Duplicates = new TConfirmDuplicatesForm(&App);
        Progress = new TProgressbarForm(&App);
        Question = new TConfirmationForm(&App);
        ::SetWindowPos(Main->Handle(), nullptr, 0, 0, 900, 640, SWP_NOZORDER);
        Main->Show();
        PumpUntil([this] { return !Main->FirstActivate; }, 3000);
        Main->FormActivate();
        // The stored state is read in steps: all of it now.
        Main->CompleteStartup();
        TLayoutTree& Tree = Main->Layouts->Tree;
        Layout = Tree.CreateLayoutNode("Three panels", nkLayout);
        for (int I = 0; I < 3; ++I)
            Tree.AddChildPanel(Layout);
    }
    ~Windows() { ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tessarine\\Quorvan"); }

    // Shows the main window with the layout and the tool panel on its
    // middle panel, then Look.
    void MainWindow(const std::function<void(HWND)>& Look)
    {
        Main->LayoutsMenuClick(Layout);
        TLayoutTree& Tree = Main->Layouts->Tree;
        RECT R;
        ::GetWindowRect(Tree.Data(Tree.Children(Layout)[1])->Handle(), &R);
        ::SetCursorPos(R.left + 40, R.top + 40);
        // The tool panel is made for the first hovered panel.
        App.RunModalLoop([this] { return Main->ToolBarPanel && ::IsWindowVisible(Main->ToolBarPanel->Handle()); });
        Look(Main->Handle());
        ::SetCursorPos(1270, 1010);
    }
    // Look at F, which is shown, once the loop has been idle.
    void Shown(Form& F, const std::function<void(HWND)>& Look)
    {
        bool Done = false;
        WhenShown([&F] { return F.Handle(); }, [&] {
            Look(F.Handle());
            Done = true;
        });
        App.RunModalLoop([&] { return Done; });
    }
    // Runs Open (which shows F modally); on the shown window Prepare, after
    // an idle pass Look, then Cancel.
    void Modal(Form& F, const std::function<void()>& Open, const std::function<void(HWND)>& Look,
               const std::function<void()>& Prepare = [] {})
    {
        WhenShown([&F] { return F.Handle(); }, [&F, Look, Prepare] {
            Prepare();
            WhenShown([&F] { return F.Handle(); }, [&F, Look] {
                Look(F.Handle());
                F.ModalResult = mrCancel;
            });
        });
        Open();
    }
};

TEST(WindowsPainted, EveryWindowIsPaintedAllOver)
{
    Windows W;
    const std::set<std::uint32_t> Common = {SysRgb(COLOR_BTNFACE), SysRgb(COLOR_WINDOW),
                                            SysRgb(COLOR_HIGHLIGHT)};
    struct Case {
        const char* Name;
        std::function<void(const std::function<void(HWND)>& Look)> Open;
        std::set<std::uint32_t> Extra;  // colours of the window's own
        // Also no thinner block of this size (0: none), for gaps between
        // controls.
        int GapW = 0, GapH = 0;
    };
    const Case Cases[] = {
        {"main_window_start", [&](const auto& Look) { W.Shown(*W.Main, Look); }, {}},
        {"main_window", [&](const auto& Look) { W.MainWindow(Look); }, {}},
        {"designer",
         [&](const auto& Look) {
             W.Modal(*W.Designer, [&] { W.Designer->ExecuteEditor(); }, Look, [&] {
                 ::SendMessageA(W.Designer->LayoutsTreeView->Handle(), TVM_SELECTITEM, TVGN_CARET,
                                reinterpret_cast<LPARAM>(W.Designer->ItemOfNode(W.Layout)));
             });
         },
         {0xC0C0C0}},  // the preview's panels
        {"application_list",
         [&](const auto& Look) { W.Modal(*W.AppList, [&] { W.AppList->ShowApplicationList(); }, Look); },
         {}},
        {"known_apps_viewing",
         [&](const auto& Look) { W.Modal(*W.KnownAppsWindow, [&] { W.KnownAppsWindow->ShowKnownApps(false, 20); }, Look); },
         {}},
        {"known_apps_editing",
         [&](const auto& Look) { W.Modal(*W.KnownAppsWindow, [&] { W.KnownAppsWindow->ShowKnownApps(true, 25); }, Look); },
         {}},
        {"property_editor",
         [&](const auto& Look) {
             std::string Letters = "BR";
             W.Modal(*W.Properties, [&] { W.Properties->Execute(Letters); }, Look);
         },
         {}, 40, 2},  // between the radio group's buttons
        {"min_size_editor",
         [&](const auto& Look) {
             std::string Text = "320x200";
             W.Modal(*W.MinSize, [&] { W.MinSize->Execute(Text); }, Look);
         },
         {}},
        {"search_chooser",
         [&](const auto& Look) {
             StringList Roots;
             W.Modal(*W.Chooser, [&] { W.Chooser->SelectSearchRoots(Roots); }, Look);
         },
         {}},
        {"duplicates",
         [&](const auto& Look) {
             StringList Found = {"C:\\a\\spin.exe", "C:\\b\\spin.exe", "C:\\x\\xeno.exe"};
             std::vector<TIdentifyInfo> Refs = {{0, MakeVersion(1, 2)}, {0, MakeVersion(1, 10)}, {1, {}}};
             W.Modal(*W.Duplicates, [&] { W.Duplicates->Execute(Found, Refs); }, Look);
         },
         {}},
        {"progress",
         [&](const auto& Look) {
             W.Progress->StartProgress(100, "Searching", true);
             W.Progress->SetProgress(40);
             W.Shown(*W.Progress, Look);
             W.Progress->FinishProgress();
         },
         {SysRgb(COLOR_HIGHLIGHT)}},
        {"input_box",
         [&](const auto& Look) {
             const auto Box = [] { return ::FindWindowA(nullptr, "Layout name ..."); };
             WhenShown(Box, [Box, Look] {
                 Look(Box());
                 static_cast<Form*>(Control::FromHandle(Box()))->ModalResult = mrCancel;
             });
             std::string Name;
             InputQuery("Layout name ...", "Please enter a layout name", Name);
         },
         {}},
        {"question",
         [&](const auto& Look) {
             std::uint8_t Remembered = 0;
             W.Modal(*W.Question, [&] {
                 ShowConfirmation(W.Question, "Take over the running program?", Remembered, "Question",
                                  ckYesNoCancel, -1);
             }, Look);
         },
         {}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        bool Looked = false;
        C.Open([&](HWND Wnd) {
            Looked = true;
            RECT Area;
            const std::vector<std::uint32_t> Px = SettledCapture(Wnd, Area);
            const int Width = Area.right - Area.left, Height = Area.bottom - Area.top;
            ASSERT_FALSE(Px.empty());
            EXPECT_TRUE(WritePng(ShotsDir() + C.Name + ".png", Width, Height, Px));
            std::set<std::uint32_t> Allowed = Common;
            Allowed.insert(C.Extra.begin(), C.Extra.end());
            AddPanelColours(*Control::FromHandle(Wnd), Allowed);
            Unpainted U = FindUnpainted(Px, Width, Height, Allowed, 20, 20);
            if (!U.Found && C.GapW > 0)
                U = FindUnpainted(Px, Width, Height, Allowed, C.GapW, C.GapH);
            char Where[96];
            std::snprintf(Where, sizeof Where, "colour %06X at (%d, %d)", static_cast<unsigned>(U.Colour),
                          U.X, U.Y);
            EXPECT_FALSE(U.Found) << Where;
            EXPECT_EQ(CutTexts(Wnd), std::vector<std::string>());
        });
        EXPECT_TRUE(Looked);
    }
}

}  // namespace
