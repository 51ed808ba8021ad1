// afximpl.h - the framework's private state shared between its source files.
#pragma once

#include "afxwin.h"

// Filled by the application layer when an application object exists; a
// plain Win32 host (a test, a benchmark) leaves them empty.
struct AfxHostHooks {
    HWND (*pfnGetMainWnd)() = nullptr;               // owner of message boxes
    int (*pfnDoMessageBox)(LPCSTR, UINT, UINT) = nullptr; // the application's message box
    void (*pfnOnNcDestroy)(CWnd*) = nullptr;         // a window of the application's is going
};

void AfxDeleteGdiTempMaps();
void AfxDeleteTempDC(HDC hDC);
AfxHostHooks& AfxGetHostHooks();

// How many wait cursors are on (CCmdTarget::BeginWaitCursor).
int AfxGetWaitCursorCount();

// The text of the window title for message boxes: the application title
// string, or the program's file name when there is none.
CString AfxGetAppTitle();

// Every frame window that exists, for the idle update of their command UI.
#include <vector>
std::vector<CFrameWnd*>& AfxFrameList();
