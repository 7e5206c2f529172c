// The emulator's record of every call made to the device, by every process:
// code, input and result. Tests and the command-line tool read it.
#pragma once

#include "NetvaneShared.h"

// Appends one call; the caller holds CNetvaneLock.
void LogNetvaneCall(NetvaneControlState &state, DWORD code, const void *input, DWORD inputSize,
                    BOOL succeeded, DWORD error);
