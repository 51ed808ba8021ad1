// Window-level tests of CHexEditCtrl's layout, scroll bars, scroll messages
// and caret placement: real windows, real WM_SIZE/WM_HSCROLL/WM_VSCROLL
// messages, observed through GetScrollInfo, the window's scroll-bar styles
// and GetCaretPos.
#include "ControlTest.h"

#include <process.h>

#include <cstdio>
#include <string>

using qxtest::Pump;
using qxtest::TestHexEdit;
using qxtest::TestHost;

namespace {

class LayoutTest : public qxtest::CountingControlTest<TestHexEdit> {
protected:
    // The control places the system caret only while it has the focus (it
    // creates its caret then).
    void Focus()
    {
        ::SetForegroundWindow(host.hwnd());
        ::SetFocus(ctl.m_hWnd);
        Pump();
        ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
    }
    POINT Caret()
    {
        POINT pt = {-999, -999};
        ::GetCaretPos(&pt);
        return pt;
    }
};

// ---------------------------------------------------------------------------
// Measuring

TEST_F(LayoutTest, CellIsTheExtentOfAInTheFixedPitchFont)
{
    // The one cell font: 16 pixels, normal weight, fixed pitch, modern.
    CFont font;
    ASSERT_TRUE(ctl.CreateCellFont(&font));
    LOGFONTA lf = {};
    ASSERT_EQ(static_cast<int>(sizeof lf), ::GetObjectA(font.GetSafeHandle(), sizeof lf, &lf));
    EXPECT_EQ(16, lf.lfHeight);
    EXPECT_EQ(0, lf.lfWidth);
    EXPECT_EQ(FW_NORMAL, lf.lfWeight);
    EXPECT_EQ(0, lf.lfItalic);
    EXPECT_EQ(DEFAULT_CHARSET, lf.lfCharSet);
    EXPECT_EQ(FIXED_PITCH | FF_MODERN, lf.lfPitchAndFamily);
    EXPECT_EQ(0, lf.lfFaceName[0]);

    HDC hDC = ::GetDC(ctl.m_hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, font.GetSafeHandle());
    SIZE size = {};
    ::GetTextExtentPoint32A(hDC, "A", 1, &size);
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(ctl.m_hWnd, hDC);
    EXPECT_EQ(size.cx, ctl.m_sizeChar.cx);
    EXPECT_EQ(size.cy, ctl.m_sizeChar.cy);
    EXPECT_EQ(0, tm.tmPitchAndFamily & TMPF_FIXED_PITCH) << "a fixed-pitch face (the bit means variable)";
}

TEST_F(LayoutTest, VisibleCellsCountTheScrollBarsAsIfHidden)
{
    // 4096 bytes at 40 x 20 cells: both bars shown, yet the counts are those
    // of the whole area, bars included.
    ctl.SetLayoutCells(40, 20);
    EXPECT_TRUE(ctl.BarShown(SB_VERT));
    EXPECT_TRUE(ctl.BarShown(SB_HORZ));
    EXPECT_EQ(40, ctl.m_nVisCols);
    EXPECT_EQ(20, ctl.m_nVisRows);

    // Less than half a cell spare loses the column; a partial line is not a
    // line.
    ctl.SetLayoutArea(40 * cx + cx / 2 - 1, 20 * cy + cy - 1);
    EXPECT_EQ(39, ctl.m_nVisCols);
    EXPECT_EQ(20, ctl.m_nVisRows);

    // Without bars (a short block, all columns), the same formula.
    ctl.SetCounting(16);
    ctl.SetLayoutCells(85, 10);
    EXPECT_FALSE(ctl.BarShown(SB_VERT));
    EXPECT_FALSE(ctl.BarShown(SB_HORZ));
    EXPECT_EQ(85, ctl.m_nVisCols);
    EXPECT_EQ(10, ctl.m_nVisRows);
}

TEST_F(LayoutTest, TooSmallForOneCellGivesZeroCountsAndStillWorks)
{
    // A shown bar is counted as room, so the counts reach 0 only in the
    // direction whose bar is hidden. Lower than one cell, wide enough for
    // every column (no horizontal bar):
    ctl.SetLayoutCells(85, 20);
    ctl.SetLayoutArea(85 * cx, cy - 1);
    ASSERT_FALSE(ctl.BarShown(SB_HORZ));
    EXPECT_EQ(0, ctl.m_nVisRows);
    SCROLLINFO v = ctl.Bar(SB_VERT);
    EXPECT_TRUE(ctl.BarShown(SB_VERT));
    EXPECT_EQ(257, v.nMax);   // rows + 1
    EXPECT_EQ(0u, v.nPage);
    ctl.SendScroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(1, ctl.m_nFirstRow);

    // Narrower than one and a half cells, with a block that fits the
    // height (no vertical bar):
    ctl.SetCounting(16);
    ctl.SetLayoutCells(40, 10);
    ctl.SetLayoutArea(cx + cx / 2 - 1, 10 * cy);
    ASSERT_FALSE(ctl.BarShown(SB_VERT));
    EXPECT_EQ(0, ctl.m_nVisCols);
    EXPECT_EQ(10, ctl.m_nVisRows);
    SCROLLINFO h = ctl.Bar(SB_HORZ);
    EXPECT_EQ(78, h.nMax);
    EXPECT_EQ(0u, h.nPage);
    ctl.SendScroll(WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_EQ(0, ctl.m_nFirstCol);
    ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(1, ctl.m_nFirstCol);

    // Painting such a window works, and the cell measurement is unchanged
    // once it is usable again.
    ::InvalidateRect(ctl.m_hWnd, NULL, TRUE);
    ::UpdateWindow(ctl.m_hWnd);
    ctl.SetLayoutCells(40, 20);
    EXPECT_EQ(cx, ctl.m_sizeChar.cx);
    EXPECT_EQ(cy, ctl.m_sizeChar.cy);
    EXPECT_EQ(40, ctl.m_nVisCols);
    EXPECT_EQ(20, ctl.m_nVisRows);
}

TEST_F(LayoutTest, TooSmallForOneCellStopsAtTheBarsLastPosition)
{
    // A bar with a page of 0 stops at its maximum; the view must stop there
    // too, or its first row and the bar's position part.
    ctl.SetLayoutCells(85, 20);
    ctl.SetLayoutArea(85 * cx, cy - 1);
    ASSERT_EQ(0, ctl.m_nVisRows);
    for (int i = 0; i < 300; i++)
        ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(257, ctl.m_nFirstRow);   // rows + 1, the bar's maximum
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);
    ctl.m_nFirstRow = 0;
    ctl.m_nCaretPos = 3 * 4096 - 1;
    ctl.MoveCaret(0, 0, FALSE);
    EXPECT_EQ(257, ctl.m_nFirstRow);
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);

    ctl.SetCounting(16);
    ctl.SetLayoutCells(40, 10);
    ctl.SetLayoutArea(cx + cx / 2 - 1, 10 * cy);
    ASSERT_EQ(0, ctl.m_nVisCols);
    for (int i = 0; i < 100; i++)
        ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(78, ctl.m_nFirstCol);   // the bar's maximum
    EXPECT_EQ(ctl.m_nFirstCol, ctl.Bar(SB_HORZ).nPos);
}

TEST_F(LayoutTest, CaretOnTheRowBelowTheDataScrollsNoFurtherThanTheBar)
{
    // A click on the row below the last data row leaves the caret there;
    // keeping it in view (as the auto-scroll timer does, with no layout
    // after it) stops at the bar's last position.
    ctl.SetLayoutCells(40, 20);
    ctl.m_nCaretPos = 3 * 4096 + 5;   // row 256, below the 256 data rows
    ctl.EnsureCaretVisible();
    ctl.UpdateScrollBars();
    EXPECT_EQ(256 + 2 - 20, ctl.m_nFirstRow);
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);
}

TEST_F(LayoutTest, LayoutWithoutWindowDoesNothing)
{
    TestHexEdit loose;
    CByteArray a;
    a.SetSize(100);
    loose.SetData(&a);
    loose.RecalcLayout();
    EXPECT_EQ(100, loose.m_data.GetSize());
    EXPECT_EQ(0, loose.m_nVisCols);
    EXPECT_EQ(0, loose.m_sizeChar.cx);
}

// ---------------------------------------------------------------------------
// Vertical bar

TEST_F(LayoutTest, VerticalRecordFollowsTheRowsAndTheLines)
{
    ctl.SetLayoutCells(85, 20);

    // 4097 bytes: 257 rows, the last with one byte; 259 content lines.
    ctl.SetCounting(4097);
    EXPECT_EQ(257, ctl.GetRowCount());
    SCROLLINFO v = ctl.Bar(SB_VERT);
    EXPECT_TRUE(ctl.BarShown(SB_VERT));
    EXPECT_EQ(0, v.nMin);
    EXPECT_EQ(258, v.nMax);
    EXPECT_EQ(20u, v.nPage);
    EXPECT_EQ(0, v.nPos);

    // 160 bytes = 10 rows = 12 lines. Exactly 12 visible lines: hidden, the
    // record says nMax = visible - 1.
    ctl.SetCounting(160);
    ctl.SetLayoutCells(85, 12);
    EXPECT_FALSE(ctl.BarShown(SB_VERT));
    v = ctl.Bar(SB_VERT);
    EXPECT_EQ(11, v.nMax);
    EXPECT_EQ(12u, v.nPage);
    EXPECT_EQ(0, ctl.m_nFirstRow);

    // One line fewer: shown, nMax = rows + 1.
    ctl.SetLayoutCells(85, 11);
    EXPECT_TRUE(ctl.BarShown(SB_VERT));
    v = ctl.Bar(SB_VERT);
    EXPECT_EQ(11, v.nMax);
    EXPECT_EQ(11u, v.nPage);

    // And gone again when the window grows.
    ctl.SetLayoutCells(85, 30);
    EXPECT_FALSE(ctl.BarShown(SB_VERT));
    v = ctl.Bar(SB_VERT);
    EXPECT_EQ(29, v.nMax);
    EXPECT_EQ(30u, v.nPage);
}

TEST_F(LayoutTest, EmptyBlockHidesTheVerticalBarAndResetsTheRow)
{
    ctl.SetLayoutCells(85, 20);
    ctl.SendScroll(WM_VSCROLL, SB_PAGEDOWN);
    ASSERT_EQ(20, ctl.m_nFirstRow);
    ctl.SetCounting(0);
    EXPECT_FALSE(ctl.BarShown(SB_VERT));
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_EQ(0, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ(19, ctl.Bar(SB_VERT).nMax);
}

TEST_F(LayoutTest, LayoutClampsTheFirstRowToTheContent)
{
    ctl.SetLayoutCells(85, 20);
    ctl.m_nFirstRow = 1000;
    ctl.RecalcLayout();
    EXPECT_EQ(256 - 20 + 2, ctl.m_nFirstRow);
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);

    // A taller window pulls it back further.
    ctl.SetLayoutCells(85, 40);
    EXPECT_EQ(256 - 40 + 2, ctl.m_nFirstRow);
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);
}

TEST_F(LayoutTest, UpdateScrollBarsReportsBarsOutOfStep)
{
    ctl.SetLayoutCells(40, 20);
    EXPECT_FALSE(ctl.UpdateScrollBars());
    ctl.m_nFirstRow = 7;
    EXPECT_TRUE(ctl.UpdateScrollBars());
    EXPECT_EQ(7, ctl.Bar(SB_VERT).nPos);
    EXPECT_FALSE(ctl.UpdateScrollBars());
    ctl.m_nFirstCol = 5;
    EXPECT_TRUE(ctl.UpdateScrollBars());
    EXPECT_EQ(5, ctl.Bar(SB_HORZ).nPos);
    EXPECT_FALSE(ctl.UpdateScrollBars());
}

// ---------------------------------------------------------------------------
// Vertical scrolling

TEST_F(LayoutTest, LineAndPageStepsAndTheirClamps)
{
    // Both bars shown (40 columns): the handler's limit is rows - 20 + 3,
    // the layout's rows - 20 + 2.
    ctl.SetLayoutCells(40, 20);
    ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(1, ctl.m_nFirstRow);
    EXPECT_EQ(1, ctl.Bar(SB_VERT).nPos);
    ctl.SendScroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(21, ctl.m_nFirstRow);
    ctl.SendScroll(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(20, ctl.m_nFirstRow);
    ctl.SendScroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    ctl.SendScroll(WM_VSCROLL, SB_PAGEUP);
    ctl.SendScroll(WM_VSCROLL, SB_LINEUP);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_EQ(0, ctl.Bar(SB_VERT).nPos);

    for (int i = 0; i < 20; i++)
        ctl.SendScroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(238, ctl.m_nFirstRow);
    EXPECT_EQ(238, ctl.Bar(SB_VERT).nPos);
    ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(238, ctl.m_nFirstRow);

    // Codes that change nothing.
    for (UINT code : {SB_THUMBPOSITION, SB_TOP, SB_BOTTOM, SB_ENDSCROLL}) {
        ctl.SendScroll(WM_VSCROLL, code);
        EXPECT_EQ(238, ctl.m_nFirstRow) << code;
    }
}

TEST_F(LayoutTest, ScrollingDownWithTheHorizontalBarPlacesTheCaretOneLineFurther)
{
    // With the horizontal bar shown the handler lets the row reach
    // rows - visible + 3; the caret is placed with that row before the
    // layout pulls the row back to rows - visible + 2.
    Focus();
    ctl.SetLayoutCells(40, 20);
    ctl.m_nCaretPos = 255 * 48;   // first byte of the last row
    for (int i = 0; i < 20; i++)
        ctl.SendScroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(238, ctl.m_nFirstRow);
    EXPECT_EQ((255 - 239 + 2) * cy, Caret().y);

    // Without it (all columns fit) the limits agree.
    ctl.SetLayoutCells(85, 20);
    ASSERT_FALSE(ctl.BarShown(SB_HORZ));
    ctl.SendScroll(WM_VSCROLL, SB_PAGEUP);
    for (int i = 0; i < 20; i++)
        ctl.SendScroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(238, ctl.m_nFirstRow);
    EXPECT_EQ((255 - 238 + 2) * cy, Caret().y);
}

TEST_F(LayoutTest, VerticalThumbTrackTakesTheTrackPosition)
{
    // Outside a drag the bar reports its position as the track position,
    // so setting the position and sending SB_THUMBTRACK goes through the
    // handler's SIF_TRACKPOS read (a real drag is tested below).
    ctl.SetLayoutCells(85, 20);
    auto track = [&](int t) {
        ::SetScrollPos(ctl.m_hWnd, SB_VERT, t, TRUE);
        ctl.SendScroll(WM_VSCROLL, SB_THUMBTRACK);
        return ctl.m_nFirstRow;
    };
    EXPECT_EQ(5, track(5));
    EXPECT_EQ(20, track(20));     // up to the visible lines: as it is
    EXPECT_EQ(22, track(21));     // beyond: one more
    EXPECT_EQ(101, track(100));
    EXPECT_EQ(238, track(237));   // 238, the limit
    EXPECT_EQ(238, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ(0, track(0));
}

// ---------------------------------------------------------------------------
// Horizontal bar and scrolling

TEST_F(LayoutTest, SeventyNineColumnsHideTheHorizontalBar)
{
    ctl.SetLayoutCells(40, 20);
    ctl.SendScroll(WM_HSCROLL, SB_PAGERIGHT);
    ASSERT_EQ(39, ctl.m_nFirstCol);

    ctl.SetLayoutCells(79, 20);
    EXPECT_FALSE(ctl.BarShown(SB_HORZ));
    EXPECT_EQ(0, ctl.m_nFirstCol);
    SCROLLINFO h = ctl.Bar(SB_HORZ);
    EXPECT_EQ(78, h.nMax);
    EXPECT_EQ(79u, h.nPage);

    ctl.SetLayoutCells(78, 20);
    EXPECT_TRUE(ctl.BarShown(SB_HORZ));
    h = ctl.Bar(SB_HORZ);
    EXPECT_EQ(0, h.nMin);
    EXPECT_EQ(78, h.nMax);
    EXPECT_EQ(78u, h.nPage);
    EXPECT_EQ(0, h.nPos);
}

TEST_F(LayoutTest, SeventyEightColumnsScrollToTwoOrThreeWithTheVerticalBar)
{
    // Vertical bar shown (4096 bytes): the limit is 81 - 78.
    ctl.SetLayoutCells(78, 20);
    ASSERT_TRUE(ctl.BarShown(SB_VERT));
    for (int i = 0; i < 6; i++)
        ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(3, ctl.m_nFirstCol);

    // Vertical bar hidden (16 bytes): 80 - 78.
    ctl.SetCounting(16);
    ASSERT_FALSE(ctl.BarShown(SB_VERT));
    ctl.SendScroll(WM_HSCROLL, SB_PAGELEFT);
    EXPECT_EQ(0, ctl.m_nFirstCol);
    for (int i = 0; i < 6; i++)
        ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(2, ctl.m_nFirstCol);
    ctl.SendScroll(WM_HSCROLL, SB_LINELEFT);
    EXPECT_EQ(1, ctl.m_nFirstCol);
}

TEST_F(LayoutTest, FortyColumnsStopAtThirtyNine)
{
    ctl.SetLayoutCells(40, 20);
    int nLast = -1;
    for (int i = 0; i < 60; i++) {
        ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
        EXPECT_LE(ctl.m_nFirstCol, 39);
        EXPECT_GE(ctl.m_nFirstCol, nLast);
        nLast = ctl.m_nFirstCol;
    }
    EXPECT_EQ(39, ctl.m_nFirstCol);
    EXPECT_EQ(39, ctl.Bar(SB_HORZ).nPos);

    ctl.SendScroll(WM_HSCROLL, SB_PAGELEFT);
    EXPECT_EQ(0, ctl.m_nFirstCol);
    ctl.SendScroll(WM_HSCROLL, SB_LINELEFT);
    EXPECT_EQ(0, ctl.m_nFirstCol);
    ctl.SendScroll(WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_EQ(39, ctl.m_nFirstCol);
    for (UINT code : {SB_THUMBPOSITION, SB_LEFT, SB_RIGHT, SB_ENDSCROLL}) {
        ctl.SendScroll(WM_HSCROLL, code);
        EXPECT_EQ(39, ctl.m_nFirstCol) << code;
    }
}

TEST_F(LayoutTest, HorizontalThumbTrackTakesTheTrackPosition)
{
    ctl.SetLayoutCells(30, 20);
    auto track = [&](int t) {
        ::SetScrollPos(ctl.m_hWnd, SB_HORZ, t, TRUE);
        ctl.SendScroll(WM_HSCROLL, SB_THUMBTRACK);
        return ctl.m_nFirstCol;
    };
    EXPECT_EQ(12, track(12));
    EXPECT_EQ(30, track(30));
    EXPECT_EQ(32, track(31));
    EXPECT_EQ(49, track(49));   // 49 + 1, then 79 - 30 by the layout
    EXPECT_EQ(0, track(0));
}

TEST_F(LayoutTest, WideWindowNeverScrollsToANegativeColumn)
{
    // More than 81 columns: the bar is hidden, and a stray SB_LINERIGHT
    // leaves the view (and the caret) where they are.
    Focus();
    ctl.SetLayoutCells(100, 20);
    ASSERT_FALSE(ctl.BarShown(SB_HORZ));
    ctl.UpdateCaret();
    POINT before = Caret();
    ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    ctl.SendScroll(WM_HSCROLL, SB_PAGERIGHT);
    EXPECT_EQ(0, ctl.m_nFirstCol);
    EXPECT_EQ(before.x, Caret().x);
    EXPECT_EQ(10 * cx, Caret().x);
}

// A real drag of the vertical thumb: a second thread moves the mouse and
// presses the button with SendInput while this thread runs the scroll bar's
// tracking loop, which sends WM_VSCROLL SB_THUMBTRACK with live track
// positions.
struct DragPlan {
    POINT from, to;
};

unsigned __stdcall DragThread(void* p)
{
    const DragPlan& plan = *static_cast<DragPlan*>(p);
    auto move = [](POINT pt, DWORD flags) {
        qxtest::SendMouseAbsolute(pt, flags);
        ::Sleep(40);
    };
    move(plan.from, 0);
    move(plan.from, MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 8; i++) {
        POINT pt = {plan.from.x, plan.from.y + (plan.to.y - plan.from.y) * i / 8};
        move(pt, 0);
    }
    move(plan.to, MOUSEEVENTF_LEFTUP);
    return 0;
}

TEST_F(LayoutTest, DraggingTheVerticalThumbScrolls)
{
    ctl.SetLayoutCells(40, 20);
    ::SetForegroundWindow(host.hwnd());
    Pump();

    SCROLLBARINFO sbi = {};
    sbi.cbSize = sizeof(sbi);
    ASSERT_TRUE(::GetScrollBarInfo(ctl.m_hWnd, OBJID_VSCROLL, &sbi));
    RECT bar = sbi.rcScrollBar;   // screen coordinates
    POINT from = {(bar.left + bar.right) / 2, bar.top + sbi.xyThumbTop + (sbi.xyThumbBottom - sbi.xyThumbTop) / 2};
    POINT to = {from.x, from.y + (bar.bottom - bar.top) / 2};
    DragPlan plan = {from, to};

    HANDLE hThread = reinterpret_cast<HANDLE>(_beginthreadex(NULL, 0, DragThread, &plan, 0, NULL));
    ASSERT_NE(hThread, nullptr);
    while (::MsgWaitForMultipleObjects(1, &hThread, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        Pump();
    ::CloseHandle(hThread);
    for (int i = 0; i < 10; i++) {
        ::Sleep(20);
        Pump();
    }

    // Half the bar's height down a 258-line range: well into the content.
    EXPECT_GT(ctl.m_nFirstRow, 60);
    EXPECT_LT(ctl.m_nFirstRow, 200);
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);
}

TEST_F(LayoutTest, TheLayoutDependsOnlyOnTheFinalSize)
{
    // A window lower than the horizontal bar loses nothing to it, so the
    // room must not be taken from the client area and the bars the previous
    // layout showed. Each final size, reached from several earlier ones by a
    // fresh control, gives the same bars, view and picture.
    struct Area {
        int cx, cy;
    };
    const Area finals[] = {{737, 17}, {300, 17}, {737, 33}, {737, 30}, {300, 10}, {600, 400}};
    const Area earlier[] = {{564, 688}, {100, 17}, {900, 700}, {737, 17}, {10, 10}};
    auto record = [](TestHexEdit& c) {
        SCROLLINFO v = c.Bar(SB_VERT), h = c.Bar(SB_HORZ);
        char sz[200];
        std::snprintf(sz, sizeof sz, "bars %d %d, vert %d-%d page %u pos %d, horz %d-%d page %u pos %d, first %d %d",
                      c.BarShown(SB_VERT), c.BarShown(SB_HORZ), v.nMin, v.nMax, v.nPage, v.nPos, h.nMin, h.nMax,
                      h.nPage, h.nPos, c.m_nFirstRow, c.m_nFirstCol);
        return std::string(sz);
    };
    for (const Area& f : finals) {
        std::string want;
        qxtest::Picture wantPic;
        for (const Area& e : earlier) {
            TestHexEdit c;
            ASSERT_TRUE(c.CreateIn(host, 800, 600, 2));
            c.SetCounting(983408);
            c.SetLayoutArea(e.cx, e.cy);
            c.SetLayoutArea(f.cx, f.cy);
            std::string got = record(c);
            qxtest::Picture pic = qxtest::Picture::FromWindow(c.m_hWnd);
            if (want.empty()) {
                want = got;
                wantPic = pic;
                continue;
            }
            SCOPED_TRACE(testing::Message() << f.cx << "x" << f.cy << " after " << e.cx << "x" << e.cy);
            EXPECT_EQ(want, got);
            POINT pt = wantPic.FirstDifference(pic);
            EXPECT_EQ(-1, pt.x) << "the pictures differ at " << pt.x << ", " << pt.y;
        }
    }
    // An ordinary size keeps its counts: whole cells of the area, bars
    // included.
    ctl.SetLayoutArea(737, 300);
    EXPECT_EQ((737 - cx / 2) / cx, ctl.m_nVisCols);
    EXPECT_EQ(300 / cy, ctl.m_nVisRows);
}

// ---------------------------------------------------------------------------
// Caret placement

TEST_F(LayoutTest, UpdateCaretPlacesTheSystemCaretOnTheCell)
{
    Focus();
    ctl.SetLayoutCells(40, 20);

    ctl.m_nArea = 0;
    ctl.m_nCaretPos = 48 * 3 + 7;   // row 3, low digit of cell 2
    ctl.UpdateCaret();
    EXPECT_EQ((10 + 7) * cx, Caret().x);
    EXPECT_EQ((3 + 2) * cy, Caret().y);
    EXPECT_EQ(0x32, ctl.m_byteCur);

    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 16 * 5 + 9;
    ctl.UpdateCaret();
    EXPECT_EQ((62 + 9) * cx, Caret().x);
    EXPECT_EQ((5 + 2) * cy, Caret().y);
    EXPECT_EQ(0x59, ctl.m_byteCur);

    // Scrolled both ways; a cell off the client area is placed there anyway.
    ctl.m_nFirstCol = 20;
    ctl.m_nFirstRow = 10;
    ctl.m_nCaretPos = 16 * 4 + 1;
    ctl.UpdateCaret();
    EXPECT_EQ((62 + 1 - 20) * cx, Caret().x);
    EXPECT_EQ((4 - 10 + 2) * cy, Caret().y);

    // Past the end the byte reads as 0.
    ctl.SetCounting(20);
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 25;
    ctl.UpdateCaret();
    EXPECT_EQ(0, ctl.m_byteCur);
    EXPECT_EQ(25, ctl.GetCaretByteIndex());
    ctl.m_nArea = 0;
    ctl.m_nCaretPos = 3 * 19 + 2;
    EXPECT_EQ(19, ctl.GetCaretByteIndex());
    EXPECT_EQ(19, ctl.GetCaretByte());
    ctl.m_nCaretPos = 3 * 20;
    EXPECT_EQ(0, ctl.GetCaretByte());
}

TEST_F(LayoutTest, ScrollingReplacesTheCaretButNotItsPosition)
{
    Focus();
    ctl.SetLayoutCells(40, 20);
    ctl.m_nCaretPos = 48 * 4;
    ctl.UpdateCaret();
    ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(48 * 4, ctl.m_nCaretPos);
    EXPECT_EQ((4 - 1 + 2) * cy, Caret().y);
    ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ((10 - 1) * cx, Caret().x);
}

TEST_F(LayoutTest, WithoutTheFocusTheCaretIsAnotherWindowsAndStaysWhereItIs)
{
    // The system caret is the thread's: while another window has the focus,
    // scrolling the control, a release and a lost capture leave that
    // window's caret alone; the focus coming back places the control's.
    Focus();
    ctl.SetLayoutCells(40, 20);
    ctl.m_nCaretPos = 48 * 4 + 3;
    ctl.UpdateCaret();
    HWND hOther = ::CreateWindowExA(0, "edit", "some text", WS_CHILD | WS_VISIBLE, 0, 700, 200, 20, host.hwnd(),
                                    NULL, ::GetModuleHandleA(NULL), NULL);
    ::SetFocus(hOther);
    ::SendMessageA(hOther, EM_SETSEL, 4, 4);
    Pump();
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    const POINT before = Caret();
    auto expectOthersCaret = [&](const char* pszAfter) {
        SCOPED_TRACE(pszAfter);
        ::GetGUIThreadInfo(::GetCurrentThreadId(), &gti);
        EXPECT_EQ(hOther, gti.hwndCaret);
        EXPECT_EQ(before.x, Caret().x);
        EXPECT_EQ(before.y, Caret().y);
    };
    ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
    expectOthersCaret("a vertical scroll");
    ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    expectOthersCaret("a horizontal scroll");
    ::SendMessageA(ctl.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    Pump();
    expectOthersCaret("a release");
    // A drag the control began, then another window took the focus and
    // the capture.
    ::SendMessageA(ctl.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM((10 - 1) * cx + 1, 3 * cy + 1));
    Pump();
    ::SetFocus(hOther);
    ::SendMessageA(hOther, EM_SETSEL, 4, 4);
    ::SetCapture(hOther);
    ::ReleaseCapture();
    Pump();
    expectOthersCaret("a lost capture");
    EXPECT_EQ(1, ctl.m_nFirstRow);
    EXPECT_EQ(1, ctl.m_nFirstCol);

    ::SetFocus(ctl.m_hWnd);
    Pump();
    EXPECT_EQ((10 + (ctl.m_nCaretPos % 48) - 1) * cx, Caret().x);
    EXPECT_EQ((ctl.m_nCaretPos / 48 + 2 - 1) * cy, Caret().y);
    ::DestroyWindow(hOther);
}

TEST_F(LayoutTest, MovingUpFromLineThreeScrollsOneLine)
{
    Focus();
    ctl.SetLayoutCells(40, 20);
    ctl.m_nFirstRow = 10;
    ctl.m_nCaretPos = 11 * 48;   // screen line 3
    ctl.UpdateCaret();
    ctl.MoveCaret(0, -1, FALSE);
    EXPECT_EQ(10 * 48, ctl.m_nCaretPos);
    EXPECT_EQ(9, ctl.m_nFirstRow);
    EXPECT_EQ(9, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ(3 * cy, Caret().y);

    // On line 3 itself (below line 2) nothing scrolls.
    ctl.MoveCaret(0, 1, FALSE);
    EXPECT_EQ(9, ctl.m_nFirstRow);
    EXPECT_EQ(4 * cy, Caret().y);
}

TEST_F(LayoutTest, MovingAboveTheWindowMakesTheCaretsRowTheFirstRow)
{
    Focus();
    ctl.SetLayoutCells(40, 20);
    ctl.m_nFirstRow = 20;
    ctl.m_nCaretPos = 23 * 48 + 5;   // screen line 5
    ctl.MoveCaret(0, -10, FALSE);
    EXPECT_EQ(13 * 48 + 5, ctl.m_nCaretPos);
    EXPECT_EQ(13, ctl.m_nFirstRow) << "the caret's line on screen line 2, not the top of the content";
    EXPECT_EQ(13, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ(2 * cy, Caret().y);

    // Onto row 0: the top of the content, as before.
    ctl.m_nFirstRow = 12;
    ctl.m_nCaretPos = 12 * 48 + 5;
    ctl.MoveCaret(0, -12, FALSE);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_EQ(0, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ(2 * cy, Caret().y);
}

TEST_F(LayoutTest, MovingBelowTheLastWholeLineScrollsJustEnough)
{
    Focus();
    ctl.SetLayoutCells(40, 20);
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 3;
    ctl.MoveCaret(0, 30, FALSE);
    EXPECT_EQ(30 * 16 + 3, ctl.m_nCaretPos);
    EXPECT_EQ(30 + 3 - 20, ctl.m_nFirstRow);
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ(19 * cy, Caret().y);   // the last whole line
    EXPECT_EQ((62 + 3) * cx, Caret().x);

    // Further down within the window: no scrolling.
    ctl.MoveCaret(0, -5, FALSE);
    EXPECT_EQ(13, ctl.m_nFirstRow);
    EXPECT_EQ(14 * cy, Caret().y);
}

TEST_F(LayoutTest, MoveCaretClampsToTheDataInBothColumns)
{
    Focus();
    ctl.SetLayoutCells(40, 20);
    ctl.SetCounting(100);

    ctl.m_nArea = 0;
    ctl.m_nCaretPos = 4;
    ctl.MoveCaret(-10, 0, FALSE);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    ctl.MoveCaret(0, -3, TRUE);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    ctl.MoveCaret(0, 50, FALSE);
    EXPECT_EQ(3 * 100 - 1, ctl.m_nCaretPos);   // the blank after the last byte
    EXPECT_EQ(99, ctl.GetCaretByteIndex());
    EXPECT_EQ(99, ctl.m_byteCur);
    ctl.MoveCaret(1, 0, FALSE);
    EXPECT_EQ(3 * 100 - 1, ctl.m_nCaretPos);
    ctl.MoveCaret(-1, 0, FALSE);
    EXPECT_EQ(3 * 100 - 2, ctl.m_nCaretPos);

    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 2;
    ctl.MoveCaret(-5, 0, FALSE);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    ctl.MoveCaret(0, 100, FALSE);
    EXPECT_EQ(99, ctl.m_nCaretPos);
    EXPECT_EQ((62 + 3) * cx, Caret().x);
    EXPECT_EQ((6 - ctl.m_nFirstRow + 2) * cy, Caret().y);
    ctl.MoveCaret(1, 0, FALSE);
    EXPECT_EQ(99, ctl.m_nCaretPos);
}

TEST_F(LayoutTest, CaretOnAnEmptyBlockReadsZero)
{
    // A caret left anywhere by an earlier block reads 0 once the block is
    // empty, in either column, and the view stays at the top.
    ctl.SetCounting(0);
    for (int area : {0, 1}) {
        ctl.m_nArea = area;
        for (int pos : {-1, 0, 5, 3000}) {
            ctl.m_nCaretPos = pos;
            EXPECT_EQ(0, ctl.GetCaretByte()) << area << " " << pos;
        }
    }
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 40;
    ctl.UpdateCaret();
    EXPECT_EQ(0, ctl.m_byteCur);
    EXPECT_EQ(0, ctl.m_nFirstRow);
}

} // namespace
