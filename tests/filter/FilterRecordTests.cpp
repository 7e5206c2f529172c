// What the filter writes into a socket's record as real loopback traffic
// passes QFW.DLL in work mode 0, where every call passes: the service kind
// from the well-known port, the sniffed texts, and the receives of every
// kind (at once, overlapped with and without a completion routine).
#include "FilterRouteSupport.h"

#include <ws2tcpip.h>
#include <cstring>
#include <thread>
#include <vector>

namespace {

class FilterRecordTest : public CFilterRouteTest {};

TEST_F(FilterRecordTest, HttpRequestNamesItsHost)
{
    SOCKET client, server;
    ASSERT_TRUE(Connect(80, client, server));
    std::string request = "GET /a HTTP/1.1\r\nHost: www.example.org\r\nAccept: */*\r\n\r\n";
    ASSERT_TRUE(SendText(client, request));
    EXPECT_EQ(request, ReceiveCount(server, request.size()));
    ASSERT_TRUE(SendText(client, "GET /b HTTP/1.1\r\nHost: other.example\r\n\r\n"));

    const SessionRecord &out = RecordOf(client);
    EXPECT_EQ(PROTO_HTTP, out.Protocol);
    EXPECT_EQ(80, out.RemotePort);
    EXPECT_STREQ("www.example.org", out.Detail);

    // The accepted end serves port 80 too, but a received request is not read.
    const SessionRecord &in = RecordOf(server);
    EXPECT_EQ(DIR_INBOUND, in.Direction);
    EXPECT_EQ(PROTO_HTTP, in.Protocol);
    EXPECT_STREQ("", in.Detail);
    m_router.CloseSocket(client);
    m_router.CloseSocket(server);
}

TEST_F(FilterRecordTest, FtpRetrieveNotesTheFile)
{
    SOCKET client, server;
    ASSERT_TRUE(Connect(21, client, server));
    ASSERT_TRUE(SendText(client, "RETR readme.txt\r\n"));
    const SessionRecord &out = RecordOf(client);
    EXPECT_EQ(PROTO_FTP, out.Protocol);
    EXPECT_STREQ("Get File: readme.txt", out.Detail);
    EXPECT_EQ(SESSION_FTP_NOTED, out.State);
    EXPECT_NE(0u, out.EndTime);
    m_router.CloseSocket(client);
    EXPECT_EQ(SESSION_CLOSED, out.State);
    m_router.CloseSocket(server);
}

TEST_F(FilterRecordTest, SmtpEnvelopeOfTheMailSent)
{
    SOCKET client, server;
    ASSERT_TRUE(Connect(25, client, server));
    for (const char *line : {"HELO here\r\n", "MAIL FROM: <ann@example.org>\r\n", "RCPT TO: <bob@example.org>\r\n",
                             "RCPT TO: <cy@example.org>\r\n", "DATA\r\n"})
        ASSERT_TRUE(SendText(client, line));
    const SessionRecord &out = RecordOf(client);
    EXPECT_EQ(PROTO_SMTP, out.Protocol);
    EXPECT_STREQ("MAIL FROM: <ann@example.org>; RCPT TO: <bob@example.org>; RCPT TO: <cy@example.org>; ",
                 out.Detail);
    m_router.CloseSocket(client);
    m_router.CloseSocket(server);
}

// Only the bytes that arrived are read: the rest of the buffer holds an
// older header block that must not reach the record.
TEST_F(FilterRecordTest, Pop3HeadersOfTheBytesReceived)
{
    SOCKET client, server;
    ASSERT_TRUE(Connect(110, client, server));
    ASSERT_TRUE(SendText(server, "+OK 2 messages\r\n"));
    char buffer[256];
    const char stale[] = "From: stale@example.org\r\nSubject: old\r\n";
    memset(buffer, 0, sizeof buffer);
    memcpy(buffer + 16, stale, sizeof stale - 1);
    ASSERT_EQ(16, m_router.Recv(client, buffer, sizeof buffer));
    const SessionRecord &in = RecordOf(client);
    EXPECT_EQ(PROTO_POP3, in.Protocol);
    EXPECT_STREQ("", in.Detail);

    std::string headers = "Return-Path: <a>\r\nFrom: Ann <a@example.org>\r\nSubject: Hi\r\n\r\nText\r\n";
    ASSERT_TRUE(SendText(server, headers));
    EXPECT_EQ(headers, ReceiveCount(client, headers.size()));
    EXPECT_STREQ("From: Ann <a@example.org>; ", in.Detail);
    EXPECT_EQ(static_cast<int>(16 + headers.size()), in.BytesReceived);
    m_router.CloseSocket(client);
    m_router.CloseSocket(server);
}

// One overlapped receive with a completion routine, as an application posts
// it; the routine posts the next receive with the same OVERLAPPED.
struct OverlappedReader {
    WSAOVERLAPPED Overlapped; // first, so that the routine finds the reader from it
    CCatalogRouter *Router;
    SOCKET Socket;
    char Data[128];
    int Completions;
    DWORD LastError;
    std::string Received;
    bool PostAgain;

    static void CALLBACK Completed(DWORD error, DWORD transferred, LPWSAOVERLAPPED overlapped, DWORD)
    {
        OverlappedReader *reader = reinterpret_cast<OverlappedReader *>(overlapped);
        ++reader->Completions;
        reader->LastError = error;
        reader->Received.append(reader->Data, transferred);
        if (reader->PostAgain) {
            reader->PostAgain = false;
            reader->Post();
        }
    }

    // The buffer description lives on this call's stack only.
    int Post()
    {
        WSABUF buffers[1] = {{sizeof Data, Data}};
        DWORD flags = 0;
        memset(&Overlapped, 0, sizeof Overlapped);
        int result = Router->RecvOverlapped(Socket, buffers, 1, nullptr, &flags, &Overlapped, Completed);
        return result == 0 || WSAGetLastError() == WSA_IO_PENDING ? 0 : WSAGetLastError();
    }
};

// Fills the stack where the posted receive's buffer description was.
void OverwriteStack()
{
    volatile char scratch[512];
    for (size_t i = 0; i < sizeof scratch; ++i)
        scratch[i] = static_cast<char>(0xA5);
}

bool WaitAlertably(const OverlappedReader &reader, int completions)
{
    for (int i = 0; i < 500 && reader.Completions < completions; ++i)
        SleepEx(20, TRUE);
    return reader.Completions >= completions;
}

TEST_F(FilterRecordTest, OverlappedReceiveIsFilteredInItsRoutine)
{
    SOCKET client, server;
    ASSERT_TRUE(Connect(110, client, server));
    OverlappedReader reader = {{}, &m_router, client, {}, 0, 0, "", true};
    ASSERT_EQ(0, reader.Post());
    OverwriteStack();
    const std::string headers = "From: a@example.org\r\nSubject: one\r\n";
    ASSERT_TRUE(SendText(server, headers));
    ASSERT_TRUE(WaitAlertably(reader, 1));

    const SessionRecord &in = RecordOf(client);
    EXPECT_EQ(0u, reader.LastError);
    EXPECT_EQ(headers, reader.Received);
    EXPECT_STREQ("From: a@example.org; ", in.Detail);
    EXPECT_EQ(static_cast<int>(headers.size()), in.BytesReceived);

    // The receive that the routine posted again completes and is filtered too.
    ASSERT_TRUE(SendText(server, "From: b\r\nTo: me\r\nSubject: two\r\n"));
    ASSERT_TRUE(WaitAlertably(reader, 2));
    EXPECT_STREQ("From: a@example.org; From: b; To: me; ", in.Detail);
    EXPECT_EQ(static_cast<int>(headers.size() + 31), in.BytesReceived);
    m_router.CloseSocket(client);
    m_router.CloseSocket(server);
}

// Receives of several threads, each with its own OVERLAPPED and routine,
// all complete into their own routines.
TEST_F(FilterRecordTest, OverlappedReceivesOfSeveralThreadsAllComplete)
{
    const int kThreads = 4, kMessages = 25;
    SOCKET clients[kThreads], servers[kThreads];
    for (int t = 0; t < kThreads; ++t)
        ASSERT_TRUE(Connect(0, clients[t], servers[t]));
    std::vector<std::thread> threads;
    std::vector<int> received(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            OverlappedReader reader = {{}, &m_router, clients[t], {}, 0, 0, "", false};
            while (reader.Received.size() < static_cast<size_t>(kMessages)) {
                if (reader.Post() != 0 || !WaitAlertably(reader, reader.Completions + 1))
                    break;
            }
            received[t] = static_cast<int>(reader.Received.size());
        });
    }
    for (int m = 0; m < kMessages; ++m) {
        for (int t = 0; t < kThreads; ++t)
            ASSERT_TRUE(SendText(servers[t], "x"));
        Sleep(5);
    }
    for (std::thread &thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t) {
        EXPECT_EQ(kMessages, received[t]) << "thread " << t;
        EXPECT_EQ(kMessages, RecordOf(clients[t]).BytesReceived) << "thread " << t;
        m_router.CloseSocket(clients[t]);
        m_router.CloseSocket(servers[t]);
    }
}

// Without a routine the provider never sees the completion, so the data is
// neither counted nor read.
TEST_F(FilterRecordTest, OverlappedReceiveWithoutRoutineIsNotFiltered)
{
    SOCKET client, server;
    ASSERT_TRUE(Connect(110, client, server));
    char data[64] = {};
    WSABUF buffer = {sizeof data, data};
    DWORD flags = 0;
    WSAOVERLAPPED overlapped = {};
    overlapped.hEvent = WSACreateEvent();
    int result = m_router.RecvOverlapped(client, &buffer, 1, nullptr, &flags, &overlapped, nullptr);
    ASSERT_TRUE(result == 0 || WSAGetLastError() == WSA_IO_PENDING);
    ASSERT_TRUE(SendText(server, "From: a\r\nSubject: s\r\n"));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(overlapped.hEvent, 10000));
    const SessionRecord &in = RecordOf(client);
    EXPECT_EQ(0, in.BytesReceived);
    EXPECT_STREQ("", in.Detail);
    WSACloseEvent(overlapped.hEvent);
    m_router.CloseSocket(client);
    m_router.CloseSocket(server);
}

// A receive that completes at once is filtered on return; without a byte
// count to read it adds nothing.
TEST_F(FilterRecordTest, ImmediateReceiveWithoutByteCountAddsNothing)
{
    SOCKET client, server;
    ASSERT_TRUE(Connect(0, client, server));
    ASSERT_TRUE(SendText(server, "ready"));
    Sleep(100);
    char data[64] = {};
    WSABUF buffer = {sizeof data, data};
    DWORD flags = 0;
    WSAOVERLAPPED overlapped = {};
    overlapped.hEvent = WSACreateEvent();
    int result = m_router.RecvOverlapped(client, &buffer, 1, nullptr, &flags, &overlapped, nullptr);
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(overlapped.hEvent, 10000));
    EXPECT_STREQ("ready", data);
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, RecordOf(client).BytesReceived);
    WSACloseEvent(overlapped.hEvent);
    m_router.CloseSocket(client);
    m_router.CloseSocket(server);
}

TEST_F(FilterRecordTest, DatagramToBroadcastIsRecordedAsBroadcast)
{
    SOCKET sender = m_router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in target = LoopbackName(9);
    target.sin_addr.s_addr = INADDR_BROADCAST;
    m_router.SendTo(sender, "hi", 2, Name(target), sizeof target);
    const SessionRecord &out = RecordOf(sender);
    EXPECT_EQ(DIR_BROADCAST, out.Direction);
    EXPECT_EQ(0xFFFFFFFFu, out.RemoteIp);
    EXPECT_EQ(9, out.RemotePort);
    m_router.CloseSocket(sender);
}

// Bad addresses reach the next provider, which reports them; the record is
// left as it was and the process goes on.
TEST_F(FilterRecordTest, BadAddressesAreLeftToTheNextProvider)
{
    SOCKET udp = m_router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in target = LoopbackName(9);
    sockaddr_in6 other = {};
    other.sin6_family = AF_INET6;
    other.sin6_port = htons(9);
    EXPECT_EQ(SOCKET_ERROR, m_router.SendTo(udp, "x", 1, nullptr, sizeof target));
    EXPECT_EQ(SOCKET_ERROR, m_router.SendTo(udp, "x", 1, Name(target), 4));
    m_router.SendTo(udp, "x", 1, reinterpret_cast<sockaddr *>(&other), sizeof other);
    EXPECT_EQ(DIR_UNKNOWN, RecordOf(udp).Direction);
    EXPECT_EQ(0u, RecordOf(udp).RemoteIp);

    SOCKET tcp = m_router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_EQ(SOCKET_ERROR, m_router.Connect(tcp, Name(target), 2));
    EXPECT_EQ(DIR_UNKNOWN, RecordOf(tcp).Direction);
    EXPECT_EQ(0, RecordOf(tcp).RemotePort);
    m_router.CloseSocket(udp);
    m_router.CloseSocket(tcp);
}

} // namespace
