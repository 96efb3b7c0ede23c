// An application whose main form is shown: the start of most window tests.
#pragma once

#include "toolkit/Application.h"
#include "toolkit/Form.h"

struct ShownMainForm {
    TApplication App;
    FormArgs Args;
    Form Main{&App, Args};
    ShownMainForm()
    {
        App.MainForm = &Main;
        Main.Show();
    }
};
