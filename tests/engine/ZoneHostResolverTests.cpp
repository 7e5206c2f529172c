// The host-name resolver over a live image: host-name entries take the
// address their name resolves to, or 0, and nothing else is touched. Names
// that resolve without a name server: dotted addresses and this computer's
// own name; one that cannot resolve: a label longer than a name may have.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <string>

#include "PublisherFixture.h"
#include "ZoneHostResolver.h"

namespace {

const std::string kUnresolvable = std::string(64, 'x') + ".invalid";

ZoneRecord Host(const char *name, const std::string &site, DWORD address = 0)
{
    ZoneRecord zone;
    zone.Name = name;
    zone.Type = ZONE_ENTRY_HOST;
    zone.IP1 = address;
    zone.IP2 = address;
    zone.Site = site.c_str();
    return zone;
}

std::string ComputerName()
{
    char name[256] = {};
    gethostname(name, sizeof name);
    return name;
}

// Whether the address is one of this computer's own: only those can be bound.
bool IsOwnAddress(DWORD address)
{
    SOCKET probe = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(address);
    bool bound = bind(probe, reinterpret_cast<sockaddr *>(&local), sizeof local) == 0;
    closesocket(probe);
    return bound;
}

const ZoneEntry *Entry(const std::vector<ZoneEntry> &entries, DWORD id)
{
    for (const ZoneEntry &entry : entries)
        if (entry.ID == id)
            return &entry;
    return nullptr;
}

} // namespace

class CResolverTest : public CPublisherFixture {
protected:
    void SetUp() override
    {
        CPublisherFixture::SetUp();
        WSADATA data;
        ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &data));
        UseEmptyDatabases();
        m_address = StoreZone(FALSE, "Address", ZONE_ENTRY_ADDRESS, 0x0A000001, 0x0A000002, "1.2.3.4");
        m_range = StoreZone(FALSE, "Range", ZONE_ENTRY_RANGE, 0x0A000010, 0x0A000020, "");
        m_dotted = StoreZone(FALSE, "Dotted", ZONE_ENTRY_HOST, 0, 0, "10.1.2.3");
        m_empty = StoreZone(FALSE, "Empty", ZONE_ENTRY_HOST, 0x05050505, 0x05050505, "");
        m_subnet = StoreZone(TRUE, "Subnet", ZONE_ENTRY_SUBNET, 0xC0A80000, 0xFFFFFF00, "");
        m_computer = StoreZone(TRUE, "Computer", ZONE_ENTRY_HOST, 0, 0, ComputerName().c_str());
        m_unknown = StoreZone(TRUE, "Unknown", ZONE_ENTRY_HOST, 0x06060606, 0x06060606,
                              kUnresolvable.c_str());
        BuildPublisher();
    }

    void TearDown() override
    {
        CPublisherFixture::TearDown();
        WSACleanup();
    }

    DWORD m_address = 0, m_range = 0, m_dotted = 0, m_empty = 0;
    DWORD m_subnet = 0, m_computer = 0, m_unknown = 0;
};

TEST_F(CResolverTest, PassGivesHostEntriesTheirAddressesAndNothingElse)
{
    std::vector<ZoneEntry> trustedBefore = ZoneEntries(*m_publisher, FALSE);
    std::vector<ZoneEntry> blockedBefore = ZoneEntries(*m_publisher, TRUE);
    CZoneHostResolver::ResolvePass(*m_publisher);
    std::vector<ZoneEntry> trusted = ZoneEntries(*m_publisher, FALSE);
    std::vector<ZoneEntry> blocked = ZoneEntries(*m_publisher, TRUE);

    struct Expected {
        const std::vector<ZoneEntry> &entries;
        DWORD id;
        DWORD address;
    } hosts[] = {
        {trusted, m_dotted, 0x0A010203},
        {trusted, m_empty, 0}, // an empty name is no name, not this computer
        {blocked, m_unknown, 0},
    };
    for (const Expected &host : hosts) {
        const ZoneEntry *entry = Entry(host.entries, host.id);
        ASSERT_TRUE(entry) << host.id;
        EXPECT_EQ(host.address, entry->IP1) << entry->Site;
        EXPECT_EQ(host.address, entry->IP2) << entry->Site;
    }
    const ZoneEntry *computer = Entry(blocked, m_computer);
    ASSERT_TRUE(computer);
    EXPECT_NE(0u, computer->IP1);
    EXPECT_TRUE(IsOwnAddress(computer->IP1)) << std::hex << computer->IP1;
    EXPECT_EQ(computer->IP1, computer->IP2);

    // Entries of the other kinds are left byte for byte.
    for (DWORD id : {m_address, m_range})
        EXPECT_EQ(0, memcmp(Entry(trustedBefore, id), Entry(trusted, id), sizeof(ZoneEntry)));
    EXPECT_EQ(0, memcmp(Entry(blockedBefore, m_subnet), Entry(blocked, m_subnet),
                        sizeof(ZoneEntry)));
}

TEST_F(CResolverTest, NameThatStopsResolvingLosesItsAddress)
{
    CZoneHostResolver::ResolvePass(*m_publisher);
    ASSERT_EQ(0x0A010203u, Entry(ZoneEntries(*m_publisher, FALSE), m_dotted)->IP1);
    ASSERT_TRUE(m_publisher->ModifyZoneEntry(FALSE, m_dotted, Host("Dotted", "10.9.9.9")));
    CZoneHostResolver::ResolvePass(*m_publisher);
    EXPECT_EQ(0x0A090909u, Entry(ZoneEntries(*m_publisher, FALSE), m_dotted)->IP1);
    ASSERT_TRUE(m_publisher->ModifyZoneEntry(FALSE, m_dotted, Host("Dotted", kUnresolvable)));
    CZoneHostResolver::ResolvePass(*m_publisher);
    const ZoneEntry *entry = Entry(ZoneEntries(*m_publisher, FALSE), m_dotted);
    EXPECT_EQ(0u, entry->IP1);
    EXPECT_EQ(0u, entry->IP2);
}

// The thread is started once per process, so one test covers its life.
TEST_F(CResolverTest, ThreadResolvesAnEntryAddedWhileItRunsAndStops)
{
    ASSERT_TRUE(CZoneHostResolver::Start(*m_publisher));
    EXPECT_TRUE(CZoneHostResolver::Start(*m_publisher));
    DWORD added = m_publisher->AddZoneEntry(TRUE, Host("Added", "10.4.4.4", 0x07070707));
    ASSERT_NE(0u, added);

    bool resolved = false;
    for (int look = 0; look < 600 && !resolved; ++look) {
        Sleep(50);
        const ZoneEntry *entry = Entry(ZoneEntries(*m_publisher, TRUE), added);
        resolved = entry && entry->IP1 == 0x0A040404;
    }
    EXPECT_TRUE(resolved);
    EXPECT_TRUE(CZoneHostResolver::Stop());

    // Stopped for good: the image may go now.
    delete m_publisher;
    m_publisher = nullptr;
    EXPECT_TRUE(CZoneHostResolver::Stop());
}
