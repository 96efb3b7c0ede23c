#include "toolkit/GridGeometry.h"

#include <gtest/gtest.h>

namespace {

// Columns 40 (fixed), 50, 60, 70, 80; rows of 20 plus a 1-pixel line; one
// fixed row; a client area of 200 x 110 (a header and four rows whole).
TGridGeometry Sample(int TopRow, int LeftCol)
{
    TGridGeometry G;
    G.ColWidths = {40, 50, 60, 70, 80};
    G.RowCount = 20;
    G.RowHeight = 20;
    G.FixedCols = 1;
    G.FixedRows = 1;
    G.ClientWidth = 200;
    G.ClientHeight = 110;
    G.TopRow = TopRow;
    G.LeftCol = LeftCol;
    return G;
}

TEST(GridGeometryTest, CellRectFollowsScrollingAndKeepsFixedParts)
{
    struct Case {
        int Top, Left, Col, Row;
        TPixelRect Expect;
    } Cases[] = {
        {1, 1, 0, 0, {0, 0, 40, 20}},        // fixed corner
        {1, 1, 1, 1, {41, 21, 91, 41}},
        {1, 1, 3, 4, {153, 84, 223, 104}},   // partly shown: not clipped
        {1, 1, 4, 1, {}},                    // right of the client area
        {1, 1, 1, 6, {}},                    // below it
        {5, 3, 0, 5, {0, 21, 40, 41}},       // the fixed column scrolls down only
        {5, 3, 3, 0, {41, 0, 111, 20}},      // the header row scrolls across only
        {5, 3, 2, 5, {}},                    // scrolled out to the left
        {5, 3, 1, 4, {}},                    // scrolled out above
        {5, 3, 4, 8, {112, 84, 192, 104}},
        {1, 1, 5, 1, {}},                    // no such column
        {1, 1, 1, 20, {}},                   // no such row
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(testing::Message() << K.Top << "," << K.Left << " cell " << K.Col << "," << K.Row);
        EXPECT_EQ(Sample(K.Top, K.Left).CellRect(K.Col, K.Row), K.Expect);
    }
    // A column of width 0 is still shown: only its grid line.
    TGridGeometry G = Sample(1, 1);
    G.ColWidths[2] = 0;
    EXPECT_EQ(G.ColLeft(2), 92);
    EXPECT_EQ(G.CellRect(3, 1), (TPixelRect{93, 21, 163, 41}));
    EXPECT_EQ(G.ColLeft(4), 164);
}

TEST(GridGeometryTest, ScrollShiftMovesWhatStaysInView)
{
    struct Case {
        int OldTop, OldLeft, Top, Left;
        TGridScroll Expect;
    } Cases[] = {
        {1, 1, 2, 1, {0, -21, {0, 21, 200, 110}}},     // rows move under the header row
        {5, 1, 3, 1, {0, 42, {0, 21, 200, 110}}},
        {1, 1, 5, 1, {0, -84, {0, 21, 200, 110}}},     // one row's worth stays
        {1, 1, 6, 1, {0, -105, {}}},                   // nothing stays
        {1, 1, 1, 3, {-112, 0, {41, 0, 200, 110}}},    // columns of their own widths
        {1, 3, 1, 2, {61, 0, {41, 0, 200, 110}}},
        {1, 1, 1, 4, {-183, 0, {}}},
        {1, 1, 2, 2, {0, 0, {}}},                      // both at once: paint all
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(testing::Message() << K.OldTop << "," << K.OldLeft << " to " << K.Top << ","
                                        << K.Left);
        const TGridScroll S = Sample(K.Top, K.Left).ScrollShift(K.OldTop, K.OldLeft);
        EXPECT_EQ(S.Area, K.Expect.Area);
        if (!K.Expect.Area.IsEmpty()) {
            EXPECT_TRUE(S.Dx == K.Expect.Dx && S.Dy == K.Expect.Dy) << S.Dx << "," << S.Dy;
        }
    }
}

TEST(GridGeometryTest, MouseToCellIsTheInverseOfCellRect)
{
    struct Case {
        int Top, Left, X, Y;
        TGridCell Expect;
    } Cases[] = {
        {1, 1, 0, 0, {0, 0}},
        {1, 1, 40, 20, {0, 0}},      // the grid line belongs to the cell before it
        {1, 1, 41, 21, {1, 1}},
        {1, 1, 199, 109, {3, 5}},
        {5, 3, 10, 30, {0, 5}},
        {5, 3, 50, 10, {3, 0}},
        {5, 3, 150, 100, {4, 8}},
        {1, 1, 200, 50, {-1, -1}},   // outside the client area
        {1, 1, -1, 50, {-1, -1}},
        {19, 1, 50, 50, {-1, -1}},   // below the last row
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(testing::Message() << K.Top << "," << K.Left << " at " << K.X << "," << K.Y);
        const TGridCell C = Sample(K.Top, K.Left).MouseToCell(K.X, K.Y);
        EXPECT_EQ(C, K.Expect);
    }
}

TEST(GridGeometryTest, ScrollingStaysInRangeAndShowsTheCell)
{
    struct Case {
        int Top, Left;      // before
        int Col, Row;       // ScrollInView; -1: ClampScroll only
        int ExpTop, ExpLeft;
    } Cases[] = {
        {1, 1, 2, 3, 1, 1},        // already shown
        {1, 1, 1, 5, 2, 1},        // one row below: scroll by one
        {1, 1, 1, 19, 16, 1},      // the last row: four rows end at it
        {10, 1, 1, 4, 4, 1},       // above: it becomes the top row
        {1, 1, 4, 1, 1, 3},        // 50+60+70+80 do not fit; 70+80 do
        {1, 3, 1, 1, 1, 1},        // left of the view
        {1, 1, 0, 0, 1, 1},        // fixed cells never scroll
        {99, 99, -1, -1, 16, 3},   // clamped to the largest top-left
        {0, 0, -1, -1, 1, 1},      // and to the first scrollable cell
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(testing::Message() << K.Top << "," << K.Left << " to " << K.Col << "," << K.Row);
        TGridGeometry G = Sample(K.Top, K.Left);
        if (K.Col >= 0)
            G.ScrollInView(K.Col, K.Row);
        else
            G.ClampScroll();
        EXPECT_EQ(G.TopRow, K.ExpTop);
        EXPECT_EQ(G.LeftCol, K.ExpLeft);
    }
    const TGridGeometry G = Sample(1, 1);
    EXPECT_EQ(G.VisibleRowCount(), 4);
    EXPECT_EQ(G.VisibleColCount(), 2);
    EXPECT_EQ(G.MaxTopRow(), 16);
    EXPECT_EQ(G.MaxLeftCol(), 3);
}

TEST(GridGeometryTest, KeysAndHeaderEdges)
{
    const TGridGeometry G = Sample(1, 1);
    struct Case {
        TGridKey Key;
        bool Ctrl;
        int Col, Row;
        TGridCell Expect;
    } Cases[] = {
        {TGridKey::Left, false, 1, 3, {1, 3}},     // not into the fixed column
        {TGridKey::Right, false, 4, 3, {4, 3}},
        {TGridKey::Up, false, 2, 1, {2, 1}},       // not into the header row
        {TGridKey::Down, false, 2, 19, {2, 19}},
        {TGridKey::PageDown, false, 2, 3, {2, 7}},
        {TGridKey::PageDown, false, 2, 17, {2, 19}},
        {TGridKey::PageUp, false, 2, 3, {2, 1}},
        {TGridKey::Home, false, 3, 9, {1, 9}},
        {TGridKey::Home, true, 3, 9, {1, 1}},
        {TGridKey::End, true, 2, 9, {4, 19}},
        {TGridKey::Tab, false, 3, 9, {4, 9}},
        {TGridKey::Tab, false, 4, 9, {1, 10}},
        {TGridKey::Tab, false, 4, 19, {1, 1}},      // round to the first cell
        {TGridKey::BackTab, false, 1, 10, {4, 9}},
        {TGridKey::BackTab, false, 1, 1, {4, 19}},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(K.Key) << " from " << K.Col << "," << K.Row);
        EXPECT_EQ(G.KeyTarget(K.Key, K.Ctrl, K.Col, K.Row), K.Expect);
    }
    struct Edge {
        int X, Y, Col;
    } Edges[] = {
        {40, 5, 0}, {91, 10, 1}, {93, 10, 1}, {95, 10, -1}, {91, 25, -1}, {152, 0, 2},
    };
    for (const Edge& E : Edges)
        EXPECT_EQ(G.SizingEdgeAt(E.X, E.Y, 2), E.Col) << E.X << "," << E.Y;
    struct Drag {
        int X, Y;
        TGridCell Expect;
    } Drags[] = {
        {100, 50, {2, 2}},     // on a cell
        {100, 200, {2, 5}},    // below: the row after the four shown
        {100, 10, {2, 1}},     // over the header, already at the top
        {250, 50, {3, 2}},     // right: the column after the two shown whole
        {10, 50, {1, 2}},      // over the fixed column, already at the left
        {-5, 300, {1, 5}},
    };
    for (const Drag& D : Drags)
        EXPECT_EQ(G.DragTarget(D.X, D.Y, 3, 3), D.Expect) << D.X << "," << D.Y;
    TGridGeometry Scrolled = Sample(6, 2);
    EXPECT_EQ(Scrolled.DragTarget(50, 5, 3, 3), (TGridCell{2, 5}));  // above the view
    EXPECT_EQ(Scrolled.DragTarget(5, 40, 3, 3), (TGridCell{1, 6}));  // left of it
    EXPECT_EQ(G.DraggedWidth(1, 120, 4), 79);
    EXPECT_EQ(G.DraggedWidth(1, 30, 4), 4);
}

}  // namespace
