// SpinEdit: a number edit with up and down arrows (an EDIT and its buddy
// up-down control) limited to MinValue..MaxValue.
#pragma once

#include "toolkit/Control.h"

#include <functional>

struct SpinEditArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 80, Height = 21;
    int MinValue = 0, MaxValue = 100;
    int Value = 0;
};

class SpinEdit : public Control {
public:
    SpinEdit(Component* Owner, const SpinEditArgs& Args);
    ~SpinEdit() override;

    int MinValue() const { return FMin; }
    int MaxValue() const { return FMax; }
    // The typed number within the range; text that is no number counts as
    // MinValue clamped to 0.
    int Value() const;
    // Clamped to the range; a changed text fires OnChange.
    void SetValue(int Value);
    // The edit and its arrows together.
    void SetEnabled(bool Enabled);

    // Every change of the text: typed, by the arrows or by SetValue.
    std::function<void()> OnChange;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    void CommandNotify(WORD Code) override;

private:
    // Keeps the arrows on the right edge when the edit is moved or sized.
    void PlaceArrows();
    int FMin, FMax;
    HWND FUpDown = nullptr;
    bool FArrowsAttached = false;
    int FArrowsGap = 0;  // from the edit's right edge to the arrows' left
};
