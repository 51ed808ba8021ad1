// DlgHexEditorInDialogTest.h - the dialog sample: a modal dialog whose
// template's edit control becomes a second hex editor control.
#pragma once

#include "HexEditCtrl.h"

class CDlgHexEditorInDialogTest : public CDialog {
    DECLARE_DYNAMIC(CDlgHexEditorInDialogTest)
public:
    explicit CDlgHexEditorInDialogTest(CWnd* pParent = NULL);
    ~CDlgHexEditorInDialogTest() override;

    enum { IDD = IDD_HEXEDIT_DIALOG };

protected:
    CHexEditCtrl m_wndHexEdit;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    DECLARE_MESSAGE_MAP()
};
