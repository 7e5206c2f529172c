#include "ProgramsRuleLib.h"

#include "CTime.h"
#include "ConfigTable.h"
#include "ExistingDatabase.h"
#include "PortList.h"

namespace {

const char kSelectRule[] = "select ID,Path,InetAction,TnetAction,EmailAction,LockKey from ProgramsRule";

// The advanced columns of both zones share their names after the zone's
// prefix, which stands for each "@".
const char kSelectSettings[] =
    "select @TcpAccess,@TcpServer,@UdpAccess,@UdpServer,"
    "@AdvAction,@PortType,@PortList,@TimeID,@Memo,ID from ProgramsRule";
const char kUpdateSettings[] =
    "update ProgramsRule set @TcpAccess=%d,@TcpServer=%d,@UdpAccess=%d,@UdpServer=%d,"
    "@AdvAction=%d,@PortType=%d,@PortList='%s',@TimeID=%d,@Memo='%s'  where ID=%d;";

CString ForZone(LPCTSTR statement, LPCTSTR zone)
{
    CString text(statement);
    text.Replace("@", zone);
    return text;
}

BYTE ByteField(const CSqliteQuery &query, int field)
{
    return static_cast<BYTE>(FieldNumber(query, field));
}

DWORD DwordField(const CSqliteQuery &query, int field)
{
    return static_cast<DWORD>(FieldNumber(query, field));
}

// A row of kSelectSettings; the columns come in another order than the
// record's fields.
void ReadSettingsFields(const CSqliteQuery &query, NetRuleSettings &settings)
{
    settings.ID = DwordField(query, 9);
    settings.TcpAccess = ByteField(query, 0);
    settings.TcpServer = ByteField(query, 1);
    settings.UdpAccess = ByteField(query, 2);
    settings.UdpServer = ByteField(query, 3);
    settings.AdvAction = ByteField(query, 4);
    settings.PortType = ByteField(query, 5);
    ParsePortList(settings.PortType, FieldText(query, 6), settings.Ports);
    settings.TimeID = ByteField(query, 7);
    settings.Memo = FieldText(query, 8);
}

// ID, Path and the four action bytes of a row of kSelectRule.
void ReadRuleFields(const CSqliteQuery &query, RuleRecord &rule)
{
    rule.ID = DwordField(query, 0);
    rule.Path = FieldText(query, 1);
    rule.InetAction = ByteField(query, 2);
    rule.TnetAction = ByteField(query, 3);
    rule.EmailAction = ByteField(query, 4);
    rule.LockKey = ByteField(query, 5);
}

} // namespace

CProgramsRuleLib::CProgramsRuleLib() = default;

CProgramsRuleLib::~CProgramsRuleLib() = default;

BOOL CProgramsRuleLib::Open(LPCTSTR path)
{
    bool ready = false;
    Guarded(STORE_PLACE, [&] {
        ready = OpenWithTables(m_db, path, {"Config", "system", "ProgramsRule", "Times"});
    });
    if (!ready)
        m_db.Close();
    return ready;
}

BOOL CProgramsRuleLib::Create(LPCTSTR path)
{
    if (DatabaseFileExists(path) || !Guarded(STORE_PLACE, [&] { m_db.Open(path); }))
        return FALSE;
    return CreateTables();
}

BOOL CProgramsRuleLib::CreateTables()
{
    return GuardedTransaction(STORE_PLACE, [&] {
        m_db.Execute("create table Config(Key char(30) PRIMARY KEY, Val char(50))");
        m_db.Execute("insert into Config values('ProgramLevel', '1');");
        m_db.Execute(kCreateSystemTable);
        m_db.Execute(
            "create table ProgramsRule(ID long PRIMARY KEY,Path char(256) UNIQUE,"
            "RecordedTime long DEFAULT 0,TotalOutCount long DEFAULT 0,TotalInCount long DEFAULT 0,"
            "InetAction byte DEFAULT 0,TnetAction byte DEFAULT 0,EmailAction byte DEFAULT 1,"
            "LockKey byte DEFAULT 0,InetAdvAction byte DEFAULT 2,InetTcpAccess byte DEFAULT 1,"
            "InetTcpServer byte DEFAULT 1,InetUdpAccess byte DEFAULT 1,InetUdpServer byte DEFAULT 1,"
            "InetPortType byte DEFAULT 0,InetPortList char(256) DEFAULT '',InetTimeID byte DEFAULT 1,"
            "InetMemo char(256) DEFAULT '',TnetAdvAction byte DEFAULT 2,TnetTcpAccess byte DEFAULT 1,"
            "TnetTcpServer byte DEFAULT 1,TnetUdpAccess byte DEFAULT 1,TnetUdpServer byte DEFAULT 1,"
            "TnetPortType byte DEFAULT 0,TnetPortList char(256) DEFAULT '',TnetTimeID byte DEFAULT 1,"
            "TnetMemo char(256) DEFAULT '',Memo char(256) DEFAULT '');");
        m_db.Execute("insert into system values('ProgramsRule', 0);");
        m_db.Execute("create table Times(ID long PRIMARY KEY,Description char(100) UNIQUE,"
                     "WeekDay byte DEFAULT 255,StartTime long DEFAULT 0,EndTime long DEFAULT 0,"
                     "Memo char(256) DEFAULT '');");
        m_db.Execute("insert into system values('Times', 0);");
    });
}

CString CProgramsRuleLib::GetConfig(LPCTSTR key)
{
    CString value;
    Guarded(STORE_PLACE, [&] { value = QueryConfigValue(m_db, key); });
    return value;
}

BOOL CProgramsRuleLib::SetConfig(LPCTSTR key, LPCTSTR value)
{
    return Guarded(STORE_PLACE, [&] { UpdateConfigValue(m_db, key, value); });
}

BOOL CProgramsRuleLib::SetProgramLevel(BYTE level)
{
    CString text;
    text.Format("%d", level);
    return SetConfig("ProgramLevel", text);
}

DWORD CProgramsRuleLib::AddRule(LPCTSTR path, BYTE inetAction, BYTE tnetAction, BYTE mailAction,
                                BYTE lockKey)
{
    const DWORD now = static_cast<DWORD>(CTime::GetCurrentTime().GetTime());
    return static_cast<DWORD>(AddWithNewId(STORE_PLACE, "ProgramsRule", [&](long newId) {
        CString sql;
        sql.Format("insert into ProgramsRule(ID,Path,RecordedTime,InetAction,TnetAction,EmailAction,LockKey)"
                   " Values(%d,'%s',%d,%d,%d,%d,%d);",
                   static_cast<int>(newId), static_cast<LPCTSTR>(EscapeSqlText(path)), static_cast<int>(now),
                   inetAction, tnetAction, mailAction, lockKey);
        m_db.Execute(sql);
    }));
}

BOOL CProgramsRuleLib::DeleteRule(DWORD id)
{
    CString sql;
    sql.Format("delete from ProgramsRule where ID=%d;", static_cast<int>(id));
    return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
}

BOOL CProgramsRuleLib::UpdateRuleActions(DWORD id, BYTE inetAction, BYTE tnetAction, BYTE mailAction,
                                         BYTE lockKey)
{
    CString sql;
    sql.Format("update ProgramsRule set InetAction=%d,TnetAction=%d,EmailAction=%d,LockKey=%d where ID=%d;",
               inetAction, tnetAction, mailAction, lockKey, static_cast<int>(id));
    return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
}

BOOL CProgramsRuleLib::GetRule(DWORD id, RuleRecord &rule)
{
    CString sql;
    sql.Format("%s where ID=%d", kSelectRule, static_cast<int>(id));
    return Guarded(STORE_PLACE, [&] {
        for (CSqliteQuery query = m_db.Query(sql); !query.IsEof(); query.NextRow())
            ReadRuleFields(query, rule);
    });
}

BOOL CProgramsRuleLib::LoadRules(std::vector<RuleRecord> &rules)
{
    rules.clear();
    return Guarded(STORE_PLACE, [&] {
        for (CSqliteQuery query = m_db.Query(kSelectRule); !query.IsEof(); query.NextRow())
        {
            RuleRecord rule;
            ReadRuleFields(query, rule);
            rules.push_back(rule);
        }
    });
}

CString CProgramsRuleLib::GetRulePath(DWORD id)
{
    CString sql;
    sql.Format("select Path from ProgramsRule where ID=%d", static_cast<int>(id));
    CString path;
    Guarded(STORE_PLACE, [&] {
        CSqliteQuery query = m_db.Query(sql);
        if (!query.IsEof())
            path = FieldText(query, 0);
    });
    return path;
}

DWORD CProgramsRuleLib::FindRule(LPCTSTR path)
{
    CString sql;
    sql.Format("select ID from ProgramsRule where Path='%s'", static_cast<LPCTSTR>(EscapeSqlText(path)));
    DWORD id = 0;
    Guarded(STORE_PLACE, [&] {
        CSqliteQuery query = m_db.Query(sql);
        if (!query.IsEof())
            id = DwordField(query, 0);
    });
    return id;
}

BOOL CProgramsRuleLib::GetInetSettings(DWORD id, NetRuleSettings &settings)
{
    return GetSettings("Inet", id, settings);
}

BOOL CProgramsRuleLib::GetTnetSettings(DWORD id, NetRuleSettings &settings)
{
    return GetSettings("Tnet", id, settings);
}

BOOL CProgramsRuleLib::SetInetSettings(DWORD id, const NetRuleSettings &settings)
{
    return SetSettings("Inet", id, settings);
}

BOOL CProgramsRuleLib::SetTnetSettings(DWORD id, const NetRuleSettings &settings)
{
    return SetSettings("Tnet", id, settings);
}

BOOL CProgramsRuleLib::GetSettings(LPCTSTR zone, DWORD id, NetRuleSettings &settings)
{
    CString sql;
    sql.Format(ForZone(kSelectSettings, zone) + " where ID=%d", static_cast<int>(id));
    bool found = false;
    Guarded(STORE_PLACE, [&] {
        CSqliteQuery query = m_db.Query(sql);
        if (query.IsEof())
            return;
        ReadSettingsFields(query, settings);
        found = true;
    });
    return found;
}

void CProgramsRuleLib::LoadSettings(LPCTSTR zone, std::map<DWORD, NetRuleSettings> &settings)
{
    settings.clear();
    Guarded(STORE_PLACE, [&] {
        for (CSqliteQuery query = m_db.Query(ForZone(kSelectSettings, zone)); !query.IsEof(); query.NextRow())
            ReadSettingsFields(query, settings[DwordField(query, 9)]);
    });
}

BOOL CProgramsRuleLib::SetSettings(LPCTSTR zone, DWORD id, const NetRuleSettings &settings)
{
    const CString ports = FormatPortList(settings.PortType, settings.Ports);
    CString sql;
    sql.Format(ForZone(kUpdateSettings, zone), settings.TcpAccess, settings.TcpServer, settings.UdpAccess,
               settings.UdpServer, settings.AdvAction, settings.PortType, static_cast<LPCTSTR>(ports),
               settings.TimeID, static_cast<LPCTSTR>(EscapeSqlText(settings.Memo)), static_cast<int>(id));
    return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
}

DWORD CProgramsRuleLib::AddTime(LPCTSTR description, BYTE weekDays, DWORD startTime, DWORD endTime)
{
    return static_cast<DWORD>(AddWithNewId(STORE_PLACE, "Times", [&](long newId) {
        CString sql;
        sql.Format("insert into Times(ID,Description,WeekDay,StartTime,EndTime) Values(%d,'%s',%d,%d,%d);",
                   static_cast<int>(newId), static_cast<LPCTSTR>(EscapeSqlText(description)), weekDays,
                   static_cast<int>(startTime), static_cast<int>(endTime));
        m_db.Execute(sql);
    }));
}

void CProgramsRuleLib::LoadTimes(std::vector<TimeRecord> &times)
{
    times.clear();
    Guarded(STORE_PLACE, [&] {
        CSqliteQuery query = m_db.Query("select ID,Description,WeekDay,StartTime,EndTime from Times");
        for (; !query.IsEof(); query.NextRow())
        {
            TimeRecord time;
            time.ID = DwordField(query, 0);
            time.Description = FieldText(query, 1);
            time.WeekDay = ByteField(query, 2);
            time.StartTime = DwordField(query, 3);
            time.EndTime = DwordField(query, 4);
            times.push_back(time);
        }
    });
}

BOOL CProgramsRuleLib::UpdateTime(DWORD id, const TimeRecord &time)
{
    CString sql;
    sql.Format("update Times set WeekDay=%d,StartTime=%d,EndTime=%d,Memo='%s' where ID=%d;", time.WeekDay,
               static_cast<int>(time.StartTime), static_cast<int>(time.EndTime),
               static_cast<LPCTSTR>(EscapeSqlText(time.Memo)), static_cast<int>(id));
    return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
}

BOOL CProgramsRuleLib::GetTime(DWORD id, TimeRecord &time)
{
    CString sql;
    sql.Format("select WeekDay,StartTime,EndTime,Memo from Times where ID=%d;", static_cast<int>(id));
    bool found = false;
    Guarded(STORE_PLACE, [&] {
        CSqliteQuery query = m_db.Query(sql);
        if (query.IsEof())
            return;
        time.ID = id;
        time.WeekDay = ByteField(query, 0);
        time.StartTime = DwordField(query, 1);
        time.EndTime = DwordField(query, 2);
        time.Memo = FieldText(query, 3);
        found = true;
    });
    return found;
}
