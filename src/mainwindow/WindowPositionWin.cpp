#include "mainwindow/WindowPositionWin.h"

namespace {

BOOL CALLBACK AddWorkArea(HMONITOR Monitor, HDC, LPRECT, LPARAM Param)
{
    MONITORINFO Info = {};
    Info.cbSize = sizeof(Info);
    if (::GetMonitorInfoA(Monitor, &Info)) {
        const RECT& W = Info.rcWork;
        reinterpret_cast<std::vector<TWindowRect>*>(Param)->push_back(
            {W.left, W.top, W.right - W.left, W.bottom - W.top});
    }
    return TRUE;
}

// The normal position is kept in workspace coordinates: screen ones moved
// by the primary work area's origin.
POINT WorkspaceOrigin()
{
    RECT Work = {};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
    return {Work.left, Work.top};
}

}  // namespace

int TFormStateTarget::WindowState() const
{
    return ::IsIconic(FWnd) ? wsMinimized : ::IsZoomed(FWnd) ? wsMaximized : wsNormal;
}

TWindowRect TFormStateTarget::Bounds() const
{
    RECT R = {};
    if (TFormStateTarget::WindowState() == wsNormal) {
        ::GetWindowRect(FWnd, &R);
    } else {
        WINDOWPLACEMENT P = {};
        P.length = sizeof(P);
        ::GetWindowPlacement(FWnd, &P);
        R = P.rcNormalPosition;
        const POINT O = WorkspaceOrigin();
        ::OffsetRect(&R, O.x, O.y);
    }
    return {R.left, R.top, R.right - R.left, R.bottom - R.top};
}

void TFormStateTarget::SetWindowState(int State)
{
    if (State == TFormStateTarget::WindowState())
        return;
    ::ShowWindow(FWnd, State == wsMinimized   ? SW_MINIMIZE
                       : State == wsMaximized ? SW_MAXIMIZE
                                              : SW_RESTORE);
}

void TFormStateTarget::SetBounds(const TWindowRect& B)
{
    if (TFormStateTarget::WindowState() == wsNormal) {
        ::SetWindowPos(FWnd, nullptr, B.Left, B.Top, B.Width, B.Height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    WINDOWPLACEMENT P = {};
    P.length = sizeof(P);
    ::GetWindowPlacement(FWnd, &P);
    const POINT O = WorkspaceOrigin();
    P.rcNormalPosition = {B.Left - O.x, B.Top - O.y, B.Left - O.x + B.Width, B.Top - O.y + B.Height};
    P.showCmd = ::IsIconic(FWnd) ? SW_SHOWMINIMIZED : SW_SHOWMAXIMIZED;
    P.flags = 0;
    ::SetWindowPlacement(FWnd, &P);
}

std::vector<TWindowRect> MonitorWorkAreas()
{
    std::vector<TWindowRect> Areas;
    ::EnumDisplayMonitors(nullptr, nullptr, &AddWorkArea, reinterpret_cast<LPARAM>(&Areas));
    return Areas;
}

bool SaveWindowPosition(ISettingsStore& Store, HWND Wnd, const std::string& Prefix)
{
    const TFormStateTarget Target(Wnd);
    return SaveWindowPosition(Store, Target, Prefix);
}

namespace {

// Takes the state last, so that the bounds go to the normal window: the
// normal position of a minimized window is not reliably settable (Wine).
class TDeferredStateTarget : public TFormStateTarget {
public:
    using TFormStateTarget::TFormStateTarget;
    int WindowState() const override
    {
        return Pending >= 0 ? Pending : TFormStateTarget::WindowState();
    }
    void SetWindowState(int State) override { Pending = State; }
    int Pending = -1;
};

// The window's rectangle maximized on the monitor it is on: its frame
// beyond the work area, as the system places it.
RECT MaximizedRect(HWND Wnd)
{
    RECT R = {};
    ::GetWindowRect(Wnd, &R);
    MONITORINFO Info = {};
    Info.cbSize = sizeof(Info);
    ::GetMonitorInfoA(::MonitorFromRect(&R, MONITOR_DEFAULTTONEAREST), &Info);
    LONG Style = ::GetWindowLongA(Wnd, GWL_STYLE);
    if ((Style & WS_CAPTION) == WS_CAPTION)
        Style &= ~WS_BORDER;
    RECT Frame = {0, 0, 0, 0};
    ::AdjustWindowRectEx(&Frame, static_cast<DWORD>(Style), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(Wnd, GWL_EXSTYLE)));
    return {Info.rcWork.left + Frame.left, Info.rcWork.top + Frame.top,
            Info.rcWork.right + Frame.right, Info.rcWork.bottom + Frame.bottom};
}

// Shows a hidden window maximized, its normal place kept. Wine leaves the
// maximizing of a shown window to the window manager; one that keeps no
// maximized state (twm) answers the next configure of the window with its
// old size, which Wine takes for a restore. So the window takes the
// maximized size while hidden, and is shown maximized at once.
void ShowMaximized(HWND Wnd)
{
    TFormStateTarget Target(Wnd);
    const TWindowRect Normal = Target.Bounds();
    const RECT M = MaximizedRect(Wnd);
    ::SetWindowPos(Wnd, nullptr, M.left, M.top, M.right - M.left, M.bottom - M.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::ShowWindow(Wnd, SW_SHOWMAXIMIZED);
    Target.SetBounds(Normal);
}

}  // namespace

int LoadWindowPosition(ISettingsStore& Store, HWND Wnd, const std::string& Prefix)
{
    TDeferredStateTarget Target(Wnd);
    const int Read = LoadWindowPosition(Store, Target, Prefix, MonitorWorkAreas(),
                                        ::GetSystemMetrics(SM_CXMINTRACK),
                                        ::GetSystemMetrics(SM_CYMINTRACK));
    if (Target.Pending == wsMaximized && !::IsWindowVisible(Wnd))
        ShowMaximized(Wnd);
    else if (Target.Pending >= 0)
        Target.TFormStateTarget::SetWindowState(Target.Pending);
    return Read;
}
