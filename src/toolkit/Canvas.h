// Canvas: a device context with the brush and font colour that a cell
// painter sets before filling and writing, so that one painter can change
// the colours the next one uses.
#pragma once

#include "toolkit/Graphics.h"

#include <windows.h>

#include <string>

class Canvas {
public:
    explicit Canvas(HDC Dc) : FDc(Dc) {}
    HDC Handle() const { return FDc; }

    TColor BrushColor = SystemColor(COLOR_WINDOW);
    // A clear brush fills nothing and writes text without a background.
    bool BrushClear = false;
    TColor FontColor = SystemColor(COLOR_WINDOWTEXT);

    void FillRect(const RECT& R);
    // Writes at (X, Y); the background is the brush unless it is clear.
    void TextOut(int X, int Y, const std::string& Text);
    // Like TextOut, clipped to Clip, whose background is filled first.
    void TextRect(const RECT& Clip, int X, int Y, const std::string& Text);
    int TextWidth(const std::string& Text) const;
    int TextHeight(const std::string& Text) const;

private:
    void PrepareText();
    HDC FDc;
};
