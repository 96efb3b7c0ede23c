#include "shell/KivWorkItems.h"

#include "shell/Ovandrel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <algorithm>
#include <map>
#include <set>
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
        {Data(Mount, L"C:\\t", 0), 2, L"C:\\t"},                  // the name ends the data
        {Data(Mount, L"C:\\t", 8), 11, L""},       // the offset one past the end
        {Data(IO_REPARSE_TAG_SYMLINK_VALUE, L"D:\\x", 0), 12, L""},  // cut before the flags end
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
        {L"", 1, false},                 // unreadable: it may lead anywhere
        {L"E:\\deep", TLinkFollowRule::MaxLinkDepth + 1, false},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(C.Follow, Rule.Follow(C.Target, C.Depth)) << C.Target;
}

// Folders by path with a trailing backslash; a link lists its target.
struct FakeSizes : ISizeFileSystem {
    std::map<std::wstring, std::vector<TSizeEntry>> Folders;
    std::map<std::wstring, std::wstring> Links;
    std::set<std::wstring> Unreadable;    // links whose target cannot be read
    std::set<std::wstring> Unknown;       // folders that cannot be told apart
    std::wstring Chain;                   // a folder holding "c" and "f" ChainDepth levels down
    int ChainDepth = 0;
    int Open = 0, MostOpen = 0;           // listings under way at once
    int Listings = 0;
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
        const std::wstring Real = Resolve(ExcludeTrailingBackslash(Folder)) + L"\\";
        if (!Chain.empty() && Real.compare(0, Chain.size(), Chain) == 0 &&
            Real.size() < Chain.size() + 2 * ChainDepth)
            return {{L"c", SizeAttrDirectory}, {L"f", 0, 1}};
        const auto F = Folders.find(Real);
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
        ++Listings;
        MostOpen = std::max(MostOpen, ++Open);
        for (const TSizeEntry& E : Listing(Pattern.substr(0, Pattern.size() - 1)))
            if (!Visit(E))
                break;
        --Open;
    }
    std::wstring ReparseTarget(const std::wstring& Path) override
    {
        const std::size_t Cut = Path.rfind(L'\\');
        const auto L = Links.find(Resolve(Path.substr(0, Cut)) + Path.substr(Cut));
        return L == Links.end() || Unreadable.count(L->first) ? std::wstring() : L->second;
    }
    std::wstring FolderId(const std::wstring& Path) override
    {
        // Hashed: the deep chain's paths are long.
        const std::wstring Real = Resolve(ExcludeTrailingBackslash(Path));
        return Unknown.count(Real) ? std::wstring()
                                   : std::to_wstring(std::hash<std::wstring>()(Real));
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

TEST(FolderSizeCounter, DeepChainsAndLoopingOrUnreadableLinksWalkEachFolderOnce)
{
    const std::uint32_t Dir = SizeAttrDirectory, Link = SizeAttrDirectory | SizeAttrReparsePoint;
    struct Case {
        const char* Name;
        std::map<std::wstring, std::vector<TSizeEntry>> Tree;
        std::map<std::wstring, std::wstring> Links;
        std::set<std::wstring> Unreadable, Unknown;
        int ChainDepth;  // under C:\r
        std::int64_t Size;
        int Files, FolderCount;
    } Cases[] = {
        {"a 5,000-level chain", {}, {}, {}, {}, 5000, 5000, 5000, 5001},
        {"two links looping through each other",
         {{L"C:\\r\\", {{L"x", Link}}},
          {L"C:\\x\\", {{L"a", 0, 1}, {L"l1", Link}}},
          {L"C:\\y\\", {{L"b", 0, 2}, {L"l2", Link}}}},
         {{L"C:\\r\\x", L"C:\\x"}, {L"C:\\x\\l1", L"C:\\y"}, {L"C:\\y\\l2", L"C:\\x"}},
         {}, {}, 0, 3, 2, 3},
        {"the same links unreadable: not followed",
         {{L"C:\\r\\", {{L"x", Link}}},
          {L"C:\\x\\", {{L"a", 0, 1}, {L"l1", Link}}},
          {L"C:\\y\\", {{L"b", 0, 2}, {L"l2", Link}}}},
         {{L"C:\\r\\x", L"C:\\x"}, {L"C:\\x\\l1", L"C:\\y"}, {L"C:\\y\\l2", L"C:\\x"}},
         {L"C:\\r\\x", L"C:\\x\\l1", L"C:\\y\\l2"}, {}, 0, 0, 0, 1},
        // Two links back to the root in every folder: each a branch of a
        // tree 32 links deep, were they walked.
        {"unreadable links back to the root",
         {{L"C:\\r\\", {{L"f", 0, 4}, {L"s", Dir}, {L"l1", Link}, {L"l2", Link}}},
          {L"C:\\r\\s\\", {{L"l3", Link}}}},
         {{L"C:\\r\\l1", L"C:\\r"}, {L"C:\\r\\l2", L"C:\\r"}, {L"C:\\r\\s\\l3", L"C:\\r\\s"}},
         {L"C:\\r\\l1", L"C:\\r\\l2", L"C:\\r\\s\\l3"}, {}, 0, 4, 1, 2},
        {"an unreadable link up to the root's parent",
         {{L"C:\\", {{L"r", Dir}, {L"big", Dir}}}, {L"C:\\big\\", {{L"g", 0, 8}}},
          {L"C:\\r\\", {{L"f", 0, 4}, {L"up", Link}}}},
         {{L"C:\\r\\up", L"C:"}}, {L"C:\\r\\up"}, {}, 0, 4, 1, 1},
        {"a link to the root's parent under another name",
         {{L"C:\\", {{L"r", Dir}, {L"big", Dir}}}, {L"C:\\big\\", {{L"g", 0, 8}}},
          {L"C:\\r\\", {{L"f", 0, 4}, {L"al", Link}}}},
         {{L"C:\\r\\al", L"E:\\alias"}, {L"E:\\alias", L"C:"}}, {}, {}, 0, 4, 1, 1},
        {"a link that can be neither read nor told apart",
         {{L"C:\\r\\", {{L"l1", Link}}}, {L"D:\\o\\", {{L"g", 0, 8}}}},
         {{L"C:\\r\\l1", L"D:\\o"}}, {L"C:\\r\\l1"}, {L"D:\\o"}, 0, 0, 0, 1},
    };
    for (const Case& C : Cases) {
        FakeSizes Disk;
        Disk.Folders = C.Tree;
        Disk.Folders.emplace(L"C:\\", std::vector<TSizeEntry>{{L"r", Dir}});
        Disk.Links = C.Links;
        Disk.Unreadable = C.Unreadable;
        Disk.Unknown = C.Unknown;
        Disk.Chain = L"C:\\r\\";
        Disk.ChainDepth = C.ChainDepth;
        // A walk that would not end is cut off, and then fails on the counts.
        TFolderSizeCounter Counter(Disk, [&] { return Disk.Listings > 20000; });
        std::wstring Path = L"C:\\r";
        Counter.Count(Path, true, true);
        EXPECT_EQ(C.Size, Counter.Size) << C.Name;
        EXPECT_EQ(C.Files, Counter.FileCount) << C.Name;
        EXPECT_EQ(C.FolderCount, Counter.FolderCount) << C.Name;
        EXPECT_EQ(1, Disk.MostOpen) << C.Name;  // one listing at a time: no recursion
    }
}

}  // namespace
