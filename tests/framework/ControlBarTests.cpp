// Window-level tests of the control bars: a frame made here gets a toolbar
// (from the test resources' toolbar 200), a status bar with the key-state
// indicators and docking on every side, as an application's main frame
// does. They check what a person sees of it: the items and their order,
// enabled buttons, tooltips and prompts, the pane texts, where the bars and
// the view end up, and where a bar goes when docked, floated or dragged.
#include <afxext.h>
#include <gtest/gtest.h>
#include <string>

namespace {

const UINT IDR_TESTBAR = 200;
const UINT ID_OPENFILE = 32773, ID_SAVEFILE = 32774, ID_SETALL00 = 32771, ID_SETALLFF = 32772;

const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

class TestFrame : public CFrameWnd {
public:
    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;
    CWnd m_wndPane;
    int abouts = 0;

    afx_msg int OnCreate(LPCREATESTRUCT lpcs)
    {
        if (CFrameWnd::OnCreate(lpcs) == -1)
            return -1;
        if (!m_wndToolBar.CreateEx(this, TBSTYLE_FLAT,
                                   WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_TOOLTIPS | CBRS_FLYBY |
                                       CBRS_SIZE_DYNAMIC) ||
            !m_wndToolBar.LoadToolBar(IDR_TESTBAR))
            return -1;
        if (!m_wndStatusBar.Create(this) || !m_wndStatusBar.SetIndicators(indicators, 4))
            return -1;
        // What the view would be: the pane the bars leave.
        m_wndPane.Create("STATIC", NULL, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, AFX_IDW_PANE_FIRST);
        m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_wndToolBar);
        return 0;
    }
    afx_msg void OnAbout() { ++abouts; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TestFrame, CFrameWnd)
    ON_WM_CREATE()
    ON_COMMAND(ID_APP_ABOUT, &TestFrame::OnAbout)
END_MESSAGE_MAP()

void Pump()
{
    MSG msg;
    for (int round = 0; round < 3; ++round) {
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(10);
    }
}

CRect WindowRectIn(CWnd* pWnd, HWND hWndParent)
{
    CRect rc;
    pWnd->GetWindowRect(&rc);
    MapWindowPoints(NULL, hWndParent, reinterpret_cast<LPPOINT>(&rc), 2);
    return rc;
}

std::string PaneText(CStatusBar& bar, int nIndex)
{
    char buf[256] = "";
    LRESULT r = bar.SendMessage(SB_GETTEXTLENGTHA, nIndex, 0);
    if (LOWORD(r) >= sizeof buf)
        return "(too long)";
    bar.SendMessage(SB_GETTEXTA, nIndex, reinterpret_cast<LPARAM>(buf));
    return buf;
}

struct BarTest : ::testing::Test {
    TestFrame* frame = nullptr;

    void SetUp() override
    {
        frame = new TestFrame;
        ASSERT_TRUE(frame->Create(NULL, "Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 680, 520)));
        Pump();
    }
    void TearDown() override
    {
        if (frame != nullptr && frame->m_hWnd != NULL)
            frame->DestroyWindow();   // deletes the frame
        Pump();
    }
    CToolBar& Bar() { return frame->m_wndToolBar; }
    CStatusBar& Status() { return frame->m_wndStatusBar; }
    CRect Client()
    {
        CRect rc;
        frame->GetClientRect(&rc);
        return rc;
    }
    CRect Pane() { return WindowRectIn(&frame->m_wndPane, frame->m_hWnd); }
    CRect BarInFrame() { return WindowRectIn(&Bar(), frame->m_hWnd); }
    void IdleUpdate()
    {
        frame->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE);
    }
    CPoint ItemCenter(int nIndex)
    {
        CRect rc;
        Bar().GetItemRect(nIndex, &rc);
        return CPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    }
    // Presses the mouse at `from` in the toolbar (client coordinates, the
    // gripper lies left of 0), moves it to `to` on the screen and releases.
    void Drag(CPoint from, CPoint toScreen)
    {
        CPoint to = toScreen;
        Bar().ScreenToClient(&to);
        Bar().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
        Bar().PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
        Bar().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
        Pump();
    }
};

} // namespace

// --- the toolbar ------------------------------------------------------------

TEST_F(BarTest, ToolbarHasTheResourcesSevenItemsInOrder)
{
    const UINT expected[] = {ID_OPENFILE, ID_SAVEFILE, ID_SEPARATOR, ID_SETALL00, ID_SETALLFF, ID_SEPARATOR,
                             ID_APP_ABOUT};
    ASSERT_EQ(7, Bar().GetCount());
    int image = 0;
    for (int i = 0; i < 7; ++i) {
        UINT nID, nStyle;
        int iImage;
        Bar().GetButtonInfo(i, nID, nStyle, iImage);
        EXPECT_EQ(expected[i], nID) << "item " << i;
        EXPECT_EQ(expected[i] == ID_SEPARATOR, (LOWORD(nStyle) & TBSTYLE_SEP) != 0) << "item " << i;
        if (expected[i] != ID_SEPARATOR) {
            EXPECT_EQ(image++, iImage) << "buttons take the bitmap's images in order";
        }
    }
    EXPECT_EQ(3, Bar().CommandToIndex(ID_SETALL00));
    // 16 by 15 images on 23 by 22 flat buttons with tooltips; the bar
    // styles are not window styles.
    CRect rc;
    Bar().GetItemRect(0, &rc);
    EXPECT_EQ(23, rc.Width());
    EXPECT_EQ(22, rc.Height());
    EXPECT_TRUE(Bar().GetStyle() & TBSTYLE_FLAT);
    EXPECT_TRUE(Bar().GetStyle() & TBSTYLE_TOOLTIPS);
    EXPECT_FALSE(Bar().GetStyle() & CBRS_GRIPPER);
    EXPECT_TRUE(Bar().GetBarStyle() & CBRS_GRIPPER);
    EXPECT_EQ(AFX_IDW_TOOLBAR, (UINT)Bar().GetDlgCtrlID());
}

TEST_F(BarTest, ButtonsWithoutAHandlerAreDisabledAndClicksReachTheFrame)
{
    IdleUpdate();
    EXPECT_TRUE(Bar().SendMessage(TB_ISBUTTONENABLED, ID_APP_ABOUT));
    EXPECT_FALSE(Bar().SendMessage(TB_ISBUTTONENABLED, ID_OPENFILE));
    EXPECT_FALSE(Bar().SendMessage(TB_ISBUTTONENABLED, ID_SETALLFF));

    // A click on the question mark: the command reaches the frame although
    // the toolbar's parent is the dock bar.
    CPoint pt = ItemCenter(6);
    Bar().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    Bar().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    Pump();
    EXPECT_EQ(1, frame->abouts);
    EXPECT_NE(frame->m_hWnd, ::GetParent(Bar().m_hWnd));
}

TEST_F(BarTest, TooltipIsThePromptAfterTheNewlineAndFlybyThePartBefore)
{
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = reinterpret_cast<HWND>(Bar().SendMessage(TB_GETTOOLTIPS));
    info.hdr.idFrom = ID_SAVEFILE;
    info.hdr.code = TTN_NEEDTEXTA;
    Bar().SendMessage(WM_NOTIFY, ID_SAVEFILE, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_STREQ("Save edit data to file", info.lpszText);

    NMTTDISPINFOW wide = {};
    wide.hdr = info.hdr;
    wide.hdr.idFrom = ID_SETALL00;
    wide.hdr.code = TTN_NEEDTEXTW;
    Bar().SendMessage(WM_NOTIFY, ID_SETALL00, reinterpret_cast<LPARAM>(&wide));
    ASSERT_NE(nullptr, wide.lpszText);
    EXPECT_EQ(std::wstring(L"All data to 0X00"), std::wstring(wide.lpszText));

    // The pointer over a button shows its prompt in the message pane; over
    // a separator or off the bar, the idle text.
    CPoint pt = ItemCenter(0);
    Bar().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ("Open file for edit", PaneText(Status(), 0));
    pt = ItemCenter(3);
    Bar().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ("Set alla data to Ox00", PaneText(Status(), 0));
    pt = ItemCenter(2);
    Bar().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ("Pronto", PaneText(Status(), 0));
    pt = ItemCenter(1);
    Bar().SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ("Save edit file", PaneText(Status(), 0));
    Bar().SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ("Pronto", PaneText(Status(), 0));
}

// --- the status bar -----------------------------------------------------------

TEST_F(BarTest, StatusBarShowsTheKeyIndicatorsOnlyWhileTheLocksAreOn)
{
    ASSERT_EQ(4, Status().GetCount());
    EXPECT_EQ(CString("MA"), Status().GetPaneText(1));
    EXPECT_EQ(CString("NUM"), Status().GetPaneText(2));
    EXPECT_EQ(CString("BS"), Status().GetPaneText(3));
    EXPECT_TRUE(Status().GetPaneStyle(0) & SBPS_STRETCH);
    // The message pane takes what the three fixed ones leave.
    CRect rc0, rc1, rc3;
    Status().GetItemRect(0, &rc0);
    Status().GetItemRect(1, &rc1);
    Status().GetItemRect(3, &rc3);
    EXPECT_GT(rc0.Width(), rc1.Width() * 5);
    EXPECT_LE(rc1.right, rc3.left);

    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE saved[256];
    memcpy(saved, keys, sizeof keys);
    keys[VK_CAPITAL] = 1;
    keys[VK_NUMLOCK] = 0;
    keys[VK_SCROLL] = 1;
    SetKeyboardState(keys);
    IdleUpdate();
    EXPECT_EQ("MA", PaneText(Status(), 1));
    EXPECT_EQ("", PaneText(Status(), 2));
    EXPECT_EQ("BS", PaneText(Status(), 3));

    keys[VK_CAPITAL] = 0;
    keys[VK_NUMLOCK] = 1;
    keys[VK_SCROLL] = 0;
    SetKeyboardState(keys);
    IdleUpdate();
    EXPECT_EQ("", PaneText(Status(), 1));
    EXPECT_EQ("NUM", PaneText(Status(), 2));
    EXPECT_EQ("", PaneText(Status(), 3));
    // The text is kept: it comes back with the key.
    EXPECT_EQ(CString("MA"), Status().GetPaneText(1));
    SetKeyboardState(saved);
}

TEST_F(BarTest, StatusBarWindowTextIsTheMessagePane)
{
    frame->SetMessageText("Hello there");
    EXPECT_EQ("Hello there", PaneText(Status(), 0));
    EXPECT_EQ(CString("Hello there"), Status().GetPaneText(0));
    char buf[64] = "";
    Status().GetWindowText(buf, sizeof buf);
    EXPECT_STREQ("Hello there", buf);
    frame->SendMessage(WM_SETMESSAGESTRING, AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ("Pronto", PaneText(Status(), 0));
    EXPECT_EQ("MA", PaneText(Status(), 1)) << "other panes keep their texts";
}

// --- layout and the View menu ---------------------------------------------------

TEST_F(BarTest, BarsTakeTheirStripsAndThePaneTheRest)
{
    CRect client = Client();
    CRect bar = BarInFrame();
    CRect status = WindowRectIn(&Status(), frame->m_hWnd);
    CControlBar* pTop = frame->GetControlBar(AFX_IDW_DOCKBAR_TOP);
    ASSERT_NE(nullptr, pTop);
    CRect top = WindowRectIn(pTop, frame->m_hWnd);

    EXPECT_EQ(pTop->m_hWnd, ::GetParent(Bar().m_hWnd)) << "docked at the top by default";
    EXPECT_EQ(CRect(0, 0, client.right, top.bottom), top) << "the top dock bar spans the frame";
    EXPECT_GE(top.Height(), 22 + 2) << "a button and the border";
    EXPECT_LE(top.Height(), 40);
    EXPECT_EQ(0, bar.top);
    EXPECT_EQ(top.Height(), bar.Height());
    EXPECT_GT(bar.Width(), 5 * 23 + 2 * 6) << "five buttons, two separators and the gripper";
    EXPECT_LT(bar.Width(), client.Width() / 2);
    EXPECT_EQ(client.bottom, status.bottom);
    EXPECT_EQ(client.Width(), status.Width());
    EXPECT_GE(status.Height(), 16);
    EXPECT_EQ(CRect(0, top.bottom, client.right, status.top), Pane());

    // Resizing the frame lays everything out again.
    ::SetWindowPos(frame->m_hWnd, NULL, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    client = Client();
    status = WindowRectIn(&Status(), frame->m_hWnd);
    EXPECT_EQ(client.bottom, status.bottom);
    EXPECT_EQ(CRect(0, top.bottom, client.right, status.top), Pane());
}

TEST_F(BarTest, ViewMenuCommandsHideAndShowTheBarsWithCheckMarks)
{
    HMENU hMenu = CreatePopupMenu();
    AppendMenuA(hMenu, MF_STRING, ID_VIEW_TOOLBAR, "Toolbar");
    AppendMenuA(hMenu, MF_STRING, ID_VIEW_STATUS_BAR, "Status bar");
    auto checked = [&](UINT nID) {
        CCmdUI state;
        state.m_hMenu = hMenu;
        state.m_nIndex = nID == ID_VIEW_TOOLBAR ? 0 : 1;
        state.m_nIndexMax = 2;
        state.m_nID = nID;
        state.DoUpdate(frame, TRUE);
        return (GetMenuState(hMenu, nID, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    EXPECT_TRUE(checked(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(checked(ID_VIEW_STATUS_BAR));
    CRect paneBefore = Pane();

    frame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_FALSE(Bar().IsWindowVisible());
    EXPECT_FALSE(checked(ID_VIEW_TOOLBAR));
    EXPECT_EQ(0, Pane().top) << "the view takes the toolbar's strip";

    frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(Status().IsWindowVisible());
    EXPECT_FALSE(checked(ID_VIEW_STATUS_BAR));
    EXPECT_EQ(Client().bottom, Pane().bottom);

    frame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    frame->SendMessage(WM_COMMAND, ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(Bar().IsWindowVisible());
    EXPECT_TRUE(checked(ID_VIEW_TOOLBAR));
    EXPECT_TRUE(checked(ID_VIEW_STATUS_BAR));
    EXPECT_EQ(paneBefore, Pane());
    DestroyMenu(hMenu);
}

// --- docking and floating ---------------------------------------------------------

TEST_F(BarTest, DockingOnEachSideMovesTheBarAndTurnsIt)
{
    CRect horz = BarInFrame();
    struct Side {
        UINT nID;
        DWORD dwAlign;
    } sides[] = {{AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
                 {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
                 {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM},
                 {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP}};
    for (const Side& side : sides) {
        SCOPED_TRACE(side.nID);
        frame->DockControlBar(&Bar(), side.nID);
        CControlBar* pDock = frame->GetControlBar(side.nID);
        ASSERT_NE(nullptr, pDock);
        EXPECT_EQ(pDock->m_hWnd, ::GetParent(Bar().m_hWnd));
        EXPECT_EQ(side.dwAlign, Bar().GetBarStyle() & CBRS_ALIGN_ANY);
        CRect bar = BarInFrame(), client = Client(), pane = Pane();
        CRect status = WindowRectIn(&Status(), frame->m_hWnd);
        CRect first, second;
        Bar().GetItemRect(0, &first);
        Bar().GetItemRect(1, &second);
        bool vertical = side.dwAlign == CBRS_ALIGN_LEFT || side.dwAlign == CBRS_ALIGN_RIGHT;
        if (vertical) {
            EXPECT_GT(bar.Height(), bar.Width()) << "a column of buttons";
            EXPECT_EQ(first.left, second.left);
            EXPECT_GE(second.top, first.bottom);
            EXPECT_GE(bar.Width(), 23) << "one button wide";
            EXPECT_LT(bar.Width(), 2 * 23);
            EXPECT_EQ(0, pane.top);
            EXPECT_EQ(status.top, pane.bottom);
            if (side.dwAlign == CBRS_ALIGN_LEFT) {
                EXPECT_EQ(0, bar.left);
                EXPECT_EQ(bar.right, pane.left);
                EXPECT_EQ(client.right, pane.right);
            } else {
                EXPECT_EQ(client.right, bar.right);
                EXPECT_EQ(bar.left, pane.right);
                EXPECT_EQ(0, pane.left);
            }
        } else {
            EXPECT_EQ(horz.Size(), bar.Size()) << "a row of buttons again";
            EXPECT_EQ(first.top, second.top);
            EXPECT_EQ(0, pane.left);
            EXPECT_EQ(client.right, pane.right);
            if (side.dwAlign == CBRS_ALIGN_BOTTOM) {
                EXPECT_EQ(status.top, bar.bottom) << "above the status bar";
                EXPECT_EQ(bar.top, pane.bottom);
                EXPECT_EQ(0, pane.top);
            } else {
                EXPECT_EQ(0, bar.top);
                EXPECT_EQ(bar.bottom, pane.top);
            }
        }
    }
}

TEST_F(BarTest, FloatingPutsTheBarInAToolWindowAndDockingBringsItBack)
{
    frame->FloatControlBar(&Bar(), CPoint(300, 260));
    Pump();
    EXPECT_TRUE(Bar().IsFloating());
    EXPECT_TRUE(Bar().GetBarStyle() & CBRS_FLOATING);
    HWND hFloat = ::GetAncestor(Bar().m_hWnd, GA_ROOT);
    ASSERT_NE(frame->m_hWnd, hFloat);
    EXPECT_EQ(frame->m_hWnd, ::GetWindow(hFloat, GW_OWNER));
    EXPECT_TRUE(::IsWindowVisible(hFloat));
    EXPECT_TRUE(GetWindowLongA(hFloat, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(GetWindowLongA(hFloat, GWL_STYLE) & WS_CAPTION);
    CRect rcFloat, rcBar;
    ::GetWindowRect(hFloat, &rcFloat);
    Bar().GetWindowRect(&rcBar);
    EXPECT_EQ(CPoint(300, 260), rcFloat.TopLeft());
    EXPECT_TRUE(rcFloat.PtInRect(rcBar.TopLeft()) && rcFloat.PtInRect(CPoint(rcBar.right - 1, rcBar.bottom - 1)));
    EXPECT_GT(rcBar.Width(), rcBar.Height()) << "a palette in one row";
    EXPECT_EQ(0, Pane().top) << "the top dock bar is empty";

    // The floating bar is still updated at idle and still commands the frame.
    IdleUpdate();
    EXPECT_TRUE(Bar().SendMessage(TB_ISBUTTONENABLED, ID_APP_ABOUT));
    EXPECT_FALSE(Bar().SendMessage(TB_ISBUTTONENABLED, ID_SAVEFILE));

    // Hiding it from the View menu hides its window too.
    frame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_FALSE(::IsWindowVisible(hFloat));
    frame->SendMessage(WM_COMMAND, ID_VIEW_TOOLBAR);
    EXPECT_TRUE(::IsWindowVisible(hFloat));

    frame->DockControlBar(&Bar(), AFX_IDW_DOCKBAR_TOP);
    Pump();
    EXPECT_FALSE(Bar().IsFloating());
    EXPECT_FALSE(::IsWindow(hFloat)) << "the empty floating frame goes";
    EXPECT_EQ(BarInFrame().bottom, Pane().top);
}

TEST_F(BarTest, DraggingTheGripperFloatsTheBarAndDropsItOnAnEdge)
{
    CRect client = Client();
    frame->ClientToScreen(&client);
    CPoint gripper(-4, 10);   // left of the first button

    // Into the middle of the frame: it floats there.
    CPoint middle(client.left + client.Width() / 2, client.top + client.Height() / 2);
    Drag(gripper, middle);
    ASSERT_TRUE(Bar().IsFloating());
    HWND hFloat = ::GetAncestor(Bar().m_hWnd, GA_ROOT);
    CRect rcFloat;
    ::GetWindowRect(hFloat, &rcFloat);
    EXPECT_TRUE(rcFloat.PtInRect(middle)) << "the palette is where it was dropped";

    // Its caption dragged to the left edge of the frame: docked there,
    // upright, and the floating frame is gone.
    CPoint caption(rcFloat.left + 10, rcFloat.top + 4);
    CPoint leftEdge(client.left + 4, client.top + client.Height() / 2);
    Bar().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, 0);
    CPoint to = leftEdge;
    Bar().ScreenToClient(&to);
    Bar().PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    Bar().PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    ::SendMessageA(hFloat, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(caption.x, caption.y));
    Pump();
    EXPECT_FALSE(Bar().IsFloating());
    EXPECT_EQ(CBRS_ALIGN_LEFT, Bar().GetBarStyle() & CBRS_ALIGN_ANY);
    EXPECT_FALSE(::IsWindow(hFloat));
    CRect bar = BarInFrame();
    EXPECT_EQ(0, bar.left);
    EXPECT_GT(bar.Height(), bar.Width());
    EXPECT_EQ(bar.right, Pane().left);

    // And from the left to the right edge.
    CPoint gripperVert(10, -4);   // above the first button
    Drag(gripperVert, CPoint(client.right - 4, client.top + client.Height() / 2));
    EXPECT_EQ(CBRS_ALIGN_RIGHT, Bar().GetBarStyle() & CBRS_ALIGN_ANY);
    EXPECT_EQ(Client().right, BarInFrame().right);
}

TEST_F(BarTest, DoubleClickOnTheFloatingCaptionDocksTheBarWhereItWas)
{
    // Docked on the left, then floated: the double-click brings it back left.
    frame->DockControlBar(&Bar(), AFX_IDW_DOCKBAR_LEFT);
    Pump();
    frame->FloatControlBar(&Bar(), CPoint(320, 280));
    Pump();
    ASSERT_TRUE(Bar().IsFloating());
    HWND hFloat = ::GetAncestor(Bar().m_hWnd, GA_ROOT);
    CRect rcFloat;
    ::GetWindowRect(hFloat, &rcFloat);
    ::SendMessageA(hFloat, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(rcFloat.left + 10, rcFloat.top + 4));
    Pump();
    EXPECT_FALSE(Bar().IsFloating());
    EXPECT_EQ(CBRS_ALIGN_LEFT, Bar().GetBarStyle() & CBRS_ALIGN_ANY);
    EXPECT_FALSE(::IsWindow(hFloat)) << "the empty floating frame goes";
    EXPECT_EQ(BarInFrame().right, Pane().left);

    // A double-click elsewhere on the floating frame does nothing of the kind.
    frame->FloatControlBar(&Bar(), CPoint(320, 280));
    Pump();
    hFloat = ::GetAncestor(Bar().m_hWnd, GA_ROOT);
    ::SendMessageA(hFloat, WM_NCLBUTTONDBLCLK, HTBORDER, 0);
    Pump();
    EXPECT_TRUE(Bar().IsFloating());
}

TEST_F(BarTest, SizeGripIsHiddenWhileTheFrameIsMaximised)
{
    EXPECT_TRUE(Status().GetStyle() & SBARS_SIZEGRIP);
    frame->ShowWindow(SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(frame->IsZoomed());
    EXPECT_FALSE(Status().GetStyle() & SBARS_SIZEGRIP);
    CRect rc;
    Status().GetClientRect(&rc);
    CPoint corner(rc.right - 3, rc.bottom - 3);
    Status().ClientToScreen(&corner);
    EXPECT_NE(HTBOTTOMRIGHT, Status().SendMessage(WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)))
        << "no corner to size a maximised frame by";
    frame->ShowWindow(SW_RESTORE);
    Pump();
    EXPECT_TRUE(Status().GetStyle() & SBARS_SIZEGRIP);
}
