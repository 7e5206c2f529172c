// How many rows a second the connection log store adds on this machine:
// one AddLog per finished connection, and passes of 10 and 100 rows through
// AddLogsOfPass, each into a fresh file. Then a writer process adding rows
// is killed mid-run, and the rows it was told were stored are read back.
// A measuring program, not a test:
//   LogStoreBenchmark [folder]
// The folder (with its trailing backslash) keeps the killed writer's file
// for a look with other tools (log-store-benchmark.sh reads it with the
// sqlite3 shell); without one a temporary folder is used and removed.
//   LogStoreBenchmark --writer <file> <mapping name>   (the writer itself)
#include <BenchmarkClock.h>
#include "ErrorLog.h"
#include "ProgramLogs.h"

#include <windows.h>
#include <sqlite3.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int kSingleRows = 1000;
const int kPassRows = 2000;

LogRecord Row(int i)
{
    LogRecord log;
    log.Path = "C:\\Program Files\\Browser\\browser.exe";
    log.WebSite = "www.example.com";
    log.RemoteIP = 0x5DB8D822;
    log.RemotePort = 443;
    log.Direction = 1;
    log.Protocol = 1;
    log.PID = static_cast<DWORD>(i % 40 + 1);
    log.LocalPort = static_cast<WORD>(49152 + i % 1000);
    log.StartTime = static_cast<DWORD>(1773417600 + i);
    log.EndTime = log.StartTime + 3;
    log.InCount = 5000;
    log.OutCount = 700;
    return log;
}

void RemoveDatabase(const std::string &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        DeleteFileA((path + suffix).c_str());
}

// Rows a second for passes of the size (1: one AddLog per row).
double Measure(const std::string &path, int passSize, int rows)
{
    RemoveDatabase(path);
    CProgramLogs store;
    if (!store.Open(path.c_str()))
        return 0;
    int added = 0;
    double start = Seconds();
    if (passSize == 1) {
        for (int i = 0; i < rows; i++)
            added += store.AddLog(Row(i)) != 0;
    } else {
        std::vector<LogRecord> pass;
        for (int i = 0; i < rows; i += passSize) {
            pass.clear();
            for (int j = 0; j < passSize; j++)
                pass.push_back(Row(i + j));
            if (store.AddLogsOfPass(pass))
                added += passSize;
        }
    }
    double seconds = Seconds() - start;
    return added == rows ? rows / seconds : 0;
}

// What one sync of a small append costs on this disk: the least that a
// commit that survives a power loss can cost, a single row's floor.
double SyncMicros(const std::string &folder)
{
    const std::string path = folder + "sync-probe.tmp";
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 0;
    const int syncs = 100;
    char page[4096] = {};
    DWORD written = 0;
    double start = Seconds();
    for (int i = 0; i < syncs; i++) {
        WriteFile(file, page, sizeof page, &written, nullptr);
        FlushFileBuffers(file);
    }
    double micros = (Seconds() - start) * 1e6 / syncs;
    CloseHandle(file);
    DeleteFileA(path.c_str());
    return micros;
}

// The writer: adds rows one by one until it is killed, and after each
// addition that reported success publishes the row's ID.
int RunWriter(const char *path, const char *mappingName)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, mappingName);
    volatile LONG *committed = mapping ? static_cast<volatile LONG *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0))
                                       : nullptr;
    CProgramLogs store;
    if (!committed || !store.Open(path))
        return 1;
    for (int i = 0;; i++) {
        DWORD id = store.AddLog(Row(i));
        if (id != 0)
            InterlockedExchange(committed, static_cast<LONG>(id));
    }
}

std::string Scalar(sqlite3 *db, const char *sql)
{
    sqlite3_stmt *statement = nullptr;
    std::string value = "<error>";
    if (sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
        value = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return value;
}

// Kills a writer after it has stored a few hundred rows; true when every
// row it was told was stored reads back and the file is sound.
bool KillWriterMidRun(const std::string &path)
{
    RemoveDatabase(path);
    const std::string mappingName = "qfw-log-bench-" + std::to_string(GetCurrentProcessId());
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, mappingName.c_str());
    volatile LONG *committed = static_cast<volatile LONG *>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" --writer \"" + path + "\" " + mappingName;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!committed || !CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                      &process)) {
        fprintf(stderr, "cannot start the writer\n");
        return false;
    }
    for (int waited = 0; *committed < 300 && waited < 30000; waited += 10)
        if (WaitForSingleObject(process.hProcess, 10) == WAIT_OBJECT_0)
            break;
    TerminateProcess(process.hProcess, 9);
    WaitForSingleObject(process.hProcess, INFINITE);
    const LONG stored = *committed;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    sqlite3 *db = nullptr;
    sqlite3_open(path.c_str(), &db);
    const std::string query = "select count(*) from ProgramLogs where ID<=" + std::to_string(stored) + ";";
    const std::string readBack = Scalar(db, query.c_str());
    const std::string all = Scalar(db, "select count(*) from ProgramLogs;");
    const std::string integrity = Scalar(db, "pragma integrity_check;");
    sqlite3_close(db);
    printf("killed writer: %ld rows reported stored before the kill, %s of them read back (%s rows in the file), "
           "integrity %s\n",
           static_cast<long>(stored), readBack.c_str(), all.c_str(), integrity.c_str());
    printf("killed writer file: %s committed %ld\n", path.c_str(), static_cast<long>(stored));
    UnmapViewOfFile(const_cast<LONG *>(committed));
    CloseHandle(mapping);
    return stored > 0 && readBack == std::to_string(stored) && integrity == "ok";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && strcmp(argv[1], "--writer") == 0)
        return RunWriter(argv[2], argv[3]);

    const bool keep = argc > 1;
    std::string folder;
    if (keep) {
        folder = argv[1];
    } else {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder = std::string(temp) + "qfw-log-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    SetErrorLogFolder(folder.c_str());
    const std::string path = folder + "ProgramLogs.dat";

    const double single = Measure(path, 1, kSingleRows);
    const double tens = Measure(path, 10, kPassRows);
    const double hundreds = Measure(path, 100, kPassRows);
    printf("one sync of a 4 KB append on this disk: %.0f us\n", SyncMicros(folder));
    printf("single rows      %8.0f rows per second (%d rows)\n", single, kSingleRows);
    printf("passes of 10     %8.0f rows per second (%d rows)\n", tens, kPassRows);
    printf("passes of 100    %8.0f rows per second (%d rows)\n", hundreds, kPassRows);
    const bool survived = KillWriterMidRun(path);

    if (!keep) {
        RemoveDatabase(path);
        DeleteFileA((folder + "sqlite_err.log").c_str());
        RemoveDirectoryA(folder.c_str());
    }
    return single > 0 && tens > 0 && hundreds > 0 && survived ? 0 : 1;
}
