#include "mainwindow/main.h"

#include "components/ToolbarGlyphs.h"
#include "components/ToolbarImagesWin.h"
#include "dialogs/applicationlistWin.h"
#include "dialogs/knownapplistWin.h"
#include "hosting/AppPanel.h"
#include "hosting/HelpRouting.h"
#include "hosting/Identify.h"
#include "hosting/Modules.h"
#include "hosting/RulesFile.h"
#include "hosting/VelmoraWin.h"
#include "hosting/appmonitor.h"
#include "hosting/confirmation.h"
#include "mainwindow/LayoutDesignerWin.h"
#include "mainwindow/RulesUpdateWin.h"
#include "mainwindow/SettingsStoreWin.h"
#include "mainwindow/StoredState.h"
#include "mainwindow/WindowPositionWin.h"
#include "toolkit/ActionList.h"
#include "toolkit/Application.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Dialogs.h"
#include "toolkit/Hints.h"
#include "toolkit/InputBox.h"
#include "toolkit/Menus.h"
#include "toolkit/Panel.h"
#include "toolkit/SpeedButton.h"
#include "toolkit/StatusBar.h"
#include "toolkit/StdControls.h"
#include "toolkit/ToolBar.h"

#include <algorithm>
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

void BringToForeground(HWND Wnd)
{
    if (Wnd)
        ::SetForegroundWindow(Wnd);
}

TDock DockOf(int Orientation)
{
    switch (Orientation) {
    case loLeft: return TDock::Left;
    case loTop: return TDock::Top;
    case loRight: return TDock::Right;
    case loBottom: return TDock::Bottom;
    case loCentered: return TDock::Centered;
    case loCustom: return TDock::Custom;
    default: return TDock::None;
    }
}

}  // namespace

Tmainform::Tmainform(Component* Owner) : Form(Owner, MainFormArgs())
{
    mainform = this;
    ShowHelpTopic = [](int Context) {
        bool CallHelp = true;
        return HandleHelpRequest(HELP_CONTEXT, Context, CallHelp);
    };
    ChooseExecutable = [](std::string& FileName) {
        OpenDialogArgs A;
        A.Filter = "Executable files (*.exe)|*.exe";
        A.DefaultExt = "EXE";
        OpenDialog D(A);
        if (!D.Execute())
            return false;
        FileName = D.FileName;
        return true;
    };
    MainMenuImages = CreateMainMenuImages(this);
    ToolbarImages1 = CreateToolbarImages1(this);
    CreateActions();
    CreateToolBars();
    CreatePanels();
    OnActivate = [this] { FormActivate(); };
    OnCloseQuery = [this](bool& CanClose) { FormCloseQuery(CanClose); };
    OnQueryEndSession = [this](bool& CanEnd) { QueryEndSession(CanEnd); };
    OnEndSession = [this](bool Ending) { EndSession(Ending); };
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

void Tmainform::CreateActions()
{
    ActionList1 = new ActionList(this, MainMenuImages);
    ActionList2 = new ActionList(this, ToolbarImages1);
    for (int I = 0; I < MainActionCount; ++I) {
        const TActionInfo& Info = MainActions[I];
        ActionArgs A;
        A.Caption = Info.Caption;
        A.Hint = Info.Hint;
        A.HelpContext = Info.HelpContext;
        A.ImageIndex = Info.ImageIndex;
        A.Visible = Info.Visible;
        Actions[I] = new Action(Info.ToolbarImages ? ActionList2 : ActionList1, A);
        Actions[I]->Name = Info.Name;
    }
    Actions[maLayouts]->OnExecute = [this](Action&) { LayoutsActionExecute(); };
    Actions[maApplications]->OnExecute = [this](Action&) { ApplicationsActionExecute(); };
    Actions[maViewKnownApps]->OnExecute = [this](Action&) { ViewKnownAppsActionExecute(); };
    Actions[maEditKnownApps]->OnExecute = [this](Action&) { EditKnownAppsActionExecute(); };
    Actions[maHelpContext]->OnExecute = [this](Action&) { HelpContextActionExecute(); };
    Actions[maUpdate]->OnExecute = [this](Action&) { UpdateActionExecute(); };
    Actions[maAddFirst]->OnExecute = [this](Action&) { AddFirstActionExecute(); };
    for (TMainAction A : {maAddChild, maAddNeighbour, maDelete, maRotateAntiClockwise,
                          maRotateClockwise, maMoveBackwards, maMoveForward})
        Actions[A]->OnExecute = [this, A](Action&) { NodeActionExecute(A); };
    Actions[maReload]->OnExecute = [this](Action&) { ReloadActionExecute(); };
    // Input comes before the start-up's steps: what the user asks for then
    // must see the whole stored state (an editor opened on a database half
    // read would store the half back).
    for (Action* A : Actions)
        if (A->OnExecute)
            A->OnExecute = [this, Run = std::move(A->OnExecute)](Action& Sender) {
                CompleteStartup();
                Run(Sender);
            };
}

void Tmainform::CreateToolBars()
{
    ToolBarArgs T;
    T.Parent = this;
    T.Align = TAlign::Top;
    T.Images = MainMenuImages;
    T.ShowCaptions = true;
    T.List = true;
    T.ButtonWidth = 104;
    T.ButtonHeight = 26;
    ToolBar1 = new ToolBar(this, T);
    auto AddButton = [](ToolBar* Bar, Action* A, TToolButtonStyle Style) {
        ToolButtonArgs B;
        B.Action = A;
        B.Style = Style;
        return Bar->AddButton(B);
    };
    LayoutsButton = AddButton(ToolBar1, Actions[maLayouts], TToolButtonStyle::DropDown);
    AppsButton = AddButton(ToolBar1, Actions[maApplications], TToolButtonStyle::DropDown);
    ViewAppsButton = AddButton(ToolBar1, Actions[maViewKnownApps], TToolButtonStyle::Button);
    EditAppsButton = AddButton(ToolBar1, Actions[maEditKnownApps], TToolButtonStyle::Button);
    UpdateButton = AddButton(ToolBar1, Actions[maUpdate], TToolButtonStyle::Button);
    HelpButton = AddButton(ToolBar1, Actions[maHelpContext], TToolButtonStyle::Check);

    LayoutsPopupMenu = new PopupMenu(this);
    ApplicationsPopupMenu = new PopupMenu(this);
    LayoutsPopupMenu->DrawImage = [this](HDC Dc, int Index, int X, int Y, bool Enabled) {
        MainMenuImages->DrawState(Dc, X, Y, Index, Enabled, false, false);
    };
    LayoutsButton->OnDropDown = [this](ToolButton&, const RECT& R) {
        CompleteStartup();
        RefreshMenus();
        LayoutsPopupMenu->DropDown(R);
    };
    AppsButton->OnDropDown = [this](ToolButton&, const RECT& R) {
        CompleteStartup();
        RefreshMenus();
        ApplicationsPopupMenu->DropDown(R);
    };
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

    ToolBarArgs T;
    T.Parent = mainpanel;
    T.Align = TAlign::None;
    T.Left = 5;
    T.Top = 5;
    T.Width = 130;
    T.Height = 28;
    T.Images = ToolbarImages1;
    T.ShowCaptions = true;
    T.List = true;
    T.ButtonWidth = 120;
    T.ButtonHeight = 24;
    ToolBar2 = new ToolBar(this, T);
    ToolButtonArgs B;
    B.Action = Actions[maAddFirst];
    addfirstbutton = ToolBar2->AddButton(B);
}

void Tmainform::EnsureToolPanel()
{
    if (ToolBarPanel)
        return;
    CreateToolPanel();
    if (ApplicationListForm)
        ApplicationListForm->FillApplicationCombo(KindBit(akBind), *BindAppComboBox, "",
                                                  SelectApplication);
}

void Tmainform::CreateToolPanel()
{
    SpeedButtonArgs Mini;
    Mini.Parent = mainpanel;
    Mini.Width = Mini.Height = 16;
    Mini.Visible = false;
    MiniClosebutton = new SpeedButton(this, Mini);
    MiniUnbindbutton = new SpeedButton(this, Mini);
    // Symbols of our own pixels: a symbol font may be missing.
    const auto Symbol = [](const TPixelBuffer& Glyph) {
        return [Glyph](HDC Dc, const RECT& R, bool Enabled) {
            DrawGlyphInk(Dc, R.left, R.top, Glyph, ::GetSysColor(Enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
        };
    };
    MiniClosebutton->OnPaintGlyph = Symbol(MiniCloseGlyph());
    MiniUnbindbutton->OnPaintGlyph = Symbol(MiniUnbindGlyph());
    // They show only over a panel with a program, whose monitor then reads
    // the pointer each tick: the idle pass that follows a move sees the
    // pointer leave them, over a bound window that tells us nothing.
    SetHint(MiniClosebutton, "close this application", THoverHint::WatchedLeaveCheckMs);
    SetHint(MiniUnbindbutton, "unbind this application from the panel", THoverHint::WatchedLeaveCheckMs);
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
    BindAppComboBox->OnDrawItem = [this](int Index, const RECT& R, UINT State, Canvas& Cv) {
        BindAppComboBoxDrawItem(Index, R, State, Cv);
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

    ToolBarArgs TB;
    TB.Parent = ToolBarPanel;
    TB.Align = TAlign::None;
    TB.Top = BindAppComboBox->Height();
    TB.Width = 232;
    TB.Height = 30;
    TB.Images = ToolbarImages1;
    TB.ButtonWidth = 24;
    TB.ButtonHeight = 24;
    ToolbuttonBar = new ToolBar(this, TB);
    auto Add = [this](TMainAction A) {
        ToolButtonArgs Tb;
        Tb.Action = Actions[A];
        return ToolbuttonBar->AddButton(Tb);
    };
    addchildbutton = Add(maAddChild);
    addneighbourbutton = Add(maAddNeighbour);
    deletebutton = Add(maDelete);
    ToolbuttonBar->AddSeparator();
    rotateanticlockwisebutton = Add(maRotateAntiClockwise);
    rotateclockwisebutton = Add(maRotateClockwise);
    ToolbuttonBar->AddSeparator();
    movebackwardsbutton = Add(maMoveBackwards);
    moveforwardbutton = Add(maMoveForward);
    ToolbuttonBar->AddSeparator();
    restorebutton = Add(maReload);
    ToolBarPanel->OnResize = [this] { ToolBarPanelResize(); };
}

void Tmainform::BindPanelEvents(TAppPanel& P)
{
    P.OnMouseDown = [this](Control& S, TMouseButton B, TShiftState Sh, int X, int Y) {
        AppPanelMouseDown(S, B, Sh, X, Y);
    };
    P.OnMouseMove = [this](Control& S, TShiftState Sh, int X, int Y) { AppPanelMouseMove(S, Sh, X, Y); };
    P.OnMouseUp = [this](Control& S, TMouseButton B, TShiftState Sh, int X, int Y) {
        AppPanelMouseUp(S, B, Sh, X, Y);
    };
    P.OnDblClick = [this](Control& S) { AppPanelDblClick(S); };
    P.OnClick = [this](Control& S) { PanelClick(S); };
    Panel* Inner = P.ClientPanel;
    P.OnResize = [this, Inner] { PanelResize(*Inner); };
}

// --- Start-up and shutdown ---

void Tmainform::FormCreate()
{
    FirstActivate = true;
    LayoutHost.HostControl = mainpanel;
    LayoutHost.HomeParent = mainpanel;
    LayoutHost.OnPanelCreated = [this](TAppPanel& P) { BindPanelEvents(P); };
    // Applying another layout or deleting nodes (also from a question
    // shown meanwhile) may free the panel under the mouse.
    LayoutHost.OnPanelFreeing = [this](TAppPanel& P) {
        if (&P == HoverPanel)
            SetHoverPanel(nullptr);
    };
    Layouts = std::make_unique<TLayouts>(LayoutHost);
    PanelBounds = std::make_unique<TPanelBoundsWin>(Layouts->Tree);
    BorderDrag = std::make_unique<TBorderDragWin>(Layouts->Tree, *mainpanel);
    Borders = &BorderDrag->Dragger.Borders;
    BorderDrag->Dragger.OnStorePosition = [this](TNodeId N) {
        if (layoutsform)
            layoutsform->StorePanelPosition(N, BorderDrag->Bounds);
    };
    RefreshApps = true;
    RefreshLayoutsMenu = true;
    Application->HelpFile = ProgramDir + "quorvan.chm";
    // The tool buttons show their actions, help contexts included.
    Updater = new TRulesUpdater(this, *this);
    Updater->Update.DatabaseInUse = [] { return KnownAppsForm && KnownAppsForm->Modal(); };
    FIdleId = Application->AddIdleHandler([this] { ApplicationEventsIdle(); });
    Application->OnMessage = [this](MSG& Msg, bool& Handled) { ApplicationEventsMessage(Msg, Handled); };
}

namespace {
// Posted to the main window: the next step of reading the stored state.
// Within the private range (up to 0xBFFF); above it lie registered messages.
const UINT WM_STARTUP_STEP = WM_APP + 0x1354;
// The start-up's messages, shown once whatever is running has returned
// (a session query waits for its answer).
const UINT WM_STARTUP_MESSAGES = WM_APP + 0x1355;
// The monitor saw the last hosted program go.
const UINT WM_ALL_CLOSED = WM_APP + 0x1356;
// The session's query asks the hosted programs to close.
const UINT WM_SESSION_CLOSE = WM_APP + 0x1357;
// The main window's timer that runs a step after waiting input and paints.
const UINT_PTR StartupStepTimer = 0x5354;
}  // namespace

void Tmainform::LoadWindowPlace()
{
    TRegistrySettingsStore Store;
    if (Store.OpenKeyReadOnly(HostKey())) {
        LoadWindowPosition(Store, Handle(), MainWindowPrefix);
        Store.CloseKey();
    }
}

void Tmainform::FormActivate()
{
    if (!FirstActivate)
        return;
    FirstActivate = false;
    Layouts->HasHost = true;
    StartupStore = std::make_unique<TRegistrySettingsStore>();
    TStartupHooks Hooks;
    Hooks.LoadLayouts = [this](ISettingsStore&) {
        TRegistryValuesWin Values(StartupStore->Registry);
        StartupLayoutsRead = Layouts->Tree.LoadLayouts(Values);
    };
    Hooks.ReadApplicationList = [](const StringList& Lines) {
        if (ApplicationListForm)
            ApplicationListForm->ReadApplicationList(Lines);
    };
    Hooks.ReadApplicationRules = [](const StringList& Lines, int& ErrorLine) {
        return ReadApplicationRules(Lines, ErrorLine);
    };
    Hooks.DatabaseDated = [] { return KnownApps.Count() == 0 || KnownApps.RulesDate > 0; };
    Hooks.LoadRulesFile = [] { return LoadRulesFileLines(); };
    StartupReader = std::make_unique<TStoredStateReader>(*StartupStore, std::move(Hooks));
    // The layouts and the window's place now; each stored list in a step of
    // its own (tens of ms at 10,000 x 20,000), on a posted message, which
    // comes before the idle pass: that so sees everything read.
    StartupReader->Step();
    ::PostMessageA(Handle(), WM_STARTUP_STEP, 0, 0);
}

void Tmainform::StartupStep()
{
    if (!StartupReader)
        return;
    // Posted messages come before input and paints: a click or a paint
    // waiting now goes first, the step follows on a timer, whose message
    // comes after them. So the window is painted and a click at its first
    // paint waits for one step at most.
    if (HIWORD(::GetQueueStatus(QS_INPUT | QS_PAINT)) != 0) {
        ::SetTimer(Handle(), StartupStepTimer, USER_TIMER_MINIMUM, nullptr);
        return;
    }
    StartupReader->Step();
    if (StartupReader->Done())
        FinishStartup();
    else
        ::PostMessageA(Handle(), WM_STARTUP_STEP, 0, 0);
}

void Tmainform::CompleteStartup()
{
    while (StartupReader && !StartupReader->Done())
        StartupReader->Step();
    if (StartupReader)
        FinishStartup();
}

void Tmainform::FinishStartup()
{
    const std::uint8_t Result = StartupReader->Result();
    const TStoredRulesFault Fault = StartupReader->StoredRulesFault();
    const bool RulesFileRead = StartupReader->RulesFileRead();
    StoredRulesDamaged = Fault.Any();
    StartupReader.reset();
    StartupStore.reset();
    Monitor = std::make_unique<TApplicationMonitor>(
        this, ApplicationListForm ? &ApplicationListForm->AppGrid : nullptr);
    Monitor->OnAllClosed = [this](TApplicationMonitor&) { MonitorAllClosed(); };
    Monitor->OnMainWindowBound = [this](TApplicationItem& Item) { MonitorNewApplication(Item); };
    LayoutHost.Monitor = Monitor.get();
    LayoutHost.Confirmation = ConfirmationForm;
    LayoutHost.AppList = this;
    if (ApplicationListForm)
        DesignerApps = std::make_unique<TDesignerAppList>(ApplicationListForm->List);
    if (layoutsform)
        layoutsform->Attach(*Layouts, DesignerApps.get());
    RefreshLayoutsMenu = true;
    if (Fault.Any())
        StartupMessages.push_back(StoredRulesMessage(Fault, RulesFileRead));
    if (Result > 1 && Result < ImportErrorCount)
        StartupMessages.push_back(ImportErrors[Result]);
    if (!StartupLayoutsRead.Whole())
        StartupMessages.push_back(LayoutsReadMessage(StartupLayoutsRead));
    if (!StartupMessages.empty())
        ::PostMessageA(Handle(), WM_STARTUP_MESSAGES, 0, 0);
}

void Tmainform::ShowStartupMessages()
{
    // Each shown once, also when a box's loop brings this message again.
    while (!StartupMessages.empty()) {
        const std::string Text = StartupMessages.front();
        StartupMessages.erase(StartupMessages.begin());
        ShowMessage(Text);
    }
}

void Tmainform::FormCloseQuery(bool& CanClose)
{
    // A close while the stored state is still being read writes it whole.
    CompleteStartup();
    if (Updater && Updater->Busy()) {
        CanClose = false;
        ShowMessage("Download in progress. Please wait!");
        return;
    }
    CanClose = !Monitor || Monitor->CloseAll();
    SessionBeganClose = false;
    if (CanClose)
        StoreState();
}

void Tmainform::QueryEndSession(bool& CanEnd)
{
    // Asks what a close asks, but reads nothing more and shows nothing: the
    // sender waits. A running download refuses; so do hosted programs still
    // active, which are asked to close. The query is a sent message: it may
    // come inside a window pass (binding waits for another program), so the
    // programs are asked from a message of its own, once that pass is over.
    if (Updater && Updater->Busy()) {
        CanEnd = false;
        return;
    }
    CanEnd = !Monitor || Monitor->CountActiveItems() == 0;
    if (!CanEnd) {
        // A close the user asked for before stays theirs.
        if (!Monitor->Closing)
            SessionBeganClose = true;
        SessionClosePending = true;
        ::PostMessageA(Handle(), WM_SESSION_CLOSE, 0, 0);
    }
}

void Tmainform::SessionClose()
{
    if (!SessionClosePending)
        return;
    SessionClosePending = false;
    // Gone meanwhile: the close the query began goes ahead.
    if (Monitor && Monitor->CloseAll())
        Close();
}

void Tmainform::EndSession(bool Ending)
{
    if (!Ending) {
        // The session goes on, and so does the program, unless the user
        // closed it.
        SessionClosePending = false;
        if (Monitor && SessionBeganClose)
            Monitor->CallOffClose();
        SessionBeganClose = false;
        return;
    }
    // Whatever the query answered, what a close stores; the start-up's
    // messages are not shown.
    CompleteStartup();
    StoreState();
}

void Tmainform::StoreState()
{
    // Nothing was read before the first activation: the stored state stays.
    if (FirstActivate)
        return;
    // Gone from the screen before the state is written: a large database
    // takes a while to write, which the user need not watch.
    ::ShowWindow(Handle(), SW_HIDE);
    TRegistrySettingsStore Store;
    TShutdownHooks Hooks;
    Hooks.ExePath = ModuleFileName(nullptr);
    Hooks.SaveWindowPosition = [this](ISettingsStore& S) {
        SaveWindowPosition(S, Handle(), MainWindowPrefix);
    };
    Hooks.SaveLayouts = [this, &Store](ISettingsStore&) {
        TRegistryValuesWin Values(Store.Registry);
        Layouts->Tree.SaveLayouts(Values);
    };
    Hooks.DatabaseHasEntries = [] {
        return KnownApps.Count() > 0 || AllowedWindows.Count() > 0 || ForbiddenWindows.Count() > 0;
    };
    // An edit or an update marks the database modified; Restore defaults
    // deleted the stored one itself.
    Hooks.KeepStoredDatabase = [this] {
        return StoredRulesDamaged &&
               !(KnownApps.Modified || AllowedWindows.Modified || ForbiddenWindows.Modified);
    };
    Hooks.WriteApplicationRules = [] {
        StringList Lines;
        WriteApplicationRules(Lines);
        return Lines;
    };
    Hooks.ApplicationListModified = [] {
        return ApplicationListForm && ApplicationListForm->ApplicationListModified();
    };
    Hooks.WriteApplicationList = [] {
        StringList Lines;
        ApplicationListForm->WriteApplicationList(Lines);
        return Lines;
    };
    WriteStoredState(Store, Hooks);
}

void Tmainform::FreeLayoutPanels()
{
    if (!Layouts)
        return;
    for (const TNodeId N : Layouts->Tree.AllNodes())
        if (TAppPanel* P = Layouts->Tree.Data(N)) {
            Layouts->Tree.SetData(N, nullptr);
            LayoutHost.FreePanel(P);
        }
}

void Tmainform::FormDestroy()
{
    // The application object may be going already (it frees its forms).
    if (FIdleId && Application) {
        Application->RemoveIdleHandler(FIdleId);
        Application->OnMessage = nullptr;
        FIdleId = 0;
    }
    delete Updater;
    Updater = nullptr;
    Borders = nullptr;
    BorderDrag.reset();
    // The host panels call the monitor as they go: they go first.
    HoverPanel = nullptr;
    FreeLayoutPanels();
    LayoutHost.Monitor = nullptr;
    Monitor.reset();
}

void Tmainform::MonitorAllClosed()
{
    // The monitor reports from inside a window pass: close once it is over,
    // unless the close was called off meanwhile (the session went on, or a
    // program was opened again).
    ::PostMessageA(Handle(), WM_ALL_CLOSED, 0, 0);
}

void Tmainform::MonitorNewApplication(TApplicationItem& Item)
{
    TAppPanelRelationshipList List(LayoutHost);
    Layouts->CollectNodesForNewApp(Layouts->AppliedLayout(), &Item, List);
    if (List.Count() > 0)
        Layouts->StartPanelApplications(List);
}

// --- Idle pass ---

TNodeId Tmainform::HoverNode() const
{
    return HoverPanel ? Layouts->Tree.FindNodeByPanel(HoverPanel) : NoNode;
}

void Tmainform::RefreshMenus()
{
    if (RefreshApps) {
        if (ApplicationListForm && BindAppComboBox)
            ApplicationListForm->FillApplicationCombo(KindBit(akBind), *BindAppComboBox, "",
                                                      SelectApplication);
        SyncBindAppComboBox();
        BuildApplicationsMenu();
        RefreshApps = false;
    }
    if (RefreshLayoutsMenu) {
        BuildLayoutsMenu();
        RefreshLayoutsMenu = false;
    }
}

void Tmainform::ApplicationEventsIdle()
{
    if (Updater)
        Updater->StartNextDownload();
    if (Monitor)
        Monitor->AdjustAll(false, Moved);
    Moved = false;
    RefreshMenus();
    const TLayoutTree& Tree = Layouts->Tree;
    MainAction(maAddFirst).SetCaption(Tree.CanAddChild(Layouts->AppliedLayout()) ? AddPanelCaption
                                                                                 : AddLayoutCaption);
    const TNodeId N = HoverNode();
    if (N != NoNode) {
        TNodeAbilities A;
        A.Dock = DockOf(Tree.NodeOrientation(N, loNone));
        A.CanAddChild = Tree.CanAddChild(N);
        A.CanAddNeighbour = Tree.CanAddNeighbour(N);
        A.CanDelete = Tree.CanDelete(N);
        A.CanRotate = Tree.CanRotate(N);
        A.CanMoveUp = Tree.CanMoveUp(N);
        A.CanMoveDown = Tree.CanMoveDown(N);
        UpdatePanelActions(&A, PanelActions);
        const std::pair<TMainAction, bool> Enabled[] = {
            {maAddChild, PanelActions.AddChild}, {maAddNeighbour, PanelActions.AddNeighbour},
            {maDelete, PanelActions.Delete}, {maRotateClockwise, PanelActions.RotateClockwise},
            {maRotateAntiClockwise, PanelActions.RotateAntiClockwise},
            {maMoveBackwards, PanelActions.MoveBackwards}, {maMoveForward, PanelActions.MoveForward}};
        for (const auto& E : Enabled)
            MainAction(E.first).SetEnabled(E.second);
        MainAction(maReload).SetVisible(PanelActions.ReloadVisible);
        MainAction(maMoveBackwards).SetImageIndex(PanelActions.BackwardsImage);
        MainAction(maMoveForward).SetImageIndex(PanelActions.ForwardImage);
    }
    POINT P;
    if (Busy != 0 || !::GetCursorPos(&P))
        return;
    EndLeaveTrackingAway(P);
    if (HoverPanel) {
        const POINT C = HoverPanel->ScreenToClient(P);
        if (HoverPanel->ContainsPoint(C)) {
            // The cursor feedback of the panel's own mouse move.
            if (HoverPanel->OnMouseMove)
                HoverPanel->OnMouseMove(*HoverPanel, 0, C.x, C.y);
            if (HoverPanel) {
                HoverPanel->SetControls(ToolBarPanel, MiniClosebutton, MiniUnbindbutton);
                PlaceToolBarPanel();
            }
        } else {
            SetHoverPanel(nullptr);
        }
        return;
    }
    const POINT C = mainpanel->ScreenToClient(P);
    TBorderSpace Space{Tree, *PanelBounds};
    if (auto B = FindBorderAt(Space, Layouts->AppliedLayout(), C.x, C.y))
        if (TAppPanel* Panel = Tree.Data(B->Node))
            if (Panel->Mode() != apmNone)
                SetHoverPanel(Panel);
}

void Tmainform::SetHoverPanel(TAppPanel* P)
{
    if (P == HoverPanel)
        return;
    if (HoverPanel)
        HoverPanel->SetControls(nullptr, nullptr, nullptr);
    HoverPanel = P;
    if (P) {
        EnsureToolPanel();
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
    ToolBarPanel->SetBounds(T.left, T.top, T.right - T.left, ComboHeight + ToolbuttonBar->Height());
}

void Tmainform::ToolBarPanelResize()
{
    const int W = ToolBarPanel->ClientRect().right;
    const RECT B = BindAppButton->BoundsRect();
    const int DotsWidth = B.right - B.left;
    const int ComboWidth = std::max(0, W - DotsWidth);
    // The height of a combo box's window is that of its open list.
    ::SetWindowPos(BindAppComboBox->Handle(), nullptr, 0, 0, ComboWidth, ComboBoxArgs().DropDownHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    BindAppButton->SetBounds(ComboWidth, B.top, DotsWidth, B.bottom - B.top);
    const RECT T = ToolbuttonBar->BoundsRect();
    ToolbuttonBar->SetBounds(T.left, T.top, W, T.bottom - T.top);
}

void Tmainform::SyncBindAppComboBox()
{
    if (!BindAppComboBox)
        return;
    std::string Name;
    int Index = 0;
    if (Layouts->Tree.NodeAppName(HoverNode(), Name)) {
        Index = BindAppComboBox->IndexOf(Name);
        if (Index < 0)
            Index = 0;
    }
    BindAppComboBox->SetItemIndex(Index);
}

void Tmainform::BuildApplicationsMenu()
{
    ApplicationsPopupMenu->Clear();
    AppMenuIcons.clear();
    if (!ApplicationListForm)
        return;
    StringList Names;
    ApplicationListForm->BindableApplications(KindBit(akBind) | KindBit(akExternal), Names, false);
    // The shell's image list and an item's icon are fetched when the menu
    // opens and the item is drawn: the shell takes long over each file,
    // and a long menu shows few items at a time.
    ApplicationsPopupMenu->OnPopup = [this] {
        int W = 16, H = 16;
        ::ImageList_GetIconSize(ApplicationListForm->SystemImages().Handle(), &W, &H);
        ApplicationsPopupMenu->ImageSize = {W, H};
    };
    ApplicationsPopupMenu->DrawImage = [this](HDC Dc, int Item, int X, int Y, bool) {
        ::ImageList_Draw(ApplicationListForm->SystemImages().Handle(), AppMenuIcon(Item), Dc, X, Y,
                         ILD_TRANSPARENT);
    };
    for (const std::string& Name : Names) {
        int Index = -1;
        if (!FindKnownAppByName(Name, Index, false))
            continue;
        MenuItem Item;
        Item.Caption = Name;
        Item.Tag = Index;
        // The item's place in AppMenuIcons, which holds its icon once drawn.
        Item.ImageIndex = static_cast<int>(AppMenuIcons.size());
        AppMenuIcons.push_back(-1);
        // Bound to the name: a rebuilt database shifts the indexes.
        Item.OnClick = [this, Name](MenuItem&) { ApplicationsMenuClick(Name); };
        ApplicationsPopupMenu->Add(std::move(Item));
    }
}

int Tmainform::AppMenuIcon(int Item)
{
    if (Item < 0 || Item >= static_cast<int>(AppMenuIcons.size()))
        return -1;
    int& Icon = AppMenuIcons[static_cast<std::size_t>(Item)];
    if (Icon < 0)
        Icon = ApplicationListForm->ApplicationIconIndex(ApplicationsPopupMenu->Items(Item).Caption);
    return Icon;
}

void Tmainform::BuildLayoutsMenu()
{
    LayoutsPopupMenu->Clear();
    const TLayoutTree& Tree = Layouts->Tree;
    for (const TNodeId Root : Tree.Roots()) {
        MenuItem Item;
        Item.Caption = Tree.Text(Root);
        Item.Tag = Tree.AbsoluteIndex(Root);
        Item.GroupIndex = 1;
        Item.Checked = Root == Layouts->AppliedLayout();
        // Bound to the node itself: later edits shift absolute indexes.
        Item.OnClick = [this, Root](MenuItem&) { LayoutsMenuClick(Root); };
        LayoutsPopupMenu->Add(Item);
    }
}

void Tmainform::LayoutsMenuClick(TNodeId Node)
{
    if (!Layouts->Tree.IsLayoutNode(Node))
        return;
    Layouts->ApplyLayout(Node);
    RefreshLayoutsMenu = true;
}

void Tmainform::ApplicationsMenuClick(const std::string& Name)
{
    int Index = -1;
    std::string Path;
    if (!Monitor || !FindKnownAppByName(Name, Index, false) ||
        !ApplicationLocation(Name, Path, true))
        return;
    TIdentifyInfo Info;
    Monitor->OpenApplication(Name, Path, Info, true, true, nullptr, "");
}

bool Tmainform::ApplicationLocation(const std::string& Name, std::string& Path, bool Translate)
{
    return ApplicationListForm && ApplicationListForm->ApplicationLocation(Name, Path, Translate);
}

// --- Actions ---

void Tmainform::LayoutsActionExecute()
{
    if (layoutsform) {
        TBusyScope B(*this);
        layoutsform->ExecuteEditor();
    }
    RefreshApps = true;
    RefreshLayoutsMenu = true;
}

void Tmainform::ApplicationsActionExecute()
{
    if (ApplicationListForm) {
        TBusyScope B(*this);
        ApplicationListForm->ShowApplicationList();
    }
    RefreshApps = true;
}

void Tmainform::ViewKnownAppsActionExecute()
{
    if (KnownAppsForm)
        KnownAppsForm->ShowKnownApps(false, 20);
    Updater->Update.ImportHeld();
}

void Tmainform::EditKnownAppsActionExecute()
{
    if (KnownAppsForm)
        KnownAppsForm->ShowKnownApps(true, 25);
    Updater->Update.ImportHeld();
}

void Tmainform::HelpContextActionExecute()
{
    SetHelpMode(!MainAction(maHelpContext).Checked());
}

void Tmainform::UpdateActionExecute()
{
    Updater->UpdateActionExecute();
}

void Tmainform::AddFirstActionExecute()
{
    TLayoutTree& Tree = Layouts->Tree;
    const TNodeId Applied = Layouts->AppliedLayout();
    if (Tree.CanAddChild(Applied)) {
        Tree.AddChildPanel(Applied);
        return;
    }
    std::string Name = NewLayoutName;
    const auto Ask = [](std::string& Answer) {
        return InputQuery("Layout name ...", "Please enter a layout name", Answer);
    };
    if (!AskLayoutName(Name, Ask, [this](const std::string& Message) { ShowMessage(Message); }))
        return;
    const TNodeId Node = Tree.CreateLayoutNode(Name, nkLayout);
    if (Node == NoNode)
        return;
    Layouts->ApplyLayout(Node);
    Tree.AddChildPanel(Node);
    RefreshLayoutsMenu = true;
}

void Tmainform::NodeActionExecute(TMainAction A)
{
    TLayoutTree& Tree = Layouts->Tree;
    const TNodeId N = HoverNode();
    if (N == NoNode)
        return;
    switch (A) {
    case maAddChild: Tree.AddChildPanel(N); break;
    case maAddNeighbour: Tree.AddNeighbourPanel(N); break;
    case maRotateAntiClockwise: Tree.RotateGroup(N, false); break;
    case maRotateClockwise: Tree.RotateGroup(N, true); break;
    case maMoveBackwards: Tree.MoveUp(N); break;
    case maMoveForward: Tree.MoveDown(N); break;
    case maDelete:
        SetHoverPanel(nullptr);
        Layouts->DeleteNode(N);
        break;
    default: break;
    }
}

void Tmainform::ReloadActionExecute()
{
    BindAppComboBoxChange();
}

// --- Application combo and button ---

void Tmainform::BindAppComboBoxChange()
{
    TBusyScope B(*this);
    if (!BindAppComboBox)
        return;
    const int Selected = BindAppComboBox->ItemIndex();
    if (Selected <= 0 || !HoverPanel || !Monitor)
        return;
    const std::string Name = BindAppComboBox->Item(Selected);
    // The panel could not keep the name in the stored layouts.
    if (!IsStorableAppName(Name)) {
        SyncBindAppComboBox();
        ShowMessage(UnstorableAppNameMessage(Name));
        return;
    }
    std::string Path;
    if (!ApplicationLocation(Name, Path, true))
        return;
    std::string Params;
    GetModuleStartParams(Name, Params);
    const TNodeId Node = HoverNode();
    TIdentifyInfo Info;
    if (Monitor->OpenApplication(Name, Path, Info, false, true, HoverPanel->ClientPanel, Params))
        Layouts->Tree.SetAppNode(Node, Name);
    else
        SyncBindAppComboBox();
}

void Tmainform::BindAppButtonClick()
{
    TBusyScope B(*this);
    if (!HoverPanel || !Monitor)
        return;
    std::string Exe;
    if (!ChooseExecutable(Exe))
        return;
    TIdentifyInfo Info;
    std::string Message;
    const TIdentifyResult R = CheckApplication("", Exe, Info, Message, false);
    if (R != irBind && R != irExternal) {
        ShowMessage(Message);
        return;
    }
    const Tknownapp* Known = KnownApps.GetKnownApp(Info.Index);
    // Refused before it is listed: the panel could not keep the name.
    if (R == irBind && Known && !IsStorableAppName(Known->Name)) {
        ShowMessage(UnstorableAppNameMessage(Known->Name));
        return;
    }
    if (!ApplicationListForm || !ApplicationListForm->AddApplication(Exe, Info))
        return;
    if (R == irExternal) {
        ShowMessage(Message);
    } else {
        std::string Params;
        GetStartParams(Info, Params);
        const TNodeId Node = HoverNode();
        TIdentifyInfo Opened;
        if (Monitor->OpenApplication("", Exe, Opened, false, true, HoverPanel->ClientPanel, Params) &&
            Known)
            Layouts->Tree.SetAppNode(Node, Known->Name);
    }
    RefreshApps = true;
}

void Tmainform::BindAppComboBoxDrawItem(int Index, const RECT& Rect, unsigned State, Canvas& C)
{
    (void)State;
    // The whole item takes the state's background, so that the chosen item
    // of the open list shows and nothing of the last drawing stays.
    if (Index < 0) {
        C.FillRect(Rect);
        return;
    }
    const std::string Text = BindAppComboBox->Item(Index);
    HIMAGELIST Icons = Index > 0 && ApplicationListForm ? ApplicationListForm->SystemImages().Handle()
                                                        : nullptr;
    int W = 0, H = 0;
    if (Icons)
        ::ImageList_GetIconSize(Icons, &W, &H);
    const int Y = Rect.top + ((Rect.bottom - Rect.top) - C.TextHeight(Text)) / 2;
    C.TextRect(Rect, Rect.left + 2 + W, Y, Text);
    if (Icons)
        ::ImageList_Draw(Icons, ApplicationListForm->ApplicationIconIndex(Text), C.Handle(),
                         Rect.left, Rect.top + ((Rect.bottom - Rect.top) - H) / 2, ILD_TRANSPARENT);
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

TAppPanel* Tmainform::ToMainPanel(Control& Sender, int& X, int& Y) const
{
    return BorderDrag && BorderDrag->ToHost(Sender, X, Y) ? AppPanelOf(&Sender) : nullptr;
}

void Tmainform::AppPanelMouseDown(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (TAppPanel* P = ToMainPanel(Sender, X, Y))
        mainpanelMouseDown(*P, Button, Shift, X, Y);
}

void Tmainform::AppPanelMouseMove(Control& Sender, TShiftState Shift, int X, int Y)
{
    TAppPanel* P = ToMainPanel(Sender, X, Y);
    if (!P)
        return;
    mainpanelMouseMove(*P, Shift, X, Y);
    if (Busy == 0 && !Dragging && P->Mode() != apmNone)
        SetHoverPanel(P);
}

void Tmainform::AppPanelMouseUp(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y)
{
    if (TAppPanel* P = ToMainPanel(Sender, X, Y))
        mainpanelMouseUp(*P, Button, Shift, X, Y);
}

// The drag itself, with the capture and the storing of a moved free
// panel, is BorderDrag's; Dragging and the anchor mirror it.
void Tmainform::mainpanelMouseDown(Control&, TMouseButton Button, TShiftState, int X, int Y)
{
    BorderDrag->HostMouseDown(Button, X, Y);
    SyncDragState();
}

void Tmainform::mainpanelMouseMove(Control&, TShiftState, int X, int Y)
{
    BorderDrag->HostMouseMove(X, Y);
    SyncDragState();
}

void Tmainform::mainpanelMouseUp(Control&, TMouseButton Button, TShiftState, int X, int Y)
{
    BorderDrag->HostMouseUp(Button, X, Y);
    SyncDragState();
}

void Tmainform::SyncDragState()
{
    Dragging = BorderDrag->Dragger.Dragging;
    DragX = BorderDrag->Dragger.DragX;
    DragY = BorderDrag->Dragger.DragY;
}

void Tmainform::mainpanelResize()
{
    if (Layouts)
        Layouts->Relayout(nullptr);
}

void Tmainform::ResetPanelCursors(TNodeId Node)
{
    if (BorderDrag)
        BorderDrag->Dragger.ResetPanelCursors(Node);
}

// --- Help mode ---

void Tmainform::SetHelpMode(bool On)
{
    MainAction(maHelpContext).SetChecked(On);
    SetCursorRecursive(this, On ? ::LoadCursorA(nullptr, IDC_HELP) : NormalCursor);
}

Control* Tmainform::DirectChildAt(POINT Screen) const
{
    return ControlAtPos(ScreenToClient(Screen), true);
}

void Tmainform::ApplicationEventsMessage(MSG& Msg, bool& Handled)
{
    if (!MainAction(maHelpContext).Checked() ||
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
    if (auto* Bar = dynamic_cast<ToolBar*>(C)) {
        std::vector<TToolButtonSpot> Spots;
        for (int I = 0; I < Bar->ButtonCount(); ++I) {
            const ToolButton* B = Bar->Button(I);
            const RECT R = B->ItemRect();
            Spots.push_back({R.left, R.top, R.right, R.bottom,
                             B->Style() != TToolButtonStyle::Separator && B->Visible(),
                             B->HelpContext()});
        }
        const POINT Q = Bar->ScreenToClient(P);
        if (!ToolButtonHelpContext(Spots, Q.x, Q.y, Context))
            return;
    } else {
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

// --- Rules update view ---

void Tmainform::ShowStatus(const std::string& Text)
{
    // Only a rules update shows it: most sessions never need it.
    if (!StatusBar1) {
        StatusBarArgs S;
        S.Parent = mainpanel;
        S.Visible = false;
        StatusBar1 = new StatusBar(this, S);
        // In front of the layout's panels, also when they are placed again.
        ::SetWindowPos(StatusBar1->Handle(), HWND_TOP, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        LayoutHost.AbovePanels = StatusBar1;
    }
    StatusBar1->SetSimpleText(Text);
    StatusBar1->SetVisible(true);
}

void Tmainform::HideStatus()
{
    if (!StatusBar1)
        return;
    StatusBar1->SetSimpleText("");
    StatusBar1->SetVisible(false);
}

void Tmainform::ShowMessage(const std::string& Text)
{
    ::ShowMessage(Text);
}

LRESULT Tmainform::WndProc(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_STARTUP_STEP) {
        StartupStep();
        return 0;
    }
    if (Msg == WM_STARTUP_MESSAGES) {
        ShowStartupMessages();
        return 0;
    }
    if (Msg == WM_SESSION_CLOSE) {
        SessionClose();
        return 0;
    }
    if (Msg == WM_ALL_CLOSED) {
        if (Monitor && Monitor->Closing)
            Close();
        return 0;
    }
    if (Msg == WM_TIMER && WParam == StartupStepTimer) {
        ::KillTimer(Handle(), StartupStepTimer);
        StartupStep();
        return 0;
    }
    if (Msg == WM_MOVE) {
        const LRESULT R = Form::WndProc(Msg, WParam, LParam);
        Moved = true;
        if (Monitor)
            Monitor->AdjustAll(true, true);
        return R;
    }
    return Form::WndProc(Msg, WParam, LParam);
}
