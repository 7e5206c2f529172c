// Resource ids of the sample program, shared with its tests.
#pragma once

#define IDD_SAMPLE_MAIN 300
#define IDD_SAMPLE_PAGE 301
#define IDD_SAMPLE_MODAL 302
#define IDR_SAMPLE_MENUS 310 // sub-menu 0: the list's; 1: the page's

// The page's controls, in their tab order.
#define IDC_CHECK 1001
#define IDC_NAME 1002
#define IDC_NUMBER 1003
#define IDC_SAVE 1004
#define IDC_LIST 1005

// The main dialog's and the modal dialog's buttons.
#define IDC_OPEN_MODAL 1011
#define IDC_SHOW_POPUP 1012
#define IDC_ASK 1021
#define IDC_CLOSE_ALL 1022

// Menu commands: the list's own, and the main dialog's "Exit", which the
// page's menu also carries without handling it.
#define ID_LIST_MARK 32780
#define ID_APP_EXIT_SAMPLE 32772

// Asks the main dialog to destroy itself.
#define WM_SAMPLE_CLOSE_MAIN (WM_APP + 1)
