// The bottom bar of the dialogs: OK (Enter) and Cancel (Escape) centred,
// also after the window is resized.
#pragma once

#include "toolkit/Form.h"
#include "toolkit/Panel.h"
#include "toolkit/StdControls.h"

struct OkCancelBar {
    Panel* Bar;
    Button* Ok;
    Button* Cancel;
};

OkCancelBar AddOkCancelBar(Form* Owner);
