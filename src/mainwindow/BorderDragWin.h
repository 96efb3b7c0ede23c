// Border dragging on the main window's client panel: the panel holds the
// mouse capture during a drag, host panels show the sizing cursors. The
// main window forwards its client panel's mouse events and those of every
// host panel (which arrive in the host panel's own coordinates) here.
//
//   TBorderDragWin Drag(Layouts.Tree, *mainpanel);
//   Drag.Dragger.OnStorePosition = [&](TNodeId N) { Designer.StorePanelPosition(N, Drag.Bounds); };
// Moves need no button state: the idle pass fakes moves without one.
//   mainpanel->OnMouseDown = [&](Control&, TMouseButton B, TShiftState, int X, int Y) { Drag.HostMouseDown(B, X, Y); };
//   host panel's OnMouseDown = [&](Control& S, TMouseButton B, TShiftState, int X, int Y) { Drag.PanelMouseDown(S, B, X, Y); };
#pragma once

#include "mainwindow/BorderDrag.h"
#include "mainwindow/LayoutsWin.h"

#include "toolkit/Panel.h"

class TBorderDragWin : public IBorderDragWindow {
public:
    TBorderDragWin(const TLayoutTree& Tree, Control& Host);
    TBorderDragWin(const TBorderDragWin&) = delete;
    TBorderDragWin& operator=(const TBorderDragWin&) = delete;

    TPanelBoundsWin Bounds;
    TBorderDragger Dragger;

    void HostMouseDown(TMouseButton Button, int X, int Y);
    void HostMouseMove(int X, int Y);
    void HostMouseUp(TMouseButton Button, int X, int Y);
    // Sender is a host panel or its inner panel; X, Y in the host panel's
    // client coordinates.
    void PanelMouseDown(Control& Sender, TMouseButton Button, int X, int Y);
    void PanelMouseUp(Control& Sender, TMouseButton Button, int X, int Y);
    // The point in the host control's client coordinates; false when
    // Sender belongs to no host panel.
    bool ToHost(Control& Sender, int& X, int& Y) const;

    TLayoutRect HostClientRect() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    bool HasCapture() override;
    void SetNodeCursor(TNodeId Node, int Cursor) override;

private:
    const TLayoutTree& FTree;
    Control& FHost;
};
