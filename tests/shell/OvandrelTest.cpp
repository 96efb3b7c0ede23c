#include "shell/Ovandrel.h"

#include <gtest/gtest.h>

TEST(PathForms, Table)
{
    struct Case {
        const wchar_t* Path;
        bool Root, Letter, Unc;
        const wchar_t* Normal;
    } Cases[] = {
        {L"C:", true, false, false, L"C:\\"},
        {L"C:\\", true, true, false, L"C:\\"},
        {L"\\\\server\\share", true, false, true, L"\\\\server\\share\\"},
        {L"\\\\server\\share\\", true, false, true, L"\\\\server\\share\\"},
        {L"C:\\Games\\", false, true, false, L"C:\\Games"},
        {L"\\\\server", true, false, false, L"\\\\server\\"},
        {L"\\\\?\\UNC\\server\\share", false, false, true, L"\\\\?\\UNC\\server\\share"},
        {L"\\\\?\\C:\\dir", false, false, false, L"\\\\?\\C:\\dir"},
        {L"1:\\x", false, false, false, L"1:\\x"},
        {L"\\", false, false, false, L""},
        {L"", false, false, false, L""},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(IsDriveRoot(C.Path), C.Root) << C.Path;
        EXPECT_EQ(IsDriveLetterPath(C.Path), C.Letter) << C.Path;
        EXPECT_EQ(IsUncPath(C.Path), C.Unc) << C.Path;
        EXPECT_EQ(IsAbsolutePath(C.Path), C.Letter || C.Unc) << C.Path;
        EXPECT_EQ(NormalizeListPath(C.Path), C.Normal) << C.Path;
    }
}

TEST(PathForms, Comparisons)
{
    struct Case {
        const wchar_t* Folder;
        const wchar_t* Path;
        bool Below, Same, Starts;
    } Cases[] = {
        {L"C:\\Games", L"C:\\Games", false, true, true},
        {L"C:\\Games\\", L"C:\\Games\\Zx\\Emu.exe", true, false, true},
        {L"C:\\Games", L"c:\\games\\zx", true, false, true},
        {L"C:\\Games", L"C:\\GamesOld\\x", false, false, true},
        {L"", L"C:\\x", false, false, false},
        {L"C:\\Games", L"", false, false, false},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(IsPathBelow(C.Folder, C.Path), C.Below) << C.Folder << " " << C.Path;
        EXPECT_EQ(SamePath(C.Folder, C.Path), C.Same) << C.Folder << " " << C.Path;
        EXPECT_EQ(StartsWithText(C.Path, C.Folder), C.Starts) << C.Folder << " " << C.Path;
    }
    EXPECT_TRUE(HasFileExt(L"C:\\a\\B.ZIP\\", L"zip"));
    EXPECT_TRUE(HasFileExt(L"C:\\a.b\\noext", L""));
    EXPECT_FALSE(HasFileExt(L"C:\\a.zip\\x", L".zip"));
    EXPECT_EQ(MakeInt64(5, 1), 0x100000005LL);
}

TEST(PathForms, Placeholders)
{
    const TClockReading Now{2024, 5, 1, 13, 5, 9};
    int Asked = 0;
    auto Docs = [&Asked] { ++Asked; return std::wstring(L"D:\\Docs"); };
    struct Case {
        const wchar_t* Text;
        const wchar_t* Result;
    } Cases[] = {
        {L"%DATE%_%time%", L"2024-05-01_13-05-09"},
        {L"plain", L"plain"},
        {L"%MyDocuments%\\x%DATE%", L"D:\\Docs\\x2024-05-01"},
        {L"%DATE", L"%DATE"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ReplacePlaceholders(C.Text, Now, Docs), C.Result) << C.Text;
    EXPECT_EQ(Asked, 1);
}

TEST(PathForms, FilterText)
{
    struct Case {
        const wchar_t* Filter;
        std::vector<std::wstring> Patterns;
        const wchar_t* ReadBack;
    } Cases[] = {
        {L"*.exe;*.com", {L"*.exe", L"*.com"}, L"*.exe;*.com"},
        {L"*.exe;", {L"*.exe"}, L"*.exe"},
        {L"*", {}, L"*"},
        {L"", {}, L"*"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(ParseFilter(C.Filter), C.Patterns) << C.Filter;
        EXPECT_EQ(JoinFilter(ParseFilter(C.Filter)), C.ReadBack) << C.Filter;
    }
}

TEST(PathForms, IconFallbackChoice)
{
    struct Case {
        const wchar_t* Path;
        bool Folder;
        const wchar_t* Ext;
    } Cases[] = {
        {L"C:\\missing\\", true, L""},
        {L"\\\\server\\share", true, L""},
        {L"\\\\server\\share\\dir\\file.txt", false, L".txt"},
        {L"C:\\no\\such.exe", false, L".exe"},
        {L"", false, L""},
        {L"C:\\a.b\\noext", false, L""},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(PathTakesFolderIcon(C.Path), C.Folder) << C.Path;
        EXPECT_EQ(ExtractFileExtW(C.Path), C.Ext) << C.Path;
    }
    EXPECT_EQ(ExtensionProbeName(L"C:\\", L".html"), L"C:\\test.html");
    EXPECT_EQ(ExtensionProbeName(L"C:\\", L"html"), L"C:\\test.html");
    EXPECT_EQ(ExtensionProbeName(L"C:\\", L""), L"C:\\test");
}
