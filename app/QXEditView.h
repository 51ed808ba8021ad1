// QXEditView.h - the view: one hex editor control over its client area.
#pragma once

#include "HexEditCtrl.h"

class CQXEditDoc;

class CQXEditView : public CView {
    DECLARE_DYNCREATE(CQXEditView)
protected:
    CQXEditView();

public:
    ~CQXEditView() override;
    CQXEditDoc* GetDocument() const;

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnInitialUpdate() override;
    void OnDraw(CDC* pDC) override;

    // TRUE once the control's window exists (after the first initial update).
    BOOL HasControl() const;
    // Loads a file the document opens into the control; FALSE when the
    // control refused it (and said why).
    BOOL LoadDocumentFile(LPCSTR lpszPathName);
    // Saves the control's bytes to a file the document saves to; FALSE when
    // the control did not write them (it said why, or the user cancelled).
    BOOL SaveDocumentFile(LPCSTR lpszPathName);
    // The 4096 sample bytes, unmodified.
    void ShowSampleBytes();
    // The control's modified flag: bytes the user changed since the last
    // load or save.
    BOOL IsBytesModified() const;
    void SetBytesModified(BOOL bModified);
    // While a load or a save runs, the frame's close waits for its end:
    // the frame, the document and this view must outlive the work.
    BOOL IsFileWorkRunning() const;
    void CloseAfterFileWork();

protected:
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

    CHexEditCtrl m_wndHexEdit;
    BOOL m_bFileWorkRunning = FALSE;
    BOOL m_bCloseAfterFileWork = FALSE;

    void FileWorkOver();
    // Fills every byte, asking first when the change is too big for the
    // control's undo history to take back.
    void FillAll(BYTE byFill);

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSetAll00();
    afx_msg void OnSetAllFF();
    afx_msg void OnOpenFile();
    afx_msg void OnSaveFile();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnDialogSample();
    afx_msg void OnEditUndo();
    afx_msg void OnEditRedo();
    afx_msg void OnEditCut();
    afx_msg void OnEditCopy();
    afx_msg void OnEditPaste();
    afx_msg void OnEditSelectAll();
    afx_msg void OnUpdateEditUndo(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditRedo(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditCutCopy(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditPaste(CCmdUI* pCmdUI);
    afx_msg void OnUpdateEditSelectAll(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};
