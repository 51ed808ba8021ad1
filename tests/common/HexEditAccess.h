// HexEditAccess.h - the one way the tests, the benchmark and the soak reach
// CHexEditCtrl's insides: the control with its protected state and
// operations made public, and the message pump they all use. It needs
// nothing but the control's header (no test framework).
#pragma once

#include "HexEditCtrl.h"

namespace qxtest {

// Handles the messages waiting for this thread's windows.
inline void Pump()
{
    MSG msg;
    while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

class HexEditAccess : public CHexEditCtrl {
public:
    // The bytes and the format.
    using CHexEditCtrl::m_data;
    using CHexEditCtrl::m_nRowAddr;
    using CHexEditCtrl::m_nPaintRow;
    using CHexEditCtrl::m_clrWndBk;
    using CHexEditCtrl::m_clrText;
    using CHexEditCtrl::m_clrAsciiBk;
    using CHexEditCtrl::m_clrAddrBk;
    using CHexEditCtrl::m_clrHexBk;
    using CHexEditCtrl::m_clrHexText;
    // The layout and the scroll position.
    using CHexEditCtrl::m_sizeChar;
    using CHexEditCtrl::m_nVisCols;
    using CHexEditCtrl::m_nVisRows;
    using CHexEditCtrl::m_nFirstCol;
    using CHexEditCtrl::m_nFirstRow;
    // The caret, the selection and the mouse's tracking.
    using CHexEditCtrl::m_nSelStart;
    using CHexEditCtrl::m_nSelEnd;
    using CHexEditCtrl::m_nCaretPos;
    using CHexEditCtrl::m_nArea;
    using CHexEditCtrl::m_nDigit;
    using CHexEditCtrl::m_byteCur;
    using CHexEditCtrl::m_bSelecting;
    using CHexEditCtrl::m_bDragged;
    using CHexEditCtrl::m_nAnchor;
    using CHexEditCtrl::m_ptLast;
    using CHexEditCtrl::m_bTimer;
    // Texts, layout and caret operations.
    using CHexEditCtrl::GetAddressText;
    using CHexEditCtrl::GetHexText;
    using CHexEditCtrl::GetBitsText;
    using CHexEditCtrl::GetStatusText;
    using CHexEditCtrl::GetCharText;
    using CHexEditCtrl::GetRowCount;
    using CHexEditCtrl::FormatRow;
    using CHexEditCtrl::CreateCellFont;
    using CHexEditCtrl::RecalcLayout;
    using CHexEditCtrl::UpdateScrollBars;
    using CHexEditCtrl::EnsureCaretVisible;
    using CHexEditCtrl::MoveCaret;
    using CHexEditCtrl::UpdateCaret;
    using CHexEditCtrl::GetCaretByteIndex;
    using CHexEditCtrl::GetCaretByte;
    using CHexEditCtrl::ClearSelection;
    using CHexEditCtrl::AttributesAfterSave;
    // The UI Automation provider, once a client asked for it.
    using CHexEditCtrl::m_pAutomation;

    // The length of the edit class's own text, which the control's answer
    // to WM_GETTEXTLENGTH (the rows on screen) does not show.
    int EditClassTextLength() { return static_cast<int>(CEdit::DefWindowProc(WM_GETTEXTLENGTH, 0, 0)); }

    // Sizes the control's own array to n zero bytes directly: a host's copy
    // of a large block would need its memory twice. False, and no bytes,
    // when the memory cannot be had. The layout is left to the caller.
    bool SetSizeDirect(int n)
    {
        try {
            m_data.SetSize(0, -1);
            m_data.SetSize(n);
        } catch (CException* e) {
            e->Delete();
            m_data.SetSize(0, -1);
            return false;
        }
        return true;
    }
};

} // namespace qxtest
