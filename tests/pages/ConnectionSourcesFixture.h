// Tables of the test's own for the traffic monitor's handling to read the
// posted indexes from: the shared connection table (as the provider makes
// it, emptied), a few driver table-1 entries, table 2's polled part and a
// ring of driver events. While an instance lives, kFixtureSources reads it.
#pragma once

#include "ConnectionEvents.h"
#include "SharedSessionTable.h"

class CConnectionSourcesFixture {
public:
    enum { TABLE1_ENTRIES = 8 };

    CConnectionSourcesFixture() { Current() = this; }
    ~CConnectionSourcesFixture() { Current() = nullptr; }
    CConnectionSourcesFixture(const CConnectionSourcesFixture &) = delete;
    CConnectionSourcesFixture &operator=(const CConnectionSourcesFixture &) = delete;

    SessionRecord *Sessions() const { return m_table.Records(); }

    DriverTableRecord Table1[TABLE1_ENTRIES] = {};
    DWORD Table1Count = 0;
    DriverTableRecord Table2[DRIVER_TABLE2_POLLED] = {};
    DriverQueueRecord Ring[DRIVER_RING_ENTRIES] = {};

    static CConnectionSourcesFixture *&Current()
    {
        static CConnectionSourcesFixture *current = nullptr;
        return current;
    }

private:
    CSharedTable m_table;
};

// The accessors the console takes from the poller, over the live fixture.
const ConnectionSources kFixtureSources = {
    [] { return CConnectionSourcesFixture::Current()->Sessions(); },
    []() -> DWORD { return SESSION_RECORD_COUNT; },
    [](DWORD index) -> DriverTableRecord * {
        return index < CConnectionSourcesFixture::TABLE1_ENTRIES ? &CConnectionSourcesFixture::Current()->Table1[index]
                                                                : nullptr;
    },
    [] { return CConnectionSourcesFixture::Current()->Table1Count; },
    [](DWORD index) { return &CConnectionSourcesFixture::Current()->Table2[index]; },
    [](int index) -> const DriverQueueRecord * { return &CConnectionSourcesFixture::Current()->Ring[index]; },
};
