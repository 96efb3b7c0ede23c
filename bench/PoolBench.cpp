// pool_bench: what the worker pool costs per item. Run by hand under Wine:
//   wine pool_bench.exe [items] [least workers]
// Times [items] tiny items (a few additions each) run inline on the main
// thread, through a pool without a completion, and with a completion
// delivered on the main thread. The pool keeps at least [least workers]
// (default: the global pool's 4 per processor) and at most twice that.
#include "shell/ThreadPoolWin.h"

#include "toolkit/Application.h"
#include "toolkit/Synchronize.h"

#include "BenchTiming.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

std::atomic<long long> Sink{0};

struct TinyItem : TBasicWorkItem {
    void Execute() override
    {
        long long S = 0;
        for (int I = 0; I < 16; ++I)
            S += I;
        Sink += S;
    }
};

int MinWorkers = 0;

double RunPool(int Items, bool WithCompletion, int& Completed)
{
    TWorkerThreadPool Pool(false);
    Pool.SetMinThreads(MinWorkers);
    Pool.SetMaxThreads(2 * Pool.MinThreads());
    Completed = 0;
    const LARGE_INTEGER Start = Now();
    for (int I = 0; I < Items; ++I) {
        auto Item = std::make_shared<TinyItem>();
        if (WithCompletion)
            Item->SetOnCompleted([&](TBasicWorkItem&) { ++Completed; });
        Pool.AddWorkItem(Item);
    }
    while (Pool.PendingCount() > 0) {
        MSG Msg;
        while (::PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&Msg);
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    }
    const double Ms = ::Ms(Start, Now());
    std::printf("    (%d workers at the end)\n", Pool.Count());
    return Ms;
}

}  // namespace

int main(int Argc, char** Argv)
{
    const int Items = Argc > 1 ? std::atoi(Argv[1]) : 100000;
    MinWorkers = Argc > 2 ? std::atoi(Argv[2]) : 4 * GetProcessorCount();
    TApplication App;
    InitMainThreadSync();
    std::printf("pool_bench: %d tiny items, %d processors\n", Items, GetProcessorCount());

    int Completed = 0;
    LARGE_INTEGER Start = Now();
    for (int I = 0; I < Items; ++I) {
        auto Item = std::make_shared<TinyItem>();
        Item->SetOnCompleted([&](TBasicWorkItem&) { ++Completed; });
        Item->Execute();
        if (std::function<void()> Sync = Item->GetSyncMethod())
            Sync();
    }
    const double Inline = Ms(Start, Now());
    std::printf("  baseline: inline, completion   %9.1f ms  %7.2f us/item\n", Inline,
                1000.0 * Inline / Items);

    const double Plain = RunPool(Items, false, Completed);
    std::printf("  pool, no completion            %9.1f ms  %7.2f us/item  (%.2fx)\n", Plain,
                1000.0 * Plain / Items, Plain / Inline);
    const double Synced = RunPool(Items, true, Completed);
    std::printf("  pool, completion on main       %9.1f ms  %7.2f us/item  (%.2fx, %d completed)\n",
                Synced, 1000.0 * Synced / Items, Synced / Inline, Completed);
    return Completed == Items ? 0 : 1;
}
