// HexEditClipboard.cpp - CHexEditCtrl's copy, cut, paste and clear, their
// messages and keys, EM_CANPASTE, and select all (Ctrl+A, EM_SETSEL). The
// clipboard holds the bytes under the control's own format and, up to
// 16 MiB of them, as text (HexEditClipboardText.cpp makes the hex text).
#include "HexEditCtrl.h"
#include "HexEditClipboard.h"
#include <algorithm>
#include <cstring>
#include <new>

namespace {

// Text forms are offered up to this many bytes; beyond, the bytes alone.
const LONGLONG kMaxTextBytes = 16LL * 1024 * 1024;

// The control's own format: a LONGLONG count, then the bytes (a global
// block may be larger than asked for).
UINT BytesFormat()
{
    static const UINT nFormat = ::RegisterClipboardFormatA("CHexEditCtrl bytes");
    return nFormat;
}

// A movable global block holding nSize bytes copied from pData (or NULL).
HGLOBAL GlobalOf(const void* pFirst, size_t nFirst, const void* pSecond, size_t nSecond)
{
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, nFirst + nSecond);
    if (h == NULL)
        return NULL;
    BYTE* p = static_cast<BYTE*>(::GlobalLock(h));
    if (p == NULL) {
        ::GlobalFree(h);
        return NULL;
    }
    std::memcpy(p, pFirst, nFirst);
    if (nSecond > 0)
        std::memcpy(p + nFirst, pSecond, nSecond);
    ::GlobalUnlock(h);
    return h;
}

// Puts the block under the format; the clipboard owns it then.
bool Put(UINT nFormat, HGLOBAL h)
{
    if (h == NULL)
        return false;
    if (::SetClipboardData(nFormat, h) == NULL) {
        ::GlobalFree(h);
        return false;
    }
    return true;
}

// The clipboard opened for the control, closed however the scope is left.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND hWnd) : m_bOpen(::OpenClipboard(hWnd) != FALSE) {}
    ~OpenedClipboard()
    {
        if (m_bOpen)
            ::CloseClipboard();
    }
    bool IsOpen() const { return m_bOpen; }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;

private:
    bool m_bOpen;
};

// A global block locked for reading, unlocked however the scope is left.
class LockedGlobal {
public:
    explicit LockedGlobal(HANDLE h)
        : m_h(h), m_p(h != NULL ? static_cast<const BYTE*>(::GlobalLock(h)) : NULL),
          m_nSize(m_p != NULL ? ::GlobalSize(h) : 0)
    {
    }
    ~LockedGlobal()
    {
        if (m_p != NULL)
            ::GlobalUnlock(m_h);
    }
    const BYTE* Data() const { return m_p; }
    size_t Size() const { return m_nSize; }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;

private:
    HANDLE m_h;
    const BYTE* m_p;
    size_t m_nSize;
};

} // namespace

BOOL CHexEditCtrl::CopySelection()
{
    LONGLONG nFirst, nLast;
    if (!GetSelection(nFirst, nLast))
        return FALSE;   // nothing selected: the clipboard keeps what it has
    const BYTE* pBytes = m_data.GetData() + nFirst;
    const LONGLONG nCount = nLast - nFirst + 1;
    std::string text;
    if (nCount <= kMaxTextBytes) {
        if (m_nArea == 0) {
            text = CHexEditClipboardText::HexOfBytes(pBytes, static_cast<size_t>(nCount));
        } else {
            text.resize(static_cast<size_t>(nCount));
            for (LONGLONG i = 0; i < nCount; i++)
                text[static_cast<size_t>(i)] = CharOfByte(pBytes[i]);
        }
    }
    OpenedClipboard clipboard(m_hWnd);
    if (!clipboard.IsOpen() || !::EmptyClipboard()) {
        ::MessageBeep(MB_OK);
        return FALSE;
    }
    bool bPut = Put(BytesFormat(), GlobalOf(&nCount, sizeof nCount, pBytes, static_cast<size_t>(nCount)));
    if (bPut && nCount <= kMaxTextBytes) {
        // The characters shown are ASCII: the same in every code page.
        bPut = Put(CF_TEXT, GlobalOf(text.c_str(), text.size() + 1, NULL, 0));
        std::wstring wide(text.begin(), text.end());
        bPut = bPut && Put(CF_UNICODETEXT, GlobalOf(wide.c_str(), 2 * (wide.size() + 1), NULL, 0));
    }
    if (!bPut) {
        // Out of memory: no form rather than a part of them.
        ::EmptyClipboard();
        ::MessageBeep(MB_OK);
        return FALSE;
    }
    return TRUE;
}

BOOL CHexEditCtrl::ReadClipboardBytes(std::vector<BYTE>& bytes)
{
    OpenedClipboard clipboard(m_hWnd);
    if (!clipboard.IsOpen())
        return FALSE;
    if (::IsClipboardFormatAvailable(BytesFormat())) {
        LockedGlobal block(::GetClipboardData(BytesFormat()));
        LONGLONG nCount = -1;
        if (block.Data() != NULL && block.Size() >= sizeof nCount)
            std::memcpy(&nCount, block.Data(), sizeof nCount);
        if (nCount < 0 || static_cast<ULONGLONG>(nCount) > block.Size() - sizeof nCount)
            return FALSE;
        bytes.assign(block.Data() + sizeof nCount, block.Data() + sizeof nCount + nCount);
        return TRUE;
    }
    if (!::IsClipboardFormatAvailable(CF_TEXT))
        return FALSE;
    LockedGlobal block(::GetClipboardData(CF_TEXT));
    if (block.Data() == NULL)
        return FALSE;
    const char* pszText = reinterpret_cast<const char*>(block.Data());
    // The hex text is read up to its NUL as it is parsed: one pass over it.
    if (m_nArea == 0)
        return CHexEditClipboardText::BytesOfHex(pszText, block.Size(), bytes) ? TRUE : FALSE;
    const void* pEnd = std::memchr(pszText, '\0', block.Size());
    const size_t nLength = pEnd != NULL ? static_cast<const char*>(pEnd) - pszText : block.Size();
    bytes.assign(pszText, pszText + nLength);
    return TRUE;
}

void CHexEditCtrl::PasteClipboard()
{
    if (RefuseEdit())
        return;
    const LONGLONG nSize = m_data.GetSize();
    LONGLONG nFirst, nLast;
    const LONGLONG nStart = GetSelection(nFirst, nLast) ? nFirst : GetCaretByteIndex();
    std::vector<BYTE> bytes;
    try {
        if (nStart >= nSize || !ReadClipboardBytes(bytes) || bytes.empty()) {
            ::MessageBeep(MB_OK);
            return;
        }
    } catch (const std::bad_alloc&) {
        AfxThrowMemoryException();
    }
    // The block never grows: what goes past the last byte is left out.
    const LONGLONG nCount = std::min<LONGLONG>(static_cast<LONGLONG>(bytes.size()), nSize - nStart);
    const bool bCut = nCount < static_cast<LONGLONG>(bytes.size());
    bytes.resize(static_cast<size_t>(nCount));
    WriteRecordedBytes(nStart, std::move(bytes));
    BytesChanged();
    if (bCut)
        ::MessageBeep(MB_OK);
    // The caret on the byte after the last one pasted (the blank after the
    // last byte at the end), no selection.
    m_undo.EndTypingRun();
    m_nSelStart = m_nSelEnd = -1;
    m_nDigit = 0;
    m_nCaretPos = m_nArea == 0 ? 3 * (nStart + nCount) : nStart + nCount;
    MoveCaret(0, 0, TRUE);
    m_byteCur = GetCaretByte();
}

LRESULT CHexEditCtrl::OnCopy(WPARAM, LPARAM)
{
    CopySelection();
    return 0;
}

LRESULT CHexEditCtrl::OnCut(WPARAM, LPARAM)
{
    LONGLONG nFirst, nLast;
    if (RefuseEdit() || !GetSelection(nFirst, nLast))
        return 0;
    // The bytes go to 0x00 as Delete sets them, once they are on the clipboard.
    if (CopySelection())
        EditByteKey(0x00, 1);
    return 0;
}

LRESULT CHexEditCtrl::OnPaste(WPARAM, LPARAM)
{
    PasteClipboard();
    return 0;
}

LRESULT CHexEditCtrl::OnClear(WPARAM, LPARAM)
{
    LONGLONG nFirst, nLast;
    if (RefuseEdit() || !GetSelection(nFirst, nLast))
        return 0;
    EditByteKey(0x00, 1);
    return 0;
}

LRESULT CHexEditCtrl::OnCanPaste(WPARAM, LPARAM)
{
    return ::IsClipboardFormatAvailable(BytesFormat()) || ::IsClipboardFormatAvailable(CF_TEXT) ? TRUE : FALSE;
}

LRESULT CHexEditCtrl::OnSetSel(WPARAM wParam, LPARAM lParam)
{
    // As an edit control takes it: a start of -1 drops the selection, an end
    // of -1 (or past the data) is the end of the data; the end is exclusive.
    LONGLONG nStart = static_cast<int>(wParam);
    LONGLONG nEnd = static_cast<int>(lParam);
    const LONGLONG nSize = m_data.GetSize();
    if (nStart < 0) {
        if (m_nSelStart != -1)
            ClearSelection();
        return 0;
    }
    if (nEnd < 0 || nEnd > nSize)
        nEnd = nSize;
    if (nEnd < nStart)
        std::swap(nStart, nEnd);
    if (nEnd == nStart) {
        if (m_nSelStart != -1)
            ClearSelection();
        return 0;
    }
    SetSelection(nStart, nEnd - 1);
    return 0;
}

BOOL CHexEditCtrl::HandleClipboardKey(UINT nChar, bool bShift, bool bCtrl)
{
    const bool bCtrlOnly = bCtrl && !bShift, bShiftOnly = bShift && !bCtrl;
    if ((bCtrlOnly && nChar == 'C') || (bCtrlOnly && nChar == VK_INSERT))
        OnCopy(0, 0);
    else if ((bCtrlOnly && nChar == 'X') || (bShiftOnly && nChar == VK_DELETE))
        OnCut(0, 0);
    else if ((bCtrlOnly && nChar == 'V') || (bShiftOnly && nChar == VK_INSERT))
        PasteClipboard();
    else if (bCtrlOnly && nChar == 'A')
        SetSelection(0, m_data.GetSize() - 1);
    else
        return FALSE;
    return TRUE;
}
