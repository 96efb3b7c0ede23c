#include "components/DialogResizingWin.h"

#include "components/DatabaseGridWin.h"
#include "hosting/confirmation.h"
#include "toolkit/Application.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/SpinEdit.h"
#include "toolkit/StdControls.h"
#include "toolkit/StringGrid.h"
#include "toolkit/ToolBar.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

class DialogResizingWin : public ::testing::Test {
protected:
    TApplication App;
    Form F{&App, FormArgs()};
};

TEST_F(DialogResizingWin, LabelIsRewrappedOnTheFirstActivationOnly)
{
    LabelArgs La;
    La.Parent = &F;
    La.Width = 90;
    La.WordWrap = true;
    auto* L = new Label(&F, La);
    auto* R = new TDialogResizingWin(&F);
    F.OnActivate = [R] { R->ActivateScaling(); };
    R->AddItem(L);
    const int Initial = L->Height();

    struct Step {
        const char* Text;
        std::function<void()> Before;
        bool Fitted;
    } Steps[] = {
        {"a question long enough to need several lines here", [] {}, true},
        {"short", [] {}, false},
        {"short", [R] { R->Model().SetIconScaling(ics_small); }, true},  // armed again
        {"a question long enough to need several lines here", [] {}, false},
    };
    int Before = Initial;
    for (const Step& S : Steps) {
        L->SetText(S.Text);
        S.Before();
        ::SendMessageA(F.Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
        EXPECT_EQ(S.Fitted ? L->TextHeight() : Before, L->Height()) << S.Text;
        Before = L->Height();
    }
    EXPECT_GT(L->TextHeight(), Initial);
    EXPECT_EQ(ics_small, R->Model().IconScaling());
}

TEST_F(DialogResizingWin, LargeScalingResizesTheFormAndCentresIt)
{
    CheckBoxArgs Ca;
    Ca.Parent = &F;
    Ca.Caption = "Remember";
    auto* Box = new CheckBox(&F, Ca);
    TDialogResizingWin* R = AttachDialogResizer(&F, {{Box}});
    R->Model().SetForceDirection(true);
    R->Model().SetGroupDirection(gd_vertical);
    R->ActivateScaling();
    R->Model().SetIconScaling(ics_large);

    LOGFONTA Lf = {};
    ::GetObjectA(reinterpret_cast<HFONT>(::SendMessageA(F.Handle(), WM_GETFONT, 0, 0)), sizeof Lf,
                 &Lf);
    EXPECT_EQ(-24, Lf.lfHeight);
    EXPECT_EQ(40, Box->Height());  // the large icon, 32, and 8
    const RECT Client = F.ClientRect();
    EXPECT_EQ(Box->Width(), Client.right);
    EXPECT_EQ(Box->Height(), Client.bottom);
    const RECT B = F.BoundsRect();
    EXPECT_EQ((::GetSystemMetrics(SM_CXSCREEN) - (B.right - B.left)) / 2, B.left);
    EXPECT_EQ((::GetSystemMetrics(SM_CYSCREEN) - (B.bottom - B.top)) / 2, B.top);
}

// Text metrics of Arial at Height, as a freshly made font gives them.
struct ArialText {
    explicit ArialText(int Height)
    {
        LOGFONTA Lf = {};
        Lf.lfHeight = Height;
        lstrcpyA(Lf.lfFaceName, "Arial");
        Font = ::CreateFontIndirectA(&Lf);
        Dc = ::GetDC(nullptr);
        Old = ::SelectObject(Dc, Font);
    }
    ~ArialText()
    {
        ::SelectObject(Dc, Old);
        ::ReleaseDC(nullptr, Dc);
        ::DeleteObject(Font);
    }
    int CharHeight() const
    {
        TEXTMETRICA Tm = {};
        ::GetTextMetricsA(Dc, &Tm);
        return Tm.tmHeight;
    }
    SIZE Extent(const std::string& T) const
    {
        SIZE S = {};
        ::GetTextExtentPoint32A(Dc, T.c_str(), static_cast<int>(T.size()), &S);
        return S;
    }
    HFONT Font;
    HDC Dc;
    HGDIOBJ Old;
};

RECT Moved(const RECT& R, int Width, int Height)
{
    return {R.left, R.top, R.left + Width, R.top + Height};
}

COLORREF PixelOfImage(const ImageList& List, int X, int Y)
{
    HDC Screen = ::GetDC(nullptr);
    HDC Dc = ::CreateCompatibleDC(Screen);
    HBITMAP Bmp = ::CreateCompatibleBitmap(Screen, List.Width(), List.Height());
    ::ReleaseDC(nullptr, Screen);
    HGDIOBJ Old = ::SelectObject(Dc, Bmp);
    const RECT R = {0, 0, List.Width(), List.Height()};
    ::FillRect(Dc, &R, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    List.Draw(Dc, 0, 0, 0);
    const COLORREF C = ::GetPixel(Dc, X, Y);
    ::SelectObject(Dc, Old);
    ::DeleteObject(Bmp);
    ::DeleteDC(Dc);
    return C;
}

// A control of class C on F at (10, Top).
template <typename C, typename A> C* Place(Form& F, A Args, int Top)
{
    Args.Parent = &F;
    Args.Left = 10;
    Args.Top = Top;
    return new C(&F, Args);
}

TEST(DialogResizingWinKinds, LargeScalingOnADialogOfEveryKind)
{
    TApplication App;
    FormArgs Fa;
    Fa.FontName = "Arial";
    Fa.FontHeight = -13;
    Form F(&App, Fa);
    auto* Images = new ImageList(&F, ImageListArgs{});
    // Left half clear, right half red.
    Images->AddPainted(RGB(0, 255, 0), [](HDC Dc, const RECT&) {
        const RECT Red = {8, 0, 16, 16};
        HBRUSH B = ::CreateSolidBrush(RGB(255, 0, 0));
        ::FillRect(Dc, &Red, B);
        ::DeleteObject(B);
    });
    ToolBarArgs Ta;
    Ta.Parent = &F;
    Ta.Images = Images;
    Ta.ShowCaptions = true;
    Ta.List = true;
    auto* Bar = new ToolBar(&F, Ta);
    ToolButtonArgs Tb;
    Tb.Caption = "Start";
    Tb.ImageIndex = 0;
    Bar->AddButton(Tb);
    Ta.Images = nullptr;
    Ta.Align = TAlign::Bottom;
    auto* TextBar = new ToolBar(&F, Ta);
    Tb.ImageIndex = -1;
    TextBar->AddButton(Tb);
    auto* Ed = Place<Edit>(F, EditArgs(), 40);
    auto* Spin = Place<SpinEdit>(F, SpinEditArgs(), 80);
    const HWND Arrows = ::GetWindow(Spin->Handle(), GW_HWNDNEXT);
    CheckBoxArgs Ra;
    Ra.Caption = "Choice";
    auto* Radio = Place<RadioButton>(F, Ra, 120);
    auto* Grid = Place<StringGrid>(F, StringGridArgs(), 150);
    // A database grid with its cell button at the current cell; the button,
    // made first, is scaled as a button before the grid places it.
    ButtonArgs Ba;
    Ba.Parent = &F;
    Ba.Caption = "...";
    Ba.Width = 20;
    auto* CellButton = new Button(&F, Ba);
    auto* Db = Place<TDatabaseGridWin>(F, StringGridArgs(), 200);
    Db->Grid.SetDatabaseColumns("Name|Path");
    Db->Grid.SetButtonColumns("Path");
    Db->Grid.AddRecord("Name|Path", "tool|C:\\tool.exe");
    Db->SetCellButton(CellButton);
    Db->FocusCell(1, 1);

    auto* R = new TDialogResizingWin(&F);
    for (Control* Member : std::initializer_list<Control*>{Ed, Spin}) {
        TDialogResizingItem* Item = R->AddItem(Member);
        Item->SetUseTextHeight(true);
        Item->SetSetSizeType(ss_SetHeight);
    }
    R->AddItem(Radio);
    R->AddItem(Grid);
    R->AddItem(Db);

    const auto InParent = [](HWND Wnd) {
        RECT W = {};
        ::GetWindowRect(Wnd, &W);
        ::MapWindowPoints(HWND_DESKTOP, ::GetParent(Wnd), reinterpret_cast<POINT*>(&W), 2);
        return W;
    };
    const ArialText Large(-24);
    const int Border = ::GetSystemMetrics(SM_CYBORDER);
    const SIZE Choice = Large.Extent("Choice");
    struct Row {
        const char* Kind;
        std::function<RECT()> Rect;
        // The rectangle after, from the one before.
        std::function<RECT(const RECT&)> After;
        RECT Before = {};
    } Rows[] = {
        {"edit: a single line of the new font",
         [Ed] { return Ed->BoundsRect(); },
         [&](const RECT& B) { return Moved(B, B.right - B.left, Large.CharHeight() + 8 * Border); }},
        {"spin edit: its arrows follow it",
         [&] { return InParent(Arrows); },
         [&](const RECT& B) { return Moved(B, B.right - B.left, Large.CharHeight() + 6 * Border); }},
        {"radio button: large box and its caption",
         [Radio] { return Radio->BoundsRect(); },
         [&](const RECT& B) { return Moved(B, 32 + Choice.cx + 8, std::max<int>(32, Choice.cy) + 8); }},
        {"grid: cell of a row for the new font, columns twice as wide",
         [Grid] { return RECT{0, 0, Grid->ColWidth(1), Grid->DefaultRowHeight()}; },
         [&](const RECT& B) { return Moved(B, 2 * (B.right - B.left), Large.CharHeight() + 8 * Border); }},
        {"database grid: its cell button at the current cell's new place",
         [CellButton] { return CellButton->BoundsRect(); },
         [&](const RECT&) {
             RECT Cell = Db->CellRect(1, 1);
             ::MapWindowPoints(Db->Handle(), F.Handle(), reinterpret_cast<POINT*>(&Cell), 2);
             return RECT{Cell.right - CellButton->Width(), Cell.top, Cell.right, Cell.bottom};
         }},
        {"image list: 16 pixels become 32",
         [Images] { return RECT{0, 0, Images->Width(), Images->Height()}; },
         [](const RECT&) { return RECT{0, 0, 32, 32}; }},
        {"toolbar: its buttons with the large images after the idle re-layout",
         [Bar] { return Bar->BoundsRect(); },
         [](const RECT& B) { return Moved(B, B.right - B.left, B.bottom - B.top + 16); }},
        {"toolbar of captions: as tall as its buttons in the new font after the idle re-layout",
         [TextBar] { return RECT{0, 0, TextBar->Width(), TextBar->Height()}; },
         [TextBar](const RECT& B) { return RECT{0, 0, B.right, TextBar->ContentHeight()}; }},
    };
    for (Row& Rw : Rows)
        Rw.Before = Rw.Rect();

    R->ActivateScaling();
    R->Model().SetIconScaling(ics_large);
    bool Idled = false;
    const int Id = App.AddIdleHandler([&] { Idled = true; });
    App.RunModalLoop([&] { return Idled; });
    App.RemoveIdleHandler(Id);

    for (const Row& Rw : Rows) {
        const RECT Want = Rw.After(Rw.Before), Got = Rw.Rect();
        EXPECT_EQ(std::vector<LONG>({Want.left, Want.top, Want.right, Want.bottom}),
                  std::vector<LONG>({Got.left, Got.top, Got.right, Got.bottom}))
            << Rw.Kind;
    }
    EXPECT_GT(TextBar->ContentHeight(), Large.CharHeight());
    EXPECT_EQ(Images->Count(), 1);
    EXPECT_EQ(PixelOfImage(*Images, 16, 31), RGB(255, 0, 0)) << "stretched, not cut";
    EXPECT_EQ(PixelOfImage(*Images, 15, 0), RGB(255, 255, 255)) << "the clear half stays clear";
}

TEST_F(DialogResizingWin, QuestionDialogStacksItsControls)
{
    auto* D = new TConfirmationForm(&App);
    D->EnsureHandle();
    TDialogResizing& M = D->DialogResizer->Model();
    ASSERT_EQ(3, M.Group().Count());
    EXPECT_EQ(gd_vertical, M.GroupDirection());
    struct Member {
        const char* Class;
        bool IgnoreWidth;
    } Members[] = {{"TLabel", false}, {"TCheckBox", false}, {"TPanel", true}};
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Members[I].Class, M.Group().Items(I)->AssignedControl()->ClassName());
        EXPECT_EQ(Members[I].IgnoreWidth, M.Group().Items(I)->IgnoreWidth());
    }
    const RECT Before = D->BoundsRect();
    ::SendMessageA(D->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    const RECT After = D->BoundsRect();
    EXPECT_EQ(Before.right - Before.left, After.right - After.left);  // small stays small
    EXPECT_TRUE(M.Activated());
}

}  // namespace
