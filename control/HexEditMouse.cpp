// HexEditMouse.cpp - the mouse side of CHexEditCtrl: the cell under a point,
// the press that places the caret, the drag that selects from the anchor,
// Shift+press, the double-click that selects one cell, the auto-scroll timer
// while the pointer is dragged outside the window, the end of a drag when
// another window takes the capture, the suppressed context menu and the
// wheel.
//
// While the button is held (tracking) the control has the mouse captured and
// its caret hidden; the release shows the caret again on its cell.
#include "HexEditCtrl.h"

namespace {

// The auto-scroll timer: the control's only one, every 100 ms while the
// pointer is dragged outside the client area.
const UINT_PTR kAutoScrollTimer = 1;
const UINT kAutoScrollPeriod = 100;

} // namespace

void CHexEditCtrl::HitTest(int x, int y)
{
    const int cx = m_sizeChar.cx, cy = m_sizeChar.cy;
    if (cx <= 0 || cy <= 0)
        return;   // not laid out yet
    // Integer division truncates toward zero: a point up to one cell left of
    // or above the client area falls on the first visible column or line.
    LONGLONG nCol = x / cx + m_nFirstCol;
    LONGLONG nRow = y / cy + static_cast<LONGLONG>(m_nFirstRow) - 2;
    // The row just below the last data row is accepted; anything further
    // down hits nothing.
    if (nRow > GetRowCount())
        return;
    if (nRow < 0)
        return;

    const int nHexWidth = 3 * m_nBytesPerRow;
    if (m_nHexCol <= nCol && nCol <= m_nHexCol + nHexWidth - 2) {
        // The blank after a byte counts as the next byte's high digit; the
        // blank after a row's last byte lies outside the range, so this never
        // leaves the row.
        if ((nCol - m_nHexCol) % 3 == 2)
            nCol++;
        m_nArea = 0;
        m_nCaretPos = nRow * nHexWidth + (nCol - m_nHexCol);
    } else if (m_nAsciiCol <= nCol && nCol <= m_nAsciiCol + m_nBytesPerRow) {
        // The column just right of a row's last character is the first byte
        // of the next row.
        m_nArea = 1;
        m_nCaretPos = nRow * m_nBytesPerRow + (nCol - m_nAsciiCol);
    }
    // No comparison with the size: a point past the last byte leaves the
    // caret beyond the data, which every caret operation tolerates.
}

void CHexEditCtrl::UpdateSelection(int x, int y)
{
    if (m_data.GetSize() == 0 || !m_bSelecting)
        return;
    const LONGLONG nOldStart = m_nSelStart, nOldEnd = m_nSelEnd;

    // HitTest never yields a negative position, so a negative one left
    // behind means the point hit neither column. The selection then stays
    // as it is: re-applying the rules to the unchanged caret would take one
    // more cell off the end at every move and every timer tick.
    const LONGLONG nCaret = m_nCaretPos;
    m_nCaretPos = -1;
    HitTest(x, y);
    if (m_nCaretPos < 0) {
        m_nCaretPos = nCaret;
        return;
    }

    const LONGLONG a = m_nAnchor;
    if (m_nArea == 0) {
        // Dragged forward, the selection stops before the pointer's cell and
        // the caret stands on its last cell (the release moves it just
        // after); dragged back, the caret stands on its first.
        const LONGLONG c = m_nCaretPos;
        if (a < c) {
            m_nSelStart = a;
            m_nSelEnd = c - 1;
            m_nCaretPos = c - 1;
        } else {
            m_nSelStart = c;
            m_nSelEnd = a;
        }
    } else {
        // Both ends are high-digit cells, so both end bytes are selected.
        const LONGLONG c = 3 * m_nCaretPos;
        m_nSelStart = a < c ? a : c;
        m_nSelEnd = a < c ? c : a;
    }
    if (m_nSelStart != nOldStart || m_nSelEnd != nOldEnd)
        InvalidateRect(NULL, TRUE);
}

void CHexEditCtrl::EndTracking()
{
    // The flags go before the capture: releasing it sends WM_CAPTURECHANGED,
    // which must find the drag already over.
    m_bSelecting = false;
    m_bDragged = false;
    if (m_bTimer) {
        KillTimer(kAutoScrollTimer);
        m_bTimer = false;
    }
    if (GetCapture() == this)
        ::ReleaseCapture();
    // A hex selection that the caret ends: the caret goes just after it,
    // where Shift+Right would have left it.
    if (m_nArea == 0 && m_nSelStart >= 0 && m_nCaretPos == m_nSelEnd)
        m_nCaretPos = m_nSelEnd + 1;
}

void CHexEditCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (m_data.GetSize() == 0)
        return;
    m_bSelecting = true;
    m_undo.EndTypingRun();   // what is typed after a click is a step of its own
    if (m_nSelStart != -1 || m_nSelEnd != -1)
        ClearSelection();
    if (nFlags & MK_SHIFT) {
        // From the caret to the pressed cell, by the rules of a drag.
        m_nAnchor = m_nArea == 0 ? m_nCaretPos : 3 * m_nCaretPos;
        UpdateSelection(point.x, point.y);
        m_bDragged = true;
    } else {
        HitTest(point.x, point.y);
        m_nAnchor = m_nArea == 0 ? m_nCaretPos : 3 * m_nCaretPos;
    }
    m_ptLast = point;
    SetCapture();
    HideCaret();
    // The edit class gives the control the focus here (OnSetFocus creates
    // the caret and leaves it hidden while tracking), and moves the system
    // caret to a place of its own.
    Default();
    RestoreCaretPos();
}

void CHexEditCtrl::OnMouseMove(UINT, CPoint point)
{
    if (m_data.GetSize() == 0)
        return;
    if (!m_bSelecting) {
        // Between a double-click and its release the edit class tracks the
        // pointer itself and moves the (shown) system caret with it.
        Default();
        RestoreCaretPos();
        return;
    }
    m_bDragged = true;
    CRect rect;
    GetClientRect(&rect);
    const bool bInside = rect.PtInRect(point) != FALSE;
    if (!m_bTimer && !bInside) {
        SetTimer(kAutoScrollTimer, kAutoScrollPeriod, NULL);
        m_bTimer = true;
    } else if (m_bTimer && bInside) {
        KillTimer(kAutoScrollTimer);
        m_bTimer = false;
    }
    m_ptLast = point;
    UpdateSelection(point.x, point.y);
    Default();
}

void CHexEditCtrl::OnLButtonUp(UINT, CPoint point)
{
    // A release ends a drag whatever became of the data meanwhile.
    const bool bTracking = m_bSelecting;
    if (bTracking) {
        if (m_bDragged)
            UpdateSelection(point.x, point.y);
        EndTracking();
    }
    if (m_data.GetSize() == 0 && !bTracking)
        return;
    UpdateCaret();
    ShowCaret();
    Default();
}

void CHexEditCtrl::OnLButtonDblClk(UINT, CPoint point)
{
    if (m_data.GetSize() == 0)
        return;
    // A point that hits neither column leaves the caret, and its cell is
    // taken.
    HitTest(point.x, point.y);
    const LONGLONG nCell = m_nArea == 0 ? m_nCaretPos : 3 * m_nCaretPos;
    m_nSelStart = nCell;
    m_nSelEnd = nCell;
    UpdateCaret();
    m_bSelecting = false;
    ::ReleaseCapture();
    Default();
    RestoreCaretPos();
}

void CHexEditCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (m_data.GetSize() == 0)
        return;
    if (nIDEvent != kAutoScrollTimer) {
        // The edit class's own timer, which may move the system caret.
        Default();
        RestoreCaretPos();
        return;
    }
    // A tick queued before the release (or a lost capture) finds no drag: it
    // changes nothing.
    if (!m_bSelecting)
        return;
    // The same point against the new first row: below the window it lies
    // further down at every tick, above it further up, so the view keeps
    // moving while the pointer stays outside.
    const int nOldFirstRow = m_nFirstRow;
    UpdateSelection(m_ptLast.x, m_ptLast.y);
    EnsureCaretVisible();
    // The rows drawn change with the first row even when the selection
    // did not, so a scroll repaints too.
    if (UpdateScrollBars() || m_nFirstRow != nOldFirstRow)
        InvalidateRect(NULL, TRUE);
}

void CHexEditCtrl::OnContextMenu(CWnd*, CPoint)
{
    // Consumed: the edit class's own menu (cut, copy, paste) would act on
    // its empty text, not on the bytes.
}

void CHexEditCtrl::OnCaptureChanged(CWnd* pWnd)
{
    // Another window took the capture during a drag (a message box, another
    // program, the task switcher): the drag ends as at a release, instead of
    // leaving the caret hidden and the timer running until some later
    // release reaches the control.
    if (m_bSelecting && pWnd != this) {
        EndTracking();
        UpdateCaret();
        ShowCaret();
    }
    // The edit class ends its own tracking.
    Default();
}

BOOL CHexEditCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    // A load or a save lets messages through while it runs; the wait cursor
    // stays over the control, where the edit class would put its I-beam.
    if (m_bInFileOperation) {
        RestoreWaitCursor();
        return TRUE;
    }
    return CEdit::OnSetCursor(pWnd, nHitTest, message);
}

BOOL CHexEditCtrl::OnMouseWheel(UINT, short zDelta, CPoint)
{
    if (m_data.GetSize() == 0)
        return FALSE;
    UINT nLines = 3;
    if (!::SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &nLines, 0))
        nLines = 3;
    if (nLines == 0)
        return TRUE;   // wheel scrolling turned off

    // High-resolution wheels send fractions of a notch: they add up, and a
    // turn the other way starts afresh.
    if ((m_nWheelDelta > 0 && zDelta < 0) || (m_nWheelDelta < 0 && zDelta > 0))
        m_nWheelDelta = 0;
    m_nWheelDelta += zDelta;
    const int nNotches = m_nWheelDelta / WHEEL_DELTA;
    m_nWheelDelta -= nNotches * WHEEL_DELTA;
    if (nNotches == 0)
        return TRUE;

    // A positive delta turns the wheel away from the user: up.
    const bool bUp = nNotches > 0;
    const int nNotchCount = bUp ? nNotches : -nNotches;
    const UINT nCode = nLines == WHEEL_PAGESCROLL ? (bUp ? SB_PAGEUP : SB_PAGEDOWN) : (bUp ? SB_LINEUP : SB_LINEDOWN);
    const long long nSteps = nLines == WHEEL_PAGESCROLL ? nNotchCount : static_cast<long long>(nNotchCount) * nLines;
    for (long long i = 0; i < nSteps; i++) {
        const int nOld = m_nFirstRow;
        OnVScroll(nCode, 0, NULL);
        if (m_nFirstRow == nOld)
            break;   // at the top or the bottom
    }
    return TRUE;
}
