#include "CppSQLiteException.h"

#include <sqlite3.h>
#include <utility>

const char *SqliteCodeName(int code)
{
    static const char *const names[] = {
        "SQLITE_OK",       "SQLITE_ERROR",    "SQLITE_INTERNAL", "SQLITE_PERM",
        "SQLITE_ABORT",    "SQLITE_BUSY",     "SQLITE_LOCKED",   "SQLITE_NOMEM",
        "SQLITE_READONLY", "SQLITE_INTERRUPT", "SQLITE_IOERR",   "SQLITE_CORRUPT",
        "SQLITE_NOTFOUND", "SQLITE_FULL",     "SQLITE_CANTOPEN", "SQLITE_PROTOCOL",
        "SQLITE_EMPTY",    "SQLITE_SCHEMA",   "SQLITE_TOOBIG",   "SQLITE_CONSTRAINT",
        "SQLITE_MISMATCH", "SQLITE_MISUSE",   "SQLITE_NOLFS",    "SQLITE_AUTH",
        "SQLITE_FORMAT",   "SQLITE_RANGE",
    };
    if (code >= 0 && code < static_cast<int>(sizeof names / sizeof names[0]))
        return names[code];
    if (code == SQLITE_ROW)
        return "SQLITE_ROW";
    if (code == SQLITE_DONE)
        return "SQLITE_DONE";
    return "UNKNOWN_ERROR";
}

CppSQLiteException::CppSQLiteException(int code, const char *engineMessage)
    : m_code(code),
      m_message(sqlite3_mprintf("%s[%d]%s", SqliteCodeName(code), code,
                                engineMessage ? engineMessage : ""))
{
}

CppSQLiteException::CppSQLiteException(const char *text)
    : m_code(SQLITE_ERROR), m_message(sqlite3_mprintf("%s", text ? text : ""))
{
}

CppSQLiteException::CppSQLiteException(const CppSQLiteException &other)
    : m_code(other.m_code),
      m_message(other.m_message ? sqlite3_mprintf("%s", other.m_message) : nullptr)
{
}

CppSQLiteException &CppSQLiteException::operator=(const CppSQLiteException &other)
{
    CppSQLiteException copy(other);
    std::swap(m_code, copy.m_code);
    std::swap(m_message, copy.m_message);
    return *this;
}

CppSQLiteException::~CppSQLiteException()
{
    sqlite3_free(m_message);
}
