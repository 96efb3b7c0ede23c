#include "dialogs/SearchForFiles.h"

#include "dialogs/StateTree.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Folders by path (with '\'), each with its entries; a folder named
// LoopName lists itself again below it, forever.
class FakeFileSystem : public ISearchFileSystem {
public:
    std::map<std::string, std::vector<TSearchEntry>> Folders;
    std::string LoopName = "loop";
    int Listed = 0;
    void ListFolder(const std::string& Folder, std::vector<TSearchEntry>& Entries) override
    {
        ++Listed;
        const std::string Tail = "\\" + LoopName + "\\";
        if (Folder.size() >= Tail.size() &&
            Folder.compare(Folder.size() - Tail.size(), Tail.size(), Tail) == 0) {
            Entries = {{LoopName, true, false}, {"x.exe", false, false}};
            return;
        }
        const auto It = Folders.find(Folder);
        if (It != Folders.end())
            Entries = It->second;
    }
};

// Records the run; stops once the Nth progress step of phase StopPhase
// (1 walk, 2 identification) is reached.
class FakeProgress : public ISearchProgress {
public:
    int Phase = 0, Steps = 0, StopPhase = 0, StopAt = 0;
    bool Stopped = false;
    std::vector<std::string> Texts;
    void StartProgress(int, const std::string& Caption, bool Stoppable) override
    {
        ++Phase;
        Steps = 0;
        Stopped = false;
        Texts.push_back(Caption);
        EXPECT_TRUE(Stoppable);
    }
    void SetProgressText(const std::string& Text) override { Texts.push_back(Text); }
    void SetProgress(int) override { Step(); }
    void PumpIfStoppable() override { Step(); }
    bool ProgressStopped() override { return Stopped; }
    void FinishProgress() override {}
    void Step()
    {
        if (StopPhase > 0 && Phase == StopPhase && ++Steps >= StopAt)
            Stopped = true;
    }
};

class FakeTarget : public ISearchTarget {
public:
    std::vector<std::string> Calls, Taken;
    bool Unbalance = false;  // adds a path without its identification
    void AddStillKnownListedApplications(StringList& Found, std::vector<TIdentifyInfo>&) override
    {
        Calls.push_back("still known");
        if (Unbalance)
            Found.push_back("C:\\odd.exe");
    }
    void TakeFoundApplications(StringList& Found, std::vector<TIdentifyInfo>& Refs) override
    {
        Calls.push_back("take");
        EXPECT_EQ(Found.size(), Refs.size());
        Taken = Found;
    }
    void ShowMessage(const std::string& Text) override { Calls.push_back(Text); }
};

FakeFileSystem SampleDisk()
{
    FakeFileSystem Fs;
    Fs.Folders["C:\\"] = {{"root.exe", false, false},
                          {"Program Files", true, false},
                          {"Games", true, false},
                          {"Junction", true, true}};
    Fs.Folders["C:\\Program Files\\"] = {{"emu.EXE", false, false}, {"Emu", true, false}};
    Fs.Folders["C:\\Program Files\\Emu\\"] = {{"emu2.exe", false, false},
                                              {"readme.txt", false, false},
                                              {"odd.exe", true, false}};
    Fs.Folders["C:\\Games\\"] = {{"unknown.exe", false, false}, {"Old", true, false}};
    Fs.Folders["C:\\Games\\Old\\"] = {{"unknown.exe", false, false}};
    Fs.Folders["C:\\Junction\\"] = {{"hidden.exe", false, false}};
    Fs.Folders["D:\\Emu\\"] = {{"B", true, false}, {"C", true, false}};
    Fs.Folders["D:\\Emu\\B\\"] = {{"x.exe", false, false}};
    return Fs;
}

}  // namespace

TEST(SearchForFiles, WalkIdentifyAndHandOver)
{
    struct Case {
        const char* Name;
        StringList Roots;
        int StopPhase, StopAt;
        std::vector<std::string> Identified, Calls, Taken;
        // The steps reach the window through the coalescing progress on a
        // clock that stands still: it sees each run at its closing redraw.
        bool Coalesced = false;
    } Cases[] = {
        {"overlapping roots: a root's files only when another root holds it",
         {"C:\\", "C:\\Program Files"}, 0, 0,
         {"C:\\Games\\unknown.exe", "C:\\Games\\Old\\unknown.exe",
          "C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"},
         {"still known", "take"},
         {"C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"}},
        {"the inner root first", {"C:\\Program Files", "C:\\"}, 0, 0,
         {"C:\\Games\\unknown.exe", "C:\\Games\\Old\\unknown.exe",
          "C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"},
         {"still known", "take"},
         {"C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"}},
        {"a root's own executable is not examined, one below it is", {"C:\\Program Files"},
         0, 0, {"C:\\Program Files\\Emu\\emu2.exe"}, {"still known", "take"},
         {"C:\\Program Files\\Emu\\emu2.exe"}},
        {"stop while reading folders", {"C:\\"}, 1, 2, {}, {}, {}},
        {"stop while identifying", {"C:\\"}, 2, 4,
         {"C:\\Games\\unknown.exe", "C:\\Games\\Old\\unknown.exe"},
         {"still known", "No known applications found!"}, {}},
        {"nothing known", {"C:\\Games"}, 0, 0, {"C:\\Games\\Old\\unknown.exe"},
         {"still known", "No known applications found!"}, {}},
        {"no folder below the root", {"C:\\Games\\Old"}, 0, 0, {}, {}, {}},
        {"no roots", {}, 0, 0, {}, {}, {}},
        {"stop first seen at the walk's closing redraw", {"D:\\Emu"}, 1, 1, {}, {}, {}, true},
        {"stop first seen at the identification's closing redraw", {"D:\\Emu"}, 2, 1,
         {"D:\\Emu\\B\\x.exe"}, {"still known", "No known applications found!"}, {}, true},
    };
    for (const Case& C : Cases) {
        FakeFileSystem Fs = SampleDisk();
        FakeProgress Window;
        Window.StopPhase = C.StopPhase;
        Window.StopAt = C.StopAt;
        TCoalescingProgress Coalescing(Window, [] { return 0u; }, 50, 5);
        ISearchProgress& Progress = C.Coalesced ? static_cast<ISearchProgress&>(Coalescing) : Window;
        FakeTarget Target;
        std::vector<std::string> Identified;
        SearchForFiles(C.Roots, Fs, Progress, Target,
                       [&Identified](const std::string& Path, TIdentifyInfo& Info) {
                           Identified.push_back(Path);
                           Info.Index = 0;
                           return Path.find("unknown") == std::string::npos;
                       });
        EXPECT_EQ(Identified, C.Identified) << C.Name;
        EXPECT_EQ(Target.Calls, C.Calls) << C.Name;
        EXPECT_EQ(Target.Taken, C.Taken) << C.Name;
    }
}

TEST(SearchForFiles, CountMismatchIsAnInternalError)
{
    FakeFileSystem Fs = SampleDisk();
    FakeProgress Progress;
    FakeTarget Target;
    Target.Unbalance = true;
    SearchForFiles({"C:\\"}, Fs, Progress, Target);
    EXPECT_EQ(Target.Calls, (std::vector<std::string>{"still known", "Internal error!",
                                                      "No known applications found!"}));
}

TEST(SearchForFiles, FolderChainsAreWalkedWhileTheirListingFits)
{
    // Each level a folder of the given name below the last, D:\ not
    // counted: no depth counts, only whether the ANSI listing pattern
    // ("D:\" + levels + "*.*") still fits in 259 characters.
    struct Case {
        std::string LoopName;
        int Folders;
        std::size_t DeepestPattern;
    } Cases[] = {
        {"loop", 50, 256},
        {"name with blanks", 14, 244},
        {std::string(83, 'a'), 3, 258},
        {std::string(22, 'b'), 11, 259},
        {std::string(126, 'c'), 1, 133},  // the second level's would be 260
    };
    for (const Case& C : Cases) {
        FakeFileSystem Fs;
        Fs.LoopName = C.LoopName;
        Fs.Folders["D:\\"] = {{C.LoopName, true, false}};
        FakeProgress Progress;
        TSearchFolders Folders;
        EXPECT_TRUE(SearchDirectories("D:\\", Fs, Progress, Folders)) << C.LoopName;
        EXPECT_EQ(Folders.Count(), C.Folders) << C.LoopName;
        EXPECT_EQ(Fs.Listed, C.Folders + 1) << C.LoopName;
        const std::string Deepest = Folders.Sorted().back().Path;
        EXPECT_EQ(Deepest.size() + std::string(SearchListingPattern).size(), C.DeepestPattern)
            << C.LoopName;
        EXPECT_EQ(Progress.Texts.back(), "Reading " + std::to_string(C.Folders) +
                                             " directories ...") << C.LoopName;
    }
}

namespace {

// Writes each call it gets as a word.
class LoggingProgress : public ISearchProgress {
public:
    std::string Log;
    void StartProgress(int, const std::string&, bool) override { Log += "start "; }
    void SetProgressText(const std::string& Text) override { Log += Text + " "; }
    void SetProgress(int Position) override { Log += "at" + std::to_string(Position) + " "; }
    void PumpIfStoppable() override { Log += "pump "; }
    bool ProgressStopped() override { return false; }
    void FinishProgress() override { Log += "finish"; }
};

}  // namespace

TEST(SearchForFiles, ProgressRedrawsAndPumpsAtIntervals)
{
    // Calls at clock times: t = text, p = position, m = pump; redraw every
    // 50, pump every 5.
    struct Call {
        unsigned Time;
        char Kind;
        int Value;
    };
    const std::vector<Call> Calls = {{0, 't', 1}, {1, 'p', 0}, {3, 'm', 0}, {6, 'm', 0},
                                     {7, 't', 2}, {8, 'p', 0}, {20, 'p', 1}, {60, 'p', 2},
                                     {61, 't', 3}, {62, 'm', 0}};
    LoggingProgress Window;
    unsigned Clock = 0;
    TCoalescingProgress Progress(Window, [&Clock] { return Clock; }, 50, 5);
    Progress.StartProgress(9, "c", true);
    for (const Call& C : Calls) {
        Clock = C.Time;
        switch (C.Kind) {
        case 't': Progress.SetProgressText("text" + std::to_string(C.Value)); break;
        case 'p': Progress.SetProgress(C.Value); break;
        default: Progress.PumpIfStoppable(); break;
        }
    }
    Progress.FinishProgress();
    EXPECT_EQ(Window.Log, "start pump pump text2 at2 text3 pump finish");
}

TEST(SearchForFiles, ChooserTicksFollowTheirRoot)
{
    // "Drives" and its drives: a click on the root's box toggles it, then
    // each drive that disagrees with it; the space key toggles the root only.
    struct Case {
        int Root;
        std::vector<int> Drives;
        bool Click;
        int RootAfter;
        std::vector<int> DrivesAfter;
    } Cases[] = {
        {nsUnticked, {nsTicked, nsUnticked}, true, nsTicked, {nsTicked, nsTicked}},
        {nsTicked, {nsTicked, nsUnticked}, true, nsUnticked, {nsUnticked, nsUnticked}},
        {nsUnticked, {nsUnticked, nsUnticked}, false, nsTicked, {nsUnticked, nsUnticked}},
    };
    for (const Case& C : Cases) {
        std::vector<int> Roots = {C.Root, nsUnticked};  // "Drives", "Program locations"
        std::vector<int> Drives = C.Drives;
        ToggleNodeState(Roots, 0);
        if (C.Click)
            MatchChildrenToParent(Roots[0], Drives);
        EXPECT_EQ(Roots, (std::vector<int>{C.RootAfter, nsUnticked}));
        EXPECT_EQ(Drives, C.DrivesAfter);
    }
}
