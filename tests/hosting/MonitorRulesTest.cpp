#include "hosting/KnownApps.h"
#include "hosting/MonitorRules.h"

#include "hosting/FakeDesktop.h"

#include <gtest/gtest.h>

namespace {

struct Item {
    std::string Exe, Caption, Class;
    std::uint8_t State;
    std::uint32_t Pid;
    TWindowHandle Handle;
    std::int32_t WindowNo;
    bool Bereft = false;
};

// Two waiting items of a.exe (one already holding a window), a further
// window of it with its title and class rules, a bound b.exe, and two bound
// windows of d.exe, the second gone.
const Item Items[] = {
    {"C:\\a.exe", NotGiven, NotGiven, 0, 10, 0, 0},
    {"C:\\a.exe", NotGiven, NotGiven, 0, 20, 0x200, 0},
    {"C:\\a.exe", "Palette", "TPal", 0, 0, 0, 2},
    {"C:\\b.exe", NotGiven, NotGiven, 1, 30, 0x300, 1},
    {"C:\\d.exe", "Main", "TMain", 1, 40, 0x400, 0},
    {"C:\\d.exe", "Splash", "TSplash", 1, 40, 0x401, 0, true},
};

// A window list filled by hand: records with the states a pass left.
struct FakeList {
    void Add(TWindowHandle Handle, std::uint32_t Pid, std::uint8_t State, const char* Exe,
             const char* Class)
    {
        TWindowItem* R = List.Add();
        R->Handle = Handle;
        R->ProcessId = Pid;
        R->State = State;
        R->ExeName = Exe;
        R->ClassName = Class;
    }
    FakeDesktop Desktop;
    TAppWindowCollection List{Desktop};
};

std::vector<TItemFacts> Facts()
{
    std::vector<TItemFacts> F;
    for (const Item& I : Items)
        F.push_back({&I.Exe, &I.Caption, &I.Class, I.State, I.Pid, I.Handle, I.WindowNo, I.Bereft});
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
        bool OwnOnly = false;
        bool BereftOnly = false;
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
        // A gone window: another process's item only when it holds the window.
        {"own only: own process", "C:\\a.exe", 20, 0x200, 0, "", "", false, false, false, 1, true},
        {"own only: stranger without window", "C:\\a.exe", 99, 0x500, 0, "", "", false, false, false, -1, true},
        {"own only: stranger, no handle", "C:\\a.exe", 99, 0, 0, "", "", false, false, false, -1, true},
        {"own only: the item's window", "C:\\a.exe", 99, 0x200, 0, "", "", false, false, false, 1, true},
        // A window its program shows after the item's went, of any class.
        {"bereft: the item whose window went", "C:\\d.exe", 40, 0, 1, "TMain", "Main", true, true, false, 5, false, true},
        {"any item of the process", "C:\\d.exe", 40, 0, 1, "TMain", "Main", true, true, false, 4},
        {"bereft: not a forbidden window", "C:\\d.exe", 40, 0, 1, "TMain", "Main", true, true, true, -1, false, true},
        {"bereft: another process", "C:\\d.exe", 41, 0, 1, "TMain", "Main", true, true, false, -1, false, true},
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
        Q.OwnOnly = C.OwnOnly;
        Q.BereftOnly = C.BereftOnly;
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

TEST(MonitorRulesTest, WindowListTestsOfTheGoneAndReplacedWindows)
{
    FakeList L;
    L.Add(0x10, 7, wisUnchanged, "C:\\a.exe", "TMain");
    L.Add(0x11, 7, wisGone, "C:\\a.exe", "TMain");
    L.Add(0x12, 8, wisGone, "C:\\b.exe", "TMain");
    L.Add(0x13, 9, wisIgnored, "C:\\c.exe", "TSplash");
    struct Case {
        const char* What;
        std::uint32_t Pid;
        int Except;
        bool Expect;
    } Others[] = {
        {"another listed record", 7, 1, true},
        {"only itself listed", 7, 0, false},
        {"the other one is gone", 8, 99, false},
        {"an ignored one counts", 9, 99, true},
        {"no record", 5, -1, false},
    };
    for (const Case& C : Others) {
        SCOPED_TRACE(C.What);
        EXPECT_EQ(HasOtherWindow(L.List, C.Pid, C.Except), C.Expect);
    }
    L.Add(0x14, 9, wisRecheck, "C:\\c.exe", "TMain");
    struct Listed {
        const char* What;
        TWindowHandle Handle;
        std::uint32_t Pid;
        bool Expect;
    } Lives[] = {
        {"unchanged", 0x10, 7, true},
        {"to be looked at again", 0x14, 9, true},
        {"its handle, another process", 0x10, 8, false},
        {"gone", 0x11, 7, false},
        {"ignored: another window of its process lives", 0x13, 9, false},
        {"dropped by an earlier pass", 0x15, 9, false},
    };
    for (const Listed& C : Lives) {
        SCOPED_TRACE(C.What);
        EXPECT_EQ(WindowListed(L.List, C.Handle, C.Pid), C.Expect);
    }
}

TEST(MonitorRulesTest, StartCommandLineQuotesOnlyAPathWithBlanks)
{
    struct Case {
        const char* Exe;
        const char* Params;
        const char* Expect;
    } Cases[] = {
        {"C:\\Apps\\x.exe", "", "C:\\Apps\\x.exe"},
        {"C:\\Apps\\x.exe", "/InQuorvan=yes", "C:\\Apps\\x.exe /InQuorvan=yes"},
        {"C:\\My Apps\\x.exe", "", "\"C:\\My Apps\\x.exe\""},
        {"C:\\My\tApps\\x.exe", "/a /b", "\"C:\\My\tApps\\x.exe\" /a /b"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(StartCommandLine(C.Exe, C.Params), C.Expect) << C.Exe;
}

}  // namespace
