// Panel: a plain child window that holds other controls.
#pragma once

#include "toolkit/Control.h"

#include <string>

struct PanelArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 100, Height = 100;
    TAlign Align = TAlign::None;
    bool Border = false;  // a sunken client edge
    bool Visible = true;
};

class Panel : public Control {
public:
    Panel(Component* Owner, const PanelArgs& Args);
};
