// HexEditLayout.cpp - layout, scrolling and caret placement of CHexEditCtrl.
#include "HexEditCtrl.h"

// Minimal layout until the measuring one exists: nothing without a window.
void CHexEditCtrl::RecalcLayout()
{
    if (m_hWnd == NULL)
        return;
    InvalidateRect(NULL, TRUE);
}
