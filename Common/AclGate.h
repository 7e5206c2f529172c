// The writer flag and reader count at the head of the rule image. The console
// is the one writer; provider readers in every process enter and leave while
// it may be writing. The two 16-bit words are worked as one 32-bit word with
// interlocked operations: a reader is counted only while the writer flag is
// clear in the same atomic step, and the count never goes below 0, even when
// the writer has forced it to 0 while a reader was still inside.
#pragma once

#include "AclImage.h"

// Sleeps one step of a wait; tests put in a step that costs no time.
typedef void (*AclSleepStep)(DWORD milliseconds);

void AclSleep(DWORD milliseconds);

enum {
    ACL_WAIT_STEP_MS = 100,
    ACL_READER_WAIT_STEPS = 50, // the writer's wait for readers, about 5 s
};

class CAclGate {
public:
    explicit CAclGate(AclHeader *header, AclSleepStep sleep = AclSleep)
        : m_word(reinterpret_cast<volatile LONG *>(header)), m_sleep(sleep)
    {
    }

    // Reader side: one attempt to enter; FALSE while the writer flag is set.
    BOOL TryEnterRead();
    void LeaveRead();

    // Writer side. LockForWrite waits without limit for the flag to be free,
    // sets it, then gives the readers inside a bounded time to leave before
    // it forces their count to 0. TakeOver does the same without waiting for
    // the flag and leaves it clear: the last step before the block goes.
    void LockForWrite();
    void Unlock();
    void TakeOver();

    // The writer flag and reader count as one word, as they stand.
    LONG Word() const { return *m_word; }

private:
    void WaitForReaders();

    volatile LONG *m_word;
    AclSleepStep m_sleep;
};
