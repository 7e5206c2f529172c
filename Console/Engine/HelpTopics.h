// The console's help: which topic of Ferrowind.chm a window's help request
// opens, and the system's HTML Help entry that shows it.
#pragma once

#include <windows.h>

#include <CString.h>

#include <functional>

// A help request's data is this base plus the template id of the window.
const DWORD HELP_DATA_BASE = 0x20000;

// The topic for a window's template id, such as "::/options.htm"; the
// pages that change their view give their current topic through
// pageTopic. Empty: the window has no help.
CString HelpTopicFor(UINT templateId, const std::function<CString(UINT pageId)> &pageTopic);

typedef HWND(WINAPI *HtmlHelpEntry)(HWND owner, LPCSTR path, UINT command, DWORD_PTR data);

// HtmlHelpA of hhctrl.ocx, loaded at the first call; NULL without it.
HtmlHelpEntry SystemHtmlHelp();
