// windows.cpp - CWnd: the handle map, creation with subclassing, the
// framework's window procedure, message-map dispatch and default handlers.
#include "afximpl.h"
#include "tempmaps.h"
#include <new>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CScrollBar, CWnd)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
    ON_WM_NCDESTROY()
END_MESSAGE_MAP()

namespace {

// Everything runs on the one user-interface thread, so this state is global.
struct WindowState {
    MSG lastSentMsg = {};      // the message being handled, for Default()
    CWnd* pWndInit = nullptr;  // the object the next created window belongs to
    HHOOK hCbtHook = nullptr;
};

WindowState& State()
{
    static WindowState state;
    return state;
}

CHandleMap<HWND, CWnd>& WndMap()
{
    static CHandleMap<HWND, CWnd> map;
    return map;
}

LRESULT CALLBACK CbtFilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    WindowState& st = State();
    if (code == HCBT_CREATEWND && st.pWndInit != nullptr) {
        CWnd* pWnd = st.pWndInit;
        st.pWndInit = nullptr;
        pWnd->SubclassWindow(reinterpret_cast<HWND>(wParam));
    }
    return ::CallNextHookEx(st.hCbtHook, code, wParam, lParam);
}

} // namespace

__attribute__((noinline)) HWND afximpl::SafeHwnd(const CWnd* pWnd) { return pWnd ? pWnd->m_hWnd : NULL; }

WNDPROC AfxGetAfxWndProc() { return &AfxWndProc; }

void AfxHookWindowCreate(CWnd* pWnd)
{
    WindowState& st = State();
    if (st.hCbtHook == nullptr)
        st.hCbtHook = ::SetWindowsHookExA(WH_CBT, CbtFilterHook, NULL, ::GetCurrentThreadId());
    st.pWndInit = pWnd;
}

// The hook lives from AfxHookWindowCreate to the end of that one creation:
// a window created later by anyone else never passes through it.
BOOL AfxUnhookWindowCreate()
{
    WindowState& st = State();
    if (st.hCbtHook != nullptr) {
        ::UnhookWindowsHookEx(st.hCbtHook);
        st.hCbtHook = nullptr;
    }
    BOOL consumed = st.pWndInit == nullptr;
    st.pWndInit = nullptr;
    return consumed;
}

LPCSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    // One class per combination, named after it, as the framework does.
    static char names[16][96];
    static int used = 0;
    char name[96];
    wsprintfA(name, "Afx:%p:%x:%p:%p:%p", (void*)AfxGetInstanceHandle(), nClassStyle, (void*)hCursor,
              (void*)hbrBackground, (void*)hIcon);
    for (int i = 0; i < used; ++i)
        if (lstrcmpA(names[i], name) == 0)
            return names[i];
    WNDCLASSA wc = {};
    wc.style = nClassStyle;
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.hIcon = hIcon;
    wc.lpszClassName = name;
    WNDCLASSA existing;
    if (!::GetClassInfoA(wc.hInstance, name, &existing) && !::RegisterClassA(&wc))
        AfxThrowResourceException();
    if (used == 16)
        AfxThrowResourceException();
    lstrcpyA(names[used], name);
    return names[used++];
}

// ---------------------------------------------------------------------------
// The window procedure

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == NULL || pWnd->m_hWnd != hWnd)
        return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AfxProcessWndProcException(CException* e, const MSG* pMsg)
{
    LRESULT result = 0;
    if (pMsg->message == WM_CREATE || pMsg->message == WM_NCCREATE)
        result = (pMsg->message == WM_CREATE) ? -1 : FALSE;
    else if (pMsg->message == WM_PAINT)
        ::ValidateRect(pMsg->hwnd, NULL);
    e->ReportError(MB_ICONEXCLAMATION, AFX_IDP_INTERNAL_FAILURE);
    e->Delete();
    return result;
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    WindowState& st = State();
    MSG saved = st.lastSentMsg;
    st.lastSentMsg.hwnd = hWnd;
    st.lastSentMsg.message = nMsg;
    st.lastSentMsg.wParam = wParam;
    st.lastSentMsg.lParam = lParam;

    LRESULT lResult = 0;
    // No exception may unwind into the system's code that called us: report
    // it here, as the framework's command handling does.
    try {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (CException* e) {
        lResult = AfxProcessWndProcException(e, &st.lastSentMsg);
    } catch (const std::bad_alloc&) {
        lResult = AfxProcessWndProcException(new CMemoryException, &st.lastSentMsg);
    }
    st.lastSentMsg = saved;
    return lResult;
}

const MSG* PASCAL CWnd::GetCurrentMessage()
{
    return &State().lastSentMsg;
}

LRESULT CWnd::Default()
{
    const MSG& msg = State().lastSentMsg;
    return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnSuper != NULL)
        return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

namespace {

union MessageMapFunctions {
    AFX_PMSG pfn;
    void (CWnd::*pfn_vv)();
    BOOL (CWnd::*pfn_bD)(CDC*);
    void (CWnd::*pfn_vwii)(UINT, int, int);
    void (CWnd::*pfn_vwwW)(UINT, UINT, CScrollBar*);
    void (CWnd::*pfn_vwp)(UINT, CPoint);
    void (CWnd::*pfn_vW)(CWnd*);
    void (CWnd::*pfn_vw)(UINT_PTR);
    void (CWnd::*pfn_vwww)(UINT, UINT, UINT);
    UINT (CWnd::*pfn_wv)();
    void (CWnd::*pfn_vWp)(CWnd*, CPoint);
    int (CWnd::*pfn_is)(LPCREATESTRUCT);
    LRESULT (CWnd::*pfn_lwl)(WPARAM, LPARAM);
    BOOL (CWnd::*pfn_bWww)(CWnd*, UINT, UINT);
    void (CWnd::*pfn_vwWb)(UINT, CWnd*, BOOL);
    void (CWnd::*pfn_vwwh)(UINT, UINT, HMENU);
    void (CWnd::*pfn_vbw)(BOOL, UINT);
    void (CWnd::*pfn_vMwb)(CMenu*, UINT, BOOL);
    BOOL (CWnd::*pfn_bwsp)(UINT, short, CPoint);
    BOOL (CWnd::*pfn_bv)(void);
    void (CWnd::*pfn_vb)(BOOL);
};

// Calls the handler of entry on pWnd with the message's parameters cracked
// as its signature says; false for a signature this framework does not know.
bool CallBySignature(CWnd* pWnd, const AFX_MSGMAP_ENTRY& entry, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    MessageMapFunctions mmf;
    mmf.pfn = entry.pfn;
    switch (entry.nSig) {
    case AfxSig_vv:
        (pWnd->*mmf.pfn_vv)();
        break;
    case AfxSig_bD:
        lResult = (pWnd->*mmf.pfn_bD)(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        break;
    case AfxSig_vwii:
        (pWnd->*mmf.pfn_vwii)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_vwwW:
        (pWnd->*mmf.pfn_vwwW)(LOWORD(wParam), HIWORD(wParam),
                              static_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))));
        break;
    case AfxSig_vwp:
        (pWnd->*mmf.pfn_vwp)(static_cast<UINT>(wParam), CPoint(static_cast<DWORD>(lParam)));
        break;
    case AfxSig_vW:
        (pWnd->*mmf.pfn_vW)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
        break;
    case AfxSig_vw:
        (pWnd->*mmf.pfn_vw)(static_cast<UINT_PTR>(wParam));
        break;
    case AfxSig_vwww:
        (pWnd->*mmf.pfn_vwww)(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_wv:
        lResult = (pWnd->*mmf.pfn_wv)();
        break;
    case AfxSig_vWp:
        (pWnd->*mmf.pfn_vWp)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), CPoint(static_cast<DWORD>(lParam)));
        break;
    case AfxSig_is:
        lResult = (pWnd->*mmf.pfn_is)(reinterpret_cast<LPCREATESTRUCT>(lParam));
        break;
    case AfxSig_lwl:
        lResult = (pWnd->*mmf.pfn_lwl)(wParam, lParam);
        break;
    case AfxSig_bWww:
        lResult = (pWnd->*mmf.pfn_bWww)(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam),
                                        HIWORD(lParam));
        break;
    case AfxSig_vwWb:
        (pWnd->*mmf.pfn_vwWb)(LOWORD(wParam), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), HIWORD(wParam));
        break;
    case AfxSig_vwwh:
        (pWnd->*mmf.pfn_vwwh)(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
        break;
    case AfxSig_vbw:
        (pWnd->*mmf.pfn_vbw)(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        break;
    case AfxSig_vMwb:
        (pWnd->*mmf.pfn_vMwb)(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_vW2:
        (pWnd->*mmf.pfn_vW)(CWnd::FromHandle(reinterpret_cast<HWND>(lParam)));
        break;
    case AfxSig_bwsp:
        // The key state, the signed wheel delta and the pointer in screen
        // coordinates.
        lResult = (pWnd->*mmf.pfn_bwsp)(LOWORD(wParam), static_cast<short>(HIWORD(wParam)),
                                         CPoint(static_cast<DWORD>(lParam)));
        break;
    case AfxSig_bv:
        lResult = (pWnd->*mmf.pfn_bv)();
        break;
    case AfxSig_vb:
        (pWnd->*mmf.pfn_vb)(static_cast<BOOL>(wParam));
        break;
    default:
        return false;
    }
    return true;
}

} // namespace

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam)) {
            if (pResult)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    if (message == WM_NOTIFY) {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        if (pNMHDR->hwndFrom != NULL && OnNotify(wParam, lParam, &lResult)) {
            if (pResult)
                *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }

    const AFX_MSGMAP_ENTRY* lpEntry = NULL;
    if (message >= 0xC000) {
        // Registered messages: the entries of 0xC000 name the variable that
        // holds the number.
        for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != NULL && lpEntry == NULL;
             pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : NULL) {
            for (const AFX_MSGMAP_ENTRY* e = pMap->lpEntries; e->nSig != AfxSig_end; ++e) {
                if (e->nMessage == 0xC000 && *reinterpret_cast<const UINT*>(e->nSig) == message) {
                    lpEntry = e;
                    break;
                }
            }
        }
        if (lpEntry == NULL)
            return FALSE;
        MessageMapFunctions mmf;
        mmf.pfn = lpEntry->pfn;
        lResult = (this->*mmf.pfn_lwl)(wParam, lParam);
        if (pResult)
            *pResult = lResult;
        return TRUE;
    }
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != NULL && lpEntry == NULL;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : NULL)
        lpEntry = AfxFindMessageEntry(pMap->lpEntries, message, 0, 0);
    if (lpEntry == NULL)
        return FALSE;

    if (!CallBySignature(this, *lpEntry, wParam, lParam, lResult))
        return FALSE;
    if (pResult)
        *pResult = lResult;
    return TRUE;
}

namespace {

// Asks a command's update handler whether the command is enabled, touching
// no menu item or button.
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override
    {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetText(LPCSTR) override {}
};

} // namespace

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (nID == 0)
        return FALSE;
    if (hWndCtrl == NULL) {
        // A menu item or an accelerator (code 0 or 1). An accelerator fires
        // whatever state its command is in: a command its update handler
        // disables is not run.
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, NULL);
        if (!state.m_bEnabled)
            return TRUE;
        nCode = CN_COMMAND;
    }
    // A control's notification keeps its code: only BN_CLICKED (0) of a
    // button reaches command handlers.
    return OnCmdMsg(nID, nCode, NULL, NULL);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    AFX_NOTIFY notify = {pResult, pNMHDR};
    UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    int nCode = static_cast<int>(MAKELONG(static_cast<WORD>(pNMHDR->code), WM_NOTIFY));
    return OnCmdMsg(nID, nCode, &notify, NULL);
}

// ---------------------------------------------------------------------------
// Handle map

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL), m_hWndOwner(NULL) {}

CWnd::~CWnd()
{
    if (m_hWnd != NULL && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    else if (m_hWnd != NULL)
        Detach();
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd)
{
    return WndMap().FromHandle(hWnd, [](HWND h) {
        CWnd* p = new CWnd;
        p->m_hWnd = h;
        return p;
    });
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? WndMap().LookupPermanent(hWnd) : NULL;
}

void PASCAL CWnd::DeleteTempMap()
{
    WndMap().DeleteTemporaries([](CWnd* p) { p->m_hWnd = NULL; });
}

void AfxDeleteTempMaps()
{
    CWnd::DeleteTempMap();
    AfxDeleteGdiTempMaps();
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (hWndNew == NULL || m_hWnd != NULL || FromHandlePermanent(hWndNew) != NULL)
        return FALSE;
    m_hWnd = hWndNew;
    WndMap().SetPermanent(hWndNew, this);
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h != NULL)
        WndMap().RemoveHandle(h, this);
    m_hWnd = NULL;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!Attach(hWnd))
        return FALSE;
    WNDPROC oldWndProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxGetAfxWndProc())));
    if (oldWndProc == NULL) {
        Detach();
        return FALSE;
    }
    if (oldWndProc != AfxGetAfxWndProc() && m_pfnSuper == NULL)
        m_pfnSuper = oldWndProc;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hWndControl = ::GetDlgItem(pParent->GetSafeHwnd(), static_cast<int>(nID));
    return hWndControl != NULL && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper != NULL)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = NULL;
    return Detach();
}

// ---------------------------------------------------------------------------
// Creation and destruction

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == NULL)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(NULL, MAKEINTRESOURCEA(32512)));
    return TRUE;
}

BOOL CWnd::Create(LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, void* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID, pContext);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, pParentWnd->GetSafeHwnd(),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCSTR lpszClassName, LPCSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam)
{
    CREATESTRUCTA cs;
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = dwStyle;
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, cs.style, cs.x, cs.y, cs.cx, cs.cy,
                                  cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();   // the window never came to be: let the owner clean up
    return hWnd != NULL;
}

BOOL CWnd::DestroyWindow()
{
    if (m_hWnd == NULL)
        return FALSE;
    HWND hWnd = m_hWnd;
    BOOL bOwned = FromHandlePermanent(hWnd) == this;
    BOOL bResult = ::DestroyWindow(hWnd);
    // A window we own was detached by OnNcDestroy (and its object may be
    // gone); a temporary or foreign one is detached here.
    if (!bOwned)
        Detach();
    return bResult;
}

void CWnd::PostNcDestroy()
{
}

BOOL CWnd::PreTranslateMessage(MSG*)
{
    return FALSE;
}

void CWnd::OnNcDestroy()
{
    if (AfxGetHostHooks().pfnOnNcDestroy)
        AfxGetHostHooks().pfnOnNcDestroy(this);
    LONG_PTR pfnWndProc = ::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC);
    Default();
    if (::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC) == pfnWndProc && m_pfnSuper != NULL)
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = NULL;
    Detach();
    PostNcDestroy();
}

// ---------------------------------------------------------------------------
// Operations

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(newStyle));
    if (nFlags != 0)
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = GetExStyle();
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_EXSTYLE, static_cast<LONG>(newStyle));
    if (nFlags != 0)
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, pWndInsertAfter->GetSafeHwnd(), x, y, cx, cy, nFlags);
}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLengthA(m_hWnd);
    LPSTR buf = rString.GetBuffer(n + 1);
    ::GetWindowTextA(m_hWnd, buf, n + 1);
    rString.ReleaseBuffer();
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (hItem == NULL)
        return 0;
    CWnd::FromHandle(hItem)->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    if (GetStyle() & WS_CHILD)
        hCenter = ::GetParent(m_hWnd);
    RECT rcArea;
    if (hCenter != NULL && ::IsWindowVisible(hCenter) && !::IsIconic(hCenter))
        ::GetWindowRect(hCenter, &rcArea);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &rcArea, 0);
    if (GetStyle() & WS_CHILD)
        ::GetClientRect(hCenter, &rcArea);
    RECT rc;
    ::GetWindowRect(m_hWnd, &rc);
    int w = rc.right - rc.left, h = rc.bottom - rc.top;
    int x = (rcArea.left + rcArea.right - w) / 2;
    int y = (rcArea.top + rcArea.bottom - h) / 2;
    ::SetWindowPos(m_hWnd, NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    if (pDC == NULL)
        return 0;
    HDC hDC = pDC->m_hDC;
    int result = ::ReleaseDC(m_hWnd, hDC);
    // The wrapper GetDC made is of no use once the DC is released.
    AfxDeleteTempDC(hDC);
    return result;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
}

CWnd* CWnd::SetFocus()
{
    return FromHandle(::SetFocus(m_hWnd));
}

CWnd* PASCAL CWnd::GetFocus()
{
    return FromHandle(::GetFocus());
}

CPoint PASCAL CWnd::GetCaretPos()
{
    POINT pt = {0, 0};
    ::GetCaretPos(&pt);
    return CPoint(pt);
}

CWnd* CWnd::GetOwner() const
{
    return m_hWndOwner != NULL ? FromHandle(m_hWndOwner) : GetParent();
}

CWnd* CWnd::GetParentOwner() const
{
    HWND hWndParent = m_hWnd;
    HWND hWndT;
    while ((::GetWindowLongA(hWndParent, GWL_STYLE) & WS_CHILD) && (hWndT = ::GetParent(hWndParent)) != NULL)
        hWndParent = hWndT;
    return FromHandle(hWndParent);
}

CWnd* CWnd::GetTopLevelParent() const
{
    if (m_hWnd == NULL)
        return NULL;
    HWND hWndTop = GetParentOwner()->GetSafeHwnd();
    HWND hWndT;
    while ((hWndT = ::GetWindow(hWndTop, GW_OWNER)) != NULL)
        hWndTop = hWndT;
    return FromHandle(hWndTop);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep)
{
    for (HWND hChild = ::GetTopWindow(m_hWnd); hChild != NULL; hChild = ::GetNextWindow(hChild, GW_HWNDNEXT)) {
        ::SendMessageA(hChild, message, wParam, lParam);
        if (bDeep && ::GetTopWindow(hChild) != NULL)
            CWnd::FromHandle(hChild)->SendMessageToDescendants(message, wParam, lParam, bDeep);
    }
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    CString caption = lpszCaption ? CString(lpszCaption) : AfxGetAppTitle();
    return ::MessageBoxA(m_hWnd, lpszText, caption, nType);
}

// ---------------------------------------------------------------------------
// Default handlers: the current message goes on to the window's own procedure.

void CWnd::OnPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }
int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnActivate(UINT, CWnd*, BOOL) { Default(); }
void CWnd::OnMenuSelect(UINT, UINT, HMENU) { Default(); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) { return static_cast<BOOL>(Default()); }
BOOL CWnd::OnQueryEndSession() { return static_cast<BOOL>(Default()); }
void CWnd::OnEndSession(BOOL) { Default(); }

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("EDIT", NULL, dwStyle, rect, pParentWnd, nID);
}
