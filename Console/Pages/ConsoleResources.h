// The console's resource and command ids: dialog templates, menus, pictures
// and the controls and commands of its windows. The resource script and the
// windows share them.
#pragma once

// Icons and bitmaps of the program.
#define IDI_CONSOLE 128
#define IDB_SPLASH 129

// Dialog templates: the main window and its six pages (a page's tab id is
// its template id).
#define IDD_MAIN_FRAME 102
#define IDD_SYSTEM_PAGE 131
#define IDD_MONITOR_PAGE 132
#define IDD_FIREWALL_PAGE 133
#define IDD_PROGRAM_PAGE 134
#define IDD_LOGS_PAGE 137
#define IDD_INFO_PAGE 141
// Dialogs that have a help topic of their own.
#define IDD_ZONE_EDITOR 140
#define IDD_ADVANCED_RULE 142

// Menus: the notification-area icon's menu (its id is the icon's uID) and
// the pages' context menus.
#define IDR_TRAY_MENU 130
#define IDR_CONTEXT_MENUS 139

// Sub-menus of IDR_CONTEXT_MENUS, by position.
#define CONTEXT_MENU_ZONE 0
#define CONTEXT_MENU_PROGRAM 1
#define CONTEXT_MENU_MONITOR 2
#define CONTEXT_MENU_LOCK 3
#define CONTEXT_MENU_PROGRAM_LOGS 4
#define CONTEXT_MENU_FLUX 5

// The main window's controls.
#define IDC_SIDE_OPTIONS 1000
#define IDC_CAPTION_HIDE 1001
#define IDC_CAPTION_MINIMIZE 1002
#define IDC_SIDE_FIREWALL 1003
#define IDC_SIDE_PROGRAM 1004
#define IDC_SIDE_LOGS 1007
#define IDC_SIDE_MONITOR 1008
#define IDC_SIDE_INFO 1009
#define IDC_LOCK_SWITCH 1010
#define IDC_CAPTION_MAXIMIZE 1011
#define IDC_LOCK_LABEL 1114
// The help button is the class library's ID_HELP (57670).
#define IDC_CAPTION_HELP 57670

// Commands of the tray menu (the lock switch's id is its Lock command).
#define ID_TRAY_OPEN 32771
#define ID_TRAY_EXIT 32772
#define ID_TRAY_TOP_MOST 32791
#define ID_TRAY_SHOW_TIPS 32801

// Commands of the context menus.
// Zone and Program: delete the selected entry.
#define ID_MENU_DELETE 32774
#define ID_ZONE_MODIFY 32775
#define ID_ZONE_ADD_HOST 32776
#define ID_ZONE_ADD_ADDRESS 32777
#define ID_ZONE_ADD_RANGE 32778
#define ID_ZONE_ADD_SUBNET 32779
#define ID_PROGRAM_OPTION 32781
#define ID_MONITOR_KILL 32782
#define ID_LOCK_DENY 32784
#define ID_LOCK_PASS 32785
#define ID_PROGRAM_PROPERTIES 32786
#define ID_LOGS_DELETE 32787
#define ID_LOGS_DELETE_PAGE 32788
#define ID_LOGS_DELETE_ALL 32789
#define ID_LOGS_CLEAN_LIST 32790
#define ID_FLUX_5K 32792
#define ID_FLUX_10K 32793
#define ID_FLUX_20K 32794
#define ID_FLUX_40K 32795
#define ID_FLUX_80K 32796
#define ID_FLUX_160K 32797
#define ID_FLUX_320K 32798
#define ID_FLUX_640K 32799
#define ID_FLUX_1280K 32800

// The firewall page's controls.
#define IDC_FW_GENERAL_VIEW 1004
#define IDC_FW_TRUSTED_VIEW 1042
#define IDC_FW_BLOCKED_VIEW 1043
#define IDC_FW_INTERNET_SLIDER 1015
#define IDC_FW_TRUSTED_SLIDER 1016
#define IDC_FW_INTERNET_GROUP 1017
#define IDC_FW_TRUSTED_GROUP 1018
#define IDC_FW_BLOCKED_GROUP 1019
#define IDC_FW_INTERNET_TEXT 1056
#define IDC_FW_TRUSTED_TEXT 1057
#define IDC_FW_BLOCKED_TEXT 1058
#define IDC_FW_INTERNET_HIGH 1059
#define IDC_FW_INTERNET_MIDDLE 1060
#define IDC_FW_INTERNET_LOW 1061
#define IDC_FW_TRUSTED_HIGH 1062
#define IDC_FW_TRUSTED_MIDDLE 1063
#define IDC_FW_TRUSTED_LOW 1064
#define IDC_FW_TRUSTED_GRID 1077
#define IDC_FW_BLOCKED_GRID 1078

// The zone editor's controls (OK and Cancel are IDOK and IDCANCEL; the
// Lookup button's id equals IDABORT, which the editor never handles).
#define IDC_ZONE_CLOSE 1001
#define IDC_ZONE_LOOKUP 3
#define IDC_ZONE_HOST_NAME 1043
#define IDC_ZONE_DESCRIPTION 1044
#define IDC_ZONE_NOTE 1045
#define IDC_ZONE_HOST_LABEL 1046
#define IDC_ZONE_DESCRIPTION_LABEL 1047
#define IDC_ZONE_TITLE 1048
#define IDC_ZONE_FIRST_LABEL 1050
#define IDC_ZONE_SECOND_LABEL 1051
#define IDC_ZONE_SECOND_ADDRESS 1053
#define IDC_ZONE_FIRST_ADDRESS 1054
