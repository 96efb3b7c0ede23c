#include "shell/ShellLibrary.h"

#include "shell/OvandrelWin.h"
#include "shell/Shell_Win32Win.h"

void ShellLibraryStartup()
{
    ShellWin32Startup();
    try {
        OvandrelStartup();
    } catch (...) {
        ShellWin32Shutdown();
        throw;
    }
}

void ShellLibraryShutdown()
{
    OvandrelShutdown();
    ShellWin32Shutdown();
}
