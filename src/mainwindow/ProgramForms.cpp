#include "mainwindow/ProgramForms.h"

#include "dialogs/ConfirmDuplicatesWin.h"
#include "dialogs/MinSizeEditorWin.h"
#include "dialogs/PropertyEditorWin.h"
#include "dialogs/SearchForFilesWin.h"
#include "dialogs/applicationlistWin.h"
#include "dialogs/knownapplistWin.h"
#include "dialogs/progressesWin.h"
#include "hosting/confirmation.h"
#include "mainwindow/LayoutDesignerWin.h"
#include "mainwindow/main.h"
#include "shell/OvandrelWin.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include <functional>

#include <windows.h>

namespace {

// The one place that orders the forms. Later forms find the earlier ones
// through their globals.
const std::function<Form*(TApplication&)> FormOrder[] = {
    [](TApplication& App) -> Form* { return new Tmainform(&App); },
    [](TApplication& App) -> Form* { return new Tlayoutsform(&App); },
    [](TApplication& App) -> Form* { return new TApplicationListForm(&App); },
    [](TApplication& App) -> Form* { return new TProgressbarForm(&App); },
    [](TApplication& App) -> Form* { return new TConfirmDuplicatesForm(&App); },
    [](TApplication& App) -> Form* { return new TConfirmationForm(&App); },
    [](TApplication& App) -> Form* { return new TKnownAppsForm(&App); },
    [](TApplication& App) -> Form* { return new TSearchForFilesForm(&App); },
    [](TApplication& App) -> Form* { return new TPropertyEditorForm(&App); },
    [](TApplication& App) -> Form* { return new TMinSizeEditorForm(&App); },
};

// Prepares the deferred forms after start-up, step by step: the first
// FormWarmUpQuietMs after the program's first idle pass, each further one
// FormWarmUpNextMs after the end of the last, the windows of the shown
// windows' buttons first (the whole search chooser while the application
// list is open, then the main window's), none within FormWarmUpOpeningMs
// of a modal window's opening. A timer's message comes only when no input
// waits, so the user is answered first; yet moving the mouse does not put
// the steps off, or a user who clicks early would pay for every form at
// once. A form used before makes its own.
class TFormWarmUp : public Component {
public:
    explicit TFormWarmUp(TApplication& App) : Component(&App), FApp(App)
    {
        FTimer = new Timer(this, FormWarmUpQuietMs, false);
        FTimer->OnTimer = [this] { MakeNext(); };
        FIdleId = App.AddIdleHandler([this] {
            // Not earlier: the thread holds locks the window's making and
            // first paint wait for.
            StartSystemImageListPrefetch();
            FTimer->SetEnabled(true);
            RemoveIdle();
        });
    }
    ~TFormWarmUp() override { Stop(); }

private:
    void MakeNext()
    {
        // A window the user just opened waits for nothing else before it
        // is painted; the next step comes as soon as that wait is over.
        // Asked of the modal loop: the window may be owned by nothing.
        if (FApp.ModalWindowOpen()) {
            const unsigned Since = ::GetTickCount() - FApp.ModalWindowSince();
            if (Since < FormWarmUpOpeningMs) {
                Rearm(FormWarmUpOpeningMs - Since);
                return;
            }
        }
        if (!PrepareOne()) {
            Stop();
            return;
        }
        // A long step leaves the user as long a pause after it.
        Rearm(FormWarmUpNextMs);
    }
    void Rearm(unsigned Ms)
    {
        FTimer->SetInterval(Ms);
        FTimer->SetEnabled(false);
        FTimer->SetEnabled(true);
    }
    bool PrepareOne()
    {
        // The open list's chooser is wholly prepared at once, as the user
        // may click for it before another step would come.
        if (ApplicationListForm && ApplicationListForm->Handle() &&
            ::IsWindowVisible(ApplicationListForm->Handle()) && SearchForFilesForm &&
            SearchForFilesForm->PrepareStep()) {
            while (SearchForFilesForm->PrepareStep()) {
            }
            return true;
        }
        for (Form* F : {static_cast<Form*>(layoutsform),
                        static_cast<Form*>(KnownAppsForm), static_cast<Form*>(ApplicationListForm),
                        static_cast<Form*>(SearchForFilesForm)})
            if (F && F->PrepareStep())
                return true;
        for (Component* C : FApp.Components())
            if (auto* F = dynamic_cast<Form*>(C); F && F->PrepareStep())
                return true;
        return false;
    }
    void RemoveIdle()
    {
        // The application may be going already (it frees its components).
        if (FIdleId && Application)
            Application->RemoveIdleHandler(FIdleId);
        FIdleId = 0;
    }
    void Stop()
    {
        FTimer->SetEnabled(false);
        RemoveIdle();
    }

    TApplication& FApp;
    Timer* FTimer = nullptr;
    int FIdleId = 0;
};

}  // namespace

void CreateProgramForms(TApplication& App)
{
    for (const auto& Create : FormOrder) {
        Form* F = Create(App);
        if (!App.MainForm)
            App.MainForm = F;
    }
    if (mainform)
        mainform->LoadWindowPlace();
    new TFormWarmUp(App);
}
