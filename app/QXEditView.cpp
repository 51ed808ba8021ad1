// QXEditView.cpp - the view: creates the control over its whole client area
// with the 4096 sample bytes, keeps it sized to the client area and passes
// the keyboard focus on to it. Printing prints blank pages.
#include "stdafx.h"
#include "QXEdit.h"
#include "QXEditDoc.h"
#include "QXEditView.h"

IMPLEMENT_DYNCREATE(CQXEditView, CView)

BEGIN_MESSAGE_MAP(CQXEditView, CView)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_SETFOCUS()
    ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
END_MESSAGE_MAP()

CQXEditView::CQXEditView() {}

CQXEditView::~CQXEditView() {}

CQXEditDoc* CQXEditView::GetDocument() const
{
    return static_cast<CQXEditDoc*>(m_pDocument);
}

BOOL CQXEditView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CView::PreCreateWindow(cs);
}

void CQXEditView::OnInitialUpdate()
{
    CView::OnInitialUpdate();

    // The framework repeats the initial update when New or Open renews the
    // document in place: the control keeps its one window and its bytes.
    if (::IsWindow(m_wndHexEdit.GetSafeHwnd()))
        return;

    CRect rect;
    GetClientRect(&rect);
    m_wndHexEdit.Create(rect, this, 1);

    CByteArray data;
    for (int i = 0; i < 4096; ++i)
        data.Add(static_cast<BYTE>(i));
    m_wndHexEdit.SetData(&data);
}

void CQXEditView::OnDraw(CDC*)
{
}

void CQXEditView::OnSize(UINT, int, int)
{
    Default();
    if (::IsWindow(m_wndHexEdit.GetSafeHwnd())) {
        CRect rect;
        GetClientRect(&rect);
        m_wndHexEdit.MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
}

BOOL CQXEditView::OnEraseBkgnd(CDC*)
{
    return TRUE;   // the control paints the whole client area
}

void CQXEditView::OnSetFocus(CWnd* pOldWnd)
{
    CView::OnSetFocus(pOldWnd);
    m_wndHexEdit.SetFocus();
}

BOOL CQXEditView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CQXEditView::OnBeginPrinting(CDC*, CPrintInfo*)
{
}

void CQXEditView::OnEndPrinting(CDC*, CPrintInfo*)
{
}
