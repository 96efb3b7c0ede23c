#include "toolkit/SpeedButton.h"

#include "toolkit/Hints.h"

SpeedButton::SpeedButton(Component* Owner, const SpeedButtonArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.Parent = Args.Parent;
    P.Caption = Args.Caption;
    P.Style = Args.Visible ? WS_VISIBLE : 0;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
}

void SpeedButton::Click()
{
    if (OnClick)
        OnClick();
}

void SpeedButton::Paint(HDC Dc)
{
    RECT R = ClientRect();
    ::FillRect(Dc, &R, ::GetSysColorBrush(COLOR_BTNFACE));
    const bool On = Enabled();
    if (FDown && FHot)
        ::DrawEdge(Dc, &R, BDR_SUNKENOUTER, BF_RECT);
    else if (FHot && On)
        ::DrawEdge(Dc, &R, BDR_RAISEDINNER, BF_RECT);
    RECT G = R;
    if (FDown && FHot)
        ::OffsetRect(&G, 1, 1);
    if (OnPaintGlyph) {
        OnPaintGlyph(Dc, G, On);
        return;
    }
    const std::string T = Text();
    HGDIOBJ Old = ::SelectObject(Dc, reinterpret_cast<HFONT>(::SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    ::SetBkMode(Dc, TRANSPARENT);
    ::SetTextColor(Dc, ::GetSysColor(On ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    ::DrawTextA(Dc, T.c_str(), static_cast<int>(T.size()), &G,
                DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    ::SelectObject(Dc, Old);
}

LRESULT SpeedButton::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT Ps;
        HDC Dc = ::BeginPaint(Handle(), &Ps);
        Paint(Dc);
        ::EndPaint(Handle(), &Ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(reinterpret_cast<HDC>(WParam));
        return 0;
    case WM_MOUSEMOVE: {
        const RECT R = ClientRect();
        const POINT P = {static_cast<short>(LOWORD(LParam)), static_cast<short>(HIWORD(LParam))};
        const bool Hot = ::PtInRect(&R, P) != FALSE;
        if (Hot != FHot) {
            FHot = Hot;
            Invalidate();
        }
        if (FHot && !FDown)
            TrackLeaveSlowly(Handle());
        break;
    }
    case WM_MOUSELEAVE:
        FHot = false;
        Invalidate();
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        FDown = true;
        FHot = true;
        ::SetCapture(Handle());
        Invalidate();
        return 0;
    case WM_LBUTTONUP: {
        const bool Fire = FDown && FHot;
        FDown = false;
        if (::GetCapture() == Handle())
            ::ReleaseCapture();
        Invalidate();
        if (Fire) {
            const auto Alive = AliveFlag();
            Click();
            if (!*Alive)
                return 0;
        }
        return 0;
    }
    case WM_ENABLE:
        Invalidate();
        break;
    case WM_SETTEXT: {
        const LRESULT R = DefaultHandler(Msg, WParam, LParam);
        Invalidate();
        return R;
    }
    }
    return Control::WndProc(Msg, WParam, LParam);
}
