// Tlayoutsform, the layout designer window ("Layout editor"): the tree of
// layouts, the editor controls of the selected node, the preview and the
// two toolbars. Its rules live in TLayoutDesigner (LayoutDesigner.h); the
// layouts themselves belong to the main window, which hands them over
// with Attach at its first activation:
//
//   layoutsform->Attach(Layouts, &AppListAdapter);
//   LayoutsAction: ++Busy; layoutsform->ExecuteEditor(); --Busy; ...
//   after a drag:  layoutsform->StorePanelPosition(Node, Drag.Bounds);
#pragma once

#include "mainwindow/LayoutDesigner.h"

#include "components/StaticImageListWin.h"
#include "toolkit/ActionList.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Form.h"
#include "toolkit/Panel.h"
#include "toolkit/PaintBox.h"
#include "toolkit/StdControls.h"
#include "toolkit/ToolBar.h"
#include "toolkit/TreeView.h"
#include "toolkit/UpDown.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TLayoutsTreeView;

// The designer's twelve actions in table order.
enum TDesignerAction : int {
    daApplyLayout, daNewLayout, daAddChildPanel, daAddNeighbour, daDelete,
    daRotateAntiClockwize, daRotateClockwize, daCenter, daCustom, daPercentage,
    daMoveUp, daMoveDown,
    DesignerActionCount
};

class Tlayoutsform : public Form {
public:
    explicit Tlayoutsform(Component* Owner);
    ~Tlayoutsform() override;

    void Attach(TLayouts& Layouts, IDesignerApplications* Apps);
    // After the window, the application box.
    bool PrepareStep() override;
    TLayoutDesigner* Designer() const { return FDesigner.get(); }

    // Fills the application combo (nothing chosen), then shows the
    // designer modally; the modal result.
    int ExecuteEditor();
    void FillAppCombo(const std::string& Name);
    void UpdateEditor();
    void PaintPreview();
    // The idle pass: the tree view follows the layouts, then the editor
    // and the preview when flagged.
    void ApplicationEvents1Idle();
    bool StorePanelPosition(TNodeId Node, IPanelBounds& Bounds);
    // The executable for SearchAppButton; the open dialog when not set.
    std::function<bool(std::string& Exe)> OnPickExecutable;

    // The tree view's item of a node (nullptr when not shown yet).
    HTREEITEM ItemOfNode(TNodeId Node) const;
    TNodeId NodeOfItem(HTREEITEM Item) const;

    // Made at the first show.
    TStaticImageList* ToolbarImages = nullptr;
    ActionList* ActionList1 = nullptr;
    Action* Actions[DesignerActionCount] = {};
    ToolBar* LayoutToolbar = nullptr;
    ToolBar* PanelToolbar = nullptr;
    Panel* Panel22 = nullptr;
    Panel* Panel27 = nullptr;
    Panel* Panel25 = nullptr;
    TreeView* LayoutsTreeView = nullptr;
    Edit* PercentEdits[PercentEditCount] = {};
    UpDown* PercentUpDowns[PercentEditCount] = {};
    Edit* layoutname_edit = nullptr;
    Label* AppLabel = nullptr;
    ComboBox* AppComboBox = nullptr;
    Button* SearchAppButton = nullptr;
    Label* Label12 = nullptr;
    PaintBox* LayoutPreviewPaintBox = nullptr;

protected:
    void CreateWindows() override;

private:
    friend class TLayoutsTreeView;
    void CreateActions();
    void CreateEditors();
    void RunAction(TDesignerAction A);
    void SyncTreeView();
    // The application box holds the designer's application items.
    void SyncAppItems();
    void RebuildTreeView();
    void SearchAppButtonClick();

    TLayouts* FLayouts = nullptr;
    std::unique_ptr<TLayoutDesigner> FDesigner;
    TLayoutsTreeView* FTreeView = nullptr;
    std::map<TNodeId, HTREEITEM> FItems;
    // What the tree view shows: (node, parent) in tree order.
    std::vector<std::pair<TNodeId, TNodeId>> FShown;
    bool FSyncing = false;
    // What the application box holds: reading 10,000 items back from the
    // control at each refresh took longer than the designer's whole show.
    StringList FAppItems;
    int FIdleId = 0;
    HFONT FPreviewFont = nullptr;
};

extern Tlayoutsform* layoutsform;
