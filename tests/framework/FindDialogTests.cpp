// Tests of CFindReplaceDialog: the modeless common find dialog reports each
// request to its owner through the registered FINDMSGSTRING message, which
// reaches an ON_REGISTERED_MESSAGE handler, and deletes itself when closed.
#include <afxdlgs.h>
#include <dlgs.h>   // the common dialogs' control ids
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const UINT g_nFindReplaceMsg = ::RegisterWindowMessageA(FINDMSGSTRING);

class FindOwner : public CWnd {
public:
    std::vector<std::string> seen;
    afx_msg LRESULT OnFindReplace(WPARAM, LPARAM lParam)
    {
        CFindReplaceDialog* pDlg = CFindReplaceDialog::GetNotifier(lParam);
        if (pDlg->IsTerminating())
            seen.push_back("closed");
        else if (pDlg->FindNext())
            seen.push_back(std::string(pDlg->GetFindString()) + (pDlg->MatchCase() ? " case" : " any") +
                           (pDlg->SearchDown() ? " down" : " up"));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(FindOwner, CWnd)
    ON_REGISTERED_MESSAGE(g_nFindReplaceMsg, &FindOwner::OnFindReplace)
END_MESSAGE_MAP()

class CountedFindDialog : public CFindReplaceDialog {
public:
    explicit CountedFindDialog(bool& bGone) : m_pbGone(&bGone) {}
    ~CountedFindDialog() override { *m_pbGone = true; }

private:
    bool* m_pbGone;
};

void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

} // namespace

TEST(FindReplaceDialog, EachRequestReachesTheOwnerAndTheClosedDialogDeletesItself)
{
    FindOwner owner;
    ASSERT_TRUE(owner.CreateEx(0, NULL, "owner", WS_OVERLAPPEDWINDOW, CRect(0, 0, 300, 200), NULL, 0));
    bool bGone = false;
    CountedFindDialog* pDlg = new CountedFindDialog(bGone);
    ASSERT_TRUE(pDlg->Create(TRUE, "41 42", NULL, FR_DOWN | FR_HIDEWHOLEWORD, &owner));
    HWND hDlg = pDlg->m_hWnd;
    ASSERT_TRUE(::IsWindow(hDlg));
    EXPECT_EQ(pDlg, CWnd::FromHandlePermanent(hDlg));
    char text[64] = "";
    ::GetDlgItemTextA(hDlg, edt1, text, sizeof text);
    EXPECT_STREQ("41 42", text);
    Pump();

    // Find Next as given, then with match case and upwards.
    ::SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
    ::SendDlgItemMessageA(hDlg, chx2, BM_CLICK, 0, 0);
    ::SendDlgItemMessageA(hDlg, rad1, BM_CLICK, 0, 0);
    ::SetDlgItemTextA(hDlg, edt1, "hello");
    ::SendMessageA(hDlg, WM_COMMAND, IDOK, 0);
    // Cancel closes it: the owner hears, and the object goes with its window.
    ::SendMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    Pump();
    EXPECT_EQ((std::vector<std::string>{"41 42 any down", "hello case up", "closed"}), owner.seen);
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_TRUE(bGone) << "the closed dialog's object was not deleted";
    owner.DestroyWindow();
}
