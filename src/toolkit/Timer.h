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

private:
    void Update();
    static LRESULT CALLBACK TimerWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    HWND FWindow = nullptr;
    unsigned FInterval;
    bool FEnabled;
};
