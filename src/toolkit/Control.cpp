#include "toolkit/Control.h"

#include "toolkit/Application.h"

#include <algorithm>
#include <unordered_map>

namespace {
// Each control by its window. Not a window property: under Wine those live
// in the server, and every message to one of our windows would cost a
// round trip only to find its control. GUI thread only.
std::unordered_map<HWND, Control*>& WindowControls()
{
    static std::unordered_map<HWND, Control*> Map;
    return Map;
}
}

Control::Control(Component* Owner) : Component(Owner) {}

Control::~Control()
{
    *FAlive = false;
    // Children outlive nothing of ours: unlink them before the handle goes.
    for (Control* Child : FControls)
        Child->FParent = nullptr;
    if (FParent) {
        auto& Siblings = FParent->FControls;
        Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), this), Siblings.end());
    }
    DestroyHandle();
    if (FBackBrush)
        ::DeleteObject(FBackBrush);
}

const char* Control::OwnClassName()
{
    static const char* Name = nullptr;
    if (!Name) {
        WNDCLASSEXA Wc = {};
        Wc.cbSize = sizeof(Wc);
        Wc.style = CS_DBLCLKS;
        Wc.lpfnWndProc = &Control::StdWndProc;
        Wc.hInstance = ::GetModuleHandleA(nullptr);
        Wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        Wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        Wc.hIcon = ::LoadIconA(Wc.hInstance, MAKEINTRESOURCEA(1));
        Wc.lpszClassName = "TQuorvanWindow";
        ::RegisterClassExA(&Wc);
        Name = Wc.lpszClassName;
    }
    return Name;
}

void Control::CreateHandle(const CreateParams& Params)
{
    FParent = Params.Parent;
    if (FParent)
        FParent->FControls.push_back(this);
    const bool Own = Params.ClassName == nullptr;
    HWND ParentWnd = FParent ? FParent->Handle() : Params.OwnerWindow;
    DWORD Style = Params.Style;
    if (FParent)
        Style |= WS_CHILD | WS_CLIPSIBLINGS;
    FHandle = ::CreateWindowExA(Params.ExStyle, Own ? OwnClassName() : Params.ClassName,
                                Params.Caption.c_str(), Style, Params.X, Params.Y, Params.Width,
                                Params.Height, ParentWnd,
                                FParent ? reinterpret_cast<HMENU>(Params.Id) : nullptr,
                                ::GetModuleHandleA(nullptr), this);
    if (!FHandle)
        return;
    if (!Own) {
        WindowControls()[FHandle] = this;
        FDefProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
            FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Control::StdWndProc)));
    }
    // Children take their parent's font.
    HFONT Font = FParent ? reinterpret_cast<HFONT>(::SendMessageA(FParent->Handle(), WM_GETFONT, 0, 0))
                         : nullptr;
    if (!Font)
        Font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(Font), FALSE);
}

void Control::DestroyHandle()
{
    if (HWND Wnd = LetHandleGo())
        ::DestroyWindow(Wnd);
}

HWND Control::LetHandleGo()
{
    HWND Wnd = FHandle;
    if (!Wnd)
        return nullptr;
    WindowControls().erase(Wnd);
    if (FDefProc)
        ::SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FDefProc));
    FHandle = nullptr;
    return Wnd;
}

Control* Control::FromHandle(HWND Wnd)
{
    const auto It = Wnd ? WindowControls().find(Wnd) : WindowControls().end();
    return It != WindowControls().end() ? It->second : nullptr;
}

LRESULT CALLBACK Control::StdWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    Control* Self = FromHandle(Wnd);
    if (!Self && Msg == WM_NCCREATE) {
        auto* Cs = reinterpret_cast<CREATESTRUCTA*>(LParam);
        Self = static_cast<Control*>(Cs->lpCreateParams);
        if (Self) {
            Self->FHandle = Wnd;
            WindowControls()[Wnd] = Self;
        }
    }
    if (!Self)
        return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
    LRESULT Result = 0;
    bool Done = false;
    Guarded([&] {
        if (Self->OnMessageSeen)
            Self->OnMessageSeen(Msg);
        Result = Self->WndProc(Msg, WParam, LParam);
        Done = true;
    });
    return Done ? Result : Self->DefaultHandler(Msg, WParam, LParam);
}

LRESULT Control::DefaultHandler(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (FDefProc)
        return ::CallWindowProcA(FDefProc, FHandle, Msg, WParam, LParam);
    return ::DefWindowProcA(FHandle, Msg, WParam, LParam);
}

LRESULT Control::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_SIZE: {
        const LRESULT R = DefaultHandler(Msg, WParam, LParam);
        Realign();
        if (OnResize)
            OnResize();
        return R;
    }
    case WM_SETFONT:
        if (!FDefProc) {
            FFont = reinterpret_cast<HFONT>(WParam);
            return 0;
        }
        break;
    case WM_GETFONT:
        if (!FDefProc)
            return reinterpret_cast<LRESULT>(FFont);
        break;
    case WM_COMMAND:
        if (LParam != 0) {
            Control* Sender = FromHandle(reinterpret_cast<HWND>(LParam));
            if (Sender && Sender != this) {
                Sender->CommandIdNotify(LOWORD(WParam), HIWORD(WParam));
                return 0;
            }
        }
        break;
    case WM_NOTIFY: {
        auto* Header = reinterpret_cast<NMHDR*>(LParam);
        Control* Sender = Header ? FromHandle(Header->hwndFrom) : nullptr;
        if (Sender && Sender != this) {
            bool Handled = false;
            const LRESULT R = Sender->NotifyReflect(Header, Handled);
            if (Handled)
                return R;
        }
        break;
    }
    case WM_DRAWITEM: {
        auto* Item = reinterpret_cast<DRAWITEMSTRUCT*>(LParam);
        Control* Sender = (Item && Item->CtlType != ODT_MENU) ? FromHandle(Item->hwndItem) : nullptr;
        if (Sender && Sender != this && Sender->DrawItemReflect(Item))
            return TRUE;
        break;
    }
    case WM_MEASUREITEM: {
        // The item has no window handle yet: find the child by its id.
        auto* Item = reinterpret_cast<MEASUREITEMSTRUCT*>(LParam);
        Control* Sender = nullptr;
        if (Item && Item->CtlType != ODT_MENU)
            Sender = FromHandle(::GetDlgItem(FHandle, static_cast<int>(Item->CtlID)));
        if (Sender && Sender != this && Sender->MeasureItemReflect(Item))
            return TRUE;
        break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR: {
        Control* Sender = FromHandle(reinterpret_cast<HWND>(LParam));
        if (Sender && Sender != this)
            if (HBRUSH Brush = Sender->CtlColorReflect(reinterpret_cast<HDC>(WParam)))
                return reinterpret_cast<LRESULT>(Brush);
        // Labels, check boxes and group boxes stand on our background.
        if (!FDefProc && (Msg == WM_CTLCOLORBTN || Msg == WM_CTLCOLORSTATIC)) {
            DefaultHandler(Msg, WParam, LParam);  // the text colour
            const COLORREF Back = BackgroundColor();
            if (!FBackBrush || FBackBrushColor != Back) {
                if (FBackBrush)
                    ::DeleteObject(FBackBrush);
                FBackBrush = ::CreateSolidBrush(Back);
                FBackBrushColor = Back;
            }
            ::SetBkColor(reinterpret_cast<HDC>(WParam), Back);
            return reinterpret_cast<LRESULT>(FBackBrush);
        }
        break;
    }
    case WM_ERASEBKGND:
        // A see-through child paints our background on its own DC, with the
        // origin moved to our client corner.
        if (!FDefProc && ::WindowFromDC(reinterpret_cast<HDC>(WParam)) != FHandle) {
            PaintBackground(reinterpret_cast<HDC>(WParam));
            return 1;
        }
        break;
    case WM_PRINTCLIENT:
        if (!FDefProc) {
            if (LParam & PRF_CLIENT)
                PaintBackground(reinterpret_cast<HDC>(WParam));
            return 0;
        }
        break;
    case WM_HSCROLL:
    case WM_VSCROLL:
        if (LParam != 0) {
            Control* Sender = FromHandle(reinterpret_cast<HWND>(LParam));
            if (Sender && Sender != this && Sender->ScrollReflect(Msg, WParam))
                return 0;
        }
        break;
    case WM_SETCURSOR:
        if (Cursor && reinterpret_cast<HWND>(WParam) == FHandle && LOWORD(LParam) == HTCLIENT) {
            ::SetCursor(Cursor);
            return TRUE;
        }
        break;
    case WM_NCDESTROY: {
        const LRESULT R = DefaultHandler(Msg, WParam, LParam);
        WindowControls().erase(FHandle);
        FHandle = nullptr;
        return R;
    }
    }
    return DefaultHandler(Msg, WParam, LParam);
}

bool Control::Visible() const
{
    return FHandle && (::GetWindowLongA(FHandle, GWL_STYLE) & WS_VISIBLE) != 0;
}

void Control::SetVisible(bool Visible)
{
    if (FHandle)
        ::ShowWindow(FHandle, Visible ? SW_SHOW : SW_HIDE);
    if (FParent && FAlign != TAlign::None)
        FParent->Realign();
}

bool Control::Enabled() const
{
    return FHandle && ::IsWindowEnabled(FHandle);
}

void Control::SetEnabled(bool Enabled)
{
    if (FHandle)
        ::EnableWindow(FHandle, Enabled);
}

void Control::SetParent(Control* NewParent)
{
    if (NewParent == FParent || !NewParent)
        return;
    Control* OldParent = FParent;
    if (OldParent) {
        auto& Siblings = OldParent->FControls;
        Siblings.erase(std::remove(Siblings.begin(), Siblings.end(), this), Siblings.end());
    }
    FParent = NewParent;
    FParent->FControls.push_back(this);
    if (FHandle)
        ::SetParent(FHandle, FParent->Handle());
    if (FAlign != TAlign::None) {
        if (OldParent)
            OldParent->Realign();
        FParent->Realign();
    }
}

void Control::SetAlign(TAlign Align)
{
    FAlign = Align;
    if (FParent)
        FParent->Realign();
}

RECT Control::BoundsRect() const
{
    RECT R = {};
    if (!FHandle)
        return R;
    ::GetWindowRect(FHandle, &R);
    HWND ParentWnd = ::GetAncestor(FHandle, GA_PARENT);
    if ((::GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) && ParentWnd)
        ::MapWindowPoints(HWND_DESKTOP, ParentWnd, reinterpret_cast<POINT*>(&R), 2);
    return R;
}

void Control::SetBounds(int Left, int Top, int Width, int Height)
{
    if (FHandle)
        ::SetWindowPos(FHandle, nullptr, Left, Top, Width, Height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT Control::ClientRect() const
{
    RECT R = {};
    if (FHandle)
        ::GetClientRect(FHandle, &R);
    return R;
}

int Control::Width() const
{
    const RECT R = BoundsRect();
    return R.right - R.left;
}

int Control::Height() const
{
    const RECT R = BoundsRect();
    return R.bottom - R.top;
}

std::string Control::Text() const
{
    if (!FHandle)
        return std::string();
    std::string S(static_cast<std::size_t>(::GetWindowTextLengthA(FHandle)) + 1, '\0');
    S.resize(static_cast<std::size_t>(::GetWindowTextA(FHandle, &S[0], static_cast<int>(S.size()))));
    return S;
}

void Control::SetText(const std::string& Text)
{
    // The same text again sends nothing: a repaint per call would keep an
    // idle-time refresh (the panels' loading text) busy for good.
    if (FHandle && this->Text() != Text)
        ::SetWindowTextA(FHandle, Text.c_str());
}

POINT Control::ScreenToClient(POINT P) const
{
    if (FHandle)
        ::ScreenToClient(FHandle, &P);
    return P;
}

Control* Control::ControlAtPos(POINT P, bool AllowDisabled) const
{
    // Later children lie above earlier ones.
    for (auto It = FControls.rbegin(); It != FControls.rend(); ++It) {
        Control* Child = *It;
        if (!Child->Visible() || (!AllowDisabled && !Child->Enabled()))
            continue;
        const RECT R = Child->BoundsRect();
        if (::PtInRect(&R, P))
            return Child;
    }
    return nullptr;
}

void Control::Invalidate()
{
    if (FHandle)
        ::InvalidateRect(FHandle, nullptr, TRUE);
}

void Control::PaintBackground(HDC Dc)
{
    const RECT R = ClientRect();
    HBRUSH Brush = ::CreateSolidBrush(BackgroundColor());
    ::FillRect(Dc, &R, Brush);
    ::DeleteObject(Brush);
}

void Control::Realign()
{
    if (FHandle)
        AlignControls(ClientRect());
}

void Control::AlignControls(RECT Area)
{
    // Top and bottom take the full width, left and right what remains, the
    // client-aligned control the rest; each in creation order.
    static const TAlign Order[] = {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right,
                                   TAlign::Client};
    for (TAlign A : Order)
        for (Control* C : FControls) {
            if (C->FAlign != A || !C->Visible())
                continue;
            const RECT& M = C->Margins;
            const int W = C->Width() + M.left + M.right, H = C->Height() + M.top + M.bottom;
            RECT B = Area;
            switch (A) {
            case TAlign::Top: B.bottom = std::min(Area.bottom, Area.top + H); Area.top = B.bottom; break;
            case TAlign::Bottom: B.top = std::max(Area.top, Area.bottom - H); Area.bottom = B.top; break;
            case TAlign::Left: B.right = std::min(Area.right, Area.left + W); Area.left = B.right; break;
            case TAlign::Right: B.left = std::max(Area.left, Area.right - W); Area.right = B.left; break;
            default: break;
            }
            C->SetBounds(B.left + M.left, B.top + M.top, B.right - B.left - M.left - M.right,
                         B.bottom - B.top - M.top - M.bottom);
        }
}
