// Hints: a control's hint text shown while the pointer rests on it.
#pragma once

#include "toolkit/Timer.h"

#include <windows.h>

#include <string>

class Control;

// A hint shown below the pointer by a tracking tool tip. Its control tells
// which hint the pointer rests on and when it leaves; one-shot timers of
// its own show the tip after a delay and take it away again, so nothing
// polls the pointer while it rests (a tool tip tracking the pointer itself
// asks for it ten times a second).
class THoverHint {
public:
    static const unsigned InitialDelay = 500;  // ms before the first tip
    static const unsigned ReshowDelay = 100;   // from one tip to the next
    static const unsigned PopDelay = 5000;     // a tip's time on screen
    // How often the system looks whether a pointer resting on a window
    // has left it, where it looks rather than tells (Wine: at the hover
    // time, 400 ms, waking the program each time). Tests shorten it.
    static unsigned LeaveCheckMs;
    // The check for a control whose owner sees the pointer go by other
    // means and then calls EndLeaveTrackingAway: only a backstop.
    static unsigned WatchedLeaveCheckMs;

    explicit THoverHint(HWND Owner);
    ~THoverHint();
    THoverHint(const THoverHint&) = delete;
    THoverHint& operator=(const THoverHint&) = delete;

    // The pointer rests on an item with this hint; an empty text: none.
    void Enter(const std::string& Text);
    void Leave();
    const std::string& Text() const { return FText; }
    HWND TipWindow() const { return FTip; }
    bool Shown() const { return FShown; }

private:
    void Show();
    void Hide();

    HWND FOwner;
    HWND FTip = nullptr;
    std::string FText;
    bool FShown = false;
    Timer FShowTimer;
    Timer FPopTimer;
};

// Asks for Wnd's WM_MOUSELEAVE with the slow check, unless it is asked for
// already: a control that asks on each move itself then keeps our check.
// Hover is asked too, since only a hover request sets the interval; the
// hover message changes nothing.
void TrackLeaveSlowly(HWND Wnd, unsigned CheckMs = THoverHint::LeaveCheckMs);

// The window that asked for WM_MOUSELEAVE hears it now unless the pointer
// is over it: Over is the window under the pointer, Pointer where it is.
void EndLeaveTracking(HWND Over);
void EndLeaveTrackingAway(POINT Pointer);

// Gives C the hint Text (an empty text removes it), shown by a THoverHint
// of its own; C's leave is checked every CheckMs.
void SetHint(Control* C, const std::string& Text, unsigned CheckMs = THoverHint::LeaveCheckMs);
