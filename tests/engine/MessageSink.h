// A hidden window of the test's thread that keeps every message posted to
// it in one of a range, as a page of the console would receive them.
#pragma once

#include <windows.h>
#include <algorithm>
#include <vector>

struct PostedMessage {
    UINT Message;
    WPARAM WParam;
    LPARAM LParam;

    bool operator==(const PostedMessage &other) const
    {
        return Message == other.Message && WParam == other.WParam && LParam == other.LParam;
    }
};

class CMessageSink {
public:
    CMessageSink(UINT first, UINT last) : m_first(first), m_last(last)
    {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(NULL);
        windowClass.lpszClassName = kClassName;
        RegisterClassA(&windowClass); // fails harmlessly once registered
        m_window = CreateWindowExA(0, kClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL,
                                   windowClass.hInstance, NULL);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CMessageSink() { DestroyWindow(m_window); }
    CMessageSink(const CMessageSink &) = delete;
    CMessageSink &operator=(const CMessageSink &) = delete;

    HWND Window() const { return m_window; }

    // Delivers what has been posted to this thread's windows so far.
    static void Pump()
    {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
    }

    // Pumps until a message arrives or about 20 seconds have gone.
    bool WaitFor(const PostedMessage &message)
    {
        for (int step = 0; step < 200 && !Has(message); ++step) {
            MsgWaitForMultipleObjects(0, NULL, FALSE, 100, QS_POSTMESSAGE);
            Pump();
        }
        return Has(message);
    }

    const std::vector<PostedMessage> &Messages() const { return m_messages; }
    void Clear() { m_messages.clear(); }

    int Count(const PostedMessage &message) const
    {
        return static_cast<int>(std::count(m_messages.begin(), m_messages.end(), message));
    }
    bool Has(const PostedMessage &message) const { return Count(message) > 0; }

private:
    static constexpr const char *kClassName = "QfwTestMessageSink";

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        CMessageSink *sink =
            reinterpret_cast<CMessageSink *>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (sink && message >= sink->m_first && message <= sink->m_last) {
            sink->m_messages.push_back({message, wParam, lParam});
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    }

    UINT m_first;
    UINT m_last;
    HWND m_window;
    std::vector<PostedMessage> m_messages;
};
