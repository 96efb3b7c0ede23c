// Wall-clock timing of the benchmark programs.
#pragma once

#include <windows.h>

inline LARGE_INTEGER Now()
{
    LARGE_INTEGER T;
    ::QueryPerformanceCounter(&T);
    return T;
}

inline double Ms(LARGE_INTEGER From, LARGE_INTEGER To)
{
    LARGE_INTEGER F;
    ::QueryPerformanceFrequency(&F);
    return 1000.0 * static_cast<double>(To.QuadPart - From.QuadPart) / static_cast<double>(F.QuadPart);
}
