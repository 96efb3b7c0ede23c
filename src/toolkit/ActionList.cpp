#include "toolkit/ActionList.h"

#include "toolkit/Application.h"

Action::Action(Component* Owner, const ActionArgs& Args)
    : Component(Owner), AutoCheck(Args.AutoCheck), FCaption(Args.Caption), FHint(Args.Hint),
      FImageIndex(Args.ImageIndex), FHelpContext(Args.HelpContext), FEnabled(Args.Enabled),
      FChecked(Args.Checked), FVisible(Args.Visible)
{
}

Action::~Action()
{
    FClients.Notify(*this, true);
}

void Action::Changed()
{
    FClients.Notify(*this, false);
}

void Action::SetCaption(const std::string& Value)
{
    if (FCaption != Value) {
        FCaption = Value;
        Changed();
    }
}

void Action::SetHint(const std::string& Value)
{
    if (FHint != Value) {
        FHint = Value;
        Changed();
    }
}

void Action::SetImageIndex(int Value)
{
    if (FImageIndex != Value) {
        FImageIndex = Value;
        Changed();
    }
}

void Action::SetEnabled(bool Value)
{
    if (FEnabled != Value) {
        FEnabled = Value;
        Changed();
    }
}

void Action::SetChecked(bool Value)
{
    if (FChecked != Value) {
        FChecked = Value;
        Changed();
    }
}

void Action::SetVisible(bool Value)
{
    if (FVisible != Value) {
        FVisible = Value;
        Changed();
    }
}

bool Action::Update()
{
    if (!OnUpdate)
        return false;
    OnUpdate(*this);
    return true;
}

bool Action::Execute()
{
    // The state may be stale (a click between two idle passes).
    Update();
    if (!FEnabled)
        return false;
    if (AutoCheck)
        SetChecked(!FChecked);
    return DoExecute();
}

bool Action::DoExecute()
{
    if (!OnExecute)
        return false;
    OnExecute(*this);
    return true;
}

ActionList::ActionList(Component* Owner, ImageList* Images, bool AutoUpdate)
    : Component(Owner), FImages(Images)
{
    if (AutoUpdate && Application)
        FIdleId = Application->AddIdleHandler([this] { UpdateActions(); });
}

ActionList::~ActionList()
{
    if (FIdleId && Application)
        Application->RemoveIdleHandler(FIdleId);
}

std::vector<Action*> ActionList::Actions() const
{
    std::vector<Action*> Result;
    for (Component* C : Components())
        if (auto* A = dynamic_cast<Action*>(C))
            Result.push_back(A);
    return Result;
}

void ActionList::UpdateActions()
{
    for (Action* A : Actions())
        A->Update();
}
