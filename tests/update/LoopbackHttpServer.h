// A small HTTP server on 127.0.0.1 for the updater's downloads: a Winsock
// thread of the test program on an ephemeral port, started by the object
// and joined when it goes. Each path is served one way, and every request
// is logged in order.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

class LoopbackHttpServer
{
public:
    enum Way {
        WITH_LENGTH,  // 200 with Content-Length
        NO_LENGTH,    // 200 without a length: the end of the body closes
        SLOW,         // 200 with a length, 4 KB every 50 ms
        CUT_SHORT,    // a length, but only half the body before the close
        NOT_FOUND,    // 404 with a small page
        STALL,        // the headers with a length, then nothing until the client goes
        DRIP,         // a length, then one byte every half second
        ENDLESS,      // no length, and bytes for as long as the client takes them, up
                      // to ENDLESS_BYTES: far more than any file of the tests, and
                      // no test that fails may fill the disk
    };

    static const size_t ENDLESS_BYTES = 16 * 1024 * 1024;

    LoopbackHttpServer();
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer &) = delete;
    LoopbackHttpServer &operator=(const LoopbackHttpServer &) = delete;

    // Serves the body at the path ("/a/b.bin"), replacing an earlier route.
    void Serve(const std::string &path, const std::string &body, Way way = WITH_LENGTH);

    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string &path) const;
    // The paths asked for so far, in order.
    std::vector<std::string> Requests() const;

private:
    struct Route {
        std::string body;
        Way way;
    };

    static DWORD WINAPI ThreadEntry(LPVOID server);
    void AcceptLoop();
    void Answer(SOCKET client);
    bool SendAll(SOCKET client, const char *data, size_t length);
    // Waits until the client closes its end or the server stops.
    void WaitForClientToGo(SOCKET client);

    SOCKET m_listener = INVALID_SOCKET;
    unsigned short m_port = 0;
    HANDLE m_thread = nullptr;
    volatile LONG m_stopping = 0;
    mutable std::mutex m_lock;
    std::map<std::string, Route> m_routes;
    std::vector<std::string> m_requests;
};
