// The HTTP grabber of the rules update: one download at a time on a worker
// thread through WinInet (user agent "JEDI-VCL", the system's proxy with
// "<local>" bypassed), into memory. Status, progress and the finished
// stream reach the GUI thread as messages posted to a hidden window, so the
// events fire there, in order: status 1 (at Start), 2, progress, the
// stream with the answer's raw headers, 0. A failed connection delivers an
// empty stream without progress; a transfer broken off delivers what came,
// for the queue to refuse; a stop asked for delivers nothing.
#pragma once

#include "mainwindow/DownloadScheduler.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class THttpUrlGrabber : public IUrlGrabber {
public:
    THttpUrlGrabber();
    ~THttpUrlGrabber() override;

    std::string Agent = "JEDI-VCL";

    int Status() const override { return FStatus; }
    std::string Url() const override { return FUrl; }
    void SetUrl(const std::string& Url) override { FUrl = Url; }
    // Only while stopped.
    void Start() override;

private:
    // What the worker shares with the grabber. It outlives a grabber freed
    // while a WinInet call still blocks (a silent server): that worker ends
    // by itself and posts nothing more.
    struct TShared {
        std::mutex Lock;
        HWND Sink = nullptr;  // nullptr once the grabber is gone
        std::atomic<bool> Abort{false};
        // The worker's WinInet handles; closing them ends a blocked connect
        // or read where WinInet allows. Whoever takes a handle out closes it.
        std::atomic<void*> Session{nullptr};
        std::atomic<void*> Request{nullptr};
        void CloseHandles();
        void Post(UINT Msg, WPARAM WParam, void* Payload);
    };

    static LRESULT CALLBACK SinkProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    static void Work(std::shared_ptr<TShared> Shared, std::string Url, std::string UserAgent);
    void Deliver(UINT Msg, WPARAM WParam, LPARAM LParam);
    void SetStatus(int Status);

    HWND FSink = nullptr;
    int FStatus = gsStopped;
    std::string FUrl;
    std::shared_ptr<TShared> FShared = std::make_shared<TShared>();
    std::thread FThread;
};
