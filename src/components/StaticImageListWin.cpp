#include "components/StaticImageListWin.h"

#include <cstring>

namespace {

TPixel PixelFromColorRef(COLORREF C)
{
    return RgbPixel(GetRValue(C), GetGValue(C), GetBValue(C));
}

COLORREF ColorRefFromPixel(TPixel P)
{
    return RGB(PixelRed(P), PixelGreen(P), PixelBlue(P));
}

COLORREF ColorRefFromTColor(std::int32_t Color)
{
    const auto C = static_cast<std::uint32_t>(Color);
    return (C & 0xFF000000u) == 0xFF000000u ? ::GetSysColor(static_cast<int>(C & 0xFFu))
                                            : static_cast<COLORREF>(C & 0xFFFFFFu);
}

} // namespace

HBITMAP CreatePixelBitmap(int Width, int Height, TPixel** Bits)
{
    BITMAPINFO Info = {};
    Info.bmiHeader.biSize = sizeof(Info.bmiHeader);
    Info.bmiHeader.biWidth = Width;
    Info.bmiHeader.biHeight = -Height;
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    void* Raw = nullptr;
    HBITMAP Bitmap = ::CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &Raw, nullptr, 0);
    *Bits = static_cast<TPixel*>(Raw);
    return Bitmap;
}

TStaticImageList::TStaticImageList(Component* Owner, int Width, int Height)
    : ImageList(Owner, ImageListArgs{Width, Height})
{
}

int TStaticImageList::Add(const TPixelBuffer& Image, TPixel TransparentColour)
{
    if (Image.Width != Width() || Image.Height != Height())
        return -1;
    TPixel* Bits = nullptr;
    HBITMAP Bitmap = CreatePixelBitmap(Width(), Height(), &Bits);
    if (!Bitmap)
        return -1;
    std::memcpy(Bits, Image.Pixels.data(), Image.Pixels.size() * sizeof(TPixel));
    const int Index = AddMasked(Bitmap, ColorRefFromPixel(TransparentColour));
    ::DeleteObject(Bitmap);
    return Index;
}

TPixelBuffer TStaticImageList::ImagePixels(int Index) const
{
    // The button face under the image, so an opaque look shows no seam.
    TPixelBuffer Work(Width(), Height(), PixelFromColorRef(::GetSysColor(COLOR_BTNFACE)));
    TPixel* Bits = nullptr;
    HBITMAP Bitmap = CreatePixelBitmap(Width(), Height(), &Bits);
    if (!Bitmap)
        return Work;
    std::memcpy(Bits, Work.Pixels.data(), Work.Pixels.size() * sizeof(TPixel));
    HDC Dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ Old = ::SelectObject(Dc, Bitmap);
    ::ImageList_Draw(Handle(), Index, Dc, 0, 0, ILD_TRANSPARENT);
    ::GdiFlush();
    for (std::size_t I = 0; I < Work.Pixels.size(); ++I)
        Work.Pixels[I] = Bits[I] & 0xFFFFFFu;
    ::SelectObject(Dc, Old);
    ::DeleteDC(Dc);
    ::DeleteObject(Bitmap);
    return Work;
}

void TStaticImageList::DrawWorkBitmap(HDC Canvas, int X, int Y, const TPixelBuffer& Work) const
{
    // Clear pixels: the bottom-left pixel names the clear colour, as for
    // any transparent bitmap. They go black in the image and white in the
    // mask, so AND then OR keeps the canvas there.
    const TPixel Key = Work.At(0, Height() - 1);
    TPixelBuffer Image = Work;
    TPixelBuffer Mask(Width(), Height(), 0);
    if (Transparent())
        for (std::size_t I = 0; I < Image.Pixels.size(); ++I)
            if (Image.Pixels[I] == Key) {
                Image.Pixels[I] = 0;
                Mask.Pixels[I] = 0xFFFFFFu;
            }
    HDC Dc = ::CreateCompatibleDC(Canvas);
    const auto Blit = [&](const TPixelBuffer& Source, DWORD Rop) {
        TPixel* Bits = nullptr;
        HBITMAP Bitmap = CreatePixelBitmap(Width(), Height(), &Bits);
        if (!Bitmap)
            return;
        std::memcpy(Bits, Source.Pixels.data(), Source.Pixels.size() * sizeof(TPixel));
        HGDIOBJ Old = ::SelectObject(Dc, Bitmap);
        ::BitBlt(Canvas, X, Y, Width(), Height(), Dc, 0, 0, Rop);
        ::SelectObject(Dc, Old);
        ::DeleteObject(Bitmap);
    };
    if (Transparent()) {
        Blit(Mask, SRCAND);
        Blit(Image, SRCPAINT);
    } else {
        Blit(Image, SRCCOPY);
    }
    ::DeleteDC(Dc);
}

void TStaticImageList::DrawState(HDC Canvas, int X, int Y, int Index, bool Enabled,
                                 bool Selected, bool Checked) const
{
    (void)Selected;
    if (Index < 0 || Index >= Count())
        return;
    const TImageLook Look = LookFor(Index, Enabled, Checked);
    if (Look == TImageLook::Direct) {
        ::ImageList_Draw(Handle(), Index, Canvas, X, Y, ILD_TRANSPARENT);
        return;
    }
    TPixelBuffer Work = ImagePixels(Index);
    if (Look == TImageLook::Embossed)
        DrawDisabledImage(Work, PixelFromColorRef(::GetSysColor(COLOR_BTNFACE)),
                          PixelFromColorRef(::GetSysColor(COLOR_BTNHIGHLIGHT)),
                          PixelFromColorRef(::GetSysColor(COLOR_BTNSHADOW)));
    else if (Look == TImageLook::Greyscale)
        MakeGrayscale(Work);
    DrawWorkBitmap(Canvas, X, Y, Work);
    if (Look == TImageLook::Framed) {
        HPEN Pen = ::CreatePen(PS_SOLID, 1, ColorRefFromTColor(BorderColor()));
        HGDIOBJ OldPen = ::SelectObject(Canvas, Pen);
        HGDIOBJ OldBrush = ::SelectObject(Canvas, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(Canvas, X, Y, X + Width(), Y + Height());
        ::SelectObject(Canvas, OldBrush);
        ::SelectObject(Canvas, OldPen);
        ::DeleteObject(Pen);
    }
}
