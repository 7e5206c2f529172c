#include "CppSQLiteException.h"
#include "SqliteDatabase.h"
#include "TestFolder.h"

#include <gtest/gtest.h>
#include <functional>
#include <string>

namespace {

// Runs the action and gives the exception it threw; fails when none came.
CppSQLiteException Thrown(const std::function<void()> &action)
{
    try {
        action();
    } catch (const CppSQLiteException &e) {
        return e;
    }
    ADD_FAILURE() << "no CppSQLiteException";
    return CppSQLiteException("none");
}

bool StartsWith(const char *text, const std::string &prefix)
{
    return std::string(text).compare(0, prefix.size(), prefix) == 0;
}

class SqliteDatabaseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = m_folder.File("test.dat");
        m_db.Open(m_path.c_str());
        m_db.Execute("create table t(a int PRIMARY KEY, b char(20));");
    }

    CTestFolder m_folder;
    std::string m_path;
    CSqliteDatabase m_db;
};

TEST_F(SqliteDatabaseTest, QueryWalksTheRowsInOrderAndGivesNullForNull)
{
    m_db.Execute("insert into t values(1, 'one');");
    m_db.Execute("insert into t values(2, NULL);");
    m_db.Execute("insert into t values(-1062731775, 'three');");

    CSqliteQuery q = m_db.Query("select a, b from t;");
    ASSERT_FALSE(q.IsEof());
    EXPECT_EQ(2, q.NumFields());
    EXPECT_STREQ("a", q.FieldName(0));
    EXPECT_STREQ("1", q.GetField(0));
    EXPECT_STREQ("one", q.GetField(1));
    q.NextRow();
    ASSERT_FALSE(q.IsEof());
    EXPECT_STREQ("2", q.GetField(0));
    EXPECT_EQ(nullptr, q.GetField(1));
    EXPECT_TRUE(q.FieldIsNull(1));
    q.NextRow();
    ASSERT_FALSE(q.IsEof());
    EXPECT_STREQ("-1062731775", q.GetField(0));
    q.NextRow();
    EXPECT_TRUE(q.IsEof());
    EXPECT_EQ(nullptr, q.GetField(0));
}

TEST_F(SqliteDatabaseTest, QueryWithoutRowsIsAtItsEndAtOnce)
{
    CSqliteQuery q = m_db.Query("select a from t where a = 7;");
    EXPECT_TRUE(q.IsEof());
}

TEST_F(SqliteDatabaseTest, ExecuteCountsChangedRowsAndZeroForNoMatch)
{
    m_db.Execute("insert into t values(1, 'x');");
    m_db.Execute("insert into t values(2, 'x');");
    EXPECT_EQ(2, m_db.Execute("update t set b='y' where b='x';"));
    EXPECT_EQ(0, m_db.Execute("delete from t where a = 99;"));
}

TEST_F(SqliteDatabaseTest, OnlyTheFirstStatementOfATextRuns)
{
    m_db.Execute("insert into t values(1, 'a');insert into t values(2, 'b');");
    CRawConnection raw(m_path);
    EXPECT_EQ("1", raw.Scalar("select count(*) from t;"));

    CSqliteQuery q = m_db.Query("select a from t; delete from t;");
    EXPECT_STREQ("1", q.GetField(0));
    EXPECT_EQ("1", raw.Scalar("select count(*) from t;"));
}

TEST_F(SqliteDatabaseTest, TextWithoutStatementDoesNothing)
{
    EXPECT_EQ(0, m_db.Execute("  "));
    EXPECT_TRUE(m_db.Query("").IsEof());
}

TEST_F(SqliteDatabaseTest, ClosedConnectionReportsDatabaseNotOpen)
{
    m_db.Close();
    EXPECT_FALSE(m_db.IsOpen());
    for (const auto &action : {std::function<void()>([&] { m_db.Execute("delete from t;"); }),
                               std::function<void()>([&] { m_db.Query("select a from t;"); })}) {
        CppSQLiteException e = Thrown(action);
        EXPECT_EQ(1, e.GetCode());
        EXPECT_STREQ("Database not open", e.GetMessageText());
    }
}

TEST_F(SqliteDatabaseTest, FieldIndexOutsideTheColumnsThrows)
{
    m_db.Execute("insert into t values(1, 'a');");
    CSqliteQuery q = m_db.Query("select a, b from t;");
    for (int field : {2, -1}) {
        CppSQLiteException e = Thrown([&] { q.GetField(field); });
        EXPECT_EQ(1, e.GetCode()) << field;
        EXPECT_STREQ("Invalid field index requested", e.GetMessageText()) << field;
    }
}

TEST_F(SqliteDatabaseTest, SyntaxErrorAndBrokenUniqueKeyGiveTheEngineCodes)
{
    CppSQLiteException syntax = Thrown([&] { m_db.Execute("selct 1;"); });
    EXPECT_EQ(1, syntax.GetCode());
    EXPECT_TRUE(StartsWith(syntax.GetMessageText(), "SQLITE_ERROR[1]")) << syntax.GetMessageText();

    m_db.Execute("insert into t values(1, 'a');");
    CppSQLiteException unique = Thrown([&] { m_db.Execute("insert into t values(1, 'b');"); });
    EXPECT_EQ(19, unique.GetCode());
    EXPECT_TRUE(StartsWith(unique.GetMessageText(), "SQLITE_CONSTRAINT[19]")) << unique.GetMessageText();

    CppSQLiteException exists = Thrown([&] { m_db.Execute("create table t(a int);"); });
    EXPECT_EQ(1, exists.GetCode());
    EXPECT_TRUE(StartsWith(exists.GetMessageText(), "SQLITE_ERROR[1]")) << exists.GetMessageText();
}

TEST_F(SqliteDatabaseTest, ExecuteOfASelectWithARowThrowsAndLeavesNoStatementOpen)
{
    m_db.Execute("insert into t values(1, 'a');");
    CppSQLiteException e = Thrown([&] { m_db.Execute("select a from t;"); });
    EXPECT_NE(0, e.GetCode());

    // A statement left open would hold a read lock and keep this writer out.
    CRawConnection raw(m_path);
    EXPECT_EQ(SQLITE_OK, raw.Run("insert into t values(2, 'b');"));
}

TEST_F(SqliteDatabaseTest, FailureOnALaterRowFinalizesTheQuery)
{
    m_db.Execute("insert into t values(1, 'a');");
    m_db.Execute("insert into t values(-9223372036854775808, 'b');");
    CSqliteQuery q = m_db.Query("select abs(a) from t order by a desc;");
    ASSERT_FALSE(q.IsEof());
    EXPECT_STREQ("1", q.GetField(0));
    CppSQLiteException e = Thrown([&] { q.NextRow(); });
    EXPECT_TRUE(StartsWith(e.GetMessageText(), "SQLITE_ERROR[1]")) << e.GetMessageText();
    EXPECT_TRUE(q.IsEof());

    CRawConnection raw(m_path);
    EXPECT_EQ(SQLITE_OK, raw.Run("insert into t values(3, 'c');"));
}

TEST_F(SqliteDatabaseTest, QueryCanBeHandedOnAndFinalizedEarly)
{
    m_db.Execute("insert into t values(1, 'a');");
    CSqliteQuery first = m_db.Query("select a from t;");
    CSqliteQuery second = std::move(first);
    EXPECT_TRUE(first.IsEof());
    EXPECT_STREQ("1", second.GetField(0));
    second.Finalize();
    EXPECT_TRUE(second.IsEof());
    EXPECT_EQ(nullptr, second.GetField(0));

    CRawConnection raw(m_path);
    EXPECT_EQ(SQLITE_OK, raw.Run("insert into t values(2, 'b');"));
}

TEST_F(SqliteDatabaseTest, OpenOverAnOpenConnectionClosesItFirst)
{
    std::string other = m_folder.File("other.dat");
    m_db.Open(other.c_str());
    // The first file is no longer held open, so it can go.
    EXPECT_TRUE(DeleteFileA(m_path.c_str())) << GetLastError();
    m_db.Execute("create table u(a int);");
}

class SqliteOpenTest : public testing::Test
{
protected:
    CTestFolder m_folder;
    CSqliteDatabase m_db;
};

TEST_F(SqliteOpenTest, MissingFileIsCreatedAsAnEmptyDatabase)
{
    std::string path = m_folder.File("new.dat");
    m_db.Open(path.c_str());
    EXPECT_TRUE(m_db.IsOpen());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
    EXPECT_TRUE(m_db.Query("select name from sqlite_master;").IsEof());
}

TEST_F(SqliteOpenTest, PathInAMissingFolderCannotBeOpened)
{
    std::string path = m_folder.File("missing\\new.dat");
    CppSQLiteException e = Thrown([&] { m_db.Open(path.c_str()); });
    EXPECT_EQ(14, e.GetCode());
    EXPECT_TRUE(StartsWith(e.GetMessageText(), "SQLITE_CANTOPEN[14]")) << e.GetMessageText();
    EXPECT_FALSE(m_db.IsOpen());
}

TEST_F(SqliteOpenTest, FileThatIsNotADatabaseFailsToOpen)
{
    std::string path = m_folder.File("garbage.dat");
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    std::string junk(4096, 'x');
    DWORD written = 0;
    WriteFile(file, junk.data(), static_cast<DWORD>(junk.size()), &written, nullptr);
    CloseHandle(file);

    CppSQLiteException e = Thrown([&] { m_db.Open(path.c_str()); });
    EXPECT_EQ(14, e.GetCode());
    EXPECT_FALSE(m_db.IsOpen());
    // Nothing holds the file: the stores' repair paths delete it.
    EXPECT_TRUE(DeleteFileA(path.c_str())) << GetLastError();
}

TEST_F(SqliteOpenTest, FileLockedByAnotherConnectionStillOpens)
{
    std::string path = m_folder.File("busy.dat");
    CRawConnection raw(path);
    ASSERT_EQ(SQLITE_OK, raw.Run("create table t(a int); begin exclusive; insert into t values(1);"));
    m_db.Open(path.c_str());
    EXPECT_TRUE(m_db.IsOpen());
}

TEST_F(SqliteOpenTest, AnsiPathWithCodePageCharactersIsFound)
{
    // A folder name with a character outside ASCII in the system code page.
    UINT codePage = GetACP();
    wchar_t wideName[] = L"Caf\u00e9";
    char ansiName[16] = {};
    BOOL lossy = FALSE;
    WideCharToMultiByte(codePage, 0, wideName, -1, ansiName, sizeof ansiName, nullptr, &lossy);
    if (lossy)
        GTEST_SKIP() << "code page " << codePage << " has no such character";

    std::string folder = m_folder.Path() + ansiName;
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string path = folder + "\\db.dat";
    m_db.Open(path.c_str());
    m_db.Execute("create table t(a int);");
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str()));
}

} // namespace
