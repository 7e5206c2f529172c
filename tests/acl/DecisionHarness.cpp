#include "DecisionHarness.h"
#include "AclImageBuilder.h"
#include <Address32.h>
#include <DriverInterface.h>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

const char kConsoleMode[] = "--console";
const char kProviderMode[] = "--provider";
const char kExemptMode[] = "--exempt";
const DWORD kSundayUtc = 1796515200; // 2026-12-06 00:00:00 UTC, a Sunday
const int kZoneHours = 3;            // the pinned zone: UTC+3

DWORD Ip(int a, int b, int c, int d)
{
    return DWORD(a) << 24 | DWORD(b) << 16 | DWORD(c) << 8 | DWORD(d);
}

ProgramRule *AddRule(CAclImageBuilder &image, DWORD id, const char *path, BYTE inet, BYTE tnet)
{
    ProgramRule *rule = image.AddProgram(id, path);
    rule->InetAction = inet;
    rule->TnetAction = tnet;
    return rule;
}

void BuildRulesImage(CAclImageBuilder &image)
{
    image.AddTimeRule(TIME_OFFICE, 30600, 61200, 0x7C);
    image.AddTimeRule(TIME_NIGHT, 22 * 3600, 6 * 3600, 0xFE);
    image.AddTimeRule(TIME_SUNDAY, 0, 0, 0x80);

    // The first trusted entry would read as an all-week schedule TIME_ZONE_ID
    // to a lookup that ran past the terminator of the schedules.
    image.AddZone(FALSE, TIME_ZONE_ID, ZONE_ENTRY_RANGE, Ip(192, 168, 50, 1), Ip(192, 168, 50, 255));
    image.AddZone(FALSE, 6, ZONE_ENTRY_SUBNET, Ip(192, 168, 1, 0), Ip(255, 255, 255, 0));
    image.AddZone(FALSE, 7, ZONE_ENTRY_HOST, Ip(172, 16, 0, 9), Ip(172, 16, 0, 9), "intranet.example");
    image.AddZone(FALSE, 8, ZONE_ENTRY_ADDRESS, Ip(192, 168, 2, 7), 0);
    image.AddZone(FALSE, 9, ZONE_ENTRY_HOST, Ip(172, 16, 0, 10), Ip(172, 16, 0, 10), "");

    image.AddZone(TRUE, 20, ZONE_ENTRY_ADDRESS, Ip(10, 0, 0, 66), 0);
    image.AddZone(TRUE, 21, ZONE_ENTRY_RANGE, Ip(10, 1, 0, 0), Ip(10, 1, 0, 255));
    image.AddZone(TRUE, 22, ZONE_ENTRY_SUBNET, Ip(10, 2, 0, 0), Ip(255, 255, 0, 0));
    image.AddZone(TRUE, 23, ZONE_ENTRY_HOST, 0, 0, "bad.example");
    image.AddZone(TRUE, 24, ZONE_ENTRY_HOST, 0, 0, "");
    image.AddZone(TRUE, 25, 7, Ip(10, 9, 9, 9), Ip(10, 9, 9, 9));

    AddRule(image, 100, "C:\\Apps\\Open.exe", ACTION_PASS, ACTION_PASS);
    AddRule(image, 101, "C:\\Apps\\Locked.exe", ACTION_PASS, ACTION_PASS)->LockKey = 1;
    AddRule(image, 102, "C:\\Apps\\Denied.exe", ACTION_DENY, ACTION_DENY);
    AddRule(image, 103, "C:\\Apps\\Ask.exe", ACTION_QUERY, ACTION_QUERY);
    AddRule(image, 104, "C:\\Apps\\Mail.exe", ACTION_PASS, ACTION_PASS)->EmailAction = ACTION_DENY;
    AddRule(image, 105, "C:\\Apps\\MailAsk.exe", ACTION_PASS, ACTION_PASS)->EmailAction =
        ACTION_QUERY;
    ProgramRule *trusted = AddRule(image, 107, "C:\\Apps\\Trusted.exe", ACTION_DENY, ACTION_PASS);
    trusted->TcpAccess[ACL_TNET] = 0;
    trusted->PortType[ACL_TNET] = PORT_TYPE_LIST;
    trusted->PortList[ACL_TNET][0] = 1;
    trusted->TimeID[ACL_TNET] = TIME_ABSENT;
    ProgramRule *office = AddRule(image, 108, "C:\\Apps\\Office.exe", ACTION_PASS, ACTION_PASS);
    office->TimeID[ACL_INET] = TIME_OFFICE;
    office->AdvAction[ACL_INET] = ACTION_DENY;
    AddRule(image, 109, "C:\\Apps\\Switch.exe", ACTION_DENY, ACTION_DENY);
}

void BuildAlternateImage(CAclImageBuilder &image)
{
    AddRule(image, 200, "C:\\Apps\\Switch.exe", ACTION_PASS, ACTION_PASS);
}

// The console's part: make and fill the block, announce it, and keep it
// alive until told to end.
int RunConsole(const char *areaName, int imageKind)
{
    CSharedArea area;
    if (!area.Open(areaName))
        return 2;
    const AclCounts counts = {3, 5, 6, imageKind == IMAGE_RULES ? 10u : 30u};
    AclLayout layout;
    ComputeAclLayout(counts, &layout);
    HANDLE block = CreateDriverBlock(INVALID_HANDLE_VALUE, 0, PAGE_READWRITE, 0, layout.Size,
                                     "_QFW_MEMORY_ACL_FILE");
    void *view = block ? MapDriverBlock(block, FILE_MAP_WRITE, 0, 0, 0, 1) : 0;
    if (!view)
        return 3;
    CAclImageBuilder image(view, layout.Size, AddressToDword(view));
    image.Lay(counts);
    if (imageKind == IMAGE_RULES)
        BuildRulesImage(image);
    else
        BuildAlternateImage(image);

    ProviderControlBlock &control = area->Control;
    control.AclUpdating = 1;
    control.AclHandle = DWORD(reinterpret_cast<UINT_PTR>(block));
    control.AclConsoleView = AddressToDword(view);
    control.AclSize = layout.Size;
    ++control.AclGeneration;
    control.AclUpdating = 0;
    InterlockedExchange(&area->ConsoleReady, 1);
    return WaitFor([&] { return area->ConsoleQuit != 0; }, 120000) ? 0 : 4;
}

// The provider's part: decide the shared record once, with real waits, and
// report the result and what was stored.
int RunProvider(const char *areaName)
{
    CSharedArea area;
    if (!area.Open(areaName))
        return 2;
    CAclMemory acl(area->Control, area->ConsolePath, TestDecisionLock);
    SessionRecord &record = area->Record;
    RuleAction verdict = acl.Evaluate(record);
    return 1000 + verdict * 100 + record.Decided * 10 + record.ByRule;
}

// A listed system program: calls pass undecided, except on a listening
// socket, which is decided like any other.
int RunExemptProgram(const char *areaName)
{
    CSharedArea area;
    if (!area.Open(areaName))
        return 2;
    CAclMemory acl(area->Control, area->ConsolePath, TestDecisionLock);
    if (!acl.IsExemptProcess())
        return 3;
    char self[MAX_PATH];
    GetModuleFileNameA(0, self, sizeof self);
    SessionRecord outbound = {}, listening = {};
    lstrcpynA(outbound.Path, self, sizeof outbound.Path);
    lstrcpynA(listening.Path, self, sizeof listening.Path);
    outbound.Direction = DIR_OUTBOUND;
    outbound.Protocol = listening.Protocol = PROTO_TCP;
    outbound.RemoteIp = 0x08080808;
    listening.Direction = DIR_LISTEN;
    if (acl.Evaluate(outbound) != ACTION_PASS || outbound.Decided)
        return 4;
    if (acl.Evaluate(listening) != ACTION_DENY || !listening.Decided)
        return 5;
    return 0;
}

} // namespace

DWORD LocalTime(int weekDay, int hour, int minute, int second)
{
    return kSundayUtc + weekDay * 86400 + hour * 3600 + minute * 60 + second - kZoneHours * 3600;
}

void PinTimeZone()
{
    _putenv("TZ=QFW-3");
    _tzset();
}

CRITICAL_SECTION *TestDecisionLock()
{
    static CRITICAL_SECTION lock;
    static LONG ready;
    if (InterlockedCompareExchange(&ready, 1, 0) == 0)
        InitializeCriticalSection(&lock);
    return &lock;
}

int StepSeam::Steps;
int StepSeam::AnswerAtStep;
BYTE StepSeam::Answer;
SessionRecord *StepSeam::Asked;

void StepSeam::Reset()
{
    Steps = 0;
    AnswerAtStep = 0;
    Answer = ACTION_PASS;
    Asked = nullptr;
}

// Plays the console's pop-up at the chosen step: takes the question, writes
// the answer, then releases the record.
void StepSeam::Step(DWORD)
{
    ++Steps;
    if (Asked && Steps == AnswerAtStep && Asked->State == SESSION_ASKING) {
        Asked->State = SESSION_SHOWN;
        Asked->Verdict = Answer;
        Asked->State = SESSION_OPEN;
    }
}

CSharedArea::CSharedArea() : m_mapping(0), m_area(0)
{
    m_name[0] = 0;
}

CSharedArea::~CSharedArea()
{
    if (m_area)
        UnmapViewOfFile(m_area);
    if (m_mapping)
        CloseHandle(m_mapping);
}

BOOL CSharedArea::Create()
{
    wsprintfA(m_name, "qfw-acl-decision-%lu", GetCurrentProcessId());
    m_mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, 0, PAGE_READWRITE, 0, sizeof(SharedArea),
                                   m_name);
    m_area = m_mapping ? static_cast<SharedArea *>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, 0))
                       : 0;
    return m_area != 0;
}

BOOL CSharedArea::Open(const char *name)
{
    lstrcpynA(m_name, name, sizeof m_name);
    m_mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
    m_area = m_mapping ? static_cast<SharedArea *>(MapViewOfFile(m_mapping, FILE_MAP_WRITE, 0, 0, 0))
                       : 0;
    return m_area != 0;
}

void CChildProcess::Close()
{
    if (m_process) {
        if (IsRunning())
            TerminateProcess(m_process, 99);
        CloseHandle(m_process);
        m_process = 0;
    }
}

// Runs this test program, or a copy of it at the given path.
BOOL CChildProcess::Start(const std::string &arguments, const char *program)
{
    Close();
    char self[MAX_PATH];
    GetModuleFileNameA(0, self, sizeof self);
    std::string command = std::string("\"") + (program ? program : self) + "\" " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessA(0, &command[0], 0, 0, FALSE, 0, 0, 0, &si, &pi))
        return FALSE;
    CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    return TRUE;
}

BOOL CChildProcess::IsRunning() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

DWORD CChildProcess::Wait(DWORD milliseconds)
{
    DWORD code = DWORD(-1);
    if (m_process && WaitForSingleObject(m_process, milliseconds) == WAIT_OBJECT_0)
        GetExitCodeProcess(m_process, &code);
    return code;
}

int RunChildMode(int argc, char **argv)
{
    if (argc == 4 && strcmp(argv[1], kConsoleMode) == 0)
        return RunConsole(argv[2], atoi(argv[3]));
    if (argc == 3 && strcmp(argv[1], kProviderMode) == 0)
        return RunProvider(argv[2]);
    if (argc == 3 && strcmp(argv[1], kExemptMode) == 0)
        return RunExemptProgram(argv[2]);
    return -1;
}

void CDecisionTest::SetUp()
{
    CNetvaneFixture::SetUp();
    StepSeam::Reset();
    ASSERT_TRUE(m_area.Create());
    m_area->Control.WorkMode = WORK_MODE_NORMAL;
    m_acl.reset(new CAclMemory(m_area->Control, m_area->ConsolePath, TestDecisionLock,
                               StepSeam::Step));
}

void CDecisionTest::TearDown()
{
    StopConsole();
    m_acl.reset();
    CNetvaneFixture::TearDown();
}

void CDecisionTest::StartConsole(TestImage image)
{
    m_area->ConsoleReady = 0;
    m_area->ConsoleQuit = 0;
    char arguments[128];
    wsprintfA(arguments, "%s %s %d", kConsoleMode, m_area.Name(), image);
    ASSERT_TRUE(m_console.Start(arguments));
    ASSERT_TRUE(WaitFor([&] { return m_area->ConsoleReady != 0 || !m_console.IsRunning(); }));
    ASSERT_EQ(1, m_area->ConsoleReady) << "console child ended with " << m_console.Wait(0);
    if (!m_reserved)
        m_reserved = VirtualAlloc(DwordToAddress<void>(m_area->Control.AclConsoleView),
                                  m_area->Control.AclSize, MEM_RESERVE, PAGE_NOACCESS);
}

void CDecisionTest::StopConsole()
{
    if (m_console.IsRunning()) {
        m_area->ConsoleQuit = 1;
        EXPECT_EQ(0u, m_console.Wait());
    }
    m_console.Close();
    if (m_reserved)
        VirtualFree(m_reserved, 0, MEM_RELEASE);
    m_reserved = nullptr;
}

SessionRecord CDecisionTest::NewRecord(const char *path, DWORD remoteIp, BYTE direction,
                                       BYTE protocol, WORD remotePort)
{
    SessionRecord record = {};
    record.ProcessId = GetCurrentProcessId();
    record.Socket = 0x100;
    record.Direction = direction;
    record.Protocol = protocol;
    record.RemoteIp = remoteIp;
    record.RemotePort = remotePort;
    record.StartTime = LocalTime(1, 10, 0);
    lstrcpynA(record.Path, path, sizeof record.Path);
    return record;
}
