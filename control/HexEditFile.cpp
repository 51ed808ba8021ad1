// HexEditFile.cpp - CHexEditCtrl's whole-buffer operations: every byte to one
// value, the bytes from a file and to a file, with or without the common
// file dialog.
//
// A failure never costs the user a byte: a load reads into an array of its
// own and takes it only when the whole file is in; a save writes a temporary
// file beside the target (the file a link points to, so that the link stays),
// flushes it to the disk and replaces the target with it only when every byte
// is there. Failures are shown in the framework's message box; one that
// names a file names the one the user chose, never the temporary file.
//
// Each operation shows the wait cursor from its start. Loads and saves go in
// pieces of a few MiB; one still running after half a second shows its
// progress with a Cancel button (HexEditProgress.cpp), and a cancelled one
// ends as a failed one does, without a message. What the window lets through
// may destroy the control's window, and with it the control object (a host
// closed from a timer or by another program): the operation then ends at
// once and touches nothing of the control; a save so ended, or ended by the
// session's end, leaves the target as it was and no temporary file.
#include "HexEditCtrl.h"
#include "HexEditProgress.h"
#include <afxdlgs.h>
#include <climits>
#include <process.h>
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
// the same bytes. Once the control's window is gone the flag is left alone:
// it lies in the control object, which may be gone too.
class CFileOperationScope {
public:
    explicit CFileOperationScope(bool& bRunning) : m_pbRunning(&bRunning) { *m_pbRunning = true; }
    ~CFileOperationScope() { End(); }
    // Over before the scope ends: what follows may start another one.
    void End()
    {
        if (m_pbRunning != nullptr)
            *m_pbRunning = false;
    }
    CFileOperationScope(const CFileOperationScope&) = delete;
    CFileOperationScope& operator=(const CFileOperationScope&) = delete;

    void ControlGone() { m_pbRunning = nullptr; }

private:
    bool* m_pbRunning;
};

enum class LoadOutcome { loaded, tooLarge, grew, cancelled, controlGone };

// A file handle of ReadWholeFile's, closed however the read ends.
class CReadHandle {
public:
    explicit CReadHandle(HANDLE hFile) : m_hFile(hFile) {}
    ~CReadHandle() { ::CloseHandle(m_hFile); }
    CReadHandle(const CReadHandle&) = delete;
    CReadHandle& operator=(const CReadHandle&) = delete;
    HANDLE m_hFile;
};

// Reads up to nCount bytes; the number read. A failure throws the
// framework's file exception, named after lpszPath.
DWORD ReadPiece(HANDLE hFile, BYTE* pBuf, DWORD nCount, LPCSTR lpszPath)
{
    DWORD nRead = 0;
    if (!::ReadFile(hFile, pBuf, nCount, &nRead, NULL))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszPath);
    return nRead;
}

// Reads the whole file at lpszPath into newData, piece by piece, showing the
// progress over pCtrl's window. A failure to open or read throws the
// framework's file exception, named after lpszPath.
LoadOutcome ReadWholeFile(CWnd* pCtrl, LPCSTR lpszPath, CByteArray& newData)
{
    // Others may go on reading and writing the file (a log being written, a
    // running program) and rename or delete it (a log being rotated); one
    // that holds it without sharing refuses the open. The handle is not
    // inherited: a program started meanwhile must not keep the file open.
    HANDLE hFile = ::CreateFileA(lpszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        const LONG lError = static_cast<LONG>(::GetLastError());
        AfxThrowFileException(CFileException::OsErrorToException(lError), lError, lpszPath);
    }
    CReadHandle file(hFile);
    LARGE_INTEGER length;
    if (!::GetFileSizeEx(hFile, &length))
        CFileException::ThrowOsError(static_cast<LONG>(::GetLastError()), lpszPath);
    if (static_cast<ULONGLONG>(length.QuadPart) > static_cast<ULONGLONG>(INT_MAX))
        return LoadOutcome::tooLarge;   // the array counts its bytes in a signed 32-bit int
    const UINT nSize = static_cast<UINT>(length.QuadPart);
    newData.SetSize(static_cast<int>(nSize), 1024);
    BeforeRead(lpszPath);

    CHexEditProgress progress(pCtrl, IDS_HEXEDIT_LOADING, lpszPath, nSize);
    BYTE* pData = newData.GetData();
    for (UINT nDone = 0; nDone < nSize;) {
        UINT nPiece = nSize - nDone < CHexEditProgress::kPieceSize ? nSize - nDone : CHexEditProgress::kPieceSize;
        // A piece that comes short means the file ended early (another
        // program shortened it since its length was taken).
        if (ReadPiece(hFile, pData + nDone, nPiece, lpszPath) != nPiece)
            AfxThrowFileException(CFileException::endOfFile, -1, lpszPath);
        nDone += nPiece;
        AfterPiece(nDone);
        if (!progress.Step(nDone))
            return progress.ControlGone() ? LoadOutcome::controlGone : LoadOutcome::cancelled;
    }
    // A byte past the length taken: another program made the file longer
    // meanwhile, and what was read is not the whole file.
    BYTE extra;
    if (ReadPiece(hFile, &extra, 1, lpszPath) != 0)
        return LoadOutcome::grew;
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
// bytes are, so that the user can rescue them, and where the old file is
// when the save knows it.
void ReportBytesLeftIn(DWORD dwError, LPCSTR lpszPath, LPCSTR lpszTemp, LPCSTR lpszOld = NULL)
{
    CFileException e(CFileException::OsErrorToException(static_cast<LONG>(dwError)), static_cast<LONG>(dwError),
                     lpszPath);
    char szMessage[1024] = "";
    e.GetErrorMessage(szMessage, sizeof szMessage);
    CString strKeptIn, strText;
    strKeptIn.LoadString(IDS_HEXEDIT_SAVED_BYTES_IN);
    strText.Format("%s\n\n%s\n%s", szMessage, static_cast<LPCSTR>(strKeptIn), lpszTemp);
    if (lpszOld != NULL) {
        CString strOldIn, strOld;
        strOldIn.LoadString(IDS_HEXEDIT_OLD_FILE_IN);
        strOld.Format("\n\n%s\n%s", static_cast<LPCSTR>(strOldIn), lpszOld);
        strText += strOld;
    }
    AfxMessageBox(strText, MB_OK);
}

// The attributes a replaced file keeps: those a user or a program sets on a
// file, not those that describe how the system stores it.
const DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                              FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The path of the file that the open hFile reaches, links followed; false
// when the system cannot say.
bool GetFinalPathOf(HANDLE hFile, CString& strFinal)
{
    char szFinal[MAX_PATH];
    DWORD n = ::GetFinalPathNameByHandleA(hFile, szFinal, MAX_PATH, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n == 0 || n >= MAX_PATH)
        return false;
    // The answer is in the long form: "\\?\C:\..." or "\\?\UNC\server\...".
    LPCSTR psz = szFinal;
    if (strncmp(psz, "\\\\?\\UNC\\", 8) == 0) {
        strFinal = CString("\\\\") + (psz + 8);
        return true;
    }
    if (strncmp(psz, "\\\\?\\", 4) == 0)
        psz += 4;
    strFinal = psz;
    return true;
}

// Whether the save may go on to replace or create lpszPath, judged from what
// the target is now. strTarget gets the file to replace: lpszPath, or the
// file a link at lpszPath points to, so that the link stays a link.
// dwAttributes gets that file's attributes, or INVALID_FILE_ATTRIBUTES when
// there is no such file yet. A refusal is reported, named after lpszPath.
bool MayReplaceTarget(LPCSTR lpszPath, DWORD& dwAttributes, CString& strTarget)
{
    strTarget = lpszPath;
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
    // The target is opened as the replace opens it: others may go on reading
    // and writing it if they let it be deleted too; one that holds it
    // otherwise is refused now, before any byte is written.
    HANDLE hTarget = ::CreateFileA(lpszPath, GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hTarget == INVALID_HANDLE_VALUE) {
        ReportOsError(::GetLastError(), lpszPath);
        return false;
    }
    CString strFinal;
    bool bResolved = GetFinalPathOf(hTarget, strFinal);
    ::CloseHandle(hTarget);
    if (!bResolved || strFinal.CompareNoCase(lpszPath) == 0)
        return true;
    // A link: what counts is the file it points to.
    strTarget = strFinal;
    dwAttributes = ::GetFileAttributesA(strTarget);
    if (dwAttributes == INVALID_FILE_ATTRIBUTES) {
        ReportOsError(::GetLastError(), lpszPath);
        return false;
    }
    if (dwAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
        ReportFileError(CFileException::accessDenied, ERROR_ACCESS_DENIED, lpszPath);
        return false;
    }
    return true;
}

// Creates the empty temporary file the save writes, in the folder of
// lpszTarget so that the replace is a rename on one volume. A failure is
// reported, named after lpszShown.
bool CreateTempBeside(LPCSTR lpszTarget, LPCSTR lpszShown, char (&szTemp)[MAX_PATH])
{
    CString strFolder;
    if (!GetFolderOf(lpszTarget, strFolder)) {
        ReportFileError(CFileException::badPath, ERROR_BAD_PATHNAME, lpszShown);
        return false;
    }
    if (!::GetTempFileNameA(strFolder, "~qx", 0, szTemp)) {
        ReportOsError(::GetLastError(), lpszShown);
        return false;
    }
    return true;
}

// Flushes a file to the disk on a thread of its own, so that the progress
// window's thread goes on painting it (on slow media the flush takes long).
// The thread is waited for at the latest by the destructor.
class CFlushOnWorker {
public:
    explicit CFlushOnWorker(HANDLE hFile) : m_hFile(hFile)
    {
        m_hThread = reinterpret_cast<HANDLE>(_beginthreadex(NULL, 0, Run, this, 0, NULL));
        if (m_hThread == NULL)
            Run(this);   // no thread to be had: here, without painting
    }
    ~CFlushOnWorker() { Join(); }
    CFlushOnWorker(const CFlushOnWorker&) = delete;
    CFlushOnWorker& operator=(const CFlushOnWorker&) = delete;

    // The running thread, or NULL when the flush is over.
    HANDLE Thread() const { return m_hThread; }
    void Join()
    {
        if (m_hThread == NULL)
            return;
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
        m_hThread = NULL;
    }
    // After Join: whether the flush succeeded, and the system's error if not.
    bool Succeeded() const { return m_dwError == NO_ERROR; }
    DWORD Error() const { return m_dwError; }

private:
    static unsigned __stdcall Run(void* pParam)
    {
        CFlushOnWorker* pThis = static_cast<CFlushOnWorker*>(pParam);
        if (!FlushToDisk(pThis->m_hFile)) {
            DWORD dwError = ::GetLastError();
            pThis->m_dwError = dwError != NO_ERROR ? dwError : ERROR_GEN_FAILURE;
        }
        return 0;
    }

    HANDLE m_hFile;
    HANDLE m_hThread = NULL;
    DWORD m_dwError = NO_ERROR;
};

enum class WriteOutcome { written, stopped, controlGone };

// Writes the nSize bytes at pData into the temporary file and flushes them
// to the disk, showing the progress over pCtrl's window. Stopped when the
// user cancelled, the session ended or the write failed (reported, named
// after the target); controlGone when the control's window went meanwhile.
// Unless written, the temporary file is deleted and the target untouched.
WriteOutcome WriteTempFile(CWnd* pCtrl, LPCSTR lpszPath, LPCSTR lpszTemp, const BYTE* pData, UINT nSize)
{
    // The temporary file is new and empty: it is opened without truncation,
    // which some file systems answer with a flush of the whole file when it
    // is closed.
    CFile temp;
    CFileException error;
    // Not inherited: a program started during the save would hold the file
    // open, and the replace would fail.
    if (!temp.Open(lpszTemp, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite | CFile::modeNoInherit,
                   &error)) {
        ::DeleteFileA(lpszTemp);
        ReportFileError(error.m_cause, error.m_lOsError, lpszPath);
        return WriteOutcome::stopped;
    }
    try {
        // The window (when the save is long) stays up through the flush.
        CFlushOnWorker* pFlush = nullptr;
        CHexEditProgress progress(pCtrl, IDS_HEXEDIT_SAVING, lpszPath, nSize);
        // Ended from outside (at logoff the program may end right after),
        // the temporary file goes at once; a running flush is let finish
        // first, since it uses the file's handle.
        progress.SetCleanUp([&temp, &pFlush, lpszTemp] {
            if (pFlush != nullptr)
                pFlush->Join();
            temp.Abort();
            ::DeleteFileA(lpszTemp);
        });
        if (!WriteAllBytes(progress, temp, pData, nSize)) {
            temp.Abort();
            ::DeleteFileA(lpszTemp);
            // Cancelled or ended: nothing to report.
            return progress.ControlGone() ? WriteOutcome::controlGone : WriteOutcome::stopped;
        }
        // On the disk before it takes the target's place: a power cut after
        // the replace must not leave a file of the right length full of
        // zeros.
        CFlushOnWorker flush(temp.m_hFile);
        pFlush = &flush;
        bool bFlushed = flush.Thread() == NULL || progress.WaitFor(flush.Thread());
        flush.Join();
        pFlush = nullptr;
        if (!bFlushed) {
            temp.Abort();
            ::DeleteFileA(lpszTemp);
            return progress.ControlGone() ? WriteOutcome::controlGone : WriteOutcome::stopped;
        }
        if (!flush.Succeeded())
            CFileException::ThrowOsError(static_cast<LONG>(flush.Error()), lpszTemp);
        temp.Close();
    } catch (CFileException* e) {
        temp.Abort();
        ::DeleteFileA(lpszTemp);
        ReportFileError(e->m_cause, e->m_lOsError, lpszPath);
        e->Delete();
        return WriteOutcome::stopped;
    }
    return WriteOutcome::written;
}

// Reports a save that could not replace the target and left it whole: the
// temporary file is gone and the file is as it was.
void ReportTargetKept(LPCSTR lpszPath)
{
    CString strText;
    AfxFormatString1(strText, IDS_HEXEDIT_TARGET_KEPT, lpszPath);
    AfxMessageBox(strText, MB_OK);
}

// Replaces lpszTarget with lpszTemp by renames: the target aside, the new
// file in, the old one deleted. It serves where the system's replace failed
// and left the target whole (a system that cannot replace a file another
// program has open, as Wine). A failure is reported, named after lpszShown;
// the target is then put back, or the message says where the bytes are.
bool RenameInPlace(LPCSTR lpszTarget, LPCSTR lpszTemp, LPCSTR lpszShown)
{
    CString strFolder;
    char szAside[MAX_PATH];
    if (!GetFolderOf(lpszTarget, strFolder) || !::GetTempFileNameA(strFolder, "~qx", 0, szAside)) {
        ::DeleteFileA(lpszTemp);
        ReportTargetKept(lpszShown);
        return false;
    }
    if (!MoveInPlace(lpszTarget, szAside)) {
        ::DeleteFileA(szAside);
        ::DeleteFileA(lpszTemp);
        ReportTargetKept(lpszShown);
        return false;
    }
    if (!MoveInPlace(lpszTemp, lpszTarget)) {
        DWORD dwError = ::GetLastError();
        if (MoveInPlace(szAside, lpszTarget)) {
            ::DeleteFileA(lpszTemp);
            ReportTargetKept(lpszShown);
        } else {
            ReportBytesLeftIn(dwError, lpszShown, lpszTemp, szAside);
        }
        return false;
    }
    // A program that still has the old file open keeps reading it; the
    // system deletes it when the last of them closes it.
    ::DeleteFileA(szAside);
    return true;
}

// Puts the written temporary file in the place of lpszTarget, in one step
// where the system's replace can take it, else by renames. A
// replaced file gets dwAttributes (set again where the system's replace
// leaves them out). A failure is reported, named after lpszShown (the path
// the user chose); the temporary file is deleted unless it holds the only
// copy of the bytes, and then the message says where it is.
bool PutInPlace(LPCSTR lpszTarget, LPCSTR lpszTemp, bool bTargetExists, DWORD dwAttributes, LPCSTR lpszShown)
{
    if (!bTargetExists) {
        if (MoveInPlace(lpszTemp, lpszTarget))
            return true;
        DWORD dwError = ::GetLastError();
        ::DeleteFileA(lpszTemp);
        ReportOsError(dwError, lpszShown);
        return false;
    }
    bool bReplaced = ReplaceWith(lpszTarget, lpszTemp) != FALSE;
    if (!bReplaced) {
        DWORD dwError = ::GetLastError();
        bool bTargetGone = ::GetFileAttributesA(lpszTarget) == INVALID_FILE_ATTRIBUTES;
        if ((dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT || dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) &&
            bTargetGone) {
            // The system removed the target, or moved it aside under a name
            // of its own, and could not rename the new file: the new file is
            // the only copy, and it goes in under the target's name or stays
            // where it is, and the user is told where.
            if (!MoveInPlace(lpszTemp, lpszTarget)) {
                ReportBytesLeftIn(::GetLastError(), lpszShown, lpszTemp);
                return false;
            }
        } else if (dwError == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
            // The old file is aside and something else took its name: the
            // new bytes stay where they are.
            ReportBytesLeftIn(dwError, lpszShown, lpszTemp);
            return false;
        } else if (!RenameInPlace(lpszTarget, lpszTemp, lpszShown)) {
            return false;   // the target is whole (ERROR_UNABLE_TO_REMOVE_REPLACED and the like)
        }
    }
    if ((::GetFileAttributesA(lpszTarget) & kKeptAttributes) != dwAttributes)
        ::SetFileAttributesA(lpszTarget, dwAttributes);
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
        RecordFillStep(0, nSize, value);
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
    if (outcome == LoadOutcome::controlGone) {
        running.ControlGone();
        return FALSE;   // nothing of the control is left to tell
    }
    if (outcome == LoadOutcome::grew) {
        CString strGrew, strText;
        strGrew.LoadString(IDS_HEXEDIT_FILE_GREW);
        strText.Format("%s\n\n%s", lpszPath, static_cast<LPCSTR>(strGrew));
        AfxMessageBox(strText, MB_OK);
        return FALSE;
    }
    if (outcome == LoadOutcome::cancelled)
        return FALSE;   // the user knows: nothing to report

    // The old bytes go with newData when it goes out of scope.
    CByteArrayStorage::Swap(m_data, newData);
    // New bytes from the file: unmodified, but changed for EN_CHANGE.
    BytesChanged();
    m_bModified = FALSE;
    m_undo.Empty(true);

    ShowFromTheStart();
    // The host hears of the new bytes once the load is over, so that its
    // answer (a fill, a save, another load) is carried out.
    running.End();
    NotifyHost();
    return TRUE;
}

void CHexEditCtrl::ShowFromTheStart()
{
    // New bytes end a drag: the capture and the timer go, the caret shows.
    if (m_bSelecting && m_hWnd != NULL) {
        EndTracking();
        ShowCaret();
    }
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
    CString strTarget;
    if (!MayReplaceTarget(lpszPath, dwAttributes, strTarget))
        return;
    char szTemp[MAX_PATH];
    if (!CreateTempBeside(strTarget, lpszPath, szTemp))
        return;
    UINT nSize = static_cast<UINT>(m_data.GetSize());
    WriteOutcome written = WriteTempFile(this, lpszPath, szTemp, m_data.GetData(), nSize);
    if (written == WriteOutcome::controlGone)
        running.ControlGone();
    if (written != WriteOutcome::written)
        return;
    bool bTargetExisted = dwAttributes != INVALID_FILE_ATTRIBUTES;
    if (!PutInPlace(strTarget, szTemp, bTargetExisted, AttributesAfterSave(dwAttributes), lpszPath))
        return;
    // The file now holds what the control shows; undo can go on from here.
    m_bModified = FALSE;
    m_undo.MarkSaved();
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
