// HexEditCtrl.cpp - CHexEditCtrl's state and data binding: construction,
// window creation, SetData, destruction, the message map, and what of the
// edit class's own handling is kept from it.
#include "HexEditCtrl.h"

// The control declares no run-time class of its own: it reports CEdit.
BEGIN_MESSAGE_MAP(CHexEditCtrl, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_VSCROLL()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_KILLFOCUS()
    ON_WM_SETFOCUS()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_TIMER()
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_GETDLGCODE()
    ON_WM_CONTEXTMENU()
    ON_WM_CAPTURECHANGED()
    ON_WM_MOUSEWHEEL()
    ON_WM_SETCURSOR()
    ON_MESSAGE(EM_GETMODIFY, &CHexEditCtrl::OnGetModify)
    ON_MESSAGE(EM_SETMODIFY, &CHexEditCtrl::OnSetModify)
    ON_MESSAGE(EM_SETREADONLY, &CHexEditCtrl::OnSetReadOnly)
    ON_MESSAGE(EM_GETEVENTMASK, &CHexEditCtrl::OnGetEventMask)
    ON_MESSAGE(EM_SETEVENTMASK, &CHexEditCtrl::OnSetEventMask)
    ON_MESSAGE(WM_UNDO, &CHexEditCtrl::OnUndo)
    ON_MESSAGE(EM_UNDO, &CHexEditCtrl::OnUndo)
    ON_MESSAGE(EM_REDO, &CHexEditCtrl::OnRedo)
    ON_MESSAGE(EM_CANUNDO, &CHexEditCtrl::OnCanUndo)
    ON_MESSAGE(EM_CANREDO, &CHexEditCtrl::OnCanRedo)
    ON_MESSAGE(EM_EMPTYUNDOBUFFER, &CHexEditCtrl::OnEmptyUndoBuffer)
    ON_MESSAGE(WM_SYSKEYDOWN, &CHexEditCtrl::OnSysKeyDownMessage)
    ON_MESSAGE(WM_COPY, &CHexEditCtrl::OnCopy)
    ON_MESSAGE(WM_CUT, &CHexEditCtrl::OnCut)
    ON_MESSAGE(WM_PASTE, &CHexEditCtrl::OnPaste)
    ON_MESSAGE(WM_CLEAR, &CHexEditCtrl::OnClear)
    ON_MESSAGE(EM_CANPASTE, &CHexEditCtrl::OnCanPaste)
    ON_MESSAGE(EM_SETSEL, &CHexEditCtrl::OnSetSel)
    ON_MESSAGE(WM_GETOBJECT, &CHexEditCtrl::OnGetObject)
    ON_MESSAGE(WM_GETTEXT, &CHexEditCtrl::OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, &CHexEditCtrl::OnGetTextLength)
    ON_MESSAGE(EM_GETSEL, &CHexEditCtrl::OnGetSel)
    ON_MESSAGE(EM_GETLINECOUNT, &CHexEditCtrl::OnGetLineCount)
    ON_MESSAGE(EM_LINEINDEX, &CHexEditCtrl::OnLineIndex)
    ON_MESSAGE(EM_LINELENGTH, &CHexEditCtrl::OnLineLength)
    ON_MESSAGE(EM_LINEFROMCHAR, &CHexEditCtrl::OnLineFromChar)
    ON_MESSAGE(EM_GETLINE, &CHexEditCtrl::OnGetLine)
    ON_MESSAGE(EM_POSFROMCHAR, &CHexEditCtrl::OnPosFromChar)
    ON_MESSAGE(EM_CHARFROMPOS, &CHexEditCtrl::OnCharFromPos)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &CHexEditCtrl::OnColoursChanged)
    ON_MESSAGE(WM_SETTINGCHANGE, &CHexEditCtrl::OnColoursChanged)
    ON_MESSAGE(WM_DPICHANGED_AFTERPARENT, &CHexEditCtrl::OnDpiChangedAfterParent)
    ON_MESSAGE(WM_DPICHANGED, &CHexEditCtrl::OnDpiChanged)
END_MESSAGE_MAP()

CHexEditCtrl::CHexEditCtrl()
    : m_nAddrDigits(8), m_nByteDigits(2), m_nRowAddr(0), m_nBytesPerRow(16), m_nFontHeight(16),
      m_clrWndBk(RGB(192, 192, 255)), m_clrText(RGB(0, 0, 0)), m_clrAsciiBk(RGB(0, 0, 192)),
      m_clrAddrBk(RGB(255, 255, 255)), m_clrHexBk(RGB(255, 255, 0)), m_clrHexText(RGB(0, 0, 192)),
      m_nAddrCol(1), m_nHexCol(10), m_nAsciiCol(62), m_nPaintRow(0),
      m_sizeChar{0, 0}, m_nDpi(96), m_nVisCols(0), m_nVisRows(0), m_nFirstCol(0), m_nFirstRow(0),
      m_bSelecting(false), m_bDragged(false), m_nAnchor(0), m_ptLast{0, 0}, m_bTimer(false),
      m_nWheelDelta(0),
      m_bInFileOperation(false),
      m_nSelStart(-1), m_nSelEnd(-1), m_nCaretPos(0), m_nArea(0), m_nDigit(0), m_byteCur(0),
      m_bModified(FALSE), m_dwEventMask(0), m_bChangePending(false), m_nNotifiedCaret(0),
      m_nNotifiedSelFirst(-1), m_nNotifiedSelLast(-1), m_nMessageDepth(0), m_bVScrollPending(false),
      m_bHScrollPending(false), m_bResendingFiltered(false), m_readerState{0, 0, -1, -1, -1, 0, 0},
      m_pAccessible(NULL), m_pAutomation(NULL), m_bHighContrast(IsHighContrastOn())
{
    m_data.SetSize(0, -1);
}

CHexEditCtrl::~CHexEditCtrl()
{
    DisconnectAccessible();
    m_data.SetSize(0, -1);
}

namespace {

// The window the control creates: a sunken edit-class child with both
// scroll bars and a tab stop, that tells its parent nothing of its own
// creation and destruction.
const DWORD kCreateExStyle = WS_EX_CLIENTEDGE | WS_EX_NOPARENTNOTIFY;
const DWORD kCreateStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_BORDER | WS_VSCROLL |
                           WS_HSCROLL | WS_TABSTOP;
static_assert(kCreateExStyle == 0x204, "the control's extended window styles");
static_assert(kCreateStyle == 0x56B10000, "the control's window styles");

} // namespace

BOOL CHexEditCtrl::Create(RECT rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::CreateEx(kCreateExStyle, "edit", "", kCreateStyle, rect, pParentWnd, nID, NULL);
}

BOOL CHexEditCtrl::PreCreateWindow(CREATESTRUCT& cs)
{
    return CWnd::PreCreateWindow(cs);
}

void CHexEditCtrl::SetData(CByteArray* pData)
{
    // A save running below reads the bytes where they are.
    if (m_bInFileOperation)
        return;
    // New bytes end a drag (a host may replace them from a timer while the
    // button is held): the capture, the timer and the hidden caret go.
    if (m_bSelecting) {
        EndTracking();
        RestoreCaretPos();
        ShowCaret();
    }
    // The old bytes go first; if the copy cannot be had, the control is left
    // empty and the memory exception reaches the caller.
    m_data.SetSize(0, -1);
    m_data.Copy(*pData);
    // The host's own bytes: unmodified, and no EN_CHANGE; nothing to undo.
    m_bModified = FALSE;
    m_undo.Empty(true);
    // The header line shows the byte now at the caret.
    m_byteCur = GetCaretByte();
    RecalcLayout();
    NotifyHost();
}

LRESULT CHexEditCtrl::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // The edit class's text is never shown and stays empty: a paste, cut,
    // clear, undo, a typed character or a text set from outside would only
    // change it, tell the parent EN_UPDATE and EN_CHANGE although no byte
    // changed, and let the class set the scroll bars by its own text. Shift+Insert pastes and Shift+Delete and
    // Ctrl+Delete delete inside the class's key handling, without a message.
    switch (message) {
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case WM_CHAR:
    case WM_IME_CHAR:
    case EM_REPLACESEL:
        return 0;
    case WM_SETTEXT:
        // A host's SetWindowText, a data exchange or an automation client:
        // the text is not taken.
        return FALSE;
    case WM_KEYDOWN: {
        const bool bShift = (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
        const bool bCtrl = (::GetKeyState(VK_CONTROL) & 0x8000) != 0;
        if ((wParam == VK_INSERT && bShift) || (wParam == VK_DELETE && (bShift || bCtrl)))
            return 0;
        break;
    }
    default:
        break;
    }
    return CEdit::DefWindowProc(message, wParam, lParam);
}

BOOL CHexEditCtrl::OnEraseBkgnd(CDC*)
{
    // The painter covers the whole client area.
    return TRUE;
}
