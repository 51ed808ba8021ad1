// DlgHexEditorInDialogTest.cpp - the dialog sample: its edit control (id
// 1000) is bound to a hex editor control that shows the 4096 sample bytes.
// The control keeps the template's rectangle; its bytes go with the dialog.
#include "stdafx.h"
#include "QXEdit.h"
#include "DlgHexEditorInDialogTest.h"

IMPLEMENT_DYNAMIC(CDlgHexEditorInDialogTest, CDialog)

BEGIN_MESSAGE_MAP(CDlgHexEditorInDialogTest, CDialog)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CDlgHexEditorInDialogTest::CDlgHexEditorInDialogTest(CWnd* pParent) : CDialog(IDD, pParent) {}

CDlgHexEditorInDialogTest::~CDlgHexEditorInDialogTest() {}

// The first exchange binds the edit window to the control; later ones (OK)
// find it bound and do nothing.
void CDlgHexEditorInDialogTest::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_HEXEDIT, m_wndHexEdit);
}

BOOL CDlgHexEditorInDialogTest::OnInitDialog()
{
    // A failed exchange has ended the dialog already: no control to fill.
    if (!CDialog::OnInitDialog())
        return FALSE;

    CByteArray data;
    for (int i = 0; i < 4096; ++i)
        data.Add(static_cast<BYTE>(i));
    m_wndHexEdit.SetData(&data);

    return TRUE;   // the first focus goes to OK
}

void CDlgHexEditorInDialogTest::OnSize(UINT, int, int)
{
    Default();
}
