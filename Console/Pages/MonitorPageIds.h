// The traffic monitor page's controls and icons, shared by its resource
// script and the page; its template, menus and commands are the console's.
#pragma once

#include "ConsoleResources.h"

// The tab buttons at the top right.
#define IDC_MONITOR_FLUX_TAB 1109
#define IDC_MONITOR_ONLINE_TAB 1143
// The traffic tab: the two graphs, their scale buttons and label rows.
#define IDC_RECEIVED_GRAPH 1126
#define IDC_SENT_GRAPH 1127
#define IDC_RECEIVED_SCALE 1142
#define IDC_SENT_SCALE 1144
#define IDC_RECEIVED_UNIT 1113
#define IDC_SENT_UNIT 1114
#define IDC_RECEIVED_RATE_LABEL 1115
#define IDC_SENT_RATE_LABEL 1116
#define IDC_RECEIVED_RATE 1117
#define IDC_SENT_RATE 1118
#define IDC_RECEIVED_TOTAL_LABEL 1119
#define IDC_SENT_TOTAL_LABEL 1120
#define IDC_RECEIVED_TOTAL 1121
#define IDC_SENT_TOTAL 1122
// The connections tab: the tree, its protocol filter and the end button.
#define IDC_CONNECTION_TREE 1053
#define IDC_PROTOCOL_FILTER 1055
#define IDC_KILL_PROCESS 1004
