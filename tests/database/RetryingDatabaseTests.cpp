#include "CppSQLiteException.h"
#include "RetryingDatabase.h"
#include "TestFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// The waits the handle asked for, and the other connection's lock, which
// the test may release after a given number of waits.
std::vector<DWORD> g_sleeps;
CRawConnection *g_holder;
size_t g_releaseAfter;

void WINAPI RecordSleep(DWORD milliseconds)
{
    g_sleeps.push_back(milliseconds);
    if (g_holder && g_sleeps.size() == g_releaseAfter) {
        EXPECT_EQ(SQLITE_OK, g_holder->Run("commit;"));
    }
}

// Counts how often a statement of the given action is compiled.
int CountCompiles(void *counter, int action, const char *, const char *, const char *, const char *)
{
    if (action == SQLITE_INSERT || action == SQLITE_SELECT)
        ++*static_cast<int *>(counter);
    return SQLITE_OK;
}

class RetryingDatabaseTest : public testing::Test
{
protected:
    void SetUp() override
    {
        g_sleeps.clear();
        g_holder = nullptr;
        g_releaseAfter = 0;
        m_path = m_folder.File("retry.dat");
        m_db.SetSleepFunction(RecordSleep);
        m_db.Open(m_path.c_str());
        m_db.Execute("create table t(a int PRIMARY KEY);");
        sqlite3_set_authorizer(m_db.GetHandle(), CountCompiles, &m_compiles);
    }
    void TearDown() override { g_holder = nullptr; }

    // Another connection takes the database for itself and keeps it.
    void LockFromAnotherConnection(CRawConnection &other, size_t releaseAfter)
    {
        ASSERT_EQ(SQLITE_OK, other.Run("begin exclusive; insert into t values(100);"));
        g_holder = &other;
        g_releaseAfter = releaseAfter;
    }

    CTestFolder m_folder;
    std::string m_path;
    CRetryingDatabase m_db;
    int m_compiles = 0;
};

TEST_F(RetryingDatabaseTest, LockHeldThroughTheWindowFailsBusyAfterTenWaits)
{
    CRawConnection other(m_path);
    LockFromAnotherConnection(other, 0);

    try {
        m_db.Execute("insert into t values(1);");
        FAIL() << "the insert went through a held lock";
    } catch (const CppSQLiteException &e) {
        EXPECT_EQ(5, e.GetCode());
    }
    EXPECT_EQ(std::vector<DWORD>(10, 500), g_sleeps);
    EXPECT_EQ(11, m_compiles);
}

TEST_F(RetryingDatabaseTest, QueryWaitsForTheLockToo)
{
    CRawConnection other(m_path);
    LockFromAnotherConnection(other, 0);
    try {
        m_db.Query("select a from t;");
        FAIL() << "the query read through a held lock";
    } catch (const CppSQLiteException &e) {
        EXPECT_EQ(5, e.GetCode());
    }
    EXPECT_EQ(10u, g_sleeps.size());
}

TEST_F(RetryingDatabaseTest, StatementSucceedsOnceTheLockIsReleasedWithinTheWindow)
{
    CRawConnection other(m_path);
    LockFromAnotherConnection(other, 3);

    m_db.Execute("insert into t values(1);");
    EXPECT_EQ(3u, g_sleeps.size());
    CSqliteQuery q = m_db.Query("select count(*) from t;");
    EXPECT_STREQ("2", q.GetField(0));
}

TEST_F(RetryingDatabaseTest, ReleaseBeforeTheLastAttemptStillSucceeds)
{
    CRawConnection other(m_path);
    LockFromAnotherConnection(other, 10);
    CSqliteQuery q = m_db.Query("select count(*) from t;");
    EXPECT_STREQ("1", q.GetField(0));
    EXPECT_EQ(10u, g_sleeps.size());
}

TEST_F(RetryingDatabaseTest, LastingFailureRunsElevenTimesWithoutWaiting)
{
    m_db.Execute("insert into t values(1);");
    m_compiles = 0;
    try {
        m_db.Execute("insert into t values(1);");
        FAIL() << "duplicate key accepted";
    } catch (const CppSQLiteException &e) {
        EXPECT_EQ(19, e.GetCode());
        EXPECT_EQ(0, std::string(e.GetMessageText()).find("SQLITE_CONSTRAINT[19]")) << e.GetMessageText();
    }
    EXPECT_EQ(11, m_compiles);
    EXPECT_TRUE(g_sleeps.empty());
}

TEST_F(RetryingDatabaseTest, AttemptsAndDelayCanBeSet)
{
    m_db.SetRetry(20, 2);
    CRawConnection other(m_path);
    LockFromAnotherConnection(other, 0);
    EXPECT_THROW(m_db.Execute("insert into t values(1);"), CppSQLiteException);
    EXPECT_EQ(std::vector<DWORD>(2, 20), g_sleeps);
    EXPECT_EQ(3, m_compiles);
}

TEST_F(RetryingDatabaseTest, LaterRowFailureOfAQueryIsNotRepeated)
{
    m_db.Execute("insert into t values(1);");
    m_db.Execute("insert into t values(-9223372036854775808);");
    m_compiles = 0;
    CSqliteQuery q = m_db.Query("select abs(a) from t order by a desc;");
    EXPECT_THROW(q.NextRow(), CppSQLiteException);
    EXPECT_EQ(1, m_compiles);
}

TEST_F(RetryingDatabaseTest, RolledBackTransactionLeavesNothingBehind)
{
    m_db.BeginTransaction();
    m_db.Execute("insert into t values(1);");
    m_db.RollbackTransaction();
    m_db.BeginTransaction();
    m_db.Execute("insert into t values(2);");
    m_db.CommitTransaction();

    CRawConnection other(m_path);
    EXPECT_EQ("2", other.Scalar("select group_concat(a) from t;"));
}

TEST_F(RetryingDatabaseTest, RollbackWithoutTransactionFails)
{
    EXPECT_THROW(m_db.RollbackTransaction(), CppSQLiteException);
}

} // namespace
