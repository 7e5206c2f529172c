// The command-line client over the base catalog: what it sends and what it
// receives, seen from a plain Winsock peer in this process.
#include <winsock2.h>
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <thread>
#include "CatalogFixture.h"

namespace {

std::string TempFile(const char *name)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + name;
}

std::string ReadAll(const std::string &path)
{
    std::string text;
    FILE *file = fopen(path.c_str(), "rb");
    if (!file)
        return text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, n);
    fclose(file);
    return text;
}

// Runs wsclient with its output in a file; its exit code.
int RunClient(const std::string &arguments, const std::string &output)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    std::string command = "\"" + CCatalogFixture::ProgramFolder() + "wsclient.exe\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = out;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(out);
    if (!started)
        return -1;
    WaitForSingleObject(pi.hProcess, 60000);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

class ClientTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(0, WSAStartup(MAKEWORD(2, 2), &m_wsa));
        ASSERT_TRUE(CCatalogFixture::WriteBaseCatalog((CCatalogFixture::ProgramFolder() + "TcpipBase.dll").c_str()));
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(0, bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address));
        ASSERT_EQ(0, listen(m_listener, 1));
        int length = sizeof address;
        getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = std::to_string(ntohs(address.sin_port));
    }
    void TearDown() override
    {
        closesocket(m_listener);
        CCatalogFixture::Clear();
        WSACleanup();
    }

    // Accepts one connection, keeps what arrives until the peer has sent
    // the terminator (or closed), then answers and closes.
    void Serve(const std::string &terminator, const std::string &answer)
    {
        SOCKET peer = accept(m_listener, nullptr, nullptr);
        char buffer[4096];
        int n;
        while (m_received.find(terminator) == std::string::npos &&
               (n = recv(peer, buffer, sizeof buffer, 0)) > 0)
            m_received.append(buffer, n);
        send(peer, answer.data(), static_cast<int>(answer.size()), 0);
        closesocket(peer);
    }

    WSADATA m_wsa;
    SOCKET m_listener = INVALID_SOCKET;
    std::string m_port;
    std::string m_received;
};

TEST_F(ClientTest, SendsALine)
{
    std::thread server([this] { Serve("\n", ""); });
    EXPECT_EQ(0, RunClient("send 127.0.0.1 " + m_port + " --line hello", TempFile("qfw-client.out")));
    server.join();
    EXPECT_EQ("hello\r\n", m_received);
}

TEST_F(ClientTest, SendsAFile)
{
    std::string path = TempFile("qfw-client-data.bin");
    std::string data(10000, 'd');
    FILE *file = fopen(path.c_str(), "wb");
    fwrite(data.data(), 1, data.size(), file);
    fclose(file);
    std::thread server([this] { Serve("\x01", ""); });
    EXPECT_EQ(0, RunClient("send 127.0.0.1 " + m_port + " --file \"" + path + "\"", TempFile("qfw-client.out")));
    server.join();
    EXPECT_EQ(data, m_received);
    DeleteFileA(path.c_str());
}

TEST_F(ClientTest, GetPrintsTheReply)
{
    std::thread server([this] { Serve("\r\n\r\n", "HTTP/1.0 200 OK\r\n\r\nbody"); });
    std::string output = TempFile("qfw-client-get.out");
    EXPECT_EQ(0, RunClient("get 127.0.0.1 " + m_port + " /index.html", output));
    server.join();
    EXPECT_EQ("GET /index.html HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n", m_received);
    EXPECT_EQ("HTTP/1.0 200 OK\r\n\r\nbody", ReadAll(output));
    DeleteFileA(output.c_str());
}

TEST_F(ClientTest, ListenCopiesWhatArrives)
{
    // The client listens on the port that the fixture's listener frees.
    closesocket(m_listener);
    m_listener = INVALID_SOCKET;
    std::string output = TempFile("qfw-client-listen.out");
    std::thread client([&] { EXPECT_EQ(0, RunClient("listen " + m_port, output)); });

    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<u_short>(std::stoi(m_port)));
    SOCKET s = INVALID_SOCKET;
    for (int attempt = 0; attempt < 300 && s == INVALID_SOCKET; ++attempt) {
        s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0) {
            closesocket(s);
            s = INVALID_SOCKET;
            Sleep(100);
        }
    }
    EXPECT_NE(INVALID_SOCKET, s);
    if (s != INVALID_SOCKET) {
        send(s, "arrived", 7, 0);
        closesocket(s);
    }
    client.join();
    EXPECT_EQ("arrived", ReadAll(output));
    DeleteFileA(output.c_str());
}

TEST_F(ClientTest, RefusedConnectFails)
{
    closesocket(m_listener);
    m_listener = INVALID_SOCKET;
    EXPECT_EQ(1, RunClient("connect 127.0.0.1 " + m_port, TempFile("qfw-client.out")));
}

TEST_F(ClientTest, RepeatRunsTheCommandThatManyTimesInOneProcess)
{
    listen(m_listener, SOMAXCONN);
    std::thread server([this] {
        for (int i = 0; i < 3; ++i) {
            SOCKET peer = accept(m_listener, nullptr, nullptr);
            char buffer[256];
            int n;
            while ((n = recv(peer, buffer, sizeof buffer, 0)) > 0)
                m_received.append(buffer, n);
            closesocket(peer);
            m_received += "|";
        }
    });
    std::string output = TempFile("qfw-client-repeat.out");
    EXPECT_EQ(0, RunClient("repeat 3 send 127.0.0.1 " + m_port + " --line again", output));
    server.join();
    EXPECT_EQ("again\r\n|again\r\n|again\r\n|", m_received);
    EXPECT_EQ("0 of 3 failed\n", ReadAll(output));

    closesocket(m_listener);
    m_listener = INVALID_SOCKET;
    EXPECT_EQ(1, RunClient("repeat 2 connect 127.0.0.1 " + m_port, output)) << "a refused run fails it";
    EXPECT_EQ("2 of 2 failed\n", ReadAll(output));
    EXPECT_EQ(2, RunClient("repeat 0 connect 127.0.0.1 " + m_port, output));
    EXPECT_EQ(2, RunClient("repeat 2 frobnicate", output));
    DeleteFileA(output.c_str());
}

TEST_F(ClientTest, UnknownCommandShowsUsage)
{
    EXPECT_EQ(2, RunClient("frobnicate", TempFile("qfw-client.out")));
}

} // namespace
