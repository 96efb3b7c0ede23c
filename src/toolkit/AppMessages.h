// The program's own window messages, given out here only so that no two
// share a number. Within the private range (WM_APP up to 0xBFFF); above it
// lie registered messages. Each goes to windows of our own.
#pragma once

#include <windows.h>

enum : UINT {
    // The HTTP grabber's worker to its window.
    WM_GRABBER_STATUS = WM_APP + 1,    // WParam the status
    WM_GRABBER_PROGRESS = WM_APP + 2,  // LParam a Progress
    WM_GRABBER_STREAM = WM_APP + 3,    // LParam a Stream
    // Another thread has queued a call for the main thread.
    WM_SYNC_WAKE = WM_APP + 0x51,
    // The main window: the next step of reading the stored state.
    WM_STARTUP_STEP = WM_APP + 0x1354,
    // The main window: the start-up's messages, shown once whatever is
    // running has returned (a session query waits for its answer).
    WM_STARTUP_MESSAGES = WM_APP + 0x1355,
    // The main window: the monitor saw the last hosted program go.
    WM_ALL_CLOSED = WM_APP + 0x1356,
    // The main window: the session's query asks the hosted programs to close.
    WM_SESSION_CLOSE = WM_APP + 0x1357,
    // A handle watch's window; LParam the signalled handle.
    WM_HANDLE_SIGNALLED = WM_APP + 0x1358,
    // A grid's deferred work.
    WM_GRIDWORK = WM_APP + 0x4701,
};
