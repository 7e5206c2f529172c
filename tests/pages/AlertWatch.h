// What the traffic monitor's tests see of the refusal alert: its slide-in
// windows on this thread, and the sounds it would have played, recorded in
// place of the system's player.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The alert sound's calls, once RecordSound is the player.
inline std::vector<std::string> g_sounds;
inline BOOL WINAPI RecordSound(LPCSTR sound, HMODULE, DWORD)
{
    g_sounds.push_back(sound);
    return TRUE;
}

// The slide-in alerts of this thread: windows with the alert's title and
// port labels.
inline BOOL CALLBACK CountAlert(HWND window, LPARAM count)
{
    if (::GetDlgItem(window, 1048) && ::GetDlgItem(window, 1024) && (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
        ++*reinterpret_cast<int *>(count);
    return TRUE;
}
inline int AlertCount()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountAlert, reinterpret_cast<LPARAM>(&count));
    return count;
}
