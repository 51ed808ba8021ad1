// HexEditProgress.cpp - the progress window of CHexEditCtrl's long loads and
// saves: made in code, shown once the work has taken half a second, modal
// over the program's other windows while it is up, on the work area of its
// owner's monitor; it watches for the end of the work from outside (see
// HexEditProgress.h).
#include "HexEditProgress.h"
#include <commctrl.h>
#include <stdio.h>

const char CHexEditProgress::kClassName[] = "HexEditProgress";

namespace {

const int kCancelId = IDCANCEL;

// "1,073,741,824": byte counts read at a glance.
CString GroupedNumber(ULONGLONG n)
{
    char digits[32];
    snprintf(digits, sizeof digits, "%llu", n);
    CString result;
    int nLength = static_cast<int>(strlen(digits));
    for (int i = 0; i < nLength; i++) {
        if (i > 0 && (nLength - i) % 3 == 0)
            result += ',';
        result += digits[i];
    }
    return result;
}

bool IsInputMessage(UINT message)
{
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_NCMOUSEHOVER ||
           message == WM_NCMOUSELEAVE || message == WM_MOUSEHOVER || message == WM_MOUSELEAVE;
}

BOOL CALLBACK DisableEnabledTopLevel(HWND hWnd, LPARAM lParam)
{
    std::vector<HWND>* pDisabled = reinterpret_cast<std::vector<HWND>*>(lParam);
    char szClass[32] = "";
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    if (lstrcmpA(szClass, CHexEditProgress::kClassName) != 0 && ::IsWindowVisible(hWnd) &&
        ::IsWindowEnabled(hWnd)) {
        ::EnableWindow(hWnd, FALSE);
        pDisabled->push_back(hWnd);
    }
    return TRUE;
}

} // namespace

CHexEditProgress::CHexEditProgress(CWnd* pCtrl, UINT nIDCaption, LPCSTR lpszPath, ULONGLONG nTotal)
    : m_hCtrl(pCtrl != NULL ? pCtrl->GetSafeHwnd() : NULL), m_strPath(lpszPath), m_nTotal(nTotal),
      m_nStartTick(::GetTickCount64())
{
    m_strCaption.LoadString(nIDCaption);
}

CHexEditProgress::~CHexEditProgress()
{
    Close();
}

bool CHexEditProgress::IsShowDue(ULONGLONG nDone) const
{
    // A short work shows nothing; nor does one at its end, nor one without a
    // window to own it.
    return !m_bTriedToShow && m_hCtrl != NULL && nDone < m_nTotal &&
           ::GetTickCount64() - m_nStartTick >= kShowAfterMs;
}

bool CHexEditProgress::Step(ULONGLONG nDone)
{
    if (IsEnded())
        return false;
    if (m_hWnd == NULL) {
        if (!IsShowDue(nDone) || !Show())
            return true;
        m_nLastUpdateTick = 0;
    }
    // A few times a second is enough for the eye; every piece would cost
    // the work a repaint of the window each few milliseconds.
    ULONGLONG nNow = ::GetTickCount64();
    if (nNow - m_nLastUpdateTick >= kUpdateEveryMs) {
        m_nLastUpdateTick = nNow;
        Update(nDone);
    }
    PumpMessages();
    return !IsEnded();
}

bool CHexEditProgress::WaitFor(HANDLE hWork)
{
    m_bFinalPhase = true;
    if (m_hWnd != NULL)
        ShowFinalPhase();
    for (;;) {
        if (IsEnded())
            return false;
        if (m_hWnd == NULL && !m_bTriedToShow && m_hCtrl != NULL) {
            // Not yet half a second: no window, and no messages either.
            ULONGLONG nElapsed = ::GetTickCount64() - m_nStartTick;
            if (nElapsed < kShowAfterMs) {
                if (::WaitForSingleObject(hWork, static_cast<DWORD>(kShowAfterMs - nElapsed)) == WAIT_OBJECT_0)
                    return true;
                continue;
            }
            if (Show())
                ShowFinalPhase();
        }
        // Without the window nothing keeps the host's input away; after the
        // program's quit, a pump would take the quit again.
        if (m_hWnd == NULL || m_bQuitting)
            return ::WaitForSingleObject(hWork, INFINITE) == WAIT_OBJECT_0;
        if (::MsgWaitForMultipleObjects(1, &hWork, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0)
            return true;
        PumpMessages();
    }
}

bool CHexEditProgress::Show()
{
    m_bTriedToShow = true;
    HWND hOwner = ::GetAncestor(m_hCtrl, GA_ROOT);
    if (hOwner == NULL || !RegisterWindowClass())
        return false;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);

    // The message boxes' font, and a layout measured in its lines.
    NONCLIENTMETRICSA ncm = {};
    ncm.cbSize = sizeof ncm;
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0))
        m_hFont = ::CreateFontIndirectA(&ncm.lfMessageFont);
    HFONT hFont = m_hFont != NULL ? m_hFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    const WindowLayout layout = LayoutForLinesOf(hFont);
    if (!CreateFrame(hOwner, layout))
        return false;
    HWND hCancel = CreateChildren(layout, hFont);

    // Modal over every other window of the program, as a message box is.
    m_hFocusBefore = ::GetFocus();
    ::EnumThreadWindows(::GetCurrentThreadId(), DisableEnabledTopLevel, reinterpret_cast<LPARAM>(&m_disabled));
    ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    ::SetFocus(hCancel);
    m_hCancel = hCancel;
    // Keys and clicks the user gave before the window was there were not
    // meant for its Cancel button.
    m_dwShownTime = ::GetTickCount();
    return true;
}

bool CHexEditProgress::RegisterWindowClass()
{
    HINSTANCE hInst = ::GetModuleHandleA(NULL);
    WNDCLASSA wc = {};
    if (::GetClassInfoA(hInst, kClassName, &wc))
        return true;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = hInst;
    wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    return ::RegisterClassA(&wc) != 0;
}

// The window's client layout, in lines of hFont: the path, the bar, the
// bytes, then the Cancel button at the right.
CHexEditProgress::WindowLayout CHexEditProgress::LayoutForLinesOf(HFONT hFont)
{
    HDC hDC = ::GetDC(NULL);
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    TEXTMETRICA tm = {};
    ::GetTextMetricsA(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(NULL, hDC);

    WindowLayout layout;
    const int h = tm.tmHeight > 0 ? tm.tmHeight : 16;
    layout.nLine = h;
    layout.nMargin = h;
    layout.nWidth = 34 * h;
    layout.nButtonWidth = 6 * h;
    layout.nButtonHeight = h + 10;
    layout.yPath = layout.nMargin;
    layout.yBar = layout.yPath + h + 8;
    layout.yBytes = layout.yBar + h + 10;
    layout.yButton = layout.yBytes + h + 10;
    layout.nHeight = layout.yButton + layout.nButtonHeight + layout.nMargin;
    return layout;
}

bool CHexEditProgress::CreateFrame(HWND hOwner, const WindowLayout& layout)
{
    RECT rc = {0, 0, layout.nWidth, layout.nHeight};
    const DWORD dwStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    const DWORD dwExStyle = WS_EX_DLGMODALFRAME;
    ::AdjustWindowRectEx(&rc, dwStyle, FALSE, dwExStyle);

    RECT rcPlace = PlaceOnWorkArea(hOwner, rc.right - rc.left, rc.bottom - rc.top);
    m_hWnd = ::CreateWindowExA(dwExStyle, kClassName, m_strCaption, dwStyle, rcPlace.left, rcPlace.top,
                               rcPlace.right - rcPlace.left, rcPlace.bottom - rcPlace.top, hOwner, NULL,
                               ::GetModuleHandleA(NULL), this);
    return m_hWnd != NULL;
}

// Centred over the owner as it is when restored (a minimised one lies far
// off the screen), and moved wholly onto the work area of its monitor: while
// the window is up, every other window is disabled, and its Cancel must be
// seen.
RECT CHexEditProgress::PlaceOnWorkArea(HWND hOwner, int cx, int cy)
{
    RECT rcOwner;
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    if (::IsIconic(hOwner) && ::GetWindowPlacement(hOwner, &wp))
        rcOwner = wp.rcNormalPosition;
    else
        ::GetWindowRect(hOwner, &rcOwner);
    RECT rcWork;
    MONITORINFO mi = {};
    mi.cbSize = sizeof mi;
    HMONITOR hMonitor = ::MonitorFromRect(&rcOwner, MONITOR_DEFAULTTONEAREST);
    if (hMonitor != NULL && ::GetMonitorInfoA(hMonitor, &mi))
        rcWork = mi.rcWork;
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);
    int x = (rcOwner.left + rcOwner.right - cx) / 2, y = (rcOwner.top + rcOwner.bottom - cy) / 2;
    // The left and top edges win on a work area smaller than the window.
    x = x + cx > rcWork.right ? rcWork.right - cx : x;
    y = y + cy > rcWork.bottom ? rcWork.bottom - cy : y;
    x = x < rcWork.left ? rcWork.left : x;
    y = y < rcWork.top ? rcWork.top : y;
    return RECT{x, y, x + cx, y + cy};
}

HWND CHexEditProgress::CreateChildren(const WindowLayout& layout, HFONT hFont)
{
    auto child = [&](LPCSTR lpszClass, LPCSTR lpszText, DWORD dwChildStyle, int x, int y, int cx, int cy, int nId) {
        HWND hChild = ::CreateWindowExA(0, lpszClass, lpszText, WS_CHILD | WS_VISIBLE | dwChildStyle, x, y, cx, cy,
                                        m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nId)),
                                        ::GetModuleHandleA(NULL), NULL);
        ::SendMessageA(hChild, WM_SETFONT, reinterpret_cast<WPARAM>(hFont), FALSE);
        return hChild;
    };
    const int nMargin = layout.nMargin, nInner = layout.nWidth - 2 * nMargin, cyLine = layout.nLine + 2;
    child("STATIC", m_strPath, SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, nMargin, layout.yPath, nInner, cyLine, -1);
    m_hBar = child(PROGRESS_CLASSA, "", 0, nMargin, layout.yBar, nInner, cyLine, -1);
    ::SendMessageA(m_hBar, PBM_SETRANGE32, 0, 1000);
    m_hBytes = child("STATIC", "", SS_LEFT | SS_NOPREFIX, nMargin, layout.yBytes, nInner, cyLine, -1);
    CString strCancel;
    strCancel.LoadString(IDS_HEXEDIT_CANCEL);
    return child("BUTTON", strCancel, WS_TABSTOP | BS_DEFPUSHBUTTON, layout.nWidth - nMargin - layout.nButtonWidth,
                 layout.yButton, layout.nButtonWidth, layout.nButtonHeight, kCancelId);
}

void CHexEditProgress::Update(ULONGLONG nDone)
{
    int nPermille = m_nTotal > 0 ? static_cast<int>(nDone * 1000 / m_nTotal) : 1000;
    if (nPermille == m_nShownPermille)
        return;
    m_nShownPermille = nPermille;
    ::SendMessageA(m_hBar, PBM_SETPOS, static_cast<WPARAM>(nPermille), 0);
    // The words come from the string table, the percentage is added here.
    CString strBytes, strPercent;
    AfxFormatString2(strBytes, IDS_HEXEDIT_BYTES_DONE, GroupedNumber(nDone), GroupedNumber(m_nTotal));
    strPercent.Format(" (%d%%)", nPermille / 10);
    strBytes += strPercent;
    ::SetWindowTextA(m_hBytes, strBytes);
}

// The bytes are written; what is left (the flush to the disk) cannot be
// cancelled, and the window says so.
void CHexEditProgress::ShowFinalPhase()
{
    ::SendMessageA(m_hBar, PBM_SETPOS, 1000, 0);
    CString strWriting;
    strWriting.LoadString(IDS_HEXEDIT_WRITING_TO_DISK);
    ::SetWindowTextA(m_hBytes, strWriting);
    if (::GetFocus() == m_hCancel)
        ::SetFocus(m_hWnd);
    ::EnableWindow(m_hCancel, FALSE);
    ::EnableMenuItem(::GetSystemMenu(m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
}

bool CHexEditProgress::IsOwnMessage(const MSG& msg) const
{
    return msg.hwnd == m_hWnd || (msg.hwnd != NULL && ::IsChild(m_hWnd, msg.hwnd));
}

bool CHexEditProgress::IsTypedBeforeShown(const MSG& msg) const
{
    return static_cast<LONG>(msg.time - m_dwShownTime) < 0;
}

void CHexEditProgress::PumpMessages()
{
    MSG msg;
    for (;;) {
        // Any message may have destroyed the control's window (a host
        // closed, a timer that closes a child frame), and its object with
        // it; a message sent from elsewhere is handled inside PeekMessage.
        if (!m_bControlGone && m_hCtrl != NULL && !::IsWindow(m_hCtrl)) {
            m_bControlGone = true;
            EndedFromOutside();
        }
        if (m_hWnd == NULL || IsEnded() || m_bQuitting || !::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            break;
        if (msg.message == WM_QUIT) {
            // The program is ending: the program's own loop gets the quit,
            // and the work stops, but for its last phase, which is short
            // and cannot stop half-way.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_bQuitting = true;
            if (!m_bFinalPhase)
                m_bCancelled = true;
            break;
        }
        if (IsInputMessage(msg.message) && (!IsOwnMessage(msg) || IsTypedBeforeShown(msg)))
            continue;   // the host waits until the work is over
        if (IsOwnMessage(msg) && ::IsDialogMessageA(m_hWnd, &msg))
            continue;   // Tab, Escape, Enter and Space on the button
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// The control's window or this window was destroyed, or the session ends:
// the work's traces go now, inside the message that ended it.
void CHexEditProgress::EndedFromOutside()
{
    if (m_bEnded)
        return;
    m_bEnded = true;
    std::function<void()> cleanUp = std::move(m_cleanUp);
    m_cleanUp = nullptr;
    if (cleanUp)
        cleanUp();
}

void CHexEditProgress::Close()
{
    m_bClosing = true;
    // The other windows first, so that the owner is the one activated when
    // this window goes; also when the window went before (with a host that
    // destroyed only a child frame, the rest of the program stays).
    for (auto it = m_disabled.rbegin(); it != m_disabled.rend(); ++it) {
        if (::IsWindow(*it))
            ::EnableWindow(*it, TRUE);
    }
    m_disabled.clear();
    if (m_hWnd != NULL) {
        ::DestroyWindow(m_hWnd);
        m_hWnd = NULL;
    }
    if (m_hFocusBefore != NULL && ::IsWindow(m_hFocusBefore))
        ::SetFocus(m_hFocusBefore);
    m_hFocusBefore = NULL;
    // The font is made before the frame, which may fail.
    if (m_hFont != NULL) {
        ::DeleteObject(m_hFont);
        m_hFont = NULL;
    }
}

LRESULT CALLBACK CHexEditProgress::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        CREATESTRUCTA* pcs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pcs->lpCreateParams));
    }
    CHexEditProgress* pThis = reinterpret_cast<CHexEditProgress*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kCancelId && pThis != NULL) {
            if (!pThis->m_bFinalPhase)
                pThis->m_bCancelled = true;
            return 0;
        }
        break;
    case WM_CLOSE:   // the caption's close box, Alt+F4
        if (pThis != NULL && !pThis->m_bFinalPhase)
            pThis->m_bCancelled = true;
        return 0;
    case WM_ENDSESSION:
        // The program may be ended as soon as this returns.
        if (wParam && pThis != NULL)
            pThis->EndedFromOutside();
        return 0;
    case WM_NCDESTROY:
        // Destroyed with its owner, not by Close: the host is going.
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
        if (pThis != NULL && !pThis->m_bClosing) {
            pThis->m_hWnd = NULL;
            pThis->EndedFromOutside();
        }
        break;
    case WM_CTLCOLORSTATIC:
        ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    default:
        break;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}
