// Applying layouts: the host panels of the applied layout, switching to
// another layout with the question about bound applications, starting the
// applications its panels name, and the designer's structural operations
// that re-place the applied layout. Portable: the host panels, the monitor,
// the application list and the user are behind ILayoutHost (LayoutsWin.h
// implements it over the main window's client panel and the monitor).
//
// TAppPanel and TApplicationItem stay incomplete here: this code only
// passes them to the host.
#pragma once

#include "mainwindow/LayoutGeometry.h"
#include "mainwindow/LayoutTree.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TApplicationItem;

// The kept flag of hosted items (an item marked kept outlives its panel,
// unbound, for the next layout).
class IKeptFlags {
public:
    virtual bool ItemKept(const TApplicationItem* Item) const = 0;
    virtual void SetItemKept(TApplicationItem* Item, bool Kept) = 0;

protected:
    ~IKeptFlags() = default;
};

// Where an application named in the user's application list lies.
class IApplicationLocations {
public:
    // Translate: the name is first replaced by its main-window entry.
    virtual bool ApplicationLocation(const std::string& Name, std::string& Path,
                                     bool Translate) = 0;

protected:
    ~IApplicationLocations() = default;
};

class ILayoutHost : public IKeptFlags {
public:
    // --- Host panels ---
    // A new host panel for a node at Level (1..3 coloured by level).
    virtual TAppPanel* CreatePanel(int Level) = 0;
    // Frees it; its hosted item is released or deleted.
    virtual void FreePanel(TAppPanel* Panel) = 0;
    // Brings it to the front and gives it the bounds.
    virtual void PlacePanel(TAppPanel* Panel, const TLayoutRect& R) = 0;
    // The host control's client rectangle (0, 0, width, height).
    virtual TLayoutRect HostClientRect() = 0;
    // Around placing the panels: the host shows them once, at the end.
    virtual void BeginPlacing() = 0;
    virtual void EndPlacing() = 0;
    // --- The monitor ---
    virtual TApplicationItem* ItemOfPanel(TAppPanel* Panel) = 0;
    // Index into the database of the item's known application, -1 none.
    virtual int ItemKnownIndex(const TApplicationItem* Item) = 0;
    // Opens into the panel's inner panel, messages shown, not external.
    virtual bool OpenApplication(const std::string& Name, const std::string& Exe,
                                 const std::string& Params, TAppPanel* Panel) = 0;
    virtual std::string ModuleStartParams(const std::string& Name) = 0;
    virtual IApplicationLocations* Locations() = 0;  // may be nullptr
    // --- The user and the rest ---
    // The question dialog, Yes/No/Cancel, caption "Confirmation...".
    virtual std::uint8_t Confirm(const std::string& Text, std::uint8_t& Remembered) = 0;
    virtual void Beep() = 0;
    // A message box with an OK button.
    virtual void Tell(const std::string& Text) = 0;
    // Releasing a hosted window closes it while the count is above 0.
    virtual void RaiseCloseReleased() = 0;
    virtual void LowerCloseReleased() = 0;
    // --- The spaced starts ---
    // Due runs once, Milliseconds from now, from the message loop; a later
    // call replaces an earlier one, and -1 only cancels.
    virtual void ScheduleStart(int Milliseconds, std::function<void()> Due) = 0;
    // The starts now queued come from the window the user works in now.
    virtual void StartsQueued() = 0;
    // No box, menu or drag opened over that window since, no close began
    // and the session may not end: a start may run now.
    virtual bool StartsAllowed() = 0;

protected:
    ~ILayoutHost() = default;
};

// A hosted application paired with a host panel.
class TAppPanelRelationship {
public:
    TAppPanelRelationship(TApplicationItem* Item, TAppPanel* Panel) : Item(Item), Panel(Panel) {}
    bool Matched = false;  // the new layout names this application again
    TApplicationItem* Item;
    TAppPanel* Panel;
};

// Owns its entries.
class TAppPanelRelationshipList {
public:
    explicit TAppPanelRelationshipList(IKeptFlags& Flags) : FFlags(Flags) {}
    TAppPanelRelationshipList(const TAppPanelRelationshipList&) = delete;
    TAppPanelRelationshipList& operator=(const TAppPanelRelationshipList&) = delete;

    int Count() const { return static_cast<int>(FItems.size()); }
    // nullptr when Index is out of range.
    TAppPanelRelationship* Items(int Index) const;
    void Delete(int Index);
    void Clear();
    void Add(TApplicationItem* Item, TAppPanel* Panel);
    void ClearKeepFlags();
    // Entries whose item is marked kept.
    int CountMatched() const;
    int CountUnmatched() const { return Count() - CountMatched(); }

private:
    IKeptFlags& FFlags;
    std::vector<std::unique_ptr<TAppPanelRelationship>> FItems;
};

// The starts of a layout's applications follow each other this far apart;
// one held back (a box open, a drag) is tried again this often.
constexpr int StartPauseMs = 500;
constexpr int StartRetryMs = 100;

// The panels Add child and Add neighbour can make in Levels levels below a
// layout, MaxPanelChildren under each.
constexpr int PanelsWithin(int Levels)
{
    return Levels <= 0 ? 0 : MaxPanelChildren * (1 + PanelsWithin(Levels - 1));
}
// The most host panels a layout shows, in placing order: every panel Add
// child and Add neighbour make, which are never left out. Drops and the
// stored form go further; under Wine making, placing and painting a panel's
// windows costs about 3-4 ms on a loaded machine, and applying must end
// within about 2 s. The tree keeps the panels not shown.
constexpr int MaxShownPanels = PanelsWithin(MaxPanelLevel);
// Why the applied layout shows fewer panels than it holds.
std::string PanelsNotShownMessage(const std::string& Layout, int NotShown);

class TLayouts {
public:
    explicit TLayouts(ILayoutHost& Host);
    ~TLayouts();
    TLayouts(const TLayouts&) = delete;
    TLayouts& operator=(const TLayouts&) = delete;

    TLayoutTree Tree;
    ILayoutHost& Host;
    bool RefreshEditor = true;
    bool RefreshPreview = false;
    int PreviousAppIndex = -1;
    std::uint8_t RememberedAnswer = 0;  // shared by the apply, delete and change questions
    // The host control exists (the main window set it); no panels before.
    bool HasHost = false;

    TNodeId AppliedLayout() const { return Tree.AppliedLayout; }
    // Panels of the applied layout that the last relayout did not show.
    int NotShown() const { return FNotShown; }

    // --- Geometry and applying ---
    void Relayout(TAppPanelRelationshipList* StartList);
    void SetAppliedLayout(TNodeId Node);
    // False only when the user cancelled.
    bool ApplyLayout(TNodeId Node);
    bool CollectBoundItems(TNodeId Node, TAppPanelRelationshipList& List);
    bool MatchBoundApplications(TNodeId NewLayout, TAppPanelRelationshipList& List);
    TApplicationItem* ItemOfPanel(TAppPanel* Panel);
    TApplicationItem* ItemOfNode(TNodeId Node);
    int CountBoundItems(TNodeId Node);
    // The panels of the applied layout that show further windows of the
    // application whose main window Item just got.
    bool CollectNodesForNewApp(TNodeId Node, TApplicationItem* Item,
                               TAppPanelRelationshipList& List);
    void StartPanelApplications(TAppPanelRelationshipList& List);
    // The starts still to come, spaced StartPauseMs apart on the host's
    // timer; the window meanwhile goes on working.
    int PendingStarts() const { return static_cast<int>(FPending.size()); }
    // The host's timer: the next start, when one is due and allowed.
    void StartDue();
    // Nothing more is started (a close began, the session ends).
    void CancelStarts();

    // --- Designer operations with the question about bound applications ---
    void DeleteNode(TNodeId Node);
    void SetRefreshFlags();
    bool InAppliedLayout(TNodeId Node) const;

private:
    // A node whose application is to be started; Further: a further window
    // of a bound application (its main entry's location, no parameters).
    struct TPendingStart {
        TNodeId Node;
        bool Further;
    };
    int FNotShown = 0;
    std::deque<TPendingStart> FPending;
    // A start ran less than StartPauseMs ago.
    bool FSpacing = false;
    // A question or a start is running: the timer starts nothing inside it.
    int FHeld = 0;
    void SwitchLayout(TNodeId Node, TAppPanelRelationshipList* StartList);
    void NodeDeleted(TNodeId Node);
    void FreePanelOf(TNodeId Node);
    std::uint8_t Confirm(const std::string& Text);
    void StartNext();
    bool OpenPending(const TPendingStart& S);
    // The node's start, if one waits, is no longer wanted.
    void DropPending(TNodeId Node);
    // Raises FHeld for its lifetime.
    struct THeldScope {
        int& N;
        explicit THeldScope(int& Count) : N(Count) { ++N; }
        ~THeldScope() { --N; }
        THeldScope(const THeldScope&) = delete;
        THeldScope& operator=(const THeldScope&) = delete;
    };
};

// Raises the close-released count of a host for its lifetime.
class TCloseReleasedGuard {
public:
    TCloseReleasedGuard(ILayoutHost& Host, bool Raise) : FHost(Raise ? &Host : nullptr)
    {
        if (FHost)
            FHost->RaiseCloseReleased();
    }
    ~TCloseReleasedGuard()
    {
        if (FHost)
            FHost->LowerCloseReleased();
    }
    TCloseReleasedGuard(const TCloseReleasedGuard&) = delete;
    TCloseReleasedGuard& operator=(const TCloseReleasedGuard&) = delete;

private:
    ILayoutHost* FHost;
};
