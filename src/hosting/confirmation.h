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
    ~TConfirmationForm() override;

    // Made at the first show.
    Label* InfoLabel = nullptr;
    CheckBox* dontaskagaincheckbox = nullptr;
    Panel* TBToolbar = nullptr;
    Button* YesButton = nullptr;
    Button* NoButton = nullptr;
    Button* OKButton = nullptr;
    Button* CancelButton = nullptr;
    TDialogResizingWin* DialogResizer = nullptr;

    // Lets the resizer re-wrap the question on the first activation, then
    // grows the form so the question fits, back to its design size for a
    // short one.
    void FormActivate();
    bool FormHelp(unsigned short Command, int Data, bool& CallHelp);
    // Centres the visible buttons in the bar.
    void ArrangeButtons();

protected:
    void CreateWindows() override;

private:
    int FDesignClientHeight = 0;
    int FDesignLabelHeight = 0;
};

extern TConfirmationForm* ConfirmationForm;

std::uint8_t ShowConfirmation(TConfirmationForm* Form, const std::string& Text,
                              std::uint8_t& Remembered, const std::string& Caption,
                              std::uint8_t Kind, int HelpContext);
