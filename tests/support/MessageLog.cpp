#include "MessageLog.h"

void CMessageLog::Record(UINT message, WPARAM wParam, LPARAM lParam)
{
    RecordedMessage record = {message, wParam, lParam, 0, 0, nullptr};
    if (message == WM_COMMAND) {
        record.id = LOWORD(wParam);
        record.code = HIWORD(wParam);
        record.from = reinterpret_cast<HWND>(lParam);
    } else if (message == WM_NOTIFY) {
        const NMHDR *header = reinterpret_cast<const NMHDR *>(lParam);
        record.id = static_cast<UINT>(header->idFrom);
        record.code = header->code;
        record.from = header->hwndFrom;
    } else if (message < WM_USER) {
        return;
    }
    m_messages.push_back(record);
}

int CMessageLog::Count(UINT message, UINT id, UINT code) const
{
    int count = 0;
    for (const RecordedMessage &m : m_messages)
        count += m.message == message && m.id == id && m.code == code;
    return count;
}

int CMessageLog::Count(UINT message) const
{
    int count = 0;
    for (const RecordedMessage &m : m_messages)
        count += m.message == message;
    return count;
}
