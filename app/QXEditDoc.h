// QXEditDoc.h - the document: an empty shell, the bytes live in the view's
// control; opening a file loads it there.
#pragma once

class CQXEditDoc : public CDocument {
    DECLARE_DYNCREATE(CQXEditDoc)
protected:
    CQXEditDoc();

public:
    ~CQXEditDoc() override;
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCSTR lpszPathName) override;
    void Serialize(CArchive& ar) override;

protected:
    DECLARE_MESSAGE_MAP()
};
