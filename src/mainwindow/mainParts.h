// What the main window's files share among themselves and nobody else.
#pragma once

#include <windows.h>

namespace mainparts {

// The application box's first item: no application chosen.
inline const char* const SelectApplication = "<select application>";

// The main window's timer that runs a start-up step after waiting input
// and paints.
const UINT_PTR StartupStepTimer = 0x5354;

inline void BringToForeground(HWND Wnd)
{
    if (Wnd)
        ::SetForegroundWindow(Wnd);
}

}  // namespace mainparts
