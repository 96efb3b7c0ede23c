// Driven by StartupE2E.sh, which seeds the registry with wine reg add before
// each case: starts quorvan.exe, looks at its main window, closes it and
// reads what it left in the registry.
#include "mainwindow/TestHttpServer.h"  // winsock2.h before windows.h

#include "QuorvanDriver.h"
#include "Win32TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
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
    // Settled: returns once the start-up has read everything; else as soon
    // as the first activation has begun the reading.
    explicit Quorvan(bool Settled = true)
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
        if (Settled)
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
    // Answers the program's next message box with the button Id; its text.
    std::string AnswerBox(int Id = IDOK) const
    {
        const HWND Box = WaitWindow("Tessarine Quorvan");
        if (!Box)
            return "";
        char Text[1024] = {};
        ::GetDlgItemTextA(Box, 0xFFFF, Text, sizeof(Text));
        ::PostMessageA(Box, WM_COMMAND, Id, 0);
        PumpUntil([&] { return !::IsWindow(Box); }, 5000);
        return Text;
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

// --- The end of the session, whatever the user has open ---

// The seeded state a row starts from.
enum class Seed {
    Plain,   // a stored layout, not applied
    Hosted,  // a known program bound from hostee and a layout with its panel
    Large,   // a large database and application list, a layout read in part
};

// What is open when the session's query comes.
enum class Opened {
    Nothing, NameBox, Designer, Editor, UpdateError, Download, Startup,
    Question, HostedAsking, HostedCloses,
};

struct SessionRow {
    const char* Name;
    Seed From;
    Opened Open;
    // What follows, in order: W the user's close, Q a query, C
    // WM_ENDSESSION(FALSE), E WM_ENDSESSION(TRUE).
    const char* Steps;
    // Each query's answer in order: T or F.
    const char* Answers;
};

const std::string RulesHead =
    "[Version]\r2099 January 1\r[Known Applications]\r Category: | Application name: | Age: | "
    "Version: | Exe size: | Method: | Files needed: | URL: | Problems: | Window #: | "
    "Window Title: | Window Class:\r";
const std::string ListHead = "| Flags | Category | Application | Version | Location |\r"
                             "+-------+----------+-------------+---------+----------+\r";

void SetString(HKEY K, const char* Name, const std::string& Text)
{
    ::RegSetValueExA(K, Name, 0, REG_SZ, reinterpret_cast<const BYTE*>(Text.c_str()),
                     static_cast<DWORD>(Text.size() + 1));
}

// The layouts key, created, holding Count as the number of nodes.
HKEY LayoutsKey(DWORD Count)
{
    HKEY L = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(HostKey) + "\\Layouts").c_str(), 0, nullptr, 0,
                      KEY_ALL_ACCESS, nullptr, &L, nullptr);
    ::RegSetValueExA(L, "LayoutsCount", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Count),
                     sizeof(Count));
    return L;
}

void SeedState(Seed From, const std::string& UpdateHost)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
    if (From == Seed::Hosted)
        quorvan_driver::SeedRegistry({"session_hostee"});
    if (From == Seed::Plain) {
        const HKEY L = LayoutsKey(2);
        SetString(L, "LayoutsNode0", "Layout|Seeded|Base=Root");
        SetString(L, "LayoutsNode1", "Panel|Panel; Left|Base=0");
        ::RegCloseKey(L);
    }
    HKEY K;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, HostKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &K, nullptr);
    SetString(K, "UpdateHost", UpdateHost);
    ::RegCloseKey(K);
    if (From == Seed::Large) {
        std::string Rules = RulesHead, List = ListHead;
        for (int I = 0; I < 4000; ++I) {
            const std::string N = std::to_string(I);
            Rules += " Bulk | Bulk Tool " + N + " | | | | bind | bulk" + N + ".exe | | | | |\r";
        }
        for (int I = 0; I < 8000; ++I) {
            const std::string N = std::to_string(I % 4000);
            List += "| | Bulk | Bulk Tool " + N + " | | C:\\bulk\\" + std::to_string(I) + "\\bulk" + N + ".exe |\r";
        }
        HKEY A;
        ::RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(HostKey) + "\\Apps").c_str(), 0, nullptr, 0,
                          KEY_ALL_ACCESS, nullptr, &A, nullptr);
        quorvan_driver::SetBinary(A, "KnownAppList", Rules);
        quorvan_driver::SetBinary(A, "FoundAppList", List);
        ::RegCloseKey(A);
        // Told in a box once the reading is over.
        const HKEY L = LayoutsKey(2);
        const DWORD Unreadable = 5;
        SetString(L, "LayoutsNode0", "Layout|Kept|Base=Root");
        ::RegSetValueExA(L, "LayoutsNode1", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&Unreadable),
                         sizeof(Unreadable));
        ::RegCloseKey(L);
    }
}

// The stored values but the seeded update host, which the program never writes.
std::vector<std::string> StoredState()
{
    std::vector<std::string> Lines = StoredValues();
    Lines.erase(std::remove_if(Lines.begin(), Lines.end(),
                               [](const std::string& L) {
                                   return L.find("\\UpdateHost=") != std::string::npos;
                               }),
                Lines.end());
    return Lines;
}

// What every row does once the program runs: the window moved, so that a
// close has something of the session to store.
void Prepare(Quorvan& Q, Seed From)
{
    // The large state is read while the session's query comes.
    if (From != Seed::Large)
        ::SetWindowPos(Q.Main, nullptr, 60, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Chooses the Nth item of a tool button's drop-down menu; false, with
// what was under the clicks in Seen, when no menu stayed open. A program
// started just before may take the activation after the click, which closes
// the menu as it should: the user then clicks again.
bool ChooseMenuItem(const Quorvan& Q, int Button, std::string& Seen, int Nth = 0)
{
    const auto MenuShown = [] {
        bool Shown = false;
        EachWindow(nullptr, [&](HWND W) { Shown |= ClassOf(W) == "#32768" && ::IsWindowVisible(W); });
        return Shown;
    };
    for (int Try = 0; Try < 3; ++Try) {
        RECT R;
        if (!quorvan_driver::RemoteButtonRect(Q.Pi.hProcess, Q.Child(Q.Main, "ToolbarWindow32"), Button, R))
            return false;
        const POINT At = {R.right - 5, (R.top + R.bottom) / 2};
        quorvan_driver::Click(At);
        // Still open a moment later: the keys reach it.
        if (PumpUntil(MenuShown, 3000) && !PumpUntil([&] { return !MenuShown(); }, 300)) {
            for (int I = 0; I <= Nth; ++I)
                quorvan_driver::Keys({VK_DOWN});
            quorvan_driver::Keys({VK_RETURN});
            return true;
        }
        Seen += " [" + ClassOf(::WindowFromPoint(At)) + " under the click, " +
                ClassOf(::GetForegroundWindow()) + " in front]";
    }
    return false;
}

// Applies the Nth stored layout from the layouts button's drop-down.
void ApplyStoredLayout(const Quorvan& Q, int Nth = 0)
{
    std::string Seen;
    if (!ChooseMenuItem(Q, 0, Seen, Nth))
        FAIL() << "no layouts menu after three clicks:" << Seen;
}

// The hostee's main window once bound into a panel of the program.
HWND BoundHostee(const Quorvan& Q)
{
    HWND Found = nullptr;
    PumpUntil([&] {
        EachWindow(Q.Main, [&](HWND C) { Found = ClassOf(C) == "HosteeWindow" ? C : Found; });
        return Found != nullptr;
    }, 20000);
    return Found;
}

int CountInFile(const std::string& Path, const std::string& What)
{
    int N = 0;
    if (FILE* F = std::fopen(Path.c_str(), "rb")) {
        char Line[512];
        while (std::fgets(Line, sizeof(Line), F))
            N += std::string(Line).find(What) != std::string::npos;
        std::fclose(F);
    }
    return N;
}

// The heap complaints of the Wine processes so far: the script runs this
// test with WINEDEBUG=warn+heap and its error output in the file named by
// SESSION_E2E_LOG (a Unix path), where the program's own output goes too.
int HeapComplaints()
{
    char Log[MAX_PATH] = {};
    if (!::GetEnvironmentVariableA("SESSION_E2E_LOG", Log, MAX_PATH))
        return 0;
    return CountInFile(std::string("Z:") + Log, "heap:");
}

void EndProcesses(const char* Exe)
{
    const HANDLE Snap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 E = {};
    E.dwSize = sizeof(E);
    for (BOOL More = ::Process32First(Snap, &E); More; More = ::Process32Next(Snap, &E)) {
        if (lstrcmpiA(E.szExeFile, Exe) != 0)
            continue;
        if (const HANDLE P = ::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, E.th32ProcessID)) {
            ::TerminateProcess(P, 1);
            ::WaitForSingleObject(P, 5000);
            ::CloseHandle(P);
        }
    }
    ::CloseHandle(Snap);
}

// The program's shown top-level windows with a caption: boxes and forms,
// not the tips that come and go under a resting pointer.
std::set<HWND> ShownWindows(const Quorvan& Q)
{
    std::set<HWND> Shown;
    EachWindow(nullptr, [&](HWND W) {
        DWORD Pid = 0;
        ::GetWindowThreadProcessId(W, &Pid);
        if (Pid == Q.Pi.dwProcessId && ::IsWindowVisible(W) &&
            (::GetWindowLongA(W, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
            Shown.insert(W);
    });
    return Shown;
}

// Types into the first cell of the editor's table, and leaves the edit
// open: what the editor would store only with OK.
void EditWithoutSaving(HWND Editor)
{
    HWND Table = nullptr;
    EachWindow(Editor, [&](HWND W) {
        const LONG Style = ::GetWindowLongA(W, GWL_STYLE);
        if (!Table && ::IsWindowVisible(W) && (Style & WS_HSCROLL) && (Style & WS_VSCROLL))
            Table = W;
    });
    ASSERT_TRUE(Table);
    ::PostMessageA(Table, WM_CHAR, 'Z', 0);
    HWND Edit = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (Edit = ::FindWindowExA(Table, nullptr, "Edit", nullptr)) != nullptr; }, 5000));
    for (const char C : std::string("unsaved"))
        ::PostMessageA(Edit, WM_CHAR, static_cast<WPARAM>(C), 0);
    char Text[32] = {};
    ASSERT_TRUE(PumpUntil([&] {
        // Another process's edit control: its own text, not its caption.
        ::SendMessageA(Edit, WM_GETTEXT, sizeof(Text), reinterpret_cast<LPARAM>(Text));
        return std::string(Text) == "Zunsaved";
    }, 5000)) << Text;
}

void ExpectEnded(const Quorvan& Q)
{
    ASSERT_EQ(::WaitForSingleObject(Q.Pi.hProcess, 10000), static_cast<DWORD>(WAIT_OBJECT_0))
        << "still running";
    DWORD Code = 1;
    ::GetExitCodeProcess(Q.Pi.hProcess, &Code);
    EXPECT_EQ(Code, 0u);
}

void ExpectRunning(const Quorvan& Q)
{
    DWORD_PTR Result = 0;
    EXPECT_EQ(::WaitForSingleObject(Q.Pi.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(::SendMessageTimeoutA(Q.Main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &Result));
}

// Closing and the session's query reach the programs as the host can ask
// them: one that replaced its splash by a main window of another class is
// bound and asked; one started as a separate window is left to the system.
TEST(StartupE2E, ProgramsAreAskedAsTheHostCanAskThem)
{
    const struct {
        const char* Name;
        const char* Options;  // of a program bound from the layout
        bool Separate;        // else started from the applications menu
    } Rows[] = {
        {"a splash of its own class, then the main window", "/splash=2500", false},
        {"the main window up before the splash goes", "/splash=2500 /overlap=1500", false},
        {"started as a separate window", nullptr, true},
    };
    const std::string HosteeLog = TestExeDir() + "session_hostee.log";
    for (const auto& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        SeedState(Seed::Hosted, "127.0.0.1:1");
        ::SetEnvironmentVariableA("HOSTEE_OPTIONS", Row.Options);
        ::DeleteFileA(HosteeLog.c_str());
        ::SetEnvironmentVariableA("HOSTEE_LOG", HosteeLog.c_str());
        struct HosteesEnded {
            ~HosteesEnded() { EndProcesses("session_hostee.exe"); }
        } EndedWithTheRow;
        Quorvan Q;
        ASSERT_TRUE(Q.Main);
        if (!Row.Separate) {
            ASSERT_NO_FATAL_FAILURE(ApplyStoredLayout(Q));
            const HWND Bound = BoundHostee(Q);
            ASSERT_TRUE(Bound) << "the main window is not bound";
            EXPECT_EQ(::GetAncestor(Bound, GA_ROOT), Q.Main);
            EXPECT_TRUE(PumpUntil([] { return !::FindWindowA("HosteeSplash", nullptr); }, 5000));
            // It is asked, and the host goes once it has.
            ASSERT_TRUE(Q.Close()) << "still open";
            EXPECT_EQ(CountInFile(HosteeLog, "main close"), 1);
            continue;
        }
        std::string Seen;
        ASSERT_TRUE(ChooseMenuItem(Q, 1, Seen)) << "no applications menu:" << Seen;
        HWND Separate = nullptr;
        ASSERT_TRUE(PumpUntil([&] {
            Separate = ::FindWindowA("HosteeWindow", nullptr);
            return Separate && ::IsWindowVisible(Separate);
        }, 10000));
        EXPECT_EQ(::GetAncestor(Separate, GA_PARENT), ::GetDesktopWindow());
        // The start's wait for the program (half a second at most) is over.
        PumpUntil([] { return false; }, 2000);
        // The system asks it itself: the host does not refuse for it.
        EXPECT_EQ(Q.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
        Q.Send(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
        // The user's close waits until it ends, without asking it.
        ::PostMessageA(Q.Main, WM_CLOSE, 0, 0);
        EXPECT_EQ(::WaitForSingleObject(Q.Pi.hProcess, 2500), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(CountInFile(HosteeLog, "close"), 0);
        ::PostMessageA(Separate, WM_CLOSE, 0, 0);
        ExpectEnded(Q);
    }
    ::SetEnvironmentVariableA("HOSTEE_OPTIONS", nullptr);
    ::SetEnvironmentVariableA("HOSTEE_LOG", nullptr);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

TEST(StartupE2E, SessionEndIsSafeWhateverIsOpen)
{
    const SessionRow Rows[] = {
        {"nothing: the session ends", Seed::Plain, Opened::Nothing, "QE", "T"},
        {"nothing: called off, then it ends", Seed::Plain, Opened::Nothing, "QCQE", "TT"},
        {"layout name box: the session ends", Seed::Plain, Opened::NameBox, "QE", "T"},
        {"layout name box: called off", Seed::Plain, Opened::NameBox, "QQC", "TT"},
        {"designer: two queries, the session ends", Seed::Plain, Opened::Designer, "QQE", "TT"},
        {"known-applications editor: called off, then it ends", Seed::Plain, Opened::Editor, "QCE", "T"},
        {"update's error box: the session ends", Seed::Plain, Opened::UpdateError, "QE", "T"},
        {"running download: refused twice, called off, ends after a no", Seed::Plain,
         Opened::Download, "QQCQE", "FFF"},
        {"start-up steps of a large state: the session ends", Seed::Large, Opened::Startup, "QE", "T"},
        {"start-up steps of a large state: called off, then its box", Seed::Large, Opened::Startup, "QC", "T"},
        {"question box: the session ends", Seed::Hosted, Opened::Question, "QE", "T"},
        {"program asking its own question: two queries, called off, asked again, ends after a no",
         Seed::Hosted, Opened::HostedAsking, "QQCQE", "FFF"},
        {"program closing: called off", Seed::Hosted, Opened::HostedCloses, "QC", "F"},
        {"program closing after the user's close: the call-off keeps that close", Seed::Hosted,
         Opened::HostedCloses, "WQC", "F"},
    };
    TestHttpServer Server;
    const std::string Served = "127.0.0.1:" + std::to_string(Server.Port);
    const std::string HosteeLog = TestExeDir() + "session_hostee.log";
    // What a close stores for each seed, after the same preparation.
    std::map<Seed, std::vector<std::string>> Closed;
    const auto ClosedState = [&](Seed From) {
        if (!Closed.count(From)) {
            SeedState(From, Served);
            Quorvan Q;
            Prepare(Q, From);
            EXPECT_TRUE(Q.Close());
            Closed[From] = StoredState();
        }
        return Closed[From];
    };
    for (const SessionRow& Row : Rows) {
        SCOPED_TRACE(Row.Name);
        const std::vector<std::string> Reference = ClosedState(Row.From);
        // A port nothing listens on gives the update's network error at once.
        SeedState(Row.From, Row.Open == Opened::UpdateError ? "127.0.0.1:1" : Served);
        Server.SetAnswer("/quorvan/ApplicationRules.def",
                         {200, RulesHead + " Tools | Served Tool | | | | bind | tool.exe | | | | |\r" +
                                   std::string(4000, ';'),
                          40, 500});
        const std::vector<std::string> Seeded = StoredState();
        ::SetEnvironmentVariableA("HOSTEE_OPTIONS",
                                  Row.Open == Opened::HostedAsking   ? "/askclose=600000"
                                  : Row.Open == Opened::HostedCloses ? "/slowclose=1500"
                                                                     : nullptr);
        ::DeleteFileA(HosteeLog.c_str());
        ::SetEnvironmentVariableA("HOSTEE_LOG", HosteeLog.c_str());
        const int HeapBefore = HeapComplaints();
        // A program that said no outlives the host. Ended also when a row
        // stops early, so that none is left holding the run's output open.
        struct HosteesEnded {
            ~HosteesEnded() { EndProcesses("session_hostee.exe"); }
        } EndedWithTheRow;
        Quorvan Q(Row.Open != Opened::Startup);
        ASSERT_TRUE(Q.Main);
        Prepare(Q, Row.From);
        HANDLE Hostee = nullptr;  // the bound program's process
        switch (Row.Open) {
        case Opened::NameBox:
            Q.Press(Q.Child(Q.Child(Q.Main, "TQuorvanWindow"), "ToolbarWindow32"), 1);
            ASSERT_TRUE(Q.WaitWindow("Layout name ..."));
            break;
        case Opened::Designer:
            Q.Press(Q.Child(Q.Main, "ToolbarWindow32"), 1);
            ASSERT_TRUE(Q.WaitWindow("Layout editor"));
            break;
        case Opened::Editor:
            Q.Press(Q.Child(Q.Main, "ToolbarWindow32"), 4);
            ASSERT_TRUE(Q.WaitWindow("Known Applications / Updates"));
            ASSERT_NO_FATAL_FAILURE(EditWithoutSaving(Q.WaitWindow("Known Applications / Updates")));
            break;
        case Opened::UpdateError:
        case Opened::Download:
            Q.Press(Q.Child(Q.Main, "ToolbarWindow32"), 5);
            if (Row.Open == Opened::UpdateError)
                ASSERT_TRUE(Q.WaitWindow("Tessarine Quorvan"));
            else
                ASSERT_TRUE(PumpUntil([&] { return Server.LastRequest().size() > 0; }, 10000));
            break;
        case Opened::Question: {
            // The layout's program runs already: the host asks whether to take it.
            std::string Cmd = "\"" + TestExeDir() + "session_hostee.exe\"";
            STARTUPINFOA Si = {};
            Si.cb = sizeof(Si);
            PROCESS_INFORMATION Pi = {};
            ASSERT_TRUE(::CreateProcessA(nullptr, &Cmd[0], nullptr, nullptr, FALSE, 0, nullptr,
                                         nullptr, &Si, &Pi));
            ::CloseHandle(Pi.hThread);
            ::CloseHandle(Pi.hProcess);
            ASSERT_TRUE(PumpUntil([] { return ::IsWindowVisible(::FindWindowA("HosteeWindow", nullptr)); }, 10000));
            ASSERT_NO_FATAL_FAILURE(ApplyStoredLayout(Q));
            ASSERT_TRUE(Q.WaitWindow("Confirmation..."));
            break;
        }
        case Opened::HostedAsking:
        case Opened::HostedCloses:
            ASSERT_NO_FATAL_FAILURE(ApplyStoredLayout(Q));
            ASSERT_TRUE(BoundHostee(Q));
            {
                DWORD Pid = 0;
                ::GetWindowThreadProcessId(BoundHostee(Q), &Pid);
                Hostee = ::OpenProcess(SYNCHRONIZE, FALSE, Pid);
            }
            // Seen bound from here once its frame is gone; the host's own
            // bookkeeping follows when that call has returned.
            PumpUntil([&] {
                return !(::GetWindowLongA(BoundHostee(Q), GWL_STYLE) & WS_THICKFRAME);
            }, 5000);
            PumpUntil([] { return false; }, 300);
            break;
        default:
            break;
        }
        const char* Answer = Row.Answers;
        // Log-offs begun, and whether the last step was a query.
        int LogOffs = 0;
        bool Repeated = false, UserClosed = false;
        const auto Asked = [&] { return CountInFile(HosteeLog, "close asked"); };
        for (const char* Step = Row.Steps; *Step; ++Step) {
            SCOPED_TRACE(std::string("step ") + *Step);
            if (*Step == 'Q') {
                // A box of its own inside the handler would hold the answer.
                const std::set<HWND> Shown = ShownWindows(Q);
                const auto Start = std::chrono::steady_clock::now();
                const LRESULT Got = Q.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
                const auto Took = std::chrono::duration_cast<std::chrono::milliseconds>(
                    std::chrono::steady_clock::now() - Start);
                EXPECT_LT(Took.count(), 1000);
                EXPECT_EQ(Got, *Answer++ == 'T' ? TRUE : FALSE);
                // Nor one shown just after the answer: the session's end
                // would take it down unread, or wait for it.
                HWND Appeared = nullptr;
                PumpUntil([&] {
                    for (HWND W : ShownWindows(Q))
                        if (!Shown.count(W))
                            Appeared = W;
                    return Appeared != nullptr;
                }, 500);
                EXPECT_EQ(Appeared, nullptr) << "a window appeared after the answer: " << ClassOf(Appeared);
                LogOffs += !Repeated;
                if (Row.Open == Opened::HostedAsking) {
                    // Asked once per log-off; a repeated query, whose
                    // request would come in a moment, asks no more.
                    PumpUntil([&] { return Asked() >= LogOffs; }, 5000);
                    PumpUntil([&] { return Asked() > LogOffs; }, Repeated ? 1500 : 0);
                    EXPECT_EQ(Asked(), LogOffs);
                }
                // Asked, the program takes its time to close.
                if (Row.Open == Opened::HostedCloses) {
                    EXPECT_TRUE(PumpUntil([&] { return CountInFile(HosteeLog, "close later") > 0; }, 5000));
                }
                Repeated = true;
            } else if (*Step == 'W') {
                UserClosed = true;
                ::PostMessageA(Q.Main, WM_CLOSE, 0, 0);
            } else if (*Step == 'C') {
                Repeated = false;
                Q.Send(WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
                if (UserClosed) {
                    ExpectEnded(Q);
                    EXPECT_EQ(StoredState(), Reference);
                } else if (Row.Open == Opened::HostedCloses) {
                    // The program asked to close goes; the host stays.
                    EXPECT_EQ(::WaitForSingleObject(Hostee, 10000), static_cast<DWORD>(WAIT_OBJECT_0));
                    EXPECT_EQ(::WaitForSingleObject(Q.Pi.hProcess, 3000), static_cast<DWORD>(WAIT_TIMEOUT));
                }
                // What the start-up had to tell waited for the session to go on.
                if (Row.Open == Opened::Startup) {
                    EXPECT_EQ(Q.AnswerBox().rfind("The stored layouts could not be read whole!", 0), 0u);
                }
                if (!UserClosed) {
                    ExpectRunning(Q);
                    EXPECT_EQ(StoredState(), Seeded) << "written though the session went on";
                }
            } else {
                Q.Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
                ExpectEnded(Q);
                EXPECT_EQ(StoredState(), Reference);
            }
        }
        EXPECT_EQ(HeapComplaints(), HeapBefore);
        if (Hostee)
            ::CloseHandle(Hostee);
    }
    ::SetEnvironmentVariableA("HOSTEE_OPTIONS", nullptr);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

// --- What the program's end stores, and what the start-up tells of it ---

const std::string AppsKey = std::string(HostKey) + "\\Apps";

HKEY CreatedKey(const std::string& Key)
{
    HKEY K = nullptr;
    ::RegCreateKeyExA(HKEY_CURRENT_USER, Key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &K, nullptr);
    return K;
}

// Clicks the button captioned Caption among Top's descendants: tells its
// parent, as a click does.
bool ClickButton(HWND Top, const std::string& Caption)
{
    bool Found = false;
    EachWindow(Top, [&](HWND W) {
        char Text[64] = {};
        ::GetWindowTextA(W, Text, sizeof(Text));
        if (ClassOf(W) == "Button" && Caption == Text && !Found)
            Found = ::PostMessageA(::GetParent(W), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(W), BN_CLICKED),
                                   reinterpret_cast<LPARAM>(W));
    });
    return Found;
}

// Waits until Wnd is hidden (a modal window closed).
bool Hidden(HWND Wnd)
{
    return PumpUntil([Wnd] { return !::IsWindowVisible(Wnd); }, 10000);
}

// The layouts key's security denies setting values and making keys: the
// close tells that once, with the system's reason (also when a task
// manager's close comes again meanwhile), and stores the rest; the
// session's end tells nothing and stores the rest too.
TEST(StartupE2E, RefusedKeyIsToldOnceAndTheRestStored)
{
    const std::string Layouts = std::string(HostKey) + "\\Layouts";
    for (const bool SessionEnd : {false, true}) {
        SCOPED_TRACE(SessionEnd ? "the session's end" : "a close");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
        const HKEY L = LayoutsKey(1);
        SetString(L, "LayoutsNode0", "Layout|Seeded|Base=Root");
        PSECURITY_DESCRIPTOR Sd = nullptr;
        ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(
            "D:(D;;0x6;;;WD)(A;;KA;;;WD)", SDDL_REVISION_1, &Sd, nullptr));
        ASSERT_EQ(::RegSetKeySecurity(L, DACL_SECURITY_INFORMATION, Sd), ERROR_SUCCESS);
        ::LocalFree(Sd);
        ::RegCloseKey(L);
        {
            Quorvan Q;
            ASSERT_TRUE(Q.Main);
            ::SetWindowPos(Q.Main, nullptr, 60, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            if (SessionEnd) {
                EXPECT_EQ(Q.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
                Q.Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            } else {
                ::PostMessageA(Q.Main, WM_CLOSE, 0, 0);
                ASSERT_TRUE(Q.WaitWindow("Tessarine Quorvan"));
                ::PostMessageA(Q.Main, WM_CLOSE, 0, 0);
                PumpUntil([] { return false; }, 500);
                const std::string Told = Q.AnswerBox();
                EXPECT_NE(Told.find("The layouts could not be stored in HKEY_CURRENT_USER\\" + Layouts +
                                    ": Access denied."),
                          std::string::npos) << Told;
                EXPECT_EQ(Told.find("position"), std::string::npos) << Told;
                EXPECT_FALSE(Q.WaitWindow("Tessarine Quorvan", 1000)) << "told once";
            }
            ExpectEnded(Q);
        }
        EXPECT_EQ(ReadInt("MainWindowLeftPos"), 60);
        EXPECT_NE(ReadValue(AppsKey, "KnownAppList").Data.find("Bramblewick 48"), std::string::npos);
        EXPECT_EQ(ReadValue(Layouts, "LayoutsNode0").Data.c_str(), std::string("Layout|Seeded|Base=Root"));
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

// Remove line and OK in the editor, then Restore defaults and Yes: the
// tables go back undated. The next start takes the rules file without a
// word and stores it; the edit does not come back.
TEST(StartupE2E, RestoreDefaultsAfterAnEditGivesWayToTheRulesFile)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
    const HKEY A = CreatedKey(AppsKey);
    quorvan_driver::SetBinary(A, "KnownAppList",
                              RulesHead + " Tests | First Tool | | | | bind | first.exe | | | | |\r"
                                          " Tests | Second Tool | | | | bind | second.exe | | | | |");
    ::RegCloseKey(A);
    {
        Quorvan Q;
        ASSERT_TRUE(Q.Main);
        const HWND Bar = Q.Child(Q.Main, "ToolbarWindow32");
        Q.Press(Bar, 4);
        const HWND Editor = Q.WaitWindow("Known Applications / Updates");
        ASSERT_TRUE(Editor);
        Q.Press(Q.Child(Editor, "ToolbarWindow32"), 2);
        ASSERT_TRUE(ClickButton(Editor, "OK"));
        ASSERT_TRUE(Hidden(Editor));
        // Shown again, captioned modified.
        Q.Press(Bar, 4);
        ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(Editor) != FALSE; }, 10000));
        Q.Press(Q.Child(Editor, "ToolbarWindow32"), 4);
        EXPECT_NE(Q.AnswerBox(IDYES).find("This clears the whole application data"), std::string::npos);
        ASSERT_TRUE(Hidden(Editor));
        ASSERT_TRUE(Q.Close());
    }
    const std::string Left = ReadValue(AppsKey, "KnownAppList").Data;
    EXPECT_EQ(Left.find("[Version]"), std::string::npos) << Left;
    EXPECT_NE(Left.find("Second Tool"), std::string::npos) << Left;
    EXPECT_EQ(Left.find("First Tool"), std::string::npos) << Left;
    {
        Quorvan Q;
        ASSERT_TRUE(Q.Main);
        EXPECT_FALSE(Q.WaitWindow("Tessarine Quorvan", 1500)) << "no message";
        ASSERT_TRUE(Q.Close());
    }
    const std::string Stored = ReadValue(AppsKey, "KnownAppList").Data;
    EXPECT_NE(Stored.find("2024 November 4"), std::string::npos) << Stored;
    EXPECT_NE(Stored.find("Bramblewick 48"), std::string::npos);
    EXPECT_EQ(Stored.find("Second Tool"), std::string::npos);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

// An update that arrives while the editor is open waits for it; the main
// window closed meanwhile (a task manager's close, the session's end)
// stores it, and tells it only after it is stored, or, at a session's end,
// not at all.
TEST(StartupE2E, UpdateHeldByTheOpenEditorIsStoredWhenTheProgramEnds)
{
    TestHttpServer Server;
    // Slow enough that its status bar is seen while it runs.
    Server.SetAnswer("/quorvan/ApplicationRules.def",
                     {200, RulesHead + " Tools | Served Tool | | | | bind | tool.exe | | | | |\r" + std::string(4000, ';'),
                      4, 200});
    for (const bool SessionEnd : {false, true}) {
        SCOPED_TRACE(SessionEnd ? "the session's end" : "a close");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
        const HKEY K = CreatedKey(HostKey);
        SetString(K, "UpdateHost", "127.0.0.1:" + std::to_string(Server.Port));
        ::RegCloseKey(K);
        Quorvan Q;
        ASSERT_TRUE(Q.Main);
        const HWND Bar = Q.Child(Q.Main, "ToolbarWindow32");
        Q.Press(Bar, 4);
        ASSERT_TRUE(Q.WaitWindow("Known Applications / Updates"));
        Q.Press(Bar, 5);
        // Delivered (and held) once the status bar it showed is hidden again:
        // the bar is also hidden as it is made.
        bool Shown = false;
        ASSERT_TRUE(PumpUntil([&] {
            bool Done = false;
            EachWindow(Q.Main, [&](HWND W) {
                if (ClassOf(W) != "msctls_statusbar32")
                    return;
                Shown |= ::IsWindowVisible(W) != FALSE;
                Done |= Shown && !::IsWindowVisible(W);
            });
            return Done;
        }, 15000));
        if (SessionEnd) {
            EXPECT_EQ(Q.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
            Q.Send(WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
        } else {
            ::PostMessageA(Q.Main, WM_CLOSE, 0, 0);
            EXPECT_EQ(Q.AnswerBox(), "Application rules successfully imported!");
        }
        ExpectEnded(Q);
        const std::string Stored = ReadValue(AppsKey, "KnownAppList").Data;
        EXPECT_NE(Stored.find("Served Tool"), std::string::npos);
        EXPECT_NE(Stored.find("2099 January 1"), std::string::npos);
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

// Six stored records, the second with a '|' too many: the start tells its
// line, the five whole ones are read, and the stored value stays as it is
// until the user changes the list: then the list as read goes, without the
// record removed.
TEST(StartupE2E, DamagedApplicationListIsToldAndKeptUntilChanged)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
    std::string Seeded = ListHead;
    for (const char* Name : {"Alpha", "Beta | x", "Gamma", "Delta", "Epsilon", "Zeta"})
        Seeded += std::string("| | Emu | ") + Name + " | | C:\\emu.exe |\r";
    Seeded.pop_back();
    const HKEY A = CreatedKey(AppsKey);
    quorvan_driver::SetBinary(A, "FoundAppList", Seeded);
    ::RegCloseKey(A);
    for (const bool Change : {false, true}) {
        SCOPED_TRACE(Change ? "changed" : "not changed");
        Quorvan Q;
        ASSERT_TRUE(Q.Main);
        const std::string Told = Q.AnswerBox();
        EXPECT_NE(Told.find("The stored application list is damaged: line 4: 7 fields where the header has 6."),
                  std::string::npos) << Told;
        EXPECT_NE(Told.find("5 records were read."), std::string::npos) << Told;
        EXPECT_FALSE(Q.WaitWindow("Tessarine Quorvan", 1000)) << "one message only";
        if (Change) {
            Q.Press(Q.Child(Q.Main, "ToolbarWindow32"), 2);
            const HWND List = Q.WaitWindow("Application list");
            ASSERT_TRUE(List);
            Q.Press(Q.Child(List, "ToolbarWindow32"), 2);
            EXPECT_EQ(Q.AnswerBox(IDYES), "Are you sure?");
            ::PostMessageA(List, WM_CLOSE, 0, 0);
            ASSERT_TRUE(Hidden(List));
        }
        ASSERT_TRUE(Q.Close());
        const std::string Stored = ReadValue(AppsKey, "FoundAppList").Data;
        if (!Change) {
            EXPECT_EQ(Stored, Seeded);
            continue;
        }
        EXPECT_EQ(std::count(Stored.begin(), Stored.end(), '\r'), 5) << Stored;
        for (const char* Name : {"Gamma", "Delta", "Epsilon", "Zeta"})
            EXPECT_NE(Stored.find(Name), std::string::npos) << Name;
        EXPECT_EQ(Stored.find("Alpha"), std::string::npos);
        EXPECT_EQ(Stored.find("Beta"), std::string::npos);
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

// --- A bound program that stops answering ---

// Whether the program handles posted input: the designer opens from its
// button and closes again.
bool HandlesPostedInput(const Quorvan& Q)
{
    Q.Press(Q.Child(Q.Main, "ToolbarWindow32"), 1);
    const HWND Designer = Q.WaitWindow("Layout editor", 10000);
    if (!Designer)
        return false;
    ::PostMessageA(Designer, WM_CLOSE, 0, 0);
    return PumpUntil([&] { return !::IsWindowVisible(Designer); }, 10000);
}

// The first descendant of Parent with that text.
HWND ChildTitled(HWND Parent, const std::string& Text)
{
    HWND Found = nullptr;
    EachWindow(Parent, [&](HWND W) {
        char T[64] = {};
        ::GetWindowTextA(W, T, sizeof(T));
        if (!Found && Text == T)
            Found = W;
    });
    return Found;
}

RECT ScreenRect(HWND W)
{
    RECT R = {};
    ::GetWindowRect(W, &R);
    return R;
}

TEST(StartupE2E, AProgramThatStopsAnsweringNeverFreezesTheHost)
{
    // Steps after the bound program stopped: R the main window resized,
    // L the other layout applied (its question answered No), I posted
    // input handled, A the program answers again, W the user's close, Q the
    // session's query.
    struct Row {
        const char* Name;
        const char* Steps;
    } Rows[] = {
        {"resized: it takes its panel's size once it answers", "RIA"},
        {"another layout, released: it goes back to the desktop once it answers", "LIA"},
        {"closed: the first close waits, the second ends the host", "WIW"},
        {"closed, then the session's query: refused, the host waits on for the user", "WQW"},
    };
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Name);
        struct HosteesEnded {
            ~HosteesEnded() { EndProcesses("hang_hostee.exe"); }
        } EndedWithTheRow;
        // A second layout holds an empty panel.
        quorvan_driver::SeedRegistry({"hang_hostee"}, {}, 1);
        ::SetEnvironmentVariableA("HOSTEE_OPTIONS", nullptr);
        Quorvan Q;
        ASSERT_TRUE(Q.Main);
        ASSERT_NO_FATAL_FAILURE(ApplyStoredLayout(Q));
        const HWND Bound = BoundHostee(Q);
        ASSERT_TRUE(Bound);
        PumpUntil([&] { return !(::GetWindowLongA(Bound, GWL_STYLE) & WS_THICKFRAME); }, 5000);
        const LONG BoundStyle = ::GetWindowLongA(Bound, GWL_STYLE);
        DWORD Pid = 0;
        const DWORD Tid = ::GetWindowThreadProcessId(Bound, &Pid);
        const HANDLE Hostee = ::OpenProcess(SYNCHRONIZE, FALSE, Pid);
        const HANDLE Thread = ::OpenThread(THREAD_SUSPEND_RESUME, FALSE, Tid);
        ASSERT_TRUE(Hostee && Thread);
        // The binding's own steps over (the host active again), the
        // program stops: its thread suspends itself.
        const auto ActiveOf = [](DWORD Thread) {
            GUITHREADINFO Info = {};
            Info.cbSize = sizeof(Info);
            ::GetGUIThreadInfo(Thread, &Info);
            return Info.hwndActive;
        };
        const DWORD HostThread = ::GetWindowThreadProcessId(Q.Main, nullptr);
        EXPECT_TRUE(PumpUntil([&] { return ActiveOf(HostThread) == Q.Main; }, 5000));
        EXPECT_TRUE(quorvan_driver::WaitSettled(Q.Main, 10000));
        // The user works in it: the keyboard focus lies in it.
        quorvan_driver::Click(quorvan_driver::Center(ScreenRect(Bound)));
        EXPECT_TRUE(PumpUntil([&] {
            GUITHREADINFO Info = {};
            Info.cbSize = sizeof(Info);
            return ::GetGUIThreadInfo(HostThread, &Info) && Info.hwndFocus == Bound;
        }, 5000));
        ::PostMessageA(Bound, WM_APP + 1, 0, 0);
        ASSERT_TRUE(PumpUntil([&] {
            DWORD_PTR Result = 0;
            return !::SendMessageTimeoutA(Bound, WM_NULL, 0, 0, SMTO_NORMAL, 200, &Result);
        }, 5000));
        // Seen stopped by the host: it no longer shares the host's input
        // (activation and focus would wait for it).
        EXPECT_TRUE(PumpUntil([&] { return ActiveOf(Tid) != ActiveOf(HostThread); }, 10000));
        bool Closed = false;
        for (const char* Step = R.Steps; *Step; ++Step) {
            SCOPED_TRACE(std::string("step ") + *Step);
            switch (*Step) {
            case 'R': {
                // Uncovered, its frame waits for a paint it cannot do.
                ::RedrawWindow(Bound, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
                // Queued: the test itself must not wait for the host.
                const RECT M = Q.Rect();
                ::SetWindowPos(Q.Main, nullptr, 0, 0, M.right - M.left + 120, M.bottom - M.top + 60,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
                break;
            }
            case 'L': {
                ASSERT_NO_FATAL_FAILURE(ApplyStoredLayout(Q, 1));
                const HWND Question = Q.WaitWindow("Confirmation...", 10000);
                ASSERT_TRUE(Question);
                const HWND No = ChildTitled(Question, "&No");
                ASSERT_TRUE(No);
                ::PostMessageA(No, BM_CLICK, 0, 0);
                EXPECT_TRUE(PumpUntil([&] { return !::IsWindowVisible(Question); }, 10000));
                break;
            }
            case 'I':
                EXPECT_TRUE(HandlesPostedInput(Q));
                break;
            case 'A':
                ::ResumeThread(Thread);
                if (std::string(R.Steps).find('L') != std::string::npos) {
                    // Given back as it was, running on.
                    EXPECT_TRUE(PumpUntil([&] { return ::GetAncestor(Bound, GA_PARENT) == ::GetDesktopWindow(); }, 10000));
                    EXPECT_TRUE(::GetWindowLongA(Bound, GWL_STYLE) & WS_THICKFRAME);
                    EXPECT_EQ(::WaitForSingleObject(Hostee, 0), static_cast<DWORD>(WAIT_TIMEOUT));
                } else {
                    // In its panel, restyled, at the panel's size.
                    const HWND Inner = ::GetAncestor(Bound, GA_PARENT);
                    EXPECT_TRUE(PumpUntil([&] {
                        RECT C = {};
                        ::GetClientRect(Inner, &C);
                        ::MapWindowPoints(Inner, HWND_DESKTOP, reinterpret_cast<POINT*>(&C), 2);
                        const RECT W = ScreenRect(Bound);
                        return ::EqualRect(&C, &W) != FALSE;
                    }, 10000));
                    EXPECT_EQ(::GetWindowLongA(Bound, GWL_STYLE), BoundStyle);
                    RECT Before = ScreenRect(Bound);
                    EXPECT_GT(Before.right - Before.left, 0);
                }
                break;
            case 'Q':
                // The program was asked and has not gone; the query is no
                // second close of the user's.
                EXPECT_EQ(Q.Send(WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), FALSE);
                EXPECT_EQ(::WaitForSingleObject(Q.Pi.hProcess, 2000), static_cast<DWORD>(WAIT_TIMEOUT));
                break;
            case 'W':
                ::PostMessageA(Q.Main, WM_CLOSE, 0, 0);
                if (!Step[1]) {
                    Closed = true;
                    ExpectEnded(Q);
                } else {
                    // Asked to close, the stopped program cannot: the host waits.
                    EXPECT_EQ(::WaitForSingleObject(Q.Pi.hProcess, 2000), static_cast<DWORD>(WAIT_TIMEOUT));
                }
                break;
            }
        }
        if (!Closed) {
            // What is left closes as it should.
            EXPECT_TRUE(Q.Close());
        }
        ::ResumeThread(Thread);
        ::CloseHandle(Thread);
        ::CloseHandle(Hostee);
    }
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

// A tool button's work shown by the program: a top-level window of its own
// titled Title, then closed again.
bool Opens(const Quorvan& Q, int Button, const char* Title)
{
    RECT R;
    if (!quorvan_driver::RemoteButtonRect(Q.Pi.hProcess, Q.Child(Q.Main, "ToolbarWindow32"), Button, R))
        return false;
    // Left of a drop-down's arrow.
    quorvan_driver::Click({R.left + 12, (R.top + R.bottom) / 2});
    const HWND W = Q.WaitWindow(Title, 8000);
    if (W) {
        ::PostMessageA(W, WM_CLOSE, 0, 0);
        PumpUntil([&] { return !::IsWindowVisible(W); }, 5000);
    }
    return W != nullptr;
}

// Each press of a tool button opens what it names: at the moment the window
// has settled, and while a layout chosen from the drop-down is applied
// (its program started, the pause after it), which the user sees as the
// moment the menu closed. A program showing its window away from the
// buttons; and one whose window shows late, over the Layouts button, where
// it stays until bound: the user clicks Layouts as soon as it is seen.
TEST(StartupE2E, EveryClickOnAToolButtonOpensItsWindow)
{
    struct Row {
        const char* Options;
        bool OverLayouts;
    };
    const Row Rows[] = {{"/pos=1000,800", false},
                        {"/pos=200,200 /size=400,200 /delay=200", true}};
    struct Button {
        int Index;
        const char* Title;
    };
    const Button Buttons[] = {{0, "Layout editor"}, {1, "Application list"},
                              {2, "Known Applications / Updates"}};
    for (const Row& R : Rows) {
        SCOPED_TRACE(R.Options);
        ::SetEnvironmentVariableA("HOSTEE_OPTIONS", R.Options);
        int Lost = 0;
        for (int Try = 0; Try < 3; ++Try) {
            SCOPED_TRACE(Try);
            quorvan_driver::SeedRegistry({"click_hostee"});
            struct HosteesEnded {
                ~HosteesEnded() { EndProcesses("click_hostee.exe"); }
            } EndedWithTheTry;
            Quorvan Q(false);
            ASSERT_TRUE(Q.Main);
            ASSERT_TRUE(quorvan_driver::WaitSettled(Q.Main));
            const Button& B = Buttons[Try % 3];
            if (!Opens(Q, B.Index, B.Title)) {
                ++Lost;
                ADD_FAILURE() << B.Title << " not opened at settled";
            }
            ASSERT_NO_FATAL_FAILURE(ApplyStoredLayout(Q));
            if (R.OverLayouts) {
                // The user sees the program's window over the buttons and
                // clicks Layouts a moment later; it may be bound already.
                HWND Shown = nullptr;
                ASSERT_TRUE(PumpUntil([&] {
                    Shown = ::FindWindowA("HosteeWindow", nullptr);
                    Shown = Shown && ::IsWindowVisible(Shown) ? Shown : nullptr;
                    bool Bound = false;
                    EachWindow(Q.Main,
                               [&](HWND C) { Bound = Bound || ClassOf(C) == "HosteeWindow"; });
                    return Shown || Bound;
                }, 10000));
                RECT Over, Tool;
                if (Shown && ::GetWindowRect(Shown, &Over) &&
                    quorvan_driver::RemoteButtonRect(
                        Q.Pi.hProcess, Q.Child(Q.Main, "ToolbarWindow32"), 0, Tool)) {
                    const POINT At = {Tool.left + 12, (Tool.top + Tool.bottom) / 2};
                    ASSERT_TRUE(::PtInRect(&Over, At)) << "the program's window misses the button";
                }
                ::Sleep(300);
            }
            if (!Opens(Q, 0, "Layout editor")) {
                ++Lost;
                ADD_FAILURE() << "the layout editor not opened while the layout was applied";
            }
            EXPECT_TRUE(Q.Close());
        }
        EXPECT_EQ(Lost, 0);
    }
    ::SetEnvironmentVariableA("HOSTEE_OPTIONS", nullptr);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

// A panel with a child docked Left 50 %: the tools of the panel under the
// pointer show in its free half, in front, and take a click.
TEST(StartupE2E, HoverToolsShowOverAChildPanel)
{
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
    const HKEY L = LayoutsKey(3);
    SetString(L, "LayoutsNode0", "Layout|Tools|Base=Root");
    SetString(L, "LayoutsNode1", "Panel|Parent; Left|Base=0");
    SetString(L, "LayoutsNode2", "Panel|Child; Left; 50%|Base=1");
    ::RegCloseKey(L);
    Quorvan Q;
    ASSERT_TRUE(Q.Main);
    ASSERT_NO_FATAL_FAILURE(ApplyStoredLayout(Q));
    // The layout's panels are the main panel's children; the parent's free
    // half is the right one.
    HWND Parent = nullptr;
    PumpUntil([&] {
        EachWindow(Q.Main, [&](HWND W) {
            RECT R;
            ::GetWindowRect(W, &R);
            RECT M;
            ::GetWindowRect(::GetParent(W), &M);
            if (ClassOf(W) == "TQuorvanWindow" && ::GetParent(::GetParent(W)) == Q.Main &&
                R.right - R.left > (M.right - M.left) * 3 / 4)
                Parent = W;
        });
        return Parent != nullptr;
    }, 10000);
    ASSERT_TRUE(Parent);
    RECT P;
    ::GetWindowRect(Parent, &P);
    quorvan_driver::MoveTo({P.left + (P.right - P.left) * 3 / 4, (P.top + P.bottom) / 2});
    HWND Combo = nullptr;
    PumpUntil([&] {
        EachWindow(Q.Main, [&](HWND W) {
            Combo = ClassOf(W) == "ComboBox" && ::IsWindowVisible(W) ? W : Combo;
        });
        return Combo != nullptr;
    }, 5000);
    ASSERT_TRUE(Combo) << "no tools shown";
    // Reached as a user reaches it: once it has stayed put a moment.
    RECT C = {};
    int Still = 0;
    PumpUntil([&] {
        RECT Now;
        ::GetWindowRect(Combo, &Now);
        Still = ::EqualRect(&Now, &C) ? Still + 1 : 0;
        C = Now;
        return Still >= 20;  // about 200 ms
    }, 5000);
    const POINT Centre = quorvan_driver::Center(C);
    EXPECT_EQ(::WindowFromPoint(Centre), Combo) << "under " << ClassOf(::WindowFromPoint(Centre));
    quorvan_driver::Click(Centre);
    EXPECT_TRUE(PumpUntil([&] { return ::SendMessageA(Combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }, 3000));
    quorvan_driver::Keys({VK_ESCAPE});
    EXPECT_TRUE(Q.Close());
    ::RegDeleteTreeA(HKEY_CURRENT_USER, HostKey);
}

}  // namespace
