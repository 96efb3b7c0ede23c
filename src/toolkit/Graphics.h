// Colours and font sizes shared by the controls that paint themselves.
#pragma once

#include <windows.h>

#include <cstdint>

// An RGB value ($00BBGGRR), or a system colour as 0xFF000000 | COLOR_xxx.
using TColor = std::int32_t;

constexpr TColor SystemColor(int Index) { return static_cast<TColor>(0xFF000000u | unsigned(Index)); }

constexpr TColor clBtnFace = SystemColor(COLOR_BTNFACE);
constexpr TColor clWindowText = SystemColor(COLOR_WINDOWTEXT);
constexpr TColor clActiveCaption = SystemColor(COLOR_ACTIVECAPTION);
constexpr TColor clCaptionText = SystemColor(COLOR_CAPTIONTEXT);
constexpr TColor clInactiveCaption = SystemColor(COLOR_INACTIVECAPTION);
constexpr TColor clInactiveCaptionText = SystemColor(COLOR_INACTIVECAPTIONTEXT);

inline COLORREF ColorToRGB(TColor Color)
{
    const auto C = static_cast<std::uint32_t>(Color);
    return (C & 0xFF000000u) == 0xFF000000u ? ::GetSysColor(static_cast<int>(C & 0xFFu))
                                            : static_cast<COLORREF>(C);
}

// The CreateFont height of a font of Points points on the screen.
inline int FontHeightFromPoints(int Points)
{
    HDC Screen = ::GetDC(nullptr);
    const int Dpi = ::GetDeviceCaps(Screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, Screen);
    return -::MulDiv(Points, Dpi, 72);
}

// Runs Paint on an off-screen bitmap covering Area (client coordinates,
// not empty), then copies it to Dc: no flicker.
template <class PaintFn>
void PaintOffScreen(HDC Dc, const RECT& Area, PaintFn Paint)
{
    const int W = Area.right - Area.left, H = Area.bottom - Area.top;
    HDC Mem = ::CreateCompatibleDC(Dc);
    HBITMAP Bmp = ::CreateCompatibleBitmap(Dc, W, H);
    HGDIOBJ Old = ::SelectObject(Mem, Bmp);
    ::SetViewportOrgEx(Mem, -Area.left, -Area.top, nullptr);
    Paint(Mem);
    ::SetViewportOrgEx(Mem, 0, 0, nullptr);
    ::BitBlt(Dc, Area.left, Area.top, W, H, Mem, 0, 0, SRCCOPY);
    ::SelectObject(Mem, Old);
    ::DeleteObject(Bmp);
    ::DeleteDC(Mem);
}
