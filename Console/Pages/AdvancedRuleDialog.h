// CAdvancedRuleDialog: the advanced settings of one program rule, one zone
// at a time: which TCP and UDP roles the program may take, which remote
// ports it may reach, in which time schedule, and whether a connection these
// settings refuse is asked about or denied. It reads the settings from the
// rule store and saves them through the publisher, which writes the store
// and then the rule image.
//
// The controls always show the working settings; the saved settings are the
// zone's as last read or written. Apply is on exactly while the two differ.
// Leaving a zone with changes asks whether to save them; OK saves them and
// closes, Cancel and the close button drop them.
#pragma once

#include "AdvancedRuleIds.h"

#include <CComboBox.h>
#include <CFont.h>
#include <LanguageText.h>
#include <NetRuleSettings.h>
#include <SkinButton.h>
#include <SkinCheckBox.h>
#include <SkinDialog.h>
#include <SkinLabel.h>

class CAclPublisher;

class CAdvancedRuleDialog : public CSkinDialog
{
public:
    enum Zone { ZONE_INTERNET = 0, ZONE_TRUSTED = 1 };
    // The width and height of the window.
    enum { WIDTH = 402, HEIGHT = 425 };

    // Without a parent. skinFolder ends with a backslash.
    CAdvancedRuleDialog(CAclPublisher *publisher, const CString &languagePath,
                        const CString &skinFolder);

    // The rule edited, and the program's name as the user knows it.
    void SetRule(DWORD ruleId, const CString &programName);

    BOOL OnInitDialog() override;
    // Saves pending changes of the zone shown (refused while logged off),
    // then closes.
    void OnOK() override;

    int CurrentZone() const { return m_zone; }

protected:
    void DoDataExchange(CDataExchange *pDX) override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg LRESULT OnDeferredLayout(WPARAM wParam, LPARAM lParam);
    afx_msg void OnInternetTab();
    afx_msg void OnTrustedTab();
    afx_msg void OnTcpAccess();
    afx_msg void OnControlChanged();
    afx_msg void OnQueryAction();
    afx_msg void OnDenyAction();
    afx_msg void OnPortTypeClicked(UINT id);
    afx_msg void OnApply();
    afx_msg void OnCloseButton();
    DECLARE_MESSAGE_MAP()

private:
    void LoadSkin();
    void SetTexts();
    void SetUpRangeEdits();
    void SelectZone(int zone);
    // Saves the working settings of the zone shown. FALSE when the store or
    // the image refused them: the box has said so and they stay changed.
    // Logged off, the refusal's own box is shown and the result is TRUE.
    BOOL Apply();
    void SettingsToControls();
    void ControlsToSettings();
    // Controls to working settings; Apply on exactly while they differ
    // from the saved ones.
    void ChangeStep();
    // Ticks the box of the port type, clears the other two and shows the
    // edits that type uses, with the focus in them; a type the dialog does
    // not know ticks no box and shows no edit.
    void ShowPortType(BYTE portType);
    // The port group is usable only while TCP access is allowed.
    void EnablePortGroup();
    void KeepFocusInside();
    void RepaintUnder(CWnd &control);
    void SetCheck(CSkinCheckBox &box, BOOL checked);
    // The settings as saved: the ports count only for a port rule.
    void RememberSaved();

    int m_zone = ZONE_INTERNET;
    CString m_programName;
    CLanguageText m_texts;
    DWORD m_ruleId = 0;
    NetRuleSettings m_working;
    NetRuleSettings m_saved;
    CComboBox m_schedule;

    CSkinButton m_applyButton;
    CSkinButton m_cancelButton;
    CSkinButton m_okButton;
    CSkinButton m_trustedTab;
    CSkinButton m_internetTab;
    CSkinButton m_helpButton;
    CSkinButton m_minimizeButton;
    CSkinButton m_closeButton;

    CSkinLabel m_title;
    CSkinLabel m_info;
    CSkinLabel m_fromLabel;
    CSkinLabel m_toLabel;
    CSkinLabel m_protocolGroup;
    CSkinLabel m_portGroup;
    CSkinLabel m_rangeFrame;
    CSkinLabel m_timeGroup;
    CSkinLabel m_actionGroup;

    CSkinCheckBox m_queryAction;
    CSkinCheckBox m_denyAction;
    CSkinCheckBox m_allPorts;
    CSkinCheckBox m_portRange;
    CSkinCheckBox m_portList;
    CSkinCheckBox m_udpServer;
    CSkinCheckBox m_tcpServer;
    CSkinCheckBox m_udpAccess;
    CSkinCheckBox m_tcpAccess;

    CFont m_rangeFont;
    int m_rangeFrom = 0;
    int m_rangeTo = 0;
    CString m_portListText;

    CAclPublisher *m_publisher;
    CString m_languagePath;
    CString m_skinFolder;
    // Set while the dialog itself fills the controls: their change
    // notifications are no edits of the user's.
    BOOL m_showingSettings = FALSE;
};
