// Edit: the single-line system edit control.
#pragma once

#include "toolkit/Control.h"

#include <functional>
#include <string>

struct EditArgs {
    Control* Parent = nullptr;
    std::string Text;
    int Left = 0, Top = 0, Width = 121, Height = 21;
    bool ReadOnly = false;
};

class Edit : public Control {
public:
    Edit(Component* Owner, const EditArgs& Args);

    // Every change of the text, typed or set.
    std::function<void()> OnChange;
    // A typed character; set Key to 0 to drop it.
    std::function<void(char& Key)> OnKeyPress;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    void CommandNotify(WORD Code) override;
};
