#include "toolkit/Canvas.h"

void Canvas::FillRect(const RECT& R)
{
    if (BrushClear)
        return;
    // The DC brush needs no brush object per fill.
    ::SetDCBrushColor(FDc, ColorToRGB(BrushColor));
    ::FillRect(FDc, &R, static_cast<HBRUSH>(::GetStockObject(DC_BRUSH)));
}

void Canvas::PrepareText()
{
    ::SetTextColor(FDc, ColorToRGB(FontColor));
    ::SetBkColor(FDc, ColorToRGB(BrushColor));
    ::SetBkMode(FDc, BrushClear ? TRANSPARENT : OPAQUE);
}

void Canvas::TextOut(int X, int Y, const std::string& Text)
{
    PrepareText();
    ::TextOutA(FDc, X, Y, Text.c_str(), static_cast<int>(Text.size()));
}

void Canvas::TextRect(const RECT& Clip, int X, int Y, const std::string& Text)
{
    PrepareText();
    ::ExtTextOutA(FDc, X, Y, ETO_CLIPPED | (BrushClear ? 0 : ETO_OPAQUE), &Clip, Text.c_str(),
                  static_cast<UINT>(Text.size()), nullptr);
}

int Canvas::TextWidth(const std::string& Text) const
{
    SIZE Sz = {0, 0};
    ::GetTextExtentPoint32A(FDc, Text.c_str(), static_cast<int>(Text.size()), &Sz);
    return Sz.cx;
}

int Canvas::TextHeight(const std::string& Text) const
{
    SIZE Sz = {0, 0};
    // An empty text still has the font's height.
    ::GetTextExtentPoint32A(FDc, Text.empty() ? " " : Text.c_str(),
                            Text.empty() ? 1 : static_cast<int>(Text.size()), &Sz);
    return Sz.cy;
}
