#include "hosting/RulesFile.h"

#include "hosting/RulesTestSupport.h"

#include <gtest/gtest.h>

#include <random>

namespace {

const std::string KnownHeaderRow =
    "Category|Application name|Age|Version|Exe size|Method|Files needed|URL|Problems|"
    "Window #|Window Title|Window Class";
const std::string WindowHeaderRow = "EXE file|Window title|Window class";

TDateTime Date(int Y, int M, int D)
{
    TDateTime R = 0;
    EXPECT_TRUE(TryEncodeDate(Y, M, D, R));
    return R;
}

void AddRow(const std::string& Category, const std::string& Name, const std::string& Version,
            const std::string& ExeSize, const std::string& Method, const std::string& Files,
            const std::string& Age, const std::string& URL, const std::string& Problems,
            const std::string& Title, const std::string& Class, const std::string& Number)
{
    ASSERT_EQ(AddKnownApp(KnownApps, Category, Name, Version, ExeSize, Method, Files, Age, URL,
                          Problems, Title, Class, Number),
              ieOk)
        << Name;
}

class RulesFile : public ::testing::Test {
protected:
    void SetUp() override { ClearDatabase(); }
    void TearDown() override { ClearDatabase(); }
};

// ------------------------------------------------------------------ writer

TEST_F(RulesFile, ForbiddenWindowWrittenAsSixLines)
{
    ForbiddenWindows.AddAppWindow("zx81.exe", NotGiven, NotGiven);
    const StringList Expected = {
        "",
        "[Forbidden Windows]",
        "",
        " EXE file:  | Window title:| Window class:",
        "------------+--------------+--------------",
        " \"zx81.exe\" |              |  ",
    };
    EXPECT_EQ(WrittenRules(), Expected);
}

TEST_F(RulesFile, KnownAppTableGolden)
{
    KnownApps.RulesDate = Date(2014, 4, 24);
    AddRow("Tools", "Alpha", ">= 1.2", "4096", "bind; minsize = 640 , 480; No Title",
           "a.exe;a.dat", "12", "", "", "\"Main\"", "\"TMain\"", "1");
    AddRow("Emu", "Beta Emulator", "? 0", "", "external", "b*.exe", "-4", "http://x.org/", "", "",
           "", "");
    AddRow("tools", "Gamma", "= 2", "", "unsupported", "g.exe", "3", "", "Slow", "\"Side\"", "",
           "2");
    AddCategory(KnownApps.Categories, "Empty");
    AllowedWindows.AddAppWindow("", "Title with \"quotes\"", NotGiven);

    const StringList Expected = {
        "[Version]",
        "2014 April 24",
        "",
        "[Known Applications]",
        "",
        " Category:| Application name:| Age:| Version:| Exe size:| Method:                         | Files needed:| URL:          | Problems:| Window #:| Window Title:| Window Class:",
        "----------+------------------+-----+---------+----------+---------------------------------+--------------+---------------+----------+----------+--------------+--------------",
        " Tools    | Alpha            | 12  | >= 1.2  |     4096 | bind; no title; minsize=640,480 | a.exe;a.dat  |               |          |    1     | \"Main\"       | \"TMain\" ",
        " Tools    | Gamma            |  3  | =  2.0  |          | unsupported                     | g.exe        |               | Slow     |    2     | \"Side\"       |  ",
        "----------+------------------+-----+---------+----------+---------------------------------+--------------+---------------+----------+----------+--------------+--------------",
        " Emu      | Beta Emulator    |     | ?  0    |          | external                        | b*.exe       | http://x.org/ |          |          |              |  ",
        "----------+------------------+-----+---------+----------+---------------------------------+--------------+---------------+----------+----------+--------------+--------------",
        "",
        "[Allowed Windows]",
        "",
        " EXE file:| Window title:         | Window class:",
        "----------+-----------------------+--------------",
        " \"\"       | \"Title with \"quotes\"\" |  ",
    };
    EXPECT_EQ(WrittenRules(), Expected);
}

TEST_F(RulesFile, WriterAppendsAndSkipsEmptyTables)
{
    KnownApps.RulesDate = Date(2020, 1, 1);
    StringList Lines = {"; kept"};
    WriteApplicationRules(Lines);
    EXPECT_EQ(Lines, StringList{"; kept"});

    AllowedWindows.AddAppWindow(NotGiven, "T", NotGiven);
    WriteApplicationRules(Lines);
    ASSERT_EQ(Lines.size(), 7u);
    EXPECT_EQ(Lines[2], "[Allowed Windows]");
    EXPECT_EQ(Lines[6], "          | \"T\"          |  ");
}

TEST_F(RulesFile, MethodCellOptionsInFixedOrder)
{
    const struct {
        std::string Method, Cell;
    } Cases[] = {
        {"unsupported; anything", "unsupported"},
        {"External", "external"},
        {"bind", "bind"},
        {"bind; only 1x; minsize=start; hard sizing; no title",
         "bind; no title; hard sizing; minsize=start; only 1x"},
        {"bind; minsize=0,0", "bind"},
        {"bind; minsize=-1,7", "bind; minsize=-1,7"},
        {"bind; minsize=0,5", "bind; minsize=0,5"},
    };
    for (const auto& C : Cases) {
        ClearDatabase();
        AddRow("C", "N", "", "", C.Method, "n.exe", "", "", "", "", "", "");
        EXPECT_EQ(KnownAppFieldText(kcMethod, 0), " " + C.Cell + " ") << C.Method;
    }
}

TEST_F(RulesFile, VersionCellsReadBackForEveryOperator)
{
    const struct {
        std::string Cell, Written;
    } Cases[] = {
        {"= 1.2", "=  1.2"},       {"< 3", "<  3.0"},     {"<=1.2.3.4", "<= 1.2.3.4"},
        {"> 0.0.0.1", ">  0.0.0.1"}, {">= 65535.1", ">= 65535.1"}, {"? 0", "?  0"},
        {"= 0.0", "=  0"},         {"<= 0", "<= 0"},
    };
    for (const auto& C : Cases) {
        ClearDatabase();
        AddRow("C", "N", C.Cell, "", "bind", "n.exe", "", "", "", "", "", "");
        const TVersionCondition Before = KnownApps.GetKnownApp(0)->VersionCondition;
        EXPECT_EQ(FormatVersionCondition(Before), C.Written);
        int ErrorLine;
        ASSERT_EQ(ReadFresh(WrittenRules(), ErrorLine), ieOk) << C.Cell << " line " << ErrorLine;
        const TVersionCondition After = KnownApps.GetKnownApp(0)->VersionCondition;
        EXPECT_EQ(After.Operator, Before.Operator) << C.Cell;
        EXPECT_TRUE(VersionsEqual(After.Version, Before.Version)) << C.Cell;
    }
    EXPECT_EQ(FormatVersionCondition(TVersionCondition()), "");
}

// ------------------------------------------------------------- round trips

void FillSampleDatabase()
{
    KnownApps.RulesDate = Date(2019, 2, 28);
    AddRow("Emulators", "Alpha", "< 2.0", "", "unsupported", "alpha.exe", "", "http://a/",
           "Too old", "", "", "");
    AddRow("Tools", "Beta", "", "100", "bind; no title; minsize=start", "beta*.exe;beta.dat", "2",
           "", "", "\"Beta\"", "\"TBeta\"", "1");
    AddRow("Emulators", "Alpha", ">= 2.0", "", "bind; hard sizing; only 1x; minsize=320,200",
           "alpha.exe", "", "http://a/", "", "", "\"TAlpha\"", "");
    AddRow("Tools", "Beta Palette", "? 0", "", "bind", "beta*.exe", "", "", "", "\"Palette\"", "",
           "2");
    AllowedWindows.AddAppWindow("beta*.exe", "Palette", NotGiven);
    ForbiddenWindows.AddAppWindow(NotGiven, NotGiven, "TApplication");
    ForbiddenWindows.AddAppWindow("", "", "");
}

TEST_F(RulesFile, WriteReadWriteIsIdentical)
{
    FillSampleDatabase();
    const StringList First = WrittenRules();
    int ErrorLine = -1;
    ASSERT_EQ(ReadFresh(First, ErrorLine), ieOk);
    EXPECT_EQ(ErrorLine, 0);
    EXPECT_EQ(WrittenRules(), First);
    // Entries come back grouped by category.
    const char* const Order[] = {"Alpha", "Alpha", "Beta", "Beta Palette"};
    ASSERT_EQ(KnownApps.Count(), 4);
    for (int I = 0; I < 4; ++I)
        EXPECT_EQ(KnownApps.GetKnownApp(I)->Name, Order[I]);
}

TEST_F(RulesFile, OneCategoryTwoEntriesRoundTrip)
{
    KnownApps.RulesDate = Date(2016, 7, 1);
    AddRow("Emulators", "First", "<= 1.5.2", "2048", "bind; no title; minsize=start; only 1x",
           "first.exe;first.rom", "4", "http://f/", "", "\"First\"", "", "1");
    AddRow("EMULATORS", "Second", "> 3.1", "", "bind; hard sizing; minsize=640,480",
           "sec*.exe", "", "", "Flickers", "", "\"TSecond\"", "2");
    AddCategory(KnownApps.Categories, "Unused");
    KnownApps.GetKnownApp(1)->Age = -5;
    KnownApps.GetKnownApp(1)->ExeSize = -1;
    KnownApps.Modified = true;
    const std::string Before = DescribeDatabase();
    const StringList Text = WrittenRules();

    ClearDatabase();
    KnownApps.RulesDate = Date(2016, 6, 30);
    int ErrorLine;
    ASSERT_EQ(ReadApplicationRules(Text, ErrorLine), ieOk);
    EXPECT_FALSE(KnownApps.Modified);
    EXPECT_EQ(KnownApps.Categories, StringList{"Emulators"});
    EXPECT_EQ(KnownApps.GetKnownApp(1)->Age, 0);
    EXPECT_EQ(KnownApps.GetKnownApp(1)->ExeSize, 0);
    // Apart from the unused category and the negative numbers, all came back.
    KnownApps.Categories.push_back("Unused");
    KnownApps.GetKnownApp(1)->Age = -5;
    KnownApps.GetKnownApp(1)->ExeSize = -1;
    EXPECT_EQ(DescribeDatabase(), Before);
}

TEST_F(RulesFile, TableBreakingTextsAreWrittenSafely)
{
    AddRow("Comment-like", "Name", "", "", "bind", "n.exe", "", "", "", "", "", "");
    KnownApps.Categories[0] = ";Comment-like";
    Tknownapp& E = *KnownApps.GetKnownApp(0);
    E.Name = "  Pipe|Name\r\nNext  ";
    E.Problems = std::string("Nul\0inside", 10);
    E.URL = "\thttp://u/ ";
    E.WindowTitle = "Line\nbreak|bar";
    E.WindowClass = std::string(60, 'c');
    ForbiddenWindows.AddAppWindow("a|b.exe", " spaced ", "cr\rclass");

    const StringList First = WrittenRules();
    int ErrorLine;
    ASSERT_EQ(ReadFresh(First, ErrorLine), ieOk) << "line " << ErrorLine;
    ASSERT_EQ(KnownApps.Count(), 1);
    const Tknownapp& R = *KnownApps.GetKnownApp(0);
    EXPECT_EQ(KnownApps.Categories, StringList{"Comment-like"});
    EXPECT_EQ(R.Name, "Pipe Name  Next");
    EXPECT_EQ(R.Problems, "Nul inside");
    EXPECT_EQ(R.URL, "http://u/");
    EXPECT_EQ(R.WindowTitle, "Line break bar");
    EXPECT_EQ(R.WindowClass, std::string(48, 'c'));
    ASSERT_EQ(ForbiddenWindows.Count(), 1);
    const Tappwindow& W = *ForbiddenWindows.GetAppWindow(0);
    EXPECT_EQ(W.ExePattern, "a b.exe");
    EXPECT_EQ(W.WindowTitle, " spaced ");
    EXPECT_EQ(W.WindowClass, "cr class");
    EXPECT_EQ(WrittenRules(), First);
}

TEST_F(RulesFile, CodesTheReaderWouldRefuseAreNotWritten)
{
    AddRow("C", "N", "> 1.0", "", "bind", "n.exe", "", "", "", "", "", "");
    Tknownapp& E = *KnownApps.GetKnownApp(0);
    E.Method = 0;
    E.VersionCondition.Operator = 0x4141;
    EXPECT_EQ(KnownAppFieldText(kcVersion, 0), "  ");
    EXPECT_EQ(KnownAppFieldText(kcMethod, 0), " unsupported ");
    int ErrorLine;
    EXPECT_EQ(ReadFresh(WrittenRules(), ErrorLine), ieOk);
}

// ------------------------------------------------------------------ reader

struct ErrorCase {
    const char* Name;
    StringList Lines;
    std::uint8_t Code;
    int Line;
};

TEST_F(RulesFile, EveryErrorCodeWithItsLineLeavesDatabaseAlone)
{
    const std::string Row = "C|N||||bind|n.exe|||||";
    const ErrorCase Cases[] = {
        {"equal date", {"[Version]", "2015 May 5"}, ieOldVersion, 2},
        {"older date", {"", "[version]", "2015 may 6", "2014 1 1"}, ieOldVersion, 4},
        {"header lacks Window #",
         {"[Known Applications]",
          "Category|Application name|Age|Version|Exe size|Method|Files needed|URL|Problems|"
          "Window Title|Window Class",
          "", "----", Row},
         ieMissingAppColumns, 5},
        {"no header before rows", {"[Known Applications]", KnownHeaderRow + "x", Row}, ieMissingAppColumns, 3},
        {"one quote", {"[Allowed Windows]", WindowHeaderRow, "\"|\"t\"|"}, ieInvalidWindowParameter, 3},
        {"unquoted title", {"[Forbidden Windows]", WindowHeaderRow, "\"a\"|t|\"c\""}, ieInvalidWindowParameter, 3},
        {"half quoted class", {"[Forbidden Windows]", WindowHeaderRow, "||\"c"}, ieInvalidWindowParameter, 3},
        {"window header lacks class", {"[Forbidden Windows]", "EXE file|Window title", "||"}, ieMissingWindowColumns, 3},
        {"bad date", {"[Version]", "2014 April 31"}, ieInvalidDate, 2},
        {"date in wrong order", {"x", "[Version]", "24 April 2014"}, ieInvalidDate, 3},
        {"window title", {"[Known Applications]", KnownHeaderRow, "C|N||||bind|n.exe||||title|\"c\""}, ieWindowTitle, 3},
        {"window class", {"[Known Applications]", KnownHeaderRow, "C|N||||bind|n.exe|||||class"}, ieWindowClass, 3},
        {"version", {"[Known Applications]", KnownHeaderRow, Row, "C|N||=1.0||run|n.exe|||||"}, ieVersion, 4},
        {"window size", {"[Known Applications]", KnownHeaderRow, "C|N||||bind;minsize=640|n.exe|||||"}, ieWindowSize, 3},
        {"method item", {"[Known Applications]", KnownHeaderRow, "C|N||||bind;|n.exe|||||"}, ieMethodItem, 3},
        {"method", {"[Known Applications]", KnownHeaderRow, "C|N||||run|n.exe|||||"}, ieMethod, 3},
    };
    for (const ErrorCase& C : Cases) {
        ClearDatabase();
        FillSampleDatabase();
        KnownApps.RulesDate = Date(2015, 5, 5);
        KnownApps.Modified = true;
        const std::string Before = DescribeDatabase();
        int ErrorLine = -1;
        EXPECT_EQ(ReadApplicationRules(C.Lines, ErrorLine), C.Code) << C.Name;
        EXPECT_EQ(ErrorLine, C.Line) << C.Name;
        EXPECT_EQ(DescribeDatabase(), Before) << C.Name;
        EXPECT_TRUE(KnownApps.Modified) << C.Name;
    }
}

TEST_F(RulesFile, SuccessReplacesAllThreeLists)
{
    FillSampleDatabase();
    KnownApps.Modified = AllowedWindows.Modified = ForbiddenWindows.Modified = true;
    int ErrorLine;
    ASSERT_EQ(ReadApplicationRules({"[Version]", "2019 March 1", "[Known Applications]",
                                    KnownHeaderRow, "New|Only||||external|o.exe|||||"},
                                   ErrorLine),
              ieOk);
    EXPECT_EQ(KnownApps.Count(), 1);
    EXPECT_EQ(KnownApps.Categories, StringList{"New"});
    EXPECT_EQ(KnownApps.RulesDate, Date(2019, 3, 1));
    EXPECT_EQ(AllowedWindows.Count(), 0);
    EXPECT_EQ(ForbiddenWindows.Count(), 0);
    EXPECT_FALSE(KnownApps.Modified || AllowedWindows.Modified || ForbiddenWindows.Modified);
}

// A file beside the program that holds no table must not replace the
// database the registry gave.
TEST_F(RulesFile, TextWithoutTablesIsRefusedAndDatabaseKept)
{
    std::mt19937 Rng(5101);
    std::string Random(1 << 20, '\0');
    for (char& C : Random)
        C = static_cast<char>(Rng());
    StringList RandomLines;
    TextToLines(Random, RandomLines);
    const struct {
        const char* Name;
        StringList Lines;
        int Line;
    } Cases[] = {
        {"empty", {}, 1},
        {"comment only", {"; nothing but a note"}, 1},
        {"lines before any header", {"2014 April 24", "Category|Name", "junk | junk"}, 3},
        {"version only", {"[Version]", "2020 May 1", ""}, 3},
        {"one 10 MB line", {std::string(10 << 20, 'x')}, 1},
        {"1 MB of random bytes", RandomLines, static_cast<int>(RandomLines.size())},
    };
    for (const auto& C : Cases) {
        ClearDatabase();
        FillSampleDatabase();
        const std::string Before = DescribeDatabase();
        int ErrorLine = -1;
        EXPECT_EQ(ReadApplicationRules(C.Lines, ErrorLine), ieMissingAppColumns) << C.Name;
        EXPECT_EQ(ErrorLine, C.Line) << C.Name;
        EXPECT_EQ(DescribeDatabase(), Before) << C.Name;
    }
    int ErrorLine;
    ASSERT_EQ(ReadApplicationRules({"; rules", "[Known Applications]", KnownHeaderRow,
                                    "New|Only||||external|o.exe|||||"},
                                   ErrorLine),
              ieOk);
    EXPECT_EQ(KnownApps.Count(), 1);
}

TEST_F(RulesFile, HeaderRecognition)
{
    const struct {
        const char* Name;
        StringList Lines;
        std::uint8_t Code;
    } Cases[] = {
        {"blanks around section", {"  [known applications]  ", KnownHeaderRow, "C|N||||bind|n|||||"}, ieOk},
        {"colons and blanks",
         {"[Known Applications]",
          " Category: | Application name: |AGE:|version|Exe size:|Method|Files needed|URL|"
          "Problems|window #:|Window Title|Window Class:",
          "C|N||||bind|n|||||"},
         ieOk},
        {"blank before colon",
         {"[Known Applications]", "Category :" + KnownHeaderRow.substr(8), "C|N||||bind|n|||||"},
         ieMissingAppColumns},
        {"two colons", {"[Known Applications]", "Category::" + KnownHeaderRow.substr(8), "C|N||||bind|n|||||"},
         ieMissingAppColumns},
        {"header without rows", {"[Known Applications]", "Category|Application name"}, ieOk},
        {"comment and rule lines skipped",
         {"[Allowed Windows]", "; note", "+-+-", WindowHeaderRow, "---+---", "\"a\"||"}, ieOk},
    };
    for (const auto& C : Cases) {
        ClearDatabase();
        int ErrorLine;
        const std::uint8_t Code = ReadApplicationRules(C.Lines, ErrorLine);
        EXPECT_EQ(Code, C.Code) << C.Name;
        EXPECT_EQ(ErrorLine, C.Code == ieOk ? 0 : 3) << C.Name;
    }
}

TEST_F(RulesFile, ColumnsInAnyOrderLaterDuplicateWins)
{
    int ErrorLine;
    ASSERT_EQ(ReadApplicationRules(
                  {"[Known Applications]",
                   "Window Class|URL|Application name|Problems|Category|Window #|Age|Version|"
                   "Exe size|Method|Files needed|Window Title|Extra|Application name",
                   "\"K\"|u|ignored|p|Cat|3|7|> 1.5|99|bind|f.exe|\"T\"|x|Real"},
                  ErrorLine),
              ieOk);
    const Tknownapp& E = *KnownApps.GetKnownApp(0);
    EXPECT_EQ(E.Name, "Real");
    EXPECT_EQ(E.WindowClass, "K");
    EXPECT_EQ(E.WindowTitle, "T");
    EXPECT_EQ(E.WindowNumber, 3);
    EXPECT_EQ(E.Age, 7);
    EXPECT_EQ(E.ExeSize, 99);
    EXPECT_EQ(E.VersionCondition.Operator, vcGreater);
}

// Only a row's first cell can make it a comment: a category that begins
// with ';' imports from a table whose Category column stands later.
TEST_F(RulesFile, CategoryColumnLastMayBeginWithSemicolon)
{
    int ErrorLine;
    ASSERT_EQ(ReadApplicationRules(
                  {"[Known Applications]",
                   "Application name|Age|Version|Exe size|Method|Files needed|URL|Problems|"
                   "Window #|Window Title|Window Class|Category",
                   "Packer||||external|pack.exe||||||;Tools",
                   "Spin||> 1.5||bind; no title|spin.exe||||\"Spin\"||Emulators",
                   "Unpacker||||unsupported|unpack.exe||||||;TOOLS"},
                  ErrorLine),
              ieOk)
        << "line " << ErrorLine;
    EXPECT_EQ(KnownApps.Categories, StringList({";Tools", "Emulators"}));
    std::string Entries;
    for (int I = 0; I < KnownApps.Count(); ++I) {
        const Tknownapp& E = *KnownApps.GetKnownApp(I);
        Entries += E.Name + " " + IntToStr(E.CategoryIndex) + " " + IntToStr(E.Method) + " " +
                   ShowText(E.WindowTitle) + "\n";
    }
    EXPECT_EQ(Entries, "Packer 0 3 <not given>\nSpin 1 2 [Spin]\nUnpacker 0 1 <not given>\n");
}

TEST_F(RulesFile, RepeatedSectionDropsEarlierRows)
{
    int ErrorLine;
    ASSERT_EQ(ReadApplicationRules({"[Known Applications]", KnownHeaderRow, "Old|One||||bind|o|||||",
                                    "[Allowed Windows]", WindowHeaderRow, "\"a\"||",
                                    "[Known Applications]", KnownHeaderRow, "New|Two||||bind|t|||||",
                                    "[Allowed Windows]", WindowHeaderRow},
                                   ErrorLine),
              ieOk);
    ASSERT_EQ(KnownApps.Count(), 1);
    EXPECT_EQ(KnownApps.GetKnownApp(0)->Name, "Two");
    EXPECT_EQ(KnownApps.Categories, StringList{"New"});
    EXPECT_EQ(AllowedWindows.Count(), 0);
}

TEST_F(RulesFile, WindowCellsAndMissingCells)
{
    const std::string Long = "\"" + std::string(300, 'w') + "\"";
    int ErrorLine;
    ASSERT_EQ(ReadApplicationRules({"[Forbidden Windows]", WindowHeaderRow, Long + "|\"\"", "  "},
                                   ErrorLine),
              ieOk);
    const Tappwindow& W = *ForbiddenWindows.GetAppWindow(0);
    EXPECT_EQ(W.ExePattern, std::string(300, 'w'));
    EXPECT_EQ(W.WindowTitle, "");
    EXPECT_EQ(W.WindowClass, NotGiven);
}

TEST_F(RulesFile, LastDateLineWins)
{
    int ErrorLine;
    ASSERT_EQ(ReadApplicationRules({"[Version]", "2015 1 1", "2016 2 2", "[Known Applications]"},
                                   ErrorLine),
              ieOk);
    EXPECT_EQ(KnownApps.RulesDate, Date(2016, 2, 2));
}

// ------------------------------------------------------------------- dates

TEST_F(RulesFile, ParseRulesDateCases)
{
    const struct {
        const char* Text;
        bool Valid;
        int Y, M, D;
    } Cases[] = {
        {"2014 apr 24", true, 2014, 4, 24},     {"2014 4 24", true, 2014, 4, 24},
        {"2014   April   24", true, 2014, 4, 24}, {"2099 DECEMBER 31", true, 2099, 12, 31},
        {"2016 Febr 29", true, 2016, 2, 29},    {"2013 April 24", false, 0, 0, 0},
        {"2100 April 24", false, 0, 0, 0},      {"2014 April 31", false, 0, 0, 0},
        {"24 April 2014", false, 0, 0, 0},      {"2015 Feb 29", false, 0, 0, 0},
        {"2014 13 1", false, 0, 0, 0},          {"2014 ap 1", false, 0, 0, 0},
        {"2014 Apr 0", false, 0, 0, 0},         {"2014 Apr 1 x", false, 0, 0, 0},
        {"2014 Mai 1", false, 0, 0, 0},
    };
    for (const auto& C : Cases) {
        TDateTime D = -1;
        EXPECT_EQ(ParseRulesDate(C.Text, D), C.Valid) << C.Text;
        if (C.Valid) {
            EXPECT_EQ(D, Date(C.Y, C.M, C.D)) << C.Text;
        }
    }
}

TEST_F(RulesFile, FormatRulesDateUsesFullMonthName)
{
    EXPECT_EQ(FormatRulesDate(Date(2014, 4, 24)), "2014 April 24");
    EXPECT_EQ(FormatRulesDate(Date(2099, 12, 1)), "2099 December 1");
    for (int M = 1; M <= 12; ++M) {
        TDateTime D;
        ASSERT_TRUE(ParseRulesDate(FormatRulesDate(Date(2020, M, 9)), D));
        EXPECT_EQ(D, Date(2020, M, 9));
    }
}

// ------------------------------------------------------------ small pieces

TEST_F(RulesFile, SmallHelpers)
{
    EXPECT_TRUE(IsRuleLine(""));
    EXPECT_FALSE(IsRuleLine("--|--"));
    int Id = -1;
    EXPECT_TRUE(FindColumnName(KnownAppColumns, KnownAppColumnCount, "window #", Id));
    EXPECT_EQ(Id, kcWindowNumber);
    EXPECT_FALSE(FindColumnName(WindowColumns, WindowColumnCount, "Window #", Id));
    EXPECT_EQ(KnownAppFieldText(kcName, 0), "  ");
}

TEST_F(RulesFile, TextToLinesAcceptsEveryLineEnd)
{
    const struct {
        std::string Text;
        StringList Lines;
    } Cases[] = {
        {"", {}},
        {"a", {"a"}},
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        {"a\r\n", {"a"}},
        {"\n\n", {"", ""}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {std::string("\xC4\xE9\0z\t\r\n", 6), {std::string("\xC4\xE9\0z\t", 5)}},
    };
    for (const auto& C : Cases) {
        StringList Lines = {"old"};
        TextToLines(C.Text, Lines);
        EXPECT_EQ(Lines, C.Lines);
    }
}

} // namespace
