// A flat button of our own: no frame until the mouse is over it, sunken
// while pressed; it never takes the focus. It shows a caption in its
// parent's font or what OnPaintGlyph draws.
#pragma once

#include "toolkit/Control.h"

#include <functional>
#include <string>

struct SpeedButtonArgs {
    Control* Parent = nullptr;
    std::string Caption;
    int Left = 0, Top = 0, Width = 23, Height = 22;
    bool Visible = true;
};

class SpeedButton : public Control {
public:
    SpeedButton(Component* Owner, const SpeedButtonArgs& Args);
    void Click();

    std::function<void()> OnClick;
    std::function<void(HDC Dc, const RECT& Rect, bool Enabled)> OnPaintGlyph;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

private:
    void Paint(HDC Dc);

    bool FHot = false;
    bool FDown = false;
};
