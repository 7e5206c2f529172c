#include "CppSQLiteException.h"
#include "ErrorLog.h"
#include "ErrorLogFile.h"
#include "TestFolder.h"

#include <gtest/gtest.h>
#include <regex>
#include <string>

namespace {

const char kTimePattern[] = "(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) "
                            "[ 123]\\d \\d\\d:\\d\\d:\\d\\d \\d{4}";

struct TimeCase {
    SYSTEMTIME time;
    const char *expected;
};

class LogTime : public testing::TestWithParam<TimeCase> {};

TEST_P(LogTime, HasTheTwentyFourCharacterForm)
{
    CString text = FormatLogTime(GetParam().time);
    EXPECT_STREQ(GetParam().expected, text);
    EXPECT_EQ(24, text.GetLength());
}

// SYSTEMTIME: year, month, day of week, day, hour, minute, second, ms.
INSTANTIATE_TEST_SUITE_P(
    Dates, LogTime,
    testing::Values(TimeCase{{2005, 4, 5, 8, 22, 40, 20, 0}, "Fri Apr  8 22:40:20 2005"},
                    TimeCase{{2026, 12, 4, 10, 9, 5, 7, 0}, "Thu Dec 10 09:05:07 2026"},
                    TimeCase{{2023, 1, 0, 1, 0, 0, 0, 0}, "Sun Jan  1 00:00:00 2023"},
                    TimeCase{{2024, 2, 4, 29, 23, 59, 59, 999}, "Thu Feb 29 23:59:59 2024"},
                    TimeCase{{2021, 10, 6, 30, 12, 0, 1, 0}, "Sat Oct 30 12:00:01 2021"}));

TEST(LogTime, BuildTimeStampHasTheSameForm)
{
    EXPECT_TRUE(std::regex_match(__TIMESTAMP__, std::regex(kTimePattern))) << __TIMESTAMP__;
}

class ErrorLogTest : public testing::Test
{
protected:
    void SetUp() override { SetErrorLogFolder(m_folder.Path().c_str()); }

    CTestFolder m_folder;
};

TEST_F(ErrorLogTest, DatabaseErrorLineHasItsExactShape)
{
    const SourcePlace place = STORE_PLACE;
    LogDatabaseError(CppSQLiteException(19, "UNIQUE constraint failed: t.a"), place);

    std::vector<std::string> lines = ReadLogLines(m_folder.File("sqlite_err.log"));
    ASSERT_EQ(1u, lines.size());
    std::string expectedTail = std::string(",") + __FILE__ + "[" + __TIMESTAMP__ + "],line "
                               + std::to_string(place.line)
                               + ": 19:SQLITE_CONSTRAINT[19]UNIQUE constraint failed: t.a\r\n";
    ASSERT_GE(lines[0].size(), 24 + expectedTail.size());
    EXPECT_TRUE(std::regex_match(lines[0].substr(0, 24), std::regex(kTimePattern))) << lines[0];
    EXPECT_EQ(expectedTail, lines[0].substr(24));
}

TEST_F(ErrorLogTest, OtherErrorsGoToTheirOwnLogAndLinesAreAppended)
{
    LogOtherError(STORE_PLACE);
    LogOtherError(STORE_PLACE);
    LogDatabaseError(CppSQLiteException("Database not open"), STORE_PLACE);

    std::vector<std::string> other = ReadLogLines(m_folder.File("kv_err.log"));
    ASSERT_EQ(2u, other.size());
    for (const std::string &line : other)
        EXPECT_EQ(": error\r\n", line.substr(line.size() - 9)) << line;
    std::vector<std::string> database = ReadLogLines(m_folder.File("sqlite_err.log"));
    ASSERT_EQ(1u, database.size());
    EXPECT_EQ(": 1:Database not open\r\n", database[0].substr(database[0].size() - 23));
}

TEST_F(ErrorLogTest, MissingLastFolderIsMade)
{
    std::string path = m_folder.Path() + "logs\\sqlite_err.log";
    EXPECT_TRUE(WriteErrorLog(path.c_str(), "5:SQLITE_BUSY[5]", STORE_PLACE));
    EXPECT_EQ(1u, ReadLogLines(path).size());
}

TEST_F(ErrorLogTest, FolderThatCannotBeMadeWritesNothing)
{
    // A regular file stands where the folder's parent should be.
    std::string blocker = m_folder.File("plain");
    HANDLE file = CreateFileA(blocker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    CloseHandle(file);

    std::string path = blocker + "\\logs\\sqlite_err.log";
    EXPECT_FALSE(WriteErrorLog(path.c_str(), "x", STORE_PLACE));
    EXPECT_TRUE(ReadLogLines(path).empty());
    EXPECT_FALSE(WriteErrorLine(path.c_str(), "x", STORE_PLACE));
}

TEST_F(ErrorLogTest, LogThatCannotBeOpenedLosesTheLineQuietly)
{
    std::string path = m_folder.File("sqlite_err.log");
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    EXPECT_FALSE(WriteErrorLine(path.c_str(), "x", STORE_PLACE));
    EXPECT_TRUE(WriteErrorLog(path.c_str(), "x", STORE_PLACE));
    EXPECT_NO_THROW(LogDatabaseError(CppSQLiteException(1, "x"), STORE_PLACE));
}

TEST_F(ErrorLogTest, LogHeldOpenByAReaderStillTakesLines)
{
    std::string path = m_folder.File("sqlite_err.log");
    WriteErrorLine(path.c_str(), "first", STORE_PLACE);
    HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, reader);
    EXPECT_TRUE(WriteErrorLine(path.c_str(), "second", STORE_PLACE));
    CloseHandle(reader);
    EXPECT_EQ(2u, ReadLogLines(path).size());
}

TEST(ErrorLogFolder, IsTheProgramFolderUnlessSet)
{
    SetErrorLogFolder("");
    char program[MAX_PATH];
    GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder(program);
    folder.erase(folder.rfind('\\') + 1);
    EXPECT_STREQ(folder.c_str(), GetErrorLogFolder());
}

} // namespace
