// The Win32 side of the layouts: host panels as children of the main
// window's client panel, the monitor, the question dialog, the registry key
// of the stored form, and a canvas for the designer's preview.
//
// Typical use by the main window:
//   TLayoutHostWin Host;  Host.HostControl = mainpanel; Host.HomeParent = this;
//   Host.Monitor = Monitor; Host.Confirmation = ConfirmationForm;
//   Host.AppList = <application list lookup>; Host.OnPanelCreated = <bind events>;
//   TLayouts Layouts(Host); Layouts.HasHost = true;
//   TRegistryValuesWin V(Reg); Report = Layouts.Tree.LoadLayouts(V);
//   Layouts.ApplyLayout(Node); ... mainpanelResize: Layouts.Relayout(nullptr);
#pragma once

#include "mainwindow/LayoutBorders.h"
#include "mainwindow/Layouts.h"

#include "hosting/AppPanel.h"
#include "hosting/VelmoraWin.h"

#include <windows.h>

#include <functional>
#include <memory>

class TApplicationMonitor;
class TConfirmationForm;
class Timer;

// Inner panel colours of host panels by level ($00BBGGRR); a deeper panel
// keeps the inner panel's own colour.
extern const TColor PanelLevelColors[3];

class TLayoutHostWin : public ILayoutHost {
public:
    TLayoutHostWin();
    ~TLayoutHostWin();
    TLayoutHostWin(const TLayoutHostWin&) = delete;
    TLayoutHostWin& operator=(const TLayoutHostWin&) = delete;

    Control* HostControl = nullptr;  // the main window's client panel
    Control* HomeParent = nullptr;   // the main window: overlay controls go back there
    TApplicationMonitor* Monitor = nullptr;
    // The main window's: while set, the session may end and starts wait.
    const bool* SessionMayEnd = nullptr;
    TConfirmationForm* Confirmation = nullptr;
    // nullptr: the application list window's list.
    IApplicationLocations* AppList = nullptr;
    // A new host panel, for the main window to bind its mouse, click and
    // resize handlers.
    std::function<void(TAppPanel& Panel)> OnPanelCreated;
    // A host panel about to be freed, for the main window to stop using it.
    std::function<void(TAppPanel& Panel)> OnPanelFreeing;
    // A control of the host that stays in front of the panels (the rules
    // update's status bar), or nullptr.
    Control* AbovePanels = nullptr;
    // Instead of the message box, when set.
    std::function<void(const std::string& Text)> OnMessage;

    TAppPanel* CreatePanel(int Level) override;
    void FreePanel(TAppPanel* Panel) override;
    void PlacePanel(TAppPanel* Panel, const TLayoutRect& R) override;
    TLayoutRect HostClientRect() override;
    void BeginPlacing() override;
    void EndPlacing() override;
    TApplicationItem* ItemOfPanel(TAppPanel* Panel) override;
    int ItemKnownIndex(const TApplicationItem* Item) override;
    bool OpenApplication(const std::string& Name, const std::string& Exe, const std::string& Params,
                         TAppPanel* Panel) override;
    std::string ModuleStartParams(const std::string& Name) override;
    IApplicationLocations* Locations() override;
    std::uint8_t Confirm(const std::string& Text, std::uint8_t& Remembered) override;
    void Beep() override;
    void Tell(const std::string& Text) override;
    void RaiseCloseReleased() override;
    void LowerCloseReleased() override;
    void ScheduleStart(int Milliseconds, std::function<void()> Due) override;
    void StartsQueued() override;
    bool StartsAllowed() override;
    bool ItemKept(const TApplicationItem* Item) const override;
    // Ignores an item the monitor no longer holds.
    void SetItemKept(TApplicationItem* Item, bool Kept) override;

private:
    // The top-level window the host control lies in.
    HWND MainWindow() const;
    int FPlacing = 0;
    bool FRedrawOff = false;
    std::unique_ptr<Timer> FStartTimer;
    std::function<void()> FStartDue;
    HWND FStartsFrom = nullptr;
};

// The live bounds of the tree's host panels, for border dragging.
class TPanelBoundsWin : public IPanelBounds {
public:
    explicit TPanelBoundsWin(const TLayoutTree& Tree) : FTree(Tree) {}
    bool PanelBounds(TNodeId Node, TLayoutRect& R) override;
    void SetPanelBounds(TNodeId Node, const TLayoutRect& R) override;

private:
    const TLayoutTree& FTree;
};

// The system cursor of a cursor id (nullptr for crDefault: the class's).
HCURSOR BorderCursorHandle(int Cursor);
// The cursor of the border's host panel and of its inner panel.
void SetBorderCursor(const TLayoutTree& Tree, const TPanelBorder& Border, int Cursor);

// The open key of a TSafeRegistry as the stored form's values.
class TRegistryValuesWin : public IRegistryValues {
public:
    explicit TRegistryValuesWin(TSafeRegistry& Registry) : FRegistry(Registry) {}
    int ReadIntegerDef(const std::string& Name, int Default) override;
    std::string ReadStringDef(const std::string& Name, const std::string& Default) override;
    void WriteInteger(const std::string& Name, int Value) override;
    void WriteString(const std::string& Name, const std::string& Value) override;
    bool ValueExists(const std::string& Name) override;
    bool DeleteValue(const std::string& Name) override;

private:
    TSafeRegistry& FRegistry;
};

// Draws the preview on a device context (its font is the caller's).
class TLayoutCanvasWin : public ILayoutCanvas {
public:
    explicit TLayoutCanvasWin(HDC Dc);
    ~TLayoutCanvasWin();
    TLayoutCanvasWin(const TLayoutCanvasWin&) = delete;
    TLayoutCanvasWin& operator=(const TLayoutCanvasWin&) = delete;

    void Rectangle(const TLayoutRect& R, bool Silver) override;
    void WrappedText(const TLayoutRect& R, const std::string& Text) override;
    void SelectionFrame(const TLayoutRect& R) override;

private:
    HDC FDc;
    HBRUSH FSilver;
    HPEN FBlack;
    HPEN FRed;
    int FSaved;
};
