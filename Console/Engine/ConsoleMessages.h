// Window messages between the console's parts, from the updater to the
// console, and within the updater.
#pragma once

#include <windows.h>

enum {
    // A question waits for the user: to the program page.
    WM_SESSION_QUERY = 10926,
    // A connection or packet event to show: to the traffic monitor page.
    WM_SESSION_UPDATE = 10927,
    // The updater asks the console to quit before it replaces its files: to
    // the main window, which takes it as its Exit command.
    WM_CONSOLE_EXIT = 2357,
    // A packet event of the driver: from the traffic monitor page to the log
    // page, sent; wParam the address of the PacketLogEntry, lParam 0.
    WM_PACKET_LOGGED = 2024,
    // The rules of programs changed (the query pop-up made one): to the
    // program page, which reads them again; wParam and lParam 0.
    WM_PROGRAM_LIST_CHANGED = 2025,
    // Bytes the connections moved since they were last seen: posted by the
    // traffic monitor page to itself at the end of a burst of connection
    // events; wParam 0 received, 1 sent; lParam the count.
    WM_TRAFFIC_DELTA = 10929,
    // A program's connection was seen: from the traffic monitor page to the
    // program page, sent; wParam the rule ID (0: none), lParam 1 while the
    // connection's record is in use, 0 once it was freed.
    WM_PROGRAM_ACTIVE = 10930,
    // A skinned window lays out its controls: posted to itself from its
    // set-up or WM_SIZE, so that the layout sees the final size.
    WM_DEFERRED_LAYOUT = 3025,
    // An action cell of a grid was clicked to a new pass, query or deny:
    // sent to the cell's notify window; wParam the item, lParam the sub-item.
    WM_ACTION_CELL_CHANGED = 2026,
    // A second start of the console asks the running one to show its main
    // window: to the window that carries CONSOLE_INSTANCE_MARKER.
    WM_SHOW_CONSOLE = 3024,
    // The shell's notifications for the console's notification-area icon.
    WM_TRAY_NOTIFY = 1031,
    // The bytes of the second a traffic graph just closed (lParam), with the
    // graph's notify value (wParam: 0 received, 1 sent): to the monitor page.
    WM_FLUX_SAMPLE = 4025,


    // The tips window has closed: to its parent, the main window, which
    // forgets the window.
    WM_TIPS_CLOSED = 2358,
};

// The update dialog's own messages: its steps and its workers' reports.
enum {
    WM_UPDATE_STEP = 0x401,       // run the current step
    WM_DOWNLOAD_DONE = 0x403,     // the download thread has finished; wParam its serial
    WM_DOWNLOAD_PROGRESS = 0x404, // sent: wParam the serial, lParam a DownloadProgress*,
                                  // or 0 for a seen stop
    WM_SHOW_STEP = 0x405,         // show the current step
    WM_UPDATE_CLOSE = 0x406,      // close the dialog, ending the program
};

// The wParam of both session messages: what the lParam index points into.
enum SessionSource {
    SESSION_SOURCE_TABLE = 0,  // the provider's connection table
    SESSION_SOURCE_TABLE1 = 1, // the driver's first connection table
    SESSION_SOURCE_TABLE2 = 2, // the driver's second connection table
    SESSION_SOURCE_RING = 3,   // the driver's event ring (the console's copy of it)
};
