// MainFrm.cpp - the main frame: the toolbar docked at the top, the status
// bar with the message pane, the view's offset pane and the three key-state
// panes; the title marks modified bytes.
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
END_MESSAGE_MAP()

static const UINT indicators[] = {
    ID_SEPARATOR,   // the message pane
    ID_INDICATOR_OFFSET,   // the caret's offset and value, set by the view
    ID_INDICATOR_CAPS,
    ID_INDICATOR_NUM,
    ID_INDICATOR_SCRL,
};

CMainFrame::CMainFrame() {}

CMainFrame::~CMainFrame() {}

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
