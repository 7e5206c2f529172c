// The waits of a decision end when what they wait for can no longer come: a
// console killed or unregistered while a connect waits for its answer, a
// socket closed by another thread during its wait, and a rule image whose
// writer died holding its flags. Real loopback sockets through QFW.DLL, a
// real console process.
#include "FilterDecisionFixture.h"

#include <cstring>
#include <memory>
#include <thread>

namespace {

const char kIdleConsoleSwitch[] = "--idle-console";

// A connect made on a thread of its own, as a program's other thread would.
// A test that stops early ends the wait by turning filtering off.
class CConnectThread {
public:
    CConnectThread(CCatalogRouter &router, CRuleImagePublisher &publisher, SOCKET s, WORD port)
        : m_publisher(publisher), m_socket(s)
    {
        m_thread = std::thread([this, &router, port] {
            sockaddr_in target = LoopbackName(port);
            m_result = router.Connect(m_socket, Name(target), sizeof target);
            m_error = WSAGetLastError();
            m_endTick = GetTickCount();
        });
    }
    ~CConnectThread()
    {
        if (m_thread.joinable()) {
            m_publisher.SetWorkMode(0);
            m_thread.join();
        }
    }

    // Waits for the connect to return; its tick count then.
    DWORD Join()
    {
        m_thread.join();
        return m_endTick;
    }
    int Result() const { return m_result; }
    int Error() const { return m_error; }

private:
    CRuleImagePublisher &m_publisher;
    SOCKET m_socket;
    std::thread m_thread;
    int m_result = 0;
    int m_error = 0;
    DWORD m_endTick = 0;
};

class FilterWaitTest : public FilterDecisionTest {
protected:
    void TearDown() override
    {
        s_publisher->RegisterConsole(0);
        if (m_console) {
            TerminateProcess(m_console, 0);
            CloseHandle(m_console);
        }
        FilterDecisionTest::TearDown();
    }

    // A console process that never answers, registered with the provider.
    void StartConsole()
    {
        m_console = StartProgram(TestProgramPath(), kIdleConsoleSwitch);
        ASSERT_NE(nullptr, m_console);
        s_publisher->RegisterConsole(GetProcessId(m_console));
    }

    // Waits until the socket's record holds a question.
    bool WaitForQuestion(SOCKET s)
    {
        for (int i = 0; i < 100; ++i) {
            SessionRecord *record = Table().Find(GetCurrentProcessId(), static_cast<DWORD>(s));
            if (record && record->State == SESSION_ASKING)
                return true;
            Sleep(50);
        }
        return false;
    }

    // Connects the socket and gives how long the connect took, in ms.
    DWORD TimedRefusal(SOCKET s, WORD port)
    {
        DWORD start = GetTickCount();
        sockaddr_in target = LoopbackName(port);
        EXPECT_EQ(SOCKET_ERROR, m_router.Connect(s, Name(target), sizeof target));
        EXPECT_EQ(WSAECONNREFUSED, WSAGetLastError());
        return GetTickCount() - start;
    }

    HANDLE m_console = nullptr;
};

// The console ends, killed or by unregistering, without setting the work
// mode to 0: the waiting connect is refused as if the question timed out.
// Behind a killed console, whose id stays registered, the process's other
// decisions go on at once, refused with no console to answer.
TEST_F(FilterWaitTest, AConsoleThatIsGoneReleasesAWaitingConnect)
{
    for (bool killed : {true, false}) {
        SCOPED_TRACE(killed ? "killed" : "unregistered");
        Publish(ACTION_QUERY);
        StartConsole();
        WORD port = 0;
        SOCKET listener = PeerListen(kLoopback, port);
        SOCKET asking = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        SOCKET queued = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        CConnectThread first(m_router, *s_publisher, asking, port);
        ASSERT_TRUE(WaitForQuestion(asking));
        std::unique_ptr<CConnectThread> second;
        if (killed) {
            second.reset(new CConnectThread(m_router, *s_publisher, queued, port));
            Sleep(200);
        }

        DWORD gone = GetTickCount();
        if (killed)
            TerminateProcess(m_console, 1);
        else
            s_publisher->RegisterConsole(0);
        EXPECT_LT(first.Join() - gone, 2000u);
        EXPECT_EQ(SOCKET_ERROR, first.Result());
        EXPECT_EQ(WSAECONNREFUSED, first.Error());
        const SessionRecord &record = RecordOf(asking);
        EXPECT_EQ(1, record.Decided);
        EXPECT_EQ(ACTION_DENY, record.Verdict);
        EXPECT_EQ(0, record.ByRule);
        if (second) {
            EXPECT_LT(second->Join() - gone, 2000u);
            EXPECT_EQ(WSAECONNREFUSED, second->Error());
        }

        for (SOCKET s : {asking, queued})
            m_router.CloseSocket(s);
        m_peer.CloseSocket(listener);
        s_publisher->RegisterConsole(0);
        TerminateProcess(m_console, 0);
        CloseHandle(m_console);
        m_console = nullptr;
    }
}

// Another thread closes the socket while its connect waits: the wait ends,
// and with it the hold on the process's decisions.
TEST_F(FilterWaitTest, ASocketClosedDuringItsWaitReleasesTheLock)
{
    Publish(ACTION_QUERY);
    StartConsole();
    WORD port = 0;
    SOCKET listener = PeerListen(kLoopback, port);
    SOCKET asking = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    CConnectThread waiting(m_router, *s_publisher, asking, port);
    ASSERT_TRUE(WaitForQuestion(asking));

    DWORD closed = GetTickCount();
    EXPECT_EQ(0, m_router.CloseSocket(asking));
    EXPECT_LT(waiting.Join() - closed, 1000u);
    EXPECT_EQ(SOCKET_ERROR, waiting.Result());
    EXPECT_EQ(WSAECONNREFUSED, waiting.Error());

    // The next decision of the process is made at once.
    Publish(ACTION_DENY);
    SOCKET next = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_LT(TimedRefusal(next, port), 1000u);
    m_router.CloseSocket(next);
    m_peer.CloseSocket(listener);
}

// The console died while it held the image's writer flag, or its update
// flag: the first call waits its bounded time and decides on the image as it
// stands; the calls after it do not wait again.
TEST_F(FilterWaitTest, AStuckFlagCostsOneWaitNotOnePerCall)
{
    Publish(ACTION_DENY);
    WORD port = 0;
    SOCKET listener = PeerListen(kLoopback, port);
    for (bool writer : {true, false}) {
        SCOPED_TRACE(writer ? "writer flag" : "update flag");
        if (writer)
            s_publisher->Header()->WriterFlag = 1;
        else
            s_publisher->SetUpdating(1);
        SOCKET first = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        EXPECT_GE(TimedRefusal(first, port), 4000u);
        EXPECT_EQ(ACTION_DENY, RecordOf(first).Verdict);
        for (int i = 0; i < 3; ++i) {
            SOCKET later = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            EXPECT_LT(TimedRefusal(later, port), 2000u);
            m_router.CloseSocket(later);
        }
        m_router.CloseSocket(first);
        if (writer)
            s_publisher->Header()->WriterFlag = 0;
        else
            s_publisher->SetUpdating(0);
    }
    m_peer.CloseSocket(listener);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 2 && strcmp(argv[1], kIdleConsoleSwitch) == 0) {
        Sleep(120000);
        return 0;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
