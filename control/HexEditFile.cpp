// HexEditFile.cpp - CHexEditCtrl's whole-buffer operations: every byte to one
// value, the bytes from a file and to a file, with or without the common
// file dialog.
//
// A failure never costs the user a byte: a load reads into an array of its
// own and takes it only when the whole file is in; a save writes a temporary
// file beside the target, flushes it to the disk and replaces the target with
// it only when every byte is there. Failures are shown in the framework's
// message box; one that names a file names the one the user chose, never the
// temporary file.
//
// Each operation shows the wait cursor from its start. Loads and saves go in
// pieces of a few MiB; one still running after half a second shows its
// progress with a Cancel button (HexEditProgress.cpp), and a cancelled one
// ends as a failed one does, without a message.
#include "HexEditCtrl.h"
#include "HexEditProgress.h"
#include <afxdlgs.h>
#include <climits>
#include <string.h>
#include <utility>

#ifdef QX_FILE_TEST_HOOKS
#include "HexEditFileHooks.h"

namespace HexEditFileHooks {

BOOL(WINAPI* pfnFlushFileBuffers)(HANDLE) = ::FlushFileBuffers;
BOOL(WINAPI* pfnReplaceFileA)(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID) = ::ReplaceFileA;
BOOL(WINAPI* pfnMoveFileExA)(LPCSTR, LPCSTR, DWORD) = ::MoveFileExA;
void (*pfnBeforeRead)(LPCSTR) = nullptr;
void (*pfnAfterPiece)(ULONGLONG) = nullptr;

void Reset()
{
    pfnFlushFileBuffers = ::FlushFileBuffers;
    pfnReplaceFileA = ::ReplaceFileA;
    pfnMoveFileExA = ::MoveFileExA;
    pfnBeforeRead = nullptr;
    pfnAfterPiece = nullptr;
}

} // namespace HexEditFileHooks
#endif

namespace {

// The system calls where a test build injects its faults.
BOOL FlushToDisk(HANDLE hFile)
{
#ifdef QX_FILE_TEST_HOOKS
    return HexEditFileHooks::pfnFlushFileBuffers(hFile);
#else
    return ::FlushFileBuffers(hFile);
#endif
}

BOOL ReplaceWith(LPCSTR lpszTarget, LPCSTR lpszNew)
{
#ifdef QX_FILE_TEST_HOOKS
    return HexEditFileHooks::pfnReplaceFileA(lpszTarget, lpszNew, NULL, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL);
#else
    return ::ReplaceFileA(lpszTarget, lpszNew, NULL, REPLACEFILE_IGNORE_MERGE_ERRORS, NULL, NULL);
#endif
}

BOOL MoveInPlace(LPCSTR lpszNew, LPCSTR lpszTarget)
{
#ifdef QX_FILE_TEST_HOOKS
    return HexEditFileHooks::pfnMoveFileExA(lpszNew, lpszTarget, MOVEFILE_REPLACE_EXISTING);
#else
    return ::MoveFileExA(lpszNew, lpszTarget, MOVEFILE_REPLACE_EXISTING);
#endif
}

void BeforeRead(LPCSTR lpszPath)
{
#ifdef QX_FILE_TEST_HOOKS
    if (HexEditFileHooks::pfnBeforeRead != nullptr)
        HexEditFileHooks::pfnBeforeRead(lpszPath);
#else
    (void)lpszPath;
#endif
}

void AfterPiece(ULONGLONG nDone)
{
#ifdef QX_FILE_TEST_HOOKS
    if (HexEditFileHooks::pfnAfterPiece != nullptr)
        HexEditFileHooks::pfnAfterPiece(nDone);
#else
    (void)nDone;
#endif
}

// Exchanges the storage of two byte arrays, so that a loaded file becomes
// the control's bytes without a copy and without a step that can fail.
// CByteArray has no assignment or swap of its own; its storage members are
// protected, which lets a class derived from it name them.
class CByteArrayStorage : public CByteArray {
public:
    static void Swap(CByteArray& a, CByteArray& b)
    {
        std::swap(a.*&CByteArrayStorage::m_pData, b.*&CByteArrayStorage::m_pData);
        std::swap(a.*&CByteArrayStorage::m_nSize, b.*&CByteArrayStorage::m_nSize);
        std::swap(a.*&CByteArrayStorage::m_nMaxSize, b.*&CByteArrayStorage::m_nMaxSize);
        std::swap(a.*&CByteArrayStorage::m_nGrowBy, b.*&CByteArrayStorage::m_nGrowBy);
    }
};

// Marks a file operation as running for as long as it lives: the progress
// window lets messages through, and none of them may start another one on
// the same bytes.
class CFileOperationScope {
public:
    explicit CFileOperationScope(bool& bRunning) : m_bRunning(bRunning) { m_bRunning = true; }
    ~CFileOperationScope() { m_bRunning = false; }
    CFileOperationScope(const CFileOperationScope&) = delete;
    CFileOperationScope& operator=(const CFileOperationScope&) = delete;

private:
    bool& m_bRunning;
};

enum class LoadOutcome { loaded, tooLarge, cancelled };

// Reads the whole file at lpszPath into newData, piece by piece, showing the
// progress over pCtrl's window. A failure to open or read throws the
// framework's file exception, named after lpszPath.
LoadOutcome ReadWholeFile(CWnd* pCtrl, LPCSTR lpszPath, CByteArray& newData)
{
    // Others may go on reading and writing the file (a log being written, a
    // running program); one that holds it without sharing refuses the open.
    CFile file;
    CFileException error;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyNone, &error))
        AfxThrowFileException(error.m_cause, error.m_lOsError, lpszPath);
    ULONGLONG nLength = file.GetLength();
    if (nLength > static_cast<ULONGLONG>(INT_MAX))
        return LoadOutcome::tooLarge;   // the array counts its bytes in a signed 32-bit int
    const UINT nSize = static_cast<UINT>(nLength);
    newData.SetSize(static_cast<int>(nSize), 1024);
    BeforeRead(lpszPath);

    CHexEditProgress progress(pCtrl, "Loading", lpszPath, nSize);
    BYTE* pData = newData.GetData();
    for (UINT nDone = 0; nDone < nSize;) {
        UINT nPiece = nSize - nDone < CHexEditProgress::kPieceSize ? nSize - nDone : CHexEditProgress::kPieceSize;
        // A piece that comes short means the file ended early (another
        // program shortened it since its length was taken).
        if (file.Read(pData + nDone, nPiece) != nPiece)
            AfxThrowFileException(CFileException::endOfFile, -1, lpszPath);
        nDone += nPiece;
        AfterPiece(nDone);
        if (!progress.Step(nDone))
            return LoadOutcome::cancelled;
    }
    file.Close();
    return LoadOutcome::loaded;
}

// Writes the nSize bytes at pData to file, piece by piece, showing the
// progress; false when the user cancelled. A failure throws the framework's
// file exception.
bool WriteAllBytes(CHexEditProgress& progress, CFile& file, const BYTE* pData, UINT nSize)
{
    for (UINT nDone = 0; nDone < nSize;) {
        UINT nPiece = nSize - nDone < CHexEditProgress::kPieceSize ? nSize - nDone : CHexEditProgress::kPieceSize;
        file.Write(pData + nDone, nPiece);
        nDone += nPiece;
        AfterPiece(nDone);
        if (!progress.Step(nDone))
            return false;
    }
    return true;
}

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

// Reports a save whose new bytes are left only in the temporary file (the
// target is gone): the framework's message for the failure, then where the
// bytes are, so that the user can rescue them.
void ReportBytesLeftIn(DWORD dwError, LPCSTR lpszPath, LPCSTR lpszTemp)
{
    CFileException e(CFileException::OsErrorToException(static_cast<LONG>(dwError)), static_cast<LONG>(dwError),
                     lpszPath);
    char szMessage[1024] = "";
    e.GetErrorMessage(szMessage, sizeof szMessage);
    CString strText;
    strText.Format("%s\n\nThe saved bytes are kept in:\n%s", szMessage, lpszTemp);
    AfxMessageBox(strText, MB_OK);
}

// The attributes a replaced file keeps: those a user or a program sets on a
// file, not those that describe how the system stores it.
const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Whether the save may go on to replace or create lpszPath, judged from what
// the target is now; dwAttributes gets its attributes, or
// INVALID_FILE_ATTRIBUTES when there is no such file yet. A refusal is
// reported.
bool MayReplaceTarget(LPCSTR lpszPath, DWORD& dwAttributes)
{
    dwAttributes = ::GetFileAttributesA(lpszPath);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        DWORD dwError = ::GetLastError();
        if (dwError == ERROR_FILE_NOT_FOUND)
            return true;
        ReportOsError(dwError, lpszPath);
        return false;
    }
    // A folder or a read-only file is refused as an open for writing would
    // refuse it (a process running as root under Wine would be let through
    // the read-only mode bits otherwise).
    if (dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
        ReportFileError(CFileException::accessDenied, ERROR_ACCESS_DENIED, lpszPath);
        return false;
    }
    // A file held open elsewhere without sharing is refused now, before any
    // byte is written.
    HANDLE hTarget = ::CreateFileA(lpszPath, GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hTarget == INVALID_HANDLE_VALUE) {
        ReportOsError(::GetLastError(), lpszPath);
        return false;
    }
    ::CloseHandle(hTarget);
    return true;
}

// Creates the empty temporary file the save writes, in the target's folder
// so that the replace is a rename on one volume. A failure is reported.
bool CreateTempBeside(LPCSTR lpszPath, char (&szTemp)[MAX_PATH])
{
    CString strFolder;
    if (!GetFolderOf(lpszPath, strFolder)) {
        ReportFileError(CFileException::badPath, ERROR_BAD_PATHNAME, lpszPath);
        return false;
    }
    if (!::GetTempFileNameA(strFolder, "~qx", 0, szTemp)) {
        ReportOsError(::GetLastError(), lpszPath);
        return false;
    }
    return true;
}

// Writes the nSize bytes at pData into the temporary file and flushes them
// to the disk, showing the progress over pCtrl's window. False when the user
// cancelled or the write failed (reported, named after the target); the
// temporary file is then deleted and the target untouched.
bool WriteTempFile(CWnd* pCtrl, LPCSTR lpszPath, LPCSTR lpszTemp, const BYTE* pData, UINT nSize)
{
    // The temporary file is new and empty: it is opened without truncation,
    // which some file systems answer with a flush of the whole file when it
    // is closed.
    CFile temp;
    CFileException error;
    if (!temp.Open(lpszTemp, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite, &error)) {
        ::DeleteFileA(lpszTemp);
        ReportFileError(error.m_cause, error.m_lOsError, lpszPath);
        return false;
    }
    try {
        // The window (when the save is long) stays up through the flush.
        CHexEditProgress progress(pCtrl, "Saving", lpszPath, nSize);
        if (!WriteAllBytes(progress, temp, pData, nSize)) {
            temp.Abort();
            ::DeleteFileA(lpszTemp);
            return false;   // cancelled: nothing to report
        }
        // On the disk before it takes the target's place: a power cut after
        // the replace must not leave a file of the right length full of
        // zeros.
        if (!FlushToDisk(temp.m_hFile))
            CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszTemp);
        temp.Close();
    } catch (CFileException* e) {
        temp.Abort();
        ::DeleteFileA(lpszTemp);
        ReportFileError(e->m_cause, e->m_lOsError, lpszPath);
        e->Delete();
        return false;
    }
    return true;
}

// Puts the written temporary file in the target's place in one step. A
// replaced file gets dwAttributes (set again where the system's replace
// leaves them out). A failure is reported; the temporary file is deleted
// unless it holds the only copy of the bytes.
bool PutInPlace(LPCSTR lpszPath, LPCSTR lpszTemp, bool bTargetExists, DWORD dwAttributes)
{
    BOOL bReplaced;
    DWORD dwError = NO_ERROR;
    if (bTargetExists) {
        bReplaced = ReplaceWith(lpszPath, lpszTemp);
        if (!bReplaced) {
            dwError = ::GetLastError();
            // The system may have removed the target and then failed to
            // rename the new file: the new file is then the only copy, and
            // it goes in under the target's name or stays where it is, and
            // the user is told where.
            if (dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
                ::GetFileAttributesA(lpszPath) == INVALID_FILE_ATTRIBUTES) {
                bReplaced = MoveInPlace(lpszTemp, lpszPath);
                if (!bReplaced) {
                    ReportBytesLeftIn(::GetLastError(), lpszPath, lpszTemp);
                    return false;
                }
            }
        }
        if (bReplaced && (::GetFileAttributesA(lpszPath) & kKeptAttributes) != dwAttributes)
            ::SetFileAttributesA(lpszPath, dwAttributes);
    } else {
        bReplaced = MoveInPlace(lpszTemp, lpszPath);
        if (!bReplaced)
            dwError = ::GetLastError();
    }
    if (!bReplaced) {
        ::DeleteFileA(lpszTemp);
        // The target could not be removed: it is in use or protected.
        if (dwError == ERROR_UNABLE_TO_REMOVE_REPLACED || dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT)
            dwError = ERROR_ACCESS_DENIED;
        ReportOsError(dwError, lpszPath);
        return false;
    }
    return true;
}

} // namespace

DWORD CHexEditCtrl::AttributesAfterSave(DWORD dwBefore)
{
    // Written content is marked for the next backup, as any write marks it.
    return (dwBefore & kKeptAttributes) | FILE_ATTRIBUTE_ARCHIVE;
}

void CHexEditCtrl::Fill(BYTE value)
{
    if (m_bInFileOperation)
        return;
    CWaitCursor wait;
    INT_PTR nSize = m_data.GetSize();
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

BOOL CHexEditCtrl::LoadFile(LPCSTR lpszPath)
{
    if (m_bInFileOperation)
        return FALSE;
    CFileOperationScope running(m_bInFileOperation);
    CWaitCursor wait;

    // The new bytes go into an array of their own: until the last of them is
    // in, the control keeps what it shows.
    CByteArray newData;
    LoadOutcome outcome;
    try {
        outcome = ReadWholeFile(this, lpszPath, newData);
    } catch (CException* e) {
        e->ReportError(MB_OK, 0);
        e->Delete();
        return FALSE;
    }
    if (outcome == LoadOutcome::tooLarge) {
        AfxMessageBox(AFX_IDP_FILE_TOO_LARGE, MB_OK);
        return FALSE;
    }
    if (outcome == LoadOutcome::cancelled)
        return FALSE;   // the user knows: nothing to report

    // The old bytes go with newData when it goes out of scope.
    CByteArrayStorage::Swap(m_data, newData);
    // New bytes from the file: unmodified, but changed for EN_CHANGE.
    BytesChanged();
    m_bModified = FALSE;

    ShowFromTheStart();
    NotifyHost();
    return TRUE;
}

void CHexEditCtrl::ShowFromTheStart()
{
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
}

void CHexEditCtrl::SaveFile(LPCSTR lpszPath)
{
    if (m_bInFileOperation)
        return;
    CFileOperationScope running(m_bInFileOperation);
    CWaitCursor wait;

    DWORD dwAttributes;
    if (!MayReplaceTarget(lpszPath, dwAttributes))
        return;
    char szTemp[MAX_PATH];
    if (!CreateTempBeside(lpszPath, szTemp))
        return;
    UINT nSize = static_cast<UINT>(m_data.GetSize());
    if (!WriteTempFile(this, lpszPath, szTemp, m_data.GetData(), nSize))
        return;
    bool bTargetExisted = dwAttributes != INVALID_FILE_ATTRIBUTES;
    if (!PutInPlace(lpszPath, szTemp, bTargetExisted, AttributesAfterSave(dwAttributes)))
        return;
    // The file now holds what the control shows.
    m_bModified = FALSE;
}

void CHexEditCtrl::OpenFile()
{
    if (m_bInFileOperation)
        return;
    // No default extension, "*.*" as the initial name; OFN_NOCHANGEDIR,
    // OFN_NOVALIDATE, OFN_EXPLORER and OFN_LONGNAMES, then OFN_HIDEREADONLY
    // and OFN_EXPLORER added. The old-style dialog (bVistaStyle FALSE): the
    // Vista-style one, MFC's default, ignores these flags.
    CFileDialog dlg(TRUE, NULL, "*.*", 0x280108, "All Files (*.*) |*.*||", NULL, 0, FALSE);
    dlg.GetOFN().Flags |= 0x80004;
    if (dlg.DoModal() != IDOK)
        return;
    LoadFile(dlg.GetPathName());
}

void CHexEditCtrl::SaveFileAs()
{
    if (m_bInFileOperation)
        return;
    CFileDialog dlg(FALSE, NULL, "*.*", 0x280108, "All Files (*.*) |*.*||", NULL, 0, FALSE);
    dlg.GetOFN().Flags |= 0x80004;
    if (dlg.DoModal() != IDOK)
        return;
    SaveFile(dlg.GetPathName());
}
