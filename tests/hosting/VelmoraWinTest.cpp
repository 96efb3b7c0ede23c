#include "hosting/VelmoraWin.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

namespace {

std::string TempFile(const char* Name, const std::string& Content)
{
    char Dir[MAX_PATH];
    ::GetTempPathA(MAX_PATH, Dir);
    const std::string Path = std::string(Dir) + Name;
    ::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE F = ::CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD Written = 0;
    ::WriteFile(F, Content.data(), static_cast<DWORD>(Content.size()), &Written, nullptr);
    ::CloseHandle(F);
    return Path;
}

TEST(ProgramDirTest, IsTheRunningExecutablesFolder)
{
    ASSERT_FALSE(ProgramDir.empty());
    EXPECT_EQ(ProgramDir.back(), '\\');
    EXPECT_TRUE(SameText(ProgramDir, TestExeDir()));
}

TEST(ProgramDirTest, ModulePathIsWholeWhateverTheFirstBuffer)
{
    char Whole[4096] = {};
    const DWORD Len = ::GetModuleFileNameA(nullptr, Whole, sizeof(Whole));
    ASSERT_GT(Len, 8u);
    ASSERT_LT(Len, sizeof(Whole));
    for (DWORD First : {1ul, 7ul, Len, Len + 1, static_cast<DWORD>(MAX_PATH)})
        EXPECT_EQ(ModuleFileName(nullptr, First), std::string(Whole, Len)) << First;
    EXPECT_EQ(ModuleFileName(reinterpret_cast<HMODULE>(1)), "");
}

TEST(FileSizeTest, AnswersSizeOrFailureWithoutThrowing)
{
    const std::string Path = TempFile("quorvan_size.bin", std::string(1234, 'x'));
    std::int64_t Size = -1;
    EXPECT_TRUE(GetFileSize64(Path, Size, false));
    EXPECT_EQ(Size, 1234);

    Size = -1;
    EXPECT_NO_THROW(EXPECT_FALSE(GetFileSize64(Path + ".missing", Size, false)));
    EXPECT_EQ(Size, 0);

    // Held open without sharing: the size query fails instead of throwing.
    HANDLE Lock = ::CreateFileA(Path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(Lock, INVALID_HANDLE_VALUE);
    Size = -1;
    EXPECT_NO_THROW(EXPECT_FALSE(GetFileSize64(Path, Size, false)));
    EXPECT_EQ(Size, 0);
    ::CloseHandle(Lock);
    ::DeleteFileA(Path.c_str());
}

TEST(FileSizeTest, ClearReadOnlyKeepsOtherAttributes)
{
    const std::string Path = TempFile("quorvan_ro.bin", "abc");
    ::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    std::int64_t Size = 0;
    EXPECT_TRUE(GetFileSize64(Path, Size, true));
    EXPECT_EQ(Size, 3);
    const DWORD Attr = ::GetFileAttributesA(Path.c_str());
    EXPECT_EQ(Attr & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_NE(Attr & FILE_ATTRIBUTE_HIDDEN, 0u);
    ::SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::DeleteFileA(Path.c_str());
}

TEST(FileExistsTest, TellsFilesFromFolders)
{
    EXPECT_TRUE(FileExists(TestExeDir() + "verapp_1_5.exe"));
    EXPECT_FALSE(FileExists(TestExeDir()));
    EXPECT_FALSE(FileExists(TestExeDir() + "nothing-here.exe"));
}

TEST(PlatformTest, DrivesAndPlatformId)
{
    const std::string Drives = GetDriveLetters();
    EXPECT_NE(Drives.find('C'), std::string::npos);
    for (std::size_t I = 1; I < Drives.size(); ++I)
        EXPECT_LT(Drives[I - 1], Drives[I]);
    EXPECT_EQ(GetPlatformId(), static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
    OSVERSIONINFOEXA Info;
    ASSERT_TRUE(GetOSVersionInfo(Info));
    EXPECT_GE(Info.dwMajorVersion, 5u);
}

TEST(ShortenFileNameTest, KeepsFinalDelimiterOfAFolder)
{
    HDC Dc = ::GetDC(nullptr);
    const std::string Folder = "C:\\Program Files\\Spectrum Tools\\Emulators\\";
    const std::string Short = ShortenFileName(Folder, Dc, 120);
    EXPECT_EQ(Short.back(), '\\');
    EXPECT_LT(Short.size(), Folder.size());
    EXPECT_NE(Short.find("..."), std::string::npos);
    // Wide enough: unchanged.
    EXPECT_EQ(ShortenFileName(Folder, Dc, 5000), Folder);
    ::ReleaseDC(nullptr, Dc);
}

}  // namespace
