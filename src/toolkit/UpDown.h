// UpDown: the system up-down arrows on their own (no buddy window); the
// owner shows the position where it likes.
#pragma once

#include "toolkit/Control.h"

#include <functional>

struct UpDownArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 17, Height = 21;
    int Min = 0, Max = 100;
    int Position = 0;
};

class UpDown : public Control {
public:
    UpDown(Component* Owner, const UpDownArgs& Args);

    int Position() const;
    // Sends no events.
    void SetPosition(int Value);

    // Before an arrow moves the position to NewValue; Allow false keeps it.
    std::function<void(int NewValue, bool& Allow)> OnChanging;
    // After an arrow moved the position.
    std::function<void()> OnClick;

protected:
    LRESULT NotifyReflect(NMHDR* Header, bool& Handled) override;
    bool ScrollReflect(UINT Msg, WPARAM WParam) override;
};
