// Version numbers of executables, as held in a version resource's fixed
// file information: MS = a.b, LS = c.d, 16 bits each. Portable.
#pragma once

#include <cstdint>
#include <string>

struct TFileVersion {
    std::uint32_t MS = 0;
    std::uint32_t LS = 0;
};

TFileVersion MakeVersion(unsigned A, unsigned B, unsigned C = 0, unsigned D = 0);

std::string VersionToStr(const TFileVersion& V);
bool StrToVersion(const std::string& Text, TFileVersion& V);

bool VersionsEqual(const TFileVersion& A, const TFileVersion& B);
bool VersionLess(const TFileVersion& A, const TFileVersion& B);
bool VersionLessOrEqual(const TFileVersion& A, const TFileVersion& B);
bool VersionGreater(const TFileVersion& A, const TFileVersion& B);
bool VersionGreaterOrEqual(const TFileVersion& A, const TFileVersion& B);
