#include "SqliteStatement.h"

#include "CppSQLiteException.h"

#include <sqlite3.h>
#include <cstdlib>
#include <utility>

namespace {

[[noreturn]] void ThrowEngineFailure(sqlite3 *db, int result)
{
    throw CppSQLiteException(result, sqlite3_errmsg(db));
}

} // namespace

CSqliteStatement::~CSqliteStatement()
{
    Release();
}

void CSqliteStatement::Prepare(sqlite3 *db, const char *sql)
{
    Release();
    if (!db)
        throw CppSQLiteException("Database not open");
    int result = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
    if (result != SQLITE_OK || !m_statement)
    {
        m_statement = nullptr;
        ThrowEngineFailure(db, result != SQLITE_OK ? result : SQLITE_MISUSE);
    }
}

void CSqliteStatement::Release()
{
    if (m_statement)
        sqlite3_finalize(std::exchange(m_statement, nullptr));
}

void CSqliteStatement::Bind(int parameter, int value)
{
    int result = sqlite3_bind_int(m_statement, parameter, value);
    if (result != SQLITE_OK)
        ThrowEngineFailure(sqlite3_db_handle(m_statement), result);
}

void CSqliteStatement::Bind(int parameter, const char *text)
{
    int result = sqlite3_bind_text(m_statement, parameter, text ? text : "", -1, SQLITE_TRANSIENT);
    if (result != SQLITE_OK)
        ThrowEngineFailure(sqlite3_db_handle(m_statement), result);
}

int CSqliteStatement::Step()
{
    int result = sqlite3_step(m_statement);
    if (result != SQLITE_ROW && result != SQLITE_DONE)
    {
        sqlite3 *db = sqlite3_db_handle(m_statement);
        sqlite3_reset(m_statement);
        ThrowEngineFailure(db, result);
    }
    return result;
}

int CSqliteStatement::Execute()
{
    if (Step() != SQLITE_DONE)
    {
        sqlite3_reset(m_statement);
        throw CppSQLiteException(SQLITE_MISUSE, "statement yields rows");
    }
    int changes = sqlite3_changes(sqlite3_db_handle(m_statement));
    sqlite3_reset(m_statement);
    return changes;
}

bool CSqliteStatement::QueryNumber(long &value)
{
    bool found = Step() == SQLITE_ROW;
    if (found)
    {
        const unsigned char *text = sqlite3_column_text(m_statement, 0);
        value = text ? atol(reinterpret_cast<const char *>(text)) : 0;
    }
    sqlite3_reset(m_statement);
    return found;
}
