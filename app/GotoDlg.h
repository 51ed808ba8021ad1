// GotoDlg.h - "Vai a": asks for the offset of a byte, in hexadecimal (with
// or without "0x") or in decimal, and keeps the dialog up until it is one of
// the control's bytes.
#pragma once

class CGotoDlg : public CDialog {
    DECLARE_DYNAMIC(CGotoDlg)
public:
    // nSize bytes to choose from; nCaret is the offset the box starts with.
    CGotoDlg(LONGLONG nSize, LONGLONG nCaret, CWnd* pParent = NULL);

    enum { IDD = IDD_GOTO };

    // The offset chosen, after IDOK.
    LONGLONG m_nOffset;

    // The number in strText ("1A2", "0x1A2" or "418"), blanks around it
    // allowed; FALSE when it is not one or does not fit 64 bits.
    static BOOL ParseOffset(CString strText, BOOL bHex, LONGLONG& nOffset);

protected:
    LONGLONG m_nSize;
    LONGLONG m_nCaret;

    BOOL OnInitDialog() override;
    void OnOK() override;
    // Tells what is wrong and gives the box back, its text selected.
    void Refuse(const CString& strMessage);

    DECLARE_MESSAGE_MAP()
};
