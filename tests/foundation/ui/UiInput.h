// Real input for the window layer's tests: clicks and keys through
// SendInput, as a person gives them.
#pragma once

#include <windows.h>

// A left click at a point of the window's client area.
inline void ClickAt(HWND hWnd, int x, int y)
{
    POINT pt = {x, y};
    ::ClientToScreen(hWnd, &pt);
    const int cxScreen = ::GetSystemMetrics(SM_CXSCREEN);
    const int cyScreen = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT inputs[3] = {};
    for (INPUT &input : inputs)
    {
        input.type = INPUT_MOUSE;
        input.mi.dx = (pt.x * 65536 + cxScreen / 2) / cxScreen;
        input.mi.dy = (pt.y * 65536 + cyScreen / 2) / cyScreen;
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE;
    }
    inputs[0].mi.dwFlags |= MOUSEEVENTF_MOVE;
    inputs[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    inputs[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    ::SendInput(3, inputs, sizeof(INPUT));
}

// A click at the middle of a window.
inline void ClickCenter(HWND hWnd)
{
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    ClickAt(hWnd, rc.right / 2, rc.bottom / 2);
}

// One key pressed and released.
inline void PressKey(WORD wVk)
{
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = inputs[1].ki.wVk = wVk;
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}
