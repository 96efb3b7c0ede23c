// A status bar at the bottom of its parent: one simple text, or panels of
// fixed widths.
#pragma once

#include "toolkit/Control.h"

#include <string>
#include <vector>

struct StatusBarArgs {
    Control* Parent = nullptr;
    bool Visible = true;
    bool SimplePanel = true;     // one text across the bar
    std::vector<int> PanelWidths;  // when not simple; -1: to the right edge
};

class StatusBar : public Control {
public:
    StatusBar(Component* Owner, const StatusBarArgs& Args);
    std::string SimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Text);
    std::string PanelText(int Index) const;
    void SetPanelText(int Index, const std::string& Text);

private:
    std::string FSimpleText;
    bool FSimple;
};
