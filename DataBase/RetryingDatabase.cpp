#include "RetryingDatabase.h"

#include "CppSQLiteException.h"

#include <sqlite3.h>

CRetryingDatabase::CRetryingDatabase()
    : m_delay(kDefaultDelay), m_attempts(kDefaultAttempts), m_sleep(Sleep)
{
}

CRetryingDatabase::~CRetryingDatabase()
{
}

void CRetryingDatabase::SetRetry(DWORD delayMilliseconds, int attempts)
{
    m_delay = delayMilliseconds;
    m_attempts = attempts;
}

template <class Operation>
auto CRetryingDatabase::Retry(Operation operation) -> decltype(operation())
{
    for (int left = m_attempts; left > 0; --left) {
        try {
            return operation();
        } catch (const CppSQLiteException &e) {
            if (e.GetCode() == SQLITE_BUSY)
                m_sleep(m_delay);
        }
    }
    return operation();
}

CSqliteQuery CRetryingDatabase::Query(const char *sql)
{
    return Retry([&] { return CSqliteDatabase::Query(sql); });
}

int CRetryingDatabase::Execute(const char *sql)
{
    return Retry([&] { return CSqliteDatabase::Execute(sql); });
}

void CRetryingDatabase::Prepare(CSqliteStatement &statement, const char *sql)
{
    Retry([&] { statement.Prepare(GetHandle(), sql); });
}

int CRetryingDatabase::Execute(CSqliteStatement &statement)
{
    return Retry([&] { return statement.Execute(); });
}

bool CRetryingDatabase::QueryNumber(CSqliteStatement &statement, long &value)
{
    return Retry([&] { return statement.QueryNumber(value); });
}
