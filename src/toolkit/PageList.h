// PageList: a stack of pages (panels filling it) of which one is shown.
#pragma once

#include "toolkit/Control.h"
#include "toolkit/Panel.h"

#include <string>
#include <vector>

struct PageListArgs {
    Control* Parent = nullptr;
    TAlign Align = TAlign::Client;
    int Left = 0, Top = 0, Width = 200, Height = 200;
};

class PageList : public Control {
public:
    PageList(Component* Owner, const PageListArgs& Args);

    // A new, hidden page; the first page added is shown.
    Panel* AddPage(const std::string& Name);
    const std::vector<Panel*>& Pages() const { return FPages; }
    void SetActivePage(Panel* Page);

private:
    std::vector<Panel*> FPages;
    Panel* FActive = nullptr;
};
