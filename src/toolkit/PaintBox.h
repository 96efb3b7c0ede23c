// PaintBox: a child window whose owner draws it. A paint request is
// validated here and handed to OnPaint with the window's device context.
#pragma once

#include "toolkit/Control.h"

#include <functional>

struct PaintBoxArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 105, Height = 105;
    TAlign Align = TAlign::None;
};

class PaintBox : public Control {
public:
    PaintBox(Component* Owner, const PaintBoxArgs& Args);

    std::function<void(HDC Dc, const RECT& Client)> OnPaint;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
};
