// The shared shape of a store operation, shown through a small store of the
// same build as the real ones: a table of named items with IDs from `system`.
#include "CFile.h"
#include "ErrorLogFile.h"
#include "StoreBase.h"
#include "StringCodePage.h"
#include "TestFolder.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

void WINAPI NoWait(DWORD)
{
}

class CItemStore : public CStoreBase
{
public:
    CItemStore() { m_db.SetSleepFunction(NoWait); }

    BOOL Open(LPCTSTR path)
    {
        return Guarded(STORE_PLACE, [&] { m_db.Open(path); });
    }

    static const int kCreateTablesLine = __LINE__ + 3;
    BOOL CreateTables()
    {
        return GuardedTransaction(STORE_PLACE, [&] {
            m_db.Execute(kCreateSystemTable);
            m_db.Execute("insert into system values('Items', 0);");
            m_db.Execute("create table Items(ID long PRIMARY KEY, Name char(50) UNIQUE, Memo char(100));");
        });
    }

    long AddItem(LPCTSTR name, LPCTSTR memo)
    {
        return AddWithNewId(STORE_PLACE, "Items", [&](long id) {
            CString sql;
            sql.Format("insert into Items values(%d, '%s', '%s');", static_cast<int>(id),
                       static_cast<LPCTSTR>(EscapeSqlText(name)), static_cast<LPCTSTR>(EscapeSqlText(memo)));
            m_db.Execute(sql);
        });
    }

    BOOL DeleteItem(long id)
    {
        CString sql;
        sql.Format("delete from Items where ID=%d;", static_cast<int>(id));
        return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
    }

    BOOL SetMemo(long id, LPCTSTR memo)
    {
        CString sql;
        sql.Format("update Items set Memo='%s' where ID=%d;", static_cast<LPCTSTR>(EscapeSqlText(memo)),
                   static_cast<int>(id));
        return Guarded(STORE_PLACE, [&] { m_db.Execute(sql); });
    }

    // A read of one row: empty when there is none or the read fails.
    CString GetMemo(long id)
    {
        CString sql, memo;
        sql.Format("select Memo from Items where ID=%d;", static_cast<int>(id));
        Guarded(STORE_PLACE, [&] {
            CSqliteQuery query = m_db.Query(sql);
            if (!query.IsEof())
                memo = FieldText(query, 0);
        });
        return memo;
    }

    // A read of several rows: the list is cleared, then filled in order.
    void LoadItems(std::vector<std::pair<long, CString>> &items)
    {
        items.clear();
        Guarded(STORE_PLACE, [&] {
            for (CSqliteQuery query = m_db.Query("select ID,Name from Items;"); !query.IsEof(); query.NextRow())
                items.emplace_back(FieldNumber(query, 0), FieldText(query, 1));
        });
    }

    BOOL ThrowOther()
    {
        return Guarded(STORE_PLACE, [] { throw std::runtime_error("not the engine"); });
    }

    // The class library's own failures arrive as heap objects.
    BOOL OpenForReading(LPCTSTR path)
    {
        return Guarded(STORE_PLACE, [&] { CFile file(path, CFile::modeRead); });
    }

    // A transaction whose body loses the transaction before it fails, as the
    // engine does on some failures: the rollback then fails as well.
    BOOL FailAfterTransactionEnded()
    {
        return GuardedTransaction(STORE_PLACE, [&] {
            m_db.RollbackTransaction();
            m_db.Execute("insert into nowhere values(1);");
        });
    }

    CRetryingDatabase &Database() { return m_db; }
};

class StoreBaseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        SetErrorLogFolder(m_folder.Path().c_str());
        m_path = m_folder.File("Items.dat");
        ASSERT_TRUE(m_store.Open(m_path.c_str()));
        ASSERT_TRUE(m_store.CreateTables());
    }

    std::vector<std::string> DatabaseLog() { return ReadLogLines(m_folder.File("sqlite_err.log")); }
    std::string Raw(const char *sql)
    {
        CRawConnection raw(m_path);
        return raw.Scalar(sql);
    }

    CTestFolder m_folder;
    std::string m_path;
    CItemStore m_store;
};

// The message of a log line: what follows "line <n>: ".
std::string MessageOf(const std::string &line)
{
    size_t at = line.find(": ", line.find(",line "));
    return at == std::string::npos ? std::string() : line.substr(at + 2);
}

TEST_F(StoreBaseTest, FirstIdIsOneAndIdsAreNeverHandedOutTwice)
{
    EXPECT_EQ(1, m_store.AddItem("first", ""));
    EXPECT_TRUE(m_store.DeleteItem(1));
    EXPECT_EQ(2, m_store.AddItem("second", ""));
    EXPECT_EQ(3, m_store.AddItem("third", ""));
    EXPECT_TRUE(m_store.DeleteItem(3));
    EXPECT_TRUE(m_store.DeleteItem(2));
    EXPECT_EQ(4, m_store.AddItem("fourth", ""));
    EXPECT_EQ("4", Raw("select maxID from system where tablename='Items';"));
    EXPECT_TRUE(DatabaseLog().empty());
}

TEST_F(StoreBaseTest, TableWithoutItsSystemRowGetsNothingAdded)
{
    CRawConnection raw(m_path);
    ASSERT_EQ(SQLITE_OK, raw.Run("delete from system;"));
    EXPECT_EQ(0, m_store.AddItem("lost", ""));
    EXPECT_EQ("0", raw.Scalar("select count(*) from Items;"));
    EXPECT_TRUE(DatabaseLog().empty());
}

TEST_F(StoreBaseTest, LastPossibleIdLeavesNoneToHandOut)
{
    CRawConnection raw(m_path);
    ASSERT_EQ(SQLITE_OK, raw.Run("update system set maxID=2147483647;"));
    EXPECT_EQ(0, m_store.AddItem("overflow", ""));
    EXPECT_EQ("0", raw.Scalar("select count(*) from Items;"));
}

TEST_F(StoreBaseTest, FailedInsertKeepsMaxIdAndLogsOnce)
{
    ASSERT_EQ(1, m_store.AddItem("same", ""));
    EXPECT_EQ(0, m_store.AddItem("same", ""));

    std::vector<std::string> log = DatabaseLog();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(0u, MessageOf(log[0]).find("19:SQLITE_CONSTRAINT[19]")) << log[0];
    EXPECT_EQ("1", Raw("select maxID from system where tablename='Items';"));
    // Nothing was left open: the next addition goes through.
    EXPECT_EQ(2, m_store.AddItem("other", ""));
}

TEST_F(StoreBaseTest, ChangeOfAMissingIdSucceedsWithoutALine)
{
    EXPECT_TRUE(m_store.DeleteItem(42));
    EXPECT_TRUE(m_store.SetMemo(42, "x"));
    EXPECT_TRUE(DatabaseLog().empty());
}

TEST_F(StoreBaseTest, CreatingTablesThatExistLogsTheEngineErrorAndRollsBack)
{
    EXPECT_FALSE(m_store.CreateTables());
    std::vector<std::string> log = DatabaseLog();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(0u, MessageOf(log[0]).find("1:SQLITE_ERROR[1]")) << log[0];
    EXPECT_NE(std::string::npos, log[0].find(",line " + std::to_string(CItemStore::kCreateTablesLine) + ": "))
        << log[0];
    EXPECT_NE(std::string::npos, log[0].find(std::string(",") + __FILE__ + "[" + __TIMESTAMP__ + "]")) << log[0];
    EXPECT_EQ(1, m_store.AddItem("after", ""));
}

TEST_F(StoreBaseTest, ApostrophesAreStoredAndReadBackUnchanged)
{
    const char *values[] = {"O'Neil's PC", "a',1,2,3);--", "'", "''", "x' --"};
    std::vector<long> ids;
    for (const char *value : values) {
        long id = m_store.AddItem(value, value);
        ASSERT_NE(0, id) << value;
        ids.push_back(id);
    }
    EXPECT_TRUE(m_store.SetMemo(ids[0], "it's' where 1=1; --"));

    std::vector<std::pair<long, CString>> items;
    m_store.LoadItems(items);
    ASSERT_EQ(5u, items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        EXPECT_EQ(ids[i], items[i].first);
        EXPECT_STREQ(values[i], items[i].second);
    }
    EXPECT_STREQ("it's' where 1=1; --", m_store.GetMemo(ids[0]));
    EXPECT_STREQ("a',1,2,3);--", m_store.GetMemo(ids[1]));
    EXPECT_EQ("5", Raw("select count(*) from Items;"));
    EXPECT_TRUE(DatabaseLog().empty());
}

// In a double-byte code page a byte that could lead a character may stand
// before an apostrophe: the apostrophe is doubled all the same, so such a
// text (a sniffed web site, a memo) is stored byte for byte and rewrites
// no other row or column.
TEST_F(StoreBaseTest, AnApostropheAfterALeadByteIsStoredInDoubleByteCodePages)
{
    SetStringCodePage(936);
    const long first = m_store.AddItem("first", "untouched");
    const long second = m_store.AddItem("second", "");
    const char hostile[] = "\x81' where ID>0; --";
    const char renaming[] = "\xB0', Name='\xB0";
    EXPECT_TRUE(m_store.SetMemo(second, hostile));
    EXPECT_STREQ(hostile, m_store.GetMemo(second));
    EXPECT_TRUE(m_store.SetMemo(second, renaming));
    EXPECT_STREQ(renaming, m_store.GetMemo(second));
    const long third = m_store.AddItem("\x81'", "\xFE'");
    ASSERT_NE(0, third);
    EXPECT_STREQ("\xFE'", m_store.GetMemo(third));
    SetStringCodePage(CP_ACP);

    EXPECT_STREQ("untouched", m_store.GetMemo(first));
    std::vector<std::pair<long, CString>> items;
    m_store.LoadItems(items);
    ASSERT_EQ(3u, items.size());
    EXPECT_STREQ("first", items[0].second);
    EXPECT_STREQ("second", items[1].second);
    EXPECT_STREQ("\x81'", items[2].second);
    EXPECT_TRUE(DatabaseLog().empty());
}

TEST_F(StoreBaseTest, NullFieldsReadAsEmptyTextAndZero)
{
    ASSERT_EQ(1, m_store.AddItem("nulls", "memo"));
    CRawConnection raw(m_path);
    ASSERT_EQ(SQLITE_OK, raw.Run("insert into Items values(NULL, NULL, NULL);"));
    ASSERT_EQ(SQLITE_OK, raw.Run("update Items set Memo=NULL where ID=1;"));

    EXPECT_STREQ("", m_store.GetMemo(1));
    std::vector<std::pair<long, CString>> items;
    m_store.LoadItems(items);
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(0, items[1].first);
    EXPECT_STREQ("", items[1].second);
    EXPECT_TRUE(DatabaseLog().empty());
}

TEST_F(StoreBaseTest, ReadsWithoutRowsGiveTheirFailureValueWithoutALine)
{
    EXPECT_STREQ("", m_store.GetMemo(7));
    std::vector<std::pair<long, CString>> items{{9, "stale"}};
    m_store.LoadItems(items);
    EXPECT_TRUE(items.empty());
    EXPECT_TRUE(DatabaseLog().empty());
}

TEST_F(StoreBaseTest, BusyDatabaseFailsTheOperationWithOneLine)
{
    CRawConnection other(m_path);
    ASSERT_EQ(SQLITE_OK, other.Run("begin exclusive;"));
    EXPECT_FALSE(m_store.DeleteItem(1));
    EXPECT_EQ(0, m_store.AddItem("blocked", ""));
    std::vector<std::string> log = DatabaseLog();
    ASSERT_EQ(2u, log.size());
    for (const std::string &line : log)
        EXPECT_EQ(0u, MessageOf(line).find("5:SQLITE_BUSY[5]")) << line;
    ASSERT_EQ(SQLITE_OK, other.Run("commit;"));
    EXPECT_EQ(1, m_store.AddItem("free", ""));
}

TEST_F(StoreBaseTest, OtherExceptionsGoToTheOtherLog)
{
    EXPECT_FALSE(m_store.ThrowOther());
    EXPECT_FALSE(m_store.OpenForReading(m_folder.File("missing.bin").c_str()));
    std::vector<std::string> log = ReadLogLines(m_folder.File("kv_err.log"));
    ASSERT_EQ(2u, log.size());
    for (const std::string &line : log)
        EXPECT_EQ("error\r\n", MessageOf(line));
    EXPECT_TRUE(DatabaseLog().empty());
}

TEST_F(StoreBaseTest, AdditionInsideAnOpenTransactionFailsWithoutThrowing)
{
    m_store.Database().BeginTransaction();
    EXPECT_EQ(0, m_store.AddItem("nested", ""));
    std::vector<std::string> log = DatabaseLog();
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(0u, MessageOf(log[0]).find("1:SQLITE_ERROR[1]")) << log[0];
    // The transaction that was open before is the caller's and stays open.
    EXPECT_NO_THROW(m_store.Database().CommitTransaction());
    EXPECT_EQ("0", Raw("select count(*) from Items;"));
}

TEST_F(StoreBaseTest, FailingRollbackIsLoggedAndNeverThrows)
{
    EXPECT_FALSE(m_store.FailAfterTransactionEnded());
    std::vector<std::string> log = DatabaseLog();
    ASSERT_EQ(2u, log.size());
    EXPECT_EQ(0u, MessageOf(log[0]).find("1:SQLITE_ERROR[1]no such table")) << log[0];
    EXPECT_EQ(0u, MessageOf(log[1]).find("1:SQLITE_ERROR[1]")) << log[1];
    EXPECT_EQ(1, m_store.AddItem("after", ""));
}

TEST_F(StoreBaseTest, LogThatCannotBeWrittenLeavesTheFailureValue)
{
    std::string blocker = m_folder.File("plain");
    HANDLE file = CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);
    SetErrorLogFolder((blocker + "\\logs\\").c_str());

    EXPECT_FALSE(m_store.CreateTables());
    EXPECT_EQ(1, m_store.AddItem("still works", ""));
}

TEST(StoreClosed, EveryOperationFailsWithDatabaseNotOpen)
{
    CTestFolder folder;
    SetErrorLogFolder(folder.Path().c_str());
    CItemStore store;
    EXPECT_EQ(0, store.AddItem("x", ""));
    EXPECT_FALSE(store.DeleteItem(1));
    EXPECT_STREQ("", store.GetMemo(1));
    std::vector<std::string> log = ReadLogLines(folder.File("sqlite_err.log"));
    ASSERT_EQ(3u, log.size());
    for (const std::string &line : log)
        EXPECT_EQ("1:Database not open\r\n", MessageOf(line));
}

TEST(StoreOpen, FileThatCannotBeOpenedFailsTheOpen)
{
    CTestFolder folder;
    SetErrorLogFolder(folder.Path().c_str());
    CItemStore store;
    EXPECT_FALSE(store.Open(folder.File("missing\\Items.dat").c_str()));
    std::vector<std::string> log = ReadLogLines(folder.File("sqlite_err.log"));
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ(0u, MessageOf(log[0]).find("14:SQLITE_CANTOPEN[14]")) << log[0];
}

struct EscapeCase {
    const char *value;
    const char *escaped;
};

class EscapeSqlTextTest : public testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeSqlTextTest, DoublesEveryApostrophe)
{
    EXPECT_STREQ(GetParam().escaped, EscapeSqlText(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(Values, EscapeSqlTextTest,
                         testing::Values(EscapeCase{"", ""}, EscapeCase{"plain", "plain"},
                                         EscapeCase{"'", "''"}, EscapeCase{"''", "''''"},
                                         EscapeCase{"O'Neil's PC", "O''Neil''s PC"},
                                         EscapeCase{"a',1,2,3);--", "a'',1,2,3);--"},
                                         EscapeCase{nullptr, ""}));

} // namespace
