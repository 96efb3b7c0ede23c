#include "mainwindow/LayoutTree.h"

#include "LayoutTestSupport.h"
#include "RandomText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <pthread.h>
#include <random>

namespace {

// A layout with the given panel children (kind 3 when the text is quoted).
TNodeId AddLayout(TLayoutTree& T, std::initializer_list<const char*> Children, TNodeId Parent = NoNode)
{
    const TNodeId L = Parent ? Parent : T.AddNode(NoNode, "L", nkLayout);
    for (const char* C : Children)
        T.AddNode(L, C, C[0] == '"' ? nkApp : nkPanel);
    return L;
}

std::string ChildTexts(const TLayoutTree& T, TNodeId N)
{
    std::string S;
    for (const TNodeId C : T.Children(N))
        S += (S.empty() ? "" : " | ") + T.Text(C);
    return S;
}

} // namespace

TEST(LayoutTree, ParsePercentReadsSignsDigitsAndSaturates)
{
    const std::pair<const char*, int> Rows[] = {
        {"", 0}, {" 30%", 30}, {" -5%", -5}, {"3 0", 30}, {"%", 0}, {"--7", 7},
        {"12a34", 12}, {"99999999999%", INT_MAX}, {"-99999999999", INT_MIN},
        {"-2147483648", INT_MIN}, {"2147483648", INT_MAX}, {"- 2147483647", -INT_MAX},
    };
    for (const auto& [Text, Value] : Rows)
        EXPECT_EQ(ParsePercent(Text), Value) << Text;
}

TEST(LayoutTree, LayoutNamesWithTheSeparatorAreAskedAgain)
{
    struct Row {
        std::vector<const char*> Answers;  // nullptr: cancelled
        bool Result;
        const char* Name;
        int Refused;
        const char* Told = nullptr;  // the last refusal's message, when checked
    };
    const Row Rows[] = {
        {{"Work"}, true, "Work", 0},
        {{"A|B", "A B"}, true, "A B", 1},
        {{"|", "||", nullptr}, false, "<new layout>", 2},
        {{nullptr}, false, "<new layout>", 0},
        {{"Home|Work", "Home"}, true, "Home", 1,
         "\"Home|Work\" cannot be chosen for a layout: the layouts cannot store a name with '|'!"},
    };
    for (const Row& R : Rows) {
        std::string Name = NewLayoutName;
        std::size_t Asked = 0;
        std::vector<std::string> Told;
        const auto Ask = [&](std::string& Answer) {
            const char* A = R.Answers.at(Asked++);
            if (A)
                Answer = A;
            return A != nullptr;
        };
        EXPECT_EQ(AskLayoutName(Name, Ask, [&](const std::string& M) { Told.push_back(M); }), R.Result);
        EXPECT_EQ(Name, R.Name);
        EXPECT_EQ(Told.size(), static_cast<std::size_t>(R.Refused));
        if (R.Told) {
            EXPECT_EQ(Told.empty() ? std::string() : Told.back(), R.Told);
        }
        EXPECT_EQ(Asked, R.Answers.size());
    }
}

TEST(LayoutTree, NodeTextFieldsReadAndWrite)
{
    struct Row {
        const char* Text;
        std::uint8_t Kind;
        int Orientation;  // default 9
        bool App;
        const char* AppName;
    };
    const Row Rows[] = {
        {"Panel;  top ", nkPanel, loTop, false, ""},
        {"Panel; Middle", nkPanel, 9, false, ""},
        {"Panel", nkPanel, loNone, false, ""},
        {"\"Brenmoral\"; CUSTOM; 5%; 5%; 75%; 50%", nkApp, loCustom, true, "Brenmoral"},
        {"\"; Left", nkApp, loLeft, true, "\""},
        {"\"\"; Right", nkApp, loRight, true, ""},
    };
    for (const Row& R : Rows) {
        TLayoutTree T;
        const TNodeId N = T.AddNode(T.AddNode(NoNode, "L", nkLayout), R.Text, R.Kind);
        EXPECT_EQ(T.NodeOrientation(N, 9), R.Orientation) << R.Text;
        std::string Name = "stale";
        EXPECT_EQ(T.NodeAppName(N, Name), R.App) << R.Text;
        EXPECT_EQ(Name, R.AppName) << R.Text;
    }
    // Writing: orientation into a text without field 2, then the kinds.
    TLayoutTree T;
    const TNodeId L = T.AddNode(NoNode, "L", nkLayout);
    const TNodeId P = T.AddNode(L, "Panel", nkPanel);
    T.SetNodeOrientation(P, loBottom);
    EXPECT_EQ(T.Text(P), "Panel; Bottom");
    EXPECT_TRUE(T.SetAppNode(P, "Tool"));
    EXPECT_EQ(T.Text(P), "\"Tool\"; Bottom");
    EXPECT_EQ(T.Kind(P), nkApp);
    EXPECT_TRUE(T.SetPanelNode(P));
    EXPECT_EQ(T.Text(P) + IntToStr(T.Kind(P)), "Panel; Bottom2");
    EXPECT_FALSE(T.SetAppNode(L, "Tool"));
    EXPECT_EQ(T.Text(L), "L");
    // Names the stored form would cut or split are refused with a beep.
    int Beeps = 0;
    T.OnBeep = [&] { ++Beeps; };
    for (const char* Bad : {"Tool|Author", "Tool; 2", ";", "|"}) {
        EXPECT_FALSE(T.SetAppNode(P, Bad)) << Bad;
        EXPECT_EQ(T.Text(P) + IntToStr(T.Kind(P)), "Panel; Bottom2") << Bad;
    }
    EXPECT_EQ(Beeps, 4);
    EXPECT_TRUE(T.SetAppNode(P, " \"Tool\" (x, y) "));
    EXPECT_EQ(Beeps, 4);
}

TEST(LayoutTree, AddChildAndNeighbourFollowGroupsAndLimits)
{
    struct Row {
        std::initializer_list<const char*> Siblings;  // children of a layout
        int Target;                                   // -1: the layout itself
        bool Neighbour;
        const char* Added;  // nullptr: refused with a beep
    };
    const Row Rows[] = {
        {{}, -1, false, "Panel; Top"},
        {{"Panel; Left"}, 0, false, "Panel; Top"},
        {{"Panel; Top"}, 0, false, "Panel; Left"},
        {{"Panel; Centered; 75%; 50%"}, 0, false, "Panel; Top"},
        {{"Panel; Custom"}, -1, false, "Panel; Top"},
        {{"Panel; Centered", "Panel; Right"}, -1, false, "Panel; Right"},
        {{"\"App\"; Left"}, 0, false, nullptr},
        {{"1; Left", "2; Left", "3; Left", "4; Left", "5; Left", "6; Left", "7; Left", "8; Left"},
         -1, false, nullptr},
        {{"Panel; Centered"}, 0, true, "Panel; Top"},
        {{"Panel; Centered", "\"A\"; Bottom"}, 1, true, "Panel; Bottom"},
        {{"1; Left", "2; Left", "3; Left", "4; Left", "5; Left", "6; Left", "7; Left", "8; Left"},
         0, true, nullptr},
    };
    for (const Row& R : Rows) {
        TLayoutTree T;
        int Beeps = 0;
        T.OnBeep = [&] { ++Beeps; };
        const TNodeId L = AddLayout(T, R.Siblings);
        const TNodeId Target = R.Target < 0 ? L : T.Children(L)[static_cast<std::size_t>(R.Target)];
        const TNodeId Added = R.Neighbour ? T.AddNeighbourPanel(Target) : T.AddChildPanel(Target);
        EXPECT_EQ(Beeps, R.Added ? 0 : 1) << DumpTree(T);
        EXPECT_EQ(T.Text(Added), R.Added ? R.Added : "") << DumpTree(T);
        if (R.Added) {
            EXPECT_EQ(T.Kind(Added), nkPanel);
        }
    }
    // Levels: a panel at level 3 takes no child but may get a neighbour; a
    // layout has no neighbours.
    TLayoutTree T;
    TNodeId N = T.NewLayout();
    for (int Level = 1; Level <= 3; ++Level)
        N = T.AddChildPanel(N);
    EXPECT_EQ(T.Level(N), 3);
    EXPECT_FALSE(T.CanAddChild(N));
    EXPECT_TRUE(T.CanAddNeighbour(N));
    EXPECT_FALSE(T.CanAddNeighbour(T.LayoutRootOf(N)));

    // No add makes more nodes than the stored form reads back.
    int Beeps = 0;
    T.OnBeep = [&] { ++Beeps; };
    const TNodeId Last = T.AddNode(NoNode, "L", nkLayout);
    while (T.Count() < MaxStoredNodes - 1)
        T.AddNode(NoNode, "L", nkLayout);
    const TNodeId Child = T.AddChildPanel(Last);
    ASSERT_NE(Child, NoNode);
    EXPECT_EQ(T.Count(), MaxStoredNodes);
    EXPECT_FALSE(T.CanAddChild(Last));
    EXPECT_FALSE(T.CanAddNeighbour(Child));
    EXPECT_EQ(T.AddChildPanel(Last), NoNode);
    EXPECT_EQ(T.AddNeighbourPanel(Child), NoNode);
    EXPECT_EQ(T.NewLayout(), NoNode);
    EXPECT_EQ(T.CreateLayoutNode("Named", nkLayout), NoNode);
    EXPECT_EQ(Beeps, 4);
    EXPECT_EQ(T.Count(), MaxStoredNodes);
}

TEST(LayoutTree, RotateTurnsTheSideDockedGroupOnly)
{
    struct Row {
        std::initializer_list<const char*> Children;
        int Target;
        bool Clockwise;
        const char* After;  // nullptr: refused with a beep
    };
    const Row Rows[] = {
        {{"a; Left", "b; Left", "c; Centered"}, 0, true, "a; Top | b; Top | c; Centered"},
        {{"a; Left", "b; Left", "c; Centered"}, 1, false, "a; Bottom | b; Bottom | c; Centered"},
        {{"a; Top", "b; Custom; 1%", "c; Top; 20%"}, 2, true, "a; Right | b; Custom; 1% | c; Right; 20%"},
        {{"a; Right"}, 0, true, "a; Bottom"},
        {{"a; Bottom"}, 0, false, "a; Right"},
        {{"a; Centered", "b; Left"}, 0, true, nullptr},
        {{"a"}, 0, true, nullptr},
    };
    for (const Row& R : Rows) {
        TLayoutTree T;
        int Beeps = 0;
        T.OnBeep = [&] { ++Beeps; };
        const TNodeId L = AddLayout(T, R.Children);
        const std::string Before = ChildTexts(T, L);
        T.RotateGroup(T.Children(L)[static_cast<std::size_t>(R.Target)], R.Clockwise);
        EXPECT_EQ(ChildTexts(T, L), R.After ? R.After : Before);
        EXPECT_EQ(Beeps, R.After ? 0 : 1) << Before;
    }
}

TEST(LayoutTree, MovingAndDeletingKeepOrderAndTheAppliedLayout)
{
    TLayoutTree T;
    const TNodeId L = AddLayout(T, {"a", "b", "c"});
    const std::vector<TNodeId> C = T.Children(L);
    struct Row {
        int Node;
        bool Up;
        bool Can;
        const char* After;
    };
    const Row Rows[] = {
        {0, true, false, "a | b | c"}, {2, false, false, "a | b | c"},
        {0, false, true, "b | a | c"}, {0, false, true, "b | c | a"},
        {2, true, true, "c | b | a"},
    };
    for (const Row& R : Rows) {
        const TNodeId N = C[static_cast<std::size_t>(R.Node)];
        EXPECT_EQ(R.Up ? T.CanMoveUp(N) : T.CanMoveDown(N), R.Can) << R.After;
        R.Up ? T.MoveUp(N) : T.MoveDown(N);
        EXPECT_EQ(ChildTexts(T, L), R.After);
    }
    // Moving under another parent; never into the node's own subtree.
    const TNodeId Sub = T.AddNode(C[0], "s", nkPanel);
    T.MoveNode(C[0], Sub, NoNode);
    T.MoveNode(Sub, C[2], C[2]);
    EXPECT_EQ(ChildTexts(T, L) + "/" + ChildTexts(T, C[2]), "c | b | a/s");
    T.MoveNode(Sub, L, C[1]);
    EXPECT_EQ(ChildTexts(T, L), "c | s | b | a");
    T.Delete(Sub);
    std::vector<TNodeId> Deleted;
    T.OnDeletion = [&](TNodeId N) { Deleted.push_back(N); };
    const TNodeId Deep = T.AddNode(C[1], "d", nkPanel);
    T.AppliedLayout = L;
    EXPECT_FALSE(T.CanDelete(L));
    EXPECT_FALSE(T.CanDelete(NoNode));
    T.Delete(C[1]);
    EXPECT_EQ(Deleted, (std::vector<TNodeId>{Deep, C[1]}));
    EXPECT_FALSE(T.Exists(Deep));
    T.Delete(L);
    EXPECT_EQ(T.AppliedLayout, NoNode);
    EXPECT_EQ(Deleted.size(), 5u);
    EXPECT_EQ(T.Count(), 0);
}

TEST(LayoutTree, QuestionsUseTheSingularBelowTwo)
{
    EXPECT_EQ(BoundAppsQuestion("The panel", 2, "the panel"),
              "The panel contains 2 bound applications. Do you want to close them?\rSelect \"No\" "
              "to unbind these from the panel but let them still running.");
    EXPECT_EQ(BoundAppsQuestion("The current layout", 1, "the layout"),
              "The current layout contains 1 bound application. Do you want to close it?\rSelect "
              "\"No\" to unbind it from the layout but let it still running.");
}

namespace {

// What a load told: "count" when the count was unreadable, the numbers of
// nodes read, missing, unreadable and orphaned, "above" when the count said
// more than are stored, "cap" past the cap.
std::string Told(const TLayoutsReadReport& R)
{
    return (R.CountUnreadable ? "count " : "") + IntToStr(R.Read) + "/" + IntToStr(R.Missing) + "/" +
           IntToStr(R.Unreadable) + "/" + IntToStr(R.Orphans) + (R.CountAboveStored ? " above" : "") +
           (R.PastCap ? " cap" : "");
}

} // namespace

TEST(LayoutTree, StoredFormReadsLenientlyAndLeavesOutOnlyWhatItCannotPlace)
{
    struct Row {
        int Count;  // INT_MIN: no "LayoutsCount"
        std::vector<std::string> Values;  // "#": an integer value, "~": none
        const char* Tree;
        const char* Told;
    };
    const char* Old = "Old[0]";
    const std::string Nine = "Panel|p; Left|Base=0";
    const Row Rows[] = {
        {0, {"Layout|A|Base=Root"}, Old, "0/0/0/0"},
        {INT_MIN, {}, Old, "0/0/0/0"},
        // Without a readable count the stored nodes are read all the same.
        {INT_MIN, {"Layout|A|Base=Root", "Panel|p|Base=0"}, "A[0]{p[2]}", "count 2/0/0/0"},
        {-3, {"Layout|A|Base=Root"}, "A[0]", "count 1/0/0/0"},
        {4, {"Layout|A|Base=Root", "Panel|Panel; Left; 30%|Base=0", "App|\"X\"; Top|base=1",
             "Panel|p|Base=7"},
         "A[0]{Panel; Left; 30%[2]{\"X\"; Top[3]}} / p[2]", "4/0/0/0"},
        // A parent is the node of that stored index, whatever was left out
        // before it; a node under one left out goes with it.
        {5, {"Layout|A|Base=Root", "#7", "Layout|C|Base=Root", "Panel|c|Base=2", "Panel|d|Base=2"},
         "A[0] / C[0]{c[2],d[2]}", "4/0/1/0"},
        {5, {"Layout|A|Base=Root", "Panel|a|Base=0", "Window|w|Base=1", "Panel|x|Base=2",
             "Panel|b|Base=1"},
         "A[0]{a[2]{b[2]}}", "3/0/1/1"},
        {3, {"Layout|A|Root", "", "Layout|B|Base=0"}, "A[0]{B[0]}", "2/0/1/0"},
        {4, {"Layout|A|Base=Root", "~", "Panel|p|Base=1", "Panel|q|Base=0"}, "A[0]{q[2]}", "2/1/0/1"},
        // A count above the nodes stored counts no node that is not there.
        {5, {"Layout|A|Base=Root", "Panel|p|Base=0"}, "A[0]{p[2]}", "2/0/0/0 above"},
        {INT_MAX, {"Layout|A|Base=Root"}, "A[0]", "1/0/0/0 above"},
        {4, {"LAYOUT|A", "Panel|p|Base=0", "Layout|B|Base=-1", "App|q|Base=0"},
         "A[0]{p[2],q[3]} / B[0]", "4/0/0/0"},
        {3, {"Layout|A|Base=Root", "Panel|a|Base=1", "Panel|b|Base=1"}, "A[0] / a[2]{b[2]}", "3/0/0/0"},
        // What the designer's drops make: more than three levels, more than
        // eight panels in one place.
        {6, {"Layout|A|Base=Root", "Panel|1|Base=0", "Panel|2|Base=1", "Panel|3|Base=2",
             "Panel|4|Base=3", "Panel|5|Base=4"},
         "A[0]{1[2]{2[2]{3[2]{4[2]{5[2]}}}}}", "6/0/0/0"},
        {12, {"Layout|A|Base=Root", Nine, Nine, Nine, Nine, "Layout|L|Base=0", Nine, Nine, Nine, Nine,
              Nine, "Panel|x|Base=10"},
         "A[0]{p; Left[2],p; Left[2],p; Left[2],p; Left[2],L[0],p; Left[2],p; Left[2],p; Left[2],"
         "p; Left[2],p; Left[2]{x[2]}}",
         "12/0/0/0"},
    };
    for (const Row& R : Rows) {
        FakeRegistry Reg;
        if (R.Count != INT_MIN)
            Reg.Ints["LayoutsCount"] = R.Count;
        for (std::size_t I = 0; I < R.Values.size(); ++I) {
            const std::string Name = StoredNodeName(static_cast<int>(I));
            if (R.Values[I] == "#")
                Reg.Ints[Name] = 7;
            else if (R.Values[I] != "~")
                Reg.Strings[Name] = R.Values[I];
        }
        TLayoutTree T;
        T.AddNode(NoNode, "Old", nkLayout);
        const TLayoutsReadReport Report = T.LoadLayouts(Reg);
        EXPECT_EQ(DumpTree(T), R.Tree) << R.Count << " " << R.Values.size();
        EXPECT_EQ(Told(Report), R.Told) << R.Tree;
        EXPECT_EQ(LayoutsReadMessage(Report).empty(), Report.Whole()) << R.Tree;
        EXPECT_LE(Reg.StringReads, MaxStoredNodes);
        // Read a value a step, the same.
        TLayoutTree Parts;
        Parts.AddNode(NoNode, "Old", nkLayout);
        TLayoutsLoader Loader(Parts, Reg);
        while (!Loader.Step(1)) {
        }
        EXPECT_EQ(DumpTree(Parts), R.Tree);
        EXPECT_EQ(Told(Loader.Report()), R.Told) << R.Tree;
        // Stored back whole, as read.
        FakeRegistry Again;
        T.SaveLayouts(Again);
        TLayoutTree Back;
        EXPECT_TRUE(Back.LoadLayouts(Again).Whole()) << R.Tree;
        EXPECT_EQ(DumpTree(Back), DumpTree(T)) << R.Tree;
    }
    // Past the cap: told only when a value lies there.
    for (const int Count : {MaxStoredNodes + 1, INT_MAX}) {
        for (const int Stored : {MaxStoredNodes, MaxStoredNodes + 1}) {
            FakeRegistry Reg;
            Reg.Ints["LayoutsCount"] = Count;
            Reg.Strings[StoredNodeName(0)] = "Layout|A|Base=Root";
            for (int I = 1; I < Stored; ++I)
                Reg.Strings[StoredNodeName(I)] = "Panel|p|Base=0";
            TLayoutTree T;
            EXPECT_EQ(Told(T.LoadLayouts(Reg)),
                      IntToStr(MaxStoredNodes) + "/0/0/0" + (Stored > MaxStoredNodes ? " cap" : " above"))
                << Count << " " << Stored;
        }
    }
    // The written form, the applied mark not stored.
    TLayoutTree T;
    const TNodeId L = T.AddNode(NoNode, "A", nkAppliedLayout);
    T.AddNode(L, "Panel; Left; 30%", nkPanel);
    T.AddNode(NoNode, "B", nkLayout);
    // What a larger tree stored before is deleted past the new count.
    FakeRegistry Reg;
    for (int I = 0; I < 6; ++I)
        Reg.Strings[StoredNodeName(I)] = "Layout|Stale|Base=Root";
    Reg.Ints[StoredNodeName(6)] = 1;
    T.SaveLayouts(Reg);
    EXPECT_EQ(Reg.Ints, (std::map<std::string, int>{{"LayoutsCount", 3}}));
    EXPECT_EQ(Reg.Strings, (std::map<std::string, std::string>{
                               {"LayoutsNode0", "Layout|A|Base=Root"},
                               {"LayoutsNode1", "Panel|Panel; Left; 30%|Base=0"},
                               {"LayoutsNode2", "Layout|B|Base=Root"}}));
}

// Layout and application names as the user enters them, in trees within the
// designer's limits: what the name edit or SetAppNode accepts must come back
// unchanged.
TEST(LayoutTree, RandomTreesComeBackFromTheStoredForm)
{
    std::mt19937 Rng(11);
    int Refused = 0, Named = 0;
    for (int Round = 0; Round < 200; ++Round) {
        TLayoutTree T;
        std::map<TNodeId, std::string> Given;  // layout names and application names
        const int Nodes = 1 + static_cast<int>(Rng() % 60);
        for (int I = 0; I < Nodes; ++I) {
            const std::vector<TNodeId> All = T.AllNodes();
            TNodeId Parent = All.empty() || Rng() % 5 == 0 ? NoNode : All[Rng() % All.size()];
            if (T.Level(Parent) >= MaxPanelLevel || T.PanelChildCount(Parent) >= MaxPanelChildren)
                Parent = NoNode;
            const std::string Name = RandomPrintable(Rng, 12);
            if (!Parent) {
                if (std::all_of(Name.begin(), Name.end(), IsLayoutNameChar))
                    Given[T.AddNode(NoNode, Name, nkLayout)] = Name;
                continue;
            }
            const TNodeId P = T.AddNode(Parent, "Panel; Left; " + IntToStr(Rng() % 100) + "%", nkPanel);
            if (Rng() % 2 != 0)
                continue;
            if (T.SetAppNode(P, Name)) {
                Given[P] = Name;
                ++Named;
            } else {
                ++Refused;
            }
        }
        FakeRegistry Reg;
        T.SaveLayouts(Reg);
        TLayoutTree Back;
        ASSERT_TRUE(Back.LoadLayouts(Reg).Whole()) << Round;
        ASSERT_EQ(DumpTree(Back), DumpTree(T)) << Round;
        for (const TNodeId N : T.AllNodes()) {
            const TNodeId B = Back.NodeAt(T.AbsoluteIndex(N));
            std::string BackName;
            if (!Back.NodeAppName(B, BackName))
                BackName = Back.IsLayoutNode(B) ? Back.Text(B) : std::string();
            ASSERT_EQ(BackName, Given.count(N) ? Given[N] : std::string()) << Round;
        }
    }
    EXPECT_GT(Refused, 0);
    EXPECT_GT(Named, Refused);
}

namespace {

// Runs Body on a thread with a stack of Bytes (Windows gives 1 MB), so a
// walk that recursed per level would overflow it here too.
void RunOnStack(std::size_t Bytes, const std::function<void()>& Body)
{
    pthread_attr_t Attr;
    ASSERT_EQ(pthread_attr_init(&Attr), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&Attr, Bytes), 0);
    pthread_t Thread;
    auto Run = [](void* P) -> void* {
        (*static_cast<const std::function<void()>*>(P))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&Thread, &Attr, Run, const_cast<std::function<void()>*>(&Body)), 0);
    pthread_join(Thread, nullptr);
    pthread_attr_destroy(&Attr);
}

class NullLayoutCanvas : public ILayoutCanvas {
public:
    void Rectangle(const TLayoutRect&, bool) override {}
    void WrappedText(const TLayoutRect&, const std::string&) override {}
    void SelectionFrame(const TLayoutRect&) override {}
};

} // namespace

// Dragging in the designer can nest panels deeper than it adds them; such a
// chain is read back and stored back whole.
TEST(LayoutTree, ADeepChainIsPlacedStoredReadBackAndDeletedOnAOneMegabyteStack)
{
    int DeepestLevel = 0, DeepestBack = 0, CountAfterDelete = -1;
    std::size_t Placed = 0;
    TLayoutsReadReport Report;
    bool StoredBackWhole = false;
    RunOnStack(1 << 20, [&] {
        TLayoutTree T;
        TNodeId Last = T.AddNode(NoNode, "\"A\"; Left", nkApp);
        const TNodeId Root = Last;
        for (int I = 1; I < MaxStoredNodes; ++I)
            Last = T.AddNode(Last, "Panel; Left", nkPanel);
        DeepestLevel = T.Level(Last);
        Placed = ComputeLayout(T, Root, {0, 0, 800, 600}, lmPlace).size();
        NullLayoutCanvas Canvas;
        PaintLayoutPreview(T, Last, {0, 0, 800, 600}, Canvas);
        FakeRegistry Saved;
        T.SaveLayouts(Saved);
        TLayoutTree Read;
        Report = Read.LoadLayouts(Saved);
        DeepestBack = Read.Level(Read.NodeAt(MaxStoredNodes - 1));
        FakeRegistry Again;
        Read.SaveLayouts(Again);
        StoredBackWhole = Again.Strings == Saved.Strings && Again.Ints == Saved.Ints;
        T.Delete(Root);
        CountAfterDelete = T.Count();
    });
    EXPECT_EQ(DeepestLevel, MaxStoredNodes - 1);
    EXPECT_EQ(Placed, static_cast<std::size_t>(MaxStoredNodes));
    EXPECT_EQ(Told(Report), IntToStr(MaxStoredNodes) + "/0/0/0");
    EXPECT_EQ(DeepestBack, MaxStoredNodes - 1);
    EXPECT_TRUE(StoredBackWhole);
    EXPECT_EQ(CountAfterDelete, 0);
}
