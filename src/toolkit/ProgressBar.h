// ProgressBar: the common progress bar control.
#pragma once

#include "toolkit/Control.h"

struct ProgressBarArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 150, Height = 17;
    TAlign Align = TAlign::None;
};

class ProgressBar : public Control {
public:
    ProgressBar(Component* Owner, const ProgressBarArgs& Args);
    void SetRange(int Min, int Max);
    int Min() const;
    int Max() const;
    int Position() const;
    void SetPosition(int Value);
};
