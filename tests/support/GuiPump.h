// Runs this thread's messages while a test waits for its windows to react.
#pragma once

#include <windows.h>
#include <functional>

// Dispatches messages, those of dialogs through the dialog manager (Tab,
// Enter, Esc), until `done` holds or `timeoutMs` passes; true when it
// held. A WM_QUIT met on the way ends the wait and is posted again, so that
// the loop outside still sees it.
bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs = 5000);

// Dispatches messages for `ms` milliseconds (or until a WM_QUIT).
void PumpFor(DWORD ms);

// What the pump asks first about each message; TRUE when it handled the
// message. A program built on the class library sets the library's own
// pre-translation walk, so that the kit pumps as the application's loop
// does. NULL restores the default: the dialog manager for dialogs' messages.
typedef BOOL (*PumpFilter)(MSG *msg);
void SetPumpFilter(PumpFilter filter);
