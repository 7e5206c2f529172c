#include "SqliteQuery.h"

#include "CppSQLiteException.h"
#include "SqliteFailure.h"

#include <sqlite3.h>
#include <utility>

CSqliteQuery::CSqliteQuery() : m_statement(nullptr), m_eof(true), m_columns(0)
{
}

CSqliteQuery::CSqliteQuery(sqlite3_stmt *statement, bool eof)
    : m_statement(statement), m_eof(eof),
      m_columns(statement ? sqlite3_column_count(statement) : 0)
{
}

CSqliteQuery::CSqliteQuery(CSqliteQuery &&other) noexcept
    : m_statement(std::exchange(other.m_statement, nullptr)),
      m_eof(std::exchange(other.m_eof, true)),
      m_columns(std::exchange(other.m_columns, 0))
{
}

CSqliteQuery &CSqliteQuery::operator=(CSqliteQuery &&other)
{
    if (this != &other) {
        Finalize();
        m_statement = std::exchange(other.m_statement, nullptr);
        m_eof = std::exchange(other.m_eof, true);
        m_columns = std::exchange(other.m_columns, 0);
    }
    return *this;
}

CSqliteQuery::~CSqliteQuery()
{
    try {
        Finalize();
    } catch (const CppSQLiteException &) {
    }
}

void CSqliteQuery::NextRow()
{
    if (!m_statement) {
        m_eof = true;
        return;
    }
    int result = sqlite3_step(m_statement);
    if (result == SQLITE_DONE) {
        m_eof = true;
    } else if (result != SQLITE_ROW) {
        sqlite3_stmt *failed = std::exchange(m_statement, nullptr);
        m_eof = true;
        FinalizeAndThrow(failed, result);
    }
}

void CSqliteQuery::CheckField(int field) const
{
    if (field < 0 || field >= m_columns)
        throw CppSQLiteException("Invalid field index requested");
}

const char *CSqliteQuery::GetField(int field) const
{
    CheckField(field);
    if (m_eof || !m_statement)
        return nullptr;   // no current row: nothing to read
    return reinterpret_cast<const char *>(sqlite3_column_text(m_statement, field));
}

bool CSqliteQuery::FieldIsNull(int field) const
{
    return GetField(field) == nullptr;
}

const char *CSqliteQuery::FieldName(int field) const
{
    CheckField(field);
    return m_statement ? sqlite3_column_name(m_statement, field) : nullptr;
}

void CSqliteQuery::Finalize()
{
    if (m_statement) {
        sqlite3 *connection = sqlite3_db_handle(m_statement);
        int result = sqlite3_finalize(std::exchange(m_statement, nullptr));
        if (result != SQLITE_OK)
            throw CppSQLiteException(result, sqlite3_errmsg(connection));
    }
    m_eof = true;
}
