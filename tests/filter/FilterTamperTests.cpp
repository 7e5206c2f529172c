// The decision holds against what other programs write into the connection
// table, which every process may write: a second process rewrites the
// fields of a refused socket's shared record, texts without terminators lie
// at the very end of the table, and a table that no console empties fills
// up. None of it turns a refusal into a pass or crashes the program.
#include "FilterDecisionFixture.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const char kTamperSwitch[] = "--tamper";
const char kOtherProgram[] = "C:\\Trusted\\Other.exe";
const DWORD kOtherRuleId = 78;

// What the hostile process writes into a record.
enum Tamper {
    TAMPER_CLOSED,    // State 10: no longer the socket's live record
    TAMPER_UNDECIDED, // Decided 0
    TAMPER_PASSED,    // Decided 1 with Verdict pass
    TAMPER_OWNER,     // another ProcessId
    TAMPER_PATH,      // the path of a program whose rule passes everything
    TAMPER_TEXTS,     // Path and Detail filled to the end, no terminators
};

void ApplyTamper(SessionRecord &record, Tamper tamper)
{
    switch (tamper) {
    case TAMPER_CLOSED: record.State = SESSION_CLOSED; break;
    case TAMPER_UNDECIDED: record.Decided = 0; break;
    case TAMPER_PASSED:
        record.Verdict = ACTION_PASS;
        record.Decided = 1;
        break;
    case TAMPER_OWNER: record.ProcessId += 4; break;
    case TAMPER_PATH: lstrcpynA(record.Path, kOtherProgram, sizeof record.Path); break;
    case TAMPER_TEXTS:
        memset(record.Path, 'p', sizeof record.Path);
        memset(record.Detail, 'd', sizeof record.Detail);
        record.HostMatchDone = 0;
        break;
    }
}

// The hostile second process: rewrites the record at the index.
int TamperChild(int index, Tamper tamper)
{
    CTableView table;
    if (!table.IsOpen() || index < 0 || index >= SESSION_RECORD_COUNT)
        return 1;
    ApplyTamper(table[index], tamper);
    return 0;
}

class FilterTamperTest : public FilterDecisionTest {
protected:
    // This program is denied; the other program passes everything.
    void PublishDenied(BYTE action = ACTION_DENY)
    {
        Publish(action, nullptr, kBlockedAddress,
                [](CAclImageBuilder &image) { image.AddProgram(kOtherRuleId, kOtherProgram); });
    }

    void TamperWith(int index, Tamper tamper)
    {
        std::string arguments = std::string(kTamperSwitch) + " " + std::to_string(index) + " " +
                                std::to_string(static_cast<int>(tamper));
        ASSERT_EQ(0, WaitForExit(StartProgram(TestProgramPath(), arguments)));
    }

    int IndexOf(SOCKET s) { return static_cast<int>(&RecordOf(s) - &Table()[0]); }

    // The connect is refused, and nothing reached the listener.
    void ExpectRefused(SOCKET client, WORD port)
    {
        sockaddr_in target = LoopbackName(port);
        EXPECT_EQ(SOCKET_ERROR, m_router.Connect(client, Name(target), sizeof target));
        EXPECT_EQ(WSAECONNREFUSED, WSAGetLastError());
    }

    int UsedRecords()
    {
        int used = 0;
        for (int i = 0; i < SESSION_RECORD_COUNT; ++i)
            used += Table()[i].Socket != 0;
        return used;
    }

    // Plays the console's monitor page: frees every closed record, so that
    // the table is usable again for the tests that follow.
    void FreeClosedRecords()
    {
        for (int i = 0; i < SESSION_RECORD_COUNT; ++i) {
            SessionRecord &record = Table()[i];
            if (record.Socket != 0 && record.State == SESSION_CLOSED) {
                record.State = SESSION_OPEN;
                record.Decided = 0;
                record.Socket = 0;
            }
        }
    }
};

TEST_F(FilterTamperTest, AnotherProcessWritingTheRecordChangesNoRefusal)
{
    const struct {
        const char *what;
        Tamper tamper;
    } cases[] = {
        {"State closed", TAMPER_CLOSED},
        {"Decided cleared", TAMPER_UNDECIDED},
        {"a stored pass", TAMPER_PASSED},
        {"another owner", TAMPER_OWNER},
        {"another program's path", TAMPER_PATH},
        {"unterminated texts", TAMPER_TEXTS},
    };
    PublishDenied();
    WORD port = 0;
    SOCKET listener = PeerListen(kLoopback, port);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        SOCKET client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        ASSERT_NE(INVALID_SOCKET, client);
        int index = IndexOf(client);
        // Before the first decision, then after it.
        TamperWith(index, c.tamper);
        ExpectRefused(client, port);
        TamperWith(index, c.tamper);
        ExpectRefused(client, port);
        EXPECT_EQ(0, m_router.CloseSocket(client));
    }
    // A program that the table calls another still is this one: its rule is
    // the one in the record after a decision.
    SOCKET client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    TamperWith(IndexOf(client), TAMPER_PATH);
    ExpectRefused(client, port);
    EXPECT_EQ(static_cast<int>(kOwnRuleId), RecordOf(client).RuleId);
    EXPECT_EQ(ACTION_DENY, RecordOf(client).Verdict);
    m_router.CloseSocket(client);
    m_peer.CloseSocket(listener);
}

// The host-name zones are matched against a sniffed text: texts without
// terminators in the table's last record, the socket's own, are never read
// past the end of the table.
TEST_F(FilterTamperTest, UnterminatedTextsInTheLastRecordCrashNothing)
{
    PublishDenied(ACTION_PASS);
    // Other programs' records take every free record but the last.
    std::vector<int> taken;
    for (int i = 0; i < SESSION_RECORD_COUNT - 1; ++i) {
        SessionRecord &record = Table()[i];
        if (record.Socket == 0) {
            record.ProcessId = 1;
            record.Socket = 0xFFFF0000u + i;
            taken.push_back(i);
        }
    }
    SOCKET client, peer;
    bool connected = ConnectToPeer(80, client, peer);
    for (int i : taken)
        Table()[i].Socket = 0;
    ASSERT_TRUE(connected);
    ASSERT_EQ(SESSION_RECORD_COUNT - 1, IndexOf(client));
    TamperWith(IndexOf(client), TAMPER_TEXTS);
    std::string request = "GET / HTTP/1.1\r\nHost: good.example\r\n\r\n";
    EXPECT_TRUE(SendText(client, request));
    char buffer[128] = {};
    EXPECT_EQ(static_cast<int>(request.size()), m_peer.Recv(peer, buffer, sizeof buffer));
    m_router.CloseSocket(client);
    m_peer.CloseSocket(peer);
}

// No console frees the closed records: after the table has filled, a new
// socket has no shared record, and is decided all the same.
TEST_F(FilterTamperTest, AFullTableStillRefusesADeniedProgram)
{
    PublishDenied();
    for (int i = 0; i < 1100; ++i) {
        SOCKET s = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        ASSERT_NE(INVALID_SOCKET, s);
        ASSERT_EQ(0, m_router.CloseSocket(s));
    }
    WORD port = 0;
    SOCKET listener = PeerListen(kLoopback, port);
    SOCKET client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_EQ(SESSION_RECORD_COUNT, UsedRecords());
    ExpectRefused(client, port);
    m_router.CloseSocket(client);

    // A question cannot reach the console without a record: refused at once.
    PublishDenied(ACTION_QUERY);
    client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    DWORD start = GetTickCount();
    ExpectRefused(client, port);
    EXPECT_LT(GetTickCount() - start, 2000u);
    m_router.CloseSocket(client);

    // A program whose rule passes still connects and transfers.
    PublishDenied(ACTION_PASS);
    SOCKET peer;
    ASSERT_TRUE(ConnectToPeer(0, client, peer));
    EXPECT_TRUE(SendText(client, "ping"));
    char buffer[8] = {};
    EXPECT_EQ(4, m_peer.Recv(peer, buffer, sizeof buffer));
    m_router.CloseSocket(client);
    m_peer.CloseSocket(peer);
    m_peer.CloseSocket(listener);
    FreeClosedRecords();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && strcmp(argv[1], kTamperSwitch) == 0)
        return TamperChild(atoi(argv[2]), static_cast<Tamper>(atoi(argv[3])));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
