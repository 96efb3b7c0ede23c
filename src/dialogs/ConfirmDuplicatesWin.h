// The duplicates resolver's window: one group per known application found
// more than once, its candidate executables as options; OK needs a choice
// in every group.
#pragma once

#include "hosting/Identify.h"
#include "hosting/Velmora.h"
#include "shell/OvandrelWin.h"
#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/Panel.h"
#include "toolkit/StdControls.h"
#include "toolkit/TreeView.h"

#include <vector>

class TConfirmDuplicatesForm : public Form {
public:
    explicit TConfirmDuplicatesForm(Component* Owner);
    ~TConfirmDuplicatesForm() override;

    // Made at the first use.
    Label* Label1 = nullptr;
    TreeView* TV = nullptr;
    Panel* ToolBar1 = nullptr;
    Button* okbutton = nullptr;
    Button* BitBtn2 = nullptr;
    TKivSystemImageList* SystemImageList = nullptr;
    ImageList* stateimages = nullptr;

    // Found and Refs become the kept items on True; unchanged on False.
    bool Execute(StringList& Found, std::vector<TIdentifyInfo>& Refs);

    bool HasCheckedChild(HTREEITEM Group) const;

    void ApplicationEvents1Idle();
    void TVClick();
    void TVDblClick();
    void TVKeyDown(WORD Key);

protected:
    void CreateWindows() override;

private:
    std::vector<int> ChildStates(HTREEITEM Group) const;
    int FIdleId = 0;
};

extern TConfirmDuplicatesForm* ConfirmDuplicatesForm;
