// BenchMouse.cpp - the mouse's figures: a drag move and an auto-scroll tick
// to the end of their paints, each timed in turns with its floor.
//
// Both run over one block of 800 MiB or more (hex positions past byte
// 715,827,882 need 64 bits), near its end or in its middle.
#include "Bench.h"

#include <cstdio>

namespace {

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

// The control filled with 1 GiB, or 800 MiB when that cannot be had; the
// block's size in MiB, 0 when neither can be had.
int SetMouseBlock(Bench& b)
{
    for (long long n : {1LL << 30, 800LL << 20}) {
        if (b.ctl.SetCounting(static_cast<int>(n))) {
            Pump();
            return static_cast<int>(n >> 20);
        }
    }
    b.ctl.SetCounting(4096);
    return 0;
}

// The middle of a cell, in client pixels.
POINT Cell(const BenchHexEdit& ctl, int nCol, int nLine)
{
    return POINT{nCol * ctl.m_sizeChar.cx + ctl.m_sizeChar.cx / 2, nLine * ctl.m_sizeChar.cy + ctl.m_sizeChar.cy / 2};
}

} // namespace

// Drag: pressed on a hex cell, then moved back and forth between a hex and
// a character cell further down, every move changing the selection; in
// turns with one paint of the same picture and the move's handler alone.
void BenchDragMove(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    const int nMiB = SetMouseBlock(b);
    if (nMiB == 0) {
        PrintNote("drag move", "not run: no block of 800 MiB or more could be allocated");
        AddNotRun("drag move to painted / paint", "<= 1.2");
        return;
    }
    const HWND hWnd = ctl.m_hWnd;
    ctl.m_nFirstRow = ctl.GetRowCount() - ctl.m_nVisRows - 10;
    ctl.RecalcLayout();
    Pump();
    SendAndPump(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, Cell(ctl, 10 + 3 * 2, 10));
    int nMove = 0, nHandler = 0;
    POINT ptLast = Cell(ctl, 62 + 5, 30);
    std::vector<std::vector<double>> v;
    std::vector<Stats> s = MeasureInTurns(
        b.nRuns,
        {[&] {
             ptLast = (nMove++ & 1) ? Cell(ctl, 10 + 3 * 9, 20) : Cell(ctl, 62 + 5, 30);
             PostAndPump(hWnd, WM_MOUSEMOVE, MK_LBUTTON, ptLast);
         },
         [&] { PaintOnce(hWnd); },
         // The handler alone (its paint left out) shows where a difference
         // goes: one or two lines below the last move, in turn, so that
         // the selection changes also when it runs twice in a row.
         [&] {
             const int y = ptLast.y + (1 + (nHandler++ & 1)) * ctl.m_sizeChar.cy;
             ::SendMessageA(hWnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(ptLast.x, y));
             ::ValidateRect(hWnd, NULL);
         }},
        &v);
    SendAndPump(hWnd, WM_LBUTTONUP, 0, Cell(ctl, 62 + 5, 30));

    char name[96];
    std::snprintf(name, sizeof name, "drag move (WM_MOUSEMOVE) -> painted, %d MiB", nMiB);
    PrintRow(name, s[0]);
    PrintRow("  paint, same picture", s[1]);
    PrintRow("  WM_MOUSEMOVE handler alone, no paint", s[2]);
    AddTurnsRatio("drag move to painted / paint", v[0], v[1], "<= 1.2");
    ctl.SetCounting(4096);
    Pump();
}

// Auto-scroll: pressed, then the pointer two lines below the window. The
// control's own timer is stopped (and the edit class's), so that the only
// ticks are the ones posted here, each scrolling a few rows down; in turns
// with one paint and one move of the thumb.
void BenchAutoScroll(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    const int nMiB = SetMouseBlock(b);
    if (nMiB == 0) {
        PrintNote("auto-scroll tick", "not run: no block of 800 MiB or more could be allocated");
        AddNotRun("auto-scroll tick to painted / (paint + thumb move)", "<= 1.2");
        return;
    }
    const HWND hWnd = ctl.m_hWnd;
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    ctl.m_nFirstRow = ctl.GetRowCount() / 2;
    ctl.RecalcLayout();
    Pump();
    SendAndPump(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, Cell(ctl, 10 + 3 * 4, 10));
    const POINT below = {(10 + 3 * 6) * ctl.m_sizeChar.cx + ctl.m_sizeChar.cx / 2, rc.bottom + 2 * ctl.m_sizeChar.cy};
    SendAndPump(hWnd, WM_MOUSEMOVE, MK_LBUTTON, below);
    ::KillTimer(hWnd, 1);
    ::KillTimer(hWnd, 0);
    const int nFirstRowBefore = ctl.m_nFirstRow;
    int nTicks = 0;
    std::vector<std::vector<double>> v;
    std::vector<Stats> s = MeasureInTurns(
        b.nRuns,
        {[&] {
             nTicks++;
             PostAndPump(hWnd, WM_TIMER, 1, POINT{0, 0});
         },
         [&] { PaintOnce(hWnd); },
         // The thumb a step back (two when it is there already), so that
         // this move and the next tick's are real ones.
         [&] {
             int nPos = ctl.m_nFirstRow - 1;
             if (::GetScrollPos(hWnd, SB_VERT) == nPos)
                 nPos--;
             ::SetScrollPos(hWnd, SB_VERT, nPos, TRUE);
         }},
        &v);
    const int nRowsScrolled = ctl.m_nFirstRow - nFirstRowBefore;
    SendAndPump(hWnd, WM_LBUTTONUP, 0, below);

    char name[96];
    std::snprintf(name, sizeof name, "auto-scroll tick (WM_TIMER 1) -> painted, %d MiB", nMiB);
    PrintRow(name, s[0]);
    PrintRow("  paint, same picture", s[1]);
    PrintRow("  SetScrollPos moving the thumb, redraw TRUE", s[2]);
    std::snprintf(name, sizeof name, "%d rows in %d ticks", nRowsScrolled, nTicks);
    PrintNote("", name);
    std::vector<double> floor;
    for (size_t i = 0; i < v[1].size() && i < v[2].size(); i++)
        floor.push_back(v[1][i] + v[2][i]);
    AddTurnsRatio("auto-scroll tick to painted / (paint + thumb move)", v[0], floor, "<= 1.2");
    ctl.SetCounting(4096);
    Pump();
}
