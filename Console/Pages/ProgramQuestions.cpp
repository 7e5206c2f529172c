// The program page's part in the questions: a record of the connection
// table whose provider waits, or a connection the driver holds, becomes a
// query pop-up.
//
// The poller posts its message again every second while a record asks, and
// messages queue up while the page is busy (a modal loop, a locked store).
// So the record's State is read once and only the move from asking to
// shown opens a pop-up; a record already shown, answered, free or closed is
// left as it is. A pop-up that cannot be made refuses its connection at
// once. Indexes come in a message any program can post: one outside the
// table or the ring is ignored.
#include "ProgramFrame.h"

#include "ConsoleMessages.h"
#include "FirewallTypes.h"
#include "ProgramQueryDialog.h"
#include "SessionMonitor.h"

namespace {

const QuestionSources kPollerTables = {
    CSessionMonitor::GetSessionTable,
    CSessionMonitor::GetSessionCount,
    CSessionMonitor::GetQueueRecord,
};

enum { QUESTION_RECORD = 0, QUESTION_DRIVER = 3 };

} // namespace

LRESULT CProgramFrame::OnSessionQuery(WPARAM wParam, LPARAM lParam)
{
    if (!m_questions.Sessions)
        m_questions = kPollerTables;
    if (wParam == QUESTION_RECORD)
        AskAboutRecord(lParam);
    else if (wParam == QUESTION_DRIVER)
        AskAboutDriverQuestion(lParam);
    return 0;
}

void CProgramFrame::AskAboutRecord(LPARAM index)
{
    SessionRecord *table = m_questions.Sessions();
    if (!table || index < 0 || static_cast<DWORD>(index) >= m_questions.SessionCount())
        return;
    SessionRecord *record = &table[index];
    BYTE state = __atomic_load_n(&record->State, __ATOMIC_SEQ_CST);
    if (state == SESSION_ASKING) {
        // Only one of the queued messages wins the move to shown.
        if (!__atomic_compare_exchange_n(&record->State, &state, static_cast<BYTE>(SESSION_SHOWN), false,
                                         __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST))
            return;
        CProgramQueryDialog *popup = new CProgramQueryDialog(this, WM_PROGRAM_LIST_CHANGED, m_publisher,
                                                             m_languagePath, m_skinFolder);
        if (!popup->ShowForRecord(record)) {
            // No one can answer a question that is not on screen: it gets the
            // verdict of the wait's limit now, instead of at the limit.
            record->Verdict = ACTION_DENY;
            state = SESSION_SHOWN;
            __atomic_compare_exchange_n(&record->State, &state, static_cast<BYTE>(SESSION_OPEN), false,
                                        __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
        }
    } else if (state > SESSION_ASKING) {
        // Not a value the provider writes: let the socket go.
        record->Verdict = ACTION_PASS;
        __atomic_compare_exchange_n(&record->State, &state, static_cast<BYTE>(SESSION_OPEN), false,
                                    __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    }
}

void CProgramFrame::AskAboutDriverQuestion(LPARAM index)
{
    if (index < 0 || index >= static_cast<LPARAM>(DRIVER_RING_ENTRIES))
        return;
    const DriverQueueRecord *slot = m_questions.QueueRecord(static_cast<int>(index));
    if (!slot)
        return;
    // The driver may reuse the slot while the pop-up is open.
    const DriverQueueRecord question = *slot;
    const DWORD key = QuestionKey(question);
    if (FindPendingQueueKey(key))
        return;
    m_pendingQueueKeys.Add(key);
    CProgramQueryDialog popup(this, WM_PROGRAM_LIST_CHANGED, m_publisher, m_languagePath, m_skinFolder);
    popup.SetFromQueueRecord(question);
    popup.DoModal();
    RemovePendingQueueKey(key);
}

BOOL CProgramFrame::FindPendingQueueKey(DWORD key) const
{
    for (int i = 0; i < m_pendingQueueKeys.GetSize(); ++i)
        if (m_pendingQueueKeys.GetAt(i) == key)
            return TRUE;
    return FALSE;
}

void CProgramFrame::RemovePendingQueueKey(DWORD key)
{
    for (int i = 0; i < m_pendingQueueKeys.GetSize(); ++i)
        if (m_pendingQueueKeys.GetAt(i) == key) {
            m_pendingQueueKeys.RemoveAt(i);
            return;
        }
}
