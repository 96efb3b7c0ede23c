// Trees whose nodes carry a box or an option: their state images and how
// clicks, double clicks and the space key change the states.
#pragma once

#include "toolkit/TreeView.h"

class ImageList;

// Images 0 (none) to 4 for the node states: box not ticked, ticked, option
// not chosen, chosen.
void AddStateImages(ImageList& List);
// Applies the toggle rule to Node among its siblings.
void ToggleTreeNode(TreeView& Tree, HTREEITEM Node);
// A click: counts only on a node's state image; toggles that (selected)
// node, then makes the children of a box agree with it.
void StateImageClick(TreeView& Tree);
