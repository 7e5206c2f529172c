#include "LoopbackHttpServer.h"

#include <gtest/gtest.h>

LoopbackHttpServer::LoopbackHttpServer()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    EXPECT_EQ(0, bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address));
    EXPECT_EQ(0, listen(m_listener, 8));
    int length = sizeof address;
    getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_thread = CreateThread(nullptr, 0, ThreadEntry, this, 0, nullptr);
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    InterlockedExchange(&m_stopping, 1);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    closesocket(m_listener);
    WSACleanup();
}

void LoopbackHttpServer::Serve(const std::string &path, const std::string &body, Way way)
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_routes[path] = Route{body, way};
}

std::string LoopbackHttpServer::Url(const std::string &path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<std::string> LoopbackHttpServer::Requests() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requests;
}

DWORD WINAPI LoopbackHttpServer::ThreadEntry(LPVOID server)
{
    static_cast<LoopbackHttpServer *>(server)->AcceptLoop();
    return 0;
}

void LoopbackHttpServer::AcceptLoop()
{
    while (!m_stopping) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(m_listener, &readable);
        timeval wait = {0, 100000};
        if (select(0, &readable, nullptr, nullptr, &wait) <= 0)
            continue;
        SOCKET client = accept(m_listener, nullptr, nullptr);
        if (client == INVALID_SOCKET)
            continue;
        Answer(client);
        shutdown(client, SD_SEND);
        closesocket(client);
    }
}

bool LoopbackHttpServer::SendAll(SOCKET client, const char *data, size_t length)
{
    while (length > 0) {
        int sent = send(client, data, static_cast<int>(length), 0);
        if (sent <= 0)
            return false;
        data += sent;
        length -= sent;
    }
    return true;
}

void LoopbackHttpServer::WaitForClientToGo(SOCKET client)
{
    char buffer[256];
    while (!m_stopping) {
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(client, &readable);
        timeval wait = {0, 100000};
        int ready = select(0, &readable, nullptr, nullptr, &wait);
        if (ready < 0 || (ready > 0 && recv(client, buffer, sizeof buffer, 0) <= 0))
            return;
    }
}

void LoopbackHttpServer::Answer(SOCKET client)
{
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos) {
        int received = recv(client, buffer, sizeof buffer, 0);
        if (received <= 0)
            return;
        request.append(buffer, received);
    }
    size_t start = request.find(' ') + 1;
    std::string path = request.substr(start, request.find(' ', start) - start);

    Route route{"<html>not found</html>", NOT_FOUND};
    {
        std::lock_guard<std::mutex> hold(m_lock);
        m_requests.push_back(path);
        auto found = m_routes.find(path);
        if (found != m_routes.end())
            route = found->second;
    }

    const std::string &body = route.body;
    std::string head = route.way == NOT_FOUND ? "HTTP/1.1 404 Not Found\r\n" : "HTTP/1.1 200 OK\r\n";
    head += "Content-Type: application/octet-stream\r\nConnection: close\r\nCache-Control: no-cache\r\n";
    if (route.way != NO_LENGTH && route.way != ENDLESS)
        head += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    head += "\r\n";
    if (!SendAll(client, head.data(), head.size()))
        return;

    switch (route.way) {
    case SLOW:
        for (size_t sent = 0; sent < body.size() && !m_stopping; sent += 4096) {
            if (!SendAll(client, body.data() + sent, std::min<size_t>(4096, body.size() - sent)))
                return;
            Sleep(50);
        }
        break;
    case CUT_SHORT:
        SendAll(client, body.data(), body.size() / 2);
        break;
    case STALL:
        WaitForClientToGo(client);
        break;
    case DRIP:
        for (size_t sent = 0; sent < body.size() && !m_stopping; ++sent) {
            if (!SendAll(client, body.data() + sent, 1))
                return;
            Sleep(500);
        }
        break;
    case ENDLESS: {
        std::string chunk(64 * 1024, 'x');
        for (size_t sent = 0; sent < ENDLESS_BYTES && !m_stopping; sent += chunk.size()) {
            if (!SendAll(client, chunk.data(), chunk.size()))
                return;
        }
        break;
    }
    default:
        SendAll(client, body.data(), body.size());
        break;
    }
}
