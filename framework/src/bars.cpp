// bars.cpp - control bars: CControlBar (bar styles, borders and gripper,
// layout through WM_SIZEPARENT, idle command updates), CToolBar over
// comctl32's toolbar (resource and bitmap, button states, tooltips, fly-by
// prompts) and CStatusBar over comctl32's status bar (panes, indicators).
#include "afximpl.h"
#include "afxext.h"
#include <algorithm>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

namespace {

// Gripper: a raised line 3 pixels wide with 2 pixels either side; borders
// 2 pixels (a 3D edge).
const int CX_GRIPPER = 3;
const int CX_BORDER_GRIPPER = 2;
const int CX_BORDER = 2;

// The frame a bar reports to: its dock site, else its owner or parent
// when that is a frame.
CFrameWnd* TargetFrame(const CControlBar* pBar)
{
    if (pBar->m_pDockSite != NULL)
        return pBar->m_pDockSite;
    return dynamic_cast<CFrameWnd*>(pBar->GetOwner());
}

} // namespace

// ---------------------------------------------------------------------------
// CControlBar

BEGIN_MESSAGE_MAP(CControlBar, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSize)
    ON_MESSAGE(WM_NCPAINT, OnNcPaint)
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
END_MESSAGE_MAP()

CControlBar::CControlBar()
    : m_dwStyle(0), m_dwDockStyle(0), m_pDockSite(NULL), m_pDockBar(NULL), m_pDockContext(NULL),
      m_bAutoDelete(FALSE), m_cxLeftBorder(6), m_cxRightBorder(6), m_cyTopBorder(1), m_cyBottomBorder(1),
      m_cxDefaultGap(2), m_nMRUWidth(32767), m_nStateFlags(0)
{
}

CControlBar::~CControlBar()
{
    // The window goes first (its OnDestroy leaves the frame's list).
    if (m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    delete m_pDockContext;
    m_pDockContext = NULL;
}

void CControlBar::SetBarStyle(DWORD dwStyle)
{
    if (m_dwStyle != dwStyle) {
        DWORD dwOld = m_dwStyle;
        m_dwStyle = dwStyle;
        if (m_hWnd != NULL && ((dwOld ^ dwStyle) & (CBRS_BORDER_ANY | CBRS_GRIPPER | CBRS_ALIGN_ANY | CBRS_FLOATING)))
            ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
}

void CControlBar::EnableDocking(DWORD dwDockStyle)
{
    m_dwDockStyle = dwDockStyle & CBRS_ALIGN_ANY;
    if (m_pDockContext == NULL && m_dwDockStyle != 0)
        m_pDockContext = new CDockContext(this);
    if (m_pDockContext != NULL)
        m_pDockContext->m_pDockSite = m_pDockSite;
    if (m_dwDockStyle == 0) {
        delete m_pDockContext;
        m_pDockContext = NULL;
    }
}

CFrameWnd* CControlBar::GetDockingFrame() const
{
    return m_pDockSite;
}

BOOL CControlBar::IsFloating() const
{
    return m_pDockBar != NULL && m_pDockBar->m_bFloating;
}

BOOL CControlBar::IsVisible() const
{
    if (m_nStateFlags & delayHide)
        return FALSE;
    return (m_nStateFlags & delayShow) || (m_hWnd != NULL && (GetStyle() & WS_VISIBLE));
}

void CControlBar::DelayShow(BOOL bShow)
{
    m_nStateFlags &= ~(delayHide | delayShow);
    if (bShow && !(GetStyle() & WS_VISIBLE))
        m_nStateFlags |= delayShow;
    else if (!bShow && (GetStyle() & WS_VISIBLE))
        m_nStateFlags |= delayHide;
}

DWORD CControlBar::RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout)
{
    DWORD dwStyle = (GetStyle() & WS_VISIBLE) | (m_dwStyle & CBRS_ALL);
    if (m_nStateFlags & (delayHide | delayShow)) {
        BOOL bShow = (m_nStateFlags & delayShow) != 0;
        m_nStateFlags &= ~(delayHide | delayShow);
        UINT flags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                     (bShow ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
        if (lpLayout != NULL && lpLayout->hDWP != NULL)
            lpLayout->hDWP = ::DeferWindowPos(lpLayout->hDWP, m_hWnd, NULL, 0, 0, 0, 0, flags);
        else
            ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, flags);
        dwStyle = (bShow ? WS_VISIBLE : 0) | (m_dwStyle & CBRS_ALL);
    }
    return dwStyle;
}

BOOL CControlBar::IsHorzLayout() const
{
    return (m_dwStyle & CBRS_FLOATING) || (m_dwStyle & CBRS_ORIENT_HORZ) || !(m_dwStyle & CBRS_ORIENT_VERT);
}

void CControlBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    DWORD dwStyle = m_dwStyle;
    if (!(dwStyle & CBRS_FLOATING)) {
        if (dwStyle & CBRS_BORDER_LEFT)
            rect.left += CX_BORDER;
        if (dwStyle & CBRS_BORDER_TOP)
            rect.top += CX_BORDER;
        if (dwStyle & CBRS_BORDER_RIGHT)
            rect.right -= CX_BORDER;
        if (dwStyle & CBRS_BORDER_BOTTOM)
            rect.bottom -= CX_BORDER;
    }
    BOOL bGripper = (dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) == CBRS_GRIPPER;
    if (bHorz) {
        rect.left += m_cxLeftBorder;
        rect.top += m_cyTopBorder;
        rect.right -= m_cxRightBorder;
        rect.bottom -= m_cyBottomBorder;
        if (bGripper)
            rect.left += CX_BORDER_GRIPPER + CX_GRIPPER + CX_BORDER_GRIPPER;
    } else {
        rect.left += m_cyTopBorder;
        rect.top += m_cxLeftBorder;
        rect.right -= m_cyBottomBorder;
        rect.bottom -= m_cxRightBorder;
        if (bGripper)
            rect.top += CX_BORDER_GRIPPER + CX_GRIPPER + CX_BORDER_GRIPPER;
    }
}

CSize CControlBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size;
    size.cx = (bStretch && bHorz) ? 32767 : 0;
    size.cy = (bStretch && !bHorz) ? 32767 : 0;
    return size;
}

CSize CControlBar::CalcDynamicLayout(int, DWORD dwMode)
{
    return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZ) != 0);
}

int CControlBar::HitTestItem(CPoint) const
{
    return -1;
}

int CControlBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // A bar created in a frame belongs to it; a dock bar's bars were
    // created in the frame before they moved in.
    if (m_pDockSite == NULL) {
        CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(lpcs->hwndParent));
        if (pFrame != NULL) {
            m_pDockSite = pFrame;
            std::vector<CControlBar*>& bars = pFrame->m_listControlBars;
            if (std::find(bars.begin(), bars.end(), this) == bars.end())
                bars.push_back(this);
        }
    }
    return 0;
}

void CControlBar::OnDestroy()
{
    if (m_pDockSite != NULL) {
        std::vector<CControlBar*>& bars = m_pDockSite->m_listControlBars;
        bars.erase(std::remove(bars.begin(), bars.end(), this), bars.end());
    }
    if (m_pDockBar != NULL && m_pDockBar != this) {
        // The dock bar may be going too; leave its list either way.
        std::vector<CControlBar*>& docked = m_pDockBar->m_arrBars;
        docked.erase(std::remove(docked.begin(), docked.end(), this), docked.end());
        m_pDockBar = NULL;
    }
    CWnd::OnDestroy();
}

void CControlBar::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

void CControlBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    // A press on no item (the gripper, the space between buttons) drags
    // the bar; on an item it goes to the control.
    if (m_pDockContext != NULL && m_pDockSite != NULL && HitTestItem(point) < 0) {
        ClientToScreen(&point);
        m_pDockContext->StartDrag(point);
        return;
    }
    (void)nFlags;
    Default();
}

LRESULT CControlBar::OnSizeParent(WPARAM, LPARAM lParam)
{
    AFX_SIZEPARENTPARAMS* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    DWORD dwStyle = RecalcDelayShow(lpLayout);
    if ((dwStyle & WS_VISIBLE) && (dwStyle & CBRS_ALIGN_ANY) != 0) {
        CRect rect(lpLayout->rect);
        CSize sizeAvail = rect.Size();
        DWORD dwMode = lpLayout->bStretch ? LM_STRETCH : 0;
        if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
            dwMode |= LM_HORZ | LM_MRUWIDTH;
        else if (dwStyle & CBRS_ORIENT_HORZ)
            dwMode |= LM_HORZ | LM_HORZDOCK;
        else
            dwMode |= LM_VERTDOCK;
        CSize size = CalcDynamicLayout(-1, dwMode);
        size.cx = std::min<LONG>(size.cx, sizeAvail.cx);
        size.cy = std::min<LONG>(size.cy, sizeAvail.cy);

        if (dwStyle & CBRS_ORIENT_HORZ) {
            lpLayout->sizeTotal.cy += size.cy;
            lpLayout->sizeTotal.cx = std::max<LONG>(lpLayout->sizeTotal.cx, size.cx);
            if (dwStyle & CBRS_ALIGN_TOP) {
                lpLayout->rect.top += size.cy;
            } else if (dwStyle & CBRS_ALIGN_BOTTOM) {
                rect.top = rect.bottom - size.cy;
                lpLayout->rect.bottom -= size.cy;
            }
        } else if (dwStyle & CBRS_ORIENT_VERT) {
            lpLayout->sizeTotal.cx += size.cx;
            lpLayout->sizeTotal.cy = std::max<LONG>(lpLayout->sizeTotal.cy, size.cy);
            if (dwStyle & CBRS_ALIGN_LEFT) {
                lpLayout->rect.left += size.cx;
            } else if (dwStyle & CBRS_ALIGN_RIGHT) {
                rect.left = rect.right - size.cx;
                lpLayout->rect.right -= size.cx;
            }
        }
        rect.right = rect.left + size.cx;
        rect.bottom = rect.top + size.cy;
        if (lpLayout->hDWP != NULL)
            AfxRepositionWindow(lpLayout, m_hWnd, &rect);
    }
    return 0;
}

LRESULT CControlBar::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
{
    if (GetStyle() & WS_VISIBLE) {
        CFrameWnd* pTarget = TargetFrame(this);
        if (pTarget != NULL)
            OnUpdateCmdUI(pTarget, static_cast<BOOL>(wParam));
    }
    return 0L;
}

LRESULT CControlBar::OnNcCalcSize(WPARAM, LPARAM lParam)
{
    // The borders and the gripper are the non-client area; the control
    // underneath sees only the inside.
    RECT* prc = reinterpret_cast<RECT*>(lParam);
    CRect inset(0, 0, 0, 0);
    CalcInsideRect(inset, IsHorzLayout());
    prc->left += inset.left;
    prc->top += inset.top;
    prc->right += inset.right;
    prc->bottom += inset.bottom;
    if (prc->right < prc->left)
        prc->right = prc->left;
    if (prc->bottom < prc->top)
        prc->bottom = prc->top;
    return 0;
}

LRESULT CControlBar::OnNcPaint(WPARAM, LPARAM)
{
    CRect rcWindow, rcClient;
    GetWindowRect(&rcWindow);
    GetClientRect(&rcClient);
    ClientToScreen(&rcClient);
    rcClient.OffsetRect(-rcWindow.left, -rcWindow.top);
    rcWindow.OffsetRect(-rcWindow.left, -rcWindow.top);

    HDC hDC = ::GetWindowDC(m_hWnd);
    if (hDC == NULL)
        return 0;
    ::ExcludeClipRect(hDC, rcClient.left, rcClient.top, rcClient.right, rcClient.bottom);
    CDC* pDC = CDC::FromHandle(hDC);
    pDC->FillSolidRect(&rcWindow, ::GetSysColor(COLOR_BTNFACE));
    DrawBorders(pDC, rcWindow);
    DrawGripper(pDC, rcWindow);
    ::ReleaseDC(m_hWnd, hDC);
    AfxDeleteTempDC(hDC);
    return 0;
}

LRESULT CControlBar::OnNcHitTest(WPARAM, LPARAM)
{
    // The whole bar is "client": a press on the gripper reaches
    // OnLButtonDown, which starts the drag.
    return HTCLIENT;
}

void CControlBar::DrawBorders(CDC* pDC, CRect& rect)
{
    if (m_dwStyle & CBRS_FLOATING)
        return;
    DWORD dwStyle = m_dwStyle & CBRS_BORDER_ANY;
    HDC hDC = pDC->m_hDC;
    COLORREF clrHi = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    // A 3D etched line on each bordered side: shadow outside, highlight in.
    auto line = [&](int x, int y, int cx, int cy, COLORREF clr) {
        CRect r(x, y, x + cx, y + cy);
        pDC->FillSolidRect(&r, clr);
    };
    (void)hDC;
    if (dwStyle & CBRS_BORDER_TOP) {
        line(rect.left, rect.top, rect.Width(), 1, clrShadow);
        line(rect.left, rect.top + 1, rect.Width(), 1, clrHi);
    }
    if (dwStyle & CBRS_BORDER_BOTTOM) {
        line(rect.left, rect.bottom - 2, rect.Width(), 1, clrShadow);
        line(rect.left, rect.bottom - 1, rect.Width(), 1, clrHi);
    }
    if (dwStyle & CBRS_BORDER_LEFT) {
        line(rect.left, rect.top, 1, rect.Height(), clrShadow);
        line(rect.left + 1, rect.top, 1, rect.Height(), clrHi);
    }
    if (dwStyle & CBRS_BORDER_RIGHT) {
        line(rect.right - 2, rect.top, 1, rect.Height(), clrShadow);
        line(rect.right - 1, rect.top, 1, rect.Height(), clrHi);
    }
}

void CControlBar::DrawGripper(CDC* pDC, const CRect& rectWindow)
{
    if ((m_dwStyle & (CBRS_GRIPPER | CBRS_FLOATING)) != CBRS_GRIPPER)
        return;
    CRect rect(rectWindow);
    if (m_dwStyle & CBRS_BORDER_LEFT)
        rect.left += CX_BORDER;
    if (m_dwStyle & CBRS_BORDER_TOP)
        rect.top += CX_BORDER;
    if (m_dwStyle & CBRS_BORDER_RIGHT)
        rect.right -= CX_BORDER;
    if (m_dwStyle & CBRS_BORDER_BOTTOM)
        rect.bottom -= CX_BORDER;
    COLORREF clrHi = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    CRect grip;
    if (IsHorzLayout()) {
        grip.SetRect(rect.left + m_cxLeftBorder + CX_BORDER_GRIPPER, rect.top + m_cyTopBorder + 1,
                     rect.left + m_cxLeftBorder + CX_BORDER_GRIPPER + CX_GRIPPER,
                     rect.bottom - m_cyBottomBorder - 1);
    } else {
        grip.SetRect(rect.left + m_cyTopBorder + 1, rect.top + m_cxLeftBorder + CX_BORDER_GRIPPER,
                     rect.right - m_cyBottomBorder - 1,
                     rect.top + m_cxLeftBorder + CX_BORDER_GRIPPER + CX_GRIPPER);
    }
    // Raised: highlight on the top and left, shadow on the bottom and right.
    CRect r;
    r.SetRect(grip.left, grip.top, grip.right, grip.top + 1);
    pDC->FillSolidRect(&r, clrHi);
    r.SetRect(grip.left, grip.top, grip.left + 1, grip.bottom);
    pDC->FillSolidRect(&r, clrHi);
    r.SetRect(grip.left, grip.bottom - 1, grip.right, grip.bottom);
    pDC->FillSolidRect(&r, clrShadow);
    r.SetRect(grip.right - 1, grip.top, grip.right, grip.bottom);
    pDC->FillSolidRect(&r, clrShadow);
}

// ---------------------------------------------------------------------------
// CToolBar

namespace {

// The state of a toolbar button while its command's update handler runs.
class CToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override
    {
        m_bEnableChanged = TRUE;
        HWND hWnd = m_pOther->m_hWnd;
        BOOL bEnabled = ::SendMessageA(hWnd, TB_ISBUTTONENABLED, m_nID, 0) != 0;
        if (bEnabled != (bOn != FALSE))
            ::SendMessageA(hWnd, TB_ENABLEBUTTON, m_nID, MAKELPARAM(bOn ? TRUE : FALSE, 0));
    }
    void SetCheck(int nCheck = 1) override
    {
        HWND hWnd = m_pOther->m_hWnd;
        BOOL bChecked = ::SendMessageA(hWnd, TB_ISBUTTONCHECKED, m_nID, 0) != 0;
        if (bChecked != (nCheck != 0))
            ::SendMessageA(hWnd, TB_CHECKBUTTON, m_nID, MAKELPARAM(nCheck != 0, 0));
    }
    void SetText(LPCSTR) override {}   // buttons show no text
};

struct ToolBarResource {
    WORD wVersion;
    WORD wWidth;
    WORD wHeight;
    WORD wItemCount;
    // WORD aItems[wItemCount]
};

} // namespace

BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_MOUSEMOVE()
    ON_MESSAGE(WM_MOUSELEAVE, OnMouseLeave)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
END_MESSAGE_MAP()

CToolBar::CToolBar()
    : m_sizeButton(23, 22), m_sizeImage(16, 15), m_hbmImageWell(NULL), m_nFlybyID(0), m_bTrackingLeave(FALSE)
{
    m_cxLeftBorder = m_cxRightBorder = 1;
    m_cyTopBorder = m_cyBottomBorder = 1;
}

CToolBar::~CToolBar()
{
    if (m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    if (m_hbmImageWell != NULL)
        ::DeleteObject(m_hbmImageWell);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder),
                    nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders, UINT nID)
{
    SetBorders(&rcBorders);
    m_dwStyle = dwStyle & CBRS_ALL;
    if (m_dwStyle & CBRS_TOOLTIPS)
        dwCtrlStyle |= TBSTYLE_TOOLTIPS;
    // The control neither sizes nor places itself: the layout does.
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle |
                       CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);

    CRect rect(0, 0, 0, 0);
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, NULL, dwWndStyle | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(m_sizeImage.cx, m_sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(m_sizeButton.cx, m_sizeButton.cy));
    // Commands and notifications go to the frame wherever the bar docks.
    SetOwner(pParentWnd);
    SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(pParentWnd->GetSafeHwnd()), 0);
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (m_hWnd != NULL) {
        SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
        SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
        Invalidate();
    }
}

BOOL CToolBar::LoadToolBar(LPCSTR lpszResourceName)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRsrc = ::FindResourceA(hInst, lpszResourceName, RT_TOOLBAR);
    if (hRsrc == NULL)
        return FALSE;
    HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
    DWORD cb = ::SizeofResource(hInst, hRsrc);
    const ToolBarResource* pData = hGlobal ? static_cast<const ToolBarResource*>(::LockResource(hGlobal)) : NULL;
    if (pData == NULL || cb < sizeof(ToolBarResource) || pData->wVersion != 1 ||
        cb < sizeof(ToolBarResource) + pData->wItemCount * sizeof(WORD))
        return FALSE;

    const WORD* pItems = reinterpret_cast<const WORD*>(pData + 1);
    std::vector<UINT> ids(pData->wItemCount);
    for (int i = 0; i < pData->wItemCount; ++i)
        ids[i] = pItems[i];
    BOOL bResult = SetButtons(ids.data(), pData->wItemCount);
    if (bResult) {
        CSize sizeImage(pData->wWidth, pData->wHeight);
        CSize sizeButton(pData->wWidth + 7, pData->wHeight + 7);
        SetSizes(sizeButton, sizeImage);
        bResult = LoadBitmap(lpszResourceName);
    }
    return bResult;
}

BOOL CToolBar::LoadBitmap(LPCSTR lpszResourceName)
{
    // The images' light grey ground becomes the button face (the 3D
    // colours of the palette are mapped to the system's).
    HBITMAP hbm = static_cast<HBITMAP>(::LoadImageA(AfxGetResourceHandle(), lpszResourceName, IMAGE_BITMAP, 0, 0,
                                                    LR_LOADMAP3DCOLORS));
    if (hbm == NULL)
        return FALSE;
    BITMAP bm = {};
    ::GetObjectA(hbm, sizeof(bm), &bm);
    int nImages = m_sizeImage.cx > 0 ? bm.bmWidth / m_sizeImage.cx : 0;
    TBADDBITMAP tbab = {NULL, reinterpret_cast<UINT_PTR>(hbm)};
    if (m_hbmImageWell != NULL) {
        TBREPLACEBITMAP tbrb = {NULL, reinterpret_cast<UINT_PTR>(m_hbmImageWell), NULL,
                                reinterpret_cast<UINT_PTR>(hbm), nImages};
        if (!SendMessage(TB_REPLACEBITMAP, 0, reinterpret_cast<LPARAM>(&tbrb))) {
            ::DeleteObject(hbm);
            return FALSE;
        }
        ::DeleteObject(m_hbmImageWell);
    } else if (SendMessage(TB_ADDBITMAP, nImages, reinterpret_cast<LPARAM>(&tbab)) == -1) {
        ::DeleteObject(hbm);
        return FALSE;
    }
    m_hbmImageWell = hbm;
    Invalidate();
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    // Remove what is there, then add the items: each button takes the next
    // image, a separator none.
    for (int n = GetCount(); n > 0; --n)
        SendMessage(TB_DELETEBUTTON, n - 1, 0);
    std::vector<TBBUTTON> buttons(nIDCount);
    int iImage = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON& b = buttons[i];
        b = TBBUTTON();
        b.fsState = TBSTATE_ENABLED;
        if (lpIDArray == NULL || lpIDArray[i] == ID_SEPARATOR) {
            b.fsStyle = TBSTYLE_SEP;
            b.idCommand = 0;
            b.iBitmap = 8;   // separator width
        } else {
            b.fsStyle = TBSTYLE_BUTTON;
            b.idCommand = static_cast<int>(lpIDArray[i]);
            b.iBitmap = iImage++;
        }
    }
    if (nIDCount > 0 && !SendMessage(TB_ADDBUTTONSA, nIDCount, reinterpret_cast<LPARAM>(buttons.data())))
        return FALSE;
    return TRUE;
}

int CToolBar::GetCount() const
{
    return m_hWnd ? static_cast<int>(::SendMessageA(m_hWnd, TB_BUTTONCOUNT, 0, 0)) : 0;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (GetItemID(i) == nIDFind)
            return i;
    return -1;
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON b = {};
    if (!::SendMessageA(m_hWnd, TB_GETBUTTON, nIndex, reinterpret_cast<LPARAM>(&b)))
        return 0;
    return (b.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : static_cast<UINT>(b.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!::SendMessageA(m_hWnd, TB_GETITEMRECT, nIndex, reinterpret_cast<LPARAM>(lpRect)))
        ::SetRectEmpty(lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON b = {};
    if (!::SendMessageA(m_hWnd, TB_GETBUTTON, nIndex, reinterpret_cast<LPARAM>(&b)))
        return 0;
    return MAKELONG(b.fsStyle, b.fsState);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    TBBUTTONINFOA info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE;
    info.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    info.fsState = static_cast<BYTE>(HIWORD(nStyle));
    SendMessage(TB_SETBUTTONINFOA, nIndex, reinterpret_cast<LPARAM>(&info));
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    TBBUTTON b = {};
    ::SendMessageA(m_hWnd, TB_GETBUTTON, nIndex, reinterpret_cast<LPARAM>(&b));
    nID = (b.fsStyle & TBSTYLE_SEP) ? ID_SEPARATOR : static_cast<UINT>(b.idCommand);
    nStyle = MAKELONG(b.fsStyle, b.fsState);
    iImage = b.iBitmap;
}

int CToolBar::HitTestItem(CPoint point) const
{
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        TBBUTTON b = {};
        ::SendMessageA(m_hWnd, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        if (b.fsStyle & TBSTYLE_SEP)
            continue;
        CRect rect;
        GetItemRect(i, &rect);
        if (rect.PtInRect(point))
            return i;
    }
    return -1;
}

CSize CToolBar::CalcLayout(BOOL bHorz)
{
    // One row: no item wraps. One column: every item ends its row.
    int n = GetCount();
    for (int i = 0; i < n; ++i) {
        TBBUTTON b = {};
        SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        BYTE state = bHorz ? static_cast<BYTE>(b.fsState & ~TBSTATE_WRAP) : static_cast<BYTE>(b.fsState | TBSTATE_WRAP);
        if (state == b.fsState)
            continue;
        // By index: separators have no id to address them by.
        TBBUTTONINFOA info = {};
        info.cbSize = sizeof(info);
        info.dwMask = TBIF_BYINDEX | TBIF_STATE;
        info.fsState = state;
        SendMessage(TB_SETBUTTONINFOA, i, reinterpret_cast<LPARAM>(&info));
    }
    CRect extent(0, 0, 0, 0);
    for (int i = 0; i < n; ++i) {
        CRect rect;
        GetItemRect(i, &rect);
        if (!rect.IsRectEmpty())
            ::UnionRect(&extent, &extent, &rect);
    }
    if (n == 0)
        extent.SetRect(0, 0, bHorz ? 0 : m_sizeButton.cx, bHorz ? m_sizeButton.cy : 0);
    CSize size(extent.right + std::max<LONG>(extent.left, 0), extent.bottom + std::max<LONG>(extent.top, 0));
    // A horizontal bar is one button high, a vertical one button wide.
    if (bHorz)
        size.cy = std::max<LONG>(size.cy, m_sizeButton.cy);
    else
        size.cx = std::max<LONG>(size.cx, m_sizeButton.cx);

    CRect inset(0, 0, 0, 0);
    CalcInsideRect(inset, bHorz);
    size.cx += inset.left - inset.right;
    size.cy += inset.top - inset.bottom;
    return size;
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize size = CalcLayout(bHorz);
    if (bStretch) {
        if (bHorz)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

CSize CToolBar::CalcDynamicLayout(int, DWORD dwMode)
{
    if (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) {
        // Docked: one row or one column, as long as the buttons need (the
        // dock bar, not the toolbar, spans the frame).
        return CalcLayout((dwMode & LM_HORZDOCK) != 0);
    }
    return CalcLayout((dwMode & LM_HORZ) != 0);
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        TBBUTTON b = {};
        SendMessage(TB_GETBUTTON, state.m_nIndex, reinterpret_cast<LPARAM>(&b));
        if (b.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nID = static_cast<UINT>(b.idCommand);
        // The bar itself may have update handlers; the frame's come next.
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, NULL))
            continue;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

void CToolBar::SetFlyby(UINT nID)
{
    if (nID == m_nFlybyID)
        return;
    m_nFlybyID = nID;
    CFrameWnd* pFrame = TargetFrame(this);
    if (pFrame != NULL && pFrame->m_hWnd != NULL)
        pFrame->SendMessage(WM_SETMESSAGESTRING, nID != 0 ? nID : AFX_IDS_IDLEMESSAGE, 0);
}

void CToolBar::OnMouseMove(UINT nFlags, CPoint point)
{
    Default();
    (void)nFlags;
    if (!(m_dwStyle & CBRS_FLYBY))
        return;
    int nHit = HitTestItem(point);
    SetFlyby(nHit >= 0 ? GetItemID(nHit) : 0);
    if (!m_bTrackingLeave) {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, m_hWnd, 0};
        m_bTrackingLeave = ::TrackMouseEvent(&tme);
    }
}

LRESULT CToolBar::OnMouseLeave(WPARAM, LPARAM)
{
    m_bTrackingLeave = FALSE;
    LRESULT lResult = Default();
    SetFlyby(0);
    return lResult;
}

BOOL CToolBar::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    // The tooltip is the part of the command's prompt after the newline.
    UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    if (nID == 0)
        return FALSE;
    CString strPrompt;
    if (!strPrompt.LoadString(nID))
        return FALSE;
    int nl = strPrompt.Find('\n');
    CString strTip = nl >= 0 ? strPrompt.Mid(nl + 1) : CString();
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        NMTTDISPINFOA* pTTT = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
        ::lstrcpynA(pTTT->szText, strTip, static_cast<int>(sizeof(pTTT->szText)));
        pTTT->lpszText = pTTT->szText;
        pTTT->hinst = NULL;
    } else {
        NMTTDISPINFOW* pTTT = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
        int n = ::MultiByteToWideChar(CP_ACP, 0, strTip, -1, pTTT->szText,
                                      static_cast<int>(sizeof(pTTT->szText) / sizeof(WCHAR)));
        if (n == 0)
            pTTT->szText[0] = 0;
        pTTT->szText[sizeof(pTTT->szText) / sizeof(WCHAR) - 1] = 0;
        pTTT->lpszText = pTTT->szText;
        pTTT->hinst = NULL;
    }
    *pResult = 0;
    return TRUE;
}

// ---------------------------------------------------------------------------
// CStatusBar

namespace {

// The state of a status bar pane while its command's update handler runs:
// a disabled pane shows no text, a checked one is raised.
class CStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn = TRUE) override
    {
        m_bEnableChanged = TRUE;
        CStatusBar* pBar = static_cast<CStatusBar*>(m_pOther);
        UINT nOld = pBar->GetPaneStyle(static_cast<int>(m_nIndex));
        UINT nNew = nOld & ~SBPS_DISABLED;
        if (!bOn)
            nNew |= SBPS_DISABLED;
        if (nNew != nOld)
            pBar->SetPaneStyle(static_cast<int>(m_nIndex), nNew);
    }
    void SetCheck(int nCheck = 1) override
    {
        CStatusBar* pBar = static_cast<CStatusBar*>(m_pOther);
        UINT nOld = pBar->GetPaneStyle(static_cast<int>(m_nIndex));
        UINT nNew = nOld & ~SBPS_POPOUT;
        if (nCheck)
            nNew |= SBPS_POPOUT;
        if (nNew != nOld)
            pBar->SetPaneStyle(static_cast<int>(m_nIndex), nNew);
    }
    void SetText(LPCSTR lpszText) override
    {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
    }
};

} // namespace

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
END_MESSAGE_MAP()

CStatusBar::CStatusBar() : m_bSizeGrip(FALSE)
{
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar()
{
    if (m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    // The frame's own borders are the bar's; a size grip in a sizable frame.
    m_dwStyle &= ~CBRS_BORDER_ANY;
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | WS_CHILD |
                       CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
    m_bSizeGrip = pParentWnd != NULL && (pParentWnd->GetStyle() & WS_THICKFRAME);
    if (m_bSizeGrip)
        dwWndStyle |= SBARS_SIZEGRIP;

    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    CRect rect(0, 0, 0, 0);
    if (!CWnd::CreateEx(0, STATUSCLASSNAMEA, NULL, dwWndStyle, rect, pParentWnd, nID))
        return FALSE;
    SetOwner(pParentWnd);
    return TRUE;
}

HFONT CStatusBar::GetBarFont() const
{
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
    return hFont != NULL ? hFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    m_panes.assign(nIDCount, Pane());
    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ hOldFont = hDC ? ::SelectObject(hDC, GetBarFont()) : NULL;
    BOOL bResult = TRUE;
    for (int i = 0; i < nIDCount; ++i) {
        Pane& pane = m_panes[i];
        pane.nID = lpIDArray ? lpIDArray[i] : ID_SEPARATOR;
        pane.nStyle = SBPS_NORMAL;
        pane.cxText = 0;
        if (pane.nID != ID_SEPARATOR) {
            if (!pane.strText.LoadString(pane.nID)) {
                bResult = FALSE;
                continue;
            }
            SIZE size = {0, 0};
            if (hDC)
                ::GetTextExtentPoint32A(hDC, pane.strText, pane.strText.GetLength(), &size);
            pane.cxText = size.cx;
        } else if (i == 0) {
            // The message pane: borderless, it takes what the others leave.
            pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
        }
    }
    if (hDC) {
        ::SelectObject(hDC, hOldFont);
        ::ReleaseDC(m_hWnd, hDC);
    }
    UpdateAllPanes(TRUE, TRUE);
    return bResult;
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (m_hWnd == NULL)
        return;
    int n = static_cast<int>(m_panes.size());
    if (bUpdateRects) {
        // Right edges from the right: fixed panes take their text's width
        // plus their borders, the stretchy pane what is left.
        CRect rect;
        GetClientRect(&rect);
        int borders[3] = {0, 0, 0};
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        int cxGrip = (GetStyle() & SBARS_SIZEGRIP) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
        std::vector<int> edges(std::max(n, 1));
        int cxFixed = 0, nStretch = 0;
        for (int i = 0; i < n; ++i) {
            if (m_panes[i].nStyle & SBPS_STRETCH)
                ++nStretch;
            else
                cxFixed += m_panes[i].cxText + 2 * 3 + borders[2];
        }
        int cxStretch = std::max(0, rect.Width() - cxGrip - cxFixed - borders[0]);
        if (nStretch > 0)
            cxStretch /= nStretch;
        int x = borders[0];
        for (int i = 0; i < n; ++i) {
            if (m_panes[i].nStyle & SBPS_STRETCH)
                x += cxStretch;
            else
                x += m_panes[i].cxText + 2 * 3 + borders[2];
            edges[i] = x;
        }
        if (n > 0)
            edges[n - 1] = -1;   // the last pane reaches the grip
        else
            edges[0] = -1;
        SendMessage(SB_SETPARTS, std::max(n, 1), reinterpret_cast<LPARAM>(edges.data()));
    }
    if (bUpdateText) {
        for (int i = 0; i < n; ++i) {
            const Pane& pane = m_panes[i];
            UINT flags = pane.nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
            LPCSTR text = (pane.nStyle & SBPS_DISABLED) ? "" : static_cast<LPCSTR>(pane.strText);
            DefWindowProc(SB_SETTEXTA, static_cast<WPARAM>(i) | flags, reinterpret_cast<LPARAM>(text));
        }
    }
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].nID == nIDFind)
            return static_cast<int>(i);
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    return (nIndex >= 0 && nIndex < GetCount()) ? m_panes[nIndex].nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!::SendMessageA(m_hWnd, SB_GETRECT, nIndex, reinterpret_cast<LPARAM>(lpRect)))
        ::SetRectEmpty(lpRect);
}

void CStatusBar::GetPaneText(int nIndex, CString& rString) const
{
    rString = (nIndex >= 0 && nIndex < GetCount()) ? m_panes[nIndex].strText : CString();
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    CString s;
    GetPaneText(nIndex, s);
    return s;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    Pane& pane = m_panes[nIndex];
    CString text(lpszNewText ? lpszNewText : "");
    if (pane.strText == text)
        return TRUE;
    pane.strText = text;
    if (bUpdate && m_hWnd != NULL) {
        UINT flags = pane.nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
        LPCSTR shown = (pane.nStyle & SBPS_DISABLED) ? "" : static_cast<LPCSTR>(pane.strText);
        DefWindowProc(SB_SETTEXTA, static_cast<WPARAM>(nIndex) | flags, reinterpret_cast<LPARAM>(shown));
    }
    return TRUE;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    if (nIndex < 0 || nIndex >= GetCount()) {
        nID = 0;
        nStyle = 0;
        cxWidth = 0;
        return;
    }
    nID = m_panes[nIndex].nID;
    nStyle = m_panes[nIndex].nStyle;
    cxWidth = m_panes[nIndex].cxText;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    if (nIndex < 0 || nIndex >= GetCount())
        return;
    Pane& pane = m_panes[nIndex];
    BOOL bRects = pane.cxText != cxWidth || ((pane.nStyle ^ nStyle) & SBPS_STRETCH);
    pane.nID = nID;
    pane.nStyle = nStyle;
    pane.cxText = cxWidth;
    UpdateAllPanes(bRects, TRUE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    return (nIndex >= 0 && nIndex < GetCount()) ? m_panes[nIndex].nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= GetCount() || m_panes[nIndex].nStyle == nStyle)
        return;
    BOOL bRects = ((m_panes[nIndex].nStyle ^ nStyle) & SBPS_STRETCH) != 0;
    m_panes[nIndex].nStyle = nStyle;
    if (bRects)
        UpdateAllPanes(TRUE, FALSE);
    const Pane& pane = m_panes[nIndex];
    UINT flags = pane.nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
    LPCSTR shown = (pane.nStyle & SBPS_DISABLED) ? "" : static_cast<LPCSTR>(pane.strText);
    DefWindowProc(SB_SETTEXTA, static_cast<WPARAM>(nIndex) | flags, reinterpret_cast<LPARAM>(shown));
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    // As high as the text with the panes' borders; as wide as the space.
    TEXTMETRICA tm = {};
    HDC hDC = ::GetDC(m_hWnd);
    if (hDC) {
        HGDIOBJ hOld = ::SelectObject(hDC, GetBarFont());
        ::GetTextMetricsA(hDC, &tm);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(m_hWnd, hDC);
    }
    int borders[3] = {0, 0, 0};
    ::SendMessageA(m_hWnd, SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    int cy = tm.tmHeight + 2 * borders[1] + 6;
    cy = std::max(cy, ::GetSystemMetrics(SM_CYHSCROLL) + 2);
    CRect inset(0, 0, 0, 0);
    CalcInsideRect(inset, bHorz);
    return CSize(32767, cy + inset.top - inset.bottom);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_panes[state.m_nIndex].nID;
        if (state.m_nID == ID_SEPARATOR)
            continue;
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, NULL))
            continue;
        // Panes without a handler stay as they are.
        state.DoUpdate(pTarget, FALSE);
    }
}

void CStatusBar::OnSize(UINT, int, int)
{
    Default();
    // A maximised frame has no border to drag: its grip goes while it is
    // maximised and comes back when it is restored.
    if (m_bSizeGrip) {
        BOOL bGrip = !::IsZoomed(::GetAncestor(m_hWnd, GA_ROOT));
        if (bGrip != ((GetStyle() & SBARS_SIZEGRIP) != 0)) {
            ModifyStyle(bGrip ? 0 : SBARS_SIZEGRIP, bGrip ? SBARS_SIZEGRIP : 0);
            Invalidate();
        }
    }
    UpdateAllPanes(TRUE, FALSE);
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    // The window's text is the message pane's.
    int nIndex = CommandToIndex(ID_SEPARATOR);
    if (nIndex < 0)
        return FALSE;
    SetPaneText(nIndex, reinterpret_cast<LPCSTR>(lParam));
    return TRUE;
}

LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    int nIndex = CommandToIndex(ID_SEPARATOR);
    CString text = nIndex >= 0 ? m_panes[nIndex].strText : CString();
    int nMax = static_cast<int>(wParam);
    if (nMax <= 0 || lParam == 0)
        return 0;
    ::lstrcpynA(reinterpret_cast<LPSTR>(lParam), text, nMax);
    return std::min(text.GetLength(), nMax - 1);
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    int nIndex = CommandToIndex(ID_SEPARATOR);
    return nIndex >= 0 ? m_panes[nIndex].strText.GetLength() : 0;
}

LRESULT CStatusBar::OnNcHitTest(WPARAM, LPARAM)
{
    // The control's own answer: its size grip sizes the frame.
    return Default();
}
