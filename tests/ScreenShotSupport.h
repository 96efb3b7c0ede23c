// What the test display shows of a window, once its painting has settled.
#pragma once

#include "../bench/PngShot.h"
#include "toolkit/Application.h"

#include <windows.h>

#include <cstdint>
#include <set>
#include <vector>

// Captures Wnd's client area (Area gets it in screen coordinates) until two
// captures in a row agree: Wine hands painting to the display only when
// the thread waits.
inline std::vector<std::uint32_t> SettledCapture(HWND Wnd, RECT& Area)
{
    ::GetClientRect(Wnd, &Area);
    ::MapWindowPoints(Wnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&Area), 2);
    std::vector<std::uint32_t> Last;
    for (int I = 0; I < 50; ++I) {
        if (Application)
            Application->ProcessMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        std::vector<std::uint32_t> Now = CaptureScreen(Area);
        if (!Now.empty() && Now == Last)
            break;
        Last = std::move(Now);
    }
    return Last;
}

// A COLORREF as a captured pixel (0x00RRGGBB).
inline std::uint32_t PixelOf(COLORREF C)
{
    return (static_cast<std::uint32_t>(GetRValue(C)) << 16) | (GetGValue(C) << 8) | GetBValue(C);
}

inline std::uint32_t SysRgb(int Index)
{
    return PixelOf(::GetSysColor(Index));
}

// A W x H 32-bit bitmap to draw on; its pixels read as 0x00RRGGBB.
class DibCanvas {
public:
    DibCanvas(int W, int H) : FWidth(W)
    {
        BITMAPINFO Bi = {};
        Bi.bmiHeader = {sizeof(BITMAPINFOHEADER), W, -H, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        FDc = ::CreateCompatibleDC(nullptr);
        FBitmap = ::CreateDIBSection(FDc, &Bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
        FOld = ::SelectObject(FDc, FBitmap);
    }
    ~DibCanvas()
    {
        ::SelectObject(FDc, FOld);
        ::DeleteObject(FBitmap);
        ::DeleteDC(FDc);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    HDC Dc() const { return FDc; }
    std::uint32_t Pixel(int X, int Y) const
    {
        ::GdiFlush();
        return FBits[Y * FWidth + X] & 0xFFFFFFu;
    }

private:
    int FWidth;
    HDC FDc;
    HBITMAP FBitmap;
    HGDIOBJ FOld;
    std::uint32_t* FBits = nullptr;
};

struct Unpainted {
    bool Found = false;
    int X = 0, Y = 0;
    std::uint32_t Colour = 0;
};

// The first BlockW x BlockH block of W x H pixels that is all one colour
// outside Allowed: something no window painted.
inline Unpainted FindUnpainted(const std::vector<std::uint32_t>& Px, int W, int H,
                               const std::set<std::uint32_t>& Allowed, int BlockW, int BlockH)
{
    // Run[x] of a row: how many pixels from x rightwards share x's colour;
    // Tall[x]: how many rows up to this one had such a run, in one colour.
    std::vector<int> Run(static_cast<std::size_t>(W)), Tall(static_cast<std::size_t>(W), 0);
    std::vector<std::uint32_t> Above(static_cast<std::size_t>(W), 0);
    for (int Y = 0; Y < H; ++Y) {
        const std::uint32_t* Row = &Px[static_cast<std::size_t>(Y) * W];
        for (int X = W - 1; X >= 0; --X)
            Run[X] = (X + 1 < W && Row[X + 1] == Row[X]) ? Run[X + 1] + 1 : 1;
        for (int X = 0; X < W; ++X) {
            const bool Wide = Run[X] >= BlockW && !Allowed.count(Row[X]);
            Tall[X] = Wide ? (Tall[X] > 0 && Above[X] == Row[X] ? Tall[X] + 1 : 1) : 0;
            Above[X] = Row[X];
            if (Tall[X] >= BlockH)
                return {true, X, Y - BlockH + 1, Row[X]};
        }
    }
    return {};
}
