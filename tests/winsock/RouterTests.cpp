// The catalog router over the base provider: real loopback sockets created
// and used through the catalog that the fixture writes.
#include <winsock2.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include "CatalogFixture.h"
#include "CatalogRouter.h"

namespace {

sockaddr_in Loopback(u_short port = 0)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

sockaddr *Name(sockaddr_in &address)
{
    return reinterpret_cast<sockaddr *>(&address);
}

class RouterTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CCatalogFixture::WriteBaseCatalog((CCatalogFixture::ProgramFolder() + "TcpipBase.dll").c_str()));
        ASSERT_TRUE(m_router.Load());
    }
    void TearDown() override { CCatalogFixture::Clear(); }

    // A listener on a loopback port of the system's choosing; its address in out.
    SOCKET Listen(sockaddr_in &out)
    {
        SOCKET listener = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        out = Loopback();
        EXPECT_EQ(0, m_router.Bind(listener, Name(out), sizeof out));
        EXPECT_EQ(0, m_router.Listen(listener, 1));
        int length = sizeof out;
        EXPECT_EQ(0, getsockname(listener, Name(out), &length));
        return listener;
    }

    CCatalogRouter m_router;
};

TEST_F(RouterTest, TcpConnectionCarriesBytesBothWays)
{
    sockaddr_in address;
    SOCKET listener = Listen(address);
    SOCKET client = m_router.Socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_NE(INVALID_SOCKET, client);
    ASSERT_EQ(0, m_router.Connect(client, Name(address), sizeof address));
    SOCKET server = m_router.Accept(listener, nullptr, nullptr);
    ASSERT_NE(INVALID_SOCKET, server);

    EXPECT_EQ(5, m_router.Send(client, "hello", 5));
    char buffer[16] = {};
    EXPECT_EQ(5, m_router.Recv(server, buffer, sizeof buffer));
    EXPECT_STREQ("hello", buffer);
    EXPECT_EQ(3, m_router.Send(server, "bye", 3));
    memset(buffer, 0, sizeof buffer);
    EXPECT_EQ(3, m_router.Recv(client, buffer, sizeof buffer));
    EXPECT_STREQ("bye", buffer);

    // The handles are the process's own Winsock sockets.
    sockaddr_in peer;
    int length = sizeof peer;
    ASSERT_EQ(0, getpeername(server, Name(peer), &length));
    EXPECT_EQ(htonl(INADDR_LOOPBACK), peer.sin_addr.s_addr);

    EXPECT_EQ(0, m_router.CloseSocket(server));
    EXPECT_EQ(0, m_router.CloseSocket(client));
    EXPECT_EQ(0, m_router.CloseSocket(listener));
}

TEST_F(RouterTest, UdpDatagramArrivesWithItsSender)
{
    SOCKET receiver = m_router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    SOCKET sender = m_router.Socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_NE(INVALID_SOCKET, receiver);
    ASSERT_NE(INVALID_SOCKET, sender);
    sockaddr_in target = Loopback();
    ASSERT_EQ(0, m_router.Bind(receiver, Name(target), sizeof target));
    int length = sizeof target;
    ASSERT_EQ(0, getsockname(receiver, Name(target), &length));

    EXPECT_EQ(4, m_router.SendTo(sender, "ping", 4, Name(target), sizeof target));
    char buffer[16] = {};
    sockaddr_in from = {};
    int fromLength = sizeof from;
    EXPECT_EQ(4, m_router.RecvFrom(receiver, buffer, sizeof buffer, Name(from), &fromLength));
    EXPECT_STREQ("ping", buffer);
    sockaddr_in senderName;
    length = sizeof senderName;
    ASSERT_EQ(0, getsockname(sender, Name(senderName), &length));
    EXPECT_EQ(senderName.sin_port, from.sin_port);

    m_router.CloseSocket(sender);
    m_router.CloseSocket(receiver);
}

DWORD g_completedBytes;
int g_completions;

void CALLBACK CountCompletion(DWORD, DWORD bytes, LPWSAOVERLAPPED, DWORD)
{
    g_completedBytes = bytes;
    ++g_completions;
}

TEST_F(RouterTest, OverlappedReceiveCompletesThroughItsRoutine)
{
    sockaddr_in address;
    SOCKET listener = Listen(address);
    SOCKET client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    ASSERT_EQ(0, m_router.Connect(client, Name(address), sizeof address));
    SOCKET server = m_router.Accept(listener, nullptr, nullptr);
    ASSERT_NE(INVALID_SOCKET, server);

    char data[32] = {};
    WSABUF buffer = {sizeof data, data};
    DWORD flags = 0;
    WSAOVERLAPPED overlapped = {};
    g_completions = 0;
    int result = m_router.RecvOverlapped(server, &buffer, 1, nullptr, &flags, &overlapped, CountCompletion);
    int error = WSAGetLastError();
    ASSERT_TRUE(result == 0 || error == WSA_IO_PENDING) << error;
    EXPECT_EQ(7, m_router.Send(client, "overlap", 7));

    for (int i = 0; i < 100 && g_completions == 0; ++i)
        SleepEx(100, TRUE);
    EXPECT_EQ(1, g_completions);
    EXPECT_EQ(7u, g_completedBytes);
    EXPECT_STREQ("overlap", data);

    m_router.CloseSocket(server);
    m_router.CloseSocket(client);
    m_router.CloseSocket(listener);
}

TEST_F(RouterTest, FamilyWithoutEntryIsRefused)
{
    EXPECT_EQ(INVALID_SOCKET, m_router.Socket(AF_INET6, SOCK_STREAM, 0));
    EXPECT_EQ(WSAEAFNOSUPPORT, WSAGetLastError());
}

TEST_F(RouterTest, UnknownHandleIsNotASocket)
{
    EXPECT_EQ(SOCKET_ERROR, m_router.Listen(12345, 1));
    EXPECT_EQ(WSAENOTSOCK, WSAGetLastError());
}

TEST(RouterStart, MissingLibraryFailsProviderInit)
{
    ASSERT_TRUE(CCatalogFixture::WriteBaseCatalog("C:\\no\\such\\provider.dll"));
    {
        CCatalogRouter router;
        ASSERT_TRUE(router.Load());
        EXPECT_EQ(INVALID_SOCKET, router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
        EXPECT_EQ(WSAEPROVIDERFAILEDINIT, WSAGetLastError());
    }
    CCatalogFixture::Clear();
}

TEST(RouterStart, NoCatalogKeyMeansNoCatalog)
{
    CCatalogFixture::Clear();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY);
    CCatalogRouter router;
    EXPECT_FALSE(router.Load());
}

} // namespace
