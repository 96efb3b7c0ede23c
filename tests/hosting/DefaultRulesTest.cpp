// The rules file shipped beside the program.
#include "hosting/RulesFile.h"

#include "hosting/RulesTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

namespace {

StringList ReadShippedRules()
{
    std::ifstream In(QUORVAN_DEFAULT_RULES, std::ios::binary);
    EXPECT_TRUE(In.good()) << QUORVAN_DEFAULT_RULES;
    const std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
    StringList Lines;
    TextToLines(Text, Lines);
    return Lines;
}

class DefaultRules : public ::testing::Test {
protected:
    void SetUp() override { ClearDatabase(); }
    void TearDown() override { ClearDatabase(); }
};

TEST_F(DefaultRules, ReadsAndRoundTrips)
{
    int ErrorLine = -1;
    ASSERT_EQ(ReadFresh(ReadShippedRules(), ErrorLine), ieOk) << "line " << ErrorLine;
    EXPECT_GT(KnownApps.RulesDate, 0);
    const std::string Shipped = DescribeDatabase();
    const StringList Written = WrittenRules();
    ASSERT_EQ(ReadFresh(Written, ErrorLine), ieOk) << "line " << ErrorLine;
    EXPECT_EQ(DescribeDatabase(), Shipped);
    EXPECT_EQ(WrittenRules(), Written);
}

TEST_F(DefaultRules, CoversEveryMethodOptionOperatorAndWindowRule)
{
    int ErrorLine;
    ASSERT_EQ(ReadFresh(ReadShippedRules(), ErrorLine), ieOk);
    std::set<int> Methods;
    std::set<std::uint16_t> Operators;
    bool NoTitle = false, HardSizing = false, OnlyOnce = false, StartSize = false,
         FixedSize = false, FurtherFiles = false, Wildcard = false, ExeSize = false,
         FurtherWindow = false;
    for (int I = 0; I < KnownApps.Count(); ++I) {
        const Tknownapp& E = *KnownApps.GetKnownApp(I);
        Methods.insert(E.Method);
        Operators.insert(E.VersionCondition.Operator);
        NoTitle |= E.NoTitle;
        HardSizing |= E.HardSizing;
        OnlyOnce |= E.OnlyOnce;
        StartSize |= E.MinWidth == -1 && E.MinHeight == -1;
        FixedSize |= E.MinWidth > 0 && E.MinHeight > 0;
        FurtherFiles |= FieldCount(E.FilesNeeded, ';') > 1;
        Wildcard |= GetField(E.FilesNeeded, 1, ';').find('*') != std::string::npos;
        ExeSize |= E.ExeSize > 0;
        FurtherWindow |= E.WindowNumber >= 2;
    }
    EXPECT_EQ(Methods, (std::set<int>{amUnsupported, amBind, amExternal}));
    EXPECT_EQ(Operators, (std::set<std::uint16_t>{vcNone, vcEqual, vcLess, vcLessOrEqual,
                                                  vcGreater, vcGreaterOrEqual, vcAny}));
    EXPECT_TRUE(NoTitle && HardSizing && OnlyOnce && StartSize && FixedSize);
    EXPECT_TRUE(FurtherFiles && Wildcard && ExeSize && FurtherWindow);
    EXPECT_GT(AllowedWindows.Count(), 0);
    EXPECT_GT(ForbiddenWindows.Count(), 0);
}

} // namespace
