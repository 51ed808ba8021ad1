// HexEditPaintHooks.h - for the control's tests only: the painter's switches
// a test sets. They exist only where HexEditPaint.cpp is compiled with
// QX_PAINT_TEST_HOOKS (the control's test program compiles its own copy so);
// the control's library paints as a host sees it and knows nothing of them.
#pragma once

#include <windows.h>

namespace HexEditPaintHooks {

// Draw cell by cell whatever the font (as when the glyphs' extents cannot be
// read).
extern bool bPaintCellByCell;
// Called with the drawing DC before each row is formatted (it may throw);
// NULL for nothing.
extern void (*pfnBeforePaintRow)(HDC hDC);
// High contrast as the system would tell it: -1 asks the system (Wine 8
// always answers off and cannot switch it), 0 off, 1 on.
extern int nHighContrast;

} // namespace HexEditPaintHooks
