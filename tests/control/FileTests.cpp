// Window-level tests of CHexEditCtrl's fill, load and save: real files in a
// fresh folder under Wine, the message box text read from the real box, the
// picture read back from the window, and the real common file dialogs driven
// from a second thread.
#include "HexEditFileHooks.h"
#include "MessageBoxCatcher.h"
#include "TestFiles.h"
#include "ControlTest.h"

#include <process.h>
#include <string>
#include <vector>

using qxtest::Picture;
using qxtest::Pump;
using qxtest::TestHexEdit;
using qxtest::TestHost;

using qxtest::Bytes;
using qxtest::ReadAll;
using qxtest::List;
using qxtest::WriteAll;

namespace {

using FileHexEdit = TestHexEdit;

Bytes Pattern(size_t n, int seed)
{
    Bytes b(n);
    for (size_t i = 0; i < n; i++)
        b[i] = static_cast<BYTE>((i * 7 + seed) & 0xFF);
    return b;
}

void RemoveTree(const std::string& dir)
{
    for (const std::string& name : List(dir)) {
        std::string path = dir + "\\" + name;
        DWORD attr = ::GetFileAttributesA(path.c_str());
        if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
            RemoveTree(path);
        } else {
            ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            ::DeleteFileA(path.c_str());
        }
    }
    ::RemoveDirectoryA(dir.c_str());
}

// Starts a Linux shell command (Wine starts Unix programs given by their
// Z: path). Wine cannot wait for such a program: the caller watches for its
// effect.
bool StartUnix(const std::string& command)
{
    std::string line = "Z:\\bin\\sh -c \"" + command + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> buf(line.begin(), line.end());
    buf.push_back('\0');
    if (!::CreateProcessA(NULL, buf.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

// Waits up to 5 s for a file to appear (bExists) or to go.
bool WaitForFile(const std::string& path, bool bExists)
{
    for (int i = 0; i < 100; i++) {
        if ((::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == bExists)
            return true;
        ::Sleep(50);
    }
    return false;
}

// The Unix path of a Windows path, as Wine sees it.
std::string UnixPath(const std::string& path)
{
    typedef char*(CDECL * GetUnixName)(LPCWSTR);
    GetUnixName pfn = reinterpret_cast<GetUnixName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (pfn == NULL)
        return std::string();
    WCHAR wide[MAX_PATH];
    ::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* unix = pfn(wide);
    if (unix == NULL)
        return std::string();
    std::string result = unix;
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return result;
}

// The control's state that a failed operation must leave as it was.
struct State {
    Bytes bytes;
    LONGLONG nSelStart, nSelEnd, nCaretPos;
    int nArea, nFirstRow, nFirstCol;
    BYTE byteCur;
    bool operator==(const State& o) const
    {
        return bytes == o.bytes && nSelStart == o.nSelStart && nSelEnd == o.nSelEnd && nCaretPos == o.nCaretPos &&
               nArea == o.nArea && nFirstRow == o.nFirstRow && nFirstCol == o.nFirstCol && byteCur == o.byteCur;
    }
};

class FileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "qx files " + std::to_string(::GetCurrentProcessId()) + " " +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(dir);
        ASSERT_TRUE(::CreateDirectoryA(dir.c_str(), NULL));
        ASSERT_TRUE(ctl.CreateIn(host, 500, 600));
        ctl.SetCounting(4096);
    }
    void TearDown() override
    {
        if (bCaret)
            ::DestroyCaret();
        RemoveTree(dir);
    }

    std::string Path(const std::string& name) const { return dir + "\\" + name; }

    // The sample scrolled down, with a selection and the caret inside it.
    void ScrollAndSelect()
    {
        ctl.m_nSelStart = 3 * 200;
        ctl.m_nSelEnd = 3 * 260 + 1;
        ctl.m_nCaretPos = 3 * 230 + 1;
        ctl.m_nFirstRow = 0;
        for (int i = 0; i < 10; i++)
            ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
        ctl.SendScroll(WM_HSCROLL, SB_LINERIGHT);
        ASSERT_EQ(10, ctl.m_nFirstRow);
        ASSERT_EQ(1, ctl.m_nFirstCol);
    }

    State Snapshot()
    {
        const BYTE* p = ctl.m_data.GetData();
        return State{Bytes(p, p + ctl.m_data.GetSize()), ctl.m_nSelStart, ctl.m_nSelEnd, ctl.m_nCaretPos,
                     ctl.m_nArea, ctl.m_nFirstRow, ctl.m_nFirstCol, ctl.m_byteCur};
    }
    Bytes Data() { return Snapshot().bytes; }

    // What the window shows after the control's own invalidation, without
    // forcing a repaint.
    Picture Shown() { return Picture::Shown(ctl.m_hWnd); }

    // A file of this many bytes, none of them written.
    void CreateFileOfSize(const std::string& path, LONGLONG nSize)
    {
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        LARGE_INTEGER size;
        size.QuadPart = nSize;
        ASSERT_TRUE(::SetFilePointerEx(h, size, NULL, FILE_BEGIN));
        ASSERT_TRUE(::SetEndOfFile(h));
        ::CloseHandle(h);
    }

    // Loads, expecting a message box with exactly this text and no change.
    void ExpectLoadRefused(const std::string& path, const std::string& text)
    {
        State before = Snapshot();
        MessageBoxCatcher box;
        ctl.LoadFile(path.c_str());
        EXPECT_EQ(1, box.Count());
        EXPECT_EQ(text, box.Text());
        EXPECT_TRUE(before == Snapshot()) << "the control changed";
    }
    // Saves, expecting a message box with this text, the file as it was and
    // no file left behind in the folder.
    void ExpectSaveRefused(const std::string& path, const std::string& text)
    {
        Bytes old = ReadAll(path);
        std::vector<std::string> names = List(dir);
        MessageBoxCatcher box;
        ctl.SaveFile(path.c_str());
        EXPECT_EQ(1, box.Count());
        EXPECT_EQ(text, box.Text());
        EXPECT_EQ(old, ReadAll(path));
        EXPECT_EQ(names, List(dir));
    }

    TestHost host;
    FileHexEdit ctl;
    std::string dir;
    bool bCaret = false;
};

// ---------------------------------------------------------------------------
// Fill

TEST_F(FileTest, FillRepaintsEveryCellAndKeepsCaretSelectionAndScroll)
{
    ScrollAndSelect();
    ctl.m_nDigit = 1;
    for (BYTE value : {BYTE(0x00), BYTE(0xFF)}) {
        Shown();
        State before = Snapshot();
        ctl.Fill(value);
        Picture pic = Shown();
        EXPECT_EQ(Bytes(4096, value), Data());
        EXPECT_EQ(before.nSelStart, ctl.m_nSelStart);
        EXPECT_EQ(before.nSelEnd, ctl.m_nSelEnd);
        EXPECT_EQ(before.nCaretPos, ctl.m_nCaretPos);
        EXPECT_EQ(10, ctl.m_nFirstRow);
        EXPECT_EQ(1, ctl.m_nFirstCol);
        EXPECT_EQ(1, ctl.m_nDigit);
        // The header shows the new value of the byte at the caret.
        EXPECT_EQ(value, ctl.m_byteCur);
        int nIndex = 0;
        EXPECT_EQ(CString(value ? "FF " : "00 "), ctl.GetHexText(10, 0, &nIndex));
        // Every cell and the header, as the per-item painter draws them.
        POINT diff = pic.FirstDifference(ctl.PaintPerItem());
        EXPECT_EQ(-1, diff.x) << "at " << diff.x << "," << diff.y;
    }
}

TEST_F(FileTest, FillOfAnEmptyArrayOnlyRepaints)
{
    ctl.SetBytes({});
    ctl.Fill(0xAB);
    EXPECT_EQ(0, ctl.m_data.GetSize());
    EXPECT_EQ(0, ctl.m_byteCur);
    POINT diff = Shown().FirstDifference(ctl.PaintPerItem());
    EXPECT_EQ(-1, diff.x);
}

// ---------------------------------------------------------------------------
// Load

TEST_F(FileTest, LoadOfAnEmptyFileLeavesNoRowsAndResetsTheView)
{
    ScrollAndSelect();
    ASSERT_TRUE(WriteAll(Path("empty.bin"), {}));
    MessageBoxCatcher box;
    ctl.LoadFile(Path("empty.bin").c_str());
    EXPECT_EQ(0, box.Count());
    EXPECT_EQ(0, ctl.m_data.GetSize());
    EXPECT_EQ(0, ctl.GetRowCount());
    EXPECT_EQ(-1, ctl.m_nSelStart);
    EXPECT_EQ(-1, ctl.m_nSelEnd);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_EQ(0, ctl.m_nFirstCol);
    POINT diff = Shown().FirstDifference(ctl.PaintPerItem());
    EXPECT_EQ(-1, diff.x);
}

TEST_F(FileTest, LoadOf100BytesAfterTheScrolledSelectedSample)
{
    ScrollAndSelect();
    ctl.m_nArea = 1;
    ctl.m_nDigit = 1;
    // With the focus the control owns the system caret.
    ::SetFocus(ctl.m_hWnd);
    Pump();
    ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
    Bytes bytes = Pattern(100, 0x5A);
    ASSERT_TRUE(WriteAll(Path("hundred.bin"), bytes));

    MessageBoxCatcher box;
    ctl.LoadFile(Path("hundred.bin").c_str());
    EXPECT_EQ(0, box.Count());
    EXPECT_EQ(bytes, Data());
    EXPECT_EQ(7, ctl.GetRowCount());
    EXPECT_EQ(-1, ctl.m_nSelStart);
    EXPECT_EQ(-1, ctl.m_nSelEnd);
    EXPECT_EQ(0, ctl.m_nCaretPos);
    EXPECT_EQ(0, ctl.m_nArea);
    EXPECT_EQ(0, ctl.m_nDigit);
    EXPECT_FALSE(ctl.m_bTimer);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_EQ(0, ctl.m_nFirstCol);
    // The caret stands on the first digit of byte 0 and the header shows it.
    EXPECT_EQ(0x5A, ctl.m_byteCur);
    POINT pt = {-1, -1};
    ::GetCaretPos(&pt);
    EXPECT_EQ(10 * ctl.m_sizeChar.cx, pt.x);
    EXPECT_EQ(2 * ctl.m_sizeChar.cy, pt.y);

    // The bars are those of a control given the same 100 bytes afresh.
    FileHexEdit fresh;
    ASSERT_TRUE(fresh.CreateIn(host, 500, 600, 2));
    fresh.SetBytes(bytes);
    for (int nBar : {SB_VERT, SB_HORZ}) {
        SCROLLINFO a = ctl.Bar(nBar), b = fresh.Bar(nBar);
        EXPECT_EQ(b.nMax, a.nMax) << nBar;
        EXPECT_EQ(b.nPage, a.nPage) << nBar;
        EXPECT_EQ(b.nPos, a.nPos) << nBar;
        EXPECT_EQ(fresh.BarShown(nBar), ctl.BarShown(nBar)) << nBar;
    }
    fresh.DestroyWindow();
    ::HideCaret(ctl.m_hWnd);
    POINT diff = Shown().FirstDifference(ctl.PaintPerItem());
    EXPECT_EQ(-1, diff.x);
}

// Without the focus the load refreshes the header but leaves the system
// caret, which then belongs to another window, where it is.
TEST_F(FileTest, LoadWithoutTheFocusLeavesAnotherWindowsCaret)
{
    ScrollAndSelect();
    ASSERT_TRUE(::CreateCaret(host.hwnd(), NULL, 2, 16));
    bCaret = true;
    ::SetCaretPos(333, 44);
    ASSERT_TRUE(WriteAll(Path("uno.bin"), {0xC3, 1, 2}));
    ctl.LoadFile(Path("uno.bin").c_str());
    EXPECT_EQ(0xC3, ctl.m_byteCur);
    EXPECT_EQ(0, ctl.m_nFirstRow);
    POINT pt = {-1, -1};
    ::GetCaretPos(&pt);
    EXPECT_EQ(333, pt.x);
    EXPECT_EQ(44, pt.y);
}

TEST_F(FileTest, MissingFileAndMissingFolderAreReportedByName)
{
    ScrollAndSelect();
    std::string missing = Path("nessuno.bin");
    ExpectLoadRefused(missing, missing + " non trovato.");
    std::string badPath = Path("non c'\xE8\\x.bin");
    ExpectLoadRefused(badPath, badPath + " contiene un percorso non valido.");
    ExpectSaveRefused(badPath, badPath + " contiene un percorso non valido.");
}

// ---------------------------------------------------------------------------
// Save and load round trips

TEST_F(FileTest, SaveThenLoadGivesBackTheSameBytesAndLength)
{
    for (const char* name : {"dati.bin", "con spazi \xE8 qui.dat"}) {
        std::string path = Path(name);
        Bytes bytes = Pattern(4099, name[0]);
        ctl.SetBytes(bytes);
        MessageBoxCatcher box;
        ctl.SaveFile(path.c_str());
        EXPECT_EQ(bytes, ReadAll(path)) << name;
        ctl.SetCounting(10);
        ctl.LoadFile(path.c_str());
        EXPECT_EQ(bytes, Data()) << name;
        EXPECT_EQ(0, box.Count()) << box.Text();
    }
    // Nothing but the saved files is left in the folder.
    EXPECT_EQ(2u, List(dir).size());
}

TEST_F(FileTest, SaveOverALongerFileLeavesExactlyTheArrayAndKeepsAttributes)
{
    std::string path = Path("lungo.bin");
    ASSERT_TRUE(WriteAll(path, Pattern(10000, 3)));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    Bytes bytes = Pattern(100, 9);
    ctl.SetBytes(bytes);
    MessageBoxCatcher box;
    ctl.SaveFile(path.c_str());
    EXPECT_EQ(0, box.Count()) << box.Text();
    EXPECT_EQ(bytes, ReadAll(path));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              ::GetFileAttributesA(path.c_str()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(std::vector<std::string>{"lungo.bin"}, List(dir));
    // The saved file is marked for the next backup, whatever a backup left;
    // what a user set stays, what describes the storage goes. (Wine keeps
    // no archive bit on the disk: the attributes the save sets are checked.)
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE),
              FileHexEdit::AttributesAfterSave(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_ARCHIVE), FileHexEdit::AttributesAfterSave(FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_ARCHIVE),
              FileHexEdit::AttributesAfterSave(FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED |
                                               FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_SPARSE_FILE |
                                               FILE_ATTRIBUTE_COMPRESSED));

    // An empty array makes an empty file.
    ctl.SetBytes({});
    ctl.SaveFile(path.c_str());
    EXPECT_EQ(0, box.Count()) << box.Text();
    DWORD attr = ::GetFileAttributesA(path.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attr);
    EXPECT_TRUE(ReadAll(path).empty());
}

// ---------------------------------------------------------------------------
// Faults: the old file stays as it was, the control as it was

TEST_F(FileTest, ReadOnlyTargetIsRefused)
{
    std::string path = Path("sola lettura.bin");
    ASSERT_TRUE(WriteAll(path, Pattern(50, 1)));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ExpectSaveRefused(path, "Accesso a " + path + " negato.");
    // It can still be read.
    ctl.LoadFile(path.c_str());
    EXPECT_EQ(Pattern(50, 1), Data());
}

TEST_F(FileTest, FileHeldOpenWithoutSharingIsRefused)
{
    ScrollAndSelect();
    std::string path = Path("occupato.bin");
    ASSERT_TRUE(WriteAll(path, Pattern(300, 2)));
    HANDLE hHeld = ::CreateFileA(path.c_str(), GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    ExpectLoadRefused(path, "Violazione di condivisione durante l'accesso a " + path + ".");
    ExpectSaveRefused(path, "Violazione di condivisione durante l'accesso a " + path + ".");
    ::CloseHandle(hHeld);

    // Held by a writer that shares reading and writing but not deletion: the
    // file can be opened, not replaced.
    hHeld = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                          OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    ExpectSaveRefused(path, "Violazione di condivisione durante l'accesso a " + path + ".");
    ::CloseHandle(hHeld);
}

// A reader that shares everything (an indexer, a viewer) does not stop the
// save, and goes on reading the old bytes it opened.
TEST_F(FileTest, ReaderSharingEverythingDoesNotStopTheSave)
{
    std::string path = Path("letto.bin");
    Bytes old = Pattern(300, 2), bytes = Pattern(500, 3);
    ASSERT_TRUE(WriteAll(path, old));
    HANDLE hReader = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hReader);
    ctl.SetBytes(bytes);
    {
        MessageBoxCatcher box;
        ctl.SaveFile(path.c_str());
        EXPECT_EQ(0, box.Count()) << box.Text();
    }
    EXPECT_EQ(bytes, ReadAll(path));
    Bytes seen(old.size() + 1);
    DWORD nRead = 0;
    EXPECT_TRUE(::ReadFile(hReader, seen.data(), static_cast<DWORD>(seen.size()), &nRead, NULL));
    seen.resize(nRead);
    EXPECT_EQ(old, seen);
    ::CloseHandle(hReader);
    // The old file goes with the reader's handle; nothing else is left.
    EXPECT_EQ(std::vector<std::string>{"letto.bin"}, List(dir));
}

// Faults injected where the system rarely fails: the test build's hooks
// stand in for the system's calls.
class FileFaultTest : public FileTest {
protected:
    void TearDown() override
    {
        HexEditFileHooks::Reset();
        EndChild();
        if (hHeld != INVALID_HANDLE_VALUE)
            ::CloseHandle(hHeld);
        FileTest::TearDown();
    }
    // The system's calls as the faults make them.
    static BOOL WINAPI WatchedFlush(HANDLE hFile)
    {
        ++nFlushes;
        LARGE_INTEGER size = {};
        ::GetFileSizeEx(hFile, &size);
        nFlushedSize = size.QuadPart;
        bTargetOldAtFlush = ReadAll(target) == Pattern(3000, 1);
        return ::FlushFileBuffers(hFile);
    }
    static BOOL WINAPI FlushOfAFullDisk(HANDLE)
    {
        ::SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    static BOOL WINAPI ReplaceThatLosesTheTarget(LPCSTR lpszReplaced, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID)
    {
        ::DeleteFileA(lpszReplaced);
        ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT);
        return FALSE;
    }
    static BOOL WINAPI RefusedMove(LPCSTR, LPCSTR, DWORD)
    {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // The target could not be removed: both files keep their names.
    static BOOL WINAPI ReplaceThatKeepsTheTarget(LPCSTR, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID)
    {
        ::SetLastError(ERROR_UNABLE_TO_REMOVE_REPLACED);
        return FALSE;
    }
    // The target went aside under a name of the system's, and the new file
    // could not take its name.
    static BOOL WINAPI ReplaceThatMovesTheTargetAside(LPCSTR lpszReplaced, LPCSTR, LPCSTR, DWORD, LPVOID, LPVOID)
    {
        ::MoveFileA(lpszReplaced, (std::string(lpszReplaced) + ".aside").c_str());
        ::SetLastError(ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);
        return FALSE;
    }
    // The first move goes through, the others are refused.
    static BOOL WINAPI OneMoveOnly(LPCSTR lpszExisting, LPCSTR lpszNew, DWORD dwFlags)
    {
        if (nMoves++ == 0)
            return ::MoveFileExA(lpszExisting, lpszNew, dwFlags);
        return RefusedMove(lpszExisting, lpszNew, dwFlags);
    }
    // Starts a program that inherits every inheritable handle and keeps them
    // (suspended) until the test ends.
    static void StartChild()
    {
        char cmd[MAX_PATH + 16];
        ::GetSystemDirectoryA(cmd, MAX_PATH);
        lstrcatA(cmd, "\\cmd.exe");
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        if (child.hProcess == NULL) {
            EXPECT_TRUE(::CreateProcessA(cmd, NULL, NULL, NULL, TRUE, CREATE_SUSPENDED | CREATE_NO_WINDOW, NULL, NULL,
                                         &si, &child));
        }
    }
    static void EndChild()
    {
        if (child.hProcess != NULL) {
            ::TerminateProcess(child.hProcess, 0);
            ::WaitForSingleObject(child.hProcess, 5000);
            ::CloseHandle(child.hThread);
            ::CloseHandle(child.hProcess);
        }
        child = PROCESS_INFORMATION();
    }

    // Saves over a file of old bytes with the replace (and the moves) as
    // the hooks make them; the box's text, empty for none.
    std::string SaveOver(const std::string& path, const Bytes& old, const Bytes& bytes)
    {
        EXPECT_TRUE(WriteAll(path, old));
        ctl.SetBytes(bytes);
        MessageBoxCatcher box;
        ctl.SaveFile(path.c_str());
        EXPECT_LE(box.Count(), 1);
        return box.Count() ? box.Text() : std::string();
    }

    static HANDLE hHeld;     // the file as another program holds it
    static PROCESS_INFORMATION child;
    static int nFlushes;
    static int nMoves;
    static LONGLONG nFlushedSize;
    static bool bTargetOldAtFlush;
    static std::string target;
};
HANDLE FileFaultTest::hHeld = INVALID_HANDLE_VALUE;
PROCESS_INFORMATION FileFaultTest::child = {};
int FileFaultTest::nFlushes = 0;
int FileFaultTest::nMoves = 0;
LONGLONG FileFaultTest::nFlushedSize = -1;
bool FileFaultTest::bTargetOldAtFlush = false;
std::string FileFaultTest::target;

// A file other programs read and write (a log being written) loads; one that
// another program shortens between the length and the read is refused.
TEST_F(FileFaultTest, LoadSharesTheFileAndCatchesOneThatShrinksOrGrows)
{
    ScrollAndSelect();
    std::string path = Path("registro.log");
    Bytes bytes = Pattern(5000, 8);
    ASSERT_TRUE(WriteAll(path, bytes));
    HANDLE hWriter = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hWriter);
    {
        MessageBoxCatcher box;
        ctl.LoadFile(path.c_str());
        EXPECT_EQ(0, box.Count()) << box.Text();
    }
    ::CloseHandle(hWriter);
    EXPECT_EQ(bytes, Data());

    ScrollAndSelect();
    hHeld = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                          OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    HexEditFileHooks::pfnBeforeRead = [](LPCSTR) {
        LARGE_INTEGER half;
        half.QuadPart = 2500;
        EXPECT_TRUE(::SetFilePointerEx(hHeld, half, NULL, FILE_BEGIN) && ::SetEndOfFile(hHeld));
    };
    ExpectLoadRefused(path, "Tentativo di accedere a " + path + " oltre la sua fine.");

    // Made longer meanwhile (a log written on): refused too, as what was
    // read is not the whole file.
    HexEditFileHooks::pfnBeforeRead = [](LPCSTR) {
        LARGE_INTEGER longer;
        longer.QuadPart = 7500;
        EXPECT_TRUE(::SetFilePointerEx(hHeld, longer, NULL, FILE_BEGIN) && ::SetEndOfFile(hHeld));
    };
    ExpectLoadRefused(path, path + "\n\nThe file grew while it was read. Nothing was loaded.");

    // Renamed while it is read (a log being rotated): the rename goes
    // through and the bytes are those of the file opened.
    ::CloseHandle(hHeld);
    hHeld = INVALID_HANDLE_VALUE;
    HexEditFileHooks::pfnBeforeRead = [](LPCSTR lpszPath) {
        const std::string rotated = std::string(lpszPath) + ".1";
        EXPECT_TRUE(::MoveFileExA(lpszPath, rotated.c_str(), 0)) << "error " << ::GetLastError();
    };
    {
        MessageBoxCatcher box;
        EXPECT_TRUE(ctl.LoadFile(path.c_str()));
        EXPECT_EQ(0, box.Count()) << box.Text();
    }
    EXPECT_EQ(7500, ctl.GetDataSize());
    ::DeleteFileA((path + ".1").c_str());
}

// The new bytes are on the disk before they replace the target; a flush that
// fails leaves the target as it was.
TEST_F(FileFaultTest, SaveFlushesBeforeTheReplace)
{
    target = Path("durevole.bin");
    Bytes old = Pattern(3000, 1), bytes = Pattern(4096, 2);
    ASSERT_TRUE(WriteAll(target, old));
    ctl.SetBytes(bytes);
    nFlushes = 0;
    HexEditFileHooks::pfnFlushFileBuffers = WatchedFlush;
    {
        MessageBoxCatcher box;
        ctl.SaveFile(target.c_str());
        EXPECT_EQ(0, box.Count()) << box.Text();
    }
    EXPECT_EQ(1, nFlushes);
    EXPECT_EQ(4096, nFlushedSize);
    EXPECT_TRUE(bTargetOldAtFlush) << "the target was replaced before the flush";
    EXPECT_EQ(bytes, ReadAll(target));

    ctl.SetBytes(old);
    HexEditFileHooks::pfnFlushFileBuffers = FlushOfAFullDisk;
    ExpectSaveRefused(target, "Disco pieno durante l'accesso a " + target + ".");
}

// The system's replace removed the target and could not rename the new file,
// and the fallback's rename fails too: the new bytes are only in the
// temporary file, and the message says where.
TEST_F(FileFaultTest, SaveThatLosesTheTargetNamesTheFileWithTheBytes)
{
    target = Path("perso.bin");
    ASSERT_TRUE(WriteAll(target, Pattern(100, 3)));
    Bytes bytes = Pattern(700, 4);
    ctl.SetBytes(bytes);
    HexEditFileHooks::pfnReplaceFileA = ReplaceThatLosesTheTarget;
    HexEditFileHooks::pfnMoveFileExA = RefusedMove;
    MessageBoxCatcher box;
    ctl.SaveFile(target.c_str());
    std::vector<std::string> names = List(dir);
    ASSERT_EQ(1u, names.size());
    std::string temp = Path(names[0]);
    EXPECT_EQ(bytes, ReadAll(temp));
    EXPECT_EQ(1, box.Count());
    EXPECT_EQ("Accesso a " + target + " negato.\n\nThe saved bytes are kept in:\n" + temp, box.Text());
}

// Every way the system's replace can end: the target is replaced, or kept
// whole, or gone with the new bytes still beside it; no byte is lost and the
// message says what happened.
TEST_F(FileFaultTest, SaveThroughEveryOutcomeOfTheReplace)
{
    target = Path("esito.bin");
    const std::string aside = target + ".aside";
    Bytes old = Pattern(100, 3), bytes = Pattern(700, 4);

    // Replaced.
    EXPECT_EQ("", SaveOver(target, old, bytes));
    EXPECT_EQ(bytes, ReadAll(target));
    EXPECT_EQ(std::vector<std::string>{"esito.bin"}, List(dir));

    // Kept whole: the save replaces it by renames instead.
    HexEditFileHooks::pfnReplaceFileA = ReplaceThatKeepsTheTarget;
    EXPECT_EQ("", SaveOver(target, old, bytes));
    EXPECT_EQ(bytes, ReadAll(target));
    EXPECT_EQ(std::vector<std::string>{"esito.bin"}, List(dir));
    // ... and where they fail too, the file stays whole and nothing is left.
    HexEditFileHooks::pfnMoveFileExA = RefusedMove;
    EXPECT_EQ(target + " could not be replaced: the system could not take the old file away.\n\n"
                       "The file is as it was before the save, and no temporary file is left.",
              SaveOver(target, old, bytes));
    EXPECT_EQ(old, ReadAll(target));
    EXPECT_EQ(std::vector<std::string>{"esito.bin"}, List(dir));
    // ... and where the old file went aside and neither file can then take
    // the name, the message says where each of them is.
    nMoves = 0;
    HexEditFileHooks::pfnMoveFileExA = OneMoveOnly;
    {
        std::string text = SaveOver(target, old, bytes);
        std::vector<std::string> names = List(dir);
        ASSERT_EQ(2u, names.size());
        std::string a = Path(names[0]), b = Path(names[1]);
        if (ReadAll(a) == old)
            std::swap(a, b);
        EXPECT_EQ(bytes, ReadAll(a));
        EXPECT_EQ(old, ReadAll(b));
        EXPECT_EQ("Accesso a " + target + " negato.\n\nThe saved bytes are kept in:\n" + a +
                      "\n\nThe old file is kept in:\n" + b,
                  text);
        ::DeleteFileA(a.c_str());
        ::DeleteFileA(b.c_str());
    }

    // Gone: the new file takes the name.
    HexEditFileHooks::Reset();
    HexEditFileHooks::pfnReplaceFileA = ReplaceThatLosesTheTarget;
    EXPECT_EQ("", SaveOver(target, old, bytes));
    EXPECT_EQ(bytes, ReadAll(target));
    EXPECT_EQ(std::vector<std::string>{"esito.bin"}, List(dir));

    // Moved aside by the system: the new file takes the name, the old one
    // stays where the system put it.
    HexEditFileHooks::pfnReplaceFileA = ReplaceThatMovesTheTargetAside;
    EXPECT_EQ("", SaveOver(target, old, bytes));
    EXPECT_EQ(bytes, ReadAll(target));
    EXPECT_EQ(old, ReadAll(aside));
    EXPECT_EQ((std::vector<std::string>{"esito.bin", "esito.bin.aside"}), List(dir));
    ::DeleteFileA(aside.c_str());
    // ... and where the name cannot be taken, the message names the file
    // that holds the new bytes.
    HexEditFileHooks::pfnMoveFileExA = RefusedMove;
    std::string text = SaveOver(target, old, bytes);
    ::DeleteFileA(aside.c_str());
    std::vector<std::string> names = List(dir);
    ASSERT_EQ(1u, names.size());
    std::string temp = Path(names[0]);
    EXPECT_EQ(bytes, ReadAll(temp));
    EXPECT_EQ("Accesso a " + target + " negato.\n\nThe saved bytes are kept in:\n" + temp, text);
}

// A program started while a file is open for a load or a save inherits no
// handle of it: the save's replace and a later save go through.
TEST_F(FileFaultTest, ProgramStartedDuringLoadOrSaveHoldsNoFile)
{
    std::string path = Path("figlio.bin");
    Bytes bytes = Pattern(3000, 5);
    ASSERT_TRUE(WriteAll(path, bytes));
    HexEditFileHooks::pfnBeforeRead = [](LPCSTR) { StartChild(); };
    ctl.LoadFile(path.c_str());
    EXPECT_EQ(bytes, Data());
    ASSERT_NE(nullptr, child.hProcess);
    HexEditFileHooks::Reset();
    ctl.Fill(0x42);
    {
        MessageBoxCatcher box;
        ctl.SaveFile(path.c_str());
        EXPECT_EQ(0, box.Count()) << box.Text();
    }
    EXPECT_EQ(Bytes(3000, 0x42), ReadAll(path));
    EndChild();

    HexEditFileHooks::pfnAfterPiece = [](ULONGLONG) { StartChild(); };
    ctl.Fill(0x43);
    {
        MessageBoxCatcher box;
        ctl.SaveFile(path.c_str());
        EXPECT_EQ(0, box.Count()) << box.Text();
    }
    ASSERT_NE(nullptr, child.hProcess);
    EXPECT_EQ(Bytes(3000, 0x43), ReadAll(path));
    EXPECT_EQ(std::vector<std::string>{"figlio.bin"}, List(dir));
}

TEST_F(FileTest, FolderAsThePathIsRefused)
{
    ScrollAndSelect();
    std::string sub = Path("cartella");
    ASSERT_TRUE(::CreateDirectoryA(sub.c_str(), NULL));
    ExpectLoadRefused(sub, "Accesso a " + sub + " negato.");
    ExpectSaveRefused(sub, "Accesso a " + sub + " negato.");
}

TEST_F(FileTest, FullDiskKeepsTheOldFileAndLeavesNothingBehind)
{
    // A 64 KiB file system of its own, mounted by one shell that makes a
    // mark in it once mounted, waits for the mark to go (two minutes at
    // most, should the test die), unmounts and says so beside the mount
    // point. (Wine starts a Unix program reliably only once per process.)
    std::string mnt = Path("piccolo");
    ASSERT_TRUE(::CreateDirectoryA(mnt.c_str(), NULL));
    std::string unixMnt = UnixPath(mnt);
    std::string unixDir = UnixPath(dir);
    ASSERT_FALSE(unixMnt.empty());
    std::string mark = mnt + "\\montato", done = Path("smontato");
    std::string m = "'" + unixMnt + "'", unixMark = "'" + unixMnt + "/montato'";
    ASSERT_TRUE(StartUnix("[ $(id -u) = 0 ] && mount -t tmpfs -o size=64k tmpfs " + m + " && touch " + unixMark +
                          " && n=0 && while [ -e " + unixMark + " ] && [ $n -lt 1200 ]; do sleep 0.1; n=$((n+1));" +
                          " done; umount " + m + "; touch '" + unixDir + "/smontato'"));
    if (!WaitForFile(mark, true))
        GTEST_SKIP() << "not root: the full disk needs a small tmpfs that only root can mount";
    struct Unmount {
        std::string mark, done;
        ~Unmount()
        {
            ::DeleteFileA(mark.c_str());
            EXPECT_TRUE(WaitForFile(done, true)) << "not unmounted";
        }
    } unmount{mark, done};
    std::string path = mnt + "\\pieno.bin";
    Bytes old = Pattern(20000, 4);
    EXPECT_TRUE(WriteAll(path, old));
    ctl.SetCounting(200000);
    std::vector<std::string> names = List(mnt);
    {
        MessageBoxCatcher box;
        ctl.SaveFile(path.c_str());
        EXPECT_EQ(1, box.Count());
        EXPECT_EQ("Disco pieno durante l'accesso a " + path + ".", box.Text());
    }
    EXPECT_EQ(old, ReadAll(path));
    EXPECT_EQ(names, List(mnt));
    // A save that fits still goes through.
    ctl.SetCounting(30000);
    ctl.SaveFile(path.c_str());
    EXPECT_EQ(30000u, ReadAll(path).size());
    EXPECT_EQ(names, List(mnt));
}

TEST_F(FileTest, FileOf2GiBIsRefusedWithoutChange)
{
    ScrollAndSelect();
    std::string path = Path("enorme.bin");
    ASSERT_NO_FATAL_FAILURE(CreateFileOfSize(path, 0x80000000LL));
    ExpectLoadRefused(path, "Il file \xE8 troppo grande per essere aperto.");
}

// A 32-bit process cannot have 2 GiB in one block: the load says so and
// changes nothing.
TEST_F(FileTest, LoadWithoutMemoryChangesNothing)
{
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "a 64-bit process can have the memory";
    ScrollAndSelect();
    std::string path = Path("quasi enorme.bin");
    ASSERT_NO_FATAL_FAILURE(CreateFileOfSize(path, 0x7FFFFFFFLL));
    ExpectLoadRefused(path, "Memoria insufficiente.");
}

// ---------------------------------------------------------------------------
// The common file dialogs, driven as a person would: type a name, press OK,
// or cancel.

struct DialogDriver {
    DWORD dwThreadId;      // the thread whose dialog to drive
    std::string name;      // typed into the file name box; empty to cancel
    bool bFound = false;
    // What the dialog showed before the name was typed.
    std::string initialName, filter;
    bool bReadOnlyBox = false;
};

BOOL CALLBACK FindFileDialog(HWND h, LPARAM lParam)
{
    char cls[16] = "";
    ::GetClassNameA(h, cls, sizeof cls);
    if (lstrcmpA(cls, "#32770") == 0 && ::IsWindowVisible(h) &&
        (::GetDlgItem(h, 0x47C) != NULL || ::GetDlgItem(h, 0x480) != NULL)) {
        *reinterpret_cast<HWND*>(lParam) = h;
        return FALSE;
    }
    return TRUE;
}

HWND FindDialogOf(DWORD dwThreadId)
{
    HWND hFound = NULL;
    ::EnumThreadWindows(dwThreadId, FindFileDialog, reinterpret_cast<LPARAM>(&hFound));
    return hFound;
}

unsigned __stdcall DriveDialog(void* p)
{
    DialogDriver* d = static_cast<DialogDriver*>(p);
    HWND hDlg = NULL;
    // Patient: the first dialog of a process takes seconds to come up, and
    // much longer where the program runs under an emulator.
    for (int i = 0; i < 2400 && hDlg == NULL; i++) {
        ::Sleep(50);
        hDlg = FindDialogOf(d->dwThreadId);
    }
    if (hDlg == NULL)
        return 0;
    d->bFound = true;
    ::Sleep(200);
    char buf[256] = "";
    HWND hInitial = ::GetDlgItem(hDlg, 0x47C) ? ::GetDlgItem(hDlg, 0x47C) : ::GetDlgItem(hDlg, 0x480);
    ::SendMessageA(hInitial, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    d->initialName = buf;
    buf[0] = '\0';
    ::SendMessageA(::GetDlgItem(hDlg, 0x470), WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf));
    d->filter = buf;
    HWND hReadOnly = ::GetDlgItem(hDlg, 0x410);
    d->bReadOnlyBox = hReadOnly != NULL && ::IsWindowVisible(hReadOnly);
    if (d->name.empty()) {
        ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        return 0;
    }
    HWND hName = ::GetDlgItem(hDlg, 0x47C);
    if (hName == NULL)
        hName = ::GetDlgItem(hDlg, 0x480);
    ::SendMessageA(hName, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(d->name.c_str()));
    ::PostMessageA(hDlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
}

class DialogTest : public FileTest {
protected:
    // Runs op while a second thread types name into the dialog and presses
    // OK (or cancels when name is empty).
    template <class Op>
    bool Drive(const std::string& name, Op op)
    {
        DialogDriver& d = last;
        d = DialogDriver();
        d.dwThreadId = ::GetCurrentThreadId();
        d.name = name;
        HANDLE hThread =
            reinterpret_cast<HANDLE>(_beginthreadex(NULL, 0, DriveDialog, &d, 0, NULL));
        op();
        ::WaitForSingleObject(hThread, 15000);
        ::CloseHandle(hThread);
        return d.bFound;
    }
    DialogDriver last;
};

TEST_F(DialogTest, OpenFileLoadsTheChosenFile)
{
    ScrollAndSelect();
    std::string path = Path("scelto \xE8.bin");
    Bytes bytes = Pattern(777, 5);
    ASSERT_TRUE(WriteAll(path, bytes));
    char cwd[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, cwd);
    MessageBoxCatcher box;
    EXPECT_TRUE(Drive(path, [&] { ctl.OpenFile(); }));
    // "*.*" as the name, the one filter, no read-only box.
    EXPECT_EQ("*.*", last.initialName);
    EXPECT_EQ("All Files (*.*) ", last.filter);
    EXPECT_FALSE(last.bReadOnlyBox);
    EXPECT_EQ(0, box.Count()) << box.Text();
    EXPECT_EQ(bytes, Data());
    EXPECT_EQ(0, ctl.m_nFirstRow);
    EXPECT_EQ(-1, ctl.m_nSelStart);
    char after[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, after);
    EXPECT_STREQ(cwd, after);
}

TEST_F(DialogTest, SaveFileAsWritesTheChosenFileWithoutAnExtension)
{
    std::string path = Path("salvato");
    Bytes bytes = Pattern(1234, 6);
    ctl.SetBytes(bytes);
    MessageBoxCatcher box;
    EXPECT_TRUE(Drive(path, [&] { ctl.SaveFileAs(); }));
    EXPECT_EQ("*.*", last.initialName);
    EXPECT_EQ("All Files (*.*) ", last.filter);
    EXPECT_EQ(0, box.Count()) << box.Text();
    EXPECT_EQ(bytes, ReadAll(path));
    // Over an existing file there is no question either.
    ctl.Fill(0x11);
    EXPECT_TRUE(Drive(path, [&] { ctl.SaveFileAs(); }));
    EXPECT_EQ(0, box.Count()) << box.Text();
    EXPECT_EQ(Bytes(1234, 0x11), ReadAll(path));
}

TEST_F(DialogTest, OpenFileOfAMissingNameReportsIt)
{
    ScrollAndSelect();
    std::string path = Path("assente.bin");
    State before = Snapshot();
    MessageBoxCatcher box;
    EXPECT_TRUE(Drive(path, [&] { ctl.OpenFile(); }));
    EXPECT_EQ(1, box.Count());
    EXPECT_EQ(path + " non trovato.", box.Text());
    EXPECT_TRUE(before == Snapshot());
}

TEST_F(DialogTest, CancelledDialogsChangeNothing)
{
    ScrollAndSelect();
    State before = Snapshot();
    MessageBoxCatcher box;
    EXPECT_TRUE(Drive("", [&] { ctl.OpenFile(); }));
    EXPECT_TRUE(Drive("", [&] { ctl.SaveFileAs(); }));
    EXPECT_EQ(0, box.Count()) << box.Text();
    EXPECT_TRUE(before == Snapshot());
    EXPECT_TRUE(List(dir).empty());
}

} // namespace
