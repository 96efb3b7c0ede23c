#include "toolkit/Panel.h"

#include <cstring>

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
    // Start from the font the window was given (its parent's).
    HFONT Given = reinterpret_cast<HFONT>(::SendMessageA(Handle(), WM_GETFONT, 0, 0));
    if (!Given || !::GetObjectA(Given, sizeof(FLogFont), &FLogFont))
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(FLogFont), &FLogFont);
    FBold = FLogFont.lfWeight >= FW_BOLD;
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

Panel::~Panel()
{
    DestroyHandle();
    for (HFONT F : {FNormalFont, FBoldFont})
        if (F)
            ::DeleteObject(F);
    for (HFONT F : FRetiredFonts)
        ::DeleteObject(F);
}

void Panel::SetColor(TColor Color)
{
    if (Color != FColor) {
        FColor = Color;
        Invalidate();
    }
}

void Panel::SetFontColor(TColor Color)
{
    if (Color != FFontColor) {
        FFontColor = Color;
        Invalidate();
    }
}

void Panel::SetFont(const std::string& Name, int Height)
{
    std::strncpy(FLogFont.lfFaceName, Name.c_str(), LF_FACESIZE - 1);
    FLogFont.lfFaceName[LF_FACESIZE - 1] = '\0';
    FLogFont.lfHeight = Height;
    FLogFont.lfWidth = 0;
    for (HFONT* F : {&FNormalFont, &FBoldFont})
        if (*F) {
            FRetiredFonts.push_back(*F);
            *F = nullptr;
        }
    MakeFonts();
}

void Panel::SetFontBold(bool Bold)
{
    if (Bold != FBold) {
        FBold = Bold;
        MakeFonts();
    }
}

// Both weights are kept, so that switching between them makes no new font.
void Panel::MakeFonts()
{
    LOGFONTA Lf = FLogFont;
    if (!FNormalFont) {
        Lf.lfWeight = FW_NORMAL;
        FNormalFont = ::CreateFontIndirectA(&Lf);
    }
    if (!FBoldFont) {
        Lf.lfWeight = FW_BOLD;
        FBoldFont = ::CreateFontIndirectA(&Lf);
    }
    ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FBold ? FBoldFont : FNormalFont),
                   FALSE);
    Invalidate();
}

void Panel::SetVerticalAlignment(TVerticalAlignment Value)
{
    if (Value != FVerticalAlignment) {
        FVerticalAlignment = Value;
        Invalidate();
    }
}

void Panel::SetBevel(TBevelCut Cut, int Width)
{
    FBevelOuter = Cut;
    FBevelWidth = Width;
    Realign();
    Invalidate();
}

void Panel::AlignControls(RECT Area)
{
    if (FBevelOuter != TBevelCut::None)
        ::InflateRect(&Area, -FBevelWidth, -FBevelWidth);
    Control::AlignControls(Area);
}

void Panel::Paint(HDC Dc)
{
    RECT R = ClientRect();
    if (FBevelOuter != TBevelCut::None) {
        const bool Raised = FBevelOuter == TBevelCut::Raised;
        HBRUSH Light = ::GetSysColorBrush(Raised ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
        HBRUSH Dark = ::GetSysColorBrush(Raised ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
        for (int I = 0; I < FBevelWidth && R.right > R.left && R.bottom > R.top; ++I) {
            const RECT Top = {R.left, R.top, R.right, R.top + 1};
            const RECT Left = {R.left, R.top, R.left + 1, R.bottom};
            const RECT Bottom = {R.left, R.bottom - 1, R.right, R.bottom};
            const RECT Right = {R.right - 1, R.top, R.right, R.bottom};
            ::FillRect(Dc, &Bottom, Dark);
            ::FillRect(Dc, &Right, Dark);
            ::FillRect(Dc, &Top, Light);
            ::FillRect(Dc, &Left, Light);
            ::InflateRect(&R, -1, -1);
        }
    }
    HBRUSH Back = ::CreateSolidBrush(ColorToRGB(FColor));
    ::FillRect(Dc, &R, Back);
    ::DeleteObject(Back);
    const std::string Caption = Text();
    if (Caption.empty())
        return;
    HGDIOBJ OldFont = ::SelectObject(
        Dc, reinterpret_cast<HFONT>(::SendMessageA(Handle(), WM_GETFONT, 0, 0)));
    ::SetTextColor(Dc, ColorToRGB(FFontColor));
    ::SetBkMode(Dc, TRANSPARENT);
    static const UINT Vertical[] = {DT_TOP, DT_VCENTER, DT_BOTTOM};
    ::DrawTextA(Dc, Caption.c_str(), static_cast<int>(Caption.size()), &R,
                DT_EXPANDTABS | DT_SINGLELINE | DT_NOPREFIX | DT_CENTER |
                    Vertical[static_cast<int>(FVerticalAlignment)]);
    ::SelectObject(Dc, OldFont);
}

TShiftState MouseShiftState(WPARAM Keys)
{
    TShiftState Shift = 0;
    if (Keys & MK_SHIFT) Shift |= ssShift;
    if (Keys & MK_CONTROL) Shift |= ssCtrl;
    if (Keys & MK_LBUTTON) Shift |= ssLeft;
    if (Keys & MK_RBUTTON) Shift |= ssRight;
    if (Keys & MK_MBUTTON) Shift |= ssMiddle;
    if (::GetKeyState(VK_MENU) < 0) Shift |= ssAlt;
    return Shift;
}

bool Panel::MouseMessage(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    const auto Alive = AliveFlag();
    const int X = static_cast<short>(LOWORD(LParam));
    const int Y = static_cast<short>(HIWORD(LParam));
    const TShiftState Shift = MouseShiftState(WParam);
    auto Down = [&](TMouseButton B, TShiftState Extra) {
        if (OnMouseDown)
            OnMouseDown(*this, B, Shift | Extra, X, Y);
    };
    auto Up = [&](TMouseButton B) {
        if (OnMouseUp)
            OnMouseUp(*this, B, Shift, X, Y);
    };
    switch (Msg) {
    case WM_MOUSEMOVE:
        if (OnMouseMove)
            OnMouseMove(*this, Shift, X, Y);
        break;
    case WM_LBUTTONDOWN:
        FClickPending = true;
        Down(TMouseButton::Left, 0);
        break;
    case WM_LBUTTONDBLCLK:
        FClickPending = false;
        if (OnDblClick)
            OnDblClick(*this);
        if (*Alive)
            Down(TMouseButton::Left, ssDouble);
        break;
    case WM_LBUTTONUP: {
        const RECT R = ClientRect();
        const POINT P = {X, Y};
        const bool Click = FClickPending && ::PtInRect(&R, P);
        FClickPending = false;
        Up(TMouseButton::Left);
        if (*Alive && Click && OnClick)
            OnClick(*this);
        break;
    }
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: Down(TMouseButton::Right, 0); break;
    case WM_RBUTTONUP: Up(TMouseButton::Right); break;
    case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK: Down(TMouseButton::Middle, 0); break;
    case WM_MBUTTONUP: Up(TMouseButton::Middle); break;
    }
    return *Alive;
}

LRESULT Panel::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_ERASEBKGND:
        if (::WindowFromDC(reinterpret_cast<HDC>(WParam)) == Handle())
            return 1;  // WM_PAINT fills everything
        break;
    case WM_PAINT: {
        PAINTSTRUCT Ps;
        HDC Dc = ::BeginPaint(Handle(), &Ps);
        // A panel that does not clip its children leaves them out itself.
        if (!(::GetWindowLongA(Handle(), GWL_STYLE) & WS_CLIPCHILDREN))
            for (HWND C = ::GetWindow(Handle(), GW_CHILD); C; C = ::GetWindow(C, GW_HWNDNEXT)) {
                RECT Cr;
                if (!::IsWindowVisible(C) || !::GetWindowRect(C, &Cr))
                    continue;
                ::MapWindowPoints(HWND_DESKTOP, Handle(), reinterpret_cast<POINT*>(&Cr), 2);
                ::ExcludeClipRect(Dc, Cr.left, Cr.top, Cr.right, Cr.bottom);
            }
        const RECT R = ClientRect();
        // Wine asks a panel that its siblings cover whole to paint nothing.
        if (::IsRectEmpty(&Ps.rcPaint))
            ;
        else if (DoubleBuffered && R.right > 0 && R.bottom > 0)
            PaintOffScreen(Dc, R, [&](HDC Mem) { Paint(Mem); });
        else
            Paint(Dc);
        ::EndPaint(Handle(), &Ps);
        return 0;
    }
    case WM_SETTEXT: {
        const LRESULT R = DefaultHandler(Msg, WParam, LParam);
        Invalidate();
        return R;
    }
    case WM_SIZE:
        // The bevel and the centred caption move with the size: the old
        // ones must not stay behind where the system kept the old pixels.
        Invalidate();
        break;
    }
    if (Msg >= WM_MOUSEFIRST && Msg <= WM_MBUTTONDBLCLK && !MouseMessage(Msg, WParam, LParam))
        return 0;
    return Control::WndProc(Msg, WParam, LParam);
}
