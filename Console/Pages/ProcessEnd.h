// Ending the process of a node of the traffic monitor's tree, as the user
// asks: never the console itself, never while the console is logged off,
// always after the user's Yes, and only while that process ID still runs
// the program file the node was made from (an ID freed during the question
// may have been given to another program).
#pragma once

#include <windows.h>

#include <CString.h>
#include <CWnd.h>

#include "LanguageText.h"

// After the question: ends the process with exit code 1 when it still runs
// the program file of `programPath` (compared by file name). Opened with
// the terminate right only; every handle is closed. TRUE when it was ended.
BOOL EndProgramProcess(DWORD processId, LPCTSTR programPath);

// The whole command: the refusal while logged off (LOG_DONT), the question
// (WARN_KillProcess of the page's section) and, on Yes, the end.
// `texts` is the page's text source. TRUE when the process was ended.
BOOL ConfirmAndEndProcess(CWnd *page, const CLanguageText &texts, DWORD processId, LPCTSTR programPath);
