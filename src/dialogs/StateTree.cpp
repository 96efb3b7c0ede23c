#include "dialogs/StateTree.h"

void ToggleNodeState(std::vector<int>& States, std::size_t Index)
{
    if (Index >= States.size())
        return;
    switch (States[Index]) {
    case nsUnticked: States[Index] = nsTicked; break;
    case nsTicked: States[Index] = nsUnticked; break;
    case nsNotChosen:
        for (int& S : States)
            if (S == nsNotChosen || S == nsChosen)
                S = nsNotChosen;
        States[Index] = nsChosen;
        break;
    default: break;
    }
}

void MatchChildrenToParent(int ParentState, std::vector<int>& ChildStates)
{
    if (ParentState != nsUnticked && ParentState != nsTicked)
        return;
    const bool Ticked = ParentState == nsTicked;
    for (std::size_t I = 0; I < ChildStates.size(); ++I)
        if ((ChildStates[I] == nsTicked) != Ticked)
            ToggleNodeState(ChildStates, I);
}
