// A flat button of our own: no frame until the mouse is over it, sunken
// while pressed; it never takes the focus. It shows a caption in its own
// font (a symbol font gives a glyph) or what OnPaintGlyph draws.
#pragma once

#include "toolkit/Control.h"

#include <functional>
#include <string>

struct SpeedButtonArgs {
    Control* Parent = nullptr;
    std::string Caption;
    std::string FontName;  // empty: the parent's font
    int FontHeight = 0;
    int Left = 0, Top = 0, Width = 23, Height = 22;
    bool Visible = true;
};

class SpeedButton : public Control {
public:
    SpeedButton(Component* Owner, const SpeedButtonArgs& Args);
    ~SpeedButton() override;
    void Click();

    std::function<void()> OnClick;
    std::function<void(HDC Dc, const RECT& Rect, bool Enabled)> OnPaintGlyph;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

private:
    void Paint(HDC Dc);

    HFONT FFont = nullptr;
    bool FHot = false;
    bool FDown = false;
};
