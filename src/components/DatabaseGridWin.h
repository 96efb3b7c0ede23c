// TDatabaseGridWin: the named-column grid on screen. A StringGrid window
// that shows and edits its TDatabaseGrid model (the public Grid member):
// cells, column widths and the current cell live in the model, which the
// window repaints and re-lays out on its notice.
//
// Use:
//   StringGridArgs A;  A.Parent = Form;  A.Editing = true;
//   auto* T = new TDatabaseGridWin(Form, A);
//   T->Grid.SetDatabaseColumns("Flags|Application|Location");
//   T->Grid.SetOwnerDrawColumns("Flags");
//   T->OnOwnerDrawCell = [](TDatabaseGridWin&, int ACol, int ARow, const std::string& Column,
//                           const std::string& Value, const RECT& R, Canvas& C) { ... };
// The current cell moves with FocusCell, of the window or of the model;
// either scrolls it into view.
//
// What a cell shows: the base drawing (fill, text at 2,2) in the colour the
// model's OnGetCellColor or MarkedColor gives; then, outside fixed cells,
// owner drawing in OwnerDrawColumns (OnOwnerDrawCellEx, whose DefaultDraw
// lets the grid go on, else OnOwnerDrawCell, which ends it); then looked-up
// texts, multi-line texts (WrapText) or shortened file names.
//
// The background is Grid.Color (the window's own Color follows it).
// The lookup combo box and the cell button belong to the owner form; the
// grid places, fills, colours, shows and hides them. The combo box must be
// created owner-drawn (ComboBoxArgs::OwnerDrawFixed).
#pragma once

#include "components/DatabaseGrid.h"
#include "toolkit/ComboBox.h"
#include "toolkit/StdControls.h"
#include "toolkit/StringGrid.h"

#include <functional>
#include <memory>
#include <string>

class TDatabaseGridWin : public StringGrid, private IGridView {
    // The model when the window has its own; first, as Grid refers to it.
    std::unique_ptr<TDatabaseGrid> FOwnModel;

public:
    TDatabaseGridWin(Component* Owner, const StringGridArgs& Args);
    // Shows a model that lives on before and after the window.
    TDatabaseGridWin(Component* Owner, const StringGridArgs& Args, TDatabaseGrid& Model);
    ~TDatabaseGridWin() override;

    // Columns, records, marks, sorting, flags and the model's events.
    TDatabaseGrid& Grid;

    ComboBox* LookUpCombobox() const;
    void SetLookUpCombobox(ComboBox* Combo);
    Button* CellButton() const;
    void SetCellButton(Button* B);

    // Re-places the lookup combo box and the cell button at the current cell.
    void UpdateEditors() override;
    void FillLookupCombo(int ACol, int ARow);
    void PlaceLookupCombo(int ACol, int ARow);
    void PlaceCellButton(int ACol, int ARow);

    std::function<void(TDatabaseGridWin& Sender, int ACol, int ARow, const std::string& Column,
                       const std::string& CellValue, const RECT& Rect, Canvas& C)>
        OnOwnerDrawCell;
    std::function<void(TDatabaseGridWin& Sender, int ACol, int ARow, const std::string& Column,
                       const std::string& CellValue, const RECT& Rect, Canvas& C, bool& DefaultDraw)>
        OnOwnerDrawCellEx;
    // The grid took the focus back while it has an in-place editor; NewFocus
    // is the window the focus came from.
    std::function<void(TDatabaseGridWin& Sender, int ACol, int ARow, const std::string& Column,
                       HWND InPlaceEditor, HWND NewFocus)>
        OnLostEditorFocus;

    // --- Data answered from the model ---
    int ColCount() const override { return Grid.ColCount(); }
    int RowCount() const override { return Grid.RowCount(); }
    std::string Cell(int ACol, int ARow) const override { return Grid.Cell(ACol, ARow); }
    void SetCell(int ACol, int ARow, const std::string& Value) override { Grid.SetCell(ACol, ARow, Value); }
    int ColWidth(int ACol) const override { return Grid.ColWidth(ACol); }
    void SetColWidth(int ACol, int Width) override { Grid.SetColWidth(ACol, Width); }
    int Col() const override { return Grid.Col(); }
    int Row() const override { return Grid.Row(); }

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    void DrawCell(Canvas& C, int ACol, int ARow, const RECT& Rect, TGridDrawState State) override;
    bool SelectCell(int ACol, int ARow) override;
    void SetColRow(int ACol, int ARow) override { Grid.SetColRow(ACol, ARow); }
    std::string GetEditText(int ACol, int ARow) override;
    void SetEditText(int ACol, int ARow, const std::string& Value) override;
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void TopLeftChanged() override;
    void FocusGained(HWND LostFrom) override;
    void PostedWork(WPARAM What) override;

private:
    // IGridView
    void SizeChanged() override { LayoutChanged(); }
    void Repaint() override;
    void RecolorLookupCombo() override;
    bool CanSelectCell(int ACol, int ARow) override { return StringGrid::SelectCell(ACol, ARow); }
    void PlaceEditors(int ACol, int ARow) override;
    bool HasLookupCombo() const override { return LookUpCombobox() != nullptr; }
    void TakeFocus() override { ::SetFocus(Handle()); }
    void CurrentMoved() override { CurrentCellMoved(); }

    bool IsFixed(int ACol, int ARow) const { return ACol < FixedCols() || ARow < FixedRows(); }
    void DrawCellText(Canvas& C, int ACol, int ARow, const RECT& Rect);
    // The cell's rectangle in the client coordinates of Other's parent.
    RECT CellRectIn(int ACol, int ARow, const Control* Other) const;
    void PostOnce(WPARAM What);

    void LookupComboDrawItem(ComboBox& Combo, int Index, const RECT& Rect, Canvas& C);
    void LookupComboChange();
    void LookupComboDropDown();
    void LookupComboKeyPress(char& Key);

    // The combo box and the button with their window handles: a reference
    // whose window no longer leads to it is cleared on its next use.
    mutable ComboBox* FCombo = nullptr;
    HWND FComboWnd = nullptr;
    mutable Button* FButton = nullptr;
    HWND FButtonWnd = nullptr;
    unsigned FPosted = 0;
    // The whole client area waits for a paint: filling a table repaints
    // once per cell otherwise, each a call into the window system.
    bool FRepaintPending = false;
};
