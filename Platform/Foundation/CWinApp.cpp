// CWinApp and the library's global queries.
#include "CWinApp.h"

#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

#include "CWnd.h"
#include "TempObjects.h"

// Set by the application object's constructor, before WinMain; constant
// initialised, so it is NULL until then.
static CWinApp *s_pApp = NULL;

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

// "QFW" for C:\Program Files\QFW\QFW.exe.
static CString ProgramBaseName()
{
    char szPath[MAX_PATH];
    const DWORD nLength = ::GetModuleFileNameA(NULL, szPath, sizeof szPath);
    if (nLength == 0 || nLength >= sizeof szPath)
        return CString();
    CString strName(szPath);
    strName = strName.Mid(strName.ReverseFind('\\') + 1);
    const int nDot = strName.ReverseFind('.');
    return nDot > 0 ? strName.Left(nDot) : strName;
}

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_hInstance(::GetModuleHandleA(NULL)),
      m_strAppName(lpszAppName != NULL ? CString(lpszAppName) : ProgramBaseName())
{
    m_pszAppName = m_strAppName;
    s_pApp = this;
}

CWinApp::~CWinApp()
{
    if (s_pApp == this)
        s_pApp = NULL;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_nQuitCode;
}

int CWinApp::Run()
{
    MSG msg;
    for (;;)
    {
        for (LONG lIdleCount = 0; !::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE);)
        {
            if (!OnIdle(lIdleCount++))
                break;
        }
        if (!AfxPumpMessage(&msg))
        {
            m_nQuitCode = static_cast<int>(msg.wParam);
            return ExitInstance();
        }
    }
}

BOOL CWinApp::PreTranslateMessage(MSG *pMsg)
{
    return AfxWalkPreTranslateTree(pMsg);
}

BOOL CWinApp::OnIdle(LONG)
{
    AfxDeleteTempObjects();
    return FALSE;
}

void CWinApp::WinHelp(DWORD_PTR, UINT)
{
}

// Asks hWnd, then its parents and owners, for a help topic.
static BOOL AskForHelp(HWND hWnd)
{
    for (; hWnd != NULL; hWnd = ::GetParent(hWnd))
    {
        if (::SendMessageA(hWnd, WM_COMMANDHELP, 0, 0))
            return TRUE;
    }
    return FALSE;
}

void CWinApp::OnHelp()
{
    if (AskForHelp(::GetCapture()) || AskForHelp(::GetFocus()))
        return;
    WinHelp(0, HELP_CONTEXT);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource));
}

void CWinApp::ParseCommandLine(CCommandLineInfo &rCmdInfo)
{
    for (int i = 1; i < __argc; ++i)
    {
        LPCTSTR pszParam = __argv[i];
        const BOOL bFlag = pszParam[0] == '-' || pszParam[0] == '/';
        rCmdInfo.ParseParam(bFlag ? pszParam + 1 : pszParam, bFlag, i + 1 == __argc);
    }
}

// --- global queries ----------------------------------------------------------

CWinApp *AfxGetApp()
{
    return s_pApp;
}

CWnd *AfxGetMainWnd()
{
    return s_pApp != NULL ? s_pApp->m_pMainWnd : NULL;
}

HINSTANCE AfxGetInstanceHandle()
{
    return s_pApp != NULL ? s_pApp->m_hInstance : ::GetModuleHandleA(NULL);
}

HINSTANCE AfxGetResourceHandle()
{
    return AfxGetInstanceHandle();
}

LPCTSTR AfxGetAppName()
{
    if (s_pApp != NULL)
        return s_pApp->m_pszAppName;
    static const CString strName = ProgramBaseName();
    return strName;
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT)
{
    HWND hWndOwner = ::GetActiveWindow();
    if (hWndOwner == NULL)
    {
        CWnd *pMainWnd = AfxGetMainWnd();
        hWndOwner = pMainWnd != NULL ? pMainWnd->m_hWnd : NULL;
    }
    if ((nType & MB_ICONMASK) == 0)
        nType |= MB_ICONEXCLAMATION;
    return ::MessageBoxA(hWndOwner, lpszText, AfxGetAppName(), nType);
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    static std::mutex namesLock;
    static std::set<std::string> names;   // never shrinks: the names stay valid

    HINSTANCE hInstance = AfxGetInstanceHandle();
    char szName[96];
    wsprintfA(szName, "Afx:%p:%x:%p:%p:%p", static_cast<void *>(hInstance), nClassStyle,
              static_cast<void *>(hCursor), static_cast<void *>(hbrBackground),
              static_cast<void *>(hIcon));

    std::lock_guard<std::mutex> lock(namesLock);
    auto inserted = names.insert(szName);
    if (inserted.second)
    {
        WNDCLASSA wc = {};
        wc.style = nClassStyle;
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = hInstance;
        wc.hIcon = hIcon;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = inserted.first->c_str();
        if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        {
            names.erase(inserted.first);
            return NULL;
        }
    }
    return inserted.first->c_str();
}
