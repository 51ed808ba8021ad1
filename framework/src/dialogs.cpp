// dialogs.cpp - modal dialogs from a template, dialog data exchange
// (DDX_Control), the common file dialog and the modeless find dialog.
#include "afximpl.h"
#include "afxdlgs.h"
#include <new>
#include <shobjidl.h>
#include <string.h>
#include <string>
#include <vector>

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

namespace {

std::wstring WideOf(LPCSTR psz)
{
    std::wstring wide;
    if (psz == NULL || *psz == '\0')
        return wide;
    int n = ::MultiByteToWideChar(CP_ACP, 0, psz, -1, NULL, 0);
    if (n > 1) {
        wide.resize(static_cast<size_t>(n));
        ::MultiByteToWideChar(CP_ACP, 0, psz, -1, &wide[0], n);
        wide.resize(static_cast<size_t>(n - 1));
    }
    return wide;
}

// The flags of the old dialog that the shell dialog has as options; the
// others (OFN_EXPLORER, hooks, templates) mean nothing to it.
DWORD ShellOptionsOf(DWORD dwFlags)
{
    static const struct {
        DWORD ofn;
        DWORD fos;
    } kPairs[] = {
        {OFN_OVERWRITEPROMPT, FOS_OVERWRITEPROMPT}, {OFN_FILEMUSTEXIST, FOS_FILEMUSTEXIST},
        {OFN_PATHMUSTEXIST, FOS_PATHMUSTEXIST},     {OFN_NOCHANGEDIR, FOS_NOCHANGEDIR},
        {OFN_CREATEPROMPT, FOS_CREATEPROMPT},       {OFN_NOREADONLYRETURN, FOS_NOREADONLYRETURN},
        {OFN_NOTESTFILECREATE, FOS_NOTESTFILECREATE}, {OFN_NOVALIDATE, FOS_NOVALIDATE},
        {OFN_SHAREAWARE, FOS_SHAREAWARE},           {OFN_NODEREFERENCELINKS, FOS_NODEREFERENCELINKS},
        {OFN_DONTADDTORECENT, FOS_DONTADDTORECENT}, {OFN_FORCESHOWHIDDEN, FOS_FORCESHOWHIDDEN},
    };
    DWORD dwOptions = FOS_FORCEFILESYSTEM;
    for (const auto& pair : kPairs)
        if ((dwFlags & pair.ofn) != 0)
            dwOptions |= pair.fos;
    return dwOptions;
}

// COM for the calling thread while a shell dialog is up.
class ComForThread {
public:
    ComForThread() : m_hr(::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ~ComForThread()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    // A thread already in another apartment can still create the dialog.
    bool Usable() const { return SUCCEEDED(m_hr) || m_hr == RPC_E_CHANGED_MODE; }
    ComForThread(const ComForThread&) = delete;
    ComForThread& operator=(const ComForThread&) = delete;

private:
    HRESULT m_hr;
};

// Releases an interface however the scope is left.
template <class T>
class Held {
public:
    Held() : m_p(NULL) {}
    ~Held()
    {
        if (m_p != NULL)
            m_p->Release();
    }
    T** operator&() { return &m_p; }
    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    T* m_p;
};

// The shell's dialog for ofn: false when it cannot be had, else nResult is
// set and ofn holds the choice as the old dialog leaves it.
bool ShowShellDialog(OPENFILENAMEA& ofn, BOOL bOpenFileDialog, INT_PTR& nResult)
{
    ComForThread com;
    if (!com.Usable())
        return false;
    Held<IFileDialog> dialog;
    if (FAILED(::CoCreateInstance(bOpenFileDialog ? CLSID_FileOpenDialog : CLSID_FileSaveDialog, NULL,
                                  CLSCTX_INPROC_SERVER, IID_IFileDialog, reinterpret_cast<void**>(&dialog))))
        return false;

    DWORD dwOptions = 0;
    dialog->GetOptions(&dwOptions);
    dialog->SetOptions(dwOptions | ShellOptionsOf(ofn.Flags));
    if (ofn.lpstrTitle != NULL)
        dialog->SetTitle(WideOf(ofn.lpstrTitle).c_str());
    if (ofn.lpstrDefExt != NULL)
        dialog->SetDefaultExtension(WideOf(ofn.lpstrDefExt).c_str());

    // "name\0pattern\0...\0\0" as the dialog's file types.
    std::vector<std::wstring> filterTexts;
    for (LPCSTR p = ofn.lpstrFilter; p != NULL && *p != '\0'; p += strlen(p) + 1)
        filterTexts.push_back(WideOf(p));
    std::vector<COMDLG_FILTERSPEC> specs;
    for (size_t i = 0; i + 1 < filterTexts.size(); i += 2)
        specs.push_back(COMDLG_FILTERSPEC{filterTexts[i].c_str(), filterTexts[i + 1].c_str()});
    if (!specs.empty()) {
        dialog->SetFileTypes(static_cast<UINT>(specs.size()), specs.data());
        if (ofn.nFilterIndex > 0 && ofn.nFilterIndex <= specs.size())
            dialog->SetFileTypeIndex(ofn.nFilterIndex);
    }

    // The name given, in its folder; a pattern such as "*.*" is the old
    // dialog's filter and no name to offer.
    std::wstring name = WideOf(ofn.lpstrFile);
    std::wstring folder = WideOf(ofn.lpstrInitialDir);
    const size_t nSlash = name.find_last_of(L"\\/");
    if (nSlash != std::wstring::npos) {
        folder = name.substr(0, nSlash + 1);
        name = name.substr(nSlash + 1);
    }
    if (!folder.empty()) {
        Held<IShellItem> folderItem;
        if (SUCCEEDED(::SHCreateItemFromParsingName(folder.c_str(), NULL, IID_IShellItem,
                                                    reinterpret_cast<void**>(&folderItem))))
            dialog->SetFolder(folderItem.Get());
    }
    if (!name.empty() && name.find_first_of(L"*?") == std::wstring::npos)
        dialog->SetFileName(name.c_str());

    HRESULT hr = dialog->Show(ofn.hwndOwner);
    if (hr == HRESULT_FROM_WIN32(ERROR_CANCELLED)) {
        nResult = IDCANCEL;
        return true;
    }
    if (FAILED(hr))
        return false;
    Held<IShellItem> chosen;
    LPWSTR pszPath = NULL;
    if (FAILED(dialog->GetResult(&chosen)) || FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &pszPath)))
        return false;
    // Back into m_ofn as the old dialog leaves it; a path that does not fit
    // is no choice.
    char szPath[MAX_PATH];
    const int nBytes = ::WideCharToMultiByte(CP_ACP, 0, pszPath, -1, szPath, sizeof szPath, NULL, NULL);
    ::CoTaskMemFree(pszPath);
    if (nBytes <= 0 || static_cast<DWORD>(nBytes) > ofn.nMaxFile) {
        nResult = IDCANCEL;
        return true;
    }
    memcpy(ofn.lpstrFile, szPath, static_cast<size_t>(nBytes));
    LPCSTR pszName = strrchr(szPath, '\\');
    pszName = pszName != NULL ? pszName + 1 : szPath;
    LPCSTR pszDot = strrchr(pszName, '.');
    ofn.nFileOffset = static_cast<WORD>(pszName - szPath);
    ofn.nFileExtension = static_cast<WORD>(pszDot != NULL ? pszDot + 1 - szPath : 0);
    if (ofn.lpstrFileTitle != NULL && ofn.nMaxFileTitle > 0)
        lstrcpynA(ofn.lpstrFileTitle, pszName, static_cast<int>(ofn.nMaxFileTitle));
    UINT nType = 0;
    if (!specs.empty() && SUCCEEDED(dialog->GetFileTypeIndex(&nType)))
        ofn.nFilterIndex = nType;
    nResult = IDOK;
    return true;
}

} // namespace

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = PreModal();
    if (m_ofn.lpstrFilter != NULL)
        m_ofn.lpstrFilter = m_strFilter;   // the caller may have changed m_ofn
    INT_PTR nResult;
    if (m_bVistaStyle && ShowShellDialog(m_ofn, m_bOpenFileDialog, nResult))
        return nResult;
    // The old-style dialog, asked for or where the shell's cannot be had.
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
