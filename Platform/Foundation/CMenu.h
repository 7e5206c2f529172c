// CMenu: a menu and the popup tracking of context menus.
//
// The destructor destroys a menu this object loaded, created or attached.
// GetSubMenu gives a temporary that never owns its menu: a sub-menu goes
// with its parent.
#pragma once

#include "CObject.h"
#include "TempWrapper.h"

#include <windows.h>

class CWnd;

class CMenu : public CObject
{
public:
    CMenu() = default;
    ~CMenu() override { DestroyMenu(); }

    CMenu(const CMenu &) = delete;
    CMenu &operator=(const CMenu &) = delete;

    HMENU m_hMenu = NULL;

    HMENU GetSafeHmenu() const { return m_hMenu; }
    operator HMENU() const { return m_hMenu; }
    static CMenu *FromHandle(HMENU hMenu) { return TempWrapperFor<CMenu>(hMenu); }

    // Each fails when this object already holds a menu.
    BOOL Attach(HMENU hMenu);
    HMENU Detach();
    // From the program's resources.
    BOOL LoadMenu(UINT nIDResource) { return LoadMenu(MAKEINTRESOURCE(nIDResource)); }
    BOOL LoadMenu(LPCTSTR lpszResourceName);
    BOOL CreatePopupMenu();
    // Destroys the held menu with its sub-menus; FALSE when there is none.
    BOOL DestroyMenu();

    // A temporary; NULL when the item opens no sub-menu.
    CMenu *GetSubMenu(int nPos) const;
    UINT GetMenuItemID(int nPos) const { return ::GetMenuItemID(m_hMenu, nPos); }
    int GetMenuItemCount() const { return ::GetMenuItemCount(m_hMenu); }
    // The previous check state (MF_CHECKED or MF_UNCHECKED), or -1 when the
    // item does not exist.
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck)
    {
        return ::CheckMenuItem(m_hMenu, nIDCheckItem, nCheck);
    }
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable)
    {
        return ::EnableMenuItem(m_hMenu, nIDEnableItem, nEnable);
    }
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL)
    {
        return ::AppendMenu(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }
    // With MF_POPUP, nIDNewItem is the sub-menu's handle; passing the item's
    // own sub-menu keeps it.
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = NULL)
    {
        return ::ModifyMenu(m_hMenu, nPosition, nFlags, nIDNewItem, lpszNewItem);
    }
    BOOL SetDefaultItem(UINT uItem, BOOL fByPos = FALSE)
    {
        return ::SetMenuDefaultItem(m_hMenu, uItem, fByPos);
    }

    // Shows the menu at a screen point. The chosen command is posted to
    // pWnd (a control may be the owner) and arrives after this returns.
    // FALSE without a menu or an owner window.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd *pWnd, LPCRECT lpRect = NULL);

    // For the temporary-object machinery only.
    void AttachTemporary(HMENU hMenu) { m_hMenu = hMenu; }
    void DetachTemporary() { m_hMenu = NULL; }
};
