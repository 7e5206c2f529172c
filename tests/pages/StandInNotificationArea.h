// A notification area of the test program's own for the console's icon: a
// window of the class Shell_NotifyIcon hands its requests to, above the
// system's own, on a thread of its own so that it answers while the caller
// waits. It takes or refuses every request, counts them, and notes when the
// first came.
#pragma once

#include <windows.h>

#include <thread>

class CStandInNotificationArea
{
public:
    // takesIcons: whether each request is answered as done.
    explicit CStandInNotificationArea(bool takesIcons);
    ~CStandInNotificationArea();
    CStandInNotificationArea(const CStandInNotificationArea &) = delete;
    CStandInNotificationArea &operator=(const CStandInNotificationArea &) = delete;

    bool Made() const { return m_window != nullptr; }
    LONG Requests() const { return m_requests; }
    // The performance counter's reading, in seconds, at the first request
    // since the last Forget; 0 before one came.
    double FirstRequestSeconds() const { return m_firstRequest; }
    void Forget();

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    const bool m_takesIcons;
    std::thread m_thread;
    HWND m_window = nullptr;
    volatile LONG m_requests = 0;
    volatile double m_firstRequest = 0.0;
};
