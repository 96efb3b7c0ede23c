// The known-applications window with 5,000 entries: filling the editing
// table from the database, and the copy back into the database on OK
// (validation of every row included).
#include "dialogs/knownapplist.h"

#include <benchmark/benchmark.h>

namespace {

const int EntryCount = 5000;

void LoadEntries()
{
    KnownApps.Clear();
    AllowedWindows.Clear();
    ForbiddenWindows.Clear();
    for (int I = 0; I < EntryCount; ++I) {
        const std::string N = IntToStr(I);
        AddKnownApp(KnownApps, "Category " + IntToStr(I % 12), "Program " + N + " (Author)",
                    I % 3 ? ">= 1." + IntToStr(I % 50) : "?  0", I % 2 ? IntToStr(100000 + I) : "",
                    I % 4 ? "bind; no title; only 1x; minsize=640,480" : "external",
                    "prog" + N + "*.exe;prog" + N + ".rom;data.bin", IntToStr(I % 40),
                    "http://www.example.com/program" + N, "none", I % 5 ? "" : "\"Main window\"",
                    I % 7 ? "" : "\"TProgram\"", I % 9 ? "" : "2");
    }
    for (int I = 0; I < 200; ++I)
        AllowedWindows.AddAppWindow("app" + IntToStr(I) + ".exe", NotGiven, "Class" + IntToStr(I));
    KnownApps.RulesDate = 42000;
}

void BM_FillEditingTable(benchmark::State& State)
{
    LoadEntries();
    TDatabaseGrid App;
    ConfigureAppTable(App);
    for (auto _ : State) {
        FillKnownAppTable(App, KnownApps, nullptr, false);
        FillFoundColumn(App, {"program 17 (author)|1.20", "program 4000 (author)|"});
        benchmark::DoNotOptimize(App.Cell(0, EntryCount));
    }
    State.SetItemsProcessed(State.iterations() * EntryCount);
}

void BM_CopyBackOnOk(benchmark::State& State)
{
    LoadEntries();
    TDatabaseGrid App, Allowed, Forbidden;
    ConfigureAppTable(App);
    ConfigureWindowTable(Allowed, false);
    ConfigureWindowTable(Forbidden, true);
    FillKnownAppTable(App, KnownApps, nullptr, false);
    FillWindowTable(Allowed, AllowedWindows, false);
    FillWindowTable(Forbidden, ForbiddenWindows, false);
    for (auto _ : State) {
        TCommitError Error;
        if (!CommitTables(App, Allowed, Forbidden, {true, true, true}, KnownApps, AllowedWindows,
                          ForbiddenWindows, Error))
            State.SkipWithError(Error.Message().c_str());
        benchmark::DoNotOptimize(KnownApps.Count());
    }
    State.SetItemsProcessed(State.iterations() * EntryCount);
}

}  // namespace

BENCHMARK(BM_FillEditingTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyBackOnOk)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
