#include "shell/KivWorkItems.h"

#include "shell/Ovandrel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
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

// Folders by path with a trailing backslash; a link lists its target.
struct FakeSizes : ISizeFileSystem {
    std::map<std::wstring, std::vector<TSizeEntry>> Folders;
    std::map<std::wstring, std::wstring> Links;
    // The real path of a path that runs through links.
    std::wstring Resolve(std::wstring Path)
    {
        for (int Pass = 0; Pass < 8; ++Pass)
            for (const auto& [From, To] : Links)
                if (Path.compare(0, From.size(), From) == 0 &&
                    (Path.size() == From.size() || Path[From.size()] == L'\\'))
                    Path = To + Path.substr(From.size());
        return Path;
    }
    std::vector<TSizeEntry> Listing(const std::wstring& Folder)
    {
        const auto F = Folders.find(Resolve(ExcludeTrailingBackslash(Folder)) + L"\\");
        return F == Folders.end() ? std::vector<TSizeEntry>{} : F->second;
    }
    bool FindFirst(const std::wstring& Pattern, TSizeEntry& Entry) override
    {
        const std::size_t Cut = Pattern.rfind(L'\\') + 1;
        for (const TSizeEntry& E : Listing(Pattern.substr(0, Cut)))
            if (Pattern.back() == L'*' || E.Name == Pattern.substr(Cut)) {
                Entry = E;
                return true;
            }
        return false;
    }
    void ForEach(const std::wstring& Pattern,
                 const std::function<bool(const TSizeEntry&)>& Visit) override
    {
        for (const TSizeEntry& E : Listing(Pattern.substr(0, Pattern.size() - 1)))
            if (!Visit(E))
                break;
    }
    std::wstring ReparseTarget(const std::wstring& Path) override
    {
        const std::size_t Cut = Path.rfind(L'\\');
        const auto L = Links.find(Resolve(Path.substr(0, Cut)) + Path.substr(Cut));
        return L == Links.end() ? std::wstring() : L->second;
    }
};

TEST(FolderSizeCounter, LinksAreFollowedOnlyOutsideAndUnderALink)
{
    const std::uint32_t Dir = SizeAttrDirectory, Link = SizeAttrDirectory | SizeAttrReparsePoint;
    FakeSizes Disk;
    Disk.Folders = {
        {L"C:\\", {{L"m", Dir}, {L"o", Dir}, {L"p", Dir}, {L"j", Link}}},
        {L"C:\\m\\", {{L"a.txt", 0, 10}, {L"in", Dir}, {L"jin", Link}, {L"jout", Link}}},
        {L"C:\\m\\in\\", {{L".", Dir}, {L"b.txt", 0, 20}}},
        {L"C:\\o\\", {{L"c.txt", 0, 40}, {L"jback", Link}, {L"jo2", Link}}},
        {L"C:\\p\\", {{L"d.txt", 0, 80}}},
        {L"C:\\q\\", {{L"e.txt", 0, 5}, {L"jo", Link}}},
        {L"D:\\", {{L"x.txt", 0, 3}, {L"y", Dir}}},
        {L"D:\\y\\", {{L"z.txt", 0, 4}}},
    };
    Disk.Links = {{L"C:\\m\\jin", L"C:\\m\\in"}, {L"C:\\m\\jout", L"C:\\o"},
                  {L"C:\\o\\jback", L"C:\\m"},   {L"C:\\o\\jo2", L"C:\\p"},
                  {L"C:\\j", L"C:\\q"},          {L"C:\\q\\jo", L"C:\\p"}};
    struct Case {
        std::wstring Path;
        bool Subfolders, Follow;
        int CancelAt;  // the check that answers cancelled; 0 never
        std::int64_t Size;
        int Files, Folders;
    } Cases[] = {
        {L"C:\\m\\a.txt", true, false, 0, 10, 1, 0},
        {L"C:\\m", false, false, 0, 0, 0, 1},
        {L"C:\\m", true, false, 0, 30, 2, 2},     // links not followed
        {L"C:\\m\\", true, true, 0, 150, 4, 4},   // not inside, not back to the root
        {L"C:\\j", true, false, 0, 85, 2, 2},     // a tree reached through a link
        {L"D:\\", true, false, 0, 7, 2, 2},       // a root, though its first entry is a file
        {L"C:\\none", true, true, 0, 0, 0, 0},
        {L"C:\\m", true, false, 2, 10, 1, 1},     // stops at the next entry
    };
    for (const Case& C : Cases) {
        int Checks = 0;
        TFolderSizeCounter Counter(Disk, [&] { return C.CancelAt != 0 && ++Checks >= C.CancelAt; });
        std::wstring Path = C.Path;
        Counter.Count(Path, C.Subfolders, C.Follow);
        EXPECT_EQ(C.Size, Counter.Size) << std::string(C.Path.begin(), C.Path.end());
        EXPECT_EQ(C.Files, Counter.FileCount) << std::string(C.Path.begin(), C.Path.end());
        EXPECT_EQ(C.Folders, Counter.FolderCount) << std::string(C.Path.begin(), C.Path.end());
    }
}

}  // namespace
