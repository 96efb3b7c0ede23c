// Timer: OnTimer every Interval milliseconds while enabled, on the GUI
// thread, through a message-only window of its own.
#pragma once

#include "toolkit/Component.h"

#include <windows.h>

#include <functional>

class Timer : public Component {
public:
    explicit Timer(Component* Owner, unsigned Interval = 1000, bool Enabled = true);
    ~Timer() override;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Enabled);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned Interval);

    std::function<void()> OnTimer;
    // Its ticks alone are followed by no idle pass; OnTimer asks for one
    // (TApplication::IdleNeeded) when it changed something.
    bool QuietTicks = false;
    // Msg is a tick of a Timer with QuietTicks.
    static bool IsQuietTick(const MSG& Msg);

private:
    void Update();
    static LRESULT CALLBACK TimerWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    HWND FWindow = nullptr;
    unsigned FInterval;
    bool FEnabled;
};
