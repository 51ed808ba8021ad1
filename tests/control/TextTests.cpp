// Tests of CHexEditCtrl's model and texts: the row, cell, bit and status
// texts, SetData's copy, and the window the control creates.
#include "HexEditCtrl.h"
#include "ControlTest.h"
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The shared probe of the control's protected members, with helpers that
// return the texts as std::string.
class TextProbe : public qxtest::TestHexEdit {
public:
    std::string Hex(int row, int col)
    {
        int index = -1;
        return std::string(GetHexText(row, col, &index));
    }
    std::string Char(int row, int col)
    {
        int index = -1;
        return std::string(GetCharText(GetHexText(row, col, &index)));
    }
    std::string Address(int row)
    {
        m_nRowAddr = row * 16;
        return std::string(GetAddressText());
    }
    std::string Status(BYTE value)
    {
        m_byteCur = value;
        return std::string(GetStatusText());
    }
};

} // namespace

TEST(ControlText, WorkedExampleOfTenBytes)
{
    TextProbe c;
    c.SetBytes({0x48, 0x65, 0x6C, 0x6C, 0x6F, 0x0A, 0x00, 0xFF, 0x7E, 0x20});
    EXPECT_EQ(1, c.GetRowCount());
    EXPECT_EQ("00000000", c.Address(0));
    const char* hex[] = {"48 ", "65 ", "6C ", "6C ", "6F ", "0A ", "00 ", "FF ", "7E ", "20 "};
    const char* chars[] = {"H", "e", "l", "l", "o", ".", ".", ".", "~", " "};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(hex[i], c.Hex(0, i)) << i;
        EXPECT_EQ(chars[i], c.Char(0, i)) << i;
    }
    for (int i = 10; i < 16; ++i) {
        EXPECT_EQ("", c.Hex(0, i)) << i;
        EXPECT_EQ(".", c.Char(0, i)) << "a cell past the end shows a dot, " << i;
    }
}

TEST(ControlText, HexTextGivesTheIndexAlsoPastTheEnd)
{
    TextProbe c;
    std::vector<BYTE> bytes(17);
    for (int i = 0; i < 17; ++i)
        bytes[i] = static_cast<BYTE>(0xE0 + i);
    c.SetBytes(bytes);
    EXPECT_EQ(2, c.GetRowCount());
    int index = -1;
    EXPECT_STREQ("F0 ", c.GetHexText(1, 0, &index));
    EXPECT_EQ(16, index);
    EXPECT_STREQ("", c.GetHexText(1, 1, &index));
    EXPECT_EQ(17, index);
    EXPECT_STREQ("", c.GetHexText(5, 15, &index));
    EXPECT_EQ(95, index);
    EXPECT_EQ(".", c.Char(1, 15));
}

TEST(ControlText, RowFormatterGivesEveryCellsTextsAsThePainterDrawsThem)
{
    TextProbe c;
    std::vector<BYTE> bytes = {0x48, 0x65, 0x00, 0x7F, 0x80, 0xFF, 0x20, 0x7E};
    for (int i = 0; i < 25; ++i)
        bytes.push_back(static_cast<BYTE>(0x41 + i));   // 33 bytes: row 2 holds one
    c.SetBytes(bytes);

    CHexEditCtrl::RowText row;
    c.FormatRow(0, &row);
    EXPECT_EQ(0, row.nFirstIndex);
    EXPECT_EQ(16, row.nCells);
    EXPECT_EQ(16, row.nPresent);
    EXPECT_STREQ("48 65 00 7F 80 FF 20 7E 41 42 43 44 45 46 47 48 ", row.szHex);
    EXPECT_STREQ("He.... ~ABCDEFGH", row.szChars);

    c.FormatRow(2, &row);
    EXPECT_EQ(32, row.nFirstIndex);
    EXPECT_EQ(1, row.nPresent);
    EXPECT_STREQ("59 ", row.szHex);
    EXPECT_STREQ("Y...............", row.szChars) << "cells past the end read 0";

    c.FormatRow(3, &row);
    EXPECT_EQ(48, row.nFirstIndex);
    EXPECT_EQ(0, row.nPresent);
    EXPECT_STREQ("", row.szHex);
    EXPECT_STREQ("................", row.szChars);

    // A row far past the end holds nothing (its index does not wrap to the
    // start of the data).
    c.FormatRow(0x10000000, &row);
    EXPECT_EQ(0, row.nPresent);
    EXPECT_STREQ("", row.szHex);

    // The one-cell texts are the row's.
    c.FormatRow(0, &row);
    for (int col = 0; col < 16; ++col) {
        EXPECT_EQ(std::string(row.szHex + 3 * col, 3), c.Hex(0, col)) << col;
        EXPECT_EQ(std::string(1, row.szChars[col]), c.Char(0, col)) << col;
    }
}

TEST(ControlText, RowCountsRoundUp)
{
    TextProbe c;
    c.SetBytes({});
    EXPECT_EQ(0, c.GetRowCount());
    c.SetBytes(std::vector<BYTE>(16));
    EXPECT_EQ(1, c.GetRowCount());
    c.SetBytes(std::vector<BYTE>(4097));
    EXPECT_EQ(257, c.GetRowCount());
}

TEST(ControlText, AddressesHaveAtLeastEightUppercaseDigits)
{
    TextProbe c;
    EXPECT_EQ("00000000", c.Address(0));
    EXPECT_EQ("00000010", c.Address(1));
    EXPECT_EQ("00000020", c.Address(2));
    EXPECT_EQ("00012340", c.Address(0x1234));
    EXPECT_EQ("00010000", c.Address(0x1000));
    EXPECT_EQ("7FFFFFF0", c.Address(0x7FFFFFF));
}

TEST(ControlText, StatusTextShowsTheValueAndItsBits)
{
    TextProbe c;
    EXPECT_STREQ("Hex values: 00  Bit Values: 0000 0000", c.GetStatusText()) << "after construction";
    EXPECT_EQ("Hex values: 01  Bit Values: 0000 0001", c.Status(0x01));
    EXPECT_EQ("Hex values: 4A  Bit Values: 0100 1010", c.Status(0x4A));
    EXPECT_EQ("Hex values: 80  Bit Values: 1000 0000", c.Status(0x80));
    EXPECT_EQ("Hex values: FF  Bit Values: 1111 1111", c.Status(0xFF));
    EXPECT_EQ(37u, c.Status(0x5A).size());
    c.m_byteCur = 0x4A;
    EXPECT_STREQ(" Bit Values: 0100 1010", c.GetBitsText());
    EXPECT_EQ(22, c.GetBitsText().GetLength());
}

TEST(ControlText, OnlyTheCLocalePrintableRangeShowsAsItself)
{
    for (int v = 0; v < 256; ++v) {
        CString hex;
        hex.Format("%0.2X ", v);
        std::string shown(TextProbe::GetCharText(hex));
        if (v >= 0x20 && v <= 0x7E)
            EXPECT_EQ(std::string(1, static_cast<char>(v)), shown) << v;
        else
            EXPECT_EQ(".", shown) << v;
    }
    EXPECT_STREQ(".", TextProbe::GetCharText(""));
    // Read as a hexadecimal number: blanks before it, any case, and no
    // character for what is not a byte.
    EXPECT_STREQ("A", TextProbe::GetCharText(" 41"));
    EXPECT_STREQ("J", TextProbe::GetCharText("4a "));
    EXPECT_STREQ(".", TextProbe::GetCharText("141"));
    EXPECT_STREQ(".", TextProbe::GetCharText("100000041"));
    EXPECT_STREQ(".", TextProbe::GetCharText("zz"));
}

TEST(ControlData, SetDataCopiesIndependentlyBothWays)
{
    TextProbe c;
    CByteArray host;
    for (int i = 0; i < 40; ++i)
        host.Add(static_cast<BYTE>(i));
    c.SetData(&host);
    ASSERT_EQ(40, c.m_data.GetSize());
    host[3] = 0xEE;
    EXPECT_EQ(3, c.m_data[3]);
    c.m_data[4] = 0xDD;
    EXPECT_EQ(4, host[4]);
    EXPECT_EQ(40, host.GetSize());
}

TEST(ControlData, ShorterBlockAfterLongerKeepsCaretAndSelection)
{
    TextProbe c;   // no window: the bytes are copied, nothing is laid out
    c.SetBytes(std::vector<BYTE>(4096, 0x11));
    c.m_nCaretPos = 3000;
    c.m_nSelStart = 30;
    c.m_nSelEnd = 90;
    c.SetBytes({1, 2, 3});
    EXPECT_EQ(3, c.m_data.GetSize());
    EXPECT_EQ(3000, c.m_nCaretPos);
    EXPECT_EQ(30, c.m_nSelStart);
    EXPECT_EQ(90, c.m_nSelEnd);
    EXPECT_EQ("", c.Hex(0, 3));
    c.SetBytes({});
    EXPECT_EQ(0, c.m_data.GetSize());
    EXPECT_EQ(nullptr, c.m_data.GetData());
}

namespace {

CREATESTRUCTA g_created;
char g_createdClass[64];
HHOOK g_hook;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        g_created = *cs;
        lstrcpynA(g_createdClass, HIWORD(reinterpret_cast<UINT_PTR>(cs->lpszClass)) ? cs->lpszClass : "#atom",
                  sizeof g_createdClass);
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

struct ControlWindow : ::testing::Test {
    HWND hHost = NULL;
    void SetUp() override
    {
        hHost = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 700, 500, NULL, NULL, NULL, NULL);
        ASSERT_NE(nullptr, hHost);
    }
    void TearDown() override { DestroyWindow(hHost); }
};

} // namespace

TEST_F(ControlWindow, CreatesAnEditWindowWithTheControlsStyles)
{
    TextProbe c;
    g_hook = SetWindowsHookExA(WH_CBT, RecordCreation, NULL, GetCurrentThreadId());
    BOOL created = c.Create(CRect(5, 6, 305, 206), CWnd::FromHandle(hHost), 1);
    UnhookWindowsHookEx(g_hook);
    ASSERT_TRUE(created);
    EXPECT_EQ(0x204u, g_created.dwExStyle);
    EXPECT_EQ(0x56B10000L, g_created.style);
    EXPECT_STREQ("edit", g_createdClass);
    EXPECT_EQ(1, c.GetDlgCtrlID());
    char cls[32];
    GetClassNameA(c.m_hWnd, cls, sizeof cls);
    EXPECT_STRCASEEQ("edit", cls);
    EXPECT_TRUE(GetClassLongA(c.m_hWnd, GCL_STYLE) & CS_DBLCLKS) << "double clicks must arrive";
    CRect rc;
    c.GetWindowRect(&rc);
    CWnd::FromHandle(hHost)->ScreenToClient(&rc);
    EXPECT_EQ(CRect(5, 6, 305, 206), rc);
    EXPECT_STREQ("CEdit", c.GetRuntimeClass()->m_lpszClassName);
}

TEST_F(ControlWindow, MessagesItDoesNotHandleBehaveAsForAPlainEdit)
{
    TextProbe c;
    ASSERT_TRUE(c.Create(CRect(0, 0, 300, 200), CWnd::FromHandle(hHost), 1));
    HWND hPlain = CreateWindowExA(0x204, "edit", "", 0x56B10000, 0, 0, 300, 200, hHost, (HMENU)2, NULL, NULL);
    // The edit class's text stays empty (it is never shown): a text set from
    // outside is not taken.
    EXPECT_FALSE(c.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("some text")));
    char text[32] = "x";
    c.SendMessage(WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("", text);
    LPARAM hit = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
    EXPECT_EQ(SendMessageA(hPlain, WM_SETCURSOR, (WPARAM)hPlain, hit),
              c.SendMessage(WM_SETCURSOR, (WPARAM)c.m_hWnd, hit));

    // Hit-testing is the edit window's: the client area, and with 4096
    // bytes in 300x200 pixels both scroll bars (just right of and below the
    // client area).
    c.SetBytes(std::vector<BYTE>(4096));
    ASSERT_TRUE(c.GetStyle() & WS_VSCROLL);
    ASSERT_TRUE(c.GetStyle() & WS_HSCROLL);
    CRect rc;
    c.GetClientRect(&rc);
    c.ClientToScreen(&rc);
    auto hitTest = [](HWND hWnd, int x, int y) { return SendMessageA(hWnd, WM_NCHITTEST, 0, MAKELPARAM(x, y)); };
    int xMid = (rc.left + rc.right) / 2, yMid = (rc.top + rc.bottom) / 2;
    EXPECT_EQ(HTCLIENT, hitTest(c.m_hWnd, xMid, yMid));
    EXPECT_EQ(hitTest(hPlain, xMid, yMid), hitTest(c.m_hWnd, xMid, yMid));
    EXPECT_EQ(HTVSCROLL, hitTest(c.m_hWnd, rc.right + GetSystemMetrics(SM_CXVSCROLL) / 2, yMid));
    EXPECT_EQ(HTHSCROLL, hitTest(c.m_hWnd, xMid, rc.bottom + GetSystemMetrics(SM_CYHSCROLL) / 2));
    DestroyWindow(hPlain);
}

TEST_F(ControlWindow, DestroyingTheControlDestroysItsWindow)
{
    HWND hControl;
    {
        TextProbe c;
        ASSERT_TRUE(c.Create(CRect(0, 0, 300, 200), CWnd::FromHandle(hHost), 1));
        c.SetBytes({1, 2, 3});
        hControl = c.m_hWnd;
        EXPECT_TRUE(IsWindow(hControl));
    }
    EXPECT_FALSE(IsWindow(hControl));
}
