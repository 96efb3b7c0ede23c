// The text side of the shell routines: wildcard patterns and a position
// search in wide text. Portable: never includes <windows.h>.
#pragma once

#include <string>
#include <vector>

// The pattern as the matcher hands it to the shell: one ending in "*.*"
// gets ".*" appended, others stay.
std::wstring AdjustWildcard(const std::wstring& Pattern);

// The patterns to try, in order, for a pattern other than "*.": the
// adjusted pattern, then every ';'-separated part ending in "*.*" without
// its final ".*", so that "*.*" matches every name also where the shell's
// matcher only treats the exact text "*.*" as "everything".
std::vector<std::wstring> SpecCandidates(const std::wstring& Pattern);

// Wildcard match of Name against Pattern ('*', '?', parts separated by ';',
// letters without regard to case, a final ".*" also matches no extension);
// used when the shell offers no matcher.
bool WildcardMatch(const std::wstring& Name, const std::wstring& Pattern);

// First 1-based position of Sub in Text at or after Start, 0 for none.
// Throws std::out_of_range for a Start below 1.
int PosFrom(const std::wstring& Sub, const std::wstring& Text, int Start);

// The attributes are valid (not all bits set) and carry the reparse bit.
bool IsReparsePoint(unsigned long Attributes);

// ASCII letters folded to upper case; every other character unchanged.
std::wstring UpperCaseW(const std::wstring& S);
// Equal after UpperCaseW.
bool SameTextW(const std::wstring& A, const std::wstring& B);
