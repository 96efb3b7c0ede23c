#include "dialogs/StateTreeWin.h"

#include "dialogs/OkCancelBar.h"

#include "dialogs/StateTree.h"
#include "shell/OvandrelWin.h"
#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/Panel.h"
#include "toolkit/StdControls.h"

namespace {

std::vector<int> States(const TreeView& Tree, const std::vector<HTREEITEM>& Items)
{
    std::vector<int> S;
    for (HTREEITEM I : Items)
        S.push_back(Tree.ItemState(I));
    return S;
}

void SetStates(TreeView& Tree, const std::vector<HTREEITEM>& Items, const std::vector<int>& S)
{
    for (std::size_t I = 0; I < Items.size(); ++I)
        if (Tree.ItemState(Items[I]) != S[I])
            Tree.SetItemState(Items[I], S[I]);
}

}  // namespace

void AddStateImages(ImageList& List)
{
    const COLORREF Mask = RGB(255, 0, 255);
    // Image 0 is empty; DFCS_BUTTONCHECK is 0 and cannot mark it.
    const UINT NoBox = ~0u;
    const UINT Kinds[] = {NoBox, DFCS_BUTTONCHECK, DFCS_BUTTONCHECK | DFCS_CHECKED, DFCS_BUTTONRADIO,
                          DFCS_BUTTONRADIO | DFCS_CHECKED};
    for (UINT Kind : Kinds)
        List.AddPainted(Mask, [Kind, NoBox](HDC Dc, const RECT& R) {
            if (Kind == NoBox)
                return;
            RECT Box = {R.left + 2, R.top + 2, R.left + 15, R.top + 15};
            ::DrawFrameControl(Dc, &Box, DFC_BUTTON, Kind | DFCS_FLAT);
        });
}

void ToggleTreeNode(TreeView& Tree, HTREEITEM Node)
{
    if (!Node)
        return;
    const std::vector<HTREEITEM> Siblings = Tree.Siblings(Node);
    std::vector<int> S = States(Tree, Siblings);
    for (std::size_t I = 0; I < Siblings.size(); ++I)
        if (Siblings[I] == Node)
            ToggleNodeState(S, I);
    SetStates(Tree, Siblings, S);
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
    HTREEITEM Node = Tree.Selected();
    ToggleTreeNode(Tree, Node);
    const std::vector<HTREEITEM> Children = Tree.Children(Node);
    const int State = Tree.ItemState(Node);
    if (Children.empty() || (State != nsUnticked && State != nsTicked))
        return;
    Tree.BeginUpdate();
    std::vector<int> S = States(Tree, Children);
    MatchChildrenToParent(State, S);
    SetStates(Tree, Children, S);
    Tree.EndUpdate();
}

TStateTreeDialog BuildStateTreeDialog(Form& Dialog, const std::string& Text, int TextHeight,
                                      const std::string& OkCaption)
{
    TStateTreeDialog D;
    LabelArgs L;
    L.Parent = &Dialog;
    L.Caption = Text;
    L.Height = TextHeight;
    L.Align = TAlign::Top;
    L.Alignment = TAlignment::Center;
    L.WordWrap = true;
    D.Text = new Label(&Dialog, L);

    const OkCancelBar Bar = AddOkCancelBar(&Dialog);
    D.Bar = Bar.Bar;
    D.Ok = Bar.Ok;
    D.Ok->SetText(OkCaption);
    D.Cancel = Bar.Cancel;

    D.SystemImages = new TKivSystemImageList(&Dialog);
    D.StateImages = new ImageList(&Dialog, ImageListArgs());
    AddStateImages(*D.StateImages);
    TreeViewArgs T;
    T.Parent = &Dialog;
    T.Align = TAlign::Client;
    T.Indent = 19;
    T.Images = D.SystemImages->Handle();
    T.StateImages = D.StateImages;
    D.Tree = new TreeView(&Dialog, T);
    D.Tree->OnCollapsing = [](TreeView&, HTREEITEM, bool& Allow) { Allow = false; };
    return D;
}
