// QXEditDoc.cpp - the document: holds nothing, reads and writes nothing,
// and is never marked as modified.
#include "stdafx.h"
#include "QXEdit.h"
#include "QXEditDoc.h"

IMPLEMENT_DYNCREATE(CQXEditDoc, CDocument)

BEGIN_MESSAGE_MAP(CQXEditDoc, CDocument)
END_MESSAGE_MAP()

CQXEditDoc::CQXEditDoc() {}

CQXEditDoc::~CQXEditDoc() {}

BOOL CQXEditDoc::OnNewDocument()
{
    return CDocument::OnNewDocument();
}

void CQXEditDoc::Serialize(CArchive&)
{
}
