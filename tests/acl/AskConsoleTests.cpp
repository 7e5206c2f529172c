// The wait for the console's answer in the socket's connection record.
#include "DecisionHarness.h"

namespace {

const DWORD kInternet = 0x08080808;
const char kUnknown[] = "C:\\Apps\\Unknown.exe";

enum { TOTAL_STEPS = CAclMemory::ASK_CYCLES * CAclMemory::ASK_STEPS_PER_CYCLE };

// What the provider child reports: its verdict and what it stored.
DWORD ProviderResult(RuleAction verdict, BYTE decided, BYTE byRule)
{
    return 1000 + verdict * 100 + decided * 10 + byRule;
}

// A provider child decides the shared record while this process plays the
// console's side of the question.
class AskAcrossProcesses : public CDecisionTest {
protected:
    void StartProvider()
    {
        m_area->Record = NewRecord(kUnknown, kInternet);
        std::string arguments = std::string("--provider ") + m_area.Name();
        ASSERT_TRUE(m_provider.Start(arguments));
        ASSERT_TRUE(WaitFor([&] {
            return m_area->Record.State == SESSION_ASKING || !m_provider.IsRunning();
        }));
        ASSERT_EQ(SESSION_ASKING, m_area->Record.State) << "provider ended with "
                                                        << m_provider.Wait(0);
    }
    void TearDown() override
    {
        m_provider.Close();
        CDecisionTest::TearDown();
    }
    CChildProcess m_provider;
};

TEST_F(AskAcrossProcesses, TheConsolesAnswerReleasesTheWaitingCall)
{
    StartConsole(IMAGE_RULES);
    StartProvider();
    SessionRecord &record = m_area->Record;
    EXPECT_TRUE(m_provider.IsRunning());
    // The program page takes the question, the pop-up answers it.
    record.State = SESSION_SHOWN;
    record.Verdict = ACTION_DENY;
    record.State = SESSION_OPEN;
    EXPECT_EQ(ProviderResult(ACTION_DENY, 1, 0), m_provider.Wait());
    EXPECT_EQ(ACTION_DENY, record.Verdict);
    EXPECT_EQ(0, record.RuleId);
}

TEST_F(AskAcrossProcesses, AnAnswerOfPassLetsTheCallThrough)
{
    StartConsole(IMAGE_RULES);
    StartProvider();
    SessionRecord &record = m_area->Record;
    record.State = SESSION_SHOWN;
    record.Verdict = ACTION_PASS;
    record.State = SESSION_OPEN;
    EXPECT_EQ(ProviderResult(ACTION_PASS, 1, 0), m_provider.Wait());
}

// The console that took the question unregisters or ends: the call is
// refused and the question taken back, asked or on screen, so that the next
// console asks nothing about it.
TEST_F(AskAcrossProcesses, AConsoleGoneTakesTheQuestionBack)
{
    for (BYTE seen : {BYTE(SESSION_ASKING), BYTE(SESSION_SHOWN)}) {
        SCOPED_TRACE(int(seen));
        StartConsole(IMAGE_RULES);
        m_area->Control.ConsoleProcessId = GetCurrentProcessId();
        StartProvider();
        SessionRecord &record = m_area->Record;
        record.Verdict = ACTION_PASS;
        record.State = seen;
        m_area->Control.ConsoleProcessId = 0; // the console unregisters
        EXPECT_EQ(ProviderResult(ACTION_DENY, 1, 0), m_provider.Wait());
        EXPECT_EQ(SESSION_OPEN, record.State);
        EXPECT_EQ(ACTION_DENY, record.Verdict);
        m_provider.Close();
        StopConsole();
    }
}

// A record that another socket took meanwhile is not touched.
TEST_F(AskAcrossProcesses, AConsoleGoneLeavesARecordTakenByAnotherSocketAlone)
{
    StartConsole(IMAGE_RULES);
    m_area->Control.ConsoleProcessId = GetCurrentProcessId();
    StartProvider();
    SessionRecord &record = m_area->Record;
    record.State = SESSION_SHOWN;
    record.Socket = 0x200; // closed and taken by another socket
    m_area->Control.ConsoleProcessId = 0;
    EXPECT_EQ(ProviderResult(ACTION_DENY, 1, 0), m_provider.Wait());
    EXPECT_EQ(SESSION_SHOWN, record.State);
}

TEST_F(AskAcrossProcesses, WorkModeZeroReleasesTheCallAtOnce)
{
    StartConsole(IMAGE_RULES);
    StartProvider();
    m_area->Control.WorkMode = WORK_MODE_OFF; // the console exits
    EXPECT_EQ(ProviderResult(ACTION_PASS, 0, 0), m_provider.Wait());
    // The question stays open: a late answer still lands in the record.
    EXPECT_EQ(SESSION_ASKING, m_area->Record.State);
}

class AskTimeOut : public CDecisionTest {
protected:
    RuleAction AskWithAnswerAt(int step, BYTE answer)
    {
        m_record = NewRecord(kUnknown, kInternet);
        StepSeam::Asked = &m_record;
        StepSeam::AnswerAtStep = step;
        StepSeam::Answer = answer;
        return m_acl->AskConsole(m_record, SESSION_ASKING);
    }
    SessionRecord m_record;
};

TEST_F(AskTimeOut, NoAnswerDeniesAfterSixHundredCycles)
{
    EXPECT_EQ(ACTION_DENY, AskWithAnswerAt(0, ACTION_PASS));
    EXPECT_EQ(TOTAL_STEPS, StepSeam::Steps);
    // The question is taken back: no console asks about a refused call.
    EXPECT_EQ(SESSION_OPEN, m_record.State);
    EXPECT_EQ(ACTION_DENY, m_record.Verdict);
}

TEST_F(AskTimeOut, AQuestionOnScreenAtTheLimitIsTakenBackToo)
{
    m_record = NewRecord(kUnknown, kInternet);
    StepSeam::Asked = &m_record;
    StepSeam::AnswerAtStep = 0;
    m_record.State = SESSION_SHOWN;
    EXPECT_EQ(ACTION_DENY, m_acl->AskConsole(m_record, SESSION_SHOWN));
    EXPECT_EQ(SESSION_OPEN, m_record.State);
    EXPECT_EQ(ACTION_DENY, m_record.Verdict);
}

TEST_F(AskTimeOut, TheAnswerIsLookedForOnceACycle)
{
    struct Case {
        const char *what;
        int answerAt;
        RuleAction result;
        int steps;
    } cases[] = {
        {"in the first step", 1, ACTION_PASS, CAclMemory::ASK_STEPS_PER_CYCLE},
        {"at the end of the first cycle", 10, ACTION_PASS, 10},
        {"in the second cycle", 11, ACTION_PASS, 20},
        {"at the end of the next to last cycle", TOTAL_STEPS - 10, ACTION_PASS,
         TOTAL_STEPS - 10},
        {"in the last cycle: too late", TOTAL_STEPS - 9, ACTION_DENY, TOTAL_STEPS},
        {"in its last step: too late", TOTAL_STEPS, ACTION_DENY, TOTAL_STEPS},
    };
    for (const Case &c : cases) {
        StepSeam::Reset();
        EXPECT_EQ(c.result, AskWithAnswerAt(c.answerAt, ACTION_PASS)) << c.what;
        EXPECT_EQ(c.steps, StepSeam::Steps) << c.what;
    }
}

TEST_F(AskTimeOut, ATimedOutQuestionIsStoredAsRefusedByNoRule)
{
    StartConsole(IMAGE_RULES);
    SessionRecord &record = m_area->Record;
    record = NewRecord(kUnknown, kInternet);
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(record));
    EXPECT_EQ(TOTAL_STEPS, StepSeam::Steps);
    EXPECT_EQ(1, record.Decided);
    EXPECT_EQ(0, record.ByRule);
    EXPECT_EQ(ACTION_DENY, record.Verdict);
    // Taken back: no console asks, and later calls keep the refusal.
    EXPECT_EQ(SESSION_OPEN, record.State);
    EXPECT_EQ(ACTION_DENY, m_acl->Evaluate(record));
    EXPECT_EQ(TOTAL_STEPS, StepSeam::Steps);
}

TEST_F(AskTimeOut, AnAnswerOutsideTheActionsRefuses)
{
    EXPECT_EQ(ACTION_DENY, AskWithAnswerAt(10, 7));
}

} // namespace
