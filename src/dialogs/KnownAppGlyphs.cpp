#include "dialogs/KnownAppGlyphs.h"

#include <string>

namespace {

// 5 x 7 letters; '#' is a pixel.
using Letter = std::vector<std::string>;

const Letter LetterF = {"#####", "#....", "#....", "####.", "#....", "#....", "#...."};
const Letter LetterU = {"#...#", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."};
const Letter LetterB = {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."};
const Letter LetterR = {"####.", "#...#", "#...#", "####.", "#.#..", "#..#.", "#...#"};
const Letter LetterH = {"#...#", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"};
const Letter LetterE = {"#####", "#....", "#....", "####.", "#....", "#....", "#####"};
const Letter Digit1 = {"..#..", ".##..", "#.#..", "..#..", "..#..", "..#..", "#####"};

// A rounded box of Fill with a dark edge and the letter in bold white.
TPixelBuffer LetterIcon(const Letter& L, TPixel Fill)
{
    TPixelBuffer G(GlyphSize, GlyphSize, GlyphTransparent);
    const TPixel Edge = RgbPixel(40, 40, 40), White = RgbPixel(255, 255, 255);
    for (int Y = 1; Y <= 14; ++Y)
        for (int X = 1; X <= 14; ++X) {
            const bool Corner = (X == 1 || X == 14) && (Y == 1 || Y == 14);
            if (Corner)
                continue;
            const bool OnEdge = X == 1 || X == 14 || Y == 1 || Y == 14;
            G.At(X, Y) = OnEdge ? Edge : Fill;
        }
    for (int Y = 0; Y < 7; ++Y)
        for (int X = 0; X < 5; ++X)
            if (L[static_cast<std::size_t>(Y)][static_cast<std::size_t>(X)] == '#') {
                G.At(5 + X, 4 + Y) = White;
                G.At(6 + X, 4 + Y) = White;
            }
    return G;
}

}  // namespace

std::vector<TPixelBuffer> FlagGlyphs()
{
    const TPixel Green = RgbPixel(32, 150, 48), Red = RgbPixel(200, 32, 32),
                 Blue = RgbPixel(40, 90, 200), Orange = RgbPixel(230, 130, 20),
                 Purple = RgbPixel(120, 60, 160), Teal = RgbPixel(20, 140, 140),
                 Brown = RgbPixel(150, 110, 30);
    return {LetterIcon(LetterF, Green),  LetterIcon(LetterU, Red),
            LetterIcon(LetterB, Blue),   TPixelBuffer(GlyphSize, GlyphSize, GlyphTransparent),
            LetterIcon(LetterR, Orange), LetterIcon(LetterU, Red),
            LetterIcon(LetterH, Purple), LetterIcon(Digit1, Teal),
            LetterIcon(LetterE, Brown)};
}

std::vector<TPixelBuffer> EditToolbarGlyphs()
{
    // Borrowed from the panel toolbar: add child, delete, apply, reload.
    const std::vector<TPixelBuffer> Panel = PanelToolbarGlyphs();
    return {Panel[12], Panel[4], TPixelBuffer(GlyphSize, GlyphSize, GlyphTransparent), Panel[10],
            Panel[18]};
}
