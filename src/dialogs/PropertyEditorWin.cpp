#include "dialogs/PropertyEditorWin.h"

#include "dialogs/PropertyEditor.h"

TPropertyEditorForm* PropertyEditorForm = nullptr;

static CheckBox* OptionBox(TPropertyEditorForm* Form, const char* Caption, int Top)
{
    CheckBoxArgs A;
    A.Parent = Form;
    A.Caption = Caption;
    A.Left = 16;
    A.Top = Top;
    A.Width = 200;
    A.Height = 20;
    return new CheckBox(Form, A);
}

TPropertyEditorForm::TPropertyEditorForm(Component* Owner)
    : TCellEditorForm(Owner, "Properties...", 233, 210)
{
    PropertyEditorForm = this;
}

TPropertyEditorForm::~TPropertyEditorForm()
{
    // The known applications' cell button reaches the form through the global.
    if (PropertyEditorForm == this)
        PropertyEditorForm = nullptr;
}

void TPropertyEditorForm::CreateWindows()
{
    TCellEditorForm::CreateWindows();
    BindingGroup = ChoiceGroup("Binding", {"binding allowed", "external only", "unsupported"});
    RemoveCaptionCheckBox = OptionBox(this, "remove caption", 104);
    OneInstanceCheckBox = OptionBox(this, "one instance only", 128);
    HardResizingCheckBox = OptionBox(this, "hard resizing", 152);
    Realign();
}

bool TPropertyEditorForm::Execute(std::string& Letters)
{
    EnsureHandle();
    const TPropertyChoice In = PropertyChoiceOf(Letters);
    BindingGroup->SetItemIndex(In.BindingItem);
    RemoveCaptionCheckBox->SetChecked(In.RemoveCaption);
    OneInstanceCheckBox->SetChecked(In.OneInstance);
    HardResizingCheckBox->SetChecked(In.HardResizing);
    ApplicationEvents1Idle();
    if (!RunModal())
        return false;
    TPropertyChoice Out;
    Out.BindingItem = BindingGroup->ItemIndex();
    Out.RemoveCaption = RemoveCaptionCheckBox->Checked();
    Out.OneInstance = OneInstanceCheckBox->Checked();
    Out.HardResizing = HardResizingCheckBox->Checked();
    Letters = PropertyLettersOf(Out);
    return true;
}

void TPropertyEditorForm::ApplicationEvents1Idle()
{
    const bool Options = PropertyOptionsEnabled(BindingGroup->ItemIndex());
    for (CheckBox* Box : {RemoveCaptionCheckBox, OneInstanceCheckBox, HardResizingCheckBox})
        Box->SetEnabled(Options);
}
