// Dragging the borders of the applied layout's panels: which panel edge or
// corner lies under the mouse, which cursor it shows, whether a drag may
// start there, every panel edge that must follow it (parent, neighbours,
// children), and checking and applying each mouse step. Portable: the live
// bounds of the host panels are read and set through IPanelBounds, all in
// the host control's client coordinates.
//
// Zones of a point against a rectangle, 5 pixels wide at the edges, read
// row by row: 1 top-left, 2 top, 3 top-right, 4 left, 5 inside, 6 right,
// 7 bottom-left, 8 bottom, 9 bottom-right.
#pragma once

#include "mainwindow/LayoutGeometry.h"
#include "mainwindow/LayoutTree.h"

#include <cstdint>
#include <memory>
#include <vector>

// Cursor ids as the toolkit numbers them (0: the default cursor).
enum : int {
    crDefault = 0,
    crSizeNESW = -6,
    crSizeNS = -7,
    crSizeNWSE = -8,
    crSizeWE = -9,
    crSizeAll = -22,
};

constexpr int BorderWidth = 5;
constexpr int MinPanelSize = 30;

// The live bounds of the nodes' host panels.
class IPanelBounds {
public:
    // False when the node has no panel.
    virtual bool PanelBounds(TNodeId Node, TLayoutRect& R) = 0;
    virtual void SetPanelBounds(TNodeId Node, const TLayoutRect& R) = 0;

protected:
    ~IPanelBounds() = default;
};

// The tree and the panels' bounds that the routines below work on.
struct TBorderSpace {
    const TLayoutTree& Tree;
    IPanelBounds& Panels;
};

// Right and bottom themselves still count as inside.
bool BorderZoneAt(int X, int Y, const TLayoutRect& R, int& Zone);
bool PanelZoneAt(const TBorderSpace& S, int X, int Y, TNodeId Node, int& Zone);
// The edge runs, through side-docked panels only, onto the same edge of
// LayoutRect.
bool IsOuterEdge(const TBorderSpace& S, int X, int Y, const TLayoutRect& LayoutRect, int Zone,
                 TNodeId Node);
// The edge or corner is also that of a centred or custom ancestor (or of
// the panel itself); zone 5 of a centred or custom panel.
bool IsMovable(const TBorderSpace& S, int X, int Y, TNodeId Node, int Zone);

class TPanelBorder {
public:
    TPanelBorder(TNodeId Node, std::uint8_t Zone) : Node(Node), Zone(Zone) {}
    TNodeId Node;
    std::uint8_t Zone;
    bool Processed = false;

    bool GetBorderCursor(const TBorderSpace& S, int X, int Y, int& Cursor) const;
    void CheckBorderMove(const TBorderSpace& S, const TLayoutRect& Bounds, int DX, int DY,
                         bool& OkY, bool& OkX) const;
    void ApplyBorderMove(const TBorderSpace& S, const TLayoutRect& Bounds, int DX, int DY) const;
};

// The deepest panel border under the point, or nullptr.
std::unique_ptr<TPanelBorder> FindBorderAt(const TBorderSpace& S, TNodeId LayoutNode, int X, int Y);

// The borders of one drag; a node stands in it at most once.
class TPanelBorderList {
public:
    TPanelBorderList(const TLayoutTree& Tree, IPanelBounds& Panels) : FSpace{Tree, Panels} {}
    TPanelBorderList(const TPanelBorderList&) = delete;
    TPanelBorderList& operator=(const TPanelBorderList&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    TPanelBorder* Items(int Index) const;
    void Delete(int Index);
    void Clear();
    // A node already present keeps its entry and zone.
    int AddBorder(TNodeId Node, int Zone);
    int IndexOfNode(TNodeId Node) const;
    // Collects the border under the point and all that follow it; false
    // when no drag may start there.
    bool StartDrag(TNodeId LayoutNode, const TLayoutRect& Bounds, int X, int Y);
    void CheckMove(const TLayoutRect& Bounds, int DX, int DY, bool& OkY, bool& OkX) const;
    // Panels moved as a whole stay inside Bounds: the step is clamped.
    void ApplyMove(const TLayoutRect& Bounds, int DX, int DY);

private:
    void Propagate(int X, int Y);
    void AddNeighbour(const TPanelBorder& E, int O);
    void AddChildren(const TPanelBorder& E);

    TBorderSpace FSpace;
    std::vector<std::unique_ptr<TPanelBorder>> FItems;
};
