// The folder-size work item's portable pieces: the count itself over a
// small view of the disk, reading a link's target out of the reparse data
// the file system answers, and the rule for following a link while a tree
// is walked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <set>
#include <string>

enum : std::uint32_t {
    IO_REPARSE_TAG_SYMLINK_VALUE = 0xA000000C,
    SizeAttrDirectory = 0x10,
    SizeAttrReparsePoint = 0x400,
};

// The substitute name of a symbolic link or a mount point (junction) with
// every "\??\" removed; empty when the data is too short or its offsets
// point outside it.
std::wstring ParseReparseTarget(const unsigned char* Data, std::size_t Bytes);

// Whether a walk of Root follows a link to Target: never to a part of the
// tree that is counted anyway (inside Root), never back to Root or above it
// (that would walk the tree again and again), never to a target followed
// before, never to one that cannot be read (it may lead anywhere, also
// above Root), and never deeper than a few links in a row.
class TLinkFollowRule {
public:
    explicit TLinkFollowRule(std::wstring Root) : FRoot(std::move(Root)) {}
    bool Follow(const std::wstring& Target, int LinkDepth);
    static const int MaxLinkDepth = 32;

private:
    std::wstring FRoot;
    std::set<std::wstring> FVisited;
};

// One entry of a folder as the size count sees it.
struct TSizeEntry {
    std::wstring Name;
    std::uint32_t Attributes = 0;
    std::int64_t Size = 0;
};

class ISizeFileSystem {
public:
    virtual ~ISizeFileSystem() = default;
    // The first entry Pattern finds; false when none.
    virtual bool FindFirst(const std::wstring& Pattern, TSizeEntry& Entry) = 0;
    // Each entry Pattern finds, in turn, until Visit answers false.
    virtual void ForEach(const std::wstring& Pattern,
                         const std::function<bool(const TSizeEntry&)>& Visit) = 0;
    // The target of a junction or symbolic link; empty when unreadable.
    virtual std::wstring ReparseTarget(const std::wstring& Path) = 0;
    // Names the folder Path leads to (through links) the same way for every
    // path to it; empty when it cannot be told.
    virtual std::wstring FolderId(const std::wstring& Path) = 0;
};

// Adds up the size in bytes, the files and the folders of a file or a
// folder tree; stops at the next entry once Cancelled answers true. The walk
// keeps its own stack: long-path forms allow trees deeper than a worker's
// stack. Where links may be followed, no folder is walked twice.
class TFolderSizeCounter {
public:
    TFolderSizeCounter(ISizeFileSystem& Disk, std::function<bool()> Cancelled)
        : FDisk(Disk), FCancelled(std::move(Cancelled))
    {
    }
    // Path gains a trailing backslash when a folder is walked.
    void Count(std::wstring& Path, bool IncludeSubfolders, bool FollowReparsePoints);
    // Folder ends in a backslash.
    void CountFolder(const std::wstring& Folder, bool ParentIsReparse, int LinkDepth);

    std::int64_t Size = 0;
    int FileCount = 0;
    int FolderCount = 0;

private:
    // From here on each folder is walked once; the folders above Root count
    // as walked, so no link leads the walk up to them under another name.
    void TrackFolders(const std::wstring& Root);
    // Whether the folder Path leads to is walked for the first time; one
    // that cannot be told is new unless a link leads to it.
    bool FirstVisit(const std::wstring& Path, bool Link);

    ISizeFileSystem& FDisk;
    std::function<bool()> FCancelled;
    bool FFollowReparsePoints = false;
    TLinkFollowRule FLinks{std::wstring()};
    // Folders are told apart only once a link may be followed: a plain tree
    // cannot reach a folder twice.
    bool FTrackFolders = false;
    std::set<std::wstring> FWalked;
};
