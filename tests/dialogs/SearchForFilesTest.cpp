#include "dialogs/SearchForFiles.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// Folders by path (with '\'), each with its entries; a folder "loop\"
// lists itself again below it, forever.
class FakeFileSystem : public ISearchFileSystem {
public:
    std::map<std::string, std::vector<TSearchEntry>> Folders;
    int Listed = 0;
    void ListFolder(const std::string& Folder, std::vector<TSearchEntry>& Entries) override
    {
        ++Listed;
        if (Folder.size() >= 5 && Folder.compare(Folder.size() - 5, 5, "loop\\") == 0) {
            Entries = {{"loop", true, false}, {"x.exe", false, false}};
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
    Fs.Folders["C:\\Games\\"] = {{"unknown.exe", false, false}};
    Fs.Folders["C:\\Junction\\"] = {{"hidden.exe", false, false}};
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
    } Cases[] = {
        {"overlapping roots, a file in a root", {"C:\\", "C:\\Program Files"}, 0, 0,
         {"C:\\root.exe", "C:\\Games\\unknown.exe", "C:\\Program Files\\emu.EXE",
          "C:\\Program Files\\Emu\\emu2.exe"},
         {"still known", "take"},
         {"C:\\root.exe", "C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"}},
        {"root without a delimiter", {"C:\\Program Files"}, 0, 0,
         {"C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"},
         {"still known", "take"},
         {"C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"}},
        {"stop while reading folders", {"C:\\"}, 1, 2, {}, {}, {}},
        {"stop while identifying", {"C:\\"}, 2, 4,
         {"C:\\root.exe", "C:\\Games\\unknown.exe"},
         {"still known", "No known applications found!"}, {}},
        {"nothing known", {"C:\\Games"}, 0, 0, {"C:\\Games\\unknown.exe"},
         {"still known", "No known applications found!"}, {}},
        {"no roots", {}, 0, 0, {}, {}, {}},
    };
    for (const Case& C : Cases) {
        FakeFileSystem Fs = SampleDisk();
        FakeProgress Progress;
        Progress.StopPhase = C.StopPhase;
        Progress.StopAt = C.StopAt;
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

TEST(SearchForFiles, FolderLoopEndsAtTheDepthCap)
{
    FakeFileSystem Fs;
    Fs.Folders["D:\\"] = {{"loop", true, false}};
    FakeProgress Progress;
    TSearchFolders Folders;
    EXPECT_TRUE(SearchDirectories("D:\\", Fs, Progress, Folders));
    EXPECT_EQ(Folders.Count(), SearchDepthCap + 1);
    EXPECT_EQ(Fs.Listed, SearchDepthCap + 1);
    EXPECT_EQ(Progress.Texts.back(), "Reading " + std::to_string(SearchDepthCap + 1) +
                                         " directories ...");
}

namespace {

// Nodes 1..n with a parent each (0 = top level).
class FakeTree : public IStateTree {
public:
    std::map<Node, int> States;
    std::map<Node, Node> Parents;
    int State(Node N) override { return States[N]; }
    void SetState(Node N, int S) override { States[N] = S; }
    std::vector<Node> Siblings(Node N) override { return Children(Parents[N]); }
    std::vector<Node> Children(Node N) override
    {
        std::vector<Node> R;
        for (const auto& P : Parents)
            if (P.second == N)
                R.push_back(P.first);
        return R;
    }
};

}  // namespace

TEST(StateTree, ToggleAndCascade)
{
    // Node 1 "Drives" with boxes 2 and 3; node 4 a group (no state) with
    // options 5 and 6.
    struct Case {
        IStateTree::Node Node;
        bool Click;
        std::map<IStateTree::Node, int> Before, After;
    } Cases[] = {
        {1, true, {{1, 1}, {2, 2}, {3, 1}}, {{1, 2}, {2, 2}, {3, 2}}},
        {1, true, {{1, 2}, {2, 2}, {3, 1}}, {{1, 1}, {2, 1}, {3, 1}}},
        {1, false, {{1, 1}, {2, 1}, {3, 1}}, {{1, 2}, {2, 1}, {3, 1}}},
        {3, true, {{1, 1}, {2, 1}, {3, 1}}, {{1, 1}, {2, 1}, {3, 2}}},
        {5, true, {{5, 3}, {6, 4}}, {{5, 4}, {6, 3}}},
        {6, true, {{5, 3}, {6, 4}}, {{5, 3}, {6, 4}}},
        {4, true, {{4, 0}, {5, 3}, {6, 3}}, {{4, 0}, {5, 3}, {6, 3}}},
        {0, true, {{1, 1}}, {{1, 1}}},
    };
    for (const Case& C : Cases) {
        FakeTree Tree;
        Tree.Parents = {{1, 0}, {2, 1}, {3, 1}, {4, 0}, {5, 4}, {6, 4}};
        Tree.States = C.Before;
        if (C.Click)
            ToggleNodeAndChildren(Tree, C.Node);
        else
            ToggleNodeState(Tree, C.Node);
        for (const auto& S : C.After)
            EXPECT_EQ(Tree.States[S.first], S.second) << "node " << C.Node << " -> " << S.first;
    }
}
