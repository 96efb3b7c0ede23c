#include "toolkit/Synchronize.h"

#include "toolkit/AppMessages.h"
#include "toolkit/Application.h"

#include <windows.h>

#include <deque>

namespace {

struct SyncRequest {
    const std::function<void()>* Method;
    HANDLE Done;
};

CRITICAL_SECTION QueueLock;
std::deque<SyncRequest> Queue;
DWORD MainThreadId = 0;
HWND SyncWindow = nullptr;

LRESULT CALLBACK SyncWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
    if (Msg == WM_SYNC_WAKE) {
        CheckSynchronize();
        return 0;
    }
    return ::DefWindowProcA(Wnd, Msg, WParam, LParam);
}

bool TakeRequest(SyncRequest& Request)
{
    ::EnterCriticalSection(&QueueLock);
    const bool Any = !Queue.empty();
    if (Any) {
        Request = Queue.front();
        Queue.pop_front();
    }
    ::LeaveCriticalSection(&QueueLock);
    return Any;
}

}  // namespace

void InitMainThreadSync()
{
    if (MainThreadId != 0)
        return;
    ::InitializeCriticalSection(&QueueLock);
    MainThreadId = ::GetCurrentThreadId();
    WNDCLASSA Class = {};
    Class.lpfnWndProc = &SyncWndProc;
    Class.hInstance = ::GetModuleHandleA(nullptr);
    Class.lpszClassName = "QuorvanSyncWindow";
    ::RegisterClassA(&Class);
    SyncWindow = ::CreateWindowExA(0, Class.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                   nullptr, Class.hInstance, nullptr);
}

bool IsMainThread()
{
    return ::GetCurrentThreadId() == MainThreadId;
}

// Each calling thread waits on its own event, made on its first call.
thread_local HANDLE ThreadSyncEvent = nullptr;

void Synchronize(const std::function<void()>& Method)
{
    if (IsMainThread() || MainThreadId == 0) {
        Guarded(Method);
        return;
    }
    if (!ThreadSyncEvent)
        ThreadSyncEvent = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    SyncRequest Request = {&Method, ThreadSyncEvent};
    ::EnterCriticalSection(&QueueLock);
    // One wake-up message drains every call queued before it runs.
    const bool Wake = Queue.empty();
    Queue.push_back(Request);
    ::LeaveCriticalSection(&QueueLock);
    if (Wake)
        ::PostMessageA(SyncWindow, WM_SYNC_WAKE, 0, 0);
    ::WaitForSingleObject(Request.Done, INFINITE);
}

void ReleaseThreadSync()
{
    if (ThreadSyncEvent)
        ::CloseHandle(ThreadSyncEvent);
    ThreadSyncEvent = nullptr;
}

bool CheckSynchronize()
{
    if (!IsMainThread())
        return false;
    bool Ran = false;
    SyncRequest Request;
    // One at a time: a call may open a modal loop that comes back here.
    while (TakeRequest(Request)) {
        Guarded(*Request.Method);
        ::SetEvent(Request.Done);
        Ran = true;
    }
    return Ran;
}
