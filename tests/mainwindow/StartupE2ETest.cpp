// Driven by StartupE2E.sh, which seeds the registry with wine reg add before
// each case: starts quorvan.exe, looks at its main window, closes it and
// reads what it left in the registry.
#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>

namespace {

const char* const HostKey = "Software\\Tessarine\\Quorvan";

struct Value {
    bool Exists = false;
    DWORD Type = 0;
    std::string Data;
};

Value ReadValue(const std::string& Key, const char* Name)
{
    Value V;
    HKEY K;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_READ, &K) != ERROR_SUCCESS)
        return V;
    DWORD Size = 0;
    if (::RegQueryValueExA(K, Name, nullptr, &V.Type, nullptr, &Size) == ERROR_SUCCESS) {
        V.Data.resize(Size);
        V.Exists = ::RegQueryValueExA(K, Name, nullptr, &V.Type,
                                      reinterpret_cast<BYTE*>(&V.Data[0]), &Size) == ERROR_SUCCESS;
    }
    ::RegCloseKey(K);
    return V;
}

int ReadInt(const char* Name)
{
    const Value V = ReadValue(HostKey, Name);
    return V.Exists && V.Type == REG_DWORD ? *reinterpret_cast<const int*>(V.Data.data()) : -1;
}

BOOL CALLBACK VisitWindow(HWND W, LPARAM P)
{
    (*reinterpret_cast<const std::function<void(HWND)>*>(P))(W);
    return TRUE;
}

// Fn for every top-level window (Parent nullptr) or every descendant.
void EachWindow(HWND Parent, const std::function<void(HWND)>& Fn)
{
    if (Parent)
        ::EnumChildWindows(Parent, &VisitWindow, reinterpret_cast<LPARAM>(&Fn));
    else
        ::EnumWindows(&VisitWindow, reinterpret_cast<LPARAM>(&Fn));
}

std::string ClassOf(HWND W)
{
    char Class[64] = {};
    ::GetClassNameA(W, Class, sizeof(Class));
    return Class;
}

class Quorvan {
public:
    Quorvan()
    {
        std::string Cmd = "\"" + TestExeDir() + "quorvan.exe\"";
        STARTUPINFOA Si = {};
        Si.cb = sizeof(Si);
        if (!::CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi))
            return;
        PumpUntil([this] { return (Main = FindMain()) != nullptr; }, 20000);
        // The first activation reads the stored state; under Wine it comes
        // when the window manager gives the window the focus.
        PumpUntil([this] { return ::GetForegroundWindow() == Main; }, 10000);
        ::WaitForInputIdle(Pi.hProcess, 5000);
    }
    ~Quorvan()
    {
        if (Pi.hProcess) {
            if (::WaitForSingleObject(Pi.hProcess, 0) == WAIT_TIMEOUT)
                ::TerminateProcess(Pi.hProcess, 1);
            ::CloseHandle(Pi.hProcess);
            ::CloseHandle(Pi.hThread);
        }
    }
    Quorvan(const Quorvan&) = delete;
    Quorvan& operator=(const Quorvan&) = delete;

    // True when it ended within the time.
    bool Close()
    {
        ::PostMessageA(Main, WM_CLOSE, 0, 0);
        return ::WaitForSingleObject(Pi.hProcess, 15000) == WAIT_OBJECT_0;
    }
    RECT Rect() const
    {
        RECT R = {};
        ::GetWindowRect(Main, &R);
        return R;
    }

    // Shown windows of our own class below the main window's client area
    // (the floating controls are hidden while no panel is under the mouse).
    int VisiblePanels() const
    {
        int Count = 0;
        EachWindow(Main, [&](HWND W) {
            Count += ClassOf(W) == "TQuorvanWindow" && ::IsWindowVisible(W) &&
                     ::GetParent(::GetParent(W)) == Main;
        });
        return Count;
    }

    PROCESS_INFORMATION Pi = {};
    HWND Main = nullptr;

private:
    HWND FindMain() const
    {
        HWND Found = nullptr;
        EachWindow(nullptr, [&](HWND W) {
            DWORD Pid = 0;
            ::GetWindowThreadProcessId(W, &Pid);
            char Title[64] = {};
            ::GetWindowTextA(W, Title, sizeof(Title));
            if (Pid == Pi.dwProcessId && ::IsWindowVisible(W) &&
                std::string(Title) == "Tessarine Quorvan    ")
                Found = W;
        });
        return Found;
    }
};

RECT WorkArea()
{
    RECT W;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &W, 0);
    return W;
}

// Empty registry: the designed place, the database from the rules file.
TEST(StartupE2E, FirstStartReadsTheRulesFile)
{
    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    const RECT R = Q.Rect(), W = WorkArea();
    EXPECT_NEAR((R.left + R.right) / 2, (W.left + W.right) / 2, 2);
    EXPECT_NEAR((R.top + R.bottom) / 2, (W.top + W.bottom) / 2, 2);
    ASSERT_TRUE(Q.Close());
    const Value Known = ReadValue(std::string(HostKey) + "\\Apps", "KnownAppList");
    ASSERT_TRUE(Known.Exists);
    EXPECT_EQ(Known.Type, static_cast<DWORD>(REG_BINARY));
    EXPECT_NE(Known.Data.find("Bramblewick 48"), std::string::npos);
    EXPECT_NE(Known.Data.find("\r"), std::string::npos);
    const Value Path = ReadValue(HostKey, "Path");
    EXPECT_NE(std::string(Path.Data.c_str()).find("quorvan.exe"), std::string::npos);
    EXPECT_EQ(ReadInt("MainWindowLeftPos"), R.left);
    EXPECT_EQ(ReadInt("MainWindowWidth"), R.right - R.left);
    // Never read, the list counts as modified: it is stored, empty.
    const Value Found = ReadValue(std::string(HostKey) + "\\Apps", "FoundAppList");
    EXPECT_EQ(std::count(Found.Data.begin(), Found.Data.end(), '\r'), 1);
}

// Seeded position and a newer stored database than the file's: the window
// takes the place, the stored database stays, the unmodified application
// list is left as it was.
TEST(StartupE2E, SeededStateIsReadAndWrittenBack)
{
    const Value FoundBefore = ReadValue(std::string(HostKey) + "\\Apps", "FoundAppList");
    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    const RECT R = Q.Rect();
    EXPECT_EQ(R.left, 40);
    EXPECT_EQ(R.top, 30);
    EXPECT_EQ(R.right - R.left, 700);
    EXPECT_EQ(R.bottom - R.top, 500);
    // The layouts are read, none is applied: no host panel shows.
    EXPECT_EQ(Q.VisiblePanels(), 0);
    ASSERT_TRUE(Q.Close());
    const std::string Layouts = std::string(HostKey) + "\\Layouts";
    EXPECT_EQ(ReadValue(Layouts, "LayoutsNode0").Data.c_str(), std::string("Layout|Seeded|Base=Root"));
    EXPECT_EQ(ReadValue(Layouts, "LayoutsNode2").Data.c_str(), std::string("Panel|Panel; Left|Base=0"));
    const Value Known = ReadValue(std::string(HostKey) + "\\Apps", "KnownAppList");
    EXPECT_NE(Known.Data.find("Seeded Hostee"), std::string::npos);
    EXPECT_EQ(Known.Data.find("Bramblewick"), std::string::npos);
    const Value FoundAfter = ReadValue(std::string(HostKey) + "\\Apps", "FoundAppList");
    EXPECT_TRUE(FoundAfter.Exists);
    EXPECT_EQ(FoundAfter.Data, FoundBefore.Data);
    EXPECT_EQ(ReadInt("MainWindowTopPos"), 30);
}

// A position on a monitor that is gone: the window opens on the screen.
TEST(StartupE2E, PositionOffTheScreenIsBroughtBack)
{
    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    const RECT R = Q.Rect(), W = WorkArea();
    EXPECT_GE(R.left, W.left);
    EXPECT_GE(R.top, W.top);
    EXPECT_LE(R.right, W.right);
    EXPECT_LE(R.bottom, W.bottom);
    ASSERT_TRUE(Q.Close());
}

}  // namespace
