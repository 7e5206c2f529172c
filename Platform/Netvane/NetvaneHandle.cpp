#include "NetvaneHandle.h"
#include <cstring>

namespace {

const char kMagic[8] = "NETVANE";

// Reads or writes the state at the start of the file, whatever the file
// position, so that no call depends on another's.
bool ReadState(HANDLE handle, NetvaneHandleState &state)
{
    OVERLAPPED at = {};
    DWORD read = 0;
    return ReadFile(handle, &state, sizeof state, &read, &at) && read == sizeof state;
}

bool WriteState(HANDLE handle, const NetvaneHandleState &state)
{
    OVERLAPPED at = {};
    DWORD written = 0;
    return WriteFile(handle, &state, sizeof state, &written, &at) && written == sizeof state;
}

} // namespace

HANDLE CreateNetvaneHandle()
{
    char folder[MAX_PATH], path[MAX_PATH];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "nvh", 0, path))
        return INVALID_HANDLE_VALUE;
    HANDLE handle = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        DeleteFileA(path);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    NetvaneHandleState state = {};
    memcpy(state.Magic, kMagic, sizeof kMagic);
    state.ProcessId = GetCurrentProcessId();
    if (!WriteState(handle, state)) {
        DWORD error = GetLastError();
        CloseHandle(handle); // deletes the file
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

// Only a disk file is read: a read of a pipe, a socket or a console could
// wait. A closed handle, and any object that is not a file, fail here.
CNetvaneHandleView::CNetvaneHandleView(HANDLE handle) : m_handle(handle), m_open(false), m_state(), m_read()
{
    if (!handle || handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK ||
        !ReadState(handle, m_read))
        return;
    m_open = memcmp(m_read.Magic, kMagic, sizeof kMagic) == 0 && m_read.ProcessId == GetCurrentProcessId();
    m_state = m_read;
}

// The call's result is in the last error by now, and stays there.
CNetvaneHandleView::~CNetvaneHandleView()
{
    if (!m_open || memcmp(&m_state, &m_read, sizeof m_state) == 0)
        return;
    DWORD error = GetLastError();
    WriteState(m_handle, m_state);
    SetLastError(error);
}
