// exceptions.cpp - the exception family, its messages from the string table,
// the mapping of system error codes to file-exception causes, and message boxes.
#include "afximpl.h"
#include <errno.h>
#include <string.h>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CSimpleException, CException)
IMPLEMENT_DYNAMIC(CMemoryException, CSimpleException)
IMPLEMENT_DYNAMIC(CInvalidArgException, CSimpleException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CSimpleException)
IMPLEMENT_DYNAMIC(CResourceException, CSimpleException)
IMPLEMENT_DYNAMIC(CFileException, CException)

void CException::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (lpszError && nMaxError)
        *lpszError = '\0';
    return FALSE;
}

static void CopyMessage(const CString& text, LPSTR lpszError, UINT nMaxError)
{
    if (!lpszError || nMaxError == 0)
        return;
    lstrcpynA(lpszError, text, static_cast<int>(nMaxError));
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char message[1024];
    if (GetErrorMessage(message, sizeof message))
        return AfxMessageBox(message, nType);
    return AfxMessageBox(nMessageID ? nMessageID : AFX_IDP_NO_ERROR_AVAILABLE, nType);
}

BOOL CSimpleException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    CString text;
    if (!text.LoadString(m_nMessageID)) {
        CopyMessage(CString(), lpszError, nMaxError);
        return FALSE;
    }
    CopyMessage(text, lpszError, nMaxError);
    return TRUE;
}

CMemoryException::CMemoryException() : CSimpleException(AFX_IDS_MEMORY_EXCEPTION) {}
CInvalidArgException::CInvalidArgException() : CSimpleException(AFX_IDS_INVALID_ARG_EXCEPTION) {}
CNotSupportedException::CNotSupportedException() : CSimpleException(AFX_IDS_NOT_SUPPORTED_EXCEPTION) {}
CResourceException::CResourceException() : CSimpleException(AFX_IDS_RESOURCE_EXCEPTION) {}

void AfxThrowMemoryException() { throw new CMemoryException; }
void AfxThrowInvalidArgException() { throw new CInvalidArgException; }
void AfxThrowNotSupportedException() { throw new CNotSupportedException; }
void AfxThrowResourceException() { throw new CResourceException; }

void AfxThrowFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}

BOOL CFileException::GetErrorMessage(LPSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    CString name = m_strFileName;
    if (name.IsEmpty())
        name.LoadString(AFX_IDS_UNNAMED_FILE);
    int cause = (m_cause >= none && m_cause <= endOfFile) ? m_cause : genericException;
    CString text;
    AfxFormatString1(text, AFX_IDP_FILE_NONE + static_cast<UINT>(cause), name);
    CopyMessage(text, lpszError, nMaxError);
    return !text.IsEmpty();
}

// The system's error codes as the framework has always mapped them; what the
// table does not name is a generic failure.
int PASCAL CFileException::OsErrorToException(LONG lOsError)
{
    switch (static_cast<DWORD>(lOsError)) {
    case NO_ERROR: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED: return accessDenied;
    case ERROR_INVALID_HANDLE: return fileNotFound;
    case ERROR_BAD_FORMAT: return invalidFile;
    case ERROR_INVALID_ACCESS: return accessDenied;
    case ERROR_INVALID_DRIVE: return badPath;
    case ERROR_CURRENT_DIRECTORY: return removeCurrentDir;
    case ERROR_NOT_SAME_DEVICE: return badPath;
    case ERROR_NO_MORE_FILES: return fileNotFound;
    case ERROR_WRITE_PROTECT: return accessDenied;
    case ERROR_BAD_UNIT: return hardIO;
    case ERROR_NOT_READY: return hardIO;
    case ERROR_BAD_COMMAND: return hardIO;
    case ERROR_CRC: return hardIO;
    case ERROR_BAD_LENGTH: return badSeek;
    case ERROR_SEEK: return badSeek;
    case ERROR_NOT_DOS_DISK: return invalidFile;
    case ERROR_SECTOR_NOT_FOUND: return badSeek;
    case ERROR_WRITE_FAULT: return accessDenied;
    case ERROR_READ_FAULT: return badSeek;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_WRONG_DISK: return badPath;
    case ERROR_SHARING_BUFFER_EXCEEDED: return tooManyOpenFiles;
    case ERROR_HANDLE_EOF: return endOfFile;
    case ERROR_HANDLE_DISK_FULL: return diskFull;
    case ERROR_DUP_NAME: return badPath;
    case ERROR_BAD_NETPATH: return badPath;
    case ERROR_NETWORK_BUSY: return accessDenied;
    case ERROR_DEV_NOT_EXIST: return badPath;
    case ERROR_ADAP_HDW_ERR: return hardIO;
    case ERROR_BAD_NET_RESP: return accessDenied;
    case ERROR_UNEXP_NET_ERR: return hardIO;
    case ERROR_BAD_REM_ADAP: return invalidFile;
    case ERROR_NO_SPOOL_SPACE: return directoryFull;
    case ERROR_NETNAME_DELETED: return accessDenied;
    case ERROR_NETWORK_ACCESS_DENIED: return accessDenied;
    case ERROR_BAD_DEV_TYPE: return invalidFile;
    case ERROR_BAD_NET_NAME: return badPath;
    case ERROR_TOO_MANY_NAMES: return tooManyOpenFiles;
    case ERROR_SHARING_PAUSED: return badPath;
    case ERROR_REQ_NOT_ACCEP: return accessDenied;
    case ERROR_FILE_EXISTS: return accessDenied;
    case ERROR_CANNOT_MAKE: return accessDenied;
    case ERROR_ALREADY_ASSIGNED: return badPath;
    case ERROR_INVALID_PASSWORD: return accessDenied;
    case ERROR_NET_WRITE_FAULT: return hardIO;
    case ERROR_DRIVE_LOCKED: return lockViolation;
    case ERROR_OPEN_FAILED: return fileNotFound;
    case ERROR_BUFFER_OVERFLOW: return badPath;
    case ERROR_DISK_FULL: return diskFull;
    case ERROR_INVALID_NAME: return badPath;
    case ERROR_FILENAME_EXCED_RANGE: return badPath;
    case ERROR_NEGATIVE_SEEK: return badSeek;
    case ERROR_SEEK_ON_DEVICE: return badSeek;
    case ERROR_DIR_NOT_EMPTY: return removeCurrentDir;
    default: return genericException;
    }
}

void PASCAL CFileException::ThrowOsError(LONG lOsError, LPCSTR lpszFileName)
{
    AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void PASCAL CFileException::ThrowErrno(int nErrno, LPCSTR lpszFileName)
{
    int cause;
    switch (nErrno) {
    case ENOENT: cause = fileNotFound; break;
    case EACCES: cause = accessDenied; break;
    case EMFILE: cause = tooManyOpenFiles; break;
    case ENOSPC: cause = diskFull; break;
    case EBADF: cause = invalidFile; break;
    default: cause = genericException; break;
    }
    AfxThrowFileException(cause, nErrno, lpszFileName);
}

// ---------------------------------------------------------------------------
// Message boxes and the module the resources come from

AfxHostHooks& AfxGetHostHooks()
{
    static AfxHostHooks hooks;
    return hooks;
}

static HINSTANCE g_hInstResource = NULL;

HINSTANCE AfxGetInstanceHandle()
{
    return ::GetModuleHandleA(NULL);
}

HINSTANCE AfxGetResourceHandle()
{
    return g_hInstResource ? g_hInstResource : ::GetModuleHandleA(NULL);
}

void AfxSetResourceHandle(HINSTANCE hInstResource)
{
    g_hInstResource = hInstResource;
}

CString AfxGetAppTitle()
{
    CString title;
    if (title.LoadString(AFX_IDS_APP_TITLE))
        return title;
    char path[MAX_PATH];
    DWORD n = ::GetModuleFileNameA(NULL, path, MAX_PATH);
    title = CString(path, static_cast<int>(n));
    int slash = title.ReverseFind('\\');
    if (slash >= 0)
        title = title.Mid(slash + 1);
    int dot = title.ReverseFind('.');
    if (dot > 0)
        title = title.Left(dot);
    return title;
}

int AfxMessageBox(LPCSTR lpszText, UINT nType, UINT nIDHelp)
{
    AfxHostHooks& hooks = AfxGetHostHooks();
    if (hooks.pfnDoMessageBox)
        return hooks.pfnDoMessageBox(lpszText, nType, nIDHelp);

    // Without an application: an exclamation mark for plain OK boxes, as the
    // application's message box does, owned by the active window.
    if ((nType & MB_ICONMASK) == 0 && ((nType & MB_TYPEMASK) == MB_OK || (nType & MB_TYPEMASK) == MB_OKCANCEL))
        nType |= MB_ICONEXCLAMATION;
    HWND hOwner = hooks.pfnGetMainWnd ? hooks.pfnGetMainWnd() : ::GetActiveWindow();
    return ::MessageBoxA(hOwner, lpszText, AfxGetAppTitle(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp == UINT(-1) ? nIDPrompt : nIDHelp);
}
