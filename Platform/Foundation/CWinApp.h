// CWinApp: the application object, and the library's global queries.
//
// The program defines one global CWinApp-derived object; its constructor
// registers it before WinMain. AfxWinMain then fills its fields, calls
// InitInstance and, when that succeeds, Run, which pumps messages until
// WM_QUIT. Destroying the main window posts WM_QUIT.
//
// The library also works without an application object (test programs):
// AfxGetApp() is NULL, the loops walk PreTranslateMessage by themselves,
// the name comes from the program file and the instance is the program's.
#pragma once

#include <windows.h>

#include "CString.h"
#include "MessageMap.h"
#include "CCommandLineInfo.h"

class CWnd;

class CWinApp : public CCmdTarget
{
public:
    // A NULL name gives the program file's base name ("QFW" for QFW.exe).
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    ~CWinApp() override;

    CWinApp(const CWinApp &) = delete;
    CWinApp &operator=(const CWinApp &) = delete;

    HINSTANCE m_hInstance;
    // What the start-up code hands to WinMain: the text after the program
    // name and the blanks behind it, trailing blanks kept.
    LPTSTR m_lpCmdLine = NULL;
    int m_nCmdShow = SW_SHOWNORMAL;
    LPCTSTR m_pszAppName;
    CWnd *m_pMainWnd = NULL;

    virtual BOOL InitInstance();
    // Returns the WM_QUIT code that ended Run, 0 without one.
    virtual int ExitInstance();
    // The message loop until WM_QUIT, then ExitInstance.
    virtual int Run();
    // Offers the message to the windows from msg.hwnd outwards (see
    // CWnd::PreTranslateMessage).
    virtual BOOL PreTranslateMessage(MSG *pMsg);
    // Called when the queue is empty; TRUE asks for more idle calls.
    virtual BOOL OnIdle(LONG lCount);
    // Does nothing: applications show help their own way.
    virtual void WinHelp(DWORD_PTR dwData, UINT nCmd = HELP_CONTEXT);

    // ID_HELP: asks the capture window, then the focus window, and each of
    // their parents and owners, for a topic (WM_COMMANDHELP); WinHelp(0)
    // when none answers.
    afx_msg void OnHelp();

    // A shared icon of the program's resources: never destroy it.
    HICON LoadIcon(UINT nIDResource) const;
    void ParseCommandLine(CCommandLineInfo &rCmdInfo);
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }

protected:
    int m_nQuitCode = 0;   // wParam of the WM_QUIT that ended Run

private:
    CString m_strAppName;

    DECLARE_MESSAGE_MAP()
};

CWinApp *AfxGetApp();
// The application's main window; NULL without an application.
CWnd *AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
// Resources come from the program itself.
HINSTANCE AfxGetResourceHandle();
LPCTSTR AfxGetAppName();

// Captioned with the application's name, owned by the active window of the
// thread, else the main window. MB_ICONEXCLAMATION when nType names no
// icon. Returns the button's id.
int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// A window class with DefWindowProc as its procedure, registered once per
// set of arguments; the name stays valid for the life of the process.
LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor = 0, HBRUSH hbrBackground = 0,
                            HICON hIcon = 0);
inline void AfxEnableControlContainer() {}

// Registers the common-control classes the dialog templates use, once per
// process. Done before the first dialog is made.
void AfxInitCommonControls();

// The message pump shared by Run and the modal loops: one message, offered
// to PreTranslateMessage and then dispatched. FALSE on WM_QUIT, which is
// left in *pMsg.
BOOL AfxPumpMessage(MSG *pMsg);
// The PreTranslateMessage of the application, or the walk of the windows
// without one. TRUE when the message was consumed.
BOOL AfxPreTranslateMessage(MSG *pMsg);
// The walk: each permanent CWnd from pMsg->hwnd along ::GetParent.
BOOL AfxWalkPreTranslateTree(MSG *pMsg);

// The entry: fill the application's fields, InitInstance, Run or
// DestroyWindow, ExitInstance.
int AfxWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPTSTR lpCmdLine, int nCmdShow);
