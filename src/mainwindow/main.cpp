#include "mainwindow/main.h"

#include "hosting/AppPanel.h"
#include "hosting/HelpRouting.h"
#include "hosting/Identify.h"
#include "hosting/Modules.h"
#include "hosting/RulesFile.h"
#include "hosting/VelmoraWin.h"
#include "hosting/appmonitor.h"
#include "mainwindow/SettingsStoreWin.h"
#include "mainwindow/StoredState.h"
#include "mainwindow/WindowPositionWin.h"
#include "toolkit/Application.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Hints.h"
#include "toolkit/InputBox.h"
#include "toolkit/Menus.h"
#include "toolkit/Panel.h"
#include "toolkit/SpeedButton.h"
#include "toolkit/StatusBar.h"
#include "toolkit/StdControls.h"

#include <commdlg.h>

#include <fstream>
#include <sstream>

Tmainform* mainform = nullptr;

namespace {

FormArgs MainFormArgs()
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

const char* const SelectApplication = "<select application>";

StringList LoadRulesFileLines()
{
    std::ifstream In(ProgramDir + "ApplicationRules.def", std::ios::binary);
    if (!In)
        return StringList();
    std::ostringstream Text;
    Text << In.rdbuf();
    StringList Lines;
    TextToLines(Text.str(), Lines);
    return Lines;
}

std::string ExecutablePath()
{
    char Path[MAX_PATH] = {};
    const DWORD Len = ::GetModuleFileNameA(nullptr, Path, MAX_PATH);
    return std::string(Path, Len);
}

bool OpenExecutableDialog(HWND Owner, std::string& FileName)
{
    char File[MAX_PATH] = {};
    OPENFILENAMEA Ofn = {};
    Ofn.lStructSize = sizeof(Ofn);
    Ofn.hwndOwner = Owner;
    Ofn.lpstrFilter = "Executable files (*.exe)\0*.exe\0";
    Ofn.lpstrFile = File;
    Ofn.nMaxFile = MAX_PATH;
    Ofn.lpstrDefExt = "EXE";
    Ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    if (!::GetOpenFileNameA(&Ofn))
        return false;
    FileName = File;
    return true;
}

void BringToForeground(HWND Wnd)
{
    if (Wnd)
        ::SetForegroundWindow(Wnd);
}

}  // namespace

Tmainform::Tmainform(Component* Owner) : Form(Owner, MainFormArgs())
{
    mainform = this;
    ShowHelpTopic = [](int Context) {
        bool CallHelp = true;
        return HandleHelpRequest(HELP_CONTEXT, Context, CallHelp);
    };
    ChooseExecutable = [this](std::string& FileName) {
        return OpenExecutableDialog(Handle(), FileName);
    };
    LayoutsPopupMenu = new PopupMenu(this);
    ApplicationsPopupMenu = new PopupMenu(this);
    CreatePanels();  // PENDING actions, toolbars, images
    OnActivate = [this] { FormActivate(); };
    OnCloseQuery = [this](bool& CanClose) { FormCloseQuery(CanClose); };
    OnHelp = [this](unsigned short Command, int Data, bool& CallHelp) {
        return FormHelp(Command, Data, CallHelp);
    };
    FormCreate();
}

Tmainform::~Tmainform()
{
    FormDestroy();
    if (mainform == this)
        mainform = nullptr;
}

void Tmainform::CreatePanels()
{
    PanelArgs M;
    M.Parent = this;
    M.Align = TAlign::Client;
    mainpanel = new Panel(this, M);
    mainpanel->HelpContext = 1;
    mainpanel->OnMouseDown = [this](Control& S, TMouseButton B, TShiftState Sh, int X, int Y) {
        mainpanelMouseDown(S, B, Sh, X, Y);
    };
    mainpanel->OnMouseMove = [this](Control& S, TShiftState Sh, int X, int Y) {
        mainpanelMouseMove(S, Sh, X, Y);
    };
    mainpanel->OnMouseUp = [this](Control& S, TMouseButton B, TShiftState Sh, int X, int Y) {
        mainpanelMouseUp(S, B, Sh, X, Y);
    };
    mainpanel->OnResize = [this] { mainpanelResize(); };

    StatusBarArgs S;
    S.Parent = mainpanel;
    S.Visible = false;
    StatusBar1 = new StatusBar(this, S);

    SpeedButtonArgs Mini;
    Mini.Parent = mainpanel;
    Mini.Width = Mini.Height = 16;
    Mini.Visible = false;
    Mini.FontName = "Marlett";
    Mini.FontHeight = -11;
    Mini.Caption = "r";  // the close cross
    MiniClosebutton = new SpeedButton(this, Mini);
    Mini.Caption = "2";  // two windows: let go
    MiniUnbindbutton = new SpeedButton(this, Mini);
    SetHint(MiniClosebutton, "close this application");
    SetHint(MiniUnbindbutton, "unbind this application from the panel");
    MiniClosebutton->OnClick = [this] { MiniClosebuttonClick(); };
    MiniUnbindbutton->OnClick = [this] { MiniUnbindbuttonClick(); };

    PanelArgs P;
    P.Parent = mainpanel;
    P.Width = 232;
    P.Height = 56;
    P.Visible = false;
    ToolBarPanel = new Panel(this, P);

    ComboBoxArgs C;
    C.Parent = ToolBarPanel;
    C.Width = 232 - 24;
    C.OwnerDrawFixed = true;
    C.ItemHeight = 17;
    C.DropDownCount = 16;
    BindAppComboBox = new ComboBox(this, C);
    BindAppComboBox->HelpContext = 45;
    BindAppComboBox->OnChange = [this] { BindAppComboBoxChange(); };
    BindAppComboBox->OnDrawItem = [this](int Index, HDC Dc, const RECT& R, unsigned State) {
        BindAppComboBoxDrawItem(Index, Dc, R, State);
    };

    ButtonArgs Dots;
    Dots.Parent = ToolBarPanel;
    Dots.Caption = "...";
    Dots.Left = 232 - 24;
    Dots.Width = 24;
    Dots.Height = BindAppComboBox->Height();
    BindAppButton = new Button(this, Dots);
    SetHint(BindAppButton, "start a new application in this panel");
    BindAppButton->OnClick = [this] { BindAppButtonClick(); };

}

// --- Start-up and shutdown ---

void Tmainform::FormCreate()
{
    FirstActivate = true;
    RefreshApps = true;
    RefreshLayoutsMenu = true;
    Application->HelpFile = ProgramDir + "quorvan.chm";
    // The tool buttons take their actions' help contexts from their actions.
    FIdleId = Application->AddIdleHandler([this] { ApplicationEventsIdle(); });
    Application->OnMessage = [this](MSG& Msg, bool& Handled) { ApplicationEventsMessage(Msg, Handled); };
}

void Tmainform::FormActivate()
{
    if (!FirstActivate)
        return;
    FirstActivate = false;
    TRegistrySettingsStore Store;
    TStartupHooks Hooks;
    Hooks.LoadWindowPosition = [this](ISettingsStore& S) {
        LoadWindowPosition(S, Handle(), MainWindowPrefix);
    };
    Hooks.ReadApplicationRules = [](const StringList& Lines) {
        int ErrorLine = 0;
        return ReadApplicationRules(Lines, ErrorLine);
    };
    Hooks.LoadRulesFile = [] { return LoadRulesFileLines(); };
    const std::uint8_t Result = ReadStoredState(Store, Hooks);
    Monitor = std::make_unique<TApplicationMonitor>(this, nullptr);
    Monitor->OnAllClosed = [this](TApplicationMonitor&) { MonitorAllClosed(); };
    Monitor->OnMainWindowBound = [this](TApplicationItem& Item) { MonitorNewApplication(Item); };
    if (Result > 1 && Result < 14)
        ShowMessage(ImportErrors[Result]);
}

void Tmainform::FormCloseQuery(bool& CanClose)
{
    CanClose = !Monitor || Monitor->CloseAll();
    if (!CanClose)
        return;
    TRegistrySettingsStore Store;
    TShutdownHooks Hooks;
    Hooks.ExePath = ExecutablePath();
    Hooks.SaveWindowPosition = [this](ISettingsStore& S) {
        SaveWindowPosition(S, Handle(), MainWindowPrefix);
    };
    Hooks.DatabaseHasEntries = [] {
        return KnownApps.Count() > 0 || AllowedWindows.Count() > 0 || ForbiddenWindows.Count() > 0;
    };
    Hooks.WriteApplicationRules = [] {
        StringList Lines;
        WriteApplicationRules(Lines);
        return Lines;
    };
    WriteStoredState(Store, Hooks);
}

void Tmainform::FormDestroy()
{
    // The application object may be going already (it frees its forms).
    if (FIdleId && Application) {
        Application->RemoveIdleHandler(FIdleId);
        Application->OnMessage = nullptr;
        FIdleId = 0;
    }
    HoverPanel = nullptr;
    Monitor.reset();
}

void Tmainform::MonitorAllClosed()
{
    // The monitor reports from inside a window pass: close once it is over.
    ::PostMessageA(Handle(), WM_CLOSE, 0, 0);
}

void Tmainform::MonitorNewApplication(TApplicationItem& Item)
{
    (void)Item;
}

// --- Idle pass ---

void Tmainform::ApplicationEventsIdle()
{
    if (Monitor)
        Monitor->AdjustAll(false, Moved);
    Moved = false;
    if (RefreshApps) {
        SyncBindAppComboBox();
        BuildApplicationsMenu();
        RefreshApps = false;
    }
    if (RefreshLayoutsMenu) {
        BuildLayoutsMenu();
        RefreshLayoutsMenu = false;
    }
    UpdatePanelActions(nullptr, PanelActions);
    POINT P;
    if (Busy != 0 || !::GetCursorPos(&P))
        return;
    if (HoverPanel) {
        const POINT C = HoverPanel->ScreenToClient(P);
        if (HoverPanel->ContainsPoint(C)) {
            if (HoverPanel->OnMouseMove)
                HoverPanel->OnMouseMove(*HoverPanel, 0, C.x, C.y);
            if (HoverPanel) {
                HoverPanel->SetControls(ToolBarPanel, MiniClosebutton, MiniUnbindbutton);
                PlaceToolBarPanel();
            }
        } else {
            SetHoverPanel(nullptr);
        }
    }
}

void Tmainform::SetHoverPanel(TAppPanel* P)
{
    if (P == HoverPanel)
        return;
    if (HoverPanel)
        HoverPanel->SetControls(nullptr, nullptr, nullptr);
    HoverPanel = P;
    if (P) {
        SyncBindAppComboBox();
        P->SetControls(ToolBarPanel, MiniClosebutton, MiniUnbindbutton);
        PlaceToolBarPanel();
    }
}

void Tmainform::PlaceToolBarPanel()
{
    const int ComboHeight = BindAppComboBox->Height();
    const RECT B = BindAppButton->BoundsRect();
    BindAppButton->SetBounds(B.left, B.top, B.right - B.left, ComboHeight);
    const RECT T = ToolBarPanel->BoundsRect();
    ToolBarPanel->SetBounds(T.left, T.top, T.right - T.left, ComboHeight + 30);
}

void Tmainform::SyncBindAppComboBox()
{
    BindAppComboBox->SetItemIndex(0);
}

void Tmainform::BuildApplicationsMenu()
{
    ApplicationsPopupMenu->Clear();
}

void Tmainform::BuildLayoutsMenu()
{
    LayoutsPopupMenu->Clear();
}

// --- Actions ---

void Tmainform::LayoutsActionExecute()
{
    {
        TBusyScope B(*this);
    }
    RefreshApps = true;
    RefreshLayoutsMenu = true;
}

void Tmainform::ApplicationsActionExecute()
{
    {
        TBusyScope B(*this);
    }
    RefreshApps = true;
}

void Tmainform::ViewKnownAppsActionExecute() {}

void Tmainform::EditKnownAppsActionExecute() {}

void Tmainform::HelpContextActionExecute()
{
    SetHelpMode(!FHelpMode);
}

void Tmainform::UpdateActionExecute() {}

void Tmainform::AddFirstActionExecute()
{
    std::string Name = "<new layout>";
    if (!InputQuery("Layout name ...", "Please enter a layout name", Name))
        return;
    RefreshLayoutsMenu = true;
}

void Tmainform::NodeActionExecute(TMainAction A)
{
    (void)A;
}

void Tmainform::ReloadActionExecute()
{
    BindAppComboBoxChange();
}

// --- Application combo and button ---

void Tmainform::BindAppComboBoxChange()
{
    TBusyScope B(*this);
}

void Tmainform::BindAppButtonClick()
{
    TBusyScope B(*this);
    if (!HoverPanel)
        return;
    std::string Exe;
    if (!ChooseExecutable(Exe))
        return;
    TIdentifyInfo Info;
    std::string Message;
    const TIdentifyResult R = CheckApplication("", Exe, Info, Message, false);
    if (R != irBind && R != irExternal) {
        if (!Message.empty())
            ShowMessage(Message);
        return;
    }
    RefreshApps = true;
}

void Tmainform::BindAppComboBoxDrawItem(int Index, HDC Dc, const RECT& Rect, unsigned State)
{
    (void)State;
    RECT R = Rect;
    R.left += 2;
    const std::string Text = BindAppComboBox->Item(Index);
    ::DrawTextA(Dc, Text.c_str(), static_cast<int>(Text.size()), &R,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

// --- Small buttons ---

TApplicationItem* Tmainform::ItemOfClientPanel(Control* Sender) const
{
    auto* Inner = dynamic_cast<Panel*>(Sender);
    return Monitor && Inner ? Monitor->FindItemByPanel(Inner) : nullptr;
}

void Tmainform::MiniClosebuttonClick()
{
    if (!HoverPanel || MiniClosebutton->Parent() != HoverPanel->ClientPanel)
        return;
    if (TApplicationItem* Item = ItemOfClientPanel(HoverPanel->ClientPanel)) {
        BringToForeground(Item->Handle);
        if (Item->State != aisActive)
            Monitor->DeleteItem(Item);
        else
            ::PostMessageA(Item->Handle, WM_CLOSE, 0, 0);
    } else {
        BringToForeground(HoverPanel->Handle());
    }
    SyncBindAppComboBox();
}

void Tmainform::MiniUnbindbuttonClick()
{
    if (!HoverPanel || MiniUnbindbutton->Parent() != HoverPanel->ClientPanel)
        return;
    if (TApplicationItem* Item = ItemOfClientPanel(HoverPanel->ClientPanel)) {
        BringToForeground(Item->Handle);
        if (Item->State == aisActive) {
            Item->UnbindWindow();
            Monitor->DeleteItem(Item);
        }
    } else {
        BringToForeground(HoverPanel->Handle());
    }
    SyncBindAppComboBox();
}

// --- Panel events ---

void Tmainform::PanelClick(Control& Sender)
{
    if (dynamic_cast<TAppPanel*>(&Sender))
        return;
    if (TApplicationItem* Item = ItemOfClientPanel(&Sender))
        BringToForeground(Item->Handle);
}

void Tmainform::AppPanelDblClick(Control& Sender)
{
    PanelClick(Sender);
}

void Tmainform::PanelResize(Control& Sender)
{
    if (TApplicationItem* Item = ItemOfClientPanel(&Sender))
        Item->AdjustWindow(true, false);
}

void Tmainform::AppPanelMouseDown(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TAppPanel* P = AppPanelOf(&Sender);
    if (!P)
        return;
    POINT Pt = {X, Y};
    ::MapWindowPoints(P->Handle(), mainpanel->Handle(), &Pt, 1);
    mainpanelMouseDown(*P, Button, Shift, Pt.x, Pt.y);
}

void Tmainform::AppPanelMouseMove(Control& Sender, TShiftState Shift, int X, int Y)
{
    TAppPanel* P = AppPanelOf(&Sender);
    if (!P)
        return;
    POINT Pt = {X, Y};
    ::MapWindowPoints(P->Handle(), mainpanel->Handle(), &Pt, 1);
    mainpanelMouseMove(*P, Shift, Pt.x, Pt.y);
    if (Busy == 0 && !Dragging && P->Mode() != apmNone)
        SetHoverPanel(P);
}

void Tmainform::AppPanelMouseUp(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    TAppPanel* P = AppPanelOf(&Sender);
    if (!P)
        return;
    POINT Pt = {X, Y};
    ::MapWindowPoints(P->Handle(), mainpanel->Handle(), &Pt, 1);
    mainpanelMouseUp(*P, Button, Shift, Pt.x, Pt.y);
}

void Tmainform::mainpanelMouseDown(Control&, TMouseButton, TShiftState, int, int) {}

void Tmainform::mainpanelMouseMove(Control&, TShiftState, int, int) {}

void Tmainform::mainpanelMouseUp(Control&, TMouseButton, TShiftState, int, int)
{
    Dragging = false;
}

void Tmainform::mainpanelResize() {}

void Tmainform::ResetPanelCursors(unsigned Node)
{
    (void)Node;
}

// --- Help mode ---

void Tmainform::SetHelpMode(bool On)
{
    FHelpMode = On;
    SetCursorRecursive(this, On ? ::LoadCursorA(nullptr, IDC_HELP) : NormalCursor);
}

Control* Tmainform::DirectChildAt(POINT Screen) const
{
    return ControlAtPos(ScreenToClient(Screen), true);
}

void Tmainform::ApplicationEventsMessage(MSG& Msg, bool& Handled)
{
    if (!FHelpMode ||
        (Msg.message != WM_LBUTTONDOWN && Msg.message != WM_RBUTTONDOWN))
        return;
    // Where the click happened, not where the cursor is now.
    POINT P = {static_cast<short>(LOWORD(Msg.lParam)), static_cast<short>(HIWORD(Msg.lParam))};
    ::ClientToScreen(Msg.hwnd, &P);
    Msg.message = 0;
    SetHelpMode(false);
    Control* C = DirectChildAt(P);
    if (!C)
        return;
    int Context = 0;
    {
        Context = HelpContextAtPoint(C, P);
    }
    if (Context != 0)
        ShowHelpTopic(Context);
    Handled = true;
}

bool Tmainform::FormHelp(unsigned short Command, int Data, bool& CallHelp)
{
    return HandleHelpRequest(Command, Data, CallHelp);
}

LRESULT Tmainform::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_MOVE) {
        const LRESULT R = Form::WndProc(Msg, WParam, LParam);
        Moved = true;
        if (Monitor)
            Monitor->AdjustAll(true, true);
        return R;
    }
    return Form::WndProc(Msg, WParam, LParam);
}
