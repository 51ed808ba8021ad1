// Window-level tests of CWnd: creation with subclassing, message-map
// dispatch through the base maps, Default() reaching the original window
// procedure, the handle map, and exceptions escaping a handler.
#include <afxwin.h>
#include <gtest/gtest.h>
#include "MessageBoxCatcher.h"
#include <string>

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
