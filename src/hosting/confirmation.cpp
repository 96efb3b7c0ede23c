#include "hosting/confirmation.h"

#include "hosting/HelpRouting.h"

#include <algorithm>

TConfirmationForm* ConfirmationForm = nullptr;

namespace {

FormArgs ConfirmationArgs()
{
    FormArgs A;
    A.Caption = "Confirmation ...";
    A.HelpContext = 250;
    A.ClientWidth = 452;
    A.ClientHeight = 122;
    A.FontName = "Arial";
    A.FontHeight = -13;
    A.CenterOnDesktop = true;
    A.Sizeable = false;
    A.DialogKeys = true;
    A.Deferred = true;
    return A;
}

Button* MakeButton(Panel* Bar, const char* Caption, int Width, int Result, bool Default,
                   bool Cancel)
{
    ButtonArgs B;
    B.Parent = Bar;
    B.Caption = Caption;
    B.Width = Width;
    B.Top = 4;
    B.ModalResult = Result;
    B.Default = Default;
    B.Cancel = Cancel;
    return new Button(Bar, B);
}

}  // namespace

TConfirmationForm::TConfirmationForm(Component* Owner) : Form(Owner, ConfirmationArgs())
{
    ConfirmationForm = this;
    OnActivate = [this] { FormActivate(); };
    OnHelp = [this](unsigned short Command, int Data, bool& CallHelp) {
        return FormHelp(Command, Data, CallHelp);
    };
}

TConfirmationForm::~TConfirmationForm()
{
    // The monitor's question reaches the form through the global.
    if (ConfirmationForm == this)
        ConfirmationForm = nullptr;
}

void TConfirmationForm::CreateWindows()
{
    // Bottom-aligned controls stack upwards: the bar first, then the box.
    PanelArgs Bar;
    Bar.Parent = this;
    Bar.Height = 33;
    Bar.Align = TAlign::Bottom;
    TBToolbar = new Panel(this, Bar);
    YesButton = MakeButton(TBToolbar, "&Yes", 75, mrYes, true, false);
    NoButton = MakeButton(TBToolbar, "&No", 75, mrNo, false, false);
    OKButton = MakeButton(TBToolbar, "OK", 75, mrOk, true, false);
    CancelButton = MakeButton(TBToolbar, "&Cancel", 83, mrCancel, false, true);

    CheckBoxArgs Box;
    Box.Parent = this;
    Box.Caption = "Don't ask me again";
    Box.Height = 20;
    Box.Align = TAlign::Bottom;
    dontaskagaincheckbox = new CheckBox(this, Box);
    dontaskagaincheckbox->Margins = RECT{6, 0, 6, 0};

    LabelArgs L;
    L.Parent = this;
    L.Align = TAlign::Client;
    L.Alignment = TAlignment::Center;
    L.WordWrap = true;
    InfoLabel = new Label(this, L);
    InfoLabel->Margins = RECT{6, 6, 6, 6};

    DialogResizer =
        AttachDialogResizer(this, {{InfoLabel}, {dontaskagaincheckbox}, {TBToolbar, true}});

    Realign();
    FDesignClientHeight = ClientRect().bottom;
    FDesignLabelHeight = InfoLabel->Height();
}

void TConfirmationForm::FormActivate()
{
    DialogResizer->ActivateScaling();
    const int Missing = std::max(0, InfoLabel->TextHeight() - FDesignLabelHeight);
    const int Wanted = FDesignClientHeight + Missing;
    const int Have = ClientRect().bottom;
    if (Wanted != Have) {
        const RECT B = BoundsRect();
        SetBounds(B.left, B.top - (Wanted - Have) / 2, B.right - B.left,
                  B.bottom - B.top + Wanted - Have);
    }
}

bool TConfirmationForm::FormHelp(unsigned short Command, int Data, bool& CallHelp)
{
    return HandleHelpRequest(Command, Data, CallHelp);
}

void TConfirmationForm::ArrangeButtons()
{
    const int Gap = 6;
    int Total = 0;
    for (Control* C : TBToolbar->Controls())
        if (C->Visible())
            Total += C->Width() + Gap;
    int X = (TBToolbar->ClientRect().right - (Total - Gap)) / 2;
    for (Control* C : TBToolbar->Controls())
        if (C->Visible()) {
            const RECT B = C->BoundsRect();
            C->SetBounds(X, B.top, B.right - B.left, B.bottom - B.top);
            X += C->Width() + Gap;
        }
}

std::uint8_t ShowConfirmation(TConfirmationForm* Form, const std::string& Text,
                              std::uint8_t& Remembered, const std::string& Caption,
                              std::uint8_t Kind, int HelpContext)
{
    if (Remembered != 0)
        return Remembered;
    if (HelpContext >= 0)
        Form->HelpContext = HelpContext;
    Form->EnsureHandle();
    Form->InfoLabel->SetText(Text);
    Form->SetText(Caption);
    Form->YesButton->SetVisible(Kind == ckYesNoCancel);
    Form->NoButton->SetVisible(Kind == ckYesNoCancel);
    Form->CancelButton->SetVisible(Kind == ckYesNoCancel);
    Form->OKButton->SetVisible(Kind == ckOk);
    Form->ArrangeButtons();
    Form->dontaskagaincheckbox->SetChecked(false);
    std::uint8_t Answer;
    switch (Form->ShowModal()) {
    case mrNo: Answer = caNo; break;
    case mrYes: Answer = caYes; break;
    case mrOk: Answer = caOk; break;
    default: Answer = caCancelled; break;
    }
    if (Form->dontaskagaincheckbox->Checked())
        Remembered = Answer;
    return Answer;
}
