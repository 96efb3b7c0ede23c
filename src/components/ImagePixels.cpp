#include "components/ImagePixels.h"

TPixelBuffer::TPixelBuffer(int W, int H, TPixel FillColour)
    : Width(W < 0 ? 0 : W), Height(H < 0 ? 0 : H),
      Pixels(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), FillColour)
{
}

void TPixelBuffer::Fill(TPixel Colour)
{
    for (TPixel& P : Pixels)
        P = Colour;
}

void MakeGrayscale(TPixelBuffer& B)
{
    for (TPixel& P : B.Pixels) {
        const unsigned Grey = (77 * PixelRed(P) + 151 * PixelGreen(P) + 28 * PixelBlue(P)) >> 8;
        P = RgbPixel(Grey, Grey, Grey);
    }
}

std::vector<std::uint8_t> BlackMask(const TPixelBuffer& B)
{
    std::vector<std::uint8_t> Mask(B.Pixels.size());
    for (std::size_t I = 0; I < B.Pixels.size(); ++I)
        Mask[I] = (B.Pixels[I] & 0xFFFFFFu) == 0 ? 1 : 0;
    return Mask;
}

// Lays Colour wherever the mask is set, shifted by (Dx, Dy), clipped to B.
static void LayMask(TPixelBuffer& B, const std::vector<std::uint8_t>& Mask, int Dx, int Dy,
                    TPixel Colour)
{
    for (int Y = 0; Y < B.Height; ++Y)
        for (int X = 0; X < B.Width; ++X)
            if (Mask[static_cast<std::size_t>(Y * B.Width + X)] && B.Contains(X + Dx, Y + Dy))
                B.At(X + Dx, Y + Dy) = Colour;
}

void DrawDisabledImage(TPixelBuffer& B, TPixel Face, TPixel Highlight, TPixel Shadow)
{
    const std::vector<std::uint8_t> Mask = BlackMask(B);
    B.Fill(Face);
    LayMask(B, Mask, 1, 1, Highlight);
    LayMask(B, Mask, 0, 0, Shadow);
}
