// Collects what a crash report should carry and starts the external
// crash-dump tool FaultSnap.exe with it as the command line.
#pragma once

#include <windows.h>
#include <map>
#include <set>
#include <string>

enum CrashToolExit {
    CRASH_TOOL_MISSING = 1023,    // the tool could not be started
    CRASH_CONTINUE_SEARCH = 1024, // the tool asks to let the exception go on
};

class CCrashReporter
{
public:
    void SetValue(LPCSTR key, LPCSTR value);
    void RemoveValue(LPCSTR key);
    void SetHexValue(LPCSTR key, DWORD value);

    void SetIniFile(LPCSTR path) { SetValue("inifile", path); }
    void SetPid(DWORD pid) { SetHexValue("pid", pid); }
    void SetTid(DWORD tid) { SetHexValue("tid", tid); }
    void SetExcp(DWORD address) { SetHexValue("excp", address); }
    void SetDumpType(DWORD type) { SetHexValue("DumpType", type); }
    void SetIgnoreFilesInConfig(bool ignore) { SetHexValue("IgnoreFilesInConfig", ignore ? 1 : 0); }
    void SetIgnoreRegsInConfig(bool ignore) { SetHexValue("IgnoreRegsInConfig", ignore ? 1 : 0); }

    void AddFile(LPCSTR name) { m_files.insert(name); }
    void RemoveFile(LPCSTR name) { m_files.erase(name); }
    void AddRegistry(LPCSTR key) { m_registries.insert(key); }
    void RemoveRegistry(LPCSTR key) { m_registries.erase(key); }

    std::string BuildCommandLine() const;

    // path: the tool, or null for FaultSnap.exe beside the program.
    static bool FindTool(LPCSTR path);
    static LPCSTR GetToolPath() { return s_toolPath; }
    // Waits up to timeout milliseconds; the tool's exit code.
    static DWORD RunTool(const CCrashReporter &reporter, DWORD timeout);

private:
    std::map<std::string, std::string> m_values;
    std::set<std::string> m_files;
    std::set<std::string> m_registries;

    static char s_toolPath[MAX_PATH];
};

extern CCrashReporter g_crashReporter;
