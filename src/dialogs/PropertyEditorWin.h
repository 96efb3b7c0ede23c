// TPropertyEditorForm: the dialog of a known application's Properties cell.
#pragma once

#include "dialogs/CellEditorWin.h"
#include "toolkit/RadioGroup.h"

#include <string>

class TPropertyEditorForm : public TCellEditorForm {
public:
    explicit TPropertyEditorForm(Component* Owner);
    ~TPropertyEditorForm() override;

    RadioGroup* BindingGroup = nullptr;
    CheckBox* RemoveCaptionCheckBox = nullptr;
    CheckBox* OneInstanceCheckBox = nullptr;
    CheckBox* HardResizingCheckBox = nullptr;

    // Shows the dialog for Letters; true, with Letters replaced, on OK.
    bool Execute(std::string& Letters);

protected:
    void CreateWindows() override;
    void ApplicationEvents1Idle() override;
};

extern TPropertyEditorForm* PropertyEditorForm;
