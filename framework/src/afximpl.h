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

// The text of the window title for message boxes: the application title
// string, or the program's file name when there is none.
CString AfxGetAppTitle();

// Every frame window that exists, for the idle update of their command UI.
#include <vector>
std::vector<CFrameWnd*>& AfxFrameList();

// Positions over a list held in a std::vector: element i is at position
// i + 1, and NULL ends the walk.
template <class Vector>
POSITION AfxFirstPosition(const Vector& list)
{
    return list.empty() ? NULL : reinterpret_cast<POSITION>(static_cast<UINT_PTR>(1));
}

template <class Vector>
typename Vector::value_type AfxNextAt(const Vector& list, POSITION& rPosition)
{
    UINT_PTR i = reinterpret_cast<UINT_PTR>(rPosition) - 1;
    typename Vector::value_type p = i < list.size() ? list[i] : NULL;
    rPosition = i + 1 < list.size() ? reinterpret_cast<POSITION>(i + 2) : NULL;
    return p;
}
