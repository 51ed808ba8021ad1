// hexedit_bench - how long CHexEditCtrl takes to paint, lay out and react,
// for a 1920x1080 client area, with figures of bare GDI loops that draw the
// same picture as floors. Prints a table of medians and spreads; it never
// fails (a step that cannot run says so in its line).
//
//   hexedit_bench [runs]      (default 60 runs a figure)
#include "HexEditCtrl.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    using CHexEditCtrl::m_nArea;
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

void BuildItems(BenchHexEdit& ctl, int nRunsOrItems, std::vector<TextItem>& items)
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
                if (!hex.empty() && hex.back().fg == h.fg && hex.back().bk == h.bk)
                    hex.back().text += h.text;
                else
                    hex.push_back(h);
            }
            if (!chars.empty() && chars.back().fg == a.fg && chars.back().bk == a.bk)
                chars.back().text += a.text;
            else
                chars.push_back(a);
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
    HFONT hFont = NULL;
    HGDIOBJ hOldBmp = NULL, hOldFont = NULL;
    HWND hWnd = NULL;

    explicit MemoryDC(HWND hWndIn) : hWnd(hWndIn)
    {
        hWndDC = ::GetDC(hWnd);
        hDC = ::CreateCompatibleDC(hWndDC);
        hBmp = ::CreateCompatibleBitmap(hWndDC, kClientWidth, kClientHeight);
        hOldBmp = ::SelectObject(hDC, hBmp);
        hFont = ::CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH | FF_MODERN, NULL);
        hOldFont = ::SelectObject(hDC, hFont);
    }
    ~MemoryDC()
    {
        ::SelectObject(hDC, hOldFont);
        ::SelectObject(hDC, hOldBmp);
        ::DeleteObject(hFont);
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

// --- mouse: an auto-scroll tick and a drag move, each against its floor -----
//
// Both run over one block of 800 MiB or more (hex positions past byte
// 715,827,882 need 64 bits), near its end. Each side is measured in the same
// loop, interleaved with its floor, after a few unmeasured rounds.

void PostAndPump(HWND hWnd, UINT nMsg, WPARAM wParam, POINT pt)
{
    ::PostMessageA(hWnd, nMsg, wParam, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
    Pump();
}

void SendAndPump(HWND hWnd, UINT nMsg, WPARAM wParam, POINT pt)
{
    ::SendMessageA(hWnd, nMsg, wParam, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
    Pump();
}

void BenchMouse(BenchHexEdit& ctl, int nRuns)
{
    const int kWarmUp = 3;
    std::printf("mouse (each figure interleaved with its floor)\n");
    int nBig = 0;
    for (long long n : {1LL << 30, 800LL << 20}) {
        if (ctl.SetCounting(static_cast<int>(n))) {
            nBig = static_cast<int>(n);
            break;
        }
    }
    if (nBig == 0) {
        PrintNote("mouse figures", "not run: no block of 800 MiB or more could be allocated");
        return;
    }
    Pump();
    const HWND hWnd = ctl.m_hWnd;
    const int cx = ctl.m_sizeChar.cx, cy = ctl.m_sizeChar.cy;
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    auto cell = [&](int nCol, int nLine) { return POINT{nCol * cx + cx / 2, nLine * cy + cy / 2}; };

    // Drag: pressed on a hex cell, then moved back and forth between a hex
    // and a character cell further down; every move changes the selection.
    ctl.m_nFirstRow = ctl.GetRowCount() - ctl.m_nVisRows - 10;
    ctl.RecalcLayout();
    Pump();
    SendAndPump(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, cell(10 + 3 * 2, 10));
    // The handler alone (its paint left out) shows where a difference goes.
    std::vector<double> vMove, vMovePaint, vMoveHandler;
    for (int i = 0; i < nRuns + kWarmUp; i++) {
        POINT pt = (i & 1) ? cell(10 + 3 * 9, 20) : cell(62 + 5, 30);
        double t0 = Now();
        PostAndPump(hWnd, WM_MOUSEMOVE, MK_LBUTTON, pt);
        double t1 = Now();
        PaintOnce(hWnd);
        double t2 = Now();
        ::SendMessageA(hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pt.x, pt.y + cy));
        ::ValidateRect(hWnd, NULL);
        double t3 = Now();
        if (i >= kWarmUp) {
            vMove.push_back(t1 - t0);
            vMovePaint.push_back(t2 - t1);
            vMoveHandler.push_back(t3 - t2);
        }
    }
    SendAndPump(hWnd, WM_LBUTTONUP, 0, cell(62 + 5, 30));
    Stats move = Summarise(vMove), movePaint = Summarise(vMovePaint);
    char name[96];
    std::snprintf(name, sizeof name, "drag move (WM_MOUSEMOVE) -> painted, %d MiB", nBig >> 20);
    PrintRow(name, move);
    PrintRow("  paint, same picture", movePaint);
    PrintRow("  WM_MOUSEMOVE handler alone, no paint", Summarise(vMoveHandler));

    // Auto-scroll: pressed, then the pointer two lines below the window.
    // The control's own timer is stopped (and the edit class's), so that the
    // only ticks are the ones posted here, each scrolling a few rows down.
    ctl.m_nFirstRow = ctl.GetRowCount() / 2;
    ctl.RecalcLayout();
    Pump();
    SendAndPump(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, cell(10 + 3 * 4, 10));
    const POINT below = {(10 + 3 * 6) * cx + cx / 2, rc.bottom + 2 * cy};
    SendAndPump(hWnd, WM_MOUSEMOVE, MK_LBUTTON, below);
    ::KillTimer(hWnd, 1);
    ::KillTimer(hWnd, 0);
    std::vector<double> vTick, vTickPaint, vThumb;
    int nRowsScrolled = ctl.m_nFirstRow;
    for (int i = 0; i < nRuns + kWarmUp; i++) {
        double t0 = Now();
        PostAndPump(hWnd, WM_TIMER, 1, POINT{0, 0});
        double t1 = Now();
        PaintOnce(hWnd);
        double t2 = Now();
        // The thumb one step back, so that the next tick moves it for real.
        ::SetScrollPos(hWnd, SB_VERT, ctl.m_nFirstRow - 1, TRUE);
        double t3 = Now();
        if (i >= kWarmUp) {
            vTick.push_back(t1 - t0);
            vTickPaint.push_back(t2 - t1);
            vThumb.push_back(t3 - t2);
        }
    }
    nRowsScrolled = ctl.m_nFirstRow - nRowsScrolled;
    SendAndPump(hWnd, WM_LBUTTONUP, 0, below);
    Stats tick = Summarise(vTick), tickPaint = Summarise(vTickPaint), thumb = Summarise(vThumb);
    std::snprintf(name, sizeof name, "auto-scroll tick (WM_TIMER 1) -> painted, %d MiB", nBig >> 20);
    PrintRow(name, tick);
    PrintRow("  paint, same picture", tickPaint);
    PrintRow("  SetScrollPos moving the thumb, redraw TRUE", thumb);
    std::snprintf(name, sizeof name, "%d rows in %d ticks", nRowsScrolled, nRuns + kWarmUp);
    PrintNote("", name);

    std::printf("ratios (medians)\n");
    if (tickPaint.median + thumb.median > 0)
        std::printf("  %-52s %9.3f   goal <= 1.2\n", "auto-scroll tick to painted / (paint + thumb move)",
                    tick.median / (tickPaint.median + thumb.median));
    if (movePaint.median > 0)
        std::printf("  %-52s %9.3f   goal <= 1.2\n", "drag move to painted / paint", move.median / movePaint.median);
    ctl.SetCounting(4096);
    Pump();
}

// --- keyboard -----------------------------------------------------------------

// Runs a() and b() alternately, nRuns times each after a few unmeasured
// rounds, so that both see the same conditions. Each returns the
// milliseconds it measured (leaving out its own preparation).
template <class A, class B>
void MeasureInterleaved(int nRuns, A a, B b, Stats& sa, Stats& sb)
{
    for (int i = 0; i < 3; i++) {
        a();
        b();
    }
    std::vector<double> va, vb;
    for (int i = 0; i < nRuns; i++) {
        va.push_back(a());
        vb.push_back(b());
    }
    sa = Summarise(va);
    sb = Summarise(vb);
}

// Milliseconds that fn() takes.
template <class F>
double Time(F fn)
{
    double t0 = Now();
    fn();
    return Now() - t0;
}

void PrintRatio(const char* name, double a, double b, const char* goal)
{
    if (a > 0 && b > 0)
        std::printf("  %-52s %9.3f   goal %s\n", name, a / b, goal);
}

// A hex digit typed into the control, as the system delivers it: a posted
// WM_KEYDOWN that the message loop translates into WM_CHAR, up to the end of
// the paint it causes; against one paint of the same view.
void BenchKeystroke(BenchHexEdit& ctl, int nRuns, const char* pszSize)
{
    // The caret types along the rows of the first screen of the view's
    // last part; it is brought back before it would scroll (untimed).
    const LONGLONG nSize = ctl.m_data.GetSize();
    const LONGLONG nRowsBack = std::min<LONGLONG>(nSize / 16, 40);
    const LONGLONG nStart = 3 * (nSize - 16 * nRowsBack);
    ctl.m_nArea = 0;
    ctl.m_nCaretPos = nStart;
    ctl.MoveCaret(0, 0, FALSE);
    Pump();
    const LONGLONG nEnd = nStart + 3 * 16 * 8;
    const UINT vk = '7';
    const LPARAM lParam = 1 | (::MapVirtualKeyA(vk, 0) << 16);

    Stats key, paint;
    MeasureInterleaved(
        nRuns,
        [&] {
            if (ctl.m_nCaretPos >= nEnd) {
                ctl.m_nCaretPos = nStart;
                ctl.MoveCaret(0, 0, FALSE);
                Pump();
            }
            return Time([&] {
                ::PostMessageA(ctl.m_hWnd, WM_KEYDOWN, vk, lParam);
                Pump();
            });
        },
        [&] { return Time([&] { PaintOnce(ctl.m_hWnd); }); }, key, paint);

    // Where the difference goes: the handlers of the key and its character
    // without the paint they ask for.
    Stats handlers = Measure(nRuns, [&] {
        if (ctl.m_nCaretPos >= nEnd) {
            ctl.m_nCaretPos = nStart;
            ctl.MoveCaret(0, 0, FALSE);
        }
        ::SendMessageA(ctl.m_hWnd, WM_KEYDOWN, vk, lParam);
        ::SendMessageA(ctl.m_hWnd, WM_CHAR, vk, lParam);
        ::ValidateRect(ctl.m_hWnd, NULL);
    });
    Pump();

    char name[96];
    std::snprintf(name, sizeof name, "WM_KEYDOWN + WM_CHAR handlers, no paint, %s", pszSize);
    PrintRow(name, handlers);
    std::snprintf(name, sizeof name, "keystroke -> end of its paint, %s", pszSize);
    PrintRow(name, key);
    std::snprintf(name, sizeof name, "paint, same view, %s", pszSize);
    PrintRow(name, paint);
    if (ctl.m_data[static_cast<int>(nStart / 3)] != 0x77)
        PrintNote("", "the typed digits did not reach the byte: the figure above is not a keystroke's");
    std::snprintf(name, sizeof name, "keystroke to painted / paint, %s", pszSize);
    PrintRatio(name, key.median, paint.median, "<= 1.2");
}

// Delete over a selection of the whole block (FillSelection writes each
// byte once), against memset of the same bytes. Only the handler is timed;
// the paint it asks for follows untimed.
void BenchFillSelection(BenchHexEdit& ctl, int nRuns, const char* pszSize)
{
    const LONGLONG nSize = ctl.m_data.GetSize();
    const LPARAM lParam = 1 | (::MapVirtualKeyA(VK_DELETE, 0) << 16);
    Stats del, floor;
    MeasureInterleaved(
        nRuns,
        [&] {
            ctl.m_nCaretPos = 0;
            ctl.m_nSelStart = 0;
            ctl.m_nSelEnd = 3 * nSize - 2;
            double t = Time([&] { ::SendMessageA(ctl.m_hWnd, WM_KEYDOWN, VK_DELETE, lParam); });
            Pump();
            return t;
        },
        [&] { return Time([&] { std::memset(ctl.m_data.GetData(), 0, static_cast<size_t>(nSize)); }); }, del,
        floor);
    char name[96];
    std::snprintf(name, sizeof name, "Delete, whole block selected (handler), %s", pszSize);
    PrintRow(name, del);
    std::snprintf(name, sizeof name, "memset of the same bytes, %s", pszSize);
    PrintRow(name, floor);
    std::snprintf(name, sizeof name, "FillSelection / memset, %s", pszSize);
    PrintRatio(name, del.median, floor.median, "<= 1.5");
}

void BenchKeyboard(BenchHexEdit& ctl, int nRuns)
{
    std::printf("keyboard\n");
    // Keys go to the control with the focus, as a person's do.
    ::SetForegroundWindow(::GetParent(ctl.m_hWnd));
    ::SetFocus(ctl.m_hWnd);
    ctl.SetCounting(4096);
    Pump();
    BenchKeystroke(ctl, nRuns, "4 KiB");

    const int nBig = 800000000;
    if (!ctl.SetCounting(nBig)) {
        PrintNote("keystroke, 800 MB", "not run: 800,000,000 bytes could not be allocated");
    } else {
        Pump();
        BenchKeystroke(ctl, nRuns, "800 MB");
        BenchFillSelection(ctl, std::max(5, nRuns / 6), "800 MB");
    }
    ctl.SetCounting(4096);
    Pump();
}

} // namespace

int main(int argc, char** argv)
{
    int nRuns = argc > 1 ? std::atoi(argv[1]) : 60;
    if (nRuns < 5)
        nRuns = 5;

    WNDCLASSA wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "QXBenchHost";
    ::RegisterClassA(&wc);
    HWND hHost = ::CreateWindowExA(0, wc.lpszClassName, "hexedit_bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                                   0, kClientWidth + 100, kClientHeight + 100, NULL, NULL, wc.hInstance, NULL);
    if (hHost == NULL) {
        std::printf("hexedit_bench: no host window (is there a display?)\n");
        return 0;
    }
    Pump();

    BenchHexEdit ctl;
    g_pCtl = &ctl;
    RECT rcCreate = {0, 0, kClientWidth, kClientHeight};
    ctl.Create(rcCreate, CWnd::FromHandle(hHost), 1);
    ctl.SetCounting(4096);
    Pump();
    // Size the window so that its client area, with the vertical bar shown
    // and the horizontal one hidden (all columns fit), is 1920x1080.
    {
        RECT rcWnd, rcClient;
        ::GetWindowRect(ctl.m_hWnd, &rcWnd);
        ::GetClientRect(ctl.m_hWnd, &rcClient);
        int w = (rcWnd.right - rcWnd.left) + kClientWidth - rcClient.right;
        int h = (rcWnd.bottom - rcWnd.top) + kClientHeight - rcClient.bottom;
        ctl.MoveWindow(0, 0, w, h);
        Pump();
        ::GetWindowRect(ctl.m_hWnd, &rcWnd);
        ::GetClientRect(ctl.m_hWnd, &rcClient);
        w = (rcWnd.right - rcWnd.left) + kClientWidth - rcClient.right;
        h = (rcWnd.bottom - rcWnd.top) + kClientHeight - rcClient.bottom;
        ctl.MoveWindow(0, 0, w, h);
        Pump();
    }
    RECT rcClient;
    ::GetClientRect(ctl.m_hWnd, &rcClient);
    ::CreateCaret(ctl.m_hWnd, NULL, 2, ctl.m_sizeChar.cy);
    ::ShowCaret(ctl.m_hWnd);

    std::printf("hexedit_bench (%s): client area %ldx%ld, cell %ldx%ld, %d visible lines, %d runs a figure\n",
                sizeof(void*) == 8 ? "x86_64" : "i686", rcClient.right, rcClient.bottom, ctl.m_sizeChar.cx,
                ctl.m_sizeChar.cy, ctl.m_nVisRows, nRuns);
    std::printf("  %-52s %9s %9s %9s %6s\n", "figure (milliseconds)", "median", "p10", "p90", "runs");

    // --- paint, 4 KiB --------------------------------------------------------
    Stats paint4k = Measure(nRuns, [&] { PaintOnce(ctl.m_hWnd); });
    PrintRow("paint, 4 KiB, top", paint4k);

    // A selection over three screen lines, as a mouse drag leaves it.
    ctl.m_nSelStart = 3 * 100;
    ctl.m_nSelEnd = 3 * 140 + 2;
    Stats paintSel = Measure(nRuns, [&] { PaintOnce(ctl.m_hWnd); });
    PrintRow("paint, 4 KiB, top, bytes 100-140 selected", paintSel);
    ctl.m_nSelStart = ctl.m_nSelEnd = -1;

    // --- floors, same picture, same kind of memory DC -------------------------
    Stats floorA, floorB, floorFrame;
    {
        MemoryDC mem(ctl.m_hWnd);
        HBRUSH hFill = ::CreateSolidBrush(ctl.m_clrWndBk);
        std::vector<TextItem> perItem, perRun;
        BuildItems(ctl, 0, perItem);
        BuildItems(ctl, 1, perRun);
        floorA = Measure(nRuns, [&] { DrawItems(mem.hDC, hFill, perItem); ::GdiFlush(); });
        floorB = Measure(nRuns, [&] { DrawItems(mem.hDC, hFill, perRun); ::GdiFlush(); });
        // (b) inside the frame every paint must have: a new memory DC and
        // bitmap compatible with the window's DC, the font, the fill, the
        // copy to the window and the release of all of it.
        floorFrame = Measure(nRuns, [&] {
            HDC hWndDC = ::GetDC(ctl.m_hWnd);
            HDC hDC = ::CreateCompatibleDC(hWndDC);
            HBITMAP hBmp = ::CreateCompatibleBitmap(hWndDC, kClientWidth, kClientHeight);
            HGDIOBJ hOldBmp = ::SelectObject(hDC, hBmp);
            HBRUSH hBrush = ::CreateSolidBrush(ctl.m_clrWndBk);
            HFONT hFont = ::CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0,
                                        FIXED_PITCH | FF_MODERN, NULL);
            HGDIOBJ hOldFont = ::SelectObject(hDC, hFont);
            DrawItems(hDC, hBrush, perRun);
            ::BitBlt(hWndDC, 0, 0, kClientWidth, kClientHeight, hDC, 0, 0, SRCCOPY);
            ::SelectObject(hDC, hOldFont);
            ::SelectObject(hDC, hOldBmp);
            ::DeleteObject(hFont);
            ::DeleteObject(hBrush);
            ::DeleteObject(hBmp);
            ::DeleteDC(hDC);
            ::ReleaseDC(ctl.m_hWnd, hWndDC);
        });
        ::DeleteObject(hFill);
        char buf[64];
        std::snprintf(buf, sizeof buf, "%zu text calls a paint", perItem.size());
        PrintRow("floor (a): fill + one TextOutA per item", floorA);
        PrintNote("", buf);
        std::snprintf(buf, sizeof buf, "%zu text calls a paint", perRun.size());
        PrintRow("floor (b): fill + one TextOutA per same-coloured run", floorB);
        PrintNote("", buf);
        PrintRow("floor (b) in a paint's frame (new DC+bitmap, BitBlt)", floorFrame);
    }

    // --- paint, 1 GiB ---------------------------------------------------------
    Stats paintBig, paintBigMid;
    int nBig = 0;
    for (long long n : {1LL << 30, 3LL << 28, 1LL << 29, 1LL << 28}) {
        if (ctl.SetCounting(static_cast<int>(n))) {
            nBig = static_cast<int>(n);
            break;
        }
    }
    char bigName[96];
    if (nBig == 0) {
        PrintNote("paint, large block", "not run: no block of 256 MiB or more could be allocated");
    } else {
        std::snprintf(bigName, sizeof bigName, "paint, %d MiB, top%s", nBig >> 20,
                      nBig == (1 << 30) ? "" : " (1 GiB could not be had)");
        Pump();
        paintBig = Measure(nRuns, [&] { PaintOnce(ctl.m_hWnd); });
        PrintRow(bigName, paintBig);
        ctl.m_nFirstRow = ctl.GetRowCount() / 2;
        ctl.RecalcLayout();
        Pump();
        std::snprintf(bigName, sizeof bigName, "paint, %d MiB, middle", nBig >> 20);
        paintBigMid = Measure(nRuns, [&] { PaintOnce(ctl.m_hWnd); });
        PrintRow(bigName, paintBigMid);
        ctl.SetCounting(4096);
        Pump();
    }

    // --- layout -------------------------------------------------------------
    Stats layout = Measure(nRuns * 5, [&] {
        ctl.RecalcLayout();
        ::ValidateRect(ctl.m_hWnd, NULL);   // measure the layout, not a paint
    });
    PrintRow("RecalcLayout (no paint)", layout);

    // What a scroll-bar set costs when it changes nothing, with and without
    // redraw (the layout skips such sets).
    {
        SCROLLINFO si = {};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        ::GetScrollInfo(ctl.m_hWnd, SB_VERT, &si);
        Stats setTrue = Measure(nRuns, [&] { ::SetScrollInfo(ctl.m_hWnd, SB_VERT, &si, TRUE); });
        Stats setFalse = Measure(nRuns, [&] { ::SetScrollInfo(ctl.m_hWnd, SB_VERT, &si, FALSE); });
        PrintRow("SetScrollInfo, nothing changed, redraw TRUE", setTrue);
        PrintRow("SetScrollInfo, nothing changed, redraw FALSE", setFalse);
        int n = 0;
        Stats moveThumb = Measure(nRuns, [&] { ::SetScrollPos(ctl.m_hWnd, SB_VERT, (n++ & 1) ? 1 : 2, TRUE); });
        ::SetScrollPos(ctl.m_hWnd, SB_VERT, si.nPos, TRUE);
        PrintRow("SetScrollPos moving the thumb, redraw TRUE", moveThumb);
    }

    // --- reaction: posted message to the end of the paint it causes ----------
    ctl.m_nCaretPos = 48 * 20;
    ctl.MoveCaret(0, 0, FALSE);
    Pump();
    int nStep = 0;
    Stats caret = Measure(nRuns, [&] {
        // Down one row, then up again: the view does not scroll.
        ::PostMessageA(hHost, WM_BENCH_MOVECARET, (nStep++ & 1) ? 0 : 2, 0);
        Pump();
    });
    PrintRow("posted caret move (MoveCaret) -> end of its paint", caret);

    ctl.m_nFirstRow = 50;
    ctl.RecalcLayout();
    Pump();
    nStep = 0;
    Stats vscroll = Measure(nRuns, [&] {
        ::PostMessageA(ctl.m_hWnd, WM_VSCROLL, (nStep++ & 1) ? SB_LINEUP : SB_LINEDOWN, 0);
        Pump();
    });
    PrintRow("posted WM_VSCROLL line step -> end of its paint", vscroll);

    Stats paintNow = Measure(nRuns, [&] { PaintOnce(ctl.m_hWnd); });
    PrintRow("paint, 4 KiB, scrolled (for the two lines above)", paintNow);

    // --- ratios ---------------------------------------------------------------
    std::printf("ratios (medians)\n");
    auto ratio = [](const char* name, double a, double b, const char* goal) {
        if (a > 0 && b > 0)
            std::printf("  %-52s %9.3f   goal %s\n", name, a / b, goal);
    };
    if (nBig != 0)
        ratio("paint large / paint 4 KiB", paintBig.median, paint4k.median, "<= 1.05");
    ratio("paint 4 KiB / floor (a)", paint4k.median, floorA.median, "-");
    ratio("paint 4 KiB / floor (b)", paint4k.median, floorB.median, "<= 1.10");
    ratio("paint 4 KiB / floor (b) in a paint's frame", paint4k.median, floorFrame.median, "-");
    ratio("floor (a) / floor (b)", floorA.median, floorB.median, "-");
    ratio("caret move to painted / paint", caret.median, paintNow.median, "<= 1.2");
    ratio("WM_VSCROLL to painted / paint", vscroll.median, paintNow.median, "<= 1.2");

    BenchMouse(ctl, nRuns);
    BenchKeyboard(ctl, nRuns);

    ::DestroyCaret();
    g_pCtl = nullptr;
    ctl.DestroyWindow();
    ::DestroyWindow(hHost);
    return 0;
}
