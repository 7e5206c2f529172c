// The query pop-up over the program page, a real connection table in shared
// memory, a ring of driver questions and real rule databases: which posted
// questions open a pop-up, where it stands and what it says, its fade, and
// what each answer writes into the store, the image, the record and the
// page's messages.
#include "ProgramPageFixture.h"
#include "SharedSessionTable.h"

#include <ConsoleMessages.h>
#include <FirewallTypes.h>
#include <ProgramQueryDialog.h>
#include <SessionRecord.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

SessionRecord *g_sessions;
DriverQueueRecord g_ring[DRIVER_RING_ENTRIES];

const QuestionSources kTestSources = {
    [] { return g_sessions; },
    []() -> DWORD { return SESSION_RECORD_COUNT; },
    [](int index) -> const DriverQueueRecord * {
        return index >= 0 && index < static_cast<int>(DRIVER_RING_ENTRIES) ? &g_ring[index] : nullptr;
    },
};

// The messages sent to the page: what the pop-up tells it.
struct SentToPage {
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;
};
HWND g_watchedPage;
std::vector<SentToPage> g_sent;

LRESULT CALLBACK WatchSent(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *call = reinterpret_cast<const CWPSTRUCT *>(lParam);
    if (code == HC_ACTION && call->hwnd == g_watchedPage &&
        (call->message == WM_PROGRAM_ACTIVE || call->message == WM_PROGRAM_LIST_CHANGED))
        g_sent.push_back({call->message, call->wParam, call->lParam});
    return CallNextHookEx(NULL, code, wParam, lParam);
}

BOOL CALLBACK CollectPopup(HWND window, LPARAM found)
{
    if (IsWindowVisible(window) && GetDlgItem(window, IDC_QUERY_ALLOW) && GetDlgItem(window, IDC_QUERY_DENY))
        reinterpret_cast<std::vector<HWND> *>(found)->push_back(window);
    return TRUE;
}

RECT WorkArea()
{
    RECT work = {};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

} // namespace

class ProgramQuery : public ProgramPage
{
protected:
    void SetUp() override
    {
        ProgramPage::SetUp();
        g_sessions = m_table.Records();
        memset(g_ring, 0, sizeof g_ring);
        g_sent.clear();
        m_hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchSent, NULL, GetCurrentThreadId());
    }
    void TearDown() override
    {
        for (HWND popup : Popups())
            DestroyWindow(popup);
        UnhookWindowsHookEx(m_hook);
        g_watchedPage = NULL;
        ProgramPage::TearDown();
    }

    void Open()
    {
        OpenPage();
        m_page->SetQuestionSources(kTestSources);
        g_watchedPage = m_page->m_hWnd;
    }

    // A question of this process's socket at a record.
    SessionRecord &Asking(int index, const char *path, BYTE zone = ZONE_INTERNET, BYTE direction = DIR_OUTBOUND)
    {
        SessionRecord &r = g_sessions[index];
        memset(&r, 0, sizeof r);
        r.Index = index;
        r.ProcessId = GetCurrentProcessId();
        r.Socket = 0x100 + index;
        r.Zone = zone;
        r.Direction = direction;
        r.Protocol = PROTO_TCP;
        r.Verdict = ACTION_DENY;
        r.RemoteIp = 0x7F000001;
        r.LocalIp = 0x7F000001;
        r.RemotePort = 8080;
        r.LocalPort = 49200;
        strcpy(r.Path, path);
        r.State = SESSION_ASKING;
        return r;
    }

    void Post(WPARAM kind, LPARAM index)
    {
        m_page->SendMessage(WM_SESSION_QUERY, kind, index);
        PumpFor(50);
    }

    static std::vector<HWND> Popups()
    {
        std::vector<HWND> found;
        EnumThreadWindows(GetCurrentThreadId(), CollectPopup, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    static std::string TextOf(HWND popup, UINT id)
    {
        char text[300] = "";
        GetDlgItemTextA(popup, id, text, sizeof text);
        return text;
    }

    std::string Language(const char *key) const { return LanguageText("DLG_PROGRAM_QUERY", key); }

    // Answers the one open pop-up as a person does.
    void Answer(HWND popup, bool remember, BYTE verdict)
    {
        BringToFront(popup);
        if (remember)
            ClickControl(GetDlgItem(popup, IDC_QUERY_REMEMBER));
        PumpFor(50);
        ClickControl(GetDlgItem(popup, verdict == ACTION_PASS ? IDC_QUERY_ALLOW : IDC_QUERY_DENY));
        PumpUntil([popup] { return !IsWindow(popup); }, 3000);
    }

    RuleRecord StoredRule(const char *path)
    {
        CProgramsRuleLib store;
        EXPECT_TRUE(store.Open(RulesPath().c_str()));
        std::vector<RuleRecord> rules;
        store.LoadRules(rules);
        for (const RuleRecord &rule : rules)
            if (rule.Path == path)
                return rule;
        return RuleRecord();
    }

    CSharedTable m_table;
    HHOOK m_hook = NULL;
};

TEST_F(ProgramQuery, OnlyAnAskingRecordOpensAPopUpAndABadIndexIsIgnored)
{
    Open();
    struct Case {
        BYTE State;
        int Popups;
        BYTE StateAfter, VerdictAfter;
    } cases[] = {
        {151, 1, 101, ACTION_DENY}, // shown; the verdict waits for the answer
        {152, 0, 0, ACTION_PASS},   // not the provider's: released with pass
        {200, 0, 0, ACTION_PASS},
        {101, 0, 101, ACTION_DENY}, // already on screen
        {10, 0, 10, ACTION_DENY},   // closed
        {0, 0, 0, ACTION_DENY},     // answered or free
    };
    int index = 3;
    for (const Case &c : cases) {
        SessionRecord &r = Asking(index, "C:\\Apps\\states.exe");
        r.State = c.State;
        Post(0, index);
        EXPECT_EQ(c.Popups, static_cast<int>(Popups().size())) << "State " << int(c.State);
        EXPECT_EQ(c.StateAfter, r.State) << "State " << int(c.State);
        EXPECT_EQ(c.VerdictAfter, r.Verdict) << "State " << int(c.State);
        for (HWND popup : Popups())
            DestroyWindow(popup);
        ++index;
    }

    Asking(0, "C:\\Apps\\second.exe");
    Post(0, 0);
    Post(0, 0); // a repeated post while the question is shown
    EXPECT_EQ(1u, Popups().size());
    EXPECT_EQ(SESSION_SHOWN, g_sessions[0].State);

    std::vector<BYTE> before(reinterpret_cast<BYTE *>(g_sessions),
                             reinterpret_cast<BYTE *>(g_sessions) + SESSION_TABLE_SIZE);
    for (LPARAM bad : {LPARAM(-1), LPARAM(1024), LPARAM(5000)}) {
        Post(0, bad);
        Post(3, bad);
    }
    EXPECT_EQ(1u, Popups().size());
    EXPECT_EQ(0, memcmp(before.data(), g_sessions, SESSION_TABLE_SIZE));
    Post(7, 0); // another kind
    EXPECT_EQ(1u, Popups().size());
}

TEST_F(ProgramQuery, StandsAtTheCornerAsABalloonAndSaysWhoAsks)
{
    Open();
    Asking(1, "C:\\Apps\\wsclient.exe");
    Post(0, 1);
    ASSERT_EQ(1u, Popups().size());
    HWND popup = Popups()[0];
    const RECT work = WorkArea();
    RECT rect;
    GetWindowRect(popup, &rect);
    EXPECT_EQ(work.right - 283, rect.left);
    EXPECT_EQ(work.bottom - 314, rect.top);
    EXPECT_EQ(282, rect.right - rect.left);
    EXPECT_EQ(314, rect.bottom - rect.top);
    EXPECT_TRUE(GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_TOPMOST);

    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(ERROR, GetWindowRgn(popup, region));
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << "a rounded corner";
    EXPECT_TRUE(PtInRegion(region, 4, 4));
    EXPECT_TRUE(PtInRegion(region, 140, 150));
    EXPECT_TRUE(PtInRegion(region, 143, 305)) << "the tail";
    EXPECT_FALSE(PtInRegion(region, 20, 305)) << "beside the tail";
    DeleteObject(region);

    EXPECT_EQ(Language("LB_TITLE_NEW"), TextOf(popup, IDC_QUERY_TITLE));
    EXPECT_EQ("wsclient.exe", TextOf(popup, IDC_QUERY_FILE));
    EXPECT_EQ("127.0.0.1", TextOf(popup, IDC_QUERY_IP));
    EXPECT_EQ("TCP [8080]", TextOf(popup, IDC_QUERY_PORT));
    EXPECT_EQ(Language("LB_MoreInfor_New"), TextOf(popup, IDC_QUERY_MORE));
    EXPECT_EQ(Language("LB_Check_Remember"), TextOf(popup, IDC_QUERY_REMEMBER));
    for (int tick = 0; tick < 17; ++tick)
        SendMessage(popup, WM_TIMER, QUERY_TIMER_FADE, 0);
    PumpFor(100);
    SaveTestScreen(NULL, "new");
    SaveTestScreen(popup, "new-window");

    // Enter and Esc leave it open; only the answers close it.
    SendMessage(popup, WM_COMMAND, IDOK, 0);
    SendMessage(popup, WM_COMMAND, IDCANCEL, 0);
    BringToFront(popup);
    PressKey(VK_ESCAPE);
    PressKey(VK_RETURN);
    PumpFor(100);
    EXPECT_TRUE(IsWindow(popup));
    EXPECT_EQ(SESSION_SHOWN, g_sessions[1].State);
}

TEST_F(ProgramQuery, TextsFollowTheDirectionTheRuleAndTheZone)
{
    const DWORD ruleId = StoreRule("C:\\Apps\\known.exe", ACTION_QUERY, ACTION_QUERY, ACTION_DENY, 0);
    Open();
    const std::string inet = Language("LB_INET"), tnet = Language("LB_TNET");
    struct Case {
        BYTE Direction;
        BYTE Zone;
        bool Known;
        std::string Info;
        const char *Screen;
    } cases[] = {
        {DIR_INBOUND, ZONE_INTERNET, false, "known asks to accept a connection on local port 49200.", nullptr},
        {DIR_OUTBOUND, ZONE_INTERNET, true, "known asks to connect to the " + inet + ".", "repeat"},
        {DIR_BROADCAST, ZONE_TRUSTED, true, "known asks to connect to the " + tnet + ".", "trusted"},
        {DIR_LISTEN, ZONE_INTERNET, false, "known asks to listen for connections.", "listening"},
        {7, ZONE_INTERNET, false, "", nullptr},
    };
    int index = 10;
    for (const Case &c : cases) {
        SessionRecord &r = Asking(index, "C:\\Apps\\known.exe", c.Zone, c.Direction);
        r.RuleId = c.Known ? ruleId : 0;
        Post(0, index);
        ASSERT_EQ(1u, Popups().size());
        HWND popup = Popups()[0];
        EXPECT_EQ(c.Info, TextOf(popup, IDC_QUERY_INFO)) << int(c.Direction);
        EXPECT_EQ(Language(c.Known ? "LB_TITLE_REPEAT" : "LB_TITLE_NEW"), TextOf(popup, IDC_QUERY_TITLE));
        if (c.Known) {
            EXPECT_EQ("The program's rule asks each time it reaches the " +
                          (c.Zone == ZONE_TRUSTED ? tnet : inet) + ".",
                      TextOf(popup, IDC_QUERY_MORE));
        }
        const bool listen = c.Direction == DIR_LISTEN;
        EXPECT_EQ(!listen, IsWindowVisible(GetDlgItem(popup, IDC_QUERY_IP)) != FALSE);
        EXPECT_EQ(!listen, IsWindowVisible(GetDlgItem(popup, IDC_QUERY_IP_LABEL)) != FALSE);
        EXPECT_EQ(listen ? "49200" : "TCP [8080]", TextOf(popup, IDC_QUERY_PORT));
        EXPECT_EQ(Language(listen ? "LB_Local_Port" : "LB_Dest_Port"), TextOf(popup, IDC_QUERY_PORT_LABEL));
        RECT port, link;
        GetWindowRect(GetDlgItem(popup, IDC_QUERY_PORT), &port);
        GetWindowRect(GetDlgItem(popup, IDC_QUERY_VIEW), &link);
        MapWindowPoints(NULL, popup, reinterpret_cast<POINT *>(&port), 2);
        MapWindowPoints(NULL, popup, reinterpret_cast<POINT *>(&link), 2);
        EXPECT_EQ(listen ? 125 : 139, port.top);
        EXPECT_EQ(listen ? 139 : 153, link.top);
        if (c.Screen) {
            for (int tick = 0; tick < 17; ++tick)
                SendMessage(popup, WM_TIMER, QUERY_TIMER_FADE, 0);
            PumpFor(100);
            SaveTestScreen(popup, c.Screen);
        }
        DestroyWindow(popup);
        ++index;
    }
}

TEST_F(ProgramQuery, AProgramWhoseNameHoldsAnAmpersandIsShownWithIt)
{
    Open();
    Asking(4, "C:\\Apps\\R&D.exe");
    Post(0, 4);
    ASSERT_EQ(1u, Popups().size());
    HWND popup = Popups()[0];
    for (int tick = 0; tick < 17; ++tick)
        SendMessage(popup, WM_TIMER, QUERY_TIMER_FADE, 0);
    PumpFor(100);
    SaveTestScreen(popup, "ampersand");

    HWND file = GetDlgItem(popup, IDC_QUERY_FILE);
    EXPECT_EQ("R&D.exe", TextOf(popup, IDC_QUERY_FILE));
    RECT client;
    GetClientRect(file, &client);
    const SIZE size = {client.right, client.bottom};
    const HFONT font = reinterpret_cast<HFONT>(SendMessageA(popup, WM_GETFONT, 0, 0));
    const UINT format = DT_END_ELLIPSIS | DT_RIGHT | DT_SINGLELINE;
    const COLORREF black = RGB(0, 0, 0), white = RGB(255, 255, 255);
    const int whole = DrawTextPicture("R&D.exe", font, format | DT_NOPREFIX, size, black, white).CountColour(black);
    ASSERT_NE(whole, DrawTextPicture("R&D.exe", font, format, size, black, white).CountColour(black))
        << "an underlined D looks otherwise";
    EXPECT_EQ(whole, CaptureWindow(file).CountColour(black));
}

// The asking program is described from its file only when the record's
// path is a full path on this computer: the test's own file, named without
// its folder or through a share, is not read.
TEST_F(ProgramQuery, AProgramPathThatIsNotALocalFullPathIsNeverOpened)
{
    Open();
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    struct Case {
        std::string path;
        const char *info;
    } cases[] = {
        {self, "program_query_tests.exe asks to connect to the "},
        {"program_query_tests.exe", "program_query_tests asks to connect to the "},
        {"\\\\127.0.0.1\\share\\program_query_tests.exe", "program_query_tests asks to connect to the "},
    };
    int index = 20;
    for (const Case &c : cases) {
        Asking(index, c.path.c_str());
        Post(0, index);
        ASSERT_EQ(1u, Popups().size());
        HWND popup = Popups()[0];
        EXPECT_EQ(c.info + Language("LB_INET") + ".", TextOf(popup, IDC_QUERY_INFO)) << c.path;
        EXPECT_EQ("program_query_tests.exe", TextOf(popup, IDC_QUERY_FILE)) << c.path;
        DestroyWindow(popup);
        ++index;
    }
}

TEST_F(ProgramQuery, FadesInStepByStepOrShowsAtOnceWithoutLayering)
{
    Open();
    Asking(2, "C:\\Apps\\fade.exe");
    Post(0, 2);
    ASSERT_EQ(1u, Popups().size());
    HWND popup = Popups()[0];
    auto alpha = [popup] {
        BYTE value = 0;
        DWORD flags = 0;
        GetLayeredWindowAttributes(popup, NULL, &value, &flags);
        return int(value);
    };
    EXPECT_EQ(55, alpha());
    const int expected[] = {60, 66, 73, 81, 90, 100, 111, 123, 136, 150, 165, 181, 198, 216, 235, 255, 255};
    for (int want : expected) {
        SendMessage(popup, WM_TIMER, QUERY_TIMER_FADE, 0);
        EXPECT_EQ(want, alpha());
    }
    EXPECT_FALSE(KillTimer(popup, QUERY_TIMER_FADE)) << "the 17th tick ends the fade";

    Asking(3, "C:\\Apps\\plain.exe");
    g_sessions[3].State = SESSION_SHOWN;
    CProgramQueryDialog *plain = new CProgramQueryDialog(m_page, WM_PROGRAM_LIST_CHANGED, m_publisher,
                                                         m_assets.LanguageFile(), m_assets.SkinFile(""));
    plain->ForgetLayeredFunction();
    ASSERT_TRUE(plain->ShowForRecord(&g_sessions[3]));
    HWND plainWindow = plain->m_hWnd;
    PumpFor(50);
    EXPECT_FALSE(GetWindowLongA(plainWindow, GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(IsWindowVisible(plainWindow));
    DestroyWindow(plainWindow);
}

// {rule or not} x {remember or not} x {zone} x {answer}: the store, the
// image, the record and the page's messages.
TEST_F(ProgramQuery, EachAnswerWritesItsRuleRecordAndNotices)
{
    struct Case {
        bool HasRule;
        bool Remember;
        BYTE Zone;
        BYTE Verdict;
    };
    std::vector<Case> cases;
    for (bool rule : {false, true})
        for (bool remember : {false, true})
            for (BYTE zone : {BYTE(ZONE_INTERNET), BYTE(ZONE_TRUSTED)})
                for (BYTE verdict : {BYTE(ACTION_PASS), BYTE(ACTION_DENY)})
                    cases.push_back({rule, remember, zone, verdict});
    std::vector<std::string> paths;
    std::vector<DWORD> ruleIds;
    for (size_t i = 0; i < cases.size(); ++i) {
        paths.push_back("C:\\Apps\\answer" + std::to_string(i) + ".exe");
        ruleIds.push_back(cases[i].HasRule ? StoreRule(paths[i].c_str(), ACTION_QUERY, ACTION_QUERY, ACTION_PASS, 0)
                                           : 0);
    }
    Open();
    for (size_t i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE("case " + std::to_string(i));
        const int index = 100 + static_cast<int>(i);
        SessionRecord &r = Asking(index, paths[i].c_str(), c.Zone);
        r.RuleId = ruleIds[i];
        r.Verdict = 0xEE;
        Post(0, index);
        ASSERT_EQ(1u, Popups().size());
        g_sent.clear();
        Answer(Popups()[0], c.Remember, c.Verdict);

        const BYTE a = c.Remember ? c.Verdict : BYTE(ACTION_QUERY);
        const BYTE b = c.Zone == ZONE_INTERNET ? BYTE(ACTION_PASS) : a;
        const bool changed = !c.HasRule || c.Remember;
        const RuleRecord rule = StoredRule(paths[i].c_str());
        ASSERT_NE(0u, rule.ID);
        if (c.HasRule) {
            EXPECT_EQ(ruleIds[i], rule.ID);
        }
        EXPECT_EQ(changed ? a : BYTE(ACTION_QUERY), rule.InetAction);
        EXPECT_EQ(changed ? b : BYTE(ACTION_QUERY), rule.TnetAction);
        EXPECT_EQ(c.HasRule ? ACTION_PASS : ACTION_DENY, rule.EmailAction);
        EXPECT_EQ(c.HasRule ? 0 : 2, rule.LockKey) << "a new rule's lock key is stored as the image has it";
        bool inImage = false;
        for (const ProgramRule &entry : ProgramRules(*m_publisher))
            if (entry.ID == rule.ID) {
                inImage = true;
                EXPECT_EQ(rule.InetAction, entry.InetAction);
                EXPECT_EQ(rule.TnetAction, entry.TnetAction);
                if (!c.HasRule) {
                    EXPECT_EQ(2, entry.LockKey);
                }
            }
        EXPECT_TRUE(inImage);

        EXPECT_EQ(SESSION_OPEN, r.State);
        EXPECT_EQ(c.Verdict, r.Verdict);
        EXPECT_EQ(static_cast<LONG>(rule.ID), r.RuleId);

        ASSERT_EQ(changed ? 2u : 1u, g_sent.size());
        EXPECT_EQ(WM_PROGRAM_ACTIVE, g_sent[0].Message);
        EXPECT_EQ(rule.ID, g_sent[0].WParam);
        EXPECT_EQ(c.Verdict == ACTION_PASS ? 1 : 0, g_sent[0].LParam);
        if (changed) {
            EXPECT_EQ(WM_PROGRAM_LIST_CHANGED, g_sent[1].Message);
        }
    }
}

TEST_F(ProgramQuery, AnAnswerLeavesARecordThatIsNoLongerItsOwnAlone)
{
    Open();
    struct Case {
        const char *What;
        void (*Change)(SessionRecord &);
    } cases[] = {
        {"freed", [](SessionRecord &r) { r.Socket = 0; r.State = 0; }},
        {"another socket", [](SessionRecord &r) { r.Socket = 0x999; r.State = SESSION_ASKING; }},
        {"closed", [](SessionRecord &r) { r.State = SESSION_CLOSED; }},
    };
    int index = 200;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.What);
        const std::string path = std::string("C:\\Apps\\gone ") + c.What + ".exe";
        SessionRecord &r = Asking(index, path.c_str());
        Post(0, index);
        ASSERT_EQ(1u, Popups().size());
        c.Change(r);
        const SessionRecord before = r;
        Answer(Popups()[0], true, ACTION_DENY);
        EXPECT_EQ(0, memcmp(&before, &r, sizeof r));
        EXPECT_EQ(ACTION_DENY, StoredRule(path.c_str()).InetAction) << "the rule is still made";
        ++index;
    }
}

TEST_F(ProgramQuery, AFailingRuleStillReleasesTheSocket)
{
    StoreRule("C:\\Apps\\twice.exe", ACTION_PASS, ACTION_PASS, ACTION_DENY, 0);
    Open();
    SessionRecord &r = Asking(5, "C:\\Apps\\twice.exe"); // asked as new: the store refuses the path
    Post(0, 5);
    ASSERT_EQ(1u, Popups().size());
    Answer(Popups()[0], true, ACTION_DENY);
    EXPECT_EQ(SESSION_OPEN, r.State);
    EXPECT_EQ(ACTION_DENY, r.Verdict);
    EXPECT_EQ(0, r.RuleId);
}

TEST_F(ProgramQuery, StackedQuestionsEachReachTheirOwnRecord)
{
    Open();
    Asking(20, "C:\\Apps\\one.exe");
    Asking(21, "C:\\Apps\\two.exe");
    Asking(22, "C:\\Apps\\three.exe");
    for (int i : {20, 21, 22})
        Post(0, i);
    std::vector<HWND> popups = Popups();
    ASSERT_EQ(3u, popups.size());
    for (HWND popup : popups)
        for (int tick = 0; tick < 17; ++tick)
            SendMessage(popup, WM_TIMER, QUERY_TIMER_FADE, 0);
    PumpFor(100);
    SaveTestScreen(NULL, "stacked");
    // The topmost answers first; each answer goes to its own record.
    for (HWND popup : popups) {
        const std::string file = TextOf(popup, IDC_QUERY_FILE);
        const BYTE verdict = file == "two.exe" ? ACTION_DENY : ACTION_PASS;
        Answer(popup, true, verdict);
    }
    EXPECT_EQ(ACTION_PASS, g_sessions[20].Verdict);
    EXPECT_EQ(ACTION_DENY, g_sessions[21].Verdict);
    EXPECT_EQ(ACTION_PASS, g_sessions[22].Verdict);
    for (int i : {20, 21, 22})
        EXPECT_EQ(SESSION_OPEN, g_sessions[i].State);
    EXPECT_EQ(ACTION_DENY, StoredRule("C:\\Apps\\two.exe").InetAction);
    EXPECT_EQ(ACTION_PASS, StoredRule("C:\\Apps\\three.exe").InetAction);
}

TEST_F(ProgramQuery, ADriverQuestionIsAskedModallyOnceAndMakesARuleForItsImage)
{
    Open();
    DriverQueueRecord &q = g_ring[7];
    q.Kind = DRIVER_QUEUE_QUESTION;
    q.State = DRIVER_STATE_BIAS + 2;
    q.Zone = ZONE_INTERNET;
    q.TcpFlags = DRIVER_OUTBOUND;
    q.Protocol = PROTO_TCP;
    q.Time = 1234567;
    q.LocalIp = 0x7F000001;
    q.RemoteIp = 0x0A000002;
    q.LocalPort = 1500;
    q.RemotePort = 443;
    memcpy(q.ImageName, "abcdefghijklmnopq", 16); // a full name without its NUL
    g_ring[8] = q; // the same ports again: one question
    g_ring[9] = q;
    memset(g_ring[9].ImageName, 0, 16);
    g_ring[9].LocalPort = 1501;

    HWND owner = m_host.Handle();
    bool ownerDisabled = false;
    int nested = 0;
    std::string file, remote, port;
    m_boxes.RunInNextDialog([&](HWND popup) {
        ownerDisabled = !IsWindowEnabled(owner);
        file = TextOf(popup, IDC_QUERY_FILE);
        remote = TextOf(popup, IDC_QUERY_IP);
        port = TextOf(popup, IDC_QUERY_PORT);
        PostMessage(m_page->m_hWnd, WM_SESSION_QUERY, 3, 8);
        PumpFor(200);
        nested = static_cast<int>(Popups().size());
        for (int tick = 0; tick < 17; ++tick)
            SendMessage(popup, WM_TIMER, QUERY_TIMER_FADE, 0);
        PumpFor(100);
        SaveTestScreen(NULL, "driver");
        Answer(popup, true, ACTION_PASS);
    });
    Post(3, 7);
    PumpUntil([&] { return m_boxes.Pending() == 0 && Popups().empty(); }, 5000);
    EXPECT_TRUE(ownerDisabled) << "modal over the main window";
    EXPECT_EQ(1, nested) << "the same ports open nothing more";
    EXPECT_EQ("abcdefghijklmnop", file);
    EXPECT_EQ("10.0.0.2", remote);
    EXPECT_EQ("TCP [443]", port);
    const RuleRecord rule = StoredRule("abcdefghijklmnop");
    EXPECT_EQ(ACTION_PASS, rule.InetAction);
    EXPECT_EQ(ACTION_PASS, rule.TnetAction);
    EXPECT_FALSE(m_page->FindPendingQueueKey(QuestionKey(q)));

    // The key is gone: the next push asks again; an empty name is "*".
    m_boxes.RunInNextDialog([&](HWND popup) { Answer(popup, true, ACTION_DENY); });
    Post(3, 9);
    PumpUntil([&] { return m_boxes.Pending() == 0; }, 5000);
    EXPECT_EQ(ACTION_DENY, StoredRule("*").InetAction);
}
