// The shared connection table as the provider creates it, emptied, for page
// tests that play the provider.
#pragma once

#include "SessionRecord.h"

#include <windows.h>

#include <cstring>

class CSharedTable {
public:
    CSharedTable()
    {
        m_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, SESSION_TABLE_SIZE,
                                       SESSION_TABLE_NAME);
        m_records = static_cast<SessionRecord *>(MapViewOfFile(m_mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        memset(m_records, 0, SESSION_TABLE_SIZE);
    }
    ~CSharedTable()
    {
        UnmapViewOfFile(m_records);
        CloseHandle(m_mapping);
    }
    CSharedTable(const CSharedTable &) = delete;
    CSharedTable &operator=(const CSharedTable &) = delete;

    SessionRecord *Records() const { return m_records; }

private:
    HANDLE m_mapping;
    SessionRecord *m_records;
};
