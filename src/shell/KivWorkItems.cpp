#include "shell/KivWorkItems.h"

#include "shell/KivSelectionList.h"
#include "shell/Ovandrel.h"
#include "shell/Shell_Win32.h"

#include <cstring>
#include <vector>

namespace {

std::uint16_t Word(const unsigned char* P)
{
    std::uint16_t W;
    std::memcpy(&W, P, 2);
    return W;
}

}  // namespace

std::wstring ParseReparseTarget(const unsigned char* Data, std::size_t Bytes)
{
    // Tag (4), data length (2), reserved (2), then the name offsets and
    // lengths (4 x 2), a symbolic link's flags (4), and the path buffer.
    const std::size_t Header = 8 + 8;
    if (!Data || Bytes < Header)
        return {};
    std::uint32_t Tag;
    std::memcpy(&Tag, Data, 4);
    const std::size_t Buffer = Header + (Tag == IO_REPARSE_TAG_SYMLINK_VALUE ? 4 : 0);
    const std::size_t Offset = Word(Data + 8), Length = Word(Data + 10);
    if (Buffer > Bytes || Offset > Bytes - Buffer || Length > Bytes - Buffer - Offset)
        return {};
    std::wstring Name;
    for (std::size_t I = 0; I + 2 <= Length; I += 2) {
        const wchar_t C = static_cast<wchar_t>(Word(Data + Buffer + Offset + I));
        if (C == 0)
            break;
        Name += C;
    }
    return ReplaceTextIgnoringCase(Name, L"\\??\\", L"");
}

bool TLinkFollowRule::Follow(const std::wstring& Target, int LinkDepth)
{
    if (LinkDepth > MaxLinkDepth || Target.empty())
        return false;
    if (IsPathBelow(FRoot, Target) || SamePath(FRoot, Target) || IsPathBelow(Target, FRoot))
        return false;
    return FVisited.insert(UpperCaseW(ExcludeTrailingBackslash(Target))).second;
}

void TFolderSizeCounter::Count(std::wstring& Path, bool IncludeSubfolders,
                               bool FollowReparsePoints)
{
    FFollowReparsePoints = FollowReparsePoints;
    FLinks = TLinkFollowRule(Path);
    const bool Root = IsDriveRoot(Path);
    // A folder given with its trailing backslash is found as well.
    const std::wstring Search =
        Root ? IncludeTrailingBackslash(Path) + L"*" : ExcludeTrailingBackslash(Path);
    TSizeEntry First;
    if (!FDisk.FindFirst(Search, First))
        return;
    if (!(First.Attributes & SizeAttrDirectory) && !Root) {
        Size += First.Size;
        ++FileCount;
        return;
    }
    ++FolderCount;
    if (IncludeSubfolders) {
        Path = IncludeTrailingBackslash(Path);
        CountFolder(Path, IsReparsePoint(First.Attributes), 0);
    }
}

void TFolderSizeCounter::CountFolder(const std::wstring& Folder, bool ParentIsReparse,
                                     int LinkDepth)
{
    if (!FTrackFolders && (FFollowReparsePoints || ParentIsReparse))
        TrackFolders(Folder);
    struct Pending {
        std::wstring Folder;
        bool ParentIsReparse;
        int LinkDepth;
    };
    std::vector<Pending> Stack{{Folder, ParentIsReparse, LinkDepth}};
    bool Stopped = false;
    while (!Stack.empty() && !Stopped) {
        const Pending Next = std::move(Stack.back());
        Stack.pop_back();
        bool Listed = false;
        FDisk.ForEach(Next.Folder + L"*", [&](const TSizeEntry& E) {
            if (!Listed) {
                Listed = true;
                if (Size < 0)
                    Size = 0;
                if (FileCount < 0)
                    FileCount = 0;
            }
            if (FCancelled()) {
                Stopped = true;
                return false;
            }
            const bool Reparse = IsReparsePoint(E.Attributes);
            const std::wstring Path = Next.Folder + E.Name;
            if (Reparse) {
                if (!FFollowReparsePoints && !Next.ParentIsReparse)
                    return true;
                if (!FLinks.Follow(FDisk.ReparseTarget(Path), Next.LinkDepth + 1))
                    return true;
            }
            if (E.Attributes & SizeAttrDirectory) {
                if (!IsDotEntryName(E.Name) && FirstVisit(Path, Reparse)) {
                    ++FolderCount;
                    Stack.push_back({Path + L"\\", Reparse, Next.LinkDepth + (Reparse ? 1 : 0)});
                }
            } else {
                Size += E.Size;
                ++FileCount;
            }
            return true;
        });
    }
}

void TFolderSizeCounter::TrackFolders(const std::wstring& Root)
{
    FTrackFolders = true;
    FirstVisit(ExcludeTrailingBackslash(Root), false);
    for (std::wstring Folder = ExcludeTrailingBackslash(Root); !IsDriveRoot(Folder);) {
        const std::wstring Parent = ParentFolderOf(Folder);
        if (Parent.empty() || SamePath(Parent, Folder))
            break;
        const std::wstring Id = FDisk.FolderId(Parent);
        if (!Id.empty())
            FWalked.insert(Id);
        Folder = ExcludeTrailingBackslash(Parent);
    }
}

bool TFolderSizeCounter::FirstVisit(const std::wstring& Path, bool Link)
{
    if (!FTrackFolders)
        return true;
    const std::wstring Id = FDisk.FolderId(Path);
    // A link whose folder cannot be told might lead anywhere, also back.
    if (Id.empty())
        return !Link;
    return FWalked.insert(Id).second;
}
