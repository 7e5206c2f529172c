// The fixture of the decision tests end to end: a rule image published in
// the emulated driver's block, the work mode normal, and real loopback
// sockets of the test program through the router and QFW.DLL. The peers use
// a second router over the base provider alone, so that only the test
// program's own sockets are decided.
#pragma once

#include <functional>
#include "FilterRouteSupport.h"
#include "FirewallTypes.h"
#include "RuleImagePublisher.h"

inline const DWORD kOwnRuleId = 77;
inline const DWORD kBlockedAddress = 0x7F000002; // 127.0.0.2, still this computer

inline sockaddr_in AddressName(DWORD address, WORD port)
{
    sockaddr_in name = LoopbackName(port);
    name.sin_addr.s_addr = htonl(address);
    return name;
}

class FilterDecisionTest : public CFilterRouteTest {
protected:
    static void SetUpTestSuite()
    {
        s_publisher = new CRuleImagePublisher();
        const AclCounts counts = {0, 2, 4, 2};
        s_ready = s_publisher->Create((TestFolder() + "QFW.DLL").c_str(), counts);
    }
    static void TearDownTestSuite()
    {
        delete s_publisher;
        s_publisher = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_ready);
        ASSERT_TRUE(CCatalogFixture::WriteBaseCatalog((TestFolder() + "TcpipBase.dll").c_str()));
        ASSERT_TRUE(m_peer.Load());
        CFilterRouteTest::SetUp();
    }
    void TearDown() override
    {
        s_publisher->SetWorkMode(0);
        CFilterRouteTest::TearDown();
    }

    // This program's rule with the actions, the blocked address and the
    // blocked host name, after what more adds; then filtering starts.
    void Publish(BYTE action, const std::function<void(ProgramRule &)> &adjust = nullptr,
                 DWORD blockedAddress = kBlockedAddress,
                 const std::function<void(CAclImageBuilder &)> &more = nullptr)
    {
        ASSERT_TRUE(s_publisher->Publish([&](CAclImageBuilder &image) {
            if (more)
                more(image);
            image.AddZone(TRUE, 1, ZONE_ENTRY_ADDRESS, blockedAddress, 0);
            image.AddZone(TRUE, 2, ZONE_ENTRY_HOST, 0, 0, "bad.example");
            ProgramRule *rule = image.AddProgram(kOwnRuleId, TestProgramPath().c_str());
            rule->InetAction = action;
            rule->TnetAction = action;
            if (adjust)
                adjust(*rule);
        }));
        s_publisher->SetWorkMode(WORK_MODE_NORMAL);
    }

    // A listener of the base router on the address; its port in port.
    SOCKET PeerListen(DWORD address, WORD &port)
    {
        SOCKET listener = m_peer.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in name = AddressName(address, port);
        EXPECT_EQ(0, m_peer.Bind(listener, Name(name), sizeof name));
        EXPECT_EQ(0, m_peer.Listen(listener, 4));
        port = ntohs(LocalName(listener).sin_port);
        return listener;
    }

    // This program's connection to a peer that accepts it.
    bool ConnectToPeer(WORD port, SOCKET &client, SOCKET &peer)
    {
        SOCKET listener = PeerListen(kLoopback, port);
        client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in target = LoopbackName(port);
        bool connected = m_router.Connect(client, Name(target), sizeof target) == 0;
        peer = connected ? m_peer.Accept(listener, nullptr, nullptr) : INVALID_SOCKET;
        m_peer.CloseSocket(listener);
        return connected && peer != INVALID_SOCKET;
    }

    // A port that no socket uses at the moment.
    WORD FreeUdpPort()
    {
        SOCKET probe = m_peer.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in any = LoopbackName(0);
        m_peer.Bind(probe, Name(any), sizeof any);
        WORD port = ntohs(LocalName(probe).sin_port);
        m_peer.CloseSocket(probe);
        return port;
    }

    // The peer sees the end of the connection before any data.
    void ExpectClosedWithoutData(SOCKET peer)
    {
        char buffer[64];
        EXPECT_EQ(0, m_peer.Recv(peer, buffer, sizeof buffer));
    }

    static inline CRuleImagePublisher *s_publisher = nullptr;
    static inline bool s_ready = false;
    CCatalogRouter m_peer;
};
