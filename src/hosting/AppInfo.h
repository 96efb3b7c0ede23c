// The desktop window list: one record per visible top-level window (and,
// when asked, per descendant of one parent window), marked new, changed,
// unchanged or gone by each pass, with the executable of its process.
// Portable: the desktop is reached through IWindowSource.
#pragma once

#include "hosting/Velmora.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// A window handle as a number; the Win32 side casts HWND to and from it.
using TWindowHandle = std::uintptr_t;
// UpdateList's parent when only top-level windows are wanted.
constexpr TWindowHandle NoParentWindow = ~TWindowHandle(0);

enum TWindowItemState : std::uint8_t {
    wisUnchanged = 0,
    wisChanged = 1,
    wisNew = 2,
    wisGone = 3,   // deleted at the end of the pass
    wisRecheck = 4,  // set by the list's user: report as changed next pass
    wisIgnored = 5,  // set by the list's user: drop at the end of this pass
};

struct TWindowItem {
    std::string Title;
    std::string ExeName;  // empty while not found
    TWindowHandle Handle = 0;
    std::uint32_t ProcessId = 0;
    std::string ClassName;
    std::uint8_t State = wisNew;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
};

// One entry of the platform's process snapshot.
struct TProcessItem {
    std::uint32_t Size = 0;
    std::uint32_t Usage = 0;
    std::uint32_t ProcessId = 0;
    std::uintptr_t DefaultHeapId = 0;
    std::uint32_t ModuleId = 0;
    std::uint32_t Threads = 0;
    std::uint32_t ParentProcessId = 0;
    std::int32_t PriClassBase = 0;
    std::uint32_t Flags = 0;
    std::string ExeFile;  // at most 260 characters
};

// What a pass asks of the desktop and of the process table.
class IWindowSource {
public:
    virtual ~IWindowSource() = default;
    // 1 = Windows 9x, where executables come from the process snapshot.
    virtual int PlatformId() = 0;
    virtual void EnumTopLevel(const std::function<void(TWindowHandle)>& Visit) = 0;
    // Every descendant of Parent.
    virtual void EnumChildren(TWindowHandle Parent,
                              const std::function<void(TWindowHandle)>& Visit) = 0;
    virtual std::string Title(TWindowHandle Wnd) = 0;
    virtual std::string ClassName(TWindowHandle Wnd) = 0;
    // False when the rectangle cannot be read.
    virtual bool Size(TWindowHandle Wnd, std::int32_t& Width, std::int32_t& Height) = 0;
    virtual bool IsVisible(TWindowHandle Wnd) = 0;
    virtual bool HasOwner(TWindowHandle Wnd) = 0;
    virtual bool HasParent(TWindowHandle Wnd) = 0;
    virtual std::uint32_t ExStyle(TWindowHandle Wnd) = 0;
    virtual std::uint32_t ProcessId(TWindowHandle Wnd) = 0;
    // Calls Visit with each module path of the process until it answers
    // false; false when the module snapshot cannot be taken.
    virtual bool WalkModules(std::uint32_t ProcessId,
                             const std::function<bool(const std::string& Path)>& Visit) = 0;
    // False when the process snapshot cannot be taken.
    virtual bool WalkProcesses(const std::function<void(const TProcessItem&)>& Visit) = 0;
};

// A repeating timer that fires OnTimer while enabled.
class IIntervalTimer {
public:
    virtual ~IIntervalTimer() = default;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool Enabled) = 0;
    virtual unsigned Interval() const = 0;
    virtual void SetInterval(unsigned Interval) = 0;
    std::function<void()> OnTimer;
};

class TAppWindowCollection {
public:
    explicit TAppWindowCollection(IWindowSource& Source);
    TAppWindowCollection(const TAppWindowCollection&) = delete;
    TAppWindowCollection& operator=(const TAppWindowCollection&) = delete;

    TDateTime LastUpdate = 0;
    // Options of the running pass, read by the enumeration.
    bool ChildPass = false;
    bool IncludeToolWindows = false;
    bool IncludeOwned = false;
    bool IncludeParented = false;
    bool IncludeZeroSize = false;
    std::vector<TProcessItem> Processes;  // filled on Windows 9x only
    int PlatformId;

    int Count() const { return static_cast<int>(FItems.size()); }
    // Records keep their address while others are added or deleted.
    TWindowItem* Items(int Index) const { return FItems[static_cast<std::size_t>(Index)].get(); }
    TWindowItem* Add();
    void Delete(int Index);

    void UpdateWindowList(TWindowHandle Parent, bool IncludeToolWindows, bool IncludeOwned,
                          bool IncludeZeroSize, bool IncludeParented);
    // Deletes every gone or ignored record.
    void PurgeWindowItems();
    // Class compared without regard to ASCII case.
    TWindowItem* FindWindowItem(std::uint32_t ProcessId, TWindowHandle Handle,
                                const std::string& ClassName) const;

    // Only while the record's executable is unknown.
    void FillExeName(TWindowItem& Rec);
    void RefreshProcessList();
    bool FindProcessItem(std::uint32_t ProcessId, TProcessItem& Rec) const;

    // Module snapshots taken so far (each costs a round trip to the system).
    int ModuleSnapshots() const { return FModuleSnapshots; }
    int ProcessSnapshots() const { return FProcessSnapshots; }
    // How often a process whose executable could not be read is asked in
    // all while it has records: a passing failure is worth another try, a
    // 64-bit process fails every time.
    static constexpr int ExeReadTries = 3;

private:
    void EnumWindowProc(TWindowHandle Wnd);
    const TWindowItem* FindHandle(TWindowHandle Handle) const;

    IWindowSource& FSource;
    std::vector<std::unique_ptr<TWindowItem>> FItems;
    // What the module snapshot said about a process while it has records:
    // its executable, or how often reading it failed. Records of the same
    // process share it.
    struct ProcessExe {
        int Failures = 0;
        std::string Path;
    };
    std::unordered_map<std::uint32_t, ProcessExe> FProcessExe;
    int FModuleSnapshots = 0;
    int FProcessSnapshots = 0;
};

class TAppInfo {
public:
    TAppInfo(IWindowSource& Source, std::unique_ptr<IIntervalTimer> Timer);
    virtual ~TAppInfo() = default;
    TAppInfo(const TAppInfo&) = delete;
    TAppInfo& operator=(const TAppInfo&) = delete;

    // Fired after each pass, before gone and ignored records are deleted.
    std::function<void(TAppInfo& Sender)> OnAfterUpdateList;
    // Fired before each pass; Cancel skips it.
    std::function<void(TAppInfo& Sender, bool& Cancel)> OnBeforeUpdateList;

    TAppWindowCollection Windows;

    unsigned UpdateInterval() const { return FTimer->Interval(); }
    void SetUpdateInterval(unsigned Value);
    void SetActive(bool Value) { FTimer->SetEnabled(Value); }
    bool Active() const { return FTimer->Enabled(); }

    // One pass with its events. Passes nest when an after-update handler
    // starts another; only the outermost one deletes records, so a handler
    // walking the list never loses a record under its feet.
    void UpdateList(TWindowHandle Parent, bool IncludeToolWindows, bool IncludeOwned,
                    bool IncludeZeroSize, bool IncludeParented);
    void UpdateTimerTick();
    int PassDepth() const { return FPassDepth; }

protected:
    virtual void DoAfterUpdateList();
    virtual void DoBeforeUpdateList(bool& Cancel);

private:
    std::unique_ptr<IIntervalTimer> FTimer;
    int FPassDepth = 0;
};

// Local time now: days from 30 December 1899, the time of day as fraction.
TDateTime NowDateTime();
