// Soak.h - what the soak's files share: the control with its state in reach
// (SoakHexEdit), the command line's options, the record of the last messages
// for the watchdog and the report, and the Soak class, whose members are
// defined by concern in Generators.cpp (the random messages), Checks.cpp (the
// invariants), and Phases.cpp (the message run, the big block, the paint
// soak).
#pragma once

#include "Clock.h"
#include "MessageBoxCatcher.h"
#include "Model.h"
#include "TestHost.h"

#include <atomic>
#include <random>
#include <string>
#include <vector>

namespace soak {

using qxtest::Picture;
using qxtest::Pump;

std::string Format(const char* fmt, ...);

// ---------------------------------------------------------------------------
// The control with its state in reach, counting paints and noting any
// exception that reaches its window procedure (the framework then reports it
// in a message box).

class SoakHexEdit : public qxtest::TestHexEdit {
public:
    int m_nExceptions = 0;
    std::string m_strException;
    long long m_nPaints = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT)
            m_nPaints++;
        try {
            return qxtest::TestHexEdit::WindowProc(message, wParam, lParam);
        } catch (CException* e) {
            char text[256] = "";
            e->GetErrorMessage(text, sizeof text);
            Note(message, Format("%s (%s)", e->GetRuntimeClass()->m_lpszClassName, text));
            throw;
        } catch (const std::exception& e) {
            Note(message, e.what());
            throw;
        } catch (...) {
            Note(message, "unknown exception");
            throw;
        }
    }

private:
    void Note(UINT message, const std::string& what)
    {
        if (m_nExceptions++ == 0)
            m_strException = Format("message 0x%04X: ", message) + what;
    }
};

State ReadState(SoakHexEdit& ctl);
std::string Describe(const State& s);

const int kHostWidth = 800;
const int kHostHeight = 600;

struct Options {
    unsigned seed = 0;
    long long messages = 1000000;
    double seconds = 0;        // 0: no time limit
    long long paints = 100000;
    int bigMiB = 800;          // 0: no big block
    long long checkpoint = 10000;
    bool checksOnly = false;   // counts and verdict, no timings
};

// Progress for the watchdog: the step and when it was last seen to change.
extern std::atomic<long long> g_nProgress;
extern unsigned g_nSeed;

// The last ten messages sent, for the report of a broken invariant.
extern std::string g_lastMessages[10];
extern long long g_nLogged;

void PrintLastMessages();
std::string KeyName(UINT vk);

class Soak {
public:
    Soak(const Options& opt) : m_opt(opt), m_rng(opt.seed), m_model(m_shadow) {}

    int Run();

private:
    long long SendMessages(double& seconds);
    void PrintMessageFigures(long long nSent, double seconds, long long nPaints);

private:
    const Options& m_opt;
    std::mt19937 m_rng;
    std::vector<BYTE> m_shadow;
    Model m_model;
    qxtest::TestHost* m_pHost = nullptr;
    SoakHexEdit* m_pCtl = nullptr;
    MessageBoxCatcher* m_pBoxes = nullptr;
    int m_nBoxesExpected = 0;

    long long m_nStep = 0;
    bool m_bBeyondAllowed = true;   // the caret may lie past the data
    bool m_bStepMayGoBeyond = false; // this step may put it there
    std::string m_dir;              // temporary files
    int m_nFile = 0;

    // Figures.
    long long m_nCheckpoints = 0, m_nSetData = 0, m_nFill = 0, m_nLoad = 0, m_nSave = 0, m_nPumps = 0;
    double m_bigLoadSeconds = 0, m_bigSaveSeconds = 0;
    long long m_nBigMessages = 0;
    // Where the time goes: per kind of message (keys, characters, mouse,
    // timer, scroll, resize, focus, other), the checks, the pumps.
    double m_kindSeconds[8] = {}, m_checkSeconds = 0, m_pumpSeconds = 0;
    long long m_kindCount[8] = {};

    // --- random helpers ---
    int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_rng) < p; }

    LONGLONG RandomSize()
    {
        int r = Rand(0, 99);
        if (r < 5)
            return 0;
        if (r < 25)
            return Rand(1, 64);
        if (r < 60)
            return Rand(65, 4096);
        if (r < 85)
            return Rand(4097, 65536);
        return Rand(65537, 1 << 20);
    }

    std::vector<BYTE> RandomBytes(LONGLONG n)
    {
        std::vector<BYTE> v(static_cast<size_t>(n));
        // Sometimes all printable, sometimes all random.
        bool bText = Chance(0.3);
        for (auto& b : v)
            b = bText ? static_cast<BYTE>(Rand(0x20, 0x7E)) : static_cast<BYTE>(m_rng());
        return v;
    }

    std::string TempPath(const char* what) { return m_dir + Format("soak_%lu_%s_%d.bin", ::GetCurrentProcessId(), what, m_nFile++ % 4); }

    // --- failure ---
    [[noreturn]] void Fail(const std::string& what, const State* pBefore = nullptr)
    {
        std::fflush(stdout);
        std::fprintf(stderr, "\nBROKEN INVARIANT: %s\n", what.c_str());
        std::fprintf(stderr, "  seed %u, step %lld\n", m_opt.seed, m_nStep);
        if (pBefore != nullptr)
            std::fprintf(stderr, "  before: %s\n", Describe(*pBefore).c_str());
        if (m_pCtl != nullptr && m_pCtl->m_hWnd != NULL)
            std::fprintf(stderr, "  after:  %s\n", Describe(ReadState(*m_pCtl)).c_str());
        PrintLastMessages();
        std::fflush(stderr);
        ::ExitProcess(1);
    }

    void Log(const std::string& text) { g_lastMessages[g_nLogged++ % 10] = Format("step %lld: ", m_nStep) + text; }

    // --- the steps ---
    void Step();
    void SendKey(State& s);
    void SendChar(State& s);
    void SendMouse(State& s);
    void SendScroll();
    void Resize();
    void ChangeFocus();
    void BufferOperation(State& s);
    POINT RandomPoint(bool bOutside);

    void SetKeys(bool bShift, bool bCtrl)
    {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = bShift ? 0x80 : 0;
        keys[VK_CONTROL] = keys[VK_LCONTROL] = bCtrl ? 0x80 : 0;
        keys[VK_RSHIFT] = keys[VK_RCONTROL] = 0;
        ::SetKeyboardState(keys);
    }

    // --- the checks ---
    void CheckAfter(const State& before, const State& expected, bool bPredicted);
    State CheckHealth(const State& before);
    void CheckScrollPositions(const State& s, const State& before);
    void CheckPrediction(const State& s, const State& before, const State& expected);
    void CheckBytesAfter(const State& s, const State& before);
    void CheckBytes(LONGLONG first, LONGLONG last, const char* what);
    void CheckAllBytes(const char* what) { CheckBytes(0, static_cast<LONGLONG>(m_shadow.size()) - 1, what); }
    void Checkpoint();
    void CheckPicture();
    void CheckFile(const std::string& path, const char* what);

    void PumpAndCheck();
    void BigBlock();
    bool LoadBigBlock(size_t n);
    void MessagesOverBigBlock(long long nMessages);
    void SaveBigBlock(size_t n, long long nMessages);
    void BackToSmallData();
    void WriteFile(const std::string& path, const BYTE* p, size_t n);
    void SetDataFromShadow();

    struct PaintFigures {
        long long bytesBefore = 0, bytesAfter = 0, painted = 0;
        double seconds = 0;
        int nFailed = 0;
        std::string handles;
    };
    bool PaintSoak(long long nPaints);
    void PaintOnce(long long i);
    void ReportPaintSoak(long long nPaints, const PaintFigures& f);
};

} // namespace soak
