// afxext.h - control bars: the toolbar over comctl32's ToolbarWindow32, the
// status bar over msctls_statusbar32, the dock bars along the frame's edges
// and the small frame a bar floats in.
//
// A control bar keeps its bar style (CBRS_*) in m_dwStyle, apart from the
// window style. It lays itself out when its parent frame sends WM_SIZEPARENT:
// a bar aligned at the top or bottom takes its height from the top or bottom
// of the space left, one aligned left or right its width. A bar that can
// dock lives inside one of the frame's four CDockBar children, or inside the
// CDockBar of a CMiniDockFrameWnd while it floats.
#pragma once

#include "afxwin.h"
#include <vector>

class CControlBar;
class CToolBar;
class CStatusBar;
class CDockBar;
class CDockContext;
class CMiniDockFrameWnd;

// Layout modes of CControlBar::CalcDynamicLayout
#define LM_STRETCH  0x01   // stretch to the length of the space
#define LM_HORZ     0x02   // horizontal, else vertical
#define LM_MRUWIDTH 0x04   // the most recently used width (floating)
#define LM_HORZDOCK 0x08   // docked horizontally
#define LM_VERTDOCK 0x10   // docked vertically
#define LM_LENGTHY  0x20   // nLength is a height, not a width
#define LM_COMMIT   0x40   // remember the size as the most recently used

// Status bar pane styles
#define SBPS_NORMAL     0x0000
#define SBPS_NOBORDERS  SBT_NOBORDERS
#define SBPS_POPOUT     SBT_POPOUT
#define SBPS_OWNERDRAW  SBT_OWNERDRAW
#define SBPS_DISABLED   0x04000000
#define SBPS_STRETCH    0x08000000

// ---------------------------------------------------------------------------
// CControlBar

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
public:
    CControlBar();
    ~CControlBar() override;

    // Bar style: the CBRS_* bits (alignment, borders, tooltips, fly-by,
    // gripper, floating). SetBarStyle redraws the borders.
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    void SetBorders(LPCRECT lpRect) { SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }

    // Allows the bar to dock on the sides named by the CBRS_ALIGN_* bits
    // (0: the bar cannot be dragged or docked).
    void EnableDocking(DWORD dwDockStyle);

    CFrameWnd* GetDockingFrame() const;
    BOOL IsFloating() const;
    // Visible, counting a pending DelayShow.
    BOOL IsVisible() const;
    virtual int GetCount() const { return 0; }

    // The size the bar wants: fixed, when docked (stretched to the length
    // of the space when bStretch), or by the LM_* mode.
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    // Updates the bar's items from their command handlers in pTarget.
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    // Shows or hides the bar at the frame's next layout.
    virtual void DelayShow(BOOL bShow);
    // Shrinks rect (the window rectangle) by the borders and the gripper.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;

    // The item at point (client coordinates), -1 when none: a click on no
    // item starts dragging the bar.
    virtual int HitTestItem(CPoint point) const;

    DWORD m_dwStyle;          // CBRS_*
    DWORD m_dwDockStyle;      // sides it may dock on (CBRS_ALIGN_*)
    CFrameWnd* m_pDockSite;   // the frame it belongs to
    CDockBar* m_pDockBar;     // the dock bar holding it, or NULL
    CDockContext* m_pDockContext; // dragging, when docking is enabled
    BOOL m_bAutoDelete;       // delete the object when its window goes
    int m_cxLeftBorder, m_cxRightBorder, m_cyTopBorder, m_cyBottomBorder;
    int m_cxDefaultGap;       // between bars docked side by side
    UINT m_nMRUWidth;         // floating width
    UINT m_nStateFlags;       // delayHide, delayShow
    enum StateFlags { delayHide = 1, delayShow = 2 };

protected:
    // Applies a pending DelayShow; returns the window and bar style.
    DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);
    void DrawBorders(CDC* pDC, CRect& rect);
    void DrawGripper(CDC* pDC, const CRect& rect);
    BOOL IsHorzLayout() const;

    void PostNcDestroy() override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);

    friend class CDockBar;
    friend class CDockContext;
    friend class CFrameWnd;
    DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------
// CToolBar

class CToolBar : public CControlBar {
    DECLARE_DYNAMIC(CToolBar)
public:
    CToolBar();
    ~CToolBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_TOP,
                UINT nID = AFX_IDW_TOOLBAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP,
                  CRect rcBorders = CRect(0, 0, 0, 0), UINT nID = AFX_IDW_TOOLBAR);

    // Button and image sizes; the button is the image plus 7 by 7.
    void SetSizes(SIZE sizeButton, SIZE sizeImage);
    // Reads a toolbar resource (type 241: WORD version 1, width, height,
    // count, then the item ids, 0 for a separator) and its bitmap of the
    // same id.
    BOOL LoadToolBar(LPCSTR lpszResourceName);
    BOOL LoadToolBar(UINT nIDResource) { return LoadToolBar(MAKEINTRESOURCEA(nIDResource)); }
    BOOL LoadBitmap(LPCSTR lpszResourceName);
    BOOL LoadBitmap(UINT nIDResource) { return LoadBitmap(MAKEINTRESOURCEA(nIDResource)); }
    // Replaces the items: each id a button (images in order), ID_SEPARATOR
    // a separator. lpIDArray NULL makes nIDCount empty separators.
    BOOL SetButtons(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    UINT GetButtonStyle(int nIndex) const;
    void SetButtonStyle(int nIndex, UINT nStyle);
    void GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const;
    int GetCount() const override;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    int HitTestItem(CPoint point) const override;

    CSize m_sizeButton;
    CSize m_sizeImage;

protected:
    // Lays the items out in one row or one column; returns the bar's size.
    CSize CalcLayout(BOOL bHorz);
    void SetFlyby(UINT nID);

    HBITMAP m_hbmImageWell;
    UINT m_nFlybyID;      // the command whose prompt the status bar shows
    BOOL m_bTrackingLeave;

    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------
// CStatusBar

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = AFX_IDW_STATUS_BAR);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0,
                  DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = AFX_IDW_STATUS_BAR);

    // One pane per id: its text is the string of that id, its width the
    // text's; a first ID_SEPARATOR pane takes the room left (SBPS_STRETCH).
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    void GetPaneText(int nIndex, CString& rString) const;
    CString GetPaneText(int nIndex) const;
    BOOL SetPaneText(int nIndex, LPCSTR lpszNewText, BOOL bUpdate = TRUE);
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    int GetCount() const override { return static_cast<int>(m_panes.size()); }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    int HitTestItem(CPoint) const override { return 0; }  // never dragged

protected:
    struct Pane {
        UINT nID;
        UINT nStyle;   // SBPS_*
        int cxText;    // width of the text area
        CString strText;
    };
    std::vector<Pane> m_panes;
    BOOL m_bSizeGrip;   // made with a size grip (its frame can be sized)

    // Gives the control the panes' edges and/or texts (a disabled pane
    // shows no text).
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
    HFONT GetBarFont() const;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNcHitTest(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// ---------------------------------------------------------------------------
// Docking

// One edge of a frame (or the inside of a floating frame): it holds the bars
// docked there in one row (top, bottom) or column (left, right).
class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(BOOL bFloating = FALSE);
    ~CDockBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);
    // Moves pBar here (out of any other dock bar), at the place lpRect
    // (screen coordinates) points to, else after the others.
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = NULL);
    BOOL RemoveControlBar(CControlBar* pBar);
    int GetDockedVisibleCount() const;

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    int HitTestItem(CPoint) const override { return 0; }

    BOOL m_bFloating;
    std::vector<CControlBar*> m_arrBars;

protected:
    CRect m_rectLayout;   // the space the last WM_SIZEPARENT offered

    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// The small tool window a bar floats in; its caption is the bar's window
// text. Dragging the caption moves the bar, and docks it when dropped near
// an edge of the frame; a double-click on the caption docks it where it was;
// closing it hides the bar.
class CMiniDockFrameWnd : public CWnd {
    DECLARE_DYNAMIC(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();
    ~CMiniDockFrameWnd() override;

    BOOL Create(CFrameWnd* pParent, DWORD dwBarStyle);
    // Sizes the window around its bar.
    void RecalcLayout();
    CControlBar* GetBar() const;

    CDockBar m_wndDockBar;
    CFrameWnd* m_pDockSite;

protected:
    void PostNcDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg void OnClose();
    afx_msg LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnMouseActivate(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

// Drags a bar with the mouse: a drag rectangle follows the pointer (the
// bar's docked shape near an edge of the frame it may dock on, its floating
// shape elsewhere); the button's release docks or floats the bar there,
// Escape or the right button cancels.
class CDockContext {
public:
    explicit CDockContext(CControlBar* pBar);

    void StartDrag(CPoint pt);
    // The dock bar id the pointer at pt (screen) would dock on, 0 if none.
    UINT CanDock(CPoint pt) const;
    // A floating bar docks again where it was docked last (the top when it
    // never was); a docked bar floats where it floated last.
    void ToggleDocking();

    CControlBar* m_pBar;
    CFrameWnd* m_pDockSite;
    // Where the bar was last docked (dock bar id, screen rectangle) and where
    // it last floated; kept by the frame as the bar moves.
    UINT m_uMRUDockID;
    CRect m_rectMRUDockPos;
    CPoint m_ptMRUFloatPos;

protected:
    BOOL Track();
    void Move(CPoint pt);
    void DrawFocusRect(BOOL bRemoveRect = FALSE);
    void EndDrag(CPoint pt);

    CPoint m_ptStart;
    CPoint m_ptLast;
    CPoint m_ptOffset;        // from the pointer to the floating frame's corner
    CSize m_sizeHorz;         // floating frame, horizontal layout
    CSize m_sizeVert;         // docked left or right
    CSize m_sizeDockHorz;     // docked top or bottom
    CRect m_rectDrag;         // what is drawn now
    CRect m_rectLast;
    BOOL m_bDitherLast;
    UINT m_nDockTarget;
};
