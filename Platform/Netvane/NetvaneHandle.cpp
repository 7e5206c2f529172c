#include "NetvaneHandle.h"

namespace {

// The position of a device file: a tag above the 32 bits of the state, far
// beyond where any file of this size is read or written, and within what
// every file system allows a position to be.
constexpr ULONGLONG kPositionTag = 0xA5ull << 32;

bool StorePosition(HANDLE handle, const NetvaneHandleState &state)
{
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(kPositionTag | state.BlockGeneration);
    return SetFilePointerEx(handle, position, nullptr, FILE_BEGIN) != FALSE;
}

// Fails on a closed handle and on any object that is not a file, and
// never waits, whatever the object.
bool ReadPosition(HANDLE handle, NetvaneHandleState &state)
{
    LARGE_INTEGER none = {}, position = {};
    if (!SetFilePointerEx(handle, none, &position, FILE_CURRENT))
        return false;
    const ULONGLONG value = static_cast<ULONGLONG>(position.QuadPart);
    if ((value & ~0xFFFFFFFFull) != kPositionTag)
        return false;
    state.BlockGeneration = static_cast<DWORD>(value);
    return true;
}

} // namespace

HANDLE CreateNetvaneHandle()
{
    char folder[MAX_PATH], path[MAX_PATH];
    if (!GetTempPathA(sizeof folder, folder) || !GetTempFileNameA(folder, "nvh", 0, path))
        return INVALID_HANDLE_VALUE;
    HANDLE handle =
        CreateFileA(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                    TRUNCATE_EXISTING, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        DeleteFileA(path);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    if (!StorePosition(handle, NetvaneHandleState())) {
        DWORD error = GetLastError();
        CloseHandle(handle); // deletes the file
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    return handle;
}

CNetvaneHandleView::CNetvaneHandleView(HANDLE handle) : m_handle(handle), m_open(false), m_state(), m_read()
{
    m_open = handle && handle != INVALID_HANDLE_VALUE && ReadPosition(handle, m_read);
    m_state = m_read;
}

// The call's result is in the last error by now, and stays there.
CNetvaneHandleView::~CNetvaneHandleView()
{
    if (!m_open || m_state.BlockGeneration == m_read.BlockGeneration)
        return;
    DWORD error = GetLastError();
    StorePosition(m_handle, m_state);
    SetLastError(error);
}
