// dialogs.cpp - modal dialogs from a template, dialog data exchange
// (DDX_Control), the common file dialog and the modeless find dialog.
#include "afximpl.h"
#include "afxdlgs.h"
#include <new>
#include <string.h>

IMPLEMENT_DYNAMIC(CUserException, CSimpleException)

// ---------------------------------------------------------------------------
// Dialog data exchange

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd), m_hWndLastControl(NULL)
{
}

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (hWndCtrl == NULL)
        AfxThrowNotSupportedException();
    m_hWndLastControl = hWndCtrl;
    return hWndCtrl;
}

void CDataExchange::Fail()
{
    // A value the user typed was refused: the focus goes back to its control.
    if (m_bSaveAndValidate && m_hWndLastControl != NULL)
        ::SetFocus(m_hWndLastControl);
    throw new CUserException;
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd != NULL)
        return;   // bound on an earlier exchange
    HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWndCtrl))
        AfxThrowNotSupportedException();
}

void CWnd::DoDataExchange(CDataExchange*)
{
}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
        return TRUE;
    } catch (CUserException* e) {
        e->Delete();   // the user has been told already
    } catch (CException* e) {
        e->ReportError(MB_ICONEXCLAMATION, AFX_IDP_INTERNAL_FAILURE);
        e->Delete();
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// CDialog

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() : m_lpszTemplateName(NULL), m_nIDHelp(0), m_pParentWnd(NULL) {}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd)
{
}

CDialog::CDialog(LPCSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_nIDHelp(0), m_pParentWnd(pParentWnd)
{
}

CDialog::~CDialog()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

// The window a modal dialog belongs to: the given parent's top-level
// window, else the main window, then the popup it last had active.
static HWND ModalOwner(CWnd* pParentWnd)
{
    HWND hWnd = pParentWnd != NULL ? pParentWnd->GetSafeHwnd() : NULL;
    if (hWnd == NULL && AfxGetMainWnd() != NULL)
        hWnd = AfxGetMainWnd()->GetSafeHwnd();
    if (hWnd == NULL)
        return NULL;
    while ((::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD) && ::GetParent(hWnd) != NULL)
        hWnd = ::GetParent(hWnd);
    return ::GetLastActivePopup(hWnd);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    // The dialog and its controls exist: the creation hook has done its work.
    AfxUnhookWindowCreate();
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == NULL || !pWnd->IsKindOf(RUNTIME_CLASS(CDialog)))
        return TRUE;
    // No exception may unwind through the system's dialog code.
    try {
        RECT before;
        ::GetWindowRect(hWnd, &before);
        BOOL bResult = static_cast<CDialog*>(pWnd)->OnInitDialog();
        // A dialog that OnInitDialog has not placed is centred over its owner.
        RECT after;
        if (::IsWindow(hWnd) && ::GetWindowRect(hWnd, &after) && ::EqualRect(&before, &after) &&
            !(::GetWindowLongA(hWnd, GWL_STYLE) & (WS_CHILD | DS_ABSALIGN | DS_CENTER)))
            pWnd->CenterWindow();
        return bResult;
    } catch (CException* e) {
        e->ReportError(MB_ICONEXCLAMATION, AFX_IDP_INTERNAL_FAILURE);
        e->Delete();
    } catch (const std::bad_alloc&) {
        AfxMessageBox(AFX_IDP_INTERNAL_FAILURE, MB_ICONEXCLAMATION);
    }
    ::EndDialog(hWnd, -1);
    return FALSE;
}

INT_PTR CDialog::DoModal()
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hResource = ::FindResourceA(hInst, m_lpszTemplateName, MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (hResource == NULL)
        return -1;
    HGLOBAL hTemplate = ::LoadResource(hInst, hResource);
    LPCDLGTEMPLATEA lpTemplate = hTemplate ? static_cast<LPCDLGTEMPLATEA>(::LockResource(hTemplate)) : NULL;
    if (lpTemplate == NULL)
        return -1;

    // The system disables the owner while the dialog runs and enables it
    // again after. The dialog window becomes this object's as it is
    // created; DialogProc runs OnInitDialog.
    HWND hWndOwner = ModalOwner(m_pParentWnd);
    AfxHookWindowCreate(this);
    INT_PTR nResult = ::DialogBoxIndirectParamA(hInst, lpTemplate, hWndOwner, DialogProc, 0);
    AfxUnhookWindowCreate();
    if (m_hWnd != NULL)
        Detach();
    if (hWndOwner != NULL && ::IsWindow(hWndOwner))
        ::SetActiveWindow(hWndOwner);
    return nResult;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    // A modeless dialog's keys (Tab, Enter, Escape, its mnemonics) are the
    // dialog's, before any accelerator of the frame; a modal one runs the
    // system's loop, which does the same.
    if (m_hWnd == NULL || !(::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_VISIBLE))
        return FALSE;
    if ((pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
        (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST))
        return ::IsDialogMessageA(m_hWnd, pMsg);
    return FALSE;
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    if (!UpdateData(FALSE)) {
        EndDialog(-1);
        return FALSE;
    }
    return TRUE;   // the system puts the focus on the first control
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

// ---------------------------------------------------------------------------
// Common dialogs

HWND CCommonDialog::PreModal()
{
    return ModalOwner(m_pParentWnd);
}

void CCommonDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    Default();
}

void CCommonDialog::OnCancel()
{
    Default();
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd, DWORD, BOOL bVistaStyle)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog), m_bVistaStyle(bVistaStyle)
{
    memset(&m_ofn, 0, sizeof m_ofn);
    m_szFileName[0] = '\0';
    m_szFileTitle[0] = '\0';
    m_ofn.lStructSize = sizeof m_ofn;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = MAX_PATH;
    m_ofn.lpstrFileTitle = m_szFileTitle;
    m_ofn.nMaxFileTitle = sizeof m_szFileTitle;
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_ofn.hInstance = AfxGetResourceHandle();
    if (lpszDefExt != NULL) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFileName != NULL)
        lstrcpynA(m_szFileName, lpszFileName, MAX_PATH);
    if (lpszFilter != NULL) {
        // "name|pattern|...||" becomes "name\0pattern\0...\0\0".
        CString filter(lpszFilter);
        int n = filter.GetLength();
        CString built;
        for (int i = 0; i < n; ++i)
            built += filter[i] == '|' ? '\0' : filter[i];
        m_strFilter = built;
        m_ofn.lpstrFilter = m_strFilter;
    }
}

CFileDialog::~CFileDialog() {}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = PreModal();
    if (m_ofn.lpstrFilter != NULL)
        m_ofn.lpstrFilter = m_strFilter;   // the caller may have changed m_ofn
    BOOL bResult = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return bResult ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return CString(m_ofn.lpstrFile);
}

CString CFileDialog::GetFileName() const
{
    CString path = GetPathName();
    int slash = path.ReverseFind('\\');
    return path.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

// ---------------------------------------------------------------------------
// The find dialog

IMPLEMENT_DYNAMIC(CFindReplaceDialog, CCommonDialog)

CFindReplaceDialog::CFindReplaceDialog() : CCommonDialog(NULL)
{
    memset(&m_fr, 0, sizeof m_fr);
    m_szFindWhat[0] = '\0';
    m_szReplaceWith[0] = '\0';
    m_fr.lStructSize = sizeof m_fr;
    m_fr.lpstrFindWhat = m_szFindWhat;
    m_fr.wFindWhatLen = sizeof m_szFindWhat;
    m_fr.lpstrReplaceWith = m_szReplaceWith;
    m_fr.wReplaceWithLen = sizeof m_szReplaceWith;
}

CFindReplaceDialog::~CFindReplaceDialog() {}

BOOL CFindReplaceDialog::Create(BOOL bFindDialogOnly, LPCSTR lpszFindWhat, LPCSTR lpszReplaceWith, DWORD dwFlags,
                                CWnd* pParentWnd)
{
    if (!bFindDialogOnly)
        return FALSE;   // the replace dialog is not offered here
    m_fr.Flags |= dwFlags;
    m_fr.hInstance = AfxGetResourceHandle();
    m_fr.lCustData = reinterpret_cast<LPARAM>(this);
    if (pParentWnd == NULL)
        pParentWnd = AfxGetMainWnd();
    m_fr.hwndOwner = pParentWnd->GetSafeHwnd();
    if (lpszFindWhat != NULL)
        lstrcpynA(m_szFindWhat, lpszFindWhat, sizeof m_szFindWhat);
    if (lpszReplaceWith != NULL)
        lstrcpynA(m_szReplaceWith, lpszReplaceWith, sizeof m_szReplaceWith);
    // The dialog's window becomes this object's as it is created.
    AfxHookWindowCreate(this);
    HWND hWnd = ::FindTextA(&m_fr);
    AfxUnhookWindowCreate();
    return hWnd != NULL && m_hWnd == hWnd;
}

CFindReplaceDialog* PASCAL CFindReplaceDialog::GetNotifier(LPARAM lParam)
{
    return reinterpret_cast<CFindReplaceDialog*>(reinterpret_cast<FINDREPLACEA*>(lParam)->lCustData);
}

CString CFindReplaceDialog::GetFindString() const
{
    return CString(m_fr.lpstrFindWhat);
}

void CFindReplaceDialog::PostNcDestroy()
{
    delete this;
}
