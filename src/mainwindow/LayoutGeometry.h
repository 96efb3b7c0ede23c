// Pixel geometry of a layout: where each panel of a layout goes inside a
// rectangle, by the percentages of the node texts. The applied layout's
// host panels are placed with it, and the designer's preview draws with it
// through ILayoutCanvas. Portable.
//
// Percentages: Left/Right panels field 3 = width, Top/Bottom field 3 =
// height (absent or 0: an equal share of what the group leaves); Centered
// fields 3, 4 = width, height; Custom fields 3..6 = x, y, width, height.
// Rectangles are (left, top, right, bottom); a panel's bounds are taken as
// they are, so its width is right - left.
#pragma once

#include "mainwindow/LayoutTree.h"

#include <string>
#include <utility>
#include <vector>

struct TLayoutRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TLayoutRect& O) const
    {
        return Left == O.Left && Top == O.Top && Right == O.Right && Bottom == O.Bottom;
    }
    bool operator!=(const TLayoutRect& O) const { return !(*this == O); }
};

// Right - Left and Bottom - Top, saturated to the int range: a damaged
// stored percentage gives rectangles that span it.
int RectWidth(const TLayoutRect& R);
int RectHeight(const TLayoutRect& R);

// Mode of LayoutPanels: placing host panels, or drawing the preview (where
// each node's children go 5 pixels inside it).
enum : std::uint8_t { lmDraw = 0, lmPlace = 1 };

// Nearest integer, ties to the even one; saturated to the int range. Our
// own so that every platform rounds alike.
int RoundHalfEven(double X);
// A share in hundredths of a per cent as "%6.2f" would write it.
std::string FormatShare(long long Hundredths);

// The side-docked children's percentages as '|'-separated text, a "*"
// (no percentage) replaced by the equal share of the rest; answers their
// number.
int SidePercentList(const TLayoutTree& Tree, TNodeId Node, std::string& List);
// The same percentages as numbers (each share at the text's precision).
std::vector<double> SidePercents(const TLayoutTree& Tree, TNodeId Node);

// What LayoutPanels does at each node it reaches, before the node's
// children are placed.
class ILayoutVisitor {
public:
    virtual void VisitNode(TNodeId Node, const TLayoutRect& R) = 0;

protected:
    ~ILayoutVisitor() = default;
};

// Visits Node with R, then every placed panel child (and its subtree) with
// the child's rectangle. A child without an orientation is skipped with its
// subtree; so is a child that is not a panel.
void LayoutPanels(const TLayoutTree& Tree, TNodeId Node, const TLayoutRect& R,
                  std::uint8_t Mode, ILayoutVisitor& Visitor);

// Every node LayoutPanels reaches, in visiting order, with its rectangle.
using TLayoutPlacement = std::vector<std::pair<TNodeId, TLayoutRect>>;
TLayoutPlacement ComputeLayout(const TLayoutTree& Tree, TNodeId Node, const TLayoutRect& R,
                               std::uint8_t Mode);

// The preview's drawing surface.
class ILayoutCanvas {
public:
    // A black 1-pixel frame, filled silver when Silver, else with the
    // brush last used.
    virtual void Rectangle(const TLayoutRect& R, bool Silver) = 0;
    virtual void WrappedText(const TLayoutRect& R, const std::string& Text) = 0;
    // A red frame 3 pixels wide, not filled.
    virtual void SelectionFrame(const TLayoutRect& R) = 0;

protected:
    ~ILayoutCanvas() = default;
};

// Draws the layout of Selected inside Area (the paint box shrunk by 5) and
// frames the selected node; nothing when nothing is selected.
void PaintLayoutPreview(const TLayoutTree& Tree, TNodeId Selected, const TLayoutRect& Area,
                        ILayoutCanvas& Canvas);
