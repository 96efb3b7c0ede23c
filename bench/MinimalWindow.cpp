// The smallest Win32 program of ours that shows a window: the yardstick the
// start-up benchmark measures the host against.
#include <windows.h>

static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
}

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA Wc = {};
    Wc.lpfnWndProc = &WndProc;
    Wc.hInstance = Instance;
    Wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    Wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    Wc.lpszClassName = "QuorvanMinimalWindow";
    ::RegisterClassA(&Wc);
    HWND Wnd = ::CreateWindowA(Wc.lpszClassName, "Minimal", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                               CW_USEDEFAULT, 780, 560, nullptr, nullptr, Instance, nullptr);
    ::ShowWindow(Wnd, SW_SHOW);
    MSG Msg;
    while (::GetMessageA(&Msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&Msg);
        ::DispatchMessageA(&Msg);
    }
    return 0;
}
