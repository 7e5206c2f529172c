// The one running console: its single-instance mutex and the window
// property of its main window share this name, which the updater and a
// second start look for.
#pragma once

#include <windows.h>

extern const char CONSOLE_INSTANCE_MARKER[];

// The first top-level window that carries the marker property; NULL when
// none does.
HWND FindMarkedConsoleWindow();
