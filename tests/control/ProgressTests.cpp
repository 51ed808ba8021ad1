// Window-level tests of the progress of CHexEditCtrl's long loads and saves:
// the test build's hook slows each piece down as a slow disk would, a second
// thread finds the progress window among the process's windows, reads it,
// tries the host's menu with a real click and presses Cancel (a real click)
// or Escape (a real key); what is checked is the control's bytes and view,
// the files in the folder, the message boxes and the cursor.
#include "HexEditFileHooks.h"
#include "HexEditProgress.h"
#include "MessageBoxCatcher.h"
#include "TestFiles.h"
#include "ControlTest.h"

#include <commctrl.h>
#include <process.h>
#include <string>
#include <vector>

using qxtest::Pump;
using qxtest::TestHexEdit;

using qxtest::Bytes;
using qxtest::ReadAll;
using qxtest::List;
using qxtest::WriteAll;

namespace {

const UINT kFillCommand = 100;

// The host: a top-level window with a menu whose one command fills the
// control, as a program's command would.
TestHexEdit* g_pHostedCtl = nullptr;
int g_nCommands = 0;

LRESULT CALLBACK HostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == kFillCommand) {
        ++g_nCommands;
        if (g_pHostedCtl != nullptr)
            g_pHostedCtl->Fill(0x77);
        return 0;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

// What the watching thread saw of the progress window, and what it did.
struct Watch {
    DWORD dwThreadId = 0;     // the thread running the operation
    volatile LONG bOpDone = 0;  // it has ended: no window will come
    enum { kLook, kClickCancel, kPressEscape } action = kLook;
    bool bFound = false;
    std::string caption, pathLine, bytesLine;
    HWND hOwner = NULL;
    bool bOwnerEnabled = true;
    bool bMenuOpened = false;
    int nBarPos = -1;
};

BOOL CALLBACK FindProgress(HWND hWnd, LPARAM lParam)
{
    char cls[64] = "";
    ::GetClassNameA(hWnd, cls, sizeof cls);
    if (lstrcmpA(cls, CHexEditProgress::kClassName) == 0 && ::IsWindowVisible(hWnd)) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindVisibleMenu(HWND hWnd, LPARAM lParam)
{
    char cls[16] = "";
    ::GetClassNameA(hWnd, cls, sizeof cls);
    if (lstrcmpA(cls, "#32768") == 0 && ::IsWindowVisible(hWnd)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

std::string TextOf(HWND hWnd)
{
    char buf[1024] = "";
    ::GetWindowTextA(hWnd, buf, sizeof buf);
    return buf;
}

void ClickAt(POINT pt)
{
    for (DWORD flags : {DWORD(0), DWORD(MOUSEEVENTF_LEFTDOWN), DWORD(MOUSEEVENTF_LEFTUP)}) {
        qxtest::SendMouseAbsolute(pt, flags);
        ::Sleep(60);
    }
}

unsigned __stdcall WatchProgress(void* p)
{
    Watch& w = *static_cast<Watch*>(p);
    HWND hProgress = NULL;
    // Patient: under an emulator everything takes longer.
    for (int i = 0; i < 1000 && hProgress == NULL && !w.bOpDone; i++) {
        ::Sleep(10);
        ::EnumThreadWindows(w.dwThreadId, FindProgress, reinterpret_cast<LPARAM>(&hProgress));
    }
    if (hProgress == NULL)
        return 0;
    w.bFound = true;
    ::Sleep(150);
    w.caption = TextOf(hProgress);
    w.hOwner = ::GetWindow(hProgress, GW_OWNER);
    w.bOwnerEnabled = w.hOwner != NULL && ::IsWindowEnabled(w.hOwner);
    // The lines top to bottom: the file's name, the bar, the bytes.
    std::vector<std::string> lines;
    for (HWND h = ::GetWindow(hProgress, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        char cls[32] = "";
        ::GetClassNameA(h, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0)
            lines.push_back(TextOf(h));
        else if (lstrcmpiA(cls, PROGRESS_CLASSA) == 0)
            w.nBarPos = static_cast<int>(::SendMessageA(h, PBM_GETPOS, 0, 0));
    }
    if (lines.size() == 2) {
        w.pathLine = lines[0];
        w.bytesLine = lines[1];
    }
    if (w.action == Watch::kLook)
        return 0;

    // A real click on the host's menu bar opens nothing.
    if (w.hOwner != NULL && ::GetMenu(w.hOwner) != NULL) {
        RECT rcItem;
        if (::GetMenuItemRect(w.hOwner, ::GetMenu(w.hOwner), 0, &rcItem)) {
            ClickAt(POINT{(rcItem.left + rcItem.right) / 2, (rcItem.top + rcItem.bottom) / 2});
            ::Sleep(300);
            ::EnumThreadWindows(w.dwThreadId, FindVisibleMenu, reinterpret_cast<LPARAM>(&w.bMenuOpened));
        }
        // A command that comes anyway (posted by some other part of the
        // program) finds the control busy.
        ::PostMessageA(w.hOwner, WM_COMMAND, kFillCommand, 0);
        ::Sleep(200);
    }

    if (w.action == Watch::kClickCancel) {
        RECT rc;
        ::GetWindowRect(::GetDlgItem(hProgress, IDCANCEL), &rc);
        ClickAt(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    } else {
        for (DWORD flags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT in = {};
            in.type = INPUT_KEYBOARD;
            in.ki.wVk = VK_ESCAPE;
            in.ki.dwFlags = flags;
            ::SendInput(1, &in, sizeof(in));
            ::Sleep(30);
        }
    }
    return 0;
}

// Runs op while the watcher does its part.
template <class Op>
void WithWatcher(Watch& w, Op op)
{
    w.dwThreadId = ::GetCurrentThreadId();
    HANDLE hThread = reinterpret_cast<HANDLE>(_beginthreadex(NULL, 0, WatchProgress, &w, 0, NULL));
    op();
    ::InterlockedExchange(&w.bOpDone, 1);
    while (::MsgWaitForMultipleObjects(1, &hThread, FALSE, 20000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        Pump();
    ::CloseHandle(hThread);
}

// The pieces as a slow disk delivers them; the cursor while the first one
// is done.
HCURSOR g_hcurAtFirstPiece = NULL;
DWORD g_dwPieceMs = 0;

void SlowPiece(ULONGLONG nDone)
{
    if (nDone <= CHexEditProgress::kPieceSize)
        g_hcurAtFirstPiece = ::GetCursor();
    ::Sleep(g_dwPieceMs);
}

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "qx progress " + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(dir.c_str(), NULL);
        static bool bRegistered = false;
        if (!bRegistered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = HostProc;
            wc.hInstance = ::GetModuleHandleA(NULL);
            wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = "QXProgressHost";
            bRegistered = ::RegisterClassA(&wc) != 0;
        }
        HMENU hMenu = ::CreateMenu();
        HMENU hPopup = ::CreatePopupMenu();
        ::AppendMenuA(hPopup, MF_STRING, kFillCommand, "&Fill");
        ::AppendMenuA(hMenu, MF_POPUP, reinterpret_cast<UINT_PTR>(hPopup), "&File");
        hHost = ::CreateWindowExA(0, "QXProgressHost", "progress test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 900,
                                  700, NULL, hMenu, ::GetModuleHandleA(NULL), NULL);
        ASSERT_NE(hHost, (HWND)NULL);
        ::SetForegroundWindow(hHost);
        RECT rc = {0, 0, 600, 500};
        ASSERT_TRUE(ctl.Create(rc, CWnd::FromHandle(hHost), 1));
        ctl.SetCounting(4096);
        g_pHostedCtl = &ctl;
        g_nCommands = 0;
        g_hcurAtFirstPiece = NULL;
        HexEditFileHooks::pfnAfterPiece = SlowPiece;
        hcurWait = ::LoadCursor(NULL, IDC_WAIT);
    }
    void TearDown() override
    {
        HexEditFileHooks::Reset();
        g_pHostedCtl = nullptr;
        ctl.DestroyWindow();
        ::DestroyWindow(hHost);
        Pump();
        for (const std::string& name : List(dir))
            ::DeleteFileA((dir + "\\" + name).c_str());
        ::RemoveDirectoryA(dir.c_str());
    }

    std::string Path(const std::string& name) const { return dir + "\\" + name; }

    // The sample scrolled down with a selection: a view that a cancelled
    // load must leave alone.
    void ScrollAndSelect()
    {
        ctl.m_nSelStart = 3 * 200;
        ctl.m_nSelEnd = 3 * 260 + 1;
        ctl.m_nCaretPos = 3 * 230 + 1;
        for (int i = 0; i < 10; i++)
            ctl.SendScroll(WM_VSCROLL, SB_LINEDOWN);
    }
    std::vector<LONGLONG> View()
    {
        return {ctl.m_nSelStart, ctl.m_nSelEnd, ctl.m_nCaretPos, ctl.m_nArea, ctl.m_nFirstRow, ctl.m_nFirstCol,
                ctl.m_byteCur, ctl.m_data.GetSize()};
    }
    Bytes Data() const { return Bytes(ctl.m_data.GetData(), ctl.m_data.GetData() + ctl.m_data.GetSize()); }

    std::string dir;
    HWND hHost = NULL;
    TestHexEdit ctl;
    HCURSOR hcurWait = NULL;
};

// A long load shows its progress over the host, which cannot reach the
// control meanwhile; Cancel leaves everything as it was, without a message.
TEST_F(ProgressTest, LoadShowsItsProgressAndCancelChangesNothing)
{
    ScrollAndSelect();
    std::string path = Path("sparse.bin");
    const LONGLONG nSize = 256LL << 20;
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    DWORD dwReturned = 0;
    ::DeviceIoControl(h, FSCTL_SET_SPARSE, NULL, 0, NULL, 0, &dwReturned, NULL);
    LARGE_INTEGER size;
    size.QuadPart = nSize;
    ASSERT_TRUE(::SetFilePointerEx(h, size, NULL, FILE_BEGIN) && ::SetEndOfFile(h));
    ::CloseHandle(h);
    g_dwPieceMs = 50;   // 64 pieces: about 3 s without a cancel

    std::vector<LONGLONG> view = View();
    Bytes bytes = Data();
    Watch w;
    w.action = Watch::kClickCancel;
    MessageBoxCatcher box;
    BOOL bLoaded = TRUE;
    WithWatcher(w, [&] { bLoaded = ctl.LoadFile(path.c_str()); });

    ASSERT_TRUE(w.bFound) << "no progress window";
    EXPECT_EQ("Loading", w.caption);
    EXPECT_EQ(path, w.pathLine);
    EXPECT_NE(std::string::npos, w.bytesLine.find(" of 268,435,456 bytes (")) << w.bytesLine;
    EXPECT_GT(w.nBarPos, 0);
    EXPECT_LT(w.nBarPos, 1000);
    EXPECT_EQ(hHost, w.hOwner);
    EXPECT_FALSE(w.bOwnerEnabled);
    EXPECT_FALSE(w.bMenuOpened) << "the host's menu opened while the load ran";
    EXPECT_EQ(1, g_nCommands) << "the posted command did not come";
    EXPECT_EQ(hcurWait, g_hcurAtFirstPiece);

    EXPECT_FALSE(bLoaded);
    EXPECT_EQ(0, box.Count()) << box.Text();
    EXPECT_TRUE(bytes == Data()) << "the cancelled load (or the command) changed the bytes";
    EXPECT_EQ(view, View());
    EXPECT_TRUE(::IsWindowEnabled(hHost));
    HWND hLeft = NULL;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindProgress, reinterpret_cast<LPARAM>(&hLeft));
    EXPECT_EQ((HWND)NULL, hLeft);
    // The control works again.
    ::SendMessageA(hHost, WM_COMMAND, kFillCommand, 0);
    EXPECT_EQ(Bytes(4096, 0x77), Data());
}

// A long save shows its progress; Escape cancels it: the target keeps its
// old bytes, no temporary file stays, no message.
TEST_F(ProgressTest, SaveShowsItsProgressAndEscapeKeepsTheOldFile)
{
    std::string path = Path("target.bin");
    Bytes old(1000, 0x42);
    ASSERT_TRUE(WriteAll(path, old));
    const int nSize = 256 << 20;
    ctl.m_data.SetSize(nSize, -1);
    ctl.RecalcLayout();
    g_dwPieceMs = 50;
    std::vector<std::string> names = List(dir);

    Watch w;
    w.action = Watch::kPressEscape;
    MessageBoxCatcher box;
    WithWatcher(w, [&] { ctl.SaveFile(path.c_str()); });

    ASSERT_TRUE(w.bFound) << "no progress window";
    EXPECT_EQ("Saving", w.caption);
    EXPECT_EQ(path, w.pathLine);
    EXPECT_NE(std::string::npos, w.bytesLine.find(" of 268,435,456 bytes (")) << w.bytesLine;
    EXPECT_FALSE(w.bOwnerEnabled);
    EXPECT_FALSE(w.bMenuOpened);
    EXPECT_EQ(hcurWait, g_hcurAtFirstPiece);

    EXPECT_EQ(0, box.Count()) << box.Text();
    EXPECT_EQ(old, ReadAll(path));
    EXPECT_EQ(names, List(dir));
    EXPECT_EQ(nSize, ctl.m_data.GetSize());
    EXPECT_TRUE(::IsWindowEnabled(hHost));
}

// A short load or save shows no window; the wait cursor is there from the
// first piece and goes at the end, also when the load fails.
TEST_F(ProgressTest, ShortOperationsShowNothing)
{
    std::string path = Path("small.bin");
    Bytes bytes(4096, 0x5A);
    ASSERT_TRUE(WriteAll(path, bytes));
    g_dwPieceMs = 100;
    HCURSOR hcurBefore = ::SetCursor(::LoadCursor(NULL, IDC_ARROW));
    hcurBefore = ::GetCursor();

    Watch w;
    MessageBoxCatcher box;
    WithWatcher(w, [&] {
        EXPECT_TRUE(ctl.LoadFile(path.c_str()));
        EXPECT_EQ(hcurWait, g_hcurAtFirstPiece);
        EXPECT_EQ(hcurBefore, ::GetCursor());
        ctl.Fill(0x11);
        ctl.SaveFile(path.c_str());
        EXPECT_EQ(hcurBefore, ::GetCursor());
        // A read that fails: its message, and the cursor as it was.
        HexEditFileHooks::pfnBeforeRead = [](LPCSTR lpszPath) {
            AfxThrowFileException(CFileException::hardIO, ERROR_CRC, lpszPath);
        };
        EXPECT_FALSE(ctl.LoadFile(path.c_str()));
        EXPECT_EQ(hcurBefore, ::GetCursor());
        HexEditFileHooks::pfnBeforeRead = nullptr;
    });
    EXPECT_FALSE(w.bFound) << "a short operation showed a progress window";
    EXPECT_EQ(1, box.Count());
    EXPECT_EQ("Errore di I/O hardware durante l'accesso a " + path + ". ", box.Text());
    EXPECT_EQ(Bytes(4096, 0x11), ReadAll(path));
}

} // namespace
