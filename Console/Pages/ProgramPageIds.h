// The program page's template and controls, shared by its resource script
// and the page.
#pragma once

#define IDD_PROGRAM_PAGE 134

// The view buttons: General (hidden for good), Program, Time.
#define IDC_VIEW_GENERAL 1004
#define IDC_VIEW_PROGRAM 1005
#define IDC_VIEW_TIME 1006

// The General view: the program security level.
#define IDC_LEVEL_SLIDER 1019
#define IDC_LEVEL_GROUP 1020
#define IDC_LEVEL_TEXT 1067
#define IDC_LEVEL_HIGH 1068
#define IDC_LEVEL_MIDDLE 1069
#define IDC_LEVEL_LOW 1070

// The Program view: the rule grid, and the icons that stand in for a
// program's own: for a file that holds none, and for one that cannot be read.
#define IDC_RULE_GRID 1079
#define IDI_PROGRAM_NO_ICON 301
#define IDI_PROGRAM_LOST 302

// The Time view. Schedule n has the button IDC_SCHEDULE_1 + n - 1.
#define IDC_SCHEDULE_1 1021
#define IDC_SCHEDULE_7 1027
#define IDC_WEEK_CAPTION 1028
// The week-day cells, not in day order: Sunday to Wednesday, Thursday,
// Saturday, Friday.
#define IDC_WEEKDAY_FIRST 1029
#define IDC_WEEKDAY_SUNDAY 1029
#define IDC_WEEKDAY_MONDAY 1030
#define IDC_WEEKDAY_TUESDAY 1031
#define IDC_WEEKDAY_WEDNESDAY 1032
#define IDC_WEEKDAY_THURSDAY 1033
#define IDC_WEEKDAY_SATURDAY 1034
#define IDC_WEEKDAY_FRIDAY 1035
#define IDC_WEEKDAY_LAST 1035
#define IDC_TIME_CAPTION 1036
#define IDC_START_TIME 1037
#define IDC_END_TIME 1038
#define IDC_START_CAPTION 1039
#define IDC_END_CAPTION 1040
#define IDC_SCHEDULE_APPLY 1041
