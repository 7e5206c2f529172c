// Rule edits: each goes to the store first and then into the image in place;
// a store that refuses leaves the image as it was.
#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "AclGate.h"
#include "Address32.h"
#include "CTime.h"
#include "FirewallLib.h"
#include "ProgramsRuleLib.h"
#include "PublisherFixture.h"

namespace {

ZoneRecord Zone(const char *name, BYTE type, DWORD ip1, DWORD ip2, const char *site)
{
    ZoneRecord zone;
    zone.Name = name;
    zone.Type = type;
    zone.IP1 = ip1;
    zone.IP2 = ip2;
    zone.Site = site;
    return zone;
}

NetRuleSettings Ports(BYTE portType, std::initializer_list<WORD> ports)
{
    NetRuleSettings settings;
    settings.AdvAction = ACTION_DENY;
    settings.TcpAccess = 1;
    settings.UdpAccess = 0;
    settings.TcpServer = 0;
    settings.UdpServer = 1;
    settings.TimeID = 4;
    settings.PortType = portType;
    int index = 0;
    for (WORD port : ports)
        settings.Ports[index++] = port;
    return settings;
}

bool IsZero(const void *bytes, size_t size)
{
    const BYTE *byte = static_cast<const BYTE *>(bytes);
    for (size_t index = 0; index < size; ++index)
        if (byte[index])
            return false;
    return true;
}

} // namespace

// Three trusted entries, one blocked entry and two rules, built into an image.
class CEditTest : public CPublisherFixture {
protected:
    void SetUp() override
    {
        CPublisherFixture::SetUp();
        UseShippedDatabases();
        m_first = StoreZone(FALSE, "First", ZONE_ENTRY_ADDRESS, 0x0A000001, 0, "");
        m_second = StoreZone(FALSE, "Second", ZONE_ENTRY_HOST, 0, 0, "second.example");
        m_third = StoreZone(FALSE, "Third", ZONE_ENTRY_RANGE, 0x0A000010, 0x0A000020, "");
        m_blocked = StoreZone(TRUE, "Blocked", ZONE_ENTRY_ADDRESS, 0x01020304, 0, "");
        m_browser = StoreRule("C:\\Apps\\Browser.exe", ACTION_PASS, ACTION_PASS, ACTION_DENY, 0);
        m_player = StoreRule("C:\\Apps\\Player.exe", ACTION_QUERY, ACTION_PASS, ACTION_DENY, 0);
        BuildPublisher();
    }

    // Makes every later statement on the table fail, as a damaged or
    // foreign database would.
    void BreakTable(const std::string &path, const char *table)
    {
        CRawConnection raw(path);
        std::string sql = std::string("alter table ") + table + " rename to Broken" + table + ";";
        ASSERT_EQ(SQLITE_OK, raw.Run(sql.c_str())) << sql;
    }

    const ProgramRule *ImageRule(DWORD id)
    {
        CAclImageView view;
        view.Attach(m_publisher->GetHeader(), m_publisher->GetSize(),
                    AddressToDword(m_publisher->GetHeader()));
        return FindAclEntry(view.ProgramRules(), id);
    }

    DWORD m_first = 0, m_second = 0, m_third = 0, m_blocked = 0;
    DWORD m_browser = 0, m_player = 0;
};

TEST_F(CEditTest, AddedZoneTakesTheFirstFreeSlot)
{
    DWORD host = m_publisher->AddZoneEntry(FALSE, Zone("Host", ZONE_ENTRY_HOST, 5, 6, "h.example"));
    DWORD address = m_publisher->AddZoneEntry(TRUE, Zone("Addr", ZONE_ENTRY_ADDRESS, 7, 0, "x"));
    ASSERT_NE(0u, host);
    ASSERT_NE(0u, address);

    std::vector<ZoneEntry> trusted = ZoneEntries(*m_publisher, FALSE);
    ASSERT_EQ(4u, trusted.size());
    EXPECT_EQ(host, trusted[3].ID);
    EXPECT_EQ(ZONE_ENTRY_HOST, trusted[3].Type);
    EXPECT_EQ(5u, trusted[3].IP1);
    EXPECT_EQ(6u, trusted[3].IP2);
    EXPECT_STREQ("h.example", trusted[3].Site);
    EXPECT_EQ(4u, m_publisher->GetHeader()->TnetCount);

    std::vector<ZoneEntry> blocked = ZoneEntries(*m_publisher, TRUE);
    ASSERT_EQ(2u, blocked.size());
    EXPECT_EQ(address, blocked[1].ID);
    EXPECT_STREQ("", blocked[1].Site); // a name only for a host-name entry
    EXPECT_EQ(2u, m_publisher->GetHeader()->BnetCount);

    ZoneRecord stored;
    ASSERT_TRUE(m_publisher->ReadZoneEntry(FALSE, host, stored));
    EXPECT_STREQ("Host", stored.Name);
    EXPECT_STREQ("h.example", stored.Site);
}

TEST_F(CEditTest, DeletingTheFirstOfThreeMovesTheOthersDown)
{
    ASSERT_TRUE(m_publisher->DeleteZoneEntry(FALSE, m_first));
    std::vector<ZoneEntry> trusted = ZoneEntries(*m_publisher, FALSE);
    ASSERT_EQ(2u, trusted.size());
    EXPECT_EQ(m_second, trusted[0].ID);
    EXPECT_STREQ("second.example", trusted[0].Site);
    EXPECT_EQ(m_third, trusted[1].ID);
    EXPECT_EQ(0x0A000020u, trusted[1].IP2);
    const ZoneEntry *slots = DwordToAddress<ZoneEntry>(m_publisher->GetHeader()->TnetZones);
    EXPECT_TRUE(IsZero(&slots[2], sizeof slots[2]));
    EXPECT_EQ(2u, m_publisher->GetHeader()->TnetCount);

    ZoneRecord stored;
    EXPECT_FALSE(m_publisher->ReadZoneEntry(FALSE, m_first, stored));
}

TEST_F(CEditTest, DeletingAnUnknownIdChangesNoCount)
{
    std::vector<BYTE> before = Snapshot(*m_publisher);
    EXPECT_TRUE(m_publisher->DeleteZoneEntry(TRUE, 999));
    EXPECT_TRUE(m_publisher->DeleteProgram(999));
    EXPECT_EQ(before, Snapshot(*m_publisher));
    EXPECT_EQ(1u, m_publisher->GetHeader()->BnetCount);
    EXPECT_EQ(2u, m_publisher->GetHeader()->ProgramCount);
}

TEST_F(CEditTest, ModifiedZoneIsRewrittenWithItsName)
{
    ASSERT_TRUE(m_publisher->ModifyZoneEntry(
        FALSE, m_second, Zone("Second", ZONE_ENTRY_SUBNET, 0xC0A80000, 0xFFFFFF00, "kept.example")));
    std::vector<ZoneEntry> trusted = ZoneEntries(*m_publisher, FALSE);
    ASSERT_EQ(3u, trusted.size());
    EXPECT_EQ(m_second, trusted[1].ID);
    EXPECT_EQ(ZONE_ENTRY_SUBNET, trusted[1].Type);
    EXPECT_EQ(0xC0A80000u, trusted[1].IP1);
    EXPECT_EQ(0xFFFFFF00u, trusted[1].IP2);
    EXPECT_STREQ("kept.example", trusted[1].Site);
    EXPECT_EQ(3u, m_publisher->GetHeader()->TnetCount);

    ZoneRecord stored;
    ASSERT_TRUE(m_publisher->ReadZoneEntry(FALSE, m_second, stored));
    EXPECT_EQ(ZONE_ENTRY_SUBNET, stored.Type);
}

TEST_F(CEditTest, ModifyingAZoneNotInTheImageFails)
{
    StoreZone(FALSE, "Later", ZONE_ENTRY_ADDRESS, 1, 0, ""); // stored behind the image's back
    DWORD later = m_first + 3;
    std::vector<BYTE> before = Snapshot(*m_publisher);
    EXPECT_FALSE(m_publisher->ModifyZoneEntry(FALSE, later,
                                              Zone("Later", ZONE_ENTRY_ADDRESS, 2, 0, "")));
    EXPECT_EQ(before, Snapshot(*m_publisher));
}

TEST_F(CEditTest, TimeRuleTakesTheLocalTimeOfDay)
{
    CTime start(2026, 3, 2, 8, 30, 0);
    CTime end(2026, 3, 2, 17, 0, 0);
    ASSERT_TRUE(m_publisher->SetTimeRule(3, 0x7C, start, end, "office hours"));
    std::vector<TimeRule> times = TimeRules(*m_publisher);
    ASSERT_EQ(7u, times.size());
    EXPECT_EQ(3u, times[2].ID);
    EXPECT_EQ(0x7C, times[2].WeekDay);
    EXPECT_EQ(30600u, times[2].StartTime);
    EXPECT_EQ(61200u, times[2].EndTime);

    TimeRecord stored;
    ASSERT_TRUE(m_publisher->RuleStore().GetTime(3, stored));
    EXPECT_EQ(0x7C, stored.WeekDay);
    EXPECT_EQ(DWORD(start.GetTime()), stored.StartTime);
    EXPECT_EQ(DWORD(end.GetTime()), stored.EndTime);
    EXPECT_STREQ("office hours", stored.Memo);
}

TEST_F(CEditTest, AddedProgramCarriesItsLockKeyAndTheDefaults)
{
    DWORD id = m_publisher->AddProgram("C:\\Apps\\New.exe", ACTION_DENY, ACTION_PASS, ACTION_DENY, 2);
    ASSERT_NE(0u, id);
    std::vector<ProgramRule> rules = ProgramRules(*m_publisher);
    ASSERT_EQ(3u, rules.size());
    const ProgramRule &rule = rules[2];
    EXPECT_EQ(id, rule.ID);
    EXPECT_STREQ("C:\\Apps\\New.exe", rule.Path);
    EXPECT_EQ(ACTION_DENY, rule.InetAction);
    EXPECT_EQ(ACTION_PASS, rule.TnetAction);
    EXPECT_EQ(ACTION_DENY, rule.EmailAction);
    EXPECT_EQ(2, rule.LockKey);
    for (int zone = ACL_INET; zone <= ACL_TNET; ++zone) {
        EXPECT_EQ(0, rule.AdvAction[zone]);
        EXPECT_EQ(1, rule.TcpAccess[zone]);
        EXPECT_EQ(1, rule.UdpAccess[zone]);
        EXPECT_EQ(1, rule.TcpServer[zone]);
        EXPECT_EQ(1, rule.UdpServer[zone]);
        EXPECT_EQ(0, rule.PortType[zone]);
        EXPECT_EQ(1, rule.TimeID[zone]);
        EXPECT_TRUE(IsZero(rule.PortList[zone], sizeof rule.PortList[zone]));
    }
    EXPECT_EQ(3u, m_publisher->GetHeader()->ProgramCount);

    // The key is kept for the next start too.
    RuleRecord stored;
    m_publisher->RuleStore().GetRule(id, stored);
    EXPECT_EQ(id, stored.ID);
    EXPECT_EQ(2, stored.LockKey);
}

TEST_F(CEditTest, DeletedProgramLeavesTheOthersTogether)
{
    ASSERT_TRUE(m_publisher->DeleteProgram(m_browser));
    std::vector<ProgramRule> rules = ProgramRules(*m_publisher);
    ASSERT_EQ(1u, rules.size());
    EXPECT_EQ(m_player, rules[0].ID);
    EXPECT_STREQ("C:\\Apps\\Player.exe", rules[0].Path);
    EXPECT_EQ(1u, m_publisher->GetHeader()->ProgramCount);
    EXPECT_TRUE(m_publisher->RuleStore().GetRulePath(m_browser).IsEmpty());
}

TEST_F(CEditTest, ProgramActionsChangeInStoreAndImage)
{
    ASSERT_TRUE(m_publisher->SetProgramActions(m_player, ACTION_DENY, ACTION_QUERY, ACTION_PASS, 1));
    const ProgramRule *rule = ImageRule(m_player);
    ASSERT_TRUE(rule);
    EXPECT_EQ(ACTION_DENY, rule->InetAction);
    EXPECT_EQ(ACTION_QUERY, rule->TnetAction);
    EXPECT_EQ(ACTION_PASS, rule->EmailAction);
    EXPECT_EQ(1, rule->LockKey);

    RuleRecord stored;
    m_publisher->RuleStore().GetRule(m_player, stored);
    EXPECT_EQ(ACTION_DENY, stored.InetAction);
    EXPECT_EQ(1, stored.LockKey);
}

TEST_F(CEditTest, SettingsWithoutPortRuleKeepTheOldPorts)
{
    ASSERT_TRUE(m_publisher->SetInternetSettings(m_browser, Ports(PORT_TYPE_LIST, {80, 443})));
    ASSERT_TRUE(m_publisher->SetInternetSettings(m_browser, Ports(PORT_TYPE_NONE, {})));
    const ProgramRule *rule = ImageRule(m_browser);
    ASSERT_TRUE(rule);
    EXPECT_EQ(PORT_TYPE_NONE, rule->PortType[ACL_INET]);
    EXPECT_EQ(80, rule->PortList[ACL_INET][0]);
    EXPECT_EQ(443, rule->PortList[ACL_INET][1]);
}

TEST_F(CEditTest, PortListReplacesTheWholeList)
{
    NetRuleSettings many = Ports(PORT_TYPE_LIST, {});
    for (int port = 0; port < ACL_PORT_COUNT; ++port)
        many.Ports[port] = WORD(9000 + port);
    ASSERT_TRUE(m_publisher->SetInternetSettings(m_browser, many));
    NetRuleSettings two = Ports(PORT_TYPE_LIST, {80, 443});
    ASSERT_TRUE(m_publisher->SetInternetSettings(m_browser, two));

    const ProgramRule *rule = ImageRule(m_browser);
    ASSERT_TRUE(rule);
    EXPECT_EQ(ACTION_DENY, rule->AdvAction[ACL_INET]);
    EXPECT_EQ(1, rule->TcpAccess[ACL_INET]);
    EXPECT_EQ(0, rule->UdpAccess[ACL_INET]);
    EXPECT_EQ(0, rule->TcpServer[ACL_INET]);
    EXPECT_EQ(1, rule->UdpServer[ACL_INET]);
    EXPECT_EQ(PORT_TYPE_LIST, rule->PortType[ACL_INET]);
    EXPECT_EQ(4, rule->TimeID[ACL_INET]);
    EXPECT_EQ(80, rule->PortList[ACL_INET][0]);
    EXPECT_EQ(443, rule->PortList[ACL_INET][1]);
    EXPECT_TRUE(IsZero(&rule->PortList[ACL_INET][2], 18 * sizeof(WORD)));

    // The trusted half keeps the stored defaults.
    EXPECT_EQ(ACTION_DENY, rule->AdvAction[ACL_TNET]);
    EXPECT_EQ(1, rule->UdpAccess[ACL_TNET]);
    EXPECT_EQ(1, rule->TimeID[ACL_TNET]);
    EXPECT_EQ(PORT_TYPE_NONE, rule->PortType[ACL_TNET]);

    NetRuleSettings stored;
    ASSERT_TRUE(m_publisher->RuleStore().GetInetSettings(m_browser, stored));
    two.ID = m_browser;
    EXPECT_TRUE(stored == two);
}

TEST_F(CEditTest, TrustedSettingsChangeOnlyTheTrustedHalf)
{
    std::vector<BYTE> before = Snapshot(*m_publisher);
    ASSERT_TRUE(m_publisher->SetTrustedSettings(m_player, Ports(PORT_TYPE_RANGE, {1000, 2000})));
    const ProgramRule *rule = ImageRule(m_player);
    ASSERT_TRUE(rule);
    EXPECT_EQ(PORT_TYPE_RANGE, rule->PortType[ACL_TNET]);
    EXPECT_EQ(1000, rule->PortList[ACL_TNET][0]);
    EXPECT_EQ(2000, rule->PortList[ACL_TNET][1]);
    EXPECT_EQ(4, rule->TimeID[ACL_TNET]);
    EXPECT_EQ(0, rule->UdpAccess[ACL_TNET]);
    EXPECT_EQ(1, rule->UdpAccess[ACL_INET]);
    EXPECT_EQ(1, rule->TimeID[ACL_INET]);

    NetRuleSettings stored;
    ASSERT_TRUE(m_publisher->RuleStore().GetTnetSettings(m_player, stored));
    EXPECT_EQ(PORT_TYPE_RANGE, stored.PortType);
    EXPECT_EQ(2000, stored.Ports[1]);
}

// Each edit with a store that refuses it: the edit fails and not one byte of
// the image changes.
struct RefusedEdit {
    const char *name;
    const char *database; // "zones" or "rules"
    const char *brokenTable; // none: the edit itself breaks a unique key
    std::function<BOOL(CAclPublisher &, const CEditTest &)> edit;
};

class CRefusedEditTest : public CEditTest, public ::testing::WithParamInterface<RefusedEdit> {
public:
    DWORD First() const { return m_first; }
    DWORD Browser() const { return m_browser; }
};

TEST_P(CRefusedEditTest, LeavesTheImageUnchanged)
{
    const RefusedEdit &edit = GetParam();
    if (edit.brokenTable)
        BreakTable(std::string(edit.database) == "zones" ? FirewallPath() : RulesPath(),
                   edit.brokenTable);
    std::vector<BYTE> before = Snapshot(*m_publisher);
    EXPECT_FALSE(edit.edit(*m_publisher, *this));
    EXPECT_EQ(before, Snapshot(*m_publisher));
}

const CRefusedEditTest &Fixture(const CEditTest &test)
{
    return static_cast<const CRefusedEditTest &>(test);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, CRefusedEditTest,
    ::testing::Values(
        RefusedEdit{"AddZoneWithNameInUse", "zones", nullptr,
                    [](CAclPublisher &p, const CEditTest &) {
                        return BOOL(p.AddZoneEntry(FALSE, Zone("First", 0, 9, 0, "")) != 0);
                    }},
        RefusedEdit{"AddBlockedZone", "zones", "BnetZone",
                    [](CAclPublisher &p, const CEditTest &) {
                        return BOOL(p.AddZoneEntry(TRUE, Zone("Other", 0, 9, 0, "")) != 0);
                    }},
        RefusedEdit{"DeleteZone", "zones", "TnetZone",
                    [](CAclPublisher &p, const CEditTest &t) {
                        return p.DeleteZoneEntry(FALSE, Fixture(t).First());
                    }},
        RefusedEdit{"ModifyZoneToNameInUse", "zones", nullptr,
                    [](CAclPublisher &p, const CEditTest &t) {
                        return p.ModifyZoneEntry(FALSE, Fixture(t).First(),
                                                 Zone("Third", 0, 9, 0, ""));
                    }},
        RefusedEdit{"AddProgramWithPathInUse", "rules", nullptr,
                    [](CAclPublisher &p, const CEditTest &) {
                        return BOOL(p.AddProgram("C:\\Apps\\Browser.exe", 0, 0, 2, 2) != 0);
                    }},
        RefusedEdit{"DeleteProgram", "rules", "ProgramsRule",
                    [](CAclPublisher &p, const CEditTest &t) {
                        return p.DeleteProgram(Fixture(t).Browser());
                    }},
        RefusedEdit{"ProgramActions", "rules", "ProgramsRule",
                    [](CAclPublisher &p, const CEditTest &t) {
                        return p.SetProgramActions(Fixture(t).Browser(), 2, 2, 2, 1);
                    }},
        RefusedEdit{"LockKey", "rules", "ProgramsRule",
                    [](CAclPublisher &p, const CEditTest &t) {
                        return p.SetProgramActions(Fixture(t).Browser(), 0, 0, 2, 2);
                    }},
        RefusedEdit{"InternetSettings", "rules", "ProgramsRule",
                    [](CAclPublisher &p, const CEditTest &t) {
                        return p.SetInternetSettings(Fixture(t).Browser(), Ports(2, {25}));
                    }},
        RefusedEdit{"TrustedSettings", "rules", "ProgramsRule",
                    [](CAclPublisher &p, const CEditTest &t) {
                        return p.SetTrustedSettings(Fixture(t).Browser(), Ports(2, {25}));
                    }},
        RefusedEdit{"TimeSchedule", "rules", "Times",
                    [](CAclPublisher &p, const CEditTest &) {
                        return p.SetTimeRule(2, 0x40, CTime(2026, 3, 2, 9, 0, 0),
                                             CTime(2026, 3, 2, 10, 0, 0), "");
                    }}),
    [](const ::testing::TestParamInfo<RefusedEdit> &info) { return info.param.name; });

// While another writer holds the image, an edit has changed the store and
// waits; the image changes only once the writer lets go.
struct HeldEdit {
    const char *name;
    bool zones; // the edit's database: Firewall.dat, else ProgramsRule.dat
    std::function<BOOL(CAclPublisher &)> edit;
    const char *query; // shows the stored change as "1"
};

class CHeldWriterTest : public CEditTest, public ::testing::WithParamInterface<HeldEdit> {
};

TEST_P(CHeldWriterTest, StoreChangesBeforeTheImage)
{
    const HeldEdit &held = GetParam();
    CAclGate other(m_publisher->GetHeader());
    other.LockForWrite();
    std::vector<BYTE> before = Snapshot(*m_publisher);

    BOOL result = FALSE;
    std::thread editor([&] { result = held.edit(*m_publisher); });
    CRawConnection raw(held.zones ? FirewallPath() : RulesPath());
    bool stored = false;
    for (int look = 0; look < 600 && !stored; ++look) {
        Sleep(50);
        stored = raw.Scalar(held.query) == "1";
    }
    EXPECT_TRUE(stored);
    EXPECT_EQ(before, Snapshot(*m_publisher));
    other.Unlock();
    editor.join();
    EXPECT_TRUE(result);
    EXPECT_NE(before, Snapshot(*m_publisher));
}

INSTANTIATE_TEST_SUITE_P(
    Edits, CHeldWriterTest,
    ::testing::Values(
        HeldEdit{"AddZone", true,
                 [](CAclPublisher &p) {
                     return BOOL(p.AddZoneEntry(TRUE, Zone("Held", 0, 9, 0, "")) != 0);
                 },
                 "select count(*) from BnetZone where Name='Held';"},
        HeldEdit{"ProgramActions", false,
                 [](CAclPublisher &p) {
                     return p.SetProgramActions(2, ACTION_DENY, ACTION_DENY, ACTION_DENY, 1);
                 },
                 "select LockKey from ProgramsRule where ID=2;"}),
    [](const ::testing::TestParamInfo<HeldEdit> &info) { return info.param.name; });

TEST_F(CPublisherFixture, WithoutAnImageEditsFailAfterTheStore)
{
    UseShippedDatabases();
    NetvaneFailCode(IOCTL_NETVANE_CREATE_BLOCK, ERROR_NOT_ENOUGH_MEMORY);
    m_publisher = new CAclPublisher;
    m_publisher->SetSpiIoControl(RecordingSpiIoControl);
    ASSERT_FALSE(m_publisher->Build());
    ASSERT_EQ(nullptr, m_publisher->GetHeader());

    EXPECT_EQ(0u, m_publisher->AddZoneEntry(FALSE, Zone("Kept", 0, 1, 0, "")));
    EXPECT_FALSE(m_publisher->SetTimeRule(2, 0x40, CTime(2026, 3, 2, 9, 0, 0),
                                          CTime(2026, 3, 2, 10, 0, 0), ""));
    CRawConnection raw(FirewallPath());
    EXPECT_EQ("1", raw.Scalar("select count(*) from TnetZone where Name='Kept';"));
}

TEST_F(CEditTest, HostAddressFindsItsEntryAfterEntriesMoved)
{
    std::vector<ZoneHostEntry> hosts;
    m_publisher->GetHostEntries(FALSE, hosts);
    ASSERT_EQ(1u, hosts.size());
    EXPECT_EQ(m_second, hosts[0].ID);
    EXPECT_STREQ("second.example", hosts[0].Site);

    // The host-name entry moves down a slot between the look-up and the store.
    ASSERT_TRUE(m_publisher->DeleteZoneEntry(FALSE, m_first));
    EXPECT_TRUE(m_publisher->StoreHostAddress(FALSE, m_second, "second.example", 0x7F000001));
    std::vector<ZoneEntry> trusted = ZoneEntries(*m_publisher, FALSE);
    ASSERT_EQ(2u, trusted.size());
    EXPECT_EQ(0x7F000001u, trusted[0].IP1);
    EXPECT_EQ(0x7F000001u, trusted[0].IP2);
    EXPECT_EQ(0x0A000010u, trusted[1].IP1);
    EXPECT_EQ(0x0A000020u, trusted[1].IP2);

    // An entry renamed meanwhile, or one of another kind or list, is left alone.
    ASSERT_TRUE(m_publisher->ModifyZoneEntry(
        FALSE, m_second, Zone("Second", ZONE_ENTRY_HOST, 0, 0, "other.example")));
    EXPECT_FALSE(m_publisher->StoreHostAddress(FALSE, m_second, "second.example", 0x7F000002));
    EXPECT_FALSE(m_publisher->StoreHostAddress(FALSE, m_third, "", 0x7F000002));
    EXPECT_FALSE(m_publisher->StoreHostAddress(TRUE, m_second, "other.example", 0x7F000002));
    trusted = ZoneEntries(*m_publisher, FALSE);
    EXPECT_EQ(0u, trusted[0].IP1);
    EXPECT_EQ(0x0A000010u, trusted[1].IP1);
}
