// The real console's connection-query pop-ups as a program beside it finds
// them on the screen: the visible windows of the console's process that
// carry both answer buttons, the topmost first.
#pragma once

#include <windows.h>

#include <vector>

#include <ProgramQueryIds.h>

#include "GuiPump.h"

struct QueryPopupSearch {
    DWORD Process;
    std::vector<HWND> Found;
};

inline BOOL CALLBACK CollectQueryPopup(HWND window, LPARAM param)
{
    QueryPopupSearch &search = *reinterpret_cast<QueryPopupSearch *>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.Process && IsWindowVisible(window) && GetDlgItem(window, IDC_QUERY_ALLOW) &&
        GetDlgItem(window, IDC_QUERY_DENY))
        search.Found.push_back(window);
    return TRUE;
}

inline std::vector<HWND> QueryPopupsOf(DWORD process)
{
    QueryPopupSearch search = {process, {}};
    EnumWindows(CollectQueryPopup, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// A pop-up fades in by ticks of 100 ms and raises itself to the top at each,
// once more at the tick after it became opaque. A click aimed at one of
// several pop-ups stacked at one place lands on it only once all have
// stopped: true when every pop-up of the process is opaque and that last
// tick has had time to pass, within the limit.
inline bool AwaitQueryPopupsFadedIn(DWORD process, DWORD limitMs = 20000)
{
    const DWORD LAST_TICK_MS = 400;
    const bool opaque = PumpUntil(
        [process] {
            for (HWND popup : QueryPopupsOf(process)) {
                BYTE alpha = 255;
                DWORD flags = 0;
                if ((GetWindowLongA(popup, GWL_EXSTYLE) & WS_EX_LAYERED) &&
                    GetLayeredWindowAttributes(popup, NULL, &alpha, &flags) && alpha < 255)
                    return false;
            }
            return true;
        },
        limitMs);
    PumpFor(LAST_TICK_MS);
    return opaque;
}
