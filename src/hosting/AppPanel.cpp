#include "hosting/AppPanel.h"

#include "hosting/ApplicationItem.h"
#include "hosting/ParkedWindows.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

TAppPanel::TAppPanel(Component* Owner, const AppPanelArgs& Args)
    : Panel(Owner, [&Args] {
          PanelArgs P;
          P.Parent = Args.Parent;
          P.Left = Args.Left;
          P.Top = Args.Top;
          P.Width = Args.Width;
          P.Height = Args.Height;
          P.Align = Args.Align;
          return P;
      }()),
      HomeParent(Args.HomeParent), Monitor(Args.Monitor)
{
    SetFont("Arial", FontHeightFromPoints(8));
    SetBevel(TBevelCut::Raised, 5);
    DoubleBuffered = true;

    PanelArgs Inner;
    Inner.Parent = this;
    Inner.Align = TAlign::Client;
    ClientPanel = new Panel(this, Inner);
    ClientPanel->SetFont(FontName(), FontHeight());
    // The bound window of another program lies in here. Were it clipped,
    // the system's erasing after any move of the windows around it would
    // send that window its frame's paint and wait for a program that may
    // have stopped; unclipped, it paints after the panel, by itself.
    const HWND InnerWnd = ClientPanel->Handle();
    ::SetWindowLongA(InnerWnd, GWL_STYLE, ::GetWindowLongA(InnerWnd, GWL_STYLE) & ~WS_CLIPCHILDREN);

    ClientPanel->OnMouseDown = [this](Control& Sender, TMouseButton B, TShiftState S, int X, int Y) {
        if (OnMouseDown && ClientPanel) {
            const POINT P = ToOwnClient(X, Y);
            OnMouseDown(Sender, B, S, P.x, P.y);
        }
    };
    ClientPanel->OnMouseUp = [this](Control& Sender, TMouseButton B, TShiftState S, int X, int Y) {
        if (OnMouseUp && ClientPanel) {
            const POINT P = ToOwnClient(X, Y);
            OnMouseUp(Sender, B, S, P.x, P.y);
        }
    };
    ClientPanel->OnMouseMove = [this](Control& Sender, TShiftState S, int X, int Y) {
        if (OnMouseMove && ClientPanel) {
            const POINT P = ToOwnClient(X, Y);
            OnMouseMove(Sender, S, P.x, P.y);
        }
    };
    ClientPanel->OnClick = [this](Control& Sender) {
        if (OnClick && ClientPanel)
            OnClick(Sender);
    };
    ClientPanel->OnDblClick = [this](Control& Sender) {
        if (OnDblClick && ClientPanel)
            OnDblClick(Sender);
    };
    ClientPanel->OnResize = [this] {
        if (OnResize && ClientPanel) {
            OnResize();
            ArrangeControls();
        }
    };
}

TAppPanel::~TAppPanel()
{
    SetMode(apmNone);
    LetItemGo();
    if (ClientPanel)
        ParkWindowsOf(*ClientPanel);
    delete ClientPanel;
    ClientPanel = nullptr;
}

LRESULT TAppPanel::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    // Destroyed with its parent window, the panel would take the overlay
    // controls and the hosted window (another program's!) with it: both
    // leave while they still can.
    if (Msg == WM_DESTROY) {
        SetMode(apmNone);
        LetItemGo();
        if (ClientPanel)
            ParkWindowsOf(*ClientPanel);
    }
    return Panel::WndProc(Msg, WParam, LParam);
}

void TAppPanel::LetItemGo()
{
    if (!Monitor || !ClientPanel)
        return;
    // Every item of this panel: one left behind would point at a dead panel.
    while (TApplicationItem* Item = Monitor->FindItemByPanel(ClientPanel)) {
        if (Item->Kept) {
            Item->ReleaseWindow();
            Item->Panel = nullptr;
        } else {
            Monitor->DeleteItem(Item);
        }
    }
}

POINT TAppPanel::ToOwnClient(int X, int Y) const
{
    POINT P = {X, Y};
    ::ClientToScreen(ClientPanel->Handle(), &P);
    ::ScreenToClient(Handle(), &P);
    return P;
}

void TAppPanel::SetPanelCursor(HCURSOR Value)
{
    Cursor = Value;
    if (ClientPanel)
        ClientPanel->Cursor = Value;
}

bool TAppPanel::ContainsPoint(POINT P) const
{
    return P.x >= 0 && P.x <= Width() && P.y >= 0 && P.y <= Height();
}

void TAppPanel::SetControls(Control* Tool, Control* Close, Control* Unbind)
{
    if (FMode != apmTool)
        Tool = nullptr;
    if (FMode != apmCloseUnbind)
        Close = Unbind = nullptr;
    // A control replaced by another one stays where it is.
    const auto Slot = [this](Control*& Stored, Control* New) {
        if (New != Stored && Stored && !New) {
            Stored->SetVisible(false);
            if (HomeParent)
                Stored->SetParent(HomeParent);
        }
        Stored = New;
    };
    Slot(FToolControl, Tool);
    Slot(FCloseControl, Close);
    Slot(FUnbindControl, Unbind);
    ArrangeControls();
}

bool TAppPanel::UncoveredSpot(POINT Want, int W, int H, POINT& At) const
{
    At = Want;
    const RECT Area = ClientPanel->ClientRect();
    std::vector<RECT> Covers;
    for (HWND Front = ::GetWindow(Handle(), GW_HWNDPREV); Front; Front = ::GetWindow(Front, GW_HWNDPREV)) {
        RECT R;
        if (!::IsWindowVisible(Front) || !::GetWindowRect(Front, &R))
            continue;
        ::MapWindowPoints(HWND_DESKTOP, ClientPanel->Handle(), reinterpret_cast<POINT*>(&R), 2);
        Covers.push_back(R);
    }
    const auto Free = [&](int X, int Y) {
        const RECT Spot = {X, Y, X + W, Y + H};
        RECT Common;
        if (X < Area.left || Y < Area.top || Spot.right > Area.right || Spot.bottom > Area.bottom)
            return false;
        for (const RECT& C : Covers)
            if (::IntersectRect(&Common, &Spot, &C))
                return false;
        return true;
    };
    if (Covers.empty() || Free(Want.x, Want.y))
        return true;
    // Beside each cover's edges, on the wanted line or column.
    std::vector<int> Xs = {Want.x}, Ys = {Want.y};
    for (const RECT& C : Covers) {
        Xs.insert(Xs.end(), {C.right + 5, C.left - 5 - W});
        Ys.insert(Ys.end(), {C.bottom + 5, C.top - 5 - H});
    }
    int BestDistance = -1;
    for (const int X : Xs)
        for (const int Y : Ys) {
            const int Distance = std::abs(X - Want.x) + std::abs(Y - Want.y);
            if ((BestDistance < 0 || Distance < BestDistance) && Free(X, Y)) {
                At = {X, Y};
                BestDistance = Distance;
            }
        }
    return BestDistance >= 0;
}

void TAppPanel::ArrangeControls()
{
    if (!ClientPanel)
        return;
    const RECT C = ClientPanel->ClientRect();
    const int W = C.right - C.left;
    const int H = C.bottom - C.top;
    // Overlays lie above the hosted window, which is a sibling of theirs;
    // each shows where it belongs, never first where it was.
    const auto ShowOnTop = [this](Control* Overlay, int X, int Y, int OverlayWidth,
                                  int OverlayHeight) {
        Overlay->SetParent(ClientPanel);
        Overlay->SetBounds(X, Y, OverlayWidth, OverlayHeight);
        ::SetWindowPos(Overlay->Handle(), HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        Overlay->SetVisible(true);
    };
    if (FToolControl) {
        int Left = 5, Width = 240;
        if (W <= 250) {
            if (W - 10 > 48) {
                Width = W - 10;
            } else {
                Left = std::max(0, W - 48) / 2;
                Width = 48;
            }
        }
        const int ToolHeight = FToolControl->Height();
        const int Top = H > ToolHeight + 10 ? 5 : std::max(0, H - ToolHeight) / 2;
        // A free part too narrow for the tools takes them narrower, as a
        // narrow panel does: as wanted they would lie behind the child's panel.
        POINT At;
        int Fit = Width;
        bool Found = UncoveredSpot({Left, Top}, Fit, ToolHeight, At);
        while (!Found && Fit > 48) {
            Fit = std::max(48, Fit - 24);
            Found = UncoveredSpot({Left, Top}, Fit, ToolHeight, At);
        }
        if (Found)
            Width = Fit;
        ShowOnTop(FToolControl, At.x, At.y, Width, ToolHeight);
    }
    if (FCloseControl && FUnbindControl) {
        // The pair as one: close at the right, unbind left of it.
        const int PairWidth = FCloseControl->Width() + FUnbindControl->Width();
        POINT At;
        UncoveredSpot({W - PairWidth, static_cast<int>(C.top)}, PairWidth,
                      std::max(FCloseControl->Height(), FUnbindControl->Height()), At);
        const int CloseLeft = At.x + FUnbindControl->Width();
        const int CloseTop = At.y;
        ShowOnTop(FCloseControl, CloseLeft, CloseTop, FCloseControl->Width(),
                  FCloseControl->Height());
        ShowOnTop(FUnbindControl, CloseLeft - FUnbindControl->Width(), CloseTop,
                  FUnbindControl->Width(), FUnbindControl->Height());
        FUnbindControl->SetEnabled(FBound);
    }
}

void TAppPanel::SetMode(std::uint8_t Value)
{
    if (Value == FMode)
        return;
    FMode = Value;
    if (FMode == apmTool)
        SetControls(FToolControl, nullptr, nullptr);
    else if (FMode == apmCloseUnbind)
        SetControls(nullptr, FCloseControl, FUnbindControl);
    else
        SetControls(nullptr, nullptr, nullptr);
}

void TAppPanel::SetBound(bool Value)
{
    if (Value == FBound)
        return;
    FBound = Value;
    if (FUnbindControl)
        FUnbindControl->SetEnabled(Value);
}

TAppPanel* AppPanelOf(Control* C)
{
    if (auto* Host = dynamic_cast<TAppPanel*>(C))
        return Host;
    if (dynamic_cast<Panel*>(C))
        return dynamic_cast<TAppPanel*>(C->Owner());
    return nullptr;
}

void GetAppClientRect(Panel* Inner, bool NoTitle, POINT MinSize, RECT& R)
{
    R = Inner->ClientRect();
    const int Strip = std::max(16, std::abs(Inner->FontHeight()) + 4);
    if (NoTitle)
        R.top += Strip;
    if (MinSize.x > 0 && MinSize.x > R.right - R.left)
        R.right = R.left + MinSize.x;
    if (MinSize.y > 0 && MinSize.y > R.bottom - R.top)
        R.bottom = R.top + MinSize.y;
}
