#include "StoreBase.h"

#include "CException.h"
#include "CppSQLiteException.h"

#include <climits>

const char kCreateSystemTable[] =
    "create table system(tablename char(50) PRIMARY KEY, maxID long  DEFAULT 0);";
const char kUpdateMaxId[] = "update system set maxID='%d' where tablename = '%s';";
const char kUpdateMaxIdCompact[] = "update system set maxID='%d' where tablename='%s';";

namespace {

// Writing the log must not fail the operation, nor throw out of a handler.
template <class Write>
void LogQuietly(Write write)
{
    try {
        write();
    } catch (CException *e) {
        e->Delete();
    } catch (...) {
    }
}

} // namespace

CStoreBase::~CStoreBase()
{
    m_db.Close();
}

bool CStoreBase::Guarded(const SourcePlace &place, const std::function<void()> &body)
{
    try {
        body();
        return true;
    } catch (const CppSQLiteException &e) {
        LogQuietly([&] { LogDatabaseError(e, place); });
    } catch (CException *e) {
        e->Delete();
        LogQuietly([&] { LogOtherError(place); });
    } catch (...) {
        LogQuietly([&] { LogOtherError(place); });
    }
    return false;
}

bool CStoreBase::GuardedTransaction(const SourcePlace &place, const std::function<void()> &body,
                                    TransactionKind kind)
{
    bool begun = false;
    bool done = Guarded(place, [&] {
        if (kind == kWriteLockFirst)
            m_db.BeginWriteTransaction();
        else
            m_db.BeginTransaction();
        begun = true;
        body();
        m_db.CommitTransaction();
    });
    if (!done && begun)
        Guarded(place, [&] { m_db.RollbackTransaction(); });
    return done;
}

long CStoreBase::AddWithNewId(const SourcePlace &place, LPCTSTR table,
                              const std::function<void(long newId)> &insert,
                              LPCTSTR updateMaxIdFormat)
{
    long newId = 0;
    Guarded(place, [&] {
        CString sql;
        sql.Format("select maxID from system where tablename = '%s';", table);
        CSqliteQuery query = m_db.Query(sql);
        if (!query.IsEof()) {
            long maxId = FieldNumber(query, 0);
            if (maxId != LONG_MAX)   // the last possible ID leaves none to hand out
                newId = maxId + 1;
        }
    });
    if (newId == 0)
        return 0;

    bool added = GuardedTransaction(place, [&] {
        insert(newId);
        CString sql;
        sql.Format(updateMaxIdFormat, static_cast<int>(newId), table);
        m_db.Execute(sql);
    });
    return added ? newId : 0;
}
