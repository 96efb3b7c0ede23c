// The program's ten forms in their creation order; the first becomes the
// main window. Only the main window is made on screen here: the others make
// their windows at their first use, or step by step (Form::PrepareStep),
// the first FormWarmUpQuietMs after the program's first idle pass, each
// further one FormWarmUpNextMs after the last ended, whichever comes first;
// none in the FormWarmUpOpeningMs after a modal window opens, which is
// painted first.
#pragma once

class TApplication;

const unsigned FormWarmUpQuietMs = 200;
const unsigned FormWarmUpNextMs = 160;
const unsigned FormWarmUpOpeningMs = 250;

void CreateProgramForms(TApplication& App);
