// The real console, QFW.exe, run by a test: a program folder installed by
// the console's own -fzinstall over a catalog of the system before
// installation, and console processes started in it.
#pragma once

#include <CString.h>

#include <windows.h>

#include <string>

// The folder of the test programs, with its trailing backslash.
std::string BinFolder();

// Lays the console, the provider and the base provider into the folder,
// writes the catalog of a system before installation and runs
// "QFW.exe -fzinstall" there; false when a step failed. `provider` is the
// QFW.DLL to lay in, the build's own by default.
bool InstallConsole(const CString &folder, const std::string &provider = BinFolder() + "QFW.DLL");
// Takes back what an install left in the machine: the driver's service
// key, the Run value and the Winsock catalog.
void UninstallConsole();

// Whether a console's single-instance mutex exists.
bool ConsoleMutexExists();

// A console process started with a command line; ended at the latest when
// the object goes.
class CConsoleProcess
{
public:
    CConsoleProcess(const CString &folder, const char *arguments);
    ~CConsoleProcess();
    CConsoleProcess(const CConsoleProcess &) = delete;
    CConsoleProcess &operator=(const CConsoleProcess &) = delete;

    bool Started() const { return m_started; }
    DWORD Id() const { return m_info.dwProcessId; }
    // The exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD ms = 30000);
    // The window carrying the marker, from this process.
    HWND WaitForMarkedWindow(DWORD ms = 30000);
    // Ends the process at once, as a crash or the task manager would.
    void Kill();

private:
    bool m_started = false;
    PROCESS_INFORMATION m_info = {};
};
