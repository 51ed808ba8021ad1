// QXEditView.cpp - the view: creates the control over its whole client area
// with the 4096 sample bytes, keeps it sized to the client area and passes
// the keyboard focus on to it; its commands fill, load and save the
// control's bytes and open the dialog sample, and a file the document opens
// is loaded into the control. Printing prints blank pages.
#include "stdafx.h"
#include "QXEdit.h"
#include "QXEditDoc.h"
#include "QXEditView.h"
#include "DlgHexEditorInDialogTest.h"

IMPLEMENT_DYNCREATE(CQXEditView, CView)

BEGIN_MESSAGE_MAP(CQXEditView, CView)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_COMMAND(ID_FUNCTION_SETALL00, OnSetAll00)
    ON_COMMAND(ID_FUNCTION_SETALLFF, OnSetAllFF)
    ON_COMMAND(ID_FUNCTION_OPENFILE, OnOpenFile)
    ON_COMMAND(ID_FUNCTION_SAVEFILE, OnSaveFile)
    // The bytes live in the control, not in the document: Ctrl+S saves them
    // as "SaveFile" does, so that no save writes a file without them.
    ON_COMMAND(ID_FILE_SAVE, OnSaveFile)
    ON_WM_SETFOCUS()
    ON_COMMAND(ID_FILE_PRINT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, CView::OnFilePrintPreview)
    ON_COMMAND(ID_FUNCTION_DIALOGSAMPLE, OnDialogSample)
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

BOOL CQXEditView::HasControl() const
{
    return ::IsWindow(m_wndHexEdit.GetSafeHwnd());
}

BOOL CQXEditView::LoadDocumentFile(LPCSTR lpszPathName)
{
    return m_wndHexEdit.LoadFile(lpszPathName);
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
    // Before the initial update there is no control to take the focus, and
    // SetFocus on no window would take the focus away from the view.
    if (::IsWindow(m_wndHexEdit.GetSafeHwnd()))
        m_wndHexEdit.SetFocus();
}

// The commands act on the control at once; they have no update handlers and
// are enabled while the view is active.

void CQXEditView::OnSetAll00()
{
    m_wndHexEdit.Fill(0x00);
}

void CQXEditView::OnSetAllFF()
{
    m_wndHexEdit.Fill(0xFF);
}

void CQXEditView::OnOpenFile()
{
    m_wndHexEdit.OpenFile();
}

void CQXEditView::OnSaveFile()
{
    m_wndHexEdit.SaveFileAs();
}

// A second control in a modal dialog, with the sample bytes of its own; what
// is edited there is dropped with the dialog.
void CQXEditView::OnDialogSample()
{
    CDlgHexEditorInDialogTest dlg(this);
    dlg.DoModal();
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
