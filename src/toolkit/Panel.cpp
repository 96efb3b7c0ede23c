#include "toolkit/Panel.h"

Panel::Panel(Component* Owner, const PanelArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.Parent = Args.Parent;
    P.Style = WS_CLIPCHILDREN | (Args.Visible ? WS_VISIBLE : 0);
    P.ExStyle = WS_EX_CONTROLPARENT | (Args.Border ? WS_EX_CLIENTEDGE : 0);
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}
