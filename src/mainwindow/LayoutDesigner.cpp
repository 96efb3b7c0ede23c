#include "mainwindow/LayoutDesigner.h"

#include "dialogs/applicationlist.h"
#include "hosting/KnownApps.h"

#include <algorithm>
#include <climits>

const char* const NoneAppItem = "<none>";
const char* const ApplyLayoutCaption = "Apply layout";
const char* const RestoreLayoutCaption = "Restore layout";

namespace {

constexpr std::uint8_t AnswerCancel = 0;
constexpr std::uint8_t AnswerYes = 2;

std::string Percent(int V)
{
    return " " + IntToStr(V) + "%";
}

bool FitsIn100(long long A, long long B)
{
    return A + B <= 100;
}

} // namespace

bool TDesignerAppList::ApplicationLocation(const std::string& Name, std::string& Path,
                                           bool Translate)
{
    return FList.ApplicationLocation(Name, Path, Translate);
}

StringList TDesignerAppList::BindApplications()
{
    StringList Names;
    FList.BindableApplications(KindBit(akBind), Names, false);
    return Names;
}

int TDesignerAppList::RowOfApplication(const std::string& Name)
{
    return FList.RowOfApplication(Name);
}

bool TDesignerAppList::AddApplication(const std::string& Path, const TIdentifyInfo& Info)
{
    return FList.AddApplication(Path, Info);
}

std::string CenteredNodeText(const std::string& Text, int W, int H)
{
    return NodeField(Text, 1) + "; " + OrientationNames[loCentered] + ";" + Percent(W) + ";" +
           Percent(H);
}

std::string CustomNodeText(const std::string& Text, int X, int Y, int W, int H)
{
    return NodeField(Text, 1) + "; " + OrientationNames[loCustom] + ";" + Percent(X) + ";" +
           Percent(Y) + ";" + Percent(W) + ";" + Percent(H);
}

TLayoutDesigner::TLayoutDesigner(TLayouts& Layouts) : Layouts(Layouts), Tree(Layouts.Tree) {}

void TLayoutDesigner::Select(TNodeId Node)
{
    Tree.Selected = Tree.Exists(Node) ? Node : NoNode;
    Layouts.SetRefreshFlags();
}

void TLayoutDesigner::FillAppCombo(const std::string& Name)
{
    AppItems = Apps ? Apps->BindApplications() : StringList();
    AppItems.insert(AppItems.begin(), NoneAppItem);
    AppIndex = Name.empty() ? -1 : AppItemIndex(Name);
    Layouts.RefreshEditor = true;
    // As if the user had chosen it: the selected panel gets it.
    if (!Name.empty())
        AppComboChange(AppIndex);
}

int TLayoutDesigner::AppItemIndex(const std::string& Name) const
{
    for (std::size_t I = 0; I < AppItems.size(); ++I)
        if (SameText(AppItems[I], Name))
            return static_cast<int>(I);
    return -1;
}

TEditorState TLayoutDesigner::UpdateEditor()
{
    TEditorState E;
    const TNodeId S = Tree.Selected;
    const int O = Tree.NodeOrientation(S, loNone);
    const bool Panel = Tree.IsPanelOrApp(S);
    E.PercentageEnabled = Panel && InSet(SideDocked, O);
    E.CenterEnabled = E.CustomEnabled = Panel;
    E.NewLayoutEnabled = std::none_of(Tree.Roots().begin(), Tree.Roots().end(), [&](TNodeId R) {
        return SameText(Tree.Text(R), NewLayoutName);
    });
    E.AddChildEnabled = Tree.IsLayoutOrPanel(S) && Tree.CanAddChild(S);
    E.AddNeighbourEnabled = Tree.CanAddNeighbour(S);
    E.DeleteEnabled = Tree.CanDelete(S);
    E.RotateEnabled = Tree.CanRotate(S);
    E.MoveUpEnabled = Tree.CanMoveUp(S);
    E.MoveDownEnabled = Tree.CanMoveDown(S);
    const bool Applied = Tree.AppliedLayout != NoNode && Tree.LayoutRootOf(S) == Tree.AppliedLayout;
    E.ApplyCaption = Applied ? RestoreLayoutCaption : ApplyLayoutCaption;
    E.NameEnabled = Tree.IsLayoutNode(S);
    if (E.NameEnabled && Tree.Text(S) != NewLayoutName)
        E.NameText = Tree.Text(S);

    if (Tree.IsPanelNode(S)) {
        E.App = TAppChoice::None;
        AppIndex = AppItems.empty() ? -1 : 0;
    } else if (Tree.NodeAppName(S, E.AppName)) {
        E.App = TAppChoice::Named;
        AppIndex = AppItemIndex(E.AppName);
    } else {
        AppIndex = -1;
    }
    E.AppIndex = AppIndex;

    if (!Panel)
        return E;
    const std::string Text = Tree.Text(S);
    auto Load = [&](TPercentEdit Edit, int Field) {
        E.PercentEnabled[Edit] = true;
        Positions[Edit] = ParsePercent(NodeField(Text, Field));
    };
    switch (O) {
    case loLeft:
    case loRight:
    case loTop:
    case loBottom: {
        const bool Has = FieldCount(Text, ';') >= 3;
        if (Has)
            Load(O == loLeft || O == loRight ? peWidth : peHeight, 3);
        E.PercentageChecked = Has;
        E.CenterChecked = 0;
        E.CustomChecked = 0;
        break;
    }
    case loCentered:
        Load(peWidth, 3);
        Load(peHeight, 4);
        E.PercentageChecked = 0;
        E.CenterChecked = 1;
        E.CustomChecked = 0;
        break;
    case loCustom:
        Load(peXPos, 3);
        Load(peYPos, 4);
        Load(peWidth, 5);
        Load(peHeight, 6);
        E.PercentageChecked = 0;
        E.CenterChecked = 0;
        E.CustomChecked = 1;
        break;
    default:
        break;
    }
    return E;
}

int TLayoutDesigner::SumOtherSidePercents(TNodeId Node) const
{
    long long Sum = 0;
    for (const TNodeId C : Tree.Children(Tree.Parent(Node)))
        if (C != Node && Tree.OrientationIn(C, SideDocked))
            Sum += ParsePercent(NodeField(Tree.Text(C), 3));
    return SaturateToInt(Sum);
}

bool TLayoutDesigner::UpDownChanging(TPercentEdit Edit, int NewValue) const
{
    if (Edit < 0 || Edit >= PercentEditCount || NewValue <= Positions[Edit])
        return true;
    const TNodeId S = Tree.Selected;
    const int O = Tree.NodeOrientation(S, loNone);
    switch (Edit) {
    case peWidth:
    case peHeight:
        if (O == loCustom)
            return FitsIn100(NewValue, Positions[Edit == peWidth ? peXPos : peYPos]);
        if (InSet(SideDocked, O))
            return FitsIn100(NewValue, SumOtherSidePercents(S));
        return true;
    case peXPos:
        return FitsIn100(NewValue, Positions[peWidth]);
    case peYPos:
        return FitsIn100(NewValue, Positions[peHeight]);
    default:
        return true;
    }
}

void TLayoutDesigner::UpDownClick(TPercentEdit Edit, int Position)
{
    if (Edit < 0 || Edit >= PercentEditCount)
        return;
    Positions[Edit] = Position;
    Layouts.RefreshPreview = true;
    const TNodeId S = Tree.Selected;
    if (!Tree.IsPanelOrApp(S))
        return;
    const int O = Tree.NodeOrientation(S, loNone);
    // The field each edit writes, by orientation (0: none).
    static const int Fields[PercentEditCount][OrientationCount] = {
        // none Left Top Right Bottom Centered Custom
        {0, 0, 0, 0, 0, 0, 3},  // x
        {0, 0, 0, 0, 0, 0, 4},  // y
        {0, 3, 0, 3, 0, 3, 5},  // width
        {0, 0, 3, 0, 3, 4, 6},  // height
    };
    const int Field = Fields[Edit][O];
    if (Field == 0)
        return;
    std::string Text = Tree.Text(S);
    SetNodeField(Text, Field, Percent(Position));
    Tree.SetText(S, Text);
    if (Layouts.InAppliedLayout(S))
        Layouts.Relayout(nullptr);
}

std::string TLayoutDesigner::LayoutNameChanged(const std::string& Text)
{
    const TNodeId S = Tree.Selected;
    if (!Tree.IsLayoutNode(S))
        return std::string();
    // A pasted name may still hold the stored form's separator.
    std::string Name;
    for (const char C : Text)
        if (IsLayoutNameChar(C))
            Name += C;
    Tree.SetText(S, Name.empty() ? NewLayoutName : Name);
    Layouts.RefreshEditor = true;
    return Name.size() == Text.size() ? std::string() : UnstorableLayoutNameMessage(Text);
}

void TLayoutDesigner::NodeTextChanged(TNodeId Node)
{
    if (Layouts.InAppliedLayout(Node))
        Layouts.Relayout(nullptr);
    Layouts.SetRefreshFlags();
}

void TLayoutDesigner::BackToSide(TNodeId Node)
{
    const int O = Tree.FirstSideOrientation(Tree.Parent(Node), SideDocked, loTop);
    Tree.SetText(Node, NodeField(Tree.Text(Node), 1) + "; " + OrientationNames[O]);
}

void TLayoutDesigner::TogglePercentage()
{
    const TNodeId S = Tree.Selected;
    if (!Tree.OrientationIn(S, SideDocked))
        return;
    const std::string Text = Tree.Text(S);
    if (FieldCount(Text, ';') < 3)
        Tree.SetText(S, Text + "; 0%");
    else
        Tree.SetText(S, NodeField(Text, 1) + "; " + NodeField(Text, 2));
    NodeTextChanged(S);
}

void TLayoutDesigner::ToggleCenter()
{
    const TNodeId S = Tree.Selected;
    if (!Tree.IsPanelOrApp(S))
        return;
    if (Tree.HasOrientation(S, loCentered))
        BackToSide(S);
    else
        Tree.SetText(S, CenteredNodeText(Tree.Text(S), 75, 50));
    NodeTextChanged(S);
}

void TLayoutDesigner::ToggleCustom()
{
    const TNodeId S = Tree.Selected;
    if (!Tree.IsPanelOrApp(S))
        return;
    if (Tree.HasOrientation(S, loCustom))
        BackToSide(S);
    else
        Tree.SetText(S, CustomNodeText(Tree.Text(S), 5, 5, 75, 50));
    NodeTextChanged(S);
}

bool TLayoutDesigner::ApplySelectedLayout()
{
    const TNodeId Root = Tree.LayoutRootOf(Tree.Selected);
    return Root != NoNode && Layouts.ApplyLayout(Root);
}

std::string TLayoutDesigner::AppComboChange(int Index)
{
    const TNodeId S = Tree.Selected;
    if (AppItems.empty() || Index < 0 || Index >= static_cast<int>(AppItems.size()) ||
        !Tree.IsPanelOrApp(S) || Index == Layouts.PreviousAppIndex)
        return std::string();
    // A name the stored layouts cannot keep is refused before anything goes.
    if (Index >= 1 && !IsStorableAppName(AppItems[static_cast<std::size_t>(Index)])) {
        Layouts.RefreshEditor = true;
        return UnstorableAppNameMessage(AppItems[static_cast<std::size_t>(Index)]);
    }
    AppIndex = Index;
    std::uint8_t Answer = AnswerYes;
    const int Bound = Layouts.CountBoundItems(S);
    if (Bound > 0)
        Answer = Layouts.Host.Confirm(BoundAppsQuestion("The panel", Bound, "the panel"),
                                      Layouts.RememberedAnswer);
    if (Answer == AnswerCancel) {
        // The combo goes back to the panel's unchanged application.
        Layouts.RefreshEditor = true;
        return std::string();
    }
    {
        TCloseReleasedGuard Guard(Layouts.Host, Answer == AnswerYes);
        const std::vector<TNodeId> Children = Tree.Children(S);
        for (const TNodeId C : Children)
            Tree.Delete(C);
        if (TAppPanel* Panel = Tree.Data(S)) {
            Tree.SetData(S, nullptr);
            Layouts.Host.FreePanel(Panel);
        }
        if (Layouts.InAppliedLayout(S))
            Layouts.Relayout(nullptr);
        if (Index >= 1) {
            const std::string Name = AppItems[static_cast<std::size_t>(Index)];
            Tree.SetAppNode(S, Name);
            std::string Path;
            TAppPanel* Panel = Tree.Data(S);
            if (!Panel || !Apps || !Apps->ApplicationLocation(Name, Path, true) ||
                !Layouts.Host.OpenApplication(Name, Path, std::string(), Panel))
                AppIndex = 0;
        } else {
            Tree.SetPanelNode(S);
        }
    }
    Layouts.SetRefreshFlags();
    return std::string();
}

std::string TLayoutDesigner::SearchApplication(const std::string& Exe)
{
    TIdentifyInfo Info;
    std::string Message;
    const TIdentifyResult R = CheckApplication(std::string(), Exe, Info, Message, false);
    if (R != irBind && R != irExternal)
        return Message;
    const Tknownapp* Known = KnownApps.GetKnownApp(Info.Index);
    // Refused before it is listed: the panel could not keep the name.
    if (R == irBind && Known && !IsStorableAppName(Known->Name))
        return UnstorableAppNameMessage(Known->Name);
    if (!Apps || !Apps->AddApplication(Exe, Info))
        return std::string();
    if (R == irExternal)
        return Message;
    if (Known && Apps->RowOfApplication(Known->Name) >= 1)
        FillAppCombo(Known->Name);
    return std::string();
}

bool TLayoutDesigner::UnlistedApp(TNodeId Node) const
{
    std::string Name;
    return Tree.NodeAppName(Node, Name) && (!Apps || Apps->RowOfApplication(Name) < 1);
}

TNodeId TLayoutDesigner::DropParent(TNodeId Target) const
{
    return Tree.IsAppNode(Target) ? Tree.Parent(Target) : Target;
}

bool TLayoutDesigner::CanDrop(TNodeId Dragged, TNodeId Target) const
{
    // Unlike adding, a drop knows no limits of level or panels.
    return Tree.Exists(Target) && Target != Dragged && Tree.IsPanelOrApp(Dragged) &&
           Tree.LayoutRootOf(Target) == Tree.LayoutRootOf(Dragged) &&
           !Tree.IsInSubtree(Target, Dragged);
}

bool TLayoutDesigner::Drop(TNodeId Dragged, TNodeId Target)
{
    if (!CanDrop(Dragged, Target))
        return false;
    if (Tree.IsAppNode(Target)) {
        const int O = Tree.NodeOrientation(Target, loNone);
        if (InSet(SideDocked, O))
            Tree.SetNodeOrientation(Dragged, O);
        const TNodeId Parent = DropParent(Target);
        TNodeId Before = Target;
        if (Tree.Parent(Dragged) == Parent) {
            const std::vector<TNodeId>& S = Tree.Children(Parent);
            if (std::find(S.begin(), S.end(), Dragged) < std::find(S.begin(), S.end(), Target))
                Before = Tree.NextSibling(Target);
        }
        Tree.MoveNode(Dragged, Parent, Before);
    } else {
        const int O = Tree.FirstSideOrientation(Target, SideDocked, loNone);
        if (InSet(SideDocked, O))
            Tree.SetNodeOrientation(Dragged, O);
        const std::vector<TNodeId>& C = Tree.Children(Target);
        Tree.MoveNode(Dragged, Target, C.empty() ? NoNode : C.front());
    }
    for (const TNodeId N : Tree.Subtree(Tree.LayoutRootOf(Target)))
        Tree.Find(N)->Expanded = true;
    NodeTextChanged(Dragged);
    return true;
}

bool TLayoutDesigner::StorePanelPosition(TNodeId Node, IPanelBounds& Bounds)
{
    if (!Tree.IsPanelOrApp(Node) || !Tree.OrientationIn(Node, 1u << loCentered | 1u << loCustom))
        return false;
    TLayoutRect B;
    if (!Bounds.PanelBounds(Node, B))
        return false;
    const TNodeId Parent = Tree.Parent(Node);
    TLayoutRect R;
    if (!Tree.IsPanelOrApp(Parent) || !Bounds.PanelBounds(Parent, R))
        R = Layouts.Host.HostClientRect();
    const long long DX = static_cast<long long>(R.Right) - R.Left;
    const long long DY = static_cast<long long>(R.Bottom) - R.Top;
    if (DX < 1 || DY < 1)
        return false;
    auto Scale = [](long long V, long long Origin, long long D) { return (V - Origin) * 100 / D; };
    const long long L = Scale(B.Left, R.Left, DX), T = Scale(B.Top, R.Top, DY);
    const long long Rt = Scale(B.Right, R.Left, DX), Bt = Scale(B.Bottom, R.Top, DY);
    Tree.SetText(Node, CustomNodeText(Tree.Text(Node), SaturateToInt(L), SaturateToInt(T), SaturateToInt(Rt - L),
                                                 SaturateToInt(Bt - T)));
    NodeTextChanged(Node);
    return true;
}
