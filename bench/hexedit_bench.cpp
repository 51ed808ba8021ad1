// hexedit_bench - how long CHexEditCtrl takes to paint, lay out and react,
// for a 1920x1080 client area, with figures of bare GDI loops that draw the
// same picture as floors. Prints a table of medians and spreads, then the
// ratio lines with their goals; it never fails (a step that cannot run says
// so in its line).
//
// Each figure is one function Bench...(Bench&) called from main. The two
// sides of a ratio are timed in turns (MeasureInterleaved, or MeasureInTurns
// for more than two), and the ratio's line is added with AddRatio.
//
//   hexedit_bench [runs]      (default 60 runs a figure)
#include "HexEditCtrl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

const int kClientWidth = 1920;
const int kClientHeight = 1080;

double Now()
{
    static LARGE_INTEGER freq = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

struct Stats {
    double median = 0, p10 = 0, p90 = 0;
    int runs = 0;
};

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

// Times fn() nRuns times after a few unmeasured ones.
template <class F>
Stats Measure(int nRuns, F fn)
{
    for (int i = 0; i < 3; i++)
        fn();
    std::vector<double> v;
    v.reserve(nRuns);
    for (int i = 0; i < nRuns; i++) {
        double t0 = Now();
        fn();
        v.push_back(Now() - t0);
    }
    return Summarise(v);
}

// Several figures timed in turns (a, b, c, then c, b, a, ...) after a few
// unmeasured turns, so that what drifts during a run (caches, the X server,
// other processes) weighs on all of them alike, and what one leaves behind
// for the next (an X server still drawing) falls on each in turn.
std::vector<Stats> MeasureInTurns(int nRuns, const std::vector<std::function<void()>>& fns,
                                  std::vector<std::vector<double>>* pSamples = nullptr)
{
    for (int i = 0; i < 3; i++)
        for (const auto& fn : fns)
            fn();
    std::vector<std::vector<double>> v(fns.size());
    for (int i = 0; i < nRuns; i++) {
        for (size_t j = 0; j < fns.size(); j++) {
            size_t k = (i & 1) ? fns.size() - 1 - j : j;
            double t0 = Now();
            fns[k]();
            v[k].push_back(Now() - t0);
        }
    }
    std::vector<Stats> stats;
    for (const auto& samples : v)
        stats.push_back(Summarise(samples));
    if (pSamples != nullptr)
        pSamples->swap(v);
    return stats;
}

// The median of the turns' ratios of two figures timed in turns.
double TurnsRatio(const std::vector<double>& a, const std::vector<double>& b)
{
    std::vector<double> ratios;
    for (size_t i = 0; i < a.size() && i < b.size(); i++)
        if (b[i] > 0)
            ratios.push_back(a[i] / b[i]);
    return Summarise(ratios).median;
}

// The two sides of a ratio, timed in turns, and their ratio.
struct StatsPair {
    Stats a, b;
    double ratio = 0;
};

template <class FA, class FB>
StatsPair MeasureInterleaved(int nRuns, FA fnA, FB fnB)
{
    std::vector<std::vector<double>> v;
    std::vector<Stats> s = MeasureInTurns(nRuns, {fnA, fnB}, &v);
    return StatsPair{s[0], s[1], TurnsRatio(v[0], v[1])};
}

// Ratio lines, printed together after the figures: for two sides timed in
// turns the median of the turns' ratios, else the ratio of the medians.
struct RatioLine {
    std::string name;
    double ratio;
    std::string goal;
};
std::vector<RatioLine> g_ratios;

void AddRatio(const char* name, double a, double b, const char* goal)
{
    g_ratios.push_back(RatioLine{name, a > 0 && b > 0 ? a / b : 0, goal});
}

void AddRatio(const char* name, const StatsPair& sides, const char* goal)
{
    g_ratios.push_back(RatioLine{name, sides.ratio, goal});
}

void AddTurnsRatio(const char* name, const std::vector<double>& a, const std::vector<double>& b, const char* goal)
{
    g_ratios.push_back(RatioLine{name, TurnsRatio(a, b), goal});
}

void PrintRatios()
{
    std::printf("ratios (sides timed in turns: median of the turns' ratios; else ratio of the medians)\n");
    for (const RatioLine& r : g_ratios) {
        if (r.ratio > 0)
            std::printf("  %-52s %9.3f   goal %s\n", r.name.c_str(), r.ratio, r.goal.c_str());
        else
            std::printf("  %-52s %9s   goal %s\n", r.name.c_str(), "not run", r.goal.c_str());
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

// The control with the operations the benchmark drives.
class BenchHexEdit : public CHexEditCtrl {
public:
    using CHexEditCtrl::m_data;
    using CHexEditCtrl::m_nFirstRow;
    using CHexEditCtrl::m_nCaretPos;
    using CHexEditCtrl::m_nSelStart;
    using CHexEditCtrl::m_nSelEnd;
    using CHexEditCtrl::m_sizeChar;
    using CHexEditCtrl::m_nVisRows;
    using CHexEditCtrl::MoveCaret;
    using CHexEditCtrl::RecalcLayout;
    using CHexEditCtrl::GetRowCount;
    using CHexEditCtrl::GetAddressText;
    using CHexEditCtrl::GetStatusText;
    using CHexEditCtrl::m_nRowAddr;
    using CHexEditCtrl::m_clrWndBk;
    using CHexEditCtrl::m_clrText;
    using CHexEditCtrl::m_clrAsciiBk;
    using CHexEditCtrl::m_clrAddrBk;
    using CHexEditCtrl::m_clrHexBk;
    using CHexEditCtrl::m_clrHexText;
    using CHexEditCtrl::CreateCellFont;
    using CHexEditCtrl::FormatRow;

    // Fills the control's own array directly (a host's copy would need the
    // memory twice). Returns false when the memory cannot be had.
    bool SetCounting(int n)
    {
        try {
            m_data.SetSize(0, -1);
            m_data.SetSize(n);
        } catch (CException* e) {
            e->Delete();
            m_data.SetSize(0, -1);
            return false;
        }
        BYTE* p = m_data.GetData();
        for (int i = 0; i < n; i++)
            p[i] = static_cast<BYTE>(i);
        m_nFirstRow = 0;
        RecalcLayout();
        return true;
    }
};

BenchHexEdit* g_pCtl = nullptr;
const UINT WM_BENCH_MOVECARET = WM_APP + 1;

LRESULT CALLBACK HostProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_BENCH_MOVECARET && g_pCtl != nullptr) {
        g_pCtl->MoveCaret(0, static_cast<int>(wParam) - 1, FALSE);
        return 0;
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

// One paint of the control as the system would have it: invalidate, then
// the WM_PAINT that UpdateWindow sends.
void PaintOnce(HWND hWnd)
{
    ::InvalidateRect(hWnd, NULL, FALSE);
    ::UpdateWindow(hWnd);
}

// The picture the control paints, as lists of texts for the floors: per
// item (one TextOutA each) and per run of same-coloured neighbours.
struct TextItem {
    int x, y;
    COLORREF fg, bk;
    std::string text;
};

// nRunsOrItems 0: one item per text; else runs of same-coloured neighbours,
// which also end after a glyph whose ink reaches into the next cell when
// pOverhang (pixels per character, as the painter measures) is given.
void BuildItems(BenchHexEdit& ctl, int nRunsOrItems, std::vector<TextItem>& items, const int* pOverhang = nullptr)
{
    const int cx = ctl.m_sizeChar.cx, cy = ctl.m_sizeChar.cy;
    const COLORREF hiBk = ::GetSysColor(COLOR_HIGHLIGHT), hiText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    items.clear();
    int y0 = -ctl.m_nFirstRow * cy;
    items.push_back({1 * cx, y0, ctl.m_clrText, ctl.m_clrWndBk, "Address"});
    items.push_back({10 * cx, y0, ctl.m_clrText, ctl.m_clrWndBk, std::string(ctl.GetStatusText())});
    items.push_back({62 * cx, y0, ctl.m_clrText, ctl.m_clrWndBk, "ASCII values"});
    const int n = ctl.m_data.GetSize();
    const BYTE* p = ctl.m_data.GetData();
    const int nRows = ctl.GetRowCount();
    const bool bRuns = nRunsOrItems != 0;
    for (int r = ctl.m_nFirstRow; r < nRows && r - ctl.m_nFirstRow <= ctl.m_nVisRows; r++) {
        int y = (r - ctl.m_nFirstRow + 2) * cy;
        ctl.m_nRowAddr = r * 16;
        items.push_back({1 * cx, y, ctl.m_clrText, ctl.m_clrAddrBk, std::string(ctl.GetAddressText())});
        std::vector<TextItem> hex, chars;
        bool bHexEnds = false, bCharEnds = false;
        for (int c = 0; c < 16; c++) {
            int i = r * 16 + c;
            bool sel = ctl.m_nSelStart <= 3LL * i && 3LL * i <= ctl.m_nSelEnd;
            char buf[4] = "";
            char ch = '.';
            if (i < n) {
                std::snprintf(buf, sizeof buf, "%02X ", p[i]);
                ch = (p[i] >= 0x20 && p[i] <= 0x7E) ? static_cast<char>(p[i]) : '.';
            }
            TextItem h = {(10 + 3 * c) * cx, y, sel ? hiText : ctl.m_clrHexText, sel ? hiBk : ctl.m_clrHexBk, buf};
            TextItem a = {(62 + c) * cx, y, sel ? hiText : ctl.m_clrAddrBk, sel ? hiBk : ctl.m_clrAsciiBk,
                          std::string(1, ch)};
            if (!bRuns) {
                if (!h.text.empty())
                    items.push_back(h);
                items.push_back(a);
                continue;
            }
            if (!h.text.empty()) {
                if (!hex.empty() && hex.back().fg == h.fg && hex.back().bk == h.bk && !bHexEnds)
                    hex.back().text += h.text;
                else
                    hex.push_back(h);
                bHexEnds = pOverhang != nullptr && (pOverhang[static_cast<int>(buf[0])] > 2 * cx ||
                                                    pOverhang[static_cast<int>(buf[1])] > cx || pOverhang[' '] > 0);
            }
            if (!chars.empty() && chars.back().fg == a.fg && chars.back().bk == a.bk && !bCharEnds)
                chars.back().text += a.text;
            else
                chars.push_back(a);
            bCharEnds = pOverhang != nullptr && pOverhang[static_cast<int>(ch)] > 0;
        }
        items.insert(items.end(), hex.begin(), hex.end());
        items.insert(items.end(), chars.begin(), chars.end());
    }
}

// A memory DC like the painter's: a bitmap compatible with the window's DC
// and the control's font.
struct MemoryDC {
    HDC hWndDC = NULL, hDC = NULL;
    HBITMAP hBmp = NULL;
    CFont font;
    HGDIOBJ hOldBmp = NULL, hOldFont = NULL;
    HWND hWnd = NULL;

    explicit MemoryDC(BenchHexEdit& ctl) : hWnd(ctl.m_hWnd)
    {
        hWndDC = ::GetDC(hWnd);
        hDC = ::CreateCompatibleDC(hWndDC);
        hBmp = ::CreateCompatibleBitmap(hWndDC, kClientWidth, kClientHeight);
        hOldBmp = ::SelectObject(hDC, hBmp);
        ctl.CreateCellFont(&font);
        hOldFont = ::SelectObject(hDC, font);
    }
    ~MemoryDC()
    {
        ::SelectObject(hDC, hOldFont);
        ::SelectObject(hDC, hOldBmp);
        font.DeleteObject();
        ::DeleteObject(hBmp);
        ::DeleteDC(hDC);
        ::ReleaseDC(hWnd, hWndDC);
    }
};

void DrawItems(HDC hDC, HBRUSH hFill, const std::vector<TextItem>& items)
{
    RECT rc = {0, 0, kClientWidth, kClientHeight};
    ::FillRect(hDC, &rc, hFill);
    for (const TextItem& it : items) {
        ::SetTextColor(hDC, it.fg);
        ::SetBkColor(hDC, it.bk);
        ::TextOutA(hDC, it.x, it.y, it.text.data(), static_cast<int>(it.text.size()));
    }
}

// Floor (b) inside the frame every paint must have: a new memory DC and
// bitmap compatible with the window's DC, the font, the fill, the copy to
// the window and the release of all of it.
void DrawFloorInFrame(BenchHexEdit& ctl, HDC hWndDC, const std::vector<TextItem>& items)
{
    HDC hDC = ::CreateCompatibleDC(hWndDC);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hWndDC, kClientWidth, kClientHeight);
    HGDIOBJ hOldBmp = ::SelectObject(hDC, hBmp);
    HBRUSH hBrush = ::CreateSolidBrush(ctl.m_clrWndBk);
    CFont font;
    ctl.CreateCellFont(&font);
    HGDIOBJ hOldFont = ::SelectObject(hDC, font);
    DrawItems(hDC, hBrush, items);
    ::BitBlt(hWndDC, 0, 0, kClientWidth, kClientHeight, hDC, 0, 0, SRCCOPY);
    ::SelectObject(hDC, hOldFont);
    ::SelectObject(hDC, hOldBmp);
    font.DeleteObject();
    ::DeleteObject(hBrush);
    ::DeleteObject(hBmp);
    ::DeleteDC(hDC);
}

// What every figure works on: the host window, the control in it with a
// 1920x1080 client area, and the number of runs a figure.
struct Bench {
    int nRuns = 60;
    HWND hHost = NULL;
    BenchHexEdit ctl;
};

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

// Paint of 4 KiB at the top, without and with a selection. Returns the
// paint's median without one.
double BenchPaint4K(Bench& b)
{
    Stats paint4k = Measure(b.nRuns, [&] { PaintOnce(b.ctl.m_hWnd); });
    PrintRow("paint, 4 KiB, top", paint4k);

    // A selection over three screen lines, as a mouse drag leaves it.
    b.ctl.m_nSelStart = 3 * 100;
    b.ctl.m_nSelEnd = 3 * 140 + 2;
    Stats paintSel = Measure(b.nRuns, [&] { PaintOnce(b.ctl.m_hWnd); });
    PrintRow("paint, 4 KiB, top, bytes 100-140 selected", paintSel);
    b.ctl.m_nSelStart = b.ctl.m_nSelEnd = -1;
    return paint4k.median;
}

// The floors: the same picture drawn by bare GDI loops into an existing
// memory DC, per item and per same-coloured run, against paint4k.
void BenchFloors(Bench& b, double paint4k)
{
    BenchHexEdit& ctl = b.ctl;
    MemoryDC mem(ctl);
    HBRUSH hFill = ::CreateSolidBrush(ctl.m_clrWndBk);
    std::vector<TextItem> perItem, perRun;
    BuildItems(ctl, 0, perItem);
    BuildItems(ctl, 1, perRun);
    StatsPair floors = MeasureInterleaved(
        b.nRuns, [&] { DrawItems(mem.hDC, hFill, perItem); ::GdiFlush(); },
        [&] { DrawItems(mem.hDC, hFill, perRun); ::GdiFlush(); });
    ::DeleteObject(hFill);

    char buf[64];
    PrintRow("floor (a): fill + one TextOutA per item", floors.a);
    std::snprintf(buf, sizeof buf, "%zu text calls a paint", perItem.size());
    PrintNote("", buf);
    PrintRow("floor (b): fill + one TextOutA per same-coloured run", floors.b);
    std::snprintf(buf, sizeof buf, "%zu text calls a paint", perRun.size());
    PrintNote("", buf);
    AddRatio("paint 4 KiB / floor (a)", paint4k, floors.a.median, "-");
    AddRatio("paint 4 KiB / floor (b)", paint4k, floors.b.median, "-");
    AddRatio("floor (a) / floor (b)", floors, "-");
}

// While set, the control's window answers WM_PAINT with floor (b) in a
// paint's frame instead of its own paint (a window procedure in front of
// the framework's).
WNDPROC g_pfnControlProc = nullptr;
const std::vector<TextItem>* g_pFloorPaintItems = nullptr;

LRESULT CALLBACK FloorPaintProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_PAINT && g_pFloorPaintItems != nullptr && g_pCtl != nullptr) {
        PAINTSTRUCT ps;
        HDC hDC = ::BeginPaint(hWnd, &ps);
        DrawFloorInFrame(*g_pCtl, hDC, *g_pFloorPaintItems);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    return ::CallWindowProcA(g_pfnControlProc, hWnd, msg, wParam, lParam);
}

// The control's paint against floor (b) in a paint's frame: the same
// window's WM_PAINT (BeginPaint, EndPaint) answered by a new memory DC and
// bitmap compatible with the window's DC, the font, the fill, the runs, the
// copy to the window and the release of all of it. Timed in turns with the
// parts that explain the difference: the frame without the WM_PAINT (a
// GetDC), the runs ended where the painter must end them to draw the
// picture of one call per item, the glyphs' extents the painter reads at
// every paint, and the texts it formats.
void BenchPaintInFrame(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    MemoryDC mem(ctl);
    int nOverhang[0x7F] = {};
    ABC abc[0x7E - 0x20 + 1];
    bool bMeasured = ::GetCharABCWidthsA(mem.hDC, 0x20, 0x7E, abc) != FALSE;
    for (int ch = 0x20; bMeasured && ch <= 0x7E; ch++)
        nOverhang[ch] = abc[ch - 0x20].abcC < 0 ? -abc[ch - 0x20].abcC : 0;
    std::vector<TextItem> perRun, perPainterRun;
    BuildItems(ctl, 1, perRun);
    BuildItems(ctl, 1, perPainterRun, nOverhang);

    g_pfnControlProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(ctl.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FloorPaintProc)));
    auto floorPaint = [&](const std::vector<TextItem>& items) {
        g_pFloorPaintItems = &items;
        PaintOnce(ctl.m_hWnd);
        g_pFloorPaintItems = nullptr;
    };
    CHexEditCtrl::RowText row;
    std::vector<std::vector<double>> v;
    std::vector<Stats> s = MeasureInTurns(
        b.nRuns,
        {[&] { PaintOnce(ctl.m_hWnd); }, [&] { floorPaint(perRun); },
         [&] {
             HDC hWndDC = ::GetDC(ctl.m_hWnd);
             DrawFloorInFrame(ctl, hWndDC, perRun);
             ::ReleaseDC(ctl.m_hWnd, hWndDC);
         },
         [&] { floorPaint(perPainterRun); }, [&] { ::GetCharABCWidthsA(mem.hDC, 0x20, 0x7E, abc); },
         [&] {
             CString strStatus = ctl.GetStatusText();
             for (int r = ctl.m_nFirstRow; r < ctl.GetRowCount() && r - ctl.m_nFirstRow <= ctl.m_nVisRows; r++) {
                 ctl.m_nRowAddr = r * 16;
                 CString strAddr = ctl.GetAddressText();
                 ctl.FormatRow(r, &row);
             }
         }},
        &v);
    ::SetWindowLongPtrA(ctl.m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnControlProc));
    PaintOnce(ctl.m_hWnd);

    char buf[96];
    PrintRow("paint, 4 KiB, top (in turns with the 5 lines below)", s[0]);
    PrintRow("floor (b) in a paint's frame (WM_PAINT, new DC+bitmap)", s[1]);
    PrintRow("  the same drawn through GetDC, no WM_PAINT", s[2]);
    PrintRow("  the same with the painter's run ends", s[3]);
    std::snprintf(buf, sizeof buf, "%zu text calls a paint (floor (b): %zu)", perPainterRun.size(), perRun.size());
    PrintNote("", buf);
    PrintRow("  the painter's read of 95 glyphs' extents", s[4]);
    PrintRow("  the painter's texts (status, addresses, rows)", s[5]);
    AddTurnsRatio("paint / floor (b) in a paint's frame", v[0], v[1], "<= 1.10");
    AddTurnsRatio("paint / floor (b) with the painter's run ends", v[0], v[3], "-");
    AddTurnsRatio("floor (b) in WM_PAINT / through GetDC", v[1], v[2], "-");
}

// Paint of a large block (1 GiB, or the largest of 768, 512, 256 MiB that
// can be had) at the top and in the middle, against paint4k.
void BenchPaintLarge(Bench& b, double paint4k)
{
    BenchHexEdit& ctl = b.ctl;
    int nBig = 0;
    for (long long n : {1LL << 30, 3LL << 28, 1LL << 29, 1LL << 28}) {
        if (ctl.SetCounting(static_cast<int>(n))) {
            nBig = static_cast<int>(n);
            break;
        }
    }
    if (nBig == 0) {
        PrintNote("paint, large block", "not run: no block of 256 MiB or more could be allocated");
        return;
    }
    char name[96];
    std::snprintf(name, sizeof name, "paint, %d MiB, top%s", nBig >> 20,
                  nBig == (1 << 30) ? "" : " (1 GiB could not be had)");
    Pump();
    Stats top = Measure(b.nRuns, [&] { PaintOnce(ctl.m_hWnd); });
    PrintRow(name, top);
    ctl.m_nFirstRow = ctl.GetRowCount() / 2;
    ctl.RecalcLayout();
    Pump();
    std::snprintf(name, sizeof name, "paint, %d MiB, middle", nBig >> 20);
    Stats middle = Measure(b.nRuns, [&] { PaintOnce(ctl.m_hWnd); });
    PrintRow(name, middle);
    ctl.SetCounting(4096);
    Pump();
    AddRatio("paint large / paint 4 KiB", top.median, paint4k, "<= 1.05");
}

void BenchLayout(Bench& b)
{
    Stats layout = Measure(b.nRuns * 5, [&] {
        b.ctl.RecalcLayout();
        ::ValidateRect(b.ctl.m_hWnd, NULL);   // measure the layout, not a paint
    });
    PrintRow("RecalcLayout (no paint)", layout);
}

// What a scroll-bar set costs when it changes nothing, with and without
// redraw (the layout skips such sets), and a set that moves the thumb.
void BenchScrollBarSets(Bench& b)
{
    HWND hWnd = b.ctl.m_hWnd;
    SCROLLINFO si = {};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(hWnd, SB_VERT, &si);
    Stats setTrue = Measure(b.nRuns, [&] { ::SetScrollInfo(hWnd, SB_VERT, &si, TRUE); });
    Stats setFalse = Measure(b.nRuns, [&] { ::SetScrollInfo(hWnd, SB_VERT, &si, FALSE); });
    PrintRow("SetScrollInfo, nothing changed, redraw TRUE", setTrue);
    PrintRow("SetScrollInfo, nothing changed, redraw FALSE", setFalse);
    int n = 0;
    Stats moveThumb = Measure(b.nRuns, [&] { ::SetScrollPos(hWnd, SB_VERT, (n++ & 1) ? 1 : 2, TRUE); });
    ::SetScrollPos(hWnd, SB_VERT, si.nPos, TRUE);
    PrintRow("SetScrollPos moving the thumb, redraw TRUE", moveThumb);
}

// A posted caret move (down one row, then up again: the view does not
// scroll) to the end of the paint it causes, in turns with a paint.
void BenchCaretMove(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    ctl.m_nCaretPos = 48 * 20;
    ctl.MoveCaret(0, 0, FALSE);
    Pump();
    int nStep = 0;
    StatsPair caret = MeasureInterleaved(
        b.nRuns,
        [&] {
            ::PostMessageA(b.hHost, WM_BENCH_MOVECARET, (nStep++ & 1) ? 0 : 2, 0);
            Pump();
        },
        [&] { PaintOnce(ctl.m_hWnd); });
    PrintRow("posted caret move (MoveCaret) -> end of its paint", caret.a);
    PrintRow("paint, 4 KiB, top (in turns with the line above)", caret.b);
    AddRatio("caret move to painted / paint", caret, "<= 1.2");
}

// A posted WM_VSCROLL line step (down, then up again) to the end of its
// paint, in turns with what it cannot do without: one paint and one move of
// the thumb. The thumb is moved away from where the next step puts it, so
// that the step's own move is a real one too.
void BenchVScroll(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    ctl.m_nFirstRow = 50;
    ctl.RecalcLayout();
    Pump();
    bool bDown = false;
    StatsPair vscroll = MeasureInterleaved(
        b.nRuns,
        [&] {
            bDown = !bDown;
            ::PostMessageA(ctl.m_hWnd, WM_VSCROLL, bDown ? SB_LINEDOWN : SB_LINEUP, 0);
            Pump();
        },
        [&] {
            PaintOnce(ctl.m_hWnd);
            ::SetScrollPos(ctl.m_hWnd, SB_VERT, ctl.m_nFirstRow + (bDown ? 1 : -1), TRUE);
        });
    ::SetScrollPos(ctl.m_hWnd, SB_VERT, ctl.m_nFirstRow, TRUE);
    PrintRow("posted WM_VSCROLL line step -> end of its paint", vscroll.a);
    PrintRow("paint + thumb move (in turns with the line above)", vscroll.b);
    AddRatio("WM_VSCROLL to painted / (paint + thumb move)", vscroll, "<= 1.10");
}

} // namespace

int main(int argc, char** argv)
{
    Bench b;
    b.nRuns = argc > 1 ? std::atoi(argv[1]) : 60;
    if (b.nRuns < 5)
        b.nRuns = 5;
    if (!SetUp(b)) {
        std::printf("hexedit_bench: no host window (is there a display?)\n");
        return 0;
    }
    PrintHeader(b);

    double paint4k = BenchPaint4K(b);
    BenchFloors(b, paint4k);
    BenchPaintInFrame(b);
    BenchPaintLarge(b, paint4k);
    BenchLayout(b);
    BenchScrollBarSets(b);
    BenchCaretMove(b);
    BenchVScroll(b);

    PrintRatios();
    TearDown(b);
    return 0;
}
