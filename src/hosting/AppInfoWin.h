// The Win32 side of the desktop window list: the desktop as a window source
// (EnumWindows, Tool Help snapshots) and the toolkit timer behind TAppInfo.
#pragma once

#include "hosting/AppInfo.h"
#include "toolkit/Timer.h"

#include <windows.h>

#include <memory>
#include <string>

inline HWND ToHwnd(TWindowHandle Wnd) { return reinterpret_cast<HWND>(Wnd); }
inline TWindowHandle FromHwnd(HWND Wnd) { return reinterpret_cast<TWindowHandle>(Wnd); }

// GetWindowTextA and GetClassNameA through a 256-byte buffer; empty when
// nothing comes back.
std::string GetWindowTitle(HWND Wnd);
std::string GetWindowClass(HWND Wnd);

class TDesktopWindowSource : public IWindowSource {
public:
    int PlatformId() override;
    void EnumTopLevel(const std::function<void(TWindowHandle)>& Visit) override;
    void EnumChildren(TWindowHandle Parent,
                      const std::function<void(TWindowHandle)>& Visit) override;
    std::string Title(TWindowHandle Wnd) override { return GetWindowTitle(ToHwnd(Wnd)); }
    std::string ClassName(TWindowHandle Wnd) override { return GetWindowClass(ToHwnd(Wnd)); }
    bool Size(TWindowHandle Wnd, std::int32_t& Width, std::int32_t& Height) override;
    bool IsVisible(TWindowHandle Wnd) override { return ::IsWindowVisible(ToHwnd(Wnd)) != 0; }
    bool HasOwner(TWindowHandle Wnd) override { return ::GetWindow(ToHwnd(Wnd), GW_OWNER) != nullptr; }
    bool HasParent(TWindowHandle Wnd) override { return ::GetParent(ToHwnd(Wnd)) != nullptr; }
    std::uint32_t ExStyle(TWindowHandle Wnd) override
    {
        return static_cast<std::uint32_t>(::GetWindowLongA(ToHwnd(Wnd), GWL_EXSTYLE));
    }
    std::uint32_t ProcessId(TWindowHandle Wnd) override;
    bool WalkModules(std::uint32_t ProcessId,
                     const std::function<bool(const std::string& Path)>& Visit) override;
    bool WalkProcesses(const std::function<void(const TProcessItem&)>& Visit) override;
};

// TAppInfo's timer: a toolkit Timer of its own.
class TToolkitIntervalTimer : public IIntervalTimer {
public:
    TToolkitIntervalTimer();
    bool Enabled() const override { return FTimer.Enabled(); }
    void SetEnabled(bool Enabled) override { FTimer.SetEnabled(Enabled); }
    unsigned Interval() const override { return FTimer.Interval(); }
    void SetInterval(unsigned Interval) override { FTimer.SetInterval(Interval); }

private:
    Timer FTimer;
};

// The source has no state of its own, so one serves every list.
TDesktopWindowSource& DesktopWindowSource();

// A desktop window list over the real desktop with a toolkit timer.
std::unique_ptr<TAppInfo> MakeDesktopAppInfo();
