// HexEditPaint.cpp - painting of CHexEditCtrl: the whole client area on every
// WM_PAINT, through one off-screen bitmap copied to the window in one step.
//
// The picture is a fill of the client area followed by opaque texts at
// character cells: the header line (caption, status text, caption), then per
// data row its address, and for every cell its hexadecimal text and its
// character, in the fixed colours of each kind of item or, for selected
// bytes, the system's highlight colours.
//
// Neighbouring cells of one row in the same colours are drawn with one text
// call where that gives exactly the picture of one call per cell. Both fill
// their cells' background and draw the glyphs at the same pen positions when
// every printable glyph advances by one cell; they differ only where a glyph
// reaches into the next cell: one call per cell covers that ink with the next
// cell's background, one call for several cells leaves it. So a run ends
// after a cell whose ink reaches past its right edge (the hex digits reach
// at most into the blank of their own cell with the fonts seen so far; some
// characters reach one pixel into the next character cell). The glyphs'
// extents are read from the font at every paint; when they do not advance by
// one cell, every cell is drawn on its own, in cell order.
#include "HexEditCtrl.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// How far each printable character's ink reaches past the right edge of its
// cell, in pixels, for the font selected into hDC. False when the glyphs
// cannot be measured or one does not advance by exactly nCellWidth.
bool MeasureOverhangs(HDC hDC, int nCellWidth, int nOverhang[0x7F])
{
    ABC abc[0x7E - 0x20 + 1];
    if (!::GetCharABCWidthsA(hDC, 0x20, 0x7E, abc))
        return false;
    for (int ch = 0; ch < 0x20; ch++)
        nOverhang[ch] = 0;
    for (int ch = 0x20; ch <= 0x7E; ch++) {
        const ABC& w = abc[ch - 0x20];
        if (w.abcA + static_cast<int>(w.abcB) + w.abcC != nCellWidth)
            return false;
        nOverhang[ch] = w.abcC < 0 ? -w.abcC : 0;
    }
    return true;
}

} // namespace

void CHexEditCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    int nWidth = rect.right - rect.left;
    int nHeight = rect.bottom - rect.top;

    CDC memDC;
    memDC.CreateCompatibleDC(&dc);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&dc, nWidth, nHeight);
    CBitmap* pOldBitmap = NULL;
    if (bitmap.GetSafeHandle() != NULL)
        pOldBitmap = memDC.SelectObject(&bitmap);

    CBrush brush;
    if (!brush.CreateSolidBrush(m_clrWndBk)) {
        // The bitmap must leave the memory DC before either can be deleted.
        if (pOldBitmap != NULL)
            memDC.SelectObject(pOldBitmap);
        AfxThrowResourceException();
    }
    memDC.FillRect(&rect, &brush);

    CFont font;
    CreateCellFont(&font);
    CFont* pOldFont = NULL;
    if (font.GetSafeHandle() != NULL)
        pOldFont = memDC.SelectObject(&font);
    memDC.SetBoundsRect(&rect, DCB_DISABLE);

    const int cx = m_sizeChar.cx;
    const int cy = m_sizeChar.cy;

    // Header line: on screen only while the view is not scrolled down.
    {
        int y = -m_nFirstRow * cy;
        memDC.SetTextColor(m_clrText);
        memDC.SetBkColor(m_clrWndBk);
        memDC.TextOut((m_nAddrCol - m_nFirstCol) * cx, y, "Address", 7);
        CString strStatus = GetStatusText();
        memDC.TextOut((m_nHexCol - m_nFirstCol) * cx, y, strStatus);
        memDC.TextOut((m_nAsciiCol - m_nFirstCol) * cx, y, "ASCII values", 12);
    }

    // Data rows, from m_nFirstRow on screen line 2, as many as fit (the last
    // may lie partly or wholly below the client area and is clipped).
    const COLORREF clrHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF clrHighlightText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    int nOverhang[0x7F];
    const bool bRuns = MeasureOverhangs(memDC.m_hDC, cx, nOverhang);
    const int nSize = m_data.GetSize();
    const BYTE* pData = m_data.GetData();
    const int nRows = GetRowCount();
    const int nCells = m_nBytesPerRow;
    const int nCellChars = m_nByteDigits + 1;

    // One row's texts: the hex cells side by side (3 characters each, empty
    // past the end of the data) and the character cells side by side, with
    // the cells after which a run must end.
    // (16 cells a row; the arrays leave room for more.)
    char szHex[64 * 3];
    char szChars[64];
    bool bSelected[64];
    bool bPresent[64];
    bool bHexInkOut[64];
    bool bCharInkOut[64];

    m_nRowAddr = 0;
    for (m_nPaintRow = m_nFirstRow; m_nPaintRow < nRows && m_nPaintRow - m_nFirstRow <= m_nVisRows;
         m_nPaintRow++) {
        const int r = m_nPaintRow;
        m_nRowAddr = r * m_nBytesPerRow * (m_nByteDigits / 2);
        const int y = (r - m_nFirstRow + 2) * cy;

        memDC.SetTextColor(m_clrText);
        memDC.SetBkColor(m_clrAddrBk);
        CString strAddr = GetAddressText();
        memDC.TextOut((m_nAddrCol - m_nFirstCol) * cx, y, strAddr);

        for (int c = 0; c < nCells; c++) {
            int i = m_nRowAddr + c;
            // 3 x i in 64 bits: the hex-character unit of a byte beyond the
            // first 715,827,882 does not fit an int.
            long long unit = 3LL * i;
            bSelected[c] = m_nSelStart <= unit && unit <= m_nSelEnd;
            bPresent[c] = i < nSize;
            char* pCell = szHex + c * nCellChars;
            if (bPresent[c]) {
                BYTE b = pData[i];
                pCell[0] = kHexDigits[b >> 4];
                pCell[1] = kHexDigits[b & 15];
                pCell[2] = ' ';
                szChars[c] = (b >= 0x20 && b <= 0x7E) ? static_cast<char>(b) : '.';
            } else {
                // An empty cell reads as 0, which shows as ".".
                szChars[c] = '.';
            }
            if (bRuns) {
                bHexInkOut[c] = bPresent[c] && (nOverhang[static_cast<int>(pCell[0])] > 2 * cx ||
                                                nOverhang[static_cast<int>(pCell[1])] > cx ||
                                                nOverhang[' '] > 0);
                bCharInkOut[c] = nOverhang[static_cast<int>(szChars[c])] > 0;
            }
        }

        if (!bRuns) {
            for (int c = 0; c < nCells; c++) {
                if (bPresent[c]) {
                    memDC.SetTextColor(bSelected[c] ? clrHighlightText : m_clrHexText);
                    memDC.SetBkColor(bSelected[c] ? clrHighlight : m_clrHexBk);
                    memDC.TextOut((m_nHexCol + nCellChars * c - m_nFirstCol) * cx, y,
                                  szHex + c * nCellChars, nCellChars);
                }
                memDC.SetTextColor(bSelected[c] ? clrHighlightText : m_clrAddrBk);
                memDC.SetBkColor(bSelected[c] ? clrHighlight : m_clrAsciiBk);
                memDC.TextOut((m_nAsciiCol + c - m_nFirstCol) * cx, y, szChars + c, 1);
            }
            continue;
        }

        // Hex cells: runs of present cells with the same selection state.
        for (int c = 0; c < nCells && bPresent[c];) {
            int e = c + 1;
            while (e < nCells && bPresent[e] && bSelected[e] == bSelected[c] && !bHexInkOut[e - 1])
                e++;
            memDC.SetTextColor(bSelected[c] ? clrHighlightText : m_clrHexText);
            memDC.SetBkColor(bSelected[c] ? clrHighlight : m_clrHexBk);
            memDC.TextOut((m_nHexCol + nCellChars * c - m_nFirstCol) * cx, y, szHex + c * nCellChars,
                          (e - c) * nCellChars);
            c = e;
        }
        // Character cells: every one is drawn, past the end as well.
        for (int c = 0; c < nCells;) {
            int e = c + 1;
            while (e < nCells && bSelected[e] == bSelected[c] && !bCharInkOut[e - 1])
                e++;
            memDC.SetTextColor(bSelected[c] ? clrHighlightText : m_clrAddrBk);
            memDC.SetBkColor(bSelected[c] ? clrHighlight : m_clrAsciiBk);
            memDC.TextOut((m_nAsciiCol + c - m_nFirstCol) * cx, y, szChars + c, e - c);
            c = e;
        }
    }

    // Copy the picture while the bitmap is still selected (copied after the
    // old bitmap is back, the window would get the 1x1 stock bitmap and
    // nothing of the picture), then put the kept objects back.
    dc.BitBlt(0, 0, nWidth, nHeight, &memDC, 0, 0, SRCCOPY);
    if (pOldFont != NULL)
        memDC.SelectObject(pOldFont);
    if (pOldBitmap != NULL)
        memDC.SelectObject(pOldBitmap);

    font.DeleteObject();
    brush.DeleteObject();
    bitmap.DeleteObject();
    memDC.DeleteDC();
}
