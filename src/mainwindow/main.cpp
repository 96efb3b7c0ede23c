#include "mainwindow/main.h"

Tmainform* mainform = nullptr;

static FormArgs MainFormArgs()
{
    FormArgs A;
    A.Caption = "Tessarine Quorvan    ";
    A.ClientWidth = 762;
    A.ClientHeight = 526;
    A.CenterOnDesktop = true;
    A.HelpContext = 1;
    A.FontName = "Arial";
    A.FontHeight = -13;
    return A;
}

Tmainform::Tmainform(Component* Owner) : Form(Owner, MainFormArgs())
{
    mainform = this;
}
