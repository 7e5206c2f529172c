// Whether a process still exists.
#pragma once

#include <windows.h>

// True when a process with that ID exists, and also when the process list
// cannot be taken: a process is never counted as ended without proof.
bool IsProcessAlive(DWORD processId);
