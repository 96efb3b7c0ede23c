#include "shell/ShellLibrary.h"

#include "shell/KivItemIdListWin.h"
#include "shell/OvandrelWin.h"
#include "shell/Shell_Win32Win.h"

void ShellLibraryStartup()
{
    ShellWin32Startup();
    KivItemIdListStartup();
    try {
        OvandrelStartup();
    } catch (...) {
        KivItemIdListShutdown();
        ShellWin32Shutdown();
        throw;
    }
}

void ShellLibraryShutdown()
{
    OvandrelShutdown();
    KivItemIdListShutdown();
    ShellWin32Shutdown();
}
