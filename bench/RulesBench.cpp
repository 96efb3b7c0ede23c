// Reading and writing a rules text of 20,000 entries (the database of
// 10,000 x 20,000 stored, read at start and written at the close), beside the cost of
// merely splitting the same text into lines (the baseline of both).
#include "hosting/KnownApps.h"
#include "hosting/RulesFile.h"

#include "BenchRatios.h"

#include <cstdlib>
#include <string>

namespace {

const int EntryCount = 20000;
const int CategoryCount = 25;

const char* const Methods[] = {
    "bind; no title; minsize=start",
    "bind; hard sizing; minsize=640,480; only 1x",
    "external",
    "unsupported",
};

const char* const Versions[] = {"", ">= 1.2", "<  3.0.4", "?  0", "=  2.1.0.17"};

void FillDatabase()
{
    KnownApps.Clear();
    AllowedWindows.Clear();
    ForbiddenWindows.Clear();
    for (int I = 0; I < EntryCount; ++I) {
        const std::string N = IntToStr(I);
        const std::uint8_t Code = AddKnownApp(
            KnownApps, "Category " + IntToStr(I % CategoryCount), "Spectrum program " + N,
            Versions[I % 5], IntToStr(100000 + I * 7), Methods[I % 4],
            "prog" + N + ".exe;prog" + N + ".rom", IntToStr(I % 40),
            "http://www.example.org/programs/" + N, I % 4 == 3 ? "Needs its own drivers" : "",
            I % 3 == 0 ? "\"Spectrum program " + N + "\"" : "", I % 2 == 0 ? "\"TProgForm\"" : "",
            IntToStr(I % 3));
        if (Code != ieOk)
            std::abort();
    }
    for (int I = 0; I < 50; ++I) {
        AllowedWindows.AddAppWindow("prog" + IntToStr(I) + ".exe", "Debugger", NotGiven);
        ForbiddenWindows.AddAppWindow("tool*.exe", NotGiven, "TDialog" + IntToStr(I));
    }
    TDateTime Date;
    TryEncodeDate(2024, 5, 17, Date);
    KnownApps.RulesDate = Date;
}

// The generated database as one file image with CRLF line ends.
const std::string& RulesFileText()
{
    static const std::string Text = [] {
        FillDatabase();
        StringList Lines;
        WriteApplicationRules(Lines);
        std::string R;
        for (const std::string& Line : Lines)
            R += Line + "\r\n";
        return R;
    }();
    return Text;
}

void BM_SplitLines(benchmark::State& State)
{
    const std::string& Text = RulesFileText();
    for (auto _ : State) {
        StringList Lines;
        TextToLines(Text, Lines);
        benchmark::DoNotOptimize(Lines.data());
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}

void BM_ReadRules(benchmark::State& State)
{
    const std::string& Text = RulesFileText();
    for (auto _ : State) {
        KnownApps.RulesDate = 0;
        StringList Lines;
        TextToLines(Text, Lines);
        int ErrorLine;
        if (ReadApplicationRules(Lines, ErrorLine) != ieOk)
            State.SkipWithError("rules text not accepted");
    }
    State.SetBytesProcessed(static_cast<std::int64_t>(State.iterations() * Text.size()));
}

void BM_WriteRules(benchmark::State& State)
{
    FillDatabase();
    for (auto _ : State) {
        StringList Lines;
        WriteApplicationRules(Lines);
        benchmark::DoNotOptimize(Lines.data());
    }
}

} // namespace

BENCHMARK(BM_SplitLines)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadRules)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteRules)->Unit(benchmark::kMillisecond);

int main(int Argc, char** Argv)
{
    return bench_ratios::Run(Argc, Argv,
                             {{"BM_ReadRules", "BM_SplitLines"}, {"BM_WriteRules", "BM_SplitLines"}});
}
