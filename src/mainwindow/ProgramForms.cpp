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

}  // namespace

void CreateProgramForms(TApplication& App)
{
    for (const auto& Create : FormOrder) {
        Form* F = Create(App);
        if (!App.MainForm)
            App.MainForm = F;
    }
}
