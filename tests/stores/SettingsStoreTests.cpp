#include "CRect.h"
#include "DataBase.h"
#include "StoreFolder.h"

#include <gtest/gtest.h>
#include <cstdlib>
#include <string>

namespace {

class SettingsStoreTest : public testing::Test
{
protected:
    void SetUp() override { m_path = m_folder.File("Config.dat"); }

    std::string Raw(const char *sql)
    {
        CRawConnection raw(m_path);
        return raw.Scalar(sql);
    }

    CStoreFolder m_folder;
    std::string m_path;
    CDataBase m_store;
};

TEST_F(SettingsStoreTest, AMissingFileIsMadeWithTheDefaults)
{
    ASSERT_TRUE(m_store.Open(m_path.c_str()));
    EXPECT_TRUE(m_folder.Exists("Config.dat"));
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());

    EXPECT_STREQ("Default", m_store.GetSkinName());
    EXPECT_EQ(132, m_store.GetMainFramTabID());
    CRect rect;
    EXPECT_TRUE(m_store.GetMainFramPos(rect));
    EXPECT_EQ(CRect(10, 20, 550, 600), rect);
    EXPECT_STREQ("", m_store.GetPassword());
    EXPECT_EQ(0, m_store.GetStartCount());
    EXPECT_EQ(1, m_store.GetEnableShowTips());
    for (const char *key : {"EnableAutoStart", "EnableAutoUpdate", "EnableSoundAlert", "EnableWndAlert"})
        EXPECT_STREQ("1", m_store.GetString(key, "Options")) << key;
    EXPECT_STREQ("327680", m_store.GetString("InMaxUint", "Options"));
    EXPECT_STREQ("327680", m_store.GetString("OutMaxUint", "Options"));
    EXPECT_STREQ("0", m_store.GetString("TipIndex", "Options"));
    EXPECT_STREQ("", m_store.GetString("PW", "Options"));
    EXPECT_EQ("14", Raw("select (select count(*) from UI_Config) + (select count(*) from Options);"));
}

TEST_F(SettingsStoreTest, SettingsOfAFirstStartAreKept)
{
    {
        CDataBase first;
        ASSERT_TRUE(first.Open(m_path.c_str()));
        ASSERT_TRUE(first.SetPassword("s3cret"));
        ASSERT_TRUE(first.SetUInt("StartCount", 1, "Options"));
    }
    EXPECT_FALSE(m_store.Open(m_path.c_str())) << "the file has its tips counter already";
    EXPECT_EQ(1u, m_folder.DatabaseErrorLines());
    const std::string line = ReadLogLines(m_folder.File("sqlite_err.log")).at(0);
    EXPECT_NE(std::string::npos, line.find(": 19:SQLITE_CONSTRAINT[19]")) << line;

    EXPECT_STREQ("s3cret", m_store.GetPassword());
    EXPECT_EQ(1, m_store.GetStartCount());
    EXPECT_TRUE(m_store.SetTipIndex(3)) << "the store goes on with the file";
}

TEST_F(SettingsStoreTest, AFileWithoutTheTipsRowGetsIt)
{
    {
        CDataBase maker;
        ASSERT_TRUE(maker.Open(m_path.c_str()));
        ASSERT_TRUE(maker.SetString("Skins", "Blue", "UI_Config"));
    }
    {
        CRawConnection raw(m_path);
        ASSERT_EQ(SQLITE_OK, raw.Run("delete from Options where Key='TipIndex';"));
    }
    EXPECT_TRUE(m_store.Open(m_path.c_str()));
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
    EXPECT_STREQ("0", m_store.GetString("TipIndex", "Options"));
    EXPECT_STREQ("Blue", m_store.GetSkinName());
}

TEST_F(SettingsStoreTest, AnEmptyDatabaseIsFilled)
{
    {
        CRawConnection raw(m_path);   // makes an empty file
    }
    ASSERT_TRUE(m_folder.Exists("Config.dat"));
    EXPECT_TRUE(m_store.Open(m_path.c_str()));
    EXPECT_EQ(132, m_store.GetMainFramTabID());
    m_store.SetMainFramTabID(134);
    EXPECT_EQ(134, m_store.GetMainFramTabID());
}

TEST_F(SettingsStoreTest, AFileThatIsNotADatabaseIsMovedAsideAndMadeAnew)
{
    const std::string garbage(3000, 'g');
    m_folder.WriteFile("Config.date", "an older damaged file");
    m_folder.WriteFile("Config.dat", garbage);

    EXPECT_TRUE(m_store.Open(m_path.c_str()));
    EXPECT_STREQ("Default", m_store.GetSkinName());
    EXPECT_TRUE(m_store.SetPassword("new"));
    EXPECT_STREQ("new", m_store.GetPassword());
    EXPECT_EQ(1u, m_folder.DatabaseErrorLines()) << "the failed open";

    EXPECT_EQ("an older damaged file", m_folder.ReadFile("Config.date")) << "the older damaged copy is kept";
    EXPECT_EQ(garbage, m_folder.ReadFile("Config.date2")) << "the user's bytes are kept beside it";
}

TEST_F(SettingsStoreTest, EveryDamagedCopyIsKept)
{
    const std::string damage[] = {std::string(3000, 'a'), std::string(3000, 'b'), std::string(3000, 'c')};
    for (const std::string &bytes : damage) {
        m_folder.WriteFile("Config.dat", bytes);
        CDataBase store;
        EXPECT_TRUE(store.Open(m_path.c_str()));
        EXPECT_TRUE(store.SetPassword("kept"));
    }
    EXPECT_EQ(damage[0], m_folder.ReadFile("Config.date"));
    EXPECT_EQ(damage[1], m_folder.ReadFile("Config.date2"));
    EXPECT_EQ(damage[2], m_folder.ReadFile("Config.date3"));
}

TEST_F(SettingsStoreTest, AFileThatCanBeNeitherReadNorMovedLeavesTheStoreClosed)
{
    m_folder.WriteFile("Config.dat", std::string(3000, 'g'));
    HANDLE held = CreateFileA(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    EXPECT_FALSE(m_store.Open(m_path.c_str()));
    EXPECT_FALSE(m_folder.Exists("Config.date"));
    const size_t linesAfterOpen = m_folder.DatabaseErrorLines();
    EXPECT_STREQ("", m_store.GetPassword());
    EXPECT_FALSE(m_store.SetPassword("x"));
    EXPECT_STREQ("Default", m_store.GetSkinName());
    EXPECT_EQ(linesAfterOpen + 3, m_folder.DatabaseErrorLines()) << "each refused operation is logged";
    CloseHandle(held);
}

TEST_F(SettingsStoreTest, ValuesAreStoredExactly)
{
    ASSERT_TRUE(m_store.Open(m_path.c_str()));
    ASSERT_TRUE(m_store.SetPassword("x' --"));
    EXPECT_STREQ("x' --", m_store.GetPassword());
    EXPECT_STREQ("Default", m_store.GetSkinName()) << "no other row changed";

    ASSERT_TRUE(m_store.SetUInt("InMaxUint", 4294967295u, "Options"));
    EXPECT_EQ("-1", Raw("select Val from Options where Key='InMaxUint';"));
    EXPECT_STREQ("-1", m_store.GetString("InMaxUint", "Options"));
    EXPECT_EQ(4294967295u, static_cast<UINT>(atol(m_store.GetString("InMaxUint", "Options"))));

    ASSERT_TRUE(m_store.SetOutMaxUint(65536));
    EXPECT_STREQ("65536", m_store.GetString("OutMaxUint", "Options"));
    ASSERT_TRUE(m_store.SetInMaxUint(0x80000000u));
    EXPECT_STREQ("-2147483648", m_store.GetString("InMaxUint", "Options"));
    ASSERT_TRUE(m_store.SetEnableShowTips(0));
    EXPECT_EQ(0, m_store.GetEnableShowTips());
    ASSERT_TRUE(m_store.SetTipIndex(7));
    EXPECT_STREQ("7", m_store.GetString("TipIndex", "Options"));

    EXPECT_TRUE(m_store.SetString("NoSuchKey", "v", "Options")) << "a key without a row changes nothing";
    EXPECT_STREQ("", m_store.GetString("NoSuchKey", "Options"));
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
}

TEST_F(SettingsStoreTest, FallbacksForEmptyValues)
{
    ASSERT_TRUE(m_store.Open(m_path.c_str()));
    ASSERT_TRUE(m_store.SetString("Skins", "", "UI_Config"));
    ASSERT_TRUE(m_store.SetString("MainFramTabID", "", "UI_Config"));
    EXPECT_STREQ("Default", m_store.GetSkinName());
    EXPECT_EQ(132, m_store.GetMainFramTabID());
    m_store.SetMainFramTabID(137);
    EXPECT_EQ(137, m_store.GetMainFramTabID());
}

// Every account may write the file: only a plain folder name under Skins
// names the skin; anything else gives the default skin, and the stored
// text stays as it is.
TEST_F(SettingsStoreTest, ASkinNameIsOneFolderNameOrTheDefault)
{
    ASSERT_TRUE(m_store.Open(m_path.c_str()));
    struct Case {
        const char *stored;
        const char *skin;
    } cases[] = {
        {"Blue", "Blue"},
        {"Blue Sky 2", "Blue Sky 2"},
        {".hidden", ".hidden"},
        {"..\\..\\Users\\Public\\x", "Default"},
        {"..", "Default"},
        {".", "Default"},
        {"Blue..Sky", "Default"},
        {"Skins\\Blue", "Default"},
        {"Blue/", "Default"},
        {"/tmp/x", "Default"},
        {"C:x", "Default"},
        {"C:\\Skins", "Default"},
        {"\\\\server\\share", "Default"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(m_store.SetString("Skins", c.stored, "UI_Config"));
        EXPECT_STREQ(c.skin, m_store.GetSkinName()) << c.stored;
        EXPECT_STREQ(c.stored, m_store.GetString("Skins", "UI_Config")) << c.stored;
    }
}

TEST_F(SettingsStoreTest, MainWindowPlaceRoundTrips)
{
    ASSERT_TRUE(m_store.Open(m_path.c_str()));
    m_store.SetMainFramPos(CRect(-1200, -8, -100, 700));
    EXPECT_STREQ("-1200,-8,-100,700", m_store.GetString("MainFramPos", "UI_Config"));
    CRect rect;
    EXPECT_TRUE(m_store.GetMainFramPos(rect));
    EXPECT_EQ(CRect(-1200, -8, -100, 700), rect);
}

struct PlaceCase
{
    const char *text;
    BOOL result;
    CRect rect;   // from (-9, -9, -9, -9), the edges not set stay
};

class MainWindowPlaceTest : public SettingsStoreTest, public testing::WithParamInterface<PlaceCase>
{
};

TEST_P(MainWindowPlaceTest, Parses)
{
    const PlaceCase &c = GetParam();
    ASSERT_TRUE(m_store.Open(m_path.c_str()));
    ASSERT_TRUE(m_store.SetString("MainFramPos", c.text, "UI_Config"));
    CRect rect(-9, -9, -9, -9);
    EXPECT_EQ(c.result, m_store.GetMainFramPos(rect));
    EXPECT_EQ(c.rect, rect);
}

INSTANTIATE_TEST_SUITE_P(Texts, MainWindowPlaceTest,
                         testing::Values(PlaceCase{"10,20,550,600", TRUE, CRect(10, 20, 550, 600)},
                                         PlaceCase{"10,20,550,", FALSE, CRect(10, 20, 550, -9)},
                                         PlaceCase{"10,20", FALSE, CRect(10, -9, -9, -9)},
                                         PlaceCase{"", FALSE, CRect(-9, -9, -9, -9)},
                                         PlaceCase{"1,2,3,4,5", TRUE, CRect(1, 2, 3, 4)},
                                         PlaceCase{" 7, x,9,  12", TRUE, CRect(7, 0, 9, 12)},
                                         PlaceCase{",,,", FALSE, CRect(0, 0, 0, -9)}));

} // namespace
