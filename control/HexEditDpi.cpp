// HexEditDpi.cpp - CHexEditCtrl on screens of any resolution: the DPI of the
// control's window, lengths given at 96 DPI scaled to it, and what the
// control does when its window's DPI changes (WM_DPICHANGED_AFTERPARENT as a
// child, WM_DPICHANGED were it ever top-level).
//
// Only the cell font is sized here; every other pixel figure (columns and
// lines, the half column to spare, scroll ranges, the caret, hit testing,
// painting, the wheel's and the auto-scroll's steps, which go by lines)
// derives from the measured cell, so at 96 DPI nothing differs by a pixel.
#include "HexEditCtrl.h"

#ifdef QX_DPI_TEST_HOOKS
#include "HexEditDpiHooks.h"

namespace HexEditDpiHooks {

UINT (*pfnWindowDpi)(HWND) = nullptr;

} // namespace HexEditDpiHooks
#endif

namespace {

const int kDefaultDpi = 96;

typedef UINT(WINAPI* GetDpiForWindowProc)(HWND);

// GetDpiForWindow where user32 has it (Windows 10 1607 on), looked up at run
// time so that the control runs on older systems too.
GetDpiForWindowProc FindGetDpiForWindow()
{
    HMODULE hUser = ::GetModuleHandleA("user32.dll");
    FARPROC proc = hUser != NULL ? ::GetProcAddress(hUser, "GetDpiForWindow") : NULL;
    return reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void*>(proc));
}

// The system's DPI for hWnd: the window's own where the system keeps one
// per window, else the screen's.
int SystemWindowDpi(HWND hWnd)
{
    static const GetDpiForWindowProc pfnGetDpiForWindow = FindGetDpiForWindow();
    if (pfnGetDpiForWindow != NULL && hWnd != NULL) {
        const UINT nDpi = pfnGetDpiForWindow(hWnd);
        if (nDpi != 0)
            return static_cast<int>(nDpi);
    }
    int nDpi = 0;
    if (HDC hDC = ::GetDC(NULL)) {
        nDpi = ::GetDeviceCaps(hDC, LOGPIXELSY);
        ::ReleaseDC(NULL, hDC);
    }
    return nDpi > 0 ? nDpi : kDefaultDpi;
}

} // namespace

int CHexEditCtrl::GetWindowDpi() const
{
#ifdef QX_DPI_TEST_HOOKS
    if (HexEditDpiHooks::pfnWindowDpi != nullptr)
        return static_cast<int>(HexEditDpiHooks::pfnWindowDpi(m_hWnd));
#endif
    return SystemWindowDpi(m_hWnd);
}

int CHexEditCtrl::ScaleToDpi(int nPixelsAt96) const
{
    return ::MulDiv(nPixelsAt96, m_nDpi, kDefaultDpi);
}

void CHexEditCtrl::FollowDpiChange()
{
    if (m_hWnd == NULL)
        return;
    RecalcLayout();

    // The caret's byte stays in view: its row, and its column, which the
    // larger or smaller cells may have taken out of the window. A caret in
    // view stays where it is on screen as far as the window lets it.
    const LONGLONG nUnitsPerRow = m_nArea == 0 ? 3LL * m_nBytesPerRow : m_nBytesPerRow;
    const int nCaretRow = static_cast<int>(m_nCaretPos / nUnitsPerRow);
    const int nVisRows = m_nVisRows > 0 ? m_nVisRows : 1;
    if (nCaretRow < m_nFirstRow)
        m_nFirstRow = nCaretRow;
    else if (nCaretRow + 3 - m_nFirstRow > nVisRows)
        m_nFirstRow = nCaretRow + 3 - nVisRows;
    const int nCaretCol = static_cast<int>(
        m_nArea == 0 ? m_nHexCol + m_nCaretPos % nUnitsPerRow : m_nAsciiCol + m_nCaretPos % nUnitsPerRow);
    const int nVisCols = m_nVisCols > 0 ? m_nVisCols : 1;
    if (nCaretCol < m_nFirstCol)
        m_nFirstCol = nCaretCol;
    else if (nCaretCol >= m_nFirstCol + nVisCols)
        m_nFirstCol = nCaretCol - nVisCols + 1;

    // The caret takes the new cell size; it stays hidden while a drag
    // tracks the mouse (the release shows it).
    if (::GetFocus() == m_hWnd) {
        ::DestroyCaret();
        CreateSolidCaret(m_sizeChar.cx, m_sizeChar.cy);
        if (!m_bSelecting)
            ShowCaret();
    }
    // The bars take the new positions (clamped to their ranges), the caret
    // its cell, and the layout repaints everything.
    UpdateScrollBars();
    UpdateCaret();
}

LRESULT CHexEditCtrl::OnDpiChangedAfterParent(WPARAM, LPARAM)
{
    FollowDpiChange();
    return 0;
}

LRESULT CHexEditCtrl::OnDpiChanged(WPARAM, LPARAM lParam)
{
    // A top-level window takes the rectangle the system suggests for the
    // new DPI; its size message lays it out once more, which costs nothing.
    if (const RECT* pRect = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(NULL, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    FollowDpiChange();
    return 0;
}
