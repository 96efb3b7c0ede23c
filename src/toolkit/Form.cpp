#include "toolkit/Form.h"

#include "toolkit/Application.h"
#include "toolkit/StdControls.h"

#include <vector>

// The dialog manager finds IDOK and IDCANCEL only among direct children;
// our buttons may sit deeper, in panels.
static Button* FindKeyButton(const Control* C, bool Cancel)
{
    for (Control* Child : C->Controls()) {
        auto* B = dynamic_cast<Button*>(Child);
        if (B && (Cancel ? B->IsCancel() : B->IsDefault()) && B->Visible() && B->Enabled())
            return B;
        if (Button* Found = FindKeyButton(Child, Cancel))
            return Found;
    }
    return nullptr;
}

// For the session's messages, whose sender waits: an exception is not
// shown in a box there, nor may it cross the window procedure.
template <typename F> static void Quietly(F&& Fn)
{
    try {
        Fn();
    } catch (...) {
    }
}

static BOOL CALLBACK CollectEnabledWindow(HWND Wnd, LPARAM Param)
{
    auto* List = reinterpret_cast<std::vector<HWND>*>(Param);
    if (::IsWindowVisible(Wnd) && ::IsWindowEnabled(Wnd))
        List->push_back(Wnd);
    return TRUE;
}

Form::Form(Component* Owner, const FormArgs& Args) : Control(Owner)
{
    HelpContext = Args.HelpContext;
    FDialogKeys = Args.DialogKeys;
    if (Args.Deferred)
        FPending = std::make_unique<FormArgs>(Args);
    else
        CreateFormHandle(Args);
}

void Form::EnsureHandle()
{
    if (!FPending)
        return;
    const std::unique_ptr<FormArgs> Args = std::move(FPending);
    CreateFormHandle(*Args);
    CreateWindows();
}

bool Form::PrepareStep()
{
    if (!FPending)
        return false;
    EnsureHandle();
    return true;
}

void Form::CreateFormHandle(const FormArgs& Args)
{
    DWORD Style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    if (Args.Sizeable)
        Style |= WS_THICKFRAME | WS_MAXIMIZEBOX;
    RECT R = {0, 0, Args.ClientWidth, Args.ClientHeight};
    ::AdjustWindowRectEx(&R, Style, FALSE, WS_EX_CONTROLPARENT);
    CreateParams P;
    P.Caption = Args.Caption;
    P.Style = Style;
    P.ExStyle = WS_EX_CONTROLPARENT;
    P.Width = R.right - R.left;
    P.Height = R.bottom - R.top;
    if (Args.CenterOnDesktop) {
        RECT Work;
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &Work, 0);
        P.X = Work.left + ((Work.right - Work.left) - P.Width) / 2;
        P.Y = Work.top + ((Work.bottom - Work.top) - P.Height) / 2;
    }
    // Forms other than the main one stay above it and off the taskbar.
    if (Application && Application->MainForm)
        P.OwnerWindow = Application->MainForm->Handle();
    CreateHandle(P);
    if (!Args.FontName.empty()) {
        FFont = ::CreateFontA(Args.FontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                              DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                              DEFAULT_QUALITY, DEFAULT_PITCH, Args.FontName.c_str());
        ::SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(FFont), FALSE);
    }
}

Form::~Form()
{
    DestroyHandle();
    if (FFont)
        ::DeleteObject(FFont);
}

void Form::Show()
{
    EnsureHandle();
    ::ShowWindow(Handle(), SW_SHOW);
    ::SetForegroundWindow(Handle());
}

void Form::Hide()
{
    ::ShowWindow(Handle(), SW_HIDE);
}

int Form::ShowModal()
{
    EnsureHandle();
    // Disable every other enabled top-level window of this thread.
    std::vector<HWND> Disabled;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectEnabledWindow,
                        reinterpret_cast<LPARAM>(&Disabled));
    for (HWND Wnd : Disabled)
        if (Wnd != Handle())
            ::EnableWindow(Wnd, FALSE);
    ModalResult = mrNone;
    FModal = true;
    Show();
    Application->RunModalLoop([this] { return ModalResult != mrNone || !Handle(); }, true);
    FModal = false;
    for (HWND Wnd : Disabled)
        if (Wnd != Handle() && ::IsWindow(Wnd))
            ::EnableWindow(Wnd, TRUE);
    Hide();
    if (ModalResult == mrNone)
        ModalResult = mrCancel;
    return ModalResult;
}

void Form::Close()
{
    if (FModal) {
        ModalResult = mrCancel;
        return;
    }
    bool CanClose = true;
    if (OnCloseQuery)
        OnCloseQuery(CanClose);
    if (!CanClose)
        return;
    TCloseAction Action = TCloseAction::Hide;
    if (OnClose)
        OnClose(Action);
    if (Action == TCloseAction::None)
        return;
    if (Application && Application->MainForm == this) {
        Application->Terminate();
        return;
    }
    Hide();
}

int Form::FocusedHelpContext() const
{
    for (Control* C = Control::FromHandle(::GetFocus()); C; C = C->Parent())
        if (C->HelpContext != 0)
            return C->HelpContext;
    return HelpContext;
}

LRESULT Form::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_CLOSE:
        Close();
        return 0;
    case WM_COMMAND:
        // Enter and Escape from the dialog manager.
        if ((LOWORD(WParam) == IDOK || LOWORD(WParam) == IDCANCEL) && LParam == 0) {
            const bool Cancel = LOWORD(WParam) == IDCANCEL;
            if (Button* B = FindKeyButton(this, Cancel))
                B->Click();
            else if (Cancel && FModal)
                ModalResult = mrCancel;
            return 0;
        }
        break;
    case WM_QUERYENDSESSION:
        if (Application && Application->MainForm == this) {
            bool CanEnd = true;
            if (OnQueryEndSession)
                Quietly([&] { OnQueryEndSession(CanEnd); });
            return CanEnd ? TRUE : FALSE;
        }
        break;
    case WM_ENDSESSION:
        if (Application && Application->MainForm == this) {
            if (OnEndSession)
                Quietly([&] { OnEndSession(WParam != 0); });
            // The system may end the process once this returns.
            if (WParam)
                Application->Halt(0);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(WParam) != WA_INACTIVE && OnActivate)
            OnActivate();
        break;
    case WM_SHOWWINDOW:
        if (WParam && OnShow)
            OnShow();
        break;
    case WM_HELP:
        if (OnHelp) {
            bool CallHelp = true;
            OnHelp(HELP_CONTEXT, FocusedHelpContext(), CallHelp);
            return TRUE;
        }
        break;
    }
    return Control::WndProc(Msg, WParam, LParam);
}
