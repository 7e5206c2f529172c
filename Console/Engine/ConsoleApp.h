// CConsoleApp: the console's application object. It runs the start-up in
// its fixed order (install switches, single instance, settings, texts,
// Winsock, driver, provider, rule image, connection log, main window,
// background threads), reports the start-up failures, undoes the
// provider's registration at exit and opens the help file's topics.
//
// One object, defined beside the program's entry; the windows reach the
// objects that live from start to exit through GetConsoleApp().
#pragma once

#include <windows.h>

#include <CWinApp.h>

#include "AclPublisher.h"
#include "HelpTopics.h"
#include "LanguageText.h"
#include "MainFrame.h"
#include "ProgramLogs.h"
#include "SpiIoBlock.h"

class CConsoleApp : public CWinApp
{
public:
    CConsoleApp();
    ~CConsoleApp() override;

    BOOL InitInstance() override;
    int ExitInstance() override;
    BOOL PreTranslateMessage(MSG *pMsg) override;
    // dwData: HELP_DATA_BASE plus the template id of the window asking.
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override;

    // Every window binds its texts to this file, with its own section.
    const CString *GetLanguagePath() const { return &m_languagePath; }

    // 0 when the command line was an install switch and the program is to
    // end, 1 to go on with start-up.
    int HandleInstallSwitches(LPCSTR commandLine);
    // 1 when the provider library is loaded and its control entry bound.
    int LoadProvider();
    // Binds the texts to Language.ini in the program folder that is set.
    void BindTexts();
    // The provider's control entry that the windows send through.
    void SetSpiIoControl(SpiIoControlProc entry) { m_spiIoControl = entry; }

    CMainFrame &MainFrame() { return m_mainFrame; }
    CAclPublisher &Publisher() { return m_publisher; }
    CProgramLogs &ProgramLogs() { return m_programLogs; }
    const CLanguageText &Texts() const { return m_texts; }
    // The provider's control entry; NULL while the provider is not bound.
    SpiIoControlProc GetSpiIoControl() const { return m_spiIoControl; }

    // Where help topics are shown; the system's HTML Help unless replaced.
    void SetHtmlHelpEntry(HtmlHelpEntry entry) { m_htmlHelp = entry; }

protected:
    // Whether Windows Sockets 2 is there (started for the process).
    virtual BOOL HasWinsock2();

private:
    // Start-up steps after the single-instance check; FALSE ends start-up.
    BOOL StartEngine();
    BOOL CreateMainWindow();
    BOOL StartThreads();
    // A start-up failure: the text in a box captioned with the program's name.
    static void ReportFailure(LPCTSTR text);
    static void ReportInstallFailure();
    void SendToProvider(DWORD code, DWORD value, DWORD param1, DWORD param2);

    HANDLE m_instanceMutex = NULL;
    CMainFrame m_mainFrame;
    HMODULE m_provider = NULL;
    SpiIoControlProc m_spiIoControl = NULL;
    CString m_languagePath;
    CAclPublisher m_publisher;
    CLanguageText m_texts;
    CProgramLogs m_programLogs;
    // The full path of the program file, which the provider exempts.
    char m_programPath[MAX_PATH] = "";
    HtmlHelpEntry m_htmlHelp = NULL;

    DECLARE_MESSAGE_MAP()
};

// The application object; NULL in a program without one.
CConsoleApp *GetConsoleApp();
