// The shell library's start-up, bound routines, patterns, shortcuts and
// path tests under Wine.
#include "ShellTestSupport.h"

#include "shell/KivSelectionListWin.h"
#include "shell/OvandrelWin.h"

static ::testing::Environment* const Env =
    ::testing::AddGlobalTestEnvironment(new ShellLibraryEnvironment);

namespace {

const char* MissingModule = "";
HMODULE LoaderWithout(const char* Name)
{
    return lstrcmpiA(Name, MissingModule) == 0 ? nullptr : ::LoadLibraryA(Name);
}
HRESULT WINAPI NoDesktop(IShellFolder** Folder)
{
    *Folder = nullptr;
    return E_FAIL;
}

}  // namespace

TEST(ShellStartup, StopMessagesOfMissingParts)
{
    struct Case {
        const char* Missing;
        bool NoDesktopFolder;
        const char* Message;
    } Cases[] = {
        {"Shell32", false, "Ovandrel Components: Cannot open SHELL32.DLL!"},
        {"shlwapi", false, "Ovandrel Components: Cannot open SHLWAPI.DLL!"},
        {"", true, "Ovandrel Components: Cannot open Shell!"},
    };
    // The environment's start-up is undone so that start-up runs afresh.
    ShellLibraryShutdown();
    for (const Case& C : Cases) {
        MissingModule = C.Missing;
        SetShellModuleLoader(&LoaderWithout);
        SetDesktopFolderSource(C.NoDesktopFolder ? &NoDesktop : nullptr);
        std::string Message;
        try {
            ShellLibraryStartup();
            ShellLibraryShutdown();
        } catch (const std::exception& E) {
            Message = E.what();
        }
        EXPECT_EQ(Message, C.Message);
        EXPECT_EQ(ShellRoutines.Shell32, nullptr) << "a stopped start-up leaves nothing loaded";
    }
    SetShellModuleLoader(nullptr);
    SetDesktopFolderSource(nullptr);
    ShellLibraryStartup();
    EXPECT_NE(ShellRoutines.PathMatchSpecW, nullptr);
    EXPECT_NE(ShellRoutines.ILCombine, nullptr);
    EXPECT_EQ(ShellRoutines.Propsys, nullptr) << "propsys waits for its first use";
    EXPECT_NE(ShellVariantCompare(), nullptr);
    EXPECT_NE(ShellRoutines.Propsys, nullptr);
    EXPECT_NE(DesktopShellFolder, nullptr);
    EXPECT_FALSE(SystemDriveRoot.empty());
    EXPECT_FALSE(DisableWow64Redirection()) << "the switch is off";
    EXPECT_FALSE(RevertWow64Redirection(false));
}

TEST(ShellRoutines, MatchesSpec)
{
    struct Case {
        const wchar_t* Name;
        const wchar_t* Pattern;
        bool Match;
    } Cases[] = {
        {L"readme", L"*.", true},        {L"read.me", L"*.", false},
        {L"readme", L"*.*", true},       {L"read.me", L"*.*", true},
        {L"a.com", L"*.exe;*.com", true}, {L"A.EXE", L"*.exe;*.com", true},
        {L"a.bat", L"*.exe;*.com", false}, {L"emu", L"*.exe;*.*", true},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(MatchesSpec(C.Name, C.Pattern), C.Match) << C.Name << " " << C.Pattern;
}

TEST(ShellRoutines, ShortcutWrittenAndReadBack)
{
    TempFolder Dir(L"quorvan_link");
    const std::wstring Target = Dir.Path() + L"target.exe";
    WriteFileW(Target, "x");
    ASSERT_TRUE(WriteShortcut(Dir.Path() + L"t.lnk", Target));
    EXPECT_TRUE(SamePath(ReadShellLinkPath(Dir.Path() + L"t.lnk"), Target));
    EXPECT_EQ(ReadShellLinkPath(Dir.Path() + L"none.lnk"), L"");
}

TEST(ShellRoutines, ErrorTextAndTempDir)
{
    EXPECT_FALSE(SysErrorText(ERROR_PATH_NOT_FOUND).empty());
    const std::string Text = SysErrorText(ERROR_PATH_NOT_FOUND);
    EXPECT_NE(Text.back(), '\n');
    EXPECT_EQ(GetTempDir().back(), L'\\');
}

TEST(PathTests, FoldersAndFilesAlsoBeyondMaxPath)
{
    TempFolder Dir(L"quorvan_long");
    std::wstring Deep = Dir.Path();
    while (Deep.size() < 300)
        Deep += L"abcdefghijklmnopqrstuvwxyz0123456789\\";
    // Each level is made through the long form.
    for (std::size_t At = Dir.Path().size(); At < Deep.size(); At = Deep.find(L'\\', At) + 1)
        ASSERT_TRUE(::CreateDirectoryW(
            TKivSelectionList::GetLongPathForm(Deep.substr(0, Deep.find(L'\\', At))).c_str(),
            nullptr));
    WriteFileW(TKivSelectionList::GetLongPathForm(Deep + L"f.txt"), "x");
    struct Case {
        std::wstring Path;
        bool Folder, File;
    } Cases[] = {
        {Deep, true, false},
        {Deep.substr(0, Deep.size() - 1), true, false},
        {Deep + L"f.txt", false, true},
        {Deep + L"..\\" + Deep.substr(Dir.Path().size(), 36) + L"\\f.txt", false, true},
        {Deep + L"missing", false, false},
        {Dir.Path(), true, false},
        {Dir.Path() + L"*", false, false},
        {Deep + L"f.tx?", false, false},
        {L"", false, false},
        {L"C:", true, false},
        {L"Q:\\", true, false},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(TKivSelectionList::IsFolder(C.Path), C.Folder) << WideToAnsi(C.Path);
        EXPECT_EQ(TKivSelectionList::IsFile(C.Path), C.File) << WideToAnsi(C.Path);
    }
    WIN32_FIND_DATAW Data;
    const HANDLE Find = TKivSelectionList::FindFirstFileLong(Deep + L"*", Data);
    ASSERT_NE(Find, INVALID_HANDLE_VALUE) << "listing a deep folder";
    ::FindClose(Find);
}
