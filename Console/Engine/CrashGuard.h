// Installs an unhandled-exception filter that hands a crash to the
// crash-dump tool. The console creates no guard: the filter is available but
// not installed.
#pragma once

#include <windows.h>

LONG WINAPI CrashFilter(EXCEPTION_POINTERS *exception);

class CCrashGuard
{
public:
    // path: the tool, or null for FaultSnap.exe beside the program.
    explicit CCrashGuard(LPCSTR path);
    ~CCrashGuard();

    static void InstallFilter();
    static void RestoreFilter();

    CCrashGuard(const CCrashGuard &) = delete;
    CCrashGuard &operator=(const CCrashGuard &) = delete;
};
