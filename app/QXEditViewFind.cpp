// QXEditViewFind.cpp - the view's find and go-to commands and its status
// pane. Find uses the framework's modeless find dialog: in the hex column
// the text typed is read as hexadecimal digit pairs, in the character column
// as the text's bytes, with the dialog's match-case box and direction; F3
// and Shift+F3 repeat the last search forward and backward. Go to asks for
// an offset (GotoDlg.cpp). The status pane shows the caret's offset and
// value, the selection's length and a mark while the bytes are modified;
// the title has a "*" before the document's name meanwhile.
#include "stdafx.h"
#include "QXEdit.h"
#include "QXEditDoc.h"
#include "QXEditView.h"
#include "GotoDlg.h"

namespace {

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

BOOL CQXEditView::ReadFindText(const CString& strText, BOOL bHex, std::vector<BYTE>& bytes, CString& strShown,
                               CString& strError)
{
    bytes.clear();
    strShown.Empty();
    if (!bHex) {
        for (int i = 0; i < strText.GetLength(); i++)
            bytes.push_back(static_cast<BYTE>(strText[i]));
        strShown = strText;
    } else {
        // Pairs of digits, blanks and tabs allowed between pairs, never
        // inside one.
        for (int i = 0; i < strText.GetLength();) {
            const char c = strText[i];
            if (c == ' ' || c == '\t') {
                i++;
                continue;
            }
            const int nHigh = HexDigit(c);
            const int nLow = i + 1 < strText.GetLength() ? HexDigit(strText[i + 1]) : -1;
            if (nHigh < 0 || nLow < 0) {
                bytes.clear();
                break;
            }
            bytes.push_back(static_cast<BYTE>(nHigh << 4 | nLow));
            CString strPair;
            strPair.Format(strShown.IsEmpty() ? "%02X" : " %02X", nHigh << 4 | nLow);
            strShown += strPair;
            i += 2;
        }
        if (bytes.empty()) {
            strError.Format("\"%s\" non \xE8 una sequenza di byte esadecimali.\n\nNella colonna esadecimale si cercano "
                            "coppie di cifre da 0 a 9 e da A a F, separate o no da spazi (per esempio 4F 6B 00).",
                            static_cast<LPCSTR>(strText));
            return FALSE;
        }
    }
    if (bytes.empty()) {
        strError = "Scrivere il testo da cercare.";
        return FALSE;
    }
    return TRUE;
}

void CQXEditView::OnEditFind()
{
    if (m_pFindDialog != NULL) {
        m_pFindDialog->SetActiveWindow();
        return;
    }
    m_pFindDialog = new CFindReplaceDialog;
    DWORD dwFlags = FR_HIDEWHOLEWORD | (m_bFindDown ? FR_DOWN : 0) | (m_bFindMatchCase ? FR_MATCHCASE : 0);
    if (!m_pFindDialog->Create(TRUE, m_strFindText, NULL, dwFlags, this)) {
        // A window that never came does not delete its object.
        if (m_pFindDialog->m_hWnd == NULL)
            delete m_pFindDialog;
        m_pFindDialog = NULL;
        return;
    }
    // At the view's top right, away from the rows' cells, which start at
    // the left: a hit it covered would be selected out of sight.
    CRect rcView, rcDialog;
    GetWindowRect(&rcView);
    m_pFindDialog->GetWindowRect(&rcDialog);
    const int x = rcView.right - rcDialog.Width() - ::GetSystemMetrics(SM_CXVSCROLL) - 8;
    if (x > rcView.left)
        m_pFindDialog->SetWindowPos(NULL, x, rcView.top + 8, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CQXEditView::OnFindReplace(WPARAM, LPARAM lParam)
{
    CFindReplaceDialog* pDlg = CFindReplaceDialog::GetNotifier(lParam);
    if (pDlg->IsTerminating()) {
        m_pFindDialog = NULL;   // it deletes itself
        return 0;
    }
    if (!pDlg->FindNext())
        return 0;
    m_strFindText = pDlg->GetFindString();
    m_bFindDown = pDlg->SearchDown();
    m_bFindMatchCase = pDlg->MatchCase();
    // What the text means depends on the column the caret is in; the
    // dialog stays up when it means nothing there. A hit is selected in the
    // hex cells, so while the last hit is still the selection the search
    // keeps the column it was started in.
    LONGLONG nFirst, nLast;
    const BOOL bOnLastHit = m_wndHexEdit.GetSelection(nFirst, nLast) && nFirst == m_nHitFirst && nLast == m_nHitLast;
    const BOOL bHex = bOnLastHit ? m_bFindHex : !m_wndHexEdit.IsCaretInCharColumn();
    std::vector<BYTE> bytes;
    CString strShown, strError;
    if (!ReadFindText(m_strFindText, bHex, bytes, strShown, strError)) {
        AfxMessageBox(strError, MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    m_findBytes = bytes;
    m_strFindShown = strShown;
    m_bFindHex = bHex;
    // Bytes typed in hexadecimal match only themselves.
    m_bFindBytesMatchCase = bHex || m_bFindMatchCase;
    FindAgain(m_bFindDown);
    return 0;
}

void CQXEditView::OnEditFindNext()
{
    FindAgain(TRUE);
}

void CQXEditView::OnEditFindPrevious()
{
    FindAgain(FALSE);
}

void CQXEditView::FindAgain(BOOL bDown)
{
    if (m_findBytes.empty()) {
        OnEditFind();   // nothing searched yet: the dialog asks
        return;
    }
    if (!HasControl() || m_bFileWorkRunning)
        return;
    // From the caret; past a selection's first byte going down, so that the
    // hit selected last is not found again.
    LONGLONG nFirst, nLast;
    LONGLONG nStart = m_wndHexEdit.GetCaretOffset();
    if (m_wndHexEdit.GetSelection(nFirst, nLast))
        nStart = bDown ? nFirst + 1 : nFirst;
    const DWORD dwFlags = (bDown ? FR_DOWN : 0) | (m_bFindBytesMatchCase ? FR_MATCHCASE : 0);
    // A close during a long search waits for its end, as during a load.
    m_bFileWorkRunning = TRUE;
    const LONGLONG nFound =
        m_wndHexEdit.FindBytes(m_findBytes.data(), static_cast<int>(m_findBytes.size()), nStart, dwFlags);
    const DWORD dwError = ::GetLastError();
    FileWorkOver();
    if (nFound >= 0) {
        m_nHitFirst = nFound;
        m_nHitLast = nFound + static_cast<LONGLONG>(m_findBytes.size()) - 1;
        m_wndHexEdit.SetSelection(m_nHitFirst, m_nHitLast);
        return;
    }
    if (dwError == ERROR_CANCELLED)
        return;   // the user stopped it: nothing to tell
    CString strMessage;
    strMessage.Format(bDown ? "Impossibile trovare \"%s\" dopo il cursore." : "Impossibile trovare \"%s\" prima del cursore.",
                      static_cast<LPCSTR>(m_strFindShown));
    AfxMessageBox(strMessage, MB_OK | MB_ICONINFORMATION);
}

void CQXEditView::OnEditGoto()
{
    if (!HasControl())
        return;
    CGotoDlg dlg(m_wndHexEdit.GetDataSize(), m_wndHexEdit.GetCaretOffset(), this);
    if (dlg.DoModal() == IDOK)
        m_wndHexEdit.SetCaretOffset(dlg.m_nOffset);
}

void CQXEditView::OnUpdateEditFind(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasControl() && m_wndHexEdit.GetDataSize() > 0);
}

void CQXEditView::OnHexChange()
{
    UpdateStatus();
}

void CQXEditView::OnHexSelChange(NMHDR*, LRESULT* pResult)
{
    UpdateStatus();
    *pResult = 0;
}

void CQXEditView::UpdateStatus()
{
    if (!HasControl())
        return;
    const LONGLONG nSize = m_wndHexEdit.GetDataSize();
    const LONGLONG nCaret = m_wndHexEdit.GetCaretOffset();
    CString strStatus;
    BYTE value = 0;
    if (m_wndHexEdit.GetByteAt(nCaret, value))
        strStatus.Format("Offset 0x%I64X (%I64d) of %I64d: %02X", nCaret, nCaret, nSize, value);
    else   // the caret on the blank after the last byte
        strStatus.Format("Offset 0x%I64X (%I64d) of %I64d", nCaret, nCaret, nSize);
    LONGLONG nFirst, nLast;
    if (m_wndHexEdit.GetSelection(nFirst, nLast)) {
        CString strSelection;
        strSelection.Format(nLast == nFirst ? ", %I64d byte selected" : ", %I64d bytes selected",
                            nLast - nFirst + 1);
        strStatus += strSelection;
    }
    const BOOL bModified = m_wndHexEdit.GetModify();
    if (bModified)
        strStatus += ", modified";
    m_strStatus = strStatus;
    // The title's mark: the frame asks the document, whose state is the
    // control's modified flag.
    if (bModified != m_bTitleModified) {
        m_bTitleModified = bModified;
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->OnUpdateFrameTitle(TRUE);
    }
}

void CQXEditView::OnUpdateIndicatorOffset(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasControl());
    pCmdUI->SetText(m_strStatus);
}
