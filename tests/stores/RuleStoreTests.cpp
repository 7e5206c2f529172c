#include "ProgramsRuleLib.h"
#include "StoreFolder.h"

#include <gtest/gtest.h>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace {

class RuleStoreTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = m_folder.File("ProgramsRule.dat");
        ASSERT_TRUE(m_store.Create(m_path.c_str()));
    }

    std::string Column(DWORD id, const char *column)
    {
        CRawConnection raw(m_path);
        return raw.Scalar(("select " + std::string(column) + " from ProgramsRule where ID=" +
                           std::to_string(id) + ";").c_str());
    }

    CStoreFolder m_folder;
    std::string m_path;
    CProgramsRuleLib m_store;
};

TEST_F(RuleStoreTest, ARuleKeepsItsActionsAndLockKey)
{
    const time_t before = time(nullptr);
    const DWORD id = m_store.AddRule("C:\\Users\\O'Brien\\app.exe", 0, 1, 2, 2);
    const time_t after = time(nullptr);
    ASSERT_EQ(1u, id);

    RuleRecord rule;
    m_store.GetRule(id, rule);
    EXPECT_EQ(id, rule.ID);
    EXPECT_STREQ("C:\\Users\\O'Brien\\app.exe", rule.Path);
    EXPECT_EQ(0, rule.InetAction);
    EXPECT_EQ(1, rule.TnetAction);
    EXPECT_EQ(2, rule.EmailAction);
    EXPECT_EQ(2, rule.LockKey) << "the lock key of a rule added by the query pop-up";

    const long recorded = std::stol(Column(id, "RecordedTime"));
    EXPECT_GE(recorded, before);
    EXPECT_LE(recorded, after);
    EXPECT_STREQ("C:\\Users\\O'Brien\\app.exe", m_store.GetRulePath(id));
}

TEST_F(RuleStoreTest, LoadRulesListsEveryRuleInOrder)
{
    ASSERT_EQ(1u, m_store.AddRule("a.exe", 0, 0, 1, 0));
    ASSERT_EQ(2u, m_store.AddRule("b.exe", 2, 2, 2, 1));
    ASSERT_EQ(3u, m_store.AddRule("c.exe", 1, 0, 1, 0));
    ASSERT_TRUE(m_store.DeleteRule(2));
    ASSERT_TRUE(m_store.UpdateRuleActions(3, 2, 1, 0, 2));

    std::vector<RuleRecord> rules(5);
    m_store.LoadRules(rules);
    ASSERT_EQ(2u, rules.size());
    EXPECT_EQ(1u, rules[0].ID);
    EXPECT_STREQ("a.exe", rules[0].Path);
    EXPECT_EQ(3u, rules[1].ID);
    EXPECT_EQ(2, rules[1].InetAction);
    EXPECT_EQ(1, rules[1].TnetAction);
    EXPECT_EQ(0, rules[1].EmailAction);
    EXPECT_EQ(2, rules[1].LockKey);
    EXPECT_EQ(0u, rules[1].RecordedTime) << "reads leave the counters and times at 0";
    EXPECT_EQ(4u, m_store.AddRule("d.exe", 0, 0, 0, 0)) << "the deleted ID is not handed out again";
}

TEST_F(RuleStoreTest, ASecondRuleForAPathIsRefused)
{
    ASSERT_EQ(1u, m_store.AddRule("same.exe", 0, 0, 1, 0));
    EXPECT_EQ(0u, m_store.AddRule("same.exe", 2, 2, 2, 0));
    EXPECT_EQ(1u, m_folder.DatabaseErrorLines());
    CRawConnection raw(m_path);
    EXPECT_EQ("1", raw.Scalar("select maxID from system where tablename='ProgramsRule';"));
}

TEST_F(RuleStoreTest, FindRuleGivesTheIdOfAPathAsTheTableKeepsIt)
{
    ASSERT_EQ(1u, m_store.AddRule("C:\\Users\\O'Brien\\app.exe", 0, 0, 1, 0));
    ASSERT_EQ(2u, m_store.AddRule("C:\\Apps\\tool.exe", 0, 0, 1, 0));
    const struct {
        const char *path;
        DWORD id;
    } cases[] = {
        {"C:\\Users\\O'Brien\\app.exe", 1},
        {"C:\\Apps\\tool.exe", 2},
        {"C:\\Apps\\tool.ex", 0},
        {"", 0},
        {"' or ''='", 0},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.id, m_store.FindRule(c.path)) << c.path;
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
}

TEST_F(RuleStoreTest, MissingRulesLeaveTheCallersRecord)
{
    RuleRecord rule;
    rule.ID = 77;
    rule.Path = "caller's";
    rule.LockKey = 9;
    m_store.GetRule(5, rule);
    EXPECT_EQ(77u, rule.ID);
    EXPECT_STREQ("caller's", rule.Path);
    EXPECT_EQ(9, rule.LockKey);
    EXPECT_STREQ("", m_store.GetRulePath(5));
    EXPECT_TRUE(m_store.DeleteRule(5));
    EXPECT_TRUE(m_store.UpdateRuleActions(5, 0, 0, 0, 0));
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
}

TEST_F(RuleStoreTest, ANewRuleHasTheDefaultAdvancedSettings)
{
    const DWORD id = m_store.AddRule("new.exe", 1, 1, 1, 0);
    for (bool inet : {true, false})
    {
        SCOPED_TRACE(inet ? "Internet zone" : "trusted zone");
        NetRuleSettings settings;
        settings.Ports[3] = 99;
        ASSERT_TRUE(inet ? m_store.GetInetSettings(id, settings) : m_store.GetTnetSettings(id, settings));
        EXPECT_EQ(id, settings.ID);
        EXPECT_EQ(2, settings.AdvAction);
        EXPECT_EQ(1, settings.TcpAccess);
        EXPECT_EQ(1, settings.TcpServer);
        EXPECT_EQ(1, settings.UdpAccess);
        EXPECT_EQ(1, settings.UdpServer);
        EXPECT_EQ(PORT_RULE_NONE, settings.PortType);
        EXPECT_EQ(1, settings.TimeID);
        EXPECT_STREQ("", settings.Memo);
        for (WORD port : settings.Ports)
            EXPECT_EQ(0, port);
    }
}

// Every field distinct, so that a swap of two columns shows.
NetRuleSettings DistinctSettings(BYTE first)
{
    NetRuleSettings settings;
    settings.AdvAction = first;
    settings.TcpAccess = first + 1;
    settings.UdpAccess = first + 2;
    settings.TcpServer = first + 3;
    settings.UdpServer = first + 4;
    settings.TimeID = first + 5;
    settings.PortType = PORT_RULE_LIST;
    settings.Ports[0] = 80;
    settings.Ports[1] = 443;
    settings.Ports[2] = first + 1000;
    settings.Memo = "it's the memo";
    return settings;
}

void ExpectSettings(const NetRuleSettings &expected, const NetRuleSettings &actual)
{
    EXPECT_EQ(expected.AdvAction, actual.AdvAction);
    EXPECT_EQ(expected.TcpAccess, actual.TcpAccess);
    EXPECT_EQ(expected.UdpAccess, actual.UdpAccess);
    EXPECT_EQ(expected.TcpServer, actual.TcpServer);
    EXPECT_EQ(expected.UdpServer, actual.UdpServer);
    EXPECT_EQ(expected.TimeID, actual.TimeID);
    EXPECT_EQ(expected.PortType, actual.PortType);
    for (int i = 0; i < NET_RULE_PORT_COUNT; i++)
        EXPECT_EQ(expected.Ports[i], actual.Ports[i]) << "port " << i;
    EXPECT_STREQ(expected.Memo, actual.Memo);
}

TEST_F(RuleStoreTest, EachZonesSettingsReadBackFieldByField)
{
    const DWORD id = m_store.AddRule("tuned.exe", 0, 0, 1, 0);
    const NetRuleSettings inet = DistinctSettings(10);
    const NetRuleSettings tnet = DistinctSettings(40);
    ASSERT_TRUE(m_store.SetInetSettings(id, inet));
    ASSERT_TRUE(m_store.SetTnetSettings(id, tnet));

    NetRuleSettings read;
    ASSERT_TRUE(m_store.GetInetSettings(id, read));
    EXPECT_EQ(id, read.ID);
    ExpectSettings(inet, read);
    ASSERT_TRUE(m_store.GetTnetSettings(id, read));
    ExpectSettings(tnet, read);

    EXPECT_EQ("11", Column(id, "InetTcpAccess"));
    EXPECT_EQ("13", Column(id, "InetTcpServer"));
    EXPECT_EQ("12", Column(id, "InetUdpAccess"));
    EXPECT_EQ("14", Column(id, "InetUdpServer"));
    EXPECT_EQ("10", Column(id, "InetAdvAction"));
    EXPECT_EQ("15", Column(id, "InetTimeID"));
    EXPECT_EQ("80\n443\n1010\n", Column(id, "InetPortList"));
    EXPECT_EQ("80\n443\n1040\n", Column(id, "TnetPortList"));
}

TEST_F(RuleStoreTest, LoadSettingsReadsEveryRulesSettingsOfTheZone)
{
    // The stored map is emptied first.
    std::map<DWORD, NetRuleSettings> loaded;
    loaded[999] = DistinctSettings(1);
    m_store.LoadSettings("Inet", loaded);
    EXPECT_TRUE(loaded.empty());

    std::vector<DWORD> ids;
    for (BYTE i = 0; i < 3; ++i) {
        const DWORD id = m_store.AddRule(("tool" + std::to_string(i) + ".exe").c_str(), 0, 0, 1, 0);
        ASSERT_TRUE(m_store.SetInetSettings(id, DistinctSettings(static_cast<BYTE>(10 + i * 50))));
        ASSERT_TRUE(m_store.SetTnetSettings(id, DistinctSettings(static_cast<BYTE>(30 + i * 50))));
        ids.push_back(id);
    }
    for (const char *zone : {"Inet", "Tnet"}) {
        m_store.LoadSettings(zone, loaded);
        ASSERT_EQ(ids.size(), loaded.size()) << zone;
        for (const DWORD id : ids) {
            ASSERT_EQ(1u, loaded.count(id)) << zone << " " << id;
            NetRuleSettings read;
            ASSERT_TRUE(std::string(zone) == "Inet" ? m_store.GetInetSettings(id, read)
                                                    : m_store.GetTnetSettings(id, read));
            EXPECT_EQ(id, loaded[id].ID);
            ExpectSettings(read, loaded[id]);
        }
    }
    // Each zone's own columns: the second rule's actions as stored.
    m_store.LoadSettings("Tnet", loaded);
    EXPECT_EQ(80, loaded[ids[1]].AdvAction);
    m_store.LoadSettings("Inet", loaded);
    EXPECT_EQ(60, loaded[ids[1]].AdvAction);
}

TEST_F(RuleStoreTest, SettingsWithoutAPortRuleStoreNoPorts)
{
    const DWORD id = m_store.AddRule("open.exe", 0, 0, 1, 0);
    NetRuleSettings settings = DistinctSettings(1);
    settings.PortType = PORT_RULE_NONE;
    ASSERT_TRUE(m_store.SetInetSettings(id, settings));
    EXPECT_EQ("", Column(id, "InetPortList"));

    NetRuleSettings read;
    ASSERT_TRUE(m_store.GetInetSettings(id, read));
    for (WORD port : read.Ports)
        EXPECT_EQ(0, port);
}

TEST_F(RuleStoreTest, SettingsOfAMissingRule)
{
    NetRuleSettings settings = DistinctSettings(1);
    settings.ID = 55;
    EXPECT_FALSE(m_store.GetInetSettings(3, settings));
    EXPECT_FALSE(m_store.GetTnetSettings(3, settings));
    EXPECT_EQ(55u, settings.ID);
    ExpectSettings(DistinctSettings(1), settings);
    EXPECT_TRUE(m_store.SetInetSettings(3, settings));
}

TEST_F(RuleStoreTest, ProgramLevel)
{
    EXPECT_STREQ("1", m_store.GetConfig("ProgramLevel"));
    EXPECT_TRUE(m_store.SetProgramLevel(2));
    EXPECT_STREQ("2", m_store.GetConfig("ProgramLevel"));
    EXPECT_TRUE(m_store.SetConfig("Missing", "x"));
    EXPECT_STREQ("", m_store.GetConfig("Missing"));
}

TEST_F(RuleStoreTest, TimeSchedules)
{
    ASSERT_EQ(1u, m_store.AddTime("Every day", 0xFE, 0, 0));
    ASSERT_EQ(2u, m_store.AddTime("Night's watch", 0x7C, 79200, 21600));
    EXPECT_EQ(0u, m_store.AddTime("Every day", 0x02, 1, 2)) << "descriptions are unique";

    TimeRecord changed;
    changed.WeekDay = 0x82;
    changed.StartTime = 0x80000000;
    changed.EndTime = 3600;
    changed.Memo = "O'Neil's";
    changed.Description = "not stored";
    ASSERT_TRUE(m_store.UpdateTime(2, changed));

    std::vector<TimeRecord> times;
    m_store.LoadTimes(times);
    ASSERT_EQ(2u, times.size());
    EXPECT_EQ(1u, times[0].ID);
    EXPECT_STREQ("Every day", times[0].Description);
    EXPECT_EQ(0xFE, times[0].WeekDay);
    EXPECT_EQ(2u, times[1].ID);
    EXPECT_STREQ("Night's watch", times[1].Description) << "an update keeps the description";
    EXPECT_EQ(0x82, times[1].WeekDay);
    EXPECT_EQ(0x80000000u, times[1].StartTime);
    EXPECT_EQ(3600u, times[1].EndTime);
    EXPECT_STREQ("", times[1].Memo) << "the list is read without memos";

    TimeRecord single;
    single.Description = "the caller's";
    ASSERT_TRUE(m_store.GetTime(2, single));
    EXPECT_EQ(2u, single.ID);
    EXPECT_EQ(0x82, single.WeekDay);
    EXPECT_EQ(0x80000000u, single.StartTime);
    EXPECT_EQ(3600u, single.EndTime);
    EXPECT_STREQ("O'Neil's", single.Memo);
    EXPECT_STREQ("the caller's", single.Description);

    TimeRecord missing;
    missing.ID = 42;
    EXPECT_FALSE(m_store.GetTime(9, missing));
    EXPECT_EQ(42u, missing.ID);
}

class RuleStoreOpenTest : public testing::Test
{
protected:
    CStoreFolder m_folder;
    CProgramsRuleLib m_store;
};

TEST_F(RuleStoreOpenTest, AMissingFileDoesNotOpenAndIsNotMade)
{
    EXPECT_FALSE(m_store.Open(m_folder.File("ProgramsRule.dat").c_str()));
    EXPECT_FALSE(m_folder.Exists("ProgramsRule.dat"));
    EXPECT_EQ(0u, m_store.AddRule("a.exe", 0, 0, 0, 0));
}

TEST_F(RuleStoreOpenTest, AFileWithoutTheTablesDoesNotOpen)
{
    const std::string path = m_folder.File("ProgramsRule.dat");
    {
        CRawConnection raw(path);
        ASSERT_EQ(SQLITE_OK, raw.Run("create table Config(Key char(30) PRIMARY KEY, Val char(50));"));
    }
    EXPECT_FALSE(m_store.Open(path.c_str()));
}

TEST_F(RuleStoreOpenTest, AFileThatIsNotADatabaseDoesNotOpen)
{
    const std::string path = m_folder.WriteFile("ProgramsRule.dat", std::string(2048, '\x5a'));
    EXPECT_FALSE(m_store.Open(path.c_str()));
    EXPECT_TRUE(m_folder.Exists("ProgramsRule.dat"));
}

} // namespace
