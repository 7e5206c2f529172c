#include "AclImageBuilder.h"

CAclImageBuilder::CAclImageBuilder(void *view, DWORD size, DWORD consoleView)
    : m_view(view), m_size(size), m_consoleView(consoleView)
{
    m_image.Attach(view, size, consoleView);
}

BOOL CAclImageBuilder::Lay(const AclCounts &counts)
{
    AclLayout layout;
    if (!ComputeAclLayout(counts, &layout) || layout.Size > m_size)
        return FALSE;
    ZeroMemory(m_view, layout.Size);
    AclHeader *header = Header();
    header->TimeRules = m_consoleView + layout.TimeRules;
    header->TnetZones = m_consoleView + layout.TnetZones;
    header->BnetZones = m_consoleView + layout.BnetZones;
    header->ProgramRules = m_consoleView + layout.ProgramRules;
    return TRUE;
}

template <class T>
T *CAclImageBuilder::Add(const AclSection<T> &section, DWORD id, DWORD *count)
{
    T *entry = FreeAclSlot(section);
    if (entry) {
        ZeroMemory(entry, sizeof *entry);
        entry->ID = id;
        ++*count;
    }
    return entry;
}

TimeRule *CAclImageBuilder::AddTimeRule(DWORD id, DWORD startTime, DWORD endTime, BYTE weekDay)
{
    TimeRule *rule = Add(m_image.TimeRules(), id, &Header()->TimeCount);
    if (rule) {
        rule->StartTime = startTime;
        rule->EndTime = endTime;
        rule->WeekDay = weekDay;
    }
    return rule;
}

ZoneEntry *CAclImageBuilder::AddZone(BOOL blocked, DWORD id, BYTE type, DWORD ip1, DWORD ip2,
                                     const char *site)
{
    ZoneEntry *zone = blocked ? Add(m_image.BnetZones(), id, &Header()->BnetCount)
                              : Add(m_image.TnetZones(), id, &Header()->TnetCount);
    if (zone) {
        zone->Type = type;
        zone->IP1 = ip1;
        zone->IP2 = ip2;
        lstrcpynA(zone->Site, site, sizeof zone->Site);
    }
    return zone;
}

ProgramRule *CAclImageBuilder::AddProgram(DWORD id, const char *path)
{
    ProgramRule *rule = Add(m_image.ProgramRules(), id, &Header()->ProgramCount);
    if (rule) {
        lstrcpynA(rule->Path, path, sizeof rule->Path);
        for (int z = ACL_INET; z <= ACL_TNET; ++z) {
            rule->TcpAccess[z] = rule->UdpAccess[z] = 1;
            rule->TcpServer[z] = rule->UdpServer[z] = 1;
        }
    }
    return rule;
}

BOOL CAclImageBuilder::RemoveZone(BOOL blocked, DWORD id)
{
    DWORD *count = blocked ? &Header()->BnetCount : &Header()->TnetCount;
    if (!RemoveAclEntry(blocked ? m_image.BnetZones() : m_image.TnetZones(), id))
        return FALSE;
    --*count;
    return TRUE;
}
