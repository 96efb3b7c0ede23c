// The search's view of the real disk, and the location chooser window.
#pragma once

#include "components/DialogResizingWin.h"
#include "dialogs/SearchForFiles.h"
#include "shell/OvandrelWin.h"
#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/Panel.h"
#include "toolkit/StdControls.h"
#include "toolkit/TreeView.h"

class TWin32SearchFileSystem : public ISearchFileSystem {
public:
    void ListFolder(const std::string& Folder, std::vector<TSearchEntry>& Entries) override;
};

// The program's progress window (which must exist) as the search drives it.
class TSearchProgressWindow : public ISearchProgress {
public:
    void StartProgress(int Max, const std::string& Caption, bool Stoppable) override;
    void SetProgressText(const std::string& Text) override;
    void SetProgress(int Position) override;
    void PumpIfStoppable() override;
    bool ProgressStopped() override;
    void FinishProgress() override;
};
// How often (ms) the search redraws its progress and looks for messages.
constexpr unsigned SearchRedrawInterval = 50;
constexpr unsigned SearchPumpInterval = 5;

class TApplicationList;
class Control;

// The location chooser: drives and program locations to tick.
class TSearchForFilesForm : public Form {
public:
    explicit TSearchForFilesForm(Component* Owner);
    ~TSearchForFilesForm() override;

    // Made at the first use.
    Label* DescriptionLabel = nullptr;
    TreeView* TV = nullptr;
    Panel* TBToolbar = nullptr;
    Button* startbutton = nullptr;
    Button* cancelbutton = nullptr;
    TKivSystemImageList* SystemImageList = nullptr;
    ImageList* stateimages = nullptr;
    TDialogResizingWin* DialogResizer = nullptr;

    // Builds the tree and asks; true for Start. Roots then holds the ticked
    // drives and locations (empty after Cancel).
    bool SelectSearchRoots(StringList& Roots);
    void ToggleNodeState(HTREEITEM Node);
    void AddCheckedChildren(HTREEITEM Node, StringList& List) const;
    void TVClick();
    void TVKeyDown(WORD Key);
    void FormActivate() { DialogResizer->ActivateScaling(); }

    // After the window, the tree's icons one by one: each of the shell's
    // answers takes tens of milliseconds under Wine.
    bool PrepareStep() override;

protected:
    void CreateWindows() override;

private:
    static const int IconToLookUp = -2;
    int FComputerIcon = IconToLookUp;
    int FClosedIcon = IconToLookUp;
    int FOpenIcon = IconToLookUp;
};

extern TSearchForFilesForm* SearchForFilesForm;

// The search action of the application list and the main window: asks for
// the locations, walks them with critical-error boxes off, identifies every
// executable and enters the known ones in List. Table, when given, shows
// the hourglass meanwhile.
void SearchForFilesActionExecute(TApplicationList& List, Control* Table = nullptr);
