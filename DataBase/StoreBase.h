// What the four stores share: their connection and the one shape of a store
// operation. An operation builds its SQL, runs it in a guarded region and
// returns its success value; a failure is logged where it was caught (the
// caller's STORE_PLACE) and turns into the operation's failure value. No
// exception leaves a store operation.
//
//     BOOL CFirewallLib::DeleteZone(UINT id, BOOL blocked)
//     {
//         CString sql;
//         sql.Format("delete from %s where ID=%d;", ZoneTable(blocked), id);
//         return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
//     }
//
// Text values go into a statement only through EscapeSqlText, between
// single quotes; fields come back through FieldText and FieldNumber.
#pragma once

#include "ErrorLog.h"
#include "RetryingDatabase.h"
#include "SqlText.h"
#include "StoreField.h"

#include <functional>

// The table that holds the last ID handed out, one row per table with IDs.
extern const char kCreateSystemTable[];
// "update system set maxID='%d' where tablename = '%s';"
extern const char kUpdateMaxId[];
// The same without blanks around the last "=", as the log store writes it.
extern const char kUpdateMaxIdCompact[];

class CStoreBase
{
public:
    virtual ~CStoreBase();   // closes the database

protected:
    // Built closed, retrying a busy database 10 times 500 ms.
    CStoreBase() = default;

    // Runs the body; true when it returned. An exception is logged at the
    // place and gives false.
    static bool Guarded(const SourcePlace &place, const std::function<void()> &body);

    enum TransactionKind { kDeferredLock, kWriteLockFirst };

    // Runs the body between BEGIN and COMMIT in one guarded region. On a
    // failure the transaction is rolled back, if it was begun; a failing
    // rollback is logged too and never leaves the operation. kWriteLockFirst
    // takes the write lock at BEGIN, for a body that reads what it then
    // writes.
    bool GuardedTransaction(const SourcePlace &place, const std::function<void()> &body,
                            TransactionKind kind = kDeferredLock);

    // Adds a record under the next ID of its table and returns that ID, or
    // 0 when nothing was added. The ID is the table's maxID in `system` plus
    // one (no row: nothing is added); the insert and the raise of maxID
    // commit together, so a failed insert leaves maxID as it was and an ID
    // is never handed out twice.
    long AddWithNewId(const SourcePlace &place, LPCTSTR table,
                      const std::function<void(long newId)> &insert,
                      LPCTSTR updateMaxIdFormat = kUpdateMaxId);

    CRetryingDatabase m_db;
};
