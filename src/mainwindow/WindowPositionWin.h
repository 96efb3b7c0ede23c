// A form as the target of the stored window position, and the work areas
// of the monitors present.
#pragma once

#include "mainwindow/WindowPosition.h"

#include <windows.h>

class Form;

class TFormStateTarget : public IWindowStateTarget {
public:
    explicit TFormStateTarget(HWND Wnd) : FWnd(Wnd) {}
    int WindowState() const override;
    // The restored bounds, also while minimized or maximized.
    TWindowRect Bounds() const override;
    void SetWindowState(int State) override;
    void SetBounds(const TWindowRect& R) override;

private:
    HWND FWnd;
};

std::vector<TWindowRect> MonitorWorkAreas();

// The two routines on a form and the settings registry's open key. A
// hidden window stored maximized is shown maximized.
bool SaveWindowPosition(ISettingsStore& Store, HWND Wnd, const std::string& Prefix);
int LoadWindowPosition(ISettingsStore& Store, HWND Wnd, const std::string& Prefix);
