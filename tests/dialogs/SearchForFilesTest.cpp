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
    std::vector<std::string> Calls, Added;
    bool Confirm = true;
    void AddStillKnownListedApplications(StringList&, std::vector<TIdentifyInfo>&) override
    {
        Calls.push_back("still known");
    }
    bool ConfirmDuplicates(StringList&, std::vector<TIdentifyInfo>&) override
    {
        Calls.push_back("duplicates");
        return Confirm;
    }
    void ClearNewChangedFlags() override { Calls.push_back("clear"); }
    void AddOrUpdateFoundApplication(const std::string& Path, const TIdentifyInfo&,
                                     int& FirstRow) override
    {
        Added.push_back(Path);
        if (FirstRow < 0)
            FirstRow = 7;
    }
    void SetCurrentRow(int Row) override { Calls.push_back("row " + std::to_string(Row)); }
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
        bool Confirm;
        std::vector<std::string> Identified, Calls, Added;
    } Cases[] = {
        {"overlapping roots, a file in a root", {"C:\\", "C:\\Program Files"}, 0, 0, true,
         {"C:\\root.exe", "C:\\Games\\unknown.exe", "C:\\Program Files\\emu.EXE",
          "C:\\Program Files\\Emu\\emu2.exe"},
         {"still known", "duplicates", "clear", "row 7"},
         {"C:\\root.exe", "C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"}},
        {"root without a delimiter", {"C:\\Program Files"}, 0, 0, true,
         {"C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"},
         {"still known", "duplicates", "clear", "row 7"},
         {"C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"}},
        {"stop while reading folders", {"C:\\"}, 1, 2, true, {}, {}, {}},
        {"stop while identifying", {"C:\\"}, 2, 4, true,
         {"C:\\root.exe", "C:\\Games\\unknown.exe"},
         {"still known", "No known applications found!"}, {}},
        {"duplicates cancelled", {"C:\\Program Files\\"}, 0, 0, false,
         {"C:\\Program Files\\emu.EXE", "C:\\Program Files\\Emu\\emu2.exe"},
         {"still known", "duplicates"}, {}},
        {"nothing known", {"C:\\Games"}, 0, 0, true, {"C:\\Games\\unknown.exe"},
         {"still known", "No known applications found!"}, {}},
        {"no roots", {}, 0, 0, true, {}, {}, {}},
    };
    for (const Case& C : Cases) {
        FakeFileSystem Fs = SampleDisk();
        FakeProgress Progress;
        Progress.StopPhase = C.StopPhase;
        Progress.StopAt = C.StopAt;
        FakeTarget Target;
        Target.Confirm = C.Confirm;
        std::vector<std::string> Identified;
        SearchForFiles(C.Roots, Fs, Progress, Target,
                       [&Identified](const std::string& Path, TIdentifyInfo& Info) {
                           Identified.push_back(Path);
                           Info.Index = 0;
                           return Path.find("unknown") == std::string::npos;
                       });
        EXPECT_EQ(Identified, C.Identified) << C.Name;
        EXPECT_EQ(Target.Calls, C.Calls) << C.Name;
        EXPECT_EQ(Target.Added, C.Added) << C.Name;
    }
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
