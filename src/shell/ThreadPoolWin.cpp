#include "shell/ThreadPoolWin.h"

#include "toolkit/Synchronize.h"

#include <objbase.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

NtQuerySystemInformationFn NtQuery()
{
    static const NtQuerySystemInformationFn Fn = reinterpret_cast<NtQuerySystemInformationFn>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"),
                                                 "NtQuerySystemInformation")));
    return Fn;
}

std::uint64_t Read64(const unsigned char* P)
{
    std::uint32_t Low, High;
    std::memcpy(&Low, P, 4);
    std::memcpy(&High, P + 4, 4);
    return static_cast<std::uint64_t>(High) * 4294967296ull + Low;
}

struct CpuSampler {
    std::mutex Lock;
    TCpuSampler Samples;
    // Read without the lock between samples.
    std::atomic<double> Cached{0};
    std::atomic<DWORD> LastSample{0};

    double Sample()
    {
        return Samples.Sample([](TCpuCounters& C) {
            const NtQuerySystemInformationFn Query = NtQuery();
            unsigned char Basic[44] = {}, TimeOfDay[32] = {}, Performance[328] = {};
            if (!Query || Query(0, Basic, sizeof Basic, nullptr) != 0 ||
                Query(3, TimeOfDay, sizeof TimeOfDay, nullptr) != 0 ||
                Query(2, Performance, sizeof Performance, nullptr) != 0)
                return false;
            C.IdleTime = Read64(Performance);
            C.Now = Read64(TimeOfDay + 8);
            C.Cpus = Basic[40];
            return true;
        });
    }
};

CpuSampler Sampler;

}  // namespace

int GetProcessorCount()
{
    unsigned char Basic[44] = {};
    const NtQuerySystemInformationFn Query = NtQuery();
    if (!Query || Query(0, Basic, sizeof Basic, nullptr) != 0 || Basic[40] == 0)
        return 1;
    return Basic[40];
}

int GetCpuUsage()
{
    const auto Due = [] {
        const DWORD Last = Sampler.LastSample;
        return Last == 0 || ::GetTickCount() > Last + 200;
    };
    if (Due()) {
        std::lock_guard<std::mutex> Lock(Sampler.Lock);
        if (Due()) {
            Sampler.Cached = Sampler.Sample();
            Sampler.LastSample = ::GetTickCount();
        }
    }
    const long Rounded = std::lround(Sampler.Cached.load());
    return Rounded < 0 ? 0 : static_cast<int>(Rounded);
}

// ---------------------------------------------------------------- threads

TKivThread::TKivThread()
{
    FHandle = ::CreateThread(nullptr, 0, &ThreadProc, this, CREATE_SUSPENDED, &FThreadID);
    if (!FHandle)
        throw EThread("Thread creation error: " + std::to_string(::GetLastError()));
}

TKivThread::~TKivThread()
{
    if (FHandle)
        ::CloseHandle(FHandle);
}

DWORD WINAPI TKivThread::ThreadProc(LPVOID Param)
{
    auto* Self = static_cast<TKivThread*>(Param);
    // An exception must not take the process down from a worker.
    try {
        Self->Execute();
    } catch (...) {
        ::OutputDebugStringA("Exception in a pool thread");
    }
    Self->DoTerminate();
    delete Self;
    ReleaseThreadSync();
    return 0;
}

void TKivThread::Resume()
{
    if (FSuspended.exchange(false))
        ::ResumeThread(FHandle);
}

bool TKivThread::WaitWhilePaused()
{
    while (FPaused && !FTerminated)
        ::Sleep(100);
    return FTerminated;
}

void TKivThread::DoTerminate()
{
    FFinished = true;
    PoolScope Scope(*this);
    if (TCustomThreadPool* Pool = Scope.Pool())
        Synchronize([this, Pool] { SyncThreadTerminated(*Pool); });
}

void TKivThread::SyncThreadTerminated(TCustomThreadPool& Pool)
{
    Pool.DoThreadTerminated(this);
}

TWorkerThread::TWorkerThread(TWorkerThreadPool* Pool)
{
    FLink->Pool = Pool;
}

IWorkItemPtr TWorkerThread::TakeItem(TWorkerThreadPool& Pool)
{
    std::lock_guard<std::mutex> Lock(FItemLock);
    IWorkItemPtr Item = Pool.Lifo ? Pool.FQueue.TakeLast() : Pool.FQueue.TakeFirst();
    if (!Item)
        return nullptr;
    Pool.ItemTaken(*this, *Item);
    if (Paused())
        Item->SetPaused(true);
    FCurrentItem = Item;
    return Item;
}

void TWorkerThread::SetCurrentItem(IWorkItemPtr Item)
{
    std::lock_guard<std::mutex> Lock(FItemLock);
    FCurrentItem = std::move(Item);
}

void TWorkerThread::SetPaused(bool Value)
{
    TKivThread::SetPaused(Value);
    std::lock_guard<std::mutex> Lock(FItemLock);
    if (FCurrentItem)
        FCurrentItem->SetPaused(Value);
}

void TWorkerThread::Cancel()
{
    Terminate();
    CancelCurrentItem(TWorkItemFilter());
}

bool TWorkerThread::CancelCurrentItem(const TWorkItemFilter& Filter)
{
    bool Cancelled = false;
    {
        std::lock_guard<std::mutex> Lock(FItemLock);
        if (FCurrentItem && Filter.Matches(*FCurrentItem, true)) {
            FCurrentItem->Cancel();
            Cancelled = true;
        }
    }
    Resume();
    return Cancelled;
}

void TWorkerThread::Execute()
{
    if (WaitWhilePaused())
        return;
    struct ComScope {
        bool Initialized = false;
        ~ComScope()
        {
            if (Initialized)
                ::CoUninitialize();
        }
    } Com;
    {
        PoolScope Scope(*this);
        auto* Pool = static_cast<TWorkerThreadPool*>(Scope.Pool());
        if (!Pool)
            return;
        Com.Initialized = Pool->FInitializeCom;
        Pool->ThreadStarted(this);
    }
    while (!WaitWhilePaused()) {
        IWorkItemPtr Item;
        {
            PoolScope Scope(*this);
            auto* Pool = static_cast<TWorkerThreadPool*>(Scope.Pool());
            if (!Pool)
                break;
            Item = Pool->GetNextWorkItem(this);
        }
        if (!Item)
            continue;
        bool Failed = false;
        try {
            Item->Execute();
        } catch (...) {
            // The item failed; the worker goes on with the next one.
            ::OutputDebugStringA("Exception in a work item");
            Failed = true;
        }
        PoolScope Scope(*this);
        auto* Pool = static_cast<TWorkerThreadPool*>(Scope.Pool());
        if (Pool && !Failed)
            if (std::function<void()> Method = Item->GetSyncMethod())
                Synchronize(Method);
        SetCurrentItem(nullptr);
        if (Pool)
            Pool->ItemDone();
    }
}

// ------------------------------------------------------------- base pool

TCustomThreadPool::TCustomThreadPool()
{
    // Workers take the lock for moments only: spin before sleeping.
    ::InitializeCriticalSectionAndSpinCount(&FLock, 4000);
    InitMainThreadSync();
    FMaxThreads = GetProcessorCount() * 3 + 2;
}

TCustomThreadPool::~TCustomThreadPool()
{
    TCustomThreadPool::TerminateThreads(true);
    ::DeleteCriticalSection(&FLock);
}

int TCustomThreadPool::Count() const
{
    Locker L(*this);
    return static_cast<int>(FThreads.size());
}

int TCustomThreadPool::RunningThreadCount() const
{
    Locker L(*this);
    int N = 0;
    for (TKivThread* T : FThreads)
        if (!T->Suspended() && !T->Finished())
            ++N;
    return N;
}

bool TCustomThreadPool::HasThreadLocked(const TKivThread* Thread) const
{
    Locker L(*this);
    return std::find(FThreads.begin(), FThreads.end(), Thread) != FThreads.end();
}

TKivThread* TCustomThreadPool::FirstSuspendedThread() const
{
    for (TKivThread* T : FThreads)
        if (T->Suspended())
            return T;
    return nullptr;
}

bool TCustomThreadPool::ResumeFirstSuspended()
{
    TKivThread* T = FirstSuspendedThread();
    if (T)
        T->Resume();
    return T != nullptr;
}

void TCustomThreadPool::AddThread(TKivThread* Thread)
{
    Locker L(*this);
    if (std::find(FThreads.begin(), FThreads.end(), Thread) != FThreads.end())
        throw std::logic_error("A thread was added a second time to the thread pool");
    FThreads.push_back(Thread);
    FThreadCount = static_cast<int>(FThreads.size());
    Notify(Thread, TListAction::Added);
}

void TCustomThreadPool::RemoveThread(TKivThread* Thread)
{
    Locker L(*this);
    auto It = std::find(FThreads.begin(), FThreads.end(), Thread);
    if (It == FThreads.end())
        return;
    FThreads.erase(It);
    FThreadCount = static_cast<int>(FThreads.size());
    Notify(Thread, TListAction::Deleted);
}

void TCustomThreadPool::Notify(TKivThread* Thread, TListAction Action)
{
    if (Action == TListAction::Added) {
        Thread->FLink->Pool = this;
        ::SetThreadPriority(Thread->FHandle, ThreadPriority);
    } else if (FThreads.empty()) {
        Synchronize([this] {
            if (OnAllThreadsTerminated)
                OnAllThreadsTerminated(*this);
        });
        FStopping = false;
    }
}

void TCustomThreadPool::DoThreadTerminated(TKivThread* Thread)
{
    if (OnThreadTerminated)
        OnThreadTerminated(*Thread);
    ThreadTerminated(Thread);
}

void TCustomThreadPool::ThreadTerminated(TKivThread* Thread)
{
    if (Thread->Finished())
        RemoveThread(Thread);
    else
        StopThread(Thread);
}

void TCustomThreadPool::SetMaxThreads(int Value)
{
    if (Value == FMaxThreads)
        return;
    Locker L(*this);
    FMaxThreads = Value;
    int Kept = 0;
    for (TKivThread* T : FThreads)
        if (!T->Suspended() && ++Kept > FMaxThreads)
            T->Terminate();
    while (RunningThreadCount() < FMaxThreads && ResumeFirstSuspended()) {
    }
}

void TCustomThreadPool::StopThread(TKivThread* Thread)
{
    FStopping = true;
    if (!Thread)
        return;
    if (Thread->Finished()) {
        // Its removal waits in the synchronized calls.
        if (IsMainThread())
            CheckSynchronize();
        return;
    }
    Thread->Terminate();
    Thread->Resume();
    const DWORD Start = ::GetTickCount();
    for (;;) {
        ::Sleep(10);
        if (IsMainThread())
            CheckSynchronize();
        if (!HasThreadLocked(Thread))
            return;
        if (::GetTickCount() - Start >= static_cast<DWORD>(StopTimeout))
            break;
    }
    Abandon(Thread);
}

// Killing a thread can leave the heap or the loader locked for the whole
// process: a stuck thread is given up instead. The pool forgets it and cuts
// its link, so it ends on its own later without touching the pool.
void TCustomThreadPool::Abandon(TKivThread* Thread)
{
    const std::shared_ptr<TKivThread::PoolLink> Link = Thread->FLink;
    // The thread holds its link only briefly, but possibly while waiting for
    // a synchronized call: keep running them.
    while (!Link->Guard.try_lock()) {
        if (!HasThreadLocked(Thread))
            return;
        ::Sleep(1);
        if (IsMainThread())
            CheckSynchronize();
    }
    std::lock_guard<std::mutex> Held(Link->Guard, std::adopt_lock);
    if (!HasThreadLocked(Thread))
        return;
    const std::string Note = std::string("Abandoning Thread ") + Thread->ClassName() +
                             " that did not stop. Thread ID: " + std::to_string(Thread->ThreadID());
    ::OutputDebugStringA(Note.c_str());
    Link->Pool = nullptr;
    RemoveThread(Thread);
}

void TCustomThreadPool::TerminateThreads(bool Wait)
{
    {
        Locker L(*this);
        if (FThreads.empty())
            return;
        FStopping = true;
        for (std::size_t I = FThreads.size(); I-- > 0;) {
            TKivThread* T = FThreads[I];
            if (auto* W = dynamic_cast<TWorkerThread*>(T))
                W->Cancel();
            else
                T->Terminate();
            T->Resume();
        }
    }
    if (Wait) {
        ::Sleep(20);
        if (IsMainThread())
            CheckSynchronize();
        // Every listed thread, also one that has finished but whose removal
        // is still on its way: the pool may be freed right after this.
        for (;;) {
            TKivThread* First = nullptr;
            {
                Locker L(*this);
                if (!FThreads.empty())
                    First = FThreads.front();
            }
            if (!First)
                break;
            if (First->Finished())
                ::Sleep(1);
            StopThread(First);
        }
        const std::string Note = "TCustomThreadPool.TerminateThreads done. RunningThreadCount: " +
                                 std::to_string(RunningThreadCount()) +
                                 "   Count: " + std::to_string(Count());
        ::OutputDebugStringA(Note.c_str());
    }
    ::Sleep(1);
    if (IsMainThread())
        CheckSynchronize();
}

// ----------------------------------------------------------- worker pool

TWorkerThreadPool::TWorkerThreadPool(bool InitializeCom)
    : FInitializeCom(InitializeCom), FWakeUp(::CreateEventA(nullptr, FALSE, FALSE, nullptr))
{
}

TWorkerThreadPool::~TWorkerThreadPool()
{
    FFreeing = true;
    TerminateThreads(true);
    ::CloseHandle(FWakeUp);
}

void TWorkerThreadPool::SetMinThreads(int Value)
{
    FMinThreads = Value;
    if (Value > FMaxThreads)
        SetMaxThreads(Value);
    AdjustThreads();
}

void TWorkerThreadPool::AddWorkItem(IWorkItemPtr Item)
{
    if (FCancelling || FFreeing || !Item)
        return;
    ++FPendingCount;
    FQueue.Add(std::move(Item));
    WakeWorker();
    AdjustThreads();
}

void TWorkerThreadPool::AdjustThreads()
{
    const DWORD Now = ::GetTickCount();
    const DWORD Last = FLastAdjust;
    if ((Now < Last || Now - Last < 200) && FThreadCount > FMinThreads)
        return;
    {
        Locker L(*this);
        const int Threads = static_cast<int>(FThreads.size());
        if (Threads < FMaxThreads && FQueue.Count() > 0 && !FStopping) {
            // Without any thread a queued item gets one whatever the load.
            const bool Start =
                Threads < std::max(1, FMinThreads.load()) || GetCpuUsage() < CpuThreshold;
            bool Started = false;
            if (Start) {
                try {
                    TKivThread* T = new TWorkerThread(this);
                    AddThread(T);
                    Started = true;
                } catch (const EThread&) {
                    if (Threads == 0)
                        throw;
                }
            }
            if (Started || !Start)
                FStopping = false;
        }
    }
    FLastAdjust = ::GetTickCount();
}

void TWorkerThreadPool::Notify(TKivThread* Thread, TListAction Action)
{
    TCustomThreadPool::Notify(Thread, Action);
    if (Action == TListAction::Added)
        Thread->Resume();
}

void TWorkerThreadPool::ThreadTerminated(TKivThread* Thread)
{
    // Removed first: while listed, an ended thread counts toward the limits
    // and could keep a replacement from starting.
    TCustomThreadPool::ThreadTerminated(Thread);
    if (FQueue.Count() > 0)
        AdjustThreads();
}

void TWorkerThreadPool::ThreadStarted(TKivThread* Thread)
{
    if (FInitializeCom)
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    if (FOnThreadStart)
        FOnThreadStart(*this, *Thread);
}

void TWorkerThreadPool::AssertIdle() const
{
    if (Count() != 0 || FPendingCount != 0)
        throw std::logic_error("A worker pool handler was set while the pool was at work");
}

void TWorkerThreadPool::SetOnWorkItemsDone(TWorkItemsDoneEvent Event)
{
    AssertIdle();
    FOnWorkItemsDone = std::move(Event);
}

void TWorkerThreadPool::SetOnThreadStart(TThreadStartEvent Event)
{
    AssertIdle();
    FOnThreadStart = std::move(Event);
}

IWorkItemPtr TWorkerThreadPool::GetNextWorkItem(TWorkerThread* Thread)
{
    if (Thread->WaitWhilePaused())
        return nullptr;
    const auto Take = [this, Thread] { return Thread->TakeItem(*this); };
    IWorkItemPtr Item = Take();
    const DWORD Start = ::GetTickCount();
    while (!Item) {
        const DWORD Now = ::GetTickCount();
        if (Now < Start || Now - Start > IdleTimeout) {
            Thread->Cancel();
            return nullptr;
        }
        // Counted as waiting before the queue is tried again, so an item
        // added meanwhile either is taken here or sets the event.
        ++FWaiting;
        Item = Take();
        if (Item) {
            --FWaiting;
            break;
        }
        const DWORD Wait = ::WaitForSingleObject(FWakeUp, 500);
        --FWaiting;
        if (Wait == WAIT_OBJECT_0)
            FWakePending = false;
        if (Wait == WAIT_ABANDONED || Wait == WAIT_FAILED)
            return nullptr;
        if (Thread->WaitWhilePaused()) {
            // Pass the wake-up on so that every stopping worker sees it.
            ::SetEvent(FWakeUp);
            return nullptr;
        }
        Item = Take();
    }
    // More work than this worker: the next waiting one takes it.
    if (FQueue.Count() > 0)
        WakeWorker();
    AdjustThreads();
    return Item;
}

void TWorkerThreadPool::WakeWorker()
{
    // One wake-up at a time: the woken worker passes it on while work is
    // left, which spares a system call for every item.
    if (FWaiting > 0 && !FWakePending.exchange(true))
        ::SetEvent(FWakeUp);
}

void TWorkerThreadPool::ItemDone()
{
    if (--FPendingCount == 0)
        NotifyWorkItemsDone();
}

void TWorkerThreadPool::NotifyWorkItemsDone()
{
    if (!FOnWorkItemsDone)
        return;
    if (++FNotifyGuard == 1)
        Synchronize([this] {
            if (FOnWorkItemsDone)
                FOnWorkItemsDone(*this);
            --FNotifyGuard;
            FStopping = false;
        });
    else
        --FNotifyGuard;
}

int TWorkerThreadPool::CancelWorkItems(const TWorkItemFilter& Filter)
{
    if (FPendingCount == 0)
        return 0;
    FCancelling = true;
    int Result = Filter.Empty() ? FQueue.Clear() : FQueue.RemoveMatching(Filter);
    if (Result > 0) {
        FStopping = true;
        if ((FPendingCount -= Result) == 0)
            NotifyWorkItemsDone();
    }
    {
        Locker L(*this);
        for (std::size_t I = FThreads.size(); I-- > 0;)
            if (auto* W = dynamic_cast<TWorkerThread*>(FThreads[I]))
                if (W->CancelCurrentItem(Filter))
                    ++Result;
    }
    FCancelling = false;
    return Result;
}

void TWorkerThreadPool::TerminateThreads(bool Wait)
{
    TCustomThreadPool::TerminateThreads(false);
    CancelWorkItems(TWorkItemFilter());
    ::SetEvent(FWakeUp);
    TCustomThreadPool::TerminateThreads(Wait);
    FQueue.Clear();
    if (FPendingCount != 0) {
        FPendingCount = 0;
        NotifyWorkItemsDone();
    }
    if (IsMainThread())
        CheckSynchronize();
}
