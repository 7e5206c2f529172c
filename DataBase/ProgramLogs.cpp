#include "ProgramLogs.h"

#include "DamagedDatabase.h"

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

CProgramLogs::~CProgramLogs() = default;

BOOL CProgramLogs::Open(LPCTSTR path)
{
    if (!Guarded(STORE_PLACE, [&] { m_db.Open(path); }))
    {
        // The engine cannot read the file (the failed open holds no handle).
        if (!MoveDamagedDatabaseAside(path) || !Guarded(STORE_PLACE, [&] { m_db.Open(path); }))
            return FALSE;
    }
    CreateTables();
    return TRUE;
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
    return static_cast<DWORD>(AddWithNewId(
        STORE_PLACE, "ProgramLogs",
        [&](long newId) {
            CString sql;
            sql.Format("insert into ProgramLogs(ID,PID,Path,Direction,LocalPort,WebSite,"
                       "RemoteIP,RemotePort,Protocol,OutCount,InCount,StartTime,EndTime,Action)"
                       " Values(%d,%d,'%s',%d,%d,'%s',%d,%d,%d,%d,%d,%d,%d,%d);",
                       static_cast<int>(newId), static_cast<int>(log.PID),
                       static_cast<LPCTSTR>(EscapeSqlText(log.Path)), log.Direction, log.LocalPort,
                       static_cast<LPCTSTR>(EscapeSqlText(log.WebSite)), static_cast<int>(log.RemoteIP),
                       log.RemotePort, log.Protocol, static_cast<int>(log.OutCount),
                       static_cast<int>(log.InCount), static_cast<int>(log.StartTime),
                       static_cast<int>(log.EndTime), log.Action);
            m_db.Execute(sql);
        },
        kUpdateMaxIdCompact));
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
