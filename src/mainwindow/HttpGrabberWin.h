// The HTTP grabber of the rules update: one download at a time on a worker
// thread through WinInet (user agent "JEDI-VCL", the system's proxy with
// "<local>" bypassed), into memory. Status, progress and the finished
// stream reach the GUI thread as messages posted to a hidden window, so the
// events fire there, in order: status 1 (at Start), 2, progress, the
// stream, 0. A failed connection delivers an empty stream without progress;
// a transfer broken off, or short of its announced length, no stream.
#pragma once

#include "mainwindow/DownloadScheduler.h"

#include <windows.h>

#include <atomic>
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
    static LRESULT CALLBACK SinkProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
    void Work(std::string Url, std::string UserAgent);
    void Post(UINT Msg, WPARAM WParam, void* Payload);
    void Deliver(UINT Msg, WPARAM WParam, LPARAM LParam);
    void SetStatus(int Status);
    void CloseHandles();

    HWND FSink = nullptr;
    int FStatus = gsStopped;
    std::string FUrl;
    std::thread FThread;
    std::atomic<bool> FAbort{false};
    // The worker's WinInet handles; closing them from here ends a blocked
    // connect or read. Whoever takes a handle out closes it.
    std::atomic<void*> FSession{nullptr};
    std::atomic<void*> FRequest{nullptr};
};
