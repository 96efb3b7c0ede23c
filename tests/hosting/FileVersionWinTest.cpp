#include "hosting/FileVersionWin.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(GetFileVersionTest, ReadsVersionResourcesOfRealPrograms)
{
    struct Case {
        const char* File;
        bool Ok;
        TFileVersion Expect;
        const char* Text;
    } Cases[] = {
        {"verapp_1_5.exe", true, MakeVersion(1, 5), "1.5"},
        {"verapp_2_1.exe", true, MakeVersion(2, 1), "2.1"},
        {"verapp_max.exe", true, MakeVersion(65535, 65535, 65535, 65535),
         "65535.65535.65535.65535"},
        {"verapp_1_2_0_5.exe", true, MakeVersion(1, 2, 0, 5), "1.2.0.5"},
        {"verapp_none.exe", false, TFileVersion(), ""},
        {"textfile.exe", false, TFileVersion(), ""},
        {"no-such-file.exe", false, TFileVersion(), ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.File);
        TFileVersion V = MakeVersion(9, 9, 9, 9);
        EXPECT_EQ(GetFileVersion(TestExeDir() + C.File, V), C.Ok);
        EXPECT_TRUE(VersionsEqual(V, C.Expect)) << VersionToStr(V);
        EXPECT_EQ(VersionToStr(V), C.Text);
    }
}

TEST(GetFileVersionTest, OrdersVersionsReadFromFiles)
{
    TFileVersion A, B, Max;
    ASSERT_TRUE(GetFileVersion(TestExeDir() + "verapp_1_5.exe", A));
    ASSERT_TRUE(GetFileVersion(TestExeDir() + "verapp_2_1.exe", B));
    ASSERT_TRUE(GetFileVersion(TestExeDir() + "verapp_max.exe", Max));
    EXPECT_TRUE(VersionLess(A, B));
    EXPECT_TRUE(VersionGreater(Max, B));  // unsigned: the top bit is no sign
}

}  // namespace
