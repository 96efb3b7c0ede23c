#include "hosting/ParkedWindows.h"

#include "toolkit/Control.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<TGiveBack>& Waiting()
{
    static std::vector<TGiveBack> List;
    return List;
}

// Inner panels' windows let go with a window still in them.
std::vector<HWND>& Parked()
{
    static std::vector<HWND> List;
    return List;
}

// Never shown and never destroyed while it holds a window of another
// program; the process's end takes it without asking anyone.
HWND ParkingWindow()
{
    static HWND Wnd = nullptr;
    if (!Wnd || !::IsWindow(Wnd)) {
        WNDCLASSA Wc = {};
        Wc.lpfnWndProc = &::DefWindowProcA;
        Wc.hInstance = ::GetModuleHandleA(nullptr);
        Wc.lpszClassName = "TQuorvanParking";
        ::RegisterClassA(&Wc);
        Wnd = ::CreateWindowExA(WS_EX_TOOLWINDOW, Wc.lpszClassName, "", WS_POPUP, -32000, -32000, 1,
                                1, nullptr, nullptr, Wc.hInstance, nullptr);
    }
    return Wnd;
}

// Parked windows whose program's windows have all gone or gone back.
void DropEmptyParked()
{
    auto& List = Parked();
    for (auto It = List.begin(); It != List.end();) {
        if (!::IsWindow(*It)) {
            It = List.erase(It);
        } else if (!::GetWindow(*It, GW_CHILD)) {
            ::DestroyWindow(*It);
            It = List.erase(It);
        } else {
            ++It;
        }
    }
}

// Drops what waits for Wnd (nothing for nullptr) and for windows gone.
void Forget(HWND Wnd)
{
    auto& List = Waiting();
    List.erase(std::remove_if(List.begin(), List.end(),
                              [Wnd](const TGiveBack& B) { return B.Wnd == Wnd || !::IsWindow(B.Wnd); }),
               List.end());
}

void CALLBACK Answered(HWND Wnd, UINT, ULONG_PTR, LRESULT)
{
    auto& List = Waiting();
    const auto It = std::find_if(List.begin(), List.end(), [Wnd](const TGiveBack& B) { return B.Wnd == Wnd; });
    if (It == List.end())
        return;
    const TGiveBack Back = *It;
    if (!::IsWindow(Wnd)) {
        Forget(Wnd);
    } else if (IsAnswering(Wnd)) {
        Forget(Wnd);
        GiveBack(Back);
    } else {
        // Stopped again at once: the next answer.
        ::SendMessageCallbackA(Wnd, WM_NULL, 0, 0, &Answered, 0);
        return;
    }
    DropEmptyParked();
}

}  // namespace

bool IsAnswering(HWND Wnd)
{
    if (::GetWindowThreadProcessId(Wnd, nullptr) == ::GetCurrentThreadId())
        return true;
    // Long enough for a busy program to get to it, short enough that one
    // that has stopped does not hold the host noticeably.
    const UINT WaitMs = 200;
    DWORD_PTR Result = 0;
    return !::IsHungAppWindow(Wnd) &&
           ::SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, WaitMs, &Result) != 0;
}

void GiveBack(const TGiveBack& Back)
{
    const HWND Wnd = Back.Wnd;
    // Its current visible and enabled state is its own business.
    const LONG Now = ::GetWindowLongA(Wnd, GWL_STYLE);
    const LONG State = WS_VISIBLE | WS_DISABLED;
    ::SetWindowLongA(Wnd, GWL_STYLE, (Back.OldStyle & ~State) | (Now & State));
    ::SetWindowPos(Wnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                       SWP_ASYNCWINDOWPOS);
    if (Back.OldParent)
        ::SetParent(Wnd, Back.OldParent);
    const RECT& O = Back.OriginalRect;
    if (O.right - O.left != 0 || O.bottom - O.top != 0)
        ::MoveWindow(Wnd, O.left, O.top, O.right - O.left, O.bottom - O.top, TRUE);
}

void GiveBackLater(const TGiveBack& Back)
{
    Forget(Back.Wnd);
    Waiting().push_back(Back);
    // Answered once the program has taken it: no polling, no waiting.
    ::SendMessageCallbackA(Back.Wnd, WM_NULL, 0, 0, &Answered, 0);
}

bool IsGivingBack(HWND Wnd)
{
    Forget(nullptr);
    const auto& List = Waiting();
    return std::any_of(List.begin(), List.end(), [Wnd](const TGiveBack& B) { return B.Wnd == Wnd; });
}

bool ParkWindowsOf(Control& Inner)
{
    const HWND Wnd = Inner.Handle();
    if (!Wnd)
        return false;
    Forget(nullptr);
    DropEmptyParked();
    const auto& List = Waiting();
    const bool Holds = std::any_of(List.begin(), List.end(), [Wnd](const TGiveBack& B) {
        return ::GetAncestor(B.Wnd, GA_PARENT) == Wnd;
    });
    if (!Holds)
        return false;
    // Our own window: moving it waits for nobody (hiding it might not).
    ::SetParent(Wnd, ParkingWindow());
    Parked().push_back(Inner.LetHandleGo());
    return true;
}
