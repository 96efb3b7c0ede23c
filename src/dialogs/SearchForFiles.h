// The search for installed applications: the walk over the chosen folders,
// the identification of every executable found there and the hand-over of
// the results; and the tick rule of trees with state images. Portable: the
// disk, the progress window and the application list are reached through
// small interfaces.
#pragma once

#include "hosting/Identify.h"
#include "hosting/Velmora.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// ---------------------------------------------------------- state trees

// State images: 1 box not ticked, 2 ticked, 3 option not chosen, 4 chosen.
enum : int { tsNone = 0, tsUnchecked = 1, tsChecked = 2, tsOptionOff = 3, tsOptionOn = 4 };

class IStateTree {
public:
    using Node = std::uintptr_t;  // 0: no node
    virtual ~IStateTree() = default;
    virtual int State(Node N) = 0;
    virtual void SetState(Node N, int State) = 0;
    // The children of N's parent (the top-level nodes for a top-level N).
    virtual std::vector<Node> Siblings(Node N) = 0;
    virtual std::vector<Node> Children(Node N) = 0;
};

// A box flips; an option becomes the only chosen one among its siblings;
// a chosen option and stateless nodes stay as they are.
void ToggleNodeState(IStateTree& Tree, IStateTree::Node N);
// A click on the state image: the node toggles and a box's children
// follow it.
void ToggleNodeAndChildren(IStateTree& Tree, IStateTree::Node N);

// ------------------------------------------------------------ the search

struct TSearchEntry {
    std::string Name;
    bool Directory = false;
    bool ReparsePoint = false;  // a link or junction: never followed
};

class ISearchFileSystem {
public:
    virtual ~ISearchFileSystem() = default;
    // The entries of Folder (given with its trailing delimiter), without
    // "." and ".."; nothing for a folder that cannot be read.
    virtual void ListFolder(const std::string& Folder, std::vector<TSearchEntry>& Entries) = 0;
};

// The progress window as the search drives it.
class ISearchProgress {
public:
    virtual ~ISearchProgress() = default;
    virtual void StartProgress(int Max, const std::string& Caption, bool Stoppable) = 0;
    virtual void SetProgressText(const std::string& Text) = 0;
    // Also processes pending window messages in a stoppable run.
    virtual void SetProgress(int Position) = 0;
    virtual void PumpIfStoppable() = 0;
    virtual bool ProgressStopped() = 0;
    virtual void FinishProgress() = 0;
};

// Where the results go: the application list (with the duplicates
// resolver) and the user.
class ISearchTarget {
public:
    virtual ~ISearchTarget() = default;
    virtual void AddStillKnownListedApplications(StringList& Found,
                                                 std::vector<TIdentifyInfo>& Refs) = 0;
    // Lets the user resolve duplicates, then enters what is kept in the
    // list; nothing changes when the user cancels.
    virtual void TakeFoundApplications(StringList& Found, std::vector<TIdentifyInfo>& Refs) = 0;
    virtual void ShowMessage(const std::string& Text) = 0;
};

// True when Path is a known application to list (bind or external).
using TIdentifyExecutable = std::function<bool(const std::string& Path, TIdentifyInfo& Info)>;
// IdentifyApplication with no application name.
bool IdentifyListable(const std::string& Path, TIdentifyInfo& Info);

// Folders deeper than this below a root are not walked.
constexpr int SearchDepthCap = 64;

// The folders of one search, sorted without regard to case and each once,
// with the executables ("*.exe") each holds.
class TSearchFolders {
public:
    struct Folder {
        std::string Path;  // with its trailing delimiter
        StringList Executables;
    };
    bool Contains(const std::string& Path) const { return FFolders.count(Path) > 0; }
    // Adds Path unless present; answers whether it was added.
    bool Add(const std::string& Path);
    void SetExecutables(const std::string& Path, StringList Names);
    int Count() const { return static_cast<int>(FFolders.size()); }
    // In sorted order.
    std::vector<Folder> Sorted() const;

private:
    struct TextLess {
        bool operator()(const std::string& A, const std::string& B) const
        {
            return CompareText(A, B) < 0;
        }
    };
    std::map<std::string, StringList, TextLess> FFolders;
};

// Walks Root (itself included) with an explicit stack; false when the user
// stopped. Folders already listed are not walked again, so overlapping
// roots cost one walk.
bool SearchDirectories(const std::string& Root, ISearchFileSystem& FileSystem,
                       ISearchProgress& Progress, TSearchFolders& Folders);
// Identifies Folder's executables; false when the user stopped.
bool SearchKnownExecutables(const TSearchFolders::Folder& Folder, ISearchProgress& Progress,
                            const TIdentifyExecutable& Identify, StringList& Found,
                            std::vector<TIdentifyInfo>& Refs);
// The whole search over Roots, ending in the application list.
void SearchForFiles(const StringList& Roots, ISearchFileSystem& FileSystem,
                    ISearchProgress& Progress, ISearchTarget& Target,
                    const TIdentifyExecutable& Identify = IdentifyListable);
