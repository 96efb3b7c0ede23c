#include "shell/KivWorkItems.h"

#include "shell/Ovandrel.h"
#include "shell/Shell_Win32.h"

#include <cstring>

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
    if (LinkDepth > MaxLinkDepth)
        return false;
    // An unreadable target is walked; only the depth bounds it.
    if (Target.empty())
        return true;
    if (IsPathBelow(FRoot, Target) || SamePath(FRoot, Target) || IsPathBelow(Target, FRoot))
        return false;
    return FVisited.insert(UpperCaseW(ExcludeTrailingBackslash(Target))).second;
}
