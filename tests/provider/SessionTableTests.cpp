// The connection table in the shared mapping: initialisation, registration,
// address and traffic updates, closing, and a second process on the table.
#include <winsock2.h>
#include <gtest/gtest.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "FirewallTypes.h"
#include "NetvaneFixture.h"
#include "ProcessTable.h"
#include "ProviderControlBlock.h"
#include "SessionTable.h"

namespace {

const char kRegisterSwitch[] = "--register-and-exit";
const char kOpenSwitch[] = "--open-only";
const char kManySwitch[] = "--register-many"; // event name, first socket value
const int kManyCount = 400;
const char kPath[] = "C:\\Programs\\client.exe";

HANDLE StartChild(const std::string &arguments)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return nullptr;
    CloseHandle(pi.hThread);
    return pi.hProcess;
}

int RunChild(const std::string &arguments)
{
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string command = std::string("\"") + self + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

DWORD CountPortCalls(DWORD code, WORD port)
{
    NetvaneCall calls[64];
    DWORD n = NetvaneReadCalls(GetCurrentProcessId(), calls, 64);
    DWORD count = 0;
    for (DWORD i = 0; i < n; ++i) {
        WORD logged;
        memcpy(&logged, calls[i].Input, sizeof logged);
        if (calls[i].Code == code && logged == port)
            ++count;
    }
    return count;
}

class SessionTableTest : public CNetvaneFixture {
protected:
    void SetUp() override
    {
        CNetvaneFixture::SetUp();
        // Each test starts from a new mapping, initialised by its first Open.
        ControlBlock().SessionTableReady = 0;
        ASSERT_EQ(1, m_table.Open());
    }

    CSessionTable m_table;
};

TEST_F(SessionTableTest, FirstOpenInitialisesEveryRecord)
{
    for (int i = 0; i < SESSION_RECORD_COUNT; ++i) {
        const SessionRecord *record = m_table.GetRecord(i);
        ASSERT_NE(nullptr, record);
        EXPECT_EQ(i, record->Index);
        EXPECT_EQ(0u, record->Socket);
        EXPECT_EQ(DIR_UNKNOWN, record->Direction);
        EXPECT_EQ(SESSION_OPEN, record->State);
    }
    EXPECT_EQ(1u, ControlBlock().SessionTableReady);
    EXPECT_NE(0u, ControlBlock().SessionMapping);
}

// Two processes may both map the table before either marked it ready: the
// later initialisation must not wipe a record that is already in use.
TEST_F(SessionTableTest, LateInitialisationLeavesRecordsInUse)
{
    int index = m_table.Register(0x77, PROTO_TCP, kPath);
    SessionRecord &record = *m_table.GetRecord(index);
    record.State = SESSION_ASKING;
    SessionRecord &free = *m_table.GetRecord(index + 1);
    free.Direction = DIR_OUTBOUND;

    ControlBlock().SessionTableReady = 0;
    CSessionTable other;
    ASSERT_EQ(1, other.Open());
    EXPECT_EQ(0x77u, record.Socket);
    EXPECT_EQ(SESSION_ASKING, record.State);
    EXPECT_EQ(DIR_UNKNOWN, free.Direction);
    record.State = SESSION_OPEN;
}

TEST_F(SessionTableTest, RegisterFillsTheRecord)
{
    DWORD before = static_cast<DWORD>(time(nullptr));
    int index = m_table.Register(0x1234, PROTO_TCP, kPath);
    ASSERT_EQ(0, index);
    const SessionRecord &record = *m_table.GetRecord(index);
    EXPECT_EQ(0, record.Index);
    EXPECT_EQ(GetCurrentProcessId(), record.ProcessId);
    EXPECT_EQ(0x1234u, record.Socket);
    EXPECT_EQ(SESSION_OPEN, record.State);
    EXPECT_EQ(DIR_UNKNOWN, record.Direction);
    EXPECT_EQ(PROTO_TCP, record.Protocol);
    EXPECT_EQ(0, record.Verdict);
    EXPECT_EQ(0, record.Decided);
    EXPECT_EQ(0, record.RuleId);
    EXPECT_GE(record.StartTime, before);
    EXPECT_STREQ(kPath, record.Path);
    EXPECT_EQ(index, m_table.Find(0x1234));
    EXPECT_EQ(1, m_table.Register(0x5678, PROTO_UDP, kPath));
}

TEST_F(SessionTableTest, LiveSocketCannotRegisterTwice)
{
    ASSERT_EQ(0, m_table.Register(0x40, PROTO_TCP, kPath));
    EXPECT_EQ(SESSION_ERR_EXISTS, m_table.Register(0x40, PROTO_UDP, kPath));
}

// A new socket that gets the handle value of a closed socket must not
// inherit that socket's record, verdict or counters.
TEST_F(SessionTableTest, ReusedHandleGetsARecordOfItsOwn)
{
    int old = m_table.Register(0x40, PROTO_TCP, kPath);
    SessionRecord &closed = *m_table.GetRecord(old);
    closed.Decided = 1;
    closed.Verdict = ACTION_PASS;
    closed.BytesSent = 77;
    ASSERT_EQ(old, m_table.Unregister(0x40));
    SessionRecord saved = closed;

    EXPECT_EQ(SESSION_ERR_FULL, m_table.Find(0x40));
    int fresh = m_table.Register(0x40, PROTO_TCP, kPath);
    ASSERT_GE(fresh, 0);
    EXPECT_NE(old, fresh);
    EXPECT_EQ(fresh, m_table.Find(0x40));
    EXPECT_EQ(0, m_table.GetRecord(fresh)->Decided);
    EXPECT_EQ(0, m_table.GetRecord(fresh)->BytesSent);
    EXPECT_EQ(0, memcmp(&saved, &closed, sizeof saved));
}

TEST_F(SessionTableTest, FullTableRefusesAndRecordsOutOfRangeAreNone)
{
    for (int i = 0; i < SESSION_RECORD_COUNT; ++i)
        ASSERT_EQ(i, m_table.Register(0x1000 + i, PROTO_TCP, kPath));
    EXPECT_EQ(SESSION_ERR_FULL, m_table.Register(0x9999, PROTO_TCP, kPath));
    EXPECT_EQ(SESSION_ERR_FULL, m_table.Find(0x9999));

    for (int index : {int(SESSION_RECORD_COUNT), -1, int(SESSION_ERR_NO_TABLE)})
        EXPECT_EQ(nullptr, m_table.GetRecord(index)) << index;
    EXPECT_EQ(SESSION_ERR_FULL, m_table.UpdateAddress(SESSION_RECORD_COUNT, DIR_OUTBOUND, 80, 0, false));
    EXPECT_EQ(SESSION_ERR_FULL, m_table.AddTraffic(-1, DIR_UNKNOWN, nullptr, 10, true));

    // A freed record is taken again.
    SessionRecord &freed = *m_table.GetRecord(500);
    freed.State = SESSION_OPEN;
    freed.Socket = 0;
    EXPECT_EQ(500, m_table.Register(0x9999, PROTO_UDP, kPath));
}

TEST_F(SessionTableTest, LongPathIsCutAndTerminated)
{
    std::string longPath(400, 'p');
    int index = m_table.Register(0x41, PROTO_TCP, longPath.c_str());
    ASSERT_GE(index, 0);
    EXPECT_EQ(std::string(SESSION_PATH_SIZE - 1, 'p'), m_table.GetRecord(index)->Path);
    EXPECT_EQ('\0', m_table.GetRecord(index)->Detail[0]);
}

struct RefinementCase {
    BYTE Kind;
    WORD FirstPort;
    WORD LaterPort;
    BYTE Expected;
};

TEST_F(SessionTableTest, TcpKindIsRefinedByTheFirstServicePort)
{
    const RefinementCase cases[] = {
        {PROTO_TCP, 21, 0, PROTO_FTP},    {PROTO_TCP, 23, 0, PROTO_TELNET}, {PROTO_TCP, 25, 0, PROTO_SMTP},
        {PROTO_TCP, 80, 0, PROTO_HTTP},   {PROTO_TCP, 110, 0, PROTO_POP3},  {PROTO_TCP, 119, 0, PROTO_NNTP},
        {PROTO_TCP, 8080, 0, PROTO_TCP},  {PROTO_TCP, 80, 21, PROTO_HTTP},  {PROTO_UDP, 80, 0, PROTO_UDP},
        {PROTO_OTHER, 25, 0, PROTO_OTHER},
    };
    DWORD socket = 0x100;
    for (const RefinementCase &c : cases) {
        int index = m_table.Register(++socket, c.Kind, kPath);
        ASSERT_GE(index, 0);
        m_table.UpdateAddress(index, DIR_OUTBOUND, c.FirstPort, htonl(0x0A000001), false);
        if (c.LaterPort)
            m_table.UpdateAddress(index, DIR_OUTBOUND, c.LaterPort, htonl(0x0A000001), false);
        EXPECT_EQ(c.Expected, m_table.GetRecord(index)->Protocol) << "port " << c.FirstPort;
    }
}

TEST_F(SessionTableTest, UpdateAddressStoresHostOrderAndKeepsDirection)
{
    int index = m_table.Register(0x42, PROTO_UDP, kPath);
    ASSERT_EQ(0, m_table.UpdateAddress(index, DIR_OUTBOUND, 5353, htonl(0xC0A80102), false));
    const SessionRecord &record = *m_table.GetRecord(index);
    EXPECT_EQ(DIR_OUTBOUND, record.Direction);
    EXPECT_EQ(5353, record.RemotePort);
    EXPECT_EQ(0xC0A80102u, record.RemoteIp);

    // DIR_UNKNOWN keeps the direction; with the local-port flag the remote
    // side stays as it is.
    ASSERT_EQ(0, m_table.UpdateAddress(index, DIR_UNKNOWN, 9, htonl(0x01020304), true));
    EXPECT_EQ(DIR_OUTBOUND, record.Direction);
    EXPECT_EQ(5353, record.RemotePort);
    EXPECT_EQ(0xC0A80102u, record.RemoteIp);
}

TEST_F(SessionTableTest, AddTrafficCountsOnlyPositiveAmountsAsUnsigned)
{
    int index = m_table.Register(0x43, PROTO_TCP, kPath);
    const SessionRecord &record = *m_table.GetRecord(index);
    m_table.AddTraffic(index, DIR_UNKNOWN, nullptr, 100, true);
    m_table.AddTraffic(index, DIR_UNKNOWN, nullptr, 40, false);
    m_table.AddTraffic(index, DIR_UNKNOWN, nullptr, 0, true);
    m_table.AddTraffic(index, DIR_UNKNOWN, nullptr, -5, false);
    EXPECT_EQ(100, record.BytesSent);
    EXPECT_EQ(40, record.BytesReceived);

    // Past 2^31 the counter goes on as an unsigned number.
    m_table.AddTraffic(index, DIR_UNKNOWN, nullptr, INT_MAX, true);
    EXPECT_EQ(100u + INT_MAX, static_cast<DWORD>(record.BytesSent));
    m_table.AddTraffic(index, DIR_OUTBOUND, nullptr, 1, true);
    EXPECT_EQ(DIR_OUTBOUND, record.Direction);
}

TEST_F(SessionTableTest, AddTrafficWritesTextOnlyIntoAnEmptyDetail)
{
    int index = m_table.Register(0x44, PROTO_HTTP, kPath);
    const SessionRecord &record = *m_table.GetRecord(index);
    std::string longText(300, 'h');
    m_table.AddTraffic(index, DIR_UNKNOWN, longText.c_str(), 0, true);
    EXPECT_EQ(std::string(SESSION_DETAIL_SIZE - 1, 'h'), record.Detail);
    m_table.AddTraffic(index, DIR_UNKNOWN, "other", 0, true);
    EXPECT_EQ('h', record.Detail[0]);
}

TEST_F(SessionTableTest, RealSocketGivesLocalAddressAndAnnouncesItsPort)
{
    WSADATA wsa;
    ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &wsa));
    SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in local = {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, bind(s, reinterpret_cast<sockaddr *>(&local), sizeof local));
    int length = sizeof local;
    getsockname(s, reinterpret_cast<sockaddr *>(&local), &length);
    WORD port = ntohs(local.sin_port);

    int index = m_table.Register(s, PROTO_UDP, kPath);
    ASSERT_EQ(0, m_table.UpdateAddress(index, DIR_LISTEN, 0, 0, true));
    const SessionRecord &record = *m_table.GetRecord(index);
    EXPECT_EQ(port, record.LocalPort);
    EXPECT_EQ(static_cast<DWORD>(INADDR_LOOPBACK), record.LocalIp);
    EXPECT_EQ(DIR_LISTEN, record.Direction);
    EXPECT_EQ(1u, CountPortCalls(IOCTL_NETVANE_ADD_PORT, port));

    ASSERT_EQ(index, m_table.Unregister(s));
    EXPECT_EQ(SESSION_CLOSED, record.State);
    EXPECT_EQ(static_cast<DWORD>(s), record.Socket);
    EXPECT_NE(0u, record.EndTime);
    EXPECT_EQ(1u, CountPortCalls(IOCTL_NETVANE_REMOVE_PORT, port));

    // Closing again changes nothing: no new end time, no second withdrawal.
    SessionRecord &closed = *m_table.GetRecord(index);
    closed.EndTime = 1;
    m_table.CloseProcessSessions(GetCurrentProcessId());
    EXPECT_EQ(1u, record.EndTime);
    EXPECT_EQ(1u, CountPortCalls(IOCTL_NETVANE_REMOVE_PORT, port));

    closesocket(s);
    WSACleanup();
}

TEST_F(SessionTableTest, CloseProcessSessionsClosesOnlyThatProcess)
{
    int mine = m_table.Register(0x45, PROTO_TCP, kPath);
    int other = m_table.Register(0x46, PROTO_TCP, kPath);
    m_table.GetRecord(other)->ProcessId = GetCurrentProcessId() + 4;
    m_table.CloseProcessSessions(GetCurrentProcessId() + 4);
    EXPECT_EQ(SESSION_OPEN, m_table.GetRecord(mine)->State);
    EXPECT_EQ(SESSION_CLOSED, m_table.GetRecord(other)->State);
    EXPECT_EQ(0, m_table.CloseAllOfProcess());
    EXPECT_EQ(SESSION_CLOSED, m_table.GetRecord(mine)->State);
}

TEST_F(SessionTableTest, StampSessionEndNotesATransfer)
{
    SessionRecord &record = *m_table.GetRecord(m_table.Register(0x47, PROTO_FTP, kPath));
    EXPECT_EQ(0, StampSessionEnd(&record));
    EXPECT_EQ(SESSION_FTP_NOTED, record.State);
    EXPECT_NE(0u, record.EndTime);
}

// A second process's Open leaves the records alone; the records it
// registers are closed when its table goes away at its exit.
TEST_F(SessionTableTest, SecondProcessSharesTheTable)
{
    int index = m_table.Register(0x48, PROTO_TCP, kPath);
    m_table.GetRecord(index)->BytesSent = 5;
    ASSERT_EQ(0, RunChild(kOpenSwitch));
    EXPECT_EQ(0x48u, m_table.GetRecord(index)->Socket);
    EXPECT_EQ(5, m_table.GetRecord(index)->BytesSent);
    EXPECT_EQ(index, m_table.GetRecord(index)->Index);

    ASSERT_EQ(0, RunChild(kRegisterSwitch));
    const SessionRecord &child = *m_table.GetRecord(index + 1);
    EXPECT_EQ(0x4242u, child.Socket);
    EXPECT_NE(GetCurrentProcessId(), child.ProcessId);
    EXPECT_EQ(SESSION_CLOSED, child.State);
    EXPECT_NE(0u, child.EndTime);
}

// Two processes that register at the same moment never claim one record.
TEST_F(SessionTableTest, ConcurrentRegistrationsClaimDistinctRecords)
{
    char eventName[64];
    sprintf(eventName, "qfw-register-go-%lu", GetCurrentProcessId());
    HANDLE go = CreateEventA(nullptr, TRUE, FALSE, eventName);
    HANDLE first = StartChild(std::string(kManySwitch) + " " + eventName + " 4096");
    HANDLE second = StartChild(std::string(kManySwitch) + " " + eventName + " 4096");
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    Sleep(500); // both children are most likely waiting by now
    SetEvent(go);
    DWORD ids[2] = {GetProcessId(first), GetProcessId(second)};
    for (HANDLE child : {first, second}) {
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(child, 60000));
        DWORD code = 1;
        GetExitCodeProcess(child, &code);
        EXPECT_EQ(0u, code);
        CloseHandle(child);
    }
    CloseHandle(go);

    // Each child's sockets all have records of their own, with the child as owner.
    int counts[2] = {0, 0};
    for (int i = 0; i < SESSION_RECORD_COUNT; ++i) {
        const SessionRecord &record = *m_table.GetRecord(i);
        for (int child = 0; child < 2; ++child) {
            if (record.ProcessId == ids[child] && record.Socket >= 4096 && record.Socket < 4096u + kManyCount)
                ++counts[child];
        }
    }
    EXPECT_EQ(kManyCount, counts[0]);
    EXPECT_EQ(kManyCount, counts[1]);
}

TEST(SessionTableWithoutMapping, EveryOperationReportsNoTable)
{
    // An object of another kind holding the name keeps the mapping from being made.
    HANDLE squatter = CreateEventA(nullptr, TRUE, FALSE, SESSION_TABLE_NAME);
    ASSERT_NE(nullptr, squatter);
    {
        CSessionTable table;
        EXPECT_EQ(0, table.Open());
        EXPECT_EQ(0u, ControlBlock().SessionMapping);
        EXPECT_EQ(SESSION_ERR_NO_TABLE, table.Register(0x50, PROTO_TCP, kPath));
        EXPECT_EQ(SESSION_ERR_NO_TABLE, table.Find(0x50));
        EXPECT_EQ(SESSION_ERR_NO_TABLE, table.Unregister(0x50));
        EXPECT_EQ(SESSION_ERR_NO_TABLE, table.UpdateAddress(0, DIR_OUTBOUND, 80, 0, false));
        EXPECT_EQ(SESSION_ERR_NO_TABLE, table.AddTraffic(0, DIR_UNKNOWN, nullptr, 1, true));
        EXPECT_EQ(SESSION_ERR_NO_TABLE, table.CloseAllOfProcess());
        EXPECT_EQ(nullptr, table.GetRecord(0));
    }
    CloseHandle(squatter);
}

TEST(ProcessTable, EntriesAreAddedOnceFoundAndRemoved)
{
    int index = AddProcessEntry();
    ASSERT_GE(index, 0);
    EXPECT_EQ(index, AddProcessEntry());
    EXPECT_EQ(index, FindProcessEntry(GetCurrentProcessId()));
    ASSERT_NE(nullptr, GetCurrentProcessEntry());
    EXPECT_EQ(GetCurrentProcessId(), GetCurrentProcessEntry()->ProcessId);
    EXPECT_EQ(-1, FindProcessEntry(GetCurrentProcessId() + 4));
    EXPECT_EQ(-1, RemoveProcessEntry(GetCurrentProcessId() + 4));
    EXPECT_EQ(0, RemoveProcessEntry(GetCurrentProcessId()));
    EXPECT_EQ(nullptr, GetCurrentProcessEntry());
}

int ChildOpen()
{
    CSessionTable table;
    return table.Open() ? 0 : 3;
}

// Registers a record and leaves it to the table's teardown at exit.
int ChildRegister()
{
    static CSessionTable table;
    if (!table.Open())
        return 3;
    return table.Register(0x4242, PROTO_TCP, "child") >= 0 ? 0 : 4;
}

int ChildRegisterMany(const char *eventName, DWORD firstSocket)
{
    static CSessionTable table;
    HANDLE go = OpenEventA(SYNCHRONIZE, FALSE, eventName);
    if (!go || !table.Open())
        return 3;
    WaitForSingleObject(go, 60000);
    for (int i = 0; i < kManyCount; ++i) {
        if (table.Register(firstSocket + i, PROTO_TCP, "many") < 0)
            return 4;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && strcmp(argv[1], kOpenSwitch) == 0)
        return ChildOpen();
    if (argc == 2 && strcmp(argv[1], kRegisterSwitch) == 0)
        return ChildRegister();
    if (argc == 4 && strcmp(argv[1], kManySwitch) == 0)
        return ChildRegisterMany(argv[2], strtoul(argv[3], nullptr, 10));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
