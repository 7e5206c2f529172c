#include "ConsoleApp.h"

#include "ConsoleInstance.h"
#include "ConsoleMessages.h"
#include "ConsoleSettings.h"
#include "DriverInterface.h"
#include "InstallSwitches.h"
#include "Installer.h"
#include "PathText.h"
#include "LoggedOn.h"
#include "ProgramFolder.h"
#include "SessionMonitor.h"
#include "SplashWindow.h"
#include "ZoneHostResolver.h"

#include <CCommandLineInfo.h>

namespace {

// The two failures reported with built-in texts, in code page 936: opening
// the rule file failed, opening the log file failed.
const char kRuleFileFailed[] = "\xb4\xf2\xbf\xaa\xb9\xe6\xd4\xf2\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";
const char kLogFileFailed[] = "\xb4\xf2\xbf\xaa\xc8\xd5\xd6\xbe\xce\xc4\xbc\xfe\xca\xa7\xb0\xdc";

const UINT kHtmlHelpDisplayTopic = 0; // HH_DISPLAY_TOPIC

} // namespace

BEGIN_MESSAGE_MAP(CConsoleApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CConsoleApp *GetConsoleApp()
{
    return static_cast<CConsoleApp *>(AfxGetApp());
}

CConsoleApp::CConsoleApp() : CWinApp(NULL)
{
}

CConsoleApp::~CConsoleApp()
{
}

BOOL CConsoleApp::InitInstance()
{
    // The install switches need the program folder and the texts.
    SetProgramFolder(GetModuleDir(NULL, false));
    BindTexts();
    if (!HandleInstallSwitches(m_lpCmdLine))
        return FALSE;

    m_instanceMutex = ::CreateMutexA(NULL, FALSE, CONSOLE_INSTANCE_MARKER);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        if (HWND running = FindMarkedConsoleWindow())
            ::PostMessageA(running, WM_SHOW_CONSOLE, 0, 0);
        return FALSE;
    }
    return StartEngine();
}

void CConsoleApp::BindTexts()
{
    m_languagePath = GetProgramFolder() + "Language.ini";
    m_texts.SetSource(m_languagePath, "APP", "APP", "APP_NAME");
}

BOOL CConsoleApp::StartEngine()
{
    // A settings file that cannot be opened leaves the defaults in force.
    ConsoleSettings().Open(GetProgramFolder() + "Config.dat");

    CCommandLineInfo commandLine;
    ParseCommandLine(commandLine);
    CSplashWindow::EnableSplash(commandLine.m_bShowSplash);
    AfxEnableControlContainer();
    Enable3dControlsStatic();

    LoggedOn = ConsoleSettings().GetPassword().IsEmpty() ? 1 : 0;

    if (!HasWinsock2()) {
        ReportFailure(m_texts.GetText("Error_Winsock2", "APP"));
        return FALSE;
    }
    CInstaller().RecheckProvider();
    if (OpenDriver() == NULL) {
        ReportFailure(m_texts.GetText("Error_OpenDriver", "APP"));
        return FALSE;
    }
    if (!LoadProvider())
        return FALSE;

    ::GetModuleFileNameA(NULL, m_programPath, sizeof m_programPath);
    SendToProvider(SPI_SET_CONSOLE, 0, ::GetCurrentProcessId(),
                   static_cast<DWORD>(reinterpret_cast<DWORD_PTR>(m_programPath)));

    m_publisher.SetSpiIoControl(m_spiIoControl);
    if (!m_publisher.Build()) {
        ReportFailure(kRuleFileFailed);
        return FALSE;
    }
    if (!m_programLogs.Open(GetProgramFolder() + "ProgramLogs.dat")) {
        ReportFailure(kLogFileFailed);
        return FALSE;
    }
    // Without a main window the console could not be reached or ended.
    if (!CreateMainWindow())
        return FALSE;
    return StartThreads();
}

BOOL CConsoleApp::CreateMainWindow()
{
    if (!m_mainFrame.Create(IDD_MAIN_FRAME, NULL))
        return FALSE;
    m_pMainWnd = &m_mainFrame;
    // Without its icon the window is the only way to the console.
    m_mainFrame.ShowWindow(m_mainFrame.HasTrayIcon() ? SW_HIDE : SW_SHOW);
    m_mainFrame.UpdateWindow();
    return TRUE;
}

BOOL CConsoleApp::StartThreads()
{
    if (CSessionMonitor::Start(m_spiIoControl, m_mainFrame.ProgramPage().GetSafeHwnd(),
                               m_mainFrame.MonitorPage().GetSafeHwnd()) &&
        CZoneHostResolver::Start(m_publisher))
        return TRUE;
    // Destroying the window stops whichever thread did start, before the
    // provider library that the poller calls is freed.
    m_mainFrame.DestroyWindow();
    m_pMainWnd = NULL;
    return FALSE;
}

BOOL CConsoleApp::HasWinsock2()
{
    return CInstaller::CheckWinsock2();
}

int CConsoleApp::HandleInstallSwitches(LPCSTR commandLine)
{
    return ::HandleInstallSwitches(commandLine, ReportInstallFailure);
}

int CConsoleApp::LoadProvider()
{
    char path[MAX_PATH] = "";
    if (!CInstaller::GetProviderPath(path))
        return 0;
    m_provider = ::LoadLibraryA(path);
    if (!m_provider)
        return 0;
    m_spiIoControl = reinterpret_cast<SpiIoControlProc>(
        reinterpret_cast<void (*)()>(::GetProcAddress(m_provider, SPI_IO_CONTROL_NAME)));
    if (!m_spiIoControl) {
        ::FreeLibrary(m_provider);
        m_provider = NULL;
        return 0;
    }
    return 1;
}

void CConsoleApp::SendToProvider(DWORD code, DWORD value, DWORD param1, DWORD param2)
{
    if (!m_spiIoControl)
        return;
    SpiIoBlock block = {value, param1, param2, 0};
    m_spiIoControl(code, &block);
}

int CConsoleApp::ExitInstance()
{
    CInstaller().RecheckProvider();
    if (m_spiIoControl) {
        // Filtering off first, then the console is no longer exempt.
        SendToProvider(SPI_SET_WORK_MODE, 0, 0, 0);
        SendToProvider(SPI_SET_CONSOLE, 0, 0, 0);
        m_spiIoControl = NULL;
    }
    if (m_provider) {
        ::FreeLibrary(m_provider);
        m_provider = NULL;
    }
    if (m_instanceMutex) {
        ::CloseHandle(m_instanceMutex);
        m_instanceMutex = NULL;
    }
    return CWinApp::ExitInstance();
}

BOOL CConsoleApp::PreTranslateMessage(MSG *pMsg)
{
    if (CSplashWindow::FilterAppMessage(pMsg))
        return TRUE;
    return CWinApp::PreTranslateMessage(pMsg);
}

void CConsoleApp::WinHelp(DWORD_PTR dwData, UINT)
{
    if (dwData < HELP_DATA_BASE)
        return;
    const CString topic = HelpTopicFor(static_cast<UINT>(dwData - HELP_DATA_BASE),
                                       [this](UINT pageId) { return m_mainFrame.PageHelpTopic(pageId); });
    if (topic.IsEmpty())
        return;
    HtmlHelpEntry entry = m_htmlHelp ? m_htmlHelp : SystemHtmlHelp();
    const CString path = GetProgramFolder() + "Ferrowind.chm" + topic;
    HWND shown = entry ? entry(m_mainFrame.GetSafeHwnd(), path, kHtmlHelpDisplayTopic, 0) : NULL;
    if (!shown)
        ::MessageBoxA(NULL, m_texts.GetText("Error_HelpFailed", "APP"), m_texts.GetAppName(), MB_ICONERROR);
}

void CConsoleApp::ReportFailure(LPCTSTR text)
{
    AfxMessageBox(text, MB_OK);
}

void CConsoleApp::ReportInstallFailure()
{
    ReportFailure(GetConsoleApp()->Texts().GetText("Install_Failed", "APP"));
}
