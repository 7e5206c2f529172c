// Measures what QFW.DLL adds to socket calls: loopback connects, small
// send/receive round trips and bulk throughput, once through the router
// over the base provider alone and once through the router with QFW.DLL in
// front of it, deciding against a rule image of 1,000 program rules and 100
// zone entries in work mode normal. The two take turns, several rounds, and
// the best figure of each counts, so that a busy machine disturbs the
// comparison as little as it can. Prints each pair and its ratio. A
// measuring program, not a test: run it by hand under Wine.
#include <winsock2.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>
#include "CatalogFixture.h"
#include "CatalogRouter.h"
#include "RuleImagePublisher.h"

namespace {

const int kConnects = 200;
const int kRoundTrips = 3000;
const int kBulkChunk = 64 * 1024;
const int kBulkChunks = 1024; // 64 MB
const int kRounds = 3;

double Seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

sockaddr *Name(sockaddr_in &address)
{
    return reinterpret_cast<sockaddr *>(&address);
}

// The far end, on the platform's own Winsock: it accepts every connection
// and echoes what it receives, or swallows it when asked for bulk data.
class CEchoServer {
public:
    bool Start()
    {
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = {};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof address;
        if (bind(m_listener, Name(address), sizeof address) != 0 || listen(m_listener, SOMAXCONN) != 0 ||
            getsockname(m_listener, Name(address), &length) != 0)
            return false;
        m_address = address;
        m_thread = std::thread([this] { Serve(); });
        return true;
    }
    void Stop()
    {
        closesocket(m_listener);
        m_thread.join();
    }
    sockaddr_in Address() const { return m_address; }

private:
    void Serve()
    {
        for (;;) {
            SOCKET s = accept(m_listener, nullptr, nullptr);
            if (s == INVALID_SOCKET)
                return;
            std::thread([s] {
                std::vector<char> buffer(kBulkChunk);
                int n;
                // The first byte says what the connection is for.
                char kind = 0;
                if (recv(s, &kind, 1, 0) == 1) {
                    while ((n = recv(s, buffer.data(), kBulkChunk, 0)) > 0) {
                        if (kind == 'e')
                            send(s, buffer.data(), n, 0);
                    }
                }
                closesocket(s);
            }).detach();
        }
    }

    SOCKET m_listener = INVALID_SOCKET;
    sockaddr_in m_address = {};
    std::thread m_thread;
};

struct Figures {
    double ConnectMicros;
    double RoundTripMicros;
    double BulkMegabytesPerSecond;

    void KeepBest(const Figures &other)
    {
        ConnectMicros = std::min(ConnectMicros, other.ConnectMicros);
        RoundTripMicros = std::min(RoundTripMicros, other.RoundTripMicros);
        BulkMegabytesPerSecond = std::max(BulkMegabytesPerSecond, other.BulkMegabytesPerSecond);
    }
};

SOCKET Open(CCatalogRouter &router, sockaddr_in target, char kind)
{
    SOCKET s = router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (router.Connect(s, Name(target), sizeof target) != 0 || router.Send(s, &kind, 1) != 1) {
        router.CloseSocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

bool Measure(CCatalogRouter &router, sockaddr_in target, Figures &figures)
{
    double start = Seconds();
    for (int i = 0; i < kConnects; ++i) {
        SOCKET s = router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        if (router.Connect(s, Name(target), sizeof target) != 0)
            return false;
        router.CloseSocket(s);
    }
    figures.ConnectMicros = (Seconds() - start) * 1e6 / kConnects;

    SOCKET echo = Open(router, target, 'e');
    if (echo == INVALID_SOCKET)
        return false;
    char message[32] = "round trip";
    start = Seconds();
    for (int i = 0; i < kRoundTrips; ++i) {
        int received = 0;
        if (router.Send(echo, message, sizeof message) != sizeof message)
            return false;
        while (received < static_cast<int>(sizeof message)) {
            int n = router.Recv(echo, message + received, sizeof message - received);
            if (n <= 0)
                return false;
            received += n;
        }
    }
    figures.RoundTripMicros = (Seconds() - start) * 1e6 / kRoundTrips;
    router.CloseSocket(echo);

    SOCKET bulk = Open(router, target, 'b');
    if (bulk == INVALID_SOCKET)
        return false;
    std::vector<char> chunk(kBulkChunk, 'x');
    start = Seconds();
    for (int i = 0; i < kBulkChunks; ++i) {
        if (router.Send(bulk, chunk.data(), kBulkChunk) != kBulkChunk)
            return false;
    }
    figures.BulkMegabytesPerSecond = kBulkChunks * (kBulkChunk / 1048576.0) / (Seconds() - start);
    router.CloseSocket(bulk);
    return true;
}

std::string ProgramFolder()
{
    return CCatalogFixture::ProgramFolder();
}

bool PublishLargeImage(CRuleImagePublisher &publisher)
{
    const AclCounts counts = {0, 50, 50, 1000};
    if (!publisher.Create((ProgramFolder() + "QFW.DLL").c_str(), counts))
        return false;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    bool published = publisher.Publish([&](CAclImageBuilder &image) {
        for (DWORD i = 0; i < 50; ++i) {
            image.AddZone(FALSE, 1 + i, ZONE_ENTRY_RANGE, 0xC0A80000 + i * 256, 0xC0A800FF + i * 256);
            image.AddZone(TRUE, 101 + i, ZONE_ENTRY_ADDRESS, 0x0A000001 + i, 0);
        }
        // This program's rule comes last, so that every decision looks at all.
        for (DWORD i = 0; i < 999; ++i) {
            char path[MAX_PATH];
            sprintf(path, "C:\\Program Files\\Vendor %u\\Program %u.exe", static_cast<unsigned>(i),
                    static_cast<unsigned>(i));
            image.AddProgram(1000 + i, path);
        }
        image.AddProgram(2000, self);
    });
    publisher.SetWorkMode(1);
    return published;
}

void Print(const char *what, const char *unit, double base, double provider)
{
    printf("%-24s base %10.2f %s   QFW.DLL %10.2f %s   ratio %.3f\n", what, base, unit, provider, unit,
           provider / base);
}

} // namespace

int main()
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    std::string folder = ProgramFolder();
    CEchoServer server;
    CCatalogRouter base, filtered;
    if (!server.Start() || !CCatalogFixture::WriteBaseCatalog((folder + "TcpipBase.dll").c_str()) ||
        !base.Load() ||
        !CCatalogFixture::WriteInstalledCatalog((folder + "QFW.DLL").c_str(), (folder + "TcpipBase.dll").c_str()) ||
        !filtered.Load()) {
        fprintf(stderr, "set-up failed\n");
        return 1;
    }
    CRuleImagePublisher publisher;
    const Figures none = {1e30, 1e30, 0};
    Figures withBase = none, withProvider = none;
    bool measured = PublishLargeImage(publisher);
    for (int round = 0; measured && round < kRounds; ++round) {
        Figures baseRound = {}, providerRound = {};
        measured = Measure(base, server.Address(), baseRound) && Measure(filtered, server.Address(), providerRound);
        withBase.KeepBest(baseRound);
        withProvider.KeepBest(providerRound);
    }
    CCatalogFixture::Clear();
    server.Stop();
    if (!measured) {
        fprintf(stderr, "measuring failed\n");
        return 1;
    }
    printf("best of %d rounds of %d connects, %d round trips of 32 bytes, %d MB in %d KB sends\n", kRounds,
           kConnects, kRoundTrips, kBulkChunks * kBulkChunk / 1048576, kBulkChunk / 1024);
    Print("connect", "us", withBase.ConnectMicros, withProvider.ConnectMicros);
    Print("send/receive round trip", "us", withBase.RoundTripMicros, withProvider.RoundTripMicros);
    Print("bulk throughput", "MB/s", withBase.BulkMegabytesPerSecond, withProvider.BulkMegabytesPerSecond);
    return 0;
}
