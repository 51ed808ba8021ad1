// HexEditLayout.cpp - layout, scrolling and caret placement of CHexEditCtrl:
// the cell font and the measure of one character cell, the scroll-bar
// records, keeping the caret's row in view, placing the system caret, and
// the size and scroll messages.
//
// Geometry: line 0 is the header, line 1 is empty, line 2 + r holds data row
// r; the content is 79 columns wide (columns 0 to 78). Content column C and
// line L have their top-left pixel at ((C - m_nFirstCol) * cx,
// (L - m_nFirstRow) * cy).
#include "HexEditCtrl.h"
#include <climits>

namespace {

// The content's columns: the address from column 1, the hex cells from 10,
// the characters from 62 to 77, and a blank column after them.
const int kContentLastCol = 78;
const int kContentCols = kContentLastCol + 1;
// The lines above data row 0: the header and an empty line.
const int kHeaderLines = 2;
// The scroll messages let the view's right edge go one column past the
// content, and one more while the vertical bar covers room that the column
// count includes; the bottom edge likewise goes one line further while the
// horizontal bar covers room that the line count includes.
const int kScrollEndCol = kContentCols + 1;
const int kScrollEndColBesideVBar = kScrollEndCol + 1;
const int kScrollExtraLineAboveHBar = 1;

// Setting a scroll bar with redraw costs a few milliseconds under Wine even
// when nothing changes, and the layout runs on every placement of the caret.
// These helpers skip a set that would leave the bar exactly as it is; what
// GetScrollInfo reports and whether the bar shows stay the same.

void ShowBar(CWnd* pWnd, UINT nBar, BOOL bShow)
{
    DWORD bit = nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL;
    if (((pWnd->GetStyle() & bit) != 0) == (bShow != FALSE))
        return;
    pWnd->ShowScrollBar(nBar, bShow);
}

void SetBarInfo(CWnd* pWnd, int nBar, SCROLLINFO* pInfo)
{
    SCROLLINFO cur = {};
    if (pWnd->GetScrollInfo(nBar, &cur, SIF_RANGE | SIF_PAGE | SIF_POS) && cur.nMin == pInfo->nMin &&
        cur.nMax == pInfo->nMax && cur.nPage == pInfo->nPage && cur.nPos == pInfo->nPos)
        return;
    pWnd->SetScrollInfo(nBar, pInfo, TRUE);
}

void SetBarPos(CWnd* pWnd, int nBar, int nPos)
{
    SCROLLINFO cur = {};
    if (pWnd->GetScrollInfo(nBar, &cur, SIF_POS) && cur.nPos == nPos)
        return;
    pWnd->SetScrollPos(nBar, nPos, TRUE);
}

// The first column (SB_HORZ) or row (SB_VERT) a scroll message asks for,
// from the current one and the page, before it is clamped. A thumb track
// position past the first page lands one further.
int RequestedScrollPos(CWnd* pWnd, int nBar, UINT nSBCode, int nPos, int nPage)
{
    switch (nSBCode) {
    case SB_LINEUP: return nPos - 1;            // SB_LINELEFT
    case SB_LINEDOWN: return nPos + 1;          // SB_LINERIGHT
    case SB_PAGEUP: return nPos - nPage;        // SB_PAGELEFT
    case SB_PAGEDOWN: return nPos + nPage;      // SB_PAGERIGHT
    case SB_THUMBTRACK: {
        SCROLLINFO si = {};
        if (!pWnd->GetScrollInfo(nBar, &si, SIF_TRACKPOS))
            return nPos;
        int t = si.nTrackPos;
        return t > nPage ? t + 1 : t;
    }
    default: return nPos;
    }
}

// A first column or row kept within 0 to nLimit (0 when nLimit is below 0).
int ClampScrollPos(int nPos, int nLimit)
{
    if (nPos > nLimit)
        nPos = nLimit;
    return nPos < 0 ? 0 : nPos;
}

// The last first row: the bar's last position. A window lower than one
// line shows no line, and a bar with a page of 0 stops at its maximum, so
// the first row stops there too, as if one line were in view.
int LastFirstRow(int nRows, int nVisRows)
{
    return nRows + kHeaderLines - (nVisRows > 0 ? nVisRows : 1);
}

} // namespace

BOOL CHexEditCtrl::CreateCellFont(CFont* pFont) const
{
    return pFont->CreateFont(ScaleToDpi(m_nFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                             OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN,
                             NULL);
}

void CHexEditCtrl::RecalcLayout()
{
    if (m_hWnd == NULL)
        return;

    // The font follows the window's DPI as it is now; the painter draws
    // with the font of the last layout, so picture and measure agree.
    m_nDpi = GetWindowDpi();
    CFont font;
    CreateCellFont(&font);

    // Measure one cell. Without the font, the device context or a cell of at
    // least one pixel each way, the previous measurements stay.
    bool bMeasured = false;
    if (CDC* pDC = GetDC()) {
        if (font.GetSafeHandle() != NULL) {
            CFont* pOldFont = pDC->SelectObject(&font);
            SIZE size = {0, 0};
            if (::GetTextExtentPoint32A(pDC->m_hAttribDC, "A", 1, &size)) {
                pDC->LPtoDP(&size);
                if (size.cx > 0 && size.cy > 0) {
                    m_sizeChar = size;
                    bMeasured = true;
                }
            }
            if (pOldFont != NULL)
                pDC->SelectObject(pOldFont);
        }
        ReleaseDC(pDC);
    }

    // Columns and lines are counted as if neither bar were shown: in the
    // window's rectangle less the frame its styles give. The client area with
    // the shown bars added back would do for most sizes, but a window lower
    // (or narrower) than a bar loses nothing to it, so the count would then
    // depend on which bars the previous layout showed.
    if (bMeasured) {
        SIZE room = GetRoomWithoutBars();
        m_nVisCols = (room.cx - m_sizeChar.cx / 2) / m_sizeChar.cx;
        m_nVisRows = room.cy / m_sizeChar.cy;
    }

    UpdateScrollBars();

    int nLimit = LastFirstRow(GetRowCount(), m_nVisRows);
    if (m_nFirstRow > nLimit)
        m_nFirstRow = nLimit;
    if (m_nFirstRow < 0)
        m_nFirstRow = 0;

    InvalidateRect(NULL, TRUE);
    SetBarPos(this, SB_VERT, m_nFirstRow);
    font.DeleteObject();
}

SIZE CHexEditCtrl::GetRoomWithoutBars() const
{
    CRect rcWindow;
    GetWindowRect(&rcWindow);
    CRect rcFrame(0, 0, 0, 0);
    ::AdjustWindowRectEx(&rcFrame, GetStyle() & ~(WS_VSCROLL | WS_HSCROLL), FALSE, GetExStyle());
    const int cx = rcWindow.Width() - rcFrame.Width();
    const int cy = rcWindow.Height() - rcFrame.Height();
    return SIZE{cx > 0 ? cx : 0, cy > 0 ? cy : 0};
}

BOOL CHexEditCtrl::UpdateScrollBars()
{
    int nRows = GetRowCount();
    BOOL bResult = FALSE;

    SCROLLINFO si = {};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    si.nMin = 0;
    const int nLastLine = nRows + kHeaderLines - 1;
    si.nMax = m_nVisRows > nLastLine ? m_nVisRows - 1 : nLastLine;
    si.nPage = m_nVisRows;
    si.nPos = m_nFirstRow;

    SCROLLINFO cur = {};
    if (!GetScrollInfo(SB_VERT, &cur, SIF_POS) || cur.nPos != si.nPos)
        bResult = TRUE;

    // All rows + 2 lines fit: no vertical bar. The record keeps the position
    // from before the reset.
    if (si.nMax < m_nVisRows) {
        ShowBar(this, SB_VERT, FALSE);
        m_nFirstRow = 0;
    } else {
        ShowBar(this, SB_VERT, TRUE);
    }
    SetBarInfo(this, SB_VERT, &si);

    si.nMin = 0;
    si.nMax = kContentLastCol;
    si.nPage = m_nVisCols;
    si.nPos = m_nFirstCol;
    // Likewise a window narrower than one column stops at the bar's maximum.
    const int nColLimit = kContentCols - (m_nVisCols > 0 ? m_nVisCols : 1);
    if (m_nVisCols < kContentLastCol && m_nFirstCol > nColLimit) {
        m_nFirstCol = nColLimit;
        si.nPos = m_nFirstCol;
    }

    if (!bResult) {
        cur = SCROLLINFO{};
        if (!GetScrollInfo(SB_HORZ, &cur, SIF_POS) || cur.nPos != si.nPos)
            bResult = TRUE;
    }

    // All the content's columns fit: no horizontal bar.
    if (m_nVisCols > kContentLastCol) {
        ShowBar(this, SB_HORZ, FALSE);
        m_nFirstCol = 0;
    } else {
        ShowBar(this, SB_HORZ, TRUE);
    }
    SetBarInfo(this, SB_HORZ, &si);

    return bResult;
}

void CHexEditCtrl::EnsureCaretVisible()
{
    int nUnitsPerRow = m_nArea == 0 ? (m_nByteDigits + 1) * m_nBytesPerRow : m_nBytesPerRow;
    // A row index fits an int: at most 2^31 / 16 rows (a caret beyond the
    // data lies at most one row past them).
    int nCaretRow = static_cast<int>(m_nCaretPos / nUnitsPerRow);
    // The caret's line stands on screen line d - 1.
    int d = nCaretRow + 3 - m_nFirstRow;
    if (d > 3) {
        // Below screen line 2: scroll down just far enough for the caret's
        // line to be the last whole line.
        if (d > m_nVisRows)
            m_nFirstRow = nCaretRow + 3 - m_nVisRows;
        // A caret on the row below the data (after a click there) or a
        // window lower than one line would take the view past the bar's last
        // position; the timer, which scrolls through here, lays nothing out
        // to clamp it afterwards.
        int nLimit = LastFirstRow(GetRowCount(), m_nVisRows);
        if (m_nFirstRow > nLimit)
            m_nFirstRow = nLimit > 0 ? nLimit : 0;
    } else {
        // On one of the top three screen lines: one line up. Above the
        // window: the caret's row becomes the first row drawn (screen line
        // 2), so a Page Up or a drag above the window deep in the data keeps
        // the caret in view instead of jumping to the top.
        if (d > 0)
            m_nFirstRow--;
        else
            m_nFirstRow = nCaretRow;
        if (m_nFirstRow < 0)
            m_nFirstRow = 0;
    }
}

void CHexEditCtrl::MoveCaret(int nCols, int nRows, BOOL bRedraw)
{
    const LONGLONG nSize = m_data.GetSize();
    if (m_nArea == 0) {
        m_nCaretPos += nCols + static_cast<LONGLONG>(nRows) * m_nBytesPerRow * 3;
        if (m_nCaretPos < 0)
            m_nCaretPos = 0;
        // The caret may rest on the blank after the last byte.
        if (m_nCaretPos / 3 >= nSize)
            m_nCaretPos = 3 * nSize - 1;
    } else {
        m_nCaretPos += nCols + static_cast<LONGLONG>(nRows) * m_nBytesPerRow;
        if (m_nCaretPos < 0)
            m_nCaretPos = 0;
        if (m_nCaretPos >= nSize)
            m_nCaretPos = nSize - 1;
    }
    EnsureCaretVisible();
    if (UpdateScrollBars() || bRedraw)
        InvalidateRect(NULL, TRUE);
    UpdateCaret();
}

LONGLONG CHexEditCtrl::GetCaretByteIndex() const
{
    return m_nArea == 0 ? m_nCaretPos / 3 : m_nCaretPos;
}

BYTE CHexEditCtrl::GetCaretByte()
{
    // A caret past the end (or, on an empty block, before it) reads as 0.
    LONGLONG nIndex = GetCaretByteIndex();
    if (nIndex >= 0 && nIndex < m_data.GetSize())
        return m_data[static_cast<int>(nIndex)];
    return 0;
}

POINT CHexEditCtrl::GetCaretCellPoint() const
{
    // The cell's column and line in 64 bits, the pixel position clamped to
    // what SetCaretPos takes (a caret far off the window stays off it).
    LONGLONG nCol, nLine;
    if (m_nArea == 0) {
        int nWidth = 3 * m_nBytesPerRow;
        nCol = m_nHexCol + m_nCaretPos % nWidth;
        nLine = m_nCaretPos / nWidth + 2;
    } else {
        nCol = m_nAsciiCol + m_nCaretPos % m_nBytesPerRow;
        nLine = m_nCaretPos / m_nBytesPerRow + 2;
    }
    LONGLONG x = (nCol - m_nFirstCol) * m_sizeChar.cx;
    LONGLONG y = (nLine - m_nFirstRow) * m_sizeChar.cy;
    auto toInt = [](LONGLONG v) { return static_cast<LONG>(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v); };
    return POINT{toInt(x), toInt(y)};
}

void CHexEditCtrl::UpdateCaret()
{
    // Placed even off the client area (the system clips it), but only while
    // the control has the focus; OnSetFocus places it when the focus comes.
    RestoreCaretPos();
    m_byteCur = GetCaretByte();
    RecalcLayout();
}

void CHexEditCtrl::RestoreCaretPos()
{
    // The system caret is one per thread: without the focus it may be
    // another window's.
    if (m_hWnd == NULL || ::GetFocus() != m_hWnd)
        return;
    POINT pt = GetCaretCellPoint();
    ::SetCaretPos(pt.x, pt.y);
}

void CHexEditCtrl::OnSize(UINT, int, int)
{
    // The edit class places its caret when it is resized; the layout may
    // also have moved the view.
    Default();
    RecalcLayout();
    RestoreCaretPos();
}

void CHexEditCtrl::OnHScroll(UINT nSBCode, UINT, CScrollBar*)
{
    // The limit is below 0 only when more columns fit than the scroll end,
    // where the bar is hidden; the column never goes negative.
    int nEnd = (GetStyle() & WS_VSCROLL) ? kScrollEndColBesideVBar : kScrollEndCol;
    int nCol = ClampScrollPos(RequestedScrollPos(this, SB_HORZ, nSBCode, m_nFirstCol, m_nVisCols), nEnd - m_nVisCols);
    if (nCol == m_nFirstCol)
        return;
    m_nFirstCol = nCol;
    m_bHScrollPending = true;
    InvalidateRect(NULL, TRUE);
    SetBarPos(this, SB_HORZ, m_nFirstCol);
    UpdateCaret();
}

void CHexEditCtrl::OnVScroll(UINT nSBCode, UINT, CScrollBar*)
{
    int nEnd = GetRowCount() + kHeaderLines + ((GetStyle() & WS_HSCROLL) ? kScrollExtraLineAboveHBar : 0);
    int nRow = ClampScrollPos(RequestedScrollPos(this, SB_VERT, nSBCode, m_nFirstRow, m_nVisRows), nEnd - m_nVisRows);
    if (nRow == m_nFirstRow)
        return;
    m_nFirstRow = nRow;
    // The wheel scrolls through here too; the view following the caret
    // does not, and is not announced.
    m_bVScrollPending = true;
    InvalidateRect(NULL, TRUE);
    SetBarPos(this, SB_VERT, m_nFirstRow);
    UpdateCaret();
}
