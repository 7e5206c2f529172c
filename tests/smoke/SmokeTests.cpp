// Proves the tool chain end to end under Wine: the program is the 32-bit build
// (running under WoW64 where the run expects it), the SQL engine writes and
// reads a file, loopback TCP works, and a named mapping is shared with a
// second process.
#include <winsock2.h>
#include <windows.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <cstring>
#include <string>

namespace {

const char kChildSwitch[] = "--write-mapping";
const char kChildText[] = "written by the child";

std::string TempPath(const char *name)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

// Child mode: open the named mapping and leave a text in it.
int WriteMapping(const char *name)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    if (!mapping)
        return 2;
    void *view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0);
    if (!view)
        return 3;
    memcpy(view, kChildText, sizeof kChildText);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
    return 0;
}

// The product is 32-bit. Only a machine that runs no 32-bit code at all
// tests the 64-bit build instead, and the run's route line says so.
TEST(Smoke, TheProgramIs32Bit)
{
    if (sizeof(void *) == 8)
        GTEST_SKIP() << "the 64-bit build: this machine cannot run the 32-bit programs";
    EXPECT_EQ(4u, sizeof(void *));
}

// QFW_EXPECT_WOW64=1: the run's Wine is a 64-bit one that runs this program
// through WoW64; otherwise a 32-bit Wine runs it natively.
TEST(Smoke, WoW64IsWhatTheRunExpects)
{
    char expect[8] = "";
    GetEnvironmentVariableA("QFW_EXPECT_WOW64", expect, sizeof expect);
    BOOL wow64 = FALSE;
    ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
    EXPECT_EQ(strcmp(expect, "1") == 0, wow64 != FALSE);
}

TEST(Smoke, SqliteWritesAndReadsAFile)
{
    std::string path = TempPath("qfw-smoke.db");
    DeleteFileA(path.c_str());

    sqlite3 *db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db, "CREATE TABLE t(a INTEGER, b TEXT);"
                                          "INSERT INTO t VALUES(42, 'forty-two');",
                                      nullptr, nullptr, nullptr));
    sqlite3_close(db);

    ASSERT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &db));
    sqlite3_stmt *stmt = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, "SELECT a, b FROM t", -1, &stmt, nullptr));
    ASSERT_EQ(SQLITE_ROW, sqlite3_step(stmt));
    EXPECT_EQ(42, sqlite3_column_int(stmt, 0));
    EXPECT_STREQ("forty-two", reinterpret_cast<const char *>(sqlite3_column_text(stmt, 1)));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(Smoke, LoopbackTcpCarriesBytes)
{
    WSADATA wsa;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &wsa));

    SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_NE(INVALID_SOCKET, listener);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr));
    ASSERT_EQ(0, listen(listener, 1));
    int len = sizeof addr;
    ASSERT_EQ(0, getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len));
    EXPECT_NE(0, ntohs(addr.sin_port));

    SOCKET client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_EQ(0, connect(client, reinterpret_cast<sockaddr *>(&addr), sizeof addr));
    SOCKET server = accept(listener, nullptr, nullptr);
    ASSERT_NE(INVALID_SOCKET, server);

    const char message[] = "hello over loopback";
    ASSERT_EQ(int(sizeof message), send(client, message, sizeof message, 0));
    char received[sizeof message] = {};
    int got = 0;
    while (got < int(sizeof message)) {
        int n = recv(server, received + got, sizeof received - got, 0);
        ASSERT_GT(n, 0);
        got += n;
    }
    EXPECT_STREQ(message, received);

    closesocket(server);
    closesocket(client);
    closesocket(listener);
    WSACleanup();
}

TEST(Smoke, NamedMappingIsSharedWithASecondProcess)
{
    char name[64];
    wsprintfA(name, "qfw-smoke-mapping-%lu", GetCurrentProcessId());
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, name);
    ASSERT_NE(nullptr, mapping);
    char *view = static_cast<char *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ASSERT_NE(nullptr, view);

    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" " + kChildSwitch + " " + name;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(pi.hProcess, 60000));
    DWORD exitCode = 1;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    EXPECT_EQ(0u, exitCode);
    EXPECT_STREQ(kChildText, view);
    UnmapViewOfFile(view);
    CloseHandle(mapping);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], kChildSwitch) == 0)
        return WriteMapping(argv[2]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
