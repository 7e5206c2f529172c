// Decisions end to end: a rule image published in the emulated driver's
// block, the work mode normal, and real loopback sockets of this program
// through the router and QFW.DLL. The peers use a second router over the
// base provider alone, so that only this program's own sockets are decided.
#include "FilterDecisionFixture.h"

#include <string>

namespace {

TEST_F(FilterDecisionTest, AllowedProgramConnectsAndTransfers)
{
    Publish(ACTION_PASS);
    SOCKET client, peer;
    ASSERT_TRUE(ConnectToPeer(0, client, peer));
    ASSERT_TRUE(SendText(client, "ping"));
    char buffer[16] = {};
    ASSERT_EQ(4, m_peer.Recv(peer, buffer, sizeof buffer));
    ASSERT_EQ(4, m_peer.Send(peer, "pong", 4));
    EXPECT_EQ("pong", ReceiveCount(client, 4));

    const SessionRecord &out = RecordOf(client);
    EXPECT_EQ(1, out.Decided);
    EXPECT_EQ(ACTION_PASS, out.Verdict);
    EXPECT_EQ(1, out.ByRule);
    EXPECT_EQ(ZONE_INTERNET, out.Zone);
    EXPECT_EQ(static_cast<int>(kOwnRuleId), out.RuleId);
    EXPECT_EQ(4, out.BytesSent);
    EXPECT_EQ(4, out.BytesReceived);
    m_router.CloseSocket(client);
    m_peer.CloseSocket(peer);
}

// The process finds its program's rule through an index that it keeps;
// rules that the console adds, edits and removes in place reach the next
// connect all the same. In the locked work mode a program without a rule
// is refused without a question.
TEST_F(FilterDecisionTest, EachConnectDecidesByTheImageAsItStandsThen)
{
    const DWORD kOtherRules = 40, kTemplateId = 1000, kLaterId = 2000;
    auto otherRules = [&](CAclImageBuilder &image) {
        for (DWORD i = 0; i < kOtherRules; ++i) {
            std::string path = "C:\\Program Files\\Other " + std::to_string(i) + "\\other.exe";
            image.AddProgram(kTemplateId + i, path.c_str());
        }
    };
    Publish(ACTION_PASS, nullptr, kBlockedAddress, otherRules);
    s_publisher->SetWorkMode(WORK_MODE_LOCKED);
    auto connects = [&] {
        SOCKET client, peer;
        bool connected = ConnectToPeer(0, client, peer);
        m_router.CloseSocket(client);
        if (connected)
            m_peer.CloseSocket(peer);
        return connected;
    };
    auto ownRule = [&](const CAclImageView &image) { return FindAclEntry(image.ProgramRules(), kOwnRuleId); };
    ASSERT_TRUE(connects()) << "the program's rule passes";

    s_publisher->Edit([&](const CAclImageView &image) { ownRule(image)->InetAction = ACTION_DENY; });
    EXPECT_FALSE(connects()) << "edited in place to deny";

    s_publisher->Edit([&](const CAclImageView &image) { ownRule(image)->InetAction = ACTION_PASS; });
    EXPECT_TRUE(connects()) << "edited back to pass";

    s_publisher->Edit([&](const CAclImageView &image) { RemoveAclEntry(image.ProgramRules(), kOwnRuleId); });
    EXPECT_FALSE(connects()) << "removed: no rule";

    // Added again at the end, its path written in other letters.
    s_publisher->Edit([&](const CAclImageView &image) {
        ProgramRule *rule = FreeAclSlot(image.ProgramRules());
        *rule = *FindAclEntry(image.ProgramRules(), kTemplateId);
        rule->ID = kLaterId;
        std::string path = TestProgramPath();
        for (char &c : path)
            c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        lstrcpynA(rule->Path, path.c_str(), sizeof rule->Path);
    });
    SOCKET client, peer;
    ASSERT_TRUE(ConnectToPeer(0, client, peer)) << "added";
    EXPECT_EQ(static_cast<int>(kLaterId), RecordOf(client).RuleId);
    m_router.CloseSocket(client);
    m_peer.CloseSocket(peer);

    // The first image again, then one with the same IDs in the same places
    // in which the program's path belongs to the first rule and its ID to
    // another program.
    Publish(ACTION_PASS, nullptr, kBlockedAddress, otherRules);
    s_publisher->SetWorkMode(WORK_MODE_LOCKED);
    ASSERT_TRUE(connects()) << "published anew";
    Publish(ACTION_PASS, [](ProgramRule &rule) { lstrcpynA(rule.Path, "C:\\Other\\other.exe", sizeof rule.Path); },
            kBlockedAddress, [&](CAclImageBuilder &image) {
                otherRules(image);
                ProgramRule *first = FindAclEntry(image.Image().ProgramRules(), kTemplateId);
                lstrcpynA(first->Path, TestProgramPath().c_str(), sizeof first->Path);
            });
    s_publisher->SetWorkMode(WORK_MODE_LOCKED);
    ASSERT_TRUE(ConnectToPeer(0, client, peer)) << "the new image's rule for the program";
    EXPECT_EQ(static_cast<int>(kTemplateId), RecordOf(client).RuleId);
    m_router.CloseSocket(client);
    m_peer.CloseSocket(peer);
}

TEST_F(FilterDecisionTest, DeniedProgramConnectIsRefusedAndTheSocketStaysOpen)
{
    Publish(ACTION_DENY);
    WORD port = 0;
    SOCKET listener = PeerListen(kLoopback, port);
    SOCKET client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in target = LoopbackName(port);
    EXPECT_EQ(SOCKET_ERROR, m_router.Connect(client, Name(target), sizeof target));
    EXPECT_EQ(WSAECONNREFUSED, WSAGetLastError());
    const SessionRecord &out = RecordOf(client);
    EXPECT_EQ(SESSION_OPEN, out.State);
    EXPECT_EQ(1, out.Decided);
    EXPECT_EQ(ACTION_DENY, out.Verdict);

    // Refused again from the stored verdict, even with filtering of the
    // program's rule changed to pass meanwhile.
    Publish(ACTION_PASS);
    EXPECT_EQ(SOCKET_ERROR, m_router.Connect(client, Name(target), sizeof target));
    EXPECT_EQ(WSAECONNREFUSED, WSAGetLastError());
    EXPECT_EQ(0, m_router.CloseSocket(client));
    EXPECT_EQ(SESSION_CLOSED, out.State);
    m_peer.CloseSocket(listener);
}

TEST_F(FilterDecisionTest, DeniedProgramBindAndListenAreRefused)
{
    Publish(ACTION_DENY);
    SOCKET udp = m_router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in any = LoopbackName(0);
    EXPECT_EQ(0, m_router.Bind(udp, Name(any), sizeof any));
    const SessionRecord &unbound = RecordOf(udp);
    EXPECT_EQ(DIR_UNKNOWN, unbound.Direction);
    EXPECT_EQ(0, unbound.Decided);

    SOCKET served = m_router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in port = LoopbackName(FreeUdpPort());
    EXPECT_EQ(SOCKET_ERROR, m_router.Bind(served, Name(port), sizeof port));
    EXPECT_EQ(WSAENOTSOCK, WSAGetLastError());
    const SessionRecord &bound = RecordOf(served);
    EXPECT_EQ(DIR_LISTEN, bound.Direction);
    EXPECT_EQ(SESSION_CLOSED, bound.State);

    SOCKET tcp = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_EQ(0, m_router.Bind(tcp, Name(any), sizeof any));
    EXPECT_EQ(SOCKET_ERROR, m_router.Listen(tcp, 1));
    EXPECT_EQ(WSAENOTSOCK, WSAGetLastError());
    const SessionRecord &listening = RecordOf(tcp);
    EXPECT_EQ(DIR_LISTEN, listening.Direction);
    EXPECT_EQ(ACTION_DENY, listening.Verdict);
    EXPECT_EQ(SESSION_CLOSED, listening.State);
    m_router.CloseSocket(udp);
}

// Connected while filtering was off, the socket is decided at its first
// send: nothing reaches the peer, and the socket is closed.
TEST_F(FilterDecisionTest, DeniedProgramSendIsRefusedAndClosesTheSocket)
{
    Publish(ACTION_DENY);
    s_publisher->SetWorkMode(0);
    SOCKET client, peer;
    ASSERT_TRUE(ConnectToPeer(0, client, peer));
    s_publisher->SetWorkMode(WORK_MODE_NORMAL);
    EXPECT_EQ(SOCKET_ERROR, m_router.Send(client, "secret", 6));
    EXPECT_EQ(WSAECONNABORTED, WSAGetLastError());
    const SessionRecord &out = RecordOf(client);
    EXPECT_EQ(SESSION_CLOSED, out.State);
    EXPECT_EQ(0, out.BytesSent);
    ExpectClosedWithoutData(peer);
    // The handle is no socket any more.
    EXPECT_EQ(SOCKET_ERROR, m_router.Send(client, "again", 5));
    m_peer.CloseSocket(peer);
}

TEST_F(FilterDecisionTest, DeniedProgramReceiveIsRefused)
{
    Publish(ACTION_DENY);
    s_publisher->SetWorkMode(0);
    SOCKET client, peer;
    ASSERT_TRUE(ConnectToPeer(0, client, peer));
    s_publisher->SetWorkMode(WORK_MODE_NORMAL);
    ASSERT_EQ(4, m_peer.Send(peer, "data", 4));
    char buffer[16];
    EXPECT_EQ(SOCKET_ERROR, m_router.Recv(client, buffer, sizeof buffer));
    EXPECT_EQ(WSAECONNABORTED, WSAGetLastError());
    const SessionRecord &in = RecordOf(client);
    EXPECT_EQ(SESSION_CLOSED, in.State);
    EXPECT_EQ(4, in.BytesReceived);
    m_peer.CloseSocket(peer);
}

// Bound to port 0, the socket is not decided until a datagram arrives:
// then it is decided as an inbound one from its sender.
TEST_F(FilterDecisionTest, DatagramFromBlockedSenderIsRefused)
{
    Publish(ACTION_PASS, nullptr, kLoopback);
    SOCKET receiver = m_router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in any = LoopbackName(0);
    ASSERT_EQ(0, m_router.Bind(receiver, Name(any), sizeof any));
    sockaddr_in target = LocalName(receiver);
    SOCKET sender = m_peer.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    ASSERT_EQ(2, m_peer.SendTo(sender, "hi", 2, Name(target), sizeof target));

    char buffer[16];
    sockaddr_in source = {};
    int sourceLength = sizeof source;
    EXPECT_EQ(SOCKET_ERROR, m_router.RecvFrom(receiver, buffer, sizeof buffer, Name(source), &sourceLength));
    EXPECT_EQ(WSAECONNABORTED, WSAGetLastError());
    const SessionRecord &in = RecordOf(receiver);
    EXPECT_EQ(DIR_INBOUND, in.Direction);
    EXPECT_EQ(kLoopback, in.RemoteIp);
    EXPECT_EQ(ntohs(LocalName(sender).sin_port), in.RemotePort);
    EXPECT_EQ(ZONE_BLOCKED, in.Zone);
    EXPECT_EQ(2, in.BytesReceived);
    EXPECT_EQ(SESSION_CLOSED, in.State);
    m_peer.CloseSocket(sender);
}

TEST_F(FilterDecisionTest, BlockedRemoteAddressIsRefused)
{
    Publish(ACTION_PASS);
    WORD port = 0;
    SOCKET listener = PeerListen(kBlockedAddress, port);
    SOCKET client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in target = AddressName(kBlockedAddress, port);
    EXPECT_EQ(SOCKET_ERROR, m_router.Connect(client, Name(target), sizeof target));
    EXPECT_EQ(WSAECONNREFUSED, WSAGetLastError());
    const SessionRecord &out = RecordOf(client);
    EXPECT_EQ(ZONE_BLOCKED, out.Zone);
    EXPECT_EQ(ACTION_DENY, out.Verdict);
    EXPECT_EQ(kBlockedAddress, out.RemoteIp);
    m_router.CloseSocket(client);
    m_peer.CloseSocket(listener);
}

// The connect passes; the request names a blocked site, and its send is
// refused before a byte leaves.
TEST_F(FilterDecisionTest, RequestToBlockedHostIsRefusedAtItsSend)
{
    Publish(ACTION_PASS);
    SOCKET good, goodPeer;
    ASSERT_TRUE(ConnectToPeer(80, good, goodPeer));
    std::string allowed = "GET / HTTP/1.1\r\nHost: good.example\r\n\r\n";
    EXPECT_TRUE(SendText(good, allowed));
    char buffer[128] = {};
    EXPECT_EQ(static_cast<int>(allowed.size()), m_peer.Recv(goodPeer, buffer, sizeof buffer));
    EXPECT_STREQ("good.example", RecordOf(good).Detail);

    SOCKET bad, badPeer;
    ASSERT_TRUE(ConnectToPeer(80, bad, badPeer));
    EXPECT_EQ(SOCKET_ERROR, m_router.Send(bad, "GET / HTTP/1.1\r\nHost: bad.example\r\n\r\n", 38));
    EXPECT_EQ(WSAECONNABORTED, WSAGetLastError());
    const SessionRecord &out = RecordOf(bad);
    EXPECT_EQ(PROTO_HTTP, out.Protocol);
    EXPECT_STREQ("bad.example", out.Detail);
    EXPECT_EQ(ZONE_BLOCKED, out.Zone);
    EXPECT_EQ(ACTION_DENY, out.Verdict);
    EXPECT_EQ(SESSION_CLOSED, out.State);
    ExpectClosedWithoutData(badPeer);
    for (SOCKET s : {goodPeer, badPeer})
        m_peer.CloseSocket(s);
    m_router.CloseSocket(good);
}

// Header names are matched without regard to case, as HTTP defines them.
TEST_F(FilterDecisionTest, HostHeaderInAnyCaseNamesABlockedSite)
{
    Publish(ACTION_PASS);
    for (const char *header : {"host: ", "HOST:", "hOsT:\t"}) {
        SCOPED_TRACE(header);
        SOCKET client, peer;
        ASSERT_TRUE(ConnectToPeer(80, client, peer));
        std::string request = std::string("GET / HTTP/1.1\r\n") + header + "bad.example\r\n\r\n";
        EXPECT_EQ(SOCKET_ERROR, m_router.Send(client, request.data(), static_cast<int>(request.size())));
        EXPECT_EQ(WSAECONNABORTED, WSAGetLastError());
        const SessionRecord &out = RecordOf(client);
        EXPECT_STREQ("bad.example", out.Detail);
        EXPECT_EQ(ZONE_BLOCKED, out.Zone);
        ExpectClosedWithoutData(peer);
        m_peer.CloseSocket(peer);
    }
}

// The site is named by the Host line alone: the same letters at the end of
// another header's name or in the URL neither hide a blocked site nor
// block an allowed one.
TEST_F(FilterDecisionTest, OnlyTheHostLineNamesTheSite)
{
    Publish(ACTION_PASS);
    struct Request {
        const char *Text;
        const char *Site;
    };
    const Request requests[] = {
        {"GET / HTTP/1.1\r\nX-Forwarded-Host: good.example\r\nHost: bad.example\r\n\r\n", "bad.example"},
        {"GET / HTTP/1.1\r\nGhost: x\r\nHost: bad.example\r\n\r\n", "bad.example"},
        {"GET /?host:good.example HTTP/1.1\r\nHost: bad.example\r\n\r\n", "bad.example"},
        {"GET /?host:bad.example HTTP/1.1\r\nHost: good.example\r\n\r\n", "good.example"},
        {"GET / HTTP/1.1\r\nX-Forwarded-Host: bad.example\r\nHost: good.example\r\n\r\n", "good.example"},
    };
    for (const Request &request : requests) {
        SCOPED_TRACE(request.Text);
        SOCKET client, peer;
        ASSERT_TRUE(ConnectToPeer(80, client, peer));
        const std::string text = request.Text;
        if (std::string(request.Site) == "bad.example") {
            EXPECT_EQ(SOCKET_ERROR, m_router.Send(client, text.data(), static_cast<int>(text.size())));
            EXPECT_EQ(WSAECONNABORTED, WSAGetLastError());
            EXPECT_EQ(ZONE_BLOCKED, RecordOf(client).Zone);
            EXPECT_STREQ(request.Site, RecordOf(client).Detail);
            ExpectClosedWithoutData(peer);
        } else {
            EXPECT_TRUE(SendText(client, text));
            char buffer[128] = {};
            EXPECT_EQ(static_cast<int>(text.size()), m_peer.Recv(peer, buffer, sizeof buffer));
            EXPECT_STREQ(request.Site, RecordOf(client).Detail);
            m_router.CloseSocket(client);
        }
        m_peer.CloseSocket(peer);
    }
}

// A program that may serve but not connect out: its accepted connection
// passes as server side, and its own connect is refused.
TEST_F(FilterDecisionTest, AcceptedConnectionIsDecidedAsInbound)
{
    Publish(ACTION_PASS, [](ProgramRule &rule) {
        rule.TcpAccess[ACL_INET] = 0;
        rule.TcpServer[ACL_INET] = 1;
        rule.AdvAction[ACL_INET] = ACTION_DENY;
    });
    WORD port = 0;
    SOCKET listener = Listen(port);
    SOCKET peer = m_peer.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in target = LoopbackName(port);
    ASSERT_EQ(0, m_peer.Connect(peer, Name(target), sizeof target));
    SOCKET server = m_router.Accept(listener, nullptr, nullptr);
    ASSERT_NE(INVALID_SOCKET, server);
    const SessionRecord &in = RecordOf(server);
    EXPECT_EQ(DIR_INBOUND, in.Direction);
    EXPECT_EQ(port, in.RemotePort);
    EXPECT_EQ(1, in.Decided);
    EXPECT_EQ(ACTION_PASS, in.Verdict);

    SOCKET client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_EQ(SOCKET_ERROR, m_router.Connect(client, Name(target), sizeof target));
    EXPECT_EQ(WSAECONNREFUSED, WSAGetLastError());
    for (SOCKET s : {server, client, listener})
        m_router.CloseSocket(s);
    m_peer.CloseSocket(peer);
}

// A connection from a blocked address is refused at the accept: the
// application gets no socket, and the peer sees the connection end.
TEST_F(FilterDecisionTest, AcceptFromBlockedAddressIsRefused)
{
    Publish(ACTION_PASS);
    WORD port = 0;
    SOCKET listener = Listen(port);
    SOCKET peer = m_peer.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in from = AddressName(kBlockedAddress, 0);
    ASSERT_EQ(0, m_peer.Bind(peer, Name(from), sizeof from));
    sockaddr_in target = LoopbackName(port);
    ASSERT_EQ(0, m_peer.Connect(peer, Name(target), sizeof target));
    EXPECT_EQ(INVALID_SOCKET, m_router.Accept(listener, nullptr, nullptr));
    EXPECT_EQ(WSAECONNREFUSED, WSAGetLastError());
    ExpectClosedWithoutData(peer);
    m_router.CloseSocket(listener);
    m_peer.CloseSocket(peer);
}

} // namespace
