// Popup menus: shown at a point or dropped down under a button, with radio
// groups and images drawn by the caller (any image list).
#pragma once

#include "toolkit/Component.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class MenuItem {
public:
    std::string Caption;  // "-" is a separator
    int Tag = 0;
    int ImageIndex = -1;
    // Items of one group above 0 show their check as a radio mark.
    int GroupIndex = 0;
    bool Checked = false;
    bool Enabled = true;
    std::function<void(MenuItem& Sender)> OnClick;
};

class PopupMenu : public Component {
public:
    explicit PopupMenu(Component* Owner);
    ~PopupMenu() override;

    // Draws image Index with its top-left corner at X, Y.
    std::function<void(HDC Dc, int Index, int X, int Y, bool Enabled)> DrawImage;
    SIZE ImageSize = {16, 16};
    // Before the menu opens (items may be changed here).
    std::function<void()> OnPopup;

    int Count() const { return static_cast<int>(FItems.size()); }
    MenuItem& Items(int Index) { return *FItems[static_cast<std::size_t>(Index)]; }
    MenuItem& Add(const MenuItem& Item);
    MenuItem& Add(MenuItem&& Item);
    void Clear();

    // Opens at a screen point; runs the chosen item's OnClick. Answers the
    // chosen index or -1.
    int Popup(int X, int Y);
    // Opens below (or, without room, above) a rectangle in screen
    // coordinates, as a button's drop-down, keeping it uncovered. The
    // chosen item runs once the message being handled is done: a tool bar
    // that asked drops the clicks waiting for it when its drop-down
    // returns, and the user clicks on while a long choice (a layout
    // applied) runs.
    int DropDown(const RECT& ScreenRect);
    // Runs item Index as a choice from the menu would.
    void Click(int Index);

    // The menu as last built; valid while it is open.
    HMENU Handle() const { return FMenu; }

private:
    class OwnerWindow;
    int Track(int X, int Y, const RECT* Exclude, bool Later);
    void Build();

    std::vector<std::unique_ptr<MenuItem>> FItems;
    HMENU FMenu = nullptr;
    OwnerWindow* FWindow = nullptr;
};
