// A drop-down list combo box, optionally owner-drawn with fixed item
// height: the box fills the background and the focus frame, OnDrawItem
// draws the item's content.
#pragma once

#include "toolkit/Control.h"

#include <functional>
#include <string>

struct ComboBoxArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 145;
    int DropDownCount = 8;  // items shown by the open list
    bool OwnerDrawFixed = false;
    int ItemHeight = 0;     // 0: the system's
    TAlign Align = TAlign::None;
};

enum TOwnerDrawState : unsigned { odSelected = 1, odFocused = 2, odDisabled = 4, odComboBoxEdit = 8 };

class ComboBox : public Control {
public:
    ComboBox(Component* Owner, const ComboBoxArgs& Args);

    int Count() const;
    std::string Item(int Index) const;
    int AddItem(const std::string& Text);
    void Clear();
    int IndexOf(const std::string& Text) const;
    int ItemIndex() const;
    void SetItemIndex(int Index);

    // The user chose another item (not fired by SetItemIndex).
    std::function<void()> OnChange;
    // Rect in the box's client coordinates; text and background colours
    // are set on Dc for the state.
    std::function<void(int Index, HDC Dc, const RECT& Rect, unsigned State)> OnDrawItem;

protected:
    void CommandNotify(WORD Code) override;
    bool DrawItemReflect(DRAWITEMSTRUCT* Item) override;
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
};
