// hexedit_bench - how long CHexEditCtrl takes to paint, lay out and react,
// for a 1920x1080 client area, with figures of bare GDI loops that draw the
// same picture as floors, and how long its keyboard, mouse and whole-buffer
// operations take against theirs. Prints a table of medians and spreads,
// then the ratio lines with their goals; it never fails (a step that cannot
// run says so in its line).
//
// This file holds the measuring and printing that the figures share, the
// set-up of the control and main; the figures are in the Bench*.cpp files
// of their concern (see Bench.h for how one is added).
//
//   hexedit_bench [runs]      (default 60 runs a figure)
//   hexedit_bench runs find   the search's figures only
//
// A 32-bit build under an instruction-set emulator prints no figures.
#include "Bench.h"
#include "Clock.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

double Now()
{
    return ClockSeconds() * 1000.0;
}

Stats Summarise(std::vector<double> v)
{
    Stats s;
    if (v.empty())
        return s;
    std::sort(v.begin(), v.end());
    auto at = [&](double q) { return v[static_cast<size_t>(q * (v.size() - 1) + 0.5)]; };
    s.median = at(0.5);
    s.p10 = at(0.1);
    s.p90 = at(0.9);
    s.runs = static_cast<int>(v.size());
    return s;
}

std::vector<Stats> MeasureInTurnsTimed(int nRuns, const std::vector<std::function<double()>>& fns,
                                       std::vector<std::vector<double>>* pSamples, int nWarmUp)
{
    for (int i = 0; i < nWarmUp; i++)
        for (size_t j = 0; j < fns.size(); j++)
            fns[(i & 1) ? fns.size() - 1 - j : j]();
    std::vector<std::vector<double>> v(fns.size());
    for (int i = 0; i < nRuns; i++) {
        for (size_t j = 0; j < fns.size(); j++) {
            size_t k = (i & 1) ? fns.size() - 1 - j : j;
            v[k].push_back(fns[k]());
        }
    }
    std::vector<Stats> stats;
    for (const auto& samples : v)
        stats.push_back(Summarise(samples));
    if (pSamples != nullptr)
        pSamples->swap(v);
    return stats;
}

std::vector<Stats> MeasureInTurns(int nRuns, const std::vector<std::function<void()>>& fns,
                                  std::vector<std::vector<double>>* pSamples, int nWarmUp)
{
    std::vector<std::function<double()>> timed;
    for (const auto& fn : fns)
        timed.push_back([&fn] { return Time(fn); });
    return MeasureInTurnsTimed(nRuns, timed, pSamples, nWarmUp);
}

double TurnsRatio(const std::vector<double>& a, const std::vector<double>& b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    if (n == 1)
        return b[0] > 0 ? a[0] / b[0] : 0;
    std::vector<double> ratios;
    for (size_t i = 0; i + 1 < n; i += 2)
        if (b[i] + b[i + 1] > 0)
            ratios.push_back((a[i] + a[i + 1]) / (b[i] + b[i + 1]));
    return Summarise(ratios).median;
}

namespace {

struct RatioLine {
    std::string name;
    double value;
    std::string goal;
    bool bDifference;   // a signed amount, not a ratio
    bool bRun;
};
std::vector<RatioLine> g_ratios;

} // namespace

void AddRatio(const char* name, double a, double b, const char* goal)
{
    g_ratios.push_back(RatioLine{name, a > 0 && b > 0 ? a / b : 0, goal, false, a > 0 && b > 0});
}

void AddRatio(const char* name, const StatsPair& sides, const char* goal)
{
    g_ratios.push_back(RatioLine{name, sides.ratio, goal, false, sides.ratio > 0});
}

void AddTurnsRatio(const char* name, const std::vector<double>& a, const std::vector<double>& b, const char* goal)
{
    double ratio = TurnsRatio(a, b);
    g_ratios.push_back(RatioLine{name, ratio, goal, false, ratio > 0});
}

void AddDifference(const char* name, double value, const char* goal)
{
    g_ratios.push_back(RatioLine{name, value, goal, true, true});
}

void AddNotRun(const char* name, const char* goal)
{
    g_ratios.push_back(RatioLine{name, 0, goal, false, false});
}

void PrintRatios()
{
    std::printf("ratios (sides timed in turns: median of the ratios over two turns in a row; else ratio of the "
                "medians)\n");
    for (const RatioLine& r : g_ratios) {
        if (!r.bRun)
            std::printf("  %-52s %9s   goal %s\n", r.name.c_str(), "not run", r.goal.c_str());
        else if (r.bDifference)
            std::printf("  %-52s %+9.1f   goal %s\n", r.name.c_str(), r.value, r.goal.c_str());
        else
            std::printf("  %-52s %9.3f   goal %s\n", r.name.c_str(), r.value, r.goal.c_str());
    }
}

void PrintRow(const char* name, const Stats& s)
{
    std::printf("  %-52s %9.3f %9.3f %9.3f %6d\n", name, s.median, s.p10, s.p90, s.runs);
}

void PrintNote(const char* name, const std::string& text)
{
    std::printf("  %-52s %s\n", name, text.c_str());
}

bool BenchHexEdit::SetCounting(int n)
{
    if (!SetSizeDirect(n))
        return false;
    BYTE* p = m_data.GetData();
    for (int i = 0; i < n; i++)
        p[i] = static_cast<BYTE>(i);
    m_nFirstRow = 0;
    m_nArea = 0;
    m_nCaretPos = 0;
    m_nSelStart = m_nSelEnd = -1;
    RecalcLayout();
    return true;
}

BenchHexEdit* g_pCtl = nullptr;

void PaintOnce(HWND hWnd)
{
    ::InvalidateRect(hWnd, NULL, FALSE);
    ::UpdateWindow(hWnd);
}

namespace {

LRESULT CALLBACK HostProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_BENCH_MOVECARET && g_pCtl != nullptr) {
        g_pCtl->MoveCaret(0, static_cast<int>(wParam) - 1, FALSE);
        return 0;
    }
    if (BenchHostNotification(msg, wParam, lParam))
        return 0;
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

// Creates the host and the control and sizes the control so that its client
// area, with the vertical bar shown and the horizontal one hidden (all
// columns fit), is 1920x1080. False when there is no display.
bool SetUp(Bench& b)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QXBenchHost";
    ::RegisterClassA(&wc);
    b.hHost = ::CreateWindowExA(0, wc.lpszClassName, "hexedit_bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                0, kClientWidth + 100, kClientHeight + 100, NULL, NULL, wc.hInstance, NULL);
    if (b.hHost == NULL)
        return false;
    Pump();

    BenchHexEdit& ctl = b.ctl;
    g_pCtl = &ctl;
    RECT rcCreate = {0, 0, kClientWidth, kClientHeight};
    ctl.Create(rcCreate, CWnd::FromHandle(b.hHost), 1);
    ctl.SetCounting(4096);
    Pump();
    // Twice: the first size may show or hide a bar and change the client area.
    for (int i = 0; i < 2; i++) {
        RECT rcWnd, rcClient;
        ::GetWindowRect(ctl.m_hWnd, &rcWnd);
        ::GetClientRect(ctl.m_hWnd, &rcClient);
        int w = (rcWnd.right - rcWnd.left) + kClientWidth - rcClient.right;
        int h = (rcWnd.bottom - rcWnd.top) + kClientHeight - rcClient.bottom;
        ctl.MoveWindow(0, 0, w, h);
        Pump();
    }
    ::CreateCaret(ctl.m_hWnd, NULL, 2, ctl.m_sizeChar.cy);
    ::ShowCaret(ctl.m_hWnd);
    return true;
}

void TearDown(Bench& b)
{
    ::DestroyCaret();
    g_pCtl = nullptr;
    b.ctl.DestroyWindow();
    ::DestroyWindow(b.hHost);
}

void PrintHeader(Bench& b)
{
    RECT rcClient;
    ::GetClientRect(b.ctl.m_hWnd, &rcClient);
    std::printf("hexedit_bench (%s): client area %ldx%ld, cell %ldx%ld, %d visible lines, %d runs a figure\n",
                sizeof(void*) == 8 ? "x86_64" : "i686", rcClient.right, rcClient.bottom, b.ctl.m_sizeChar.cx,
                b.ctl.m_sizeChar.cy, b.ctl.m_nVisRows, b.nRuns);
    std::printf("  %-52s %9s %9s %9s %6s\n", "figure (milliseconds)", "median", "p10", "p90", "runs");
}

} // namespace

int main(int argc, char** argv)
{
    if (RunsUnderEmulator()) {
        std::printf("hexedit_bench: this 32-bit program runs under an emulator (qemu-i386), where its timings "
                    "say nothing of the control's speed: no figures. Run the x86_64 build for them.\n");
        return 0;
    }
    Bench b;
    b.nRuns = argc > 1 ? std::atoi(argv[1]) : 60;
    if (b.nRuns < 5)
        b.nRuns = 5;
    if (!SetUp(b)) {
        std::printf("hexedit_bench: no host window (is there a display?)\n");
        return 0;
    }
    PrintHeader(b);
    // A group's figures alone: "find" the search's, "edit" undo's and the
    // paste's, "keys" the keystroke's.
    const char* pszGroup = argc > 2 ? argv[2] : "";
    if (*pszGroup != '\0') {
        if (std::strcmp(pszGroup, "find") == 0) {
            BenchFind(b);
        } else if (std::strcmp(pszGroup, "edit") == 0) {
            BenchUndoKeystroke(b);
            BenchUndoFill(b);
            BenchPasteHex(b);
        } else if (std::strcmp(pszGroup, "keys") == 0) {
            BenchKeystroke4K(b);
            BenchKeystrokeNotified(b);
            BenchKeystrokeWithReader(b);
        } else {
            std::printf("hexedit_bench: no group %s (find, edit, keys)\n", pszGroup);
        }
        PrintRatios();
        TearDown(b);
        return 0;
    }

    double paint4k = BenchPaint4K(b);
    BenchFloors(b, paint4k);
    BenchPaintInFrame(b);
    BenchPaintLarge(b, paint4k);
    BenchLayout(b);
    BenchScrollBarSets(b);
    BenchCaretMove(b);
    BenchVScroll(b);
    BenchPaintAtDpi(b);

    BenchKeystroke4K(b);
    BenchKeystrokeLarge(b);
    BenchKeystrokeNotified(b);
    BenchKeystrokeWithReader(b);
    BenchFillSelection(b);
    BenchUndoKeystroke(b);
    BenchUndoFill(b);
    BenchPasteHex(b);

    BenchAutoScroll(b);
    BenchDragMove(b);

    BenchFileOperations(b);
    BenchLoadPeakMemory(b);
    BenchFind(b);

    PrintRatios();
    TearDown(b);
    return 0;
}
