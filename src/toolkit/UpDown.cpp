#include "toolkit/UpDown.h"

#include <commctrl.h>

UpDown::UpDown(Component* Owner, const UpDownArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.ClassName = UPDOWN_CLASSA;
    P.Parent = Args.Parent;
    P.Style = WS_VISIBLE | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    ::SendMessageA(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(Args.Min),
                   static_cast<LPARAM>(Args.Max));
    SetPosition(Args.Position);
}

int UpDown::Position() const
{
    return static_cast<int>(::SendMessageA(Handle(), UDM_GETPOS32, 0, 0));
}

void UpDown::SetPosition(int Value)
{
    ::SendMessageA(Handle(), UDM_SETPOS32, 0, static_cast<LPARAM>(Value));
}

LRESULT UpDown::NotifyReflect(NMHDR* Header, bool& Handled)
{
    Handled = false;
    if (Header->code != UDN_DELTAPOS || !OnChanging)
        return 0;
    const auto* Nm = reinterpret_cast<NMUPDOWN*>(Header);
    bool Allow = true;
    OnChanging(Nm->iPos + Nm->iDelta, Allow);
    Handled = true;
    return Allow ? FALSE : TRUE;
}

bool UpDown::ScrollReflect(UINT Msg, WPARAM WParam)
{
    (void)Msg;
    if (LOWORD(WParam) == SB_THUMBPOSITION && OnClick)
        OnClick();
    return true;
}
