#include "mainwindow/LayoutGeometry.h"

#include "LayoutTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>

namespace {

struct NodeSpec {
    int Parent;  // index into the row's nodes; -1 the layout
    const char* Text;
};

std::vector<TNodeId> Build(TLayoutTree& T, TNodeId Layout, const std::vector<NodeSpec>& Nodes)
{
    std::vector<TNodeId> Ids;
    for (const NodeSpec& N : Nodes) {
        const TNodeId P = N.Parent < 0 ? Layout : Ids[static_cast<std::size_t>(N.Parent)];
        const std::uint8_t Kind = N.Text[0] == '"' ? nkApp : N.Text[0] == 'L' ? nkLayout : nkPanel;
        Ids.push_back(T.AddNode(P, N.Text, Kind));
    }
    return Ids;
}

} // namespace

TEST(LayoutGeometry, SidePercentListSharesTheRestWithTiesToEven)
{
    struct Row {
        std::vector<NodeSpec> Children;
        int Count;
        const char* List;
    };
    const std::vector<NodeSpec> Ninths1 = {
        {-1, "a; Top; 1%"}, {-1, "b; Top"}, {-1, "c; Top"}, {-1, "d; Top"}, {-1, "e; Top"},
        {-1, "f; Top"}, {-1, "g; Top"}, {-1, "h; Top"}, {-1, "i; Top"}};
    std::vector<NodeSpec> Ninths3 = Ninths1;
    Ninths3[0].Text = "a; Top; 3%";
    const Row Rows[] = {
        {{{-1, "a; Left; 30%"}, {-1, "b; Left"}, {-1, "c; Left; 0%"}}, 3, "30| 35.00| 35.00"},
        {Ninths1, 9, "1| 12.38| 12.38| 12.38| 12.38| 12.38| 12.38| 12.38| 12.38"},
        {Ninths3, 9, "3| 12.12| 12.12| 12.12| 12.12| 12.12| 12.12| 12.12| 12.12"},
        {{{-1, "a; Left; 60%"}, {-1, "b; Left; 60%"}, {-1, "c; Left"}}, 3, "60|60|-20.00"},
        {{{-1, "a; Centered; 10%"}, {-1, "b"}, {-1, "\"X\"; Right; 99999999999%"}, {-1, "c; Right"}},
         2, "2147483647|-2147483547.00"},
        {{{-1, "a; Custom; 5%"}}, 0, ""},
    };
    for (const Row& R : Rows) {
        TLayoutTree T;
        const TNodeId L = T.AddNode(NoNode, "L", nkLayout);
        Build(T, L, R.Children);
        std::string List = "stale";
        EXPECT_EQ(SidePercentList(T, L, List), R.Count) << R.List;
        EXPECT_EQ(List, R.List);
    }
}

TEST(LayoutGeometry, PanelsArePlacedByTheirPercentages)
{
    struct Row {
        const char* Case;
        TLayoutRect Host;
        std::uint8_t Mode;
        std::vector<NodeSpec> Nodes;
        std::vector<const char*> Rects;  // per node; "-" when not placed
    };
    const Row Rows[] = {
        {"three Left shares in 301", {0, 0, 301, 100}, lmPlace,
         {{-1, "a; Left"}, {-1, "b; Left"}, {-1, "c; Left"}},
         {"0,0,101,100", "101,0,201,100", "201,0,302,100"}},
        {"30% and the rest in 200", {0, 0, 200, 50}, lmPlace, {{-1, "a; Left; 30%"}, {-1, "b; Left"}},
         {"0,0,60,50", "60,0,201,50"}},
        {"centred 75 x 50", {0, 0, 399, 299}, lmPlace, {{-1, "a; Centered; 75%; 50%"}},
         {"50,75,349,224"}},
        {"custom", {0, 0, 199, 99}, lmPlace, {{-1, "\"A\"; Custom; 5%; 5%; 75%; 50%"}},
         {"10,5,160,55"}},
        {"60 and 60 overflow", {0, 0, 100, 99}, lmPlace, {{-1, "a; Top; 60%"}, {-1, "b; Top; 60%"}},
         {"0,0,100,60", "0,60,100,120"}},
        {"right group mirrored", {0, 0, 399, 99}, lmPlace, {{-1, "a; Right; 25%"}, {-1, "b; Right"}},
         {"299,0,399,99", "-1,0,299,99"}},
        {"bottom mirrored", {0, 0, 99, 199}, lmPlace, {{-1, "a; Bottom; 50%"}}, {"0,99,99,199"}},
        {"ties to even", {1, 0, 5, 9}, lmPlace, {{-1, "a; Left; 50%"}, {-1, "b; Left"}},
         {"1,0,4,9", "4,0,6,9"}},
        {"nested", {0, 0, 199, 99}, lmPlace,
         {{-1, "a; Left; 50%"}, {0, "b; Top; 50%"}, {0, "\"C\"; Top"}, {-1, "d; Left"}},
         {"0,0,100,99", "0,0,100,50", "0,50,100,100", "100,0,200,99"}},
        {"unplaced and odd kinds skipped", {0, 0, 99, 99}, lmPlace,
         {{-1, "a"}, {0, "b; Left"}, {-1, "c; Left"}, {2, "Layout; Left"}, {2, "d; Sideways"}},
         {"-", "-", "0,0,100,99", "-", "-"}},
        // The Win32 test expects the same rectangles from its host panels.
        {"three panels at 600 x 260", {0, 0, 600, 260}, lmPlace,
         {{-1, "a; Left; 30%"}, {-1, "\"Plain Hostee\"; Left"}, {-1, "c; Centered; 50%; 40%"}},
         {"0,0,180,260", "180,0,601,260", "150,78,450,182"}},
        {"three panels at 401 x 199", {0, 0, 401, 199}, lmPlace,
         {{-1, "a; Left; 30%"}, {-1, "\"Plain Hostee\"; Left"}, {-1, "c; Centered; 50%; 40%"}},
         {"0,0,121,199", "121,0,402,199", "100,60,300,139"}},
        {"huge percentages saturate", {0, 0, 99, 99}, lmPlace,
         {{-1, "a; Left; 99999999999%"}, {-1, "b; Top; -99999999999%"}},
         {"0,0,2147483647,99", "0,2147483647,99,-1"}},
        {"drawing goes 5 inside", {0, 0, 109, 109}, lmDraw, {{-1, "a; Left"}, {0, "b; Top; 50%"}},
         {"5,5,105,104", "10,10,100,55"}},
    };
    for (const Row& R : Rows) {
        TLayoutTree T;
        const TNodeId L = T.AddNode(NoNode, "L", nkLayout);
        const std::vector<TNodeId> Ids = Build(T, L, R.Nodes);
        std::map<TNodeId, TLayoutRect> Placed;
        const TLayoutPlacement P = ComputeLayout(T, L, R.Host, R.Mode);
        for (const auto& [N, Rect] : P)
            Placed[N] = Rect;
        ASSERT_FALSE(P.empty());
        EXPECT_EQ(P.front().first, L) << R.Case;
        EXPECT_EQ(P.front().second, R.Host) << R.Case;
        for (std::size_t I = 0; I < Ids.size(); ++I) {
            const auto It = Placed.find(Ids[I]);
            EXPECT_EQ(It == Placed.end() ? "-" : RectText(It->second), R.Rects[I])
                << R.Case << " node " << I;
        }
    }
}

TEST(LayoutGeometry, WidthsOfSaturatedRectanglesStayInRange)
{
    const struct {
        TLayoutRect R;
        int Width, Height;
    } Rows[] = {
        {{10, 20, 110, 70}, 100, 50},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, INT_MAX, INT_MAX},
        {{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, INT_MIN, INT_MIN},
        {{-1, 0, INT_MAX, 5}, INT_MAX, 5},
    };
    for (const auto& Row : Rows) {
        EXPECT_EQ(RectWidth(Row.R), Row.Width) << RectText(Row.R);
        EXPECT_EQ(RectHeight(Row.R), Row.Height) << RectText(Row.R);
    }
}

TEST(LayoutGeometry, PreviewDrawsEveryPanelAndFramesTheSelection)
{
    struct Recorder : ILayoutCanvas {
        void Rectangle(const TLayoutRect& R, bool Silver) override
        {
            Calls.push_back(std::string(Silver ? "box " : "app ") + RectText(R));
        }
        void WrappedText(const TLayoutRect& R, const std::string& Text) override
        {
            Calls.push_back("text " + RectText(R) + " " + Text);
        }
        void SelectionFrame(const TLayoutRect& R) override { Calls.push_back("frame " + RectText(R)); }
        std::vector<std::string> Calls;
    } Canvas;
    TLayoutTree T;
    const TNodeId L = T.AddNode(NoNode, "L", nkLayout);
    const std::vector<TNodeId> Ids = Build(T, L, {{-1, "a; Top; 50%"}, {-1, "\"Tool\"; Top"}});
    PaintLayoutPreview(T, Ids[1], {5, 5, 104, 84}, Canvas);
    EXPECT_EQ(Canvas.Calls, (std::vector<std::string>{
                                "box 5,5,104,84", "box 10,10,99,45", "app 10,45,99,80",
                                "text 20,55,89,70 \"Tool\"", "frame 10,45,99,80"}));
    Canvas.Calls.clear();
    PaintLayoutPreview(T, NoNode, {5, 5, 104, 84}, Canvas);
    EXPECT_TRUE(Canvas.Calls.empty());
}
