// A connection that repeats a failing statement, sleeping between attempts
// while another connection holds the database. The engine has no busy
// handler of its own: this rule does all the waiting.
#pragma once

#include "SqliteDatabase.h"
#include "SqliteStatement.h"

#include <windows.h>

class CRetryingDatabase : public CSqliteDatabase
{
public:
    typedef void(WINAPI *SleepFunction)(DWORD milliseconds);

    static const DWORD kDefaultDelay = 500;
    static const int kDefaultAttempts = 10;

    CRetryingDatabase();
    virtual ~CRetryingDatabase();

    // The base operations, run up to attempts + 1 times. A busy database
    // sleeps the delay before the next attempt; any other engine failure is
    // tried again at once. The last attempt's failure reaches the caller.
    // Only the compile and first step of a query are repeated.
    CSqliteQuery Query(const char *sql);
    int Execute(const char *sql);
    // The same rule for a statement compiled once (see CSqliteStatement).
    void Prepare(CSqliteStatement &statement, const char *sql);
    int Execute(CSqliteStatement &statement);
    bool QueryNumber(CSqliteStatement &statement, long &value);

    int BeginTransaction() { return Execute("BEGIN TRANSACTION;"); }
    // Takes the write lock at once, so that what the transaction reads
    // cannot be changed by another connection before it writes.
    int BeginWriteTransaction() { return Execute("BEGIN IMMEDIATE TRANSACTION;"); }
    int CommitTransaction() { return Execute("COMMIT TRANSACTION;"); }
    int RollbackTransaction() { return Execute("ROLLBACK TRANSACTION;"); }

    void SetRetry(DWORD delayMilliseconds, int attempts);
    // Where the waits go; Windows' Sleep unless replaced (tests count them).
    void SetSleepFunction(SleepFunction sleep) { m_sleep = sleep; }

private:
    template <class Operation>
    auto Retry(Operation operation) -> decltype(operation());

    DWORD m_delay;
    int m_attempts;
    SleepFunction m_sleep;
};
