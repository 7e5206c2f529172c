// The event ring and the connection tables, read through the views the
// driver gives, and fed by the driver's side in this and another process.
#include <gtest/gtest.h>
#include <vector>
#include "Address32.h"
#include "ChildProcess.h"
#include "DriverInterface.h"
#include "DriverTestChildren.h"
#include "NetvaneFixture.h"

namespace {

DriverQueueRecord Packet(WORD localPort)
{
    DriverQueueRecord record = {};
    record.Kind = DRIVER_QUEUE_PACKET;
    record.LocalPort = localPort;
    return record;
}

// The console's reading rule: empty when the indexes are equal, else the
// record at the read index, whose index then moves on and wraps at 512.
std::vector<DWORD> DrainRing(const DriverQueueView &queue, std::vector<WORD> &ports)
{
    DWORD *write = DwordToAddress<DWORD>(queue.WriteIndexAddress);
    DWORD *read = DwordToAddress<DWORD>(queue.ReadIndexAddress);
    const DriverQueueRecord *ring = DwordToAddress<DriverQueueRecord>(queue.RingAddress);
    std::vector<DWORD> indexes;
    while (*read != *write && indexes.size() <= DRIVER_RING_ENTRIES) {
        indexes.push_back(*read);
        ports.push_back(ring[*read].LocalPort);
        *read = *read + 1 == DRIVER_RING_ENTRIES ? 0 : *read + 1;
    }
    return indexes;
}

using DriverRing = CNetvaneFixture;

TEST_F(DriverRing, ARingThatWrapsYieldsItsRecordsInOrder)
{
    NetvaneSetRingIndexes(511, 511);
    for (WORD port = 1000; port < 1004; ++port)
        ASSERT_TRUE(NetvanePushRecord(Packet(port)));

    DriverQueueView queue;
    ASSERT_TRUE(DriverGetQueueView(&queue));
    EXPECT_EQ(511u, *DwordToAddress<DWORD>(queue.ReadIndexAddress));
    EXPECT_EQ(3u, *DwordToAddress<DWORD>(queue.WriteIndexAddress));

    std::vector<WORD> ports;
    EXPECT_EQ((std::vector<DWORD>{511, 0, 1, 2}), DrainRing(queue, ports));
    EXPECT_EQ((std::vector<WORD>{1000, 1001, 1002, 1003}), ports);
    EXPECT_TRUE(DrainRing(queue, ports).empty());

    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(3u, status.ReadIndex); // the driver sees what the console read
}

TEST_F(DriverRing, AFullRingRefusesTheNextRecord)
{
    for (DWORD i = 0; i < DRIVER_RING_ENTRIES - 1; ++i)
        ASSERT_TRUE(NetvanePushRecord(Packet(static_cast<WORD>(i))));
    EXPECT_FALSE(NetvanePushRecord(Packet(9999)));

    DriverQueueView queue;
    ASSERT_TRUE(DriverGetQueueView(&queue));
    std::vector<WORD> ports;
    EXPECT_EQ(DRIVER_RING_ENTRIES - 1, DrainRing(queue, ports).size());
    EXPECT_TRUE(NetvanePushRecord(Packet(9999)));
}

TEST_F(DriverRing, TablesAreReadThroughTheViewAndTable2IsHandedBack)
{
    DriverTableRecord entry = {};
    entry.Handle = 0x1234;
    entry.DirectionVerdict = 0x21; // verdict 2, direction 1
    entry.RuleId = 7;
    entry.BytesSent = 100;
    ASSERT_TRUE(NetvaneSetTable1Entry(0, entry));
    entry.Handle = 0x5678;
    ASSERT_TRUE(NetvaneSetTable1Entry(1, entry));
    ASSERT_TRUE(NetvaneSetTable1Count(2));
    entry.Handle = 77;
    ASSERT_TRUE(NetvaneSetTable2Entry(5, entry));

    DriverTableView view;
    ASSERT_TRUE(DriverGetTableView(&view));
    EXPECT_EQ(2u, *DwordToAddress<DWORD>(view.Table1CountAddress));
    const DriverTableRecord *table1 = DwordToAddress<DriverTableRecord>(view.Table1Address);
    EXPECT_EQ(0x1234u, table1[0].Handle);
    EXPECT_EQ(0x5678u, table1[1].Handle);
    EXPECT_EQ(1, TableDirection(table1[1]));
    EXPECT_EQ(2, TableVerdict(table1[1]));
    EXPECT_EQ(7, table1[1].RuleId);

    DriverTableRecord *table2 = DwordToAddress<DriverTableRecord>(view.Table2Address);
    EXPECT_EQ(0u, table2[4].Handle);
    EXPECT_EQ(77u, table2[5].Handle);
    table2[5].Handle = 0; // shown: handed back to the driver
    DriverTableRecord seen;
    ASSERT_TRUE(NetvaneGetTable2Entry(5, &seen));
    EXPECT_EQ(0u, seen.Handle);
    EXPECT_EQ(100u, seen.BytesSent);
}

TEST_F(DriverRing, ARecordPushedByTheToolIsReadByAThirdProcess)
{
    ASSERT_EQ(0, RunChild("NetvaneCtl.exe",
                          "push question out 1 192.168.0.2:1025 10.0.0.1:80 firefox.exe 1"));
    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(1u, status.WriteIndex);

    EXPECT_EQ(0, RunChild("", kPopRingSwitch));
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(1u, status.ReadIndex);
}

TEST_F(DriverRing, ThePushedPacketCarriesTheTcpFlagsGiven)
{
    const struct {
        const char *Arguments;
        int ExitCode;
        BYTE TcpFlags;
    } cases[] = {
        {"push packet out 1 192.168.0.2:1025 10.0.0.1:80 firefox.exe 1 0 0x12", 0, 0x40 | 0x12},
        {"push packet in 1 192.168.0.2:1025 10.0.0.1:80 firefox.exe 1 0 63", 0, 0x3F},
        {"push packet in 1 192.168.0.2:1025 10.0.0.1:80 firefox.exe 1 0", 0, 0},
        {"push packet in 1 192.168.0.2:1025 10.0.0.1:80 firefox.exe 1 0 0x40", 2, 0},
        {"push packet in 1 192.168.0.2:1025 10.0.0.1:80 firefox.exe 1 0 x", 2, 0},
    };
    DriverQueueView queue;
    ASSERT_TRUE(DriverGetQueueView(&queue));
    const DriverQueueRecord *ring = DwordToAddress<DriverQueueRecord>(queue.RingAddress);
    DWORD next = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Arguments);
        ASSERT_EQ(c.ExitCode, RunChild("NetvaneCtl.exe", c.Arguments));
        if (c.ExitCode == 0)
            EXPECT_EQ(c.TcpFlags, ring[next++].TcpFlags);
    }
    EXPECT_EQ(next, *DwordToAddress<DWORD>(queue.WriteIndexAddress));
}

TEST_F(DriverRing, RecordFieldsAreReadFromTheirBytes)
{
    DriverQueueRecord record = {};
    BYTE *bytes = reinterpret_cast<BYTE *>(&record);
    bytes[1] = 56 + 3;  // state 3
    bytes[8] = 0x40 | DRIVER_TCP_SYN | DRIVER_TCP_ACK;
    bytes[28] = 0x50; // local port 80
    bytes[30] = 0x35; // remote port 53
    EXPECT_EQ(3, ConnectionState(record));
    EXPECT_TRUE(IsOutbound(record));
    EXPECT_EQ(DRIVER_TCP_SYN | DRIVER_TCP_ACK, TcpFlagBits(record));
    EXPECT_EQ(80u | (53u << 16), QuestionKey(record));
    bytes[8] = DRIVER_TCP_FIN;
    EXPECT_FALSE(IsOutbound(record));
}

} // namespace
