// Building the rule image from real databases in an emulated driver block,
// the calls that announce it, the failures of the build and the release.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "Address32.h"
#include "CTime.h"
#include "FirewallLib.h"
#include "ProgramsRuleLib.h"
#include "PublisherFixture.h"

namespace {

const DWORD kEmptyImageSize = 44 + 16 + 276 * 100 + 276 * 100 + 364 * 100;

std::string Hex(DWORD value)
{
    char text[16];
    snprintf(text, sizeof text, "%lx", static_cast<unsigned long>(value));
    return text;
}

std::string Announcement(const CAclPublisher &publisher)
{
    return "spi ACL_INFO " + Hex(LastAnnouncement().Param1) + " " +
           Hex(AddressToDword(publisher.GetHeader())) + " " + std::to_string(publisher.GetSize());
}

NetRuleSettings Settings(BYTE adv, BYTE tcp, BYTE udp, BYTE tcpServer, BYTE udpServer,
                         BYTE portType, std::initializer_list<WORD> ports, BYTE timeId)
{
    NetRuleSettings settings;
    settings.AdvAction = adv;
    settings.TcpAccess = tcp;
    settings.UdpAccess = udp;
    settings.TcpServer = tcpServer;
    settings.UdpServer = udpServer;
    settings.PortType = portType;
    int index = 0;
    for (WORD port : ports)
        settings.Ports[index++] = port;
    settings.TimeID = timeId;
    return settings;
}

void ExpectHalf(const ProgramRule &rule, int zone, const NetRuleSettings &settings)
{
    EXPECT_EQ(settings.AdvAction, rule.AdvAction[zone]);
    EXPECT_EQ(settings.TcpAccess, rule.TcpAccess[zone]);
    EXPECT_EQ(settings.UdpAccess, rule.UdpAccess[zone]);
    EXPECT_EQ(settings.TcpServer, rule.TcpServer[zone]);
    EXPECT_EQ(settings.UdpServer, rule.UdpServer[zone]);
    EXPECT_EQ(settings.PortType, rule.PortType[zone]);
    EXPECT_EQ(settings.TimeID, rule.TimeID[zone]);
    for (int port = 0; port < ACL_PORT_COUNT; ++port)
        EXPECT_EQ(settings.Ports[port], rule.PortList[zone][port]) << "port " << port;
}

} // namespace

TEST_F(CPublisherFixture, EmptyStoresGiveTheSmallestImage)
{
    UseEmptyDatabases();
    BuildPublisher();
    const AclHeader *header = m_publisher->GetHeader();
    ASSERT_TRUE(header);
    EXPECT_EQ(kEmptyImageSize, m_publisher->GetSize());

    DWORD base = AddressToDword(header);
    EXPECT_EQ(base + 44, header->TimeRules);
    EXPECT_EQ(base + 60, header->TnetZones);
    EXPECT_EQ(base + 60 + 27600, header->BnetZones);
    EXPECT_EQ(base + 60 + 55200, header->ProgramRules);
    EXPECT_EQ(0u, header->TimeCount + header->TnetCount + header->BnetCount +
                      header->ProgramCount);
    EXPECT_EQ(0, header->WriterFlag);
    EXPECT_EQ(0, header->ReaderCount);

    // Below the header everything is zero: four terminators and free slots.
    const BYTE *bytes = reinterpret_cast<const BYTE *>(header);
    size_t nonZero = 0;
    for (DWORD offset = sizeof(AclHeader); offset < m_publisher->GetSize(); ++offset)
        nonZero += bytes[offset] != 0;
    EXPECT_EQ(0u, nonZero);
}

TEST_F(CPublisherFixture, ImageCarriesEveryStoredRowFieldByField)
{
    UseShippedDatabases();
    // Schedule 2 from 08:30:00 to 17:00:00, Monday to Friday.
    {
        CProgramsRuleLib store;
        ASSERT_TRUE(store.Open(RulesPath().c_str()));
        TimeRecord schedule;
        schedule.WeekDay = 0x7C;
        schedule.StartTime = DWORD(CTime(2026, 3, 2, 8, 30, 0).GetTime());
        schedule.EndTime = DWORD(CTime(2026, 3, 2, 17, 0, 0).GetTime());
        ASSERT_TRUE(store.UpdateTime(2, schedule));
    }
    DWORD office = StoreZone(FALSE, "Office", ZONE_ENTRY_RANGE, 0xC0A80001, 0xC0A800FE, "");
    DWORD printer = StoreZone(FALSE, "Printer", ZONE_ENTRY_ADDRESS, 0xC0A80063, 0, "old.example");
    DWORD mail = StoreZone(FALSE, "Mail", ZONE_ENTRY_HOST, 0, 0, "mail.example.com");
    DWORD bad = StoreZone(TRUE, "Bad net", ZONE_ENTRY_SUBNET, 0x0A010000, 0xFFFF0000, "");

    DWORD browser = StoreRule("C:\\Apps\\Browser.exe", ACTION_PASS, ACTION_QUERY, ACTION_DENY, 1);
    DWORD mailer = StoreRule("C:\\Apps\\Mailer.exe", ACTION_DENY, ACTION_PASS, ACTION_PASS, 0);
    NetRuleSettings inet = Settings(1, 0, 1, 0, 1, 2, {80, 443}, 2);
    NetRuleSettings tnet = Settings(0, 1, 0, 1, 0, 1, {1000, 2000}, 3);
    NetRuleSettings full = Settings(2, 1, 1, 1, 1, 2, {}, 1);
    for (int port = 0; port < ACL_PORT_COUNT; ++port)
        full.Ports[port] = WORD(7000 + port);
    {
        CProgramsRuleLib store;
        ASSERT_TRUE(store.Open(RulesPath().c_str()));
        ASSERT_TRUE(store.SetInetSettings(browser, inet));
        ASSERT_TRUE(store.SetTnetSettings(browser, tnet));
        ASSERT_TRUE(store.SetTnetSettings(mailer, full));
    }

    BuildPublisher();
    const AclHeader *header = m_publisher->GetHeader();
    ASSERT_TRUE(header);
    EXPECT_EQ(7u, header->TimeCount);
    EXPECT_EQ(3u, header->TnetCount);
    EXPECT_EQ(1u, header->BnetCount);
    EXPECT_EQ(2u, header->ProgramCount);
    EXPECT_EQ(44u + 16 * 8 + 276 * 103 + 276 * 101 + 364 * 102, m_publisher->GetSize());
    DWORD base = AddressToDword(header);
    EXPECT_EQ(base + 44 + 16 * 8 + 276 * 103, header->BnetZones);

    std::vector<TimeRule> times = TimeRules(*m_publisher);
    ASSERT_EQ(7u, times.size());
    for (DWORD index = 0; index < 7; ++index)
        EXPECT_EQ(index + 1, times[index].ID);
    EXPECT_EQ(30600u, times[1].StartTime);
    EXPECT_EQ(61200u, times[1].EndTime);
    EXPECT_EQ(0x7C, times[1].WeekDay);

    std::vector<ZoneEntry> trusted = ZoneEntries(*m_publisher, FALSE);
    ASSERT_EQ(3u, trusted.size());
    EXPECT_EQ(office, trusted[0].ID);
    EXPECT_EQ(ZONE_ENTRY_RANGE, trusted[0].Type);
    EXPECT_EQ(0xC0A80001u, trusted[0].IP1);
    EXPECT_EQ(0xC0A800FEu, trusted[0].IP2);
    EXPECT_EQ(printer, trusted[1].ID);
    EXPECT_STREQ("old.example", trusted[1].Site); // copied for every type
    EXPECT_EQ(mail, trusted[2].ID);
    EXPECT_EQ(ZONE_ENTRY_HOST, trusted[2].Type);
    EXPECT_STREQ("mail.example.com", trusted[2].Site);

    std::vector<ZoneEntry> blocked = ZoneEntries(*m_publisher, TRUE);
    ASSERT_EQ(1u, blocked.size());
    EXPECT_EQ(bad, blocked[0].ID);
    EXPECT_EQ(ZONE_ENTRY_SUBNET, blocked[0].Type);
    EXPECT_EQ(0x0A010000u, blocked[0].IP1);
    EXPECT_EQ(0xFFFF0000u, blocked[0].IP2);

    std::vector<ProgramRule> rules = ProgramRules(*m_publisher);
    ASSERT_EQ(2u, rules.size());
    EXPECT_EQ(browser, rules[0].ID);
    EXPECT_STREQ("C:\\Apps\\Browser.exe", rules[0].Path);
    EXPECT_EQ(ACTION_PASS, rules[0].InetAction);
    EXPECT_EQ(ACTION_QUERY, rules[0].TnetAction);
    EXPECT_EQ(ACTION_DENY, rules[0].EmailAction);
    EXPECT_EQ(1, rules[0].LockKey);
    ExpectHalf(rules[0], ACL_INET, inet);
    ExpectHalf(rules[0], ACL_TNET, tnet);

    EXPECT_EQ(mailer, rules[1].ID);
    EXPECT_EQ(ACTION_DENY, rules[1].InetAction);
    EXPECT_EQ(0, rules[1].LockKey);
    ExpectHalf(rules[1], ACL_INET, Settings(2, 1, 1, 1, 1, 0, {}, 1)); // the row's defaults
    ExpectHalf(rules[1], ACL_TNET, full);
}

TEST_F(CPublisherFixture, BuildIsAnnouncedBetweenTheUpdateFlags)
{
    UseEmptyDatabases();
    BuildPublisher();
    std::vector<std::string> expected = {
        "spi ACL_UPDATING 1",
        "OPEN",
        "SET_ACL_READY 0",
        "CREATE_BLOCK " + std::to_string(kEmptyImageSize),
        "MAP_BLOCK 1",
        Announcement(*m_publisher),
        "spi ACL_UPDATING 0",
        "SET_ACL_READY 1",
    };
    EXPECT_EQ(expected, Timeline());
    EXPECT_NE(0u, LastAnnouncement().Param1);
}

// How a build fails, and what it told the provider and the driver before.
struct BuildFailure {
    const char *name;
    void (*arrange)(CPublisherFixture &fixture, const std::string &folder);
    bool bindProvider;
    std::vector<std::string> timeline;
};

class CBuildFailureTest : public CPublisherFixture,
                          public ::testing::WithParamInterface<BuildFailure> {
};

TEST_P(CBuildFailureTest, FailsAndLeavesNoProviderWaiting)
{
    UseEmptyDatabases();
    GetParam().arrange(*this, m_folder.Path());
    m_publisher = new CAclPublisher;
    if (GetParam().bindProvider)
        m_publisher->SetSpiIoControl(RecordingSpiIoControl);
    EXPECT_FALSE(m_publisher->Build());
    EXPECT_EQ(GetParam().timeline, Timeline());

    NetvaneStatus status = {};
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(0u, status.AclReady);
}

const std::string kEmptySize = std::to_string(kEmptyImageSize);

INSTANTIATE_TEST_SUITE_P(
    Build, CBuildFailureTest,
    ::testing::Values(
        BuildFailure{"RuleFileIsAFolder",
                     [](CPublisherFixture &, const std::string &folder) {
                         std::string path = folder + "ProgramsRule.dat";
                         DeleteFileA(path.c_str());
                         CreateDirectoryA(path.c_str(), nullptr);
                     },
                     true,
                     {}},
        BuildFailure{"ZoneFileMissing",
                     [](CPublisherFixture &, const std::string &folder) {
                         DeleteFileA((folder + "Firewall.dat").c_str());
                     },
                     true,
                     {}},
        BuildFailure{"BlockNotCreated",
                     [](CPublisherFixture &, const std::string &) {
                         NetvaneFailCode(IOCTL_NETVANE_CREATE_BLOCK, ERROR_NOT_ENOUGH_MEMORY);
                     },
                     true,
                     {"spi ACL_UPDATING 1", "OPEN", "SET_ACL_READY 0",
                      "CREATE_BLOCK " + kEmptySize + " failed", "spi ACL_UPDATING 0"}},
        BuildFailure{"BlockNotMapped",
                     [](CPublisherFixture &, const std::string &) {
                         NetvaneFailCode(IOCTL_NETVANE_MAP_BLOCK, ERROR_NOT_ENOUGH_MEMORY);
                     },
                     true,
                     {"spi ACL_UPDATING 1", "OPEN", "SET_ACL_READY 0", "CREATE_BLOCK " + kEmptySize,
                      "MAP_BLOCK 1 failed", "spi ACL_UPDATING 0"}},
        BuildFailure{"ProviderNotBound", [](CPublisherFixture &, const std::string &) {}, false,
                     {"OPEN", "CREATE_BLOCK " + kEmptySize, "MAP_BLOCK 1"}}),
    [](const ::testing::TestParamInfo<BuildFailure> &info) { return info.param.name; });

TEST_F(CPublisherFixture, UnmappedBlockHandleIsClosed)
{
    UseEmptyDatabases();
    NetvaneFailCode(IOCTL_NETVANE_MAP_BLOCK, ERROR_NOT_ENOUGH_MEMORY);
    m_publisher = new CAclPublisher;
    m_publisher->SetSpiIoControl(RecordingSpiIoControl);
    ASSERT_FALSE(m_publisher->Build());
    EXPECT_EQ(nullptr, m_publisher->GetHeader());

    // The block handle was the device handle: the next call opens the device anew.
    MarkTimeline();
    DriverSetAclReady(0);
    EXPECT_EQ((std::vector<std::string>{"OPEN", "SET_ACL_READY 0"}), Timeline());
}

// The release when the console ends: the driver hears it, the provider (gone
// by then) does not. The free request follows only failed block controls.
struct ReleaseCase {
    const char *name;
    DWORD controlError;
    bool freed;
};

class CReleaseTest : public CPublisherFixture, public ::testing::WithParamInterface<ReleaseCase> {
};

TEST_P(CReleaseTest, DestructionReleasesTheBlock)
{
    UseEmptyDatabases();
    BuildPublisher();
    std::string view = Hex(AddressToDword(m_publisher->GetHeader()));
    NetvaneFailCode(IOCTL_NETVANE_BLOCK_CONTROL, GetParam().controlError);
    const char *failed = GetParam().controlError ? " failed" : "";

    MarkTimeline();
    delete m_publisher;
    m_publisher = nullptr;
    std::vector<std::string> expected = {"SET_ACL_READY 0", "UNMAP_BLOCK " + view,
                                         std::string("BLOCK_CONTROL 1") + failed,
                                         std::string("BLOCK_CONTROL 2") + failed};
    if (GetParam().freed)
        expected.push_back("FREE_BLOCK " + view);
    EXPECT_EQ(expected, Timeline());

    // The device handle went with the block.
    MarkTimeline();
    DriverSetAclReady(0);
    EXPECT_EQ((std::vector<std::string>{"OPEN", "SET_ACL_READY 0"}), Timeline());
}

// A console that ends before it builds an image (a second start, a failed
// start-up) must not tell the driver that the running console's image went.
TEST_F(CPublisherFixture, DestructionWithoutAnImageTellsTheDriverNothing)
{
    UseEmptyDatabases();
    NetvaneFailCode(IOCTL_NETVANE_CREATE_BLOCK, ERROR_NOT_ENOUGH_MEMORY);
    for (bool built : {false, true}) {
        m_publisher = new CAclPublisher;
        m_publisher->SetSpiIoControl(RecordingSpiIoControl);
        if (built) {
            ASSERT_FALSE(m_publisher->Build());
        }
        MarkTimeline();
        delete m_publisher;
        m_publisher = nullptr;
        EXPECT_TRUE(Timeline().empty()) << (built ? "after a refused block" : "never built");
    }
}

INSTANTIATE_TEST_SUITE_P(Release, CReleaseTest,
                         ::testing::Values(ReleaseCase{"ControlsSucceed", 0, false},
                                           ReleaseCase{"ControlsFail", ERROR_GEN_FAILURE, true}),
                         [](const ::testing::TestParamInfo<ReleaseCase> &info) {
                             return info.param.name;
                         });
