// MainFrm.h - the main frame window with its toolbar and status bar.
#pragma once

class CQXEditView;

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
protected:
    CMainFrame();

public:
    ~CMainFrame() override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

protected:
    // The view, when a load or a save of its runs.
    CQXEditView* ViewInFileWork();

    CStatusBar m_wndStatusBar;
    CToolBar m_wndToolBar;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnEndSession(BOOL bEnding);
    DECLARE_MESSAGE_MAP()
};
