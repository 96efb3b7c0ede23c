// Node states of the trees whose nodes carry a box or an option, and the
// one rule by which a click or the space key changes them. Portable.
#pragma once

#include <cstddef>
#include <vector>

enum : int {
    nsNone = 0,       // no state image
    nsUnticked = 1,   // box not ticked
    nsTicked = 2,     // box ticked
    nsNotChosen = 3,  // option not chosen
    nsChosen = 4,     // option chosen
};

// Toggles node Index; States holds every sibling's state, the node's own
// included. A box flips; an option becomes the one chosen among its sibling
// options; a chosen option and anything else stay.
void ToggleNodeState(std::vector<int>& States, std::size_t Index);

// After a box node was toggled to ParentState, each child whose tick
// disagrees with it is toggled in turn (options and plain nodes: nothing
// for a parent that is not a box).
void MatchChildrenToParent(int ParentState, std::vector<int>& ChildStates);
