// The ZX Spectrum's 64 display colours and the sorted list of every way a
// BASIC keyword may be typed. Both are created at start-up and freed at
// exit. Portable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// 0x00BBGGRR, as the toolkit's colours.
using TColor = std::uint32_t;

class TULAColorPalette {
public:
    TULAColorPalette();

    void Reset();
    void FillPalette();
    // Fires OnChange unless an update is open.
    void Changed();

    std::function<void(TULAColorPalette& Sender)> OnChange;
    int UpdateCount = 0;  // while above 0, OnChange is not fired
    int PaletteState = 0;
    TColor Colors[64] = {};
};

// Entries: a kind character (1 to 4), a code character, then one spelling.
using TKeywordList = std::vector<std::string>;

// Adds Prefix + every spelling of Keyword with each inner blank present or
// left out.
void AddKeywordSpellings(TKeywordList& List, const std::string& Prefix,
                         const std::string& Keyword);
// Sort order without the 2-character prefixes: longer spellings first,
// equal lengths in descending ordinal order. True when A comes before B.
bool CompareKeywordEntries(const std::string& A, const std::string& B);
TKeywordList* BuildKeywordList();

extern TULAColorPalette* ULAColorPalette;
extern TKeywordList* KeywordList;

void CreateUlaGlobals();
void FreeUlaGlobals();
