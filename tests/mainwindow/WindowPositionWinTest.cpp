#include "mainwindow/SettingsStoreWin.h"
#include "mainwindow/WindowPositionWin.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

namespace {

const char* const TestKey = "Software\\Tessarine\\QuorvanPositionTest";

TEST(WindowPositionWinTest, StoredBoundsAreTheRestoredOnesAndComeBackInEveryState)
{
    struct Case {
        const char* Name;
        int State;
    };
    // The test display's window manager does not maximize windows.
    const Case Cases[] = {{"normal", wsNormal}, {"minimized", wsMinimized}};
    for (const Case& C : Cases) {
        TApplication App;
        FormArgs A;
        A.CenterOnDesktop = false;
        Form Main(&App, A);
        App.MainForm = &Main;
        Main.Show();
        ::SetWindowPos(Main.Handle(), nullptr, 120, 90, 500, 360, SWP_NOZORDER);
        TFormStateTarget Target(Main.Handle());
        Target.SetWindowState(C.State);
        App.ProcessMessages();
        EXPECT_EQ(Target.WindowState(), C.State) << C.Name;
        {
            TRegistrySettingsStore Store;
            ASSERT_TRUE(Store.OpenKey(TestKey, true));
            EXPECT_TRUE(SaveWindowPosition(Store, Main.Handle(), "MainWindow")) << C.Name;
            int V = -1;
            const std::pair<const char*, int> Want[] = {{"MainWindowState", C.State},
                {"MainWindowLeftPos", 120}, {"MainWindowTopPos", 90}, {"MainWindowWidth", 500},
                {"MainWindowHeight", 360}};
            for (const auto& W : Want) {
                EXPECT_TRUE(Store.ReadInteger(W.first, V)) << C.Name << " " << W.first;
                EXPECT_EQ(V, W.second) << C.Name << " " << W.first;
            }
        }
        // Back into a fresh window, normal also when stored minimized: the
        // same place.
        Form Other(&App, A);
        Other.Show();
        TRegistrySettingsStore Store;
        ASSERT_TRUE(Store.OpenKeyReadOnly(TestKey));
        EXPECT_EQ(LoadWindowPosition(Store, Other.Handle(), "MainWindow"), 5) << C.Name;
        TFormStateTarget Back(Other.Handle());
        EXPECT_EQ(Back.WindowState(), wsNormal) << C.Name;
        Back.SetWindowState(wsNormal);
        RECT R;
        // Restoring goes through the window manager: wait for it.
        PumpUntil([&] {
            ::GetWindowRect(Other.Handle(), &R);
            return R.left == 120 && R.top == 90;
        }, 3000);
        EXPECT_EQ(R.left, 120) << C.Name;
        EXPECT_EQ(R.top, 90) << C.Name;
        EXPECT_EQ(R.right - R.left, 500) << C.Name;
        EXPECT_EQ(R.bottom - R.top, 360) << C.Name;
    }
    ::RegDeleteKeyA(HKEY_CURRENT_USER, TestKey);
}

// Any state and bounds a form can have come back from the registry as
// they were written (no work area given, so nothing is clamped).
TEST(WindowPositionWinTest, RandomPositionsComeBackFromTheRegistry)
{
    class MemoryForm : public IWindowStateTarget {
    public:
        int State = wsNormal;
        TWindowRect R;
        int WindowState() const override { return State; }
        TWindowRect Bounds() const override { return R; }
        void SetWindowState(int S) override { State = S; }
        void SetBounds(const TWindowRect& B) override { R = B; }
    };
    std::mt19937 Rng(5101);
    const auto Value = [&Rng]() -> int {
        switch (Rng() % 4) {
        case 0: return Rng() % 2 ? INT_MIN : INT_MAX;
        case 1: return static_cast<int>(Rng() % 4000) - 2000;
        default: return static_cast<int>(Rng());
        }
    };
    for (int Round = 0; Round < 50; ++Round) {
        MemoryForm Written;
        Written.State = static_cast<int>(Rng() % 3);
        Written.R = {Value(), Value(), Value(), Value()};
        {
            TRegistrySettingsStore Store;
            ASSERT_TRUE(Store.OpenKey(TestKey, true));
            ASSERT_TRUE(SaveWindowPosition(Store, Written, "MainWindow"));
        }
        TRegistrySettingsStore Store;
        ASSERT_TRUE(Store.OpenKeyReadOnly(TestKey));
        MemoryForm Read;
        Read.State = -1;
        ASSERT_EQ(LoadWindowPosition(Store, Read, "MainWindow", {}, 0, 0), 5);
        EXPECT_EQ(Read.State, Written.State == wsMinimized ? wsNormal : Written.State) << Round;
        EXPECT_TRUE(Read.R == Written.R) << Round << ": " << Written.R.Left << "," << Written.R.Top
                                         << " " << Written.R.Width << "x" << Written.R.Height;
    }
    ::RegDeleteKeyA(HKEY_CURRENT_USER, TestKey);
}

}  // namespace
