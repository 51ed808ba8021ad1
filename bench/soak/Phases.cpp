// Phases.cpp - the soak's long phases: the run of random messages with its
// pumps and checkpoints, the big block once halfway, and the handle and
// memory soak of painting and layout.
#include "Soak.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include <psapi.h>

namespace soak {


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
    if (!LoadBigBlock(n))
        return;
    const long long nMessages = 3000;
    MessagesOverBigBlock(nMessages);
    SaveBigBlock(n, nMessages);
    BackToSmallData();
}

// The big block written to a file and loaded; false when the soak cannot
// hold its shadow.
bool Soak::LoadBigBlock(size_t n)
{
    std::vector<BYTE> big;
    try {
        big.resize(n);
    } catch (const std::bad_alloc&) {
        std::printf("  big block: %zu bytes cannot be allocated for the shadow; skipped\n", n);
        return false;
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
    return true;
}

// Random messages over the big block, with the caret sent to its end now and
// then.
void Soak::MessagesOverBigBlock(long long nMessages)
{
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
}

// The big block after the messages: the picture, a save, the file's bytes.
void Soak::SaveBigBlock(size_t n, long long nMessages)
{
    Pump();
    CheckAllBytes("after the messages over the big block");
    CheckPicture();
    {
        std::string savePath = TempPath("bigsave");
        Log(Format("SaveFile of %zu bytes", n));
        const double t0 = ClockSeconds();
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
}

void Soak::BackToSmallData()
{
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

namespace {

// The process's private bytes: what the system reports, or, where it reports
// nothing (Wine), the committed private pages of the address space, counted
// region by region.
long long PrivateBytes()
{
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
}

// Wine keeps GDI objects out of the process's private bytes and reports no
// GDI counts, so the soak takes all but 3,000 of the process's GDI handles
// first: a paint or a layout that leaves one handle behind uses up the rest
// within the soak, and the 2,000 objects after it cannot be had. Gives
// whether a limit was found (the handles are then held in hogs).
bool HoldAllButSomeGdiHandles(std::vector<HBRUSH>& hogs)
{
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
    return bLimitReached;
}

// Creates and deletes 2,000 GDI objects of the kinds a paint uses; gives how
// many could not be created.
int GdiObjectsNotCreated()
{
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
    return nFailed;
}

} // namespace

// One paint and one layout, in states that take every path of the painter:
// scrolled, with and without a selection, the caret moving.
void Soak::PaintOnce(long long i)
{
    SoakHexEdit& ctl = *m_pCtl;
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
            Fail(Format("an exception reached the window procedure by paint %lld: ", i + 1) + ctl.m_strException);
    }
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
    for (long long i = 0; i < 300; i++)
        PaintOnce(i);
    Pump();

    std::vector<HBRUSH> hogs;
    const bool bLimitReached = HoldAllButSomeGdiHandles(hogs);
    PaintFigures f;
    f.bytesBefore = PrivateBytes();
    const long long paintsBefore = ctl.m_nPaints;
    const double t0 = ClockSeconds();
    for (long long i = 0; i < nPaints; i++)
        PaintOnce(i);
    Pump();
    f.seconds = ClockSeconds() - t0;
    f.bytesAfter = PrivateBytes();
    f.painted = ctl.m_nPaints - paintsBefore;
    if (ctl.m_nExceptions != 0)
        Fail("an exception reached the window procedure while painting: " + ctl.m_strException);

    f.nFailed = GdiObjectsNotCreated();
    for (HBRUSH h : hogs)
        ::DeleteObject(h);
    f.handles = bLimitReached ? Format("with all but 3000 of %zu handles held", hogs.size() + 3000)
                              : "no handle limit found";
    ReportPaintSoak(nPaints, f);
    return true;
}

// Prints the paint soak's figures and fails on a leak.
void Soak::ReportPaintSoak(long long nPaints, const PaintFigures& f)
{
    if (m_opt.checksOnly)
        std::printf("  paints and layouts                   %lld (%lld WM_PAINT)\n", nPaints, f.painted);
    else
        std::printf("  paints and layouts                   %lld (%lld WM_PAINT) in %.1f s, %.2f ms each\n", nPaints,
                    f.painted, f.seconds, nPaints > 0 ? f.seconds * 1000.0 / nPaints : 0.0);
    std::printf("  private bytes before, after, change  %lld, %lld, %+lld (limit +1048576)\n", f.bytesBefore,
                f.bytesAfter, f.bytesAfter - f.bytesBefore);
    std::printf("  GDI objects created after the soak   %d of 2000 (%s)\n", 2000 - f.nFailed, f.handles.c_str());
    std::fflush(stdout);
    if (f.painted < nPaints)
        Fail(Format("only %lld of %lld paints reached the control", f.painted, nPaints));
    if (f.nFailed != 0)
        Fail(Format("after %lld paints and layouts %d of 2000 GDI objects could not be created", nPaints, f.nFailed));
    if (f.bytesAfter - f.bytesBefore > (1 << 20))
        Fail(Format("the private bytes grew by %lld over %lld paints and layouts", f.bytesAfter - f.bytesBefore,
                    nPaints));
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

    const long long paintsBefore = ctl.m_nPaints;
    double seconds = 0;
    const long long nSent = SendMessages(seconds);
    PrintMessageFigures(nSent, seconds, ctl.m_nPaints - paintsBefore);

    if (m_opt.paints > 0)
        PaintSoak(m_opt.paints);

    ctl.DestroyWindow();
    std::printf("hexedit_soak: no invariant broken\n");
    return 0;
}

// The random messages, with pumps now and then, the checkpoints, and the big
// block halfway; gives the number sent and their time without the big block.
long long Soak::SendMessages(double& seconds)
{
    const double t0 = ClockSeconds();
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
    seconds = ClockSeconds() - t0 - bigSeconds;
    return nSent;
}

void Soak::PrintMessageFigures(long long nSent, double seconds, long long nPaints)
{
    const long long total = nSent + m_nBigMessages;

    std::printf("  messages                             %lld (%lld over the big block)\n", total, m_nBigMessages);
    if (!m_opt.checksOnly) {
        std::printf("  time (without the big block)         %.1f s\n", seconds);
        std::printf("  messages a second                    %.0f\n", seconds > 0 ? nSent / seconds : 0.0);
    }
    std::printf("  paints during the messages           %lld, queue pumped %lld times\n", nPaints, m_nPumps);
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
}

} // namespace soak
