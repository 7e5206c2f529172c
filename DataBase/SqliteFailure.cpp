#include "SqliteFailure.h"

#include "CppSQLiteException.h"

#include <string>

void FinalizeAndThrow(sqlite3_stmt *statement, int stepResult)
{
    // The text belongs to the connection and changes with the finalize.
    std::string message = sqlite3_errmsg(sqlite3_db_handle(statement));
    int result = sqlite3_finalize(statement);
    throw CppSQLiteException(result != SQLITE_OK ? result : stepResult, message.c_str());
}
