#include "components/UlaPalette.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

TEST(ULAColorPalette, EntriesAndChangeSuppression)
{
    TULAColorPalette P;
    struct Case {
        int Index;
        TColor Color;
    } Cases[] = {
        {0, 0x000000}, {1, 0xA00000}, {8, 0x000000}, {10, 0x0000DC}, {16, 0x000000},
        {17, 0xAC0000}, {31, 0xFCFCFC}, {39, 0xC8C8C8}, {51, 0xDC00FC}, {63, 0xFCFCFC},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(C.Color, P.Colors[C.Index]) << C.Index;

    int Changes = 0;
    P.OnChange = [&](TULAColorPalette&) { ++Changes; };
    P.Colors[5] = 1;
    P.PaletteState = 7;
    P.UpdateCount = 1;
    P.Reset();
    EXPECT_EQ(0, Changes);  // suppressed, but the colours are back
    EXPECT_EQ(0xD4D400u, P.Colors[5]);
    EXPECT_EQ(0, P.PaletteState);
    P.UpdateCount = 0;
    P.Reset();
    EXPECT_EQ(1, Changes);
}

TEST(ULAColorPalette, PickerCellsAndListViewCount)
{
    TColorPickerCells Cells;
    int Repaints = 0;
    Cells.Repaint = [&] { ++Repaints; };
    for (int Size : {12, 12, 16})
        Cells.SetCellSize(Size);
    EXPECT_EQ(2, Repaints);
    struct Case {
        bool Filtered, Large;
        int W, H;
        TListViewItemCount Want;
    } Cases[] = {
        {false, true, 32, 32, {7, 112, 80}},
        {true, true, 15, 17, {4, 52, 42}},  // 52.5 and 42.5 round to even
        {true, false, 32, 32, {4, -1, -1}},
    };
    for (const Case& C : Cases) {
        const auto R = UpdateItemCount(7, C.Filtered ? [](int I) { return I % 2 == 0; }
                                                     : std::function<bool(int)>(),
                                       C.Large, C.W, C.H);
        EXPECT_EQ(C.Want.Count, R.Count);
        EXPECT_EQ(C.Want.SpacingX, R.SpacingX);
        EXPECT_EQ(C.Want.SpacingY, R.SpacingY);
    }
}

std::string Entry(int Kind, int Code, const std::string& Spelling)
{
    return std::string(1, static_cast<char>(Kind)) + static_cast<char>(Code) + Spelling;
}

TEST(KeywordList, SpellingsOfEveryBlank)
{
    struct Case {
        std::string Keyword;
        std::vector<std::string> Spellings;
    } Cases[] = {
        {"GO TO ", {"GOTO", "GO TO", "GOTO ", "GO TO "}},
        {"DEF FN ", {"DEFFN", "DEF FN", "DEFFN ", "DEF FN "}},
        {"OPEN #", {"OPEN#", "OPEN #"}},
        {"RND", {"RND"}},
    };
    for (const Case& C : Cases) {
        TKeywordList L;
        AddKeywordSpellings(L, "ab", C.Keyword);
        std::vector<std::string> Want;
        for (const std::string& S : C.Spellings)
            Want.push_back("ab" + S);
        EXPECT_EQ(Want, L) << C.Keyword;
    }
}

TEST(KeywordList, HoldsEveryKeywordSorted)
{
    std::unique_ptr<TKeywordList> L(BuildKeywordList());
    EXPECT_TRUE(std::is_sorted(L->begin(), L->end(), CompareKeywordEntries));
    for (std::size_t I = 1; I < L->size(); ++I) {
        const std::string A = (*L)[I - 1].substr(2), B = (*L)[I].substr(2);
        ASSERT_TRUE(A.size() > B.size() || (A.size() == B.size() && A >= B)) << A << " " << B;
    }
    const auto Has = [&](const std::string& E) {
        return std::find(L->begin(), L->end(), E) != L->end();
    };
    const std::string Listed[] = {
        Entry(1, 236, "GO TO "), Entry(1, 236, "GOTO"), Entry(1, 206, "DEFFN "),
        Entry(1, 211, "OPEN #"), Entry(1, 165, "RND"), Entry(1, 255, "COPY "),
        Entry(1, 199, "<="), Entry(2, 163, "SPECTRUM "), Entry(3, 128, "KEYWORDS "),
        Entry(3, 151, "BLANK "), Entry(3, 157, std::string(1, char(158)) + "ERROR "),
        Entry(3, 'a', "AND ("), Entry(4, 'a', "AND("), Entry(4, 'x', "XOR("), Entry(3, 'Z', "SHIFT$ "),
        Entry(4, 'Y', "CAT$ "),
    };
    for (const std::string& E : Listed)
        EXPECT_TRUE(Has(E)) << E.substr(2);
    EXPECT_FALSE(Has(Entry(1, 165, "RND ")));
    EXPECT_FALSE(Has(Entry(3, 'Y', "CAT$ ")));  // CAT$ is a kind 4 function only
}

}  // namespace
