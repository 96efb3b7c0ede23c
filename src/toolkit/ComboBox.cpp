#include "toolkit/ComboBox.h"

#include <commctrl.h>

ComboBox::ComboBox(Component* Owner, const ComboBoxArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.ClassName = WC_COMBOBOXA;
    P.Parent = Args.Parent;
    P.Style = WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST |
              (Args.OwnerDrawFixed ? CBS_OWNERDRAWFIXED | CBS_HASSTRINGS : 0);
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = 200;
    CreateHandle(P);
    // The creation-time WM_MEASUREITEM reaches the parent before this
    // object is attached: set the heights now.
    if (Args.OwnerDrawFixed && Args.ItemHeight > 0) {
        ::SendMessageA(Handle(), CB_SETITEMHEIGHT, 0, Args.ItemHeight);
        ::SendMessageA(Handle(), CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), Args.ItemHeight);
    }
    ::SendMessageA(Handle(), CB_SETMINVISIBLE, static_cast<WPARAM>(Args.DropDownCount), 0);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

int ComboBox::Count() const
{
    return static_cast<int>(::SendMessageA(Handle(), CB_GETCOUNT, 0, 0));
}

std::string ComboBox::Item(int Index) const
{
    const LRESULT Len = ::SendMessageA(Handle(), CB_GETLBTEXTLEN, static_cast<WPARAM>(Index), 0);
    if (Len == CB_ERR)
        return std::string();
    std::string S(static_cast<std::size_t>(Len) + 1, '\0');
    const LRESULT Got = ::SendMessageA(Handle(), CB_GETLBTEXT, static_cast<WPARAM>(Index),
                                       reinterpret_cast<LPARAM>(&S[0]));
    S.resize(Got == CB_ERR ? 0 : static_cast<std::size_t>(Got));
    return S;
}

int ComboBox::AddItem(const std::string& Text)
{
    return static_cast<int>(
        ::SendMessageA(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text.c_str())));
}

void ComboBox::Clear()
{
    ::SendMessageA(Handle(), CB_RESETCONTENT, 0, 0);
}

int ComboBox::IndexOf(const std::string& Text) const
{
    // CB_FINDSTRINGEXACT ignores case; names here compare exactly.
    for (int I = 0, N = Count(); I < N; ++I)
        if (Item(I) == Text)
            return I;
    return -1;
}

int ComboBox::ItemIndex() const
{
    return static_cast<int>(::SendMessageA(Handle(), CB_GETCURSEL, 0, 0));
}

void ComboBox::SetItemIndex(int Index)
{
    ::SendMessageA(Handle(), CB_SETCURSEL, static_cast<WPARAM>(Index), 0);
}

void ComboBox::CommandNotify(WORD Code)
{
    if (Code == CBN_SELCHANGE && OnChange)
        OnChange();
}

bool ComboBox::DrawItemReflect(DRAWITEMSTRUCT* D)
{
    unsigned State = 0;
    if (D->itemState & ODS_SELECTED) State |= odSelected;
    if (D->itemState & ODS_FOCUS) State |= odFocused;
    if (D->itemState & ODS_DISABLED) State |= odDisabled;
    if (D->itemState & ODS_COMBOBOXEDIT) State |= odComboBoxEdit;
    const bool Selected = (State & odSelected) != 0;
    ::FillRect(D->hDC, &D->rcItem, ::GetSysColorBrush(Selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    ::SetTextColor(D->hDC, ::GetSysColor((State & odDisabled) ? COLOR_GRAYTEXT
                                         : Selected          ? COLOR_HIGHLIGHTTEXT
                                                             : COLOR_WINDOWTEXT));
    ::SetBkColor(D->hDC, ::GetSysColor(Selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int Index = static_cast<int>(D->itemID);
    if (Index >= 0) {
        if (OnDrawItem) {
            OnDrawItem(Index, D->hDC, D->rcItem, State);
        } else {
            const std::string T = Item(Index);
            RECT R = D->rcItem;
            R.left += 2;
            ::DrawTextA(D->hDC, T.c_str(), static_cast<int>(T.size()), &R,
                        DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        }
    }
    if ((State & odFocused) && !(D->itemState & ODS_NOFOCUSRECT))
        ::DrawFocusRect(D->hDC, &D->rcItem);
    return true;
}

LRESULT ComboBox::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    // Arrows and Enter open and move the list even inside a dialog.
    if (Msg == WM_GETDLGCODE)
        return DefaultHandler(Msg, WParam, LParam) | DLGC_WANTARROWS;
    return Control::WndProc(Msg, WParam, LParam);
}
