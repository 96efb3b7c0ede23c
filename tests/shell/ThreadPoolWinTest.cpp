#include "shell/ThreadPoolWin.h"

#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Synchronize.h"
#include "toolkit/Timer.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <vector>

namespace {

const TWorkItemClass GateClass = {"Gate", &TBasicWorkItem::ClassInfo};
const TWorkItemClass DerivedClass = {"Derived", &GateClass};

struct TestItem : TBasicWorkItem {
    TestItem(int Id, const TWorkItemClass* C, std::function<void()> Work)
        : Id(Id), Class(C), Work(std::move(Work))
    {
    }
    void Execute() override
    {
        if (Work)
            Work();
    }
    const TWorkItemClass* GetClass() const override { return Class; }
    int Id;
    const TWorkItemClass* Class;
    std::function<void()> Work;
};

class PoolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitMainThreadSync();
        Gate = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override
    {
        ::SetEvent(Gate);
        delete Pool;
        ::CloseHandle(Gate);
    }
    TWorkerThreadPool* NewPool(int Min, int Max, TWorkerThreadPool* Made = nullptr)
    {
        Pool = Made ? Made : new TWorkerThreadPool(false);
        Pool->SetMaxThreads(Max);
        Pool->SetMinThreads(Min);
        Pool->SetOnWorkItemsDone([this](TWorkerThreadPool&) { ++DoneEvents; });
        return Pool;
    }
    // An item recording its id in Ran and its completion in Completed.
    std::shared_ptr<TestItem> Add(int Id, const TWorkItemClass* C = &TBasicWorkItem::ClassInfo,
                                  std::int64_t Key1 = 0, std::function<void()> Work = nullptr)
    {
        auto I = std::make_shared<TestItem>(Id, C, [this, Id, Work] {
            if (Work)
                Work();
            std::lock_guard<std::mutex> L(RanLock);
            Ran.push_back(Id);
        });
        I->Key1 = Key1;
        I->SetOnCompleted([this](TBasicWorkItem& Sender) {
            OnGuiThread = OnGuiThread && IsMainThread();
            Completed.push_back(static_cast<TestItem&>(Sender).Id);
        });
        Pool->AddWorkItem(I);
        return I;
    }
    // The first item holds the only worker until Gate is set.
    void AddGateItem(const TWorkItemClass* C = &GateClass)
    {
        Add(0, C, 0, [this] { ::WaitForSingleObject(Gate, 10000); });
        ASSERT_TRUE(PumpUntil([this] { return Pool->WorkItemCount() == 0; }, 5000));
    }
    bool WaitAllDone(DWORD Ms = 10000)
    {
        return PumpUntil([this] { return Pool->PendingCount() == 0 && DoneEvents > 0; }, Ms);
    }
    std::vector<int> RanIds()
    {
        std::lock_guard<std::mutex> L(RanLock);
        return Ran;
    }

    TApplication App;
    TWorkerThreadPool* Pool = nullptr;
    HANDLE Gate = nullptr;
    std::mutex RanLock;
    std::vector<int> Ran;
    std::vector<int> Completed;
    bool OnGuiThread = true;
    int DoneEvents = 0;
};

TEST_F(PoolTest, ThousandItemsCompleteOnceEachOnTheGuiThreadAlsoInAModalLoop)
{
    for (bool Modal : {false, true}) {
        NewPool(2, 6);
        Completed.clear();
        DoneEvents = 0;
        for (int Id = 1; Id <= 1000; ++Id)
            Add(Id);
        if (Modal) {
            FormArgs A;
            A.Caption = "modal";
            Form Dialog(&App, A);
            Timer T(&App, 20);
            T.OnTimer = [&] {
                if (Pool->PendingCount() == 0 && DoneEvents > 0)
                    Dialog.ModalResult = mrOk;
            };
            EXPECT_EQ(mrOk, Dialog.ShowModal());
        }
        ASSERT_TRUE(WaitAllDone()) << Modal;
        std::vector<int> Sorted = Completed;
        std::sort(Sorted.begin(), Sorted.end());
        ASSERT_EQ(1000u, Sorted.size()) << Modal;
        for (int Id = 1; Id <= 1000; ++Id)
            ASSERT_EQ(Id, Sorted[Id - 1]) << Modal;
        EXPECT_TRUE(OnGuiThread);
        EXPECT_EQ(1, DoneEvents);
        delete Pool;
        Pool = nullptr;
    }
}

TEST_F(PoolTest, OrderFollowsLifo)
{
    for (bool Lifo : {false, true}) {
        NewPool(1, 1);
        Pool->Lifo = Lifo;
        Ran.clear();
        AddGateItem();
        for (int Id = 1; Id <= 4; ++Id)
            Add(Id);
        ::SetEvent(Gate);
        ASSERT_TRUE(WaitAllDone());
        const std::vector<int> Want =
            Lifo ? std::vector<int>{0, 4, 3, 2, 1} : std::vector<int>{0, 1, 2, 3, 4};
        EXPECT_EQ(Want, RanIds()) << Lifo;
        ::ResetEvent(Gate);
        delete Pool;
        Pool = nullptr;
    }
}

TEST_F(PoolTest, CancelByClassAndKey)
{
    // Queued behind the running gate item: 1 Gate/k7, 2 Derived/k7, 3 plain/k8.
    struct Case {
        const TWorkItemClass* RunningClass;
        TWorkItemFilter Filter;
        int Cancelled;
        std::set<int> Ran;
    } Cases[] = {
        {&GateClass, {}, 4, {0}},  // clears the queue and cancels the running item
        {&GateClass, {&GateClass, 0, 0}, 3, {0, 3}},
        {&DerivedClass, {&GateClass, 0, 0}, 2, {0, 3}},  // running: exact class only
        {&GateClass, {nullptr, 7, 0}, 2, {0, 3}},
        {&GateClass, {&DerivedClass, 7, 0}, 1, {0, 1, 3}},
        {&GateClass, {nullptr, 9, 0}, 0, {0, 1, 2, 3}},
    };
    for (const Case& C : Cases) {
        NewPool(1, 1);
        Ran.clear();
        Completed.clear();
        AddGateItem(C.RunningClass);
        Add(1, &GateClass, 7);
        Add(2, &DerivedClass, 7);
        Add(3, &TBasicWorkItem::ClassInfo, 8);
        EXPECT_EQ(C.Cancelled, Pool->CancelWorkItems(C.Filter)) << C.Cancelled;
        ::SetEvent(Gate);
        ASSERT_TRUE(PumpUntil([this] { return Pool->PendingCount() == 0; }, 5000));
        const std::vector<int> R = RanIds();
        EXPECT_EQ(C.Ran, std::set<int>(R.begin(), R.end())) << C.Cancelled;
        ::ResetEvent(Gate);
        delete Pool;
        Pool = nullptr;
    }
}

TEST_F(PoolTest, AddingWhileCancellingDropsTheItem)
{
    // The running item's cancel queues more work and meets the cancelling flag.
    struct Requeue : TestItem {
        using TestItem::TestItem;
        void Cancel() override
        {
            TestItem::Cancel();
            Pool->AddWorkItem(std::make_shared<TestItem>(99, &GateClass, nullptr));
        }
        TWorkerThreadPool* Pool = nullptr;
    };
    NewPool(1, 1);
    HANDLE G = Gate;
    auto R = std::make_shared<Requeue>(0, &GateClass, [G] { ::WaitForSingleObject(G, 10000); });
    R->Pool = Pool;
    Pool->AddWorkItem(R);
    ASSERT_TRUE(PumpUntil([this] { return Pool->WorkItemCount() == 0; }, 5000));
    EXPECT_EQ(1, Pool->CancelWorkItems({}));
    EXPECT_EQ(1, Pool->PendingCount());
    EXPECT_EQ(0, Pool->WorkItemCount());
    ::SetEvent(Gate);
    ASSERT_TRUE(PumpUntil([this] { return Pool->PendingCount() == 0; }, 5000));
}

TEST_F(PoolTest, IdleWorkerEndsAndANewItemStartsAnother)
{
    NewPool(1, 2);
    Pool->IdleTimeout = 300;
    Add(1);
    ASSERT_TRUE(WaitAllDone());
    EXPECT_EQ(1, Pool->Count());
    ASSERT_TRUE(PumpUntil([this] { return Pool->Count() == 0; }, 5000));
    Add(2);
    EXPECT_EQ(1, Pool->Count());
    ASSERT_TRUE(PumpUntil([this] { return Completed.size() == 2; }, 5000));
}

TEST_F(PoolTest, AnItemAddedWhileTheLastWorkerEndsGetsAWorker)
{
    // The worker has timed out and ended, but its removal waits for the
    // main thread; the CPU check refuses every worker beyond the minimum.
    struct Case {
        int Min, Max;
    } Cases[] = {{1, 2}, {1, 1}, {0, 1}};
    for (const Case& C : Cases) {
        NewPool(C.Min, C.Max);
        Pool->IdleTimeout = 300;
        Pool->CpuThreshold = 0;
        Completed.clear();
        DoneEvents = 0;
        Add(1);
        ASSERT_TRUE(WaitAllDone(5000)) << C.Min;
        // Not pumped, so the ended worker stays listed.
        for (int I = 0; I < 500 && Pool->RunningThreadCount() > 0; ++I)
            ::Sleep(10);
        ASSERT_EQ(1, Pool->Count()) << C.Max;
        ASSERT_EQ(0, Pool->RunningThreadCount()) << C.Max;
        Add(2);
        EXPECT_TRUE(PumpUntil([this] { return Completed.size() == 2; }, 5000)) << C.Max;
        delete Pool;
        Pool = nullptr;
    }
}

// Runs a test's code in the worker as it takes an item from the queue.
struct HandOverPool : TWorkerThreadPool {
    using TWorkerThreadPool::TWorkerThreadPool;
    std::function<void(IWorkItem&)> Taken;

protected:
    void ItemTaken(TWorkerThread&, IWorkItem& Item) override
    {
        if (Taken)
            Taken(Item);
    }
};

TEST_F(PoolTest, ACancelFindsAnItemTheMomentAWorkerTookIt)
{
    // The worker waits (at most a moment) for the cancel as it takes the
    // item: the cancel must find it queued or current, not in between.
    struct Case {
        TWorkItemFilter Filter;
        int Cancelled;
    } Cases[] = {
        {{}, 1},
        {{&GateClass, 0, 0}, 1},
        {{nullptr, 7, 0}, 1},
        {{nullptr, 8, 0}, 0},
    };
    HANDLE Taken = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE Looked = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    for (const Case& C : Cases) {
        auto* P = new HandOverPool(false);
        NewPool(1, 1, P);
        P->Taken = [&](IWorkItem&) {
            ::SetEvent(Taken);
            ::WaitForSingleObject(Looked, 100);
        };
        ::ResetEvent(Looked);  // set late by the row before
        const std::shared_ptr<TestItem> Item = Add(1, &GateClass, 7);
        ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(Taken, 5000));
        EXPECT_EQ(C.Cancelled, Pool->CancelWorkItems(C.Filter)) << C.Filter.Key1;
        ::SetEvent(Looked);
        ASSERT_TRUE(WaitAllDone());
        EXPECT_EQ(C.Cancelled == 1, Item->Cancelled()) << C.Filter.Key1;
        delete Pool;
        Pool = nullptr;
    }
    ::CloseHandle(Taken);
    ::CloseHandle(Looked);
}

TEST_F(PoolTest, LimitsAndFailures)
{
    NewPool(1, 3);
    Pool->SetMinThreads(5);  // above the maximum: raises it
    EXPECT_EQ(5, Pool->MaxThreads());
    // Handlers that workers read are set before the first item only.
    const std::function<void()> Setters[] = {
        [this] { Pool->SetOnWorkItemsDone([this](TWorkerThreadPool&) { ++DoneEvents; }); },
        [this] { Pool->SetOnThreadStart(nullptr); },
    };
    for (const auto& Set : Setters)
        EXPECT_NO_THROW(Set());

    // A throwing item neither ends its worker nor completes.
    Add(1, &GateClass, 0, [] { throw std::runtime_error("item failed"); });
    Add(2);
    ASSERT_TRUE(WaitAllDone());
    EXPECT_EQ(std::vector<int>{2}, Completed);
    EXPECT_LE(1, Pool->Count());
    for (const auto& Set : Setters)
        EXPECT_THROW(Set(), std::logic_error);  // an idle worker is still there

    // A queued item that no worker may take yet.
    delete Pool;
    NewPool(0, 0);
    Add(3);
    ASSERT_EQ(0, Pool->Count());
    for (const auto& Set : Setters)
        EXPECT_THROW(Set(), std::logic_error);
}

TEST_F(PoolTest, FreeingThePoolDropsAndStartsNoItemThatACompletionAdds)
{
    // Each completion adds the next item; the running one ends once cancelled.
    NewPool(1, 2);
    bool Freeing = false;
    int AddedWhileFreeing = 0, KeptWhileFreeing = 0;
    std::atomic<int> StartedWhileFreeing{0};
    std::function<void()> AddNext = [&] {
        if (Freeing && ++AddedWhileFreeing > 20)  // keeps a run that would not end short
            return;
        auto Item = std::make_shared<TestItem>(0, &GateClass, nullptr);
        TestItem* Self = Item.get();
        Item->Work = [&StartedWhileFreeing, Self, Late = Freeing] {
            if (Late)
                ++StartedWhileFreeing;
            while (!Late && !Self->Cancelled())
                ::Sleep(1);
        };
        Item->SetOnCompleted([&](TBasicWorkItem&) { AddNext(); });
        const std::weak_ptr<TestItem> Added = Item;
        Pool->AddWorkItem(std::move(Item));
        KeptWhileFreeing += Freeing && !Added.expired();
    };
    AddNext();
    ASSERT_TRUE(PumpUntil([this] { return Pool->WorkItemCount() == 0; }, 5000));
    Freeing = true;
    delete Pool;
    Pool = nullptr;
    EXPECT_EQ(1, AddedWhileFreeing);  // by the running item's completion, cancelled
    EXPECT_EQ(0, KeptWhileFreeing);
    EXPECT_EQ(0, StartedWhileFreeing);
}

TEST_F(PoolTest, AStuckWorkerIsGivenUpAndEndsLaterOnItsOwn)
{
    NewPool(1, 1);
    Pool->StopTimeout = 200;
    HANDLE Left = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Add(1, &GateClass, 0, [&] {
        ::WaitForSingleObject(Gate, 10000);  // ignores its cancel flag
        ::SetEvent(Left);
    });
    ASSERT_TRUE(PumpUntil([this] { return Pool->WorkItemCount() == 0; }, 5000));
    const DWORD Start = ::GetTickCount();
    delete Pool;
    Pool = nullptr;
    EXPECT_LT(::GetTickCount() - Start, 2000u);
    ::SetEvent(Gate);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(Left, 5000));
    ::Sleep(100);
    CheckSynchronize();
    EXPECT_TRUE(Completed.empty());  // no completion after the pool is gone
    ::CloseHandle(Left);
}

TEST_F(PoolTest, AnEmptyPoolIsFreedAtOnce)
{
    NewPool(4, 8);
    const DWORD Start = ::GetTickCount();
    delete Pool;
    Pool = nullptr;
    // Well inside the stop timeout that a waiting pool would take, also on
    // a loaded machine.
    EXPECT_LT(::GetTickCount() - Start, 1000u);
    EXPECT_LE(1, GetProcessorCount());
    const int Load = GetCpuUsage();
    EXPECT_TRUE(Load >= 0 && Load <= 101) << Load;
}

}  // namespace
