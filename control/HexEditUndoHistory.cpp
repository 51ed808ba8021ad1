// HexEditUndoHistory.cpp - CHexEditUndoHistory: the undo steps of
// CHexEditCtrl and their byte budget, without a window.
#include "HexEditUndo.h"
#include <algorithm>
#include <cstring>
#include <iterator>

namespace {

// Exchanges nCount bytes of a and b a chunk at a time through a buffer on
// the stack: three memcpy calls run at the speed of the memory, where a
// byte-by-byte exchange of a big step does not.
void SwapBytes(BYTE* a, BYTE* b, size_t nCount)
{
    BYTE buffer[16 * 1024];
    while (nCount > 0) {
        const size_t n = std::min(nCount, sizeof buffer);
        std::memcpy(buffer, a, n);
        std::memcpy(a, b, n);
        std::memcpy(b, buffer, n);
        a += n;
        b += n;
        nCount -= n;
    }
}

} // namespace

CHexEditUndoHistory::CHexEditUndoHistory()
    : m_nApplied(0), m_nDropped(0), m_nSavedState(0), m_nHeld(0), m_nLimit(kDefaultLimit), m_bTypingRun(false)
{
}

void CHexEditUndoHistory::Record(const BYTE* pData, LONGLONG nOffset, LONGLONG nCount)
{
    m_bTypingRun = false;
    if (nCount > m_nLimit) {
        // Cannot be undone: nothing before it can be either.
        Empty(false);
        return;
    }
    // Everything that can throw comes first, while the history is whole.
    Step step;
    step.nOffset = nOffset;
    step.bytes.assign(pData + nOffset, pData + nOffset + nCount);
    step.bFill = false;
    step.fillValue = 0;
    Push(std::move(step));
}

void CHexEditUndoHistory::RecordFill(const BYTE* pData, LONGLONG nOffset, LONGLONG nCount, BYTE value)
{
    m_bTypingRun = false;
    if (nCount > m_nLimit) {
        Empty(false);
        return;
    }
    Step step;
    step.nOffset = nOffset;
    step.bytes.assign(pData + nOffset, pData + nOffset + nCount);
    step.bFill = true;
    step.fillValue = value;
    Push(std::move(step));
}

void CHexEditUndoHistory::RecordAndWrite(BYTE* pData, LONGLONG nOffset, std::vector<BYTE>&& bytes)
{
    m_bTypingRun = false;
    const size_t nCount = bytes.size();
    if (static_cast<LONGLONG>(nCount) > m_nLimit) {
        Empty(false);
        std::memcpy(pData + nOffset, bytes.data(), nCount);
        return;
    }
    Step step;
    step.nOffset = nOffset;
    step.bytes = std::move(bytes);
    step.bFill = false;
    step.fillValue = 0;
    Push(std::move(step));
    // The step, last now, takes the old bytes as the data takes the new.
    SwapBytes(m_steps.back().bytes.data(), pData + nOffset, nCount);
}

void CHexEditUndoHistory::Push(Step&& step)
{
    const LONGLONG nCount = static_cast<LONGLONG>(step.bytes.size());
    m_steps.push_back(std::move(step));
    // The steps that could have been redone go; the saved state with them,
    // if it was one of theirs.
    const size_t nRedoable = m_steps.size() - 1 - m_nApplied;
    for (auto it = m_steps.begin() + static_cast<std::ptrdiff_t>(m_nApplied); it != m_steps.end() - 1; ++it)
        m_nHeld -= static_cast<LONGLONG>(it->bytes.size());
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_nApplied),
                  m_steps.begin() + static_cast<std::ptrdiff_t>(m_nApplied + nRedoable));
    if (m_nSavedState > CurrentState())
        m_nSavedState = -1;
    ++m_nApplied;
    m_nHeld += nCount;
    TrimToLimit();
}

void CHexEditUndoHistory::RecordTyped(const BYTE* pData, LONGLONG nOffset)
{
    // The run grows only while nothing came between, its step is the last
    // one and was not undone, and the saved bytes are not the ones it ends
    // with (a save seals the run).
    if (m_bTypingRun && m_nApplied == m_steps.size() && m_nApplied > 0) {
        Step& last = m_steps.back();
        const LONGLONG nEnd = last.nOffset + static_cast<LONGLONG>(last.bytes.size());
        if (nOffset == nEnd - 1)
            return;   // the low digit of the byte whose old value is kept
        if (nOffset == nEnd) {
            if (nEnd - last.nOffset + 1 > m_nLimit) {
                Empty(false);
                return;
            }
            last.bytes.push_back(pData[nOffset]);
            ++m_nHeld;
            TrimToLimit();
            return;
        }
    }
    Record(pData, nOffset, 1);
    m_bTypingRun = m_nApplied > 0;
}

void CHexEditUndoHistory::EndTypingRun()
{
    m_bTypingRun = false;
}

bool CHexEditUndoHistory::CanUndo() const
{
    return m_nApplied > 0;
}

bool CHexEditUndoHistory::CanRedo() const
{
    return m_nApplied < m_steps.size();
}

LONGLONG CHexEditUndoHistory::Undo(BYTE* pData, LONGLONG& nCount)
{
    m_bTypingRun = false;
    Step& step = m_steps[--m_nApplied];
    if (step.bFill)
        std::memcpy(pData + step.nOffset, step.bytes.data(), step.bytes.size());
    else
        SwapBytes(step.bytes.data(), pData + step.nOffset, step.bytes.size());
    nCount = static_cast<LONGLONG>(step.bytes.size());
    return step.nOffset;
}

LONGLONG CHexEditUndoHistory::Redo(BYTE* pData, LONGLONG& nCount)
{
    m_bTypingRun = false;
    Step& step = m_steps[m_nApplied++];
    if (step.bFill)
        std::memset(pData + step.nOffset, step.fillValue, step.bytes.size());
    else
        SwapBytes(step.bytes.data(), pData + step.nOffset, step.bytes.size());
    nCount = static_cast<LONGLONG>(step.bytes.size());
    return step.nOffset;
}

void CHexEditUndoHistory::Empty(bool bSavedNow)
{
    m_steps.clear();
    m_nApplied = 0;
    m_nDropped = 0;
    m_nHeld = 0;
    m_nSavedState = bSavedNow ? 0 : -1;
    m_bTypingRun = false;
}

void CHexEditUndoHistory::MarkSaved()
{
    m_nSavedState = CurrentState();
    m_bTypingRun = false;
}

bool CHexEditUndoHistory::IsAtSaved() const
{
    return m_nSavedState == CurrentState();
}

void CHexEditUndoHistory::SetLimit(LONGLONG nBytes)
{
    m_nLimit = std::max<LONGLONG>(nBytes, 0);
    TrimToLimit();
}

void CHexEditUndoHistory::DropOldest()
{
    m_nHeld -= static_cast<LONGLONG>(m_steps.front().bytes.size());
    m_steps.pop_front();
    ++m_nDropped;
    --m_nApplied;
    // The bytes before the dropped step cannot be had again.
    if (m_nSavedState >= 0 && m_nSavedState < m_nDropped)
        m_nSavedState = -1;
}

void CHexEditUndoHistory::DropNewest()
{
    m_nHeld -= static_cast<LONGLONG>(m_steps.back().bytes.size());
    m_steps.pop_back();
    m_bTypingRun = false;
    if (m_nSavedState > m_nDropped + static_cast<LONGLONG>(m_steps.size()))
        m_nSavedState = -1;
}

void CHexEditUndoHistory::TrimToLimit()
{
    // The oldest undoable steps go first; the step just recorded stays when
    // it fits alone.
    while (m_nHeld > m_nLimit && m_nApplied > 1)
        DropOldest();
    while (m_nHeld > m_nLimit && m_steps.size() > m_nApplied)
        DropNewest();
    if (m_nHeld > m_nLimit)
        Empty(IsAtSaved());
}
