#include "SystemFrame.h"

#include "ConsoleApp.h"
#include "ConsoleMessages.h"
#include "ConsoleSettings.h"
#include "Installer.h"
#include "LoggedOn.h"
#include "LoggedOnRefusal.h"
#include "LogonDialog.h"
#include "PasswordDialog.h"
#include "ProgramFolder.h"

#include <DataExchange.h>

#include <cstdlib>

namespace {

const char kOptions[] = "Options";
const char kAutoStartKey[] = "EnableAutoStart";
const char kAutoUpdateKey[] = "EnableAutoUpdate";
const char kSoundAlertKey[] = "EnableSoundAlert";
const char kWindowAlertKey[] = "EnableWndAlert";

// The updater of the program folder by its quoted full path, and the one
// blank of its empty argument: no other Update.exe is ever searched for.
CString UpdaterCommandLine()
{
    return "\"" + GetProgramFolder() + "Update.exe\" ";
}

// A delete of the Run value finds nothing to do when the value, or the
// whole Run key, is already gone.
bool RunValueAbsent()
{
    HKEY key;
    LONG status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS)
        return status == ERROR_FILE_NOT_FOUND;
    status = ::RegQueryValueExA(key, kRunValue, NULL, NULL, NULL, NULL);
    ::RegCloseKey(key);
    return status == ERROR_FILE_NOT_FOUND;
}

} // namespace

BEGIN_MESSAGE_MAP(CSystemFrame, CConsolePage)
    ON_WM_SIZE()
    ON_MESSAGE(WM_DEFERRED_LAYOUT, OnDeferredLayout)
    ON_STN_CLICKED(IDC_SYS_AUTO_START, OnAutoStart)
    ON_STN_CLICKED(IDC_SYS_AUTO_UPDATE, OnAutoUpdate)
    ON_STN_CLICKED(IDC_SYS_SOUND_ALARM, OnSoundAlert)
    ON_STN_CLICKED(IDC_SYS_WINDOW_ALARM, OnWndAlert)
    ON_BN_CLICKED(IDC_SYS_SET_PASSWORD, OnSetPassword)
    ON_BN_CLICKED(IDC_SYS_LOG_ON_OFF, OnLogOnOff)
    ON_BN_CLICKED(IDC_SYS_CHECK_UPDATE, OnCheckUpdate)
END_MESSAGE_MAP()

CSystemFrame::CSystemFrame(CWnd *pParent)
    : CConsolePage(IDD_SYSTEM_PAGE, pParent, "SubTitle_Left_Option.bmp")
{
}

void CSystemFrame::DoDataExchange(CDataExchange *pDX)
{
    CConsolePage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SYS_WINDOW_ALARM, m_windowAlarm);
    DDX_Control(pDX, IDC_SYS_SOUND_ALARM, m_soundAlarm);
    DDX_Control(pDX, IDC_SYS_AUTO_UPDATE, m_autoUpdate);
    DDX_Control(pDX, IDC_SYS_AUTO_START, m_autoStart);
    DDX_Control(pDX, IDC_SYS_LOG_ON_OFF, m_logOnOff);
    DDX_Control(pDX, IDC_SYS_CHECK_UPDATE, m_checkUpdate);
    DDX_Control(pDX, IDC_SYS_SET_PASSWORD, m_setPassword);
}

BOOL CSystemFrame::OnInitDialog()
{
    CConsolePage::OnInitDialog();
    // A page made anew lays its new controls out.
    m_lastLayout.SetRectEmpty();
    LoadSkin();
    m_texts.SetSource(*GetConsoleApp()->GetLanguagePath(), "FRAME_SYSTEM", "APP", "APP_NAME");
    m_generalGroup.AttachDark(IDC_SYS_GENERAL_GROUP, this);
    m_passwordGroup.AttachDark(IDC_SYS_PASSWORD_GROUP, this);
    m_updateGroup.AttachDark(IDC_SYS_UPDATE_GROUP, this);
    m_alarmGroup.AttachDark(IDC_SYS_ALARM_GROUP, this);
    m_generalGroup.m_bFramed = m_passwordGroup.m_bFramed = TRUE;
    m_updateGroup.m_bFramed = m_alarmGroup.m_bFramed = TRUE;
    LoadTexts();
    LoadMarks();
    ReviewLogOnButton();
    ShowLogOnRow();
    return TRUE;
}

void CSystemFrame::LoadSkin()
{
    const CString folder = ConsoleSkinFolder();
    m_setPassword.SetBitmap(folder + "But_SetPw.bmp", 4, FALSE);
    m_logOnOff.SetBitmap(folder + "But_Log_on_off.bmp", 4, FALSE);
    m_logOnOff.SetRows(2);
    m_checkUpdate.SetBitmap(folder + "But_CheckUpdate.bmp", 4, FALSE);
}

void CSystemFrame::LoadTexts()
{
    m_passwordGroup.SetWindowText(m_texts.GetText("GP_Pw"));
    m_updateGroup.SetWindowText(m_texts.GetText("GP_Update"));
    m_alarmGroup.SetWindowText(m_texts.GetText("GP_Alarm"));
    m_generalGroup.SetWindowText(m_texts.GetText("GP_General"));
    m_autoUpdate.SetWindowText(m_texts.GetText("LB_AutoUpdate"));
    m_soundAlarm.SetWindowText(m_texts.GetText("LB_SoudAlarm"));
    m_windowAlarm.SetWindowText(m_texts.GetText("LB_WndAlarm"));
    m_autoStart.SetWindowText(m_texts.GetText("LB_AutoStart"));
}

// Every box toggles; a stored text that is no number shows no mark.
void CSystemFrame::LoadMarks()
{
    CDataBase &settings = ConsoleSettings();
    const struct {
        CSkinCheckBox *box;
        const char *key;
    } marks[] = {{&m_autoStart, kAutoStartKey},
                 {&m_windowAlarm, kWindowAlertKey},
                 {&m_soundAlarm, kSoundAlertKey},
                 {&m_autoUpdate, kAutoUpdateKey}};
    for (const auto &mark : marks) {
        mark.box->m_nMode = 0;
        mark.box->m_bChecked = atoi(settings.GetString(mark.key, kOptions)) != 0;
        mark.box->Invalidate(TRUE);
    }
}

void CSystemFrame::ReviewLogOnButton()
{
    m_logOnOff.EnableButton(!ConsoleSettings().GetPassword().IsEmpty());
}

void CSystemFrame::ShowLogOnRow()
{
    m_logOnOff.SetRow(LoggedOn ? 1 : 0);
}

void CSystemFrame::RepaintStatusPicture()
{
    CMainFrame &main = GetConsoleApp()->MainFrame();
    if (!main.GetSafeHwnd())
        return;
    const CRect status = main.StatusPictureRect();
    main.InvalidateRect(&status, FALSE);
}

// --- the switches ------------------------------------------------------------

// The box has already turned its mark; a refused one keeps it until the
// page is set up again.
void CSystemFrame::StoreMark(CSkinCheckBox &box, LPCTSTR key)
{
    ConsoleSettings().SetInt(key, box.m_bChecked ? 1 : 0, kOptions);
}

BOOL CSystemFrame::ApplyAutoStart()
{
    const BOOL on = m_autoStart.m_bChecked;
    if (CInstaller().SetAutoStart(on) || (!on && RunValueAbsent()))
        return TRUE;
    // The option mirrors the Run value: what could not be written is not shown.
    m_autoStart.m_bChecked = !on;
    m_autoStart.Invalidate(TRUE);
    return FALSE;
}

void CSystemFrame::OnAutoStart()
{
    if (RefuseWhileLoggedOff(m_hWnd, m_texts) || !ApplyAutoStart())
        return;
    StoreMark(m_autoStart, kAutoStartKey);
}

void CSystemFrame::OnAutoUpdate()
{
    if (!RefuseWhileLoggedOff(m_hWnd, m_texts))
        StoreMark(m_autoUpdate, kAutoUpdateKey);
}

void CSystemFrame::OnSoundAlert()
{
    if (!RefuseWhileLoggedOff(m_hWnd, m_texts))
        StoreMark(m_soundAlarm, kSoundAlertKey);
}

void CSystemFrame::OnWndAlert()
{
    if (!RefuseWhileLoggedOff(m_hWnd, m_texts))
        StoreMark(m_windowAlarm, kWindowAlertKey);
}

// --- the password and the updater ---------------------------------------------

// Works while logged off too: the dialog itself asks for the old password.
void CSystemFrame::OnSetPassword()
{
    CPasswordDialog dialog(ConsoleSettings(), *GetConsoleApp()->GetLanguagePath());
    dialog.DoModal();
    // The console may have ended while the dialog was open, and the page with it.
    if (GetSafeHwnd())
        ReviewLogOnButton();
}

void CSystemFrame::OnLogOnOff()
{
    if (LoggedOn) {
        LoggedOn = 0;
    } else {
        CLogonDialog logon(ConsoleSettings(), *GetConsoleApp()->GetLanguagePath());
        if (logon.DoModal() != IDOK)
            return;
        LoggedOn = 1;
    }
    RepaintStatusPicture();
    ShowLogOnRow();
}

// A failed start is not reported.
void CSystemFrame::OnCheckUpdate()
{
    ::WinExec(UpdaterCommandLine(), SW_SHOWNORMAL);
}

// --- layout --------------------------------------------------------------------

void CSystemFrame::OnSize(UINT nType, int cx, int cy)
{
    CConsolePage::OnSize(nType, cx, cy);
    if (IsWindowVisible())
        PostMessage(WM_DEFERRED_LAYOUT);
}

LRESULT CSystemFrame::OnDeferredLayout(WPARAM, LPARAM)
{
    CRect client;
    GetClientRect(&client);
    if (client == m_lastLayout)
        return 0;
    m_lastLayout = client;
    const int W = client.Width();
    const int wPassword = m_setPassword.m_nStateWidth;

    m_passwordGroup.MoveWindow(10, 35, W - 20, 55);
    m_setPassword.MoveWindow(40, 58, wPassword, m_setPassword.m_nStateHeight);
    m_logOnOff.MoveWindow(40 + wPassword + 10, 58, m_logOnOff.m_nStateWidth, m_logOnOff.m_nStateHeight);
    m_updateGroup.MoveWindow(10, 100, W - 20, 55);
    m_autoUpdate.MoveWindow(40, 125, 200, 20);
    m_checkUpdate.MoveWindow(250, 122, m_checkUpdate.m_nStateWidth, m_checkUpdate.m_nStateHeight);
    m_alarmGroup.MoveWindow(10, 165, W - 20, 65);
    m_soundAlarm.MoveWindow(40, 185, 350, 20);
    m_windowAlarm.MoveWindow(40, 207, 350, 20);
    m_generalGroup.MoveWindow(10, 240, W - 20, 55);
    m_autoStart.MoveWindow(40, 265, 350, 20);
    Invalidate(FALSE);
    return 0;
}
