#include "NetvaneCallLog.h"
#include <cstring>

void LogNetvaneCall(NetvaneControlState &state, DWORD code, const void *input, DWORD inputSize,
                    BOOL succeeded, DWORD error)
{
    NetvaneCall &call = state.Calls[state.CallCount % NETVANE_CALL_ENTRIES];
    memset(&call, 0, sizeof call);
    call.Sequence = ++state.CallCount;
    call.ProcessId = GetCurrentProcessId();
    call.Code = code;
    call.InputSize = inputSize;
    if (input)
        memcpy(call.Input, input, inputSize < NETVANE_CALL_INPUT ? inputSize : NETVANE_CALL_INPUT);
    call.Succeeded = succeeded ? 1 : 0;
    call.Error = error;
}
