#include "UpdateApp.h"
#include "ConsoleMessages.h"
#include "UpdateDialog.h"
#include "UpdateMarkers.h"

namespace {

// The running updater's dialog, found by its property.
HWND FindRunningUpdater()
{
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window && IsWindow(window);
         window = GetWindow(window, GW_HWNDNEXT)) {
        if (GetPropA(window, UPDATE_INSTANCE_MARKER))
            return window;
    }
    return NULL;
}

} // namespace

BEGIN_MESSAGE_MAP(CUpdateApp, CWinApp)
    ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CUpdateApp::CUpdateApp() {}

BOOL CUpdateApp::InitInstance()
{
    m_hMutex = CreateMutexA(NULL, FALSE, UPDATE_INSTANCE_MARKER);
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        if (HWND running = FindRunningUpdater()) {
            PostMessageA(running, WM_UPDATE_CLOSE, 0, 0);
            return FALSE;
        }
    }
    AfxEnableControlContainer();
    Enable3dControls();

    CUpdateDialog dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = NULL;
    return FALSE;
}

int CUpdateApp::ExitInstance()
{
    // The mutex was never owned; the handle closes with the process.
    ReleaseMutex(m_hMutex);
    return CWinApp::ExitInstance();
}
