// hexedit_soak - a long random soak of CHexEditCtrl in a host window, and a
// handle and memory soak of its painting and layout.
//
// The message soak sends random messages as a person and a host would cause
// them: keys of the control's key table with random Shift and Ctrl, hex
// digits and other characters, clicks, Shift+clicks, drags inside and outside
// the window, double-clicks, right clicks, timer ticks, scroll messages of
// every code, resizes down to below one cell, focus changes, and now and then
// SetData, Fill, LoadFile and SaveFile of random sizes from 0 to 1 MiB (and
// once a block of 800 MiB). Before each message it takes the control's state;
// after it, it checks the invariants and compares the state and the bytes
// with what a model of the documented behaviour predicts from that state
// (a shadow copy of the bytes is kept up to date by the model). Every 10,000
// messages: a save and a load give back the same bytes, the bytes equal the
// shadow, and the picture equals the picture drawn item by item.
//
// The handle and memory soak then paints and lays the control out many
// times, and checks that 2,000 GDI objects can still be created and that the
// process's private bytes grew by at most 1 MiB.
//
// The first broken invariant ends the program with exit status 1, the seed,
// the step and the last ten messages. A step that hangs for two minutes ends
// it with status 3.
//
//   hexedit_soak [--seed N] [--messages N] [--seconds S] [--paints N]
//                [--big-mib N] [--checkpoint N] [--checks-only]
//
// --checks-only gives the verdict and the counts without any timing (the
// test suite's short run). A 32-bit build under an instruction-set emulator
// runs only so: its timings would say nothing of the control's speed.
#include "Clock.h"
#include "MessageBoxCatcher.h"
#include "TestHost.h"

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using qxtest::Picture;
using qxtest::Pump;

std::string Format(const char* fmt, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    return buf;
}

// ---------------------------------------------------------------------------
// The control with its state in reach, counting paints and noting any
// exception that reaches its window procedure (the framework then reports it
// in a message box).

class SoakHexEdit : public qxtest::TestHexEdit {
public:
    using CHexEditCtrl::m_bSelecting;
    using CHexEditCtrl::m_bDragged;
    using CHexEditCtrl::m_nAnchor;
    using CHexEditCtrl::m_ptLast;
    using CHexEditCtrl::m_bTimer;

    int m_nExceptions = 0;
    std::string m_strException;
    long long m_nPaints = 0;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT)
            m_nPaints++;
        try {
            return qxtest::TestHexEdit::WindowProc(message, wParam, lParam);
        } catch (CException* e) {
            char text[256] = "";
            e->GetErrorMessage(text, sizeof text);
            Note(message, Format("%s (%s)", e->GetRuntimeClass()->m_lpszClassName, text));
            throw;
        } catch (const std::exception& e) {
            Note(message, e.what());
            throw;
        } catch (...) {
            Note(message, "unknown exception");
            throw;
        }
    }

private:
    void Note(UINT message, const std::string& what)
    {
        if (m_nExceptions++ == 0)
            m_strException = Format("message 0x%04X: ", message) + what;
    }
};

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
    }

    void Char(State& s, UINT ch)
    {
        if (s.size == 0)
            return;
        if (s.area == 1) {
            if (ch < 0x20)
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

    void Load(State& s, LONGLONG newSize)
    {
        s.size = newSize;
        s.selStart = s.selEnd = -1;
        s.caret = 0;
        s.area = 0;
        s.timer = false;
    }

private:
    std::vector<BYTE>& m_shadow;

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

// ---------------------------------------------------------------------------
// The soak.

const int kHostWidth = 800;
const int kHostHeight = 600;

struct Options {
    unsigned seed = 0;
    long long messages = 1000000;
    double seconds = 0;        // 0: no time limit
    long long paints = 100000;
    int bigMiB = 800;          // 0: no big block
    long long checkpoint = 10000;
    bool checksOnly = false;   // counts and verdict, no timings
};

// Progress for the watchdog: the step and when it was last seen to change.
std::atomic<long long> g_nProgress{0};
unsigned g_nSeed = 0;

// The last ten messages sent, for the report of a broken invariant.
std::string g_lastMessages[10];
long long g_nLogged = 0;

void PrintLastMessages()
{
    std::fprintf(stderr, "  last messages (oldest first):\n");
    for (long long i = std::max(0LL, g_nLogged - 10); i < g_nLogged; i++)
        std::fprintf(stderr, "    %s\n", g_lastMessages[i % 10].c_str());
}

std::string KeyName(UINT vk)
{
    switch (vk) {
    case VK_BACK: return "VK_BACK";
    case VK_TAB: return "VK_TAB";
    case VK_PRIOR: return "VK_PRIOR";
    case VK_NEXT: return "VK_NEXT";
    case VK_END: return "VK_END";
    case VK_HOME: return "VK_HOME";
    case VK_LEFT: return "VK_LEFT";
    case VK_UP: return "VK_UP";
    case VK_RIGHT: return "VK_RIGHT";
    case VK_DOWN: return "VK_DOWN";
    case VK_INSERT: return "VK_INSERT";
    case VK_DELETE: return "VK_DELETE";
    case VK_RETURN: return "VK_RETURN";
    case VK_ESCAPE: return "VK_ESCAPE";
    case VK_SPACE: return "VK_SPACE";
    case VK_F5: return "VK_F5";
    default: return Format("vk 0x%02X", vk);
    }
}

class Soak {
public:
    Soak(const Options& opt) : m_opt(opt), m_rng(opt.seed), m_model(m_shadow) {}

    int Run();

private:
    const Options& m_opt;
    std::mt19937 m_rng;
    std::vector<BYTE> m_shadow;
    Model m_model;
    qxtest::TestHost* m_pHost = nullptr;
    SoakHexEdit* m_pCtl = nullptr;
    MessageBoxCatcher* m_pBoxes = nullptr;
    int m_nBoxesExpected = 0;

    long long m_nStep = 0;
    bool m_bBeyondAllowed = true;   // the caret may lie past the data
    bool m_bStepMayGoBeyond = false; // this step may put it there
    std::string m_dir;              // temporary files
    int m_nFile = 0;

    // Figures.
    long long m_nCheckpoints = 0, m_nSetData = 0, m_nFill = 0, m_nLoad = 0, m_nSave = 0, m_nPumps = 0;
    double m_bigLoadSeconds = 0, m_bigSaveSeconds = 0;
    long long m_nBigMessages = 0;
    // Where the time goes: per kind of message (keys, characters, mouse,
    // timer, scroll, resize, focus, other), the checks, the pumps.
    double m_kindSeconds[8] = {}, m_checkSeconds = 0, m_pumpSeconds = 0;
    long long m_kindCount[8] = {};

    // --- random helpers ---
    int Rand(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(m_rng) < p; }

    LONGLONG RandomSize()
    {
        int r = Rand(0, 99);
        if (r < 5)
            return 0;
        if (r < 25)
            return Rand(1, 64);
        if (r < 60)
            return Rand(65, 4096);
        if (r < 85)
            return Rand(4097, 65536);
        return Rand(65537, 1 << 20);
    }

    std::vector<BYTE> RandomBytes(LONGLONG n)
    {
        std::vector<BYTE> v(static_cast<size_t>(n));
        // Sometimes all printable, sometimes all random.
        bool bText = Chance(0.3);
        for (auto& b : v)
            b = bText ? static_cast<BYTE>(Rand(0x20, 0x7E)) : static_cast<BYTE>(m_rng());
        return v;
    }

    std::string TempPath(const char* what) { return m_dir + Format("soak_%lu_%s_%d.bin", ::GetCurrentProcessId(), what, m_nFile++ % 4); }

    // --- failure ---
    [[noreturn]] void Fail(const std::string& what, const State* pBefore = nullptr)
    {
        std::fflush(stdout);
        std::fprintf(stderr, "\nBROKEN INVARIANT: %s\n", what.c_str());
        std::fprintf(stderr, "  seed %u, step %lld\n", m_opt.seed, m_nStep);
        if (pBefore != nullptr)
            std::fprintf(stderr, "  before: %s\n", Describe(*pBefore).c_str());
        if (m_pCtl != nullptr && m_pCtl->m_hWnd != NULL)
            std::fprintf(stderr, "  after:  %s\n", Describe(ReadState(*m_pCtl)).c_str());
        PrintLastMessages();
        std::fflush(stderr);
        ::ExitProcess(1);
    }

    void Log(const std::string& text) { g_lastMessages[g_nLogged++ % 10] = Format("step %lld: ", m_nStep) + text; }

    // --- the steps ---
    void Step();
    void SendKey(State& s);
    void SendChar(State& s);
    void SendMouse(State& s);
    void SendScroll();
    void Resize();
    void ChangeFocus();
    void BufferOperation(State& s);
    POINT RandomPoint(bool bOutside);

    void SetKeys(bool bShift, bool bCtrl)
    {
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_SHIFT] = keys[VK_LSHIFT] = bShift ? 0x80 : 0;
        keys[VK_CONTROL] = keys[VK_LCONTROL] = bCtrl ? 0x80 : 0;
        keys[VK_RSHIFT] = keys[VK_RCONTROL] = 0;
        ::SetKeyboardState(keys);
    }

    // --- the checks ---
    void CheckAfter(const State& before, const State& expected, bool bPredicted);
    void CheckBytes(LONGLONG first, LONGLONG last, const char* what);
    void CheckAllBytes(const char* what) { CheckBytes(0, static_cast<LONGLONG>(m_shadow.size()) - 1, what); }
    void Checkpoint();
    void CheckPicture();
    void CheckFile(const std::string& path, const char* what);

    void PumpAndCheck();
    void BigBlock();
    void WriteFile(const std::string& path, const BYTE* p, size_t n);
    void SetDataFromShadow();

    bool PaintSoak(long long nPaints);
};

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

void Soak::CheckAfter(const State& before, const State& expected, bool bPredicted)
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

    // Both scroll positions within the bars' ranges; the vertical position is
    // what the bar reports.
    SCROLLINFO vert = {};
    vert.cbSize = sizeof vert;
    vert.fMask = SIF_ALL;
    BOOL bVert = ::GetScrollInfo(ctl.m_hWnd, SB_VERT, &vert);
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
    SCROLLINFO horz = {};
    horz.cbSize = sizeof horz;
    horz.fMask = SIF_ALL;
    BOOL bHorz = ::GetScrollInfo(ctl.m_hWnd, SB_HORZ, &horz);
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

    if (!bPredicted)
        return;
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

    // The bytes: all of them while the block is small, otherwise the bytes
    // written and those around the caret before and after.
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

POINT Soak::RandomPoint(bool bOutside)
{
    RECT rc;
    ::GetClientRect(m_pCtl->m_hWnd, &rc);
    if (!bOutside && rc.right > 0 && rc.bottom > 0)
        return POINT{Rand(0, rc.right - 1), Rand(0, rc.bottom - 1)};
    // Outside: beside, above or below the client area, near or nFar.
    int nFar = Chance(0.2) ? 2000 : 200;
    switch (Rand(0, 3)) {
    case 0: return POINT{Rand(-nFar, -1), Rand(-nFar, rc.bottom + nFar)};
    case 1: return POINT{rc.right + Rand(0, nFar), Rand(-nFar, rc.bottom + nFar)};
    case 2: return POINT{Rand(-nFar, rc.right + nFar), Rand(-nFar, -1)};
    default: return POINT{Rand(-nFar, rc.right + nFar), rc.bottom + Rand(0, nFar)};
    }
}

void Soak::SendKey(State& s)
{
    static const UINT kTable[] = {VK_BACK, VK_TAB,   VK_PRIOR, VK_NEXT,  VK_END,    VK_HOME,
                                  VK_LEFT, VK_UP,    VK_RIGHT, VK_DOWN,  VK_INSERT, VK_DELETE};
    static const UINT kOthers[] = {VK_RETURN, VK_ESCAPE, VK_SPACE, VK_F5, 'A', 'Z', '7', VK_F6, VK_CAPITAL};
    UINT vk = Chance(0.9) ? kTable[Rand(0, 11)] : kOthers[Rand(0, 8)];
    // Tab moves the focus away; keep it rarer than the other keys.
    if (vk == VK_TAB && Chance(0.7))
        vk = VK_RIGHT;
    int r = Rand(0, 99);
    bool bShift = (r >= 50 && r < 75) || r >= 90;
    bool bCtrl = r >= 75;
    SetKeys(bShift, bCtrl);
    Log(Format("WM_KEYDOWN %s%s%s", bShift ? "Shift+" : "", bCtrl ? "Ctrl+" : "", KeyName(vk).c_str()));
    m_model.Key(s, vk, bShift, bCtrl);
    ::SendMessageA(m_pCtl->m_hWnd, WM_KEYDOWN, vk, 1 | (::MapVirtualKeyA(vk, 0) << 16));
    if (Chance(0.3))
        ::SendMessageA(m_pCtl->m_hWnd, WM_KEYUP, vk, 1 | (::MapVirtualKeyA(vk, 0) << 16) | 0xC0000000);
    SetKeys(false, false);
}

void Soak::SendChar(State& s)
{
    static const char kHex[] = "0123456789abcdefABCDEF";
    UINT ch = Chance(0.65) ? static_cast<BYTE>(kHex[Rand(0, 21)]) : static_cast<UINT>(Rand(0, 255));
    Log(Format("WM_CHAR 0x%02X", ch));
    m_model.Char(s, ch);
    ::SendMessageA(m_pCtl->m_hWnd, WM_CHAR, ch, 1);
}

void Soak::SendMouse(State& s)
{
    HWND hWnd = m_pCtl->m_hWnd;
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    // While a button is held, mostly moves and the release; otherwise mostly
    // presses.
    int r = Rand(0, 99);
    int kind;   // 0 press, 1 Shift+press, 2 move, 3 release, 4 double-click, 5 right click, 6 context menu
    if (s.selecting)
        kind = r < 60 ? 2 : r < 85 ? 3 : r < 90 ? 0 : r < 94 ? 1 : r < 97 ? 4 : 5;
    else
        kind = r < 40 ? 0 : r < 55 ? 1 : r < 70 ? 2 : r < 78 ? 3 : r < 90 ? 4 : r < 96 ? 5 : 6;
    bool bOutside = kind == 2 ? Chance(0.3) : Chance(0.05);
    POINT pt = RandomPoint(bOutside);
    LPARAM lp = MAKELPARAM(static_cast<short>(pt.x), static_cast<short>(pt.y));
    switch (kind) {
    case 0:
    case 1: {
        bool bShift = kind == 1;
        Log(Format("WM_LBUTTONDOWN%s (%ld, %ld)", bShift ? " MK_SHIFT" : "", pt.x, pt.y));
        m_model.ButtonDown(s, bShift, pt);
        SetKeys(bShift, false);
        ::SendMessageA(hWnd, WM_LBUTTONDOWN, MK_LBUTTON | (bShift ? MK_SHIFT : 0), lp);
        SetKeys(false, false);
        break;
    }
    case 2:
        Log(Format("WM_MOUSEMOVE MK_LBUTTON (%ld, %ld)", pt.x, pt.y));
        m_model.MouseMove(s, pt, rc);
        ::SendMessageA(hWnd, WM_MOUSEMOVE, s.selecting ? MK_LBUTTON : 0, lp);
        break;
    case 3:
        Log(Format("WM_LBUTTONUP (%ld, %ld)", pt.x, pt.y));
        m_model.ButtonUp(s, pt);
        ::SendMessageA(hWnd, WM_LBUTTONUP, 0, lp);
        break;
    case 4:
        Log(Format("WM_LBUTTONDBLCLK (%ld, %ld)", pt.x, pt.y));
        m_model.DoubleClick(s, pt);
        ::SendMessageA(hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
        break;
    case 5:
        Log(Format("WM_RBUTTONDOWN, WM_RBUTTONUP (%ld, %ld)", pt.x, pt.y));
        ::SendMessageA(hWnd, WM_RBUTTONDOWN, MK_RBUTTON, lp);
        ::SendMessageA(hWnd, WM_RBUTTONUP, 0, lp);
        break;
    default: {
        POINT scr = pt;
        ::ClientToScreen(hWnd, &scr);
        Log(Format("WM_CONTEXTMENU (%ld, %ld)", scr.x, scr.y));
        ::SendMessageA(hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hWnd),
                       MAKELPARAM(static_cast<short>(scr.x), static_cast<short>(scr.y)));
        break;
    }
    }
    // The caret may rest beyond the data after a press, a move or a
    // double-click, until it moves by other means.
    m_bStepMayGoBeyond = true;
}

void Soak::SendScroll()
{
    static const char* const kVert[] = {"SB_LINEUP", "SB_LINEDOWN", "SB_PAGEUP", "SB_PAGEDOWN", "SB_THUMBPOSITION",
                                        "SB_THUMBTRACK", "SB_TOP", "SB_BOTTOM", "SB_ENDSCROLL"};
    static const char* const kHorz[] = {"SB_LINELEFT", "SB_LINERIGHT", "SB_PAGELEFT", "SB_PAGERIGHT",
                                        "SB_THUMBPOSITION", "SB_THUMBTRACK", "SB_LEFT", "SB_RIGHT",
                                        "SB_ENDSCROLL"};
    bool bVert = Chance(0.65);
    int code = Rand(0, 8);
    int pos = Rand(0, 300);
    Log(Format("%s %s, %d", bVert ? "WM_VSCROLL" : "WM_HSCROLL", bVert ? kVert[code] : kHorz[code], pos));
    ::SendMessageA(m_pCtl->m_hWnd, bVert ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, pos), 0);
}

void Soak::Resize()
{
    int w, h;
    int r = Rand(0, 99);
    if (r < 15) {   // below one cell either way
        w = Rand(0, 12);
        h = Rand(0, 24);
    } else if (r < 30) {
        w = Rand(0, kHostWidth);
        h = Rand(0, 60);
    } else if (r < 45) {
        w = Rand(0, 120);
        h = Rand(0, kHostHeight);
    } else {
        w = Rand(100, kHostWidth);
        h = Rand(60, kHostHeight);
    }
    Log(Format("MoveWindow 0, 0, %d, %d", w, h));
    m_pCtl->MoveWindow(0, 0, w, h, TRUE);
}

void Soak::ChangeFocus()
{
    if (::GetFocus() == m_pCtl->m_hWnd && Chance(0.7)) {
        Log("SetFocus to the host");
        ::SetFocus(m_pHost->hwnd());
    } else {
        Log("SetFocus to the control");
        ::SetFocus(m_pCtl->m_hWnd);
    }
}

void Soak::SetDataFromShadow()
{
    CByteArray a;
    a.SetSize(static_cast<int>(m_shadow.size()));
    if (!m_shadow.empty())
        std::memcpy(a.GetData(), m_shadow.data(), m_shadow.size());
    m_pCtl->SetData(&a);
}

void Soak::BufferOperation(State& s)
{
    int r = Rand(0, 99);
    if (r < 35) {
        LONGLONG n = RandomSize();
        Log(Format("SetData of %lld bytes", n));
        LONGLONG old = s.size;
        m_shadow = RandomBytes(n);
        s.size = n;
        SetDataFromShadow();
        if (n < old)
            m_bStepMayGoBeyond = true;
        m_nSetData++;
    } else if (r < 55) {
        BYTE v = Chance(0.5) ? (Chance(0.5) ? 0x00 : 0xFF) : static_cast<BYTE>(m_rng());
        Log(Format("Fill 0x%02X", v));
        std::fill(m_shadow.begin(), m_shadow.end(), v);
        m_pCtl->Fill(v);
        m_nFill++;
    } else if (r < 80) {
        LONGLONG n = RandomSize();
        std::string path = TempPath("load");
        std::vector<BYTE> bytes = RandomBytes(n);
        WriteFile(path, bytes.data(), bytes.size());
        Log(Format("LoadFile of %lld bytes", n));
        m_shadow.swap(bytes);
        m_model.Load(s, n);
        m_pCtl->LoadFile(path.c_str());
        ::DeleteFileA(path.c_str());
        m_nLoad++;
    } else if (r < 97) {
        std::string path = TempPath("save");
        Log(Format("SaveFile of %zu bytes", m_shadow.size()));
        m_pCtl->SaveFile(path.c_str());
        CheckFile(path, "SaveFile");
        ::DeleteFileA(path.c_str());
        m_nSave++;
    } else {
        // A file that is not there: the framework's message, nothing changes.
        std::string path = m_dir + "soak_no_such_file.bin";
        Log("LoadFile of a missing file");
        m_nBoxesExpected++;
        // The message box takes the mouse capture: a drag ends as at a
        // release where it stands.
        m_model.CaptureLost(s);
        m_pCtl->LoadFile(path.c_str());
        if (MessageBoxCatcher::Text().find("non trovato") == std::string::npos)
            Fail("LoadFile of a missing file showed \"" + MessageBoxCatcher::Text() + "\"");
    }
}

// Pumps the queue: paints, and the timer's real ticks while a drag is out.
void Soak::PumpAndCheck()
{
    State before = ReadState(*m_pCtl);
    Log("(pump)");
    const double t0 = ClockSeconds();
    Pump();
    m_pumpSeconds += ClockSeconds() - t0;
    m_nPumps++;
    // The timer's ticks move the caret as a drag does.
    m_bStepMayGoBeyond = before.selecting;
    CheckAfter(before, before, false);
    // Nothing the queue holds edits bytes.
    if (m_shadow.size() <= (2u << 20))
        CheckAllBytes("after pumping the queue");
}

void Soak::Step()
{
    State before = ReadState(*m_pCtl);
    State s = before;
    m_model.Reset();
    bool bPredicted = true;

    int r = Rand(0, 999);
    const double t0 = ClockSeconds();
    int kind = r < 340 ? 0 : r < 540 ? 1 : r < 800 ? 2 : r < 830 ? 3 : r < 970 ? 4 : r < 975 ? 5 : r < 990 ? 6 : 7;
    if (r < 340) {
        SendKey(s);
    } else if (r < 540) {
        SendChar(s);
    } else if (r < 800) {
        SendMouse(s);
    } else if (r < 830) {
        // Timer ticks: identifier 1 while the auto-scroll timer runs; another
        // identifier (the edit window's own) goes to default processing.
        if (before.timer && Chance(0.9)) {
            Log("WM_TIMER 1");
            m_model.Tick(s);
            ::SendMessageA(m_pCtl->m_hWnd, WM_TIMER, 1, 0);
            m_bStepMayGoBeyond = true;
        } else {
            Log("WM_TIMER 2");
            ::SendMessageA(m_pCtl->m_hWnd, WM_TIMER, 2, 0);
        }
    } else if (r < 970) {
        SendScroll();
    } else if (r < 975) {
        // A resize costs as much as twenty other messages under Wine.
        Resize();
    } else if (r < 990) {
        ChangeFocus();
    } else if (r < 993 && m_nBigMessages == 0) {
        BufferOperation(s);
    } else {
        // Key releases and other harmless traffic.
        Log("WM_KEYUP VK_SHIFT");
        ::SendMessageA(m_pCtl->m_hWnd, WM_KEYUP, VK_SHIFT, 0xC0000001);
    }
    const double t1 = ClockSeconds();
    CheckAfter(before, s, bPredicted);
    m_kindSeconds[kind] += t1 - t0;
    m_kindCount[kind]++;
    m_checkSeconds += ClockSeconds() - t1;
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

void Soak::Checkpoint()
{
    Log("(checkpoint)");
    Pump();
    State before = ReadState(*m_pCtl);
    CheckAfter(before, before, false);
    CheckAllBytes("at the checkpoint");
    CheckPicture();

    // A save and a load give back the same bytes.
    std::string path = TempPath("checkpoint");
    m_pCtl->SaveFile(path.c_str());
    CheckFile(path, "the checkpoint's save");
    if (m_shadow.size() <= (64u << 20)) {
        State s = before;
        m_model.Reset();
        m_model.Load(s, static_cast<LONGLONG>(m_shadow.size()));
        m_pCtl->LoadFile(path.c_str());
        CheckAfter(before, s, true);
        if (m_pCtl->m_nFirstRow != 0 || m_pCtl->m_nFirstCol != 0)
            Fail(Format("after a load the view is at row %d, column %d", m_pCtl->m_nFirstRow, m_pCtl->m_nFirstCol));
        CheckAllBytes("after the checkpoint's load");
        Pump();
        CheckPicture();
    }
    ::DeleteFileA(path.c_str());
    m_nCheckpoints++;
}

// Once: a block of m_opt.bigMiB MiB, loaded from a file, edited by a few
// thousand random messages, saved and compared; then small data again.
void Soak::BigBlock()
{
    const size_t n = static_cast<size_t>(m_opt.bigMiB) << 20;
    std::printf("  big block: %zu bytes ...\n", n);
    std::fflush(stdout);
    std::vector<BYTE> big;
    try {
        big.resize(n);
    } catch (const std::bad_alloc&) {
        std::printf("  big block: %zu bytes cannot be allocated for the shadow; skipped\n", n);
        return;
    }
    for (size_t i = 0; i < n; i++)
        big[i] = static_cast<BYTE>((i * 131) ^ (i >> 11));
    std::string path = TempPath("big");
    WriteFile(path, big.data(), n);

    State before = ReadState(*m_pCtl);
    State s = before;
    Log(Format("LoadFile of %zu bytes", n));
    m_shadow.swap(big);
    big.clear();
    big.shrink_to_fit();
    m_model.Reset();
    m_model.Load(s, static_cast<LONGLONG>(n));
    double t0 = ClockSeconds();
    m_pCtl->LoadFile(path.c_str());
    m_bigLoadSeconds = ClockSeconds() - t0;
    ::DeleteFileA(path.c_str());
    if (m_pCtl->m_nExceptions != 0 || m_pCtl->m_data.GetSize() == 0) {
        std::printf("  big block: the control could not load %zu bytes (%s)\n", n, m_pCtl->m_strException.c_str());
        Fail("loading the big block failed");
    }
    CheckAfter(before, s, true);
    CheckAllBytes("after loading the big block");

    // Random messages over the big block, with the caret sent to its end now
    // and then.
    const long long nMessages = 3000;
    for (long long i = 0; i < nMessages; i++) {
        m_nStep++;
        m_nBigMessages++;
        g_nProgress = m_nStep;
        if (i % 500 == 0) {
            SetKeys(false, i % 1000 == 0);
            Log("WM_KEYDOWN VK_END");
            State b = ReadState(*m_pCtl);
            State e = b;
            m_model.Reset();
            m_model.Key(e, VK_END, false, i % 1000 == 0);
            ::SendMessageA(m_pCtl->m_hWnd, WM_KEYDOWN, VK_END, 1);
            SetKeys(false, false);
            CheckAfter(b, e, true);
            continue;
        }
        Step();
        if (i % 100 == 99)
            PumpAndCheck();
    }
    Pump();
    CheckAllBytes("after the messages over the big block");
    CheckPicture();
    {
        std::string savePath = TempPath("bigsave");
        Log(Format("SaveFile of %zu bytes", n));
        t0 = ClockSeconds();
        m_pCtl->SaveFile(savePath.c_str());
        m_bigSaveSeconds = ClockSeconds() - t0;
        CheckFile(savePath, "the big block's save");
        ::DeleteFileA(savePath.c_str());
    }
    if (m_opt.checksOnly)
        std::printf("  big block: %zu bytes, loaded, %lld messages, saved, the same bytes\n", n, nMessages);
    else
        std::printf("  big block: %zu bytes, loaded in %.1f s, %lld messages, saved in %.1f s, the same bytes\n", n,
                    m_bigLoadSeconds, nMessages, m_bigSaveSeconds);
    std::fflush(stdout);

    // Back to small data.
    m_nStep++;
    Log("SetData of 4096 bytes");
    State b = ReadState(*m_pCtl);
    State e = b;
    m_shadow = RandomBytes(4096);
    e.size = 4096;
    m_model.Reset();
    SetDataFromShadow();
    m_bStepMayGoBeyond = true;
    CheckAfter(b, e, true);
}

// 100,000 paints and layouts, then GDI objects can still be created and the
// private bytes have not grown.
bool Soak::PaintSoak(long long nPaints)
{
    SoakHexEdit& ctl = *m_pCtl;
    // A small window: the soak is about what each paint and layout leaves
    // behind, and a paint of a large one costs four times as long.
    ctl.MoveWindow(0, 0, 320, 200, TRUE);
    m_shadow.resize(4096);
    for (size_t i = 0; i < m_shadow.size(); i++)
        m_shadow[i] = static_cast<BYTE>(i);
    SetDataFromShadow();
    ::SetFocus(ctl.m_hWnd);
    Pump();

    // The process's private bytes: what the system reports, or, where it
    // reports nothing (Wine), the committed private pages of the address
    // space, counted region by region.
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX pmc = {};
        pmc.cb = sizeof pmc;
        if (::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                                   sizeof pmc) &&
            pmc.PrivateUsage != 0)
            return static_cast<long long>(pmc.PrivateUsage);
        long long total = 0;
        SYSTEM_INFO si;
        ::GetSystemInfo(&si);
        const BYTE* p = static_cast<const BYTE*>(si.lpMinimumApplicationAddress);
        MEMORY_BASIC_INFORMATION mbi;
        while (p < si.lpMaximumApplicationAddress && ::VirtualQuery(p, &mbi, sizeof mbi) == sizeof mbi) {
            if (mbi.State == MEM_COMMIT && mbi.Type == MEM_PRIVATE)
                total += static_cast<long long>(mbi.RegionSize);
            p = static_cast<const BYTE*>(mbi.BaseAddress) + mbi.RegionSize;
        }
        return total;
    };
    // One paint and one layout, in states that take every path of the
    // painter: scrolled, with and without a selection, the caret moving.
    auto once = [&](long long i) {
        if (i % 7 == 0) {
            ctl.m_nSelStart = (i % 3 == 0) ? -1 : 3 * (i % 200);
            ctl.m_nSelEnd = ctl.m_nSelStart < 0 ? -1 : ctl.m_nSelStart + 3 * (i % 300);
        }
        if (i % 11 == 0)
            ::SendMessageA(ctl.m_hWnd, WM_VSCROLL, (i / 11) % 40 < 20 ? SB_LINEDOWN : SB_LINEUP, 0);
        if (i % 13 == 0)
            ::SendMessageA(ctl.m_hWnd, WM_HSCROLL, (i / 13) % 10 < 5 ? SB_LINERIGHT : SB_LINELEFT, 0);
        ctl.RecalcLayout();
        ::InvalidateRect(ctl.m_hWnd, NULL, FALSE);
        ::UpdateWindow(ctl.m_hWnd);
        if (i % 100 == 0) {
            Pump();
            g_nProgress = -i - 1;
            if (ctl.m_nExceptions != 0)
                Fail(Format("an exception reached the window procedure by paint %lld: ", i + 1) +
                     ctl.m_strException);
        }
    };
    for (long long i = 0; i < 300; i++)
        once(i);
    Pump();

    // Wine keeps GDI objects out of the process's private bytes and reports
    // no GDI counts, so the soak takes all but 3,000 of the process's GDI
    // handles first: a paint or a layout that leaves one handle behind uses
    // up the rest within the soak, and the 2,000 objects after it cannot be
    // had.
    std::vector<HBRUSH> hogs;
    while (hogs.size() < 300000) {
        HBRUSH h = ::CreateSolidBrush(RGB(hogs.size() & 255, 7, 9));
        if (h == NULL)
            break;
        hogs.push_back(h);
    }
    const bool bLimitReached = hogs.size() < 300000;
    for (int i = 0; i < 3000 && !hogs.empty(); i++) {
        ::DeleteObject(hogs.back());
        hogs.pop_back();
    }
    if (!bLimitReached) {
        for (HBRUSH h : hogs)
            ::DeleteObject(h);
        hogs.clear();
    }

    long long before = privateBytes();
    long long paintsBefore = ctl.m_nPaints;
    double t0 = ClockSeconds();
    for (long long i = 0; i < nPaints; i++)
        once(i);
    Pump();
    double seconds = ClockSeconds() - t0;
    long long after = privateBytes();
    long long painted = ctl.m_nPaints - paintsBefore;
    if (ctl.m_nExceptions != 0)
        Fail("an exception reached the window procedure while painting: " + ctl.m_strException);

    // 2,000 GDI objects of the kinds a paint uses.
    std::vector<HGDIOBJ> objects;
    HDC hScreen = ::GetDC(NULL);
    int nFailed = 0;
    for (int i = 0; i < 2000; i++) {
        HGDIOBJ h = NULL;
        switch (i % 4) {
        case 0: h = ::CreateSolidBrush(RGB(i & 255, 3, 5)); break;
        case 1: h = ::CreateFontA(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, FIXED_PITCH | FF_MODERN, NULL); break;
        case 2: h = ::CreateCompatibleBitmap(hScreen, 16, 16); break;
        default: h = ::CreatePen(PS_SOLID, 1, RGB(i & 255, 0, 0)); break;
        }
        if (h == NULL)
            nFailed++;
        else
            objects.push_back(h);
    }
    for (HGDIOBJ h : objects)
        ::DeleteObject(h);
    ::ReleaseDC(NULL, hScreen);
    for (HBRUSH h : hogs)
        ::DeleteObject(h);

    if (m_opt.checksOnly)
        std::printf("  paints and layouts                   %lld (%lld WM_PAINT)\n", nPaints, painted);
    else
        std::printf("  paints and layouts                   %lld (%lld WM_PAINT) in %.1f s, %.2f ms each\n", nPaints,
                    painted, seconds, nPaints > 0 ? seconds * 1000.0 / nPaints : 0.0);
    std::printf("  private bytes before, after, change  %lld, %lld, %+lld (limit +1048576)\n", before, after,
                after - before);
    std::printf("  GDI objects created after the soak   %d of 2000 (%s)\n", 2000 - nFailed,
                bLimitReached ? Format("with all but 3000 of %zu handles held", hogs.size() + 3000).c_str()
                              : "no handle limit found");
    std::fflush(stdout);
    if (painted < nPaints)
        Fail(Format("only %lld of %lld paints reached the control", painted, nPaints));
    if (nFailed != 0)
        Fail(Format("after %lld paints and layouts %d of 2000 GDI objects could not be created", nPaints, nFailed));
    if (after - before > (1 << 20))
        Fail(Format("the private bytes grew by %lld over %lld paints and layouts", after - before, nPaints));
    return true;
}

int Soak::Run()
{
    char dir[MAX_PATH];
    ::GetTempPathA(sizeof dir, dir);
    m_dir = dir;

    qxtest::TestHost host(kHostWidth, kHostHeight);
    SoakHexEdit ctl;
    MessageBoxCatcher boxes;
    m_pHost = &host;
    m_pCtl = &ctl;
    m_pBoxes = &boxes;
    if (!ctl.CreateIn(host, kHostWidth, kHostHeight))
        Fail("the control's window cannot be created");
    m_shadow = RandomBytes(4096);
    SetDataFromShadow();
    ::SetFocus(ctl.m_hWnd);
    Pump();

    std::printf("hexedit_soak: seed %u, %lld messages%s, %lld paints, big block %d MiB\n", m_opt.seed,
                m_opt.messages, m_opt.seconds > 0 ? Format(" or %.0f s", m_opt.seconds).c_str() : "",
                m_opt.paints, m_opt.bigMiB);
    std::fflush(stdout);

    const double t0 = ClockSeconds();
    const long long paintsBefore = ctl.m_nPaints;
    long long nextPump = Rand(50, 150);
    long long nSent = 0;
    const long long bigAt = m_opt.bigMiB > 0 ? m_opt.messages / 2 : -1;
    double bigSeconds = 0;
    bool bBigDone = bigAt < 0;
    while (nSent < m_opt.messages) {
        if (m_opt.seconds > 0 && (nSent & 255) == 0 && ClockSeconds() - t0 - bigSeconds > m_opt.seconds)
            break;
        // The big block halfway: through the messages, or through the time.
        if (!bBigDone && (nSent == bigAt || (m_opt.seconds > 0 && (nSent & 255) == 0 &&
                                             ClockSeconds() - t0 > m_opt.seconds / 2))) {
            bBigDone = true;
            double tb = ClockSeconds();
            BigBlock();
            bigSeconds = ClockSeconds() - tb;
        }
        m_nStep++;
        nSent++;
        g_nProgress = m_nStep;
        Step();
        if (--nextPump == 0) {
            PumpAndCheck();
            nextPump = Rand(50, 150);
        }
        if (nSent % m_opt.checkpoint == 0)
            Checkpoint();
        if (nSent % 100000 == 0 && !m_opt.checksOnly) {
            std::printf("  %lld messages, %.0f s\n", nSent, ClockSeconds() - t0);
            std::fflush(stdout);
        }
    }
    Checkpoint();
    const double seconds = ClockSeconds() - t0 - bigSeconds;
    const long long total = nSent + m_nBigMessages;

    std::printf("  messages                             %lld (%lld over the big block)\n", total, m_nBigMessages);
    if (!m_opt.checksOnly) {
        std::printf("  time (without the big block)         %.1f s\n", seconds);
        std::printf("  messages a second                    %.0f\n", seconds > 0 ? nSent / seconds : 0.0);
    }
    std::printf("  paints during the messages           %lld, queue pumped %lld times\n",
                ctl.m_nPaints - paintsBefore, m_nPumps);
    std::printf("  checkpoints (save, load, picture)    %lld\n", m_nCheckpoints);
    std::printf("  SetData, Fill, LoadFile, SaveFile    %lld, %lld, %lld, %lld\n", m_nSetData, m_nFill, m_nLoad,
                m_nSave);
    std::printf("  message boxes (missing files)        %d\n", m_nBoxesExpected);
    static const char* const kKinds[] = {"keys", "characters", "mouse", "timer", "scroll", "resize", "focus",
                                         "other"};
    if (!m_opt.checksOnly) {
        std::printf("  ms a message by kind               ");
        for (int k = 0; k < 8; k++)
            std::printf(" %s %.2f", kKinds[k], m_kindCount[k] > 0 ? m_kindSeconds[k] * 1000 / m_kindCount[k] : 0.0);
        std::printf("\n  time in checks, in pumps (paints)    %.1f s, %.1f s\n", m_checkSeconds, m_pumpSeconds);
    }
    std::fflush(stdout);

    if (m_opt.paints > 0)
        PaintSoak(m_opt.paints);

    ctl.DestroyWindow();
    std::printf("hexedit_soak: no invariant broken\n");
    return 0;
}

DWORD WINAPI Watchdog(LPVOID)
{
    long long last = g_nProgress;
    DWORD since = ::GetTickCount();
    for (;;) {
        ::Sleep(2000);
        long long now = g_nProgress;
        if (now != last) {
            last = now;
            since = ::GetTickCount();
        } else if (::GetTickCount() - since > 120000) {
            std::fprintf(stderr, "\nBROKEN INVARIANT: no progress for two minutes at step %lld (a hang)\n", now);
            std::fprintf(stderr, "  seed %u\n", g_nSeed);
            PrintLastMessages();
            std::fflush(stderr);
            ::ExitProcess(3);
        }
    }
}

} // namespace

int main(int argc, char** argv)
{
    Options opt;
    opt.seed = static_cast<unsigned>(::GetTickCount() ^ (::GetCurrentProcessId() << 16));
    for (int i = 1; i < argc; i += 2) {
        std::string a = argv[i];
        if (a == "--checks-only") {
            opt.checksOnly = true;
            i--;
            continue;
        }
        if (i + 1 >= argc) {
            std::fprintf(stderr, "option %s needs a value\n", a.c_str());
            return 2;
        }
        const char* v = argv[i + 1];
        if (a == "--seed")
            opt.seed = static_cast<unsigned>(std::strtoul(v, nullptr, 10));
        else if (a == "--messages")
            opt.messages = std::atoll(v);
        else if (a == "--seconds")
            opt.seconds = std::atof(v);
        else if (a == "--paints")
            opt.paints = std::atoll(v);
        else if (a == "--big-mib")
            opt.bigMiB = std::atoi(v);
        else if (a == "--checkpoint")
            opt.checkpoint = std::max(1LL, std::atoll(v));
        else {
            std::fprintf(stderr, "unknown option %s\n", a.c_str());
            return 2;
        }
    }
    if (RunsUnderEmulator() && !opt.checksOnly) {
        std::printf("hexedit_soak: this 32-bit program runs under an emulator (qemu-i386), where its timings "
                    "say nothing; no run without --checks-only. Run the x86_64 build for figures.\n");
        return 0;
    }
    g_nSeed = opt.seed;
    ::CreateThread(NULL, 0, Watchdog, NULL, 0, NULL);
    Soak soak(opt);
    return soak.Run();
}
