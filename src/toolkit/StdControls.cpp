#include "toolkit/StdControls.h"

#include "toolkit/Form.h"

#include <commctrl.h>

Label::Label(Component* Owner, const LabelArgs& Args)
    : Control(Owner), FWordWrap(Args.WordWrap)
{
    CreateParams P;
    P.ClassName = WC_STATICA;
    P.Parent = Args.Parent;
    P.Caption = Args.Caption;
    DWORD Align = Args.Alignment == TAlignment::Center  ? SS_CENTER
                  : Args.Alignment == TAlignment::Right ? SS_RIGHT
                                                        : SS_LEFT;
    // A static control wraps its centred and right-aligned text by itself;
    // SS_LEFTNOWORDWRAP is the unwrapped left form.
    if (!Args.WordWrap && Args.Alignment == TAlignment::Left)
        Align = SS_LEFTNOWORDWRAP;
    P.Style = WS_VISIBLE | SS_NOPREFIX | Align;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

int Label::TextHeight() const
{
    if (!Handle())
        return 0;
    HDC Dc = ::GetDC(Handle());
    HGDIOBJ Old =
        ::SelectObject(Dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    RECT R = {0, 0, Width(), 0};
    const std::string T = Text();
    ::DrawTextA(Dc, T.c_str(), static_cast<int>(T.size()), &R,
                DT_CALCRECT | DT_NOPREFIX | (FWordWrap ? DT_WORDBREAK : DT_SINGLELINE));
    ::SelectObject(Dc, Old);
    ::ReleaseDC(Handle(), Dc);
    return R.bottom - R.top;
}

CheckBox::CheckBox(Component* Owner, const CheckBoxArgs& Args)
    : CheckBox(Owner, Args, BS_AUTOCHECKBOX)
{
}

CheckBox::CheckBox(Component* Owner, const CheckBoxArgs& Args, DWORD ButtonStyle) : Control(Owner)
{
    CreateParams P;
    P.ClassName = WC_BUTTONA;
    P.Parent = Args.Parent;
    P.Caption = Args.Caption;
    P.Style = WS_VISIBLE | WS_TABSTOP | ButtonStyle;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

RadioButton::RadioButton(Component* Owner, const CheckBoxArgs& Args)
    : CheckBox(Owner, Args, BS_AUTORADIOBUTTON)
{
}

bool CheckBox::Checked() const
{
    return ::SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CheckBox::SetChecked(bool Checked)
{
    ::SendMessageA(Handle(), BM_SETCHECK, Checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

Button::Button(Component* Owner, const ButtonArgs& Args)
    : Control(Owner), ModalResult(Args.ModalResult), FDefault(Args.Default), FCancel(Args.Cancel)
{
    CreateParams P;
    P.ClassName = WC_BUTTONA;
    P.Parent = Args.Parent;
    P.Caption = Args.Caption;
    P.Style = WS_VISIBLE | WS_TABSTOP | (Args.Default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    // The dialog manager sends Enter and Escape as IDOK and IDCANCEL.
    P.Id = Args.Cancel ? IDCANCEL : Args.Default ? IDOK : 0;
    CreateHandle(P);
}

void Button::Click()
{
    if (OnClick)
        OnClick();
    if (ModalResult != 0) {
        for (Control* C = Parent(); C; C = C->Parent())
            if (auto* F = dynamic_cast<Form*>(C)) {
                F->ModalResult = ModalResult;
                break;
            }
    }
}

void Button::CommandNotify(WORD Code)
{
    if (Code == BN_CLICKED)
        Click();
}
