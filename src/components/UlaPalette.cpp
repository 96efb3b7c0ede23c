#include "components/UlaPalette.h"

#include <algorithm>
#include <cmath>

TULAColorPalette* ULAColorPalette = nullptr;
TKeywordList* KeywordList = nullptr;

namespace {

constexpr TColor Rgb(unsigned R, unsigned G, unsigned B)
{
    return R | (G << 8) | (B << 16);
}

constexpr TColor NormalColors[8] = {Rgb(0, 0, 0),     Rgb(0, 0, 160),   Rgb(220, 0, 0),
                                    Rgb(228, 0, 180), Rgb(0, 212, 0),   Rgb(0, 212, 212),
                                    Rgb(208, 208, 0), Rgb(200, 200, 200)};
constexpr TColor BrightColors[8] = {Rgb(0, 0, 0),     Rgb(0, 0, 172),   Rgb(240, 0, 0),
                                    Rgb(252, 0, 220), Rgb(0, 240, 0),   Rgb(0, 252, 252),
                                    Rgb(252, 252, 0), Rgb(252, 252, 252)};

// The Spectrum's own keyword tokens, codes 165 (RND) to 255 (COPY).
const char* const SpectrumTokens[91] = {
    "RND", "INKEY$", "PI", "FN ", "POINT ", "SCREEN$ ", "ATTR ", "AT ", "TAB ", "VAL$ ",
    "CODE ", "VAL ", "LEN ", "SIN ", "COS ", "TAN ", "ASN ", "ACS ", "ATN ", "LN ", "EXP ",
    "INT ", "SQR ", "SGN ", "ABS ", "PEEK ", "IN ", "USR ", "STR$ ", "CHR$ ", "NOT ", "BIN ",
    "OR ", "AND ", "<=", ">=", "<>", "LINE ", "THEN ", "TO ", "STEP ", "DEF FN ", "CAT ",
    "FORMAT ", "MOVE ", "ERASE ", "OPEN #", "CLOSE #", "MERGE ", "VERIFY ", "BEEP ",
    "CIRCLE ", "INK ", "PAPER ", "FLASH ", "BRIGHT ", "INVERSE ", "OVER ", "OUT ", "LPRINT ",
    "LLIST ", "STOP ", "READ ", "DATA ", "RESTORE ", "NEW ", "BORDER ", "CONTINUE ", "DIM ",
    "REM ", "FOR ", "GO TO ", "GO SUB ", "INPUT ", "LOAD ", "LIST ", "LET ", "PAUSE ",
    "NEXT ", "POKE ", "PRINT ", "PLOT ", "RUN ", "SAVE ", "RANDOMIZE ", "IF ", "CLS ",
    "DRAW ", "CLEAR ", "RETURN ", "COPY "};

// Extension keywords, codes 128 to 164.
const char* const ExtensionKeywords[37] = {
    "KEYWORDS ", "DEF PROC ", "PROC ", "END PROC ", "RENUM ", "WINDOW ", "AUTO ",
    "DELETE ", "REF ", "JOIN ", "EDIT ", "KEYIN ", "LOCAL ", "DEFAULT ", "DEF KEY ",
    "CSIZE ", "ALTER ", "BLANK ", "CLOCK ", "DO ", "ELSE ", "FILL ", "GET ", "BLANK ",
    "EXIT IF ", "WHILE ", "UNTIL ", "LOOP ", "SORT ", "ON ERROR ", "ON ", "DPOKE ", "POP ",
    "ROLL ", "SCROLL ", "TRACE ", "USING "};

std::string Prefix(int Kind, int Code)
{
    return std::string(1, static_cast<char>(Kind)) + static_cast<char>(Code);
}

}  // namespace

TULAColorPalette::TULAColorPalette()
{
    UpdateCount = 0;
    Reset();
}

void TULAColorPalette::Reset()
{
    PaletteState = 0;
    FillPalette();
    Changed();
}

void TULAColorPalette::FillPalette()
{
    for (int K = 0; K < 64; ++K)
        Colors[K] = (K / 16) % 2 ? BrightColors[K % 8] : NormalColors[K % 8];
}

void TULAColorPalette::Changed()
{
    if (UpdateCount == 0 && OnChange)
        OnChange(*this);
}

void AddKeywordSpellings(TKeywordList& List, const std::string& Prefix,
                         const std::string& Keyword)
{
    std::vector<std::string> Words(1);
    for (char C : Keyword)
        if (C == ' ')
            Words.emplace_back();
        else
            Words.back() += C;
    const unsigned Blanks = static_cast<unsigned>(Words.size() - 1);
    for (unsigned Mask = 0; Mask < (1u << Blanks); ++Mask) {
        std::string Entry = Prefix + Words[0];
        for (unsigned K = 1; K <= Blanks; ++K) {
            if (Mask & (1u << (K - 1)))
                Entry += ' ';
            Entry += Words[K];
        }
        List.push_back(Entry);
    }
}

bool CompareKeywordEntries(const std::string& A, const std::string& B)
{
    const std::size_t La = A.size() > 2 ? A.size() - 2 : 0;
    const std::size_t Lb = B.size() > 2 ? B.size() - 2 : 0;
    if (La != Lb)
        return La > Lb;
    // Ordinal: bytes as unsigned.
    return A.compare(A.size() - La, La, B, B.size() - Lb, Lb) > 0;
}

TKeywordList* BuildKeywordList()
{
    auto* List = new TKeywordList;
    for (int Code = 165; Code <= 255; ++Code)
        AddKeywordSpellings(*List, Prefix(1, Code), SpectrumTokens[Code - 165]);
    AddKeywordSpellings(*List, Prefix(2, 163), "SPECTRUM ");
    AddKeywordSpellings(*List, Prefix(2, 164), "PLAY ");
    for (int Code = 128; Code <= 164; ++Code)
        AddKeywordSpellings(*List, Prefix(3, Code), ExtensionKeywords[Code - 128]);
    AddKeywordSpellings(*List, Prefix(3, 157), std::string(1, static_cast<char>(158)) + "ERROR ");

    static const char* const Letters3and4 = "ACDEFILMNOPRSTUVX";
    static const char* const Functions3and4[17] = {
        "AND(", "COSE(", "DEC(", "EOF(", "FILLED(", "INSTRING(", "LENGTH(", "MEM(", "NUMBER(",
        "OR(", "DPEEK(", "RNDM(", "SINE(", "ITEM(", "INARRAY(", "MOD(", "XOR("};
    for (int I = 0; I < 17; ++I) {
        std::string Name = Functions3and4[I];
        Name.insert(Name.size() - 1, " ");
        const char Letter = static_cast<char>(Letters3and4[I] - 'A' + 'a');
        AddKeywordSpellings(*List, Prefix(3, Letter), Name);
        AddKeywordSpellings(*List, Prefix(4, Letter), Name);
    }
    static const char* const Letters3 = "BCHKMSTUZ";
    static const char* const Functions3[9] = {"BIN$", "CHAR$", "HEX$", "SCRN$", "MEMORY$",
                                              "STRING$", "TIME$", "USING$", "SHIFT$"};
    for (int I = 0; I < 9; ++I)
        AddKeywordSpellings(*List, Prefix(3, Letters3[I]), std::string(Functions3[I]) + " ");
    static const char* const Letters4 = "BCFHKMSTUXYZ";
    static const char* const Functions4[12] = {"BIN$",   "CHAR$",   "FP$",   "HEX$",
                                               "SCRN$",  "MEMORY$", "STRING$", "TIME$",
                                               "USING$", "MDP$",    "CAT$",  "SHIFT$"};
    for (int I = 0; I < 12; ++I)
        AddKeywordSpellings(*List, Prefix(4, Letters4[I]), std::string(Functions4[I]) + " ");

    std::stable_sort(List->begin(), List->end(), CompareKeywordEntries);
    return List;
}

void TColorPickerCells::SetCellSize(int Value)
{
    if (Value == FCellSize)
        return;
    FCellSize = Value;
    if (Repaint)
        Repaint();
}

TListViewItemCount UpdateItemCount(int Items, const std::function<bool(int Index)>& Filter,
                                   bool LargeImages, int ImageWidth, int ImageHeight)
{
    TListViewItemCount R;
    for (int I = 0; I < Items; ++I)
        if (!Filter || Filter(I))
            ++R.Count;
    if (LargeImages) {
        R.SpacingX = static_cast<int>(std::nearbyint(3.5 * ImageWidth));
        R.SpacingY = static_cast<int>(std::nearbyint(2.5 * ImageHeight));
    }
    return R;
}

void CreateUlaGlobals()
{
    if (!ULAColorPalette)
        ULAColorPalette = new TULAColorPalette;
    if (!KeywordList)
        KeywordList = BuildKeywordList();
}

void FreeUlaGlobals()
{
    delete KeywordList;
    KeywordList = nullptr;
    delete ULAColorPalette;
    ULAColorPalette = nullptr;
}
