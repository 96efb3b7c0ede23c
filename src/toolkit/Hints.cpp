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
