#include "dialogs/ConfirmDuplicates.h"

#include "dialogs/StateTree.h"

std::string KnownAppName(const TIdentifyInfo& Ref)
{
    const Tknownapp* App = KnownApps.GetKnownApp(Ref.Index);
    return App ? App->Name : std::string();
}

void AddToGroups(std::vector<TDuplicateGroup>& Groups, const std::vector<TIdentifyInfo>& Refs,
                 int Item)
{
    const std::string Name = KnownAppName(Refs[Item]);
    for (TDuplicateGroup& G : Groups)
        if (SameText(G.Name, Name)) {
            G.Items.push_back(Item);
            return;
        }
    Groups.push_back({Name, {Item}});
}

int ChooseHighestVersion(const std::vector<int>& Items, const std::vector<TIdentifyInfo>& Refs)
{
    TFileVersion Best;
    int Count = 0, Chosen = -1;
    for (std::size_t I = 0; I < Items.size(); ++I) {
        const TFileVersion& V = Refs[Items[I]].Version;
        if (V.MS == 0 && V.LS == 0)
            continue;
        if (VersionGreater(V, Best)) {
            Best = V;
            Chosen = static_cast<int>(I);
            Count = 1;
        } else if (VersionsEqual(V, Best)) {
            ++Count;
        }
    }
    return Count < 2 ? Chosen : -1;
}

TDuplicatePlan PlanDuplicates(const std::vector<TIdentifyInfo>& Refs,
                              const std::function<void(int Item)>& OnItem)
{
    std::vector<TDuplicateGroup> Groups;
    for (int I = 0; I < static_cast<int>(Refs.size()); ++I) {
        if (OnItem)
            OnItem(I);
        AddToGroups(Groups, Refs, I);
    }
    TDuplicatePlan Plan;
    for (TDuplicateGroup& G : Groups) {
        if (G.Items.size() == 1) {
            Plan.Singles.push_back(G.Items[0]);
        } else {
            Plan.Preselected.push_back(ChooseHighestVersion(G.Items, Refs));
            Plan.Open.push_back(std::move(G));
        }
    }
    return Plan;
}

std::string CandidateText(const std::string& Path, const TFileVersion& Version)
{
    const std::string V = VersionToStr(Version);
    return V.empty() ? "[" + Path + "]" : "Version " + V + ": [" + Path + "]";
}

int CheckedChild(const std::vector<int>& ChildStates)
{
    for (std::size_t I = 0; I < ChildStates.size(); ++I)
        if (ChildStates[I] == nsChosen)
            return static_cast<int>(I);
    return -1;
}

std::vector<int> KeptItems(const TDuplicatePlan& Plan, const std::vector<int>& Chosen)
{
    std::vector<int> Kept = Plan.Singles;
    for (std::size_t G = 0; G < Plan.Open.size() && G < Chosen.size(); ++G) {
        const auto& Items = Plan.Open[G].Items;
        if (Chosen[G] >= 0 && Chosen[G] < static_cast<int>(Items.size()))
            Kept.push_back(Items[Chosen[G]]);
    }
    return Kept;
}

void KeepItems(StringList& Found, std::vector<TIdentifyInfo>& Refs, const std::vector<int>& Kept)
{
    StringList F;
    std::vector<TIdentifyInfo> R;
    for (int I : Kept) {
        F.push_back(Found[I]);
        R.push_back(Refs[I]);
    }
    Found = std::move(F);
    Refs = std::move(R);
}
