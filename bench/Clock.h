// Clock.h - the performance counter that the benchmark and the soak time
// their steps with.
#pragma once

#include <windows.h>

// Seconds on the performance counter, from an arbitrary start.
inline double ClockSeconds()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(freq.QuadPart);
}
