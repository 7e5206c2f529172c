// A plain top-level window that records the commands, notifications and
// custom messages its children send it, then gives them the default
// processing. Controls under test are created as its children.
#pragma once

#include "MessageLog.h"

class CRecordingParent {
public:
    // A window with a caption over `screen` (the outer rectangle), shown.
    explicit CRecordingParent(const RECT &screen = RECT{100, 100, 500, 400});
    ~CRecordingParent();
    CRecordingParent(const CRecordingParent &) = delete;
    CRecordingParent &operator=(const CRecordingParent &) = delete;

    HWND Handle() const { return m_window; }
    CMessageLog &Log() { return m_log; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    CMessageLog m_log;
};
