#include "dialogs/CellEditorWin.h"

#include "dialogs/OkCancelBar.h"
#include "toolkit/Application.h"

namespace {

FormArgs EditorArgs(const std::string& Caption, int ClientWidth, int ClientHeight)
{
    FormArgs A;
    A.Caption = Caption;
    A.ClientWidth = ClientWidth;
    A.ClientHeight = ClientHeight;
    A.FontName = "Arial";
    A.FontHeight = -13;
    A.DialogKeys = true;
    A.Deferred = true;
    return A;
}

}  // namespace

TCellEditorForm::TCellEditorForm(Component* Owner, const std::string& Caption, int ClientWidth,
                                 int ClientHeight)
    : Form(Owner, EditorArgs(Caption, ClientWidth, ClientHeight))
{
}

void TCellEditorForm::CreateWindows()
{
    ::SetWindowLongA(Handle(), GWL_EXSTYLE, ::GetWindowLongA(Handle(), GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    const OkCancelBar Bar = AddOkCancelBar(this);
    ToolBar1 = Bar.Bar;
    BitBtn1 = Bar.Ok;
    BitBtn2 = Bar.Cancel;
    FIdleId = Application->AddIdleHandler([this] { ApplicationEvents1Idle(); });
}

TCellEditorForm::~TCellEditorForm()
{
    if (Application && FIdleId)
        Application->RemoveIdleHandler(FIdleId);
}

RadioGroup* TCellEditorForm::ChoiceGroup(const std::string& Caption,
                                         const std::vector<std::string>& Items)
{
    RadioGroupArgs G;
    G.Parent = this;
    G.Caption = Caption;
    G.Items = Items;
    G.ItemIndex = 0;
    G.Left = 8;
    G.Top = 6;
    G.Width = 217;
    G.Height = 89;
    return new RadioGroup(this, G);
}

bool TCellEditorForm::RunModal()
{
    // Over the middle of the main window (of the desktop without one).
    RECT Area;
    if (Application->MainForm && Application->MainForm != this)
        ::GetWindowRect(Application->MainForm->Handle(), &Area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &Area, 0);
    const RECT B = BoundsRect();
    const int W = B.right - B.left, H = B.bottom - B.top;
    SetBounds((Area.left + Area.right - W) / 2, (Area.top + Area.bottom - H) / 2, W, H);
    return ShowModal() == mrOk;
}
