#include "hosting/FileVersion.h"

#include <gtest/gtest.h>

namespace {

TFileVersion Raw(std::uint32_t MS, std::uint32_t LS)
{
    TFileVersion V;
    V.MS = MS;
    V.LS = LS;
    return V;
}

TEST(FileVersion, MakeVersionPacksWords)
{
    const TFileVersion V = MakeVersion(1, 2, 3, 4);
    EXPECT_EQ(V.MS, 0x00010002u);
    EXPECT_EQ(V.LS, 0x00030004u);
    const TFileVersion Top = MakeVersion(65535, 0x8000, 0xFFFF, 1);
    EXPECT_EQ(Top.MS, 0xFFFF8000u);
    EXPECT_EQ(Top.LS, 0xFFFF0001u);
}

TEST(FileVersion, AllSixComparisonsAgreeOnOrdering)
{
    struct Row {
        TFileVersion A, B;
        int Order;  // sign of A - B
    };
    const Row Rows[] = {
        {MakeVersion(1, 0), MakeVersion(1, 0), 0},
        {MakeVersion(1, 0), MakeVersion(1, 0, 0, 1), -1},
        {MakeVersion(65535, 0), MakeVersion(1, 0), 1},
        {MakeVersion(0x8000, 0), MakeVersion(0x7FFF, 65535, 65535, 65535), 1},
        {MakeVersion(1, 2, 0x8000), MakeVersion(1, 2, 1), 1},
        {MakeVersion(1, 0x8000), MakeVersion(1, 1), 1},
        {MakeVersion(2, 0), MakeVersion(1, 65535, 65535, 65535), 1},
        {MakeVersion(1, 2, 3, 4), MakeVersion(1, 2, 3, 5), -1},
        {MakeVersion(1, 2, 4, 0), MakeVersion(1, 2, 3, 65535), 1},
        {Raw(0, 0), Raw(0, 1), -1},
        {Raw(0xFFFFFFFFu, 0xFFFFFFFFu), Raw(0xFFFFFFFFu, 0xFFFFFFFFu), 0},
        {Raw(0x80000000u, 0), Raw(0x7FFFFFFFu, 0xFFFFFFFFu), 1},
    };
    for (const Row& R : Rows) {
        for (int Swap = 0; Swap < 2; ++Swap) {
            const TFileVersion& A = Swap ? R.B : R.A;
            const TFileVersion& B = Swap ? R.A : R.B;
            const int Order = Swap ? -R.Order : R.Order;
            SCOPED_TRACE(VersionToStr(A) + " vs " + VersionToStr(B));
            EXPECT_EQ(VersionsEqual(A, B), Order == 0);
            EXPECT_EQ(VersionLess(A, B), Order < 0);
            EXPECT_EQ(VersionLessOrEqual(A, B), Order <= 0);
            EXPECT_EQ(VersionGreater(A, B), Order > 0);
            EXPECT_EQ(VersionGreaterOrEqual(A, B), Order >= 0);
        }
    }
}

TEST(FileVersion, VersionToStrForms)
{
    const std::pair<TFileVersion, std::string> Rows[] = {
        {MakeVersion(1, 2), "1.2"},
        {MakeVersion(1, 2, 3), "1.2.3"},
        {MakeVersion(1, 2, 0, 5), "1.2.0.5"},
        {MakeVersion(1, 2, 3, 4), "1.2.3.4"},
        {MakeVersion(0, 0), ""},
        {MakeVersion(0, 1), "0.1"},
        {MakeVersion(0, 0, 0, 1), "0.0.0.1"},
        {MakeVersion(0, 0, 7), "0.0.7"},
        {MakeVersion(65535, 65535, 65535, 65535), "65535.65535.65535.65535"},
    };
    for (const auto& R : Rows)
        EXPECT_EQ(VersionToStr(R.first), R.second);
}

TEST(FileVersion, StrToVersionAcceptedForms)
{
    const std::pair<std::string, TFileVersion> Rows[] = {
        {"2", MakeVersion(2, 0)},
        {"0", MakeVersion(0, 0)},
        {"1.70", MakeVersion(1, 70)},
        {" 1.2", MakeVersion(1, 2)},
        {"01.002", MakeVersion(1, 2)},
        {"1.2.3", MakeVersion(1, 2, 3)},
        {"1.2.3.4", MakeVersion(1, 2, 3, 4)},
        {"65535.0.0.65535", MakeVersion(65535, 0, 0, 65535)},
    };
    for (const auto& R : Rows) {
        TFileVersion V = Raw(0xDEAD, 0xBEEF);
        ASSERT_TRUE(StrToVersion(R.first, V)) << "'" << R.first << "'";
        EXPECT_TRUE(VersionsEqual(V, R.second)) << "'" << R.first << "' read as " << VersionToStr(V);
    }
}

TEST(FileVersion, StrToVersionRefusedForms)
{
    const char* const Rows[] = {
        "", "1..2", "1.2.3.4.5", "65536", "1.65536", "-1", "1.-2", "1.", ".1", ".",
        "1.2 ", "1 .2", "a", "1.x", "1,2", "4294967296",
    };
    for (const char* Text : Rows) {
        TFileVersion V;
        EXPECT_FALSE(StrToVersion(Text, V)) << "'" << Text << "'";
    }
}

TEST(FileVersion, TextRoundTrip)
{
    for (const char* Text : {"1.2", "1.2.3", "1.2.0.5", "10.0.19041.1", "65535.1"}) {
        TFileVersion V;
        ASSERT_TRUE(StrToVersion(Text, V)) << Text;
        EXPECT_EQ(VersionToStr(V), Text);
    }
}

}  // namespace
