// What the property editor and the minimum-size editor share: a sizeable
// tool window in Arial 13 px with an OK and a Cancel button at the bottom,
// shown modally over the middle of the main window, with an idle handler
// that keeps its controls' state.
#pragma once

#include "toolkit/Form.h"
#include "toolkit/Panel.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/StdControls.h"

#include <string>
#include <vector>

class TCellEditorForm : public Form {
public:
    TCellEditorForm(Component* Owner, const std::string& Caption, int ClientWidth, int ClientHeight);
    ~TCellEditorForm() override;

    // Made at the first show, as the subclasses' controls.
    Panel* ToolBar1 = nullptr;
    Button* BitBtn1 = nullptr;  // OK
    Button* BitBtn2 = nullptr;  // Cancel

protected:
    // The frame's controls and idle handler; subclasses add theirs after.
    void CreateWindows() override;
    // The choice at the top of the dialog, item 0 chosen.
    RadioGroup* ChoiceGroup(const std::string& Caption, const std::vector<std::string>& Items);
    // True when the dialog ended with OK.
    bool RunModal();
    virtual void ApplicationEvents1Idle() = 0;

private:
    int FIdleId = 0;
};
