// QXEditDoc.cpp - the document: the bytes live in the view's control, so
// the document's modified state is the control's modified flag, a file it
// opens (Ctrl+O, the command line, "OpenFile") is read by the control, a
// save (Ctrl+S, the question before the edits go, "SaveFile") is written by
// it, and the document takes the file's name only when the control took or
// wrote its bytes. A new document shows the sample bytes.
#include "stdafx.h"
#include "QXEdit.h"
#include "QXEditDoc.h"
#include "QXEditView.h"

IMPLEMENT_DYNCREATE(CQXEditDoc, CDocument)

BEGIN_MESSAGE_MAP(CQXEditDoc, CDocument)
END_MESSAGE_MAP()

CQXEditDoc::CQXEditDoc() {}

CQXEditDoc::~CQXEditDoc() {}

CQXEditView* CQXEditDoc::GetHexView() const
{
    POSITION pos = GetFirstViewPosition();
    CView* pView = pos != NULL ? GetNextView(pos) : NULL;
    if (pView == NULL || !pView->IsKindOf(RUNTIME_CLASS(CQXEditView)))
        return NULL;
    CQXEditView* pHexView = static_cast<CQXEditView*>(pView);
    return pHexView->HasControl() ? pHexView : NULL;
}

BOOL CQXEditDoc::OnNewDocument()
{
    if (!CDocument::OnNewDocument())
        return FALSE;
    // Renewed in place (Ctrl+N): the file's bytes go with its name. At
    // start-up the view's initial update gives the sample bytes.
    if (CQXEditView* pHexView = GetHexView())
        pHexView->ShowSampleBytes();
    return TRUE;
}

BOOL CQXEditDoc::OnOpenDocument(LPCSTR lpszPathName)
{
    // A file named on the command line comes before the control exists:
    // the view loads it at its initial update.
    CQXEditView* pHexView = GetHexView();
    if (pHexView == NULL)
        return TRUE;
    // A file the control cannot read leaves the view, the document's name
    // and the title as they were.
    return pHexView->LoadDocumentFile(lpszPathName);
}

BOOL CQXEditDoc::OnSaveDocument(LPCSTR lpszPathName)
{
    // Without the control there are no bytes to write: an empty file would
    // replace the user's.
    CQXEditView* pHexView = GetHexView();
    return pHexView != NULL && pHexView->SaveDocumentFile(lpszPathName);
}

BOOL CQXEditDoc::IsModified()
{
    CQXEditView* pHexView = GetHexView();
    return pHexView != NULL ? pHexView->IsBytesModified() : CDocument::IsModified();
}

void CQXEditDoc::SetModifiedFlag(BOOL bModified)
{
    CDocument::SetModifiedFlag(bModified);
    if (CQXEditView* pHexView = GetHexView())
        pHexView->SetBytesModified(bModified);
}

void CQXEditDoc::Serialize(CArchive&)
{
}
