// CProgramQueryDialog: the balloon at the bottom right corner of the work
// area that asks whether a program without a rule (or whose rule asks) may
// make a connection. It fades in over a second and a half and stays until
// Allow or Deny: Enter and Esc do nothing. The answer becomes the program's
// rule when the remember box is ticked, or a rule that asks when the
// program had none; a rule the store refuses is told in a box and the
// question stays on screen, to be answered again.
//
// A question of the connection table is shown modeless on the live record,
// whose State the page moved from asking to shown; the answer writes the
// verdict and releases the waiting socket, but only while the record still
// belongs to the same socket and is still shown. A question of the driver
// is shown modally on a copy; its answer only makes the rule.
//
// Texts and the rule come from a copy of the record taken when the
// question is opened: the live record lies in memory every process can
// write.
#pragma once

#include "ProgramQueryIds.h"

#include <DriverRecords.h>
#include <LanguageText.h>
#include <SessionRecord.h>
#include <SkinBitmap.h>
#include <SkinButton.h>
#include <SkinCheckBox.h>
#include <SkinDialog.h>
#include <SkinLabel.h>

class CAclPublisher;

enum {
    QUERY_WIDTH = 282,
    QUERY_HEIGHT = 314,
    QUERY_TIMER_FADE = 1000,
    QUERY_FADE_START = 55,
};

class CProgramQueryDialog : public CSkinDialog
{
public:
    using LayeredProc = BOOL(WINAPI *)(HWND, COLORREF, BYTE, DWORD);

    // page: the program page, told of rule changes with notifyMessage and
    // of the program's activity with WM_PROGRAM_ACTIVE. skinFolder ends
    // with a backslash.
    CProgramQueryDialog(CWnd *page, UINT notifyMessage, CAclPublisher *publisher,
                        const CString &languagePath, const CString &skinFolder);
    ~CProgramQueryDialog() override;

    // A question of the connection table, shown at once and without an
    // owner's wait. The object deletes itself when its window goes, also
    // when the window cannot be made (FALSE).
    BOOL ShowForRecord(SessionRecord *record);
    // A question of the driver: the copy of its ring record becomes the
    // record asked about. An empty image name is the path "*".
    void SetFromQueueRecord(const DriverQueueRecord &queue);
    const SessionRecord &Record() const { return m_asked; }

    // For systems without layered windows: shown at once, no fading.
    void ForgetLayeredFunction() { m_setLayered = NULL; }
    BYTE Alpha() const { return static_cast<BYTE>(m_alpha); }

    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    // The balloon: rounded corners and a tail under the middle.
    void SetWindowRegion() override;

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    void PostNcDestroy() override;

    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg void OnTimer(UINT nIDEvent);
    afx_msg void OnAllow();
    afx_msg void OnDeny();
    afx_msg void OnViewProperties();
    DECLARE_MESSAGE_MAP()

private:
    bool IsModeless() const { return m_live != NULL; }
    void LoadSkin();
    void LayoutControls();
    void SetFonts();
    void SetTexts();
    CString ZoneText() const;
    void Finish(BYTE verdict);
    // The rule and the page's notices, with the ID of the program's rule;
    // FALSE, with no notice, when the store or the image refused the rule.
    BOOL Answer(BYTE verdict, DWORD &ruleId);
    // Verdict, rule and State 0 into the live record while it is still ours.
    void Release(BYTE verdict, DWORD ruleId);

    CWnd *m_page;
    UINT m_notifyMessage;
    CAclPublisher *m_publisher;
    CString m_languagePath;
    CString m_skinFolder;

    CLanguageText m_texts;
    // What is asked about: a copy of the live record or the driver's question.
    SessionRecord m_asked;
    // The live record of a connection-table question; null for the driver's.
    SessionRecord *m_live = NULL;
    BOOL m_created = FALSE;
    BOOL m_ruleChanged = FALSE;
    HICON m_icon = NULL;
    bool m_iconShared = false;
    CSkinBitmap m_tail;
    CSkinBitmap m_alertSign;
    int m_alpha = QUERY_FADE_START;
    int m_step = 5;
    HMODULE m_user32;
    LayeredProc m_setLayered = NULL;

    CSkinLabel m_moreText;
    CSkinLabel m_moreCaption;
    CSkinLabel m_fileName;
    CSkinLabel m_remoteIp;
    CSkinLabel m_portText;
    CSkinLabel m_ipLabel;
    CSkinLabel m_portLabel;
    CSkinLabel m_title;
    CSkinLabel m_info;
    CSkinLabel m_appLabel;
    CSkinLabel m_viewLink;
    CSkinCheckBox m_remember;
    CSkinButton m_deny;
    CSkinButton m_allow;
};
