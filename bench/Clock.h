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

// True when this program runs under an instruction-set emulator: a 32-bit
// program on a host that runs only 64-bit code, through qemu-i386. The Wine
// runner (cmake/wine-run.sh) says so in QX_I386_EMULATED. Timings taken
// there say nothing of the program's speed.
inline bool RunsUnderEmulator()
{
    if (sizeof(void*) != 4)
        return false;
    char value[8] = "";
    DWORD n = ::GetEnvironmentVariableA("QX_I386_EMULATED", value, sizeof value);
    return n > 0 && n < sizeof value && value[0] == '1';
}
