// Tests of CHexEditCtrl's clipboard side: the hex text of a copy and of a
// paste without a window, then the control with the focus, through its keys
// and messages, with the clipboard written and read back with the clipboard
// API in each form: copy, cut, paste (cut short at the end, refused), clear,
// EM_CANPASTE, select all, undo of each, and read-only mode.
#include "ControlTest.h"
#include "HexEditClipboard.h"

#include <cstring>

#include <string>
#include <vector>

using qxtest::Pump;
using qxtest::SendKey;
using qxtest::TestHexEdit;
using qxtest::kCtrl;
using qxtest::kNone;
using qxtest::kShift;

namespace {

TEST(ClipboardText, HexOfBytesAndBack)
{
    const BYTE hello[] = {'H', 'e', 'l', 'l', 'o'};
    EXPECT_EQ("48 65 6C 6C 6F", CHexEditClipboardText::HexOfBytes(hello, 5));
    EXPECT_EQ("", CHexEditClipboardText::HexOfBytes(hello, 0));

    std::vector<BYTE> bytes;
    const std::string mixed = "0x48, 65\t6c\r\n6C 0X6F";
    ASSERT_TRUE(CHexEditClipboardText::BytesOfHex(mixed.c_str(), mixed.size(), bytes));
    EXPECT_EQ(std::vector<BYTE>(hello, hello + 5), bytes);
    ASSERT_TRUE(CHexEditClipboardText::BytesOfHex("DEADbeef", 8, bytes));
    EXPECT_EQ((std::vector<BYTE>{0xDE, 0xAD, 0xBE, 0xEF}), bytes);
    // Long runs of pairs with one blank, none or several, and "0x" among
    // them: the pairs come back whatever the spacing.
    std::string spaced;
    std::vector<BYTE> want;
    for (int i = 0; i < 3000; i++) {
        const BYTE b = static_cast<BYTE>(i * 37 + i / 7);
        want.push_back(b);
        const std::string pair = CHexEditClipboardText::HexOfBytes(&b, 1);
        spaced += (i % 11 == 0 ? "0x" : "") + pair + (i % 5 == 0 ? "" : i % 3 == 0 ? " \r\n" : " ");
    }
    ASSERT_TRUE(CHexEditClipboardText::BytesOfHex(spaced.c_str(), spaced.size(), bytes));
    EXPECT_EQ(want, bytes);
    // A NUL ends the text, as it ends the clipboard's.
    ASSERT_TRUE(CHexEditClipboardText::BytesOfHex("48 65\0zz", 8, bytes));
    EXPECT_EQ((std::vector<BYTE>{0x48, 0x65}), bytes);
    EXPECT_FALSE(CHexEditClipboardText::BytesOfHex("48 6\0" "5", 6, bytes));
    for (const char* psz : {"48 6", "48 zz", "0x", "4 8", "48;65", "0x0x48", "48 0x", "4865 6"}) {
        EXPECT_FALSE(CHexEditClipboardText::BytesOfHex(psz, strlen(psz), bytes)) << psz;
        EXPECT_TRUE(bytes.empty()) << psz;
    }
}

class ClipboardTest : public qxtest::CountingControlTest<TestHexEdit> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CountingControlTest::SetUp());
        ctl.SetLayoutCells(85, 20);
        ::SetForegroundWindow(host.hwnd());
        ::SetFocus(ctl.m_hWnd);
        Pump();
        ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
        original = Bytes();
        SetClipboardText(NULL);
    }
    void Key(UINT vk, int mods = kNone) { SendKey(ctl.m_hWnd, vk, mods); }
    std::vector<BYTE> Bytes()
    {
        return std::vector<BYTE>(ctl.m_data.GetData(), ctl.m_data.GetData() + ctl.m_data.GetSize());
    }
    // Empties the clipboard and, unless NULL, puts pszText as CF_TEXT.
    void SetClipboardText(const char* pszText)
    {
        ASSERT_TRUE(::OpenClipboard(host.hwnd()));
        ::EmptyClipboard();
        if (pszText != NULL) {
            HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, strlen(pszText) + 1);
            strcpy(static_cast<char*>(::GlobalLock(h)), pszText);
            ::GlobalUnlock(h);
            ::SetClipboardData(CF_TEXT, h);
        }
        ::CloseClipboard();
    }
    // The block under a format as bytes, empty when there is none.
    std::vector<BYTE> ClipboardBlock(UINT nFormat)
    {
        std::vector<BYTE> block;
        if (!::OpenClipboard(host.hwnd()))
            return block;
        HANDLE h = ::GetClipboardData(nFormat);
        if (h != NULL) {
            const BYTE* p = static_cast<const BYTE*>(::GlobalLock(h));
            block.assign(p, p + ::GlobalSize(h));
            ::GlobalUnlock(h);
        }
        ::CloseClipboard();
        return block;
    }
    std::string ClipboardText()
    {
        std::vector<BYTE> b = ClipboardBlock(CF_TEXT);
        return std::string(reinterpret_cast<const char*>(b.data()), strnlen(reinterpret_cast<const char*>(b.data()), b.size()));
    }
    std::wstring ClipboardUnicode()
    {
        std::vector<BYTE> b = ClipboardBlock(CF_UNICODETEXT);
        std::wstring text(reinterpret_cast<const wchar_t*>(b.data()), b.size() / 2);
        return text.substr(0, text.find(L'\0'));
    }
    // What the control's own format holds: the count, then the bytes.
    std::vector<BYTE> ClipboardBytes()
    {
        std::vector<BYTE> b = ClipboardBlock(::RegisterClipboardFormatA("CHexEditCtrl bytes"));
        if (b.size() < 8)
            return {};
        LONGLONG n;
        memcpy(&n, b.data(), 8);
        EXPECT_LE(static_cast<size_t>(n), b.size() - 8);
        return std::vector<BYTE>(b.begin() + 8, b.begin() + 8 + static_cast<std::ptrdiff_t>(n));
    }
    BOOL CanPaste() { return static_cast<BOOL>(ctl.SendMessage(EM_CANPASTE)); }

    std::vector<BYTE> original;
};

TEST_F(ClipboardTest, CopyPutsTheBytesAndTheirTextInEveryForm)
{
    // Nothing selected: the clipboard keeps what it had.
    SetClipboardText("kept");
    Key('C', kCtrl);
    EXPECT_EQ("kept", ClipboardText());

    ctl.SetSelection(0, 4);   // 00 01 02 03 04: zeros kept exactly
    Key('C', kCtrl);
    EXPECT_EQ("00 01 02 03 04", ClipboardText());
    EXPECT_EQ(L"00 01 02 03 04", ClipboardUnicode());
    EXPECT_EQ((std::vector<BYTE>{0, 1, 2, 3, 4}), ClipboardBytes());

    // The character column: the characters as shown, "." for the rest.
    ctl.SetSelection(0x3E, 0x42);
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 0x43;
    Key(VK_INSERT, kCtrl);
    EXPECT_EQ(">?@AB", ClipboardText());
    ctl.SetSelection(0x7D, 0x81);
    ctl.m_nArea = 1;
    ctl.Copy();   // WM_COPY
    EXPECT_EQ("}~...", ClipboardText());
    EXPECT_EQ((std::vector<BYTE>{0x7D, 0x7E, 0x7F, 0x80, 0x81}), ClipboardBytes());
    EXPECT_EQ(original, Bytes());
}

TEST_F(ClipboardTest, PasteFromEachFormIsOneStepAndLeavesTheCaretAfterIt)
{
    ctl.SetSelection(0, 3);
    Key('C', kCtrl);   // the own format wins over the text
    ctl.SetCaretOffset(100);
    Key('V', kCtrl);
    std::vector<BYTE> want = original;
    for (int i = 0; i < 4; i++)
        want[100 + i] = static_cast<BYTE>(i);
    EXPECT_EQ(want, Bytes());
    EXPECT_EQ(104, ctl.GetCaretOffset());
    Key('Z', kCtrl);
    EXPECT_EQ(original, Bytes());

    // Hex text, over a selection: from its first byte, whatever its size.
    SetClipboardText("0xDE, 0xAD\r\nbe EF");
    EXPECT_TRUE(CanPaste());
    ctl.SetSelection(200, 201);
    Key(VK_INSERT, kShift);
    EXPECT_EQ(0xDE, Bytes()[200]);
    EXPECT_EQ(0xEF, Bytes()[203]);
    EXPECT_EQ(0xCC, Bytes()[204]);   // as it was
    EXPECT_EQ(204, ctl.GetCaretOffset());
    LONGLONG f, l;
    EXPECT_FALSE(ctl.GetSelection(f, l));
    ctl.SendMessage(WM_UNDO);
    EXPECT_EQ(original, Bytes());
    ctl.SendMessage(EM_REDO);
    EXPECT_EQ(0xDE, Bytes()[200]);
    ctl.SendMessage(WM_UNDO);

    // The character column takes the text's bytes as they are.
    SetClipboardText("Hi 0x!");
    ctl.SetCaretOffset(300);
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 300;
    ctl.Paste();   // WM_PASTE
    const std::vector<BYTE> pasted = Bytes();
    EXPECT_EQ(std::string("Hi 0x!"), std::string(pasted.begin() + 300, pasted.begin() + 306));
    EXPECT_EQ(306, ctl.m_nCaretPos);
}

TEST_F(ClipboardTest, ARefusedTextAndAPasteAtTheEnd)
{
    SetClipboardText("12 3");   // an odd digit count
    ctl.SetCaretOffset(10);
    Key('V', kCtrl);
    SetClipboardText("12 G4");
    Key('V', kCtrl);
    EXPECT_EQ(original, Bytes());
    EXPECT_FALSE(ctl.SendMessage(EM_CANUNDO));

    // Past the last byte nothing is written: the block keeps its size.
    SetClipboardText("AA BB CC DD");
    ctl.SetCaretOffset(4094);
    Key('V', kCtrl);
    EXPECT_EQ(4096, ctl.GetDataSize());
    EXPECT_EQ(0xAA, Bytes()[4094]);
    EXPECT_EQ(0xBB, Bytes()[4095]);
    EXPECT_EQ(3 * 4096 - 1, ctl.m_nCaretPos);   // the blank after the last byte
    Key('Z', kCtrl);
    EXPECT_EQ(original, Bytes());

    // Nothing pasteable.
    SetClipboardText(NULL);
    EXPECT_FALSE(CanPaste());
    Key('V', kCtrl);
    EXPECT_EQ(original, Bytes());
}

TEST_F(ClipboardTest, CutAndClearSetTheSelectionToZerosAsOneStepEach)
{
    ctl.SetSelection(16, 19);
    Key('X', kCtrl);
    EXPECT_EQ((std::vector<BYTE>{16, 17, 18, 19}), ClipboardBytes());
    EXPECT_EQ("10 11 12 13", ClipboardText());
    std::vector<BYTE> want = original;
    std::fill_n(want.begin() + 16, 4, 0);
    EXPECT_EQ(want, Bytes());

    ctl.SetSelection(32, 33);
    Key(VK_DELETE, kShift);
    EXPECT_EQ((std::vector<BYTE>{32, 33}), ClipboardBytes());
    ctl.SetSelection(48, 48);
    ctl.Clear();   // WM_CLEAR: the clipboard stays
    EXPECT_EQ((std::vector<BYTE>{32, 33}), ClipboardBytes());
    want[32] = want[33] = want[48] = 0;
    EXPECT_EQ(want, Bytes());
    // Nothing selected: cut and clear change nothing.
    ctl.SetCaretOffset(64);
    ctl.Cut();
    ctl.Clear();
    EXPECT_EQ(want, Bytes());
    for (int i = 0; i < 3; i++)
        Key('Z', kCtrl);
    EXPECT_EQ(original, Bytes());
}

TEST_F(ClipboardTest, SelectAllByCtrlAAndBySetSel)
{
    LONGLONG f, l;
    Key('A', kCtrl);
    ASSERT_TRUE(ctl.GetSelection(f, l));
    EXPECT_EQ(0, f);
    EXPECT_EQ(4095, l);
    ctl.SetCaretOffset(3);
    ctl.SendMessage(EM_SETSEL, 0, -1);
    ASSERT_TRUE(ctl.GetSelection(f, l));
    EXPECT_EQ(0, f);
    EXPECT_EQ(4095, l);
    ctl.SendMessage(EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_FALSE(ctl.GetSelection(f, l));
}

TEST_F(ClipboardTest, ReadOnlyCopiesButRefusesCutPasteAndClear)
{
    ctl.SetReadOnly(TRUE);
    ctl.SetSelection(1, 2);
    Key('C', kCtrl);
    EXPECT_EQ("01 02", ClipboardText());
    Key('X', kCtrl);
    Key(VK_DELETE, kShift);
    ctl.Clear();
    Key('V', kCtrl);
    ctl.Paste();
    EXPECT_EQ(original, Bytes());
    EXPECT_FALSE(ctl.SendMessage(EM_CANUNDO));
}

} // namespace
