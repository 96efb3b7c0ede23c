#include "mainwindow/MainActions.h"

const char* const AddPanelCaption = "Add panel";
const char* const AddLayoutCaption = "Add layout";

// The view action has the known-applications window's context: with 0 the
// help key on it would open nothing.
const TActionInfo MainActions[MainActionCount] = {
    {"LayoutsAction", "Layouts", "opens the layout designer", 10, 1, 0, true, false},
    {"ApplicationsAction", "Apps", "opens the applications list", 15, 2, 0, true, false},
    {"ViewKnownAppsAction", "View apps ...", "shows the list of known applications", 20, 4, 20, true, false},
    {"EditKnownAppsAction", "Edit apps ...", "edit the list of known applications", 25, 3, 0, true, false},
    {"HelpContextAction", "Help", "context help", 0, 5, 1, true, false},
    {"UpdateAction", "Update", "updates the list of known applications", 30, 6, 0, true, false},
    {"AddFirstAction", "Add panel", "adds a new panel or layout", 200, 11, 0, true, true},
    {"AddChildAction", "Add child panel", "adds a new child panel", 210, 12, 0, true, true},
    {"AddNeighbourAction", "Add neighbour panel", "adds a new neighbour panel", 220, 13, 0, true, true},
    {"DeleteAction", "Delete panel", "deletes the panel", 230, 4, 0, true, true},
    {"RotateAntiClockwiseAction", "Rotate anti-clockwise", "rotates panel group anti-clockwise", 240, 5, 0, true, true},
    {"RotateClockwiseAction", "Rotate clockwise", "rotates panel group clockwise", 250, 6, 0, true, true},
    {"MoveBackwardsAction", "Move panel backwards", "moves the panel backwards", 260, 14, 0, true, true},
    {"MoveForwardAction", "Move panel forward", "moves the panel forward", 270, 15, 0, true, true},
    {"ReloadAction", "Reload selected application", "reloads the selected application", 280, 18, 0, false, true},
};

void UpdatePanelActions(const TNodeAbilities* Node, TPanelActionState& State)
{
    if (!Node)
        return;
    State.AddChild = Node->CanAddChild;
    State.AddNeighbour = Node->CanAddNeighbour;
    State.Delete = Node->CanDelete;
    State.RotateClockwise = Node->CanRotate;
    State.RotateAntiClockwise = Node->CanRotate;
    State.ReloadVisible = true;
    // Backwards and forward point the way the node would go on screen.
    struct Images {
        int Backwards, Forward;
    };
    Images I = {14, 15};
    bool Side = true;
    switch (Node->Dock) {
    case TDock::Left: I = {16, 17}; break;
    case TDock::Top: I = {14, 15}; break;
    case TDock::Right: I = {17, 16}; break;
    case TDock::Bottom: I = {15, 14}; break;
    default: Side = false; break;
    }
    State.BackwardsImage = I.Backwards;
    State.ForwardImage = I.Forward;
    State.MoveBackwards = Side && Node->CanMoveUp;
    State.MoveForward = Side && Node->CanMoveDown;
}

bool ToolButtonHelpContext(const std::vector<TToolButtonSpot>& Buttons, int X, int Y,
                           int& HelpContext)
{
    for (const TToolButtonSpot& B : Buttons)
        if (B.Visible && X >= B.Left && X <= B.Right && Y >= B.Top && Y <= B.Bottom) {
            HelpContext = B.HelpContext;
            return true;
        }
    return false;
}
