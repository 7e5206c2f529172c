// CLogsFrame: the log page of the main window. Two tabs, chosen by the
// buttons at its top right:
//   0 Firewall  the driver's packet events as live lines, handed over by the
//               traffic monitor page with WM_PACKET_LOGGED;
//   1 Programs  finished connections read from the connection log by a day
//               window, a program and an action; rows can be deleted one at
//               a time, by the window, or all at once.
// The page reads the program list from the rule store and the log from the
// connection log store it is bound to.
#pragma once

#include "LogsPageIds.h"

#include <CComboBox.h>
#include <CImageList.h>
#include <CTime.h>
#include <GridList.h>
#include <LanguageText.h>
#include <SkinBitmap.h>
#include <SkinButton.h>
#include <SkinDialog.h>

class CProgramLogs;
class CProgramsRuleLib;
struct LogRecord;

class CLogsFrame : public CSkinDialog
{
public:
    enum Tab { TAB_FIREWALL = 0, TAB_PROGRAMS = 1 };
    // The firewall grid keeps this many lines; the oldest goes first.
    enum { MAX_FIREWALL_LINES = 5000 };
    enum { CLEAR_TIMER = 3006, CLEAR_DELAY_MS = 6000 };

    explicit CLogsFrame(CWnd *pParent = NULL);

    // What the page works on, set before it is created: the connection log,
    // the rule store (its program list), the Language.ini file and the skin
    // folder (with its trailing backslash).
    void Bind(CProgramLogs *logs, CProgramsRuleLib *rules, const CString &languagePath,
              const CString &skinFolder);

    BOOL OnInitDialog() override;
    // Enter and Esc leave the page as it is.
    void OnOK() override {}
    void OnCancel() override {}

    int CurrentTab() const { return m_currentTab; }
    int RememberedRow() const { return m_rememberedRow; }
    BOOL IsClearTimerRunning() const { return m_clearTimer != 0; }
    CGridList &ProgramLogGrid() { return m_programLogGrid; }
    CGridList &FirewallGrid() { return m_firewallGrid; }
    CImageList &ProgramIcons() { return m_programIcons; }

    void SelectTab(int tab);
    void QueryProgramLogs();
    void ClearProgramList();

protected:
    void DoDataExchange(CDataExchange *pDX) override;

    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg LRESULT OnDeferredLayout(WPARAM wParam, LPARAM lParam);
    afx_msg void OnFirewallTab();
    afx_msg void OnProgramsTab();
    afx_msg void OnQuery();
    afx_msg void OnDeleteSelected();
    afx_msg void OnDeletePage();
    afx_msg void OnCleanAll();
    afx_msg void OnCleanList();
    afx_msg void OnListClick(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnListRClick(NMHDR *pNotify, LRESULT *pResult);
    afx_msg void OnTimer(UINT nIDEvent);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg LRESULT OnPacketLogged(WPARAM wParam, LPARAM lParam);

private:
    void LoadSkin();
    void InitLists();
    void FillProgramCombo();
    void EmptyProgramCombo();
    // The day window of the two date members: the start's day from 00:00:00
    // to the end's day at 23:59:59, local time.
    void DayWindow(DWORD &from, DWORD &to) const;
    void AddLogRow(const LogRecord &log, const CString &name, int icon, const CString &direction);
    // The name and the new icon of a program row's path (-1: no icon).
    void DescribeProgram(const CString &path, CString &name, int &icon);
    // The texts of the directions 0 to 4, then of any other.
    enum { DIRECTION_TEXTS = 6 };
    CString DirectionText(BYTE direction) const;
    CString ActionText(BYTE action) const;
    // Asks the key's question: FALSE when logged off (after the refusal) or
    // on No.
    BOOL ConfirmDeletion(LPCTSTR key);
    void ShowRowMenu();

    CProgramLogs *m_logs = nullptr;
    CProgramsRuleLib *m_rules = nullptr;
    CString m_languagePath;
    CString m_skinFolder;

    CLanguageText m_texts;
    int m_currentTab = TAB_FIREWALL;
    CImageList m_programIcons;
    int m_rememberedRow = -1;
    UINT_PTR m_clearTimer = 0;
    CSkinBitmap m_arrow;
    CString m_passText;
    CString m_denyText;
    CComboBox m_programCombo;
    CComboBox m_actionCombo;
    CGridList m_programLogGrid;
    CGridList m_firewallGrid;
    CSkinButton m_programsButton;
    CSkinButton m_firewallButton;
    CSkinButton m_queryButton;
    CTime m_windowEnd;
    CTime m_windowStart;

    DECLARE_MESSAGE_MAP()
};
