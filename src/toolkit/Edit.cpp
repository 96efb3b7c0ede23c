#include "toolkit/Edit.h"

#include <commctrl.h>

Edit::Edit(Component* Owner, const EditArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.ClassName = WC_EDITA;
    P.Parent = Args.Parent;
    P.Caption = Args.Text;
    P.Style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | (Args.ReadOnly ? ES_READONLY : 0);
    P.ExStyle = WS_EX_CLIENTEDGE;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
}

LRESULT Edit::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_CHAR && OnKeyPress) {
        char Key = static_cast<char>(WParam);
        OnKeyPress(Key);
        if (Key == 0)
            return 0;
        WParam = static_cast<unsigned char>(Key);
    }
    return Control::WndProc(Msg, WParam, LParam);
}

void Edit::CommandNotify(WORD Code)
{
    if (Code == EN_CHANGE && OnChange)
        OnChange();
}
