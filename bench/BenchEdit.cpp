// BenchEdit.cpp - the figures of undo and the clipboard: Ctrl+Z after a
// typed digit to the end of its paint against one paint of the same view;
// the undo of a filled selection of 64 MiB against memcpy of as many bytes;
// and a paste of 16 MiB of hex text against a plain loop that turns the
// same text into bytes.
#include "Bench.h"
#include "HexEditClipboard.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <new>
#include <vector>

namespace {

const int kUndoBlock = 64 * 1024 * 1024;
const int kPasteBytes = 16 * 1024 * 1024;

// Holds Ctrl in the thread's key state, as a person holding it would.
class CtrlHeld {
public:
    CtrlHeld()
    {
        ::GetKeyboardState(m_saved);
        BYTE state[256];
        std::memcpy(state, m_saved, sizeof state);
        state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
        ::SetKeyboardState(state);
    }
    ~CtrlHeld() { ::SetKeyboardState(m_saved); }

private:
    BYTE m_saved[256];
};

int DigitOf(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

} // namespace

void BenchUndoKeystroke(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    ::SetForegroundWindow(b.hHost);
    ::SetFocus(ctl.m_hWnd);
    ctl.SetCounting(4096);
    Pump();
    const LONGLONG nStart = 3 * 0x200;
    const LPARAM lParam = 1 | (::MapVirtualKeyA('Z', 0) << 16);
    bool bUndone = true;
    StatsPair undo;
    {
        CtrlHeld ctrl;
        undo = MeasureInterleavedTimed(
            b.nRuns,
            [&] {
                // A digit typed (untimed), then its undo as the system
                // delivers Ctrl+Z, to the end of the paint it causes.
                ctl.m_nArea = 0;
                ctl.m_nCaretPos = nStart;
                ctl.MoveCaret(0, 0, FALSE);
                ::SendMessageA(ctl.m_hWnd, WM_CHAR, '7', 1);
                Pump();
                double t = Time([&] {
                    ::PostMessageA(ctl.m_hWnd, WM_KEYDOWN, 'Z', lParam);
                    Pump();
                });
                bUndone = bUndone && ctl.m_data[static_cast<int>(nStart / 3)] == 0x00;
                return t;
            },
            [&] { return Time([&] { PaintOnce(ctl.m_hWnd); }); });
    }
    PrintRow("Ctrl+Z after a digit -> end of its paint, 4 KiB", undo.a);
    PrintRow("paint, same view, 4 KiB", undo.b);
    if (bUndone) {
        AddRatio("undo of a keystroke to painted / paint", undo, "<= 1.2");
    } else {
        PrintNote("", "Ctrl+Z did not bring the byte back: the figure above is not an undo's");
        AddNotRun("undo of a keystroke to painted / paint", "<= 1.2");
    }
}

void BenchUndoFill(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    std::vector<BYTE> target;
    try {
        target.resize(kUndoBlock);
    } catch (const std::bad_alloc&) {
    }
    if (target.empty() || !ctl.SetCounting(kUndoBlock)) {
        PrintNote("undo of a filled selection, 64 MiB", "not run: the memory could not be had");
        AddNotRun("undo of a 64 MiB filled selection / memcpy of 64 MiB", "<= 1.5");
        ctl.SetCounting(4096);
        return;
    }
    Pump();
    const LPARAM lParam = 1 | (::MapVirtualKeyA(VK_DELETE, 0) << 16);
    bool bUndone = true;
    StatsPair undo = MeasureInterleavedTimed(
        std::max(5, b.nRuns / 6),
        [&] {
            // Every byte selected and set by Delete (untimed), then the
            // undo's handler; the paint it asks for follows untimed.
            ctl.m_nCaretPos = 0;
            ctl.m_nSelStart = 0;
            ctl.m_nSelEnd = 3LL * kUndoBlock - 2;
            ::SendMessageA(ctl.m_hWnd, WM_KEYDOWN, VK_DELETE, lParam);
            Pump();
            double t = Time([&] { ::SendMessageA(ctl.m_hWnd, WM_UNDO, 0, 0); });
            bUndone = bUndone && ctl.m_data[1] == 0x01 && ctl.m_data[kUndoBlock - 1] == 0xFF;
            Pump();
            return t;
        },
        [&] { return Time([&] { std::memcpy(target.data(), ctl.m_data.GetData(), kUndoBlock); }); });
    PrintRow("WM_UNDO of a filled selection (handler), 64 MiB", undo.a);
    PrintRow("memcpy of the same bytes, 64 MiB", undo.b);
    if (bUndone)
        AddRatio("undo of a 64 MiB filled selection / memcpy of 64 MiB", undo, "<= 1.5");
    else
        AddNotRun("undo of a 64 MiB filled selection / memcpy of 64 MiB", "<= 1.5");
    ctl.SetCounting(4096);
    Pump();
}

void BenchPasteHex(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    std::string text;
    std::vector<BYTE> floorBytes;
    try {
        std::vector<BYTE> bytes(kPasteBytes);
        for (int i = 0; i < kPasteBytes; i++)
            bytes[i] = static_cast<BYTE>(i * 7);
        text = CHexEditClipboardText::HexOfBytes(bytes.data(), bytes.size());
        floorBytes.resize(kPasteBytes);
    } catch (const std::bad_alloc&) {
        text.clear();
    }
    HGLOBAL h = text.empty() ? NULL : ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (h == NULL || !ctl.SetCounting(kPasteBytes) || !::OpenClipboard(b.hHost)) {
        if (h != NULL)
            ::GlobalFree(h);
        PrintNote("paste of hex text, 16 MiB", "not run: the memory or the clipboard could not be had");
        AddNotRun("paste of 16 MiB of hex text / parse floor", "<= 1.5");
        ctl.SetCounting(4096);
        return;
    }
    std::memcpy(::GlobalLock(h), text.c_str(), text.size() + 1);
    ::GlobalUnlock(h);
    ::EmptyClipboard();
    ::SetClipboardData(CF_TEXT, h);
    ::CloseClipboard();
    Pump();

    bool bPasted = true;
    auto parse = [&](BYTE* pOut) {
        const char* p = text.c_str();
        for (size_t i = 0; i < text.size(); i += 3)
            *pOut++ = static_cast<BYTE>(DigitOf(p[i]) << 4 | DigitOf(p[i + 1]));
    };
    BYTE lastFresh = 0;
    std::vector<std::vector<double>> samples;
    std::vector<Stats> sides = MeasureInTurnsTimed(
        std::max(5, b.nRuns / 6),
        {[&] {
             // The paste's handler from byte 0; the history is emptied
             // untimed, so that each paste records its step afresh.
             ctl.SendMessage(EM_EMPTYUNDOBUFFER);
             ctl.m_nArea = 0;
             ctl.m_nCaretPos = 0;
             ctl.m_nSelStart = ctl.m_nSelEnd = -1;
             double t = Time([&] { ::SendMessageA(ctl.m_hWnd, WM_PASTE, 0, 0); });
             bPasted = bPasted && ctl.m_data[kPasteBytes - 1] == static_cast<BYTE>((kPasteBytes - 1) * 7);
             std::memset(ctl.m_data.GetData(), 0, kPasteBytes);
             Pump();
             return t;
         },
         // The floor: the same text into bytes, pair by pair.
         [&] { return Time([&] { parse(floorBytes.data()); }); },
         // The floor into memory just had, as the paste's bytes must be.
         [&] {
             return Time([&] {
                 std::vector<BYTE> fresh(kPasteBytes);
                 parse(fresh.data());
                 lastFresh = fresh[kPasteBytes - 1];
             });
         }},
        &samples);
    PrintRow("WM_PASTE of 16 MiB as hex text (handler)", sides[0]);
    PrintRow("parse floor: the same text into bytes", sides[1]);
    PrintRow("parse floor into a fresh 16 MiB block", sides[2]);
    const BYTE last = static_cast<BYTE>((kPasteBytes - 1) * 7);
    if (bPasted && floorBytes[kPasteBytes - 1] == last && lastFresh == last) {
        AddTurnsRatio("paste of 16 MiB of hex text / parse floor", samples[0], samples[1], "<= 1.5");
        AddTurnsRatio("paste of 16 MiB of hex text / parse floor into fresh memory", samples[0], samples[2],
                      "<= 1.5");
    } else {
        AddNotRun("paste of 16 MiB of hex text / parse floor", "<= 1.5");
    }
    if (::OpenClipboard(b.hHost)) {
        ::EmptyClipboard();
        ::CloseClipboard();
    }
    ctl.SetCounting(4096);
    Pump();
}
