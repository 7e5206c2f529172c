#include "PublisherFixture.h"

#include <cstdio>
#include <cstring>

#include "Address32.h"
#include "ErrorLog.h"
#include "FirewallLib.h"
#include "NetvaneIoctl.h"
#include "ProgramFolder.h"
#include "ProgramsRuleLib.h"

namespace {

SpiIoControlProc g_forward;
DWORD g_driverCallsAtStart;

DWORD DriverCallCount()
{
    NetvaneStatus status = {};
    NetvaneGetStatus(&status);
    return status.CallCount;
}

const char *SpiName(DWORD code)
{
    switch (code) {
    case SPI_SET_WORK_MODE: return "WORK_MODE";
    case SPI_SET_ACL_UPDATING: return "ACL_UPDATING";
    case SPI_SET_ACL_INFO: return "ACL_INFO";
    case SPI_SET_CONSOLE: return "CONSOLE";
    default: return "OTHER";
    }
}

const char *DriverName(DWORD code)
{
    switch (code) {
    case NETVANE_OPEN: return "OPEN";
    case IOCTL_NETVANE_CREATE_BLOCK: return "CREATE_BLOCK";
    case IOCTL_NETVANE_MAP_BLOCK: return "MAP_BLOCK";
    case IOCTL_NETVANE_UNMAP_BLOCK: return "UNMAP_BLOCK";
    case IOCTL_NETVANE_BLOCK_CONTROL: return "BLOCK_CONTROL";
    case IOCTL_NETVANE_FREE_BLOCK: return "FREE_BLOCK";
    case IOCTL_NETVANE_SET_ACL_READY: return "SET_ACL_READY";
    default: return "OTHER";
    }
}

std::string DescribeSpi(const SpiCall &call)
{
    char text[96];
    if (call.Code == SPI_SET_ACL_INFO)
        snprintf(text, sizeof text, "spi ACL_INFO %lx %lx %lu",
                 static_cast<unsigned long>(call.Block.Param1),
                 static_cast<unsigned long>(call.Block.Param2),
                 static_cast<unsigned long>(call.Block.Param3));
    else
        snprintf(text, sizeof text, "spi %s %lu", SpiName(call.Code),
                 static_cast<unsigned long>(call.Block.Value));
    return text;
}

// The u32 input of a driver call, when it had one; the open's is not shown.
std::string DescribeDriver(const NetvaneCall &call)
{
    std::string text = DriverName(call.Code);
    if (call.Code != NETVANE_OPEN && call.InputSize == sizeof(DWORD)) {
        DWORD value;
        memcpy(&value, call.Input, sizeof value);
        char number[16];
        snprintf(number, sizeof number, call.Code == IOCTL_NETVANE_UNMAP_BLOCK ||
                                                call.Code == IOCTL_NETVANE_FREE_BLOCK
                                            ? " %lx"
                                            : " %lu",
                 static_cast<unsigned long>(value));
        text += number;
    }
    if (!call.Succeeded)
        text += " failed";
    return text;
}

template <class T>
std::vector<T> Entries(const AclSection<T> &section)
{
    std::vector<T> entries;
    for (const T *entry = section.begin(); entry != section.end() && entry->ID != 0; ++entry)
        entries.push_back(*entry);
    return entries;
}

CAclImageView ConsoleView(const CAclPublisher &publisher)
{
    CAclImageView view;
    AclHeader *header = publisher.GetHeader();
    EXPECT_TRUE(header) << "no image";
    view.Attach(header, publisher.GetSize(), AddressToDword(header));
    return view;
}

} // namespace

std::vector<SpiCall> &RecordedSpiCalls()
{
    static std::vector<SpiCall> calls;
    return calls;
}

DWORD WINAPI RecordingSpiIoControl(DWORD code, SpiIoBlock *block)
{
    RecordedSpiCalls().push_back(SpiCall{code, *block, DriverCallCount()});
    return g_forward ? g_forward(code, block) : 0;
}

void ForwardSpiCalls(SpiIoControlProc entry)
{
    g_forward = entry;
}

SpiIoBlock LastAnnouncement()
{
    SpiIoBlock last = {};
    for (const SpiCall &call : RecordedSpiCalls())
        if (call.Code == SPI_SET_ACL_INFO)
            last = call.Block;
    return last;
}

void MarkTimeline()
{
    RecordedSpiCalls().clear();
    g_driverCallsAtStart = DriverCallCount();
}

std::vector<std::string> Timeline()
{
    std::vector<NetvaneCall> calls(NETVANE_CALL_ENTRIES);
    calls.resize(NetvaneReadCalls(GetCurrentProcessId(), calls.data(), NETVANE_CALL_ENTRIES));
    std::vector<std::string> timeline;
    size_t next = 0;
    for (const NetvaneCall &call : calls) {
        if (call.Sequence <= g_driverCallsAtStart)
            continue;
        for (; next < RecordedSpiCalls().size() &&
               RecordedSpiCalls()[next].DriverCallsBefore < call.Sequence;
             ++next)
            timeline.push_back(DescribeSpi(RecordedSpiCalls()[next]));
        timeline.push_back(DescribeDriver(call));
    }
    for (; next < RecordedSpiCalls().size(); ++next)
        timeline.push_back(DescribeSpi(RecordedSpiCalls()[next]));
    return timeline;
}

void CPublisherFixture::SetUp()
{
    CNetvaneFixture::SetUp();
    SetErrorLogFolder(m_folder.Path().c_str());
    SetProgramFolder(m_folder.Path().c_str());
    g_forward = nullptr;
    MarkTimeline();
}

void CPublisherFixture::TearDown()
{
    delete m_publisher;
    m_publisher = nullptr;
    g_forward = nullptr;
    CNetvaneFixture::TearDown();
}

void CPublisherFixture::UseShippedDatabases()
{
    for (const char *name : {"Firewall.dat", "ProgramsRule.dat"}) {
        std::string source = std::string("..\\program\\") + name;
        ASSERT_TRUE(CopyFileA(source.c_str(), m_folder.File(name).c_str(), FALSE))
            << source << " error " << GetLastError();
    }
}

void CPublisherFixture::UseEmptyDatabases()
{
    ASSERT_TRUE(CFirewallLib().Create(FirewallPath().c_str()));
    ASSERT_TRUE(CProgramsRuleLib().Create(RulesPath().c_str()));
}

DWORD CPublisherFixture::StoreZone(BOOL blocked, const char *name, BYTE type, DWORD ip1,
                                   DWORD ip2, const char *site)
{
    CFirewallLib store;
    EXPECT_TRUE(store.Open(FirewallPath().c_str()));
    ZoneRecord zone;
    zone.Name = name;
    zone.Type = type;
    zone.IP1 = ip1;
    zone.IP2 = ip2;
    zone.Site = site;
    DWORD id = store.AddZone(zone, blocked);
    EXPECT_NE(0u, id) << name;
    return id;
}

DWORD CPublisherFixture::StoreRule(const char *path, BYTE inet, BYTE tnet, BYTE mail,
                                   BYTE lockKey)
{
    CProgramsRuleLib store;
    EXPECT_TRUE(store.Open(RulesPath().c_str()));
    DWORD id = store.AddRule(path, inet, tnet, mail, lockKey);
    EXPECT_NE(0u, id) << path;
    return id;
}

void CPublisherFixture::BuildPublisher()
{
    m_publisher = new CAclPublisher;
    m_publisher->SetSpiIoControl(RecordingSpiIoControl);
    ASSERT_TRUE(m_publisher->Build());
}

std::vector<BYTE> Snapshot(const CAclPublisher &publisher)
{
    const BYTE *bytes = reinterpret_cast<const BYTE *>(publisher.GetHeader());
    return bytes ? std::vector<BYTE>(bytes, bytes + publisher.GetSize()) : std::vector<BYTE>();
}

std::vector<ZoneEntry> ZoneEntries(const CAclPublisher &publisher, BOOL blocked)
{
    CAclImageView view = ConsoleView(publisher);
    return Entries(blocked ? view.BnetZones() : view.TnetZones());
}

std::vector<ProgramRule> ProgramRules(const CAclPublisher &publisher)
{
    return Entries(ConsoleView(publisher).ProgramRules());
}

std::vector<TimeRule> TimeRules(const CAclPublisher &publisher)
{
    return Entries(ConsoleView(publisher).TimeRules());
}
