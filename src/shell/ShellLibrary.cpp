#include "shell/ShellLibrary.h"

#include "shell/KivItemIdListWin.h"
#include "shell/OvandrelWin.h"
#include "shell/Shell_Win32Win.h"

namespace {
int Starts = 0;
}

// The units start in their order; a later one that fails undoes the
// earlier ones, so a failed start leaves nothing behind.
void ShellLibraryStartup()
{
    if (Starts > 0) {
        ++Starts;
        return;
    }
    ShellWin32Startup();
    KivItemIdListStartup();
    try {
        OvandrelStartup();
    } catch (...) {
        KivItemIdListShutdown();
        ShellWin32Shutdown();
        throw;
    }
    Starts = 1;
}

void ShellLibraryShutdown()
{
    if (Starts == 0 || --Starts > 0)
        return;
    OvandrelShutdown();
    KivItemIdListShutdown();
    ShellWin32Shutdown();
}
