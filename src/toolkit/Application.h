// The application object: title, the message loop with its idle handlers,
// the pre-dispatch hook, modal loops and the shown-exception box.
#pragma once

#include "toolkit/Component.h"
#include "toolkit/Notifier.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

class Form;

class TApplication : public Component {
public:
    TApplication();
    ~TApplication() override;

    void SetTitle(const std::string& Title);
    const std::string& Title() const { return FTitle; }
    HINSTANCE Instance() const { return FInstance; }

    std::string HelpFile;
    Form* MainForm = nullptr;  // its closing ends Run

    // Called for every message taken from the queue before it is
    // translated and dispatched; set Handled to swallow it.
    std::function<void(MSG& Msg, bool& Handled)> OnMessage;

    // Idle handlers run once each time the queue runs empty after a
    // message that can have changed what they show (WakeKind); the loop
    // then sleeps in WaitMessage until the next message.
    int AddIdleHandler(std::function<void()> Handler);
    void RemoveIdleHandler(int Id);
    // The idle handlers run when the queue is next empty: for a change
    // made where no message of its own says so (a quiet timer's tick).
    void IdleNeeded() { FIdlePending = true; }

    void Run();
    // Dispatches what is pending, then returns; runs no idle handlers.
    void ProcessMessages();
    // Runs the loop until Done answers true or the application terminates.
    // A modal window's loop (ShowModal, an ownerless box's too) says so:
    // meanwhile ModalWindowOpen holds and ModalWindowSince is the
    // GetTickCount at which the newest modal window's loop began.
    void RunModalLoop(const std::function<bool()>& Done, bool ModalWindow = false);
    bool ModalWindowOpen() const { return FModalWindows > 0; }
    // The last open modal window's loop ended (ModalWindowOpen no longer
    // holds); runs inside that loop's caller, so it should only post.
    std::function<void()> OnModalWindowsClosed;
    unsigned ModalWindowSince() const { return FModalWindowSince; }
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Ends the program from inside a message and never returns: the forms
    // are freed as at a normal end, then OnHalt runs (what the program entry
    // does after its loop), then the process exits with Code. For the end
    // of the session, after which the system may end the process any time.
    [[noreturn]] void Halt(int Code);
    std::function<void()> OnHalt;
    // Activates the main form's last active popup (or the form itself).
    void BringToFront();

    // Exceptions that escape an event handler end here: OnException when
    // set, else a message box titled with the application's title.
    void ShowException(const std::exception* E);
    std::function<void(const std::exception* E)> OnException;

private:
    bool ProcessMessage(MSG& Msg);
    void Idle();
    void HandleMessage();

    std::string FTitle;
    HINSTANCE FInstance;
    bool FTerminated = false;
    bool FIdlePending = true;
    int FModalWindows = 0;
    unsigned FModalWindowSince = 0;
    Notifier<> FIdle;
};

extern TApplication* Application;

// What a message taken from the queue can have changed for the idle
// handlers. The system's own timers (its mouse tracking, the caret) and
// the timers and paints of windows the program did not make (a toolbar's
// tool tip, polling the pointer many times a second) run none of the
// program's code: an idle pass after them would find nothing changed.
// Everything else, a message of unknown kind included, counts as a change.
enum class TWakeKind { Quiet, Change };
// ProgramWindow: the message is for no window, or for a window of the
// program's own classes or one it wraps.
TWakeKind WakeKind(UINT Message, bool ProgramWindow);
bool IsProgramWindow(HWND Wnd);

// The owner of the program's message boxes: the main form, or the popup of
// it last active (a modal form), never whatever window happens to be active,
// which may be another program's: the box then disables the main form, so
// nothing under it can close or run meanwhile. Without a main form, the
// active window.
HWND MessageBoxOwner();

// A modal message box with an OK button, titled with the application title.
void ShowMessage(const std::string& Text);

// Runs Fn and shows any exception it throws, so none crosses a window
// procedure or a timer callback.
template <typename F> void Guarded(F&& Fn)
{
    try {
        Fn();
    } catch (const std::exception& E) {
        if (Application)
            Application->ShowException(&E);
    } catch (...) {
        if (Application)
            Application->ShowException(nullptr);
    }
}
