#include "hosting/Identify.h"

#include "hosting/FakeFileProbe.h"
#include "hosting/RulesTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct Entry {
    std::string Name, Version, ExeSize, Method = "bind", Files, Problems = "", Number = "";
};

class Identify : public ::testing::Test {
protected:
    FakeFileProbe Probe;

    void SetUp() override
    {
        ClearDatabase();
        SetFileProbe(&Probe);
    }
    void TearDown() override
    {
        SetFileProbe(nullptr);
        ClearDatabase();
    }

    static void Add(const Entry& E)
    {
        ASSERT_EQ(AddKnownApp(KnownApps, "Cat", E.Name, E.Version, E.ExeSize, E.Method, E.Files, "",
                              "", E.Problems, "", "", E.Number),
                  ieOk)
            << E.Name;
    }

};

const std::string Folder = "C:\\Spectrum\\";

TEST_F(Identify, MissingExecutableAndEmptyDatabase)
{
    TIdentifyInfo Info;
    TFileVersion Min = MakeVersion(9, 9);
    EXPECT_EQ(IdentifyApplication("", Folder + "none.exe", Info, Min), irExeNotFound);
    EXPECT_EQ(Info.Index, -1);
    EXPECT_EQ(Min.MS, 0u);

    Probe.Add(Folder + "any.exe");
    EXPECT_EQ(IdentifyApplication("", Folder + "any.exe", Info, Min), irUnknown);

    SetFileProbe(nullptr);
    EXPECT_EQ(IdentifyApplication("", Folder + "any.exe", Info, Min), irExeNotFound);
}

TEST_F(Identify, NamePatternApplicationNameAndMethod)
{
    Add({"Loom", "", "", "external", "loom.exe"});
    Add({"Emu Classic", "", "", "unsupported", "emu*.exe"});
    Add({"Emu Modern", "", "", "bind", "emu*.exe"});
    Add({"EmuWin Alone", "", "", "external", "EMUWIN.EXE"});  // after the patterns
    Probe.Add(Folder + "EmuWin.exe");
    Probe.Add(Folder + "LOOM.EXE");
    TIdentifyInfo Info;
    TFileVersion Min;
    EXPECT_EQ(IdentifyApplication("", Folder + "EmuWin.exe", Info, Min), irUnsupported);
    EXPECT_EQ(Info.Index, 1);
    EXPECT_EQ(IdentifyApplication("emu modern", Folder + "EmuWin.exe", Info, Min), irBind);
    EXPECT_EQ(Info.Index, 2);
    EXPECT_EQ(IdentifyApplication("Loom", Folder + "EmuWin.exe", Info, Min), irUnknown);
    EXPECT_EQ(IdentifyApplication("", Folder + "LOOM.EXE", Info, Min), irExternal);
    EXPECT_EQ(Info.Index, 0);
}

TEST_F(Identify, FilesNeededAndSize)
{
    Add({"Tape", "", "4096", "bind", "tape.exe;tape.dat;roms\\48.rom"});
    Add({"Tape any size", "", "", "external", "tape.exe"});
    Probe.Add(Folder + "tape.exe", 4096);
    TIdentifyInfo Info;
    TFileVersion Min;
    EXPECT_EQ(IdentifyApplication("", Folder + "tape.exe", Info, Min), irExternal) << "needed files missing";
    Probe.Add(Folder + "tape.dat");
    Probe.Add(Folder + "roms\\48.rom");
    EXPECT_EQ(IdentifyApplication("", Folder + "tape.exe", Info, Min), irBind);
    Probe.Files[Folder + "tape.exe"].Size = 4097;
    EXPECT_EQ(IdentifyApplication("", Folder + "tape.exe", Info, Min), irExternal) << "size differs";
    Probe.Files[Folder + "tape.exe"].Size = 4096;
    Probe.Files[Folder + "tape.exe"].SizeReadable = false;
    EXPECT_EQ(IdentifyApplication("", Folder + "tape.exe", Info, Min), irExternal) << "size unreadable";
}

TEST_F(Identify, LongFilesNeededCell)
{
    std::string Cell = "big.exe";
    for (int I = 0; I < 5000; ++I) {
        Cell += ";data\\f" + std::to_string(I) + ".bin";
        Probe.Add(Folder + "data\\f" + std::to_string(I) + ".bin");
    }
    Add({"Big", "", "", "bind", Cell});
    Add({"Gap", "", "", "bind", "gap.exe;;x.dat"});
    Probe.Add(Folder + "big.exe");
    Probe.Add(Folder + "gap.exe");
    Probe.Add(Folder + "x.dat");
    TIdentifyInfo Info;
    TFileVersion Min;
    EXPECT_EQ(IdentifyApplication("", Folder + "big.exe", Info, Min), irBind);
    Probe.Files.erase(Folder + "data\\f4999.bin");
    EXPECT_EQ(IdentifyApplication("", Folder + "big.exe", Info, Min), irUnknown) << "last one missing";
    EXPECT_EQ(IdentifyApplication("", Folder + "gap.exe", Info, Min), irUnknown) << "an empty field names the folder";
}

TEST_F(Identify, VersionRangesSplitOverEntries)
{
    Add({"Old", "< 2.0", "", "unsupported", "bw.exe"});
    Add({"New", ">= 2.0", "", "bind", "bw.exe"});
    TIdentifyInfo Info;
    TFileVersion Min;
    const struct {
        TFileVersion Version;
        TIdentifyResult Result;
        int Index;
    } Cases[] = {
        {MakeVersion(2, 1), irBind, 1},
        {MakeVersion(1, 5), irUnsupported, 0},
        {MakeVersion(1, 65535, 65535, 65535), irUnsupported, 0},
        {MakeVersion(2, 0), irBind, 1},
    };
    for (const auto& C : Cases) {
        Probe.AddVersioned(Folder + "bw.exe", C.Version);
        EXPECT_EQ(IdentifyApplication("", Folder + "bw.exe", Info, Min), C.Result) << VersionToStr(C.Version);
        EXPECT_EQ(Info.Index, C.Index);
        EXPECT_TRUE(VersionsEqual(Info.Version, C.Version));
    }
}

TEST_F(Identify, IllegalVersionKeepsLastFailedCondition)
{
    Add({"A", ">= 2.0", "", "bind", "a.exe"});
    Add({"A", "= 3.1", "", "bind", "a.exe"});
    Probe.AddVersioned(Folder + "a.exe", MakeVersion(1, 5));
    TIdentifyInfo Info;
    TFileVersion Min;
    EXPECT_EQ(IdentifyApplication("", Folder + "a.exe", Info, Min), irIllegalVersion);
    EXPECT_EQ(VersionToStr(Min), "3.1");
    EXPECT_EQ(Info.Index, -1);
    EXPECT_EQ(Info.Version.MS, 0u);
}

TEST_F(Identify, FilesWithoutVersionInformation)
{
    Add({"Eq", "= 1.0", "", "external", "q.exe"});
    Add({"Any", "? 0", "", "bind", "q.exe"});
    Probe.Add(Folder + "q.exe");
    TIdentifyInfo Info;
    TFileVersion Min;
    EXPECT_EQ(IdentifyApplication("", Folder + "q.exe", Info, Min), irBind);
    EXPECT_EQ(Info.Index, 1);
    EXPECT_EQ(IdentifyApplication("Eq", Folder + "q.exe", Info, Min), irUnknown);
}

TEST_F(Identify, CheckApplicationMessages)
{
    Add({"Bramble", "", "", "unsupported", "bramble.exe", "Draws outside its window"});
    Add({"Quiet", "", "", "unsupported", "quiet.exe"});
    Add({"Loom", "", "", "external", "loom.exe"});
    Add({"Ember", "", "", "bind", "ember.exe"});
    for (const char* F : {"bramble.exe", "quiet.exe", "loom.exe", "ember.exe", "odd.exe"})
        Probe.Add(Folder + F);
    const struct {
        const char* Exe;
        bool AsExternal;
        TIdentifyResult Result;
        const char* Message;
    } Cases[] = {
        {"odd.exe", false, irUnknown,
         "\"odd.exe\" is not a known application\ror not all necessary files are present!"},
        {"bramble.exe", false, irUnsupported,
         "\"Bramble\" is not supported by Tessarine!\rReason: Draws outside its window"},
        {"quiet.exe", false, irUnsupported, "\"Quiet\" is not supported by Tessarine!"},
        {"loom.exe", false, irExternal,
         "\"Loom\" cannot be executed in a panel!\rBut you may start it as an external "
         "application."},
        {"loom.exe", true, irExternal, ""},
        {"ember.exe", false, irBind, ""},
        {"gone.exe", false, irExeNotFound, "EXE file not found!"},
    };
    for (const auto& C : Cases) {
        TIdentifyInfo Info;
        std::string Message = "stale";
        EXPECT_EQ(CheckApplication("", Folder + C.Exe, Info, Message, C.AsExternal), C.Result)
            << C.Exe;
        EXPECT_EQ(Message, C.Message) << C.Exe;
    }
}

TEST_F(Identify, IllegalVersionMessageNamesFailedCondition)
{
    const struct {
        const char* Condition;
        const char* Advice;
    } Cases[] = {
        {">= 2.0", "Please try to download a newer version (minimum 2.0)!"},
        {"> 2.0", "Please try to download a newer version (later than 2.0)!"},
        {"<= 1.2", "Please try to download an older version (maximum 1.2)!"},
        {"< 1.2", "Please try to download an older version (earlier than 1.2)!"},
        {"= 1.7.3", "Please try to download version 1.7.3!"},
        {"= 0", "Please try to download version 0!"},
    };
    Probe.AddVersioned(Folder + "x.exe", MakeVersion(1, 5));
    for (const auto& C : Cases) {
        ClearDatabase();
        Add({"X", C.Condition, "", "bind", "x.exe"});
        TIdentifyInfo Info;
        std::string Message;
        EXPECT_EQ(CheckApplication("", Folder + "x.exe", Info, Message, false), irIllegalVersion);
        EXPECT_EQ(Message, std::string("Illegal version of \"x.exe\".\r") + C.Advice)
            << C.Condition;
    }
}

TEST_F(Identify, CheckVersionOperators)
{
    const TFileVersion V = MakeVersion(2, 0);
    const struct {
        std::uint16_t Op;
        bool Lower, Same, Higher;
    } Cases[] = {
        {vcEqual, false, true, false},          {vcLess, true, false, false},
        {vcLessOrEqual, true, true, false},     {vcGreater, false, false, true},
        {vcGreaterOrEqual, false, true, true},  {vcAny, true, true, true},
        {0x4141, true, true, true},
    };
    for (const auto& C : Cases) {
        TVersionCondition Cond;
        Cond.Operator = C.Op;
        Cond.Version = V;
        EXPECT_EQ(CheckVersion(Cond, MakeVersion(1, 9, 9, 9)), C.Lower) << C.Op;
        EXPECT_EQ(CheckVersion(Cond, V), C.Same) << C.Op;
        EXPECT_EQ(CheckVersion(Cond, MakeVersion(2, 0, 0, 1)), C.Higher) << C.Op;
    }
}

TEST_F(Identify, MatchExePatternCases)
{
    const struct {
        const char* Name;
        const char* Pattern;
        bool Match;
    } Cases[] = {
        {"x128.exe", "X128.EXE", true}, {"EmuWin.exe", "emu*.exe", true},
        {"emu.ex", "emu*.exe", false},  {"emu.exe", "emu*.exe", true},
        {"anything", "*", true},        {"", "*", true},
        {"aba", "ab*ba", true},         {"ab", "ab*ba", false},
        {"a*b.exe", "a*b*.exe", false}, {"ab*.exe", "a*b*.exe", true},
        {"emu.exe", "", false},         {"emu.exe", "emu", false},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(MatchExePattern(C.Name, C.Pattern), C.Match) << C.Name << " ~ " << C.Pattern;
}

TEST_F(Identify, ForbiddenWindowsAllowedRulesFirst)
{
    ForbiddenWindows.AddAppWindow(NotGiven, NotGiven, "TApplication");
    ForbiddenWindows.AddAppWindow("tape*.exe", "", NotGiven);
    AllowedWindows.AddAppWindow("loom.exe", NotGiven, "tapplication");
    const struct {
        const char* Exe;
        const char* Title;
        const char* Class;
        bool Forbidden;
    } Cases[] = {
        {"C:\\a\\any.exe", "Main", "TApplication", true},
        {"C:\\a\\LOOM.exe", "Main", "TApplication", false},
        {"C:\\a\\any.exe", "Main", "TForm", false},
        {"C:\\a\\tapewright.exe", "", "TForm", true},
        {"C:\\a\\tapewright.exe", "Tape", "TForm", false},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(IsForbiddenWindow(C.Exe, C.Title, C.Class), C.Forbidden)
            << C.Exe << " " << C.Title << " " << C.Class;
}

// Lookups by name follow every change of the database.
TEST_F(Identify, NameLookupsFollowTheDatabase)
{
    Tknownapplist Other;
    ASSERT_EQ(AddKnownApp(Other, "Cat", "Gamma (2)", "", "", "bind", "g.exe", "", "", "", "", "", ""),
              ieOk);
    const struct {
        const char* Step;
        std::function<void()> Change;
        const char* Name;
        bool IgnoreSuffix;
        int Index;
        const char* Exe;  // identified as the entry at Index
    } Steps[] = {
        {"add", [] { Add({"Alpha", "", "", "bind", "a.exe"}); }, "ALPHA", false, 0, "A.EXE"},
        {"add another", [] { Add({"Beta (x)", "", "", "bind", "b.exe"}); }, "beta", true, 1, "b.exe"},
        {"clear", [] { KnownApps.Clear(); }, "Alpha", false, -1, "a.exe"},
        {"assign", [&Other] { KnownApps.Assign(Other); }, "gamma (2)", false, 0, "g.exe"},
        {"assign", [] {}, "Gamma", true, 0, "G.exe"},
    };
    for (const auto& S : Steps) {
        S.Change();
        int Index = 7;
        EXPECT_EQ(FindKnownAppByName(S.Name, Index, S.IgnoreSuffix), S.Index >= 0) << S.Step;
        EXPECT_EQ(Index, S.Index) << S.Step;
        Probe.Add(Folder + S.Exe);
        TIdentifyInfo Info;
        TFileVersion Min;
        IdentifyApplication("", Folder + S.Exe, Info, Min);
        EXPECT_EQ(Info.Index, S.Index) << S.Step;
    }
}

TEST_F(Identify, NameLookupsAndWindowNumbers)
{
    Add({"Alone", "", "", "bind", "a.exe"});
    Add({"Main", "", "", "bind", "m.exe", "", "1"});
    Add({"Side (palette)", "", "", "bind", "m.exe", "", "2"});
    Add({"Tools", "", "", "bind", "m.exe", "", "3"});
    Add({"Stray", "", "", "bind", "s.exe"});
    Add({"Orphan", "", "", "bind", "s.exe", "", "2"});
    Add({"Main 2", "", "", "bind", "n.exe", "", "1"});
    Add({"Negative", "", "", "bind", "n.exe", "", "-1"});
    Add({"Orphan 2", "", "", "bind", "n.exe", "", "2"});
    // A later version of Main with its own further window.
    Add({"Main", ">= 2.0", "", "bind", "m.exe", "", "1"});
    Add({"Tools", ">= 2.0", "", "bind", "m.exe", "", "2"});
    int Index;
    EXPECT_TRUE(FindKnownAppByName("side (palette)", Index, false));
    EXPECT_EQ(Index, 2);
    EXPECT_FALSE(FindKnownAppByName("Side", Index, false));
    EXPECT_EQ(Index, -1);
    EXPECT_TRUE(FindKnownAppByName("Side (2)", Index, true));
    EXPECT_EQ(Index, 2);
    EXPECT_EQ(StripNameSuffix("Name (2)"), "Name");
    EXPECT_EQ(StripNameSuffix("Name(2)"), "Name(2)");

    const int MainOf[] = {0, 1, 1, 1, 4, 5, 6, 7, 8};
    for (int I = 0; I < 9; ++I)
        EXPECT_EQ(MainEntryOf(I), MainOf[I]) << I;
    EXPECT_EQ(MainEntryOf(9), 9);
    EXPECT_EQ(MainEntryOf(10), 9);
    EXPECT_EQ(MainEntryOf(11), -1);
    EXPECT_EQ(MainEntryOf(-1), -1);

    EXPECT_EQ(FindMainEntryByName("Tools"), 1);
    EXPECT_EQ(FindMainEntryByName("Main"), -1);
    EXPECT_EQ(FindMainEntryByName("Orphan"), -1);
    EXPECT_EQ(FindMainEntryByName("Orphan 2"), -1);
    EXPECT_EQ(FindFurtherWindowByName("Tools"), 3);
    EXPECT_EQ(FindFurtherWindowByName("Main"), -1);
    EXPECT_EQ(GetMainEntryName("Side (palette)"), "Main");
    EXPECT_EQ(GetMainEntryName("Main"), "Main");
    EXPECT_EQ(GetMainEntryName("Alone"), "Alone");
    EXPECT_EQ(GetMainEntryName("Unknown"), "Unknown");

    const struct {
        const char* Name;
        int Main;
        bool Further;
    } FurtherOf[] = {{"Tools", 1, true}, {"tools", 9, true}, {"Tools", 4, false},
                     {"Main", 1, false}, {"Side (palette)", 9, false}, {"Orphan", 5, true}};
    for (const auto& F : FurtherOf)
        EXPECT_EQ(IsFurtherWindowOf(F.Name, F.Main), F.Further) << F.Name << " of " << F.Main;
}

} // namespace
