// The smallest Win32 program of ours that shows a window: the yardstick the
// start-up benchmark measures the host against. With "/stall=MS" it stops
// for MS ms every second: the benchmark's check that a block of the
// program's own is counted whatever the Wine server does meanwhile.
#include <windows.h>

#include <cstdlib>
#include <cstring>

static DWORD StallMs = 0;

static LRESULT CALLBACK WndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_TIMER) {
        ::Sleep(StallMs);
        return 0;
    }
    if (Msg == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
}

int WINAPI WinMain(HINSTANCE Instance, HINSTANCE, LPSTR CmdLine, int)
{
    if (const char* Stall = std::strstr(CmdLine, "/stall="))
        StallMs = static_cast<DWORD>(std::atoi(Stall + 7));
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
    if (StallMs)
        ::SetTimer(Wnd, 1, 1000, nullptr);
    MSG Msg;
    while (::GetMessageA(&Msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&Msg);
        ::DispatchMessageA(&Msg);
    }
    return 0;
}
