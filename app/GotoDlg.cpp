// GotoDlg.cpp - "Vai a": the offset of a byte, typed in hexadecimal or in
// decimal as the dialog's choice says; a text that is no number, or an
// offset past the last byte, is refused with a message and the dialog stays.
#include "stdafx.h"
#include "QXEdit.h"
#include "GotoDlg.h"

IMPLEMENT_DYNAMIC(CGotoDlg, CDialog)

BEGIN_MESSAGE_MAP(CGotoDlg, CDialog)
END_MESSAGE_MAP()

CGotoDlg::CGotoDlg(LONGLONG nSize, LONGLONG nCaret, CWnd* pParent)
    : CDialog(IDD, pParent), m_nOffset(-1), m_nSize(nSize), m_nCaret(nCaret)
{
}

BOOL CGotoDlg::ParseOffset(CString strText, BOOL bHex, LONGLONG& nOffset)
{
    strText.Trim();
    int i = 0;
    if (bHex && strText.GetLength() > 2 && strText[0] == '0' && (strText[1] == 'x' || strText[1] == 'X'))
        i = 2;
    if (i >= strText.GetLength())
        return FALSE;
    const ULONGLONG nBase = bHex ? 16 : 10;
    ULONGLONG nValue = 0;
    for (; i < strText.GetLength(); i++) {
        const char c = strText[i];
        int nDigit;
        if (c >= '0' && c <= '9')
            nDigit = c - '0';
        else if (bHex && c >= 'a' && c <= 'f')
            nDigit = c - 'a' + 10;
        else if (bHex && c >= 'A' && c <= 'F')
            nDigit = c - 'A' + 10;
        else
            return FALSE;
        // What no block can reach is refused as not a number of ours.
        if (nValue > (0x7FFFFFFFFFFFFFFFULL - static_cast<ULONGLONG>(nDigit)) / nBase)
            return FALSE;
        nValue = nValue * nBase + static_cast<ULONGLONG>(nDigit);
    }
    nOffset = static_cast<LONGLONG>(nValue);
    return TRUE;
}

BOOL CGotoDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CheckRadioButton(IDC_GOTO_HEX, IDC_GOTO_DEC, IDC_GOTO_HEX);
    CString strText;
    strText.Format("0x%I64X", m_nCaret < m_nSize ? m_nCaret : (m_nSize > 0 ? m_nSize - 1 : 0));
    SetDlgItemText(IDC_GOTO_OFFSET, strText);
    CString strRange;
    if (m_nSize > 0)
        strRange.Format("Da 0 a 0x%I64X (%I64d)", m_nSize - 1, m_nSize - 1);
    SetDlgItemText(IDC_GOTO_RANGE, strRange);
    // The offset selected, ready to be typed over.
    CWnd* pBox = GetDlgItem(IDC_GOTO_OFFSET);
    pBox->SetFocus();
    pBox->SendMessage(EM_SETSEL, 0, -1);
    return FALSE;
}

void CGotoDlg::OnOK()
{
    CString strText;
    GetDlgItemText(IDC_GOTO_OFFSET, strText);
    const BOOL bHex = IsDlgButtonChecked(IDC_GOTO_HEX) == BST_CHECKED;
    LONGLONG nOffset = 0;
    CString strMessage;
    if (!ParseOffset(strText, bHex, nOffset)) {
        strMessage.Format(bHex ? "\"%s\" non \xE8 un offset esadecimale: usare le cifre da 0 a 9 e da A a F, "
                                 "con o senza 0x davanti."
                               : "\"%s\" non \xE8 un offset decimale: usare le cifre da 0 a 9.",
                          static_cast<LPCSTR>(strText.Trim()));
        Refuse(strMessage);
        return;
    }
    if (nOffset >= m_nSize) {
        if (m_nSize > 0)
            strMessage.Format("L'offset 0x%I64X (%I64d) \xE8 oltre l'ultimo byte, 0x%I64X (%I64d).", nOffset, nOffset,
                              m_nSize - 1, m_nSize - 1);
        else
            strMessage = "Non ci sono byte a cui andare.";
        Refuse(strMessage);
        return;
    }
    m_nOffset = nOffset;
    EndDialog(IDOK);
}

void CGotoDlg::Refuse(const CString& strMessage)
{
    AfxMessageBox(strMessage, MB_OK | MB_ICONEXCLAMATION);
    CWnd* pBox = GetDlgItem(IDC_GOTO_OFFSET);
    pBox->SetFocus();
    pBox->SendMessage(EM_SETSEL, 0, -1);
}
