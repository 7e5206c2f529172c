// CSystemFrame: the options page. Four groups: the console password (set
// it, log on or off), updates (the automatic-update switch and the button
// that starts the updater), alarms (sound, window) and general (start with
// Windows). The switches are stored in Config.dat at once and refused while
// the console is logged off; the page is the one place that logs the
// console on and off, and has the main window show it.
#pragma once

#include "ConsolePage.h"
#include "SkinButton.h"
#include "SkinCheckBox.h"
#include "SkinLabel.h"
#include "SystemPageIds.h"

#include <LanguageText.h>

class CSystemFrame : public CConsolePage
{
public:
    explicit CSystemFrame(CWnd *pParent = NULL);

    BOOL OnInitDialog() override;
    void DoDataExchange(CDataExchange *pDX) override;

protected:
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg LRESULT OnDeferredLayout(WPARAM wParam, LPARAM lParam);
    afx_msg void OnAutoStart();
    afx_msg void OnAutoUpdate();
    afx_msg void OnSoundAlert();
    afx_msg void OnWndAlert();
    afx_msg void OnSetPassword();
    afx_msg void OnLogOnOff();
    afx_msg void OnCheckUpdate();
    DECLARE_MESSAGE_MAP()

private:
    void LoadSkin();
    void LoadTexts();
    void LoadMarks();
    // The log on/off button is usable only while a password is stored.
    void ReviewLogOnButton();
    // Row 1 while logged on, row 0 while logged off.
    void ShowLogOnRow();
    // The logged-on picture of the main window follows the new state.
    void RepaintStatusPicture();
    // Stores a box's new mark, unless the console is logged off.
    void StoreMark(CSkinCheckBox &box, LPCTSTR key);
    // Writes or deletes the Run value for the new mark; FALSE, with the
    // mark put back, when that failed.
    BOOL ApplyAutoStart();

    CLanguageText m_texts;
    CSkinCheckBox m_windowAlarm;
    CSkinCheckBox m_soundAlarm;
    CSkinCheckBox m_autoUpdate;
    CSkinCheckBox m_autoStart;
    CSkinButton m_logOnOff;
    CSkinButton m_checkUpdate;
    CSkinButton m_setPassword;
    CSkinLabel m_generalGroup;
    CSkinLabel m_passwordGroup;
    CSkinLabel m_updateGroup;
    CSkinLabel m_alarmGroup;
    CRect m_lastLayout;
};
