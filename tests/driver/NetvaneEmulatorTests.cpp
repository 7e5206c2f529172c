// The emulated device itself: its handles are real and die with
// CloseHandle, it checks its buffers, and an injected failure changes
// nothing.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "ChildProcess.h"
#include "DeviceSeam.h"
#include "DriverCalls.h"
#include "DriverInterface.h"
#include "NetvaneFixture.h"

namespace {

HANDLE OpenDevice(const char *path = NETVANE_DEVICE_PATH)
{
    return DeviceCreateFile(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
}

BOOL Tick(HANDLE device)
{
    DWORD zero = 0, returned = 0;
    return DeviceControl(device, IOCTL_NETVANE_TICK, &zero, sizeof zero, nullptr, 0, &returned,
                         nullptr);
}

using NetvaneEmulator = CNetvaneFixture;

TEST_F(NetvaneEmulator, AClosedHandleIsRefused)
{
    HANDLE device = OpenDevice();
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    EXPECT_TRUE(Tick(device));
    ASSERT_TRUE(CloseHandle(device));
    EXPECT_FALSE(Tick(device));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
}

TEST_F(NetvaneEmulator, HandlesOfOtherObjectsAreRefused)
{
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 4096,
                                        nullptr);
    for (HANDLE handle : {event, section, static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        EXPECT_FALSE(Tick(handle));
        EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    }
    CloseHandle(section);
    CloseHandle(event);
}

// A file that is not the device's is refused, and so is a pipe with nothing
// to read, which a device call must not wait on.
TEST_F(NetvaneEmulator, FilesAndPipesOfOthersAreRefused)
{
    char folder[MAX_PATH], path[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(sizeof folder, folder));
    ASSERT_NE(0u, GetTempFileNameA(folder, "nvt", 0, path));
    HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const char text[64] = "a file of the same size as the device's state and more";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, text, sizeof text, &written, nullptr));
    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(CreatePipe(&reader, &writer, nullptr, 0));
    for (HANDLE handle : {file, reader}) {
        EXPECT_FALSE(Tick(handle));
        EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    }
    CloseHandle(writer);
    CloseHandle(reader);
    CloseHandle(file);
}

TEST_F(NetvaneEmulator, OnlyItsOwnPathOpens)
{
    EXPECT_EQ(INVALID_HANDLE_VALUE, OpenDevice("\\\\.\\OTHER"));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
    HANDLE device = OpenDevice("\\\\.\\netvane");
    EXPECT_NE(INVALID_HANDLE_VALUE, device);
    CloseHandle(device);
}

TEST_F(NetvaneEmulator, ShortBuffersAreRefused)
{
    HANDLE device = OpenDevice();
    ASSERT_NE(INVALID_HANDLE_VALUE, device);
    struct Case {
        const char *Name;
        DWORD Code;
        std::vector<BYTE> Input;
        DWORD OutputSize;
        DWORD Error;
    } cases[] = {
        {"port of one byte", IOCTL_NETVANE_ADD_PORT, {80}, 0, ERROR_INVALID_PARAMETER},
        {"ready of two bytes", IOCTL_NETVANE_SET_ACL_READY, {1, 0}, 0, ERROR_INVALID_PARAMETER},
        {"queue view of 8 bytes", IOCTL_NETVANE_GET_QUEUE, {}, 8, ERROR_INSUFFICIENT_BUFFER},
        {"table view of 8 bytes", IOCTL_NETVANE_GET_TABLES, {}, 8, ERROR_INSUFFICIENT_BUFFER},
        {"string without its NUL", IOCTL_NETVANE_QUERY_STRING, {'a', 'b', 'c'}, 4,
         ERROR_INVALID_PARAMETER},
        {"block of size 0", IOCTL_NETVANE_CREATE_BLOCK, {0, 0, 0, 0}, 0, ERROR_INVALID_PARAMETER},
        {"block over 64 MB", IOCTL_NETVANE_CREATE_BLOCK, {0, 0, 0, 8}, 0, ERROR_INVALID_PARAMETER},
        {"map with no room for the address", IOCTL_NETVANE_MAP_BLOCK, {1, 0, 0, 0}, 2,
         ERROR_INSUFFICIENT_BUFFER},
        {"unknown code", 0x804D2178, {}, 0, ERROR_INVALID_FUNCTION},
    };
    BYTE output[16];
    for (Case &c : cases) {
        SCOPED_TRACE(c.Name);
        DWORD returned = 0;
        EXPECT_FALSE(DeviceControl(device, c.Code, c.Input.data(), DWORD(c.Input.size()), output,
                                   c.OutputSize, &returned, nullptr));
        EXPECT_EQ(c.Error, GetLastError());
    }
    CloseHandle(device);
}

TEST_F(NetvaneEmulator, AnInjectedFailureChangesNothing)
{
    ASSERT_TRUE(NetvaneFailCode(IOCTL_NETVANE_SET_ACL_READY, ERROR_ACCESS_DENIED));
    EXPECT_FALSE(DriverSetAclReady(1));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(0u, status.AclReady);
    const std::vector<NetvaneCall> calls = OwnCalls();
    ASSERT_FALSE(calls.empty());
    const NetvaneCall &last = calls.back();
    EXPECT_EQ(IOCTL_NETVANE_SET_ACL_READY, last.Code);
    EXPECT_FALSE(last.Succeeded);
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), last.Error);
}

TEST_F(NetvaneEmulator, ResetEmptiesTheDriver)
{
    ASSERT_TRUE(DriverSetAclReady(1));
    NetvaneSetRingIndexes(4, 9);
    ASSERT_TRUE(NetvaneSetTable1Count(3));
    ASSERT_TRUE(NetvaneAddName(1, "one"));
    ASSERT_TRUE(NetvaneFailCode(IOCTL_NETVANE_TICK, ERROR_GEN_FAILURE));
    NetvaneReset();
    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(0u, status.AclReady);
    EXPECT_EQ(0u, status.ReadIndex);
    EXPECT_EQ(0u, status.WriteIndex);
    EXPECT_EQ(0u, status.Table1Count);
    EXPECT_EQ(0u, status.CallCount);
    EXPECT_TRUE(DriverTick());
    EXPECT_EQ(0u, DriverGetNameList());
}

TEST_F(NetvaneEmulator, TheToolChangesTheSharedState)
{
    struct Case {
        const char *Arguments;
        int ExitCode;
    } cases[] = {
        {"count1 3", 0},
        {"table2 4 99 1234 1 10.0.0.2:1026 10.0.0.9:25 mail.exe", 0},
        {"name 10.0.0.9 mail.example", 0},
        {"fail 0x804D2174 5", 0},
        {"push packet sideways 1 1.2.3.4:1 5.6.7.8:2", 2},
        {"name 10.0.0.300 bad", 2},
        {"nothing", 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.Arguments);
        EXPECT_EQ(c.ExitCode, RunChild("NetvaneCtl.exe", c.Arguments));
    }
    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(3u, status.Table1Count);
    DriverTableRecord entry;
    ASSERT_TRUE(NetvaneGetTable2Entry(4, &entry));
    EXPECT_EQ(99u, entry.Handle);
    EXPECT_EQ(1234u, entry.ProcessId);
    EXPECT_EQ(0x0A000009u, entry.RemoteIp);
    EXPECT_EQ(25, entry.RemotePort);
    EXPECT_STREQ("mail.exe", entry.ImageName);
    char name[8];
    EXPECT_TRUE(DriverLookupName(0x0A000009, name, sizeof name));
    EXPECT_STREQ("mail", name);
    EXPECT_FALSE(DriverTick());
    EXPECT_EQ(5u, GetLastError());
}

TEST_F(NetvaneEmulator, TheToolShowsTheStateAndTheCalls)
{
    ASSERT_TRUE(DriverTick());
    ASSERT_TRUE(DriverSetAclReady(1));
    NetvaneSetRingIndexes(7, 9);

    std::string status;
    ASSERT_EQ(0, RunChild("NetvaneCtl.exe", "status", &status));
    EXPECT_NE(std::string::npos, status.find("ring read 7 write 9")) << status;
    EXPECT_NE(std::string::npos, status.find("rule image ready 1, events started 0, ticks 1"))
        << status;

    std::string calls;
    ASSERT_EQ(0, RunChild("NetvaneCtl.exe", "calls " + std::to_string(GetCurrentProcessId()),
                          &calls));
    EXPECT_NE(std::string::npos, calls.find("code 0x804D2174 ok in 4: 00 00 00 00")) << calls;
    EXPECT_NE(std::string::npos, calls.find("code 0x804D2154 ok in 4: 01 00 00 00")) << calls;
}

} // namespace
