// main.cpp (hexedit_soak) - a long random soak of CHexEditCtrl in a host
// window, and a handle and memory soak of its painting and layout.
//
// The message soak sends random messages as a person and a host would cause
// them: keys of the control's key table with random Shift and Ctrl, hex
// digits and other characters, clicks, Shift+clicks, drags inside and outside
// the window, double-clicks, right clicks, timer ticks, scroll messages of
// every code, resizes down to below one cell, focus changes, and now and then
// SetData, Fill, LoadFile and SaveFile of random sizes from 0 to 1 MiB (and
// once a block of 800 MiB). Before each message it takes the control's state;
// after it, it checks the invariants and compares the state and the bytes
// with what a model of the documented behaviour predicts from that state
// (a shadow copy of the bytes is kept up to date by the model). Every 10,000
// messages: a save and a load give back the same bytes, the bytes equal the
// shadow, and the picture equals the picture drawn item by item.
//
// The handle and memory soak then paints and lays the control out many
// times, and checks that 2,000 GDI objects can still be created and that the
// process's private bytes grew by at most 1 MiB.
//
// The first broken invariant ends the program with exit status 1, the seed,
// the step and the last ten messages. A step that hangs for two minutes ends
// it with status 3.
//
//   hexedit_soak [--seed N] [--messages N] [--seconds S] [--paints N]
//                [--big-mib N] [--checkpoint N] [--checks-only]
//
// --checks-only gives the verdict and the counts without any timing (the
// test suite's short run). A 32-bit build under an instruction-set emulator
// runs only so: its timings would say nothing of the control's speed.
//
// main.cpp holds the command line and the watchdog; the other files of this
// folder say what they hold.
#include "Soak.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <cstdlib>

namespace soak {

// Progress for the watchdog: the step and when it was last seen to change.
std::atomic<long long> g_nProgress{0};
unsigned g_nSeed = 0;

// The last ten messages sent, for the report of a broken invariant.
std::string g_lastMessages[10];
long long g_nLogged = 0;

void PrintLastMessages()
{
    std::fprintf(stderr, "  last messages (oldest first):\n");
    for (long long i = std::max(0LL, g_nLogged - 10); i < g_nLogged; i++)
        std::fprintf(stderr, "    %s\n", g_lastMessages[i % 10].c_str());
}

// Set when the soak ends: the watchdog returns before the process exits, as
// a thread ended by the exit itself crashes the i386 emulator (qemu).
HANDLE g_hSoakOver = NULL;

DWORD WINAPI Watchdog(LPVOID)
{
    long long last = g_nProgress;
    DWORD since = ::GetTickCount();
    for (;;) {
        if (::WaitForSingleObject(g_hSoakOver, 2000) == WAIT_OBJECT_0)
            return 0;
        long long now = g_nProgress;
        if (now != last) {
            last = now;
            since = ::GetTickCount();
        } else if (::GetTickCount() - since > 120000) {
            std::fprintf(stderr, "\nBROKEN INVARIANT: no progress for two minutes at step %lld (a hang)\n", now);
            std::fprintf(stderr, "  seed %u\n", g_nSeed);
            PrintLastMessages();
            std::fflush(stderr);
            ::ExitProcess(3);
        }
    }
}


} // namespace soak

using namespace soak;

int main(int argc, char** argv)
{
    Options opt;
    opt.seed = static_cast<unsigned>(::GetTickCount() ^ (::GetCurrentProcessId() << 16));
    for (int i = 1; i < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--checks-only") {
            opt.checksOnly = true;
            i--;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "option %s needs a value\n", a.c_str());
            return 2;
        }
        const char* v = argv[i + 1];
        if (a == "--seed")
            opt.seed = static_cast<unsigned>(std::strtoul(v, nullptr, 10));
        else if (a == "--messages")
            opt.messages = std::atoll(v);
        else if (a == "--seconds")
            opt.seconds = std::atof(v);
        else if (a == "--paints")
            opt.paints = std::atoll(v);
        else if (a == "--big-mib")
            opt.bigMiB = std::atoi(v);
        else if (a == "--checkpoint")
            opt.checkpoint = std::max(1LL, std::atoll(v));
        else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if (RunsUnderEmulator() && !opt.checksOnly) {
        std::printf("hexedit_soak: this 32-bit program runs under an emulator (qemu-i386), where its timings "
                    "say nothing; no run without --checks-only. Run the x86_64 build for figures.\n");
        return 0;
    }
    g_nSeed = opt.seed;
    g_hSoakOver = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    HANDLE hWatchdog = ::CreateThread(NULL, 0, Watchdog, NULL, 0, NULL);
    int status;
    {
        Soak soak(opt);
        status = soak.Run();
    }
    ::SetEvent(g_hSoakOver);
    ::WaitForSingleObject(hWatchdog, INFINITE);
    ::CloseHandle(hWatchdog);
    ::CloseHandle(g_hSoakOver);
    std::fflush(stdout);
    return status;
}
