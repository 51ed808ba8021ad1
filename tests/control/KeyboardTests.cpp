// Window-level tests of CHexEditCtrl's keyboard side: the control really has
// the focus; keys arrive as WM_KEYDOWN with the modifiers set through
// SetKeyboardState, characters as WM_CHAR. Observed are the bytes, the
// system caret (GetCaretPos, GetGUIThreadInfo), the scroll bars and the
// picture. Includes a block of 800,000,000 bytes, whose hex positions no
// longer fit an int, and the control inside a real dialog.
#include "MessageBoxCatcher.h"
#include "ControlTest.h"

#include <climits>
#include <cstring>
#include <string>

using qxtest::Picture;
using qxtest::Pump;
using qxtest::TestHexEdit;
using qxtest::TestHost;

namespace {

using qxtest::kCtrl;
using qxtest::kNone;
using qxtest::kShift;
using qxtest::SendChars;
using qxtest::SendKey;

using KeyHexEdit = TestHexEdit;

GUITHREADINFO ThreadInfo()
{
    GUITHREADINFO gti = {};
    gti.cbSize = sizeof gti;
    ::GetGUIThreadInfo(::GetCurrentThreadId(), &gti);
    return gti;
}

POINT CaretPos()
{
    POINT pt = {-999, -999};
    ::GetCaretPos(&pt);
    return pt;
}

class KeyTest : public qxtest::CountingControlTest<KeyHexEdit> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CountingControlTest::SetUp());
        // 60 whole columns (all of the hex column), 20 lines.
        ctl.SetLayoutCells(85, 20);
        Focus();
    }
    void Focus()
    {
        ::SetForegroundWindow(host.hwnd());
        ::SetFocus(ctl.m_hWnd);
        Pump();
        ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
    }
    void Key(UINT vk, int mods = kNone) { SendKey(ctl.m_hWnd, vk, mods); }
    void Chars(const char* psz) { SendChars(ctl.m_hWnd, psz); }
    BYTE At(int i) { return ctl.m_data[i]; }

    // Where the layout puts the caret's cell.
    POINT Cell() const
    {
        LONGLONG p = ctl.m_nCaretPos;
        int w = ctl.m_nArea == 0 ? 48 : 16;
        int col = (ctl.m_nArea == 0 ? 10 : 62) + static_cast<int>(p % w);
        LONGLONG line = p / w + 2;
        return POINT{(col - ctl.m_nFirstCol) * cx, static_cast<LONG>((line - ctl.m_nFirstRow) * cy)};
    }
    void ExpectCaretOnItsCell()
    {
        POINT want = Cell(), got = CaretPos();
        EXPECT_EQ(want.x, got.x);
        EXPECT_EQ(want.y, got.y);
    }
    void ExpectSelection(LONGLONG s, LONGLONG e, const char* pszWhat = "")
    {
        SCOPED_TRACE(pszWhat);
        EXPECT_EQ(s, ctl.m_nSelStart);
        EXPECT_EQ(e, ctl.m_nSelEnd);
    }
    // The two digits of a hex cell (the caret may stand on its blank).
    RECT Digits(int nRow, int nCell) const { return ctl.CellRect(10 + 3 * nCell, nRow + 2, 2); }
    std::vector<BYTE> Bytes() { return std::vector<BYTE>(ctl.m_data.GetData(), ctl.m_data.GetData() + ctl.m_data.GetSize()); }
};

// ---------------------------------------------------------------------------
// The caret follows the focus

TEST_F(KeyTest, FocusCreatesOneCellCaretOnTheCellAndTakesItAway)
{
    ctl.m_nCaretPos = 48 * 3 + 4;
    ctl.UpdateCaret();
    ::SetFocus(host.hwnd());
    Pump();
    EXPECT_NE(ctl.m_hWnd, ThreadInfo().hwndCaret) << "the caret is destroyed with the focus";

    Focus();
    // One caret, the control's, one cell large: the edit class's thin caret
    // at the left edge is gone.
    GUITHREADINFO gti = ThreadInfo();
    EXPECT_EQ(ctl.m_hWnd, gti.hwndCaret);
    EXPECT_EQ(cx, gti.rcCaret.right - gti.rcCaret.left);
    EXPECT_EQ(cy, gti.rcCaret.bottom - gti.rcCaret.top);
    EXPECT_EQ((10 + 4) * cx, gti.rcCaret.left);
    EXPECT_EQ((3 + 2) * cy, gti.rcCaret.top);
    ExpectCaretOnItsCell();

    // Away to a sibling with a caret of its own, and back: the same place.
    HWND hOther = ::CreateWindowExA(0, "edit", "x", WS_CHILD | WS_VISIBLE, 0, 700, 100, 20, host.hwnd(), NULL,
                                    ::GetModuleHandleA(NULL), NULL);
    ::SetFocus(hOther);
    Pump();
    EXPECT_EQ(hOther, ThreadInfo().hwndCaret);
    EXPECT_EQ(48 * 3 + 4, ctl.m_nCaretPos);
    Focus();
    gti = ThreadInfo();
    EXPECT_EQ(ctl.m_hWnd, gti.hwndCaret);
    EXPECT_EQ((10 + 4) * cx, gti.rcCaret.left);
    EXPECT_EQ((3 + 2) * cy, gti.rcCaret.top);
    ::DestroyWindow(hOther);
}

TEST_F(KeyTest, CaretIsShownUnlessAMouseSelectionIsInProgress)
{
    // The caret inverts its cell: the high digit of byte 0 on yellow turns
    // blue-ish where it is shown.
    Picture pic = Picture::FromWindow(ctl.m_hWnd);
    RECT cell = ctl.CellRect(10, 2);
    EXPECT_EQ(0, pic.Count(cell, ctl.m_clrHexBk)) << "the caret inverts the whole cell";
    RECT left = {0, 0, 2, cy};
    EXPECT_TRUE(pic.All(left, ctl.m_clrWndBk)) << "no caret of the edit class at the left edge";

    ::SetFocus(host.hwnd());
    Pump();
    ctl.m_bSelecting = true;
    Focus();
    ctl.m_bSelecting = false;
    pic = Picture::FromWindow(ctl.m_hWnd);
    EXPECT_GT(pic.Count(cell, ctl.m_clrHexBk), 0) << "hidden while a press is held";
}

TEST_F(KeyTest, DialogCodeAddsArrowsTabAndCharsButNoSetSel)
{
    HWND hPlain = ::CreateWindowExA(0, "edit", "", WS_CHILD, 0, 0, 10, 10, host.hwnd(), NULL,
                                    ::GetModuleHandleA(NULL), NULL);
    LRESULT plain = ::SendMessageA(hPlain, WM_GETDLGCODE, 0, 0);
    ::DestroyWindow(hPlain);
    // Without DLGC_HASSETSEL: a dialog's EM_SETSEL(0, -1) at Tab would select every byte.
    EXPECT_EQ(static_cast<LRESULT>((plain & ~DLGC_HASSETSEL) | 0x83), ::SendMessageA(ctl.m_hWnd, WM_GETDLGCODE, 0, 0));
}

// ---------------------------------------------------------------------------
// Movement: clamps, pages, scrolling

TEST_F(KeyTest, ArrowsStopAtBothEndsInBothColumns)
{
    Key(VK_LEFT);
    Key(VK_UP);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(3, ctl.m_nCaretPos) << "three presses a byte, over the blank";
    Key(VK_DOWN);
    EXPECT_EQ(51, ctl.m_nCaretPos);
    Key(VK_PRIOR);
    EXPECT_EQ(0, ctl.m_nCaretPos) << "Page Up within the first ten rows";

    Key(VK_END);
    EXPECT_EQ(3 * 4096 - 3, ctl.m_nCaretPos);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(3 * 4096 - 1, ctl.m_nCaretPos) << "the blank after the last byte";
    Key(VK_DOWN);
    Key(VK_NEXT);
    EXPECT_EQ(3 * 4096 - 1, ctl.m_nCaretPos);
    ExpectCaretOnItsCell();

    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 0;
    Key(VK_LEFT);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(17, ctl.m_nCaretPos) << "one byte, one row of 16";
    Key(VK_END);
    EXPECT_EQ(4095, ctl.m_nCaretPos);
    Key(VK_RIGHT);
    Key(VK_DOWN);
    EXPECT_EQ(4095, ctl.m_nCaretPos);
    ExpectCaretOnItsCell();
    Key(VK_HOME);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    EXPECT_EQ(0, ctl.m_nFirstRow);
}

TEST_F(KeyTest, PageKeysMoveTenRowsAndScrollTheView)
{
    ASSERT_EQ(20, ctl.m_nVisRows);
    Key(VK_NEXT);
    EXPECT_EQ(480, ctl.m_nCaretPos);
    EXPECT_EQ(0, ctl.m_nFirstRow) << "row 10 is on screen line 12";
    Key(VK_NEXT);
    // Row 20 would stand on line 22: the view moves so that it is the last
    // whole line (19).
    EXPECT_EQ(960, ctl.m_nCaretPos);
    EXPECT_EQ(3, ctl.m_nFirstRow);
    EXPECT_EQ(3, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ(19 * cy, CaretPos().y);
    ExpectCaretOnItsCell();

    Key(VK_END);
    EXPECT_EQ(255 + 3 - 20, ctl.m_nFirstRow);
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ((10 + 45) * cx, CaretPos().x);
    EXPECT_EQ(19 * cy, CaretPos().y);

    Key(VK_PRIOR);
    EXPECT_EQ(3 * 4096 - 3 - 480, ctl.m_nCaretPos);
    ExpectCaretOnItsCell();

    // Page Up from the first row drawn, deep in the data: the view follows
    // the caret's row up, it does not jump to the top and leave the caret
    // below the window.
    for (int nRow : {235, 225}) {
        Key(VK_PRIOR);
        ASSERT_EQ(nRow, ctl.m_nCaretPos / 48);
        EXPECT_EQ(nRow, ctl.m_nFirstRow);
        EXPECT_EQ(nRow, ctl.Bar(SB_VERT).nPos);
        EXPECT_EQ(2 * cy, CaretPos().y);
        ExpectCaretOnItsCell();
    }

    Key(VK_HOME);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_EQ(0, ctl.Bar(SB_VERT).nPos);
    ExpectCaretOnItsCell();
}

// ---------------------------------------------------------------------------
// Selection with Shift

TEST_F(KeyTest, ShiftArrowsGrowAndShrinkTheSelection)
{
    Key(VK_RIGHT, kShift);
    Key(VK_RIGHT, kShift);
    ExpectSelection(0, 1);
    EXPECT_EQ(2, ctl.m_nCaretPos) << "just after the last selected cell";
    Key(VK_LEFT, kShift);
    ExpectSelection(0, 0);
    Key(VK_LEFT, kShift);
    ExpectSelection(-1, -1);

    // Growing to the left: the caret on the first selected cell.
    ctl.m_nCaretPos = 100;
    Key(VK_UP, kShift);
    ExpectSelection(52, 99);
    EXPECT_EQ(52, ctl.m_nCaretPos);
    Key(VK_LEFT, kShift);
    ExpectSelection(51, 99);
    Key(VK_RIGHT, kShift);
    Key(VK_RIGHT, kShift);
    ExpectSelection(53, 99);
    // Down carries the moving end one cell past the other end (100): that
    // cell is selected; back, and the selection is empty and cleared.
    Key(VK_DOWN, kShift);
    EXPECT_EQ(101, ctl.m_nCaretPos);
    ExpectSelection(100, 100);
    Key(VK_LEFT, kShift);
    ExpectSelection(-1, -1, "emptied: cleared");

    // Page keys extend by ten rows.
    ctl.m_nCaretPos = 0;
    Key(VK_NEXT, kShift);
    ExpectSelection(0, 479);
    Key(VK_PRIOR, kShift);
    ExpectSelection(-1, -1);
}

TEST_F(KeyTest, MovingEndCarriedPastTheOtherEndSelectsBetweenThem)
{
    // Grown to the right (cells 48 to 53, caret on 54), then Shift+Up: the
    // cells from the caret up to the first selected cell are selected.
    ctl.m_nCaretPos = 48;
    for (int i = 0; i < 6; i++)
        Key(VK_RIGHT, kShift);
    ExpectSelection(48, 53);
    Key(VK_UP, kShift);
    EXPECT_EQ(6, ctl.m_nCaretPos);
    ExpectSelection(6, 47);
    Key(VK_DOWN, kShift);
    ExpectSelection(48, 53, "and back");

    // Grown to the left, then carried down past the end.
    ctl.ClearSelection();
    ctl.m_nCaretPos = 60;
    Key(VK_LEFT, kShift);
    Key(VK_LEFT, kShift);
    ExpectSelection(58, 59);
    Key(VK_DOWN, kShift);
    EXPECT_EQ(106, ctl.m_nCaretPos);
    ExpectSelection(60, 105);

    // Painted: bytes 20 to 35 (units 60 to 105), not 19 or 36.
    Picture pic = Picture::FromWindow(ctl.m_hWnd);
    COLORREF hiBk = ::GetSysColor(COLOR_HIGHLIGHT), hiText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(1, 4), hiBk, hiText));
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(2, 1), hiBk, hiText));
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(1, 3), ctl.m_clrHexBk, ctl.m_clrHexText));
    EXPECT_TRUE(pic.Shows(ctl.CharCellRect(2, 4), ctl.m_clrAsciiBk, ctl.m_clrAddrBk));
}

TEST_F(KeyTest, ShiftEndSelectsEverythingAndPaintsIt)
{
    Key(VK_END, kShift);
    ExpectSelection(0, 3 * 4096 - 2);
    EXPECT_EQ(3 * 4096 - 1, ctl.m_nCaretPos);
    COLORREF hiBk = ::GetSysColor(COLOR_HIGHLIGHT), hiText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    Picture pic = Picture::FromWindow(ctl.m_hWnd);
    int lastRow = 255;
    EXPECT_TRUE(pic.Shows(Digits(lastRow, 15), hiBk, hiText)) << "both digits of the last byte";
    EXPECT_TRUE(pic.Shows(ctl.CharCellRect(lastRow, 0), hiBk, hiText));
    Key(VK_HOME, kShift);
    ExpectSelection(-1, -1, "Shift+Home from the blank after the last byte: the selection shrinks to nothing");
}

TEST_F(KeyTest, PlainMovesCancelCtrlHomeAndEndKeep)
{
    Key(VK_RIGHT, kShift);
    Key(VK_RIGHT, kShift);
    Key(VK_END, kCtrl);
    EXPECT_EQ(3 * 4096 - 3, ctl.m_nCaretPos);
    ExpectSelection(0, 1);
    Key(VK_HOME, kCtrl);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    ExpectSelection(0, 1);
    Key(VK_DOWN);
    ExpectSelection(-1, -1);
    EXPECT_EQ(48, ctl.m_nCaretPos);

    // Character column: Shift moves the caret and keeps a mouse selection.
    ctl.m_nSelStart = 30;
    ctl.m_nSelEnd = 44;
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 5;
    Key(VK_RIGHT, kShift);
    Key(VK_DOWN, kShift);
    EXPECT_EQ(22, ctl.m_nCaretPos);
    ExpectSelection(30, 44);
    Key(VK_LEFT);
    ExpectSelection(-1, -1);
}

// ---------------------------------------------------------------------------
// Keys for the edit class, Shift+Ctrl, empty data, Tab

TEST_F(KeyTest, KeysPassedOnChangeNothingOfOursAndTheCaretStaysOnItsCell)
{
    ctl.m_nCaretPos = 48 * 5 + 4;
    ctl.MoveCaret(0, 0, FALSE);
    Key(VK_RIGHT, kShift);
    const std::vector<BYTE> bytes = Bytes();
    struct {
        UINT vk;
        int mods;
    } keys[] = {{VK_LEFT, kCtrl},   {VK_RIGHT, kCtrl},  {VK_UP, kCtrl},     {VK_DOWN, kCtrl},
                {VK_PRIOR, kCtrl},  {VK_NEXT, kCtrl},   {VK_BACK, kShift},  {VK_BACK, kCtrl},
                {VK_DELETE, kCtrl}, {VK_INSERT, kCtrl},
                {VK_TAB, kCtrl},    {VK_F5, kNone},     {'A', kNone},       {VK_ESCAPE, kNone},
                {VK_RIGHT, kShift | kCtrl}, {VK_DELETE, kShift | kCtrl}, {VK_END, kShift | kCtrl}};
    for (auto& k : keys) {
        SCOPED_TRACE(testing::Message() << "key " << k.vk << " mods " << k.mods);
        Key(k.vk, k.mods);
        EXPECT_EQ(48 * 5 + 5, ctl.m_nCaretPos);
        ExpectSelection(48 * 5 + 4, 48 * 5 + 4);
        EXPECT_EQ(0, ctl.m_nFirstRow);
        ExpectCaretOnItsCell();
    }
    EXPECT_TRUE(bytes == Bytes());
}

TEST_F(KeyTest, EmptyDataSwallowsEverythingButTab)
{
    ctl.SetCounting(0);
    ctl.m_nCaretPos = 7;
    for (UINT vk : {VK_RIGHT, VK_END, VK_HOME, VK_DELETE, VK_INSERT, VK_BACK})
        Key(vk);
    Key(VK_END, kShift);
    Chars("7f A");
    EXPECT_EQ(7, ctl.m_nCaretPos);
    ExpectSelection(-1, -1);
    EXPECT_EQ(0, ctl.m_data.GetSize());
}

// Records WM_NEXTDLGCTL reaching the host.
std::vector<std::pair<WPARAM, LPARAM>> g_nextDlgCtl;
WNDPROC g_pfnHostProc = nullptr;
LRESULT CALLBACK RecordingHostProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NEXTDLGCTL)
        g_nextDlgCtl.push_back({wParam, lParam});
    return ::CallWindowProcA(g_pfnHostProc, hWnd, msg, wParam, lParam);
}

TEST_F(KeyTest, TabAndShiftTabAskTheTopLevelParentForTheNextControl)
{
    g_nextDlgCtl.clear();
    g_pfnHostProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingHostProc)));
    for (int n : {4096, 0}) {
        SCOPED_TRACE(n);
        ctl.SetCounting(n);
        g_nextDlgCtl.clear();
        Key(VK_TAB);
        Key(VK_TAB, kShift);
        Key(VK_TAB, kCtrl);
        ASSERT_EQ(2u, g_nextDlgCtl.size());
        EXPECT_EQ(0u, g_nextDlgCtl[0].first);
        EXPECT_EQ(1u, g_nextDlgCtl[1].first);
        EXPECT_EQ(0, g_nextDlgCtl[1].second);
    }
    ::SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_pfnHostProc));
    EXPECT_EQ(0, ctl.m_nCaretPos);
}

// ---------------------------------------------------------------------------
// Byte edits: Delete, Insert, Backspace

TEST_F(KeyTest, ByteEditsAtZeroAndOneAndAcrossAByte)
{
    Key(VK_DELETE);
    Key(VK_INSERT);
    Key(VK_BACK);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    EXPECT_EQ(0x00, At(0));
    ctl.m_nCaretPos = 3;
    Key(VK_INSERT);
    EXPECT_EQ(0xFF, At(1));
    EXPECT_EQ(4, ctl.m_nCaretPos);
    Key(VK_LEFT);
    Key(VK_LEFT);
    Key(VK_LEFT);
    EXPECT_EQ(1, ctl.m_nCaretPos);
    Key(VK_DELETE);
    EXPECT_EQ(0x00, At(0));
    EXPECT_EQ(2, ctl.m_nCaretPos) << "onto the blank after byte 0";

    // Three presses cross one byte, each setting it.
    ctl.m_nCaretPos = 3 * 7;
    for (int i = 0; i < 3; i++) {
        ctl.m_data[7] = 0x55;
        Key(VK_DELETE);
        EXPECT_EQ(0x00, At(7));
    }
    EXPECT_EQ(3 * 8, ctl.m_nCaretPos);
    EXPECT_EQ(8, At(8));

    // Backspace sets the byte under the caret, then steps back.
    ctl.m_nCaretPos = 3 * 9;
    Key(VK_BACK);
    EXPECT_EQ(0x00, At(9));
    EXPECT_EQ(8, At(8));
    EXPECT_EQ(3 * 9 - 1, ctl.m_nCaretPos);

    // Character column: one byte a step.
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 20;
    Key(VK_INSERT);
    Key(VK_INSERT);
    EXPECT_EQ(0xFF, At(20));
    EXPECT_EQ(0xFF, At(21));
    EXPECT_EQ(22, ctl.m_nCaretPos);
    ExpectCaretOnItsCell();
}

TEST_F(KeyTest, ByteEditsOverASelectionFillItKeepTheCaretAndClearIt)
{
    // A selection that starts on a low digit also fills the byte it
    // belongs to; the caret does not move.
    ctl.m_nCaretPos = 4;
    for (int i = 0; i < 6; i++)
        Key(VK_RIGHT, kShift);
    ExpectSelection(4, 9);
    Key(VK_INSERT);
    EXPECT_EQ(0, At(0));
    EXPECT_EQ(0xFF, At(1));
    EXPECT_EQ(0xFF, At(2));
    EXPECT_EQ(0xFF, At(3));
    EXPECT_EQ(4, At(4));
    EXPECT_EQ(10, ctl.m_nCaretPos);
    ExpectSelection(-1, -1);

    // One that ends at the last byte; Backspace at 0 with a selection works.
    ctl.m_nCaretPos = 0;
    Key(VK_END, kShift);
    ctl.m_nCaretPos = 0;
    ctl.MoveCaret(0, 0, FALSE);
    Key(VK_BACK);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    for (int i : {0, 1, 2000, 4095})
        EXPECT_EQ(0, At(i)) << i;
    ExpectSelection(-1, -1);
}

// ---------------------------------------------------------------------------
// Typing

TEST_F(KeyTest, HexDigitsOverwriteNibblesAndSkipTheBlank)
{
    ctl.m_nCaretPos = 3 * 16;   // byte 16 holds 0x10
    Chars("7f");
    EXPECT_EQ(0x7F, At(16));
    EXPECT_EQ(3 * 17, ctl.m_nCaretPos) << "the next byte's high digit";
    EXPECT_EQ(0, ctl.m_nDigit);
    Chars("A");
    EXPECT_EQ(0xA1, At(17));
    EXPECT_EQ(3 * 17 + 1, ctl.m_nCaretPos);
    Chars("g -");
    EXPECT_EQ(0xA1, At(17));
    EXPECT_EQ(3 * 17 + 1, ctl.m_nCaretPos);

    // A digit on the blank replaces the low nibble of the byte before it
    // and goes on to the next byte, with no further skip.
    ctl.m_nCaretPos = 3 * 20 + 2;
    Chars("b");
    EXPECT_EQ(0x1B, At(20));
    EXPECT_EQ(3 * 21, ctl.m_nCaretPos);
    EXPECT_EQ(0x15, At(21));
    ExpectCaretOnItsCell();

    // The last byte: the caret stays on its blank; further digits replace
    // its low nibble.
    Key(VK_END);
    Chars("3c");
    EXPECT_EQ(0x3C, At(4095));
    EXPECT_EQ(3 * 4096 - 1, ctl.m_nCaretPos);
    Chars("9E");
    EXPECT_EQ(0x3E, At(4095));
    EXPECT_EQ(4096, ctl.m_data.GetSize());
    ExpectCaretOnItsCell();
}

TEST_F(KeyTest, CharactersInTheCharacterColumn)
{
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 32;
    Chars("Hi \x01\t\x7f");   // 0x7F: Ctrl+Backspace on Windows
    EXPECT_EQ('H', At(32));
    EXPECT_EQ('i', At(33));
    EXPECT_EQ(0x20, At(34));
    EXPECT_EQ(35, At(35));
    EXPECT_EQ(35, ctl.m_nCaretPos);
    ::SendMessageA(ctl.m_hWnd, WM_CHAR, 0xE9, 1);
    EXPECT_EQ(0xE9, At(35));

    Key(VK_END);
    Chars("xyz");
    EXPECT_EQ('z', At(4095));
    EXPECT_EQ(0xFE, At(4094));
    EXPECT_EQ(4095, ctl.m_nCaretPos);
    EXPECT_EQ(4096, ctl.m_data.GetSize());

    // A space in the hex column is ignored.
    ctl.m_nArea = 0;
    ctl.m_nCaretPos = 0;
    Chars(" ");
    EXPECT_EQ(0, ctl.m_nCaretPos);
}

TEST_F(KeyTest, TypingWithASelectionWritesOnlyAtTheCaret)
{
    Key(VK_RIGHT, kShift);
    Key(VK_RIGHT, kShift);
    Key(VK_RIGHT, kShift);
    ExpectSelection(0, 2);
    Chars("ab");
    EXPECT_EQ(0, At(0));
    EXPECT_EQ(0xAB, At(1));
    ExpectSelection(0, 2, "kept, also with the caret out of it");
    EXPECT_EQ(6, ctl.m_nCaretPos);
}

TEST_F(KeyTest, CaretBeyondShorterDataWritesNothingAndComesBack)
{
    ctl.m_nCaretPos = 3 * 100;
    ctl.SetCounting(10);
    ctl.UpdateCaret();
    EXPECT_EQ(0, ctl.m_byteCur);
    Chars("5");
    EXPECT_EQ(3 * 10 - 1, ctl.m_nCaretPos);
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(i, At(i));

    ctl.m_nCaretPos = 3 * 50;
    Key(VK_DELETE);
    EXPECT_EQ(3 * 10 - 1, ctl.m_nCaretPos);
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 50;
    Chars("Q");
    EXPECT_EQ(9, ctl.m_nCaretPos);
    for (int i = 0; i < 10; i++)
        EXPECT_EQ(i, At(i));
    ExpectCaretOnItsCell();
}

// ---------------------------------------------------------------------------
// The caret stays where the layout puts it

TEST_F(KeyTest, ResizeKeepsTheCaretOnItsCell)
{
    ctl.m_nCaretPos = 48 * 30 + 7;
    ctl.MoveCaret(0, 0, FALSE);
    ExpectCaretOnItsCell();
    ctl.SetLayoutCells(40, 12);
    EXPECT_GT(ctl.m_nFirstCol + ctl.m_nFirstRow, -1);
    ExpectCaretOnItsCell();
    ctl.SetLayoutCells(85, 40);
    ExpectCaretOnItsCell();

    // Without the focus the thread's caret is another window's: a resize
    // leaves it alone.
    HWND hOther = ::CreateWindowExA(0, "edit", "some text", WS_CHILD | WS_VISIBLE, 0, 700, 200, 20, host.hwnd(),
                                    NULL, ::GetModuleHandleA(NULL), NULL);
    ::SetFocus(hOther);
    Pump();
    POINT before = CaretPos();
    ctl.SetLayoutCells(50, 30);
    ::SendMessageA(ctl.m_hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(300, 300));
    EXPECT_EQ(before.x, CaretPos().x);
    EXPECT_EQ(before.y, CaretPos().y);
    EXPECT_EQ(hOther, ThreadInfo().hwndCaret);
    ::DestroyWindow(hOther);
}

// A modeless dialog: OK, Cancel and an edit control (id 1000) that the hex
// control subclasses, as a dialog's data exchange binds it.
class DialogKeyTest : public ::testing::Test {
protected:
    static INT_PTR CALLBACK DlgProc(HWND, UINT msg, WPARAM wParam, LPARAM)
    {
        if (msg == WM_COMMAND && LOWORD(wParam) == 1000 &&
            (HIWORD(wParam) == EN_CHANGE || HIWORD(wParam) == EN_UPDATE))
            s_nTextNotifications++;
        return msg == WM_INITDIALOG;
    }
    // EN_CHANGE and EN_UPDATE the dialog has had from the control.
    static int s_nTextNotifications;

    void SetUp() override
    {
        // DLGTEMPLATE and three DLGITEMTEMPLATEs, each DWORD-aligned, with
        // empty menu, class and title arrays and class atoms for the items.
        std::vector<WORD> t;
        auto dword = [&](DWORD v) {
            t.push_back(LOWORD(v));
            t.push_back(HIWORD(v));
        };
        auto align = [&] {
            if (t.size() % 2)
                t.push_back(0);
        };
        dword(WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME);
        dword(0);
        t.push_back(3);
        t.insert(t.end(), {0, 0, 320, 120});
        t.insert(t.end(), {0, 0, 0});   // menu, class, title
        struct Item {
            DWORD style;
            short x, y, cx, cy;
            WORD id, atom;
        } items[] = {
            {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, 270, 5, 45, 14, IDOK, 0x0080},
            {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 270, 22, 45, 14, IDCANCEL, 0x0080},
            {WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 5, 5, 260, 110, 1000, 0x0081},
        };
        for (const Item& it : items) {
            align();
            dword(it.style);
            dword(0);
            t.insert(t.end(), {static_cast<WORD>(it.x), static_cast<WORD>(it.y), static_cast<WORD>(it.cx),
                               static_cast<WORD>(it.cy), it.id, 0xFFFF, it.atom, 0, 0});
        }
        align();
        m_hDlg = ::CreateDialogIndirectParamA(::GetModuleHandleA(NULL), reinterpret_cast<DLGTEMPLATE*>(t.data()),
                                              NULL, DlgProc, 0);
        ASSERT_NE(HWND(NULL), m_hDlg);
        ASSERT_TRUE(ctl.SubclassWindow(::GetDlgItem(m_hDlg, 1000)));
        ctl.SetCounting(4096);
        ::SetForegroundWindow(m_hDlg);
        ::SetFocus(ctl.m_hWnd);
        Loop();
        ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
    }
    void TearDown() override
    {
        if (m_hDlg != NULL) {
            ctl.UnsubclassWindow();
            ::DestroyWindow(m_hDlg);
        }
        Pump();
    }
    // The dialog's message loop: dialog keys go through IsDialogMessage.
    void Loop()
    {
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (!::IsDialogMessageA(m_hDlg, &msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
    }
    // A key posted to the focused window, with the modifiers in the key
    // state while the loop runs.
    void PostKey(UINT vk, int mods = kNone)
    {
        BYTE state[256], saved[256];
        ::GetKeyboardState(saved);
        std::memcpy(state, saved, sizeof state);
        state[VK_SHIFT] = state[VK_LSHIFT] = (mods & kShift) ? 0x80 : 0;
        state[VK_CONTROL] = state[VK_LCONTROL] = (mods & kCtrl) ? 0x80 : 0;
        ::SetKeyboardState(state);
        ::PostMessageA(::GetFocus(), WM_KEYDOWN, vk, 1 | (::MapVirtualKeyA(vk, 0) << 16));
        Loop();
        ::SetKeyboardState(saved);
    }

    HWND m_hDlg = NULL;
    KeyHexEdit ctl;
};

int DialogKeyTest::s_nTextNotifications = 0;

TEST_F(DialogKeyTest, TabMovesTheFocusThroughTheDialogAndArrowsReachTheControl)
{
    PostKey(VK_RIGHT);
    PostKey(VK_DOWN);
    EXPECT_EQ(49, ctl.m_nCaretPos) << "arrows are the control's, not the dialog's";
    PostKey(VK_TAB);
    EXPECT_EQ(::GetDlgItem(m_hDlg, IDOK), ::GetFocus());
    ::SetFocus(ctl.m_hWnd);
    Loop();
    PostKey(VK_TAB, kShift);
    EXPECT_EQ(::GetDlgItem(m_hDlg, IDCANCEL), ::GetFocus());
    PostKey(VK_TAB);
    EXPECT_EQ(ctl.m_hWnd, ::GetFocus()) << "Tab from Cancel reaches the control";
    EXPECT_EQ(ctl.m_hWnd, ThreadInfo().hwndCaret);
    EXPECT_EQ(49, ctl.m_nCaretPos);
    // The dialog would select an edit's text as it gives it the focus; the
    // control does not ask for that, and the caret stays on its cell.
    POINT pt = CaretPos();
    EXPECT_EQ((10 + 1) * ctl.m_sizeChar.cx, pt.x);
    EXPECT_EQ((1 + 2) * ctl.m_sizeChar.cy, pt.y);
}

TEST_F(DialogKeyTest, NothingReachesTheEditClassesOwnTextAndCtrlArrowsLeaveTheCaretAlone)
{
    // Shift+Insert is no accelerator in a dialog, so it reaches the control;
    // neither it nor the clipboard messages nor typed text may go into the
    // edit class's text (nothing shows it; the dialog would hear EN_CHANGE
    // for no byte changed).
    if (::OpenClipboard(NULL)) {
        ::EmptyClipboard();
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, 16);
        std::memcpy(::GlobalLock(h), "pasted text", 12);
        ::GlobalUnlock(h);
        ::SetClipboardData(CF_TEXT, h);
        ::CloseClipboard();
    }
    ctl.m_nCaretPos = 48 * 2 + 5;
    ctl.MoveCaret(0, 0, FALSE);
    PostKey(VK_RIGHT, kShift);
    Loop();
    const std::vector<BYTE> before(ctl.m_data.GetData(), ctl.m_data.GetData() + 4096);
    const SCROLLINFO vert = ctl.Bar(SB_VERT), horz = ctl.Bar(SB_HORZ);
    const LONGLONG nSelStart = ctl.m_nSelStart, nSelEnd = ctl.m_nSelEnd;
    ASSERT_NE(-1, nSelStart);
    s_nTextNotifications = 0;
    const int cx = ctl.m_sizeChar.cx, cy = ctl.m_sizeChar.cy;
    auto expectNothingChanged = [&](const char* pszAfter) {
        SCOPED_TRACE(pszAfter);
        EXPECT_EQ(0, ctl.EditClassTextLength());
        EXPECT_EQ(0, s_nTextNotifications);
        EXPECT_EQ(48 * 2 + 6, ctl.m_nCaretPos);
        EXPECT_EQ(nSelStart, ctl.m_nSelStart);
        EXPECT_EQ(nSelEnd, ctl.m_nSelEnd);
        POINT pt = CaretPos();
        EXPECT_EQ((10 + 6) * cx, pt.x);
        EXPECT_EQ((2 + 2) * cy, pt.y);
        SCROLLINFO v = ctl.Bar(SB_VERT), h = ctl.Bar(SB_HORZ);
        EXPECT_TRUE(v.nMax == vert.nMax && v.nPage == vert.nPage && v.nPos == vert.nPos);
        EXPECT_TRUE(h.nMax == horz.nMax && h.nPage == horz.nPage && h.nPos == horz.nPos);
        EXPECT_TRUE(before == std::vector<BYTE>(ctl.m_data.GetData(), ctl.m_data.GetData() + 4096));
    };
    for (UINT vk : {VK_RIGHT, VK_LEFT, VK_NEXT}) {
        PostKey(vk, kCtrl);
        expectNothingChanged("Ctrl+arrow or Ctrl+Page Down");
    }
    PostKey(VK_DELETE, kCtrl);
    expectNothingChanged("Ctrl+Delete");
    ::SendMessageA(ctl.m_hWnd, WM_IME_CHAR, 'x', 1);
    Loop();
    expectNothingChanged("a character from an input method");
    // A text from outside: the host's SetWindowText, a data exchange, an
    // automation client.
    ctl.SetWindowText("set text");
    ::SendMessageA(ctl.m_hWnd, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("replaced"));
    Loop();
    expectNothingChanged("WM_SETTEXT and EM_REPLACESEL");
    // The clipboard's keys and messages and undo change bytes, but never
    // the edit class's text.
    PostKey(VK_INSERT, kShift);
    PostKey(VK_DELETE, kShift);
    for (UINT msg : {UINT(WM_PASTE), UINT(WM_CUT), UINT(WM_CLEAR), UINT(WM_UNDO), UINT(EM_UNDO)}) {
        ::SendMessageA(ctl.m_hWnd, msg, 0, 0);
        Loop();
    }
    EXPECT_EQ(0, ctl.EditClassTextLength());
    EXPECT_EQ(0, s_nTextNotifications);
}

// ---------------------------------------------------------------------------
// A block past 715,827,882 bytes: hex positions beyond 2^31

class BigBlockTest : public KeyTest {
protected:
    static const int kBig = 800000000;
    void SetUp() override
    {
        KeyTest::SetUp();
        if (!ctl.SetZeros(kBig))
            GTEST_SKIP() << "800,000,000 bytes could not be allocated";
        ctl.m_data[kBig - 1] = 0x11;
        ctl.m_data[kBig / 2] = 0x22;
    }
    void TearDown() override { ctl.m_data.SetSize(0, -1); }
    const LONGLONG kUnits = 3LL * kBig;
};

TEST_F(BigBlockTest, EndTypingAndTheCaretCellAtTheLastByte)
{
    Key(VK_END);
    EXPECT_EQ(kUnits - 3, ctl.m_nCaretPos);
    const int nRows = kBig / 16;
    EXPECT_EQ(nRows - 1 + 3 - 20, ctl.m_nFirstRow);
    EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);
    EXPECT_EQ((10 + 45) * cx, CaretPos().x);
    EXPECT_EQ(19 * cy, CaretPos().y);
    EXPECT_EQ(0x11, ctl.m_byteCur);

    Chars("ab");
    EXPECT_EQ(0xAB, At(kBig - 1));
    EXPECT_EQ(kUnits - 1, ctl.m_nCaretPos);
    EXPECT_EQ((10 + 47) * cx, CaretPos().x);
    EXPECT_EQ(19 * cy, CaretPos().y);
    Chars("C");
    EXPECT_EQ(0xAC, At(kBig - 1));
    ExpectCaretOnItsCell();

    Key(VK_PRIOR);
    EXPECT_EQ(kUnits - 1 - 480, ctl.m_nCaretPos);
    ExpectCaretOnItsCell();
}

TEST_F(BigBlockTest, ShiftEndShiftHomeAndDeleteOverTheWholeBlock)
{
    ctl.m_nCaretPos = 3LL * (kBig - 2);
    Key(VK_END, kShift);
    ExpectSelection(3LL * (kBig - 2), kUnits - 2);
    EXPECT_EQ(kUnits - 1, ctl.m_nCaretPos);
    COLORREF hiBk = ::GetSysColor(COLOR_HIGHLIGHT), hiText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    {
        Picture pic = Picture::FromWindow(ctl.m_hWnd);
        const int lastRow = kBig / 16 - 1;
        EXPECT_TRUE(pic.Shows(Digits(lastRow, 15), hiBk, hiText));
        EXPECT_TRUE(pic.Shows(Digits(lastRow, 14), hiBk, hiText));
        EXPECT_TRUE(pic.Shows(ctl.HexCellRect(lastRow, 13), ctl.m_clrHexBk, ctl.m_clrHexText));
    }

    ctl.ClearSelection();
    Key(VK_HOME, kShift);
    ExpectSelection(0, kUnits - 2);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    {
        Picture pic = Picture::FromWindow(ctl.m_hWnd);
        EXPECT_TRUE(pic.Shows(ctl.HexCellRect(0, 1), hiBk, hiText));
    }

    Key(VK_DELETE);
    ExpectSelection(-1, -1);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    EXPECT_EQ(0, At(kBig / 2));
    EXPECT_EQ(0, At(kBig - 1));
    Key(VK_END, kShift);
    Key(VK_INSERT);
    EXPECT_EQ(0xFF, At(0));
    EXPECT_EQ(0xFF, At(kBig / 2));
    EXPECT_EQ(0xFF, At(kBig - 1));
}

TEST_F(BigBlockTest, CharacterColumnEndAndTyping)
{
    ctl.m_nArea = 1;
    Key(VK_END);
    EXPECT_EQ(kBig - 1, ctl.m_nCaretPos);
    Chars("Z!");
    EXPECT_EQ('!', At(kBig - 1));
    EXPECT_EQ(kBig - 1, ctl.m_nCaretPos);
    EXPECT_EQ((62 + 15) * cx, CaretPos().x);
    EXPECT_EQ(19 * cy, CaretPos().y);
}

// ---------------------------------------------------------------------------
// The largest block the array holds, from a file and back: every position
// and pixel stays in range (the control under test traps on an int
// overflow), also one and two lines high, where the first row passes
// 134,217,727 and times the cell height no longer fits an int. Only a 64-bit
// process can hold 2 GiB in one block, so only the 64-bit tests have it.
#ifdef _WIN64

// The traps of those overflow checks (illegal instructions): a paint's
// exception is swallowed by the system, so they are counted as they arise.
int g_nOverflowTraps = 0;
LONG CALLBACK CountOverflowTraps(EXCEPTION_POINTERS* pInfo)
{
    if (pInfo->ExceptionRecord->ExceptionCode == EXCEPTION_ILLEGAL_INSTRUCTION)
        g_nOverflowTraps++;
    return EXCEPTION_CONTINUE_SEARCH;
}

class LargestBlockTest : public KeyTest {
protected:
    static constexpr int kSize = INT_MAX;
    void SetUp() override
    {
        g_nOverflowTraps = 0;
        m_hTrapHandler = ::AddVectoredExceptionHandler(1, CountOverflowTraps);
        ASSERT_NO_FATAL_FAILURE(KeyTest::SetUp());
        char szDir[MAX_PATH] = "";
        ::GetTempPathA(MAX_PATH, szDir);
        m_strIn = std::string(szDir) + "qx largest block.bin";
        m_strOut = std::string(szDir) + "qx largest block saved.bin";
        ::DeleteFileA(m_strOut.c_str());
        // Sparse but for its last byte, 0x5A.
        HANDLE h = ::CreateFileA(m_strIn.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        LARGE_INTEGER at;
        at.QuadPart = kSize - 1;
        const BYTE last = 0x5A;
        DWORD n = 0;
        const bool ok = ::SetFilePointerEx(h, at, NULL, FILE_BEGIN) && ::WriteFile(h, &last, 1, &n, NULL) && n == 1;
        ::CloseHandle(h);
        ASSERT_TRUE(ok);
    }
    void TearDown() override
    {
        if (m_hTrapHandler != NULL)
            ::RemoveVectoredExceptionHandler(m_hTrapHandler);
        ctl.m_data.SetSize(0, -1);
        if (!m_strIn.empty()) {
            ::DeleteFileA(m_strIn.c_str());
            ::DeleteFileA(m_strOut.c_str());
        }
    }
    // The length of a file and its byte at nAt (-1 when unreadable).
    static int ByteOfFile(const std::string& path, LONGLONG nAt, LONGLONG* pnLength)
    {
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        if (h == INVALID_HANDLE_VALUE)
            return -1;
        LARGE_INTEGER size = {}, at = {};
        at.QuadPart = nAt;
        BYTE b = 0;
        DWORD n = 0;
        const bool ok = ::GetFileSizeEx(h, &size) && ::SetFilePointerEx(h, at, NULL, FILE_BEGIN) &&
                        ::ReadFile(h, &b, 1, &n, NULL) && n == 1;
        ::CloseHandle(h);
        *pnLength = size.QuadPart;
        return ok ? b : -1;
    }

    std::string m_strIn, m_strOut;
    PVOID m_hTrapHandler = NULL;
};

TEST_F(LargestBlockTest, LoadEndTypeSelectPaintOneAndTwoLinesHighAndSave)
{
    MessageBoxCatcher box;
    ctl.LoadFile(m_strIn.c_str());
    Pump();
    ASSERT_EQ(0, MessageBoxCatcher::Count()) << MessageBoxCatcher::Text();
    ASSERT_EQ(kSize, ctl.m_data.GetSize());
    const LONGLONG kUnits = 3LL * kSize;
    const int nRows = kSize / 16 + 1;   // the last one holds 15 bytes
    Focus();

    Key(VK_END);
    EXPECT_EQ(kUnits - 3, ctl.m_nCaretPos);
    EXPECT_EQ(nRows - 1 + 3 - 20, ctl.m_nFirstRow);
    EXPECT_EQ(0x5A, ctl.m_byteCur);
    Chars("c3");
    EXPECT_EQ(0xC3, At(kSize - 1));
    EXPECT_EQ(kUnits - 1, ctl.m_nCaretPos);
    ExpectCaretOnItsCell();
    Key(VK_HOME, kShift);
    ExpectSelection(0, kUnits - 2);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    ExpectCaretOnItsCell();

    // Ctrl+End keeps the selection; the bottom of the bar is the row count
    // plus one (one line high) or the row count (two lines high).
    for (int nLines : {2, 1}) {
        SCOPED_TRACE(nLines);
        ctl.SetLayoutCells(85, nLines);
        Key(VK_END, kCtrl);
        for (int i = 0; i < 3; i++)
            ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
        EXPECT_EQ(nRows + 2 - nLines, ctl.m_nFirstRow);
        EXPECT_EQ(ctl.m_nFirstRow, ctl.Bar(SB_VERT).nPos);
        ExpectCaretOnItsCell();
        ::HideCaret(ctl.m_hWnd);   // it would invert the caret's cell
        Picture shown = Picture::FromWindow(ctl.m_hWnd);
        ::ShowCaret(ctl.m_hWnd);
        EXPECT_EQ(-1, shown.FirstDifference(ctl.PaintPerItem()).x);
        ctl.SendScroll(WM_VSCROLL, SB_LINEUP);
        EXPECT_EQ(nRows + 1 - nLines, ctl.m_nFirstRow);
        Picture::FromWindow(ctl.m_hWnd);
        EXPECT_EQ(0, g_nOverflowTraps) << "an int overflowed";
    }
    ExpectSelection(0, kUnits - 2);

    ctl.SaveFile(m_strOut.c_str());
    EXPECT_EQ(0, MessageBoxCatcher::Count()) << MessageBoxCatcher::Text();
    LONGLONG nLength = 0;
    EXPECT_EQ(0xC3, ByteOfFile(m_strOut, kSize - 1, &nLength));
    EXPECT_EQ(kSize, nLength);
    EXPECT_EQ(0, ByteOfFile(m_strOut, kSize / 2, &nLength));
    EXPECT_EQ(0, g_nOverflowTraps) << "an int overflowed";
}

#endif // _WIN64

} // namespace
