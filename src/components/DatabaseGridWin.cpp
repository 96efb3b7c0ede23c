#include "components/DatabaseGridWin.h"

#include "hosting/VelmoraWin.h"

#include <algorithm>

namespace {

// Work the grid posts to itself from painting.
enum : WPARAM { WorkFocusedCell = 1, WorkFirstPaint = 2 };

// Whether Wnd still is the window of the object C.
template <typename T> bool StillThere(T* C, HWND Wnd)
{
    return C && Wnd && ::IsWindow(Wnd) && Control::FromHandle(Wnd) == C;
}

} // namespace

TDatabaseGridWin::TDatabaseGridWin(Component* Owner, const StringGridArgs& Args)
    : StringGrid(Owner, Args), FOwnModel(std::make_unique<TDatabaseGrid>()), Grid(*FOwnModel)
{
    Grid.SetView(this);
    LayoutChanged();
}

TDatabaseGridWin::TDatabaseGridWin(Component* Owner, const StringGridArgs& Args,
                                   TDatabaseGrid& Model)
    : StringGrid(Owner, Args), Grid(Model)
{
    Grid.SetView(this);
    LayoutChanged();
}

TDatabaseGridWin::~TDatabaseGridWin()
{
    Grid.SetView(nullptr);
    // No message may reach the overrides once this object is gone, nor a
    // handler of the combo box, which may outlive the grid.
    DestroyHandle();
    if (ComboBox* Combo = LookUpCombobox()) {
        Combo->OnDrawItem = nullptr;
        Combo->OnChange = nullptr;
        Combo->OnDropDown = nullptr;
        Combo->OnCloseUp = nullptr;
        Combo->OnKeyPress = nullptr;
    }
}

// --- Combo box and button ---

ComboBox* TDatabaseGridWin::LookUpCombobox() const
{
    if (!StillThere(FCombo, FComboWnd))
        FCombo = nullptr;
    return FCombo;
}

Button* TDatabaseGridWin::CellButton() const
{
    if (!StillThere(FButton, FButtonWnd))
        FButton = nullptr;
    return FButton;
}

void TDatabaseGridWin::SetLookUpCombobox(ComboBox* Combo)
{
    FCombo = Combo;
    FComboWnd = Combo ? Combo->Handle() : nullptr;
    if (!Combo)
        return;
    SetDefaultRowHeight(Combo->Height());
    Combo->AutoDropDown = true;
    // The box draws its own items: it may since have been let go by the grid.
    Combo->OnDrawItem = [this, Combo](int Index, const RECT& R, UINT, Canvas& C) {
        LookupComboDrawItem(*Combo, Index, R, C);
    };
    Combo->OnChange = [this] { LookupComboChange(); };
    Combo->OnDropDown = [this] { LookupComboDropDown(); };
    Combo->OnCloseUp = [this] { ::SetFocus(Handle()); };
    Combo->OnKeyPress = [this](char& Key) { LookupComboKeyPress(Key); };
    UpdateEditors();
}

void TDatabaseGridWin::SetCellButton(Button* B)
{
    FButton = B;
    FButtonWnd = B ? B->Handle() : nullptr;
    if (!B)
        return;
    const RECT R = B->BoundsRect();
    B->SetBounds(R.left, R.top, R.right - R.left, DefaultRowHeight());
    UpdateEditors();
}

void TDatabaseGridWin::UpdateEditors()
{
    PlaceLookupCombo(Col(), Row());
    PlaceCellButton(Col(), Row());
}

void TDatabaseGridWin::PlaceEditors(int ACol, int ARow)
{
    FillLookupCombo(ACol, ARow);
    PlaceLookupCombo(ACol, ARow);
    PlaceCellButton(ACol, ARow);
}

void TDatabaseGridWin::FillLookupCombo(int ACol, int ARow)
{
    const StringList Keys = Grid.LookupKeys(ACol, ARow);
    ComboBox* Combo = LookUpCombobox();
    if (Combo && !Keys.empty())
        Combo->SetItems(Keys);
}

RECT TDatabaseGridWin::CellRectIn(int ACol, int ARow, const Control* Other) const
{
    RECT R = CellRect(ACol, ARow);
    HWND To = ::GetParent(Other->Handle());
    ::MapWindowPoints(Handle(), To, reinterpret_cast<POINT*>(&R), 2);
    return R;
}

void TDatabaseGridWin::PlaceLookupCombo(int ACol, int ARow)
{
    ComboBox* Combo = LookUpCombobox();
    if (!Combo || IsFixed(ACol, ARow))
        return;
    const RECT R = CellRectIn(ACol, ARow, Combo);
    ::SendMessageA(Combo->Handle(), WM_SETFONT, ::SendMessageA(Handle(), WM_GETFONT, 0, 0), FALSE);
    Combo->SetItemHeight(DefaultRowHeight() - 6);
    ::SetWindowPos(Combo->Handle(), HWND_TOP, R.left, R.top, R.right - R.left,
                   Combo->BoundsRect().bottom - Combo->BoundsRect().top, SWP_NOACTIVATE);
    const RECT Cell = CellRect(ACol, ARow);
    const bool Show = Grid.LookupComboVisible(ACol) && !::IsRectEmpty(&Cell);
    if (Show) {
        Combo->SetItemIndex(Combo->IndexOf(Grid.Cell(ACol, ARow)));
        Combo->SetColor(Grid.CellColor(ACol, ARow, Grid.Color));
    }
    ::ShowWindow(Combo->Handle(), Show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TDatabaseGridWin::PlaceCellButton(int ACol, int ARow)
{
    Button* B = CellButton();
    if (!B || IsFixed(ACol, ARow))
        return;
    const RECT R = CellRectIn(ACol, ARow, B);
    const int W = B->Width();
    ::SetWindowPos(B->Handle(), HWND_TOP, R.right - W, R.top, W, R.bottom - R.top, SWP_NOACTIVATE);
    const RECT Cell = CellRect(ACol, ARow);
    const bool Show = Grid.ButtonVisible(ACol, EditorShowing()) && !::IsRectEmpty(&Cell);
    ::ShowWindow(B->Handle(), Show ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TDatabaseGridWin::RecolorLookupCombo()
{
    if (ComboBox* Combo = LookUpCombobox())
        if (Combo->Visible())
            Combo->SetColor(Grid.CellColor(Col(), Row(), Grid.Color));
}

void TDatabaseGridWin::Repaint()
{
    if (FRepaintPending)
        return;
    FRepaintPending = true;
    ::InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT TDatabaseGridWin::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_PAINT) {
        FRepaintPending = false;
        Color = Grid.Color;  // the model's colour is the one owners set
    }
    return StringGrid::WndProc(Msg, WParam, LParam);
}

// --- Combo box handlers ---

void TDatabaseGridWin::LookupComboDrawItem(ComboBox& Combo, int Index, const RECT& Rect, Canvas& C)
{
    C.FillRect(Rect);
    if (Index < 0)
        return;
    std::string Text = Combo.Item(Index);
    TDatabaseGrid* Source = nullptr;
    std::string ResultColumn;
    if (Grid.GetLookupSource(Grid.CurrentCellCol(), Grid.CurrentCellRow(), Source, ResultColumn))
        Text = TDatabaseGrid::LookupValue(Source, Text, ResultColumn);
    if (Grid.ShortenFileNames() && SameText(Grid.ColumnType(Grid.CurrentCellCol()), "File"))
        Text = ShortenFileName(Text, C.Handle(), (Rect.right - Rect.left) - 4);
    C.TextRect(Rect, Rect.left + 2, Rect.top, Text);
}

void TDatabaseGridWin::LookupComboChange()
{
    ComboBox* Combo = LookUpCombobox();
    if (!Combo || Grid.ReadOnlyDatabase())
        return;
    const int I = Combo->ItemIndex();
    Grid.LookupComboChange(I >= 0 ? Combo->Item(I) : std::string());
}

void TDatabaseGridWin::LookupComboDropDown()
{
    FillLookupCombo(Col(), Row());
    if (ComboBox* Combo = LookUpCombobox())
        Combo->SetItemIndex(Combo->IndexOf(Grid.Cell(Col(), Row())));
}

void TDatabaseGridWin::LookupComboKeyPress(char& Key)
{
    if (!Grid.ComboKeyPress(Key, IsFixed(Col(), Row())))
        return;
    Key = 0;
    ComboBox* Combo = LookUpCombobox();
    StringList Items;
    for (int I = 0; I < Combo->Count(); ++I)
        Items.push_back(Combo->Item(I));
    const int Found = Grid.ComboTypeAhead(Items);
    if (Found >= 0)
        Combo->SetItemIndex(Found);
}

// --- Grid overrides ---

bool TDatabaseGridWin::SelectCell(int ACol, int ARow)
{
    return Grid.SelectCell(ACol, ARow);
}

std::string TDatabaseGridWin::GetEditText(int ACol, int ARow)
{
    bool Refuse = false;
    const std::string Text = Grid.GetEditText(ACol, ARow, EditorShowing(), Refuse);
    if (Refuse)
        HideEditor(false);
    PlaceCellButton(Col(), Row());
    return Text;
}

void TDatabaseGridWin::SetEditText(int ACol, int ARow, const std::string& Value)
{
    Grid.SetEditText(ACol, ARow, Value, EditorShowing());
}

void TDatabaseGridWin::KeyDown(WORD& Key, TShiftState Shift)
{
    if (Grid.DeleteKey(Key, (Shift & (ssShift | ssCtrl | ssAlt)) != 0, EditorShowing()))
        Key = 0;
    StringGrid::KeyDown(Key, Shift);
}

void TDatabaseGridWin::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
    const auto Alive = AliveFlag();
    StringGrid::MouseUp(Button, Shift, X, Y);
    if (*Alive)
        UpdateEditors();
}

void TDatabaseGridWin::TopLeftChanged()
{
    StringGrid::TopLeftChanged();
    UpdateEditors();
}

void TDatabaseGridWin::FocusGained(HWND LostFrom)
{
    StringGrid::FocusGained(LostFrom);
    if (Grid.FocusNesting > 0)
        return;
    ++Grid.FocusNesting;
    if (EditorHandle() && OnLostEditorFocus)
        OnLostEditorFocus(*this, Col(), Row(), Grid.CurrentColumnName(), EditorHandle(), LostFrom);
    --Grid.FocusNesting;
}

// --- Drawing ---

void TDatabaseGridWin::PostOnce(WPARAM What)
{
    if (FPosted & What)
        return;
    FPosted |= What;
    PostWork(What);
}

void TDatabaseGridWin::PostedWork(WPARAM What)
{
    FPosted &= ~static_cast<unsigned>(What);
    if (What == WorkFocusedCell) {
        FillLookupCombo(Col(), Row());
        UpdateEditors();
    } else if (What == WorkFirstPaint) {
        Grid.SelectCell(Col(), Row());
    }
}

void TDatabaseGridWin::DrawCell(Canvas& C, int ACol, int ARow, const RECT& Rect, TGridDrawState State)
{
    const TColor Brush = C.BrushColor;
    C.BrushColor = Grid.DrawColor(ACol, ARow, (State & gdSelected) != 0, (State & gdFocused) != 0, Brush);
    StringGrid::DrawCell(C, ACol, ARow, Rect, State);
    if (!IsFixed(ACol, ARow)) {
        const std::string Column = Grid.ColumnName(ACol);
        const std::string Text = Grid.Cell(ACol, ARow).substr(0, TDatabaseGrid::MaxDrawText);
        bool GoOn = true;
        // An owner-drawn column is the owner's alone unless OnOwnerDrawCellEx
        // hands it back, even when no event is assigned.
        if (Grid.IsOwnerDrawColumn(ACol)) {
            if (OnOwnerDrawCellEx) {
                OnOwnerDrawCellEx(*this, ACol, ARow, Column, Text, Rect, C, GoOn);
            } else {
                if (OnOwnerDrawCell)
                    OnOwnerDrawCell(*this, ACol, ARow, Column, Text, Rect, C);
                GoOn = false;
            }
        }
        if (GoOn)
            DrawCellText(C, ACol, ARow, Rect);
    }
    // Placing windows and selecting cells waits until painting is over.
    if (State & gdFocused)
        PostOnce(WorkFocusedCell);
    if (Grid.FirstPaint) {
        Grid.FirstPaint = false;
        PostOnce(WorkFirstPaint);
    }
    C.BrushColor = Brush;
}

void TDatabaseGridWin::DrawCellText(Canvas& C, int ACol, int ARow, const RECT& Rect)
{
    TDatabaseGrid::TCellText T = Grid.CellDrawText(ACol, ARow);
    if (T.Kind == TDatabaseGrid::TCellText::Base)
        return;
    const int Width = (Rect.right - Rect.left) - 4;
    C.FillRect(Rect);
    if (T.Kind == TDatabaseGrid::TCellText::Wrapped) {
        const bool WasClear = C.BrushClear;
        C.BrushClear = true;
        std::vector<int> Heights;
        for (const std::string& L : T.Lines)
            Heights.push_back(C.TextHeight(L));
        const int Shown = TDatabaseGrid::WrappedLinesShown(Heights, Rect.bottom - Rect.top);
        int Y = Rect.top + 2;
        for (int I = 0; I < Shown; ++I) {
            C.TextRect(Rect, Rect.left + 2, Y, T.Lines[I]);
            Y += Heights[I];
        }
        C.BrushClear = WasClear;
        return;
    }
    if (T.Shorten)
        T.Text = ShortenFileName(T.Text, C.Handle(), Width);
    C.TextRect(Rect, Rect.left + 2, Rect.top + 2, T.Text);
}
