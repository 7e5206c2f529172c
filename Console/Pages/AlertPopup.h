// CAlertPopup: the small window that rises at the bottom-right corner of
// the work area when a rule refused a connection. It names the program and
// the kind of connection, shows the program's icon and the connection's
// ports and peer, holds for twenty seconds and sinks again; a click makes it
// sink at once. It never takes the focus and deletes itself once its window
// has gone. Further refusals of the same connection kind may be added to a
// standing alert: it shows their number and holds twenty seconds from the
// last one.
#pragma once

#include "LanguageText.h"
#include "SessionRecord.h"
#include "SkinDialog.h"
#include "SkinLabel.h"

// Dialog template and labels of the alert.
enum {
    IDD_ALERT_POPUP = 128,
    IDC_ALERT_TITLE = 1048,
    IDC_ALERT_MESSAGE = 1016,
    IDC_ALERT_LOCAL_PORT_LABEL = 1011,
    IDC_ALERT_LOCAL_PORT = 1022,
    IDC_ALERT_REMOTE_LABEL = 1012,
    IDC_ALERT_REMOTE = 1023,
    IDC_ALERT_REMOTE_PORT_LABEL = 1013,
    IDC_ALERT_REMOTE_PORT = 1024,
};

// The alert's timers.
enum {
    ALERT_TIMER_RISE = 1000,
    ALERT_TIMER_SINK = 1001,
    ALERT_TIMER_HOLD = 2000,
    ALERT_STEPS = 20,
};

class CAlertPopup;

// Told when an alert object goes, so that nobody keeps it after that.
class IAlertWatcher
{
public:
    virtual void AlertGone(CAlertPopup *alert) = 0;

protected:
    ~IAlertWatcher() {}
};

class CAlertPopup : public CSkinDialog
{
public:
    // skinFolder: the folder of the skin in use, with its trailing backslash.
    CAlertPopup(CWnd *pParent, const SessionRecord &connection, const CString &skinFolder);
    ~CAlertPopup() override;

    // Creates the hidden window; the first tick shows it. On failure the
    // object deletes itself and FALSE is returned.
    BOOL Show();

    BOOL OnInitDialog() override;

    // The watcher is told when the object goes; NULL tells nobody.
    void SetWatcher(IAlertWatcher *watcher) { m_watcher = watcher; }
    const SessionRecord &Connection() const { return m_connection; }
    // One more refusal shown by this alert: its number is shown and the
    // hold starts again. FALSE once the alert sinks: it takes no more.
    BOOL AddRefusal();
    int Refusals() const { return m_refusals; }

    // The texts the alert shows, by control, for a connection.
    static CString TitleKey(const SessionRecord &connection);
    static CString RemoteText(const SessionRecord &connection);
    static CString ProgramName(LPCTSTR path);

protected:
    void DoDataExchange(CDataExchange *pDX) override;
    void PostNcDestroy() override;

    afx_msg BOOL OnEraseBkgnd(CDC *pDC);
    afx_msg void OnPaint();
    afx_msg void OnTimer(UINT nIDEvent);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    void LoadSkin();
    void SetTexts();
    void PlaceLabels();
    void Rise();
    void HoldEnds();
    void Sink();
    void StartSinking();
    RECT WorkArea() const;

    CLanguageText m_text;
    CSkinLabel m_labels[8];
    HICON m_icon;
    bool m_iconIsShared;
    SessionRecord m_connection;
    CString m_skinFolder;
    RECT m_rect;
    int m_riseSteps;
    int m_sinkSteps;
    int m_height;
    BOOL m_sinking;
    int m_refusals;
    IAlertWatcher *m_watcher;
};
