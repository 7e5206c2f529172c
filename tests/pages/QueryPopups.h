// The real console's connection-query pop-ups as a program beside it finds
// them on the screen: the visible windows of the console's process that
// carry both answer buttons, the topmost first.
#pragma once

#include <windows.h>

#include <vector>

#include <ProgramQueryIds.h>

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
