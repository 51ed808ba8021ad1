// HexEditProgress.cpp - the progress window of CHexEditCtrl's long loads and
// saves: made in code, shown once the work has taken half a second, modal
// over the program's other windows while it is up (see HexEditProgress.h).
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

CHexEditProgress::CHexEditProgress(CWnd* pCtrl, LPCSTR lpszCaption, LPCSTR lpszPath, ULONGLONG nTotal)
    : m_hCtrl(pCtrl != NULL ? pCtrl->GetSafeHwnd() : NULL), m_strCaption(lpszCaption), m_strPath(lpszPath),
      m_nTotal(nTotal), m_nStartTick(::GetTickCount64())
{
}

CHexEditProgress::~CHexEditProgress()
{
    Close();
}

bool CHexEditProgress::Step(ULONGLONG nDone)
{
    if (m_hWnd == NULL) {
        // A short work shows nothing; nor does one at its end, nor one
        // without a window to own it.
        if (m_bTriedToShow || m_hCtrl == NULL || nDone >= m_nTotal ||
            ::GetTickCount64() - m_nStartTick < kShowAfterMs)
            return true;
        if (!Show())
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
    return !m_bCancelled;
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

    // Centred over the owner.
    RECT rcOwner;
    ::GetWindowRect(hOwner, &rcOwner);
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    int x = (rcOwner.left + rcOwner.right - cx) / 2, y = (rcOwner.top + rcOwner.bottom - cy) / 2;
    m_hWnd = ::CreateWindowExA(dwExStyle, kClassName, m_strCaption, dwStyle, x, y, cx, cy, hOwner, NULL,
                               ::GetModuleHandleA(NULL), this);
    return m_hWnd != NULL;
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
    return child("BUTTON", "Cancel", WS_TABSTOP | BS_DEFPUSHBUTTON, layout.nWidth - nMargin - layout.nButtonWidth,
                 layout.yButton, layout.nButtonWidth, layout.nButtonHeight, kCancelId);
}

void CHexEditProgress::Update(ULONGLONG nDone)
{
    int nPermille = m_nTotal > 0 ? static_cast<int>(nDone * 1000 / m_nTotal) : 1000;
    if (nPermille == m_nShownPermille)
        return;
    m_nShownPermille = nPermille;
    ::SendMessageA(m_hBar, PBM_SETPOS, static_cast<WPARAM>(nPermille), 0);
    CString strBytes;
    strBytes.Format("%s of %s bytes (%d%%)", static_cast<LPCSTR>(GroupedNumber(nDone)),
                    static_cast<LPCSTR>(GroupedNumber(m_nTotal)), nPermille / 10);
    ::SetWindowTextA(m_hBytes, strBytes);
}

bool CHexEditProgress::IsOwnMessage(const MSG& msg) const
{
    return msg.hwnd == m_hWnd || (msg.hwnd != NULL && ::IsChild(m_hWnd, msg.hwnd));
}

void CHexEditProgress::PumpMessages()
{
    MSG msg;
    while (m_hWnd != NULL && !m_bCancelled && ::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // The program is ending: the work stops, and the program's own
            // loop gets the quit.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_bCancelled = true;
            break;
        }
        if (IsInputMessage(msg.message) && !IsOwnMessage(msg))
            continue;   // the host waits until the work is over
        if (IsOwnMessage(msg) && ::IsDialogMessageA(m_hWnd, &msg))
            continue;   // Tab, Escape, Enter and Space on the button
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

void CHexEditProgress::Close()
{
    if (m_hWnd == NULL)
        return;
    // The other windows first, so that the owner is the one activated when
    // this window goes.
    for (auto it = m_disabled.rbegin(); it != m_disabled.rend(); ++it) {
        if (::IsWindow(*it))
            ::EnableWindow(*it, TRUE);
    }
    m_disabled.clear();
    ::DestroyWindow(m_hWnd);
    m_hWnd = NULL;
    if (m_hFocusBefore != NULL && ::IsWindow(m_hFocusBefore))
        ::SetFocus(m_hFocusBefore);
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
            pThis->m_bCancelled = true;
            return 0;
        }
        break;
    case WM_CLOSE:   // the caption's close box, Alt+F4
        if (pThis != NULL)
            pThis->m_bCancelled = true;
        return 0;
    case WM_CTLCOLORSTATIC:
        ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    default:
        break;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}
