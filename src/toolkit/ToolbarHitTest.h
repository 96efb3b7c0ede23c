// What a toolbar answers about the item under a point, for context help.
#pragma once

#include <windows.h>

class Control;

struct ToolbarItemInfo {
    bool HasItem = false;
    bool IsControlItem = false;      // an item that hosts a control
    Control* HostedControl = nullptr;
    int HelpContext = 0;             // the item's own
};

class ToolbarHitTest {
public:
    virtual ~ToolbarHitTest() = default;
    // False when no item viewer lies at P (client coordinates).
    virtual bool ItemAtPoint(POINT P, ToolbarItemInfo& Info) const = 0;
};
