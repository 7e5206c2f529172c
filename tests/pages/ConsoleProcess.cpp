#include "ConsoleProcess.h"

#include <CatalogFixture.h>
#include <ConsoleInstance.h>
#include <Installer.h>

namespace {

const DWORD kWaitMs = 30000;

} // namespace

std::string BinFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

bool InstallConsole(const CString &folder, const std::string &provider)
{
    if (!CopyFileA(provider.c_str(), folder + "QFW.DLL", FALSE))
        return false;
    for (const char *file : {"QFW.exe", "TcpipBase.dll"})
        if (!CopyFileA((BinFolder() + file).c_str(), folder + file, FALSE))
            return false;
    if (!CCatalogFixture::WriteBaseCatalog("TcpipBase.dll"))
        return false;
    CConsoleProcess install(folder, "-fzinstall");
    return install.Started() && install.WaitForExit() == 0;
}

void UninstallConsole()
{
    CInstaller installer;
    installer.UninstallDriverService();
    installer.SetAutoStart(FALSE);
    CCatalogFixture::Clear();
}

bool ConsoleMutexExists()
{
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, CONSOLE_INSTANCE_MARKER);
    if (!mutex)
        return false;
    CloseHandle(mutex);
    return true;
}

CConsoleProcess::CConsoleProcess(const CString &folder, const char *arguments)
{
    std::string line = "\"" + std::string(folder) + "QFW.exe\"";
    if (arguments && *arguments)
        line += std::string(" ") + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    m_started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                               &m_info) != FALSE;
}

CConsoleProcess::~CConsoleProcess()
{
    if (!m_started)
        return;
    Kill();
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

DWORD CConsoleProcess::WaitForExit(DWORD ms)
{
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(m_info.hProcess, ms) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

HWND CConsoleProcess::WaitForMarkedWindow(DWORD ms)
{
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        HWND window = FindMarkedConsoleWindow();
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (window && owner == Id())
            return window;
        if (WaitForSingleObject(m_info.hProcess, 100) == WAIT_OBJECT_0)
            return nullptr;
    }
    return nullptr;
}

void CConsoleProcess::Kill()
{
    if (m_started && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_info.hProcess, 99);
        WaitForSingleObject(m_info.hProcess, kWaitMs);
    }
}
