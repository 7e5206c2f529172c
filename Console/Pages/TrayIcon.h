// CTrayIcon: the console's icon in the notification area. A right click
// shows the menu whose resource id is the icon's id, a double click sends
// the menu's default command to the main window.
#pragma once

#include <windows.h>
#include <shellapi.h>

class CWnd;

class CTrayIcon
{
public:
    CTrayIcon();
    virtual ~CTrayIcon();

    CTrayIcon(const CTrayIcon &) = delete;
    CTrayIcon &operator=(const CTrayIcon &) = delete;

    // Adds the icon; the icon handle stays the caller's. The tip is cut to
    // what fits. FALSE when the system is too old or the shell refuses.
    BOOL Create(CWnd *pParent, UINT callbackMessage, LPCTSTR tip, HICON icon, UINT uID);
    // Adds the icon of Create once more: after the shell refused it (before
    // the shell is ready at log-on) or lost it (a new task bar). FALSE
    // while the shell refuses, or when Create did not get that far.
    BOOL AddAgain();
    // The item a double click sends: a position in the menu, or a command.
    BOOL SetDefaultItem(UINT item, BOOL byPosition);
    // Loads a small icon of the program's resources and shows it.
    BOOL SetIcon(UINT iconId);
    // The handling of the callback message: 0 for another icon's id.
    virtual LRESULT OnTrayNotification(UINT uID, LPARAM mouseMessage, BOOL lockMark, BOOL topMark);
    // Removes the icon when the console exits; the object keeps its data.
    void HideIcon();
    void RemoveIcon();

    BOOL IsCreated() const { return m_created; }

private:
    // The first sub-menu of the icon's menu, loaded into menu; NULL when
    // either is missing.
    HMENU LoadIconMenu(HMENU &menu) const;
    UINT DefaultCommand() const;

    HICON m_ownedIcon = NULL;
    BOOL m_created = FALSE;
    BOOL m_hidden = FALSE;
    NOTIFYICONDATAA m_data;
    UINT m_defaultItem = 0;
    BOOL m_byPosition = TRUE;
    UINT m_iconId = 0;
};
