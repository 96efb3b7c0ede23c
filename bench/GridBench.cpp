// Sorting 20,000 records (the known applications of 10,000 x 20,000
// stored) of the named-column grid on two keys: a text key
// with many duplicates, then a number; beside it, as the baseline, a bare
// std::sort of the records' row numbers over the same keys, each read once
// per sort as the grid reads them, with a comparison that is a strict weak
// order (std::sort allows no other), then the records moved into place.
#include "components/DatabaseGrid.h"

#include "BenchRatios.h"

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace {

const int RecordCount = 20000;

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

// A record's keys, read once: the name, its number (for the natural
// order), the size.
struct TKeys {
    std::string Name;
    int NameNumber;
    int Size;
};

// The natural order's text part as a strict weak order: the texts compared
// without regard to case with their digits passed over, as the grid's
// SameTextIgnoringDigits walks them at each comparison.
int CompareTextIgnoringDigits(std::string_view A, std::string_view B)
{
    const auto Digit = [](char C) { return C >= '0' && C <= '9'; };
    std::size_t I = 0, J = 0;
    for (;;) {
        while (I < A.size() && Digit(A[I]))
            ++I;
        while (J < B.size() && Digit(B[J]))
            ++J;
        if (I == A.size() || J == B.size())
            return (I < A.size()) - (J < B.size());
        const auto X = static_cast<unsigned char>(UpCaseAscii(A[I++]));
        const auto Y = static_cast<unsigned char>(UpCaseAscii(B[J++]));
        if (X != Y)
            return X < Y ? -1 : 1;
    }
}

// The baseline: the name compared as text, or naturally (its text without
// digits, then its number), then the size as a number.
void BareSort(benchmark::State& State, bool Natural)
{
    const std::vector<TRecord> Input = ShuffledRecords();
    std::vector<TRecord> Records;
    std::vector<TKeys> Keys(Input.size());
    std::vector<int> Order(Input.size());
    for (auto _ : State) {
        State.PauseTiming();
        Records = Input;
        State.ResumeTiming();
        for (std::size_t I = 0; I < Records.size(); ++I) {
            const TRecord& R = Records[I];
            Keys[I] = {R[1], Natural ? StrToIntDefTrim(R[1], 0) : 0, StrToIntDefTrim(R[2], 0)};
            Order[I] = static_cast<int>(I);
        }
        std::sort(Order.begin(), Order.end(), [&Keys, Natural](int A, int B) {
            const TKeys& X = Keys[static_cast<std::size_t>(A)];
            const TKeys& Y = Keys[static_cast<std::size_t>(B)];
            const int R = Natural ? CompareTextIgnoringDigits(X.Name, Y.Name)
                                  : CompareText(X.Name, Y.Name);
            if (R != 0)
                return R < 0;
            if (X.NameNumber != Y.NameNumber)
                return X.NameNumber < Y.NameNumber;
            return X.Size < Y.Size;
        });
        std::vector<TRecord> Sorted(Records.size());
        for (std::size_t I = 0; I < Order.size(); ++I)
            Sorted[I] = std::move(Records[static_cast<std::size_t>(Order[I])]);
        Records.swap(Sorted);
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
