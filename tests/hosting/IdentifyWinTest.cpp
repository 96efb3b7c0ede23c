#include "hosting/IdentifyWin.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

namespace {

// Identification against real programs that carry (or lack) version
// resources, through the real file system.
class IdentifyWinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        KnownApps.Clear();
        SetFileProbe(&Win32FileProbe);
        Add("Old Tool", "< 2.0", "verapp_1_5.exe", "bind");
        Add("New Tool", ">= 2.0", "verapp_1_5.exe", "bind");
        Add("Versioned", "=  2.1", "verapp_2_*", "external");
        Add("Future", ">= 3.0", "verapp_max.exe", "bind");  // 65535 passes
        Add("Bare", "? 0", "verapp_none.exe", "bind");
        Add("Needs Version", "= 1.0", "textfile.exe", "bind");
        Add("Sized", "", "verapp_1_2_0_5.exe", "bind", "1");  // size never matches
    }
    void TearDown() override
    {
        KnownApps.Clear();
        SetFileProbe(nullptr);
    }
    void Add(const char* Name, const char* Version, const char* Files, const char* Method,
             const char* Size = "")
    {
        ASSERT_EQ(AddKnownApp(KnownApps, "Tools", Name, Version, Size, Method, Files, "", "", "",
                              "", "", ""),
                  ieOk);
    }
};

TEST_F(IdentifyWinTest, VersionResourcesPickTheEntry)
{
    struct Case {
        const char* File;
        TIdentifyResult Result;
        int Index;
        const char* Version;
    } Cases[] = {
        {"verapp_1_5.exe", irBind, 0, "1.5"},
        {"verapp_2_1.exe", irExternal, 2, "2.1"},
        {"verapp_max.exe", irBind, 3, "65535.65535.65535.65535"},
        {"verapp_none.exe", irBind, 4, ""},        // "? " takes a file without version
        {"textfile.exe", irUnknown, -1, ""},       // no version: "= " cannot match
        {"verapp_1_2_0_5.exe", irUnknown, -1, ""}, // wrong size
        {"missing.exe", irExeNotFound, -1, ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.File);
        TIdentifyInfo Info;
        TFileVersion Min;
        EXPECT_EQ(IdentifyApplication("", TestExeDir() + C.File, Info, Min), C.Result);
        EXPECT_EQ(Info.Index, C.Index);
        EXPECT_EQ(VersionToStr(Info.Version), C.Version);
    }
}

TEST_F(IdentifyWinTest, FailedConditionIsNamedInTheMessage)
{
    KnownApps.Clear();
    Add("Future", ">= 3.0", "verapp_2_1.exe", "bind");
    TIdentifyInfo Info;
    std::string Message;
    EXPECT_EQ(CheckApplication("", TestExeDir() + "verapp_2_1.exe", Info, Message, false),
              irIllegalVersion);
    EXPECT_NE(Message.find("verapp_2_1.exe"), std::string::npos) << Message;
    EXPECT_NE(Message.find("3.0"), std::string::npos) << Message;
}

TEST_F(IdentifyWinTest, ApplicationNameNarrowsTheChoice)
{
    TIdentifyInfo Info;
    TFileVersion Min;
    EXPECT_EQ(IdentifyApplication("new tool", TestExeDir() + "verapp_1_5.exe", Info, Min),
              irIllegalVersion);
    EXPECT_EQ(VersionToStr(Min), "2.0");
    EXPECT_EQ(IdentifyApplication("Old Tool", TestExeDir() + "verapp_1_5.exe", Info, Min), irBind);
    EXPECT_EQ(Info.Index, 0);
}

}  // namespace
