// The two rule databases as the build lays them into the program folder.
#include "FirewallLib.h"
#include "ProgramsRuleLib.h"
#include "StoreFolder.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(ShippedFirewallDatabase, OpensInNormalModeWithoutZoneEntries)
{
    CStoreFolder folder;
    const std::string path = folder.CopyShipped("Firewall.dat");
    CFirewallLib store;
    ASSERT_TRUE(store.Open(path.c_str()));

    EXPECT_STREQ("1", store.GetConfig("WorkMode"));
    EXPECT_STREQ("1", store.GetConfig("InetLevel"));
    EXPECT_STREQ("1", store.GetConfig("TnetLevel"));
    for (BOOL blocked : {FALSE, TRUE})
    {
        std::vector<ZoneRecord> zones(1);
        store.LoadZones(zones, blocked);
        EXPECT_TRUE(zones.empty());
        ZoneRecord zone;
        zone.Name = "first";
        EXPECT_EQ(1u, store.AddZone(zone, blocked));
    }
    EXPECT_EQ(0u, folder.DatabaseErrorLines());
}

TEST(ShippedRuleDatabase, HoldsSevenSchedulesAndNoRules)
{
    CStoreFolder folder;
    const std::string path = folder.CopyShipped("ProgramsRule.dat");
    CProgramsRuleLib store;
    ASSERT_TRUE(store.Open(path.c_str()));

    EXPECT_STREQ("1", store.GetConfig("ProgramLevel"));
    std::vector<RuleRecord> rules(1);
    store.LoadRules(rules);
    EXPECT_TRUE(rules.empty());

    std::vector<TimeRecord> times;
    store.LoadTimes(times);
    ASSERT_EQ(7u, times.size());
    for (DWORD i = 0; i < times.size(); i++)
    {
        SCOPED_TRACE(static_cast<LPCTSTR>(times[i].Description));
        EXPECT_EQ(i + 1, times[i].ID);
        EXPECT_FALSE(times[i].Description.IsEmpty());
        EXPECT_EQ(times[i].StartTime, times[i].EndTime) << "every shipped schedule spans the whole day";
        EXPECT_NE(0, times[i].WeekDay & 0xFE) << "some day is marked";
    }
    EXPECT_EQ(0xFE, times[0].WeekDay) << "schedule 1, every rule's default, is every day";
}

TEST(ShippedRuleDatabase, NewRecordsStartAfterTheShippedOnes)
{
    CStoreFolder folder;
    const std::string path = folder.CopyShipped("ProgramsRule.dat");
    CProgramsRuleLib store;
    ASSERT_TRUE(store.Open(path.c_str()));

    const DWORD id = store.AddRule("C:\\Program Files\\Browser\\browser.exe", 1, 1, 1, 0);
    EXPECT_EQ(1u, id);
    NetRuleSettings settings;
    ASSERT_TRUE(store.GetInetSettings(id, settings));
    EXPECT_EQ(1, settings.TimeID);
    TimeRecord schedule;
    EXPECT_TRUE(store.GetTime(settings.TimeID, schedule)) << "the default schedule exists";
    EXPECT_EQ(8u, store.AddTime("Eighth", 0x40, 0, 0));
    EXPECT_EQ(0u, folder.DatabaseErrorLines());
}

} // namespace
