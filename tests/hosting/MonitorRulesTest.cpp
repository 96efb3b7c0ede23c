#include "hosting/KnownApps.h"
#include "hosting/MonitorRules.h"

#include <gtest/gtest.h>

namespace {

struct Item {
    std::string Exe, Caption, Class;
    std::uint8_t State;
    std::uint32_t Pid;
    TWindowHandle Handle;
    std::int32_t WindowNo;
};

// Two waiting items of a.exe (one already holding a window), a further
// window of it with its title and class rules, and a bound b.exe.
const Item Items[] = {
    {"C:\\a.exe", NotGiven, NotGiven, 0, 10, 0, 0},
    {"C:\\a.exe", NotGiven, NotGiven, 0, 20, 0x200, 0},
    {"C:\\a.exe", "Palette", "TPal", 0, 0, 0, 2},
    {"C:\\b.exe", NotGiven, NotGiven, 1, 30, 0x300, 1},
};

std::vector<TItemFacts> Facts()
{
    std::vector<TItemFacts> F;
    for (const Item& I : Items)
        F.push_back({&I.Exe, &I.Caption, &I.Class, I.State, I.Pid, I.Handle, I.WindowNo});
    return F;
}

TEST(MonitorRulesTest, FindItemIndexTriesTheProcessFirstAndGuardsBoundAndForbidden)
{
    struct Case {
        const char* What;
        const char* Exe;
        std::uint32_t Pid;
        TWindowHandle Handle;
        std::uint8_t State;
        const char* Class;
        const char* Title;
        bool AllowBound, ProcessBound, Forbidden;
        int Expect;
    } Cases[] = {
        {"own process", "C:\\a.exe", 20, 0x200, 0, "X", "Y", false, false, false, 1},
        {"own process before list order", "C:\\a.exe", 20, 0, 0, "", "", false, false, false, 1},
        {"other process: first free item", "C:\\a.exe", 99, 0x500, 0, "", "", false, false, false, 0},
        {"executable without case", "c:\\A.EXE", 10, 0, 0, "", "", false, false, false, 0},
        {"another executable", "C:\\c.exe", 10, 0, 0, "", "", false, false, false, -1},
        {"bound process: further window", "C:\\a.exe", 10, 0, 0, "tpal", "PALETTE", false, true, false, 2},
        {"bound process: class differs", "C:\\a.exe", 10, 0, 0, "TOther", "Palette", false, true, false, -1},
        {"bound process: title differs", "C:\\a.exe", 10, 0, 0, "TPal", "Other", false, true, false, -1},
        {"bound process allowed", "C:\\a.exe", 10, 0, 0, "TOther", "", true, true, false, 0},
        {"forbidden: further only", "C:\\a.exe", 10, 0, 0, "", "", false, false, true, 2},
        {"active item by process", "C:\\b.exe", 30, 0, 1, "", "", true, false, false, 3},
        {"active item, other window", "C:\\b.exe", 30, 0x999, 1, "", "", true, false, false, -1},
        {"active item, its window", "C:\\b.exe", 31, 0x300, 1, "", "", true, false, false, 3},
        {"state differs", "C:\\b.exe", 30, 0x300, 0, "", "", true, false, false, -1},
    };
    const std::vector<TItemFacts> F = Facts();
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.What);
        TItemQuery Q;
        Q.Exe = C.Exe;
        Q.ProcessId = C.Pid;
        Q.Handle = C.Handle;
        Q.State = C.State;
        Q.ClassName = C.Class;
        Q.Title = C.Title;
        Q.AllowBound = C.AllowBound;
        Q.ProcessBound = C.ProcessBound;
        Q.Forbidden = C.Forbidden;
        EXPECT_EQ(FindItemIndex(F, Q), C.Expect);
    }
    EXPECT_EQ(FindItemIndex({}, TItemQuery()), -1);
}

TEST(MonitorRulesTest, WindowFitsRulesComparesWhatBothSidesGive)
{
    struct Case {
        const char* Title;
        const char* Class;
        const char* RecExe;
        std::string TitleRule, ClassRule;
        bool Expect;
    } Cases[] = {
        {"Main", "TMain", "C:\\A.EXE", NotGiven, NotGiven, true},
        {"Main", "TMain", "C:\\b.exe", NotGiven, NotGiven, false},
        {"main", "tmain", "C:\\a.exe", "Main", "TMain", true},
        {"Other", "TMain", "C:\\a.exe", "Main", "TMain", false},
        {"Main", "TOther", "C:\\a.exe", "Main", "TMain", false},
        {"", "", "C:\\a.exe", "Main", "TMain", true},  // an empty text says nothing
        {"Main", "TMain", "C:\\a.exe", "", "", false},  // an empty rule is not "not given"
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(std::string(C.Title) + "/" + C.Class + "/" + C.RecExe);
        TWindowItem Rec;
        Rec.Title = C.Title;
        Rec.ClassName = C.Class;
        EXPECT_EQ(WindowFitsRules(Rec, C.RecExe, "C:\\a.exe", C.TitleRule, C.ClassRule), C.Expect);
    }
}

}  // namespace
