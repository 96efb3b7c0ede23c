// Work items and their queue for the worker pool (ThreadPoolWin.h). Portable:
// the items, the class-and-keys filter that cancels them, the queue, and the
// CPU-load arithmetic.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

// The class of a work item, for cancelling by class: a name and the class
// it derives from.
struct TWorkItemClass {
    const char* Name;
    const TWorkItemClass* Parent;
    bool InheritsFrom(const TWorkItemClass* Other) const;
};

class IWorkItem {
public:
    virtual ~IWorkItem() = default;
    // Run on the main thread after Execute; empty when there is none.
    virtual std::function<void()> GetSyncMethod() = 0;
    virtual std::int64_t GetKey1() const = 0;
    virtual std::int64_t GetKey2() const = 0;
    // Runs in a worker thread.
    virtual void Execute() = 0;
    virtual void Cancel() = 0;
    virtual void SetPaused(bool Value) = 0;
    virtual const TWorkItemClass* GetClass() const = 0;
};

// Queues and workers hold items by this reference.
using IWorkItemPtr = std::shared_ptr<IWorkItem>;

// A class (nullptr: any) and two keys (0: any). Queued items match a class
// they inherit from; a running item only its exact class.
struct TWorkItemFilter {
    const TWorkItemClass* Class = nullptr;
    std::int64_t Key1 = 0;
    std::int64_t Key2 = 0;
    bool Empty() const { return !Class && Key1 == 0 && Key2 == 0; }
    bool Matches(const IWorkItem& Item, bool ExactClass) const;
};

class TBasicWorkItem : public IWorkItem {
public:
    static const TWorkItemClass ClassInfo;

    using TCompletedEvent = std::function<void(TBasicWorkItem& Sender)>;
    // An empty event clears the completion, also after the item was queued.
    void SetOnCompleted(TCompletedEvent Event);

    std::function<void()> GetSyncMethod() override;
    std::int64_t GetKey1() const override { return Key1; }
    std::int64_t GetKey2() const override { return Key2; }
    void Cancel() override { FCancelled = true; }
    void SetPaused(bool Value) override { FPaused = Value; }
    const TWorkItemClass* GetClass() const override { return &ClassInfo; }

    bool Cancelled() const { return FCancelled; }
    bool Paused() const { return FPaused; }
    // Sleeps while paused and not cancelled; answers Cancelled.
    bool WaitWhilePaused();

    std::int64_t Key1 = 0;
    std::int64_t Key2 = 0;

protected:
    // Fires OnCompleted on the main thread.
    void DoCompleted();

private:
    std::atomic<bool> FPaused{false};
    std::atomic<bool> FCancelled{false};
    std::mutex FEventLock;  // the main thread may clear the event while a worker asks for it
    TCompletedEvent FOnCompleted;
};

// Held for a few instructions only; spinning first keeps a contended lock
// out of the system's wait queues.
class TSpinLock {
public:
    void lock();
    void unlock() { FFlag.clear(std::memory_order_release); }

private:
    std::atomic_flag FFlag = ATOMIC_FLAG_INIT;
};

class TWorkItemsQueue {
public:
    void Add(IWorkItemPtr Item);
    int Count() const;
    // nullptr when empty; else the oldest or the newest item, removed.
    IWorkItemPtr TakeFirst();
    IWorkItemPtr TakeLast();
    // Answers how many were held.
    int Clear();
    // Removes the matching items, newest first; answers how many.
    int RemoveMatching(const TWorkItemFilter& Filter);

private:
    mutable TSpinLock FLock;
    std::deque<IWorkItemPtr> FItems;
};

// Load in per cent from two samples of the system's idle time and the time
// of day (both in 100 ns units) over Cpus processors; -1 when no time
// passed between the samples, which gives no figure.
double CpuLoadFromSamples(std::uint64_t IdleDelta, std::uint64_t TimeDelta, int Cpus);

// One reading of the system's counters.
struct TCpuCounters {
    std::uint64_t IdleTime = 0;  // 100 ns units
    std::uint64_t Now = 0;       // time of day, 100 ns units
    int Cpus = 1;
};

// The load since the previous reading; the first reading is followed by a
// second at once. Query answers false when the system cannot be read: the
// result is then -1 and nothing is kept.
class TCpuSampler {
public:
    double Sample(const std::function<bool(TCpuCounters&)>& Query, bool First = true);

private:
    std::uint64_t FIdleTime = 0;
    std::uint64_t FNow = 0;
};
