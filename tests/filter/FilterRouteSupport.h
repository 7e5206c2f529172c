// Loopback sockets through QFW.DLL for the filter tests: the router plays
// Winsock over the installed catalog, and the connection table is read as
// the console reads it.
#pragma once

#include <winsock2.h>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include "CatalogFixture.h"
#include "CatalogRouter.h"
#include "ProviderTestSupport.h"

const DWORD kLoopback = 0x7F000001;

inline sockaddr *Name(sockaddr_in &address)
{
    return reinterpret_cast<sockaddr *>(&address);
}

inline sockaddr_in LoopbackName(WORD port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

inline sockaddr_in LocalName(SOCKET s)
{
    sockaddr_in address = {};
    int length = sizeof address;
    getsockname(s, Name(address), &length);
    return address;
}

class CFilterRouteTest : public testing::Test {
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

    SessionRecord &RecordOf(SOCKET s)
    {
        SessionRecord *record = Table().Find(GetCurrentProcessId(), static_cast<DWORD>(s));
        EXPECT_NE(nullptr, record);
        return record ? *record : m_none;
    }

    // A loopback TCP listener on the port (0: any); its port in port.
    SOCKET Listen(WORD &port)
    {
        SOCKET listener = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = LoopbackName(port);
        EXPECT_EQ(0, m_router.Bind(listener, Name(address), sizeof address)) << WSAGetLastError();
        EXPECT_EQ(0, m_router.Listen(listener, 4));
        port = ntohs(LocalName(listener).sin_port);
        return listener;
    }

    // A connected pair on a listener of the port; false when it fails.
    bool Connect(WORD port, SOCKET &client, SOCKET &server)
    {
        SOCKET listener = Listen(port);
        client = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in target = LoopbackName(port);
        bool connected = m_router.Connect(client, Name(target), sizeof target) == 0;
        server = connected ? m_router.Accept(listener, nullptr, nullptr) : INVALID_SOCKET;
        m_router.CloseSocket(listener);
        return connected && server != INVALID_SOCKET;
    }

    bool SendText(SOCKET s, const std::string &text)
    {
        return m_router.Send(s, text.data(), static_cast<int>(text.size())) == static_cast<int>(text.size());
    }

    // Receives exactly the count of bytes.
    std::string ReceiveCount(SOCKET s, size_t count)
    {
        std::string received;
        char buffer[512];
        while (received.size() < count) {
            int n = m_router.Recv(s, buffer, sizeof buffer < count - received.size()
                                                 ? static_cast<int>(sizeof buffer)
                                                 : static_cast<int>(count - received.size()));
            if (n <= 0)
                break;
            received.append(buffer, n);
        }
        return received;
    }

    CCatalogRouter m_router;
    std::unique_ptr<CTableView> m_table;
    SessionRecord m_none = {};
};
