// HexEditCtrl.h - CHexEditCtrl, a child window that shows and edits a block
// of bytes: an address column, 16 hexadecimal cells and 16 character cells a
// row, under a header line with the value of the byte at the caret in
// hexadecimal and in bits. The block never grows or shrinks through editing.
//
// Its sources are split by concern: HexEditCtrl.cpp (state, data binding,
// message map), HexEditText.cpp (texts), HexEditLayout.cpp (layout,
// scrolling, caret placement), HexEditPaint.cpp (painting), HexEditKeys.cpp
// (caret, keyboard and byte entry), HexEditMouse.cpp (mouse selection,
// auto-scroll and the wheel), HexEditFile.cpp (fill, load and save, with
// HexEditProgress.cpp's window for long ones), HexEditHost.cpp (what a host
// reads and sets beyond the bytes, and the notifications it asks for),
// HexEditUndo.cpp (undo and redo, over HexEditUndoHistory.cpp's steps),
// HexEditClipboard.cpp (copy, cut, paste, clear and select all, with
// HexEditClipboardText.cpp's hex text), HexEditDpi.cpp (the screen's
// resolution: the cell font's size, and a change of the window's DPI),
// HexEditAccessibility.cpp (what screen readers get, with
// HexEditAccessible.cpp's IAccessible and HexEditAutomation.cpp's UI
// Automation provider), HexEditFind.cpp (the search of FindBytes).
#pragma once

#include "HexEditUndo.h"
#include <afxwin.h>
#include <oleacc.h>
#include <vector>
#include <cstddef>
#include <richedit.h>   // EM_SETEVENTMASK, the ENM_ bits, EN_SELCHANGE, MSGFILTER
#include <commdlg.h>    // FR_DOWN, FR_MATCHCASE

// The DPI messages, for headers that predate them.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

// What WM_NOTIFY with EN_SELCHANGE carries (lParam points to it) when the
// host asked for ENM_SELCHANGE: the byte at the caret and the selected bytes,
// after whichever of them changed. It begins as rich edit's SELCHANGE does,
// so that a handler written for that one reads it right: chrg holds the
// selected bytes (cpMax one past the last) or, with nothing selected, the
// caret's byte at both ends, and seltyp says which (no size exceeds
// 2,147,483,647 bytes, so a LONG holds every offset). The 64-bit fields
// follow. The packing is the structure's own, whatever the host's.
#pragma pack(push, 8)
struct NMHEXSELCHANGE {
    NMHDR hdr;            // the control's window and id, EN_SELCHANGE
    CHARRANGE chrg;       // as SELCHANGE's
    WORD seltyp;          // SEL_TEXT with a selection, else SEL_EMPTY
    LONGLONG nCaret;      // byte at the caret (see GetCaretOffset)
    LONGLONG nSelFirst;   // first and last selected byte, both -1 when
    LONGLONG nSelLast;    // nothing is selected (see GetSelection)
};
#pragma pack(pop)
static_assert(offsetof(NMHEXSELCHANGE, chrg) == offsetof(SELCHANGE, chrg), "chrg where SELCHANGE has it");
static_assert(offsetof(NMHEXSELCHANGE, seltyp) == offsetof(SELCHANGE, seltyp), "seltyp where SELCHANGE has it");
static_assert(offsetof(NMHEXSELCHANGE, nCaret) == (sizeof(void*) == 4 ? 24 : 40), "the 64-bit fields' place");
static_assert(sizeof(NMHEXSELCHANGE) == (sizeof(void*) == 4 ? 48 : 64), "the structure's size");

class CHexEditAccessible;
class CHexEditAutomation;

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
    // in a message box and leave the control as it was; LoadFile returns
    // FALSE after such a report. A failed save leaves the file as it was,
    // but for one case: the system removed the old file while replacing it
    // and the new one could not take its name; the message then names the
    // temporary file beside it that holds the saved bytes. A long load or
    // save shows its progress and can be cancelled, which changes nothing;
    // while one runs, these operations and SetData return at once.
    void Fill(BYTE value);
    BOOL LoadFile(LPCSTR lpszPath);
    void SaveFile(LPCSTR lpszPath);
    void OpenFile();
    void SaveFileAs();

    // The host's view of the bytes and of the user's place in them
    // (HexEditHost.cpp). The inherited CEdit::GetModify, SetModify and
    // SetReadOnly work as on an edit control: the control answers
    // EM_GETMODIFY, EM_SETMODIFY and EM_SETREADONLY itself.
    //
    // Modified flag: set by every byte the user changes (typed digits and
    // characters, Delete, Insert, Backspace, a filled selection) and by
    // Fill; cleared by SetData and by a LoadFile or SaveFile that succeeds.
    // A failed load or save leaves it as it was. Undo and redo clear it when
    // they bring back the bytes last set, loaded or saved, and set it
    // otherwise.
    //
    // Read-only (ES_READONLY in the style, set and cleared by
    // EM_SETREADONLY): no key and no character changes a byte (they beep);
    // the caret, the selection and scrolling work, and so do the host's
    // SetData, Fill, LoadFile and SaveFile.
    //
    // Notifications (EM_SETEVENTMASK; none until the host asks): with
    // ENM_CHANGE, WM_COMMAND with EN_CHANGE after the user changed bytes,
    // after Fill and after a successful LoadFile (not after SetData); with
    // ENM_SELCHANGE, WM_NOTIFY with EN_SELCHANGE and an NMHEXSELCHANGE when
    // the caret's byte or the selected bytes changed, once per message; with
    // ENM_SCROLL, WM_COMMAND with EN_VSCROLL or EN_HSCROLL when a scroll bar
    // (its arrows, page areas or thumb, or a WM_VSCROLL or WM_HSCROLL sent)
    // or the wheel moved the view, once per message, as a rich edit control
    // tells them: not when the view follows the caret (keys, clicks, the
    // auto-scroll of a drag, SetCaretOffset). With ENM_KEYEVENTS (keyboard
    // messages, WM_KEYFIRST to WM_KEYLAST) and ENM_MOUSEEVENTS (mouse
    // messages, WM_MOUSEFIRST to WM_MOUSELAST, the wheel's among them), each
    // such message is first offered to the parent in WM_NOTIFY with
    // EN_MSGFILTER and a MSGFILTER: a non-zero answer drops it; the message,
    // wParam and lParam the parent leaves in the structure are what the
    // control then handles. The mask keeps only these five bits;
    // EM_SETEVENTMASK returns the old mask.

    // Undo and redo (HexEditUndo.cpp), as an edit control and a rich edit
    // control offer them: WM_UNDO and EM_UNDO, EM_CANUNDO, EM_EMPTYUNDOBUFFER,
    // EM_REDO and EM_CANREDO (so the inherited CEdit::Undo, CanUndo and
    // EmptyUndoBuffer work), and the keys Ctrl+Z and Alt+Backspace (undo) and
    // Ctrl+Y (redo). Each change the user makes is one step: a run of typed
    // digits or characters at consecutive bytes with nothing between them,
    // each Delete, Insert or Backspace, each filled selection, and each Fill.
    // Undo puts the bytes back and the caret on the first byte of the
    // change, in view; redo makes the change again; EN_CHANGE follows both.
    // A new change after an undo drops what could have been redone. SetData
    // and a successful LoadFile empty the history; SaveFile keeps it. In
    // read-only mode undo and redo beep and change nothing.
    //
    // Bounded memory: the history keeps the bytes of its steps up to the
    // undo limit, 64 MiB unless set, dropping the oldest steps first; a
    // change bigger than the limit cannot be undone and empties the history
    // (EM_CANUNDO then answers FALSE). A change whose step cannot be recorded
    // for want of memory is not made: the memory exception reaches the
    // caller, the bytes and the history are as they were. A negative limit is
    // taken as 0 (nothing can be undone); lowering it drops steps at once.
    void SetUndoLimit(LONGLONG nBytes);
    LONGLONG GetUndoLimit() const;

    // The clipboard (HexEditClipboard.cpp), as an edit control has it:
    // WM_COPY, WM_CUT, WM_PASTE and WM_CLEAR (so the inherited CEdit::Copy,
    // Cut, Paste and Clear work), rich edit's EM_CANPASTE, and the keys
    // Ctrl+C and Ctrl+Insert (copy), Ctrl+X and Shift+Delete (cut), Ctrl+V
    // and Shift+Insert (paste). Copy puts the selected bytes (nothing when
    // nothing is selected) under the registered format "CHexEditCtrl bytes"
    // (a LONGLONG count, then the bytes) and, up to 16 MiB of them, as
    // CF_TEXT and CF_UNICODETEXT: in the hex column two uppercase digits a
    // byte separated by blanks, in the character column the characters as
    // shown. Paste overwrites from the selection's first byte, or the
    // caret's, with the control's own format, or else the text: hex digit
    // pairs in the hex column (blanks, tabs, line breaks, commas and "0x"
    // before a pair allowed; anything else beeps and changes nothing), the
    // text's bytes in the character column; what would go past the last
    // byte is left out, with a beep; the caret then stands after the last
    // byte pasted. Cut is copy, then Delete over the selection; clear is
    // Delete over the selection. Each change is one undo step. Read-only:
    // copy works, cut, paste and clear beep. Ctrl+A and EM_SETSEL(0, -1)
    // select every byte, as SetSelection(0, GetDataSize() - 1) does.

    // A copy of the bytes as they are now (memory errors reach the caller,
    // *pData then as CByteArray::Copy leaves it), and their number.
    void GetData(CByteArray* pData) const;
    LONGLONG GetDataSize() const;

    // The byte at the caret. After a click past the last byte the caret may
    // lie beyond the data: the offset is then GetDataSize() or more.
    LONGLONG GetCaretOffset() const;
    // The column the caret is in: TRUE for the characters, FALSE for the
    // hexadecimal cells (what a host reads a typed search text as).
    BOOL IsCaretInCharColumn() const;
    // Puts the caret on the high digit of byte nOffset in the hex column,
    // drops the selection and scrolls the caret's row into view, as a key
    // does. An offset below 0 is taken as 0, one past the last byte as the
    // last byte, and so is any offset beyond; an empty control refuses
    // (FALSE, nothing changes).
    BOOL SetCaretOffset(LONGLONG nOffset);
    // The selected bytes, first to last: those Delete would set. FALSE (and
    // both -1) when nothing is selected or the selection covers no byte of
    // the data.
    BOOL GetSelection(LONGLONG& nFirst, LONGLONG& nLast) const;
    // Selects bytes nFirst to nLast as Shift+Right from nFirst's high digit
    // would, with the caret on the blank after nLast, scrolled into view.
    // nFirst below 0 is taken as 0 and nLast past the data as the last byte;
    // refused (FALSE, nothing changes) when the control is empty, nFirst >
    // nLast, or no byte of the range lies in the data.
    BOOL SetSelection(LONGLONG nFirst, LONGLONG nLast);

    // The offset of the first byte of the first occurrence of the nCount
    // bytes at pBytes that starts at or after nStart (with FR_DOWN), or of
    // the last one that starts before nStart (without it); -1 when there is
    // none, when nCount is 0 or less, or when the user cancelled. Without
    // FR_MATCHCASE, ASCII letters match either case; every other byte
    // matches only itself. nStart is clamped to 0 .. GetDataSize(). The
    // bytes are searched in place and nothing of the control changes: the
    // caller selects what was found. A search still running after half a
    // second shows the progress window of long loads, with its Cancel; a
    // host that goes meanwhile ends it. While a load or a save runs, -1 at
    // once. GetLastError() then says ERROR_CANCELLED after a search the
    // user cancelled (or a host that went ended), ERROR_SUCCESS otherwise.
    LONGLONG FindBytes(const BYTE* pBytes, int nCount, LONGLONG nStart, DWORD dwFlags = FR_DOWN | FR_MATCHCASE);
    // The byte at nOffset; FALSE when nOffset lies outside the data.
    BOOL GetByteAt(LONGLONG nOffset, BYTE& value) const;

    // Assistive technology (HexEditAccessibility.cpp). A screen reader gets
    // an IAccessible for the client area (WM_GETOBJECT, OBJID_CLIENT): role
    // text, the name below, as value the caret's place ("offset 0x1A2, 48,
    // H, high digit", after the selected bytes when there are some), as
    // description the number of bytes, the states focusable, focused and
    // read-only, and WinEvents when they change. The edit messages that read
    // text (WM_GETTEXT, EM_GETLINE, EM_GETSEL, ...) answer from the data rows
    // on screen, a line each as drawn, so GetWindowText gives those rows;
    // the edit class's own text stays empty. A UI Automation client
    // (WM_GETOBJECT, UiaRootObjectId) gets an edit element with the same
    // name, value and description, and the Text pattern over those rows.
    // The name is the one set here;
    // when none is (empty), the text of the static control just before the
    // control, else "hex editor".
    void SetAccessibleName(LPCSTR lpszName);
    CString GetAccessibleName() const;

protected:
    friend class CHexEditAccessible;
    friend class CHexEditAutomation;
    friend class CHexEditTextRange;
    friend struct HexEditTextShape;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // What the edit class receives: everything but what would change its
    // own text (typed characters, paste, cut, clear, undo and their keys,
    // WM_SETTEXT, EM_REPLACESEL), which would report changes that no byte
    // made.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The bytes shown and edited, the control's own copy.
    CByteArray m_data;
    // Format properties, fixed by the constructor. m_nFontHeight is the cell
    // font's height at 96 DPI: the font drawn is MulDiv(m_nFontHeight, dpi,
    // 96) pixels high at the DPI of the control's window (m_nDpi), and every
    // pixel figure derived from the cell (layout, scroll ranges, caret, hit
    // testing, painting) follows it. Nothing else changes with the DPI.
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
    int m_nDpi;             // DPI of the window at the last layout (96 before one)
    int m_nVisCols;         // columns that fit the width, with half a column to spare
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
    // A load, a save or a search is running: its progress window lets
    // messages through, and the operations refuse to start another one
    // meanwhile.
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
    // The host contract: the modified flag, the event mask, a change of the
    // bytes not yet announced, the caret byte and selection last announced
    // (or seen, with ENM_SELCHANGE off), and how deep the control is in its
    // own messages (notifications go out when the outermost one returns).
    BOOL m_bModified;
    DWORD m_dwEventMask;
    bool m_bChangePending;
    LONGLONG m_nNotifiedCaret;
    LONGLONG m_nNotifiedSelFirst;
    LONGLONG m_nNotifiedSelLast;
    int m_nMessageDepth;
    // Scrolls by a bar or the wheel not yet announced, and a message the
    // host changed in its EN_MSGFILTER answer on its way back to the control
    // (offered once, not again).
    bool m_bVScrollPending;
    bool m_bHScrollPending;
    bool m_bResendingFiltered;
    // The undo history of the user's changes.
    CHexEditUndoHistory m_undo;
    // What a screen reader was last told (see AnnounceToReaders).
    struct ReaderState {
        LONGLONG nCaretPos;
        int nArea;
        int nByte;
        LONGLONG nSelStart;
        LONGLONG nSelEnd;
        int nFirstRow;
        int nFirstCol;
    };
    ReaderState m_readerState;
    CHexEditAccessible* m_pAccessible;   // made on a client's first request
    CHexEditAutomation* m_pAutomation;   // the same, for UI Automation clients
    CString m_strAccessibleName;
    bool m_bHighContrast;                // paint in the system's colours

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
    // A loaded content starts at its beginning: no selection, the caret on
    // the first digit of byte 0, scrolled to the top left, no auto-scroll.
    void ShowFromTheStart();

    // Number of data rows: 16 bytes a row, the last one possibly short.
    int GetRowCount() const;

    // Layout, scrolling and caret placement.
    // The cell font (fixed pitch, m_nFontHeight pixels at 96 DPI, scaled to
    // m_nDpi): the one font the layout measures and the painter draws with.
    BOOL CreateCellFont(CFont* pFont) const;
    // The DPI of the control's window now (the screen's where the system
    // has no DPI per window), and a length of pixels at 96 DPI at m_nDpi.
    int GetWindowDpi() const;
    int ScaleToDpi(int nPixelsAt96) const;
    // After the window's DPI changed: the new font and layout, a caret of
    // the new cell size, the caret's byte in view, a repaint.
    void FollowDpiChange();
    void RecalcLayout();
    // The room, in pixels, that a window of the control's size has for
    // columns and lines without its scroll bars.
    SIZE GetRoomWithoutBars() const;
    BOOL UpdateScrollBars();
    void EnsureCaretVisible();
    void MoveCaret(int nCols, int nRows, BOOL bRedraw);
    void UpdateCaret();
    // Puts the system caret on the caret's cell while the control has the
    // focus (also after the edit class's own processing moved it); lays
    // nothing out and changes no state.
    void RestoreCaretPos();
    // Top-left pixel of the caret's cell (it may lie off the client area).
    POINT GetCaretCellPoint() const;
    LONGLONG GetCaretByteIndex() const;
    BYTE GetCaretByte();

    // Host contract hooks: a byte of the data changed (sets the modified flag,
    // EN_CHANGE to come); an editing key or character refused in read-only
    // mode (beeps, TRUE); the notifications due, sent unless a message of
    // the control is still being handled.
    BOOL IsReadOnly() const;
    void BytesChanged();
    BOOL RefuseEdit();
    void NotifyHost();
    // A keyboard or mouse message offered to the parent with EN_MSGFILTER,
    // then handled as the parent left it (0 when dropped, or when the parent
    // destroyed the control).
    LRESULT HandleFilteredInput(UINT message, WPARAM wParam, LPARAM lParam);
    // Places the caret as a key does, its row in view, and repaints.
    void PlaceCaretInView();
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Undo history: the step of a change about to be made (throws on memory
    // failure, before anything changed), and the bytes after an undo or redo
    // shown with the caret on the change's first byte.
    void RecordStep(LONGLONG nOffset, LONGLONG nCount);
    void RecordFillStep(LONGLONG nOffset, LONGLONG nCount, BYTE value);
    void WriteRecordedBytes(LONGLONG nOffset, std::vector<BYTE>&& bytes);
    void RecordTypedByte(LONGLONG nOffset);
    void ShowHistoryStep(LONGLONG nOffset);
    // The keys of undo and redo (TRUE when the key was one of them).
    BOOL HandleHistoryKey(UINT nChar, bool bShift, bool bCtrl);

    // FindBytes' search, piece by piece under the progress window;
    // bCancelled set when the user or the host's end stopped it.
    LONGLONG SearchInPieces(const BYTE* pBytes, int nCount, LONGLONG nStart, DWORD dwFlags, bool& bCancelled);

    // Clipboard: the selection copied (FALSE when nothing was selected or
    // the clipboard could not take it), the bytes a paste would write (FALSE
    // when the clipboard holds nothing pasteable), the paste, and the keys of
    // copy, cut, paste and select all.
    BOOL CopySelection();
    BOOL ReadClipboardBytes(std::vector<BYTE>& bytes);
    void PasteClipboard();
    BOOL HandleClipboardKey(UINT nChar, bool bShift, bool bCtrl);

    // Selection edits, shared by the keyboard and the mouse.
    void FillSelection(BYTE value);
    void ClearSelection();
    // Shift+key: the selection after the caret moved from p0 to p1.
    void ExtendSelection(LONGLONG p0, LONGLONG p1);

    // Keyboard: Tab's move of the focus (TRUE when the key is used up), a
    // key's move or edit (what is left to do with it: the selection after a
    // move, or the edit class's own processing), and the byte keys' edit.
    enum KeyOutcome { keyMoved, keyDone, keyPassed };
    BOOL TabToNextControl(bool bShift, bool bCtrl);
    KeyOutcome HandleKey(UINT nChar, bool bShift, bool bCtrl);
    void EditByteKey(BYTE value, int nStep);

    // Mouse: the column and caret position under a client point, and the
    // selection from the anchor to it while the button is held.
    void HitTest(int x, int y);
    void UpdateSelection(int x, int y);
    // Ends tracking: flags, timer and capture go, and a caret that ends a hex
    // selection moves just after it; the caller shows the caret again.
    void EndTracking();

    // Assistive technology: the texts a reader speaks, the events after a
    // message that changed what they say, the object cut off when the window
    // goes, and the text model of the rows on screen (a line a row, each as
    // long as the others, "\r\n" between them).
    CString DescribeCaretForReaders() const;
    CString DescribeBlockForReaders() const;
    ReaderState CurrentReaderState() const;
    void AnnounceToReaders(bool bBytesChanged);
    void DisconnectAccessible();
    int GetReaderFirstRow() const;
    int GetReaderRowCount() const;
    int GetReaderLineLength() const;
    CString GetReaderLine(int nLine) const;
    CString GetReaderText() const;
    LONGLONG ReaderIndexOfCell(int nArea, LONGLONG nPos) const;
    // The caret, or the selection's ends, in the text model (EM_GETSEL's
    // answer), and the caret put on the cell at a place in it (FALSE, and
    // nothing changed, where no byte's cell is).
    void GetReaderSelection(LONGLONG& nStart, LONGLONG& nEnd) const;
    BOOL PlaceCaretAtReaderIndex(LONGLONG nIndex);
    static bool IsHighContrastOn();
    // A colour of the control's own, or in high contrast the system's.
    COLORREF PaintColour(COLORREF clrOwn, int nSysColour) const;

    // Painting: the header line, then the data rows, each formatted once and
    // drawn by runs of like cells (or cell by cell when the glyphs' extents
    // cannot be read or are not one cell each).
    void PaintHeader(CDC* pDC);
    void PaintRows(CDC* pDC);

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
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg LRESULT OnGetModify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetModify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetReadOnly(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetEventMask(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetEventMask(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnUndo(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnRedo(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCanUndo(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCanRedo(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnEmptyUndoBuffer(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCopy(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCut(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPaste(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnClear(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCanPaste(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSetSel(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetObject(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetSel(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetLineCount(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLineIndex(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLineLength(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnLineFromChar(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetLine(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnPosFromChar(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnCharFromPos(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnColoursChanged(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDpiChangedAfterParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    // WM_SYSKEYDOWN: Alt+Backspace undoes; every other key goes on as before.
    afx_msg LRESULT OnSysKeyDownMessage(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};
