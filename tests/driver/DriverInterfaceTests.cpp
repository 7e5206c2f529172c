// The driver functions against the emulated device: what each one sends,
// what it returns, and what happens without a driver.
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>
#include "Address32.h"
#include "DriverCalls.h"
#include "DriverInterface.h"
#include "NetvaneFixture.h"

namespace {

struct WrapperCase {
    const char *Name;
    DWORD Code;
    std::vector<BYTE> Input;
    std::function<DWORD_PTR()> Call;
};

std::vector<WrapperCase> WrapperCases()
{
    static char out[16];
    static DriverQueueView queue;
    static DriverTableView tables;
    return {
        {"DriverAddPort", IOCTL_NETVANE_ADD_PORT, {0x90, 0x1F}, [] { return DriverAddPort(0x1F90); }},
        {"DriverRemovePort", IOCTL_NETVANE_REMOVE_PORT, {0x50, 0x00},
         [] { return DriverRemovePort(80); }},
        {"DriverStartEvents", IOCTL_NETVANE_START_EVENTS, {}, [] { return DriverStartEvents(); }},
        {"DriverSetAclReady", IOCTL_NETVANE_SET_ACL_READY, {1, 0, 0, 0},
         [] { return DriverSetAclReady(1); }},
        {"DriverGetQueueView", IOCTL_NETVANE_GET_QUEUE, {}, [] { return DriverGetQueueView(&queue); }},
        {"DriverGetTableView", IOCTL_NETVANE_GET_TABLES, {},
         [] { return DriverGetTableView(&tables); }},
        {"DriverTick", IOCTL_NETVANE_TICK, {0, 0, 0, 0}, [] { return DriverTick(); }},
        {"DriverGetNameList", IOCTL_NETVANE_GET_NAME_LIST, {},
         [] { return DWORD_PTR(DriverGetNameList() != 0); }},
        {"DriverLookupName", IOCTL_NETVANE_LOOKUP_NAME, {0x01, 0x00, 0xA8, 0xC0},
         [] { return DriverLookupName(0xC0A80001, out, sizeof out); }},
        {"DriverSendBuffer", IOCTL_NETVANE_SEND_BUFFER, {'x', 'y', 'z'},
         [] { return DriverSendBuffer("xyz", 3); }},
        {"DriverReadBuffer", IOCTL_NETVANE_READ_BUFFER, {},
         [] { return DWORD_PTR(DriverReadBuffer(out, sizeof out)); }},
        {"DriverQueryString", IOCTL_NETVANE_QUERY_STRING, {'a', 'b', 'c', 0},
         [] { return DWORD_PTR(DriverQueryString("abc")); }},
        {"CreateDriverBlock", IOCTL_NETVANE_CREATE_BLOCK, {0x00, 0x10, 0x00, 0x00},
         [] {
             return reinterpret_cast<DWORD_PTR>(
                 CreateDriverBlock(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096, "block"));
         }},
        {"DriverIoctlDword", IOCTL_NETVANE_BLOCK_CONTROL, {2, 0, 0, 0},
         [] { return DWORD_PTR(DriverIoctlDword(OpenDriver(), IOCTL_NETVANE_BLOCK_CONTROL, 2)); }},
    };
}

using DriverInterface = CNetvaneFixture;

TEST_F(DriverInterface, EachWrapperSendsItsCodeAndInput)
{
    for (const WrapperCase &c : WrapperCases()) {
        SCOPED_TRACE(c.Name);
        c.Call();
        std::vector<NetvaneCall> calls = OwnCalls();
        ASSERT_FALSE(calls.empty());
        const NetvaneCall &last = calls.back();
        EXPECT_EQ(c.Code, last.Code);
        EXPECT_EQ(c.Input.size(), last.InputSize);
        EXPECT_EQ(c.Input, InputOf(last));
        EXPECT_TRUE(last.Succeeded);
    }
}

TEST_F(DriverInterface, EachWrapperReturnsZeroWhenTheDriverRefuses)
{
    for (const WrapperCase &c : WrapperCases()) {
        SCOPED_TRACE(c.Name);
        ASSERT_TRUE(NetvaneFailCode(c.Code, ERROR_GEN_FAILURE));
        EXPECT_EQ(0u, c.Call());
        ASSERT_TRUE(NetvaneFailCode(c.Code, 0));
    }
}

TEST_F(DriverInterface, OpensTheDeviceOnceWithItsOwnArguments)
{
    HANDLE first = OpenDriver();
    ASSERT_NE(nullptr, first);
    EXPECT_EQ(first, OpenDriver());
    std::vector<NetvaneCall> calls = OwnCalls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(NETVANE_OPEN, calls[0].Code);
    const DWORD expected[4] = {GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW, FILE_ATTRIBUTE_NORMAL};
    ASSERT_EQ(sizeof expected, calls[0].InputSize);
    EXPECT_EQ(0, memcmp(expected, calls[0].Input, sizeof expected));
}

TEST_F(DriverInterface, AFailedOpenIsTriedAgainByTheNextCall)
{
    ASSERT_TRUE(NetvaneFailCode(NETVANE_OPEN, ERROR_ACCESS_DENIED));
    EXPECT_EQ(nullptr, OpenDriver());
    EXPECT_EQ(nullptr, OpenDriver());
    EXPECT_FALSE(DriverTick());
    ASSERT_TRUE(NetvaneFailCode(NETVANE_OPEN, 0));
    EXPECT_NE(nullptr, OpenDriver());
    EXPECT_EQ(4u, OwnCallCount(NETVANE_OPEN));
    EXPECT_EQ(0u, OwnCallCount(IOCTL_NETVANE_TICK));
}

TEST_F(DriverInterface, FlagsReachTheDriver)
{
    EXPECT_TRUE(DriverSetAclReady(1));
    EXPECT_TRUE(DriverStartEvents());
    EXPECT_TRUE(DriverTick());
    EXPECT_TRUE(DriverTick());
    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(1u, status.AclReady);
    EXPECT_EQ(1u, status.EventsStarted);
    EXPECT_EQ(2u, status.Ticks);
    EXPECT_TRUE(DriverSetAclReady(0));
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(0u, status.AclReady);
}

TEST_F(DriverInterface, ReadBufferReturnsTheBytesTheDriverGave)
{
    ASSERT_TRUE(NetvaneSetReadData("hello", 5));
    char buffer[8] = {};
    EXPECT_EQ(5u, DriverReadBuffer(buffer, sizeof buffer));
    EXPECT_EQ(0, memcmp("hello", buffer, 5));
    char small[3] = {};
    EXPECT_EQ(3u, DriverReadBuffer(small, sizeof small));
    EXPECT_EQ(0, memcmp("hel", small, 3));
}

TEST_F(DriverInterface, QueryStringReturnsTheDriversValue)
{
    EXPECT_EQ(5u, DriverQueryString("hello"));
    EXPECT_EQ(0u, DriverQueryString(""));
    EXPECT_EQ(1u, OwnCalls().back().InputSize); // the NUL alone
}

TEST_F(DriverInterface, LookupNameIsAlwaysTerminatedWithinTheBuffer)
{
    ASSERT_TRUE(NetvaneAddName(0x0A000001, "example.org"));
    ASSERT_TRUE(NetvaneAddName(0x0A000002, "ab"));
    struct Case {
        DWORD Address;
        DWORD Size;
        const char *Expected;
    } cases[] = {
        {0x0A000001, 1, ""},     {0x0A000001, 2, "e"},   {0x0A000001, 4, "exa"},
        {0x0A000001, 5, "exam"}, {0x0A000001, 16, "exam"}, {0x0A000002, 16, "ab"},
        {0x0A000003, 16, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.Address << " size " << std::dec << c.Size);
        char buffer[17];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_TRUE(DriverLookupName(c.Address, buffer, c.Size));
        EXPECT_STREQ(c.Expected, buffer);
        EXPECT_EQ('x', buffer[c.Size]); // nothing written past the buffer
    }
    char untouched = 'x';
    EXPECT_FALSE(DriverLookupName(0x0A000001, &untouched, 0));
    EXPECT_EQ('x', untouched);
}

TEST_F(DriverInterface, NameListIsAChainAskedForOnce)
{
    ASSERT_TRUE(NetvaneAddName(0xC0A80001, "router"));
    ASSERT_TRUE(NetvaneAddName(0x08080808, "dns.example"));
    DWORD list = DriverGetNameList();
    ASSERT_NE(0u, list);
    EXPECT_EQ(list, DriverGetNameList());
    EXPECT_EQ(1u, OwnCallCount(IOCTL_NETVANE_GET_NAME_LIST));

    std::vector<std::pair<DWORD, std::string>> entries;
    for (DWORD entry = list; entry && entries.size() < 10;
         entry = *DwordToAddress<DWORD>(entry))
        entries.emplace_back(DwordToAddress<DWORD>(entry)[1], DwordToAddress<char>(entry) + 8);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ(0xC0A80001u, entries[0].first);
    EXPECT_EQ("router", entries[0].second);
    EXPECT_EQ(0x08080808u, entries[1].first);
    EXPECT_EQ("dns.example", entries[1].second);
}

TEST_F(DriverInterface, AnEmptyNameListIsAskedForAgain)
{
    EXPECT_EQ(0u, DriverGetNameList());
    ASSERT_TRUE(NetvaneAddName(0xC0A80001, "router"));
    EXPECT_NE(0u, DriverGetNameList());
    EXPECT_EQ(2u, OwnCallCount(IOCTL_NETVANE_GET_NAME_LIST));
}

// Without the service key there is no device.
class NoDriverInstalled : public CNetvaneFixture {
protected:
    NoDriverInstalled() : CNetvaneFixture(false) {}
};

TEST_F(NoDriverInstalled, EveryWrapperReturnsZeroAndOpenIsTriedEachTime)
{
    std::vector<WrapperCase> cases = WrapperCases();
    for (const WrapperCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(0u, c.Call());
    }
    EXPECT_EQ(nullptr, MapDriverBlock(nullptr, FILE_MAP_WRITE, 0, 0, 0, 1));
    EXPECT_FALSE(DriverIoctlDword(INVALID_HANDLE_VALUE, IOCTL_NETVANE_FREE_BLOCK, 0));

    std::vector<NetvaneCall> calls = OwnCalls();
    ASSERT_GE(calls.size(), cases.size());
    for (const NetvaneCall &call : calls) {
        EXPECT_EQ(NETVANE_OPEN, call.Code);
        EXPECT_FALSE(call.Succeeded);
        EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), call.Error);
    }
}

TEST_F(NoDriverInstalled, TheDeviceAppearsWithTheServiceKey)
{
    EXPECT_EQ(nullptr, OpenDriver());
    ASSERT_TRUE(NetvaneInstallService());
    EXPECT_NE(nullptr, OpenDriver());
}

} // namespace
