#include "mainwindow/WindowPosition.h"

#include "mainwindow/FakeSettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

class FakeForm : public IWindowStateTarget {
public:
    int State = wsNormal;
    TWindowRect R = {100, 100, 400, 300};
    std::vector<std::string> Calls;
    int WindowState() const override { return State; }
    TWindowRect Bounds() const override { return R; }
    void SetWindowState(int S) override { State = S; Calls.push_back("state"); }
    // As the system does, no smaller than the least size of the tests.
    void SetBounds(const TWindowRect& B) override
    {
        R = {B.Left, B.Top, std::max(B.Width, 120), std::max(B.Height, 40)};
        Calls.push_back("bounds");
    }
};

const std::vector<TWindowRect> OneScreen = {{0, 0, 1280, 1000}};
// A second monitor right of the first, shorter.
const std::vector<TWindowRect> TwoScreens = {{0, 0, 1280, 1000}, {1280, 0, 800, 600}};

const int Missing = INT_MIN;

TEST(WindowPositionTest, LoadAppliesValuesInOrderUntilOneIsMissingAndKeepsOnScreen)
{
    struct Case {
        const char* Name;
        int State, Left, Top, Width, Height;  // Missing: no value
        std::vector<TWindowRect> Areas;
        int WantState;
        TWindowRect WantBounds;
        int WantRead;
    };
    const Case Cases[] = {
        {"all five", 2, 10, 20, 500, 400, OneScreen, wsMaximized, {10, 20, 500, 400}, 5},
        {"state 7 leaves the state", 7, 10, 20, 500, 400, OneScreen, wsNormal, {10, 20, 500, 400}, 5},
        {"top missing: state and left only", 2, 10, Missing, 500, 400, OneScreen, wsMaximized, {10, 100, 400, 300}, 2},
        {"stored minimized starts normal", 1, 10, 20, 500, 400, OneScreen, wsNormal, {10, 20, 500, 400}, 5},
        {"top missing: the left read is kept on screen", 0, 5000, Missing, 500, 400, OneScreen, wsNormal, {880, 100, 400, 300}, 2},
        {"nothing stored", Missing, 1, 2, 3, 4, OneScreen, wsNormal, {100, 100, 400, 300}, 0},
        {"monitor gone: back on the nearest", 0, 2500, 50, 500, 400, TwoScreens, wsNormal, {1580, 50, 500, 400}, 5},
        {"far below every screen", 0, 100, 5000, 500, 400, OneScreen, wsNormal, {100, 600, 500, 400}, 5},
        {"left of the screen", 0, -900, -50, 500, 400, OneScreen, wsNormal, {0, 0, 500, 400}, 5},
        {"larger than the area", 0, 1300, 0, 1000, 900, TwoScreens, wsNormal, {1280, 0, 800, 600}, 5},
        {"overlaps most with the second", 0, 1200, 100, 400, 300, TwoScreens, wsNormal, {1280, 100, 400, 300}, 5},
        {"a size below the least: the designed one", 0, 10, 10, -50, 39, OneScreen, wsNormal, {10, 10, 400, 300}, 5},
        {"the least size stays", 0, 10, 10, 120, 40, OneScreen, wsNormal, {10, 10, 120, 40}, 5},
        {"a width below the least: the designed one", 0, 10, 10, 60, 300, OneScreen, wsNormal, {10, 10, 400, 300}, 5},
        {"nowhere without a size", 0, INT_MAX, INT_MAX, -1, -1, OneScreen, wsNormal, {880, 700, 400, 300}, 5},
        {"extreme values", 0, INT_MAX, INT_MIN + 1, INT_MAX, INT_MAX, OneScreen, wsNormal, {0, 0, 1280, 1000}, 5},
        {"no work area known: not clamped", 0, -900, -50, 500, 400, {}, wsNormal, {-900, -50, 500, 400}, 5},
        {"an area too small for any window is passed over", 0, 0, 0, 120, 40, {{0, 0, 100, 30}, {100, 0, 1280, 1000}}, wsNormal, {100, 0, 120, 40}, 5},
        {"every area too small: the largest", 0, 0, 0, 120, 40, {{0, 0, 100, 30}, {100, 0, 110, 35}}, wsNormal, {100, 0, 120, 40}, 5},
        {"an area too small is passed over for one that holds the window, not for the largest", 0, 0, 0, 120, 40,
         {{0, 0, 100, 30}, {100, 0, 300, 200}, {400, 0, 1280, 1000}}, wsNormal, {100, 0, 120, 40}, 5},
        {"an area too narrow is passed over", 0, 0, 0, 120, 40, {{0, 0, 100, 1000}, {100, 0, 1280, 1000}}, wsNormal, {100, 0, 120, 40}, 5},
        {"an area too low is passed over", 0, 0, 0, 120, 40, {{0, 0, 1280, 30}, {0, 30, 1280, 1000}}, wsNormal, {0, 30, 120, 40}, 5},
    };
    for (const Case& C : Cases) {
        FakeSettingsStore Store;
        Store.Keys["k"];
        const int Values[] = {C.State, C.Left, C.Top, C.Width, C.Height};
        const char* Names[] = {"WinState", "WinLeftPos", "WinTopPos", "WinWidth", "WinHeight"};
        for (int I = 0; I < 5; ++I)
            if (Values[I] != Missing)
                Store.SetInt("k", Names[I], Values[I]);
        Store.OpenKeyReadOnly("k");
        FakeForm Form;
        EXPECT_EQ(LoadWindowPosition(Store, Form, "Win", C.Areas, 120, 40), C.WantRead) << C.Name;
        EXPECT_EQ(Form.State, C.WantState) << C.Name;
        EXPECT_TRUE(Form.R == C.WantBounds)
            << C.Name << ": " << Form.R.Left << "," << Form.R.Top << " " << Form.R.Width << "x" << Form.R.Height;
    }
}

// The clamp itself keeps the least size: the window given its answer is
// not always one the system holds to it.
TEST(WindowPositionTest, ClampedBoundsAreNeverBelowTheLeastSize)
{
    const struct {
        const char* Name;
        TWindowRect R;
        std::vector<TWindowRect> Areas;
        TWindowRect Want;
    } Rows[] = {
        {"every area too small", {0, 0, 120, 40}, {{0, 0, 100, 30}, {100, 0, 110, 35}}, {100, 0, 120, 40}},
        {"larger than the area", {-10, 5, 2000, 2000}, OneScreen, {0, 0, 1280, 1000}},
    };
    for (const auto& R : Rows) {
        const TWindowRect C = ClampToWorkArea(R.R, R.Areas, 120, 40);
        EXPECT_TRUE(C == R.Want) << R.Name << ": " << C.Left << "," << C.Top << " " << C.Width << "x" << C.Height;
    }
}

TEST(WindowPositionTest, ValueOfAnotherTypeEndsReadingAndStateComesFirst)
{
    FakeSettingsStore Store;
    Store.SetInt("k", "MainWindowState", 2);
    Store.SetInt("k", "MainWindowLeftPos", 30);
    Store.SetString("k", "MainWindowTopPos", "40");
    Store.SetInt("k", "MainWindowWidth", 500);
    Store.OpenKeyReadOnly("k");
    FakeForm Form;
    EXPECT_EQ(LoadWindowPosition(Store, Form, "MainWindow", OneScreen, 0, 0), 2);
    EXPECT_EQ(Form.Calls.front(), "state");
    EXPECT_TRUE(Form.R == (TWindowRect{30, 100, 400, 300}));
}

TEST(WindowPositionTest, SaveWritesFiveValuesInOrderAndStopsAtAFailedWrite)
{
    struct Case {
        const char* FailingValue;
        std::vector<std::string> Written;
        bool Ok;
    };
    const Case Cases[] = {
        {"", {"write MainWindowState", "write MainWindowLeftPos", "write MainWindowTopPos",
              "write MainWindowWidth", "write MainWindowHeight"}, true},
        {"MainWindowTopPos", {"write MainWindowState", "write MainWindowLeftPos"}, false},
    };
    for (const Case& C : Cases) {
        FakeSettingsStore Store;
        Store.OpenKey("k", true);
        Store.Log.clear();
        Store.FailWrites.insert(C.FailingValue);
        FakeForm Form;
        Form.State = wsMinimized;
        Form.R = {-5, 7, 640, 480};
        EXPECT_EQ(SaveWindowPosition(Store, Form, "MainWindow"), C.Ok);
        EXPECT_EQ(Store.Log, C.Written);
        if (C.Ok) {
            EXPECT_EQ(Store.Find("k", "MainWindowState")->Int, 1);
            EXPECT_EQ(Store.Find("k", "MainWindowLeftPos")->Int, -5);
            EXPECT_EQ(Store.Find("k", "MainWindowHeight")->Int, 480);
        }
    }
}

}  // namespace
