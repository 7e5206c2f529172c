// Resource ids of the window layer's test templates.
#pragma once

#define IDD_MAIN 100          // a main dialog, created hidden, with a help button
#define IDD_PAGE 101          // a child page with one control of each kind
#define IDD_MODAL 102         // a modal dialog without WS_VISIBLE
#define IDD_POPUP 103         // a small modeless pop-up
#define IDD_PLAIN 104         // buttons only: OK, Cancel, Abort, a plain button
#define IDD_MISSING 199       // no such template

#define IDC_MAIN_BUTTON 1001
#define IDC_CHECK 1010        // a static check box (SS_NOTIFY)
#define IDC_OWNERDRAW 1011
#define IDC_TEXT 1012
#define IDC_NUMBER 1013
#define IDC_LIST 1014
#define IDC_SLIDER 1015
#define IDC_DATE 1016
#define IDC_LABEL 1017        // a static without SS_NOTIFY
#define IDC_PLAIN_BUTTON 1020
#define IDC_MODAL_EDIT 1030

#define IDM_CONTEXT 150
#define ID_CMD_CHILD 32776
#define ID_CMD_EXIT 32772


// The resource compiler cannot read the library's headers.
#ifdef RC_INVOKED
#define ID_HELP 0xE146
#endif
