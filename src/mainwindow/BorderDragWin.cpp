#include "mainwindow/BorderDragWin.h"

TBorderDragWin::TBorderDragWin(const TLayoutTree& Tree, Control& Host)
    : Bounds(Tree), Dragger(Tree, Bounds, *this), FTree(Tree), FHost(Host)
{
}

void TBorderDragWin::HostMouseDown(TMouseButton Button, int X, int Y)
{
    Dragger.MouseDown(Button == TMouseButton::Left, X, Y);
}

void TBorderDragWin::HostMouseMove(int X, int Y)
{
    Dragger.MouseMove(X, Y);
}

void TBorderDragWin::HostMouseUp(TMouseButton Button, int X, int Y)
{
    (void)X;
    (void)Y;
    if (Button == TMouseButton::Left)
        Dragger.MouseUp();
}

bool TBorderDragWin::ToHost(Control& Sender, int& X, int& Y) const
{
    const TAppPanel* P = AppPanelOf(&Sender);
    if (!P)
        return false;
    POINT Pt = {X, Y};
    ::MapWindowPoints(P->Handle(), FHost.Handle(), &Pt, 1);
    X = Pt.x;
    Y = Pt.y;
    return true;
}

void TBorderDragWin::PanelMouseDown(Control& Sender, TMouseButton Button, int X, int Y)
{
    if (ToHost(Sender, X, Y))
        HostMouseDown(Button, X, Y);
}

void TBorderDragWin::PanelMouseUp(Control& Sender, TMouseButton Button, int X, int Y)
{
    if (ToHost(Sender, X, Y))
        HostMouseUp(Button, X, Y);
}

TLayoutRect TBorderDragWin::HostClientRect()
{
    const RECT R = FHost.ClientRect();
    return {R.left, R.top, R.right, R.bottom};
}

void TBorderDragWin::CaptureMouse()
{
    ::SetCapture(FHost.Handle());
}

void TBorderDragWin::ReleaseMouse()
{
    if (::GetCapture() == FHost.Handle())
        ::ReleaseCapture();
}

bool TBorderDragWin::HasCapture()
{
    return ::GetCapture() == FHost.Handle();
}

void TBorderDragWin::SetNodeCursor(TNodeId Node, int Cursor)
{
    if (TAppPanel* P = FTree.Data(Node))
        P->SetPanelCursor(BorderCursorHandle(Cursor));
}
