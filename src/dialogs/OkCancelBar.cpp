#include "dialogs/OkCancelBar.h"

OkCancelBar AddOkCancelBar(Form* Owner)
{
    PanelArgs P;
    P.Parent = Owner;
    P.Height = 33;
    P.Align = TAlign::Bottom;
    OkCancelBar Result;
    Result.Bar = new Panel(Owner, P);
    ButtonArgs B;
    B.Parent = Result.Bar;
    B.Top = 4;
    B.Caption = "OK";
    B.ModalResult = mrOk;
    B.Default = true;
    Result.Ok = new Button(Owner, B);
    B.Caption = "Cancel";
    B.ModalResult = mrCancel;
    B.Default = false;
    B.Cancel = true;
    Result.Cancel = new Button(Owner, B);
    Result.Bar->OnResize = [Result] {
        const int Middle = Result.Bar->Width() / 2;
        Result.Ok->SetBounds(Middle - 80, 4, 75, 25);
        Result.Cancel->SetBounds(Middle + 5, 4, 75, 25);
    };
    Result.Bar->OnResize();
    return Result;
}
