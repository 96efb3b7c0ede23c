#include "shell/ShellLink.h"

#include "shell/KivSelectionListWin.h"

#include <algorithm>

TKivShellLink::TKivShellLink(Component* Owner) : TKivBaseComponent(Owner)
{
    SetEnabled(true);
    FSelectionList = new TKivSelectionList(this);
}

TKivShellLink::~TKivShellLink()
{
    for (std::size_t I = FControls.size(); I-- > 0;)
        FControls[I]->SetShellLink(nullptr);
    FControls.clear();
    delete FSelectionList;
}

void TKivShellLink::AddControl(const IKivShellControlPtr& Control)
{
    if (Control && std::find(FControls.begin(), FControls.end(), Control) == FControls.end())
        FControls.push_back(Control);
}

void TKivShellLink::RemoveControl(const IKivShellControl* Control)
{
    FControls.erase(std::remove_if(FControls.begin(), FControls.end(),
                                   [Control](const IKivShellControlPtr& C) { return C.get() == Control; }),
                    FControls.end());
}

IKivShellControlPtr TKivShellLink::GetControl(int Index) const
{
    if (Index < 0 || static_cast<std::size_t>(Index) >= FControls.size())
        return nullptr;
    return FControls[static_cast<std::size_t>(Index)];
}

void TKivShellLink::NotifyControls(const IKivShellControl* Sender, std::uint8_t Code,
                                   IItemIdList Item)
{
    if (!GetEnabled())
        return;
    // A control may leave the list while it is told.
    const TKivShellControlList Controls = FControls;
    for (const IKivShellControlPtr& C : Controls)
        if (C.get() != Sender)
            C->ChangeNotify(Code, Item);
}
