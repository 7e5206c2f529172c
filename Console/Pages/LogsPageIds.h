// The log page's controls and icons, shared by its resource script and the
// page; its template, row menu and commands are the console's.
#pragma once

#include "ConsoleResources.h"

// The tab buttons at the top right.
#define IDC_LOGS_FIREWALL_TAB 1003
#define IDC_LOGS_PROGRAMS_TAB 1082
// The firewall tab: live packet lines.
#define IDC_FIREWALL_GRID 1083
// The programs tab: the query controls over the connection log's grid.
#define IDC_PROGRAM_LOG_GRID 1084
#define IDC_WINDOW_END 1085
#define IDC_WINDOW_START 1086
#define IDC_LOGS_QUERY 1004
#define IDC_LOGS_PROGRAM 1110
#define IDC_LOGS_ACTION 1111

// The icons of a program row whose file has no icon, and whose file cannot
// be read.
#define IDI_PROGRAM_NO_ICON 301
#define IDI_PROGRAM_MISSING 302
