// The process table: one entry per process with the lock that serialises the
// decisions of that process. It lives in each process's own data, and only
// the current process adds an entry, so in practice it holds the process's
// own entry.
#pragma once

#include <windows.h>

struct ProcessEntry {
    DWORD ProcessId;                // 0 = free entry
    CRITICAL_SECTION DecisionLock;
};

enum { PROCESS_TABLE_SIZE = 1024 };

// Index of the current process's entry, found or added; -1 when the table is full.
int AddProcessEntry();
// Index of the process's entry, -1 when absent.
int FindProcessEntry(DWORD processId);
// Frees the process's entry (its lock is kept as it is); 0, or -1 when absent.
int RemoveProcessEntry(DWORD processId);
// The current process's entry, or null.
ProcessEntry *GetCurrentProcessEntry();
