#include "dialogs/knownapplist.h"

#include "hosting/Identify.h"
#include "hosting/RulesTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Category, name, version, size, method, files, age, url, problems, title, class, window.
using Row = std::array<const char*, 12>;

void Load(const std::vector<Row>& Rows)
{
    ClearDatabase();
    for (const Row& R : Rows)
        ASSERT_EQ(AddKnownApp(KnownApps, R[0], R[1], R[2], R[3], R[4], R[5], R[6], R[7], R[8], R[9],
                              R[10], R[11]),
                  ieOk)
            << R[1];
    KnownApps.RulesDate = 42000;
}

// The window's three tables over the global lists.
struct Tables {
    TDatabaseGrid App, Allowed, Forbidden;
    Tables()
    {
        ConfigureAppTable(App);
        ConfigureWindowTable(Allowed, false);
        ConfigureWindowTable(Forbidden, true);
        FillKnownAppTable(App, KnownApps, nullptr, false);
        FillWindowTable(Allowed, AllowedWindows, false);
        FillWindowTable(Forbidden, ForbiddenWindows, false);
    }
    bool Commit(const TTableFlags& Flags, TCommitError& Error)
    {
        return CommitTables(App, Allowed, Forbidden, Flags, KnownApps, AllowedWindows,
                            ForbiddenWindows, Error);
    }
};

const std::vector<Row> Sample = {
    {"Emulators", "Spin (Paul)", "?  0", "12345", "bind; no title; only 1x; hard sizing; minsize=640,480",
     "spin*.exe;spin.rom", "3", "http://spin.example/", "slow", "\"Spin\"", "", ""},
    {"Emulators", "Spin (Paul)", ">= 1.2", "", "bind; minsize=-1,480", "spin*.exe", "", "", "",
     "\"Debugger\"", "\"TDbg\"", "2"},
    {"Tools", "Packer", "", "", "external", "pack.exe", "", "", "slow / crashes", "", "", ""},
    {"Tools", "Oldie", "<  2", "", "unsupported", "old.exe", "", "", "", "", "", ""},
    {"Tools", "Starter", "", "", "bind; minsize=start", "st.exe", "", "", "", "", "", ""},
};

TEST(KnownAppTable, CellTextsOfAnEntry)
{
    Load(Sample);
    TDatabaseGrid T;
    ConfigureAppTable(T);
    FillKnownAppTable(T, KnownApps, nullptr, false);
    struct Case {
        int Row;
        const char* Column;
        const char* Text;
    };
    const Case Cases[] = {
        {1, "Filenames", "spin*.exe (12345);spin.rom"}, {1, "Properties", "BRH1"},
        {1, "MinSize", "X=640, Y=480"},                  {1, "Version", "?  0"},
        {1, "WTitle", "\"Spin\""},                       {1, "WClass", ""},
        {1, "Age", "3"},                                 {2, "MinSize", "X=-1, Y=480"},
        {2, "Window", "2"},                              {3, "Properties", "E"},
        {4, "Properties", "U"},                          {5, "MinSize", "start"},
        {3, "MinSize", ""},                              {3, "Category", "Tools"},
        {3, "Problems", "slow / crashes"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(T.CellByName(C.Column, C.Row), C.Text) << C.Row << " " << C.Column;
    EXPECT_FALSE(T.Modified());
    EXPECT_FALSE(T.ReadOnlyDatabase());
}

TEST(KnownAppTable, RoundTripThroughTheTables)
{
    Load(Sample);
    // A rules file may name a category so; only a typed one is refused.
    ASSERT_EQ(AddKnownApp(KnownApps, ";Demo", "Demo", "", "", "bind", "demo.exe", "", "", "", "", "", ""),
              ieOk);
    AllowedWindows.AddAppWindow("a.exe", NotGiven, "Cls");
    ForbiddenWindows.AddAppWindow(NotGiven, "Popup", NotGiven);
    const std::string Before = DescribeDatabase();
    Tables T;
    TCommitError Error;
    ASSERT_TRUE(T.Commit({true, false, true}, Error)) << Error.Message();
    EXPECT_EQ(DescribeDatabase(), Before);
    EXPECT_TRUE(KnownApps.Modified);
    EXPECT_FALSE(AllowedWindows.Modified);
    EXPECT_TRUE(ForbiddenWindows.Modified);
}

TEST(KnownAppTable, BadRowChangesNothingAndNamesTheLine)
{
    const char* const BadText =
        "Error in line 2: Invalid text: '|', a line break, a blank at its start or end, or a "
        "category beginning with ';'!";
    struct Case {
        TTableId Table;
        const char* Column;
        const char* Value;
        const char* Message;
    };
    const Case Cases[] = {
        {TTableId::App, "Version", "about 2", "Error in line 2: Invalid version format!"},
        {TTableId::App, "WTitle", "Spin", "Error in line 2: Invalid window title format!"},
        {TTableId::Allowed, "EXE file", "a.exe", "Error in line 2: Invalid EXE file format!"},
        {TTableId::Forbidden, "WClass", "\"x", "Error in line 2: Invalid window class format!"},
        {TTableId::App, "Application", "Extra|Author", BadText},
        {TTableId::App, "Category", "Tools ", BadText},
        {TTableId::App, "Category", ";Tools", BadText},
        {TTableId::Allowed, "WTitle", "\"a|b\"", "Error in line 2: Invalid window title format!"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Message);
        Load(Sample);
        AllowedWindows.AddAppWindow("a.exe", NotGiven, NotGiven);
        const std::string Before = DescribeDatabase();
        Tables T;
        TDatabaseGrid& Target = C.Table == TTableId::App       ? T.App
                                : C.Table == TTableId::Allowed ? T.Allowed
                                                               : T.Forbidden;
        if (&Target == &T.Forbidden)
            Target.AddRecord("EXE file", "\"first.exe\"");
        Target.AddRecord("Application|Properties|EXE file", "Extra|B|\"b.exe\"");
        Target.SetCell(Target.ColumnIndex(C.Column), 2, C.Value);
        TCommitError Error;
        EXPECT_FALSE(T.Commit({true, true, true}, Error));
        EXPECT_EQ(Error.Table, C.Table);
        EXPECT_EQ(Error.Message(), C.Message);
        EXPECT_EQ(DescribeDatabase(), Before);
    }
}

TEST(KnownAppTable, EmptyRecordsAreNoEntriesOrRules)
{
    ClearDatabase();
    Tables T;
    EXPECT_EQ(T.Forbidden.RecordCount(), 1);
    TCommitError Error;
    ASSERT_TRUE(T.Commit({}, Error));
    EXPECT_EQ(KnownApps.Count() + AllowedWindows.Count() + ForbiddenWindows.Count(), 0);
}

TEST(KnownAppTable, MethodTextAndFilenamesCell)
{
    const struct {
        const char* Properties;
        const char* MinSize;
        const char* Method;
    } Methods[] = {
        {"BRH1", "X=640, Y=480", "bind; no title; only 1x; hard sizing; minsize=640,480"},
        {"B", "X=-1, Y=480", "bind; minsize=-1,480"},
        {"BR", "START", "bind; no title; minsize=start"},
        {"EB", "", "external"},
        {"UR", "", "unsupported"},
        {"", "", "bind"},
    };
    for (const auto& M : Methods)
        EXPECT_EQ(MethodTextOf(M.Properties, M.MinSize), M.Method);
    const struct {
        const char* In;
        const char* Files;
        const char* Size;
    } Splits[] = {
        {"spin*.exe (12345);spin.rom", "spin*.exe;spin.rom", "12345"},
        {" a (b) (77) ", "a (b)", "77"},
        {"plain.exe;x (1)", "plain.exe;x (1)", ""},
        {"", "", ""},
    };
    for (const auto& S : Splits) {
        std::string Files = S.In, Size = "old";
        SplitFilenamesCell(Files, Size);
        EXPECT_EQ(Files, S.Files) << S.In;
        EXPECT_EQ(Size, S.Size) << S.In;
    }
}

TEST(KnownAppTable, ViewingOneCategorySortedWithFoundLetters)
{
    Load(Sample);
    TDatabaseGrid T;
    ConfigureAppTable(T);
    const std::string Tools = "TOOLS", None = "Nothing";
    // Refilled over the whole list: no cell of it may stay.
    FillKnownAppTable(T, KnownApps, nullptr, false);
    FillKnownAppTable(T, KnownApps, &Tools, true);
    FillFoundColumn(T, {"packer|", "oldie|1.5", "starter|0.9"});
    const char* Want[][2] = {{"Oldie", "FU"}, {"Packer", "F"}, {"Starter", "F"}};
    ASSERT_EQ(T.RecordCount(), 3);
    for (int R = 1; R <= 3; ++R) {
        EXPECT_EQ(T.CellByName("Application", R), Want[R - 1][0]);
        EXPECT_EQ(T.CellByName("Found", R), Want[R - 1][1]);
        EXPECT_EQ(T.CellByName("Category", R), "Tools");
    }
    EXPECT_TRUE(T.ReadOnlyDatabase());
    FillKnownAppTable(T, KnownApps, &None, true);
    EXPECT_TRUE(T.IsEmptyTable());
    EXPECT_EQ(FoundCellText(TListedVersions({"spin (paul)|1.0"}), "Spin (Paul)", ">= 1.2", "B"), "");
    StringList Tabs;
    CategoryTabs(KnownApps, false, Tabs);
    EXPECT_EQ(JoinStrings(Tabs, ","), "Emulators,Tools,Allowed windows,Forbidden windows");
    CategoryTabs(KnownApps, true, Tabs);
    EXPECT_EQ(JoinStrings(Tabs, ","), "Application rules,Allowed windows,Forbidden windows");
    EXPECT_EQ(TableOfTab("FORBIDDEN WINDOWS"), TTableId::Forbidden);
    EXPECT_EQ(TableOfTab("Tools"), TTableId::App);
}

// The Found column as a walk of the listed lines for every record gave it,
// on generated names in any case, repeated names, odd versions and lines.
TEST(KnownAppTable, FoundColumnAsAWalkOfTheListedLinesGaveIt)
{
    const auto WalkFound = [](const StringList& Listed, const std::string& Name,
                              const std::string& VersionCell, const std::string& Properties) {
        std::string Found;
        TVersionCondition Cond;
        ParseVersionCondition(VersionCell, Cond);
        for (const std::string& Line : Listed)
            if (SameText(GetField(Line, 1, '|'), Name)) {
                TFileVersion V;
                if (!GetField(Line, 2, '|').empty() && !StrToVersion(GetField(Line, 2, '|'), V))
                    V = TFileVersion();
                Found = CheckVersion(Cond, V) ? "F" : "";
                break;
            }
        return Properties.find('U') == std::string::npos ? Found : Found + "U";
    };
    // "1.2.x" fails after two parts: nothing of it may stand as the version.
    const char* Versions[] = {"", "1", "1.5", "2.0.1", "x", "70000", "1.2.3.4.5", "3|more", "1.2.x"};
    const char* Conditions[] = {"", "?  0", ">= 1.5", "<  2", "= 1.5", "<= 1", ">  2", "bad"};
    const char* Properties[] = {"", "U", "BR"};
    unsigned Seed = 7;
    const auto Next = [&Seed](unsigned N) { return (Seed = Seed * 1103515245u + 12345u) / 65536 % N; };
    const auto Name = [&Next] {
        std::string N = "App " + IntToStr(Next(40)) + " (Maker)";
        for (char& C : N)
            C = Next(2) ? UpCaseAscii(C) : C;
        return N;
    };
    StringList Listed;
    for (int I = 0; I < 60; ++I)
        Listed.push_back(I % 13 == 0 ? Name() : Name() + "|" + Versions[Next(9)]);
    TDatabaseGrid T;
    ConfigureAppTable(T);
    T.SetRecordCount(400);
    for (int R = 1; R <= 400; ++R) {
        T.SetCell(T.ColumnIndex("Application"), R, R % 50 ? Name() : "");
        T.SetCell(T.ColumnIndex("Version"), R, Conditions[Next(8)]);
        T.SetCell(T.ColumnIndex("Properties"), R, Properties[Next(3)]);
    }
    FillFoundColumn(T, Listed);
    int Found = 0;
    for (int R = 1; R <= 400; ++R) {
        const std::string Want = WalkFound(Listed, T.CellByName("Application", R),
                                           T.CellByName("Version", R), T.CellByName("Properties", R));
        EXPECT_EQ(T.CellByName("Found", R), Want) << "record " << R;
        Found += Want.find('F') != std::string::npos;
    }
    EXPECT_GT(Found, 50);
}

TEST(KnownAppStatus, TextUnderTheMouse)
{
    struct Case {
        TTableId Table;
        bool InCell;
        const char* Column;
        const char* Text;
        char Letter;
        const char* Want;
    };
    const Case Cases[] = {
        {TTableId::App, false, "", "", 0, "7 database entries"},
        {TTableId::App, true, "MinSize", "", 0,
         "The application's minimum size is limited to prevent it from crashing."},
        {TTableId::App, true, "Filenames", "a.exe;b.rom;c", 0, "Necessary file name(s): a.exe | b.rom | c"},
        {TTableId::App, true, "Properties", "BR", 'B', "The application can be connected to a panel."},
        {TTableId::App, true, "Properties", "BR", 'R',
         "The title bar of the application can be disabled when connected to a panel."},
        {TTableId::App, true, "Properties", "BR", 0, "7 database entries"},
        {TTableId::App, true, "Found", "FU", 'U', "The application should not be called by Quorvan."},
        {TTableId::App, true, "Found", "F", 'F', "The application has been properly found on your system."},
        {TTableId::App, true, "Age", "3", 0, "Age:3"},
        {TTableId::App, true, "Age", "", 0, "7 database entries"},
        {TTableId::Forbidden, true, "WTitle", "", 0, "optional forbidden window title"},
        {TTableId::Allowed, true, "exe file", "\"x\"", 0, "optional allowed file name"},
        {TTableId::Allowed, false, "WClass", "", 0, "7 database entries"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(StatusTextFor(C.Table, C.InCell, C.Column, C.Text, C.Letter, 7), C.Want) << C.Column;
}

TEST(KnownAppStatus, IconBoxesAndUrlFilter)
{
    // Icons 16 x 16 from (12, 22), 18 apart.
    struct Hit {
        int X, Y;
        char Letter;
    };
    const Hit Hits[] = {{12, 22, 'B'}, {27, 37, 'B'}, {28, 30, 0}, {30, 30, 'R'}, {45, 30, 'R'},
                        {48, 30, 0},   {20, 38, 0},   {11, 30, 0}};
    for (const Hit& H : Hits) {
        char Letter = 0;
        EXPECT_EQ(LetterAtPoint("BR", 10, 20, 16, 16, H.X, H.Y, Letter), H.Letter != 0) << H.X;
        EXPECT_EQ(Letter, H.Letter) << H.X << "," << H.Y;
    }
    const std::pair<const char*, bool> Urls[] = {
        {"http://www.example.com/", true}, {"HTTPS://x.example/a?b=c", true}, {"http://", false},
        {"file:///c:/windows/system32/calc.exe", false}, {"c:\\windows\\notepad.exe", false},
        {"www.example.com", false}, {"http://x.example/ a", false}, {" http://x.example/", false},
        {"http://x\".exe", false}, {"", false},
    };
    for (const auto& U : Urls)
        EXPECT_EQ(IsOpenableUrl(U.first), U.second) << U.first;
    EXPECT_EQ(FlagIconIndex("properties", 'E'), 8);
    EXPECT_EQ(FlagIconIndex("Found", 'B'), -1);
    EXPECT_EQ(FilenameItemStyle(3), TFileItemStyle::Blue);
    EXPECT_EQ(FilenameItemStyle(4), TFileItemStyle::Green);
}

}  // namespace
