// The update dialog's own messages: its steps, and its workers' reports.
#pragma once

#include <windows.h>

enum {
    WM_UPDATE_STEP = 0x401,       // run the current step
    WM_DOWNLOAD_DONE = 0x403,     // the download thread has finished
    WM_DOWNLOAD_PROGRESS = 0x404, // sent: lParam a DownloadProgress*, or 0 for a seen stop
    WM_SHOW_STEP = 0x405,         // show the current step
    WM_UPDATE_CLOSE = 0x406,      // close the dialog, ending the program
};
