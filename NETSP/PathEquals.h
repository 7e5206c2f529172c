// Program paths compared as the file system names them: equal length, and
// equal without regard to case. A double-byte character is compared whole,
// so that a trail byte that looks like an ASCII letter is never folded.
#pragma once

#include <windows.h>

BOOL PathEqualsNoCase(const char *a, const char *b, UINT codePage = CP_ACP);
