// BenchKeys.cpp - the keyboard's figures: a typed hex digit to the end of
// the paint it causes, at 4 KiB and at 800 MB, and at 4 KiB with the change
// and selection notifications going to a host that keeps a status line from
// them, and at 4 KiB with a screen reader attached (a thread of its own
// holding the control's accessible object and listening to its WinEvents),
// against one paint of the same view; and Delete over the whole block
// against memset of the same bytes.
#include "Bench.h"

#include <oleacc.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

const int kKeysBlock = 800000000;

// The host's status line and how many notifications built it.
char g_szStatus[128];
int g_nChanges = 0;
int g_nSelChanges = 0;

// Keys go to the control with the focus, as a person's do.
void FocusControl(Bench& b)
{
    ::SetForegroundWindow(b.hHost);
    ::SetFocus(b.ctl.m_hWnd);
    Pump();
}

// A hex digit typed into the control, as the system delivers it: a posted
// WM_KEYDOWN that the message loop translates into WM_CHAR, up to the end of
// the paint it causes; in turns with one paint of the same view.
void BenchKeystroke(Bench& b, const char* pszSize)
{
    BenchHexEdit& ctl = b.ctl;
    // The caret types along the rows of the first screen of the view's
    // last part; it is brought back before it would scroll (untimed).
    const LONGLONG nSize = ctl.m_data.GetSize();
    const LONGLONG nRowsBack = std::min<LONGLONG>(nSize / 16, 40);
    const LONGLONG nStart = 3 * (nSize - 16 * nRowsBack);
    ctl.m_nArea = 0;
    ctl.m_nCaretPos = nStart;
    ctl.MoveCaret(0, 0, FALSE);
    Pump();
    const LONGLONG nEnd = nStart + 3 * 16 * 8;
    const UINT vk = '7';
    const LPARAM lParam = 1 | (::MapVirtualKeyA(vk, 0) << 16);

    StatsPair key = MeasureInterleavedTimed(
        b.nRuns,
        [&] {
            if (ctl.m_nCaretPos >= nEnd) {
                ctl.m_nCaretPos = nStart;
                ctl.MoveCaret(0, 0, FALSE);
                Pump();
            }
            return Time([&] {
                ::PostMessageA(ctl.m_hWnd, WM_KEYDOWN, vk, lParam);
                Pump();
            });
        },
        [&] { return Time([&] { PaintOnce(ctl.m_hWnd); }); });

    // Where the difference goes: the handlers of the key and its character
    // without the paint they ask for.
    Stats handlers = Measure(b.nRuns, [&] {
        if (ctl.m_nCaretPos >= nEnd) {
            ctl.m_nCaretPos = nStart;
            ctl.MoveCaret(0, 0, FALSE);
        }
        ::SendMessageA(ctl.m_hWnd, WM_KEYDOWN, vk, lParam);
        ::SendMessageA(ctl.m_hWnd, WM_CHAR, vk, lParam);
        ::ValidateRect(ctl.m_hWnd, NULL);
    });
    Pump();

    char name[96];
    std::snprintf(name, sizeof name, "WM_KEYDOWN + WM_CHAR handlers, no paint, %s", pszSize);
    PrintRow(name, handlers);
    std::snprintf(name, sizeof name, "keystroke -> end of its paint, %s", pszSize);
    PrintRow(name, key.a);
    std::snprintf(name, sizeof name, "paint, same view, %s", pszSize);
    PrintRow(name, key.b);
    bool bTyped = ctl.m_data[static_cast<int>(nStart / 3)] == 0x77;
    if (!bTyped)
        PrintNote("", "the typed digits did not reach the byte: the figure above is not a keystroke's");
    std::snprintf(name, sizeof name, "keystroke to painted / paint, %s", pszSize);
    if (bTyped)
        AddRatio(name, key, "<= 1.2");
    else
        AddNotRun(name, "<= 1.2");
}

} // namespace

void BenchKeystroke4K(Bench& b)
{
    FocusControl(b);
    b.ctl.SetCounting(4096);
    Pump();
    BenchKeystroke(b, "4 KiB");
}

bool BenchHostNotification(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (g_pCtl == nullptr)
        return false;
    if (msg == WM_COMMAND && HIWORD(wParam) == EN_CHANGE) {
        ++g_nChanges;
    } else if (msg == WM_NOTIFY && reinterpret_cast<const NMHDR*>(lParam)->code == EN_SELCHANGE) {
        ++g_nSelChanges;
    } else {
        return false;
    }
    // As a host's status bar would show it after either notification.
    std::snprintf(g_szStatus, sizeof g_szStatus, "offset 0x%llX of %lld%s",
                  static_cast<unsigned long long>(g_pCtl->GetCaretOffset()), g_pCtl->GetDataSize(),
                  g_pCtl->GetModify() ? ", modified" : "");
    return true;
}

void BenchKeystrokeNotified(Bench& b)
{
    FocusControl(b);
    b.ctl.SetCounting(4096);
    b.ctl.SendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
    Pump();
    g_nChanges = g_nSelChanges = 0;
    BenchKeystroke(b, "notifications on");
    char szNote[160];
    std::snprintf(szNote, sizeof szNote, "the host had %d EN_CHANGE and %d EN_SELCHANGE; its status: %s", g_nChanges,
                  g_nSelChanges, g_szStatus);
    PrintNote("", szNote);
    b.ctl.SendMessage(EM_SETEVENTMASK, 0, 0);
}

namespace {

// A screen reader as another program is one: a thread with COM that holds
// the control's accessible object and counts the value changes it hears.
struct Reader {
    HWND hCtl;
    HANDLE hReady;
    HANDLE hStop;
    HRESULT hr;
};
LONG g_nReaderEvents = 0;

void CALLBACK OnReaderEvent(HWINEVENTHOOK, DWORD, HWND, LONG idObject, LONG, DWORD, DWORD)
{
    if (idObject == OBJID_CLIENT)
        ::InterlockedIncrement(&g_nReaderEvents);
}

DWORD WINAPI ReaderMain(LPVOID pv)
{
    Reader* r = static_cast<Reader*>(pv);
    ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    IAccessible* pAccessible = NULL;
    r->hr = ::AccessibleObjectFromWindow(r->hCtl, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&pAccessible));
    HWINEVENTHOOK hHook = ::SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, NULL, OnReaderEvent,
                                            ::GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ::SetEvent(r->hReady);
    while (::MsgWaitForMultipleObjects(1, &r->hStop, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
    }
    if (hHook != NULL)
        ::UnhookWinEvent(hHook);
    if (pAccessible != NULL)
        pAccessible->Release();
    ::CoUninitialize();
    return 0;
}

// Waits for h while this thread handles what the reader's calls bring.
void PumpUntil(HANDLE h)
{
    while (::MsgWaitForMultipleObjects(1, &h, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        Pump();
}

} // namespace

void BenchKeystrokeWithReader(Bench& b)
{
    FocusControl(b);
    b.ctl.SetCounting(4096);
    Pump();
    Reader reader = {b.ctl.m_hWnd, ::CreateEventA(NULL, TRUE, FALSE, NULL), ::CreateEventA(NULL, TRUE, FALSE, NULL),
                     E_FAIL};
    HANDLE hThread = ::CreateThread(NULL, 0, ReaderMain, &reader, 0, NULL);
    if (hThread == NULL) {
        PrintNote("keystroke, a reader attached", "not run: no thread for the reader");
        AddNotRun("keystroke to painted / paint, a reader attached", "<= 1.2");
    } else {
        PumpUntil(reader.hReady);
        g_nReaderEvents = 0;
        if (SUCCEEDED(reader.hr)) {
            BenchKeystroke(b, "a reader attached");
            char szNote[96];
            std::snprintf(szNote, sizeof szNote, "the reader heard %ld value changes",
                          static_cast<long>(g_nReaderEvents));
            PrintNote("", szNote);
        } else {
            PrintNote("keystroke, a reader attached", "not run: the reader could not get the control's object");
            AddNotRun("keystroke to painted / paint, a reader attached", "<= 1.2");
        }
        ::SetEvent(reader.hStop);
        PumpUntil(hThread);
        ::CloseHandle(hThread);
    }
    ::CloseHandle(reader.hReady);
    ::CloseHandle(reader.hStop);
}

void BenchKeystrokeLarge(Bench& b)
{
    FocusControl(b);
    if (!b.ctl.SetCounting(kKeysBlock)) {
        PrintNote("keystroke, 800 MB", "not run: 800,000,000 bytes could not be allocated");
        AddNotRun("keystroke to painted / paint, 800 MB", "<= 1.2");
        b.ctl.SetCounting(4096);
        return;
    }
    Pump();
    BenchKeystroke(b, "800 MB");
    b.ctl.SetCounting(4096);
    Pump();
}

// Delete over a selection of the whole block (FillSelection writes each
// byte once), in turns with memset of the same bytes. Only the handler is
// timed; the paint it asks for follows untimed.
void BenchFillSelection(Bench& b)
{
    BenchHexEdit& ctl = b.ctl;
    if (!ctl.SetCounting(kKeysBlock)) {
        PrintNote("Delete, whole block selected, 800 MB", "not run: 800,000,000 bytes could not be allocated");
        AddNotRun("FillSelection / memset, 800 MB", "<= 1.5");
        ctl.SetCounting(4096);
        return;
    }
    Pump();
    const LONGLONG nSize = ctl.m_data.GetSize();
    const LPARAM lParam = 1 | (::MapVirtualKeyA(VK_DELETE, 0) << 16);
    StatsPair del = MeasureInterleavedTimed(
        std::max(5, b.nRuns / 6),
        [&] {
            ctl.m_nCaretPos = 0;
            ctl.m_nSelStart = 0;
            ctl.m_nSelEnd = 3 * nSize - 2;
            double t = Time([&] { ::SendMessageA(ctl.m_hWnd, WM_KEYDOWN, VK_DELETE, lParam); });
            Pump();
            return t;
        },
        [&] { return Time([&] { std::memset(ctl.m_data.GetData(), 0, static_cast<size_t>(nSize)); }); });
    PrintRow("Delete, whole block selected (handler), 800 MB", del.a);
    PrintRow("memset of the same bytes, 800 MB", del.b);
    AddRatio("FillSelection / memset, 800 MB", del, "<= 1.5");
    ctl.SetCounting(4096);
    Pump();
}
