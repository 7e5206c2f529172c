// The code page whose double-byte characters CString steps over: the
// system's ANSI code page (CP_ACP) unless a caller chooses another, as the
// tests do to work in code page 936 on any machine.
#pragma once

#include <windows.h>

UINT GetStringCodePage();
void SetStringCodePage(UINT codePage);

// True when the byte starts a double-byte character in the string code page.
BOOL IsStringLeadByte(TCHAR ch);
