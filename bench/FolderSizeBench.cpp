// folder_size_bench: the folder-size work item against a bare walk. Run by
// hand under Wine:
//   wine folder_size_bench.exe [files]
// Makes a tree of [files] empty-ish files (50 a folder, 20 folders a level)
// under the temporary folder, then times, three times each: a bare
// FindFirstFileA walk, the work item's Execute on the calling thread, and
// the item through a worker pool with its completion on the main thread.
// The tree is removed at the end.
#include "shell/KivWorkItemsWin.h"
#include "shell/ThreadPoolWin.h"

#include "toolkit/Application.h"
#include "toolkit/Synchronize.h"

#include "BenchTiming.h"
#include "shell/PlainWalk.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

void Remove(const std::string& Folder)
{
    WIN32_FIND_DATAA Data;
    const HANDLE Find = ::FindFirstFileA((Folder + "\\*").c_str(), &Data);
    if (Find != INVALID_HANDLE_VALUE) {
        do {
            const std::string Name = Data.cFileName;
            if (Name == "." || Name == "..")
                continue;
            if (Data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                Remove(Folder + "\\" + Name);
            else
                ::DeleteFileA((Folder + "\\" + Name).c_str());
        } while (::FindNextFileA(Find, &Data));
        ::FindClose(Find);
    }
    ::RemoveDirectoryA(Folder.c_str());
}

int MakeTree(const std::string& Root, int Files)
{
    ::CreateDirectoryA(Root.c_str(), nullptr);
    int Made = 0;
    for (int A = 0; Made < Files; ++A) {
        const std::string Level1 = Root + "\\a" + std::to_string(A);
        ::CreateDirectoryA(Level1.c_str(), nullptr);
        for (int B = 0; B < 20 && Made < Files; ++B) {
            const std::string Level2 = Level1 + "\\b" + std::to_string(B);
            ::CreateDirectoryA(Level2.c_str(), nullptr);
            for (int F = 0; F < 50 && Made < Files; ++F, ++Made) {
                const HANDLE H = ::CreateFileA((Level2 + "\\f" + std::to_string(F)).c_str(),
                                               GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                               FILE_ATTRIBUTE_NORMAL, nullptr);
                DWORD Written = 0;
                ::WriteFile(H, "0123456789", static_cast<DWORD>(F % 10), &Written, nullptr);
                ::CloseHandle(H);
            }
        }
    }
    return Made;
}

double Best(const std::function<void()>& Run)
{
    std::vector<double> Times;
    for (int I = 0; I < 3; ++I) {
        const LARGE_INTEGER Start = Now();
        Run();
        Times.push_back(Ms(Start, Now()));
    }
    return *std::min_element(Times.begin(), Times.end());
}

}  // namespace

int main(int Argc, char** Argv)
{
    const int Files = Argc > 1 ? std::atoi(Argv[1]) : 20000;
    TApplication App;
    InitMainThreadSync();
    char Temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, Temp);
    const std::string Root = std::string(Temp) + "quorvan-size-bench";
    Remove(Root);
    LARGE_INTEGER Start = Now();
    const int Made = MakeTree(Root, Files);
    std::printf("folder_size_bench: %d files made in %.0f ms\n", Made, Ms(Start, Now()));

    TPlainCounts Plain;
    const double Bare = Best([&] {
        Plain = TPlainCounts();
        PlainWalk(Root, Plain);
    });
    std::printf("  baseline: bare FindFirstFileA walk %5.1f ms  (%d files, %d folders, %lld bytes)\n",
                Bare, Plain.Files, Plain.Folders, Plain.Size);

    std::wstring WRoot(Root.begin(), Root.end());
    int ItemFiles = 0;
    const double Inline = Best([&] {
        TKivFolderSizeWorkItem Item(WRoot, true, false);
        Item.Execute();
        ItemFiles = Item.FileCount;
    });
    std::printf("  work item, calling thread       %8.1f ms  (%d files, %.2fx)\n", Inline, ItemFiles,
                Inline / Bare);

    TWorkerThreadPool Pool(false);
    Pool.SetMinThreads(4 * GetProcessorCount());
    Pool.SetMaxThreads(2 * Pool.MinThreads());
    const double Pooled = Best([&] {
        auto Item = std::make_shared<TKivFolderSizeWorkItem>(WRoot, true, false);
        bool Done = false;
        Item->SetOnCompleted([&](TBasicWorkItem&) { Done = true; });
        Pool.AddWorkItem(Item);
        MSG Msg;
        while (!Done) {
            while (::PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&Msg);
            if (!Done)
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        }
        ItemFiles = Item->FileCount;
    });
    std::printf("  work item through the pool      %8.1f ms  (%d files, %.2fx)\n", Pooled, ItemFiles,
                Pooled / Bare);
    Remove(Root);
    return ItemFiles == Plain.Files ? 0 : 1;
}
