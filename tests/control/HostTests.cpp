// Window-level tests of what CHexEditCtrl offers its host: the notifications
// a parent asks for (recorded by the host window's own procedure as they
// arrive) and the keyboard and mouse messages it is offered first,
// read-only mode, the bytes read back, the modified flag across edits,
// SetData, loads and saves, and the caret and selection set in bytes, also
// in a block of 800,000,000 bytes. Keys and characters go to the control
// while it has the focus, mouse messages in client coordinates; real keys,
// clicks and wheel turns go through SendInput.
#include "MessageBoxCatcher.h"
#include "ControlTest.h"

#include <cstring>
#include <functional>
#include <string>
#include <vector>

using qxtest::Pump;
using qxtest::TestHexEdit;

namespace {

const UINT kID = 1;

// What the parent received from the control: EN_CHANGE, EN_VSCROLL or
// EN_HSCROLL through WM_COMMAND, or a copy of an EN_SELCHANGE's or an
// EN_MSGFILTER's structure (as the control offered it).
struct Received {
    UINT nCode;
    NMHEXSELCHANGE sel;
    MSGFILTER filter;
};
std::vector<Received> g_received;
// Mouse moves offered with EN_MSGFILTER are counted, not recorded: how many
// a real move makes is the system's affair.
int g_nFilteredMoves = 0;
HWND g_hControl = NULL;
// What the host does when it hears EN_CHANGE (after recording it); empty for
// nothing.
std::function<void()> g_onChange;
// The host's answer to EN_MSGFILTER, which may change the structure; empty
// for 0 (the message is handled as it came).
std::function<LRESULT(MSGFILTER&)> g_onFilter;

LRESULT CALLBACK RecordingHostProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && (HIWORD(wParam) == EN_CHANGE || HIWORD(wParam) == EN_VSCROLL ||
                              HIWORD(wParam) == EN_HSCROLL)) {
        EXPECT_EQ(kID, LOWORD(wParam));
        EXPECT_EQ(g_hControl, reinterpret_cast<HWND>(lParam));
        g_received.push_back(Received{HIWORD(wParam), {}, {}});
        if (HIWORD(wParam) == EN_CHANGE && g_onChange)
            g_onChange();
    } else if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == EN_MSGFILTER) {
        MSGFILTER& filter = *reinterpret_cast<MSGFILTER*>(lParam);
        EXPECT_EQ(g_hControl, filter.nmhdr.hwndFrom);
        EXPECT_EQ(kID, filter.nmhdr.idFrom);
        EXPECT_EQ(kID, wParam);
        if (filter.msg == WM_MOUSEMOVE)
            g_nFilteredMoves++;
        else
            g_received.push_back(Received{EN_MSGFILTER, {}, filter});
        return g_onFilter ? g_onFilter(filter) : 0;
    } else if (msg == WM_NOTIFY) {
        const NMHDR* pHdr = reinterpret_cast<const NMHDR*>(lParam);
        EXPECT_EQ(EN_SELCHANGE, pHdr->code);
        EXPECT_EQ(g_hControl, pHdr->hwndFrom);
        EXPECT_EQ(kID, pHdr->idFrom);
        const NMHEXSELCHANGE& hex = *reinterpret_cast<const NMHEXSELCHANGE*>(lParam);
        // What a handler written for rich edit's SELCHANGE reads.
        const SELCHANGE& rich = *reinterpret_cast<const SELCHANGE*>(lParam);
        if (hex.nSelFirst >= 0) {
            EXPECT_EQ(SEL_TEXT, rich.seltyp);
            EXPECT_EQ(hex.nSelFirst, rich.chrg.cpMin);
            EXPECT_EQ(hex.nSelLast + 1, rich.chrg.cpMax);
        } else {
            EXPECT_EQ(SEL_EMPTY, rich.seltyp);
            EXPECT_EQ(hex.nCaret, rich.chrg.cpMin);
            EXPECT_EQ(hex.nCaret, rich.chrg.cpMax);
        }
        g_received.push_back(Received{EN_SELCHANGE, hex, {}});
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

using HostHexEdit = TestHexEdit;

class HostTest : public qxtest::CountingControlTest<HostHexEdit> {
protected:
    void SetUp() override
    {
        ::SetCursorPos(2400, 1400);   // no made-up move lands in the control
        ASSERT_NO_FATAL_FAILURE(CountingControlTest::SetUp());
        ::SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingHostProc));
        g_hControl = ctl.m_hWnd;
        ctl.SetLayoutCells(85, 20);
        ::SetForegroundWindow(host.hwnd());
        ::SetFocus(ctl.m_hWnd);
        Pump();
        ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
        g_received.clear();
        g_nFilteredMoves = 0;
    }
    void TearDown() override
    {
        ::SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(::DefWindowProcA));
        g_received.clear();
        g_onChange = nullptr;
        g_onFilter = nullptr;
    }

    void Ask(DWORD dwMask) { ::SendMessageA(ctl.m_hWnd, EM_SETEVENTMASK, 0, dwMask); }

    // One key with Shift held or not, through the thread's key state.
    void Key(UINT vk, bool bShift = false)
    {
        qxtest::SendKey(ctl.m_hWnd, vk, bShift ? qxtest::kShift : qxtest::kNone);
    }
    void Chars(const char* psz) { qxtest::SendChars(ctl.m_hWnd, psz); }
    void Mouse(UINT nMsg, int nCol, int nRow)
    {
        int x = (nCol - ctl.m_nFirstCol) * cx + cx / 2, y = (nRow + 2 - ctl.m_nFirstRow) * cy + cy / 2;
        ::SendMessageA(ctl.m_hWnd, nMsg, nMsg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(x, y));
        Pump();
    }

    // Real input, as a person gives it: a key pressed and released, a click
    // at a point of the client area (the pointer goes there first), a turn
    // of the wheel; then the messages they make are handled.
    void RealKey(WORD vk)
    {
        for (DWORD dwFlags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT in = {};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = vk;
            in.ki.dwFlags = dwFlags;
            ::SendInput(1, &in, sizeof(in));
        }
        Pump();
    }
    void RealClick(POINT ptClient)
    {
        POINT pt = ptClient;
        ::ClientToScreen(ctl.m_hWnd, &pt);
        RealClickOnScreen(pt);
    }
    void RealClickOnScreen(POINT ptScreen)
    {
        qxtest::SendMouseAbsolute(ptScreen, 0);
        qxtest::SendMouseAbsolute(ptScreen, MOUSEEVENTF_LEFTDOWN);
        qxtest::SendMouseAbsolute(ptScreen, MOUSEEVENTF_LEFTUP);
        Pump();
    }
    // The wheel turned with the pointer over the middle of the control.
    void RealWheel(int nDelta)
    {
        RECT rc;
        ::GetClientRect(ctl.m_hWnd, &rc);
        POINT pt = {rc.right / 2, rc.bottom / 2};
        ::ClientToScreen(ctl.m_hWnd, &pt);
        qxtest::SendMouseAbsolute(pt, 0);
        INPUT in = {};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = MOUSEEVENTF_WHEEL;
        in.mi.mouseData = static_cast<DWORD>(nDelta);
        ::SendInput(1, &in, sizeof(in));
        Pump();
    }
    // The middle of byte nByte's high digit in the hex column.
    POINT HexDigitPoint(int nByte) const
    {
        return POINT{(10 + 3 * (nByte % 16) - ctl.m_nFirstCol) * cx + cx / 2,
                     (nByte / 16 + 2 - ctl.m_nFirstRow) * cy + cy / 2};
    }

    // The notifications received since the last call, as text: "change",
    // "sel caret first last", "vscroll", "hscroll", or "filter" with the
    // message offered (and a key's or character's code in hexadecimal).
    std::vector<std::string> Take()
    {
        std::vector<std::string> v;
        for (const Received& r : g_received) {
            char sz[96];
            if (r.nCode == EN_CHANGE)
                std::snprintf(sz, sizeof sz, "change");
            else if (r.nCode == EN_VSCROLL)
                std::snprintf(sz, sizeof sz, "vscroll");
            else if (r.nCode == EN_HSCROLL)
                std::snprintf(sz, sizeof sz, "hscroll");
            else if (r.nCode == EN_MSGFILTER)
                std::snprintf(sz, sizeof sz, "filter %s", FilteredText(r.filter).c_str());
            else
                std::snprintf(sz, sizeof sz, "sel %lld %lld %lld", r.sel.nCaret, r.sel.nSelFirst, r.sel.nSelLast);
            v.push_back(sz);
        }
        g_received.clear();
        return v;
    }
    static std::string FilteredText(const MSGFILTER& f)
    {
        static const struct {
            UINT msg;
            const char* pszName;
        } names[] = {{WM_KEYDOWN, "keydown"},         {WM_KEYUP, "keyup"},         {WM_CHAR, "char"},
                     {WM_SYSKEYDOWN, "syskeydown"},   {WM_SYSKEYUP, "syskeyup"},   {WM_SYSCHAR, "syschar"},
                     {WM_LBUTTONDOWN, "lbuttondown"}, {WM_LBUTTONUP, "lbuttonup"}, {WM_LBUTTONDBLCLK, "lbuttondblclk"},
                     {WM_RBUTTONDOWN, "rbuttondown"}, {WM_RBUTTONUP, "rbuttonup"}, {WM_MOUSEWHEEL, "mousewheel"}};
        char sz[64];
        std::snprintf(sz, sizeof sz, "0x%X", f.msg);
        std::string s = sz;
        for (const auto& n : names)
            if (n.msg == f.msg)
                s = n.pszName;
        if (f.msg >= WM_KEYFIRST && f.msg <= WM_KEYLAST) {
            std::snprintf(sz, sizeof sz, " %X", static_cast<unsigned>(f.wParam));
            s += sz;
        }
        return s;
    }
    using Seen = std::vector<std::string>;

    std::vector<BYTE> Counting(int n) const
    {
        std::vector<BYTE> v(n);
        for (int i = 0; i < n; i++)
            v[i] = static_cast<BYTE>(i);
        return v;
    }
    std::vector<BYTE> DataOf() const
    {
        CByteArray a;
        ctl.GetData(&a);
        return std::vector<BYTE>(a.GetData(), a.GetData() + a.GetSize());
    }
    bool CaretRowInView() const
    {
        LONGLONG nRow = ctl.GetCaretOffset() / 16;
        return nRow >= ctl.m_nFirstRow && nRow + 2 - ctl.m_nFirstRow < ctl.m_nVisRows;
    }
    std::string TempPath(const char* pszName) const
    {
        char szDir[MAX_PATH];
        ::GetTempPathA(MAX_PATH, szDir);
        return std::string(szDir) + pszName;
    }
};

// ---------------------------------------------------------------------------
// Notifications

TEST_F(HostTest, NothingArrivesUntilTheHostAsksThenEachChangeOnce)
{
    // Asked for nothing: typing, keys, a drag and the host's own operations
    // tell the parent nothing.
    EXPECT_EQ(0, ::SendMessageA(ctl.m_hWnd, EM_GETEVENTMASK, 0, 0));
    Chars("12");
    Key(VK_DELETE);
    Key(VK_RIGHT, true);
    Mouse(WM_LBUTTONDOWN, 10, 1);
    Mouse(WM_MOUSEMOVE, 16, 1);
    Mouse(WM_LBUTTONUP, 16, 1);
    ctl.Fill(0x00);
    ctl.SetCaretOffset(100);
    EXPECT_EQ(Seen(), Take());

    EXPECT_EQ(0, ::SendMessageA(ctl.m_hWnd, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE));
    EXPECT_EQ(ENM_CHANGE | ENM_SELCHANGE, ::SendMessageA(ctl.m_hWnd, EM_GETEVENTMASK, 0, 0));

    // A first digit changes the byte but neither the caret's byte nor the
    // selection; the second moves the caret on to the next byte.
    ctl.SetCaretOffset(5);
    EXPECT_EQ(Seen({"sel 5 -1 -1"}), Take());
    Chars("7");
    EXPECT_EQ(Seen({"change"}), Take());
    Chars("f");
    EXPECT_EQ(Seen({"change", "sel 6 -1 -1"}), Take());
    EXPECT_EQ(0x7F, ctl.m_data[5]);

    // Shift+Right: a notification only when the caret's byte or the selected
    // bytes change, not at every cell.
    Key(VK_RIGHT, true);
    EXPECT_EQ(Seen({"sel 6 6 6"}), Take());
    Key(VK_RIGHT, true);
    EXPECT_EQ(Seen(), Take());
    Key(VK_RIGHT, true);
    EXPECT_EQ(Seen({"sel 7 6 6"}), Take());
    Key(VK_DELETE);   // fills the selection, drops it
    EXPECT_EQ(Seen({"change", "sel 7 -1 -1"}), Take());

    // Movement alone, a paint, a refused digit.
    Key(VK_DOWN);
    EXPECT_EQ(Seen({"sel 23 -1 -1"}), Take());
    qxtest::Picture::FromWindow(ctl.m_hWnd);
    Chars("x");
    EXPECT_EQ(Seen(), Take());

    // The host's own operations: Fill changes the bytes; SetData does not
    // announce a change.
    ctl.Fill(0xAA);
    EXPECT_EQ(Seen({"change"}), Take());
    ctl.SetCounting(4096);
    EXPECT_EQ(Seen(), Take());

    // With ENM_SELCHANGE alone, changes of the bytes are not told.
    EXPECT_EQ(ENM_CHANGE | ENM_SELCHANGE, ::SendMessageA(ctl.m_hWnd, EM_SETEVENTMASK, 0, ENM_SELCHANGE));
    Chars("00");
    EXPECT_EQ(Seen({"sel 24 -1 -1"}), Take());
}

TEST_F(HostTest, ADragIsToldStepByStepAsItGoes)
{
    Ask(ENM_CHANGE | ENM_SELCHANGE);
    ctl.SetCaretOffset(40);
    Take();
    // Hex cells of row 0 at column 10 + cell.
    Mouse(WM_LBUTTONDOWN, 10 + 3, 0);   // byte 1's high digit
    EXPECT_EQ(Seen({"sel 1 -1 -1"}), Take());
    Mouse(WM_MOUSEMOVE, 10 + 9, 0);     // to byte 3: bytes 1-2 selected
    EXPECT_EQ(Seen({"sel 2 1 2"}), Take());
    Mouse(WM_MOUSEMOVE, 10 + 9, 0);     // no change, nothing told
    EXPECT_EQ(Seen(), Take());
    Mouse(WM_MOUSEMOVE, 10 + 18, 1);    // row 1, byte 22
    EXPECT_EQ(Seen({"sel 21 1 21"}), Take());
    Mouse(WM_MOUSEMOVE, 10 + 0, 0);     // back left of the anchor
    EXPECT_EQ(Seen({"sel 0 0 1"}), Take());
    Mouse(WM_LBUTTONUP, 10 + 0, 0);
    EXPECT_EQ(Seen(), Take());
    LONGLONG nFirst = -9, nLast = -9;
    EXPECT_TRUE(ctl.GetSelection(nFirst, nLast));
    EXPECT_EQ(0, nFirst);
    EXPECT_EQ(1, nLast);
    EXPECT_EQ(Seen(), Take()) << "no byte was changed by the drag";
}

TEST_F(HostTest, KeysAndClicksAreOfferedToTheHostFirstWhichMayDropOrChangeThem)
{
    // The mask keeps only the events that are told; the old mask comes back.
    EXPECT_EQ(0, ::SendMessageA(ctl.m_hWnd, EM_SETEVENTMASK, 0,
                                ENM_CHANGE | ENM_UPDATE | ENM_SCROLL | ENM_KEYEVENTS | ENM_MOUSEEVENTS |
                                    ENM_REQUESTRESIZE | ENM_DROPFILES | ENM_PROTECTED | ENM_SCROLLEVENTS | ENM_LINK));
    EXPECT_EQ(ENM_CHANGE | ENM_SCROLL | ENM_KEYEVENTS | ENM_MOUSEEVENTS,
              ::SendMessageA(ctl.m_hWnd, EM_GETEVENTMASK, 0, 0));
    EXPECT_EQ(ENM_CHANGE | ENM_SCROLL | ENM_KEYEVENTS | ENM_MOUSEEVENTS,
              ::SendMessageA(ctl.m_hWnd, EM_SETEVENTMASK, 0, ENM_CHANGE));

    // Not asked for: a real key and a real click are handled, nothing offered.
    ctl.SetCaretOffset(5);
    RealKey('A');
    EXPECT_EQ(0xA5, ctl.m_data[5]);
    RealClick(HexDigitPoint(20));
    EXPECT_EQ(20, ctl.GetCaretOffset());
    EXPECT_EQ(Seen({"change"}), Take());
    EXPECT_EQ(0, g_nFilteredMoves);

    // Every keyboard message is offered before it is handled; a dropped
    // character types nothing, a dropped key moves nothing.
    Ask(ENM_CHANGE | ENM_KEYEVENTS);
    ctl.SetCaretOffset(5);
    g_onFilter = [](MSGFILTER& f) -> LRESULT { return f.msg == WM_CHAR; };
    RealKey('B');
    EXPECT_EQ(Seen({"filter keydown 42", "filter char 62", "filter keyup 42"}), Take());
    EXPECT_EQ(0xA5, ctl.m_data[5]);
    g_onFilter = [](MSGFILTER& f) -> LRESULT { return f.msg == WM_KEYDOWN && f.wParam == VK_RIGHT; };
    RealKey(VK_RIGHT);
    EXPECT_EQ(15, ctl.m_nCaretPos);
    EXPECT_EQ(Seen({"filter keydown 27", "filter keyup 27"}), Take());

    // A message the host changes is handled as changed, and offered once.
    g_onFilter = [](MSGFILTER& f) -> LRESULT {
        if (f.msg == WM_CHAR && f.wParam == '1')
            f.wParam = '7';
        return 0;
    };
    RealKey('1');
    RealKey('1');
    EXPECT_EQ(0x77, ctl.m_data[5]);
    EXPECT_EQ(Seen({"filter keydown 31", "filter char 31", "change", "filter keyup 31", "filter keydown 31",
                    "filter char 31", "change", "filter keyup 31"}),
              Take());

    // Mouse messages, the wheel's too, with ENM_MOUSEEVENTS alone: keys
    // are no longer offered.
    Ask(ENM_SELCHANGE | ENM_MOUSEEVENTS);
    RealKey(VK_DOWN);
    EXPECT_EQ(Seen({"sel 22 -1 -1"}), Take());
    g_onFilter = [](MSGFILTER& f) -> LRESULT { return f.msg == WM_LBUTTONDOWN || f.msg == WM_MOUSEWHEEL; };
    RealClick(HexDigitPoint(40));
    EXPECT_EQ(22, ctl.GetCaretOffset()) << "the dropped press placed the caret";
    EXPECT_EQ(Seen({"filter lbuttondown", "filter lbuttonup"}), Take());
    EXPECT_GT(g_nFilteredMoves, 0);
    RealWheel(-WHEEL_DELTA);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_EQ(Seen({"filter mousewheel"}), Take());
    // The host moves the press and the release to byte 3.
    const POINT ptByte3 = HexDigitPoint(3);
    g_onFilter = [ptByte3](MSGFILTER& f) -> LRESULT {
        if (f.msg == WM_LBUTTONDOWN || f.msg == WM_LBUTTONUP)
            f.lParam = MAKELPARAM(ptByte3.x, ptByte3.y);
        return 0;
    };
    RealClick(HexDigitPoint(50));
    EXPECT_EQ(3, ctl.GetCaretOffset());
    EXPECT_EQ(Seen({"filter lbuttondown", "sel 3 -1 -1", "filter lbuttonup"}), Take());
    EXPECT_FALSE(ctl.m_bSelecting);
    EXPECT_EQ(NULL, ::GetCapture());
}

TEST_F(HostTest, TheBarsAndTheWheelMovingTheViewAreToldTheViewFollowingTheCaretIsNot)
{
    UINT nLines = 3;
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0));
    const int nWheelLines = static_cast<int>(nLines);
    Ask(ENM_SCROLL);

    // The wheel: told once for its lines.
    RealWheel(-WHEEL_DELTA);
    EXPECT_EQ(nWheelLines, ctl.m_nFirstRow);
    EXPECT_EQ(Seen({"vscroll"}), Take());
    // A click on the vertical bar's lower arrow.
    SCROLLBARINFO sbi = {};
    sbi.cbSize = sizeof(sbi);
    ASSERT_TRUE(::GetScrollBarInfo(ctl.m_hWnd, OBJID_VSCROLL, &sbi));
    const int nArrow = ::GetSystemMetrics(SM_CYVSCROLL);
    RealClickOnScreen(POINT{(sbi.rcScrollBar.left + sbi.rcScrollBar.right) / 2, sbi.rcScrollBar.bottom - nArrow / 2});
    EXPECT_EQ(nWheelLines + 1, ctl.m_nFirstRow);
    EXPECT_EQ(Seen({"vscroll"}), Take());
    // A scroll that moves nothing tells nothing.
    ctl.SendScroll(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    ctl.SendScroll(WM_VSCROLL, SB_LINEUP);
    RealWheel(WHEEL_DELTA);
    EXPECT_EQ(Seen({"vscroll"}), Take());

    // The view following the caret: keys, the host placing the caret.
    for (int i = 0; i < 3; i++)
        Key(VK_NEXT);
    EXPECT_GT(ctl.m_nFirstRow, 0);
    ctl.SetCaretOffset(4000);
    EXPECT_GT(ctl.m_nFirstRow, 200);
    EXPECT_EQ(Seen(), Take());

    // The horizontal bar's right arrow, in a narrower window.
    ctl.SetLayoutCells(40, 20);
    ASSERT_TRUE(ctl.BarShown(SB_HORZ));
    ASSERT_TRUE(::GetScrollBarInfo(ctl.m_hWnd, OBJID_HSCROLL, &sbi));
    const int nFirstCol = ctl.m_nFirstCol;
    const int nHArrow = ::GetSystemMetrics(SM_CXHSCROLL);
    RealClickOnScreen(POINT{sbi.rcScrollBar.right - nHArrow / 2, (sbi.rcScrollBar.top + sbi.rcScrollBar.bottom) / 2});
    EXPECT_EQ(nFirstCol + 1, ctl.m_nFirstCol);
    EXPECT_EQ(Seen({"hscroll"}), Take());

    // Not asked for: nothing.
    Ask(ENM_CHANGE);
    const int nFirstRow = ctl.m_nFirstRow;
    RealWheel(WHEEL_DELTA);
    ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    EXPECT_EQ(nFirstRow - nWheelLines, ctl.m_nFirstRow);
    EXPECT_EQ(nFirstCol + 2, ctl.m_nFirstCol);
    EXPECT_EQ(Seen(), Take());
}

// ---------------------------------------------------------------------------
// Re-entry

// A control made with new that deletes itself when its window goes, as MFC
// controls often do. Its block is kept after the delete, filled with a
// poison, so that a write after WM_NCDESTROY shows.
class SelfDeletingHexEdit : public CHexEditCtrl {
public:
    static const unsigned char kPoison = 0xDD;
    static void* s_pKept;
    static size_t s_nKept;

    static void operator delete(void* p, size_t n)
    {
        std::memset(p, kPoison, n);
        s_pKept = p;
        s_nKept = n;
    }
    // The kept block has no byte but the poison.
    static bool KeptIsUntouched()
    {
        const unsigned char* p = static_cast<const unsigned char*>(s_pKept);
        for (size_t i = 0; i < s_nKept; i++)
            if (p[i] != kPoison)
                return false;
        return s_pKept != nullptr;
    }
    static void FreeKept()
    {
        ::operator delete(s_pKept);
        s_pKept = nullptr;
        s_nKept = 0;
    }

protected:
    void PostNcDestroy() override { delete this; }
};
void* SelfDeletingHexEdit::s_pKept = nullptr;
size_t SelfDeletingHexEdit::s_nKept = 0;

TEST_F(HostTest, AControlThatDeletesItselfIsNotTouchedAfterItsLastMessage)
{
    // Destroyed from outside.
    SelfDeletingHexEdit* pCtl = new SelfDeletingHexEdit;
    ASSERT_TRUE(pCtl->Create(RECT{0, 0, 400, 300}, host.wnd(), 2));
    HWND hCtl = pCtl->m_hWnd;
    ::SendMessageA(hCtl, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
    ::DestroyWindow(hCtl);
    EXPECT_FALSE(::IsWindow(hCtl));
    EXPECT_TRUE(SelfDeletingHexEdit::KeptIsUntouched()) << "written into after WM_NCDESTROY";
    SelfDeletingHexEdit::FreeKept();

    // Destroyed by the parent in its answer to a typed digit's EN_CHANGE.
    pCtl = new SelfDeletingHexEdit;
    ASSERT_TRUE(pCtl->Create(RECT{0, 0, 400, 300}, host.wnd(), kID));
    hCtl = pCtl->m_hWnd;
    CByteArray bytes;
    bytes.SetSize(64);
    pCtl->SetData(&bytes);
    ::SendMessageA(hCtl, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
    g_hControl = hCtl;
    g_onChange = [hCtl] { ::DestroyWindow(hCtl); };
    ::SendMessageA(hCtl, WM_CHAR, '7', 1);
    Pump();
    EXPECT_FALSE(::IsWindow(hCtl));
    EXPECT_EQ(Seen({"change"}), Take());
    EXPECT_TRUE(SelfDeletingHexEdit::KeptIsUntouched()) << "written into after WM_NCDESTROY";
    SelfDeletingHexEdit::FreeKept();

    // Destroyed by the parent in its answer to a key's EN_MSGFILTER, before
    // the key is handled.
    pCtl = new SelfDeletingHexEdit;
    ASSERT_TRUE(pCtl->Create(RECT{0, 0, 400, 300}, host.wnd(), kID));
    hCtl = pCtl->m_hWnd;
    pCtl->SetData(&bytes);
    ::SendMessageA(hCtl, EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_KEYEVENTS);
    g_hControl = hCtl;
    g_onFilter = [hCtl](MSGFILTER&) -> LRESULT {
        ::DestroyWindow(hCtl);
        return 0;
    };
    ::SendMessageA(hCtl, WM_KEYDOWN, VK_RIGHT, 1);
    Pump();
    EXPECT_FALSE(::IsWindow(hCtl));
    EXPECT_EQ(Seen({"filter keydown 27"}), Take());
    EXPECT_TRUE(SelfDeletingHexEdit::KeptIsUntouched()) << "written into after WM_NCDESTROY";
    SelfDeletingHexEdit::FreeKept();
}

// ---------------------------------------------------------------------------
// Read-only

TEST_F(HostTest, ReadOnlyRefusesEveryEditAndLetsTheCaretTheSelectionAndTheHostWork)
{
    Ask(ENM_CHANGE);
    EXPECT_TRUE(ctl.SetReadOnly(TRUE));
    EXPECT_NE(0u, ctl.GetStyle() & ES_READONLY);
    const std::vector<BYTE> before = DataOf();

    ctl.SetCaretOffset(20);
    Chars("0123456789abcdefABCDEF");
    Key(VK_DELETE);
    Key(VK_INSERT);
    Key(VK_BACK);
    EXPECT_EQ(60, ctl.m_nCaretPos) << "refused keys do not move the caret";
    Key(VK_RIGHT, true);
    Key(VK_RIGHT, true);
    Key(VK_DELETE);
    Key(VK_INSERT);
    Key(VK_BACK);
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 30;
    Chars("Zz !");
    EXPECT_EQ(30, ctl.m_nCaretPos);
    EXPECT_TRUE(before == DataOf());
    EXPECT_FALSE(ctl.GetModify());
    EXPECT_EQ(Seen(), Take());

    // Every movement key, and Shift selecting.
    ctl.SetCaretOffset(100);
    const struct {
        UINT vk;
        LONGLONG nCaretPos;
    } moves[] = {{VK_RIGHT, 301}, {VK_LEFT, 300}, {VK_DOWN, 348}, {VK_UP, 300},  {VK_NEXT, 780},
                 {VK_PRIOR, 300}, {VK_END, 3 * 4095}, {VK_HOME, 0}};
    for (const auto& m : moves) {
        Key(m.vk);
        EXPECT_EQ(m.nCaretPos, ctl.m_nCaretPos) << "key " << m.vk;
    }
    Key(VK_RIGHT, true);
    Key(VK_RIGHT, true);
    LONGLONG nFirst, nLast;
    EXPECT_TRUE(ctl.GetSelection(nFirst, nLast));
    EXPECT_EQ(0, nLast);

    // The host's operations still work.
    ctl.Fill(0x5A);
    EXPECT_EQ(0x5A, ctl.m_data[4095]);
    EXPECT_TRUE(ctl.GetModify());
    EXPECT_EQ(Seen({"change"}), Take());

    // Writable again.
    EXPECT_TRUE(ctl.SetReadOnly(FALSE));
    EXPECT_EQ(0u, ctl.GetStyle() & ES_READONLY);
    ctl.SetCaretOffset(0);
    Chars("12");
    EXPECT_EQ(0x12, ctl.m_data[0]);
}

// ---------------------------------------------------------------------------
// The bytes read back and the modified flag

TEST_F(HostTest, TheBytesReadBackAndTheModifiedFlagAcrossEditsLoadsAndSaves)
{
    Ask(ENM_CHANGE);
    EXPECT_FALSE(ctl.GetModify());
    EXPECT_EQ(4096, ctl.GetDataSize());

    // Typed digits, a character, Delete.
    std::vector<BYTE> expected = Counting(4096);
    ctl.SetCaretOffset(0);
    Chars("c3a");
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 17;
    Chars("Q");
    ctl.SetCaretOffset(40);
    Key(VK_RIGHT);
    Key(VK_DELETE);
    expected[0] = 0xC3;
    expected[1] = 0xA1;
    expected[17] = 'Q';
    expected[40] = 0x00;
    EXPECT_TRUE(expected == DataOf());
    EXPECT_TRUE(ctl.GetModify());
    EXPECT_EQ(5u, Take().size());

    // The host's flag, as on an edit control.
    ctl.SetModify(FALSE);
    EXPECT_FALSE(ctl.GetModify());
    ctl.SetModify();
    EXPECT_EQ(1, ::SendMessageA(ctl.m_hWnd, EM_GETMODIFY, 0, 0));
    ctl.SetCounting(16);
    EXPECT_FALSE(ctl.GetModify());
    EXPECT_TRUE(Counting(16) == DataOf());
    ctl.Fill(0xEE);
    EXPECT_TRUE(ctl.GetModify());
    EXPECT_EQ(Seen({"change"}), Take());

    // A save that succeeds clears it; one that fails leaves it set.
    const std::string path = TempPath("qx-host-modify.bin");
    ::DeleteFileA(path.c_str());
    ctl.SaveFile(path.c_str());
    EXPECT_FALSE(ctl.GetModify());
    ctl.SetCaretOffset(0);
    Chars("1");
    EXPECT_TRUE(ctl.GetModify());
    std::string dir = TempPath("");
    {
        MessageBoxCatcher box;
        ctl.SaveFile(dir.c_str());   // a folder cannot be written over
        EXPECT_EQ(1, box.Count());
    }
    EXPECT_TRUE(ctl.GetModify());

    // A load that fails leaves the flag and tells nothing; one that succeeds
    // clears it and tells a change.
    Take();
    {
        MessageBoxCatcher box;
        ctl.LoadFile(TempPath("qx-host-missing.bin").c_str());
        EXPECT_EQ(1, box.Count());
    }
    EXPECT_TRUE(ctl.GetModify());
    EXPECT_EQ(Seen(), Take());
    ctl.LoadFile(path.c_str());
    EXPECT_FALSE(ctl.GetModify());
    EXPECT_EQ(Seen({"change"}), Take());
    EXPECT_TRUE(std::vector<BYTE>(16, 0xEE) == DataOf());
    ::DeleteFileA(path.c_str());
}

// The host answers a load's EN_CHANGE with its own operations: the load is
// over by then, so they are carried out.
TEST_F(HostTest, TheHostsAnswerToALoadsChangeIsCarriedOut)
{
    Ask(ENM_CHANGE);
    const std::string loaded = TempPath("qx-host-answer-in.bin"), saved = TempPath("qx-host-answer-out.bin");
    ctl.SetCounting(300);
    ctl.SaveFile(loaded.c_str());
    ::DeleteFileA(saved.c_str());
    ctl.SetCounting(16);
    bool bAnswered = false;
    g_onChange = [&] {
        if (bAnswered)
            return;
        bAnswered = true;
        ctl.Fill(0x11);
        ctl.SaveFile(saved.c_str());
    };
    EXPECT_TRUE(ctl.LoadFile(loaded.c_str()));
    EXPECT_EQ(Seen({"change", "change"}), Take());
    EXPECT_TRUE(std::vector<BYTE>(300, 0x11) == DataOf());
    std::vector<BYTE> file(400);
    FILE* f = std::fopen(saved.c_str(), "rb");
    ASSERT_TRUE(f != nullptr) << "the host's save was not carried out";
    file.resize(std::fread(file.data(), 1, file.size(), f));
    std::fclose(f);
    EXPECT_TRUE(std::vector<BYTE>(300, 0x11) == file);
    ::DeleteFileA(loaded.c_str());
    ::DeleteFileA(saved.c_str());
}

// New bytes from the host: the header line shows the byte now at the caret,
// not the one it replaced.
TEST_F(HostTest, SetDataShowsTheNewByteAtTheCaretInTheHeader)
{
    ctl.SetCaretOffset(5);
    EXPECT_EQ(std::string("Hex values: 05  Bit Values: 0000 0101"), static_cast<LPCSTR>(ctl.GetStatusText()));
    ctl.SetBytes(std::vector<BYTE>(100, 0xAB));
    EXPECT_EQ(std::string("Hex values: AB  Bit Values: 1010 1011"), static_cast<LPCSTR>(ctl.GetStatusText()));
}

// ---------------------------------------------------------------------------
// Caret and selection in bytes

TEST_F(HostTest, CaretAndSelectionAtTheEdgesOutOfRangeAndOnAnEmptyControl)
{
    Ask(ENM_SELCHANGE);
    LONGLONG nFirst, nLast;

    // The last byte: the view scrolls to it; offsets past the ends clamp.
    EXPECT_TRUE(ctl.SetCaretOffset(4095));
    EXPECT_EQ(3 * 4095, ctl.m_nCaretPos);
    EXPECT_TRUE(CaretRowInView());
    EXPECT_TRUE(ctl.SetCaretOffset(0));
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_TRUE(ctl.SetCaretOffset(5000));
    EXPECT_EQ(4095, ctl.GetCaretOffset());
    EXPECT_TRUE(ctl.SetCaretOffset(-7));
    EXPECT_EQ(0, ctl.GetCaretOffset());
    EXPECT_EQ(Seen({"sel 4095 -1 -1", "sel 0 -1 -1", "sel 4095 -1 -1", "sel 0 -1 -1"}), Take());

    // A selection as Shift+Right from the first byte's high digit makes it.
    ctl.SetCaretOffset(10);
    for (int i = 0; i < 32; i++)
        Key(VK_RIGHT, true);
    const LONGLONG keyed[3] = {ctl.m_nSelStart, ctl.m_nSelEnd, ctl.m_nCaretPos};
    ctl.SetCaretOffset(0);
    Take();
    EXPECT_TRUE(ctl.SetSelection(10, 20));
    EXPECT_EQ(Seen({"sel 20 10 20"}), Take());
    EXPECT_EQ(keyed[0], ctl.m_nSelStart);
    EXPECT_EQ(keyed[1], ctl.m_nSelEnd);
    EXPECT_EQ(keyed[2], ctl.m_nCaretPos);
    Key(VK_RIGHT, true);
    Key(VK_RIGHT, true);
    EXPECT_TRUE(ctl.GetSelection(nFirst, nLast));
    EXPECT_EQ(21, nLast) << "Shift+keys carry on from the host's selection";

    // Clamped ends, then refused ranges that change nothing.
    EXPECT_TRUE(ctl.SetSelection(0, 0));
    EXPECT_TRUE(ctl.GetSelection(nFirst, nLast));
    EXPECT_EQ(0, nFirst + nLast);
    EXPECT_TRUE(ctl.SetSelection(4090, 99999));
    EXPECT_TRUE(CaretRowInView());
    EXPECT_TRUE(ctl.GetSelection(nFirst, nLast));
    EXPECT_EQ(4090, nFirst);
    EXPECT_EQ(4095, nLast);
    EXPECT_TRUE(ctl.SetSelection(-3, 2));
    Take();
    const LONGLONG state[3] = {ctl.m_nSelStart, ctl.m_nSelEnd, ctl.m_nCaretPos};
    EXPECT_FALSE(ctl.SetSelection(5, 4));
    EXPECT_FALSE(ctl.SetSelection(4096, 5000));
    EXPECT_FALSE(ctl.SetSelection(-5, -1));
    EXPECT_EQ(state[0], ctl.m_nSelStart);
    EXPECT_EQ(state[1], ctl.m_nSelEnd);
    EXPECT_EQ(state[2], ctl.m_nCaretPos);
    EXPECT_TRUE(ctl.GetSelection(nFirst, nLast));
    EXPECT_EQ(0, nFirst);
    EXPECT_EQ(2, nLast);
    EXPECT_EQ(Seen(), Take());

    // A selection left past the data by a smaller SetData covers nothing.
    ctl.SetSelection(4000, 4001);
    ctl.SetCounting(100);
    EXPECT_FALSE(ctl.GetSelection(nFirst, nLast));
    EXPECT_EQ(-1, nFirst);

    // An empty control refuses both and reads back nothing.
    ctl.SetCounting(0);
    Take();
    EXPECT_FALSE(ctl.SetCaretOffset(0));
    EXPECT_FALSE(ctl.SetSelection(0, 0));
    EXPECT_FALSE(ctl.GetSelection(nFirst, nLast));
    EXPECT_EQ(0, ctl.GetDataSize());
    EXPECT_TRUE(DataOf().empty());
    EXPECT_EQ(Seen(), Take());
}

TEST_F(HostTest, CaretAndSelectionInABlockOf800MB)
{
    const int kBig = 800000000;
    if (!ctl.SetZeros(kBig))
        GTEST_SKIP() << "800,000,000 bytes could not be allocated";
    Ask(ENM_SELCHANGE);
    LONGLONG nFirst, nLast;

    EXPECT_TRUE(ctl.SetCaretOffset(3000000000LL));
    EXPECT_EQ(3LL * (kBig - 1), ctl.m_nCaretPos);
    EXPECT_TRUE(CaretRowInView());
    EXPECT_TRUE(ctl.SetSelection(kBig - 20, 1LL << 40));
    EXPECT_TRUE(ctl.GetSelection(nFirst, nLast));
    EXPECT_EQ(kBig - 20, nFirst);
    EXPECT_EQ(kBig - 1, nLast);
    EXPECT_TRUE(ctl.SetSelection(0, kBig - 1));
    EXPECT_TRUE(ctl.SetCaretOffset(kBig / 2 + 7));
    EXPECT_TRUE(CaretRowInView());
    EXPECT_EQ(Seen({"sel 799999999 -1 -1", "sel 799999999 799999980 799999999", "sel 799999999 0 799999999",
                    "sel 400000007 -1 -1"}),
              Take());
    Chars("ab");
    EXPECT_EQ(0xAB, ctl.m_data[kBig / 2 + 7]);
    EXPECT_EQ(kBig / 2 + 8, ctl.GetCaretOffset());
    ctl.m_data.SetSize(0, -1);
}

} // namespace
