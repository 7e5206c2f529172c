// The decision on one socket and the wait for the console's answer.
#include "AclMemory.h"
#include "ConsoleWatch.h"
#include "ProcessTable.h"
#include "ProviderProcess.h"
#include <cstring>

CRITICAL_SECTION *CurrentDecisionLock()
{
    ProcessEntry *entry = GetCurrentProcessEntry();
    return entry ? &entry->DecisionLock : 0;
}

CAclMemory::CAclMemory(ProviderControlBlock &control, char *consolePath,
                       DecisionLockLookup decisionLock, AclSleepStep sleep)
    : m_block(0), m_win9x(FALSE), m_listedExempt(-1), m_mapped(), m_stuck(), m_uncountedReads(0),
      m_control(&control), m_consolePath(consolePath), m_decisionLock(decisionLock), m_sleep(sleep)
{
    m_consolePath[0] = 0;
    ReadProgramPath(m_programPath);
    DetectPlatform();
}

void CAclMemory::SetWorkMode(BYTE mode)
{
    m_control->WorkMode = mode;
}

BYTE CAclMemory::GetWorkMode() const
{
    return LoadShared(m_control->WorkMode);
}

namespace {

// The decision's fields, as the console reads them.
void PublishDecision(const SessionRecord &own, SessionRecord &shared)
{
    if (&own == &shared)
        return;
    shared.RuleId = own.RuleId;
    shared.Zone = own.Zone;
    shared.HostMatchDone = own.HostMatchDone;
    memcpy(shared.Detail, own.Detail, sizeof shared.Detail);
    shared.ByRule = own.ByRule;
    shared.Verdict = own.Verdict;
    shared.Decided = own.Decided;
}

// Whether the shared record is still that of (process, socket): a closed
// record may be freed by the console and taken by another socket meanwhile.
bool BelongsTo(const SessionRecord &record, DWORD socket, DWORD processId)
{
    const volatile SessionRecord &shared = record;
    return shared.Socket == socket && shared.ProcessId == processId;
}

// Whether the record still holds the question: closed by another thread of
// the process, or taken by another socket, it holds none any more.
bool StillAsking(const SessionRecord &record, DWORD socket, DWORD processId)
{
    const volatile SessionRecord &shared = record;
    return shared.State != SESSION_CLOSED && BelongsTo(record, socket, processId);
}

// Takes back a question the wait gave up on, asked or on screen, so that no
// console asks about a call already refused or writes its answer into the
// record; one answered meanwhile keeps its answer.
void WithdrawQuestion(SessionRecord &record, DWORD socket, DWORD processId)
{
    for (BYTE asked : {BYTE(SESSION_ASKING), BYTE(SESSION_SHOWN)}) {
        if (!BelongsTo(record, socket, processId))
            return;
        if (__atomic_compare_exchange_n(&record.State, &asked, BYTE(SESSION_OPEN), false,
                                        __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST)) {
            record.Verdict = ACTION_DENY;
            return;
        }
    }
}

} // namespace

RuleAction CAclMemory::Evaluate(SessionRecord &own, SessionRecord *shared)
{
    if (GetWorkMode() == WORK_MODE_OFF || IsConsoleProcess())
        return ACTION_PASS;
    CRITICAL_SECTION *lock = m_decisionLock();
    if (!lock)
        return ACTION_PASS;
    EnterCriticalSection(lock);
    RuleAction verdict = Decide(own, shared);
    if (shared && BelongsTo(*shared, own.Socket, own.ProcessId))
        PublishDecision(own, *shared);
    LeaveCriticalSection(lock);
    return verdict;
}

RuleAction CAclMemory::Store(SessionRecord &record, RuleAction verdict, BYTE byRule)
{
    record.ByRule = byRule;
    record.Verdict = BYTE(verdict);
    record.Decided = 1;
    return verdict;
}

// Under the decision lock. A pass because the image cannot be read is never
// stored, and neither is the zone it could not classify: the socket is
// decided at a later call, when the image is back.
RuleAction CAclMemory::Decide(SessionRecord &record, SessionRecord *shared)
{
    BOOL read = FALSE;
    int early = PreCheck(record);
    if (early != GO_ON) {
        // Once a host name is known, its zone is checked once more: a site
        // in the blocked list is refused even after the connect passed.
        if (!record.HostMatchDone && record.Detail[0]) {
            ZoneKind zone = ClassifyZone(record, &read);
            if (read) {
                record.Zone = BYTE(zone);
                record.HostMatchDone = 1;
                if (zone == ZONE_BLOCKED)
                    return Store(record, ACTION_DENY, 1);
            }
        }
        return RuleAction(early);
    }

    if (record.Zone == 0) {
        ZoneKind zone = ClassifyZone(record, &read);
        if (!read)
            return ACTION_PASS;
        record.Zone = BYTE(zone);
    }
    if (record.Zone == ZONE_BLOCKED)
        return Store(record, ACTION_DENY, 1);

    RuleAction verdict = MatchProgramRule(record, &read);
    if (!read)
        return ACTION_PASS;
    if (verdict != ACTION_QUERY)
        return Store(record, verdict, 1);
    return Ask(record, shared);
}

// The question goes to the console through the shared record, which carries
// what was found so far; the answer comes back in it. A socket without a
// shared record cannot be asked about, and is refused as if unanswered.
RuleAction CAclMemory::Ask(SessionRecord &own, SessionRecord *shared)
{
    if (!shared)
        return Store(own, ACTION_DENY, 0);
    PublishDecision(own, *shared);
    RuleAction verdict = AskConsole(*shared, SESSION_ASKING);
    if (BelongsTo(*shared, own.Socket, own.ProcessId))
        own.RuleId = shared->RuleId; // the rule the console may have added
    if (GetWorkMode() == WORK_MODE_OFF) {
        own.Verdict = ACTION_PASS;
        return ACTION_PASS;
    }
    return Store(own, verdict, 0);
}

int CAclMemory::PreCheck(SessionRecord &record)
{
    // A stored verdict stands whether or not the image can be read now.
    if (record.Decided)
        return record.Verdict;
    if (!BeginRead())
        return ACTION_PASS;
    int result = GO_ON;
    if (record.Direction == DIR_LISTEN)
        result = GO_ON; // a listening socket is decided even for an exempt program
    else if (record.Direction == DIR_UNKNOWN || IsExemptProcess())
        result = ACTION_PASS;
    EndRead();
    return result;
}

// Marks the record as a question and waits, in steps, for the console to
// lower State to 0 with its answer in Verdict. Work mode 0 ends the wait at
// once with a pass; a console that ended or unregistered, or a socket closed
// meanwhile, end it with the verdict of a time-out. After ASK_CYCLES cycles
// without an answer the call is refused, even when the answer came during
// the last cycle. A question refused so is withdrawn from the record.
RuleAction CAclMemory::AskConsole(SessionRecord &record, BYTE state)
{
    const DWORD socket = record.Socket, processId = record.ProcessId;
    CConsoleWatch console(*m_control);
    record.State = state;
    int cyclesLeft = ASK_CYCLES;
    do {
        for (int step = 0; step < ASK_STEPS_PER_CYCLE; ++step) {
            m_sleep(ACL_WAIT_STEP_MS);
            if (GetWorkMode() == WORK_MODE_OFF)
                return ACTION_PASS;
            if (!StillAsking(record, socket, processId))
                return ACTION_DENY;
            if (console.Gone()) {
                WithdrawQuestion(record, socket, processId);
                return ACTION_DENY;
            }
        }
        --cyclesLeft;
    } while (LoadShared(record.State) != SESSION_OPEN && cyclesLeft > 0);
    if (cyclesLeft == 0) {
        WithdrawQuestion(record, socket, processId);
        return ACTION_DENY;
    }
    BYTE answer = LoadShared(record.Verdict);
    return answer <= ACTION_DENY ? RuleAction(answer) : ACTION_DENY;
}
