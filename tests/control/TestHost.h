// TestHost.h - shared pieces of the control's window-level tests and the
// soak: a visible top-level host window, the control as the tests drive it
// (on HexEditAccess.h's access to its insides), a capture of the client area
// into a 32-bit DIB with pixel reads, and the per-item painter the control's
// picture is defined by. No test framework: the tests' fixture is in
// ControlTest.h.
//
// The picture is read back from the window: after InvalidateRect and
// UpdateWindow the control has painted, and a BitBlt from its client DC into
// a DIB section copies what Wine holds for the window (PrintWindow is not
// reliable under Wine). Xvfb runs at 24 bits, so colours come back exactly.
#pragma once

#include "HexEditAccess.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace qxtest {

// A visible, unowned top-level window at the top left of the screen, wrapped
// with CWnd::FromHandle so it can parent a control.
class TestHost {
public:
    explicit TestHost(int nWidth = 1000, int nHeight = 800)
    {
        static const char* const kClass = "QXTestHost";
        static bool bRegistered = false;
        if (!bRegistered) {
            WNDCLASSA wc = {};
            wc.lpfnWndProc = ::DefWindowProcA;
            wc.hInstance = ::GetModuleHandleA(NULL);
            wc.hCursor = ::LoadCursor(NULL, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
            wc.lpszClassName = kClass;
            bRegistered = ::RegisterClassA(&wc) != 0;
        }
        m_hWnd = ::CreateWindowExA(0, kClass, "control test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                   nWidth, nHeight, NULL, NULL, ::GetModuleHandleA(NULL), NULL);
        Pump();
    }
    ~TestHost()
    {
        if (m_hWnd != NULL)
            ::DestroyWindow(m_hWnd);
        Pump();
    }
    TestHost(const TestHost&) = delete;
    TestHost& operator=(const TestHost&) = delete;

    HWND hwnd() const { return m_hWnd; }
    CWnd* wnd() const { return CWnd::FromHandle(m_hWnd); }

private:
    HWND m_hWnd = NULL;
};

// A copy of a window's client area (or of a memory DC) as 32-bit pixels.
class Picture {
public:
    Picture() = default;

    // Copies nWidth x nHeight pixels at (0, 0) of hSrc.
    static Picture FromDC(HDC hSrc, int nWidth, int nHeight)
    {
        Picture pic;
        pic.m_nWidth = nWidth;
        pic.m_nHeight = nHeight;
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
        bmi.bmiHeader.biWidth = nWidth;
        bmi.bmiHeader.biHeight = -nHeight;   // top-down rows
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* pBits = nullptr;
        HDC hMem = ::CreateCompatibleDC(hSrc);
        HBITMAP hDib = ::CreateDIBSection(hMem, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
        if (hMem != NULL && hDib != NULL) {
            HGDIOBJ hOld = ::SelectObject(hMem, hDib);
            ::BitBlt(hMem, 0, 0, nWidth, nHeight, hSrc, 0, 0, SRCCOPY);
            ::GdiFlush();
            const uint32_t* p = static_cast<const uint32_t*>(pBits);
            pic.m_pixels.assign(p, p + static_cast<size_t>(nWidth) * nHeight);
            ::SelectObject(hMem, hOld);
        }
        if (hDib != NULL)
            ::DeleteObject(hDib);
        if (hMem != NULL)
            ::DeleteDC(hMem);
        return pic;
    }

    // Has the window paint itself now, then copies its client area.
    static Picture FromWindow(HWND hWnd)
    {
        ::InvalidateRect(hWnd, NULL, TRUE);
        return Shown(hWnd);
    }

    // What the window shows after its own pending paints, without forcing a
    // repaint of the rest.
    static Picture Shown(HWND hWnd)
    {
        ::UpdateWindow(hWnd);
        Pump();
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        HDC hDC = ::GetDC(hWnd);
        Picture pic = FromDC(hDC, rc.right, rc.bottom);
        ::ReleaseDC(hWnd, hDC);
        return pic;
    }

    bool empty() const { return m_pixels.empty(); }
    int width() const { return m_nWidth; }
    int height() const { return m_nHeight; }

    // The colour at (x, y) as a COLORREF; CLR_INVALID outside the picture.
    COLORREF At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
            return CLR_INVALID;
        uint32_t v = m_pixels[static_cast<size_t>(y) * m_nWidth + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }

    // How many pixels of the rectangle (clipped to the picture) have clr.
    int Count(const RECT& rc, COLORREF clr) const
    {
        int n = 0;
        for (int y = rc.top; y < rc.bottom; y++)
            for (int x = rc.left; x < rc.right; x++)
                n += At(x, y) == clr;
        return n;
    }
    // True when every pixel of the rectangle is clr (and it lies inside).
    bool All(const RECT& rc, COLORREF clr) const
    {
        if (rc.left < 0 || rc.top < 0 || rc.right > m_nWidth || rc.bottom > m_nHeight)
            return false;
        return Count(rc, clr) == (rc.right - rc.left) * (rc.bottom - rc.top);
    }
    // True when the rectangle shows text in fg on bk: mostly bk, some ink,
    // and no pixel but bk, fg and (for smoothed glyph edges) colours whose
    // every channel lies between the two.
    bool Shows(const RECT& rc, COLORREF bk, COLORREF fg) const
    {
        int nBk = 0, nInk = 0, nArea = (rc.right - rc.left) * (rc.bottom - rc.top);
        for (int y = rc.top; y < rc.bottom; y++) {
            for (int x = rc.left; x < rc.right; x++) {
                COLORREF c = At(x, y);
                if (c == bk) {
                    nBk++;
                    continue;
                }
                if (!Between(GetRValue(c), GetRValue(bk), GetRValue(fg)) ||
                    !Between(GetGValue(c), GetGValue(bk), GetGValue(fg)) ||
                    !Between(GetBValue(c), GetBValue(bk), GetBValue(fg)))
                    return false;
                nInk++;
            }
        }
        return nInk > 0 && nBk * 2 > nArea;
    }

    // Writes the picture as a binary PPM file (for looking at a failure).
    bool SavePpm(const char* pszPath) const
    {
        FILE* f = fopen(pszPath, "wb");
        if (f == nullptr)
            return false;
        fprintf(f, "P6\n%d %d\n255\n", m_nWidth, m_nHeight);
        for (uint32_t v : m_pixels) {
            unsigned char rgb[3] = {static_cast<unsigned char>(v >> 16), static_cast<unsigned char>(v >> 8),
                                    static_cast<unsigned char>(v)};
            fwrite(rgb, 1, 3, f);
        }
        return fclose(f) == 0;
    }

    // The first pixel where two pictures differ, or (-1, -1).
    POINT FirstDifference(const Picture& other) const
    {
        if (m_nWidth != other.m_nWidth || m_nHeight != other.m_nHeight)
            return POINT{0, 0};
        for (size_t i = 0; i < m_pixels.size(); i++) {
            if ((m_pixels[i] & 0xFFFFFF) != (other.m_pixels[i] & 0xFFFFFF))
                return POINT{static_cast<LONG>(i % m_nWidth), static_cast<LONG>(i / m_nWidth)};
        }
        return POINT{-1, -1};
    }

private:
    static bool Between(int v, int a, int b) { return (a <= v && v <= b) || (b <= v && v <= a); }

    int m_nWidth = 0;
    int m_nHeight = 0;
    std::vector<uint32_t> m_pixels;
};

// The control as the tests drive it, with its insides in reach.
class TestHexEdit : public HexEditAccess {
public:
    // Zero bytes, n of them, set directly (see SetSizeDirect), laid out.
    bool SetZeros(int n)
    {
        if (!SetSizeDirect(n))
            return false;
        RecalcLayout();
        Pump();
        return true;
    }

    // Creates the control over (0, 0, nWidth, nHeight) of the host.
    bool CreateIn(TestHost& host, int nWidth, int nHeight, UINT nID = 1)
    {
        RECT rc = {0, 0, nWidth, nHeight};
        bool ok = Create(rc, host.wnd(), nID) != FALSE;
        Pump();
        if (ok) {
            // The frame (borders and client edge) around the client area
            // and its scroll bars.
            RECT rcWnd, rcClient;
            ::GetWindowRect(m_hWnd, &rcWnd);
            ::GetClientRect(m_hWnd, &rcClient);
            DWORD dwStyle = GetStyle();
            m_nFrameX = (rcWnd.right - rcWnd.left) - rcClient.right -
                        ((dwStyle & WS_VSCROLL) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0);
            m_nFrameY = (rcWnd.bottom - rcWnd.top) - rcClient.bottom -
                        ((dwStyle & WS_HSCROLL) ? ::GetSystemMetrics(SM_CYHSCROLL) : 0);
        }
        return ok;
    }

    // Bytes 0, 1, 2, ... (modulo 256), n of them.
    void SetCounting(int n)
    {
        CByteArray a;
        a.SetSize(n);
        for (int i = 0; i < n; i++)
            a[i] = static_cast<BYTE>(i);
        SetData(&a);
        Pump();
    }
    void SetBytes(const std::vector<BYTE>& bytes)
    {
        CByteArray a;
        for (BYTE b : bytes)
            a.Add(b);
        SetData(&a);
        Pump();
    }

    // Sizes the window so that the area the layout divides (the window less
    // its frame: the client area with any shown scroll bar added back) is
    // nWidth x nHeight pixels.
    void SetLayoutArea(int nWidth, int nHeight)
    {
        MoveWindow(0, 0, nWidth + m_nFrameX, nHeight + m_nFrameY);
        Pump();
    }
    // The same in character cells: nCols whole columns and nRows whole lines
    // (the width leaves half a cell spare, as the layout asks).
    void SetLayoutCells(int nCols, int nRows)
    {
        SetLayoutArea(nCols * m_sizeChar.cx + m_sizeChar.cx / 2, nRows * m_sizeChar.cy);
    }

    // The bar's whole record; with no record at all, both ends are
    // kNoBarRecord and the position 0.
    static const int kNoBarRecord = -12345;
    SCROLLINFO Bar(int nBar)
    {
        SCROLLINFO si = {};
        si.cbSize = sizeof(si);
        si.fMask = SIF_ALL;
        if (!::GetScrollInfo(m_hWnd, nBar, &si))
            si.nMin = si.nMax = kNoBarRecord;
        return si;
    }
    bool BarShown(int nBar) const
    {
        return (GetStyle() & (nBar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
    }

    void SendScroll(UINT nMsg, UINT nCode)
    {
        ::SendMessageA(m_hWnd, nMsg, MAKEWPARAM(nCode, 0), 0);
        Pump();
    }

    // Pixel rectangle of content column nCol and line nLine (as painted: the
    // horizontal position shifts columns, data row r is on screen line
    // r - m_nFirstRow + 2, the header on -m_nFirstRow).
    RECT CellRect(int nCol, int nLine, int nChars = 1) const
    {
        int x = (nCol - m_nFirstCol) * m_sizeChar.cx;
        int y = (nLine - m_nFirstRow) * m_sizeChar.cy;
        return RECT{x, y, x + nChars * m_sizeChar.cx, y + m_sizeChar.cy};
    }
    RECT HexCellRect(int nRow, int nCell) const { return CellRect(10 + 3 * nCell, nRow + 2, 3); }
    RECT CharCellRect(int nRow, int nCell) const { return CellRect(62 + nCell, nRow + 2); }
    RECT AddrRect(int nRow) const { return CellRect(1, nRow + 2, 8); }

    // The picture as it is defined: the fill, then one opaque TextOutA per
    // header text, address, hexadecimal cell and character cell, in the
    // order and colours of a paint, drawn into a bitmap compatible with the
    // window's DC.
    Picture PaintPerItem()
    {
        RECT rc;
        ::GetClientRect(m_hWnd, &rc);
        HDC hWndDC = ::GetDC(m_hWnd);
        HDC hDC = ::CreateCompatibleDC(hWndDC);
        HBITMAP hBmp = ::CreateCompatibleBitmap(hWndDC, rc.right, rc.bottom);
        HGDIOBJ hOldBmp = ::SelectObject(hDC, hBmp);
        HBRUSH hBrush = ::CreateSolidBrush(m_clrWndBk);
        ::FillRect(hDC, &rc, hBrush);
        CFont font;
        CreateCellFont(&font);
        HGDIOBJ hOldFont = ::SelectObject(hDC, font.GetSafeHandle());
        const int cx = m_sizeChar.cx, cy = m_sizeChar.cy;
        auto text = [&](int nCol, int y, const CString& s, COLORREF fg, COLORREF bk) {
            ::SetTextColor(hDC, fg);
            ::SetBkColor(hDC, bk);
            ::TextOutA(hDC, (nCol - m_nFirstCol) * cx, y, s, s.GetLength());
        };
        // The header lies on line 0 of the content (in 64 bits: far down the
        // product no longer fits an int).
        const long long yHeader = -static_cast<long long>(m_nFirstRow) * cy;
        if (yHeader > -cy) {
            text(1, static_cast<int>(yHeader), "Address", m_clrText, m_clrWndBk);
            text(10, static_cast<int>(yHeader), GetStatusText(), m_clrText, m_clrWndBk);
            text(62, static_cast<int>(yHeader), "ASCII values", m_clrText, m_clrWndBk);
        }
        COLORREF hiBk = ::GetSysColor(COLOR_HIGHLIGHT), hiText = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        int nRows = GetRowCount();
        int nSaveRowAddr = m_nRowAddr;
        for (int r = m_nFirstRow; r < nRows && r - m_nFirstRow <= m_nVisRows; r++) {
            m_nRowAddr = r * 16;
            int y = (r - m_nFirstRow + 2) * cy;
            text(1, y, GetAddressText(), m_clrText, m_clrAddrBk);
            for (int c = 0; c < 16; c++) {
                int i = 0;
                CString hex = GetHexText(r, c, &i);
                bool sel = m_nSelStart <= 3LL * i && 3LL * i <= m_nSelEnd;
                text(10 + 3 * c, y, hex, sel ? hiText : m_clrHexText, sel ? hiBk : m_clrHexBk);
                text(62 + c, y, GetCharText(hex), sel ? hiText : m_clrAddrBk, sel ? hiBk : m_clrAsciiBk);
            }
        }
        m_nRowAddr = nSaveRowAddr;
        ::SelectObject(hDC, hOldFont);
        Picture pic = Picture::FromDC(hDC, rc.right, rc.bottom);
        ::SelectObject(hDC, hOldBmp);
        font.DeleteObject();
        ::DeleteObject(hBrush);
        ::DeleteObject(hBmp);
        ::DeleteDC(hDC);
        ::ReleaseDC(m_hWnd, hWndDC);
        return pic;
    }

private:
    int m_nFrameX = 0;
    int m_nFrameY = 0;
};

// Modifier keys held for SendKey.
enum KeyMods { kNone = 0, kShift = 1, kCtrl = 2 };

// Presses one key with the given modifiers held, through the thread's key
// state, as the control reads it.
inline void SendKey(HWND hWnd, UINT vk, int mods = kNone)
{
    BYTE state[256], saved[256];
    ::GetKeyboardState(saved);
    std::memcpy(state, saved, sizeof state);
    state[VK_SHIFT] = (mods & kShift) ? 0x80 : 0;
    state[VK_CONTROL] = (mods & kCtrl) ? 0x80 : 0;
    state[VK_LSHIFT] = state[VK_SHIFT];
    state[VK_LCONTROL] = state[VK_CONTROL];
    ::SetKeyboardState(state);
    UINT scan = ::MapVirtualKeyA(vk, 0);
    ::SendMessageA(hWnd, WM_KEYDOWN, vk, 1 | (scan << 16));
    ::SetKeyboardState(saved);
    Pump();
}

inline void SendChars(HWND hWnd, const char* psz)
{
    for (; *psz; psz++)
        ::SendMessageA(hWnd, WM_CHAR, static_cast<BYTE>(*psz), 1);
    Pump();
}

// A real mouse move to ptScreen, with the button flags given (0 for a plain
// move), through SendInput's absolute coordinates.
inline void SendMouseAbsolute(POINT ptScreen, DWORD dwButtonFlags)
{
    int sw = ::GetSystemMetrics(SM_CXSCREEN), sh = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT in = {};
    in.type = INPUT_MOUSE;
    in.mi.dx = (ptScreen.x * 65536 + sw / 2) / sw;
    in.mi.dy = (ptScreen.y * 65536 + sh / 2) / sh;
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | dwButtonFlags;
    ::SendInput(1, &in, sizeof(in));
}

} // namespace qxtest
