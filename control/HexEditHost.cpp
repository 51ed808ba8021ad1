// HexEditHost.cpp - what CHexEditCtrl offers a host beyond handing it bytes:
// the bytes read back, the modified flag and read-only mode as an edit
// control has them, the caret and the selection in bytes, and the change and
// selection notifications a host asks for with EM_SETEVENTMASK, the
// scroll notifications and the filter of keyboard and mouse messages, as
// from a rich edit control.
//
// Notifications go out when the control's outermost message returns (or at
// the end of a host's call outside any message), so that a key, a drag step
// or a timer tick announces its result once, after the control's state is
// whole again. EN_MSGFILTER alone goes out before its message is handled,
// which the parent's answer may drop or change.
#include "HexEditCtrl.h"
#include <algorithm>
#include <climits>

namespace {

// Counts the control's messages in progress, also when a handler throws, as
// long as the window is still the control's: once WM_NCDESTROY has gone
// through, the object may be gone (deleted by its PostNcDestroy) and nothing
// may touch it.
class MessageDepth {
public:
    MessageDepth(CWnd* pCtrl, int& nDepth)
        : m_pCtrl(pCtrl), m_hWnd(pCtrl->m_hWnd), m_nDepth(nDepth), m_bCounted(IsStillAttached())
    {
        if (m_bCounted)
            ++m_nDepth;
    }
    ~MessageDepth()
    {
        if (m_bCounted && IsStillAttached())
            --m_nDepth;
    }
    // False once the window went from the control during the message.
    bool IsStillAttached() const { return CWnd::FromHandlePermanent(m_hWnd) == m_pCtrl; }
    MessageDepth(const MessageDepth&) = delete;
    MessageDepth& operator=(const MessageDepth&) = delete;

private:
    CWnd* m_pCtrl;
    HWND m_hWnd;
    int& m_nDepth;
    const bool m_bCounted;
};

// The events a host can ask for: what EM_SETEVENTMASK keeps.
const DWORD kHonouredEvents = ENM_CHANGE | ENM_SELCHANGE | ENM_SCROLL | ENM_KEYEVENTS | ENM_MOUSEEVENTS;

// The mask bit that has a message offered to the host before it is
// handled: the keyboard's and the mouse's messages, as a rich edit control
// offers them; 0 for any other.
DWORD FilterEventOf(UINT message)
{
    if (message >= WM_KEYFIRST && message <= WM_KEYLAST)
        return ENM_KEYEVENTS;
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST)
        return ENM_MOUSEEVENTS;
    return 0;
}

// A byte offset as rich edit's character positions hold it (a caret past a
// block of the largest size would lie beyond LONG's range).
LONG ToCharPos(LONGLONG nOffset)
{
    return nOffset > LONG_MAX ? LONG_MAX : static_cast<LONG>(nOffset);
}

} // namespace

void CHexEditCtrl::GetData(CByteArray* pData) const
{
    if (pData != NULL)
        pData->Copy(m_data);
}

LONGLONG CHexEditCtrl::GetDataSize() const
{
    return m_data.GetSize();
}

LONGLONG CHexEditCtrl::GetCaretOffset() const
{
    return GetCaretByteIndex();
}

BOOL CHexEditCtrl::GetByteAt(LONGLONG nOffset, BYTE& value) const
{
    if (nOffset < 0 || nOffset >= m_data.GetSize())
        return FALSE;
    value = m_data[static_cast<INT_PTR>(nOffset)];
    return TRUE;
}

BOOL CHexEditCtrl::IsCaretInCharColumn() const
{
    return m_nArea == 1;
}

BOOL CHexEditCtrl::GetSelection(LONGLONG& nFirst, LONGLONG& nLast) const
{
    // The selection is held in hex-character units; the bytes are those its
    // cells belong to, within the data.
    nFirst = nLast = -1;
    if (m_nSelStart < 0 || m_nSelStart > m_nSelEnd)
        return FALSE;
    const LONGLONG nFirstByte = m_nSelStart / 3;
    const LONGLONG nLastByte = std::min<LONGLONG>(m_nSelEnd / 3, m_data.GetSize() - 1);
    if (nFirstByte > nLastByte)
        return FALSE;
    nFirst = nFirstByte;
    nLast = nLastByte;
    return TRUE;
}

void CHexEditCtrl::PlaceCaretInView()
{
    // The caret placed by the host: what is typed next is a step of its own.
    m_undo.EndTypingRun();
    if (m_hWnd == NULL)
        return;
    MoveCaret(0, 0, TRUE);
}

BOOL CHexEditCtrl::SetCaretOffset(LONGLONG nOffset)
{
    const LONGLONG nSize = m_data.GetSize();
    if (nSize == 0)
        return FALSE;
    nOffset = std::max<LONGLONG>(0, std::min(nOffset, nSize - 1));
    m_nArea = 0;
    m_nCaretPos = 3 * nOffset;
    m_nDigit = 0;
    m_nSelStart = -1;
    m_nSelEnd = -1;
    PlaceCaretInView();
    NotifyHost();
    return TRUE;
}

BOOL CHexEditCtrl::SetSelection(LONGLONG nFirst, LONGLONG nLast)
{
    const LONGLONG nSize = m_data.GetSize();
    if (nSize == 0 || nFirst > nLast || nLast < 0 || nFirst >= nSize)
        return FALSE;
    nFirst = std::max<LONGLONG>(nFirst, 0);
    nLast = std::min(nLast, nSize - 1);
    // Both digits of every byte, the caret on the blank after the last one:
    // where Shift+Right from the first byte's high digit leaves them, so
    // that further Shift+keys carry on from there.
    m_nArea = 0;
    m_nSelStart = 3 * nFirst;
    m_nSelEnd = 3 * nLast + 1;
    m_nCaretPos = 3 * nLast + 2;
    m_nDigit = 0;
    PlaceCaretInView();
    NotifyHost();
    return TRUE;
}

BOOL CHexEditCtrl::IsReadOnly() const
{
    return m_hWnd != NULL && (GetStyle() & ES_READONLY) != 0;
}

void CHexEditCtrl::BytesChanged()
{
    m_bModified = TRUE;
    m_bChangePending = true;
}

BOOL CHexEditCtrl::RefuseEdit()
{
    if (!IsReadOnly())
        return FALSE;
    // What a read-only edit control gives a key that would change its text.
    ::MessageBeep(MB_OK);
    return TRUE;
}

void CHexEditCtrl::NotifyHost()
{
    if (m_nMessageDepth > 0)
        return;   // the outermost message announces it when it returns
    // Nor while a load or a save runs (its layout and its progress window
    // send the control messages): the operation announces its result once it
    // is over, when the host's answer can be carried out.
    if (m_bInFileOperation)
        return;

    LONGLONG nFirst, nLast;
    GetSelection(nFirst, nLast);
    const LONGLONG nCaret = GetCaretOffset();
    const bool bSelChanged =
        nCaret != m_nNotifiedCaret || nFirst != m_nNotifiedSelFirst || nLast != m_nNotifiedSelLast;
    m_nNotifiedCaret = nCaret;
    m_nNotifiedSelFirst = nFirst;
    m_nNotifiedSelLast = nLast;
    const bool bChanged = m_bChangePending;
    m_bChangePending = false;
    const bool bVScrolled = m_bVScrollPending, bHScrolled = m_bHScrollPending;
    m_bVScrollPending = m_bHScrollPending = false;

    if (m_hWnd != NULL)
        AnnounceToReaders(bChanged);

    // Without a window there is no parent to tell; nothing asked for, nothing
    // to look up (this runs after every message).
    const bool bTellChange = bChanged && (m_dwEventMask & ENM_CHANGE);
    const bool bTellSelChange = bSelChanged && (m_dwEventMask & ENM_SELCHANGE);
    const bool bTellVScroll = bVScrolled && (m_dwEventMask & ENM_SCROLL);
    const bool bTellHScroll = bHScrolled && (m_dwEventMask & ENM_SCROLL);
    if (m_hWnd == NULL || (!bTellChange && !bTellSelChange && !bTellVScroll && !bTellHScroll))
        return;
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent == NULL)
        return;
    const HWND hSelf = m_hWnd;
    const int nID = GetDlgCtrlID();
    if (bTellChange)
        ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(nID, EN_CHANGE), reinterpret_cast<LPARAM>(hSelf));
    // The parent may have destroyed the control (and its object) in its
    // handler.
    if (bTellSelChange && CWnd::FromHandlePermanent(hSelf) == this) {
        NMHEXSELCHANGE sel = {};
        sel.hdr.hwndFrom = hSelf;
        sel.hdr.idFrom = static_cast<UINT_PTR>(nID);
        sel.hdr.code = EN_SELCHANGE;
        if (nFirst >= 0) {
            sel.chrg.cpMin = ToCharPos(nFirst);
            sel.chrg.cpMax = ToCharPos(nLast + 1);
            sel.seltyp = SEL_TEXT;
        } else {
            sel.chrg.cpMin = sel.chrg.cpMax = ToCharPos(nCaret);
            sel.seltyp = SEL_EMPTY;
        }
        sel.nCaret = nCaret;
        sel.nSelFirst = nFirst;
        sel.nSelLast = nLast;
        ::SendMessageA(hParent, WM_NOTIFY, static_cast<WPARAM>(nID), reinterpret_cast<LPARAM>(&sel));
    }
    if (bTellVScroll && CWnd::FromHandlePermanent(hSelf) == this)
        ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(nID, EN_VSCROLL), reinterpret_cast<LPARAM>(hSelf));
    if (bTellHScroll && CWnd::FromHandlePermanent(hSelf) == this)
        ::SendMessageA(hParent, WM_COMMAND, MAKEWPARAM(nID, EN_HSCROLL), reinterpret_cast<LPARAM>(hSelf));
}

LRESULT CHexEditCtrl::HandleFilteredInput(UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent == NULL)
        return CEdit::WindowProc(message, wParam, lParam);
    const HWND hSelf = m_hWnd;
    MSGFILTER filter = {};
    filter.nmhdr.hwndFrom = hSelf;
    filter.nmhdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    filter.nmhdr.code = EN_MSGFILTER;
    filter.msg = message;
    filter.wParam = wParam;
    filter.lParam = lParam;
    const LRESULT lDrop =
        ::SendMessageA(hParent, WM_NOTIFY, filter.nmhdr.idFrom, reinterpret_cast<LPARAM>(&filter));
    // The parent may have destroyed the control (and its object) in its
    // handler.
    if (CWnd::FromHandlePermanent(hSelf) != this || lDrop != 0)
        return 0;
    if (filter.msg == message && filter.wParam == wParam && filter.lParam == lParam)
        return CEdit::WindowProc(message, wParam, lParam);
    // Changed by the parent: sent afresh, so that the edit class's own
    // processing (Default) gets the new message too, and not offered again.
    m_bResendingFiltered = true;
    const LRESULT lResult = ::SendMessageA(hSelf, filter.msg, filter.wParam, filter.lParam);
    if (CWnd::FromHandlePermanent(hSelf) == this)
        m_bResendingFiltered = false;
    return lResult;
}

LRESULT CHexEditCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY) {
        // The window's last message, after which the object may be gone:
        // nothing is left to announce, and the messages it ends (a
        // DestroyWindow from a handler) count nothing more.
        m_nMessageDepth = 0;
        m_bChangePending = false;
        m_bVScrollPending = m_bHScrollPending = false;
        // A reader still holding the object gets errors, not a dead control.
        DisconnectAccessible();
        return CEdit::WindowProc(message, wParam, lParam);
    }
    // The message the parent changed in its EN_MSGFILTER answer arrives
    // here first, as this one.
    const bool bFilteredAlready = m_bResendingFiltered;
    m_bResendingFiltered = false;
    LRESULT lResult;
    {
        MessageDepth depth(this, m_nMessageDepth);
        if (!bFilteredAlready && (m_dwEventMask & FilterEventOf(message)) != 0)
            lResult = HandleFilteredInput(message, wParam, lParam);
        else
            lResult = CEdit::WindowProc(message, wParam, lParam);
        if (!depth.IsStillAttached())
            return lResult;   // destroyed meanwhile, or never attached
    }
    NotifyHost();
    return lResult;
}

LRESULT CHexEditCtrl::OnGetModify(WPARAM, LPARAM)
{
    return m_bModified;
}

LRESULT CHexEditCtrl::OnSetModify(WPARAM wParam, LPARAM)
{
    m_bModified = wParam != 0;
    return 0;
}

LRESULT CHexEditCtrl::OnSetReadOnly(WPARAM wParam, LPARAM)
{
    // The style bit alone: the edit class is not told, so whatever keeps its
    // own text empty stays as it is.
    if (wParam != 0)
        ModifyStyle(0, ES_READONLY);
    else
        ModifyStyle(ES_READONLY, 0);
    return TRUE;
}

LRESULT CHexEditCtrl::OnGetEventMask(WPARAM, LPARAM)
{
    return static_cast<LRESULT>(m_dwEventMask);
}

LRESULT CHexEditCtrl::OnSetEventMask(WPARAM, LPARAM lParam)
{
    // Returns the old mask; keeps only what the control honours, so that
    // EM_GETEVENTMASK tells a host what it will get. What the caret and
    // selection are now is the starting point: the first notification
    // reports a change from here.
    const DWORD dwOld = m_dwEventMask;
    m_dwEventMask = static_cast<DWORD>(lParam) & kHonouredEvents;
    return static_cast<LRESULT>(dwOld);
}
