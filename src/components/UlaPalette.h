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

// A colour picker's cells: a new size is stored and the picker repainted
// at once.
class TColorPickerCells {
public:
    int CellSize() const { return FCellSize; }
    void SetCellSize(int Value);
    std::function<void()> Repaint;

private:
    int FCellSize = 0;
};

// A list view's item count: the items that pass Filter (all without one);
// with large images an icon spacing of 3.5 x 2.5 image sizes, rounded,
// else -1 x -1 (the system's default).
struct TListViewItemCount {
    int Count = 0;
    int SpacingX = -1;
    int SpacingY = -1;
};
TListViewItemCount UpdateItemCount(int Items, const std::function<bool(int Index)>& Filter,
                                   bool LargeImages, int ImageWidth, int ImageHeight);

extern TULAColorPalette* ULAColorPalette;
extern TKeywordList* KeywordList;

void CreateUlaGlobals();
void FreeUlaGlobals();
