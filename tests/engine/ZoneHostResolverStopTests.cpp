// Stopping the host-name resolver while its thread is caught in a lookup
// that does not come back: Stop returns all the same, and the thread, once
// its lookup ends, leaves the image as it was and looks nothing more up. A
// program of its own, since the thread starts once per process.
#include <gtest/gtest.h>

#include <winsock2.h>

#include "PublisherFixture.h"
#include "ZoneHostResolver.h"

namespace {

// A lookup that holds the thread until the test lets it go.
HANDLE g_entered;
HANDLE g_release;
HANDLE g_lookupThread;
volatile LONG g_lookups;

DWORD HeldLookup(LPCSTR)
{
    InterlockedIncrement(&g_lookups);
    if (!g_lookupThread)
        g_lookupThread = OpenThread(SYNCHRONIZE, FALSE, GetCurrentThreadId());
    SetEvent(g_entered);
    WaitForSingleObject(g_release, 60000);
    return 0x0A0A0A0A;
}

DWORD AddressOf(CAclPublisher &publisher, BOOL blocked, DWORD id)
{
    for (const ZoneEntry &entry : ZoneEntries(publisher, blocked))
        if (entry.ID == id)
            return entry.IP1;
    return 0xFFFFFFFF;
}

} // namespace

class CResolverStopTest : public CPublisherFixture {
protected:
    void SetUp() override
    {
        CPublisherFixture::SetUp();
        UseEmptyDatabases();
        m_first = StoreZone(FALSE, "First", ZONE_ENTRY_HOST, 0x01010101, 0x01010101, "first.test");
        m_second = StoreZone(FALSE, "Second", ZONE_ENTRY_HOST, 0x02020202, 0x02020202, "second.test");
        m_blocked = StoreZone(TRUE, "Blocked", ZONE_ENTRY_HOST, 0x03030303, 0x03030303, "blocked.test");
        BuildPublisher();
        g_entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        g_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_previous = CZoneHostResolver::SetHostLookup(HeldLookup);
    }
    void TearDown() override
    {
        SetEvent(g_release);
        if (g_lookupThread) {
            WaitForSingleObject(g_lookupThread, 60000);
            CloseHandle(g_lookupThread);
        }
        CZoneHostResolver::SetHostLookup(m_previous);
        CloseHandle(g_entered);
        CloseHandle(g_release);
        CPublisherFixture::TearDown();
    }

    DWORD m_first = 0, m_second = 0, m_blocked = 0;
    CZoneHostResolver::HostLookup m_previous = nullptr;
};

TEST_F(CResolverStopTest, StopDuringALookupThatDoesNotEndReturnsAndTheThreadWritesNothingMore)
{
    ASSERT_TRUE(CZoneHostResolver::Start(*m_publisher));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_entered, 30000)) << "the first lookup began";

    EXPECT_TRUE(CZoneHostResolver::Stop());
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(g_lookupThread, 0)) << "returned while the lookup still holds";
    EXPECT_EQ(1, g_lookups);

    // The lookup ends at last: the thread ends without storing its answer
    // or looking up the other names.
    SetEvent(g_release);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(g_lookupThread, 30000)) << "the thread ended on its own";
    EXPECT_EQ(1, g_lookups);
    EXPECT_EQ(0x01010101u, AddressOf(*m_publisher, FALSE, m_first));
    EXPECT_EQ(0x02020202u, AddressOf(*m_publisher, FALSE, m_second));
    EXPECT_EQ(0x03030303u, AddressOf(*m_publisher, TRUE, m_blocked));
}
