// A hosted application item: the monitor's record of one application it
// started or took over, and the window protocol with that application's
// window: binding it into a host panel, sizing it, giving it back.
#pragma once

#include "toolkit/Panel.h"

#include <windows.h>

#include <cstdint>
#include <string>

class TApplicationItem;
class Tknownapp;

// What host panels and items need of the monitor that owns the items.
class IItemMonitor {
public:
    // The first item whose panel is ClientPanel, or nullptr.
    virtual TApplicationItem* FindItemByPanel(const ::Panel* ClientPanel) = 0;
    // Removes the item from the monitor and destroys it.
    virtual void DeleteItem(TApplicationItem* Item) = 0;
    // An item is being destroyed (fires the monitor's OnItemDestroy).
    virtual void ItemDestroying(TApplicationItem& Item) = 0;

protected:
    ~IItemMonitor() = default;
};

enum : std::uint8_t {
    aisWaiting = 0,  // no window bound yet
    aisActive = 1,   // bound, or running as a separate window
};

// While above 0, releasing an active item also closes its application.
extern int CloseReleasedApps;

// Raises CloseReleasedApps for its lifetime, exceptions included.
class TCloseReleasedAppsScope {
public:
    TCloseReleasedAppsScope() { ++CloseReleasedApps; }
    ~TCloseReleasedAppsScope() { --CloseReleasedApps; }
    TCloseReleasedAppsScope(const TCloseReleasedAppsScope&) = delete;
    TCloseReleasedAppsScope& operator=(const TCloseReleasedAppsScope&) = delete;
};

// What binding and sizing use of the item's known application. Copied when
// the index is set: the database may be rebuilt while the item lives.
struct TKnownAppOptions {
    std::string Name;
    std::uint8_t Method = 0;
    bool NoTitle = false;
    bool HardSizing = false;
    std::int32_t MinWidth = 0;   // both -1: the window's own size at binding
    std::int32_t MinHeight = 0;  // 0 or below: no minimum that way
    // The title and class rules (NotGiven: not compared).
    std::string WindowTitle;
    std::string WindowClass;
};

class TApplicationItem {
public:
    explicit TApplicationItem(IItemMonitor* Monitor);
    // Tells the monitor, then releases the window.
    ~TApplicationItem();
    TApplicationItem(const TApplicationItem&) = delete;
    TApplicationItem& operator=(const TApplicationItem&) = delete;

    std::string ExeName;
    // Waiting: the title and class rules of the known application (NotGiven
    // when none); once a window is taken, the window's text and class.
    std::string Caption;
    std::string ClassName;
    std::uint8_t State = aisWaiting;
    std::uint32_t ProcessId = 0;
    // The inner panel of the host panel the window is or will be bound into.
    ::Panel* Panel = nullptr;
    HWND Handle = nullptr;
    HWND OldParent = nullptr;
    LONG OldStyle = 0;
    bool Bound = false;
    IItemMonitor* Monitor;
    RECT OriginalRect = {0, 0, 0, 0};  // screen coordinates before binding
    std::int32_t Seconds = 0;
    std::int32_t WindowNo = 0;
    std::int32_t GraceTicks = 0;
    bool FirstSize = false;
    bool Kept = false;

    // Index into KnownApps, -1 none. Setting it copies the entry's options;
    // an index outside the database counts as none for binding.
    std::int32_t KnownIndex() const { return FKnownIndex; }
    void SetKnownIndex(std::int32_t Index);
    bool HasKnownApp() const { return FKnownIndex >= 0 && FHasKnown; }
    // Whether Entry is the application this item was made for, by the
    // item's copy (an index goes stale when the database is rebuilt).
    bool IsItemOf(const Tknownapp* Entry) const;
    const TKnownAppOptions& Known() const { return FKnown; }

    void UpdatePanel();
    bool BindWindow();
    void AdjustWindow(bool Force, bool Hard);
    void GetOriginalSize(POINT& Size) const;
    void UnbindWindow();
    void ReleaseWindow();
    // Once a monitor tick: a bound window of another thread that has not
    // answered since the last tick has stopped. Its thread's input (shared
    // with the host's since binding) is then detached, so that activation
    // and focus changes in the host no longer wait for it; attached again
    // once it answers, for the keyboard.
    void WatchAnswer();

private:
    static void CALLBACK Answered(HWND Wnd, UINT Msg, ULONG_PTR Token, LRESULT Result);
    unsigned FToken;
    bool FProbeOut = false;
    bool FDetached = false;
    std::int32_t FKnownIndex = -1;
    bool FHasKnown = false;
    TKnownAppOptions FKnown;
    // The place last asked of a window of another thread, until it has
    // taken the request.
    bool FAsked = false;
    RECT FAskedRect = {0, 0, 0, 0};
    // Moves a window that left T back to T's top-left with its own size.
    void KeepInPlace(const RECT& T);
};

// Exists, is visible and enabled, and (unless skipped) has a size.
bool IsUsableWindow(HWND Handle, bool SkipSizeCheck);
// A bound window is in front: its host window is the foreground window
// and the keyboard focus lies in it.
bool IsInFront(HWND Wnd);
// The same with the foreground window read already.
bool IsInFront(HWND Wnd, HWND Front);
// The panel text while an application starts.
std::string LoadingText(const std::string& Name, int Seconds);
