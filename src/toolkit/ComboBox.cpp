#include "toolkit/ComboBox.h"

#include <commctrl.h>

#include <algorithm>

ComboBox::ComboBox(Component* Owner, const ComboBoxArgs& Args)
    : Control(Owner), FOwnerDraw(Args.OwnerDrawFixed)
{
    CreateParams P;
    P.ClassName = WC_COMBOBOXA;
    P.Parent = Args.Parent;
    P.Style = WS_TABSTOP | WS_VSCROLL | (Args.DropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN) |
              (Args.OwnerDrawFixed ? CBS_OWNERDRAWFIXED | CBS_HASSTRINGS : 0) |
              (Args.Visible ? WS_VISIBLE : 0);
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.DropDownHeight;
    CreateHandle(P);
    // The creation-time WM_MEASUREITEM reaches the parent before this
    // object is attached: set the heights now.
    if (Args.OwnerDrawFixed)
        SetItemHeight(Args.ItemHeight);
    ::SendMessageA(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(Args.DropDownCount), 0);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

ComboBox::~ComboBox()
{
    DestroyHandle();
    if (FBrush)
        ::DeleteObject(FBrush);
}

int ComboBox::Count() const
{
    return static_cast<int>(::SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

std::string ComboBox::Item(int Index) const
{
    const LRESULT Len = ::SendMessageA(Handle(), CB_GETLBTEXTLEN, Index, 0);
    if (Len == CB_ERR)
        return std::string();
    std::string S(static_cast<std::size_t>(Len) + 1, '\0');
    const LRESULT Got = ::SendMessageA(Handle(), CB_GETLBTEXT, Index, reinterpret_cast<LPARAM>(&S[0]));
    S.resize(Got == CB_ERR ? 0 : static_cast<std::size_t>(Got));
    return S;
}

void ComboBox::Clear()
{
    ::SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
    FItems.clear();
}

int ComboBox::AddItem(const std::string& Text)
{
    const int Index =
        static_cast<int>(::SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str())));
    if (Index >= 0 && Index <= static_cast<int>(FItems.size()))
        FItems.insert(FItems.begin() + Index, Text);
    return Index;
}

void ComboBox::SetItems(const std::vector<std::string>& Items)
{
    ::SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    Clear();
    std::size_t Chars = 0;
    for (const std::string& S : Items)
        Chars += S.size() + 1;
    ::SendMessageA(Handle(), CB_INITSTORAGE, Items.size(), Chars);
    for (const std::string& S : Items)
        AddItem(S);
    ::SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

int ComboBox::IndexOf(const std::string& Text) const
{
    // CB_FINDSTRINGEXACT ignores letter case, and reading the items back
    // costs two messages each: the kept texts answer.
    const auto It = std::find(FItems.begin(), FItems.end(), Text);
    return It == FItems.end() ? -1 : static_cast<int>(It - FItems.begin());
}

int ComboBox::ItemIndex() const
{
    return static_cast<int>(::SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void ComboBox::SetItemIndex(int Index)
{
    ::SendMessageA(Handle(), CB_SETCURSEL, Index, 0);
}

bool ComboBox::DroppedDown() const
{
    return ::SendMessageA(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0;
}

void ComboBox::SetDroppedDown(bool Down)
{
    ::SendMessageA(Handle(), CB_SHOWDROPDOWN, Down, 0);
}

void ComboBox::SetItemHeight(int Height)
{
    if (Height < 1)
        return;
    ::SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Height);
    ::SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, Height);
}

void ComboBox::SetColor(TColor Color)
{
    if (Color == FColor)
        return;
    FColor = Color;
    if (FBrush) {
        ::DeleteObject(FBrush);
        FBrush = nullptr;
    }
    ::InvalidateRect(Handle(), nullptr, TRUE);
}

LRESULT ComboBox::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    // Arrows and Enter open and move the list even inside a dialog.
    if (Msg == WM_GETDLGCODE)
        return DefaultHandler(Msg, WParam, LParam) | DLGC_WANTARROWS;
    if (Msg == WM_CHAR) {
        const auto Alive = AliveFlag();
        char Key = static_cast<char>(WParam);
        if (AutoDropDown && !DroppedDown())
            SetDroppedDown(true);
        if (OnKeyPress)
            OnKeyPress(Key);
        if (!*Alive || Key == 0)
            return 0;
        WParam = static_cast<unsigned char>(Key);
    }
    return Control::WndProc(Msg, WParam, LParam);
}

void ComboBox::CommandNotify(WORD Code)
{
    switch (Code) {
    case CBN_SELCHANGE:
        if (OnChange)
            OnChange();
        break;
    case CBN_DROPDOWN:
        if (OnDropDown)
            OnDropDown();
        break;
    case CBN_CLOSEUP:
        if (OnCloseUp)
            OnCloseUp();
        break;
    }
}

bool ComboBox::DrawItemReflect(DRAWITEMSTRUCT* Item)
{
    if (!FOwnerDraw)
        return false;
    Canvas C(Item->hDC);
    const bool Selected = (Item->itemState & ODS_SELECTED) != 0;
    C.BrushColor = Selected ? SystemColor(COLOR_HIGHLIGHT) : FColor;
    C.FontColor = SystemColor(Selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    const int Index = static_cast<int>(Item->itemID);
    if (OnDrawItem) {
        OnDrawItem(Index, Item->rcItem, Item->itemState, C);
    } else {
        C.FillRect(Item->rcItem);
        if (Index >= 0)
            C.TextRect(Item->rcItem, Item->rcItem.left + 2, Item->rcItem.top, this->Item(Index));
    }
    if (Item->itemState & ODS_FOCUS)
        ::DrawFocusRect(Item->hDC, &Item->rcItem);
    return true;
}

HBRUSH ComboBox::CtlColorReflect(HDC DC)
{
    if (!FBrush)
        FBrush = ::CreateSolidBrush(ColorToRGB(FColor));
    ::SetBkColor(DC, ColorToRGB(FColor));
    return FBrush;
}
