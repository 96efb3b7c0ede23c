#include "dialogs/StateTreeWin.h"

#include "toolkit/ImageList.h"

void TreeViewStates::SetState(Node N, int State)
{
    if (FTree.ItemState(Item(N)) != State)
        FTree.SetItemState(Item(N), State);
}

std::vector<IStateTree::Node> TreeViewStates::Nodes(const std::vector<HTREEITEM>& Items)
{
    std::vector<Node> Result;
    for (HTREEITEM I : Items)
        Result.push_back(ToNode(I));
    return Result;
}

void AddStateImages(ImageList& List)
{
    const COLORREF Mask = RGB(255, 0, 255);
    const UINT Kinds[] = {0, DFCS_BUTTONCHECK, DFCS_BUTTONCHECK | DFCS_CHECKED, DFCS_BUTTONRADIO,
                          DFCS_BUTTONRADIO | DFCS_CHECKED};
    for (UINT Kind : Kinds)
        List.AddPainted(Mask, [Kind](HDC Dc, const RECT& R) {
            if (Kind == 0)
                return;
            RECT Box = {R.left + 2, R.top + 2, R.left + 15, R.top + 15};
            ::DrawFrameControl(Dc, &Box, DFC_BUTTON, Kind | DFCS_FLAT);
        });
}

void ToggleTreeNode(TreeView& Tree, HTREEITEM Node)
{
    TreeViewStates States(Tree);
    ToggleNodeState(States, TreeViewStates::ToNode(Node));
}

void StateImageClick(TreeView& Tree)
{
    UINT Flags = 0;
    HTREEITEM Hit = Tree.HitTest(Tree.MouseDownPos(), Flags);
    if (!Hit || !(Flags & TVHT_ONITEMSTATEICON))
        return;
    // The click selects the node it lands on.
    if (Tree.Selected() != Hit)
        Tree.Select(Hit);
    TreeViewStates States(Tree);
    Tree.BeginUpdate();
    ToggleNodeAndChildren(States, TreeViewStates::ToNode(Tree.Selected()));
    Tree.EndUpdate();
}
