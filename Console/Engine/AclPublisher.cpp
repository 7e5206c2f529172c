#include "AclPublisher.h"

#include <cstring>

#include "AclGate.h"
#include "Address32.h"
#include "CommonFunctions.h"
#include "DriverInterface.h"
#include "ProgramFolder.h"

namespace {

const char kBlockName[] = "_QFW_MEMORY_ACL_FILE";

// The local time of day, which is all a schedule keeps of its two times.
DWORD SecondOfDay(const CTime &time)
{
    SYSTEMTIME local = {};
    time.GetAsSystemTime(local);
    return DWORD(local.wHour) * 3600 + DWORD(local.wMinute) * 60 + DWORD(local.wSecond);
}

// Fixed-size text fields always end in a NUL; a longer text is cut.
template <size_t N>
void CopyText(char (&field)[N], LPCSTR text)
{
    lstrcpynA(field, text, int(N));
}

void FillZoneEntry(ZoneEntry &entry, DWORD id, const ZoneRecord &zone, BOOL withSite)
{
    entry.ID = id;
    entry.Type = zone.Type;
    entry.IP1 = zone.IP1;
    entry.IP2 = zone.IP2;
    ZeroMemory(entry.Site, sizeof entry.Site);
    if (withSite)
        CopyText(entry.Site, zone.Site);
}

bool IsSameHost(const ZoneEntry &a, const ZoneEntry &b)
{
    return a.Type == ZONE_ENTRY_HOST && b.Type == ZONE_ENTRY_HOST && strcmp(a.Site, b.Site) == 0;
}

// One zone's half of a program rule's advanced settings. The ports are
// taken only when the settings have a port rule.
void FillNetSettings(ProgramRule &rule, int zone, const NetRuleSettings &settings)
{
    rule.AdvAction[zone] = settings.AdvAction;
    rule.TcpAccess[zone] = settings.TcpAccess;
    rule.UdpAccess[zone] = settings.UdpAccess;
    rule.TcpServer[zone] = settings.TcpServer;
    rule.UdpServer[zone] = settings.UdpServer;
    rule.PortType[zone] = settings.PortType;
    if (settings.PortType != PORT_TYPE_NONE)
        memcpy(rule.PortList[zone], settings.Ports, sizeof rule.PortList[zone]);
    rule.TimeID[zone] = settings.TimeID;
}

void FillActions(ProgramRule &rule, BYTE inetAction, BYTE tnetAction, BYTE mailAction,
                 BYTE lockKey)
{
    rule.InetAction = inetAction;
    rule.TnetAction = tnetAction;
    rule.EmailAction = mailAction;
    rule.LockKey = lockKey;
}

static_assert(sizeof(NetRuleSettings::Ports) == sizeof(ProgramRule::PortList[0]),
              "a rule's ports fill one port list of the image");

} // namespace

// Holds the publisher's image lock for one scope.
class CAclPublisher::CImageLock {
public:
    explicit CImageLock(CRITICAL_SECTION &section) : m_section(section)
    {
        EnterCriticalSection(&m_section);
    }
    ~CImageLock() { LeaveCriticalSection(&m_section); }

private:
    CImageLock(const CImageLock &) = delete;
    CImageLock &operator=(const CImageLock &) = delete;
    CRITICAL_SECTION &m_section;
};

CAclPublisher::CAclPublisher()
    : m_spiIoControl(0), m_block(0), m_view(0), m_header(0), m_size(0)
{
    InitializeCriticalSection(&m_imageLock);
}

// The provider is unloaded by now: the driver alone hears that the image
// goes. A publisher without a block has no image to take away, and says
// nothing: a console that ended before building one (a second start) must
// leave the running console's image ready. The stores close with their
// members.
CAclPublisher::~CAclPublisher()
{
    if (m_block) {
        DriverSetAclReady(0);
        TakeOver();
    }
    ReleaseBlock();
    DeleteCriticalSection(&m_imageLock);
}

// ---------------------------------------------------------------------------
// Announcement

BOOL CAclPublisher::SendControl(DWORD code, DWORD value, DWORD param1, DWORD param2,
                                DWORD param3)
{
    if (!m_spiIoControl)
        return FALSE;
    SpiIoBlock block = {value, param1, param2, param3};
    m_spiIoControl(code, &block);
    return TRUE;
}

BOOL CAclPublisher::BeginUpdate()
{
    if (!SendControl(SPI_SET_ACL_UPDATING, 1))
        return FALSE;
    DriverSetAclReady(0);
    return TRUE;
}

BOOL CAclPublisher::EndUpdate()
{
    if (!SendControl(SPI_SET_ACL_UPDATING, 0))
        return FALSE;
    DriverSetAclReady(1);
    return TRUE;
}

// A build that will not finish must not keep provider readers waiting for it;
// the driver is not told the image is ready, for there is none.
void CAclPublisher::AbandonUpdate()
{
    SendControl(SPI_SET_ACL_UPDATING, 0);
}

BOOL CAclPublisher::Publish(HANDLE block)
{
    return SendControl(SPI_SET_ACL_INFO, 0, DWORD(HandleToUlong(block)), AddressToDword(m_view),
                       m_size);
}

// ---------------------------------------------------------------------------
// Writer flag

BOOL CAclPublisher::LockForWrite()
{
    if (!m_header)
        return FALSE;
    CAclGate(m_header).LockForWrite();
    return TRUE;
}

void CAclPublisher::Unlock()
{
    if (m_header)
        CAclGate(m_header).Unlock();
}

void CAclPublisher::TakeOver()
{
    if (m_header)
        CAclGate(m_header).TakeOver();
}

// ---------------------------------------------------------------------------
// Block

BOOL CAclPublisher::CreateBlock(LPCSTR name, DWORD size)
{
    CImageLock lock(m_imageLock);
    BeginUpdate();
    TakeOver();
    ReleaseBlock();

    HANDLE block = CreateDriverBlock(INVALID_HANDLE_VALUE, GetNullDaclAttributes(),
                                     PAGE_READWRITE, 0, size, name);
    if (!block)
        return FALSE;
    void *view = MapDriverBlock(block, FILE_MAP_WRITE, 0, 0, size, 1);
    if (!view) {
        CloseDriverBlock(block);
        return FALSE;
    }
    m_block = block;
    m_view = view;
    m_size = size;
    ZeroMemory(view, size);
    return TRUE;
}

// The free request reaches the driver only when the block controls before it
// failed (the driver interface answers it from their result otherwise).
void CAclPublisher::ReleaseBlock()
{
    CImageLock lock(m_imageLock);
    if (m_block && m_view) {
        DWORD view = AddressToDword(m_view);
        DriverIoctlDword(m_block, IOCTL_NETVANE_UNMAP_BLOCK, view);
        DriverIoctlDword(m_block, IOCTL_NETVANE_BLOCK_CONTROL, 1);
        DriverIoctlDword(m_block, IOCTL_NETVANE_BLOCK_CONTROL, 2);
        DriverIoctlDword(m_block, IOCTL_NETVANE_FREE_BLOCK, view);
        CloseDriverBlock(m_block);
        m_block = 0;
        m_view = 0;
        m_size = 0;
    }
    m_header = 0;
}

// ---------------------------------------------------------------------------
// Build

BOOL CAclPublisher::Build()
{
    CString folder = GetProgramFolder();
    if (!m_zones.Open(folder + "Firewall.dat") || !m_rules.Open(folder + "ProgramsRule.dat"))
        return FALSE;
    return BuildImage();
}

// Lays the image out for what the stores hold now, with fresh spare room in
// every list, and announces it as a new block.
BOOL CAclPublisher::BuildImage()
{
    std::vector<RuleRecord> rules;
    std::vector<TimeRecord> times;
    std::vector<ZoneRecord> tnet;
    std::vector<ZoneRecord> bnet;
    m_rules.LoadRules(rules);
    m_rules.LoadTimes(times);
    m_zones.LoadZones(tnet, FALSE);
    m_zones.LoadZones(bnet, TRUE);

    AclCounts counts = {DWORD(times.size()), DWORD(tnet.size()), DWORD(bnet.size()),
                        DWORD(rules.size())};
    AclLayout layout;
    if (!ComputeAclLayout(counts, &layout))
        return FALSE;

    CImageLock lock(m_imageLock);
    if (!CreateBlock(kBlockName, layout.Size)) {
        AbandonUpdate();
        return FALSE;
    }

    AclHeader *header = static_cast<AclHeader *>(m_view);
    DWORD base = AddressToDword(m_view);
    header->TimeCount = counts.Times;
    header->TnetCount = counts.Tnet;
    header->BnetCount = counts.Bnet;
    header->ProgramCount = counts.Programs;
    header->TimeRules = base + layout.TimeRules;
    header->TnetZones = base + layout.TnetZones;
    header->BnetZones = base + layout.BnetZones;
    header->ProgramRules = base + layout.ProgramRules;
    m_header = header;
    FillImage(times, tnet, bnet, rules);

    if (!Publish(m_block)) {
        AbandonUpdate();
        return FALSE;
    }
    EndUpdate();
    return TRUE;
}

void CAclPublisher::FillImage(const std::vector<TimeRecord> &times,
                              const std::vector<ZoneRecord> &tnet,
                              const std::vector<ZoneRecord> &bnet,
                              const std::vector<RuleRecord> &rules)
{
    TimeRule *time = TimeList().begin();
    for (const TimeRecord &record : times) {
        time->ID = record.ID;
        time->StartTime = SecondOfDay(StoredTime(record.StartTime));
        time->EndTime = SecondOfDay(StoredTime(record.EndTime));
        time->WeekDay = record.WeekDay;
        ++time;
    }

    ZoneEntry *entry = ZoneList(FALSE).begin();
    for (const ZoneRecord &zone : tnet)
        FillZoneEntry(*entry++, zone.ID, zone, TRUE);
    entry = ZoneList(TRUE).begin();
    for (const ZoneRecord &zone : bnet)
        FillZoneEntry(*entry++, zone.ID, zone, TRUE);

    // Two reads of the store for all the rules, not two a rule.
    std::map<DWORD, NetRuleSettings> inetSettings, tnetSettings;
    m_rules.LoadSettings("Inet", inetSettings);
    m_rules.LoadSettings("Tnet", tnetSettings);
    ProgramRule *rule = ProgramList().begin();
    for (const RuleRecord &record : rules) {
        rule->ID = record.ID;
        CopyText(rule->Path, record.Path);
        FillActions(*rule, record.InetAction, record.TnetAction, record.EmailAction,
                    record.LockKey);
        const auto settings = inetSettings.find(record.ID);
        if (settings != inetSettings.end())
            FillNetSettings(*rule, ACL_INET, settings->second);
        const auto trusted = tnetSettings.find(record.ID);
        if (trusted != tnetSettings.end())
            FillNetSettings(*rule, ACL_TNET, trusted->second);
        ++rule;
    }
}

// ---------------------------------------------------------------------------
// Sections of the image in the console

AclSection<TimeRule> CAclPublisher::TimeList() const
{
    CAclImageView view;
    view.Attach(m_header, m_size, AddressToDword(m_header));
    return view.TimeRules();
}

AclSection<ZoneEntry> CAclPublisher::ZoneList(BOOL blocked) const
{
    CAclImageView view;
    view.Attach(m_header, m_size, AddressToDword(m_header));
    return blocked ? view.BnetZones() : view.TnetZones();
}

AclSection<ProgramRule> CAclPublisher::ProgramList() const
{
    CAclImageView view;
    view.Attach(m_header, m_size, AddressToDword(m_header));
    return view.ProgramRules();
}

DWORD &CAclPublisher::ZoneCount(BOOL blocked) const
{
    return blocked ? m_header->BnetCount : m_header->TnetCount;
}

// ---------------------------------------------------------------------------
// Edits: the store first, then the image under the writer flag.

template <class Patch>
CAclPublisher::PatchResult CAclPublisher::PatchImage(Patch patch)
{
    CImageLock lock(m_imageLock);
    if (!LockForWrite())
        return PATCH_FAILED;
    PatchResult result = patch();
    Unlock();
    return result;
}

// An addition that finds its list full is not lost: the store has it, so a
// new image built from the store, with fresh spare room, carries it.
DWORD CAclPublisher::AddZoneEntry(BOOL blocked, const ZoneRecord &zone)
{
    DWORD id = m_zones.AddZone(zone, blocked);
    if (!id)
        return 0;
    PatchResult result = PatchImage([&] {
        ZoneEntry *slot = FreeAclSlot(ZoneList(blocked));
        if (!slot)
            return PATCH_NO_ROOM;
        FillZoneEntry(*slot, id, zone, zone.Type == ZONE_ENTRY_HOST);
        ++ZoneCount(blocked);
        return PATCH_DONE;
    });
    if (result == PATCH_NO_ROOM)
        return BuildImage() ? id : 0;
    return result == PATCH_DONE ? id : 0;
}

BOOL CAclPublisher::DeleteZoneEntry(BOOL blocked, DWORD id)
{
    if (!m_zones.DeleteZone(id, blocked))
        return FALSE;
    return PatchImage([&] {
        if (RemoveAclEntry(ZoneList(blocked), id))
            --ZoneCount(blocked);
        return PATCH_DONE;
    }) == PATCH_DONE;
}

BOOL CAclPublisher::ReadZoneEntry(BOOL blocked, DWORD id, ZoneRecord &zone)
{
    return m_zones.GetZone(id, zone, blocked);
}

// The entry is found by the ID that the store updated, and keeps it. The
// address of a host name lives in the image alone, where the resolver puts
// it: an edit that keeps the name keeps that address, or the entry would
// match nothing until the next lookup.
BOOL CAclPublisher::ModifyZoneEntry(BOOL blocked, DWORD id, const ZoneRecord &zone)
{
    if (!m_zones.UpdateZone(id, zone, blocked))
        return FALSE;
    return PatchImage([&] {
        ZoneEntry *entry = FindAclEntry(ZoneList(blocked), id);
        if (!entry)
            return PATCH_FAILED;
        const ZoneEntry before = *entry;
        FillZoneEntry(*entry, id, zone, TRUE);
        if (IsSameHost(before, *entry)) {
            entry->IP1 = before.IP1;
            entry->IP2 = before.IP2;
        }
        return PATCH_DONE;
    }) == PATCH_DONE;
}

// The writer flag is taken first and held across the store's write, so the
// schedule changes in store and image together or in neither.
BOOL CAclPublisher::SetTimeRule(DWORD id, BYTE weekDays, const CTime &start, const CTime &end,
                                LPCSTR memo)
{
    TimeRecord record;
    record.ID = id;
    record.WeekDay = weekDays;
    record.StartTime = StoredTimeValue(start);
    record.EndTime = StoredTimeValue(end);
    record.Memo = memo;
    return PatchImage([&] {
        TimeRule *rule = FindAclEntry(TimeList(), id);
        if (!m_rules.UpdateTime(id, record) || !rule)
            return PATCH_FAILED;
        rule->WeekDay = weekDays;
        rule->StartTime = SecondOfDay(start);
        rule->EndTime = SecondOfDay(end);
        return PATCH_DONE;
    }) == PATCH_DONE;
}

// The lock key is stored with the rule, so that it holds beyond the next
// start as well.
DWORD CAclPublisher::AddProgram(LPCSTR path, BYTE inetAction, BYTE tnetAction, BYTE mailAction,
                                BYTE lockKey)
{
    DWORD id = m_rules.AddRule(path, inetAction, tnetAction, mailAction, lockKey);
    if (!id)
        return 0;
    PatchResult result = PatchImage([&] {
        ProgramRule *rule = FreeAclSlot(ProgramList());
        if (!rule)
            return PATCH_NO_ROOM;
        ZeroMemory(rule, sizeof *rule);
        rule->ID = id;
        CopyText(rule->Path, path);
        FillActions(*rule, inetAction, tnetAction, mailAction, lockKey);
        for (int zone = ACL_INET; zone <= ACL_TNET; ++zone) {
            rule->AdvAction[zone] = 0;
            rule->TcpAccess[zone] = 1;
            rule->UdpAccess[zone] = 1;
            rule->TcpServer[zone] = 1;
            rule->UdpServer[zone] = 1;
            rule->PortType[zone] = PORT_TYPE_NONE;
            rule->TimeID[zone] = 1;
        }
        ++m_header->ProgramCount;
        return PATCH_DONE;
    });
    if (result == PATCH_NO_ROOM)
        return BuildImage() ? id : 0;
    return result == PATCH_DONE ? id : 0;
}

BOOL CAclPublisher::DeleteProgram(DWORD id)
{
    if (!m_rules.DeleteRule(id))
        return FALSE;
    return PatchImage([&] {
        if (RemoveAclEntry(ProgramList(), id))
            --m_header->ProgramCount;
        return PATCH_DONE;
    }) == PATCH_DONE;
}

BOOL CAclPublisher::SetProgramActions(DWORD id, BYTE inetAction, BYTE tnetAction,
                                      BYTE mailAction, BYTE lockKey)
{
    if (!m_rules.UpdateRuleActions(id, inetAction, tnetAction, mailAction, lockKey))
        return FALSE;
    return PatchImage([&] {
        ProgramRule *rule = FindAclEntry(ProgramList(), id);
        if (!rule)
            return PATCH_FAILED;
        FillActions(*rule, inetAction, tnetAction, mailAction, lockKey);
        return PATCH_DONE;
    }) == PATCH_DONE;
}

BOOL CAclPublisher::SetInternetSettings(DWORD id, const NetRuleSettings &settings)
{
    if (!m_rules.SetInetSettings(id, settings))
        return FALSE;
    return SetNetSettings(id, ACL_INET, settings);
}

BOOL CAclPublisher::SetTrustedSettings(DWORD id, const NetRuleSettings &settings)
{
    if (!m_rules.SetTnetSettings(id, settings))
        return FALSE;
    return SetNetSettings(id, ACL_TNET, settings);
}

// A port rule replaces the zone's whole port list; without one the old ports
// stay.
BOOL CAclPublisher::SetNetSettings(DWORD id, int zone, const NetRuleSettings &settings)
{
    return PatchImage([&] {
        ProgramRule *rule = FindAclEntry(ProgramList(), id);
        if (!rule)
            return PATCH_FAILED;
        FillNetSettings(*rule, zone, settings);
        return PATCH_DONE;
    }) == PATCH_DONE;
}

// ---------------------------------------------------------------------------
// Host-name entries, for the resolver's thread

void CAclPublisher::GetHostEntries(BOOL blocked, std::vector<ZoneHostEntry> &entries)
{
    entries.clear();
    CImageLock lock(m_imageLock);
    if (!m_header)
        return;
    AclSection<ZoneEntry> list = ZoneList(blocked);
    for (ZoneEntry *entry = list.begin(); entry != list.end() && entry->ID != 0; ++entry) {
        if (entry->Type == ZONE_ENTRY_HOST) {
            ZoneHostEntry host = {entry->ID, CString(entry->Site)};
            entries.push_back(host);
        }
    }
}

// The single 32-bit stores need no writer flag: a reader sees the old address
// or the new one.
BOOL CAclPublisher::StoreHostAddress(BOOL blocked, DWORD id, LPCSTR site, DWORD address)
{
    CImageLock lock(m_imageLock);
    if (!m_header)
        return FALSE;
    ZoneEntry *entry = FindAclEntry(ZoneList(blocked), id);
    if (!entry || entry->Type != ZONE_ENTRY_HOST || strcmp(entry->Site, site) != 0)
        return FALSE;
    InterlockedExchange(reinterpret_cast<volatile LONG *>(&entry->IP1), LONG(address));
    InterlockedExchange(reinterpret_cast<volatile LONG *>(&entry->IP2), LONG(address));
    return TRUE;
}
