// The store of Firewall.dat: the work mode, the security levels of the
// Internet zone and of the trusted zone (table Config), and the entries of
// the trusted zone (TnetZone) and of the blocked zone (BnetZone).
//
// The file ships with the program and is never made by the console: a file
// that is missing, or that lacks its tables, does not open.
#pragma once

#include "StoreBase.h"
#include "ZoneRecord.h"

#include <vector>

class CFirewallLib : public CStoreBase
{
public:
    CFirewallLib();
    virtual ~CFirewallLib();

    // TRUE when the file exists, is a database and holds the four tables.
    BOOL Open(LPCTSTR path);
    // Makes a new file with the tables and their first rows, as the program
    // ships it; FALSE when the file exists already or cannot be made.
    BOOL Create(LPCTSTR path);
    // The tables, the Config rows and the system rows, in one transaction.
    BOOL CreateTables();

    // The value of a Config key; an empty text without a row or on failure.
    CString GetConfig(LPCTSTR key);
    // A key without a row changes nothing and gives TRUE.
    BOOL SetConfig(LPCTSTR key, LPCTSTR value);
    BOOL SetWorkMode(BYTE mode);
    BOOL SetInetLevel(BYTE level);
    BOOL SetTnetLevel(BYTE level);
    // The stored work mode; normal (1) when none can be read, so that a
    // failed read never switches filtering off.
    BYTE GetWorkMode();

    // `blocked` chooses BnetZone, else TnetZone. The list is cleared first;
    // on a failure it keeps the entries read so far.
    void LoadZones(std::vector<ZoneRecord> &zones, BOOL blocked);
    // The new entry's ID (the record's own ID is not used), 0 on failure,
    // such as a name already used in that zone.
    DWORD AddZone(const ZoneRecord &zone, BOOL blocked);
    // A missing ID changes nothing and gives TRUE.
    BOOL DeleteZone(DWORD id, BOOL blocked);
    BOOL UpdateZone(DWORD id, const ZoneRecord &zone, BOOL blocked);
    // Fills the record and gives TRUE when the entry exists; otherwise the
    // record is not touched.
    BOOL GetZone(DWORD id, ZoneRecord &zone, BOOL blocked);

private:
    BOOL SetConfigByte(LPCTSTR key, BYTE value);
};
