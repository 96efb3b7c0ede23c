#include "toolkit/StatusBar.h"

#include <commctrl.h>

StatusBar::StatusBar(Component* Owner, const StatusBarArgs& Args)
    : Control(Owner), FSimple(Args.SimplePanel)
{
    CreateParams P;
    P.ClassName = STATUSCLASSNAMEA;
    P.Parent = Args.Parent;
    P.Style = (Args.Visible ? WS_VISIBLE : 0) | CCS_BOTTOM | SBARS_SIZEGRIP;
    P.X = P.Y = 0;
    P.Width = 100;
    P.Height = 20;
    CreateHandle(P);
    if (!FSimple && !Args.PanelWidths.empty()) {
        // SB_SETPARTS takes right edges.
        std::vector<int> Edges;
        int Right = 0;
        for (int W : Args.PanelWidths)
            Edges.push_back(W < 0 ? -1 : (Right += W));
        ::SendMessageA(Handle(), SB_SETPARTS, Edges.size(), reinterpret_cast<LPARAM>(Edges.data()));
    }
    ::SendMessageA(Handle(), SB_SIMPLE, FSimple, 0);
    SetAlign(TAlign::Bottom);
}

void StatusBar::SetSimpleText(const std::string& Text)
{
    FSimpleText = Text;
    ::SendMessageA(Handle(), SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(Text.c_str()));
}

std::string StatusBar::PanelText(int Index) const
{
    const LRESULT Len = LOWORD(::SendMessageA(Handle(), SB_GETTEXTLENGTHA, static_cast<WPARAM>(Index), 0));
    std::string S(static_cast<std::size_t>(Len) + 1, '\0');
    ::SendMessageA(Handle(), SB_GETTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&S[0]));
    S.resize(static_cast<std::size_t>(Len));
    return S;
}

void StatusBar::SetPanelText(int Index, const std::string& Text)
{
    ::SendMessageA(Handle(), SB_SETTEXTA, static_cast<WPARAM>(Index),
                   reinterpret_cast<LPARAM>(Text.c_str()));
}
