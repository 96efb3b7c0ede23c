#include "toolkit/Hints.h"

#include "toolkit/Control.h"

#include <commctrl.h>

#include <memory>

unsigned THoverHint::LeaveCheckMs = 1000;
unsigned THoverHint::WatchedLeaveCheckMs = 10000;

void TrackLeaveSlowly(HWND Wnd, unsigned CheckMs)
{
    TRACKMOUSEEVENT Now = {sizeof(Now), TME_QUERY, nullptr, 0};
    if (::TrackMouseEvent(&Now) && Now.hwndTrack == Wnd && (Now.dwFlags & TME_LEAVE))
        return;
    TRACKMOUSEEVENT T = {sizeof(T), TME_LEAVE | TME_HOVER, Wnd, CheckMs};
    ::TrackMouseEvent(&T);
}

void EndLeaveTracking(HWND Over)
{
    TRACKMOUSEEVENT Now = {sizeof(Now), TME_QUERY, nullptr, 0};
    if (!::TrackMouseEvent(&Now) || !Now.hwndTrack || Now.hwndTrack == Over ||
        !(Now.dwFlags & TME_LEAVE))
        return;
    TRACKMOUSEEVENT End = {sizeof(End), TME_CANCEL | Now.dwFlags, Now.hwndTrack, 0};
    ::TrackMouseEvent(&End);
    ::PostMessageA(Now.hwndTrack, (Now.dwFlags & TME_NONCLIENT) ? WM_NCMOUSELEAVE : WM_MOUSELEAVE,
                   0, 0);
}

void EndLeaveTrackingAway(POINT Pointer)
{
    TRACKMOUSEEVENT Now = {sizeof(Now), TME_QUERY, nullptr, 0};
    // Where nothing is tracked the window under the pointer is not asked for.
    if (::TrackMouseEvent(&Now) && Now.hwndTrack && (Now.dwFlags & TME_LEAVE))
        EndLeaveTracking(::WindowFromPoint(Pointer));
}

void SetHint(Control* C, const std::string& Text, unsigned CheckMs)
{
    if (!C || !C->Handle())
        return;
    if (Text.empty()) {
        C->OnMessageSeen = nullptr;
        return;
    }
    // Seen before the control's own handling, which may swallow a click.
    auto Hint = std::make_shared<THoverHint>(C->Handle());
    C->OnMessageSeen = [C, Hint, Text, CheckMs](UINT Msg) {
        switch (Msg) {
        case WM_MOUSEMOVE:
            // Before the control's own request, which then keeps this one.
            TrackLeaveSlowly(C->Handle(), CheckMs);
            Hint->Enter(Text);
            break;
        case WM_MOUSELEAVE:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_SHOWWINDOW:
            Hint->Leave();
            break;
        }
    };
}

THoverHint::THoverHint(HWND Owner)
    : FOwner(Owner), FShowTimer(nullptr, InitialDelay, false), FPopTimer(nullptr, PopDelay, false)
{
    FShowTimer.OnTimer = [this] {
        FShowTimer.SetEnabled(false);
        Show();
    };
    FPopTimer.OnTimer = [this] { Hide(); };
}

THoverHint::~THoverHint()
{
    if (FTip)
        ::DestroyWindow(FTip);
}

void THoverHint::Enter(const std::string& Text)
{
    if (Text == FText)
        return;
    const bool WasShown = FShown;
    Hide();
    FText = Text;
    FShowTimer.SetEnabled(false);
    if (FText.empty())
        return;
    FShowTimer.SetInterval(WasShown ? ReshowDelay : InitialDelay);
    FShowTimer.SetEnabled(true);
}

void THoverHint::Leave()
{
    Enter(std::string());
}

void THoverHint::Show()
{
    if (!FTip) {
        FTip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                                 WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 ::GetAncestor(FOwner, GA_ROOT), nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
        TOOLINFOA Ti = {};
        Ti.cbSize = sizeof(Ti);
        Ti.uFlags = TTF_TRACK | TTF_ABSOLUTE;
        Ti.hwnd = FOwner;
        Ti.uId = 1;
        Ti.lpszText = const_cast<char*>("");
        ::SendMessageA(FTip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&Ti));
    }
    POINT P;
    if (!FTip || !::GetCursorPos(&P))
        return;
    TOOLINFOA Ti = {};
    Ti.cbSize = sizeof(Ti);
    Ti.hwnd = FOwner;
    Ti.uId = 1;
    Ti.lpszText = const_cast<char*>(FText.c_str());
    ::SendMessageA(FTip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&Ti));
    ::SendMessageA(FTip, TTM_TRACKPOSITION, 0, MAKELPARAM(P.x, P.y + 20));
    ::SendMessageA(FTip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&Ti));
    FShown = true;
    FPopTimer.SetEnabled(true);
}

void THoverHint::Hide()
{
    FPopTimer.SetEnabled(false);
    if (!FShown)
        return;
    FShown = false;
    TOOLINFOA Ti = {};
    Ti.cbSize = sizeof(Ti);
    Ti.hwnd = FOwner;
    Ti.uId = 1;
    ::SendMessageA(FTip, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&Ti));
}
