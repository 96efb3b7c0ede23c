// search_bench: the search for installed applications (folder walk and
// identification of every executable, with the progress window) over a
// generated tree of 20,000 files in 2,040 folders, against a bare
// FindFirstFileA walk of the same tree in the same run; with the database of
// ApplicationRules.def next to it (nothing stored), then with 20,000
// generated entries more (as 10,000 x 20,000 stored brings). Run by hand
// under Wine:
//   wine search_bench.exe [runs]
#include "dialogs/SearchForFilesWin.h"
#include "dialogs/progressesWin.h"
#include "toolkit/Application.h"
#include "hosting/IdentifyWin.h"
#include "hosting/KnownApps.h"
#include "hosting/RulesFile.h"

#include "BenchTiming.h"
#include "StartupData.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const int TopFolders = 40, SubFolders = 50, FilesPerFolder = 10;

std::string ExeDir()
{
    char Path[MAX_PATH];
    const DWORD Len = ::GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string S(Path, Len);
    return S.substr(0, S.find_last_of('\\') + 1);
}

void WriteSmallFile(const std::string& Path)
{
    const HANDLE F = ::CreateFileA(Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD Written;
    ::WriteFile(F, "MZ", 2, &Written, nullptr);
    ::CloseHandle(F);
}

// Every tenth file is an executable; in every tenth folder it is one the
// rules know (any version), so versions are read and results listed.
void MakeTree(const std::string& Root)
{
    ::CreateDirectoryA(Root.c_str(), nullptr);
    for (int T = 0; T < TopFolders; ++T) {
        const std::string Top = Root + "top" + std::to_string(T) + "\\";
        ::CreateDirectoryA(Top.c_str(), nullptr);
        for (int S = 0; S < SubFolders; ++S) {
            const std::string Sub = Top + "sub" + std::to_string(S) + "\\";
            ::CreateDirectoryA(Sub.c_str(), nullptr);
            for (int F = 0; F < FilesPerFolder; ++F)
                WriteSmallFile(Sub + (F > 0 ? "file" + std::to_string(F) + ".dat"
                                            : S % 10 == 0 ? std::string("quillon.exe")
                                                          : std::string("tool.exe")));
        }
    }
}

int BareWalk(const std::string& Folder)
{
    int Files = 0;
    WIN32_FIND_DATAA Data;
    const HANDLE Find = ::FindFirstFileA((Folder + "*.*").c_str(), &Data);
    if (Find == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::string Name = Data.cFileName;
        if (Name == "." || Name == "..")
            continue;
        if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            Files += BareWalk(Folder + Name + "\\");
        else
            ++Files;
    } while (::FindNextFileA(Find, &Data));
    ::FindClose(Find);
    return Files;
}

// Keeps what the search hands over.
class CountingTarget : public ISearchTarget {
public:
    std::size_t Found = 0;
    void AddStillKnownListedApplications(StringList&, std::vector<TIdentifyInfo>&) override {}
    void TakeFoundApplications(StringList& F, std::vector<TIdentifyInfo>&) override
    {
        Found = F.size();
    }
    void ShowMessage(const std::string&) override {}
};

double Median(std::vector<double> V)
{
    std::sort(V.begin(), V.end());
    return V[V.size() / 2];
}

}  // namespace

int main(int Argc, char** Argv)
{
    const int Runs = Argc > 1 ? std::max(1, std::atoi(Argv[1])) : 5;
    SetFileProbe(&Win32FileProbe);
    std::ifstream Rules(ExeDir() + "ApplicationRules.def", std::ios::binary);
    std::stringstream Text;
    Text << Rules.rdbuf();
    StringList Lines;
    TextToLines(Text.str(), Lines);
    int ErrorLine = 0;
    ReadApplicationRules(Lines, ErrorLine);

    char Temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, Temp);
    const std::string Root = std::string(Temp) + "quorvan_search_bench_v2\\";
    if (::GetFileAttributesA(Root.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const LARGE_INTEGER T0 = Now();
        MakeTree(Root);
        std::printf("tree made in %.0f ms\n", Ms(T0, Now()));
    }

    TApplication App;
    App.SetTitle("search_bench");
    FormArgs Args;
    Args.Caption = "search_bench";
    App.MainForm = new Form(&App, Args);
    App.MainForm->Show();
    new TProgressbarForm(&App);

    const auto Run = [&](const char* Name) {
        std::vector<double> Bare, Search;
        int Files = 0;
        std::size_t Found = 0;
        for (int R = 0; R < Runs; ++R) {
            LARGE_INTEGER T0 = Now();
            Files = BareWalk(Root);
            Bare.push_back(Ms(T0, Now()));

            TWin32SearchFileSystem Disk;
            TSearchProgressWindow Window;
            TCoalescingProgress Progress(Window, [] { return static_cast<unsigned>(::GetTickCount()); },
                                         SearchRedrawInterval, SearchPumpInterval);
            CountingTarget Target;
            T0 = Now();
            SearchForFiles({Root}, Disk, Progress, Target);
            Search.push_back(Ms(T0, Now()));
            Found = Target.Found;
        }
        std::printf("%s, %d known applications:\n", Name, KnownApps.Count());
        std::printf("  tree: %d files, %d known found\n", Files, static_cast<int>(Found));
        std::printf("  baseline: bare FindFirstFileA walk: median %.1f ms of %d runs\n", Median(Bare), Runs);
        std::printf("  search with the progress window: median %.1f ms\n", Median(Search));
        std::printf("  search / bare walk: %.2f\n", Median(Search) / Median(Bare));
        return Median(Search);
    };
    const double Empty = Run("nothing stored");
    for (int I = 0; I < 20000; ++I)
        AddKnownApp(KnownApps, "Category " + std::to_string(I / 50 % 20), GeneratedName(I),
                    I % 2 ? "" : ">= 1.0", "", I % 10 == 9 ? "external" : "bind", GeneratedExe(I),
                    "", "", "", "", "", "");
    const double Large = Run("10,000 x 20,000 stored");
    std::printf("search, 10,000 x 20,000 / nothing stored: %.1f / %.1f ms = %.2fx (goal <= 2.0x)\n",
                Large, Empty, Large / Empty);
    return 0;
}
