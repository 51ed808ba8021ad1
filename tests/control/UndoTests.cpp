// Tests of CHexEditCtrl's undo and redo: the history's bookkeeping without a
// window (the budget, the saved state), then the control with the focus,
// driven by real keys and the edit and rich edit messages: each kind of
// step, a long history, undo after a save with the modified flag, EN_CHANGE,
// the limit over a block of 800,000,000 bytes, and read-only mode.
#include "ControlTest.h"
#include "TestFiles.h"

#include <climits>
#include <string>
#include <vector>

using qxtest::Pump;
using qxtest::SendChars;
using qxtest::SendKey;
using qxtest::TestHexEdit;
using qxtest::kCtrl;
using qxtest::kNone;
using qxtest::kShift;

namespace {

// --- The bookkeeping alone ---------------------------------------------

TEST(UndoHistory, OldestStepsGoFirstAndAStepOverTheLimitEmptiesTheHistory)
{
    std::vector<BYTE> data(100, 0);
    CHexEditUndoHistory history;
    history.SetLimit(10);
    // Four steps of 4 bytes: only the two newest fit.
    for (int i = 0; i < 4; i++) {
        history.Record(data.data(), 4 * i, 4);
        std::fill_n(data.begin() + 4 * i, 4, static_cast<BYTE>(i + 1));
    }
    EXPECT_EQ(8, history.GetBytesHeld());
    LONGLONG nCount = 0;
    EXPECT_EQ(12, history.Undo(data.data(), nCount));
    EXPECT_EQ(4, nCount);
    EXPECT_EQ(8, history.Undo(data.data(), nCount));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(1, data[0]);   // the oldest steps stay done
    EXPECT_EQ(0, data[8]);
    EXPECT_EQ(0, data[12]);
    // A new change drops the two that could be redone.
    history.Record(data.data(), 50, 2);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(2, history.GetBytesHeld());
    // Bigger than the limit: nothing before it can be undone either.
    history.Record(data.data(), 0, 11);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(0, history.GetBytesHeld());
    // Lowering the limit drops the oldest at once.
    history.SetLimit(100);
    history.Record(data.data(), 0, 30);
    history.Record(data.data(), 30, 20);
    history.SetLimit(25);
    EXPECT_EQ(1u, history.GetStepCount());
    EXPECT_EQ(20, history.GetBytesHeld());
}

TEST(UndoHistory, TheSavedStateIsKnownUntilItCanNoLongerBeReached)
{
    std::vector<BYTE> data(16, 0);
    CHexEditUndoHistory history;
    LONGLONG n;
    EXPECT_TRUE(history.IsAtSaved());
    history.RecordTyped(data.data(), 0);
    EXPECT_FALSE(history.IsAtSaved());
    history.MarkSaved();
    // The run is sealed by the save: the next byte is a step of its own.
    history.RecordTyped(data.data(), 1);
    EXPECT_EQ(2u, history.GetStepCount());
    history.Undo(data.data(), n);
    EXPECT_TRUE(history.IsAtSaved());
    history.Undo(data.data(), n);
    EXPECT_FALSE(history.IsAtSaved());
    history.Redo(data.data(), n);
    EXPECT_TRUE(history.IsAtSaved());
    // Undone past the saved state, then changed: the saved bytes are gone.
    history.Undo(data.data(), n);
    history.Record(data.data(), 5, 1);
    history.Undo(data.data(), n);
    EXPECT_FALSE(history.IsAtSaved());
    // Dropping the step after the saved state loses it as well.
    history.Empty(true);
    history.SetLimit(2);
    history.Record(data.data(), 0, 1);
    history.Record(data.data(), 1, 1);
    history.Record(data.data(), 2, 1);   // the first step goes
    history.Undo(data.data(), n);
    history.Undo(data.data(), n);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.IsAtSaved());
}

// --- The control ---------------------------------------------------------

int g_nChanges = 0;

LRESULT CALLBACK CountingHostProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE)
        g_nChanges++;
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

class UndoTest : public qxtest::CountingControlTest<TestHexEdit> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CountingControlTest::SetUp());
        ::SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(CountingHostProc));
        ctl.SetLayoutCells(85, 20);
        ::SetForegroundWindow(host.hwnd());
        ::SetFocus(ctl.m_hWnd);
        Pump();
        ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
        ctl.SendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE);
        original = Bytes();
        g_nChanges = 0;
    }
    void TearDown() override
    {
        ::SetWindowLongPtrA(host.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(::DefWindowProcA));
    }
    void Key(UINT vk, int mods = kNone) { SendKey(ctl.m_hWnd, vk, mods); }
    void Chars(const char* psz) { SendChars(ctl.m_hWnd, psz); }
    void AltBackspace()
    {
        // As the system sends it: WM_SYSKEYDOWN with the context bit.
        ctl.SendMessage(WM_SYSKEYDOWN, VK_BACK, (1 << 29) | 1);
    }
    std::vector<BYTE> Bytes()
    {
        return std::vector<BYTE>(ctl.m_data.GetData(), ctl.m_data.GetData() + ctl.m_data.GetSize());
    }
    BOOL CanUndo() { return static_cast<BOOL>(ctl.SendMessage(EM_CANUNDO)); }
    BOOL CanRedo() { return static_cast<BOOL>(ctl.SendMessage(EM_CANREDO)); }

    std::vector<BYTE> original;
};

TEST_F(UndoTest, TypedDigitsAreOneStepUndoneByCtrlZAndRedoneByCtrlY)
{
    EXPECT_FALSE(CanUndo());
    ctl.SetCaretOffset(0x20);
    Chars("DEADBEEF");
    std::vector<BYTE> typed = Bytes();
    EXPECT_EQ(0xDE, typed[0x20]);
    EXPECT_EQ(0xEF, typed[0x23]);
    EXPECT_TRUE(CanUndo());
    g_nChanges = 0;
    Key('Z', kCtrl);
    EXPECT_EQ(original, Bytes());
    EXPECT_EQ(3 * 0x20, ctl.m_nCaretPos);   // the first byte of the change
    EXPECT_EQ(0x20, ctl.m_byteCur);
    EXPECT_FALSE(CanUndo());
    EXPECT_TRUE(CanRedo());
    EXPECT_FALSE(ctl.GetModify());
    EXPECT_EQ(1, g_nChanges);
    Key('Y', kCtrl);
    EXPECT_EQ(typed, Bytes());
    EXPECT_TRUE(ctl.GetModify());
    EXPECT_EQ(2, g_nChanges);
    EXPECT_FALSE(CanRedo());
}

TEST_F(UndoTest, AMoveBetweenTypedBytesMakesTwoStepsAndTheCharacterColumnTypesRunsToo)
{
    ctl.SetCaretOffset(0);
    Chars("1111");
    Key(VK_RIGHT);
    Chars("22");
    ctl.Undo();   // EM_UNDO
    std::vector<BYTE> want = original;
    want[0] = want[1] = 0x11;
    EXPECT_EQ(want, Bytes());
    ctl.SendMessage(WM_UNDO);
    EXPECT_EQ(original, Bytes());

    // The character column: "Hello" is one step.
    ctl.SetCaretOffset(100);
    ctl.m_nArea = 1;
    ctl.m_nCaretPos = 100;
    Chars("Hello");
    EXPECT_EQ('o', Bytes()[104]);
    AltBackspace();
    EXPECT_EQ(original, Bytes());
    EXPECT_EQ(100, ctl.m_nCaretPos);   // still in the character column
    EXPECT_EQ(1, ctl.m_nArea);
}

TEST_F(UndoTest, DeleteInsertBackspaceAFilledSelectionAndFillAreStepsEach)
{
    ctl.SetCaretOffset(10);
    Key(VK_DELETE);
    Key(VK_INSERT);
    Key(VK_BACK);
    ctl.SetSelection(40, 49);
    Key(VK_INSERT);   // fills the selection with 0xFF
    std::vector<BYTE> afterKeys = Bytes();
    ctl.Fill(0x5A);
    EXPECT_EQ(std::vector<BYTE>(4096, 0x5A), Bytes());

    Key('Z', kCtrl);
    EXPECT_EQ(afterKeys, Bytes());
    EXPECT_EQ(0, ctl.GetCaretOffset());
    Key('Z', kCtrl);   // the selection's fill
    EXPECT_EQ(0x28, Bytes()[40]);
    EXPECT_EQ(0x31, Bytes()[49]);
    EXPECT_EQ(40, ctl.GetCaretOffset());
    LONGLONG f, l;
    EXPECT_FALSE(ctl.GetSelection(f, l));
    Key('Z', kCtrl);
    Key('Z', kCtrl);
    Key('Z', kCtrl);
    EXPECT_EQ(original, Bytes());
    EXPECT_EQ(10, ctl.GetCaretOffset());
    EXPECT_FALSE(CanUndo());
    // Redo all five, in order.
    for (int i = 0; i < 5; i++)
        ctl.SendMessage(EM_REDO);
    EXPECT_EQ(std::vector<BYTE>(4096, 0x5A), Bytes());
    // A fill undone after its redo gives the bytes before it again.
    ctl.Undo();
    EXPECT_EQ(afterKeys, Bytes());
    // A new change after an undo drops what could have been redone.
    ctl.SetCaretOffset(7);
    Key(VK_DELETE);
    EXPECT_FALSE(CanRedo());
    EXPECT_EQ(0, ctl.SendMessage(EM_REDO));
}

TEST_F(UndoTest, AThousandStepsGoBackAndForthInOrder)
{
    ctl.SetCaretOffset(1);
    std::vector<LONGLONG> at;
    for (int i = 0; i < 1000; i++) {
        at.push_back(ctl.GetCaretOffset());
        Key(i % 2 ? VK_INSERT : VK_DELETE);   // each one a step, moving on a cell
    }
    std::vector<BYTE> edited = Bytes();
    ASSERT_NE(original, edited);
    for (int i = 999; i >= 0; i--) {
        ASSERT_TRUE(CanUndo()) << i;
        Key('Z', kCtrl);
        ASSERT_EQ(at[i], ctl.GetCaretOffset()) << i;
    }
    EXPECT_FALSE(CanUndo());
    EXPECT_EQ(original, Bytes());
    EXPECT_FALSE(ctl.GetModify());
    for (int i = 0; i < 1000; i++)
        Key('Y', kCtrl);
    EXPECT_EQ(edited, Bytes());
    EXPECT_FALSE(CanRedo());
}

TEST_F(UndoTest, UndoSurvivesASaveAndTheModifiedFlagKnowsTheSavedBytes)
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "qx undo " + std::to_string(::GetCurrentProcessId()) + ".bin";
    ctl.SetCaretOffset(0);
    Chars("AA");
    ctl.SaveFile(path.c_str());
    EXPECT_FALSE(ctl.GetModify());
    const std::vector<BYTE> saved = Bytes();
    EXPECT_EQ(saved, qxtest::ReadAll(path));
    Chars("BB");   // after a save: a step of its own
    EXPECT_TRUE(ctl.GetModify());
    Key('Z', kCtrl);
    EXPECT_EQ(saved, Bytes());
    EXPECT_FALSE(ctl.GetModify());
    Key('Z', kCtrl);   // past the save
    EXPECT_EQ(original, Bytes());
    EXPECT_TRUE(ctl.GetModify());
    Key('Y', kCtrl);
    EXPECT_FALSE(ctl.GetModify());
    Key('Y', kCtrl);
    EXPECT_TRUE(ctl.GetModify());

    // A load empties the history and is the new saved state.
    ASSERT_TRUE(ctl.LoadFile(path.c_str()));
    EXPECT_FALSE(CanUndo());
    EXPECT_FALSE(CanRedo());
    ctl.SetCaretOffset(5);
    Key(VK_DELETE);
    ctl.SendMessage(EM_EMPTYUNDOBUFFER);
    EXPECT_FALSE(CanUndo());
    EXPECT_TRUE(ctl.GetModify());
    ::DeleteFileA(path.c_str());
}

TEST_F(UndoTest, SetDataEmptiesTheHistory)
{
    Chars("12");
    std::vector<BYTE> other(10, 7);
    ctl.SetBytes(other);
    EXPECT_FALSE(CanUndo());
    Key('Z', kCtrl);
    EXPECT_EQ(other, Bytes());
}

TEST_F(UndoTest, ReadOnlyRefusesUndoAndRedo)
{
    Chars("12");
    Key('Z', kCtrl);
    Chars("34");
    ctl.SetReadOnly(TRUE);
    const std::vector<BYTE> before = Bytes();
    g_nChanges = 0;
    EXPECT_FALSE(ctl.Undo());
    Key('Z', kCtrl);
    AltBackspace();
    EXPECT_EQ(0, ctl.SendMessage(EM_REDO));
    EXPECT_EQ(before, Bytes());
    EXPECT_EQ(0, g_nChanges);
    EXPECT_TRUE(CanUndo());   // kept for when editing is allowed again
    ctl.SetReadOnly(FALSE);
    EXPECT_TRUE(ctl.Undo());
    EXPECT_EQ(original, Bytes());
}

TEST_F(UndoTest, TheLimitOverABlockOf800MillionBytes)
{
    const int kBig = 800000000;
    if (!ctl.SetZeros(kBig))
        GTEST_SKIP() << "800,000,000 bytes could not be allocated";
    EXPECT_EQ(64LL * 1024 * 1024, ctl.GetUndoLimit());
    ctl.SetCaretOffset(kBig - 1);
    Chars("ab");
    EXPECT_TRUE(CanUndo());
    // A fill bigger than the limit cannot be undone and takes the history.
    ctl.Fill(0x11);
    EXPECT_FALSE(CanUndo());
    Key('Z', kCtrl);
    EXPECT_EQ(0x11, ctl.m_data[kBig - 1]);

    // With room for two selections of 40,000,000 bytes, a third one drops
    // the first.
    ctl.SetUndoLimit(90000000);
    for (int i = 0; i < 3; i++) {
        ctl.SetSelection(40000000LL * i, 40000000LL * (i + 1) - 1);
        Key(VK_DELETE);
    }
    EXPECT_EQ(0x00, ctl.m_data[0]);
    Key('Z', kCtrl);
    Key('Z', kCtrl);
    EXPECT_FALSE(CanUndo());
    EXPECT_EQ(0x00, ctl.m_data[0]);
    EXPECT_EQ(0x11, ctl.m_data[40000000]);
    EXPECT_EQ(0x11, ctl.m_data[119999999]);
    EXPECT_EQ(40000000, ctl.GetCaretOffset());
    ctl.m_data.SetSize(0, -1);
}

} // namespace
