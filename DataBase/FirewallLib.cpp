#include "FirewallLib.h"

#include "ConfigTable.h"
#include "ExistingDatabase.h"

#include <cstdlib>

namespace {

const BYTE kWorkModeNormal = 1;

LPCTSTR ZoneTable(BOOL blocked)
{
    return blocked ? "BnetZone" : "TnetZone";
}

// Name, Type, IP1, IP2 and Site from the columns that start at `first`.
// The addresses are stored as signed numbers and keep their 32 bits.
void ReadZoneFields(const CSqliteQuery &query, int first, ZoneRecord &zone)
{
    zone.Name = FieldText(query, first);
    zone.Type = static_cast<BYTE>(atoi(FieldText(query, first + 1)));
    zone.IP1 = static_cast<DWORD>(FieldNumber(query, first + 2));
    zone.IP2 = static_cast<DWORD>(FieldNumber(query, first + 3));
    zone.Site = FieldText(query, first + 4);
}

} // namespace

CFirewallLib::CFirewallLib() = default;

CFirewallLib::~CFirewallLib() = default;

BOOL CFirewallLib::Open(LPCTSTR path)
{
    bool ready = false;
    Guarded(STORE_PLACE, [&] {
        ready = OpenWithTables(m_db, path, {"system", "Config", "TnetZone", "BnetZone"});
    });
    if (!ready)
        m_db.Close();
    return ready;
}

BOOL CFirewallLib::Create(LPCTSTR path)
{
    if (DatabaseFileExists(path) || !Guarded(STORE_PLACE, [&] { m_db.Open(path); }))
        return FALSE;
    return CreateTables();
}

BOOL CFirewallLib::CreateTables()
{
    return GuardedTransaction(STORE_PLACE, [&] {
        m_db.Execute(kCreateSystemTable);
        m_db.Execute("create table Config(Key char(30) PRIMARY KEY, Val char(50))");
        m_db.Execute("insert into Config values('WorkMode', '1');");
        m_db.Execute("insert into Config values('InetLevel', '1');");
        m_db.Execute("insert into Config values('TnetLevel', '1');");
        m_db.Execute("create table TnetZone(ID long PRIMARY KEY,Name char(50) UNIQUE,Type byte,"
                     "IP1 int,IP2 int,Site char(256) DEFAULT '');");
        m_db.Execute("insert into system values('TnetZone', 0);");
        m_db.Execute("create table BnetZone(ID long PRIMARY KEY,Name char(50) UNIQUE,Type byte,"
                     "IP1 int,IP2 int,Site char(256) DEFAULT '');");
        m_db.Execute("insert into system values('BnetZone', 0);");
    });
}

CString CFirewallLib::GetConfig(LPCTSTR key)
{
    CString value;
    Guarded(STORE_PLACE, [&] { value = QueryConfigValue(m_db, key); });
    return value;
}

BOOL CFirewallLib::SetConfig(LPCTSTR key, LPCTSTR value)
{
    return Guarded(STORE_PLACE, [&] { UpdateConfigValue(m_db, key, value); });
}

BOOL CFirewallLib::SetConfigByte(LPCTSTR key, BYTE value)
{
    CString text;
    text.Format("%d", value);
    return SetConfig(key, text);
}

BOOL CFirewallLib::SetWorkMode(BYTE mode)
{
    return SetConfigByte("WorkMode", mode);
}

BOOL CFirewallLib::SetInetLevel(BYTE level)
{
    return SetConfigByte("InetLevel", level);
}

BOOL CFirewallLib::SetTnetLevel(BYTE level)
{
    return SetConfigByte("TnetLevel", level);
}

BYTE CFirewallLib::GetWorkMode()
{
    const CString mode = GetConfig("WorkMode");
    if (mode.IsEmpty())
        return kWorkModeNormal;
    return static_cast<BYTE>(atoi(mode));
}

void CFirewallLib::LoadZones(std::vector<ZoneRecord> &zones, BOOL blocked)
{
    zones.clear();
    CString sql;
    sql.Format("select ID,Name,Type,IP1,IP2,Site from %s;", ZoneTable(blocked));
    Guarded(STORE_PLACE, [&] {
        for (CSqliteQuery query = m_db.Query(sql); !query.IsEof(); query.NextRow())
        {
            ZoneRecord zone;
            zone.ID = static_cast<DWORD>(FieldNumber(query, 0));
            ReadZoneFields(query, 1, zone);
            zones.push_back(zone);
        }
    });
}

DWORD CFirewallLib::AddZone(const ZoneRecord &zone, BOOL blocked)
{
    LPCTSTR table = ZoneTable(blocked);
    return static_cast<DWORD>(AddWithNewId(STORE_PLACE, table, [&](long newId) {
        CString sql;
        sql.Format("insert into %s(ID,Name,Type,IP1,IP2,Site) Values(%d,'%s',%d,%d,%d,'%s');", table,
                   static_cast<int>(newId), static_cast<LPCTSTR>(EscapeSqlText(zone.Name)), zone.Type,
                   static_cast<int>(zone.IP1), static_cast<int>(zone.IP2),
                   static_cast<LPCTSTR>(EscapeSqlText(zone.Site)));
        m_db.Execute(sql);
    }));
}

BOOL CFirewallLib::DeleteZone(DWORD id, BOOL blocked)
{
    CString sql;
    sql.Format("delete from %s where ID=%d;", ZoneTable(blocked), static_cast<int>(id));
    return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
}

BOOL CFirewallLib::UpdateZone(DWORD id, const ZoneRecord &zone, BOOL blocked)
{
    CString sql;
    sql.Format("update %s set Name='%s',Type=%d,IP1=%d,IP2=%d,Site='%s' where ID=%d;", ZoneTable(blocked),
               static_cast<LPCTSTR>(EscapeSqlText(zone.Name)), zone.Type, static_cast<int>(zone.IP1),
               static_cast<int>(zone.IP2), static_cast<LPCTSTR>(EscapeSqlText(zone.Site)),
               static_cast<int>(id));
    return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
}

BOOL CFirewallLib::GetZone(DWORD id, ZoneRecord &zone, BOOL blocked)
{
    CString sql;
    sql.Format("select Name,Type,IP1,IP2,Site from %s where ID=%d;", ZoneTable(blocked),
               static_cast<int>(id));
    bool found = false;
    Guarded(STORE_PLACE, [&] {
        CSqliteQuery query = m_db.Query(sql);
        if (query.IsEof())
            return;
        zone.ID = id;
        ReadZoneFields(query, 0, zone);
        found = true;
    });
    return found;
}
