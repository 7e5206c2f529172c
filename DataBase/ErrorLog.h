// The error logs of the stores, in the program folder: sqlite_err.log for the
// engine's failures, kv_err.log for any other exception. One line each:
//   <now>,<source file>[<build time stamp>],line <n>: <message>\r\n
// with both times in the 24-character form "Fri Apr  8 22:40:20 2005".
#pragma once

#include "CString.h"

class CppSQLiteException;

// Where a failure was handled: the store's source module and the line.
struct SourcePlace {
    const char *file;
    const char *timestamp;   // the module's build time stamp
    int line;
};

// The handler's place, for the code that catches there.
#define STORE_PLACE (SourcePlace{__FILE__, __TIMESTAMP__, __LINE__})

// The folder of both logs, with its trailing backslash; the program
// folder unless set otherwise.
void SetErrorLogFolder(LPCTSTR folder);
CString GetErrorLogFolder();

// Writes "<code>:<message>" to sqlite_err.log.
void LogDatabaseError(const CppSQLiteException &e, const SourcePlace &place);
// Writes "error" to kv_err.log.
void LogOtherError(const SourcePlace &place);

// Makes sure the folder of the path exists, then writes the line. False
// only when the folder is missing and cannot be made.
bool WriteErrorLog(LPCTSTR path, LPCTSTR message, const SourcePlace &place);
// Appends one line to the file; false when it could not be written.
bool WriteErrorLine(LPCTSTR path, LPCTSTR message, const SourcePlace &place);

// A local time in the 24-character form, without a newline.
CString FormatLogTime(const SYSTEMTIME &time);
