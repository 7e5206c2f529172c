// Helpers for the tests that load QFW.DLL: its shared sections as seen in
// this process, the connection table as the console sees it, and child
// processes of the test program.
#pragma once

#include <windows.h>
#include <cstring>
#include <string>
#include "SessionRecord.h"

// The start of a section of a loaded module, or null.
template <class T>
T *ModuleSection(HMODULE module, const char *name)
{
    BYTE *base = reinterpret_cast<BYTE *>(module);
    IMAGE_NT_HEADERS *headers =
        reinterpret_cast<IMAGE_NT_HEADERS *>(base + reinterpret_cast<IMAGE_DOS_HEADER *>(base)->e_lfanew);
    IMAGE_SECTION_HEADER *section = IMAGE_FIRST_SECTION(headers);
    for (WORD i = 0; i < headers->FileHeader.NumberOfSections; ++i, ++section) {
        if (strncmp(reinterpret_cast<const char *>(section->Name), name, IMAGE_SIZEOF_SHORT_NAME) == 0)
            return reinterpret_cast<T *>(base + section->VirtualAddress);
    }
    return nullptr;
}

// A view of the existing connection table, as the console opens it.
class CTableView {
public:
    CTableView()
    {
        m_mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, SESSION_TABLE_NAME);
        if (m_mapping)
            m_records = static_cast<SessionRecord *>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, 0));
    }
    ~CTableView()
    {
        if (m_records)
            UnmapViewOfFile(m_records);
        if (m_mapping)
            CloseHandle(m_mapping);
    }
    CTableView(const CTableView &) = delete;
    CTableView &operator=(const CTableView &) = delete;

    bool IsOpen() const { return m_records != nullptr; }
    SessionRecord &operator[](int index) { return m_records[index]; }

    // The newest record of (process, socket), closed ones included; null when none.
    SessionRecord *Find(DWORD processId, DWORD socket)
    {
        SessionRecord *found = nullptr;
        for (int i = 0; m_records && i < SESSION_RECORD_COUNT; ++i) {
            SessionRecord &record = m_records[i];
            if (record.ProcessId == processId && record.Socket == socket &&
                (!found || record.StartTime >= found->StartTime))
                found = &record;
        }
        return found;
    }

private:
    HANDLE m_mapping = nullptr;
    SessionRecord *m_records = nullptr;
};

inline std::string TestProgramPath()
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    return self;
}

inline std::string TestFolder()
{
    std::string path = TestProgramPath();
    return path.substr(0, path.find_last_of('\\') + 1);
}

// Starts a program of the test folder with the arguments; the process
// handle, or null. The caller closes it.
inline HANDLE StartProgram(const std::string &program, const std::string &arguments)
{
    std::string command = "\"" + program + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

// Waits for the process and closes its handle: its exit code, or -1.
inline int WaitForExit(HANDLE process)
{
    if (!process)
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process, 60000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return static_cast<int>(code);
}
