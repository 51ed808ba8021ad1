// Window-level tests of CHexEditCtrl's painting: the control paints itself
// on a real WM_PAINT, and its client area is read back into a DIB and
// checked cell by cell (colours of the header, address, hex and character
// cells, the highlight, the fill in the gaps), against shifted copies of
// itself for scrolling, and pixel for pixel against the per-item picture.
#include "MessageBoxCatcher.h"
#include "ControlTest.h"
#include "HexEditPaintHooks.h"

#include <iostream>
#include <string>

using qxtest::Picture;
using qxtest::Pump;
using qxtest::TestHexEdit;
using qxtest::TestHost;

namespace {

const COLORREF kFill = RGB(192, 192, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kYellow = RGB(255, 255, 0);
const COLORREF kDarkBlue = RGB(0, 0, 192);

class PaintTest : public qxtest::CountingControlTest<TestHexEdit> {
protected:
    PaintTest() : CountingControlTest(1400, 1000) {}
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CountingControlTest::SetUp());
        hiBk = ::GetSysColor(COLOR_HIGHLIGHT);
        hiText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    }
    Picture Paint() { return Picture::FromWindow(ctl.m_hWnd); }
    RECT Line(int nScreenLine, int nFromCol = 0, int nToCol = 100) const
    {
        return RECT{nFromCol * cx, nScreenLine * cy, nToCol * cx, (nScreenLine + 1) * cy};
    }
    // The part of a rectangle inside the client area.
    RECT Clip(RECT rc, const Picture& pic) const
    {
        rc.right = rc.right < pic.width() ? rc.right : pic.width();
        rc.bottom = rc.bottom < pic.height() ? rc.bottom : pic.height();
        return rc;
    }

    COLORREF hiBk = 0, hiText = 0;
};

TEST_F(PaintTest, ItemsAndGapsInTheirColours)
{
    ctl.SetLayoutCells(100, 30);
    Picture pic = Paint();
    ASSERT_FALSE(pic.empty());

    // Header line: the three texts in black on the fill colour.
    EXPECT_TRUE(pic.Shows(ctl.CellRect(1, 0, 7), kFill, kBlack));
    EXPECT_TRUE(pic.Shows(ctl.CellRect(10, 0, 37), kFill, kBlack));
    EXPECT_TRUE(pic.Shows(ctl.CellRect(62, 0, 12), kFill, kBlack));
    EXPECT_TRUE(pic.All(ctl.CellRect(0, 0), kFill));
    EXPECT_TRUE(pic.All(ctl.CellRect(8, 0, 2), kFill));
    EXPECT_TRUE(pic.All(ctl.CellRect(47, 0, 15), kFill));
    EXPECT_TRUE(pic.All(Clip(ctl.CellRect(74, 0, 26), pic), kFill));
    // Line 1 is empty.
    EXPECT_TRUE(pic.All(Clip(Line(1), pic), kFill));

    for (int r = 0; r < 26; r++) {
        SCOPED_TRACE(r);
        EXPECT_TRUE(pic.Shows(ctl.AddrRect(r), kWhite, kBlack));
        for (int c = 0; c < 16; c++) {
            EXPECT_TRUE(pic.Shows(ctl.HexCellRect(r, c), kYellow, kDarkBlue)) << c;
            BYTE b = static_cast<BYTE>(r * 16 + c);
            if (b == 0x20)
                EXPECT_TRUE(pic.All(ctl.CharCellRect(r, c), kDarkBlue));   // a blank
            else
                EXPECT_TRUE(pic.Shows(ctl.CharCellRect(r, c), kDarkBlue, kWhite)) << c;
        }
        // The gaps: column 0, column 9, columns 58 to 61, right of 77.
        EXPECT_TRUE(pic.All(ctl.CellRect(0, r + 2), kFill));
        EXPECT_TRUE(pic.All(ctl.CellRect(9, r + 2), kFill));
        EXPECT_TRUE(pic.All(ctl.CellRect(58, r + 2, 4), kFill));
        // (Column 78 from its third pixel: a character like "_" in cell 15
        // may put a pixel of ink just past its cell.)
        RECT right = ctl.CellRect(78, r + 2, 22);
        right.left += 2;
        EXPECT_TRUE(pic.All(Clip(right, pic), kFill));
    }
    // The trailing blank of a hex cell is in the cell's background.
    EXPECT_TRUE(pic.All(ctl.CellRect(12, 2), kYellow));
}

TEST_F(PaintTest, ShortLastRowAndTheAreaBelowTheData)
{
    ctl.SetCounting(40);   // rows 0 and 1 full, row 2 with 8 bytes
    ctl.SetLayoutCells(100, 30);
    Picture pic = Paint();
    for (int c = 0; c < 8; c++)
        EXPECT_TRUE(pic.Shows(ctl.HexCellRect(2, c), kYellow, kDarkBlue)) << c;
    for (int c = 8; c < 16; c++) {
        // No hex text past the end: the fill shows; the character is ".".
        EXPECT_TRUE(pic.All(ctl.HexCellRect(2, c), kFill)) << c;
        EXPECT_TRUE(pic.Shows(ctl.CharCellRect(2, c), kDarkBlue, kWhite)) << c;
    }
    for (int line = 5; line < 30; line++)
        EXPECT_TRUE(pic.All(Clip(Line(line), pic), kFill)) << line;
}

TEST_F(PaintTest, EmptyDataShowsTheFillAndTheHeaderOnly)
{
    ctl.SetCounting(0);
    ctl.SetLayoutCells(100, 30);
    Picture pic = Paint();
    EXPECT_TRUE(pic.Shows(ctl.CellRect(1, 0, 7), kFill, kBlack));
    EXPECT_TRUE(pic.Shows(ctl.CellRect(10, 0, 37), kFill, kBlack));
    RECT below = {0, cy, pic.width(), pic.height()};
    EXPECT_TRUE(pic.All(below, kFill));
    EXPECT_EQ(0, ctl.m_nPaintRow);
    EXPECT_EQ(0, ctl.m_nRowAddr);
}

TEST_F(PaintTest, SelectedBytesInTheHighlightColours)
{
    ctl.SetLayoutCells(100, 30);
    // Bytes 5 to 20: across the end of row 0.
    ctl.m_nSelStart = 3 * 5;
    ctl.m_nSelEnd = 3 * 20 + 2;
    Picture pic = Paint();
    for (int i = 0; i < 48; i++) {
        int r = i / 16, c = i % 16;
        bool sel = i >= 5 && i <= 20;
        SCOPED_TRACE(i);
        if (i == 0x20)
            continue;   // a blank character cell, checked elsewhere
        if (sel) {
            EXPECT_TRUE(pic.Shows(ctl.HexCellRect(r, c), hiBk, hiText));
            // The trailing blank as well (from its third pixel: the low
            // digit's ink may reach a pixel into it).
            RECT blank = ctl.CellRect(10 + 3 * c + 2, r + 2);
            blank.left += 2;
            EXPECT_TRUE(pic.All(blank, hiBk));
            EXPECT_TRUE(pic.Shows(ctl.CharCellRect(r, c), hiBk, hiText));
        } else {
            EXPECT_TRUE(pic.Shows(ctl.HexCellRect(r, c), kYellow, kDarkBlue));
            EXPECT_TRUE(pic.Shows(ctl.CharCellRect(r, c), kDarkBlue, kWhite));
        }
    }
    // The address and the gaps are never highlighted.
    EXPECT_TRUE(pic.Shows(ctl.AddrRect(1), kWhite, kBlack));
    EXPECT_TRUE(pic.All(ctl.CellRect(58, 2, 4), kFill));

    // Bytes 31 and 32: a range starting on byte 30's low digit leaves 30 out.
    ctl.m_nSelStart = 3 * 30 + 1;
    ctl.m_nSelEnd = 3 * 32;
    pic = Paint();
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(1, 14), kYellow, kDarkBlue));
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(1, 15), hiBk, hiText));
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(2, 0), hiBk, hiText));
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(2, 1), kYellow, kDarkBlue));

    // Start after end: nothing.
    ctl.m_nSelStart = 3 * 20;
    ctl.m_nSelEnd = 3 * 10;
    pic = Paint();
    for (int c = 0; c < 16; c++)
        EXPECT_TRUE(pic.Shows(ctl.HexCellRect(0, c), kYellow, kDarkBlue)) << c;
}

TEST_F(PaintTest, SelectionPastTheEndHighlightsTheDotsOnly)
{
    ctl.SetCounting(20);
    ctl.SetLayoutCells(100, 30);
    ctl.m_nSelStart = 0;
    ctl.m_nSelEnd = 3 * 40;
    Picture pic = Paint();
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(1, 3), hiBk, hiText));
    for (int c = 4; c < 16; c++) {
        EXPECT_TRUE(pic.All(ctl.HexCellRect(1, c), kFill)) << c;
        EXPECT_TRUE(pic.Shows(ctl.CharCellRect(1, c), hiBk, hiText)) << c;
    }
}

TEST_F(PaintTest, HighlightColoursAreReadAtEveryPaint)
{
    ctl.SetLayoutCells(100, 30);
    ctl.m_nSelStart = 0;
    ctl.m_nSelEnd = 2;
    int elements[2] = {COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    COLORREF old[2] = {hiBk, hiText};
    COLORREF test[2] = {RGB(10, 200, 30), RGB(250, 5, 100)};
    ASSERT_TRUE(::SetSysColors(2, elements, test));
    Picture pic = Paint();
    ::SetSysColors(2, elements, old);
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(0, 0), test[0], test[1]));
    EXPECT_TRUE(pic.Shows(ctl.CharCellRect(0, 0), test[0], test[1]));
    pic = Paint();
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(0, 0), old[0], old[1]));
}

TEST_F(PaintTest, ScrolledDownTheHeaderGoesAndRowsMoveUp)
{
    ctl.SetLayoutCells(100, 30);
    Picture top = Paint();
    for (int i = 0; i < 5; i++)
        ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
    ASSERT_EQ(5, ctl.m_nFirstRow);
    Picture scrolled = Paint();

    // Lines 0 and 1: the fill alone.
    EXPECT_TRUE(scrolled.All(Clip(Line(0), scrolled), kFill));
    EXPECT_TRUE(scrolled.All(Clip(Line(1), scrolled), kFill));
    // Data row 5 on line 2, and every data line is the unscrolled one five
    // lines further down.
    EXPECT_TRUE(scrolled.Shows(ctl.CellRect(1, 7, 8), kWhite, kBlack));
    int nMismatch = 0;
    for (int y = 2 * cy; y < 25 * cy; y++)
        for (int x = 0; x < scrolled.width(); x++)
            nMismatch += scrolled.At(x, y) != top.At(x, y + 5 * cy);
    EXPECT_EQ(0, nMismatch);
    // The paint loop's state: rows 5 to 5 + 30 were drawn.
    EXPECT_EQ(36, ctl.m_nPaintRow);
    EXPECT_EQ(35 * 16, ctl.m_nRowAddr);
}

TEST_F(PaintTest, ScrolledRightEveryItemMovesLeft)
{
    ctl.SetLayoutCells(60, 30);   // the horizontal bar is shown
    Picture left = Paint();
    for (int i = 0; i < 3; i++)
        ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
    ASSERT_EQ(3, ctl.m_nFirstCol);
    Picture shifted = Paint();
    ASSERT_EQ(left.width(), shifted.width());

    // Header included: pixel (x, y) now shows what (x + 3 cells, y) showed.
    int nMismatch = 0;
    for (int y = 0; y < shifted.height(); y++)
        for (int x = 0; x + 3 * cx < shifted.width(); x++)
            nMismatch += shifted.At(x, y) != left.At(x + 3 * cx, y);
    EXPECT_EQ(0, nMismatch);
    // Address column 1 now starts at -2 cells: its last 6 digits are seen.
    EXPECT_TRUE(shifted.Shows(RECT{0, 2 * cy, 6 * cx, 3 * cy}, kWhite, kBlack));
}

TEST_F(PaintTest, PaintLoopStateAfterAPaint)
{
    ctl.SetLayoutCells(100, 30);
    Paint();
    // At most visible + 1 rows: 0 to 30.
    EXPECT_EQ(31, ctl.m_nPaintRow);
    EXPECT_EQ(30 * 16, ctl.m_nRowAddr);

    ctl.SetCounting(40);
    Paint();
    EXPECT_EQ(3, ctl.m_nPaintRow);
    EXPECT_EQ(2 * 16, ctl.m_nRowAddr);
}

TEST_F(PaintTest, EraseBackgroundErasesNothing)
{
    HDC hWndDC = ::GetDC(ctl.m_hWnd);
    HDC hDC = ::CreateCompatibleDC(hWndDC);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hWndDC, 32, 32);
    HGDIOBJ hOld = ::SelectObject(hDC, hBmp);
    RECT rc = {0, 0, 32, 32};
    HBRUSH hRed = ::CreateSolidBrush(RGB(255, 0, 0));
    ::FillRect(hDC, &rc, hRed);
    LRESULT res = ::SendMessageA(ctl.m_hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hDC), 0);
    Picture pic = Picture::FromDC(hDC, 32, 32);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hRed);
    ::DeleteObject(hBmp);
    ::DeleteDC(hDC);
    ::ReleaseDC(ctl.m_hWnd, hWndDC);
    EXPECT_EQ(TRUE, res);
    EXPECT_TRUE(pic.All(rc, RGB(255, 0, 0)));
}

// ---------------------------------------------------------------------------
// The painter draws neighbouring cells of one colour with one text call; the
// picture must be the one of one call per item, pixel for pixel, and the
// cell-by-cell path (taken when the glyphs' extents cannot be read) must
// give the same picture.

// Whether the painter can draw runs with the control's font (every
// printable glyph advances by one cell). Also counts the glyphs whose ink
// reaches into the next cell (the runs end after them).
bool GlyphsAdvanceByOneCell(TestHexEdit& ctl, int* pnOverhanging)
{
    HDC hDC = ::GetDC(ctl.m_hWnd);
    CFont font;
    ctl.CreateCellFont(&font);
    HGDIOBJ hOld = ::SelectObject(hDC, font.GetSafeHandle());
    ABC abc[95];
    bool ok = ::GetCharABCWidthsA(hDC, 0x20, 0x7E, abc) != FALSE;
    *pnOverhanging = 0;
    for (int i = 0; ok && i < 95; i++) {
        ok = abc[i].abcA + static_cast<int>(abc[i].abcB) + abc[i].abcC == ctl.m_sizeChar.cx;
        *pnOverhanging += abc[i].abcC < 0;
    }
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(ctl.m_hWnd, hDC);
    return ok;
}

// Views of the control whose pictures are compared: data, size, scroll
// position and selection.
struct ViewState {
    const char* name;
    int nBytes;     // -1: 250 bytes with every printable character, short last row
    int nCols, nRows;
    int nFirstRow, nFirstCol;
    int nSelStart, nSelEnd;
};
const ViewState kViewStates[] = {
    {"sample, no selection", 4096, 100, 30, 0, 0, -1, -1},
    {"all characters, selection over rows", -1, 100, 30, 0, 0, 3 * 10, 3 * 40 + 2},
    {"selection from a low digit", -1, 100, 30, 0, 0, 3 * 30 + 1, 3 * 33},
    {"selection start after end", -1, 100, 30, 0, 0, 3 * 40, 3 * 10},
    {"selection into the short row's end", -1, 100, 30, 0, 0, 3 * 245, 3 * 300},
    {"every byte selected", -1, 100, 30, 0, 0, 0, 3 * 250},
    {"scrolled both ways", 4096, 50, 20, 7, 11, 3 * 150, 3 * 170 + 1},
    {"scrolled to the end", 4096, 60, 25, 233, 19, 3 * 4090, 3 * 5000},
    {"empty", 0, 100, 30, 0, 0, -1, -1},
    {"header only partly in view", 4096, 20, 8, 0, 30, -1, -1},
    {"rows below the client area", 4096, 90, 58, 3, 0, 3 * 100, 3 * 900},
};

void ShowState(TestHexEdit& ctl, const ViewState& st)
{
    if (st.nBytes < 0) {
        std::vector<BYTE> all(250);
        for (int i = 0; i < 250; i++)
            all[i] = static_cast<BYTE>(i + 6);
        ctl.SetBytes(all);
    } else {
        ctl.SetCounting(st.nBytes);
    }
    ctl.SetLayoutCells(st.nCols, st.nRows);
    ctl.m_nFirstRow = st.nFirstRow;
    ctl.m_nFirstCol = st.nFirstCol;
    ctl.m_nSelStart = st.nSelStart;
    ctl.m_nSelEnd = st.nSelEnd;
}

// Draws cell by cell while it exists, whatever the font.
struct CellByCell {
    CellByCell() { HexEditPaintHooks::bPaintCellByCell = true; }
    ~CellByCell() { HexEditPaintHooks::bPaintCellByCell = false; }
};

TEST_F(PaintTest, PictureIsPixelIdenticalToOneCallPerItem)
{
    int nOverhanging = 0;
    bool bRuns = GlyphsAdvanceByOneCell(ctl, &nOverhanging);
    std::cout << "[ note     ] the painter draws " << (bRuns ? "runs of cells" : "cell by cell")
              << " with this font; " << nOverhanging << " glyphs reach into the next cell\n";

    for (const ViewState& st : kViewStates) {
        SCOPED_TRACE(st.name);
        ShowState(ctl, st);
        Picture painted = Paint();
        ASSERT_EQ(st.nFirstRow, ctl.m_nFirstRow);
        ASSERT_EQ(st.nFirstCol, ctl.m_nFirstCol);
        Picture reference = ctl.PaintPerItem();
        ASSERT_FALSE(painted.empty());
        POINT pt = painted.FirstDifference(reference);
        EXPECT_EQ(-1, pt.x) << "first difference at (" << pt.x << ", " << pt.y << ")";
    }
}

TEST_F(PaintTest, CellByCellGivesThePictureOfTheRuns)
{
    for (const ViewState& st : kViewStates) {
        SCOPED_TRACE(st.name);
        ShowState(ctl, st);
        Picture runs = Paint();
        Picture cells;
        {
            CellByCell force;
            cells = Paint();
        }
        ASSERT_FALSE(cells.empty());
        POINT pt = cells.FirstDifference(runs);
        EXPECT_EQ(-1, pt.x) << "first difference at (" << pt.x << ", " << pt.y << ")";
        pt = cells.FirstDifference(ctl.PaintPerItem());
        EXPECT_EQ(-1, pt.x) << "first difference from one call per item at (" << pt.x << ", " << pt.y << ")";
    }
}

// ---------------------------------------------------------------------------
// A paint that throws midway (a text that cannot get its memory) must put
// back what it selected into its memory DC before it frees anything:
// Windows refuses to delete a selected object, and Wine defers the deletion
// silently, so the fault shows only by looking at the DC at each deletion.
// The test replaces this program's import of DeleteObject with one that
// does, and makes the painter throw on its third row.

// Replaces every import of the function at pfnReal in this executable's
// import table with pfnNew while it exists.
class ImportPatch {
public:
    ImportPatch(void* pfnReal, void* pfnNew) : m_pfnReal(pfnReal)
    {
        BYTE* pBase = reinterpret_cast<BYTE*>(::GetModuleHandleA(NULL));
        auto* pDos = reinterpret_cast<IMAGE_DOS_HEADER*>(pBase);
        auto* pNt = reinterpret_cast<IMAGE_NT_HEADERS*>(pBase + pDos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& dir = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        auto* pImport = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(pBase + dir.VirtualAddress);
        for (; dir.VirtualAddress != 0 && pImport->Name != 0; pImport++) {
            auto* pThunk = reinterpret_cast<IMAGE_THUNK_DATA*>(pBase + pImport->FirstThunk);
            for (; pThunk->u1.Function != 0; pThunk++) {
                if (reinterpret_cast<void*>(pThunk->u1.Function) == pfnReal && Write(&pThunk->u1.Function, pfnNew))
                    m_patched.push_back(&pThunk->u1.Function);
            }
        }
    }
    ~ImportPatch()
    {
        for (auto* p : m_patched)
            Write(p, m_pfnReal);
    }
    size_t Count() const { return m_patched.size(); }

private:
    template <class T>
    static bool Write(T* pSlot, void* pfn)
    {
        DWORD dwOld = 0;
        if (!::VirtualProtect(pSlot, sizeof *pSlot, PAGE_READWRITE, &dwOld))
            return false;
        *pSlot = reinterpret_cast<T>(pfn);
        ::VirtualProtect(pSlot, sizeof *pSlot, dwOld, &dwOld);
        return true;
    }

    void* m_pfnReal;
    std::vector<decltype(IMAGE_THUNK_DATA().u1.Function)*> m_patched;
};

struct PaintProbe {
    HDC hDC = NULL;            // the DC the rows are drawn into
    DWORD dwDCType = 0;
    HGDIOBJ hBitmap = NULL;    // what was selected into it at the first row
    HGDIOBJ hFont = NULL;
    int nRows = 0;             // rows begun
    int nThrowAtRow = 3;
    int nDeletedWhileSelected = 0;
    int nDeletions = 0;
    BOOL(WINAPI* pfnDeleteObject)(HGDIOBJ) = nullptr;
};
PaintProbe g_probe;

void BeforePaintRow(HDC hDC)
{
    if (g_probe.nRows++ == 0) {
        g_probe.hDC = hDC;
        g_probe.dwDCType = ::GetObjectType(hDC);
        g_probe.hBitmap = ::GetCurrentObject(hDC, OBJ_BITMAP);
        g_probe.hFont = ::GetCurrentObject(hDC, OBJ_FONT);
    }
    if (g_probe.nRows == g_probe.nThrowAtRow)
        AfxThrowMemoryException();
}

BOOL WINAPI DeleteObjectChecked(HGDIOBJ hObject)
{
    g_probe.nDeletions++;
    if (g_probe.hDC != NULL && ::GetObjectType(g_probe.hDC) != 0) {
        for (UINT type : {OBJ_BITMAP, OBJ_FONT, OBJ_BRUSH, OBJ_PEN})
            g_probe.nDeletedWhileSelected += ::GetCurrentObject(g_probe.hDC, type) == hObject;
    }
    return g_probe.pfnDeleteObject(hObject);
}

TEST_F(PaintTest, APaintThatThrowsMidwayLeavesNothingSelectedAndNothingBehind)
{
    ctl.SetLayoutCells(100, 30);
    Picture before = Paint();

    g_probe = PaintProbe();
    void* pfnReal = reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("gdi32.dll"), "DeleteObject"));
    ASSERT_NE(nullptr, pfnReal);
    g_probe.pfnDeleteObject = reinterpret_cast<BOOL(WINAPI*)(HGDIOBJ)>(pfnReal);
    int nBoxes = 0;
    std::string strBox;
    {
        ImportPatch patch(pfnReal, reinterpret_cast<void*>(DeleteObjectChecked));
        ASSERT_GE(patch.Count(), 1u);
        HexEditPaintHooks::pfnBeforePaintRow = BeforePaintRow;
        MessageBoxCatcher boxes;
        Paint();
        HexEditPaintHooks::pfnBeforePaintRow = nullptr;
        nBoxes = MessageBoxCatcher::Count();
        strBox = MessageBoxCatcher::Text();
    }

    // The paint got as far as the third row and was reported.
    EXPECT_EQ(3, g_probe.nRows);
    EXPECT_EQ(1, nBoxes) << strBox;
    ASSERT_NE(nullptr, g_probe.hDC);
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), g_probe.dwDCType) << "the rows are drawn off screen";
    // Every object it made was deleted, none while selected.
    EXPECT_GE(g_probe.nDeletions, 3) << "bitmap, font and brush";
    EXPECT_EQ(0, g_probe.nDeletedWhileSelected);
    EXPECT_EQ(0u, ::GetObjectType(g_probe.hDC)) << "the memory DC is gone";
    EXPECT_EQ(0u, ::GetObjectType(g_probe.hBitmap)) << "the bitmap is gone";
    EXPECT_EQ(0u, ::GetObjectType(g_probe.hFont)) << "the font is gone";

    // And the next paint is whole again.
    Picture after = Paint();
    POINT pt = after.FirstDifference(before);
    EXPECT_EQ(-1, pt.x) << "first difference at (" << pt.x << ", " << pt.y << ")";
}

// ---------------------------------------------------------------------------
// Every paint and every layout releases what it creates. Wine reports no GDI
// counts, and the process has about 65,000 GDI handles: the test takes all
// but 300 of them, then runs a few thousand paints and layouts. Any
// handle left behind per run would use up the rest: creating objects would
// fail, and a paint that cannot get its bitmap or font shows it.

TEST_F(PaintTest, ManyPaintsAndLayoutsDoNotExhaustGdiHandles)
{
    ctl.SetLayoutCells(30, 8);
    ctl.m_nSelStart = 0;
    ctl.m_nSelEnd = 30;
    Picture reference = Paint();
    ASSERT_FALSE(reference.empty());

    std::vector<HBRUSH> hogs;
    while (hogs.size() < 200000) {
        HBRUSH h = ::CreateSolidBrush(RGB(hogs.size() & 255, 7, 9));
        if (h == NULL)
            break;
        hogs.push_back(h);
    }
    ASSERT_GT(hogs.size(), 2000u);
    for (int i = 0; i < 300; i++) {
        ::DeleteObject(hogs.back());
        hogs.pop_back();
    }

    const int kRounds = 1200;
    int nFailedPaints = 0, nWrongPictures = 0;
    DWORD t0 = ::GetTickCount();
    for (int i = 0; i < kRounds; i++) {
        ctl.RecalcLayout();           // a layout (font, DC), which invalidates
        ::UpdateWindow(ctl.m_hWnd);   // and the paint it causes
        if (ctl.m_nPaintRow == 0)
            nFailedPaints++;
        ctl.m_nPaintRow = 0;
        // Every so often, what the window shows now.
        if (i % 50 == 49) {
            HDC hDC = ::GetDC(ctl.m_hWnd);
            Picture pic = Picture::FromDC(hDC, reference.width(), reference.height());
            ::ReleaseDC(ctl.m_hWnd, hDC);
            nWrongPictures += pic.empty() || pic.FirstDifference(reference).x != -1;
        }
    }
    DWORD ms = ::GetTickCount() - t0;

    HDC hDC = ::GetDC(ctl.m_hWnd);
    HBITMAP hBmp = ::CreateCompatibleBitmap(hDC, 16, 16);
    CFont font;
    BOOL bFont = ctl.CreateCellFont(&font);
    HBRUSH hBrush = ::CreateSolidBrush(RGB(1, 2, 3));
    HDC hMem = ::CreateCompatibleDC(hDC);
    bool bCreated = hDC != NULL && hBmp != NULL && bFont && hBrush != NULL && hMem != NULL;
    Picture pic = Paint();
    ::DeleteDC(hMem);
    ::DeleteObject(hBrush);
    font.DeleteObject();
    ::DeleteObject(hBmp);
    ::ReleaseDC(ctl.m_hWnd, hDC);
    for (HBRUSH h : hogs)
        ::DeleteObject(h);
    std::cout << "[ note     ] " << kRounds << " layouts and paints with 300 GDI handles to spare: " << ms << " ms\n";

    EXPECT_EQ(0, nFailedPaints);
    EXPECT_EQ(0, nWrongPictures);
    EXPECT_TRUE(bCreated);
    // The control still paints its picture.
    POINT pt = pic.FirstDifference(reference);
    EXPECT_EQ(-1, pt.x) << "first difference at (" << pt.x << ", " << pt.y << ")";
    EXPECT_TRUE(pic.Shows(ctl.AddrRect(0), kWhite, kBlack));
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(0, 1), hiBk, hiText));
    EXPECT_TRUE(pic.Shows(ctl.HexCellRect(1, 0), kYellow, kDarkBlue));
}

} // namespace
