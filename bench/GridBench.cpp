// Sorting 10,000 records of the named-column grid on two keys: a text key
// with many duplicates, then a number; beside it, as the baseline, a bare
// std::sort of the same records with the same comparisons.
#include "components/DatabaseGrid.h"

#include "BenchRatios.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

const int RecordCount = 10000;

using TRecord = std::vector<std::string>;

// The same shuffled records every time, so each run sorts the same input.
std::vector<TRecord> ShuffledRecords()
{
    std::mt19937 Rng(20240601);
    std::vector<TRecord> Records;
    for (int R = 1; R <= RecordCount; ++R) {
        std::string Name = "Program " + IntToStr(Rng() % 500) + " Spectrum";
        Records.push_back({IntToStr(R), Name, IntToStr(static_cast<int>(Rng() % 200000) - 100000)});
    }
    return Records;
}

void FillShuffled(TDatabaseGrid& G)
{
    static const std::vector<TRecord> Records = ShuffledRecords();
    G.SetRecordCount(RecordCount);
    for (int R = 1; R <= RecordCount; ++R)
        for (int C = 0; C < 3; ++C)
            G.SetCell(C, R, Records[static_cast<std::size_t>(R - 1)][static_cast<std::size_t>(C)]);
}

int CompareNumbers(const std::string& A, const std::string& B)
{
    const int X = StrToIntDefTrim(A, 0), Y = StrToIntDefTrim(B, 0);
    return (X > Y) - (X < Y);
}

// The baseline: the grid's comparisons of Name, then Size, under std::sort.
void BareSort(benchmark::State& State, bool Natural)
{
    const std::vector<TRecord> Input = ShuffledRecords();
    const auto Before = [Natural](const TRecord& A, const TRecord& B) {
        const int R = Natural ? CompareNatural(A[1], B[1]) : CompareText(A[1], B[1]);
        return (R != 0 ? R : CompareNumbers(A[2], B[2])) < 0;
    };
    std::vector<TRecord> Records;
    for (auto _ : State) {
        State.PauseTiming();
        Records = Input;
        State.ResumeTiming();
        std::sort(Records.begin(), Records.end(), Before);
        benchmark::DoNotOptimize(Records.data());
    }
    State.SetItemsProcessed(State.iterations() * RecordCount);
}

void BM_BareSortTextThenNumber(benchmark::State& State)
{
    BareSort(State, false);
}

void BM_BareSortNaturalThenNumber(benchmark::State& State)
{
    BareSort(State, true);
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

BENCHMARK(BM_BareSortTextThenNumber)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridSortTextThenNumber)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareSortNaturalThenNumber)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridSortNaturalThenNumber)->Unit(benchmark::kMillisecond);

int main(int Argc, char** Argv)
{
    return bench_ratios::Run(Argc, Argv,
                             {{"BM_GridSortTextThenNumber", "BM_BareSortTextThenNumber"},
                              {"BM_GridSortNaturalThenNumber", "BM_BareSortNaturalThenNumber"}});
}
