// HexEditAccessibility.cpp - what CHexEditCtrl gives assistive technology:
// its IAccessible (HexEditAccessible.cpp) and its UI Automation provider
// (HexEditAutomation.cpp) on WM_GETOBJECT, the texts a
// screen reader speaks, the WinEvents that tell a reader what changed, the
// edit messages a reader reads an edit window by (answered from the rows on
// screen, never from the edit class's own text, which stays empty), and the
// system's colours in high contrast.
#include "HexEditCtrl.h"
#include "HexEditAccessible.h"
#include "HexEditAutomation.h"
#include <algorithm>
#include <cstring>
#include <new>

#ifdef _MSC_VER
#pragma comment(lib, "oleacc.lib")
#endif

namespace {

// A line of the text model ends as an edit control's lines do.
const int kLineBreak = 2;

CString OffsetText(LONGLONG nOffset)
{
    CString text;
    text.Format("0x%I64X", nOffset);
    return text;
}

// A window's text with its mnemonic marks taken out ("&Data:" reads "Data:").
CString LabelText(HWND hWnd)
{
    char sz[256];
    ::GetWindowTextA(hWnd, sz, sizeof sz);
    CString text;
    for (const char* p = sz; *p != '\0'; p++) {
        if (*p == '&' && p[1] != '\0')
            p++;
        text += *p;
    }
    return text;
}

} // namespace

void CHexEditCtrl::SetAccessibleName(LPCSTR lpszName)
{
    const CString name(lpszName != NULL ? lpszName : "");
    if (name == m_strAccessibleName)
        return;
    m_strAccessibleName = name;
    if (m_hWnd != NULL)
        ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
}

CString CHexEditCtrl::GetAccessibleName() const
{
    if (!m_strAccessibleName.IsEmpty())
        return m_strAccessibleName;
    // As the system names an edit box: by the static text just before it,
    // when that text is a label (not a window that takes the focus itself).
    if (m_hWnd != NULL) {
        HWND hPrev = ::GetWindow(m_hWnd, GW_HWNDPREV);
        char szClass[16];
        if (hPrev != NULL && ::GetClassNameA(hPrev, szClass, sizeof szClass) > 0 &&
            lstrcmpiA(szClass, "Static") == 0) {
            CString label = LabelText(hPrev);
            if (!label.IsEmpty())
                return label;
        }
    }
    return CString("hex editor");
}

CString CHexEditCtrl::DescribeCaretForReaders() const
{
    const LONGLONG nSize = m_data.GetSize();
    if (nSize == 0)
        return CString("no bytes");
    CString text;
    LONGLONG nFirst, nLast;
    if (GetSelection(nFirst, nLast)) {
        text.Format("%I64d %s selected, %s to %s; ", nLast - nFirst + 1, nLast == nFirst ? "byte" : "bytes",
                    static_cast<LPCSTR>(OffsetText(nFirst)), static_cast<LPCSTR>(OffsetText(nLast)));
    }
    const LONGLONG nIndex = GetCaretByteIndex();
    if (nIndex >= nSize)
        return text + "offset " + OffsetText(nIndex) + ", after the last byte";
    const BYTE value = m_data.GetData()[nIndex];
    CString caret;
    if (value >= 0x20 && value <= 0x7E)
        caret.Format("offset %s, %02X, %c", static_cast<LPCSTR>(OffsetText(nIndex)), value, value);
    else
        caret.Format("offset %s, %02X, no character", static_cast<LPCSTR>(OffsetText(nIndex)), value);
    if (m_nArea == 0) {
        static const char* const kWhere[] = {", high digit", ", low digit", ", after the byte"};
        caret += kWhere[m_nCaretPos % 3];
    }
    return text + caret;
}

CString CHexEditCtrl::DescribeBlockForReaders() const
{
    CString text;
    const LONGLONG nSize = m_data.GetSize();
    text.Format("%I64d %s", nSize, nSize == 1 ? "byte" : "bytes");
    if (m_hWnd != NULL && (GetStyle() & ES_READONLY) != 0)
        text += ", read-only";
    return text;
}

CHexEditCtrl::ReaderState CHexEditCtrl::CurrentReaderState() const
{
    ReaderState state;
    state.nCaretPos = m_nCaretPos;
    state.nArea = m_nArea;
    const LONGLONG nIndex = GetCaretByteIndex();
    state.nByte = nIndex >= 0 && nIndex < m_data.GetSize() ? m_data.GetData()[nIndex] : -1;
    state.nSelStart = m_nSelStart;
    state.nSelEnd = m_nSelEnd;
    state.nFirstRow = m_nFirstRow;
    state.nFirstCol = m_nFirstCol;
    return state;
}

void CHexEditCtrl::AnnounceToReaders(bool bBytesChanged)
{
    // Once per message, as the host's notifications; a reader that listens
    // asks for the new value itself.
    const ReaderState state = CurrentReaderState();
    const ReaderState previous = m_readerState;
    const bool bSelection = state.nSelStart != m_readerState.nSelStart || state.nSelEnd != m_readerState.nSelEnd;
    const bool bValue = bSelection || bBytesChanged || state.nCaretPos != m_readerState.nCaretPos ||
                        state.nArea != m_readerState.nArea || state.nByte != m_readerState.nByte ||
                        state.nFirstRow != m_readerState.nFirstRow || state.nFirstCol != m_readerState.nFirstCol;
    m_readerState = state;
    if (bValue)
        ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    if (bSelection)
        ::NotifyWinEvent(EVENT_OBJECT_TEXTSELECTIONCHANGED, m_hWnd, OBJID_CLIENT, CHILDID_SELF);
    // UI Automation clients hear the Text pattern's events, once one has
    // asked for the provider: the caret is a selection there, and a scroll
    // changes the text (the rows on screen) and where the caret lies in it.
    if (m_pAutomation != NULL && bValue) {
        const bool bScrolled = state.nFirstRow != previous.nFirstRow || state.nFirstCol != previous.nFirstCol;
        const bool bCaret = bSelection || bScrolled || state.nCaretPos != previous.nCaretPos ||
                            state.nArea != previous.nArea;
        m_pAutomation->Announce(bBytesChanged || bScrolled, bCaret);
    }
}

void CHexEditCtrl::DisconnectAccessible()
{
    if (m_pAccessible != NULL) {
        m_pAccessible->Disconnect();
        m_pAccessible->Release();
        m_pAccessible = NULL;
    }
    if (m_pAutomation != NULL) {
        m_pAutomation->Disconnect();
        m_pAutomation->Release();
        m_pAutomation = NULL;
    }
}

LRESULT CHexEditCtrl::OnGetObject(WPARAM wParam, LPARAM lParam)
{
    if (static_cast<LONG>(lParam) == UiaRootObjectId) {
        // Without UI Automation in the system, clients get the IAccessible.
        const HexEditUiaCore& core = HexEditUiaCore::Get();
        if (core.pfnReturnRawElementProvider == NULL)
            return Default();
        if (m_pAutomation == NULL)
            m_pAutomation = new (std::nothrow) CHexEditAutomation(this);
        if (m_pAutomation == NULL)
            return Default();
        return core.pfnReturnRawElementProvider(m_hWnd, wParam, lParam, m_pAutomation);
    }
    if (static_cast<LONG>(lParam) != OBJID_CLIENT)
        return Default();
    // Made on the first request; a host that never meets a client pays
    // nothing.
    if (m_pAccessible == NULL)
        m_pAccessible = new (std::nothrow) CHexEditAccessible(this);
    if (m_pAccessible == NULL)
        return 0;
    return ::LresultFromObject(IID_IAccessible, wParam, m_pAccessible);
}

// ---------------------------------------------------------------------------
// The text model: the data rows on screen, a line each, laid out cell for
// cell as they are drawn (the address, the hex cells, the characters).

int CHexEditCtrl::GetReaderFirstRow() const
{
    return std::max(0, m_nFirstRow - 2);
}

int CHexEditCtrl::GetReaderRowCount() const
{
    // The rows from the first line on screen to the last whole one.
    const int nLastLine = m_nFirstRow + std::max(m_nVisRows, 1) - 1;
    const int nLastRow = std::min(GetRowCount() - 1, nLastLine - 2);
    return std::max(0, nLastRow - GetReaderFirstRow() + 1);
}

int CHexEditCtrl::GetReaderLineLength() const
{
    return m_nAsciiCol + std::min<int>(m_nBytesPerRow, kMaxRowCells);
}

CString CHexEditCtrl::GetReaderLine(int nLine) const
{
    const int nRow = GetReaderFirstRow() + nLine;
    const int nLength = GetReaderLineLength();
    char szLine[8 + 4 * kMaxRowCells + 64];
    if (nLength <= 0 || nLength >= static_cast<int>(sizeof szLine) || m_nAsciiCol < m_nHexCol)
        return CString();
    char* p = szLine;
    std::memset(p, ' ', static_cast<size_t>(nLength));
    char szAddress[20];
    wsprintfA(szAddress, "%08X", static_cast<unsigned>(nRow * m_nBytesPerRow));
    const int nAddrDigits = std::min<int>(m_nAddrDigits, std::min(8, m_nHexCol - m_nAddrCol));
    std::memcpy(p + m_nAddrCol, szAddress + 8 - nAddrDigits, static_cast<size_t>(nAddrDigits));
    RowText row;
    FormatRow(nRow, &row);
    const size_t nHex = std::strlen(row.szHex);
    std::memcpy(p + m_nHexCol, row.szHex, std::min(nHex, static_cast<size_t>(m_nAsciiCol - m_nHexCol)));
    std::memcpy(p + m_nAsciiCol, row.szChars, static_cast<size_t>(row.nCells));
    return CString(szLine, nLength);
}

CString CHexEditCtrl::GetReaderText() const
{
    CString text;
    const int nLines = GetReaderRowCount();
    for (int i = 0; i < nLines; i++) {
        if (i > 0)
            text += "\r\n";
        text += GetReaderLine(i);
    }
    return text;
}

LONGLONG CHexEditCtrl::ReaderIndexOfCell(int nArea, LONGLONG nPos) const
{
    // A cell above the rows on screen reads as the text's start, one below
    // as its end.
    const int nLines = GetReaderRowCount();
    if (nLines == 0)
        return 0;
    const LONGLONG nWidth = nArea == 0 ? 3LL * m_nBytesPerRow : m_nBytesPerRow;
    const LONGLONG nRow = nPos / nWidth - GetReaderFirstRow();
    const LONGLONG nStride = GetReaderLineLength() + kLineBreak;
    if (nRow < 0)
        return 0;
    if (nRow >= nLines)
        return nLines * nStride - kLineBreak;
    const LONGLONG nCol = (nArea == 0 ? m_nHexCol : m_nAsciiCol) + nPos % nWidth;
    return nRow * nStride + nCol;
}

LRESULT CHexEditCtrl::OnGetText(WPARAM wParam, LPARAM lParam)
{
    char* pszBuffer = reinterpret_cast<char*>(lParam);
    if (pszBuffer == NULL || wParam == 0)
        return 0;
    const CString text = GetReaderText();
    const size_t nCopy = std::min(static_cast<size_t>(text.GetLength()), static_cast<size_t>(wParam) - 1);
    std::memcpy(pszBuffer, static_cast<LPCSTR>(text), nCopy);
    pszBuffer[nCopy] = '\0';
    return static_cast<LRESULT>(nCopy);
}

LRESULT CHexEditCtrl::OnGetTextLength(WPARAM, LPARAM)
{
    const int nLines = GetReaderRowCount();
    return nLines == 0 ? 0 : nLines * (GetReaderLineLength() + kLineBreak) - kLineBreak;
}

void CHexEditCtrl::GetReaderSelection(LONGLONG& nStart, LONGLONG& nEnd) const
{
    // The selection's ends as they lie in the text, or the caret at both.
    if (m_nSelStart != -1) {
        nStart = ReaderIndexOfCell(m_nArea, m_nArea == 0 ? m_nSelStart : m_nSelStart / 3);
        nEnd = ReaderIndexOfCell(m_nArea, m_nArea == 0 ? m_nSelEnd : m_nSelEnd / 3) + 1;
    } else {
        nStart = nEnd = ReaderIndexOfCell(m_nArea, m_nCaretPos);
    }
}

BOOL CHexEditCtrl::PlaceCaretAtReaderIndex(LONGLONG nIndex)
{
    const int nLines = GetReaderRowCount();
    const LONGLONG nStride = GetReaderLineLength() + kLineBreak;
    if (nLines == 0 || nIndex < 0 || nIndex / nStride >= nLines)
        return FALSE;
    const LONGLONG nRow = GetReaderFirstRow() + nIndex / nStride;
    const LONGLONG nCol = nIndex % nStride;
    const int nCells = std::min<int>(m_nBytesPerRow, kMaxRowCells);
    int nArea;
    LONGLONG nByte, nPos;
    if (nCol >= m_nHexCol && nCol < m_nHexCol + 3LL * nCells && nCol < m_nAsciiCol) {
        nArea = 0;
        nByte = nRow * m_nBytesPerRow + (nCol - m_nHexCol) / 3;
        nPos = 3 * nByte + (nCol - m_nHexCol) % 3;
    } else if (nCol >= m_nAsciiCol && nCol < m_nAsciiCol + nCells) {
        nArea = 1;
        nByte = nPos = nRow * m_nBytesPerRow + (nCol - m_nAsciiCol);
    } else {
        return FALSE;   // an address, the blank between the columns, a line's end
    }
    if (nByte >= m_data.GetSize())
        return FALSE;
    m_nArea = nArea;
    m_nCaretPos = nPos;
    m_nDigit = 0;
    m_nSelStart = -1;
    m_nSelEnd = -1;
    PlaceCaretInView();
    NotifyHost();
    return TRUE;
}

LRESULT CHexEditCtrl::OnGetSel(WPARAM wParam, LPARAM lParam)
{
    LONGLONG nStart, nEnd;
    GetReaderSelection(nStart, nEnd);
    if (wParam != 0)
        *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(nStart);
    if (lParam != 0)
        *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(nEnd);
    return MAKELRESULT(std::min<LONGLONG>(nStart, 0xFFFF), std::min<LONGLONG>(nEnd, 0xFFFF));
}

LRESULT CHexEditCtrl::OnGetLineCount(WPARAM, LPARAM)
{
    return std::max(1, GetReaderRowCount());
}

LRESULT CHexEditCtrl::OnLineIndex(WPARAM wParam, LPARAM)
{
    const int nLines = GetReaderRowCount();
    LONGLONG nLine = static_cast<int>(wParam);
    if (nLine == -1)
        nLine = ReaderIndexOfCell(m_nArea, m_nCaretPos) / (GetReaderLineLength() + kLineBreak);
    if (nLine < 0 || nLine > std::max(nLines - 1, 0))
        return -1;
    return static_cast<LRESULT>(nLine * (GetReaderLineLength() + kLineBreak));
}

LRESULT CHexEditCtrl::OnLineLength(WPARAM, LPARAM)
{
    // Every line is as long as the others.
    return GetReaderRowCount() == 0 ? 0 : GetReaderLineLength();
}

LRESULT CHexEditCtrl::OnLineFromChar(WPARAM wParam, LPARAM)
{
    const int nLines = GetReaderRowCount();
    LONGLONG nIndex = static_cast<int>(wParam);
    if (nIndex == -1)
        nIndex = ReaderIndexOfCell(m_nArea, m_nCaretPos);
    const LONGLONG nLine = nIndex / (GetReaderLineLength() + kLineBreak);
    return static_cast<LRESULT>(std::min<LONGLONG>(nLine, std::max(nLines - 1, 0)));
}

LRESULT CHexEditCtrl::OnGetLine(WPARAM wParam, LPARAM lParam)
{
    char* pBuffer = reinterpret_cast<char*>(lParam);
    const int nLine = static_cast<int>(wParam);
    if (pBuffer == NULL || nLine < 0 || nLine >= GetReaderRowCount())
        return 0;
    // The buffer's size in its first word, and no terminating NUL.
    WORD nRoom;
    std::memcpy(&nRoom, pBuffer, sizeof nRoom);
    const CString line = GetReaderLine(nLine);
    const int nCopy = std::min<int>(line.GetLength(), nRoom);
    std::memcpy(pBuffer, static_cast<LPCSTR>(line), static_cast<size_t>(nCopy));
    return nCopy;
}

LRESULT CHexEditCtrl::OnPosFromChar(WPARAM wParam, LPARAM)
{
    const LONGLONG nIndex = static_cast<int>(wParam);
    const LONGLONG nStride = GetReaderLineLength() + kLineBreak;
    if (nIndex < 0 || nIndex > OnGetTextLength(0, 0))
        return -1;
    const LONGLONG nLine = nIndex / nStride;
    const LONGLONG nCol = std::min<LONGLONG>(nIndex % nStride, GetReaderLineLength());
    const LONGLONG x = (nCol - m_nFirstCol) * m_sizeChar.cx;
    const LONGLONG y = (GetReaderFirstRow() + nLine + 2 - m_nFirstRow) * m_sizeChar.cy;
    return MAKELRESULT(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

LRESULT CHexEditCtrl::OnCharFromPos(WPARAM, LPARAM lParam)
{
    const int nLines = GetReaderRowCount();
    if (nLines == 0 || m_sizeChar.cx <= 0 || m_sizeChar.cy <= 0)
        return 0;
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    const int cx = m_sizeChar.cx, cy = m_sizeChar.cy;
    const int nLine = std::max(0, std::min(nLines - 1, y / cy + m_nFirstRow - 2 - GetReaderFirstRow()));
    const int nCol = std::max(0, std::min(GetReaderLineLength(), x / cx + m_nFirstCol));
    const LONGLONG nIndex = static_cast<LONGLONG>(nLine) * (GetReaderLineLength() + kLineBreak) + nCol;
    return MAKELRESULT(std::min<LONGLONG>(nIndex, 0xFFFF), nLine);
}

// ---------------------------------------------------------------------------
// High contrast

LRESULT CHexEditCtrl::OnColoursChanged(WPARAM, LPARAM)
{
    // WM_SYSCOLORCHANGE and WM_SETTINGCHANGE: the painter reads the setting
    // and the system's colours afresh.
    const UINT message = GetCurrentMessage()->message;
    const bool bHighContrast = IsHighContrastOn();
    if (bHighContrast != m_bHighContrast || (bHighContrast && message == WM_SYSCOLORCHANGE)) {
        m_bHighContrast = bHighContrast;
        Invalidate(FALSE);
    }
    return Default();
}
