// HexEditCtrl.h - CHexEditCtrl, a child window that shows and edits a block
// of bytes: an address column, 16 hexadecimal cells and 16 character cells a
// row, under a header line with the value of the byte at the caret in
// hexadecimal and in bits. The block never grows or shrinks through editing.
//
// Its sources are split by concern: HexEditCtrl.cpp (state, data binding,
// message map), HexEditText.cpp (texts), HexEditLayout.cpp (layout,
// scrolling, caret placement), HexEditPaint.cpp (painting), HexEditKeys.cpp
// (caret, keyboard and byte entry), HexEditMouse.cpp (mouse selection,
// auto-scroll and the wheel), HexEditFile.cpp (fill, load and save).
#pragma once

#include <afxwin.h>

class CHexEditCtrl : public CEdit {
public:
    // One data row's cells as the painter draws them: the hex cells side by
    // side ("48 65 6C ", three characters a cell) and the character cells
    // side by side; cells from nPresent on lie past the end of the data (no
    // hex text, a "." as character).
    static constexpr int kMaxRowCells = 64;
    struct RowText {
        int nFirstIndex;    // byte index of the row's first cell
        int nCells;         // cells in the row
        int nPresent;       // cells holding a byte
        char szHex[3 * kMaxRowCells + 1];
        char szChars[kMaxRowCells + 1];
    };

    CHexEditCtrl();
    ~CHexEditCtrl() override;

    // Creates the control's window: an "edit" window subclassed by the
    // framework, with scroll bars, a client edge and a tab stop.
    BOOL Create(RECT rect, CWnd* pParentWnd, UINT nID);
    // Replaces the control's bytes with a copy of *pData and lays it out.
    void SetData(CByteArray* pData);

    // Whole-buffer operations: every byte to one value, the bytes from or to
    // a file, with or without the common file dialog. Failures are reported
    // in a message box and leave the control and the file as they were;
    // LoadFile returns FALSE after such a report. A long load or save shows
    // its progress and can be cancelled, which changes nothing; while one
    // runs, these operations and SetData return at once.
    void Fill(BYTE value);
    BOOL LoadFile(LPCSTR lpszPath);
    void SaveFile(LPCSTR lpszPath);
    void OpenFile();
    void SaveFileAs();

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // The bytes shown and edited, the control's own copy.
    CByteArray m_data;
    // Format properties, fixed by the constructor.
    short m_nAddrDigits;
    short m_nByteDigits;
    int m_nRowAddr;         // start offset of the row being painted
    short m_nBytesPerRow;
    int m_nFontHeight;
    COLORREF m_clrWndBk;    // client area and header line
    COLORREF m_clrText;     // header and address text
    COLORREF m_clrAsciiBk;  // unselected character cell
    COLORREF m_clrAddrBk;   // address background, unselected character text
    COLORREF m_clrHexBk;    // unselected hexadecimal cell
    COLORREF m_clrHexText;  // unselected hexadecimal text
    int m_nAddrCol;         // columns, in character cells
    int m_nHexCol;
    int m_nAsciiCol;
    int m_nPaintRow;        // data row being painted
    // Measured by the layout.
    SIZE m_sizeChar;        // one character cell, in device pixels
    int m_nVisCols;         // whole columns that fit the width
    int m_nVisRows;         // whole lines that fit the height
    // Scroll position: the content column at the left edge and the first data
    // row drawn (it stands on screen line 2).
    int m_nFirstCol;
    int m_nFirstRow;
    // Mouse selection.
    bool m_bSelecting;
    bool m_bDragged;
    LONGLONG m_nAnchor;     // in hex-character units
    POINT m_ptLast;
    bool m_bTimer;
    int m_nWheelDelta;      // wheel movement not yet turned into line steps
    // A load or a save is running: its progress window lets messages
    // through, and the operations refuse to start another one meanwhile.
    bool m_bInFileOperation;
    // Selection, inclusive, in hex-character units (3 per byte); -1 for none.
    // Positions are 64-bit: past byte 715,827,882 three units a byte no
    // longer fit an int.
    LONGLONG m_nSelStart;
    LONGLONG m_nSelEnd;
    // Caret: hex-character units in the hex column (m_nArea 0), a byte index
    // in the character column (m_nArea 1).
    LONGLONG m_nCaretPos;
    int m_nArea;
    int m_nDigit;           // digit being typed within the current byte
    BYTE m_byteCur;         // value of the byte at the caret, for the header

    // The texts of data row nRow's cells.
    void FormatRow(int nRow, RowText* pRow) const;
    // The character a byte shows as: itself when printable in the "C"
    // locale, whatever the user's code page, else ".".
    static char CharOfByte(BYTE value);

    // Texts of the items the painter draws.
    CString GetAddressText();
    CString GetHexText(int nRow, int nCol, int* pIndex);
    CString GetBitsText();
    CString GetStatusText();
    static CString GetCharText(const CString& strHex);

    // The attributes a saved file gets from those the target had: the ones
    // a user or a program sets, and the archive bit, since its content
    // changed.
    static DWORD AttributesAfterSave(DWORD dwBefore);

    // Number of data rows: 16 bytes a row, the last one possibly short.
    int GetRowCount() const;

    // Layout, scrolling and caret placement.
    // The cell font (fixed pitch, m_nFontHeight pixels): the one font the
    // layout measures and the painter draws with.
    BOOL CreateCellFont(CFont* pFont) const;
    void RecalcLayout();
    BOOL UpdateScrollBars();
    void EnsureCaretVisible();
    void MoveCaret(int nCols, int nRows, BOOL bRedraw);
    void UpdateCaret();
    // Puts the system caret back on the caret's cell while the control has
    // the focus, after the edit class's own processing moved it; lays
    // nothing out and changes no state.
    void RestoreCaretPos();
    // Top-left pixel of the caret's cell (it may lie off the client area).
    POINT GetCaretCellPoint() const;
    LONGLONG GetCaretByteIndex();
    BYTE GetCaretByte();

    // Selection edits, shared by the keyboard and the mouse.
    void FillSelection(BYTE value);
    void ClearSelection();
    // Shift+key: the selection after the caret moved from p0 to p1.
    void ExtendSelection(LONGLONG p0, LONGLONG p1);

    // Mouse: the column and caret position under a client point, and the
    // selection from the anchor to it while the button is held.
    void HitTest(int x, int y);
    void UpdateSelection(int x, int y);
    // Ends tracking: capture, timer and flags go, the caret shows again.
    void EndTracking();

    // Painting: the header line, then the data rows, each formatted once and
    // drawn by runs of like cells (or cell by cell when the glyphs' extents
    // cannot be read).
    void PaintHeader(CDC* pDC);
    void PaintRows(CDC* pDC);
    // For tests: draw cell by cell whatever the font, and a function called
    // with the drawing DC before each row is formatted (it may throw).
    static bool s_bPaintCellByCell;
    static void (*s_pfnBeforePaintRow)(HDC hDC);

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg UINT OnGetDlgCode();
    afx_msg void OnContextMenu(CWnd* pWnd, CPoint pos);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);

    DECLARE_MESSAGE_MAP()
};
