// The layout tree: every layout the user designed, each a root whose
// descendants are panels. The designer's tree view shows this model; the
// stored form, the geometry and the applied layout's host panels work on it.
//
// Nodes are addressed by ids that stay valid until the node is deleted and
// are never reused, so callers hold ids (not node references) across work
// that may change the tree, such as starting an application.
//
// Node text: ';'-separated fields. A layout's text is its name. A panel's
// field 1 is "Panel" or the quoted application name, field 2 the
// orientation, fields 3 on the percentages (see LayoutGeometry.h).
//
// Portable: never includes <windows.h>. Data holds the node's host panel
// while its layout is applied; the type stays incomplete here.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

class TAppPanel;

using TNodeId = std::uint32_t;
constexpr TNodeId NoNode = 0;

// Node kinds (the tree view's image index).
enum : std::uint8_t {
    nkLayout = 0,
    nkAppliedLayout = 1,  // at most one
    nkPanel = 2,
    nkApp = 3,            // a panel that names an application
};

// Orientations (field 2).
enum : std::uint8_t {
    loNone = 0,
    loLeft = 1,
    loTop = 2,
    loRight = 3,
    loBottom = 4,
    loCentered = 5,
    loCustom = 6,
};
constexpr int OrientationCount = 7;
extern const char* const OrientationNames[OrientationCount];

// Sets of orientations as bit masks (bit o for orientation o).
using TOrientationSet = unsigned;
constexpr TOrientationSet SideDocked = 0x1Eu;  // Left, Top, Right, Bottom
constexpr TOrientationSet AllPlaced = 0x7Eu;   // the side-docked ones, Centered, Custom
constexpr bool InSet(TOrientationSet Set, int O) { return O >= 0 && O < 32 && (Set >> O) & 1u; }

extern const char* const NewLayoutName;  // "<new layout>"
// The designer adds panels only within these; a drop or the stored form
// may go beyond them.
constexpr int MaxPanelChildren = 8;
constexpr int MaxPanelLevel = 3;
// LoadLayouts reads at most this many values, whatever "LayoutsCount" says;
// the tree never grows beyond it.
constexpr int MaxStoredNodes = 4096;
// "LayoutsNode" followed by the stored index.
std::string StoredNodeName(int Index);

// V held to the int range.
int SaturateToInt(long long V);

// "value * 10 + digit" over blanks and '-' signs, up to the first other
// character; saturates at the 32-bit limits.
int ParsePercent(const std::string& Text);

// A layout name must not hold the stored form's separator.
bool IsLayoutNameChar(char C);
// An application panel's name must not hold that separator nor the node
// text's field separator ';'.
bool IsStorableAppName(const std::string& Name);
// Why a panel or a layout cannot take that name, for a message box.
std::string UnstorableAppNameMessage(const std::string& Name);
std::string UnstorableLayoutNameMessage(const std::string& Name);
// Asks for a layout name until it holds only such characters; Ask answers
// false when the user cancels, and Refused gets the message for each
// refused name.
bool AskLayoutName(std::string& Name, const std::function<bool(std::string& Name)>& Ask,
                   const std::function<void(const std::string& Message)>& Refused);

// Field access on a node text; setting a field past the end appends the
// missing fields.
std::string NodeField(const std::string& Text, int Index);
void SetNodeField(std::string& Text, int Index, const std::string& Value);
// Orientation of field 2 (trimmed, case ignored); Default when it names none.
int TextOrientation(const std::string& Text, int Default);

// The registry key's values, as the stored form reads and writes them.
class IRegistryValues {
public:
    virtual int ReadIntegerDef(const std::string& Name, int Default) = 0;
    virtual std::string ReadStringDef(const std::string& Name, const std::string& Default) = 0;
    virtual void WriteInteger(const std::string& Name, int Value) = 0;
    virtual void WriteString(const std::string& Name, const std::string& Value) = 0;
    // Whatever its type or size.
    virtual bool ValueExists(const std::string& Name) = 0;
    // False when there was no such value.
    virtual bool DeleteValue(const std::string& Name) = 0;

protected:
    ~IRegistryValues() = default;
};

// What LoadLayouts read and left out; Whole() when nothing was left out.
struct TLayoutsReadReport {
    // "LayoutsCount" missing, not an integer or negative while nodes are
    // stored: the values from "LayoutsNode0" up to the first missing one
    // were read.
    bool CountUnreadable = false;
    // What "LayoutsCount" said; -1 when unreadable.
    int StoredCount = -1;
    // Values there within the count (and the cap), read or not; nodes read.
    int Stored = 0;
    int Read = 0;
    // "LayoutsCount" said more than there are.
    bool CountAboveStored = false;
    // Values not there below the last one that is.
    int Missing = 0;
    // Values there but not strings, or without a kind.
    int Unreadable = 0;
    // Nodes under a missing or unreadable one, left out with it.
    int Orphans = 0;
    // Values past MaxStoredNodes, not read.
    bool PastCap = false;

    bool Whole() const
    {
        return !CountUnreadable && !CountAboveStored && !Missing && !Unreadable && !Orphans && !PastCap;
    }
};

// The start-up message telling what was left out; empty when read whole.
std::string LayoutsReadMessage(const TLayoutsReadReport& Report);

struct TLayoutNode {
    TNodeId Id = NoNode;
    std::uint8_t Kind = nkLayout;
    std::string Text;
    TNodeId Parent = NoNode;
    std::vector<TNodeId> Children;
    bool Expanded = false;
    TAppPanel* Data = nullptr;
};

class TLayoutTree {
public:
    TLayoutTree() = default;
    TLayoutTree(const TLayoutTree&) = delete;
    TLayoutTree& operator=(const TLayoutTree&) = delete;

    // Fired for every deleted node, children first (deepest first), while
    // the node still exists: the place to free its host panel.
    std::function<void(TNodeId Node)> OnDeletion;
    // A refused add or rotate.
    std::function<void()> OnBeep;
    // After a structural change, with the root of the changed layout.
    std::function<void(TNodeId Root)> OnChange;

    TNodeId Selected = NoNode;
    // The applied layout's root (kind 1 while applied), or NoNode.
    TNodeId AppliedLayout = NoNode;

    // --- Access ---
    bool Exists(TNodeId Id) const { return FNodes.count(Id) != 0; }
    // nullptr for NoNode or a deleted node.
    const TLayoutNode* Find(TNodeId Id) const;
    TLayoutNode* Find(TNodeId Id);
    const std::vector<TNodeId>& Roots() const { return FRoots; }
    int Count() const { return static_cast<int>(FNodes.size()); }
    std::uint8_t Kind(TNodeId Id) const;
    std::string Text(TNodeId Id) const;
    void SetText(TNodeId Id, const std::string& Text);
    TNodeId Parent(TNodeId Id) const;
    const std::vector<TNodeId>& Children(TNodeId Id) const;
    TAppPanel* Data(TNodeId Id) const;
    void SetData(TNodeId Id, TAppPanel* Panel);
    int Level(TNodeId Id) const;
    TNodeId PrevSibling(TNodeId Id) const;
    TNodeId NextSibling(TNodeId Id) const;
    // Depth-first order, each node before its children.
    std::vector<TNodeId> AllNodes() const;
    std::vector<TNodeId> Subtree(TNodeId Id) const;
    int AbsoluteIndex(TNodeId Id) const;  // -1 when absent
    TNodeId NodeAt(int AbsoluteIndex) const;
    bool IsInSubtree(TNodeId Node, TNodeId Root) const;

    // --- Building ---
    // Appends a child (Parent NoNode: a new root).
    TNodeId AddNode(TNodeId Parent, const std::string& Text, std::uint8_t Kind);
    // Moves Node (with its subtree) before Before among Parent's children;
    // Before NoNode appends. Parent NoNode means the roots.
    void MoveNode(TNodeId Node, TNodeId Parent, TNodeId Before);
    // Deletes the node and its subtree (OnDeletion for each).
    void Delete(TNodeId Id);
    void Clear();
    void SetKind(TNodeId Id, std::uint8_t Kind);

    // --- Predicates (NoNode gives false) ---
    bool IsLayoutNode(TNodeId Id) const;
    bool IsPanelNode(TNodeId Id) const;
    bool IsAppNode(TNodeId Id) const;
    bool IsPanelOrApp(TNodeId Id) const;
    bool IsLayoutOrPanel(TNodeId Id) const;
    bool HasOrientation(TNodeId Id, int O) const;
    bool OrientationIn(TNodeId Id, TOrientationSet Set) const;
    bool InLayout(TNodeId Id) const { return Exists(Id); }

    // --- Node text ---
    int NodeOrientation(TNodeId Id, int Default) const;
    void SetNodeOrientation(TNodeId Id, int O);
    bool NodeAppName(TNodeId Id, std::string& Name) const;
    bool SetPanelNode(TNodeId Id);
    // Refused (false, a beep) for a name that is not IsStorableAppName.
    bool SetAppNode(TNodeId Id, const std::string& Name);
    TNodeId LayoutRootOf(TNodeId Id) const;
    int PanelChildCount(TNodeId Id) const;
    int FirstSideOrientation(TNodeId Id, TOrientationSet Set, int Default) const;
    // First node in absolute-index order whose Data is Panel; NoNode for
    // nullptr.
    TNodeId FindNodeByPanel(const TAppPanel* Panel) const;

    // --- Structural operations ---
    // Each add is refused (NoNode, a beep) once the tree holds MaxStoredNodes.
    bool IsFull() const { return Count() >= MaxStoredNodes; }
    TNodeId CreateLayoutNode(const std::string& Name, std::uint8_t Kind);
    TNodeId NewLayout();
    bool CanAddChild(TNodeId Id) const;
    TNodeId AddChildPanel(TNodeId Id);  // NoNode (and a beep) when refused
    bool CanAddNeighbour(TNodeId Id) const;
    TNodeId AddNeighbourPanel(TNodeId Id);
    bool CanRotate(TNodeId Id) const;
    void RotateGroup(TNodeId Id, bool Clockwise);
    bool CanMoveUp(TNodeId Id) const;
    bool CanMoveDown(TNodeId Id) const;
    void MoveUp(TNodeId Id);
    void MoveDown(TNodeId Id);
    bool CanDelete(TNodeId Id) const;

    // --- Stored form ---
    // Also deletes the node values a larger tree left past the new count.
    void SaveLayouts(IRegistryValues& Registry) const;
    // Every stored node, whatever its level or the panels beside it; a
    // parent is the node of that stored index, and a node whose parent was
    // left out goes with it.
    TLayoutsReadReport LoadLayouts(IRegistryValues& Registry);

private:
    std::vector<TNodeId>& SiblingsOf(TNodeId Id);
    const std::vector<TNodeId>& SiblingsOf(TNodeId Id) const;
    bool HasRoomForChild(TNodeId Id) const;
    void Beep() const;
    void Changed(TNodeId Node) const;

    std::unordered_map<TNodeId, TLayoutNode> FNodes;
    std::vector<TNodeId> FRoots;
    TNodeId FNextId = 1;
};

// Reads the stored form a part at a time, as LoadLayouts reads it whole:
// the tree is cleared at the start when values are stored, and filled as
// they are read. Registry must stay open until done.
class TLayoutsLoader {
public:
    TLayoutsLoader(TLayoutTree& Tree, IRegistryValues& Registry);
    TLayoutsLoader(const TLayoutsLoader&) = delete;
    TLayoutsLoader& operator=(const TLayoutsLoader&) = delete;

    // Reads up to Values more stored values; true once all are read.
    bool Step(int Values);
    bool Done() const { return FNext >= FCount; }
    // Whole once done.
    const TLayoutsReadReport& Report() const { return FReport; }

private:
    void Finish();
    TLayoutTree& FTree;
    IRegistryValues& FRegistry;
    TLayoutsReadReport FReport;
    int FCount = 0;
    int FNext = 0;
    // By stored index: the node read, NoNode for one left out.
    std::vector<TNodeId> FIds;
    int FAbsent = 0;  // values not there since the last one that is
};

// The stored name of a kind ("Layout", "Panel", "App"; empty outside 0..3).
std::string KindStoredName(std::uint8_t Kind);

// The deletion and switching questions: one template below 2, one from 2.
std::string BoundAppsQuestion(const std::string& Subject, int Count, const std::string& Object);
