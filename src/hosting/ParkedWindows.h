// Giving a bound window back to the desktop waits for its program (the
// restyling and reparenting are done by its thread). A program that does
// not answer gets its window back when it answers again; until then a
// panel that goes leaves that window's inner panel, hidden, in a parking
// window: destroying it would wait for the program as well.
#pragma once

#include <windows.h>

class Control;

struct TGiveBack {
    HWND Wnd;
    HWND OldParent;   // 0: the parent stays
    LONG OldStyle;    // its visible and disabled bits stay the window's own
    RECT OriginalRect;  // all zero: the place stays
};

// Whether the window's program takes a sent message now (ours always).
bool IsAnswering(HWND Wnd);
// Restores the window's style, parent and place now.
void GiveBack(const TGiveBack& Back);
// As soon as the window's program answers again.
void GiveBackLater(const TGiveBack& Back);
bool IsGivingBack(HWND Wnd);
// Before Inner's window goes: when a window still to be given back lies in
// it, Inner lets its window go into the parking window. True when it did.
bool ParkWindowsOf(Control& Inner);
