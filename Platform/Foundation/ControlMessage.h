// SendControlMessage: a message to a control wrapper's window, or the
// member's failure value when the wrapper has no window, so that a control
// member never hands a NULL window to the system and never mistakes "no
// window" for a valid answer such as index 0.
#pragma once

#include "CWnd.h"

inline LRESULT SendControlMessage(const CWnd &control, LRESULT failure, UINT message,
                                  WPARAM wParam = 0, LPARAM lParam = 0)
{
    HWND hWnd = control.GetSafeHwnd();
    return hWnd ? ::SendMessageA(hWnd, message, wParam, lParam) : failure;
}
