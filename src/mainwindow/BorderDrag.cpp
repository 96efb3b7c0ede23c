#include "mainwindow/BorderDrag.h"

TBorderDragger::TBorderDragger(const TLayoutTree& Tree, IPanelBounds& Panels,
                               IBorderDragWindow& Window)
    : Borders(Tree, Panels), FTree(Tree), FPanels(Panels), FWindow(Window)
{
}

void TBorderDragger::MouseDown(bool LeftButton, int X, int Y)
{
    if (!LeftButton || Dragging ||
        !Borders.StartDrag(FTree.AppliedLayout, FWindow.HostClientRect(), X, Y))
        return;
    Dragging = true;
    FMoved = false;
    DragX = X;
    DragY = Y;
    FWindow.CaptureMouse();
}

void TBorderDragger::MouseMove(int X, int Y)
{
    if (Dragging && !FWindow.HasCapture()) {
        EndDrag();
        return;
    }
    if (!Dragging) {
        const TBorderSpace S{FTree, FPanels};
        const auto B = FindBorderAt(S, FTree.AppliedLayout, X, Y);
        int Cursor;
        if (B && !IsOuterEdge(S, X, Y, FWindow.HostClientRect(), B->Zone, B->Node) &&
            B->GetBorderCursor(S, X, Y, Cursor))
            FWindow.SetNodeCursor(B->Node, Cursor);
        else
            ResetPanelCursors(FTree.AppliedLayout);
        return;
    }
    const int DX = X - DragX, DY = Y - DragY;
    bool OkY, OkX;
    const TLayoutRect Bounds = FWindow.HostClientRect();
    Borders.CheckMove(Bounds, DX, DY, OkY, OkX);
    if (!OkX && !OkY)
        return;
    Borders.ApplyMove(Bounds, OkX ? DX : 0, OkY ? DY : 0);
    if (OkX) {
        FMoved = FMoved || DX != 0;
        DragX = X;
    }
    if (OkY) {
        FMoved = FMoved || DY != 0;
        DragY = Y;
    }
}

void TBorderDragger::MouseUp()
{
    const bool Moved = Dragging && FMoved;
    EndDrag();
    if (!Moved || !OnStorePosition)
        return;
    // Children moved with a whole panel keep their place in it.
    std::vector<TNodeId> Store;
    for (int I = 0; I < Borders.Count(); ++I) {
        const TPanelBorder* E = Borders.Items(I);
        const int Parent = Borders.IndexOfNode(FTree.Parent(E->Node));
        if (FTree.OrientationIn(E->Node, 1u << loCentered | 1u << loCustom) &&
            (Parent < 0 || Borders.Items(Parent)->Zone != 5))
            Store.push_back(E->Node);
    }
    for (const TNodeId N : Store)
        if (FTree.Exists(N))
            OnStorePosition(N);
}

void TBorderDragger::EndDrag()
{
    if (Dragging && FWindow.HasCapture())
        FWindow.ReleaseMouse();
    Dragging = false;
    ResetPanelCursors(FTree.AppliedLayout);
}

void TBorderDragger::ResetPanelCursors(TNodeId Node)
{
    for (const TNodeId C : FTree.Children(Node))
        if (FTree.Data(C)) {
            FWindow.SetNodeCursor(C, crDefault);
            ResetPanelCursors(C);
        }
}
