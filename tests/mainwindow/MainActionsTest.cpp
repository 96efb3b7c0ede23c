#include "mainwindow/MainActions.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(MainActionsTest, NodeActionsFollowTheNodeAndMoveImagesItsSide)
{
    struct Case {
        const char* Name;
        TDock Dock;
        bool Up, Down, Child, Neighbour, Delete, Rotate;
        int WantBackImage, WantForwardImage;
        bool WantBack, WantForward;
    };
    const Case Cases[] = {
        {"left", TDock::Left, true, true, true, false, true, false, 16, 17, true, true},
        {"top, first", TDock::Top, false, true, false, true, false, true, 14, 15, false, true},
        {"right", TDock::Right, true, false, true, true, true, true, 17, 16, true, false},
        {"bottom", TDock::Bottom, true, true, false, false, false, false, 15, 14, true, true},
        {"centred", TDock::Centered, true, true, true, true, true, true, 14, 15, false, false},
        {"custom", TDock::Custom, true, true, true, true, true, true, 14, 15, false, false},
        {"no dock", TDock::None, true, true, false, false, false, false, 14, 15, false, false},
    };
    for (const Case& C : Cases) {
        TNodeAbilities N;
        N.Dock = C.Dock;
        N.CanMoveUp = C.Up;
        N.CanMoveDown = C.Down;
        N.CanAddChild = C.Child;
        N.CanAddNeighbour = C.Neighbour;
        N.CanDelete = C.Delete;
        N.CanRotate = C.Rotate;
        TPanelActionState S;
        S.BackwardsImage = S.ForwardImage = -1;
        UpdatePanelActions(&N, S);
        EXPECT_EQ(S.BackwardsImage, C.WantBackImage) << C.Name;
        EXPECT_EQ(S.ForwardImage, C.WantForwardImage) << C.Name;
        EXPECT_EQ(S.MoveBackwards, C.WantBack) << C.Name;
        EXPECT_EQ(S.MoveForward, C.WantForward) << C.Name;
        EXPECT_EQ(S.AddChild, C.Child) << C.Name;
        EXPECT_EQ(S.AddNeighbour, C.Neighbour) << C.Name;
        EXPECT_EQ(S.Delete, C.Delete) << C.Name;
        EXPECT_EQ(S.RotateClockwise, C.Rotate) << C.Name;
        EXPECT_EQ(S.RotateAntiClockwise, C.Rotate) << C.Name;
        EXPECT_TRUE(S.ReloadVisible) << C.Name;
    }
    // Without a node nothing changes.
    TPanelActionState Kept;
    Kept.AddChild = false;
    Kept.BackwardsImage = 17;
    UpdatePanelActions(nullptr, Kept);
    EXPECT_FALSE(Kept.AddChild);
    EXPECT_EQ(Kept.BackwardsImage, 17);
    EXPECT_FALSE(Kept.ReloadVisible);
}

TEST(MainActionsTest, EveryActionButHelpOpensATopicOfItsOwn)
{
    std::set<int> Contexts;
    for (const TActionInfo& A : MainActions) {
        if (A.HelpContext == 0) {
            EXPECT_STREQ(A.Name, "HelpContextAction");
            continue;
        }
        EXPECT_TRUE(Contexts.insert(A.HelpContext).second) << A.Name;
    }
    EXPECT_EQ(MainActions[maViewKnownApps].HelpContext, 20);
    EXPECT_FALSE(MainActions[maReload].Visible);
}

TEST(MainActionsTest, HelpOnAToolbarTakesTheFirstVisibleButtonUnderThePoint)
{
    const std::vector<TToolButtonSpot> Bar = {
        {0, 0, 50, 22, true, 10}, {50, 0, 100, 22, true, 15}, {100, 0, 150, 22, false, 20},
        {100, 0, 150, 22, true, 25}};
    struct Case {
        int X, Y;
        bool Found;
        int Context;
    };
    const Case Cases[] = {
        {10, 10, true, 10}, {50, 22, true, 10}, {51, 0, true, 15}, {120, 5, true, 25},
        {160, 5, false, -1}, {20, 23, false, -1},
    };
    for (const Case& C : Cases) {
        int Context = -1;
        EXPECT_EQ(ToolButtonHelpContext(Bar, C.X, C.Y, Context), C.Found) << C.X << "," << C.Y;
        EXPECT_EQ(Context, C.Context) << C.X << "," << C.Y;
    }
}

}  // namespace
