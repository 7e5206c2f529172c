#include "CMenu.h"

#include "CWinApp.h"
#include "CWnd.h"

BOOL CMenu::Attach(HMENU hMenu)
{
    if (hMenu == NULL || m_hMenu != NULL)
        return FALSE;
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU hMenu = m_hMenu;
    m_hMenu = NULL;
    return hMenu;
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName)
{
    if (m_hMenu != NULL)
        return FALSE;
    return Attach(::LoadMenu(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::CreatePopupMenu()
{
    if (m_hMenu != NULL)
        return FALSE;
    return Attach(::CreatePopupMenu());
}

BOOL CMenu::DestroyMenu()
{
    if (m_hMenu == NULL)
        return FALSE;
    return ::DestroyMenu(Detach());
}

CMenu *CMenu::GetSubMenu(int nPos) const
{
    return m_hMenu ? FromHandle(::GetSubMenu(m_hMenu, nPos)) : NULL;
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd *pWnd, LPCRECT lpRect)
{
    HWND hWndOwner = pWnd ? pWnd->GetSafeHwnd() : NULL;
    if (m_hMenu == NULL || hWndOwner == NULL)
        return FALSE;
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, hWndOwner, lpRect);
}
