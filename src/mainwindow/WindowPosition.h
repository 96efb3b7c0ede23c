// A form's stored state and bounds under a value prefix: "State" (0 normal,
// 1 minimized, 2 maximized), "LeftPos", "TopPos", "Width", "Height". Bounds
// read back are kept on a present monitor's work area. Portable.
#pragma once

#include "mainwindow/SettingsStore.h"

#include <string>
#include <vector>

struct TWindowRect {
    int Left = 0, Top = 0, Width = 0, Height = 0;
};

bool operator==(const TWindowRect& A, const TWindowRect& B);

enum : int { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

// The window whose state is stored. Bounds are those of the normal
// (restored) window, also while it is minimized or maximized.
class IWindowStateTarget {
public:
    virtual ~IWindowStateTarget() = default;
    virtual int WindowState() const = 0;
    virtual TWindowRect Bounds() const = 0;
    virtual void SetWindowState(int State) = 0;
    virtual void SetBounds(const TWindowRect& R) = 0;
};

// Writes the five values in order into the store's open key; stops at the
// first failed write. False when one failed.
bool SaveWindowPosition(ISettingsStore& Store, const IWindowStateTarget& Form,
                        const std::string& Prefix);

// Reads the five values in order and applies each as it comes: the state
// only when it is 0, 1 or 2 (1, minimized, as 0), then left, top, width and
// height. A missing or unreadable value ends the reading; what was applied
// stays. When a bound was applied, the result is kept on one of WorkAreas
// (none: not clamped), a width or height below MinWidth x MinHeight taking
// the form's size from before. Answers how many values were read.
int LoadWindowPosition(ISettingsStore& Store, IWindowStateTarget& Form, const std::string& Prefix,
                       const std::vector<TWindowRect>& WorkAreas, int MinWidth, int MinHeight);

// R moved and shrunk onto the work area it overlaps most, or onto the
// nearest one when it overlaps none; never smaller than MinWidth x
// MinHeight. Areas smaller than that are passed over; when all are, R goes
// to the largest, from its top left corner.
TWindowRect ClampToWorkArea(const TWindowRect& R, const std::vector<TWindowRect>& WorkAreas,
                            int MinWidth, int MinHeight);
