#include "mainwindow/LayoutBorders.h"

#include <algorithm>
#include <climits>

namespace {

bool IsFree(const TLayoutTree& T, TNodeId Node)
{
    const int O = T.NodeOrientation(Node, loNone);
    return O == loCentered || O == loCustom;
}

// The four edge tests against the host bounds and the minimum size.
// In 64 bits: a stored layout may put panels far outside.
bool TopMoves(const TLayoutRect& R, const TLayoutRect& B, long long DY)
{
    return R.Top + DY >= B.Top && R.Bottom - (R.Top + DY) >= MinPanelSize;
}

bool BottomMoves(const TLayoutRect& R, const TLayoutRect& B, long long DY)
{
    return R.Bottom + DY <= B.Bottom && (static_cast<long long>(R.Bottom) - R.Top) + DY >= MinPanelSize;
}

bool LeftMoves(const TLayoutRect& R, const TLayoutRect& B, long long DX)
{
    return R.Left + DX >= B.Left && R.Right - (R.Left + DX) >= MinPanelSize;
}

bool RightMoves(const TLayoutRect& R, const TLayoutRect& B, long long DX)
{
    return R.Right + DX <= B.Right && (static_cast<long long>(R.Right) - R.Left) + DX >= MinPanelSize;
}

// A whole panel far outside may be moved by any step: saturate.
int Shifted(int V, int D)
{
    return SaturateToInt(static_cast<long long>(V) + D);
}

bool IsTopZone(int Z) { return Z >= 1 && Z <= 3; }
bool IsBottomZone(int Z) { return Z >= 7 && Z <= 9; }
bool IsLeftZone(int Z) { return Z == 1 || Z == 4 || Z == 7; }
bool IsRightZone(int Z) { return Z == 3 || Z == 6 || Z == 9; }

// The step D on one axis limited so that [Lo, Hi] (a panel's extent) goes
// no further out of [BLo, BHi]; a panel larger than the area may only keep
// covering it. Standing still is always allowed: a panel placed partly
// outside would otherwise jump against the mouse.
int ClampStep(int D, int Lo, int Hi, int BLo, int BHi)
{
    const long long A = static_cast<long long>(BLo) - Lo;
    const long long B = static_cast<long long>(BHi) - Hi;
    const long long Step = std::clamp<long long>(D, std::min({A, B, 0LL}), std::max({A, B, 0LL}));
    return SaturateToInt(Step);
}

} // namespace

bool BorderZoneAt(int X, int Y, const TLayoutRect& R, int& Zone)
{
    auto Part = [](int V, int Lo, int Hi, int& Out) {
        const long long InLo = static_cast<long long>(Lo) + BorderWidth;
        const long long InHi = static_cast<long long>(Hi) - BorderWidth;
        if (Lo <= V && V < InLo)
            Out = 0;
        else if (InLo <= V && V <= InHi)
            Out = 1;
        else if (InHi < V && V <= Hi)
            Out = 2;
        else
            return false;
        return true;
    };
    int Col, Row;
    if (!Part(X, R.Left, R.Right, Col) || !Part(Y, R.Top, R.Bottom, Row))
        return false;
    Zone = Col + 3 * Row + 1;
    return true;
}

bool PanelZoneAt(const TBorderSpace& S, int X, int Y, TNodeId Node, int& Zone)
{
    TLayoutRect R;
    return S.Tree.Exists(Node) && S.Panels.PanelBounds(Node, R) && BorderZoneAt(X, Y, R, Zone);
}

bool IsOuterEdge(const TBorderSpace& S, int X, int Y, const TLayoutRect& LayoutRect, int Zone,
                 TNodeId Node)
{
    // Up the parents while the edge stays the same edge of each.
    for (;;) {
        if (Node == NoNode || S.Tree.IsLayoutNode(Node))
            return true;
        if (Zone == 5 || Zone < 1 || Zone > 9 || IsFree(S.Tree, Node))
            return false;
        const TNodeId P = S.Tree.Parent(Node);
        TLayoutRect R = LayoutRect;
        if (P != NoNode && !S.Tree.IsLayoutNode(P) && !S.Panels.PanelBounds(P, R))
            return false;
        int Z;
        if (!BorderZoneAt(X, Y, R, Z) || Z != Zone)
            return false;
        Node = P;
    }
}

bool IsMovable(const TBorderSpace& S, int X, int Y, TNodeId Node, int Zone)
{
    for (;;) {
        if (!S.Tree.Exists(Node) || S.Tree.IsLayoutNode(Node) || Zone < 1 || Zone > 9)
            return false;
        int Z;
        if (!PanelZoneAt(S, X, Y, Node, Z) || Z != Zone)
            return false;
        if (IsFree(S.Tree, Node))
            return true;
        if (Zone == 5)
            return false;
        Node = S.Tree.Parent(Node);
    }
}

// --- TPanelBorder ---

bool TPanelBorder::GetBorderCursor(const TBorderSpace& S, int X, int Y, int& Cursor) const
{
    TLayoutRect R;
    if (!S.Panels.PanelBounds(Node, R))
        return false;
    static const int Movable[10] = {crDefault,  crSizeNWSE, crSizeNS, crSizeNESW, crSizeWE,
                                    crSizeAll,  crSizeWE,   crSizeNESW, crSizeNS, crSizeNWSE};
    static const int Fixed[10] = {crDefault, crDefault, crSizeNS, crDefault, crSizeWE,
                                  crDefault, crSizeWE,  crDefault, crSizeNS, crDefault};
    if (Zone < 1 || Zone > 9)
        return false;
    Cursor = IsMovable(S, X, Y, Node, Zone) ? Movable[Zone] : Fixed[Zone];
    return Cursor != crDefault;
}

void TPanelBorder::CheckBorderMove(const TBorderSpace& S, const TLayoutRect& Bounds, int DX, int DY,
                                   bool& OkY, bool& OkX) const
{
    TLayoutRect R;
    if (!S.Panels.PanelBounds(Node, R))
        return;
    if ((IsTopZone(Zone) && !TopMoves(R, Bounds, DY)) ||
        (IsBottomZone(Zone) && !BottomMoves(R, Bounds, DY)))
        OkY = false;
    if ((IsLeftZone(Zone) && !LeftMoves(R, Bounds, DX)) ||
        (IsRightZone(Zone) && !RightMoves(R, Bounds, DX)))
        OkX = false;
}

void TPanelBorder::ApplyBorderMove(const TBorderSpace& S, const TLayoutRect& Bounds, int DX,
                                   int DY) const
{
    TLayoutRect R;
    if (!S.Panels.PanelBounds(Node, R))
        return;
    const TLayoutRect Old = R;
    if (IsTopZone(Zone) && TopMoves(Old, Bounds, DY))
        R.Top += DY;
    if (Zone == 5)
        R = {Shifted(R.Left, DX), Shifted(R.Top, DY), Shifted(R.Right, DX), Shifted(R.Bottom, DY)};
    if (IsBottomZone(Zone) && BottomMoves(Old, Bounds, DY))
        R.Bottom += DY;
    if (IsLeftZone(Zone) && LeftMoves(Old, Bounds, DX))
        R.Left += DX;
    if (IsRightZone(Zone) && RightMoves(Old, Bounds, DX))
        R.Right += DX;
    S.Panels.SetPanelBounds(Node, R);
}

std::unique_ptr<TPanelBorder> FindBorderAt(const TBorderSpace& S, TNodeId LayoutNode, int X, int Y)
{
    // Children lie inside their parents: the last hit is the deepest panel.
    std::unique_ptr<TPanelBorder> Found;
    const std::vector<TNodeId> Nodes = S.Tree.Subtree(LayoutNode);
    for (std::size_t I = 1; I < Nodes.size(); ++I) {
        int Z;
        if (PanelZoneAt(S, X, Y, Nodes[I], Z))
            Found = std::make_unique<TPanelBorder>(Nodes[I], static_cast<std::uint8_t>(Z));
    }
    return Found;
}

// --- TPanelBorderList ---

TPanelBorder* TPanelBorderList::Items(int Index) const
{
    return Index >= 0 && Index < Count() ? FItems[static_cast<std::size_t>(Index)].get() : nullptr;
}

void TPanelBorderList::Delete(int Index)
{
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

void TPanelBorderList::Clear()
{
    while (Count() > 0)
        Delete(0);
}

int TPanelBorderList::IndexOfNode(TNodeId Node) const
{
    for (int I = 0; I < Count(); ++I)
        if (FItems[static_cast<std::size_t>(I)]->Node == Node)
            return I;
    return -1;
}

int TPanelBorderList::AddBorder(TNodeId Node, int Zone)
{
    const int I = IndexOfNode(Node);
    if (I >= 0)
        return I;
    FItems.push_back(std::make_unique<TPanelBorder>(Node, static_cast<std::uint8_t>(Zone)));
    return Count() - 1;
}

bool TPanelBorderList::StartDrag(TNodeId LayoutNode, const TLayoutRect& Bounds, int X, int Y)
{
    const std::unique_ptr<TPanelBorder> B = FindBorderAt(FSpace, LayoutNode, X, Y);
    int Cursor;
    if (!B || IsOuterEdge(FSpace, X, Y, Bounds, B->Zone, B->Node) ||
        !B->GetBorderCursor(FSpace, X, Y, Cursor))
        return false;
    Clear();
    AddBorder(B->Node, B->Zone);
    Propagate(X, Y);
    return IndexOfNode(LayoutNode) < 0;
}

void TPanelBorderList::Propagate(int X, int Y)
{
    // Entries are only ever appended, so walking on in order always takes
    // the first unprocessed one.
    const TLayoutTree& T = FSpace.Tree;
    for (int I = 0; I < Count(); ++I) {
        TPanelBorder& E = *FItems[static_cast<std::size_t>(I)];
        E.Processed = true;
        TLayoutRect R;
        if (!FSpace.Panels.PanelBounds(E.Node, R))
            continue;
        if (!IsFree(T, E.Node)) {
            int Z;
            if (PanelZoneAt(FSpace, X, Y, T.Parent(E.Node), Z) && Z == E.Zone)
                AddBorder(T.Parent(E.Node), E.Zone);
            AddNeighbour(E, T.NodeOrientation(E.Node, loNone));
        }
        AddChildren(E);
    }
}

void TPanelBorderList::AddNeighbour(const TPanelBorder& E, int O)
{
    // Per orientation and edge: walk to later siblings?, and the edge the
    // neighbour gets (0: the edge has no neighbour).
    struct Rule {
        int Zone, O;
        bool Forward;
        int Gets;
    };
    static const Rule Rules[] = {
        {4, loLeft, false, 6},  {6, loLeft, true, 4},   {4, loRight, true, 6},
        {6, loRight, false, 4}, {2, loTop, false, 8},   {8, loTop, true, 2},
        {2, loBottom, true, 8}, {8, loBottom, false, 2},
    };
    const TLayoutTree& T = FSpace.Tree;
    for (const Rule& R : Rules) {
        if (R.Zone != E.Zone || R.O != O)
            continue;
        for (TNodeId N = E.Node;;) {
            N = R.Forward ? T.NextSibling(N) : T.PrevSibling(N);
            if (N == NoNode)
                return;
            if (T.HasOrientation(N, O)) {
                AddBorder(N, R.Gets);
                return;
            }
        }
    }
}

void TPanelBorderList::AddChildren(const TPanelBorder& E)
{
    const TLayoutTree& T = FSpace.Tree;
    const std::vector<TNodeId> Children = T.Children(E.Node);
    const TNodeId Node = E.Node;
    const int Zone = E.Zone;
    const int G = T.FirstSideOrientation(Node, Zone == 5 ? AllPlaced : SideDocked, loNone);
    if (G == loNone)
        return;
    if (Zone == 5) {
        for (const TNodeId C : Children)
            AddBorder(C, 5);
        return;
    }
    std::vector<TNodeId> Group;
    for (const TNodeId C : Children)
        if (T.HasOrientation(C, G))
            Group.push_back(C);
    if (Group.empty())
        return;
    const bool Row = G == loLeft || G == loRight;
    // The start end: the left end of a row, the top end of a column.
    const bool FirstStarts = G == loLeft || G == loTop;
    const TNodeId StartEnd = FirstStarts ? Group.front() : Group.back();
    const TNodeId FarEnd = FirstStarts ? Group.back() : Group.front();
    // Per zone: the end child and its zone, and the zone of every other
    // child (0: none); one row for row groups, one for column groups.
    struct Rule {
        bool AtStart;
        int EndZone, OtherZone;
    };
    static const Rule RowRules[10] = {
        {}, {true, 1, 2}, {true, 2, 2}, {false, 3, 2}, {true, 4, 0},
        {}, {false, 6, 0}, {true, 7, 8}, {true, 8, 8}, {false, 9, 8},
    };
    static const Rule ColRules[10] = {
        {}, {true, 1, 4}, {true, 2, 0}, {true, 3, 6}, {true, 4, 4},
        {}, {true, 6, 6}, {false, 7, 4}, {false, 8, 0}, {false, 9, 6},
    };
    if (Zone < 1 || Zone > 9)
        return;
    const Rule& R = (Row ? RowRules : ColRules)[Zone];
    const TNodeId End = R.AtStart ? StartEnd : FarEnd;
    for (const TNodeId C : Group) {
        if (C == End)
            AddBorder(C, R.EndZone);
        else if (R.OtherZone)
            AddBorder(C, R.OtherZone);
    }
}

void TPanelBorderList::CheckMove(const TLayoutRect& Bounds, int DX, int DY, bool& OkY,
                                 bool& OkX) const
{
    OkY = true;
    OkX = true;
    for (const auto& E : FItems) {
        if (!OkY && !OkX)
            return;
        E->CheckBorderMove(FSpace, Bounds, DX, DY, OkY, OkX);
    }
}

void TPanelBorderList::ApplyMove(const TLayoutRect& Bounds, int DX, int DY)
{
    for (const auto& E : FItems) {
        TLayoutRect R;
        if (E->Zone == 5 && FSpace.Panels.PanelBounds(E->Node, R)) {
            DX = ClampStep(DX, R.Left, R.Right, Bounds.Left, Bounds.Right);
            DY = ClampStep(DY, R.Top, R.Bottom, Bounds.Top, Bounds.Bottom);
        }
    }
    for (const auto& E : FItems)
        E->ApplyBorderMove(FSpace, Bounds, DX, DY);
}
