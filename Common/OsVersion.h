// Which Windows the program runs on.
#pragma once

#include <windows.h>

enum OsKind {
    OS_KIND_OTHER = 0,
    OS_KIND_WIN2000 = 1,
    OS_KIND_XP_OR_LATER = 2,
    OS_KIND_WIN9X = 3,
    OS_KIND_NT4 = 4,
};

// True on the Windows 9x family.
bool IsWin9x();

OsKind GetOsKind();

// The kind of a version record's platform and version: NT 4 and 5.0 are
// told apart, and every other NT version counts as XP or later.
OsKind OsKindOf(DWORD platformId, DWORD majorVersion, DWORD minorVersion);
