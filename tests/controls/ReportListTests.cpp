// CReportList in the kit's host dialog, and the registry default reader.
#include <RegistryDefault.h>
#include <ReportList.h>

#include <HostDialog.h>

#include <gtest/gtest.h>

#include <string>

namespace {

class ReportListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 10, 10, 400, 200,
                                    m_host.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(m_list.SubclassWindow(list));
    }

    CHostDialog m_host;
    CReportList m_list;
};

TEST_F(ReportListTest, ColumnsComeFromTheColumnText)
{
    EXPECT_TRUE(m_list.SetColumns(""));
    EXPECT_TRUE(m_list.SetColumns("abc"));
    EXPECT_EQ(m_list.GetColumnCount(), 0);
    EXPECT_TRUE(m_list.SetColumns("Name,120;Path,300;"));
    EXPECT_EQ(m_list.GetColumnCount(), 2);
    EXPECT_EQ(m_list.GetColumnWidth(0), 120);
    EXPECT_EQ(m_list.GetColumnWidth(1), 300);
    m_list.SetColumnCount(4);
    EXPECT_EQ(m_list.GetColumnCount(), 4);
    EXPECT_EQ(m_list.GetHeaderCtrl()->GetItemCount(), 4);
}

TEST_F(ReportListTest, RowsAreWalkedToTheEndAndStayThere)
{
    m_list.SetColumns("Name,120");
    CString text;
    EXPECT_FALSE(m_list.GetFirstText(text));
    EXPECT_EQ(m_list.AddRow("one"), 0);
    EXPECT_EQ(m_list.AddRow("two"), 1);
    EXPECT_EQ(m_list.AddRow("three"), 2);
    EXPECT_EQ(m_list.GetRowCount(), 3);
    std::string walked;
    for (BOOL more = m_list.GetFirstText(text); more; more = m_list.GetNextText(text))
        walked += std::string(text) + ";";
    EXPECT_EQ(walked, "one;two;three;");
    EXPECT_FALSE(m_list.GetNextText(text));
    EXPECT_FALSE(m_list.GetNextText(text));
}

TEST_F(ReportListTest, DeleteRowOutsideTheRowsChangesNothing)
{
    m_list.SetColumns("Name,120");
    for (const char *row : {"one", "two", "three"})
        m_list.AddRow(row);
    m_list.DeleteRow(-1);
    m_list.DeleteRow(3);
    EXPECT_EQ(m_list.GetRowCount(), 3);
    EXPECT_EQ(m_list.GetItemCount(), 3);
    m_list.DeleteRow(1);
    EXPECT_EQ(m_list.GetRowCount(), 2);
    CString text;
    ASSERT_TRUE(m_list.GetFirstText(text));
    ASSERT_TRUE(m_list.GetNextText(text));
    EXPECT_STREQ(text, "three");
    EXPECT_FALSE(m_list.GetNextText(text));

    m_list.SetItemData(1, 77);
    EXPECT_EQ(m_list.FindRowByData(77), 1);
    EXPECT_EQ(m_list.FindRowByData(78), -1);
}

// --- the registry's default value ------------------------------------------------

const char kKey[] = "Software\\FerrowindTests\\RegistryDefault";

class RegistryDefaultTest : public ::testing::Test
{
protected:
    void SetUp() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

    static void Store(const char *value)
    {
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE *>(value), lstrlenA(value) + 1);
        RegCloseKey(key);
    }
};

TEST_F(RegistryDefaultTest, AStoredValueIsReadWhole)
{
    Store("C:\\Browser\\open.exe");
    char buffer[64];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(ReadRegistryDefault(HKEY_CURRENT_USER, kKey, buffer, sizeof buffer), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "C:\\Browser\\open.exe");
    // Exactly fitting, terminator included.
    char exact[20];
    EXPECT_EQ(ReadRegistryDefault(HKEY_CURRENT_USER, kKey, exact, sizeof exact), ERROR_SUCCESS);
    EXPECT_STREQ(exact, "C:\\Browser\\open.exe");
}

TEST_F(RegistryDefaultTest, AMissingKeyOrALongerValueLeavesTheBufferEmpty)
{
    char buffer[8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(ReadRegistryDefault(HKEY_CURRENT_USER, kKey, buffer, sizeof buffer), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(buffer, "");

    Store("a value longer than the buffer");
    char guarded[16];
    memset(guarded, 'x', sizeof guarded);
    EXPECT_EQ(ReadRegistryDefault(HKEY_CURRENT_USER, kKey, guarded, 8), ERROR_MORE_DATA);
    EXPECT_STREQ(guarded, "");
    // Nothing past the eight bytes it was given.
    for (int i = 8; i < 16; ++i)
        EXPECT_EQ(guarded[i], 'x') << i;
}

} // namespace
