// The program's ten forms in their creation order; the first becomes the
// main window. Only the main window is made on screen here: the others make
// their windows at their first use, or step by step (Form::PrepareStep)
// once the program has had nothing to do for FormWarmUpQuietMs, whichever
// comes first.
#pragma once

class TApplication;

const unsigned FormWarmUpQuietMs = 500;
const unsigned FormWarmUpNextMs = 100;

void CreateProgramForms(TApplication& App);
