// The window layer's state of one thread: the permanent objects of its
// windows, the message being dispatched, and the window whose control
// notifications UpdateData holds back. Internal to the library.
#pragma once

#include <windows.h>
#include <unordered_map>

class CWnd;

struct AfxWindowThreadState
{
    std::unordered_map<HWND, CWnd *> permanentMap;
    MSG currentMessage = {};            // for CWnd::Default
    HWND hWndLockoutNotify = NULL;      // UpdateData running on this window
};

AfxWindowThreadState &AfxGetWindowThreadState();
