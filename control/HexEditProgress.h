// HexEditProgress.h - the progress window of CHexEditCtrl's long loads and
// saves, for HexEditFile.cpp only: the work goes in pieces, and after each
// one Step shows (once the work has taken half a second) a small modal
// window with the file's name, a progress bar, the bytes done and a Cancel
// button, and lets the program's messages through.
//
// The window is made in code (a static library cannot carry a dialog
// resource to its hosts). While it is up every other top-level window of
// the thread is disabled, as for a message box, and input meant for them is
// dropped, so that nothing reaches the host (and through it the control)
// until the work is over.
#pragma once

#include <afxwin.h>
#include <vector>

class CHexEditProgress {
public:
    // The size of the pieces the work goes in.
    static const UINT kPieceSize = 4u << 20;
    // How long the work runs before the window shows.
    static const DWORD kShowAfterMs = 500;
    // How often the window shows the bytes done.
    static const DWORD kUpdateEveryMs = 100;
    // The window's class, by which tests find it.
    static const char kClassName[];

    // pCtrl's top-level window owns the window; lpszCaption is its title
    // ("Loading", "Saving"), lpszPath the file it names, nTotal the bytes
    // the work will have done at its end.
    CHexEditProgress(CWnd* pCtrl, LPCSTR lpszCaption, LPCSTR lpszPath, ULONGLONG nTotal);
    // Closes the window and enables the windows it disabled.
    ~CHexEditProgress();
    CHexEditProgress(const CHexEditProgress&) = delete;
    CHexEditProgress& operator=(const CHexEditProgress&) = delete;

    // After each piece, nDone bytes being done: shows or updates the window
    // and handles the waiting messages. False once the user cancelled.
    bool Step(ULONGLONG nDone);

private:
    // Where the window's parts go, in pixels of its client area.
    struct WindowLayout {
        int nLine, nMargin, nWidth, nHeight;
        int nButtonWidth, nButtonHeight;
        int yPath, yBar, yBytes, yButton;
    };

    bool Show();
    static bool RegisterWindowClass();
    static WindowLayout LayoutForLinesOf(HFONT hFont);
    bool CreateFrame(HWND hOwner, const WindowLayout& layout);
    HWND CreateChildren(const WindowLayout& layout, HFONT hFont);
    void Update(ULONGLONG nDone);
    void PumpMessages();
    bool IsOwnMessage(const MSG& msg) const;
    void Close();
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hCtrl;
    CString m_strCaption, m_strPath;
    ULONGLONG m_nTotal;
    ULONGLONG m_nStartTick;
    ULONGLONG m_nLastUpdateTick = 0;
    bool m_bCancelled = false;
    bool m_bTriedToShow = false;
    HWND m_hWnd = NULL;
    HWND m_hBar = NULL;
    HWND m_hBytes = NULL;
    HWND m_hFocusBefore = NULL;
    HFONT m_hFont = NULL;
    int m_nShownPermille = -1;
    std::vector<HWND> m_disabled;   // the windows to enable again
};
