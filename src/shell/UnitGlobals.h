// The global objects of the shell library and the dialog components: the
// worker pool, the ULA palette and the keyword spelling list. The program
// entry creates them before any window and frees them after the last.
#pragma once

void CreateUnitGlobals();
void FreeUnitGlobals();
