// Measures what QFW.DLL adds to socket calls, deciding against a rule image
// of 1,000 program rules and 100 zone entries in work mode normal, for a
// program under C:\Program Files\ whose rule comes last after 999 rules
// that share that prefix (the program copies itself there and runs from
// the copy; copies that run at once share it). Three
// routes run the same work: the router over the base provider alone, the
// router with QFW.DLL in front of it, and a second router over the base
// provider alone, the control, which shows how far two equal routes differ
// on this machine. Within a step the three take turns op by op (a connect
// each, a round trip each, ...), so that what else the machine does falls
// on all three alike; each round starts the turns in another order. Each
// figure of QFW.DLL and of the control is divided by the base route's of
// the same round, and the median of those ratios is printed with the
// medians of the figures. A round in which a step fails is named on the
// error output and measured again.
//
// The work: loopback connects; 32-byte send/receive round trips; bulk
// sends; datagrams received by a bound UDP socket that has no peer (the
// sender waits for each to be taken, over a socket of the platform); and
// the close of a connection that moved data. Before each round the closed
// connection records are freed, as the console's monitor page frees them.
// A measuring program, not a test: run it by hand under Wine.
#include <BenchmarkClock.h>
#include <winsock2.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>
#include "CatalogFixture.h"
#include "CatalogRouter.h"
#include "ProviderTestSupport.h"
#include "RuleImagePublisher.h"

namespace {

const int kConnects = 200;
const int kRoundTrips = 1000;
const int kBulkChunk = 64 * 1024;
const int kBulkChunks = 512; // 32 MB
const int kBulkBurst = 32;   // 2 MB
const int kDatagrams = 1000;
const int kCloses = 100;
const int kRounds = 18;
// A round that cannot measure (the machine too loaded to keep a loopback
// connection, another copy resetting the emulated driver) is measured again,
// this many times at most.
const int kRoundAttempts = 10;
const char kInstallFolder[] = "C:\\Program Files\\Ferrowind Benchmark\\";

sockaddr *Name(sockaddr_in &address)
{
    return reinterpret_cast<sockaddr *>(&address);
}

sockaddr_in Loopback(WORD port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// The far end, on the platform's own Winsock: it accepts every connection
// and echoes what it receives, or swallows it when asked for bulk data.
class CEchoServer {
public:
    bool Start()
    {
        m_listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        sockaddr_in address = Loopback(0);
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

// What one route measured in one round.
struct Figures {
    double ConnectMicros;
    double RoundTripMicros;
    double BulkMegabytesPerSecond;
    double DatagramMicros;
    double CloseMicros;
};

enum { BASE, PROVIDER, CONTROL, ROUTES };
const char *const kRouteNames[ROUTES] = {"base", "QFW.DLL", "control"};

// One round of the three routes. Within a step they take turns op by op:
// op i runs them in the round's order turned by i places, so that whatever
// the machine does meanwhile falls on all three alike. A step that fails
// names the route it failed on.
class CRound {
public:
    CRound(CCatalogRouter *const (&routes)[ROUTES], const int (&order)[ROUTES], sockaddr_in target)
        : m_routes(routes), m_order(order), m_target(target)
    {
    }
    CCatalogRouter &Router(int route) const { return *m_routes[route]; }
    sockaddr_in Target() const { return m_target; }
    // The route at the given place of op i's turn.
    int RouteAt(int op, int place) const { return m_order[(op + place) % ROUTES]; }

    // Runs a step of the given number of turns: op(route, seconds) does one
    // op of the route and sets the seconds it timed, which are added up for
    // the route. False at the first op that fails, its route named.
    template <class TimedOp> bool TakeTurns(int ops, TimedOp op)
    {
        for (double &seconds : m_seconds)
            seconds = 0;
        for (int i = 0; i < ops; ++i) {
            for (int place = 0; place < ROUTES; ++place) {
                int route = RouteAt(i, place);
                double seconds = 0;
                if (!op(route, seconds))
                    return Fail(route);
                m_seconds[route] += seconds;
            }
        }
        return true;
    }
    // The seconds of the last step's ops of the route.
    double Seconds(int route) const { return m_seconds[route]; }
    // Each route's time an op of the last step, in microseconds.
    void StoreMicrosPerOp(double Figures::*field, int ops)
    {
        for (int route = 0; route < ROUTES; ++route)
            Measured[route].*field = m_seconds[route] * 1e6 / ops;
    }

    bool Fail(int route)
    {
        m_failedRoute = route;
        return false;
    }
    int FailedRoute() const { return m_failedRoute; }

    Figures Measured[ROUTES] = {};

private:
    CCatalogRouter *const (&m_routes)[ROUTES];
    const int (&m_order)[ROUTES];
    sockaddr_in m_target;
    double m_seconds[ROUTES] = {};
    int m_failedRoute = BASE;
};

// Every route ends at the platform's sockets, whose handles the routes
// hand out: a receive or send that waits longer fails, and its round is
// measured again.
void LimitWaits(SOCKET s)
{
    const DWORD kLimitMillis = 10000;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char *>(&kLimitMillis), sizeof kLimitMillis);
    setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char *>(&kLimitMillis), sizeof kLimitMillis);
}

SOCKET Open(CCatalogRouter &router, sockaddr_in target, char kind)
{
    SOCKET s = router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    LimitWaits(s);
    if (router.Connect(s, Name(target), sizeof target) != 0 || router.Send(s, &kind, 1) != 1) {
        router.CloseSocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

// A connection of each route to the echo server, for the steps that move
// data over one; closed when the step ends.
class CRouteConnections {
public:
    CRouteConnections(CRound &round, char kind) : m_round(round)
    {
        for (int route = 0; route < ROUTES; ++route) {
            m_sockets[route] = Open(round.Router(route), round.Target(), kind);
            if (m_sockets[route] == INVALID_SOCKET && m_opened)
                m_opened = round.Fail(route);
        }
    }
    ~CRouteConnections()
    {
        for (int route = 0; route < ROUTES; ++route) {
            if (m_sockets[route] != INVALID_SOCKET)
                m_round.Router(route).CloseSocket(m_sockets[route]);
        }
    }
    CRouteConnections(const CRouteConnections &) = delete;
    CRouteConnections &operator=(const CRouteConnections &) = delete;

    bool Opened() const { return m_opened; }
    SOCKET operator[](int route) const { return m_sockets[route]; }

private:
    CRound &m_round;
    SOCKET m_sockets[ROUTES] = {};
    bool m_opened = true;
};

// Times a socket's open, connect and close.
bool MeasureConnects(CRound &round)
{
    sockaddr_in target = round.Target();
    bool measured = round.TakeTurns(kConnects, [&](int route, double &seconds) {
        CCatalogRouter &router = round.Router(route);
        double start = Seconds();
        SOCKET s = router.Socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
        bool connected = router.Connect(s, Name(target), sizeof target) == 0;
        router.CloseSocket(s);
        seconds = Seconds() - start;
        return connected;
    });
    if (measured)
        round.StoreMicrosPerOp(&Figures::ConnectMicros, kConnects);
    return measured;
}

bool EchoOnce(CCatalogRouter &router, SOCKET echo)
{
    char message[32] = "round trip";
    if (router.Send(echo, message, sizeof message) != sizeof message)
        return false;
    for (int received = 0; received < static_cast<int>(sizeof message);) {
        int n = router.Recv(echo, message + received, sizeof message - received);
        if (n <= 0)
            return false;
        received += n;
    }
    return true;
}

bool MeasureRoundTrips(CRound &round)
{
    CRouteConnections echo(round, 'e');
    bool measured = echo.Opened() && round.TakeTurns(kRoundTrips, [&](int route, double &seconds) {
        double start = Seconds();
        bool echoed = EchoOnce(round.Router(route), echo[route]);
        seconds = Seconds() - start;
        return echoed;
    });
    if (measured)
        round.StoreMicrosPerOp(&Figures::RoundTripMicros, kRoundTrips);
    return measured;
}

// The routes take turns a burst of chunks at a time: enough to fill the
// connection's buffers, so that each burst waits for the far end to drain.
bool MeasureBulk(CRound &round)
{
    CRouteConnections bulk(round, 'b');
    std::vector<char> chunk(kBulkChunk, 'x');
    bool measured = bulk.Opened() && round.TakeTurns(kBulkChunks / kBulkBurst, [&](int route, double &seconds) {
        CCatalogRouter &router = round.Router(route);
        bool sent = true;
        double start = Seconds();
        for (int k = 0; sent && k < kBulkBurst; ++k)
            sent = router.Send(bulk[route], chunk.data(), kBulkChunk) == kBulkChunk;
        seconds = Seconds() - start;
        return sent;
    });
    for (int route = 0; measured && route < ROUTES; ++route)
        round.Measured[route].BulkMegabytesPerSecond = kBulkChunks * (kBulkChunk / 1048576.0) / round.Seconds(route);
    return measured;
}

// A bound UDP socket of each route receives datagrams with recv: it never
// learns a peer. The sender, on the platform's Winsock, sends the next one
// to the route whose turn it is when the last was taken, which the
// receiver tells it on a socket of the platform.
class CDatagramReceivers {
public:
    explicit CDatagramReceivers(CRound &round) : m_round(round)
    {
        for (int route = 0; route < ROUTES; ++route) {
            CCatalogRouter &router = round.Router(route);
            m_sockets[route] = router.Socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
            LimitWaits(m_sockets[route]);
            m_names[route] = Loopback(0);
            int length = sizeof m_names[route];
            if (m_bound && (router.Bind(m_sockets[route], Name(m_names[route]), sizeof m_names[route]) != 0 ||
                            getsockname(m_sockets[route], Name(m_names[route]), &length) != 0))
                m_bound = round.Fail(route);
        }
    }
    ~CDatagramReceivers()
    {
        for (int route = 0; route < ROUTES; ++route)
            m_round.Router(route).CloseSocket(m_sockets[route]);
    }
    CDatagramReceivers(const CDatagramReceivers &) = delete;
    CDatagramReceivers &operator=(const CDatagramReceivers &) = delete;

    bool Bound() const { return m_bound; }
    SOCKET operator[](int route) const { return m_sockets[route]; }
    sockaddr_in Address(int route) const { return m_names[route]; }

private:
    CRound &m_round;
    SOCKET m_sockets[ROUTES] = {};
    sockaddr_in m_names[ROUTES] = {};
    bool m_bound = true;
};

bool MeasureDatagrams(CRound &round)
{
    CDatagramReceivers receivers(round);
    SOCKET sender = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    SOCKET taken = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    sockaddr_in senderName = Loopback(0);
    int senderLength = sizeof senderName;
    bool ready = receivers.Bound() && bind(sender, Name(senderName), sizeof senderName) == 0 &&
                 getsockname(sender, Name(senderName), &senderLength) == 0;
    // The sender walks the same turns as the receiving routes.
    std::thread send([&] {
        char datagram[32] = "datagram", ack;
        for (int i = 0; ready && i < kDatagrams; ++i) {
            for (int place = 0; place < ROUTES; ++place) {
                sockaddr_in to = receivers.Address(round.RouteAt(i, place));
                if (sendto(sender, datagram, sizeof datagram, 0, Name(to), sizeof to) != sizeof datagram ||
                    recv(sender, &ack, 1, 0) != 1)
                    return;
            }
        }
    });
    char buffer[64], ack = 'a';
    bool done = ready && round.TakeTurns(kDatagrams, [&](int route, double &seconds) {
        double start = Seconds();
        bool received = round.Router(route).Recv(receivers[route], buffer, sizeof buffer) > 0 &&
                        sendto(taken, &ack, 1, 0, Name(senderName), sizeof senderName) == 1;
        seconds = Seconds() - start;
        return received;
    });
    if (!done)
        closesocket(sender); // ends a sender still waiting
    send.join();
    closesocket(taken);
    if (done) {
        closesocket(sender);
        round.StoreMicrosPerOp(&Figures::DatagramMicros, kDatagrams);
    }
    return done;
}

// Each route opens a connection, sends on it and closes it in its turn;
// only the closes are timed.
bool MeasureCloses(CRound &round)
{
    bool measured = round.TakeTurns(kCloses, [&](int route, double &seconds) {
        CCatalogRouter &router = round.Router(route);
        SOCKET s = Open(router, round.Target(), 'b');
        if (s == INVALID_SOCKET)
            return false;
        bool sent = router.Send(s, "data", 4) == 4;
        double start = Seconds();
        router.CloseSocket(s);
        seconds = Seconds() - start;
        return sent;
    });
    if (measured)
        round.StoreMicrosPerOp(&Figures::CloseMicros, kCloses);
    return measured;
}

// The console's monitor page frees closed records once a second.
void FreeClosedRecords()
{
    CTableView table;
    for (int i = 0; table.IsOpen() && i < SESSION_RECORD_COUNT; ++i) {
        SessionRecord &record = table[i];
        if (record.Socket != 0 && record.State == SESSION_CLOSED) {
            record.State = SESSION_OPEN;
            record.Decided = 0;
            record.Socket = 0;
        }
    }
}

// Each figure with the step that measures it, in the order they run.
struct Metric {
    const char *Name;
    const char *Unit;
    double Figures::*Field;
    bool (*Measure)(CRound &round);
};

const Metric kMetrics[] = {
    {"connect", "us", &Figures::ConnectMicros, MeasureConnects},
    {"send/receive round trip", "us", &Figures::RoundTripMicros, MeasureRoundTrips},
    {"bulk throughput", "MB/s", &Figures::BulkMegabytesPerSecond, MeasureBulk},
    {"datagram received", "us", &Figures::DatagramMicros, MeasureDatagrams},
    {"close after data", "us", &Figures::CloseMicros, MeasureCloses},
};

// Measures one round in the order given. A step that fails is named, and
// the whole round is measured again, as its figures are compared with each
// other; false when no attempt measured it.
bool MeasureRound(CCatalogRouter *const (&routes)[ROUTES], const int (&order)[ROUTES], sockaddr_in target,
                  Figures (&figures)[ROUTES], int round)
{
    for (int attempt = 1; attempt <= kRoundAttempts; ++attempt) {
        CRound turns(routes, order, target);
        FreeClosedRecords();
        const Metric *failed = nullptr;
        for (const Metric &metric : kMetrics) {
            if (!metric.Measure(turns)) {
                failed = &metric;
                break;
            }
        }
        if (!failed) {
            std::copy(turns.Measured, turns.Measured + ROUTES, figures);
            return true;
        }
        fprintf(stderr, "round %d, attempt %d: the %s route's %s step failed; %s\n", round + 1, attempt,
                kRouteNames[turns.FailedRoute()], failed->Name,
                attempt < kRoundAttempts ? "measuring the round again" : "measuring failed");
    }
    return false;
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
        // This program's rule comes last, so that a walk would look at all.
        for (DWORD i = 0; i < 999; ++i) {
            char path[MAX_PATH];
            sprintf(path, "C:\\Program Files\\Ferrowind Benchmark %u\\Program %u.exe", static_cast<unsigned>(i),
                    static_cast<unsigned>(i));
            image.AddProgram(1000 + i, path);
        }
        image.AddProgram(2000, self);
    });
    publisher.SetWorkMode(1);
    return published;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

const char *const kCopiedFiles[] = {"FilterBenchmark.exe", "QFW.DLL", "TcpipBase.dll"};

// Size and time of last write, which a copy keeps.
bool SameFile(const std::string &first, const std::string &second)
{
    WIN32_FILE_ATTRIBUTE_DATA a, b;
    return GetFileAttributesExA(first.c_str(), GetFileExInfoStandard, &a) &&
           GetFileAttributesExA(second.c_str(), GetFileExInfoStandard, &b) && a.nFileSizeLow == b.nFileSizeLow &&
           a.nFileSizeHigh == b.nFileSizeHigh && CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

// A copy that is running cannot be replaced; it serves when it is this one.
bool CopyOrSame(const std::string &source, const std::string &target)
{
    return CopyFileA(source.c_str(), target.c_str(), FALSE) || SameFile(source, target);
}

// Runs the copy of this program under C:\Program Files\ with its two
// libraries beside it, and returns its exit code. Copies that run at once
// share the folder, so that each decides for the same program, by the same
// rule image.
int RunFromProgramFiles()
{
    const std::string from = ProgramFolder();
    const std::string folder = kInstallFolder;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    CreateDirectoryA(folder.c_str(), nullptr);
    bool copied = true;
    for (const char *file : kCopiedFiles) {
        const std::string source = file == kCopiedFiles[0] ? std::string(self) : from + file;
        copied = copied && CopyOrSame(source, folder + file);
    }
    if (!copied) {
        fprintf(stderr, "cannot copy the program to %s\n", folder.c_str());
        return 1;
    }
    std::string command = "\"" + folder + kCopiedFiles[0] + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                        &process)) {
        fprintf(stderr, "cannot start %s\n", command.c_str());
        return 1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

} // namespace

int main()
{
    if (_strnicmp(ProgramFolder().c_str(), kInstallFolder, strlen(kInstallFolder)) != 0)
        return RunFromProgramFiles();

    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    std::string folder = ProgramFolder();
    CEchoServer server;
    CCatalogRouter base, control, filtered;
    if (!server.Start() || !CCatalogFixture::WriteBaseCatalog((folder + "TcpipBase.dll").c_str()) ||
        !base.Load() || !control.Load() ||
        !CCatalogFixture::WriteInstalledCatalog((folder + "QFW.DLL").c_str(), (folder + "TcpipBase.dll").c_str()) ||
        !filtered.Load()) {
        fprintf(stderr, "set-up failed\n");
        return 1;
    }
    CRuleImagePublisher publisher;
    if (!PublishLargeImage(publisher)) {
        fprintf(stderr, "publishing the rule image failed\n");
        return 1;
    }
    CCatalogRouter *routes[ROUTES] = {&base, &filtered, &control};
    int order[ROUTES] = {BASE, PROVIDER, CONTROL};
    std::vector<Figures> rounds[ROUTES];
    bool measured = true;
    for (int round = 0; measured && round < kRounds; ++round) {
        Figures figures[ROUTES] = {};
        measured = MeasureRound(routes, order, server.Address(), figures, round);
        for (int route = 0; route < ROUTES; ++route)
            rounds[route].push_back(figures[route]);
        std::next_permutation(order, order + ROUTES) || (std::sort(order, order + ROUTES), true);
    }
    CCatalogFixture::Clear();
    server.Stop();
    if (!measured)
        return 1;
    printf("program %s, %d rounds, the routes taking turns op by op in every order; medians of each round's figures and of "
           "the ratios to the base route of the same round\n",
           folder.c_str(), kRounds);
    printf("%-24s %12s %12s %12s %9s %9s\n", "", "base", "QFW.DLL", "control", "ratio", "control");
    for (const Metric &metric : kMetrics) {
        std::vector<double> values[ROUTES], ratio, controlRatio;
        for (int r = 0; r < kRounds; ++r) {
            for (int route = 0; route < ROUTES; ++route)
                values[route].push_back(rounds[route][r].*metric.Field);
            ratio.push_back(rounds[PROVIDER][r].*metric.Field / rounds[BASE][r].*metric.Field);
            controlRatio.push_back(rounds[CONTROL][r].*metric.Field / rounds[BASE][r].*metric.Field);
        }
        printf("%-24s %7.2f %-4s %7.2f %-4s %7.2f %-4s %9.3f %9.3f\n", metric.Name, Median(values[BASE]),
               metric.Unit, Median(values[PROVIDER]), metric.Unit, Median(values[CONTROL]), metric.Unit,
               Median(ratio), Median(controlRatio));
    }
    return 0;
}
