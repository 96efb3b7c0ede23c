#include "toolkit/HandleWatch.h"
#include "toolkit/Application.h"
#include "toolkit/Timer.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

// A signal reaches the GUI thread by itself, inside a modal loop that has
// no timer of its own to look: once, and only while the handle is watched.
TEST(HandleWatchTest, ReportsEachWatchedHandleOnceOnTheGuiThread)
{
    struct Row {
        const char* Name;
        bool SignalledFirst;  // already signalled when watched
        int Watches;
        bool Forget;      // forgotten before it is signalled
        bool WatchGoes;   // the watch itself goes before it is signalled
        int Reports;
    } Rows[] = {
        {"signalled from another thread", false, 1, false, false, 1},
        {"signalled already", true, 1, false, false, 1},
        {"watched twice", false, 2, false, false, 1},
        {"forgotten", false, 1, true, false, 0},
        {"the watch gone first", false, 1, false, true, 0},
    };
    TApplication App;
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Name);
        HANDLE Event = ::CreateEventA(nullptr, TRUE, R.SignalledFirst, nullptr);
        // A second handle, signalled after the first: its report ends the
        // wait for those that must not come.
        HANDLE Later = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        auto Watch = std::make_unique<HandleWatch>(nullptr);
        auto Marker = std::make_unique<HandleWatch>(nullptr);
        std::vector<HANDLE> Reported;
        bool MarkerSeen = false;
        DWORD ReportThread = 0;
        Watch->OnSignalled = [&](HANDLE H) {
            Reported.push_back(H);
            ReportThread = ::GetCurrentThreadId();
        };
        Marker->OnSignalled = [&](HANDLE) { MarkerSeen = true; };
        for (int I = 0; I < R.Watches; ++I)
            Watch->Watch(Event);
        Marker->Watch(Later);
        if (R.Forget)
            Watch->Forget(Event);
        if (R.WatchGoes)
            Watch.reset();
        std::thread Signal([&] {
            ::Sleep(50);
            ::SetEvent(Event);
            ::Sleep(50);
            ::SetEvent(Later);
        });
        // Only against a hang: the notices come within milliseconds.
        bool TimedOut = false;
        Timer Guard(nullptr, 10000);
        Guard.OnTimer = [&] { TimedOut = true; };
        App.RunModalLoop([&] {
            return TimedOut || (MarkerSeen && static_cast<int>(Reported.size()) >= R.Reports);
        });
        Signal.join();
        EXPECT_FALSE(TimedOut);
        // What came after the marker came too late to count: none may come.
        App.ProcessMessages();
        ASSERT_EQ(static_cast<int>(Reported.size()), R.Reports);
        if (R.Reports) {
            EXPECT_EQ(Reported.front(), Event);
            EXPECT_EQ(ReportThread, ::GetCurrentThreadId());
            EXPECT_FALSE(Watch->Watching(Event));
        }
        Watch.reset();
        Marker.reset();
        ::CloseHandle(Event);
        ::CloseHandle(Later);
    }
}

}  // namespace
