#include "hosting/Velmora.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const std::string Nul(1, '\0');

TEST(VelmoraFields, CountGetAndLocate)
{
    struct Row {
        std::string S;
        int Index;
        int Count, Start, Len;
        std::string Field;
    };
    const Row Rows[] = {
        {"", 1, 0, 0, 0, ""},
        {"", 0, 0, 0, 0, ""},
        {"a", 1, 1, 1, 1, "a"},
        {"a", 2, 1, 0, 0, ""},
        {"a", 0, 1, 0, 0, ""},
        {"a", -1, 1, 0, 0, ""},
        {"a|", 2, 2, 3, 0, ""},
        {"|", 1, 2, 1, 0, ""},
        {"|", 2, 2, 2, 0, ""},
        {"|", 3, 2, 0, 0, ""},
        {"a||b", 2, 3, 3, 0, ""},
        {"a||b", 3, 3, 4, 1, "b"},
        {"a||b", 4, 3, 0, 0, ""},
        {"|ab|cde", 1, 3, 1, 0, ""},
        {"|ab|cde", 2, 3, 2, 2, "ab"},
        {"|ab|cde", 3, 3, 5, 3, "cde"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE("'" + R.S + "' #" + std::to_string(R.Index));
        EXPECT_EQ(FieldCount(R.S, '|'), R.Count);
        EXPECT_EQ(GetField(R.S, R.Index, '|'), R.Field);
        int Start = -7, Len = -7;
        LocateField(R.S, R.Index, '|', Start, Len);
        EXPECT_EQ(Start, R.Start);
        if (R.Start != 0 || R.Index < 1 || R.S.empty()) {
            EXPECT_EQ(Len, R.Len);
        }
    }
}

TEST(VelmoraFields, ReplaceField)
{
    struct Row {
        std::string S;
        int Index;
        std::string Value;
        bool Ok;
        std::string Result;
    };
    const Row Rows[] = {
        {"a|b|c", 2, "xy", true, "a|xy|c"},
        {"a|b|c", 1, "", true, "|b|c"},
        {"a|b|c", 3, "z", true, "a|b|z"},
        {"a|b|c", 4, "z", false, "a|b|c"},
        {"a|b|c", 0, "z", false, "a|b|c"},
        {"a||c", 2, "in", true, "a|in|c"},
        {"a|", 2, "end", true, "a|end"},
        {"|a", 1, "start", true, "start|a"},
        {"", 1, "x", false, ""},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE("'" + R.S + "' #" + std::to_string(R.Index));
        std::string S = R.S;
        EXPECT_EQ(ReplaceField(S, R.Index, '|', R.Value), R.Ok);
        EXPECT_EQ(S, R.Result);
        EXPECT_EQ(ReplaceFieldTo(R.S, R.Index, '|', R.Value), R.Result);
    }
}

TEST(VelmoraLists, SplitToStrings)
{
    struct Row {
        std::string Text;
        StringList Items;
    };
    const Row Rows[] = {
        {"a|b|", {"a", "b"}},
        {"|a", {"", "a"}},
        {"a||b", {"a", "", "b"}},
        {"", {}},
        {"|", {""}},
        {"||", {"", ""}},
        {"a|b" + Nul + "|c", {"a", "b"}},
        {Nul + "a|b", {}},
        {"a|" + Nul, {"a"}},
    };
    for (const Row& R : Rows) {
        StringList List = {"stale"};
        SplitToStrings(List, R.Text, '|');
        EXPECT_EQ(List, R.Items) << "text size " << R.Text.size();
    }
}

TEST(VelmoraLists, JoinAndRoundTripWithCarriageReturn)
{
    EXPECT_EQ(JoinStringsChar({"a", "", "b"}, '|'), "a||b");
    EXPECT_EQ(JoinStringsChar({}, '|'), "");
    EXPECT_EQ(JoinStrings({"a", "b", "c"}, ", "), "a, b, c");
    EXPECT_EQ(JoinStrings({"only"}, "--"), "only");

    const StringList Lists[] = {
        {"one"},
        {"C:\\Apps\\x.exe|Tool|1.2", "", "third line"},
        {"", "leading empty"},
        {"a|b", "c;d", "e f"},
    };
    for (const StringList& L : Lists) {
        const std::string Text = JoinStringsChar(L, '\r');
        StringList Back;
        SplitToStrings(Back, Text, '\r');
        EXPECT_EQ(Back, L) << Text;
    }
    // A final empty line has nothing after its separator, so it is not read back.
    StringList Back;
    SplitToStrings(Back, JoinStringsChar({"a", ""}, '\r'), '\r');
    EXPECT_EQ(Back, StringList({"a"}));
}

TEST(VelmoraWidths, PadString)
{
    struct Row {
        std::string S;
        int Width;
        std::uint8_t Mode;
        std::string Result;
    };
    const Row Rows[] = {
        {"ab", 5, 1, "...ab"},   {"ab", 5, 2, ".ab.."},   {"ab", 5, 0, "ab..."},
        {"ab", 5, 7, "ab..."},   {"ab", 6, 2, "..ab.."},  {"a", 4, 2, ".a.."},
        {"", 3, 2, "..."},       {"abc", 4, 2, "abc."},   {"abcdef", 3, 0, "abc"},
        {"abcdef", 3, 1, "abc"}, {"abcdef", 3, 2, "abc"}, {"abc", 3, 1, "abc"},
        {"abc", 0, 0, ""},       {"abc", -2, 1, ""},      {"", 0, 2, ""},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.S + " to " + std::to_string(R.Width) + " mode " + std::to_string(R.Mode));
        std::string S = R.S;
        PadString(S, R.Width, '.', R.Mode);
        EXPECT_EQ(S, R.Result);
        EXPECT_EQ(PadStringTo(R.S, R.Width, '.', R.Mode), R.Result);
    }
    EXPECT_EQ(PadStringTo("ab", 5, ' ', 1), "   ab");
}

TEST(VelmoraWidths, IdentifiersAndSeparators)
{
    EXPECT_EQ(MakeIdentifier("My Module-2 (x)"), "My_Module2_x");
    EXPECT_EQ(MakeIdentifier("\xE4gypt\t\xC4 9"), "gypt_9");
    EXPECT_EQ(MakeIdentifier(""), "");

    const std::pair<std::string, std::string> Rows[] = {
        {";;a;;;b;", "a;b"}, {";", ""}, {";;;", ""}, {"a", "a"}, {"a;b", "a;b"}, {"a;;", "a"},
    };
    for (const auto& R : Rows) {
        std::string S = R.first;
        CollapseSeparators(S, ';');
        EXPECT_EQ(S, R.second) << R.first;
    }
}

TEST(VelmoraNumbers, TryStrToIntAndStrToIntDefTrim)
{
    struct Row {
        std::string S;
        bool Ok;
        int Value;
    };
    const Row Rows[] = {
        {"0", true, 0},
        {"42", true, 42},
        {"2147483647", true, INT_MAX},
        {"-2147483648", true, INT_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"+5", true, 5},
        {"-0", true, 0},
        {"007", true, 7},
        {" 5", true, 5},
        {"5 ", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"+", false, 0},
        {" ", false, 0},
        {"+-5", false, 0},
        {"4x", false, 0},
        {"1.5", false, 0},
    };
    for (const Row& R : Rows) {
        int V = 12345;
        EXPECT_EQ(TryStrToInt(R.S, V), R.Ok) << "'" << R.S << "'";
        EXPECT_EQ(V, R.Ok ? R.Value : 12345) << "'" << R.S << "'";
    }
    EXPECT_EQ(StrToIntDefTrim(" 42 ", -1), 42);
    EXPECT_EQ(StrToIntDefTrim("\t-3\r\n", -1), -3);
    EXPECT_EQ(StrToIntDefTrim("", -1), -1);
    EXPECT_EQ(StrToIntDefTrim("4x", -1), -1);
    EXPECT_EQ(StrToIntDefTrim("   ", 9), 9);
}

TEST(VelmoraText, TrimAndAsciiCase)
{
    EXPECT_EQ(Trim(" \t\r\n\x01 a b \x1F\x7F" + Nul + " "), "a b \x1F\x7F");
    EXPECT_EQ(TrimLeft("\x02 x "), "x ");
    EXPECT_EQ(TrimRight(" x \x02"), " x");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(Trim(" \t "), "");
    // Padded table cells: runs of blanks longer than a machine word, with
    // other trimmed characters inside or beyond them.
    const std::string Blanks(19, ' ');
    const std::pair<std::string, std::string> Cells[] = {
        {" a" + Blanks, "a"},
        {"a\t" + Blanks, "a"},
        {"a" + Blanks + "\x01" + Blanks, "a"},
        {Blanks + "b c" + Blanks + "d", "b c" + Blanks + "d"},
        {Blanks + Blanks, ""},
        {"\x7F" + Blanks, "\x7F"},
    };
    for (const auto& [Text, Trimmed] : Cells) {
        EXPECT_EQ(Trim(Text), Trimmed) << Text.size();
        EXPECT_EQ(TrimView(Text), Trimmed) << Text.size();
    }

    EXPECT_TRUE(SameText("Bind; No Title", "bind; no title"));
    EXPECT_TRUE(SameText("", ""));
    EXPECT_FALSE(SameText("\xE4", "\xC4"));
    EXPECT_FALSE(SameText("abc", "abcd"));
    EXPECT_FALSE(SameText("[", "{"));
    EXPECT_EQ(UpperCaseAscii("a\xE4z"), "A\xE4Z");
    EXPECT_EQ(LowerCaseAscii("A\xC4Z"), "a\xC4z");
}

TEST(VelmoraPaths, ExtractParts)
{
    struct Row {
        std::string File, Path, Name, Ext;
    };
    const Row Rows[] = {
        {"C:\\Apps\\tool.exe", "C:\\Apps\\", "tool.exe", ".exe"},
        {"C:\\my.dir\\readme", "C:\\my.dir\\", "readme", ""},
        {"C:tool.exe", "C:", "tool.exe", ".exe"},
        {"\\\\srv\\share\\a.tar.gz", "\\\\srv\\share\\", "a.tar.gz", ".gz"},
        {"dir/sub/file.", "dir/sub/", "file.", "."},
        {"C:\\Apps\\", "C:\\Apps\\", "", ""},
        {"plain", "", "plain", ""},
        {"", "", "", ""},
    };
    for (const Row& R : Rows) {
        EXPECT_EQ(ExtractFilePath(R.File), R.Path) << R.File;
        EXPECT_EQ(ExtractFileName(R.File), R.Name) << R.File;
        EXPECT_EQ(ExtractFileExt(R.File), R.Ext) << R.File;
    }
}

TEST(VelmoraPaths, MinimizeNameByCharacterCount)
{
    const auto Chars = [](const std::string& S) { return static_cast<int>(S.size()); };
    struct Row {
        std::string File;
        int Max;
        std::string Result;
    };
    const Row Rows[] = {
        {"C:\\Program Files\\Tools\\app.exe", 30, "C:\\Program Files\\Tools\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 29, "C:\\...\\Tools\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 19, "C:\\...\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 13, "...\\app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 10, "app.exe"},
        {"C:\\Program Files\\Tools\\app.exe", 0, "app.exe"},
        {"C:\\app.exe", 5, "app.exe"},
        {"\\app.exe", 5, "app.exe"},
        {"C:app.exe", 5, "app.exe"},
        {"\\\\srv\\share\\app.exe", 18, "\\...\\share\\app.exe"},
        {"\\\\srv\\share\\app.exe", 17, "\\...\\app.exe"},
        {"\\\\srv\\share\\app.exe", 11, "...\\app.exe"},
        {"\\\\srv\\share\\app.exe", 10, "app.exe"},
        // A folder path with its final delimiter set aside keeps its own name.
        {"C:\\Users\\me\\Documents\\Projects", 20, "C:\\...\\Projects"},
    };
    for (const Row& R : Rows)
        EXPECT_EQ(MinimizeName(R.File, Chars, R.Max), R.Result) << R.File << " in " << R.Max;
}

TEST(VelmoraDates, KnownValuesAndValidity)
{
    struct Row {
        int Y, M, D;
        bool Valid;
        double Day;
    };
    const Row Rows[] = {
        {1899, 12, 30, true, 0},   {1899, 12, 31, true, 1},  {1900, 1, 1, true, 2},
        {1900, 3, 1, true, 61},    {2014, 4, 24, true, 41753}, {2000, 2, 29, true, 36585},
        {1899, 12, 29, true, -1},  {2014, 4, 31, false, 0},  {2100, 2, 29, false, 0},
        {1900, 2, 29, false, 0},   {2014, 13, 1, false, 0},  {2014, 0, 1, false, 0},
        {2014, 1, 0, false, 0},    {0, 1, 1, false, 0},      {10000, 1, 1, false, 0},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(std::to_string(R.Y) + "-" + std::to_string(R.M) + "-" + std::to_string(R.D));
        EXPECT_EQ(IsValidDate(R.Y, R.M, R.D), R.Valid);
        TDateTime Date = -12345;
        ASSERT_EQ(TryEncodeDate(R.Y, R.M, R.D, Date), R.Valid);
        if (!R.Valid)
            continue;
        EXPECT_EQ(Date, R.Day);
        int Y = 0, M = 0, D = 0;
        DecodeDate(Date, Y, M, D);
        EXPECT_EQ(Y * 10000 + M * 100 + D, R.Y * 10000 + R.M * 100 + R.D);
    }
}

TEST(VelmoraDates, EveryDayFrom1990To2100RoundTrips)
{
    TDateTime Previous = 0;
    ASSERT_TRUE(TryEncodeDate(1989, 12, 31, Previous));
    for (int Y = 1990; Y <= 2100; ++Y)
        for (int M = 1; M <= 12; ++M)
            for (int D = 1; D <= 31; ++D) {
                TDateTime Date;
                if (!TryEncodeDate(Y, M, D, Date))
                    continue;
                ASSERT_EQ(Date, Previous + 1) << Y << "-" << M << "-" << D;
                int DY, DM, DD;
                DecodeDate(Date + 0.75, DY, DM, DD);
                ASSERT_EQ(DY * 10000 + DM * 100 + DD, Y * 10000 + M * 100 + D);
                Previous = Date;
            }
    TDateTime Last;
    ASSERT_TRUE(TryEncodeDate(2100, 12, 31, Last));
    EXPECT_EQ(Previous, Last);
}

}  // namespace
