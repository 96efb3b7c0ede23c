// Sorting 10,000 records of the named-column grid on two keys: a text key
// with many duplicates, then a number.
#include "components/DatabaseGrid.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

const int RecordCount = 10000;

// Rewrites every record in the same shuffled order, so each run sorts the
// same input.
void FillShuffled(TDatabaseGrid& G)
{
    std::mt19937 Rng(20240601);
    G.SetRecordCount(RecordCount);
    for (int R = 1; R <= RecordCount; ++R) {
        G.SetCell(0, R, IntToStr(R));
        G.SetCell(1, R, "Program " + IntToStr(Rng() % 500) + " Spectrum");
        G.SetCell(2, R, IntToStr(static_cast<int>(Rng() % 200000) - 100000));
    }
}

void SortTwoKeys(benchmark::State& State, const char* NameKind)
{
    TDatabaseGrid G;
    G.SetDatabaseColumns("Id|Name|Size");
    G.SetColumnTypes("number|text|number");
    G.SetPrimaryKeyColumn("Id");
    G.SetLookupColumns(NameKind);
    G.SetSortColumns("Name|Size");
    for (auto _ : State) {
        State.PauseTiming();
        FillShuffled(G);
        State.ResumeTiming();
        G.SortRecords();
        benchmark::DoNotOptimize(G.Cell(0, 1));
    }
    State.SetItemsProcessed(State.iterations() * RecordCount);
}

void BM_GridSortTextThenNumber(benchmark::State& State)
{
    SortTwoKeys(State, "");
}

// A lookup column compares naturally, the slower of the comparisons.
void BM_GridSortNaturalThenNumber(benchmark::State& State)
{
    SortTwoKeys(State, "Name");
}

} // namespace

BENCHMARK(BM_GridSortTextThenNumber)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridSortNaturalThenNumber)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
