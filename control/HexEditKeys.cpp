// HexEditKeys.cpp - the keyboard side of CHexEditCtrl: the selection edits
// that keys and the mouse share.
#include "HexEditCtrl.h"
#include <algorithm>
#include <cstring>

void CHexEditCtrl::FillSelection(BYTE value)
{
    // Every cell of the selection belongs to byte cell / 3, so the bytes
    // written are those from start / 3 to end / 3: a selection that begins on
    // a low digit or a blank also fills the byte that cell belongs to. Each
    // byte is written once.
    if (m_nSelStart < 0 || m_nSelStart > m_nSelEnd)
        return;
    const LONGLONG nSize = m_data.GetSize();
    const LONGLONG nFirst = m_nSelStart / 3;
    const LONGLONG nLast = std::min(m_nSelEnd / 3, nSize - 1);
    if (nFirst > nLast)
        return;
    std::memset(m_data.GetData() + nFirst, value, static_cast<size_t>(nLast - nFirst + 1));
}

void CHexEditCtrl::ClearSelection()
{
    m_nSelStart = -1;
    m_nSelEnd = -1;
    InvalidateRect(NULL, TRUE);
}
