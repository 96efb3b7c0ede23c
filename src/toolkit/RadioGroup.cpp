#include "toolkit/RadioGroup.h"

#include <commctrl.h>

#include <algorithm>

RadioGroup::RadioGroup(Component* Owner, const RadioGroupArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.Parent = Args.Parent;
    // No WS_CLIPCHILDREN: the group box covers the whole group and paints
    // only its frame and caption, so our erase must reach under it.
    P.Style = WS_VISIBLE;
    P.ExStyle = WS_EX_CONTROLPARENT;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    const WPARAM Font = static_cast<WPARAM>(::SendMessageA(Handle(), WM_GETFONT, 0, 0));
    const HINSTANCE Inst = ::GetModuleHandleA(nullptr);
    FFrame = ::CreateWindowExA(0, WC_BUTTONA, Args.Caption.c_str(), WS_CHILD | WS_VISIBLE | BS_GROUPBOX,
                               0, 0, 0, 0, Handle(), nullptr, Inst, nullptr);
    ::SendMessageA(FFrame, WM_SETFONT, Font, FALSE);
    for (std::size_t I = 0; I < Args.Items.size(); ++I) {
        // The first button starts the group that the arrow keys move in.
        const DWORD Style = WS_CHILD | WS_VISIBLE | BS_AUTORADIOBUTTON | (I == 0 ? WS_GROUP | WS_TABSTOP : 0);
        HWND B = ::CreateWindowExA(0, WC_BUTTONA, Args.Items[I].c_str(), Style, 0, 0, 0, 0, Handle(),
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(I + 1)), Inst, nullptr);
        ::SendMessageA(B, WM_SETFONT, Font, FALSE);
        FButtons.push_back(B);
    }
    PlaceItems();
    SetItemIndex(Args.ItemIndex);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

HWND RadioGroup::ItemHandle(int Index) const
{
    return Index >= 0 && Index < Count() ? FButtons[static_cast<std::size_t>(Index)] : nullptr;
}

int RadioGroup::ItemIndex() const
{
    for (int I = 0; I < Count(); ++I)
        if (::SendMessageA(ItemHandle(I), BM_GETCHECK, 0, 0) == BST_CHECKED)
            return I;
    return -1;
}

void RadioGroup::SetItemIndex(int Index)
{
    for (int I = 0; I < Count(); ++I)
        ::SendMessageA(ItemHandle(I), BM_SETCHECK, I == Index ? BST_CHECKED : BST_UNCHECKED, 0);
}

void RadioGroup::SetEnabled(bool Enabled)
{
    Control::SetEnabled(Enabled);
    for (HWND B : FButtons)
        ::EnableWindow(B, Enabled);
}

void RadioGroup::PlaceItems()
{
    const RECT R = ClientRect();
    ::MoveWindow(FFrame, 0, 0, R.right, R.bottom, TRUE);
    if (FButtons.empty())
        return;
    // Below the caption line, the items share the height evenly.
    const int Top = 18, Bottom = R.bottom - 4;
    const int Step = std::max(1, (Bottom - Top) / Count());
    for (int I = 0; I < Count(); ++I)
        ::MoveWindow(ItemHandle(I), 8, Top + I * Step + std::max(0, (Step - 18) / 2),
                     std::max(0, static_cast<int>(R.right) - 16), 18, TRUE);
}

LRESULT RadioGroup::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_COMMAND: {
        const auto It = std::find(FButtons.begin(), FButtons.end(), reinterpret_cast<HWND>(LParam));
        if (It != FButtons.end() && HIWORD(WParam) == BN_CLICKED) {
            if (OnClick)
                OnClick();
            return 0;
        }
        break;
    }
    case WM_SIZE:
        PlaceItems();
        break;
    }
    return Control::WndProc(Msg, WParam, LParam);
}
