// Text helpers shared by the whole program: delimited fields, string lists,
// padding, identifiers, ASCII-only comparisons and calendar dates.
// Portable: never includes <windows.h>.
#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

using StringList = std::vector<std::string>;

// Calendar date as a day count from 30 December 1899 (whole days; 0 = none).
using TDateTime = double;

// --- ASCII-only text comparison (never locale-dependent) ---
// Inline: the comparisons call it for every character.
inline char UpCaseAscii(char C)
{
    return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 'a' + 'A') : C;
}
std::string UpperCaseAscii(const std::string& S);
std::string LowerCaseAscii(const std::string& S);
bool SameText(std::string_view A, std::string_view B);
// Ordinal comparison with ASCII letters folded: <0, 0 or >0.
int CompareText(std::string_view A, std::string_view B);
// Hash and equality of names as SameText compares them, for hashed maps.
struct SameTextHash {
    std::size_t operator()(std::string_view S) const
    {
        std::size_t H = 2166136261u;
        for (char C : S)
            H = (H ^ static_cast<unsigned char>(UpCaseAscii(C))) * 16777619u;
        return H;
    }
};
struct SameTextEqual {
    bool operator()(std::string_view A, std::string_view B) const { return SameText(A, B); }
};
// Removes blanks and control characters (codes 0..32) at both ends.
std::string Trim(std::string_view S);
std::string TrimLeft(std::string_view S);
std::string TrimRight(std::string_view S);
// Trim without a copy: the view points into S, so S must outlive it.
// Inline: the rules reader calls it for every line and cell.
inline std::string_view TrimView(std::string_view S)
{
    std::size_t B = 0, E = S.size();
    // Padded table cells end in long runs of blanks: eight at a time.
    while (E >= 8 && std::memcmp(S.data() + E - 8, "        ", 8) == 0)
        E -= 8;
    while (E > 0 && static_cast<unsigned char>(S[E - 1]) <= ' ')
        --E;
    while (B < E && static_cast<unsigned char>(S[B]) <= ' ')
        ++B;
    return S.substr(B, E - B);
}

// Decimal integer with optional leading blanks and sign, nothing after it,
// within the 32-bit signed range.
bool TryStrToInt(std::string_view S, int& Value);
std::string IntToStr(long long Value);

// --- Delimited fields (numbered from 1) ---
int FieldCount(const std::string& S, char Delim);
std::string GetField(const std::string& S, int Index, char Delim);
// Start is 1-based; both 0 for Index < 1 or an empty S, Start 0 past the end.
void LocateField(const std::string& S, int Index, char Delim, int& Start, int& Len);
bool ReplaceField(std::string& S, int Index, char Delim, const std::string& Value);
std::string ReplaceFieldTo(const std::string& S, int Index, char Delim, const std::string& Value);

// --- String lists ---
std::string JoinStrings(const StringList& List, const std::string& Sep);
std::string JoinStringsChar(const StringList& List, char Sep);
void SplitToStrings(StringList& List, const std::string& Text, char Delim);
// The same over the whole text: a NUL is kept as any other character.
void SplitToStringsWhole(StringList& List, const std::string& Text, char Delim);

// --- Widths and identifiers ---
// Mode 1 right-aligned, 2 centred (smaller half in front), anything else left.
void PadString(std::string& S, int Width, char Fill, std::uint8_t Mode);
// How many of Missing fill characters PadString puts in front in Mode.
inline std::size_t PadFront(std::size_t Missing, std::uint8_t Mode)
{
    return Mode == 1 ? Missing : Mode == 2 ? Missing / 2 : 0;
}
// Appends S padded (or cut) to Width as PadString would, without a copy.
void AppendPadded(std::string& Out, std::string_view S, int Width, char Fill, std::uint8_t Mode);
std::string PadStringTo(const std::string& S, int Width, char Fill, std::uint8_t Mode);
std::string MakeIdentifier(const std::string& S);
void CollapseSeparators(std::string& S, char Sep);
int StrToIntDefTrim(std::string_view S, int Default);

// Shortens a path by replacing its leading folders with "..." until
// TextWidth says it fits MaxWidth (the drive goes last).
std::string MinimizeName(const std::string& FileName,
                         const std::function<int(const std::string&)>& TextWidth,
                         int MaxWidth);

// --- Paths (both '\' and '/' count as delimiters) ---
bool IsPathDelimiter(char C);
std::string ExtractFilePath(const std::string& FileName);   // with its final delimiter
std::string ExtractFileName(const std::string& FileName);
std::string ExtractFileExt(const std::string& FileName);    // with its '.', or empty

// --- Calendar dates ---
bool IsValidDate(int Year, int Month, int Day);
bool TryEncodeDate(int Year, int Month, int Day, TDateTime& Date);
void DecodeDate(TDateTime Date, int& Year, int& Month, int& Day);
