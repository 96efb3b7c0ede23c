#include "toolkit/PaintBox.h"

PaintBox::PaintBox(Component* Owner, const PaintBoxArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.Parent = Args.Parent;
    P.Style = WS_VISIBLE;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

LRESULT PaintBox::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_ERASEBKGND:
        return 1;  // OnPaint covers the whole box
    case WM_PAINT: {
        // BeginPaint validates the region whatever the handler does; an
        // unvalidated one would come back at once, for ever.
        PAINTSTRUCT Ps;
        HDC Dc = ::BeginPaint(Handle(), &Ps);
        if (OnPaint)
            OnPaint(Dc, ClientRect());
        ::EndPaint(Handle(), &Ps);
        return 0;
    }
    }
    return Control::WndProc(Msg, WParam, LParam);
}
