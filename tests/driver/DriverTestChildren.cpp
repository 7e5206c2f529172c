#include "DriverTestChildren.h"
#include <gtest/gtest.h>
#include <cstring>
#include "Address32.h"
#include "DriverInterface.h"

namespace {

int ReadBlock()
{
    SetLastError(0);
    HANDLE block = CreateDriverBlock(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     kSharedBlockSize, "_QFW_MEMORY_ACL_FILE");
    if (!block || GetLastError() != ERROR_ALREADY_EXISTS)
        return 2;
    char *view = static_cast<char *>(MapDriverBlock(block, FILE_MAP_WRITE, 0, 0, 0, 0));
    if (!view)
        return 3;
    if (strcmp(view, kConsoleText) != 0)
        return 4;
    memcpy(view + kProviderOffset, kProviderText, sizeof kProviderText);
    return 0;
}

int PopRing()
{
    DriverQueueView queue;
    if (!DriverGetQueueView(&queue))
        return 2;
    DWORD *write = DwordToAddress<DWORD>(queue.WriteIndexAddress);
    DWORD *read = DwordToAddress<DWORD>(queue.ReadIndexAddress);
    const DriverQueueRecord *ring = DwordToAddress<DriverQueueRecord>(queue.RingAddress);
    if (*read == *write)
        return 3;
    const DriverQueueRecord &record = ring[*read];
    bool expected = record.Kind == DRIVER_QUEUE_QUESTION && IsOutbound(record) &&
                    record.Protocol == 1 && record.Zone == 1 && record.LocalIp == 0xC0A80002 &&
                    record.LocalPort == 1025 && record.RemoteIp == 0x0A000001 &&
                    record.RemotePort == 80 && strcmp(record.ImageName, "firefox.exe") == 0;
    *read = (*read + 1) % DRIVER_RING_ENTRIES;
    return expected ? 0 : 4;
}

} // namespace

int RunChildMode(const char *mode)
{
    if (strcmp(mode, kReadBlockSwitch) == 0)
        return ReadBlock();
    if (strcmp(mode, kPopRingSwitch) == 0)
        return PopRing();
    return -1;
}

int main(int argc, char **argv)
{
    if (argc == 2) {
        int status = RunChildMode(argv[1]);
        if (status >= 0)
            return status;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
