#include "mainwindow/LayoutsWin.h"

#include "dialogs/applicationlistWin.h"
#include "hosting/ApplicationItem.h"
#include "hosting/Modules.h"
#include "hosting/appmonitor.h"
#include "hosting/confirmation.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include <algorithm>

const TColor PanelLevelColors[3] = {0xCCFFFF, 0xCCCCFF, 0xFFFFCC};

// --- TLayoutHostWin ---

TLayoutHostWin::TLayoutHostWin() = default;
TLayoutHostWin::~TLayoutHostWin() = default;

TAppPanel* TLayoutHostWin::CreatePanel(int Level)
{
    AppPanelArgs A;
    A.Parent = HostControl;
    A.HomeParent = HomeParent;
    A.Monitor = Monitor;
    auto* P = new TAppPanel(HostControl, A);
    P->SetVerticalAlignment(TVerticalAlignment::Top);
    if (Level >= 1 && Level <= 3)
        P->ClientPanel->SetColor(PanelLevelColors[Level - 1]);
    if (OnPanelCreated)
        OnPanelCreated(*P);
    return P;
}

void TLayoutHostWin::FreePanel(TAppPanel* Panel)
{
    if (Panel && OnPanelFreeing)
        OnPanelFreeing(*Panel);
    delete Panel;
}

void TLayoutHostWin::PlacePanel(TAppPanel* Panel, const TLayoutRect& R)
{
    // In front of the panels placed before, behind AbovePanels; one call
    // for both, each a round trip to the Wine server.
    const HWND After = AbovePanels && AbovePanels->Handle() ? AbovePanels->Handle() : HWND_TOP;
    ::SetWindowPos(Panel->Handle(), After, R.Left, R.Top, RectWidth(R), RectHeight(R), SWP_NOACTIVATE);
}

TLayoutRect TLayoutHostWin::HostClientRect()
{
    if (!HostControl)
        return {};
    const RECT R = HostControl->ClientRect();
    return {R.left, R.top, R.right, R.bottom};
}

// Made and moved while the host draws nothing, each panel costs the system
// no visible regions and paints of the panels before it.
void TLayoutHostWin::BeginPlacing()
{
    if (FPlacing++ == 0 && HostControl && HostControl->Handle() &&
        ::IsWindowVisible(HostControl->Handle())) {
        FRedrawOff = true;
        ::SendMessageA(HostControl->Handle(), WM_SETREDRAW, FALSE, 0);
    }
}

void TLayoutHostWin::EndPlacing()
{
    if (--FPlacing > 0 || !FRedrawOff)
        return;
    FRedrawOff = false;
    ::SendMessageA(HostControl->Handle(), WM_SETREDRAW, TRUE, 0);
    ::RedrawWindow(HostControl->Handle(), nullptr, nullptr,
                   RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

TApplicationItem* TLayoutHostWin::ItemOfPanel(TAppPanel* Panel)
{
    return Monitor && Panel ? Monitor->FindItemByPanel(Panel->ClientPanel) : nullptr;
}

int TLayoutHostWin::ItemKnownIndex(const TApplicationItem* Item)
{
    return Item ? Item->KnownIndex() : -1;
}

bool TLayoutHostWin::OpenApplication(const std::string& Name, const std::string& Exe,
                                     const std::string& Params, TAppPanel* Panel)
{
    if (!Monitor || !Panel)
        return false;
    TIdentifyInfo Info;
    return Monitor->OpenApplication(Name, Exe, Info, false, true, Panel->ClientPanel, Params);
}

std::string TLayoutHostWin::ModuleStartParams(const std::string& Name)
{
    std::string Params;
    GetModuleStartParams(Name, Params);
    return Params;
}

namespace {

// The user's application list, as the application list window holds it.
class WindowListLocations : public IApplicationLocations {
public:
    bool ApplicationLocation(const std::string& Name, std::string& Path, bool Translate) override
    {
        return ApplicationListForm && ApplicationListForm->ApplicationLocation(Name, Path, Translate);
    }
};

}  // namespace

IApplicationLocations* TLayoutHostWin::Locations()
{
    static WindowListLocations WindowList;
    return AppList ? AppList : &WindowList;
}

std::uint8_t TLayoutHostWin::Confirm(const std::string& Text, std::uint8_t& Remembered)
{
    if (!Confirmation)
        return Remembered != 0 ? Remembered : std::uint8_t{caYes};
    return ShowConfirmation(Confirmation, Text, Remembered, "Confirmation...", ckYesNoCancel, -1);
}

void TLayoutHostWin::Beep()
{
    ::MessageBeep(0);
}

void TLayoutHostWin::Tell(const std::string& Text)
{
    if (OnMessage)
        OnMessage(Text);
    else
        ::ShowMessage(Text);
}

void TLayoutHostWin::RaiseCloseReleased()
{
    ++CloseReleasedApps;
}

void TLayoutHostWin::LowerCloseReleased()
{
    --CloseReleasedApps;
}

void TLayoutHostWin::ScheduleStart(int Milliseconds, std::function<void()> Due)
{
    if (Milliseconds < 0) {
        if (FStartTimer)
            FStartTimer->SetEnabled(false);
        FStartDue = nullptr;
        return;
    }
    if (!FStartTimer) {
        FStartTimer = std::make_unique<Timer>(nullptr, 1000, false);
        FStartTimer->OnTimer = [this] {
            FStartTimer->SetEnabled(false);
            // Due may schedule the next one.
            const std::function<void()> Run = std::move(FStartDue);
            FStartDue = nullptr;
            if (Run)
                Run();
        };
    }
    FStartDue = std::move(Due);
    FStartTimer->SetEnabled(false);
    FStartTimer->SetInterval(static_cast<unsigned>(Milliseconds));
    FStartTimer->SetEnabled(true);
}

HWND TLayoutHostWin::MainWindow() const
{
    return HostControl && HostControl->Handle() ? ::GetAncestor(HostControl->Handle(), GA_ROOT)
                                                : nullptr;
}

// Applied from the main window, the starts go on while it takes input;
// applied from a modal window (the designer), while that one does.
void TLayoutHostWin::StartsQueued()
{
    const HWND Main = MainWindow();
    const HWND Active = ::GetActiveWindow();
    FStartsFrom = !Main || ::IsWindowEnabled(Main) || !Active ? Main : Active;
}

bool TLayoutHostWin::StartsAllowed()
{
    if ((Monitor && Monitor->Closing) || (SessionMayEnd && *SessionMayEnd))
        return false;
    // A menu open or a mouse drag: the start would take them away.
    GUITHREADINFO Gui = {};
    Gui.cbSize = sizeof(Gui);
    if (::GetGUIThreadInfo(::GetCurrentThreadId(), &Gui) &&
        ((Gui.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_INMOVESIZE)) || Gui.hwndCapture))
        return false;
    // A box or a modal window opened since disables the window the starts
    // came from (a closed designer hands them back to the main window).
    const HWND From = FStartsFrom && ::IsWindow(FStartsFrom) && ::IsWindowVisible(FStartsFrom)
                          ? FStartsFrom
                          : MainWindow();
    return !From || ::IsWindowEnabled(From);
}

bool TLayoutHostWin::ItemKept(const TApplicationItem* Item) const
{
    return Item && Item->Kept;
}

void TLayoutHostWin::SetItemKept(TApplicationItem* Item, bool Kept)
{
    if (!Monitor)
        return;
    for (int I = 0; I < Monitor->Count(); ++I)
        if (Monitor->Items(I) == Item)
            Item->Kept = Kept;
}

// --- Border dragging ---

bool TPanelBoundsWin::PanelBounds(TNodeId Node, TLayoutRect& R)
{
    const TAppPanel* P = FTree.Data(Node);
    if (!P)
        return false;
    const RECT B = P->BoundsRect();
    R = {B.left, B.top, B.right, B.bottom};
    return true;
}

void TPanelBoundsWin::SetPanelBounds(TNodeId Node, const TLayoutRect& R)
{
    if (TAppPanel* P = FTree.Data(Node))
        P->SetBounds(R.Left, R.Top, RectWidth(R), RectHeight(R));
}

HCURSOR BorderCursorHandle(int Cursor)
{
    switch (Cursor) {
    case crSizeNESW: return ::LoadCursorA(nullptr, IDC_SIZENESW);
    case crSizeNS: return ::LoadCursorA(nullptr, IDC_SIZENS);
    case crSizeNWSE: return ::LoadCursorA(nullptr, IDC_SIZENWSE);
    case crSizeWE: return ::LoadCursorA(nullptr, IDC_SIZEWE);
    case crSizeAll: return ::LoadCursorA(nullptr, IDC_SIZEALL);
    default: return nullptr;
    }
}

void SetBorderCursor(const TLayoutTree& Tree, const TPanelBorder& Border, int Cursor)
{
    if (TAppPanel* P = Tree.Data(Border.Node))
        P->SetPanelCursor(BorderCursorHandle(Cursor));
}

// --- TRegistryValuesWin ---

int TRegistryValuesWin::ReadIntegerDef(const std::string& Name, int Default)
{
    return FRegistry.ReadIntegerDef(Name, Default);
}

std::string TRegistryValuesWin::ReadStringDef(const std::string& Name, const std::string& Default)
{
    // One look for a node's value (the safe read takes three, each a trip
    // to the registry's server): thousands are read at start-up.
    char Buf[512];
    DWORD Type = REG_NONE, Size = sizeof(Buf);
    const LONG R = FRegistry.CurrentKey()
                       ? ::RegQueryValueExA(FRegistry.CurrentKey(), Name.c_str(), nullptr, &Type,
                                            reinterpret_cast<BYTE*>(Buf), &Size)
                       : ERROR_INVALID_HANDLE;
    if (R == ERROR_MORE_DATA)
        return FRegistry.ReadStringDef(Name, Default);
    if (R != ERROR_SUCCESS || (Type != REG_SZ && Type != REG_EXPAND_SZ))
        return Default;
    const std::string Data(Buf, std::min<DWORD>(Size, sizeof(Buf)));
    return Data.substr(0, Data.find('\0'));
}

void TRegistryValuesWin::WriteInteger(const std::string& Name, int Value)
{
    FRegistry.WriteInteger(Name, Value);
}

void TRegistryValuesWin::WriteString(const std::string& Name, const std::string& Value)
{
    FRegistry.WriteString(Name, Value);
}

bool TRegistryValuesWin::ValueExists(const std::string& Name)
{
    return FRegistry.ValueExists(Name);
}

bool TRegistryValuesWin::DeleteValue(const std::string& Name)
{
    return FRegistry.DeleteValue(Name);
}

// --- TLayoutCanvasWin ---

TLayoutCanvasWin::TLayoutCanvasWin(HDC Dc)
    : FDc(Dc), FSilver(::CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0))),
      FBlack(::CreatePen(PS_SOLID, 1, RGB(0, 0, 0))), FRed(::CreatePen(PS_SOLID, 3, RGB(0xFF, 0, 0))),
      FSaved(::SaveDC(Dc))
{
}

TLayoutCanvasWin::~TLayoutCanvasWin()
{
    ::RestoreDC(FDc, FSaved);
    ::DeleteObject(FSilver);
    ::DeleteObject(FBlack);
    ::DeleteObject(FRed);
}

void TLayoutCanvasWin::Rectangle(const TLayoutRect& R, bool Silver)
{
    ::SelectObject(FDc, FBlack);
    if (Silver)
        ::SelectObject(FDc, FSilver);
    ::Rectangle(FDc, R.Left, R.Top, R.Right, R.Bottom);
}

void TLayoutCanvasWin::WrappedText(const TLayoutRect& R, const std::string& Text)
{
    RECT Rc = {R.Left, R.Top, R.Right, R.Bottom};
    ::SetBkMode(FDc, TRANSPARENT);
    ::DrawTextA(FDc, Text.c_str(), static_cast<int>(Text.size()), &Rc, DT_WORDBREAK);
}

void TLayoutCanvasWin::SelectionFrame(const TLayoutRect& R)
{
    ::SelectObject(FDc, FRed);
    ::SelectObject(FDc, ::GetStockObject(NULL_BRUSH));
    ::Rectangle(FDc, R.Left, R.Top, R.Right, R.Bottom);
}
