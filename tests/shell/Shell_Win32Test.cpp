#include "shell/Shell_Win32.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(ShellPatterns, AdjustedPatternAndCandidates)
{
    struct Case {
        const wchar_t* Pattern;
        std::vector<std::wstring> Candidates;
    } Cases[] = {
        {L"*.*", {L"*.*.*", L"*"}},
        {L"*.exe", {L"*.exe"}},
        {L"*.exe;a*.*", {L"*.exe;a*.*.*", L"a*"}},
        {L"*.*;*.com", {L"*.*;*.com", L"*"}},
        {L"x*.*y", {L"x*.*y"}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(SpecCandidates(C.Pattern), C.Candidates) << C.Pattern;
    EXPECT_EQ(AdjustWildcard(L"*.*"), L"*.*.*");
    EXPECT_EQ(AdjustWildcard(L"*.txt"), L"*.txt");
}

TEST(ShellPatterns, OwnMatcher)
{
    struct Case {
        const wchar_t* Name;
        const wchar_t* Pattern;
        bool Match;
    } Cases[] = {
        {L"Emu.EXE", L"*.exe", true},   {L"emu.exe.txt", L"*.exe", false},
        {L"a.com", L"*.exe;*.com", true}, {L"readme", L"*.*", true},
        {L"a.b.c", L"*.*", true},       {L"abc", L"a?c", true},
        {L"abbc", L"a?c", false},       {L"", L"*", true},
        {L"x", L"", false},             {L"zx81.exe", L"zx*1.exe", true},
        {L"aaab", L"*a*b", true},       {L"aaac", L"*a*b", false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(WildcardMatch(C.Name, C.Pattern), C.Match) << C.Name << " " << C.Pattern;
}

TEST(ShellPatterns, PosFrom)
{
    struct Case {
        const wchar_t* Sub;
        const wchar_t* Text;
        int Start, Pos;
    } Cases[] = {
        {L"cd", L"abcd", 1, 3}, {L"cd", L"abcd", 3, 3}, {L"cd", L"abcd", 4, 0},
        {L"cd", L"abcd", 9, 0}, {L"x", L"abcd", 1, 0},  {L"a", L"abab", 2, 3},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(PosFrom(C.Sub, C.Text, C.Start), C.Pos) << C.Sub << " " << C.Start;
    EXPECT_THROW(PosFrom(L"a", L"a", 0), std::out_of_range);
}

TEST(ShellPatterns, ReparseAttribute)
{
    EXPECT_TRUE(IsReparsePoint(0x410));
    EXPECT_FALSE(IsReparsePoint(0x10));
    EXPECT_FALSE(IsReparsePoint(0xFFFFFFFFul));
}
