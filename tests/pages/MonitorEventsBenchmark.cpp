// How fast the traffic monitor keeps up with the poller: a window of this
// thread takes WM_SESSION_UPDATE as the monitor page does, over a connection
// table in named shared memory and a fresh ProgramLogs.dat, and a second
// window stands for the program page. Printed:
//   - the time from posting a pass to the last handled message, with 1,024
//     live records (the median pass), and with 100 closed records in each
//     pass; for the live records also where it goes: posting the pass, the
//     page's handling (its posts of traffic and its notices to the program
//     page included), and the rest, which is taking the messages from the
//     queue; beside it the handling without the program page, the handling
//     with no window to tell (the page's own work) and what one message
//     posted and taken costs on its own, each timed in passes between the
//     live ones, as the machine's load and the display's start change what
//     a message costs; and the pass with the connections fed to a real
//     (hidden) connection tree, as the page does while it follows, when
//     every connection moved and when none did;
//   - rows a second into ProgramLogs.dat over passes of 100 closed records;
//   - handles, GDI/user objects and memory before and after 1,000 passes of
//     churn (connections opened, counted and closed).
// A measuring program, not a test:  MonitorEventsBenchmark
#include "ConnectionEvents.h"
#include "ConnectionTree.h"
#include "ConsoleMessages.h"
#include "ProgramLogs.h"

#include <CWinApp.h>

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

SessionRecord *g_table;

const ConnectionSources kSources = {
    [] { return g_table; },
    []() -> DWORD { return SESSION_RECORD_COUNT; },
    [](DWORD) -> DriverTableRecord * { return nullptr; },
    []() -> DWORD { return 0; },
    [](DWORD) -> DriverTableRecord * { return nullptr; },
    [](int) -> const DriverQueueRecord * { return nullptr; },
};

// The tree while one is given, else nothing.
class CBenchView : public IConnectionView {
public:
    void ShowConnection(const SessionRecord &record) override
    {
        if (Tree)
            Tree->ShowConnection(record);
    }
    void RemoveConnection(const SessionRecord &record) override
    {
        if (Tree)
            Tree->RemoveConnection(record);
    }
    void RaiseAlert(const SessionRecord &) override {}

    CConnectionTree *Tree = nullptr;
};

CBenchView g_view;
CConnectionEvents *g_events;
LONG g_handled;
LONG g_messages;          // of the pass, deltas included
LONG g_notices;           // to the program page in the pass
double g_handlingSeconds; // in HandlePosted

double Seconds();

// A message that nothing handles, to time the queue on its own.
const UINT WM_BARE = WM_APP + 1;

LRESULT CALLBACK MonitorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SESSION_UPDATE) {
        const double start = Seconds();
        g_events->HandlePosted(window, wParam, lParam);
        g_handlingSeconds += Seconds() - start;
        ++g_handled;
        ++g_messages;
        return 0;
    }
    if (message == WM_BARE) {
        ++g_handled;
        ++g_messages;
        return 0;
    }
    if (message == WM_TRAFFIC_DELTA) {
        ++g_messages;
        return 0;
    }
    if (message == WM_PROGRAM_ACTIVE) {
        ++g_notices;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

double Seconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Fill(int index, BYTE state, DWORD pass)
{
    SessionRecord &record = g_table[index];
    memset(&record, 0, sizeof record);
    record.Index = index;
    record.ProcessId = 1000 + index % 50;
    record.Socket = 0x1000 + index + pass * SESSION_RECORD_COUNT;
    record.RuleId = index % 40 + 1;
    record.State = state;
    record.Direction = DIR_OUTBOUND;
    record.Protocol = PROTO_HTTP;
    record.RemoteIp = 0x5DB8D822;
    record.LocalPort = static_cast<WORD>(49152 + index);
    record.RemotePort = 443;
    record.StartTime = 1773417600 + pass;
    record.EndTime = record.StartTime + 3;
    record.BytesSent = static_cast<LONG>(700 * (pass + 1));
    record.BytesReceived = static_cast<LONG>(5000 * (pass + 1));
    strcpy(record.Path, "C:\\Program Files\\Browser\\browser.exe");
    strcpy(record.Detail, "www.example.com");
}

// Where the time of a pass went, in seconds.
struct PassTimes {
    double Total;
    double Posting;
    double Handling;
    LONG Messages;
    LONG Notices;

    double Taking() const { return Total - Posting - Handling; }
    double PostingEach() const { return Posting / Messages; }
    double TakingEach() const { return (Total - Posting) / Messages; }
};

// The median of one figure of the passes, in milliseconds.
double MedianMillis(const std::vector<PassTimes> &passes, double (*figure)(const PassTimes &))
{
    std::vector<double> values;
    for (const PassTimes &pass : passes)
        values.push_back(figure(pass) * 1000);
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Posts one pass over `count` records and handles it.
PassTimes TimePass(HWND window, int count, UINT message = WM_SESSION_UPDATE)
{
    g_handled = 0;
    g_messages = 0;
    g_notices = 0;
    g_handlingSeconds = 0;
    const double start = Seconds();
    for (int index = 0; index < count; ++index)
        PostMessageA(window, message, SESSION_SOURCE_TABLE, index);
    const double posted = Seconds();
    MSG msg;
    while (g_handled < count && GetMessageA(&msg, NULL, 0, 0))
        DispatchMessageA(&msg);
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) // the pass's deltas
        DispatchMessageA(&msg);
    return {Seconds() - start, posted - start, g_handlingSeconds, g_messages, g_notices};
}

// The seconds it took.
double RunPass(HWND window, int count)
{
    return TimePass(window, count).Total;
}

void PrintResources(const char *when)
{
    DWORD handles = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handles);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    printf("%-28s handles %lu, GDI %lu, user %lu, private bytes %lu KiB\n", when, handles,
           GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS),
           GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS),
           static_cast<unsigned long>(memory.PagefileUsage / 1024));
}

} // namespace

int main()
{
    setvbuf(stdout, NULL, _IONBF, 0);
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, SESSION_TABLE_SIZE,
                                        SESSION_TABLE_NAME);
    g_table = static_cast<SessionRecord *>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!g_table) {
        printf("no connection table\n");
        return 1;
    }
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string logFile = std::string(temp) + "qfw-monitor-bench-" + std::to_string(GetCurrentProcessId()) + ".dat";
    CProgramLogs &logs = *new CProgramLogs;
    if (!logs.Open(logFile.c_str())) {
        printf("no log store at %s\n", logFile.c_str());
        return 1;
    }

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = MonitorProc;
    windowClass.hInstance = GetModuleHandleA(NULL);
    windowClass.lpszClassName = "QfwMonitorBench";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                  windowClass.hInstance, NULL);
    HWND programPage = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                       windowClass.hInstance, NULL);
    if (!window || !programPage) {
        printf("no window\n");
        return 1;
    }
    AfxInitCommonControls();
    CItemTree treeControl;
    CImageList treeImages;
    if (!treeControl.CreateEx(0, WC_TREEVIEWA, "", WS_POPUP | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                              0, 0, 360, 220, NULL, NULL)) {
        printf("no tree\n");
        return 1;
    }
    CConnectionTree tree(treeControl, treeImages, GetModuleHandleA(NULL));
    tree.SetUpImages();
    tree.SetFormats("Listening on port %u", "%u -> %s:%u, sent %s, received %s");

    CConnectionEvents events(kSources, g_view);
    const ConnectionPeers allPeers = {window, programPage, NULL};
    events.SetPeers(allPeers);
    events.SetLogStore(&logs);
    g_events = &events;

    // 1,024 live records, counted pass after pass.
    for (int index = 0; index < SESSION_RECORD_COUNT; ++index)
        Fill(index, SESSION_OPEN, 0);
    RunPass(window, SESSION_RECORD_COUNT); // the counters are made
    std::vector<PassTimes> live, withoutProgramPage, unposted, bare, withTree, idleTree;
    const struct {
        ConnectionPeers Peers;
        UINT Message;
        CConnectionTree *Tree;
        bool Moves; // every connection received bytes since the last pass
        std::vector<PassTimes> &Passes;
    } kinds[] = {
        {allPeers, WM_SESSION_UPDATE, nullptr, true, live},
        {{window, NULL, NULL}, WM_SESSION_UPDATE, nullptr, true, withoutProgramPage},
        {{NULL, NULL, NULL}, WM_SESSION_UPDATE, nullptr, true, unposted}, // the page's own work
        {allPeers, WM_BARE, nullptr, true, bare},
        {allPeers, WM_SESSION_UPDATE, &tree, true, withTree},
        {allPeers, WM_SESSION_UPDATE, &tree, false, idleTree},
    };
    for (int pass = 1; pass <= 21; ++pass) {
        for (const auto &kind : kinds) {
            for (int index = 0; kind.Moves && index < SESSION_RECORD_COUNT; ++index)
                g_table[index].BytesReceived += 1000;
            events.SetPeers(kind.Peers);
            g_view.Tree = kind.Tree;
            kind.Passes.push_back(TimePass(window, SESSION_RECORD_COUNT, kind.Message));
        }
    }
    events.SetPeers(allPeers);
    g_view.Tree = nullptr;
    printf("pass of 1,024 live records:   %.2f ms to the last handled message\n",
           MedianMillis(live, [](const PassTimes &p) { return p.Total; }));
    printf("  posting the pass:           %.2f ms\n", MedianMillis(live, [](const PassTimes &p) { return p.Posting; }));
    printf("  the page's handling:        %.2f ms, its posts and notices included\n",
           MedianMillis(live, [](const PassTimes &p) { return p.Handling; }));
    printf("    without the program page: %.2f ms\n",
           MedianMillis(withoutProgramPage, [](const PassTimes &p) { return p.Handling; }));
    printf("    its own work:             %.2f ms, timed with no window to tell\n",
           MedianMillis(unposted, [](const PassTimes &p) { return p.Handling; }));
    printf("  taking the messages:        %.2f ms, %ld messages a pass\n",
           MedianMillis(live, [](const PassTimes &p) { return p.Taking(); }), static_cast<long>(live[0].Messages));
    printf("  notices to the program page: %ld a pass\n", static_cast<long>(live[0].Notices));
    printf("  a bare message:             %.2f us posted, %.2f us taken\n",
           MedianMillis(bare, [](const PassTimes &p) { return p.PostingEach(); }) * 1000,
           MedianMillis(bare, [](const PassTimes &p) { return p.TakingEach(); }) * 1000);
    printf("the same pass fed to the tree: %.2f ms to the last handled message, %.2f ms of it handling"
           " (%u nodes)\n",
           MedianMillis(withTree, [](const PassTimes &p) { return p.Total; }),
           MedianMillis(withTree, [](const PassTimes &p) { return p.Handling; }), treeControl.GetCount());
    printf("  with nothing moved:         %.2f ms to the last handled message, %.2f ms of it handling\n",
           MedianMillis(idleTree, [](const PassTimes &p) { return p.Total; }),
           MedianMillis(idleTree, [](const PassTimes &p) { return p.Handling; }));

    // 100 closed records a pass, logged in one batch and freed.
    const int closedPasses = 100;
    double closed = 0;
    for (int pass = 0; pass < closedPasses; ++pass) {
        for (int index = 0; index < 100; ++index)
            Fill(index, SESSION_CLOSED, pass);
        closed += RunPass(window, 100);
    }
    std::vector<LogRecord> rows;
    logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, rows);
    printf("pass of 100 closed records:   %.2f ms to the last handled message\n", closed * 1000 / closedPasses);
    printf("rows into ProgramLogs.dat:    %.0f a second (%zu rows in %d passes)\n",
           static_cast<double>(rows.size()) / closed, rows.size(), closedPasses);

    // Churn: each pass opens 100 connections, counts them once, closes them.
    PrintResources("before 1,000 churn passes:");
    const size_t countedBefore = events.CounterCount();
    for (DWORD pass = 0; pass < 1000; ++pass) {
        for (int index = 0; index < 100; ++index)
            Fill(index, SESSION_OPEN, pass);
        RunPass(window, 100);
        for (int index = 0; index < 100; ++index)
            g_table[index].State = SESSION_CLOSED;
        RunPass(window, 100);
    }
    PrintResources("after 1,000 churn passes:");
    printf("connections counted:          %zu before the churn, %zu after\n", countedBefore,
           events.CounterCount());

    treeControl.DestroyWindow();
    DestroyWindow(programPage);
    DestroyWindow(window);
    delete &logs; // closes the file before it is removed
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        DeleteFileA((logFile + suffix).c_str());
    UnmapViewOfFile(g_table);
    CloseHandle(mapping);
    return 0;
}
