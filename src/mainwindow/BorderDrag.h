// The main window's side of border dragging: its host control's mouse
// events drive TPanelBorderList over the applied layout. While a drag runs
// the host control holds the mouse capture; a free (centred or custom)
// panel that a drag moved is stored afterwards, a plain click stores
// nothing. Portable: capture and cursors are behind IBorderDragWindow.
// All points are in the host control's client coordinates.
#pragma once

#include "mainwindow/LayoutBorders.h"

#include <functional>

class IBorderDragWindow {
public:
    virtual TLayoutRect HostClientRect() = 0;
    virtual void CaptureMouse() = 0;
    virtual void ReleaseMouse() = 0;
    virtual bool HasCapture() = 0;
    // Sets the cursor of the node's host panel (crDefault: the normal one).
    virtual void SetNodeCursor(TNodeId Node, int Cursor) = 0;

protected:
    ~IBorderDragWindow() = default;
};

class TBorderDragger {
public:
    TBorderDragger(const TLayoutTree& Tree, IPanelBounds& Panels, IBorderDragWindow& Window);
    TBorderDragger(const TBorderDragger&) = delete;
    TBorderDragger& operator=(const TBorderDragger&) = delete;

    TPanelBorderList Borders;
    bool Dragging = false;
    int DragX = 0, DragY = 0;
    // After a drag that moved something, for each free panel it moved
    // relative to its parent.
    std::function<void(TNodeId Node)> OnStorePosition;

    void MouseDown(bool LeftButton, int X, int Y);
    // A drag whose capture was taken away (its release went elsewhere)
    // ends here.
    void MouseMove(int X, int Y);
    void MouseUp();
    // Every panel below Node, through panels only, gets the normal cursor.
    void ResetPanelCursors(TNodeId Node);

private:
    void EndDrag();

    const TLayoutTree& FTree;
    IPanelBounds& FPanels;
    IBorderDragWindow& FWindow;
    bool FMoved = false;
};
