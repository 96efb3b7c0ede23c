#include "toolkit/StringGrid.h"

#include "toolkit/AppMessages.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace {

const UINT_PTR DragTimer = 1;
const UINT DragInterval = 60;  // ms between scroll steps of a drag past an edge
const int SizingTolerance = 3;
const int MinColWidth = 4;

RECT ToRect(const TPixelRect& R)
{
    return {R.Left, R.Top, R.Right, R.Bottom};
}

} // namespace

// The EDIT control laid over the cell being edited. Its keys that end the
// edit go back to the grid.
class StringGrid::InplaceEdit : public Control {
public:
    explicit InplaceEdit(StringGrid* Grid) : Control(Grid), FGrid(Grid)
    {
        CreateParams P;
        P.ClassName = WC_EDITA;
        P.Parent = Grid;
        P.Style = ES_AUTOHSCROLL | ES_LEFT;
        P.X = P.Y = 0;
        P.Width = P.Height = 10;
        CreateHandle(P);
    }

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override
    {
        switch (Msg) {
        case WM_GETDLGCODE: {
            // Enter and Escape end the edit even inside a dialog; Tab there
            // goes on to the next control unless the grid moves by it.
            const MSG* M = reinterpret_cast<const MSG*>(LParam);
            if (M && M->message == WM_KEYDOWN && M->wParam == VK_TAB && !FGrid->Tabs)
                return DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
            return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_HASSETSEL;
        }
        case WM_KEYDOWN:
            switch (WParam) {
            case VK_ESCAPE: case VK_RETURN: case VK_UP: case VK_DOWN: case VK_PRIOR: case VK_NEXT:
                FGrid->EditorKey(static_cast<WORD>(WParam));
                return 0;
            case VK_TAB:
                if (FGrid->Tabs) {
                    FGrid->EditorKey(VK_TAB);
                    return 0;
                }
                break;
            }
            break;
        case WM_CHAR:
            if (WParam == VK_RETURN || WParam == VK_ESCAPE || (WParam == VK_TAB && FGrid->Tabs))
                return 0;  // no beep for the keys that ended the edit
            break;
        case WM_KILLFOCUS: {
            const LRESULT R = Control::WndProc(Msg, WParam, LParam);
            if (FGrid->EditorShowing())
                FGrid->HideEditor(true);
            return R;
        }
        }
        return Control::WndProc(Msg, WParam, LParam);
    }
    void CommandNotify(WORD Code) override
    {
        if (Code == EN_CHANGE && !FGrid->FSettingEditText && FGrid->EditorShowing())
            FGrid->SetEditText(FGrid->FEditCol, FGrid->FEditRow, Text());
    }

private:
    StringGrid* FGrid;
};

StringGrid::StringGrid(Component* Owner, const StringGridArgs& Args)
    : Control(Owner),
      Editing(Args.Editing),
      RangeSelect(Args.RangeSelect),
      ColSizing(Args.ColSizing),
      Tabs(Args.Tabs),
      WantReturn(Args.WantReturn),
      ThumbTracking(Args.ThumbTracking),
      GridLines(Args.GridLines),
      FFixedCols(Args.FixedCols),
      FFixedRows(Args.FixedRows),
      FRowHeight(Args.DefaultRowHeight),
      FDefaultColWidth(Args.DefaultColWidth)
{
    FCells.assign(static_cast<std::size_t>(std::max(1, Args.RowCount)),
                  std::vector<std::string>(static_cast<std::size_t>(std::max(1, Args.ColCount))));
    FColWidths.assign(static_cast<std::size_t>(std::max(1, Args.ColCount)), FDefaultColWidth);
    FCol = FAnchorCol = FFixedCols;
    FRow = FAnchorRow = FFixedRows;
    CreateParams P;
    P.Parent = Args.Parent;
    P.Style = WS_TABSTOP | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN | (Args.Visible ? WS_VISIBLE : 0);
    P.ExStyle = WS_EX_CLIENTEDGE;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
    LayoutChanged();
}

StringGrid::~StringGrid()
{
    // The editor is a child window: it goes with ours, its object with us.
    DestroyHandle();
}

// --- Own data ---

int StringGrid::ColCount() const { return static_cast<int>(FColWidths.size()); }
int StringGrid::RowCount() const { return static_cast<int>(FCells.size()); }

void StringGrid::SetColCount(int Value)
{
    Value = std::max(1, Value);
    for (auto& R : FCells)
        R.resize(static_cast<std::size_t>(Value));
    FColWidths.resize(static_cast<std::size_t>(Value), FDefaultColWidth);
    LayoutChanged();
}

void StringGrid::SetRowCount(int Value)
{
    FCells.resize(static_cast<std::size_t>(std::max(1, Value)),
                  std::vector<std::string>(FColWidths.size()));
    LayoutChanged();
}

std::string StringGrid::Cell(int ACol, int ARow) const
{
    if (ARow < 0 || ARow >= RowCount() || ACol < 0 || ACol >= ColCount())
        return std::string();
    return FCells[ARow][ACol];
}

void StringGrid::SetCell(int ACol, int ARow, const std::string& Value)
{
    if (ARow < 0 || ARow >= RowCount() || ACol < 0 || ACol >= ColCount())
        return;
    FCells[ARow][ACol] = Value;
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

int StringGrid::ColWidth(int ACol) const
{
    return ACol >= 0 && ACol < ColCount() ? FColWidths[ACol] : 0;
}

void StringGrid::SetColWidth(int ACol, int Width)
{
    if (ACol < 0 || ACol >= ColCount())
        return;
    FColWidths[ACol] = Width;
    LayoutChanged();
}

int StringGrid::Col() const { return FCol; }
int StringGrid::Row() const { return FRow; }

void StringGrid::SetColRow(int ACol, int ARow)
{
    FCol = ACol;
    FRow = ARow;
}

// --- Shape ---

void StringGrid::SetFixed(int Cols, int Rows)
{
    FFixedCols = std::max(0, Cols);
    FFixedRows = std::max(0, Rows);
    LayoutChanged();
}

void StringGrid::SetDefaultRowHeight(int Height)
{
    FRowHeight = std::max(1, Height);
    LayoutChanged();
}

void StringGrid::SyncGeometry()
{
    const int Cols = ColCount();
    FGeo.ColWidths.resize(static_cast<std::size_t>(Cols));
    for (int C = 0; C < Cols; ++C)
        FGeo.ColWidths[C] = ColWidth(C);
    FGeo.RowCount = RowCount();
    FGeo.RowHeight = FRowHeight;
    FGeo.LineWidth = GridLines ? 1 : 0;
    FGeo.FixedCols = std::min(FFixedCols, Cols - 1);
    FGeo.FixedRows = std::min(FFixedRows, FGeo.RowCount - 1);
    const RECT R = ClientRect();
    FGeo.ClientWidth = R.right;
    FGeo.ClientHeight = R.bottom;
}

void StringGrid::LayoutChanged()
{
    if (!Handle() || FLayoutBusy)
        return;
    FLayoutBusy = true;
    const int OldTop = FGeo.TopRow, OldLeft = FGeo.LeftCol;
    // Twice: showing or hiding a scroll bar changes the client area.
    for (int Pass = 0; Pass < 2; ++Pass) {
        SyncGeometry();
        FGeo.ClampScroll();
        UpdateScrollBars();
    }
    FLayoutBusy = false;
    const bool Scrolled = FGeo.TopRow != OldTop || FGeo.LeftCol != OldLeft;
    const int C = std::max(FGeo.FixedCols, std::min(Col(), FGeo.ColCount() - 1));
    const int R = std::max(FGeo.FixedRows, std::min(Row(), FGeo.RowCount - 1));
    if (C != Col() || R != Row())
        SetColRow(C, R);
    FAnchorCol = std::max(FGeo.FixedCols, std::min(FAnchorCol, FGeo.ColCount() - 1));
    FAnchorRow = std::max(FGeo.FixedRows, std::min(FAnchorRow, FGeo.RowCount - 1));
    if (EditorShowing()) {
        const RECT Cell = CellRect(FEditCol, FEditRow);
        if (::IsRectEmpty(&Cell))
            HideEditor(true);
        else
            ::SetWindowPos(EditorHandle(), nullptr, Cell.left, Cell.top, Cell.right - Cell.left,
                           Cell.bottom - Cell.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(Handle(), nullptr, FALSE);
    if (Scrolled)
        TopLeftChanged();
}

void StringGrid::UpdateScrollBars()
{
    SCROLLINFO Si = {};
    Si.cbSize = sizeof(Si);
    Si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    // The page is what the last scroll position shows, so the largest
    // position is MaxTopRow (MaxLeftCol).
    Si.nMax = FGeo.RowCount - FGeo.FixedRows - 1;
    Si.nPage = static_cast<UINT>(std::max(1, FGeo.RowCount - FGeo.MaxTopRow()));
    Si.nPos = FGeo.TopRow - FGeo.FixedRows;
    // Not drawn at once: a bar drawn at once costs a frame repaint, and
    // filling a shown table changes the layout several times. The frame is
    // painted once, with the window.
    ::SetScrollInfo(Handle(), SB_VERT, &Si, FALSE);
    Si.nMax = FGeo.ColCount() - FGeo.FixedCols - 1;
    Si.nPage = static_cast<UINT>(std::max(1, FGeo.ColCount() - FGeo.MaxLeftCol()));
    Si.nPos = FGeo.LeftCol - FGeo.FixedCols;
    ::SetScrollInfo(Handle(), SB_HORZ, &Si, FALSE);
    ::RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
}

TGridRect StringGrid::Selection() const
{
    if (!RangeSelect)
        return GridRectOf(Col(), Row(), Col(), Row());
    return GridRectOf(FAnchorCol, FAnchorRow, Col(), Row());
}

void StringGrid::SetTopLeft(int ATopRow, int ALeftCol)
{
    const int OldTop = FGeo.TopRow, OldLeft = FGeo.LeftCol;
    FGeo.TopRow = ATopRow;
    FGeo.LeftCol = ALeftCol;
    FGeo.ClampScroll();
    if (FGeo.TopRow == OldTop && FGeo.LeftCol == OldLeft)
        return;
    if (EditorShowing())
        HideEditor(true);
    // Only the bar that moved: each one redrawn costs a frame repaint.
    if (FGeo.TopRow != OldTop)
        ::SetScrollPos(Handle(), SB_VERT, FGeo.TopRow - FGeo.FixedRows, TRUE);
    if (FGeo.LeftCol != OldLeft)
        ::SetScrollPos(Handle(), SB_HORZ, FGeo.LeftCol - FGeo.FixedCols, TRUE);
    // The pixels still in view move; only what comes into view is painted.
    // A part waiting to be painted would be left behind, so then all is.
    const TGridScroll Shift = FGeo.ScrollShift(OldTop, OldLeft);
    if (Shift.Area.IsEmpty() || ::GetUpdateRect(Handle(), nullptr, FALSE)) {
        ::InvalidateRect(Handle(), nullptr, FALSE);
    } else {
        const RECT Area = ToRect(Shift.Area);
        ::ScrollWindowEx(Handle(), Shift.Dx, Shift.Dy, &Area, &Area, nullptr, nullptr,
                         SW_INVALIDATE);
    }
    TopLeftChanged();
}

RECT StringGrid::CellRect(int ACol, int ARow) const
{
    return ToRect(FGeo.CellRect(ACol, ARow));
}

bool StringGrid::MouseToCell(int X, int Y, int& ACol, int& ARow) const
{
    const TGridCell C = FGeo.MouseToCell(X, Y);
    ACol = C.Col;
    ARow = C.Row;
    return C.Col >= 0;
}

// --- Current cell ---

bool StringGrid::FocusCell(int ACol, int ARow)
{
    return MoveCurrent(ACol, ARow, false);
}

bool StringGrid::MoveCurrent(int ACol, int ARow, bool Extend)
{
    if (ACol < FGeo.FixedCols || ACol >= FGeo.ColCount() || ARow < FGeo.FixedRows ||
        ARow >= FGeo.RowCount)
        return false;
    if (EditorShowing())
        HideEditor(true);
    if ((ACol != Col() || ARow != Row()) && !SelectCell(ACol, ARow))
        return false;
    SetColRow(ACol, ARow);
    if (!Extend || !RangeSelect) {
        FAnchorCol = ACol;
        FAnchorRow = ARow;
    }
    TGridGeometry G = FGeo;
    if (G.ScrollInView(ACol, ARow))
        SetTopLeft(G.TopRow, G.LeftCol);
    ::InvalidateRect(Handle(), nullptr, FALSE);
    return true;
}

void StringGrid::CurrentCellMoved()
{
    if (EditorShowing() && (FEditCol != Col() || FEditRow != Row()))
        HideEditor(true);
    FAnchorCol = Col();
    FAnchorRow = Row();
    TGridGeometry G = FGeo;
    if (G.ScrollInView(Col(), Row()))
        SetTopLeft(G.TopRow, G.LeftCol);
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

bool StringGrid::SelectCell(int ACol, int ARow)
{
    bool Can = true;
    if (OnSelectCell)
        OnSelectCell(ACol, ARow, Can);
    return Can;
}

// --- Editor ---

bool StringGrid::EditorShowing() const
{
    return FEditor && FEditCol >= 0 && ::IsWindowVisible(FEditor->Handle());
}

HWND StringGrid::EditorHandle() const
{
    return FEditor ? FEditor->Handle() : nullptr;
}

void StringGrid::ShowEditor()
{
    if (!Editing || EditorShowing() || Col() < FGeo.FixedCols || Row() < FGeo.FixedRows)
        return;
    TGridGeometry G = FGeo;
    if (G.ScrollInView(Col(), Row()))
        SetTopLeft(G.TopRow, G.LeftCol);
    if (!FEditor)
        FEditor = new InplaceEdit(this);
    FEditCol = Col();
    FEditRow = Row();
    // The grid's font may have changed since the editor was made.
    ::SendMessageA(FEditor->Handle(), WM_SETFONT, ::SendMessageA(Handle(), WM_GETFONT, 0, 0), FALSE);
    FSettingEditText = true;
    ::SetWindowTextA(FEditor->Handle(), "");  // nothing left from the last edit
    FSettingEditText = false;
    const RECT R = CellRect(FEditCol, FEditRow);
    ::SetWindowPos(FEditor->Handle(), HWND_TOP, R.left, R.top, R.right - R.left, R.bottom - R.top,
                   SWP_SHOWWINDOW);
    // The derived grid may refuse the edit here by hiding the editor.
    const std::string Text = GetEditText(FEditCol, FEditRow);
    if (!EditorShowing()) {
        FEditCol = FEditRow = -1;
        return;
    }
    FEditStart = Text;
    FSettingEditText = true;
    ::SetWindowTextA(FEditor->Handle(), Text.c_str());
    FSettingEditText = false;
    ::SendMessageA(FEditor->Handle(), EM_SETSEL, 0, -1);
    ::SetFocus(FEditor->Handle());
}

void StringGrid::HideEditor(bool Commit)
{
    if (!FEditor || FEditCol < 0 || FHidingEditor)
        return;
    const int C = FEditCol, R = FEditRow;
    const bool Showing = EditorShowing();
    const std::string Text = FEditor->Text();
    // The text goes in while the editor still shows; a handler of that
    // change may itself ask to hide it.
    FHidingEditor = true;
    if (Commit && Showing)
        SetEditText(C, R, Text);
    FHidingEditor = false;
    FEditCol = FEditRow = -1;
    HWND Edit = FEditor->Handle();
    if (::GetFocus() == Edit)
        ::SetFocus(Handle());
    ::ShowWindow(Edit, SW_HIDE);
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

void StringGrid::EditorKey(WORD Key)
{
    if (Key == VK_ESCAPE) {
        if (FEditor->Text() != FEditStart)
            SetEditText(FEditCol, FEditRow, FEditStart);
        HideEditor(false);
        return;
    }
    HideEditor(true);
    if (Key != VK_RETURN)
        HandleKey(Key);
}

std::string StringGrid::GetEditText(int ACol, int ARow)
{
    return Cell(ACol, ARow);
}

void StringGrid::SetEditText(int ACol, int ARow, const std::string& Value)
{
    SetCell(ACol, ARow, Value);
}

// --- Overridable hooks ---

void StringGrid::KeyDown(WORD& Key, TShiftState Shift)
{
    if (OnKeyDown)
        OnKeyDown(Key, Shift);
}

void StringGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (OnMouseUp)
        OnMouseUp(Button, Shift, X, Y);
}

void StringGrid::TopLeftChanged()
{
    if (OnTopLeftChanged)
        OnTopLeftChanged();
}

void StringGrid::FocusGained(HWND LostFrom)
{
    if (OnEnter)
        OnEnter(LostFrom);
}

void StringGrid::PostWork(WPARAM What)
{
    ::PostMessageA(Handle(), WM_GRIDWORK, What, 0);
}

// --- Painting ---

void StringGrid::DrawCell(Canvas& C, int ACol, int ARow, const RECT& Rect, TGridDrawState State)
{
    C.FillRect(Rect);
    C.TextRect(Rect, Rect.left + 2, Rect.top + 2, Cell(ACol, ARow));
    if (OnDrawCell)
        OnDrawCell(C, ACol, ARow, Rect, State);
}

void StringGrid::Paint(HDC Dc, const RECT& Update)
{
    Canvas Back(Dc);
    Back.BrushColor = Color;
    Back.FillRect(Update);
    const bool HasFocus = ::GetFocus() == Handle();
    const TGridRect Sel = Selection();
    // The rows and columns in view: fixed ones first, then from the top-left.
    std::vector<int> Rows, Cols;
    for (int R = 0; R < FGeo.FixedRows && FGeo.RowTop(R) >= 0; ++R)
        Rows.push_back(R);
    for (int R = FGeo.TopRow; R < FGeo.RowCount && FGeo.RowTop(R) >= 0; ++R)
        Rows.push_back(R);
    for (int C = 0; C < FGeo.FixedCols && FGeo.ColLeft(C) >= 0; ++C)
        Cols.push_back(C);
    for (int C = FGeo.LeftCol; C < FGeo.ColCount() && FGeo.ColLeft(C) >= 0; ++C)
        Cols.push_back(C);
    HGDIOBJ OldFont = ::SelectObject(Dc, reinterpret_cast<HFONT>(::SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    HBRUSH BodyLine = ::GetSysColorBrush(COLOR_BTNFACE);
    HBRUSH FixedLine = ::GetSysColorBrush(COLOR_BTNSHADOW);
    for (int R : Rows)
        for (int Co : Cols) {
            const RECT Cell = CellRect(Co, R);
            RECT Lined = {Cell.left, Cell.top, Cell.right + FGeo.LineWidth, Cell.bottom + FGeo.LineWidth};
            RECT Hit;
            if (!::IntersectRect(&Hit, &Lined, &Update))
                continue;
            const bool Fixed = Co < FGeo.FixedCols || R < FGeo.FixedRows;
            TGridDrawState State = Fixed ? TGridDrawState(gdFixed) : 0u;
            if (!Fixed && Sel.Contains(Co, R))
                State |= gdSelected;
            if (!Fixed && HasFocus && Co == Col() && R == Row())
                State |= gdFocused;
            Canvas C(Dc);
            if (Fixed) {
                C.BrushColor = FixedColor;
            } else if ((State & gdSelected) && !(State & gdFocused)) {
                C.BrushColor = SystemColor(COLOR_HIGHLIGHT);
                C.FontColor = SystemColor(COLOR_HIGHLIGHTTEXT);
            } else {
                C.BrushColor = Color;
            }
            const int Saved = ::SaveDC(Dc);
            ::IntersectClipRect(Dc, Cell.left, Cell.top, Cell.right, Cell.bottom);
            DrawCell(C, Co, R, Cell, State);
            ::RestoreDC(Dc, Saved);
            if (Fixed) {
                RECT Edge = Cell;
                ::DrawEdge(Dc, &Edge, BDR_RAISEDINNER, BF_RECT);
            } else if ((State & gdFocused) && !EditorShowing()) {
                ::DrawFocusRect(Dc, &Cell);
            }
            if (FGeo.LineWidth > 0) {
                HBRUSH Line = Fixed ? FixedLine : BodyLine;
                const RECT Right = {Cell.right, Cell.top, Lined.right, Lined.bottom};
                const RECT Below = {Cell.left, Cell.bottom, Lined.right, Lined.bottom};
                ::FillRect(Dc, &Right, Line);
                ::FillRect(Dc, &Below, Line);
            }
        }
    ::SelectObject(Dc, OldFont);
}

// --- Input ---

bool StringGrid::HandleKey(WORD Key)
{
    TGridKey K;
    switch (Key) {
    case VK_LEFT: K = TGridKey::Left; break;
    case VK_RIGHT: K = TGridKey::Right; break;
    case VK_UP: K = TGridKey::Up; break;
    case VK_DOWN: K = TGridKey::Down; break;
    case VK_PRIOR: K = TGridKey::PageUp; break;
    case VK_NEXT: K = TGridKey::PageDown; break;
    case VK_HOME: K = TGridKey::Home; break;
    case VK_END: K = TGridKey::End; break;
    case VK_TAB:
        if (!Tabs || ::GetKeyState(VK_MENU) < 0)
            return false;
        K = ::GetKeyState(VK_SHIFT) < 0 ? TGridKey::BackTab : TGridKey::Tab;
        break;
    case VK_F2:
        ShowEditor();
        return true;
    default:
        return false;
    }
    const bool Ctrl = ::GetKeyState(VK_CONTROL) < 0;
    const bool Shift = ::GetKeyState(VK_SHIFT) < 0 && K != TGridKey::BackTab;
    const TGridCell T = FGeo.KeyTarget(K, Ctrl, Col(), Row());
    if (K == TGridKey::PageUp || K == TGridKey::PageDown) {
        // The page keys scroll the view by as much as they move the cell.
        const int Delta = T.Row - Row();
        SetTopLeft(FGeo.TopRow + Delta, FGeo.LeftCol);
    }
    MoveCurrent(T.Col, T.Row, Shift);
    return true;
}

void StringGrid::Scroll(int Bar, WORD Code)
{
    const bool Vert = Bar == SB_VERT;
    const int First = Vert ? FGeo.FixedRows : FGeo.FixedCols;
    const int Last = Vert ? FGeo.MaxTopRow() : FGeo.MaxLeftCol();
    const int Page = Vert ? FGeo.VisibleRowCount() : FGeo.VisibleColCount();
    int Pos = Vert ? FGeo.TopRow : FGeo.LeftCol;
    switch (Code) {
    case SB_LINEUP: --Pos; break;
    case SB_LINEDOWN: ++Pos; break;
    case SB_PAGEUP: Pos -= std::max(1, Page); break;
    case SB_PAGEDOWN: Pos += std::max(1, Page); break;
    case SB_TOP: Pos = First; break;
    case SB_BOTTOM: Pos = Last; break;
    case SB_THUMBTRACK:
        if (!ThumbTracking)
            return;
        [[fallthrough]];
    case SB_THUMBPOSITION: {
        SCROLLINFO Si = {};
        Si.cbSize = sizeof(Si);
        Si.fMask = SIF_TRACKPOS;
        ::GetScrollInfo(Handle(), Bar, &Si);
        Pos = First + Si.nTrackPos;
        break;
    }
    default: return;
    }
    if (Vert)
        SetTopLeft(Pos, FGeo.LeftCol);
    else
        SetTopLeft(FGeo.TopRow, Pos);
}

void StringGrid::MouseDown(TShiftState Shift, int X, int Y, bool Double)
{
    const auto Alive = AliveFlag();
    const bool WasFocused = ::GetFocus() == Handle();
    if (!WasFocused)
        ::SetFocus(Handle());
    if (!*Alive)
        return;
    if (ColSizing && !Double) {
        const int Edge = FGeo.SizingEdgeAt(X, Y, SizingTolerance);
        if (Edge >= 0) {
            FDrag = TDrag::Size;
            FSizingCol = Edge;
            ::SetCapture(Handle());
            return;
        }
    }
    const TGridCell Hit = FGeo.MouseToCell(X, Y);
    if (Hit.Col >= FGeo.FixedCols && Hit.Row >= FGeo.FixedRows) {
        if (Hit.Col == Col() && Hit.Row == Row() && !(Shift & ssShift) && WasFocused && !Double &&
            Editing) {
            ShowEditor();
        } else {
            MoveCurrent(Hit.Col, Hit.Row, (Shift & ssShift) != 0);
            if (*Alive && RangeSelect) {
                FDrag = TDrag::Select;
                ::SetCapture(Handle());
            }
        }
    }
    if (*Alive && Double && OnDblClick)
        OnDblClick();
    if (*Alive && OnMouseDown)
        OnMouseDown(TMouseButton::Left, Shift | (Double ? TShiftState(ssDouble) : 0u), X, Y);
}

void StringGrid::DragSelect(int X, int Y)
{
    const TGridCell T = FGeo.DragTarget(X, Y, Col(), Row());
    MoveCurrent(T.Col, T.Row, true);
    // Past an edge the view goes on scrolling while the mouse rests there.
    if (FGeo.MouseToCell(X, Y) == T)
        ::KillTimer(Handle(), DragTimer);
    else
        ::SetTimer(Handle(), DragTimer, DragInterval, nullptr);
}

LRESULT StringGrid::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT Ps;
        HDC Dc = ::BeginPaint(Handle(), &Ps);
        const RECT& U = Ps.rcPaint;
        if (U.right > U.left && U.bottom > U.top)
            PaintOffScreen(Dc, U, [&](HDC Mem) { Paint(Mem, U); });
        ::EndPaint(Handle(), &Ps);
        return 0;
    }
    case WM_SIZE: {
        const LRESULT R = Control::WndProc(Msg, WParam, LParam);
        LayoutChanged();
        return R;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
        if (LParam == 0) {
            Scroll(Msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(WParam));
            return 0;
        }
        break;
    case WM_MOUSEWHEEL: {
        UINT Lines = 3;
        ::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
        FWheelRest += GET_WHEEL_DELTA_WPARAM(WParam);
        const int Notches = FWheelRest / WHEEL_DELTA;
        FWheelRest %= WHEEL_DELTA;
        if (Notches != 0)
            SetTopLeft(FGeo.TopRow - Notches * static_cast<int>(std::max(1u, Lines)), FGeo.LeftCol);
        return 0;
    }
    case WM_GETDLGCODE: {
        const MSG* M = reinterpret_cast<const MSG*>(LParam);
        const bool Return = WantReturn && Editing && M && M->message == WM_KEYDOWN &&
                            M->wParam == VK_RETURN;
        return DLGC_WANTARROWS | DLGC_WANTCHARS | (Tabs ? DLGC_WANTTAB : 0) |
               (Return ? DLGC_WANTMESSAGE : 0);
    }
    case WM_KEYDOWN: {
        const auto Alive = AliveFlag();
        TShiftState Shift = 0;
        if (::GetKeyState(VK_SHIFT) < 0) Shift |= ssShift;
        if (::GetKeyState(VK_CONTROL) < 0) Shift |= ssCtrl;
        if (::GetKeyState(VK_MENU) < 0) Shift |= ssAlt;
        WORD Key = static_cast<WORD>(WParam);
        KeyDown(Key, Shift);
        if (*Alive && Key != 0 && HandleKey(Key))
            return 0;
        break;
    }
    case WM_CHAR:
        if (Editing && !EditorShowing()) {
            if (WParam == VK_RETURN) {
                ShowEditor();
                return 0;
            }
            if (WParam >= 32) {
                ShowEditor();
                // The key typed becomes the editor's text.
                if (EditorShowing()) {
                    const char Typed[2] = {static_cast<char>(WParam), '\0'};
                    ::SetWindowTextA(FEditor->Handle(), Typed);
                    ::SendMessageA(FEditor->Handle(), EM_SETSEL, 1, 1);
                }
                return 0;
            }
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        MouseDown(MouseShiftState(WParam), GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam),
                  Msg == WM_LBUTTONDBLCLK);
        return 0;
    case WM_RBUTTONDOWN:
        if (OnMouseDown)
            OnMouseDown(TMouseButton::Right, MouseShiftState(WParam), GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam));
        return 0;
    case WM_MOUSEMOVE: {
        const int X = GET_X_LPARAM(LParam), Y = GET_Y_LPARAM(LParam);
        if (!FTrackingLeave) {
            TRACKMOUSEEVENT Tme = {sizeof(Tme), TME_LEAVE, Handle(), 0};
            FTrackingLeave = ::TrackMouseEvent(&Tme) != 0;
        }
        if (FDrag == TDrag::Size) {
            SetColWidth(FSizingCol, FGeo.DraggedWidth(FSizingCol, X, MinColWidth));
        } else if (FDrag == TDrag::Select) {
            DragSelect(X, Y);
        }
        if (OnMouseMove)
            OnMouseMove(MouseShiftState(WParam), X, Y);
        return 0;
    }
    case WM_MOUSELEAVE:
        FTrackingLeave = false;
        if (OnMouseLeave)
            OnMouseLeave();
        return 0;
    case WM_TIMER:
        if (WParam == DragTimer) {
            POINT P;
            ::GetCursorPos(&P);
            ::ScreenToClient(Handle(), &P);
            if (FDrag == TDrag::Select)
                DragSelect(P.x, P.y);
            else
                ::KillTimer(Handle(), DragTimer);
            return 0;
        }
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
        if (FDrag != TDrag::None) {
            FDrag = TDrag::None;
            ::KillTimer(Handle(), DragTimer);
            ::ReleaseCapture();
        }
        MouseUp(Msg == WM_LBUTTONUP ? TMouseButton::Left : TMouseButton::Right, MouseShiftState(WParam),
                GET_X_LPARAM(LParam), GET_Y_LPARAM(LParam));
        return 0;
    }
    case WM_CAPTURECHANGED:
        FDrag = TDrag::None;
        ::KillTimer(Handle(), DragTimer);
        break;
    case WM_SETCURSOR:
        if (ColSizing && reinterpret_cast<HWND>(WParam) == Handle() && LOWORD(LParam) == HTCLIENT) {
            POINT P;
            ::GetCursorPos(&P);
            ::ScreenToClient(Handle(), &P);
            if (FDrag == TDrag::Size || FGeo.SizingEdgeAt(P.x, P.y, SizingTolerance) >= 0) {
                ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
                return TRUE;
            }
        }
        break;
    case WM_SETFOCUS: {
        const LRESULT R = Control::WndProc(Msg, WParam, LParam);
        ::InvalidateRect(Handle(), nullptr, FALSE);
        FocusGained(reinterpret_cast<HWND>(WParam));
        return R;
    }
    case WM_KILLFOCUS: {
        const LRESULT R = Control::WndProc(Msg, WParam, LParam);
        ::InvalidateRect(Handle(), nullptr, FALSE);
        if (OnExit)
            OnExit();
        return R;
    }
    case WM_GRIDWORK:
        PostedWork(WParam);
        return 0;
    }
    return Control::WndProc(Msg, WParam, LParam);
}
