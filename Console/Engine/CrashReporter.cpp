#include "CrashReporter.h"

#include <stdio.h>
#include <string.h>
#include <vector>

#include "PathText.h"

CCrashReporter g_crashReporter;
char CCrashReporter::s_toolPath[MAX_PATH];

namespace {

const char kToolFileName[] = "FaultSnap.exe";

std::string Join(const std::set<std::string> &names)
{
    std::string joined;
    for (const std::string &name : names) {
        if (!joined.empty())
            joined += ';';
        joined += name;
    }
    return joined;
}

std::string Switch(const char *key, const std::string &value)
{
    return std::string("/") + key + ":\"" + value + "\"";
}

} // namespace

// A key that is present keeps its first value.
void CCrashReporter::SetValue(LPCSTR key, LPCSTR value)
{
    if (!key)
        return;
    if (!value) {
        RemoveValue(key);
        return;
    }
    m_values.insert(std::make_pair(std::string(key), std::string(value)));
}

void CCrashReporter::RemoveValue(LPCSTR key)
{
    if (key)
        m_values.erase(key);
}

void CCrashReporter::SetHexValue(LPCSTR key, DWORD value)
{
    if (value == 0) {
        RemoveValue(key);
        return;
    }
    char text[16];
    sprintf(text, "0x%lx", static_cast<unsigned long>(value));
    SetValue(key, text);
}

std::string CCrashReporter::BuildCommandLine() const
{
    std::string line;
    for (const auto &setting : m_values) {
        if (setting.first != "files" && setting.first != "registries")
            line += " " + Switch(setting.first.c_str(), setting.second);
    }
    std::string files = Join(m_files);
    if (!files.empty())
        line += Switch("files", files);
    std::string registries = Join(m_registries);
    if (!registries.empty())
        line += Switch("registries", registries);
    return line;
}

bool CCrashReporter::FindTool(LPCSTR path)
{
    CString candidate = path ? CString(path) : GetModuleDir(nullptr, false) + kToolFileName;
    s_toolPath[0] = '\0';
    // The tool path holds 260 characters; a longer one would name another file.
    if (candidate.GetLength() >= MAX_PATH)
        return false;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(candidate, &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    lstrcpyA(s_toolPath, candidate);
    return true;
}

DWORD CCrashReporter::RunTool(const CCrashReporter &reporter, DWORD timeout)
{
    if (s_toolPath[0] == '\0')
        return CRASH_TOOL_MISSING;
    // CreateProcessA may write into the line, so it gets a buffer of its own.
    std::string text = reporter.BuildCommandLine();
    std::vector<char> line(text.begin(), text.end());
    line.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(s_toolPath, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return CRASH_TOOL_MISSING;
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, timeout);
    DWORD exitCode = CRASH_TOOL_MISSING;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    return exitCode;
}
