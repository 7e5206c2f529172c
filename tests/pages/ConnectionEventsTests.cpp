// The traffic monitor's handling of connection events over a connection
// table in named shared memory, as the provider makes it, with driver
// tables and a ring of the test's own, a real ProgramLogs.dat and windows of
// the test that stand for the program page, the log page and the monitor.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ConnectionEvents.h"
#include "ConnectionSourcesFixture.h"
#include "ConsoleMessages.h"
#include "FirewallTypes.h"
#include "MessageSink.h"
#include "ProgramLogs.h"
#include "StoreFolder.h"
#include "sqlite3.h"

namespace {

// The tree and the alert as the page would see them.
class CViewLog : public IConnectionView {
public:
    void ShowConnection(const SessionRecord &record) override { Shown.push_back(record.Socket); }
    void RemoveConnection(const SessionRecord &record) override { Removed.push_back(record.Socket); }
    void RaiseAlert(const SessionRecord &record) override { Alerts.push_back(record.Socket); }
    std::vector<DWORD> Shown, Removed, Alerts;
};

const PostedMessage Active(LONG ruleId, int inUse) { return {WM_PROGRAM_ACTIVE, static_cast<WPARAM>(ruleId), inUse}; }
const PostedMessage Delta(int which, DWORD bytes) { return {WM_TRAFFIC_DELTA, static_cast<WPARAM>(which), static_cast<LPARAM>(bytes)}; }

class ConnectionEventsTest : public ::testing::Test {
protected:
    ConnectionEventsTest()
        : m_sink(WM_PACKET_LOGGED, WM_PROGRAM_ACTIVE), m_events(kFixtureSources, m_view)
    {
        m_events.SetPeers({m_sink.Window(), m_sink.Window(), m_sink.Window()});
        EXPECT_TRUE(m_logs.Open((m_folder.Path() + "ProgramLogs.dat").c_str()));
        m_events.SetLogStore(&m_logs);
    }

    SessionRecord &Record(int index, DWORD socket, BYTE state, BYTE direction)
    {
        SessionRecord &record = m_tables.Sessions()[index];
        record.Index = index;
        record.ProcessId = 4321;
        record.Socket = socket;
        record.RuleId = 7;
        record.Decided = 1;
        record.State = state;
        record.Direction = direction;
        record.Protocol = PROTO_TCP;
        record.Verdict = ACTION_PASS;
        record.ByRule = 1;
        record.RemoteIp = 0x7F000001;
        record.LocalPort = 1025;
        record.RemotePort = 80;
        record.StartTime = 1000;
        record.EndTime = 1010;
        record.BytesSent = 300;
        record.BytesReceived = 5000;
        strcpy(record.Path, "C:\\Tools\\wsclient.exe");
        strcpy(record.Detail, "www.example.test");
        return record;
    }

    // One poller pass as the page handles it.
    void Pass(std::initializer_list<std::pair<WPARAM, LPARAM>> events)
    {
        for (const auto &event : events)
            m_events.Handle(event.first, event.second);
        m_events.EndBurst();
        CMessageSink::Pump();
    }

    std::vector<LogRecord> Rows()
    {
        std::vector<LogRecord> rows;
        EXPECT_TRUE(m_logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, rows));
        return rows;
    }

    // The bytes that the sink's traffic messages carried in one direction.
    ULONGLONG Moved(int which) const
    {
        ULONGLONG bytes = 0;
        for (const PostedMessage &message : m_sink.Messages()) {
            if (message.Message == WM_TRAFFIC_DELTA && message.WParam == static_cast<WPARAM>(which))
                bytes += static_cast<DWORD>(message.LParam);
        }
        return bytes;
    }

    static bool IsFree(const SessionRecord &record)
    {
        return record.Socket == 0 && record.State == 0 && record.Decided == 0;
    }

    CConnectionSourcesFixture m_tables;
    CStoreFolder m_folder;
    CProgramLogs m_logs;
    CMessageSink m_sink;
    CViewLog m_view;
    CConnectionEvents m_events;
};

TEST_F(ConnectionEventsTest, ClosedRecordIsLoggedOnceAsTheLogMapsItThenFreedAndReportedInactive)
{
    SessionRecord &record = Record(3, 0x1234, SESSION_CLOSED, DIR_OUTBOUND);
    record.Protocol = PROTO_HTTP;

    Pass({{SESSION_SOURCE_TABLE, 3}});

    ASSERT_TRUE(IsFree(record));
    const std::vector<LogRecord> rows = Rows();
    ASSERT_EQ(1u, rows.size());
    const LogRecord &row = rows[0];
    EXPECT_EQ(7u, row.PID) << "the rule's ID, not the process ID";
    EXPECT_STREQ("C:\\Tools\\wsclient.exe", row.Path);
    EXPECT_EQ(DIR_OUTBOUND, row.Direction);
    EXPECT_EQ(1025, row.LocalPort);
    EXPECT_EQ(0x7F000001u, row.RemoteIP);
    EXPECT_STREQ("www.example.test", row.WebSite);
    EXPECT_EQ(80, row.RemotePort);
    EXPECT_EQ(PROTO_HTTP, row.Protocol);
    EXPECT_EQ(5000u, row.InCount);
    EXPECT_EQ(300u, row.OutCount);
    EXPECT_EQ(1000u, row.StartTime);
    EXPECT_EQ(1010u, row.EndTime);
    EXPECT_EQ(ACTION_PASS, row.Action);
    EXPECT_EQ(std::vector<DWORD>{0x1234}, m_view.Removed);
    EXPECT_TRUE(m_view.Alerts.empty());
    EXPECT_EQ(1, m_sink.Count(Active(7, 0)));
    EXPECT_EQ(0, m_sink.Count(Active(7, 1)));

    // The poller's late duplicate of the pass reaches a freed record.
    Pass({{SESSION_SOURCE_TABLE, 3}});
    EXPECT_EQ(1u, Rows().size());
    EXPECT_EQ(2, m_sink.Count(Active(7, 0)));
    EXPECT_EQ(1, m_sink.Count(Delta(0, 5000))) << "counted once when it closed; a freed record counts nothing";
    EXPECT_EQ(1, m_sink.Count(Delta(1, 300)));
    EXPECT_TRUE(m_view.Shown.empty());
}

TEST_F(ConnectionEventsTest, ClosedRecordsOfOnePassGoInOneBatchAndAreFreedAfterIt)
{
    for (int index = 0; index < 5; ++index)
        Record(index, 0x100 + index, SESSION_CLOSED, DIR_INBOUND);

    for (int index = 0; index < 5; ++index)
        m_events.Handle(SESSION_SOURCE_TABLE, index);
    m_events.Handle(SESSION_SOURCE_TABLE, 2); // posted twice before the burst ended
    EXPECT_EQ(5u, m_events.WaitingRecords());
    EXPECT_EQ(0x102u, m_tables.Sessions()[2].Socket) << "nothing is freed before the batch";
    EXPECT_TRUE(Rows().empty());

    m_events.EndBurst();
    EXPECT_EQ(5u, Rows().size());
    for (int index = 0; index < 5; ++index)
        EXPECT_TRUE(IsFree(m_tables.Sessions()[index])) << index;
    EXPECT_EQ(0u, m_events.WaitingRecords());
}

// A window that hands its WM_SESSION_UPDATE to the handling, as the page does.
class CPostedPage {
public:
    explicit CPostedPage(CConnectionEvents &events)
    {
        s_events = &events;
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = PageProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.lpszClassName = "QfwTestMonitorPage";
        RegisterClassA(&windowClass); // fails harmlessly once registered
        m_window = CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                                   windowClass.hInstance, NULL);
    }
    ~CPostedPage() { DestroyWindow(m_window); }
    CPostedPage(const CPostedPage &) = delete;
    CPostedPage &operator=(const CPostedPage &) = delete;

    HWND Window() const { return m_window; }

    // Posts the events of a pass over these table indexes and handles just
    // them, so that what their handling posted still waits.
    void HandleOnlyThePass(std::initializer_list<int> indexes)
    {
        for (int index : indexes)
            PostMessageA(m_window, WM_SESSION_UPDATE, SESSION_SOURCE_TABLE, index);
        MSG msg;
        for (size_t handled = 0; handled < indexes.size() && GetMessageA(&msg, m_window, 0, 0); ++handled)
            DispatchMessageA(&msg);
    }

private:
    static LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_SESSION_UPDATE) {
            s_events->HandlePosted(window, wParam, lParam);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    static CConnectionEvents *s_events;
    HWND m_window;
};

CConnectionEvents *CPostedPage::s_events;

TEST_F(ConnectionEventsTest, PostedPassEndsItsBurstBehindTheEventsAlreadyQueued)
{
    CPostedPage page(m_events);
    ASSERT_TRUE(page.Window());
    for (int index = 0; index < 3; ++index)
        Record(index, 0x300 + index, SESSION_CLOSED, DIR_OUTBOUND);
    Record(3, 0x303, SESSION_OPEN, DIR_OUTBOUND);

    page.HandleOnlyThePass({0, 1, 2, 3});
    EXPECT_EQ(3u, m_events.WaitingRecords()) << "the burst is still open";
    EXPECT_EQ(0x300u, m_tables.Sessions()[0].Socket);

    CMessageSink::Pump(); // the marker
    EXPECT_EQ(0u, m_events.WaitingRecords());
    EXPECT_EQ(3u, Rows().size());
    for (int index = 0; index < 3; ++index)
        EXPECT_TRUE(IsFree(m_tables.Sessions()[index])) << index;
    EXPECT_EQ(0x303u, m_tables.Sessions()[3].Socket);
}

TEST_F(ConnectionEventsTest, PostedPassGivesTheMonitorItsBytesOnceADirectionAtItsEnd)
{
    CPostedPage page(m_events);
    ASSERT_TRUE(page.Window());
    for (int index = 0; index < 4; ++index)
        Record(index, 0x400 + index, SESSION_OPEN, DIR_OUTBOUND).RuleId = 7 + index % 2;

    page.HandleOnlyThePass({0, 1, 2, 3});
    EXPECT_EQ((std::vector<PostedMessage>{Active(7, 1), Active(8, 1)}), m_sink.Messages())
        << "each program once, and no bytes before the pass ends";
    CMessageSink::Pump();
    EXPECT_EQ((std::vector<PostedMessage>{Active(7, 1), Active(8, 1), Delta(0, 4 * 5000), Delta(1, 4 * 300)}),
              m_sink.Messages());

    // The next pass is a burst of its own: the programs are told again and
    // only what moved is counted.
    m_sink.Clear();
    m_tables.Sessions()[2].BytesReceived += 600;
    page.HandleOnlyThePass({0, 1, 2, 3});
    CMessageSink::Pump();
    EXPECT_EQ((std::vector<PostedMessage>{Active(7, 1), Active(8, 1), Delta(0, 600)}), m_sink.Messages());
}

TEST_F(ConnectionEventsTest, BytesOfABurstBeyondWhatOneMessageCarriesAllReachTheMonitor)
{
    for (int index = 0; index < 3; ++index)
        Record(index, 0x500 + index, SESSION_OPEN, DIR_OUTBOUND).BytesReceived = static_cast<LONG>(0xF0000000u);
    Pass({{SESSION_SOURCE_TABLE, 0}, {SESSION_SOURCE_TABLE, 1}, {SESSION_SOURCE_TABLE, 2}});
    EXPECT_EQ(3 * 0xF0000000ULL, Moved(0));
    EXPECT_EQ(3 * 300ULL, Moved(1));
}

TEST_F(ConnectionEventsTest, TheProgramPageHearsEveryChangeOfAProgramsStateButNoRepeatInABurst)
{
    Record(0, 0, SESSION_OPEN, DIR_OUTBOUND);                 // freed since the poller saw it
    Record(1, 0x601, SESSION_OPEN, DIR_OUTBOUND);             // live
    Record(2, 0x602, SESSION_CLOSED, DIR_OUTBOUND);           // freed at the burst's end
    Record(3, 0x603, SESSION_OPEN, DIR_OUTBOUND);             // live
    Record(4, 0x604, SESSION_OPEN, DIR_OUTBOUND).RuleId = 9;  // another program

    for (int index = 0; index < 5; ++index)
        m_events.Handle(SESSION_SOURCE_TABLE, index);
    EXPECT_EQ((std::vector<PostedMessage>{Active(7, 0), Active(7, 1), Active(9, 1)}), m_sink.Messages());

    // A program page given anew has heard nothing of the burst.
    CMessageSink newPage(WM_PROGRAM_ACTIVE, WM_PROGRAM_ACTIVE);
    m_events.SetPeers({m_sink.Window(), newPage.Window(), m_sink.Window()});
    m_events.Handle(SESSION_SOURCE_TABLE, 3);
    m_events.Handle(SESSION_SOURCE_TABLE, 1);
    EXPECT_EQ(std::vector<PostedMessage>{Active(7, 1)}, newPage.Messages());

    m_events.EndBurst();
    EXPECT_EQ((std::vector<PostedMessage>{Active(7, 1), Active(7, 0)}), newPage.Messages())
        << "the record freed at the end is told, as the last word of the burst";
}

TEST_F(ConnectionEventsTest, BatchRefusedByALockedDatabaseStillFreesEveryRecord)
{
    SessionRecord &record = Record(9, 0x99, SESSION_CLOSED, DIR_OUTBOUND);
    sqlite3 *holder = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open((m_folder.Path() + "ProgramLogs.dat").c_str(), &holder));
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr));

    Pass({{SESSION_SOURCE_TABLE, 9}});
    EXPECT_TRUE(IsFree(record));
    EXPECT_EQ(1, m_sink.Count(Active(7, 0)));

    sqlite3_exec(holder, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(holder);
    EXPECT_TRUE(Rows().empty());
    Pass({{SESSION_SOURCE_TABLE, 9}});
    EXPECT_TRUE(Rows().empty()) << "a freed record is not offered again";
}

TEST_F(ConnectionEventsTest, ClosedRecordWithoutDirectionIsFreedWithoutRowNodeOrAlert)
{
    SessionRecord &record = Record(4, 0x44, SESSION_CLOSED, DIR_UNKNOWN);
    record.Verdict = ACTION_DENY;

    m_events.Handle(SESSION_SOURCE_TABLE, 4);
    EXPECT_TRUE(IsFree(record)) << "freed at once, no row to wait for";
    m_events.EndBurst();

    EXPECT_TRUE(Rows().empty());
    EXPECT_TRUE(m_view.Removed.empty());
    EXPECT_TRUE(m_view.Alerts.empty());
    EXPECT_EQ(1, m_sink.Count(Active(7, 0)));
}

TEST_F(ConnectionEventsTest, RefusalByARuleRaisesTheAlertAndOneAfterAnAnswerDoesNot)
{
    struct Case {
        BYTE ByRule;
        size_t Alerts;
    } cases[] = {{1, 1}, {0, 0}};
    for (const Case &c : cases) {
        m_view.Alerts.clear();
        SessionRecord &record = Record(5, 0x55, SESSION_CLOSED, DIR_OUTBOUND);
        record.Verdict = ACTION_DENY;
        record.ByRule = c.ByRule;
        Pass({{SESSION_SOURCE_TABLE, 5}});
        EXPECT_EQ(c.Alerts, m_view.Alerts.size()) << "by rule " << int(c.ByRule);
        EXPECT_TRUE(IsFree(record));
    }
    const std::vector<LogRecord> rows = Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ(ACTION_DENY, rows[0].Action);
    EXPECT_EQ(ACTION_DENY, rows[1].Action);
}

TEST_F(ConnectionEventsTest, LiveRecordCountsItsWholeBytesFirstThenOnlyWhatItMoved)
{
    SessionRecord &record = Record(1, 0x11, SESSION_OPEN, DIR_OUTBOUND);
    Pass({{SESSION_SOURCE_TABLE, 1}});
    EXPECT_EQ(1, m_sink.Count(Delta(0, 5000)));
    EXPECT_EQ(1, m_sink.Count(Delta(1, 300)));
    EXPECT_EQ(1, m_sink.Count(Active(7, 1)));
    EXPECT_EQ(std::vector<DWORD>{0x11}, m_view.Shown);

    m_sink.Clear();
    Pass({{SESSION_SOURCE_TABLE, 1}});
    EXPECT_EQ(0, m_sink.Count(Delta(0, 5000)) + m_sink.Count(Delta(1, 300))) << "unchanged: nothing";

    record.BytesReceived = 5600;
    Pass({{SESSION_SOURCE_TABLE, 1}});
    EXPECT_EQ(1, m_sink.Count(Delta(0, 600)));
    EXPECT_EQ(1u, m_events.CounterCount());
    EXPECT_EQ(3u, m_view.Shown.size());
    EXPECT_TRUE(Rows().empty()) << "a live connection is not logged";
}

TEST_F(ConnectionEventsTest, ClosingRecordCountsWhatItMovedSinceItsLastLivePassOrAllWhenNeverSeenLive)
{
    struct Case {
        bool SeenLive;
        DWORD Received, Sent; // the final counts; 5000 and 300 when seen live
        DWORD ReceivedDelta, SentDelta;
    } const cases[] = {
        {true, 7000, 450, 2000, 150},
        {true, 5000, 300, 0, 0},
        {false, 5000, 300, 5000, 300},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.SeenLive ? "seen live" : "never seen live");
        SessionRecord &record = Record(6, 0x66, SESSION_OPEN, DIR_OUTBOUND);
        if (c.SeenLive)
            Pass({{SESSION_SOURCE_TABLE, 6}});
        m_sink.Clear();
        record.BytesReceived = static_cast<LONG>(c.Received);
        record.BytesSent = static_cast<LONG>(c.Sent);
        record.State = SESSION_CLOSED;
        Pass({{SESSION_SOURCE_TABLE, 6}});
        std::vector<PostedMessage> deltas;
        for (const PostedMessage &message : m_sink.Messages()) {
            if (message.Message == WM_TRAFFIC_DELTA)
                deltas.push_back(message);
        }
        std::vector<PostedMessage> expected;
        if (c.ReceivedDelta)
            expected.push_back(Delta(0, c.ReceivedDelta));
        if (c.SentDelta)
            expected.push_back(Delta(1, c.SentDelta));
        EXPECT_EQ(expected, deltas);
        EXPECT_EQ(0u, m_events.CounterCount()) << "the counter goes with the connection";
        EXPECT_TRUE(IsFree(record));
    }
}

TEST_F(ConnectionEventsTest, AskedAndFtpNotedRecordsCountNothingButAreActive)
{
    const BYTE states[] = {SESSION_FTP_NOTED, SESSION_ASKING};
    for (BYTE state : states) {
        m_sink.Clear();
        Record(2, 0x22, state, DIR_OUTBOUND).RuleId = 0;
        Pass({{SESSION_SOURCE_TABLE, 2}});
        EXPECT_EQ(std::vector<PostedMessage>{Active(0, 1)}, m_sink.Messages()) << int(state);
        EXPECT_EQ(0x22u, m_tables.Sessions()[2].Socket);
    }
    EXPECT_TRUE(m_view.Shown.empty());
    EXPECT_EQ(0u, m_events.CounterCount());
}

TEST_F(ConnectionEventsTest, FilterAndPauseDecideWhatTheTreeIsGiven)
{
    struct Case {
        int Filter;
        BYTE Protocol;
        bool Shown;
    } cases[] = {
        {FILTER_ALL, PROTO_UDP, true},   {FILTER_ALL, PROTO_TCP, true},   {FILTER_TCP, PROTO_FTP, true},
        {FILTER_TCP, PROTO_HTTP, true},  {FILTER_TCP, PROTO_SMTP, true},  {FILTER_TCP, PROTO_ICMP, true},
        {FILTER_TCP, PROTO_UDP, false},  {FILTER_UDP, PROTO_UDP, true},   {FILTER_UDP, PROTO_TCP, false},
        {FILTER_UDP, PROTO_ICMP, false},
    };
    for (const Case &c : cases) {
        m_view.Shown.clear();
        m_events.SetFilter(c.Filter);
        Record(6, 0x66, SESSION_OPEN, DIR_OUTBOUND).Protocol = c.Protocol;
        Pass({{SESSION_SOURCE_TABLE, 6}});
        EXPECT_EQ(c.Shown, !m_view.Shown.empty()) << c.Filter << " " << int(c.Protocol);
    }

    m_view.Shown.clear();
    m_events.SetFilter(FILTER_ALL);
    m_events.SetTreeFollows(false);
    SessionRecord &record = Record(6, 0x66, SESSION_OPEN, DIR_OUTBOUND);
    record.BytesSent = 900;
    Pass({{SESSION_SOURCE_TABLE, 6}});
    EXPECT_TRUE(m_view.Shown.empty());
    EXPECT_EQ(1, m_sink.Count(Delta(1, 600))) << "counting goes on while paused";
}

TEST_F(ConnectionEventsTest, LongTextsInTheTableAreCutAtTheirBuffers)
{
    SessionRecord &record = Record(8, 0x88, SESSION_CLOSED, DIR_OUTBOUND);
    memset(record.Path, 'p', sizeof record.Path);
    memset(record.Detail, 'd', sizeof record.Detail); // runs on into the next record
    Record(9, 0x89, SESSION_OPEN, DIR_OUTBOUND);

    Pass({{SESSION_SOURCE_TABLE, 8}});
    const std::vector<LogRecord> rows = Rows();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(std::string(SESSION_PATH_SIZE - 1, 'p'), std::string(rows[0].Path));
    EXPECT_EQ(std::string(SESSION_DETAIL_SIZE - 1, 'd'), std::string(rows[0].WebSite));
}

TEST_F(ConnectionEventsTest, IndexesOutsideTheirTablesAndUnknownSourcesChangeNothing)
{
    Record(0, 0x10, SESSION_CLOSED, DIR_OUTBOUND);
    m_tables.Table1Count = 2;
    m_tables.Table1[2].Handle = 0x77;
    const std::pair<WPARAM, LPARAM> events[] = {
        {SESSION_SOURCE_TABLE, SESSION_RECORD_COUNT}, {SESSION_SOURCE_TABLE, -1},
        {SESSION_SOURCE_TABLE1, 2},                   {SESSION_SOURCE_TABLE2, DRIVER_TABLE2_POLLED},
        {SESSION_SOURCE_RING, DRIVER_RING_ENTRIES},   {SESSION_SOURCE_RING, -5},
        {4, 0},                                       {0xFFFF, 0},
    };
    for (const auto &event : events)
        m_events.Handle(event.first, event.second);
    m_events.EndBurst();
    CMessageSink::Pump();
    EXPECT_TRUE(m_sink.Messages().empty());
    EXPECT_EQ(0x10u, m_tables.Sessions()[0].Socket);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(0u, m_events.CounterCount());
}

TEST_F(ConnectionEventsTest, DriverEntriesAreCountedShownUnlessSystemAndRemovedFromTableTwo)
{
    DriverTableRecord &app = m_tables.Table1[0];
    app.Handle = 0xA1;
    app.DirectionVerdict = 0x21; // deny, outbound
    app.Protocol = PROTO_UDP;
    app.ProcessId = 88;
    app.BytesSent = 10;
    app.BytesReceived = 20;
    strcpy(app.ImageName, "svc.exe");
    DriverTableRecord &system = m_tables.Table1[1];
    system = app;
    system.Handle = 0xA2;
    strcpy(system.ImageName, "SYSTEM");
    m_tables.Table1Count = 2;

    Pass({{SESSION_SOURCE_TABLE1, 0}, {SESSION_SOURCE_TABLE1, 1}});
    EXPECT_EQ(std::vector<DWORD>{0xA1}, m_view.Shown) << "SYSTEM is counted unseen";
    EXPECT_EQ(2 * 20u, Moved(0));
    EXPECT_EQ(2 * 10u, Moved(1));
    EXPECT_EQ(2u, m_events.CounterCount());

    m_tables.Table2[3] = app;
    Pass({{SESSION_SOURCE_TABLE2, 3}});
    EXPECT_EQ(std::vector<DWORD>{0xA1}, m_view.Removed);
    EXPECT_EQ(0u, m_tables.Table2[3].Handle);
    EXPECT_EQ(1u, m_events.CounterCount());
    EXPECT_TRUE(Rows().empty()) << "driver connections are never logged";
    EXPECT_TRUE(m_view.Alerts.empty());
}

TEST(DriverEntryDecode, FieldsComeFromTheirPlacesAndOnlyTheExactSystemNameHidesThePath)
{
    DriverTableRecord entry = {};
    entry.Handle = 5;
    entry.DirectionVerdict = 0x2F;
    entry.Protocol = PROTO_ICMP;
    entry.ProcessId = 6;
    entry.BytesSent = 7;
    entry.BytesReceived = 8;
    entry.RemoteIp = 0x0A000001;
    entry.LocalPort = 9;
    entry.RemotePort = 10;
    memset(entry.ImageName, 'x', sizeof entry.ImageName); // no terminator
    SessionRecord record;
    memset(&record, 0xCC, sizeof record);
    DecodeTableEntry(entry, record);
    EXPECT_EQ(5u, record.Socket);
    EXPECT_EQ(15, record.Direction);
    EXPECT_EQ(PROTO_ICMP, record.Protocol);
    EXPECT_EQ(6u, record.ProcessId);
    EXPECT_EQ(7, record.BytesSent);
    EXPECT_EQ(8, record.BytesReceived);
    EXPECT_EQ(0x0A000001u, record.RemoteIp);
    EXPECT_EQ(9, record.LocalPort);
    EXPECT_EQ(10, record.RemotePort);
    EXPECT_EQ(std::string(16, 'x'), std::string(record.Path));
    EXPECT_STREQ("", record.Detail);

    const struct {
        const char *Name;
        const char *Path;
    } names[] = {{"SYSTEM", ""}, {"system", "system"}, {"SYSTEM2", "SYSTEM2"}, {"", ""}};
    for (const auto &name : names) {
        memset(entry.ImageName, 0, sizeof entry.ImageName);
        strcpy(entry.ImageName, name.Name);
        DecodeTableEntry(entry, record);
        EXPECT_STREQ(name.Path, record.Path) << name.Name;
    }
}

TEST_F(ConnectionEventsTest, PacketEventsReachTheLogPageWithTheirFieldsAndFlagNames)
{
    struct Case {
        BYTE Protocol;
        BYTE Flags;
        const char *Text;
    } cases[] = {
        {PROTO_TCP, 0x12, "ACK SYN "},
        {PROTO_HTTP, 0x3F, "ACK FIN PSH RST SYN URG "},
        {PROTO_TCP, 0x40 | 0x01, "FIN "},
        {PROTO_UDP, 0x3F, ""},
        {PROTO_ICMP, 0x12, ""},
        {PROTO_TCP, 0, ""},
    };
    for (const Case &c : cases) {
        m_sink.Clear();
        DriverQueueRecord &event = m_tables.Ring[511];
        event = DriverQueueRecord();
        event.Kind = DRIVER_QUEUE_PACKET;
        event.TcpFlags = c.Flags;
        event.Protocol = c.Protocol;
        event.Time = 1700000000;
        event.RemoteIp = 0xC0A80001;
        event.LocalPort = 445;
        m_events.Handle(SESSION_SOURCE_RING, 511);
        const PacketLogEntry &entry = *ThePacketLogEntry();
        const std::vector<PostedMessage> sent = {{WM_PACKET_LOGGED, reinterpret_cast<WPARAM>(&entry), 0}};
        ASSERT_EQ(sent, m_sink.Messages());
        EXPECT_STREQ(c.Text, entry.FlagText);
        EXPECT_EQ(c.Flags & 0x3F, entry.TcpFlags);
        EXPECT_EQ(c.Protocol, entry.Protocol);
        EXPECT_EQ(0, entry.Action);
        EXPECT_EQ(1700000000u, entry.Time);
        EXPECT_EQ(0xC0A80001u, entry.RemoteIp);
        EXPECT_EQ(445, entry.LocalPort);
    }
    EXPECT_EQ(24u, strlen("ACK FIN PSH RST SYN URG "));

    m_sink.Clear();
    m_tables.Ring[0].Kind = DRIVER_QUEUE_QUESTION;
    m_events.Handle(SESSION_SOURCE_RING, 0);
    EXPECT_TRUE(m_sink.Messages().empty()) << "questions are the program page's";
}

} // namespace
