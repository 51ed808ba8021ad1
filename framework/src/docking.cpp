// docking.cpp - docking and floating of control bars: CDockBar (the bars
// along one edge of a frame), CMiniDockFrameWnd (the tool window a bar
// floats in), CDockContext (dragging a bar with the mouse) and the frame's
// side of it: EnableDocking, DockControlBar, FloatControlBar,
// ShowControlBar, GetControlBar, the View menu's bar commands and the
// key-state indicators.
#include "afximpl.h"
#include "afxext.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CDockBar, CControlBar)
IMPLEMENT_DYNAMIC(CMiniDockFrameWnd, CWnd)

namespace {

// The frame's dock bars in the order they are created and laid out: the
// top and bottom ones span the frame, the left and right ones fit between.
const struct {
    UINT nID;
    DWORD dwStyle;
} kDockBars[4] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
};

// Sent (posted) to a floating frame whose dock bar lost its last bar: it
// goes once the message that emptied it is done.
const UINT WM_DESTROYIFEMPTY = WM_USER + 1;

// How far from a dock bar's edge a dragged bar's pointer docks it.
const int DOCK_MARGIN = 16;

// The border of a side's dock bar that faces the frame's inside.
DWORD BorderFacingInside(DWORD dwAlign)
{
    switch (dwAlign & CBRS_ALIGN_ANY) {
    case CBRS_ALIGN_TOP: return CBRS_BORDER_BOTTOM;
    case CBRS_ALIGN_BOTTOM: return CBRS_BORDER_TOP;
    case CBRS_ALIGN_LEFT: return CBRS_BORDER_RIGHT;
    case CBRS_ALIGN_RIGHT: return CBRS_BORDER_LEFT;
    default: return 0;
    }
}

LPCSTR BarWndClass()
{
    return AfxRegisterWndClass(0, ::LoadCursorA(NULL, MAKEINTRESOURCEA(32512)),
                               reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1)));
}

void MoveIfChanged(CWnd* pWnd, const CRect& rect)
{
    CRect now;
    pWnd->GetWindowRect(&now);
    if (CWnd* pParent = pWnd->GetParent())
        pParent->ScreenToClient(&now);
    if (now != rect)
        ::SetWindowPos(pWnd->m_hWnd, NULL, rect.left, rect.top, rect.Width(), rect.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

// ---------------------------------------------------------------------------
// CDockBar

BEGIN_MESSAGE_MAP(CDockBar, CControlBar)
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CDockBar::CDockBar(BOOL bFloating) : m_bFloating(bFloating)
{
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CDockBar::~CDockBar()
{
    if (m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

BOOL CDockBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALIGN_ANY;
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    return CWnd::CreateEx(0, BarWndClass(), NULL, dwWndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

int CDockBar::GetDockedVisibleCount() const
{
    int n = 0;
    for (CControlBar* pBar : m_arrBars)
        if (pBar->IsVisible())
            ++n;
    return n;
}

void CDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    CDockBar* pOld = pBar->m_pDockBar;
    // Where it goes among the bars here: before the first one that starts
    // after the point lpRect names.
    size_t nPos = m_arrBars.size();
    if (lpRect != NULL) {
        BOOL bHorz = m_bFloating || (m_dwStyle & CBRS_ORIENT_HORZ);
        for (size_t i = 0; i < m_arrBars.size(); ++i) {
            if (m_arrBars[i] == pBar)
                continue;
            CRect rc;
            m_arrBars[i]->GetWindowRect(&rc);
            if (bHorz ? rc.left > lpRect->left : rc.top > lpRect->top) {
                nPos = i;
                break;
            }
        }
    }

    DWORD dwStyle = pBar->m_dwStyle & ~(CBRS_ALIGN_ANY | CBRS_BORDER_ANY | CBRS_FLOATING);
    if (m_bFloating)
        dwStyle |= CBRS_FLOATING | (m_dwStyle & CBRS_ALIGN_ANY);
    else
        dwStyle |= (m_dwStyle & CBRS_ALIGN_ANY) | BorderFacingInside(m_dwStyle);

    if (pBar->GetParent() != this)
        pBar->SetParent(this);
    if (pOld != NULL && pOld != this)
        pOld->RemoveControlBar(pBar);
    std::vector<CControlBar*>::iterator it = std::find(m_arrBars.begin(), m_arrBars.end(), pBar);
    if (it != m_arrBars.end()) {
        size_t nOld = static_cast<size_t>(it - m_arrBars.begin());
        m_arrBars.erase(it);
        if (nPos > nOld)
            --nPos;
    }
    m_arrBars.insert(m_arrBars.begin() + static_cast<std::ptrdiff_t>(std::min(nPos, m_arrBars.size())), pBar);
    pBar->m_pDockBar = this;
    pBar->SetBarStyle(dwStyle);
    // The frame's non-client area (borders, gripper) follows the new side.
    ::SetWindowPos(pBar->m_hWnd, NULL, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

BOOL CDockBar::RemoveControlBar(CControlBar* pBar)
{
    std::vector<CControlBar*>::iterator it = std::find(m_arrBars.begin(), m_arrBars.end(), pBar);
    if (it == m_arrBars.end())
        return FALSE;
    m_arrBars.erase(it);
    if (pBar->m_pDockBar == this)
        pBar->m_pDockBar = NULL;
    if (m_bFloating && m_hWnd != NULL) {
        CWnd* pFrame = GetParent();
        if (GetDockedVisibleCount() == 0 && pFrame != NULL)
            pFrame->ShowWindow(SW_HIDE);
        if (m_arrBars.empty() && pFrame != NULL)
            pFrame->PostMessage(WM_DESTROYIFEMPTY);
    }
    return TRUE;
}

CSize CDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorzRequested)
{
    // The bars side by side (one row on the top and bottom, one column on
    // the left and right), each as long as it wants to be.
    BOOL bHorz = m_bFloating ? TRUE : ((m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    (void)bHorzRequested;
    int pos = 0, cross = 0, nVisible = 0;
    for (CControlBar* pBar : m_arrBars) {
        if (!pBar->IsVisible())
            continue;
        DWORD dwMode;
        if (m_bFloating)
            dwMode = ((pBar->m_dwStyle & CBRS_ORIENT_VERT) && !(pBar->m_dwStyle & CBRS_ORIENT_HORZ))
                         ? 0 : (LM_HORZ | LM_MRUWIDTH);
        else
            dwMode = bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
        CSize size = pBar->CalcDynamicLayout(-1, dwMode);
        if (nVisible > 0)
            pos += m_cxDefaultGap;
        CRect rect = bHorz ? CRect(pos, 0, pos + size.cx, size.cy) : CRect(0, pos, size.cx, pos + size.cy);
        MoveIfChanged(pBar, rect);
        pos += bHorz ? size.cx : size.cy;
        cross = std::max<int>(cross, bHorz ? size.cy : size.cx);
        ++nVisible;
    }
    if (nVisible == 0)
        return CSize(0, 0);
    if (bHorz)
        return CSize(bStretch && !m_bFloating ? std::max<int>(pos, m_rectLayout.Width()) : pos, cross);
    return CSize(cross, bStretch ? std::max<int>(pos, m_rectLayout.Height()) : pos);
}

void CDockBar::OnUpdateCmdUI(CFrameWnd*, BOOL)
{
    // The docked bars are the dock bar's children: they update themselves.
}

LRESULT CDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam)
{
    AFX_SIZEPARENTPARAMS* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    m_rectLayout = lpLayout->rect;
    return CControlBar::OnSizeParent(wParam, lParam);
}

LRESULT CDockBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    // Floating bars are not the frame's descendants: the top dock bar passes
    // the update on to them (a frame without one leaves them un-updated).
    if (!m_bFloating && m_pDockSite != NULL && GetDlgCtrlID() == AFX_IDW_DOCKBAR_TOP) {
        std::vector<CControlBar*> bars = m_pDockSite->m_listControlBars;
        for (CControlBar* pBar : bars)
            if (pBar->m_hWnd != NULL && pBar->IsFloating())
                pBar->SendMessage(WM_IDLEUPDATECMDUI, wParam, 0);
    }
    return 0;
}

// ---------------------------------------------------------------------------
// CMiniDockFrameWnd

BEGIN_MESSAGE_MAP(CMiniDockFrameWnd, CWnd)
    ON_WM_CLOSE()
    ON_MESSAGE(WM_NCLBUTTONDOWN, OnNcLButtonDown)
    ON_MESSAGE(WM_NCLBUTTONDBLCLK, OnNcLButtonDblClk)
    ON_MESSAGE(WM_MOUSEACTIVATE, OnMouseActivate)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

CMiniDockFrameWnd::CMiniDockFrameWnd() : m_wndDockBar(TRUE), m_pDockSite(NULL)
{
}

CMiniDockFrameWnd::~CMiniDockFrameWnd()
{
    if (m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

BOOL CMiniDockFrameWnd::Create(CFrameWnd* pParent, DWORD dwBarStyle)
{
    m_pDockSite = pParent;
    // A tool window owned by the frame: above it, never in the task list.
    if (!CWnd::CreateEx(WS_EX_TOOLWINDOW, BarWndClass(), "",
                        WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                        0, 0, 100, 40, pParent->GetSafeHwnd(), NULL))
        return FALSE;
    m_wndDockBar.m_pDockSite = pParent;
    if (!m_wndDockBar.Create(this, WS_CHILD | WS_VISIBLE | (dwBarStyle & CBRS_ALIGN_ANY), AFX_IDW_DOCKBAR_FLOAT)) {
        DestroyWindow();
        return FALSE;
    }
    return TRUE;
}

CControlBar* CMiniDockFrameWnd::GetBar() const
{
    return m_wndDockBar.m_arrBars.empty() ? NULL : m_wndDockBar.m_arrBars.front();
}

void CMiniDockFrameWnd::RecalcLayout()
{
    CSize size = m_wndDockBar.CalcFixedLayout(FALSE, TRUE);
    CRect rect(0, 0, size.cx, size.cy);
    ::AdjustWindowRectEx(&rect, GetStyle(), FALSE, GetExStyle());
    ::SetWindowPos(m_hWnd, NULL, 0, 0, rect.Width(), rect.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveIfChanged(&m_wndDockBar, CRect(0, 0, size.cx, size.cy));
    if (CControlBar* pBar = GetBar()) {
        CString strTitle;
        pBar->GetWindowText(strTitle);
        SetWindowText(strTitle);
    }
}

void CMiniDockFrameWnd::PostNcDestroy()
{
    delete this;
}

void CMiniDockFrameWnd::OnClose()
{
    // Closing the floating frame hides its bar, as the View menu would.
    CControlBar* pBar = GetBar();
    if (pBar != NULL && m_pDockSite != NULL)
        m_pDockSite->ShowControlBar(pBar, FALSE, FALSE);
    else
        ShowWindow(SW_HIDE);
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDown(WPARAM wParam, LPARAM lParam)
{
    // Dragging the caption drags the bar: it may dock again.
    CControlBar* pBar = GetBar();
    if (wParam == HTCAPTION && pBar != NULL && pBar->m_pDockContext != NULL) {
        CPoint pt(static_cast<DWORD>(lParam));
        pBar->m_pDockContext->StartDrag(pt);
        return 0;
    }
    return Default();
}

LRESULT CMiniDockFrameWnd::OnNcLButtonDblClk(WPARAM wParam, LPARAM)
{
    // The first click of the two was a drag that did not move.
    CControlBar* pBar = GetBar();
    if (wParam == HTCAPTION && pBar != NULL && pBar->m_pDockContext != NULL) {
        // Docking empties this window, which goes once this message is done
        // (WM_DESTROYIFEMPTY).
        pBar->m_pDockContext->ToggleDocking();
        return 0;
    }
    return Default();
}

LRESULT CMiniDockFrameWnd::OnMouseActivate(WPARAM, LPARAM)
{
    // The frame stays the active window while its palette is used.
    return MA_NOACTIVATE;
}

LRESULT CMiniDockFrameWnd::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    SendMessageToDescendants(WM_IDLEUPDATECMDUI, wParam, 0, TRUE);
    return 0;
}

LRESULT CMiniDockFrameWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROYIFEMPTY) {
        if (m_wndDockBar.m_arrBars.empty())
            DestroyWindow();
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------
// CDockContext

CDockContext::CDockContext(CControlBar* pBar)
    : m_pBar(pBar), m_pDockSite(pBar->m_pDockSite), m_uMRUDockID(0), m_ptMRUFloatPos(0, 0),
      m_bDitherLast(FALSE), m_nDockTarget(0)
{
    m_rectMRUDockPos.SetRectEmpty();
}

void CDockContext::ToggleDocking()
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (m_pDockSite == NULL)
        return;
    if (m_pBar->IsFloating()) {
        UINT nID = m_uMRUDockID != 0 ? m_uMRUDockID : AFX_IDW_DOCKBAR_TOP;
        m_pDockSite->DockControlBar(m_pBar, nID, m_rectMRUDockPos.IsRectEmpty() ? NULL : &m_rectMRUDockPos);
    } else {
        m_pDockSite->FloatControlBar(m_pBar, m_ptMRUFloatPos, CBRS_ALIGN_TOP);
    }
}

void CDockContext::StartDrag(CPoint pt)
{
    m_pDockSite = m_pBar->m_pDockSite;
    if (m_pDockSite == NULL)
        return;

    // The bar's three shapes: floating (one row in a tool window), docked
    // on the top or bottom, docked on the left or right. Asking for them
    // lays the bar out; it is laid out again as it is now afterwards.
    CRect rectNow;
    CWnd* pMoved = m_pBar;
    if (m_pBar->IsFloating())
        pMoved = m_pBar->m_pDockBar->GetParent();
    pMoved->GetWindowRect(&rectNow);

    CSize sizeFloat = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    CRect rectFloat(0, 0, sizeFloat.cx, sizeFloat.cy);
    ::AdjustWindowRectEx(&rectFloat, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_TOOLWINDOW);
    m_sizeHorz = rectFloat.Size();
    m_sizeVert = m_pBar->CalcDynamicLayout(-1, LM_VERTDOCK);
    m_sizeDockHorz = m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    if (m_pBar->IsFloating())
        m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    else if (m_pBar->m_dwStyle & CBRS_ORIENT_HORZ)
        m_pBar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK);
    else
        m_pBar->CalcDynamicLayout(-1, LM_VERTDOCK);

    // The pointer keeps its place in the floating frame (within it).
    m_ptOffset.x = std::min<LONG>(std::max<LONG>(pt.x - rectNow.left, 0), m_sizeHorz.cx - 1);
    m_ptOffset.y = std::min<LONG>(std::max<LONG>(pt.y - rectNow.top, 0), m_sizeHorz.cy - 1);
    m_ptStart = m_ptLast = pt;
    m_rectLast.SetRectEmpty();
    m_rectDrag.SetRectEmpty();
    m_nDockTarget = 0;
    Track();
}

UINT CDockContext::CanDock(CPoint pt) const
{
    if (m_pDockSite == NULL || m_pBar->m_dwDockStyle == 0)
        return 0;
    CRect client;
    m_pDockSite->GetClientRect(&client);
    m_pDockSite->ClientToScreen(&client);
    UINT nBest = 0;
    int nBestDistance = 0x7FFFFFFF;
    for (const auto& side : kDockBars) {
        if (!(m_pBar->m_dwDockStyle & side.dwStyle) || !(m_pDockSite->m_dwDockStyle & side.dwStyle))
            continue;
        CControlBar* pDockBar = m_pDockSite->GetControlBar(side.nID);
        if (pDockBar == NULL)
            continue;
        // The strip the side's dock bar covers (a line where it is empty),
        // widened by the margin both ways, along the whole frame.
        CRect rc;
        pDockBar->GetWindowRect(&rc);
        CRect zone;
        int distance;
        switch (side.dwStyle) {
        case CBRS_ALIGN_TOP:
            zone.SetRect(client.left, rc.top - DOCK_MARGIN, client.right, rc.bottom + DOCK_MARGIN);
            distance = std::abs(pt.y - rc.top);
            break;
        case CBRS_ALIGN_BOTTOM:
            zone.SetRect(client.left, rc.top - DOCK_MARGIN, client.right, rc.bottom + DOCK_MARGIN);
            distance = std::abs(pt.y - rc.bottom);
            break;
        case CBRS_ALIGN_LEFT:
            zone.SetRect(rc.left - DOCK_MARGIN, client.top, rc.right + DOCK_MARGIN, client.bottom);
            distance = std::abs(pt.x - rc.left);
            break;
        default:
            zone.SetRect(rc.left - DOCK_MARGIN, client.top, rc.right + DOCK_MARGIN, client.bottom);
            distance = std::abs(pt.x - rc.right);
            break;
        }
        if (zone.PtInRect(pt) && distance < nBestDistance) {
            nBest = side.nID;
            nBestDistance = distance;
        }
    }
    return nBest;
}

void CDockContext::Move(CPoint pt)
{
    m_ptLast = pt;
    m_nDockTarget = CanDock(pt);
    CRect rect;
    if (m_nDockTarget != 0) {
        // The docked shape, along the edge where it would go.
        CControlBar* pDockBar = m_pDockSite->GetControlBar(m_nDockTarget);
        CRect rc;
        pDockBar->GetWindowRect(&rc);
        BOOL bHorz = m_nDockTarget == AFX_IDW_DOCKBAR_TOP || m_nDockTarget == AFX_IDW_DOCKBAR_BOTTOM;
        CSize size = bHorz ? m_sizeDockHorz : m_sizeVert;
        if (bHorz)
            rect.SetRect(pt.x - m_ptOffset.x, rc.top, pt.x - m_ptOffset.x + size.cx, rc.top + size.cy);
        else
            rect.SetRect(rc.left, pt.y - m_ptOffset.y, rc.left + size.cx, pt.y - m_ptOffset.y + size.cy);
    } else {
        rect = CRect(CPoint(pt.x - m_ptOffset.x, pt.y - m_ptOffset.y), m_sizeHorz);
    }
    m_rectDrag = rect;
    DrawFocusRect();
}

void CDockContext::DrawFocusRect(BOOL bRemoveRect)
{
    // An inverted frame on the screen: thick while floating, thin where the
    // bar would dock. Drawing the same frame again removes it.
    HWND hDesktop = ::GetDesktopWindow();
    HDC hDC = ::GetDCEx(hDesktop, NULL, DCX_WINDOW | DCX_CACHE);
    if (hDC == NULL)
        return;
    HBRUSH hBrush = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    HGDIOBJ hOld = ::SelectObject(hDC, hBrush);
    auto frame = [hDC](const CRect& r, int w) {
        if (r.IsRectEmpty())
            return;
        ::PatBlt(hDC, r.left, r.top, r.Width(), w, PATINVERT);
        ::PatBlt(hDC, r.left, r.bottom - w, r.Width(), w, PATINVERT);
        ::PatBlt(hDC, r.left, r.top + w, w, r.Height() - 2 * w, PATINVERT);
        ::PatBlt(hDC, r.right - w, r.top + w, w, r.Height() - 2 * w, PATINVERT);
    };
    BOOL bDither = m_nDockTarget == 0;
    if (bRemoveRect) {
        frame(m_rectLast, m_bDitherLast ? 3 : 1);
        m_rectLast.SetRectEmpty();
    } else if (m_rectDrag != m_rectLast || bDither != m_bDitherLast) {
        frame(m_rectLast, m_bDitherLast ? 3 : 1);
        frame(m_rectDrag, bDither ? 3 : 1);
        m_rectLast = m_rectDrag;
        m_bDitherLast = bDither;
    }
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hDesktop, hDC);
}

BOOL CDockContext::Track()
{
    HWND hWnd = m_pBar->m_hWnd;
    ::SetCapture(hWnd);
    ::UpdateWindow(hWnd);
    Move(m_ptLast);
    BOOL bDone = FALSE;
    BOOL bCommit = FALSE;
    CPoint ptEnd = m_ptLast;
    while (!bDone && ::GetCapture() == hWnd) {
        MSG msg;
        if (!::GetMessageA(&msg, NULL, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP: {
            // The capture window's coordinates, on the screen.
            POINT p = {static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ::ClientToScreen(msg.hwnd, &p);
            if (msg.message == WM_MOUSEMOVE) {
                Move(CPoint(p));
            } else {
                ptEnd = CPoint(p);
                bCommit = TRUE;
                bDone = TRUE;
            }
            break;
        }
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                bDone = TRUE;
            break;
        case WM_RBUTTONDOWN:
            bDone = TRUE;
            break;
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
            break;
        }
    }
    DrawFocusRect(TRUE);
    if (::GetCapture() == hWnd)
        ::ReleaseCapture();
    if (bCommit)
        EndDrag(ptEnd);
    return bCommit;
}

void CDockContext::EndDrag(CPoint pt)
{
    // A move of a few pixels is a click, not a drag.
    if (std::abs(pt.x - m_ptStart.x) < ::GetSystemMetrics(SM_CXDRAG) &&
        std::abs(pt.y - m_ptStart.y) < ::GetSystemMetrics(SM_CYDRAG))
        return;
    m_nDockTarget = CanDock(pt);
    if (m_nDockTarget != 0) {
        if (m_pBar->m_pDockBar != NULL && !m_pBar->IsFloating() &&
            static_cast<UINT>(m_pBar->m_pDockBar->GetDlgCtrlID()) == m_nDockTarget) {
            m_pDockSite->RecalcLayout();
            return;
        }
        CRect rect(pt, CSize(1, 1));
        m_pDockSite->DockControlBar(m_pBar, m_nDockTarget, &rect);
    } else {
        m_pDockSite->FloatControlBar(m_pBar, CPoint(pt.x - m_ptOffset.x, pt.y - m_ptOffset.y), CBRS_ALIGN_TOP);
    }
}

// ---------------------------------------------------------------------------
// The frame's side

void CFrameWnd::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle;
    for (const auto& side : kDockBars) {
        if (!(dwDockStyle & side.dwStyle) || GetControlBar(side.nID) != NULL)
            continue;
        CDockBar* pDock = new CDockBar;
        pDock->m_bAutoDelete = TRUE;
        if (!pDock->Create(this, WS_CHILD | WS_VISIBLE | side.dwStyle, side.nID)) {
            delete pDock;
            AfxThrowResourceException();
        }
    }
}

void CFrameWnd::DockControlBar(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect)
{
    CDockBar* pDockBar = NULL;
    if (nDockBarID != 0)
        pDockBar = dynamic_cast<CDockBar*>(GetControlBar(nDockBarID));
    if (pDockBar == NULL) {
        // The side the bar is aligned to, else the first it may dock on.
        for (const auto& side : kDockBars)
            if ((pBar->m_dwStyle & CBRS_ALIGN_ANY) == side.dwStyle &&
                (pDockBar = dynamic_cast<CDockBar*>(GetControlBar(side.nID))) != NULL)
                break;
    }
    if (pDockBar == NULL) {
        for (const auto& side : kDockBars)
            if ((pBar->m_dwDockStyle & side.dwStyle) &&
                (pDockBar = dynamic_cast<CDockBar*>(GetControlBar(side.nID))) != NULL)
                break;
    }
    if (pDockBar == NULL)
        return;
    pBar->m_pDockSite = this;
    if (pBar->m_pDockContext != NULL)
        pBar->m_pDockContext->m_pDockSite = this;
    pDockBar->DockControlBar(pBar, lpRect);
    RecalcLayout();
}

void CFrameWnd::FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle)
{
    if (CDockContext* pContext = pBar->m_pDockContext) {
        pContext->m_ptMRUFloatPos = point;
        if (pBar->m_pDockBar != NULL && !pBar->IsFloating()) {
            pContext->m_uMRUDockID = static_cast<UINT>(pBar->m_pDockBar->GetDlgCtrlID());
            pBar->GetWindowRect(&pContext->m_rectMRUDockPos);
        }
    }
    if (pBar->IsFloating()) {
        CWnd* pMini = pBar->m_pDockBar->GetParent();
        ::SetWindowPos(pMini->m_hWnd, NULL, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    CMiniDockFrameWnd* pFrame = new CMiniDockFrameWnd;
    if (!pFrame->Create(this, dwStyle)) {
        delete pFrame;
        AfxThrowResourceException();
    }
    pBar->m_pDockSite = this;
    pFrame->m_wndDockBar.DockControlBar(pBar, NULL);
    pFrame->RecalcLayout();
    ::SetWindowPos(pFrame->m_hWnd, NULL, point.x, point.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (pBar->GetStyle() & WS_VISIBLE)
        pFrame->ShowWindow(SW_SHOWNA);
    pFrame->UpdateWindow();
    RecalcLayout();
}

void CFrameWnd::ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay)
{
    if (bDelay && !pBar->IsFloating()) {
        pBar->DelayShow(bShow);
        DelayRecalcLayout();
        return;
    }
    pBar->m_nStateFlags &= ~(CControlBar::delayHide | CControlBar::delayShow);
    ::SetWindowPos(pBar->m_hWnd, NULL, 0, 0, 0, 0,
                   SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE |
                       (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    if (pBar->IsFloating()) {
        // The floating frame shows while it has a visible bar.
        CMiniDockFrameWnd* pMini = static_cast<CMiniDockFrameWnd*>(pBar->m_pDockBar->GetParent());
        if (pBar->m_pDockBar->GetDockedVisibleCount() > 0) {
            pMini->RecalcLayout();
            pMini->ShowWindow(SW_SHOWNA);
        } else {
            pMini->ShowWindow(SW_HIDE);
        }
    }
    RecalcLayout();
}

CControlBar* CFrameWnd::GetControlBar(UINT nID)
{
    if (nID == 0)
        return NULL;
    for (CControlBar* pBar : m_listControlBars)
        if (pBar->m_hWnd != NULL && static_cast<UINT>(pBar->GetDlgCtrlID()) == nID)
            return pBar;
    return NULL;
}

BOOL CFrameWnd::OnBarCheck(UINT nID)
{
    CControlBar* pBar = GetControlBar(nID);
    if (pBar == NULL)
        return FALSE;
    ShowControlBar(pBar, (pBar->GetStyle() & WS_VISIBLE) == 0, FALSE);
    return TRUE;
}

void CFrameWnd::OnUpdateControlBarMenu(CCmdUI* pCmdUI)
{
    CControlBar* pBar = GetControlBar(pCmdUI->m_nID);
    if (pBar == NULL) {
        pCmdUI->m_bContinueRouting = TRUE;
        return;
    }
    pCmdUI->SetCheck((pBar->GetStyle() & WS_VISIBLE) != 0);
}

void CFrameWnd::OnUpdateKeyIndicator(CCmdUI* pCmdUI)
{
    UINT nVK;
    switch (pCmdUI->m_nID) {
    case ID_INDICATOR_CAPS: nVK = VK_CAPITAL; break;
    case ID_INDICATOR_NUM: nVK = VK_NUMLOCK; break;
    case ID_INDICATOR_SCRL: nVK = VK_SCROLL; break;
    default:
        pCmdUI->m_bContinueRouting = TRUE;
        return;
    }
    // The low bit is the key's toggle state.
    pCmdUI->Enable(::GetKeyState(static_cast<int>(nVK)) & 1);
}
