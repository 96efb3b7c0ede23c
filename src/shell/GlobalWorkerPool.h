// The shell library's one worker pool, created at start-up with limits from
// the processor count and freed at exit.
#pragma once

#include "shell/ThreadPoolWin.h"

extern TWorkerThreadPool* GlobalWorkerPool;

void CreateGlobalWorkerPool();
// Stops and waits for its threads.
void FreeGlobalWorkerPool();
