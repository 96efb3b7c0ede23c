#include "toolkit/Hints.h"

#include "toolkit/Control.h"

#include <commctrl.h>

#include <map>

namespace {

// One tooltip window per top-level window, destroyed with it (owned).
HWND ToolTipFor(HWND Root)
{
    static std::map<HWND, HWND> Tips;
    auto It = Tips.find(Root);
    if (It != Tips.end() && ::IsWindow(It->second))
        return It->second;
    HWND Tip = ::CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Root,
                                 nullptr, ::GetModuleHandleA(nullptr), nullptr);
    Tips[Root] = Tip;
    return Tip;
}

}  // namespace

void SetHint(Control* C, const std::string& Text)
{
    if (!C || !C->Handle())
        return;
    HWND Root = ::GetAncestor(C->Handle(), GA_ROOT);
    HWND Tip = ToolTipFor(Root);
    if (!Tip)
        return;
    TOOLINFOA Ti = {};
    Ti.cbSize = sizeof(Ti);
    Ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    Ti.hwnd = Root;
    Ti.uId = reinterpret_cast<UINT_PTR>(C->Handle());
    ::SendMessageA(Tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&Ti));
    if (Text.empty())
        return;
    Ti.lpszText = const_cast<char*>(Text.c_str());
    ::SendMessageA(Tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&Ti));
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
