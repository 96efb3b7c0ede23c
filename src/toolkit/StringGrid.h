// StringGrid: a window of text cells in columns and rows of one height,
// with fixed header rows and columns that never scroll, grid lines, a
// current cell moved by keys and mouse, an optional range selection,
// columns sized by dragging their header edge, scrolling in whole cells
// (scroll bars and wheel), flicker-free painting through the virtual
// DrawCell, and an in-place EDIT editor (F2, Enter, a typed character or a
// click on the current cell opens it; Enter or leaving closes it; Esc puts
// the text back as it was).
//
// Cells, widths and the current cell are read through virtual functions: by
// default the grid keeps them itself; a derived class may answer them from a
// model and call LayoutChanged when the model's shape changes.
//
// Cell geometry (CellRect, MouseToCell, scrolling) is TGridGeometry's.
#pragma once

#include "toolkit/Canvas.h"
#include "toolkit/Control.h"
#include "toolkit/GridGeometry.h"
#include "toolkit/Panel.h"  // TMouseButton, TShiftState

#include <functional>
#include <string>
#include <vector>

using TGridDrawState = unsigned;
enum : TGridDrawState { gdSelected = 1, gdFocused = 2, gdFixed = 4 };

struct StringGridArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 320, Height = 200;
    TAlign Align = TAlign::None;
    int ColCount = 5, RowCount = 5;  // of the grid's own cells
    int FixedCols = 0, FixedRows = 1;
    int DefaultColWidth = 64;
    int DefaultRowHeight = 24;
    bool GridLines = true;
    bool Editing = false;      // cells may be edited in place
    bool RangeSelect = false;  // Shift and dragging select a range
    bool ColSizing = true;     // header edges size the columns
    bool Tabs = false;         // Tab and Shift+Tab move between cells
    bool WantReturn = false;   // in a dialog Enter opens the editor, not the default button
    bool ThumbTracking = false;  // the view follows the thumb while dragged
    bool Visible = true;
};

class StringGrid : public Control {
public:
    StringGrid(Component* Owner, const StringGridArgs& Args);
    ~StringGrid() override;

    // --- Data (the grid's own unless overridden) ---
    virtual int ColCount() const;
    virtual int RowCount() const;
    void SetColCount(int Value);
    void SetRowCount(int Value);
    virtual std::string Cell(int ACol, int ARow) const;
    virtual void SetCell(int ACol, int ARow, const std::string& Value);
    virtual int ColWidth(int ACol) const;
    virtual void SetColWidth(int ACol, int Width);
    // The current cell; FocusCell moves it when SelectCell accepts.
    virtual int Col() const;
    virtual int Row() const;
    bool FocusCell(int ACol, int ARow);

    int FixedCols() const { return FFixedCols; }
    int FixedRows() const { return FFixedRows; }
    void SetFixed(int Cols, int Rows);
    int DefaultRowHeight() const { return FRowHeight; }
    void SetDefaultRowHeight(int Height);
    bool Editing = false;
    bool RangeSelect = false;
    bool ColSizing = true;
    bool Tabs = false;
    bool WantReturn = false;
    bool ThumbTracking = false;
    bool GridLines = true;
    TColor Color = SystemColor(COLOR_WINDOW);
    TColor FixedColor = SystemColor(COLOR_BTNFACE);

    // Columns Left..Right, rows Top..Bottom; the current cell alone unless
    // a range is selected.
    TGridRect Selection() const;
    int TopRow() const { return FGeo.TopRow; }
    int LeftCol() const { return FGeo.LeftCol; }
    void SetTopLeft(int ATopRow, int ALeftCol);
    // Client coordinates; an empty rectangle for a cell not in view.
    RECT CellRect(int ACol, int ARow) const;
    // False (and -1, -1) when no cell lies under the client point.
    bool MouseToCell(int X, int Y, int& ACol, int& ARow) const;
    const TGridGeometry& Geometry() const { return FGeo; }

    // --- In-place editor ---
    bool EditorShowing() const;
    // Nullptr until the editor was first shown.
    HWND EditorHandle() const;
    void ShowEditor();
    // Commit writes the editor's text to the cell through SetEditText.
    void HideEditor(bool Commit);

    // Counts, widths or the row height changed: re-clamps the scrolling,
    // the current cell and the scroll bars, and repaints.
    void LayoutChanged();

    // --- Hooks (what a handler sets by reference, the grid then uses) ---
    // Key 0 consumes the key.
    std::function<void(WORD& Key, TShiftState Shift)> OnKeyDown;
    std::function<void(TMouseButton Button, TShiftState Shift, int X, int Y)> OnMouseDown;
    std::function<void(TMouseButton Button, TShiftState Shift, int X, int Y)> OnMouseUp;
    std::function<void(TShiftState Shift, int X, int Y)> OnMouseMove;
    std::function<void()> OnMouseLeave;
    std::function<void()> OnDblClick;
    // Focus gained (LostFrom: the window that had it) and lost.
    std::function<void(HWND LostFrom)> OnEnter;
    std::function<void()> OnExit;
    std::function<void(int ACol, int ARow, bool& CanSelect)> OnSelectCell;
    // Runs inside the default DrawCell, after its fill and text.
    std::function<void(Canvas& C, int ACol, int ARow, const RECT& Rect, TGridDrawState State)>
        OnDrawCell;
    std::function<void()> OnTopLeftChanged;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

    // Paints one cell on a canvas whose brush and font colours are set for
    // its state; the default fills it and writes the text at (2, 2), then
    // runs OnDrawCell. Clipping to the cell is the caller's.
    virtual void DrawCell(Canvas& C, int ACol, int ARow, const RECT& Rect, TGridDrawState State);
    // Whether the current cell may move to (ACol, ARow); default OnSelectCell.
    virtual bool SelectCell(int ACol, int ARow);
    // Stores the current cell (after SelectCell accepted it).
    virtual void SetColRow(int ACol, int ARow);
    // Text the editor starts with, and where its text goes on each change.
    virtual std::string GetEditText(int ACol, int ARow);
    virtual void SetEditText(int ACol, int ARow, const std::string& Value);
    virtual void KeyDown(WORD& Key, TShiftState Shift);
    virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void TopLeftChanged();
    virtual void FocusGained(HWND LostFrom);
    // A message posted to the grid itself, for work that must not run
    // inside painting.
    virtual void PostedWork(WPARAM What) { (void)What; }
    void PostWork(WPARAM What);
    // The current cell was moved from outside (a model): the selection
    // shrinks to it and it scrolls into view.
    void CurrentCellMoved();

private:
    class InplaceEdit;
    friend class InplaceEdit;

    void SyncGeometry();
    void UpdateScrollBars();
    void Scroll(int Bar, WORD Code);
    void Paint(HDC Dc, const RECT& Update);
    bool MoveCurrent(int ACol, int ARow, bool Extend);
    bool HandleKey(WORD Key);
    void EditorKey(WORD Key);
    void MouseDown(TShiftState Shift, int X, int Y, bool Double);
    void DragSelect(int X, int Y);

    TGridGeometry FGeo;
    int FFixedCols, FFixedRows;
    int FRowHeight;
    int FDefaultColWidth;
    // The grid's own data (unused when a derived class overrides it).
    std::vector<std::vector<std::string>> FCells;  // [row][col]
    std::vector<int> FColWidths;
    int FCol = 0, FRow = 0;
    int FAnchorCol = 0, FAnchorRow = 0;  // other corner of the selection

    InplaceEdit* FEditor = nullptr;
    int FEditCol = -1, FEditRow = -1;
    std::string FEditStart;

    enum class TDrag { None, Select, Size };
    TDrag FDrag = TDrag::None;
    int FSizingCol = -1;
    bool FTrackingLeave = false;
    bool FLayoutBusy = false;
    bool FSettingEditText = false;  // the editor's text set by the grid
    bool FHidingEditor = false;
    int FWheelRest = 0;
};
