// BenchPaint.cpp - the paint's figures: a paint of 4 KiB and of a large
// block, the floors (bare GDI loops drawing the same picture), the paint in
// its frame against floor (b) in the same frame, the layout, the scroll-bar
// sets, a caret move and a WM_VSCROLL line step to the end of their
// paints, and the paint at 192 DPI against the paint at 96 DPI.
#include "Bench.h"
#include "HexEditDpiHooks.h"

#include <cstdio>

namespace {

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

} // namespace

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


namespace {

// The DPI the benchmark's hook gives the control's window.
UINT g_nBenchDpi = 96;
UINT BenchDpi(HWND) { return g_nBenchDpi; }

// The control takes nDpi as a window does whose DPI changed.
void SetControlDpi(BenchHexEdit& ctl, UINT nDpi)
{
    g_nBenchDpi = nDpi;
    HexEditDpiHooks::pfnWindowDpi = BenchDpi;
    ::SendMessageA(ctl.m_hWnd, WM_DPICHANGED_AFTERPARENT, 0, 0);
    Pump();
}

} // namespace

void BenchPaintAtDpi(Bench& b)
{
    // The same 1920x1080 client area and 4 KiB from the top, in turns: each
    // side first takes its DPI (a layout, not timed), then paints. At 192
    // DPI the cells have four times the pixels and fewer lines fit.
    BenchHexEdit& ctl = b.ctl;
    int nLines192 = 0;
    SIZE cell192 = {0, 0};
    StatsPair dpi = MeasureInterleavedTimed(
        b.nRuns,
        [&] {
            SetControlDpi(ctl, 192);
            cell192 = ctl.m_sizeChar;
            nLines192 = ctl.m_nVisRows;
            return Time([&] { PaintOnce(ctl.m_hWnd); });
        },
        [&] {
            SetControlDpi(ctl, 96);
            return Time([&] { PaintOnce(ctl.m_hWnd); });
        });
    PrintRow("paint at 192 DPI, 4 KiB, top", dpi.a);
    char buf[128];
    std::snprintf(buf, sizeof buf, "cell %ldx%ld, %d visible lines", cell192.cx, cell192.cy, nLines192);
    PrintNote("", buf);
    PrintRow("paint at 96 DPI (in turns with the line above)", dpi.b);
    AddRatio("paint at 192 DPI / paint at 96 DPI", dpi, "<= 1.5");

    // Back to the system's DPI, with the benchmark's own caret.
    SetControlDpi(ctl, 96);
    HexEditDpiHooks::pfnWindowDpi = nullptr;
    ::DestroyCaret();
    ::CreateCaret(ctl.m_hWnd, NULL, 2, ctl.m_sizeChar.cy);
    ::ShowCaret(ctl.m_hWnd);
}
