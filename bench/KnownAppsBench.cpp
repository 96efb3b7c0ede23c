// The known-applications window at 1,000 listed applications x 2,000
// entries and 10,000 x 20,000: filling the editing table from the database
// with its Found column, the Found column alone, and the copy back into the
// database on OK (validation of every row included). Their baselines do the
// same amount of plain work: a bare grid given the same cells one by one
// (for the Found column, its cells), and the same cells of the three tables
// read back into rows of strings.
#include "dialogs/knownapplist.h"

#include "BenchRatios.h"

#include <vector>

namespace {

struct TSize {
    int Listed, Entries;
    std::string Suffix() const { return "/" + IntToStr(Listed) + "x" + IntToStr(Entries); }
};
const TSize Sizes[] = {{1000, 2000}, {10000, 20000}};

// Every second entry is listed, its name in other letter case, the
// versions of half of them too old for their condition.
StringList ListedOf(const TSize& Size)
{
    StringList Listed;
    for (int I = 0; I < Size.Listed && 2 * I < Size.Entries; ++I)
        Listed.push_back("PROGRAM " + IntToStr(2 * I) + " (AUTHOR)|1." + IntToStr(I % 100));
    return Listed;
}

void LoadEntries(int EntryCount)
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

// The editing table filled, Found included.
void FillTable(TDatabaseGrid& App, TSize Size)
{
    LoadEntries(Size.Entries);
    ConfigureAppTable(App);
    FillKnownAppTable(App, KnownApps, nullptr, false);
    FillFoundColumn(App, ListedOf(Size));
}

// The Found column filled, after the whole table or alone.
void FillFound(benchmark::State& State, TSize Size, bool WholeTable)
{
    TDatabaseGrid App;
    FillTable(App, Size);
    const StringList Listed = ListedOf(Size);
    for (auto _ : State) {
        if (WholeTable)
            FillKnownAppTable(App, KnownApps, nullptr, false);
        FillFoundColumn(App, Listed);
        benchmark::DoNotOptimize(App.Cell(1, Size.Entries));
    }
    State.SetItemsProcessed(State.iterations() * Size.Entries);
}

void FillEditingTable(benchmark::State& State, TSize Size)
{
    FillFound(State, Size, true);
}

void FoundColumn(benchmark::State& State, TSize Size)
{
    FillFound(State, Size, false);
}

// The Found column's baseline: its filled cells given to it again.
void BareFoundCells(benchmark::State& State, TSize Size)
{
    TDatabaseGrid App;
    FillTable(App, Size);
    const int Col = App.ColumnIndex("Found");
    StringList Cells;
    for (int R = 1; R <= App.RecordCount(); ++R)
        Cells.push_back(App.Cell(Col, R));
    for (auto _ : State) {
        for (int R = 1; R <= App.RecordCount(); ++R)
            App.SetCell(Col, R, Cells[static_cast<std::size_t>(R - 1)]);
        benchmark::DoNotOptimize(App.Cell(Col, Size.Entries));
    }
    State.SetItemsProcessed(State.iterations() * Size.Entries);
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
void BareGridSameCells(benchmark::State& State, TSize Size)
{
    TDatabaseGrid App;
    FillTable(App, Size);
    const TRows Rows = CellsOf(App);
    TDatabaseGrid Bare;
    Bare.SetDatabaseColumns(App.DatabaseColumns());
    for (auto _ : State) {
        Bare.SetRecordCount(static_cast<int>(Rows.size()));
        for (std::size_t R = 0; R < Rows.size(); ++R)
            for (std::size_t C = 0; C < Rows[R].size(); ++C)
                Bare.SetCell(static_cast<int>(C), static_cast<int>(R) + 1, Rows[R][C]);
        benchmark::DoNotOptimize(Bare.Cell(0, Size.Entries));
    }
    State.SetItemsProcessed(State.iterations() * Size.Entries);
}

// The baseline of the copy back: every cell of the three filled tables read
// into rows of strings, with neither conversion nor validation.
void BareReadSameCells(benchmark::State& State, TSize Size)
{
    LoadEntries(Size.Entries);
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
    State.SetItemsProcessed(State.iterations() * Size.Entries);
}

void CopyBackOnOk(benchmark::State& State, TSize Size)
{
    LoadEntries(Size.Entries);
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
    State.SetItemsProcessed(State.iterations() * Size.Entries);
}

}  // namespace

int main(int Argc, char** Argv)
{
    // Figure and baseline by name, each at both sizes.
    const std::pair<const char*, void (*)(benchmark::State&, TSize)> Figures[][2] = {
        {{"BM_FillEditingTable", FillEditingTable}, {"BM_BareGridSameCells", BareGridSameCells}},
        {{"BM_FoundColumn", FoundColumn}, {"BM_BareFoundCells", BareFoundCells}},
        {{"BM_CopyBackOnOk", CopyBackOnOk}, {"BM_BareReadSameCells", BareReadSameCells}},
    };
    bench_ratios::TPairs Pairs;
    for (const TSize& Size : Sizes)
        for (const auto& F : Figures) {
            for (const auto& [Name, Run] : {F[1], F[0]})
                benchmark::RegisterBenchmark((Name + Size.Suffix()).c_str(), Run, Size)
                    ->Unit(benchmark::kMillisecond);
            Pairs.push_back({F[0].first + Size.Suffix(), F[1].first + Size.Suffix()});
        }
    return bench_ratios::Run(Argc, Argv, Pairs);
}
