#include "toolkit/GridGeometry.h"

#include <algorithm>
#include <cstdlib>

TGridRect GridRectOf(int Col1, int Row1, int Col2, int Row2)
{
    return {std::min(Col1, Col2), std::min(Row1, Row2), std::max(Col1, Col2), std::max(Row1, Row2)};
}

int TGridGeometry::FixedWidth() const
{
    int W = 0;
    for (int C = 0; C < FixedCols && C < ColCount(); ++C)
        W += ColWidths[C] + LineWidth;
    return W;
}

int TGridGeometry::FixedHeight() const
{
    return FixedRows * (RowHeight + LineWidth);
}

int TGridGeometry::RowsFitting(int Height) const
{
    return Height <= 0 ? 0 : Height / (RowHeight + LineWidth);
}

int TGridGeometry::ColLeft(int ACol) const
{
    if (ACol < 0 || ACol >= ColCount() || (ACol >= FixedCols && ACol < LeftCol))
        return -1;
    int X = 0;
    const int First = ACol < FixedCols ? 0 : LeftCol;
    if (ACol >= FixedCols)
        X = FixedWidth();
    for (int C = First; C < ACol; ++C)
        X += ColWidths[C] + LineWidth;
    return X < ClientWidth ? X : -1;
}

int TGridGeometry::RowTop(int ARow) const
{
    if (ARow < 0 || ARow >= RowCount || (ARow >= FixedRows && ARow < TopRow))
        return -1;
    const int Y = ARow < FixedRows ? ARow * (RowHeight + LineWidth)
                                   : FixedHeight() + (ARow - TopRow) * (RowHeight + LineWidth);
    return Y < ClientHeight ? Y : -1;
}

TGridScroll TGridGeometry::ScrollShift(int OldTop, int OldLeft) const
{
    TGridScroll S;
    if ((OldTop != TopRow) == (OldLeft != LeftCol))
        return S;
    if (OldTop != TopRow) {
        S.Dy = (OldTop - TopRow) * (RowHeight + LineWidth);
        S.Area = {0, FixedHeight(), ClientWidth, ClientHeight};
    } else {
        const int From = std::min(OldLeft, LeftCol), To = std::max(OldLeft, LeftCol);
        for (int C = std::max(0, From); C < To && C < ColCount(); ++C)
            S.Dx += ColWidths[C] + LineWidth;
        if (LeftCol > OldLeft)
            S.Dx = -S.Dx;
        S.Area = {FixedWidth(), 0, ClientWidth, ClientHeight};
    }
    if (std::abs(S.Dx) >= S.Area.Right - S.Area.Left || std::abs(S.Dy) >= S.Area.Bottom - S.Area.Top)
        S.Area = {};
    return S;
}

TPixelRect TGridGeometry::CellRect(int ACol, int ARow) const
{
    const int X = ColLeft(ACol), Y = RowTop(ARow);
    if (X < 0 || Y < 0)
        return {};
    return {X, Y, X + ColWidths[ACol], Y + RowHeight};
}

TGridCell TGridGeometry::MouseToCell(int X, int Y) const
{
    if (X < 0 || Y < 0 || X >= ClientWidth || Y >= ClientHeight)
        return {};
    TGridCell Cell;
    const int Fixed = FixedWidth();
    int Left = X < Fixed ? 0 : Fixed;
    for (int C = X < Fixed ? 0 : LeftCol; C < ColCount(); ++C) {
        Left += ColWidths[C] + LineWidth;
        if (X < Left) {
            Cell.Col = C;
            break;
        }
    }
    const int Step = RowHeight + LineWidth;
    const int R = Y < FixedHeight() ? Y / Step : TopRow + (Y - FixedHeight()) / Step;
    if (Cell.Col < 0 || R >= RowCount)
        return {};
    Cell.Row = R;
    return Cell;
}

int TGridGeometry::VisibleRowCount() const
{
    const int Rest = RowCount - TopRow;
    if (Rest <= 0)
        return 0;
    return std::max(1, std::min(Rest, RowsFitting(ClientHeight - FixedHeight())));
}

int TGridGeometry::VisibleColCount() const
{
    int N = 0;
    int Right = FixedWidth();
    for (int C = LeftCol; C < ColCount(); ++C) {
        Right += ColWidths[C];
        if (Right > ClientWidth)
            break;
        Right += LineWidth;
        ++N;
    }
    return LeftCol < ColCount() ? std::max(1, N) : 0;
}

int TGridGeometry::MaxTopRow() const
{
    const int Fit = std::max(1, RowsFitting(ClientHeight - FixedHeight()));
    return std::max(FixedRows, RowCount - Fit);
}

int TGridGeometry::MaxLeftCol() const
{
    const int Room = ClientWidth - FixedWidth();
    int Used = 0;
    int C = ColCount();
    while (C > FixedCols) {
        const int W = ColWidths[C - 1] + (Used > 0 ? LineWidth : 0);
        if (Used + W > Room)
            break;
        Used += W;
        --C;
    }
    return std::max(FixedCols, std::min(C, ColCount() - 1));
}

bool TGridGeometry::ClampScroll()
{
    const int Top = std::max(FixedRows, std::min(TopRow, MaxTopRow()));
    const int Left = std::max(FixedCols, std::min(LeftCol, MaxLeftCol()));
    const bool Moved = Top != TopRow || Left != LeftCol;
    TopRow = Top;
    LeftCol = Left;
    return Moved;
}

bool TGridGeometry::ScrollInView(int ACol, int ARow)
{
    const int OldTop = TopRow, OldLeft = LeftCol;
    if (ARow >= FixedRows && ARow < RowCount) {
        const int Fit = std::max(1, RowsFitting(ClientHeight - FixedHeight()));
        if (ARow < TopRow)
            TopRow = ARow;
        else if (ARow >= TopRow + Fit)
            TopRow = ARow - Fit + 1;
    }
    if (ACol >= FixedCols && ACol < ColCount()) {
        if (ACol < LeftCol)
            LeftCol = ACol;
        auto RightEdge = [&] {
            int X = FixedWidth();
            for (int C = LeftCol; C < ACol; ++C)
                X += ColWidths[C] + LineWidth;
            return X + ColWidths[ACol];
        };
        while (LeftCol < ACol && RightEdge() > ClientWidth)
            ++LeftCol;
    }
    return TopRow != OldTop || LeftCol != OldLeft;
}

TGridCell TGridGeometry::KeyTarget(TGridKey Key, bool Ctrl, int ACol, int ARow) const
{
    const int Page = std::max(1, RowsFitting(ClientHeight - FixedHeight()));
    const int LastCol = ColCount() - 1, LastRow = RowCount - 1;
    int C = ACol, R = ARow;
    switch (Key) {
    case TGridKey::Left: --C; break;
    case TGridKey::Right: ++C; break;
    case TGridKey::Up: --R; break;
    case TGridKey::Down: ++R; break;
    case TGridKey::PageUp: R -= Page; break;
    case TGridKey::PageDown: R += Page; break;
    case TGridKey::Home:
        C = FixedCols;
        if (Ctrl)
            R = FixedRows;
        break;
    case TGridKey::End:
        C = LastCol;
        if (Ctrl)
            R = LastRow;
        break;
    case TGridKey::Tab:
        if (++C > LastCol) {
            C = FixedCols;
            R = R >= LastRow ? FixedRows : R + 1;
        }
        break;
    case TGridKey::BackTab:
        if (--C < FixedCols) {
            C = LastCol;
            R = R <= FixedRows ? LastRow : R - 1;
        }
        break;
    }
    return {std::max(FixedCols, std::min(C, LastCol)), std::max(FixedRows, std::min(R, LastRow))};
}

TGridCell TGridGeometry::DragTarget(int X, int Y, int ACol, int ARow) const
{
    TGridCell T{ACol, ARow};
    if (Y < FixedHeight())
        T.Row = TopRow - 1;
    else if (Y >= ClientHeight)
        T.Row = TopRow + RowsFitting(ClientHeight - FixedHeight());
    else
        T.Row = TopRow + (Y - FixedHeight()) / (RowHeight + LineWidth);
    if (X < FixedWidth())
        T.Col = LeftCol - 1;
    else if (X >= ClientWidth)
        T.Col = LeftCol + VisibleColCount();
    else if (const int C = MouseToCell(X, 0).Col; C >= 0)  // row 0 is always shown
        T.Col = C;
    T.Col = std::max(FixedCols, std::min(T.Col, ColCount() - 1));
    T.Row = std::max(FixedRows, std::min(T.Row, RowCount - 1));
    return T;
}

int TGridGeometry::SizingEdgeAt(int X, int Y, int Tolerance) const
{
    if (Y < 0 || Y >= std::min(FixedHeight(), ClientHeight))
        return -1;
    for (int C = 0; C < ColCount(); ++C) {
        const int Left = ColLeft(C);
        if (Left < 0)
            continue;
        if (std::abs(X - (Left + ColWidths[C])) <= Tolerance)
            return C;
    }
    return -1;
}

int TGridGeometry::DraggedWidth(int ACol, int X, int MinWidth) const
{
    if (ACol < 0 || ACol >= ColCount())
        return 0;
    const int Left = ColLeft(ACol);
    return Left < 0 ? ColWidths[ACol] : std::max(MinWidth, X - Left);
}
