// A handle of the emulated device: a handle of an empty temporary file of
// its own, so that it is a real kernel handle that CloseHandle closes (the
// file goes with its last handle), and the state of the open (the block it
// was given) lives behind the handle itself, as the file's position. A call
// asks the position, one call of the system as a driver call is one; a call
// on a closed handle, or on any handle the emulator did not make, fails.
#pragma once

#include <windows.h>

struct NetvaneHandleState {
    DWORD BlockGeneration; // 0: no block created through this handle
};

// A new handle, or INVALID_HANDLE_VALUE with the last error set.
HANDLE CreateNetvaneHandle();

// The state behind a device handle during one call, under CNetvaneLock:
// read when the view is made, stored when it ends if a request changed it.
class CNetvaneHandleView {
public:
    explicit CNetvaneHandleView(HANDLE handle);
    ~CNetvaneHandleView();
    CNetvaneHandleView(const CNetvaneHandleView &) = delete;
    CNetvaneHandleView &operator=(const CNetvaneHandleView &) = delete;

    // Null when the handle is not an open handle of the device.
    NetvaneHandleState *State() { return m_open ? &m_state : nullptr; }

private:
    HANDLE m_handle;
    bool m_open;
    NetvaneHandleState m_state;
    NetvaneHandleState m_read; // as the call found it
};
