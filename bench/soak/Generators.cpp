// Generators.cpp - the soak's random messages, sent as a person and a host
// would cause them: keys, characters, mouse, scroll, resizes, focus changes
// and buffer operations (SetData, Fill, LoadFile, SaveFile), each logged and
// each with the model's prediction; Step picks one.
#include "Soak.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace soak {

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
    // Ctrl+Z (undo), Ctrl+A (select all), Shift+Insert (paste) and
    // Shift+Delete (cut) the model does not follow: with both Shift and Ctrl
    // they are keys that mean nothing.
    if (((vk == 'Z' || vk == 'A') && bCtrl) || ((vk == VK_INSERT || vk == VK_DELETE) && bShift))
        bShift = bCtrl = true;
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
        // New data ends a drag in progress.
        if (s.selecting)
            s.selecting = s.dragged = false;
        s.timer = false;
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

} // namespace soak
