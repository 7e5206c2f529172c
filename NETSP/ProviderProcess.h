// What the provider keeps about the process it is loaded into: the program
// path and process id taken when it attaches, and the start-up lock held by
// the attach and detach steps and for the whole of WSPStartup.
#pragma once

#include <windows.h>

// The program file of the current process, always NUL-terminated (a path
// that does not fit is cut).
void ReadProgramPath(char (&path)[MAX_PATH]);

// The path and id taken at attach.
const char *ProcessProgramPath();
DWORD ProcessId();

// Entry procedure steps, run by DllMain.
void AttachProcess();
void DetachProcess();

// Held across WSPStartup.
class CStartupLock {
public:
    CStartupLock();
    ~CStartupLock();
    CStartupLock(const CStartupLock &) = delete;
    CStartupLock &operator=(const CStartupLock &) = delete;
};
