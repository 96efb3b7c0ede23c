#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/StdControls.h"
#include "toolkit/StringGrid.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class StringGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FormArgs F;
        F.ClientWidth = 400;
        F.ClientHeight = 300;
        Main = new Form(&App, F);
        Main->Show();
        StringGridArgs A;
        A.Parent = Main;
        A.Width = 300;
        A.Height = 200;
        A.ColCount = 6;
        A.RowCount = 60;
        A.FixedCols = 1;
        A.DefaultRowHeight = 20;
        A.Editing = true;
        A.RangeSelect = true;
        A.Tabs = true;
        G = new StringGrid(Main, A);
        ::SetFocus(G->Handle());
    }
    void TearDown() override { delete Main; }

    // Sends a key with Shift and Ctrl held or not, as the keyboard state says.
    void Key(HWND To, WORD Vk, bool Shift = false, bool Ctrl = false)
    {
        BYTE State[256];
        ::GetKeyboardState(State);
        State[VK_SHIFT] = Shift ? 0x80 : 0;
        State[VK_CONTROL] = Ctrl ? 0x80 : 0;
        ::SetKeyboardState(State);
        ::SendMessageA(To, WM_KEYDOWN, Vk, 0);
        State[VK_SHIFT] = State[VK_CONTROL] = 0;
        ::SetKeyboardState(State);
    }
    POINT Centre(int C, int R)
    {
        const RECT Rc = G->CellRect(C, R);
        return {(Rc.left + Rc.right) / 2, (Rc.top + Rc.bottom) / 2};
    }
    void Click(int C, int R, WPARAM Keys = 0)
    {
        const POINT P = Centre(C, R);
        ::SendMessageA(G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON | Keys, MAKELPARAM(P.x, P.y));
        ::SendMessageA(G->Handle(), WM_LBUTTONUP, Keys, MAKELPARAM(P.x, P.y));
    }
    bool InView(int C, int R)
    {
        const RECT Rc = G->CellRect(C, R), Client = G->ClientRect();
        return !::IsRectEmpty(&Rc) && Rc.right <= Client.right && Rc.bottom <= Client.bottom;
    }

    TApplication App;
    Form* Main = nullptr;
    StringGrid* G = nullptr;
};

TEST_F(StringGridTest, KeysMoveTheCurrentCellAndKeepItInView)
{
    const int Page = G->Geometry().VisibleRowCount();
    struct Case {
        WORD Vk;
        bool Shift, Ctrl;
        int Col, Row;
        TGridRect Sel;
    } Cases[] = {
        {VK_DOWN, false, false, 1, 2, {1, 2, 1, 2}},
        {VK_RIGHT, true, false, 2, 2, {1, 2, 2, 2}},   // Shift extends the range
        {VK_NEXT, false, false, 2, 2 + Page, {2, 2 + Page, 2, 2 + Page}},
        {VK_END, false, true, 5, 59, {5, 59, 5, 59}},
        {VK_DOWN, false, false, 5, 59, {5, 59, 5, 59}},  // stays on the last row
        {VK_HOME, false, true, 1, 1, {1, 1, 1, 1}},
        {VK_LEFT, false, false, 1, 1, {1, 1, 1, 1}},     // the fixed column is never current
        {VK_TAB, true, false, 5, 59, {5, 59, 5, 59}},    // Shift+Tab: round to the last cell
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Vk);
        Key(G->Handle(), K.Vk, K.Shift, K.Ctrl);
        EXPECT_EQ(G->Col(), K.Col);
        EXPECT_EQ(G->Row(), K.Row);
        const TGridRect S = G->Selection();
        EXPECT_TRUE(S.Left == K.Sel.Left && S.Top == K.Sel.Top && S.Right == K.Sel.Right &&
                    S.Bottom == K.Sel.Bottom);
        EXPECT_TRUE(InView(G->Col(), G->Row()));
    }
}

TEST_F(StringGridTest, ScrollBarsAndWheelScrollInWholeRows)
{
    const int Page = G->Geometry().VisibleRowCount(), Max = G->Geometry().MaxTopRow();
    struct Case {
        UINT Msg;
        WPARAM W;
        int Top;
    } Cases[] = {
        {WM_VSCROLL, SB_LINEDOWN, 2},
        {WM_VSCROLL, SB_PAGEDOWN, 2 + Page},
        {WM_VSCROLL, SB_BOTTOM, Max},
        {WM_VSCROLL, SB_LINEDOWN, Max},
        {WM_VSCROLL, SB_TOP, 1},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 4},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 1},
        {WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 1},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Top);
        ::SendMessageA(G->Handle(), K.Msg, K.W, 0);
        EXPECT_EQ(G->TopRow(), K.Top);
        EXPECT_EQ(::GetScrollPos(G->Handle(), SB_VERT), K.Top - 1);
    }
    EXPECT_EQ(G->Row(), 1);  // scrolling leaves the current cell
}

// The client area's pixels, read back from the window.
std::vector<DWORD> ClientPixels(HWND W)
{
    RECT R;
    ::GetClientRect(W, &R);
    HDC Dc = ::GetDC(W);
    HDC Mem = ::CreateCompatibleDC(Dc);
    HBITMAP Bmp = ::CreateCompatibleBitmap(Dc, R.right, R.bottom);
    HGDIOBJ Old = ::SelectObject(Mem, Bmp);
    ::BitBlt(Mem, 0, 0, R.right, R.bottom, Dc, 0, 0, SRCCOPY);
    ::SelectObject(Mem, Old);
    BITMAPINFO Bi = {};
    Bi.bmiHeader.biSize = sizeof(Bi.bmiHeader);
    Bi.bmiHeader.biWidth = R.right;
    Bi.bmiHeader.biHeight = -R.bottom;
    Bi.bmiHeader.biPlanes = 1;
    Bi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> P(static_cast<std::size_t>(R.right) * static_cast<std::size_t>(R.bottom));
    ::GetDIBits(Mem, Bmp, 0, static_cast<UINT>(R.bottom), P.data(), &Bi, DIB_RGB_COLORS);
    ::DeleteObject(Bmp);
    ::DeleteDC(Mem);
    ::ReleaseDC(W, Dc);
    return P;
}

// Scrolling moves the pixels still in view and paints only what comes into
// view: the result must equal a repaint of everything.
TEST_F(StringGridTest, ScrolledViewLooksLikeAFullRepaint)
{
    for (int R = 0; R < 60; ++R)
        for (int C = 0; C < 6; ++C)
            G->SetCell(C, R, std::to_string(R) + ":" + std::to_string(C));
    G->SetColWidth(2, 90);
    ::UpdateWindow(G->Handle());
    struct Case {
        const char* What;
        UINT Msg;
        WPARAM W;
    } Cases[] = {
        {"line down", WM_VSCROLL, SB_LINEDOWN},
        {"page down", WM_VSCROLL, SB_PAGEDOWN},
        {"wheel down", WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA))},
        {"wheel up", WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA)},
        {"line up", WM_VSCROLL, SB_LINEUP},
        {"thumb to the top", WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0)},
        {"key page down", WM_KEYDOWN, VK_NEXT},
        {"key down past the view", WM_KEYDOWN, VK_DOWN},
        {"column right", WM_HSCROLL, SB_LINEDOWN},
        {"key to the last column", WM_KEYDOWN, VK_END},
        {"column left", WM_HSCROLL, SB_LINEUP},
        {"key to the first column", WM_KEYDOWN, VK_HOME},
        {"key page up", WM_KEYDOWN, VK_PRIOR},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.What);
        if (K.Msg == WM_KEYDOWN)
            Key(G->Handle(), static_cast<WORD>(K.W));
        else
            ::SendMessageA(G->Handle(), K.Msg, K.W, 0);
        ::UpdateWindow(G->Handle());
        const std::vector<DWORD> Scrolled = ClientPixels(G->Handle());
        ::InvalidateRect(G->Handle(), nullptr, FALSE);
        ::UpdateWindow(G->Handle());
        EXPECT_TRUE(Scrolled == ClientPixels(G->Handle()));
    }
}

TEST_F(StringGridTest, MouseSelectsRangesAndHeaderEdgesSizeColumns)
{
    Click(2, 3);
    EXPECT_EQ(G->Col(), 2);
    EXPECT_EQ(G->Row(), 3);
    Click(3, 5, MK_SHIFT);
    const TGridRect S = G->Selection();
    EXPECT_TRUE(S.Left == 2 && S.Top == 3 && S.Right == 3 && S.Bottom == 5);
    Click(0, 4);  // a fixed cell moves nothing
    EXPECT_EQ(G->Col(), 3);
    // Dragging the header edge of column 1 thirty pixels to the right.
    const RECT H = G->CellRect(1, 0);
    const int Y = (H.top + H.bottom) / 2;
    ::SendMessageA(G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(H.right, Y));
    ::SendMessageA(G->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(H.right + 30, Y));
    ::SendMessageA(G->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(H.right + 30, Y));
    EXPECT_EQ(G->ColWidth(1), 64 + 30);
    EXPECT_EQ(G->CellRect(2, 1).left, H.right + 30 + 1);
    // Dragging below the grid selects on and scrolls.
    const POINT From = Centre(2, 3);
    const int Below = G->ClientRect().bottom + 10;
    ::SendMessageA(G->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(From.x, From.y));
    ::SendMessageA(G->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(From.x, Below));
    ::SendMessageA(G->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(From.x, Below));
    const int Shown = G->Geometry().VisibleRowCount();
    EXPECT_EQ(G->Row(), 1 + Shown);  // the row after those shown
    EXPECT_EQ(G->TopRow(), 2);
    const TGridRect D = G->Selection();
    EXPECT_TRUE(D.Left == 2 && D.Top == 3 && D.Right == 2 && D.Bottom == 1 + Shown);
}

TEST_F(StringGridTest, TheEditorWritesOnEnterAndPutsBackOnEscape)
{
    struct Case {
        const char* How;
        const char* Typed;
        WORD End;
        const char* Cell;
    } Cases[] = {
        {"F2", "abc", VK_RETURN, "abc"},
        {"F2", "abc", VK_ESCAPE, "old"},
        {"char", nullptr, VK_RETURN, "x"},
        {"click", "clicked", VK_DOWN, "clicked"},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.How);
        G->FocusCell(2, 2);
        G->SetCell(2, 2, "old");
        ::SetFocus(G->Handle());
        if (std::string(K.How) == "F2")
            Key(G->Handle(), VK_F2);
        else if (std::string(K.How) == "char")
            ::SendMessageA(G->Handle(), WM_CHAR, 'x', 0);
        else
            Click(2, 2);
        ASSERT_TRUE(G->EditorShowing());
        EXPECT_EQ(::GetFocus(), G->EditorHandle());
        if (K.Typed)
            ::SetWindowTextA(G->EditorHandle(), K.Typed);
        EXPECT_EQ(G->Cell(2, 2), K.Typed ? K.Typed : "x");  // each change reaches the cell
        Key(G->EditorHandle(), K.End);
        EXPECT_FALSE(G->EditorShowing());
        EXPECT_EQ(G->Cell(2, 2), K.Cell);
        EXPECT_EQ(::GetFocus(), G->Handle());
    }
    EXPECT_EQ(G->Row(), 3);  // Down left the editor and moved on
}

// Keys go through the application's loop as the dialog manager sees them.
TEST(StringGridDialogTest, TheEditorKeepsEnterAndEscapeAndLetsTabGoOn)
{
    TApplication App;
    FormArgs F;
    F.DialogKeys = true;
    auto* Main = new Form(&App, F);
    Main->Show();
    StringGridArgs A;
    A.Parent = Main;
    A.Editing = true;
    auto* G = new StringGrid(Main, A);
    ButtonArgs BA;
    BA.Parent = Main;
    BA.Top = 250;
    auto* Next = new Button(Main, BA);
    struct Case {
        WORD End;
        const char* Cell;
        HWND Focus;
    } Cases[] = {
        {VK_RETURN, "typed", G->Handle()},
        {VK_ESCAPE, "old", G->Handle()},
        {VK_TAB, "typed", Next->Handle()},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.End);
        G->SetCell(1, 1, "old");
        ::SetFocus(G->Handle());
        ASSERT_TRUE(G->FocusCell(1, 1));
        ::SendMessageA(G->Handle(), WM_KEYDOWN, VK_F2, 0);
        ASSERT_TRUE(G->EditorShowing());
        ::SetWindowTextA(G->EditorHandle(), "typed");
        ::PostMessageA(G->EditorHandle(), WM_KEYDOWN, K.End, 0);
        App.ProcessMessages();
        EXPECT_FALSE(G->EditorShowing());
        EXPECT_EQ(G->Cell(1, 1), K.Cell);
        EXPECT_EQ(::GetFocus(), K.Focus);
    }
    delete Main;
}

TEST_F(StringGridTest, HooksSeeKeysMouseAndFocus)
{
    std::vector<std::string> Log;
    G->OnKeyDown = [&](WORD& K, TShiftState) {
        Log.push_back("key " + std::to_string(K));
        if (K == VK_DOWN)
            K = 0;  // consumed: the grid does not move
    };
    G->OnMouseUp = [&](TMouseButton, TShiftState, int, int) { Log.push_back("up"); };
    G->OnMouseMove = [&](TShiftState, int, int) { Log.push_back("move"); };
    G->OnMouseLeave = [&] { Log.push_back("leave"); };
    G->OnEnter = [&](HWND From) { Log.push_back(From == Main->Handle() ? "enter from form" : "enter"); };
    G->OnExit = [&] { Log.push_back("exit"); };
    G->OnSelectCell = [&](int C, int, bool& Can) { Can = C != 3; };
    Key(G->Handle(), VK_DOWN);
    EXPECT_EQ(G->Row(), 1);
    Click(3, 2);  // refused by OnSelectCell
    EXPECT_EQ(G->Col(), 1);
    ::SendMessageA(G->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    ::SendMessageA(G->Handle(), WM_MOUSELEAVE, 0, 0);
    ::SetFocus(Main->Handle());
    ::SetFocus(G->Handle());
    EXPECT_EQ(Log, (std::vector<std::string>{"key 40", "up", "move", "leave", "exit",
                                             "enter from form"}));
}

}  // namespace
