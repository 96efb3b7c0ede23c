#include "mainwindow/LayoutBorders.h"

#include "LayoutTestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {

// A layout placed in a host of 400 x 300; nodes are "parent index, text"
// (-1: the layout).
class Placed : public FakePanelBounds {
public:
    explicit Placed(const std::vector<std::pair<int, std::string>>& Nodes)
    {
        const TNodeId L = Tree.AddNode(NoNode, "L", nkLayout);
        for (const auto& [P, Text] : Nodes)
            Ids.push_back(Tree.AddNode(P < 0 ? L : Ids[static_cast<std::size_t>(P)], Text, nkPanel));
        Place(Tree, L, Host);
    }
    // "index:zone" of every entry, in list order.
    std::string Entries(const TPanelBorderList& L) const
    {
        std::string S;
        for (int I = 0; I < L.Count(); ++I) {
            const auto It = std::find(Ids.begin(), Ids.end(), L.Items(I)->Node);
            S += (I ? "," : "") + IntToStr(It - Ids.begin()) + ":" + IntToStr(L.Items(I)->Zone);
        }
        return S;
    }

    const TLayoutRect Host{0, 0, 400, 300};
    TLayoutTree Tree;
    std::vector<TNodeId> Ids;
};

} // namespace

TEST(LayoutBorders, ZonesOfAPointIncludeRightAndBottom)
{
    struct Row {
        int X, Y, Zone;  // 0: outside
    };
    const Row Rows[] = {
        {10, 10, 1}, {14, 10, 1}, {15, 10, 2}, {105, 35, 5}, {106, 35, 6}, {110, 60, 9},
        {108, 12, 3}, {12, 35, 4}, {12, 58, 7}, {60, 58, 8}, {111, 35, 0}, {60, 61, 0}, {9, 35, 0},
    };
    for (const Row& R : Rows) {
        int Zone = 0;
        EXPECT_EQ(BorderZoneAt(R.X, R.Y, {10, 10, 110, 60}, Zone), R.Zone != 0) << R.X << "," << R.Y;
        EXPECT_EQ(Zone, R.Zone) << R.X << "," << R.Y;
    }
}

TEST(LayoutBorders, DragStartsOnInnerEdgesAndCollectsWhatFollows)
{
    struct Row {
        const char* Case;
        std::vector<std::pair<int, std::string>> Nodes;
        int X, Y;
        int Cursor;            // of the border found
        const char* Entries;   // nullptr: the drag does not start
    };
    const std::vector<std::pair<int, std::string>> Pair = {{-1, "a; Left; 50%"}, {-1, "b; Left"}};
    const Row Rows[] = {
        {"between Left neighbours", Pair, 201, 150, crSizeWE, "1:4,0:6"},
        {"Right group", {{-1, "a; Right; 50%"}, {-1, "b; Right"}}, 198, 150, crSizeWE, "1:6,0:4"},
        {"Right children follow", {{-1, "p; Left; 50%"}, {-1, "q; Left"}, {0, "c; Right; 50%"}, {0, "d; Right"}},
         198, 150, crSizeWE, "2:6,0:6,1:4"},
        {"Left children follow", {{-1, "p; Left; 50%"}, {-1, "q; Left"}, {0, "c; Left; 50%"}, {0, "d; Left"}},
         198, 150, crSizeWE, "3:6,0:6,1:4"},
        {"outer edge of a docked panel", Pair, 2, 150, crSizeWE, nullptr},
        {"outer edge of a custom panel", {{-1, "c; Custom; 0%; 10%; 50%; 50%"}}, 2, 100, crSizeWE, "0:4"},
        {"docked corner", Pair, 198, 298, crDefault, nullptr},
        {"inside a centred panel", {{-1, "c; Centered; 50%; 50%"}, {0, "k; Top; 20%"}}, 200, 150, crSizeAll,
         "0:5,1:5"},
        {"corner of a centred ancestor", {{-1, "c; Centered; 50%; 50%"}, {0, "k; Left"}}, 102, 77,
         crSizeNWSE, "1:1,0:1"},
        {"between Top neighbours", {{-1, "a; Top; 50%"}, {-1, "b; Top"}}, 200, 151, crSizeNS, "1:2,0:8"},
        {"Bottom group", {{-1, "a; Bottom; 50%"}, {-1, "b; Bottom"}}, 200, 148, crSizeNS, "1:8,0:2"},
        {"nothing there", Pair, 500, 150, crDefault, nullptr},
    };
    for (const Row& R : Rows) {
        Placed P(R.Nodes);
        const TBorderSpace S{P.Tree, P};
        int Cursor = crDefault;
        if (const auto B = FindBorderAt(S, P.Layout, R.X, R.Y))
            B->GetBorderCursor(S, R.X, R.Y, Cursor);
        EXPECT_EQ(Cursor, R.Cursor) << R.Case;
        TPanelBorderList L(P.Tree, P);
        EXPECT_EQ(L.StartDrag(P.Layout, P.Host, R.X, R.Y), R.Entries != nullptr) << R.Case;
        if (R.Entries) {
            EXPECT_EQ(P.Entries(L), R.Entries) << R.Case;
        }
    }
}

TEST(LayoutBorders, StepsKeepThirtyPixelsAndTheHostArea)
{
    struct Row {
        const char* Case;
        std::vector<std::pair<int, std::string>> Nodes;
        int X, Y, DX, DY;
        bool OkY, OkX;
        const char* After;  // bounds of node 0 after the main window's step
    };
    const Row Rows[] = {
        {"narrowing the neighbour", {{-1, "a; Left; 50%"}, {-1, "b; Left"}}, 201, 150, -20, 0, true, true,
         "0,0,180,300"},
        {"below 30 refused", {{-1, "a; Left; 50%"}, {-1, "b; Left"}}, 201, 150, -175, 0, true, false,
         "0,0,200,300"},
        {"vertical part still applied", {{-1, "c; Custom; 10%; 10%; 50%; 50%"}}, 239, 179, -500, 10, true,
         false, "40,30,241,191"},
        {"past the host refused", {{-1, "c; Custom; 10%; 10%; 50%; 50%"}}, 239, 179, 300, 0, true, false,
         "40,30,241,181"},
        {"whole panel clamped", {{-1, "c; Centered; 50%; 50%"}}, 200, 150, 500, -500, true, true,
         "200,0,400,150"},
        {"partly outside follows the mouse back", {{-1, "c; Custom; -10%; 10%; 50%; 50%"}}, 60, 100, 5, 0,
         true, true, "-35,30,165,181"},
        {"partly outside goes no further out", {{-1, "c; Custom; -10%; 10%; 50%; 50%"}}, 60, 100, -5, 3,
         true, true, "-40,33,160,184"},
    };
    for (const Row& R : Rows) {
        Placed P(R.Nodes);
        TPanelBorderList L(P.Tree, P);
        ASSERT_TRUE(L.StartDrag(P.Layout, P.Host, R.X, R.Y)) << R.Case;
        bool OkY = false, OkX = false;
        L.CheckMove(P.Host, R.DX, R.DY, OkY, OkX);
        EXPECT_EQ(OkY, R.OkY) << R.Case;
        EXPECT_EQ(OkX, R.OkX) << R.Case;
        if (OkX || OkY)
            L.ApplyMove(P.Host, OkX ? R.DX : 0, OkY ? R.DY : 0);
        EXPECT_EQ(RectText(P.Bounds[P.Ids[0]]), R.After) << R.Case;
    }
}

TEST(LayoutBorders, RandomDragsKeepGuardedEdgesInsideAndThirtyWide)
{
    std::mt19937 Rng(14);
    int Drags = 0, Moves = 0;
    const char* const Orient[] = {"Left", "Top", "Right", "Bottom"};
    for (int Round = 0; Round < 300; ++Round) {
        // Up to three levels; each group one side, some free panels.
        std::vector<std::pair<int, std::string>> Nodes;
        std::vector<int> Levels;
        const int Count = 2 + static_cast<int>(Rng() % 14);
        for (int I = 0; I < Count; ++I) {
            int Parent = -1;
            if (I > 0 && Rng() % 2) {
                Parent = static_cast<int>(Rng() % static_cast<unsigned>(I));
                if (Levels[static_cast<std::size_t>(Parent)] >= 3)
                    Parent = -1;
            }
            Levels.push_back(Parent < 0 ? 1 : Levels[static_cast<std::size_t>(Parent)] + 1);
            const unsigned Kind = Rng() % 6;
            std::string Text = "p; ";
            if (Kind < 4)
                Text += std::string(Orient[(Parent + 1) % 4]) + (Rng() % 2 ? "; 5%" : "");
            else
                Text += Kind == 4 ? "Centered; 60%; 50%" : "Custom; 10%; 20%; 40%; 30%";
            Nodes.emplace_back(Parent, Text);
        }
        Placed P(Nodes);
        TPanelBorderList L(P.Tree, P);
        const int X = static_cast<int>(Rng() % 401), Y = static_cast<int>(Rng() % 301);
        if (!L.StartDrag(P.Layout, P.Host, X, Y))
            continue;
        ++Drags;
        for (int Step = 0; Step < 20; ++Step) {
            const int DX = static_cast<int>(Rng() % 81) - 40, DY = static_cast<int>(Rng() % 81) - 40;
            bool OkY, OkX;
            L.CheckMove(P.Host, DX, DY, OkY, OkX);
            const std::map<TNodeId, TLayoutRect> Before = P.Bounds;
            L.ApplyMove(P.Host, OkX ? DX : 0, OkY ? DY : 0);
            for (int I = 0; I < L.Count(); ++I) {
                const TNodeId N = L.Items(I)->Node;
                const bool Whole = L.Items(I)->Zone == 5;
                const TLayoutRect &A = Before.at(N), &B = P.Bounds.at(N);
                EXPECT_TRUE((A.Left == B.Left || B.Left >= 0) && (A.Right == B.Right || B.Right <= 400) &&
                            (A.Top == B.Top || B.Top >= 0) && (A.Bottom == B.Bottom || B.Bottom <= 300))
                    << Round << " step " << Step;
                const bool Sized = (A.Left != B.Left || A.Right != B.Right) && !Whole;
                const bool SizedV = (A.Top != B.Top || A.Bottom != B.Bottom) && !Whole;
                EXPECT_TRUE((!Sized || B.Right - B.Left >= MinPanelSize) &&
                            (!SizedV || B.Bottom - B.Top >= MinPanelSize))
                    << Round << " step " << Step;
                Moves += A != B;
            }
        }
    }
    // Enough drags started and moved panels for the property to mean something.
    EXPECT_GT(Drags, 50);
    EXPECT_GT(Moves, 500);
}

TEST(LayoutBorders, EdgesAndCornersOfAFreePanelReachItsGroupsEnds)
{
    // A custom panel (node 0) with three children of 20 % each: a row
    // docked Left (covering its left part) or a column docked Bottom
    // (covering its lower part). The point lies in the zone's column
    // (left, right part, right edge) and row (top, upper part, bottom),
    // on the free panel or on the child that shares that edge.
    struct Row {
        int Zone;
        const char *LeftRow, *BottomColumn;
    };
    const Row Rows[] = {
        {1, "1:1,0:1,2:2,3:2", "0:1,1:4,2:4,3:1"}, {2, "0:2,1:2,2:2,3:2", "0:2,3:2"},
        {3, "0:3,1:2,2:2,3:3", "0:3,1:6,2:6,3:3"}, {4, "1:4,0:4", "0:4,1:4,2:4,3:4"},
        {6, "0:6,3:6", "0:6,1:6,2:6,3:6"},         {7, "1:7,0:7,2:8,3:8", "1:7,0:7,2:4,3:4"},
        {8, "0:8,1:8,2:8,3:8", "1:8,0:8"},         {9, "0:9,1:8,2:8,3:9", "1:9,0:9,2:6,3:6"},
    };
    for (const Row& R : Rows) {
        for (const char* Side : {"Left", "Bottom"}) {
            const std::string Child = std::string("k; ") + Side + "; 20%";
            Placed P({{-1, "c; Custom; 10%; 10%; 80%; 80%"}, {0, Child}, {0, Child}, {0, Child}});
            const TLayoutRect C = P.Bounds[P.Ids[0]];
            const int Col = (R.Zone - 1) % 3, Line = (R.Zone - 1) / 3;
            const int X = Col == 0 ? C.Left + 2 : Col == 1 ? C.Right - 20 : C.Right - 2;
            const int Y = Line == 0 ? C.Top + 2 : Line == 1 ? C.Top + 20 : C.Bottom - 2;
            TPanelBorderList L(P.Tree, P);
            ASSERT_TRUE(L.StartDrag(P.Layout, P.Host, X, Y)) << Side << " zone " << R.Zone;
            EXPECT_EQ(P.Entries(L), *Side == 'L' ? R.LeftRow : R.BottomColumn)
                << Side << " zone " << R.Zone;
        }
    }
}
