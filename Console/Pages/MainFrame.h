// CMainFrame: the console's only top-level window. A skinned frameless
// dialog that holds the six pages and switches between them with a side
// bar; it carries the caption buttons, the lock switch with its label and
// the logged-on picture, owns the notification-area icon and answers its
// menu. It is made hidden at start-up; its making shows the splash window,
// counts the start and marks the window for a second start; its
// destruction stops the background threads. A notification area that
// refuses the icon (the shell is not ready yet at log-on) does not end the
// console: the icon is asked for again on a timer and when a task bar is
// made, and the window is shown meanwhile.
#pragma once

#include "ConsoleResources.h"
#include "FirewallTypes.h"
#include "FirewallFrame.h"
#include "InfoFrame.h"
#include "LanguageText.h"
#include "LogsFrame.h"
#include "MonitorFrame.h"
#include "ProgramFrame.h"
#include "SkinBitmap.h"
#include "SkinButton.h"
#include "SkinDialog.h"
#include "SkinLabel.h"
#include "SystemFrame.h"
#include "TrayIcon.h"

class CTipsDialog;

class CMainFrame : public CSkinDialog
{
public:
    CMainFrame();
    ~CMainFrame() override;

    // Removes the single-instance marker, then destroys the window.
    BOOL DestroyWindow() override;

    // Shows the page of that tab id (its template id) and stores the id;
    // an id of no page shows none.
    void SelectPage(UINT tabId);

    CSystemFrame &SystemPage() { return m_systemPage; }
    CMonitorFrame &MonitorPage() { return m_monitorPage; }
    CFirewallFrame &FirewallPage() { return m_firewallPage; }
    CProgramFrame &ProgramPage() { return m_programPage; }
    CLogsFrame &LogsPage() { return m_logsPage; }
    CInfoFrame &InfoPage() { return m_infoPage; }
    // Whether the icon is in the notification area.
    BOOL HasTrayIcon() const { return m_trayIcon.IsCreated(); }

    enum {
        TRAY_RETRY_TIMER = 3,
        TRAY_RETRY_MS = 5000,
    };
    // The current help topic of the page with that tab id; empty for others.
    CString PageHelpTopic(UINT tabId);

    // Where the logged-on picture lies in the client area; the options
    // page invalidates it when the logged-on state changes.
    CRect StatusPictureRect() const;

    // The smallest size the borders let the user drag the window to.
    static constexpr int kMinWidth = 600;
    static constexpr int kMinHeight = 440;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    BOOL OnInitDialog() override;
    // Enter, Esc, Alt+F4 and Close leave the window as it is.
    void OnOK() override {}
    void OnCancel() override {}
    // The shell's "TaskbarCreated", a registered message, cannot be mapped.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg HCURSOR OnQueryDragIcon();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnSizing(UINT fwSide, LPRECT pRect);
    afx_msg void OnDestroy();
    afx_msg LRESULT OnDeferredLayout(WPARAM, LPARAM);
    afx_msg LRESULT OnShowConsole(WPARAM, LPARAM);
    afx_msg LRESULT OnConsoleExit(WPARAM, LPARAM);
    afx_msg LRESULT OnTrayNotify(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTipsClosed(WPARAM, LPARAM);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnTimer(UINT nIDEvent);
    afx_msg void OnSideBar(UINT id);
    afx_msg void OnHide();
    afx_msg void OnMinimize();
    afx_msg void OnMaximize();
    afx_msg void OnLockButton();
    afx_msg void OnOpen();
    afx_msg void OnExit();
    afx_msg void OnTopMost();
    afx_msg void OnTips();
    DECLARE_MESSAGE_MAP()

private:
    struct PageSlot {
        UINT tabId;
        UINT buttonId;
        CSkinDialog *page;
        CSkinButton *button;
        LPCTSTR picture;
    };
    static const int kPageCount = 6;

    void AddTrayIcon();
    void ReadVersionLine();
    void MarkStart();
    BOOL CreatePages();
    void LoadSkin();
    void PlaceWindow();
    void EnterWorkMode(BYTE mode);

    CLanguageText m_texts;
    CSystemFrame m_systemPage;
    CMonitorFrame m_monitorPage;
    CFirewallFrame m_firewallPage;
    CProgramFrame m_programPage;
    CLogsFrame m_logsPage;
    CInfoFrame m_infoPage;
    BOOL m_bTopMost = FALSE;
    // The work mode the provider was last sent: normal or locked. A stored
    // mode of any other value starts the console in normal mode.
    BYTE m_workMode = WORK_MODE_NORMAL;
    BOOL m_bShownOnce = FALSE;
    BOOL m_bExiting = FALSE;
    // The open tips window; NULL while there is none.
    CTipsDialog *m_pTips = NULL;
    CTrayIcon m_trayIcon;
    CSkinBitmap m_toolBarIcon;
    CSkinBitmap m_loggedOnPicture;
    CSkinBitmap m_loggedOffPicture;
    CSkinLabel m_lockLabel;
    CSkinButton m_monitorButton;
    CSkinButton m_firewallButton;
    CSkinButton m_programButton;
    CSkinButton m_logsButton;
    CSkinButton m_optionsButton;
    CSkinButton m_infoButton;
    CSkinButton m_hideButton;
    CSkinButton m_maximizeButton;
    CSkinButton m_minimizeButton;
    CSkinButton m_helpButton;
    CSkinButton m_lockButton;
    HICON m_icon = NULL;
    CRect m_lastLayout;
    PageSlot m_slots[kPageCount];
};
