// The rule image: every filtering rule in one flat block that the console
// writes and every provider instance reads in place. The block holds a header
// and then, without gaps, the time schedules, the trusted zone list, the
// blocked zone list and the program rules. Each array ends at its first entry
// whose ID is 0. The header's four addresses are addresses in the console's
// view of the block; a reader that maps the block elsewhere rebases them.
//
// The layout is shared by the 32-bit product and the 64-bit test build, so
// every field has a fixed width and no field is a native pointer.
#pragma once

#include <windows.h>
#include <cstddef>

#include "FirewallTypes.h"

// Spare slots that each zone list and the program array keep for entries
// added while the console runs; the time array keeps one (its terminator).
enum { ACL_SPARE_ENTRIES = 100 };

enum PortListType {
    PORT_TYPE_NONE = 0,  // the list is not consulted
    PORT_TYPE_RANGE = 1, // PortList[0]..PortList[1], inclusive
    PORT_TYPE_LIST = 2,  // up to 20 ports, ending at the first 0
};

enum {
    ACL_PORT_COUNT = 20,
    ACL_SITE_SIZE = 260,
    ACL_PATH_SIZE = 262,
};

// Index into the internet/trusted byte pairs of a ProgramRule.
enum { ACL_INET = 0, ACL_TNET = 1 };

struct AclHeader {
    WORD WriterFlag;   // 1 while the console writes the image
    WORD ReaderCount;  // provider readers inside the image
    BYTE Reserved1[3];
    BYTE InetLevel;    // security levels: written by the pages, read by no one
    BYTE TnetLevel;
    BYTE ProgramLevel;
    BYTE Reserved2[2];
    DWORD TimeCount;
    DWORD TnetCount;
    DWORD BnetCount;
    DWORD ProgramCount;
    DWORD TimeRules;   // console addresses of the four arrays
    DWORD TnetZones;
    DWORD BnetZones;
    DWORD ProgramRules;
};

struct TimeRule {
    DWORD ID;
    DWORD StartTime; // second of the local day
    DWORD EndTime;
    BYTE WeekDay;    // day d (0 Sunday) is bit 7 - d; bit 0 is no day
    BYTE Reserved[3];
};

struct ZoneEntry {
    DWORD ID;
    BYTE Type; // ZoneEntryType
    BYTE Reserved[3];
    DWORD IP1; // first dotted part in the most significant byte
    DWORD IP2;
    char Site[ACL_SITE_SIZE];
};

struct ProgramRule {
    DWORD ID;
    char Path[ACL_PATH_SIZE];
    BYTE InetAction;
    BYTE TnetAction;
    BYTE EmailAction;
    BYTE LockKey;
    BYTE AdvAction[2]; // each pair: internet, trusted
    BYTE TcpAccess[2];
    BYTE UdpAccess[2];
    BYTE TcpServer[2];
    BYTE UdpServer[2];
    BYTE PortType[2];  // PortListType
    WORD PortList[2][ACL_PORT_COUNT];
    BYTE TimeID[2];
};

static_assert(sizeof(AclHeader) == 44, "AclHeader size");
static_assert(offsetof(AclHeader, WriterFlag) == 0, "AclHeader.WriterFlag");
static_assert(offsetof(AclHeader, ReaderCount) == 2, "AclHeader.ReaderCount");
static_assert(offsetof(AclHeader, Reserved1) == 4, "AclHeader.Reserved1");
static_assert(offsetof(AclHeader, InetLevel) == 7, "AclHeader.InetLevel");
static_assert(offsetof(AclHeader, TnetLevel) == 8, "AclHeader.TnetLevel");
static_assert(offsetof(AclHeader, ProgramLevel) == 9, "AclHeader.ProgramLevel");
static_assert(offsetof(AclHeader, Reserved2) == 10, "AclHeader.Reserved2");
static_assert(offsetof(AclHeader, TimeCount) == 12, "AclHeader.TimeCount");
static_assert(offsetof(AclHeader, TnetCount) == 16, "AclHeader.TnetCount");
static_assert(offsetof(AclHeader, BnetCount) == 20, "AclHeader.BnetCount");
static_assert(offsetof(AclHeader, ProgramCount) == 24, "AclHeader.ProgramCount");
static_assert(offsetof(AclHeader, TimeRules) == 28, "AclHeader.TimeRules");
static_assert(offsetof(AclHeader, TnetZones) == 32, "AclHeader.TnetZones");
static_assert(offsetof(AclHeader, BnetZones) == 36, "AclHeader.BnetZones");
static_assert(offsetof(AclHeader, ProgramRules) == 40, "AclHeader.ProgramRules");

static_assert(sizeof(TimeRule) == 16, "TimeRule size");
static_assert(offsetof(TimeRule, ID) == 0, "TimeRule.ID");
static_assert(offsetof(TimeRule, StartTime) == 4, "TimeRule.StartTime");
static_assert(offsetof(TimeRule, EndTime) == 8, "TimeRule.EndTime");
static_assert(offsetof(TimeRule, WeekDay) == 12, "TimeRule.WeekDay");
static_assert(offsetof(TimeRule, Reserved) == 13, "TimeRule.Reserved");

static_assert(sizeof(ZoneEntry) == 276, "ZoneEntry size");
static_assert(offsetof(ZoneEntry, ID) == 0, "ZoneEntry.ID");
static_assert(offsetof(ZoneEntry, Type) == 4, "ZoneEntry.Type");
static_assert(offsetof(ZoneEntry, Reserved) == 5, "ZoneEntry.Reserved");
static_assert(offsetof(ZoneEntry, IP1) == 8, "ZoneEntry.IP1");
static_assert(offsetof(ZoneEntry, IP2) == 12, "ZoneEntry.IP2");
static_assert(offsetof(ZoneEntry, Site) == 16, "ZoneEntry.Site");

static_assert(sizeof(ProgramRule) == 364, "ProgramRule size");
static_assert(offsetof(ProgramRule, ID) == 0, "ProgramRule.ID");
static_assert(offsetof(ProgramRule, Path) == 4, "ProgramRule.Path");
static_assert(offsetof(ProgramRule, InetAction) == 266, "ProgramRule.InetAction");
static_assert(offsetof(ProgramRule, TnetAction) == 267, "ProgramRule.TnetAction");
static_assert(offsetof(ProgramRule, EmailAction) == 268, "ProgramRule.EmailAction");
static_assert(offsetof(ProgramRule, LockKey) == 269, "ProgramRule.LockKey");
static_assert(offsetof(ProgramRule, AdvAction) == 270, "ProgramRule.AdvAction");
static_assert(offsetof(ProgramRule, TcpAccess) == 272, "ProgramRule.TcpAccess");
static_assert(offsetof(ProgramRule, UdpAccess) == 274, "ProgramRule.UdpAccess");
static_assert(offsetof(ProgramRule, TcpServer) == 276, "ProgramRule.TcpServer");
static_assert(offsetof(ProgramRule, UdpServer) == 278, "ProgramRule.UdpServer");
static_assert(offsetof(ProgramRule, PortType) == 280, "ProgramRule.PortType");
static_assert(offsetof(ProgramRule, PortList) == 282, "ProgramRule.PortList (internet)");
static_assert(offsetof(ProgramRule, PortList) + sizeof(WORD) * ACL_PORT_COUNT == 322,
              "ProgramRule.PortList (trusted)");
static_assert(offsetof(ProgramRule, TimeID) == 362, "ProgramRule.TimeID");

// Entry counts at build time; they fix the size and placement of each array.
struct AclCounts {
    DWORD Times;
    DWORD Tnet;
    DWORD Bnet;
    DWORD Programs;
};

// Offsets of the four arrays from the start of the block, and its size.
struct AclLayout {
    DWORD TimeRules;
    DWORD TnetZones;
    DWORD BnetZones;
    DWORD ProgramRules;
    DWORD Size;
};

// Places the arrays for the given counts: the time array gets one spare slot,
// the zone lists and the program array ACL_SPARE_ENTRIES each. Returns FALSE
// when the counts do not fit a 32-bit block size.
BOOL ComputeAclLayout(const AclCounts &counts, AclLayout *layout);

// One array of the image as this process sees it: its first entry and the
// number of entries that fit before the next array (or the end of the block).
// An absent array has no first entry and no capacity.
template <class T>
struct AclSection {
    T *First;
    DWORD Capacity;

    T *begin() const { return First; }
    T *end() const { return First + Capacity; }
};

// A mapped block seen through its header: rebases the console's addresses
// into this process and bounds each array by its own part of the block, so
// that no walk leaves the array or the block, whatever the block holds.
class CAclImageView {
public:
    CAclImageView() : m_view(0), m_size(0), m_consoleView(0) {}

    // view: the block in this process; consoleView: the console's address
    // of it, the base of the header's addresses. FALSE when the block cannot
    // hold the header.
    BOOL Attach(void *view, DWORD size, DWORD consoleView);
    void Detach() { *this = CAclImageView(); }

    BOOL IsAttached() const { return m_view != 0; }
    AclHeader *Header() const { return static_cast<AclHeader *>(m_view); }
    DWORD Size() const { return m_size; }

    // The console address as an address in this process; 0 for 0 and for an
    // address that does not lie inside the block.
    void *Rebase(DWORD consoleAddress) const;

    AclSection<TimeRule> TimeRules() const { return Section<TimeRule>(Header()->TimeRules); }
    AclSection<ZoneEntry> TnetZones() const { return Section<ZoneEntry>(Header()->TnetZones); }
    AclSection<ZoneEntry> BnetZones() const { return Section<ZoneEntry>(Header()->BnetZones); }
    AclSection<ProgramRule> ProgramRules() const
    {
        return Section<ProgramRule>(Header()->ProgramRules);
    }

private:
    template <class T>
    AclSection<T> Section(DWORD consoleAddress) const
    {
        AclSection<T> section = {0, 0};
        DWORD bytes = SectionBytes(consoleAddress);
        if (bytes >= sizeof(T)) {
            section.First = static_cast<T *>(Rebase(consoleAddress));
            section.Capacity = bytes / sizeof(T);
        }
        return section;
    }
    DWORD SectionBytes(DWORD consoleAddress) const;

    void *m_view;
    DWORD m_size;
    DWORD m_consoleView;
};

// Walks of one array: its entries stand together from the first slot and end
// at the first ID 0, or at the end of the array's space.
template <class T>
T *FindAclEntry(const AclSection<T> &section, DWORD id)
{
    for (T *entry = section.begin(); entry != section.end() && entry->ID != 0; ++entry)
        if (entry->ID == id)
            return entry;
    return 0;
}

// The slot an addition takes: the first free one, provided another slot
// stays free after it, so the array keeps a terminator inside its space.
template <class T>
T *FreeAclSlot(const AclSection<T> &section)
{
    for (T *entry = section.begin(); entry != section.end(); ++entry)
        if (entry->ID == 0)
            return entry + 1 != section.end() ? entry : 0;
    return 0;
}

// Removes the entry with the ID: the later entries move down by one and the
// slot that became free is zeroed. FALSE when no entry has the ID.
template <class T>
BOOL RemoveAclEntry(const AclSection<T> &section, DWORD id)
{
    T *entry = FindAclEntry(section, id);
    if (!entry)
        return FALSE;
    T *last = entry;
    while (last + 1 != section.end() && last[1].ID != 0)
        ++last;
    MoveMemory(entry, entry + 1, (last - entry) * sizeof(T));
    ZeroMemory(last, sizeof(T));
    return TRUE;
}
