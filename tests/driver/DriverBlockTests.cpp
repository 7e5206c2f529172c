// The driver-backed block: its handle and address caches, the kept result
// of DriverIoctlDword, and one block seen by two processes.
#include <gtest/gtest.h>
#include <cstring>
#include "Address32.h"
#include "ChildProcess.h"
#include "DriverCalls.h"
#include "DriverInterface.h"
#include "DriverTestChildren.h"
#include "NetvaneFixture.h"

namespace {

HANDLE CreateBlock(DWORD size)
{
    return CreateDriverBlock(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, size,
                             "_QFW_MEMORY_ACL_FILE");
}

void *MapBlock(HANDLE block, DWORD flag)
{
    return MapDriverBlock(block, FILE_MAP_WRITE, 0, 0, 0, flag);
}

using DriverBlock = CNetvaneFixture;

TEST_F(DriverBlock, TheBlockHandleIsTheDeviceHandleAndSaysTheBlockExists)
{
    SetLastError(0);
    HANDLE block = CreateBlock(4096);
    EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), GetLastError());
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(OpenDriver(), block);
}

TEST_F(DriverBlock, TheSameSizeAgainIsAnsweredWithoutTheDriver)
{
    HANDLE first = CreateBlock(4096);
    SetLastError(0);
    EXPECT_EQ(first, CreateBlock(4096));
    EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(1u, OwnCallCount(IOCTL_NETVANE_CREATE_BLOCK));
}

TEST_F(DriverBlock, AnotherSizeAsksTheDriverAndForgetsTheAddress)
{
    HANDLE block = CreateBlock(4096);
    ASSERT_NE(nullptr, MapBlock(block, 1));
    EXPECT_EQ(block, CreateBlock(8192));
    EXPECT_EQ(2u, OwnCallCount(IOCTL_NETVANE_CREATE_BLOCK));
    char *view = static_cast<char *>(MapBlock(block, 1));
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(2u, OwnCallCount(IOCTL_NETVANE_MAP_BLOCK));
    view[8191] = 1; // the new block has the new size
    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(8192u, status.BlockSize);
}

TEST_F(DriverBlock, TheMappedAddressIsKeptAndTheFlagSent)
{
    HANDLE block = CreateBlock(4096);
    void *view = MapBlock(block, 1);
    ASSERT_NE(nullptr, view);
    EXPECT_EQ(view, MapBlock(block, 1));
    EXPECT_EQ(1u, OwnCallCount(IOCTL_NETVANE_MAP_BLOCK));
    const std::vector<NetvaneCall> calls = OwnCalls();
    ASSERT_FALSE(calls.empty());
    const NetvaneCall &map = calls.back();
    EXPECT_EQ(IOCTL_NETVANE_MAP_BLOCK, map.Code);
    EXPECT_EQ((std::vector<BYTE>{1, 0, 0, 0}), InputOf(map));
}

TEST_F(DriverBlock, AFailedMapKeepsNoAddress)
{
    HANDLE block = CreateBlock(4096);
    ASSERT_TRUE(NetvaneFailCode(IOCTL_NETVANE_MAP_BLOCK, ERROR_GEN_FAILURE));
    EXPECT_EQ(nullptr, MapBlock(block, 0));
    ASSERT_TRUE(NetvaneFailCode(IOCTL_NETVANE_MAP_BLOCK, 0));
    EXPECT_NE(nullptr, MapBlock(block, 0));
    EXPECT_EQ(2u, OwnCallCount(IOCTL_NETVANE_MAP_BLOCK));
}

TEST_F(DriverBlock, MappingWithoutABlockFails)
{
    EXPECT_EQ(nullptr, MapBlock(OpenDriver(), 1));
}

TEST_F(DriverBlock, FreeIsSentOnlyWhenTheKeptResultIsAFailure)
{
    struct Case {
        const char *Name;
        bool PreviousFails;
        bool FreeSent;
    } cases[] = {
        {"after a success", false, false},
        {"after a failure", true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        HANDLE device = OpenDriver();
        NetvaneFailCode(IOCTL_NETVANE_BLOCK_CONTROL, c.PreviousFails ? ERROR_GEN_FAILURE : 0);
        BOOL previous = DriverIoctlDword(device, IOCTL_NETVANE_BLOCK_CONTROL, 2);
        EXPECT_EQ(!c.PreviousFails, previous != FALSE);
        DWORD freesBefore = OwnCallCount(IOCTL_NETVANE_FREE_BLOCK);
        BOOL freed = DriverIoctlDword(device, IOCTL_NETVANE_FREE_BLOCK, 0x1000);
        EXPECT_EQ(c.FreeSent ? 1u : 0u, OwnCallCount(IOCTL_NETVANE_FREE_BLOCK) - freesBefore);
        if (!c.FreeSent) {
            EXPECT_EQ(previous, freed);
        }
    }
}

TEST_F(DriverBlock, IoctlDwordWithoutAHandleSendsNothing)
{
    ASSERT_NE(nullptr, OpenDriver());
    EXPECT_FALSE(DriverIoctlDword(nullptr, IOCTL_NETVANE_BLOCK_CONTROL, 1));
    EXPECT_EQ(0u, OwnCallCount(IOCTL_NETVANE_BLOCK_CONTROL));
}

TEST_F(DriverBlock, TheReleaseSequenceSkipsTheFreeAfterTheControls)
{
    HANDLE block = CreateBlock(4096);
    DWORD address = AddressToDword(MapBlock(block, 1));
    ASSERT_NE(0u, address);
    EXPECT_TRUE(DriverIoctlDword(block, IOCTL_NETVANE_UNMAP_BLOCK, address));
    EXPECT_TRUE(DriverIoctlDword(block, IOCTL_NETVANE_BLOCK_CONTROL, 1));
    EXPECT_TRUE(DriverIoctlDword(block, IOCTL_NETVANE_BLOCK_CONTROL, 2));
    EXPECT_TRUE(DriverIoctlDword(block, IOCTL_NETVANE_FREE_BLOCK, address));
    EXPECT_EQ(0u, OwnCallCount(IOCTL_NETVANE_FREE_BLOCK));
    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(2u, status.LastBlockControl);
    EXPECT_EQ(0u, status.BlockLive);
}

TEST_F(DriverBlock, AFreeThatReachesTheDriverEndsTheBlock)
{
    HANDLE block = CreateBlock(4096);
    DWORD address = AddressToDword(MapBlock(block, 1));
    ASSERT_TRUE(DriverIoctlDword(block, IOCTL_NETVANE_UNMAP_BLOCK, address));
    ASSERT_TRUE(NetvaneFailCode(IOCTL_NETVANE_BLOCK_CONTROL, ERROR_GEN_FAILURE));
    EXPECT_FALSE(DriverIoctlDword(block, IOCTL_NETVANE_BLOCK_CONTROL, 2));
    EXPECT_TRUE(DriverIoctlDword(block, IOCTL_NETVANE_FREE_BLOCK, address));
    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(0u, status.BlockLive);
}

// Closing the block handle closes the device: nothing cached may outlive it.
TEST_F(DriverBlock, ClosingTheHandleForgetsTheCaches)
{
    struct Case {
        const char *Name;
        void (*Close)(HANDLE block);
    } cases[] = {
        {"CloseDriverBlock", [](HANDLE block) { CloseDriverBlock(block); }},
        {"CloseDriver", [](HANDLE) { CloseDriver(); }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Name);
        NetvaneReset();
        HANDLE block = CreateBlock(4096);
        ASSERT_NE(nullptr, MapBlock(block, 1));
        c.Close(block);

        HANDLE again = CreateBlock(4096);
        ASSERT_NE(nullptr, again);
        EXPECT_NE(nullptr, MapBlock(again, 1));
        EXPECT_EQ(2u, OwnCallCount(NETVANE_OPEN));
        EXPECT_EQ(2u, OwnCallCount(IOCTL_NETVANE_CREATE_BLOCK));
        EXPECT_EQ(2u, OwnCallCount(IOCTL_NETVANE_MAP_BLOCK));
        for (const NetvaneCall &call : OwnCalls())
            EXPECT_TRUE(call.Succeeded) << std::hex << call.Code;
        CloseDriverBlock(again);
    }
}

// The console makes the block and writes into it; a second process, as a
// provider instance would, opens the same block at its own address.
TEST_F(DriverBlock, TwoProcessesShareTheBlockBytes)
{
    HANDLE block = CreateBlock(kSharedBlockSize);
    char *view = static_cast<char *>(MapBlock(block, 1));
    ASSERT_NE(nullptr, view);
    memcpy(view, kConsoleText, sizeof kConsoleText);

    EXPECT_EQ(0, RunChild("", kReadBlockSwitch));
    EXPECT_STREQ(kProviderText, view + kProviderOffset);

    bool providerMapped = false;
    for (const NetvaneCall &call : CallsOf(0))
        if (call.ProcessId != GetCurrentProcessId() && call.Code == IOCTL_NETVANE_MAP_BLOCK &&
            call.Succeeded && InputOf(call) == std::vector<BYTE>{0, 0, 0, 0})
            providerMapped = true;
    EXPECT_TRUE(providerMapped);
}

} // namespace
