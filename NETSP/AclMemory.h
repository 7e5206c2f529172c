// The process's access to the console's rule image and the decision on each
// socket. One instance lives in the socket filter of every process.
#pragma once

#include <windows.h>
#include "FirewallTypes.h"
#include "SessionRecord.h"

class CAclMemory {
public:
    // Empties the shared console path (from now on only the console's
    // process id identifies it) and detects the platform.
    CAclMemory();
    virtual ~CAclMemory() = default;

    // The decision on the socket of the record: ACTION_PASS lets the call
    // through, any other value refuses it.
    BYTE Evaluate(SessionRecord &record);

    // 1 for the registered console or a listed system program.
    int IsExemptProcess() const;
    // 1 when the path equals one of the count entries (expanded, compared
    // without regard to case).
    static int MatchExemptList(const char *const *list, const char *path, int count);

    void SetWorkMode(BYTE mode);
    BYTE GetWorkMode() const;

private:
    void DetectPlatform();

    bool m_isWin9x = false; // selects the exemption list
};

// 1 when the current process is the registered console.
int IsConsoleProcess();
