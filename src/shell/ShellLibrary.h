// Start-up and shutdown of the shell-access library as a whole, for the
// program entry: start-up runs the units in their order and throws when a
// required part is missing (the program must then not start); shutdown
// releases the shell objects, then the modules, then OLE.
#pragma once

void ShellLibraryStartup();
void ShellLibraryShutdown();
