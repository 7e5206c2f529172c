// The connection log store, ProgramLogs.dat: one row per finished
// connection, added by the traffic monitor page and listed, filtered and
// deleted by the log page.
//
// Every open runs the table creation (on an existing file it fails, logged,
// and changes nothing); a file that is not a database is moved aside
// (path + "e") and made anew.
//
// The file is kept in write-ahead mode with full syncs: a row that an
// addition reported as stored survives a killed process and a power loss,
// and an addition costs one sync. The statements of an addition are
// compiled once per open.
#pragma once

#include "LogRecord.h"
#include "StoreBase.h"

#include <vector>

class CProgramLogs : public CStoreBase
{
public:
    // The filters of QueryLogs that let every program or action through.
    static const DWORD kAllPrograms = 0xFFFFFFFF;
    static const BYTE kAllActions = 255;

    CProgramLogs();
    virtual ~CProgramLogs();

    // FALSE only when no database could be opened or made at the path.
    BOOL Open(LPCTSTR path);
    // The system table, its row and the log table, in one transaction.
    BOOL CreateTables();

    // The connections that started at or after `from` and ended at or
    // before `to`, of one rule's program (kAllPrograms for all) and one
    // action (kAllActions for all), in the order they were added. The list
    // is cleared first; on a failure it keeps the rows read so far.
    BOOL QueryLogs(DWORD from, DWORD to, DWORD ruleId, BYTE action, std::vector<LogRecord> &logs);
    // The new row's ID (the record's own ID is not used), 0 on failure.
    DWORD AddLog(const LogRecord &log);
    // Adds the rows of one pass over the closed connections in one
    // transaction, under consecutive new IDs in the order given: either
    // every row is stored, at the commit, or none is. TRUE when they were
    // (an empty list stores nothing and gives TRUE).
    BOOL AddLogsOfPass(const std::vector<LogRecord> &logs);
    // A missing ID changes nothing and gives TRUE.
    BOOL DeleteLog(DWORD id);
    // IDs go on from the last one handed out.
    BOOL DeleteAllLogs();
    // The rows that QueryLogs(from, to) would list for all programs.
    BOOL DeleteLogsByTime(DWORD from, DWORD to);

private:
    // The first of the count new IDs, 0 when nothing was added. The IDs are
    // read and raised in the transaction that inserts the rows.
    long AddRows(const SourcePlace &place, const LogRecord *logs, size_t count);
    void PrepareAdditionStatements();
    void InsertRow(long id, const LogRecord &log);
    void ReleaseStatements();

    CSqliteStatement m_readMaxId;
    CSqliteStatement m_insertRow;
    CSqliteStatement m_raiseMaxId;
};
