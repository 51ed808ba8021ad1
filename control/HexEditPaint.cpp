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

#ifdef QX_PAINT_TEST_HOOKS
#include "HexEditPaintHooks.h"

namespace HexEditPaintHooks {

bool bPaintCellByCell = false;
void (*pfnBeforePaintRow)(HDC) = nullptr;
int nHighContrast = -1;

} // namespace HexEditPaintHooks
#endif

namespace {

// The painter's switches a test build sets.
bool PaintCellByCell()
{
#ifdef QX_PAINT_TEST_HOOKS
    return HexEditPaintHooks::bPaintCellByCell;
#else
    return false;
#endif
}

void BeforePaintRow(HDC hDC)
{
#ifdef QX_PAINT_TEST_HOOKS
    if (HexEditPaintHooks::pfnBeforePaintRow != nullptr)
        HexEditPaintHooks::pfnBeforePaintRow(hDC);
#else
    (void)hDC;
#endif
}

// One paint's drawing surface: a memory DC compatible with the window's DC,
// a bitmap of the client size selected into it, the fill brush and the cell
// font. It owns all four, and its destructor puts back every object it
// selected before anything is deleted, so a paint that throws midway leaves
// nothing selected and nothing behind. When the memory DC or its bitmap
// cannot be had, it draws straight into the window's DC (the same picture,
// drawn in view); when the brush cannot be had, it fills without one.
class CPaintSurface {
public:
    CPaintSurface(CDC* pTarget, int nWidth, int nHeight)
        : m_pTarget(pTarget), m_pDC(pTarget), m_nWidth(nWidth), m_nHeight(nHeight)
    {
        if (m_memDC.CreateCompatibleDC(pTarget) && m_bitmap.CreateCompatibleBitmap(pTarget, nWidth, nHeight)) {
            m_hOldBitmap = ::SelectObject(m_memDC.m_hDC, m_bitmap.GetSafeHandle());
            if (m_hOldBitmap != NULL && m_hOldBitmap != HGDI_ERROR)
                m_pDC = &m_memDC;
            else
                m_hOldBitmap = NULL;
        }
    }
    ~CPaintSurface()
    {
        if (m_hOldFont != NULL)
            ::SelectObject(m_pDC->m_hDC, m_hOldFont);
        if (m_hOldBitmap != NULL)
            ::SelectObject(m_memDC.m_hDC, m_hOldBitmap);
        // The members go next: the memory DC first, then the objects.
    }
    CPaintSurface(const CPaintSurface&) = delete;
    CPaintSurface& operator=(const CPaintSurface&) = delete;

    CDC* DC() { return m_pDC; }

    void Fill(const RECT& rect, COLORREF clr)
    {
        m_brush.DeleteObject();
        if (m_brush.CreateSolidBrush(clr))
            m_pDC->FillRect(&rect, &m_brush);
        else
            m_pDC->FillSolidRect(&rect, clr);
    }

    // The font the texts are drawn in: created into Font(), then selected.
    CFont* Font() { return &m_font; }
    void SelectFont()
    {
        if (m_font.GetSafeHandle() == NULL || m_hOldFont != NULL)
            return;
        HGDIOBJ hOld = ::SelectObject(m_pDC->m_hDC, m_font.GetSafeHandle());
        m_hOldFont = hOld != HGDI_ERROR ? hOld : NULL;
    }

    // Copies the picture to the window while the bitmap is still selected
    // (copied after the old bitmap is back, the window would get the 1x1
    // stock bitmap and nothing of the picture).
    void CopyToTarget()
    {
        if (m_pDC == &m_memDC)
            m_pTarget->BitBlt(0, 0, m_nWidth, m_nHeight, &m_memDC, 0, 0, SRCCOPY);
    }

private:
    CDC* m_pTarget;
    CDC* m_pDC;         // the memory DC, or the target when it cannot be had
    int m_nWidth;
    int m_nHeight;
    CBitmap m_bitmap;
    CFont m_font;
    CBrush m_brush;
    CDC m_memDC;        // declared last: deleted before the objects above
    HGDIOBJ m_hOldBitmap = NULL;
    HGDIOBJ m_hOldFont = NULL;
};

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

// Where and in what colours one row's cells are drawn, and which of them
// are selected.
struct RowDrawing {
    CDC* pDC;
    int y;
    int cx;
    int xHex;       // left pixel of the row's first hex cell
    int xChars;     // left pixel of its first character cell
    COLORREF clrHexText, clrHexBk;
    COLORREF clrCharText, clrCharBk;
    COLORREF clrSelText, clrSelBk;
    bool bSelected[CHexEditCtrl::kMaxRowCells];

    void HexColours(bool bSel) const
    {
        pDC->SetTextColor(bSel ? clrSelText : clrHexText);
        pDC->SetBkColor(bSel ? clrSelBk : clrHexBk);
    }
    void CharColours(bool bSel) const
    {
        pDC->SetTextColor(bSel ? clrSelText : clrCharText);
        pDC->SetBkColor(bSel ? clrSelBk : clrCharBk);
    }
};

const int kHexCellChars = 3;

// Every cell with a text call of its own, in cell order: its hex text (none
// past the end of the data), then its character.
void DrawCellsOneByOne(const RowDrawing& d, const CHexEditCtrl::RowText& row)
{
    for (int c = 0; c < row.nCells; c++) {
        if (c < row.nPresent) {
            d.HexColours(d.bSelected[c]);
            d.pDC->TextOut(d.xHex + kHexCellChars * c * d.cx, d.y, row.szHex + kHexCellChars * c, kHexCellChars);
        }
        d.CharColours(d.bSelected[c]);
        d.pDC->TextOut(d.xChars + c * d.cx, d.y, row.szChars + c, 1);
    }
}

// Runs of neighbouring cells in the same colours, each run ending after a
// cell whose ink reaches into the next one: the hex cells with a byte, then
// every character cell (past the end as well).
void DrawCellsInRuns(const RowDrawing& d, const CHexEditCtrl::RowText& row, const int nOverhang[0x7F])
{
    auto hexInkOut = [&](int c) {
        const char* p = row.szHex + kHexCellChars * c;
        return nOverhang[static_cast<int>(p[0])] > 2 * d.cx || nOverhang[static_cast<int>(p[1])] > d.cx ||
               nOverhang[' '] > 0;
    };
    for (int c = 0; c < row.nPresent;) {
        int e = c + 1;
        while (e < row.nPresent && d.bSelected[e] == d.bSelected[c] && !hexInkOut(e - 1))
            e++;
        d.HexColours(d.bSelected[c]);
        d.pDC->TextOut(d.xHex + kHexCellChars * c * d.cx, d.y, row.szHex + kHexCellChars * c,
                       (e - c) * kHexCellChars);
        c = e;
    }
    for (int c = 0; c < row.nCells;) {
        int e = c + 1;
        while (e < row.nCells && d.bSelected[e] == d.bSelected[c] &&
               nOverhang[static_cast<int>(row.szChars[e - 1])] == 0)
            e++;
        d.CharColours(d.bSelected[c]);
        d.pDC->TextOut(d.xChars + c * d.cx, d.y, row.szChars + c, e - c);
        c = e;
    }
}

} // namespace

bool CHexEditCtrl::IsHighContrastOn()
{
#ifdef QX_PAINT_TEST_HOOKS
    if (HexEditPaintHooks::nHighContrast >= 0)
        return HexEditPaintHooks::nHighContrast != 0;
#endif
    HIGHCONTRASTA hc = {};
    hc.cbSize = sizeof hc;
    return ::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

COLORREF CHexEditCtrl::PaintColour(COLORREF clrOwn, int nSysColour) const
{
    // In high contrast the user's colours, not the control's.
    return m_bHighContrast ? ::GetSysColor(nSysColour) : clrOwn;
}

void CHexEditCtrl::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);

    // Read at each paint: a child is not always told when it changes.
    m_bHighContrast = IsHighContrastOn();
    CPaintSurface surface(&dc, rect.Width(), rect.Height());
    surface.Fill(rect, PaintColour(m_clrWndBk, COLOR_WINDOW));
    if (CreateCellFont(surface.Font()))
        surface.SelectFont();
    CDC* pDC = surface.DC();
    pDC->SetBoundsRect(&rect, DCB_DISABLE);

    PaintHeader(pDC);
    PaintRows(pDC);
    surface.CopyToTarget();
}

void CHexEditCtrl::PaintHeader(CDC* pDC)
{
    // On screen only while the view is not scrolled down; scrolled down, it
    // lies wholly above the client area and is not drawn (its position, the
    // first row times the cell height, no longer fits an int far down).
    if (m_nFirstRow > 0)
        return;
    const int cx = m_sizeChar.cx;
    const int y = 0;
    pDC->SetTextColor(PaintColour(m_clrText, COLOR_WINDOWTEXT));
    pDC->SetBkColor(PaintColour(m_clrWndBk, COLOR_WINDOW));
    pDC->TextOut((m_nAddrCol - m_nFirstCol) * cx, y, "Address", 7);
    pDC->TextOut((m_nHexCol - m_nFirstCol) * cx, y, GetStatusText());
    pDC->TextOut((m_nAsciiCol - m_nFirstCol) * cx, y, "ASCII values", 12);
}

void CHexEditCtrl::PaintRows(CDC* pDC)
{
    // Data rows, from m_nFirstRow on screen line 2: m_nVisRows + 1 of them,
    // counted as the lines are, header included, so the last ones lie partly
    // or wholly below the client area and are clipped.
    const int cx = m_sizeChar.cx;
    const int cy = m_sizeChar.cy;
    int nOverhang[0x7F];
    const bool bRuns = !PaintCellByCell() && MeasureOverhangs(pDC->m_hDC, cx, nOverhang);

    RowDrawing d;
    d.pDC = pDC;
    d.cx = cx;
    d.xHex = (m_nHexCol - m_nFirstCol) * cx;
    d.xChars = (m_nAsciiCol - m_nFirstCol) * cx;
    d.clrHexText = PaintColour(m_clrHexText, COLOR_WINDOWTEXT);
    d.clrHexBk = PaintColour(m_clrHexBk, COLOR_WINDOW);
    d.clrCharText = PaintColour(m_clrAddrBk, COLOR_WINDOWTEXT);
    d.clrCharBk = PaintColour(m_clrAsciiBk, COLOR_WINDOW);
    const COLORREF clrAddrText = PaintColour(m_clrText, COLOR_WINDOWTEXT);
    const COLORREF clrAddrBk = PaintColour(m_clrAddrBk, COLOR_WINDOW);
    d.clrSelText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    d.clrSelBk = ::GetSysColor(COLOR_HIGHLIGHT);

    const int nRows = GetRowCount();
    RowText row;
    m_nRowAddr = 0;
    for (m_nPaintRow = m_nFirstRow; m_nPaintRow < nRows && m_nPaintRow - m_nFirstRow <= m_nVisRows;
         m_nPaintRow++) {
        const int r = m_nPaintRow;
        m_nRowAddr = r * m_nBytesPerRow * (m_nByteDigits / 2);
        d.y = (r - m_nFirstRow + 2) * cy;

        pDC->SetTextColor(clrAddrText);
        pDC->SetBkColor(clrAddrBk);
        pDC->TextOut((m_nAddrCol - m_nFirstCol) * cx, d.y, GetAddressText());

        BeforePaintRow(pDC->m_hDC);
        FormatRow(r, &row);
        for (int c = 0; c < row.nCells; c++) {
            // In 64 bits: the hex-character unit of a byte beyond the first
            // 715,827,882 does not fit an int.
            LONGLONG unit = 3 * (static_cast<LONGLONG>(row.nFirstIndex) + c);
            d.bSelected[c] = m_nSelStart <= unit && unit <= m_nSelEnd;
        }
        if (bRuns)
            DrawCellsInRuns(d, row, nOverhang);
        else
            DrawCellsOneByOne(d, row);
    }
}
