// Window-level tests of the application shell: the document template's
// string and its single-document reuse, the frame's title, layout, command
// routing, accelerators and message pane, saving to the document's file or
// through Save As, the question at logoff, the most-recently-used list in
// the registry, modal dialogs with DDX_Control, and exceptions from command
// handlers.
#include <afxwin.h>
#include <afxdlgs.h>
#include <gtest/gtest.h>
#include "MessageBoxCatcher.h"
#include <cstring>
#include <string>
#include <vector>

namespace {

const UINT IDR_TESTSHELL = 300;
const UINT IDD_TESTDDX = 301;
const UINT ID_HANDLED = 33001;
const UINT ID_UNHANDLED = 33002;
// Commands handled by view, document, frame and application alike, by all
// but the view, by frame and application, and by the application only.
const UINT ID_ALL = 33010, ID_DOC_DOWN = 33011, ID_FRAME_DOWN = 33012, ID_APP_ONLY = 33013;
const UINT ID_THROW = 33020;

std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

std::string Temp(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void WriteFile(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    DWORD n = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, NULL);
    CloseHandle(h);
}

std::string ReadFile(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return "<missing>";
    char buf[256];
    DWORD n = 0;
    ::ReadFile(h, buf, sizeof buf, &n, NULL);
    CloseHandle(h);
    return std::string(buf, n);
}

std::string Text(HWND hWnd)
{
    char buf[256] = "";
    GetWindowTextA(hWnd, buf, sizeof buf);
    return buf;
}

int CountChildren(HWND hWnd)
{
    int n = 0;
    for (HWND h = GetTopWindow(hWnd); h != NULL; h = GetNextWindow(h, GW_HWNDNEXT))
        ++n;
    return n;
}

class ShellDoc : public CDocument {
    DECLARE_DYNCREATE(ShellDoc)
public:
    afx_msg void OnAll() { Log().push_back("doc"); }
    afx_msg void OnDocDown() { Log().push_back("doc"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(ShellDoc, CDocument)
BEGIN_MESSAGE_MAP(ShellDoc, CDocument)
    ON_COMMAND(ID_ALL, &ShellDoc::OnAll)
    ON_COMMAND(ID_DOC_DOWN, &ShellDoc::OnDocDown)
END_MESSAGE_MAP()

// Like QXEdit's view: one child window, created by the first initial update.
class ShellView : public CView {
    DECLARE_DYNCREATE(ShellView)
public:
    static int initialUpdates;
    static int keyDowns;
    CWnd m_child;
    void OnInitialUpdate() override
    {
        CView::OnInitialUpdate();
        ++initialUpdates;
        if (!::IsWindow(m_child.GetSafeHwnd()))
            m_child.CreateEx(0, "STATIC", "child", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), this, 1);
    }
    void OnDraw(CDC*) override {}
    afx_msg void OnAll() { Log().push_back("view"); }
    afx_msg void OnHandled() { Log().push_back("handled"); }
    afx_msg void OnThrow() { AfxThrowInvalidArgException(); }
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        ++keyDowns;
        CView::OnKeyDown(nChar, nRepCnt, nFlags);
    }
    DECLARE_MESSAGE_MAP()
};
int ShellView::initialUpdates = 0;
int ShellView::keyDowns = 0;
IMPLEMENT_DYNCREATE(ShellView, CView)
BEGIN_MESSAGE_MAP(ShellView, CView)
    ON_WM_KEYDOWN()
    ON_COMMAND(ID_ALL, &ShellView::OnAll)
    ON_COMMAND(ID_HANDLED, &ShellView::OnHandled)
    ON_COMMAND(ID_THROW, &ShellView::OnThrow)
END_MESSAGE_MAP()

class ShellFrame : public CFrameWnd {
    DECLARE_DYNCREATE(ShellFrame)
public:
    afx_msg void OnAll() { Log().push_back("frame"); }
    afx_msg void OnDocDown() { Log().push_back("frame"); }
    afx_msg void OnFrameDown() { Log().push_back("frame"); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(ShellFrame, CFrameWnd)
BEGIN_MESSAGE_MAP(ShellFrame, CFrameWnd)
    ON_COMMAND(ID_ALL, &ShellFrame::OnAll)
    ON_COMMAND(ID_DOC_DOWN, &ShellFrame::OnDocDown)
    ON_COMMAND(ID_FRAME_DOWN, &ShellFrame::OnFrameDown)
END_MESSAGE_MAP()

class ShellApp : public CWinApp {
public:
    ShellApp() : CWinApp("Shell") {}
    // Records the file dialogs the framework would show, and cancels them.
    std::vector<BOOL> prompts;   // bOpenFileDialog of each
    BOOL DoPromptFileName(CString&, UINT, DWORD, BOOL bOpenFileDialog, CDocTemplate*) override
    {
        prompts.push_back(bOpenFileDialog);
        return FALSE;
    }
    afx_msg void OnAll() { Log().push_back("app"); }
    afx_msg void OnAppOnly() { Log().push_back("app"); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(ShellApp, CWinApp)
    ON_COMMAND(ID_ALL, &ShellApp::OnAll)
    ON_COMMAND(ID_DOC_DOWN, &ShellApp::OnAll)
    ON_COMMAND(ID_FRAME_DOWN, &ShellApp::OnAll)
    ON_COMMAND(ID_APP_ONLY, &ShellApp::OnAppOnly)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
END_MESSAGE_MAP()

class ShellTest : public ::testing::Test {
protected:
    ShellApp app;
    CSingleDocTemplate* pTemplate = nullptr;

    void SetUp() override
    {
        Log().clear();
        ShellView::initialUpdates = 0;
        ShellView::keyDowns = 0;
        AfxWinInit(GetModuleHandleA(NULL), NULL, const_cast<LPSTR>(""), SW_SHOWNORMAL);
        pTemplate = new CSingleDocTemplate(IDR_TESTSHELL, RUNTIME_CLASS(ShellDoc), RUNTIME_CLASS(ShellFrame),
                                           RUNTIME_CLASS(ShellView));
        app.AddDocTemplate(pTemplate);
    }
    void TearDown() override
    {
        if (app.m_pMainWnd != NULL)
            app.m_pMainWnd->DestroyWindow();
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            ;   // the quit the main window's end posted, and the rest
    }
    CFrameWnd* Frame() { return static_cast<CFrameWnd*>(app.m_pMainWnd); }
    CDocument* Start()
    {
        CDocument* pDoc = pTemplate->OpenDocumentFile(NULL);
        EXPECT_NE(pDoc, nullptr);
        return pDoc;
    }
};

// ---------------------------------------------------------------------------

TEST(DocTemplateString, SevenFieldsInOrderIncludingTheEmptyOnes)
{
    CSingleDocTemplate t(128, NULL, NULL, NULL);
    t.m_strDocStrings = "QXEdit\n\nQXEdit\n\n\nQXEdit.Document\nQXEdit Document";
    const char* expected[] = {"QXEdit", "", "QXEdit", "", "", "QXEdit.Document", "QXEdit Document"};
    for (int i = 0; i < 7; ++i) {
        CString field = "stale";
        EXPECT_TRUE(t.GetDocString(field, static_cast<CDocTemplate::DocStringIndex>(i))) << i;
        EXPECT_STREQ(field, expected[i]) << i;
    }
}

TEST_F(ShellTest, NewDocumentFrameIsTitledUntitledAndHasTheViewAsItsPane)
{
    CDocument* pDoc = Start();
    ASSERT_NE(Frame(), nullptr);
    EXPECT_EQ(Text(Frame()->m_hWnd), "Senza titolo - Shell");
    EXPECT_STREQ(pDoc->GetTitle(), "Senza titolo");
    CView* pView = Frame()->GetActiveView();
    ASSERT_NE(pView, nullptr);
    EXPECT_EQ(pView->GetDlgCtrlID(), static_cast<int>(AFX_IDW_PANE_FIRST));
    EXPECT_EQ(pView->GetDocument(), pDoc);
    EXPECT_EQ(ShellView::initialUpdates, 1);
    // The frame's menu and accelerators come from the resource.
    EXPECT_NE(Frame()->GetMenu(), (HMENU)NULL);
    EXPECT_NE(Frame()->m_hAccelTable, (HACCEL)NULL);
}

TEST_F(ShellTest, NewAndOpenRenewDocumentFrameAndViewInPlace)
{
    CDocument* pDoc = Start();
    HWND hFrame = Frame()->m_hWnd;
    CView* pView = Frame()->GetActiveView();

    Frame()->SendMessage(WM_COMMAND, ID_FILE_NEW);
    EXPECT_EQ(pTemplate->m_pOnlyDoc, pDoc);
    EXPECT_EQ(Frame()->m_hWnd, hFrame);
    EXPECT_EQ(Frame()->GetActiveView(), pView);
    EXPECT_EQ(ShellView::initialUpdates, 2);
    EXPECT_EQ(CountChildren(pView->m_hWnd), 1) << "a second child window";

    std::string path = Temp("shell-open.bin");
    WriteFile(path, "data");
    EXPECT_EQ(app.OpenDocumentFile(path.c_str()), pDoc);
    EXPECT_EQ(Frame()->m_hWnd, hFrame);
    EXPECT_EQ(ShellView::initialUpdates, 3);
    EXPECT_EQ(CountChildren(pView->m_hWnd), 1);
    EXPECT_EQ(Text(hFrame), "shell-open.bin - Shell");
    EXPECT_EQ(pDoc->GetPathName().CompareNoCase(path.c_str()), 0);

    // New again: untitled, no path.
    Frame()->SendMessage(WM_COMMAND, ID_FILE_NEW);
    EXPECT_EQ(Text(hFrame), "Senza titolo - Shell");
    EXPECT_TRUE(pDoc->GetPathName().IsEmpty());
    DeleteFileA(path.c_str());
}

// A document whose open closes its frame, as a host closed during a long
// read does; its memory is kept, filled, after its delete, so that a later
// write into it shows.
class ClosingDoc : public CDocument {
    DECLARE_DYNCREATE(ClosingDoc)
public:
    struct Block {
        unsigned char* p;
        size_t n;
    };
    static std::vector<Block>& Deleted()
    {
        static std::vector<Block> blocks;
        return blocks;
    }
    static void* operator new(size_t n) { return ::operator new(n); }
    static void operator delete(void* p, size_t n)
    {
        memset(p, 0xDD, n);
        Deleted().push_back(Block{static_cast<unsigned char*>(p), n});
    }
    BOOL OnOpenDocument(LPCSTR) override
    {
        POSITION pos = GetFirstViewPosition();
        GetNextView(pos)->GetParentFrame()->SendMessage(WM_CLOSE);
        return FALSE;
    }
};
IMPLEMENT_DYNCREATE(ClosingDoc, CDocument)

TEST_F(ShellTest, OpenThatClosesTheFrameLeavesTheDeletedDocumentAlone)
{
    CSingleDocTemplate* pClosing = new CSingleDocTemplate(IDR_TESTSHELL, RUNTIME_CLASS(ClosingDoc),
                                                          RUNTIME_CLASS(ShellFrame), RUNTIME_CLASS(ShellView));
    app.AddDocTemplate(pClosing);
    ASSERT_NE(pClosing->OpenDocumentFile(NULL), nullptr);
    std::string path = Temp("shell-closing.bin");
    WriteFile(path, "data");
    ClosingDoc::Deleted().clear();

    EXPECT_EQ(pClosing->OpenDocumentFile(path.c_str()), nullptr);
    ASSERT_EQ(ClosingDoc::Deleted().size(), 1u) << "the frame's close did not take the document";
    const ClosingDoc::Block& block = ClosingDoc::Deleted()[0];
    size_t nTouched = 0;
    for (size_t i = 0; i < block.n; ++i)
        nTouched += block.p[i] != 0xDD;
    EXPECT_EQ(nTouched, 0u) << "the template wrote into the deleted document";
    EXPECT_EQ(pClosing->GetFirstDocPosition(), (POSITION)NULL);
    ::operator delete(block.p);
    ClosingDoc::Deleted().clear();
    DeleteFileA(path.c_str());
}

TEST_F(ShellTest, CommandsGoToViewThenDocumentThenFrameThenApplication)
{
    Start();
    const UINT ids[] = {ID_ALL, ID_DOC_DOWN, ID_FRAME_DOWN, ID_APP_ONLY};
    for (UINT id : ids)
        Frame()->SendMessage(WM_COMMAND, id);
    EXPECT_EQ(Log(), (std::vector<std::string>{"view", "doc", "frame", "app"}));
}

TEST_F(ShellTest, MenuItemsWithoutAHandlerAreGreyedWhenThePopupOpens)
{
    Start();
    HMENU hPopup = GetSubMenu(Frame()->GetMenu(), 0);
    Frame()->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hPopup), 0);
    EXPECT_FALSE(GetMenuState(hPopup, ID_HANDLED, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(hPopup, ID_UNHANDLED, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(hPopup, ID_FILE_NEW, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(ShellTest, AcceleratorKeysBecomeCommandsAndNeverReachTheFocusedWindow)
{
    Start();
    CView* pView = Frame()->GetActiveView();
    MSG msg = {pView->m_hWnd, WM_KEYDOWN, VK_F7, 0x00410001, 0, {0, 0}};
    EXPECT_TRUE(app.PreTranslateMessage(&msg));
    EXPECT_EQ(Log(), std::vector<std::string>{"handled"});

    // Other keys go on to the window.
    MSG other = {pView->m_hWnd, WM_KEYDOWN, VK_F8, 0x00420001, 0, {0, 0}};
    EXPECT_FALSE(app.PreTranslateMessage(&other));
    DispatchMessageA(&other);
    EXPECT_EQ(ShellView::keyDowns, 1);
}

// A bar that takes a strip of 20 pixels off the top, as the control bars do.
class TopStrip : public CWnd {
public:
    afx_msg LRESULT OnSizeParent(WPARAM, LPARAM lParam)
    {
        AFX_SIZEPARENTPARAMS* p = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
        CRect rc(p->rect.left, p->rect.top, p->rect.right, p->rect.top + 20);
        AfxRepositionWindow(p, m_hWnd, &rc);
        p->rect.top += 20;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(TopStrip, CWnd)
    ON_MESSAGE(WM_SIZEPARENT, &TopStrip::OnSizeParent)
END_MESSAGE_MAP()

TEST_F(ShellTest, LayoutGivesTheViewWhatTheBarsLeave)
{
    Start();
    TopStrip bar;
    ASSERT_TRUE(bar.CreateEx(0, "STATIC", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), Frame(), AFX_IDW_TOOLBAR));
    Frame()->MoveWindow(0, 0, 500, 400);
    Frame()->RecalcLayout();

    CRect client, view, strip;
    Frame()->GetClientRect(&client);
    ::GetWindowRect(Frame()->GetActiveView()->m_hWnd, &view);
    bar.GetWindowRect(&strip);
    Frame()->ScreenToClient(&view);
    Frame()->ScreenToClient(&strip);
    EXPECT_EQ(strip, CRect(0, 0, client.right, 20));
    EXPECT_EQ(view, CRect(0, 20, client.right, client.bottom));
}

TEST_F(ShellTest, MessagePaneShowsThePromptBeforeTheNewlineAndTheIdleText)
{
    Start();
    CWnd pane;
    ASSERT_TRUE(pane.CreateEx(0, "STATIC", "", WS_CHILD, CRect(0, 0, 0, 0), Frame(), AFX_IDW_STATUS_BAR));
    Frame()->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_HANDLED, MF_STRING), 0);
    EXPECT_EQ(Text(pane.m_hWnd), "Prompt of the handled command");
    Frame()->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);   // the menu closed
    CString idle;
    idle.LoadString(AFX_IDS_IDLEMESSAGE);
    EXPECT_EQ(Text(pane.m_hWnd), std::string(idle));
    Frame()->SetMessageText("free text");
    EXPECT_EQ(Text(pane.m_hWnd), "free text");
}

TEST_F(ShellTest, SaveWritesTheDocumentsFileAndAsksForANameOnlyWhenItIsGoneOrReadOnly)
{
    CDocument* pDoc = Start();
    std::string path = Temp("shell-save.bin");
    WriteFile(path, "old bytes");
    ASSERT_EQ(app.OpenDocumentFile(path.c_str()), pDoc);

    Frame()->SendMessage(WM_COMMAND, ID_FILE_SAVE);   // Ctrl+S
    EXPECT_TRUE(app.prompts.empty()) << "a dialog for a document that names its file";
    EXPECT_EQ(ReadFile(path), "");   // the document stores nothing

    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(pDoc->DoFileSave());
    EXPECT_EQ(app.prompts.size(), 1u);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);

    DeleteFileA(path.c_str());
    EXPECT_FALSE(pDoc->DoFileSave());
    EXPECT_EQ(app.prompts.size(), 2u);
    EXPECT_FALSE(app.prompts[1]) << "the Save As dialog, not Open";
}

// Logging off asks about a modified document (the catcher's OK goes on, as
// No does) and nothing about an unmodified one.
TEST_F(ShellTest, EndOfSessionAsksAboutAModifiedDocumentByItsFileName)
{
    MessageBoxCatcher boxes;
    CDocument* pDoc = Start();
    EXPECT_TRUE(Frame()->SendMessage(WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(MessageBoxCatcher::Count(), 0);

    std::string path = Temp("shell-ask.bin");
    WriteFile(path, "x");
    ASSERT_EQ(app.OpenDocumentFile(path.c_str()), pDoc);
    pDoc->SetModifiedFlag();
    EXPECT_TRUE(Frame()->SendMessage(WM_QUERYENDSESSION, 0, 0));
    EXPECT_EQ(MessageBoxCatcher::Count(), 1);
    EXPECT_EQ(MessageBoxCatcher::Text(), "Salvare le modifiche a shell-ask.bin?");
    EXPECT_EQ(pTemplate->m_pOnlyDoc, pDoc) << "the question closes nothing";
    DeleteFileA(path.c_str());
}

TEST_F(ShellTest, SaveOfAnUntitledDocumentAsksForAName)
{
    CDocument* pDoc = Start();
    EXPECT_FALSE(pDoc->DoFileSave());
    EXPECT_EQ(app.prompts.size(), 1u);
}

TEST_F(ShellTest, ClosingTheMainFrameAsksNothingAndEndsTheLoop)
{
    MessageBoxCatcher boxes;
    Start();
    Frame()->SendMessage(WM_CLOSE);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_EQ(pTemplate->m_pOnlyDoc, nullptr) << "the document goes with its frame";
    EXPECT_EQ(MessageBoxCatcher::Count(), 0);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(ShellTest, ExceptionFromACommandHandlerIsReportedOnceAndTheFrameLives)
{
    MessageBoxCatcher boxes;
    Start();
    Frame()->SendMessage(WM_COMMAND, ID_THROW);
    EXPECT_EQ(MessageBoxCatcher::Count(), 1);
    CString expected;
    expected.LoadString(AFX_IDS_INVALID_ARG_EXCEPTION);
    EXPECT_EQ(MessageBoxCatcher::Text(), std::string(expected));
    EXPECT_EQ(MessageBoxCatcher::Caption(), "Shell");
    EXPECT_TRUE(::IsWindow(Frame()->m_hWnd));
}

// ---------------------------------------------------------------------------
// The most-recently-used list

const char kKey[] = "Software\\QXEdit shell tests";

class MruTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKey); }
    static std::string Entry(const char* name)
    {
        char buf[MAX_PATH] = "";
        DWORD size = sizeof buf;
        std::string key = std::string(kKey) + "\\Shell\\Recent File List";
        if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_SZ, NULL, buf, &size) != ERROR_SUCCESS)
            return "<none>";
        return buf;
    }
};

TEST_F(MruTest, AtMostFourNewestFirstWrittenAtExitAndReadBack)
{
    {
        ShellApp app;
        AfxWinInit(GetModuleHandleA(NULL), NULL, const_cast<LPSTR>(""), SW_HIDE);
        app.SetRegistryKey("QXEdit shell tests");
        app.LoadStdProfileSettings(4);
        const char* files[] = {"C:\\a.bin", "C:\\b.bin", "C:\\c.bin", "C:\\d.bin", "C:\\e.bin", "C:\\B.BIN"};
        for (const char* f : files)
            app.AddToRecentFileList(f);
        EXPECT_EQ(Entry("File1"), "<none>") << "written only at exit";
        app.ExitInstance();
    }
    EXPECT_EQ(Entry("File1"), "C:\\B.BIN");   // re-added: moved to the front
    EXPECT_EQ(Entry("File2"), "C:\\e.bin");
    EXPECT_EQ(Entry("File3"), "C:\\d.bin");
    EXPECT_EQ(Entry("File4"), "C:\\c.bin");
    EXPECT_EQ(Entry("File5"), "<none>");

    ShellApp again;
    AfxWinInit(GetModuleHandleA(NULL), NULL, const_cast<LPSTR>(""), SW_HIDE);
    again.SetRegistryKey("QXEdit shell tests");
    again.LoadStdProfileSettings(4);
    ASSERT_EQ(again.GetRecentFileList().size(), 4u);
    EXPECT_STREQ(again.GetRecentFileList()[0], "C:\\B.BIN");
    EXPECT_STREQ(again.GetRecentFileList()[3], "C:\\c.bin");
}

// ---------------------------------------------------------------------------
// Modal dialogs and DDX_Control

class DdxDialog : public CDialog {
public:
    explicit DdxDialog(CWnd* pParent) : CDialog(IDD_TESTDDX, pParent) {}
    CEdit m_edit;
    int exchanges = 0;
    bool boundOnInit = false, boundAfterSecondPass = false, ownerDisabled = false;
    HWND hOwner = NULL;

    void DoDataExchange(CDataExchange* pDX) override
    {
        ++exchanges;
        DDX_Control(pDX, 1000, m_edit);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        HWND hEdit = ::GetDlgItem(m_hWnd, 1000);
        boundOnInit = m_edit.m_hWnd == hEdit && CWnd::FromHandlePermanent(hEdit) == &m_edit &&
                      reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hEdit, GWLP_WNDPROC)) == AfxGetAfxWndProc();
        UpdateData(TRUE);
        boundAfterSecondPass = m_edit.m_hWnd == hEdit;
        ownerDisabled = hOwner != NULL && !::IsWindowEnabled(hOwner);
        // The edit keeps its own behaviour through the subclassing.
        m_edit.SetWindowText("typed");
        PostMessage(WM_COMMAND, IDOK);
        return TRUE;
    }
};

TEST_F(ShellTest, ModalDialogBindsItsControlOnceAndDisablesTheOwner)
{
    Start();
    DdxDialog dlg(NULL);   // owner: the main window
    dlg.hOwner = Frame()->m_hWnd;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.boundOnInit);
    EXPECT_TRUE(dlg.boundAfterSecondPass);
    EXPECT_EQ(dlg.exchanges, 3);   // OnInitDialog, its own UpdateData, OnOK
    EXPECT_TRUE(dlg.ownerDisabled);
    EXPECT_TRUE(::IsWindowEnabled(Frame()->m_hWnd));
    EXPECT_EQ(dlg.m_hWnd, (HWND)NULL);
    EXPECT_EQ(dlg.m_edit.m_hWnd, (HWND)NULL) << "the control went with the dialog";
}

// OK with a value that fails its validation: the dialog stays up and the
// focus goes back to the control that failed; the next OK closes it.
class FailingDdxDialog : public CDialog {
public:
    FailingDdxDialog() : CDialog(IDD_TESTDDX, NULL) {}
    CEdit m_edit;
    bool failed = false, savedAgain = false;
    HWND hFocusAfterFailure = NULL, hFailedControl = NULL;

    void DoDataExchange(CDataExchange* pDX) override
    {
        if (pDX->m_bSaveAndValidate && failed) {
            savedAgain = true;
            hFocusAfterFailure = ::GetFocus();
            hFailedControl = ::GetDlgItem(m_hWnd, 1000);
        }
        DDX_Control(pDX, 1000, m_edit);
        // A host's own exchange of the edit's value, which refuses it once.
        pDX->PrepareCtrl(1000);
        if (pDX->m_bSaveAndValidate && !failed) {
            failed = true;
            ::SetFocus(::GetDlgItem(m_hWnd, IDOK));   // away from the control that fails
            pDX->Fail();
        }
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        PostMessage(WM_COMMAND, IDOK);
        PostMessage(WM_COMMAND, IDOK);
        return TRUE;
    }
};

TEST_F(ShellTest, FailedValidationKeepsTheDialogAndFocusesTheControl)
{
    Start();
    FailingDdxDialog dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.failed);
    ASSERT_TRUE(dlg.savedAgain) << "the failed OK closed the dialog";
    EXPECT_EQ(dlg.hFocusAfterFailure, dlg.hFailedControl) << "the focus stayed where it was when the validation failed";
}

TEST(Dialog, MissingTemplateFailsWithMinusOne)
{
    CDialog dlg(static_cast<UINT>(7777));
    EXPECT_EQ(dlg.DoModal(), -1);
}

} // namespace
