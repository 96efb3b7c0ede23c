// ComboBox: the system combo box, either a drop-down list or one with an
// edit field; owner-drawn items (of one height) go through OnDrawItem.
#pragma once

#include "toolkit/Canvas.h"
#include "toolkit/Control.h"

#include <functional>
#include <string>
#include <vector>

struct ComboBoxArgs {
    Control* Parent = nullptr;
    int Left = 0, Top = 0, Width = 145;
    int DropDownHeight = 200;  // the closed box's height is the system's
    int DropDownCount = 8;     // items shown by the open list
    int ItemHeight = 0;        // owner-drawn items; 0: the system's
    TAlign Align = TAlign::None;
    bool DropDownList = true;  // false: an edit field the user types into
    // A combo box's style is fixed when it is created.
    bool OwnerDrawFixed = false;
    bool Visible = true;
};

class ComboBox : public Control {
public:
    ComboBox(Component* Owner, const ComboBoxArgs& Args);
    ~ComboBox() override;

    int Count() const;
    std::string Item(int Index) const;
    void Clear();
    // The new item's index.
    int AddItem(const std::string& Text);
    void SetItems(const std::vector<std::string>& Items);
    // Exact text; -1 when absent.
    int IndexOf(const std::string& Text) const;
    int ItemIndex() const;
    void SetItemIndex(int Index);
    bool DroppedDown() const;
    void SetDroppedDown(bool Down);
    // Of the items and of the closed box's field.
    void SetItemHeight(int Height);

    // Background of the items and of the list.
    TColor Color() const { return FColor; }
    void SetColor(TColor Color);
    // A typed key drops the list down first.
    bool AutoDropDown = false;

    std::function<void()> OnChange;  // the user picked an item
    std::function<void()> OnDropDown;
    std::function<void()> OnCloseUp;
    // Key 0 consumes it.
    std::function<void(char& Key)> OnKeyPress;
    // Owner-drawn items; Index -1 for an empty box. The canvas brush is the
    // box's colour (the highlight for a selected item).
    std::function<void(int Index, const RECT& Rect, UINT State, Canvas& C)> OnDrawItem;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    void CommandNotify(WORD Code) override;
    bool DrawItemReflect(DRAWITEMSTRUCT* Item) override;
    HBRUSH CtlColorReflect(HDC DC) override;

private:
    bool FOwnerDraw;
    TColor FColor = SystemColor(COLOR_WINDOW);
    HBRUSH FBrush = nullptr;
    // The items' texts as added, in the box's order.
    std::vector<std::string> FItems;
};
