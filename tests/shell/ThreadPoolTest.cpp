#include "shell/ThreadPool.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const TWorkItemClass SizeClass = {"Size", &TBasicWorkItem::ClassInfo};
const TWorkItemClass DeepSizeClass = {"DeepSize", &SizeClass};

struct Item : TBasicWorkItem {
    Item(const TWorkItemClass* C, std::int64_t K1, std::int64_t K2, int Id) : Class(C), Id(Id)
    {
        Key1 = K1;
        Key2 = K2;
    }
    void Execute() override {}
    const TWorkItemClass* GetClass() const override { return Class; }
    const TWorkItemClass* Class;
    int Id;
};

std::shared_ptr<Item> Make(const TWorkItemClass* C, std::int64_t K1, std::int64_t K2, int Id)
{
    return std::make_shared<Item>(C, K1, K2, Id);
}

TEST(WorkItemFilter, ClassAndKeysSelectQueuedAndRunningItems)
{
    struct Case {
        TWorkItemFilter Filter;
        const TWorkItemClass* ItemClass;
        std::int64_t Key1, Key2;
        bool Queued, Running;
    } Cases[] = {
        {{}, &DeepSizeClass, 5, 6, true, true},
        {{&SizeClass, 0, 0}, &DeepSizeClass, 0, 0, true, false},  // a base class: queued only
        {{&SizeClass, 0, 0}, &SizeClass, 0, 0, true, true},
        {{&DeepSizeClass, 0, 0}, &SizeClass, 0, 0, false, false},
        {{nullptr, 5, 0}, &SizeClass, 5, 9, true, true},
        {{nullptr, 5, 0}, &SizeClass, 4, 9, false, false},
        {{nullptr, 0, 9}, &SizeClass, 4, 9, true, true},
        {{&SizeClass, 5, 9}, &SizeClass, 5, 8, false, false},
    };
    for (const Case& C : Cases) {
        const auto I = Make(C.ItemClass, C.Key1, C.Key2, 0);
        EXPECT_EQ(C.Queued, C.Filter.Matches(*I, false)) << C.ItemClass->Name << C.Key1;
        EXPECT_EQ(C.Running, C.Filter.Matches(*I, true)) << C.ItemClass->Name << C.Key1;
    }
}

TEST(WorkItemsQueue, TakesFromBothEndsAndRemovesMatches)
{
    TWorkItemsQueue Q;
    for (int Id = 1; Id <= 5; ++Id)
        Q.Add(Make(Id % 2 ? &SizeClass : &TBasicWorkItem::ClassInfo, Id, 0, Id));
    EXPECT_EQ(3, Q.RemoveMatching({&SizeClass, 0, 0}));  // 1, 3, 5
    EXPECT_EQ(2, Q.Count());
    EXPECT_EQ(4, std::static_pointer_cast<Item>(Q.TakeLast())->Id);
    EXPECT_EQ(2, std::static_pointer_cast<Item>(Q.TakeFirst())->Id);
    EXPECT_EQ(nullptr, Q.TakeFirst());
    Q.Add(Make(&SizeClass, 0, 0, 7));
    EXPECT_EQ(1, Q.Clear());
    EXPECT_EQ(0, Q.Count());
}

TEST(BasicWorkItem, CompletionFiresOnlyWhileAssigned)
{
    auto I = Make(&SizeClass, 0, 0, 1);
    EXPECT_FALSE(I->GetSyncMethod());
    int Fired = 0;
    I->SetOnCompleted([&](TBasicWorkItem& Sender) { Fired += &Sender == I.get(); });
    const std::function<void()> Sync = I->GetSyncMethod();
    ASSERT_TRUE(Sync);
    Sync();
    // Cleared after the worker took the method: the late call reaches nobody.
    I->SetOnCompleted(nullptr);
    Sync();
    EXPECT_EQ(1, Fired);
    I->Cancel();
    I->SetPaused(true);
    EXPECT_TRUE(I->WaitWhilePaused());  // returns at once when cancelled
}

TEST(CpuLoad, FromTwoSamples)
{
    struct Case {
        std::uint64_t Idle, Time;
        int Cpus;
        double Load;
    } Cases[] = {
        {0, 0, 1, -1.0},  // no time passed: no figure, not 100 %
        {1000, 1000, 1, 0.5},
        {0, 1000, 2, 100.5},
        {1000, 1000, 4, 75.5},
        {500, 1000, 0, -1.0},
    };
    for (const Case& C : Cases)
        EXPECT_DOUBLE_EQ(C.Load, CpuLoadFromSamples(C.Idle, C.Time, C.Cpus)) << C.Idle << "/" << C.Time;
}

TEST(CpuLoad, FirstSampleIsTakenTwiceAndFailuresKeepNothing)
{
    struct Case {
        std::vector<TCpuCounters> Readings;  // an empty one: the query fails
        std::vector<double> Loads;           // one per Sample call
        std::size_t Queries;
    } Cases[] = {
        {{{100, 1000, 1}, {150, 1100, 1}, {200, 1300, 1}}, {50.5, 75.5}, 3},
        {{{0, 1000, 2}, {0, 2000, 2}}, {100.5}, 2},  // an idle time of 0 ends too
        {{{}, {100, 1000, 1}, {200, 1400, 1}}, {-1.0, 75.5}, 3},
        {{{100, 1000, 1}, {100, 1000, 1}}, {-1.0}, 2},  // no time passed: no figure
    };
    for (const Case& C : Cases) {
        TCpuSampler S;
        std::size_t Next = 0;
        const auto Query = [&](TCpuCounters& Out) {
            const TCpuCounters& R = C.Readings.at(Next++);
            Out = R;
            return R.Now != 0;
        };
        for (double Want : C.Loads)
            EXPECT_DOUBLE_EQ(Want, S.Sample(Query)) << C.Queries;
        EXPECT_EQ(C.Queries, Next);
    }
}

}  // namespace
