// The main window: the frame whose client panel holds the applied layout's
// host panels. It reads the host's registry state at its first activation
// and writes it when it closes; at every idle moment it adjusts the hosted
// windows, rebuilds its menus when flagged, enables the panel actions for
// the panel under the mouse and lends that panel its floating controls.
#pragma once

#include "mainwindow/BorderDragWin.h"
#include "mainwindow/LayoutBorders.h"
#include "mainwindow/LayoutDesigner.h"
#include "mainwindow/Layouts.h"
#include "mainwindow/LayoutsWin.h"
#include "mainwindow/MainActions.h"
#include "mainwindow/RulesUpdate.h"
#include "mainwindow/SettingsStoreWin.h"
#include "mainwindow/StoredState.h"
#include "toolkit/Form.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class Action;
class ActionList;
class Button;
class Canvas;
class ComboBox;
class Panel;
class PopupMenu;
class SpeedButton;
class StatusBar;
class TAppPanel;
class TApplicationItem;
class TApplicationMonitor;
class TRulesUpdater;
class TStaticImageList;
class ToolBar;
class ToolButton;
enum class TMouseButton;
using TShiftState = unsigned;

class Tmainform : public Form, public IRulesUpdateView, public IApplicationLocations {
public:
    explicit Tmainform(Component* Owner);
    ~Tmainform() override;

    // --- Components ---
    TStaticImageList* MainMenuImages = nullptr;
    TStaticImageList* ToolbarImages1 = nullptr;
    ActionList* ActionList1 = nullptr;
    ActionList* ActionList2 = nullptr;
    Action* Actions[MainActionCount] = {};
    ToolBar* ToolBar1 = nullptr;
    ToolButton* LayoutsButton = nullptr;
    ToolButton* AppsButton = nullptr;
    ToolButton* ViewAppsButton = nullptr;
    ToolButton* EditAppsButton = nullptr;
    ToolButton* UpdateButton = nullptr;
    ToolButton* HelpButton = nullptr;
    PopupMenu* LayoutsPopupMenu = nullptr;
    PopupMenu* ApplicationsPopupMenu = nullptr;
    Panel* mainpanel = nullptr;
    ToolBar* ToolBar2 = nullptr;
    ToolButton* addfirstbutton = nullptr;
    StatusBar* StatusBar1 = nullptr;
    // The hover panel's tools, made when a panel is first hovered.
    SpeedButton* MiniClosebutton = nullptr;
    SpeedButton* MiniUnbindbutton = nullptr;
    Panel* ToolBarPanel = nullptr;
    ComboBox* BindAppComboBox = nullptr;
    Button* BindAppButton = nullptr;
    ToolBar* ToolbuttonBar = nullptr;
    ToolButton* addchildbutton = nullptr;
    ToolButton* addneighbourbutton = nullptr;
    ToolButton* deletebutton = nullptr;
    ToolButton* rotateanticlockwisebutton = nullptr;
    ToolButton* rotateclockwisebutton = nullptr;
    ToolButton* movebackwardsbutton = nullptr;
    ToolButton* moveforwardbutton = nullptr;
    ToolButton* restorebutton = nullptr;

    Action& MainAction(TMainAction A) const { return *Actions[A]; }

    // --- State ---
    bool FirstActivate = false;
    std::unique_ptr<TApplicationMonitor> Monitor;
    // The layouts and their host panels in mainpanel; the border list of
    // a drag over them.
    TLayoutHostWin LayoutHost;
    std::unique_ptr<TLayouts> Layouts;
    std::unique_ptr<TPanelBoundsWin> PanelBounds;
    // The border list of the drag, BorderDrag's own.
    TPanelBorderList* Borders = nullptr;
    // Border dragging on mainpanel: capture, cursors, storing a moved free
    // panel through the designer.
    std::unique_ptr<TBorderDragWin> BorderDrag;
    // The application list as the designer reads it.
    std::unique_ptr<TDesignerAppList> DesignerApps;
    // The HTTP grabber and the download queue.
    TRulesUpdater* Updater = nullptr;
    int DragX = 0, DragY = 0;
    bool Dragging = false;
    bool Moved = false;
    TAppPanel* HoverPanel = nullptr;
    bool RefreshApps = false;
    bool RefreshLayoutsMenu = false;
    int Busy = 0;
    HCURSOR NormalCursor = nullptr;
    // The node actions as the last idle pass left them.
    TPanelActionState PanelActions;

    // Opens a help topic; HandleHelpRequest unless replaced.
    std::function<bool(int HelpContext)> ShowHelpTopic;
    // The chosen executable of the "..." button; the open dialog unless
    // replaced. False when nothing was chosen.
    std::function<bool(std::string& FileName)> ChooseExecutable;

    // Reads the stored place and state of the hidden window, before it
    // first shows: a stored maximized window shows maximized at once.
    void LoadWindowPlace();

    // --- Handlers ---
    void FormCreate();
    void FormActivate();
    // Reads everything the first activation left to read, then creates the
    // monitor (FinishStartup); nothing once done.
    void CompleteStartup();
    // The application box and the two drop-down menus, rebuilt when flagged.
    void RefreshMenus();
    void FormCloseQuery(bool& CanClose);
    // The session's query and its end (the program is halted after an end).
    void QueryEndSession(bool& CanEnd);
    void EndSession(bool Ending);
    bool SessionClosePending = false;
    // The pending close is the session's, not the user's: a call-off ends it.
    bool SessionBeganClose = false;
    // A query said yes: until the session goes on, the start-up's messages
    // wait (the end would take a box down unread), and so do the layout's
    // starts (a program would outlive the session).
    bool SessionMayEnd = false;
    void SessionClose();
    // The hosted programs went while a modal window of ours was open: the
    // close waits for it, or its unsaved edits would go with it.
    bool CloseAfterModal = false;
    void AllClosed();
    // What a close stores: only what was read; nothing before the first
    // activation, nothing twice. Answers the parts that could not be stored.
    std::vector<TStoreFailure> StoreState();
    // The state was stored: the program is ending.
    bool StateStored = false;
    // StoreState after an update held meanwhile: answers what is to be told
    // once stored (the update's result, what could not be stored).
    std::vector<std::string> StoreAtEnd();
    void FormDestroy();
    void MonitorAllClosed();
    void MonitorNewApplication(TApplicationItem& Item);
    void ApplicationEventsIdle();
    void ApplicationEventsMessage(MSG& Msg, bool& Handled);
    bool FormHelp(unsigned short Command, int Data, bool& CallHelp);

    void LayoutsActionExecute();
    void ApplicationsActionExecute();
    void ViewKnownAppsActionExecute();
    void EditKnownAppsActionExecute();
    void HelpContextActionExecute();
    void UpdateActionExecute();
    void LayoutsMenuClick(TNodeId Node);
    void ApplicationsMenuClick(const std::string& Name);
    void AddFirstActionExecute();
    void NodeActionExecute(TMainAction A);
    void ReloadActionExecute();

    void BindAppComboBoxChange();
    void BindAppButtonClick();
    // C comes with the colours of the item's state.
    void BindAppComboBoxDrawItem(int Index, const RECT& Rect, unsigned State, Canvas& C);
    void MiniClosebuttonClick();
    void MiniUnbindbuttonClick();

    void PanelClick(Control& Sender);
    void AppPanelDblClick(Control& Sender);
    void PanelResize(Control& Sender);
    void AppPanelMouseDown(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void AppPanelMouseMove(Control& Sender, TShiftState Shift, int X, int Y);
    void AppPanelMouseUp(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void mainpanelMouseDown(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void mainpanelMouseMove(Control& Sender, TShiftState Shift, int X, int Y);
    void mainpanelMouseUp(Control& Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void mainpanelResize();

    // --- Operations ---
    void SetHoverPanel(TAppPanel* P);
    // Makes the hover tools (with the application combo filled) once.
    void EnsureToolPanel();
    void SyncBindAppComboBox();
    void PlaceToolBarPanel();
    // The combo, its "..." button and the tool buttons across the width
    // that the host panel gives the tool panel.
    void ToolBarPanelResize();
    void BuildApplicationsMenu();
    // The icon of the applications menu's item Item (its ImageIndex),
    // looked up at its first drawing.
    int AppMenuIcon(int Item);
    void BuildLayoutsMenu();
    void SetHelpMode(bool On);
    void ResetPanelCursors(TNodeId Node);
    // The node of the hover panel, or NoNode.
    TNodeId HoverNode() const;

    // The status bar and message boxes of the rules update.
    void ShowStatus(const std::string& Text) override;
    void HideStatus() override;
    void ShowMessage(const std::string& Text) override;
    // Where the application list finds a named application.
    bool ApplicationLocation(const std::string& Name, std::string& Path, bool Translate) override;

protected:
    LRESULT WndProc(UINT Msg, WPARAM WParam, LPARAM LParam) override;

private:
    void CreateActions();
    void CreateToolBars();
    void CreatePanels();
    void CreateToolPanel();
    void BindPanelEvents(TAppPanel& P);
    // The host panel of Sender and the point in mainpanel's coordinates.
    TAppPanel* ToMainPanel(Control& Sender, int& X, int& Y) const;
    // The hosted item of a host panel's inner panel, or nullptr.
    TApplicationItem* ItemOfClientPanel(Control* Sender) const;
    void FreeLayoutPanels();
    void SyncDragState();
    // The control of this window under a screen point: direct children
    // only, disabled ones included.
    Control* DirectChildAt(POINT Screen) const;

    int FIdleId = 0;
    // The first activation's reading of the stored state, while it runs.
    std::unique_ptr<TRegistrySettingsStore> StartupStore;
    std::unique_ptr<TStoredStateReader> StartupReader;
    // The layouts' reading while it runs, a part a step.
    std::unique_ptr<TRegistryValuesWin> StartupLayoutValues;
    std::unique_ptr<TLayoutsLoader> StartupLayouts;
    // What the layouts' reading met, told when the reading is over.
    TLayoutsReadReport StartupLayoutsRead;
    // The stored database could not be read: it is not overwritten unless
    // the database changes.
    bool StoredRulesDamaged = false;
    void StartupStep();
    void FinishStartup();
    // What the reading has to tell, shown from a message of its own.
    std::vector<std::string> StartupMessages;
    void ShowStartupMessages();
    // Per item of the applications menu its icon, -1 until drawn.
    std::vector<int> AppMenuIcons;
};

extern Tmainform* mainform;

// Raises Busy for its lifetime, so that the idle pass leaves the hover
// panel alone while modal work runs.
class TBusyScope {
public:
    explicit TBusyScope(Tmainform& Form) : FForm(Form) { ++FForm.Busy; }
    ~TBusyScope() { --FForm.Busy; }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    Tmainform& FForm;
};
