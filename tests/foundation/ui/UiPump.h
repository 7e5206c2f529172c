// Message pumping for the window layer's tests: every message goes through
// the library's PreTranslateMessage walk, as in the application's loop.
#pragma once

#include <windows.h>

#include <functional>

#include "CWinApp.h"

// Handles what is queued now; WM_QUIT is left in the queue.
inline void PumpPending()
{
    MSG msg;
    while (::PeekMessageA(&msg, NULL, 0, 0, PM_NOREMOVE) && msg.message != WM_QUIT)
    {
        ::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE);
        if (!AfxPreTranslateMessage(&msg))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

// Pumps until the condition holds; false when the time ran out first.
inline bool PumpUntil(const std::function<bool()> &condition, DWORD dwTimeoutMs = 5000)
{
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        PumpPending();
        if (condition())
            return true;
        if (::GetTickCount() - dwStart > dwTimeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
}
