// The traffic monitor end to end inside this test program: it is the
// console (real rule databases, the rule image, the poller, the program,
// monitor and log pages), wsclient connects on loopback through the
// catalog router and QFW.DLL, NetvaneCtl feeds the emulated driver from
// another process, and the connection log the page writes is read back by
// the sqlite3 shell on the build machine (check-monitor-log.sh).
#include <winsock2.h>

#include "AlertWatch.h"
#include "LoopbackClient.h"
#include "ProgramPageFixture.h"

#include <ChildProcess.h>
#include <ConsoleMessages.h>
#include <DataBase.h>
#include <Formatting.h>
#include <FirewallTypes.h>
#include <InProcessProvider.h>
#include <LogsFrame.h>
#include <MonitorFrame.h>
#include <ProgramLogs.h>
#include <ProviderTestSupport.h>
#include <RefusalAlert.h>
#include <SessionMonitor.h>

#include <gtest/gtest.h>

#include <commctrl.h>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

std::string ClientPath()
{
    return TestFolder() + "wsclient.exe";
}

// A port for this run's listeners, away from the system's own.
WORD TestPort(int n)
{
    return static_cast<WORD>(42000 + (GetCurrentProcessId() % 500) * 8 + n);
}

// A wsclient process left running; ended at the latest with the test.
class CClientProcess {
public:
    explicit CClientProcess(const std::string &arguments)
        : m_process(StartProgram(ClientPath(), arguments)), m_id(m_process ? GetProcessId(m_process) : 0)
    {
    }
    ~CClientProcess()
    {
        if (Running())
            TerminateProcess(m_process, 99);
        if (m_process) {
            WaitForSingleObject(m_process, 10000);
            CloseHandle(m_process);
        }
    }
    CClientProcess(const CClientProcess &) = delete;
    CClientProcess &operator=(const CClientProcess &) = delete;

    DWORD Id() const { return m_id; }
    bool Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }
    // Its exit code once it has ended, the console's windows served meanwhile.
    int ExitCode() const
    {
        PumpUntil([&] { return !Running(); }, 60000);
        DWORD code = static_cast<DWORD>(-1);
        GetExitCodeProcess(m_process, &code);
        return static_cast<int>(code);
    }

private:
    HANDLE m_process;
    DWORD m_id;
};

// A loopback server outside the provider that answers one request slowly:
// a chunk of dots a second, so that the client's connection stays open
// across several passes of the poller.
class CSlowServer {
public:
    enum { CHUNKS = 5, CHUNK_BYTES = 2000 };

    explicit CSlowServer(WORD port)
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_socket = ListenOnLoopback(port, 1);
        m_thread = CreateThread(NULL, 0, Serve, this, 0, NULL);
    }
    ~CSlowServer()
    {
        closesocket(m_socket);
        WaitForSingleObject(m_thread, 30000);
        CloseHandle(m_thread);
        WSACleanup();
    }
    CSlowServer(const CSlowServer &) = delete;
    CSlowServer &operator=(const CSlowServer &) = delete;

private:
    static DWORD WINAPI Serve(LPVOID self)
    {
        const SOCKET listener = static_cast<CSlowServer *>(self)->m_socket;
        SOCKET client = accept(listener, NULL, NULL);
        if (client == INVALID_SOCKET)
            return 0;
        char request[512];
        recv(client, request, sizeof request, 0);
        const std::string chunk(CHUNK_BYTES - 1, '.');
        for (int i = 0; i < CHUNKS; ++i) {
            send(client, (chunk + "\n").c_str(), CHUNK_BYTES, 0);
            Sleep(1000);
        }
        closesocket(client);
        return 0;
    }

    SOCKET m_socket;
    HANDLE m_thread;
};

class MonitorEndToEnd : public ProgramPage
{
protected:
    MonitorEndToEnd() : m_monitor(NULL, PollerSources()) {}

    void SetUp() override
    {
        ProgramPage::SetUp();
        // The alert reads its texts from the program folder, which is the
        // databases' folder here.
        ASSERT_TRUE(CopyFileA(m_assets.LanguageFile(), m_folder.File("Language.ini").c_str(), FALSE));
        ASSERT_NO_FATAL_FAILURE(m_provider.Load());
        m_settings.Open(m_assets.File("Config.dat")); // FALSE for a file already made: it is open all the same
        ASSERT_TRUE(m_logs.Open(m_assets.File("ProgramLogs.dat")));
        g_sounds.clear();
        m_previousPlayer = SetAlertSoundPlayer(RecordSound);
    }

    void TearDown() override
    {
        CSessionMonitor::Stop();
        if (m_monitor.m_hWnd)
            m_monitor.DestroyWindow();
        if (m_logPage.m_hWnd)
            m_logPage.DestroyWindow();
        SetAlertSoundPlayer(m_previousPlayer);
        m_provider.StandDown();
        ProgramPage::TearDown();
        m_provider.Unload();
    }

    // The console with a rule for wsclient: the three pages, the provider's
    // work mode and the poller. The monitor page lies over the others.
    void StartConsole(BYTE action)
    {
        m_ruleId = StoreRule(ClientPath().c_str(), action, action, ACTION_DENY, 0);
        OpenPage();
        ASSERT_NE(nullptr, m_publisher->GetHeader());
        m_logPage.Bind(&m_logs, &m_publisher->RuleStore(), m_assets.LanguageFile(), m_assets.SkinFile(""));
        ASSERT_TRUE(m_logPage.Create(IDD_LOGS_PAGE, CWnd::FromHandle(m_host.Handle())));
        m_monitor.Bind(&m_settings, &m_logs, m_assets.LanguageFile(), m_assets.SkinFile(""));
        ASSERT_TRUE(m_monitor.Create(IDD_MONITOR_PAGE, CWnd::FromHandle(m_host.Handle())));
        m_monitor.SetPeerPages(m_page->m_hWnd, m_logPage.m_hWnd);
        m_page->ShowWindow(SW_HIDE);
        m_monitor.MoveWindow(0, 0, PAGE_SIZE.cx, PAGE_SIZE.cy);
        m_monitor.ShowWindow(SW_SHOW);
        PumpFor(150);
        m_monitor.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MONITOR_ONLINE_TAB, BN_CLICKED),
                              reinterpret_cast<LPARAM>(::GetDlgItem(m_monitor.m_hWnd, IDC_MONITOR_ONLINE_TAB)));
        m_provider.SetWorkMode(WORK_MODE_NORMAL);
        ASSERT_TRUE(CSessionMonitor::Start(m_provider.Entry(), m_page->m_hWnd, m_monitor.m_hWnd));
        PumpFor(150);
    }

    CItemTree &Tree() { return m_monitor.Tree(); }
    HTREEITEM ProcessNode(DWORD processId) { return m_monitor.Connections().FindChild(TVI_ROOT, processId); }
    std::vector<std::string> ChildTexts(HTREEITEM parent)
    {
        std::vector<std::string> texts;
        for (HTREEITEM item = Tree().GetChildItem(parent); item; item = Tree().GetNextSiblingItem(item))
            texts.push_back(static_cast<LPCTSTR>(Tree().GetItemText(item)));
        return texts;
    }
    void ExpandAll()
    {
        for (HTREEITEM process = Tree().GetRootItem(); process; process = Tree().GetNextSiblingItem(process)) {
            Tree().Expand(process, TVE_EXPAND);
            for (HTREEITEM group = Tree().GetChildItem(process); group; group = Tree().GetNextSiblingItem(group))
                Tree().Expand(group, TVE_EXPAND);
        }
        PumpFor(100);
    }
    POINT NodePoint(HTREEITEM item)
    {
        RECT rect = {};
        TreeView_GetItemRect(Tree().GetSafeHwnd(), item, &rect, TRUE);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    std::vector<LogRecord> Rows()
    {
        std::vector<LogRecord> rows;
        EXPECT_TRUE(m_logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, rows));
        return rows;
    }
    bool RecordsOfFree(DWORD processId)
    {
        const SessionRecord *table = CSessionMonitor::GetSessionTable();
        for (DWORD i = 0; table && i < CSessionMonitor::GetSessionCount(); ++i) {
            if (table[i].ProcessId == processId && table[i].Socket != 0)
                return false;
        }
        return true;
    }

    // The log as the shell must read it, and the file, for the check on the
    // build machine.
    void HandOverLog(const std::vector<std::string> &expected)
    {
        const std::string folder = TestFolder() + "monitor-log\\";
        CreateDirectoryA(folder.c_str(), NULL);
        ASSERT_TRUE(CopyFileA(m_assets.File("ProgramLogs.dat"), (folder + "ProgramLogs.dat").c_str(), FALSE));
        // The log is written ahead: its rows may still lie in the journal.
        DeleteFileA((folder + "ProgramLogs.dat-wal").c_str());
        CopyFileA(m_assets.File("ProgramLogs.dat-wal"), (folder + "ProgramLogs.dat-wal").c_str(), FALSE);
        std::ofstream out(folder + "expected.txt", std::ios::binary);
        for (const std::string &line : expected)
            out << line << "\n";
    }

    CInProcessProvider m_provider;
    DWORD m_ruleId = 0;
    CDataBase m_settings;
    CProgramLogs m_logs;
    CLogsFrame m_logPage;
    CMonitorFrame m_monitor;
    AlertSoundPlayer m_previousPlayer = nullptr;
};

TEST_F(MonitorEndToEnd, ListeningSendingAndADatagramShowInTheTreeAndEndAsRowsOnce)
{
    StartConsole(ACTION_PASS);
    const WORD port = TestPort(0);
    CClientProcess listener("listen " + std::to_string(port));
    ASSERT_NE(0u, listener.Id());
    const std::string listenText = "Listening on port " + std::to_string(port);
    ASSERT_TRUE(PumpUntil([&] {
        HTREEITEM process = ProcessNode(listener.Id());
        HTREEITEM tcp = process ? Tree().GetChildItem(process) : NULL;
        return tcp && ChildTexts(tcp) == std::vector<std::string>{listenText};
    }, 20000)) << "the listening socket's node";
    HTREEITEM process = ProcessNode(listener.Id());
    EXPECT_EQ("wsclient.exe", std::string(Tree().GetItemText(process))) << "a program without a description: its title";
    int image = -1, selected = -1;
    Tree().GetItemImage(process, image, selected);
    EXPECT_GE(image, IMAGE_FIRST_PROGRAM);
    EXPECT_EQ(std::vector<std::string>{"TCP"}, ChildTexts(process));
    ExpandAll();
    SaveTestScreen(m_host.Handle(), "listening");

    // The TCP filter keeps it, the UDP filter drops it, All shows it again.
    const struct { int filter; bool shown; } filters[] = {{FILTER_UDP, false}, {FILTER_TCP, true}, {FILTER_ALL, true}};
    for (const auto &f : filters) {
        ::SendMessage(::GetDlgItem(m_monitor.m_hWnd, IDC_PROTOCOL_FILTER), CB_SETCURSEL, f.filter, 0);
        m_monitor.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_PROTOCOL_FILTER, CBN_SELCHANGE),
                              reinterpret_cast<LPARAM>(::GetDlgItem(m_monitor.m_hWnd, IDC_PROTOCOL_FILTER)));
        PumpFor(2500);
        EXPECT_EQ(f.shown, ProcessNode(listener.Id()) != NULL) << f.filter;
    }

    std::string output;
    EXPECT_EQ(0, RunClient("udp 127.0.0.1 " + std::to_string(TestPort(1)) + " ping", output)) << output;
    output.clear();
    EXPECT_EQ(0, RunClient("send 127.0.0.1 " + std::to_string(port) + " --line hello", output)) << output;
    EXPECT_EQ(0, listener.ExitCode());

    // The listener's two sockets, the sender's and the datagram's.
    ASSERT_TRUE(PumpUntil([&] { return Rows().size() >= 4; }, 20000)) << Rows().size();
    PumpFor(2500);
    const std::vector<LogRecord> rows = Rows();
    ASSERT_EQ(4u, rows.size()) << "each closed record once";
    EXPECT_TRUE(RecordsOfFree(listener.Id()));
    EXPECT_EQ(nullptr, ProcessNode(listener.Id())) << "its nodes went with its connections";
    int listens = 0, udp = 0;
    for (const LogRecord &row : rows) {
        EXPECT_EQ(m_ruleId, row.PID);
        EXPECT_EQ(0, lstrcmpiA(ClientPath().c_str(), row.Path));
        EXPECT_EQ(ACTION_PASS, row.Action);
        listens += row.Direction == DIR_LISTEN;
        udp += row.Protocol == PROTO_UDP;
    }
    EXPECT_EQ(1, listens);
    EXPECT_EQ(1, udp);
    SaveTestScreen(m_host.Handle(), "ended");

    std::vector<std::string> expected;
    for (const LogRecord &row : rows) {
        char line[512];
        snprintf(line, sizeof line, "%lu|%s|%u|%lu|%lu|%lu|%u|%u", static_cast<unsigned long>(row.PID),
                 static_cast<LPCTSTR>(row.Path), unsigned(row.Direction), static_cast<unsigned long>(row.LocalPort),
                 static_cast<unsigned long>(row.RemotePort), static_cast<unsigned long>(row.OutCount),
                 unsigned(row.Protocol), unsigned(row.Action));
        expected.push_back(line);
    }
    HandOverLog(expected);
}

TEST_F(MonitorEndToEnd, AConnectionOpenAcrossPassesFeedsBothGraphsRatesAndTotals)
{
    StartConsole(ACTION_PASS);
    m_monitor.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_MONITOR_FLUX_TAB, BN_CLICKED),
                          reinterpret_cast<LPARAM>(::GetDlgItem(m_monitor.m_hWnd, IDC_MONITOR_FLUX_TAB)));
    const WORD port = TestPort(4);
    CSlowServer server(port);
    CClientProcess client("get 127.0.0.1 " + std::to_string(port) + " /");
    ASSERT_TRUE(PumpUntil([&] { return m_monitor.TotalReceived() > 0; }, 20000)) << "the first chunk";
    const ULONGLONG first = m_monitor.TotalReceived();
    EXPECT_GT(m_monitor.TotalSent(), 0u) << "the request";
    ASSERT_TRUE(PumpUntil([&] { return m_monitor.TotalReceived() > first; }, 10000)) << "a later pass";
    EXPECT_TRUE(client.Running()) << "still the same connection";
    auto rate = [&](UINT id) {
        char text[64] = "";
        ::GetDlgItemTextA(m_monitor.m_hWnd, id, text, sizeof text);
        return std::string(text);
    };
    EXPECT_TRUE(PumpUntil([&] { return rate(IDC_RECEIVED_RATE).find(" K/s") != std::string::npos; }, 5000))
        << rate(IDC_RECEIVED_RATE);
    EXPECT_NE("150 k/s", rate(IDC_SENT_RATE));
    SaveTestScreen(m_host.Handle(), "traffic");
    EXPECT_EQ(0, client.ExitCode());
    ASSERT_TRUE(PumpUntil([&] { return Rows().size() == 1; }, 20000));
    PumpFor(200);
    const LogRecord row = Rows()[0];
    EXPECT_EQ(DWORD(CSlowServer::CHUNKS * CSlowServer::CHUNK_BYTES), row.InCount);
    // Bytes that arrived after the last live pass are in the graph too.
    EXPECT_EQ(ULONGLONG(row.InCount), m_monitor.TotalReceived());
    EXPECT_EQ(ULONGLONG(row.OutCount), m_monitor.TotalSent());
    char total[64] = "";
    ::GetDlgItemTextA(m_monitor.m_hWnd, IDC_RECEIVED_TOTAL, total, sizeof total);
    EXPECT_EQ(std::string(FormatByteCount64(m_monitor.TotalReceived())), total);
}

TEST_F(MonitorEndToEnd, ShortRequestsThatEndBetweenTwoPassesReachTheSentTotal)
{
    StartConsole(ACTION_PASS);
    CListener server;
    for (const char *line : {"first", "second"}) {
        std::string output;
        EXPECT_EQ(0, RunClient("send 127.0.0.1 " + std::to_string(server.Port()) + " --line " + line, output))
            << output;
    }
    ASSERT_TRUE(PumpUntil([&] { return Rows().size() == 2; }, 20000)) << Rows().size();
    PumpFor(200);
    ULONGLONG sent = 0;
    for (const LogRecord &row : Rows()) {
        EXPECT_GT(row.OutCount, 0u);
        sent += row.OutCount;
    }
    EXPECT_EQ(sent, m_monitor.TotalSent());
    const std::string first = server.Received();
    EXPECT_EQ("first\r\n", first);
    EXPECT_EQ("second\r\n", server.Received());
}

TEST_F(MonitorEndToEnd, ARefusalByTheRuleGivesItsRowTheAlertAndTheSound)
{
    ASSERT_TRUE(m_settings.SetString("EnableWndAlert", "1", "Options"));
    ASSERT_TRUE(m_settings.SetString("EnableSoundAlert", "1", "Options"));
    StartConsole(ACTION_DENY);
    const int alerts = AlertCount();
    std::string output;
    EXPECT_EQ(1, RunClient("send 127.0.0.1 " + std::to_string(TestPort(2)) + " --line refused", output));
    EXPECT_NE(std::string::npos, output.find("error 10061")) << output;
    ASSERT_TRUE(PumpUntil([&] { return !Rows().empty(); }, 20000));
    const std::vector<LogRecord> rows = Rows();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(ACTION_DENY, rows[0].Action);
    EXPECT_EQ(TestPort(2), rows[0].RemotePort);
    EXPECT_EQ(alerts + 1, AlertCount());
    ASSERT_EQ(1u, g_sounds.size());
    EXPECT_EQ(m_folder.File("sound\\Alert.wav"), g_sounds[0]);
    PumpFor(1000);
    SaveTestScreen(NULL, "risen-alert");

    // Switched off on the options page: the next refusal only logs.
    ASSERT_TRUE(m_settings.SetString("EnableWndAlert", "0", "Options"));
    ASSERT_TRUE(m_settings.SetString("EnableSoundAlert", "0", "Options"));
    EXPECT_EQ(1, RunClient("send 127.0.0.1 " + std::to_string(TestPort(2)) + " --line again", output));
    ASSERT_TRUE(PumpUntil([&] { return Rows().size() == 2; }, 20000));
    EXPECT_EQ(alerts + 1, AlertCount());
    EXPECT_EQ(1u, g_sounds.size());
}

TEST_F(MonitorEndToEnd, AListeningClientIsEndedFromItsNodeByClicksAndYes)
{
    StartConsole(ACTION_PASS);
    CClientProcess listener("listen " + std::to_string(TestPort(3)));
    ASSERT_TRUE(PumpUntil([&] {
        HTREEITEM process = ProcessNode(listener.Id());
        return process && Tree().GetChildItem(process) && Tree().GetChildItem(Tree().GetChildItem(process));
    }, 20000));
    ExpandAll();
    HTREEITEM listening = Tree().GetChildItem(Tree().GetChildItem(ProcessNode(listener.Id())));
    ClickControlAt(Tree().GetSafeHwnd(), NodePoint(listening));
    PumpFor(150);
    EXPECT_EQ(listening, m_monitor.RememberedNode());

    // No ends nothing, Yes ends it with exit code 1.
    m_boxes.AnswerNextBox(IDNO);
    ClickControl(::GetDlgItem(m_monitor.m_hWnd, IDC_KILL_PROCESS));
    PumpFor(500);
    EXPECT_TRUE(listener.Running());
    m_boxes.AnswerNextBox(IDYES);
    m_boxes.LookAtBoxes([](HWND box) { SaveTestScreen(box, "question"); });
    ClickControl(::GetDlgItem(m_monitor.m_hWnd, IDC_KILL_PROCESS));
    EXPECT_EQ(1, listener.ExitCode());
    ASSERT_EQ(2u, m_boxes.Boxes().size());
    EXPECT_EQ(LanguageText("FRAME_MONITOR", "WARN_KillProcess"), m_boxes.Boxes()[1].text);

    EXPECT_TRUE(PumpUntil([&] { return ProcessNode(listener.Id()) == NULL; }, 8000)) << "gone by the 5 s timer";
    EXPECT_EQ(nullptr, m_monitor.RememberedNode()) << "a deleted node is forgotten";
    EXPECT_TRUE(PumpUntil([&] { return !Rows().empty(); }, 20000)) << "its record is logged when closed";
    for (const LogRecord &row : Rows())
        EXPECT_EQ(DIR_LISTEN, row.Direction);
    EXPECT_TRUE(RecordsOfFree(listener.Id()));
}

TEST_F(MonitorEndToEnd, DriverEntriesAndPacketEventsFromAnotherProcessReachTheTreeAndTheLogPage)
{
    StartConsole(ACTION_PASS);
    const DWORD pid = GetCurrentProcessId();
    const std::string image = "wsclient.exe";
    ASSERT_EQ(0, RunChild("NetvaneCtl.exe", "table1 0 0x51 " + std::to_string(pid) +
                                                " 1 10.0.0.2:1500 10.0.0.9:80 " + image));
    ASSERT_EQ(0, RunChild("NetvaneCtl.exe", "table1 1 0x52 4 2 10.0.0.2:137 10.0.0.255:137 SYSTEM"));
    ASSERT_EQ(0, RunChild("NetvaneCtl.exe", "count1 2"));
    EXPECT_TRUE(PumpUntil([&] { return ProcessNode(pid) != NULL; }, 10000)) << "a table-1 entry shows";
    EXPECT_EQ(nullptr, ProcessNode(4)) << "\"SYSTEM\" is counted unseen";

    const struct { const char *arguments; const char *flags; } packets[] = {
        {"push packet in 1 10.0.0.2:1500 10.0.0.9:80 x 1 0 0x12", "ACK SYN "},
        {"push packet in 1 10.0.0.2:1501 10.0.0.9:80 x 1 0 0x3F", "ACK FIN PSH RST SYN URG "},
        {"push packet in 2 10.0.0.2:53 10.0.0.9:53 x 1 0 0x12", ""},
        {"push packet in 9 10.0.0.2:0 10.0.0.9:0 x 1 0 0x12", ""},
    };
    CGridList &lines = m_logPage.FirewallGrid();
    const int before = lines.GetItemCount();
    for (const auto &packet : packets)
        ASSERT_EQ(0, RunChild("NetvaneCtl.exe", packet.arguments)) << packet.arguments;
    ASSERT_TRUE(PumpUntil([&] { return lines.GetItemCount() >= before + 4; }, 10000));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(packets[i].flags, std::string(lines.GetItemText(before + i, 5))) << packets[i].arguments;
        EXPECT_EQ("10.0.0.9", std::string(lines.GetItemText(before + i, 1)));
    }
    m_page->ShowWindow(SW_HIDE);
    m_monitor.ShowWindow(SW_HIDE);
    m_logPage.MoveWindow(0, 0, PAGE_SIZE.cx, PAGE_SIZE.cy);
    m_logPage.ShowWindow(SW_SHOW);
    PumpFor(300);
    SaveTestScreen(m_host.Handle(), "packet-lines");

    // A table-2 entry removes the node and is handed back to the driver.
    ASSERT_EQ(0, RunChild("NetvaneCtl.exe", "table2 0 0x51 " + std::to_string(pid) +
                                                " 1 10.0.0.2:1500 10.0.0.9:80 " + image));
    ASSERT_EQ(0, RunChild("NetvaneCtl.exe", "count1 0"));
    EXPECT_TRUE(PumpUntil([&] { return ProcessNode(pid) == NULL; }, 10000));
    EXPECT_TRUE(PumpUntil([&] {
        const DriverTableRecord *entry = CSessionMonitor::GetTable2Entry(0);
        return entry && entry->Handle == 0;
    }, 5000)) << "read 0 at its start";
    EXPECT_TRUE(Rows().empty()) << "driver connections are never logged";
}

} // namespace
