// HandleWatch: OnSignalled on the GUI thread once a watched handle (a
// process) is signalled. The system's wait thread posts to a message-only
// window of its own, so the notice also reaches modal loops and costs
// nothing while it waits.
#pragma once

#include "toolkit/Component.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>

class HandleWatch : public Component {
public:
    explicit HandleWatch(Component* Owner);
    ~HandleWatch() override;
    HandleWatch(const HandleWatch&) = delete;
    HandleWatch& operator=(const HandleWatch&) = delete;

    // Once per handle, until it is signalled or forgotten; the handle must
    // stay open until then.
    void Watch(HANDLE Handle);
    void Forget(HANDLE Handle);
    bool Watching(HANDLE Handle) const { return FWaits.count(Handle) != 0; }

    std::function<void(HANDLE Handle)> OnSignalled;

private:
    struct Wait {
        HWND Window;
        HANDLE Handle;
        HANDLE Registered = nullptr;
    };
    static void CALLBACK Signalled(PVOID Param, BOOLEAN TimedOut);
    static LRESULT CALLBACK WatchWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

    HWND FWindow = nullptr;
    std::map<HANDLE, std::unique_ptr<Wait>> FWaits;
};
