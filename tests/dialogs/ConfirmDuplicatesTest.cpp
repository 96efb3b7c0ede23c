#include "dialogs/ConfirmDuplicates.h"
#include "dialogs/StateTree.h"
#include "dialogs/progresses.h"

#include "hosting/RulesTestSupport.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(Duplicates, ChooseHighestVersion)
{
    struct Case {
        const char* Name;
        std::vector<TFileVersion> Versions;
        int Chosen;
    } Cases[] = {
        {"1.2 vs 1.10", {MakeVersion(1, 2), MakeVersion(1, 10)}, 1},
        {"tie at the top", {MakeVersion(1, 0), MakeVersion(3, 1), MakeVersion(3, 1)}, -1},
        {"all versions 0", {{}, {}}, -1},
        {"2.0, 1.0, 2.0", {MakeVersion(2, 0), MakeVersion(1, 0), MakeVersion(2, 0)}, -1},
        {"one versioned among 0", {{}, MakeVersion(0, 0, 0, 1), {}}, 1},
        {"high word unsigned", {MakeVersion(65535, 0), MakeVersion(1, 0)}, 0},
        {"none", {}, -1},
    };
    for (const Case& K : Cases) {
        std::vector<TIdentifyInfo> Refs;
        std::vector<int> Items;
        for (const TFileVersion& V : K.Versions) {
            Items.push_back(static_cast<int>(Refs.size()));
            Refs.push_back({0, V});
        }
        EXPECT_EQ(ChooseHighestVersion(Items, Refs), K.Chosen) << K.Name;
    }
    EXPECT_EQ(CandidateText("C:\\a.exe", MakeVersion(1, 10)), "Version 1.10: [C:\\a.exe]");
    EXPECT_EQ(CandidateText("C:\\a.exe", {}), "[C:\\a.exe]");
}

TEST(Duplicates, PlanKeepsSinglesFirstThenTheChosenOfEachGroup)
{
    ClearDatabase();
    for (const char* Name : {"Alpha", "Beta", "alpha", "Gamma"})
        ASSERT_EQ(AddKnownApp(KnownApps, "C", Name, "", "", "bind", "x.exe", "", "", "", "", "", ""), ieOk);
    // Entries 0 and 2 share a name (letter case aside): one group.
    StringList Found = {"a1", "b", "g1", "a2", "c", "g2", "bad"};
    std::vector<TIdentifyInfo> Refs = {{0, MakeVersion(1, 0)}, {1, {}}, {3, {}}, {2, MakeVersion(2, 0)},
                                       {7, {}}, {3, {}}, {-1, {}}};
    std::vector<int> Seen;
    const TDuplicatePlan Plan = PlanDuplicates(Refs, [&](int I) { Seen.push_back(I); });
    EXPECT_EQ(Seen, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Plan.Singles, (std::vector<int>{1}));
    ASSERT_EQ(Plan.Open.size(), 3u);
    EXPECT_EQ(Plan.Open[0].Name, "Alpha");
    EXPECT_EQ(Plan.Open[0].Items, (std::vector<int>{0, 3}));
    EXPECT_EQ(Plan.Open[1].Items, (std::vector<int>{2, 5}));
    EXPECT_EQ(Plan.Open[2].Name, "");  // unknown indexes group under no name
    EXPECT_EQ(Plan.Preselected, (std::vector<int>{1, -1, -1}));
    KeepItems(Found, Refs, KeptItems(Plan, {1, 0, 1}));
    EXPECT_EQ(Found, (StringList{"b", "a2", "g1", "bad"}));
    EXPECT_EQ(Refs[1].Index, 2);
    EXPECT_TRUE(PlanDuplicates({}).Open.empty());
    ClearDatabase();
}

TEST(Duplicates, ToggleRuleAndChildren)
{
    struct Case {
        std::vector<int> Before;
        std::size_t Index;
        std::vector<int> After;
    } Cases[] = {
        {{1, 2}, 0, {2, 2}},
        {{1, 2}, 1, {1, 1}},
        {{4, 3, 3}, 2, {3, 3, 4}},
        {{3, 4, 1}, 0, {4, 3, 1}},
        {{3, 4}, 1, {3, 4}},  // a chosen option stays
        {{0, 3}, 0, {0, 3}},
        {{3}, 5, {3}},
    };
    for (Case K : Cases) {
        ToggleNodeState(K.Before, K.Index);
        EXPECT_EQ(K.Before, K.After);
    }
    std::vector<int> Children = {1, 2, 1};
    MatchChildrenToParent(nsTicked, Children);
    EXPECT_EQ(Children, (std::vector<int>{2, 2, 2}));
    MatchChildrenToParent(nsChosen, Children);
    EXPECT_EQ(Children, (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(CheckedChild({3, 4, 4}), 1);
    EXPECT_EQ(CheckedChild({3, 3}), -1);
}

TEST(Progress, PercentInTheTitles)
{
    struct Case {
        int Position, Max, Percent;
    } Cases[] = {{0, 0, 0}, {1, 0, 100}, {50, 200, 25}, {299, 200, 149}, {-1, 3, -33}, {INT_MAX, 1, -100}};
    for (const Case& K : Cases)
        EXPECT_EQ(ProgressPercent(K.Position, K.Max), K.Percent) << K.Position << "/" << K.Max;
    EXPECT_EQ(ProgressTitle("Tessarine Quorvan", 3, 4), "Tessarine Quorvan (75 %)");
}

}  // namespace
