// Templates of the skinned windows' and controls' tests.
#pragma once

#define IDD_SKIN_POPUP 140
#define IDD_SKIN_PAGE 141
#define IDD_SKIN_CONTROLS 142

#define IDC_SKIN_CHECK 1001
#define IDC_SKIN_BUTTON 1002
#define IDC_SKIN_SLIDER 1003
#define IDC_SKIN_MASKED 1004
