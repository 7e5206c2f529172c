#include "AclGate.h"

namespace {

const LONG kWriterMask = 0x0000FFFF;
const LONG kReaderMask = LONG(0xFFFF0000u);
const LONG kOneReader = 0x00010000;

} // namespace

void AclSleep(DWORD milliseconds)
{
    Sleep(milliseconds);
}

BOOL CAclGate::TryEnterRead()
{
    for (;;) {
        LONG seen = Word();
        if ((seen & kWriterMask) != 0 || (seen & kReaderMask) == kReaderMask)
            return FALSE;
        if (InterlockedCompareExchange(m_word, seen + kOneReader, seen) == seen)
            return TRUE;
    }
}

void CAclGate::LeaveRead()
{
    for (;;) {
        LONG seen = Word();
        if ((seen & kReaderMask) == 0)
            return;
        if (InterlockedCompareExchange(m_word, seen - kOneReader, seen) == seen)
            return;
    }
}

void CAclGate::LockForWrite()
{
    for (;;) {
        LONG seen = Word();
        if ((seen & kWriterMask) == 0 &&
            InterlockedCompareExchange(m_word, seen | 1, seen) == seen)
            break;
        if ((seen & kWriterMask) != 0)
            m_sleep(ACL_WAIT_STEP_MS);
    }
    WaitForReaders();
}

void CAclGate::Unlock()
{
    InterlockedAnd(m_word, kReaderMask);
}

void CAclGate::TakeOver()
{
    InterlockedOr(m_word, 1);
    WaitForReaders();
    Unlock();
}

// Readers cannot enter while the flag is set, so the count only falls; one
// that stays inside too long (its process may have died there) is dropped.
void CAclGate::WaitForReaders()
{
    for (int step = 0; step < ACL_READER_WAIT_STEPS && (Word() & kReaderMask) != 0; ++step)
        m_sleep(ACL_WAIT_STEP_MS);
    InterlockedAnd(m_word, kWriterMask);
}
