#include "dialogs/MinSizeEditorWin.h"

TMinSizeEditorForm* MinSizeEditorForm = nullptr;

namespace {

// A captioned panel with a spin edit on its right.
Panel* SizePanel(TMinSizeEditorForm* Form, const char* Caption, int Top, SpinEdit*& Edit)
{
    PanelArgs P;
    P.Parent = Form;
    P.Left = 8;
    P.Top = Top;
    P.Width = 217;
    P.Height = 30;
    auto* Box = new Panel(Form, P);
    Box->SetBevel(TBevelCut::Lowered, 1);
    LabelArgs L;
    L.Parent = Box;
    L.Caption = Caption;
    L.Left = 8;
    L.Top = 7;
    L.Width = 60;
    new Label(Box, L);
    SpinEditArgs S;
    S.Parent = Box;
    S.Left = 90;
    S.Top = 4;
    S.Width = 110;
    S.Height = 22;
    S.MinValue = MinSizeEditMin;
    S.MaxValue = MinSizeEditMax;
    Edit = new SpinEdit(Box, S);
    return Box;
}

}  // namespace

TMinSizeEditorForm::TMinSizeEditorForm(Component* Owner)
    : TCellEditorForm(Owner, "MinSize editor...", 233, 200), FRules(*this)
{
    MinSizeEditorForm = this;
}

TMinSizeEditorForm::~TMinSizeEditorForm()
{
    // The known applications' cell button reaches the form through the global.
    if (MinSizeEditorForm == this)
        MinSizeEditorForm = nullptr;
}

void TMinSizeEditorForm::CreateWindows()
{
    TCellEditorForm::CreateWindows();
    SizingRadioGroup = ChoiceGroup("Sizing", {"no minsize", "minsize = start", "minsize = X,Y"});
    XSizePanel = SizePanel(this, "X-size:", 100, XSizeEdit);
    YSizePanel = SizePanel(this, "Y-size:", 133, YSizeEdit);
    XSizeEdit->OnChange = [this] { FRules.SizeEditChange(); };
    Realign();
}

bool TMinSizeEditorForm::Execute(std::string& Text)
{
    EnsureHandle();
    FRules.Load(Text);
    // The controls' state is right before the first idle moment.
    FRules.Idle();
    if (!RunModal())
        return false;
    FRules.Store(Text);
    return true;
}

void TMinSizeEditorForm::SetSizeEditsEnabled(bool Enabled)
{
    XSizePanel->SetEnabled(Enabled);
    XSizeEdit->SetEnabled(Enabled);
    YSizePanel->SetEnabled(Enabled);
    YSizeEdit->SetEnabled(Enabled);
}
