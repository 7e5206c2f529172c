// A notification area of the test program's own for the console's icon: a
// window of the class Shell_NotifyIcon hands its requests to, above the
// system's own, on a thread of its own so that it answers while the caller
// waits. It refuses every request until it is told to take them, counts
// both kinds, and notes when the first request came.
#pragma once

#include <windows.h>

#include <thread>

class CStandInNotificationArea
{
public:
    // takesIcons: whether requests are answered as done from the start.
    explicit CStandInNotificationArea(bool takesIcons);
    ~CStandInNotificationArea();
    CStandInNotificationArea(const CStandInNotificationArea &) = delete;
    CStandInNotificationArea &operator=(const CStandInNotificationArea &) = delete;

    bool Made() const { return m_window != nullptr; }
    LONG Refused() const { return m_refused; }
    LONG Accepted() const { return m_accepted; }
    // From now on every request is answered as done.
    void Accept() { InterlockedExchange(&m_takesIcons, 1); }
    // The performance counter's reading, in seconds, at the first request
    // since the last Forget; 0 before one came.
    double FirstRequestSeconds() const { return m_firstRequest; }
    void Forget();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    volatile LONG m_takesIcons;
    std::thread m_thread;
    HWND m_window = nullptr;
    volatile LONG m_refused = 0;
    volatile LONG m_accepted = 0;
    volatile double m_firstRequest = 0.0;
};
