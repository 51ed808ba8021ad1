// HexEditFile.cpp - CHexEditCtrl's whole-buffer operations: every byte to one
// value, the bytes from a file and to a file, with or without the common
// file dialog.
//
// A failure never costs the user a byte: a load reads into an array of its
// own and takes it only when the whole file is in; a save writes a temporary
// file beside the target and replaces the target with it only when every
// byte is written. Failures are shown in the framework's message box, named
// after the file the user chose.
#include "HexEditCtrl.h"
#include <afxdlgs.h>
#include <climits>
#include <string.h>
#include <utility>

namespace {

// Shows the framework's message for a file failure on lpszPath.
void ReportFileError(int nCause, LONG lOsError, LPCSTR lpszPath)
{
    CFileException e(nCause, lOsError, lpszPath);
    e.ReportError();
}

void ReportOsError(DWORD dwError, LPCSTR lpszPath)
{
    ReportFileError(CFileException::OsErrorToException(static_cast<LONG>(dwError)), static_cast<LONG>(dwError),
                    lpszPath);
}

// The folder that holds lpszPath, with its trailing backslash, taken from the
// full path so that a bare name gets the current folder.
bool GetFolderOf(LPCSTR lpszPath, CString& strFolder)
{
    char szFull[MAX_PATH];
    LPSTR pszName = NULL;
    DWORD n = ::GetFullPathNameA(lpszPath, MAX_PATH, szFull, &pszName);
    if (n == 0 || n >= MAX_PATH || pszName == NULL)
        return false;
    strFolder = CString(szFull, static_cast<int>(pszName - szFull));
    return true;
}

// The attributes a replaced file keeps: those a user or a program sets on a
// file, not those that describe how the system stores it.
const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

} // namespace

void CHexEditCtrl::Fill(BYTE value)
{
    int nSize = m_data.GetSize();
    if (nSize > 0) {
        memset(m_data.GetData(), value, static_cast<size_t>(nSize));
        BytesChanged();
    }
    // The header line shows the byte at the caret, which is now the new value.
    m_byteCur = GetCaretByte();
    if (m_hWnd != NULL)
        Invalidate(TRUE);
    NotifyHost();
}

void CHexEditCtrl::LoadFile(LPCSTR lpszPath)
{
    CFile file;
    CFileException error;
    if (!file.Open(lpszPath, CFile::modeRead, &error)) {
        error.ReportError(MB_OK, 0);
        return;
    }

    // The new bytes go into an array of their own: until the last of them is
    // in, the control keeps what it shows.
    CByteArray newData;
    try {
        ULONGLONG nLength = file.GetLength();
        if (nLength > static_cast<ULONGLONG>(INT_MAX)) {
            // The array counts its bytes in a signed 32-bit int.
            AfxMessageBox(AFX_IDP_FILE_TOO_LARGE, MB_OK);
            return;
        }
        int nSize = static_cast<int>(nLength);
        newData.SetSize(nSize, 1024);
        UINT nRead = file.Read(newData.GetData(), static_cast<UINT>(nSize));
        if (nRead != static_cast<UINT>(nSize)) {
            // The file ended early (it shrank since its length was taken).
            ReportFileError(CFileException::endOfFile, -1, lpszPath);
            return;
        }
        file.Close();
    } catch (CException* e) {
        e->ReportError(MB_OK, 0);
        e->Delete();
        return;
    }

    m_data = std::move(newData);
    // New bytes from the file: unmodified, but changed for EN_CHANGE.
    BytesChanged();
    m_bModified = FALSE;

    // A new content starts at its beginning: no selection, the caret on the
    // first digit of byte 0, scrolled to the top left, no auto-scroll.
    if (m_bTimer && m_hWnd != NULL)
        KillTimer(1);
    m_nSelStart = -1;
    m_nSelEnd = -1;
    m_nCaretPos = 0;
    m_nArea = 0;
    m_nDigit = 0;
    m_byteCur = 0;
    m_bTimer = false;
    m_nFirstCol = 0;
    m_nFirstRow = 0;
    // Laid out for the new size first: a scroll bar that comes or goes
    // resizes the client area, and the edit class then puts its own caret
    // back at its text.
    RecalcLayout();
    // The caret stands on byte 0 and the header shows its value. The system
    // caret is the thread's, so it is moved only while the control has the
    // focus (it is placed again when the focus comes back).
    if (m_hWnd != NULL && ::GetFocus() == m_hWnd)
        UpdateCaret();
    else
        m_byteCur = GetCaretByte();
    if (m_hWnd != NULL)
        Invalidate(TRUE);
    NotifyHost();
}

void CHexEditCtrl::SaveFile(LPCSTR lpszPath)
{
    // What the target is now decides whether it may be replaced.
    DWORD dwAttributes = ::GetFileAttributesA(lpszPath);
    bool bTargetExists = dwAttributes != INVALID_FILE_ATTRIBUTES;
    if (bTargetExists) {
        // A folder or a read-only file is refused as an open for writing
        // would refuse it (a process running as root under Wine would be let
        // through the read-only mode bits otherwise).
        if (dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
            ReportFileError(CFileException::accessDenied, ERROR_ACCESS_DENIED, lpszPath);
            return;
        }
        // A file held open elsewhere without sharing is refused now, before
        // any byte is written.
        HANDLE hTarget = ::CreateFileA(lpszPath, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hTarget == INVALID_HANDLE_VALUE) {
            ReportOsError(::GetLastError(), lpszPath);
            return;
        }
        ::CloseHandle(hTarget);
    } else {
        DWORD dwError = ::GetLastError();
        if (dwError != ERROR_FILE_NOT_FOUND) {
            ReportOsError(dwError, lpszPath);
            return;
        }
    }

    // The whole array goes to a new file in the target's folder (so that
    // the replace is a rename on one volume).
    CString strFolder;
    if (!GetFolderOf(lpszPath, strFolder)) {
        ReportFileError(CFileException::badPath, ERROR_BAD_PATHNAME, lpszPath);
        return;
    }
    char szTemp[MAX_PATH];
    if (!::GetTempFileNameA(strFolder, "~qx", 0, szTemp)) {
        ReportOsError(::GetLastError(), lpszPath);
        return;
    }

    // The temporary file is new and empty: it is opened without truncation,
    // which some file systems answer with a flush of the whole file when it
    // is closed.
    CFile temp;
    CFileException error;
    if (!temp.Open(szTemp, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite, &error)) {
        ::DeleteFileA(szTemp);
        ReportFileError(error.m_cause, error.m_lOsError, lpszPath);
        return;
    }
    try {
        temp.Write(m_data.GetData(), static_cast<UINT>(m_data.GetSize()));
        temp.Close();
    } catch (CFileException* e) {
        temp.Abort();
        ::DeleteFileA(szTemp);
        ReportFileError(e->m_cause, e->m_lOsError, lpszPath);
        e->Delete();
        return;
    }

    // The target takes the new content in one step. A replaced file keeps
    // its attributes (set again where the system's replace leaves them out).
    BOOL bReplaced;
    DWORD dwError = NO_ERROR;
    if (bTargetExists) {
        bReplaced = ::ReplaceFileA(lpszPath, szTemp, NULL, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL);
        if (!bReplaced) {
            dwError = ::GetLastError();
            // The system may have removed the target and then failed to
            // rename the new file: the new file is then the only copy, and
            // it goes in under the target's name or stays where it is.
            if (dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
                ::GetFileAttributesA(lpszPath) == INVALID_FILE_ATTRIBUTES) {
                bReplaced = ::MoveFileExA(szTemp, lpszPath, MOVEFILE_REPLACE_EXISTING);
                if (!bReplaced) {
                    ReportOsError(::GetLastError(), lpszPath);
                    return;
                }
            }
        }
        DWORD dwKept = dwAttributes & kKeptAttributes;
        if (bReplaced && (::GetFileAttributesA(lpszPath) & kKeptAttributes) != dwKept)
            ::SetFileAttributesA(lpszPath, dwKept != 0 ? dwKept : FILE_ATTRIBUTE_NORMAL);
    } else {
        bReplaced = ::MoveFileExA(szTemp, lpszPath, MOVEFILE_REPLACE_EXISTING);
        if (!bReplaced)
            dwError = ::GetLastError();
    }
    if (!bReplaced) {
        ::DeleteFileA(szTemp);
        // The target could not be removed: it is in use or protected.
        if (dwError == ERROR_UNABLE_TO_REMOVE_REPLACED || dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            dwError = ERROR_ACCESS_DENIED;
        ReportOsError(dwError, lpszPath);
        return;
    }
    // The file now holds what the control shows.
    m_bModified = FALSE;
}

void CHexEditCtrl::OpenFile()
{
    // No default extension, "*.*" as the initial name; OFN_NOCHANGEDIR,
    // OFN_NOVALIDATE, OFN_EXPLORER and OFN_LONGNAMES, then OFN_HIDEREADONLY
    // and OFN_EXPLORER added.
    CFileDialog dlg(TRUE, NULL, "*.*", 0x280108, "All Files (*.*) |*.*||", NULL);
    dlg.GetOFN().Flags |= 0x80004;
    if (dlg.DoModal() != IDOK)
        return;
    LoadFile(dlg.GetPathName());
}

void CHexEditCtrl::SaveFileAs()
{
    CFileDialog dlg(FALSE, NULL, "*.*", 0x280108, "All Files (*.*) |*.*||", NULL);
    dlg.GetOFN().Flags |= 0x80004;
    if (dlg.DoModal() != IDOK)
        return;
    SaveFile(dlg.GetPathName());
}
