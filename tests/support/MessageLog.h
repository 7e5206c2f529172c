// What a parent window was told: the commands, notifications and custom
// messages (WM_USER and above) it received, in order.
#pragma once

#include <windows.h>
#include <vector>

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam; // for WM_NOTIFY an address that is gone after the call
    UINT id;       // the control's id (WM_COMMAND, WM_NOTIFY), else 0
    UINT code;     // the notification code (WM_COMMAND, WM_NOTIFY), else 0
    HWND from;     // the control (WM_COMMAND, WM_NOTIFY), else NULL
};

class CMessageLog {
public:
    // Keeps the message when it is one of the kinds above.
    void Record(UINT message, WPARAM wParam, LPARAM lParam);

    const std::vector<RecordedMessage> &Messages() const { return m_messages; }
    // How many messages of this kind came, from this control id with this code.
    int Count(UINT message, UINT id, UINT code) const;
    // How many messages of this kind came at all.
    int Count(UINT message) const;
    void Clear() { m_messages.clear(); }

private:
    std::vector<RecordedMessage> m_messages;
};
