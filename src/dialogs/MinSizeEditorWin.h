// TMinSizeEditorForm: the dialog of a known application's MinSize cell.
#pragma once

#include "dialogs/CellEditorWin.h"
#include "dialogs/MinSizeEditor.h"
#include "toolkit/RadioGroup.h"
#include "toolkit/SpinEdit.h"

#include <string>

class TMinSizeEditorForm : public TCellEditorForm, private IMinSizeView {
public:
    explicit TMinSizeEditorForm(Component* Owner);
    ~TMinSizeEditorForm() override;

    RadioGroup* SizingRadioGroup = nullptr;
    Panel* XSizePanel = nullptr;
    SpinEdit* XSizeEdit = nullptr;
    Panel* YSizePanel = nullptr;
    SpinEdit* YSizeEdit = nullptr;

    // Shows the dialog for Text; true, with Text replaced, on OK.
    bool Execute(std::string& Text);

protected:
    void CreateWindows() override;
    void ApplicationEvents1Idle() override { FRules.Idle(); }

private:
    int SizingItem() const override { return SizingRadioGroup->ItemIndex(); }
    void SetSizingItem(int Item) override { SizingRadioGroup->SetItemIndex(Item); }
    int XSize() const override { return XSizeEdit->Value(); }
    void SetXSize(int Value) override { XSizeEdit->SetValue(Value); }
    int YSize() const override { return YSizeEdit->Value(); }
    void SetYSize(int Value) override { YSizeEdit->SetValue(Value); }
    void SetSizeEditsEnabled(bool Enabled) override;

    TMinSizeEditorRules FRules;
};

extern TMinSizeEditorForm* MinSizeEditorForm;
