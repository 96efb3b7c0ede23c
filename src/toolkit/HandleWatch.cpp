#include "toolkit/HandleWatch.h"

#include "toolkit/AppMessages.h"
#include "toolkit/Application.h"


HandleWatch::HandleWatch(Component* Owner) : Component(Owner)
{
    static bool Registered = false;
    if (!Registered) {
        WNDCLASSA Wc = {};
        Wc.lpfnWndProc = &HandleWatch::WatchWndProc;
        Wc.hInstance = ::GetModuleHandleA(nullptr);
        Wc.lpszClassName = "TQuorvanHandleWatch";
        ::RegisterClassA(&Wc);
        Registered = true;
    }
    FWindow = ::CreateWindowExA(0, "TQuorvanHandleWatch", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
    ::SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HandleWatch::~HandleWatch()
{
    while (!FWaits.empty())
        Forget(FWaits.begin()->first);
    // A notice posted meanwhile goes with the window.
    if (FWindow)
        ::DestroyWindow(FWindow);
}

void CALLBACK HandleWatch::Signalled(PVOID Param, BOOLEAN)
{
    const Wait* W = static_cast<const Wait*>(Param);
    ::PostMessageA(W->Window, WM_HANDLE_SIGNALLED, 0, reinterpret_cast<LPARAM>(W->Handle));
}

void HandleWatch::Watch(HANDLE Handle)
{
    if (!Handle || !FWindow || Watching(Handle))
        return;
    auto W = std::make_unique<Wait>(Wait{FWindow, Handle});
    if (::RegisterWaitForSingleObject(&W->Registered, Handle, &HandleWatch::Signalled, W.get(),
                                      INFINITE, WT_EXECUTEONLYONCE | WT_EXECUTEINWAITTHREAD))
        FWaits[Handle] = std::move(W);
}

void HandleWatch::Forget(HANDLE Handle)
{
    const auto It = FWaits.find(Handle);
    if (It == FWaits.end())
        return;
    // Returns once a callback that runs now has posted: Wait is then free.
    ::UnregisterWaitEx(It->second->Registered, INVALID_HANDLE_VALUE);
    FWaits.erase(It);
}

LRESULT CALLBACK HandleWatch::WatchWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg != WM_HANDLE_SIGNALLED)
        return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
    auto* Self = reinterpret_cast<HandleWatch*>(::GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    const auto Handle = reinterpret_cast<HANDLE>(LParam);
    // A handle forgotten since (and maybe reused) is not reported.
    if (!Self || !Self->Watching(Handle))
        return 0;
    Self->Forget(Handle);
    if (Self->OnSignalled)
        Guarded([&] { Self->OnSignalled(Handle); });
    return 0;
}
