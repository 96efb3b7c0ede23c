#include "dialogs/ConfirmDuplicatesWin.h"

#include "dialogs/ConfirmDuplicates.h"
#include "dialogs/OkCancelBar.h"
#include "dialogs/StateTree.h"
#include "dialogs/StateTreeWin.h"
#include "dialogs/progressesWin.h"
#include "shell/Shell_Win32Win.h"
#include "toolkit/Application.h"

TConfirmDuplicatesForm* ConfirmDuplicatesForm = nullptr;

namespace {

FormArgs DuplicatesArgs()
{
    FormArgs A;
    A.Caption = "Confirm duplicate applications...";
    A.ClientWidth = 554;
    A.ClientHeight = 341;
    A.FontName = "Arial";
    A.FontHeight = -13;
    A.DialogKeys = true;
    A.Deferred = true;
    return A;
}

}  // namespace

TConfirmDuplicatesForm::TConfirmDuplicatesForm(Component* Owner) : Form(Owner, DuplicatesArgs())
{
    ConfirmDuplicatesForm = this;
}

void TConfirmDuplicatesForm::CreateWindows()
{
    const TStateTreeDialog D = BuildStateTreeDialog(
        *this,
        "There were duplicate applications found on your system. Please decide which "
        "duplicate application should be accessed from Quorvan ...",
        36, "OK");
    Label1 = D.Text;
    ToolBar1 = D.Bar;
    okbutton = D.Ok;
    BitBtn2 = D.Cancel;
    SystemImageList = D.SystemImages;
    stateimages = D.StateImages;
    TV = D.Tree;
    TV->OnClick = [this](TreeView&) { TVClick(); };
    TV->OnDblClick = [this](TreeView&) { TVDblClick(); };
    TV->OnKeyDown = [this](TreeView&, WORD Key) { TVKeyDown(Key); };

    if (Application)
        FIdleId = Application->AddIdleHandler([this] { ApplicationEvents1Idle(); });
}

TConfirmDuplicatesForm::~TConfirmDuplicatesForm()
{
    if (FIdleId && Application)
        Application->RemoveIdleHandler(FIdleId);
    if (ConfirmDuplicatesForm == this)
        ConfirmDuplicatesForm = nullptr;
}

bool TConfirmDuplicatesForm::Execute(StringList& Found, std::vector<TIdentifyInfo>& Refs)
{
    EnsureHandle();
    okbutton->SetEnabled(false);
    TV->BeginUpdate();
    TV->Clear();
    const int Count = static_cast<int>(Found.size());
    if (ProgressbarForm)
        ProgressbarForm->StartProgress(Count, "Searching for duplicates...", false);
    const TDuplicatePlan Plan = PlanDuplicates(Refs, [](int Item) {
        if (ProgressbarForm)
            ProgressbarForm->SetProgress(Item);
    });
    const int Closed = SystemImageList->GetFolderIconIndex(false);
    const int Open = SystemImageList->GetFolderIconIndex(true);
    for (std::size_t G = 0; G < Plan.Open.size(); ++G) {
        const TDuplicateGroup& Group = Plan.Open[G];
        HTREEITEM Node = TV->AddChild(nullptr, Group.Name, Closed, Open, nsNone, 0);
        for (std::size_t I = 0; I < Group.Items.size(); ++I) {
            const int Item = Group.Items[I];
            const int Icon =
                SystemImageList->GetFileIconIndex(AnsiToWide(Found[Item]), si_small, false);
            const int State = static_cast<int>(I) == Plan.Preselected[G] ? nsChosen : nsNotChosen;
            TV->AddChild(Node, CandidateText(Found[Item], Refs[Item].Version), Icon, Icon, State,
                         Item);
        }
    }
    if (HTREEITEM First = TV->FirstRoot())
        TV->Select(First);
    if (ProgressbarForm)
        ProgressbarForm->FinishProgress();
    TV->EndUpdate();
    TV->FullExpand();

    std::vector<int> Chosen;
    if (!Plan.Open.empty()) {
        if (ShowModal() != mrOk)
            return false;
        for (HTREEITEM Group : TV->Children(nullptr))
            Chosen.push_back(::CheckedChild(ChildStates(Group)));
    }
    KeepItems(Found, Refs, KeptItems(Plan, Chosen));
    return true;
}

std::vector<int> TConfirmDuplicatesForm::ChildStates(HTREEITEM Group) const
{
    std::vector<int> S;
    for (HTREEITEM Child : TV->Children(Group))
        S.push_back(TV->ItemState(Child));
    return S;
}

bool TConfirmDuplicatesForm::HasCheckedChild(HTREEITEM Group) const
{
    return ::CheckedChild(ChildStates(Group)) >= 0;
}

void TConfirmDuplicatesForm::ApplicationEvents1Idle()
{
    bool All = true;
    for (HTREEITEM Group : TV->Children(nullptr))
        All = All && HasCheckedChild(Group);
    if (okbutton->Enabled() != All)
        okbutton->SetEnabled(All);
}

void TConfirmDuplicatesForm::TVClick()
{
    StateImageClick(*TV);
}

void TConfirmDuplicatesForm::TVDblClick()
{
    HTREEITEM Node = TV->Selected();
    if (Node && TV->Level(Node) == 1)
        ToggleTreeNode(*TV, Node);
}

void TConfirmDuplicatesForm::TVKeyDown(WORD Key)
{
    if (Key == VK_SPACE)
        ToggleTreeNode(*TV, TV->Selected());
}
