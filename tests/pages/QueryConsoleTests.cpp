// The question path through the real console: QFW.exe runs in a program
// folder of its own after its own install; clients copied into folders of
// their own connect on loopback through the catalog router and QFW.DLL,
// NetvaneCtl pushes the driver's questions, and the test answers the
// console's pop-ups at the screen's corner with real clicks. It reads the
// rules back from ProgramsRule.dat and from the image the providers map;
// after the run the sqlite3 shell reads the same rows once more
// (check-query-rules.sh).
#include <winsock2.h>

#include <commctrl.h>

#include "AnnouncedImage.h"
#include "ClientRun.h"
#include "ConsoleProcess.h"
#include "QueryPopups.h"

#include <ConsoleMessages.h>
#include <FirewallLib.h>
#include <FirewallTypes.h>
#include <GuiPump.h>
#include <LanguageText.h>
#include <LockedDatabase.h>
#include <ProgramFolderFixture.h>
#include <ProgramPageIds.h>
#include <ProgramQueryIds.h>
#include <ProgramsRuleLib.h>
#include <ProviderControlBlock.h>
#include <RealInput.h>
#include <SafeFormat.h>
#include <TestScreens.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

const DWORD kAskMs = 30000;

std::string TextOf(HWND popup, UINT id)
{
    char text[300] = "";
    GetDlgItemTextA(popup, id, text, sizeof text);
    return text;
}

bool SamePath(const std::string &a, const char *b)
{
    return lstrcmpiA(a.c_str(), b) == 0;
}

std::string TestName()
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    return std::string(test->test_suite_name()) + "." + test->name();
}

// Where the tests leave each program folder's ProgramsRule.dat and the rows
// they expect in it, for the sqlite3 shell: <build>/query-console/.
std::string ShellCheckFolder()
{
    const std::string folder = BinFolder() + "..\\query-console\\";
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

BOOL CALLBACK FindRuleGrid(HWND window, LPARAM found)
{
    if (GetDlgCtrlID(window) != IDC_RULE_GRID)
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// A free loopback port of this moment.
WORD FreePort()
{
    CListener probe;
    return probe.Port();
}

} // namespace

class QueryConsole : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_shellFiles = ShellCheckFolder() + TestName();
        DeleteFileA((m_shellFiles + ".dat").c_str());
        DeleteFileA((m_shellFiles + ".expected").c_str());
        ASSERT_TRUE(InstallConsole(m_folder.Path(), Provider()));
        m_provider = LoadLibraryA(m_folder.File("QFW.DLL"));
        ASSERT_NE(nullptr, m_provider);
        m_texts.SetSource(m_folder.LanguageFile(), "DLG_PROGRAM_QUERY", "APP", "APP_NAME");
        m_listener.reset(new CListener);
    }

    void TearDown() override
    {
        StopConsole();
        LeaveRulesForTheShell();
        m_listener.reset();
        if (m_provider)
            FreeLibrary(m_provider);
        UninstallConsole();
    }

    // The QFW.DLL laid into the program folder.
    virtual std::string Provider() const { return BinFolder() + "QFW.DLL"; }

    // The console started in the program folder, its set-up done.
    void StartConsole()
    {
        m_console.reset(new CConsoleProcess(m_folder.Path(), ""));
        ASSERT_TRUE(m_console->Started());
        m_main = m_console->WaitForMarkedWindow();
        ASSERT_NE(nullptr, m_main);
        ASSERT_EQ(m_console->Id(), Control().ConsoleProcessId) << "the console registered with the provider";
        ASSERT_TRUE(PumpUntil([&] { return Control().WorkMode == WORK_MODE_NORMAL; }, 10000))
            << "the main window sends the stored work mode";
    }

    void StopConsole()
    {
        if (!m_console)
            return;
        if (IsWindow(m_main))
            PostMessageA(m_main, WM_CONSOLE_EXIT, 0, 0);
        m_console->WaitForExit(20000);
        m_console.reset(); // ended at the latest here
    }

    ProviderControlBlock &Control()
    {
        return *ModuleSection<ProviderControlBlock>(m_provider, PROVIDER_CONTROL_SECTION);
    }

    std::string Text(const char *key) const { return std::string(m_texts.GetText(key)); }

    // A copy of the Winsock client at Apps\<folder>\<name> in the program
    // folder.
    std::string Client(const std::string &folder, const std::string &name = "wsclient.exe")
    {
        const std::string apps = std::string(m_folder.Path()) + "Apps\\";
        CreateDirectoryA(apps.c_str(), NULL);
        const std::string path = apps + folder + "\\" + name;
        CreateDirectoryA((apps + folder).c_str(), NULL);
        EXPECT_TRUE(CopyFileA((BinFolder() + "wsclient.exe").c_str(), path.c_str(), FALSE)) << path;
        return path;
    }

    std::string SendLine() const { return "send 127.0.0.1 " + std::to_string(m_listener->Port()) + " --line hello"; }

    // The console's pop-ups on the screen, the topmost first.
    std::vector<HWND> Popups() const { return QueryPopupsOf(m_console ? m_console->Id() : 0); }

    bool AwaitPopups(size_t count)
    {
        return PumpUntil([&] { return Popups().size() >= count; }, kAskMs);
    }

    // The pop-up of the running client, once it stands.
    HWND AwaitPopup(const CClientRun &run)
    {
        PumpUntil([&] { return !Popups().empty() || run.Ended(); }, kAskMs);
        const std::vector<HWND> popups = Popups();
        return popups.empty() ? NULL : popups[0];
    }

    // The pop-up whose file line shows the name; NULL when none does.
    HWND PopupOf(const std::string &fileName) const
    {
        for (HWND popup : Popups())
            if (TextOf(popup, IDC_QUERY_FILE) == fileName)
                return popup;
        return NULL;
    }

    // The clicks of the user's answer; the pop-up then goes.
    void ClickAnswer(HWND popup, bool remember, BYTE verdict)
    {
        BringToFront(popup);
        if (remember)
            ClickControl(GetDlgItem(popup, IDC_QUERY_REMEMBER));
        ClickControl(GetDlgItem(popup, verdict == ACTION_PASS ? IDC_QUERY_ALLOW : IDC_QUERY_DENY));
    }

    void Answer(HWND popup, bool remember, BYTE verdict)
    {
        ClickAnswer(popup, remember, verdict);
        EXPECT_TRUE(PumpUntil([popup] { return !IsWindow(popup); }, 10000)) << "the pop-up goes with its answer";
    }

    // The balloon at the bottom right of the work area.
    void ExpectAtTheCorner(HWND popup)
    {
        RECT work;
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0));
        RECT place;
        GetWindowRect(popup, &place);
        EXPECT_EQ(work.right - 283, place.left);
        EXPECT_EQ(work.bottom - 314, place.top);
        EXPECT_EQ(282, place.right - place.left);
        EXPECT_EQ(314, place.bottom - place.top);
        HRGN balloon = CreateRectRgn(0, 0, 0, 0);
        EXPECT_NE(ERROR, GetWindowRgn(popup, balloon));
        EXPECT_FALSE(PtInRegion(balloon, 0, 0)) << "a rounded corner";
        EXPECT_TRUE(PtInRegion(balloon, 143, 305)) << "the tail";
        DeleteObject(balloon);
    }

    void ExpectRefused(CClientRun &run)
    {
        EXPECT_EQ(1, run.Wait());
        EXPECT_NE(std::string::npos, run.Output().find("error 10061")) << run.Output();
    }

    void ExpectDelivered(CClientRun &run)
    {
        EXPECT_EQ(0, run.Wait()) << run.Output();
        EXPECT_EQ("hello\r\n", m_listener->Received());
    }

    // A run of the client that must not be asked about.
    void RunUnasked(const std::string &client, BYTE verdict)
    {
        CClientRun run(SendLine(), client);
        bool asked = false;
        while (!run.Ended()) {
            asked = asked || !Popups().empty();
            PumpFor(50);
        }
        EXPECT_FALSE(asked) << client;
        if (verdict == ACTION_PASS)
            ExpectDelivered(run);
        else
            ExpectRefused(run);
    }

    RuleRecord StoredRule(const std::string &path)
    {
        CProgramsRuleLib store;
        EXPECT_TRUE(store.Open(m_folder.File("ProgramsRule.dat")));
        std::vector<RuleRecord> rules;
        store.LoadRules(rules);
        for (const RuleRecord &rule : rules)
            if (SamePath(path, rule.Path))
                return rule;
        return RuleRecord();
    }

    // The path's rule as the providers read it; ID 0 when the image has none.
    ProgramRule ImageRule(const std::string &path)
    {
        ProgramRule found = {};
        CAnnouncedImage image(Control());
        EXPECT_EQ(IMAGE_MAPPED, image.Status());
        if (image.Status() != IMAGE_MAPPED)
            return found;
        const AclSection<ProgramRule> rules = image.View().ProgramRules();
        for (const ProgramRule *rule = rules.begin(); rule != rules.end() && rule->ID != 0; ++rule)
            if (SamePath(path, rule->Path))
                found = *rule;
        return found;
    }

    // The rule the pop-up made for a program without one: the zone actions,
    // mail deny and lock key 2, in the store and in the image alike. The
    // shell reads the row again after the run.
    void ExpectMadeRule(const std::string &path, BYTE inet, BYTE tnet)
    {
        SCOPED_TRACE(path);
        const RuleRecord rule = StoredRule(path);
        ASSERT_NE(0u, rule.ID) << "no stored rule";
        EXPECT_EQ(inet, rule.InetAction);
        EXPECT_EQ(tnet, rule.TnetAction);
        EXPECT_EQ(ACTION_DENY, rule.EmailAction);
        EXPECT_EQ(2, rule.LockKey);
        const ProgramRule entry = ImageRule(path);
        EXPECT_EQ(rule.ID, entry.ID);
        EXPECT_EQ(inet, entry.InetAction);
        EXPECT_EQ(tnet, entry.TnetAction);
        EXPECT_EQ(ACTION_DENY, entry.EmailAction);
        EXPECT_EQ(2, entry.LockKey);
        m_shellRows[path] = path + "|" + std::to_string(inet) + "|" + std::to_string(tnet) + "|2|2";
    }

    // The States of the path's records in the connection table.
    std::vector<BYTE> RecordStates(const std::string &path)
    {
        std::vector<BYTE> states;
        CTableView table;
        for (int i = 0; table.IsOpen() && i < SESSION_RECORD_COUNT; ++i)
            if (table[i].Socket != 0 && SamePath(path, table[i].Path))
                states.push_back(table[i].State);
        return states;
    }

    bool OnlyClosedRecords(const std::string &path)
    {
        const std::vector<BYTE> states = RecordStates(path);
        return std::all_of(states.begin(), states.end(), [](BYTE s) { return s == SESSION_CLOSED; });
    }

    // The rows of the program page's rule grid, which the page keeps filled
    // while it is hidden in the main window; -1 without the grid.
    int ProgramGridRows()
    {
        HWND grid = NULL;
        EnumChildWindows(m_main, FindRuleGrid, reinterpret_cast<LPARAM>(&grid));
        return grid ? static_cast<int>(SendMessageA(grid, LVM_GETITEMCOUNT, 0, 0)) : -1;
    }

    // A question of the driver, pushed as the driver would.
    void PushQuestion(const std::string &arguments)
    {
        HANDLE ctl = StartProgram(BinFolder() + "NetvaneCtl.exe", "push question out 1 " + arguments);
        ASSERT_EQ(0, WaitForExit(ctl)) << arguments;
    }

    // The folder's rule store and the rows the test expects in it, for the
    // sqlite3 shell; the console has closed the file by now.
    void LeaveRulesForTheShell()
    {
        if (m_shellRows.empty())
            return;
        EXPECT_TRUE(CopyFileA(m_folder.File("ProgramsRule.dat"), (m_shellFiles + ".dat").c_str(), FALSE));
        std::ofstream expected(m_shellFiles + ".expected", std::ios::binary);
        for (const auto &row : m_shellRows) // in the order of their paths, as the shell's query
            expected << row.second << "\n";
    }

    CProgramFolderFixture m_folder;
    CLanguageText m_texts;
    HMODULE m_provider = nullptr;
    std::unique_ptr<CConsoleProcess> m_console;
    HWND m_main = NULL;
    std::unique_ptr<CListener> m_listener;
    std::string m_shellFiles;
    std::map<std::string, std::string> m_shellRows;
};

// The provider of the tests' own build, which refuses an unanswered
// question after a few seconds.
class QueryConsoleShortWait : public QueryConsole
{
protected:
    std::string Provider() const override { return BinFolder() + "short-wait\\QFW.DLL"; }
};

TEST_F(QueryConsole, EachFolderIsAskedAtTheCornerAndItsAnswerBecomesItsRule)
{
    struct Case {
        const char *folder;
        BYTE verdict;
    } const cases[] = {
        {"Allowed", ACTION_PASS},
        {"Denied", ACTION_DENY},
        {"O'Brien's tools", ACTION_PASS},
        {"O'Brien's games", ACTION_DENY},
    };
    StartConsole();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string client = Client(c.folder);
        {
            CClientRun run(SendLine(), client);
            HWND popup = AwaitPopup(run);
            ASSERT_NE(nullptr, popup) << run.Output();
            EXPECT_EQ(Text("LB_TITLE_NEW"), TextOf(popup, IDC_QUERY_TITLE));
            EXPECT_EQ("wsclient.exe", TextOf(popup, IDC_QUERY_FILE));
            EXPECT_EQ("127.0.0.1", TextOf(popup, IDC_QUERY_IP));
            EXPECT_EQ("TCP [" + std::to_string(m_listener->Port()) + "]", TextOf(popup, IDC_QUERY_PORT));
            ExpectAtTheCorner(popup);
            if (&c == cases) {
                ASSERT_TRUE(AwaitQueryPopupsFadedIn(m_console->Id()));
                SaveTestScreen(NULL, "new");
            }
            EXPECT_FALSE(run.Ended()) << "the connect waits for the answer";
            Answer(popup, true, c.verdict);
            if (c.verdict == ACTION_PASS)
                ExpectDelivered(run);
            else
                ExpectRefused(run);
        }
        ExpectMadeRule(client, c.verdict, ACTION_PASS);
        RunUnasked(client, c.verdict);
    }
    EXPECT_EQ(static_cast<int>(sizeof cases / sizeof cases[0]), ProgramGridRows())
        << "the program page lists each new rule";
}

TEST_F(QueryConsole, AnAnswerNotRememberedDecidesOnceAndTheNextRunAsksAgain)
{
    StartConsole();
    const std::string client = Client("Unsure");
    {
        CClientRun run(SendLine(), client);
        HWND popup = AwaitPopup(run);
        ASSERT_NE(nullptr, popup) << run.Output();
        Answer(popup, false, ACTION_PASS);
        ExpectDelivered(run);
    }
    ExpectMadeRule(client, ACTION_QUERY, ACTION_PASS);
    const DWORD ruleId = StoredRule(client).ID;

    CClientRun again(SendLine(), client);
    HWND popup = AwaitPopup(again);
    ASSERT_NE(nullptr, popup) << again.Output();
    EXPECT_EQ(Text("LB_TITLE_REPEAT"), TextOf(popup, IDC_QUERY_TITLE));
    EXPECT_EQ(std::string(SafeFormat(Text("LB_MoreInfor_Repeat").c_str(), {Text("LB_INET").c_str()})),
              TextOf(popup, IDC_QUERY_MORE));
    ASSERT_TRUE(AwaitQueryPopupsFadedIn(m_console->Id()));
    SaveTestScreen(NULL, "repeat");
    Answer(popup, false, ACTION_DENY);
    ExpectRefused(again);
    EXPECT_EQ(ruleId, StoredRule(client).ID);
    ExpectMadeRule(client, ACTION_QUERY, ACTION_PASS); // an unticked answer changes no row
}

TEST_F(QueryConsole, FromTheTrustedZoneItAsksWithTheTrustedTextsAndDenySetsBothActions)
{
    {
        CFirewallLib zones;
        ASSERT_TRUE(zones.Open(m_folder.File("Firewall.dat")));
        ZoneRecord loopback;
        loopback.Name = "Loopback";
        loopback.Type = ZONE_ENTRY_ADDRESS;
        loopback.IP1 = loopback.IP2 = 0x7F000001;
        ASSERT_NE(0u, zones.AddZone(loopback, FALSE));
    }
    StartConsole();
    const std::string client = Client("Trusted");
    CClientRun run(SendLine(), client);
    HWND popup = AwaitPopup(run);
    ASSERT_NE(nullptr, popup) << run.Output();
    EXPECT_NE(std::string::npos, TextOf(popup, IDC_QUERY_INFO).find(Text("LB_TNET"))) << TextOf(popup, IDC_QUERY_INFO);
    EXPECT_EQ(Text("LB_MoreInfor_New"), TextOf(popup, IDC_QUERY_MORE));
    ASSERT_TRUE(AwaitQueryPopupsFadedIn(m_console->Id()));
    SaveTestScreen(NULL, "trusted");
    Answer(popup, true, ACTION_DENY);
    ExpectRefused(run);
    ExpectMadeRule(client, ACTION_DENY, ACTION_DENY);
    RunUnasked(client, ACTION_DENY);
}

TEST_F(QueryConsole, AListeningProgramIsAskedWithItsLocalPortAlone)
{
    StartConsole();
    const std::string client = Client("Server");
    const std::string port = std::to_string(FreePort());
    CClientRun run("listen " + port, client);
    HWND popup = AwaitPopup(run);
    ASSERT_NE(nullptr, popup) << run.Output();
    EXPECT_EQ(Text("LB_Local_Port"), TextOf(popup, IDC_QUERY_PORT_LABEL));
    EXPECT_EQ(port, TextOf(popup, IDC_QUERY_PORT));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(popup, IDC_QUERY_IP)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(popup, IDC_QUERY_IP_LABEL)));
    ASSERT_TRUE(AwaitQueryPopupsFadedIn(m_console->Id()));
    SaveTestScreen(NULL, "listening");
    Answer(popup, false, ACTION_DENY);
    EXPECT_EQ(1, run.Wait()) << run.Output();
    ExpectMadeRule(client, ACTION_QUERY, ACTION_PASS);
}

TEST_F(QueryConsole, ADriverQuestionAsksModallyOncePerPortsAndItsAnswerBecomesARule)
{
    StartConsole();
    PushQuestion("127.0.0.1:4001 10.1.2.3:21 ftpclient.exe 1");
    ASSERT_TRUE(AwaitPopups(1));
    HWND popup = Popups()[0];
    EXPECT_FALSE(IsWindowEnabled(m_main)) << "the driver's question is modal";
    EXPECT_EQ("ftpclient.exe", TextOf(popup, IDC_QUERY_FILE));
    EXPECT_EQ("10.1.2.3", TextOf(popup, IDC_QUERY_IP));
    EXPECT_EQ("TCP [21]", TextOf(popup, IDC_QUERY_PORT));
    ExpectAtTheCorner(popup);
    PushQuestion("127.0.0.1:4001 10.9.9.9:21 ftpclient.exe 1");
    PumpFor(3000);
    EXPECT_EQ(1u, Popups().size()) << "the same ports open nothing while their question is open";
    SaveTestScreen(NULL, "driver");
    Answer(popup, true, ACTION_PASS);
    EXPECT_TRUE(PumpUntil([&] { return IsWindowEnabled(m_main) != FALSE; }, 5000));
    ExpectMadeRule("ftpclient.exe", ACTION_PASS, ACTION_PASS);

    PushQuestion("127.0.0.1:4001 10.1.2.3:21 ftpclient.exe 1");
    ASSERT_TRUE(AwaitPopups(1)) << "answered, the same ports ask again";
    Answer(Popups()[0], false, ACTION_DENY);
    ExpectMadeRule("ftpclient.exe", ACTION_PASS, ACTION_PASS); // the program had its rule

    PushQuestion("127.0.0.1:4002 10.1.2.3:80 \"\" 1");
    ASSERT_TRUE(AwaitPopups(1));
    EXPECT_EQ("*", TextOf(Popups()[0], IDC_QUERY_FILE));
    Answer(Popups()[0], true, ACTION_DENY);
    ExpectMadeRule("*", ACTION_DENY, ACTION_PASS);
}

TEST_F(QueryConsole, SeveralQuestionsStandStackedAndEachAnswerReachesItsOwnSocket)
{
    struct Asker {
        const char *name;
        BYTE verdict;
    } const askers[] = {{"alpha.exe", ACTION_PASS}, {"beta.exe", ACTION_DENY}, {"gamma.exe", ACTION_PASS}};
    StartConsole();
    std::vector<std::string> clients;
    std::vector<std::unique_ptr<CClientRun>> runs;
    for (const Asker &asker : askers) {
        clients.push_back(Client("Stacked", asker.name));
        runs.emplace_back(new CClientRun(SendLine(), clients.back()));
    }
    ASSERT_TRUE(AwaitPopups(3));
    PushQuestion("127.0.0.1:4003 10.1.2.3:25 mailer.exe 1");
    ASSERT_TRUE(AwaitPopups(4));
    ASSERT_TRUE(AwaitQueryPopupsFadedIn(m_console->Id()));
    SaveTestScreen(NULL, "stacked");
    RECT first;
    GetWindowRect(Popups()[0], &first);
    for (HWND popup : Popups()) {
        RECT place;
        GetWindowRect(popup, &place);
        EXPECT_TRUE(EqualRect(&first, &place)) << "each opens at the same place";
    }

    HWND driver = PopupOf("mailer.exe");
    ASSERT_NE(nullptr, driver);
    Answer(driver, true, ACTION_DENY);
    for (size_t i = 0; i < clients.size(); ++i) {
        SCOPED_TRACE(askers[i].name);
        HWND popup = PopupOf(askers[i].name);
        ASSERT_NE(nullptr, popup);
        Answer(popup, true, askers[i].verdict);
    }
    int delivered = 0;
    for (size_t i = 0; i < clients.size(); ++i) {
        SCOPED_TRACE(askers[i].name);
        if (askers[i].verdict == ACTION_PASS) {
            EXPECT_EQ(0, runs[i]->Wait()) << runs[i]->Output();
            ++delivered;
        } else {
            ExpectRefused(*runs[i]);
        }
        ExpectMadeRule(clients[i], askers[i].verdict, ACTION_PASS);
    }
    for (int i = 0; i < delivered; ++i)
        EXPECT_EQ("hello\r\n", m_listener->Received());
    EXPECT_EQ("", m_listener->Received()) << "the denied client's data never arrived";
    ExpectMadeRule("mailer.exe", ACTION_DENY, ACTION_PASS);
}

TEST_F(QueryConsole, RepeatedPostsWhileTheStoreIsLockedOpenOnePopupAndItsConnectWaits)
{
    StartConsole();
    const std::string first = Client("Locked", "first.exe");
    const std::string second = Client("Locked", "second.exe");
    CClientRun firstRun(SendLine(), first);
    HWND popup = AwaitPopup(firstRun);
    ASSERT_NE(nullptr, popup) << firstRun.Output();
    CClientRun secondRun(SendLine(), second);
    {
        CLockedDatabase lock(m_folder.File("ProgramsRule.dat"));
        ASSERT_TRUE(lock.Locked());
        // The answer's rule waits on the store, and the console with it.
        ClickAnswer(popup, true, ACTION_PASS);
        EXPECT_TRUE(PumpUntil(
            [&] {
                const std::vector<BYTE> states = RecordStates(second);
                return !states.empty() && states[0] == SESSION_ASKING;
            },
            5000))
            << "the second client asks meanwhile";
        PumpFor(2100); // the poller posts its question again every second
        EXPECT_TRUE(IsWindow(popup)) << "the console still waits on the store";
    }
    ASSERT_TRUE(PumpUntil([popup] { return !IsWindow(popup); }, 10000));
    ExpectDelivered(firstRun);
    PumpFor(2000); // the queued posts are handled
    ASSERT_EQ(1u, Popups().size()) << "one pop-up for all the posts of one question";
    EXPECT_EQ("second.exe", TextOf(Popups()[0], IDC_QUERY_FILE));
    EXPECT_FALSE(secondRun.Ended()) << "its connect waits for its answer";
    Answer(Popups()[0], true, ACTION_DENY);
    ExpectRefused(secondRun);
    ExpectMadeRule(first, ACTION_PASS, ACTION_PASS);
    ExpectMadeRule(second, ACTION_DENY, ACTION_PASS);
}

TEST_F(QueryConsole, AKilledClientsClosedRecordIsLeftAloneAndItsAnswerStillMakesTheRule)
{
    StartConsole();
    const std::string client = Client("Killed");
    HANDLE process = StartProgram(client, SendLine());
    ASSERT_NE(nullptr, process);
    const bool asked = AwaitPopups(1);
    TerminateProcess(process, 9);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
    ASSERT_TRUE(asked);
    HWND popup = Popups()[0];
    // The poller has the provider close the records of ended processes.
    ASSERT_TRUE(PumpUntil([&] { return OnlyClosedRecords(client); }, 15000));
    Answer(popup, true, ACTION_DENY);
    PumpFor(1500);
    EXPECT_TRUE(OnlyClosedRecords(client)) << "the answer released no record";
    ExpectMadeRule(client, ACTION_DENY, ACTION_PASS);
}

TEST_F(QueryConsole, AConsoleThatExitsLetsTheWaitingConnectPassWithoutARule)
{
    StartConsole();
    const std::string client = Client("Exiting");
    CClientRun run(SendLine(), client);
    ASSERT_NE(nullptr, AwaitPopup(run)) << run.Output();
    PostMessageA(m_main, WM_CONSOLE_EXIT, 0, 0);
    EXPECT_EQ(0u, m_console->WaitForExit());
    ExpectDelivered(run);
    EXPECT_EQ(0u, StoredRule(client).ID);
}

TEST_F(QueryConsole, AKilledConsoleRefusesTheWaitingConnectAndTheNextStartAsksAnew)
{
    StartConsole();
    const std::string client = Client("Orphaned");
    {
        CClientRun run(SendLine(), client);
        ASSERT_NE(nullptr, AwaitPopup(run)) << run.Output();
        m_console->Kill();
        const DWORD killed = GetTickCount();
        ExpectRefused(run);
        EXPECT_LT(GetTickCount() - killed, 15000u) << "refused within seconds";
    }
    EXPECT_EQ(0u, StoredRule(client).ID);

    StartConsole();
    CClientRun run(SendLine(), client);
    HWND popup = AwaitPopup(run);
    ASSERT_NE(nullptr, popup) << run.Output();
    EXPECT_EQ(Text("LB_TITLE_NEW"), TextOf(popup, IDC_QUERY_TITLE));
    Answer(popup, true, ACTION_PASS);
    ExpectDelivered(run);
    ExpectMadeRule(client, ACTION_PASS, ACTION_PASS);
}

TEST_F(QueryConsoleShortWait, AnUnansweredConnectIsRefusedAtTheLimitAndALaterAnswerOnlyMakesTheRule)
{
    StartConsole();
    const std::string client = Client("Unanswered");
    CClientRun run(SendLine(), client);
    HWND popup = AwaitPopup(run);
    ASSERT_NE(nullptr, popup) << run.Output();
    ASSERT_TRUE(PumpUntil([&] { return run.Ended(); }, kAskMs)) << "refused at the limit";
    ExpectRefused(run);
    EXPECT_TRUE(IsWindow(popup)) << "the pop-up stays";
    ASSERT_TRUE(PumpUntil([&] { return OnlyClosedRecords(client); }, 15000));
    Answer(popup, true, ACTION_PASS);
    PumpFor(1500);
    EXPECT_TRUE(OnlyClosedRecords(client)) << "the answer released no record";
    ExpectMadeRule(client, ACTION_PASS, ACTION_PASS);
    RunUnasked(client, ACTION_PASS);
}
