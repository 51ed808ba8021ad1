// QXEditDoc.cpp - the document: holds nothing and is never marked as
// modified; a file it opens (Ctrl+O) is read by the view's
// control, and the document takes the file's name only when the control
// took its bytes.
#include "stdafx.h"
#include "QXEdit.h"
#include "QXEditDoc.h"
#include "QXEditView.h"

IMPLEMENT_DYNCREATE(CQXEditDoc, CDocument)

BEGIN_MESSAGE_MAP(CQXEditDoc, CDocument)
END_MESSAGE_MAP()

CQXEditDoc::CQXEditDoc() {}

CQXEditDoc::~CQXEditDoc() {}

BOOL CQXEditDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

BOOL CQXEditDoc::OnOpenDocument(LPCSTR lpszPathName)
{
    POSITION pos = GetFirstViewPosition();
    CView* pView = pos != NULL ? GetNextView(pos) : NULL;
    CQXEditView* pHexView =
        pView != NULL && pView->IsKindOf(RUNTIME_CLASS(CQXEditView)) ? static_cast<CQXEditView*>(pView) : NULL;
    // A file named on the command line comes before the control exists: it
    // names the document only, and the control shows its sample bytes.
    if (pHexView == NULL || !pHexView->HasControl())
        return CDocument::OnOpenDocument(lpszPathName);
    // A file the control cannot read leaves the view, the document's name
    // and the title as they were.
    return pHexView->LoadDocumentFile(lpszPathName);
}

void CQXEditDoc::Serialize(CArchive&)
{
}
