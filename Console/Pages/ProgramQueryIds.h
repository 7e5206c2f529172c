// The connection-query pop-up's template and controls, shared by its
// resource script and the dialog.
#pragma once

#define IDD_PROGRAM_QUERY 138

#define IDC_QUERY_TITLE 1048
#define IDC_QUERY_INFO 1049
#define IDC_QUERY_ALLOW 1092
#define IDC_QUERY_DENY 1093
#define IDC_QUERY_APP_LABEL 1095
#define IDC_QUERY_IP_LABEL 1097
#define IDC_QUERY_PORT_LABEL 1098
#define IDC_QUERY_IP 1100
#define IDC_QUERY_PORT 1101
#define IDC_QUERY_REMEMBER 1102
#define IDC_QUERY_VIEW 1103
#define IDC_QUERY_FILE 1104
#define IDC_QUERY_MORE_CAPTION 1105
#define IDC_QUERY_MORE 1106
