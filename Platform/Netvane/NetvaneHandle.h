// A handle of the emulated device: a small unnamed section of its own, so
// that it is a real kernel handle that CloseHandle closes, and the state of
// the open (the block it was given) lives behind the handle itself. A call
// on a closed handle, or on any handle the emulator did not make, fails.
#pragma once

#include <windows.h>

struct NetvaneHandleState {
    char Magic[8];
    DWORD ProcessId;
    DWORD BlockGeneration; // 0: no block created through this handle
    DWORD BlockSize;
};

// A new handle, or INVALID_HANDLE_VALUE with the last error set.
HANDLE CreateNetvaneHandle();

// The state behind a device handle during one call, under CNetvaneLock.
// Each handle that this process made keeps its view mapped, with a twin
// handle of the same section that tells whether the handle still names it
// (it may have been closed, and its value given to another object); only a
// handle that is not known so is mapped for the call.
class CNetvaneHandleView {
public:
    explicit CNetvaneHandleView(HANDLE handle);
    ~CNetvaneHandleView();
    CNetvaneHandleView(const CNetvaneHandleView &) = delete;
    CNetvaneHandleView &operator=(const CNetvaneHandleView &) = delete;

    // Null when the handle is not an open handle of the device.
    NetvaneHandleState *State() const { return m_state; }

private:
    NetvaneHandleState *m_state;
    bool m_mappedForCall;
};
