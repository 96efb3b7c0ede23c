// The worker pool: threads that take work items from a queue, grow with the
// queue while the system's CPU load allows, end after an idle time, and
// deliver each item's completion on the main thread (toolkit Synchronize).
#pragma once

#include "shell/ThreadPool.h"

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

class TCustomThreadPool;
class TWorkerThreadPool;

// Processors from the native system query; 1 when it fails.
int GetProcessorCount();
// The system's CPU load in per cent, sampled at most every 200 ms.
int GetCpuUsage();

// A thread that knows its pool and can be paused. Created suspended; frees
// itself when it ends.
class TKivThread {
public:
    TKivThread();
    virtual ~TKivThread();
    TKivThread(const TKivThread&) = delete;
    TKivThread& operator=(const TKivThread&) = delete;

    virtual const char* ClassName() const { return "TKivThread"; }
    void Resume();
    bool Suspended() const { return FSuspended; }
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }
    bool Finished() const { return FFinished; }
    bool Paused() const { return FPaused; }
    virtual void SetPaused(bool Value) { FPaused = Value; }
    // Sleeps while paused and not terminated; answers Terminated.
    bool WaitWhilePaused();
    DWORD ThreadID() const { return FThreadID; }

protected:
    virtual void Execute() = 0;
    virtual void DoTerminate();
    // Main thread: reports the ended thread to its pool.
    virtual void SyncThreadTerminated(TCustomThreadPool& Pool);

    // The thread reaches its pool only through this scope; a pool that gave
    // up on a stuck thread has cut the link, and Pool() is then nullptr.
    struct PoolLink {
        std::mutex Guard;
        TCustomThreadPool* Pool = nullptr;
    };
    class PoolScope {
    public:
        explicit PoolScope(TKivThread& T) : FLink(T.FLink), FLock(FLink->Guard) {}
        TCustomThreadPool* Pool() const { return FLink->Pool; }

    private:
        std::shared_ptr<PoolLink> FLink;
        std::lock_guard<std::mutex> FLock;
    };
    std::shared_ptr<PoolLink> FLink = std::make_shared<PoolLink>();

private:
    friend class TCustomThreadPool;
    static DWORD WINAPI ThreadProc(LPVOID Param);

    HANDLE FHandle = nullptr;
    DWORD FThreadID = 0;
    std::atomic<bool> FSuspended{true};
    std::atomic<bool> FTerminated{false};
    std::atomic<bool> FFinished{false};
    std::atomic<bool> FPaused{false};
};

class TWorkerThread : public TKivThread {
public:
    explicit TWorkerThread(TWorkerThreadPool* Pool);
    const char* ClassName() const override { return "TWorkerThread"; }
    void SetPaused(bool Value) override;
    // Terminates the worker and cancels its current item.
    void Cancel();
    // Cancels the current item when it passes the filter (exact class).
    bool CancelCurrentItem(const TWorkItemFilter& Filter);

protected:
    void Execute() override;

private:
    friend class TWorkerThreadPool;
    // Takes the next item as the current one in one step: a cancel finds
    // it either queued or current, never in between.
    IWorkItemPtr TakeItem(TWorkerThreadPool& Pool);
    void SetCurrentItem(IWorkItemPtr Item);
    std::mutex FItemLock;
    IWorkItemPtr FCurrentItem;
};

// Thread creation failed while the pool was growing.
class EThread : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TCustomThreadPool {
public:
    TCustomThreadPool();
    virtual ~TCustomThreadPool();
    TCustomThreadPool(const TCustomThreadPool&) = delete;
    TCustomThreadPool& operator=(const TCustomThreadPool&) = delete;

    // Both run on the main thread only.
    std::function<void(TKivThread& Thread)> OnThreadTerminated;
    std::function<void(TCustomThreadPool& Sender)> OnAllThreadsTerminated;
    // Read by workers when they start others; may change at any time.
    std::atomic<int> ThreadPriority{THREAD_PRIORITY_NORMAL};
    // How long a stop request waits before the thread is given up.
    int StopTimeout = 3000;

    int MaxThreads() const { return FMaxThreads; }
    void SetMaxThreads(int Value);
    int Count() const;
    int RunningThreadCount() const;
    bool HasThreadLocked(const TKivThread* Thread) const;
    bool Stopping() const { return FStopping; }

    virtual void AddThread(TKivThread* Thread);
    virtual void ThreadTerminated(TKivThread* Thread);
    virtual void TerminateThreads(bool Wait);
    void StopThread(TKivThread* Thread);

protected:
    friend class TKivThread;
    enum class TListAction { Added, Deleted };
    virtual void Notify(TKivThread* Thread, TListAction Action);
    void RemoveThread(TKivThread* Thread);
    TKivThread* FirstSuspendedThread() const;
    bool ResumeFirstSuspended();
    void DoThreadTerminated(TKivThread* Thread);

    struct Locker {
        explicit Locker(const TCustomThreadPool& P) : Lock(&P.FLock) { ::EnterCriticalSection(Lock); }
        ~Locker() { ::LeaveCriticalSection(Lock); }
        CRITICAL_SECTION* Lock;
    };

    std::vector<TKivThread*> FThreads;
    std::atomic<int> FThreadCount{0};  // FThreads' size, read without the lock
    std::atomic<bool> FStopping{false};
    std::atomic<int> FMaxThreads;

private:
    void Abandon(TKivThread* Thread);
    mutable CRITICAL_SECTION FLock;
};

class TWorkerThreadPool : public TCustomThreadPool {
public:
    explicit TWorkerThreadPool(bool InitializeCom);
    ~TWorkerThreadPool() override;

    using TWorkItemsDoneEvent = std::function<void(TWorkerThreadPool& Sender)>;
    // In the starting worker's own thread.
    using TThreadStartEvent = std::function<void(TWorkerThreadPool& Sender, TKivThread& Thread)>;
    // Workers read these handlers without a lock: they are set while the
    // pool has no thread and no item, else an assertion fails.
    void SetOnWorkItemsDone(TWorkItemsDoneEvent Event);
    void SetOnThreadStart(TThreadStartEvent Event);
    std::atomic<bool> Lifo{false};
    std::atomic<DWORD> IdleTimeout{60000};
    std::atomic<int> CpuThreshold{80};

    int MinThreads() const { return FMinThreads; }
    void SetMinThreads(int Value);
    void AddWorkItem(IWorkItemPtr Item);
    // Removes matching queued items and cancels matching running ones;
    // answers how many.
    int CancelWorkItems(const TWorkItemFilter& Filter);
    int WorkItemCount() const { return FQueue.Count(); }
    int PendingCount() const { return FPendingCount; }
    void AdjustThreads();

    void ThreadTerminated(TKivThread* Thread) override;
    void TerminateThreads(bool Wait) override;

protected:
    friend class TWorkerThread;
    void Notify(TKivThread* Thread, TListAction Action) override;
    virtual void ThreadStarted(TKivThread* Thread);
    // In the worker, between taking Item from the queue and making it its
    // current one, under the worker's item lock; a seam for tests.
    virtual void ItemTaken(TWorkerThread&, IWorkItem&) {}
    IWorkItemPtr GetNextWorkItem(TWorkerThread* Thread);
    void ItemDone();
    void WakeWorker();
    void NotifyWorkItemsDone();

private:
    void AssertIdle() const;
    TWorkItemsDoneEvent FOnWorkItemsDone;
    TThreadStartEvent FOnThreadStart;
    std::atomic<int> FMinThreads{1};
    TWorkItemsQueue FQueue;
    std::atomic<bool> FCancelling{false};
    // Set while the pool is freed: an item added meanwhile (by a completion
    // that the freeing runs) is dropped, so the freeing starts no work.
    std::atomic<bool> FFreeing{false};
    std::atomic<int> FPendingCount{0};
    std::atomic<int> FNotifyGuard{0};
    std::atomic<DWORD> FLastAdjust{0};
    std::atomic<int> FWaiting{0};  // workers waiting for the wake-up event
    std::atomic<bool> FWakePending{false};  // the event is set and no worker woke yet
    const bool FInitializeCom;
    HANDLE FWakeUp;
};
