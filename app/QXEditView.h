// QXEditView.h - the view: one hex editor control over its client area.
#pragma once

#include "HexEditCtrl.h"
#include <vector>

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

    // Find and go to (QXEditViewFind.cpp): the modeless find dialog while
    // it is up, and the last search, which F3 and Shift+F3 repeat.
    CFindReplaceDialog* m_pFindDialog = NULL;
    CString m_strFindText;            // as typed, for the dialog next time
    BOOL m_bFindDown = TRUE;          // the dialog's direction
    BOOL m_bFindMatchCase = FALSE;    // its match-case box
    std::vector<BYTE> m_findBytes;    // what the last search looked for
    BOOL m_bFindBytesMatchCase = FALSE;
    CString m_strFindShown;           // how a message names it
    BOOL m_bFindHex = TRUE;           // read as hex digit pairs
    LONGLONG m_nHitFirst = -1;        // the bytes the last hit selected
    LONGLONG m_nHitLast = -1;
    // The text typed into the find dialog as bytes: hexadecimal digit
    // pairs when bHex, else the text's own bytes; FALSE (with the message
    // to show) when it is not what the column takes.
    static BOOL ReadFindText(const CString& strText, BOOL bHex, std::vector<BYTE>& bytes, CString& strShown,
                             CString& strError);
    // Searches for the last search's bytes from the caret (past the start
    // of a selection going down); a hit is selected and brought into view.
    void FindAgain(BOOL bDown);

    // The status bar's pane: the caret's offset and value, the selection's
    // length and the modified mark; the title's mark follows the flag.
    CString m_strStatus;
    BOOL m_bTitleModified = FALSE;
    void UpdateStatus();

    afx_msg void OnEditFind();
    afx_msg void OnEditFindNext();
    afx_msg void OnEditFindPrevious();
    afx_msg void OnEditGoto();
    afx_msg void OnUpdateEditFind(CCmdUI* pCmdUI);
    afx_msg LRESULT OnFindReplace(WPARAM wParam, LPARAM lParam);
    afx_msg void OnHexChange();
    afx_msg void OnHexSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnUpdateIndicatorOffset(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()
};
