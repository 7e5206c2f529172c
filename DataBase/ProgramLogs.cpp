#include "ProgramLogs.h"

#include "DamagedDatabase.h"

#include <climits>

namespace {

LogRecord ReadLogRow(const CSqliteQuery &query)
{
    // ID,PID,Path,Direction,LocalPort,WebSite,RemoteIP,RemotePort,Protocol,
    // InCount,OutCount,StartTime,EndTime,Action
    LogRecord log;
    log.ID = static_cast<DWORD>(FieldNumber(query, 0));
    log.PID = static_cast<DWORD>(FieldNumber(query, 1));
    log.Path = FieldText(query, 2);
    log.Direction = static_cast<BYTE>(FieldNumber(query, 3));
    log.LocalPort = static_cast<WORD>(FieldNumber(query, 4));
    log.WebSite = FieldText(query, 5);
    log.RemoteIP = static_cast<DWORD>(FieldNumber(query, 6));
    log.RemotePort = static_cast<WORD>(FieldNumber(query, 7));
    log.Protocol = static_cast<BYTE>(FieldNumber(query, 8));
    log.InCount = static_cast<DWORD>(FieldNumber(query, 9));
    log.OutCount = static_cast<DWORD>(FieldNumber(query, 10));
    log.StartTime = static_cast<DWORD>(FieldNumber(query, 11));
    log.EndTime = static_cast<DWORD>(FieldNumber(query, 12));
    log.Action = static_cast<BYTE>(FieldNumber(query, 13));
    return log;
}

} // namespace

CProgramLogs::CProgramLogs() = default;

// The statements go before the connection that compiled them.
CProgramLogs::~CProgramLogs()
{
    ReleaseStatements();
}

BOOL CProgramLogs::Open(LPCTSTR path)
{
    ReleaseStatements();
    if (!Guarded(STORE_PLACE, [&] { m_db.Open(path); }))
    {
        // The engine cannot read the file (the failed open holds no handle).
        if (!MoveDamagedDatabaseAside(path) || !Guarded(STORE_PLACE, [&] { m_db.Open(path); }))
            return FALSE;
    }
    // Write-ahead mode stays with the file; the sync level is the
    // connection's. A file left in another mode is still synced in full.
    Guarded(STORE_PLACE, [&] {
        m_db.Query("PRAGMA journal_mode=WAL;");
        m_db.Execute("PRAGMA synchronous=FULL;");
    });
    CreateTables();
    return TRUE;
}

void CProgramLogs::ReleaseStatements()
{
    m_readMaxId.Release();
    m_insertRow.Release();
    m_raiseMaxId.Release();
}

BOOL CProgramLogs::CreateTables()
{
    return GuardedTransaction(STORE_PLACE, [&] {
        m_db.Execute(kCreateSystemTable);
        m_db.Execute("create table ProgramLogs(ID long PRIMARY KEY,PID long DEFAULT 0,Path char(260) DEFAULT '',"
                     "Direction byte DEFAULT 0,LocalPort long DEFAULT 0,WebSite char(256) DEFAULT '',"
                     "RemoteIP long DEFAULT 0,RemotePort long DEFAULT 0,Protocol byte DEFAULT 0,"
                     "OutCount long DEFAULT 0,InCount long DEFAULT 0,StartTime long DEFAULT 0,"
                     "EndTime long DEFAULT 0,Action byte DEFAULT 0);");
        m_db.Execute("insert into system values('ProgramLogs', 0);");
    });
}

BOOL CProgramLogs::QueryLogs(DWORD from, DWORD to, DWORD ruleId, BYTE action, std::vector<LogRecord> &logs)
{
    logs.clear();
    CString sql;
    sql.Format("SELECT ID,PID,Path,Direction,LocalPort,WebSite,RemoteIP,"
               "RemotePort,Protocol,InCount,OutCount,StartTime,EndTime,Action"
               " FROM ProgramLogs WHERE StartTime>=%d and EndTime<=%d",
               static_cast<int>(from), static_cast<int>(to));
    CString filter;
    if (ruleId != kAllPrograms)
    {
        filter.Format(" AND PID=%d", static_cast<int>(ruleId));
        sql += filter;
    }
    if (action != kAllActions)
    {
        filter.Format(" AND Action=%d ", action);
        sql += filter;
    }
    sql += ";";
    return Guarded(STORE_PLACE, [&] {
        for (CSqliteQuery query = m_db.Query(sql); !query.IsEof(); query.NextRow())
            logs.push_back(ReadLogRow(query));
    });
}

DWORD CProgramLogs::AddLog(const LogRecord &log)
{
    return static_cast<DWORD>(AddRows(STORE_PLACE, &log, 1));
}

BOOL CProgramLogs::AddLogsOfPass(const std::vector<LogRecord> &logs)
{
    return logs.empty() || AddRows(STORE_PLACE, logs.data(), logs.size()) != 0;
}

long CProgramLogs::AddRows(const SourcePlace &place, const LogRecord *logs, size_t count)
{
    long firstId = 0;
    bool committed = GuardedTransaction(
        place,
        [&] {
            PrepareAdditionStatements();
            long maxId = 0;
            // No row for the table, or no IDs left: nothing is added.
            if (!m_db.QueryNumber(m_readMaxId, maxId) || maxId < 0 ||
                count > static_cast<size_t>(LONG_MAX - maxId))
                return;
            for (size_t i = 0; i < count; i++)
                InsertRow(maxId + 1 + static_cast<long>(i), logs[i]);
            m_raiseMaxId.Bind(1, static_cast<int>(maxId + static_cast<long>(count)));
            m_db.Execute(m_raiseMaxId);
            firstId = maxId + 1;
        },
        kWriteLockFirst);
    return committed ? firstId : 0;
}

void CProgramLogs::PrepareAdditionStatements()
{
    if (!m_readMaxId.IsPrepared())
        m_db.Prepare(m_readMaxId, "select maxID from system where tablename='ProgramLogs';");
    if (!m_insertRow.IsPrepared())
        m_db.Prepare(m_insertRow,
                     "insert into ProgramLogs(ID,PID,Path,Direction,LocalPort,WebSite,"
                     "RemoteIP,RemotePort,Protocol,OutCount,InCount,StartTime,EndTime,Action)"
                     " Values(?1,?2,?3,?4,?5,?6,?7,?8,?9,?10,?11,?12,?13,?14);");
    if (!m_raiseMaxId.IsPrepared())
        m_db.Prepare(m_raiseMaxId, "update system set maxID=?1 where tablename='ProgramLogs';");
}

// Numbers are stored as the signed 32-bit values that "%d" would write.
void CProgramLogs::InsertRow(long id, const LogRecord &log)
{
    m_insertRow.Bind(1, static_cast<int>(id));
    m_insertRow.Bind(2, static_cast<int>(log.PID));
    m_insertRow.Bind(3, static_cast<LPCTSTR>(log.Path));
    m_insertRow.Bind(4, log.Direction);
    m_insertRow.Bind(5, log.LocalPort);
    m_insertRow.Bind(6, static_cast<LPCTSTR>(log.WebSite));
    m_insertRow.Bind(7, static_cast<int>(log.RemoteIP));
    m_insertRow.Bind(8, log.RemotePort);
    m_insertRow.Bind(9, log.Protocol);
    m_insertRow.Bind(10, static_cast<int>(log.OutCount));
    m_insertRow.Bind(11, static_cast<int>(log.InCount));
    m_insertRow.Bind(12, static_cast<int>(log.StartTime));
    m_insertRow.Bind(13, static_cast<int>(log.EndTime));
    m_insertRow.Bind(14, log.Action);
    m_db.Execute(m_insertRow);
}

BOOL CProgramLogs::DeleteLog(DWORD id)
{
    CString sql;
    sql.Format("delete from ProgramLogs where ID=%d;", static_cast<int>(id));
    return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
}

BOOL CProgramLogs::DeleteAllLogs()
{
    return Guarded(STORE_PLACE, [&] { m_db.Execute("delete from ProgramLogs;"); });
}

BOOL CProgramLogs::DeleteLogsByTime(DWORD from, DWORD to)
{
    CString sql;
    sql.Format("delete from ProgramLogs where StartTime>=%d and EndTime<=%d;", static_cast<int>(from),
               static_cast<int>(to));
    return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
}
