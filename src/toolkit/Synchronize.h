// Running code on the main thread from other threads: a locked queue of
// calls that a hidden window drains when its wake-up message arrives, so
// the calls also run inside modal loops and message boxes.
#pragma once

#include <functional>

// Records the calling thread as the main thread and creates the hidden
// window; later calls do nothing.
void InitMainThreadSync();
bool IsMainThread();
// Runs Method on the main thread and returns when it has run; on the main
// thread it runs at once. Exceptions end in TApplication::ShowException.
void Synchronize(const std::function<void()>& Method);
// A thread that called Synchronize frees what it kept for it before it ends.
void ReleaseThreadSync();
// Main thread: runs the calls waiting now. Answers whether any ran.
bool CheckSynchronize();
