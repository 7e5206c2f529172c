// Runs with the time zone pinned to Asia/Shanghai (UTC+8, no daylight
// saving), so that the log page's day windows fall on known instants.
#include "CTime.h"
#include "ProgramLogs.h"
#include "StoreFolder.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace {

// 2026-03-14 00:00:00 in Shanghai.
const DWORD kDayStart = 1773417600;
const DWORD kDayEnd = kDayStart + 86399;   // 23:59:59

LogRecord Log(DWORD ruleId, DWORD start, DWORD end, BYTE action)
{
    LogRecord log;
    log.PID = ruleId;
    log.Path = "C:\\Program Files\\Browser\\browser.exe";
    log.Direction = 1;
    log.LocalPort = 49152;
    log.RemoteIP = 0x5DB8D822;
    log.WebSite = "www.example.com";
    log.RemotePort = 443;
    log.Protocol = 2;
    log.InCount = 5000;
    log.OutCount = 700;
    log.StartTime = start;
    log.EndTime = end;
    log.Action = action;
    return log;
}

void ExpectSameLog(const LogRecord &expected, const LogRecord &actual)
{
    EXPECT_EQ(expected.PID, actual.PID);
    EXPECT_STREQ(expected.Path, actual.Path);
    EXPECT_EQ(expected.Direction, actual.Direction);
    EXPECT_EQ(expected.LocalPort, actual.LocalPort);
    EXPECT_EQ(expected.RemoteIP, actual.RemoteIP);
    EXPECT_STREQ(expected.WebSite, actual.WebSite);
    EXPECT_EQ(expected.RemotePort, actual.RemotePort);
    EXPECT_EQ(expected.Protocol, actual.Protocol);
    EXPECT_EQ(expected.InCount, actual.InCount);
    EXPECT_EQ(expected.OutCount, actual.OutCount);
    EXPECT_EQ(expected.StartTime, actual.StartTime);
    EXPECT_EQ(expected.EndTime, actual.EndTime);
    EXPECT_EQ(expected.Action, actual.Action);
}

class LogStoreTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_path = m_folder.File("ProgramLogs.dat");
        ASSERT_TRUE(m_store.Open(m_path.c_str()));
    }

    std::vector<DWORD> Ids(DWORD from, DWORD to, DWORD ruleId, BYTE action)
    {
        std::vector<LogRecord> logs;
        EXPECT_TRUE(m_store.QueryLogs(from, to, ruleId, action, logs));
        std::vector<DWORD> ids;
        for (const LogRecord &log : logs)
            ids.push_back(log.ID);
        return ids;
    }

    std::vector<DWORD> AllOfTheDay() { return Ids(kDayStart, kDayEnd, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions); }

    CStoreFolder m_folder;
    std::string m_path;
    CProgramLogs m_store;
};

TEST_F(LogStoreTest, TheZoneIsPinned)
{
    EXPECT_EQ(kDayStart, static_cast<DWORD>(CTime(2026, 3, 14, 0, 0, 0).GetTime()))
        << "the test must run with TZ=Asia/Shanghai";
}

TEST_F(LogStoreTest, AFirstOpenMakesTheFileAndTheFirstIdIsOne)
{
    EXPECT_TRUE(m_folder.Exists("ProgramLogs.dat"));
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
    EXPECT_EQ(1u, m_store.AddLog(Log(3, kDayStart, kDayStart + 5, 0)));
}

TEST_F(LogStoreTest, EveryFieldReadsBackFromItsOwnColumn)
{
    LogRecord log = Log(7, kDayStart + 100, kDayStart + 160, 2);
    log.RemoteIP = 0xC0A80001;   // top bit set: stored as a negative number
    log.InCount = 123456;
    log.OutCount = 654;
    log.ID = 999;
    ASSERT_EQ(1u, m_store.AddLog(log));

    std::vector<LogRecord> logs;
    ASSERT_TRUE(m_store.QueryLogs(kDayStart, kDayEnd, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, logs));
    ASSERT_EQ(1u, logs.size());
    EXPECT_EQ(1u, logs[0].ID) << "the record's own ID is not used";
    ExpectSameLog(log, logs[0]);

    CRawConnection raw(m_path);
    EXPECT_EQ("-1062731775", raw.Scalar("select RemoteIP from ProgramLogs;"));
    EXPECT_EQ("123456", raw.Scalar("select InCount from ProgramLogs;"));
    EXPECT_EQ("654", raw.Scalar("select OutCount from ProgramLogs;"));
}

TEST_F(LogStoreTest, ASniffedTextCannotRewriteTheRow)
{
    LogRecord log = Log(4, kDayStart + 10, kDayStart + 20, 2);
    log.WebSite = "a',1,2,3,4,5,6,7,0);--";
    log.Path = "C:\\Users\\O'Brien\\mail.exe";
    ASSERT_EQ(1u, m_store.AddLog(log));

    std::vector<LogRecord> logs;
    ASSERT_TRUE(m_store.QueryLogs(kDayStart, kDayEnd, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, logs));
    ASSERT_EQ(1u, logs.size());
    ExpectSameLog(log, logs[0]);
}

TEST_F(LogStoreTest, FiltersByProgramAndAction)
{
    ASSERT_EQ(1u, m_store.AddLog(Log(3, kDayStart + 10, kDayStart + 20, 0)));
    ASSERT_EQ(2u, m_store.AddLog(Log(3, kDayStart + 30, kDayStart + 40, 2)));
    ASSERT_EQ(3u, m_store.AddLog(Log(5, kDayStart + 50, kDayStart + 60, 2)));
    ASSERT_EQ(4u, m_store.AddLog(Log(5, kDayStart + 70, kDayStart + 80, 1)));

    const DWORD all = CProgramLogs::kAllPrograms;
    const BYTE any = CProgramLogs::kAllActions;
    EXPECT_EQ((std::vector<DWORD>{1, 2, 3, 4}), Ids(kDayStart, kDayEnd, all, any));
    EXPECT_EQ((std::vector<DWORD>{2, 3}), Ids(kDayStart, kDayEnd, all, 2));
    EXPECT_EQ((std::vector<DWORD>{1}), Ids(kDayStart, kDayEnd, all, 0));
    EXPECT_EQ((std::vector<DWORD>{3, 4}), Ids(kDayStart, kDayEnd, 5, any));
    EXPECT_EQ((std::vector<DWORD>{2}), Ids(kDayStart, kDayEnd, 3, 2));
    EXPECT_EQ((std::vector<DWORD>{}), Ids(kDayStart, kDayEnd, 9, any));
}

TEST_F(LogStoreTest, AWindowHoldsWhatStartedAndEndedInIt)
{
    ASSERT_EQ(1u, m_store.AddLog(Log(1, kDayStart, kDayEnd, 0)));                 // both edges
    ASSERT_EQ(2u, m_store.AddLog(Log(1, kDayStart - 10, kDayStart + 10, 0)));      // began the day before
    ASSERT_EQ(3u, m_store.AddLog(Log(1, kDayEnd - 9, kDayEnd + 11, 0)));           // 23:59:50 to 00:00:10
    ASSERT_EQ(4u, m_store.AddLog(Log(1, kDayEnd + 20, kDayEnd + 30, 0)));          // the next day

    EXPECT_EQ((std::vector<DWORD>{1}), AllOfTheDay());
    EXPECT_EQ((std::vector<DWORD>{4}), Ids(kDayEnd + 1, kDayEnd + 86400, CProgramLogs::kAllPrograms,
                                           CProgramLogs::kAllActions));
    EXPECT_EQ((std::vector<DWORD>{1, 2, 3, 4}), Ids(kDayStart - 86400, kDayEnd + 86400,
                                                    CProgramLogs::kAllPrograms, CProgramLogs::kAllActions));

    ASSERT_TRUE(m_store.DeleteLogsByTime(kDayStart, kDayEnd));
    EXPECT_EQ((std::vector<DWORD>{2, 3, 4}), Ids(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms,
                                                 CProgramLogs::kAllActions));
}

TEST_F(LogStoreTest, Deletions)
{
    ASSERT_EQ(1u, m_store.AddLog(Log(1, kDayStart + 1, kDayStart + 2, 0)));
    ASSERT_EQ(2u, m_store.AddLog(Log(1, kDayStart + 3, kDayStart + 4, 0)));
    ASSERT_EQ(3u, m_store.AddLog(Log(1, kDayStart + 5, kDayStart + 6, 0)));

    EXPECT_TRUE(m_store.DeleteLog(2));
    EXPECT_TRUE(m_store.DeleteLog(42)) << "a missing ID changes nothing";
    EXPECT_EQ((std::vector<DWORD>{1, 3}), AllOfTheDay());

    EXPECT_TRUE(m_store.DeleteAllLogs());
    EXPECT_EQ((std::vector<DWORD>{}), AllOfTheDay());
    EXPECT_EQ(4u, m_store.AddLog(Log(1, kDayStart + 7, kDayStart + 8, 0))) << "IDs go on after the last one";
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
}

TEST_F(LogStoreTest, APassOfRowsIsStoredUnderConsecutiveIds)
{
    ASSERT_EQ(1u, m_store.AddLog(Log(1, kDayStart + 1, kDayStart + 2, 0)));
    std::vector<LogRecord> pass = {Log(2, kDayStart + 10, kDayStart + 11, 0),
                                   Log(3, kDayStart + 12, kDayStart + 13, 2),
                                   Log(4, kDayStart + 14, kDayStart + 15, 1)};
    pass[1].WebSite = "a',1,2,3,4,5,6,7,0);--";
    pass[2].RemoteIP = 0xC0A80001;
    ASSERT_TRUE(m_store.AddLogsOfPass(pass));
    EXPECT_EQ(5u, m_store.AddLog(Log(1, kDayStart + 20, kDayStart + 21, 0))) << "IDs go on after the pass";

    std::vector<LogRecord> logs;
    ASSERT_TRUE(m_store.QueryLogs(kDayStart, kDayEnd, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, logs));
    ASSERT_EQ(5u, logs.size());
    for (size_t i = 0; i < pass.size(); i++) {
        EXPECT_EQ(2 + i, logs[1 + i].ID);
        ExpectSameLog(pass[i], logs[1 + i]);
    }
    EXPECT_TRUE(m_store.AddLogsOfPass({})) << "an empty pass stores nothing";
    EXPECT_EQ(6u, m_store.AddLog(Log(1, kDayStart + 22, kDayStart + 23, 0)));
    EXPECT_EQ(0u, m_folder.DatabaseErrorLines());
}

// A row that cannot be stored fails its whole pass: none of its rows is
// stored and no ID is used up.
TEST_F(LogStoreTest, APassIsStoredWholeOrNotAtAll)
{
    {
        CRawConnection raw(m_path);
        ASSERT_EQ(SQLITE_OK, raw.Run("insert into ProgramLogs(ID) values(3);"));
    }
    std::vector<LogRecord> pass = {Log(2, kDayStart + 10, kDayStart + 11, 0),
                                   Log(3, kDayStart + 12, kDayStart + 13, 0),
                                   Log(4, kDayStart + 14, kDayStart + 15, 0)};
    EXPECT_FALSE(m_store.AddLogsOfPass(pass)) << "the third row's ID is taken";
    EXPECT_EQ((std::vector<DWORD>{}), AllOfTheDay());
    EXPECT_EQ(1u, m_folder.DatabaseErrorLines());
    CRawConnection raw(m_path);
    EXPECT_EQ("0", raw.Scalar("select maxID from system where tablename='ProgramLogs';"));
    EXPECT_EQ("1", raw.Scalar("select count(*) from ProgramLogs;"));
}

// Rows survive a killed console and a power loss: the file is written
// ahead and synced in full at every commit.
TEST_F(LogStoreTest, TheFileIsKeptInWriteAheadMode)
{
    ASSERT_EQ(1u, m_store.AddLog(Log(1, kDayStart + 1, kDayStart + 2, 0)));
    CRawConnection raw(m_path);
    EXPECT_EQ("wal", raw.Scalar("pragma journal_mode;"));
    EXPECT_EQ("1", raw.Scalar("select count(*) from ProgramLogs;")) << "the committed row is there for others";
}

class LogStoreOpenTest : public testing::Test
{
protected:
    CStoreFolder m_folder;
};

// Two connections adding at once: each reads the last ID inside its own
// write transaction, so no two rows get the same ID and none is lost.
TEST_F(LogStoreOpenTest, TwoWritersNeverTakeTheSameId)
{
    const std::string path = m_folder.File("ProgramLogs.dat");
    const int rowsEach = 10;
    DWORD failures[2] = {};
    {
        CProgramLogs first;
        ASSERT_TRUE(first.Open(path.c_str()));
    }
    std::vector<std::thread> writers;
    for (int w = 0; w < 2; w++)
        writers.emplace_back([&, w] {
            CProgramLogs store;
            if (!store.Open(path.c_str()))
                failures[w] = rowsEach;
            for (int i = 0; i < rowsEach && failures[w] == 0; i++)
                if (store.AddLog(Log(w + 1, kDayStart + i, kDayStart + i, 0)) == 0)
                    failures[w]++;
        });
    for (std::thread &writer : writers)
        writer.join();
    EXPECT_EQ(0u, failures[0] + failures[1]);

    CRawConnection raw(path);
    EXPECT_EQ("20", raw.Scalar("select count(distinct ID) from ProgramLogs;"));
    EXPECT_EQ("20", raw.Scalar("select max(ID) from ProgramLogs;"));
    EXPECT_EQ("20", raw.Scalar("select maxID from system where tablename='ProgramLogs';"));
}


TEST_F(LogStoreOpenTest, ALaterOpenKeepsTheRowsAndLogsTheExistingTable)
{
    const std::string path = m_folder.File("ProgramLogs.dat");
    {
        CProgramLogs first;
        ASSERT_TRUE(first.Open(path.c_str()));
        ASSERT_EQ(1u, first.AddLog(Log(1, kDayStart + 1, kDayStart + 2, 0)));
    }
    CProgramLogs second;
    ASSERT_TRUE(second.Open(path.c_str()));
    ASSERT_EQ(1u, m_folder.DatabaseErrorLines());
    const std::string line = ReadLogLines(m_folder.File("sqlite_err.log")).at(0);
    EXPECT_NE(std::string::npos, line.find(": 1:SQLITE_ERROR[1]")) << line;

    EXPECT_EQ(2u, second.AddLog(Log(1, kDayStart + 3, kDayStart + 4, 0)));
    std::vector<LogRecord> logs;
    ASSERT_TRUE(second.QueryLogs(kDayStart, kDayEnd, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, logs));
    EXPECT_EQ(2u, logs.size());
}

TEST_F(LogStoreOpenTest, AFileThatIsNotADatabaseIsMovedAsideAndMadeAnew)
{
    const std::string garbage(5000, '\x7f');
    m_folder.WriteFile("ProgramLogs.date", "older");
    const std::string path = m_folder.WriteFile("ProgramLogs.dat", garbage);

    CProgramLogs store;
    ASSERT_TRUE(store.Open(path.c_str()));
    EXPECT_EQ(1u, store.AddLog(Log(1, kDayStart + 1, kDayStart + 2, 0)));
    EXPECT_EQ("older", m_folder.ReadFile("ProgramLogs.date"));
    EXPECT_EQ(garbage, m_folder.ReadFile("ProgramLogs.date2"));
}

TEST_F(LogStoreOpenTest, AFileThatCanBeNeitherReadNorMovedDoesNotOpen)
{
    const std::string path = m_folder.WriteFile("ProgramLogs.dat", std::string(5000, 'q'));
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);

    CProgramLogs store;
    EXPECT_FALSE(store.Open(path.c_str()));
    EXPECT_FALSE(m_folder.Exists("ProgramLogs.date"));
    EXPECT_EQ(0u, store.AddLog(Log(1, kDayStart + 1, kDayStart + 2, 0)));
    CloseHandle(held);
    EXPECT_EQ(std::string(5000, 'q'), m_folder.ReadFile("ProgramLogs.dat"));
}

} // namespace
