#include "FirewallLib.h"
#include "StoreFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class ZoneStoreTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = m_folder.File("Firewall.dat");
        ASSERT_TRUE(m_store.Create(m_path.c_str()));
    }

    static ZoneRecord Zone(const char *name, BYTE type, DWORD ip1, DWORD ip2, const char *site)
    {
        ZoneRecord zone;
        zone.Name = name;
        zone.Type = type;
        zone.IP1 = ip1;
        zone.IP2 = ip2;
        zone.Site = site;
        return zone;
    }

    static void ExpectSameZone(const ZoneRecord &expected, const ZoneRecord &actual)
    {
        EXPECT_STREQ(expected.Name, actual.Name);
        EXPECT_EQ(expected.Type, actual.Type);
        EXPECT_EQ(expected.IP1, actual.IP1);
        EXPECT_EQ(expected.IP2, actual.IP2);
        EXPECT_STREQ(expected.Site, actual.Site);
    }

    CStoreFolder m_folder;
    std::string m_path;
    CFirewallLib m_store;
};

TEST_F(ZoneStoreTest, EveryEntryTypeReadsBackAsStored)
{
    const ZoneRecord zones[] = {
        Zone("O'Neil's PC", ZONE_ENTRY_ADDRESS, 0xC0A80001, 0, ""),
        Zone("Office range", ZONE_ENTRY_RANGE, 0x0A000001, 0x0A0000FE, ""),
        Zone("Broadcast", ZONE_ENTRY_SUBNET, 0xFFFFFFFF, 0xFFFFFF00, ""),
        Zone("Mail host", ZONE_ENTRY_HOST, 0, 0, "mail.o'neil.example"),
    };
    for (const ZoneRecord &zone : zones)
        EXPECT_NE(0u, m_store.AddZone(zone, FALSE)) << zone.Name;

    std::vector<ZoneRecord> loaded;
    m_store.LoadZones(loaded, FALSE);
    ASSERT_EQ(4u, loaded.size());
    for (size_t i = 0; i < loaded.size(); i++)
    {
        SCOPED_TRACE(static_cast<LPCTSTR>(zones[i].Name));
        EXPECT_EQ(i + 1, loaded[i].ID);
        ExpectSameZone(zones[i], loaded[i]);

        ZoneRecord single;
        ASSERT_TRUE(m_store.GetZone(loaded[i].ID, single, FALSE));
        EXPECT_EQ(loaded[i].ID, single.ID);
        ExpectSameZone(zones[i], single);
    }
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
}

TEST_F(ZoneStoreTest, AddressesAreStoredAsSignedNumbers)
{
    ASSERT_EQ(1u, m_store.AddZone(Zone("all ones", ZONE_ENTRY_RANGE, 0xFFFFFFFF, 0xC0A80001, ""), TRUE));

    CRawConnection raw(m_path);
    EXPECT_EQ("-1", raw.Scalar("select IP1 from BnetZone where ID=1;"));
    EXPECT_EQ("-1062731775", raw.Scalar("select IP2 from BnetZone where ID=1;"));
}

TEST_F(ZoneStoreTest, ApostrophesAreKeptThroughAnUpdate)
{
    const DWORD id = m_store.AddZone(Zone("plain", ZONE_ENTRY_HOST, 0, 0, "a.example"), FALSE);
    ASSERT_NE(0u, id);
    const ZoneRecord changed = Zone("O'Neil's PC", ZONE_ENTRY_HOST, 0, 0, "x'); delete from TnetZone;--");
    ASSERT_TRUE(m_store.UpdateZone(id, changed, FALSE));

    ZoneRecord read;
    ASSERT_TRUE(m_store.GetZone(id, read, FALSE));
    ExpectSameZone(changed, read);
    EXPECT_STREQ("O'Neil's PC", changed.Name) << "the caller's record is not changed";
}

TEST_F(ZoneStoreTest, TheTwoZonesCountTheirIdsApart)
{
    EXPECT_EQ(1u, m_store.AddZone(Zone("home", ZONE_ENTRY_ADDRESS, 1, 0, ""), FALSE));
    EXPECT_EQ(2u, m_store.AddZone(Zone("work", ZONE_ENTRY_ADDRESS, 2, 0, ""), FALSE));
    EXPECT_EQ(1u, m_store.AddZone(Zone("home", ZONE_ENTRY_ADDRESS, 3, 0, ""), TRUE))
        << "a name of the trusted zone may stand in the blocked zone too";

    ZoneRecord untouched = Zone("caller's", ZONE_ENTRY_HOST, 7, 8, "site");
    EXPECT_FALSE(m_store.GetZone(2, untouched, TRUE)) << "ID 2 exists in the trusted zone only";
    EXPECT_EQ(0u, untouched.ID);
    EXPECT_STREQ("caller's", untouched.Name);
    EXPECT_EQ(7u, untouched.IP1);
}

TEST_F(ZoneStoreTest, ANameUsedTwiceInOneZoneIsRefused)
{
    ASSERT_EQ(1u, m_store.AddZone(Zone("home", ZONE_ENTRY_ADDRESS, 1, 0, ""), FALSE));
    ASSERT_EQ(2u, m_store.AddZone(Zone("work", ZONE_ENTRY_ADDRESS, 2, 0, ""), FALSE));

    EXPECT_EQ(0u, m_store.AddZone(Zone("home", ZONE_ENTRY_ADDRESS, 9, 0, ""), FALSE));
    EXPECT_EQ(1u, m_folder.DatabaseErrorLines());
    EXPECT_FALSE(m_store.UpdateZone(2, Zone("home", ZONE_ENTRY_ADDRESS, 9, 0, ""), FALSE));
    EXPECT_EQ(2u, m_folder.DatabaseErrorLines());

    std::vector<ZoneRecord> loaded;
    m_store.LoadZones(loaded, FALSE);
    ASSERT_EQ(2u, loaded.size());
    EXPECT_EQ(1u, loaded[0].IP1);
    EXPECT_STREQ("work", loaded[1].Name);
    EXPECT_EQ(3u, m_store.AddZone(Zone("lab", ZONE_ENTRY_ADDRESS, 3, 0, ""), FALSE))
        << "the refused entry used up no ID";
}

TEST_F(ZoneStoreTest, ChangesToAMissingIdSucceedWithoutEffect)
{
    ASSERT_EQ(1u, m_store.AddZone(Zone("home", ZONE_ENTRY_ADDRESS, 1, 0, ""), FALSE));
    EXPECT_TRUE(m_store.DeleteZone(5, FALSE));
    EXPECT_TRUE(m_store.UpdateZone(5, Zone("other", ZONE_ENTRY_ADDRESS, 2, 0, ""), FALSE));
    EXPECT_TRUE(m_store.DeleteZone(1, TRUE)) << "ID 1 of the trusted zone is not in the blocked zone";

    std::vector<ZoneRecord> loaded;
    m_store.LoadZones(loaded, FALSE);
    ASSERT_EQ(1u, loaded.size());
    EXPECT_STREQ("home", loaded[0].Name);
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
}

TEST_F(ZoneStoreTest, ADeletedIdIsNotHandedOutAgain)
{
    ASSERT_EQ(1u, m_store.AddZone(Zone("home", ZONE_ENTRY_ADDRESS, 1, 0, ""), TRUE));
    ASSERT_TRUE(m_store.DeleteZone(1, TRUE));
    std::vector<ZoneRecord> loaded;
    m_store.LoadZones(loaded, TRUE);
    EXPECT_TRUE(loaded.empty());
    EXPECT_EQ(2u, m_store.AddZone(Zone("home", ZONE_ENTRY_ADDRESS, 1, 0, ""), TRUE));
}

TEST_F(ZoneStoreTest, ConfigurationKeys)
{
    EXPECT_EQ(1, m_store.GetWorkMode());
    EXPECT_STREQ("1", m_store.GetConfig("InetLevel"));
    EXPECT_STREQ("1", m_store.GetConfig("TnetLevel"));

    EXPECT_TRUE(m_store.SetWorkMode(2));
    EXPECT_TRUE(m_store.SetInetLevel(0));
    EXPECT_TRUE(m_store.SetTnetLevel(2));
    EXPECT_EQ(2, m_store.GetWorkMode());
    EXPECT_STREQ("2", m_store.GetConfig("WorkMode"));
    EXPECT_STREQ("0", m_store.GetConfig("InetLevel"));
    EXPECT_STREQ("2", m_store.GetConfig("TnetLevel"));

    EXPECT_TRUE(m_store.SetWorkMode(0));
    EXPECT_EQ(0, m_store.GetWorkMode()) << "a stored 0 switches filtering off";

    EXPECT_TRUE(m_store.SetConfig("NoSuchKey", "5")) << "a key without a row changes nothing";
    EXPECT_STREQ("", m_store.GetConfig("NoSuchKey"));
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
}

TEST_F(ZoneStoreTest, AWorkModeThatCannotBeReadIsNormal)
{
    CRawConnection raw(m_path);
    ASSERT_EQ(SQLITE_OK, raw.Run("delete from Config where Key='WorkMode';"));
    EXPECT_EQ(1, m_store.GetWorkMode());
}

TEST_F(ZoneStoreTest, ANullFieldReadsAsEmpty)
{
    {
        CRawConnection raw(m_path);
        ASSERT_EQ(SQLITE_OK, raw.Run("insert into TnetZone(ID,Name,Type,IP1,IP2,Site) "
                                     "values(1,NULL,NULL,NULL,NULL,NULL);"));
    }
    std::vector<ZoneRecord> loaded;
    m_store.LoadZones(loaded, FALSE);
    ASSERT_EQ(1u, loaded.size());
    EXPECT_EQ(1u, loaded[0].ID);
    EXPECT_STREQ("", loaded[0].Name);
    EXPECT_EQ(0u, loaded[0].IP1);
    EXPECT_STREQ("", loaded[0].Site);
}

// The rule database must be the one that ships: the console never makes it.
class ZoneStoreOpenTest : public testing::Test
{
protected:
    CStoreFolder m_folder;
    CFirewallLib m_store;
};

TEST_F(ZoneStoreOpenTest, AMissingFileDoesNotOpenAndIsNotMade)
{
    EXPECT_FALSE(m_store.Open(m_folder.File("Firewall.dat").c_str()));
    EXPECT_FALSE(m_folder.Exists("Firewall.dat"));
    std::vector<ZoneRecord> loaded(1);
    m_store.LoadZones(loaded, FALSE);
    EXPECT_TRUE(loaded.empty());
}

TEST_F(ZoneStoreOpenTest, AFileWithoutTheTablesDoesNotOpen)
{
    const std::string path = m_folder.File("Firewall.dat");
    {
        CRawConnection raw(path);
        ASSERT_EQ(SQLITE_OK, raw.Run("create table TnetZone(ID long PRIMARY KEY);"));
    }
    EXPECT_FALSE(m_store.Open(path.c_str()));
    EXPECT_EQ(1, m_store.GetWorkMode());
}

TEST_F(ZoneStoreOpenTest, AFileThatIsNotADatabaseDoesNotOpen)
{
    const std::string path = m_folder.WriteFile("Firewall.dat", std::string(4096, 'x'));
    EXPECT_FALSE(m_store.Open(path.c_str()));
    EXPECT_EQ(1u, m_folder.DatabaseErrorLines());
    EXPECT_TRUE(m_folder.Exists("Firewall.dat")) << "the user's file is left alone";
}

TEST_F(ZoneStoreOpenTest, AFileMadeByCreateOpens)
{
    const std::string path = m_folder.File("Firewall.dat");
    {
        CFirewallLib maker;
        ASSERT_TRUE(maker.Create(path.c_str()));
        ZoneRecord zone;
        zone.Name = "kept";
        ASSERT_EQ(1u, maker.AddZone(zone, TRUE));
        EXPECT_FALSE(CFirewallLib().Create(path.c_str())) << "an existing file is never made anew";
    }
    ASSERT_TRUE(m_store.Open(path.c_str()));
    std::vector<ZoneRecord> loaded;
    m_store.LoadZones(loaded, TRUE);
    ASSERT_EQ(1u, loaded.size());
    EXPECT_STREQ("kept", loaded[0].Name);
}

} // namespace
