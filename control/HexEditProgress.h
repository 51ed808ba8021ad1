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
//
// What the program does meanwhile may end the work from outside: the
// control's window (with its object) or the window's owner destroyed, or the
// session ending. Step then says so, and the caller returns at once; a work
// that leaves something behind (a temporary file) names its clean-up, which
// runs inside the message that ended it, since the program may end as soon
// as that message returns.
#pragma once

#include <afxwin.h>
#include "HexEditRes.h"
#include <functional>
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

    // pCtrl's top-level window owns the window; nIDCaption is the string
    // resource of its title (IDS_HEXEDIT_LOADING, IDS_HEXEDIT_SAVING),
    // lpszPath the file it names, nTotal the bytes the work will have done
    // at its end.
    CHexEditProgress(CWnd* pCtrl, UINT nIDCaption, LPCSTR lpszPath, ULONGLONG nTotal);
    // Closes the window and enables the windows it disabled.
    ~CHexEditProgress();
    CHexEditProgress(const CHexEditProgress&) = delete;
    CHexEditProgress& operator=(const CHexEditProgress&) = delete;

    // After each piece, nDone bytes being done: shows or updates the window
    // and handles the waiting messages. False once the user cancelled or the
    // work was ended from outside.
    bool Step(ULONGLONG nDone);
    // The last phase, which cannot be cancelled: the window says that the
    // bytes go to the disk, Cancel is disabled, and the window keeps
    // painting while hWork (a thread) runs. False when the work was ended
    // from outside first (hWork may then still run).
    bool WaitFor(HANDLE hWork);
    // The control's window is gone, and with it perhaps the control object:
    // the caller touches nothing of it any more.
    bool ControlGone() const { return m_bControlGone; }
    // What ends the work's traces (closes and deletes its temporary file),
    // run once when the work is ended from outside; the caller's own
    // clean-up after it finds nothing left to do.
    void SetCleanUp(std::function<void()> cleanUp) { m_cleanUp = std::move(cleanUp); }

private:
    // Where the window's parts go, in pixels of its client area.
    struct WindowLayout {
        int nLine, nMargin, nWidth, nHeight;
        int nButtonWidth, nButtonHeight;
        int yPath, yBar, yBytes, yButton;
    };

    bool IsShowDue(ULONGLONG nDone) const;
    bool Show();
    static bool RegisterWindowClass();
    static WindowLayout LayoutForLinesOf(HFONT hFont);
    static RECT PlaceOnWorkArea(HWND hOwner, int cx, int cy);
    bool CreateFrame(HWND hOwner, const WindowLayout& layout);
    HWND CreateChildren(const WindowLayout& layout, HFONT hFont);
    void Update(ULONGLONG nDone);
    void ShowFinalPhase();
    void PumpMessages();
    bool IsOwnMessage(const MSG& msg) const;
    bool IsTypedBeforeShown(const MSG& msg) const;
    void EndedFromOutside();
    bool IsEnded() const { return m_bCancelled || m_bEnded; }
    void Close();
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_hCtrl;
    CString m_strCaption, m_strPath;
    ULONGLONG m_nTotal;
    ULONGLONG m_nStartTick;
    ULONGLONG m_nLastUpdateTick = 0;
    bool m_bCancelled = false;
    bool m_bEnded = false;          // from outside: see EndedFromOutside
    bool m_bControlGone = false;
    bool m_bClosing = false;        // Close destroys the window
    bool m_bFinalPhase = false;     // WaitFor: nothing can cancel
    bool m_bQuitting = false;       // the program's quit came
    bool m_bTriedToShow = false;
    DWORD m_dwShownTime = 0;        // message time when the window showed
    std::function<void()> m_cleanUp;
    HWND m_hWnd = NULL;
    HWND m_hBar = NULL;
    HWND m_hBytes = NULL;
    HWND m_hCancel = NULL;
    HWND m_hFocusBefore = NULL;
    HFONT m_hFont = NULL;
    int m_nShownPermille = -1;
    std::vector<HWND> m_disabled;   // the windows to enable again
};
