// AccessibilityTests.cpp - what a screen reader gets from the control: its
// IAccessible read as a reader reads it (from a second thread with COM, the
// calls marshalled to the control's thread), the WinEvents for real keys,
// the edit messages answered from the rows on screen, and high contrast.
#include "ControlTest.h"
#include "HexEditPaintHooks.h"

#include <algorithm>
#include <oleacc.h>
#include <string>
#include <vector>

using qxtest::Picture;
using qxtest::Pump;
using qxtest::TestHexEdit;

namespace {

// What a reader reads of the control's client object.
struct ReaderView {
    HRESULT hr = E_FAIL;
    long nRole = 0;
    long nState = 0;
    std::wstring name, value, description;
    RECT location = {};
};

std::wstring Take(BSTR b)
{
    std::wstring text = b != NULL ? std::wstring(b, ::SysStringLen(b)) : std::wstring();
    ::SysFreeString(b);
    return text;
}

ReaderView Read(IAccessible* p)
{
    ReaderView v;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    VARIANT var;
    BSTR b = NULL;
    v.hr = p->get_accRole(self, &var);
    v.nRole = var.vt == VT_I4 ? var.lVal : -1;
    if (SUCCEEDED(p->get_accState(self, &var)) && var.vt == VT_I4)
        v.nState = var.lVal;
    if (SUCCEEDED(p->get_accName(self, &b)))
        v.name = Take(b);
    b = NULL;
    if (SUCCEEDED(p->get_accValue(self, &b)))
        v.value = Take(b);
    b = NULL;
    if (SUCCEEDED(p->get_accDescription(self, &b)))
        v.description = Take(b);
    long x = 0, y = 0, w = 0, h = 0;
    p->accLocation(&x, &y, &w, &h, self);
    v.location = RECT{x, y, x + w, y + h};
    return v;
}

// The control's client object as a reader gets it, read once.
ReaderView ReadFromWindow(HWND hWnd)
{
    ReaderView v;
    qxtest::AsClientThread([&] {
        IAccessible* p = NULL;
        v.hr = ::AccessibleObjectFromWindow(hWnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&p));
        if (SUCCEEDED(v.hr) && p != NULL) {
            v = Read(p);
            p->Release();
        }
    });
    return v;
}

// The WinEvents for the control's client object since the hook was set.
std::vector<DWORD> g_events;
HWND g_hWatched = NULL;

void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND hWnd, LONG idObject, LONG idChild, DWORD, DWORD)
{
    if (hWnd == g_hWatched && idObject == OBJID_CLIENT && idChild == CHILDID_SELF)
        g_events.push_back(event);
}

class AccessibilityTest : public qxtest::CountingControlTest<TestHexEdit> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CountingControlTest::SetUp());
        ctl.SetLayoutCells(85, 20);
        ::SetForegroundWindow(host.hwnd());
        ::SetFocus(ctl.m_hWnd);
        Pump();
        ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
    }
    void TearDown() override
    {
        if (m_hHook != NULL)
            ::UnhookWinEvent(m_hHook);
        g_hWatched = NULL;
    }
    void Watch()
    {
        g_hWatched = ctl.m_hWnd;
        g_events.clear();
        m_hHook = ::SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_TEXTSELECTIONCHANGED, NULL, OnWinEvent, 0, 0,
                                    WINEVENT_OUTOFCONTEXT);
        ASSERT_NE(static_cast<HWINEVENTHOOK>(NULL), m_hHook);
    }
    // The events that came, handled as a reader's loop handles them.
    std::vector<DWORD> Events()
    {
        Pump();
        std::vector<DWORD> events;
        events.swap(g_events);
        return events;
    }
    static bool Has(const std::vector<DWORD>& events, DWORD event)
    {
        return std::find(events.begin(), events.end(), event) != events.end();
    }
    void RealKey(WORD vk, bool bShift = false)
    {
        std::vector<INPUT> in;
        auto add = [&](WORD key, DWORD dwFlags) {
            INPUT i = {};
            i.type = INPUT_KEYBOARD;
            i.ki.wVk = key;
            i.ki.dwFlags = dwFlags;
            in.push_back(i);
        };
        if (bShift)
            add(VK_SHIFT, 0);
        add(vk, 0);
        add(vk, KEYEVENTF_KEYUP);
        if (bShift)
            add(VK_SHIFT, KEYEVENTF_KEYUP);
        ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
        Pump();
    }
    void RealClick(POINT ptClient)
    {
        POINT pt = ptClient;
        ::ClientToScreen(ctl.m_hWnd, &pt);
        qxtest::SendMouseAbsolute(pt, 0);
        qxtest::SendMouseAbsolute(pt, MOUSEEVENTF_LEFTDOWN);
        qxtest::SendMouseAbsolute(pt, MOUSEEVENTF_LEFTUP);
        Pump();
    }
    std::string Line(int nLine)
    {
        char buf[512];
        WORD nRoom = sizeof buf - 1;
        memcpy(buf, &nRoom, sizeof nRoom);
        LRESULT n = ::SendMessageA(ctl.m_hWnd, EM_GETLINE, nLine, reinterpret_cast<LPARAM>(buf));
        return std::string(buf, static_cast<size_t>(n));
    }
    // Row nRow of the counting sample as the control draws it.
    static std::string RowAsShown(int nRow)
    {
        char address[16];
        sprintf(address, " %08X ", nRow * 16);
        std::string line = address;
        std::string chars;
        for (int c = 0; c < 16; c++) {
            const int b = (nRow * 16 + c) & 0xFF;
            char cell[4];
            sprintf(cell, "%02X ", b);
            line += cell;
            chars += b >= 0x20 && b <= 0x7E ? static_cast<char>(b) : '.';
        }
        return line + std::string(62 - line.size(), ' ') + chars;
    }

    HWINEVENTHOOK m_hHook = NULL;
};

TEST_F(AccessibilityTest, AReaderReadsWhatTheControlIsWhereTheCaretIsAndWhatIsSelected)
{
    ReaderView v = ReadFromWindow(ctl.m_hWnd);
    ASSERT_HRESULT_SUCCEEDED(v.hr);
    EXPECT_EQ(ROLE_SYSTEM_TEXT, v.nRole);
    EXPECT_EQ(L"hex editor", v.name);
    EXPECT_EQ(L"4096 bytes", v.description);
    EXPECT_EQ(L"offset 0x0, 00, no character, high digit", v.value);
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED, v.nState);
    RECT rcWindow;
    ::GetWindowRect(ctl.m_hWnd, &rcWindow);
    EXPECT_TRUE(::EqualRect(&rcWindow, &v.location));

    // The value follows the keys, a typed digit, a click and a selection.
    RealKey(VK_RIGHT);
    EXPECT_EQ(L"offset 0x0, 00, no character, low digit", ReadFromWindow(ctl.m_hWnd).value);
    RealKey(VK_LEFT);
    RealKey('4');
    EXPECT_EQ(L"offset 0x0, 40, @, low digit", ReadFromWindow(ctl.m_hWnd).value);
    RealClick(POINT{(10 + 3 * 8) * cx + cx / 2, (4 + 2) * cy + cy / 2});
    EXPECT_EQ(L"offset 0x48, 48, H, high digit", ReadFromWindow(ctl.m_hWnd).value);
    RealKey(VK_RIGHT, true);
    RealKey(VK_RIGHT, true);
    RealKey(VK_RIGHT, true);
    EXPECT_EQ(L"1 byte selected, 0x48 to 0x48; offset 0x49, 49, I, high digit", ReadFromWindow(ctl.m_hWnd).value);

    // Read-only, the host's name, the label before it in a dialog.
    ctl.SetReadOnly(TRUE);
    v = ReadFromWindow(ctl.m_hWnd);
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_READONLY, v.nState);
    EXPECT_EQ(L"4096 bytes, read-only", v.description);
    HWND hLabel = ::CreateWindowExA(0, "Static", "&Dati del file:", WS_CHILD | WS_VISIBLE, 0, 700, 200, 20,
                                    host.hwnd(), NULL, NULL, NULL);
    ::SetWindowPos(hLabel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ASSERT_EQ(hLabel, ::GetWindow(ctl.m_hWnd, GW_HWNDPREV));
    EXPECT_EQ(L"Dati del file:", ReadFromWindow(ctl.m_hWnd).name);
    ctl.SetAccessibleName("Blocco");
    EXPECT_EQ(L"Blocco", ReadFromWindow(ctl.m_hWnd).name);
    ::SetFocus(host.hwnd());
    Pump();
    EXPECT_EQ(STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_READONLY, ReadFromWindow(ctl.m_hWnd).nState);
    ::DestroyWindow(hLabel);
}

TEST_F(AccessibilityTest, AReaderHoldingTheObjectOfADestroyedControlGetsErrorsNotACrash)
{
    HRESULT hrBefore = E_FAIL, hrAfter = S_OK;
    const HWND hWnd = ctl.m_hWnd;
    qxtest::AsClientThread([&] {
        IAccessible* p = NULL;
        if (FAILED(::AccessibleObjectFromWindow(hWnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&p))))
            return;
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        BSTR b = NULL;
        hrBefore = p->get_accValue(self, &b);
        ::SysFreeString(b);
        // The window ends while the reader holds the object.
        ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
        b = NULL;
        hrAfter = p->get_accValue(self, &b);
        ::SysFreeString(b);
        p->Release();
    });
    EXPECT_HRESULT_SUCCEEDED(hrBefore);
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CO_E_OBJNOTCONNECTED, hrAfter);
}

TEST_F(AccessibilityTest, RealKeysAClickAScrollAndANameTellAReaderThroughWinEvents)
{
    ASSERT_NO_FATAL_FAILURE(Watch());
    RealKey(VK_RIGHT);
    std::vector<DWORD> events = Events();
    EXPECT_TRUE(Has(events, EVENT_OBJECT_VALUECHANGE));
    EXPECT_FALSE(Has(events, EVENT_OBJECT_TEXTSELECTIONCHANGED));
    RealKey('7');
    EXPECT_TRUE(Has(Events(), EVENT_OBJECT_VALUECHANGE));
    RealKey(VK_RIGHT, true);
    events = Events();
    EXPECT_TRUE(Has(events, EVENT_OBJECT_VALUECHANGE));
    EXPECT_TRUE(Has(events, EVENT_OBJECT_TEXTSELECTIONCHANGED));
    // The rows on screen change with a scroll: so does the text model.
    ::SendMessageA(ctl.m_hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_TRUE(Has(Events(), EVENT_OBJECT_VALUECHANGE));
    // A key that changes nothing says nothing.
    RealKey(VK_SHIFT);
    EXPECT_TRUE(Events().empty());
    ctl.SetAccessibleName("Blocco");
    EXPECT_TRUE(Has(Events(), EVENT_OBJECT_NAMECHANGE));
}

TEST_F(AccessibilityTest, TheEditTextQueriesGiveTheRowsOnScreenAndTheCaretInThem)
{
    // 20 lines: the header's two and 18 rows.
    const int nStride = 78 + 2;
    EXPECT_EQ(18, ::SendMessageA(ctl.m_hWnd, EM_GETLINECOUNT, 0, 0));
    EXPECT_EQ(18 * nStride - 2, ::GetWindowTextLengthA(ctl.m_hWnd));
    EXPECT_EQ(RowAsShown(0), Line(0));
    EXPECT_EQ(RowAsShown(17), Line(17));
    std::vector<char> text(18 * nStride);
    ::GetWindowTextA(ctl.m_hWnd, text.data(), static_cast<int>(text.size()));
    EXPECT_EQ(RowAsShown(0) + "\r\n" + RowAsShown(1), std::string(text.data(), 2 * nStride - 2));
    EXPECT_EQ(0, ctl.EditClassTextLength());

    // The caret on byte 0x12's low digit: line 1, column 10 + 6 + 1.
    ctl.SetCaretOffset(0x12);
    RealKey(VK_RIGHT);
    DWORD nStart = 0, nEnd = 0;
    ::SendMessageA(ctl.m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
    EXPECT_EQ(static_cast<DWORD>(nStride + 17), nStart);
    EXPECT_EQ(nStart, nEnd);
    EXPECT_EQ(1, ::SendMessageA(ctl.m_hWnd, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0));
    EXPECT_EQ(nStride, ::SendMessageA(ctl.m_hWnd, EM_LINEINDEX, 1, 0));
    EXPECT_EQ(78, ::SendMessageA(ctl.m_hWnd, EM_LINELENGTH, nStart, 0));
    const LRESULT pos = ::SendMessageA(ctl.m_hWnd, EM_POSFROMCHAR, nStart, 0);
    EXPECT_EQ(17 * cx, static_cast<short>(LOWORD(pos)));
    EXPECT_EQ(3 * cy, static_cast<short>(HIWORD(pos)));
    POINT ptCaret = {-999, -999};
    ::GetCaretPos(&ptCaret);
    EXPECT_EQ(ptCaret.x, static_cast<short>(LOWORD(pos)));
    const LRESULT at = ::SendMessageA(ctl.m_hWnd, EM_CHARFROMPOS, 0, MAKELPARAM(17 * cx + 1, 3 * cy + 1));
    EXPECT_EQ(nStart, LOWORD(at));
    EXPECT_EQ(1, HIWORD(at));

    // Scrolled down 10 lines: the first line on screen is row 8.
    for (int i = 0; i < 10; i++)
        ::SendMessageA(ctl.m_hWnd, WM_VSCROLL, SB_LINEDOWN, 0);
    Pump();
    EXPECT_EQ(20, ::SendMessageA(ctl.m_hWnd, EM_GETLINECOUNT, 0, 0));
    EXPECT_EQ(RowAsShown(8), Line(0));
    EXPECT_EQ(RowAsShown(27), Line(19));
    // The caret's row is above the rows on screen: the text's start.
    ::SendMessageA(ctl.m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
    EXPECT_EQ(0u, nStart);
}

TEST_F(AccessibilityTest, HighContrastPaintsInTheSystemColoursAndOffAgainInTheControlsOwn)
{
    // Wine 8 cannot switch high contrast (SPI_SETHIGHCONTRAST fails, and
    // SPI_GETHIGHCONTRAST answers off whatever the registry says): the
    // tests' build tells the control what the system would.
    const Picture before = Picture::FromWindow(ctl.m_hWnd);
    const POINT ptHexCell = {(10 + 3 * 5) * cx + 1, (2 + 3) * cy + 1};
    const POINT ptCharCell = {(62 + 5) * cx + 1, (2 + 3) * cy + 1};
    EXPECT_EQ(ctl.m_clrHexBk, before.At(ptHexCell.x, ptHexCell.y));
    EXPECT_EQ(ctl.m_clrAsciiBk, before.At(ptCharCell.x, ptCharCell.y));

    HexEditPaintHooks::nHighContrast = 1;
    ::SendMessageA(ctl.m_hWnd, WM_SETTINGCHANGE, SPI_SETHIGHCONTRAST, 0);
    const Picture high = Picture::Shown(ctl.m_hWnd);
    HexEditPaintHooks::nHighContrast = 0;
    ::SendMessageA(ctl.m_hWnd, WM_SYSCOLORCHANGE, 0, 0);
    const Picture after = Picture::Shown(ctl.m_hWnd);
    HexEditPaintHooks::nHighContrast = -1;

    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), high.At(ptHexCell.x, ptHexCell.y));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), high.At(ptCharCell.x, ptCharCell.y));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), high.At(1, 1));
    RECT rcCharCell = {ptCharCell.x - 1, ptCharCell.y - 1, ptCharCell.x - 1 + cx, ptCharCell.y - 1 + cy};
    EXPECT_GT(high.Count(rcCharCell, ::GetSysColor(COLOR_WINDOWTEXT)), 0);   // the character, in window text
    // Off again: the control's own colours, pixel for pixel as before.
    ASSERT_EQ(before.width(), after.width());
    int nDiffer = 0;
    for (int y = 0; y < before.height(); y++)
        for (int x = 0; x < before.width(); x++)
            nDiffer += before.At(x, y) != after.At(x, y);
    EXPECT_EQ(0, nDiffer);
}

} // namespace
