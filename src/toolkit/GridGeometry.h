// Where the cells of a grid window lie on its client area, and scrolling in
// whole cells. Portable (no <windows.h>): the grid window keeps one of these
// and asks it for every rectangle, hit test and scroll position.
//
// Layout: the fixed columns stand at the left and the fixed rows at the top
// and never scroll; the scrollable part begins with column LeftCol and row
// TopRow. Every cell is followed by a grid line of LineWidth pixels to its
// right and below it.
#pragma once

#include <vector>

struct TPixelRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TPixelRect& O) const
    {
        return Left == O.Left && Top == O.Top && Right == O.Right && Bottom == O.Bottom;
    }
};

// Columns Left..Right and rows Top..Bottom, both ends included.
struct TGridRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Contains(int ACol, int ARow) const
    {
        return ACol >= Left && ACol <= Right && ARow >= Top && ARow <= Bottom;
    }
};

// The range spanned by two corner cells, in either order.
TGridRect GridRectOf(int Col1, int Row1, int Col2, int Row2);

// Tab and BackTab step across the row and on to the next (previous) one,
// from the last cell back to the first.
enum class TGridKey { Left, Right, Up, Down, PageUp, PageDown, Home, End, Tab, BackTab };

struct TGridCell {
    int Col = -1, Row = -1;
    bool operator==(const TGridCell& O) const { return Col == O.Col && Row == O.Row; }
};

// What a change of the top-left moves on the screen: the pixels of Area
// shift by Dx, Dy; what that uncovers in Area must be painted anew.
struct TGridScroll {
    int Dx = 0, Dy = 0;
    TPixelRect Area;  // empty: nothing worth moving, paint everything
};

class TGridGeometry {
public:
    std::vector<int> ColWidths;
    int RowCount = 2;
    int RowHeight = 24;
    int FixedCols = 0;
    int FixedRows = 1;
    int LineWidth = 1;
    int ClientWidth = 0;
    int ClientHeight = 0;
    int TopRow = 1;   // first scrollable row shown
    int LeftCol = 0;  // first scrollable column shown

    int ColCount() const { return static_cast<int>(ColWidths.size()); }

    // The cell's rectangle without its grid lines; partly shown cells are
    // not clipped. Empty for a cell scrolled out of view, beyond the client
    // area or outside the grid.
    TPixelRect CellRect(int ACol, int ARow) const;
    // The cell under a client point (grid lines belong to the cell before
    // them); Col and Row -1 when no cell lies there.
    TGridCell MouseToCell(int X, int Y) const;

    // Scrollable rows and columns shown whole from the present top-left
    // (at least 1 while any exist, so that paging always moves).
    int VisibleRowCount() const;
    int VisibleColCount() const;
    // The largest TopRow and LeftCol that still fill the client area.
    int MaxTopRow() const;
    int MaxLeftCol() const;
    // Brings TopRow and LeftCol into their ranges; true when either moved.
    bool ClampScroll();
    // Scrolls the least that shows the cell whole (fixed parts never
    // scroll); true when TopRow or LeftCol moved.
    bool ScrollInView(int ACol, int ARow);

    // Scrolling from OldTop, OldLeft to the present TopRow, LeftCol: the
    // scrollable rows move up or down with the fixed columns beside them, or
    // the scrollable columns across with the fixed rows above them. Area is
    // empty when both moved or when no pixel of the old view stays in view.
    TGridScroll ScrollShift(int OldTop, int OldLeft) const;

    // The cell a navigation key moves the current cell to, kept inside the
    // scrollable cells. Home/End go to the first/last column, with Ctrl
    // also to the first/last row; the page keys move by a page of rows.
    TGridCell KeyTarget(TGridKey Key, bool Ctrl, int ACol, int ARow) const;

    // The cell a range selection dragged to the client point reaches: the
    // cell under it, or, beyond an edge of the scrollable part, the next
    // cell past that edge; a coordinate on nothing keeps ACol or ARow.
    TGridCell DragTarget(int X, int Y, int ACol, int ARow) const;

    // The column whose right edge lies within Tolerance pixels of X while Y
    // is inside the fixed rows (where columns are sized), else -1.
    int SizingEdgeAt(int X, int Y, int Tolerance) const;
    // The width column ACol gets when its right edge is dragged to X.
    int DraggedWidth(int ACol, int X, int MinWidth) const;

    // Where a column or row begins; -1 when it is not shown (a column of
    // width 0 is shown, though its rectangle is empty).
    int ColLeft(int ACol) const;
    int RowTop(int ARow) const;

private:
    int FixedWidth() const;
    int FixedHeight() const;
    int RowsFitting(int Height) const;
};
