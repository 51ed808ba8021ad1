// Model.h - the soak's model of the control's documented rules: the state
// read from the control before a message (State), and what each message must
// leave of the caret, the selection, the mouse-tracking state and the bytes
// (Model, which applies edits to the shadow copy of the bytes).
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace soak {

// ---------------------------------------------------------------------------
// The state the model works on, read from the control before a message.

struct State {
    LONGLONG size = 0;
    LONGLONG caret = 0;
    int area = 0;
    LONGLONG selStart = -1, selEnd = -1;
    bool selecting = false, dragged = false, timer = false;
    LONGLONG anchor = 0;
    POINT ptLast = {0, 0};
    int firstCol = 0, firstRow = 0, visCols = 0, visRows = 0;
    SIZE cell = {0, 0};
};

// ---------------------------------------------------------------------------
// The documented effect of each message on the caret, the selection, the
// mouse-tracking state and the bytes. Each Model* function takes the state
// before the message and leaves the state the control must have after it;
// edits are applied to the shadow bytes. Scroll positions are not modelled:
// the invariants bound them.

class Model {
public:
    explicit Model(std::vector<BYTE>& shadow) : m_shadow(shadow) {}

    // Whether the last message was one whose caret the model predicts.
    bool m_bPredictsCaret = true;
    bool m_bPredictsMouse = true;

    // The range of bytes the last message wrote, for a quick comparison.
    LONGLONG m_nWrittenFirst = -1, m_nWrittenLast = -1;

    void Reset()
    {
        m_bPredictsCaret = true;
        m_bPredictsMouse = true;
        m_nWrittenFirst = m_nWrittenLast = -1;
    }

    // --- keyboard ---

    void Key(State& s, UINT vk, bool bShift, bool bCtrl)
    {
        // Tab and Shift+Tab move the focus through the parent; nothing changes
        // here (the host's window procedure ignores WM_NEXTDLGCTL).
        if (vk == VK_TAB && !bCtrl)
            return;
        if (s.size == 0 || (bShift && bCtrl))
            return;

        enum { kNone, kCancel, kExtend, kKeep } selRule = kNone;
        const LONGLONG p0 = s.caret;
        switch (vk) {
        case VK_BACK:
            if (!bShift && !bCtrl)
                ByteEdit(s, 0x00, -1);
            return;
        case VK_INSERT:
            if (!bShift && !bCtrl)
                ByteEdit(s, 0xFF, +1);
            return;
        case VK_DELETE:
            if (!bShift && !bCtrl)
                ByteEdit(s, 0x00, +1);
            return;
        case VK_PRIOR:
        case VK_NEXT:
            if (bCtrl)
                return;
            MoveCaret(s, 0, vk == VK_PRIOR ? -10 : 10);
            selRule = bShift ? kExtend : kCancel;
            break;
        case VK_END:
            if (bShift)
                s.caret = s.area == 0 ? 3 * s.size : s.size;
            else
                s.caret = s.area == 0 ? 3 * s.size - 3 : s.size - 1;
            MoveCaret(s, 0, 0);
            selRule = bCtrl ? kKeep : bShift ? kExtend : kCancel;
            break;
        case VK_HOME:
            s.caret = 0;
            MoveCaret(s, 0, 0);
            selRule = bCtrl ? kKeep : bShift ? kExtend : kCancel;
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (bCtrl)
                return;
            MoveCaret(s, vk == VK_LEFT ? -1 : vk == VK_RIGHT ? 1 : 0, vk == VK_UP ? -1 : vk == VK_DOWN ? 1 : 0);
            selRule = bShift ? kExtend : kCancel;
            break;
        default:
            return;
        }

        if (selRule == kCancel) {
            if (HasSelection(s))
                ClearSelection(s);
        } else if (selRule == kExtend && s.area == 0) {
            ExtendSelection(s, p0);
        }
    }

    void Char(State& s, UINT ch)
    {
        if (s.size == 0)
            return;
        if (s.area == 1) {
            if (ch < 0x20 || ch == 0x7F)
                return;
            Write(s.caret, static_cast<BYTE>(ch & 0xFF), s.size);
            MoveCaret(s, 1, 0);
            return;
        }
        int d;
        if (ch >= '0' && ch <= '9')
            d = static_cast<int>(ch - '0');
        else if (ch >= 'a' && ch <= 'f')
            d = static_cast<int>(ch - 'a' + 10);
        else if (ch >= 'A' && ch <= 'F')
            d = static_cast<int>(ch - 'A' + 10);
        else
            return;
        const int digit = static_cast<int>(s.caret % 3);
        const LONGLONG i = s.caret / 3;
        BYTE b = i < s.size ? m_shadow[static_cast<size_t>(i)] : 0;
        BYTE v = digit == 0 ? static_cast<BYTE>((b & 0x0F) | (d << 4)) : static_cast<BYTE>((b & 0xF0) | d);
        Write(i, v, s.size);
        MoveCaret(s, 1, 0);
        if (digit + 1 == 2)
            MoveCaret(s, 1, 0);
    }

    // --- mouse ---

    void ButtonDown(State& s, bool bShift, POINT pt)
    {
        if (s.size == 0)
            return;
        s.selecting = true;
        if (HasSelection(s))
            ClearSelection(s);
        if (bShift) {
            s.anchor = s.area == 0 ? s.caret : 3 * s.caret;
            UpdateSelection(s, pt);
            s.dragged = true;
        } else {
            HitTest(s, pt);
            s.anchor = s.area == 0 ? s.caret : 3 * s.caret;
        }
        s.ptLast = pt;
    }

    void MouseMove(State& s, POINT pt, const RECT& rcClient)
    {
        if (s.size == 0 || !s.selecting)
            return;
        s.dragged = true;
        bool bInside = pt.x >= rcClient.left && pt.x < rcClient.right && pt.y >= rcClient.top &&
                       pt.y < rcClient.bottom;
        if (!s.timer && !bInside)
            s.timer = true;
        else if (s.timer && bInside)
            s.timer = false;
        s.ptLast = pt;
        UpdateSelection(s, pt);
    }

    void ButtonUp(State& s, POINT pt)
    {
        if (s.size == 0 || !s.selecting)
            return;
        if (s.dragged)
            UpdateSelection(s, pt);
        s.selecting = false;
        s.dragged = false;
        s.timer = false;
        if (s.area == 0 && HasSelection(s) && s.caret == s.selEnd)
            s.caret = s.selEnd + 1;
    }

    void DoubleClick(State& s, POINT pt)
    {
        if (s.size == 0)
            return;
        HitTest(s, pt);
        s.selStart = s.selEnd = s.area == 0 ? s.caret : 3 * s.caret;
        s.selecting = false;
    }

    // Another window took the capture: the drag ends as at a release, with
    // no new point.
    void CaptureLost(State& s)
    {
        if (!s.selecting)
            return;
        s.selecting = false;
        s.dragged = false;
        s.timer = false;
        if (s.area == 0 && HasSelection(s) && s.caret == s.selEnd)
            s.caret = s.selEnd + 1;
    }

    // Timer 1 re-applies the last point; the scrolling that follows is not
    // modelled.
    void Tick(State& s) { UpdateSelection(s, s.ptLast); }

    // --- whole-buffer operations ---

    // New bytes, from a load or SetData: the caret at the start, nothing
    // selected, and a drag in progress over.
    void Load(State& s, LONGLONG newSize)
    {
        s.size = newSize;
        s.selStart = s.selEnd = -1;
        s.caret = 0;
        s.area = 0;
        if (s.selecting)
            s.selecting = s.dragged = false;
        s.timer = false;
    }

private:
    std::vector<BYTE>& m_shadow;

    // Shift with a move: the selection grows from where the caret was (p0)
    // to where it is now, or its moving end follows the caret.
    void ExtendSelection(State& s, LONGLONG p0)
    {
        const LONGLONG p1 = s.caret;
        if (!HasSelection(s)) {
            if (p1 < p0) {
                s.selStart = p1;
                s.selEnd = p0 - 1;
            } else if (p1 > p0) {
                s.selStart = p0;
                s.selEnd = p1 - 1;
            }
        } else {
            if (p0 == s.selEnd + 1)
                s.selEnd = p1 - 1;
            else
                s.selStart = p1;
            if (s.selStart == s.selEnd + 1) {
                ClearSelection(s);
            } else if (s.selStart > s.selEnd + 1) {
                // The moving end went past the other: the cells between
                // the other end and the caret, as if begun there.
                LONGLONG start = s.selEnd + 1;
                s.selEnd = s.selStart - 1;
                s.selStart = start;
            }
        }
    }

    static bool HasSelection(const State& s) { return s.selStart != -1; }
    static void ClearSelection(State& s) { s.selStart = s.selEnd = -1; }

    void Write(LONGLONG i, BYTE v, LONGLONG size)
    {
        if (i < 0 || i >= size)
            return;
        m_shadow[static_cast<size_t>(i)] = v;
        Written(i, i);
    }
    void Written(LONGLONG first, LONGLONG last)
    {
        if (m_nWrittenFirst < 0 || first < m_nWrittenFirst)
            m_nWrittenFirst = first;
        if (last > m_nWrittenLast)
            m_nWrittenLast = last;
    }

    static void MoveCaret(State& s, LONGLONG nCols, LONGLONG nRows)
    {
        if (s.area == 0) {
            s.caret += nCols + nRows * 48;
            if (s.caret < 0)
                s.caret = 0;
            if (s.caret / 3 >= s.size)
                s.caret = 3 * s.size - 1;
        } else {
            s.caret += nCols + nRows * 16;
            if (s.caret < 0)
                s.caret = 0;
            if (s.caret >= s.size)
                s.caret = s.size - 1;
        }
    }

    void FillSelection(const State& s, BYTE v)
    {
        if (s.selStart > s.selEnd)
            return;
        LONGLONG first = s.selStart / 3;
        LONGLONG last = std::min(s.selEnd / 3, s.size - 1);
        if (first > last)
            return;
        std::memset(m_shadow.data() + first, v, static_cast<size_t>(last - first + 1));
        Written(first, last);
    }

    void ByteEdit(State& s, BYTE v, int step)
    {
        const bool bSel = HasSelection(s);
        if (bSel) {
            FillSelection(s, v);
        } else if (s.caret > 0) {
            Write(s.area == 0 ? s.caret / 3 : s.caret, v, s.size);
            MoveCaret(s, step, 0);
        }
        MoveCaret(s, 0, 0);
        if (bSel)
            ClearSelection(s);
    }

    // False when the point hits neither column.
    static bool HitTest(State& s, POINT pt)
    {
        if (s.cell.cx <= 0 || s.cell.cy <= 0)
            return false;
        LONGLONG col = pt.x / s.cell.cx + s.firstCol;
        LONGLONG row = pt.y / s.cell.cy + s.firstRow - 2;
        LONGLONG nRows = s.size / 16 + (s.size % 16 != 0 ? 1 : 0);
        if (row > nRows)
            return false;
        if (col >= 10 && col <= 10 + 48 - 2 && row >= 0) {
            s.area = 0;
            if ((col - 10) % 3 == 2)
                col++;
            s.caret = row * 48 + (col - 10);
            return true;
        }
        if (col >= 62 && col <= 62 + 16 && row >= 0) {
            s.area = 1;
            s.caret = row * 16 + (col - 62);
            return true;
        }
        return false;
    }

    // A point that hits neither column leaves the selection as it is
    // (re-applying the rules to the unchanged caret would take a cell off
    // its end at every move and tick).
    static void UpdateSelection(State& s, POINT pt)
    {
        if (s.size == 0 || !s.selecting)
            return;
        if (!HitTest(s, pt))
            return;
        if (s.area == 0) {
            LONGLONG c = s.caret, a = s.anchor;
            if (a < c) {
                s.selStart = a;
                s.selEnd = c - 1;
                s.caret = c - 1;
            } else {
                s.selStart = c;
                s.selEnd = a;
            }
        } else {
            LONGLONG c = 3 * s.caret, a = s.anchor;
            s.selStart = std::min(a, c);
            s.selEnd = std::max(a, c);
        }
    }
};

} // namespace soak
