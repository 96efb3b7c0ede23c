#include "toolkit/InputBox.h"

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/StdControls.h"

#include <commctrl.h>

namespace {

class LineEdit : public Control {
public:
    LineEdit(Component* Owner, Control* Parent, const std::string& Text, int X, int Y, int W)
        : Control(Owner)
    {
        CreateParams P;
        P.ClassName = WC_EDITA;
        P.Parent = Parent;
        P.Caption = Text;
        P.Style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL;
        P.ExStyle = WS_EX_CLIENTEDGE;
        P.X = X;
        P.Y = Y;
        P.Width = W;
        P.Height = 21;
        CreateHandle(P);
    }
};

}  // namespace

bool InputQuery(const std::string& Caption, const std::string& Prompt, std::string& Value)
{
    FormArgs A;
    A.Caption = Caption;
    A.ClientWidth = 300;
    A.ClientHeight = 100;
    A.Sizeable = false;
    A.DialogKeys = true;
    // On the stack: owned by nothing, so that nothing but this frame frees it.
    Form Box(nullptr, A);
    LabelArgs L;
    L.Parent = &Box;
    L.Caption = Prompt;
    L.Left = 10;
    L.Top = 10;
    L.Width = 280;
    new Label(&Box, L);
    auto* Edit = new LineEdit(&Box, &Box, Value, 10, 30, 280);
    ButtonArgs Ok;
    Ok.Parent = &Box;
    Ok.Caption = "OK";
    Ok.Left = 134;
    Ok.Top = 65;
    Ok.ModalResult = mrOk;
    Ok.Default = true;
    new Button(&Box, Ok);
    ButtonArgs Cancel = Ok;
    Cancel.Caption = "Cancel";
    Cancel.Left = 215;
    Cancel.ModalResult = mrCancel;
    Cancel.Default = false;
    Cancel.Cancel = true;
    new Button(&Box, Cancel);
    ::SetFocus(Edit->Handle());
    ::SendMessageA(Edit->Handle(), EM_SETSEL, 0, -1);
    if (Box.ShowModal() != mrOk)
        return false;
    Value = Edit->Text();
    return true;
}
