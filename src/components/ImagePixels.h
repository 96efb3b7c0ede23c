// Pixel work of the toolbar image list over a plain buffer: greyscale,
// the disabled (embossed) glyph and its mask. Portable.
#pragma once

#include <cstdint>
#include <vector>

// 0x00RRGGBB, the layout of a 32-bit top-down DIB section row.
using TPixel = std::uint32_t;

constexpr TPixel RgbPixel(unsigned R, unsigned G, unsigned B)
{
    return ((R & 0xFFu) << 16) | ((G & 0xFFu) << 8) | (B & 0xFFu);
}
constexpr unsigned PixelRed(TPixel P) { return (P >> 16) & 0xFFu; }
constexpr unsigned PixelGreen(TPixel P) { return (P >> 8) & 0xFFu; }
constexpr unsigned PixelBlue(TPixel P) { return P & 0xFFu; }

struct TPixelBuffer {
    int Width = 0;
    int Height = 0;
    std::vector<TPixel> Pixels;  // row by row from the top

    TPixelBuffer() = default;
    TPixelBuffer(int W, int H, TPixel Fill = 0);
    TPixel& At(int X, int Y) { return Pixels[static_cast<std::size_t>(Y * Width + X)]; }
    TPixel At(int X, int Y) const { return Pixels[static_cast<std::size_t>(Y * Width + X)]; }
    bool Contains(int X, int Y) const { return X >= 0 && Y >= 0 && X < Width && Y < Height; }
    void Fill(TPixel Colour);
};

// Every pixel becomes grey = (77 red + 151 green + 28 blue) >> 8.
void MakeGrayscale(TPixelBuffer& B);

// One byte per pixel: 1 where B is black, 0 elsewhere.
std::vector<std::uint8_t> BlackMask(const TPixelBuffer& B);

// The embossed look of a disabled item: B becomes Face, the glyph's black
// pixels are laid in Highlight one pixel down and right, then in Shadow at
// their own place.
void DrawDisabledImage(TPixelBuffer& B, TPixel Face, TPixel Highlight, TPixel Shadow);
