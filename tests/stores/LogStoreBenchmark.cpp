// How many rows a second the connection log store adds on this machine, one
// AddLog per finished connection as the traffic monitor page adds them.
//   LogStoreBenchmark [rows]
#include "ErrorLog.h"
#include "ProgramLogs.h"

#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char **argv)
{
    const int rows = argc > 1 ? atoi(argv[1]) : 500;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string folder = std::string(temp) + "qfw-log-bench-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    SetErrorLogFolder(folder.c_str());
    const std::string path = folder + "ProgramLogs.dat";

    int added = 0;
    LARGE_INTEGER frequency, start, end;
    {
        CProgramLogs store;
        if (!store.Open(path.c_str()))
        {
            fprintf(stderr, "cannot open %s\n", path.c_str());
            return 1;
        }
        LogRecord log;
        log.Path = "C:\\Program Files\\Browser\\browser.exe";
        log.WebSite = "www.example.com";
        log.RemoteIP = 0x5DB8D822;
        log.RemotePort = 443;
        QueryPerformanceFrequency(&frequency);
        QueryPerformanceCounter(&start);
        for (int i = 0; i < rows; i++)
        {
            log.PID = static_cast<DWORD>(i % 40 + 1);
            log.LocalPort = static_cast<WORD>(49152 + i % 1000);
            log.StartTime = static_cast<DWORD>(1773417600 + i);
            log.EndTime = log.StartTime + 3;
            if (store.AddLog(log) != 0)
                added++;
        }
        QueryPerformanceCounter(&end);
    }
    const double seconds = static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
    printf("%d of %d rows added in %.3f s: %.0f rows per second (%.2f ms per row)\n", added, rows, seconds,
           added / seconds, seconds * 1000 / rows);

    DeleteFileA(path.c_str());
    DeleteFileA((folder + "sqlite_err.log").c_str());
    RemoveDirectoryA(folder.c_str());
    return added == rows ? 0 : 1;
}
