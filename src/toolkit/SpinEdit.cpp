#include "toolkit/SpinEdit.h"

#include <commctrl.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>

SpinEdit::SpinEdit(Component* Owner, const SpinEditArgs& Args)
    : Control(Owner), FMin(Args.MinValue), FMax(std::max(Args.MinValue, Args.MaxValue))
{
    CreateParams P;
    P.ClassName = WC_EDITA;
    P.Parent = Args.Parent;
    P.Style = WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT;
    P.ExStyle = WS_EX_CLIENTEDGE;
    P.X = Args.Left;
    P.Y = Args.Top;
    P.Width = Args.Width;
    P.Height = Args.Height;
    CreateHandle(P);
    // The arrows sit on the edit's right edge and write its text themselves.
    FUpDown = ::CreateWindowExA(0, UPDOWN_CLASSA, "",
                                WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_SETBUDDYINT |
                                    UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                                0, 0, 0, 0, Args.Parent ? Args.Parent->Handle() : nullptr, nullptr,
                                ::GetModuleHandleA(nullptr), nullptr);
    ::SendMessageA(FUpDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(Handle()), 0);
    RECT Arrows = {};
    ::GetWindowRect(FUpDown, &Arrows);
    RECT Own = {};
    ::GetWindowRect(Handle(), &Own);
    FArrowsGap = Arrows.left - Own.right;
    FArrowsAttached = true;
    ::SendMessageA(FUpDown, UDM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
    SetValue(Args.Value);
}

SpinEdit::~SpinEdit()
{
    if (FUpDown && ::IsWindow(FUpDown))
        ::DestroyWindow(FUpDown);
}

int SpinEdit::Value() const
{
    const std::string T = Text();
    char* End = nullptr;
    errno = 0;
    long V = std::strtol(T.c_str(), &End, 10);
    while (End && (*End == ' ' || *End == '\t'))
        ++End;
    if (End == T.c_str() || (End && *End) || errno == ERANGE || V < INT_MIN || V > INT_MAX)
        V = 0;
    return std::clamp(static_cast<int>(V), FMin, FMax);
}

void SpinEdit::SetValue(int Value)
{
    const std::string T = std::to_string(std::clamp(Value, FMin, FMax));
    if (Text() != T)
        SetText(T);
}

void SpinEdit::SetEnabled(bool Enabled)
{
    Control::SetEnabled(Enabled);
    if (FUpDown)
        ::EnableWindow(FUpDown, Enabled);
}

LRESULT SpinEdit::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    const LRESULT Result = Control::WndProc(Msg, WParam, LParam);
    if (Msg == WM_WINDOWPOSCHANGED && FArrowsAttached)
        PlaceArrows();
    return Result;
}

void SpinEdit::PlaceArrows()
{
    RECT Arrows = {};
    ::GetWindowRect(FUpDown, &Arrows);
    const RECT Own = BoundsRect();
    ::SetWindowPos(FUpDown, nullptr, Own.right + FArrowsGap, Own.top, Arrows.right - Arrows.left,
                   Own.bottom - Own.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SpinEdit::CommandNotify(WORD Code)
{
    if (Code == EN_CHANGE && OnChange)
        OnChange();
}
