// Window-level tests of the progress of CHexEditCtrl's long loads, saves and
// searches:
// the test build's hook slows each piece down as a slow disk would, a second
// thread finds the progress window among the process's windows, reads it,
// tries the host's menu with a real click and presses Cancel (a real click)
// or Escape (a real key); what is checked is the control's bytes and view,
// the files in the folder, the message boxes and the cursor. Hosts that go
// while the work runs (a timer, a posted WM_CLOSE, the session's end) hold
// a control whose memory is kept and checked after its delete.
#include "HexEditFileHooks.h"
#include "HexEditProgress.h"
#include "MessageBoxCatcher.h"
#include "TestFiles.h"
#include "ControlTest.h"

#include <commctrl.h>
#include <process.h>
#include <cstring>
#include <functional>
#include <new>
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

// The progress window of the thread dwThreadId once it shows, polled every
// 10 ms up to nTries times (patient: under an emulator everything takes
// longer); NULL once bOpDone says the work ended without one.
HWND WaitForProgressWindow(DWORD dwThreadId, const volatile LONG& bOpDone, int nTries)
{
    HWND hProgress = NULL;
    for (int i = 0; i < nTries && hProgress == NULL && !bOpDone; i++) {
        ::Sleep(10);
        ::EnumThreadWindows(dwThreadId, FindProgress, reinterpret_cast<LPARAM>(&hProgress));
    }
    return hProgress;
}

unsigned __stdcall WatchProgress(void* p)
{
    Watch& w = *static_cast<Watch*>(p);
    HWND hProgress = WaitForProgressWindow(w.dwThreadId, w.bOpDone, 1000);
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

// A long search shows its progress as a long load does, over a host that
// cannot reach the control meanwhile; Cancel ends it with nothing found,
// though the pattern is there, and nothing of the view changed.
TEST_F(ProgressTest, SearchShowsItsProgressAndCancelFindsNothing)
{
    ScrollAndSelect();
    const int nSize = 256 << 20;
    ctl.m_data.SetSize(nSize, -1);
    memset(ctl.m_data.GetData(), 0, nSize);
    const BYTE pattern[] = {1, 2, 3, 4};
    memcpy(ctl.m_data.GetData() + nSize - 4, pattern, 4);
    ctl.RecalcLayout();
    g_dwPieceMs = 50;   // 64 pieces: about 3 s without a cancel
    std::vector<LONGLONG> view = View();

    Watch w;
    w.action = Watch::kClickCancel;
    MessageBoxCatcher box;
    LONGLONG nFound = 0;
    DWORD dwError = 0;
    WithWatcher(w, [&] {
        nFound = ctl.FindBytes(pattern, 4, 0);
        dwError = ::GetLastError();
    });

    ASSERT_TRUE(w.bFound) << "no progress window";
    EXPECT_EQ("Searching", w.caption);
    EXPECT_EQ("", w.pathLine);
    EXPECT_NE(std::string::npos, w.bytesLine.find(" of 268,435,453 bytes (")) << w.bytesLine;
    EXPECT_EQ(hHost, w.hOwner);
    EXPECT_FALSE(w.bOwnerEnabled);
    EXPECT_FALSE(w.bMenuOpened) << "the host's menu opened while the search ran";
    EXPECT_EQ(1, g_nCommands) << "the posted command did not come";
    EXPECT_EQ(hcurWait, g_hcurAtFirstPiece);

    EXPECT_EQ(-1, nFound);
    EXPECT_EQ(static_cast<DWORD>(ERROR_CANCELLED), dwError) << "a cancel told as nothing found";
    EXPECT_EQ(0, box.Count()) << box.Text();
    EXPECT_EQ(view, View());
    EXPECT_EQ(0, ctl.m_data[0]) << "the posted fill ran during the search";
    EXPECT_TRUE(::IsWindowEnabled(hHost));
    HexEditFileHooks::Reset();
    EXPECT_EQ(nSize - 4, ctl.FindBytes(pattern, 4, 0));
    EXPECT_EQ(-1, ctl.FindBytes(pattern, 4, nSize - 3));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SUCCESS), ::GetLastError());
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

// What WhenShown's thread shares with the operation's.
struct ShownWatch {
    DWORD dwThreadId;
    volatile LONG bOpDone;
    std::function<void(HWND)> onShown;
};

unsigned __stdcall RunWhenShown(void* p)
{
    ShownWatch& sh = *static_cast<ShownWatch*>(p);
    HWND hProgress = WaitForProgressWindow(sh.dwThreadId, sh.bOpDone, 2000);
    sh.onShown(hProgress);
    return 0;
}

// Runs op while a second thread waits for the progress window and then does
// onShown with it (NULL when none came before op ended).
void WhenShown(std::function<void(HWND)> onShown, std::function<void()> op)
{
    ShownWatch shared{::GetCurrentThreadId(), 0, std::move(onShown)};
    HANDLE hThread = reinterpret_cast<HANDLE>(_beginthreadex(NULL, 0, RunWhenShown, &shared, 0, NULL));
    op();
    ::InterlockedExchange(&shared.bOpDone, 1);
    while (::MsgWaitForMultipleObjects(1, &hThread, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        Pump();
    ::CloseHandle(hThread);
}

// A control in memory that outlives its object: the host's end destroys
// the object, as a view's end destroys its member, and fills the memory,
// so that a later write into it shows.
struct KeptControl {
    alignas(TestHexEdit) unsigned char memory[sizeof(TestHexEdit)];
    TestHexEdit* pCtl = nullptr;
    KeptControl() { pCtl = new (memory) TestHexEdit; }
    ~KeptControl()
    {
        if (pCtl != nullptr)
            Delete();
    }
    void Delete()
    {
        pCtl->~TestHexEdit();
        pCtl = nullptr;
        memset(memory, 0xDD, sizeof memory);
    }
    size_t BytesTouchedAfterDelete() const
    {
        size_t n = 0;
        for (unsigned char c : memory)
            n += c != 0xDD;
        return n;
    }
};

// A child frame of the host holding the kept control, as an MDI child holds
// its view: its timer closes it, and its end deletes the control.
KeptControl* g_pKept = nullptr;

LRESULT CALLBACK ChildFrameProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER) {
        ::KillTimer(hWnd, wParam);
        ::DestroyWindow(hWnd);
        return 0;
    }
    if (message == WM_NCDESTROY && g_pKept != nullptr && g_pKept->pCtl != nullptr)
        g_pKept->Delete();
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

// A load, a save or a search whose host goes meanwhile, by a timer that closes the
// control's child frame or by a WM_CLOSE another program posted to the
// top-level window: the operation ends at once, writes nothing into the
// deleted control, leaves the old file whole and no temporary file, and
// gives the rest of the program back.
TEST_F(ProgressTest, HostDestroyedDuringTheWorkEndsItWithoutTouchingTheControl)
{
    static bool bRegistered = false;
    if (!bRegistered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = ChildFrameProc;
        wc.hInstance = ::GetModuleHandleA(NULL);
        wc.lpszClassName = "QXProgressChildFrame";
        bRegistered = ::RegisterClassA(&wc) != 0;
    }
    std::string source = Path("source.bin"), target = Path("target.bin");
    const LONGLONG nSize = 64LL << 20;   // 16 pieces
    HANDLE h = ::CreateFileA(source.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER size;
    size.QuadPart = nSize;
    ASSERT_TRUE(::SetFilePointerEx(h, size, NULL, FILE_BEGIN) && ::SetEndOfFile(h));
    ::CloseHandle(h);
    Bytes old(1000, 0x42);
    ASSERT_TRUE(WriteAll(target, old));
    g_dwPieceMs = 100;

    enum Work { kLoad, kSave, kSearch };
    for (Work work : {kLoad, kSave, kSearch}) {
        const bool bSave = work == kSave;
        for (bool bByTimer : {true, false}) {
            SCOPED_TRACE(std::string(work == kLoad ? "load" : bSave ? "save" : "search") +
                         (bByTimer ? ", timer" : ", posted WM_CLOSE"));
            HWND hTop = hHost;
            if (!bByTimer) {
                hTop = ::CreateWindowExA(0, "QXProgressHost", "closing host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                         900, 700, NULL, NULL, ::GetModuleHandleA(NULL), NULL);
                ASSERT_NE((HWND)NULL, hTop);
            }
            HWND hFrame = ::CreateWindowExA(0, "QXProgressChildFrame", "", WS_CHILD | WS_VISIBLE, 0, 0, 800, 600,
                                            hTop, NULL, ::GetModuleHandleA(NULL), NULL);
            ASSERT_NE((HWND)NULL, hFrame);
            KeptControl kept;
            g_pKept = &kept;
            RECT rc = {0, 0, 600, 500};
            ASSERT_TRUE(kept.pCtl->Create(rc, CWnd::FromHandle(hFrame), 1));
            if (work != kLoad) {
                kept.pCtl->m_data.SetSize(static_cast<int>(nSize), -1);
                memset(kept.pCtl->m_data.GetData(), 0x5A, static_cast<size_t>(nSize));
            }
            if (bByTimer)
                ::SetTimer(hFrame, 1, 1, NULL);   // it fires at the first message pumped
            std::vector<std::string> names = List(dir);

            MessageBoxCatcher box;
            bool bShown = false;
            BOOL bLoaded = TRUE;
            LONGLONG nFound = 0;
            const BYTE absent[] = {1, 2, 3};
            WhenShown(
                [&](HWND hProgress) {
                    bShown = hProgress != NULL;
                    if (bShown && !bByTimer)
                        ::PostMessageA(hTop, WM_CLOSE, 0, 0);
                },
                [&] {
                    if (work == kSearch)
                        nFound = kept.pCtl->FindBytes(absent, 3, 0);
                    else if (bSave)
                        kept.pCtl->SaveFile(target.c_str());
                    else
                        bLoaded = kept.pCtl->LoadFile(source.c_str());
                });
            g_pKept = nullptr;

            EXPECT_TRUE(bShown) << "no progress window";
            EXPECT_EQ(nullptr, kept.pCtl) << "the host did not go";
            EXPECT_EQ(0u, kept.BytesTouchedAfterDelete()) << "the operation wrote into the deleted control";
            if (work == kLoad) {
                EXPECT_FALSE(bLoaded);
            }
            if (work == kSearch) {
                EXPECT_EQ(-1, nFound);
            }
            EXPECT_EQ(0, box.Count()) << box.Text();
            EXPECT_EQ(old, ReadAll(target));
            EXPECT_EQ(names, List(dir));
            EXPECT_FALSE(::IsWindow(hFrame));
            if (bByTimer) {
                EXPECT_TRUE(::IsWindowEnabled(hHost)) << "the program stayed disabled";
            }
            HWND hLeft = NULL;
            ::EnumThreadWindows(::GetCurrentThreadId(), FindProgress, reinterpret_cast<LPARAM>(&hLeft));
            EXPECT_EQ((HWND)NULL, hLeft);
            if (::IsWindow(hTop) && hTop != hHost)
                ::DestroyWindow(hTop);
            Pump();
        }
    }
}

// The session ends while a save runs: inside the message that ends it (the
// program may be ended as soon as it returns) the temporary file goes; the
// target keeps its old bytes and the control, still there, works again.
TEST_F(ProgressTest, SessionEndDuringASaveLeavesNoTemporaryFile)
{
    std::string target = Path("target.bin");
    Bytes old(1000, 0x42);
    ASSERT_TRUE(WriteAll(target, old));
    ctl.m_data.SetSize(64 << 20, -1);
    g_dwPieceMs = 100;
    std::vector<std::string> names = List(dir);

    LRESULT lQuery = 0;
    std::vector<std::string> namesAtEnd;
    bool bShown = false;
    MessageBoxCatcher box;
    WhenShown(
        [&](HWND hProgress) {
            bShown = hProgress != NULL;
            if (!bShown)
                return;
            lQuery = ::SendMessageA(hProgress, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
            ::SendMessageA(hHost, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
            ::SendMessageA(hProgress, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            ::SendMessageA(hHost, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
            namesAtEnd = List(dir);
        },
        [&] { ctl.SaveFile(target.c_str()); });

    ASSERT_TRUE(bShown) << "no progress window";
    EXPECT_TRUE(lQuery) << "the progress window refused the session's end";
    EXPECT_EQ(names, namesAtEnd) << "the temporary file was there when the session ended";
    EXPECT_EQ(old, ReadAll(target));
    EXPECT_EQ(names, List(dir));
    EXPECT_EQ(0, box.Count()) << box.Text();
    ::SendMessageA(hHost, WM_COMMAND, kFillCommand, 0);
    EXPECT_EQ(Bytes(64 << 20, 0x77), Data()) << "the control stayed busy";
}

// Keys typed just before the window showed (a Space or an Enter that would
// press its focused Cancel) do not cancel the save.
TEST_F(ProgressTest, KeysTypedBeforeTheWindowShowsDoNotCancel)
{
    std::string target = Path("target.bin");
    ASSERT_TRUE(WriteAll(target, Bytes(1000, 0x42)));
    ctl.m_data.SetSize(64 << 20, -1);
    memset(ctl.m_data.GetData(), 0x5A, 64 << 20);
    ctl.SetFocus();
    g_dwPieceMs = 100;
    HexEditFileHooks::pfnAfterPiece = [](ULONGLONG nDone) {
        if (nDone == CHexEditProgress::kPieceSize) {
            for (WORD vk : {WORD(VK_SPACE), WORD(VK_RETURN)}) {
                for (DWORD flags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
                    INPUT in = {};
                    in.type = INPUT_KEYBOARD;
                    in.ki.wVk = vk;
                    in.ki.dwFlags = flags;
                    ::SendInput(1, &in, sizeof(in));
                }
            }
        }
        ::Sleep(g_dwPieceMs);
    };
    bool bShown = false;
    MessageBoxCatcher box;
    WhenShown([&](HWND hProgress) { bShown = hProgress != NULL; }, [&] { ctl.SaveFile(target.c_str()); });

    ASSERT_TRUE(bShown) << "no progress window";
    EXPECT_EQ(0, box.Count()) << box.Text();
    Bytes saved = ReadAll(target);
    EXPECT_EQ(static_cast<size_t>(64 << 20), saved.size()) << "the save was cancelled";
}

// The flush to the disk: the window stays, answers and paints, says what
// happens, and nothing cancels it (Cancel is disabled, the close box does
// nothing); the save then ends as it should.
HANDLE g_hFlushRelease = NULL;

BOOL WINAPI FlushWhenReleased(HANDLE hFile)
{
    ::WaitForSingleObject(g_hFlushRelease, 60000);
    return ::FlushFileBuffers(hFile);
}

TEST_F(ProgressTest, FlushKeepsTheWindowAnsweringAndCannotBeCancelled)
{
    std::string target = Path("target.bin");
    ASSERT_TRUE(WriteAll(target, Bytes(1000, 0x42)));
    ctl.m_data.SetSize(4 << 20, -1);
    memset(ctl.m_data.GetData(), 0x5A, 4 << 20);
    g_hFlushRelease = ::CreateEventA(NULL, TRUE, FALSE, NULL);
    HexEditFileHooks::pfnAfterPiece = nullptr;
    HexEditFileHooks::pfnFlushFileBuffers = FlushWhenReleased;

    bool bShown = false, bAnswered = false, bCancelEnabled = true;
    std::string bytesLine;
    MessageBoxCatcher box;
    WhenShown(
        [&](HWND hProgress) {
            bShown = hProgress != NULL;
            if (bShown) {
                DWORD_PTR dwResult = 0;
                bAnswered = ::SendMessageTimeoutA(hProgress, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &dwResult) != 0;
                HWND hCancel = ::GetDlgItem(hProgress, IDCANCEL);
                bCancelEnabled = ::IsWindowEnabled(hCancel) != FALSE;
                std::vector<std::string> lines;
                for (HWND h = ::GetWindow(hProgress, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
                    char cls[32] = "";
                    ::GetClassNameA(h, cls, sizeof cls);
                    if (lstrcmpiA(cls, "Static") == 0)
                        lines.push_back(TextOf(h));
                }
                if (lines.size() == 2)
                    bytesLine = lines[1];
                ::SendMessageTimeoutA(hProgress, WM_CLOSE, 0, 0, SMTO_NORMAL, 20000, &dwResult);
                ::SendMessageTimeoutA(hProgress, WM_COMMAND, IDCANCEL, 0, SMTO_NORMAL, 20000, &dwResult);
            }
            ::SetEvent(g_hFlushRelease);
        },
        [&] { ctl.SaveFile(target.c_str()); });
    ::CloseHandle(g_hFlushRelease);
    g_hFlushRelease = NULL;

    ASSERT_TRUE(bShown) << "no progress window during the flush";
    EXPECT_TRUE(bAnswered) << "the window did not answer during the flush";
    EXPECT_FALSE(bCancelEnabled);
    EXPECT_EQ("Writing the bytes to the disk...", bytesLine);
    EXPECT_EQ(0, box.Count()) << box.Text();
    EXPECT_EQ(Bytes(4 << 20, 0x5A), ReadAll(target)) << "the save did not end as it should";
}

// An owner off the screen or minimised: the window is wholly on the work
// area, where its Cancel can be seen.
TEST_F(ProgressTest, WindowIsOnTheWorkAreaWhateverTheOwner)
{
    std::string path = Path("source.bin");
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    LARGE_INTEGER size;
    size.QuadPart = 16LL << 20;
    ASSERT_TRUE(::SetFilePointerEx(h, size, NULL, FILE_BEGIN) && ::SetEndOfFile(h));
    ::CloseHandle(h);
    g_dwPieceMs = 250;
    RECT rcWork;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcWork, 0);

    for (bool bMinimised : {false, true}) {
        SCOPED_TRACE(bMinimised ? "minimised" : "off the screen");
        if (bMinimised) {
            ::SetWindowPos(hHost, NULL, 100, 100, 900, 700, SWP_NOZORDER);
            ::ShowWindow(hHost, SW_MINIMIZE);
        } else {
            ::SetWindowPos(hHost, NULL, -3000, -2500, 900, 700, SWP_NOZORDER);
        }
        Pump();
        RECT rcProgress = {};
        bool bShown = false;
        WhenShown(
            [&](HWND hProgress) {
                bShown = hProgress != NULL;
                if (bShown)
                    ::GetWindowRect(hProgress, &rcProgress);
            },
            [&] { ctl.LoadFile(path.c_str()); });
        ASSERT_TRUE(bShown) << "no progress window";
        EXPECT_GE(rcProgress.left, rcWork.left);
        EXPECT_GE(rcProgress.top, rcWork.top);
        EXPECT_LE(rcProgress.right, rcWork.right);
        EXPECT_LE(rcProgress.bottom, rcWork.bottom);
        ::ShowWindow(hHost, SW_RESTORE);
    }
}

} // namespace
