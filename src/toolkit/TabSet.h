// TabSet: a row of tabs along the bottom of its parent (a tab control with
// the tabs below). Changing the tab asks OnChange first.
#pragma once

#include "toolkit/Control.h"

#include <functional>
#include <string>
#include <vector>

struct TabSetArgs {
    Control* Parent = nullptr;
    TAlign Align = TAlign::Bottom;
    int Left = 0, Top = 0, Width = 200, Height = 22;
    std::string FontName;  // empty: the parent's font
    int FontHeight = 0;
};

class TabSet : public Control {
public:
    TabSet(Component* Owner, const TabSetArgs& Args);
    ~TabSet() override;

    // Redraws once at EndUpdate.
    void BeginUpdate();
    void EndUpdate();
    void Clear();
    int AddTab(const std::string& Text);
    int Count() const;
    std::string Tab(int Index) const;
    // Client rectangle of a tab.
    RECT TabRect(int Index) const;
    // Asks OnChange, then selects; false when refused or out of range.
    bool SetTabIndex(int Index);

    std::function<void(int NewTab, bool& AllowChange)> OnChange;

protected:
    LRESULT NotifyReflect(NMHDR* Header, bool& Handled) override;

private:
    HFONT FFont = nullptr;
    int FIndex = -1;
    // The texts as given: reading them back from the control would need a
    // buffer, which a long category name could outgrow.
    std::vector<std::string> FTexts;
};
