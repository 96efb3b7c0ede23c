// The Win32 tests' look at a control's hint as a user meets it.
#pragma once

#include "toolkit/Application.h"
#include "toolkit/Control.h"
#include "toolkit/Hints.h"
#include "toolkit/Timer.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

// The text of Owner's hint while its tip shows, else "".
inline std::string ShownHint(HWND Owner)
{
    struct Find {
        HWND Owner;
        std::string Text;
        static BOOL CALLBACK Visit(HWND Wnd, LPARAM Param)
        {
            auto* F = reinterpret_cast<Find*>(Param);
            char Class[32] = {}, Text[80] = {};
            ::GetClassNameA(Wnd, Class, sizeof(Class));
            TOOLINFOA Ti = {};
            Ti.cbSize = sizeof(Ti);
            Ti.hwnd = F->Owner;
            Ti.uId = 1;
            Ti.lpszText = Text;
            if (::lstrcmpiA(Class, TOOLTIPS_CLASSA) == 0 && ::IsWindowVisible(Wnd))
                ::SendMessageA(Wnd, TTM_GETTEXTA, sizeof(Text), reinterpret_cast<LPARAM>(&Ti));
            F->Text += Text;
            return TRUE;
        }
    } F{Owner, ""};
    ::EnumThreadWindows(::GetCurrentThreadId(), &Find::Visit, reinterpret_cast<LPARAM>(&F));
    return F.Text;
}

inline // The pointer rests on C: the hint then shown, and the wake-ups meanwhile
// of windows that are not the program's own and of the system's timers.
std::string HintAfterResting(TApplication& App, Control* C, int& Polls)
{
    RECT R;
    ::GetWindowRect(C->Handle(), &R);
    ::SetCursorPos((R.left + R.right) / 2, (R.top + R.bottom) / 2);
    Polls = 0;
    App.OnMessage = [&](MSG& M, bool&) {
        Polls += (M.message == WM_TIMER && !IsProgramWindow(M.hwnd)) || M.message == 0x0118;
    };
    // A quiet clock: the loop wakes for nothing of the program's.
    Timer Clock(nullptr, 20);
    Clock.QuietTicks = true;
    Clock.OnTimer = [] {};
    const DWORD End = ::GetTickCount() + THoverHint::InitialDelay + 1500;
    App.RunModalLoop([End] { return ::GetTickCount() >= End; });
    App.OnMessage = nullptr;
    return ShownHint(C->Handle());
}
