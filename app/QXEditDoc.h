// QXEditDoc.h - the document: an empty shell, the bytes live in the control.
#pragma once

class CQXEditDoc : public CDocument {
    DECLARE_DYNCREATE(CQXEditDoc)
protected:
    CQXEditDoc();

public:
    ~CQXEditDoc() override;
    BOOL OnNewDocument() override;
    void Serialize(CArchive& ar) override;

protected:
    DECLARE_MESSAGE_MAP()
};
