// The program's ten forms in their creation order; the first becomes the
// main window. Only the main window is made on screen here: the others make
// their windows at their first use.
#pragma once

class TApplication;

void CreateProgramForms(TApplication& App);
