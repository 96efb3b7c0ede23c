// Program entry: the shell library and the global objects, the application
// object, the forms in their creation order (the first is the main
// window), the loop, and everything let go again in the reverse order. No
// command line is read.
#include "hosting/IdentifyWin.h"
#include "mainwindow/ProgramForms.h"
#include "shell/ShellLibrary.h"
#include "shell/UnitGlobals.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include <windows.h>

#include <exception>

namespace {

// What follows the application object's end, also when the session ends
// under the loop.
void FreeProgramGlobals()
{
    FreeUnitGlobals();
    ShellLibraryShutdown();
}

int RunProgram()
{
    SetFileProbe(&Win32FileProbe);
    TApplication App;
    App.SetTitle("Tessarine Quorvan");
    App.OnHalt = &FreeProgramGlobals;
    CreateProgramForms(App);
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
    FreeProgramGlobals();
    return Result;
}
