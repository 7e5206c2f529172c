// The traffic monitor page under Xvfb, made from the console's own
// resources in the kit's host dialog over a fresh program folder: a real
// Config.dat and ProgramLogs.dat, the shared connection table and driver
// tables of the test's own, windows of the test for the program and log
// pages, driven by real clicks and keys.
#include "AlertWatch.h"
#include "ConnectionSourcesFixture.h"
#include <ConsoleMessages.h>
#include <DataBase.h>
#include <FirewallTypes.h>
#include <Formatting.h>
#include <LanguageText.h>
#include <LoggedOn.h>
#include <MonitorFrame.h>
#include <ProgramLogs.h>
#include <RefusalAlert.h>

#include <FoundationUi.h>

#include <DialogDriver.h>
#include <GuiPump.h>
#include <HostDialog.h>
#include <MenuKeys.h>
#include <MessageSink.h>
#include <ProgramFolderFixture.h>
#include <RealInput.h>
#include <TestScreens.h>
#include <TextRoom.h>

#include <gtest/gtest.h>

#include <commctrl.h>
#include <tlhelp32.h>
#include <windowsx.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const SIZE PAGE_SIZE = {600, 360};
const COLORREF RECEIVED_CURVE = 0x74F574;

std::string RectText(const RECT &r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

std::string ThisProgram()
{
    char path[MAX_PATH];
    GetModuleFileNameA(NULL, path, sizeof path);
    return path;
}

// A running process of the machine other than this one.
DWORD AnotherProcess()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    DWORD found = 0;
    for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ProcessID != 0 && entry.th32ProcessID != GetCurrentProcessId())
            found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

class MonitorPage : public ::testing::Test
{
protected:
    MonitorPage() : m_programPage(WM_PROGRAM_ACTIVE, WM_PROGRAM_ACTIVE), m_logPage(WM_PACKET_LOGGED, WM_PACKET_LOGGED) {}

    void SetUp() override
    {
        SetPumpFilter(AfxPreTranslateMessage);
        m_savedLoggedOn = LoggedOn;
        LoggedOn = 1;
        m_settings.Open(m_folder.File("Config.dat")); // FALSE for a file already made: it is open all the same
        ASSERT_TRUE(m_logs.Open(m_folder.File("ProgramLogs.dat")));
        m_texts.SetSource(m_folder.LanguageFile(), "FRAME_MONITOR", "APP", "APP_NAME");
        g_sounds.clear();
        m_previousPlayer = SetAlertSoundPlayer(RecordSound);
    }

    void TearDown() override
    {
        ClosePage();
        SetAlertSoundPlayer(m_previousPlayer);
        LoggedOn = m_savedLoggedOn;
        SetPumpFilter(NULL);
    }

    void OpenPage()
    {
        m_page = new CMonitorFrame(NULL, kFixtureSources);
        m_page->Bind(&m_settings, &m_logs, m_folder.LanguageFile(), m_folder.SkinFile(""));
        m_page->SetPeerPages(m_programPage.Window(), m_logPage.Window());
        m_host.Show();
        ASSERT_TRUE(m_page->Create(IDD_MONITOR_PAGE, CWnd::FromHandle(m_host.Handle())));
        RECT outer = {0, 0, PAGE_SIZE.cx, PAGE_SIZE.cy};
        AdjustWindowRectEx(&outer, GetWindowLongA(m_host.Handle(), GWL_STYLE), FALSE,
                           GetWindowLongA(m_host.Handle(), GWL_EXSTYLE));
        SetWindowPos(m_host.Handle(), NULL, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                     SWP_NOMOVE | SWP_NOZORDER);
        m_page->MoveWindow(0, 0, PAGE_SIZE.cx, PAGE_SIZE.cy);
        m_page->ShowWindow(SW_SHOW);
        PumpFor(200);
    }

    void ClosePage()
    {
        if (!m_page)
            return;
        m_page->DestroyWindow();
        delete m_page;
        m_page = nullptr;
    }

    std::string Text(const char *key) const { return static_cast<LPCTSTR>(m_texts.GetText(key)); }
    HWND Control(UINT id) const { return ::GetDlgItem(m_page->m_hWnd, id); }
    bool IsShown(UINT id) const { return ::IsWindowVisible(Control(id)) != FALSE; }
    std::string ControlText(UINT id) const
    {
        char text[256] = "";
        ::GetWindowTextA(Control(id), text, sizeof text);
        return text;
    }
    RECT RectOf(UINT id) const
    {
        RECT rect = {};
        ::GetWindowRect(Control(id), &rect);
        MapWindowPoints(NULL, m_page->m_hWnd, reinterpret_cast<POINT *>(&rect), 2);
        return rect;
    }
    void ClickButton(UINT id)
    {
        ClickControl(Control(id));
        PumpFor(150);
    }

    // A live connection of this program in the shared table.
    SessionRecord &Connection(int index, DWORD socket, BYTE protocol, BYTE direction)
    {
        SessionRecord &record = m_tables.Sessions()[index];
        memset(&record, 0, sizeof record);
        record.Index = index;
        record.ProcessId = GetCurrentProcessId();
        record.Socket = socket;
        record.RuleId = 3;
        record.Decided = 1;
        record.State = SESSION_OPEN;
        record.Direction = direction;
        record.Protocol = protocol;
        record.RemoteIp = 0x7F000001;
        record.LocalPort = static_cast<WORD>(1100 + index);
        record.RemotePort = 80;
        record.BytesSent = 120;
        record.BytesReceived = 3400;
        record.StartTime = 1000;
        record.EndTime = 1010;
        strcpy(record.Path, ThisProgram().c_str());
        return record;
    }

    // What the poller posts for these table indexes in one pass.
    void Pass(std::initializer_list<int> indexes)
    {
        for (int index : indexes)
            m_page->PostMessage(WM_SESSION_UPDATE, SESSION_SOURCE_TABLE, index);
        PumpFor(100);
    }

    std::string ListenText(const SessionRecord &record) const
    {
        char text[256];
        snprintf(text, sizeof text, Text("INF_Listen").c_str(), unsigned(record.LocalPort));
        return text;
    }
    std::string ConnectText(const SessionRecord &record) const
    {
        char text[256];
        snprintf(text, sizeof text, Text("INF_Connect").c_str(), unsigned(record.LocalPort), "127.0.0.1",
                 unsigned(record.RemotePort), static_cast<LPCTSTR>(FormatByteCount64(record.BytesSent)),
                 static_cast<LPCTSTR>(FormatByteCount64(record.BytesReceived)));
        return text;
    }

    std::vector<HTREEITEM> Children(HTREEITEM parent) const
    {
        CItemTree &tree = m_page->Tree();
        std::vector<HTREEITEM> items;
        for (HTREEITEM item = parent ? tree.GetChildItem(parent) : tree.GetRootItem(); item;
             item = tree.GetNextSiblingItem(item))
            items.push_back(item);
        return items;
    }
    std::string NodeText(HTREEITEM item) const { return static_cast<LPCTSTR>(m_page->Tree().GetItemText(item)); }
    std::vector<std::string> ChildTexts(HTREEITEM parent) const
    {
        std::vector<std::string> texts;
        for (HTREEITEM item : Children(parent))
            texts.push_back(NodeText(item));
        return texts;
    }
    POINT NodePoint(HTREEITEM item) const
    {
        RECT rect = {};
        TreeView_GetItemRect(m_page->Tree().GetSafeHwnd(), item, &rect, TRUE);
        return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    // Chooses the filter's item as a person does: the list opened by a
    // click, the item by keys from the top.
    void ChooseFilter(int item)
    {
        ClickControl(Control(IDC_PROTOCOL_FILTER));
        PumpFor(150);
        PressKey(VK_HOME);
        for (int i = 0; i < item; ++i)
            PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        PumpFor(150);
    }

    CMenuKeys ClickForMenu(UINT button, std::vector<WORD> keys, const char *screen)
    {
        CMenuKeys menu(std::move(keys), screen);
        ClickControl(Control(button));
        PumpUntil([&] { return menu.Met(); }, 3000);
        PumpFor(200);
        return menu;
    }

    CProgramFolderFixture m_folder;
    CConnectionSourcesFixture m_tables;
    CDataBase m_settings;
    CProgramLogs m_logs;
    CLanguageText m_texts;
    CMessageSink m_programPage;
    CMessageSink m_logPage;
    CHostDialog m_host;
    CDialogDriver m_driver;
    CMonitorFrame *m_page = nullptr;
    BYTE m_savedLoggedOn = 1;
    AlertSoundPlayer m_previousPlayer = nullptr;
};

TEST_F(MonitorPage, TabsShowTheirControlsAtTheirPlacesWithTheirHelpTopics)
{
    OpenPage();
    const int W = PAGE_SIZE.cx, H = PAGE_SIZE.cy;
    EXPECT_EQ(CMonitorFrame::TAB_TRAFFIC, m_page->CurrentTab());
    EXPECT_STREQ("::/monitor_flux.htm", m_page->GetHelpTopic());
    for (UINT id : {IDC_RECEIVED_GRAPH, IDC_SENT_GRAPH, IDC_RECEIVED_SCALE, IDC_SENT_SCALE, IDC_RECEIVED_TOTAL})
        EXPECT_TRUE(IsShown(id)) << id;
    for (UINT id : {IDC_CONNECTION_TREE, IDC_PROTOCOL_FILTER, IDC_KILL_PROCESS})
        EXPECT_FALSE(IsShown(id)) << id;
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_MONITOR_FLUX_TAB))) << "the marked tab";
    EXPECT_TRUE(::IsWindowEnabled(Control(IDC_MONITOR_ONLINE_TAB)));

    const int a = (H - 110) / 2;
    const RECT received = RectOf(IDC_RECEIVED_GRAPH), sent = RectOf(IDC_SENT_GRAPH);
    EXPECT_EQ(RectText(RECT{20, 40, W - 20, 40 + a - 5}), RectText(received));
    EXPECT_EQ(RectText(RECT{20, a + 75, W - 20, a + 75 + a - 5}), RectText(sent));
    const RECT inScale = RectOf(IDC_RECEIVED_SCALE), outScale = RectOf(IDC_SENT_SCALE);
    EXPECT_EQ(20, inScale.left);
    EXPECT_EQ(a + 40, inScale.top);
    EXPECT_EQ(2 * a + 75, outScale.top);
    const int scaleWidth = inScale.right - inScale.left, scaleHeight = inScale.bottom - inScale.top;
    EXPECT_GT(scaleWidth, 0);
    EXPECT_EQ(RectText(RECT{scaleWidth + 25, a + 43, scaleWidth + 125, a + 40 + scaleHeight}), RectText(RectOf(IDC_RECEIVED_UNIT)));
    EXPECT_EQ(RectText(RECT{W - 368, a + 43, W - 298, a + 40 + scaleHeight}), RectText(RectOf(IDC_RECEIVED_RATE_LABEL)));
    EXPECT_EQ(RectText(RECT{W - 298, a + 43, W - 208, a + 40 + scaleHeight}), RectText(RectOf(IDC_RECEIVED_RATE)));
    EXPECT_EQ(RectText(RECT{W - 188, 2 * a + 78, W - 108, 2 * a + 75 + scaleHeight}), RectText(RectOf(IDC_SENT_TOTAL_LABEL)));
    EXPECT_EQ(RectText(RECT{W - 108, 2 * a + 78, W - 28, 2 * a + 75 + scaleHeight}), RectText(RectOf(IDC_SENT_TOTAL)));
    const RECT online = RectOf(IDC_MONITOR_ONLINE_TAB), flux = RectOf(IDC_MONITOR_FLUX_TAB);
    EXPECT_EQ(W - 5, online.right);
    EXPECT_EQ(online.left, flux.right);
    EXPECT_EQ(1, flux.top);

    EXPECT_EQ(Text("LB_UINT"), ControlText(IDC_RECEIVED_UNIT));
    EXPECT_EQ(Text("LB_UINT"), ControlText(IDC_SENT_UNIT));
    EXPECT_EQ(Text("LB_CurrentIn"), ControlText(IDC_RECEIVED_RATE_LABEL));
    EXPECT_EQ(Text("LB_CurrentOut"), ControlText(IDC_SENT_RATE_LABEL));
    EXPECT_EQ(Text("LB_TotalIn"), ControlText(IDC_RECEIVED_TOTAL_LABEL));
    EXPECT_EQ(Text("LB_TotalOut"), ControlText(IDC_SENT_TOTAL_LABEL));
    EXPECT_EQ(std::string(FormatByteCount64(0)), ControlText(IDC_RECEIVED_TOTAL)) << "before the first total";
    EXPECT_EQ(std::string(FormatByteCount64(0)), ControlText(IDC_SENT_TOTAL)) << "before the first total";
    SaveTestScreen(m_host.Handle(), "traffic");

    ClickButton(IDC_MONITOR_ONLINE_TAB);
    EXPECT_EQ(CMonitorFrame::TAB_CONNECTIONS, m_page->CurrentTab());
    EXPECT_STREQ("::/monitor_online.htm", m_page->GetHelpTopic());
    for (UINT id : {IDC_RECEIVED_GRAPH, IDC_SENT_GRAPH, IDC_RECEIVED_SCALE, IDC_SENT_SCALE, IDC_RECEIVED_TOTAL,
                    IDC_SENT_UNIT})
        EXPECT_FALSE(IsShown(id)) << id;
    for (UINT id : {IDC_CONNECTION_TREE, IDC_PROTOCOL_FILTER, IDC_KILL_PROCESS})
        EXPECT_TRUE(IsShown(id)) << id;
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_MONITOR_ONLINE_TAB)));
    const RECT kill = RectOf(IDC_KILL_PROCESS);
    const int killWidth = kill.right - kill.left;
    EXPECT_EQ(RectText(RECT{W - 10 - killWidth, 35, W - 10, kill.bottom}), RectText(kill));
    EXPECT_EQ(W - 10 - killWidth - 125, RectOf(IDC_PROTOCOL_FILTER).left);
    EXPECT_EQ(35, RectOf(IDC_PROTOCOL_FILTER).top);
    EXPECT_EQ(RectText(RECT{10, 65, W - 10, H - 10}), RectText(RectOf(IDC_CONNECTION_TREE)));
    std::vector<std::string> items;
    for (int i = 0; i < ComboBox_GetCount(Control(IDC_PROTOCOL_FILTER)); ++i) {
        char text[64] = "";
        ComboBox_GetLBText(Control(IDC_PROTOCOL_FILTER), i, text);
        items.push_back(text);
    }
    EXPECT_EQ((std::vector<std::string>{Text("Combox_ALL"), Text("Combox_TCP"), Text("Combox_UDP")}), items);
    EXPECT_EQ(0, ComboBox_GetCurSel(Control(IDC_PROTOCOL_FILTER)));
    SaveTestScreen(m_host.Handle(), "connections-empty");

    ClickButton(IDC_MONITOR_FLUX_TAB);
    EXPECT_EQ(CMonitorFrame::TAB_TRAFFIC, m_page->CurrentTab());
    EXPECT_TRUE(IsShown(IDC_SENT_GRAPH));
    EXPECT_FALSE(IsShown(IDC_KILL_PROCESS));
}

// A line longer than the tree is wide ends in an ellipsis at the tree's
// edge, and its counts read as the page's totals do.
TEST_F(MonitorPage, ALongConnectionLineEndsInAnEllipsisAtTheTreesEdge)
{
    OpenPage();
    ClickButton(IDC_MONITOR_ONLINE_TAB);
    SessionRecord &record = Connection(0, 0x100, PROTO_TCP, DIR_OUTBOUND);
    strcpy(record.Detail, "a-rather-long-host-name.of-a-content-delivery-network.example.com");
    record.BytesSent = 38;
    record.BytesReceived = 168226862;
    Pass({0});
    const std::vector<HTREEITEM> processes = Children(NULL);
    ASSERT_EQ(1u, processes.size());
    CItemTree &tree = m_page->Tree();
    tree.Expand(processes[0], TVE_EXPAND);
    const std::vector<HTREEITEM> groups = Children(processes[0]);
    ASSERT_EQ(1u, groups.size());
    tree.Expand(groups[0], TVE_EXPAND);
    PumpFor(100);
    const std::vector<HTREEITEM> lines = Children(groups[0]);
    ASSERT_EQ(1u, lines.size());
    const std::string line = NodeText(lines[0]);
    EXPECT_NE(line.find("sent 38 B, received 160.43"), std::string::npos) << line;

    // The line is the third shown; its room ends at the client area's edge.
    TextRoom room = {};
    ASSERT_EQ(TEXT_ROOM_FILLED, tree.SendMessage(TextRoomMessage(), 2, reinterpret_cast<LPARAM>(&room)));
    EXPECT_EQ(line, room.text);
    CRect client;
    tree.GetClientRect(&client);
    EXPECT_LE(room.room.right, client.right);
    EXPECT_TRUE(room.format & DT_END_ELLIPSIS);
    CRect label;
    tree.GetItemRect(lines[0], &label, TRUE);
    EXPECT_GT(label.right, client.right) << "the line is not long enough to need the ellipsis";
    SaveTestScreen(m_host.Handle(), "long-line");
}

TEST_F(MonitorPage, ConnectionsMakeOneProcessNodeWithItsGroupsUnderEachFilter)
{
    OpenPage();
    ClickButton(IDC_MONITOR_ONLINE_TAB);
    const SessionRecord &listening = Connection(0, 0x100, PROTO_TCP, DIR_LISTEN);
    const SessionRecord &outbound = Connection(1, 0x104, PROTO_HTTP, DIR_OUTBOUND);
    const SessionRecord &datagram = Connection(2, 0x108, PROTO_UDP, DIR_OUTBOUND);
    Pass({0, 1, 2});

    std::vector<HTREEITEM> processes = Children(NULL);
    ASSERT_EQ(1u, processes.size());
    EXPECT_EQ("Ferrowind", NodeText(processes[0])) << "the program file's description";
    EXPECT_EQ(GetCurrentProcessId(), m_page->Tree().GetItemData(processes[0]));
    int image = -1, selected = -1;
    m_page->Tree().GetItemImage(processes[0], image, selected);
    EXPECT_EQ(IMAGE_FIRST_PROGRAM, image) << "the program's own icon";
    EXPECT_EQ((std::vector<std::string>{"TCP", "UDP"}), ChildTexts(processes[0]));
    const std::vector<HTREEITEM> groups = Children(processes[0]);
    EXPECT_EQ((std::vector<std::string>{ListenText(listening), ConnectText(outbound)}), ChildTexts(groups[0]));
    EXPECT_EQ((std::vector<std::string>{ConnectText(datagram)}), ChildTexts(groups[1]));
    m_page->Tree().Expand(processes[0], TVE_EXPAND);
    for (HTREEITEM group : groups)
        m_page->Tree().Expand(group, TVE_EXPAND);
    PumpFor(100);
    SaveTestScreen(m_host.Handle(), "all");

    struct Case {
        int filter;
        const char *screen;
        std::vector<std::string> groups;
    } const cases[] = {
        {FILTER_TCP, "tcp", {"TCP"}},
        {FILTER_UDP, "udp", {"UDP"}},
        {FILTER_ALL, "all-again", {"TCP", "UDP"}},
    };
    for (const Case &c : cases) {
        ChooseFilter(c.filter);
        EXPECT_EQ(c.filter, ComboBox_GetCurSel(Control(IDC_PROTOCOL_FILTER)));
        EXPECT_TRUE(Children(NULL).empty()) << "a new filter empties the tree";
        Pass({0, 1, 2});
        processes = Children(NULL);
        ASSERT_EQ(1u, processes.size()) << c.screen;
        EXPECT_EQ(c.groups, ChildTexts(processes[0])) << c.screen;
        m_page->Tree().Expand(processes[0], TVE_EXPAND);
        for (HTREEITEM group : Children(processes[0]))
            m_page->Tree().Expand(group, TVE_EXPAND);
        PumpFor(100);
        SaveTestScreen(m_host.Handle(), c.screen);
    }
}

TEST_F(MonitorPage, ALiveConnectionFeedsTheGraphsRatesAndTotals)
{
    ASSERT_TRUE(m_settings.SetString("InMaxUint", "5120", "Options"));
    OpenPage();
    const int graphHeight = RectOf(IDC_RECEIVED_GRAPH).bottom - RectOf(IDC_RECEIVED_GRAPH).top;
    const RECT upperHalf = {60, 0, PAGE_SIZE.cx, graphHeight / 2};
    EXPECT_EQ(0, CaptureWindow(Control(IDC_RECEIVED_GRAPH)).CountColour(RECEIVED_CURVE, upperHalf));

    SessionRecord &record = Connection(0, 0x200, PROTO_TCP, DIR_OUTBOUND);
    record.BytesReceived = 4000;
    record.BytesSent = 100;
    Pass({0});
    EXPECT_EQ(4000u, m_page->TotalReceived()) << "the first sight counts the whole bytes";
    EXPECT_EQ(100u, m_page->TotalSent());
    Pass({0});
    EXPECT_EQ(4000u, m_page->TotalReceived()) << "unchanged counts add nothing";
    record.BytesReceived = 9000;
    record.BytesSent = 1124;
    Pass({0});
    EXPECT_EQ(9000u, m_page->TotalReceived());
    EXPECT_EQ(1124u, m_page->TotalSent());
    EXPECT_EQ(std::string(FormatByteCount(9000)), ControlText(IDC_RECEIVED_TOTAL));
    EXPECT_EQ(std::string(FormatByteCount(1124)), ControlText(IDC_SENT_TOTAL));

    // The graphs close their seconds on their own threads and report the rate.
    const std::string suffix = Text("LB_Speed_uint");
    ASSERT_TRUE(PumpUntil([&] {
        record.BytesReceived += 4500;
        Pass({0});
        const std::string rate = ControlText(IDC_RECEIVED_RATE);
        return rate != "150 k/s" && rate.size() > suffix.size() &&
               rate.compare(rate.size() - suffix.size(), suffix.size(), suffix) == 0;
    }, 5000));
    ASSERT_TRUE(PumpUntil([&] {
        record.BytesReceived += 4500;
        Pass({0});
        return CaptureWindow(Control(IDC_RECEIVED_GRAPH)).CountColour(RECEIVED_CURVE, upperHalf) > 0;
    }, 6000)) << "the curve climbs near the top of a 5 K scale";
    EXPECT_NE("150 k/s", ControlText(IDC_SENT_RATE));
    SaveTestScreen(m_host.Handle(), "moving");

    // The longest rate below a megabyte fits its label.
    m_page->SendMessage(WM_FLUX_SAMPLE, 0, 1048575);
    const std::string longest = ControlText(IDC_RECEIVED_RATE);
    EXPECT_EQ(std::string(FormatByteCount(1048575)) + suffix, longest);
    HDC dc = ::GetDC(Control(IDC_RECEIVED_RATE));
    HGDIOBJ oldFont = ::SelectObject(dc, reinterpret_cast<HFONT>(m_page->SendMessage(WM_GETFONT)));
    SIZE extent = {};
    ::GetTextExtentPoint32A(dc, longest.c_str(), static_cast<int>(longest.size()), &extent);
    ::SelectObject(dc, oldFont);
    ::ReleaseDC(Control(IDC_RECEIVED_RATE), dc);
    EXPECT_LE(extent.cx, RectOf(IDC_RECEIVED_RATE).right - RectOf(IDC_RECEIVED_RATE).left);

    // Totals go on above 4 GiB.
    const ULONGLONG before = m_page->TotalReceived();
    for (int i = 0; i < 2; ++i)
        m_page->SendMessage(WM_TRAFFIC_DELTA, 0, static_cast<LPARAM>(0xFFFFFFFFu));
    EXPECT_EQ(before + 2 * 0xFFFFFFFFULL, m_page->TotalReceived());
    EXPECT_EQ(std::string(FormatByteCount64(before + 2 * 0xFFFFFFFFULL)), ControlText(IDC_RECEIVED_TOTAL));
    PumpFor(100);
    SaveTestScreen(m_host.Handle(), "beyond-4GiB");
}

TEST_F(MonitorPage, FinishedConnectionsAddWhatTheyMovedSinceTheirLastPassToTheTotals)
{
    OpenPage();
    SessionRecord &seen = Connection(0, 0x210, PROTO_TCP, DIR_OUTBOUND);
    Pass({0});
    ASSERT_EQ(3400u, m_page->TotalReceived());
    seen.BytesReceived = 9400;
    seen.BytesSent = 620;
    seen.State = SESSION_CLOSED;
    Pass({0});
    EXPECT_EQ(9400u, m_page->TotalReceived()) << "what moved after the last live pass";
    EXPECT_EQ(620u, m_page->TotalSent());

    // Opened and closed between two passes: never seen live.
    Connection(1, 0x211, PROTO_UDP, DIR_OUTBOUND).State = SESSION_CLOSED;
    Pass({1});
    EXPECT_EQ(9400u + 3400u, m_page->TotalReceived());
    EXPECT_EQ(620u + 120u, m_page->TotalSent());
    EXPECT_EQ(std::string(FormatByteCount64(740)), ControlText(IDC_SENT_TOTAL));
    SaveTestScreen(m_host.Handle(), "finished-counted");

    std::vector<LogRecord> rows;
    ASSERT_TRUE(m_logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, rows));
    DWORD logged = 0;
    for (const LogRecord &row : rows)
        logged += row.InCount;
    EXPECT_EQ(m_page->TotalReceived(), logged) << "the graphs and the log agree";
}

TEST_F(MonitorPage, EveryConnectionOfABusyPassAddsItsBytesToTheTotals)
{
    OpenPage();
    const int connections = 200;
    for (int index = 0; index < connections; ++index)
        Connection(index, 0x700 + index * 4, index % 2 ? PROTO_UDP : PROTO_TCP, DIR_OUTBOUND);
    for (int pass = 1; pass <= 2; ++pass) {
        for (int index = 0; index < connections; ++index)
            m_page->PostMessage(WM_SESSION_UPDATE, SESSION_SOURCE_TABLE, index);
        PumpUntil([&] { return m_page->TotalReceived() == pass * connections * 3400ULL; }, 5000);
        EXPECT_EQ(pass * connections * 3400ULL, m_page->TotalReceived()) << "pass " << pass;
        EXPECT_EQ(pass * connections * 120ULL, m_page->TotalSent()) << "pass " << pass;
        EXPECT_EQ(std::string(FormatByteCount64(pass * connections * 3400ULL)), ControlText(IDC_RECEIVED_TOTAL));
        EXPECT_EQ(std::string(FormatByteCount64(pass * connections * 120ULL)), ControlText(IDC_SENT_TOTAL));
        for (int index = 0; index < connections; ++index) {
            m_tables.Sessions()[index].BytesReceived += 3400;
            m_tables.Sessions()[index].BytesSent += 120;
        }
    }
    PumpFor(100);
    SaveTestScreen(m_host.Handle(), "busy-pass-counted");
}

TEST_F(MonitorPage, AFinishedConnectionWhoseBurstHasNotEndedIsLoggedWhenThePageGoes)
{
    OpenPage();
    Connection(2, 0x220, PROTO_TCP, DIR_OUTBOUND).State = SESSION_CLOSED;
    m_page->SendMessage(WM_SESSION_UPDATE, SESSION_SOURCE_TABLE, 2);
    ASSERT_EQ(1u, m_page->Events().WaitingRecords()) << "its burst ends behind the queued events";
    ClosePage();
    std::vector<LogRecord> rows;
    ASSERT_TRUE(m_logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, rows));
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ(1100u + 2u, rows[0].LocalPort);
    EXPECT_EQ(0u, m_tables.Sessions()[2].Socket) << "freed";
}

TEST_F(MonitorPage, ASocketOpenedAndClosedAgainAndAgainLeavesTheTreesImageListAsItWas)
{
    OpenPage();
    ClickButton(IDC_MONITOR_ONLINE_TAB);
    const HIMAGELIST images = TreeView_GetImageList(m_page->Tree().GetSafeHwnd(), TVSIL_NORMAL);
    ASSERT_TRUE(images);
    ASSERT_EQ(IMAGE_FIRST_PROGRAM, ImageList_GetImageCount(images));
    for (int round = 0; round < 30; ++round) {
        SessionRecord &record = Connection(0, 0x600 + round, PROTO_UDP, DIR_OUTBOUND);
        Pass({0});
        ASSERT_EQ(1u, Children(NULL).size()) << round;
        ASSERT_EQ(IMAGE_FIRST_PROGRAM + 1, ImageList_GetImageCount(images)) << round;
        if (round == 0)
            SaveTestScreen(m_host.Handle(), "one-program-icon");
        record.State = SESSION_CLOSED;
        Pass({0});
        ASSERT_TRUE(Children(NULL).empty()) << round;
        ASSERT_EQ(IMAGE_FIRST_PROGRAM, ImageList_GetImageCount(images)) << "round " << round;
    }
}

TEST_F(MonitorPage, ScaleMenusCheckTheStoredScaleAndTheChoiceIsStoredAtTheEnd)
{
    struct Case {
        const char *stored;
        UINT checked;
    } const cases[] = {
        {"81920", ID_FLUX_80K}, {"30000", ID_FLUX_5K}, {"0", ID_FLUX_320K}, {"", ID_FLUX_320K}, {"-5", ID_FLUX_320K},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.stored);
        ASSERT_TRUE(m_settings.SetString("InMaxUint", c.stored, "Options"));
        ASSERT_TRUE(m_settings.SetString("OutMaxUint", c.stored, "Options"));
        OpenPage();
        const std::string screen = std::string("menu-") + (*c.stored ? c.stored : "missing");
        CMenuKeys in = ClickForMenu(IDC_RECEIVED_SCALE, {VK_ESCAPE}, screen.c_str());
        ASSERT_TRUE(in.Met());
        EXPECT_EQ(std::vector<UINT>{c.checked}, in.Checked());
        EXPECT_EQ(9u, in.Texts().size());
        CMenuKeys out = ClickForMenu(IDC_SENT_SCALE, {VK_ESCAPE}, "");
        EXPECT_EQ(std::vector<UINT>{c.checked}, out.Checked());
        ClosePage();
    }

    // Choosing "10 k" for the received graph and "1280 k" for the sent one.
    OpenPage();
    CMenuKeys in = ClickForMenu(IDC_RECEIVED_SCALE, {VK_DOWN, VK_DOWN, VK_RETURN}, "");
    EXPECT_EQ(10240, m_page->ReceivedGraph().m_nScale);
    CMenuKeys out = ClickForMenu(IDC_SENT_SCALE, {VK_UP, VK_RETURN}, "");
    EXPECT_EQ(1310720, m_page->SentGraph().m_nScale);
    EXPECT_EQ("327680", std::string(m_settings.GetString("InMaxUint", "Options"))) << "stored only at the end";
    ClosePage();
    EXPECT_EQ("10240", std::string(m_settings.GetString("InMaxUint", "Options")));
    EXPECT_EQ("1310720", std::string(m_settings.GetString("OutMaxUint", "Options")));
}

TEST_F(MonitorPage, HidingPausesTheTreeForSixSecondsAndShowingEndsThePause)
{
    OpenPage();
    ClickButton(IDC_MONITOR_ONLINE_TAB);
    m_page->ShowWindow(SW_HIDE);
    EXPECT_FALSE(m_page->TreeFollows());
    EXPECT_TRUE(m_page->IsPauseTimerRunning());
    Connection(0, 0x300, PROTO_TCP, DIR_OUTBOUND);
    Pass({0});
    EXPECT_TRUE(Children(NULL).empty()) << "no insertion while paused";
    EXPECT_EQ(3400u, m_page->TotalReceived()) << "counting goes on";

    m_page->ShowWindow(SW_SHOW);
    EXPECT_TRUE(m_page->TreeFollows());
    EXPECT_FALSE(m_page->IsPauseTimerRunning());
    Pass({0});
    EXPECT_EQ(1u, Children(NULL).size());

    m_page->ShowWindow(SW_HIDE);
    EXPECT_FALSE(m_page->TreeFollows());
    EXPECT_TRUE(PumpUntil([&] { return m_page->TreeFollows(); }, 9000)) << "the pause ends by itself";
    EXPECT_FALSE(m_page->IsPauseTimerRunning());
}

TEST_F(MonitorPage, ARefusalByARuleGivesItsRowAndTheAlertAndSoundWhileTheirOptionsAreSet)
{
    OpenPage();
    struct Case {
        const char *window;
        const char *sound;
        BYTE byRule;
        bool alert;
        bool played;
    } const cases[] = {
        {"1", "1", 1, true, true},
        {"0", "1", 1, false, true},
        {"1", "0", 1, true, false},
        {"1", "1", 0, false, false},
    };
    int index = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(index);
        ASSERT_TRUE(m_settings.SetString("EnableWndAlert", c.window, "Options"));
        ASSERT_TRUE(m_settings.SetString("EnableSoundAlert", c.sound, "Options"));
        g_sounds.clear();
        if (index > 0)
            PumpFor(CRefusalAnnouncer::SOUND_INTERVAL_MS); // the sound plays at most once a second
        const int alerts = AlertCount();
        SessionRecord &record = Connection(index, 0x400 + index, PROTO_TCP, DIR_OUTBOUND);
        record.RemoteIp += index; // a peer of its own: not added to the alert before
        record.Verdict = ACTION_DENY;
        record.ByRule = c.byRule;
        record.State = SESSION_CLOSED;
        Pass({index});
        PumpFor(100);
        EXPECT_EQ(alerts + (c.alert ? 1 : 0), AlertCount());
        EXPECT_EQ(c.played ? 1u : 0u, g_sounds.size());
        if (c.played) {
            EXPECT_EQ(std::string(m_folder.File("sound\\Alert.wav")), g_sounds[0]);
        }
        EXPECT_EQ(0u, m_tables.Sessions()[index].Socket) << "freed";
        if (index == 0) {
            PumpFor(800);
            SaveTestScreen(NULL, "risen-alert");
        }
        ++index;
    }
    std::vector<LogRecord> rows;
    ASSERT_TRUE(m_logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, rows));
    EXPECT_EQ(4u, rows.size()) << "each refusal is one row";
    for (const LogRecord &row : rows)
        EXPECT_EQ(ACTION_DENY, row.Action);
}

TEST_F(MonitorPage, ABurstOfRefusalsOfOneProgramGivesOneCountedAlertOneSoundAndEveryRow)
{
    ASSERT_TRUE(m_settings.SetString("EnableWndAlert", "1", "Options"));
    ASSERT_TRUE(m_settings.SetString("EnableSoundAlert", "1", "Options"));
    OpenPage();
    g_sounds.clear();
    const int alerts = AlertCount();
    const int refusals = 40;
    for (int index = 0; index < refusals; ++index) {
        SessionRecord &record = Connection(index, 0x700 + index, PROTO_TCP, DIR_OUTBOUND);
        record.Verdict = ACTION_DENY;
        record.ByRule = 1;
        record.State = SESSION_CLOSED;
    }
    const DWORD start = GetTickCount();
    for (int index = 0; index < refusals; ++index)
        m_page->PostMessage(WM_SESSION_UPDATE, SESSION_SOURCE_TABLE, index);
    PumpUntil([&] { return m_tables.Sessions()[refusals - 1].Socket == 0; }, 5000);
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(alerts + 1, AlertCount());
    EXPECT_EQ(1u, m_page->Refusals().StandingAlerts());
    EXPECT_GE(g_sounds.size(), 1u);
    EXPECT_LE(g_sounds.size(), 1u + elapsed / CRefusalAnnouncer::SOUND_INTERVAL_MS) << elapsed << " ms";
    std::vector<LogRecord> rows;
    ASSERT_TRUE(m_logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, rows));
    EXPECT_EQ(size_t(refusals), rows.size()) << "every refusal is in the log";
    PumpFor(800);
    SaveTestScreen(NULL, "counted-alert");
}

TEST_F(MonitorPage, TheConnectionMenuAndTheEndButtonEndNothingForTheConsoleLoggedOffOrAGoneNode)
{
    OpenPage();
    ClickButton(IDC_MONITOR_ONLINE_TAB);
    Connection(0, 0x600, PROTO_TCP, DIR_LISTEN);
    // A node of another running process, which the timer keeps; nothing
    // below gets as far as ending it.
    SessionRecord &other = Connection(1, 0x604, PROTO_TCP, DIR_OUTBOUND);
    other.ProcessId = AnotherProcess();
    ASSERT_NE(0u, other.ProcessId);
    Pass({0, 1});
    ASSERT_EQ(2u, Children(NULL).size());
    for (HTREEITEM process : Children(NULL)) {
        m_page->Tree().Expand(process, TVE_EXPAND);
        m_page->Tree().Expand(Children(process)[0], TVE_EXPAND);
    }
    PumpFor(100);
    const HTREEITEM own = Children(Children(Children(NULL)[0])[0])[0];
    const HTREEITEM foreign = Children(Children(Children(NULL)[1])[0])[0];

    // The console's own node: the menu's entry asks nothing and ends nothing.
    {
        CMenuKeys menu({VK_DOWN, VK_RETURN}, "connection-menu");
        ClickControlAt(m_page->Tree().GetSafeHwnd(), NodePoint(own), MouseButton::Right);
        ASSERT_TRUE(PumpUntil([&] { return menu.Met(); }, 3000));
        PumpFor(300);
        EXPECT_EQ(std::vector<std::string>{Text("MU_KILL")}, menu.Texts());
    }
    EXPECT_EQ(own, m_page->RememberedNode());
    EXPECT_TRUE(m_driver.Boxes().empty()) << "the console is never offered to be ended";

    // Logged off, any other node is refused with the logged-off text.
    LoggedOn = 0;
    ClickControlAt(m_page->Tree().GetSafeHwnd(), NodePoint(foreign));
    PumpFor(150);
    EXPECT_EQ(foreign, m_page->RememberedNode());
    m_driver.AnswerNextBox(IDOK);
    ClickButton(IDC_KILL_PROCESS);
    PumpFor(300);
    ASSERT_EQ(1u, m_driver.Boxes().size());
    EXPECT_EQ(std::string(m_texts.GetText("LOG_DONT", "APP")), m_driver.Boxes()[0].text);
    EXPECT_EQ(MB_ICONEXCLAMATION, m_driver.Boxes()[0].icon);
    LoggedOn = 1;

    // A remembered node that has gone counts as none.
    ChooseFilter(FILTER_UDP);
    EXPECT_EQ(nullptr, m_page->RememberedNode());
    ClickButton(IDC_KILL_PROCESS);
    PumpFor(300);
    EXPECT_EQ(1u, m_driver.Boxes().size()) << "no question for a deleted node";
}

TEST_F(MonitorPage, BadIndexesAndUnknownKindsChangeNothing)
{
    OpenPage();
    ClickButton(IDC_MONITOR_ONLINE_TAB);
    Connection(0, 0x500, PROTO_TCP, DIR_OUTBOUND);
    m_tables.Table1Count = 1;
    Pass({0});
    m_programPage.Clear();
    m_logPage.Clear();
    const ULONGLONG received = m_page->TotalReceived();
    const std::pair<WPARAM, LPARAM> bad[] = {
        {SESSION_SOURCE_TABLE, SESSION_RECORD_COUNT}, {SESSION_SOURCE_TABLE, -1},
        {SESSION_SOURCE_TABLE1, 1},                   {SESSION_SOURCE_TABLE1, 0x7FFFFFFF},
        {SESSION_SOURCE_TABLE2, DRIVER_TABLE2_POLLED}, {SESSION_SOURCE_RING, DRIVER_RING_ENTRIES},
        {7, 0},                                         {0xFFFF, 3},
    };
    for (const auto &event : bad)
        ::PostMessageA(m_page->m_hWnd, WM_SESSION_UPDATE, event.first, event.second);
    PumpFor(200);
    CMessageSink::Pump();
    EXPECT_EQ(received, m_page->TotalReceived());
    EXPECT_TRUE(m_programPage.Messages().empty());
    EXPECT_TRUE(m_logPage.Messages().empty());
    EXPECT_EQ(1u, Children(NULL).size());
    EXPECT_EQ(0x500u, m_tables.Sessions()[0].Socket);
}

} // namespace
