#include "toolkit/ProgressBar.h"

#include <commctrl.h>

ProgressBar::ProgressBar(Component* Owner, const ProgressBarArgs& Args) : Control(Owner)
{
    CreateParams P;
    P.ClassName = PROGRESS_CLASSA;
    P.Parent = Args.Parent;
    P.Style = WS_VISIBLE;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    if (Args.Align != TAlign::None)
        SetAlign(Args.Align);
}

void ProgressBar::SetRange(int Min, int Max)
{
    ::SendMessageA(Handle(), PBM_SETRANGE32, Min, Max);
}

int ProgressBar::Min() const
{
    return static_cast<int>(::SendMessageA(Handle(), PBM_GETRANGE, TRUE, 0));
}

int ProgressBar::Max() const
{
    return static_cast<int>(::SendMessageA(Handle(), PBM_GETRANGE, FALSE, 0));
}

int ProgressBar::Position() const
{
    return static_cast<int>(::SendMessageA(Handle(), PBM_GETPOS, 0, 0));
}

void ProgressBar::SetPosition(int Value)
{
    ::SendMessageA(Handle(), PBM_SETPOS, Value, 0);
}
