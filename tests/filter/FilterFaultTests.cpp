// Application buffers and addresses that cannot be read: the base provider
// answers such calls with an error of its own, and with QFW.DLL in the route
// the program gets that same answer, instead of a fault inside the provider.
// Real loopback sockets through the router, with memory whose end is fenced
// by a page that cannot be read.
#include "FilterDecisionFixture.h"

#include <cstring>
#include <vector>

namespace {

// Two pages, the second unreadable: what lies at the end of the first is
// readable up to the fence and no further.
class CFencedPage {
public:
    CFencedPage()
    {
        SYSTEM_INFO system;
        GetSystemInfo(&system);
        m_pageSize = system.dwPageSize;
        m_base = static_cast<char *>(VirtualAlloc(nullptr, 2 * m_pageSize, MEM_RESERVE | MEM_COMMIT,
                                                  PAGE_READWRITE));
        DWORD old;
        if (m_base)
            VirtualProtect(m_base + m_pageSize, m_pageSize, PAGE_NOACCESS, &old);
    }
    ~CFencedPage()
    {
        if (m_base)
            VirtualFree(m_base, 0, MEM_RELEASE);
    }
    CFencedPage(const CFencedPage &) = delete;
    CFencedPage &operator=(const CFencedPage &) = delete;

    bool IsReady() const { return m_base != nullptr; }
    // The last size readable bytes, holding the bytes given.
    char *BeforeFence(const void *bytes, size_t size)
    {
        char *at = m_base + m_pageSize - size;
        memcpy(at, bytes, size);
        return at;
    }
    char *Fence() const { return m_base + m_pageSize; }

private:
    char *m_base = nullptr;
    DWORD m_pageSize = 0;
};

// What a call gave back.
struct Outcome {
    int Result;
    int Error;
};

class FilterFaultTest : public FilterDecisionTest {
protected:
    void SetUp() override
    {
        FilterDecisionTest::SetUp();
        ASSERT_TRUE(m_page.IsReady());
        Publish(ACTION_PASS);
    }

    // A connected TCP client of the route to a peer listening on the port.
    SOCKET ConnectedClient(CCatalogRouter &route, WORD port)
    {
        SOCKET listener = PeerListen(kLoopback, port);
        SOCKET client = route.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in target = LoopbackName(port);
        EXPECT_EQ(0, route.Connect(client, Name(target), sizeof target));
        SOCKET peer = m_peer.Accept(listener, nullptr, nullptr);
        m_peer.CloseSocket(listener);
        m_peers.push_back(peer);
        return client;
    }

    // The same call through the base provider alone and through QFW.DLL.
    void ExpectSameOutcome(const std::function<Outcome(CCatalogRouter &, SOCKET)> &call, bool datagram)
    {
        CCatalogRouter *routes[] = {&m_peer, &m_router};
        Outcome outcomes[2];
        for (int i = 0; i < 2; ++i) {
            SOCKET s = datagram ? routes[i]->Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)
                                : ConnectedClient(*routes[i], 80);
            outcomes[i] = call(*routes[i], s);
            routes[i]->CloseSocket(s);
        }
        EXPECT_EQ(outcomes[0].Result, outcomes[1].Result);
        EXPECT_EQ(outcomes[0].Error, outcomes[1].Error);
        EXPECT_EQ(SOCKET_ERROR, outcomes[1].Result);
    }

    void TearDown() override
    {
        for (SOCKET peer : m_peers)
            m_peer.CloseSocket(peer);
        FilterDecisionTest::TearDown();
    }

    CFencedPage m_page;
    std::vector<SOCKET> m_peers;
};

Outcome Sent(int result)
{
    return {result, result == SOCKET_ERROR ? WSAGetLastError() : 0};
}

// The HTTP sniffer reads the request: a length that runs past the buffer.
TEST_F(FilterFaultTest, ASendLongerThanItsBufferOnASniffedPort)
{
    const char request[] = "GET / HTTP/1.1\r\n";
    ExpectSameOutcome(
        [&](CCatalogRouter &route, SOCKET s) {
            char *data = m_page.BeforeFence(request, sizeof request - 1);
            return Sent(route.Send(s, data, 4096));
        },
        false);
}

TEST_F(FilterFaultTest, ASendWhoseBufferArrayCannotBeRead)
{
    ExpectSameOutcome(
        [&](CCatalogRouter &route, SOCKET s) {
            return Sent(route.SendBuffers(s, reinterpret_cast<WSABUF *>(m_page.Fence()), 1));
        },
        false);
}

// Only the family and port of the target lie before the fence.
TEST_F(FilterFaultTest, ASendToWhoseAddressIsReadableOnlyInPart)
{
    sockaddr_in target = LoopbackName(FreeUdpPort());
    ExpectSameOutcome(
        [&](CCatalogRouter &route, SOCKET s) {
            const sockaddr *to = reinterpret_cast<const sockaddr *>(m_page.BeforeFence(&target, 4));
            return Sent(route.SendTo(s, "hi", 2, to, sizeof target));
        },
        true);
}

} // namespace
