#include "hosting/AppInfoWin.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"

#include "hosting/HosteeSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TWindowItem* RecordOf(TAppInfo& Info, HWND Wnd)
{
    for (int I = 0; I < Info.Windows.Count(); ++I)
        if (Info.Windows.Items(I)->Handle == FromHwnd(Wnd))
            return Info.Windows.Items(I);
    return nullptr;
}

// The monitor's pass: tool, owned and parented windows, no zero-size ones.
void MonitorPass(TAppInfo& Info, HWND Parent = nullptr)
{
    Info.UpdateList(Parent ? FromHwnd(Parent) : NoParentWindow, true, true, false, true);
}

TEST(DesktopWindowListTest, ReportsNewChangedAndGoneWindowsOfAHelper)
{
    TApplication App;
    auto Info = MakeDesktopAppInfo();
    Hostee H("/title=ListProbe /size=310,210");
    HWND W = H.WaitWindow("HosteeWindow");
    ASSERT_NE(W, nullptr);

    MonitorPass(*Info);
    TWindowItem* R = RecordOf(*Info, W);
    ASSERT_NE(R, nullptr);
    EXPECT_EQ(R->State, wisNew);
    EXPECT_EQ(R->ProcessId, H.Pid);
    EXPECT_TRUE(SameText(R->ExeName, H.ExePath)) << R->ExeName;
    EXPECT_EQ(R->Title, "ListProbe");
    EXPECT_EQ(R->ClassName, "HosteeWindow");
    EXPECT_EQ(R->Width, 310);
    EXPECT_EQ(R->Height, 210);

    MonitorPass(*Info);
    EXPECT_EQ(RecordOf(*Info, W)->State, wisUnchanged);
    ::SetWindowTextA(W, "LISTPROBE");  // letter case only
    MonitorPass(*Info);
    EXPECT_EQ(RecordOf(*Info, W)->State, wisUnchanged);
    ::SetWindowTextA(W, "Renamed");
    MonitorPass(*Info);
    EXPECT_EQ(RecordOf(*Info, W)->State, wisChanged);
    EXPECT_EQ(RecordOf(*Info, W)->Title, "Renamed");

    // Once the helper has ended its record is reported gone, still with
    // its process and executable, and then dropped.
    ::PostMessageA(W, WM_CLOSE, 0, 0);
    ASSERT_TRUE(H.WaitExit(10000));
    TWindowItem Seen;
    Info->OnAfterUpdateList = [&](TAppInfo& Sender) {
        if (TWindowItem* G = RecordOf(Sender, W))
            Seen = *G;
    };
    MonitorPass(*Info);
    EXPECT_EQ(Seen.State, wisGone);
    EXPECT_EQ(Seen.ProcessId, H.Pid);
    EXPECT_TRUE(SameText(Seen.ExeName, H.ExePath)) << Seen.ExeName;
    EXPECT_EQ(RecordOf(*Info, W), nullptr);
}

TEST(DesktopWindowListTest, ASplashWindowMakesWayForTheMainWindow)
{
    TApplication App;
    auto Info = MakeDesktopAppInfo();
    Hostee H("/splash=400 /delay=1500 /exit=3700");
    // Per class: the pass numbers at which its record turned new and gone.
    struct Seen {
        int New = -1, Gone = -1;
        std::string Exe;
    };
    std::map<std::string, Seen> Life;
    int PassNo = 0;
    Info->OnAfterUpdateList = [&](TAppInfo& Sender) {
        ++PassNo;
        for (int I = 0; I < Sender.Windows.Count(); ++I) {
            const TWindowItem* R = Sender.Windows.Items(I);
            if (R->ProcessId != H.Pid)
                continue;
            Seen& S = Life[R->ClassName];
            if (R->State == wisNew)
                S.New = PassNo;
            if (R->State == wisGone) {
                S.Gone = PassNo;
                S.Exe = R->ExeName;
            }
        }
    };
    PumpUntil(
        [&] {
            MonitorPass(*Info);
            return Life["HosteeWindow"].Gone > 0;
        },
        20000);
    ASSERT_FALSE(H.Running());
    const Seen& Splash = Life["HosteeSplash"];
    const Seen& Main = Life["HosteeWindow"];
    EXPECT_GT(Splash.New, 0);
    EXPECT_GT(Splash.Gone, Splash.New);
    EXPECT_GT(Main.New, Splash.Gone);  // shown 1.5 s after the splash went
    EXPECT_GT(Main.Gone, Main.New);
    EXPECT_TRUE(SameText(Splash.Exe, H.ExePath)) << Splash.Exe;
    EXPECT_TRUE(SameText(Main.Exe, H.ExePath)) << Main.Exe;

    // It was started in its own folder with its options.
    std::string Dir = TestExeDir();
    Dir.pop_back();
    EXPECT_EQ(H.LogLines("cwd"), std::vector<std::string>{"cwd " + Dir});
    ASSERT_EQ(H.LogLines("cmdline").size(), 1u);
    EXPECT_NE(H.LogLines("cmdline")[0].find("/splash=400 /delay=1500"), std::string::npos);
}

TEST(DesktopWindowListTest, WindowsInThePanelsOfTheParentStayListed)
{
    TApplication App;
    FormArgs A;
    A.CenterOnDesktop = false;
    Form Main(&App, A);
    Main.Show();
    auto Info = MakeDesktopAppInfo();
    Hostee H("");
    HWND W = H.WaitWindow("HosteeWindow");
    ASSERT_NE(W, nullptr);
    ::SetParent(W, Main.Handle());

    MonitorPass(*Info, Main.Handle());
    ASSERT_NE(RecordOf(*Info, W), nullptr);
    EXPECT_TRUE(SameText(RecordOf(*Info, W)->ExeName, H.ExePath));
    ::ShowWindow(W, SW_HIDE);  // the child pass lists hidden windows too
    MonitorPass(*Info, Main.Handle());
    ASSERT_NE(RecordOf(*Info, W), nullptr);
    EXPECT_EQ(RecordOf(*Info, W)->State, wisUnchanged);
    MonitorPass(*Info);
    EXPECT_EQ(RecordOf(*Info, W), nullptr);
    ::SetParent(W, nullptr);
}

TEST(DesktopWindowListTest, OneModuleSnapshotServesAllWindowsOfAProcess)
{
    TApplication App;
    auto Info = MakeDesktopAppInfo();
    MonitorPass(*Info);
    Hostee H("/second /windows=3");
    ASSERT_TRUE(PumpUntil([&] { return H.VisibleWindows() == 5; }, 10000));
    const int Before = Info->Windows.ModuleSnapshots();
    MonitorPass(*Info);
    int Listed = 0;
    for (int I = 0; I < Info->Windows.Count(); ++I) {
        const TWindowItem* R = Info->Windows.Items(I);
        if (R->ProcessId == H.Pid) {
            ++Listed;
            EXPECT_TRUE(SameText(R->ExeName, H.ExePath));
        }
    }
    EXPECT_EQ(Listed, 5);
    EXPECT_EQ(Info->Windows.ModuleSnapshots() - Before, 1);
}

class Win9xDesktop : public TDesktopWindowSource {
public:
    int PlatformId() override { return 1; }
};

TEST(DesktopWindowListTest, OnWindows9xThePathComesFromTheProcessList)
{
    TApplication App;
    Win9xDesktop Desktop;
    TAppInfo Info(Desktop, std::make_unique<TToolkitIntervalTimer>());
    Hostee H("");
    HWND W = H.WaitWindow("HosteeWindow");
    ASSERT_NE(W, nullptr);
    MonitorPass(Info);
    TProcessItem P;
    ASSERT_TRUE(Info.Windows.FindProcessItem(H.Pid, P));
    ASSERT_TRUE(Info.Windows.FindProcessItem(::GetCurrentProcessId(), P));
    ASSERT_NE(RecordOf(Info, W), nullptr);
    // The process entry names the file; 9x gave the full path there.
    EXPECT_TRUE(SameText(ExtractFileName(RecordOf(Info, W)->ExeName), "hostee.exe"))
        << RecordOf(Info, W)->ExeName;
    EXPECT_EQ(Info.Windows.ModuleSnapshots(), 0);
}

TEST(DesktopWindowSourceTest, ModuleWalkOfOwnAndMissingProcesses)
{
    std::vector<std::string> Paths;
    EXPECT_TRUE(DesktopWindowSource().WalkModules(::GetCurrentProcessId(), [&](const std::string& M) {
        Paths.push_back(M);
        return Paths.size() < 2;
    }));
    ASSERT_EQ(Paths.size(), 2u);  // the walk stops when asked
    EXPECT_TRUE(SameText(Paths[0], TestExeDir() + "win32_apphost_tests.exe")) << Paths[0];
    EXPECT_FALSE(DesktopWindowSource().WalkModules(0x7FFFFFF0u, [](const std::string&) {
        return true;
    }));
}

TEST(DesktopWindowSourceTest, TitleAndClassAreCutAt255Characters)
{
    WNDCLASSA Wc = {};
    Wc.lpfnWndProc = &::DefWindowProcA;
    Wc.hInstance = ::GetModuleHandleA(nullptr);
    const std::string LongClass(255, 'C');
    Wc.lpszClassName = LongClass.c_str();
    ASSERT_NE(::RegisterClassA(&Wc), 0);
    const std::string LongTitle(300, 't');
    HWND W = ::CreateWindowExA(0, LongClass.c_str(), LongTitle.c_str(), WS_POPUP, 0, 0, 10, 10,
                               nullptr, nullptr, Wc.hInstance, nullptr);
    ASSERT_NE(W, nullptr);
    EXPECT_EQ(GetWindowTitle(W), std::string(255, 't'));
    EXPECT_EQ(GetWindowClass(W), LongClass);
    ::SetWindowTextA(W, "");
    EXPECT_EQ(GetWindowTitle(W), "");
    ::DestroyWindow(W);
    EXPECT_EQ(GetWindowClass(W), "");
    ::UnregisterClassA(LongClass.c_str(), Wc.hInstance);
}

TEST(DesktopWindowListTest, ItsOwnTimerRunsPassesWhileActive)
{
    TApplication App;
    auto Info = MakeDesktopAppInfo();
    int Passes = 0;
    Info->OnAfterUpdateList = [&](TAppInfo&) { ++Passes; };
    Info->SetUpdateInterval(50);
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(Passes, 0);  // off until switched on
    Info->SetActive(true);
    EXPECT_TRUE(PumpUntil([&] { return Passes >= 2; }, 5000));
    Info->SetActive(false);
    const int Now = Passes;
    PumpUntil([] { return false; }, 200);
    EXPECT_EQ(Passes, Now);
}

}  // namespace
