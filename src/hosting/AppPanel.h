// A host panel: the bevelled place of one hosted application in the main
// window. A bound window becomes a child of its inner ClientPanel, which
// shows the loading text or the caption strip; over it the panel shows the
// main window's overlay controls by mode.
#pragma once

#include "toolkit/Panel.h"

#include <cstdint>

class IItemMonitor;

struct AppPanelArgs {
    Control* Parent = nullptr;
    // Where overlay controls go back when the panel lets them go.
    Control* HomeParent = nullptr;
    // The monitor that may hold an item for this panel; may be nullptr.
    IItemMonitor* Monitor = nullptr;
    int Left = 0, Top = 0, Width = 100, Height = 100;
    TAlign Align = TAlign::None;
};

enum : std::uint8_t {
    apmNone = 0,         // no overlay
    apmTool = 1,         // the tool control only
    apmCloseUnbind = 2,  // the close and unbind controls only
};

class TAppPanel : public Panel {
public:
    TAppPanel(Component* Owner, const AppPanelArgs& Args);
    // Gives the overlay controls back and deletes (or, when kept, only
    // releases) the monitor's item of this panel.
    ~TAppPanel() override;

    Panel* ClientPanel = nullptr;
    Control* HomeParent;
    IItemMonitor* Monitor;  // the monitor clears it when it goes first

    Control* ToolControl() const { return FToolControl; }
    Control* CloseControl() const { return FCloseControl; }
    Control* UnbindControl() const { return FUnbindControl; }
    std::uint8_t Mode() const { return FMode; }
    bool Bound() const { return FBound; }

    void SetPanelCursor(HCURSOR Value);
    // Both edges count: 0 <= X <= Width, 0 <= Y <= Height.
    bool ContainsPoint(POINT P) const;
    // Keeps only what the mode shows; a control taken away goes back,
    // hidden, to HomeParent.
    void SetControls(Control* Tool, Control* Close, Control* Unbind);
    void ArrangeControls();
    void SetMode(std::uint8_t Value);
    // Mirrored into the unbind control's Enabled.
    void SetBound(bool Value);

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

private:
    void LetItemGo();
    POINT ToOwnClient(int X, int Y) const;
    // Where a W x H overlay wanted at Want in the inner panel shows whole:
    // the nearest place that the windows in front of this panel (a child
    // node's panels, placed over it) leave free; false, At as wanted, when
    // none does.
    bool UncoveredSpot(POINT Want, int W, int H, POINT& At) const;

    Control* FToolControl = nullptr;
    Control* FCloseControl = nullptr;
    Control* FUnbindControl = nullptr;
    std::uint8_t FMode = apmTool;
    bool FBound = false;
};

// The control itself when it is a host panel, its owner when it is a host
// panel's inner panel, else nullptr.
TAppPanel* AppPanelOf(Control* C);

// The rectangle, in Inner's client coordinates, that a bound window gets:
// below the caption strip when the window has no title of its own, and not
// smaller than MinSize where that is above 0.
void GetAppClientRect(Panel* Inner, bool NoTitle, POINT MinSize, RECT& R);
