// The host dialog: a hidden modeless dialog made from the kit's template, a
// parent with the dialog manager's ways (font, dialog units, navigation) for
// the controls and pages under test. It records the commands, notifications
// and custom messages it receives.
#pragma once

#include "MessageLog.h"

class CHostDialog {
public:
    CHostDialog();
    ~CHostDialog();
    CHostDialog(const CHostDialog &) = delete;
    CHostDialog &operator=(const CHostDialog &) = delete;

    HWND Handle() const { return m_dialog; }
    CMessageLog &Log() { return m_log; }

    // Moves the dialog's outer rectangle to the screen point, shows it in
    // front and waits until it has painted.
    void Show(POINT topLeft = POINT{100, 100});

private:
    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_dialog = nullptr;
    CMessageLog m_log;
};
