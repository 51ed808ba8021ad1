// app.cpp - the application object: its registration, the entry point and
// message loop with idle processing, the registry profile with the
// most-recently-used file list, the command line, and the File commands
// New, Open and Exit.
#include "afximpl.h"
#include "afxdlgs.h"
#include "afxdisp.h"
#include <ole2.h>
#include <stdlib.h>
#include <string.h>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)
IMPLEMENT_DYNAMIC(CWinApp, CWinThread)

namespace {

CWinApp* g_pApp = NULL;
BOOL g_bControlContainer = FALSE;

HWND HookGetMainWnd()
{
    CWnd* pWnd = g_pApp != NULL ? g_pApp->GetMainWnd() : NULL;
    return pWnd != NULL ? pWnd->m_hWnd : NULL;
}

int HookDoMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp)
{
    return g_pApp->DoMessageBox(lpszText, nType, nIDHelp);
}

// The main window going ends the message loop.
void HookOnNcDestroy(CWnd* pWnd)
{
    if (g_pApp != NULL && g_pApp->m_pMainWnd == pWnd) {
        ::PostQuitMessage(0);
        g_pApp->m_pMainWnd = NULL;
    }
}

const char kFileSection[] = "Recent File List";
const char kFileEntry[] = "File%d";
const char kPreviewSection[] = "Settings";
const char kPreviewEntry[] = "PreviewPages";

} // namespace

CWinApp* AfxGetApp()
{
    return g_pApp;
}

CWnd* AfxGetMainWnd()
{
    return g_pApp != NULL ? g_pApp->GetMainWnd() : NULL;
}

void AfxEnableControlContainer()
{
    if (!g_bControlContainer && SUCCEEDED(::OleInitialize(NULL)))
        g_bControlContainer = TRUE;
}

BOOL AfxIsControlContainerEnabled()
{
    return g_bControlContainer;
}

// ---------------------------------------------------------------------------
// CWinThread: the message loop

CWinThread::CWinThread() : m_pMainWnd(NULL), m_nThreadID(::GetCurrentThreadId()), m_nMsgLast(0)
{
    memset(&m_msgCur, 0, sizeof m_msgCur);
    m_ptCursorLast.x = m_ptCursorLast.y = -1;
}

CWinThread::~CWinThread() {}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return static_cast<int>(m_msgCur.wParam);
}

// Offers the message to each window from its target up to the main window,
// then to the main window for messages of its other top-level windows.
static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd != NULL; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
        if (pWnd != NULL && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg)
{
    CWnd* pMainWnd = GetMainWnd();
    if (WalkPreTranslateTree(pMainWnd->GetSafeHwnd(), pMsg))
        return TRUE;
    if (pMainWnd != NULL && pMainWnd->m_hWnd != NULL && pMsg->hwnd != NULL) {
        HWND hTop = pMsg->hwnd;
        while (HWND hParent = ::GetParent(hTop))
            hTop = hParent;
        while (HWND hOwner = ::GetWindow(hTop, GW_OWNER))
            hTop = hOwner;
        if (hTop == pMainWnd->m_hWnd && ::GetAncestor(pMsg->hwnd, GA_ROOT) != pMainWnd->m_hWnd)
            return pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::PumpMessage()
{
    if (!::GetMessageA(&m_msgCur, NULL, 0, 0))
        return FALSE;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return TRUE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg)
{
    // Mouse moves that do not move and the caret's blinking do not end idle time.
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        if (m_ptCursorLast.x == pMsg->pt.x && m_ptCursorLast.y == pMsg->pt.y && pMsg->message == m_nMsgLast)
            return FALSE;
        m_ptCursorLast = pMsg->pt;
        m_nMsgLast = pMsg->message;
        return TRUE;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118 /* WM_SYSTIMER */;
}

BOOL CWinThread::OnIdle(LONG lCount)
{
    if (lCount <= 0) {
        // Bring menus, toolbar buttons and panes up to date.
        CWnd* pMainWnd = GetMainWnd();
        if (pMainWnd != NULL && pMainWnd->m_hWnd != NULL && pMainWnd->IsWindowVisible()) {
            AfxCallWndProc(pMainWnd, pMainWnd->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            pMainWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        }
        for (CFrameWnd* pFrame : std::vector<CFrameWnd*>(AfxFrameList())) {
            if (pFrame == pMainWnd || pFrame->m_hWnd == NULL || !pFrame->IsWindowVisible())
                continue;
            AfxCallWndProc(pFrame, pFrame->m_hWnd, WM_IDLEUPDATECMDUI, TRUE, 0);
            pFrame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
        }
    } else {
        AfxDeleteTempMaps();
        CMenu::DeleteTempMap();
    }
    return lCount < 1;
}

int CWinThread::Run()
{
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        while (bIdle && !::PeekMessageA(&m_msgCur, NULL, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessageA(&m_msgCur, NULL, 0, 0, PM_NOREMOVE));
    }
}

// ---------------------------------------------------------------------------
// CWinApp

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
    ON_COMMAND(ID_APP_EXIT, OnAppExit)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_hDevMode(NULL), m_hDevNames(NULL), m_nNumPreviewPages(0), m_pszAppName(NULL), m_pszRegistryKey(NULL),
      m_pszProfileName(NULL), m_pszExeName(NULL), m_hInstance(NULL), m_lpCmdLine(NULL), m_nCmdShow(SW_SHOWNORMAL),
      m_nMaxMRU(0)
{
    if (lpszAppName != NULL) {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    for (CDocTemplate* pTemplate : m_templateList)
        delete pTemplate;
    m_templateList.clear();
    if (m_hDevMode != NULL)
        ::GlobalFree(m_hDevMode);
    if (m_hDevNames != NULL)
        ::GlobalFree(m_hDevNames);
    if (g_pApp == this) {
        g_pApp = NULL;
        AfxGetHostHooks() = AfxHostHooks();
    }
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return FALSE;
    pApp->m_hInstance = hInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;

    // The executable's name without its directory and extension; the
    // title from the string table unless the constructor gave one.
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(hInstance, path, MAX_PATH);
    CString exe(path, static_cast<int>(n));
    int slash = exe.ReverseFind('\\');
    exe = exe.Mid(slash + 1);
    int dot = exe.ReverseFind('.');
    if (dot > 0)
        exe = exe.Left(dot);
    pApp->SetCurrentNames(exe);

    AfxHostHooks& hooks = AfxGetHostHooks();
    hooks.pfnGetMainWnd = HookGetMainWnd;
    hooks.pfnDoMessageBox = HookDoMessageBox;
    hooks.pfnOnNcDestroy = HookOnNcDestroy;
    return TRUE;
}

void CWinApp::SetCurrentNames(const CString& exeName)
{
    m_strExeName = exeName;
    m_pszExeName = m_strExeName;
    if (m_pszAppName == NULL) {
        if (!m_strAppName.LoadString(AFX_IDS_APP_TITLE))
            m_strAppName = exeName;
        m_pszAppName = m_strAppName;
    }
    if (m_pszProfileName == NULL) {
        m_strProfileName = exeName + ".INI";
        m_pszProfileName = m_strProfileName;
    }
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    int nReturnCode = -1;
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL || !AfxWinInit(hInstance, hPrevInstance, lpCmdLine, nCmdShow))
        return nReturnCode;
    if (!pApp->InitInstance()) {
        if (pApp->m_pMainWnd != NULL)
            pApp->m_pMainWnd->DestroyWindow();
        nReturnCode = pApp->ExitInstance();
    } else {
        nReturnCode = pApp->Run();
    }
    if (g_bControlContainer) {
        ::OleUninitialize();
        g_bControlContainer = FALSE;
    }
    return nReturnCode;
}

extern "C" int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPSTR lpCmdLine, int nCmdShow)
{
    return AfxWinMain(hInstance, hPrevInstance, lpCmdLine, nCmdShow);
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    SaveStdProfileSettings();
    return static_cast<int>(m_msgCur.wParam);
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

int CWinApp::Run()
{
    if (m_pMainWnd == NULL)
        ::PostQuitMessage(0);   // nothing to run for
    return CWinThread::Run();
}

int CWinApp::DoMessageBox(LPCSTR lpszPrompt, UINT nType, UINT)
{
    if ((nType & MB_ICONMASK) == 0) {
        switch (nType & MB_TYPEMASK) {
        case MB_OK:
        case MB_OKCANCEL:
            nType |= MB_ICONEXCLAMATION;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            nType |= MB_ICONQUESTION;
            break;
        default:
            break;
        }
    }
    // Owned by the main window, or by what it has up (a modal dialog).
    HWND hOwner = NULL;
    if (m_pMainWnd != NULL && m_pMainWnd->m_hWnd != NULL)
        hOwner = ::GetLastActivePopup(m_pMainWnd->m_hWnd);
    else
        hOwner = ::GetActiveWindow();
    return ::MessageBoxA(hOwner, lpszPrompt, m_pszAppName ? m_pszAppName : "", nType);
}

// ---------------------------------------------------------------------------
// Profile

void CWinApp::SetRegistryKey(LPCSTR lpszRegistryKey)
{
    m_strRegistryKey = lpszRegistryKey;
    m_pszRegistryKey = m_strRegistryKey;
    // Under the registry the profile is named after the application.
    m_strProfileName = m_pszAppName ? m_pszAppName : "";
    m_pszProfileName = m_strProfileName;
}

void CWinApp::SetRegistryKey(UINT nIDRegistryKey)
{
    CString key;
    key.LoadString(nIDRegistryKey);
    SetRegistryKey(key);
}

HKEY CWinApp::GetAppRegistryKey()
{
    if (m_pszRegistryKey == NULL || m_pszProfileName == NULL)
        return NULL;
    HKEY hSoftKey = NULL, hCompanyKey = NULL, hAppKey = NULL;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_WRITE | KEY_READ, &hSoftKey) == ERROR_SUCCESS) {
        DWORD dw;
        if (::RegCreateKeyExA(hSoftKey, m_pszRegistryKey, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ,
                              NULL, &hCompanyKey, &dw) == ERROR_SUCCESS) {
            ::RegCreateKeyExA(hCompanyKey, m_pszProfileName, 0, NULL, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | KEY_READ, NULL, &hAppKey, &dw);
        }
    }
    if (hSoftKey != NULL)
        ::RegCloseKey(hSoftKey);
    if (hCompanyKey != NULL)
        ::RegCloseKey(hCompanyKey);
    return hAppKey;
}

HKEY CWinApp::GetSectionKey(LPCSTR lpszSection)
{
    HKEY hAppKey = GetAppRegistryKey();
    if (hAppKey == NULL)
        return NULL;
    HKEY hSectionKey = NULL;
    DWORD dw;
    ::RegCreateKeyExA(hAppKey, lpszSection, 0, NULL, REG_OPTION_NON_VOLATILE, KEY_WRITE | KEY_READ, NULL,
                      &hSectionKey, &dw);
    ::RegCloseKey(hAppKey);
    return hSectionKey;
}

UINT CWinApp::GetProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nDefault)
{
    if (m_pszRegistryKey == NULL)
        return ::GetPrivateProfileIntA(lpszSection, lpszEntry, nDefault, m_pszProfileName);
    HKEY hSecKey = GetSectionKey(lpszSection);
    if (hSecKey == NULL)
        return static_cast<UINT>(nDefault);
    DWORD dwValue = 0, dwType = 0, dwCount = sizeof(DWORD);
    LONG lResult = ::RegQueryValueExA(hSecKey, lpszEntry, NULL, &dwType, reinterpret_cast<LPBYTE>(&dwValue), &dwCount);
    ::RegCloseKey(hSecKey);
    if (lResult == ERROR_SUCCESS && dwType == REG_DWORD)
        return static_cast<UINT>(dwValue);
    return static_cast<UINT>(nDefault);
}

BOOL CWinApp::WriteProfileInt(LPCSTR lpszSection, LPCSTR lpszEntry, int nValue)
{
    if (m_pszRegistryKey == NULL) {
        char buf[16];
        wsprintfA(buf, "%d", nValue);
        return ::WritePrivateProfileStringA(lpszSection, lpszEntry, buf, m_pszProfileName);
    }
    HKEY hSecKey = GetSectionKey(lpszSection);
    if (hSecKey == NULL)
        return FALSE;
    DWORD dw = static_cast<DWORD>(nValue);
    LONG lResult = ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dw), sizeof dw);
    ::RegCloseKey(hSecKey);
    return lResult == ERROR_SUCCESS;
}

CString CWinApp::GetProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszDefault)
{
    if (m_pszRegistryKey == NULL) {
        char buf[4096];
        ::GetPrivateProfileStringA(lpszSection, lpszEntry, lpszDefault ? lpszDefault : "", buf, sizeof buf,
                                   m_pszProfileName);
        return CString(buf);
    }
    HKEY hSecKey = GetSectionKey(lpszSection);
    CString result = lpszDefault;
    if (hSecKey == NULL)
        return result;
    DWORD dwType = 0, dwCount = 0;
    if (::RegQueryValueExA(hSecKey, lpszEntry, NULL, &dwType, NULL, &dwCount) == ERROR_SUCCESS && dwType == REG_SZ) {
        std::vector<char> buf(dwCount + 1, '\0');
        if (::RegQueryValueExA(hSecKey, lpszEntry, NULL, &dwType, reinterpret_cast<LPBYTE>(buf.data()), &dwCount) ==
            ERROR_SUCCESS)
            result = buf.data();
    }
    ::RegCloseKey(hSecKey);
    return result;
}

BOOL CWinApp::WriteProfileString(LPCSTR lpszSection, LPCSTR lpszEntry, LPCSTR lpszValue)
{
    if (m_pszRegistryKey == NULL)
        return ::WritePrivateProfileStringA(lpszSection, lpszEntry, lpszValue, m_pszProfileName);
    if (lpszEntry == NULL) {
        // The whole section goes.
        HKEY hAppKey = GetAppRegistryKey();
        if (hAppKey == NULL)
            return FALSE;
        LONG lResult = ::RegDeleteKeyA(hAppKey, lpszSection);
        ::RegCloseKey(hAppKey);
        return lResult == ERROR_SUCCESS;
    }
    HKEY hSecKey = GetSectionKey(lpszSection);
    if (hSecKey == NULL)
        return FALSE;
    LONG lResult;
    if (lpszValue == NULL)
        lResult = ::RegDeleteValueA(hSecKey, lpszEntry);
    else
        lResult = ::RegSetValueExA(hSecKey, lpszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(lpszValue),
                                   static_cast<DWORD>(lstrlenA(lpszValue) + 1));
    ::RegCloseKey(hSecKey);
    return lResult == ERROR_SUCCESS;
}

void CWinApp::LoadStdProfileSettings(UINT nMaxMRU)
{
    m_nMaxMRU = nMaxMRU;
    m_recentFiles.clear();
    for (UINT i = 0; i < nMaxMRU; ++i) {
        char entry[32];
        wsprintfA(entry, kFileEntry, static_cast<int>(i + 1));
        CString name = GetProfileString(kFileSection, entry);
        if (name.IsEmpty())
            break;   // the list has no gaps
        m_recentFiles.push_back(name);
    }
    m_nNumPreviewPages = GetProfileInt(kPreviewSection, kPreviewEntry, 0);
}

void CWinApp::SaveStdProfileSettings()
{
    if (m_nMaxMRU != 0) {
        WriteProfileString(kFileSection, NULL, NULL);
        for (size_t i = 0; i < m_recentFiles.size(); ++i) {
            char entry[32];
            wsprintfA(entry, kFileEntry, static_cast<int>(i + 1));
            WriteProfileString(kFileSection, entry, m_recentFiles[i]);
        }
    }
    if (m_nNumPreviewPages != 0)
        WriteProfileInt(kPreviewSection, kPreviewEntry, static_cast<int>(m_nNumPreviewPages));
}

void CWinApp::AddToRecentFileList(LPCSTR lpszPathName)
{
    if (m_nMaxMRU == 0 || lpszPathName == NULL || *lpszPathName == '\0')
        return;
    for (size_t i = 0; i < m_recentFiles.size(); ++i)
        if (m_recentFiles[i].CompareNoCase(lpszPathName) == 0) {
            m_recentFiles.erase(m_recentFiles.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    m_recentFiles.insert(m_recentFiles.begin(), CString(lpszPathName));
    if (m_recentFiles.size() > m_nMaxMRU)
        m_recentFiles.resize(m_nMaxMRU);
}

// ---------------------------------------------------------------------------
// Documents

void CWinApp::AddDocTemplate(CDocTemplate* pTemplate)
{
    pTemplate->LoadTemplate();
    m_templateList.push_back(pTemplate);
}

POSITION CWinApp::GetFirstDocTemplatePosition() const
{
    return AfxFirstPosition(m_templateList);
}

CDocTemplate* CWinApp::GetNextDocTemplate(POSITION& pos) const
{
    return AfxNextAt(m_templateList, pos);
}

CDocument* CWinApp::OpenDocumentFile(LPCSTR lpszFileName)
{
    if (lpszFileName == NULL || *lpszFileName == '\0')
        return NULL;
    char full[MAX_PATH];
    LPSTR filePart = NULL;
    DWORD n = ::GetFullPathNameA(lpszFileName, MAX_PATH, full, &filePart);
    CString path = (n == 0 || n >= MAX_PATH) ? CString(lpszFileName) : CString(full);

    CDocTemplate* pBestTemplate = NULL;
    CDocument* pOpenDocument = NULL;
    CDocTemplate::Confidence bestMatch = CDocTemplate::noAttempt;
    for (CDocTemplate* pTemplate : m_templateList) {
        CDocument* pOpen = NULL;
        CDocTemplate::Confidence match = pTemplate->MatchDocType(path, pOpen);
        if (match > bestMatch) {
            bestMatch = match;
            pBestTemplate = pTemplate;
            pOpenDocument = pOpen;
        }
        if (match == CDocTemplate::yesAlreadyOpen)
            break;
    }
    if (pOpenDocument != NULL) {
        // Already the document: show its frame.
        POSITION pos = pOpenDocument->GetFirstViewPosition();
        CView* pView = pos != NULL ? pOpenDocument->GetNextView(pos) : NULL;
        if (pView != NULL && pView->m_hWnd != NULL)
            if (CFrameWnd* pFrame = pView->GetParentFrame())
                pFrame->ActivateFrame();
        return pOpenDocument;
    }
    if (pBestTemplate == NULL) {
        AfxMessageBox(AFX_IDP_FAILED_TO_OPEN_DOC);
        return NULL;
    }
    return pBestTemplate->OpenDocumentFile(path);
}

BOOL CWinApp::DoPromptFileName(CString& fileName, UINT nIDSTitle, DWORD lFlags, BOOL bOpenFileDialog,
                               CDocTemplate*)
{
    // The program's document types have no filter of their own: the
    // framework's "all files" entry is the one offered.
    CString filter, allFilter;
    allFilter.LoadString(AFX_IDS_ALLFILTER);
    filter = allFilter + "|*.*||";
    CFileDialog dlgFile(bOpenFileDialog, NULL, fileName, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, filter);
    CString title;
    title.LoadString(nIDSTitle);
    dlgFile.m_ofn.Flags |= lFlags;
    dlgFile.m_ofn.lpstrTitle = title;
    if (dlgFile.DoModal() != IDOK)
        return FALSE;
    fileName = dlgFile.GetPathName();
    return TRUE;
}

void CWinApp::CloseAllDocuments(BOOL bEndSession)
{
    for (CDocTemplate* pTemplate : m_templateList)
        pTemplate->CloseAllDocuments(bEndSession);
}

BOOL CWinApp::SaveAllModified()
{
    for (CDocTemplate* pTemplate : m_templateList)
        if (!pTemplate->SaveAllModified())
            return FALSE;
    return TRUE;
}

void CWinApp::OnFileNew()
{
    if (m_templateList.empty()) {
        AfxMessageBox(AFX_IDP_FAILED_TO_CREATE_DOC);
        return;
    }
    m_templateList.front()->OpenDocumentFile(NULL);
}

void CWinApp::OnFileOpen()
{
    CString newName;
    if (!DoPromptFileName(newName, AFX_IDS_OPENFILE, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, TRUE, NULL))
        return;
    OpenDocumentFile(newName);
}

void CWinApp::OnAppExit()
{
    if (m_pMainWnd != NULL)
        m_pMainWnd->SendMessage(WM_CLOSE);
}

// ---------------------------------------------------------------------------
// Command line

CCommandLineInfo::CCommandLineInfo()
    : m_nShellCommand(FileNew), m_bShowSplash(TRUE), m_bRunEmbedded(FALSE), m_bRunAutomated(FALSE)
{
}

CCommandLineInfo::~CCommandLineInfo() {}

void CCommandLineInfo::ParseParam(LPCSTR pszParam, BOOL bFlag, BOOL)
{
    if (bFlag) {
        if (lstrcmpiA(pszParam, "pt") == 0)
            m_nShellCommand = FilePrintTo;
        else if (lstrcmpiA(pszParam, "p") == 0)
            m_nShellCommand = FilePrint;
        else if (lstrcmpiA(pszParam, "dde") == 0)
            m_nShellCommand = FileDDE;
        else if (lstrcmpiA(pszParam, "Register") == 0 || lstrcmpiA(pszParam, "Regserver") == 0)
            m_nShellCommand = AppRegister;
        else if (lstrcmpiA(pszParam, "Unregister") == 0 || lstrcmpiA(pszParam, "Unregserver") == 0)
            m_nShellCommand = AppUnregister;
        else if (lstrcmpiA(pszParam, "Embedding") == 0) {
            m_bRunEmbedded = TRUE;
            m_bShowSplash = FALSE;
        } else if (lstrcmpiA(pszParam, "Automation") == 0) {
            m_bRunAutomated = TRUE;
            m_bShowSplash = FALSE;
        } else if (lstrcmpiA(pszParam, "nologo") == 0)
            m_bShowSplash = FALSE;
        return;
    }
    if (m_nShellCommand == FilePrintTo && !m_strFileName.IsEmpty()) {
        if (m_strPrinterName.IsEmpty())
            m_strPrinterName = pszParam;
        else if (m_strDriverName.IsEmpty())
            m_strDriverName = pszParam;
        else if (m_strPortName.IsEmpty())
            m_strPortName = pszParam;
        return;
    }
    if (m_strFileName.IsEmpty()) {
        m_strFileName = pszParam;
        if (m_nShellCommand == FileNew)
            m_nShellCommand = FileOpen;
    }
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    for (int i = 1; i < __argc; ++i) {
        LPCSTR pszParam = __argv[i];
        BOOL bFlag = FALSE;
        BOOL bLast = i + 1 == __argc;
        if (pszParam[0] == '-' || pszParam[0] == '/') {
            bFlag = TRUE;
            ++pszParam;
        }
        rCmdInfo.ParseParam(pszParam, bFlag, bLast);
    }
}

BOOL CWinApp::ProcessShellCommand(CCommandLineInfo& rCmdInfo)
{
    switch (rCmdInfo.m_nShellCommand) {
    case CCommandLineInfo::FileNew:
        if (!OnCmdMsg(ID_FILE_NEW, 0, NULL, NULL))
            OnFileNew();
        return m_pMainWnd != NULL;
    case CCommandLineInfo::FileOpen:
        return OpenDocumentFile(rCmdInfo.m_strFileName) != NULL;
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo:
        // Print the document without showing the program, then end.
        m_nCmdShow = SW_HIDE;
        if (OpenDocumentFile(rCmdInfo.m_strFileName) != NULL && m_pMainWnd != NULL)
            m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT);
        return FALSE;
    case CCommandLineInfo::FileNothing:
        return TRUE;
    default:
        // No shell registration and no DDE: nothing to do but end.
        return FALSE;
    }
}
