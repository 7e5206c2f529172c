// Real loopback traffic through QFW.DLL: the router plays Winsock over the
// installed catalog, so each call passes the provider into the base
// provider, and the connection table shows every socket. Work mode 0: every
// call passes.
#include <winsock2.h>
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <string>
#include "CatalogFixture.h"
#include "CatalogRouter.h"
#include "ProviderTestSupport.h"

namespace {

const DWORD kLoopback = 0x7F000001;

sockaddr *Name(sockaddr_in &address)
{
    return reinterpret_cast<sockaddr *>(&address);
}

sockaddr_in LocalName(SOCKET s)
{
    sockaddr_in address = {};
    int length = sizeof address;
    getsockname(s, Name(address), &length);
    return address;
}

class ProviderRouteTest : public testing::Test {
protected:
    void SetUp() override
    {
        std::string folder = TestFolder();
        ASSERT_TRUE(CCatalogFixture::WriteInstalledCatalog((folder + "QFW.DLL").c_str(),
                                                           (folder + "TcpipBase.dll").c_str()));
        ASSERT_TRUE(m_router.Load());
    }
    void TearDown() override { CCatalogFixture::Clear(); }

    // The table exists once the provider has started, at the first socket.
    CTableView &Table()
    {
        if (!m_table)
            m_table.reset(new CTableView());
        EXPECT_TRUE(m_table->IsOpen());
        return *m_table;
    }

    SessionRecord &RecordOf(SOCKET s, DWORD processId = GetCurrentProcessId())
    {
        SessionRecord *record = Table().Find(processId, static_cast<DWORD>(s));
        EXPECT_NE(nullptr, record);
        return record ? *record : m_none;
    }

    // A loopback listener; its port in port.
    SOCKET Listen(WORD &port)
    {
        SOCKET listener = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        EXPECT_EQ(0, m_router.Bind(listener, Name(address), sizeof address));
        EXPECT_EQ(0, m_router.Listen(listener, 1));
        port = ntohs(LocalName(listener).sin_port);
        return listener;
    }

    CCatalogRouter m_router;
    std::unique_ptr<CTableView> m_table;
    SessionRecord m_none = {};
};

TEST_F(ProviderRouteTest, TcpConnectionIsRecordedOnBothEnds)
{
    WORD port = 0;
    SOCKET listener = Listen(port);
    SOCKET client = m_router.Socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in target = LocalName(listener);
    ASSERT_EQ(0, m_router.Connect(client, Name(target), sizeof target));
    SOCKET server = m_router.Accept(listener, nullptr, nullptr);
    ASSERT_NE(INVALID_SOCKET, server);
    ASSERT_EQ(5, m_router.Send(client, "hello", 5));
    char buffer[16] = {};
    ASSERT_EQ(5, m_router.Recv(server, buffer, sizeof buffer));
    ASSERT_EQ(3, m_router.Send(server, "bye", 3));
    ASSERT_EQ(3, m_router.Recv(client, buffer, sizeof buffer));

    const SessionRecord &out = RecordOf(client);
    EXPECT_EQ(GetCurrentProcessId(), out.ProcessId);
    EXPECT_EQ(static_cast<DWORD>(client), out.Socket);
    EXPECT_EQ(DIR_OUTBOUND, out.Direction);
    EXPECT_EQ(PROTO_TCP, out.Protocol);
    EXPECT_EQ(kLoopback, out.RemoteIp);
    EXPECT_EQ(port, out.RemotePort);
    EXPECT_EQ(kLoopback, out.LocalIp);
    EXPECT_EQ(ntohs(LocalName(client).sin_port), out.LocalPort);
    EXPECT_EQ(5, out.BytesSent);
    EXPECT_EQ(3, out.BytesReceived);
    EXPECT_EQ(SESSION_OPEN, out.State);
    EXPECT_STREQ(TestProgramPath().c_str(), out.Path);

    // The accepted end names the service it reached as its remote port.
    const SessionRecord &in = RecordOf(server);
    EXPECT_EQ(DIR_INBOUND, in.Direction);
    EXPECT_EQ(kLoopback, in.RemoteIp);
    EXPECT_EQ(port, in.RemotePort);
    EXPECT_EQ(port, in.LocalPort);
    EXPECT_EQ(5, in.BytesReceived);
    EXPECT_EQ(3, in.BytesSent);

    const SessionRecord &listening = RecordOf(listener);
    EXPECT_EQ(DIR_LISTEN, listening.Direction);
    EXPECT_EQ(port, listening.LocalPort);

    for (SOCKET s : {client, server, listener})
        EXPECT_EQ(0, m_router.CloseSocket(s));
    EXPECT_EQ(SESSION_CLOSED, out.State);
    EXPECT_EQ(SESSION_CLOSED, in.State);
    EXPECT_EQ(SESSION_CLOSED, listening.State);
    EXPECT_NE(0u, out.EndTime);
}

TEST_F(ProviderRouteTest, UdpExchangeIsRecordedOnBothEnds)
{
    SOCKET receiver = m_router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    SOCKET sender = m_router.Socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in target = {};
    target.sin_family = AF_INET;
    target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, m_router.Bind(receiver, Name(target), sizeof target));
    target = LocalName(receiver);
    WORD port = ntohs(target.sin_port);

    // Bound to port 0, the socket does not serve yet.
    const SessionRecord &in = RecordOf(receiver);
    EXPECT_EQ(DIR_UNKNOWN, in.Direction);
    EXPECT_EQ(PROTO_UDP, in.Protocol);
    EXPECT_EQ(port, in.LocalPort);

    ASSERT_EQ(4, m_router.SendTo(sender, "ping", 4, Name(target), sizeof target));
    char buffer[16] = {};
    sockaddr_in from = {};
    int fromLength = sizeof from;
    ASSERT_EQ(4, m_router.RecvFrom(receiver, buffer, sizeof buffer, Name(from), &fromLength));

    const SessionRecord &out = RecordOf(sender);
    EXPECT_EQ(DIR_OUTBOUND, out.Direction);
    EXPECT_EQ(PROTO_UDP, out.Protocol);
    EXPECT_EQ(kLoopback, out.RemoteIp);
    EXPECT_EQ(port, out.RemotePort);
    EXPECT_EQ(4, out.BytesSent);
    EXPECT_EQ(ntohs(LocalName(sender).sin_port), out.LocalPort);

    EXPECT_EQ(DIR_INBOUND, in.Direction);
    EXPECT_EQ(kLoopback, in.RemoteIp);
    EXPECT_EQ(ntohs(from.sin_port), in.RemotePort);
    EXPECT_EQ(4, in.BytesReceived);

    m_router.CloseSocket(sender);
    m_router.CloseSocket(receiver);
}

TEST_F(ProviderRouteTest, DatagramSocketBoundToAPortServes)
{
    SOCKET s = m_router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    ASSERT_NE(INVALID_SOCKET, s);
    // A port that was free a moment ago.
    SOCKET probe = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, bind(probe, Name(address), sizeof address));
    address = LocalName(probe);
    closesocket(probe);

    ASSERT_EQ(0, m_router.Bind(s, Name(address), sizeof address));
    const SessionRecord &record = RecordOf(s);
    EXPECT_EQ(DIR_LISTEN, record.Direction);
    EXPECT_EQ(ntohs(address.sin_port), record.LocalPort);
    EXPECT_EQ(0u, record.RemoteIp);
    m_router.CloseSocket(s);
}

// A second process sends through its own copy of the provider into the
// same table; its record is closed when its socket is.
TEST_F(ProviderRouteTest, SecondProcessRecordsIntoTheSameTable)
{
    WORD port = 0;
    SOCKET listener = Listen(port);
    HANDLE client = StartProgram(TestFolder() + "wsclient.exe",
                                 "send 127.0.0.1 " + std::to_string(port) + " --line hello");
    ASSERT_NE(nullptr, client);
    DWORD clientId = GetProcessId(client);
    SOCKET server = m_router.Accept(listener, nullptr, nullptr);
    ASSERT_NE(INVALID_SOCKET, server);
    std::string received;
    char buffer[64];
    int n;
    while ((n = m_router.Recv(server, buffer, sizeof buffer)) > 0)
        received.append(buffer, n);
    ASSERT_EQ(0, WaitForExit(client));
    EXPECT_EQ("hello\r\n", received);

    SessionRecord *out = nullptr;
    for (int i = 0; i < SESSION_RECORD_COUNT && !out; ++i) {
        if (Table()[i].ProcessId == clientId && Table()[i].Socket != 0)
            out = &Table()[i];
    }
    ASSERT_NE(nullptr, out);
    EXPECT_EQ(DIR_OUTBOUND, out->Direction);
    EXPECT_EQ(port, out->RemotePort);
    EXPECT_EQ(7, out->BytesSent);
    EXPECT_EQ(SESSION_CLOSED, out->State);
    std::string path = out->Path;
    EXPECT_EQ("wsclient.exe", path.substr(path.find_last_of('\\') + 1));

    m_router.CloseSocket(server);
    m_router.CloseSocket(listener);
}


} // namespace
