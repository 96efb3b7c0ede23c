#include "toolkit/Timer.h"

#include "toolkit/Application.h"

LRESULT CALLBACK Timer::TimerWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_TIMER) {
        auto* Self = reinterpret_cast<Timer*>(::GetWindowLongPtrA(Wnd, GWLP_USERDATA));
        if (Self && Self->FEnabled && Self->OnTimer)
            Guarded([&] { Self->OnTimer(); });
        return 0;
    }
    return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
}

bool Timer::IsQuietTick(const MSG& Msg)
{
    if (Msg.message != WM_TIMER || !Msg.hwnd ||
        ::GetWindowLongPtrA(Msg.hwnd, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&TimerWndProc))
        return false;
    const auto* Self = reinterpret_cast<const Timer*>(::GetWindowLongPtrA(Msg.hwnd, GWLP_USERDATA));
    return Self && Self->QuietTicks;
}

Timer::Timer(Component* Owner, unsigned Interval, bool Enabled)
    : Component(Owner), FInterval(Interval), FEnabled(Enabled)
{
    static bool Registered = false;
    if (!Registered) {
        WNDCLASSA Wc = {};
        Wc.lpfnWndProc = &Timer::TimerWndProc;
        Wc.hInstance = ::GetModuleHandleA(nullptr);
        Wc.lpszClassName = "TQuorvanTimer";
        ::RegisterClassA(&Wc);
        Registered = true;
    }
    FWindow = ::CreateWindowExA(0, "TQuorvanTimer", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
    ::SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    Update();
}

Timer::~Timer()
{
    if (FWindow) {
        ::KillTimer(FWindow, 1);
        ::DestroyWindow(FWindow);
    }
}

void Timer::SetEnabled(bool Enabled)
{
    if (Enabled != FEnabled) {
        FEnabled = Enabled;
        Update();
    }
}

void Timer::SetInterval(unsigned Interval)
{
    if (Interval != FInterval) {
        FInterval = Interval;
        Update();
    }
}

void Timer::Update()
{
    ::KillTimer(FWindow, 1);
    if (FEnabled && FInterval > 0)
        ::SetTimer(FWindow, 1, FInterval, nullptr);
}
