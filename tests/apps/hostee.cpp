// hostee: a program for the hosting tests to start, bind and release. Its
// command line chooses its windows and behaviour; it logs what it receives
// to the file named by /log=, one line at a time, for the tests to read.
//
//   /class=NAME      window class of the main window ("HosteeWindow")
//   /title=TEXT      main window title ("Hostee")
//   /pos=X,Y /size=W,H   main window rectangle (100,100 300x200)
//   /delay=MS        wait before the main window shows
//   /splash=MS       show a splash window for MS first, then the main one
//                    (without /delay the main window replaces it at once)
//   /overlap=MS      the splash window closes only MS after the main one shows
//   /splashclass=NAME  window class of the splash window ("HosteeSplash")
//   /second          a second main window, titled TEXT + " 2"
//   /noclose         ignore WM_CLOSE
//   /askclose=MS     on WM_CLOSE disable the window for MS (a question of
//                    its own), then enable it again and stay
//   /slowclose=MS    on WM_CLOSE close only MS later, the window enabled
//   /disable=A,F     A ms after showing (0: already when shown), disable
//                    the main window for F ms (F = 0: for good)
//   /exit=MS         end after MS
//   /retitle=MS      every MS retitle the main window "Retitle N", N = 1, 2, ...
//   /windows=N       N further small top-level windows
//   /busy=MS         take no message for MS before the message loop (not
//                    idle for input until then)
//   /log=PATH        the log file
//
// Programs that start hostee with a command line of their own (the monitor)
// pass options through the environment instead: HOSTEE_OPTIONS holds options
// separated by blanks, read before the command line; HOSTEE_LOG the log file.
//
// Log lines: "cmdline ...", "cwd ...", "shown MS" (milliseconds from the
// process's creation to showing the main window), then "<tag> size W H" (WM_SIZE),
// "<tag> pos X Y W H" (WM_WINDOWPOSCHANGED with a size), "<tag> style OLD NEW"
// (WM_STYLECHANGED of GWL_STYLE, hex), "<tag> enabled 0|1", "<tag> close",
// "<tag> close ignored", "<tag> close asked", "<tag> close later", "<tag> mark N" (a posted WM_APP with N); tag is
// main, second or splash.
//
// A posted WM_APP + 1 stops the program for good, as a suspended process
// is: its thread suspends itself ("<tag> hang" is logged first). Resuming
// the thread from outside lets it answer again.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

struct Options {
    std::string Class = "HosteeWindow";
    std::string Title = "Hostee";
    std::string SplashClass = "HosteeSplash";
    std::string LogFile;
    int X = 100, Y = 100, W = 300, H = 200;
    int Delay = 0;
    int Splash = 0;
    int Overlap = 0;
    bool Second = false;
    bool NoClose = false;
    int AskClose = 0;
    int SlowClose = 0;
    int DisableAfter = -1;
    int DisableFor = 0;
    int Exit = 0;
    int Busy = 0;
    int Retitle = 0;
    int Windows = 0;
} Opt;

HWND MainWnd = nullptr;
HWND SecondWnd = nullptr;
HWND SplashWnd = nullptr;
int MainWindowsAlive = 0;

void Log(const char* Format, ...)
{
    if (Opt.LogFile.empty())
        return;
    FILE* F = std::fopen(Opt.LogFile.c_str(), "a");
    if (!F)
        return;
    va_list Args;
    va_start(Args, Format);
    std::vfprintf(F, Format, Args);
    va_end(Args);
    std::fputc('\n', F);
    std::fclose(F);
}

const char* TagOf(HWND Wnd)
{
    return Wnd == SplashWnd ? "splash" : Wnd == SecondWnd ? "second" : "main";
}

bool Starts(const char* Arg, const char* Name, const char** Value)
{
    const std::size_t N = std::strlen(Name);
    if (_strnicmp(Arg, Name, N) != 0)
        return false;
    *Value = Arg + N;
    return true;
}

void ParseArg(const char* A)
{
    const char* V = nullptr;
    if (Starts(A, "/class=", &V)) Opt.Class = V;
    else if (Starts(A, "/splashclass=", &V)) Opt.SplashClass = V;
    else if (Starts(A, "/title=", &V)) Opt.Title = V;
    else if (Starts(A, "/log=", &V)) Opt.LogFile = V;
    else if (Starts(A, "/pos=", &V)) std::sscanf(V, "%d,%d", &Opt.X, &Opt.Y);
    else if (Starts(A, "/size=", &V)) std::sscanf(V, "%d,%d", &Opt.W, &Opt.H);
    else if (Starts(A, "/delay=", &V)) Opt.Delay = std::atoi(V);
    else if (Starts(A, "/splash=", &V)) Opt.Splash = std::atoi(V);
    else if (Starts(A, "/overlap=", &V)) Opt.Overlap = std::atoi(V);
    else if (Starts(A, "/second", &V)) Opt.Second = true;
    else if (Starts(A, "/noclose", &V)) Opt.NoClose = true;
    else if (Starts(A, "/askclose=", &V)) Opt.AskClose = std::atoi(V);
    else if (Starts(A, "/slowclose=", &V)) Opt.SlowClose = std::atoi(V);
    else if (Starts(A, "/disable=", &V)) std::sscanf(V, "%d,%d", &Opt.DisableAfter, &Opt.DisableFor);
    else if (Starts(A, "/exit=", &V)) Opt.Exit = std::atoi(V);
    else if (Starts(A, "/retitle=", &V)) Opt.Retitle = std::atoi(V);
    else if (Starts(A, "/windows=", &V)) Opt.Windows = std::atoi(V);
    else if (Starts(A, "/busy=", &V)) Opt.Busy = std::atoi(V);
}

void ParseArgs()
{
    char Env[2048];
    const DWORD Len = ::GetEnvironmentVariableA("HOSTEE_OPTIONS", Env, sizeof(Env));
    if (Len > 0 && Len < sizeof(Env))
        for (char* Tok = std::strtok(Env, " "); Tok; Tok = std::strtok(nullptr, " "))
            ParseArg(Tok);
    char Log[MAX_PATH];
    const DWORD LogLen = ::GetEnvironmentVariableA("HOSTEE_LOG", Log, sizeof(Log));
    if (LogLen > 0 && LogLen < sizeof(Log))
        Opt.LogFile = Log;
    for (int I = 1; I < __argc; ++I)
        ParseArg(__argv[I]);
}

// Milliseconds since the process was created.
long long SinceStart()
{
    FILETIME Created, Exited, Kernel, User, Now;
    ::GetProcessTimes(::GetCurrentProcess(), &Created, &Exited, &Kernel, &User);
    ::GetSystemTimeAsFileTime(&Now);
    const auto Ticks = [](const FILETIME& F) {
        return (static_cast<long long>(F.dwHighDateTime) << 32) | F.dwLowDateTime;
    };
    return (Ticks(Now) - Ticks(Created)) / 10000;
}

// One-shot timers of the thread, by what they do.
enum TimerKind { tkShowMain = 1, tkEndSplash, tkDisable, tkEnable, tkExit, tkClose, tkRetitle, tkCloseSplash };

void CALLBACK OnTimer(HWND, UINT, UINT_PTR Id, DWORD);

struct Pending {
    UINT_PTR Id;
    TimerKind Kind;
} Timers[8];

void After(int Ms, TimerKind Kind)
{
    const UINT_PTR Id = ::SetTimer(nullptr, 0, static_cast<UINT>(Ms > 0 ? Ms : 1), &OnTimer);
    for (Pending& P : Timers)
        if (P.Id == 0) {
            P = {Id, Kind};
            return;
        }
}

void ShowMainWindows()
{
    if (Opt.DisableAfter == 0) {
        ::EnableWindow(MainWnd, FALSE);
        if (Opt.DisableFor > 0)
            After(Opt.DisableFor, tkEnable);
    }
    ::ShowWindow(MainWnd, SW_SHOW);
    ::UpdateWindow(MainWnd);
    Log("shown %lld", SinceStart());
    if (SecondWnd)
        ::ShowWindow(SecondWnd, SW_SHOW);
    if (Opt.DisableAfter > 0)
        After(Opt.DisableAfter, tkDisable);
}

void CALLBACK OnTimer(HWND, UINT, UINT_PTR Id, DWORD)
{
    ::KillTimer(nullptr, Id);
    TimerKind Kind = tkExit;
    for (Pending& P : Timers)
        if (P.Id == Id) {
            Kind = P.Kind;
            P.Id = 0;
        }
    switch (Kind) {
    case tkShowMain:
        ShowMainWindows();
        break;
    case tkEndSplash:
        // Without a delay the main window takes the splash window's place
        // in one step, as programs that replace their window do.
        if (Opt.Delay <= 0)
            ShowMainWindows();
        if (Opt.Overlap > 0) {
            After(Opt.Overlap, tkCloseSplash);
            break;
        }
        ::DestroyWindow(SplashWnd);
        SplashWnd = nullptr;
        if (Opt.Delay > 0)
            After(Opt.Delay, tkShowMain);
        break;
    case tkCloseSplash:
        ::DestroyWindow(SplashWnd);
        SplashWnd = nullptr;
        break;
    case tkDisable:
        ::EnableWindow(MainWnd, FALSE);
        if (Opt.DisableFor > 0)
            After(Opt.DisableFor, tkEnable);
        break;
    case tkEnable:
        ::EnableWindow(MainWnd, TRUE);
        break;
    case tkClose:
        ::DestroyWindow(MainWnd);
        break;
    case tkRetitle: {
        static int N = 0;
        ::SetWindowTextA(MainWnd, ("Retitle " + std::to_string(++N)).c_str());
        After(Opt.Retitle, tkRetitle);
        break;
    }
    case tkExit:
        Log("exit");
        ::ExitProcess(0);
    }
}

LRESULT CALLBACK MainProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    switch (Msg) {
    case WM_SIZE:
        Log("%s size %d %d", TagOf(Wnd), LOWORD(LParam), HIWORD(LParam));
        break;
    case WM_WINDOWPOSCHANGED: {
        const auto* Pos = reinterpret_cast<const WINDOWPOS*>(LParam);
        if (!(Pos->flags & SWP_NOSIZE))
            Log("%s pos %d %d %d %d", TagOf(Wnd), Pos->x, Pos->y, Pos->cx, Pos->cy);
        break;
    }
    case WM_STYLECHANGED:
        if (static_cast<int>(WParam) == GWL_STYLE) {
            const auto* S = reinterpret_cast<const STYLESTRUCT*>(LParam);
            Log("%s style %08lX %08lX", TagOf(Wnd), S->styleOld, S->styleNew);
        }
        break;
    case WM_LBUTTONDOWN:  // a click takes the focus, bound or not
        ::SetFocus(Wnd);
        break;
    case WM_APP:  // a marker: what was posted before it has been handled
        Log("%s mark %d", TagOf(Wnd), static_cast<int>(WParam));
        return 0;
    case WM_APP + 1:
        Log("%s hang", TagOf(Wnd));
        ::SuspendThread(::GetCurrentThread());
        return 0;
    case WM_ENABLE:
        Log("%s enabled %d", TagOf(Wnd), WParam ? 1 : 0);
        break;
    case WM_CLOSE:
        if (Opt.NoClose) {
            Log("%s close ignored", TagOf(Wnd));
            return 0;
        }
        if (Opt.AskClose > 0) {
            Log("%s close asked", TagOf(Wnd));
            ::EnableWindow(Wnd, FALSE);
            After(Opt.AskClose, tkEnable);
            return 0;
        }
        if (Opt.SlowClose > 0) {
            Log("%s close later", TagOf(Wnd));
            After(Opt.SlowClose, tkClose);
            return 0;
        }
        Log("%s close", TagOf(Wnd));
        ::DestroyWindow(Wnd);
        return 0;
    case WM_DESTROY:
        if (Wnd != SplashWnd && --MainWindowsAlive == 0)
            ::PostQuitMessage(0);
        break;
    }
    return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
}

void Register(const char* Name)
{
    WNDCLASSA Wc = {};
    Wc.lpfnWndProc = &MainProc;
    Wc.hInstance = ::GetModuleHandleA(nullptr);
    Wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    Wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    Wc.lpszClassName = Name;
    ::RegisterClassA(&Wc);
}

HWND Create(const char* Class, const std::string& Title, DWORD Style, int X, int Y, int W, int H)
{
    return ::CreateWindowExA(0, Class, Title.c_str(), Style, X, Y, W, H, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    ParseArgs();
    char Dir[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, Dir);
    Log("cmdline %s", ::GetCommandLineA());
    Log("cwd %s", Dir);

    Register(Opt.Class.c_str());
    Register(Opt.SplashClass.c_str());
    Register("HosteeExtra");

    // Small borderless windows in a grid: many windows, little drawing.
    for (int I = 0; I < Opt.Windows; ++I)
        Create("HosteeExtra", "Extra " + std::to_string(I), WS_POPUP | WS_VISIBLE,
               (I % 40) * 12, 600 + (I / 40) * 12, 10, 10);

    MainWnd = Create(Opt.Class.c_str(), Opt.Title, WS_OVERLAPPEDWINDOW, Opt.X, Opt.Y, Opt.W, Opt.H);
    ++MainWindowsAlive;
    if (Opt.Second) {
        SecondWnd = Create(Opt.Class.c_str(), Opt.Title + " 2", WS_OVERLAPPEDWINDOW, Opt.X + 40,
                           Opt.Y + 40, Opt.W, Opt.H);
        ++MainWindowsAlive;
    }
    if (Opt.Splash > 0) {
        SplashWnd = Create(Opt.SplashClass.c_str(), Opt.Title + " splash", WS_POPUP | WS_BORDER | WS_VISIBLE,
                           Opt.X, Opt.Y, 200, 100);
        After(Opt.Splash, tkEndSplash);
    } else if (Opt.Delay > 0) {
        After(Opt.Delay, tkShowMain);
    } else {
        ShowMainWindows();
    }
    if (Opt.Exit > 0)
        After(Opt.Exit, tkExit);
    if (Opt.Retitle > 0)
        After(Opt.Retitle, tkRetitle);

    if (Opt.Busy > 0)
        ::Sleep(static_cast<DWORD>(Opt.Busy));
    MSG Msg;
    while (::GetMessageA(&Msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&Msg);
        ::DispatchMessageA(&Msg);
    }
    Log("exit");
    return 0;
}
