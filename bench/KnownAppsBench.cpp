// The known-applications window with 5,000 entries: filling the editing
// table from the database, and the copy back into the database on OK
// (validation of every row included). Their baselines do the same amount of
// plain work: a bare grid given the same cells one by one, and the same
// cells of the three tables read back into rows of strings.
#include "dialogs/knownapplist.h"

#include "BenchRatios.h"

#include <vector>

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

using TRows = std::vector<StringList>;

TRows CellsOf(const TDatabaseGrid& G)
{
    TRows Rows(static_cast<std::size_t>(G.RecordCount()));
    for (int R = 1; R <= G.RecordCount(); ++R)
        for (int C = 0; C < G.ColCount(); ++C)
            Rows[static_cast<std::size_t>(R - 1)].push_back(G.Cell(C, R));
    return Rows;
}

// The baseline of the fill: the filled table's cells, Found included, put
// into a grid that knows only the column names.
void BM_BareGridSameCells(benchmark::State& State)
{
    LoadEntries();
    TDatabaseGrid App;
    ConfigureAppTable(App);
    FillKnownAppTable(App, KnownApps, nullptr, false);
    FillFoundColumn(App, {"program 17 (author)|1.20", "program 4000 (author)|"});
    const TRows Rows = CellsOf(App);
    TDatabaseGrid Bare;
    Bare.SetDatabaseColumns(App.DatabaseColumns());
    for (auto _ : State) {
        Bare.SetRecordCount(static_cast<int>(Rows.size()));
        for (std::size_t R = 0; R < Rows.size(); ++R)
            for (std::size_t C = 0; C < Rows[R].size(); ++C)
                Bare.SetCell(static_cast<int>(C), static_cast<int>(R) + 1, Rows[R][C]);
        benchmark::DoNotOptimize(Bare.Cell(0, EntryCount));
    }
    State.SetItemsProcessed(State.iterations() * EntryCount);
}

// The baseline of the copy back: every cell of the three filled tables read
// into rows of strings, with neither conversion nor validation.
void BM_BareReadSameCells(benchmark::State& State)
{
    LoadEntries();
    TDatabaseGrid Tables[3];
    ConfigureAppTable(Tables[0]);
    ConfigureWindowTable(Tables[1], false);
    ConfigureWindowTable(Tables[2], true);
    FillKnownAppTable(Tables[0], KnownApps, nullptr, false);
    FillWindowTable(Tables[1], AllowedWindows, false);
    FillWindowTable(Tables[2], ForbiddenWindows, false);
    for (auto _ : State)
        for (const TDatabaseGrid& G : Tables) {
            const TRows Rows = CellsOf(G);
            benchmark::DoNotOptimize(Rows.data());
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

BENCHMARK(BM_BareGridSameCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillEditingTable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadSameCells)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CopyBackOnOk)->Unit(benchmark::kMillisecond);

int main(int Argc, char** Argv)
{
    return bench_ratios::Run(Argc, Argv,
                             {{"BM_FillEditingTable", "BM_BareGridSameCells"},
                              {"BM_CopyBackOnOk", "BM_BareReadSameCells"}});
}
