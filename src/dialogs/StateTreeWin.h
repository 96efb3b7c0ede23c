// Trees whose nodes carry a box or an option: their state images and how
// clicks, double clicks and the space key change the states.
#pragma once

#include "toolkit/TreeView.h"

#include <string>

class Button;
class Form;
class ImageList;
class Label;
class Panel;
class TKivSystemImageList;

// Images 0 (none) to 4 for the node states: box not ticked, ticked, option
// not chosen, chosen.
void AddStateImages(ImageList& List);
// Applies the toggle rule to Node among its siblings.
void ToggleTreeNode(TreeView& Tree, HTREEITEM Node);
// A click: counts only on a node's state image; toggles that (selected)
// node, then makes the children of a box agree with it.
void StateImageClick(TreeView& Tree);

// The parts of a dialog around such a tree: a wrapped text on top, a bar
// with an OK-kind and a Cancel button at the bottom, and between them the
// tree (system icons, state images, never collapsing).
struct TStateTreeDialog {
    Label* Text;
    Panel* Bar;
    Button* Ok;
    Button* Cancel;
    TKivSystemImageList* SystemImages;
    ImageList* StateImages;
    TreeView* Tree;
};
TStateTreeDialog BuildStateTreeDialog(Form& Dialog, const std::string& Text, int TextHeight,
                                      const std::string& OkCaption);
