// frame.cpp - menus, the layout of control bars (WM_SIZEPARENT) and frame
// windows: creation from a resource, title, command routing, accelerators,
// the status bar's message pane and idle updates.
#include "afximpl.h"
#include "tempmaps.h"

IMPLEMENT_DYNAMIC(CMenu, CObject)

// ---------------------------------------------------------------------------
// CMenu

namespace {
CHandleMap<HMENU, CMenu>& MenuMap()
{
    static CHandleMap<HMENU, CMenu> map;
    return map;
}
} // namespace

HMENU AfxSafeHmenu(const CMenu* pMenu) { return pMenu ? pMenu->m_hMenu : NULL; }

CMenu::~CMenu()
{
    DestroyMenu();
}

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu)
{
    return MenuMap().FromHandle(hMenu, [](HMENU h) {
        CMenu* p = new CMenu;
        p->m_hMenu = h;
        return p;
    });
}

void PASCAL CMenu::DeleteTempMap()
{
    MenuMap().DeleteTemporaries([](CMenu* p) { p->m_hMenu = NULL; });
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (hMenu == NULL || m_hMenu != NULL)
        return FALSE;
    m_hMenu = hMenu;
    MenuMap().SetPermanent(hMenu, this);
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU h = m_hMenu;
    if (h != NULL)
        MenuMap().RemoveHandle(h, this);
    m_hMenu = NULL;
    return h;
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    return Attach(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == NULL)
        return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int n = ::GetMenuStringA(m_hMenu, nIDItem, NULL, 0, nFlags);
    LPSTR buf = rString.GetBuffer(n + 1);
    n = ::GetMenuStringA(m_hMenu, nIDItem, buf, n + 1, nFlags);
    rString.ReleaseBuffer(n);
    return n;
}
