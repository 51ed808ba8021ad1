// Window-level tests of CWnd: creation with subclassing, message-map
// dispatch through the base maps, Default() reaching the original window
// procedure, the handle map, exceptions escaping a handler, commands told
// from control notifications, and the creation hook.
#include <afxwin.h>
#include <gtest/gtest.h>
#include "MessageBoxCatcher.h"
#include <string>
#include <thread>

namespace {

HWND CreateTopLevel()
{
    return CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, NULL, NULL,
                           GetModuleHandleA(NULL), NULL);
}

class CountingEdit : public CEdit {
public:
    int sizes = 0, paints = 0, chars = 0, lastCx = -1;
    UINT lastChar = 0;
    bool throwOnChar = false;

    afx_msg void OnSize(UINT nType, int cx, int cy)
    {
        CWnd::OnSize(nType, cx, cy);
        ++sizes;
        lastCx = cx;
    }
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        ++chars;
        lastChar = nChar;
        if (throwOnChar)
            AfxThrowInvalidArgException();
        CWnd::OnChar(nChar, nRepCnt, nFlags);   // the edit class inserts it
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CountingEdit, CEdit)
    ON_WM_SIZE()
    ON_WM_CHAR()
END_MESSAGE_MAP()

// A class whose own map is empty: its messages are found in the base's.
class DerivedEdit : public CountingEdit {
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(DerivedEdit, CountingEdit)
END_MESSAGE_MAP()

// Records what the capture and wheel entries hand their handlers.
class MouseRecordingEdit : public CEdit {
public:
    HWND hCaptureTo = reinterpret_cast<HWND>(-1);
    UINT nWheelFlags = 0;
    short zWheelDelta = 0;
    CPoint ptWheel;
    afx_msg void OnCaptureChanged(CWnd* pWnd) { hCaptureTo = pWnd->GetSafeHwnd(); }
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
    {
        nWheelFlags = nFlags;
        zWheelDelta = zDelta;
        ptWheel = pt;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(MouseRecordingEdit, CEdit)
    ON_WM_CAPTURECHANGED()
    ON_WM_MOUSEWHEEL()
END_MESSAGE_MAP()

struct WindowTest : ::testing::Test {
    HWND hHost = NULL;
    void SetUp() override { hHost = CreateTopLevel(); ASSERT_NE(nullptr, hHost); }
    void TearDown() override { DestroyWindow(hHost); }
    CWnd* Host() { return CWnd::FromHandle(hHost); }
};

} // namespace

TEST_F(WindowTest, CreateExSubclassesTheEditAndRoutesItsMessages)
{
    DerivedEdit edit;
    ASSERT_TRUE(edit.CreateEx(0, "edit", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), Host(), 7));
    EXPECT_EQ(&edit, CWnd::FromHandlePermanent(edit.m_hWnd));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc()), GetWindowLongPtrA(edit.m_hWnd, GWLP_WNDPROC));
    EXPECT_EQ(7, edit.GetDlgCtrlID());
    EXPECT_GE(edit.sizes, 0);
    int before = edit.sizes;
    edit.MoveWindow(0, 0, 150, 20);
    EXPECT_EQ(before + 1, edit.sizes);
    EXPECT_EQ(150, edit.lastCx);
    // WM_CHAR is handled in the base map and passed on to the edit class.
    edit.SendMessage(WM_CHAR, 'q', 1);
    EXPECT_EQ(1, edit.chars);
    char text[16] = "";
    edit.GetWindowText(text, sizeof text);
    EXPECT_STREQ("q", text);
}

TEST_F(WindowTest, CaptureAndWheelHandlersGetTheNewCaptureTheSignedDeltaAndTheScreenPoint)
{
    MouseRecordingEdit edit;
    ASSERT_TRUE(edit.CreateEx(0, "edit", "", WS_CHILD, CRect(0, 0, 100, 20), Host(), 1));
    edit.SetCapture();
    ::SetCapture(hHost);
    EXPECT_EQ(hHost, edit.hCaptureTo) << "the window taking the capture comes from lParam";
    ::ReleaseCapture();
    EXPECT_EQ(1, edit.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(-240)), MAKELPARAM(-5, 700)));
    EXPECT_EQ(static_cast<UINT>(MK_SHIFT), edit.nWheelFlags);
    EXPECT_EQ(-240, edit.zWheelDelta);
    EXPECT_EQ(-5, edit.ptWheel.x);
    EXPECT_EQ(700, edit.ptWheel.y);
}

TEST_F(WindowTest, UnhandledMessagesReachTheOriginalProcedure)
{
    CountingEdit edit;
    ASSERT_TRUE(edit.CreateEx(0, "edit", "", WS_CHILD, CRect(0, 0, 100, 20), Host(), 1));
    edit.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    char text[16] = "";
    edit.SendMessage(WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("abc", text);
    EXPECT_EQ(3, edit.SendMessage(EM_LINELENGTH, 0, 0));
}

// As in MFC, a wait cursor lasts until a WM_SETCURSOR puts the window's own
// cursor back; a window that keeps it must say so in its own handler.
TEST_F(WindowTest, AWaitCursorGivesWayToTheWindowsCursorOnSetCursor)
{
    CountingEdit edit;
    ASSERT_TRUE(edit.CreateEx(0, "edit", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), Host(), 1));
    const HCURSOR hcurWait = ::LoadCursor(NULL, IDC_WAIT);
    const HCURSOR hcurBeam = ::LoadCursor(NULL, IDC_IBEAM);
    CWaitCursor wait;
    ASSERT_EQ(hcurWait, ::GetCursor());
    edit.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(edit.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(hcurBeam, ::GetCursor());
    wait.Restore();
    EXPECT_EQ(hcurWait, ::GetCursor());
}

TEST_F(WindowTest, DestroyingTheObjectDestroysItsWindowAndEmptiesTheMap)
{
    HWND hEdit;
    {
        CountingEdit edit;
        ASSERT_TRUE(edit.CreateEx(0, "edit", "", WS_CHILD, CRect(0, 0, 10, 10), Host(), 1));
        hEdit = edit.m_hWnd;
    }
    EXPECT_FALSE(IsWindow(hEdit));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hEdit));
}

TEST_F(WindowTest, SubclassWindowBindsAnExistingControlAndUnsubclassRestoresIt)
{
    HWND hEdit = CreateWindowExA(0, "edit", "", WS_CHILD, 0, 0, 50, 20, hHost, (HMENU)1000, NULL, NULL);
    LONG_PTR original = GetWindowLongPtrA(hEdit, GWLP_WNDPROC);
    CountingEdit edit;
    ASSERT_TRUE(edit.SubclassWindow(hEdit));
    SendMessageA(hEdit, WM_CHAR, 'z', 1);
    EXPECT_EQ(1, edit.chars);
    EXPECT_EQ(hEdit, edit.UnsubclassWindow());
    EXPECT_EQ(original, GetWindowLongPtrA(hEdit, GWLP_WNDPROC));
    SendMessageA(hEdit, WM_CHAR, 'y', 1);
    EXPECT_EQ(1, edit.chars);
    DestroyWindow(hEdit);
}

TEST_F(WindowTest, FromHandleWrapsForeignWindowsTemporarily)
{
    CWnd* p = CWnd::FromHandle(hHost);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(hHost, p->m_hWnd);
    EXPECT_EQ(p, CWnd::FromHandle(hHost));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hHost));
    EXPECT_EQ(nullptr, CWnd::FromHandle(NULL));
    AfxDeleteTempMaps();
    EXPECT_TRUE(IsWindow(hHost)) << "deleting a temporary wrapper leaves its window";
}

TEST_F(WindowTest, AnExceptionInAHandlerIsReportedAndTheWindowGoesOn)
{
    MessageBoxCatcher catcher;
    CountingEdit edit;
    ASSERT_TRUE(edit.CreateEx(0, "edit", "", WS_CHILD, CRect(0, 0, 100, 20), Host(), 1));
    edit.throwOnChar = true;
    edit.SendMessage(WM_CHAR, 'a', 1);
    CString expected;
    expected.LoadString(AFX_IDS_INVALID_ARG_EXCEPTION);
    EXPECT_FALSE(expected.IsEmpty());
    EXPECT_EQ(std::string(expected), MessageBoxCatcher::Text());
    edit.throwOnChar = false;
    edit.SendMessage(WM_CHAR, 'b', 1);
    EXPECT_EQ(2, edit.chars);
}

TEST_F(WindowTest, NullWrappersGiveNullHandles)
{
    CWnd* noWindow = nullptr;
    CDC* noDC = nullptr;
    CGdiObject* noObject = nullptr;
    EXPECT_EQ(nullptr, noWindow->GetSafeHwnd());
    EXPECT_EQ(nullptr, noDC->GetSafeHdc());
    EXPECT_EQ(nullptr, noObject->GetSafeHandle());
    // SetWindowPos with no window to insert after only moves.
    CWnd* host = Host();
    EXPECT_TRUE(host->SetWindowPos(NULL, 10, 20, 220, 120, SWP_NOZORDER | SWP_NOACTIVATE));
    CRect rc;
    host->GetWindowRect(&rc);
    EXPECT_EQ(CRect(10, 20, 230, 140), rc);
}

TEST(RuntimeClass, KindOfFollowsTheBaseChain)
{
    CEdit edit;
    EXPECT_STREQ("CEdit", edit.GetRuntimeClass()->m_lpszClassName);
    EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(edit.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(edit.IsKindOf(RUNTIME_CLASS(CScrollBar)));
    CObject* created = RUNTIME_CLASS(CWnd)->CreateObject();
    ASSERT_NE(nullptr, created);
    EXPECT_TRUE(created->IsKindOf(RUNTIME_CLASS(CWnd)));
    delete created;
    EXPECT_EQ(nullptr, RUNTIME_CLASS(CEdit)->CreateObject());
}

// --- commands: menu and accelerator commands against control notifications --

namespace {

const UINT ID_RUN = 500;

class CommandWindow : public CWnd {
public:
    int runs = 0;
    bool enabled = true;
    afx_msg void OnRun() { ++runs; }
    afx_msg void OnUpdateRun(CCmdUI* pCmdUI) { pCmdUI->Enable(enabled); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CommandWindow, CWnd)
    ON_COMMAND(ID_RUN, &CommandWindow::OnRun)
    ON_UPDATE_COMMAND_UI(ID_RUN, &CommandWindow::OnUpdateRun)
END_MESSAGE_MAP()

} // namespace

TEST_F(WindowTest, AnAcceleratorDoesNotRunACommandItsUpdateHandlerDisables)
{
    CommandWindow wnd;
    ASSERT_TRUE(wnd.CreateEx(0, NULL, "commands", WS_CHILD, CRect(0, 0, 50, 50), Host(), 3));
    // Code 1: an accelerator; code 0: a menu item.
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_RUN, 1), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_RUN, 0), 0);
    EXPECT_EQ(2, wnd.runs);
    wnd.enabled = false;
    EXPECT_TRUE(wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_RUN, 1), 0)) << "a disabled command is eaten";
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_RUN, 0), 0);
    EXPECT_EQ(2, wnd.runs);
}

TEST_F(WindowTest, AControlsNotificationIsNotTakenForACommand)
{
    CommandWindow wnd;
    ASSERT_TRUE(wnd.CreateEx(0, NULL, "commands", WS_CHILD, CRect(0, 0, 50, 50), Host(), 3));
    HWND hList = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 40, 40, wnd.m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_RUN)), NULL, NULL);
    ASSERT_NE(nullptr, hList);
    // LBN_SELCHANGE (1) of a list box that shares the command's id.
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_RUN, LBN_SELCHANGE), reinterpret_cast<LPARAM>(hList));
    EXPECT_EQ(0, wnd.runs);
    // A button's click (0) is the command, and a control asks no update
    // handler.
    wnd.enabled = false;
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(ID_RUN, BN_CLICKED), reinterpret_cast<LPARAM>(hList));
    EXPECT_EQ(1, wnd.runs);
}

// --- the creation hook --------------------------------------------------------

TEST_F(WindowTest, EachCreationHooksTheThreadThatCreates)
{
    // A window made here first: the hook it needed must not stay behind on
    // this thread while another thread creates.
    {
        CountingEdit here;
        ASSERT_TRUE(here.CreateEx(0, "edit", "", WS_CHILD, CRect(0, 0, 10, 10), Host(), 1));
    }
    bool subclassed = false, created = false;
    std::thread other([&] {
        CountingEdit there;
        created = there.CreateEx(0, "edit", "", WS_POPUP, CRect(0, 0, 10, 10), NULL, 0);
        subclassed = created && CWnd::FromHandlePermanent(there.m_hWnd) == &there &&
                     GetWindowLongPtrA(there.m_hWnd, GWLP_WNDPROC) ==
                         reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc());
        there.DestroyWindow();
    });
    other.join();
    EXPECT_TRUE(created);
    EXPECT_TRUE(subclassed) << "the other thread's window passed no hook";
}
