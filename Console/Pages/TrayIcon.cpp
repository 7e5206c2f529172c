#include "TrayIcon.h"

#include <CWinApp.h>
#include <CWnd.h>

#include <string.h>

namespace {

// The notification record of the oldest shells, which every shell takes.
const DWORD kIconDataSize = 88;

} // namespace

CTrayIcon::CTrayIcon()
{
    memset(&m_data, 0, sizeof m_data);
}

CTrayIcon::~CTrayIcon()
{
    RemoveIcon();
    if (m_ownedIcon)
        ::DestroyIcon(m_ownedIcon);
}

BOOL CTrayIcon::Create(CWnd *pParent, UINT callbackMessage, LPCTSTR tip, HICON icon, UINT uID)
{
    m_created = LOBYTE(LOWORD(::GetVersion())) >= 4;
    if (!m_created)
        return FALSE;
    memset(&m_data, 0, sizeof m_data);
    m_data.cbSize = kIconDataSize;
    m_data.hWnd = pParent->GetSafeHwnd();
    m_data.uID = uID;
    m_data.uCallbackMessage = callbackMessage;
    m_data.hIcon = icon;
    lstrcpynA(m_data.szTip, tip ? tip : "", 64);
    return AddAgain();
}

// An icon that the shell still holds (a task bar announced twice) would
// refuse the addition, so it is removed first; removing none does no harm.
BOOL CTrayIcon::AddAgain()
{
    if (!m_data.hWnd)
        return FALSE;
    if (m_created) {
        m_data.uFlags = 0;
        ::Shell_NotifyIconA(NIM_DELETE, &m_data);
    }
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_created = ::Shell_NotifyIconA(NIM_ADD, &m_data);
    m_hidden = FALSE;
    return m_created;
}

BOOL CTrayIcon::SetDefaultItem(UINT item, BOOL byPosition)
{
    if (item == m_defaultItem && byPosition == m_byPosition)
        return TRUE;
    m_defaultItem = item;
    m_byPosition = byPosition;
    HMENU menu = NULL;
    HMENU items = LoadIconMenu(menu);
    if (!items) {
        if (menu)
            ::DestroyMenu(menu);
        return FALSE;
    }
    ::SetMenuDefaultItem(items, m_defaultItem, m_byPosition);
    ::DestroyMenu(menu);
    return TRUE;
}

BOOL CTrayIcon::SetIcon(UINT iconId)
{
    if (iconId == m_iconId)
        return TRUE;
    if (!m_created)
        return FALSE;
    m_iconId = iconId;
    if (m_ownedIcon) {
        ::DestroyIcon(m_ownedIcon);
        m_ownedIcon = NULL;
    }
    m_ownedIcon = static_cast<HICON>(
        ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(iconId), IMAGE_ICON, 16, 16, 0));
    if (!m_ownedIcon)
        return FALSE;
    m_data.uFlags = NIF_ICON;
    m_data.hIcon = m_ownedIcon;
    return ::Shell_NotifyIconA(NIM_MODIFY, &m_data);
}

HMENU CTrayIcon::LoadIconMenu(HMENU &menu) const
{
    menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_data.uID));
    return menu ? ::GetSubMenu(menu, 0) : NULL;
}

UINT CTrayIcon::DefaultCommand() const
{
    if (!m_byPosition)
        return m_defaultItem;
    HMENU menu = NULL;
    HMENU items = LoadIconMenu(menu);
    const UINT command = items ? ::GetMenuItemID(items, m_defaultItem) : 0;
    if (menu)
        ::DestroyMenu(menu);
    return command == static_cast<UINT>(-1) ? 0 : command;
}

LRESULT CTrayIcon::OnTrayNotification(UINT uID, LPARAM mouseMessage, BOOL lockMark, BOOL topMark)
{
    if (uID != m_data.uID)
        return 0;
    CWnd *pMain = AfxGetMainWnd();
    HWND mainWindow = pMain ? pMain->GetSafeHwnd() : NULL;
    switch (LOWORD(mouseMessage)) {
    case WM_RBUTTONUP: {
        HMENU menu = NULL;
        HMENU items = LoadIconMenu(menu);
        if (!items) {
            if (menu)
                ::DestroyMenu(menu);
            return 0;
        }
        ::SetMenuDefaultItem(items, m_defaultItem, m_byPosition);
        POINT cursor;
        ::GetCursorPos(&cursor);
        ::SetForegroundWindow(mainWindow);
        ::CheckMenuItem(items, 1, MF_BYPOSITION | (topMark ? MF_CHECKED : MF_UNCHECKED));
        ::CheckMenuItem(items, 4, MF_BYPOSITION | (lockMark ? MF_CHECKED : MF_UNCHECKED));
        ::TrackPopupMenu(items, TPM_LEFTALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y, 0, mainWindow, NULL);
        ::PostMessageA(mainWindow, WM_NULL, 0, 0);
        ::DestroyMenu(menu);
        return 1;
    }
    case WM_LBUTTONDBLCLK:
        ::SetForegroundWindow(mainWindow);
        ::SendMessageA(mainWindow, WM_COMMAND, DefaultCommand(), 0);
        return 1;
    default:
        return 1;
    }
}

void CTrayIcon::HideIcon()
{
    if (!m_created || m_hidden)
        return;
    m_data.uFlags = NIF_ICON;
    ::Shell_NotifyIconA(NIM_DELETE, &m_data);
    m_hidden = TRUE;
}

void CTrayIcon::RemoveIcon()
{
    if (!m_created)
        return;
    m_data.uFlags = 0;
    ::Shell_NotifyIconA(NIM_DELETE, &m_data);
    m_created = FALSE;
}
