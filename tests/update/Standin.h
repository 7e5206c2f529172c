// Copies of programs built beside the tests (the stand-in console
// upd_standin.exe, Update.exe) under chosen names in chosen folders, started
// and ended by the tests.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

class ProgramCopy
{
public:
    // Copies the program to folder + name (folder with its backslash); with
    // no source, the program already there is the one to start.
    ProgramCopy(const std::string &folder, const std::string &name,
                const char *source = "upd_standin.exe");
    // Ends the process if it still runs.
    ~ProgramCopy();
    ProgramCopy(const ProgramCopy &) = delete;
    ProgramCopy &operator=(const ProgramCopy &) = delete;

    // Starts it and waits until its window carries the property (the
    // console's, or the one its mode gives it).
    bool Start(const char *property = nullptr);
    // Starts it without waiting for anything.
    bool Launch();
    // The process's first top-level window with the property, or NULL.
    HWND WindowWithProperty(const char *property) const;
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

// Whether the log comes to read the expected text within the time: a
// console that the updater starts writes its line a moment later.
::testing::AssertionResult StandinLogReads(const std::string &folder, const std::string &expected,
                                           DWORD milliseconds = 10000);

// Ends every process whose lower-case name contains the text.
void EndProcessesNamed(const char *text);

// Waits until a top-level window with the property exists (of the process,
// when one is given).
bool WaitForWindowWithProperty(const char *property, DWORD milliseconds, DWORD processId = 0);
