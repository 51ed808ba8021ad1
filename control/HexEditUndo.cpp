// HexEditUndo.cpp - CHexEditCtrl's undo and redo: the messages of an edit
// and a rich edit control, their keys, the limit, and the recording of each
// change the user makes (HexEditUndoHistory.cpp keeps the steps).
#include "HexEditCtrl.h"
#include <new>

void CHexEditCtrl::SetUndoLimit(LONGLONG nBytes)
{
    m_undo.SetLimit(nBytes);
}

LONGLONG CHexEditCtrl::GetUndoLimit() const
{
    return m_undo.GetLimit();
}

void CHexEditCtrl::RecordStep(LONGLONG nOffset, LONGLONG nCount)
{
    // A memory failure reaches the caller as the framework's memory
    // exception, before any byte changed.
    try {
        m_undo.Record(m_data.GetData(), nOffset, nCount);
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
}

void CHexEditCtrl::RecordFillStep(LONGLONG nOffset, LONGLONG nCount, BYTE value)
{
    try {
        m_undo.RecordFill(m_data.GetData(), nOffset, nCount, value);
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
}

void CHexEditCtrl::WriteRecordedBytes(LONGLONG nOffset, std::vector<BYTE>&& bytes)
{
    try {
        m_undo.RecordAndWrite(m_data.GetData(), nOffset, std::move(bytes));
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
}

void CHexEditCtrl::RecordTypedByte(LONGLONG nOffset)
{
    try {
        m_undo.RecordTyped(m_data.GetData(), nOffset);
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
}

void CHexEditCtrl::ShowHistoryStep(LONGLONG nOffset)
{
    // The modified flag knows whether these are the saved bytes again.
    m_bModified = m_undo.IsAtSaved() ? FALSE : TRUE;
    m_bChangePending = true;
    // The caret on the change's first byte, in the column it was in, with
    // no selection.
    m_nCaretPos = m_nArea == 0 ? 3 * nOffset : nOffset;
    m_nDigit = 0;
    m_nSelStart = -1;
    m_nSelEnd = -1;
    m_byteCur = GetCaretByte();
    PlaceCaretInView();
}

LRESULT CHexEditCtrl::OnUndo(WPARAM, LPARAM)
{
    if (m_bInFileOperation || RefuseEdit() || !m_undo.CanUndo())
        return FALSE;
    LONGLONG nCount;
    ShowHistoryStep(m_undo.Undo(m_data.GetData(), nCount));
    return TRUE;
}

LRESULT CHexEditCtrl::OnRedo(WPARAM, LPARAM)
{
    if (m_bInFileOperation || RefuseEdit() || !m_undo.CanRedo())
        return FALSE;
    LONGLONG nCount;
    ShowHistoryStep(m_undo.Redo(m_data.GetData(), nCount));
    return TRUE;
}

LRESULT CHexEditCtrl::OnCanUndo(WPARAM, LPARAM)
{
    return m_undo.CanUndo() ? TRUE : FALSE;
}

LRESULT CHexEditCtrl::OnCanRedo(WPARAM, LPARAM)
{
    return m_undo.CanRedo() ? TRUE : FALSE;
}

LRESULT CHexEditCtrl::OnEmptyUndoBuffer(WPARAM, LPARAM)
{
    m_undo.Empty(m_undo.IsAtSaved());
    return 0;
}

BOOL CHexEditCtrl::HandleHistoryKey(UINT nChar, bool bShift, bool bCtrl)
{
    if (!bCtrl || bShift)
        return FALSE;
    if (nChar == 'Z')
        OnUndo(0, 0);
    else if (nChar == 'Y')
        OnRedo(0, 0);
    else
        return FALSE;
    return TRUE;
}

LRESULT CHexEditCtrl::OnSysKeyDownMessage(WPARAM wParam, LPARAM lParam)
{
    // Bit 29: Alt is held. The edit class would undo its own (empty) text.
    if (wParam == VK_BACK && (lParam & (1 << 29)) != 0) {
        OnUndo(0, 0);
        return 0;
    }
    return Default();
}
