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
    // The toolbar's images drawn for the frame's DPI, once it is not the
    // 96 DPI of the toolbar resource (NULL until then); the frame owns them.
    HIMAGELIST m_hToolBarImages;
    void ScaleToolBarImages(UINT nDpi);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnClose();
    afx_msg BOOL OnQueryEndSession();
    afx_msg void OnEndSession(BOOL bEnding);
    afx_msg LRESULT OnDpiChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
