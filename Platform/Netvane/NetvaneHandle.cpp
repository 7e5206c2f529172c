#include "NetvaneHandle.h"
#include <cstring>

namespace {

const char kMagic[8] = "NETVANE";

} // namespace

HANDLE CreateNetvaneHandle()
{
    HANDLE handle = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       sizeof(NetvaneHandleState), nullptr);
    if (!handle)
        return INVALID_HANDLE_VALUE;
    void *view = MapViewOfFile(handle, FILE_MAP_WRITE, 0, 0, sizeof(NetvaneHandleState));
    if (!view) {
        DWORD error = GetLastError();
        CloseHandle(handle);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    NetvaneHandleState *state = static_cast<NetvaneHandleState *>(view);
    memcpy(state->Magic, kMagic, sizeof kMagic);
    state->ProcessId = GetCurrentProcessId();
    UnmapViewOfFile(view);
    return handle;
}

CNetvaneHandleView::CNetvaneHandleView(HANDLE handle) : m_state(nullptr)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return;
    // Fails on a closed handle, on any object that is not a section and on
    // a section smaller than the state.
    void *view = MapViewOfFile(handle, FILE_MAP_WRITE, 0, 0, sizeof(NetvaneHandleState));
    if (!view)
        return;
    NetvaneHandleState *state = static_cast<NetvaneHandleState *>(view);
    bool ours = memcmp(state->Magic, kMagic, sizeof kMagic) == 0 &&
                state->ProcessId == GetCurrentProcessId();
    if (ours)
        m_state = state;
    else
        UnmapViewOfFile(view);
}

CNetvaneHandleView::~CNetvaneHandleView()
{
    if (m_state)
        UnmapViewOfFile(m_state);
}
