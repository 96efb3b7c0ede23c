#include "mainwindow/LayoutTree.h"

#include "hosting/Velmora.h"

#include <algorithm>
#include <climits>
#include <cstdio>

const char* const OrientationNames[OrientationCount] = {
    "", "Left", "Top", "Right", "Bottom", "Centered", "Custom",
};

const char* const NewLayoutName = "<new layout>";

namespace {

const char* const KindNames[4] = {"Layout", "Layout", "Panel", "App"};

const std::vector<TNodeId> NoChildren;

} // namespace

int SaturateToInt(long long V)
{
    return static_cast<int>(std::clamp<long long>(V, INT_MIN, INT_MAX));
}

int ParsePercent(const std::string& Text)
{
    long long Value = 0;
    int Sign = 1;
    for (const char C : Text) {
        if (C == ' ')
            continue;
        if (C == '-') {
            Sign = -Sign;
            continue;
        }
        if (C < '0' || C > '9')
            break;
        Value = std::min<long long>(Value * 10 + (C - '0'), -static_cast<long long>(INT_MIN));
    }
    return SaturateToInt(Value * Sign);
}

bool IsLayoutNameChar(char C)
{
    return C != '|';
}

bool IsStorableAppName(const std::string& Name)
{
    return Name.find_first_of("|;") == std::string::npos;
}

namespace {

std::string UnstorableNameMessage(const std::string& Name, const char* What, const char* Chars)
{
    return "\"" + Name + "\" cannot be chosen for " + What + ": the layouts cannot store a name with " +
           Chars + "!";
}

} // namespace

std::string UnstorableAppNameMessage(const std::string& Name)
{
    return UnstorableNameMessage(Name, "a panel", "';' or '|'");
}

std::string UnstorableLayoutNameMessage(const std::string& Name)
{
    return UnstorableNameMessage(Name, "a layout", "'|'");
}

bool AskLayoutName(std::string& Name, const std::function<bool(std::string& Name)>& Ask,
                   const std::function<void(const std::string& Message)>& Refused)
{
    std::string Answer = Name;
    for (;;) {
        if (!Ask(Answer))
            return false;
        if (std::all_of(Answer.begin(), Answer.end(), IsLayoutNameChar))
            break;
        if (Refused)
            Refused(UnstorableLayoutNameMessage(Answer));
    }
    Name = Answer;
    return true;
}

std::string NodeField(const std::string& Text, int Index)
{
    return GetField(Text, Index, ';');
}

void SetNodeField(std::string& Text, int Index, const std::string& Value)
{
    if (Index < 1)
        return;
    if (Text.empty() && Index == 1) {
        Text = Value;
        return;
    }
    for (int N = std::max(FieldCount(Text, ';'), 1); N < Index; ++N)
        Text += ';';
    ReplaceField(Text, Index, ';', Value);
}

int TextOrientation(const std::string& Text, int Default)
{
    const std::string Name = Trim(NodeField(Text, 2));
    for (int O = 0; O < OrientationCount; ++O)
        if (SameText(Name, OrientationNames[O]))
            return O;
    return Default;
}

std::string StoredNodeName(int Index)
{
    return "LayoutsNode" + IntToStr(Index);
}

namespace {

std::string Counted(int N, const char* One, const char* Many)
{
    return IntToStr(N) + " " + (N == 1 ? One : Many);
}

} // namespace

std::string LayoutsReadMessage(const TLayoutsReadReport& Report)
{
    if (Report.Whole())
        return std::string();
    std::string S = "The stored layouts could not be read whole!\r" +
                    Counted(Report.Read, "node was", "nodes were") + " read.";
    if (Report.CountUnreadable)
        S += "\rTheir number could not be read: the nodes stored one after another were read.";
    if (Report.CountAboveStored)
        S += "\rTheir number is stored as " + IntToStr(Report.StoredCount) + ", but " +
             (Report.Stored == 0 ? std::string("no node is stored.")
                                 : Counted(Report.Stored, "node is", "nodes are") + " stored.");
    if (Report.Missing)
        S += "\r" + Counted(Report.Missing, "node is", "nodes are") + " missing between the stored ones.";
    if (Report.Unreadable)
        S += "\r" + Counted(Report.Unreadable, "stored node", "stored nodes") + " could not be read.";
    if (Report.Orphans)
        S += "\r" + Counted(Report.Orphans, "node", "nodes") + " under " +
             (Report.Missing + Report.Unreadable == 1 ? "it " : "them ") +
             (Report.Orphans == 1 ? "was" : "were") + " left out.";
    if (Report.PastCap)
        S += "\rNodes past the first " + IntToStr(MaxStoredNodes) + " were not read.";
    return S + "\rWhen the program closes, the layouts are stored as they were read.";
}

std::string KindStoredName(std::uint8_t Kind)
{
    return Kind < 4 ? KindNames[Kind] : std::string();
}

std::string BoundAppsQuestion(const std::string& Subject, int Count, const std::string& Object)
{
    static const char* const Templates[2] = {
        "%s contains %d bound application. Do you want to close it?\rSelect \"No\" to unbind it "
        "from %s but let it still running.",
        "%s contains %d bound applications. Do you want to close them?\rSelect \"No\" to unbind "
        "these from %s but let them still running.",
    };
    const char* T = Templates[Count < 2 ? 0 : 1];
    const int Size = std::snprintf(nullptr, 0, T, Subject.c_str(), Count, Object.c_str());
    std::string R(static_cast<std::size_t>(Size) + 1, '\0');
    std::snprintf(&R[0], R.size(), T, Subject.c_str(), Count, Object.c_str());
    R.resize(static_cast<std::size_t>(Size));
    return R;
}

// --- Access ---

const TLayoutNode* TLayoutTree::Find(TNodeId Id) const
{
    const auto It = FNodes.find(Id);
    return It == FNodes.end() ? nullptr : &It->second;
}

TLayoutNode* TLayoutTree::Find(TNodeId Id)
{
    const auto It = FNodes.find(Id);
    return It == FNodes.end() ? nullptr : &It->second;
}

std::uint8_t TLayoutTree::Kind(TNodeId Id) const
{
    const TLayoutNode* N = Find(Id);
    return N ? N->Kind : 0xFF;
}

std::string TLayoutTree::Text(TNodeId Id) const
{
    const TLayoutNode* N = Find(Id);
    return N ? N->Text : std::string();
}

void TLayoutTree::SetText(TNodeId Id, const std::string& Text)
{
    if (TLayoutNode* N = Find(Id))
        N->Text = Text;
}

TNodeId TLayoutTree::Parent(TNodeId Id) const
{
    const TLayoutNode* N = Find(Id);
    return N ? N->Parent : NoNode;
}

const std::vector<TNodeId>& TLayoutTree::Children(TNodeId Id) const
{
    const TLayoutNode* N = Find(Id);
    return N ? N->Children : NoChildren;
}

TAppPanel* TLayoutTree::Data(TNodeId Id) const
{
    const TLayoutNode* N = Find(Id);
    return N ? N->Data : nullptr;
}

void TLayoutTree::SetData(TNodeId Id, TAppPanel* Panel)
{
    if (TLayoutNode* N = Find(Id))
        N->Data = Panel;
}

int TLayoutTree::Level(TNodeId Id) const
{
    int L = -1;
    for (const TLayoutNode* N = Find(Id); N; N = Find(N->Parent))
        ++L;
    return L;
}

std::vector<TNodeId>& TLayoutTree::SiblingsOf(TNodeId Id)
{
    const TLayoutNode* N = Find(Id);
    TLayoutNode* P = N ? Find(N->Parent) : nullptr;
    return P ? P->Children : FRoots;
}

const std::vector<TNodeId>& TLayoutTree::SiblingsOf(TNodeId Id) const
{
    const TLayoutNode* N = Find(Id);
    const TLayoutNode* P = N ? Find(N->Parent) : nullptr;
    return P ? P->Children : FRoots;
}

TNodeId TLayoutTree::PrevSibling(TNodeId Id) const
{
    if (!Exists(Id))
        return NoNode;
    const std::vector<TNodeId>& S = SiblingsOf(Id);
    const auto It = std::find(S.begin(), S.end(), Id);
    return It == S.begin() || It == S.end() ? NoNode : *(It - 1);
}

TNodeId TLayoutTree::NextSibling(TNodeId Id) const
{
    if (!Exists(Id))
        return NoNode;
    const std::vector<TNodeId>& S = SiblingsOf(Id);
    const auto It = std::find(S.begin(), S.end(), Id);
    return It == S.end() || It + 1 == S.end() ? NoNode : *(It + 1);
}

std::vector<TNodeId> TLayoutTree::Subtree(TNodeId Id) const
{
    std::vector<TNodeId> Out;
    if (!Exists(Id))
        return Out;
    // An explicit stack: a loaded tree may be thousands of levels deep.
    std::vector<TNodeId> Stack{Id};
    while (!Stack.empty()) {
        const TNodeId N = Stack.back();
        Stack.pop_back();
        Out.push_back(N);
        const std::vector<TNodeId>& C = Children(N);
        Stack.insert(Stack.end(), C.rbegin(), C.rend());
    }
    return Out;
}

std::vector<TNodeId> TLayoutTree::AllNodes() const
{
    std::vector<TNodeId> Out;
    Out.reserve(FNodes.size());
    for (const TNodeId R : FRoots) {
        const std::vector<TNodeId> S = Subtree(R);
        Out.insert(Out.end(), S.begin(), S.end());
    }
    return Out;
}

int TLayoutTree::AbsoluteIndex(TNodeId Id) const
{
    const std::vector<TNodeId> All = AllNodes();
    const auto It = std::find(All.begin(), All.end(), Id);
    return It == All.end() ? -1 : static_cast<int>(It - All.begin());
}

TNodeId TLayoutTree::NodeAt(int AbsoluteIndex) const
{
    const std::vector<TNodeId> All = AllNodes();
    return AbsoluteIndex >= 0 && AbsoluteIndex < static_cast<int>(All.size())
               ? All[static_cast<std::size_t>(AbsoluteIndex)]
               : NoNode;
}

bool TLayoutTree::IsInSubtree(TNodeId Node, TNodeId Root) const
{
    for (const TLayoutNode* N = Find(Node); N; N = Find(N->Parent))
        if (N->Id == Root)
            return true;
    return false;
}

// --- Building ---

TNodeId TLayoutTree::AddNode(TNodeId Parent, const std::string& Text, std::uint8_t Kind)
{
    TLayoutNode* P = Find(Parent);
    TLayoutNode N;
    N.Id = FNextId++;
    N.Kind = Kind;
    N.Text = Text;
    N.Parent = P ? Parent : NoNode;
    (P ? P->Children : FRoots).push_back(N.Id);
    const TNodeId Id = N.Id;
    FNodes.emplace(Id, std::move(N));
    return Id;
}

void TLayoutTree::MoveNode(TNodeId Node, TNodeId Parent, TNodeId Before)
{
    TLayoutNode* N = Find(Node);
    if (!N || IsInSubtree(Parent, Node))
        return;
    TLayoutNode* P = Find(Parent);
    // Before itself among its own siblings it keeps its place; erasing it
    // first would lose the anchor and append it.
    if (Before == Node && N->Parent == (P ? Parent : NoNode))
        return;
    std::vector<TNodeId>& Old = SiblingsOf(Node);
    Old.erase(std::find(Old.begin(), Old.end(), Node));
    N->Parent = P ? Parent : NoNode;
    std::vector<TNodeId>& New = P ? P->Children : FRoots;
    New.insert(std::find(New.begin(), New.end(), Before), Node);
}

void TLayoutTree::Delete(TNodeId Id)
{
    if (!Exists(Id))
        return;
    const std::vector<TNodeId> Doomed = Subtree(Id);
    for (auto It = Doomed.rbegin(); It != Doomed.rend(); ++It)
        if (OnDeletion && Exists(*It))
            OnDeletion(*It);
    if (Exists(Id)) {
        std::vector<TNodeId>& S = SiblingsOf(Id);
        S.erase(std::find(S.begin(), S.end(), Id));
    }
    for (const TNodeId N : Doomed) {
        FNodes.erase(N);
        if (N == AppliedLayout)
            AppliedLayout = NoNode;
        if (N == Selected)
            Selected = NoNode;
    }
}

void TLayoutTree::Clear()
{
    while (!FRoots.empty())
        Delete(FRoots.front());
}

void TLayoutTree::SetKind(TNodeId Id, std::uint8_t Kind)
{
    if (TLayoutNode* N = Find(Id))
        N->Kind = Kind;
}

// --- Predicates ---

bool TLayoutTree::IsLayoutNode(TNodeId Id) const
{
    const std::uint8_t K = Kind(Id);
    return K == nkLayout || K == nkAppliedLayout;
}

bool TLayoutTree::IsPanelNode(TNodeId Id) const
{
    return Kind(Id) == nkPanel;
}

bool TLayoutTree::IsAppNode(TNodeId Id) const
{
    return Kind(Id) == nkApp;
}

bool TLayoutTree::IsPanelOrApp(TNodeId Id) const
{
    return IsPanelNode(Id) || IsAppNode(Id);
}

bool TLayoutTree::IsLayoutOrPanel(TNodeId Id) const
{
    return IsLayoutNode(Id) || IsPanelNode(Id);
}

bool TLayoutTree::HasOrientation(TNodeId Id, int O) const
{
    return IsPanelOrApp(Id) && NodeOrientation(Id, loNone) == O;
}

bool TLayoutTree::OrientationIn(TNodeId Id, TOrientationSet Set) const
{
    return IsPanelOrApp(Id) && InSet(Set, NodeOrientation(Id, loNone));
}

// --- Node text ---

int TLayoutTree::NodeOrientation(TNodeId Id, int Default) const
{
    const TLayoutNode* N = Find(Id);
    return N ? TextOrientation(N->Text, Default) : Default;
}

void TLayoutTree::SetNodeOrientation(TNodeId Id, int O)
{
    TLayoutNode* N = Find(Id);
    if (N && O >= 0 && O < OrientationCount)
        SetNodeField(N->Text, 2, std::string(" ") + OrientationNames[O]);
}

bool TLayoutTree::NodeAppName(TNodeId Id, std::string& Name) const
{
    Name.clear();
    if (!IsAppNode(Id))
        return false;
    Name = NodeField(Text(Id), 1);
    if (Name.size() >= 2 && Name.front() == '"' && Name.back() == '"')
        Name = Name.substr(1, Name.size() - 2);
    return true;
}

bool TLayoutTree::SetPanelNode(TNodeId Id)
{
    TLayoutNode* N = Find(Id);
    if (!N || !IsPanelOrApp(Id))
        return false;
    SetNodeField(N->Text, 1, "Panel");
    N->Kind = nkPanel;
    return true;
}

bool TLayoutTree::SetAppNode(TNodeId Id, const std::string& Name)
{
    TLayoutNode* N = Find(Id);
    if (!N || !IsPanelOrApp(Id))
        return false;
    if (!IsStorableAppName(Name)) {
        Beep();
        return false;
    }
    SetNodeField(N->Text, 1, "\"" + Name + "\"");
    N->Kind = nkApp;
    return true;
}

TNodeId TLayoutTree::LayoutRootOf(TNodeId Id) const
{
    const TLayoutNode* N = Find(Id);
    while (N && N->Parent != NoNode)
        N = Find(N->Parent);
    return N ? N->Id : NoNode;
}

int TLayoutTree::PanelChildCount(TNodeId Id) const
{
    int Count = 0;
    for (const TNodeId C : Children(Id))
        if (IsPanelOrApp(C))
            ++Count;
    return Count;
}

int TLayoutTree::FirstSideOrientation(TNodeId Id, TOrientationSet Set, int Default) const
{
    for (const TNodeId C : Children(Id))
        if (OrientationIn(C, Set))
            return NodeOrientation(C, loNone);
    return Default;
}

TNodeId TLayoutTree::FindNodeByPanel(const TAppPanel* Panel) const
{
    if (!Panel)
        return NoNode;
    for (const TNodeId N : AllNodes())
        if (Data(N) == Panel)
            return N;
    return NoNode;
}

// --- Structural operations ---

void TLayoutTree::Beep() const
{
    if (OnBeep)
        OnBeep();
}

void TLayoutTree::Changed(TNodeId Node) const
{
    if (OnChange)
        OnChange(LayoutRootOf(Node));
}

TNodeId TLayoutTree::CreateLayoutNode(const std::string& Name, std::uint8_t Kind)
{
    if (IsFull()) {
        Beep();
        return NoNode;
    }
    const TNodeId Id = AddNode(NoNode, Name, Kind);
    Selected = Id;
    Changed(Id);
    return Id;
}

TNodeId TLayoutTree::NewLayout()
{
    return CreateLayoutNode(NewLayoutName, nkLayout);
}

bool TLayoutTree::HasRoomForChild(TNodeId Id) const
{
    return PanelChildCount(Id) < MaxPanelChildren && Level(Id) < MaxPanelLevel && !IsFull();
}

bool TLayoutTree::CanAddChild(TNodeId Id) const
{
    return IsLayoutOrPanel(Id) && HasRoomForChild(Id);
}

TNodeId TLayoutTree::AddChildPanel(TNodeId Id)
{
    if (!CanAddChild(Id)) {
        Beep();
        return NoNode;
    }
    int O = FirstSideOrientation(Id, SideDocked, loNone);
    if (O == loNone) {
        const int Own = IsPanelOrApp(Id) ? NodeOrientation(Id, loNone) : loNone;
        O = Own == loTop || Own == loBottom ? loLeft : loTop;
    }
    const TNodeId Child = AddNode(Id, std::string("Panel; ") + OrientationNames[O], nkPanel);
    Find(Id)->Expanded = true;
    Changed(Id);
    return Child;
}

bool TLayoutTree::CanAddNeighbour(TNodeId Id) const
{
    return IsPanelOrApp(Id) && Parent(Id) != NoNode && HasRoomForChild(Parent(Id));
}

TNodeId TLayoutTree::AddNeighbourPanel(TNodeId Id)
{
    if (!CanAddNeighbour(Id)) {
        Beep();
        return NoNode;
    }
    const TNodeId P = Parent(Id);
    const int O = FirstSideOrientation(P, SideDocked, loTop);
    const TNodeId Child = AddNode(P, std::string("Panel; ") + OrientationNames[O], nkPanel);
    Changed(P);
    return Child;
}

bool TLayoutTree::CanRotate(TNodeId Id) const
{
    return InLayout(Id) && OrientationIn(Id, SideDocked);
}

void TLayoutTree::RotateGroup(TNodeId Id, bool Clockwise)
{
    if (!CanRotate(Id)) {
        Beep();
        return;
    }
    static const int Cw[5] = {loNone, loTop, loRight, loBottom, loLeft};
    static const int Acw[5] = {loNone, loBottom, loLeft, loTop, loRight};
    const TNodeId P = Parent(Id);
    // A panel loaded as a root is a group of its own.
    const std::vector<TNodeId> Group = P != NoNode ? Children(P) : std::vector<TNodeId>{Id};
    const int G = P != NoNode ? FirstSideOrientation(P, SideDocked, loNone)
                              : NodeOrientation(Id, loNone);
    const int New = (Clockwise ? Cw : Acw)[G];
    for (const TNodeId C : Group)
        if (OrientationIn(C, SideDocked))
            SetNodeOrientation(C, New);
    Changed(Id);
}

bool TLayoutTree::CanMoveUp(TNodeId Id) const
{
    return InLayout(Id) && PrevSibling(Id) != NoNode;
}

bool TLayoutTree::CanMoveDown(TNodeId Id) const
{
    return InLayout(Id) && NextSibling(Id) != NoNode;
}

void TLayoutTree::MoveUp(TNodeId Id)
{
    if (!CanMoveUp(Id))
        return;
    std::vector<TNodeId>& S = SiblingsOf(Id);
    const auto It = std::find(S.begin(), S.end(), Id);
    std::iter_swap(It, It - 1);
    Changed(Id);
}

void TLayoutTree::MoveDown(TNodeId Id)
{
    if (!CanMoveDown(Id))
        return;
    std::vector<TNodeId>& S = SiblingsOf(Id);
    const auto It = std::find(S.begin(), S.end(), Id);
    std::iter_swap(It, It + 1);
    Changed(Id);
}

bool TLayoutTree::CanDelete(TNodeId Id) const
{
    return Exists(Id) && Id != AppliedLayout;
}

// --- Stored form ---

void TLayoutTree::SaveLayouts(IRegistryValues& Registry) const
{
    const std::vector<TNodeId> All = AllNodes();
    std::unordered_map<TNodeId, int> Index;
    for (std::size_t I = 0; I < All.size(); ++I)
        Index[All[I]] = static_cast<int>(I);
    const int Count = static_cast<int>(All.size());
    Registry.WriteInteger("LayoutsCount", Count);
    for (int I = 0; I < Count; ++I) {
        const TLayoutNode& N = *Find(All[static_cast<std::size_t>(I)]);
        const std::string Base = N.Parent == NoNode ? "Root" : IntToStr(Index[N.Parent]);
        Registry.WriteString(StoredNodeName(I), KindStoredName(N.Kind) + "|" + N.Text + "|Base=" + Base);
    }
    // A larger tree stored before left its nodes behind; read with a
    // damaged count they would come back.
    for (int I = Count; Registry.DeleteValue(StoredNodeName(I)); ++I) {
    }
}

TLayoutsReadReport TLayoutTree::LoadLayouts(IRegistryValues& Registry)
{
    TLayoutsLoader Loader(*this, Registry);
    Loader.Step(MaxStoredNodes);
    return Loader.Report();
}

TLayoutsLoader::TLayoutsLoader(TLayoutTree& Tree, IRegistryValues& Registry)
    : FTree(Tree), FRegistry(Registry)
{
    int Count = Registry.ReadIntegerDef("LayoutsCount", -1);
    if (Count < 0) {
        // Without a count the nodes are there still: losing them here would
        // store the empty tree at exit.
        Count = 0;
        while (Count < MaxStoredNodes && Registry.ValueExists(StoredNodeName(Count)))
            ++Count;
        FReport.CountUnreadable = Count > 0;
    } else {
        FReport.StoredCount = Count;
        Count = std::min(Count, MaxStoredNodes);
    }
    if (Count <= 0)
        return;
    FCount = Count;
    FReport.PastCap = Count == MaxStoredNodes && Registry.ValueExists(StoredNodeName(Count));
    Tree.Clear();
    // A parent is the node of its stored index, so nothing after a gap
    // shifts.
    FIds.assign(static_cast<std::size_t>(Count), NoNode);
}

bool TLayoutsLoader::Step(int Values)
{
    for (; FNext < FCount && Values > 0; ++FNext, --Values) {
        const int I = FNext;
        const std::string S = FRegistry.ReadStringDef(StoredNodeName(I), "");
        if (S.empty() && !FRegistry.ValueExists(StoredNodeName(I))) {
            ++FAbsent;
            continue;
        }
        FReport.Missing += FAbsent;
        FAbsent = 0;
        ++FReport.Stored;
        const std::string KindName = GetField(S, 1, '|');
        int Kind = -1;
        for (int K = 0; K < 4 && Kind < 0 && !S.empty(); ++K)
            if (SameText(KindName, KindNames[K]))
                Kind = K;
        if (Kind < 0) {
            ++FReport.Unreadable;
            continue;
        }
        std::string Base = GetField(S, 3, '|');
        const std::size_t Eq = Base.find('=');
        if (Eq != std::string::npos && SameText(Base.substr(0, Eq), "Base"))
            Base = Base.substr(Eq + 1);
        // "Root", no number or a forward reference: a root.
        int ParentIndex = -1;
        if (!TryStrToInt(Base, ParentIndex) || ParentIndex >= I)
            ParentIndex = -1;
        const TNodeId Parent = ParentIndex >= 0 ? FIds[static_cast<std::size_t>(ParentIndex)] : NoNode;
        if (ParentIndex >= 0 && Parent == NoNode) {
            ++FReport.Orphans;
            continue;
        }
        FIds[static_cast<std::size_t>(I)] =
            FTree.AddNode(Parent, GetField(S, 2, '|'), static_cast<std::uint8_t>(Kind));
    }
    if (Done() && FCount > 0 && !FIds.empty())
        Finish();
    return Done();
}

void TLayoutsLoader::Finish()
{
    FIds.clear();
    FReport.Read = FReport.Stored - FReport.Unreadable - FReport.Orphans;
    FReport.CountAboveStored = FReport.StoredCount >= 0 &&
                               (FAbsent > 0 || (FReport.StoredCount > FCount && !FReport.PastCap));
}
