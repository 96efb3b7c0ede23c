// The question dialog: Yes/No/Cancel or OK, with "Don't ask me again"
// remembered in a byte the caller owns.
#pragma once

#include "components/DialogResizingWin.h"
#include "toolkit/Form.h"
#include "toolkit/Panel.h"
#include "toolkit/StdControls.h"

#include <cstdint>
#include <string>

// Answers; a remembered byte of 0 means "ask".
enum : std::uint8_t { caCancelled = 0, caNo = 1, caYes = 2, caOk = 3 };
enum : std::uint8_t { ckYesNoCancel = 0, ckOk = 1 };

class TConfirmationForm : public Form {
public:
    explicit TConfirmationForm(Component* Owner);

    Label* InfoLabel;
    CheckBox* dontaskagaincheckbox;
    Panel* TBToolbar;
    Button* YesButton;
    Button* NoButton;
    Button* OKButton;
    Button* CancelButton;
    TDialogResizingWin* DialogResizer;

    // Lets the resizer re-wrap the question on the first activation, then
    // grows the form so the question fits, back to its design size for a
    // short one.
    void FormActivate();
    bool FormHelp(unsigned short Command, int Data, bool& CallHelp);
    // Centres the visible buttons in the bar.
    void ArrangeButtons();

private:
    int FDesignClientHeight;
    int FDesignLabelHeight;
};

extern TConfirmationForm* ConfirmationForm;

std::uint8_t ShowConfirmation(TConfirmationForm* Form, const std::string& Text,
                              std::uint8_t& Remembered, const std::string& Caption,
                              std::uint8_t Kind, int HelpContext);
