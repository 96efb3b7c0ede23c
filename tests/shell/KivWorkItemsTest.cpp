#include "shell/KivWorkItems.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// Reparse data: tag, the substitute name at Offset within the path buffer.
std::vector<unsigned char> Data(std::uint32_t Tag, const std::wstring& Name, int Offset,
                                int LengthFix = 0)
{
    const bool Symlink = Tag == IO_REPARSE_TAG_SYMLINK_VALUE;
    std::vector<unsigned char> B(16 + (Symlink ? 4 : 0) + Offset + 2 * Name.size() + 2, 0);
    std::memcpy(B.data(), &Tag, 4);
    const std::uint16_t Off = static_cast<std::uint16_t>(Offset),
                        Len = static_cast<std::uint16_t>(2 * Name.size() + LengthFix);
    std::memcpy(B.data() + 8, &Off, 2);
    std::memcpy(B.data() + 10, &Len, 2);
    unsigned char* P = B.data() + 16 + (Symlink ? 4 : 0) + Offset;
    for (wchar_t C : Name) {
        const std::uint16_t W = static_cast<std::uint16_t>(C);
        std::memcpy(P, &W, 2);
        P += 2;
    }
    return B;
}

TEST(ReparseTarget, ReadThroughItsOffsetsWithinBounds)
{
    const std::uint32_t Mount = 0xA0000003;
    struct Case {
        std::vector<unsigned char> Buffer;
        std::size_t Cut;  // bytes taken off the end
        std::wstring Want;
    } Cases[] = {
        {Data(Mount, L"\\??\\C:\\target", 0), 0, L"C:\\target"},
        {Data(IO_REPARSE_TAG_SYMLINK_VALUE, L"\\??\\D:\\x", 0), 0, L"D:\\x"},
        {Data(Mount, L"\\??\\C:\\later", 12), 0, L"C:\\later"},  // the name after another
        {Data(Mount, L"\\??\\C:\\target", 0, 400), 0, L""},       // length past the end
        {Data(Mount, L"C:\\t", 0), 4 + 8, L""},                   // cut into the name
        {Data(Mount, L"", 0), 10, L""},                           // shorter than the header
    };
    for (const Case& C : Cases)
        EXPECT_EQ(C.Want, ParseReparseTarget(C.Buffer.data(), C.Buffer.size() - C.Cut)) << C.Want;
}

TEST(LinkFollowRule, NoPartIsWalkedTwiceAndLoopsEnd)
{
    TLinkFollowRule Rule(L"C:\\root");
    struct Case {
        std::wstring Target;
        int Depth;
        bool Follow;
    } Cases[] = {
        {L"C:\\root\\inner", 1, false},  // counted anyway
        {L"C:\\root", 1, false},         // itself
        {L"C:\\", 1, false},             // an ancestor: a loop
        {L"D:\\elsewhere", 1, true},
        {L"D:\\ELSEWHERE\\", 2, false},  // already followed
        {L"", 1, true},                  // unreadable: walked
        {L"E:\\deep", TLinkFollowRule::MaxLinkDepth + 1, false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(C.Follow, Rule.Follow(C.Target, C.Depth)) << C.Target;
}

}  // namespace
