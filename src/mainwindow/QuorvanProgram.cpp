// Program entry: the shell library and the global objects, the application
// object, the forms in their creation order (the first is the main
// window), the loop, and everything let go again in the reverse order. No
// command line is read.
#include "dialogs/ConfirmDuplicatesWin.h"
#include "dialogs/MinSizeEditorWin.h"
#include "dialogs/PropertyEditorWin.h"
#include "dialogs/SearchForFilesWin.h"
#include "dialogs/applicationlistWin.h"
#include "dialogs/knownapplistWin.h"
#include "dialogs/progressesWin.h"
#include "hosting/IdentifyWin.h"
#include "hosting/confirmation.h"
#include "mainwindow/LayoutDesignerWin.h"
#include "mainwindow/main.h"
#include "shell/ShellLibrary.h"
#include "shell/UnitGlobals.h"
#include "toolkit/Application.h"

#include <windows.h>

#include <exception>
#include <functional>

namespace {

// The one place that orders the forms; the first is the main window. Later
// forms find the earlier ones through their globals.
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

int RunProgram()
{
    SetFileProbe(&Win32FileProbe);
    TApplication App;
    App.SetTitle("Tessarine Quorvan");
    for (const auto& Create : FormOrder) {
        Form* F = Create(App);
        if (!App.MainForm)
            App.MainForm = F;
    }
    App.MainForm->Show();
    App.Run();
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // A shell library that cannot start stops the program before any window.
    try {
        ShellLibraryStartup();
    } catch (const std::exception& E) {
        ::MessageBoxA(nullptr, E.what(), "Tessarine Quorvan", MB_OK | MB_ICONERROR);
        return 1;
    }
    CreateUnitGlobals();
    const int Result = RunProgram();
    FreeUnitGlobals();
    ShellLibraryShutdown();
    return Result;
}
