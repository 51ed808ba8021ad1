// Checks.cpp - the soak's invariants: the state read from the control, the
// checks after each message (health, scroll positions, the model's
// prediction, the bytes), the picture against the one drawn item by item,
// and the saved files against the shadow bytes.
#include "Soak.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <cstdarg>

namespace soak {

std::string Format(const char* fmt, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

State ReadState(SoakHexEdit& ctl)
{
    State s;
    s.size = ctl.m_data.GetSize();
    s.caret = ctl.m_nCaretPos;
    s.area = ctl.m_nArea;
    s.selStart = ctl.m_nSelStart;
    s.selEnd = ctl.m_nSelEnd;
    s.selecting = ctl.m_bSelecting;
    s.dragged = ctl.m_bDragged;
    s.timer = ctl.m_bTimer;
    s.anchor = ctl.m_nAnchor;
    s.ptLast = ctl.m_ptLast;
    s.firstCol = ctl.m_nFirstCol;
    s.firstRow = ctl.m_nFirstRow;
    s.visCols = ctl.m_nVisCols;
    s.visRows = ctl.m_nVisRows;
    s.cell = ctl.m_sizeChar;
    return s;
}

std::string Describe(const State& s)
{
    return Format("size %lld, caret %lld in the %s column, selection [%lld, %lld], %s%s%sanchor %lld, "
                  "last point (%ld, %ld), first column %d, first row %d, %d x %d cells visible",
                  s.size, s.caret, s.area == 0 ? "hex" : "character", s.selStart, s.selEnd,
                  s.selecting ? "selecting, " : "", s.dragged ? "dragged, " : "", s.timer ? "timer on, " : "",
                  s.anchor, s.ptLast.x, s.ptLast.y, s.firstCol, s.firstRow, s.visCols, s.visRows);
}

void Soak::WriteFile(const std::string& path, const BYTE* p, size_t n)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        Fail("cannot create the soak's own file " + path);
    size_t done = 0;
    while (done < n) {
        DWORD chunk = static_cast<DWORD>(std::min<size_t>(n - done, 16 << 20)), written = 0;
        if (!::WriteFile(h, p + done, chunk, &written, NULL) || written != chunk)
            Fail("cannot write the soak's own file " + path);
        done += chunk;
    }
    ::CloseHandle(h);
}

// The file's bytes must be the shadow's, and its length the shadow's size.
void Soak::CheckFile(const std::string& path, const char* what)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        Fail(Format("%s: the saved file %s cannot be opened", what, path.c_str()));
    LARGE_INTEGER len;
    ::GetFileSizeEx(h, &len);
    if (static_cast<unsigned long long>(len.QuadPart) != m_shadow.size()) {
        ::CloseHandle(h);
        Fail(Format("%s: the saved file holds %lld bytes, the control %zu", what, len.QuadPart, m_shadow.size()));
    }
    std::vector<BYTE> buf(std::min<size_t>(m_shadow.size() + 1, 16 << 20));
    size_t done = 0;
    while (done < m_shadow.size()) {
        DWORD got = 0;
        DWORD want = static_cast<DWORD>(std::min(buf.size(), m_shadow.size() - done));
        if (!::ReadFile(h, buf.data(), want, &got, NULL) || got != want) {
            ::CloseHandle(h);
            Fail(Format("%s: the saved file cannot be read back", what));
        }
        if (std::memcmp(buf.data(), m_shadow.data() + done, want) != 0) {
            size_t i = 0;
            while (buf[i] == m_shadow[done + i])
                i++;
            ::CloseHandle(h);
            Fail(Format("%s: the saved file differs at byte %zu: 0x%02X, expected 0x%02X", what, done + i, buf[i],
                        m_shadow[done + i]));
        }
        done += want;
    }
    ::CloseHandle(h);
}

void Soak::CheckBytes(LONGLONG first, LONGLONG last, const char* what)
{
    const LONGLONG size = m_pCtl->m_data.GetSize();
    if (size != static_cast<LONGLONG>(m_shadow.size()))
        Fail(Format("%s: the control holds %lld bytes, expected %zu", what, size, m_shadow.size()));
    first = std::max<LONGLONG>(first, 0);
    last = std::min<LONGLONG>(last, size - 1);
    if (first > last)
        return;
    const BYTE* p = m_pCtl->m_data.GetData();
    if (std::memcmp(p + first, m_shadow.data() + first, static_cast<size_t>(last - first + 1)) == 0)
        return;
    LONGLONG i = first;
    while (p[i] == m_shadow[static_cast<size_t>(i)])
        i++;
    Fail(Format("%s: byte %lld is 0x%02X, expected 0x%02X", what, i, p[i], m_shadow[static_cast<size_t>(i)]));
}

// After a message: the invariants always, and, where the model predicts the
// message's effect, the state and the bytes it predicts.
void Soak::CheckAfter(const State& before, const State& expected, bool bPredicted)
{
    const State s = CheckHealth(before);
    CheckScrollPositions(s, before);
    if (!bPredicted)
        return;
    CheckPrediction(s, before, expected);
    CheckBytesAfter(s, before);
}

// No exception, no unexpected message box, the size kept, the caret in
// range; gives the state after the message.
State Soak::CheckHealth(const State& before)
{
    SoakHexEdit& ctl = *m_pCtl;
    if (ctl.m_nExceptions != 0)
        Fail("an exception reached the window procedure: " + ctl.m_strException, &before);
    if (MessageBoxCatcher::Count() != m_nBoxesExpected)
        Fail("a message box was shown: \"" + MessageBoxCatcher::Text() + "\"", &before);

    State s = ReadState(ctl);
    if (s.size != static_cast<LONGLONG>(m_shadow.size()))
        Fail(Format("the size changed from %zu to %lld", m_shadow.size(), s.size), &before);

    // The caret within its column's range, or beyond the data only after a
    // click there or new data of a smaller size.
    if (s.caret != before.caret || s.area != before.area || m_bStepMayGoBeyond)
        m_bBeyondAllowed = m_bStepMayGoBeyond;
    m_bStepMayGoBeyond = false;
    const LONGLONG limit = s.area == 0 ? 3 * s.size - 1 : s.size - 1;
    if (s.caret < 0 || s.area < 0 || s.area > 1)
        Fail(Format("the caret is at %lld in column %d", s.caret, s.area), &before);
    if (s.caret > limit && !(s.size == 0 && s.caret == 0) && !m_bBeyondAllowed)
        Fail(Format("the caret is at %lld, beyond %lld, after neither a click nor smaller data", s.caret, limit),
             &before);
    return s;
}

// Both scroll positions within the bars' ranges; the vertical position is
// what the bar reports.
void Soak::CheckScrollPositions(const State& s, const State& before)
{
    SoakHexEdit& ctl = *m_pCtl;
    const SCROLLINFO vert = ctl.Bar(SB_VERT);
    const bool bVert = vert.nMax != SoakHexEdit::kNoBarRecord;
    if (s.firstRow < 0)
        Fail(Format("the first row is %d", s.firstRow), &before);
    if (!bVert) {
        if (s.firstRow != 0)
            Fail(Format("the first row is %d and the vertical bar has no position", s.firstRow), &before);
    } else {
        if (vert.nPos != s.firstRow)
            Fail(Format("the first row is %d, the vertical bar reports %d", s.firstRow, vert.nPos), &before);
        if (s.firstRow < vert.nMin || s.firstRow > vert.nMax)
            Fail(Format("the first row %d lies outside the vertical bar's range %d to %d", s.firstRow, vert.nMin,
                        vert.nMax),
                 &before);
    }
    const SCROLLINFO horz = ctl.Bar(SB_HORZ);
    const bool bHorz = horz.nMax != SoakHexEdit::kNoBarRecord;
    if (s.firstCol < 0)
        Fail(Format("the first column is %d", s.firstCol), &before);
    if (ctl.BarShown(SB_HORZ)) {
        if (!bHorz || s.firstCol < horz.nMin || s.firstCol > horz.nMax)
            Fail(Format("the first column %d lies outside the horizontal bar's range %d to %d", s.firstCol,
                        horz.nMin, horz.nMax),
                 &before);
    } else if (s.firstCol != 0 && s.visCols > 78) {
        Fail(Format("the first column is %d with all columns in view", s.firstCol), &before);
    }
}

void Soak::CheckPrediction(const State& s, const State& before, const State& expected)
{
    if (m_model.m_bPredictsCaret &&
        (s.caret != expected.caret || s.area != expected.area || s.selStart != expected.selStart ||
         s.selEnd != expected.selEnd))
        Fail(Format("caret %lld in column %d, selection [%lld, %lld]; expected caret %lld in column %d, "
                    "selection [%lld, %lld]",
                    s.caret, s.area, s.selStart, s.selEnd, expected.caret, expected.area, expected.selStart,
                    expected.selEnd),
             &before);
    if (m_model.m_bPredictsMouse &&
        (s.selecting != expected.selecting || s.dragged != expected.dragged || s.timer != expected.timer ||
         s.anchor != expected.anchor))
        Fail(Format("mouse state: selecting %d, dragged %d, timer %d, anchor %lld; expected %d, %d, %d, %lld",
                    s.selecting, s.dragged, s.timer, s.anchor, expected.selecting, expected.dragged,
                    expected.timer, expected.anchor),
             &before);
}

// The bytes: all of them while the block is small, otherwise the bytes
// written and those around the caret before and after.
void Soak::CheckBytesAfter(const State& s, const State& before)
{
    if (m_shadow.size() <= 65536) {
        CheckAllBytes("after the message");
    } else {
        if (m_model.m_nWrittenFirst >= 0)
            CheckBytes(m_model.m_nWrittenFirst - 4, m_model.m_nWrittenLast + 4, "after the message");
        LONGLONG b0 = before.area == 0 ? before.caret / 3 : before.caret;
        LONGLONG b1 = s.area == 0 ? s.caret / 3 : s.caret;
        CheckBytes(b0 - 4, b0 + 4, "after the message");
        CheckBytes(b1 - 4, b1 + 4, "after the message");
    }
}

void Soak::CheckPicture()
{
    SoakHexEdit& ctl = *m_pCtl;
    RECT rc;
    ::GetClientRect(ctl.m_hWnd, &rc);
    if (rc.right <= 0 || rc.bottom <= 0)
        return;
    // The system caret inverts a cell; the picture is compared without it.
    bool bHidden = ::HideCaret(ctl.m_hWnd) != FALSE;
    Picture painted = Picture::FromWindow(ctl.m_hWnd);
    Picture reference = ctl.PaintPerItem();
    if (bHidden)
        ::ShowCaret(ctl.m_hWnd);
    POINT pt = painted.FirstDifference(reference);
    if (painted.empty() || pt.x != -1) {
        std::string path = m_dir + "soak_picture.ppm";
        painted.SavePpm(path.c_str());
        Fail(Format("the picture differs from the one drawn item by item at (%ld, %ld) (saved as %s)", pt.x,
                    pt.y, path.c_str()));
    }
}

} // namespace soak
