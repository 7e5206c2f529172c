// Copies of the stand-in console (upd_standin.exe, built beside the tests)
// under chosen names in chosen folders, started and ended by the tests.
#pragma once

#include <windows.h>

#include <string>

class StandinProgram
{
public:
    // Copies the stand-in to folder + name (folder with its backslash).
    StandinProgram(const std::string &folder, const std::string &name);
    // Ends the process if it still runs.
    ~StandinProgram();
    StandinProgram(const StandinProgram &) = delete;
    StandinProgram &operator=(const StandinProgram &) = delete;

    // Starts it and waits until its window carries the property (the
    // console's, or the one its mode gives it).
    bool Start(const char *property = nullptr);
    bool Running() const;
    // Waits for the end; its exit code, or STILL_ACTIVE after the time.
    DWORD WaitForExit(DWORD milliseconds) const;
    DWORD ProcessId() const { return m_process.dwProcessId; }

    const std::string &Path() const { return m_path; }

private:
    std::string m_path;
    PROCESS_INFORMATION m_process = {};
};

// The lines of standin.log in the folder, with the process ids replaced by
// letters in order of first appearance: "start A", "exit-request A", ...
std::string StandinLog(const std::string &folder);

// Ends every process whose lower-case name contains the text.
void EndProcessesNamed(const char *text);

// Waits until a top-level window with the property exists (of the process,
// when one is given).
bool WaitForWindowWithProperty(const char *property, DWORD milliseconds, DWORD processId = 0);
