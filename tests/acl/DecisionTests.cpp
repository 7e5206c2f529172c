// The provider's decision over a rule image that a console child built in a
// driver block, mapped here at another address.
#include "DecisionHarness.h"
#include <Address32.h>

namespace {

DWORD Ip(int a, int b, int c, int d)
{
    return DWORD(a) << 24 | DWORD(b) << 16 | DWORD(c) << 8 | DWORD(d);
}

const DWORD kInternet = Ip(8, 8, 8, 8);
const DWORD kTrusted = Ip(192, 168, 1, 20);
const int kNoAsk = -1;

struct EvaluateCase {
    const char *what;
    BYTE mode;
    const char *path;
    DWORD remoteIp;
    BYTE direction;
    BYTE protocol;
    int answer; // the console's answer, or kNoAsk when no question may come
    RuleAction result;
    BYTE decided;
    BYTE byRule;
    BYTE zone;
    LONG ruleId;
    DWORD startTime; // 0: Monday 10:00 local
};

const EvaluateCase kEvaluateCases[] = {
    {"work mode 0 passes undecided", WORK_MODE_OFF, "C:\\Apps\\Denied.exe", kInternet,
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 0, 0, 0, 0, 0},
    {"a socket not yet used passes undecided", WORK_MODE_NORMAL, "C:\\Apps\\Denied.exe", kInternet,
     DIR_UNKNOWN, PROTO_TCP, kNoAsk, ACTION_PASS, 0, 0, 0, 0, 0},
    {"a rule that passes", WORK_MODE_NORMAL, "C:\\Apps\\Open.exe", kInternet, DIR_OUTBOUND,
     PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_INTERNET, 100, 0},
    {"rule paths match without regard to case", WORK_MODE_NORMAL, "c:\\apps\\OPEN.EXE", kInternet,
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_INTERNET, 100, 0},
    {"a rule that denies", WORK_MODE_NORMAL, "C:\\Apps\\Denied.exe", kInternet, DIR_OUTBOUND,
     PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1, ZONE_INTERNET, 102, 0},
    {"a blocked address, even for a rule that passes everything", WORK_MODE_NORMAL,
     "C:\\Apps\\Open.exe", Ip(10, 0, 0, 66), DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1,
     ZONE_BLOCKED, 0, 0},
    {"a blocked address in work mode 2", WORK_MODE_LOCKED, "C:\\Apps\\Open.exe", Ip(10, 0, 0, 66),
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1, ZONE_BLOCKED, 0, 0},
    {"the upper end of a blocked range", WORK_MODE_NORMAL, "C:\\Apps\\Open.exe",
     Ip(10, 1, 0, 255), DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1, ZONE_BLOCKED, 0, 0},
    {"just past a blocked range", WORK_MODE_NORMAL, "C:\\Apps\\Open.exe", Ip(10, 1, 1, 0),
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_INTERNET, 100, 0},
    {"a blocked subnet", WORK_MODE_NORMAL, "C:\\Apps\\Open.exe", Ip(10, 2, 200, 1), DIR_OUTBOUND,
     PROTO_UDP, kNoAsk, ACTION_DENY, 1, 1, ZONE_BLOCKED, 0, 0},
    {"an entry of an unknown type matches nothing", WORK_MODE_NORMAL, "C:\\Apps\\Open.exe",
     Ip(10, 9, 9, 9), DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_INTERNET, 100, 0},
    {"a trusted peer: ports and schedule are not consulted", WORK_MODE_NORMAL,
     "C:\\Apps\\Trusted.exe", kTrusted, DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1,
     ZONE_TRUSTED, 107, 0},
    {"the same program on the internet", WORK_MODE_NORMAL, "C:\\Apps\\Trusted.exe", kInternet,
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1, ZONE_INTERNET, 107, 0},
    {"a trusted range", WORK_MODE_NORMAL, "C:\\Apps\\Trusted.exe", Ip(192, 168, 50, 1),
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_TRUSTED, 107, 0},
    {"a trusted host name by its resolved address", WORK_MODE_NORMAL, "C:\\Apps\\Trusted.exe",
     Ip(172, 16, 0, 9), DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_TRUSTED, 107, 0},
    {"a host entry without a name trusts no address", WORK_MODE_NORMAL, "C:\\Apps\\Trusted.exe",
     Ip(172, 16, 0, 10), DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1, ZONE_INTERNET, 107, 0},
    {"no rule: the console is asked and denies", WORK_MODE_NORMAL, "C:\\Apps\\Unknown.exe",
     kInternet, DIR_OUTBOUND, PROTO_TCP, ACTION_DENY, ACTION_DENY, 1, 0, ZONE_INTERNET, 0, 0},
    {"no rule: the console is asked and passes", WORK_MODE_NORMAL, "C:\\Apps\\Unknown.exe",
     kInternet, DIR_INBOUND, PROTO_TCP, ACTION_PASS, ACTION_PASS, 1, 0, ZONE_INTERNET, 0, 0},
    {"a rule that asks", WORK_MODE_NORMAL, "C:\\Apps\\Ask.exe", kTrusted, DIR_OUTBOUND, PROTO_TCP,
     ACTION_PASS, ACTION_PASS, 1, 0, ZONE_TRUSTED, 103, 0},
    {"no rule in work mode 2: refused without asking", WORK_MODE_LOCKED, "C:\\Apps\\Unknown.exe",
     kInternet, DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1, ZONE_INTERNET, 0, 0},
    {"a lock key refuses in work mode 2", WORK_MODE_LOCKED, "C:\\Apps\\Locked.exe", kInternet,
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1, ZONE_INTERNET, 101, 0},
    {"a lock key counts for trusted peers in work mode 2", WORK_MODE_LOCKED,
     "C:\\Apps\\Locked.exe", kTrusted, DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1,
     ZONE_TRUSTED, 101, 0},
    {"a lock key is not consulted in work mode 1", WORK_MODE_NORMAL, "C:\\Apps\\Locked.exe",
     kInternet, DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_INTERNET, 101, 0},
    {"work mode 2 passes a clear rule", WORK_MODE_LOCKED, "C:\\Apps\\Open.exe", kInternet,
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_INTERNET, 100, 0},
    {"work mode 2 passes a clear rule for a trusted peer", WORK_MODE_LOCKED, "C:\\Apps\\Open.exe",
     kTrusted, DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_TRUSTED, 100, 0},
    {"work mode 2 refuses a rule that asks", WORK_MODE_LOCKED, "C:\\Apps\\Ask.exe", kInternet,
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1, ZONE_INTERNET, 103, 0},
    {"mail gets the mail action", WORK_MODE_NORMAL, "C:\\Apps\\Mail.exe", kInternet, DIR_OUTBOUND,
     PROTO_SMTP, kNoAsk, ACTION_DENY, 1, 1, ZONE_INTERNET, 104, 0},
    {"other traffic of that program does not", WORK_MODE_NORMAL, "C:\\Apps\\Mail.exe", kInternet,
     DIR_OUTBOUND, PROTO_HTTP, kNoAsk, ACTION_PASS, 1, 1, ZONE_INTERNET, 104, 0},
    {"a mail action that asks, even in work mode 2", WORK_MODE_LOCKED, "C:\\Apps\\MailAsk.exe",
     kInternet, DIR_OUTBOUND, PROTO_SMTP, ACTION_DENY, ACTION_DENY, 1, 0, ZONE_INTERNET, 105, 0},
    {"inside the program's schedule", WORK_MODE_NORMAL, "C:\\Apps\\Office.exe", kInternet,
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_PASS, 1, 1, ZONE_INTERNET, 108, 0},
    {"outside the program's schedule", WORK_MODE_NORMAL, "C:\\Apps\\Office.exe", kInternet,
     DIR_OUTBOUND, PROTO_TCP, kNoAsk, ACTION_DENY, 1, 1, ZONE_INTERNET, 108,
     LocalTime(6, 10, 0)},
};

TEST_F(CDecisionTest, DecidesByZoneRuleWorkModeAndSchedule)
{
    StartConsole(IMAGE_RULES);
    for (const EvaluateCase &c : kEvaluateCases) {
        StepSeam::Reset();
        m_area->Control.WorkMode = c.mode;
        SessionRecord &record = m_area->Record;
        record = NewRecord(c.path, c.remoteIp, c.direction, c.protocol);
        if (c.startTime)
            record.StartTime = c.startTime;
        if (c.answer != kNoAsk) {
            StepSeam::Asked = &record;
            StepSeam::AnswerAtStep = CAclMemory::ASK_STEPS_PER_CYCLE;
            StepSeam::Answer = BYTE(c.answer);
        }
        EXPECT_EQ(c.result, m_acl->Evaluate(record)) << c.what;
        EXPECT_EQ(c.decided, record.Decided) << c.what;
        EXPECT_EQ(c.zone, record.Zone) << c.what;
        EXPECT_EQ(c.ruleId, record.RuleId) << c.what;
        if (c.decided) {
            EXPECT_EQ(c.result, record.Verdict) << c.what;
            EXPECT_EQ(c.byRule, record.ByRule) << c.what;
        }
        if (c.answer == kNoAsk) {
            EXPECT_EQ(0, StepSeam::Steps) << c.what;
            EXPECT_NE(SESSION_ASKING, record.State) << c.what;
        } else {
            EXPECT_EQ(SESSION_OPEN, record.State) << c.what;
        }
        if (m_acl->Image().IsAttached()) {
            EXPECT_EQ(0, m_acl->Image().Header()->ReaderCount) << c.what;
        }
    }
    ASSERT_TRUE(m_acl->Image().IsAttached());
    // Every address of the image was rebased: the console's view lies elsewhere.
    EXPECT_NE(m_area->Control.AclConsoleView, AddressToDword(m_acl->Image().Header()));
    EXPECT_EQ(m_acl->Image().Header(), m_acl->Rebase(m_area->Control.AclConsoleView));
    EXPECT_EQ(nullptr, m_acl->Rebase(0));
}

TEST_F(CDecisionTest, ASocketIsDecidedOnce)
{
    StartConsole(IMAGE_RULES);
    SessionRecord &record = m_area->Record;
    record = NewRecord("C:\\Apps\\Open.exe", kInternet);
    ASSERT_EQ(ACTION_PASS, m_acl->Evaluate(record));
    // Its stored verdict stands, whatever the peer now is.
    record.Zone = ZONE_INTERNET;
    record.RemoteIp = Ip(10, 0, 0, 66);
    EXPECT_EQ(ACTION_PASS, m_acl->Evaluate(record));
    record.Verdict = ACTION_DENY;
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(record));
}

TEST_F(CDecisionTest, AHostNameLearntLaterIsCheckedOnceAgainstTheZones)
{
    StartConsole(IMAGE_RULES);
    struct Case {
        const char *detail;
        RuleAction result;
        BYTE zone;
    } cases[] = {
        {"www.bad.example", ACTION_DENY, ZONE_BLOCKED},
        {"intranet.example", ACTION_PASS, ZONE_TRUSTED},
        {"www.good.example", ACTION_PASS, ZONE_INTERNET},
    };
    for (const Case &c : cases) {
        SessionRecord &record = m_area->Record;
        record = NewRecord("C:\\Apps\\Open.exe", kInternet);
        ASSERT_EQ(ACTION_PASS, m_acl->Evaluate(record)) << c.detail;
        // The HTTP request's Host text, after the connect passed.
        lstrcpynA(record.Detail, c.detail, sizeof record.Detail);
        EXPECT_EQ(c.result, m_acl->Evaluate(record)) << c.detail;
        EXPECT_EQ(1, record.Decided) << c.detail;
        EXPECT_EQ(c.result, record.Verdict) << c.detail;
        EXPECT_EQ(c.zone, record.Zone) << c.detail;
        EXPECT_EQ(1, record.HostMatchDone) << c.detail;
    }
}

TEST_F(CDecisionTest, ClassifiesPeersByTheBlockedListFirst)
{
    StartConsole(IMAGE_RULES);
    struct Case {
        const char *what;
        DWORD ip;
        const char *detail;
        ZoneKind zone;
        BYTE hostMatchDone;
        const char *detailAfter;
    } cases[] = {
        {"blocked address", Ip(10, 0, 0, 66), "", ZONE_BLOCKED, 0, ""},
        {"blocked host in the detail text", Ip(1, 2, 3, 4), "www.bad.example", ZONE_BLOCKED, 1,
         "www.bad.example"},
        {"host names match with case", Ip(1, 2, 3, 4), "WWW.BAD.EXAMPLE", ZONE_INTERNET, 1,
         "WWW.BAD.EXAMPLE"},
        {"a blocked host entry without a name blocks nothing", Ip(1, 2, 3, 4), "www.example.com",
         ZONE_INTERNET, 1, "www.example.com"},
        {"trusted host in the detail text", Ip(1, 2, 3, 4), "files.intranet.example", ZONE_TRUSTED,
         1, "files.intranet.example"},
        {"trusted host by its resolved address", Ip(172, 16, 0, 9), "", ZONE_TRUSTED, 1,
         "intranet.example"},
        {"trusted subnet", Ip(192, 168, 1, 255), "", ZONE_TRUSTED, 0, ""},
        {"trusted address", Ip(192, 168, 2, 7), "", ZONE_TRUSTED, 0, ""},
        {"a listening socket has no peer", 0, "", ZONE_INTERNET, 0, ""},
    };
    for (const Case &c : cases) {
        SessionRecord record = NewRecord("C:\\Apps\\Open.exe", c.ip);
        lstrcpynA(record.Detail, c.detail, sizeof record.Detail);
        BOOL read = FALSE;
        EXPECT_EQ(c.zone, m_acl->ClassifyZone(record, &read)) << c.what;
        EXPECT_TRUE(read) << c.what;
        EXPECT_EQ(c.hostMatchDone, record.HostMatchDone) << c.what;
        EXPECT_STREQ(c.detailAfter, record.Detail) << c.what;
    }
}

struct PortCase {
    const char *what;
    BYTE protocol;
    BYTE direction;
    WORD port;
    BYTE tcpAccess, tcpServer, udpAccess, udpServer;
    BYTE portType;
    WORD ports[4];
    BYTE advAction;
    RuleAction result;
};

const PortCase kPortCases[] = {
    {"TCP client without a port list", PROTO_TCP, DIR_OUTBOUND, 80, 1, 0, 0, 0, PORT_TYPE_NONE,
     {}, ACTION_DENY, ACTION_PASS},
    {"TCP client switch off", PROTO_TCP, DIR_OUTBOUND, 80, 0, 1, 1, 1, PORT_TYPE_NONE, {},
     ACTION_DENY, ACTION_DENY},
    {"a refusal becomes the advanced action: pass", PROTO_TCP, DIR_OUTBOUND, 80, 0, 1, 1, 1,
     PORT_TYPE_NONE, {}, ACTION_PASS, ACTION_PASS},
    {"a refusal becomes the advanced action: ask", PROTO_TCP, DIR_OUTBOUND, 80, 0, 1, 1, 1,
     PORT_TYPE_NONE, {}, ACTION_QUERY, ACTION_QUERY},
    {"the refined TCP kinds follow the TCP switches", PROTO_HTTP, DIR_OUTBOUND, 80, 0, 1, 1, 1,
     PORT_TYPE_NONE, {}, ACTION_DENY, ACTION_DENY},
    {"TCP server switch off", PROTO_TCP, DIR_INBOUND, 80, 1, 0, 1, 1, PORT_TYPE_NONE, {},
     ACTION_DENY, ACTION_DENY},
    {"TCP server switch on", PROTO_FTP, DIR_INBOUND, 21, 0, 1, 0, 0, PORT_TYPE_NONE, {},
     ACTION_DENY, ACTION_PASS},
    {"a listening socket is the server side", PROTO_TCP, DIR_LISTEN, 0, 1, 0, 1, 1,
     PORT_TYPE_NONE, {}, ACTION_DENY, ACTION_DENY},
    {"the lowest port of a range", PROTO_TCP, DIR_OUTBOUND, 1000, 1, 0, 0, 0, PORT_TYPE_RANGE,
     {1000, 2000}, ACTION_DENY, ACTION_PASS},
    {"the highest port of a range", PROTO_TCP, DIR_OUTBOUND, 2000, 1, 0, 0, 0, PORT_TYPE_RANGE,
     {1000, 2000}, ACTION_DENY, ACTION_PASS},
    {"below a range", PROTO_TCP, DIR_OUTBOUND, 999, 1, 0, 0, 0, PORT_TYPE_RANGE, {1000, 2000},
     ACTION_DENY, ACTION_DENY},
    {"above a range", PROTO_TCP, DIR_OUTBOUND, 2001, 1, 0, 0, 0, PORT_TYPE_RANGE, {1000, 2000},
     ACTION_DENY, ACTION_DENY},
    {"a port of the list", PROTO_TCP, DIR_OUTBOUND, 443, 1, 0, 0, 0, PORT_TYPE_LIST,
     {80, 443, 0, 8080}, ACTION_DENY, ACTION_PASS},
    {"a port after the list's end", PROTO_TCP, DIR_OUTBOUND, 8080, 1, 0, 0, 0, PORT_TYPE_LIST,
     {80, 443, 0, 8080}, ACTION_DENY, ACTION_DENY},
    {"a port not in the list", PROTO_TCP, DIR_OUTBOUND, 21, 1, 0, 0, 0, PORT_TYPE_LIST,
     {80, 443, 0, 8080}, ACTION_DENY, ACTION_DENY},
    {"a port list of an unknown type", PROTO_TCP, DIR_OUTBOUND, 80, 1, 0, 0, 0, 3, {80},
     ACTION_DENY, ACTION_DENY},
    {"UDP ignores the port list", PROTO_UDP, DIR_OUTBOUND, 53, 0, 0, 1, 0, PORT_TYPE_LIST, {80},
     ACTION_DENY, ACTION_PASS},
    {"UDP client switch off", PROTO_UDP, DIR_OUTBOUND, 53, 1, 1, 0, 1, PORT_TYPE_NONE, {},
     ACTION_DENY, ACTION_DENY},
    {"UDP server switch off", PROTO_UDP, DIR_LISTEN, 53, 1, 1, 1, 0, PORT_TYPE_NONE, {},
     ACTION_DENY, ACTION_DENY},
    {"UDP server switch on", PROTO_UDP, DIR_INBOUND, 53, 0, 0, 0, 1, PORT_TYPE_NONE, {},
     ACTION_DENY, ACTION_PASS},
    {"a broadcast is the client side", PROTO_UDP, DIR_BROADCAST, 67, 0, 0, 1, 0, PORT_TYPE_NONE,
     {}, ACTION_DENY, ACTION_PASS},
    // Right after a pass: a raw socket gets no pass from the socket before.
    {"a raw socket ends at the advanced action", PROTO_OTHER, DIR_OUTBOUND, 0, 1, 1, 1, 1,
     PORT_TYPE_NONE, {}, ACTION_DENY, ACTION_DENY},
    {"a raw socket whose advanced action passes", PROTO_OTHER, DIR_OUTBOUND, 0, 1, 1, 1, 1,
     PORT_TYPE_NONE, {}, ACTION_PASS, ACTION_PASS},
};

TEST_F(CDecisionTest, AppliesPortsAndProtocolSwitches)
{
    for (const PortCase &c : kPortCases) {
        ProgramRule rule = {};
        rule.TcpAccess[ACL_INET] = c.tcpAccess;
        rule.TcpServer[ACL_INET] = c.tcpServer;
        rule.UdpAccess[ACL_INET] = c.udpAccess;
        rule.UdpServer[ACL_INET] = c.udpServer;
        rule.PortType[ACL_INET] = c.portType;
        for (int i = 0; i < 4; ++i)
            rule.PortList[ACL_INET][i] = c.ports[i];
        rule.AdvAction[ACL_INET] = c.advAction;
        // The trusted half would pass everything: it is not the one consulted.
        rule.TcpAccess[ACL_TNET] = rule.TcpServer[ACL_TNET] = 1;
        rule.UdpAccess[ACL_TNET] = rule.UdpServer[ACL_TNET] = 1;
        SessionRecord record = NewRecord("C:\\Apps\\Any.exe", kInternet, c.direction, c.protocol,
                                         c.port);
        record.Zone = ZONE_INTERNET;
        EXPECT_EQ(c.result, m_acl->CheckPortRules(record, rule)) << c.what;
    }
}

struct TimeCase {
    const char *what;
    DWORD id;
    DWORD startTime;
    BOOL allowed;
};

const TimeCase kTimeCases[] = {
    {"office hours begin", TIME_OFFICE, LocalTime(1, 8, 30, 0), TRUE},
    {"before office hours", TIME_OFFICE, LocalTime(1, 8, 29, 59), FALSE},
    {"office hours end", TIME_OFFICE, LocalTime(5, 17, 0, 0), TRUE},
    {"after office hours", TIME_OFFICE, LocalTime(5, 17, 0, 1), FALSE},
    {"a weekday", TIME_OFFICE, LocalTime(3, 12, 0), TRUE},
    {"Saturday", TIME_OFFICE, LocalTime(6, 12, 0), FALSE},
    {"Sunday", TIME_OFFICE, LocalTime(0, 12, 0), FALSE},
    {"late in a night schedule", TIME_NIGHT, LocalTime(2, 23, 30), TRUE},
    {"early in a night schedule", TIME_NIGHT, LocalTime(2, 5, 0), TRUE},
    {"noon, outside a night schedule", TIME_NIGHT, LocalTime(2, 12, 0), FALSE},
    {"a night schedule's start", TIME_NIGHT, LocalTime(2, 22, 0), TRUE},
    {"a night schedule's end", TIME_NIGHT, LocalTime(2, 6, 0, 0), TRUE},
    {"just after a night schedule", TIME_NIGHT, LocalTime(2, 6, 0, 1), FALSE},
    {"start equal to end: the whole day", TIME_SUNDAY, LocalTime(0, 0, 0), TRUE},
    {"start equal to end: its last second", TIME_SUNDAY, LocalTime(0, 23, 59, 59), TRUE},
    {"start equal to end: an unmarked day", TIME_SUNDAY, LocalTime(1, 12, 0), FALSE},
    {"ID 0 never restricts", 0, LocalTime(6, 3, 0), TRUE},
    {"an ID above 7 never restricts", 8, LocalTime(6, 3, 0), TRUE},
    {"an ID that is no schedule", TIME_ABSENT, LocalTime(1, 12, 0), FALSE},
    {"the lookup ends at the schedules' terminator", TIME_ZONE_ID, LocalTime(1, 12, 0), FALSE},
};

TEST_F(CDecisionTest, AppliesSchedulesByWeekDayAndSecondOfTheDay)
{
    StartConsole(IMAGE_RULES);
    ASSERT_TRUE(m_acl->BeginRead());
    for (const TimeCase &c : kTimeCases)
        EXPECT_EQ(c.allowed, m_acl->CheckTimeRule(c.id, c.startTime)) << c.what;
    m_acl->EndRead();
}

TEST_F(CDecisionTest, TheConsoleIsExemptByItsIdOrItsExactPath)
{
    char self[MAX_PATH];
    GetModuleFileNameA(0, self, sizeof self);
    SessionRecord listening = NewRecord(self, 0, DIR_LISTEN);
    SessionRecord outbound = NewRecord(self, kInternet, DIR_OUTBOUND);
    StartConsole(IMAGE_RULES);

    EXPECT_FALSE(m_acl->IsExemptProcess());
    EXPECT_EQ(CAclMemory::GO_ON, m_acl->PreCheck(outbound));

    m_area->Control.ConsoleProcessId = GetCurrentProcessId();
    EXPECT_TRUE(m_acl->IsConsoleProcess());
    EXPECT_TRUE(m_acl->IsExemptProcess());
    EXPECT_EQ(ACTION_PASS, m_acl->PreCheck(outbound));
    // A listening socket is decided even for an exempt program.
    EXPECT_EQ(CAclMemory::GO_ON, m_acl->PreCheck(listening));
    m_area->Control.WorkMode = WORK_MODE_LOCKED;
    EXPECT_EQ(ACTION_PASS, m_acl->Evaluate(outbound));
    EXPECT_EQ(0, outbound.Decided);

    // The registered path names the console byte for byte.
    m_area->Control.ConsoleProcessId = 0;
    lstrcpynA(m_area->ConsolePath, self, CONSOLE_PATH_SIZE);
    EXPECT_TRUE(m_acl->IsConsoleProcess());
    char *letter = strrchr(m_area->ConsolePath, '.') + 1;
    ASSERT_TRUE(IsCharAlphaA(*letter));
    *letter ^= 0x20; // the same path in another case
    EXPECT_FALSE(m_acl->IsConsoleProcess());
}

// A 32-bit program under WoW64 lands in, and runs from, the WoW64 system
// folder: it is the listed program all the same.
TEST_F(CDecisionTest, AListedSystemProgramIsExemptExceptWhenListening)
{
    char folder[MAX_PATH], program[MAX_PATH], self[MAX_PATH];
    ASSERT_NE(0u, ExpandEnvironmentStringsA("%windir%\\system32\\dllcache", folder, MAX_PATH));
    wsprintfA(program, "%s\\svchost.exe", folder);
    GetModuleFileNameA(0, self, sizeof self);
    BOOL made = CreateDirectoryA(folder, 0);
    ASSERT_TRUE(CopyFileA(self, program, FALSE)) << program;
    StartConsole(IMAGE_RULES);
    m_area->Control.WorkMode = WORK_MODE_LOCKED;
    CChildProcess exempt;
    ASSERT_TRUE(exempt.Start(std::string("--exempt ") + m_area.Name(), program));
    EXPECT_EQ(0u, exempt.Wait());
    exempt.Close();
    EXPECT_TRUE(DeleteFileA(program));
    if (made)
        RemoveDirectoryA(folder);
}

TEST(ExemptList, MatchesExpandedEntriesOfTheSameLengthWithoutRegardToCase)
{
    char windir[MAX_PATH];
    ASSERT_NE(0u, ExpandEnvironmentStringsA("%windir%", windir, sizeof windir));
    const std::string svchost = std::string(windir) + "\\SYSTEM32\\SvcHost.EXE";
    const char *const list[] = {"%windir%\\system32\\services.exe",
                                "%windir%\\system32\\svchost.exe"};
    EXPECT_TRUE(CAclMemory::MatchExemptList(list, svchost.c_str(), 2));
    EXPECT_FALSE(CAclMemory::MatchExemptList(list, svchost.c_str(), 1));
    EXPECT_FALSE(CAclMemory::MatchExemptList(list, (svchost + "x").c_str(), 2));
    EXPECT_FALSE(CAclMemory::MatchExemptList(list, "svchost.exe", 2));
}

TEST_F(CDecisionTest, WithoutAnImagePassesAndStoresNothing)
{
    SessionRecord record = NewRecord("C:\\Apps\\Denied.exe", Ip(10, 0, 0, 66));
    EXPECT_EQ(ACTION_PASS, m_acl->Evaluate(record));
    EXPECT_EQ(0, record.Decided);
    EXPECT_EQ(0, record.Zone);
    EXPECT_EQ(0, StepSeam::Steps);
}

// The console died inside a rebuild: after one bounded wait the image is
// read as it stands, and later calls do not wait for the flag again.
TEST_F(CDecisionTest, ARebuildThatNeverEndsCostsOneWait)
{
    StartConsole(IMAGE_RULES);
    SessionRecord decided = NewRecord("C:\\Apps\\Denied.exe", kInternet);
    ASSERT_EQ(ACTION_DENY, m_acl->Evaluate(decided));

    m_area->Control.AclUpdating = 1;
    SessionRecord record = NewRecord("C:\\Apps\\Denied.exe", kInternet);
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(record));
    EXPECT_EQ(1, record.Decided);
    EXPECT_EQ(ZONE_INTERNET, record.Zone);
    EXPECT_EQ(CAclMemory::IMAGE_WAIT_STEPS, StepSeam::Steps);
    SessionRecord next = NewRecord("C:\\Apps\\Denied.exe", kInternet);
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(next));
    EXPECT_EQ(CAclMemory::IMAGE_WAIT_STEPS, StepSeam::Steps);
    // A socket already decided keeps its verdict meanwhile.
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(decided));

    // A rebuild that begins afresh (the flag cleared and set again) is
    // waited for again.
    m_area->Control.AclUpdating = 0;
    ++m_area->Control.AclGeneration;
    m_area->Control.AclUpdating = 1;
    SessionRecord later = NewRecord("C:\\Apps\\Denied.exe", kInternet);
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(later));
    EXPECT_EQ(2 * CAclMemory::IMAGE_WAIT_STEPS, StepSeam::Steps);
    m_area->Control.AclUpdating = 0;
}

// The console died inside an edit, its writer flag set: one bounded wait,
// then the image is read as it stands, without raising the reader count.
TEST_F(CDecisionTest, AWriterThatNeverFinishesCostsOneWait)
{
    StartConsole(IMAGE_RULES);
    ASSERT_TRUE(m_acl->Open());
    AclHeader *header = m_acl->Image().Header();
    header->WriterFlag = 1;

    SessionRecord record = NewRecord("C:\\Apps\\Denied.exe", kInternet);
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(record));
    EXPECT_EQ(1, record.Decided);
    EXPECT_EQ(CAclMemory::IMAGE_WAIT_STEPS, StepSeam::Steps);
    EXPECT_EQ(0, header->ReaderCount);
    SessionRecord next = NewRecord("C:\\Apps\\Denied.exe", kInternet);
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(next));
    EXPECT_EQ(CAclMemory::IMAGE_WAIT_STEPS, StepSeam::Steps);
    EXPECT_EQ(0, header->ReaderCount);

    // Readers of another process changed the word: the flag is waited for
    // once more, then read past again.
    header->ReaderCount = 1;
    SessionRecord third = NewRecord("C:\\Apps\\Denied.exe", kInternet);
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(third));
    EXPECT_EQ(2 * CAclMemory::IMAGE_WAIT_STEPS, StepSeam::Steps);
    EXPECT_EQ(1, header->ReaderCount);

    header->ReaderCount = 0;
    header->WriterFlag = 0;
    SessionRecord free = NewRecord("C:\\Apps\\Denied.exe", kInternet);
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(free));
    EXPECT_EQ(1, free.Decided);
    EXPECT_EQ(0, header->ReaderCount);
}

TEST_F(CDecisionTest, AProcessWithoutAnEntryIsNotFiltered)
{
    StartConsole(IMAGE_RULES);
    CAclMemory acl(m_area->Control, m_area->ConsolePath, [] { return (CRITICAL_SECTION *)0; },
                   StepSeam::Step);
    SessionRecord record = NewRecord("C:\\Apps\\Denied.exe", kInternet);
    EXPECT_EQ(ACTION_PASS, acl.Evaluate(record));
    EXPECT_EQ(0, record.Decided);
}

// After a console restart, a long-running program decides on the new rules.
TEST_F(CDecisionTest, FollowsTheImageOfARestartedConsole)
{
    StartConsole(IMAGE_RULES);
    SessionRecord before = NewRecord("C:\\Apps\\Switch.exe", kInternet);
    ASSERT_EQ(ACTION_DENY, m_acl->Evaluate(before));
    EXPECT_EQ(109, before.RuleId);

    StopConsole();
    StartConsole(IMAGE_ALTERNATE);
    SessionRecord after = NewRecord("C:\\Apps\\Switch.exe", kInternet);
    EXPECT_EQ(ACTION_PASS, m_acl->Evaluate(after));
    EXPECT_EQ(200, after.RuleId);
    EXPECT_EQ(m_area->Control.AclSize, m_acl->Image().Size());
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(before)); // decided once
}

} // namespace
