// Finding, asking to quit, ending and starting programs by their file names.
// Names are matched against the whole executable name in lower case; the
// updater's own process never matches.
#pragma once

#include <windows.h>

#include "CString.h"

// True when a running process's lower-case executable name contains the
// text. An empty text matches nothing.
BOOL IsProcessRunning(LPCSTR text);

// Ends the first process that matches: up to ten tries a second apart.
// TRUE when it has ended or none matched; FALSE when no process list can be
// made, or the process cannot be opened or outlives the tries.
BOOL KillProcessByName(LPCSTR text);

// Asks a program that holds the named mutex to quit: the first top-level
// window with a property of that name is restored, brought to the front
// and sent the message, waiting at most ten seconds for the answer. TRUE
// when such a window was found.
BOOL AskToQuit(LPCSTR name, UINT message);

// Starts folder + "QFW.exe" and waits for a "qfw." process to appear, twice
// at most. TRUE when one runs.
BOOL RestartMainProgram(const CString &folder);
