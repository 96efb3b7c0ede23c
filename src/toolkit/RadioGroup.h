// RadioGroup: a framed group with a caption and one radio button per item,
// one above the other; ItemIndex is the chosen item (-1 none).
#pragma once

#include "toolkit/Control.h"

#include <functional>
#include <string>
#include <vector>

struct RadioGroupArgs {
    Control* Parent = nullptr;
    std::string Caption;
    std::vector<std::string> Items;
    int ItemIndex = -1;
    int Left = 0, Top = 0, Width = 185, Height = 105;
    TAlign Align = TAlign::None;
};

class RadioGroup : public Control {
public:
    RadioGroup(Component* Owner, const RadioGroupArgs& Args);

    int Count() const { return static_cast<int>(FButtons.size()); }
    HWND ItemHandle(int Index) const;
    int ItemIndex() const;
    // Selects without firing OnClick; -1 clears the choice.
    void SetItemIndex(int Index);
    void SetEnabled(bool Enabled);

    // The user chose an item.
    std::function<void()> OnClick;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

private:
    void PlaceItems();
    HWND FFrame = nullptr;
    std::vector<HWND> FButtons;
};
