// Finding, asking to quit, ending and starting the programs of the program
// folder. A program is known by its file name and its place: only a
// process whose program file lies in the program folder (or a folder below
// it) and whose file name equals the name, in any letter case, is one of
// them. The updater's own process never is.
#pragma once

#include <windows.h>

#include "CString.h"

// True when one of the folder's programs of this file name runs, or a
// process of this file name whose program file cannot be told runs. An
// empty name names no program.
BOOL IsProgramRunning(const CString &folder, LPCSTR fileName);

// Ends the first running program of the folder of this file name: up to
// ten tries a second apart. TRUE when it has ended or none runs; FALSE
// when no process list can be made, a process of the name whose program
// file cannot be told runs, or the process cannot be opened or outlives
// the tries.
BOOL EndProgram(const CString &folder, LPCSTR fileName);

// Asks a program of the folder that holds the named mutex to quit: the
// first top-level window with a property of that name, of a process that
// runs the folder's program of the file name, is restored (without waiting
// for it), brought to the front and sent the message, waiting at most ten
// seconds for the answer. TRUE when such a window was found.
BOOL AskToQuit(const CString &folder, LPCSTR fileName, LPCSTR name, UINT message);

// The console runs: its mutex is held and a top-level window carries its
// property.
BOOL IsConsoleRunning();

// Starts folder + "QFW.exe" and waits for the console to run, twice at
// most. TRUE when it runs.
BOOL RestartMainProgram(const CString &folder);
