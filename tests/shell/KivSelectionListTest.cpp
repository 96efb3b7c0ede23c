#include "shell/KivSelectionList.h"

#include <gtest/gtest.h>

TEST(LongPaths, FormParentAndWildcards)
{
    struct Case {
        const wchar_t* Path;
        const wchar_t* LongForm;
        const wchar_t* Parent;
        bool Wild;
    } Cases[] = {
        {L"C:\\x", L"\\\\?\\C:\\x", L"C:\\", false},
        {L"\\\\srv\\share\\f", L"\\\\?\\UNC\\srv\\share\\f", L"\\\\srv\\share\\", false},
        {L"\\\\?\\C:\\x", L"\\\\?\\C:\\x", L"\\\\?\\C:\\", false},
        {L"dir\\file", L"dir\\file", L"dir\\", false},
        {L"C:\\Games\\*", L"\\\\?\\C:\\Games\\*", L"C:\\Games\\", true},
        {L"\\\\?\\C:\\a?b", L"\\\\?\\C:\\a?b", L"\\\\?\\C:\\", true},
        {L"C:\\Games\\", L"\\\\?\\C:\\Games\\", L"C:\\", false},
        {L"C:\\one.tx>", L"\\\\?\\C:\\one.tx>", L"C:\\", true},
        {L"C:\\on<", L"\\\\?\\C:\\on<", L"C:\\", true},
        {L"C:\\one\"txt", L"\\\\?\\C:\\one\"txt", L"C:\\", true},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(LongPathFormOf(C.Path), C.LongForm) << C.Path;
        EXPECT_EQ(ParentFolderOf(C.Path), C.Parent) << C.Path;
        EXPECT_EQ(HasWildcards(C.Path), C.Wild) << C.Path;
    }
    EXPECT_TRUE(IsDotEntryName(L".."));
    EXPECT_FALSE(IsDotEntryName(L"..."));
}
