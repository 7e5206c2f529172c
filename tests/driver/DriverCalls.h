// Reading the emulator's log of this process's driver calls.
#pragma once

#include <windows.h>
#include <vector>
#include "NetvaneControl.h"

inline std::vector<NetvaneCall> CallsOf(DWORD processId)
{
    std::vector<NetvaneCall> calls(NETVANE_CALL_ENTRIES);
    calls.resize(NetvaneReadCalls(processId, calls.data(), NETVANE_CALL_ENTRIES));
    return calls;
}

inline std::vector<NetvaneCall> OwnCalls()
{
    return CallsOf(GetCurrentProcessId());
}

inline DWORD OwnCallCount(DWORD code)
{
    return NetvaneCountCalls(GetCurrentProcessId(), code);
}

inline std::vector<BYTE> InputOf(const NetvaneCall &call)
{
    DWORD size = call.InputSize < NETVANE_CALL_INPUT ? call.InputSize : NETVANE_CALL_INPUT;
    return std::vector<BYTE>(call.Input, call.Input + size);
}
