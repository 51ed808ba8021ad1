// HexEditDpiHooks.h - for the control's tests and benchmark only: a stand-in
// for the DPI of the control's window, where the system cannot change a
// window's DPI while it runs. It exists only where HexEditDpi.cpp is
// compiled with QX_DPI_TEST_HOOKS; the control's library asks the system and
// knows nothing of it.
#pragma once

#include <windows.h>

namespace HexEditDpiHooks {

// Answers the DPI of the control's window instead of the system; NULL for
// the system's answer.
extern UINT (*pfnWindowDpi)(HWND hWnd);

} // namespace HexEditDpiHooks
