#include "SqliteDatabase.h"

#include "CppSQLiteException.h"
#include "EveryoneAccessVfs.h"
#include "SqliteFailure.h"

#include <sqlite3.h>
#include <windows.h>
#include <string>
#include <utility>
#include <vector>

namespace {

// Paths are ANSI text in the system code page; the engine wants UTF-8.
std::string AnsiToUtf8(const char *text)
{
    int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (wideLength <= 0)
        return std::string();
    std::vector<wchar_t> wide(wideLength);
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), wideLength);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::vector<char> utf8(length);
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), -1, utf8.data(), length, nullptr, nullptr);
    return std::string(utf8.data());
}

// The engine opens lazily, so a damaged file or one that is not a database
// shows only at its first statement. Reading the schema tells it at once.
// A file that another connection holds locked is a database all the same.
int ProbeDatabase(sqlite3 *db)
{
    int result = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master;", nullptr, nullptr, nullptr);
    return (result == SQLITE_BUSY || result == SQLITE_LOCKED) ? SQLITE_OK : result;
}

[[noreturn]] void CloseAndThrowCantOpen(sqlite3 *db)
{
    std::string message = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    throw CppSQLiteException(SQLITE_CANTOPEN, message.c_str());
}

} // namespace

CSqliteDatabase::CSqliteDatabase() : m_db(nullptr)
{
}

CSqliteDatabase::~CSqliteDatabase()
{
    Close();
}

void CSqliteDatabase::Open(const char *path)
{
    Close();
    sqlite3 *db = nullptr;
    int result = sqlite3_open_v2(AnsiToUtf8(path ? path : "").c_str(), &db,
                                 SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                 EveryoneAccessVfsName());
    if (result != SQLITE_OK || ProbeDatabase(db) != SQLITE_OK)
        CloseAndThrowCantOpen(db);
    m_db = db;
}

void CSqliteDatabase::Close()
{
    if (m_db)
        sqlite3_close_v2(std::exchange(m_db, nullptr));
}

sqlite3_stmt *CSqliteDatabase::Compile(const char *sql)
{
    if (!m_db)
        throw CppSQLiteException("Database not open");
    sqlite3_stmt *statement = nullptr;
    int result = sqlite3_prepare_v2(m_db, sql ? sql : "", -1, &statement, nullptr);
    if (result != SQLITE_OK)
        throw CppSQLiteException(result, sqlite3_errmsg(m_db));
    return statement;   // null for a text without a statement
}

CSqliteQuery CSqliteDatabase::Query(const char *sql)
{
    sqlite3_stmt *statement = Compile(sql);
    if (!statement)
        return CSqliteQuery();
    int result = sqlite3_step(statement);
    if (result != SQLITE_ROW && result != SQLITE_DONE)
        FinalizeAndThrow(statement, result);
    return CSqliteQuery(statement, result == SQLITE_DONE);
}

int CSqliteDatabase::Execute(const char *sql)
{
    sqlite3_stmt *statement = Compile(sql);
    if (!statement)
        return 0;
    int result = sqlite3_step(statement);
    if (result != SQLITE_DONE)
        FinalizeAndThrow(statement, result);
    int changes = sqlite3_changes(m_db);
    result = sqlite3_finalize(statement);
    if (result != SQLITE_OK)
        throw CppSQLiteException(result, sqlite3_errmsg(m_db));
    return changes;
}
