// Resource numbers of Update.exe.
#pragma once

#define IDD_UPDATE 102
#define IDI_UPDATE 128

#define IDC_CURRENT_BAR 1001
#define IDC_STOP 1002
#define IDC_TOTAL_BAR 1003
#define IDC_CURRENT_LABEL 1004
#define IDC_TOTAL_LABEL 1005
#define IDC_STEP_TEXT 1006
#define IDC_FILE_TEXT 1007
