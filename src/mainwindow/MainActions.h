// The main window's fifteen actions as data (captions, hints, help contexts,
// images) and the rules by which the idle pass enables them and picks the
// move images for the panel under the mouse. Portable.
#pragma once

#include <string>
#include <vector>

enum TMainAction : int {
    maLayouts, maApplications, maViewKnownApps, maEditKnownApps, maHelpContext, maUpdate,
    maAddFirst, maAddChild, maAddNeighbour, maDelete, maRotateAntiClockwise, maRotateClockwise,
    maMoveBackwards, maMoveForward, maReload,
    MainActionCount
};

struct TActionInfo {
    const char* Name;
    const char* Caption;
    const char* Hint;
    int HelpContext;
    int ImageIndex;
    int GroupIndex;
    bool Visible;
    bool ToolbarImages;  // false: the menu images, true: the panel toolbar's
};

extern const TActionInfo MainActions[MainActionCount];

extern const char* const AddPanelCaption;   // "Add panel"
extern const char* const AddLayoutCaption;  // "Add layout"

// How a panel's node sits in its parent.
enum class TDock { None, Left, Top, Right, Bottom, Centered, Custom };

// What the layout tree allows for the node of the panel under the mouse.
struct TNodeAbilities {
    TDock Dock = TDock::None;
    bool CanAddChild = false, CanAddNeighbour = false, CanDelete = false, CanRotate = false;
    bool CanMoveUp = false, CanMoveDown = false;
};

// The node actions' state as the idle pass leaves it.
struct TPanelActionState {
    bool AddChild = true, AddNeighbour = true, Delete = true;
    bool RotateAntiClockwise = true, RotateClockwise = true;
    bool MoveBackwards = true, MoveForward = true;
    int BackwardsImage = 14, ForwardImage = 15;
    bool ReloadVisible = false;
};

// Without a node (nullptr) the state is kept as it was.
void UpdatePanelActions(const TNodeAbilities* Node, TPanelActionState& State);

// The help context of the first visible button whose rectangle holds the
// point, edges included; false when the point is on no button.
struct TToolButtonSpot {
    int Left, Top, Right, Bottom;
    bool Visible;
    int HelpContext;
};
bool ToolButtonHelpContext(const std::vector<TToolButtonSpot>& Buttons, int X, int Y,
                           int& HelpContext);
