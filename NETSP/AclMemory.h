// The provider's access to the console's rule image and the decision on one
// socket. One instance lives in every process that loads the provider. It
// maps the image that the console announced in the shared control block,
// reads it in place under the image's reader gate, and decides each socket
// once: by zone, program rule, work mode, ports, protocol and schedule, or,
// for a program the console does not know, by asking the console through the
// socket's connection record and waiting for its answer.
#pragma once

#ifndef QFW_ASK_CYCLES
#define QFW_ASK_CYCLES 600
#endif

#include <AclGate.h>
#include <AclImage.h>
#include <FirewallTypes.h>
#include <SessionRecord.h>
#include "ProgramRuleIndex.h"
#include "ProviderControlBlock.h"

// The decision lock of the current process's entry in the process table, or
// none when the process has no entry.
typedef CRITICAL_SECTION *(*DecisionLockLookup)();
CRITICAL_SECTION *CurrentDecisionLock();

// 1 when the current process is the registered console.
int IsConsoleProcess();

// The site text occurs in the detail text (case-sensitive). An empty site
// names no host and is contained nowhere.
BOOL DetailContains(const char *detail, const char *site);

class CAclMemory {
public:
    // control and consolePath are the provider's shared data; the constructor
    // empties consolePath, so that from then on only the process id names the
    // console until it registers again. Tests give their own shared data,
    // lock and wait step.
    explicit CAclMemory(ProviderControlBlock &control = ControlBlock(),
                        char *consolePath = ConsolePath(),
                        DecisionLockLookup decisionLock = CurrentDecisionLock,
                        AclSleepStep sleep = AclSleep);
    virtual ~CAclMemory() {}

    // Decides on the process's own record of the socket; shared is the
    // socket's record in the connection table, which mirrors the decision for
    // the console and carries the question to it, or null when the socket
    // has none (then a question is refused without asking).
    RuleAction Evaluate(SessionRecord &own, SessionRecord *shared);
    // A record that is both: its own truth and the console's copy.
    RuleAction Evaluate(SessionRecord &record) { return Evaluate(record, &record); }

    BOOL Open();
    BOOL BeginRead();
    void EndRead();
    void *Rebase(DWORD consoleAddress) const;

    // When the image cannot be read, ClassifyZone gives ZONE_INTERNET and
    // MatchProgramRule ACTION_PASS; read, when given, tells which it was.
    int PreCheck(SessionRecord &record);
    ZoneKind ClassifyZone(SessionRecord &record, BOOL *read = 0);
    BOOL MatchZoneList(const AclSection<ZoneEntry> &list, SessionRecord &record);
    RuleAction MatchProgramRule(SessionRecord &record, BOOL *read = 0);
    RuleAction CheckPortRules(const SessionRecord &record, const ProgramRule &rule);
    BOOL CheckTimeRule(DWORD timeId, DWORD startTime);
    RuleAction AskConsole(SessionRecord &record, BYTE state);

    BOOL IsExemptProcess();
    BOOL IsConsoleProcess();
    static BOOL MatchExemptList(const char *const *list, const char *path, int count);
    void DetectPlatform();

    void SetWorkMode(BYTE mode);
    BYTE GetWorkMode() const;

    // PreCheck's result for a socket that goes on to the zone and the rules.
    enum { GO_ON = 3 };
    // Waits in steps of ACL_WAIT_STEP_MS: the console's answer is looked for
    // once a cycle, and at most ASK_CYCLES cycles are waited: ten minutes, or
    // the few seconds of the provider that tests of an unanswered question
    // build (QFW_ASK_CYCLES).
    enum { ASK_STEPS_PER_CYCLE = 10, ASK_CYCLES = QFW_ASK_CYCLES };
    // How many steps a reader waits for a rebuild or an edit to finish
    // before it reads the image as it stands. A flag that stays set after
    // such a wait was left by a console that died: later readers do not wait
    // for it again while the flag (and the gate word) stay unchanged.
    enum { IMAGE_WAIT_STEPS = 50 };

    // The image as mapped in this process (none before the first read).
    const CAclImageView &Image() const { return m_image; }

private:
    // Bytes that another process writes while this one polls them.
    static BYTE LoadShared(const volatile BYTE &value) { return value; }

    // What the console announced; the mapping belongs to one announcement.
    struct Announcement {
        DWORD Generation;
        DWORD Handle;
        DWORD ConsoleView;
        DWORD Size;
    };

    // What a bounded wait found stuck; a flag only counts as stuck while it
    // is the same as when the wait gave up.
    struct StuckFlags {
        BOOL Updating;       // AclUpdating stayed set...
        DWORD Generation;    // ...in this generation
        BOOL Gate;           // the writer flag stayed set...
        LONG GateWord;       // ...with the gate word as it then was
    };

    RuleAction Decide(SessionRecord &own, SessionRecord *shared);
    RuleAction Ask(SessionRecord &own, SessionRecord *shared);
    RuleAction Store(SessionRecord &record, RuleAction verdict, BYTE byRule);
    BOOL WaitWhileUpdating();
    BOOL UpdatingIsStuck() const;
    BOOL EnterGate();
    Announcement CurrentAnnouncement() const;
    BOOL MapBlock(const Announcement &announced);
    void DropMapping();
    const ProgramRule *FindProgramRule(const char *path);
    RuleAction ActionForZone(const SessionRecord &record, const ProgramRule &rule, BYTE mode);

    CAclImageView m_image; // the mapped block, its header and the rebasing
    HANDLE m_block;
    BOOL m_win9x;
    // Whether the program is one of the platform's exempt ones: the program
    // and the list do not change in a process, so it is found out once.
    int m_listedExempt; // -1 until found out
    Announcement m_mapped;
    CProgramRuleIndex m_ruleIndex;
    StuckFlags m_stuck;
    // Reads entered past a stuck writer flag, which raised no reader count.
    int m_uncountedReads;

    ProviderControlBlock *m_control;
    char *m_consolePath;
    DecisionLockLookup m_decisionLock;
    AclSleepStep m_sleep;
    char m_programPath[MAX_PATH];
};
