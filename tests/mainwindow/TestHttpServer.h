// A tiny HTTP server of the tests' own on 127.0.0.1: a thread that answers
// each connection with the canned answer of its path, then closes it.
#pragma once

#include <winsock2.h>

#include <algorithm>
#include <cstdio>
#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

struct CannedAnswer {
    int Status = 200;
    std::string Body;
    // Sent in this many pieces with a pause between them (a slow transfer).
    int Pieces = 1;
    DWORD PauseMs = 0;
    // Only this many bytes of Body go out before the connection closes.
    std::size_t Cut = std::string::npos;
    // How the body's end is told: a Content-Length (Body's size unless
    // Announced is given), nothing but the close, or chunks with the final
    // empty one only when LastChunk.
    enum { Length, NoLength, Chunked } Framing = Length;
    std::size_t Announced = std::string::npos;
    bool LastChunk = true;
};

class TestHttpServer {
public:
    TestHttpServer()
    {
        WSADATA Data;
        ::WSAStartup(MAKEWORD(2, 2), &Data);
        FListen = LoopbackSocket(Port);
        ::listen(FListen, 8);
        FThread = std::thread([this] { Serve(); });
    }
    ~TestHttpServer()
    {
        FStopping = true;
        ::closesocket(FListen);
        FThread.join();
        ::WSACleanup();
    }

    int Port = 0;

    void SetAnswer(const std::string& Path, const CannedAnswer& Answer)
    {
        std::lock_guard<std::mutex> Lock(FMutex);
        FAnswers[Path] = Answer;
    }
    std::string LastRequest()
    {
        std::lock_guard<std::mutex> Lock(FMutex);
        return FLastRequest;
    }

    // A port on which nothing listens.
    static int ClosedPort()
    {
        int Port = 0;
        ::closesocket(LoopbackSocket(Port));
        return Port;
    }

    // A socket bound to a free port of 127.0.0.1.
    static SOCKET LoopbackSocket(int& Port)
    {
        SOCKET S = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in Addr = {};
        Addr.sin_family = AF_INET;
        Addr.sin_addr.s_addr = ::htonl(INADDR_LOOPBACK);
        ::bind(S, reinterpret_cast<sockaddr*>(&Addr), sizeof(Addr));
        int Len = sizeof(Addr);
        ::getsockname(S, reinterpret_cast<sockaddr*>(&Addr), &Len);
        Port = ::ntohs(Addr.sin_port);
        return S;
    }

private:
    void Serve()
    {
        for (;;) {
            SOCKET C = ::accept(FListen, nullptr, nullptr);
            if (C == INVALID_SOCKET)
                return;
            Answer(C);
            ::shutdown(C, SD_SEND);
            ::closesocket(C);
        }
    }

    void Answer(SOCKET C)
    {
        std::string Request;
        char Buffer[1024];
        while (Request.find("\r\n\r\n") == std::string::npos) {
            const int N = ::recv(C, Buffer, sizeof(Buffer), 0);
            if (N <= 0)
                return;
            Request.append(Buffer, static_cast<std::size_t>(N));
        }
        const std::size_t PathStart = Request.find(' ') + 1;
        const std::string Path = Request.substr(PathStart, Request.find(' ', PathStart) - PathStart);
        CannedAnswer A;
        {
            std::lock_guard<std::mutex> Lock(FMutex);
            FLastRequest = Request;
            auto It = FAnswers.find(Path);
            if (It != FAnswers.end())
                A = It->second;
            else
                A = {404, "<html><body>404 Not Found</body></html>"};
        }
        std::string Head = "HTTP/1.1 " + std::to_string(A.Status) + " Answer\r\n";
        if (A.Framing == CannedAnswer::Length)
            Head += "Content-Length: " +
                    std::to_string(A.Announced != std::string::npos ? A.Announced : A.Body.size()) + "\r\n";
        else if (A.Framing == CannedAnswer::Chunked)
            Head += "Transfer-Encoding: chunked\r\n";
        Head += "Content-Type: text/plain\r\nConnection: close\r\n\r\n";
        ::send(C, Head.data(), static_cast<int>(Head.size()), 0);
        const std::size_t Sent = std::min(A.Cut, A.Body.size());
        const std::size_t Piece = Sent / static_cast<std::size_t>(A.Pieces) + 1;
        for (std::size_t At = 0; At < Sent; At += Piece) {
            if (At > 0)
                ::Sleep(A.PauseMs);
            if (FStopping)
                return;
            std::string Out = A.Body.substr(At, std::min(Piece, Sent - At));
            if (A.Framing == CannedAnswer::Chunked) {
                char Size[16];
                std::snprintf(Size, sizeof(Size), "%zx\r\n", Out.size());
                Out = Size + Out + "\r\n";
            }
            ::send(C, Out.data(), static_cast<int>(Out.size()), 0);
        }
        if (A.Framing == CannedAnswer::Chunked && A.LastChunk)
            ::send(C, "0\r\n\r\n", 5, 0);
    }

    SOCKET FListen;
    std::atomic<bool> FStopping{false};
    std::thread FThread;
    std::mutex FMutex;
    std::map<std::string, CannedAnswer> FAnswers;
    std::string FLastRequest;
};

// A port that takes connections and never answers, while it lives.
struct SilentListener {
    int Port = 0;
    SOCKET Socket = TestHttpServer::LoopbackSocket(Port);
    SilentListener() { ::listen(Socket, 8); }
    ~SilentListener() { ::closesocket(Socket); }
};
