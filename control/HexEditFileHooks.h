// HexEditFileHooks.h - for the control's tests only: the points of a load
// and a save where a test injects a fault, and of a search where it slows it
// down. They exist only where HexEditFile.cpp (and HexEditFind.cpp) are
// compiled with QX_FILE_TEST_HOOKS (the control's test
// program compiles its own copy so); the control's library calls the system
// directly and knows nothing of them.
#pragma once

#include <windows.h>

namespace HexEditFileHooks {

// Stand in for the system's calls of a save's last steps; they start as the
// system's own functions.
extern BOOL(WINAPI* pfnFlushFileBuffers)(HANDLE hFile);
extern BOOL(WINAPI* pfnReplaceFileA)(LPCSTR lpszReplaced, LPCSTR lpszReplacement, LPCSTR lpszBackup,
                                     DWORD dwFlags, LPVOID pExclude, LPVOID pReserved);
extern BOOL(WINAPI* pfnMoveFileExA)(LPCSTR lpszExisting, LPCSTR lpszNew, DWORD dwFlags);
// Called by a load after it took the file's length and before it reads the
// bytes; NULL for nothing.
extern void (*pfnBeforeRead)(LPCSTR lpszPath);
// Called by a load, a save or a search after each piece, with the bytes
// done so far;
// NULL for nothing (a test slows the work down with it).
extern void (*pfnAfterPiece)(ULONGLONG nDone);

// Puts every hook back as it started.
void Reset();

} // namespace HexEditFileHooks
