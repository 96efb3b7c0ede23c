#include "mainwindow/Layouts.h"

#include "hosting/Identify.h"
#include "hosting/KnownApps.h"
#include "hosting/Modules.h"

#include "LayoutTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "FakeLayoutHost.h"

namespace {

TNodeId AddLayout(TLayouts& L, const char* Name, std::initializer_list<const char*> Children)
{
    const TNodeId N = L.Tree.AddNode(NoNode, Name, nkLayout);
    for (const char* C : Children)
        L.Tree.AddNode(N, C, C[0] == '"' ? nkApp : nkPanel);
    return N;
}

std::string Names(const FakeHost& H)
{
    std::string S;
    for (const auto& I : H.Items)
        S += I->Name + (I->Panel ? "" : "(free)") + (I->Kept ? "(kept)" : "");
    return S;
}

} // namespace

TEST(Layouts, SwitchingAskedAboutUnmatchedApplications)
{
    struct Row {
        std::uint8_t Answer, Remembered;
        bool Asked, Result;
        const char* Log;
        const char* Items;
    };
    const Row Rows[] = {
        {2, 0, true, true, "keep A|close B|open A a.exe|wait 500", "A"},
        {1, 0, true, true, "keep A|release B|open A a.exe|wait 500", "A"},
        {0, 0, true, false, "", "AB"},
        {0, 2, false, true, "keep A|close B|open A a.exe|wait 500", "A"},
    };
    for (const Row& R : Rows) {
        FakeHost H;
        TLayouts L(H);
        L.HasHost = true;
        const TNodeId Two = AddLayout(L, "AB", {"\"A\"; Left", "\"B\"; Left"});
        const TNodeId One = AddLayout(L, "A", {"\"A\"; Top"});
        ASSERT_TRUE(L.ApplyLayout(Two));
        H.Tick();
        H.Tick();
        EXPECT_EQ(H.Log, "open A a.exe|wait 500|open B b.exe|wait 500");
        EXPECT_EQ(L.Tree.Kind(Two), nkAppliedLayout);
        H.Log.clear();
        H.Answer = R.Answer;
        L.RememberedAnswer = R.Remembered;
        EXPECT_EQ(L.ApplyLayout(One), R.Result);
        EXPECT_EQ(H.Questions, R.Asked ? std::vector<std::string>{BoundAppsQuestion(
                                             "The current layout", 1, "the layout")}
                                       : std::vector<std::string>{});
        EXPECT_EQ(H.Log, R.Log);
        EXPECT_EQ(Names(H), R.Items);
        EXPECT_EQ(L.AppliedLayout(), R.Result ? One : Two);
        EXPECT_EQ(L.Tree.Kind(Two), R.Result ? nkLayout : nkAppliedLayout);
        EXPECT_EQ(H.CloseReleased, 0);
        EXPECT_EQ(H.Panels.size(), R.Result ? 1u : 2u);
    }
}

TEST(Layouts, SpacedStartsFollowWhatTheUserDidInBetween)
{
    // A layout of A, B and A again: A starts at once, the others each half a
    // second after the one before, from the host's timer. In between the
    // window goes on working, and the user acts.
    struct Row {
        const char* Between;
        std::function<void(TLayouts&, FakeHost&, const std::vector<TNodeId>&, TNodeId Other)> Act;
        const char* Log;  // after the first start, over three ticks
    };
    const Row Rows[] = {
        {"nothing", [](TLayouts&, FakeHost&, const std::vector<TNodeId>&, TNodeId) {},
         "open B b.exe|wait 500|open A a.exe|wait 500"},
        {"B's panel deleted",
         [](TLayouts& L, FakeHost&, const std::vector<TNodeId>& P, TNodeId) { L.DeleteNode(P[1]); },
         "open A a.exe|wait 500"},
        {"B's panel given another application",
         [](TLayouts& L, FakeHost&, const std::vector<TNodeId>& P, TNodeId) {
             L.Tree.SetAppNode(P[1], "Corvalimphena");
         },
         "open Corvalimphena c.exe /InQuorvan=yes|wait 500|open A a.exe|wait 500"},
        {"B's panel filled by hand",
         [](TLayouts& L, FakeHost& H, const std::vector<TNodeId>& P, TNodeId) {
             H.OpenApplication("B", "by hand", "", L.Tree.Data(P[1]));
             H.Log.clear();
         },
         "open A a.exe|wait 500"},
        {"the same layout applied again",
         [](TLayouts& L, FakeHost& H, const std::vector<TNodeId>& P, TNodeId) {
             L.ApplyLayout(L.Tree.Parent(P[0]));
             EXPECT_EQ(H.Log, "");
         },
         "open B b.exe|wait 500|open A a.exe|wait 500"},
        {"another layout applied",
         [](TLayouts& L, FakeHost& H, const std::vector<TNodeId>&, TNodeId Other) {
             H.Answer = 1;
             L.ApplyLayout(Other);
             H.Log.clear();
         },
         "open Mainprog m.exe|wait 500"},
        {"another layout's question cancelled",
         [](TLayouts& L, FakeHost& H, const std::vector<TNodeId>&, TNodeId Other) {
             // A tick while the question is open starts nothing.
             H.WhileAsking = [&H] { H.Tick(); };
             H.Answer = 0;
             L.ApplyLayout(Other);
             EXPECT_EQ(H.Log, "wait 100");
             H.Log.clear();
         },
         "open B b.exe|wait 500|open A a.exe|wait 500"},
        {"a close began",
         [](TLayouts& L, FakeHost&, const std::vector<TNodeId>&, TNodeId) { L.CancelStarts(); }, ""},
        {"a box opened",
         [](TLayouts&, FakeHost& H, const std::vector<TNodeId>&, TNodeId) {
             H.Allowed = false;
             H.Tick();
             H.Tick();
             EXPECT_EQ(H.Log, "wait 100|wait 100");
             H.Log.clear();
             H.Allowed = true;
         },
         "open B b.exe|wait 500|open A a.exe|wait 500"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Between);
        FakeHost H;
        TLayouts L(H);
        L.HasHost = true;
        const TNodeId N = AddLayout(L, "L", {"\"A\"; Left", "\"B\"; Left", "\"A\"; Left"});
        const TNodeId Other = AddLayout(L, "O", {"\"Mainprog\"; Left"});
        ASSERT_TRUE(L.ApplyLayout(N));
        EXPECT_EQ(H.Log, "open A a.exe|wait 500");
        EXPECT_EQ(L.PendingStarts(), 2);
        H.Log.clear();
        R.Act(L, H, L.Tree.Children(N), Other);
        for (int I = 0; I < 3; ++I)
            H.Tick();
        EXPECT_EQ(H.Log, R.Log);
        EXPECT_EQ(L.PendingStarts(), 0);
    }
}

TEST(Layouts, ApplyingStartsListedApplicationsAndReplacesOnRestore)
{
    FakeHost H;
    TLayouts L(H);
    L.HasHost = true;
    const TNodeId N = AddLayout(L, "L", {"\"Zed\"; Left", "\"Corvalimphena\"; Left", "Panel; Left"});
    EXPECT_TRUE(L.ApplyLayout(N));
    EXPECT_EQ(H.Log, "open Corvalimphena c.exe /InQuorvan=yes|wait 500");
    const std::vector<TNodeId> C = L.Tree.Children(N);
    EXPECT_EQ(L.Tree.Data(C[0])->Bounds, (TLayoutRect{0, 0, 100, 200}));
    EXPECT_EQ(L.Tree.Data(C[2])->Level, 1);
    // Restoring: no question, new places, only the still empty panel tried.
    H.Log.clear();
    H.Client = {0, 0, 599, 100};
    L.Tree.Data(C[1])->Bounds = {};
    EXPECT_TRUE(L.ApplyLayout(N));
    EXPECT_TRUE(H.Questions.empty());
    EXPECT_EQ(H.Log, "");
    EXPECT_EQ(L.Tree.Data(C[1])->Bounds, (TLayoutRect{200, 0, 400, 100}));
}

TEST(Layouts, DeletingBoundPanelsAsksWithThePluralAndHonoursTheAnswer)
{
    struct Row {
        std::uint8_t Answer;
        const char* Log;
        bool Gone;
    };
    const Row Rows[] = {{0, "", false}, {1, "release B|release A", true}, {2, "close B|close A", true}};
    for (const Row& R : Rows) {
        FakeHost H;
        TLayouts L(H);
        L.HasHost = true;
        const TNodeId N = AddLayout(L, "L", {"Panel; Left", "Panel; Left"});
        const TNodeId P = L.Tree.Children(N)[0];
        L.Tree.AddNode(P, "\"A\"; Top", nkApp);
        L.Tree.AddNode(P, "\"B\"; Top", nkApp);
        L.ApplyLayout(N);
        H.Tick();
        H.Log.clear();
        H.Answer = R.Answer;
        L.DeleteNode(N);  // the applied layout: refused silently
        EXPECT_TRUE(L.Tree.Exists(N));
        L.DeleteNode(P);
        EXPECT_EQ(H.Questions, std::vector<std::string>{BoundAppsQuestion("The panel", 2, "the panel")});
        EXPECT_EQ(H.Log, R.Log);
        EXPECT_EQ(L.Tree.Exists(P), !R.Gone);
        EXPECT_EQ(H.CloseReleased, 0);
        // The remaining panel takes the whole host once its neighbour is gone.
        const TAppPanel* Other = L.Tree.Data(L.Tree.Children(N).back());
        EXPECT_EQ(Other->Bounds.Left, R.Gone ? 0 : 150);
    }
}

TEST(Layouts, FurtherWindowPanelsStartWhenTheMainWindowIsBound)
{
    KnownApps.Clear();
    ASSERT_EQ(AddKnownApp(KnownApps, "C", "Mainprog", "", "", "bind", "m.exe", "", "", "", "", "",
                          "1"), ieOk);
    ASSERT_EQ(AddKnownApp(KnownApps, "C", "Mainprog Debugger", "", "", "bind", "m.exe", "", "", "",
                          "\"Debugger\"", "", "2"), ieOk);
    FakeHost H;
    TLayouts L(H);
    L.HasHost = true;
    const TNodeId N = AddLayout(L, "L", {"\"Mainprog\"; Left", "\"Mainprog Debugger\"; Left",
                                         "\"Other\"; Left"});
    L.ApplyLayout(N);
    EXPECT_EQ(H.Log, "open Mainprog m.exe|wait 500");
    H.Log.clear();
    TAppPanelRelationshipList List(H);
    ASSERT_TRUE(L.CollectNodesForNewApp(N, H.Items[0].get(), List));
    ASSERT_EQ(List.Count(), 1);
    EXPECT_EQ(List.Items(0)->Panel, L.Tree.Data(L.Tree.Children(N)[1]));
    EXPECT_EQ(List.Items(1), nullptr);
    // Half a second after the start of its main program.
    L.StartPanelApplications(List);
    EXPECT_EQ(H.Log, "");
    H.Tick();
    EXPECT_EQ(H.Log, "open Mainprog Debugger m.exe|wait 500");
    KnownApps.Clear();
}

TEST(Layouts, OddKindsFromTheStoredFormAreAppliedWithoutHarm)
{
    FakeRegistry Reg;
    Reg.Ints["LayoutsCount"] = 5;
    const char* const Values[] = {"App|\"A\"; Left|Base=Root", "Layout|L|Base=Root",
                                  "Panel|Panel; Top|Base=1", "Layout|Inner; Left|Base=2",
                                  "Panel|Panel; Left|Base=3"};
    for (int I = 0; I < 5; ++I)
        Reg.Strings["LayoutsNode" + IntToStr(I)] = Values[I];
    FakeHost H;
    TLayouts L(H);
    L.HasHost = true;
    L.Tree.LoadLayouts(Reg);
    const TNodeId AppRoot = L.Tree.NodeAt(0), Layout = L.Tree.NodeAt(1);
    EXPECT_TRUE(L.ApplyLayout(AppRoot));
    EXPECT_EQ(H.Log, "open A a.exe|wait 500");
    EXPECT_EQ(L.Tree.Data(AppRoot)->Bounds, H.Client);
    H.Answer = 2;
    EXPECT_TRUE(L.ApplyLayout(Layout));
    // Only the panel directly in the layout: the layout below it is skipped.
    EXPECT_EQ(H.Panels.size(), 1u);
    EXPECT_EQ(L.Tree.Kind(AppRoot), nkApp);
    L.DeleteNode(L.Tree.NodeAt(3));
    L.Tree.RotateGroup(L.Tree.NodeAt(2), true);
    EXPECT_EQ(DumpTree(L.Tree), "\"A\"; Left[3] / L[1]{Panel; Right[2]}");
}

TEST(Layouts, StoredLayoutsBeyondWhatIsShownAreShownInPartAndTold)
{
    enum TShape { Wide, Deep, AddedByTheDesigner };
    struct Row {
        const char* Name;
        TShape Shape;
        int Panels;  // AddedByTheDesigner: as many as it allows
        int Shown;   // -1: all
    };
    const Row Rows[] = {
        {"as wide as the cap", Wide, MaxStoredNodes - 1, MaxShownPanels},
        {"as deep as the cap", Deep, MaxStoredNodes - 1, MaxShownPanels},
        {"all the designer adds", Wide, 584, 584},
        {"one beyond", Wide, 585, 584},
        {"every panel Add child makes", AddedByTheDesigner, 0, -1},
    };
    for (const Row& Shape : Rows) {
        SCOPED_TRACE(Shape.Name);
        Row R = Shape;
        FakeRegistry Reg;
        {
            TLayoutTree Made;
            TNodeId Last = Made.AddNode(NoNode, "Big", nkLayout);
            const TNodeId Root = Last;
            if (R.Shape == AddedByTheDesigner) {
                for (int I = 0; I < Made.Count(); ++I)
                    while (Made.AddChildPanel(Made.NodeAt(I)) != NoNode)
                        ++R.Panels;
                ASSERT_TRUE(Made.SetAppNode(Made.NodeAt(R.Panels), "A"));
            }
            for (int I = 0; I < R.Panels && R.Shape != AddedByTheDesigner; ++I) {
                // The last panel names a listed application.
                const bool App = I == R.Panels - 1;
                const TNodeId N = Made.AddNode(R.Shape == Deep ? Last : Root,
                                               App ? "\"A\"; Top" : "Panel; Top", App ? nkApp : nkPanel);
                Last = N;
            }
            Made.SaveLayouts(Reg);
        }
        if (R.Shown < 0)
            R.Shown = R.Panels;
        FakeHost H;
        TLayouts L(H);
        L.HasHost = true;
        ASSERT_TRUE(L.Tree.LoadLayouts(Reg).Whole());
        const TNodeId Big = L.Tree.Roots().front();
        const int NotShown = R.Panels - R.Shown;
        const std::vector<std::string> Told =
            NotShown ? std::vector<std::string>{PanelsNotShownMessage("Big", NotShown)}
                     : std::vector<std::string>{};
        ASSERT_TRUE(L.ApplyLayout(Big));
        EXPECT_EQ(H.Panels.size(), static_cast<std::size_t>(R.Shown));
        EXPECT_EQ(H.Told, Told);
        // Only a shown panel's application is started.
        EXPECT_EQ(H.Log, NotShown ? "" : "open A a.exe|wait 500");
        EXPECT_NE(L.Tree.Data(L.Tree.NodeAt(R.Shown)), nullptr);
        EXPECT_EQ(L.Tree.Data(L.Tree.NodeAt(R.Shown + 1)), nullptr);
        // Placed again (the window resized): nothing more is told.
        L.Relayout(nullptr);
        EXPECT_EQ(H.Told, Told);
        // The stored form keeps every node.
        FakeRegistry Again;
        L.Tree.SaveLayouts(Again);
        EXPECT_EQ(Again.Strings, Reg.Strings);
        // The last panel moved to the front: one it pushes past what is
        // shown gives its host panel up.
        const TNodeId LastShown = L.Tree.NodeAt(R.Shown), Moved = L.Tree.NodeAt(R.Panels);
        L.Tree.MoveNode(Moved, Big, L.Tree.Children(Big).front());
        L.Relayout(nullptr);
        EXPECT_EQ(H.Panels.size(), static_cast<std::size_t>(R.Shown));
        EXPECT_NE(L.Tree.Data(Moved), nullptr);
        EXPECT_EQ(L.Tree.Data(LastShown) == nullptr, NotShown > 0);
    }
    EXPECT_EQ(PanelsNotShownMessage("Big", 3511),
              "3511 panels of the layout \"Big\" could not be shown: a layout shows its first 584 "
              "panels. The layout keeps them.");
}
