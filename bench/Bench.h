// Bench.h - what the benchmark's figures share: the clock, the measuring in
// turns, the table and ratio lines, the control as the benchmark drives it,
// and the Bench... functions, one a figure, that main calls.
//
// A figure is a function Bench...(Bench&) in the file of its concern. The
// two sides of a ratio are timed in turns (MeasureInterleaved, or
// MeasureInTurns for more than two) after a warm-up, and the ratio's line is
// added with AddRatio; main prints all ratio lines together at the end.
#pragma once

#include "HexEditAccess.h"

#include <functional>
#include <string>
#include <vector>

const int kClientWidth = 1920;
const int kClientHeight = 1080;

// Milliseconds on the performance counter.
double Now();

// Dispatches every queued message, the paints they cause included.
using qxtest::Pump;

// Milliseconds that fn() takes.
template <class F>
double Time(F fn)
{
    double t0 = Now();
    fn();
    return Now() - t0;
}

struct Stats {
    double median = 0, p10 = 0, p90 = 0;
    int runs = 0;
};

Stats Summarise(std::vector<double> v);

// Times fn() nRuns times after a few unmeasured ones.
template <class F>
Stats Measure(int nRuns, F fn)
{
    for (int i = 0; i < 3; i++)
        fn();
    std::vector<double> v;
    v.reserve(nRuns);
    for (int i = 0; i < nRuns; i++)
        v.push_back(Time(fn));
    return Summarise(v);
}

// Several figures timed in turns (a, b, c, then c, b, a, ...) after nWarmUp
// unmeasured turns, so that what drifts during a run (caches, the X server,
// other processes) weighs on all of them alike, and what one leaves behind
// for the next (an X server still drawing) falls on each in turn.
std::vector<Stats> MeasureInTurns(int nRuns, const std::vector<std::function<void()>>& fns,
                                  std::vector<std::vector<double>>* pSamples = nullptr, int nWarmUp = 3);

// The same for figures that time themselves: each returns the milliseconds
// it measured, leaving out what it prepares or clears away around them.
std::vector<Stats> MeasureInTurnsTimed(int nRuns, const std::vector<std::function<double()>>& fns,
                                       std::vector<std::vector<double>>* pSamples = nullptr, int nWarmUp = 3);

// The median of the ratios of two figures timed in turns, each ratio taken
// over two turns in a row (one in each order), so that what the one run
// first leaves to the other falls on both sides alike.
double TurnsRatio(const std::vector<double>& a, const std::vector<double>& b);

// The two sides of a ratio, timed in turns, and their ratio.
struct StatsPair {
    Stats a, b;
    double ratio = 0;
};

template <class FA, class FB>
StatsPair MeasureInterleaved(int nRuns, FA fnA, FB fnB, int nWarmUp = 3)
{
    std::vector<std::vector<double>> v;
    std::vector<Stats> s = MeasureInTurns(nRuns, {fnA, fnB}, &v, nWarmUp);
    return StatsPair{s[0], s[1], TurnsRatio(v[0], v[1])};
}

template <class FA, class FB>
StatsPair MeasureInterleavedTimed(int nRuns, FA fnA, FB fnB, int nWarmUp = 3)
{
    std::vector<std::vector<double>> v;
    std::vector<Stats> s = MeasureInTurnsTimed(nRuns, {fnA, fnB}, &v, nWarmUp);
    return StatsPair{s[0], s[1], TurnsRatio(v[0], v[1])};
}

// Ratio lines, printed together after the figures: for two sides timed in
// turns TurnsRatio, else the ratio of the medians.
void AddRatio(const char* name, double a, double b, const char* goal);
void AddRatio(const char* name, const StatsPair& sides, const char* goal);
void AddTurnsRatio(const char* name, const std::vector<double>& a, const std::vector<double>& b, const char* goal);
// A line of the same list that is a signed amount rather than a ratio.
void AddDifference(const char* name, double value, const char* goal);
// A line of the same list that could not be measured, and why.
void AddNotRun(const char* name, const char* goal);
void PrintRatios();

void PrintRow(const char* name, const Stats& s);
void PrintNote(const char* name, const std::string& text);

// The control with the operations the benchmark drives.
class BenchHexEdit : public qxtest::HexEditAccess {
public:
    // Fills the control's own array directly (a host's copy would need the
    // memory twice), the view at the top, the caret on the first byte and
    // nothing selected. Returns false when the memory cannot be had.
    bool SetCounting(int n);
};

// The control main's figures work on (the caret move is posted to its host).
extern BenchHexEdit* g_pCtl;
const UINT WM_BENCH_MOVECARET = WM_APP + 1;

// One paint of the control as the system would have it: invalidate, then
// the WM_PAINT that UpdateWindow sends.
void PaintOnce(HWND hWnd);

// What every figure works on: the host window, the control in it with a
// 1920x1080 client area, and the number of runs a figure.
struct Bench {
    int nRuns = 60;
    HWND hHost = NULL;
    BenchHexEdit ctl;
};

// Paint and layout (BenchPaint.cpp). BenchPaint4K returns the paint's median.
double BenchPaint4K(Bench& b);
void BenchFloors(Bench& b, double paint4k);
void BenchPaintInFrame(Bench& b);
void BenchPaintLarge(Bench& b, double paint4k);
void BenchLayout(Bench& b);
void BenchScrollBarSets(Bench& b);
void BenchCaretMove(Bench& b);
void BenchVScroll(Bench& b);
void BenchPaintAtDpi(Bench& b);


// Keyboard (BenchKeys.cpp).
void BenchKeystroke4K(Bench& b);
void BenchKeystrokeLarge(Bench& b);
void BenchKeystrokeNotified(Bench& b);
void BenchKeystrokeWithReader(Bench& b);
// The host's side of the control's notifications: a status line kept as a
// host keeps it. True when the message was one of them.
bool BenchHostNotification(UINT msg, WPARAM wParam, LPARAM lParam);
void BenchFillSelection(Bench& b);
// Undo and the clipboard (BenchEdit.cpp).
void BenchUndoKeystroke(Bench& b);
void BenchUndoFill(Bench& b);
void BenchPasteHex(Bench& b);

// Mouse (BenchMouse.cpp).
void BenchDragMove(Bench& b);
void BenchAutoScroll(Bench& b);

// Whole-buffer operations (BenchFiles.cpp).
void BenchFileOperations(Bench& b);
void BenchLoadPeakMemory(Bench& b);

// The search (BenchFind.cpp).
void BenchFind(Bench& b);
