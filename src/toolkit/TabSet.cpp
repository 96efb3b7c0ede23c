#include "toolkit/TabSet.h"

#include <commctrl.h>

#include <algorithm>

TabSet::TabSet(Component* Owner, const TabSetArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.ClassName = WC_TABCONTROLA;
    P.Parent = Args.Parent;
    P.Style = WS_VISIBLE | TCS_BOTTOM | TCS_TABS | TCS_FOCUSNEVER;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    if (!Args.FontName.empty()) {
        FFont = ::CreateFontA(Args.FontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_DONTCARE, Args.FontName.c_str());
        ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont), TRUE);
    }
    // Twice the usual room beside each text: the tab control sizes a tab by
    // the font's measure, and Wine draws some texts wider than that, up to
    // the tab's edge.
    ::SendMessageA(Handle(), TCM_SETPADDING, 0, MAKELPARAM(12, 3));
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

TabSet::~TabSet()
{
    DestroyHandle();
    if (FFont)
        ::DeleteObject(FFont);
}

void TabSet::BeginUpdate()
{
    ::SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
}

void TabSet::EndUpdate()
{
    ::SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

void TabSet::Clear()
{
    ::SendMessageA(Handle(), TCM_DELETEALLITEMS, 0, 0);
    FIndex = -1;
    FTexts.clear();
}

int TabSet::AddTab(const std::string& Text)
{
    TCITEMA Item = {};
    Item.mask = TCIF_TEXT;
    Item.pszText = const_cast<char*>(Text.c_str());
    const int Index = static_cast<int>(::SendMessageA(Handle(), TCM_INSERTITEMA, static_cast<WPARAM>(Count()),
                                                      reinterpret_cast<LPARAM>(&Item)));
    if (Index >= 0)
        FTexts.insert(FTexts.begin() + std::min<std::size_t>(static_cast<std::size_t>(Index), FTexts.size()), Text);
    return Index;
}

int TabSet::Count() const
{
    return static_cast<int>(::SendMessageA(Handle(), TCM_GETITEMCOUNT, 0, 0));
}

std::string TabSet::Tab(int Index) const
{
    return Index >= 0 && Index < static_cast<int>(FTexts.size()) ? FTexts[static_cast<std::size_t>(Index)]
                                                                 : std::string();
}

RECT TabSet::TabRect(int Index) const
{
    RECT R = {};
    ::SendMessageA(Handle(), TCM_GETITEMRECT, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&R));
    return R;
}

bool TabSet::SetTabIndex(int Index)
{
    if (Index < 0 || Index >= Count())
        return false;
    bool Allow = true;
    if (OnChange)
        OnChange(Index, Allow);
    if (!Allow)
        return false;
    FIndex = Index;
    ::SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(Index), 0);
    return true;
}

LRESULT TabSet::NotifyReflect(NMHDR* Header, bool& Handled)
{
    Handled = false;
    if (Header->code != TCN_SELCHANGE)
        return 0;
    Handled = true;
    const int Chosen = static_cast<int>(::SendMessageA(Handle(), TCM_GETCURSEL, 0, 0));
    const int Before = FIndex;
    // The control has moved already: put it back, then ask.
    ::SendMessageA(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(Before), 0);
    SetTabIndex(Chosen);
    return 0;
}
