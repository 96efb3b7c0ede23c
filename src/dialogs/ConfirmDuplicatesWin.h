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

    Label* Label1;
    TreeView* TV;
    Panel* ToolBar1;
    Button* okbutton;
    Button* BitBtn2;
    TKivSystemImageList* SystemImageList;
    ImageList* stateimages;

    // Found and Refs become the kept items on True; unchanged on False.
    bool Execute(StringList& Found, std::vector<TIdentifyInfo>& Refs);

    bool HasCheckedChild(HTREEITEM Group) const;

    void ApplicationEvents1Idle();
    void TVClick();
    void TVDblClick();
    void TVKeyDown(WORD Key);

private:
    std::vector<int> ChildStates(HTREEITEM Group) const;
    int FIdleId = 0;
};

extern TConfirmDuplicatesForm* ConfirmDuplicatesForm;
