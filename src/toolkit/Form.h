// Form: a top-level window. Forms are created at start-up and hidden rather
// than destroyed; closing the main form ends the application's loop.
#pragma once

#include "toolkit/Control.h"

#include <functional>
#include <memory>
#include <string>

enum class TCloseAction { None, Hide, Free };

enum : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
             mrYes = 6, mrNo = 7 };

struct FormArgs {
    std::string Caption;
    int ClientWidth = 400;
    int ClientHeight = 300;
    bool CenterOnDesktop = true;
    bool Sizeable = true;
    int HelpContext = 0;
    std::string FontName;  // empty: the default GUI font
    int FontHeight = 0;
    // Tab, Enter and Escape move between and press controls, as in a dialog.
    bool DialogKeys = false;
    // The window and its controls (CreateWindows) are made at the first
    // EnsureHandle, Show or ShowModal rather than in the constructor.
    bool Deferred = false;
};

class Form : public Control {
public:
    Form(Component* Owner, const FormArgs& Args);
    ~Form() override;

    // Makes a deferred form's window and controls; nothing once they exist.
    void EnsureHandle();
    // A deferred form whose window is not made yet.
    bool HandlePending() const { return FPending != nullptr; }
    // Makes the next part of what the form's first use needs: its window
    // and controls, then what a form adds; false when nothing is left.
    virtual bool PrepareStep();
    void Show();
    void Hide();
    // Runs a modal loop with every other window of the thread disabled.
    int ShowModal();
    bool Modal() const { return FModal; }
    void Close();

    int ModalResult = mrNone;
    HFONT Font() const { return FFont; }
    bool DialogKeys() const { return FDialogKeys; }

    std::function<void()> OnActivate;
    std::function<void()> OnShow;
    std::function<void(bool& CanClose)> OnCloseQuery;
    // The main form only. Whether the session may end: answered at once,
    // with no window of its own (the system waits for the answer).
    std::function<void(bool& CanEnd)> OnQueryEndSession;
    // The main form only. The session ends (Ending; the program is then
    // halted) or goes on after all.
    std::function<void(bool Ending)> OnEndSession;
    std::function<void(TCloseAction& Action)> OnClose;
    // Help request (F1): Command and Data as for WinHelp; set CallHelp to
    // false when handled.
    std::function<bool(unsigned short Command, int Data, bool& CallHelp)> OnHelp;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;
    // A deferred form's controls, made once right after its window.
    virtual void CreateWindows() {}

private:
    int FocusedHelpContext() const;
    void CreateFormHandle(const FormArgs& Args);

    // What a deferred form's window is made from; its caption goes then.
    std::unique_ptr<FormArgs> FPending;
    HFONT FFont = nullptr;
    bool FModal = false;
    bool FDialogKeys = false;
};
