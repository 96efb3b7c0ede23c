#include "shell/ThreadPool.h"

#include <chrono>
#include <thread>

const TWorkItemClass TBasicWorkItem::ClassInfo = {"TBasicWorkItem", nullptr};

void TSpinLock::lock()
{
    for (int Spins = 0; FFlag.test_and_set(std::memory_order_acquire); ++Spins)
        if (Spins >= 64)
            std::this_thread::yield();
}

bool TWorkItemClass::InheritsFrom(const TWorkItemClass* Other) const
{
    for (const TWorkItemClass* C = this; C; C = C->Parent)
        if (C == Other)
            return true;
    return false;
}

bool TWorkItemFilter::Matches(const IWorkItem& Item, bool ExactClass) const
{
    if (Class && (ExactClass ? Item.GetClass() != Class : !Item.GetClass()->InheritsFrom(Class)))
        return false;
    return (Key1 == 0 || Item.GetKey1() == Key1) && (Key2 == 0 || Item.GetKey2() == Key2);
}

void TBasicWorkItem::SetOnCompleted(TCompletedEvent Event)
{
    std::lock_guard<std::mutex> Lock(FEventLock);
    FOnCompleted = std::move(Event);
}

std::function<void()> TBasicWorkItem::GetSyncMethod()
{
    std::lock_guard<std::mutex> Lock(FEventLock);
    if (!FOnCompleted)
        return {};
    return [this] { DoCompleted(); };
}

void TBasicWorkItem::DoCompleted()
{
    TCompletedEvent Event;
    {
        std::lock_guard<std::mutex> Lock(FEventLock);
        Event = FOnCompleted;
    }
    if (Event)
        Event(*this);
}

bool TBasicWorkItem::WaitWhilePaused()
{
    while (FPaused && !FCancelled)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return FCancelled;
}

void TWorkItemsQueue::Add(IWorkItemPtr Item)
{
    std::lock_guard<TSpinLock> Lock(FLock);
    FItems.push_back(std::move(Item));
}

int TWorkItemsQueue::Count() const
{
    std::lock_guard<TSpinLock> Lock(FLock);
    return static_cast<int>(FItems.size());
}

IWorkItemPtr TWorkItemsQueue::TakeFirst()
{
    std::lock_guard<TSpinLock> Lock(FLock);
    if (FItems.empty())
        return nullptr;
    IWorkItemPtr Item = std::move(FItems.front());
    FItems.pop_front();
    return Item;
}

IWorkItemPtr TWorkItemsQueue::TakeLast()
{
    std::lock_guard<TSpinLock> Lock(FLock);
    if (FItems.empty())
        return nullptr;
    IWorkItemPtr Item = std::move(FItems.back());
    FItems.pop_back();
    return Item;
}

int TWorkItemsQueue::Clear()
{
    std::deque<IWorkItemPtr> Gone;  // released outside the lock
    std::lock_guard<TSpinLock> Lock(FLock);
    Gone.swap(FItems);
    return static_cast<int>(Gone.size());
}

int TWorkItemsQueue::RemoveMatching(const TWorkItemFilter& Filter)
{
    std::lock_guard<TSpinLock> Lock(FLock);
    int Removed = 0;
    for (std::size_t I = FItems.size(); I-- > 0;)
        if (Filter.Matches(*FItems[I], false)) {
            FItems.erase(FItems.begin() + static_cast<std::ptrdiff_t>(I));
            ++Removed;
        }
    return Removed;
}

double CpuLoadFromSamples(std::uint64_t IdleDelta, std::uint64_t TimeDelta, int Cpus)
{
    if (TimeDelta == 0 || Cpus <= 0)
        return -1.0;
    return 100.0 - static_cast<double>(IdleDelta) / static_cast<double>(TimeDelta) * 100.0 / Cpus +
           0.5;
}

double TCpuSampler::Sample(const std::function<bool(TCpuCounters&)>& Query, bool First)
{
    const bool HadPrevious = FIdleTime != 0;
    TCpuCounters C;
    if (!Query(C))
        return -1.0;
    const double Load = CpuLoadFromSamples(C.IdleTime - FIdleTime, C.Now - FNow, C.Cpus);
    FIdleTime = C.IdleTime;
    FNow = C.Now;
    // Once only: an idle time the system reports as 0 would never end it.
    return HadPrevious || !First ? Load : Sample(Query, false);
}
