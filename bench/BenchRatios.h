// Runs the registered benchmarks of a native timing program, each repeated
// at least ten times, and prints every figure's median beside the median of
// its baseline from the same run, with their ratio. CPU time, as the
// machine may be shared.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace bench_ratios {

// A figure's benchmark and the baseline it is measured against.
using TPairs = std::vector<std::pair<std::string, std::string>>;

class TMedianReporter : public benchmark::ConsoleReporter {
public:
    std::map<std::string, double> Medians;  // ms by benchmark function

    TMedianReporter() : ConsoleReporter(OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& Reports) override
    {
        for (const Run& R : Reports)
            if (R.run_type == Run::RT_Aggregate && R.aggregate_name == "median")
                Medians[R.run_name.function_name] =
                    R.GetAdjustedCPUTime() * Scale(R.time_unit);
        ConsoleReporter::ReportRuns(Reports);
    }

private:
    static double Scale(benchmark::TimeUnit U)
    {
        switch (U) {
        case benchmark::kNanosecond: return 1e-6;
        case benchmark::kMicrosecond: return 1e-3;
        case benchmark::kSecond: return 1e3;
        default: return 1.0;
        }
    }
};

inline int Run(int Argc, char** Argv, const TPairs& Pairs)
{
    // Flags given on the command line come later, so they win.
    std::vector<std::string> Args{Argc > 0 ? Argv[0] : "bench", "--benchmark_repetitions=10",
                                  "--benchmark_report_aggregates_only=true"};
    Args.insert(Args.end(), Argv + (Argc > 0 ? 1 : 0), Argv + Argc);
    std::vector<char*> Ptrs;
    for (std::string& A : Args)
        Ptrs.push_back(A.data());
    int N = static_cast<int>(Ptrs.size());
    benchmark::Initialize(&N, Ptrs.data());
    TMedianReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    benchmark::Shutdown();
    std::printf("\n%-34s %13s %13s %8s\n", "median CPU time", "figure", "baseline", "ratio");
    for (const auto& [Figure, Baseline] : Pairs) {
        const auto F = Reporter.Medians.find(Figure), B = Reporter.Medians.find(Baseline);
        if (F == Reporter.Medians.end() || B == Reporter.Medians.end() || B->second <= 0)
            continue;
        std::printf("%-34s %10.4f ms %10.4f ms %7.2fx  (baseline %s)\n", Figure.c_str(), F->second,
                    B->second, F->second / B->second, Baseline.c_str());
    }
    return 0;
}

} // namespace bench_ratios
