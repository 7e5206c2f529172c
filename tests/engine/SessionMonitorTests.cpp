// The connection poller over the real connection table of QFW.DLL, filled
// by a second process that has the library loaded, and over the emulated
// driver's ring and tables, posting to hidden windows of the test.
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include "Address32.h"
#include "MessageSink.h"
#include "NetvaneFixture.h"
#include "ProcessAlive.h"
#include "ProviderTestSupport.h"
#include "SessionMonitor.h"

namespace {

// <name> index:socket:state ...: writes those records of this process into
// the table, signals <name>-ready and runs until <name>-done or killed.
const char kFillSwitch[] = "--fill-records";

typedef std::vector<PostedMessage> Messages;

PostedMessage Query(WPARAM source, LPARAM index)
{
    return {WM_SESSION_QUERY, source, index};
}

PostedMessage Update(WPARAM source, LPARAM index)
{
    return {WM_SESSION_UPDATE, source, index};
}

// The provider's control entry as the test lets it answer.
SpiIoControlProc g_providerSpi;
DWORD g_reportedCount;   // 0: as the provider says
bool g_hideSessionTable; // SPI_GET_SESSION_HANDLE gives 0
std::vector<DWORD> g_closeRequests; // the process of each SPI_CLOSE_PROCESS_SESSIONS

DWORD WINAPI ReportingSpi(DWORD code, SpiIoBlock *block)
{
    if (code == SPI_CLOSE_PROCESS_SESSIONS)
        g_closeRequests.push_back(block->Param1);
    DWORD result = g_providerSpi(code, block);
    if (code == SPI_GET_SESSION_COUNT && g_reportedCount)
        block->Param1 = g_reportedCount;
    if (code == SPI_GET_SESSION_HANDLE && g_hideSessionTable)
        block->Param1 = 0;
    return result;
}

SpiIoControlProc ProviderEntry(HMODULE provider)
{
    return reinterpret_cast<SpiIoControlProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(provider, SPI_IO_CONTROL_NAME)));
}

// A second process with QFW.DLL loaded that owns some records of the table.
class CRecordOwner {
public:
    explicit CRecordOwner(const std::string &records)
    {
        static int owners = 0;
        char name[64];
        sprintf(name, "QfwTestRecordOwner%lu-%d", GetCurrentProcessId(), ++owners);
        m_ready = CreateEventA(NULL, TRUE, FALSE, (std::string(name) + "-ready").c_str());
        m_done = CreateEventA(NULL, TRUE, FALSE, (std::string(name) + "-done").c_str());
        m_process = StartProgram(TestProgramPath(), std::string(kFillSwitch) + " " + name + " " + records);
        HANDLE waits[] = {m_ready, m_process};
        m_started = m_process && WaitForMultipleObjects(2, waits, FALSE, 60000) == WAIT_OBJECT_0;
        m_processId = m_process ? GetProcessId(m_process) : 0;
    }
    ~CRecordOwner()
    {
        if (m_process)
            Kill();
        CloseHandle(m_ready);
        CloseHandle(m_done);
    }
    CRecordOwner(const CRecordOwner &) = delete;
    CRecordOwner &operator=(const CRecordOwner &) = delete;

    bool Started() const { return m_started; }
    DWORD ProcessId() const { return m_processId; }

    // Ends as a process ends: the provider closes its records on the way out.
    int Finish()
    {
        SetEvent(m_done);
        int code = WaitForExit(m_process);
        m_process = NULL;
        return code;
    }

    // Ends without the provider's last steps, as a killed process does.
    void Kill()
    {
        TerminateProcess(m_process, 9);
        WaitForExit(m_process);
        m_process = NULL;
    }

private:
    HANDLE m_ready;
    HANDLE m_done;
    HANDLE m_process = NULL;
    DWORD m_processId = 0;
    bool m_started = false;
};

int FillRecords(const char *name, int count, char **specs)
{
    HMODULE provider = LoadLibraryA((TestFolder() + "QFW.DLL").c_str());
    if (!provider)
        return 2;
    SpiIoBlock block = {};
    ProviderEntry(provider)(SPI_GET_SESSION_COUNT, &block);
    CTableView table;
    if (!table.IsOpen())
        return 3;
    for (int i = 0; i < count; ++i) {
        unsigned index, socket, state;
        if (sscanf(specs[i], "%u:%x:%u", &index, &socket, &state) != 3 || index >= SESSION_RECORD_COUNT)
            return 4;
        SessionRecord &record = table[index];
        record = SessionRecord();
        record.Index = index;
        record.ProcessId = GetCurrentProcessId();
        record.Direction = DIR_OUTBOUND;
        record.Protocol = PROTO_TCP;
        record.StartTime = 1;
        strcpy(record.Path, TestProgramPath().c_str());
        record.State = static_cast<BYTE>(state);
        record.Socket = socket; // last: a record with a socket is live
    }
    SetEvent(OpenEventA(EVENT_MODIFY_STATE, FALSE, (std::string(name) + "-ready").c_str()));
    WaitForSingleObject(OpenEventA(SYNCHRONIZE, FALSE, (std::string(name) + "-done").c_str()), 60000);
    return 0;
}

DriverTableRecord TableEntry(DWORD handle)
{
    DriverTableRecord entry = {};
    entry.Handle = handle;
    return entry;
}

DriverQueueRecord RingRecord(BYTE kind, WORD localPort)
{
    DriverQueueRecord record = {};
    record.Kind = kind;
    record.LocalPort = localPort;
    return record;
}

// The records the tests write lie at the end of the table, away from those
// the provider hands out from the start.
const DWORD kFirstTestRecord = 1000;

class SessionMonitorTest : public CNetvaneFixture {
protected:
    void SetUp() override
    {
        CNetvaneFixture::SetUp();
        ASSERT_NE(nullptr, m_program.Window());
        ASSERT_NE(nullptr, m_monitor.Window());
        m_provider = LoadLibraryA((TestFolder() + "QFW.DLL").c_str());
        ASSERT_NE(nullptr, m_provider);
        g_providerSpi = ProviderEntry(m_provider);
        g_reportedCount = 0;
        g_hideSessionTable = false;
        g_closeRequests.clear();
        ASSERT_TRUE(CSessionMonitor::Attach(ReportingSpi, m_program.Window(), m_monitor.Window()));
    }

    void TearDown() override
    {
        CSessionMonitor::Stop();
        SessionRecord *table = CSessionMonitor::GetSessionTable();
        for (DWORD i = kFirstTestRecord; table && i < SESSION_RECORD_COUNT; ++i)
            table[i] = SessionRecord();
        if (m_provider)
            FreeLibrary(m_provider);
        CNetvaneFixture::TearDown();
    }

    // One pass, with what it posted delivered to the two pages.
    void Pass()
    {
        m_program.Clear();
        m_monitor.Clear();
        CSessionMonitor::RunPass();
        CMessageSink::Pump();
    }

    SessionRecord &Record(DWORD index) { return CSessionMonitor::GetSessionTable()[index]; }

    HMODULE m_provider = nullptr;
    CMessageSink m_program{WM_SESSION_QUERY, WM_SESSION_UPDATE};
    CMessageSink m_monitor{WM_SESSION_QUERY, WM_SESSION_UPDATE};
};

TEST_F(SessionMonitorTest, LiveRecordsReachTheMonitorAndQuestionsTheProgramPage)
{
    CRecordOwner owner("1000:100:151 1001:104:0 1002:0:151 1003:108:10 1004:10c:200");
    ASSERT_TRUE(owner.Started());

    // A free record (socket 0) posts nothing, whatever its state.
    for (int pass = 1; pass <= 2; ++pass) {
        Pass();
        EXPECT_EQ((Messages{Query(0, 1000), Query(0, 1004)}), m_program.Messages()) << pass;
        EXPECT_EQ((Messages{Update(0, 1000), Update(0, 1001), Update(0, 1003), Update(0, 1004)}),
                  m_monitor.Messages())
            << pass;
    }

    // The page has taken the question: it is asked no more.
    Record(1000).State = SESSION_SHOWN;
    Pass();
    EXPECT_EQ((Messages{Query(0, 1004)}), m_program.Messages());
    EXPECT_EQ(SESSION_OPEN, Record(1001).State) << "a live process keeps its records open";

    // Records closed by their process are still shown until the page frees them.
    ASSERT_EQ(0, owner.Finish());
    Pass();
    EXPECT_TRUE(m_program.Messages().empty());
    EXPECT_EQ((Messages{Update(0, 1000), Update(0, 1001), Update(0, 1003), Update(0, 1004)}),
              m_monitor.Messages());
    EXPECT_EQ(SESSION_CLOSED, Record(1004).State);
}

TEST_F(SessionMonitorTest, RecordsOfAKilledProcessAreClosedOnTheThirdPass)
{
    CRecordOwner owner("1010:200:0 1011:204:151");
    ASSERT_TRUE(owner.Started());
    owner.Kill();
    ASSERT_FALSE(IsProcessAlive(owner.ProcessId()));

    for (int pass = 1; pass <= 2; ++pass) {
        Pass();
        EXPECT_EQ(SESSION_OPEN, Record(1010).State) << pass;
        EXPECT_EQ(SESSION_ASKING, Record(1011).State) << pass;
        EXPECT_EQ((Messages{Query(0, 1011)}), m_program.Messages()) << pass;
    }
    Pass();
    EXPECT_EQ(SESSION_CLOSED, Record(1010).State);
    EXPECT_EQ(SESSION_CLOSED, Record(1011).State);
    EXPECT_NE(0u, Record(1010).EndTime);
    EXPECT_TRUE(m_program.Messages().empty()) << "a closed question is not asked";
    EXPECT_EQ((Messages{Update(0, 1010), Update(0, 1011)}), m_monitor.Messages());
}

// One look at the process list serves the whole table: each ended process
// is closed with one request, however many records it left, and a process
// that still runs keeps its records open.
TEST_F(SessionMonitorTest, TheCheckPassClosesEachEndedProcessOnceAndLeavesRunningOnesOpen)
{
    CRecordOwner running("1012:400:0 1013:404:0");
    CRecordOwner first("1014:408:0 1015:40c:0 1016:410:0");
    CRecordOwner second("1017:414:0 1018:418:0");
    ASSERT_TRUE(running.Started());
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(second.Started());
    const std::vector<DWORD> ended = {first.ProcessId(), second.ProcessId()};
    first.Kill();
    second.Kill();

    for (int pass = 1; pass <= 3; ++pass)
        Pass();
    std::vector<DWORD> requests = g_closeRequests;
    std::sort(requests.begin(), requests.end());
    std::vector<DWORD> expected = ended;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, requests);
    for (DWORD index = 1014; index <= 1018; ++index)
        EXPECT_EQ(SESSION_CLOSED, Record(index).State) << index;
    EXPECT_EQ(SESSION_OPEN, Record(1012).State);
    EXPECT_EQ(SESSION_OPEN, Record(1013).State);
    EXPECT_EQ(0, running.Finish());
}

TEST_F(SessionMonitorTest, DriverTableEntriesReachTheMonitorPage)
{
    ASSERT_TRUE(NetvaneSetTable1Entry(0, TableEntry(0x10)));
    ASSERT_TRUE(NetvaneSetTable1Entry(1, TableEntry(0x11)));
    ASSERT_TRUE(NetvaneSetTable1Entry(2, TableEntry(0x12)));
    ASSERT_TRUE(NetvaneSetTable1Count(2));
    // Table 2: an entry is in use while its first u32 is not 0, and only
    // the first 100 entries are looked at.
    for (DWORD index : {0u, 7u, 99u, 100u, 150u})
        ASSERT_TRUE(NetvaneSetTable2Entry(index, TableEntry(0x20 + index)));

    Pass();
    EXPECT_TRUE(m_program.Messages().empty());
    EXPECT_EQ((Messages{Update(2, 0), Update(1, 0), Update(1, 1), Update(2, 7), Update(2, 99)}),
              m_monitor.Messages());
    EXPECT_EQ(0x11u, CSessionMonitor::GetTable1Entry(1)->Handle);
    EXPECT_EQ(0x20u + 99, CSessionMonitor::GetTable2Entry(99)->Handle);
    EXPECT_EQ(nullptr, CSessionMonitor::GetTable2Entry(100));
}

TEST_F(SessionMonitorTest, RingRecordsReachTheirPagesAsTheConsolesCopy)
{
    ASSERT_TRUE(NetvanePushRecord(RingRecord(DRIVER_QUEUE_QUESTION, 1001)));
    ASSERT_TRUE(NetvanePushRecord(RingRecord(DRIVER_QUEUE_PACKET, 1002)));
    ASSERT_TRUE(NetvanePushRecord(RingRecord(DRIVER_QUEUE_QUESTION, 1003)));

    // Three waiting records are taken at the first three record indexes.
    Pass();
    EXPECT_EQ((Messages{Query(3, 0), Query(3, 2)}), m_program.Messages());
    EXPECT_EQ((Messages{Update(3, 0), Update(3, 1), Update(3, 2)}), m_monitor.Messages());
    NetvaneStatus status;
    ASSERT_TRUE(NetvaneGetStatus(&status));
    EXPECT_EQ(3u, status.ReadIndex);

    // The driver may reuse a slot once it is read; the page still reads
    // the record that was posted.
    NetvaneSetRingIndexes(0, 0);
    ASSERT_TRUE(NetvanePushRecord(RingRecord(DRIVER_QUEUE_PACKET, 2001)));
    EXPECT_EQ(1001, CSessionMonitor::GetQueueRecord(0)->LocalPort);
    EXPECT_EQ(DRIVER_QUEUE_PACKET, CSessionMonitor::GetQueueRecord(1)->Kind);
    EXPECT_EQ(nullptr, CSessionMonitor::GetQueueRecord(512));
    EXPECT_EQ(nullptr, CSessionMonitor::GetQueueRecord(-1));

    Pass();
    EXPECT_TRUE(m_program.Messages().empty()) << "a packet event is not a question";
    EXPECT_EQ((Messages{Update(3, 0)}), m_monitor.Messages());
    EXPECT_EQ(2001, CSessionMonitor::GetQueueRecord(0)->LocalPort);
}

TEST_F(SessionMonitorTest, PopQueueWrapsAtTheRingsEnd)
{
    NetvaneSetRingIndexes(510, 510);
    for (WORD port = 1; port <= 3; ++port)
        ASSERT_TRUE(NetvanePushRecord(RingRecord(DRIVER_QUEUE_PACKET, port)));
    EXPECT_EQ(510, CSessionMonitor::PopQueue());
    EXPECT_EQ(511, CSessionMonitor::PopQueue());
    EXPECT_EQ(0, CSessionMonitor::PopQueue());
    EXPECT_EQ(-1, CSessionMonitor::PopQueue());
    EXPECT_EQ(3, CSessionMonitor::GetQueueRecord(0)->LocalPort);
}

TEST_F(SessionMonitorTest, IndexesOutsideTheRingMakeItEmpty)
{
    DriverQueueView queue;
    ASSERT_TRUE(DriverGetQueueView(&queue));
    DWORD *read = DwordToAddress<DWORD>(queue.ReadIndexAddress);
    DWORD *write = DwordToAddress<DWORD>(queue.WriteIndexAddress);
    struct Case {
        DWORD Read;
        DWORD Write;
    } cases[] = {{512, 3}, {3, 512}, {0xFFFFFFFF, 0}, {600, 600}};
    for (const Case &c : cases) {
        *read = c.Read;
        *write = c.Write;
        EXPECT_EQ(-1, CSessionMonitor::PopQueue()) << c.Read << " " << c.Write;
        EXPECT_EQ(c.Read, *read) << "the read index is left alone";
    }
    *read = *write = 0;
}

TEST_F(SessionMonitorTest, EachPassTicksTheDriverOnce)
{
    const DWORD before = NetvaneCountCalls(GetCurrentProcessId(), IOCTL_NETVANE_TICK);
    Pass();
    Pass();
    EXPECT_EQ(before + 2, NetvaneCountCalls(GetCurrentProcessId(), IOCTL_NETVANE_TICK));
}

TEST_F(SessionMonitorTest, ReportedCountBoundsThePassAndIsClampedToTheTable)
{
    for (DWORD index : {3u, 4u})
        ASSERT_TRUE(NetvaneSetTable2Entry(index, TableEntry(1)));

    g_reportedCount = 4;
    ASSERT_TRUE(CSessionMonitor::Attach(ReportingSpi, m_program.Window(), m_monitor.Window()));
    EXPECT_EQ(4u, CSessionMonitor::GetSessionCount());
    Pass();
    EXPECT_EQ((Messages{Update(2, 3)}), m_monitor.Messages());

    g_reportedCount = 5000;
    ASSERT_TRUE(CSessionMonitor::Attach(ReportingSpi, m_program.Window(), m_monitor.Window()));
    EXPECT_EQ(static_cast<DWORD>(SESSION_RECORD_COUNT), CSessionMonitor::GetSessionCount());
    Record(SESSION_RECORD_COUNT - 1).Socket = 0x400;
    Record(SESSION_RECORD_COUNT - 1).ProcessId = GetCurrentProcessId();
    Pass();
    EXPECT_EQ((Messages{Update(2, 3), Update(2, 4), Update(0, SESSION_RECORD_COUNT - 1)}),
              m_monitor.Messages());
}

TEST_F(SessionMonitorTest, AttachNeedsEverySource)
{
    struct Case {
        const char *Name;
        SpiIoControlProc Entry;
        DWORD FailingCode;
        bool HideTable;
    } cases[] = {
        {"no control entry", nullptr, 0, false},
        {"no ring view", ReportingSpi, IOCTL_NETVANE_GET_QUEUE, false},
        {"no table view", ReportingSpi, IOCTL_NETVANE_GET_TABLES, false},
        {"events not started", ReportingSpi, IOCTL_NETVANE_START_EVENTS, false},
        {"no connection table", ReportingSpi, 0, true},
    };
    for (const Case &c : cases) {
        if (c.FailingCode) {
            ASSERT_TRUE(NetvaneFailCode(c.FailingCode, ERROR_GEN_FAILURE));
        }
        g_hideSessionTable = c.HideTable;
        EXPECT_FALSE(CSessionMonitor::Attach(c.Entry, m_program.Window(), m_monitor.Window())) << c.Name;
        EXPECT_FALSE(CSessionMonitor::Start(c.Entry, m_program.Window(), m_monitor.Window())) << c.Name;
        EXPECT_FALSE(CSessionMonitor::IsAlive()) << c.Name;
        if (c.FailingCode)
            NetvaneFailCode(c.FailingCode, 0);
        g_hideSessionTable = false;
    }
    EXPECT_TRUE(CSessionMonitor::Attach(ReportingSpi, m_program.Window(), m_monitor.Window()));
}

TEST_F(SessionMonitorTest, TheThreadPostsOnceASecondUntilStopped)
{
    SessionRecord &record = Record(1020);
    record.ProcessId = GetCurrentProcessId();
    record.State = SESSION_ASKING;
    record.Socket = 0x300;

    ASSERT_TRUE(CSessionMonitor::Start(ReportingSpi, m_program.Window(), m_monitor.Window()));
    EXPECT_TRUE(CSessionMonitor::Start(ReportingSpi, m_program.Window(), m_monitor.Window()))
        << "a running poller is not started twice";
    EXPECT_TRUE(m_program.WaitFor(Query(0, 1020)));
    m_program.Clear();
    EXPECT_TRUE(m_program.WaitFor(Query(0, 1020))) << "asked again while the record waits";
    EXPECT_TRUE(m_monitor.Has(Update(0, 1020)));

    EXPECT_TRUE(CSessionMonitor::Stop());
    EXPECT_FALSE(CSessionMonitor::IsAlive());
    CMessageSink::Pump();
    m_program.Clear();
    Sleep(1500);
    CMessageSink::Pump();
    EXPECT_TRUE(m_program.Messages().empty()) << "a stopped poller posts nothing";
}

TEST_F(SessionMonitorTest, StopRightAfterStartEndsTheThread)
{
    for (int round = 0; round < 5; ++round) {
        ASSERT_TRUE(CSessionMonitor::Start(ReportingSpi, m_program.Window(), m_monitor.Window()));
        EXPECT_TRUE(CSessionMonitor::Stop());
        EXPECT_FALSE(CSessionMonitor::IsAlive()) << round;
    }
    EXPECT_TRUE(CSessionMonitor::Stop()) << "stopping a stopped poller";
}

// The list is the one look it took: a process that starts later is not in
// it, and one that ended since still is.
TEST(RunningProcesses, AreTheProcessesOfTheMomentTheListWasTaken)
{
    const CRunningProcesses before;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child = {};
    char command[] = "cmd.exe /c exit 0";
    ASSERT_TRUE(CreateProcessA(NULL, command, NULL, NULL, FALSE, CREATE_NO_WINDOW | CREATE_SUSPENDED, NULL, NULL,
                               &startup, &child));
    const DWORD childId = child.dwProcessId;
    const CRunningProcesses during;
    ResumeThread(child.hThread);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child.hProcess, 10000));
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    const CRunningProcesses after;
    EXPECT_TRUE(before.Contains(GetCurrentProcessId()));
    EXPECT_FALSE(before.Contains(childId));
    EXPECT_TRUE(during.Contains(childId));
    EXPECT_FALSE(after.Contains(childId));
    EXPECT_TRUE(after.Contains(GetCurrentProcessId()));
}

TEST(ProcessAlive, TellsARunningProcessFromAnEndedOne)
{
    EXPECT_TRUE(IsProcessAlive(GetCurrentProcessId()));
    HANDLE child = StartProgram(TestProgramPath(), "--gtest_filter=None");
    ASSERT_NE(nullptr, child);
    const DWORD childId = GetProcessId(child);
    ASSERT_EQ(0, WaitForExit(child));
    EXPECT_FALSE(IsProcessAlive(childId));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc >= 3 && strcmp(argv[1], kFillSwitch) == 0)
        return FillRecords(argv[2], argc - 3, argv + 3);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
