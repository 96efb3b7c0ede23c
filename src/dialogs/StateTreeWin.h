// Trees whose nodes carry a box or an option: their state images, and the
// tick rule (ToggleNodeState, ToggleNodeAndChildren) applied to a TreeView.
#pragma once

#include "dialogs/SearchForFiles.h"
#include "toolkit/TreeView.h"

class ImageList;

// The tick rule's view of a TreeView's nodes and state images.
class TreeViewStates : public IStateTree {
public:
    explicit TreeViewStates(TreeView& Tree) : FTree(Tree) {}
    int State(Node N) override { return FTree.ItemState(Item(N)); }
    void SetState(Node N, int State) override;
    std::vector<Node> Siblings(Node N) override { return Nodes(FTree.Siblings(Item(N))); }
    std::vector<Node> Children(Node N) override { return Nodes(FTree.Children(Item(N))); }
    static Node ToNode(HTREEITEM I) { return reinterpret_cast<Node>(I); }

private:
    static HTREEITEM Item(Node N) { return reinterpret_cast<HTREEITEM>(N); }
    static std::vector<Node> Nodes(const std::vector<HTREEITEM>& Items);
    TreeView& FTree;
};

// Images 0 (none) to 4 for the node states: box not ticked, ticked, option
// not chosen, chosen.
void AddStateImages(ImageList& List);
// The tick rule for Node (the space key, a double click).
void ToggleTreeNode(TreeView& Tree, HTREEITEM Node);
// A click: counts only on a node's state image; toggles that (selected)
// node, and the children of a box follow it.
void StateImageClick(TreeView& Tree);
