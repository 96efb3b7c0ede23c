#include "mainwindow/HttpGrabberWin.h"

#include "shell/Shell_Win32Win.h"
#include "toolkit/AppMessages.h"

#include <wininet.h>

#include <memory>
#include <vector>

namespace {

struct Progress {
    std::int64_t Position;
    std::int64_t Total;
};

struct Stream {
    std::string Data;
    int HttpStatus;
    std::string Headers;
};

const char* const SinkClass = "QuorvanGrabberSink";

// The internet library and all it imports are loaded at the first download,
// not at every start of the program.
struct TWininet {
    decltype(&::InternetOpenA) InternetOpenA = nullptr;
    decltype(&::InternetQueryOptionA) InternetQueryOptionA = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
    decltype(&::HttpQueryInfoA) HttpQueryInfoA = nullptr;
    decltype(&::InternetOpenUrlA) InternetOpenUrlA = nullptr;
    decltype(&::InternetQueryDataAvailable) InternetQueryDataAvailable = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
};

// Every routine or, without the library, none.
const TWininet& Wininet()
{
    static const TWininet Routines = [] {
        TWininet R;
        const HMODULE M = ::LoadLibraryA("wininet.dll");
        if (!M)
            return R;
        BindRoutine(M, "InternetOpenA", R.InternetOpenA);
        BindRoutine(M, "InternetQueryOptionA", R.InternetQueryOptionA);
        BindRoutine(M, "InternetCloseHandle", R.InternetCloseHandle);
        BindRoutine(M, "HttpQueryInfoA", R.HttpQueryInfoA);
        BindRoutine(M, "InternetOpenUrlA", R.InternetOpenUrlA);
        BindRoutine(M, "InternetQueryDataAvailable", R.InternetQueryDataAvailable);
        BindRoutine(M, "InternetReadFile", R.InternetReadFile);
        if (!R.InternetOpenA || !R.InternetQueryOptionA || !R.InternetCloseHandle ||
            !R.HttpQueryInfoA || !R.InternetOpenUrlA || !R.InternetQueryDataAvailable ||
            !R.InternetReadFile)
            return TWininet();
        return R;
    }();
    return Routines;
}

// The system's proxy, if one is set, with local names going direct.
HINTERNET OpenSession(const std::string& Agent)
{
    if (!Wininet().InternetOpenA)
        return nullptr;
    HINTERNET Session = Wininet().InternetOpenA(Agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                        nullptr, 0);
    if (!Session)
        return nullptr;
    DWORD Size = 0;
    Wininet().InternetQueryOptionA(Session, INTERNET_OPTION_PROXY, nullptr, &Size);
    if (Size < sizeof(INTERNET_PROXY_INFO))
        return Session;
    std::vector<char> Buffer(Size);
    if (!Wininet().InternetQueryOptionA(Session, INTERNET_OPTION_PROXY, Buffer.data(), &Size))
        return Session;
    const auto* Info = reinterpret_cast<const INTERNET_PROXY_INFO*>(Buffer.data());
    const char* Proxy = reinterpret_cast<const char*>(Info->lpszProxy);
    if (Info->dwAccessType != INTERNET_OPEN_TYPE_PROXY || !Proxy || !*Proxy)
        return Session;
    std::string Bypass = Info->lpszProxyBypass ? reinterpret_cast<const char*>(Info->lpszProxyBypass) : "";
    Bypass += Bypass.empty() ? "<local>" : ";<local>";
    HINTERNET ViaProxy = Wininet().InternetOpenA(Agent.c_str(), INTERNET_OPEN_TYPE_PROXY, Proxy,
                                         Bypass.c_str(), 0);
    if (!ViaProxy)
        return Session;
    Wininet().InternetCloseHandle(Session);
    return ViaProxy;
}

DWORD QueryNumber(HINTERNET Request, DWORD Info)
{
    DWORD Value = 0, Size = sizeof(Value), Index = 0;
    if (!Wininet().HttpQueryInfoA(Request, Info | HTTP_QUERY_FLAG_NUMBER, &Value, &Size, &Index))
        return 0;
    return Value;
}

std::string RawHeaders(HINTERNET Request)
{
    DWORD Size = 0, Index = 0;
    Wininet().HttpQueryInfoA(Request, HTTP_QUERY_RAW_HEADERS_CRLF, nullptr, &Size, &Index);
    if (Size == 0)
        return "";
    std::string Text(Size, '\0');
    Index = 0;
    if (!Wininet().HttpQueryInfoA(Request, HTTP_QUERY_RAW_HEADERS_CRLF, &Text[0], &Size, &Index))
        return "";
    Text.resize(Size);
    return Text;
}

} // namespace

THttpUrlGrabber::THttpUrlGrabber()
{
    WNDCLASSA Class = {};
    Class.lpfnWndProc = &THttpUrlGrabber::SinkProc;
    Class.hInstance = ::GetModuleHandleA(nullptr);
    Class.lpszClassName = SinkClass;
    ::RegisterClassA(&Class);  // fails harmlessly once registered
    FSink = ::CreateWindowExA(0, SinkClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              Class.hInstance, nullptr);
    ::SetWindowLongPtrA(FSink, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    FShared->Sink = FSink;
}

THttpUrlGrabber::~THttpUrlGrabber()
{
    {
        std::lock_guard<std::mutex> Guard(FShared->Lock);
        FShared->Sink = nullptr;
    }
    FShared->Abort = true;
    FShared->CloseHandles();
    if (FThread.joinable()) {
        // Stopped: the worker has posted its last message and ends now.
        if (FStatus == gsStopped)
            FThread.join();
        else
            FThread.detach();
    }
    // Undelivered messages own their payloads.
    MSG Msg;
    while (::PeekMessageA(&Msg, FSink, WM_GRABBER_PROGRESS, WM_GRABBER_STREAM, PM_REMOVE)) {
        if (Msg.message == WM_GRABBER_PROGRESS)
            delete reinterpret_cast<Progress*>(Msg.lParam);
        else
            delete reinterpret_cast<Stream*>(Msg.lParam);
    }
    ::DestroyWindow(FSink);
}

void THttpUrlGrabber::TShared::CloseHandles()
{
    if (void* Handle = Request.exchange(nullptr))
        Wininet().InternetCloseHandle(static_cast<HINTERNET>(Handle));
    if (void* Handle = Session.exchange(nullptr))
        Wininet().InternetCloseHandle(static_cast<HINTERNET>(Handle));
}

void THttpUrlGrabber::Start()
{
    if (FStatus != gsStopped)
        return;
    if (FThread.joinable())
        FThread.join();  // it has posted its last message already
    FShared->Abort = false;
    SetStatus(gsConnecting);
    FThread = std::thread(&THttpUrlGrabber::Work, FShared, FUrl, Agent);
}

void THttpUrlGrabber::SetStatus(int Status)
{
    FStatus = Status;
    if (OnStatusChange)
        OnStatusChange(*this);
}

void THttpUrlGrabber::TShared::Post(UINT Msg, WPARAM WParam, void* Payload)
{
    std::lock_guard<std::mutex> Guard(Lock);
    if (Sink && ::PostMessageA(Sink, Msg, WParam, reinterpret_cast<LPARAM>(Payload)))
        return;
    if (Msg == WM_GRABBER_PROGRESS)
        delete static_cast<Progress*>(Payload);
    else if (Msg == WM_GRABBER_STREAM)
        delete static_cast<Stream*>(Payload);
}

void THttpUrlGrabber::Work(std::shared_ptr<TShared> Shared, std::string Url,
                           std::string UserAgent)
{
    auto Result = std::make_unique<Stream>();
    Result->HttpStatus = 0;
    HINTERNET Session = OpenSession(UserAgent);
    Shared->Session = Session;
    HINTERNET Request = nullptr;
    if (Session && !Shared->Abort)
        Request = Wininet().InternetOpenUrlA(Session, Url.c_str(), nullptr, 0,
                                     INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                         INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_UI |
                                         INTERNET_FLAG_NO_COOKIES,
                                     0);
    // Whether what arrived is whole is the queue's question (the Content-
    // Length against the bytes read); a stop asked for delivers nothing.
    if (Request) {
        Shared->Request = Request;
        Result->HttpStatus = static_cast<int>(QueryNumber(Request, HTTP_QUERY_STATUS_CODE));
        Result->Headers = RawHeaders(Request);
        const std::int64_t Total = QueryNumber(Request, HTTP_QUERY_CONTENT_LENGTH);
        Shared->Post(WM_GRABBER_STATUS, gsReceiving, nullptr);
        char Buffer[8192];
        // Reading only what has arrived keeps progress current and lets a
        // stop take effect between pieces.
        while (!Shared->Abort && static_cast<std::int64_t>(Result->Data.size()) <= MaxDownloadSize) {
            DWORD Available = 0, Read = 0;
            if (!Wininet().InternetQueryDataAvailable(Request, &Available, 0, 0))
                break;
            if (Available > 0 &&
                !Wininet().InternetReadFile(Request, Buffer,
                                    Available < sizeof(Buffer) ? Available : sizeof(Buffer), &Read))
                break;
            if (Read == 0)
                break;
            const std::size_t Room = static_cast<std::size_t>(MaxDownloadSize + 1) - Result->Data.size();
            Result->Data.append(Buffer, Read < Room ? Read : Room);
            Shared->Post(WM_GRABBER_PROGRESS, 0,
                 new Progress{static_cast<std::int64_t>(Result->Data.size()), Total});
        }
    }
    Shared->CloseHandles();
    if (!Shared->Abort)
        Shared->Post(WM_GRABBER_STREAM, 0, Result.release());
    Shared->Post(WM_GRABBER_STATUS, gsStopped, nullptr);
}

LRESULT CALLBACK THttpUrlGrabber::SinkProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg >= WM_GRABBER_STATUS && Msg <= WM_GRABBER_STREAM) {
        auto* Self = reinterpret_cast<THttpUrlGrabber*>(::GetWindowLongPtrA(Wnd, GWLP_USERDATA));
        if (Self)
            Self->Deliver(Msg, WParam, LParam);
        return 0;
    }
    return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
}

void THttpUrlGrabber::Deliver(UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_GRABBER_STATUS) {
        SetStatus(static_cast<int>(WParam));
    } else if (Msg == WM_GRABBER_PROGRESS) {
        std::unique_ptr<Progress> P(reinterpret_cast<Progress*>(LParam));
        bool Continue = true;
        if (OnProgress)
            OnProgress(*this, P->Position, P->Total, FUrl, Continue);
        if (!Continue)
            FShared->Abort = true;
    } else {
        std::unique_ptr<Stream> S(reinterpret_cast<Stream*>(LParam));
        if (OnDoneStream)
            OnDoneStream(*this, S->Data, static_cast<std::int64_t>(S->Data.size()), FUrl,
                         S->HttpStatus, S->Headers);
    }
}
