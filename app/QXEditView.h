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
    // Loads a file the document opens into the control, as "OpenFile" does
    // after its dialog; FALSE when the control refused it (and said why).
    BOOL LoadDocumentFile(LPCSTR lpszPathName);

protected:
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;

    CHexEditCtrl m_wndHexEdit;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSetAll00();
    afx_msg void OnSetAllFF();
    afx_msg void OnOpenFile();
    afx_msg void OnSaveFile();
    afx_msg void OnSetFocus(CWnd* pOldWnd);
    afx_msg void OnDialogSample();
    DECLARE_MESSAGE_MAP()
};
