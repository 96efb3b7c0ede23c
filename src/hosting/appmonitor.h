// The application monitor: the one entry through which the program opens an
// application into a host panel or as a separate window. It identifies the
// executable, asks or refuses when the application runs already, starts the
// process, and binds the window that its passes over the desktop window list
// find; its timer counts the waiting seconds, retries binding and drops
// applications whose process has ended; at shutdown it closes them all.
//
// Timer ticks run inside modal questions and message boxes, and handlers of
// its events may open applications (starting passes of their own), so
// nothing here keeps a record or an item across such a call: both are looked
// up again by window and process, or walked by serial number.
#pragma once

#include "hosting/AppInfo.h"
#include "hosting/ApplicationItem.h"
#include "hosting/Identify.h"
#include "toolkit/HandleWatch.h"
#include "toolkit/Timer.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class TDatabaseGrid;

// [0]: another instance may not start; [1]: it may. One "%s": the name.
extern const char* const AlreadyRunningQuestions[2];
extern const char* const OnlyOnceRefusal;  // one "%s": the name

using TApplicationItemEvent = std::function<void(TApplicationItem& Item)>;

class TApplicationMonitor : public IItemMonitor {
public:
    // Owner: the main window; its descendants (the bound windows) are kept
    // in the window list. The grid (may be nullptr) is the application list.
    TApplicationMonitor(Component* Owner, TDatabaseGrid* AppListGrid);
    // Releases every item's window and detaches the host panels.
    ~TApplicationMonitor();
    TApplicationMonitor(const TApplicationMonitor&) = delete;
    TApplicationMonitor& operator=(const TApplicationMonitor&) = delete;

    std::unique_ptr<::Timer> Timer;
    std::unique_ptr<TAppInfo> Windows;
    bool Closing = false;
    // Once per close request, when the last active item has gone.
    std::function<void(TApplicationMonitor& Sender)> OnAllClosed;
    TApplicationItemEvent OnBound;
    TApplicationItemEvent OnMainWindowBound;
    TApplicationItemEvent OnItemDestroy;
    TDatabaseGrid* AppListGrid;
    std::uint8_t Remembered = 0;  // the already-running answer; 0 = ask

    // --- Items ---
    int Count() const { return static_cast<int>(FItems.size()); }
    TApplicationItem* Items(int Index) const { return FItems[static_cast<std::size_t>(Index)].Item.get(); }
    TApplicationItem* Add();
    void DeleteItem(int Index);
    void DeleteItem(TApplicationItem* Item) override;
    TApplicationItem* FindItemByPanel(const ::Panel* ClientPanel) override;
    void ItemDestroying(TApplicationItem& Item) override;

    // --- Opening ---
    // Panel: the inner panel of a host panel, or nullptr. True when an item
    // was added or reused.
    bool OpenApplication(const std::string& AppName, const std::string& Exe, TIdentifyInfo& Info,
                         bool AsExternal, bool ShowErrors, ::Panel* Panel,
                         const std::string& Params);
    bool StartOrBind(bool AsExternal, std::string Exe, ::Panel* Panel, int Index,
                     const std::string& Params);
    bool StartProcess(bool AsExternal, const std::string& Exe, const std::string& Params,
                      std::uint32_t& Pid);
    TApplicationItem* AddItem(const std::string& Exe, std::uint32_t Pid, int Index, ::Panel* Panel,
                              bool AsExternal);
    bool ReuseKeptItem(const std::string& Exe, int Index, ::Panel* Panel);
    void RemoveItemsForExe(const std::string& Exe, std::uint32_t Pid);

    // --- Window searches (each runs a pass first). Rec stays valid until
    // the next pass. ---
    bool FindAppWindow(int Index, const std::string& Exe, TWindowItem*& Rec, bool Exclusive);
    bool FindFamilyWindow(int Index, const std::string& Exe, TWindowItem*& Rec);
    int CountAppInstances(int Index);
    // Windows of the WinZ80 emulator live in the NT virtual DOS machine.
    bool ResolveEmulatorExe(const std::string& ClassName, std::string& Exe, bool UseAppList);
    void RefreshWindows();
    bool ProcessExists(std::uint32_t Pid, bool Refresh);
    // Whether an item's process still runs: its handle answers while the
    // monitor holds one; a process it cannot open is looked for in one
    // process snapshot per call site (Snapped says whether it was taken).
    bool ProcessRunning(std::uint32_t Pid, bool& Snapped);
    bool IsProcessBound(std::uint32_t Pid) const;
    bool IsWindowBound(std::uint32_t Pid, HWND Handle) const;

    // --- Passes, timer, closing ---
    void WindowsChanged();
    void TimerTick();
    void RemoveDeadItems();
    TApplicationItem* FindItem(const std::string& Exe, HWND Handle, std::uint32_t Pid,
                               std::uint8_t State, const std::string& ClassName,
                               const std::string& Title, bool AllowBound, bool OwnOnly = false,
                               bool BereftOnly = false);
    void AdjustAll(bool Force, bool Hard);
    int CountActiveItems() const;
    // Active items whose program a close request can reach: through its
    // window, or through its program's shown windows once that went. One
    // started as a separate window has none.
    int CountAskableItems() const;
    // True when nothing is left to wait for.
    bool CloseAll();
    // The close is off (the session went on): a later CloseAll asks every
    // program again, and no OnAllClosed follows from this one.
    void CallOffClose();
    bool HasOtherWindow(std::uint32_t Pid, int ExceptIndex) const;
    // How often a tick has asked the system for the pointer.
    unsigned PointerReads() const { return FPointerReads; }

private:
    // What a close request has seen of the item's window so far.
    enum : std::uint8_t {
        cwNone,      // no request, or no window to watch
        cwBusy,      // disabled when asked: waits to be enabled first
        cwAsked,     // enabled, the request pending
        cwQuestion,  // disabled since the request: a question of its own
        cwProgram,   // its window gone, its program's windows were asked
    };
    struct Slot {
        std::unique_ptr<TApplicationItem> Item;
        unsigned Serial;
        std::uint8_t CloseWatch = cwNone;
        // The bound window as last seen.
        RECT Place = {0, 0, 0, 0};
        bool Front = false;
    };
    // A bound window whose events wait for the end of the pass.
    struct BoundWindow {
        HWND Handle;
        std::uint32_t Pid;
    };

    std::vector<unsigned> Serials() const;
    TApplicationItem* ItemBySerial(unsigned Serial) const;
    Slot* SlotOf(const TApplicationItem* Item);
    // The item holding the window; with BoundOnly, only a bound one.
    TApplicationItem* HeldItemOf(HWND Handle, std::uint32_t Pid, bool BoundOnly = false) const;
    void TryBind(TApplicationItem& Item, TWindowItem& Rec);
    // Rec's window, shown by the item's program after the item's own went,
    // becomes the item's.
    void TakeWindow(TApplicationItem& Item, TWindowItem& Rec);
    // Posts the close request to the item's window, or, when that went
    // while its program runs, to the program's shown top-level windows
    // that no item holds. False when nothing could be asked.
    bool AskToClose(TApplicationItem& Item);
    std::vector<HWND> ProgramWindows(std::uint32_t Pid) const;
    void MarkForRecheck(std::uint32_t Pid, TWindowHandle Wnd, const std::string& Class);
    void TakeOver(const std::string& Exe, std::uint32_t Pid, TWindowHandle Wnd, std::string Class,
                  int Index, HWND PanelWnd, bool AsExternal);
    bool StartAndAdd(bool AsExternal, const std::string& Exe, const std::string& Params, int Index,
                     HWND PanelWnd);
    // The record's executable, emulator windows resolved.
    std::string ExeOf(const TWindowItem& Rec, bool UseAppList);
    // FindAppWindow with the rules given; copies, as the pass it runs may
    // change where they came from.
    bool FindRuledWindow(const std::string TitleRule, const std::string ClassRule,
                         const std::string& Exe, TWindowItem*& Rec, bool Exclusive);
    void FirePendingEvents();
    void CheckAllClosed();
    void WatchCloseRequests();
    void ForgetPanels();
    HWND OwnerWindow() const;
    // Handles of the items' processes, closed once no item has the process.
    HANDLE WatchedProcess(std::uint32_t Pid);
    void ForgetProcesses(bool All);
    void CloseHandleOf(HANDLE Process);
    // While closing: the items of a process that has ended go at once.
    void ProcessEnded(HANDLE Process);

    Component* FOwner;
    std::vector<Slot> FItems;
    unsigned FNextSerial = 1;
    std::vector<BoundWindow> FBoundPending;
    std::map<std::uint32_t, HANDLE> FProcesses;
    // The processes a close request waits for.
    std::unique_ptr<HandleWatch> FEnded;
    bool FAllClosedPending = false;
    bool FAllClosedFired = false;
    bool FInTick = false;
    // A started program's first window lies over ours, taking the user's
    // clicks, until a pass binds it: for its first seconds the passes come
    // sooner than the second's tick.
    std::unique_ptr<::Timer> FSoon;
    DWORD FSoonUntil = 0;
    bool AwaitsFirstWindow() const;
    void SoonTick();
    // What the main window shows changed: its idle pass runs next. Said
    // where the change is seen, so nothing keeps a copy of what it shows.
    void ShownChanged();
    // What changes without a message to the host: which bound window is
    // in front (the strips' colours follow it), where bound windows lie
    // (they may move themselves) and the pointer (the hover panel follows
    // it over bound windows, which send the host nothing).
    void LookAtTheDesktop();
    // The pointer as last read, and the system's input time then.
    POINT FPointer = {0, 0};
    DWORD FPointerInput = 0;
    bool FPointerRead = false;
    unsigned FPointerReads = 0;
};
