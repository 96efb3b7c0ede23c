#include "hosting/KnownApps.h"

#include <gtest/gtest.h>

namespace {

// One row of the known-applications table; each test changes what it needs.
struct Cells {
    std::string Category = "Emulators", Name = "Tool", Version, ExeSize, Method = "bind",
                FilesNeeded = "tool*.exe;tool.rom", Age, URL = "http://example.invalid/",
                Problems, Title, Class, Number;
};

std::uint8_t Add(Tknownapplist& List, const Cells& C)
{
    return AddKnownApp(List, C.Category, C.Name, C.Version, C.ExeSize, C.Method, C.FilesNeeded,
                       C.Age, C.URL, C.Problems, C.Title, C.Class, C.Number);
}

std::string Quoted(std::size_t InnerLength)
{
    return "\"" + std::string(InnerLength, 'w') + "\"";
}

TEST(KnownApps, MethodsAndBindOptions)
{
    struct Row {
        std::string Method;
        std::uint8_t Code, Kind;
        bool NoTitle, HardSizing, OnlyOnce;
        int MinW, MinH;
    };
    const Row Rows[] = {
        {"Bind; No Title; Hard Sizing", 0, amBind, true, true, false, 0, 0},
        {"bind", 0, amBind, false, false, false, 0, 0},
        {" BIND ", 0, amBind, false, false, false, 0, 0},
        {"bind;", ieMethodItem, 0, false, false, false, 0, 0},
        {"bind; no title;; hard sizing", ieMethodItem, 0, false, false, false, 0, 0},
        {"bind; fullscreen", ieMethodItem, 0, false, false, false, 0, 0},
        {"external; no title", 0, amExternal, false, false, false, 0, 0},
        {"Unsupported; anything; at all", 0, amUnsupported, false, false, false, 0, 0},
        {"run", ieMethod, 0, false, false, false, 0, 0},
        {"", ieMethod, 0, false, false, false, 0, 0},
        {"bind no title", ieMethod, 0, false, false, false, 0, 0},
        {"bind; only 1x", 0, amBind, false, false, true, 0, 0},
        {"bind; minsize=start", 0, amBind, false, false, false, -1, -1},
        {"bind; MinSize = START", 0, amBind, false, false, false, -1, -1},
        {"bind; minsize=0,0", 0, amBind, false, false, false, 0, 0},
        {"bind; minsize = 640 , 480", 0, amBind, false, false, false, 640, 480},
        {"bind; minsize=a,b", 0, amBind, false, false, false, 0, 0},
        {"bind; minsize=,200", 0, amBind, false, false, false, 0, 200},
        {"bind; minsize=640", ieWindowSize, 0, false, false, false, 0, 0},
        {"bind; minsize=1,2,3", ieWindowSize, 0, false, false, false, 0, 0},
        {"bind; minsize", ieWindowSize, 0, false, false, false, 0, 0},
        {"bind; minsize=640; bogus", ieWindowSize, 0, false, false, false, 0, 0},
        {"bind; bogus; minsize=640", ieMethodItem, 0, false, false, false, 0, 0},
        {"bind;no title;only 1x;hard sizing;minsize=800,600", 0, amBind, true, true, true, 800, 600},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE("'" + R.Method + "'");
        Tknownapplist List;
        Cells C;
        C.Method = R.Method;
        ASSERT_EQ(Add(List, C), R.Code);
        ASSERT_EQ(List.Count(), R.Code == 0 ? 1 : 0);
        if (R.Code != 0)
            continue;
        const Tknownapp* E = List.GetKnownApp(0);
        EXPECT_EQ(E->Method, R.Kind);
        EXPECT_EQ(E->NoTitle, R.NoTitle);
        EXPECT_EQ(E->HardSizing, R.HardSizing);
        EXPECT_EQ(E->OnlyOnce, R.OnlyOnce);
        EXPECT_EQ(E->MinWidth, R.MinW);
        EXPECT_EQ(E->MinHeight, R.MinH);
    }
}

TEST(KnownApps, VersionCellsAndOperators)
{
    struct Row {
        std::string Text;
        bool Ok;
        std::uint16_t Op;
        TFileVersion V;
    };
    const Row Rows[] = {
        {"= 1.0", true, vcEqual, MakeVersion(1, 0)},
        {"< 2", true, vcLess, MakeVersion(2, 0)},
        {"<=1.0", true, vcLessOrEqual, MakeVersion(1, 0)},
        {"<= 1.2.3.4", true, vcLessOrEqual, MakeVersion(1, 2, 3, 4)},
        {"> 3.1 ", true, vcGreater, MakeVersion(3, 1)},
        {">=4.5.6", true, vcGreaterOrEqual, MakeVersion(4, 5, 6)},
        {"? 0", true, vcAny, MakeVersion(0, 0)},
        {"=1.0", false, 0, {}},
        {">1.0", false, 0, {}},
        {"?0", false, 0, {}},
        {"=>1", false, 0, {}},
        {"!= 1", false, 0, {}},
        {"= ", false, 0, {}},
        {"<=", false, 0, {}},
        {"=", false, 0, {}},
        {" = 1.0", false, 0, {}},
        {"<= 1.2.3.4.5", false, 0, {}},
        {"> 1.70000", false, 0, {}},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE("'" + R.Text + "'");
        TVersionCondition Cond;
        Cond.Operator = vcAny;
        Cond.Version = MakeVersion(9, 9);
        ASSERT_EQ(ParseVersionCondition(R.Text, Cond), R.Ok);
        EXPECT_EQ(Cond.Operator, R.Op);
        EXPECT_TRUE(VersionsEqual(Cond.Version, R.V));
        if (R.Ok) {
            EXPECT_EQ(OperatorText(Cond.Operator), R.Text.substr(0, 2));
        }

        Tknownapplist List;
        Cells C;
        C.Version = R.Text;
        ASSERT_EQ(Add(List, C), R.Ok ? ieOk : ieVersion);
        if (R.Ok) {
            TVersionCondition Stored;
            GetVersionCondition(*List.GetKnownApp(0), Stored);
            EXPECT_EQ(Stored.Operator, R.Op);
            EXPECT_TRUE(VersionsEqual(Stored.Version, R.V));
        }
    }
    Tknownapplist List;
    ASSERT_EQ(Add(List, Cells()), ieOk);
    EXPECT_EQ(List.GetKnownApp(0)->VersionCondition.Operator, vcNone);
    EXPECT_EQ(OperatorText(vcNone), "");
}

TEST(KnownApps, PlainCellsAndNumbers)
{
    Tknownapplist List;
    Cells C;
    C.Name = "Spaced  Name";
    C.ExeSize = " 1234 ";
    C.Age = "7";
    C.Problems = "crashes; at start";
    C.Number = " 2";
    ASSERT_EQ(Add(List, C), ieOk);
    C.ExeSize = "12k";
    C.Age = "x";
    C.Number = "";
    ASSERT_EQ(Add(List, C), ieOk);

    const Tknownapp* A = List.GetKnownApp(0);
    EXPECT_EQ(A->Name, "Spaced  Name");
    EXPECT_EQ(A->FilesNeeded, "tool*.exe;tool.rom");
    EXPECT_EQ(A->URL, "http://example.invalid/");
    EXPECT_EQ(A->Problems, "crashes; at start");
    EXPECT_EQ(A->ExeSize, 1234);
    EXPECT_EQ(A->Age, 7);
    EXPECT_EQ(A->WindowNumber, 2);
    const Tknownapp* B = List.GetKnownApp(1);
    EXPECT_EQ(B->ExeSize, 0);
    EXPECT_EQ(B->Age, 0);
    EXPECT_EQ(B->WindowNumber, 0);
}

// The rules text splits cells at '|', lines at line breaks and trims cells:
// such texts would come back altered. A category that begins with ';' is
// left to the editor, as the reader takes it from a later Category column.
TEST(KnownApps, TextsTheRulesTextCannotCarryAreRefused)
{
    struct Row {
        std::string Cells::*Field;
        std::string Value;
        std::uint8_t Code;
    };
    const Row Rows[] = {
        {&Cells::Name, "Tool|Author", ieText},
        {&Cells::Name, " Tool", ieText},
        {&Cells::Name, "Tool ", ieText},
        {&Cells::Name, "Tool\tx", ieOk},
        {&Cells::Name, "", ieOk},
        {&Cells::Name, ";Tool", ieOk},
        {&Cells::Category, "Emu|lators", ieText},
        {&Cells::Category, ";Emulators", ieOk},
        {&Cells::Category, "Emu;lators", ieOk},
        {&Cells::Category, "", ieOk},
        {&Cells::FilesNeeded, "a.exe|b.rom", ieText},
        {&Cells::URL, "http://x.invalid/\r\n", ieText},
        {&Cells::Problems, "first\nsecond", ieText},
        {&Cells::Problems, "\tindented", ieText},
        {&Cells::Title, "\"a|b\"", ieWindowTitle},
        {&Cells::Title, "\" padded \"", ieOk},
        {&Cells::Class, "\"a\rb\"", ieWindowClass},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE("'" + R.Value + "'");
        Tknownapplist List;
        Cells C;
        C.*R.Field = R.Value;
        ASSERT_EQ(Add(List, C), R.Code);
        EXPECT_EQ(List.Count(), R.Code == ieOk ? 1 : 0);
    }
    Tappwindowlist Rules;
    EXPECT_EQ(AddWindowRule(Rules, "\"a|b.exe\"", "", ""), ieExeFile);
    EXPECT_EQ(AddWindowRule(Rules, "", "\"a\nb\"", ""), ieWindowTitle);
    EXPECT_EQ(AddWindowRule(Rules, "", "", "\"a|b\""), ieWindowClass);
    EXPECT_EQ(Rules.Count(), 0);
}

TEST(KnownApps, TitleAndClassQuoting)
{
    struct Row {
        std::string Title, Class;
        std::uint8_t Code;
        std::string OutTitle, OutClass;
    };
    const Row Rows[] = {
        {"", "", 0, NotGiven, NotGiven},
        {Quoted(48), Quoted(48), 0, std::string(48, 'w'), std::string(48, 'w')},
        {Quoted(49), "", ieWindowTitle, "", ""},
        {"", Quoted(49), ieWindowClass, "", ""},
        {"Main", "", ieWindowTitle, "", ""},
        {"\"Main", "", ieWindowTitle, "", ""},
        {"Main\"", "", ieWindowTitle, "", ""},
        {"\"", "\"\"", 0, "", ""},
        {"\"a\"b\"", "\" padded \"", 0, "a\"b", " padded "},
        {"bad", "bad", ieWindowTitle, "", ""},
        {"\"ok\"", "bad", ieWindowClass, "", ""},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE("'" + R.Title + "' / '" + R.Class + "'");
        Tknownapplist List;
        Cells C;
        C.Title = R.Title;
        C.Class = R.Class;
        ASSERT_EQ(Add(List, C), R.Code);
        ASSERT_EQ(List.Count(), R.Code == 0 ? 1 : 0);
        if (R.Code == 0) {
            EXPECT_EQ(List.GetKnownApp(0)->WindowTitle, R.OutTitle);
            EXPECT_EQ(List.GetKnownApp(0)->WindowClass, R.OutClass);
        }
    }
}

TEST(KnownApps, NotGivenDiffersFromEmptyText)
{
    EXPECT_EQ(NotGiven.size(), 1u);
    EXPECT_EQ(NotGiven[0], '\0');
    std::string Empty = "x", Unset = "x";
    ASSERT_TRUE(UnquoteString("\"\"", 50, Empty));
    ASSERT_TRUE(UnquoteString("", 50, Unset));
    EXPECT_NE(Empty, Unset);
    EXPECT_EQ(Empty, "");
    EXPECT_EQ(Unset, NotGiven);
    std::string Failed = "x";
    EXPECT_FALSE(UnquoteString(Quoted(3), 4, Failed));
    EXPECT_EQ(Failed, "");
    EXPECT_TRUE(UnquoteString(Quoted(3), 5, Failed));
}

TEST(KnownApps, FirstErrorWins)
{
    struct Row {
        std::string Version, Method, Title, Class;
        std::uint8_t Code;
    };
    const Row Rows[] = {
        {"=1.0", "run", "", "", ieVersion},
        {"", "run", "bad", "bad", ieMethod},
        {"", "bind; minsize=1", "bad", "", ieWindowSize},
        {"", "bind; bogus", "bad", "", ieMethodItem},
        {"", "bind", "bad", "bad", ieWindowTitle},
        {"", "external", "", "bad", ieWindowClass},
    };
    for (const Row& R : Rows) {
        Tknownapplist List;
        Cells C;
        C.Version = R.Version;
        C.Method = R.Method;
        C.Title = R.Title;
        C.Class = R.Class;
        EXPECT_EQ(Add(List, C), R.Code) << R.Version << " / " << R.Method;
        EXPECT_EQ(List.Count(), 0);
    }
}

TEST(KnownApps, CategoriesShareCaseAndSurviveFailedRows)
{
    Tknownapplist List;
    Cells C;
    C.Category = "Emulators";
    ASSERT_EQ(Add(List, C), ieOk);
    C.Category = "EMULATORS";
    ASSERT_EQ(Add(List, C), ieOk);
    C.Category = "Tools";
    ASSERT_EQ(Add(List, C), ieOk);
    C.Category = "Broken";
    C.Title = "unquoted";
    ASSERT_EQ(Add(List, C), ieWindowTitle);
    C.Category = "\xC4rger";
    C.Title = "";
    ASSERT_EQ(Add(List, C), ieOk);
    C.Category = "\xE4rger";
    ASSERT_EQ(Add(List, C), ieOk);
    C.Category = "broken";
    ASSERT_EQ(Add(List, C), ieOk);

    EXPECT_EQ(List.Categories, StringList({"Emulators", "Tools", "Broken", "\xC4rger", "\xE4rger"}));
    ASSERT_EQ(List.Count(), 6);
    const int Expected[] = {0, 0, 1, 3, 4, 2};
    for (int I = 0; I < 6; ++I)
        EXPECT_EQ(List.GetKnownApp(I)->CategoryIndex, Expected[I]) << I;
    EXPECT_EQ(IndexOfCategory(List.Categories, "tools"), 1);
    EXPECT_EQ(IndexOfCategory(List.Categories, "Tool"), -1);
}

TEST(KnownApps, WindowRulesCheckExeThenTitleThenClass)
{
    struct Row {
        std::string Exe, Title, Class;
        std::uint8_t Code;
    };
    const Row Rows[] = {
        {"x.exe", "bad", "bad", ieExeFile},
        {"", "bad", "bad", ieWindowTitle},
        {"\"x.exe\"", "", "bad", ieWindowClass},
        {"\"x*.exe\"", "\"Title\"", "\"Class\"", ieOk},
        {"", "", "", ieOk},
        // Longer than the known-applications limit: the rules reader keeps such
        // cells, so re-adding them from the table must keep them too.
        {Quoted(79), Quoted(200), Quoted(120), ieOk},
    };
    Tappwindowlist List;
    int Added = 0;
    for (const Row& R : Rows) {
        ASSERT_EQ(AddWindowRule(List, R.Exe, R.Title, R.Class), R.Code) << R.Exe;
        ASSERT_EQ(List.Count(), Added + (R.Code == ieOk ? 1 : 0));
        if (R.Code == ieOk)
            ++Added;
    }
    EXPECT_EQ(List.GetAppWindow(0)->ExePattern, "x*.exe");
    EXPECT_EQ(List.GetAppWindow(0)->WindowTitle, "Title");
    EXPECT_EQ(List.GetAppWindow(0)->WindowClass, "Class");
    EXPECT_EQ(List.GetAppWindow(1)->ExePattern, NotGiven);
    EXPECT_EQ(List.GetAppWindow(1)->WindowClass, NotGiven);
    EXPECT_EQ(List.GetAppWindow(2)->ExePattern, std::string(79, 'w'));
    EXPECT_EQ(List.GetAppWindow(2)->WindowTitle, std::string(200, 'w'));
    EXPECT_EQ(List.GetAppWindow(2)->WindowClass, std::string(120, 'w'));
    EXPECT_EQ(List.GetAppWindow(3), nullptr);
    EXPECT_EQ(List.GetAppWindow(-1), nullptr);
}

TEST(KnownApps, AssignMovesEntriesAndCopiesState)
{
    Tknownapplist Source, Target;
    Cells C;
    C.Name = "First";
    ASSERT_EQ(Add(Source, C), ieOk);
    C.Name = "Second";
    C.Category = "Tools";
    ASSERT_EQ(Add(Source, C), ieOk);
    Source.Modified = true;
    Source.RulesDate = 41753;
    C.Category = "Stale";
    ASSERT_EQ(Add(Target, C), ieOk);
    const Tknownapp* First = Source.GetKnownApp(0);
    const Tknownapp* Second = Source.GetKnownApp(1);

    Target.Assign(Source);
    EXPECT_EQ(Source.Count(), 0);
    EXPECT_EQ(Source.Categories, StringList({"Emulators", "Tools"}));
    ASSERT_EQ(Target.Count(), 2);
    EXPECT_EQ(Target.GetKnownApp(0), First);
    EXPECT_EQ(Target.GetKnownApp(1), Second);
    EXPECT_EQ(Target.GetKnownApp(1)->Name, "Second");
    EXPECT_EQ(Target.Categories, StringList({"Emulators", "Tools"}));
    EXPECT_TRUE(Target.Modified);
    EXPECT_EQ(Target.RulesDate, 41753);

    Target.Clear();
    EXPECT_EQ(Target.Count(), 0);
    EXPECT_TRUE(Target.Categories.empty());
    EXPECT_TRUE(Target.Modified);
    EXPECT_EQ(Target.RulesDate, 41753);
    EXPECT_EQ(Target.GetKnownApp(0), nullptr);
    EXPECT_EQ(Source.GetKnownApp(-1), nullptr);

    Tappwindowlist From, To;
    From.AddAppWindow("a.exe", NotGiven, "C");
    From.AddAppWindow("b.exe", "T", NotGiven);
    From.Modified = true;
    To.AddAppWindow("old.exe", "", "");
    const Tappwindow* Rule = From.GetAppWindow(1);
    To.Assign(From);
    EXPECT_EQ(From.Count(), 0);
    ASSERT_EQ(To.Count(), 2);
    EXPECT_EQ(To.GetAppWindow(0)->ExePattern, "a.exe");
    EXPECT_EQ(To.GetAppWindow(1), Rule);
    EXPECT_TRUE(To.Modified);
}

}  // namespace
