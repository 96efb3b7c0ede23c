// The layout designer's rules: what its editor controls show for the
// selected node, the guards of the four percentage up-downs, the
// Percentage, Centered and Custom toggles, the layout name, the choice of
// an application, drag and drop of nodes within a layout, and storing a
// free panel's place after it was dragged. Portable: Tlayoutsform
// (LayoutDesignerWin.h) shows it; the application list is behind
// IDesignerApplications.
#pragma once

#include "mainwindow/LayoutBorders.h"
#include "mainwindow/Layouts.h"

#include "hosting/Identify.h"
#include "hosting/Velmora.h"

#include <string>

extern const char* const NoneAppItem;         // "<none>", item 0 of the combo
extern const char* const ApplyLayoutCaption;  // "Apply layout"
extern const char* const RestoreLayoutCaption;  // "Restore layout"

enum TPercentEdit : int { peXPos, peYPos, peWidth, peHeight, PercentEditCount };

enum class TAppChoice {
    Disabled,  // combo, label and button disabled, combo on -1
    None,      // a plain panel: item 0
    Named,     // an application panel: the item of AppName (-1 when absent)
};

// What UpdateEditor gives the controls. A check mark of -1 stays as it is.
struct TEditorState {
    bool PercentageEnabled = false, CenterEnabled = false, CustomEnabled = false;
    bool NewLayoutEnabled = false, AddChildEnabled = false, AddNeighbourEnabled = false;
    bool DeleteEnabled = false, RotateEnabled = false;
    bool MoveUpEnabled = false, MoveDownEnabled = false;
    std::string ApplyCaption;
    bool NameEnabled = false;
    std::string NameText;
    TAppChoice App = TAppChoice::Disabled;
    std::string AppName;
    int AppIndex = -1;  // in the combo's items
    bool PercentEnabled[PercentEditCount] = {};
    int PercentageChecked = -1, CenterChecked = -1, CustomChecked = -1;
};

// The user's application list as the designer uses it.
class IDesignerApplications : public IApplicationLocations {
public:
    // Names of the listed applications whose method is bind.
    virtual StringList BindApplications() = 0;
    virtual int RowOfApplication(const std::string& Name) = 0;
    virtual bool AddApplication(const std::string& Path, const TIdentifyInfo& Info) = 0;

protected:
    ~IDesignerApplications() = default;
};

class TApplicationList;

// The user's application list (its table) as the designer sees it.
class TDesignerAppList : public IDesignerApplications {
public:
    explicit TDesignerAppList(TApplicationList& List) : FList(List) {}
    bool ApplicationLocation(const std::string& Name, std::string& Path, bool Translate) override;
    StringList BindApplications() override;
    int RowOfApplication(const std::string& Name) override;
    bool AddApplication(const std::string& Path, const TIdentifyInfo& Info) override;

private:
    TApplicationList& FList;
};

// Field 1 followed by "Centered" / "Custom" and the percentages.
std::string CenteredNodeText(const std::string& Text, int W, int H);
std::string CustomNodeText(const std::string& Text, int X, int Y, int W, int H);

class TLayoutDesigner {
public:
    explicit TLayoutDesigner(TLayouts& Layouts);
    TLayoutDesigner(const TLayoutDesigner&) = delete;
    TLayoutDesigner& operator=(const TLayoutDesigner&) = delete;

    TLayouts& Layouts;
    TLayoutTree& Tree;
    IDesignerApplications* Apps = nullptr;
    // The application combo box: its items and chosen index.
    StringList AppItems;
    int AppIndex = -1;
    // The up-downs' positions.
    int Positions[PercentEditCount] = {};

    TNodeId Selected() const { return Tree.Selected; }
    void Select(TNodeId Node);

    // The combo gets "<none>" and the bind applications; a Name given is
    // chosen as through the combo, for the selected panel.
    void FillAppCombo(const std::string& Name);
    // Without regard to case; -1 when absent.
    int AppItemIndex(const std::string& Name) const;
    // Loads Positions and AppIndex too.
    TEditorState UpdateEditor();

    // Only a change upwards can be refused.
    bool UpDownChanging(TPercentEdit Edit, int NewValue) const;
    void UpDownClick(TPercentEdit Edit, int Position);
    // Answers why, when the text held characters the name cannot keep
    // (empty: none).
    std::string LayoutNameChanged(const std::string& Text);
    void TogglePercentage();
    void ToggleCenter();
    void ToggleCustom();
    // True when the designer is to close (the layout was applied).
    bool ApplySelectedLayout();

    void AppComboDropDown() { Layouts.PreviousAppIndex = AppIndex; }
    // Answers the message to show (empty: none).
    std::string AppComboChange(int Index);
    // The executable the user picked: checked, listed and chosen; answers
    // the message to show (empty: none).
    std::string SearchApplication(const std::string& Exe);
    // An application panel whose application the list lacks.
    bool UnlistedApp(TNodeId Node) const;

    // Drag and drop of the selected node within its layout. A node never
    // goes into its own subtree.
    bool CanDrop(TNodeId Dragged, TNodeId Target) const;
    bool Drop(TNodeId Dragged, TNodeId Target);

    // A centred or custom panel is stored as custom percentages of its
    // parent at its live place; false when nothing was stored.
    bool StorePanelPosition(TNodeId Node, IPanelBounds& Bounds);

private:
    // The node a drop onto Target puts the dragged node under.
    TNodeId DropParent(TNodeId Target) const;
    void NodeTextChanged(TNodeId Node);
    void BackToSide(TNodeId Node);
    int SumOtherSidePercents(TNodeId Node) const;
};
