#include "toolkit/Application.h"

#include "toolkit/Form.h"
#include "toolkit/Hints.h"
#include "toolkit/Timer.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdlib>
#include <utility>

TApplication* Application = nullptr;

TApplication::TApplication() : Component(nullptr), FInstance(::GetModuleHandleA(nullptr))
{
    Application = this;
    INITCOMMONCONTROLSEX Icc = {sizeof(Icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&Icc);
}

TApplication::~TApplication()
{
    if (Application == this)
        Application = nullptr;
}

void TApplication::SetTitle(const std::string& Title)
{
    FTitle = Title;
}

int TApplication::AddIdleHandler(std::function<void()> Handler)
{
    FIdlePending = true;
    return FIdle.Add([H = std::move(Handler)] { Guarded(H); });
}

void TApplication::RemoveIdleHandler(int Id)
{
    FIdle.Remove(Id);
}

// Not in the SDK headers: the system's own timer message.
static const UINT WM_SYSTIMER = 0x0118;

TWakeKind WakeKind(UINT Message, bool ProgramWindow)
{
    if (Message == WM_SYSTIMER)
        return TWakeKind::Quiet;
    if ((Message == WM_TIMER || Message == WM_PAINT) && !ProgramWindow)
        return TWakeKind::Quiet;
    return TWakeKind::Change;
}

bool IsProgramWindow(HWND Wnd)
{
    if (!Wnd)
        return true;
    // Its procedure lies in the program's image: one of its own classes or
    // a system control it wraps (subclassed). The system's classes count
    // as the program's by their module, so that cannot tell.
    static const std::pair<std::uintptr_t, std::uintptr_t> Image = [] {
        const auto Base = reinterpret_cast<std::uintptr_t>(::GetModuleHandleA(nullptr));
        const auto* Dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(Base);
        const auto* Nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(Base + Dos->e_lfanew);
        return std::make_pair(Base, Base + Nt->OptionalHeader.SizeOfImage);
    }();
    const auto Proc = static_cast<std::uintptr_t>(::GetWindowLongPtrA(Wnd, GWLP_WNDPROC));
    return Proc >= Image.first && Proc < Image.second;
}

// A window that asked for WM_MOUSELEAVE hears it as soon as the pointer
// moves over another window of ours, also where the system looks for the
// leave only now and then (a tool bar's slow check).
static void EndLeaveTrackingElsewhere(const MSG& Msg)
{
    if (Msg.message == WM_MOUSEMOVE || Msg.message == WM_NCMOUSEMOVE)
        EndLeaveTracking(Msg.hwnd);
}

bool TApplication::ProcessMessage(MSG& Msg)
{
    if (!::PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (!FIdlePending && !Timer::IsQuietTick(Msg) &&
        WakeKind(Msg.message, IsProgramWindow(Msg.hwnd)) == TWakeKind::Change)
        FIdlePending = true;
    if (Msg.message == WM_QUIT) {
        FTerminated = true;
        return true;
    }
    EndLeaveTrackingElsewhere(Msg);
    bool Handled = false;
    if (OnMessage)
        Guarded([&] { OnMessage(Msg, Handled); });
    if (!Handled && Msg.hwnd) {
        HWND Root = ::GetAncestor(Msg.hwnd, GA_ROOT);
        auto* F = dynamic_cast<Form*>(Control::FromHandle(Root));
        Handled = F && F->DialogKeys() && ::IsDialogMessageA(Root, &Msg);
    }
    if (!Handled) {
        ::TranslateMessage(&Msg);
        ::DispatchMessageA(&Msg);
    }
    return true;
}

void TApplication::Idle()
{
    if (!FIdlePending)
        return;
    FIdlePending = false;
    // A handler removed meanwhile (its owner may be gone) must not run.
    FIdle.Notify();
}

void TApplication::HandleMessage()
{
    MSG Msg;
    if (!ProcessMessage(Msg)) {
        Idle();
        if (!FTerminated)
            ::WaitMessage();
    }
}

void TApplication::Run()
{
    while (!FTerminated)
        HandleMessage();
}

void TApplication::ProcessMessages()
{
    MSG Msg;
    while (!FTerminated && ProcessMessage(Msg)) {
    }
}

void TApplication::RunModalLoop(const std::function<bool()>& Done, bool ModalWindow)
{
    // The window under it, when this one closes, has been open longer.
    struct Said {
        TApplication& App;
        bool Window;
        unsigned Before;
        ~Said()
        {
            if (Window) {
                --App.FModalWindows;
                App.FModalWindowSince = Before;
                if (App.FModalWindows == 0 && App.OnModalWindowsClosed)
                    App.OnModalWindowsClosed();
            }
        }
    } Saying{*this, ModalWindow, FModalWindowSince};
    if (ModalWindow) {
        ++FModalWindows;
        FModalWindowSince = ::GetTickCount();
    }
    // An idle handler may end the loop: ask again before sleeping, or the
    // loop would wait for a message that may never come.
    while (!FTerminated && !Done()) {
        MSG Msg;
        if (ProcessMessage(Msg))
            continue;
        Idle();
        if (!FTerminated && !Done())
            ::WaitMessage();
    }
}

void TApplication::Terminate()
{
    if (!FTerminated)
        ::PostQuitMessage(0);
}

void TApplication::Halt(int Code)
{
    FTerminated = true;
    DestroyComponents();
    if (OnHalt)
        Guarded(OnHalt);
    std::exit(Code);
}

void TApplication::BringToFront()
{
    if (!MainForm || !MainForm->Handle())
        return;
    HWND Top = ::GetLastActivePopup(MainForm->Handle());
    if (Top && ::IsWindowVisible(Top) && ::IsWindowEnabled(Top))
        ::SetForegroundWindow(Top);
}

void TApplication::ShowException(const std::exception* E)
{
    if (OnException) {
        OnException(E);
        return;
    }
    const std::string Text = E ? E->what() : "Unknown error.";
    ::MessageBoxA(MessageBoxOwner(), Text.c_str(), FTitle.c_str(), MB_OK | MB_ICONERROR);
}

HWND MessageBoxOwner()
{
    if (!Application || !Application->MainForm || !Application->MainForm->Handle())
        return ::GetActiveWindow();
    HWND Main = Application->MainForm->Handle();
    HWND Top = ::GetLastActivePopup(Main);
    if (Top && Top != Main && ::IsWindowVisible(Top) && ::IsWindowEnabled(Top))
        return Top;
    return Main;
}

void ShowMessage(const std::string& Text)
{
    const char* Title = Application ? Application->Title().c_str() : "";
    ::MessageBoxA(MessageBoxOwner(), Text.c_str(), Title, MB_OK);
}
