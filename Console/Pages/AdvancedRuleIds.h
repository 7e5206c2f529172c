// The advanced rule dialog's template and controls, shared by its resource
// script and the dialog.
#pragma once

#define IDD_ADVANCED_RULE 142

// The caption buttons; the help button is the class library's ID_HELP.
#define IDC_ADV_CLOSE 1001
#define IDC_ADV_MINIMIZE 1002
#define IDC_ADV_HELP 57670
#define IDC_ADV_TITLE 1048
#define IDC_ADV_INFO 1116

// The zone tabs.
#define IDC_ADV_INTERNET_TAB 1004
#define IDC_ADV_TRUSTED_TAB 1005

// The protocol switches and their group.
#define IDC_ADV_PROTOCOL_GROUP 1081
#define IDC_ADV_TCP_ACCESS 1080
#define IDC_ADV_TCP_SERVER 1062
#define IDC_ADV_UDP_ACCESS 1063
#define IDC_ADV_UDP_SERVER 1064

// The remote ports: all, a range or a list.
#define IDC_ADV_PORT_GROUP 1019
#define IDC_ADV_PORT_ALL 1067
#define IDC_ADV_PORT_RANGE 1068
#define IDC_ADV_PORT_LIST 1069
#define IDC_ADV_RANGE_FRAME 1021
#define IDC_ADV_RANGE_FROM_LABEL 1070
#define IDC_ADV_RANGE_TO_LABEL 1071
#define IDC_ADV_RANGE_FROM 1091
#define IDC_ADV_RANGE_TO 1092
#define IDC_ADV_PORT_LIST_EDIT 1094

// The time schedule.
#define IDC_ADV_TIME_GROUP 1020
#define IDC_ADV_SCHEDULE 1090

// What a refused connection does: ask or deny.
#define IDC_ADV_ACTION_GROUP 1018
#define IDC_ADV_ACTION_QUERY 1065
#define IDC_ADV_ACTION_DENY 1066

// OK and Cancel are IDOK and IDCANCEL; Apply is 3.
#define IDC_ADV_APPLY 3
