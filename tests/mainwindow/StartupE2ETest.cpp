// Driven by StartupE2E.sh, which seeds the registry with wine reg add before
// each case: starts quorvan.exe, looks at its main window, closes it and
// reads what it left in the registry.
#include "mainwindow/TestHttpServer.h"  // winsock2.h before windows.h

#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>

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
    // A message sent as the system sends it: the answer, 0 when none came.
    LRESULT Send(UINT Msg, WPARAM WParam, LPARAM LParam) const
    {
        DWORD_PTR Result = 0;
        ::SendMessageTimeoutA(Main, Msg, WParam, LParam, SMTO_NORMAL, 30000, &Result);
        return static_cast<LRESULT>(Result);
    }
    // Presses a tool button: Bar tells its parent, as a click does.
    void Press(HWND Bar, int Id) const
    {
        ::PostMessageA(::GetParent(Bar), WM_COMMAND, MAKEWPARAM(Id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Bar));
    }
    // The first descendant of class Class whose parent is Parent.
    HWND Child(HWND Parent, const char* Class) const
    {
        HWND Found = nullptr;
        EachWindow(Parent, [&](HWND W) {
            if (!Found && ::GetParent(W) == Parent && ClassOf(W) == Class)
                Found = W;
        });
        return Found;
    }
    // Waits for a shown top-level window of the program titled Title and
    // not the main window.
    HWND WaitWindow(const std::string& Title, DWORD TimeoutMs = 10000) const
    {
        HWND Found = nullptr;
        PumpUntil([&] {
            EachWindow(nullptr, [&](HWND W) {
                DWORD Pid = 0;
                ::GetWindowThreadProcessId(W, &Pid);
                char Text[64] = {};
                ::GetWindowTextA(W, Text, sizeof(Text));
                if (Pid == Pi.dwProcessId && W != Main && ::IsWindowVisible(W) && Title == Text)
                    Found = W;
            });
            return Found != nullptr;
        }, TimeoutMs);
        return Found;
    }
    // Answers the program's next message box with OK; its text.
    std::string AnswerBox() const
    {
        const HWND Box = WaitWindow("Tessarine Quorvan");
        if (!Box)
            return "";
        char Text[256] = {};
        ::GetDlgItemTextA(Box, 0xFFFF, Text, sizeof(Text));
        ::PostMessageA(Box, WM_COMMAND, IDOK, 0);
        PumpUntil([&] { return !::IsWindow(Box); }, 5000);
        return Text;
    }
    // A new layout with one panel, through the add button and its name box.
    void AddLayout() const
    {
        Press(Child(Child(Main, "TQuorvanWindow"), "ToolbarWindow32"), 1);
        const HWND Box = WaitWindow("Layout name ...");
        HWND Ok = nullptr;
        EachWindow(Box, [&](HWND W) {
            char Text[16] = {};
            ::GetWindowTextA(W, Text, sizeof(Text));
            if (std::string(Text) == "OK")
                Ok = W;
        });
        ::SendMessageA(Ok, BM_CLICK, 0, 0);
        PumpUntil([&] { return VisiblePanels() > 0; }, 5000);
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

// Every value under the host key as "key\\name=type:data" lines, sorted.
std::vector<std::string> StoredValues(const std::string& Key = HostKey)
{
    std::vector<std::string> Lines;
    HKEY K;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, KEY_READ, &K) != ERROR_SUCCESS)
        return Lines;
    for (DWORD I = 0;; ++I) {
        char Name[256];
        DWORD NameLen = sizeof(Name), Type = 0, Size = 0;
        if (::RegEnumValueA(K, I, Name, &NameLen, nullptr, &Type, nullptr, &Size) != ERROR_SUCCESS)
            break;
        const Value V = ReadValue(Key, Name);
        Lines.push_back(Key + "\\" + Name + "=" + std::to_string(Type) + ":" + V.Data);
    }
    for (DWORD I = 0;; ++I) {
        char Sub[256];
        DWORD SubLen = sizeof(Sub);
        if (::RegEnumKeyExA(K, I, Sub, &SubLen, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        for (const std::string& L : StoredValues(Key + "\\" + Sub))
            Lines.push_back(L);
    }
    ::RegCloseKey(K);
    std::sort(Lines.begin(), Lines.end());
    return Lines;
}

RECT WorkArea()
{
    RECT W;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &W, 0);
    return W;
}

bool OnWorkArea(const RECT& R)
{
    const RECT W = WorkArea();
    return R.left >= W.left && R.top >= W.top && R.right <= W.right && R.bottom <= W.bottom;
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
    // Neither read nor changed, the list is not stored.
    EXPECT_FALSE(ReadValue(std::string(HostKey) + "\\Apps", "FoundAppList").Exists);
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
    // Everything read whole: no message.
    EXPECT_FALSE(Q.WaitWindow("Tessarine Quorvan", 1500));
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

// A stored database with one damaged row: the start says which line, the
// rules file's database is used, and the stored one is left as it was.
TEST(StartupE2E, DamagedStoredDatabaseIsReportedAndKept)
{
    const Value Before = ReadValue(std::string(HostKey) + "\\Apps", "KnownAppList");
    ASSERT_NE(Before.Data.find("Seeded Hostee"), std::string::npos);
    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    const std::string Message = Q.AnswerBox();
    EXPECT_NE(Message.find("line 6: Invalid method description item!"), std::string::npos) << Message;
    EXPECT_FALSE(Q.WaitWindow("Tessarine Quorvan", 1000)) << "one message only";
    ASSERT_TRUE(Q.Close());
    const Value After = ReadValue(std::string(HostKey) + "\\Apps", "KnownAppList");
    EXPECT_EQ(After.Type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(After.Data, Before.Data);
}

// A position on a monitor that is gone: the window opens on the screen.
// What the designer's drops make is read and stored back as it was.
TEST(StartupE2E, StoredLayoutsBeyondTheAddLimitsAreKept)
{
    const std::string Layouts = std::string(HostKey) + "\\Layouts";
    const std::vector<std::string> Before = StoredValues(Layouts);
    ASSERT_EQ(Before.size(), 14u);
    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    ASSERT_TRUE(Q.Close());
    EXPECT_EQ(StoredValues(Layouts), Before);
}

TEST(StartupE2E, PositionOffTheScreenIsBroughtBack)
{
    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    EXPECT_TRUE(OnWorkArea(Q.Rect()));
    ASSERT_TRUE(Q.Close());
}

// Stored minimized at 0x7fffffff with a size of -1: the window opens
// normal, in its designed size, on the screen.
TEST(StartupE2E, NowhereWithoutASizeOpensNormalAndWhole)
{
    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    EXPECT_FALSE(::IsIconic(Q.Main));
    RECT Client = {};
    ::GetClientRect(Q.Main, &Client);
    EXPECT_EQ(Client.right, 762);
    EXPECT_EQ(Client.bottom, 526);
    EXPECT_TRUE(OnWorkArea(Q.Rect()));
    ASSERT_TRUE(Q.Close());
}

// Stored maximized: it opens maximized over the work area and stays so
// (the window manager keeps no maximized state), and the state and the
// normal place go back at the close.
TEST(StartupE2E, StoredMaximizedStaysMaximized)
{
    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    for (int Look = 0; Look < 2; ++Look) {
        SCOPED_TRACE(Look);
        EXPECT_TRUE(::IsZoomed(Q.Main));
        const RECT R = Q.Rect(), W = WorkArea();
        EXPECT_TRUE(R.left <= W.left && R.top <= W.top && R.right >= W.right && R.bottom >= W.bottom)
            << R.left << "," << R.top << "-" << R.right << "," << R.bottom;
        PumpUntil([] { return false; }, 1500);
    }
    ASSERT_TRUE(Q.Close());
    const std::pair<const char*, int> Want[] = {{"MainWindowState", 2}, {"MainWindowLeftPos", 40},
        {"MainWindowTopPos", 30}, {"MainWindowWidth", 700}, {"MainWindowHeight", 500}};
    for (const auto& V : Want)
        EXPECT_EQ(ReadInt(V.first), V.second) << V.first;
}

// A session that ends stores what a close stores, and the program ends in
// order before the system ends it.
TEST(StartupE2E, SessionEndStoresWhatACloseStores)
{
    const struct {
        const char* Name;
        bool LogOff;
    } Rows[] = {{"closed", false}, {"logged off", true}};
    std::vector<std::string> Stored[2];
    for (int I = 0; I < 2; ++I) {
        SCOPED_TRACE(Rows[I].Name);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
        Quorvan Q;
        ASSERT_TRUE(Q.Main);
        ::SetWindowPos(Q.Main, nullptr, 60, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Q.AddLayout();
        ASSERT_EQ(Q.VisiblePanels(), 1);
        if (Rows[I].LogOff) {
            EXPECT_EQ(Q.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
            Q.Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            ::TerminateProcess(Q.Pi.hProcess, 1);
            ::WaitForSingleObject(Q.Pi.hProcess, 5000);
            DWORD Code = 1;
            ::GetExitCodeProcess(Q.Pi.hProcess, &Code);
            EXPECT_EQ(Code, 0u) << "it had ended by itself";
        } else {
            ASSERT_TRUE(Q.Close());
        }
        Stored[I] = StoredValues();
    }
    EXPECT_EQ(Stored[1], Stored[0]);
    EXPECT_EQ(ReadInt("MainWindowLeftPos"), 60);
    EXPECT_EQ(ReadInt("MainWindowTopPos"), 50);
    EXPECT_TRUE(ReadValue(std::string(HostKey) + "\\Layouts", "LayoutsNode1").Exists);
}

// While a rules download runs the session may not end: the answer is no,
// with the close's message, and the program goes on whole.
TEST(StartupE2E, SessionEndWaitsForADownload)
{
    TestHttpServer Server;
    const std::string Rules =
        "[Version]\r\n2099 January 1\r\n\r\n[Known Applications]\r\n"
        " Category: | Application name: | Age: | Version: | Exe size: | Method: | Files needed:"
        " | URL: | Problems: | Window #: | Window Title: | Window Class:\r\n"
        " Tools | Served Tool | | | | bind | tool.exe | | | | |\r\n; " + std::string(4000, 'x') + "\r\n";
    Server.SetAnswer("/quorvan/ApplicationRules.def", {200, Rules, 6, 500});
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
    HKEY K;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, HostKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &K, nullptr),
              ERROR_SUCCESS);
    const std::string Host = "127.0.0.1:" + std::to_string(Server.Port);
    ::RegSetValueExA(K, "UpdateHost", 0, REG_SZ, reinterpret_cast<const BYTE*>(Host.c_str()),
                     static_cast<DWORD>(Host.size() + 1));
    ::RegCloseKey(K);

    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    Q.Press(Q.Child(Q.Main, "ToolbarWindow32"), 5);  // Update
    ASSERT_TRUE(PumpUntil([&] { return Server.LastRequest().size() > 0; }, 10000));
    LRESULT Answer = -1;
    std::thread Query([&] { Answer = Q.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF); });
    EXPECT_EQ(Q.AnswerBox(), "Download in progress. Please wait!");
    Query.join();
    EXPECT_EQ(Answer, FALSE);
    EXPECT_FALSE(ReadValue(HostKey, "Path").Exists);
    Q.Send(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    // Nothing went: the download ends, imports and is stored at the close.
    EXPECT_EQ(Q.AnswerBox(), "Application rules successfully imported!");
    ASSERT_TRUE(Q.Close());
    EXPECT_NE(ReadValue(std::string(HostKey) + "\\Apps", "KnownAppList").Data.find("Served Tool"),
              std::string::npos);
}

}  // namespace
