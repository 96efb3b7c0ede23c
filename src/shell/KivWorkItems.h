// The folder-size work item's portable pieces: reading a link's target out
// of the reparse data the file system answers, and the rule for following
// a link while a tree is walked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

enum : std::uint32_t {
    IO_REPARSE_TAG_SYMLINK_VALUE = 0xA000000C,
};

// The substitute name of a symbolic link or a mount point (junction) with
// every "\??\" removed; empty when the data is too short or its offsets
// point outside it.
std::wstring ParseReparseTarget(const unsigned char* Data, std::size_t Bytes);

// Whether a walk of Root follows a link to Target: never to a part of the
// tree that is counted anyway (inside Root), never back to Root or above it
// (that would walk the tree again and again), never to a target followed
// before, and never deeper than a few links in a row.
class TLinkFollowRule {
public:
    explicit TLinkFollowRule(std::wstring Root) : FRoot(std::move(Root)) {}
    bool Follow(const std::wstring& Target, int LinkDepth);
    static const int MaxLinkDepth = 32;

private:
    std::wstring FRoot;
    std::set<std::wstring> FVisited;
};
