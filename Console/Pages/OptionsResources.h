// Resource and control ids of the options page's dialogs, the tips window
// and the privacy page. The resource script and the windows share them.
#pragma once

// Dialog templates.
#define IDD_TIPS 3
#define IDD_PRIVACY_PAGE 136
#define IDD_PASSWORD 149
#define IDD_LOGON 150

// The password dialog: labels before their entries.
#define IDC_PW_OLD_LABEL 1103
#define IDC_PW_NEW_LABEL 1104
#define IDC_PW_CONFIRM_LABEL 1105
#define IDC_PW_OLD 1106
#define IDC_PW_NEW 1107
#define IDC_PW_CONFIRM 1108

// The logon dialog.
#define IDC_LOGON_LABEL 1107
#define IDC_LOGON_PASSWORD 1108

// The tips window.
#define IDC_TIPS_CROSS 1021
#define IDC_TIPS_TITLE 1048
#define IDC_TIPS_SHOW_AT_START 1196
#define IDC_TIPS_NEXT 32260
#define IDC_TIPS_TEXT 32261
#define IDC_TIPS_HEADING 32262
