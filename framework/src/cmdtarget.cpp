// cmdtarget.cpp - command targets: the root message map, command lookup
// through a map chain, the wait cursor, and CCmdUI.
#include "afximpl.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

const AFX_MSGMAP* PASCAL CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, AfxSig_end, (AFX_PMSG)0}};
    static const AFX_MSGMAP messageMap = {NULL, &entries[0]};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

// ---------------------------------------------------------------------------
// The wait cursor: one count for the process's user-interface thread.

namespace {

int g_nWaitCursorCount = 0;
HCURSOR g_hcurWaitCursorRestore = NULL;

// 1 begins, -1 ends, 0 shows the wait cursor again.
void DoWaitCursor(int nCode)
{
    g_nWaitCursorCount += nCode;
    if (g_nWaitCursorCount > 0) {
        HCURSOR hcurPrev = ::SetCursor(::LoadCursorA(NULL, MAKEINTRESOURCEA(32514) /* IDC_WAIT */));
        if (nCode > 0 && g_nWaitCursorCount == 1)
            g_hcurWaitCursorRestore = hcurPrev;
    } else {
        g_nWaitCursorCount = 0;   // an End without a Begin
        ::SetCursor(g_hcurWaitCursorRestore);
    }
}

} // namespace

void CCmdTarget::BeginWaitCursor()
{
    DoWaitCursor(1);
}

void CCmdTarget::EndWaitCursor()
{
    DoWaitCursor(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    DoWaitCursor(0);
}

CWaitCursor::CWaitCursor()
{
    DoWaitCursor(1);
}

CWaitCursor::~CWaitCursor()
{
    DoWaitCursor(-1);
}

void CWaitCursor::Restore()
{
    DoWaitCursor(0);
}

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP_ENTRY* lpEntry, UINT nMsg, UINT nCode, UINT nID)
{
    for (; lpEntry->nSig != AfxSig_end; ++lpEntry) {
        if (lpEntry->nMessage == nMsg && lpEntry->nCode == nCode && nID >= lpEntry->nID && nID <= lpEntry->nLastID)
            return lpEntry;
    }
    return NULL;
}

union CmdFunctions {
    AFX_PMSG pfn;
    void (CCmdTarget::*pfn_cmd)();
    BOOL (CCmdTarget::*pfn_cmd_ex)(UINT);
    void (CCmdTarget::*pfn_cmd_range)(UINT);
    void (CCmdTarget::*pfn_cmdui)(CCmdUI*);
    void (CCmdTarget::*pfn_notify)(NMHDR*, LRESULT*);
    BOOL (CCmdTarget::*pfn_notify_ex)(UINT, NMHDR*, LRESULT*);
};

// Calls one command or notification handler; returns whether it handled it.
static BOOL DispatchCmdMsg(CCmdTarget* pTarget, UINT nID, int nCode, AFX_PMSG pfn, void* pExtra, UINT_PTR nSig)
{
    CmdFunctions mmf;
    mmf.pfn = pfn;
    switch (nSig) {
    case AfxSig_cmd:
        (pTarget->*mmf.pfn_cmd)();
        return TRUE;
    case AfxSig_cmd_ex:
        return (pTarget->*mmf.pfn_cmd_ex)(nID);
    case AfxSig_cmd_range:
        (pTarget->*mmf.pfn_cmd_range)(nID);
        return TRUE;
    case AfxSig_cmdui:
    case AfxSig_cmdui_range: {
        CCmdUI* pCmdUI = static_cast<CCmdUI*>(pExtra);
        pCmdUI->m_bContinueRouting = FALSE;
        (pTarget->*mmf.pfn_cmdui)(pCmdUI);
        return !pCmdUI->m_bContinueRouting;
    }
    case AfxSig_notify: {
        AFX_NOTIFY* info = static_cast<AFX_NOTIFY*>(pExtra);
        (pTarget->*mmf.pfn_notify)(info->pNMHDR, info->pResult);
        return TRUE;
    }
    case AfxSig_notify_ex: {
        AFX_NOTIFY* info = static_cast<AFX_NOTIFY*>(pExtra);
        return (pTarget->*mmf.pfn_notify_ex)(nID, info->pNMHDR, info->pResult);
    }
    default:
        (void)nCode;
        return FALSE;
    }
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // Commands are CN_COMMAND and CN_UPDATE_COMMAND_UI in the low word of
    // nCode; notifications carry WM_NOTIFY in the high word.
    UINT nMsg = WM_COMMAND;
    UINT code = static_cast<UINT>(nCode);
    if (nCode != static_cast<int>(CN_UPDATE_COMMAND_UI) && HIWORD(code) != 0) {
        nMsg = HIWORD(code);
        code = LOWORD(code);
    }
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != NULL;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : NULL) {
        const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(pMap->lpEntries, nMsg, code, nID);
        if (e == NULL)
            continue;
        if (pHandlerInfo) {
            pHandlerInfo->pTarget = this;
            pHandlerInfo->pmf = e->pfn;
            return TRUE;
        }
        return DispatchCmdMsg(this, nID, nCode, e->pfn, pExtra, e->nSig);
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// CCmdUI

CCmdUI::CCmdUI()
    : m_nID(0), m_nIndex(0), m_hMenu(NULL), m_pOther(NULL), m_nIndexMax(0),
      m_bEnableChanged(FALSE), m_bContinueRouting(FALSE)
{
}

void CCmdUI::Enable(BOOL bOn)
{
    if (m_hMenu != NULL) {
        ::EnableMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther != NULL) {
        ::EnableWindow(m_pOther->m_hWnd, bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_hMenu != NULL)
        ::CheckMenuItem(m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
}

void CCmdUI::SetText(LPCSTR lpszText)
{
    if (m_hMenu != NULL) {
        UINT id = ::GetMenuItemID(m_hMenu, static_cast<int>(m_nIndex));
        ::ModifyMenuA(m_hMenu, m_nIndex, MF_BYPOSITION | MF_STRING, id, lpszText);
    } else if (m_pOther != NULL) {
        ::SetWindowTextA(m_pOther->m_hWnd, lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    m_bEnableChanged = FALSE;
    BOOL bResult = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, NULL);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info = {NULL, NULL};
        BOOL bHandler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(bHandler);
    }
    return bResult;
}
