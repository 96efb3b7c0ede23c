#include "mainwindow/main.h"
#include "mainwindow/mainParts.h"

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
#include "toolkit/AppMessages.h"
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

Tmainform* mainform = nullptr;

using namespace mainparts;

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

// --- Creation and destruction ---

void Tmainform::FormCreate()
{
    FirstActivate = true;
    LayoutHost.HostControl = mainpanel;
    LayoutHost.HomeParent = mainpanel;
    LayoutHost.SessionMayEnd = &SessionMayEnd;
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
    Application->OnModalWindowsClosed = [this] {
        if (CloseAfterModal)
            ::PostMessageA(Handle(), WM_ALL_CLOSED, 0, 0);
    };
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
        Application->OnModalWindowsClosed = nullptr;
        FIdleId = 0;
    }
    delete Updater;
    Updater = nullptr;
    Borders = nullptr;
    BorderDrag.reset();
    if (Layouts)
        Layouts->CancelStarts();
    // The host panels call the monitor as they go: they go first.
    HoverPanel = nullptr;
    FreeLayoutPanels();
    LayoutHost.Monitor = nullptr;
    Monitor.reset();
}

void Tmainform::MonitorNewApplication(TApplicationItem& Item)
{
    TAppPanelRelationshipList List(LayoutHost);
    Layouts->CollectNodesForNewApp(Layouts->AppliedLayout(), &Item, List);
    if (List.Count() > 0)
        Layouts->StartPanelApplications(List);
}

// --- Idle pass ---

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
        AllClosed();
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
