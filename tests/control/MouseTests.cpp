// Window-level tests of CHexEditCtrl's mouse side: clicks, drags, Shift+press,
// double-clicks, the suppressed context menu, auto-scroll with real timer
// ticks, the end of a drag when the capture goes elsewhere, the wheel, and
// the cursor while a file operation runs.
// Real mouse messages in client coordinates go to a real window; what is
// checked is what a person meets: the caret's cell (GetCaretPos) and whether
// it shows (the inverted cell on the screen), the selection as painted, the
// bytes, the focus, the capture and the scroll position.
#include "ControlTest.h"
#include "HexEditFileHooks.h"
#include "TestFiles.h"

#include <cstring>
#include <vector>

using qxtest::Picture;
using qxtest::Pump;
using qxtest::TestHexEdit;
using qxtest::TestHost;

namespace {

const UINT_PTR kAutoScrollTimer = 1;

using MouseHexEdit = TestHexEdit;

class MouseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The real pointer rests far from the windows, so that no move the
        // system makes up lands in the control.
        ::SetCursorPos(2400, 1400);
        // A caret that stays on between blinks for the whole test, so that
        // a shown caret can be seen on the screen.
        nBlink = ::GetCaretBlinkTime();
        ::SetCaretBlinkTime(20000);
        ASSERT_TRUE(ctl.CreateIn(host, 900, 600));
        ctl.SetCounting(4096);
        ASSERT_GT(ctl.m_sizeChar.cx, 0);
        cx = ctl.m_sizeChar.cx;
        cy = ctl.m_sizeChar.cy;
        ::SetFocus(host.hwnd());
        Pump();
    }
    void TearDown() override
    {
        ::ReleaseCapture();
        ::SetCaretBlinkTime(nBlink);
        Pump();
    }

    // Client point in the middle of content column nCol on data row nRow,
    // with the current scroll position.
    POINT At(int nCol, int nRow) const
    {
        return POINT{(nCol - ctl.m_nFirstCol) * cx + cx / 2, (nRow + 2 - ctl.m_nFirstRow) * cy + cy / 2};
    }
    // Hex cell: column 10 + 3 * byte + digit; character cell: column 62 + byte.
    POINT Hex(int nRow, int nByte, int nDigit = 0) const { return At(10 + 3 * nByte + nDigit, nRow); }
    POINT Chr(int nRow, int nByte) const { return At(62 + nByte, nRow); }

    void Send(UINT nMsg, UINT nFlags, POINT pt)
    {
        ::SendMessageA(ctl.m_hWnd, nMsg, nFlags, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
        Pump();
    }
    void Press(POINT pt, UINT nFlags = 0) { Send(WM_LBUTTONDOWN, MK_LBUTTON | nFlags, pt); }
    void Move(POINT pt) { Send(WM_MOUSEMOVE, MK_LBUTTON, pt); }
    void Release(POINT pt) { Send(WM_LBUTTONUP, 0, pt); }
    void Click(POINT pt, UINT nFlags = 0)
    {
        Press(pt, nFlags);
        Release(pt);
    }
    void DoubleClick(POINT pt)
    {
        Click(pt);
        Send(WM_LBUTTONDBLCLK, MK_LBUTTON, pt);
        Release(pt);
    }
    void Drag(POINT from, POINT to)
    {
        Press(from);
        Move(to);
        Release(to);
    }
    void Key(UINT vk)
    {
        ::SendMessageA(ctl.m_hWnd, WM_KEYDOWN, vk, 1);
        Pump();
    }
    void Type(char ch)
    {
        ::SendMessageA(ctl.m_hWnd, WM_CHAR, static_cast<BYTE>(ch), 1);
        Pump();
    }

    // Pumps messages for nMs milliseconds; returns the first row seen after
    // each auto-scroll tick of the control.
    std::vector<int> PumpTicks(int nMs)
    {
        std::vector<int> rows;
        DWORD tEnd = ::GetTickCount() + nMs;
        while (static_cast<LONG>(::GetTickCount() - tEnd) < 0) {
            MSG msg;
            if (!::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
                ::Sleep(2);
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            if (msg.message == WM_TIMER && msg.hwnd == ctl.m_hWnd && msg.wParam == kAutoScrollTimer)
                rows.push_back(ctl.m_nFirstRow);
        }
        Pump();
        return rows;
    }

    POINT CaretPos() const
    {
        POINT pt = {-999, -999};
        ::GetCaretPos(&pt);
        return pt;
    }
    POINT CellPixel(int nCol, int nRow) const
    {
        return POINT{(nCol - ctl.m_nFirstCol) * cx, (nRow + 2 - ctl.m_nFirstRow) * cy};
    }
    // The screen as it is, without a repaint: a shown caret inverts its
    // cell, so the yellow of a hex cell turns blue, the highlight of a
    // selected one its inverse.
    bool CaretShownOnHexCell(int nRow, int nCell)
    {
        Picture pic = Picture::Shown(ctl.m_hWnd);
        POINT pt = CellPixel(10 + nCell, nRow);
        RECT cell = {pt.x, pt.y, pt.x + cx, pt.y + cy};
        const COLORREF hiInverse = ~::GetSysColor(COLOR_HIGHLIGHT) & 0xFFFFFF;
        return pic.Count(cell, RGB(0, 0, 255)) + pic.Count(cell, hiInverse) > cx * cy / 2;
    }
    // Which bytes of row 0 are painted as selected.
    std::vector<int> PaintedSelectedBytes()
    {
        Picture pic = Picture::FromWindow(ctl.m_hWnd);
        COLORREF hiBk = ::GetSysColor(COLOR_HIGHLIGHT);
        std::vector<int> bytes;
        for (int b = 0; b < 16; b++) {
            // The blank after the byte, from its third pixel (the low
            // digit's ink may reach into it).
            RECT blank = ctl.CellRect(10 + 3 * b + 2, 2);
            blank.left += 2;
            if (pic.All(blank, hiBk))
                bytes.push_back(b);
        }
        return bytes;
    }
    std::vector<BYTE> Bytes() const
    {
        return std::vector<BYTE>(ctl.m_data.GetData(), ctl.m_data.GetData() + ctl.m_data.GetSize());
    }
    void ScrollTo(int nFirstRow)
    {
        ctl.m_nFirstRow = nFirstRow;
        ctl.RecalcLayout();
        Pump();
    }

    TestHost host;
    MouseHexEdit ctl;
    int cx = 0, cy = 0;
    UINT nBlink = 500;
};

// Should a menu open, its modal loop runs this timer, which notes it and
// closes it again.
bool g_bMenuSeen = false;
void CALLBACK CloseAnyMenu(HWND, UINT, UINT_PTR, DWORD)
{
    if (::FindWindowA("#32768", NULL) != NULL && ::IsWindowVisible(::FindWindowA("#32768", NULL))) {
        g_bMenuSeen = true;
        ::EndMenu();
    }
}

using Sel = std::pair<LONGLONG, LONGLONG>;
Sel SelOf(const MouseHexEdit& c) { return Sel(c.m_nSelStart, c.m_nSelEnd); }

// ---------------------------------------------------------------------------
// Clicks

TEST_F(MouseTest, ClickPlacesTheCaretInEitherColumnTakesTheFocusAndDropsTheSelection)
{
    ctl.m_nSelStart = 3;
    ctl.m_nSelEnd = 20;
    // Low digit of byte 5 on row 1.
    Press(Hex(1, 5, 1));
    EXPECT_EQ(ctl.m_hWnd, ::GetFocus()) << "the press gives the control the focus";
    EXPECT_EQ(ctl.m_hWnd, ::GetCapture());
    EXPECT_EQ(Sel(-1, -1), SelOf(ctl));
    EXPECT_FALSE(CaretShownOnHexCell(1, 16)) << "the caret stays hidden while the button is held";
    Release(Hex(1, 5, 1));
    EXPECT_EQ(NULL, ::GetCapture());
    EXPECT_EQ(0, ctl.m_nArea);
    EXPECT_EQ(48 + 16, ctl.m_nCaretPos);
    EXPECT_EQ(Sel(-1, -1), SelOf(ctl)) << "a plain click leaves no selection";
    POINT pt = CaretPos(), want = CellPixel(26, 1);
    EXPECT_EQ(want.x, pt.x);
    EXPECT_EQ(want.y, pt.y);
    EXPECT_TRUE(CaretShownOnHexCell(1, 16)) << "the release shows the caret on its cell";
    EXPECT_EQ(0x15, ctl.m_byteCur);

    // Byte 7 of row 2 in the character column.
    Click(Chr(2, 7));
    EXPECT_EQ(1, ctl.m_nArea);
    EXPECT_EQ(39, ctl.m_nCaretPos);
    pt = CaretPos();
    want = CellPixel(69, 2);
    EXPECT_EQ(want.x, pt.x);
    EXPECT_EQ(want.y, pt.y);
    EXPECT_EQ(Sel(-1, -1), SelOf(ctl));
}

TEST_F(MouseTest, BlanksAndTheColumnsEdges)
{
    // The blank after byte 0 is byte 1's high digit.
    Click(Hex(0, 0, 2));
    EXPECT_EQ(0, ctl.m_nArea);
    EXPECT_EQ(3, ctl.m_nCaretPos);
    // The blank after a row's last byte hits nothing.
    Click(Hex(2, 15, 2));
    EXPECT_EQ(0, ctl.m_nArea);
    EXPECT_EQ(3, ctl.m_nCaretPos);
    // The column just right of row 0's last character: byte 16.
    Click(At(78, 0));
    EXPECT_EQ(1, ctl.m_nArea);
    EXPECT_EQ(16, ctl.m_nCaretPos);
    // Character column, row 3 byte 15.
    Click(Chr(3, 15));
    EXPECT_EQ(1, ctl.m_nArea);
    EXPECT_EQ(63, ctl.m_nCaretPos);
    // Hex digits of the last byte of a row, then the first of the next.
    Click(Hex(3, 15, 1));
    EXPECT_EQ(0, ctl.m_nArea);
    EXPECT_EQ(3 * 48 + 46, ctl.m_nCaretPos);
}

TEST_F(MouseTest, GapsHitNothingButAPressStillDropsTheSelection)
{
    Click(Hex(4, 4));
    ASSERT_EQ(4 * 48 + 12, ctl.m_nCaretPos);
    const std::vector<POINT> gaps = {
        At(3, 4),                            // address column
        At(9, 4),                            // just left of the hex column
        At(59, 4), At(60, 4), At(61, 4),     // between the columns
        At(79, 4), At(100, 4),               // right margin
        POINT{5 * cx, cy / 2},               // header line
        POINT{20 * cx, cy + cy / 2},         // the empty line below it
        Hex(257, 0), Chr(300, 0),            // more than one row below the data
    };
    for (POINT pt : gaps) {
        ctl.m_nSelStart = 0;
        ctl.m_nSelEnd = 8;
        Click(pt);
        EXPECT_EQ(0, ctl.m_nArea) << pt.x << "," << pt.y;
        EXPECT_EQ(4 * 48 + 12, ctl.m_nCaretPos) << pt.x << "," << pt.y;
        EXPECT_EQ(Sel(-1, -1), SelOf(ctl)) << pt.x << "," << pt.y;
    }
}

TEST_F(MouseTest, NegativeCoordinatesTruncateTowardZero)
{
    // Scrolled down and right, a point just above and left of the client
    // area falls on the first visible line and column.
    ctl.SetLayoutCells(40, 20);
    ScrollTo(10);
    ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    for (int i = 0; i < 9; i++)
        ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    ASSERT_EQ(10, ctl.m_nFirstCol);
    ASSERT_EQ(10, ctl.m_nFirstRow);
    Click(POINT{-(cx - 1), -(cy - 1)});
    EXPECT_EQ(0, ctl.m_nArea);
    EXPECT_EQ(8 * 48, ctl.m_nCaretPos) << "line 0 shows data row 8, column 10 the high digit of byte 0";
    // One more cell up is row 7; one more cell left is column 9, no column.
    Click(POINT{cx + 1, -cy - 1});
    EXPECT_EQ(7 * 48 + 1, ctl.m_nCaretPos);
    Click(POINT{-cx - 1, cy});
    EXPECT_EQ(7 * 48 + 1, ctl.m_nCaretPos);
}

TEST_F(MouseTest, ClicksPastTheLastByteLeaveTheCaretBeyondTheDataWhereTypingChangesNothing)
{
    // 90 bytes: the last row (5) holds ten; row 6 lies just below it.
    ctl.SetCounting(90);
    const std::vector<BYTE> before = Bytes();
    struct Case {
        POINT pt;
        int nArea;
        LONGLONG nPos;
    } cases[] = {
        {Hex(5, 12), 0, 5 * 48 + 36},   // empty part of the last row
        {Hex(6, 0, 1), 0, 6 * 48 + 1},  // the row just below it
        {Chr(5, 11), 1, 91},
        {Chr(6, 3), 1, 99},
    };
    for (const Case& c : cases) {
        Click(c.pt);
        EXPECT_EQ(c.nArea, ctl.m_nArea);
        EXPECT_EQ(c.nPos, ctl.m_nCaretPos);
        EXPECT_EQ(0, ctl.m_byteCur);
        // One key each time: the first brings the caret back to the end of
        // the data.
        for (int k = 0; k < 3; k++) {
            Click(c.pt);
            if (k == 0)
                Type('a');
            else if (k == 1)
                Type('7');
            else
                Key(VK_DELETE);
            EXPECT_EQ(before, Bytes()) << "a key beyond the data changed a byte";
        }
    }
    // Two rows below: nothing.
    Click(Hex(6, 2));
    Click(Hex(7, 0));
    EXPECT_EQ(0, ctl.m_nArea);
    EXPECT_EQ(6 * 48 + 6, ctl.m_nCaretPos);
}

// ---------------------------------------------------------------------------
// Drags and Shift+press

TEST_F(MouseTest, DragRightSelectsUpToTheCellBeforeThePointerAndLeavesTheCaretThere)
{
    Press(Hex(0, 0));
    Move(Hex(0, 1, 1));
    EXPECT_EQ(Sel(0, 3), SelOf(ctl));
    Move(Hex(0, 2));
    EXPECT_EQ(Sel(0, 5), SelOf(ctl));
    EXPECT_EQ(5, ctl.m_nCaretPos) << "while the button is held the caret is on the last selected cell";
    EXPECT_EQ(ctl.m_hWnd, ::GetCapture());
    Release(Hex(0, 2));
    EXPECT_EQ(Sel(0, 5), SelOf(ctl));
    EXPECT_EQ(6, ctl.m_nCaretPos);
    EXPECT_FALSE(ctl.m_bSelecting);
    EXPECT_EQ(NULL, ::GetCapture());
    EXPECT_EQ(std::vector<int>({0, 1}), PaintedSelectedBytes());
    EXPECT_TRUE(CaretShownOnHexCell(0, 6));

    // The release point counts: released one cell further.
    Press(Hex(0, 0));
    Move(Hex(0, 2));
    Release(Hex(0, 3));
    EXPECT_EQ(Sel(0, 8), SelOf(ctl));
    EXPECT_EQ(9, ctl.m_nCaretPos);
}

TEST_F(MouseTest, DragLeftSelectsFromThePointerThroughTheAnchorCell)
{
    Press(Hex(0, 2));
    Move(Hex(0, 1));
    Move(Hex(0, 0));
    Release(Hex(0, 0));
    EXPECT_EQ(Sel(0, 6), SelOf(ctl));
    EXPECT_EQ(0, ctl.m_nCaretPos);
    EXPECT_EQ(std::vector<int>({0, 1, 2}), PaintedSelectedBytes());

    // Back onto the anchor cell: that one cell.
    Press(Hex(0, 4));
    Move(Hex(0, 6));
    Move(Hex(0, 4));
    EXPECT_EQ(12, ctl.m_nCaretPos);
    Release(Hex(0, 4));
    EXPECT_EQ(Sel(12, 12), SelOf(ctl));
    EXPECT_EQ(13, ctl.m_nCaretPos) << "the caret ends just after the cell";
}

TEST_F(MouseTest, ShiftPressSelectsFromTheCaretToThePressedCell)
{
    Click(Hex(0, 2));
    Click(Hex(0, 5), MK_SHIFT);
    EXPECT_EQ(Sel(6, 14), SelOf(ctl));
    EXPECT_EQ(15, ctl.m_nCaretPos);
    EXPECT_EQ(std::vector<int>({2, 3, 4}), PaintedSelectedBytes());

    // Backwards, and from the character column: the anchor is the caret's
    // high-digit cell.
    Click(Chr(0, 9));
    Click(Hex(0, 4, 1), MK_SHIFT);
    EXPECT_EQ(Sel(13, 27), SelOf(ctl));
    EXPECT_EQ(13, ctl.m_nCaretPos);
    EXPECT_EQ(0, ctl.m_nArea);

    // Shift at the press only: a later move without it goes on extending
    // from the same anchor.
    Click(Hex(0, 1));
    Press(Hex(0, 3), MK_SHIFT);
    Move(Hex(0, 6));
    Release(Hex(0, 6));
    EXPECT_EQ(Sel(3, 17), SelOf(ctl));
}

TEST_F(MouseTest, DragFromTheHexColumnIntoTheCharacterColumn)
{
    Press(Hex(0, 2));
    Move(Chr(0, 5));
    EXPECT_EQ(Sel(6, 15), SelOf(ctl));
    Release(Chr(0, 5));
    EXPECT_EQ(Sel(6, 15), SelOf(ctl));
    EXPECT_EQ(1, ctl.m_nArea);
    EXPECT_EQ(5, ctl.m_nCaretPos);
    EXPECT_EQ(std::vector<int>({2, 3, 4, 5}), PaintedSelectedBytes());
    POINT pt = CaretPos(), want = CellPixel(67, 0);
    EXPECT_EQ(want.x, pt.x);
    EXPECT_EQ(want.y, pt.y);

    // Within the character column both end bytes are selected.
    Press(Chr(1, 8));
    Move(Chr(1, 3));
    Release(Chr(1, 3));
    EXPECT_EQ(Sel(3 * 19, 3 * 24), SelOf(ctl));
}

// ---------------------------------------------------------------------------
// Double-click and right click

TEST_F(MouseTest, DoubleClickOnAHighDigitSelectsThatByte)
{
    DoubleClick(Hex(0, 3));
    EXPECT_EQ(Sel(9, 9), SelOf(ctl));
    EXPECT_EQ(9, ctl.m_nCaretPos);
    EXPECT_FALSE(ctl.m_bSelecting);
    EXPECT_EQ(NULL, ::GetCapture());
    EXPECT_EQ(std::vector<int>({3}), PaintedSelectedBytes());
    POINT pt = CaretPos(), want = CellPixel(19, 0);
    EXPECT_EQ(want.x, pt.x);
    EXPECT_EQ(want.y, pt.y);
    EXPECT_TRUE(CaretShownOnHexCell(0, 9));

    // Moved with the button still down after the double-click: the edit
    // class tracks the pointer then, yet the caret keeps its cell.
    Click(Hex(1, 4));
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Hex(1, 4));
    Move(Hex(2, 9));
    Move(POINT{-40, 3000});
    pt = CaretPos();
    want = CellPixel(22, 1);
    EXPECT_EQ(want.x, pt.x);
    EXPECT_EQ(want.y, pt.y);
    Release(Hex(2, 9));
    EXPECT_EQ(Sel(60, 60), SelOf(ctl));

    // In the character column: the byte's high-digit cell.
    DoubleClick(Chr(0, 12));
    EXPECT_EQ(Sel(36, 36), SelOf(ctl));
    EXPECT_EQ(std::vector<int>({12}), PaintedSelectedBytes());
}

TEST_F(MouseTest, DoubleClickOnALowDigitMakesAHiddenCellThatDeleteFills)
{
    DoubleClick(Hex(0, 3, 1));
    EXPECT_EQ(Sel(10, 10), SelOf(ctl));
    EXPECT_TRUE(PaintedSelectedBytes().empty()) << "a low-digit cell paints no byte";
    Key(VK_DELETE);
    EXPECT_EQ(0x00, ctl.m_data[3]);
    EXPECT_EQ(0x02, ctl.m_data[2]);
    EXPECT_EQ(0x04, ctl.m_data[4]);
    EXPECT_EQ(Sel(-1, -1), SelOf(ctl));
}

TEST_F(MouseTest, RightClickShowsNoMenu)
{
    g_bMenuSeen = false;
    UINT_PTR id = ::SetTimer(NULL, 0, 200, CloseAnyMenu);
    Click(Hex(0, 1));
    POINT pt = Hex(0, 1);
    ::PostMessageA(ctl.m_hWnd, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(pt.x, pt.y));
    ::PostMessageA(ctl.m_hWnd, WM_RBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    POINT screen = pt;
    ::ClientToScreen(ctl.m_hWnd, &screen);
    ::PostMessageA(ctl.m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(ctl.m_hWnd), MAKELPARAM(screen.x, screen.y));
    DWORD tEnd = ::GetTickCount() + 600;
    while (static_cast<LONG>(::GetTickCount() - tEnd) < 0) {
        Pump();
        ::Sleep(10);
    }
    ::KillTimer(NULL, id);
    EXPECT_FALSE(g_bMenuSeen);
    EXPECT_EQ(3, ctl.m_nCaretPos);
}

// ---------------------------------------------------------------------------
// Auto-scroll, with the timer's real ticks

TEST_F(MouseTest, HeldBelowTheWindowScrollsDownAtEveryTickUntilThePointerComesBack)
{
    RECT rc;
    ::GetClientRect(ctl.m_hWnd, &rc);
    Press(Hex(2, 3));
    POINT below = {Hex(0, 6).x, rc.bottom + 2 * cy};
    Move(below);
    EXPECT_TRUE(ctl.m_bTimer);
    const LONGLONG nEnd0 = ctl.m_nSelEnd;
    std::vector<int> rows = PumpTicks(550);
    ASSERT_GE(rows.size(), 3u) << "timer ticks in half a second";
    int nPrev = 0;
    for (int r : rows) {
        EXPECT_GT(r, nPrev) << "a tick that did not scroll down";
        nPrev = r;
    }
    EXPECT_EQ(2 * 48 + 9, ctl.m_nAnchor);
    EXPECT_EQ(2 * 48 + 9, ctl.m_nSelStart);
    EXPECT_GT(ctl.m_nSelEnd, nEnd0 + 48 * static_cast<LONGLONG>(rows.size() - 1)) << "the selection follows";
    // The selection's end is on the last whole line.
    EXPECT_EQ(ctl.m_nFirstRow + ctl.m_nVisRows - 3, (ctl.m_nSelEnd + 1) / 48);
    SCROLLINFO si = ctl.Bar(SB_VERT);
    EXPECT_EQ(ctl.m_nFirstRow, si.nPos) << "the thumb moves with the view";

    // Back inside: the timer stops, and so does the view.
    Move(Hex(ctl.m_nFirstRow + 5, 6));
    EXPECT_FALSE(ctl.m_bTimer);
    const int nRow = ctl.m_nFirstRow;
    EXPECT_TRUE(PumpTicks(300).empty());
    EXPECT_EQ(nRow, ctl.m_nFirstRow);

    // Out again, then released outside: stopped too.
    Move(below);
    EXPECT_TRUE(ctl.m_bTimer);
    PumpTicks(250);
    Release(below);
    EXPECT_FALSE(ctl.m_bTimer);
    EXPECT_FALSE(ctl.m_bSelecting);
    EXPECT_EQ(NULL, ::GetCapture());
    const int nRowReleased = ctl.m_nFirstRow;
    const Sel sel = SelOf(ctl);
    EXPECT_TRUE(PumpTicks(300).empty());
    EXPECT_EQ(nRowReleased, ctl.m_nFirstRow);
    EXPECT_EQ(sel, SelOf(ctl));
    EXPECT_EQ(sel.second + 1, ctl.m_nCaretPos);
}

TEST_F(MouseTest, HeldJustAboveTheWindowScrollsUpOneLineAtEveryTick)
{
    ScrollTo(100);
    Press(Hex(110, 3));
    POINT above = {Hex(0, 6).x, -1};
    Move(above);
    EXPECT_TRUE(ctl.m_bTimer);
    std::vector<int> rows = PumpTicks(550);
    ASSERT_GE(rows.size(), 3u);
    int nPrev = 100;
    for (int r : rows) {
        EXPECT_EQ(nPrev - 1, r) << "one line up a tick";
        nPrev = r;
    }
    EXPECT_EQ(110 * 48 + 9, ctl.m_nSelEnd);
    EXPECT_EQ((ctl.m_nFirstRow - 1) * 48 + 18, ctl.m_nSelStart) << "the selection's start follows the view";
    Release(above);
    EXPECT_FALSE(ctl.m_bTimer);
    const int nRow = ctl.m_nFirstRow;
    EXPECT_TRUE(PumpTicks(300).empty());
    EXPECT_EQ(nRow, ctl.m_nFirstRow);
}

TEST_F(MouseTest, HeldFarAboveTheWindowFollowsThePointerUpAndAStaleTickDoesNothing)
{
    // Two and a half lines above the window the point gives the row four
    // above the first one drawn: that row becomes the first row at every
    // tick, so the view climbs steadily and never jumps to row 0.
    ScrollTo(150);
    Press(Hex(160, 3));
    POINT above = {Hex(0, 6).x, -2 * cy - cy / 2};
    Move(above);
    ASSERT_TRUE(ctl.m_bTimer);
    std::vector<int> rows = PumpTicks(550);
    ASSERT_GE(rows.size(), 3u);
    int nPrev = 150;
    for (int r : rows) {
        EXPECT_EQ(nPrev - 4, r) << "four lines up a tick";
        nPrev = r;
    }
    EXPECT_EQ(ctl.m_nFirstRow, ctl.m_nSelStart / 48) << "the selection's start on the first row drawn";
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);

    // Released there; a tick sent after the release finds no drag and
    // changes nothing, not even the view that the caret lies above.
    Release(above);
    ASSERT_FALSE(ctl.m_bSelecting);
    const int nRow = ctl.m_nFirstRow;
    const Sel sel = SelOf(ctl);
    const LONGLONG nCaret = ctl.m_nCaretPos;
    ASSERT_LT(nCaret / 48, nRow);
    Picture pic = Picture::FromWindow(ctl.m_hWnd);
    ::SendMessageA(ctl.m_hWnd, WM_TIMER, kAutoScrollTimer, 0);
    EXPECT_EQ(nRow, ctl.m_nFirstRow);
    EXPECT_EQ(nRow, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ(sel, SelOf(ctl));
    EXPECT_EQ(nCaret, ctl.m_nCaretPos);
    EXPECT_EQ(-1, pic.FirstDifference(Picture::Shown(ctl.m_hWnd)).x);
}

// ---------------------------------------------------------------------------
// Outside both columns the selection holds; losing the capture ends the drag

TEST_F(MouseTest, OutsideBothColumnsTheSelectionStaysAsItIs)
{
    Press(Hex(1, 0));
    Move(Hex(1, 4));
    ASSERT_EQ(Sel(48, 59), SelOf(ctl));
    for (POINT pt : {At(60, 1), At(61, 2), At(3, 1), At(5, 8), At(59, 1)})
        Move(pt);
    EXPECT_EQ(Sel(48, 59), SelOf(ctl));

    // Beside the window in the address column: timer ticks, still the same.
    Move(POINT{-30, At(0, 1).y});
    EXPECT_TRUE(ctl.m_bTimer);
    EXPECT_GE(PumpTicks(350).size(), 2u);
    EXPECT_EQ(Sel(48, 59), SelOf(ctl));
    Release(POINT{-30, At(0, 1).y});
    EXPECT_EQ(Sel(48, 59), SelOf(ctl));
    EXPECT_EQ(60, ctl.m_nCaretPos);
}

TEST_F(MouseTest, LosingTheCaptureEndsTheDragAsAReleaseWould)
{
    RECT rc;
    ::GetClientRect(ctl.m_hWnd, &rc);
    Press(Hex(0, 1));
    POINT below = {Hex(0, 5).x, rc.bottom + 2 * cy};
    Move(below);
    ASSERT_TRUE(ctl.m_bTimer);
    PumpTicks(250);

    // Another window takes the capture (a message box, another program).
    HWND hOther = ::CreateWindowExA(0, "STATIC", "other", WS_POPUP, 950, 0, 50, 50, NULL, NULL,
                                    ::GetModuleHandleA(NULL), NULL);
    ::SetCapture(hOther);
    Pump();
    EXPECT_FALSE(ctl.m_bSelecting);
    EXPECT_FALSE(ctl.m_bTimer);
    const int nRow = ctl.m_nFirstRow;
    const Sel sel = SelOf(ctl);
    EXPECT_EQ(3, sel.first);
    EXPECT_EQ(sel.second + 1, ctl.m_nCaretPos) << "the caret goes just after the selection";
    EXPECT_TRUE(PumpTicks(300).empty()) << "the timer still ticks";
    EXPECT_EQ(nRow, ctl.m_nFirstRow);
    ::ReleaseCapture();
    ::DestroyWindow(hOther);
    Pump();
    EXPECT_TRUE(CaretShownOnHexCell(static_cast<int>(ctl.m_nCaretPos / 48), static_cast<int>(ctl.m_nCaretPos % 48)))
        << "the caret shows again";

    // A late release changes nothing.
    Release(Hex(0, 3));
    EXPECT_EQ(sel, SelOf(ctl));
}

// The host replaces the bytes while the button is held (from a timer of its
// own): new data end the drag, and the release that follows finds none.
TEST_F(MouseTest, NewDataFromTheHostEndTheDrag)
{
    RECT rc;
    ::GetClientRect(ctl.m_hWnd, &rc);
    const POINT below = {Hex(0, 5).x, rc.bottom + 2 * cy};
    auto expectDragOver = [&](const char* pszAfter) {
        SCOPED_TRACE(pszAfter);
        EXPECT_FALSE(ctl.m_bSelecting);
        EXPECT_FALSE(ctl.m_bTimer);
        EXPECT_EQ(NULL, ::GetCapture()) << "clicks elsewhere would go to the control";
    };

    Press(Hex(0, 1));
    Move(below);
    ASSERT_TRUE(ctl.m_bTimer);
    ctl.SetCounting(0);
    expectDragOver("the host emptied the data");
    Release(below);
    expectDragOver("the release with no data");

    // A load during a drag, likewise.
    char szPath[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szPath);
    std::strcat(szPath, "qx-mouse-drag-load.bin");
    ctl.SetCounting(4096);
    ctl.SaveFile(szPath);
    Press(Hex(0, 1));
    Move(below);
    ASSERT_TRUE(ctl.m_bTimer);
    EXPECT_TRUE(ctl.LoadFile(szPath));
    expectDragOver("a load");
    Release(below);
    EXPECT_EQ(Sel(-1, -1), SelOf(ctl));
    ::DeleteFileA(szPath);
}

// ---------------------------------------------------------------------------
// Empty data and the wheel

TEST_F(MouseTest, WithNoDataAClickDoesNothingNotEvenTakeTheFocus)
{
    ctl.SetCounting(0);
    Press(Hex(0, 0));
    EXPECT_EQ(host.hwnd(), ::GetFocus());
    EXPECT_EQ(NULL, ::GetCapture());
    EXPECT_FALSE(ctl.m_bSelecting);
    Move(POINT{5, 2000});
    EXPECT_FALSE(ctl.m_bTimer);
    Release(Hex(0, 0));
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, Hex(0, 0));
    EXPECT_EQ(Sel(-1, -1), SelOf(ctl));
    EXPECT_EQ(0, ctl.m_nCaretPos);
    EXPECT_EQ(host.hwnd(), ::GetFocus());
}

TEST_F(MouseTest, WheelScrollsBySystemLinesAndMovesNothingElse)
{
    UINT nLines = 0;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0));
    ASSERT_GT(nLines, 0u);
    DoubleClick(Hex(1, 2));
    const Sel sel = SelOf(ctl);
    const LONGLONG nCaret = ctl.m_nCaretPos;
    auto wheel = [&](int nDelta) {
        POINT screen = Hex(3, 3);
        ::ClientToScreen(ctl.m_hWnd, &screen);
        ::SendMessageA(ctl.m_hWnd, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(nDelta)),
                       MAKELPARAM(screen.x, screen.y));
        Pump();
    };
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(static_cast<int>(nLines), ctl.m_nFirstRow);
    wheel(-2 * WHEEL_DELTA);
    EXPECT_EQ(3 * static_cast<int>(nLines), ctl.m_nFirstRow);
    EXPECT_EQ(3 * static_cast<int>(nLines), ctl.Bar(SB_VERT).nPos);
    // A high-resolution wheel: a third of a notch at a time.
    wheel(WHEEL_DELTA / 3);
    wheel(WHEEL_DELTA / 3);
    EXPECT_EQ(3 * static_cast<int>(nLines), ctl.m_nFirstRow);
    wheel(WHEEL_DELTA - 2 * (WHEEL_DELTA / 3));
    EXPECT_EQ(2 * static_cast<int>(nLines), ctl.m_nFirstRow);
    // A part turned one way does not count against the other.
    wheel(-WHEEL_DELTA / 2);
    wheel(WHEEL_DELTA / 2);
    wheel(WHEEL_DELTA / 2);
    EXPECT_EQ(static_cast<int>(nLines), ctl.m_nFirstRow);
    // Far up stops at the top.
    wheel(50 * WHEEL_DELTA);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_EQ(sel, SelOf(ctl));
    EXPECT_EQ(nCaret, ctl.m_nCaretPos);

    // Set to a page a notch.
    ASSERT_TRUE(::SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, WHEEL_PAGESCROLL, NULL, 0));
    wheel(-WHEEL_DELTA);
    ::SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, nLines, NULL, 0);
    EXPECT_EQ(ctl.m_nVisRows, ctl.m_nFirstRow);
}

// What the pointer over the control shows while a load runs: the progress
// window lets messages through, WM_SETCURSOR among them.
HWND g_hLoadingCtl = NULL;
HCURSOR g_hcurDuringLoad = NULL;

void SetCursorOverTheControl(ULONGLONG)
{
    ::SendMessageA(g_hLoadingCtl, WM_SETCURSOR, reinterpret_cast<WPARAM>(g_hLoadingCtl),
                   MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    g_hcurDuringLoad = ::GetCursor();
}

TEST_F(MouseTest, TheWaitCursorStaysOverTheControlWhileALoadRunsAndGoesAfterIt)
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "qx cursor " + std::to_string(::GetCurrentProcessId()) + ".bin";
    ASSERT_TRUE(qxtest::WriteAll(path, qxtest::Bytes(100, 0x5A)));
    g_hLoadingCtl = ctl.m_hWnd;
    g_hcurDuringLoad = NULL;
    HexEditFileHooks::pfnAfterPiece = SetCursorOverTheControl;
    const BOOL bLoaded = ctl.LoadFile(path.c_str());
    HexEditFileHooks::Reset();
    ::DeleteFileA(path.c_str());
    ASSERT_TRUE(bLoaded);
    EXPECT_EQ(::LoadCursor(NULL, IDC_WAIT), g_hcurDuringLoad);

    ::SendMessageA(ctl.m_hWnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(ctl.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::LoadCursor(NULL, IDC_IBEAM), ::GetCursor()) << "the edit class's own cursor once the load is over";
}

} // namespace
