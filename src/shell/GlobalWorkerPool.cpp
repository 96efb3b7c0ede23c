#include "shell/GlobalWorkerPool.h"

TWorkerThreadPool* GlobalWorkerPool = nullptr;

void CreateGlobalWorkerPool()
{
    if (GlobalWorkerPool)
        return;
    GlobalWorkerPool = new TWorkerThreadPool(true);
    GlobalWorkerPool->SetMinThreads(4 * GetProcessorCount());
    GlobalWorkerPool->SetMaxThreads(2 * GlobalWorkerPool->MinThreads());
}

void FreeGlobalWorkerPool()
{
    delete GlobalWorkerPool;
    GlobalWorkerPool = nullptr;
}
