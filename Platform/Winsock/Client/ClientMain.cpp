// A small socket client whose calls go through the Winsock catalog, so that
// they pass the installed provider: for tests, and for trying the firewall
// by hand.
//
//   wsclient connect HOST PORT            connect and close
//   wsclient send HOST PORT --line TEXT   send a line (with CR LF)
//   wsclient send HOST PORT --file PATH   send a file
//   wsclient get HOST PORT [PATH]         HTTP GET; the reply goes to stdout
//   wsclient listen PORT                  accept one connection on loopback,
//                                         copy what arrives to stdout
//   wsclient udp HOST PORT TEXT           send one datagram
//   wsclient repeat N COMMAND ...         any of the above N times in this
//                                         process; fails when one run did
#include <winsock2.h>
#include <fcntl.h>
#include <io.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include "CatalogRouter.h"

namespace {

int Fail(const char *what)
{
    fprintf(stderr, "wsclient: %s failed, error %d\n", what, WSAGetLastError());
    return 1;
}

bool ParseAddress(const char *host, const char *port, sockaddr_in &address)
{
    memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(atoi(port)));
    address.sin_addr.s_addr = inet_addr(host);
    if (address.sin_addr.s_addr != INADDR_NONE)
        return true;
    hostent *entry = gethostbyname(host);
    if (!entry || entry->h_addrtype != AF_INET)
        return false;
    memcpy(&address.sin_addr, entry->h_addr_list[0], sizeof address.sin_addr);
    return true;
}

bool SendAll(CCatalogRouter &router, SOCKET s, const std::string &data)
{
    size_t done = 0;
    while (done < data.size()) {
        int sent = router.Send(s, data.data() + done, static_cast<int>(data.size() - done));
        if (sent == SOCKET_ERROR)
            return false;
        done += sent;
    }
    return true;
}

bool ReadFile(const char *path, std::string &data)
{
    FILE *file = fopen(path, "rb");
    if (!file)
        return false;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, file)) > 0)
        data.append(buffer, n);
    fclose(file);
    return true;
}

// Copies what the peer sends to stdout until it closes the connection.
int CopyToStdout(CCatalogRouter &router, SOCKET s)
{
    char buffer[4096];
    int n;
    while ((n = router.Recv(s, buffer, sizeof buffer)) > 0)
        fwrite(buffer, 1, n, stdout);
    fflush(stdout);
    return n == 0 ? 0 : Fail("recv");
}

SOCKET ConnectTo(CCatalogRouter &router, const char *host, const char *port)
{
    sockaddr_in address;
    if (!ParseAddress(host, port, address)) {
        fprintf(stderr, "wsclient: cannot resolve %s\n", host);
        return INVALID_SOCKET;
    }
    SOCKET s = router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) {
        Fail("socket");
        return INVALID_SOCKET;
    }
    if (router.Connect(s, reinterpret_cast<sockaddr *>(&address), sizeof address) == SOCKET_ERROR) {
        Fail("connect");
        router.CloseSocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

int SendCommand(CCatalogRouter &router, int argc, char **argv)
{
    if (argc < 6)
        return 2;
    std::string data;
    if (strcmp(argv[4], "--line") == 0)
        data = std::string(argv[5]) + "\r\n";
    else if (strcmp(argv[4], "--file") != 0 || !ReadFile(argv[5], data))
        return 2;
    SOCKET s = ConnectTo(router, argv[2], argv[3]);
    if (s == INVALID_SOCKET)
        return 1;
    int status = SendAll(router, s, data) ? 0 : Fail("send");
    router.CloseSocket(s);
    return status;
}

int GetCommand(CCatalogRouter &router, int argc, char **argv)
{
    const char *path = argc > 4 ? argv[4] : "/";
    SOCKET s = ConnectTo(router, argv[2], argv[3]);
    if (s == INVALID_SOCKET)
        return 1;
    std::string request = std::string("GET ") + path + " HTTP/1.0\r\nHost: " + argv[2] + "\r\n\r\n";
    int status = SendAll(router, s, request) ? CopyToStdout(router, s) : Fail("send");
    router.CloseSocket(s);
    return status;
}

int ListenCommand(CCatalogRouter &router, const char *port)
{
    sockaddr_in address;
    ParseAddress("127.0.0.1", port, address);
    SOCKET listener = router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (listener == INVALID_SOCKET)
        return Fail("socket");
    if (router.Bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address) == SOCKET_ERROR ||
        router.Listen(listener, 1) == SOCKET_ERROR) {
        router.CloseSocket(listener);
        return Fail("listen");
    }
    SOCKET accepted = router.Accept(listener, nullptr, nullptr);
    router.CloseSocket(listener);
    if (accepted == INVALID_SOCKET)
        return Fail("accept");
    int status = CopyToStdout(router, accepted);
    router.CloseSocket(accepted);
    return status;
}

int UdpCommand(CCatalogRouter &router, const char *host, const char *port, const char *text)
{
    sockaddr_in address;
    if (!ParseAddress(host, port, address))
        return 1;
    SOCKET s = router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    if (s == INVALID_SOCKET)
        return Fail("socket");
    int sent = router.SendTo(s, text, static_cast<int>(strlen(text)), reinterpret_cast<sockaddr *>(&address),
                             sizeof address);
    int status = sent == SOCKET_ERROR ? Fail("sendto") : 0;
    router.CloseSocket(s);
    return status;
}

int Run(CCatalogRouter &router, int argc, char **argv)
{
    const char *command = argv[1];
    if (strcmp(command, "connect") == 0 && argc >= 4) {
        SOCKET s = ConnectTo(router, argv[2], argv[3]);
        if (s == INVALID_SOCKET)
            return 1;
        router.CloseSocket(s);
        return 0;
    }
    if (strcmp(command, "send") == 0)
        return SendCommand(router, argc, argv);
    if (strcmp(command, "get") == 0 && argc >= 4)
        return GetCommand(router, argc, argv);
    if (strcmp(command, "listen") == 0 && argc >= 3)
        return ListenCommand(router, argv[2]);
    if (strcmp(command, "udp") == 0 && argc >= 5)
        return UdpCommand(router, argv[2], argv[3], argv[4]);
    return 2;
}

// Many connections of one program without a process start for each.
int RepeatCommand(CCatalogRouter &router, int argc, char **argv)
{
    const int times = atoi(argv[2]);
    if (times < 1)
        return 2;
    int failed = 0;
    for (int i = 0; i < times; ++i) {
        const int status = Run(router, argc - 2, argv + 2);
        if (status == 2)
            return 2;
        failed += status != 0;
    }
    printf("%d of %d failed\n", failed, times);
    return failed ? 1 : 0;
}

} // namespace

int main(int argc, char **argv)
{
    // What arrives is copied byte for byte.
    _setmode(_fileno(stdout), _O_BINARY);
    // The process's own Winsock resolves names; sockets go through the catalog.
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    int status = 2;
    if (argc >= 2) {
        CCatalogRouter router;
        if (!router.Load())
            status = Fail("reading the Winsock catalog");
        else if (strcmp(argv[1], "repeat") == 0 && argc >= 4)
            status = RepeatCommand(router, argc, argv);
        else
            status = Run(router, argc, argv);
    }
    if (status == 2)
        fprintf(stderr, "usage: wsclient connect|send|get|listen|udp|repeat ... (see the head of ClientMain.cpp)\n");
    WSACleanup();
    return status;
}
