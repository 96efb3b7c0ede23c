#include "mainwindow/Layouts.h"

#include "hosting/Identify.h"
#include "hosting/Velmora.h"

#include <algorithm>

namespace {

// The question dialog's answers.
constexpr std::uint8_t AnswerCancel = 0;
constexpr std::uint8_t AnswerYes = 2;

} // namespace

// --- TAppPanelRelationshipList ---

TAppPanelRelationship* TAppPanelRelationshipList::Items(int Index) const
{
    return Index >= 0 && Index < Count() ? FItems[static_cast<std::size_t>(Index)].get() : nullptr;
}

void TAppPanelRelationshipList::Delete(int Index)
{
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

void TAppPanelRelationshipList::Clear()
{
    while (Count() > 0)
        Delete(0);
}

void TAppPanelRelationshipList::Add(TApplicationItem* Item, TAppPanel* Panel)
{
    FItems.push_back(std::make_unique<TAppPanelRelationship>(Item, Panel));
}

void TAppPanelRelationshipList::ClearKeepFlags()
{
    // Only matched entries were marked; an unmatched item may have been
    // deleted with its panel since, and must not be touched.
    for (const auto& E : FItems)
        if (E->Matched && E->Item)
            FFlags.SetItemKept(E->Item, false);
}

int TAppPanelRelationshipList::CountMatched() const
{
    int N = 0;
    for (const auto& E : FItems)
        if (E->Item && FFlags.ItemKept(E->Item))
            ++N;
    return N;
}

// --- TLayouts ---

TLayouts::TLayouts(ILayoutHost& Host) : Host(Host)
{
    Tree.OnDeletion = [this](TNodeId Node) { NodeDeleted(Node); };
    Tree.OnBeep = [this] { this->Host.Beep(); };
    Tree.OnChange = [this](TNodeId Root) {
        if (Root != NoNode && Root == Tree.AppliedLayout)
            Relayout(nullptr);
        SetRefreshFlags();
    };
}

TLayouts::~TLayouts()
{
    Host.ScheduleStart(-1, nullptr);
}

void TLayouts::SetRefreshFlags()
{
    RefreshEditor = true;
    RefreshPreview = true;
}

bool TLayouts::InAppliedLayout(TNodeId Node) const
{
    return Tree.AppliedLayout != NoNode && Tree.LayoutRootOf(Node) == Tree.AppliedLayout;
}

void TLayouts::FreePanelOf(TNodeId Node)
{
    TAppPanel* Panel = Tree.Data(Node);
    if (!Panel)
        return;
    Tree.SetData(Node, nullptr);
    Host.FreePanel(Panel);
}

void TLayouts::NodeDeleted(TNodeId Node)
{
    DropPending(Node);
    FreePanelOf(Node);
}

void TLayouts::DropPending(TNodeId Node)
{
    FPending.erase(std::remove_if(FPending.begin(), FPending.end(),
                                  [Node](const TPendingStart& S) { return S.Node == Node; }),
                   FPending.end());
}

// A start due meanwhile waits for the answer: it would start into a panel
// the answer may remove, and change the count the question tells.
std::uint8_t TLayouts::Confirm(const std::string& Text)
{
    const THeldScope Held(FHeld);
    return Host.Confirm(Text, RememberedAnswer);
}

TApplicationItem* TLayouts::ItemOfPanel(TAppPanel* Panel)
{
    return Panel ? Host.ItemOfPanel(Panel) : nullptr;
}

TApplicationItem* TLayouts::ItemOfNode(TNodeId Node)
{
    return ItemOfPanel(Tree.Data(Node));
}

std::string PanelsNotShownMessage(const std::string& Layout, int NotShown)
{
    return IntToStr(NotShown) + (NotShown == 1 ? " panel" : " panels") + " of the layout \"" + Layout +
           "\" could not be shown: a layout shows its first " + IntToStr(MaxShownPanels) +
           " panels. The layout keeps " + (NotShown == 1 ? "it." : "them.");
}

void TLayouts::Relayout(TAppPanelRelationshipList* StartList)
{
    FNotShown = 0;
    if (Tree.AppliedLayout == NoNode || !HasHost)
        return;
    class Placer : public ILayoutVisitor {
    public:
        Placer(TLayouts& L, TAppPanelRelationshipList* StartList) : L(L), StartList(StartList) {}
        void VisitNode(TNodeId Node, const TLayoutRect& R) override
        {
            if (!L.Tree.IsPanelOrApp(Node))
                return;
            if (Shown == MaxShownPanels) {
                ++L.FNotShown;
                L.FreePanelOf(Node);
                return;
            }
            ++Shown;
            TAppPanel* Panel = L.Tree.Data(Node);
            if (!Panel) {
                Panel = L.Host.CreatePanel(L.Tree.Level(Node));
                L.Tree.SetData(Node, Panel);
            }
            L.Host.PlacePanel(Panel, R);
            if (L.Tree.IsAppNode(Node) && StartList && !L.ItemOfPanel(Panel))
                StartList->Add(nullptr, Panel);
        }
        TLayouts& L;
        TAppPanelRelationshipList* StartList;
        int Shown = 0;
    } P(*this, StartList);
    Host.BeginPlacing();
    LayoutPanels(Tree, Tree.AppliedLayout, Host.HostClientRect(), lmPlace, P);
    Host.EndPlacing();
}

void TLayouts::SetAppliedLayout(TNodeId Node)
{
    SwitchLayout(Node, nullptr);
}

void TLayouts::SwitchLayout(TNodeId Node, TAppPanelRelationshipList* StartList)
{
    if (Node == Tree.AppliedLayout)
        return;
    const TNodeId Old = Tree.AppliedLayout;
    Host.BeginPlacing();
    for (const TNodeId N : Tree.Subtree(Old))
        FreePanelOf(N);
    if (Tree.Kind(Old) == nkAppliedLayout)
        Tree.SetKind(Old, nkLayout);
    Tree.AppliedLayout = Tree.Exists(Node) ? Node : NoNode;
    if (Tree.Kind(Node) == nkLayout)
        Tree.SetKind(Node, nkAppliedLayout);
    Relayout(StartList);
    Host.EndPlacing();
    SetRefreshFlags();
}

bool TLayouts::CollectBoundItems(TNodeId Node, TAppPanelRelationshipList& List)
{
    const int Before = List.Count();
    for (const TNodeId N : Tree.Subtree(Node))
        if (TApplicationItem* Item = ItemOfNode(N))
            List.Add(Item, Tree.Data(N));
    return List.Count() > Before;
}

bool TLayouts::MatchBoundApplications(TNodeId NewLayout, TAppPanelRelationshipList& List)
{
    bool Any = false;
    for (const TNodeId N : Tree.Subtree(NewLayout)) {
        if (!Tree.IsAppNode(N))
            continue;
        const std::string Name = NodeField(Tree.Text(N), 1);
        for (int I = 0; I < List.Count(); ++I) {
            TAppPanelRelationship* E = List.Items(I);
            if (E->Matched)
                continue;
            const TNodeId Old = Tree.FindNodeByPanel(E->Panel);
            if (Old == NoNode || !SameText(NodeField(Tree.Text(Old), 1), Name))
                continue;
            E->Matched = true;
            if (E->Item)
                Host.SetItemKept(E->Item, true);
            Any = true;
            break;
        }
    }
    return Any;
}

bool TLayouts::OpenPending(const TPendingStart& S)
{
    // Looked at now, not when queued: the user may have changed the layout
    // since (a panel given another application, or already filled).
    TAppPanel* Panel = Tree.Data(S.Node);
    std::string Name, Path;
    if (!Panel || !Tree.NodeAppName(S.Node, Name) || ItemOfPanel(Panel))
        return false;
    IApplicationLocations* Locations = Host.Locations();
    if (!Locations || !Locations->ApplicationLocation(Name, Path, S.Further))
        return false;
    const THeldScope Held(FHeld);
    Host.OpenApplication(Name, Path, S.Further ? std::string() : Host.ModuleStartParams(Name),
                         Panel);
    return true;
}

void TLayouts::StartNext()
{
    while (!FPending.empty() && !FSpacing) {
        if (FHeld > 0 || !Host.StartsAllowed()) {
            Host.ScheduleStart(StartRetryMs, [this] { StartDue(); });
            return;
        }
        const TPendingStart S = FPending.front();
        FPending.pop_front();
        // One the list does not know is skipped without the pause.
        if (!OpenPending(S))
            continue;
        FSpacing = true;
        Host.ScheduleStart(StartPauseMs, [this] { StartDue(); });
    }
}

void TLayouts::StartDue()
{
    FSpacing = false;
    StartNext();
}

void TLayouts::CancelStarts()
{
    FPending.clear();
}

static std::vector<TNodeId> NodesOf(const TLayoutTree& Tree, const TAppPanelRelationshipList& List)
{
    std::vector<TNodeId> Nodes;
    for (int I = 0; I < List.Count(); ++I)
        Nodes.push_back(Tree.FindNodeByPanel(List.Items(I)->Panel));
    return Nodes;
}

bool TLayouts::ApplyLayout(TNodeId Node)
{
    std::uint8_t Answer = AnswerYes;
    TAppPanelRelationshipList Old(Host);
    TAppPanelRelationshipList Start(Host);
    if (Node != Tree.AppliedLayout) {
        CollectBoundItems(Tree.AppliedLayout, Old);
        int Unmatched = 0;
        if (Old.Count() > 0) {
            MatchBoundApplications(Node, Old);
            Unmatched = Old.CountUnmatched();
        }
        if (Unmatched > 0)
            Answer = Confirm(BoundAppsQuestion("The current layout", Unmatched, "the layout"));
        if (Answer != AnswerCancel) {
            TCloseReleasedGuard Guard(Host, Answer == AnswerYes);
            // One placing both makes the panels and collects those to start.
            SwitchLayout(Node, &Start);
        }
    } else {
        Relayout(&Start);
    }
    if (Answer != AnswerCancel && FNotShown > 0)
        Host.Tell(PanelsNotShownMessage(Tree.Text(Node), FNotShown));
    if (Answer != AnswerCancel) {
        // The starts the previous apply left are this apply's to make (the
        // same layout collects its empty panels again) or gone with it.
        FPending.clear();
        for (const TNodeId N : NodesOf(Tree, Start))
            FPending.push_back({N, false});
        Host.StartsQueued();
        StartNext();
    }
    Old.ClearKeepFlags();
    return Answer != AnswerCancel;
}

int TLayouts::CountBoundItems(TNodeId Node)
{
    int N = 0;
    for (const TNodeId C : Tree.Subtree(Node))
        if (ItemOfNode(C))
            ++N;
    return N;
}

bool TLayouts::CollectNodesForNewApp(TNodeId Node, TApplicationItem* Item,
                                     TAppPanelRelationshipList& List)
{
    const int Known = Item ? Host.ItemKnownIndex(Item) : -1;
    if (Known < 0)
        return List.Count() > 0;
    for (const TNodeId N : Tree.Subtree(Node)) {
        TAppPanel* Panel = Tree.Data(N);
        std::string Name;
        if (!Panel || !Tree.NodeAppName(N, Name) || ItemOfPanel(Panel))
            continue;
        if (IsFurtherWindowOf(Name, Known))
            List.Add(nullptr, Panel);
    }
    return List.Count() > 0;
}

void TLayouts::StartPanelApplications(TAppPanelRelationshipList& List)
{
    // Ahead of the layout's own starts still to come: the blocking loop
    // made them from inside the start of their main application. They go
    // on while the window of the layout's apply takes input, not while a
    // box opened since is up.
    const std::vector<TNodeId> Nodes = NodesOf(Tree, List);
    for (auto It = Nodes.rbegin(); It != Nodes.rend(); ++It) {
        DropPending(*It);
        FPending.push_front({*It, true});
    }
    StartNext();
}

void TLayouts::DeleteNode(TNodeId Node)
{
    if (!Tree.CanDelete(Node))
        return;
    std::uint8_t Answer = AnswerYes;
    const int Bound = CountBoundItems(Node);
    if (Bound > 0) {
        Answer = Confirm(BoundAppsQuestion("The panel", Bound, "the panel"));
        if (Answer == AnswerCancel)
            return;
    }
    const bool WasApplied = InAppliedLayout(Node);
    {
        TCloseReleasedGuard Guard(Host, Answer == AnswerYes);
        Tree.Delete(Node);
    }
    if (WasApplied)
        Relayout(nullptr);
    SetRefreshFlags();
}
