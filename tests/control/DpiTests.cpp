// Window-level tests of CHexEditCtrl at the screen's DPI and across a change
// of it: the scaled cell font, the layout and scroll ranges it gives, a click
// at a cell's centre, the caret's size, the picture, and what a
// WM_DPICHANGED_AFTERPARENT does.
//
// The DPI is the prefix's (Wine reads HKCU\Control Panel\Desktop LogPixels
// when a process starts): the ordinary run has 96, and the control_tests_dpi
// test runs this suite again at 120, 144 and 192 with QX_TEST_DPI naming the
// one expected. A change while the window lives, which Wine cannot make,
// comes through the tests' DPI hook (control/HexEditDpiHooks.h).
#include "ControlTest.h"
#include "HexEditDpiHooks.h"

#include <algorithm>
#include <cstdlib>

using qxtest::Pump;
using qxtest::TestHexEdit;

namespace {

// The DPI this run's prefix was set to.
int ExpectedDpi()
{
    const char* psz = std::getenv("QX_TEST_DPI");
    return psz != nullptr && std::atoi(psz) > 0 ? std::atoi(psz) : 96;
}

// The DPI the system gives a window (0 where it has no DPI per window).
UINT SystemDpiOf(HWND hWnd)
{
    typedef UINT(WINAPI * Proc)(HWND);
    FARPROC p = ::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    return p != NULL ? reinterpret_cast<Proc>(reinterpret_cast<void*>(p))(hWnd) : 0;
}

// The extent of "A" and the cell height of the control's font at nDpi, as a
// host would measure them.
SIZE CellAt(int nDpi, int* pHeight)
{
    CFont font;
    font.CreateFont(::MulDiv(16, nDpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, NULL);
    HDC hDC = ::GetDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hDC, font.GetSafeHandle());
    SIZE size = {0, 0};
    ::GetTextExtentPoint32A(hDC, "A", 1, &size);
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(NULL, hDC);
    font.DeleteObject();
    *pHeight = tm.tmHeight;
    return size;
}

// The system caret's rectangle (client coordinates of its window).
RECT CaretRect()
{
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof(gti);
    ::GetGUIThreadInfo(::GetCurrentThreadId(), &gti);
    return gti.rcCaret;
}

// The window DPI the hook answers while one is set.
int g_nHookedDpi = 96;
UINT HookedDpi(HWND) { return static_cast<UINT>(g_nHookedDpi); }

class DpiTest : public qxtest::CountingControlTest<TestHexEdit> {
protected:
    // Room for 79 columns of the largest cells: a control reaching past its
    // host would be clipped, and its picture with it.
    DpiTest() : CountingControlTest(2400, 1300) {}

    // A DPI-aware host, as QXEdit is: the system then tells its windows the
    // screen's DPI instead of 96.
    static void SetUpTestSuite()
    {
        typedef BOOL(WINAPI * Proc)(DPI_AWARENESS_CONTEXT);
        FARPROC p = ::GetProcAddress(::GetModuleHandleA("user32.dll"), "SetProcessDpiAwarenessContext");
        if (p != NULL)
            reinterpret_cast<Proc>(reinterpret_cast<void*>(p))(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
    void TearDown() override { HexEditDpiHooks::pfnWindowDpi = nullptr; }

    void Focus()
    {
        ::SetForegroundWindow(host.hwnd());
        ::SetFocus(ctl.m_hWnd);
        Pump();
        ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
    }
    void Click(int x, int y)
    {
        ::SendMessageA(ctl.m_hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::SendMessageA(ctl.m_hWnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        Pump();
    }
    static POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
};

// ---------------------------------------------------------------------------
// At the screen's DPI

TEST_F(DpiTest, TheCellFontLayoutAndScrollRangesFollowTheScreensDpi)
{
    // The run is at the DPI it was set up for, or it would test nothing.
    const int nDpi = ExpectedDpi();
    ASSERT_EQ(static_cast<UINT>(nDpi), SystemDpiOf(ctl.m_hWnd));

    int nHeight = 0;
    const SIZE cell = CellAt(nDpi, &nHeight);
    // A font asked for n pixels may come out a pixel short of them.
    EXPECT_NEAR(::MulDiv(16, nDpi, 96), nHeight, 1);
    EXPECT_EQ(cell.cx, ctl.m_sizeChar.cx);
    EXPECT_EQ(cell.cy, ctl.m_sizeChar.cy);
    if (nDpi == 96) {
        EXPECT_EQ(8, ctl.m_sizeChar.cx);   // DejaVu Sans Mono, as every pixel test assumes
        EXPECT_EQ(16, ctl.m_sizeChar.cy);
    }

    // 40 columns and 20 lines of the scaled cell (and half a column spare).
    ctl.SetLayoutArea(40 * cell.cx + cell.cx / 2, 20 * cell.cy);
    EXPECT_EQ(40, ctl.m_nVisCols);
    EXPECT_EQ(20, ctl.m_nVisRows);
    SCROLLINFO v = ctl.Bar(SB_VERT), h = ctl.Bar(SB_HORZ);
    EXPECT_EQ(256 + 2 - 1, v.nMax);
    EXPECT_EQ(20u, v.nPage);
    EXPECT_EQ(78, h.nMax);
    EXPECT_EQ(40u, h.nPage);
    // One pixel short of a column or a line loses it.
    ctl.SetLayoutArea(40 * cell.cx + cell.cx / 2 - 1, 20 * cell.cy - 1);
    EXPECT_EQ(39, ctl.m_nVisCols);
    EXPECT_EQ(19, ctl.m_nVisRows);
    EXPECT_EQ(19u, ctl.Bar(SB_VERT).nPage);

    // A page step goes by the scaled lines, and the last page ends at the
    // last row.
    ctl.SendScroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(19, ctl.m_nFirstRow);
    for (int i = 0; i < 20; i++)
        ctl.SendScroll(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(256 + 2 - 19, ctl.m_nFirstRow);
}

TEST_F(DpiTest, AClickAtACellsCentreTakesItsByteTheCaretHasTheCellsSizeAndThePictureItsFont)
{
    ctl.SetLayoutCells(79, 20);
    Focus();
    const SIZE cell = ctl.m_sizeChar;

    // Hex cell 7 of row 5, character cell 2 of row 3.
    POINT pt = Centre(ctl.HexCellRect(5, 7));
    Click(pt.x, pt.y);
    EXPECT_EQ(0, ctl.m_nArea);
    EXPECT_EQ(5 * 16 + 7, ctl.GetCaretOffset());
    pt = Centre(ctl.CharCellRect(3, 2));
    Click(pt.x, pt.y);
    EXPECT_EQ(1, ctl.m_nArea);
    EXPECT_EQ(3 * 16 + 2, ctl.GetCaretOffset());

    // The caret covers that cell.
    const RECT rcCell = ctl.CharCellRect(3, 2);
    const RECT rcCaret = CaretRect();
    EXPECT_EQ(rcCell.left, rcCaret.left);
    EXPECT_EQ(rcCell.top, rcCaret.top);
    EXPECT_EQ(cell.cx, rcCaret.right - rcCaret.left);
    EXPECT_EQ(cell.cy, rcCaret.bottom - rcCaret.top);

    // The picture is drawn in the scaled font: it equals the one drawn item
    // by item at this DPI, and a hex cell's ground fills its whole height.
    ::HideCaret(ctl.m_hWnd);
    const qxtest::Picture shown = qxtest::Picture::FromWindow(ctl.m_hWnd);
    const POINT d = shown.FirstDifference(ctl.PaintPerItem());
    EXPECT_EQ(-1, d.x) << "first difference at (" << d.x << ", " << d.y << ")";
    const RECT rcHex = ctl.HexCellRect(6, 0);
    EXPECT_TRUE(shown.Shows(rcHex, ctl.m_clrHexBk, ctl.m_clrHexText));
    EXPECT_TRUE(shown.All(RECT{rcHex.left, rcHex.bottom - 1, rcHex.right, rcHex.bottom}, ctl.m_clrHexBk));
    ::ShowCaret(ctl.m_hWnd);
}

// ---------------------------------------------------------------------------
// A change of the window's DPI

TEST_F(DpiTest, ADpiChangeTakesTheNewFontLayoutAndCaretAndKeepsTheCaretsByteInView)
{
    const int nOld = ExpectedDpi();
    const int nNew = nOld >= 144 ? 96 : 192;
    int nHeight = 0;
    const SIZE newCell = CellAt(nNew, &nHeight);

    // The last character of row 128, in a window of 79 columns and 20 lines
    // at the old DPI: in view there, out of it at the new DPI's cells when
    // they are larger.
    const SIZE oldCell = ctl.m_sizeChar;
    const SIZE area = {79 * oldCell.cx + oldCell.cx / 2, 20 * oldCell.cy};
    ctl.SetLayoutArea(area.cx, area.cy);
    RECT rcWnd;
    ::GetWindowRect(ctl.m_hWnd, &rcWnd);
    Focus();
    ASSERT_TRUE(ctl.SetCaretOffset(128 * 16 + 15));
    POINT pt = Centre(ctl.CharCellRect(128, 15));
    Click(pt.x, pt.y);
    ASSERT_EQ(1, ctl.m_nArea);
    ASSERT_EQ(128 * 16 + 15, ctl.GetCaretOffset());

    g_nHookedDpi = nNew;
    HexEditDpiHooks::pfnWindowDpi = HookedDpi;
    ::SendMessageA(ctl.m_hWnd, WM_DPICHANGED_AFTERPARENT, 0, 0);
    Pump();

    // The new cell, and the counts and bars of the same window in it.
    EXPECT_EQ(newCell.cx, ctl.m_sizeChar.cx);
    EXPECT_EQ(newCell.cy, ctl.m_sizeChar.cy);
    RECT rcAfter;
    ::GetWindowRect(ctl.m_hWnd, &rcAfter);
    ASSERT_EQ(rcWnd.right - rcWnd.left, rcAfter.right - rcAfter.left);
    EXPECT_EQ((area.cx - newCell.cx / 2) / newCell.cx, ctl.m_nVisCols);
    EXPECT_EQ(area.cy / newCell.cy, ctl.m_nVisRows);
    EXPECT_EQ(static_cast<UINT>(ctl.m_nVisRows), ctl.Bar(SB_VERT).nPage);
    // (A page larger than the 79 columns is cut to them.)
    EXPECT_EQ(static_cast<UINT>(std::min(ctl.m_nVisCols, 79)), ctl.Bar(SB_HORZ).nPage);

    // The caret's byte is in view: its row among the whole lines, its
    // column among the visible ones, and the bars at the new positions.
    const int nLine = 128 + 2 - ctl.m_nFirstRow;
    EXPECT_GE(nLine, 2);
    EXPECT_LT(nLine, ctl.m_nVisRows);
    EXPECT_LE(ctl.m_nFirstCol, 62 + 15);
    EXPECT_LT(62 + 15, ctl.m_nFirstCol + ctl.m_nVisCols);
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ(ctl.m_nFirstCol, ctl.Bar(SB_HORZ).nPos);
    EXPECT_EQ(128 * 16 + 15, ctl.GetCaretOffset());

    // The caret was made anew at the new cell's size, on the byte's cell.
    const RECT rcCell = ctl.CharCellRect(128, 15);
    const RECT rcCaret = CaretRect();
    EXPECT_EQ(rcCell.left, rcCaret.left);
    EXPECT_EQ(rcCell.top, rcCaret.top);
    EXPECT_EQ(newCell.cx, rcCaret.right - rcCaret.left);
    EXPECT_EQ(newCell.cy, rcCaret.bottom - rcCaret.top);

    // And the picture is that of the new font.
    ::HideCaret(ctl.m_hWnd);
    const POINT d = qxtest::Picture::FromWindow(ctl.m_hWnd).FirstDifference(ctl.PaintPerItem());
    EXPECT_EQ(-1, d.x) << "first difference at (" << d.x << ", " << d.y << ")";
    ::ShowCaret(ctl.m_hWnd);
}

} // namespace
