// startup_bench: start-up of a program until the user can work with it,
// started by CreateProcess and closed again by WM_CLOSE: quorvan.exe with
// nothing stored and with generated stored state of two sizes, beside a
// minimal window program of ours, the baseline, taken in turns. Each size
// is stored once before its starts (nothing stored: the host's key is
// removed before each start, as the previous one's close wrote it).
// scripts/bench.sh runs it; by hand, under Wine on a display with a window
// manager:
//   wine startup_bench.exe [runs]
// (QUORVAN_EXE names another build of the program to time instead); to start quorvan.exe by hand on stored state of a size:
//   wine startup_bench.exe store LISTED ENTRIES
// or to see that a block of the program's own is counted whatever the Wine
// server does (minimal_window stopping 300 ms every second, 10,000 x 20,000
// stored, the server writing its registry file now and then):
//   wine startup_bench.exe check [runs]
//
// Shown: the first visible top-level window. Settled: from then on WM_NULL,
// sent every 5 ms, comes back within 5 ms for 150 ms in a row; the time is
// that of the first probe of the run. Longest block: the slowest answer to
// a probe between shown and settled; after settled: the slowest over the
// AfterSettledMs that follow (the forms made once the program is quiet fall
// there). Of each answer, the part that the Wine server held up (see
// TServerWatch) is counted apart, never the rest.
// Click at shown, in starts of their own: a press on a tool button sent as
// input the moment the window shows, timed until the button has taken the
// mouse (its capture, read from the system); and the time from shown until
// no window of the program waits for a paint.
// Prints medians with minimum and maximum, and each figure against its goal.
#include "BenchTiming.h"
#include "QuorvanDriver.h"
#include "StartupData.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

using quorvan_driver::Median;

namespace {

const double ProbeEveryMs = 5;
const double AnswerWithinMs = 5;
const double SettledForMs = 150;
const double AfterSettledMs = 2000;

struct Search {
    DWORD Pid;
    HWND Found;
};

BOOL CALLBACK FindShown(HWND Wnd, LPARAM Param)
{
    auto* S = reinterpret_cast<Search*>(Param);
    DWORD Pid = 0;
    ::GetWindowThreadProcessId(Wnd, &Pid);
    if (Pid == S->Pid && ::IsWindowVisible(Wnd) && !::GetWindow(Wnd, GW_OWNER)) {
        S->Found = Wnd;
        return FALSE;
    }
    return TRUE;
}

struct TStart {
    double Shown = -1;
    double Settled = -1;
    double LongestBlock = 0;
    double LongestAfter = 0;
    double LongestServer = 0;  // the longest part of an answer a server stall held up
    double Handled = -1;       // click at shown: press to the button's capture
    double Painted = -1;       // shown to painted
};

// Every window call of every program of the display goes through the Wine
// server, which stops answering while it writes its registry files (half a
// minute after any change: Wine itself touches its font key at every
// program's start; the 13 MB of 10,000 x 20,000 take it 0.3 to 0.9 s). A
// thread of its own (made once: a thread's start needs the server too)
// asks the server alone every few ms while watching and keeps its slow
// answers. Of a probe's wait, only the part such a stall covers is the
// server's; the rest stays the program's, so a stall can never hide a
// longer block of the program's own ("check" shows it).
class TServerWatch {
public:
    TServerWatch()
        : FThread([this] {
              while (!FStop) {
                  if (!FWatching) {
                      ::Sleep(5);
                      continue;
                  }
                  const LARGE_INTEGER From = Now();
                  FInCallSince = From.QuadPart;
                  ::GetForegroundWindow();
                  const LARGE_INTEGER To = Now();
                  if (Ms(From, To) > 10) {
                      std::lock_guard<std::mutex> Lock(FLock);
                      FStalls.push_back({From.QuadPart, To.QuadPart});
                  }
                  FInCallSince = 0;
                  ::Sleep(2);
              }
          })
    {
    }
    ~TServerWatch()
    {
        FStop = true;
        FThread.join();
    }
    void Watch(bool On)
    {
        std::lock_guard<std::mutex> Lock(FLock);
        FStalls.clear();
        FWatching = On;
    }
    // Of the Took ms from Sent on, the longest part one server stall covers.
    double HeldMs(LARGE_INTEGER Sent, double Took)
    {
        std::lock_guard<std::mutex> Lock(FLock);
        // A call still waiting counts up to now: the probe may come back
        // before the watching thread runs again.
        std::vector<std::pair<LONGLONG, LONGLONG>> Stalls = FStalls;
        if (const LONGLONG Since = FInCallSince)
            Stalls.push_back({Since, Now().QuadPart});
        double Held = 0;
        for (const auto& S : Stalls) {
            LARGE_INTEGER A, B;
            A.QuadPart = S.first;
            B.QuadPart = S.second;
            Held = std::max(Held, std::min(Ms(Sent, B), Took) - std::max(Ms(Sent, A), 0.0));
        }
        return Held;
    }

private:
    std::atomic<bool> FStop{false};
    std::atomic<bool> FWatching{false};
    std::atomic<LONGLONG> FInCallSince{0};
    std::mutex FLock;
    std::vector<std::pair<LONGLONG, LONGLONG>> FStalls;
    std::thread FThread;
};

// One WM_NULL probe; false when the window is gone. Took: its round trip.
bool Probe(HWND Wnd, LARGE_INTEGER& Sent, double& Took)
{
    Sent = Now();
    DWORD_PTR Answer = 0;
    if (!::SendMessageTimeoutA(Wnd, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &Answer))
        return false;
    Took = Ms(Sent, Now());
    return true;
}

void WaitProbeInterval(LARGE_INTEGER Sent)
{
    const double Wait = ProbeEveryMs - Ms(Sent, Now());
    if (Wait >= 1)
        ::Sleep(static_cast<DWORD>(Wait));
}

// The program's part of a probe's wait into Longest, the server's apart.
void CountBlock(TServerWatch& Server, LARGE_INTEGER Sent, double Took, double& Longest,
                TStart& R)
{
    const double Held = Took > AnswerWithinMs ? Server.HeldMs(Sent, Took) : 0;
    Longest = std::max(Longest, Took - Held);
    R.LongestServer = std::max(R.LongestServer, Held);
}

// Goes on probing for AfterSettledMs after settled.
void WatchAfterSettled(HWND Wnd, TStart& R, TServerWatch& Server)
{
    const LARGE_INTEGER From = Now();
    LARGE_INTEGER Sent;
    double Took = 0;
    while (Ms(From, Now()) < AfterSettledMs && Probe(Wnd, Sent, Took)) {
        CountBlock(Server, Sent, Took, R.LongestAfter, R);
        WaitProbeInterval(Sent);
    }
}

// Probes Wnd until it settles; times from Start.
bool WaitSettled(HWND Wnd, LARGE_INTEGER Start, TStart& R, TServerWatch& Server)
{
    double QuietSince = -1;
    while (Ms(Start, Now()) < 120000) {
        LARGE_INTEGER Sent;
        double Took = 0;
        if (!Probe(Wnd, Sent, Took))
            return false;
        const LARGE_INTEGER Back = Now();
        CountBlock(Server, Sent, Took, R.LongestBlock, R);
        if (Took > AnswerWithinMs)
            QuietSince = -1;
        else if (QuietSince < 0)
            QuietSince = Ms(Start, Sent);
        if (QuietSince >= 0 && Ms(Start, Back) - QuietSince >= SettledForMs) {
            R.Settled = QuietSince;
            return true;
        }
        WaitProbeInterval(Sent);
    }
    return false;
}

// Where the click at shown presses: a plain tool button ("View apps ...")
// of the main window's tool bar, from the bar's top left corner; measured
// once on a settled start (the bar answers for its buttons), as a user
// knows where the button will be.
struct TClickPlace {
    bool Known = false;
    POINT FromBar = {0, 0};
};

HWND MainToolBar(HWND Main)
{
    return ::FindWindowExA(Main, nullptr, TOOLBARCLASSNAMEA, nullptr);
}

void MeasureClickPlace(HWND Main, HANDLE Process, TClickPlace& Place)
{
    RECT Bar, Button;
    const HWND B = MainToolBar(Main);
    void* Remote = ::VirtualAllocEx(Process, nullptr, sizeof(RECT), MEM_COMMIT, PAGE_READWRITE);
    if (!B || !Remote)
        return;
    if (::SendMessageA(B, TB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(Remote)) &&
        ::ReadProcessMemory(Process, Remote, &Button, sizeof(Button), nullptr) &&
        ::GetWindowRect(B, &Bar)) {
        Place.FromBar = {(Button.left + Button.right) / 2, (Button.top + Button.bottom) / 2};
        Place.Known = true;
    }
    ::VirtualFreeEx(Process, Remote, 0, MEM_RELEASE);
}

// The press the moment the window shows; the release follows away from
// the button, so that nothing runs. Handled: the bar holds the capture.
void ClickAtShown(HWND Main, DWORD Thread, const TClickPlace& Place, LARGE_INTEGER ShownAt,
                  TStart& R)
{
    RECT Bar;
    const HWND B = MainToolBar(Main);
    if (!B || !::GetWindowRect(B, &Bar))
        return;
    quorvan_driver::MoveTo({Bar.left + Place.FromBar.x, Bar.top + Place.FromBar.y});
    INPUT Press = {};
    Press.type = INPUT_MOUSE;
    Press.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    const LARGE_INTEGER Pressed = Now();
    ::SendInput(1, &Press, sizeof(Press));
    while (Ms(Pressed, Now()) < 10000 && (R.Handled < 0 || R.Painted < 0)) {
        GUITHREADINFO Gui = {};
        Gui.cbSize = sizeof(Gui);
        if (R.Handled < 0 && ::GetGUIThreadInfo(Thread, &Gui) && Gui.hwndCapture == B)
            R.Handled = Ms(Pressed, Now());
        if (R.Painted < 0 && quorvan_driver::Painted(Main))
            R.Painted = Ms(ShownAt, Now());
        ::Sleep(0);
    }
    RECT Client;
    ::GetWindowRect(Main, &Client);
    quorvan_driver::MoveTo({(Client.left + Client.right) / 2, Client.bottom - 20});
    INPUT Release = {};
    Release.type = INPUT_MOUSE;
    Release.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &Release, sizeof(Release));
}

enum class TMode { Settle, Click };

TStart TimeOne(const std::string& Cmd, TServerWatch& Server, TMode Mode, TClickPlace& Place)
{
    TStart R;
    // The pointer rests away from where the window comes.
    ::SetCursorPos(0, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    std::string Line = Cmd;
    STARTUPINFOA Si = {};
    Si.cb = sizeof(Si);
    PROCESS_INFORMATION Pi = {};
    Server.Watch(true);
    const LARGE_INTEGER Start = Now();
    if (!::CreateProcessA(nullptr, &Line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &Si, &Pi))
        return R;
    Search S = {Pi.dwProcessId, nullptr};
    LARGE_INTEGER ShownAt = Start;
    while (Ms(Start, Now()) < 20000) {
        ::EnumWindows(&FindShown, reinterpret_cast<LPARAM>(&S));
        if (S.Found) {
            ShownAt = Now();
            R.Shown = Ms(Start, ShownAt);
            break;
        }
        ::Sleep(1);
    }
    if (S.Found) {
        if (Mode == TMode::Click && Place.Known)
            ClickAtShown(S.Found, Pi.dwThreadId, Place, ShownAt, R);
        if (WaitSettled(S.Found, Start, R, Server)) {
            if (Mode == TMode::Settle)
                WatchAfterSettled(S.Found, R, Server);
            else if (!Place.Known)
                MeasureClickPlace(S.Found, Pi.hProcess, Place);
        }
        ::PostMessageA(S.Found, WM_CLOSE, 0, 0);
    }
    Server.Watch(false);
    if (::WaitForSingleObject(Pi.hProcess, 30000) != WAIT_OBJECT_0)
        ::TerminateProcess(Pi.hProcess, 1);
    ::CloseHandle(Pi.hProcess);
    ::CloseHandle(Pi.hThread);
    return R;
}

struct TFigures {
    std::vector<double> Shown, Settled, Blocks, BlocksAfter, Server, Handled, Painted;
    void Add(const TStart& T)
    {
        Shown.push_back(T.Shown);
        Settled.push_back(T.Settled);
        Blocks.push_back(T.LongestBlock);
        BlocksAfter.push_back(T.LongestAfter);
        Server.push_back(T.LongestServer);
    }
};

double Max(const std::vector<double>& V)
{
    return V.empty() ? 0 : *std::max_element(V.begin(), V.end());
}

void ReportFigure(const char* What, const std::vector<double>& V)
{
    if (V.empty())
        return;
    std::printf("  %-22s median %8.1f ms  min %8.1f  max %8.1f\n", What, Median(V),
                *std::min_element(V.begin(), V.end()), Max(V));
}

void ReportAll(const char* Name, const TFigures& F)
{
    std::printf("%s\n", Name);
    ReportFigure("shown", F.Shown);
    ReportFigure("settled", F.Settled);
    ReportFigure("longest block", F.Blocks);
    ReportFigure("after settled", F.BlocksAfter);
    ReportFigure("server's part", F.Server);
    ReportFigure("click at shown", F.Handled);
    ReportFigure("shown to painted", F.Painted);
}

void ReportRatio(const std::string& What, double Figure, double Baseline, double Goal)
{
    std::printf("%-58s %8.1f / %8.1f ms = %.2fx (goal <= %.1fx)\n", What.c_str(), Figure, Baseline,
                Figure / Baseline, Goal);
}

void ReportGoal(const std::string& What, double Figure, double GoalMs)
{
    std::printf("%-58s %8.1f ms (goal <= %.0f ms)\n", What.c_str(), Figure, GoalMs);
}

struct TSize {
    const char* Name;
    int Listed;
    int Entries;
};

// The self-check: minimal_window stopping 300 ms every second, its longest
// block each run beside the server's part.
int Check(const std::string& Dir, const std::string& DataDir, int Runs)
{
    StoreTexts(GenerateStoredTexts(10000, 20000, DataDir));
    TServerWatch Server;
    TClickPlace None;
    int Hidden = 0;
    for (int I = 0; I < Runs; ++I) {
        const TStart T = TimeOne("\"" + Dir + "minimal_window.exe\" /stall=300", Server,
                                 TMode::Settle, None);
        const double Longest = std::max(T.LongestBlock, T.LongestAfter);
        std::printf("run %2d: longest block %6.1f ms, server's part %6.1f ms\n", I + 1, Longest,
                    T.LongestServer);
        Hidden += Longest < 290;
    }
    StoreTexts({});
    std::printf("%d of %d runs hid the 300 ms block\n", Hidden, Runs);
    return Hidden ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    char Path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, Path, MAX_PATH);
    std::string Dir(Path);
    Dir.resize(Dir.find_last_of("\\/") + 1);
    const std::string DataDir = Dir + "startup_data\\";
    if (argc == 4 && std::string(argv[1]) == "store") {
        const int Listed = std::atoi(argv[2]), Entries = std::atoi(argv[3]);
        if (!MakeGeneratedExecutables(DataDir, Dir + "verapp_2_1.exe", Entries))
            return 1;
        StoreTexts(Entries > 0 ? GenerateStoredTexts(Listed, Entries, DataDir) : TStoredTexts());
        return 0;
    }
    if (!MakeGeneratedExecutables(DataDir, Dir + "verapp_2_1.exe", 20000)) {
        std::printf("cannot make the generated programs in %s\n", DataDir.c_str());
        return 1;
    }
    if (argc >= 2 && std::string(argv[1]) == "check")
        return Check(Dir, DataDir, argc > 2 ? std::max(1, std::atoi(argv[2])) : 12);
    const int Runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const TSize Sizes[] = {
        {"nothing stored", 0, 0},
        {"1,000 x 2,000 stored", 1000, 2000},
        {"10,000 x 20,000 stored", 10000, 20000},
    };
    const std::string Minimal = "\"" + Dir + "minimal_window.exe\"";
    // QUORVAN_EXE: another build of the program, for a figure by hand.
    char Other[MAX_PATH] = {};
    const std::string Quorvan =
        "\"" + (::GetEnvironmentVariableA("QUORVAN_EXE", Other, MAX_PATH) ? std::string(Other)
                                                                         : Dir + "quorvan.exe") +
        "\"";
    TServerWatch Server;
    TClickPlace Place;
    std::printf("Shown: first visible window. Settled: WM_NULL every %.0f ms answered within "
                "%.0f ms for %.0f ms in a row.\nLongest block: slowest answer between shown and "
                "settled; after settled: slowest over the\n%.0f ms that follow; of each, the part "
                "a Wine server stall covered is the server's.\nClick at shown: a tool button "
                "pressed (input) as the window shows, until it has the mouse.\n"
                "Medians over %d turns of the baseline and quorvan.exe, each size stored once.\n",
                ProbeEveryMs, AnswerWithinMs, SettledForMs, AfterSettledMs, Runs);
    std::vector<TFigures> Results;
    TFigures Baseline;
    int Status = 0;
    for (const TSize& Size : Sizes) {
        const TStoredTexts Texts =
            Size.Entries > 0 ? GenerateStoredTexts(Size.Listed, Size.Entries, DataDir) : TStoredTexts();
        StoreTexts(Texts);
        const auto Fresh = [&] {
            if (Size.Entries == 0)
                StoreTexts(Texts);
        };
        // One start of each first: the loader's caches are warm, the close
        // has written what it writes, and the click's place is known.
        TimeOne(Minimal, Server, TMode::Settle, Place);
        Fresh();
        TimeOne(Quorvan, Server, TMode::Click, Place);
        TFigures F;
        for (int I = 0; I < Runs && !Status; ++I) {
            const TStart B = TimeOne(Minimal, Server, TMode::Settle, Place);
            Fresh();
            const TStart T = TimeOne(Quorvan, Server, TMode::Settle, Place);
            Fresh();
            const TStart C = TimeOne(Quorvan, Server, TMode::Click, Place);
            if (B.Settled < 0 || T.Settled < 0 || C.Handled < 0 || C.Painted < 0) {
                std::printf("%s: %s\n", Size.Name,
                            T.Shown < 0 ? "no window" : T.Settled < 0 ? "never settled"
                                                                      : "the click at shown was not taken");
                Status = 1;
                break;
            }
            Baseline.Add(B);
            F.Add(T);
            F.Handled.push_back(C.Handled);
            F.Painted.push_back(C.Painted);
        }
        Results.push_back(F);
        if (Status)
            break;
    }
    StoreTexts({});
    if (Status)
        return Status;
    ReportAll("baseline: minimal_window (all sizes)", Baseline);
    for (std::size_t S = 0; S < Results.size(); ++S)
        ReportAll((std::string("quorvan.exe, ") + Sizes[S].Name).c_str(), Results[S]);
    const double Empty = Median(Results[0].Settled);
    ReportRatio("settled: quorvan.exe, nothing stored / minimal_window", Empty,
                Median(Baseline.Settled), 1.5);
    ReportRatio("settled: 1,000 x 2,000 / nothing stored", Median(Results[1].Settled), Empty, 2);
    ReportRatio("settled: 10,000 x 20,000 / nothing stored", Median(Results[2].Settled), Empty, 2);
    for (std::size_t S = 0; S < Results.size(); ++S) {
        const std::string Name = Sizes[S].Name;
        ReportGoal("longest block, any run, " + Name, std::max(Max(Results[S].Blocks), Max(Results[S].BlocksAfter)), 100);
        ReportGoal("click at shown handled, median, " + Name, Median(Results[S].Handled), 100);
        ReportGoal("shown to painted, median, " + Name, Median(Results[S].Painted), 100);
    }
    std::printf("%-58s %8.1f ms (the Wine server's, apart)\n", "longest server's part, any run",
                [&] {
                    double M = Max(Baseline.Server);
                    for (const TFigures& F : Results)
                        M = std::max(M, Max(F.Server));
                    return M;
                }());
    return 0;
}
