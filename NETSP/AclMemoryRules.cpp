// Zones, program rules, ports, protocols and schedules, read from the image.
#include "AclMemory.h"
#include <cstring>
#include <ctime>

namespace {

RuleAction ToAction(BYTE value)
{
    return value <= ACTION_DENY ? RuleAction(value) : ACTION_DENY;
}

bool IsTcpKind(BYTE protocol)
{
    return protocol == PROTO_TCP || (protocol >= PROTO_FTP && protocol <= PROTO_SMTP);
}

bool InPortList(const WORD *ports, WORD port)
{
    for (int i = 0; i < ACL_PORT_COUNT && ports[i] != 0; ++i)
        if (ports[i] == port)
            return true;
    return false;
}

// Second of the day and day of the week (0 Sunday) of a UTC time, in local time.
bool LocalDayTime(DWORD utcSeconds, DWORD *second, int *weekDay)
{
    time_t t = utcSeconds;
    const tm *local = localtime(&t);
    if (!local)
        return false;
    *second = DWORD(local->tm_hour) * 3600 + local->tm_min * 60 + local->tm_sec;
    *weekDay = local->tm_wday;
    return true;
}

} // namespace

BOOL DetailContains(const char *detail, const char *site)
{
    return site[0] != 0 && strstr(detail, site) != 0;
}

ZoneKind CAclMemory::ClassifyZone(SessionRecord &record, BOOL *read)
{
    BOOL entered = BeginRead();
    if (read)
        *read = entered;
    if (!entered)
        return ZONE_INTERNET;
    ZoneKind zone = ZONE_INTERNET;
    if (MatchZoneList(m_image.BnetZones(), record))
        zone = ZONE_BLOCKED;
    else if (MatchZoneList(m_image.TnetZones(), record))
        zone = ZONE_TRUSTED;
    EndRead();
    return zone;
}

BOOL CAclMemory::MatchZoneList(const AclSection<ZoneEntry> &list, SessionRecord &record)
{
    const DWORD ip = record.RemoteIp;
    for (const ZoneEntry *entry = list.begin(); entry != list.end() && entry->ID != 0; ++entry) {
        switch (entry->Type) {
        case ZONE_ENTRY_ADDRESS:
            if (ip == entry->IP1)
                return TRUE;
            break;
        case ZONE_ENTRY_RANGE:
            if (entry->IP1 <= ip && ip <= entry->IP2)
                return TRUE;
            break;
        case ZONE_ENTRY_SUBNET:
            if ((ip & entry->IP2) == (entry->IP1 & entry->IP2))
                return TRUE;
            break;
        case ZONE_ENTRY_HOST: {
            char site[ACL_SITE_SIZE];
            lstrcpynA(site, entry->Site, sizeof site);
            if (!site[0])
                break; // names no host
            if (record.Detail[0]) {
                record.HostMatchDone = 1;
                // Read within its field, whoever wrote it.
                char detail[SESSION_DETAIL_SIZE];
                lstrcpynA(detail, record.Detail, sizeof detail);
                if (DetailContains(detail, site))
                    return TRUE;
            } else if (entry->IP1 != 0 && ip == entry->IP1) {
                // The console resolved the name to this peer.
                record.HostMatchDone = 1;
                lstrcpynA(record.Detail, site, sizeof record.Detail);
                return TRUE;
            }
            break;
        }
        default:
            break;
        }
    }
    return FALSE;
}

const ProgramRule *CAclMemory::FindProgramRule(const char *path)
{
    return m_ruleIndex.Find(m_image.ProgramRules(), m_control->AclGeneration, path);
}

RuleAction CAclMemory::MatchProgramRule(SessionRecord &record, BOOL *read)
{
    BOOL entered = BeginRead();
    if (read)
        *read = entered;
    if (!entered)
        return ACTION_PASS;
    BYTE mode = GetWorkMode();
    RuleAction verdict;
    char path[SESSION_PATH_SIZE];
    lstrcpynA(path, record.Path, sizeof path);
    if (const ProgramRule *rule = FindProgramRule(path)) {
        record.RuleId = LONG(rule->ID);
        verdict = ActionForZone(record, *rule, mode);
    } else {
        record.RuleId = 0;
        verdict = mode == WORK_MODE_LOCKED ? ACTION_DENY : ACTION_QUERY;
    }
    record.Verdict = BYTE(verdict);
    EndRead();
    return verdict;
}

// Work mode 1 applies the zone's action; any other mode (2, or 0 when it
// changed meanwhile) lets a rule pass only where its action is pass and its
// lock key is clear. Ports, protocol and schedule count in the internet zone
// only. A mail connection then gets the rule's mail action.
RuleAction CAclMemory::ActionForZone(const SessionRecord &record, const ProgramRule &rule,
                                     BYTE mode)
{
    RuleAction verdict;
    if (mode == WORK_MODE_NORMAL) {
        if (record.Zone == ZONE_INTERNET) {
            verdict = ToAction(rule.InetAction);
            if (verdict == ACTION_PASS)
                verdict = CheckPortRules(record, rule);
        } else if (record.Zone == ZONE_TRUSTED) {
            verdict = ToAction(rule.TnetAction);
        } else {
            return record.Zone == ZONE_BLOCKED ? ACTION_DENY : ACTION_PASS;
        }
    } else {
        if (record.Zone == ZONE_INTERNET)
            verdict = rule.InetAction == ACTION_PASS && rule.LockKey == 0
                          ? CheckPortRules(record, rule)
                          : ACTION_DENY;
        else if (record.Zone == ZONE_TRUSTED)
            verdict = rule.TnetAction == ACTION_PASS && rule.LockKey == 0 ? ACTION_PASS
                                                                           : ACTION_DENY;
        else
            return ACTION_DENY;
    }
    if (verdict != ACTION_DENY && record.Protocol == PROTO_SMTP)
        verdict = ToAction(rule.EmailAction);
    return verdict;
}

// A socket of a kind the rule has no switch for (a raw socket) and a port
// list of an unknown type get no pass of their own: they start from deny,
// like every check, and so end at the rule's advanced action.
RuleAction CAclMemory::CheckPortRules(const SessionRecord &record, const ProgramRule &rule)
{
    const int z = record.Zone == ZONE_TRUSTED ? ACL_TNET : ACL_INET;
    const bool server = record.Direction == DIR_INBOUND || record.Direction == DIR_LISTEN;
    const WORD port = record.RemotePort;
    const WORD *ports = rule.PortList[z];
    RuleAction verdict = ACTION_DENY;
    if (IsTcpKind(record.Protocol)) {
        if (server)
            verdict = rule.TcpServer[z] ? ACTION_PASS : ACTION_DENY;
        else if (!rule.TcpAccess[z])
            verdict = ACTION_DENY;
        else if (rule.PortType[z] == PORT_TYPE_NONE)
            verdict = ACTION_PASS;
        else if (rule.PortType[z] == PORT_TYPE_RANGE)
            verdict = ports[0] <= port && port <= ports[1] ? ACTION_PASS : ACTION_DENY;
        else if (rule.PortType[z] == PORT_TYPE_LIST)
            verdict = InPortList(ports, port) ? ACTION_PASS : ACTION_DENY;
    } else if (record.Protocol == PROTO_UDP) {
        BYTE allowed = server ? rule.UdpServer[z] : rule.UdpAccess[z];
        verdict = allowed ? ACTION_PASS : ACTION_DENY;
    }
    if (verdict == ACTION_PASS && !CheckTimeRule(rule.TimeID[z], record.StartTime))
        verdict = ACTION_DENY;
    if (verdict == ACTION_DENY)
        verdict = ToAction(rule.AdvAction[z]);
    return verdict;
}

// Only IDs 1 to 7 restrict. The schedule is looked for among the first seven
// entries, and never past the array's terminator: what follows it is the
// trusted zone list, whose IDs are no schedules.
BOOL CAclMemory::CheckTimeRule(DWORD timeId, DWORD startTime)
{
    if (timeId < 1 || timeId > 7)
        return TRUE;
    AclSection<TimeRule> schedules = m_image.TimeRules();
    if (!schedules.First)
        return TRUE;
    const TimeRule *schedule = 0;
    for (DWORD i = 0; i < 7 && i < schedules.Capacity && schedules.First[i].ID != 0; ++i)
        if (schedules.First[i].ID == timeId) {
            schedule = &schedules.First[i];
            break;
        }
    DWORD second;
    int weekDay;
    if (!schedule || !LocalDayTime(startTime, &second, &weekDay))
        return FALSE;
    if (!(schedule->WeekDay & (0x80 >> weekDay)))
        return FALSE;
    const DWORD start = schedule->StartTime, end = schedule->EndTime;
    if (start == end)
        return TRUE; // the whole day
    if (start < end)
        return start <= second && second <= end;
    return second >= start || second <= end; // across midnight
}
