#include "shell/UnitGlobals.h"

#include "components/UlaPalette.h"
#include "shell/GlobalWorkerPool.h"

void CreateUnitGlobals()
{
    CreateGlobalWorkerPool();
    CreateUlaGlobals();
}

void FreeUnitGlobals()
{
    FreeUlaGlobals();
    FreeGlobalWorkerPool();
}
