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
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include <functional>

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

// Prepares the deferred forms after start-up, step by step, the first once
// the program has had nothing to do for FormWarmUpQuietMs, each further one
// a shorter quiet spell after the last (every idle pass puts them off),
// so that neither start-up nor the user waits for them, while a window's
// first use costs what its later ones do. A form used before makes its own.
class TFormWarmUp : public Component {
public:
    explicit TFormWarmUp(TApplication& App) : Component(&App), FApp(App)
    {
        FTimer = new Timer(this, FormWarmUpQuietMs, true);
        FTimer->OnTimer = [this] { MakeNext(); };
        FIdleId = App.AddIdleHandler([this] {
            FTimer->SetEnabled(false);
            FTimer->SetEnabled(true);
        });
    }
    ~TFormWarmUp() override { Stop(); }

private:
    void MakeNext()
    {
        for (Component* C : FApp.Components())
            if (auto* F = dynamic_cast<Form*>(C); F && F->PrepareStep()) {
                FTimer->SetInterval(FormWarmUpNextMs);
                return;
            }
        Stop();
    }
    void Stop()
    {
        FTimer->SetEnabled(false);
        // The application may be going already (it frees its components).
        if (FIdleId && Application)
            Application->RemoveIdleHandler(FIdleId);
        FIdleId = 0;
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
