// Shared bits of the Win32 tests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Folder of the running test executable, with a trailing '\'; the helper
// programs are built next to it.
inline std::string TestExeDir()
{
    char Path[MAX_PATH];
    const DWORD Len = ::GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string S(Path, Len);
    return S.substr(0, S.find_last_of("\\/") + 1);
}

// Dispatches messages until Done answers true or TimeoutMs passes.
inline bool PumpUntil(const std::function<bool()>& Done, DWORD TimeoutMs)
{
    const DWORD Start = ::GetTickCount();
    while (!Done()) {
        if (::GetTickCount() - Start > TimeoutMs)
            return false;
        MSG Msg;
        while (::PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&Msg);
            ::DispatchMessageA(&Msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// Wnd's rectangle in Parent's client coordinates.
inline RECT RectIn(HWND Wnd, HWND Parent)
{
    RECT R = {};
    ::GetWindowRect(Wnd, &R);
    ::MapWindowPoints(HWND_DESKTOP, Parent, reinterpret_cast<POINT*>(&R), 2);
    return R;
}

inline bool SameRect(const RECT& A, const RECT& B)
{
    return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

inline BOOL CALLBACK CollectMessageBox(HWND Wnd, LPARAM Param)
{
    char Class[16] = {};
    ::GetClassNameA(Wnd, Class, sizeof Class);
    if (std::string(Class) == "#32770" && ::IsWindowVisible(Wnd))
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Wnd);
    return TRUE;
}

// The visible message boxes of this thread.
inline std::vector<HWND> MessageBoxWindows()
{
    std::vector<HWND> Found;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectMessageBox, reinterpret_cast<LPARAM>(&Found));
    return Found;
}

// A visible message box of this thread, if any.
inline HWND MessageBoxWindow()
{
    const std::vector<HWND> Found = MessageBoxWindows();
    return Found.empty() ? nullptr : Found.front();
}

// The text a message box shows.
inline std::string MessageBoxText(HWND Box)
{
    char Text[256] = {};
    ::GetDlgItemTextA(Box, 0xFFFF, Text, sizeof(Text));
    return Text;
}
