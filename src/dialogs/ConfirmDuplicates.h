// Grouping of found executables by known application and the choice among
// the candidates of a group. Portable; the window shows the open groups.
#pragma once

#include "hosting/Identify.h"
#include "hosting/Velmora.h"

#include <functional>
#include <string>
#include <vector>

struct TDuplicateGroup {
    std::string Name;        // the known application's name
    std::vector<int> Items;  // positions in the found list, in order
};

// What the resolver does with a found list before it asks anything.
struct TDuplicatePlan {
    // Items whose application was found once, in order of first occurrence.
    std::vector<int> Singles;
    // Groups with several candidates, in order of first occurrence.
    std::vector<TDuplicateGroup> Open;
    // Per open group: the position in Items chosen in advance, or -1.
    std::vector<int> Preselected;
};

// Empty when Ref's index is not one of KnownApps.
std::string KnownAppName(const TIdentifyInfo& Ref);
// Adds found item Item to the group of its application's name (letters
// compared without case), opening a group when there is none.
void AddToGroups(std::vector<TDuplicateGroup>& Groups, const std::vector<TIdentifyInfo>& Refs,
                 int Item);
// The position in Items of the one candidate with the highest non-zero
// version; -1 for a tie at the top or when no candidate has a version.
int ChooseHighestVersion(const std::vector<int>& Items, const std::vector<TIdentifyInfo>& Refs);
// OnItem (optional) hears of each item before it is grouped.
TDuplicatePlan PlanDuplicates(const std::vector<TIdentifyInfo>& Refs,
                              const std::function<void(int Item)>& OnItem = nullptr);
// "Version 1.2: [path]", or "[path]" without a version.
std::string CandidateText(const std::string& Path, const TFileVersion& Version);
// The first child chosen (nsChosen) among ChildStates, or -1.
int CheckedChild(const std::vector<int>& ChildStates);
// The singles, then per open group its candidate at Chosen[g].
std::vector<int> KeptItems(const TDuplicatePlan& Plan, const std::vector<int>& Chosen);
// Found and Refs become the items Kept, in that order.
void KeepItems(StringList& Found, std::vector<TIdentifyInfo>& Refs, const std::vector<int>& Kept);
