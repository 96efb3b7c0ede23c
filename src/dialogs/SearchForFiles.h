// The search for installed applications: the walk over the chosen folders,
// the identification of every executable found there and the hand-over of
// the results. Portable: the
// disk, the progress window and the application list are reached through
// small interfaces.
#pragma once

#include "hosting/Identify.h"
#include "hosting/Velmora.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

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

// Passes a progress run on to Inner, but its texts and position at most
// once per RedrawInterval and pending messages at most once per
// PumpInterval (milliseconds of Clock); the latest texts always reach the
// window before the run ends. Under Wine each redraw and each look into the
// message queue costs more than the folder or file step it reports.
class TCoalescingProgress : public ISearchProgress {
public:
    TCoalescingProgress(ISearchProgress& Inner, std::function<unsigned()> Clock,
                        unsigned RedrawInterval, unsigned PumpInterval)
        : FInner(Inner), FClock(std::move(Clock)), FRedrawInterval(RedrawInterval),
          FPumpInterval(PumpInterval)
    {
    }
    void StartProgress(int Max, const std::string& Caption, bool Stoppable) override;
    void SetProgressText(const std::string& Text) override;
    void SetProgress(int Position) override;
    void PumpIfStoppable() override;
    bool ProgressStopped() override { return FInner.ProgressStopped(); }
    void FinishProgress() override;

private:
    void Flush();
    ISearchProgress& FInner;
    std::function<unsigned()> FClock;
    unsigned FRedrawInterval, FPumpInterval;
    unsigned FLastRedraw = 0, FLastPump = 0;
    std::string FText;
    int FPosition = 0;
    bool FTextDue = false, FPositionDue = false;
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

// The longest path the ANSI file calls take (MAX_PATH less the terminating
// zero). A folder is walked when its listing pattern fits: no deeper path
// can be opened, and a loop the link test misses ends here too.
constexpr std::size_t SearchPathLimit = 259;
// What a folder's listing appends to its path.
inline constexpr char SearchListingPattern[] = "*.*";

// The folders of one search, sorted without regard to case and each once,
// with the executables ("*.exe") each holds. A chosen root is walked but
// its own executables are not examined, unless another root holds it.
class TSearchFolders {
public:
    struct Folder {
        std::string Path;  // with its trailing delimiter
        StringList Executables;
    };
    bool Contains(const std::string& Path) const { return FFolders.count(Path) > 0; }
    // Adds Path unless present; answers whether it was added (and is to be
    // walked). A folder found below a root is examined also when it was
    // added before as a root.
    bool Add(const std::string& Path, bool Examined = true);
    void SetExecutables(const std::string& Path, StringList Names);
    // The folders examined.
    int Count() const { return FExamined; }
    // The folders examined, in sorted order.
    std::vector<Folder> Sorted() const;

private:
    struct TextLess {
        bool operator()(const std::string& A, const std::string& B) const
        {
            return CompareText(A, B) < 0;
        }
    };
    struct Entry {
        StringList Executables;
        bool Examined = false;
    };
    std::map<std::string, Entry, TextLess> FFolders;
    int FExamined = 0;
};

// Walks the folders below Root with an explicit stack; false when the user
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
