// The options page's controls, shared by its resource script and the page.
#pragma once

#include "ConsoleResources.h"

// The group captions, each framing its group.
#define IDC_SYS_GENERAL_GROUP 1070
#define IDC_SYS_PASSWORD_GROUP 1066
#define IDC_SYS_UPDATE_GROUP 1067
#define IDC_SYS_ALARM_GROUP 1069
// The console password: set it, log on or off.
#define IDC_SYS_SET_PASSWORD 1005
#define IDC_SYS_LOG_ON_OFF 1118
// Updates.
#define IDC_SYS_AUTO_UPDATE 1061
#define IDC_SYS_CHECK_UPDATE 1004
// Alarms of refused connections.
#define IDC_SYS_SOUND_ALARM 1064
#define IDC_SYS_WINDOW_ALARM 1065
// Start with Windows.
#define IDC_SYS_AUTO_START 1060
