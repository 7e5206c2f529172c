// Windows that this thread cannot make, as when the session's window quota
// is spent: while a scope lives, every window of one class that the thread
// asks for is refused at its creation. Lets a test see what its code does
// when a window, or a control of a dialog's template, cannot be made.
#pragma once

#include <windows.h>

#include <string>

class CRefusedWindows
{
public:
    explicit CRefusedWindows(const char *className);
    ~CRefusedWindows();

    CRefusedWindows(const CRefusedWindows &) = delete;
    CRefusedWindows &operator=(const CRefusedWindows &) = delete;

    // How many windows were refused so far.
    int Refused() const { return m_refused; }

private:
    static LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam);

    HHOOK m_hook;
    std::string m_className;
    int m_refused = 0;
};
