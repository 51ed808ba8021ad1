// HexEditKeys.cpp - the keyboard side of CHexEditCtrl: the system caret that
// follows the focus, the dialog codes, the movement keys with Shift selecting
// in the hex column, Tab to the next control, the three one-key byte edits,
// typed hexadecimal digits and characters, and the selection edits that keys
// and the mouse share. Every edit overwrites bytes in place; the block never
// grows or shrinks here.
#include "HexEditCtrl.h"
#include <cstring>

void CHexEditCtrl::OnSetFocus(CWnd* pOldWnd)
{
    // The edit class creates and shows a thin caret of its own here; the
    // solid one that replaces it (one caret per thread) inverts one whole
    // cell.
    CEdit::OnSetFocus(pOldWnd);
    CreateSolidCaret(m_sizeChar.cx, m_sizeChar.cy);
    UpdateCaret();
    // A press that brought the focus shows the caret at its release.
    if (!m_bSelecting)
        ShowCaret();
}

void CHexEditCtrl::OnKillFocus(CWnd* pNewWnd)
{
    ::DestroyCaret();
    // The edit class must learn that it lost the focus: while it believes it
    // has it, its own processing (a resize, for one) keeps placing the
    // thread's one caret, which by then belongs to another window.
    CEdit::OnKillFocus(pNewWnd);
}

UINT CHexEditCtrl::OnGetDlgCode()
{
    // Not DLGC_HASSETSEL: a dialog would send EM_SETSEL(0, -1) as it gives
    // the control the focus, which selects every byte.
    return (CEdit::OnGetDlgCode() & ~DLGC_HASSETSEL) | DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
}

void CHexEditCtrl::OnKeyDown(UINT nChar, UINT, UINT)
{
    const bool bShift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
    const bool bCtrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;

    if (nChar == VK_TAB && TabToNextControl(bShift, bCtrl))
        return;
    if (HandleHistoryKey(nChar, bShift, bCtrl) || HandleClipboardKey(nChar, bShift, bCtrl))
        return;
    // Nothing to move over or edit, and Shift+Ctrl means nothing: swallowed.
    if (m_data.GetSize() == 0 || (bShift && bCtrl))
        return;

    const LONGLONG p0 = m_nCaretPos;
    const KeyOutcome outcome = HandleKey(nChar, bShift, bCtrl);
    // A move ends a run of typing: what is typed next is a step of its own.
    if (outcome != keyPassed)
        m_undo.EndTypingRun();
    switch (outcome) {
    case keyPassed:
        // The edit class's processing may move the system caret (Ctrl+Right
        // puts it at the top-left corner): it goes back on the caret's cell.
        Default();
        RestoreCaretPos();
        break;
    case keyMoved:
        if (bShift)
            ExtendSelection(p0, m_nCaretPos);
        else if (m_nSelStart != -1)
            ClearSelection();
        break;
    case keyDone:
        break;
    }
}

BOOL CHexEditCtrl::TabToNextControl(bool bShift, bool bCtrl)
{
    // Tab and Shift+Tab move the focus, also with no data; Ctrl+Tab is an
    // ordinary key.
    CWnd* pOwner = GetParentOwner();
    if (pOwner == NULL)
        return TRUE;
    if (bCtrl)
        return FALSE;
    pOwner->SendMessage(WM_NEXTDLGCTL, bShift ? 1 : 0, 0);
    return TRUE;
}

CHexEditCtrl::KeyOutcome CHexEditCtrl::HandleKey(UINT nChar, bool bShift, bool bCtrl)
{
    const LONGLONG nSize = m_data.GetSize();
    const bool bHex = m_nArea == 0;
    switch (nChar) {
    case VK_BACK:
    case VK_DELETE:
    case VK_INSERT:
        if (bShift || bCtrl)
            return keyPassed;
        EditByteKey(nChar == VK_INSERT ? 0xFF : 0x00, nChar == VK_BACK ? -1 : 1);
        return keyDone;
    case VK_PRIOR:
    case VK_NEXT:
        if (bCtrl)
            return keyPassed;
        MoveCaret(0, nChar == VK_PRIOR ? -10 : 10, FALSE);
        return keyMoved;
    case VK_LEFT:
    case VK_RIGHT:
        if (bCtrl)
            return keyPassed;
        MoveCaret(nChar == VK_LEFT ? -1 : 1, 0, FALSE);
        return keyMoved;
    case VK_UP:
    case VK_DOWN:
        if (bCtrl)
            return keyPassed;
        MoveCaret(0, nChar == VK_UP ? -1 : 1, FALSE);
        return keyMoved;
    case VK_HOME:
        m_nCaretPos = 0;
        MoveCaret(0, 0, FALSE);
        return bCtrl ? keyDone : keyMoved;   // Ctrl+Home: the selection stays
    case VK_END:
        // Shift+End goes to the blank after the last byte (clamped there),
        // so that the selection takes in both its digits.
        if (bShift)
            m_nCaretPos = bHex ? 3 * nSize : nSize;
        else
            m_nCaretPos = bHex ? 3 * nSize - 3 : nSize - 1;
        MoveCaret(0, 0, FALSE);
        return bCtrl ? keyDone : keyMoved;   // Ctrl+End: the selection stays
    default:
        return keyPassed;
    }
}

void CHexEditCtrl::EditByteKey(BYTE value, int nStep)
{
    // Backspace, Delete and Insert without a modifier set bytes to 0x00 or
    // 0xFF: the whole selection, or the byte under the caret and a step.
    if (RefuseEdit())
        return;
    const bool bSelection = m_nSelStart != -1;
    if (bSelection) {
        LONGLONG nFirst, nLast;
        if (GetSelection(nFirst, nLast))
            RecordFillStep(nFirst, nLast - nFirst + 1, value);
        FillSelection(value);
    } else if (m_nCaretPos > 0) {
        // Not at position 0: there Delete pressed again and again stays put
        // and changes nothing.
        LONGLONG nIndex = GetCaretByteIndex();
        if (nIndex < m_data.GetSize()) {
            RecordStep(nIndex, 1);
            m_data[static_cast<int>(nIndex)] = value;
            BytesChanged();
        }
        MoveCaret(nStep, 0, TRUE);
    }
    MoveCaret(0, 0, TRUE);
    if (bSelection)
        ClearSelection();
}

void CHexEditCtrl::ExtendSelection(LONGLONG p0, LONGLONG p1)
{
    // Shift+keys select only in the hex column; in the character column they
    // only move the caret.
    if (m_nArea == 0) {
        if (m_nSelStart == -1) {
            if (p1 < p0) {
                m_nSelStart = p1;
                m_nSelEnd = p0 - 1;
            } else if (p1 > p0) {
                m_nSelStart = p0;
                m_nSelEnd = p1 - 1;
            }
        } else {
            // The caret moves the end it stands at: just after the last
            // selected cell, or (otherwise) on the first.
            if (p0 == m_nSelEnd + 1)
                m_nSelEnd = p1 - 1;
            else
                m_nSelStart = p1;
            if (m_nSelStart == m_nSelEnd + 1) {
                ClearSelection();
            } else if (m_nSelStart > m_nSelEnd + 1) {
                // The moving end went past the other one: the cells between
                // the other end and the caret are selected, as when the
                // selection had been begun at that other end.
                LONGLONG nStart = m_nSelEnd + 1;
                m_nSelEnd = m_nSelStart - 1;
                m_nSelStart = nStart;
            }
        }
    }
    InvalidateRect(NULL, TRUE);
}

void CHexEditCtrl::OnChar(UINT nChar, UINT, UINT)
{
    // No character reaches the edit class: its own text stays empty.
    const LONGLONG nSize = m_data.GetSize();
    if (nSize == 0)
        return;
    const LONGLONG nIndex = GetCaretByteIndex();

    if (m_nArea == 1) {
        // Control characters are no text: Backspace and Ctrl+Backspace (0x08
        // or 0x7F by the system), Tab, Enter, Escape, Ctrl+letters.
        if (nChar < 0x20 || nChar == 0x7F || RefuseEdit())
            return;
        if (nIndex < nSize) {
            RecordTypedByte(nIndex);
            m_data[static_cast<int>(nIndex)] = static_cast<BYTE>(nChar);
            BytesChanged();
        }
        MoveCaret(1, 0, FALSE);
        return;
    }

    int nValue;
    if (nChar >= '0' && nChar <= '9')
        nValue = nChar - '0';
    else if (nChar >= 'a' && nChar <= 'f')
        nValue = nChar - 'a' + 10;
    else if (nChar >= 'A' && nChar <= 'F')
        nValue = nChar - 'A' + 10;
    else
        return;
    if (RefuseEdit())
        return;

    // A digit on the high digit's cell replaces the high nibble; on the low
    // digit or the blank after the byte, the low nibble.
    m_nDigit = static_cast<int>(m_nCaretPos % 3);
    BYTE b = GetCaretByte();
    BYTE v = m_nDigit == 0 ? static_cast<BYTE>((b & 0x0F) | (nValue << 4)) : static_cast<BYTE>((b & 0xF0) | nValue);
    if (nIndex < nSize) {
        RecordTypedByte(nIndex);
        m_data[static_cast<int>(nIndex)] = v;
        BytesChanged();
    }
    MoveCaret(1, 0, FALSE);
    m_nDigit++;
    if (m_nDigit == m_nByteDigits) {
        // The byte is complete: over the blank to the next byte's high digit.
        MoveCaret(1, 0, FALSE);
        m_nDigit = 0;
    } else {
        UpdateScrollBars();
        UpdateCaret();
    }
}

void CHexEditCtrl::FillSelection(BYTE value)
{
    // Every cell of the selection belongs to byte cell / 3, so the bytes
    // written are those from start / 3 to end / 3: a selection that begins on
    // a low digit or a blank also fills the byte that cell belongs to. Each
    // byte is written once.
    LONGLONG nFirst, nLast;
    if (!GetSelection(nFirst, nLast))
        return;
    std::memset(m_data.GetData() + nFirst, value, static_cast<size_t>(nLast - nFirst + 1));
    BytesChanged();
}

void CHexEditCtrl::ClearSelection()
{
    m_nSelStart = -1;
    m_nSelEnd = -1;
    InvalidateRect(NULL, TRUE);
}
