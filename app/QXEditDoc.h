// QXEditDoc.h - the document: the bytes live in the view's control; the
// document names their file, asks about their edits, and opens and saves
// through the control.
#pragma once

class CQXEditView;

class CQXEditDoc : public CDocument {
    DECLARE_DYNCREATE(CQXEditDoc)
protected:
    CQXEditDoc();

public:
    ~CQXEditDoc() override;
    BOOL OnNewDocument() override;
    BOOL OnOpenDocument(LPCSTR lpszPathName) override;
    BOOL OnSaveDocument(LPCSTR lpszPathName) override;
    BOOL IsModified() override;
    void SetModifiedFlag(BOOL bModified = TRUE) override;
    void Serialize(CArchive& ar) override;

protected:
    // The view whose control holds the bytes, once the control exists.
    CQXEditView* GetHexView() const;

    DECLARE_MESSAGE_MAP()
};
