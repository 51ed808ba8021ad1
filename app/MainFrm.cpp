// MainFrm.cpp - the main frame: the toolbar docked at the top, the status
// bar with the message pane, the view's offset pane and the three key-state
// panes, the title's mark of modified bytes, and the frame's answer to a
// change of its monitor's DPI.
#include "stdafx.h"
#include "QXEdit.h"
#include "MainFrm.h"
#include "QXEditView.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_WM_CLOSE()
    ON_WM_QUERYENDSESSION()
    ON_WM_ENDSESSION()
    ON_MESSAGE(WM_DPICHANGED, &CMainFrame::OnDpiChanged)
END_MESSAGE_MAP()

static const UINT indicators[] = {
    ID_SEPARATOR,   // the message pane
    ID_INDICATOR_OFFSET,   // the caret's offset and value, set by the view
    ID_INDICATOR_CAPS,
    ID_INDICATOR_NUM,
    ID_INDICATOR_SCRL,
};

CMainFrame::CMainFrame() : m_hToolBarImages(NULL) {}

CMainFrame::~CMainFrame()
{
    if (m_hToolBarImages != NULL)
        ::ImageList_Destroy(m_hToolBarImages);
}

namespace {

// The DPI of a window: its own where the system keeps one per window
// (looked up at run time, for older systems), else the screen's.
UINT WindowDpi(HWND hWnd)
{
    typedef UINT(WINAPI * GetDpiForWindowProc)(HWND);
    FARPROC proc = ::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    if (proc != NULL) {
        UINT nDpi = reinterpret_cast<GetDpiForWindowProc>(reinterpret_cast<void*>(proc))(hWnd);
        if (nDpi != 0)
            return nDpi;
    }
    int nDpi = 0;
    if (HDC hDC = ::GetDC(NULL)) {
        nDpi = ::GetDeviceCaps(hDC, LOGPIXELSY);
        ::ReleaseDC(NULL, hDC);
    }
    return nDpi > 0 ? static_cast<UINT>(nDpi) : 96;
}

// The toolbar's images for a DPI: the largest drawing not larger than the
// DPI asks for (16 x 15 at 96, 24 x 23 from 144, 32 x 30 from 192), so the
// images are always drawn as made, never stretched.
struct ToolBarImages {
    UINT nBitmapID;
    int cx, cy;
};
ToolBarImages ToolBarImagesFor(UINT nDpi)
{
    if (nDpi >= 192)
        return ToolBarImages{IDB_TOOLBAR_32, 32, 30};
    if (nDpi >= 144)
        return ToolBarImages{IDB_TOOLBAR_24, 24, 23};
    return ToolBarImages{IDR_MAINFRAME, 16, 15};
}

} // namespace

int CMainFrame::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CFrameWnd::OnCreate(lpCreateStruct) == -1)
        return -1;

    if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                               WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY |
                                   CBRS_SIZE_DYNAMIC,
                               CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR))
        return -1;
    if (!m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    // At 96 DPI the toolbar keeps the resource's own images.
    if (ToolBarImagesFor(WindowDpi(m_hWnd)).cx != 16)
        ScaleToolBarImages(WindowDpi(m_hWnd));

    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR))
        return -1;
    if (!m_wndStatusBar.SetIndicators(indicators, sizeof(indicators) / sizeof(UINT)))
        return -1;

    m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
    EnableDocking(CBRS_ALIGN_ANY);
    DockControlBar(&m_wndToolBar);
    return 0;
}

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    return CFrameWnd::PreCreateWindow(cs);
}

// "*" before the document's name while its bytes are modified, as Windows
// editors mark it.
void CMainFrame::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* pDoc = GetActiveDocument();
    if ((GetStyle() & FWS_ADDTOTITLE) && bAddToTitle && pDoc != NULL && pDoc->IsModified()) {
        UpdateFrameTitleForDocument("*" + pDoc->GetTitle());
        return;
    }
    CFrameWnd::OnUpdateFrameTitle(bAddToTitle);
}

CQXEditView* CMainFrame::ViewInFileWork()
{
    CView* pView = GetActiveView();
    if (pView == NULL || !pView->IsKindOf(RUNTIME_CLASS(CQXEditView)))
        return NULL;
    CQXEditView* pHexView = static_cast<CQXEditView*>(pView);
    return pHexView->IsFileWorkRunning() ? pHexView : NULL;
}

// A close that arrives while a load or a save runs (another program's
// close, a posted WM_CLOSE) waits until the work is over, then closes as
// usual, asking about edits.
void CMainFrame::OnClose()
{
    if (CQXEditView* pView = ViewInFileWork()) {
        pView->CloseAfterFileWork();
        return;
    }
    CFrameWnd::OnClose();
}

// At logoff a running load or save ends by itself, leaving the file whole
// and no temporary file; nothing is asked meanwhile.
BOOL CMainFrame::OnQueryEndSession()
{
    if (ViewInFileWork() != NULL)
        return TRUE;
    return CFrameWnd::OnQueryEndSession();
}

void CMainFrame::OnEndSession(BOOL bEnding)
{
    if (ViewInFileWork() != NULL)
        return;   // the work ends itself; the frame and its view stay for it
    CFrameWnd::OnEndSession(bEnding);
}

// The toolbar takes the images drawn for nDpi, in an image list of their
// size that replaces the toolbar's own (a toolbar cannot change the size of
// the images it holds), and buttons the images plus 7 by 7, as the resource
// gives them at 96 DPI. The light grey ground becomes the button face, as
// in the resource's bitmap. Images that cannot be had leave the toolbar as
// it was.
void CMainFrame::ScaleToolBarImages(UINT nDpi)
{
    const ToolBarImages images = ToolBarImagesFor(nDpi);
    HBITMAP hbm = static_cast<HBITMAP>(::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(images.nBitmapID),
                                                    IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    if (hbm == NULL)
        return;
    BITMAP bm = {};
    ::GetObjectA(hbm, sizeof(bm), &bm);
    const int nImages = bm.bmWidth / images.cx;
    HIMAGELIST hList = ::ImageList_Create(images.cx, images.cy, ILC_COLOR24 | ILC_MASK, nImages, 0);
    if (hList != NULL && ::ImageList_AddMasked(hList, hbm, ::GetSysColor(COLOR_BTNFACE)) == -1) {
        ::ImageList_Destroy(hList);
        hList = NULL;
    }
    ::DeleteObject(hbm);
    if (hList == NULL)
        return;

    m_wndToolBar.SendMessage(TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(hList));
    if (m_hToolBarImages != NULL)
        ::ImageList_Destroy(m_hToolBarImages);
    m_hToolBarImages = hList;
    m_wndToolBar.SetSizes(CSize(images.cx + 7, images.cy + 7), CSize(images.cx, images.cy));
}

// The frame moved to a monitor of another DPI (or the DPI was changed): it
// takes the rectangle the system suggests, the toolbar the images for the
// new DPI, and the bars are laid out again. The view's control follows by
// itself (WM_DPICHANGED_AFTERPARENT); menus and the status bar are the
// system's and follow too.
LRESULT CMainFrame::OnDpiChanged(WPARAM wParam, LPARAM lParam)
{
    ScaleToolBarImages(HIWORD(wParam));
    if (const RECT* pRect = reinterpret_cast<const RECT*>(lParam))
        SetWindowPos(NULL, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    RecalcLayout();
    return 0;
}
