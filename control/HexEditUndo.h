// HexEditUndo.h - CHexEditUndoHistory, the bookkeeping behind CHexEditCtrl's
// undo and redo, free of any window: the steps, the byte budget that bounds
// them, the run of typed bytes that makes one step, and which state of the
// bytes is the saved one.
#pragma once

#include <afx.h>
#include <deque>
#include <vector>

class CHexEditUndoHistory {
public:
    static const LONGLONG kDefaultLimit = 64LL * 1024 * 1024;

    CHexEditUndoHistory();

    // Called before bytes nOffset to nOffset + nCount - 1 of pData change:
    // their present values become a new step, after the steps that could
    // have been redone are dropped, and the oldest steps go while the kept
    // bytes exceed the limit. A change bigger than the limit empties the
    // history instead. On memory failure the exception leaves the history as
    // it was (the caller then changes nothing).
    void Record(const BYTE* pData, LONGLONG nOffset, LONGLONG nCount);
    // As Record for bytes about to be set to one value: the step keeps the
    // old bytes for good and the value, so that its undo is one copy and
    // its redo one fill.
    void RecordFill(const BYTE* pData, LONGLONG nOffset, LONGLONG nCount, BYTE value);
    // Records a change and makes it: the bytes, which become the step, are
    // exchanged with the data's at nOffset, with no copy of them kept. On
    // memory failure nothing changed.
    void RecordAndWrite(BYTE* pData, LONGLONG nOffset, std::vector<BYTE>&& bytes);
    // As Record for one typed byte, which joins the open run of typing when
    // it is the run's last byte (its second digit) or the byte after it.
    void RecordTyped(const BYTE* pData, LONGLONG nOffset);
    // Something other than typing happened: the next typed byte starts a step.
    void EndTypingRun();

    bool CanUndo() const;
    bool CanRedo() const;
    // Exchange the step's bytes with the data's (no memory is needed) and
    // return the offset of its first byte; nCount receives the step's size.
    // Only when CanUndo / CanRedo.
    LONGLONG Undo(BYTE* pData, LONGLONG& nCount);
    LONGLONG Redo(BYTE* pData, LONGLONG& nCount);

    // Drops every step; the bytes now are the saved ones when bSavedNow.
    void Empty(bool bSavedNow);
    // The bytes now are those saved (or loaded, or set).
    void MarkSaved();
    // The bytes now are the saved ones, reached by undo and redo.
    bool IsAtSaved() const;

    // The budget, in bytes kept; lowering it drops the oldest steps at once
    // (then the redoable ones, last first).
    void SetLimit(LONGLONG nBytes);
    LONGLONG GetLimit() const { return m_nLimit; }
    LONGLONG GetBytesHeld() const { return m_nHeld; }
    size_t GetStepCount() const { return m_steps.size(); }

private:
    // A step holds the bytes the data does not have now: the old ones while
    // it can be undone, the new ones once it was undone (for redo). A fill's
    // step holds the old ones always, and the value filled.
    struct Step {
        LONGLONG nOffset;
        std::vector<BYTE> bytes;
        bool bFill;
        BYTE fillValue;
    };
    void Push(Step&& step);
    LONGLONG CurrentState() const { return m_nDropped + static_cast<LONGLONG>(m_nApplied); }
    void DropOldest();
    void DropNewest();
    void TrimToLimit();

    std::deque<Step> m_steps;
    size_t m_nApplied;       // steps 0 to m_nApplied - 1 can be undone, the rest redone
    LONGLONG m_nDropped;     // steps dropped from the front since the history was emptied
    LONGLONG m_nSavedState;  // m_nDropped + m_nApplied when the saved bytes were shown; -1 when out of reach
    LONGLONG m_nHeld;
    LONGLONG m_nLimit;
    bool m_bTypingRun;       // the last step is a run of typing that may grow
};
