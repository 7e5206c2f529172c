// The registered console as a wait for its answer began. A console killed
// while a socket waits never answers, and never sets the work mode to 0 as
// it would at exit: the wait watches for its process to end (through a
// handle opened at the start, so that a process id used again by another
// program does not count as the console) and for it to unregister.
#pragma once

#include "ProviderControlBlock.h"

class CConsoleWatch {
public:
    explicit CConsoleWatch(const ProviderControlBlock &control);
    ~CConsoleWatch();
    CConsoleWatch(const CConsoleWatch &) = delete;
    CConsoleWatch &operator=(const CConsoleWatch &) = delete;

    // True once the console that was registered has ended or unregistered.
    // Without a registered console there is none to lose.
    bool Gone() const;

private:
    const ProviderControlBlock &m_control;
    DWORD m_processId;
    HANDLE m_process;
    bool m_endedBefore;
};
