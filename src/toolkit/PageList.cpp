#include "toolkit/PageList.h"

PageList::PageList(Component* Owner, const PageListArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.Parent = Args.Parent;
    P.Style = WS_VISIBLE | WS_CLIPCHILDREN;
    P.ExStyle = WS_EX_CONTROLPARENT;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

Panel* PageList::AddPage(const std::string& Name)
{
    PanelArgs A;
    A.Parent = this;
    A.Align = TAlign::Client;
    A.Visible = FPages.empty();
    auto* Page = new Panel(this, A);
    Page->Name = Name;
    FPages.push_back(Page);
    if (!FActive)
        FActive = Page;
    return Page;
}

void PageList::SetActivePage(Panel* Page)
{
    if (!Page || Page == FActive)
        return;
    // Show the new page before hiding the old: no flash of the background.
    Page->SetVisible(true);
    if (FActive)
        FActive->SetVisible(false);
    FActive = Page;
}
