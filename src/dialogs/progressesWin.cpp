#include "dialogs/progressesWin.h"

#include "dialogs/progresses.h"
#include "hosting/HelpRouting.h"
#include "toolkit/Application.h"
#include "toolkit/Hints.h"

TProgressbarForm* ProgressbarForm = nullptr;

namespace {

// Kept once for all runs: the titles and maximum of the latest start.
std::string SavedTitle;
std::string SavedCaption;
int SavedMax = 1;

FormArgs ProgressArgs()
{
    FormArgs A;
    A.ClientWidth = 319;
    A.ClientHeight = 24;
    A.Sizeable = false;
    A.FontName = "MS Sans Serif";
    A.FontHeight = -11;
    A.Deferred = true;
    return A;
}

BOOL CALLBACK CollectForm(HWND Wnd, LPARAM Param)
{
    if (dynamic_cast<Form*>(Control::FromHandle(Wnd)))
        reinterpret_cast<std::vector<HWND>*>(Param)->push_back(Wnd);
    return TRUE;
}

}  // namespace

TProgressbarForm::TProgressbarForm(Component* Owner) : Form(Owner, ProgressArgs())
{
    ProgressbarForm = this;
    OnClose = [this](TCloseAction& Action) { FormClose(Action); };
    OnHelp = [this](unsigned short Command, int Data, bool& CallHelp) {
        return FormHelp(Command, Data, CallHelp);
    };
}

TProgressbarForm::~TProgressbarForm()
{
    // The progress functions reach the form through the global.
    if (ProgressbarForm == this)
        ProgressbarForm = nullptr;
}

void TProgressbarForm::CreateWindows()
{
    // A tool window without a minimize box that stays on top.
    ::SetWindowLongA(Handle(), GWL_STYLE,
                     ::GetWindowLongA(Handle(), GWL_STYLE) & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    ::SetWindowLongA(Handle(), GWL_EXSTYLE,
                     ::GetWindowLongA(Handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    RECT R = {0, 0, 319, 24};
    ::AdjustWindowRectEx(&R, ::GetWindowLongA(Handle(), GWL_STYLE), FALSE,
                         ::GetWindowLongA(Handle(), GWL_EXSTYLE));
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, R.right - R.left, R.bottom - R.top,
                   SWP_NOMOVE | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    ButtonArgs B;
    B.Parent = this;
    B.Caption = "Stop";
    B.Width = 43;
    stopbutton = new Button(this, B);
    stopbutton->SetAlign(TAlign::Right);
    stopbutton->OnClick = [this] { stopbuttonClick(); };
    ProgressBarArgs P;
    P.Parent = this;
    P.Align = TAlign::Client;
    ProgressBar1 = new ProgressBar(this, P);

    SetHint(stopbutton, "click here to break the current procedure...");
}

bool TProgressbarForm::FormHelp(unsigned short Command, int Data, bool& CallHelp)
{
    return HandleHelpRequest(Command, Data, CallHelp);
}

void TProgressbarForm::FormClose(TCloseAction& Action)
{
    (void)Action;  // hidden, as every form
    Stopped = true;
}

void TProgressbarForm::SaveTitles(int Max)
{
    SavedTitle = Application ? Application->Title() : std::string();
    SavedCaption = Application && Application->MainForm ? Application->MainForm->Text() : "";
    SavedMax = Max == 0 ? 1 : Max;
}

void TProgressbarForm::RestoreTitles()
{
    if (!Application)
        return;
    Application->SetTitle(SavedTitle);
    if (Application->MainForm)
        Application->MainForm->SetText(SavedCaption);
}

void TProgressbarForm::StartProgress(int Max, const std::string& Caption, bool Stoppable)
{
    EnsureHandle();
    ProgressBar1->SetRange(0, Max);
    ProgressBar1->SetPosition(0);
    SetText(Caption);
    SaveTitles(Max);
    Stopped = false;
    stopbutton->SetEnabled(Stoppable);
    HWND Active = ::GetActiveWindow();
    FSavedActive = dynamic_cast<Form*>(Control::FromHandle(Active)) ? Active : nullptr;
    Show();
    ::SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (Stoppable) {
        std::vector<HWND> Forms;
        ::EnumThreadWindows(::GetCurrentThreadId(), &CollectForm, reinterpret_cast<LPARAM>(&Forms));
        FSavedStates.clear();
        for (HWND Wnd : Forms) {
            FSavedStates.push_back({Wnd, ::IsWindowEnabled(Wnd) != FALSE});
            if (Wnd != Handle())
                ::EnableWindow(Wnd, FALSE);
        }
    }
}

void TProgressbarForm::SetProgress(int Position)
{
    EnsureHandle();
    ProgressBar1->SetPosition(Position);
    if (Application) {
        Application->SetTitle(ProgressTitle(SavedTitle, Position, SavedMax));
        if (Application->MainForm)
            Application->MainForm->SetText(Application->Title());
    }
    PumpIfStoppable();
}

void TProgressbarForm::PumpIfStoppable()
{
    if (Stoppable() && Application)
        Application->ProcessMessages();
}

void TProgressbarForm::FinishProgress()
{
    RestoreTitles();
    if (Stoppable()) {
        for (const SavedState& S : FSavedStates)
            if (::IsWindow(S.Wnd))
                ::EnableWindow(S.Wnd, S.Enabled);
        FSavedStates.clear();
    }
    // The pointer may rest on the stop button: its hint goes with the
    // window, which the system's leave check does not see go.
    if (stopbutton)
        ::SendMessageA(stopbutton->Handle(), WM_MOUSELEAVE, 0, 0);
    Hide();
    if (Application)
        Application->BringToFront();
    if (FSavedActive && ::IsWindow(FSavedActive))
        ::SetForegroundWindow(FSavedActive);
}

void StartProgress(int Max, const std::string& Caption, bool Stoppable)
{
    ProgressbarForm->StartProgress(Max, Caption, Stoppable);
}
void SetProgress(int Position) { ProgressbarForm->SetProgress(Position); }
void SetProgressText(const std::string& Text) { ProgressbarForm->SetProgressText(Text); }
void PumpIfStoppable() { ProgressbarForm->PumpIfStoppable(); }
bool ProgressStopped() { return ProgressbarForm->ProgressStopped(); }
void FinishProgress() { ProgressbarForm->FinishProgress(); }
