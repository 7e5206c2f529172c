// Opening a database file that must already hold a store's tables, as the
// files that ship with the program must: nothing here makes a missing file.
#pragma once

#include "RetryingDatabase.h"

#include <windows.h>
#include <initializer_list>

bool DatabaseFileExists(LPCTSTR path);

// True when every named table exists. Throws the engine's failure.
bool HasTables(CRetryingDatabase &db, std::initializer_list<const char *> tables);

// True when the database holds no table at all, as a file that the engine
// has just made. Throws the engine's failure.
bool IsEmptyDatabase(CRetryingDatabase &db);

// Opens the file when it exists and holds every named table; false, with
// the connection closed, when it does not exist or lacks a table. Throws
// the engine's failure (a file that is not a database).
bool OpenWithTables(CRetryingDatabase &db, LPCTSTR path,
                    std::initializer_list<const char *> tables);
